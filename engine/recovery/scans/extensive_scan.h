#pragma once

// The Extensive Scan of the partition step: every sector of the selected range is read once and handed
// to the sector scan of the range's file system (FAT: scan_sectors_fat.h), which collects boot sectors
// and the structures that outlive a lost boot sector; then the completion step of that file system turns
// them into the volumes of the file-system step's tree.
//
// Runs on the scan worker. It writes the global lists and counters without locks, talks to the partition
// step's panel through UiScanPanel(), and polls ScanThreadControl.done before each read and before each
// sector, so that a confirmed Stop ends it at the next sector.

#include <cstdint>

// The root item of the file-system step's tree, under which every found volume stands.
inline constexpr char16_t kFileSystemRootText[] = u"File System";

// What a sector scan does with the sectors of the range.
class ExtensiveSectorVisitor
{
public:
    virtual ~ExtensiveSectorVisitor() = default;
    // Before each read, with the read's offset from the range start.
    virtual void BeforeRead(std::uint32_t /*offset*/) {}
    // One 512-byte sector and its absolute number; false ends the scan at once. `bytes` goes on with the
    // next `sectorsHeld - 1` sectors as the source gave them (at least the one sector), so that a record
    // that starts here can be taken from memory instead of being read again.
    virtual bool InspectSector(std::uint32_t sector, const std::uint8_t* bytes,
                               std::uint32_t sectorsHeld) = 0;
    // After each read whose sectors were all inspected, with the read's offset.
    virtual void AfterRead(std::uint32_t /*offset*/) {}
};

// Sectors in the scan range: from VolumeParams.rangeStart through its last sector, which is rangeEnd
// when that is set, else the one before rangeStart + rangeCount. Never past sector 2^32 - 1.
std::uint32_t ExtensiveRangeSectorCount();

// Reads the whole range, RecoverySettings.sectorsPerRead sectors at a time (the last read stops at the
// range's last sector), the sectors fetched from the source about 1 MiB at a time into one buffer
// allocated for the scan. Every 88th read shows the progress and, while details are shown,
// "Reading Sector " i " Of " count. A fetch that fails is fetched again sector by sector; a sector that
// cannot be read is inspected as zeros.
// True when the range was read to its end or a stop was asked for; false when the visitor ended it.
bool ReadExtensiveRange(ExtensiveSectorVisitor& visitor);

// The engine's part of the partition step's StartExtensiveScan, before the worker starts: done 0,
// running 1, the lists of the previous Extensive Scan freed, the completion flags cleared.
void PrepareExtensiveScan();

// The worker's work (ExtensiveScanThread): the range cut to the disk's end (ClipScanRangeToSource), the
// sector scan for VolumeParams.scanFsCode, then FinishExtensiveScan. A range that starts past the disk's
// end is not scanned: as after a Quick Scan without parameters (ReportPartitionParamsMissing) the user is
// told, the step's buttons come back and no completion flag is set. Returns the thread's exit code, 0.
std::uint32_t ExtensiveScanThread();

// The completion step for VolumeParams.scanFsCode. A code with no analysis ends the scan with both
// completion flags set, so that the partition step's timer moves on and reports that no file system
// was found.
void FinishExtensiveScan();
