#pragma once

#include <cstdint>

// done x 100 / total, held at 99 until the step ends; 0 while the total is unknown.
inline std::uint32_t ProgressPercent(std::uint64_t done, std::uint64_t total)
{
    if (total == 0)
        return 0;
    if (done >= total)
        return 99;
    // Past 2^57 the product would wrap; the total is then large enough to divide first.
    const std::uint64_t percent = done <= UINT64_MAX / 100 ? done * 100 / total : done / (total / 100);
    return percent > 99 ? 99 : static_cast<std::uint32_t>(percent);
}
