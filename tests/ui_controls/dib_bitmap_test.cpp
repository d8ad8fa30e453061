// The palette bitmap of the drawing effects and the transparent bitmap, on 32-bit memory targets.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "dib_bitmap.h"
#include "draw_effects.h"
#include "flat_combo_box.h"
#include "test_surface.h"
#include "transparent_bitmap.h"

namespace {

// The shared 32-bit surface with a CDC over its DC for the drawing calls.
class Target : public TestSurface
{
public:
    Target(int nWidth, int nHeight, COLORREF clrBackground) : TestSurface(nWidth, nHeight, clrBackground)
    {
        m_dc.Attach(dc());
    }
    ~Target() { m_dc.Detach(); }
    COLORREF At(int x, int y) const { return Pixel(x, y); }
    CDC m_dc;
};

TEST(DibBitmap, LayoutFollowsTheBitDepth)
{
    const struct
    {
        const char* name;
        int width;
        int height;
        int bits;
        int stride;
        int palette;
    } cases[] = {{"1-bit 10x10", 10, 10, 1, 4, 2},  {"1-bit 33 wide", 33, 2, 1, 8, 2},
                 {"4-bit 9 wide", 9, 3, 4, 8, 16},  {"8-bit 10 wide", 10, 4, 8, 12, 256},
                 {"8-bit 4 wide", 4, 1, 8, 4, 256}, {"24-bit 5 wide", 5, 2, 24, 16, 0},
                 {"32-bit 3 wide", 3, 3, 32, 12, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDibBitmap dib;
        BYTE* pBuffer = dib.Create(c.width, c.height, c.bits);
        ASSERT_NE(pBuffer, nullptr);
        EXPECT_EQ(dib.GetStride(), c.stride);
        EXPECT_EQ(dib.GetPaletteSize(), c.palette);
        EXPECT_EQ(dib.GetImageSize(), static_cast<DWORD>(c.stride * c.height));
        EXPECT_EQ(dib.GetBufferSize(), static_cast<size_t>(40 + 4 * c.palette + c.stride * c.height));
        EXPECT_EQ(dib.GetBits(), pBuffer + 40 + 4 * c.palette);
        const BITMAPINFOHEADER* pHeader = reinterpret_cast<const BITMAPINFOHEADER*>(pBuffer);
        EXPECT_EQ(pHeader->biSize, 40u);
        EXPECT_EQ(pHeader->biWidth, c.width);
        EXPECT_EQ(pHeader->biHeight, c.height); // bottom-up
        EXPECT_EQ(pHeader->biPlanes, 1);
        EXPECT_EQ(pHeader->biBitCount, c.bits);
        EXPECT_EQ(pHeader->biCompression, static_cast<DWORD>(BI_RGB));
        EXPECT_EQ(pHeader->biSizeImage, static_cast<DWORD>(c.stride * c.height));
        EXPECT_EQ(pHeader->biClrUsed, 0u);
    }
}

TEST(DibBitmap, RefusesSizesItCannotHold)
{
    const struct
    {
        const char* name;
        int width;
        int height;
        int bits;
    } cases[] = {{"zero width", 0, 5, 8},
                 {"negative height", 5, -1, 8},
                 {"no bits", 5, 5, 0},
                 {"too many bits", 5, 5, 33},
                 {"beyond 2 GB", 65536, 65536, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDibBitmap dib;
        EXPECT_EQ(dib.Create(c.width, c.height, c.bits), nullptr);
        EXPECT_EQ(dib.GetBits(), nullptr);
        EXPECT_EQ(dib.GetBufferSize(), 0u);
    }
}

TEST(DibBitmap, PaletteEntriesAndBlending)
{
    CDibBitmap dib;
    ASSERT_NE(dib.Create(2, 2, 8), nullptr);
    const RGBQUAD* pPalette = reinterpret_cast<const RGBQUAD*>(dib.GetBuffer() + 40);
    dib.SetPaletteColor(0, 10, 20, 30);
    dib.SetPaletteColor(255, 200, 100, 0);
    dib.SetPaletteColor(256, 1, 1, 1); // beyond the palette: ignored
    dib.SetPaletteColor(-1, 1, 1, 1);
    EXPECT_EQ(pPalette[0].rgbRed, 10);
    EXPECT_EQ(pPalette[0].rgbGreen, 20);
    EXPECT_EQ(pPalette[0].rgbBlue, 30);
    EXPECT_EQ(pPalette[0].rgbReserved, 0);

    dib.BlendPalette(RGB(110, 120, 130), 50);
    EXPECT_EQ(pPalette[0].rgbRed, 60);
    EXPECT_EQ(pPalette[0].rgbGreen, 70);
    EXPECT_EQ(pPalette[0].rgbBlue, 80);
    EXPECT_EQ(pPalette[255].rgbRed, 155);
    // Above 100 percent counts as 100: exactly the colour.
    dib.BlendPalette(RGB(7, 8, 9), 150);
    EXPECT_EQ(pPalette[0].rgbRed, 7);
    EXPECT_EQ(pPalette[255].rgbGreen, 8);
    EXPECT_EQ(pPalette[255].rgbBlue, 9);

    // A bitmap without a palette has nothing to set.
    CDibBitmap rgb;
    ASSERT_NE(rgb.Create(2, 2, 24), nullptr);
    rgb.SetPaletteColor(0, 1, 2, 3);
    rgb.BlendPalette(RGB(1, 2, 3), 50);
    EXPECT_EQ(rgb.GetBits(), rgb.GetBuffer() + 40);
}

TEST(DibBitmap, PixelsAreStoredBottomUpAndOnlyInsideTheImage)
{
    CDibBitmap dib;
    ASSERT_NE(dib.Create(3, 2, 8), nullptr);
    dib.Fill(9);
    const BYTE* pBits = dib.GetBits();
    for (DWORD i = 0; i < dib.GetImageSize(); ++i)
        ASSERT_EQ(pBits[i], 9);
    dib.SetPixelIndex(0, 0, 1); // the top-left pixel lives in the last row of the block
    EXPECT_EQ(pBits[dib.GetStride() + 0], 1);
    dib.SetPixelIndex(2, 1, 2); // the bottom-right one in the first row
    EXPECT_EQ(pBits[2], 2);
    const std::vector<BYTE> before(pBits, pBits + dib.GetImageSize());
    const struct
    {
        int x;
        int y;
    } outside[] = {{-1, 0}, {3, 0}, {0, 2}, {0, -1}, {100000, 100000}};
    for (const auto& point : outside)
        dib.SetPixelIndex(point.x, point.y, 7);
    EXPECT_EQ(std::vector<BYTE>(pBits, pBits + dib.GetImageSize()), before);

    // Packed depths change their own bits only; a pixel past the first byte stays in its row.
    CDibBitmap mono;
    ASSERT_NE(mono.Create(20, 2, 1), nullptr);
    mono.Fill(0);
    mono.SetPixelIndex(0, 1, 1);
    mono.SetPixelIndex(9, 1, 1);
    mono.SetPixelIndex(19, 0, 1);
    const BYTE* pMono = mono.GetBits();
    EXPECT_EQ(pMono[0], 0x80);
    EXPECT_EQ(pMono[1], 0x40);
    EXPECT_EQ(pMono[mono.GetStride() + 2], 0x10);
    CDibBitmap nibbles;
    ASSERT_NE(nibbles.Create(3, 1, 4), nullptr);
    nibbles.Fill(0x00);
    nibbles.SetPixelIndex(0, 0, 0xA);
    nibbles.SetPixelIndex(1, 0, 0x5);
    nibbles.SetPixelIndex(2, 0, 0xF);
    EXPECT_EQ(nibbles.GetBits()[0], 0xA5);
    EXPECT_EQ(nibbles.GetBits()[1], 0xF0);
}

TEST(DibBitmap, DrawsThePaletteColoursTheRightWayUp)
{
    CDibBitmap dib;
    ASSERT_NE(dib.Create(4, 3, 8), nullptr);
    dib.SetPaletteColor(0, 255, 0, 0);
    dib.SetPaletteColor(1, 0, 0, 255);
    dib.Fill(0);
    dib.SetPixelIndex(1, 0, 1); // top row
    Target target(8, 8, RGB(255, 255, 255));
    dib.Draw(&target.m_dc, 2, 3);
    EXPECT_EQ(target.At(3, 3), RGB(0, 0, 255));
    EXPECT_EQ(target.At(2, 3), RGB(255, 0, 0));
    EXPECT_EQ(target.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(target.At(6, 5), RGB(255, 255, 255));
    EXPECT_EQ(target.At(2, 6), RGB(255, 255, 255));

    // Later changes to the palette and the pixels show in the next drawing.
    dib.BlendPalette(RGB(0, 255, 0), 100);
    dib.SetPixelIndex(0, 2, 1);
    dib.Draw(&target.m_dc, 2, 3);
    EXPECT_EQ(target.At(2, 5), RGB(0, 255, 0));
    EXPECT_EQ(target.At(4, 4), RGB(0, 255, 0));

    // The stretching form covers the whole rectangle.
    Target large(12, 9, RGB(255, 255, 255));
    dib.StretchDraw(&large.m_dc, CRect(0, 0, 12, 9));
    EXPECT_EQ(large.At(11, 8), RGB(0, 255, 0));
    EXPECT_EQ(large.At(0, 0), RGB(0, 255, 0));

    CDibBitmap empty;
    empty.Draw(&target.m_dc, 0, 0); // nothing to draw, nothing drawn
    EXPECT_EQ(target.At(0, 0), RGB(255, 255, 255));
}

// The drawing effects generate their patterns in a CDibBitmap, whose rows are stored bottom-up; the
// shade effects must still run from the top of the rectangle, also when a huge area is generated
// smaller and stretched.
TEST(DrawEffectsPattern, ShadesRunFromTheTopAtEverySize)
{
    const struct
    {
        const char* name;
        int width;
        int height;
    } cases[] = {{"drawn at its size", 20, 100}, {"generated smaller and stretched", 4000, 1100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Target target(c.width, c.height, RGB(255, 0, 0));
        CDrawEffects effects;
        effects.FillEffect(target.m_dc.m_hDC, CDrawEffects::EffectHShade, CRect(0, 0, c.width, c.height),
                           RGB(255, 255, 255), RGB(128, 128, 128), RGB(0, 0, 0), 0);
        const COLORREF top = target.At(c.width / 2, 0);
        const COLORREF bottom = target.At(c.width / 2, c.height - 1);
        EXPECT_LE(GetRValue(top), 8);
        EXPECT_GE(GetRValue(bottom), 240);
        EXPECT_EQ(GetGValue(bottom), GetRValue(bottom)); // the palette, not the red background
    }
}

TEST(TransparentBitmap, KeyColouredPixelsLeaveTheBackground)
{
    const COLORREF kBackground = RGB(10, 200, 10);
    Target source(3, 2, RGB(255, 255, 255));
    CTransparentBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&source.m_dc, 3, 2));
    {
        CDC dc;
        dc.CreateCompatibleDC(NULL);
        CBitmap* pOld = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 3, 2, RGB(255, 255, 255));
        dc.SetPixel(1, 0, RGB(200, 0, 0));
        dc.SetPixel(2, 1, RGB(0, 0, 0));
        dc.SelectObject(pOld);
    }
    EXPECT_EQ(bitmap.GetWidth(), 3);
    EXPECT_EQ(bitmap.GetHeight(), 2);
    EXPECT_EQ(bitmap.GetTransparentColor(), RGB(255, 255, 255));

    Target target(6, 4, kBackground);
    bitmap.Draw(&target.m_dc, 1, 1);
    EXPECT_EQ(target.At(1, 1), kBackground);
    EXPECT_EQ(target.At(2, 1), RGB(200, 0, 0));
    EXPECT_EQ(target.At(3, 2), RGB(0, 0, 0));
    EXPECT_EQ(target.At(3, 1), kBackground);

    // Another key: now white is drawn and the red pixel is left out.
    bitmap.SetTransparentColor(RGB(200, 0, 0));
    Target second(6, 4, kBackground);
    bitmap.Draw(&second.m_dc, 0, 0);
    EXPECT_EQ(second.At(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(second.At(1, 0), kBackground);

    CTransparentBitmap empty;
    EXPECT_EQ(empty.GetWidth(), 0);
    empty.Draw(&second.m_dc, 0, 0);
}

TEST(FlatComboBox, BehavesAsTheSystemsComboBox)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, NULL, L"parent", WS_POPUP, 0, 0, 200, 200, NULL, NULL));
    CFlatComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 0, 100, 100), &parent, 1));
    combo.AddString(L"one");
    EXPECT_EQ(combo.GetCount(), 1);
    wchar_t className[16] = {};
    ::GetClassName(combo.m_hWnd, className, 16);
    EXPECT_STREQ(className, L"ComboBox");
    parent.DestroyWindow();
}

} // namespace
