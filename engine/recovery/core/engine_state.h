#pragma once

// The engine's process-wide state: the source being read, the selected volume, the partition table, the
// found-entry lists with their counters, and the globals that the wizard shares with the scan workers.
// The lists and counters are written by one worker at a time and read after it ends; the flags that
// cross threads while a worker runs are atomic. ResetEngineState puts all of it back as at start-up.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_types.h"
#include "engine/recovery/core/found_list.h"
#include "engine/recovery/core/found_volume_records.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/ntfs/ntfs_records.h"
#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/trace/trace_records.h"

class CVmdkSparseExtent;
class CImageSource;

// ---- Found-entry lists --------------------------------------------------------------------------------

extern RecordList<FatFileRec> fatFiles;
extern RecordList<FatFolderRec> fatFolders;
extern RecordList<FatDirCandidate> fatDirCandidates;
extern RecordList<ClusterNode> clusterChain;

extern RecordList<NtfsFileNode> ntfsFileNodes;
extern RecordList<NtfsFolderNode> ntfsFolderNodes;
extern RecordList<NtfsScanNode> ntfsScanNodes;
extern RecordList<NtfsEntryNode> ntfsEntryNodes;
extern RecordList<NtfsIndexNode> ntfsIndexNodes;
// The runs of the last DecodeDataRuns, with their number.
extern RecordList<DataRunNode> dataRuns;
extern std::uint32_t dataRunCount;
// Rebuilt by each Quick Scan and snapshot load.
extern MftRunTables mftRunTables;
extern AttributeListTable attributeListTable;

extern RecordList<FoundVolumeRec> foundVolumes;

// Sector numbers of the boot sectors that the Extensive Scan found (AppendU32Node).
extern U32Node* bootSectorList;

extern RecordList<FileSignatureRec> fileSignatureList;
extern RecordList<TraceFoundRec> traceFoundList;

// ---- Counters -----------------------------------------------------------------------------------------

extern std::uint32_t folderCount;      // records in fatFolders (NTFS: entry nodes)
extern std::uint32_t fileCount;        // files listed so far; the next fileId
extern std::uint32_t entriesDone;      // directory entries processed, for progress
extern std::uint64_t listedBytes;      // total size of the files listed
extern std::uint32_t foundFolderCount; // folders the Extensive Scan found (NTFS folder nodes or candidates)
extern std::uint32_t ntfsFileNodeCount;
extern std::uint32_t ntfsIndexNodeCount;
extern std::uint32_t bootSectorCount;
extern std::uint16_t volumeCounter; // records in foundVolumes
extern std::uint32_t placedCandidates;
// Completion flags of the Extensive Scan's analysis, polled by the partition step's timer.
extern std::atomic<std::uint32_t> bootVolumesDone;
extern std::atomic<std::uint32_t> inferenceDone;

// ---- Partition table ----------------------------------------------------------------------------------

inline constexpr std::uint32_t kMaxPartitions = 25;

struct PartitionEntry
{
    std::uint32_t startSector;
    std::uint32_t sectorCount;
    std::uint16_t fsCode;
};

extern PartitionEntry partitionTable[kMaxPartitions];
extern std::uint32_t partitionCount;

// 1 when SearchPartitions is to search the disk for boot sectors: ParseMbrPartitions clears it, an empty
// table or the Partition Type dialog's "Search partition" sets it.
extern std::uint32_t searchDisk;
// Pause after each of the hundred progress steps that a VHDX image shows in place of a search (it has
// no geometry to search by). 0: a pause there only holds the user up, ten seconds for the whole bar with
// nothing read; a test that must find the search still running sets one.
extern std::uint32_t vhdxProgressPauseMs;

// ---- Source and volume --------------------------------------------------------------------------------

struct SourceStateBlock
{
    std::uint16_t sourceKind = kSourceNone;
    std::uint16_t deviceIndex = 0; // physical drive 0 to 9
    // Held for the callers of OpenPhysicalDrive; no sector is ever read through it.
    PlatformHandle driveHandle = kNoHandle;
    PlatformHandle volumeHandle = kNoHandle;
    // The image readers that the main frame owns for the whole run; not owned here.
    CVmdkSparseExtent* vmdkExtent = nullptr;
    CImageSource* imageSource = nullptr;
};

extern SourceStateBlock SourceState;

// Field order is that of the snapshot document's volume header.
struct VolumeParamsBlock
{
    std::uint16_t scanFsCode = 0; // file system chosen for the Extensive Scan
    std::uint32_t rangeStart = 0; // partition range that a scan covers
    std::uint32_t rangeCount = 0;
    std::uint32_t rangeEnd = 0;   // last sector of the range
    std::uint16_t driveIndex = 0; // entry of DriveEntryTable, to reopen the volume
    std::uint16_t fsCode = 0;     // file system being parsed
    std::uint32_t fatSize = 0;    // sectors per FAT copy
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t rootDirSectors = 0;
    std::uint32_t rootStart = 0; // FAT16: first root-directory sector; FAT32: root cluster
    std::uint32_t reservedSectors = 0;
    std::uint32_t clusterBase = 0; // sector of cluster 0
    std::uint32_t fat1Start = 0;
    std::uint32_t fat2Start = 0;
    std::uint32_t mftStart = 0;
    std::uint32_t mftMirrStart = 0;
    std::uint32_t unused = 0; // stays 0
    std::uint32_t indexSectors = 0;
    std::uint32_t endSector = 0;
    std::uint16_t volumeNumber = 0; // volume whose directory candidates belong to this scan
};

extern VolumeParamsBlock VolumeParams;

// ---- Globals shared with the wizard -------------------------------------------------------------------

struct ScanSelectionBlock
{
    std::uint32_t imageKind = kImageVhd; // set from the picked file's extension before the image opens
    std::uint32_t scanKind = kScanExtensive;
    std::u16string modeName; // "Quick Scan", "Extensive Scan" or "File Trace"
};

extern ScanSelectionBlock ScanSelection;

struct ScanThreadControlBlock
{
    std::atomic<std::uint8_t> running{0};
    // 0 while a scan runs; 1 when it finished or the user asked it to stop.
    std::atomic<std::uint32_t> done{0};
    // The current worker thread as the user interface started it.
    std::uintptr_t workerThread = 0;
    // Held only around suspending and resuming the worker; a worker never takes it.
    std::mutex suspendLock;
};

extern ScanThreadControlBlock ScanThreadControl;

// Sets the flags of a worker that is about to start: running 1, done 0. Whoever starts a worker calls it
// before the worker runs; the workers never clear done when they begin, so that a stop asked for before
// a worker's first step still holds.
void ArmScanWorker();

inline constexpr std::uint16_t kDuplicateRename = 1;
inline constexpr std::uint16_t kDuplicateOverwrite = 2;
inline constexpr std::uint16_t kDuplicateSkip = 3;
inline constexpr std::uint16_t kDeletedInclude = 1;
inline constexpr std::uint16_t kDeletedOnly = 2;
inline constexpr std::uint16_t kDeletedExclude = 3;

struct RecoverySettingsBlock
{
    std::uint32_t sectorsPerRead = 100; // 1 to 100
    std::uint16_t duplicatePolicy = kDuplicateRename;
    std::uint16_t deletedPolicy = kDeletedInclude;
    std::uint32_t retries = 0;
};

extern RecoverySettingsBlock RecoverySettings;

inline constexpr int kMaxFileFilters = 100;
inline constexpr int kFileFilterLength = 20;

struct FileFilterTableBlock
{
    std::int32_t count = 0; // 0 = no filter
    char16_t patterns[kMaxFileFilters][kFileFilterLength] = {};
};

extern FileFilterTableBlock FileFilterTable;

inline constexpr int kMaxDriveEntries = 26;
inline constexpr int kDriveEntryLength = 100;

// The drive step's logical volumes, one index per volume across the arrays. A name begins with the drive
// letter and its colon, which is what the scans open the volume by; the root path ("C:\") is what the
// source tree finds a volume by and what the usage pie asks the size of.
struct DriveEntryTableBlock
{
    char16_t entries[kMaxDriveEntries][kDriveEntryLength] = {}; // names
    char16_t rootPaths[kMaxDriveEntries][kDriveEntryLength] = {};
    std::uint64_t sectorCounts[kMaxDriveEntries] = {};
    std::uint16_t sectorsPerCluster[kMaxDriveEntries] = {};
    std::uint16_t fsCodes[kMaxDriveEntries] = {};
    // The volume the drive step shows; -1 for none.
    std::int32_t selected = -1;
};

extern DriveEntryTableBlock DriveEntryTable;

// The entry whose root path is `rootPath` (letters in any case); -1 when none is, or the path is empty.
int FindDriveEntryByRoot(const char16_t* rootPath);
// An entry's name and root path, held to the entry's length; empty outside the table.
std::u16string DriveEntryName(int entry);
std::u16string DriveEntryRoot(int entry);

inline constexpr int kMaxDevices = 10;

struct DeviceGeometryEntry
{
    std::uint32_t cylinders = 0;
    std::uint32_t heads = 0;
    std::uint32_t sectorsPerTrack = 0;
};

extern DeviceGeometryEntry DeviceGeometry[kMaxDevices];

// Set by the Quick Scan and File Trace workers when no partition parameters were found.
extern std::atomic<std::uint32_t> PartitionParamsMissing;
// 1 while the partition step's panel shows its detail counters.
extern std::atomic<std::uint32_t> ScanDetailsShown;
extern std::uint32_t StepWaitFlags[2];

struct SaveControlBlock
{
    std::atomic<std::uint32_t> stop{0};
    std::atomic<std::uint32_t> skip{0};
    // 1 while a question about the save stands: the saver holds still at its next piece or file, and
    // says so in `paused`, until it is 0 again (WaitWhileSavePaused).
    std::atomic<std::uint32_t> pause{0};
    std::atomic<std::uint32_t> paused{0};
    std::uint32_t fileCounter = 0;
};

extern SaveControlBlock SaveControl;

// What the last save did, so that the saving dialog can say what failed. Every file counts once as
// saved, skipped or failed; a failed file counts once more under each reason it met. SaveSelection
// clears it; a caller that saves files one by one clears it before the first.
struct SaveOutcomeBlock
{
    std::uint32_t saved = 0;
    std::uint32_t skipped = 0; // left out by the filter or a policy, or abandoned by the user
    std::uint32_t failed = 0;
    std::uint32_t notCreated = 0;     // the file could not be created or written whole: none is left
    std::uint32_t tooLarge = 0;       // larger than the free space of a target that keeps no holes: none
    std::uint32_t unreadable = 0;     // part of the source could not be read: zeros stand in for it
    std::uint32_t beyondImageEnd = 0; // part of the data lies past the end of a cut-short image file: zeros
    std::uint32_t outsideVolume = 0;  // no cluster size, or clusters past the volume's end: zeros
    std::uint32_t nothingRead = 0;    // not one stored byte could be read: no file (not counted above)
    std::uint32_t noData = 0;         // the record gave nothing to write: no file
    std::uint32_t storedAsIs = 0;     // compressed or encrypted: written as stored, not decoded
    std::uint64_t bytesWritten = 0;
    // The folder the save writes into, so that the files kept with zeros are named from it.
    std::u16string target;
    // Files kept with zeros in place of parts that could not be read: how many, and the first names.
    std::uint32_t keptWithZeros = 0;
    std::vector<std::u16string> keptWithZerosNames;
};

// The files kept with zeros that the closing message names; the rest it counts.
inline constexpr std::uint32_t kKeptWithZerosNamed = 10;

extern SaveOutcomeBlock SaveOutcome;

// The times the next saved file gets, set by the caller before each file: an NTFS FILETIME, or a FAT
// date word in the low 16 bits.
extern std::uint64_t PendingFileTime;

// Every File Trace item is saved as this many MiB (the size chosen with the file types, at least 1).
extern std::uint32_t TraceItemSizeMiB;

extern std::uint32_t TreeInsertedCount;

// The application's switch for FAT directory parsing: when 1, the deleted state of a directory's entries
// starts at the caller's value and carries over between entries.
extern std::uint32_t InheritDeletedState;

// Frees every list, closes the source handles, detaches the image readers and the user interface, and
// sets every global back to its start-up value. For tests; no worker may run.
void ResetEngineState();
