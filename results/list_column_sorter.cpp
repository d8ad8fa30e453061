#include "list_column_sorter.h"

#include <afxdisp.h>

#include "result_row_text.h"

#include <cstdint>
#include <cstdlib>
#include <unordered_set>

namespace {

double DecimalValue(const CString& text)
{
    char bytes[256] = {};
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes - 1, NULL, NULL);
    return std::atof(bytes);
}

int CompareUnsigned(std::uint64_t first, std::uint64_t second)
{
    return first < second ? -1 : first > second ? 1 : 0;
}

} // namespace

int CompareSortTexts(int kind, const CString& first, const CString& second)
{
    const int direction = kind < 0 ? -1 : 1;
    int result = 0;
    switch (kind < 0 ? -kind : kind) {
    case kSortWholeNumber:
        result = CompareUnsigned(DecimalDigitsValue(first, true), DecimalDigitsValue(second, true));
        break;
    case kSortText:
        result = first.CompareNoCase(second);
        break;
    case kSortDateTime: {
        COleDateTime firstDate;
        COleDateTime secondDate;
        if (firstDate.ParseDateTime(first) && secondDate.ParseDateTime(second))
            result = firstDate.m_dt < secondDate.m_dt ? -1 : firstDate.m_dt > secondDate.m_dt ? 1 : 0;
        break;
    }
    case kSortDecimal:
        result = DecimalValue(first) < DecimalValue(second) ? -1 : 1;
        break;
    default:
        break;
    }
    return result * direction;
}

CListColumnSorter::CListColumnSorter(CListCtrl& list, int column) : m_list(list)
{
    const int count = m_list.GetItemCount();
    m_records.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        auto* pRecord =
            new SortRecord{static_cast<LPARAM>(m_list.GetItemData(row)), m_list.GetItemText(row, column)};
        m_records.push_back(pRecord);
        m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(pRecord));
    }
}

CListColumnSorter::~CListColumnSorter()
{
    // The rows may stand in another order now: each gives back the data its own record holds.
    const std::unordered_set<const SortRecord*> own(m_records.begin(), m_records.end());
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        const auto* pRecord = reinterpret_cast<const SortRecord*>(m_list.GetItemData(row));
        if (own.count(pRecord) != 0)
            m_list.SetItemData(row, static_cast<DWORD_PTR>(pRecord->itemData));
    }
    for (SortRecord* pRecord : m_records)
        delete pRecord;
}

void CListColumnSorter::Sort(int kind)
{
    m_list.SortItems(CompareRows, static_cast<DWORD_PTR>(static_cast<LPARAM>(kind)));
}

int CALLBACK CListColumnSorter::CompareRows(LPARAM first, LPARAM second, LPARAM kind)
{
    const auto* pFirst = reinterpret_cast<const SortRecord*>(first);
    const auto* pSecond = reinterpret_cast<const SortRecord*>(second);
    return CompareSortTexts(static_cast<int>(kind), pFirst->text, pSecond->text);
}
