// The layout: items flowed into lines and aligned on a common bottom, floats narrowing the lines beside
// them, and tables, which every run of consecutive boxes is, with column widths measured from their cells.
#include "html_document.h"
#include "html_host_callback.h"
#include "html_table_widths.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <unordered_map>
#include <vector>

namespace {

// Cells without a given width are measured in an area this wide.
constexpr int kMeasureWidth = 2000;
// Coordinates stay far from overflow however wide a page asks its tables to be.
constexpr long long kCoordinateLimit = 1LL << 29;
constexpr int kOpenBottom = INT_MAX / 4;
// Cells that row-spanning cells push further right share the last of this many columns, so that a page
// of spanning cells cannot make a table of millions of columns.
constexpr int kMaxTableColumns = 8192;

int ClampCoordinate(long long value)
{
    return static_cast<int>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

bool IsSingleSpace(const CHtmlItem* item)
{
    return item->kind == kHtmlItemText && item->text && wcscmp(item->text, L" ") == 0;
}

bool IsBreak(const CHtmlItem* item)
{
    return item->kind == kHtmlItemBreak;
}

bool IsBox(const CHtmlItem* item)
{
    return item->kind == kHtmlItemBox;
}

void MoveItem(CHtmlItem* item, int dx, int dy)
{
    item->x += dx;
    item->y += dy;
    OffsetChildren(item, dx, dy);
}

void ResetGridSlots(CHtmlItem** array, int count)
{
    for (int index = 0; index < count; ++index) {
        std::fill(std::begin(array[index]->gridSlots), std::end(array[index]->gridSlots), -1);
        ResetGridSlots(array[index]->children, array[index]->childCount);
    }
}

} // namespace

// What the children of a box measured when laid out in an area of one width, relative to its origin.
struct HtmlBoxMeasure
{
    int width;
    // Laid out to measure, without the lines' alignment.
    bool measuring;
    int right;
    int bottom;
    // Largest right edge minus smallest left edge.
    int widest;
};

// Every box's measurements in the widths it was laid out in during one layout, and the width its
// children stand in now. A cell is laid out up to three times per layout of its table, and a nested
// table once per layout of its outer cell: without this, nested tables cost three to the power of their
// depth.
struct HtmlLayoutCache
{
    struct Box
    {
        std::vector<HtmlBoxMeasure> measures;
        int placedWidth = INT_MIN;
        bool placedMeasuring = false;
        // The first child's place when the children were laid out at the origin in placedWidth.
        int firstX = 0;
        int firstY = 0;
    };
    std::unordered_map<const CHtmlItem*, Box> boxes;
    // Set while a cell's content is laid out to measure its width: lines are not aligned then, or a
    // centred, right-aligned or justified cell would measure as wide as the whole measuring area.
    bool measuring = false;
};

namespace {

class LayoutRun
{
public:
    LayoutRun(CHtmlDocument& document, HtmlLayoutCache& cache, const RECT& area, CHtmlItem** items, int count)
        : document(document), cache(cache), items(items), count(count), left(area.left), top(area.top),
          right(area.right), x(area.left), y(area.top)
    {}

    void Run();

private:
    struct Float
    {
        int leftWidth;
        int rightWidth;
        int bottom;
        int side;
        int line;
    };

    void CloseLine(int index);
    void EndFloats(int index);
    void EndFloat(size_t which);
    void StartFloat(int box);
    int LayoutTable(int first);
    // Lays out a box's children in an area of the width at the origin, or measures them (place false): a
    // layout that measures does not align the lines, and neither do the layouts nested in it.
    HtmlBoxMeasure LayoutBoxContent(CHtmlItem* box, int width, int originX, int originY, bool place);

    CHtmlDocument& document;
    HtmlLayoutCache& cache;
    CHtmlItem** items;
    int count;
    int left;
    int top;
    int right;
    int x;
    int y;
    int lineStart = 0;
    int lineNumber = 0;
    std::vector<Float> floats;
};

void LayoutRun::Run()
{
    for (int index = 0; index <= count; ++index) {
        CHtmlItem* item = index < count ? items[index] : nullptr;
        if (item && item->kind == kHtmlItemImage)
            document.PrepareImageItem(item, document.waitForImages);
        if (item && IsBreak(item) && item->width != 0)
            item->width = 1;
        if (item && IsBox(item) && index + 1 < count) {
            bool lineHasContent = false;
            for (int member = lineStart; member < index; ++member)
                lineHasContent |= !IsBreak(items[member]);
            if (lineHasContent)
                CloseLine(index);
            index = LayoutTable(index);
            continue;
        }

        bool lineEnds = !item || IsBreak(item) || (!IsSingleSpace(item) && x + item->width > right);
        if (lineEnds) {
            if (item && IsBreak(item) && item->height != 0 &&
                (index + 1 == count || !IsBox(items[index + 1])))
                item->width = right - left;
            bool goesOn = item && (IsBox(item) || (item->noWrap && !IsBreak(item)));
            if (!goesOn)
                CloseLine(index);
        }
        if (item && !IsBreak(item)) {
            item->x = x;
            item->y = y;
            x += item->width;
            if (IsBox(item))
                x += item->spacing;
        }
        if (item && IsBreak(item) && index >= 2 && IsBreak(items[index - 1]) && IsBox(items[index - 2]) &&
            items[index - 2]->floatSide != -1)
            StartFloat(index - 2);
    }
}

void LayoutRun::CloseLine(int index)
{
    CHtmlItem* ending = index < count ? items[index] : nullptr;
    int lineHeight = 0;
    long long used = 0;
    for (int member = lineStart; member < index; ++member) {
        const CHtmlItem* item = items[member];
        if (item->kind == kHtmlItemText || item->kind == kHtmlItemImage || IsBox(item)) {
            bool spansRows = IsBox(item) && item->rowSpan > 1;
            lineHeight = std::max(lineHeight, spansRows ? 2 * item->padding : item->height);
            if (item->align != 0 && !spansRows)
                used += item->width;
        }
    }
    if (index > lineStart) {
        const CHtmlItem* last = items[index - 1];
        if (IsSingleSpace(last) && last->align != 0)
            used -= last->width;
    }

    if (index > lineStart) {
        const int align = cache.measuring ? 0 : items[lineStart]->align;
        long long shift = 0;
        if (align == 2)
            shift = std::max(0LL, (right - used - left) / 2);
        else if (align == 1)
            shift = right - used - left;
        for (int member = lineStart; member < index; ++member) {
            CHtmlItem* item = items[member];
            bool breakBeforeBox = IsBreak(item) && member + 1 < count && IsBox(items[member + 1]);
            if (!IsBox(item) && !breakBeforeBox)
                item->y += lineHeight - item->height;
            bool plainBreak = IsBreak(item) && !breakBeforeBox;
            if (shift != 0 && item->width < right && !plainBreak)
                MoveItem(item, static_cast<int>(shift), 0);
        }

        long long areaWidth = right - left;
        bool endsAtBreak = !ending || IsBreak(ending);
        if (align == 3 && index - lineStart > 2 && used < areaWidth && !endsAtBreak) {
            std::vector<int> eligible;
            for (int member = lineStart + 2; member < index; ++member)
                if (!IsSingleSpace(items[member]))
                    eligible.push_back(member);
            if (!eligible.empty()) {
                // Each pass moves every eligible item and those after it one pixel to the right.
                std::vector<int> gaps(eligible.size(), 0);
                std::vector<int> positions(eligible.size());
                for (size_t slot = 0; slot < eligible.size(); ++slot)
                    positions[slot] = static_cast<int>(slot);
                SpreadEvenly(gaps, positions, areaWidth - used);
                int moved = 0;
                size_t next = 0;
                for (int member = lineStart + 2; member < index; ++member) {
                    if (next < eligible.size() && eligible[next] == member)
                        moved += gaps[next++];
                    if (moved)
                        MoveItem(items[member], moved, 0);
                }
            }
        }
    }

    if (ending && IsBreak(ending)) {
        ending->x = 0;
        ending->y = y + lineHeight;
        if (index + 1 < count && items[index + 1]->kind == kHtmlItemText)
            ending->y -= items[index + 1]->height / 2;
    }
    y += lineHeight;
    lineStart = index;
    EndFloats(index);
    ++lineNumber;
    if (!floats.empty() && ending && ending->kind == kHtmlItemText && ending->text &&
        ending->text[0] != L' ' && ending->width > right - left) {
        for (const Float& floating : floats)
            y = std::max(y, floating.bottom);
        while (!floats.empty())
            EndFloat(floats.size() - 1);
    }
    x = left;
}

void LayoutRun::EndFloats(int index)
{
    const CHtmlItem* ending = index < count ? items[index] : nullptr;
    const bool exhausted = !ending;
    const bool clearing = ending && IsBreak(ending) && ending->clear;
    std::vector<char> ends(floats.size(), 0);
    for (size_t which = 0; which < floats.size(); ++which) {
        const Float& floating = floats[which];
        if (exhausted || clearing) {
            ends[which] = 1;
            continue;
        }
        if (floating.line == lineNumber || floating.bottom > y)
            continue;
        bool sideStillBeside = false;
        for (const Float& other : floats)
            if (&other != &floating && other.side == floating.side && other.bottom > y)
                sideStillBeside = true;
        ends[which] = !sideStillBeside;
    }
    for (size_t which = floats.size(); which-- > 0;) {
        if (!ends[which])
            continue;
        if (clearing)
            y = std::max(y, floats[which].bottom);
        EndFloat(which);
    }
}

void LayoutRun::EndFloat(size_t which)
{
    left -= floats[which].leftWidth;
    right += floats[which].rightWidth;
    floats.erase(floats.begin() + static_cast<long long>(which));
}

void LayoutRun::StartFloat(int box)
{
    // The float's place and size are those of the frame of its one-cell table: the nearest break before
    // the box that does not itself follow a box.
    const CHtmlItem* opener = nullptr;
    for (int index = box - 1; index >= 0 && !opener; --index)
        if (IsBreak(items[index]) && (index == 0 || !IsBox(items[index - 1])))
            opener = items[index];
    if (!opener)
        return;
    Float floating = {};
    floating.side = items[box]->floatSide;
    floating.line = lineNumber;
    y = opener->y;
    if (floating.side == 0) {
        floating.leftWidth = opener->width;
        left += opener->width;
    } else {
        floating.rightWidth = opener->width;
        right -= opener->width;
    }
    floating.bottom = y + opener->height;
    floats.push_back(floating);
    x = left;
}

HtmlBoxMeasure LayoutRun::LayoutBoxContent(CHtmlItem* box, int width, int originX, int originY, bool place)
{
    const bool measuring = !place || cache.measuring;
    HtmlBoxMeasure empty = {width, measuring, 0, 0, 0};
    if (box->childCount == 0)
        return empty;
    HtmlLayoutCache::Box& memo = cache.boxes[box];
    auto stored = [&]() -> const HtmlBoxMeasure* {
        for (const HtmlBoxMeasure& measure : memo.measures)
            if (measure.width == width && measure.measuring == measuring)
                return &measure;
        return nullptr;
    };
    const CHtmlItem* first = box->children[0];
    if (memo.placedWidth == width && memo.placedMeasuring == measuring && stored()) {
        // The children stand as that width placed them, perhaps moved since: move them to the origin.
        int dx = originX - (first->x - memo.firstX);
        int dy = originY - (first->y - memo.firstY);
        if (dx || dy)
            OffsetChildren(box, dx, dy);
        return *stored();
    }
    if (!place && stored())
        return *stored();

    RECT area = {0, 0, width, kOpenBottom};
    const bool outerMeasuring = cache.measuring;
    cache.measuring = measuring;
    document.LayoutItems(area, box->children, box->childCount);
    cache.measuring = outerMeasuring;
    HtmlBoxMeasure measure = empty;
    int smallestLeft = INT_MAX;
    for (int index = 0; index < box->childCount; ++index) {
        const CHtmlItem* child = box->children[index];
        measure.bottom = std::max(measure.bottom, child->y + child->height);
        if (IsSingleSpace(child) && !child->noWrap)
            continue;
        measure.right = std::max(measure.right, child->x + child->width);
        smallestLeft = std::min(smallestLeft, child->x);
    }
    measure.widest = smallestLeft == INT_MAX ? 0 : std::max(0, measure.right - smallestLeft);
    memo.placedWidth = width;
    memo.placedMeasuring = measuring;
    memo.firstX = first->x;
    memo.firstY = first->y;
    if (!stored())
        memo.measures.push_back(measure);
    if (originX || originY)
        OffsetChildren(box, originX, originY);
    return measure;
}

int LayoutRun::LayoutTable(int firstIndex)
{
    // The table's cells: consecutive boxes, each followed by the next cell of its row or by a break and
    // the first cell of the next row.
    int lastIndex = firstIndex;
    for (;;) {
        const CHtmlItem* cell = items[lastIndex];
        int next = lastIndex + 1;
        if (next < count && IsBox(items[next]) && items[next]->row == cell->row &&
            items[next]->column == cell->column + cell->colSpan) {
            lastIndex = next;
            continue;
        }
        if (next + 1 < count && IsBreak(items[next]) && IsBox(items[next + 1]) &&
            items[next + 1]->row == cell->row + 1 && items[next + 1]->column == 0) {
            lastIndex = next + 1;
            continue;
        }
        break;
    }
    CHtmlItem* frame = firstIndex > 0 && IsBreak(items[firstIndex - 1]) ? items[firstIndex - 1] : nullptr;
    const CHtmlItem* firstCell = items[firstIndex];
    const int spacing = firstCell->spacing;
    const int border = firstCell->border;
    const int padding = firstCell->padding;
    const long long between = static_cast<long long>(spacing) + 2LL * padding;

    struct Cell
    {
        CHtmlItem* item;
        int row;
        int column;
        int columns;
        int rows;
    };
    std::vector<Cell> cells;
    std::vector<int> occupiedUntil;
    std::vector<int> rowBreaks;
    int columnCount = 0;
    int rowCount = 0;
    {
        int row = 0;
        int cursor = 0;
        for (int index = firstIndex; index <= lastIndex; ++index) {
            CHtmlItem* item = items[index];
            if (IsBreak(item)) {
                rowBreaks.push_back(index);
                ++row;
                cursor = 0;
                continue;
            }
            // Columns still held by row-spanning cells of earlier rows push the cell to the right.
            while (cursor < static_cast<int>(occupiedUntil.size()) && occupiedUntil[cursor] > row)
                ++cursor;
            cursor = std::min(cursor, kMaxTableColumns - 1);
            Cell cell = {item, row, cursor, std::min(item->colSpan, kMaxTableColumns - cursor),
                         item->rowSpan};
            if (cell.rows > 1) {
                if (static_cast<int>(occupiedUntil.size()) < cursor + cell.columns)
                    occupiedUntil.resize(static_cast<size_t>(cursor + cell.columns), 0);
                for (int column = cursor; column < cursor + cell.columns; ++column)
                    occupiedUntil[column] = std::max(occupiedUntil[column], row + cell.rows);
            }
            cursor += cell.columns;
            columnCount = std::max(columnCount, cursor);
            rowCount = std::max(rowCount, row + cell.rows);
            cells.push_back(cell);
        }
    }

    const int available = std::max(0, right - left);
    std::vector<int> widths(static_cast<size_t>(columnCount), 0);
    std::vector<int> contents(widths.size(), 0);
    std::vector<int> limits(widths.size(), 0);
    std::vector<char> fixed(widths.size(), 0);
    auto spanWidth = [&](const Cell& cell) {
        long long sum = between * (cell.columns - 1);
        for (int column = cell.column; column < cell.column + cell.columns; ++column)
            sum += widths[column];
        return sum;
    };
    // Once the widths are settled: the sums of the columns before each column.
    std::vector<long long> widthSums;
    auto settledSpanWidth = [&](const Cell& cell) {
        return widthSums[static_cast<size_t>(cell.column + cell.columns)] -
               widthSums[static_cast<size_t>(cell.column)] + between * (cell.columns - 1);
    };

    // Columns: cells of one column first, then those that span several.
    for (const Cell& cell : cells) {
        if (cell.columns != 1)
            continue;
        CHtmlItem* item = cell.item;
        int* slots = item->gridSlots;
        const size_t column = static_cast<size_t>(cell.column);
        if (slots[3] != available || slots[2] < 0) {
            if (item->cellWidth == 0) {
                int measured = LayoutBoxContent(item, kMeasureWidth, 0, 0, false).right;
                slots[0] = measured;
                slots[1] = available == 0 ? measured : LayoutBoxContent(item, 0, 0, 0, false).widest;
                slots[2] = measured;
            } else {
                slots[0] = 0;
                slots[2] = std::max(LayoutBoxContent(item, 0, 0, 0, false).widest, item->cellWidth);
                slots[1] = slots[2];
            }
            slots[3] = available;
        }
        if (item->cellWidth == 0) {
            widths[column] = std::max(widths[column], slots[2]);
            contents[column] = std::max(contents[column], slots[0]);
            limits[column] = std::max(limits[column], slots[1]);
        } else {
            widths[column] = std::max(widths[column], slots[2]);
            limits[column] = widths[column];
            fixed[column] = 1;
        }
    }
    for (const Cell& cell : cells) {
        if (cell.columns == 1)
            continue;
        long long wanted =
            std::max(LayoutBoxContent(cell.item, kMeasureWidth, 0, 0, false).right, cell.item->cellWidth);
        long long deficit = wanted - spanWidth(cell);
        if (deficit <= 0)
            continue;
        std::vector<int> chosen;
        for (int column = cell.column; column < cell.column + cell.columns; ++column)
            if (!fixed[column] && widths[column] > 0)
                chosen.push_back(column);
        if (chosen.empty())
            for (int column = cell.column; column < cell.column + cell.columns; ++column)
                chosen.push_back(column);
        SpreadEvenly(widths, chosen, deficit);
    }

    // The table's width.
    long long target = available;
    if (firstCell->tableWidth > 0)
        target = firstCell->tableWidth;
    else if (firstCell->tableWidth < 0)
        target = static_cast<long long>(available) * -firstCell->tableWidth / 100;
    auto totalWidth = [&]() {
        long long total = spacing + 2LL * border;
        for (int width : widths)
            total += between + width;
        return total;
    };
    long long total = totalWidth();
    if (target != 0 && total < target) {
        long long left = GrowColumnsToLimits(widths, limits, fixed, target - total);
        if (left > 0 && firstCell->tableWidth != 0) {
            std::vector<int> loose;
            for (int column = 0; column < columnCount; ++column)
                if (!fixed[column])
                    loose.push_back(column);
            SpreadEvenly(widths, loose, left);
        }
    } else if (target != 0 && total > target) {
        ShrinkFixedColumns(widths, limits, contents, fixed, total - target);
    }
    total = totalWidth();
    widthSums.assign(widths.size() + 1, 0);
    for (size_t column = 0; column < widths.size(); ++column)
        widthSums[column + 1] = widthSums[column] + widths[column];

    // Rows: the cells laid out in their final widths, single rows first.
    std::vector<int> heights(static_cast<size_t>(rowCount), 0);
    std::vector<char> fixedRows(heights.size(), 0);
    std::vector<int> contentHeights(cells.size(), 0);
    for (size_t which = 0; which < cells.size(); ++which) {
        const Cell& cell = cells[which];
        int inner = ClampCoordinate(settledSpanWidth(cell));
        contentHeights[which] = LayoutBoxContent(cell.item, inner, 0, 0, true).bottom;
        if (cell.rows != 1)
            continue;
        int& height = heights[static_cast<size_t>(cell.row)];
        height = std::max(height, contentHeights[which]);
        if (cell.item->cellHeight > 0) {
            height = std::max(height, cell.item->cellHeight);
            fixedRows[static_cast<size_t>(cell.row)] = 1;
        }
    }
    for (size_t which = 0; which < cells.size(); ++which) {
        const Cell& cell = cells[which];
        if (cell.rows == 1)
            continue;
        long long spanned = between * (cell.rows - 1);
        for (int row = cell.row; row < cell.row + cell.rows; ++row)
            spanned += heights[static_cast<size_t>(row)];
        long long wanted = std::max(contentHeights[which], cell.item->cellHeight);
        if (wanted > spanned)
            SpreadOverRange(heights, cell.row, cell.rows, wanted - spanned);
    }
    long long rowSum = 0;
    for (int height : heights)
        rowSum += height;
    if (firstCell->tableHeight > rowSum) {
        std::vector<int> loose;
        for (int row = 0; row < rowCount; ++row)
            if (!fixedRows[static_cast<size_t>(row)])
                loose.push_back(row);
        SpreadEvenly(heights, loose, firstCell->tableHeight - rowSum);
    }

    // Places: columns and rows from the table's corner.
    const int tableX = x;
    const int tableY = y;
    std::vector<long long> columnStarts(widths.size() + 1);
    columnStarts[0] = static_cast<long long>(tableX) + border + spacing;
    for (size_t column = 0; column < widths.size(); ++column)
        columnStarts[column + 1] = columnStarts[column] + widths[column] + between;
    std::vector<long long> rowStarts(heights.size() + 1);
    rowStarts[0] = static_cast<long long>(tableY) + border + spacing;
    for (size_t row = 0; row < heights.size(); ++row)
        rowStarts[row + 1] = rowStarts[row] + heights[row] + between;
    for (size_t which = 0; which < cells.size(); ++which) {
        const Cell& cell = cells[which];
        CHtmlItem* item = cell.item;
        item->x = ClampCoordinate(columnStarts[static_cast<size_t>(cell.column)]);
        item->y = ClampCoordinate(rowStarts[static_cast<size_t>(cell.row)]);
        item->width = ClampCoordinate(settledSpanWidth(cell) + 2LL * padding);
        long long rowsHeight = between * (cell.rows - 1);
        for (int row = cell.row; row < cell.row + cell.rows; ++row)
            rowsHeight += heights[static_cast<size_t>(row)];
        item->height = ClampCoordinate(rowsHeight + 2LL * padding);
        long long room = rowsHeight - contentHeights[which];
        long long down = item->valign == 1 ? room : item->valign == 2 ? room / 2 : 0;
        LayoutBoxContent(item, ClampCoordinate(settledSpanWidth(cell)), item->x + padding,
                         ClampCoordinate(item->y + padding + down), true);
    }
    for (size_t row = 0; row < rowBreaks.size(); ++row) {
        CHtmlItem* rowBreak = items[rowBreaks[row]];
        rowBreak->x = tableX;
        rowBreak->y = ClampCoordinate(rowStarts[std::min(row + 1, rowStarts.size() - 1)]);
    }
    const int frameHeight = ClampCoordinate(rowStarts.back() - tableY + border);
    if (frame) {
        frame->x = tableX;
        frame->y = tableY;
        frame->width = ClampCoordinate(total);
        frame->height = frameHeight;
        frame->lineFlags = 15;
        frame->lineWidth = border;
        frame->lineColor = firstCell->lineColor == -1 ? -2 : firstCell->lineColor;
    }

    // The table is one line of its own, aligned as its frame says.
    const int align = cache.measuring ? 0 : frame ? frame->align : firstCell->align;
    long long shift = 0;
    if (align == 2)
        shift = std::max(0LL, (right - total - left) / 2);
    else if (align == 1)
        shift = std::max(0LL, right - total - left);
    if (shift > 0) {
        if (frame)
            frame->x += static_cast<int>(shift);
        for (const Cell& cell : cells)
            MoveItem(cell.item, static_cast<int>(shift), 0);
    }
    y = tableY + frameHeight;
    lineStart = lastIndex + 1;
    EndFloats(lastIndex + 1 < count ? lastIndex + 1 : count);
    ++lineNumber;
    x = left;
    return lastIndex;
}

} // namespace

void CHtmlDocument::PrepareImageItem(CHtmlItem* item, int wait)
{
    // Pictures are shown at the size the page gives them until the image loader decodes them.
    (void)wait;
    if (host)
        host->ShowParseProgress(1, item->imageIndex, imageLoader.JobCount());
}

void CHtmlDocument::LayoutItems(const RECT& area, CHtmlItem** array, int count)
{
    if (layoutCache) {
        LayoutRun(*this, *layoutCache, area, array, count).Run();
        return;
    }
    // A run of its own still shares one cache with the boxes it lays out.
    HtmlLayoutCache cache;
    layoutCache = &cache;
    LayoutRun(*this, cache, area, array, count).Run();
    layoutCache = nullptr;
}

void CHtmlDocument::MoveControls(CHtmlItem** array, int count)
{
    for (int index = 0; index < count; ++index) {
        CHtmlItem* item = array[index];
        HWND control = GetControlWindow(item->controlId);
        if (control && host)
            host->MoveControl(control, item->x, item->y);
        MoveControls(item->children, item->childCount);
    }
}

void CHtmlDocument::Layout(RECT* rectangle)
{
    rectangle->right -= 2;
    ResetGridSlots(items, itemCount);
    MoveControls(items, itemCount);
    HtmlLayoutCache cache;
    layoutCache = &cache;
    LayoutItems(*rectangle, items, itemCount);
    layoutCache = nullptr;
    int contentRight = 0;
    int contentBottom = 0;
    for (int index = 0; index < itemCount; ++index) {
        const CHtmlItem* item = items[index];
        if (IsSingleSpace(item))
            continue;
        contentRight = std::max(contentRight, item->x + item->width);
        contentBottom = std::max(contentBottom, item->y + item->height);
    }
    rectangle->right = contentRight;
    rectangle->bottom = contentBottom;
    ResetGridSlots(items, itemCount);
    MoveControls(items, itemCount);
}
