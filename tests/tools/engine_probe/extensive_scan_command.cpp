// engine-probe scan IMAGE --partition N|--start S|--whole-disk FS --mode extensive [--search] [--volume K]:
// runs the Extensive Scan over row N (from 1) of the partition table as "engine-probe partitions IMAGE
// [--search]" prints it (or over the volume whose boot sector is at sector S), with the row's file-system
// code as the chosen one; or, with --whole-disk, over the whole image as the drive step gives it (sectors
// 0 to the registered geometry's total less one) with FS (fat16, fat32 or ntfs) chosen, as on a disk
// without a partition table. Prints one line per volume found: its number,
// file-system code, the label of its item in the file-system tree, sectors per cluster, cluster-0
// sector and end sector. With --volume K it then picks volume K as the file-system step does, runs that
// step, and prints the found folders and files and the summary as the Quick Scan's mode does.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "engine_probe/extensive_ntfs_rows.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_options.h"
#include "engine_probe/probe_partitions.h"
#include "engine_probe/probe_scan_rows.h"

namespace {

int Usage()
{
    std::fputs("usage: engine-probe scan IMAGE --partition N|--start S|--whole-disk fat16|fat32|ntfs "
               "--mode extensive [--search] [--volume K]\n",
               stderr);
    return kProbeUsage;
}

// The file-system code of a --whole-disk value; 0 for any other text.
std::uint16_t WholeDiskFsCode(const std::u16string& name)
{
    if (name == u"fat16")
        return kFsFat16;
    if (name == u"fat32")
        return kFsFat32;
    if (name == u"ntfs")
        return kFsNtfs;
    return 0;
}

std::string Ascii(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// The file-system step's tree, kept as texts: an item's value is its index + 1.
class ProbePartitionTree final : public PartitionTreeUi
{
public:
    TreeItemValue InsertItemWithIcon(const char16_t* text, TreeItemValue) override { return Add(text); }
    TreeItemValue AddItem(const char16_t* label, TreeItemValue) override { return Add(label); }
    TreeItemValue GetRootItem() override { return labels.empty() ? 0 : 1; }
    void Expand(TreeItemValue) override {}

    std::string Label(TreeItemValue item) const
    {
        return item != 0 && item <= labels.size() ? Ascii(labels[item - 1]) : std::string("-");
    }

private:
    TreeItemValue Add(const char16_t* text)
    {
        labels.push_back(text ? text : u"");
        return labels.size();
    }
    std::vector<std::u16string> labels;
};

} // namespace

bool AsksForExtensiveScan(const ProbeArguments& arguments)
{
    for (std::size_t index = 1; index + 1 < arguments.size(); ++index)
        if (arguments[index] == u"--mode" && arguments[index + 1] == u"extensive")
            return true;
    return false;
}

int RunExtensiveScanCommand(const ProbeArguments& arguments)
{
    if (arguments.empty())
        return Usage();
    ProbeVolumeChoice choice;
    std::uint32_t volumeNumber = 0;
    std::uint16_t wholeDiskFsCode = 0;
    bool search = false;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::u16string& option = arguments[index];
        if (const int volumeOption = ParseProbeVolumeOption(arguments, index, choice)) {
            if (volumeOption < 0)
                return Usage();
        } else if (option == u"--whole-disk" && index + 1 < arguments.size()) {
            wholeDiskFsCode = WholeDiskFsCode(arguments[++index]);
            if (wholeDiskFsCode == 0)
                return Usage();
        } else if (option == u"--search") {
            search = true;
        } else if (option == u"--volume" && index + 1 < arguments.size()) {
            if (!ParseProbeNumber(arguments[++index], volumeNumber))
                return Usage();
        } else if (option == u"--mode" && index + 1 < arguments.size() &&
                   arguments[index + 1] == u"extensive") {
            ++index;
        } else {
            return Usage();
        }
    }
    if (choice.IsSet() == (wholeDiskFsCode != 0))
        return Usage();

    ProbeEngineImage image;
    PartitionEntry row;
    if (wholeDiskFsCode != 0) {
        if (!image.Open(arguments[0])) {
            std::printf("refused\t%s\n", image.GetRefusal().c_str());
            return kProbeRefused;
        }
        const DeviceGeometryEntry& geometry = DeviceGeometry[SourceState.deviceIndex];
        const std::uint64_t total =
            std::uint64_t{geometry.cylinders} * geometry.heads * geometry.sectorsPerTrack;
        row = {0, static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UINT32_MAX)), wholeDiskFsCode};
    } else {
        const PartitionEntry* entry = OpenProbePartitionRow(image, arguments[0], search, choice, row);
        if (!entry)
            return kProbeRefused;
        row = *entry;
    }

    ProbePartitionTree tree;
    engineUi.partitionTree = &tree;
    ScanSelection.scanKind = kScanExtensive;
    SetProbeScanRange(row);
    PrepareExtensiveScan();
    ExtensiveScanThread();

    std::uint32_t number = 1;
    for (const FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next, ++number)
        std::printf("%" PRIu32 "\t%u\t%s\t%" PRIu32 "\t%" PRIu32 "\t%" PRIu32 "\n", number,
                    static_cast<unsigned>(volume->fsCode), tree.Label(volume->treeItem).c_str(),
                    volume->sectorsPerCluster, volume->clusterBase, volume->endSector);

    int status = kProbeOk;
    if (volumeNumber != 0) {
        const FoundVolumeRec* volume = FoundVolumeByNumber(volumeNumber);
        // The file-system step picks a volume by its item in the tree.
        if (!volume || !ChooseFoundVolume(volume->treeItem)) {
            std::printf("refused\tthe scan found %u volumes\n", static_cast<unsigned>(volumeCounter));
            status = kProbeRefused;
        } else {
            ArmScanWorker();
            FileSystemScanThread();
            std::vector<ProbeScanRow> rows;
            if (VolumeParams.fsCode == kFsNtfs) {
                // Files of the Extensive Scan are its file records within the volume.
                for (const QuickNtfsRow& row : CollectExtensiveNtfsRows()) {
                    rows.push_back({row.folder ? 'D' : 'F', row.deleted, row.size,
                                    static_cast<std::uint32_t>(row.entryId), ProbeUtf8(row.path)});
                }
            } else {
                rows = CollectProbeScanRows();
            }
            for (const ProbeScanRow& scanRow : rows)
                std::puts(FormatProbeScanRow(scanRow).c_str());
            std::puts(FormatProbeScanSummary(SummarizeProbeScanRows(rows)).c_str());
        }
    }
    PrintProbeCutImageMessage(foundVolumes.head == nullptr);
    engineUi.partitionTree = nullptr;
    return status;
}
