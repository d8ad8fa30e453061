#pragma once

#include <afxcmn.h>
#include <afxext.h>

// Picture buttons of the wizard's views: a normal face, and a hover face while the cursor is over the
// button. Hover and leave come from the system's mouse tracking (a hover time of 1 ms, so the hover
// notification follows the first move at once).

// The value of the hover button under the cursor, 0 when there is none. Views read it when they paint to
// show a description that matches the button. Written on the user-interface thread only.
extern UINT SharedHoverValue;

// Publishes a button's value. A button leaving clears the value only while it still holds its own, so that
// moving straight from one button onto another leaves the second one's value, whichever of the first
// button's leave and the second one's hover arrives first.
void PublishHoverValue(UINT nValue);
void WithdrawHoverValue(UINT nValue);

// A button that publishes its hover value while the cursor is over it and repaints a partner window (the
// view that shows the description) at every change; its own cursors are resources 264 and 265.
class CHoverButton : public CBitmapButton
{
    DECLARE_DYNAMIC(CHoverButton)
public:
    CHoverButton() = default;

    // The partner may be null.
    void SetPartner(CWnd* pPartner, UINT nHoverValue);
    // Both faces as bitmap resources of the program; the faces' size is the normal face's.
    BOOL LoadBitmaps(UINT nNormalID, UINT nHoverID);
    BOOL IsHovering() const { return m_bHovering; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;
    void SetHoverCursor() const;

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnMouseHover(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    CWnd* m_pPartner = NULL;
    UINT m_nHoverValue = 0;
    BOOL m_bHovering = FALSE;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CBitmap m_bmpNormal;
    CBitmap m_bmpHover;
    BOOL m_bTracking = FALSE;
    HCURSOR m_hHoverCursor = NULL;
    HCURSOR m_hPressCursor = NULL;
};

// A picture button with a tooltip and a pressed face. Given an owner and a hint value, it also acts as the
// home view's mode buttons do: the hand cursor over it, its hint as the shared hover value while the
// cursor is over it, and its owner repainted at every change. Without a hint value it publishes nothing.
class CToolButton : public CBitmapButton
{
    DECLARE_DYNAMIC(CToolButton)
public:
    CToolButton() = default;

    // Both faces as bitmap resources of the program. The button takes the hover face's size without
    // moving. A normal face at least twice that wide holds the pressed face to the right of the normal
    // one; a narrower normal face is also the pressed face.
    BOOL LoadBitmaps(UINT nNormalID, UINT nHoverID);
    // An empty text adds no tool.
    void SetTooltipText(LPCTSTR lpszText, BOOL bActivate = TRUE);
    // A hint value of 0 turns the hint behaviour off again; the owner may be null.
    void SetHoverHint(CWnd* pOwner, UINT nHintValue);
    BOOL IsHovering() const { return m_bHovering; }
    CToolTipCtrl& GetToolTip() { return m_ToolTip; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void CreateToolTip();

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnMouseHover(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

    CString m_strCaption;
    BOOL m_bHovering = FALSE;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nNormalFaceWidth = 0;
    CBitmap m_bmpNormal;
    CBitmap m_bmpHover;
    BOOL m_bTracking = FALSE;
    CToolTipCtrl m_ToolTip;
    CWnd* m_pOwner = NULL;
    UINT m_nHintValue = 0;
};
