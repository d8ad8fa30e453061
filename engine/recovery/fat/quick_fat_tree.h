#pragma once

// The Quick Scan of a FAT16 or FAT32 volume whose parameters are in VolumeParams: walks the live
// directory tree from the root, folder by folder, into fatFolders and fatFiles, then builds the
// recovered-items tree under "Root" and shows the root folder in the result list.
//
// A directory is read at most once per scan, cluster by cluster: a chain that loops or runs into a
// directory already read ends there, a cluster outside the scanned range is not read, and no directory
// is followed past the 65536 entries that FAT allows. Runs on the scan worker; polls
// ScanThreadControl.done between entries and folders, and still builds the tree from what was found when
// stopped.
void BuildQuickFatTree();
