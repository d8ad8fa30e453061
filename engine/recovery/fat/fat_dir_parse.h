#pragma once

// FAT16 and FAT32 directory sectors turned into FatFileRec and FatFolderRec records. A directory sector
// holds 16 entries of 32 bytes; long-name entries stand before the short entry they name, the first part
// of the name nearest to it.
//
// Every parser drops, without a message: end-of-directory and long-name entries, volume labels, entries
// whose first cluster is 0 or no usable cluster (fat_chain.h), blank names, names with characters that a
// file name cannot hold, and entries named "." or ".." however they were written (a crafted ".." would
// otherwise lead a save out of its folder). An empty file (not a folder, first cluster 0 and size 0)
// owns no cluster and is kept, live or deleted, with first cluster 0. They poll ScanThreadControl.done
// between entries.

#include <cstdint>

#include "engine/recovery/fat/fat_layout.h"

// Room for an assembled long name: more than 255 characters end the assembly, which adds up to one
// further entry of 13; plus the terminator.
inline constexpr std::uint32_t kLongNameBufferSize = 255 + 13 + 1;

// Assembles the long name of the short entry at byte `shortEntryOffset` of `sector` into `out` (room for
// kLongNameBufferSize characters). Returns false when a long name was assembled, true when the short
// name stays. The walk goes back from the short entry; with `previousSector` (the directory's sector
// before this one, already read) it goes on into that sector, so a name whose entries straddle the
// sector boundary is found whole. A live short entry takes only long-name entries whose checksum is its
// own.
bool GetLongName(const std::uint8_t* sector, char16_t* out, std::uint32_t shortEntryOffset,
                 const std::uint8_t* previousSector = nullptr);

// 1 when the name holds no character with code 1 to 31 and none of " \ / ? * < > |; else 0.
int IsValidFileName(const char16_t* name);

// Parses one directory sector of the Quick Scan's tree walk from entry `firstEntry` on: folders through
// AddFatFolderRec, files through AddFatFileRec (with fileCount, listedBytes), each counted in
// entriesDone, with the scan panel's counters, last name and progress. Sets *directoryEnd at the end of
// the directory. `deleted` is the caller's deleted state, which the entries take over only while
// InheritDeletedState is 1. `previousSector`: as for GetLongName.
void ParseFatDirSector(const std::uint8_t* sector, std::uint32_t parentCluster, bool* directoryEnd,
                       std::uint32_t deleted, std::uint16_t firstEntry,
                       const std::uint8_t* previousSector = nullptr);

// The FAT scan's parser: reads `sectorCount` sectors from `firstSector` into `buffer` (room for
// sectorCount x 512 bytes) and parses them; `firstEntry` applies to the first sector only. A folder entry
// of size 0 adds nothing but gives its name and deleted state to the listed folder with the same parent
// and first cluster; every other entry is added as a file. No panel text or progress.
void ParseFolderSectors(std::uint8_t* buffer, std::uint32_t parentCluster, bool* directoryEnd,
                        std::uint32_t firstSector, std::uint32_t sectorCount, std::uint32_t deleted,
                        std::uint16_t firstEntry);
