#pragma once

// The FAT sector scan of the Extensive Scan: every sector of the range is tested for what a FAT volume
// leaves behind. A sector with the boot signature 0x55 0xAA whose file-system label reads "FAT32" or
// "FAT16" goes to the boot-sector list (bootSectorList, bootSectorCount); any other sector that begins
// with the "." and ".." entries of a folder becomes a directory candidate (fatDirCandidates,
// foundFolderCount). Runs on the scan worker; see extensive_scan.h.

#include <cstdint>

// More boot sectors than this end the scan with "Too many data structures found".
inline constexpr std::uint32_t kMaxFatBootSectors = 60000;

// Scans the range of VolumeParams; ends with done 1 and running 0.
void ScanSectorsFat();

// The sector test of ScanSectorsFat for one sector at `sector`: records what it finds and returns false
// only when the boot-sector limit was passed (the message has then been shown).
bool InspectFatSector(std::uint32_t sector, const std::uint8_t* bytes);
