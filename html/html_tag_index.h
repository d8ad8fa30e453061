#pragma once

// Where the tags of a page stand and which closing tag matches each opening one, found once per page,
// so that finding the end of a region costs no scan of the text however deep regions nest.
#include <cstddef>
#include <functional>
#include <vector>

struct HtmlTagEntry
{
    const wchar_t* at;
    int tag;
    // The entry of the closing tag of the same kind that ends a table, pre, ul or ol, or -1.
    int match;
    // For a div or table: the entry of the first "</div" or "</table" at which the count of the div and
    // table tags opened since returns to zero, or -1.
    int blockMatch;
    // For a ul or ol: the same for the count of lists of both kinds.
    int listMatch;
    // Read when first asked for (RegionAlign).
    int regionAlign;
};

// The align attribute of a div or p: none, or one that names no alignment the engine knows.
constexpr int kHtmlNoAlign = -1;
constexpr int kHtmlOtherAlign = 4;

class HtmlTagIndex
{
public:
    void Build(const wchar_t* text, int length);
    // Whether text lies inside the indexed text, so that a nested call can use this index.
    bool Covers(const wchar_t* text) const
    {
        return std::less_equal<const wchar_t*>()(begin, text) && std::less<const wchar_t*>()(text, end);
    }
    int Count() const { return static_cast<int>(entries.size()); }
    const HtmlTagEntry& Entry(int index) const { return entries[static_cast<size_t>(index)]; }
    // The first entry at or after at (Count() when there is none).
    int FirstAtOrAfter(const wchar_t* at) const;
    // The entry of the tag at exactly at, or -1.
    int EntryAt(const wchar_t* at) const;
    // The alignment that the align attribute of the entry's div or p names: 0 left, 1 right, 2 centre,
    // 3 justify, kHtmlOtherAlign for another word, kHtmlNoAlign without one. Read once per tag, because
    // region ends are sought over the same tags again and again.
    int RegionAlign(int entry);

private:
    std::vector<HtmlTagEntry> entries;
    const wchar_t* begin = nullptr;
    const wchar_t* end = nullptr;
};
