#include "html_tag_index.h"

#include "html_parse_call.h"
#include "html_tag_table.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr int kAlignUnread = -2;

// Pairs each opening entry with its closing entry, brackets of one kind: what a count that the openings
// raise and the closings lower finds, for every opening at once.
template <typename IsOpening, typename IsClosing, typename Store>
void PairEntries(std::vector<HtmlTagEntry>& entries, IsOpening isOpening, IsClosing isClosing, Store store)
{
    std::vector<int> open;
    for (int index = 0; index < static_cast<int>(entries.size()); ++index) {
        int tag = entries[static_cast<size_t>(index)].tag;
        if (isOpening(tag)) {
            open.push_back(index);
        } else if (isClosing(tag) && !open.empty()) {
            store(entries[static_cast<size_t>(open.back())], index);
            open.pop_back();
        }
    }
}

} // namespace

void HtmlTagIndex::Build(const wchar_t* text, int length)
{
    entries.clear();
    begin = text;
    end = text + length;
    for (const wchar_t* at = text; at < end; ++at) {
        if (*at != L'<')
            continue;
        int tag = MatchHtmlTag(at, false);
        if (tag < 0)
            continue;
        bool attributes = (tag == kTagDiv || tag == kTagP) && at[wcslen(HtmlTagOpening(tag))] == L' ';
        entries.push_back({at, tag, -1, -1, -1, attributes ? kAlignUnread : kHtmlNoAlign});
    }
    const std::pair<int, int> kinds[] = {
        {kTagTable, kTagEndTable}, {kTagPre, kTagEndPre}, {kTagUl, kTagEndUl}, {kTagOl, kTagEndOl}};
    for (auto [opening, closing] : kinds)
        PairEntries(
            entries, [opening = opening](int tag) { return tag == opening; },
            [closing = closing](int tag) { return tag == closing; },
            [](HtmlTagEntry& entry, int index) { entry.match = index; });
    PairEntries(
        entries, [](int tag) { return tag == kTagDiv || tag == kTagTable; },
        [](int tag) { return tag == kTagEndDiv || tag == kTagEndTable; },
        [](HtmlTagEntry& entry, int index) { entry.blockMatch = index; });
    PairEntries(
        entries, [](int tag) { return tag == kTagUl || tag == kTagOl; },
        [](int tag) { return tag == kTagEndUl || tag == kTagEndOl; },
        [](HtmlTagEntry& entry, int index) { entry.listMatch = index; });
}

int HtmlTagIndex::FirstAtOrAfter(const wchar_t* at) const
{
    auto found = std::lower_bound(
        entries.begin(), entries.end(), at,
        [](const HtmlTagEntry& entry, const wchar_t* position) { return entry.at < position; });
    return static_cast<int>(found - entries.begin());
}

int HtmlTagIndex::EntryAt(const wchar_t* at) const
{
    int index = FirstAtOrAfter(at);
    return index < Count() && entries[static_cast<size_t>(index)].at == at ? index : -1;
}

int HtmlTagIndex::RegionAlign(int index)
{
    HtmlTagEntry& entry = entries[static_cast<size_t>(index)];
    if (entry.regionAlign == kAlignUnread) {
        const wchar_t* value = HtmlTagAttributes(entry.at).Find(L"align");
        if (!value)
            entry.regionAlign = kHtmlNoAlign;
        else if (HtmlValueIs(value, L"left"))
            entry.regionAlign = 0;
        else if (HtmlValueIs(value, L"right"))
            entry.regionAlign = 1;
        else if (HtmlValueIs(value, L"center") || HtmlValueIs(value, L"middle"))
            entry.regionAlign = 2;
        else if (HtmlValueIs(value, L"justify"))
            entry.regionAlign = 3;
        else
            entry.regionAlign = kHtmlOtherAlign;
    }
    return entry.regionAlign;
}
