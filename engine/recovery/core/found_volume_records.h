#pragma once

// The file systems that the Extensive Scan's completion steps find. Fields from fsCode to endSector
// follow VolumeParams from its fsCode on (rootStart included), so that picking a volume copies them
// field by field.

#include <cstdint>

#include "engine/recovery/core/engine_types.h"

struct FoundVolumeRec
{
    std::uint16_t fsCode;
    std::uint32_t fatSize;
    std::uint32_t sectorsPerCluster;
    std::uint32_t rootDirSectors;
    std::uint32_t rootStart;
    std::uint32_t reservedSectors;
    std::uint32_t clusterBase;
    std::uint32_t fat1Start;
    std::uint32_t fat2Start;
    std::uint32_t mftStart;
    std::uint32_t mftMirrStart;
    std::uint32_t unused; // always 0
    std::uint32_t indexSectors;
    std::uint32_t endSector;
    TreeItemValue treeItem; // the item in the file-system tree
    FoundVolumeRec* next;
};
