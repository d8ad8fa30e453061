#include "standalone_test.h"
#include "support/screenshot.h"

#include <gtest/gtest.h>

BOOL RecordingParent::Create(const CRect& rect, LPCTSTR lpszTitle)
{
    return CreateEx(WS_EX_TOPMOST,
                    AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE)),
                    lpszTitle, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rect, NULL, 0);
}

RecordingParent& SharedParent()
{
    // Destroying a visible top-level window waits on the display for seconds: one for the whole run.
    static RecordingParent* s_pParent = NULL;
    if (s_pParent == NULL) {
        s_pParent = new RecordingParent;
        s_pParent->Create(CRect(120, 120, 560, 420));
    }
    s_pParent->m_commands.clear();
    s_pParent->m_messages.clear();
    s_pParent->m_recordedMessages.clear();
    return *s_pParent;
}

BOOL RecordingParent::OnCommand(WPARAM wParam, LPARAM lParam)
{
    m_commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT RecordingParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (UINT nRecorded : m_recordedMessages)
        if (nRecorded == message)
            m_messages.emplace_back(message, wParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

void Pump()
{
    MSG msg;
    for (int i = 0; i < 200 && ::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& condition, int nMilliseconds)
{
    const DWORD dwEnd = ::GetTickCount() + static_cast<DWORD>(nMilliseconds);
    while (!condition()) {
        if (static_cast<LONG>(::GetTickCount() - dwEnd) >= 0)
            return condition();
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        Pump();
    }
    return true;
}

void PumpFor(int nMilliseconds)
{
    PumpUntil([] { return false; }, nMilliseconds);
}

ClientPicture::ClientPicture(CWnd* pWnd, bool bWholeWindow)
{
    pWnd->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    CRect rect;
    pWnd->GetClientRect(&rect);
    CRect rectWindow;
    pWnd->GetWindowRect(&rectWindow);
    if (bWholeWindow)
        rect = CRect(0, 0, rectWindow.Width(), rectWindow.Height());
    m_surface =
        std::make_unique<PixelSurface>(std::max(1, rect.Width()), std::max(1, rect.Height()), RGB(0, 0, 0));
    CPoint origin(0, 0);
    pWnd->ClientToScreen(&origin);
    if (bWholeWindow)
        origin = rectWindow.TopLeft();
    HDC hScreen = ::GetDC(NULL);
    ::BitBlt(m_surface->dc()->m_hDC, 0, 0, rect.Width(), rect.Height(), hScreen, origin.x, origin.y, SRCCOPY);
    ::ReleaseDC(NULL, hScreen);
}

CRect ClientPicture::Bounds(const std::function<bool(COLORREF)>& test, const CRect& area) const
{
    CRect rect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = std::max<int>(0, area.top); y < std::min<int>(Height(), area.bottom); ++y)
        for (int x = std::max<int>(0, area.left); x < std::min<int>(Width(), area.right); ++x)
            if (test(Pixel(x, y))) {
                rect.left = std::min<int>(rect.left, x);
                rect.top = std::min<int>(rect.top, y);
                rect.right = std::max<int>(rect.right, x + 1);
                rect.bottom = std::max<int>(rect.bottom, y + 1);
            }
    return rect.left == INT_MAX ? CRect(0, 0, 0, 0) : rect;
}

int ClientPicture::Count(const std::function<bool(COLORREF)>& test) const
{
    int nCount = 0;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
            nCount += test(Pixel(x, y)) ? 1 : 0;
    return nCount;
}

bool ClientPicture::Save(const std::wstring& name) const
{
    return test_support::WriteDcScreenshot(m_surface->dc()->m_hDC, CRect(0, 0, Width(), Height()), name);
}

HICON MakeSolidIcon(COLORREF clr, int nSize)
{
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hColor = ::CreateCompatibleBitmap(hScreen, nSize, nSize);
    ::ReleaseDC(NULL, hScreen);
    HBITMAP hMask = ::CreateBitmap(nSize, nSize, 1, 1, NULL);
    HDC hDC = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, hColor);
    CRect rect(0, 0, nSize, nSize);
    ::SetBkColor(hDC, clr);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
    ::SelectObject(hDC, hMask);
    ::PatBlt(hDC, 0, 0, nSize, nSize, BLACKNESS);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    ICONINFO info = {TRUE, 0, 0, hMask, hColor};
    HICON hIcon = ::CreateIconIndirect(&info);
    ::DeleteObject(hColor);
    ::DeleteObject(hMask);
    return hIcon;
}

bool IsDark(COLORREF clr)
{
    return GetRValue(clr) < 100 && GetGValue(clr) < 100 && GetBValue(clr) < 100;
}
