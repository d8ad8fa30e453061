// Tables: an opening break, one box per cell holding the cell's content, a break per row and a closing
// break. The cells carry their row, column and table attributes; the layout builds the grid from them.
#include "html_document.h"
#include "html_host_callback.h"
#include "html_parse_call.h"
#include "html_tag_index.h"
#include "html_tag_table.h"
#include "html_text_routines.h"

#include <algorithm>

namespace {

constexpr int kMaxPixels = 32767;
constexpr int kHeaderSizeIncrease = 4;
constexpr int kDefaultCellPadding = 4;
constexpr int kDefaultCellSpacing = 4;

struct TableAttributes
{
    int background = -1;
    int borderColour = -1;
    int width = 0;
    int height = 0;
    int border = 0;
    int padding = kDefaultCellPadding;
    int spacing = kDefaultCellSpacing;
    int backImage = -1;
    int floatSide = -1;
};

struct CellAttributes
{
    int align;
    int valign = 0;
    int backImage = -1;
    int width = 0;
    int height = 0;
    int noWrap = 0;
    int colSpan = 1;
    int rowSpan = 1;
    int background;
};

bool HasPercent(const wchar_t* value)
{
    return wcschr(value, L'%') != nullptr;
}

int ContentAlignment(const wchar_t* value, int current)
{
    if (HtmlValueIs(value, L"right"))
        return 1;
    if (HtmlValueIs(value, L"center") || HtmlValueIs(value, L"middle"))
        return 2;
    if (HtmlValueIs(value, L"justify"))
        return 3;
    // "left" is not recognised: the alignment in force stays.
    return current;
}

bool IsCellBoundary(int tag)
{
    return tag == kTagTd || tag == kTagEndTd || tag == kTagTh || tag == kTagEndTh || tag == kTagEndTr ||
           tag == kTagTr;
}

} // namespace

int CHtmlDocument::FindTableTag(HtmlParseCall& call, int from, int limit, const int* wanted, int wantedCount,
                                int* tag)
{
    for (int entry = tagIndex->FirstAtOrAfter(call.text + from); entry < tagIndex->Count(); ++entry) {
        const HtmlTagEntry& found = tagIndex->Entry(entry);
        int position = static_cast<int>(found.at - call.text);
        if (position >= limit)
            break;
        if (found.tag == kTagForm) {
            OpenForm(found.at, call.pageUrl);
        } else if (found.tag == kTagEndForm) {
            currentForm = -1;
        } else if (std::find(wanted, wanted + wantedCount, found.tag) != wanted + wantedCount) {
            *tag = found.tag;
            return position;
        }
    }
    *tag = -1;
    return limit;
}

int CHtmlDocument::ParseTable(HtmlParseCall& call, int position)
{
    TableAttributes table;
    const int savedCentring = call.style.centring;
    const int savedAlign = call.align;
    {
        HtmlTagAttributes attributes(call.text + position);
        for (int index = 0; index < attributes.Count(); ++index) {
            const wchar_t* value = attributes.Value(index);
            if (attributes.Is(index, L"bgcolor")) {
                table.background = static_cast<int>(ParseHtmlColor(value));
            } else if (attributes.Is(index, L"bordercolor")) {
                table.borderColour = static_cast<int>(ParseHtmlColor(value));
            } else if (attributes.Is(index, L"width")) {
                // A percentage of the available width is stored negative.
                table.width = HasPercent(value) ? -ReadClampedNumber(value, 0, 100)
                                                : ReadClampedNumber(value, 0, kMaxPixels);
            } else if (attributes.Is(index, L"height")) {
                if (!HasPercent(value))
                    table.height = ReadClampedNumber(value, 0, kMaxPixels);
            } else if (attributes.Is(index, L"border")) {
                table.border = ReadClampedNumber(value, 0, kMaxPixels);
            } else if (attributes.Is(index, L"cellpadding")) {
                table.padding = ReadClampedNumber(value, 0, kMaxPixels);
            } else if (attributes.Is(index, L"cellspacing")) {
                table.spacing = ReadClampedNumber(value, 0, kMaxPixels);
            } else if (attributes.Is(index, L"background")) {
                table.backImage = AddBackgroundImage(value, call.pageUrl);
            } else if (attributes.Is(index, L"align")) {
                if (HtmlValueIs(value, L"left")) {
                    table.floatSide = 0;
                    call.align = 0;
                } else if (HtmlValueIs(value, L"right")) {
                    table.floatSide = 1;
                    call.align = 1;
                } else if (HtmlValueIs(value, L"center") || HtmlValueIs(value, L"middle")) {
                    call.style.centring = 1;
                }
            }
        }
    }

    CHtmlItem* opening = CreateBreakItem(0, 0, call.LineAlign(), 0);
    opening->backColor = table.background;
    opening->backImageIndex = table.backImage;
    AppendItem(call, opening);
    ReportProgress(call, position);

    const int tableEnd = MatchedEnd(call, tagIndex->EntryAt(call.text + position), false);
    const int rowTags[] = {kTagTr, kTagTd, kTagTh};
    const int cellTags[] = {kTagTr, kTagEndTr, kTagTd, kTagTh};
    int row = 0;
    int rowAlign = 0;
    int at = std::min(call.AfterTag(position), tableEnd);
    while (at < tableEnd && !parseStopped) {
        int tag = -1;
        int found = FindTableTag(call, at, tableEnd, rowTags, 3, &tag);
        if (found >= tableEnd)
            break;
        int rowBackground = -1;
        if (tag == kTagTr) {
            HtmlTagAttributes attributes(call.text + found);
            for (int index = 0; index < attributes.Count(); ++index) {
                if (attributes.Is(index, L"bgcolor"))
                    rowBackground = static_cast<int>(ParseHtmlColor(attributes.Value(index)));
                else if (attributes.Is(index, L"align"))
                    rowAlign = ContentAlignment(attributes.Value(index), rowAlign);
            }
            at = found + 1;
        } else {
            at = found;
        }

        int cells = 0;
        int column = 0;
        while (at < tableEnd && !parseStopped) {
            int cellTag = -1;
            int cellAt = FindTableTag(call, at, tableEnd, cellTags, 4, &cellTag);
            if (cellTag == kTagTr || cellTag == kTagEndTr || cellTag < 0) {
                at = cellAt;
                break;
            }
            CellAttributes cell;
            cell.align = cellTag == kTagTh ? 2 : rowAlign;
            cell.background = rowBackground;
            HtmlTagAttributes attributes(call.text + cellAt);
            for (int index = 0; index < attributes.Count(); ++index) {
                const wchar_t* value = attributes.Value(index);
                if (attributes.Is(index, L"width")) {
                    if (!HasPercent(value))
                        cell.width = ReadClampedNumber(value, 0, kMaxPixels);
                    else if (table.width > 0)
                        cell.width = static_cast<int>(std::min<long long>(
                            static_cast<long long>(ReadClampedNumber(value, 0, kMaxPixels)) * table.width /
                                100,
                            kMaxPixels));
                } else if (attributes.Is(index, L"height")) {
                    if (!HasPercent(value))
                        cell.height = ReadClampedNumber(value, 0, kMaxPixels);
                } else if (attributes.Is(index, L"bgcolor")) {
                    cell.background = static_cast<int>(ParseHtmlColor(value));
                } else if (attributes.Is(index, L"colspan")) {
                    cell.colSpan = ReadClampedNumber(value, 0, kMaxPixels);
                } else if (attributes.Is(index, L"rowspan")) {
                    cell.rowSpan = ReadClampedNumber(value, 0, kMaxPixels);
                } else if (attributes.Is(index, L"align")) {
                    cell.align = ContentAlignment(value, cell.align);
                } else if (attributes.Is(index, L"valign")) {
                    if (HtmlValueIs(value, L"bottom"))
                        cell.valign = 1;
                    else if (HtmlValueIs(value, L"center") || HtmlValueIs(value, L"middle"))
                        cell.valign = 2;
                } else if (attributes.Is(index, L"background")) {
                    cell.backImage = AddBackgroundImage(value, call.pageUrl);
                } else if (attributes.Is(index, L"nowrap") || attributes.Is(index, L"nobreak")) {
                    cell.noWrap = 1;
                }
            }
            if (cell.width)
                cell.noWrap = 0;

            int contentStart = std::min(call.AfterTag(cellAt), tableEnd);
            if (contentStart >= tableEnd) {
                at = tableEnd;
                break;
            }
            // The content ends at the next cell or row tag of this table, passing over nested tables.
            int contentEnd = tableEnd;
            int endTag = -1;
            int nested = 0;
            for (int entry = tagIndex->FirstAtOrAfter(call.text + contentStart); entry < tagIndex->Count();
                 ++entry) {
                const HtmlTagEntry& found = tagIndex->Entry(entry);
                if (found.at >= call.text + tableEnd)
                    break;
                if (found.tag == kTagTable && nested == 0) {
                    // A nested table is passed over whole; one that never closes holds the rest.
                    if (found.match < 0)
                        break;
                    entry = found.match;
                } else if (found.tag == kTagTable) {
                    ++nested;
                } else if (found.tag == kTagEndTable) {
                    --nested;
                } else if (nested == 0 && IsCellBoundary(found.tag)) {
                    contentEnd = static_cast<int>(found.at - call.text);
                    endTag = found.tag;
                    break;
                }
            }

            CHtmlItem* box = CreateBoxItem(row, column, cell.width, call.LineAlign(), cell.valign,
                                           cell.background, table.border, cell.colSpan, cell.rowSpan,
                                           table.padding, table.spacing, table.width, cell.backImage,
                                           cell.height, table.height, table.borderColour, table.floatSide);
            while (contentStart < contentEnd && call.text[contentStart] == L' ')
                ++contentStart;
            int cellSize =
                cellTag == kTagTh ? std::min(call.baseSize + kHeaderSizeIncrease, 1000) : call.baseSize;
            if (!AppendRegionBox(call, box, contentStart, contentEnd, call.baseFace.c_str(), cellSize,
                                 call.baseColour, cell.align, cell.noWrap))
                break;
            ReportProgress(call, contentEnd);
            ++cells;
            column += box->colSpan;
            at = contentEnd;
            if (endTag == kTagTr || endTag == kTagEndTr)
                break;
        }
        if (cells > 0) {
            AppendBreak(call, 0, 0, call.LineAlign(), 0);
            ReportProgress(call, at);
            ++row;
        }
    }

    call.style.centring = savedCentring;
    call.align = savedAlign;
    AppendBreak(call, 0, 0, call.LineAlign(), 0);
    ReportProgress(call, tableEnd);
    if (tableEnd >= call.length)
        return call.length;
    int resume = call.AfterTag(tableEnd);
    while (resume < call.length && call.text[resume] == L' ')
        ++resume;
    return resume;
}
