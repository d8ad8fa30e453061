#include "engine/recovery/listing/find_files.h"

#include <unordered_map>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/text_utils.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/file_name_filter.h"
#include "engine/recovery/listing/result_rows.h"
#include "engine/recovery/ntfs/ntfs_records.h"

namespace {

// The tree paths of the folders that files lie in, by folder ID: the first folder record with the ID
// names the tree item; each path is asked of the tree once.
class FolderPaths
{
public:
    void Add(std::uint32_t folderId, TreeItemValue item) { items.emplace(folderId, item); }

    const std::u16string& PathOf(std::uint32_t folderId)
    {
        const auto known = paths.find(folderId);
        if (known != paths.end())
            return known->second;
        std::u16string path = u"\\";
        const auto folder = items.find(folderId);
        if (folder != items.end() && folder->second != 0)
            path += UiRecoveryTree().GetItemPath(folder->second);
        return paths.emplace(folderId, std::move(path)).first->second;
    }

private:
    std::unordered_map<std::uint32_t, TreeItemValue> items;
    std::unordered_map<std::uint32_t, std::u16string> paths;
};

class Search
{
public:
    Search(const char16_t* pattern, const std::atomic<int>& stop,
           const std::function<void(const FoundFileRow&)>& add)
        : upperPattern(UpperCaseName(pattern ? pattern : u"")), stop(stop), add(add)
    {}

    bool Stopped() const { return stop.load() != 0; }

    // Hands the file over when its name matches.
    void Offer(const char16_t* name, std::uint32_t folderId, std::uint64_t size, std::u16string created,
               std::u16string modified, std::uint64_t id)
    {
        if (name == nullptr || MatchWildcard(UpperCaseName(name).c_str(), upperPattern.c_str()) != 1)
            return;
        FoundFileRow row;
        row.name = name;
        row.path = folders.PathOf(folderId);
        row.size = size;
        row.created = std::move(created);
        row.modified = std::move(modified);
        row.id = id;
        add(row);
        ++count;
    }

    FolderPaths folders;
    std::uint32_t count = 0;

private:
    std::u16string upperPattern;
    const std::atomic<int>& stop;
    const std::function<void(const FoundFileRow&)>& add;
};

// The volume's own file records after an Extensive Scan lie after its first sector and up to its last,
// as the listings count them.
bool LiesWithinVolume(std::uint32_t recordSector)
{
    return recordSector > VolumeParams.clusterBase && recordSector <= VolumeParams.endSector;
}

void FindNtfsFolders(Search& search)
{
    // The map keeps the first node it is given for an ID: the list's first node names the folder.
    for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
        search.folders.Add(node->folderNumber, node->treeItem);
}

} // namespace

std::uint32_t FindFiles(const char16_t* pattern, const std::atomic<int>& stop,
                        const std::function<void(const FoundFileRow&)>& add)
{
    Search search(pattern, stop, add);
    if (ScanSelection.scanKind == kScanFileTrace)
        return 0;
    if (VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32) {
        for (const FatFolderRec* record = fatFolders.head; record; record = record->next)
            search.folders.Add(record->firstCluster, record->treeItem);
        for (const FatFileRec* record = fatFiles.head; record && !search.Stopped(); record = record->next)
            search.Offer(record->name, record->parentCluster, record->size, FatDateText(record->writeDate),
                         FatDateText(record->accessDate), record->fileId);
    } else if (VolumeParams.fsCode == kFsNtfs && ScanSelection.scanKind == kScanQuick) {
        FindNtfsFolders(search);
        for (const NtfsScanNode* node = ntfsScanNodes.head; node && !search.Stopped(); node = node->next)
            search.Offer(node->name, node->parentNumber, node->dataSize, FileTimeText(node->creationTime),
                         FileTimeText(node->changeTime), node->dataRecordSector);
    } else if (VolumeParams.fsCode == kFsNtfs) {
        FindNtfsFolders(search);
        for (const NtfsFileNode* node = ntfsFileNodes.head; node && !search.Stopped(); node = node->next) {
            if (LiesWithinVolume(node->recordSector))
                search.Offer(node->name, node->parentNumber, node->dataSize, FileTimeText(node->creationTime),
                             FileTimeText(node->changeTime), node->recordSector);
        }
    }
    return search.count;
}
