#include "engine/recovery/core/engine_state.h"

#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/sector_source.h"

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
std::uint32_t vhdxProgressPauseMs = 0;

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

int FindDriveEntryByRoot(const char16_t* rootPath)
{
    if (rootPath == nullptr || rootPath[0] == 0)
        return -1;
    const auto folded = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    for (int entry = 0; entry < kMaxDriveEntries; ++entry) {
        const char16_t* root = DriveEntryTable.rootPaths[entry];
        int at = 0;
        while (at < kDriveEntryLength && root[at] != 0 && folded(root[at]) == folded(rootPath[at]))
            ++at;
        // A root path that fills its entry has no terminator of its own.
        if ((at == kDriveEntryLength || root[at] == 0) && rootPath[at] == 0)
            return entry;
    }
    return -1;
}

namespace {

std::u16string BoundedText(const char16_t (&text)[kDriveEntryLength])
{
    std::size_t length = 0;
    while (length < kDriveEntryLength && text[length] != 0)
        ++length;
    return std::u16string(text, length);
}

} // namespace

std::u16string DriveEntryName(int entry)
{
    return entry >= 0 && entry < kMaxDriveEntries ? BoundedText(DriveEntryTable.entries[entry]) : u"";
}

std::u16string DriveEntryRoot(int entry)
{
    return entry >= 0 && entry < kMaxDriveEntries ? BoundedText(DriveEntryTable.rootPaths[entry]) : u"";
}

void ArmScanWorker()
{
    ScanThreadControl.done = 0;
    ScanThreadControl.running = 1;
}

void ResetEngineState()
{
    ForgetReadsPastImageEnd();
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
    vhdxProgressPauseMs = 0;

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
    SaveControl.pause = 0;
    SaveControl.paused = 0;
    SaveControl.fileCounter = 0;
    SaveOutcome = {};
    PendingFileTime = 0;
    TraceItemSizeMiB = 1;

    TreeInsertedCount = 0;
    InheritDeletedState = 0;

    engineUi = {};
}
