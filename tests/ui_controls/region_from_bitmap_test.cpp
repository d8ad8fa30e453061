// Window regions cut from bitmaps: which pixels count as the key colour, and the area that is left.
#include "region_from_bitmap.h"

#include <gtest/gtest.h>

#include "test_surface.h"

#include <cstdint>
#include <vector>

namespace {

std::uint32_t Pixel(COLORREF colour)
{
    return TestSurface::ToPixel(colour);
}

// The region's area from its rectangles, which never overlap.
long long RegionArea(HRGN region)
{
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<std::uint8_t> data(size);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(region, size, header) != size) {
        return -1;
    }
    const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
    long long area = 0;
    for (DWORD i = 0; i < header->rdh.nCount; ++i) {
        area += static_cast<long long>(rects[i].right - rects[i].left) * (rects[i].bottom - rects[i].top);
    }
    return area;
}

TEST(CreateRgnFromBitmap, AllKeyGivesAnEmptyRegionNoKeyTheWholeRectangle)
{
    const COLORREF green = RGB(0, 255, 0);
    const std::vector<std::uint32_t> allKey(40 * 30, Pixel(green));
    HBITMAP keyBitmap = MakeTestBitmap(40, 30, allKey.data());
    HRGN empty = CreateRgnFromBitmap(keyBitmap, green);
    ASSERT_NE(empty, nullptr);
    RECT box = {};
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    DeleteObject(empty);
    DeleteObject(keyBitmap);

    const std::vector<std::uint32_t> noKey(40 * 30, Pixel(RGB(0xE8, 0xED, 0xF3)));
    HBITMAP plain = MakeTestBitmap(40, 30, noKey.data());
    HRGN full = CreateRgnFromBitmap(plain, green);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(GetRgnBox(full, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 40);
    EXPECT_EQ(box.bottom, 30);
    DeleteObject(full);
    DeleteObject(plain);

    EXPECT_EQ(CreateRgnFromBitmap(nullptr, green), nullptr);
}

TEST(CreateRgnFromBitmap, ACheckerboardKeepsExactlyItsOtherSquaresAcrossManyBatches)
{
    // One-pixel squares: 5000 runs, more than one batch of rectangles.
    const int size = 100;
    const COLORREF key = RGB(0, 255, 0);
    std::vector<std::uint32_t> pixels(static_cast<size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            pixels[static_cast<size_t>(y * size + x)] = Pixel((x + y) % 2 ? key : RGB(40, 60, 90));
        }
    }
    HBITMAP bitmap = MakeTestBitmap(size, size, pixels.data());
    HRGN region = CreateRgnFromBitmap(bitmap, key);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(RegionArea(region), size * size / 2);
    int wrong = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            wrong += (PtInRegion(region, x, y) != FALSE) != ((x + y) % 2 == 0);
        }
    }
    EXPECT_EQ(wrong, 0);
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(CreateRgnFromBitmap, KeyRangesPerChannel)
{
    struct Case
    {
        const char* name;
        COLORREF key;
        COLORREF pixel;
        bool cutOut;
    };
    const Case cases[] = {
        {"green itself", RGB(0, 255, 0), RGB(0, 255, 0), true},
        {"green within 17", RGB(0, 255, 0), RGB(17, 238, 17), true},
        {"green channel 18 off", RGB(0, 255, 0), RGB(0, 237, 0), false},
        {"red channel 18 off", RGB(0, 255, 0), RGB(18, 255, 0), false},
        {"channels are not swapped", RGB(200, 100, 50), RGB(50, 100, 200), false},
        {"mid key within 17", RGB(200, 100, 50), RGB(217, 83, 67), true},
        {"black up to 16", RGB(0, 0, 0), RGB(16, 16, 16), true},
        {"black not 17", RGB(0, 0, 0), RGB(17, 0, 0), false},
        {"white down to 239", RGB(255, 255, 255), RGB(239, 239, 239), true},
        {"white not 238", RGB(255, 255, 255), RGB(255, 238, 255), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::uint32_t pixel = Pixel(c.pixel);
        HBITMAP bitmap = MakeTestBitmap(1, 1, &pixel);
        HRGN region = CreateRgnFromBitmap(bitmap, c.key);
        ASSERT_NE(region, nullptr);
        EXPECT_EQ(PtInRegion(region, 0, 0) == FALSE, c.cutOut);
        DeleteObject(region);
        DeleteObject(bitmap);
    }
}

} // namespace
