#include "engine/recovery/ntfs/ntfs_record_builders.h"

#include <new>
#include <unordered_set>

#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"

namespace {

// AddNtfsEntryNodeUnique must know whether a folder number is listed; a walk from the head for every
// node makes an Extensive Scan of a volume with a hundred thousand folders quadratic. The index follows
// ntfsEntryNodes as the FAT folder index follows fatFolders: it re-reads a list that was replaced and
// takes in records appended past its last one.
struct EntryIndex
{
    std::unordered_set<std::uint32_t> folderNumbers;
    NtfsEntryNode* indexedHead = nullptr;
    NtfsEntryNode* indexedTail = nullptr;
};

EntryIndex entryIndex;

void IndexFrom(NtfsEntryNode* node)
{
    for (; node; node = node->next) {
        entryIndex.folderNumbers.insert(node->folderNumber);
        entryIndex.indexedTail = node;
    }
}

void CatchUpEntryIndex()
{
    if (entryIndex.indexedHead != ntfsEntryNodes.head) {
        entryIndex.folderNumbers.clear();
        entryIndex.indexedHead = ntfsEntryNodes.head;
        entryIndex.indexedTail = nullptr;
        IndexFrom(ntfsEntryNodes.head);
    } else if (ntfsEntryNodes.head && entryIndex.indexedTail != ntfsEntryNodes.tail) {
        IndexFrom(entryIndex.indexedTail ? entryIndex.indexedTail->next : ntfsEntryNodes.head);
    }
}

NtfsEntryNode* LinkEntryNode(const char16_t* name, std::uint32_t folderNumber, std::uint32_t parentNumber,
                             std::uint64_t creationTime, std::uint64_t changeTime, TreeItemValue treeItem,
                             std::uint32_t deleted)
{
    auto* node = AllocateRecord<NtfsEntryNode>();
    node->name = CopyText(name);
    node->folderNumber = folderNumber;
    node->parentNumber = parentNumber;
    node->creationTime = creationTime;
    node->changeTime = changeTime;
    node->treeItem = treeItem;
    node->deleted = deleted;
    LinkAtTail(ntfsEntryNodes, node);
    ++folderCount;
    return node;
}

} // namespace

NtfsFileNode* AddNtfsFileNode(const char16_t* name, std::uint32_t recordSector, std::uint32_t parentNumber,
                              std::uint64_t creationTime, std::uint64_t changeTime, std::uint64_t dataSize,
                              std::uint32_t deleted)
{
    auto* node = AllocateRecord<NtfsFileNode>();
    node->name = CopyText(name);
    node->recordSector = recordSector;
    node->parentNumber = parentNumber;
    node->creationTime = creationTime;
    node->changeTime = changeTime;
    node->dataSize = dataSize;
    node->deleted = deleted;
    LinkAtTail(ntfsFileNodes, node);
    ++ntfsFileNodeCount;
    return node;
}

NtfsFolderNode* AddNtfsFolderNode(const char16_t* name, std::uint32_t recordSector,
                                  std::uint32_t parentNumber, std::uint32_t folderNumber,
                                  std::uint16_t volumeNumber, std::uint64_t creationTime,
                                  std::uint64_t changeTime, std::uint32_t firstIndexCluster,
                                  std::uint32_t deleted)
{
    auto* node = AllocateRecord<NtfsFolderNode>();
    node->name = CopyText(name);
    node->recordSector = recordSector;
    node->parentNumber = parentNumber;
    node->folderNumber = folderNumber;
    node->volumeNumber = volumeNumber;
    node->creationTime = creationTime;
    node->changeTime = changeTime;
    node->firstIndexCluster = firstIndexCluster;
    node->deleted = deleted;
    LinkAtTail(ntfsFolderNodes, node);
    ++foundFolderCount;
    return node;
}

NtfsScanNode* AddNtfsScanNode(std::uint32_t dataRecordSector, const char16_t* name,
                              std::uint32_t recordNumber, std::uint32_t parentNumber,
                              std::uint64_t creationTime, std::uint64_t changeTime, std::uint64_t dataSize,
                              std::uint32_t deleted)
{
    auto* node = AllocateRecord<NtfsScanNode>();
    node->name = CopyText(name);
    node->recordNumber = recordNumber;
    node->parentNumber = parentNumber;
    node->creationTime = creationTime;
    node->changeTime = changeTime;
    node->dataSize = dataSize;
    node->deleted = deleted;
    node->dataRecordSector = dataRecordSector;
    LinkAtTail(ntfsScanNodes, node);
    return node;
}

NtfsEntryNode* AddNtfsEntryNode(const char16_t* name, std::uint32_t folderNumber, std::uint32_t parentNumber,
                                std::uint64_t creationTime, std::uint64_t changeTime, TreeItemValue treeItem,
                                std::uint32_t deleted)
{
    if (ScanSelection.scanKind == kScanExtensive)
        return AddNtfsEntryNodeUnique(name, folderNumber, parentNumber, creationTime, changeTime, treeItem,
                                      deleted);
    if (folderNumber == parentNumber)
        return nullptr;
    return LinkEntryNode(name, folderNumber, parentNumber, creationTime, changeTime, treeItem, deleted);
}

NtfsEntryNode* AddNtfsEntryNodeUnique(const char16_t* name, std::uint32_t folderNumber,
                                      std::uint32_t parentNumber, std::uint64_t creationTime,
                                      std::uint64_t changeTime, TreeItemValue treeItem, std::uint32_t deleted)
{
    if (folderNumber == parentNumber)
        return nullptr;
    try {
        CatchUpEntryIndex();
        if (entryIndex.folderNumbers.contains(folderNumber))
            return nullptr;
        NtfsEntryNode* node =
            LinkEntryNode(name, folderNumber, parentNumber, creationTime, changeTime, treeItem, deleted);
        entryIndex.folderNumbers.insert(folderNumber);
        entryIndex.indexedHead = ntfsEntryNodes.head;
        entryIndex.indexedTail = node;
        return node;
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

NtfsIndexNode* AddNtfsIndexNode(std::uint32_t sector, std::uint32_t folderNumber, std::uint32_t vcn,
                                std::uint16_t marker, std::uint8_t sectorCount)
{
    auto* node = AllocateRecord<NtfsIndexNode>();
    node->sector = sector;
    node->folderNumber = folderNumber;
    node->vcn = vcn;
    node->marker = marker;
    node->sectorCount = sectorCount;
    LinkAtTail(ntfsIndexNodes, node);
    ++ntfsIndexNodeCount;
    return node;
}

void ForgetNtfsEntryIndex()
{
    entryIndex.folderNumbers.clear();
    entryIndex.indexedHead = nullptr;
    entryIndex.indexedTail = nullptr;
}
