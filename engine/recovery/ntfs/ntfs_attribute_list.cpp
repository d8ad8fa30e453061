#include "engine/recovery/ntfs/ntfs_attribute_list.h"

#include <algorithm>
#include <cstring>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_types.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"

namespace {

// Reads up to kMaxAttributeListBytes of a non-resident value through its runs.
std::vector<std::uint8_t> ReadNonResidentValue(const std::uint8_t* record, const NtfsAttribute& attribute,
                                               std::uint32_t volumeStart, std::uint32_t sectorsPerCluster)
{
    std::vector<std::uint8_t> value;
    std::uint32_t runList = 0;
    if (sectorsPerCluster == 0 || !NonResidentRunList(record, attribute, runList))
        return value;
    const std::uint64_t size = std::min<std::uint64_t>(
        ReadLittleEndian64(record, attribute.offset + kAttrRealSize), kMaxAttributeListBytes);
    const std::uint64_t clusterBytes = std::uint64_t{sectorsPerCluster} * kSectorSize;
    value.reserve(static_cast<std::size_t>(size));
    std::vector<std::uint8_t> sectors;
    NtfsRunReader reader(record, runList, attribute.offset + attribute.length);
    NtfsRun run;
    while (value.size() < size && reader.Next(run) == NtfsRunStep::Run) {
        const auto bytes = static_cast<std::size_t>(
            std::min<std::uint64_t>(size - value.size(), std::uint64_t{run.length} * clusterBytes));
        if (run.sparse) {
            value.insert(value.end(), bytes, 0);
            continue;
        }
        const std::uint64_t first = volumeStart + std::uint64_t{run.startCluster} * sectorsPerCluster;
        const auto count = static_cast<std::uint32_t>((bytes + kSectorSize - 1) / kSectorSize);
        sectors.resize(std::size_t{count} * kSectorSize);
        if (first + count > std::uint64_t{UINT32_MAX} + 1 ||
            !ReadSectors(0, static_cast<std::uint32_t>(first), 0, count, sectors.data()))
            break;
        value.insert(value.end(), sectors.begin(), sectors.begin() + static_cast<std::ptrdiff_t>(bytes));
    }
    return value;
}

std::vector<AttributeListEntry> ParseEntries(const std::uint8_t* list, std::size_t size)
{
    std::vector<AttributeListEntry> entries;
    for (std::size_t entry = 0; size - entry >= kListEntryMinimumSize;) {
        AttributeListEntry parsed;
        parsed.type = ReadLittleEndian32(list, entry + kListEntryType);
        const std::uint32_t length = ReadLittleEndian16(list, entry + kListEntryLength);
        if (parsed.type == 0 || parsed.type == kAttrEnd || length < kListEntryMinimumSize ||
            length > size - entry)
            break;
        parsed.nameLength = list[entry + kListEntryNameLength];
        parsed.startVcn = ReadLittleEndian64(list, entry + kListEntryStartVcn);
        parsed.recordNumber = ReadLittleEndian32(list, entry + kListEntryRecord);
        entries.push_back(parsed);
        entry += length;
    }
    return entries;
}

} // namespace

std::vector<AttributeListEntry> ReadAttributeListEntries(const std::uint8_t* record,
                                                         std::uint32_t volumeStart,
                                                         std::uint32_t sectorsPerCluster)
{
    NtfsAttributeWalk walk(record);
    NtfsAttribute attribute;
    bool found = false;
    while (!found && walk.Next(attribute))
        found = attribute.type == kAttrAttributeList;
    if (!found)
        return {};
    if (attribute.nonResident) {
        const std::vector<std::uint8_t> value =
            ReadNonResidentValue(record, attribute, volumeStart, sectorsPerCluster);
        return ParseEntries(value.data(), value.size());
    }
    std::uint32_t value = 0;
    std::uint32_t valueLength = 0;
    if (!ResidentValue(record, attribute, value, valueLength))
        return {};
    return ParseEntries(record + value, valueLength);
}

bool FindDataExtent(const std::uint8_t* record, std::uint64_t startVcn, NtfsAttribute& found,
                    std::uint32_t& runList)
{
    NtfsAttributeWalk walk(record);
    NtfsAttribute attribute;
    while (walk.Next(attribute)) {
        if (attribute.type == kAttrData && attribute.nameLength == 0 &&
            NonResidentRunList(record, attribute, runList) &&
            ReadLittleEndian64(record, attribute.offset + kAttrStartVcn) == startVcn) {
            found = attribute;
            return true;
        }
    }
    return false;
}
