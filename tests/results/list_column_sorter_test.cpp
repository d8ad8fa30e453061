// The column sorter's compare kinds, and a sort of a real list in which every row keeps its own data.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "list_column_sorter.h"

#include <vector>

namespace {

int Sign(int value)
{
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

TEST(ListColumnSorter, CompareKinds)
{
    struct Case
    {
        const char* name;
        int kind;
        const wchar_t* first;
        const wchar_t* second;
        int expected;
    };
    const Case cases[] = {
        {"999 before 1,024", kSortWholeNumber, L"999", L"1,024", -1},
        {"1,024 after 999", kSortWholeNumber, L"1,024", L"999", 1},
        {"equal numbers", kSortWholeNumber, L"1,024", L"1024", 0},
        {"12 digits, past 32 bits", kSortWholeNumber, L"100000000000", L"99999999999", 1},
        {"12 digits descending", -kSortWholeNumber, L"100000000000", L"99999999999", -1},
        {"20 digits", kSortWholeNumber, L"18446744073709551615", L"18446744073709551614", 1},
        {"names without regard to case", kSortText, L"apple", L"BANANA", -1},
        {"names equal but for case", kSortText, L"Readme.TXT", L"readme.txt", 0},
        {"names descending", -kSortText, L"apple", L"BANANA", 1},
        {"dates", kSortDateTime, L"2024-01-02 10:00:00", L"2024-01-10 09:00:00", -1},
        {"dates descending", -kSortDateTime, L"2024-01-02 10:00:00", L"2024-01-10 09:00:00", 1},
        {"dates as the listings write them", kSortDateTime, L"2-1-2024 10:00:00", L"10-1-2024 9:00:00", -1},
        {"equal dates", kSortDateTime, L"2024-01-02 10:00:00", L"2024-01-02 10:00:00", 0},
        {"a date that does not parse", kSortDateTime, L"not a date", L"2024-01-02 10:00:00", 0},
        {"neither parses", kSortDateTime, L"", L"??", 0},
        {"decimals", kSortDecimal, L"1.5", L"1.25", 1},
        {"unknown kind", 9, L"a", L"b", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Sign(CompareSortTexts(c.kind, c.first, c.second)), c.expected);
    }
}

TEST(ListColumnSorter, SortsAListAndGivesEachRowItsOwnDataBack)
{
    ASSERT_NE(StartedFrame(), nullptr);
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 300, 200), StartedFrame(), 4711));
    list.InsertColumn(0, L"Name", LVCFMT_LEFT, 100);
    list.InsertColumn(1, L"Size", LVCFMT_LEFT, 100);
    const wchar_t* names[] = {L"b", L"C", L"a", L"d"};
    const wchar_t* sizes[] = {L"1,024", L"7", L"999", L"100000000000"};
    for (int row = 0; row < 4; ++row) {
        list.InsertItem(row, names[row]);
        list.SetItemText(row, 1, sizes[row]);
        list.SetItemData(row, static_cast<DWORD_PTR>(1000 + row));
    }
    auto column = [&](int index) {
        std::vector<CString> texts;
        for (int row = 0; row < list.GetItemCount(); ++row)
            texts.push_back(list.GetItemText(row, index));
        return texts;
    };
    {
        CListColumnSorter sorter(list, 1);
        sorter.Sort(kSortWholeNumber);
    }
    EXPECT_EQ(column(1), (std::vector<CString>{L"7", L"999", L"1,024", L"100000000000"}));
    {
        CListColumnSorter sorter(list, 0);
        sorter.Sort(-kSortText);
    }
    EXPECT_EQ(column(0), (std::vector<CString>{L"d", L"C", L"b", L"a"}));
    const DWORD_PTR data[] = {1003, 1001, 1000, 1002};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(list.GetItemData(row), data[row]) << row;

    // Rows whose data do not tell them apart sort as well, and keep their data.
    const DWORD_PTR shared[] = {7, 7, 0, 7};
    for (int row = 0; row < 4; ++row)
        list.SetItemData(row, shared[row]);
    {
        CListColumnSorter sorter(list, 0);
        sorter.Sort(kSortText);
    }
    EXPECT_EQ(column(0), (std::vector<CString>{L"a", L"b", L"C", L"d"}));
    const DWORD_PTR sharedSorted[] = {7, 0, 7, 7};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(list.GetItemData(row), sharedSorted[row]) << row;
    list.DestroyWindow();
}

} // namespace
