#include "engine/recovery/listing/result_listing.h"

#include <unordered_map>
#include <unordered_set>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/text_utils.h"
#include "engine/recovery/listing/file_name_filter.h"
#include "engine/recovery/listing/result_rows.h"

namespace {

// Columns after a Quick or Extensive Scan.
constexpr int kColumnType = 1;
constexpr int kColumnSize = 2;
constexpr int kColumnCreated = 3;
constexpr int kColumnModified = 4;
constexpr int kColumnId = 5;

bool IsFatVolume()
{
    return VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32;
}

bool IsExtensiveNtfs()
{
    return ScanSelection.scanKind == kScanExtensive && VolumeParams.fsCode == kFsNtfs;
}

// The Extensive Scan collects file records from the whole range; a volume owns those after its first
// sector and up to its last.
bool LiesWithinVolume(std::uint32_t recordSector)
{
    return recordSector > VolumeParams.clusterBase && recordSector <= VolumeParams.endSector;
}

void ListNtfsFolders(ResultRows& rows, std::uint32_t folder)
{
    for (const NtfsEntryNode* node = ntfsEntryNodes.head; node && !rows.Stopped(); node = node->next) {
        if (node->parentNumber == folder)
            rows.AddFolder(node->name, node->deleted != 0, FileTimeText(node->creationTime),
                           FileTimeText(node->changeTime), node->treeItem);
    }
}

} // namespace

std::u16string FileTimeText(std::uint64_t filetime)
{
    char16_t text[kFileTimeTextSize];
    FormatFileTime(static_cast<std::uint32_t>(filetime), static_cast<std::uint32_t>(filetime >> 32), text);
    return text;
}

std::u16string FatDateText(std::uint16_t fatDate)
{
    char16_t text[kFatDateTextSize];
    FormatFatDate(fatDate, text);
    return text;
}

ResultRows::ResultRows() : list(UiResultList())
{
    list.DeleteAllItems();
}

ResultRows::~ResultRows()
{
    list.EndRows();
}

int ResultRows::Add(const char16_t* text, int imageIndex)
{
    const int row = list.InsertItem(count, text ? text : u"", imageIndex);
    if (row < 0)
        return -1;
    ++count;
    list.CheckItem(row);
    return row;
}

bool ResultRows::Stopped() const
{
    return list.RowsStopped();
}

void ResultRows::Set(int row, int column, const char16_t* text)
{
    if (row >= 0)
        list.SetItemText(row, column, text);
}

void ResultRows::AddParentEntry()
{
    Add(kParentEntryText, UiShellInfo().GetFolderIconIndex(true));
}

void ResultRows::AddFolder(const char16_t* name, bool deleted, const std::u16string& firstTime,
                           const std::u16string& secondTime, std::uint64_t treeItem)
{
    const int row = Add(name, UiShellInfo().GetFolderIconIndex(true));
    Set(row, kColumnType, deleted ? u"Deleted Folder" : u"Folder");
    Set(row, kColumnSize, u"0");
    Set(row, kColumnCreated, firstTime);
    Set(row, kColumnModified, secondTime);
    Set(row, kColumnId, DecimalText(treeItem));
}

void ResultRows::AddFile(const char16_t* name, bool deleted, std::uint64_t size,
                         const std::u16string& firstTime, const std::u16string& secondTime,
                         std::uint64_t entryId)
{
    const CShellFileInfo& shell = UiShellInfo();
    const int row = Add(name, shell.GetFileIconIndex(name, true));
    std::u16string type = deleted ? u"Deleted " : u"";
    type += shell.GetFileTypeName(name);
    Set(row, kColumnType, type);
    Set(row, kColumnSize, DecimalText(size));
    Set(row, kColumnCreated, firstTime);
    Set(row, kColumnModified, secondTime);
    Set(row, kColumnId, DecimalText(entryId));
}

void ListFolderNtfs(std::uint32_t folder)
{
    if (IsExtensiveNtfs()) {
        ListFolderNtfsExtensive(folder);
        return;
    }
    ResultRows rows;
    if (folder != kNtfsRootFolder)
        rows.AddParentEntry();
    ListNtfsFolders(rows, folder);
    for (const NtfsScanNode* node = ntfsScanNodes.head; node && !rows.Stopped(); node = node->next) {
        if (node->parentNumber == folder && PassesFileFilter(node->name))
            rows.AddFile(node->name, node->deleted == 1, node->dataSize, FileTimeText(node->creationTime),
                         FileTimeText(node->changeTime), node->dataRecordSector);
    }
    UiRecoveryTree().SetFocus();
}

void ListFolderNtfsExtensive(std::uint32_t folder)
{
    ResultRows rows;
    if (folder != kNtfsRootFolder)
        rows.AddParentEntry();
    ListNtfsFolders(rows, folder);
    for (const NtfsFileNode* node = ntfsFileNodes.head; node && !rows.Stopped(); node = node->next) {
        if (node->parentNumber == folder && LiesWithinVolume(node->recordSector) &&
            PassesFileFilter(node->name))
            rows.AddFile(node->name, node->deleted == 1, node->dataSize, FileTimeText(node->creationTime),
                         FileTimeText(node->changeTime), node->recordSector);
    }
    UiResultList().Update(1);
    UiRecoveryTree().SetFocus();
}

void ListFolderFat(std::uint32_t folder)
{
    ResultRows rows;
    if (folder != kFatRootFolder)
        rows.AddParentEntry();
    for (const FatFolderRec* record = fatFolders.head; record && !rows.Stopped(); record = record->next) {
        if (record->parentCluster == folder)
            rows.AddFolder(record->name, record->deleted != 0, FatDateText(record->writeDate),
                           FatDateText(record->accessDate), record->treeItem);
    }
    for (const FatFileRec* record = fatFiles.head; record && !rows.Stopped(); record = record->next) {
        if (record->parentCluster == folder && PassesFileFilter(record->name))
            rows.AddFile(record->name, record->deleted == 1, record->size, FatDateText(record->writeDate),
                         FatDateText(record->accessDate), record->fileId);
    }
    UiRecoveryTree().SetFocus();
}

void ComputeSelectedSize()
{
    std::uint64_t sum = 0;
    TreeContentTotals totals;

    if (IsFatVolume()) {
        std::unordered_set<TreeItemValue> folderItems;
        for (const FatFolderRec* record = fatFolders.head; record; record = record->next)
            folderItems.insert(record->treeItem);
        for (TreeItemValue item : UiResultList().GetMarkedTreeItems()) {
            if (folderItems.count(item) != 0)
                UiRecoveryTree().CountTreeItemContents(item, totals);
        }
        sum += totals.bytes;
    }

    // Entry ID -> size; the first record of the list with an ID counts. Built once, so that marking
    // every file of a large volume stays linear.
    std::unordered_map<std::uint64_t, std::uint64_t> sizes;
    if (ScanSelection.scanKind == kScanFileTrace) {
        // Found items have no size of their own.
    } else if (IsFatVolume()) {
        for (const FatFileRec* record = fatFiles.head; record; record = record->next)
            sizes.emplace(record->fileId, record->size);
    } else if (IsExtensiveNtfs()) {
        for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next)
            sizes.emplace(node->recordSector, node->dataSize);
    } else if (VolumeParams.fsCode == kFsNtfs) {
        for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
            sizes.emplace(node->dataRecordSector, node->dataSize);
    }
    if (!sizes.empty()) {
        for (std::uint64_t id : UiResultList().GetMarkedEntryIds()) {
            const auto found = sizes.find(id);
            if (found != sizes.end())
                sum += found->second;
        }
    }

    const std::u16string text = u"Selected Size : " + DecimalText(sum / 1024 / 1024) + u" MB";
    UiResultsView().SetSelectedSizeText(text.c_str());
}
