#include "engine/recovery/ntfs/ntfs_mft_runs.h"

#include <new>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_attribute_list.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"

namespace {

// Record 5, the root folder, two sectors per record.
constexpr std::uint32_t kRootRecordSectorOffset = 10;

// Appends the runs of one extent. False when the build must end: a fault in the run list, a sparse
// run (the MFT always has its clusters), a run outside 32-bit sectors or a full table.
bool AppendExtentRuns(const std::uint8_t* record, const NtfsAttribute& attribute, std::uint32_t runList,
                      std::uint32_t volumeStart, std::uint32_t sectorsPerCluster, std::uint64_t& clusters)
{
    NtfsRunReader reader(record, runList, attribute.offset + attribute.length);
    NtfsRun run;
    for (;;) {
        const NtfsRunStep step = reader.Next(run);
        if (step == NtfsRunStep::End)
            return true;
        if (step == NtfsRunStep::Fault || run.sparse || mftRunTables.runs.size() >= kMaxMftRuns)
            return false;
        const std::uint64_t start =
            volumeStart + static_cast<std::uint64_t>(run.startCluster) * sectorsPerCluster;
        const std::uint64_t count = static_cast<std::uint64_t>(run.length) * sectorsPerCluster;
        if (start + count > std::uint64_t{UINT32_MAX} + 1)
            return false;
        try {
            mftRunTables.runs.push_back(
                {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(count)});
        } catch (const std::bad_alloc&) {
            return false;
        }
        clusters += run.length;
    }
}

} // namespace

std::vector<MftExtensionRecord> CollectMftExtensionRecords(const std::uint8_t* mftRecord,
                                                           std::uint32_t volumeStart,
                                                           std::uint32_t sectorsPerCluster)
{
    std::vector<MftExtensionRecord> records;
    for (const AttributeListEntry& entry :
         ReadAttributeListEntries(mftRecord, volumeStart, sectorsPerCluster)) {
        if (entry.type == kAttrData && entry.nameLength == 0)
            records.push_back({entry.recordNumber, entry.startVcn});
    }
    return records;
}

std::uint32_t BuildMftRunTables(std::uint32_t volumeStart, std::uint32_t /*device*/, std::uint32_t mftStart,
                                std::uint32_t sectorsPerCluster)
{
    mftRunTables = {};
    std::uint8_t record[kMftRecordSize];
    if (sectorsPerCluster == 0 || mftStart > UINT32_MAX - kRootRecordSectorOffset ||
        !ReadRecordAt(mftStart + kRootRecordSectorOffset, record) || !ReadRecordAt(mftStart, record))
        return 0;

    std::uint64_t clusters = 0;
    NtfsAttribute attribute;
    std::uint32_t runList = 0;
    if (FindDataExtent(record, 0, attribute, runList)) {
        mftRunTables.dataSize = ReadLittleEndian64(record, attribute.offset + kAttrRealSize);
        if (!AppendExtentRuns(record, attribute, runList, volumeStart, sectorsPerCluster, clusters))
            return static_cast<std::uint32_t>(mftRunTables.runs.size());
    }

    // The pieces come in the order of their VCNs; each must start where the map so far ends, or the
    // record numbers after it would be counted through the wrong runs.
    std::uint8_t extension[kMftRecordSize];
    for (const MftExtensionRecord& piece :
         CollectMftExtensionRecords(record, volumeStart, sectorsPerCluster)) {
        if (piece.recordNumber == 0 && piece.startVcn == 0 && clusters != 0)
            continue;
        if (piece.startVcn != clusters)
            break;
        const std::uint8_t* holder = record;
        if (piece.recordNumber != 0) {
            std::uint32_t sector = 0;
            bool mapped = false;
            if (mftRunTables.runs.empty()) {
                // No map yet: the MFT's first records are taken to lie together from its start.
                mapped = piece.recordNumber <= (UINT32_MAX - mftStart) / kMftRecordSectors;
                sector = mftStart + kMftRecordSectors * piece.recordNumber;
            } else {
                mapped = MftRecordToSector(piece.recordNumber, sector);
            }
            if (!mapped || !ReadRecordAt(sector, extension) ||
                ReadLittleEndian32(extension, kRecordBaseReference) != 0)
                break;
            holder = extension;
        }
        if (!FindDataExtent(holder, piece.startVcn, attribute, runList))
            break;
        if (piece.startVcn == 0)
            mftRunTables.dataSize = ReadLittleEndian64(holder, attribute.offset + kAttrRealSize);
        if (!AppendExtentRuns(holder, attribute, runList, volumeStart, sectorsPerCluster, clusters))
            break;
    }
    return static_cast<std::uint32_t>(mftRunTables.runs.size());
}

bool MftSectorToAbsolute(const MftRunTables& tables, std::uint64_t mftSector, std::uint32_t& sector)
{
    std::uint64_t before = 0;
    for (const MftRun& run : tables.runs) {
        if (mftSector < before + run.sectorCount) {
            const std::uint64_t absolute = run.startSector + (mftSector - before);
            if (absolute > UINT32_MAX)
                return false;
            sector = static_cast<std::uint32_t>(absolute);
            return true;
        }
        before += run.sectorCount;
    }
    return false;
}

bool MftRecordToSectorIn(const MftRunTables& tables, std::uint32_t recordNumber, std::uint32_t& sector)
{
    return MftSectorToAbsolute(tables, static_cast<std::uint64_t>(recordNumber) * kMftRecordSectors, sector);
}

bool MftRecordToSector(std::uint32_t recordNumber, std::uint32_t& sector)
{
    return MftRecordToSectorIn(mftRunTables, recordNumber, sector);
}

std::uint64_t MftSectorsInUse(const MftRunTables& tables)
{
    std::uint64_t sectors = 0;
    for (const MftRun& run : tables.runs)
        sectors += run.sectorCount;
    if (tables.dataSize != 0) {
        const std::uint64_t records =
            tables.dataSize / kMftRecordSize + (tables.dataSize % kMftRecordSize != 0);
        if (records < sectors / kMftRecordSectors)
            sectors = records * kMftRecordSectors;
    }
    return sectors;
}

bool ReadMftRecord(std::uint32_t recordNumber, std::uint8_t* record)
{
    const std::uint64_t first = static_cast<std::uint64_t>(recordNumber) * kMftRecordSectors;
    std::uint32_t firstSector = 0;
    std::uint32_t secondSector = 0;
    if (!MftSectorToAbsolute(mftRunTables, first, firstSector) ||
        !MftSectorToAbsolute(mftRunTables, first + 1, secondSector))
        return false;
    bool read = false;
    if (firstSector != UINT32_MAX && secondSector == firstSector + 1)
        read = ReadSectors(0, firstSector, 0, kMftRecordSectors, record) != 0;
    else
        read = ReadSectors(0, firstSector, 0, 1, record) && ReadSectors(0, secondSector, 0, 1, record + 512);
    if (!read || !HasSignature(record, "FILE"))
        return false;
    ApplyFixup(record, kMftRecordSize);
    return true;
}
