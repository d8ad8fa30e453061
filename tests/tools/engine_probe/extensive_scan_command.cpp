// engine-probe scan IMAGE --partition N --mode extensive [--search] [--volume K]: runs the Extensive Scan
// over row N (from 1) of the partition table as "engine-probe partitions IMAGE [--search]" prints it,
// with the row's file-system code as the chosen one, and prints one line per volume found: its number,
// file-system code, the label of its item in the file-system tree, sectors per cluster, cluster-0
// sector and end sector. With --volume K it then picks volume K as the file-system step does, runs that
// step, and prints the found folders and files and the summary as the Quick Scan's mode does.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/recovery/engine_state.h"
#include "engine/recovery/engine_ui.h"
#include "engine/recovery/extensive_ntfs_rows.h"
#include "engine/recovery/extensive_scan.h"
#include "engine/recovery/file_system_scan.h"
#include "engine/recovery/found_volume_list.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_partitions.h"
#include "engine_probe/probe_scan_rows.h"

namespace {

int Usage()
{
    std::fputs("usage: engine-probe scan IMAGE --partition N --mode extensive [--search] [--volume K]\n",
               stderr);
    return kProbeUsage;
}

bool ParseNumber(const std::u16string& text, std::uint32_t& number)
{
    number = 0;
    if (text.empty() || text.size() > 5)
        return false;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        number = number * 10 + static_cast<std::uint32_t>(c - u'0');
    }
    return number != 0;
}

std::string Ascii(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// Names are data: every UTF-16 unit is encoded, an unpaired surrogate as U+FFFD.
std::string Utf8Path(const std::u16string& text)
{
    std::string out;
    for (std::size_t index = 0; index < text.size(); ++index) {
        std::uint32_t code = text[index];
        if (code >= 0xD800 && code <= 0xDBFF && index + 1 < text.size() && text[index + 1] >= 0xDC00 &&
            text[index + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++index] - 0xDC00);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
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
    std::uint32_t row = 0;
    std::uint32_t volumeNumber = 0;
    bool search = false;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::u16string& option = arguments[index];
        if (option == u"--search") {
            search = true;
        } else if (option == u"--partition" && index + 1 < arguments.size()) {
            if (!ParseNumber(arguments[++index], row))
                return Usage();
        } else if (option == u"--volume" && index + 1 < arguments.size()) {
            if (!ParseNumber(arguments[++index], volumeNumber))
                return Usage();
        } else if (option == u"--mode" && index + 1 < arguments.size() &&
                   arguments[index + 1] == u"extensive") {
            ++index;
        } else {
            return Usage();
        }
    }
    if (row == 0)
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

    ProbePartitionTree tree;
    engineUi.partitionTree = &tree;
    ScanSelection.scanKind = kScanExtensive;
    VolumeParams.scanFsCode = entry.fsCode;
    VolumeParams.rangeStart = entry.startSector;
    VolumeParams.rangeCount = entry.sectorCount;
    VolumeParams.rangeEnd =
        entry.sectorCount != 0 ? entry.startSector + entry.sectorCount - 1 : entry.startSector;
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
            FileSystemScanThread();
            std::vector<ProbeScanRow> rows;
            if (VolumeParams.fsCode == kFsNtfs) {
                // Files of the Extensive Scan are its file records within the volume.
                for (const QuickNtfsRow& row : CollectExtensiveNtfsRows()) {
                    rows.push_back({row.folder ? 'D' : 'F', row.deleted, row.size,
                                    static_cast<std::uint32_t>(row.entryId), Utf8Path(row.path)});
                }
            } else {
                rows = CollectProbeScanRows();
            }
            for (const ProbeScanRow& scanRow : rows)
                std::puts(FormatProbeScanRow(scanRow).c_str());
            std::puts(FormatProbeScanSummary(SummarizeProbeScanRows(rows)).c_str());
        }
    }
    engineUi.partitionTree = nullptr;
    return status;
}
