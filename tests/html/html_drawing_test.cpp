// Drawing a laid-out page into a 24-bit DIB section and reading the pixels back; marking a selection.
#include "laid_out_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);

struct DrawnPage
{
    LaidOutPage page;
    DibCanvas canvas;

    DrawnPage(const wchar_t* text, int width, int height) : page(text), canvas(width, height)
    {
        page.LayOut(width);
    }
    void Draw(int scrollX = 0, int scrollY = 0)
    {
        RECT clip = canvas.Area();
        page.document.Draw(canvas.dc, &clip, scrollX, scrollY);
    }
    int CountIn(const CHtmlItem* item, COLORREF colour, int scrollX = 0, int scrollY = 0) const
    {
        int found = 0;
        for (int y = item->y - scrollY; y < item->y - scrollY + item->height; ++y)
            for (int x = item->x - scrollX; x < item->x - scrollX + item->width; ++x)
                if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height && canvas.At(x, y) == colour)
                    ++found;
        return found;
    }
};

TEST(HtmlDrawing, ThePageBackgroundFillsTheClip)
{
    DrawnPage drawn(L"<body bgcolor=#336699>word", 120, 60);
    drawn.Draw();
    EXPECT_EQ(drawn.canvas.At(100, 50), RGB(0x33, 0x66, 0x99));
    EXPECT_EQ(drawn.canvas.At(0, 59), RGB(0x33, 0x66, 0x99));
}

TEST(HtmlDrawing, ASelectedRunIsWhiteOnNavy)
{
    DrawnPage drawn(L"Hello world", 200, 40);
    CHtmlItem* hello = FindText(drawn.page.document, L"Hello");
    CHtmlItem* world = FindText(drawn.page.document, L"world");
    RECT selection = {hello->x, hello->y, hello->x + 2, hello->y + 2};
    drawn.page.document.SetSelection(&selection);
    ASSERT_TRUE(hello->selected);
    ASSERT_FALSE(world->selected);
    drawn.Draw();
    int area = hello->width * hello->height;
    int navy = drawn.CountIn(hello, kNavy);
    int white = drawn.CountIn(hello, kWhite);
    EXPECT_GT(navy, area / 2);
    EXPECT_GT(white, 10);
    // Anti-aliasing may mix the two, but nothing else of the text's black stays.
    EXPECT_EQ(drawn.CountIn(hello, RGB(0, 0, 0)), 0);
    EXPECT_EQ(drawn.CountIn(world, kNavy), 0);
}

TEST(HtmlDrawing, AHoveredLinkIsRedWithItsFrame)
{
    DrawnPage drawn(
        L"<a href=a.htm>linked</a> plain <a href=b.htm><img src=p.gif width=20 height=20 border=2></a>", 300,
        40);
    CHtmlItem* linked = FindText(drawn.page.document, L"linked");
    CHtmlItem* plain = FindText(drawn.page.document, L"plain");
    CHtmlItem* image = ItemsOfKind(drawn.page.document, kHtmlItemImage).at(0);
    drawn.page.document.OnMouseMove(image->x + 5, image->y + 5);
    ASSERT_EQ(drawn.page.document.hoverLink, image->linkId);
    drawn.Draw();
    for (int ring = 0; ring < 2; ++ring) {
        EXPECT_EQ(drawn.canvas.At(image->x + ring, image->y + 10), kRed);
        EXPECT_EQ(drawn.canvas.At(image->x + 10, image->y + ring), kRed);
        EXPECT_EQ(drawn.canvas.At(image->x + image->width - 1 - ring, image->y + 10), kRed);
        EXPECT_EQ(drawn.canvas.At(image->x + 10, image->y + image->height - 1 - ring), kRed);
    }
    EXPECT_EQ(drawn.CountIn(linked, kRed), 0);

    drawn.page.document.OnMouseMove(linked->x + 2, linked->y + 2);
    drawn.canvas.Fill(kWhite);
    drawn.Draw();
    EXPECT_GT(drawn.CountIn(linked, kRed), 10);
    EXPECT_EQ(drawn.CountIn(plain, kRed), 0);
    EXPECT_NE(drawn.canvas.At(image->x, image->y + 10), kRed);
}

TEST(HtmlDrawing, AnItemUnderAControlWindowIsLeftToTheWindow)
{
    DrawnPage drawn(L"<body bgcolor=#0000ff><input type=text value=abc>", 200, 40);
    std::vector<CHtmlItem*> runs = ItemsOfKind(drawn.page.document, kHtmlItemText);
    ASSERT_EQ(runs.size(), 1u);
    CHtmlItem* input = runs[0];
    ASSERT_NE(input->controlId, -1);
    drawn.Draw();
    EXPECT_EQ(drawn.CountIn(input, RGB(0, 0, 255)), input->width * input->height);
    // Without a window of its own the same run is painted with its sunken frame.
    input->controlId = -1;
    drawn.Draw();
    EXPECT_EQ(drawn.canvas.At(input->x, input->y + input->height / 2), kGrey);
    EXPECT_EQ(drawn.canvas.At(input->x + input->width - 1, input->y + input->height / 2), kWhite);
}

TEST(HtmlDrawing, ARuleIsGreyAboveAndWhiteBelow)
{
    DrawnPage drawn(L"<body bgcolor=#0000ff>above<hr>below", 200, 80);
    CHtmlItem* rule = nullptr;
    for (CHtmlItem* item : ItemsOfKind(drawn.page.document, kHtmlItemBreak))
        if (item->width > 1)
            rule = item;
    ASSERT_NE(rule, nullptr);
    ASSERT_EQ(rule->lineColor, -1);
    ASSERT_EQ(rule->height, 2);
    EXPECT_EQ(rule->width, 200);
    drawn.Draw();
    int middle = rule->x + rule->width / 2;
    EXPECT_EQ(drawn.canvas.At(middle, rule->y), kGrey);
    EXPECT_EQ(drawn.canvas.At(middle, rule->y + 1), kWhite);
    EXPECT_EQ(drawn.canvas.At(middle, rule->y - 1), RGB(0, 0, 255));
    EXPECT_EQ(drawn.canvas.At(middle, rule->y + 2), RGB(0, 0, 255));
    // The rule stands between the two lines of text.
    EXPECT_GT(rule->y, FindText(drawn.page.document, L"above")->y);
    EXPECT_LT(rule->y, FindText(drawn.page.document, L"below")->y);
}

TEST(HtmlDrawing, AnUnderlinedRunGetsTheFontsLineAndNoFrameLine)
{
    DrawnPage drawn(L"<u>HELLO</u>", 200, 40);
    CHtmlItem* run = FindText(drawn.page.document, L"HELLO");
    ASSERT_EQ(run->lineFlags, 8u);
    drawn.Draw();
    auto darkInRow = [&](int y) {
        int dark = 0;
        for (int x = run->x; x < run->x + run->width; ++x)
            if (GetRValue(drawn.canvas.At(x, y)) < 100)
                ++dark;
        return dark;
    };
    int underlineRows = 0;
    for (int y = run->y; y < run->y + run->height; ++y)
        if (darkInRow(y) >= run->width - 2)
            ++underlineRows;
    EXPECT_GE(underlineRows, 1);
    // A frame's bottom edge would lie on the run's last row, below the font's underline.
    EXPECT_EQ(darkInRow(run->y + run->height - 1), 0);
}

TEST(HtmlDrawing, ABoxsChildrenAreScrolledWithItAndSkippedOutsideTheClip)
{
    DrawnPage drawn(L"<table cellpadding=0 cellspacing=0><tr><td bgcolor=#00ff00><table cellpadding=0 "
                    L"cellspacing=0><tr><td width=30 height=20 bgcolor=#ff00ff></td></tr></table></td></tr>"
                    L"</table>",
                    200, 100);
    std::vector<CHtmlItem*> boxes = ItemsOfKind(drawn.page.document, kHtmlItemBox);
    ASSERT_EQ(boxes.size(), 2u);
    CHtmlItem* inner = boxes[1];
    drawn.Draw(-40, -30);
    EXPECT_EQ(drawn.canvas.At(inner->x + 40 + 15, inner->y + 30 + 10), RGB(255, 0, 255));
    EXPECT_EQ(drawn.canvas.BoundsOf(RGB(255, 0, 255)).left, inner->x + 40);
    EXPECT_EQ(drawn.canvas.BoundsOf(RGB(255, 0, 255)).top, inner->y + 30);

    drawn.canvas.Fill(kWhite);
    RECT clip = {150, 0, 200, 100};
    drawn.page.document.DrawItems(drawn.canvas.dc, &clip, drawn.page.document.items,
                                  drawn.page.document.itemCount, -40, -30);
    EXPECT_EQ(drawn.canvas.BoundsOf(RGB(255, 0, 255)).right, -1);
    EXPECT_EQ(drawn.canvas.BoundsOf(RGB(0, 255, 0)).right, -1);
}

// A picture for a background, compatible with dc: its left column `first`, the rest `rest`.
HBITMAP TilePicture(HDC dc, COLORREF first, COLORREF rest, int width, int height)
{
    DibCanvas tile(width, height);
    tile.Fill(rest);
    RECT column = {0, 0, 1, height};
    HBRUSH brush = CreateSolidBrush(first);
    FillRect(tile.dc, &column, brush);
    DeleteObject(brush);
    HBITMAP copy = CreateCompatibleBitmap(dc, width, height);
    HDC target = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(target, copy);
    BitBlt(target, 0, 0, width, height, tile.dc, 0, 0, SRCCOPY);
    SelectObject(target, previous);
    DeleteDC(target);
    return copy;
}

TEST(HtmlDrawing, BackgroundsTileFromTheirOrigin)
{
    DrawnPage drawn(L"<body background=tile.gif><table cellpadding=0 cellspacing=0><tr>"
                    L"<td width=10 height=5 background=cell.gif></td></tr></table>",
                    60, 40);
    CHtmlDocument& document = drawn.page.document;
    // A 4 x 3 tile whose left column is red: red columns every 4 pixels on the document's grid.
    auto makeTile = [&](COLORREF first, COLORREF rest, int width, int height) {
        return TilePicture(drawn.canvas.dc, first, rest, width, height);
    };
    CHtmlImageJob* page = document.imageLoader.GetJob(document.backgroundImage);
    ASSERT_NE(page, nullptr);
    page->bitmap = makeTile(kRed, RGB(0, 0, 255), 4, 3);
    page->imageWidth = 4;
    page->imageHeight = 3;
    CHtmlItem* cell = ItemsOfKind(document, kHtmlItemBox).at(0);
    CHtmlImageJob* cellJob = document.imageLoader.GetJob(cell->backImageIndex);
    ASSERT_NE(cellJob, nullptr);
    cellJob->bitmap = makeTile(RGB(0, 255, 0), RGB(255, 255, 0), 6, 3);
    cellJob->imageWidth = 6;
    cellJob->imageHeight = 3;

    drawn.Draw(5, 0);
    for (int x = 20; x < 40; ++x)
        EXPECT_EQ(drawn.canvas.At(x, 30), (x + 5) % 4 == 0 ? kRed : RGB(0, 0, 255)) << x;
    // The cell's tiles start at its corner and stop at its edges.
    drawn.Draw();
    int cellLeft = cell->x;
    EXPECT_EQ(drawn.canvas.At(cellLeft, cell->y), RGB(0, 255, 0));
    EXPECT_EQ(drawn.canvas.At(cellLeft + 6, cell->y + 4), RGB(0, 255, 0));
    EXPECT_EQ(drawn.canvas.At(cellLeft + 9, cell->y + 4), RGB(255, 255, 0));
    EXPECT_NE(drawn.canvas.At(cellLeft + 10, cell->y + 4), RGB(255, 255, 0));

    // A picture without a size draws nothing instead of never advancing.
    page->imageWidth = 0;
    drawn.canvas.Fill(kWhite);
    drawn.Draw(5, 0);
    EXPECT_EQ(drawn.canvas.At(30, 30), kWhite);
}

// A cell's background picture is painted where the paint reaches only: a cell far taller than the window,
// with a picture of one pixel, paints the clip's pixels and none outside it.
TEST(HtmlDrawing, ACellBackgroundPaintsOnlyTheClip)
{
    DrawnPage drawn(L"<table cellpadding=0 cellspacing=0><tr>"
                    L"<td width=50 height=30000 background=dot.gif></td></tr></table>",
                    60, 40);
    CHtmlDocument& document = drawn.page.document;
    CHtmlItem* cell = ItemsOfKind(document, kHtmlItemBox).at(0);
    ASSERT_GE(cell->height, 30000);
    CHtmlImageJob* job = document.imageLoader.GetJob(cell->backImageIndex);
    ASSERT_NE(job, nullptr);
    job->bitmap = TilePicture(drawn.canvas.dc, kRed, kRed, 1, 1);
    job->imageWidth = 1;
    job->imageHeight = 1;

    drawn.canvas.Fill(kWhite);
    const RECT clip = {cell->x + 10, cell->y + 10, cell->x + 20, cell->y + 15};
    drawn.page.document.Draw(drawn.canvas.dc, &clip, 0, 0);
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < drawn.canvas.height; ++y)
        for (int x = 0; x < drawn.canvas.width; ++x)
            if (drawn.canvas.At(x, y) == kRed)
                ++(x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom ? inside : outside);
    EXPECT_EQ(inside, 50);
    EXPECT_EQ(outside, 0);

    // Scrolled far into the cell, the window's whole clip shows the picture.
    drawn.canvas.Fill(kWhite);
    drawn.Draw(0, 20000);
    EXPECT_EQ(drawn.canvas.At(cell->x + 25, 20), kRed);
    EXPECT_EQ(drawn.canvas.At(cell->x + 55, 20), kWhite);
}

TEST(HtmlSelection, RunsAndBreaksAreMarkedByTheThreeRulesImagesAndBoxesNever)
{
    LaidOutPage page(L"aaa bbb<br>ccc <img src=a.gif width=10 height=10> ddd<br>eee"
                     L"<table><tr><td>fff</td></tr></table>ggg");
    page.LayOut(600);
    CHtmlDocument& document = page.document;
    CHtmlItem* aaa = FindText(document, L"aaa");
    CHtmlItem* bbb = FindText(document, L"bbb");
    CHtmlItem* ccc = FindText(document, L"ccc");
    CHtmlItem* ddd = FindText(document, L"ddd");
    CHtmlItem* eee = FindText(document, L"eee");
    CHtmlItem* fff = FindText(document, L"fff");
    CHtmlItem* image = ItemsOfKind(document, kHtmlItemImage).at(0);
    CHtmlItem* cell = ItemsOfKind(document, kHtmlItemBox).at(0);
    struct Case
    {
        const char* name;
        RECT rectangle;
        std::vector<CHtmlItem*> selected;
        std::vector<CHtmlItem*> unselected;
    };
    const Case cases[] = {
        // (a) the top edge inside the rectangle's height and left of its right edge.
        {"top edge",
         {bbb->x + bbb->width + 50, ccc->y - 1, bbb->x + bbb->width + 60, ccc->y + 1},
         {ccc, ddd},
         {aaa, bbb, eee, image}},
        // (b) the bottom edge inside and right of the left edge.
        {"bottom edge",
         {aaa->x + 1, aaa->y + aaa->height - 1, aaa->x + 2, aaa->y + aaa->height},
         {aaa, bbb},
         {eee}},
        // (c) overlapping, edges included.
        {"touching",
         {eee->x + eee->width, eee->y + 3, eee->x + eee->width + 5, eee->y + 4},
         {eee},
         {ddd, fff}},
        {"a cell's run but not its box", {fff->x, fff->y, fff->x + 1, fff->y + 1}, {fff}, {cell}},
        {"everything", {0, 0, 600, 1000}, {aaa, ccc, eee, fff}, {image, cell}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document.SetSelection(&c.rectangle);
        for (CHtmlItem* item : c.selected)
            EXPECT_TRUE(item->selected) << (item->text ? "text" : "other");
        for (CHtmlItem* item : c.unselected)
            EXPECT_FALSE(item->selected) << (item->text ? "text" : "other");
    }
    // The break before the table's cell is not marked, breaks elsewhere are.
    RECT everything = {0, 0, 600, 1000};
    document.SetSelection(&everything);
    for (int index = 0; index + 1 < document.itemCount; ++index) {
        CHtmlItem* item = document.items[index];
        if (item->kind == kHtmlItemBreak) {
            EXPECT_EQ(item->selected != 0, document.items[index + 1]->kind != kHtmlItemBox) << index;
        }
    }
}

} // namespace
