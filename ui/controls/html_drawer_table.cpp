// Tables of the drawer's text: cell styles, sizes (measuring), and placement, backgrounds and borders
// (drawing). The content of each cell is laid out by the same code as the flowing text.
#include "html_drawer.h"

#include "html_table_grid.h"

#include <algorithm>

namespace {

int PenStyleOf(int borderStyle)
{
    switch (borderStyle) {
    case HtmlStyle::BorderDashed:
        return PS_DASH;
    case HtmlStyle::BorderDotted:
        return PS_DOT;
    case HtmlStyle::BorderNone:
        return PS_NULL;
    default:
        return PS_SOLID;
    }
}

RECT Deflated(const RECT& rect, int by)
{
    return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

// What a table does not take from the style around it: its own background, border and cell spacing
// start afresh, as they do for a table outside any cell.
HtmlStyle TableBaseStyle(const HtmlStyle& around)
{
    HtmlStyle style = around;
    const HtmlStyle fresh;
    style.backgroundEffect = fresh.backgroundEffect;
    style.backgroundImage.clear();
    style.borderStyle = fresh.borderStyle;
    style.borderWidth = fresh.borderWidth;
    style.borderColourLight = fresh.borderColourLight;
    style.borderColourDark = fresh.borderColourDark;
    style.margin = fresh.margin;
    style.padding = fresh.padding;
    style.width = 0;
    style.height = 0;
    return style;
}

// A cell starts from the style around the table and takes the table's cell padding, spacing and border
// (so that `border` and `cellpadding` on the table reach its cells), not its background or alignment.
HtmlStyle CellBaseStyle(const HtmlStyle& around, const HtmlStyle& table)
{
    HtmlStyle style = TableBaseStyle(around);
    style.margin = table.margin;
    style.padding = table.padding;
    style.borderStyle = table.borderStyle;
    style.borderWidth = table.borderWidth;
    style.borderColourLight = table.borderColourLight;
    style.borderColourDark = table.borderColourDark;
    return style;
}

} // namespace

void CHtmlDrawer::ApplyTableAttributes(HtmlStyle& style, std::wstring_view attributes, int* columnSpan,
                                       int* rowSpan)
{
    const bool enabled = m_reader.IsEnabled();
    auto length = [&](std::wstring_view value, int current) {
        return std::clamp(m_reader.ParseLength(value, current, false, m_dc), 0, kHtmlMaxLength);
    };
    auto colour = [&](std::wstring_view value, COLORREF current) {
        return enabled ? m_reader.ParseColour(value, current) : m_reader.DisabledColour();
    };
    for (const HtmlAttribute& attribute : ReadHtmlAttributes(attributes)) {
        const std::wstring_view name = attribute.name;
        const std::wstring_view value = attribute.value;
        if (name == L"cellpadding") {
            style.margin = length(value, style.margin);
        } else if (name == L"cellspacing") {
            style.padding = length(value, style.padding);
        } else if (name == L"background") {
            if (enabled && value.size() >= 6) {
                style.backgroundImage.assign(value);
            }
        } else if (name == L"colspan" || name == L"rowspan") {
            int* span = name == L"colspan" ? columnSpan : rowSpan;
            if (span) {
                *span = std::clamp(m_reader.ParseLength(value, 1, false, m_dc), 1, kHtmlMaxSpan);
            }
        } else if (name == L"border") {
            style.borderWidth = length(value, style.borderWidth);
            style.borderStyle = style.borderWidth != 0 ? HtmlStyle::BorderSolid : HtmlStyle::BorderNone;
        } else if (name == L"borderstyle") {
            style.borderStyle = CHtmlStyleReader::ParseBorderStyle(value, style.borderStyle);
        } else if (name == L"bordercolor") {
            style.borderColourLight = style.borderColourDark = colour(value, style.borderColourLight);
        } else if (name == L"bordercolorlight") {
            style.borderColourLight = colour(value, style.borderColourLight);
        } else if (name == L"bordercolordark") {
            style.borderColourDark = colour(value, style.borderColourDark);
        } else if (name == L"bgcolor") {
            style.backgroundColour = colour(value, style.backgroundColour);
            style.backgroundEffect = CDrawEffects::EffectSolid;
        } else if (name == L"bgmidcolor") {
            style.backgroundMidColour = colour(value, style.backgroundMidColour);
        } else if (name == L"bgendcolor") {
            style.backgroundEndColour = colour(value, style.backgroundEndColour);
        } else if (name == L"bgeffect") {
            style.backgroundEffect = CHtmlStyleReader::ParseBackgroundEffect(value, style.backgroundEffect);
        } else if (name == L"align") {
            style.horizontalAlign = CHtmlStyleReader::ParseTextAlign(value, style.horizontalAlign);
        } else if (name == L"valign") {
            style.verticalAlign = CHtmlStyleReader::ParseVerticalAlign(value, style.verticalAlign);
        } else if (name == L"width") {
            style.width = length(value, style.width);
        } else if (name == L"height") {
            style.height = length(value, style.height);
        }
    }
    if (style.borderStyle == HtmlStyle::BorderNone || style.borderWidth == 0) {
        style.borderStyle = HtmlStyle::BorderNone;
        style.borderWidth = 0;
    } else if (style.borderStyle != HtmlStyle::BorderSolid) {
        style.borderWidth = 1;
    }
}

SIZE CHtmlDrawer::LayoutCell(std::wstring_view content, const HtmlStyle& cellStyle, const RECT& rect,
                             int depth, int wrapWidth)
{
    HtmlStyle around = m_style;
    const size_t stackDepth = m_stack.Size();
    m_style = cellStyle;
    m_style.name.clear();
    SelectStyle();
    const SIZE size = LayoutBlock(content, rect, depth + 1, wrapWidth);
    // Tags left open in a cell end with it.
    m_stack.Truncate(stackDepth);
    m_style = std::move(around);
    SelectStyle();
    return size;
}

SIZE CHtmlDrawer::LayoutTable(std::wstring_view text, const RECT& rect, int depth, int wrapWidth)
{
    const size_t tableIndex = m_tableCounter++;
    const HtmlTableSource source = ParseHtmlTable(text);
    HtmlStyle tableStyle = TableBaseStyle(m_style);
    ApplyTableAttributes(tableStyle, source.attributes, nullptr, nullptr);

    std::vector<std::vector<HtmlCellSpan>> spans;
    std::vector<HtmlStyle> cellStyles;
    std::vector<std::wstring_view> contents;
    spans.reserve(source.rows.size());
    for (const auto& row : source.rows) {
        spans.emplace_back();
        for (const HtmlCellSource& cell : row) {
            HtmlStyle style = CellBaseStyle(m_style, tableStyle);
            m_reader.ApplyStyle(style, L"td", m_dc);
            style.width = style.height = 0;
            HtmlCellSpan span;
            ApplyTableAttributes(style, cell.attributes, &span.columnSpan, &span.rowSpan);
            spans.back().push_back(span);
            cellStyles.push_back(std::move(style));
            contents.push_back(cell.content);
        }
    }
    const HtmlTableGrid grid = PlaceHtmlTableCells(spans);
    const size_t cellCount = grid.cells.size();
    const int spacing = tableStyle.padding;
    const int border = tableStyle.borderWidth;
    const bool doubleBorder = tableStyle.borderStyle == HtmlStyle::BorderDouble;
    // Cells wrap only where the drawer wraps and the cell has a width of its own, so that both passes
    // wrap them at the same place.
    auto cellWrapWidth = [&](const HtmlStyle& style) {
        return wrapWidth > 0 && style.width > 0 ? style.width : 0;
    };

    if (Measuring()) {
        TableRecord record;
        record.contentHeights.assign(cellCount, 0);
        std::vector<int> neededWidths(cellCount, 0);
        std::vector<int> contentWidths(cellCount, 0);
        std::vector<int> neededHeights(cellCount, 0);
        std::vector<char> fixedCells(cellCount, 0);
        for (size_t i = 0; i < cellCount; ++i) {
            if (grid.cells[i].column < 0) {
                continue;
            }
            const HtmlStyle& style = cellStyles[i];
            const SIZE content = LayoutCell(contents[i], style, {0, 0, 0, 0}, depth, cellWrapWidth(style));
            record.contentHeights[i] = content.cy;
            const int inset = 2 * (style.borderWidth + style.margin);
            contentWidths[i] = std::max(static_cast<int>(content.cx), style.width);
            neededWidths[i] = contentWidths[i] + inset;
            neededHeights[i] = std::max(static_cast<int>(content.cy), style.height) + inset;
            fixedCells[i] = style.width > 0 ? 1 : 0;
        }
        record.columnWidths =
            ShareHtmlColumnWidths(grid, neededWidths, contentWidths, fixedCells, record.fixedColumns);
        record.rowHeights = ShareHtmlRowHeights(grid, neededHeights);
        record.width = HtmlTableExtent(record.columnWidths, spacing, border, doubleBorder);
        record.height = HtmlTableExtent(record.rowHeights, spacing, border, doubleBorder);
        const SIZE size = {record.width, record.height};
        if (m_tables.size() <= tableIndex) {
            m_tables.resize(tableIndex + 1);
        }
        m_tables[tableIndex] = std::move(record);
        return size;
    }

    if (tableIndex >= m_tables.size()) {
        return {0, 0};
    }
    const TableRecord& record = m_tables[tableIndex];
    if (record.columnWidths.size() != static_cast<size_t>(grid.columns) ||
        record.rowHeights.size() != static_cast<size_t>(grid.rows) ||
        record.contentHeights.size() != cellCount) {
        return {0, 0};
    }
    std::vector<int> widths = record.columnWidths;
    int width = record.width;
    const int height = record.height;
    const int available = rect.right - rect.left;
    if (width < available) {
        int difference = available - width;
        int toServe = static_cast<int>(std::count(record.fixedColumns.begin(), record.fixedColumns.end(), 0));
        for (size_t column = 0; column < widths.size() && toServe > 0; ++column) {
            if (record.fixedColumns[column]) {
                continue;
            }
            const int share = difference / toServe;
            widths[column] += share;
            width += share;
            difference -= share;
            --toServe;
        }
    }
    int left = rect.left;
    if (width < available && tableStyle.horizontalAlign == HtmlStyle::AlignCentre) {
        left = rect.left + (available - width) / 2;
    } else if (width < available && tableStyle.horizontalAlign == HtmlStyle::AlignRight) {
        left = rect.right - width;
    }
    const RECT tableRect = {left, rect.top, left + width, rect.top + height};
    DrawBackground(tableStyle, tableRect);
    RECT inner = tableRect;
    if (border > 0) {
        DrawBorder(tableStyle, tableRect, border, doubleBorder);
        inner = Deflated(tableRect, doubleBorder ? 3 : border);
    }
    const std::vector<long long> columnOffsets = HtmlCellOffsets(widths, spacing);
    const std::vector<long long> rowOffsets = HtmlCellOffsets(record.rowHeights, spacing);
    for (size_t i = 0; i < cellCount; ++i) {
        const HtmlCellPlace& place = grid.cells[i];
        if (place.column < 0) {
            continue;
        }
        const HtmlStyle& style = cellStyles[i];
        const long long gap = spacing + 1LL;
        const RECT cellRect = {
            static_cast<LONG>(inner.left + columnOffsets[place.column]),
            static_cast<LONG>(inner.top + rowOffsets[place.row]),
            static_cast<LONG>(inner.left + columnOffsets[place.column + place.columnSpan] - gap),
            static_cast<LONG>(inner.top + rowOffsets[place.row + place.rowSpan] - gap),
        };
        DrawBackground(style, cellRect);
        if (style.borderWidth > 0) {
            DrawBorder(style, cellRect, 1, false);
        }
        RECT contentRect = Deflated(cellRect, style.borderWidth + style.margin);
        const int contentHeight = record.contentHeights[i];
        const int room = contentRect.bottom - contentRect.top;
        if (style.verticalAlign == HtmlStyle::AlignMiddle) {
            contentRect.top += (room - contentHeight) / 2;
        } else if (style.verticalAlign == HtmlStyle::AlignBottom) {
            contentRect.top = contentRect.bottom - contentHeight;
        }
        LayoutCell(contents[i], style, contentRect, depth, cellWrapWidth(style));
    }
    return {width, height};
}

void CHtmlDrawer::DrawBackground(const HtmlStyle& style, const RECT& rect)
{
    // A disabled drawer draws every background transparent.
    if (!m_reader.IsEnabled() || rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    if (style.backgroundEffect >= 0) {
        m_effects.FillEffect(m_dc, style.backgroundEffect, rect, style.backgroundColour,
                             style.backgroundMidColour, style.backgroundEndColour);
        return;
    }
    const std::wstring& image = style.backgroundImage;
    const size_t colon = image.find(L':');
    if (colon == std::wstring::npos) {
        return;
    }
    const std::wstring kind = image.substr(0, colon);
    const std::wstring value = image.substr(colon + 1);
    HBITMAP bitmap = nullptr;
    if (kind == L"file") {
        bitmap = static_cast<HBITMAP>(
            LoadImageW(nullptr, value.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    } else if (kind == L"idres" || kind == L"iddll") {
        const int id = m_reader.ParseLength(value, 0, false, m_dc);
        if (id >= 1 && id <= 0xFFFF) {
            bitmap = static_cast<HBITMAP>(LoadImageW(kind == L"idres" ? ProgramModule() : ResourceModule(),
                                                     MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                                     LR_CREATEDIBSECTION));
        }
    }
    if (bitmap) {
        m_effects.DrawBitmapEx(m_dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                               bitmap, FALSE, 0, 0);
        DeleteObject(bitmap);
    }
}

void CHtmlDrawer::DrawBorder(const HtmlStyle& style, const RECT& rect, int penWidth, bool doubleLine)
{
    const bool enabled = m_reader.IsEnabled();
    const COLORREF light = enabled ? style.borderColourLight : m_reader.DisabledColour();
    const COLORREF dark = enabled ? style.borderColourDark : m_reader.DisabledColour();
    const int penStyle = PenStyleOf(style.borderStyle);
    m_effects.DrawFrame(m_dc, rect, light, dark, penStyle, penWidth, penWidth);
    // A double border is two one-unit frames, three units deep in all.
    if (doubleLine) {
        m_effects.DrawFrame(m_dc, Deflated(rect, 2), light, dark, penStyle, 1, 1);
    }
}
