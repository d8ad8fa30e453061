#pragma once

// Sorts the rows of a report list by the text of one column. The texts are read once, when the sorter is
// made, and each is turned into its key (a number, a date, an upper-cased text) once; the order is worked
// out on those keys, and the rows are moved into it by one sort of the control whose comparisons only look
// up each row's place. Comparing texts inside the control's sort instead parses a date twice per
// comparison, and a list of 100,000 rows makes nearly two million of them.
//
// Rows may be kept in groups that the sort never mixes: every row of a lower group stands before every
// row of a higher one, in either direction, and within a group the column decides.
#include <afxcmn.h>

#include <cstdint>
#include <functional>
#include <vector>

// The compare kinds; a negative kind sorts the same column descending.
enum ListSortKind : int
{
    kSortWholeNumber = 1, // every non-digit taken out, compared as unsigned 64-bit values
    kSortText = 2,        // without regard to case
    kSortDateTime = 3,    // parsed in the user's locale; a text that does not parse compares equal
    kSortDecimal = 4,     // floating-point values
};

// <0, 0 or >0 as `first` sorts before, with or after `second` under the kind (its sign included); an
// unknown kind gives 0.
int CompareSortTexts(int kind, const CString& first, const CString& second);

class CListColumnSorter
{
public:
    // `groupOfRow`, when given, names each row's group (a small number) from its row index.
    CListColumnSorter(CListCtrl& list, int column, const std::function<int(int row)>& groupOfRow = {});
    virtual ~CListColumnSorter() = default;
    CListColumnSorter(const CListColumnSorter&) = delete;
    CListColumnSorter& operator=(const CListColumnSorter&) = delete;

    // Sorts by the kind (its sign the direction). Rows whose keys are equal keep their order, and so do
    // rows of dates that do not parse: under a date kind they stand before every date (after, descending).
    // An unknown kind keeps the order within each group. Every row keeps its own item data.
    virtual void Sort(int kind);

    // The rows' order that Sort(kind) gives: for each place, the row (as it stands before the sort) that
    // comes there.
    std::vector<int> SortedOrder(int kind) const;

private:
    // Moves the rows into `order` (for each place, the row that comes there).
    void MoveRows(const std::vector<int>& order);
    static int CALLBACK ComparePlaces(LPARAM first, LPARAM second, LPARAM places);

    CListCtrl& m_list;
    std::vector<CString> m_texts;
    std::vector<int> m_groups;
};
