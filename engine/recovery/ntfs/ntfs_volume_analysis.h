#pragma once

// The NTFS completion step of the Extensive Scan: the boot sectors, folder records and index records
// that the sector scan collected become the NTFS volumes that once stood on the disk. A folder node
// belongs to a volume of k sectors per cluster and base sector b when the sector b + k x (the cluster of
// its first index record) begins with an index record. A boot sector gives a volume when at least one
// folder after it and within its end is confirmed that way; folders that no boot sector explains are
// paired: two folders whose first index records lie at sA and sB with clusters cA and cB agree on a
// power-of-two k with sA - k x cA = sB - k x cB = b >= 0. Each volume becomes a FoundVolumeRec and an
// item "NTFS @" followed by its base under the file-system tree's root "File System".
//
// The passes work through an index of the folder nodes (by position, by first index record and, for
// every cluster size, by base) and ask for the volume of each (cluster size, base) once, so that a disk
// with a hundred thousand folders is analysed in seconds with the results of the pairwise walk: the
// partners of a folder are found in about log n steps, and each volume's search walks the open folders
// once, reading each sector it tests once.
// Runs on the scan worker; polls ScanThreadControl.done in the walks of AssignNtfsVolume and
// InferNtfsVolumes.

#include <cstdint>

// volumeNumber of a folder node that no volume explains.
inline constexpr std::uint16_t kNtfsGivenUpVolume = 0xFFFF;

// The whole completion step: AssignMftNumbers, DeleteUnusedIndexNodes, AddNtfsBootVolumes, then, with
// the partition step's Stop button shown, InferNtfsVolumes; then every given-up folder node takes the
// volume of the node before it, the copies that a volume's $MFTMirr holds of its first records are
// dropped from the file nodes, and the scan ends: done 1, running 0, and both completion flags set.
void FinishExtensiveNtfs();

// "Analyzing Classification ( Step 1/2 )": the root item "File System", then one volume per confirmed
// boot sector, each boot sector once, in list order. Sets bootVolumesDone.
void AddNtfsBootVolumes();

// "Analyzing Classification ( Step 2/2 )": volumes inferred from pairs of folder nodes still without a
// volume, under the tree's root item; gives up (kNtfsGivenUpVolume) on folder nodes without a first
// index record. Sets inferenceDone, also after a stop.
void InferNtfsVolumes();
