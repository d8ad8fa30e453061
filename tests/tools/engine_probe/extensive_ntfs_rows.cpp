#include "engine_probe/extensive_ntfs_rows.h"

#include <utility>

#include "engine/recovery/core/engine_state.h"

std::vector<QuickNtfsRow> CollectExtensiveNtfsRows()
{
    NtfsFileRowsByParent filesByParent;
    for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next)
        if (node->recordSector > VolumeParams.clusterBase && node->recordSector <= VolumeParams.endSector)
            filesByParent[node->parentNumber].push_back(
                {false, node->deleted, node->dataSize, node->recordSector, node->name});
    return NtfsTreeRows(std::move(filesByParent));
}
