#include "list_column_sorter.h"

#include <afxdisp.h>

#include "result_row_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string>
#include <unordered_map>
#include <utility>

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

CListColumnSorter::CListColumnSorter(CListCtrl& list, int column,
                                     const std::function<int(int row)>& groupOfRow)
    : m_list(list)
{
    const int count = m_list.GetItemCount();
    m_texts.reserve(static_cast<std::size_t>(count));
    m_groups.assign(static_cast<std::size_t>(count), 0);
    for (int row = 0; row < count; ++row) {
        m_texts.push_back(m_list.GetItemText(row, column));
        if (groupOfRow)
            m_groups[static_cast<std::size_t>(row)] = groupOfRow(row);
    }
}

std::vector<int> CListColumnSorter::SortedOrder(int kind) const
{
    const std::size_t count = m_texts.size();
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    const bool ascending = kind >= 0;
    // Each row's key, made once: the comparisons below only look keys up.
    auto sortBy = [&](const auto& keys) {
        std::stable_sort(order.begin(), order.end(), [&](int first, int second) {
            const int firstGroup = m_groups[static_cast<std::size_t>(first)];
            const int secondGroup = m_groups[static_cast<std::size_t>(second)];
            if (firstGroup != secondGroup)
                return firstGroup < secondGroup;
            const auto& firstKey = keys[static_cast<std::size_t>(first)];
            const auto& secondKey = keys[static_cast<std::size_t>(second)];
            return ascending ? firstKey < secondKey : secondKey < firstKey;
        });
    };
    switch (kind < 0 ? -kind : kind) {
    case kSortWholeNumber: {
        std::vector<std::uint64_t> keys;
        keys.reserve(count);
        for (const CString& text : m_texts)
            keys.push_back(DecimalDigitsValue(text, true));
        sortBy(keys);
        break;
    }
    case kSortText: {
        // Kind 2's order without regard to case: each text upper-cased once, then compared as it stands.
        std::vector<std::wstring> keys;
        keys.reserve(count);
        for (const CString& text : m_texts) {
            std::wstring key(static_cast<LPCWSTR>(text), static_cast<std::size_t>(text.GetLength()));
            if (!key.empty())
                ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.c_str(),
                                static_cast<int>(key.size()), key.data(), static_cast<int>(key.size()), NULL,
                                NULL, 0);
            keys.push_back(std::move(key));
        }
        sortBy(keys);
        break;
    }
    case kSortDateTime: {
        // A text that does not parse has no date: such rows come first and keep their order. Parsing is
        // the costly part, and a folder's files often share their times: each text is parsed once.
        std::unordered_map<std::wstring, std::pair<int, double>> parsed;
        std::vector<std::pair<int, double>> keys;
        keys.reserve(count);
        for (const CString& text : m_texts) {
            const std::wstring key(static_cast<LPCWSTR>(text));
            auto found = parsed.find(key);
            if (found == parsed.end()) {
                COleDateTime date;
                const bool valid = date.ParseDateTime(text);
                found = parsed.emplace(key, std::make_pair(valid ? 1 : 0, valid ? date.m_dt : 0.0)).first;
            }
            keys.push_back(found->second);
        }
        sortBy(keys);
        break;
    }
    case kSortDecimal: {
        std::vector<double> keys;
        keys.reserve(count);
        for (const CString& text : m_texts)
            keys.push_back(DecimalValue(text));
        sortBy(keys);
        break;
    }
    default:
        sortBy(std::vector<int>(count, 0));
        break;
    }
    return order;
}

void CListColumnSorter::Sort(int kind)
{
    std::vector<int> order = SortedOrder(kind);
    bool moved = false;
    for (std::size_t place = 0; place < order.size() && !moved; ++place)
        moved = order[place] != static_cast<int>(place);
    if (moved)
        MoveRows(order);
}

namespace {

// Each row's place in the new order, found by the row's item data.
struct PlacesByData
{
    // When the data are the numbers first..first + count - 1 in some order, as the result list gives
    // its rows: a table indexed by them.
    LPARAM first = 0;
    std::vector<int> dense;
    std::unordered_map<LPARAM, int> sparse;

    int Of(LPARAM data) const
    {
        if (!dense.empty())
            return dense[static_cast<std::size_t>(static_cast<ULONG_PTR>(data) -
                                                  static_cast<ULONG_PTR>(first))];
        const auto found = sparse.find(data);
        return found != sparse.end() ? found->second : 0;
    }
};

} // namespace

void CListColumnSorter::MoveRows(const std::vector<int>& order)
{
    const int count = m_list.GetItemCount();
    if (count < 2 || count != static_cast<int>(order.size()))
        return;
    std::vector<int> placeOfRow(order.size());
    for (std::size_t place = 0; place < order.size(); ++place)
        placeOfRow[static_cast<std::size_t>(order[place])] = static_cast<int>(place);

    // The control's sort hands the comparison each row's item data, so the data tell the rows apart.
    // Distinct data are used as they stand (they move with their rows); otherwise each row carries its
    // own number for the sort and takes its data back afterwards, at the cost of two changes a row.
    std::vector<LPARAM> data(order.size());
    for (int row = 0; row < count; ++row)
        data[static_cast<std::size_t>(row)] = static_cast<LPARAM>(m_list.GetItemData(row));
    std::vector<LPARAM> sorted = data;
    std::sort(sorted.begin(), sorted.end());
    const bool distinct = std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();

    PlacesByData places;
    if (!distinct) {
        for (int row = 0; row < count; ++row)
            m_list.SetItemData(row, static_cast<DWORD_PTR>(row));
        places.dense = placeOfRow;
    } else if (static_cast<ULONG_PTR>(sorted.back()) - static_cast<ULONG_PTR>(sorted.front()) ==
               static_cast<ULONG_PTR>(count - 1)) {
        places.first = sorted.front();
        places.dense.resize(order.size());
        for (std::size_t row = 0; row < order.size(); ++row)
            places.dense[static_cast<ULONG_PTR>(data[row]) - static_cast<ULONG_PTR>(places.first)] =
                placeOfRow[row];
    } else {
        places.sparse.reserve(order.size());
        for (std::size_t row = 0; row < order.size(); ++row)
            places.sparse.emplace(data[row], placeOfRow[row]);
    }
    m_list.SortItems(ComparePlaces, reinterpret_cast<DWORD_PTR>(&places));
    if (!distinct) {
        for (int place = 0; place < count; ++place)
            m_list.SetItemData(place, static_cast<DWORD_PTR>(data[static_cast<std::size_t>(order[place])]));
    }
}

int CALLBACK CListColumnSorter::ComparePlaces(LPARAM first, LPARAM second, LPARAM places)
{
    const auto* pPlaces = reinterpret_cast<const PlacesByData*>(places);
    const int firstPlace = pPlaces->Of(first);
    const int secondPlace = pPlaces->Of(second);
    return firstPlace < secondPlace ? -1 : firstPlace > secondPlace ? 1 : 0;
}
