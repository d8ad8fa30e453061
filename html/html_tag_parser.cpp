// The main loop of the parser: text runs, style tags and line breaks.
#include "html_document.h"
#include "html_host_callback.h"
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

// A signed decimal number as far as it goes; saturates instead of overflowing.
long long ReadNumber(const wchar_t* text)
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

// The style state of one call: no stack, closing tags return to the call's base values.
struct ParseStyle
{
    std::wstring face;
    int size;
    COLORREF colour;
    int bold = 0;
    int italic = 0;
    int underline = 0;
    int inLink = 0;
    int linkId = -1;
    int subscript = 0;
    int superscript = 0;
    int strike = 0;
    int centring = 0;
    int lineHasText = 0;
};

} // namespace

int CHtmlDocument::ParseTags(wchar_t* text, CHtmlItem**& array, int& count, const wchar_t* face, int size,
                             COLORREF color, const wchar_t* pageUrl, int nestLevel, int align, int noWrap)
{
    if (!text)
        return 1;
    level = std::max(level, std::min(nestLevel, kHtmlMaxParseLevel));
    const int length = static_cast<int>(wcslen(text));
    const std::wstring baseFace = face ? face : L"";
    ParseStyle style;
    style.face = baseFace;
    style.size = size;
    style.colour = color;

    auto progress = [&](int position) {
        if (nestLevel == 0 && host)
            host->ShowParseProgress(0, position, length);
    };
    auto lineAlign = [&]() { return style.centring ? 2 : align; };
    // Characters of the text runs that stand at the end of the array, modulo the tab width: a tab fills
    // to the next stop without looking back over the line.
    int runColumn = 0;
    for (int index = count - 1; index >= 0 && array[index]->kind == kHtmlItemText; --index)
        runColumn = (runColumn + static_cast<int>(wcslen(array[index]->text) % kTabWidth)) % kTabWidth;
    auto append = [&](CHtmlItem* item) {
        if (!AppendItemSlot(array, count)) {
            FreeItem(item);
            delete item;
            return false;
        }
        array[count - 1] = item;
        if (item->kind == kHtmlItemText)
            runColumn = (runColumn + static_cast<int>(wcslen(item->text) % kTabWidth)) % kTabWidth;
        else
            runColumn = 0;
        return true;
    };
    // Runs made from the page's text: words, spaces and tabs.
    auto appendRun = [&](const wchar_t* runText) {
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
        CHtmlItem* item = CreateTextItem(
            runText, lineFlags, lineWidth, lineColour, style.face.c_str(), runSize, style.bold, style.italic,
            style.inLink ? kLinkColour : style.colour, -1, lineAlign(), 0, style.linkId, noWrap);
        if (style.superscript)
            item->fontSize = style.size * 2 / 3;
        return append(item);
    };
    // The one-space runs of line-ending tags: current style, no sub- or superscript, no strike-through.
    auto appendSpace = [&]() {
        unsigned int lineFlags = style.inLink || style.underline ? kUnderline : 0;
        CHtmlItem* item = CreateTextItem(
            L" ", lineFlags, lineFlags ? 1 : 0, style.inLink ? static_cast<int>(kLinkColour) : 0,
            style.face.c_str(), style.size, style.bold, style.italic,
            style.inLink ? kLinkColour : style.colour, -1, lineAlign(), 0, style.linkId, noWrap);
        return append(item);
    };
    auto appendBreak = [&](int height, int width, int breakAlign, int clear) {
        return append(CreateBreakItem(height, width, breakAlign, clear));
    };

    CHtmlStringTable attributes;
    int position = 0;
    while (position < length && !parseStopped) {
        progress(position);
        wchar_t* at = text + position;
        wchar_t character = *at;

        if (character != L'<') {
            if (character == L' ' || character == L'\r' || character == L'\n') {
                if (style.lineHasText || noWrap)
                    appendRun(L" ");
                if (character != L' ')
                    appendBreak(0, 0, align, 0);
                position += character == L'\r' && at[1] == L'\n' ? 2 : 1;
            } else if (character == L'\t') {
                int spaces = kTabWidth - runColumn;
                appendRun(std::wstring(static_cast<size_t>(spaces), L' ').c_str());
                ++position;
            } else {
                int end = position;
                while (end < length && !wcschr(L" \r\n\t<", text[end]))
                    ++end;
                std::wstring word(text + position, text + end);
                appendRun(word.c_str());
                style.lineHasText = 1;
                position = end;
            }
            progress(position);
            continue;
        }

        int tag = MatchHtmlTag(at, false);
        if (tag < 0) {
            // Not a tag: the '<' goes and what follows is text.
            ++position;
            continue;
        }
        // Past the tag's '>', or the end of the text.
        const wchar_t* close = wcschr(at, L'>');
        int afterTag = close ? static_cast<int>(close - text) + 1 : length;
        // div and p with attributes open aligned regions, built by the block builder.
        bool regionTag = (tag == kTagDiv || tag == kTagP) && at[wcslen(HtmlTagOpening(tag))] == L' ';

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
            ParseTagAttributes(at, &attributes);
            for (int row = 0; row < attributes.RowCount(); ++row) {
                if (_wcsicmp(attributes.GetRow(row)->GetText(0), L"href") != 0)
                    continue;
                wchar_t url[kHtmlUrlCapacity];
                ResolveHtmlUrl(attributes.GetRow(row)->GetText(1), url, pageUrl);
                style.linkId = FindOrAddLink(url);
                style.inLink = 1;
                break;
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
            style.size = size;
            break;
        case kTagEndFont:
            style.face = baseFace;
            style.size = size;
            style.colour = color;
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
            ParseTagAttributes(at, &attributes);
            for (int row = 0; row < attributes.RowCount(); ++row) {
                const wchar_t* name = attributes.GetRow(row)->GetText(0);
                const wchar_t* value = attributes.GetRow(row)->GetText(1);
                if (_wcsicmp(name, L"face") == 0) {
                    style.face = value;
                } else if (_wcsicmp(name, L"color") == 0) {
                    style.colour = ParseHtmlColor(value);
                } else if (_wcsicmp(name, L"size") == 0) {
                    long long number = ReadNumber(value);
                    if (number == 0)
                        continue;
                    const wchar_t* sign = value;
                    while (*sign == L' ')
                        ++sign;
                    if (*sign == L'+' || *sign == L'-')
                        style.size = ClampSize(size + number);
                    else
                        style.size = ClampSize(4 * number + 8);
                }
            }
            break;
        }
        default:
            break;
        }

        if (IsLineEndingTag(tag) && !regionTag) {
            bool isBreak = tag == kTagBr;
            int clear = 0;
            if (isBreak) {
                ParseTagAttributes(at, &attributes);
                for (int row = 0; row < attributes.RowCount(); ++row)
                    if (_wcsicmp(attributes.GetRow(row)->GetText(0), L"clear") == 0)
                        clear = 1;
            }
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
                style.size = size;
                break;
            default:
                break;
            }
            if (tag == kTagH1 || tag == kTagH2 || tag == kTagH3) {
                appendSpace();
                appendBreak(0, 0, lineAlign(), 0);
                appendSpace();
            }
            if (style.lineHasText || isBreak)
                appendSpace();
            if (tag == kTagHr)
                appendBreak(2, 1, lineAlign(), 0);
            else
                appendBreak(0, 0, lineAlign(), clear);
            if ((tag == kTagP && style.lineHasText) || tag == kTagHr) {
                appendSpace();
                appendBreak(0, 0, lineAlign(), 0);
            }
            if (!noWrap && (isBreak || tag == kTagP))
                style.lineHasText = 0;
            progress(afterTag);
        }
        // Tables, forms, images, lists, preformatted blocks, block quotes and div or p regions are read by
        // the block builders; until a page needs them their tags are passed over and their text flows on.
        position = afterTag;
    }
    progress(length);
    return parseStopped ? 0 : 1;
}
