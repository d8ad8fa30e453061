#pragma once

#include <memory>
#include <string>
#include <vector>

// The engine's list of texts. Reads never fail: an index out of range reads as "" and writes to it
// report 0 and change nothing.
class CHtmlStringArray
{
public:
    // length -1 takes the whole string; any other copies exactly that many characters.
    int Add(const wchar_t* text, int length);
    // text may be the entry being replaced.
    int Set(int index, const wchar_t* text, int length);
    const wchar_t* Get(int index, int* length) const;
    const wchar_t* GetText(int index) const { return Get(index, nullptr); }
    void Free();
    int Count() const { return static_cast<int>(strings.size()); }

private:
    std::vector<std::wstring> strings;
};

// Rows of texts: attribute lists, the link table, history, forms and option lists.
class CHtmlStringTable
{
public:
    int AddRow();
    int AppendCell(int row, const wchar_t* text, int length);
    int SetCell(int row, int cell, const wchar_t* text, int length);
    // Never null: a row that does not exist is an empty row.
    CHtmlStringArray* GetRow(int row);
    const CHtmlStringArray* GetRow(int row) const;
    int RowCount() const { return static_cast<int>(rows.size()); }
    int DeleteRow(int row);
    void Clear();

private:
    std::vector<std::unique_ptr<CHtmlStringArray>> rows;
    // Handed out for rows that do not exist; callers may only read it.
    CHtmlStringArray emptyRow;
};
