#include "tab_test_owner.h"

namespace {

const wchar_t kStripClass[] = L"TabStripTestWindow";
const UINT_PTR kSafetyTimer = 1;
const UINT_PTR kReleaseTimer = 2;
const UINT_PTR kCaptureTimer = 3;

} // namespace

CTabStripWindow::CTabStripWindow(CTestTabOwner* pOwner, const CRect& rcWindow, DWORD dwExStyle)
    : m_pOwner(pOwner), m_hWnd(NULL)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.hCursor = ::LoadCursorW(NULL, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = kStripClass;
    ::RegisterClassW(&wc);
    m_hWnd =
        ::CreateWindowExW(dwExStyle, kStripClass, L"Tabs", WS_POPUP | WS_VISIBLE, rcWindow.left, rcWindow.top,
                          rcWindow.Width(), rcWindow.Height(), NULL, NULL, wc.hInstance, this);
    pOwner->m_hWnd = m_hWnd;
    RECT rcClient;
    ::GetClientRect(m_hWnd, &rcClient);
    pOwner->m_rcLayout = rcClient;
    pOwner->Reposition();
    ::SetForegroundWindow(m_hWnd);
    ::UpdateWindow(m_hWnd);
    PumpTabMessages();
}

CTabStripWindow::~CTabStripWindow()
{
    m_pOwner->m_hWnd = NULL;
    ::DestroyWindow(m_hWnd);
}

void CTabStripWindow::ArmSafetyTimer(UINT nMilliseconds)
{
    ::SetTimer(m_hWnd, kSafetyTimer, nMilliseconds, NULL);
}

void CTabStripWindow::LoseCaptureLater(UINT nMilliseconds)
{
    ::SetTimer(m_hWnd, kCaptureTimer, nMilliseconds, NULL);
}

void CTabStripWindow::ReleaseLaterAt(CPoint pt, UINT nMilliseconds)
{
    m_ptRelease = pt;
    ::SetTimer(m_hWnd, kReleaseTimer, nMilliseconds, NULL);
}

LRESULT CALLBACK CTabStripWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* pCreate = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    auto* pThis = reinterpret_cast<CTabStripWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pThis == NULL)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(hWnd, &ps);
        CDC* pDC = CDC::FromHandle(hDC);
        pThis->m_pOwner->Draw(pDC);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        pThis->m_pOwner->HandleClick(hWnd, pt, FALSE);
        return 0;
    case WM_MOUSEMOVE:
        pThis->m_pOwner->HandleMouseMove(hWnd, pt);
        return 0;
    case WM_TIMER:
        ::KillTimer(hWnd, wParam);
        if (wParam == kSafetyTimer)
            ::PostMessageW(hWnd, WM_CANCELMODE, 0, 0);
        else if (wParam == kReleaseTimer)
            ::PostMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pThis->m_ptRelease.x, pThis->m_ptRelease.y));
        else if (wParam == kCaptureTimer) {
            ::ReleaseCapture();
            ::PostMessageW(hWnd, WM_NULL, 0, 0);
        }
        return 0;
    default:
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
}

void PumpTabMessages()
{
    MSG msg;
    for (int nRound = 0; nRound < 3; ++nRound) {
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}
