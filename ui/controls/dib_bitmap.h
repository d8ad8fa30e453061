#pragma once

#include <afxwin.h>

#include <cstdint>

// A device-independent bitmap with a palette, kept as one packed block (header, palette, pixels)
// that callers fill pixel by pixel; drawing copies it into a DIB section kept for the purpose.
// Rows are stored bottom-up: row 0 of GetBits is the bottom row of the image.
class CDibBitmap
{
public:
    CDibBitmap();
    virtual ~CDibBitmap();
    CDibBitmap(const CDibBitmap&) = delete;
    CDibBitmap& operator=(const CDibBitmap&) = delete;

    // Releases what the bitmap held and allocates a new block (palette and pixels left as they are
    // allocated); null for a size of zero or less, a bit depth outside 1 to 32, or an image whose
    // size does not fit a DIB.
    BYTE* Create(int nWidth, int nHeight, int nBitsPerPixel);
    // Frees the DC, the DIB section and the block and clears every field.
    void Release();

    // The pixels, after the header and the palette; null before Create.
    BYTE* GetBits() const;
    // Ignored for an index outside the palette.
    void SetPaletteColor(int nIndex, BYTE red, BYTE green, BYTE blue);
    // Moves every palette entry towards the colour by the percentage (above 100 counts as 100).
    void BlendPalette(COLORREF colour, int nPercent);
    // Sets every pixel byte to the index.
    void Fill(BYTE nIndex);
    // Sets the palette index of one pixel (y counted from the top); ignored outside the image and
    // for images without a palette.
    void SetPixelIndex(int x, int y, BYTE nIndex);
    // Copies the image to (x, y) at its own size.
    void Draw(CDC* pDC, int x, int y);
    // Copies the image stretched over the rectangle.
    void StretchDraw(CDC* pDC, const RECT& target);

    int GetWidth() const { return static_cast<int>(m_header.biWidth); }
    int GetHeight() const { return static_cast<int>(m_header.biHeight); }
    int GetBitsPerPixel() const { return m_header.biBitCount; }
    int GetStride() const { return m_nStride; }
    int GetPaletteSize() const { return m_nPaletteEntries; }
    DWORD GetImageSize() const { return m_header.biSizeImage; }
    // The whole packed block: header, palette and pixels.
    size_t GetBufferSize() const;
    const BYTE* GetBuffer() const { return m_pBuffer; }

    // Palette entries by bit depth: 1 -> 2, 4 -> 16, 8 -> 256, other depths none.
    static int PaletteEntriesFor(int nBitsPerPixel);
    // Row length in bytes: whole 32-bit words.
    static int StrideFor(int nWidth, int nBitsPerPixel);

private:
    RGBQUAD* Palette() const;
    // The DIB section and its DC, made on first use; FALSE when either cannot be made.
    BOOL PrepareSection(CDC* pDC);

    BYTE* m_pBuffer;
    BITMAPINFOHEADER m_header;
    int m_nStride;
    int m_nPaletteEntries;
    HBITMAP m_hSection;
    CDC* m_pMemDC;
    void* m_pSectionBits;
    HGDIOBJ m_hOldBitmap;
};
