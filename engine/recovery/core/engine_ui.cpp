#include "engine/recovery/core/engine_ui.h"

EngineUi engineUi;

namespace {

// Serves every part that is not attached: shows nothing, creates no items, and answers a question with
// "No" and a dialog with "Cancel", so that a missing window can never make the engine go ahead with
// something the user did not confirm.
class DetachedUi final : public MessageUi,
                         public DriveStepUi,
                         public ScanPanelUi,
                         public PartitionStepUi,
                         public FileSystemStepUi,
                         public PartitionTreeUi,
                         public RecoveryTreeUi,
                         public ResultListUi,
                         public ResultsViewUi,
                         public SavingDialogUi,
                         public WizardShellUi
{
public:
    int ShowMessage(std::uint32_t, const char16_t*) override { return 1; }
    int AskQuestion(std::uint32_t, const char16_t*) override { return kAnswerNo; }
    int HtmlMessageBox(const char16_t*, const char16_t*, std::uint32_t) override { return 1; }
    void PlainMessageBox(const char16_t*) override {}

    void SetStatusText(const char16_t*) override {}
    void SetProgressPos(std::uint32_t) override {}
    void SetWaitText(const char16_t*) override {}
    void AddGroupItem(const char16_t*, const char16_t*) override {}
    void ExpandRoot() override {}
    bool RunPartitionTypeDlg(bool&) override { return false; }

    void HideProgress() override {}
    void ShowProgress() override {}
    void HideStatusText() override {}
    void ShowStatusText() override {}
    void SetCounterLabels() override {}
    void SetLabelText(ScanPanelLabel, const char16_t*) override {}

    void EnableButton(PartitionStepButton, bool) override {}
    void ShowButton(PartitionStepButton, bool) override {}
    void EnablePartitionList(bool) override {}
    void SetBusy(bool) override {}
    void KillScanTimer() override {}

    void HideScanButton() override {}

    TreeItemValue InsertItemWithIcon(const char16_t*, TreeItemValue) override { return 0; }
    TreeItemValue AddItem(const char16_t*, TreeItemValue) override { return 0; }
    TreeItemValue GetRootItem() override { return 0; }
    void Expand(TreeItemValue) override {}

    TreeItemValue InsertFolderItem(const char16_t*, TreeItemValue) override { return 0; }
    void AddFatFolderItems(TreeItemValue, std::uint32_t) override {}
    void AddNtfsFolderItems(TreeItemValue, std::uint32_t) override {}
    void AddTraceTypeItems(TreeItemValue, const char16_t*) override {}
    std::u16string GetItemPath(TreeItemValue) override { return {}; }
    void SetCheckRecursive(TreeItemValue, int) override {}
    void CountTreeItemContents(TreeItemValue, TreeContentTotals&) override {}
    void DeleteAllItems() override {}
    void SetFocus() override {}

    int GetItemCount() override { return 0; }
    int InsertItem(int, const char16_t*, int) override { return -1; }
    void SetItemText(int, int, const char16_t*) override {}
    std::u16string GetItemText(int, int) override { return {}; }
    void Update(int) override {}
    void SwitchToReportView() override {}
    void CheckItem(int) override {}
    void MarkChecked(int) override {}
    std::vector<std::uint64_t> GetMarkedEntryIds() override { return {}; }
    std::vector<TreeItemValue> GetMarkedTreeItems() override { return {}; }

    void SetSelectedSizeText(const char16_t*) override {}
    std::u16string GetTargetFolder() override { return {}; }
    void SetCurrentFolderItem(TreeItemValue) override {}

    void SetFileNameText(const char16_t*) override {}
    void SetFolderText(const char16_t*) override {}
    void SetCounterText(const char16_t*) override {}

    void SwitchView(int) override {}
    void CreateProgressDlg(const char16_t*) override {}
    void SetProgressDlgText(const char16_t*) override {}
    void SetProgressDlgPos(std::uint32_t) override {}
    void DestroyProgressDlg() override {}
    bool RunFileDialog(const FileDialogRequest&, std::u16string&) override { return false; }
};

DetachedUi detachedUi;
const CShellFileInfo platformShellInfo{};

template <class Part> Part& AttachedOr(Part* attached)
{
    return attached ? *attached : static_cast<Part&>(detachedUi);
}

} // namespace

MessageUi& UiMessages()
{
    return AttachedOr(engineUi.messages);
}
DriveStepUi& UiDriveStep()
{
    return AttachedOr(engineUi.driveStep);
}
ScanPanelUi& UiScanPanel()
{
    return AttachedOr(engineUi.scanPanel);
}
PartitionStepUi& UiPartitionStep()
{
    return AttachedOr(engineUi.partitionStep);
}
FileSystemStepUi& UiFileSystemStep()
{
    return AttachedOr(engineUi.fileSystemStep);
}
PartitionTreeUi& UiPartitionTree()
{
    return AttachedOr(engineUi.partitionTree);
}
RecoveryTreeUi& UiRecoveryTree()
{
    return AttachedOr(engineUi.recoveryTree);
}
ResultListUi& UiResultList()
{
    return AttachedOr(engineUi.resultList);
}
ResultsViewUi& UiResultsView()
{
    return AttachedOr(engineUi.resultsView);
}
SavingDialogUi& UiSavingDialog()
{
    return AttachedOr(engineUi.savingDialog);
}
WizardShellUi& UiShell()
{
    return AttachedOr(engineUi.shell);
}
const CShellFileInfo& UiShellInfo()
{
    return engineUi.shellInfo ? *engineUi.shellInfo : platformShellInfo;
}
