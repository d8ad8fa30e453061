#pragma once

#include <vector>

// The arithmetic of the HTML drawer's tables: cells placed on a grid by their spans, column widths and
// row heights shared out among spanned columns and rows, and the table's outer size.

// Spans taken from the text are kept between 1 and this; columns beyond kHtmlMaxTableColumns are dropped.
constexpr int kHtmlMaxSpan = 256;
constexpr int kHtmlMaxTableColumns = 1024;

struct HtmlCellSpan
{
    int columnSpan = 1;
    int rowSpan = 1;
};

struct HtmlCellPlace
{
    int row = 0;
    // -1: the cell did not fit in the grid and is left out of the table.
    int column = -1;
    int columnSpan = 1;
    int rowSpan = 1;
};

struct HtmlTableGrid
{
    int rows = 0;
    int columns = 0;
    // One place per cell, rows in order and cells left to right.
    std::vector<HtmlCellPlace> cells;
};

// Each cell takes the next column of its row that no span of an earlier cell covers; spans are clipped
// to the table's rows and to the column limit.
HtmlTableGrid PlaceHtmlTableCells(const std::vector<std::vector<HtmlCellSpan>>& rows);

// Column widths from the cells' needed widths (content plus border and padding), by span size from 1
// up. `fixedCells` marks cells with a width of their own; `fixedColumns` receives the columns they fix.
std::vector<int> ShareHtmlColumnWidths(const HtmlTableGrid& grid, const std::vector<int>& neededWidths,
                                       const std::vector<int>& contentWidths,
                                       const std::vector<char>& fixedCells, std::vector<char>& fixedColumns);
std::vector<int> ShareHtmlRowHeights(const HtmlTableGrid& grid, const std::vector<int>& neededHeights);

// Sizes plus (count + 1) spacings, the one-unit gaps between cells and the border on both sides
// (3 units a side for a double border).
int HtmlTableExtent(const std::vector<int>& sizes, int spacing, int borderWidth, bool doubleBorder);

// Offsets of the columns (or rows) from the table's inner edge, one more than there are sizes: a cell in
// column c begins at offsets[c] and spans `span` columns up to offsets[c + span] - (spacing + 1).
std::vector<long long> HtmlCellOffsets(const std::vector<int>& sizes, int spacing);
