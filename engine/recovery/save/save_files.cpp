// SaveSelection: everything marked in the results view, and what the closing message says about it.
#include "engine/recovery/save/save_files.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/save/save_file_common.h"
#include "engine/recovery/save/save_names.h"
#include "engine/recovery/save/save_output_io.h"

namespace {

template <class Key, class Record> using FirstRecordIndex = std::unordered_map<Key, const Record*>;

template <class Record, class Key, class KeyOf>
FirstRecordIndex<Key, Record> IndexFirstRecords(const Record* head, KeyOf keyOf)
{
    FirstRecordIndex<Key, Record> index;
    for (const Record* record = head; record; record = record->next)
        index.emplace(keyOf(record), record);
    return index;
}

// Creates the folder that a marked folder's files go into: its ancestors' names and its own, each made
// safe, under the target folder; every level is created. Empty when the result would not lie inside the
// target (it always does: each level is one safe component).
std::u16string MakeFolderPath(const std::u16string& target, const std::vector<const char16_t*>& namesTopDown)
{
    std::u16string path = target;
    for (const char16_t* name : namesTopDown) {
        path = JoinSavePath(path, MakeSafeName(name ? name : u""));
        if (!PathLiesInside(target, path))
            return {};
        OutputCreateFolder(path.c_str());
    }
    return path;
}

// The names from the top of the tree down to the folder itself, following parent links through
// `parentOf` until the root; a link that loops ends the walk.
template <class Record, class ParentOf>
std::vector<const char16_t*> NamesTopDown(const Record* folder, ParentOf parentOf)
{
    std::vector<const char16_t*> names;
    std::unordered_set<const Record*> seen;
    for (const Record* level = folder; level && seen.insert(level).second; level = parentOf(level))
        names.insert(names.begin(), level->name);
    return names;
}

// Makes the folder of each folder marked in the tree under the target, below the folders of its
// ancestors (a folder's parent is the folder whose `number` is its `parent`; `rootNumber` names the
// root), and hands the folder's record and that path to `saveInto`, which returns false when the save
// was stopped. False when the save was stopped.
template <class Record, class SaveInto>
bool SaveMarkedFolders(const std::u16string& target, const Record* head, std::uint32_t Record::*number,
                       std::uint32_t Record::*parent, std::uint32_t rootNumber, SaveInto saveInto)
{
    const auto byItem =
        IndexFirstRecords<Record, TreeItemValue>(head, [](const Record* record) { return record->treeItem; });
    const auto byNumber =
        IndexFirstRecords<Record, std::uint32_t>(head, [&](const Record* record) { return record->*number; });
    const auto parentOf = [&](const Record* record) -> const Record* {
        if (record->*parent == rootNumber)
            return nullptr;
        const auto found = byNumber.find(record->*parent);
        return found == byNumber.end() ? nullptr : found->second;
    };
    for (TreeItemValue item : UiResultList().GetMarkedTreeItems()) {
        if (SaveControl.stop == 1)
            return false;
        const auto folder = byItem.find(item);
        if (item == 0 || folder == byItem.end())
            continue;
        const std::u16string path = MakeFolderPath(target, NamesTopDown(folder->second, parentOf));
        if (!path.empty() && !saveInto(*folder->second, path))
            return false;
    }
    return true;
}

void SaveTraceSelection(const std::u16string& target)
{
    const std::vector<std::uint64_t> ids = UiResultList().GetMarkedEntryIds();
    SetMarkedTraceItems(static_cast<std::uint32_t>(ids.size()));
    const auto items = IndexFirstRecords<TraceFoundRec, std::uint64_t>(
        traceFoundList.head, [](const TraceFoundRec* record) { return record->number; });
    for (std::uint64_t id : ids) {
        if (SaveControl.stop == 1)
            return;
        const auto found = items.find(id);
        if (found == items.end())
            continue;
        // Found items carry no date: the saved file keeps the time it was written.
        PendingFileTime = 0;
        SaveTraceFile(target.c_str(), found->second->name, found->second->sector, kSaveModeSelection);
    }
}

void SaveFatSelection(const std::u16string& target)
{
    std::unordered_map<std::uint32_t, std::vector<const FatFileRec*>> filesByParent;
    for (const FatFileRec* record = fatFiles.head; record; record = record->next)
        filesByParent[record->parentCluster].push_back(record);

    const auto saveFolderFiles = [&](const FatFolderRec& folder, const std::u16string& path) {
        const auto files = filesByParent.find(folder.firstCluster);
        if (files == filesByParent.end())
            return true;
        for (const FatFileRec* record : files->second) {
            if (SaveControl.stop == 1)
                return false;
            PendingFileTime = record->writeDate;
            SaveFileFat(path.c_str(), record->fileId, kSaveModeSelection, record->firstCluster, record->size,
                        record->name, record->deleted);
        }
        return true;
    };
    if (!SaveMarkedFolders(target, fatFolders.head, &FatFolderRec::firstCluster, &FatFolderRec::parentCluster,
                           kFatRootFolder, saveFolderFiles))
        return;

    const auto byId = IndexFirstRecords<FatFileRec, std::uint64_t>(
        fatFiles.head, [](const FatFileRec* record) { return record->fileId; });
    for (std::uint64_t id : UiResultList().GetMarkedEntryIds()) {
        if (SaveControl.stop == 1)
            return;
        const auto found = byId.find(id);
        if (found == byId.end())
            continue;
        const FatFileRec* record = found->second;
        PendingFileTime = record->writeDate;
        SaveFileFat(target.c_str(), record->fileId, kSaveModeSelection, record->firstCluster, record->size,
                    record->name, record->deleted);
    }
}

void SaveNtfsSelection(const std::u16string& target)
{
    const NtfsFolderSaves folderSaves;
    const auto saveFolderFiles = [](const NtfsEntryNode& folder, const std::u16string& path) {
        SaveNtfsFolderFiles(folder.folderNumber, path.c_str());
        return true;
    };
    if (!SaveMarkedFolders(target, ntfsEntryNodes.head, &NtfsEntryNode::folderNumber,
                           &NtfsEntryNode::parentNumber, kNtfsRootFolder, saveFolderFiles))
        return;

    // A file marked in the list is found among all files, also one whose record lies outside the volume.
    std::unordered_map<std::uint64_t, NtfsFileToSave> byId;
    const auto remember = [&](const NtfsFileToSave& file) { byId.emplace(file.recordSector, file); };
    if (ScanSelection.scanKind == kScanExtensive) {
        for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next)
            remember({node->name, node->recordSector, node->dataSize, node->creationTime, node->deleted});
    } else {
        for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
            remember({node->name, node->dataRecordSector, node->dataSize, node->creationTime, node->deleted});
    }
    for (std::uint64_t id : UiResultList().GetMarkedEntryIds()) {
        if (SaveControl.stop == 1)
            return;
        const auto found = byId.find(id);
        if (found == byId.end())
            continue;
        PendingFileTime = found->second.creationTime;
        SaveFileNtfs(target.c_str(), found->second.name, found->second.recordSector, found->second.size,
                     kSaveModeSelection, found->second.deleted);
    }
}

void AppendReason(std::u16string& text, std::uint32_t count, const char16_t* reason)
{
    if (count != 0)
        text += u"\r\n" + DecimalText(count) + reason;
}

} // namespace

bool SaveOutcomeIsSuccess(const SaveOutcomeBlock& outcome)
{
    return outcome.failed == 0 && outcome.saved != 0;
}

std::u16string SaveOutcomeText(const SaveOutcomeBlock& outcome)
{
    // Success needs a file saved: a save that wrote nothing says so, not that it succeeded.
    if (outcome.failed == 0 && outcome.saved == 0 && outcome.skipped == 0)
        return u"No file was saved: nothing that was marked holds a file.";
    if (outcome.failed == 0 && outcome.saved == 0)
        return u"No file was saved: " + DecimalText(outcome.skipped) +
               u" file(s) were skipped or left out by the file filters or the recovery settings.";
    if (SaveOutcomeIsSuccess(outcome))
        return u"Files Saved Successfully.";
    std::u16string text = DecimalText(outcome.failed) + u" file(s) could not be saved completely (" +
                          DecimalText(outcome.saved) + u" saved).";
    AppendReason(
        text, outcome.notCreated,
        u" could not be created or written whole in the chosen folder; none of them was left there.");
    AppendReason(text, outcome.tooLarge,
                 u" were too large for the free space of the chosen folder's drive, which keeps no gaps in "
                 u"files; none of them was made.");
    AppendReason(text, outcome.nothingRead,
                 u" had no data that could be read (a read error, or a disk image file cut short); no file "
                 u"was made.");
    AppendReason(text, outcome.unreadable, u" had parts that could not be read; zeros stand in for them.");
    AppendReason(text, outcome.beyondImageEnd,
                 u" had parts past the end of the disk image file, which is cut short; zeros stand in for "
                 u"them.");
    AppendReason(text, outcome.outsideVolume,
                 u" had clusters outside the volume or no cluster size; those parts were not read.");
    AppendReason(text, outcome.noData, u" had no data that could be found; no file was made.");
    AppendReason(text, outcome.storedAsIs,
                 u" are compressed or encrypted and were saved as stored, not decoded.");
    if (outcome.keptWithZeros != 0) {
        text += u"\r\nFiles kept with zeros in place of the parts that could not be read:";
        for (const std::u16string& name : outcome.keptWithZerosNames)
            text += u"\r\n    " + name;
        const auto named = static_cast<std::uint32_t>(outcome.keptWithZerosNames.size());
        if (outcome.keptWithZeros > named)
            text += u"\r\n    and " + DecimalText(outcome.keptWithZeros - named) + u" more.";
    }
    return text;
}

void BrowseForSaveFolder(std::u16string& folder)
{
    folder.clear();
    std::u16string chosen = UiResultsView().BrowseForFolder(u"Please select the path to save the data");
    if (!chosen.empty())
        folder = std::move(chosen);
}

SaveOutcomeBlock SaveFoundFiles(const std::u16string& target, const std::vector<std::uint64_t>& ids)
{
    SaveOutcome = {};
    SaveOutcome.target = target;
    const bool fat = VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32;
    if (target.empty() || ScanSelection.scanKind == kScanFileTrace ||
        (!fat && VolumeParams.fsCode != kFsNtfs))
        return SaveOutcome;
    // What a save needs of a record (first cluster or record sector, and the FAT date or FILETIME), by
    // ID; the first record of the list with an ID counts.
    struct FoundFile
    {
        const char16_t* name;
        std::uint32_t start;
        std::uint64_t size;
        std::uint64_t time;
        std::uint32_t deleted;
    };
    std::unordered_map<std::uint64_t, FoundFile> byId;
    if (fat) {
        for (const FatFileRec* record = fatFiles.head; record; record = record->next)
            byId.emplace(record->fileId, FoundFile{record->name, record->firstCluster, record->size,
                                                   record->writeDate, record->deleted});
    } else if (ScanSelection.scanKind == kScanExtensive) {
        for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next)
            byId.emplace(node->recordSector, FoundFile{node->name, node->recordSector, node->dataSize,
                                                       node->creationTime, node->deleted});
    } else {
        for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
            byId.emplace(node->dataRecordSector, FoundFile{node->name, node->dataRecordSector, node->dataSize,
                                                           node->creationTime, node->deleted});
    }

    std::uint32_t counter = 0;
    for (std::uint64_t id : ids) {
        if (SaveControl.stop == 1)
            break;
        const auto found = byId.find(id);
        if (found == byId.end()) {
            // A row that no record of the current lists answers has nothing to save.
            ++SaveOutcome.skipped;
            continue;
        }
        const FoundFile& file = found->second;
        // As-is saves show nothing themselves: the dialog names each file here.
        SavingDialogUi& dialog = UiSavingDialog();
        dialog.SetFileNameText(MakeSafeName(file.name ? file.name : u"").c_str());
        dialog.SetFolderText(target.c_str());
        dialog.SetCounterText(DecimalText(++counter).c_str());
        PendingFileTime = file.time;
        if (fat)
            SaveFileFat(target.c_str(), static_cast<std::uint32_t>(id), kSaveModeAsIs, file.start,
                        static_cast<std::uint32_t>(file.size), file.name, file.deleted);
        else
            SaveFileNtfs(target.c_str(), file.name, file.start, file.size, kSaveModeAsIs, file.deleted);
    }
    return SaveOutcome;
}

SaveOutcomeBlock SaveSelection()
{
    SaveOutcome = {};
    const std::u16string target = UiResultsView().GetTargetFolder();
    SaveOutcome.target = target;
    if (target.empty())
        return SaveOutcome;
    if (ScanSelection.scanKind == kScanFileTrace)
        SaveTraceSelection(target);
    else if (VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32)
        SaveFatSelection(target);
    else if (VolumeParams.fsCode == kFsNtfs)
        SaveNtfsSelection(target);
    return SaveOutcome;
}
