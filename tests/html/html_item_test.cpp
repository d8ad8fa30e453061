#include "html_item.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(HtmlItem, TextRunsKeepTheFirstFaceAndDecodeTheirText)
{
    CHtmlItem* item = CreateTextItem(L"caf\x00C3\x00A9 &amp; co", 8, 1, 255, L"Verdana, Arial", 15, 1, 0,
                                     RGB(1, 2, 3), -1, 2, 0, 4, 1);
    EXPECT_EQ(item->kind, kHtmlItemText);
    EXPECT_STREQ(item->faceName, L"Verdana");
    EXPECT_STREQ(item->text, L"caf\x00E9 & co");
    EXPECT_EQ(item->linkId, 4);
    EXPECT_EQ(item->noWrap, 1);
    EXPECT_EQ(item->imageIndex, -1);
    EXPECT_EQ(item->controlId, -1);
    EXPECT_GT(item->width, 0);
    EXPECT_GT(item->height, 0);
    FreeItem(item);
    delete item;
}

TEST(HtmlItem, TheSymbolFaceIsFoundInAnyCase)
{
    EXPECT_TRUE(IsWingdingsFace(L"Wingdings"));
    EXPECT_TRUE(IsWingdingsFace(L"WINGDINGS"));
    EXPECT_FALSE(IsWingdingsFace(L"Wingdings 2"));
    EXPECT_FALSE(IsWingdingsFace(nullptr));
    SIZE lower = {}, upper = {};
    MeasureText(L"wingdings", 20, 0, 0, &lower, L"abc", -1);
    MeasureText(L"WINGDINGS", 20, 0, 0, &upper, L"abcdef", 3);
    EXPECT_EQ(lower.cx, upper.cx);
    EXPECT_EQ(lower.cy, upper.cy);
}

TEST(HtmlItem, BoxesClampSpansAndPadBorderedCells)
{
    struct Case
    {
        int colSpan, rowSpan, border, cellPadding;
        int expectedColSpan, expectedRowSpan, padding;
        unsigned int lineFlags;
        int lineWidth;
    };
    const Case cases[] = {
        {0, 5000, 1, 3, 1, 1000, 4, 15, 1},
        {2, -7, 0, 3, 2, 1, 3, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        CHtmlItem* box = CreateBoxItem(0, 0, 0, 0, 0, -1, c.border, c.colSpan, c.rowSpan, c.cellPadding, 2, 0,
                                       -1, 0, 0, -1, -1);
        EXPECT_EQ(box->colSpan, c.expectedColSpan);
        EXPECT_EQ(box->rowSpan, c.expectedRowSpan);
        EXPECT_EQ(box->padding, c.padding);
        EXPECT_EQ(box->lineFlags, c.lineFlags);
        EXPECT_EQ(box->lineWidth, c.lineWidth);
        EXPECT_EQ(box->lineColor, -1);
        FreeItem(box);
        delete box;
    }
}

TEST(HtmlItem, BreaksWithAWidthAreSunkenRules)
{
    CHtmlItem* line = CreateBreakItem(0, 0, 0, 0);
    CHtmlItem* rule = CreateBreakItem(2, 1, 2, 0);
    EXPECT_EQ(line->lineFlags, 0u);
    EXPECT_EQ(rule->lineFlags, 15u);
    EXPECT_EQ(rule->lineWidth, 1);
    EXPECT_EQ(rule->lineColor, -1);
    EXPECT_EQ(rule->align, 2);
    delete line;
    delete rule;
}

TEST(HtmlItem, FreeingABoxFreesItsSubtreeAndOffsetsReachEveryDescendant)
{
    CHtmlItem* box = CreateBoxItem(0, 0, 0, 0, 0, -1, 0, 1, 1, 0, 0, 0, -1, 0, 0, -1, -1);
    CHtmlItem* inner = CreateBoxItem(0, 0, 0, 0, 0, -1, 0, 1, 1, 0, 0, 0, -1, 0, 0, -1, -1);
    CHtmlItem* word = CreateTextItem(L"deep", 0, 0, 0, L"Arial", 15, 0, 0, 0, -1, 0, 0, -1, 0);
    inner->children = static_cast<CHtmlItem**>(malloc(sizeof(CHtmlItem*)));
    inner->children[0] = word;
    inner->childCount = 1;
    box->children = static_cast<CHtmlItem**>(malloc(sizeof(CHtmlItem*)));
    box->children[0] = inner;
    box->childCount = 1;

    OffsetChildren(box, 5, 7);
    EXPECT_EQ(inner->x, 5);
    EXPECT_EQ(word->x, 5);
    EXPECT_EQ(word->y, 7);
    EXPECT_EQ(box->x, 0);

    FreeItem(box);
    EXPECT_EQ(box->childCount, 0);
    EXPECT_EQ(box->children, nullptr);
    delete box;
}
