#pragma once

// The FAT side of the found entries: files, folders, directory-cluster candidates, the cluster chain of
// one walk, and plain lists of 32-bit values. Records are malloc'ed, linked at the tail of their global
// list (engine_state.h) and freed whole by the list free routines (list_free.h).

#include <cstdint>

#include "engine/recovery/core/engine_types.h"

struct FatFileRec
{
    char16_t* name; // owned
    std::uint32_t firstCluster;
    std::uint32_t parentCluster; // first cluster of the folder that lists it
    std::uint16_t writeDate;     // FAT date words
    std::uint16_t accessDate;
    std::uint32_t size;
    std::uint32_t deleted; // 1 when the directory entry was marked deleted
    std::uint32_t fileId;  // fileCount when the record was added
    FatFileRec* next;
};

struct FatFolderRec
{
    char16_t* name;              // owned
    std::uint32_t firstCluster;  // kLostDirValue for "Lost Dir"
    std::uint32_t parentCluster; // kLostDirValue for the folders placed under "Lost Dir"
    std::uint16_t writeDate;
    std::uint16_t accessDate;
    TreeItemValue treeItem; // stored by the recovered-items tree when it inserts the folder
    std::uint32_t deleted;
    FatFolderRec* next;
};

// A directory cluster that the sector scan recognised by its "." and ".." entries.
struct FatDirCandidate
{
    std::uint32_t sector;
    std::uint32_t firstCluster;  // of the "." entry
    std::uint32_t parentCluster; // of the ".." entry
    std::uint16_t writeDate;
    std::uint16_t accessDate;
    std::uint16_t volumeNumber; // 0 until the volume inference numbers it; 0xFFFF when it fits none
    FatDirCandidate* next;
};

struct ClusterNode
{
    std::uint32_t cluster;
    ClusterNode* next;
};

struct U32Node
{
    std::uint32_t value;
    U32Node* next;
};

// Appends a file with fileId = fileCount; the caller advances fileCount.
FatFileRec* AddFatFileRec(const char16_t* name, std::uint32_t firstCluster, std::uint32_t parentCluster,
                          std::uint16_t writeDate, std::uint16_t accessDate, std::uint32_t size,
                          std::uint32_t deleted);

// Adds a folder unless one with the same first cluster is listed; a listed deleted folder is revived by
// a live one (it takes the new name). A new record counts in folderCount. `extraValue` is not kept.
// Returns the listed or new record.
FatFolderRec* AddFatFolderRec(const char16_t* name, std::uint32_t firstCluster, std::uint32_t parentCluster,
                              std::uint16_t writeDate, std::uint16_t accessDate, std::uint32_t extraValue,
                              std::uint32_t deleted);

FatDirCandidate* AddFatDirCandidate(std::uint32_t sector, std::uint32_t firstCluster,
                                    std::uint32_t parentCluster, std::uint16_t writeDate,
                                    std::uint16_t accessDate);

// Appends to clusterChain.
ClusterNode* AddClusterNode(std::uint32_t cluster);

// Appends to the list whose head `head` points at (the first node becomes the head).
U32Node* AppendU32Node(U32Node** head, std::uint32_t value);

// The first-cluster index of AddFatFolderRec; the free routines drop it with the list.
void ForgetFatFolderIndex();

// The first listed folder whose first cluster is the given one, through the same index; null when none.
FatFolderRec* FindFatFolderByFirstCluster(std::uint32_t firstCluster);

// AppendU32Node remembers the last node of each list; FreeU32List drops that note.
void ForgetU32ListEnd(U32Node** head);
