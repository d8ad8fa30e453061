// engine-probe scan IMAGE --partition N|--start S --mode quick [--search]: runs the Quick Scan of row N
// (from 1) of the partition table as "engine-probe partitions IMAGE [--search]" prints it, or of the
// volume whose boot sector is at sector S, and prints one line per
// found folder and file, "D" or "F", deleted 0 or 1, size in bytes, entry ID (a folder: its first
// cluster, on NTFS its record number) and the path from the volume root with "/" between names; then
// "summary", the number of folders, files and deleted entries. Exit 3 when the scan found no partition
// parameters.
#include <cstdio>
#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_options.h"
#include "engine_probe/probe_partitions.h"
#include "engine_probe/probe_scan_rows.h"

namespace {

int Usage()
{
    std::fputs("usage: engine-probe scan IMAGE --partition N|--start S --mode quick [--search]\n", stderr);
    return kProbeUsage;
}

} // namespace

int RunScanCommand(const ProbeArguments& arguments)
{
    if (AsksForExtensiveScan(arguments))
        return RunExtensiveScanCommand(arguments);
    if (arguments.empty())
        return Usage();
    ProbeVolumeChoice choice;
    std::u16string mode;
    bool search = false;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::u16string& option = arguments[index];
        if (const int volumeOption = ParseProbeVolumeOption(arguments, index, choice)) {
            if (volumeOption < 0)
                return Usage();
        } else if (option == u"--search") {
            search = true;
        } else if (option == u"--mode" && index + 1 < arguments.size()) {
            mode = arguments[++index];
        } else {
            return Usage();
        }
    }
    if (!choice.IsSet() || mode != u"quick")
        return Usage();

    ProbeEngineImage image;
    PartitionEntry byStartRow;
    const PartitionEntry* entry = OpenProbePartitionRow(image, arguments[0], search, choice, byStartRow);
    if (!entry)
        return kProbeRefused;
    const int found = RunProbeQuickScan(entry->startSector, entry->sectorCount, entry->fsCode);
    const std::vector<ProbeScanRow> rows = CollectProbeScanRows();
    for (const ProbeScanRow& scanRow : rows)
        std::puts(FormatProbeScanRow(scanRow).c_str());
    std::puts(FormatProbeScanSummary(SummarizeProbeScanRows(rows)).c_str());
    PrintProbeCutImageMessage(rows.empty());
    return found ? kProbeOk : kProbeReadFailed;
}
