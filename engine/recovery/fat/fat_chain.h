#pragma once

// Cluster chains of the selected FAT volume, followed through one FAT copy. Positions come from
// VolumeParams (fsCode, fatSize, fat1Start, fat2Start); every walk rebuilds clusterChain.
//
// A cluster number is valid from 2 up to, not including, FatClusterLimit(): a walk never reads a FAT
// sector past the copy's end and never follows a reserved, bad-cluster or end marker. FAT32 numbers are
// taken with their low 28 bits only (the high four are reserved). A chain that loops ends after its
// maxClusters + 1-th cluster.

#include <cstdint>

// FAT32 keeps 28 bits of a cluster number; the top four bits of an entry are reserved.
inline constexpr std::uint32_t kFat32ClusterMask = 0x0FFFFFFF;
// The first value that is no cluster number: 0xFFF7 and 0x0FFFFFF7 mark bad clusters, above them the
// chain ends.
inline constexpr std::uint32_t kFat16ClusterEnd = 0xFFF7;
inline constexpr std::uint32_t kFat32ClusterEnd = 0x0FFFFFF7;

// One past the highest cluster number the volume's FAT can describe: the entries of one FAT copy
// (fatSize sectors), never past the file system's own end marker. 0 when the FAT size is not known or
// the file system is not FAT16 or FAT32.
std::uint32_t FatClusterLimit();

// The cluster number of a directory entry or FAT entry as this file system reads it (FAT32: 28 bits).
std::uint32_t MaskCluster(std::uint32_t cluster);

// True for a cluster number that a chain may hold: at least 2 and below FatClusterLimit() (any number
// below the end markers while the FAT size is unknown).
bool IsUsableCluster(std::uint32_t cluster);

// Rebuilds clusterChain for a file being saved, from FAT copy 1 or 2; ends when SaveControl's stop or
// skip flag is set.
void CollectFatChain(std::uint32_t firstCluster, std::uint32_t maxClusters, std::uint16_t fatCopy);

// Rebuilds clusterChain from the first FAT copy, at most 100 clusters.
void CollectFatChainShort(std::uint32_t firstCluster);

// The scans' walk: CollectFatChain without SaveControl's flags, which belong to saving (a save that was
// stopped must not cut a later scan short).
void CollectScanFatChain(std::uint32_t firstCluster, std::uint32_t maxClusters, std::uint16_t fatCopy);
