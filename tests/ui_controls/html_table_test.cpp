// Tables of the HTML drawer measured and drawn on a 32-bit memory DC: sizes from their formulas, frames
// and fills where the formulas put them.
#include "html_drawer.h"
#include "html_markup_helpers.h"
#include "test_surface.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

SIZE Measure(CHtmlDrawer& drawer, HDC dc, const std::wstring& text)
{
    SIZE size = {-1, -1};
    drawer.Measure(dc, text.c_str(), &size);
    return size;
}

} // namespace

TEST(HtmlDrawerTables, BorderedTableWithFillHasItsFramesAndFillInPlace)
{
    const std::wstring cells = L"<tr><td width=20 height=10></td><td width=30 height=10></td></tr>";
    const std::wstring text =
        L"<table border=1 bgcolor=#00ff00 bordercolor=#ff0000 cellspacing=0 cellpadding=2>" + cells + cells +
        L"</table>";
    TestSurface surface(200, 100);
    CHtmlDrawer drawer;
    const SIZE size = Measure(drawer, surface.dc(), text);
    // Columns: 20 + 2 x (border 1 + padding 2) = 26 and 36; rows 16 and 16; one-unit gaps between cells and
    // the table's border on both sides.
    EXPECT_EQ(size.cx, 26 + 36 + 1 + 2 + 1);
    EXPECT_EQ(size.cy, 16 + 16 + 1 + 2 + 1);
    drawer.Draw(surface.dc(), {0, 0, 200, 100});

    struct Probe
    {
        const char* name;
        int x;
        int y;
        COLORREF expected;
    };
    const Probe probes[] = {
        {"table border left", 0, 10, kRed},
        {"table border right", 64, 10, kRed},
        {"table border top", 30, 0, kRed},
        {"table border bottom", 30, 34, kRed},
        {"outside right", 65, 10, kWhite},
        {"outside below", 30, 35, kWhite},
        {"first cell's frame, left", 1, 10, kRed},
        {"first cell's frame, right", 26, 10, kRed},
        {"gap between the columns", 27, 10, kGreen},
        {"second cell's frame, left", 28, 10, kRed},
        {"second cell's frame, right", 63, 10, kRed},
        {"inside the first cell", 10, 8, kGreen},
        {"first cell's frame, bottom", 10, 16, kRed},
        {"gap between the rows", 10, 17, kGreen},
        {"second row's frame, top", 10, 18, kRed},
        {"inside the last cell", 45, 25, kGreen},
    };
    for (const Probe& probe : probes) {
        SCOPED_TRACE(probe.name);
        EXPECT_EQ(surface.Pixel(probe.x, probe.y), probe.expected);
    }
}

TEST(HtmlDrawerTables, ColumnSpanCoversBothColumns)
{
    const std::wstring text = L"<table cellspacing=2 bgcolor=#00ff00>"
                              L"<tr><td width=20 height=5></td><td width=30 height=5></td></tr>"
                              L"<tr><td colspan=2 bgcolor=#0000ff height=5></td></tr></table>";
    TestSurface surface(200, 100);
    CHtmlDrawer drawer;
    const SIZE size = Measure(drawer, surface.dc(), text);
    EXPECT_EQ(size.cx, 24 + 34 + 3 * 2 + 1 + 1);
    EXPECT_EQ(size.cy, 9 + 9 + 3 * 2 + 1 + 1);
    drawer.Draw(surface.dc(), {0, 0, 200, 100});
    // The spanning cell: from the first column's start (2) over both widths, the spacing and the gap between
    // them: 24 + 34 + 1 x (2 + 1) = 61 wide; the second row starts at 2 + 9 + 1 + 2 = 14.
    EXPECT_EQ(surface.Count(kBlue), 61 * 9);
    EXPECT_EQ(surface.Pixel(2, 14), kBlue);
    EXPECT_EQ(surface.Pixel(62, 22), kBlue);
    EXPECT_EQ(surface.Pixel(1, 14), kGreen);
    EXPECT_EQ(surface.Pixel(63, 14), kGreen);
    EXPECT_EQ(surface.Pixel(2, 13), kGreen);
}

TEST(HtmlDrawerTables, CellsMeasureTheirContentPlusPadding)
{
    TestSurface surface(10, 10);
    CHtmlDrawer drawer;
    const SIZE text = Measure(drawer, surface.dc(), L"some text");
    const SIZE table = Measure(drawer, surface.dc(), L"<table><tr><td>some text</td></tr></table>");
    EXPECT_EQ(table.cx, text.cx + 2 * 2);
    EXPECT_EQ(table.cy, text.cy + 2 * 2);
    // The message box's own form: an icon cell 32 wide and the message, padded 5 all round.
    const SIZE message = Measure(drawer, surface.dc(),
                                 L"<table cellpadding=5><tr><td width=32><icon idres=999></td>"
                                 L"<td>some text</td></tr></table>");
    EXPECT_EQ(message.cx, (32 + 10) + (text.cx - 1 + 10) + 1 + 1);
    EXPECT_EQ(message.cy, std::max(10, static_cast<int>(text.cy) - 1 + 10) + 1);
    // Text around a table stacks above and below it.
    const SIZE around = Measure(drawer, surface.dc(), L"x<table><tr><td>some text</td></tr></table>x");
    EXPECT_EQ(around.cy, 2 * (Measure(drawer, surface.dc(), L"x").cy - 1) + table.cy);
}

TEST(HtmlDrawerTables, NarrowTablesStretchTheirFreeColumnsWhenDrawn)
{
    const std::wstring text = L"<table bgcolor=#00ff00 cellpadding=0><tr><td height=4></td>"
                              L"<td width=10 bgcolor=#0000ff height=4></td></tr></table>";
    TestSurface surface(100, 20);
    CHtmlDrawer drawer;
    Measure(drawer, surface.dc(), text);
    drawer.Draw(surface.dc(), {0, 0, 100, 20});
    // The fixed column keeps its 10; the free one takes the rest of the 100.
    EXPECT_EQ(surface.Count(kBlue), 10 * 4);
    EXPECT_EQ(surface.Pixel(99, 1), kBlue);
    EXPECT_EQ(surface.Pixel(89, 1), kGreen);
}
