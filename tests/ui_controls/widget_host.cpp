#include "widget_host.h"

// clang-format off
BEGIN_MESSAGE_MAP(CWidgetHost, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

BOOL CWidgetHost::Create(int width, int height, COLORREF background, CWnd* pParent)
{
    m_background = background;
    LPCTSTR className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursor(NULL, IDC_ARROW));
    const DWORD style = (pParent != NULL ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
    if (!CreateEx(0, className, L"Widget host", style, 0, 0, width, height, pParent->GetSafeHwnd(), NULL)) {
        return FALSE;
    }
    UpdateWindow();
    return TRUE;
}

CWidgetHost::~CWidgetHost()
{
    if (GetSafeHwnd() != NULL) {
        DestroyWindow();
    }
}

BOOL CWidgetHost::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, m_background);
    return TRUE;
}

void CWidgetHost::OnPaint()
{
    CPaintDC dc(this);
    if (m_paint) {
        m_paint(dc);
    }
}

void PumpFor(DWORD milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (GetTickCount64() < deadline) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        Sleep(10);
    }
}
