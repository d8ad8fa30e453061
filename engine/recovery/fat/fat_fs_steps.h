#pragma once

// The file-system step's scan of a FAT volume that the Extensive Scan found: the directory candidates of
// the chosen volume (VolumeParams.volumeNumber) become folders, folders whose parent was not found are
// gathered under "Lost Dir", the FAT copies are searched for when the volume was inferred without them,
// every folder's clusters are parsed for its files and the names of its subfolders, and the
// recovered-items tree is built under "Root". Five steps, each announced in the status line of the
// file-system step's panel and measured on its progress bar.
//
// Runs on the file-system step's worker. Polls ScanThreadControl.done between folders (the parsers
// between entries); after a stop the searching steps end early and the tree is built from what was
// found.

#include <cstdint>

inline constexpr char16_t kLostDirText[] = u"Lost Dir";
// A folder known only by its cluster is named "Dir" followed by the cluster number.
inline constexpr char16_t kClusterFolderPrefix[] = u"Dir";

// Steps 1 to 5; at the end done 1 and running 0.
void ScanFatSteps();

// Step 2: "Lost Dir", and under it a "Dir" folder for every parent cluster that no folder has. A chain
// of parents that loops back on itself is cut where it closes: that folder moves under "Lost Dir", so
// every folder can be reached from the root.
void AddOrphanFolders();

// Step 3, for a volume whose first FAT copy is not known: searches the sectors before the data area for
// the two FAT copies (first bytes 0xF8 0xFF 0xFF) and takes fatSize, and on FAT16 the root directory,
// from them.
void FindFatCopies();

// Step 4: the root directory, then every folder in list order, cluster by cluster.
void ParseFatFolders();
