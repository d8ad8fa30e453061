// Reading snapshot documents: the whole document is read and checked into SnapshotContents first; only a
// document read to its trailer replaces the engine's lists and state and reaches the views.
#include <utility>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_mft_runs.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/snapshot/snapshot_records.h"

namespace {

constexpr char16_t kOpeningText[] = u"Opening the file...";
constexpr char16_t kFoldersText[] = u"Enumerating the Folders...";
constexpr char16_t kFilesText[] = u"Enumerating the Files...";
constexpr char16_t kTreeText[] = u"Creating the Folders Files Tree...";
constexpr char16_t kRootText[] = u"Root";

// The progress dialog for as long as a document is read; its bar moves only when the percent changes.
class SnapshotProgress
{
public:
    SnapshotProgress()
    {
        UiShell().CreateProgressDlg(kOpeningText);
        UiShell().SetProgressDlgPos(0);
    }
    ~SnapshotProgress() { UiShell().DestroyProgressDlg(); }
    SnapshotProgress(const SnapshotProgress&) = delete;
    SnapshotProgress& operator=(const SnapshotProgress&) = delete;

    void Text(const char16_t* text)
    {
        UiShell().SetProgressDlgText(text);
        Percent(0);
    }
    void Percent(std::uint32_t percent)
    {
        if (percent == shown)
            return;
        shown = percent;
        UiShell().SetProgressDlgPos(percent);
    }

private:
    std::uint32_t shown = 0;
};

std::u16string WithoutQuotes(const char16_t* path)
{
    std::u16string clean;
    for (const char16_t* c = path ? path : u""; *c; ++c)
        if (*c != u'"')
            clean += *c;
    return clean;
}

bool IsFat(std::uint16_t fsCode)
{
    return fsCode == kFsFat16 || fsCode == kFsFat32;
}

// A count, then that many records. Nothing is reserved from the count: the list grows only by records
// that are really in the file.
template <class Staged, class ReadOne>
bool ReadRecords(SnapshotReader& in, std::uint32_t minimumRecordBytes, ReadOne readOne,
                 std::vector<Staged>& records, SnapshotProgress& progress)
{
    std::uint32_t count = 0;
    if (!ReadRecordCount(in, minimumRecordBytes, count))
        return false;
    for (std::uint32_t done = 0; done < count; ++done) {
        Staged record;
        if (!readOne(in, record))
            return false;
        records.push_back(std::move(record));
        progress.Percent(ProgressPercent(done + 1, count));
    }
    return true;
}

// Null when the document was read to its trailer, else the message that refuses it.
const char16_t* ReadDocument(SnapshotReader& in, bool trace, SnapshotContents& contents,
                             SnapshotProgress& progress)
{
    switch (ReadSnapshotHead(in, contents.mode, contents.volume)) {
    case SnapshotHeadCheck::Valid:
        break;
    case SnapshotHeadCheck::WrongTag:
        return kInvalidSnapshotVersionText;
    case SnapshotHeadCheck::WrongVersion:
        return kSnapshotVersionMismatchText;
    case SnapshotHeadCheck::Truncated:
        return kInvalidSnapshotText;
    }
    const bool modeFits =
        trace ? contents.mode == kSnapshotModeTrace
              : contents.mode == kSnapshotModeExtensive || contents.mode == kSnapshotModeQuick;
    // The drive-letter index picks an entry of DriveEntryTable when the volume is reopened.
    if (!modeFits || contents.volume.driveIndex >= kMaxDriveEntries)
        return kInvalidSnapshotText;

    bool bodyRead = false;
    if (trace) {
        bodyRead =
            ReadRecords(in, kMinSignatureRecordBytes, ReadSignatureRecord, contents.signatures, progress) &&
            ReadRecords(in, kMinTraceItemRecordBytes, ReadTraceItemRecord, contents.traceItems, progress);
    } else if (IsFat(contents.volume.fsCode)) {
        progress.Text(kFoldersText);
        bodyRead =
            ReadRecords(in, kMinFatFolderRecordBytes, ReadFatFolderRecord, contents.fatFolders, progress);
        progress.Text(kFilesText);
        bodyRead = bodyRead &&
                   ReadRecords(in, kMinFatFileRecordBytes, ReadFatFileRecord, contents.fatFiles, progress);
    } else if (contents.volume.fsCode == kFsNtfs) {
        progress.Text(kFoldersText);
        bodyRead =
            ReadRecords(in, kMinNtfsFolderRecordBytes, ReadNtfsFolderRecord, contents.ntfsFolders, progress);
        progress.Text(kFilesText);
        bodyRead = bodyRead &&
                   ReadRecords(in, kMinNtfsFileRecordBytes, ReadNtfsFileRecord, contents.ntfsFiles, progress);
    }
    if (!bodyRead || !ReadSnapshotTrailer(in, contents.trailer))
        return kInvalidSnapshotText;
    // The device index picks an entry of DeviceNameTable and DeviceGeometry.
    if (contents.trailer.deviceIndex >= kMaxDevices || contents.trailer.sourceKind > kSourceNone)
        return kInvalidSnapshotText;
    return nullptr;
}

// Every found list goes, as before a scan; the document's records take their place through the same
// appenders a scan uses, so that the counters end as after a scan of the same lists.
void ReplaceEngineState(const SnapshotContents& contents)
{
    FreeScanLists();
    FreeFolderLists();
    FreePartitionLists();
    FreeTraceFoundList();
    FreeFileSignatureList();
    mftRunTables = {};
    attributeListTable = {};

    std::uint32_t scanKind = kScanExtensive;
    std::u16string modeName;
    SnapshotModeOfLetter(contents.mode, scanKind, modeName);
    ScanSelection.scanKind = scanKind;
    ScanSelection.modeName = modeName;
    VolumeParams = contents.volume;
    SourceState.deviceIndex = contents.trailer.deviceIndex;
    SourceState.sourceKind = contents.trailer.sourceKind;

    if (scanKind == kScanFileTrace) {
        for (const SnapshotSignature& record : contents.signatures)
            AddFileSignatureRec(record.extension.c_str(), record.typeName.c_str(), record.signatureLength,
                                record.signature.c_str(), record.number);
        fileCount = 0;
        for (const SnapshotTraceItem& record : contents.traceItems) {
            AddTraceFoundRec(record.name.c_str(), record.extension.c_str(), record.typeName.c_str(),
                             record.entryId, record.startSector);
            ++fileCount;
        }
        // As the search leaves it: the entries counter follows the items from the second one on.
        folderCount = fileCount > 1 ? fileCount : 0;
        return;
    }

    if (IsFat(VolumeParams.fsCode)) {
        folderCount = 0;
        for (const SnapshotFatFolder& record : contents.fatFolders)
            AddFatFolderRec(record.name.c_str(), record.firstCluster, record.parentCluster, record.writeDate,
                            record.accessDate, 0, record.deleted != 0 ? 1 : 0);
        fileCount = 0;
        for (const SnapshotFatFile& record : contents.fatFiles) {
            AddFatFileRec(record.name.c_str(), record.firstCluster, record.parentCluster, record.writeDate,
                          record.accessDate, record.size, record.deleted != 0 ? 1 : 0);
            ++fileCount;
        }
        return;
    }

    folderCount = 0;
    for (const SnapshotNtfsFolder& record : contents.ntfsFolders) {
        NtfsEntryNode* node =
            AddNtfsEntryNode(record.name.c_str(), record.folderNumber, record.parentNumber,
                             record.creationTime, record.changeTime, 0, record.deleted != 0 ? 1 : 0);
        if (node)
            node->reserved = record.lastField;
    }
    fileCount = static_cast<std::uint32_t>(contents.ntfsFiles.size());
    for (const SnapshotNtfsFile& record : contents.ntfsFiles) {
        const std::uint32_t deleted = record.deleted != 0 ? 1 : 0;
        // The Extensive Scan's listing and saving read its file records, not the Quick Scan's nodes.
        if (scanKind == kScanExtensive)
            AddNtfsFileNode(record.name.c_str(), record.first, record.third, record.creationTime,
                            record.changeTime, record.dataSize, deleted);
        else
            AddNtfsScanNode(record.first, record.name.c_str(), record.second, record.third,
                            record.creationTime, record.changeTime, record.dataSize, deleted);
    }
}

// A logical volume is opened again by the header's drive-letter index. Every other kind reads the disk
// image the frame has open (none open: CheckSourceForSave says so before a save); a physical drive is
// never opened, as its bytes are not those of the image the document was made from.
void OpenNamedSource()
{
    ReopenSourceVolume(VolumeParams.driveIndex);
}

void BuildTreeAndList(SnapshotProgress& progress)
{
    progress.Text(kTreeText);
    RecoveryTreeUi& tree = UiRecoveryTree();
    tree.DeleteAllItems();
    const TreeItemValue root = tree.InsertFolderItem(kRootText, kTreeTop);
    TreeInsertedCount = 0;
    // The tree's builders stop on this flag; a finished scan has left it set.
    ScanThreadControl.done = 0;
    if (ScanSelection.scanKind == kScanFileTrace) {
        tree.AddTraceTypeItems(root, kRootText);
        tree.Expand(root);
    } else if (IsFat(VolumeParams.fsCode)) {
        tree.AddFatFolderItems(root, kFatRootFolder);
        tree.Expand(root);
        tree.SetCheckRecursive(root, 1);
    } else {
        tree.AddNtfsFolderItems(root, kNtfsRootFolder);
        tree.Expand(root);
        tree.SetCheckRecursive(root, 1);
    }
    UiResultList().SwitchToReportView();
    UiResultsView().SetCurrentFolderItem(root);
    if (ScanSelection.scanKind == kScanFileTrace)
        ListTraceTypeFolders();
    else if (IsFat(VolumeParams.fsCode))
        ListFolderFat(kFatRootFolder);
    else
        ListFolderNtfs(kNtfsRootFolder);
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
}

bool LoadDocument(const char16_t* path, bool trace)
{
    // The listing asks the shell for icons and type names from whatever thread loads the document.
    const PlatformComScope com;
    const char16_t* refusal = nullptr;
    {
        SnapshotProgress progress;
        SnapshotContents contents;
        SnapshotReader in;
        const std::u16string cleanPath = WithoutQuotes(path);
        if (!in.Open(cleanPath.c_str()))
            refusal = trace ? kUnableToOpenTraceSnapshotText : kUnableToOpenScanSnapshotText;
        else
            refusal = ReadDocument(in, trace, contents, progress);
        in.Close();
        if (!refusal) {
            ReplaceEngineState(contents);
            OpenNamedSource();
            if (VolumeParams.fsCode == kFsNtfs && !trace && VolumeParams.mftStart != 0)
                BuildMftRunTables(VolumeParams.clusterBase, SourceState.deviceIndex, VolumeParams.mftStart,
                                  VolumeParams.sectorsPerCluster);
            BuildTreeAndList(progress);
            progress.Percent(100);
        }
    }
    if (refusal) {
        UiMessages().ShowMessage(kMessageError, refusal);
        return false;
    }
    UiRecoveryTree().SetFocus();
    UiShell().SwitchView(4);
    return true;
}

std::u16string ModeName(std::uint32_t scanKind)
{
    std::uint32_t kind = 0;
    std::u16string name;
    SnapshotModeOfLetter(SnapshotModeLetter(scanKind), kind, name);
    return name;
}

} // namespace

bool ReadScanSnapshot(const char16_t* path)
{
    return LoadDocument(path, false);
}

bool ReadTraceSnapshot(const char16_t* path)
{
    return LoadDocument(path, true);
}

bool ReadSnapshot(const char16_t* path, std::uint32_t scanKind)
{
    return scanKind == kScanFileTrace ? ReadTraceSnapshot(path) : ReadScanSnapshot(path);
}

bool PeekSnapshotKind(const char16_t* path, std::uint32_t& scanKind)
{
    const std::u16string cleanPath = WithoutQuotes(path);
    if (!PlatformPathExists(cleanPath.c_str())) {
        UiMessages().ShowMessage(kMessageError, (cleanPath + kSnapshotMissingSuffix).c_str());
        return false;
    }
    SnapshotReader in;
    if (!in.Open(cleanPath.c_str())) {
        UiMessages().ShowMessage(kMessageError, kUnableToOpenScanSnapshotText);
        return false;
    }
    std::uint16_t letter = 0;
    std::u16string modeName;
    if (!in.U16(letter) || !SnapshotModeOfLetter(letter, scanKind, modeName)) {
        UiMessages().ShowMessage(kMessageError, kInvalidSnapshotText);
        return false;
    }
    return true;
}

bool ChooseSnapshotToLoad(std::u16string& path, std::uint32_t& scanKind)
{
    FileDialogRequest request;
    request.open = true;
    request.flags = kLoadSnapshotDialogFlags;
    request.filter = kSnapshotFilter;
    std::u16string chosen;
    if (!UiShell().RunFileDialog(request, chosen) || chosen.empty())
        return false;
    const std::u16string candidate = WithSnapshotExtension(chosen);
    std::uint32_t kind = 0;
    if (!PeekSnapshotKind(candidate.c_str(), kind))
        return false;
    const std::u16string modeName = ModeName(kind);
    if (modeName != ScanSelection.modeName) {
        const std::u16string text = u"Snapshot was saved using " + modeName + u". Select " + modeName +
                                    u" mode and then load Snapshot.";
        UiMessages().ShowMessage(kMessageError, text.c_str());
        return false;
    }
    path = candidate;
    scanKind = kind;
    return true;
}

void ReopenSourceVolume(std::uint16_t index)
{
    if (SourceState.sourceKind != kSourceLogicalVolume)
        return;
    VolumeParams.driveIndex = index;
    OpenLogicalVolume(index < kMaxDriveEntries ? DriveEntryTable.entries[index] : u"");
}

bool CheckSourceForSave()
{
    std::vector<std::uint8_t> sector(kSectorSize);
    if (ReadSectors(SourceState.deviceIndex, VolumeParams.rangeStart, 0, 1, sector.data()) == 1)
        return true;
    UiMessages().ShowMessage(kMessageError, kSourceNotOpenText);
    return false;
}
