#include "engine_probe/probe_marking.h"

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/trace/trace_records.h"

void MarkEverything(ProbeMarks& marks)
{
    if (ScanSelection.scanKind == kScanFileTrace) {
        for (const TraceFoundRec* record = traceFoundList.head; record; record = record->next)
            marks.markedEntryIds.push_back(record->number);
        return;
    }
    if (VolumeParams.fsCode == kFsNtfs) {
        for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
            if (node->treeItem != 0)
                marks.markedTreeItems.push_back(node->treeItem);
        if (ScanSelection.scanKind == kScanExtensive) {
            for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next)
                if (node->parentNumber == 5 && node->recordSector > VolumeParams.clusterBase &&
                    node->recordSector <= VolumeParams.endSector)
                    marks.markedEntryIds.push_back(node->recordSector);
        } else {
            for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
                if (node->parentNumber == 5)
                    marks.markedEntryIds.push_back(node->dataRecordSector);
        }
        return;
    }
    for (const FatFolderRec* record = fatFolders.head; record; record = record->next)
        if (record->treeItem != 0)
            marks.markedTreeItems.push_back(record->treeItem);
    for (const FatFileRec* record = fatFiles.head; record; record = record->next)
        if (record->parentCluster == 0)
            marks.markedEntryIds.push_back(record->fileId);
}
