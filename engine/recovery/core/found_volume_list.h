#pragma once

// The list of file systems that the Extensive Scan's completion steps found (foundVolumes), and the
// file-system step's choice of one of them. The n-th record of the list (from 1) is volume number n:
// every record is appended together with the increment of volumeCounter that gave it its number.

#include <cstdint>

#include "engine/recovery/core/found_list.h"
#include "engine/recovery/core/found_volume_records.h"

// Appends a record at the end of the list with the values in field order.
FoundVolumeRec* AddFoundVolumeRec(RecordList<FoundVolumeRec>& list, std::uint16_t fsCode,
                                  std::uint32_t fatSize, std::uint32_t sectorsPerCluster,
                                  std::uint32_t rootDirSectors, std::uint32_t rootStart,
                                  std::uint32_t reservedSectors, std::uint32_t clusterBase,
                                  std::uint32_t fat1Start, std::uint32_t fat2Start, std::uint32_t mftStart,
                                  std::uint32_t mftMirrStart, std::uint32_t unused,
                                  std::uint32_t indexSectors, std::uint32_t endSector,
                                  TreeItemValue treeItem);

// The record of volume `number` (from 1); null when there is none.
FoundVolumeRec* FoundVolumeByNumber(std::uint32_t number);

// The file-system step's volume choice: the record whose item in the file-system tree is `item` gives
// its values to VolumeParams (fsCode to endSector, field by field) and its position in the list to
// VolumeParams.volumeNumber. False, with VolumeParams untouched, when no record has that item.
bool ChooseFoundVolume(TreeItemValue item);

// The same choice by the volume's number; the probe picks volumes this way.
bool ChooseFoundVolumeNumber(std::uint32_t number);
