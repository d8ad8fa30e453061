#include "engine_probe/quick_ntfs_rows.h"

#include <unordered_set>
#include <utility>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_layout.h"

std::vector<QuickNtfsRow> NtfsTreeRows(NtfsFileRowsByParent filesByParent)
{
    // Children by parent number, each in list order (the order of the MFT).
    std::unordered_map<std::uint32_t, std::vector<const NtfsEntryNode*>> foldersByParent;
    for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
        foldersByParent[node->parentNumber].push_back(node);

    std::vector<QuickNtfsRow> rows;
    std::unordered_set<std::uint32_t> visited{kNtfsRootRecord};
    // Folders still to list with their paths; an explicit stack, so that a deep chain of folders cannot
    // exhaust the thread's stack.
    std::vector<std::pair<std::uint32_t, std::u16string>> pending{{kNtfsRootRecord, u""}};
    while (!pending.empty()) {
        auto [number, path] = std::move(pending.back());
        pending.pop_back();
        const std::u16string prefix = path.empty() ? path : path + u"/";

        if (const auto files = filesByParent.find(number); files != filesByParent.end()) {
            for (QuickNtfsRow& file : files->second) {
                file.path = prefix + file.path;
                rows.push_back(std::move(file));
            }
        }
        const auto children = foldersByParent.find(number);
        if (children == foldersByParent.end())
            continue;
        std::vector<const NtfsEntryNode*> subfolders;
        for (const NtfsEntryNode* folder : children->second) {
            if (visited.insert(folder->folderNumber).second) {
                subfolders.push_back(folder);
                rows.push_back({true, folder->deleted, 0, folder->folderNumber, prefix + folder->name});
            }
        }
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            pending.emplace_back((*it)->folderNumber, prefix + (*it)->name);
    }
    return rows;
}

std::vector<QuickNtfsRow> CollectQuickNtfsRows()
{
    NtfsFileRowsByParent filesByParent;
    for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
        filesByParent[node->parentNumber].push_back(
            {false, node->deleted, node->dataSize, node->dataRecordSector, node->name});
    return NtfsTreeRows(std::move(filesByParent));
}
