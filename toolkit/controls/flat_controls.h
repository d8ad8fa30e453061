// The flat stand-alone controls: a combo box with hot tracking, a flat look and type-ahead
// completion; an edit that paints without flicker and carries out its own context menu's commands;
// and that edit with a flat, hot-tracked border.
#pragma once

#include <afxwin.h>

#include "flat_control_themes.h"
#include "theme_manager.h"

// The hover timer of both flat controls.
#define XT_FLAT_HOVER_TIMER 1000

class CXTFlatComboBox : public CComboBox, public CXTThemeHost
{
    DECLARE_DYNAMIC(CXTFlatComboBox)
public:
    CXTFlatComboBox();

    // Whether the mouse is over the control.
    virtual BOOL IsCursorOver() const;
    virtual void DrawFlatComboBox(CDC* pDC);
    // 1 normal, 2 hot or focused, 3 dropped down.
    virtual int GetDrawState() const;

    void EnableAutoCompletion(BOOL bEnable = TRUE) { m_bAutoComp = bEnable; }
    void DisableFlatLook(BOOL bDisable) { m_bFlatLook = !bDisable; }
    BOOL IsFlat() const { return m_bFlatLook; }
    BOOL IsHot() const { return m_bHot; }
    // The fill of a drop-down list; -1 for the window colour.
    void SetBackColor(COLORREF clr) { m_clrBack = clr; }
    // Backspace and Delete in the edit suppress the completion of the change they make.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetFocus();
    afx_msg BOOL OnKillFocus();
    afx_msg BOOL OnCloseUp();
    afx_msg BOOL OnEditUpdate();
    DECLARE_MESSAGE_MAP()

    void RedrawNow();

    BOOL m_bAutoComp = TRUE;
    BOOL m_bFlatLook = TRUE;
    BOOL m_bDisableAC = FALSE;
    BOOL m_bHot = FALSE;
    BOOL m_bFocused = FALSE;
    COLORREF m_clrBack = COLORREF(-1);
    // Set while the completion itself changes the text.
    BOOL m_bCompleting = FALSE;
};

class CXTEdit : public CEdit
{
    DECLARE_DYNAMIC(CXTEdit)
public:
    CXTEdit() = default;

    // Unicode text on the clipboard.
    virtual BOOL CanPaste();
    // A non-empty selection.
    virtual BOOL HasSelection();

protected:
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnEditUndo();
    afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
    afx_msg void OnEditCut();
    afx_msg void OnEditCopy();
    afx_msg void OnEditClear();
    afx_msg void OnUpdateNeedsSelection(CCmdUI* pCmdUI);
    afx_msg void OnEditPaste();
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnEditSelectAll();
    afx_msg void OnUpdateEditSelectAll(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

class CXTFlatEdit : public CXTEdit, public CXTThemeHost
{
    DECLARE_DYNAMIC(CXTFlatEdit)
public:
    CXTFlatEdit();

    virtual BOOL IsCursorOver() const;
    // The border over the window rectangle (window coordinates).
    virtual void DrawBorders(CDC* pDC, const CRect& rect);
    virtual int GetDrawState() const;

    void DisableFlatLook(BOOL bDisable) { m_bFlatLook = !bDisable; }
    BOOL IsHot() const { return m_bHot; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnNcPaint();
    DECLARE_MESSAGE_MAP()

    BOOL m_bHot = FALSE;
    BOOL m_bFocused = FALSE;
    BOOL m_bFlatLook = TRUE;
};
