#include "custom_html_viewer.h"

#include "html_message_box.h"
#include "html_renderer.h"
#include "preview_hand_over.h"
#include "preview_resource_ids.h"

#include <commctrl.h>

namespace {

HWND g_hDrawingWindow = NULL;
HWND g_hStatusWindow = NULL;
CHtmlRenderer* g_pRenderer = NULL;

INT_PTR CALLBACK DrawingWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_pRenderer == NULL)
        return 0;
    return static_cast<INT_PTR>(g_pRenderer->WindowProc(hWnd, message, wParam, lParam));
}

} // namespace

IMPLEMENT_DYNCREATE(CCustomHTMLViewer, CView)

BEGIN_MESSAGE_MAP(CCustomHTMLViewer, CView)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CCustomHTMLViewer::CCustomHTMLViewer() = default;

CCustomHTMLViewer::~CCustomHTMLViewer()
{
    // The drawing window goes first, so that its procedure finds no renderer while the renderer dies.
    if (g_hDrawingWindow != NULL)
        ::DestroyWindow(g_hDrawingWindow);
    g_hDrawingWindow = NULL;
    CHtmlRenderer* pRenderer = g_pRenderer;
    g_pRenderer = NULL;
    delete pRenderer;
    g_hStatusWindow = NULL;
    DestroyHelperWindows();
}

HWND CCustomHTMLViewer::DrawingWindow()
{
    return g_hDrawingWindow;
}

HWND CCustomHTMLViewer::StatusWindow()
{
    return g_hStatusWindow;
}

CHtmlRenderer* CCustomHTMLViewer::Renderer()
{
    return g_pRenderer;
}

int CCustomHTMLViewer::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    g_hDrawingWindow = NULL;
    g_hStatusWindow = NULL;
    CString strUrl = L"file://";
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        strUrl += pHandOver->PreviewPath();
    g_hDrawingWindow = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDD_PREVIEW_HTML_CANVAS),
                                            m_hWnd, DrawingWindowProc, 0);
    if (g_hDrawingWindow != NULL)
        ::ShowWindow(g_hDrawingWindow, SW_SHOW);
    g_hStatusWindow = ::CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", m_hWnd, 0);
    g_pRenderer = new CHtmlRenderer(g_hDrawingWindow, m_hWnd, g_hStatusWindow, NULL, NULL);
    g_pRenderer->Navigate(strUrl);
    return 0;
}

void CCustomHTMLViewer::OnSize(UINT nType, int cx, int cy)
{
    if (g_hStatusWindow != NULL) {
        ::MoveWindow(g_hStatusWindow, 0, cy - kStatusHeight, cx, kStatusHeight, TRUE);
        ::InvalidateRect(g_hStatusWindow, NULL, TRUE);
    }
    if (g_hDrawingWindow != NULL)
        ::MoveWindow(g_hDrawingWindow, 0, 0, cx, cy - kStatusHeight, TRUE);
    CView::OnSize(nType, cx, cy);
}

BOOL CCustomHTMLViewer::PreTranslateMessage(MSG* pMsg)
{
    return CWnd::PreTranslateMessage(pMsg);
}

void CCustomHTMLViewer::OnDraw(CDC* /*pDC*/) {}
