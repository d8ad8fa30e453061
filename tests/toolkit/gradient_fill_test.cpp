// Gradients on the pixels of a 32-bit memory DC: the system's GradientFill against the bands, clipped
// gradients, two-part pairs, and the solid fill of a 256-colour screen.
#include "gradient_fill.h"

#include "color_table.h"
#include "draw_helpers.h"
#include "resource_loader.h"
#include "toolkit_resource_ids.h"

#include <gtest/gtest.h>

#include "support/screenshot.h"
#include "toolkit_test_app.h"

namespace {

const COLORREF kStart = RGB(250, 20, 100);
const COLORREF kEnd = RGB(10, 200, 40);
const COLORREF kBackground = RGB(1, 2, 3);

class BandFillOnly
{
public:
    BandFillOnly() { CXTGdiHelper::SetBandFillOnly(TRUE); }
    ~BandFillOnly() { CXTGdiHelper::SetBandFillOnly(FALSE); }
};

TEST(GradientFill, SystemFillAndBandsAgreeWithinOne)
{
    for (BOOL bHorz : {TRUE, FALSE}) {
        SCOPED_TRACE(bHorz ? "horizontal" : "vertical");
        PixelSurface system(120, 90, kBackground);
        PixelSurface bands(120, 90, kBackground);
        const CRect rect(10, 5, 110, 85);
        CXTGdiHelper::FillGradient(system.dc(), rect, kStart, kEnd, bHorz);
        {
            BandFillOnly bandsOnly;
            CXTGdiHelper::FillGradient(bands.dc(), rect, kStart, kEnd, bHorz);
        }
        int nDifferent = 0;
        for (int y = 0; y < 90; ++y) {
            for (int x = 0; x < 120; ++x) {
                if (!ColorsNear(system.Pixel(x, y), bands.Pixel(x, y), 1))
                    ++nDifferent;
            }
        }
        EXPECT_EQ(nDifferent, 0);
        EXPECT_EQ(bands.Pixel(rect.left, rect.top), kStart);
        EXPECT_EQ(bands.Pixel(9, 5), kBackground);
        EXPECT_EQ(bands.Pixel(110, 84), kBackground);
        const COLORREF last = bHorz ? bands.Pixel(109, 40) : bands.Pixel(50, 84);
        EXPECT_TRUE(ColorsNear(last, kEnd, 3));
    }
}

TEST(GradientFill, BandsStayInsideTheClipBox)
{
    BandFillOnly bandsOnly;
    PixelSurface surface(100, 20, kBackground);
    CRgn clip;
    clip.CreateRectRgn(30, 0, 60, 20);
    surface.dc()->SelectClipRgn(&clip);
    CXTGdiHelper::FillGradient(surface.dc(), CRect(0, 0, 100, 20), kStart, kEnd, TRUE);
    EXPECT_EQ(surface.Pixel(29, 10), kBackground);
    EXPECT_EQ(surface.Pixel(60, 10), kBackground);
    EXPECT_EQ(surface.Pixel(30, 10), MixColors(kStart, kEnd, 1.0 - 30 / 100.0));
    EXPECT_EQ(surface.Pixel(59, 10), MixColors(kStart, kEnd, 1.0 - 59 / 100.0));
}

TEST(GradientFill, EqualColorsAndEmptyRectanglesAreSimple)
{
    PixelSurface surface(40, 10, kBackground);
    CXTGdiHelper::FillGradient(surface.dc(), CRect(0, 0, 40, 10), kStart, kStart, TRUE);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(surface.Pixel(x, 5), kStart);
    PixelSurface untouched(40, 10, kBackground);
    CXTGdiHelper::FillGradient(untouched.dc(), CRect(10, 0, 10, 10), kStart, kEnd, TRUE);
    CXTGdiHelper::FillGradient(untouched.dc(), NULL, kStart, kEnd, TRUE);
    EXPECT_EQ(untouched.Pixel(10, 5), kBackground);
}

TEST(GradientFill, AClippedRightHalfStartsAtTheMiddleColor)
{
    for (bool bBands : {false, true}) {
        SCOPED_TRACE(bBands ? "bands" : "system");
        CXTGdiHelper::SetBandFillOnly(bBands);
        PixelSurface surface(200, 20, kBackground);
        const CRect rect(0, 0, 200, 20);
        const CRect clip(100, 5, 300, 15);
        CXTGdiHelper::FillGradientClipped(surface.dc(), rect, kStart, kEnd, TRUE, clip);
        EXPECT_TRUE(ColorsNear(surface.Pixel(100, 10), MixColors(kStart, kEnd, 0.5), 1));
        EXPECT_TRUE(ColorsNear(surface.Pixel(199, 10), kEnd, 3));
        EXPECT_EQ(surface.Pixel(99, 10), kBackground);
        // Clipped across the axis as well.
        EXPECT_EQ(surface.Pixel(150, 4), kBackground);
        EXPECT_EQ(surface.Pixel(150, 15), kBackground);
        // A clip rectangle beside the gradient draws nothing.
        PixelSurface beside(200, 20, kBackground);
        CXTGdiHelper::FillGradientClipped(beside.dc(), CRect(0, 0, 100, 20), kStart, kEnd, TRUE,
                                          CRect(100, 0, 200, 20));
        EXPECT_EQ(beside.Pixel(50, 10), kBackground);
        EXPECT_EQ(beside.Pixel(150, 10), kBackground);
    }
    CXTGdiHelper::SetBandFillOnly(FALSE);
}

TEST(GradientFill, PairsOfFactorOneHalfDrawOneGradientOthersTwoMeetingAtTheFactor)
{
    const CRect rect(0, 0, 200, 10);
    CXTColorPair half;
    half.Set(kStart, kEnd, 0.5f);
    PixelSurface single(200, 10, kBackground);
    PixelSurface pair(200, 10, kBackground);
    CXTGdiHelper::FillGradient(single.dc(), rect, kStart, kEnd, TRUE);
    CXTGdiHelper::FillGradientPair(pair.dc(), rect, half, TRUE);
    for (int x = 0; x < 200; ++x)
        EXPECT_EQ(pair.Pixel(x, 5), single.Pixel(x, 5)) << x;

    CXTColorPair threeQuarters;
    threeQuarters.Set(kStart, kEnd, 0.75f);
    // The effective colours count: an override replaces the start.
    threeQuarters.m_clrStart.SetCustomValue(RGB(200, 200, 0));
    PixelSurface two(200, 10, kBackground);
    CXTGdiHelper::FillGradientPair(two.dc(), rect, threeQuarters, TRUE);
    const COLORREF middle = MixColors(RGB(200, 200, 0), kEnd, 0.75);
    EXPECT_TRUE(ColorsNear(two.Pixel(0, 5), RGB(200, 200, 0), 1));
    EXPECT_TRUE(ColorsNear(two.Pixel(100, 5), middle, 1));
    EXPECT_TRUE(ColorsNear(two.Pixel(99, 5), middle, 3));
    EXPECT_TRUE(ColorsNear(two.Pixel(199, 5), kEnd, 3));

    // Vertical, with a clip rectangle over the lower half only.
    PixelSurface vertical(10, 200, kBackground);
    CXTGdiHelper::FillGradientPair(vertical.dc(), CRect(0, 0, 10, 200), threeQuarters, FALSE,
                                   CRect(0, 100, 10, 200));
    EXPECT_EQ(vertical.Pixel(5, 99), kBackground);
    EXPECT_TRUE(ColorsNear(vertical.Pixel(5, 100), middle, 1));
}

TEST(LowColorScreen, GradientsFillSolidInTheStartColor)
{
    ASSERT_TRUE(IsLowColorDC(NULL)) << "runs on a 256-colour screen (WINRUN_SCREEN_DEPTH=8)";
    // A memory DC reports the screen's depth.
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    EXPECT_TRUE(IsLowColorDC(&dc));
    CBitmap bitmap;
    CClientDC screen(NULL);
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 100, 10));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    // Pure red and blue are colours of the system palette, so they come back unchanged.
    CXTGdiHelper::FillGradient(&dc, CRect(0, 0, 100, 10), RGB(255, 0, 0), RGB(0, 0, 255), TRUE);
    for (int x = 0; x < 100; x += 9)
        EXPECT_EQ(dc.GetPixel(x, 5), RGB(255, 0, 0)) << x;
    dc.SelectObject(pOld);
}

} // namespace

namespace {

// The toolkit's own cursors on a light and a dark surface, and the ten gradient pairs of every
// scheme (one row a scheme), for a person to look at.
TEST(GradientFill, LeavesAScreenshotOfTheCursorsAndTheSchemesGradientPairs)
{
    const int nWidth = 10 * 36 + 8;
    const int nHeight = 48 + 4 * 68;
    PixelSurface surface(nWidth, nHeight, RGB(255, 255, 255));
    surface.dc()->FillSolidRect(nWidth / 2, 0, nWidth - nWidth / 2, 48, RGB(48, 48, 48));
    const UINT cursors[] = {XT_IDC_HSPLITBAR, XT_IDC_VSPLITBAR, XT_IDC_HAND};
    for (int i = 0; i < 3; ++i) {
        const HCURSOR hCursor = GetResourceLoader()->LoadCursor(cursors[i]);
        ASSERT_NE(hCursor, nullptr);
        DrawIconEx(surface.dc()->m_hDC, 8 + i * 40, 8, hCursor, 32, 32, 0, NULL, DI_NORMAL);
        DrawIconEx(surface.dc()->m_hDC, nWidth / 2 + 8 + i * 40, 8, hCursor, 32, 32, 0, NULL, DI_NORMAL);
    }
    CXTPColorTable* pTable = GetColorTable();
    for (UINT nScheme = xtSchemeNone; nScheme <= xtSchemeSilver; ++nScheme) {
        pTable->SetRequestedScheme(nScheme);
        pTable->Refresh();
        for (int nPair = 0; nPair < 10; ++nPair) {
            const CRect rect(8 + nPair * 36, 52 + static_cast<int>(nScheme) * 68, 40 + nPair * 36,
                             112 + static_cast<int>(nScheme) * 68);
            CXTGdiHelper::FillGradientPair(surface.dc(), rect, pTable->GetGradientPair(nPair), FALSE);
        }
    }
    pTable->SetRequestedScheme(xtSchemeDetected);
    pTable->Refresh();
    // Transparent cursor pixels show the surface: the left one is white there.
    EXPECT_EQ(surface.Pixel(8, 47), RGB(255, 255, 255));

    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < nHeight; ++y) {
        for (int x = 0; x < nWidth; ++x)
            pixels.push_back(TestSurface::ToPixel(surface.Pixel(x, y)));
    }
    EXPECT_TRUE(test_support::WritePng(test_support::ScreenshotPath(L"toolkit_foundation"), pixels.data(),
                                       nWidth, nHeight));
}

} // namespace
