#include "engine/recovery/scans/quick_scan.h"

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/quick_fat_tree.h"
#include "engine/recovery/ntfs/quick_ntfs_scan.h"
#include "engine/recovery/partitions/partition_params.h"

namespace {

constexpr char16_t kProgramCaption[] = u"Corvane VMDK Recovery";
// The message box's error icon style.
constexpr std::uint32_t kStyleIconError = 0x10;

bool StopRequested()
{
    return ScanThreadControl.done != 0;
}

} // namespace

int ReportPartitionParamsMissing()
{
    ScanThreadControl.running = 1;
    ScanThreadControl.done = 0;
    PartitionStepUi& step = UiPartitionStep();
    step.KillScanTimer();
    PartitionParamsMissing = 1;
    UiMessages().HtmlMessageBox(u"Corvane VMDK Recovery was unable to find correct partition parameters.",
                                kProgramCaption, kStyleIconError);
    UiScanPanel().HideProgress();
    UiScanPanel().HideStatusText();
    step.EnableButton(PartitionStepButton::Stop, false);
    step.ShowButton(PartitionStepButton::Stop, false);
    for (PartitionStepButton button :
         {PartitionStepButton::Scan, PartitionStepButton::Back, PartitionStepButton::Home}) {
        step.EnableButton(button, true);
        step.ShowButton(button, true);
    }
    step.EnablePartitionList(true);
    return 0;
}

bool FindScanPartitionParams()
{
    // A range past the disk's end holds no file system to find.
    if (!ClipScanRangeToSource()) {
        ReportPartitionParamsMissing();
        return false;
    }
    if (StopRequested())
        return false;

    int found = ReadPartitionParams();
    if (StopRequested())
        return false;
    if (!found) {
        UiScanPanel().SetStatusText(u"Please wait, Calculating partition parameters...");
        bool stopped = false;
        found = SearchPartitionParams(&stopped);
        if (stopped)
            return false;
    }
    if (!found)
        ReportPartitionParamsMissing();
    return found != 0;
}

void BuildScanResultTree(const char16_t* statusText,
                         const std::function<void(RecoveryTreeUi&, TreeItemValue)>& fillRoot,
                         const std::function<void()>& listRoot)
{
    PartitionStepUi& step = UiPartitionStep();
    step.EnableButton(PartitionStepButton::Back, false);
    step.EnableButton(PartitionStepButton::Scan, false);
    step.EnableButton(PartitionStepButton::Home, false);
    step.SetBusy(true);

    RecoveryTreeUi& tree = UiRecoveryTree();
    const TreeItemValue root = tree.InsertFolderItem(u"Root", kTreeTop);
    TreeInsertedCount = 0;
    UiScanPanel().SetStatusText(statusText);
    ScanThreadControl.done = 0;
    step.EnableButton(PartitionStepButton::Stop, false);
    step.ShowButton(PartitionStepButton::Stop, false);
    fillRoot(tree, root);
    tree.Expand(root);
    UiResultList().SwitchToReportView();
    UiResultsView().SetCurrentFolderItem(root);
    listRoot();
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
}

int QuickScanPartition()
{
    ForgetReadsPastImageEnd();
    // The listing asks the shell for icons and type names from this worker thread.
    const PlatformComScope com;
    // A volume that cannot be opened has no parameters to read either; ending quietly would leave the
    // step waiting for a scan that never finishes.
    if (SourceState.sourceKind == kSourceLogicalVolume &&
        (VolumeParams.driveIndex >= kMaxDriveEntries ||
         !IsUsableHandle(OpenLogicalVolume(DriveEntryTable.entries[VolumeParams.driveIndex]))))
        return ReportPartitionParamsMissing();
    if (!FindScanPartitionParams())
        return 0;

    UiScanPanel().SetCounterLabels();
    if (VolumeParams.fsCode == kFsNtfs) {
        BuildQuickNtfsTree();
    } else if (VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32) {
        UiScanPanel().SetStatusText(u"Please wait, Searching for Data...");
        BuildQuickFatTree();
    }
    ScanThreadControl.running = 0;
    ScanThreadControl.done = 1;
    return 1;
}
