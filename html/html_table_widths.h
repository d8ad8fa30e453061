#pragma once

// How a table shares pixels among its columns and rows. The layout grows or shrinks them one pixel per
// pass, column by column from the first; these give the same result in one step, so that the time of a
// layout does not grow with the widths a page asks for.
#include <vector>

// Passes that give one pixel to every column with room left (growth limit above its width; fixed
// columns have none), first to last, until the deficit is used up or no column has room. Returns what
// is left of the deficit.
long long GrowColumnsToLimits(std::vector<int>& widths, const std::vector<int>& limits,
                              const std::vector<char>& fixed, long long deficit);

// Passes that give one pixel to each of the chosen entries (in order) until the deficit is used up.
void SpreadEvenly(std::vector<int>& values, const std::vector<int>& chosen, long long deficit);

// SpreadEvenly over the count entries from first.
void SpreadOverRange(std::vector<int>& values, int first, int count, long long deficit);

// Passes that take one pixel from the widest fixed column that is wider than 10 pixels and than its
// content width (the first of equally wide ones) until the excess is used up or no column qualifies.
// A shrunk column's growth limit follows its width. Returns what is left of the excess.
long long ShrinkFixedColumns(std::vector<int>& widths, std::vector<int>& limits,
                             const std::vector<int>& contents, const std::vector<char>& fixed,
                             long long excess);
