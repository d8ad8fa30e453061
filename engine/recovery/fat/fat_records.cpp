#include "engine/recovery/fat/fat_records.h"

#include <cstdlib>
#include <new>
#include <unordered_map>

#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"

namespace {

// AddFatFolderRec must find a listed folder by its first cluster; a walk from the head for every new
// folder makes a volume with a hundred thousand folders quadratic. The index follows fatFolders: it
// remembers which list it was built for and takes in records appended past its last one, so a list that
// was replaced or grew by other means is re-read instead of trusted.
struct FatFolderIndex
{
    std::unordered_map<std::uint32_t, FatFolderRec*> byFirstCluster;
    FatFolderRec* indexedHead = nullptr;
    FatFolderRec* indexedTail = nullptr;
};

FatFolderIndex folderIndex;

void IndexFrom(FatFolderRec* record)
{
    for (; record; record = record->next) {
        folderIndex.byFirstCluster.try_emplace(record->firstCluster, record);
        folderIndex.indexedTail = record;
    }
}

void CatchUpFolderIndex()
{
    if (folderIndex.indexedHead != fatFolders.head) {
        folderIndex.byFirstCluster.clear();
        folderIndex.indexedHead = fatFolders.head;
        folderIndex.indexedTail = nullptr;
        IndexFrom(fatFolders.head);
    } else if (fatFolders.head && folderIndex.indexedTail != fatFolders.tail) {
        IndexFrom(folderIndex.indexedTail ? folderIndex.indexedTail->next : fatFolders.head);
    }
}

// The last node of each U32Node list that AppendU32Node has seen, by the address of the list's head, so
// that appending stays linear for lists of many thousand boot sectors. An entry is used only while the
// list still starts with the node it was recorded for; FreeU32List drops it.
struct U32ListEnd
{
    U32Node* first;
    U32Node* last;
};

std::unordered_map<U32Node**, U32ListEnd> u32ListEnds;

} // namespace

FatFileRec* AddFatFileRec(const char16_t* name, std::uint32_t firstCluster, std::uint32_t parentCluster,
                          std::uint16_t writeDate, std::uint16_t accessDate, std::uint32_t size,
                          std::uint32_t deleted)
{
    auto* record = AllocateRecord<FatFileRec>();
    record->name = CopyText(name);
    record->firstCluster = firstCluster;
    record->parentCluster = parentCluster;
    record->writeDate = writeDate;
    record->accessDate = accessDate;
    record->size = size;
    record->deleted = deleted;
    record->fileId = fileCount;
    LinkAtTail(fatFiles, record);
    return record;
}

FatFolderRec* AddFatFolderRec(const char16_t* name, std::uint32_t firstCluster, std::uint32_t parentCluster,
                              std::uint16_t writeDate, std::uint16_t accessDate, std::uint32_t /*extraValue*/,
                              std::uint32_t deleted)
{
    try {
        CatchUpFolderIndex();
        const auto found = folderIndex.byFirstCluster.find(firstCluster);
        if (found != folderIndex.byFirstCluster.end()) {
            FatFolderRec* listed = found->second;
            if (deleted == 0 && listed->deleted != 0) {
                char16_t* liveName = CopyText(name);
                std::free(listed->name);
                listed->name = liveName;
                listed->deleted = 0;
            }
            return listed;
        }

        auto* record = AllocateRecord<FatFolderRec>();
        record->name = CopyText(name);
        record->firstCluster = firstCluster;
        record->parentCluster = parentCluster;
        record->writeDate = writeDate;
        record->accessDate = accessDate;
        record->treeItem = 0;
        record->deleted = deleted;
        LinkAtTail(fatFolders, record);
        folderIndex.byFirstCluster.emplace(firstCluster, record);
        folderIndex.indexedHead = fatFolders.head;
        folderIndex.indexedTail = record;
        ++folderCount;
        return record;
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

FatFolderRec* FindFatFolderByFirstCluster(std::uint32_t firstCluster)
{
    try {
        CatchUpFolderIndex();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
    const auto found = folderIndex.byFirstCluster.find(firstCluster);
    return found == folderIndex.byFirstCluster.end() ? nullptr : found->second;
}

FatDirCandidate* AddFatDirCandidate(std::uint32_t sector, std::uint32_t firstCluster,
                                    std::uint32_t parentCluster, std::uint16_t writeDate,
                                    std::uint16_t accessDate)
{
    auto* record = AllocateRecord<FatDirCandidate>();
    record->sector = sector;
    record->firstCluster = firstCluster;
    record->parentCluster = parentCluster;
    record->writeDate = writeDate;
    record->accessDate = accessDate;
    record->volumeNumber = 0;
    LinkAtTail(fatDirCandidates, record);
    return record;
}

ClusterNode* AddClusterNode(std::uint32_t cluster)
{
    auto* node = AllocateRecord<ClusterNode>();
    node->cluster = cluster;
    LinkAtTail(clusterChain, node);
    return node;
}

U32Node* AppendU32Node(U32Node** head, std::uint32_t value)
{
    auto* node = AllocateRecord<U32Node>();
    node->value = value;
    node->next = nullptr;
    try {
        if (!*head) {
            *head = node;
            u32ListEnds[head] = {node, node};
            return node;
        }
        U32ListEnd& end = u32ListEnds[head];
        U32Node* last = end.first == *head && end.last ? end.last : *head;
        while (last->next)
            last = last->next;
        last->next = node;
        end = {*head, node};
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
    return node;
}

void ForgetFatFolderIndex()
{
    folderIndex.byFirstCluster.clear();
    folderIndex.indexedHead = nullptr;
    folderIndex.indexedTail = nullptr;
}

void ForgetU32ListEnd(U32Node** head)
{
    u32ListEnds.erase(head);
}
