#pragma once

// The NTFS sector scan of the Extensive Scan: every sector of the range is tested for what an NTFS volume
// leaves behind. A boot sector (0x55 0xAA at its end, "NTFS" at 3) goes to the boot-sector list
// (bootSectorList, bootSectorCount); the first sector of a 1024-byte file record ("FILE") becomes an
// NtfsFileNode or NtfsFolderNode (ProcessMftRecord); the first sector of an index record ("INDX") an
// NtfsIndexNode (ReadIndexRecord). Runs on the scan worker (see extensive_scan.h); the scan flags are
// left to the completion step, FinishExtensiveNtfs.
//
// While details are shown the panel's labels give the folder and file records found, the index records
// found (on the label that the FAT scan gives its boot sectors) and the current sector.

#include <cstdint>

// Scans the range of VolumeParams.
void ScanSectorsNtfs();

// The sector test of ScanSectorsNtfs for one 512-byte sector at `sector`, which `bytes` holds with the
// `sectorsHeld - 1` sectors that follow it.
void InspectNtfsSector(std::uint32_t sector, const std::uint8_t* bytes, std::uint32_t sectorsHeld = 1);
