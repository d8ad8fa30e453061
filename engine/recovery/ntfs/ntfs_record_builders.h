#pragma once

// Appending the NTFS found-entry records (ntfs_records.h) to their global lists. Each builder copies the
// name, links the record at the tail of its list and counts it; an allocation that fails ends the
// process with the out-of-memory message.

#include <cstdint>

#include "engine/recovery/ntfs/ntfs_records.h"

// ntfsFileNodes; ntfsFileNodeCount += 1.
NtfsFileNode* AddNtfsFileNode(const char16_t* name, std::uint32_t recordSector, std::uint32_t parentNumber,
                              std::uint64_t creationTime, std::uint64_t changeTime, std::uint64_t dataSize,
                              std::uint32_t deleted);

// ntfsFolderNodes; foundFolderCount += 1.
NtfsFolderNode* AddNtfsFolderNode(const char16_t* name, std::uint32_t recordSector,
                                  std::uint32_t parentNumber, std::uint32_t folderNumber,
                                  std::uint16_t volumeNumber, std::uint64_t creationTime,
                                  std::uint64_t changeTime, std::uint32_t firstIndexCluster,
                                  std::uint32_t deleted);

// ntfsScanNodes; not counted (the Quick Scan counts its files itself).
NtfsScanNode* AddNtfsScanNode(std::uint32_t dataRecordSector, const char16_t* name,
                              std::uint32_t recordNumber, std::uint32_t parentNumber,
                              std::uint64_t creationTime, std::uint64_t changeTime, std::uint64_t dataSize,
                              std::uint32_t deleted);

// ntfsEntryNodes; folderCount += 1. During an Extensive Scan it adds through AddNtfsEntryNodeUnique. A
// folder given as its own parent is not added (null): no tree walk could ever reach it from the root,
// and a walk that followed it would never end.
NtfsEntryNode* AddNtfsEntryNode(const char16_t* name, std::uint32_t folderNumber, std::uint32_t parentNumber,
                                std::uint64_t creationTime, std::uint64_t changeTime, TreeItemValue treeItem,
                                std::uint32_t deleted);

// As AddNtfsEntryNode, but adds and counts nothing (null) when a node with the same folder number is
// listed already.
NtfsEntryNode* AddNtfsEntryNodeUnique(const char16_t* name, std::uint32_t folderNumber,
                                      std::uint32_t parentNumber, std::uint64_t creationTime,
                                      std::uint64_t changeTime, TreeItemValue treeItem,
                                      std::uint32_t deleted);

// ntfsIndexNodes; ntfsIndexNodeCount += 1.
NtfsIndexNode* AddNtfsIndexNode(std::uint32_t sector, std::uint32_t folderNumber, std::uint32_t vcn,
                                std::uint16_t marker, std::uint8_t sectorCount);

// The folder-number index of AddNtfsEntryNodeUnique; the free routines drop it with the list.
void ForgetNtfsEntryIndex();
