#pragma once

// Sorts the rows of a report list by the text of one column. While the sorter lives, every row's item
// data is a record of the row's own item data and its text in that column; the destructor gives the rows
// their item data back.
#include <afxcmn.h>

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
    CListColumnSorter(CListCtrl& list, int column);
    virtual ~CListColumnSorter();
    CListColumnSorter(const CListColumnSorter&) = delete;
    CListColumnSorter& operator=(const CListColumnSorter&) = delete;

    virtual void Sort(int kind);

private:
    struct SortRecord
    {
        LPARAM itemData;
        CString text;
    };
    static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM kind);

    CListCtrl& m_list;
    std::vector<SortRecord*> m_records;
};
