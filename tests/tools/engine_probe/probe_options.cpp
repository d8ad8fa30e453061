#include "engine_probe/probe_options.h"

#include <cstdio>
#include <cstring>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/sector_source.h"

namespace {

// A start sector: decimal, 0 included, at most UINT32_MAX (a row's start is 32-bit).
bool ParseProbeSector(const std::u16string& text, std::uint32_t& sector)
{
    std::uint64_t value = 0;
    if (text.empty() || text.size() > 10)
        return false;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    if (value > UINT32_MAX)
        return false;
    sector = static_cast<std::uint32_t>(value);
    return true;
}

// The row of the volume whose boot sector is at `start`, with the file system and sector count that the
// partition search takes from a boot sector; false when none is there.
bool RowFromBootSector(std::uint32_t start, PartitionEntry& row)
{
    std::uint8_t boot[kSectorSize] = {};
    if (ReadSectors(0, start, 0, 1, boot) == 0 || boot[510] != 0x55 || boot[511] != 0xAA)
        return false;
    const std::uint16_t small = ReadLittleEndian16(boot + 19);
    const std::uint32_t fatSectors = small != 0 ? small : ReadLittleEndian32(boot + 32);
    if (std::memcmp(boot + 82, "FAT32", 5) == 0)
        row = {start, fatSectors, kFsFat32};
    else if (std::memcmp(boot + 54, "FAT16", 5) == 0)
        row = {start, fatSectors, kFsFat16};
    else if (std::memcmp(boot + 3, "NTFS", 4) == 0)
        row = {start, ReadLittleEndian32(boot + 40), kFsNtfs};
    else
        return false;
    return true;
}

} // namespace

bool ParseProbeNumber(const std::u16string& text, std::uint32_t& number, std::size_t maxDigits)
{
    number = 0;
    if (text.empty() || text.size() > maxDigits)
        return false;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        number = number * 10 + static_cast<std::uint32_t>(c - u'0');
    }
    return number != 0;
}

int ParseProbeVolumeOption(const std::vector<std::u16string>& arguments, std::size_t& index,
                           ProbeVolumeChoice& choice)
{
    const std::u16string& option = arguments[index];
    if (index + 1 >= arguments.size() || (option != u"--partition" && option != u"--start"))
        return 0;
    const std::u16string& value = arguments[++index];
    if (option == u"--start") {
        choice.byStart = true;
        return ParseProbeSector(value, choice.start) ? 1 : -1;
    }
    return ParseProbeNumber(value, choice.row) ? 1 : -1;
}

int ParseProbeScanOption(const std::vector<std::u16string>& arguments, std::size_t& index,
                         ProbeScanOptions& options)
{
    if (const int volumeOption = ParseProbeVolumeOption(arguments, index, options.choice))
        return volumeOption;
    const std::u16string& option = arguments[index];
    if (option == u"--search") {
        options.search = true;
        return 1;
    }
    if (index + 1 >= arguments.size())
        return 0;
    if (option == u"--volume")
        return ParseProbeNumber(arguments[++index], options.volumeNumber) ? 1 : -1;
    if (option == u"--mode") {
        options.mode = arguments[++index];
        return 1;
    }
    return 0;
}

const PartitionEntry* OpenProbePartitionRow(ProbeEngineImage& image, const std::u16string& path, bool search,
                                            const ProbeVolumeChoice& choice, PartitionEntry& byStartRow)
{
    if (!image.Open(path)) {
        std::printf("refused\t%s\n", image.GetRefusal().c_str());
        return nullptr;
    }
    FillProbePartitionTable(search);
    if (choice.byStart) {
        if (!RowFromBootSector(choice.start, byStartRow)) {
            std::printf("refused\tno FAT or NTFS boot sector at sector %u\n",
                        static_cast<unsigned>(choice.start));
            return nullptr;
        }
        return &byStartRow;
    }
    const std::uint32_t row = choice.row;
    if (row == 0 || row > partitionCount || row > kMaxPartitions) {
        std::printf("refused\tthe partition table has %u rows\n", static_cast<unsigned>(partitionCount));
        return nullptr;
    }
    return &partitionTable[row - 1];
}

void SetProbeScanRange(const PartitionEntry& entry)
{
    VolumeParams.scanFsCode = entry.fsCode;
    VolumeParams.rangeStart = entry.startSector;
    VolumeParams.rangeCount = entry.sectorCount;
    VolumeParams.rangeEnd =
        entry.sectorCount != 0 ? entry.startSector + entry.sectorCount - 1 : entry.startSector;
}
