#pragma once

// The file-system step's scan of an NTFS volume that the Extensive Scan found: the folder nodes of the
// chosen volume (VolumeParams.volumeNumber) become the NTFS entry list that the recovered-items tree and
// the result list show, folders and files whose parent folder was not found are gathered under
// "Lost Dir" in folders named "Dir" followed by a counter, and the tree is built under "Root". The files
// themselves stay in the file-node list; the listing takes those within the volume's sectors.
//
// Runs on the file-system step's worker, writing its panel. After a stop the entries found so far are
// placed and the tree is built from them.

#include <cstdint>

inline constexpr char16_t kNtfsLostDirText[] = u"Lost Dir";
// A folder known only by the number its children name: "Dir" followed by the counter.
inline constexpr char16_t kNtfsLostParentPrefix[] = u"Dir";

// Extracts the entries of the chosen volume, places the lost ones and builds the tree; at the end done 1
// and running 0.
void ScanNtfsSteps();

// "Lost Dir" (folder number kLostDirValue, under the root), then a "Dir" folder under it for every
// parent number that no entry has: the parents of the entries, and the parents of the files of the
// scan (Quick Scan: its scan nodes, which stand under the root instead; Extensive Scan: the file nodes
// within the volume's sectors). `counter` numbers the "Dir" folders and is advanced by each. A chain of
// parents that loops back on itself is cut where it closes: that folder moves under "Lost Dir", so
// every folder can be reached from the root.
void AddLostNtfsFolders(std::uint32_t* counter);
