#include "engine/recovery/ntfs/ntfs_index_parse.h"

#include <cstdlib>
#include <cstring>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_types.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"

namespace {

// Index root value: the node header follows the 16-byte root header.
constexpr std::uint32_t kRootNodeHeader = 16;
// The lowest record number that a user folder can have; below it lie the system files.
constexpr std::uint32_t kFirstFolderNumber = 5;
// The parent field of an index entry ends 20 bytes into the entry.
constexpr std::uint32_t kEntryParentEnd = kEntryKey + 4;

bool FindI30(const std::uint8_t* record, std::uint32_t type, bool nonResident, NtfsAttribute& found)
{
    NtfsAttributeWalk walk(record);
    NtfsAttribute attribute;
    while (walk.Next(attribute)) {
        if (attribute.type == type && attribute.nonResident == nonResident &&
            AttributeNameIs(record, attribute, "$I30")) {
            found = attribute;
            return true;
        }
    }
    return false;
}

} // namespace

std::uint32_t FindIndexAllocationI30(const std::uint8_t* record)
{
    NtfsAttribute attribute;
    return FindI30(record, kAttrIndexAllocation, true, attribute) ? attribute.offset : 0;
}

std::uint32_t GetFolderNumber(const std::uint8_t* record)
{
    NtfsAttribute attribute;
    std::uint32_t value = 0;
    std::uint32_t valueLength = 0;
    if (!FindI30(record, kAttrIndexRoot, false, attribute) ||
        !ResidentValue(record, attribute, value, valueLength) || valueLength < kRootNodeHeader + 16)
        return 0;
    const std::uint32_t valueEnd = value + valueLength;
    const std::uint64_t entry = static_cast<std::uint64_t>(value) + kRootNodeHeader +
                                ReadLittleEndian32(record, value + kRootNodeHeader);
    if (entry + kEntryKey + kFileNameText > valueEnd)
        return 0;
    const auto at = static_cast<std::uint32_t>(entry);
    if ((ReadLittleEndian16(record, at + kEntryFlags) & kEntryIsLast) ||
        record[at + kEntryKey + kFileNameLength] == 0)
        return 0;
    const std::uint32_t parent = ReadLittleEndian32(record, at + kEntryKey + kFileNameParent);
    return parent == 0xFFFFFFFF ? 0 : parent;
}

std::uint32_t GetFirstIndexCluster(std::uint32_t size, const std::uint8_t* record)
{
    NtfsAttribute attribute;
    std::uint32_t runList = 0;
    if (size < kMftRecordSize || !FindI30(record, kAttrIndexAllocation, true, attribute) ||
        !NonResidentRunList(record, attribute, runList))
        return 0;
    NtfsRunReader reader(record, runList, attribute.offset + attribute.length);
    NtfsRun run;
    if (reader.Next(run) != NtfsRunStep::Run || run.sparse)
        return 0;
    return run.startCluster;
}

int ReadIndexRecord(std::uint32_t sector, const std::uint8_t* firstSector, std::uint32_t sectorsHeld)
{
    const std::uint64_t size =
        static_cast<std::uint64_t>(ReadLittleEndian32(firstSector, kIndexAllocatedSize)) + kIndexHeader;
    if (size < kSectorSize || size % kSectorSize != 0 || size > kIndexRecordMaximum)
        return 0;
    const auto bytes = static_cast<std::uint32_t>(size);
    auto* record = static_cast<std::uint8_t*>(EngineAlloc(bytes));
    int added = 0;
    const std::uint32_t sectors = bytes / kSectorSize;
    bool read = sectorsHeld >= sectors;
    if (read)
        std::memcpy(record, firstSector, bytes);
    else
        read = ReadSectors(0, sector, 0, sectors, record) != 0;
    if (read && HasSignature(record, "INDX")) {
        ApplyFixup(record, bytes);
        const std::uint64_t entry =
            static_cast<std::uint64_t>(ReadLittleEndian32(record, kIndexEntriesOffset)) + kIndexHeader;
        if (entry + kEntryParentEnd <= bytes) {
            const std::uint32_t parent =
                ReadLittleEndian32(record, static_cast<std::size_t>(entry) + kEntryKey);
            if (parent >= kFirstFolderNumber && parent != 0xFFFFFFFF) {
                AddNtfsIndexNode(sector, parent, ReadLittleEndian32(record, kIndexVcn), 0xFFFF,
                                 static_cast<std::uint8_t>(bytes / kSectorSize));
                added = 1;
            }
        }
    }
    std::free(record);
    return added;
}
