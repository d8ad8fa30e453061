// Area fills, image states and blits of CDrawEffects, read back from 32-bit memory DCs.
#include "draw_effects.h"
#include "test_surface.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

COLORREF BandColour(COLORREF start, COLORREF end, int band)
{
    return RGB((GetRValue(start) * (64 - band) + GetRValue(end) * band) / 64,
               (GetGValue(start) * (64 - band) + GetGValue(end) * band) / 64,
               (GetBValue(start) * (64 - band) + GetBValue(end) * band) / 64);
}

std::uint32_t Pixel(COLORREF colour, std::uint32_t alpha = 0)
{
    return TestSurface::ToPixel(colour) | (alpha << 24);
}

} // namespace

TEST(DrawEffectsGradient, SixtyFourBandsOfIntegerBlends)
{
    const COLORREF start = RGB(10, 200, 30);
    const COLORREF end = RGB(250, 0, 131);
    CDrawEffects effects;

    // 128 columns: every band is two columns wide.
    TestSurface horizontal(130, 4);
    effects.FillGradient(horizontal.dc(), {1, 0, 129, 4}, start, end, TRUE);
    for (int band = 0; band < 64; ++band) {
        SCOPED_TRACE(band);
        EXPECT_EQ(horizontal.Pixel(1 + 2 * band, 2), BandColour(start, end, band));
        EXPECT_EQ(horizontal.Pixel(2 + 2 * band, 2), BandColour(start, end, band));
    }
    EXPECT_EQ(horizontal.Pixel(0, 2), RGB(255, 255, 255));
    EXPECT_EQ(horizontal.Pixel(129, 2), RGB(255, 255, 255));

    TestSurface vertical(3, 64);
    effects.FillGradient(vertical.dc(), {0, 0, 3, 64}, start, end, FALSE);
    for (int band = 0; band < 64; ++band) {
        EXPECT_EQ(vertical.Pixel(1, band), BandColour(start, end, band)) << band;
    }
}

TEST(DrawEffectsGradient, NarrowRectangleDrawsOnlyTheNonEmptyBands)
{
    const COLORREF start = RGB(0, 0, 0);
    const COLORREF end = RGB(252, 128, 64);
    CDrawEffects effects;
    TestSurface surface(40, 2);
    effects.FillGradient(surface.dc(), {0, 0, 40, 2}, start, end, TRUE);
    for (int x = 0; x < 40; ++x) {
        // The one non-empty band that covers column x: the first whose end lies past it.
        int band = 0;
        while (40 * (band + 1) / 64 <= x) {
            ++band;
        }
        EXPECT_EQ(surface.Pixel(x, 1), BandColour(start, end, band)) << x;
    }
}

TEST(DrawEffectsFill, EveryPatternWithThreeEqualColoursIsEven)
{
    // The message dialogs fill their areas with vbump in 0xF2F2F2 three times; every pattern effect
    // builds its palette from the three colours, so equal colours leave no trace of the pattern.
    const COLORREF grey = 0xF2F2F2;
    CDrawEffects effects;
    for (int effect = CDrawEffects::EffectNoise; effect <= CDrawEffects::EffectMetal; ++effect) {
        SCOPED_TRACE(effect);
        TestSurface surface(120, 60);
        effects.FillEffect(surface.dc(), effect, {10, 5, 110, 55}, grey, grey, grey, 20);
        EXPECT_EQ(surface.Count(grey), 100 * 50);
        EXPECT_EQ(surface.Pixel(9, 5), RGB(255, 255, 255));
        EXPECT_EQ(surface.Pixel(110, 54), RGB(255, 255, 255));
    }
}

TEST(DrawEffectsFill, TwoPartGradientsMeetAtTheCentre)
{
    const COLORREF one = RGB(0, 0, 0);
    const COLORREF two = RGB(128, 128, 128);
    const COLORREF three = RGB(255, 0, 0);
    struct Case
    {
        const char* name;
        int effect;
        int x;
        COLORREF expected;
    };
    const Case cases[] = {
        {"hgradient starts with colour 1", CDrawEffects::EffectHGradient, 0, one},
        {"hcgradient starts with colour 1", CDrawEffects::EffectHCGradient, 0, one},
        {"hcgradient reaches colour 3 at the centre", CDrawEffects::EffectHCGradient, 64, three},
        {"3hgradient reaches colour 2 at the centre", CDrawEffects::Effect3HGradient, 64, two},
        {"3hgradient ends in its last band towards colour 3", CDrawEffects::Effect3HGradient, 127,
         BandColour(two, three, 63)},
        {"solid", CDrawEffects::EffectSolid, 100, one},
    };
    CDrawEffects effects;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSurface surface(128, 2);
        effects.FillEffect(surface.dc(), c.effect, {0, 0, 128, 2}, one, two, three);
        EXPECT_EQ(surface.Pixel(c.x, 0), c.expected);
    }
    TestSurface untouched(8, 8);
    effects.FillEffect(untouched.dc(), CDrawEffects::EffectTransparent, {0, 0, 8, 8}, one, two, three);
    EXPECT_EQ(untouched.Count(RGB(255, 255, 255)), 64);
}

TEST(DrawEffectsBlur, BoxBlurEqualsANaiveWindowMean)
{
    const int width = 13;
    const int height = 9;
    std::mt19937 random(1234);
    std::vector<std::uint32_t> pixels(width * height);
    for (auto& pixel : pixels) {
        pixel = random();
    }
    const std::pair<int, int> windows[] = {{1, 1}, {3, 3}, {5, 3}, {1, 7}, {4, 2}, {7, 7}, {15, 11}};
    for (const auto& [blurWidth, blurHeight] : windows) {
        SCOPED_TRACE(std::to_string(blurWidth) + " x " + std::to_string(blurHeight));
        std::vector<double> blurred(width * height, -1.0);
        CDrawEffects::BoxBlur(width, height, pixels.data(), blurWidth, blurHeight, blurred.data());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                double sum = 0.0;
                for (int dy = 0; dy < blurHeight; ++dy) {
                    for (int dx = 0; dx < blurWidth; ++dx) {
                        const int sx = x - blurWidth / 2 + dx;
                        const int sy = y - blurHeight / 2 + dy;
                        const bool inside = sx >= 0 && sy >= 0 && sx < width && sy < height;
                        sum += inside ? (pixels[sy * width + sx] & 0xFF) : 255.0;
                    }
                }
                ASSERT_NEAR(blurred[y * width + x], sum / (blurWidth * blurHeight * 255.0), 1e-12)
                    << x << "," << y;
            }
        }
    }
    // Nothing is computed without an output array.
    CDrawEffects::BoxBlur(width, height, pixels.data(), 3, 3, nullptr);
}

TEST(DrawEffectsImages, MakeImageVariantFlagTable)
{
    const COLORREF key = RGB(255, 0, 255);
    const COLORREF replacement = RGB(10, 20, 30);
    const std::uint32_t source[] = {Pixel(RGB(200, 100, 50)), Pixel(key)};
    HBITMAP bitmap = MakeTestBitmap(2, 1, source);
    struct Case
    {
        const char* name;
        UINT flags;
        COLORREF image;
        COLORREF keyPixel;
    };
    const Case cases[] = {
        {"as it is", 0, RGB(200, 100, 50), RGB(0, 0, 0)},
        {"grey: 0.299 r + 0.587 g + 0.114 b", 0x1, RGB(124, 124, 124), RGB(0, 0, 0)},
        {"darker by 0.75", 0x2, RGB(150, 75, 38), RGB(0, 0, 0)},
        {"lighter by 1.25", 0x4, RGB(250, 125, 63), RGB(0, 0, 0)},
        {"replaced", 0x8, replacement, RGB(0, 0, 0)},
        {"grey, then darker", 0x1 | 0x2, RGB(93, 93, 93), RGB(0, 0, 0)},
        {"darker, then lighter", 0x2 | 0x4, RGB(188, 94, 48), RGB(0, 0, 0)},
        {"inverted, key pixel too", 0x8000, RGB(55, 155, 205), RGB(255, 255, 255)},
        {"the mask: image black, key white", 0x8008, RGB(245, 235, 225), RGB(255, 255, 255)},
    };
    CDrawEffects effects;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool hasAlpha = true;
        HBITMAP variant = effects.MakeImageVariant(bitmap, 2, 1, c.flags, TRUE, key, replacement, &hasAlpha);
        ASSERT_NE(variant, nullptr);
        EXPECT_FALSE(hasAlpha);
        TestSurface surface(2, 1);
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(source, variant);
        BitBlt(surface.dc(), 0, 0, 2, 1, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        DeleteObject(variant);
        EXPECT_EQ(surface.Pixel(0, 0), c.image);
        EXPECT_EQ(surface.Pixel(1, 0), c.keyPixel);
    }
    DeleteObject(bitmap);

    const std::uint32_t withAlpha[] = {Pixel(RGB(1, 2, 3), 0x80), Pixel(key, 0xFF)};
    HBITMAP alphaBitmap = MakeTestBitmap(2, 1, withAlpha);
    bool hasAlpha = false;
    HBITMAP variant = effects.MakeImageVariant(alphaBitmap, 2, 1, 0, TRUE, key, 0, &hasAlpha);
    EXPECT_TRUE(hasAlpha);
    DeleteObject(variant);
    DeleteObject(alphaBitmap);
}

TEST(DrawEffectsImages, KeyColourStaysTransparentInDrawBitmapEx)
{
    const COLORREF key = RGB(255, 0, 255);
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    // A 4 x 4 image: key-coloured frame, red inside.
    std::uint32_t source[16];
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            source[y * 4 + x] = Pixel((x == 0 || y == 0 || x == 3 || y == 3) ? key : red);
        }
    }
    HBITMAP bitmap = MakeTestBitmap(4, 4, source);
    CDrawEffects effects;

    TestSurface surface(20, 20, blue);
    effects.DrawBitmapEx(surface.dc(), 5, 5, 4, 4, bitmap, TRUE, key, 0);
    EXPECT_EQ(surface.Pixel(5, 5), blue);
    EXPECT_EQ(surface.Pixel(8, 6), blue);
    EXPECT_EQ(surface.Pixel(6, 6), red);
    EXPECT_EQ(surface.Pixel(7, 7), red);
    EXPECT_EQ(surface.Count(red), 4);
    EXPECT_EQ(surface.Count(key), 0);

    // Stretched to 8 x 8 and greyed, the key still leaves the background alone.
    TestSurface stretched(20, 20, blue);
    effects.DrawBitmapEx(stretched.dc(), 2, 2, 8, 8, bitmap, TRUE, key, CDrawEffects::StateGrey);
    const COLORREF grey = CDrawEffects::GreyColour(red);
    EXPECT_EQ(stretched.Count(grey), 16);
    EXPECT_EQ(stretched.Count(blue), 400 - 16);

    // With the key off, the key colour is drawn as any other.
    TestSurface opaque(20, 20, blue);
    effects.DrawBitmapEx(opaque.dc(), 0, 0, 4, 4, bitmap, FALSE, key, 0);
    EXPECT_EQ(opaque.Count(key), 12);
    DeleteObject(bitmap);
}

TEST(DrawEffectsImages, AlphaImagesBlendOverTheTarget)
{
    const COLORREF green = RGB(0, 200, 0);
    const COLORREF white = RGB(255, 255, 255);
    const std::uint32_t source[] = {Pixel(green, 0xFF), Pixel(green, 0x00), Pixel(RGB(0, 0, 0), 0x80)};
    HBITMAP bitmap = MakeTestBitmap(3, 1, source);
    CDrawEffects effects;
    TestSurface surface(3, 1, white);
    effects.DrawBitmapEx(surface.dc(), 0, 0, 3, 1, bitmap, FALSE, 0, 0);
    EXPECT_EQ(surface.Pixel(0, 0), green);
    EXPECT_EQ(surface.Pixel(1, 0), white);
    // 255 x (1 - 128/255) = 127.
    EXPECT_EQ(surface.Pixel(2, 0), RGB(127, 127, 127));
    DeleteObject(bitmap);
}

TEST(DrawEffectsImages, ShadowDarkensUnderTheMaskOnly)
{
    const COLORREF background = RGB(200, 150, 100);
    const COLORREF white = RGB(255, 255, 255);
    std::vector<std::uint32_t> whiteMask(16 * 16, Pixel(white));
    HBITMAP allWhite = MakeTestBitmap(16, 16, whiteMask.data());
    CDrawEffects effects;
    for (const BOOL blur : {FALSE, TRUE}) {
        SCOPED_TRACE(blur ? "blurred 6 x 6 (used as 7 x 7)" : "plain");
        TestSurface surface(20, 20, background);
        effects.DrawShadow(surface.dc(), 2, 2, 16, 16, allWhite, blur, 6, 6);
        EXPECT_EQ(surface.Count(background), 400);
    }
    DeleteObject(allWhite);

    // A black mask drawn plain: factor 0, the target under it turns black; half grey halves it.
    const std::uint32_t mask[] = {Pixel(RGB(0, 0, 0)), Pixel(RGB(128, 128, 128)), Pixel(white)};
    HBITMAP shades = MakeTestBitmap(3, 1, mask);
    TestSurface surface(3, 1, background);
    effects.DrawShadow(surface.dc(), 0, 0, 3, 1, shades, FALSE, 1, 1);
    EXPECT_EQ(surface.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(surface.Pixel(1, 0), CDrawEffects::DarkenColour(background, 128 / 255.0));
    EXPECT_EQ(surface.Pixel(2, 0), background);
    DeleteObject(shades);
}

TEST(DrawEffectsImages, IconsKeepTheirTransparentPartsInEveryState)
{
    const COLORREF blue = RGB(0, 0, 255);
    const COLORREF yellow = RGB(255, 255, 0);
    // 8 x 8: the left half opaque yellow, the right half transparent.
    std::uint32_t colour[64];
    std::uint32_t mask[64];
    for (int i = 0; i < 64; ++i) {
        const bool opaque = i % 8 < 4;
        colour[i] = Pixel(opaque ? yellow : RGB(0, 0, 0));
        mask[i] = Pixel(opaque ? RGB(0, 0, 0) : RGB(255, 255, 255));
    }
    HBITMAP colourBitmap = MakeTestBitmap(8, 8, colour);
    HBITMAP maskBitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    {
        HDC from = CreateCompatibleDC(nullptr);
        HDC to = CreateCompatibleDC(nullptr);
        HBITMAP maskSource = MakeTestBitmap(8, 8, mask);
        HGDIOBJ oldFrom = SelectObject(from, maskSource);
        HGDIOBJ oldTo = SelectObject(to, maskBitmap);
        BitBlt(to, 0, 0, 8, 8, from, 0, 0, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        DeleteDC(from);
        DeleteDC(to);
        DeleteObject(maskSource);
    }
    ICONINFO info = {TRUE, 0, 0, maskBitmap, colourBitmap};
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);
    CDrawEffects effects;
    const SIZE size = CDrawEffects::GetIconSize(icon);
    EXPECT_EQ(size.cx, 8);
    EXPECT_EQ(size.cy, 8);

    struct Case
    {
        const char* name;
        UINT flags;
        COLORREF opaque;
    };
    const Case cases[] = {
        {"normal", 0, yellow},
        {"grey", CDrawEffects::StateGrey, CDrawEffects::GreyColour(yellow)},
        {"replaced (disabled)", CDrawEffects::StateReplace, RGB(128, 128, 128)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSurface surface(12, 12, blue);
        effects.DrawIconEx(surface.dc(), 2, 2, 8, 8, icon, c.flags, FALSE, 0, 0, 0, 0, RGB(128, 128, 128));
        EXPECT_EQ(surface.Pixel(3, 3), c.opaque);
        EXPECT_EQ(surface.Pixel(8, 3), blue);
        EXPECT_EQ(surface.Count(blue), 144 - 32);
    }

    HICON bigger = effects.ResizeIcon(icon, 16, 16);
    ASSERT_NE(bigger, nullptr);
    EXPECT_EQ(CDrawEffects::GetIconSize(bigger).cx, 16);
    DestroyIcon(bigger);
    DestroyIcon(icon);
    DeleteObject(colourBitmap);
    DeleteObject(maskBitmap);
}

TEST(DrawEffectsImages, ImageListItemsAreCutFromTheStrip)
{
    // A strip of three 2 x 2 items: red, green, blue.
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    std::uint32_t strip[12];
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 6; ++x) {
            strip[y * 6 + x] = Pixel(colours[x / 2]);
        }
    }
    HBITMAP bitmap = MakeTestBitmap(6, 2, strip);
    CDrawEffects effects;
    TestSurface surface(4, 4);
    EXPECT_TRUE(effects.DrawImageListItem(surface.dc(), 1, 1, 2, 2, bitmap, 1, 2, 2, 0, FALSE, 0, 0));
    EXPECT_EQ(surface.Count(colours[1]), 4);
    EXPECT_FALSE(effects.DrawImageListItem(surface.dc(), 0, 0, 2, 2, bitmap, 3, 2, 2, 0, FALSE, 0, 0));
    EXPECT_FALSE(effects.DrawImageListItem(surface.dc(), 0, 0, 2, 2, bitmap, -1, 2, 2, 0, FALSE, 0, 0));
    EXPECT_EQ(surface.Count(RGB(255, 255, 255)), 12);
    DeleteObject(bitmap);
}

TEST(DrawEffectsColours, HelpersKeepTheirBounds)
{
    const COLORREF colour = RGB(200, 100, 50);
    EXPECT_EQ(CDrawEffects::DarkenColour(colour, 1.0), colour);
    EXPECT_EQ(CDrawEffects::DarkenColour(colour, 2.5), colour);
    EXPECT_EQ(CDrawEffects::DarkenColour(colour, -0.5), colour);
    EXPECT_EQ(CDrawEffects::DarkenColour(colour, 0.0), RGB(0, 0, 0));
    // The weight that a full alpha byte gives, 255 x 0.00392156862745098, leaves a colour as it is.
    EXPECT_EQ(CDrawEffects::DarkenColour(colour, 255 * 0.00392156862745098), colour);
    EXPECT_EQ(CDrawEffects::LightenColour(colour, 1.0), RGB(255, 200, 100));
    EXPECT_EQ(CDrawEffects::GreyColour(RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(CDrawEffects::InvertColour(colour), RGB(55, 155, 205));
    EXPECT_EQ(CDrawEffects::MixColours(colour, 0.5, RGB(0, 0, 0), 0.5), RGB(100, 50, 25));
}

TEST(DrawEffectsLines, FramesAndRulesLieWhereAsked)
{
    const COLORREF light = RGB(255, 0, 0);
    const COLORREF dark = RGB(0, 0, 255);
    CDrawEffects effects;
    TestSurface surface(20, 20);
    effects.DrawFrame(surface.dc(), RECT{2, 3, 12, 13}, light, dark, PS_SOLID, 1, 2);
    EXPECT_EQ(surface.Pixel(5, 3), light);
    EXPECT_EQ(surface.Pixel(2, 8), light);
    EXPECT_EQ(surface.Pixel(5, 12), dark);
    EXPECT_EQ(surface.Pixel(5, 11), dark);
    EXPECT_EQ(surface.Pixel(11, 8), dark);
    EXPECT_EQ(surface.Pixel(10, 8), dark);
    EXPECT_EQ(surface.Pixel(5, 8), RGB(255, 255, 255));
    EXPECT_EQ(surface.Pixel(12, 8), RGB(255, 255, 255));

    TestSurface line(40, 9);
    effects.DrawLine(line.dc(), 5, 4, 25, 4, light, PS_SOLID, 3);
    EXPECT_EQ(line.Count(light), 20 * 3);
    EXPECT_EQ(line.Pixel(5, 3), light);
    EXPECT_EQ(line.Pixel(24, 5), light);
    EXPECT_EQ(line.Pixel(25, 4), RGB(255, 255, 255));
}
