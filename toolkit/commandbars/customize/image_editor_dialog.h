// The "Button Editor" dialog: a magnified grid over the editor's picture, sixteen colours plus the
// transparent and a custom colour, the tools and edit commands on two toolbars, four move buttons
// and a preview at real size. The picture itself and its undo and redo live in the model.
#pragma once

#include <afxcmn.h>
#include <afxext.h>
#include <afxwin.h>

#include "image_editor_model.h"

#include <memory>

class CXTPImageEditorDlg;
class CXTPImageHandle;

// One colour swatch; a click tells the parent (WM_NOTIFY, NM_CLICK), which selects it.
class CXTPImageEditorPicker : public CStatic
{
public:
    void SetColor(COLORREF clr);
    COLORREF GetColor() const { return m_clr; }
    void SetSelected(BOOL bSelected);
    BOOL GetSelected() const { return m_bSelected; }

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    COLORREF m_clr = 0;
    BOOL m_bSelected = FALSE;
};

// The magnified picture: a cell per pixel, drawn and edited with the mouse.
class CXTPImageEditorPicture : public CStatic
{
public:
    // Cells from the client area the template gave, then shrinks the window to whole cells plus
    // the closing grid line.
    void Layout(CSize szPicture);
    CSize GetCellSize() const { return m_szCell; }
    CPoint CellFromPoint(CPoint point) const;

    CXTPImageEditorDlg* m_pOwner = NULL;

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

    CSize m_szCell = CSize(1, 1);
    CSize m_szPicture = CSize(16, 16);
    HCURSOR m_hcurShape = NULL;
    HCURSOR m_hcurPickColor = NULL;
    HCURSOR m_hcurFill = NULL;
    HCURSOR m_hcurPencil = NULL;
};

// The picture at its real size.
class CXTPImageEditorPreview : public CStatic
{
public:
    CXTPImageEditorDlg* m_pOwner = NULL;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

// A toolbar of the dialog: its buttons take their states from the dialog at idle time.
class CXTPImageEditorToolBar : public CToolBar
{
protected:
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CXTPImageEditorDlg : public CDialog
{
public:
    explicit CXTPImageEditorDlg(CWnd* pParent = NULL);
    ~CXTPImageEditorDlg() override;

    // Before DoModal: the image to edit (an icon, with or without alpha) or null for a transparent
    // picture; the picture's size, 16 x 16 unless given.
    void SetPicture(CXTPImageHandle* pPicture);
    void SetPictureSize(CSize size) { m_szPicture = size; }
    // After OK the edited picture, otherwise the one handed in.
    const CXTPImageEditorBitmap& GetPicture() const;

    INT_PTR DoModal() override;

    CXTPImageEditorModel& GetModel() { return m_model; }
    COLORREF GetSelectedColor() const;
    // The preview and the grid show the model's picture again.
    void RefreshPicture();
    // Pick Color: the custom colour becomes the colour picked and is selected.
    void OnColorPicked(COLORREF clr);

    // Draws a picture scaled by cells: a transparent cell as the checkerboard, alpha blended over it.
    static void AFX_CDECL DrawPicture(CDC* pDC, const CXTPImageEditorBitmap& picture, CPoint ptOrigin,
                                      CSize szCell, int nGap);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void SelectPicker(CXTPImageEditorPicker* pPicker);

    afx_msg LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);
    afx_msg void OnPickerClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnCustomColorClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnTool(UINT nID);
    afx_msg void OnUpdateTool(CCmdUI* pCmdUI);
    afx_msg void OnCopy();
    afx_msg void OnPaste();
    afx_msg void OnUpdatePaste(CCmdUI* pCmdUI);
    afx_msg void OnClear();
    afx_msg void OnUndo();
    afx_msg void OnUpdateUndo(CCmdUI* pCmdUI);
    afx_msg void OnRedo();
    afx_msg void OnUpdateRedo(CCmdUI* pCmdUI);
    afx_msg void OnImport();
    afx_msg void OnMove(UINT nID);
    afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    CXTPImageEditorToolBar m_wndToolsBar;
    CImageList m_ilTools;
    CXTPImageEditorToolBar m_wndEditBar;
    CImageList m_ilEdit;
    CXTPImageEditorPicker m_arrPickers[16];
    CXTPImageEditorPicker m_pickerTransparent;
    CXTPImageEditorPicker m_pickerCurrent;
    CXTPImageEditorPicture m_wndPicture;
    CXTPImageEditorPreview m_wndPreview;
    CXTPImageEditorModel m_model;
    std::unique_ptr<CXTPImageEditorBitmap> m_pResult; // the caller's picture, or the edited one
    CXTPImageEditorPicker* m_pSelectedPicker = NULL;
    CSize m_szPicture = CSize(16, 16);
    CImageList m_ilMove;
    HICON m_hMoveIcons[4] = {NULL, NULL, NULL, NULL}; // left, down, up, right
};
