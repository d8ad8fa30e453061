// The engine's window on the user interface: every call reaches the attached part, an unattached part
// is a silent stand-in that never confirms anything, and the recorder logs what the engine sends.
// This test links the engine with no window code at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "ui_recorder.h"

namespace {

class EngineUiTest : public testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }
};

TEST_F(EngineUiTest, EveryOperationReachesTheAttachedPart)
{
    UiRecorder recorder;
    recorder.Attach();
    recorder.questionAnswer = kAnswerYes;

    EXPECT_EQ(UiMessages().AskQuestion(kMessageQuestion, u"Do you want to stop file searching ?"),
              kAnswerYes);
    UiMessages().ShowMessage(kMessageNotice, u"Data has been not found");
    UiMessages().HtmlMessageBox(u"unable", u"Corvane VMDK Recovery", 0x10);
    UiMessages().PlainMessageBox(u"EFI PART");

    UiDriveStep().SetStatusText(u"Please wait, searching for Partition...");
    UiDriveStep().SetWaitText(u"Please wait...");
    UiDriveStep().SetProgressPos(7);
    UiDriveStep().AddGroupItem(u"Virtual Hard Disk ", u"Partition 0");
    UiDriveStep().ExpandRoot();
    bool useExisting = false;
    EXPECT_FALSE(UiDriveStep().RunPartitionTypeDlg(useExisting));

    UiScanPanel().SetCounterLabels();
    UiScanPanel().SetStatusText(u"Reading Sector 88 Of 1000");
    UiScanPanel().SetProgressPos(8);
    UiScanPanel().SetLabelText(ScanPanelLabel::FolderCount, u"10");
    UiScanPanel().SetLabelText(ScanPanelLabel::FileCount, u"50");
    UiScanPanel().SetLabelText(ScanPanelLabel::CurrentSector, u"88");
    UiScanPanel().SetLabelText(ScanPanelLabel::LastName, u"README.TXT");
    UiScanPanel().SetLabelText(ScanPanelLabel::BootSectorCount, u"0");
    UiScanPanel().HideProgress();
    UiScanPanel().ShowProgress();
    UiScanPanel().HideStatusText();
    UiScanPanel().ShowStatusText();

    UiPartitionStep().EnableButton(PartitionStepButton::Stop, false);
    UiPartitionStep().ShowButton(PartitionStepButton::Home, true);
    UiPartitionStep().EnablePartitionList(true);
    UiPartitionStep().SetBusy(true);
    UiPartitionStep().KillScanTimer();

    UiFileSystemStep().SetStatusText(u"Step 4 / 5...");
    UiFileSystemStep().SetProgressPos(40);
    UiFileSystemStep().HideScanButton();

    const TreeItemValue fileSystemRoot = UiPartitionTree().InsertItemWithIcon(u"File System", kTreeTop);
    UiPartitionTree().AddItem(u"FAT32 @4064", UiPartitionTree().GetRootItem());
    UiPartitionTree().Expand(fileSystemRoot);

    const TreeItemValue root = UiRecoveryTree().InsertFolderItem(u"Root", kTreeTop);
    const TreeItemValue child = UiRecoveryTree().InsertFolderItem(u"Photos", root);
    EXPECT_EQ(UiRecoveryTree().GetItemPath(child), u"Root\\Photos");
    UiRecoveryTree().SetCheckRecursive(root, 1);
    UiRecoveryTree().Expand(root);
    UiRecoveryTree().SetFocus();

    UiResultList().DeleteAllItems();
    const int row = UiResultList().InsertItem(0, u"Parent...", 3);
    UiResultList().SetItemText(row, 1, u"Folder");
    EXPECT_EQ(UiResultList().GetItemText(row, 1), u"Folder");
    EXPECT_EQ(UiResultList().GetItemCount(), 1);
    UiResultList().CheckItem(row);
    UiResultList().Update(1);
    UiResultList().SwitchToReportView();

    UiResultsView().SetSelectedSizeText(u"Selected Size : 0 MB");
    UiResultsView().SetCurrentFolderItem(root);

    UiSavingDialog().SetFileNameText(u"a.txt");
    UiSavingDialog().SetFolderText(u"C:\\out");
    UiSavingDialog().SetCounterText(u"1");
    UiSavingDialog().SetProgressPos(0);

    UiShell().CreateProgressDlg(u"Opening the file...");
    UiShell().SetProgressDlgPos(50);
    UiShell().DestroyProgressDlg();
    UiShell().SwitchView(4);

    const std::vector<std::string> expected = {
        "messages.AskQuestion(3, \"Do you want to stop file searching ?\")",
        "messages.ShowMessage(4, \"Data has been not found\")",
        "messages.HtmlMessageBox(\"unable\", \"Corvane VMDK Recovery\", 16)",
        "messages.PlainMessageBox(\"EFI PART\")",
        "driveStep.SetStatusText(\"Please wait, searching for Partition...\")",
        "driveStep.SetWaitText(\"Please wait...\")",
        "driveStep.SetProgressPos(7)",
        "driveStep.AddGroupItem(\"Virtual Hard Disk \", \"Partition 0\")",
        "driveStep.ExpandRoot()",
        "driveStep.RunPartitionTypeDlg()",
        "scanPanel.SetCounterLabels()",
        "scanPanel.SetStatusText(\"Reading Sector 88 Of 1000\")",
        "scanPanel.SetProgressPos(8)",
        "scanPanel.SetLabelText(FolderCount, \"10\")",
        "scanPanel.SetLabelText(FileCount, \"50\")",
        "scanPanel.SetLabelText(CurrentSector, \"88\")",
        "scanPanel.SetLabelText(LastName, \"README.TXT\")",
        "scanPanel.SetLabelText(BootSectorCount, \"0\")",
        "scanPanel.HideProgress()",
        "scanPanel.ShowProgress()",
        "scanPanel.HideStatusText()",
        "scanPanel.ShowStatusText()",
        "partitionStep.EnableButton(Stop, false)",
        "partitionStep.ShowButton(Home, true)",
        "partitionStep.EnablePartitionList(true)",
        "partitionStep.SetBusy(true)",
        "partitionStep.KillScanTimer()",
        "fileSystemStep.SetStatusText(\"Step 4 / 5...\")",
        "fileSystemStep.SetProgressPos(40)",
        "fileSystemStep.HideScanButton()",
        "partitionTree.InsertItemWithIcon(\"File System\", 0)",
        "partitionTree.AddItem(\"FAT32 @4064\", 1)",
        "partitionTree.Expand(1)",
        "recoveryTree.InsertFolderItem(\"Root\", 0)",
        "recoveryTree.InsertFolderItem(\"Photos\", 1)",
        "recoveryTree.SetCheckRecursive(1, 1)",
        "recoveryTree.Expand(1)",
        "recoveryTree.SetFocus()",
        "resultList.DeleteAllItems()",
        "resultList.InsertItem(0, \"Parent...\", 3)",
        "resultList.SetItemText(0, 1, \"Folder\")",
        "resultList.CheckItem(0)",
        "resultList.Update(1)",
        "resultList.SwitchToReportView()",
        "resultsView.SetSelectedSizeText(\"Selected Size : 0 MB\")",
        "resultsView.SetCurrentFolderItem(1)",
        "savingDialog.SetFileNameText(\"a.txt\")",
        "savingDialog.SetFolderText(\"C:\\out\")",
        "savingDialog.SetCounterText(\"1\")",
        "savingDialog.SetProgressPos(0)",
        "shell.CreateProgressDlg(\"Opening the file...\")",
        "shell.SetProgressDlgPos(50)",
        "shell.DestroyProgressDlg()",
        "shell.SwitchView(4)",
    };
    EXPECT_EQ(recorder.Calls(), expected);
    EXPECT_EQ(recorder.ArgumentsOf("scanPanel.SetProgressPos"), (std::vector<std::string>{"8"}));
}

TEST_F(EngineUiTest, UnattachedPartsShowNothingAndConfirmNothing)
{
    bool useExisting = true;
    std::u16string path = u"unchanged";
    EXPECT_EQ(UiMessages().AskQuestion(kMessageQuestion, u"replace?"), kAnswerNo);
    EXPECT_FALSE(UiDriveStep().RunPartitionTypeDlg(useExisting));
    EXPECT_TRUE(useExisting);
    EXPECT_FALSE(UiShell().RunFileDialog(FileDialogRequest{}, path));
    EXPECT_EQ(path, u"unchanged");
    EXPECT_EQ(UiRecoveryTree().InsertFolderItem(u"Root", kTreeTop), 0u);
    EXPECT_EQ(UiPartitionTree().GetRootItem(), 0u);
    EXPECT_TRUE(UiResultList().GetMarkedEntryIds().empty());
    EXPECT_TRUE(UiResultsView().GetTargetFolder().empty());

    // A part detached while the others stay attached falls back alone.
    UiRecorder recorder;
    recorder.Attach();
    engineUi.savingDialog = nullptr;
    UiSavingDialog().SetCounterText(u"1");
    UiScanPanel().SetProgressPos(1);
    EXPECT_EQ(recorder.Calls(), (std::vector<std::string>{"scanPanel.SetProgressPos(1)"}));
}

TEST_F(EngineUiTest, TreeItemValuesAreStoredPointerWide)
{
    static_assert(sizeof(TreeItemValue) == sizeof(void*));
    static_assert(sizeof(FatFolderRec::treeItem) == sizeof(void*));
    static_assert(sizeof(NtfsEntryNode::treeItem) == sizeof(void*));
    static_assert(sizeof(FoundVolumeRec::treeItem) == sizeof(void*));
    static_assert(sizeof(PlatformHandle) == sizeof(void*));

    FatFolderRec* folder = AddFatFolderRec(u"Dir", 2, 0, 0, 0, 0, 0);
    const TreeItemValue wide = static_cast<TreeItemValue>(reinterpret_cast<std::uintptr_t>(&folder));
    folder->treeItem = wide;
    EXPECT_EQ(fatFolders.head->treeItem, wide);
}

TEST_F(EngineUiTest, RecorderBuildsFatFolderItemsFromTheListsAndSurvivesLoops)
{
    UiRecorder recorder;
    recorder.Attach();
    AddFatFolderRec(u"Docs", 3, 0, 0, 0, 0, 0);
    AddFatFolderRec(u"Old", 4, 3, 0, 0, 0, 1);
    // Two folders that name each other as parent: a crafted disk.
    AddFatFolderRec(u"LoopA", 7, 8, 0, 0, 0, 0);
    AddFatFolderRec(u"LoopB", 8, 7, 0, 0, 0, 0);
    const TreeItemValue root = UiRecoveryTree().InsertFolderItem(u"Root", kTreeTop);
    UiRecoveryTree().AddFatFolderItems(root, 0);
    UiRecoveryTree().AddFatFolderItems(root, 7);

    FatFolderRec* docs = fatFolders.head;
    FatFolderRec* old = docs->next;
    EXPECT_EQ(UiRecoveryTree().GetItemPath(docs->treeItem), u"Root\\Docs");
    EXPECT_EQ(UiRecoveryTree().GetItemPath(old->treeItem), u"Root\\Docs\\Old");
    EXPECT_NE(old->next->next->treeItem, 0u);
    EXPECT_LE(recorder.recoveryTreeItems.size(), 6u);
}

} // namespace
