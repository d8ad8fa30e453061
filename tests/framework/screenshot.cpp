#include "screenshot.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

std::uint32_t Crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0)
{
    crc = ~crc;
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
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBig32(out, Crc32(body.data(), body.size()));
}

// RGB rows, each with filter byte 0, in stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> PngBytes(const std::vector<std::uint8_t>& raw, int width, int height)
{
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(png, "IHDR", header);

    std::vector<std::uint8_t> z = {0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t block = std::min<size_t>(65535, raw.size() - offset);
        z.push_back(offset + block == raw.size() ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(block));
        z.push_back(static_cast<std::uint8_t>(block >> 8));
        z.push_back(static_cast<std::uint8_t>(~block));
        z.push_back(static_cast<std::uint8_t>(~block >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                 raw.begin() + static_cast<std::ptrdiff_t>(offset + block));
        offset += block;
    } while (offset < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(z, (b << 16) | a);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return png;
}

std::wstring ScreenshotFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    folder += L"screenshots";
    ::CreateDirectoryW(folder.c_str(), NULL);
    return folder + L"\\";
}

} // namespace

bool WriteWindowScreenshot(HWND hWnd, const std::wstring& name)
{
    ::RedrawWindow(hWnd, NULL, NULL,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect;
    ::GetWindowRect(hWnd, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    // The screen under the window: what a user would see, children and frame included.
    HDC hScreen = ::GetDC(NULL);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, &info, DIB_RGB_COLORS, &pBits, NULL, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hMem, 0, 0, width, height, hScreen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
    const std::uint8_t* pixels = static_cast<const std::uint8_t*>(pBits);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = pixels + (static_cast<size_t>(y) * width + x) * 4;
            raw.insert(raw.end(), {p[2], p[1], p[0]});
        }
    }
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);
    const std::vector<std::uint8_t> png = PngBytes(raw, width, height);
    const std::wstring path = ScreenshotFolder() + name + L".png";
    HANDLE hFile =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(hFile, png.data(), static_cast<DWORD>(png.size()), &written, NULL);
    ::CloseHandle(hFile);
    return ok && written == png.size();
}
