#pragma once

// ".html" files in the program's own HTML engine: a drawing window (a control-less child dialog) over a
// 20-pixel status window. The drawing window, the status window and the renderer are process-wide, so
// only one such view exists at a time.
#include <afxwin.h>

class CHtmlRenderer;

class CCustomHTMLViewer : public CView
{
    DECLARE_DYNCREATE(CCustomHTMLViewer)
public:
    static constexpr int kStatusHeight = 20;

    CCustomHTMLViewer();
    ~CCustomHTMLViewer() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    static HWND DrawingWindow();
    static HWND StatusWindow();
    static CHtmlRenderer* Renderer();

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
