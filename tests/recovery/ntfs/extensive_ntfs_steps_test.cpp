// The file-system step of an NTFS volume found by the Extensive Scan, on hand-made lists: which folder
// nodes become entries, where folders and files whose parent is missing go ("Lost Dir", "Dir" + a
// counter), and the tree and the flags at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_fs_steps.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "engine_probe/extensive_ntfs_rows.h"
#include "ui_recorder.h"

namespace {

class ExtensiveNtfsSteps : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        ui.Attach();
        ScanSelection.scanKind = kScanExtensive;
        VolumeParams.fsCode = kFsNtfs;
        VolumeParams.volumeNumber = 1;
        VolumeParams.clusterBase = 1000;
        VolumeParams.endSector = 90000;
    }
    void TearDown() override { ResetEngineState(); }

    static NtfsFolderNode* Folder(const std::u16string& name, std::uint32_t number, std::uint32_t parent,
                                  std::uint16_t volume = 1, std::uint32_t deleted = 0)
    {
        static std::uint32_t sector = 2000;
        sector += 2;
        return AddNtfsFolderNode(name.c_str(), sector, parent, number, volume, 1, 2, 0, deleted);
    }

    static void File(const std::u16string& name, std::uint32_t sector, std::uint32_t parent)
    {
        AddNtfsFileNode(name.c_str(), sector, parent, 1, 2, 10, 0);
    }

    static void RunStep()
    {
        ScanThreadControl.done = 0;
        ScanThreadControl.running = 1;
        ScanNtfsSteps();
    }

    // The paths of the rows, folders marked with a trailing "/" and deleted ones with a leading "*".
    static std::vector<std::string> Paths()
    {
        std::vector<std::string> paths;
        for (const QuickNtfsRow& row : CollectExtensiveNtfsRows())
            paths.push_back((row.deleted ? "*" : "") + Utf8(row.path) + (row.folder ? "/" : ""));
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    UiRecorder ui;
};

TEST_F(ExtensiveNtfsSteps, OnlyTheChosenVolumesFoldersBecomeEntries)
{
    Folder(u".", 5, 5);
    Folder(u"Mine", 30, 5);
    Folder(u"Theirs", 31, 5, 2);
    Folder(u"Given up", 32, 5, 0xFFFF);
    Folder(u"Sub", 33, 30);
    RunStep();
    EXPECT_EQ(Paths(), (std::vector<std::string>{"Lost Dir/", "Mine/", "Mine/Sub/"}));
}

TEST_F(ExtensiveNtfsSteps, FoldersWhoseCommonParentIsMissingShareOneDirUnderLostDir)
{
    Folder(u"A", 30, 77);
    Folder(u"B", 31, 77);
    Folder(u"C", 32, 78);
    RunStep();
    EXPECT_EQ(Paths(), (std::vector<std::string>{"Lost Dir/", "Lost Dir/Dir0/", "Lost Dir/Dir0/A/",
                                                 "Lost Dir/Dir0/B/", "Lost Dir/Dir1/", "Lost Dir/Dir1/C/"}));
    const NtfsEntryNode* made = nullptr;
    for (const NtfsEntryNode* entry = ntfsEntryNodes.head; entry; entry = entry->next)
        if (entry->folderNumber == 77)
            made = entry;
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->parentNumber, kLostDirValue);
    EXPECT_EQ(Utf8(made->name), "Dir0");
}

TEST_F(ExtensiveNtfsSteps, FilesOfTheVolumeWhoseFolderIsMissingGetOneToo)
{
    Folder(u"Docs", 30, 5);
    File(u"kept.txt", 5000, 30);
    File(u"orphan.txt", 5002, 88);
    File(u"elsewhere.txt", 95000, 99); // beyond the volume's end: another volume's
    File(u"at-base.txt", 1000, 98);    // the volume's first sector holds no record of it
    AddNtfsScanNode(6000, u"quick.txt", 70, 55, 1, 2, 10, 0); // a Quick Scan's file: not consulted
    RunStep();
    EXPECT_EQ(Paths(), (std::vector<std::string>{"Docs/", "Docs/kept.txt", "Lost Dir/", "Lost Dir/Dir0/",
                                                 "Lost Dir/Dir0/orphan.txt"}));
}

TEST_F(ExtensiveNtfsSteps, TheQuickScansFilesWithoutTheirFolderGetOneAtTheRoot)
{
    ScanSelection.scanKind = kScanQuick;
    AddNtfsEntryNode(u"Docs", 30, 5, 1, 2, 0, 0);
    AddNtfsScanNode(6000, u"lost.txt", 70, 55, 1, 2, 10, 0);
    AddNtfsScanNode(6002, u"kept.txt", 71, 30, 1, 2, 10, 0);
    std::uint32_t counter = 4;
    AddLostNtfsFolders(&counter);
    EXPECT_EQ(counter, 5u);
    std::vector<std::string> entries;
    for (const NtfsEntryNode* entry = ntfsEntryNodes.head; entry; entry = entry->next)
        entries.push_back(Utf8(entry->name) + " " + std::to_string(entry->folderNumber) + " in " +
                          std::to_string(entry->parentNumber));
    EXPECT_EQ(entries,
              (std::vector<std::string>{"Docs 30 in 5", "Lost Dir 4294967294 in 5", "Dir4 55 in 5"}));
}

TEST_F(ExtensiveNtfsSteps, FoldersThatCannotReachTheRootAreMovedUnderLostDir)
{
    // Each names the other as its parent; and one names itself.
    Folder(u"Ping", 30, 31);
    Folder(u"Pong", 31, 30);
    Folder(u"Self", 32, 32);
    File(u"inside.txt", 5000, 31);
    RunStep();
    // The walk from Ping closes the loop at Pong, which moves under "Lost Dir".
    EXPECT_EQ(Paths(), (std::vector<std::string>{"Lost Dir/", "Lost Dir/Pong/", "Lost Dir/Pong/Ping/",
                                                 "Lost Dir/Pong/inside.txt", "Lost Dir/Self/"}));
}

TEST_F(ExtensiveNtfsSteps, DeletedFoldersStayDeletedAndEachNumberIsListedOnce)
{
    Folder(u"Gone", 30, 5, 1, 1);
    Folder(u"Gone copy", 30, 5, 1, 0);
    Folder(u"Kept", 31, 30, 1, 0);
    RunStep();
    EXPECT_EQ(Paths(), (std::vector<std::string>{"*Gone/", "Gone/Kept/", "Lost Dir/"}));
}

TEST_F(ExtensiveNtfsSteps, TheTreeIsBuiltUnderRootAndTheRootIsListed)
{
    Folder(u"Docs", 30, 5);
    File(u"root.txt", 5000, 5);
    ArmScanWorker();
    FileSystemScanThread();
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
    EXPECT_EQ(ui.ArgumentsOf("fileSystemStep.SetStatusText"),
              (std::vector<std::string>{"\"Extracting entries for the file system...\"",
                                        "\"Searching For Lost Data\"", "\"Please wait creating tree\""}));
    ASSERT_FALSE(ui.recoveryTreeItems.empty());
    EXPECT_EQ(Utf8(ui.recoveryTreeItems[0].text), "Root");
    EXPECT_EQ(ui.ArgumentsOf("recoveryTree.AddNtfsFolderItems"), (std::vector<std::string>{"1, 5"}));
    EXPECT_EQ(ui.ArgumentsOf("recoveryTree.SetCheckRecursive"), (std::vector<std::string>{"1, 1"}));
    EXPECT_EQ(ui.ArgumentsOf("fileSystemStep.HideScanButton").size(), 1u);
    EXPECT_EQ(ui.ArgumentsOf("resultList.SwitchToReportView").size(), 1u);
    // The root folder listed: its folders, then its files.
    std::vector<std::string> names;
    for (const auto& row : ui.resultRows)
        names.push_back(Utf8(row.at(0)));
    EXPECT_EQ(names, (std::vector<std::string>{"Docs", "Lost Dir", "root.txt"}));
}

TEST_F(ExtensiveNtfsSteps, AfterAStopTheTreeIsBuiltFromWhatWasExtracted)
{
    Folder(u"Docs", 30, 5);
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 1;
    ScanNtfsSteps();
    EXPECT_EQ(Paths(), (std::vector<std::string>{"Lost Dir/"}));
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
    EXPECT_EQ(ui.ArgumentsOf("recoveryTree.AddNtfsFolderItems").size(), 1u);
}

} // namespace
