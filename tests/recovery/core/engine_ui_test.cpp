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

// One call of each part reaches the attached recorder with its arguments, and the answers of the parts
// that answer come back to the engine unchanged.
TEST_F(EngineUiTest, EveryPartReachesTheAttachedRecorder)
{
    UiRecorder recorder;
    recorder.Attach();
    recorder.questionAnswer = kAnswerYes;
    const TreeItemValue root = UiRecoveryTree().InsertFolderItem(u"Root", kTreeTop);
    const struct
    {
        void (*call)();
        const char* logged;
    } cases[] = {
        {[] { UiMessages().ShowMessage(kMessageNotice, u"Data has been not found"); },
         "messages.ShowMessage(4, \"Data has been not found\")"},
        {[] { UiDriveStep().AddGroupItem(u"Virtual Hard Disk ", u"Partition 0"); },
         "driveStep.AddGroupItem(\"Virtual Hard Disk \", \"Partition 0\")"},
        {[] { UiScanPanel().SetLabelText(ScanPanelLabel::LastName, u"README.TXT"); },
         "scanPanel.SetLabelText(LastName, \"README.TXT\")"},
        {[] { UiPartitionStep().EnableButton(PartitionStepButton::Stop, false); },
         "partitionStep.EnableButton(Stop, false)"},
        {[] { UiFileSystemStep().SetProgressPos(40); }, "fileSystemStep.SetProgressPos(40)"},
        {[] { UiPartitionTree().AddItem(u"FAT32 @4064", 1); }, "partitionTree.AddItem(\"FAT32 @4064\", 1)"},
        {[] { UiResultList().InsertItem(0, u"Parent...", 3); }, "resultList.InsertItem(0, \"Parent...\", 3)"},
        {[] { UiResultsView().SetSelectedSizeText(u"Selected Size : 0 MB"); },
         "resultsView.SetSelectedSizeText(\"Selected Size : 0 MB\")"},
        {[] { UiSavingDialog().SetFolderText(u"C:\\out"); }, "savingDialog.SetFolderText(\"C:\\out\")"},
        {[] { UiShell().SwitchView(4); }, "shell.SwitchView(4)"},
    };
    for (const auto& c : cases) {
        c.call();
        ASSERT_FALSE(recorder.Calls().empty());
        EXPECT_EQ(recorder.Calls().back(), c.logged);
    }

    EXPECT_EQ(UiMessages().AskQuestion(kMessageQuestion, u"Do you want to stop file searching ?"),
              kAnswerYes);
    const TreeItemValue child = UiRecoveryTree().InsertFolderItem(u"Photos", root);
    EXPECT_EQ(UiRecoveryTree().GetItemPath(child), u"Root\\Photos");
    UiResultList().SetItemText(0, 1, u"Folder");
    EXPECT_EQ(UiResultList().GetItemText(0, 1), u"Folder");
    EXPECT_EQ(UiResultList().GetItemCount(), 1);
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
