#include "html_table_grid.h"

#include <algorithm>
#include <numeric>

namespace {

// Table sizes never grow past this, whatever the text asks for.
constexpr long long kMaxTableExtent = 1LL << 24;

int ClampExtent(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, -kMaxTableExtent, kMaxTableExtent));
}

// Indexes of the placed cells, by span size and then in text order.
std::vector<size_t> CellsBySpan(const HtmlTableGrid& grid, bool columns)
{
    std::vector<size_t> order;
    for (size_t i = 0; i < grid.cells.size(); ++i) {
        if (grid.cells[i].column >= 0) {
            order.push_back(i);
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return columns ? grid.cells[a].columnSpan < grid.cells[b].columnSpan
                       : grid.cells[a].rowSpan < grid.cells[b].rowSpan;
    });
    return order;
}

} // namespace

HtmlTableGrid PlaceHtmlTableCells(const std::vector<std::vector<HtmlCellSpan>>& rows)
{
    HtmlTableGrid grid;
    grid.rows = static_cast<int>(rows.size());
    // For each column, the first row that no earlier cell covers.
    std::vector<int> coveredUntil;
    for (int row = 0; row < grid.rows; ++row) {
        int column = 0;
        for (const HtmlCellSpan& span : rows[row]) {
            HtmlCellPlace place;
            place.row = row;
            while (column < static_cast<int>(coveredUntil.size()) && coveredUntil[column] > row) {
                ++column;
            }
            if (column < kHtmlMaxTableColumns) {
                place.column = column;
                place.columnSpan =
                    std::min(std::clamp(span.columnSpan, 1, kHtmlMaxSpan), kHtmlMaxTableColumns - column);
                place.rowSpan = std::min(std::clamp(span.rowSpan, 1, kHtmlMaxSpan), grid.rows - row);
                if (static_cast<int>(coveredUntil.size()) < column + place.columnSpan) {
                    coveredUntil.resize(column + place.columnSpan, 0);
                }
                std::fill(coveredUntil.begin() + column, coveredUntil.begin() + column + place.columnSpan,
                          row + place.rowSpan);
                column += place.columnSpan;
                grid.columns = std::max(grid.columns, column);
            }
            grid.cells.push_back(place);
        }
    }
    return grid;
}

std::vector<int> ShareHtmlColumnWidths(const HtmlTableGrid& grid, const std::vector<int>& neededWidths,
                                       const std::vector<int>& contentWidths,
                                       const std::vector<char>& fixedCells, std::vector<char>& fixedColumns)
{
    std::vector<int> widths(grid.columns, 0);
    fixedColumns.assign(grid.columns, 0);
    for (const size_t i : CellsBySpan(grid, true)) {
        const HtmlCellPlace& place = grid.cells[i];
        const int first = place.column;
        const int span = place.columnSpan;
        if (span == 1) {
            widths[first] = std::max(widths[first], neededWidths[i]);
            if (fixedCells[i]) {
                fixedColumns[first] = 1;
            }
            continue;
        }
        if (fixedCells[i]) {
            std::fill(fixedColumns.begin() + first, fixedColumns.begin() + first + span, 1);
        }
        const long long sum = std::accumulate(widths.begin() + first, widths.begin() + first + span, 0LL);
        if (sum < contentWidths[i]) {
            const long long difference = neededWidths[i] - sum;
            for (int column = first; column < first + span; ++column) {
                widths[column] = ClampExtent(widths[column] + difference / span);
            }
            widths[first + span - 1] = ClampExtent(widths[first + span - 1] + difference % span);
        }
    }
    return widths;
}

std::vector<int> ShareHtmlRowHeights(const HtmlTableGrid& grid, const std::vector<int>& neededHeights)
{
    std::vector<int> heights(grid.rows, 0);
    for (const size_t i : CellsBySpan(grid, false)) {
        const HtmlCellPlace& place = grid.cells[i];
        const int first = place.row;
        const int span = place.rowSpan;
        if (span == 1) {
            heights[first] = std::max(heights[first], neededHeights[i]);
            continue;
        }
        const long long sum = std::accumulate(heights.begin() + first, heights.begin() + first + span, 0LL);
        if (sum < neededHeights[i]) {
            const long long difference = neededHeights[i] - sum;
            for (int row = first; row < first + span; ++row) {
                heights[row] = ClampExtent(heights[row] + difference / span);
            }
            heights[first] = ClampExtent(heights[first] + difference % span);
        }
    }
    return heights;
}

int HtmlTableExtent(const std::vector<int>& sizes, int spacing, int borderWidth, bool doubleBorder)
{
    if (sizes.empty()) {
        return 0;
    }
    const long long count = static_cast<long long>(sizes.size());
    const long long sum = std::accumulate(sizes.begin(), sizes.end(), 0LL);
    const long long border = doubleBorder ? 6LL : 2LL * borderWidth;
    return ClampExtent(sum + (count + 1) * spacing + count - 1 + border);
}

std::vector<long long> HtmlCellOffsets(const std::vector<int>& sizes, int spacing)
{
    std::vector<long long> offsets(sizes.size() + 1);
    long long offset = spacing;
    for (size_t i = 0; i < sizes.size(); ++i) {
        offsets[i] = offset;
        offset += sizes[i] + 1LL + spacing;
    }
    offsets[sizes.size()] = offset;
    return offsets;
}
