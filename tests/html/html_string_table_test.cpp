#include "html_string_table.h"

#include <gtest/gtest.h>

#include <string>

TEST(HtmlStringArray, CopiesByLengthAndReadsOutOfRangeAsEmpty)
{
    CHtmlStringArray array;
    EXPECT_EQ(array.Add(L"abcdef", 3), 1);
    EXPECT_EQ(array.Add(L"", -1), 1);
    EXPECT_EQ(array.Add(nullptr, -1), 0);
    int length = -1;
    EXPECT_STREQ(array.Get(0, &length), L"abc");
    EXPECT_EQ(length, 3);
    EXPECT_STREQ(array.Get(1, &length), L"");
    EXPECT_EQ(length, 0);
    EXPECT_EQ(array.Count(), 2);

    for (int index : {5, -1, 2}) {
        EXPECT_STREQ(array.Get(index, &length), L"");
        EXPECT_EQ(length, 0);
    }
    EXPECT_EQ(array.Set(2, L"x", -1), 0);
    EXPECT_EQ(array.Count(), 2);
}

TEST(HtmlStringArray, SetFromItsOwnTextKeepsIt)
{
    CHtmlStringArray array;
    array.Add(L"same text", -1);
    EXPECT_EQ(array.Set(0, array.GetText(0), -1), 1);
    EXPECT_STREQ(array.GetText(0), L"same text");
    EXPECT_EQ(array.Set(0, array.GetText(0), 4), 1);
    EXPECT_STREQ(array.GetText(0), L"same");
}

TEST(HtmlStringTable, RowsOutOfRangeReadAsTheEmptyRow)
{
    CHtmlStringTable table;
    EXPECT_EQ(table.GetRow(-1)->Count(), 0);
    EXPECT_EQ(table.AppendCell(0, L"x", -1), 0);
    EXPECT_EQ(table.AddRow(), 1);
    EXPECT_EQ(table.AppendCell(0, L"x", -1), 1);
    EXPECT_EQ(table.SetCell(0, 1, L"y", -1), 0);
    EXPECT_EQ(table.SetCell(0, 0, L"y", -1), 1);
    EXPECT_STREQ(table.GetRow(0)->GetText(0), L"y");
    EXPECT_STREQ(table.GetRow(3)->GetText(0), L"");
    EXPECT_EQ(table.GetRow(3)->Count(), 0);
}

TEST(HtmlStringTable, DeleteRowMovesTheLaterRowsUp)
{
    CHtmlStringTable table;
    for (const wchar_t* text : {L"zero", L"one", L"two"})
        table.AppendCell(table.AddRow() - 1, text, -1);
    EXPECT_EQ(table.DeleteRow(3), 0);
    EXPECT_EQ(table.DeleteRow(0), 1);
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_STREQ(table.GetRow(0)->GetText(0), L"one");
    EXPECT_STREQ(table.GetRow(1)->GetText(0), L"two");
    table.Clear();
    EXPECT_EQ(table.RowCount(), 0);
}
