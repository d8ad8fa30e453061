#pragma once

// Found-entry lists are freed whole, never record by record. None of these may run while a worker
// fills or reads the lists.

#include "engine/recovery/fat/fat_records.h"

// fatFiles, fatFolders and the NTFS entry and scan node lists with their names; clears folderCount,
// fileCount, entriesDone and listedBytes.
void FreeScanLists();

// The lists of the Extensive Scan: NTFS index, folder and file nodes, FAT directory candidates, the
// boot-sector list and the found volumes; clears foundFolderCount and the counters of those lists.
void FreePartitionLists();

// The NTFS entry and scan node lists with their names; clears folderCount and fileCount.
void FreeFolderLists();

// dataRuns, at the start of each DecodeDataRuns; clears dataRunCount.
void FreeDataRunList();

// clusterChain, at the start of each chain walk.
void FreeClusterChain();

// A list of 32-bit values known by its head; the head becomes null.
void FreeU32List(U32Node** head);
