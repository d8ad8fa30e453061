// FAT directory sectors: short entries, long-name chains across a sector's edge, deleted entries.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_dir_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Up to 8 sectors, each parsed with the one before it.
    std::vector<std::uint8_t> sectors((size + 511) / 512 * 512);
    if (sectors.size() > 8 * 512)
        sectors.resize(8 * 512);
    if (size == 0)
        return 0;
    std::memcpy(sectors.data(), data, std::min(size, sectors.size()));
    VolumeParams.fsCode = kFsFat32;
    bool directoryEnd = false;
    for (std::size_t at = 0; at < sectors.size() && !directoryEnd; at += 512)
        ParseFatDirSector(sectors.data() + at, 2, &directoryEnd, 0, 0,
                          at ? sectors.data() + at - 512 : nullptr);
    ResetEngineState();
    return 0;
}
