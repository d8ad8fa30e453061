// engine-probe partitions IMAGE [--search]: the partition table as the drive step builds it, one row a
// line: index (from 1), start sector, sector count, file-system code, and the text of the row's item in
// the source tree.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_partitions.h"

namespace {

std::string Narrow(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace

int RunPartitionsCommand(const ProbeArguments& arguments)
{
    const bool search = arguments.size() == 2 && arguments[1] == u"--search";
    if (arguments.empty() || arguments.size() > 2 || (arguments.size() == 2 && !search)) {
        std::fputs("usage: engine-probe partitions IMAGE [--search]\n", stderr);
        return kProbeUsage;
    }
    ProbeEngineImage image;
    if (!image.Open(arguments[0])) {
        std::printf("refused\t%s\n", image.GetRefusal().c_str());
        return kProbeRefused;
    }
    std::vector<std::u16string> labels;
    FillProbePartitionTable(search, &labels);
    for (std::uint32_t i = 0; i < partitionCount && i < kMaxPartitions; ++i) {
        const PartitionEntry& row = partitionTable[i];
        const std::string label = i < labels.size() ? Narrow(labels[i]) : "-";
        std::printf("%" PRIu32 "\t%" PRIu32 "\t%" PRIu32 "\t%u\t%s\n", i + 1, row.startSector,
                    row.sectorCount, static_cast<unsigned>(row.fsCode), label.c_str());
    }
    return kProbeOk;
}
