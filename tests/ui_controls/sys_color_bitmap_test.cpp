// The framework's loader of 16-colour bitmaps in the system's button colours.
#include <afxwin.h>

#include <gtest/gtest.h>

#include "owner_draw_ids.h"
#include "owner_draw_test_support.h"

#include <vector>

namespace {

HRSRC Resource(UINT id, LPCWSTR type)
{
    return ::FindResourceW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), type);
}

TEST(AfxLoadSysColorBitmap, MapsBlackGreysAndWhiteToTheButtonColoursAndKeepsOtherColours)
{
    HBITMAP bitmap =
        AfxLoadSysColorBitmap(::GetModuleHandleW(nullptr), Resource(IDB_TEST_SYS_COLORS, RT_BITMAP));
    ASSERT_NE(bitmap, nullptr);
    int width = 0;
    int height = 0;
    const std::vector<COLORREF> pixels = BitmapPixels(bitmap, width, height);
    ASSERT_EQ(width, 5);
    ASSERT_EQ(height, 1);
    const COLORREF expected[] = {::GetSysColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_BTNSHADOW),
                                 ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNHIGHLIGHT),
                                 RGB(255, 0, 0)};
    for (int x = 0; x < 5; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(pixels[static_cast<size_t>(x)], expected[x]);
    }
    ::DeleteObject(bitmap);

    HBITMAP mono =
        AfxLoadSysColorBitmap(::GetModuleHandleW(nullptr), Resource(IDB_TEST_SYS_COLORS, RT_BITMAP), TRUE);
    ASSERT_NE(mono, nullptr);
    BITMAP info = {};
    ASSERT_TRUE(::GetObjectW(mono, sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidth, 5);
    ::DeleteObject(mono);
}

TEST(AfxLoadSysColorBitmap, RefusesBitmapsWithoutAColourTableAndDamagedOrMissingResources)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    EXPECT_EQ(AfxLoadSysColorBitmap(instance, Resource(IDB_TEST_TRUE_COLOR, RT_BITMAP)), nullptr);
    EXPECT_EQ(AfxLoadSysColorBitmap(instance, nullptr), nullptr);
    // A header that promises 1000 x 1000 pixels which the resource does not hold.
    EXPECT_EQ(AfxLoadSysColorBitmap(instance, Resource(IDR_TEST_DAMAGED_BITMAP, RT_RCDATA)), nullptr);
}

} // namespace
