// Regions of their own: div and p with attributes (an aligned run in the same array), preformatted
// blocks, block quotes and lists (boxes holding their content), and images, inline or floated.
#include "html_document.h"
#include "html_parse_call.h"
#include "html_tag_index.h"
#include "html_tag_table.h"
#include "html_text_routines.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kMaxPixels = 32767;
constexpr int kQuotePadding = 15;
constexpr int kListPadding = 2;
constexpr int kFloatPadding = 4;
constexpr const wchar_t* kPreformattedFace = L"Courier New";
constexpr const wchar_t* kBulletFace = L"Wingdings";

// A box without frame, spans of one and no table.
CHtmlItem* CreatePlainBox(int row, int column, int align, int padding, int floatSide)
{
    return CreateBoxItem(row, column, 0, align, 0, -1, 0, 1, 1, padding, 0, 0, -1, 0, 0, -1, floatSide);
}

bool IsListOpening(int tag)
{
    return tag == kTagUl || tag == kTagOl;
}

bool IsListClosing(int tag)
{
    return tag == kTagEndUl || tag == kTagEndOl;
}

} // namespace

int CHtmlDocument::ParseAlignedRegion(HtmlParseCall& call, int tag, int position)
{
    // The index holds every tag of the text the call parses.
    const int entry = tagIndex->EntryAt(call.text + position);
    if (entry < 0)
        return -1;
    const int named = tagIndex->RegionAlign(entry);
    const int regionAlign = named >= 0 && named != kHtmlOtherAlign ? named : call.LineAlign();
    if (regionAlign == call.align && (!call.style.centring || regionAlign == 1))
        return -1;

    const wchar_t* limit = call.text + call.length;
    int end = call.length;
    if (tag == kTagDiv) {
        end = MatchedEnd(call, entry, true);
    } else {
        // Nested tables are passed over whole, so an unmatched "</table" is one met here.
        for (int index = entry + 1; index < tagIndex->Count() && tagIndex->Entry(index).at < limit; ++index) {
            const HtmlTagEntry& found = tagIndex->Entry(index);
            if (found.tag == kTagTable) {
                if (found.match < 0)
                    break;
                index = found.match;
            } else if (found.tag == kTagEndTable || found.tag == kTagEndP || found.tag == kTagP ||
                       found.tag == kTagHr) {
                end = static_cast<int>(found.at - call.text);
                break;
            }
        }
    }
    if (end >= call.length) {
        // Unclosed: the region runs to the next region of the same kind that sets its own alignment.
        int nested = 0;
        for (int index = entry + 1; index < tagIndex->Count() && tagIndex->Entry(index).at < limit; ++index) {
            const HtmlTagEntry& found = tagIndex->Entry(index);
            bool hasAlign = found.tag == tag && tagIndex->RegionAlign(index) != kHtmlNoAlign;
            if (hasAlign && nested == 0) {
                end = static_cast<int>(found.at - call.text);
                break;
            }
            if (found.tag == kTagTable || (found.tag == tag && !hasAlign))
                ++nested;
            else if (found.tag == kTagEndTable)
                --nested;
        }
    }

    AppendBreak(call, 0, 0, regionAlign, 0);
    if (tag == kTagP)
        AppendBreak(call, 0, 0, regionAlign, 0);
    ParseRegion(call, call.AfterTag(position), end, call.array, call.count, call.style.face.c_str(),
                call.style.size, call.style.colour, regionAlign, call.noWrap);
    AppendBreak(call, 0, 0, call.LineAlign(), 0);
    if (end >= call.length)
        return call.length;
    int endEntry = tagIndex->EntryAt(call.text + end);
    int endTag = endEntry >= 0 ? tagIndex->Entry(endEntry).tag : -1;
    bool closing = endTag == kTagEndDiv || endTag == kTagEndTable || endTag == kTagEndP;
    return closing ? call.AfterTag(end) : end;
}

int CHtmlDocument::ParsePreformatted(HtmlParseCall& call, int position)
{
    const int end = MatchedEnd(call, tagIndex->EntryAt(call.text + position), false);
    AppendBreak(call, 0, 0, call.LineAlign(), 0);
    AppendRegionBox(call, CreatePlainBox(0, 0, 0, 0, -1), call.AfterTag(position), end, kPreformattedFace,
                    call.baseSize, call.baseColour, 0, 1);
    AppendBreak(call, 0, 0, call.LineAlign(), 0);
    if (end >= call.length)
        return call.length;
    int resume = call.AfterTag(end);
    while (resume < call.length && call.text[resume] == L' ')
        ++resume;
    return resume;
}

int CHtmlDocument::ParseBlockQuote(HtmlParseCall& call, int position)
{
    const int start = call.AfterTag(position);
    int end = call.length;
    for (int index = tagIndex->FirstAtOrAfter(call.text + start); index < tagIndex->Count(); ++index) {
        const HtmlTagEntry& found = tagIndex->Entry(index);
        if (found.at >= call.text + call.length)
            break;
        if (found.tag == kTagEndBlockquote) {
            end = static_cast<int>(found.at - call.text);
            break;
        }
    }
    AppendBreak(call, 0, 0, call.LineAlign(), 0);
    AppendRegionBox(call, CreatePlainBox(0, 0, call.LineAlign(), kQuotePadding, -1), start, end,
                    call.baseFace.c_str(), call.baseSize, call.baseColour, call.align, call.noWrap);
    AppendBreak(call, 0, 0, call.LineAlign(), 0);
    call.style.lineHasText = 0;
    return end < call.length ? call.AfterTag(end) : call.length;
}

int CHtmlDocument::ParseList(HtmlParseCall& call, int tag, int position)
{
    AppendBreak(call, 0, 0, call.LineAlign(), 0);
    const int listEntry = tagIndex->EntryAt(call.text + position);
    const int end = MatchedEnd(call, listEntry, false);
    const int resume = end < call.length ? call.AfterTag(end) : call.length;
    const wchar_t* limit = call.text + end;

    // Text before the first item is not shown.
    int item = listEntry < 0 ? tagIndex->Count() : listEntry + 1;
    while (item < tagIndex->Count() && tagIndex->Entry(item).at < limit &&
           tagIndex->Entry(item).tag != kTagLi)
        ++item;
    for (int number = 0; item < tagIndex->Count() && tagIndex->Entry(item).at < limit && !parseStopped;
         ++number) {
        const int start =
            std::min(call.AfterTag(static_cast<int>(tagIndex->Entry(item).at - call.text)), end);
        // The item runs to the next item of this list, passing over nested lists.
        int next = item + 1;
        int nested = 0;
        for (; next < tagIndex->Count() && tagIndex->Entry(next).at < limit; ++next) {
            int found = tagIndex->Entry(next).tag;
            if (found == kTagLi && nested == 0)
                break;
            if (IsListOpening(found) && nested == 0) {
                // A nested list is passed over whole; one that never closes holds the rest.
                next = tagIndex->Entry(next).listMatch;
                if (next < 0)
                    next = tagIndex->Count();
                continue;
            }
            nested += IsListOpening(found) ? 1 : IsListClosing(found) ? -1 : 0;
        }
        const int itemEnd = next < tagIndex->Count() && tagIndex->Entry(next).at < limit
                                ? static_cast<int>(tagIndex->Entry(next).at - call.text)
                                : end;

        std::wstring marker;
        const wchar_t* markerFace = call.baseFace.c_str();
        if (tag == kTagUl) {
            marker = listDepth % 2 == 0 ? L" l " : L" m ";
            markerFace = kBulletFace;
        } else {
            marker = L"   ";
            marker += listDepth % 2 == 0 ? std::to_wstring(number + 1)
                                         : std::wstring(1, static_cast<wchar_t>(L'a' + number));
            marker += L".    ";
        }
        CHtmlItem* markerBox = CreatePlainBox(number, 0, call.LineAlign(), kListPadding, -1);
        if (!AppendItem(call, markerBox))
            break;
        ParseTags(marker.data(), markerBox->children, markerBox->childCount, markerFace, call.baseSize,
                  call.baseColour, call.pageUrl, call.level + 1, 0, 1);

        ++listDepth;
        AppendRegionBox(call, CreatePlainBox(number, 1, call.LineAlign(), kListPadding, -1), start, itemEnd,
                        call.baseFace.c_str(), call.baseSize, call.baseColour, call.align, call.noWrap);
        --listDepth;
        AppendBreak(call, 0, 0, call.LineAlign(), 0);
        call.style.lineHasText = 0;
        item = next;
    }
    return resume;
}

void CHtmlDocument::ParseImage(HtmlParseCall& call, int position)
{
    HtmlTagAttributes attributes(call.text + position);
    int width = 0;
    int height = 0;
    int floatSide = -1;
    int border = 0;
    const wchar_t* source = nullptr;
    for (int index = 0; index < attributes.Count(); ++index) {
        const wchar_t* value = attributes.Value(index);
        bool isWidth = attributes.Is(index, L"width");
        if ((isWidth || attributes.Is(index, L"height")) && !wcschr(value, L'%')) {
            int number = ReadClampedNumber(value, 0, kMaxPixels);
            // An image the page sizes to nothing is not shown.
            if (number == 0)
                return;
            (isWidth ? width : height) = number;
        } else if (attributes.Is(index, L"align")) {
            if (HtmlValueIs(value, L"left"))
                floatSide = 0;
            else if (HtmlValueIs(value, L"right"))
                floatSide = 1;
        } else if (attributes.Is(index, L"border")) {
            border = ReadClampedNumber(value, 0, kMaxPixels);
        } else if (attributes.Is(index, L"src")) {
            source = value;
        }
    }

    const int afterTag = call.AfterTag(position);
    if (floatSide >= 0 && call.level + 1 < kHtmlMaxParseLevel) {
        // The box holds the tag itself, its align made inert so that the nested call shows it inline.
        AppendBreak(call, 0, 0, floatSide, 0);
        for (int at = position; at + 5 <= afterTag; ++at)
            if (HtmlStartsWithNoCase(call.text + at, L"align"))
                call.text[at] = L'_';
        AppendRegionBox(call, CreatePlainBox(0, 0, floatSide, kFloatPadding, floatSide), position, afterTag,
                        call.baseFace.c_str(), call.baseSize, call.baseColour, floatSide, call.noWrap);
        AppendBreak(call, 0, 0, call.LineAlign(), 0);
        AppendBreak(call, 0, 0, call.LineAlign(), 0);
        return;
    }
    if (!source)
        return;
    std::wstring url(kHtmlUrlCapacity, L'\0');
    ResolveHtmlUrl(source, url.data(), call.pageUrl);
    CHtmlItem* image = CreateImageItem(url.c_str(), call.LineAlign(), &imageLoader, call.style.linkId,
                                       call.noWrap, 0, border);
    if (width)
        image->width = width;
    if (height)
        image->height = height;
    AppendItem(call, image);
}
