#include "owner_draw_test_support.h"

#include "test_surface.h"

#include <algorithm>
#include <cstring>

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

namespace {

std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes, size_t from)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBigEndian(file, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> chunk(type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    file.insert(file.end(), chunk.begin(), chunk.end());
    PutBigEndian(file, Crc32(chunk, 0));
}

// An RGB PNG with stored (uncompressed) deflate blocks: small screenshots need no compressor.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint32_t>& pixels)
{
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel =
                pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            raw.push_back(static_cast<std::uint8_t>(pixel >> 16));
            raw.push_back(static_cast<std::uint8_t>(pixel >> 8));
            raw.push_back(static_cast<std::uint8_t>(pixel));
        }
    }
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t offset = 0; offset < raw.size() || offset == 0;) {
        const size_t length = std::min<size_t>(65535, raw.size() - offset);
        const bool last = offset + length >= raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<std::uint8_t>(length));
        zlib.push_back(static_cast<std::uint8_t>(length >> 8));
        zlib.push_back(static_cast<std::uint8_t>(~length));
        zlib.push_back(static_cast<std::uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                    raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
        if (last)
            break;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", zlib);
    PutChunk(file, "IEND", {});
    return file;
}

std::wstring ScreenshotFolder()
{
    std::wstring folder;
    for (const char* c = OWNER_DRAW_SCREENSHOT_DIR; *c; ++c)
        folder += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    if (!folder.empty() && folder[0] == L'\\')
        folder = L"Z:" + folder;
    return folder;
}

} // namespace

std::wstring WriteScreenshot(HWND window, const std::wstring& name)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return {};
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    TestSurface surface(width, height);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(surface.dc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels.push_back(TestSurface::ToPixel(surface.Pixel(x, y)));
    }

    const std::vector<std::uint8_t> png = EncodePng(width, height, pixels);
    const std::wstring folder = ScreenshotFolder();
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name;
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == png.size() ? path : std::wstring();
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
