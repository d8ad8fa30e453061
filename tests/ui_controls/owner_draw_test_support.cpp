#include "owner_draw_test_support.h"

#include <utility>

OSVERSIONINFOW VersionRecord(DWORD platform, DWORD major, DWORD minor)
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    version.dwPlatformId = platform;
    version.dwMajorVersion = major;
    version.dwMinorVersion = minor;
    return version;
}

BOOL MenuOwnerWnd::CreateOwner(int x, int y, int width, int height)
{
    if (!CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW), ::GetSysColorBrush(COLOR_WINDOW)),
                  L"Menu owner", WS_POPUP | WS_BORDER, x, y, width, height, NULL, NULL))
        return FALSE;
    ShowWindow(SW_SHOWNOACTIVATE);
    return TRUE;
}

int MenuOwnerWnd::Count(UINT message) const
{
    int count = 0;
    for (const MSG& received : m_received)
        count += received.message == message;
    return count;
}

LRESULT MenuOwnerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM:
        if (m_menu != nullptr && reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlType == ODT_MENU) {
            m_menu->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (m_menu != nullptr && reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->CtlType == ODT_MENU) {
            m_menu->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
            return TRUE;
        }
        break;
    case WM_MENUCHAR:
        return COwnerDrawMenu::FindKeyboardShortcut(LOWORD(wParam), HIWORD(wParam),
                                                    CMenu::FromHandle(reinterpret_cast<HMENU>(lParam)));
    default:
        if (message == WM_COMMAND || message >= WM_APP) {
            MSG received = {m_hWnd, message, wParam, lParam, 0, {}};
            m_received.push_back(received);
            // Commands go on, so that a control's notification is still reflected to the control.
            if (message != WM_COMMAND)
                return 0;
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

namespace {

MenuLoopDriver* g_driver = nullptr;

} // namespace

MenuLoopDriver::MenuLoopDriver(std::function<void(int)> tick, UINT intervalMs, UINT safetyMs)
    : m_function(std::move(tick))
{
    g_driver = this;
    m_timer = ::SetTimer(NULL, 0, intervalMs, OnTick);
    m_safety = ::SetTimer(NULL, 0, safetyMs, OnSafety);
}

MenuLoopDriver::~MenuLoopDriver()
{
    ::KillTimer(NULL, m_timer);
    ::KillTimer(NULL, m_safety);
    g_driver = nullptr;
}

void CALLBACK MenuLoopDriver::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_driver != nullptr && g_driver->m_function)
        g_driver->m_function(g_driver->m_ticks++);
}

void CALLBACK MenuLoopDriver::OnSafety(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_driver != nullptr) {
        g_driver->m_timedOut = true;
        g_driver->m_function = nullptr;
    }
    ::EndMenu();
}

HWND OpenPopupMenuWindow()
{
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    return popup != nullptr && ::IsWindowVisible(popup) ? popup : nullptr;
}

std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int& width, int& height)
{
    BITMAP bm = {};
    width = height = 0;
    if (!::GetObjectW(bitmap, sizeof bm, &bm))
        return {};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> raw(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    HDC screen = ::GetDC(nullptr);
    const int rows =
        ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), raw.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != bm.bmHeight)
        return {};
    width = bm.bmWidth;
    height = bm.bmHeight;
    std::vector<COLORREF> pixels;
    for (std::uint32_t value : raw)
        pixels.push_back(RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF));
    return pixels;
}

const COwnerDrawMenu::Item* RecordOf(HMENU menu, UINT position)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    if (!::GetMenuItemInfoW(menu, position, TRUE, &info) || !(info.fType & MFT_OWNERDRAW))
        return nullptr;
    return reinterpret_cast<const COwnerDrawMenu::Item*>(info.dwItemData);
}
