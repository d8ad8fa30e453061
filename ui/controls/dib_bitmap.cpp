#include "dib_bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The largest image the block may hold; the header keeps the size in 32 bits.
constexpr unsigned long long kMaxImageBytes = 0x7FFFFFFFULL;

} // namespace

CDibBitmap::CDibBitmap()
    : m_pBuffer(NULL), m_header{}, m_nStride(0), m_nPaletteEntries(0), m_hSection(NULL), m_pMemDC(NULL),
      m_pSectionBits(NULL), m_hOldBitmap(NULL)
{
    Release();
}

CDibBitmap::~CDibBitmap()
{
    Release();
}

int CDibBitmap::PaletteEntriesFor(int nBitsPerPixel)
{
    switch (nBitsPerPixel) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

int CDibBitmap::StrideFor(int nWidth, int nBitsPerPixel)
{
    const long long nBits = static_cast<long long>(nBitsPerPixel) * nWidth;
    return static_cast<int>((nBits + 31) / 32 * 4);
}

void CDibBitmap::Release()
{
    if (m_pMemDC != NULL) {
        if (m_hOldBitmap != NULL)
            ::SelectObject(m_pMemDC->m_hDC, m_hOldBitmap);
        delete m_pMemDC;
    }
    if (m_hSection != NULL)
        ::DeleteObject(m_hSection);
    delete[] m_pBuffer;
    m_pBuffer = NULL;
    m_header = BITMAPINFOHEADER{};
    m_nStride = 0;
    m_nPaletteEntries = 0;
    m_hSection = NULL;
    m_pMemDC = NULL;
    m_pSectionBits = NULL;
    m_hOldBitmap = NULL;
}

BYTE* CDibBitmap::Create(int nWidth, int nHeight, int nBitsPerPixel)
{
    Release();
    if (nWidth <= 0 || nHeight <= 0 || nBitsPerPixel <= 0 || nBitsPerPixel > 32)
        return NULL;
    const unsigned long long nStride =
        (static_cast<unsigned long long>(nBitsPerPixel) * static_cast<unsigned long long>(nWidth) + 31) / 32 *
        4;
    const unsigned long long nImageSize = nStride * static_cast<unsigned long long>(nHeight);
    if (nImageSize > kMaxImageBytes)
        return NULL;
    const int nPaletteEntries = PaletteEntriesFor(nBitsPerPixel);
    const size_t nBufferSize = sizeof(BITMAPINFOHEADER) +
                               sizeof(RGBQUAD) * static_cast<size_t>(nPaletteEntries) +
                               static_cast<size_t>(nImageSize);
    BYTE* pBuffer = new (std::nothrow) BYTE[nBufferSize];
    if (pBuffer == NULL)
        return NULL;

    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = nWidth;
    m_header.biHeight = nHeight;
    m_header.biPlanes = 1;
    m_header.biBitCount = static_cast<WORD>(nBitsPerPixel);
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = static_cast<DWORD>(nImageSize);
    std::memcpy(pBuffer, &m_header, sizeof(m_header));
    m_pBuffer = pBuffer;
    m_nStride = static_cast<int>(nStride);
    m_nPaletteEntries = nPaletteEntries;
    return m_pBuffer;
}

RGBQUAD* CDibBitmap::Palette() const
{
    return m_pBuffer != NULL ? reinterpret_cast<RGBQUAD*>(m_pBuffer + sizeof(BITMAPINFOHEADER)) : NULL;
}

BYTE* CDibBitmap::GetBits() const
{
    if (m_pBuffer == NULL)
        return NULL;
    return m_pBuffer + sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * static_cast<size_t>(m_nPaletteEntries);
}

size_t CDibBitmap::GetBufferSize() const
{
    if (m_pBuffer == NULL)
        return 0;
    return sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * static_cast<size_t>(m_nPaletteEntries) +
           m_header.biSizeImage;
}

void CDibBitmap::SetPaletteColor(int nIndex, BYTE red, BYTE green, BYTE blue)
{
    if (nIndex < 0 || nIndex >= m_nPaletteEntries)
        return;
    RGBQUAD& entry = Palette()[nIndex];
    entry.rgbRed = red;
    entry.rgbGreen = green;
    entry.rgbBlue = blue;
    entry.rgbReserved = 0;
}

void CDibBitmap::BlendPalette(COLORREF colour, int nPercent)
{
    const int percent = std::clamp(nPercent, 0, 100);
    RGBQUAD* pPalette = Palette();
    for (int i = 0; i < m_nPaletteEntries; ++i) {
        RGBQUAD& entry = pPalette[i];
        entry.rgbRed =
            static_cast<BYTE>((entry.rgbRed * (100 - percent) + GetRValue(colour) * percent) / 100);
        entry.rgbGreen =
            static_cast<BYTE>((entry.rgbGreen * (100 - percent) + GetGValue(colour) * percent) / 100);
        entry.rgbBlue =
            static_cast<BYTE>((entry.rgbBlue * (100 - percent) + GetBValue(colour) * percent) / 100);
    }
}

void CDibBitmap::Fill(BYTE nIndex)
{
    if (BYTE* pBits = GetBits())
        std::memset(pBits, nIndex, m_header.biSizeImage);
}

void CDibBitmap::SetPixelIndex(int x, int y, BYTE nIndex)
{
    if (m_pBuffer == NULL || m_nPaletteEntries == 0 || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return;
    BYTE* pRow = GetBits() + static_cast<size_t>(GetHeight() - y - 1) * static_cast<size_t>(m_nStride);
    // Packed depths keep several pixels in a byte, the leftmost in the high bits.
    switch (m_header.biBitCount) {
    case 8:
        pRow[x] = nIndex;
        break;
    case 4: {
        BYTE& byte = pRow[x / 2];
        const int shift = (x % 2 == 0) ? 4 : 0;
        byte = static_cast<BYTE>((byte & ~(0x0F << shift)) | ((nIndex & 0x0F) << shift));
        break;
    }
    case 1: {
        BYTE& byte = pRow[x / 8];
        const int shift = 7 - x % 8;
        byte = static_cast<BYTE>((byte & ~(1 << shift)) | ((nIndex & 1) << shift));
        break;
    }
    default:
        break;
    }
}

BOOL CDibBitmap::PrepareSection(CDC* pDC)
{
    if (m_pBuffer == NULL || pDC == NULL)
        return FALSE;
    if (m_hSection == NULL) {
        m_hSection = ::CreateDIBSection(pDC->m_hDC, reinterpret_cast<const BITMAPINFO*>(m_pBuffer),
                                        DIB_RGB_COLORS, &m_pSectionBits, NULL, 0);
        if (m_hSection == NULL || m_pSectionBits == NULL) {
            if (m_hSection != NULL)
                ::DeleteObject(m_hSection);
            m_hSection = NULL;
            m_pSectionBits = NULL;
            return FALSE;
        }
    }
    if (m_pMemDC == NULL) {
        CDC* pMemDC = new CDC;
        if (!pMemDC->CreateCompatibleDC(pDC)) {
            delete pMemDC;
            return FALSE;
        }
        m_pMemDC = pMemDC;
        m_hOldBitmap = ::SelectObject(m_pMemDC->m_hDC, m_hSection);
    }
    // The pixels on every call; the palette too, which may have changed since the section was made.
    ::GdiFlush();
    std::memcpy(m_pSectionBits, GetBits(), m_header.biSizeImage);
    if (m_nPaletteEntries > 0)
        ::SetDIBColorTable(m_pMemDC->m_hDC, 0, static_cast<UINT>(m_nPaletteEntries), Palette());
    return TRUE;
}

void CDibBitmap::Draw(CDC* pDC, int x, int y)
{
    if (!PrepareSection(pDC))
        return;
    pDC->BitBlt(x, y, GetWidth(), GetHeight(), m_pMemDC, 0, 0, SRCCOPY);
}

void CDibBitmap::StretchDraw(CDC* pDC, const RECT& target)
{
    if (!PrepareSection(pDC))
        return;
    const int nOldMode = pDC->SetStretchBltMode(COLORONCOLOR);
    pDC->StretchBlt(target.left, target.top, target.right - target.left, target.bottom - target.top, m_pMemDC,
                    0, 0, GetWidth(), GetHeight(), SRCCOPY);
    pDC->SetStretchBltMode(nOldMode);
}
