#include "engine/recovery/core/list_free.h"

#include <cstdlib>
#include <type_traits>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"

namespace {

template <class Record> void FreeRecords(RecordList<Record>& list)
{
    Record* record = list.head;
    while (record) {
        Record* next = record->next;
        if constexpr (requires { record->name; })
            std::free(record->name);
        std::free(record);
        record = next;
    }
    list = {};
}

} // namespace

void FreeScanLists()
{
    FreeRecords(fatFiles);
    FreeRecords(fatFolders);
    ForgetFatFolderIndex();
    FreeRecords(ntfsEntryNodes);
    ForgetNtfsEntryIndex();
    FreeRecords(ntfsScanNodes);
    folderCount = 0;
    fileCount = 0;
    entriesDone = 0;
    listedBytes = 0;
}

void FreePartitionLists()
{
    FreeRecords(ntfsIndexNodes);
    FreeRecords(fatDirCandidates);
    FreeU32List(&bootSectorList);
    FreeRecords(ntfsFolderNodes);
    FreeRecords(ntfsFileNodes);
    FreeRecords(foundVolumes);
    foundFolderCount = 0;
    ntfsFileNodeCount = 0;
    ntfsIndexNodeCount = 0;
    bootSectorCount = 0;
    volumeCounter = 0;
}

void FreeFolderLists()
{
    FreeRecords(ntfsEntryNodes);
    ForgetNtfsEntryIndex();
    FreeRecords(ntfsScanNodes);
    folderCount = 0;
    fileCount = 0;
}

void FreeDataRunList()
{
    FreeRecords(dataRuns);
    dataRunCount = 0;
}

void FreeClusterChain()
{
    FreeRecords(clusterChain);
}

void FreeU32List(U32Node** head)
{
    U32Node* node = *head;
    while (node) {
        U32Node* next = node->next;
        std::free(node);
        node = next;
    }
    *head = nullptr;
    ForgetU32ListEnd(head);
}
