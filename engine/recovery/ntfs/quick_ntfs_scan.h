#pragma once

// The Quick Scan of an NTFS volume: every record of the live MFT becomes a folder (NtfsEntryNode) or a
// file (NtfsScanNode), and the recovered-items tree is built from the folders. Runs on the scan worker
// after the partition parameters are in VolumeParams (clusterBase, mftStart, sectorsPerCluster); reports
// through the engine's user interface and polls the stop flag before each record.

#include <cstdint>

// Frees the scan lists, builds the MFT run tables, reads every MFT record and builds the tree. Leaves
// done 1 and running 0. Returns the number of MFT records read; 0 when the MFT could not be mapped (the
// tree then holds only its root).
std::uint32_t BuildQuickNtfsTree();
