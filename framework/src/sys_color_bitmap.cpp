#include <afxwin.h>

#include <cstring>
#include <vector>

namespace {

// Colour-table entries (RGBQUAD order: blue, green, red) that stand for the parts of a button.
struct SysColorMapping
{
    DWORD from;
    int sysColor;
};

constexpr DWORD Quad(BYTE red, BYTE green, BYTE blue)
{
    return static_cast<DWORD>(blue) | (static_cast<DWORD>(green) << 8) | (static_cast<DWORD>(red) << 16);
}

const SysColorMapping kMappings[] = {
    {Quad(0x00, 0x00, 0x00), COLOR_BTNTEXT},
    {Quad(0x80, 0x80, 0x80), COLOR_BTNSHADOW},
    {Quad(0xC0, 0xC0, 0xC0), COLOR_BTNFACE},
    {Quad(0xFF, 0xFF, 0xFF), COLOR_BTNHIGHLIGHT},
};

DWORD QuadOf(COLORREF colour)
{
    return Quad(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

} // namespace

HBITMAP AFXAPI AfxLoadSysColorBitmap(HINSTANCE hInst, HRSRC hRsrc, BOOL bMono)
{
    if (hRsrc == NULL)
        return NULL;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const BYTE* data = hGlobal != NULL ? static_cast<const BYTE*>(::LockResource(hGlobal)) : NULL;
    const DWORD size = ::SizeofResource(hInst, hRsrc);
    if (data == NULL || size < sizeof(BITMAPINFOHEADER))
        return NULL;

    // The resource is checked before any of it is trusted: only bitmaps with a colour table can be
    // mapped, and the table and the pixels must lie inside the resource.
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biPlanes != 1 || header.biCompression != BI_RGB)
        return NULL;
    if (header.biBitCount != 1 && header.biBitCount != 4 && header.biBitCount != 8)
        return NULL;
    const DWORD maxColours = 1u << header.biBitCount;
    const DWORD colours = header.biClrUsed != 0 ? header.biClrUsed : maxColours;
    if (colours > maxColours)
        return NULL;
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const unsigned long long stride =
        ((static_cast<unsigned long long>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
    const unsigned long long tableEnd =
        static_cast<unsigned long long>(header.biSize) + colours * sizeof(RGBQUAD);
    if (tableEnd + stride * static_cast<unsigned long long>(height) > size)
        return NULL;

    // A private copy of the header and colour table, mapped; the pixels are read in place.
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + maxColours * sizeof(RGBQUAD), 0);
    std::memcpy(info.data(), &header, sizeof header);
    auto* infoHeader = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    infoHeader->biSize = sizeof(BITMAPINFOHEADER);
    auto* table = reinterpret_cast<DWORD*>(info.data() + sizeof(BITMAPINFOHEADER));
    std::memcpy(table, data + header.biSize, colours * sizeof(RGBQUAD));
    for (DWORD i = 0; i < colours; ++i) {
        for (const SysColorMapping& mapping : kMappings) {
            if ((table[i] & 0x00FFFFFF) == mapping.from) {
                table[i] = QuadOf(::GetSysColor(mapping.sysColor));
                break;
            }
        }
    }
    const BYTE* bits = data + tableEnd;
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());

    HDC screen = ::GetDC(NULL);
    HBITMAP bitmap = NULL;
    if (!bMono) {
        bitmap = ::CreateDIBitmap(screen, infoHeader, CBM_INIT, bits, bitmapInfo, DIB_RGB_COLORS);
    } else {
        bitmap = ::CreateBitmap(header.biWidth, height, 1, 1, NULL);
        HDC memory = ::CreateCompatibleDC(screen);
        if (bitmap != NULL && memory != NULL) {
            HGDIOBJ old = ::SelectObject(memory, bitmap);
            ::StretchDIBits(memory, 0, 0, header.biWidth, height, 0, 0, header.biWidth, height, bits,
                            bitmapInfo, DIB_RGB_COLORS, SRCCOPY);
            ::SelectObject(memory, old);
        }
        if (memory != NULL)
            ::DeleteDC(memory);
    }
    ::ReleaseDC(NULL, screen);
    return bitmap;
}
