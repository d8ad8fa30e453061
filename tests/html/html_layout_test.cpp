// The layout of parsed pages: lines, alignment, floats and tables. Text widths come from MeasureText
// through the parser, never from numbers written here.
#include "html_table_widths.h"
#include "laid_out_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<CHtmlItem*> Words(const LaidOutPage& page)
{
    std::vector<CHtmlItem*> words;
    for (int index = 0; index < page.Count(); ++index) {
        CHtmlItem* item = page.Item(index);
        if (item->kind == kHtmlItemText && wcscmp(item->text, L" ") != 0)
            words.push_back(item);
    }
    return words;
}

const wchar_t* kLongText = L"The quick brown fox jumps over the lazy dog while seven wizards quietly box "
                           L"jumping frogs under an amber moon beside the old mill and the river";

CHtmlItem* FirstBox(const LaidOutPage& page)
{
    for (int index = 0; index < page.Count(); ++index)
        if (page.Item(index)->kind == kHtmlItemBox)
            return page.Item(index);
    return nullptr;
}

// The break that stands right before a table's first cell carries its outline.
CHtmlItem* FrameOf(const LaidOutPage& page)
{
    for (int index = 1; index < page.Count(); ++index)
        if (page.Item(index)->kind == kHtmlItemBox)
            return page.Item(index - 1);
    return nullptr;
}

TEST(HtmlLayout, WordsWrapBeforeTheFirstThatWouldPassTheRightEdge)
{
    LaidOutPage page(kLongText);
    const int right = 300;
    page.LayOut(right);
    // The flow as the rule says it: only words that are not single spaces end a line.
    int x = 0;
    int line = 0;
    std::vector<int> expectedLine;
    for (int index = 0; index < page.Count(); ++index) {
        CHtmlItem* item = page.Item(index);
        bool space = wcscmp(item->text, L" ") == 0;
        if (!space && x + item->width > right && x > 0) {
            ++line;
            x = 0;
        }
        expectedLine.push_back(line);
        x += item->width;
    }
    ASSERT_GE(line, 2);
    for (int index = 1; index < page.Count(); ++index) {
        CHtmlItem* before = page.Item(index - 1);
        CHtmlItem* item = page.Item(index);
        SCOPED_TRACE(item->text);
        if (expectedLine[index] == expectedLine[index - 1]) {
            EXPECT_EQ(item->y, before->y);
            EXPECT_EQ(item->x, before->x + before->width);
        } else {
            EXPECT_GT(item->y, before->y);
            EXPECT_EQ(item->x, 0);
        }
        if (wcscmp(item->text, L" ") != 0) {
            EXPECT_LE(item->x + item->width, right);
        }
    }
}

TEST(HtmlLayout, ASpacePastTheRightEdgeDoesNotPushTheNextWordDown)
{
    LaidOutPage page(L"one two three four");
    std::vector<CHtmlItem*> words = Words(page);
    // The area ends exactly at the right edge of "two": the space after it lies outside.
    int right = words[0]->width + page.Item(1)->width + words[1]->width;
    page.LayOut(right);
    EXPECT_EQ(words[1]->y, words[0]->y);
    EXPECT_GT(page.Item(3)->x + page.Item(3)->width, right);
    EXPECT_EQ(page.Item(3)->y, words[0]->y);
    EXPECT_GT(words[2]->y, words[0]->y);
    EXPECT_EQ(words[2]->x, 0);
}

TEST(HtmlLayout, ACentredLineOf104PixelsIn400StartsAt148)
{
    // Items made by hand so that the aligned width is exactly 104.
    std::vector<CHtmlItem*> items = {
        CreateTextItem(L"left", 0, 0, 0, L"Arial", 15, 0, 0, 0, -1, 2, 0, -1, 0),
        CreateTextItem(L" ", 0, 0, 0, L"Arial", 15, 0, 0, 0, -1, 2, 0, -1, 0),
        CreateTextItem(L"right", 0, 0, 0, L"Arial", 15, 0, 0, 0, -1, 2, 0, -1, 0),
    };
    items[0]->width = 50;
    items[1]->width = 4;
    items[2]->width = 50;
    CHtmlDocument document(nullptr, 0);
    RECT area = {0, 0, 400, 1000};
    document.LayoutItems(area, items.data(), static_cast<int>(items.size()));
    EXPECT_EQ(items[0]->x, 148);
    EXPECT_EQ(items[1]->x, 198);
    EXPECT_EQ(items[2]->x, 202);
    for (CHtmlItem* item : items) {
        FreeItem(item);
        delete item;
    }
}

TEST(HtmlLayout, TextBesideATallerImageSitsOnTheLinesBottom)
{
    LaidOutPage page(L"<img src=a.gif width=30 height=40>word");
    page.LayOut(500);
    CHtmlItem* image = ItemsOfKind(page.document, kHtmlItemImage).at(0);
    CHtmlItem* word = FindText(page.document, L"word");
    ASSERT_NE(word, nullptr);
    ASSERT_LT(word->height, 40);
    EXPECT_EQ(image->y, 0);
    EXPECT_EQ(word->y + word->height, 40);
    EXPECT_EQ(word->x, 30);
}

TEST(HtmlLayout, AHalfWidthTableIn800PixelsTotals400)
{
    LaidOutPage page(L"<table width=50%><tr><td>a</td><td>b</td></tr></table>");
    page.LayOut(800);
    CHtmlItem* frame = FrameOf(page);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, 400);
    // Both cells and the spacing around them fill the frame: spacing 4 at either side.
    std::vector<CHtmlItem*> cells = ItemsOfKind(page.document, kHtmlItemBox);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0]->x, frame->x + 4);
    EXPECT_EQ(cells[1]->x, cells[0]->x + cells[0]->width + 4);
    EXPECT_EQ(cells[1]->x + cells[1]->width + 4, frame->x + frame->width);
}

TEST(HtmlLayout, MiddleAlignedContentOf20In60PixelsStarts20Down)
{
    LaidOutPage page(L"<table cellpadding=0 cellspacing=0><tr><td height=60 valign=middle>"
                     L"<img src=a.gif width=10 height=20></td><td height=60 valign=bottom>"
                     L"<img src=b.gif width=10 height=20></td><td height=60>"
                     L"<img src=c.gif width=10 height=20></td></tr></table>");
    page.LayOut(500);
    std::vector<CHtmlItem*> cells = ItemsOfKind(page.document, kHtmlItemBox);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0]->height, 60);
    EXPECT_EQ(cells[0]->children[0]->y - cells[0]->y, 20);
    EXPECT_EQ(cells[1]->children[0]->y - cells[1]->y, 40);
    EXPECT_EQ(cells[2]->children[0]->y - cells[2]->y, 0);
}

TEST(HtmlLayout, ABorderedTableGetsAFrameOfItsBorder)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* page;
        unsigned int lineFlags;
        int lineWidth;
        int lineColor;
    };
    const Case cases[] = {
        {L"default colour: raised", L"<table border=1><tr><td>a</td></tr></table>", 15, 1, -2},
        {L"own colour", L"<table border=3 bordercolor=#00ff00><tr><td>a</td></tr></table>", 15, 3,
         static_cast<int>(RGB(0, 255, 0))},
        {L"no border: no rings", L"<table><tr><td>a</td></tr></table>", 15, 0, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LaidOutPage page(c.page);
        page.LayOut(500);
        CHtmlItem* frame = FrameOf(page);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->lineFlags, c.lineFlags);
        EXPECT_EQ(frame->lineWidth, c.lineWidth);
        EXPECT_EQ(frame->lineColor, c.lineColor);
        CHtmlItem* cell = FirstBox(page);
        // The outline holds the cell with the spacing and border around it.
        EXPECT_EQ(frame->width, cell->width + 2 * cell->spacing + 2 * cell->border);
        EXPECT_EQ(frame->height, cell->height + 2 * cell->spacing + 2 * cell->border);
    }
}

TEST(HtmlLayout, ALeftFloatNarrowsTheLinesBesideItUntilItsBottom)
{
    // The floated box adds its padding of 4 on either side: 92 + 8 = 100 pixels.
    std::wstring text = std::wstring(L"<img src=a.gif width=92 height=60 align=left>") + kLongText + L" " +
                        kLongText + L" " + kLongText;
    LaidOutPage page(text.c_str());
    page.LayOut(400);
    CHtmlItem* frame = FrameOf(page);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->width, 100);
    const int bottom = frame->y + frame->height;
    ASSERT_EQ(bottom, 68);
    int besideLines = 0;
    int belowLines = 0;

    int lastY = -1;
    for (CHtmlItem* word : Words(page)) {
        if (word->y == lastY)
            continue;
        lastY = word->y;
        SCOPED_TRACE(word->text);
        if (word->y < bottom) {
            EXPECT_EQ(word->x, 100);
            ++besideLines;
        } else {
            EXPECT_EQ(word->x, 0);
            ++belowLines;
        }
    }
    EXPECT_GE(besideLines, 2);
    EXPECT_GE(belowLines, 2);
}

TEST(HtmlLayout, ARightFloatAClearBreakAndAWordTooWideBesideAFloat)
{
    {
        SCOPED_TRACE("right float, then a clear break");
        std::wstring text = std::wstring(L"<img src=a.gif width=52 height=40 align=right>") + kLongText +
                            L"<br clear=all>after";
        LaidOutPage page(text.c_str());
        page.LayOut(400);
        CHtmlItem* frame = FrameOf(page);
        ASSERT_EQ(frame->width, 60);
        EXPECT_EQ(frame->x, 340);
        EXPECT_EQ(FirstBox(page)->x, 340);
        const int bottom = frame->y + frame->height;
        for (CHtmlItem* word : Words(page)) {
            SCOPED_TRACE(word->text);
            if (word->y < bottom) {
                EXPECT_LE(word->x + word->width, 340);
            }
        }
        EXPECT_GE(FindText(page.document, L"after")->y, bottom);
        EXPECT_EQ(FindText(page.document, L"after")->x, 0);
    }
    {
        SCOPED_TRACE("a word wider than the room beside a float moves below it");
        SIZE letter = {};
        MeasureText(L"Arial", 15, 0, 0, &letter, L"W", 1);
        // Wider than the 300 pixels beside the float, narrower than the 400 of the area.
        std::wstring wide(static_cast<size_t>(350 / letter.cx), L'W');
        std::wstring text = L"<img src=a.gif width=92 height=200 align=left>short " + wide;
        LaidOutPage page(text.c_str());
        page.LayOut(400);
        CHtmlItem* word = FindText(page.document, wide.c_str());
        ASSERT_NE(word, nullptr);
        ASSERT_GT(word->width, 300);
        EXPECT_EQ(FindText(page.document, L"short")->x, 100);
        EXPECT_EQ(word->x, 0);
        EXPECT_GE(word->y, 208);
    }
}

TEST(HtmlLayout, AlignedCellContentIsMeasuredAtItsOwnWidthAndAlignedInTheCell)
{
    // Measured in the 2,000-pixel area with their alignment, these cells would be 1,000 and 2,000 wide.
    LaidOutPage page(L"<table cellpadding=0><tr><th>Name</th><td align=right>Size</td></tr>"
                     L"<tr><td>a much longer cell</td><td>a longer one</td></tr></table>");
    page.LayOut(1500);
    std::vector<CHtmlItem*> cells = ItemsOfKind(page.document, kHtmlItemBox);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_LT(FrameOf(page)->width, 400);
    CHtmlItem* name = FindText(page.document, L"Name");
    CHtmlItem* size = FindText(page.document, L"Size");
    EXPECT_NEAR(name->x + name->width / 2, cells[0]->x + cells[0]->width / 2, 1);
    EXPECT_EQ(size->x + size->width, cells[1]->x + cells[1]->width);
    EXPECT_EQ(cells[0]->width, cells[2]->width);
}

TEST(HtmlLayout, FixedColumnsShrinkWidestFirstAndACentredTableMovesWithItsCells)
{
    {
        SCOPED_TRACE("59 pixels too wide: both columns lose 29, then the first of the equal ones one more");
        LaidOutPage page(L"<table width=101 cellpadding=0 cellspacing=0><tr><td width=80>a</td>"
                         L"<td width=80>b</td></tr></table>");
        page.LayOut(600);
        std::vector<CHtmlItem*> cells = ItemsOfKind(page.document, kHtmlItemBox);
        ASSERT_EQ(cells.size(), 2u);
        EXPECT_EQ(cells[0]->width, 50);
        EXPECT_EQ(cells[1]->width, 51);
        EXPECT_EQ(FrameOf(page)->width, 101);
    }
    {
        SCOPED_TRACE("centred");
        LaidOutPage page(L"<table align=center width=200><tr><td>word</td></tr></table>");
        page.LayOut(600);
        CHtmlItem* frame = FrameOf(page);
        CHtmlItem* cell = FirstBox(page);
        CHtmlItem* word = FindText(page.document, L"word");
        EXPECT_EQ(frame->x, 200);
        EXPECT_EQ(cell->x, frame->x + cell->spacing);
        EXPECT_EQ(word->x, cell->x + cell->padding);
    }
}

TEST(HtmlLayout, SpansReachNoFurtherThanTheTableAndItsColumnLimit)
{
    {
        SCOPED_TRACE("a row span past the last row spans the rows there are");
        LaidOutPage page(L"<table cellpadding=0 cellspacing=2><tr><td rowspan=1000>a</td><td>b</td></tr>"
                         L"</table>");
        page.LayOut(400);
        CHtmlItem* cell = FirstBox(page);
        EXPECT_EQ(FrameOf(page)->height, cell->height + 2 * 2);
    }
    {
        SCOPED_TRACE("cells past 8,192 columns share the last");
        std::wstring text = L"<table cellpadding=0 cellspacing=0><tr>";
        for (int cell = 0; cell < 10; ++cell)
            text += L"<td colspan=1000>x</td>";
        text += L"</tr></table>";
        LaidOutPage page(text.c_str());
        page.LayOut(400);
        std::vector<CHtmlItem*> cells = ItemsOfKind(page.document, kHtmlItemBox);
        ASSERT_EQ(cells.size(), 10u);
        for (size_t cell = 1; cell < 9; ++cell)
            EXPECT_GT(cells[cell]->x, cells[cell - 1]->x);
        EXPECT_EQ(cells[9]->x, cells[8]->x + cells[8]->width - cells[9]->width);
    }
}

TEST(HtmlLayout, ATableHeightGrowsTheRowsThatAreNotFixed)
{
    LaidOutPage page(L"<table height=200 cellpadding=0 cellspacing=0><tr><td height=50>a</td></tr>"
                     L"<tr><td>b</td></tr><tr><td>c</td></tr></table>");
    page.LayOut(400);
    std::vector<CHtmlItem*> cells = ItemsOfKind(page.document, kHtmlItemBox);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0]->height, 50);
    EXPECT_EQ(cells[0]->height + cells[1]->height + cells[2]->height, 200);
    EXPECT_LE(std::abs(cells[1]->height - cells[2]->height), 1);
}

TEST(HtmlLayout, FormControlsMoveToTheirItems)
{
    struct MovingHost : RecordingHost
    {
        void MoveControl(HWND control, int x, int y) override { moves.push_back({control, {x, y}}); }
        std::vector<std::pair<HWND, POINT>> moves;
    } host;
    CHtmlDocument document(&host, 0);
    document.Load(L"some words before <input type=text name=q>", L"Arial", 15, 0, L"http://host/page.htm");
    RECT area = {0, 0, 402, 0};
    document.Layout(&area);
    CHtmlItem* input = nullptr;
    for (CHtmlItem* item : AllItems(document))
        if (item->controlId != -1)
            input = item;
    ASSERT_NE(input, nullptr);
    ASSERT_GT(input->x, 0);
    ASSERT_FALSE(host.moves.empty());
    EXPECT_EQ(host.moves.back().first, document.GetControlWindow(input->controlId));
    EXPECT_EQ(host.moves.back().second.x, input->x);
    EXPECT_EQ(host.moves.back().second.y, input->y);
}

TEST(HtmlLayout, JustifiedLinesReachTheRightEdgeExceptAParagraphsLast)
{
    std::wstring text = std::wstring(L"<p align=justify>") + kLongText + L"</p>after";
    LaidOutPage page(text.c_str());
    const int right = 300;
    page.LayOut(right);
    std::vector<std::vector<CHtmlItem*>> lines;
    for (CHtmlItem* word : Words(page)) {
        if (wcscmp(word->text, L"after") == 0)
            break;
        if (lines.empty() || lines.back().front()->y != word->y)
            lines.emplace_back();
        lines.back().push_back(word);
    }
    ASSERT_GE(lines.size(), 3u);
    for (size_t line = 0; line + 1 < lines.size(); ++line) {
        SCOPED_TRACE(line);
        const std::vector<CHtmlItem*>& words = lines[line];
        EXPECT_EQ(words.back()->x + words.back()->width, right);
        // The first word and the space after it stay where the flow put them.
        EXPECT_EQ(words[0]->x, 0);
    }
    const std::vector<CHtmlItem*>& last = lines.back();
    EXPECT_LT(last.back()->x + last.back()->width, right);
    for (size_t word = 1; word < last.size(); ++word)
        EXPECT_LE(last[word]->x - (last[word - 1]->x + last[word - 1]->width), 8);
}

TEST(HtmlLayout, ARightEdgeOfZeroPutsEveryItemOnALineOfItsOwn)
{
    LaidOutPage page(L"one two <b>three</b> <img src=a.gif width=5 height=5>");
    page.LayOut(0);
    int lastBottom = -1;
    for (int index = 0; index < page.Count(); ++index) {
        CHtmlItem* item = page.Item(index);
        // A space never ends a line: it stays behind its word.
        if (item->kind == kHtmlItemBreak || item->width == 0 ||
            wcscmp(item->text ? item->text : L"", L" ") == 0)
            continue;
        SCOPED_TRACE(index);
        EXPECT_EQ(item->x, 0);
        EXPECT_GE(item->y, lastBottom);
        lastBottom = item->y + item->height;
    }
}

TEST(HtmlLayout, LayoutReportsTheContentExtentAndKeepsTwoPixelsOffTheRight)
{
    LaidOutPage page(L"<table width=100%><tr><td>a</td></tr></table>");
    RECT area = {0, 0, 302, 0};
    page.document.Layout(&area);
    EXPECT_EQ(FrameOf(page)->width, 300);
    EXPECT_EQ(area.right, 300);
    EXPECT_EQ(area.bottom, FrameOf(page)->y + FrameOf(page)->height);
    // The measurement cache serves one layout only.
    for (CHtmlItem* item : AllItems(page.document))
        EXPECT_EQ(item->gridSlots[3], -1);
}

TEST(HtmlLayout, TablesSpanColumnsAndRowsAndNestedTablesFitTheirCells)
{
    LaidOutPage page(L"<table cellpadding=2 cellspacing=3><tr><td width=40>a</td><td width=60>b</td></tr>"
                     L"<tr><td colspan=2 width=150>c</td></tr>"
                     L"<tr><td rowspan=2 height=90>d</td><td>e</td></tr><tr><td>f</td></tr></table>"
                     L"<table><tr><td><table border=1><tr><td>inner</td><td>cell</td></tr></table></td></tr>"
                     L"</table>");
    page.LayOut(600);
    std::vector<CHtmlItem*> top;
    for (int index = 0; index < page.Count(); ++index)
        if (page.Item(index)->kind == kHtmlItemBox)
            top.push_back(page.Item(index));
    ASSERT_EQ(top.size(), 7u);
    CHtmlItem *a = top[0], *b = top[1], *c = top[2], *d = top[3], *e = top[4], *f = top[5];
    // The spanning cell widens its columns to 150 between them.
    EXPECT_EQ(c->x, a->x);
    EXPECT_EQ(c->x + c->width, b->x + b->width);
    EXPECT_GE(c->width - 2 * 2, 150);
    // The row-spanning cell pushes the cells of its rows right and is as high as both rows.
    EXPECT_EQ(e->x, b->x);
    EXPECT_EQ(f->x, b->x);
    EXPECT_EQ(d->y + d->height, f->y + f->height);
    EXPECT_GE(d->height - 2 * 2, 90);
    // The nested table lies inside its outer cell.
    CHtmlItem* outer = top[6];
    ASSERT_GT(outer->childCount, 1);
    for (int index = 0; index < outer->childCount; ++index) {
        CHtmlItem* inner = outer->children[index];
        if (inner->kind != kHtmlItemBox)
            continue;
        EXPECT_GE(inner->x, outer->x);
        EXPECT_LE(inner->x + inner->width, outer->x + outer->width);
        EXPECT_GE(inner->y, outer->y);
        EXPECT_LE(inner->y + inner->height, outer->y + outer->height);
    }
    // A second layout gives the same places.
    std::vector<POINT> first;
    for (CHtmlItem* item : AllItems(page.document))
        first.push_back({item->x, item->y});
    page.LayOut(600);
    std::vector<CHtmlItem*> all = AllItems(page.document);
    for (size_t index = 0; index < all.size(); ++index) {
        EXPECT_EQ(all[index]->x, first[index].x);
        EXPECT_EQ(all[index]->y, first[index].y);
    }
}

// The sharing of pixels as the layout describes it, one pixel per pass, as the reference.
long long GrowByPasses(std::vector<int>& widths, const std::vector<int>& limits,
                       const std::vector<char>& fixed, long long deficit)
{
    while (deficit > 0) {
        bool changed = false;
        for (size_t column = 0; column < widths.size() && deficit > 0; ++column) {
            if (!fixed[column] && widths[column] < limits[column]) {
                ++widths[column];
                --deficit;
                changed = true;
            }
        }
        if (!changed)
            break;
    }
    return deficit;
}

long long ShrinkByPasses(std::vector<int>& widths, std::vector<int>& limits, const std::vector<int>& contents,
                         const std::vector<char>& fixed, long long excess)
{
    while (excess > 0) {
        int widest = -1;
        for (size_t column = 0; column < widths.size(); ++column)
            if (fixed[column] && widths[column] > 10 && widths[column] > contents[column] &&
                (widest < 0 || widths[column] > widths[static_cast<size_t>(widest)]))
                widest = static_cast<int>(column);
        if (widest < 0)
            break;
        --widths[static_cast<size_t>(widest)];
        limits[static_cast<size_t>(widest)] = widths[static_cast<size_t>(widest)];
        --excess;
    }
    return excess;
}

void SpreadByPasses(std::vector<int>& values, const std::vector<int>& chosen, long long deficit)
{
    while (deficit > 0 && !chosen.empty())
        for (size_t index = 0; index < chosen.size() && deficit > 0; ++index, --deficit)
            ++values[static_cast<size_t>(chosen[index])];
}

TEST(HtmlLayout, ColumnSharingInOneStepEqualsThePassesOfOnePixel)
{
    std::mt19937 random(61);
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        size_t columns = 1 + random() % 12;
        std::vector<int> widths(columns), limits(columns), contents(columns);
        std::vector<char> fixed(columns);
        for (size_t column = 0; column < columns; ++column) {
            widths[column] = static_cast<int>(random() % 60);
            limits[column] = static_cast<int>(random() % 80);
            contents[column] = static_cast<int>(random() % 40);
            fixed[column] = random() % 3 == 0;
        }
        long long amount = random() % 400;

        std::vector<int> passWidths = widths, stepWidths = widths;
        long long passLeft = GrowByPasses(passWidths, limits, fixed, amount);
        long long stepLeft = GrowColumnsToLimits(stepWidths, limits, fixed, amount);
        EXPECT_EQ(stepWidths, passWidths);
        EXPECT_EQ(stepLeft, passLeft);

        std::vector<int> passLimits = limits, stepLimits = limits;
        passWidths = widths;
        stepWidths = widths;
        passLeft = ShrinkByPasses(passWidths, passLimits, contents, fixed, amount);
        stepLeft = ShrinkFixedColumns(stepWidths, stepLimits, contents, fixed, amount);
        EXPECT_EQ(stepWidths, passWidths);
        EXPECT_EQ(stepLimits, passLimits);
        EXPECT_EQ(stepLeft, passLeft);

        std::vector<int> chosen;
        for (size_t column = 0; column < columns; ++column)
            if (random() % 2)
                chosen.push_back(static_cast<int>(column));
        passWidths = widths;
        stepWidths = widths;
        SpreadByPasses(passWidths, chosen, amount);
        SpreadEvenly(stepWidths, chosen, amount);
        EXPECT_EQ(stepWidths, passWidths);
    }
}

} // namespace
