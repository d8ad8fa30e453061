#pragma once

// The parameters of the selected partition range for the Quick Scan (and File Trace): read from its
// boot sector, or, for FAT, found by searching for directory clusters. Reads VolumeParams.scanFsCode
// and the range; writes the volume fields of VolumeParams (fsCode, fatSize, sectorsPerCluster,
// rootDirSectors, rootStart, reservedSectors, clusterBase, fat1Start, fat2Start). Runs on the scan
// worker and polls ScanThreadControl.done.

#include <cstdint>

// 1 when the boot sector gave usable parameters, else 0. fsCode becomes the scan code; a logical volume
// is read from its own first sector (rangeStart becomes 0). FAT32 falls back to the backup boot sector
// at +6. A boot sector whose cluster size is not a power of two up to 128 sectors, whose reserved or FAT
// size is 0, or whose FATs do not fit the range is not used.
int ReadPartitionParams();

// FAT16 and FAT32 only: finds the cluster size and the sector of cluster 0 from two directory clusters
// ("." and ".." entries) that agree on them, the reserved sectors from the first FAT sector. 1 when
// found. Otherwise, and on a stop request, sets ScanThreadControl done 1 and running 0 and returns 0;
// `stopRequested`, when given, tells the two apart.
int SearchPartitionParams(bool* stopRequested = nullptr);
