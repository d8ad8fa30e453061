#pragma once

// The NTFS found-entry records. They live like the FAT records (malloc'ed, linked at the tail of a
// global list in engine_state.h, names owned) and are freed by the same list free routines; the NTFS
// parsing code appends them.

#include <cstdint>
#include <vector>

#include "engine/recovery/core/engine_types.h"

// A file record found by the Extensive NTFS scan.
struct NtfsFileNode
{
    char16_t* name;
    std::uint32_t recordSector; // absolute sector of the file record; also its entry ID
    std::uint32_t parentNumber;
    std::uint32_t reserved;
    std::uint64_t creationTime; // FILETIME
    std::uint64_t changeTime;   // MFT-record change time, shown as the modification time
    std::uint64_t dataSize;     // unnamed $DATA, 0 when there is none
    std::uint16_t reserved2;
    std::uint32_t deleted;
    NtfsFileNode* next;
};

// A folder record found by the Extensive NTFS scan.
struct NtfsFolderNode
{
    char16_t* name;
    std::uint32_t recordSector;
    std::uint32_t parentNumber;
    std::uint32_t folderNumber; // 5 for ".", 11 for "$Extend", else from $INDEX_ROOT; 0 when unknown
    std::uint16_t volumeNumber; // 0 when built; 0xFFFF when no volume takes it
    std::uint64_t creationTime;
    std::uint64_t changeTime;
    std::uint32_t firstIndexCluster; // first run of $INDEX_ALLOCATION $I30; 0 when none
    std::uint32_t deleted;
    NtfsFolderNode* next;
};

// A file record found by the Quick Scan.
struct NtfsScanNode
{
    char16_t* name;
    std::uint32_t recordNumber;
    std::uint32_t parentNumber;
    std::uint64_t creationTime;
    std::uint64_t changeTime;
    std::uint64_t dataSize;
    std::uint32_t deleted;
    std::uint32_t dataRecordSector; // sector of the record holding the unnamed $DATA; the entry ID
    NtfsScanNode* next;
};

// A folder of the recovered-items tree.
struct NtfsEntryNode
{
    char16_t* name;
    std::uint32_t folderNumber;
    std::uint32_t parentNumber;
    std::uint64_t creationTime;
    std::uint64_t changeTime;
    TreeItemValue treeItem; // stored by the recovered-items tree
    std::uint32_t deleted;
    std::uint16_t reserved;
    NtfsEntryNode* next;
};

// An index record found by the Extensive NTFS scan.
struct NtfsIndexNode
{
    std::uint32_t sector;
    std::uint32_t folderNumber; // parent number of the record's first index entry
    std::uint32_t vcn;          // low 32 bits
    std::uint16_t marker;       // 0xFFFF
    std::uint8_t sectorCount;
    NtfsIndexNode* next;
};

// One run of one non-resident attribute, as the last DecodeDataRuns left it.
struct DataRunNode
{
    std::uint32_t startCluster; // absolute cluster number; 0 for a sparse run
    std::uint32_t length;       // in clusters
    std::uint32_t sparse;       // 1 when the run has no clusters on disk: it reads as zeros
    DataRunNode* next;
};

// One extent of the $MFT's data, in the order of its VCNs.
struct MftRun
{
    std::uint32_t startSector; // absolute
    std::uint32_t sectorCount;
};

// Where the MFT's records lie: record n is MFT sector 2n, counted through the runs in order.
struct MftRunTables
{
    std::vector<MftRun> runs;
    std::uint64_t dataSize = 0; // real size of the $MFT's unnamed $DATA
};

inline constexpr int kAttributeListCapacity = 50;

// The records that hold the attributes of one file record: the record itself first, then the records
// its $ATTRIBUTE_LIST names.
struct AttributeListTable
{
    std::uint32_t recordNumbers[kAttributeListCapacity] = {};
    std::uint16_t count = 0;
};
