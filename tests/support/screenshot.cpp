#include "screenshot.h"

#include <algorithm>

#include <zlib.h>

namespace test_support {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBig32(out, static_cast<std::uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

// The rows deflated: a window's picture is mostly flat colour, so it shrinks about fiftyfold.
std::vector<std::uint8_t> Deflated(const std::vector<std::uint8_t>& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

// A 32-bit top-down DIB section selected into a memory DC.
class Surface
{
public:
    Surface(HDC reference, int width, int height) : m_count(static_cast<size_t>(width) * height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = ::CreateCompatibleDC(reference);
        m_bitmap = ::CreateDIBSection(reference, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        if (m_dc != nullptr && m_bitmap != nullptr)
            m_old = ::SelectObject(m_dc, m_bitmap);
    }
    ~Surface()
    {
        if (m_old != nullptr)
            ::SelectObject(m_dc, m_old);
        if (m_bitmap != nullptr)
            ::DeleteObject(m_bitmap);
        if (m_dc != nullptr)
            ::DeleteDC(m_dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    bool valid() const { return m_old != nullptr; }
    HDC dc() const { return m_dc; }
    std::vector<std::uint32_t> Pixels() const
    {
        ::GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(m_bits);
        return std::vector<std::uint32_t>(first, first + m_count);
    }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
    size_t m_count = 0;
};

bool WriteNamed(const std::wstring& name, const std::vector<std::uint32_t>& pixels, int width, int height)
{
    return !pixels.empty() && WritePng(ScreenshotPath(name), pixels.data(), width, height);
}

} // namespace

std::wstring ScreenshotFolder()
{
    // A host path; Wine shows the host's root as drive Z:.
    std::wstring folder;
    for (const char* c = SCREENSHOT_DIR; *c != 0; ++c)
        folder += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    if (!folder.empty() && folder[0] == L'\\')
        folder = L"Z:" + folder;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring ScreenshotPath(const std::wstring& name)
{
    return ScreenshotFolder() + L"\\" + name + L".png";
}

bool WritePng(const std::wstring& path, const std::uint32_t* pixels, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
            raw.insert(raw.end(), {static_cast<std::uint8_t>(pixel >> 16),
                                   static_cast<std::uint8_t>(pixel >> 8), static_cast<std::uint8_t>(pixel)});
        }
    }
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits a channel, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    const std::vector<std::uint8_t> deflated = Deflated(raw);
    if (deflated.empty())
        return false;
    PutChunk(png, "IDAT", deflated);
    PutChunk(png, "IEND", {});

    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == png.size();
}

bool WriteScreenshot(const std::wstring& name, const std::vector<COLORREF>& pixels, int width, int height)
{
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    std::vector<std::uint32_t> rgb;
    rgb.reserve(pixels.size());
    for (const COLORREF pixel : pixels)
        rgb.push_back((GetRValue(pixel) << 16) | (GetGValue(pixel) << 8) | GetBValue(pixel));
    return WriteNamed(name, rgb, width, height);
}

std::vector<std::uint32_t> CaptureDc(HDC dc, const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return {};
    Surface surface(dc, width, height);
    if (!surface.valid())
        return {};
    ::BitBlt(surface.dc(), 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    return surface.Pixels();
}

std::vector<std::uint32_t> CaptureFramedWindow(HWND window, int& width, int& height)
{
    RECT frame = {};
    ::GetWindowRect(window, &frame);
    width = frame.right - frame.left;
    height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0)
        return {};
    POINT clientOrigin = {0, 0};
    ::ClientToScreen(window, &clientOrigin);
    RECT client = {};
    ::GetClientRect(window, &client);
    HDC source = ::GetDC(window);
    std::vector<std::uint32_t> pixels;
    {
        Surface surface(source, width, height);
        if (surface.valid()) {
            RECT whole = {0, 0, width, height};
            ::FillRect(surface.dc(), &whole, ::GetSysColorBrush(COLOR_BTNFACE));
            ::DrawEdge(surface.dc(), &whole, EDGE_RAISED, BF_RECT);
            const int border = clientOrigin.x - frame.left;
            RECT caption = {border, border, width - border, clientOrigin.y - frame.top};
            ::DrawCaption(window, surface.dc(), &caption, DC_ACTIVE | DC_TEXT | DC_ICON | DC_GRADIENT);
            ::BitBlt(surface.dc(), clientOrigin.x - frame.left, clientOrigin.y - frame.top, client.right,
                     client.bottom, source, 0, 0, SRCCOPY);
            pixels = surface.Pixels();
        }
    }
    ::ReleaseDC(window, source);
    return pixels;
}

bool WriteDcScreenshot(HDC dc, const RECT& area, const std::wstring& name)
{
    return WriteNamed(name, CaptureDc(dc, area), area.right - area.left, area.bottom - area.top);
}

bool WriteWindowScreenshot(HWND window, const std::wstring& name)
{
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return false;
    HDC screen = ::GetDC(nullptr);
    const bool written = WriteDcScreenshot(screen, rect, name);
    ::ReleaseDC(nullptr, screen);
    return written;
}

bool WriteClientScreenshot(HWND window, const std::wstring& name)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client = {};
    ::GetClientRect(window, &client);
    HDC dc = ::GetDC(window);
    const bool written = WriteDcScreenshot(dc, client, name);
    ::ReleaseDC(window, dc);
    return written;
}

bool WriteFramedWindowScreenshot(HWND window, const std::wstring& name)
{
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> pixels = CaptureFramedWindow(window, width, height);
    return WriteNamed(name, pixels, width, height);
}

} // namespace test_support
