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

struct TableCell
{
    CHtmlItem* item;
    int row;
    int column;
    int columns;
    int rows;
    int contentHeight;
};

// The working state of one table: its cells on the grid, per column the current width, content width,
// growth limit and fixed flag, per row its height. The spacing, border and padding are those of the first
// cell.
struct TableGrid
{
    int firstIndex = 0;
    int lastIndex = 0;
    const CHtmlItem* first = nullptr;
    int available = 0;
    std::vector<TableCell> cells;
    std::vector<int> rowBreaks;
    std::vector<int> widths;
    std::vector<int> contents;
    std::vector<int> limits;
    std::vector<char> fixed;
    // Once the widths are settled: the sum of the widths before each column.
    std::vector<long long> widthSums;
    std::vector<int> heights;

    long long Between() const { return static_cast<long long>(first->spacing) + 2LL * first->padding; }
    long long TotalWidth() const
    {
        long long total = first->spacing + 2LL * first->border;
        for (int width : widths)
            total += Between() + width;
        return total;
    }
    // The width inside a cell's padding, from the settled widths.
    long long InnerWidth(const TableCell& cell) const
    {
        return widthSums[static_cast<size_t>(cell.column + cell.columns)] -
               widthSums[static_cast<size_t>(cell.column)] + Between() * (cell.columns - 1);
    }
    long long RowsHeight(const TableCell& cell) const
    {
        long long sum = Between() * (cell.rows - 1);
        for (int row = cell.row; row < cell.row + cell.rows; ++row)
            sum += heights[static_cast<size_t>(row)];
        return sum;
    }
};

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
    // Lays out the table whose first cell is item first; returns the index of its last cell.
    int LayoutTable(int first);
    int FindTableEnd(int first) const;
    void CollectCells(TableGrid& grid) const;
    void MeasureColumns(TableGrid& grid);
    void SettleTableWidth(TableGrid& grid) const;
    void MeasureRows(TableGrid& grid);
    // Returns the height of the table's outline.
    int PlaceCells(TableGrid& grid, int tableX, int tableY);
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

int LayoutRun::FindTableEnd(int firstIndex) const
{
    // Consecutive boxes, each followed by the next cell of its row or by a break and the first cell of the
    // next row.
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
        return lastIndex;
    }
}

void LayoutRun::CollectCells(TableGrid& grid) const
{
    int rowTotal = 1;
    for (int index = grid.firstIndex; index <= grid.lastIndex; ++index)
        rowTotal += IsBreak(items[index]) ? 1 : 0;
    std::vector<int> occupiedUntil;
    int row = 0;
    int cursor = 0;
    for (int index = grid.firstIndex; index <= grid.lastIndex; ++index) {
        CHtmlItem* item = items[index];
        if (IsBreak(item)) {
            grid.rowBreaks.push_back(index);
            ++row;
            cursor = 0;
            continue;
        }
        // Columns still held by row-spanning cells of earlier rows push the cell to the right.
        while (cursor < static_cast<int>(occupiedUntil.size()) && occupiedUntil[cursor] > row)
            ++cursor;
        cursor = std::min(cursor, kMaxTableColumns - 1);
        // A cell spans no further than the table's last row.
        TableCell cell = {item,
                          row,
                          cursor,
                          std::min(item->colSpan, kMaxTableColumns - cursor),
                          std::min(item->rowSpan, rowTotal - row),
                          0};
        if (cell.rows > 1) {
            if (static_cast<int>(occupiedUntil.size()) < cursor + cell.columns)
                occupiedUntil.resize(static_cast<size_t>(cursor + cell.columns), 0);
            for (int column = cursor; column < cursor + cell.columns; ++column)
                occupiedUntil[column] = std::max(occupiedUntil[column], row + cell.rows);
        }
        cursor += cell.columns;
        grid.widths.resize(std::max(grid.widths.size(), static_cast<size_t>(cursor)), 0);
        grid.cells.push_back(cell);
    }
    grid.heights.assign(static_cast<size_t>(rowTotal), 0);
    grid.contents.assign(grid.widths.size(), 0);
    grid.limits.assign(grid.widths.size(), 0);
    grid.fixed.assign(grid.widths.size(), 0);
}

void LayoutRun::MeasureColumns(TableGrid& grid)
{
    // Cells of one column first; their measurements stay in gridSlots for the rest of the layout.
    for (const TableCell& cell : grid.cells) {
        if (cell.columns != 1)
            continue;
        CHtmlItem* item = cell.item;
        int* slots = item->gridSlots;
        const size_t column = static_cast<size_t>(cell.column);
        if (slots[3] != grid.available || slots[2] < 0) {
            if (item->cellWidth == 0) {
                int measured = LayoutBoxContent(item, kMeasureWidth, 0, 0, false).right;
                slots[0] = measured;
                slots[1] = grid.available == 0 ? measured : LayoutBoxContent(item, 0, 0, 0, false).widest;
                slots[2] = measured;
            } else {
                slots[0] = 0;
                slots[2] = std::max(LayoutBoxContent(item, 0, 0, 0, false).widest, item->cellWidth);
                slots[1] = slots[2];
            }
            slots[3] = grid.available;
        }
        grid.widths[column] = std::max(grid.widths[column], slots[2]);
        if (item->cellWidth == 0) {
            grid.contents[column] = std::max(grid.contents[column], slots[0]);
            grid.limits[column] = std::max(grid.limits[column], slots[1]);
        } else {
            grid.limits[column] = grid.widths[column];
            grid.fixed[column] = 1;
        }
    }
    // Then cells of several columns widen them where their content does not fit.
    for (const TableCell& cell : grid.cells) {
        if (cell.columns == 1)
            continue;
        long long wanted =
            std::max(LayoutBoxContent(cell.item, kMeasureWidth, 0, 0, false).right, cell.item->cellWidth);
        long long spanned = grid.Between() * (cell.columns - 1);
        for (int column = cell.column; column < cell.column + cell.columns; ++column)
            spanned += grid.widths[column];
        if (wanted <= spanned)
            continue;
        std::vector<int> chosen;
        for (int column = cell.column; column < cell.column + cell.columns; ++column)
            if (!grid.fixed[column] && grid.widths[column] > 0)
                chosen.push_back(column);
        if (chosen.empty())
            for (int column = cell.column; column < cell.column + cell.columns; ++column)
                chosen.push_back(column);
        SpreadEvenly(grid.widths, chosen, wanted - spanned);
    }
}

void LayoutRun::SettleTableWidth(TableGrid& grid) const
{
    const int tableWidth = grid.first->tableWidth;
    long long target = grid.available;
    if (tableWidth > 0)
        target = tableWidth;
    else if (tableWidth < 0)
        target = static_cast<long long>(grid.available) * -tableWidth / 100;
    long long total = grid.TotalWidth();
    if (target != 0 && total < target) {
        long long left = GrowColumnsToLimits(grid.widths, grid.limits, grid.fixed, target - total);
        if (left > 0 && tableWidth != 0) {
            std::vector<int> loose;
            for (size_t column = 0; column < grid.widths.size(); ++column)
                if (!grid.fixed[column])
                    loose.push_back(static_cast<int>(column));
            SpreadEvenly(grid.widths, loose, left);
        }
    } else if (target != 0 && total > target) {
        ShrinkFixedColumns(grid.widths, grid.limits, grid.contents, grid.fixed, total - target);
    }
    grid.widthSums.assign(grid.widths.size() + 1, 0);
    for (size_t column = 0; column < grid.widths.size(); ++column)
        grid.widthSums[column + 1] = grid.widthSums[column] + grid.widths[column];
}

void LayoutRun::MeasureRows(TableGrid& grid)
{
    std::vector<char> fixedRows(grid.heights.size(), 0);
    for (TableCell& cell : grid.cells) {
        cell.contentHeight =
            LayoutBoxContent(cell.item, ClampCoordinate(grid.InnerWidth(cell)), 0, 0, true).bottom;
        if (cell.rows != 1)
            continue;
        int& height = grid.heights[static_cast<size_t>(cell.row)];
        height = std::max(height, cell.contentHeight);
        if (cell.item->cellHeight > 0) {
            height = std::max(height, cell.item->cellHeight);
            fixedRows[static_cast<size_t>(cell.row)] = 1;
        }
    }
    // A cell of several rows, with its given height when that is larger, grows them all alike.
    for (const TableCell& cell : grid.cells) {
        if (cell.rows == 1)
            continue;
        long long wanted = std::max(cell.contentHeight, cell.item->cellHeight);
        long long spanned = grid.RowsHeight(cell);
        if (wanted > spanned)
            SpreadOverRange(grid.heights, cell.row, cell.rows, wanted - spanned);
    }
    long long rowSum = 0;
    for (int height : grid.heights)
        rowSum += height;
    if (grid.first->tableHeight > rowSum) {
        std::vector<int> loose;
        for (size_t row = 0; row < grid.heights.size(); ++row)
            if (!fixedRows[row])
                loose.push_back(static_cast<int>(row));
        SpreadEvenly(grid.heights, loose, grid.first->tableHeight - rowSum);
    }
}

int LayoutRun::PlaceCells(TableGrid& grid, int tableX, int tableY)
{
    const int padding = grid.first->padding;
    const long long corner = static_cast<long long>(grid.first->border) + grid.first->spacing;
    std::vector<long long> rowStarts(grid.heights.size() + 1);
    rowStarts[0] = tableY + corner;
    for (size_t row = 0; row < grid.heights.size(); ++row)
        rowStarts[row + 1] = rowStarts[row] + grid.heights[row] + grid.Between();
    for (const TableCell& cell : grid.cells) {
        CHtmlItem* item = cell.item;
        const size_t column = static_cast<size_t>(cell.column);
        item->x = ClampCoordinate(tableX + corner + grid.widthSums[column] +
                                  grid.Between() * static_cast<long long>(column));
        item->y = ClampCoordinate(rowStarts[static_cast<size_t>(cell.row)]);
        item->width = ClampCoordinate(grid.InnerWidth(cell) + 2LL * padding);
        long long rowsHeight = grid.RowsHeight(cell);
        item->height = ClampCoordinate(rowsHeight + 2LL * padding);
        long long room = rowsHeight - cell.contentHeight;
        long long down = item->valign == 1 ? room : item->valign == 2 ? room / 2 : 0;
        LayoutBoxContent(item, ClampCoordinate(grid.InnerWidth(cell)), item->x + padding,
                         ClampCoordinate(item->y + padding + down), true);
    }
    for (size_t row = 0; row < grid.rowBreaks.size(); ++row) {
        CHtmlItem* rowBreak = items[grid.rowBreaks[row]];
        rowBreak->x = tableX;
        rowBreak->y = ClampCoordinate(rowStarts[row + 1]);
    }
    return ClampCoordinate(rowStarts.back() - tableY + grid.first->border);
}

int LayoutRun::LayoutTable(int firstIndex)
{
    TableGrid grid;
    grid.firstIndex = firstIndex;
    grid.lastIndex = FindTableEnd(firstIndex);
    grid.first = items[firstIndex];
    grid.available = std::max(0, right - left);
    CollectCells(grid);
    MeasureColumns(grid);
    SettleTableWidth(grid);
    MeasureRows(grid);

    const int tableX = x;
    const int tableY = y;
    const int frameHeight = PlaceCells(grid, tableX, tableY);
    const long long total = grid.TotalWidth();
    // The break before the first cell becomes the table's outline.
    CHtmlItem* frame = firstIndex > 0 && IsBreak(items[firstIndex - 1]) ? items[firstIndex - 1] : nullptr;
    if (frame) {
        frame->x = tableX;
        frame->y = tableY;
        frame->width = ClampCoordinate(total);
        frame->height = frameHeight;
        frame->lineFlags = 15;
        frame->lineWidth = grid.first->border;
        frame->lineColor = grid.first->lineColor == -1 ? -2 : grid.first->lineColor;
    }

    // The table is one line of its own, aligned as its frame says.
    const int align = cache.measuring ? 0 : frame ? frame->align : grid.first->align;
    long long shift = 0;
    if (align == 2)
        shift = std::max(0LL, (right - total - left) / 2);
    else if (align == 1)
        shift = std::max(0LL, right - total - left);
    if (shift > 0) {
        if (frame)
            frame->x += static_cast<int>(shift);
        for (const TableCell& cell : grid.cells)
            MoveItem(cell.item, static_cast<int>(shift), 0);
    }
    y = tableY + frameHeight;
    lineStart = grid.lastIndex + 1;
    EndFloats(grid.lastIndex + 1);
    ++lineNumber;
    x = left;
    return grid.lastIndex;
}

} // namespace

void CHtmlDocument::PrepareImageItem(CHtmlItem* item, int wait)
{
    // Pictures are shown at the size the page gives them until the image loader decodes them.
    if (host)
        host->ShowParseProgress(1, item->imageIndex, imageLoader.JobCount());
    CHtmlImageJob* job = imageLoader.GetJob(item->imageIndex);
    if (!job || !imageLoader.DecodeToBitmap(job, wait))
        return;
    SIZE size = {item->width, item->height};
    CHtmlImageLoader::ApplyImageSize(job, &size);
    item->width = size.cx;
    item->height = size.cy;
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
