#pragma once

// A folder's index ($I30): the entries of its $INDEX_ROOT inside the file record, the clusters of its
// $INDEX_ALLOCATION, and the index records (INDX) that the Extensive Scan finds on the disk.

#include <cstdint>

#include "engine/recovery/ntfs/ntfs_layout.h"

// Offset of the record's non-resident $INDEX_ALLOCATION named $I30, or 0.
std::uint32_t FindIndexAllocationI30(const std::uint8_t* record);

// The folder's own record number as the first entry of its index root names it (the entry's parent);
// 0 when the root holds no entry with a name, or the parent is 0xFFFFFFFF.
std::uint32_t GetFolderNumber(const std::uint8_t* record);

// The cluster of the first run of the folder's $INDEX_ALLOCATION $I30; 0 when there is none. `size` is
// the bytes of the record buffer that count (at most 1024).
std::uint32_t GetFirstIndexCluster(std::uint32_t size, const std::uint8_t* record);

// Reads the whole index record at `sector`, whose first sector is `firstSector` (512 bytes; with the
// `sectorsHeld - 1` sectors that follow it, which are taken from there instead of read again), and
// appends an NtfsIndexNode when its first entry names a parent of 5 or more. The record's size must be
// whole sectors from 512 bytes to 64 KiB and its first entry must lie within it. 1 added, 0 not.
int ReadIndexRecord(std::uint32_t sector, const std::uint8_t* firstSector, std::uint32_t sectorsHeld = 1);
