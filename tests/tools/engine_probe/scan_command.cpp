// engine-probe scan IMAGE --partition N --mode quick [--search]: runs the Quick Scan of row N (from 1) of
// the partition table as "engine-probe partitions IMAGE [--search]" prints it, and prints one line per
// found folder and file, "D" or "F", deleted 0 or 1, size in bytes, entry ID (a folder: its first
// cluster, on NTFS its record number) and the path from the volume root with "/" between names; then
// "summary", the number of folders, files and deleted entries. Exit 3 when the scan found no partition
// parameters.
#include <cstdio>
#include <string>

#include "engine/recovery/engine_state.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_partitions.h"
#include "engine_probe/probe_scan_rows.h"

namespace {

int Usage()
{
    std::fputs("usage: engine-probe scan IMAGE --partition N --mode quick [--search]\n", stderr);
    return kProbeUsage;
}

bool ParseRowNumber(const std::u16string& text, std::uint32_t& number)
{
    number = 0;
    if (text.empty() || text.size() > 3)
        return false;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        number = number * 10 + static_cast<std::uint32_t>(c - u'0');
    }
    return number != 0;
}

} // namespace

int RunScanCommand(const ProbeArguments& arguments)
{
    if (AsksForExtensiveScan(arguments))
        return RunExtensiveScanCommand(arguments);
    if (arguments.empty())
        return Usage();
    std::uint32_t row = 0;
    std::u16string mode;
    bool search = false;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::u16string& option = arguments[index];
        if (option == u"--search") {
            search = true;
        } else if (option == u"--partition" && index + 1 < arguments.size()) {
            if (!ParseRowNumber(arguments[++index], row))
                return Usage();
        } else if (option == u"--mode" && index + 1 < arguments.size()) {
            mode = arguments[++index];
        } else {
            return Usage();
        }
    }
    if (row == 0 || mode != u"quick")
        return Usage();

    ProbeEngineImage image;
    if (!image.Open(arguments[0])) {
        std::printf("refused\t%s\n", image.GetRefusal().c_str());
        return kProbeRefused;
    }
    FillProbePartitionTable(search);
    if (row > partitionCount || row > kMaxPartitions) {
        std::printf("refused\tthe partition table has %u rows\n", static_cast<unsigned>(partitionCount));
        return kProbeRefused;
    }
    const PartitionEntry& entry = partitionTable[row - 1];
    const int found = RunProbeQuickScan(entry.startSector, entry.sectorCount, entry.fsCode);
    const std::vector<ProbeScanRow> rows = CollectProbeScanRows();
    for (const ProbeScanRow& scanRow : rows)
        std::puts(FormatProbeScanRow(scanRow).c_str());
    std::puts(FormatProbeScanSummary(SummarizeProbeScanRows(rows)).c_str());
    return found ? kProbeOk : kProbeReadFailed;
}
