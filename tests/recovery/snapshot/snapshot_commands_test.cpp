// The save and load commands around snapshot documents: the file dialog, the default name and the
// extension, the replace question, failures shown, and the refusals before anything is read.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "save_test_support.h"
#include "snapshot_test_support.h"
#include "ui_recorder.h"

using namespace std::string_literals;

namespace {

// The program's file dialog, keeping what it was asked.
class DialogShell final : public WizardShellUi
{
public:
    bool confirm = true;
    std::u16string answer;
    FileDialogRequest asked;
    std::u16string askedFileName;
    int runs = 0;

    void SwitchView(int) override {}
    void CreateProgressDlg(const char16_t*) override {}
    void SetProgressDlgText(const char16_t*) override {}
    void SetProgressDlgPos(std::uint32_t) override {}
    void DestroyProgressDlg() override {}
    bool RunFileDialog(const FileDialogRequest& request, std::u16string& path) override
    {
        ++runs;
        asked = request;
        askedFileName = request.fileName;
        if (confirm)
            path = answer;
        return confirm;
    }
};

class SnapshotCommands : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        engineUi.shell = &shell;
        ScanSelection.scanKind = kScanQuick;
        VolumeParams.fsCode = kFsFat32;
        AddFatFolderRec(u"Folder", 5, 0, 0, 0, 0, 0);
    }
    void TearDown() override { ResetEngineState(); }

    std::vector<std::string> Messages() const { return recorder.ArgumentsOf("messages.ShowMessage"); }

    UiRecorder recorder;
    ScratchFolder scratch;
    DialogShell shell;
};

TEST_F(SnapshotCommands, SaveOffersTheDefaultNameAndAddsTheExtension)
{
    shell.answer = EngineText(scratch.Target() / "scan1");
    ASSERT_TRUE(SaveSnapshot(u"Partition 1"));
    EXPECT_TRUE(std::filesystem::exists(scratch.Target() / "scan1.vqdx"));
    EXPECT_FALSE(shell.asked.open);
    // The dialog must let the user name a new file and must not ask about replacing: the engine asks.
    EXPECT_EQ(shell.asked.flags, kFileDialogPathMustExist);
    EXPECT_EQ(Utf8(shell.asked.filter), "*.vqdx");
    EXPECT_EQ(Utf8(shell.asked.title), "Save Snapshot");
    EXPECT_TRUE(std::regex_match(Utf8(shell.askedFileName),
                                 std::regex(R"(\d\d-\d\d-\d{4}_\d\d\.\d\d\.\d\d_Partition 1)")));
    EXPECT_TRUE(recorder.ArgumentsOf("messages.AskQuestion").empty());
    EXPECT_TRUE(Messages().empty());

    // A name that ends in the extension keeps it.
    shell.answer = EngineText(scratch.Target() / "scan2.vqdx");
    ASSERT_TRUE(SaveSnapshot(u"x"));
    EXPECT_TRUE(std::filesystem::exists(scratch.Target() / "scan2.vqdx"));
    EXPECT_FALSE(std::filesystem::exists(scratch.Target() / "scan2.vqdx.vqdx"));
}

TEST_F(SnapshotCommands, ReplacingAsksOnce)
{
    const std::filesystem::path file = scratch.Target() / "scan1.vqdx";
    WriteBytes(file, "old");
    shell.answer = EngineText(scratch.Target() / "scan1");
    recorder.questionAnswer = kAnswerNo;
    EXPECT_FALSE(SaveSnapshot(u"x"));
    EXPECT_EQ(FileBytes(file), "old");
    const std::vector<std::string> asked = recorder.ArgumentsOf("messages.AskQuestion");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0],
              "3, \"" + Utf8(EngineText(file)) + " already exists.\r\nDo you want to replace it?\"");

    recorder.Clear();
    recorder.questionAnswer = kAnswerYes;
    EXPECT_TRUE(SaveSnapshot(u"x"));
    EXPECT_EQ(recorder.ArgumentsOf("messages.AskQuestion").size(), 1u);
    EXPECT_EQ(FileBytes(file).substr(0, 2), "D\0"s);
}

TEST_F(SnapshotCommands, SaveFailuresAreShown)
{
    shell.confirm = false;
    EXPECT_FALSE(SaveSnapshot(u"x"));
    EXPECT_TRUE(Messages().empty());

    shell.confirm = true;
    shell.answer = EngineText(scratch.Target() / "no-such-folder" / "scan");
    EXPECT_FALSE(SaveSnapshot(u"x"));
    ScanSelection.scanKind = kScanFileTrace;
    EXPECT_FALSE(SaveSnapshot(u"x"));
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.fsCode = 0;
    shell.answer = EngineText(scratch.Target() / "nothing");
    EXPECT_FALSE(SaveSnapshot(u"x"));
    EXPECT_FALSE(std::filesystem::exists(scratch.Target() / "nothing.vqdx"));
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"2, \"Unable to open the file.\"", "2, \"Unable to open the file\"",
                                        "2, \"" + Utf8(kNoSnapshotResultsText) + "\""}));
}

TEST_F(SnapshotCommands, LoadChecksTheFileAndTheModeBeforeReading)
{
    const std::filesystem::path quick = scratch.Target() / "quick.vqdx";
    ASSERT_TRUE(WriteScanSnapshotFile(EngineText(quick).c_str()));
    WriteBytes(scratch.Target() / "letter.vqdx", "X\0qzv4.031.0"s);

    struct Case
    {
        const char* name;
        std::u16string answer;
        const char16_t* homeMode;
        std::string message; // empty: accepted
    };
    const Case cases[] = {
        {"missing", EngineText(scratch.Target() / "missing"), u"Quick Scan",
         "2, \"" + Utf8(EngineText(scratch.Target() / "missing.vqdx")) + " does not exists.\""},
        {"no mode letter", EngineText(scratch.Target() / "letter"), u"Quick Scan",
         "2, \"Invalid Snapshot File. Please Load respective valid Snapshot. \""},
        {"other mode", EngineText(quick), u"Extensive Scan",
         "2, \"Snapshot was saved using Quick Scan. Select Quick Scan mode and then load Snapshot.\""},
        {"accepted", EngineText(scratch.Target() / "quick"), u"Quick Scan", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.Clear();
        shell.answer = c.answer;
        ScanSelection.modeName = c.homeMode;
        std::u16string path;
        std::uint32_t kind = 99;
        const bool accepted = ChooseSnapshotToLoad(path, kind);
        EXPECT_TRUE(shell.asked.open);
        EXPECT_EQ(shell.asked.flags, kFileDialogPathMustExist | kFileDialogFileMustExist);
        EXPECT_EQ(Utf8(shell.asked.filter), "*.vqdx");
        if (c.message.empty()) {
            EXPECT_TRUE(accepted);
            EXPECT_EQ(kind, kScanQuick);
            EXPECT_EQ(path, EngineText(quick));
            EXPECT_TRUE(Messages().empty());
        } else {
            EXPECT_FALSE(accepted);
            EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        }
        // Nothing was read: the lists are as they were.
        ASSERT_NE(fatFolders.head, nullptr);
        EXPECT_EQ(Utf8(fatFolders.head->name), "Folder");
    }
    shell.confirm = false;
    std::u16string path;
    std::uint32_t kind = 0;
    EXPECT_FALSE(ChooseSnapshotToLoad(path, kind));
}

TEST_F(SnapshotCommands, ReopenSourceVolumeActsOnlyOnAVolumeSource)
{
    SourceState.sourceKind = kSourceImage;
    VolumeParams.driveIndex = 1;
    ReopenSourceVolume(4);
    EXPECT_EQ(VolumeParams.driveIndex, 1);
    EXPECT_EQ(SourceState.volumeHandle, kNoHandle);

    SourceState.sourceKind = kSourceLogicalVolume;
    ReopenSourceVolume(4);
    EXPECT_EQ(VolumeParams.driveIndex, 4);
    // An entry the drive step did not fill, and an index past the table, open nothing.
    EXPECT_FALSE(IsUsableHandle(SourceState.volumeHandle));
    ReopenSourceVolume(60000);
    EXPECT_FALSE(IsUsableHandle(SourceState.volumeHandle));
}

} // namespace
