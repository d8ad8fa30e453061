#pragma once

// The FAT completion step of the Extensive Scan: the boot sectors and directory candidates that the
// sector scan collected become the FAT volumes that once stood on the disk. A boot sector gives a volume
// when directory candidates confirm its cluster size and cluster-0 sector; candidates that no boot sector
// explains are paired: two folders of one volume agree on a power-of-two cluster size k and a base b
// with sector = b + k x cluster. Each volume becomes a FoundVolumeRec and an item "FAT16 @" or "FAT32 @"
// followed by its base under the file-system tree's root; each candidate gets the volume's number, or
// kGivenUpVolume.
//
// Both passes work through an index of the candidates by cluster size and base, so that a disk with
// hundreds of thousands of folders is analysed in about n log n steps with the results of the pairwise
// walk. Runs on the scan worker after the sector scan has ended.

#include <cstdint>

#include "engine/recovery/fat/fat_records.h"

// volumeNumber of a candidate that fits no volume or is not a folder at all (cluster 0 or 1, or its own
// parent).
inline constexpr std::uint16_t kGivenUpVolume = 0xFFFF;

// Status "Analyzing the data found...", the root item "File System", one volume per confirmed boot
// sector in list order, then a volume inferred for every candidate still without one (given up on those
// for which none is found); sets bootVolumesDone.
void AnalyzeFatBootVolumes();

// 1 when a volume was inferred from the candidate and a later partner (all the candidates it explains
// then carry its number), else 0.
int InferFatVolume(FatDirCandidate* candidate);
