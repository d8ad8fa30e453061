#pragma once

// Where the MFT's records lie on the volume. The $MFT's own record (record 0) maps the MFT's data; when
// the MFT is in too many pieces for one record, its $ATTRIBUTE_LIST names further records that hold the
// rest of the map. The tables (mftRunTables, engine_state.h) list the pieces in the order of the data.

#include <cstdint>
#include <vector>

#include "engine/recovery/ntfs/ntfs_records.h"

// The run count is a u16 in the tables' saved form.
inline constexpr std::uint32_t kMaxMftRuns = 0xFFFF;

// Fills mftRunTables from the $MFT record at `mftStart`, the cluster numbers counted from
// `volumeStart`. Nothing is built when the root folder's record (record 5) or the $MFT record is not a
// file record. A run list that cannot be read, a sparse run, a piece of the map that does not follow on
// from the ones before, or a record of the map that cannot be read ends the build with the runs stored
// so far. Returns the number of runs.
std::uint32_t BuildMftRunTables(std::uint32_t volumeStart, std::uint32_t device, std::uint32_t mftStart,
                                std::uint32_t sectorsPerCluster);

// A record of the $MFT's attribute list that holds a piece of its unnamed $DATA.
struct MftExtensionRecord
{
    std::uint32_t recordNumber;
    std::uint64_t startVcn; // first cluster of the MFT's data that this piece maps
};

// The attribute-list entries of the (fixed-up) $MFT record that name pieces of its unnamed $DATA, in
// list order. A non-resident list is read from the volume whose cluster 0 is at `volumeStart`.
std::vector<MftExtensionRecord> CollectMftExtensionRecords(const std::uint8_t* mftRecord,
                                                           std::uint32_t volumeStart,
                                                           std::uint32_t sectorsPerCluster);

// The absolute sector of record `recordNumber` (its first half) through mftRunTables. False, with
// `sector` left alone, when the record lies beyond the tables.
bool MftRecordToSector(std::uint32_t recordNumber, std::uint32_t& sector);
bool MftRecordToSectorIn(const MftRunTables& tables, std::uint32_t recordNumber, std::uint32_t& sector);

// The absolute sector of sector `mftSector` of the MFT's data. False beyond the tables.
bool MftSectorToAbsolute(const MftRunTables& tables, std::uint64_t mftSector, std::uint32_t& sector);

// Sectors of the MFT that hold records: the sum of the runs, cut to the $MFT's data size when known.
std::uint64_t MftSectorsInUse(const MftRunTables& tables);

// Reads record `recordNumber` through mftRunTables (its halves may lie in two runs) and applies the
// fixup. False when it lies beyond the tables, a read fails or it is no file record.
bool ReadMftRecord(std::uint32_t recordNumber, std::uint8_t* record);
