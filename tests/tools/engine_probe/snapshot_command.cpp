// engine-probe snapshot IMAGE --partition N --mode quick|extensive|trace [--volume K] [--search]
//     [--types LIST] --write FILE
// Scans row N (from 1) of the partition table as "engine-probe partitions IMAGE [--search]" prints it:
// the Quick Scan, the Extensive Scan followed by the file-system step on its volume K, or the File
// Trace search for the types of LIST (comma-separated; all of the table below when not given). Prints
// what was found and writes it as a snapshot document to FILE.
//
// engine-probe snapshot --read FILE [--image IMAGE] [--out DIR]
// Loads the document as the program loads one named on its command line (the image, when given, opened
// first as the program's frame holds it), and prints what was loaded. With --out it then marks every
// folder of the tree and every file of the root, as a checked root marks them, and saves them into DIR.
//
// Found folders and files print as "scan" prints them ("D|F, deleted, size, ID, path", then "summary");
// File Trace items as "trace" prints them ("name, extension, type name, start sector", then "summary",
// items and sectors of the range). A save prints "saved", "skipped" and "failed" with their counts. A
// document that is refused, or a save without a readable source, prints "refused" and the program's
// message and exits 2.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/image/utf16_path.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/platform/path_utils.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_output_io.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "engine/recovery/trace/trace_records.h"
#include "engine_probe/extensive_ntfs_rows.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_marking.h"
#include "engine_probe/probe_options.h"
#include "engine_probe/probe_partitions.h"
#include "engine_probe/probe_scan_rows.h"

namespace {

int Usage()
{
    std::fputs("usage: engine-probe snapshot IMAGE --partition N --mode quick|extensive|trace [--volume K] "
               "[--search] [--types LIST] --write FILE\n"
               "       engine-probe snapshot --read FILE [--image IMAGE] [--out DIR]\n",
               stderr);
    return kProbeUsage;
}

std::string Utf8(std::u16string_view text)
{
    std::string utf8;
    return Utf16ToUtf8(text, utf8) ? utf8 : std::string("?");
}

struct TraceType
{
    const char16_t* name;
    const char16_t* extension;
    const char16_t* typeName;
    const char* signature;
};

// A choice of "Raw.dat" types whose leading bytes the test disks hold.
constexpr TraceType kTraceTypes[] = {
    {u"jpg", u".jpg", u"JPEG Image", "ffd8ff"},       {u"png", u".png", u"PNG Image", "89504e470d0a1a0a"},
    {u"pdf", u".pdf", u"PDF Document", "255044462d"}, {u"zip", u".zip", u"ZIP Archive", "504b0304"},
    {u"ogg", u".ogg", u"Ogg Media", "4f676753"},      {u"wav", u".wav", u"RIFF Media", "52494646"},
    {u"mp3", u".mp3", u"MP3 Audio", "494433"},        {u"xcf", u".xcf", u"GIMP Image", "67696d7020786366"},
    {u"ppm", u".ppm", u"PPM Image", "50360a"},        {u"doc", u".doc", u"Word Document", "d0cf11e0a1b11ae1"},
};

bool ChooseTraceTypes(std::u16string_view list)
{
    if (list.empty()) {
        for (const TraceType& type : kTraceTypes)
            AddFileSignatureRec(type.extension, type.typeName,
                                static_cast<std::uint32_t>(std::string_view(type.signature).size() / 2),
                                type.signature, 0);
        return true;
    }
    while (!list.empty()) {
        const std::size_t comma = list.find(u',');
        const std::u16string_view name = list.substr(0, comma);
        list = comma == std::u16string_view::npos ? std::u16string_view() : list.substr(comma + 1);
        const TraceType* chosen = nullptr;
        for (const TraceType& type : kTraceTypes)
            chosen = name == type.name ? &type : chosen;
        if (!chosen) {
            std::fprintf(stderr, "unknown type '%s'\n", Utf8(name).c_str());
            return false;
        }
        AddFileSignatureRec(chosen->extension, chosen->typeName,
                            static_cast<std::uint32_t>(std::string_view(chosen->signature).size() / 2),
                            chosen->signature, 0);
    }
    return true;
}

// The program's messages: the last error, for the "refused" line.
class ProbeMessages final : public MessageUi
{
public:
    std::u16string lastError;

    int ShowMessage(std::uint32_t kind, const char16_t* text) override
    {
        if (kind == kMessageError)
            lastError = text ? text : u"";
        return 1;
    }
    int AskQuestion(std::uint32_t, const char16_t*) override { return kAnswerYes; }
    int HtmlMessageBox(const char16_t*, const char16_t*, std::uint32_t) override { return 1; }
    void PlainMessageBox(const char16_t*) override {}
};

// The recovered-items tree as far as saving needs it: items numbered from 1 and stored in the folder
// records. Each folder is placed once, level by level, so that parent links that go round (a crafted
// document) end.
class ProbeSnapshotTree final : public RecoveryTreeUi
{
public:
    TreeItemValue InsertFolderItem(const char16_t*, TreeItemValue) override { return ++items; }
    void AddFatFolderItems(TreeItemValue, std::uint32_t parentValue) override
    {
        Place(
            fatFolders.head, parentValue, [](const FatFolderRec* record) { return record->parentCluster; },
            [](const FatFolderRec* record) { return record->firstCluster; });
    }
    void AddNtfsFolderItems(TreeItemValue, std::uint32_t parentFolderNumber) override
    {
        Place(
            ntfsEntryNodes.head, parentFolderNumber,
            [](const NtfsEntryNode* node) { return node->parentNumber; },
            [](const NtfsEntryNode* node) { return node->folderNumber; });
    }
    void AddTraceTypeItems(TreeItemValue, const char16_t*) override {}
    std::u16string GetItemPath(TreeItemValue) override { return {}; }
    void SetCheckRecursive(TreeItemValue, int) override {}
    void CountTreeItemContents(TreeItemValue, TreeContentTotals&) override {}
    void DeleteAllItems() override { items = 0; }
    void Expand(TreeItemValue) override {}
    void SetFocus() override {}

private:
    template <class Record, class ParentOf, class ValueOf>
    void Place(Record* head, std::uint32_t rootValue, ParentOf parentOf, ValueOf valueOf)
    {
        std::unordered_map<std::uint32_t, std::vector<Record*>> children;
        for (Record* record = head; record; record = record->next)
            children[parentOf(record)].push_back(record);
        std::unordered_set<const Record*> placed;
        std::vector<std::uint32_t> pending{rootValue};
        while (!pending.empty()) {
            const std::uint32_t value = pending.back();
            pending.pop_back();
            const auto found = children.find(value);
            if (found == children.end())
                continue;
            for (Record* record : found->second) {
                if (!placed.insert(record).second)
                    continue;
                record->treeItem = ++items;
                pending.push_back(valueOf(record));
            }
        }
    }

    TreeItemValue items = 0;
};

// The parts of the user interface the commands use, attached while they run.
class ProbeUi
{
public:
    ProbeUi()
    {
        engineUi.messages = &messages;
        engineUi.recoveryTree = &tree;
        engineUi.resultList = &marks;
        engineUi.resultsView = &target;
    }
    ~ProbeUi() { engineUi = {}; }
    ProbeUi(const ProbeUi&) = delete;
    ProbeUi& operator=(const ProbeUi&) = delete;

    ProbeMessages messages;
    ProbeSnapshotTree tree;
    ProbeMarks marks;
    ProbeTarget target;
};

int Refused(const std::u16string& message)
{
    std::printf("refused\t%s\n", Utf8(message).c_str());
    return kProbeRefused;
}

void PrintResults()
{
    if (ScanSelection.scanKind == kScanFileTrace) {
        std::uint32_t items = 0;
        for (const TraceFoundRec* record = traceFoundList.head; record; record = record->next, ++items)
            std::printf("%s\t%s\t%s\t%" PRIu32 "\n", Utf8(record->name).c_str(),
                        Utf8(record->extension).c_str(), Utf8(record->typeName).c_str(), record->sector);
        std::printf("summary\t%" PRIu32 "\t%" PRIu32 "\n", items, VolumeParams.rangeCount);
        return;
    }
    std::vector<ProbeScanRow> rows;
    if (VolumeParams.fsCode == kFsNtfs && ScanSelection.scanKind == kScanExtensive) {
        // Files of the Extensive Scan are its file records within the volume.
        for (const QuickNtfsRow& row : CollectExtensiveNtfsRows())
            rows.push_back({row.folder ? 'D' : 'F', row.deleted, row.size,
                            static_cast<std::uint32_t>(row.entryId), Utf8(row.path)});
    } else {
        rows = CollectProbeScanRows();
    }
    for (const ProbeScanRow& row : rows)
        std::puts(FormatProbeScanRow(row).c_str());
    std::puts(FormatProbeScanSummary(SummarizeProbeScanRows(rows)).c_str());
}

int SaveEverything(ProbeUi& ui, const std::u16string& out)
{
    if (!CheckSourceForSave())
        return Refused(ui.messages.lastError);
    MarkEverything(ui.marks);
    // The folder browser gives a folder that is there; the probe makes the one it was given.
    if (!CreateNestedFolders(out.c_str()))
        OutputCreateFolder(out.c_str());
    ui.target.targetFolder = out;
    const SaveOutcomeBlock outcome = SaveSelection();
    std::printf("saved\t%" PRIu32 "\nskipped\t%" PRIu32 "\nfailed\t%" PRIu32 "\n", outcome.saved,
                outcome.skipped, outcome.failed);
    return kProbeOk;
}

int RunRead(const std::u16string& document, const std::u16string& imagePath, const std::u16string& out)
{
    ProbeUi ui;
    ProbeEngineImage image;
    if (!imagePath.empty() && !image.Open(imagePath)) {
        std::printf("refused\t%s\n", image.GetRefusal().c_str());
        return kProbeRefused;
    }
    std::uint32_t kind = 0;
    if (!PeekSnapshotKind(document.c_str(), kind) || !ReadSnapshot(document.c_str(), kind))
        return Refused(ui.messages.lastError);
    PrintResults();
    return out.empty() ? kProbeOk : SaveEverything(ui, out);
}

// The scan of the mode; false (after printing why) when it found nothing to keep.
bool RunScan(const PartitionEntry& entry, const std::u16string& mode, std::uint32_t volumeNumber,
             const std::u16string& types)
{
    SetProbeScanRange(entry);
    if (mode == u"quick") {
        if (RunProbeQuickScan(entry.startSector, entry.sectorCount, entry.fsCode) == 1)
            return true;
        std::puts("refused\tthe scan found no partition parameters");
        return false;
    }
    if (mode == u"extensive") {
        ScanSelection.scanKind = kScanExtensive;
        PrepareExtensiveScan();
        ExtensiveScanThread();
        if (ChooseFoundVolumeNumber(volumeNumber)) {
            ArmScanWorker();
            FileSystemScanThread();
            return true;
        }
        std::printf("refused\tno volume %u was found\n", static_cast<unsigned>(volumeNumber));
        return false;
    }
    ScanSelection.scanKind = kScanFileTrace;
    if (!ChooseTraceTypes(types))
        return false;
    ScanThreadControl.running = 1;
    ScanThreadControl.done = 0;
    FileTraceSearch();
    return true;
}

int RunWrite(const ProbeArguments& arguments, const std::u16string& document)
{
    ProbeScanOptions scan;
    std::u16string types;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::u16string& option = arguments[index];
        const bool hasValue = index + 1 < arguments.size();
        if (const int scanOption = ParseProbeScanOption(arguments, index, scan)) {
            if (scanOption < 0)
                return Usage();
        } else if (option == u"--types" && hasValue) {
            types = arguments[++index];
        } else if (option == u"--write" && hasValue) {
            ++index;
        } else {
            return Usage();
        }
    }
    const std::u16string& mode = scan.mode;
    const bool knownMode = mode == u"quick" || mode == u"extensive" || mode == u"trace";
    if (!scan.choice.IsSet() || !knownMode || (mode == u"extensive" && scan.volumeNumber == 0))
        return Usage();

    ProbeUi ui;
    ProbeEngineImage image;
    PartitionEntry byStartRow;
    const PartitionEntry* entry =
        OpenProbePartitionRow(image, arguments[0], scan.search, scan.choice, byStartRow);
    if (!entry || !RunScan(*entry, mode, scan.volumeNumber, types))
        return kProbeRefused;
    PrintResults();
    const bool written =
        mode == u"trace" ? WriteTraceSnapshotFile(document.c_str()) : WriteScanSnapshotFile(document.c_str());
    return written ? kProbeOk : Refused(ui.messages.lastError);
}

} // namespace

int RunSnapshotCommand(const ProbeArguments& arguments)
{
    std::u16string document;
    std::u16string imagePath;
    std::u16string out;
    bool reading = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const bool hasValue = index + 1 < arguments.size();
        if (arguments[index] == u"--read" && hasValue && index == 0) {
            reading = true;
            document = arguments[++index];
        } else if (reading && arguments[index] == u"--image" && hasValue) {
            imagePath = arguments[++index];
        } else if (reading && arguments[index] == u"--out" && hasValue) {
            out = arguments[++index];
        } else if (!reading && arguments[index] == u"--write" && hasValue && index > 0) {
            document = arguments[++index];
        } else if (reading) {
            return Usage();
        }
    }
    if (document.empty())
        return Usage();
    if (reading)
        return RunRead(document, imagePath, out);
    return RunWrite(arguments, document);
}
