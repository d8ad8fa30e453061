// engine-probe save IMAGE --partition N|--start S --mode quick|extensive [--volume K] [--search] --out DIR
//     [--deleted include|only|exclude] [--duplicates rename|overwrite|skip] [--time]
// Scans row N (from 1) of the partition table as "engine-probe partitions IMAGE [--search]" prints it,
// or the volume whose boot sector is at sector S:
// the Quick Scan, or the Extensive Scan followed by the file-system step on its volume K. Then marks
// every folder of the recovered-items tree (each saves its own files) and every file of the root by
// its ID, as the results view marks a checked root, and saves them through SaveSelection into DIR.
// Prints "saved", "skipped" and "failed" with their counts, one line each, then one line per reason
// that failed files met; with --time also "scan-time", the seconds of the scan (with the Extensive Scan's
// file-system step), and "time", the seconds of the save and its MB/s.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/platform/path_utils.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_output_io.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_marking.h"
#include "engine_probe/probe_options.h"
#include "engine_probe/probe_partitions.h"
#include "engine_probe/probe_scan_rows.h"

namespace {

int Usage()
{
    std::fputs("usage: engine-probe save IMAGE --partition N|--start S --mode quick|extensive [--volume K] "
               "[--search] "
               "--out DIR [--deleted include|only|exclude] [--duplicates rename|overwrite|skip] [--time]\n",
               stderr);
    return kProbeUsage;
}

// The recovered-items tree as far as saving needs it: items numbered from 1, stored in the folder
// records the way the real tree stores its handles; a folder reached twice (a parent loop) gets one item.
class ProbeRecoveryTree final : public RecoveryTreeUi
{
public:
    TreeItemValue InsertFolderItem(const char16_t*, TreeItemValue) override { return ++items; }
    void AddFatFolderItems(TreeItemValue, std::uint32_t parentValue) override
    {
        std::unordered_set<const void*> placed;
        AddFatLevel(parentValue, placed);
    }
    void AddNtfsFolderItems(TreeItemValue, std::uint32_t parentFolderNumber) override
    {
        std::unordered_set<const void*> placed;
        AddNtfsLevel(parentFolderNumber, placed);
    }
    void AddTraceTypeItems(TreeItemValue, const char16_t*) override {}
    std::u16string GetItemPath(TreeItemValue) override { return {}; }
    void SetCheckRecursive(TreeItemValue, int) override {}
    void CountTreeItemContents(TreeItemValue, TreeContentTotals&) override {}
    void DeleteAllItems() override { items = 0; }
    void Expand(TreeItemValue) override {}
    void SetFocus() override {}

private:
    void AddFatLevel(std::uint32_t parentValue, std::unordered_set<const void*>& placed)
    {
        for (FatFolderRec* record = fatFolders.head; record; record = record->next) {
            if (record->parentCluster != parentValue || !placed.insert(record).second)
                continue;
            record->treeItem = ++items;
            AddFatLevel(record->firstCluster, placed);
        }
    }
    void AddNtfsLevel(std::uint32_t parentNumber, std::unordered_set<const void*>& placed)
    {
        for (NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next) {
            if (node->parentNumber != parentNumber || !placed.insert(node).second)
                continue;
            node->treeItem = ++items;
            AddNtfsLevel(node->folderNumber, placed);
        }
    }

    TreeItemValue items = 0;
};

// Runs the Extensive Scan over the range and the file-system step on volume `number`; false when the
// scan found no such volume.
bool RunExtensive(const PartitionEntry& entry, std::uint32_t number)
{
    ScanSelection.scanKind = kScanExtensive;
    SetProbeScanRange(entry);
    PrepareExtensiveScan();
    ExtensiveScanThread();
    const FoundVolumeRec* volume = FoundVolumeByNumber(number);
    if (!volume || !ChooseFoundVolumeNumber(number))
        return false;
    ArmScanWorker();
    FileSystemScanThread();
    return true;
}

} // namespace

int RunSaveCommand(const ProbeArguments& arguments)
{
    if (arguments.empty())
        return Usage();
    ProbeScanOptions scan;
    std::u16string out;
    bool time = false;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::u16string& option = arguments[index];
        const bool hasValue = index + 1 < arguments.size();
        if (const int scanOption = ParseProbeScanOption(arguments, index, scan)) {
            if (scanOption < 0)
                return Usage();
        } else if (option == u"--time") {
            time = true;
        } else if (option == u"--out" && hasValue) {
            out = arguments[++index];
        } else if (option == u"--deleted" && hasValue) {
            const std::u16string& value = arguments[++index];
            if (value == u"include")
                RecoverySettings.deletedPolicy = kDeletedInclude;
            else if (value == u"only")
                RecoverySettings.deletedPolicy = kDeletedOnly;
            else if (value == u"exclude")
                RecoverySettings.deletedPolicy = kDeletedExclude;
            else
                return Usage();
        } else if (option == u"--duplicates" && hasValue) {
            const std::u16string& value = arguments[++index];
            if (value == u"rename")
                RecoverySettings.duplicatePolicy = kDuplicateRename;
            else if (value == u"overwrite")
                RecoverySettings.duplicatePolicy = kDuplicateOverwrite;
            else if (value == u"skip")
                RecoverySettings.duplicatePolicy = kDuplicateSkip;
            else
                return Usage();
        } else {
            return Usage();
        }
    }
    const bool extensive = scan.mode == u"extensive";
    if (!scan.choice.IsSet() || out.empty() || (scan.mode != u"quick" && !extensive) ||
        (extensive && scan.volumeNumber == 0))
        return Usage();

    ProbeEngineImage image;
    PartitionEntry byStartRow;
    const PartitionEntry* entry =
        OpenProbePartitionRow(image, arguments[0], scan.search, scan.choice, byStartRow);
    if (!entry)
        return kProbeRefused;

    ProbeRecoveryTree tree;
    ProbeMarks list;
    ProbeTarget view;
    engineUi.recoveryTree = &tree;
    engineUi.resultList = &list;
    engineUi.resultsView = &view;
    bool found;
    const auto scanStarted = std::chrono::steady_clock::now();
    if (extensive) {
        found = RunExtensive(*entry, scan.volumeNumber);
        if (!found)
            std::printf("refused\tno volume %u was found\n", static_cast<unsigned>(scan.volumeNumber));
    } else {
        found = RunProbeQuickScan(entry->startSector, entry->sectorCount, entry->fsCode) == 1;
        if (!found)
            std::puts("refused\tthe scan found no partition parameters");
    }
    if (time && found)
        std::printf("scan-time\t%.3f\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - scanStarted).count());

    int status = found ? kProbeOk : kProbeRefused;
    if (found) {
        MarkEverything(list);
        // The folder browser gives a folder that is there; the probe makes the one it was given.
        if (!CreateNestedFolders(out.c_str()))
            OutputCreateFolder(out.c_str());
        view.targetFolder = out;
        const auto started = std::chrono::steady_clock::now();
        const SaveOutcomeBlock outcome = SaveSelection();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("saved\t%" PRIu32 "\nskipped\t%" PRIu32 "\nfailed\t%" PRIu32 "\n", outcome.saved,
                    outcome.skipped, outcome.failed);
        const struct
        {
            const char* name;
            std::uint32_t count;
        } reasons[] = {
            {"not-created", outcome.notCreated},
            {"too-large", outcome.tooLarge},
            {"nothing-read", outcome.nothingRead},
            {"unreadable", outcome.unreadable},
            {"beyond-image-end", outcome.beyondImageEnd},
            {"outside-volume", outcome.outsideVolume},
            {"no-data", outcome.noData},
            {"stored-as-is", outcome.storedAsIs},
        };
        for (const auto& reason : reasons)
            if (reason.count != 0)
                std::printf("failed-reason\t%s\t%" PRIu32 "\n", reason.name, reason.count);
        std::printf("kept-with-zeros\t%" PRIu32 "\n", outcome.keptWithZeros);
        for (const std::u16string& name : outcome.keptWithZerosNames)
            std::printf("kept-with-zeros-name\t%s\n", ProbeUtf8(name).c_str());
        if (time)
            std::printf("time\t%.3f\t%" PRIu64 " bytes\t%.1f MB/s\n", seconds, outcome.bytesWritten,
                        seconds > 0 ? static_cast<double>(outcome.bytesWritten) / (1 << 20) / seconds : 0.0);
    }
    engineUi.recoveryTree = nullptr;
    engineUi.resultList = nullptr;
    engineUi.resultsView = nullptr;
    return status;
}
