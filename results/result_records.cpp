#include "result_records.h"

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/listing/result_rows.h"
#include "engine/recovery/ntfs/ntfs_records.h"
#include "engine/recovery/trace/trace_records.h"

#include <string>

namespace {

CString Wide(const std::u16string& text)
{
    return CString(reinterpret_cast<const wchar_t*>(text.c_str()));
}

template <typename Match> FolderRecordValues FindFolder(Match match)
{
    FolderRecordValues values;
    if (IsFatVolume()) {
        for (FatFolderRec* record = fatFolders.head; record; record = record->next) {
            if (match(record->treeItem, record->firstCluster)) {
                values = {true,
                          record->firstCluster,
                          record->parentCluster,
                          record->treeItem,
                          &record->name,
                          Wide(FatDateText(record->writeDate)),
                          Wide(FatDateText(record->accessDate))};
                break;
            }
        }
    } else if (VolumeParams.fsCode == kFsNtfs) {
        for (NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next) {
            if (match(node->treeItem, node->folderNumber)) {
                values = {true,
                          node->folderNumber,
                          node->parentNumber,
                          node->treeItem,
                          &node->name,
                          Wide(FileTimeText(node->creationTime)),
                          Wide(FileTimeText(node->changeTime))};
                break;
            }
        }
    }
    return values;
}

} // namespace

bool IsFatVolume()
{
    return VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32;
}

bool IsKnownVolume()
{
    return IsFatVolume() || VolumeParams.fsCode == kFsNtfs;
}

std::uint32_t RootFolderId()
{
    return IsFatVolume() ? kFatRootFolder : kNtfsRootFolder;
}

FileRecordValues FindFileRecord(std::uint64_t id)
{
    FileRecordValues values;
    auto take = [&](char16_t*& name, std::uint64_t size, std::uint32_t start, std::uint32_t parent,
                    std::uint32_t deleted) {
        values = {true, reinterpret_cast<LPCWSTR>(name != nullptr ? name : u""), size, start, parent, deleted,
                  &name};
    };
    if (ScanSelection.scanKind == kScanFileTrace) {
        for (TraceFoundRec* record = traceFoundList.head; record && !values.found; record = record->next)
            if (record->number == id)
                take(record->name, 0, record->sector, 0, 0);
    } else if (IsFatVolume()) {
        for (FatFileRec* record = fatFiles.head; record && !values.found; record = record->next)
            if (record->fileId == id)
                take(record->name, record->size, record->firstCluster, record->parentCluster,
                     record->deleted);
    } else if (ScanSelection.scanKind == kScanQuick) {
        for (NtfsScanNode* node = ntfsScanNodes.head; node && !values.found; node = node->next)
            if (node->dataRecordSector == id)
                take(node->name, node->dataSize, node->dataRecordSector, node->parentNumber, node->deleted);
    } else {
        for (NtfsFileNode* node = ntfsFileNodes.head; node && !values.found; node = node->next)
            if (node->recordSector == id)
                take(node->name, node->dataSize, node->recordSector, node->parentNumber, node->deleted);
    }
    return values;
}

FolderRecordValues FindFolderByItem(TreeItemValue item)
{
    return FindFolder([item](TreeItemValue recordItem, std::uint32_t) { return recordItem == item; });
}

FolderRecordValues FindFolderById(std::uint32_t folderId)
{
    return FindFolder([folderId](TreeItemValue, std::uint32_t id) { return id == folderId; });
}
