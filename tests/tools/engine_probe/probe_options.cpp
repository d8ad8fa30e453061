#include "engine_probe/probe_options.h"

#include <cstdio>

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

const PartitionEntry* OpenProbePartitionRow(ProbeEngineImage& image, const std::u16string& path, bool search,
                                            std::uint32_t row)
{
    if (!image.Open(path)) {
        std::printf("refused\t%s\n", image.GetRefusal().c_str());
        return nullptr;
    }
    FillProbePartitionTable(search);
    if (row > partitionCount || row > kMaxPartitions) {
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
