#include "engine/recovery/core/engine_state.h"

#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"

RecordList<FatFileRec> fatFiles;
RecordList<FatFolderRec> fatFolders;
RecordList<FatDirCandidate> fatDirCandidates;
RecordList<ClusterNode> clusterChain;

RecordList<NtfsFileNode> ntfsFileNodes;
RecordList<NtfsFolderNode> ntfsFolderNodes;
RecordList<NtfsScanNode> ntfsScanNodes;
RecordList<NtfsEntryNode> ntfsEntryNodes;
RecordList<NtfsIndexNode> ntfsIndexNodes;
RecordList<DataRunNode> dataRuns;
std::uint32_t dataRunCount = 0;
MftRunTables mftRunTables;
AttributeListTable attributeListTable;

RecordList<FoundVolumeRec> foundVolumes;
U32Node* bootSectorList = nullptr;

RecordList<FileSignatureRec> fileSignatureList;
RecordList<TraceFoundRec> traceFoundList;

std::uint32_t folderCount = 0;
std::uint32_t fileCount = 0;
std::uint32_t entriesDone = 0;
std::uint64_t listedBytes = 0;
std::uint32_t foundFolderCount = 0;
std::uint32_t ntfsFileNodeCount = 0;
std::uint32_t ntfsIndexNodeCount = 0;
std::uint32_t bootSectorCount = 0;
std::uint16_t volumeCounter = 0;
std::uint32_t placedCandidates = 0;
std::atomic<std::uint32_t> bootVolumesDone{0};
std::atomic<std::uint32_t> inferenceDone{0};

PartitionEntry partitionTable[kMaxPartitions] = {};
std::uint32_t partitionCount = 0;
std::uint32_t searchDisk = 0;
std::uint32_t vhdxProgressPauseMs = 100;

SourceStateBlock SourceState;
VolumeParamsBlock VolumeParams;
ScanSelectionBlock ScanSelection;
ScanThreadControlBlock ScanThreadControl;
RecoverySettingsBlock RecoverySettings;
FileFilterTableBlock FileFilterTable;
DriveEntryTableBlock DriveEntryTable;
DeviceGeometryEntry DeviceGeometry[kMaxDevices];
std::atomic<std::uint32_t> PartitionParamsMissing{0};
std::atomic<std::uint32_t> ScanDetailsShown{1};
std::uint32_t StepWaitFlags[2] = {0, 0};
SaveControlBlock SaveControl;
SaveOutcomeBlock SaveOutcome;
std::uint64_t PendingFileTime = 0;
std::uint32_t TraceItemSizeMiB = 1;
std::uint32_t TreeInsertedCount = 0;
std::uint32_t InheritDeletedState = 0;

void ResetEngineState()
{
    FreeScanLists();
    FreePartitionLists();
    FreeFolderLists();
    FreeClusterChain();
    FreeTraceFoundList();
    FreeFileSignatureList();
    FreeDataRunList();
    mftRunTables = {};
    attributeListTable = {};

    placedCandidates = 0;
    bootVolumesDone = 0;
    inferenceDone = 0;

    for (PartitionEntry& entry : partitionTable)
        entry = {};
    partitionCount = 0;
    searchDisk = 0;
    vhdxProgressPauseMs = 100;

    PlatformCloseHandle(SourceState.driveHandle);
    PlatformCloseHandle(SourceState.volumeHandle);
    SourceState = {};
    VolumeParams = {};
    ScanSelection = {};

    ScanThreadControl.running = 0;
    ScanThreadControl.done = 0;
    ScanThreadControl.workerThread = 0;

    RecoverySettings = {};
    FileFilterTable = {};
    DriveEntryTable = {};
    for (DeviceGeometryEntry& geometry : DeviceGeometry)
        geometry = {};
    PartitionParamsMissing = 0;
    ScanDetailsShown = 1;
    StepWaitFlags[0] = 0;
    StepWaitFlags[1] = 0;

    SaveControl.stop = 0;
    SaveControl.skip = 0;
    SaveControl.fileCounter = 0;
    SaveOutcome = {};
    PendingFileTime = 0;
    TraceItemSizeMiB = 1;

    TreeInsertedCount = 0;
    InheritDeletedState = 0;

    engineUi = {};
}
