#include "html_table_widths.h"

#include <algorithm>

namespace {

// A fixed column never shrinks to 10 pixels or below, nor below its content.
constexpr int kNarrowestShrunkColumn = 10;

int ShrinkFloor(int content)
{
    return std::max(kNarrowestShrunkColumn, content);
}

} // namespace

long long GrowColumnsToLimits(std::vector<int>& widths, const std::vector<int>& limits,
                              const std::vector<char>& fixed, long long deficit)
{
    if (deficit <= 0)
        return deficit;
    auto room = [&](size_t column) -> long long {
        return fixed[column] ? 0 : std::max(0, limits[column] - widths[column]);
    };
    // The number of full passes: every column takes min(room, passes).
    long long most = 0;
    for (size_t column = 0; column < widths.size(); ++column)
        most = std::max(most, room(column));
    auto given = [&](long long passes) {
        long long sum = 0;
        for (size_t column = 0; column < widths.size(); ++column)
            sum += std::min(room(column), passes);
        return sum;
    };
    long long low = 0;
    long long high = most;
    while (low < high) {
        long long middle = (low + high + 1) / 2;
        if (given(middle) <= deficit)
            low = middle;
        else
            high = middle - 1;
    }
    long long left = deficit - given(low);
    for (size_t column = 0; column < widths.size(); ++column) {
        long long columnRoom = room(column);
        widths[column] += static_cast<int>(std::min(columnRoom, low));
        // The last, partial pass reaches the first columns that still have room.
        if (left > 0 && columnRoom > low) {
            ++widths[column];
            --left;
        }
    }
    return left;
}

void SpreadEvenly(std::vector<int>& values, const std::vector<int>& chosen, long long deficit)
{
    if (chosen.empty() || deficit <= 0)
        return;
    long long count = static_cast<long long>(chosen.size());
    long long each = deficit / count;
    long long rest = deficit % count;
    for (size_t index = 0; index < chosen.size(); ++index)
        values[static_cast<size_t>(chosen[index])] +=
            static_cast<int>(each + (static_cast<long long>(index) < rest ? 1 : 0));
}

void SpreadOverRange(std::vector<int>& values, int first, int count, long long deficit)
{
    if (count <= 0 || deficit <= 0)
        return;
    long long each = deficit / count;
    long long rest = deficit % count;
    for (int index = 0; index < count; ++index)
        values[static_cast<size_t>(first + index)] += static_cast<int>(each + (index < rest ? 1 : 0));
}

long long ShrinkFixedColumns(std::vector<int>& widths, std::vector<int>& limits,
                             const std::vector<int>& contents, const std::vector<char>& fixed,
                             long long excess)
{
    if (excess <= 0)
        return excess;
    auto room = [&](size_t column) -> long long {
        return fixed[column] ? std::max(0, widths[column] - ShrinkFloor(contents[column])) : 0;
    };
    // Shrinking the widest first lowers a level: find the lowest level the excess reaches.
    int top = 0;
    for (size_t column = 0; column < widths.size(); ++column)
        if (room(column) > 0)
            top = std::max(top, widths[column]);
    if (top == 0)
        return excess;
    auto taken = [&](int level) {
        long long sum = 0;
        for (size_t column = 0; column < widths.size(); ++column)
            if (room(column) > 0)
                sum += std::max(0, widths[column] - std::max(level, ShrinkFloor(contents[column])));
        return sum;
    };
    int low = 0;
    int high = top;
    // The smallest level whose shrinking does not take more than the excess.
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (taken(middle) <= excess)
            high = middle;
        else
            low = middle + 1;
    }
    int level = low;
    long long left = excess - taken(level);
    std::vector<char> eligible(widths.size());
    const std::vector<int> before = widths;
    for (size_t column = 0; column < widths.size(); ++column) {
        eligible[column] = room(column) > 0;
        if (eligible[column])
            widths[column] = std::min(widths[column], std::max(level, ShrinkFloor(contents[column])));
    }
    // The next pass takes one pixel from the first of the columns at that level that may still shrink.
    for (size_t column = 0; column < widths.size() && left > 0; ++column) {
        if (eligible[column] && widths[column] == level && level > ShrinkFloor(contents[column])) {
            --widths[column];
            --left;
        }
    }
    for (size_t column = 0; column < widths.size(); ++column)
        if (widths[column] != before[column])
            limits[column] = widths[column];
    return left;
}
