#pragma once

// The Extensive Scan's NTFS finds of the chosen volume as rows with their full paths: what the
// recovered-items tree and the result list show after the file-system step, flattened for the probe and
// the tests. Folders come from the entry list, files from the file nodes within the volume's sectors
// (VolumeParams.clusterBase exclusive to endSector), as the listing takes them. Only what the tree
// reaches from the root is listed.

#include <vector>

#include "engine_probe/quick_ntfs_rows.h"

// Each folder once, then the files in it, then its folders, from the root down. Files carry their
// record sector as entry ID, folders their folder number.
std::vector<QuickNtfsRow> CollectExtensiveNtfsRows();
