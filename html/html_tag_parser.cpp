// The main loop of the parser: text runs, style tags and line breaks; the builders of tables, forms
// and blocks take the tags that open regions and controls.
#include "html_document.h"
#include "html_host_callback.h"
#include "html_parse_call.h"
#include "html_tag_index.h"
#include "html_tag_table.h"
#include "html_text_routines.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string>

namespace {

constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 1000;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr unsigned int kUnderline = 8;
constexpr unsigned int kStrikeThrough = 16;
constexpr int kTabWidth = 5;

int ClampSize(long long size)
{
    return static_cast<int>(std::clamp<long long>(size, kMinFontSize, kMaxFontSize));
}

bool IsLineEndingTag(int tag)
{
    switch (tag) {
    case kTagBr:
    case kTagP:
    case kTagCenter:
    case kTagEndCenter:
    case kTagH1:
    case kTagEndH1:
    case kTagH2:
    case kTagEndH2:
    case kTagH3:
    case kTagEndH3:
    case kTagDiv:
    case kTagEndDiv:
    case kTagHr:
        return true;
    default:
        return false;
    }
}

// Kept out of the parser's own frame, which every nested region repeats.
std::wstring ResolveUrlText(const wchar_t* link, const wchar_t* pageUrl)
{
    std::wstring url(kHtmlUrlCapacity, L'\0');
    ResolveHtmlUrl(link, url.data(), pageUrl);
    url.resize(wcslen(url.c_str()));
    return url;
}

} // namespace

long long ReadHtmlNumber(const wchar_t* text)
{
    while (*text == L' ')
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    long long value = 0;
    while (*text >= L'0' && *text <= L'9') {
        value = std::min<long long>(value * 10 + (*text - L'0'), 1000000000LL);
        ++text;
    }
    return negative ? -value : value;
}

int ReadClampedNumber(const wchar_t* text, int low, int high)
{
    return static_cast<int>(std::clamp<long long>(ReadHtmlNumber(text), low, high));
}

bool HtmlValueIs(const wchar_t* value, const wchar_t* keyword)
{
    return value && _wcsicmp(value, keyword) == 0;
}

HtmlTagAttributes::HtmlTagAttributes(const wchar_t* tag)
{
    ParseTagAttributes(tag, &table);
}

bool HtmlTagAttributes::Is(int index, const wchar_t* name) const
{
    return _wcsicmp(Name(index), name) == 0;
}

const wchar_t* HtmlTagAttributes::Find(const wchar_t* name) const
{
    const wchar_t* value = nullptr;
    for (int index = 0; index < Count(); ++index)
        if (Is(index, name))
            value = Value(index);
    return value;
}

int HtmlParseCall::AfterTag(int position) const
{
    const wchar_t* close = wcschr(text + position, L'>');
    return close ? static_cast<int>(close - text) + 1 : length;
}

bool CHtmlDocument::AppendItem(HtmlParseCall& call, CHtmlItem* item)
{
    if (!AppendItemSlot(call.array, call.count)) {
        FreeItem(item);
        delete item;
        return false;
    }
    call.array[call.count - 1] = item;
    if (item->kind == kHtmlItemText && item->text)
        call.runColumn = (call.runColumn + static_cast<int>(wcslen(item->text) % kTabWidth)) % kTabWidth;
    else
        call.runColumn = 0;
    return true;
}

bool CHtmlDocument::AppendBreak(HtmlParseCall& call, int height, int width, int align, int clear)
{
    return AppendItem(call, CreateBreakItem(height, width, align, clear));
}

// Runs made from the page's text: words, spaces and tabs.
bool CHtmlDocument::AppendRun(HtmlParseCall& call, const wchar_t* runText)
{
    const HtmlParseStyle& style = call.style;
    unsigned int lineFlags = 0;
    int lineWidth = 0;
    int lineColour = 0;
    if (style.inLink || style.underline) {
        lineFlags = kUnderline;
        lineWidth = 1;
        if (style.inLink)
            lineColour = static_cast<int>(kLinkColour);
    }
    if (style.strike) {
        lineFlags |= kStrikeThrough;
        lineWidth = 1;
    }
    int runSize = style.subscript ? style.size * 2 / 3 : style.size;
    CHtmlItem* item = CreateTextItem(runText, lineFlags, lineWidth, lineColour, style.face.c_str(), runSize,
                                     style.bold, style.italic, style.inLink ? kLinkColour : style.colour, -1,
                                     call.LineAlign(), 0, style.linkId, call.noWrap);
    if (style.superscript)
        item->fontSize = style.size * 2 / 3;
    return AppendItem(call, item);
}

// The one-space runs of line-ending tags: current style, no sub- or superscript, no strike-through.
bool CHtmlDocument::AppendSpace(HtmlParseCall& call)
{
    const HtmlParseStyle& style = call.style;
    unsigned int lineFlags = style.inLink || style.underline ? kUnderline : 0;
    CHtmlItem* item = CreateTextItem(
        L" ", lineFlags, lineFlags ? 1 : 0, style.inLink ? static_cast<int>(kLinkColour) : 0,
        style.face.c_str(), style.size, style.bold, style.italic, style.inLink ? kLinkColour : style.colour,
        -1, call.LineAlign(), 0, style.linkId, call.noWrap);
    return AppendItem(call, item);
}

void CHtmlDocument::ReportProgress(const HtmlParseCall& call, int position)
{
    if (call.level == 0 && host)
        host->ShowParseProgress(0, position, call.length);
}

int CHtmlDocument::MatchedEnd(const HtmlParseCall& call, int entry, bool block)
{
    if (entry < 0)
        return call.length;
    int match = block ? tagIndex->Entry(entry).blockMatch : tagIndex->Entry(entry).match;
    if (match < 0)
        return call.length;
    // A match beyond a nested call's end lies outside its region.
    long long position = tagIndex->Entry(match).at - call.text;
    return position < call.length ? static_cast<int>(position) : call.length;
}

void CHtmlDocument::ParseRegion(HtmlParseCall& call, int start, int end, CHtmlItem**& array, int& count,
                                const wchar_t* face, int size, COLORREF colour, int align, int noWrap)
{
    if (start >= end)
        return;
    wchar_t saved = call.text[end];
    call.text[end] = 0;
    ParseText(call.text + start, end - start, array, count, face, size, colour, call.pageUrl, call.level + 1,
              align, noWrap);
    call.text[end] = saved;
}

CHtmlItem* CHtmlDocument::AppendRegionBox(HtmlParseCall& call, CHtmlItem* box, int start, int end,
                                          const wchar_t* face, int size, COLORREF colour, int align,
                                          int noWrap)
{
    if (!AppendItem(call, box))
        return nullptr;
    ParseRegion(call, start, end, box->children, box->childCount, face, size, colour, align, noWrap);
    return box;
}

int CHtmlDocument::HandleStyleTag(HtmlParseCall& call, int tag, int position)
{
    HtmlParseStyle& style = call.style;
    const wchar_t* at = call.text + position;
    switch (tag) {
    case kTagI:
        style.italic = 1;
        break;
    case kTagEndI:
        style.italic = 0;
        break;
    case kTagB:
    case kTagStrong:
        style.bold = 1;
        break;
    case kTagEndB:
    case kTagEndStrong:
        style.bold = 0;
        break;
    case kTagU:
        style.underline = 1;
        break;
    case kTagEndU:
        style.underline = 0;
        break;
    case kTagA: {
        HtmlTagAttributes attributes(at);
        const wchar_t* href = attributes.Find(L"href");
        if (href) {
            style.linkId = FindOrAddLink(ResolveUrlText(href, call.pageUrl).c_str());
            style.inLink = 1;
        }
        break;
    }
    case kTagEndA:
        style.inLink = 0;
        style.linkId = -1;
        break;
    case kTagSmall:
        style.size = ClampSize(style.size - style.size / 3);
        break;
    case kTagBig:
        style.size = ClampSize(static_cast<long long>(style.size) + style.size / 3);
        break;
    case kTagEndSmall:
    case kTagEndBig:
        style.size = call.baseSize;
        break;
    case kTagEndFont:
        style.face = call.baseFace;
        style.size = call.baseSize;
        style.colour = call.baseColour;
        break;
    case kTagSub:
        style.subscript = 1;
        break;
    case kTagEndSub:
        style.subscript = 0;
        break;
    case kTagSup:
        style.superscript = 1;
        break;
    case kTagEndSup:
        style.superscript = 0;
        break;
    case kTagStrike:
        style.strike = 1;
        break;
    case kTagEndStrike:
        style.strike = 0;
        break;
    case kTagFont: {
        HtmlTagAttributes attributes(at);
        for (int row = 0; row < attributes.Count(); ++row) {
            const wchar_t* value = attributes.Value(row);
            if (attributes.Is(row, L"face")) {
                style.face = value;
            } else if (attributes.Is(row, L"color")) {
                style.colour = ParseHtmlColor(value);
            } else if (attributes.Is(row, L"size")) {
                long long number = ReadHtmlNumber(value);
                if (number == 0)
                    continue;
                const wchar_t* sign = value;
                while (*sign == L' ')
                    ++sign;
                if (*sign == L'+' || *sign == L'-')
                    style.size = ClampSize(call.baseSize + number);
                else
                    style.size = ClampSize(4 * number + 8);
            }
        }
        break;
    }
    default:
        return 0;
    }
    return 1;
}

void CHtmlDocument::HandleLineEndingTag(HtmlParseCall& call, int tag, int position)
{
    HtmlParseStyle& style = call.style;
    bool isBreak = tag == kTagBr;
    int clear = isBreak && HtmlTagAttributes(call.text + position).Find(L"clear") ? 1 : 0;
    switch (tag) {
    case kTagCenter:
        style.centring = 1;
        break;
    case kTagEndCenter:
        style.centring = 0;
        break;
    case kTagH1:
        style.bold = 1;
        style.size = ClampSize(static_cast<long long>(style.size) * 2);
        break;
    case kTagH2:
        style.bold = 1;
        style.size = ClampSize(static_cast<long long>(style.size) + style.size / 2);
        break;
    case kTagH3:
        style.bold = 1;
        style.size = ClampSize(static_cast<long long>(style.size) + style.size / 3);
        break;
    case kTagEndH1:
    case kTagEndH2:
    case kTagEndH3:
        style.bold = 0;
        style.size = call.baseSize;
        break;
    default:
        break;
    }
    if (tag == kTagH1 || tag == kTagH2 || tag == kTagH3) {
        AppendSpace(call);
        AppendBreak(call, 0, 0, call.LineAlign(), 0);
        AppendSpace(call);
    }
    if (style.lineHasText || isBreak)
        AppendSpace(call);
    if (tag == kTagHr)
        AppendBreak(call, 2, 1, call.LineAlign(), 0);
    else
        AppendBreak(call, 0, 0, call.LineAlign(), clear);
    if ((tag == kTagP && style.lineHasText) || tag == kTagHr) {
        AppendSpace(call);
        AppendBreak(call, 0, 0, call.LineAlign(), 0);
    }
    if (!call.noWrap && (isBreak || tag == kTagP))
        style.lineHasText = 0;
}

int CHtmlDocument::ParseTags(wchar_t* text, CHtmlItem**& array, int& count, const wchar_t* face, int size,
                             COLORREF color, const wchar_t* pageUrl, int nestLevel, int align, int noWrap)
{
    if (!text)
        return 1;
    return ParseText(text, static_cast<int>(wcslen(text)), array, count, face, size, color, pageUrl,
                     nestLevel, align, noWrap);
}

int CHtmlDocument::ParseText(wchar_t* text, int length, CHtmlItem**& array, int& count, const wchar_t* face,
                             int size, COLORREF color, const wchar_t* pageUrl, int nestLevel, int align,
                             int noWrap)
{
    level = std::max(level, std::min(nestLevel, kHtmlMaxParseLevel));
    HtmlParseCall call{
        text,      length, array,  count,           face ? face : L"", size, color, pageUrl ? pageUrl : L"",
        nestLevel, align,  noWrap, HtmlParseStyle{}};
    call.style.face = call.baseFace;
    call.style.size = size;
    call.style.colour = color;
    // A tab fills to the next stop without looking back over the line.
    for (int index = count - 1; index >= 0 && array[index]->kind == kHtmlItemText; --index)
        call.runColumn =
            (call.runColumn + static_cast<int>(wcslen(array[index]->text) % kTabWidth)) % kTabWidth;

    // The page's call indexes its tags; nested calls parse parts of the same text and share the index.
    HtmlTagIndex ownIndex;
    HtmlTagIndex* outerIndex = tagIndex;
    if (nestLevel == 0 || !tagIndex || !tagIndex->Covers(text)) {
        ownIndex.Build(text, call.length);
        tagIndex = &ownIndex;
    }
    // Regions opened here would hold items one level deeper than the cap allows; they are read flat.
    const bool canNest = nestLevel + 1 < kHtmlMaxParseLevel;

    HtmlParseStyle& style = call.style;
    int position = 0;
    while (position < length && !parseStopped) {
        ReportProgress(call, position);
        wchar_t* at = text + position;
        parsedTo = at;
        wchar_t character = *at;

        if (character != L'<') {
            if (character == L' ' || character == L'\r' || character == L'\n') {
                if (style.lineHasText || noWrap)
                    AppendRun(call, L" ");
                if (character != L' ')
                    AppendBreak(call, 0, 0, align, 0);
                position += character == L'\r' && at[1] == L'\n' ? 2 : 1;
            } else if (character == L'\t') {
                int spaces = kTabWidth - call.runColumn;
                AppendRun(call, std::wstring(static_cast<size_t>(spaces), L' ').c_str());
                ++position;
            } else {
                int end = position;
                while (end < length && !wcschr(L" \r\n\t<", text[end]))
                    ++end;
                std::wstring word(text + position, text + end);
                AppendRun(call, word.c_str());
                style.lineHasText = 1;
                position = end;
            }
            ReportProgress(call, position);
            continue;
        }

        int tag = MatchHtmlTag(at, false);
        if (tag < 0) {
            // Not a tag: the '<' goes and what follows is text.
            ++position;
            continue;
        }
        int afterTag = call.AfterTag(position);
        bool regionTag = (tag == kTagDiv || tag == kTagP) && at[wcslen(HtmlTagOpening(tag))] == L' ';
        if (canNest) {
            int resume = -1;
            if (regionTag)
                resume = ParseAlignedRegion(call, tag, position);
            else if (tag == kTagPre)
                resume = ParsePreformatted(call, position);
            else if (tag == kTagTable)
                resume = ParseTable(call, position);
            else if (tag == kTagBlockquote)
                resume = ParseBlockQuote(call, position);
            else if (tag == kTagUl || tag == kTagOl)
                resume = ParseList(call, tag, position);
            if (resume >= 0) {
                position = std::max(resume, position + 1);
                continue;
            }
        }

        switch (tag) {
        case kTagImg:
            ParseImage(call, position);
            ReportProgress(call, afterTag);
            break;
        case kTagForm:
            OpenForm(at, call.pageUrl);
            break;
        case kTagEndForm:
            currentForm = -1;
            break;
        case kTagInput:
            ParseInput(call, position);
            break;
        case kTagSelect:
            afterTag = ParseSelect(call, position);
            break;
        case kTagTextarea:
            afterTag = ParseTextArea(call, position);
            break;
        default:
            if (HandleStyleTag(call, tag, position))
                break;
            if (IsLineEndingTag(tag)) {
                HandleLineEndingTag(call, tag, position);
                ReportProgress(call, afterTag);
            }
            break;
        }
        position = afterTag;
    }
    ReportProgress(call, length);
    tagIndex = outerIndex;
    return parseStopped ? 0 : 1;
}
