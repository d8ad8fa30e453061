#include "html_string_table.h"

#include <cwchar>
#include <new>

namespace {

std::wstring CopyText(const wchar_t* text, int length)
{
    if (length < 0)
        return std::wstring(text);
    // A given length is exact, but a terminator inside it ends the copy rather than the read.
    size_t available = wcsnlen(text, static_cast<size_t>(length));
    return std::wstring(text, available);
}

} // namespace

int CHtmlStringArray::Add(const wchar_t* text, int length)
{
    if (!text)
        return 0;
    strings.push_back(CopyText(text, length));
    return 1;
}

int CHtmlStringArray::Set(int index, const wchar_t* text, int length)
{
    if (index < 0 || index >= Count() || !text)
        return 0;
    std::wstring copy = CopyText(text, length);
    strings[static_cast<size_t>(index)] = std::move(copy);
    return 1;
}

const wchar_t* CHtmlStringArray::Get(int index, int* length) const
{
    if (index < 0 || index >= Count()) {
        if (length)
            *length = 0;
        return L"";
    }
    const std::wstring& entry = strings[static_cast<size_t>(index)];
    if (length)
        *length = static_cast<int>(entry.size());
    return entry.c_str();
}

void CHtmlStringArray::Free()
{
    strings.clear();
    strings.shrink_to_fit();
}

int CHtmlStringTable::AddRow()
{
    // A row that cannot be allocated stays a null slot and reads as the empty row.
    rows.push_back(std::unique_ptr<CHtmlStringArray>(new (std::nothrow) CHtmlStringArray));
    return RowCount();
}

int CHtmlStringTable::AppendCell(int row, const wchar_t* text, int length)
{
    if (row < 0 || row >= RowCount() || !rows[static_cast<size_t>(row)])
        return 0;
    return rows[static_cast<size_t>(row)]->Add(text, length);
}

int CHtmlStringTable::SetCell(int row, int cell, const wchar_t* text, int length)
{
    if (row < 0 || row >= RowCount() || !rows[static_cast<size_t>(row)])
        return 0;
    return rows[static_cast<size_t>(row)]->Set(cell, text, length);
}

CHtmlStringArray* CHtmlStringTable::GetRow(int row)
{
    if (row < 0 || row >= RowCount() || !rows[static_cast<size_t>(row)]) {
        emptyRow.Free();
        return &emptyRow;
    }
    return rows[static_cast<size_t>(row)].get();
}

const CHtmlStringArray* CHtmlStringTable::GetRow(int row) const
{
    return const_cast<CHtmlStringTable*>(this)->GetRow(row);
}

int CHtmlStringTable::DeleteRow(int row)
{
    if (row < 0 || row >= RowCount())
        return 0;
    rows.erase(rows.begin() + row);
    return 1;
}

void CHtmlStringTable::Clear()
{
    while (!rows.empty())
        rows.pop_back();
}
