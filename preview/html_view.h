#pragma once

// ".gif", ".htm", ".mht", ".xls", ".xlsx" and ".pzmr" in the web-browser view, under a transparent overlay
// that keeps the mouse off the page except for an 8-pixel strip at the right and bottom edges.
#include <afxhtml.h>

class CEmptyChildDlg;

class CHtml_View : public CHtmlView
{
    DECLARE_DYNCREATE(CHtml_View)
public:
    static constexpr int kOverlayMargin = 8;

    CHtml_View();
    ~CHtml_View() override;

    CEmptyChildDlg* m_pOverlay;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
