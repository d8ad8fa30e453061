#pragma once

// A memory DC over a 32-bit top-down DIB section, whose pixels the tests read back directly.
#include <windows.h>

#include <cstdint>

class TestSurface
{
public:
    TestSurface(int width, int height, COLORREF fill = RGB(255, 255, 255)) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<std::uint32_t*>(bits);
        m_dc = CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
        Fill(fill);
    }
    ~TestSurface()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    void Fill(COLORREF colour)
    {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i) {
            m_bits[i] = ToPixel(colour);
        }
    }
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const std::uint32_t value = m_bits[y * m_width + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    int Count(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                count += Pixel(x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }
    // Pixels whose colour is neither the background nor near-grey text: for telling coloured text apart.
    int CountDominant(int channel) const
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                const COLORREF c = Pixel(x, y);
                const int values[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
                const int other1 = values[(channel + 1) % 3];
                const int other2 = values[(channel + 2) % 3];
                count +=
                    values[channel] > 100 && values[channel] - other1 > 80 && values[channel] - other2 > 80;
            }
        }
        return count;
    }
    // Pixels dark in every channel: black text and its smoothing, never red or blue text on white.
    int CountDark() const
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                const COLORREF c = Pixel(x, y);
                count += GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
            }
        }
        return count;
    }
    static std::uint32_t ToPixel(COLORREF colour)
    {
        return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
               (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
    }

private:
    int m_width;
    int m_height;
    HBITMAP m_bitmap = nullptr;
    std::uint32_t* m_bits = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// A 32-bit top-down bitmap from raw pixels (blue, green, red, alpha from the low byte up).
inline HBITMAP MakeTestBitmap(int width, int height, const std::uint32_t* pixels)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* target = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        target[i] = pixels[i];
    }
    return bitmap;
}
