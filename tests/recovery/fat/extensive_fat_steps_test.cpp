// The file-system step's scan of a FAT volume that the Extensive Scan found, over a crafted FAT16 disk:
// folders from directory candidates, their names and files from the directories, "Lost Dir" for what
// lost its parent, the search for FAT copies, and crafted parent links that loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/fat/fat_fs_steps.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/fat/fat_volume_inference.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "extensive_fat_crafted_disk.h"
#include "ui_recorder.h"

namespace {

// One sector per cluster, cluster 2 at sector 604: base 602. FAT copies of 36 sectors at 500 and 536,
// the root directory's 32 sectors from 572.
constexpr std::uint32_t kBase = 602;
constexpr std::uint32_t kFat1 = 500;
constexpr std::uint32_t kFat2 = 536;
constexpr std::uint32_t kRoot = 572;

std::uint32_t ClusterSector(std::uint32_t cluster)
{
    return kBase + cluster;
}

// A FAT16 volume without its boot sector:
//   /FILE1.TXT, /A/INA.TXT, /A/B/B01.TXT ... B14.TXT in B's first cluster and B15.TXT in its second
//   (cluster 10, reached only through the FAT), a folder at cluster 20 whose parent (30) is gone, and
//   two folders at 40 and 41 that name each other as parent.
void BuildVolume(CraftedFatDisk& disk, bool withFats)
{
    if (withFats) {
        for (std::uint32_t fat : {kFat1, kFat2}) {
            disk.Put16(fat, 0, 0xFFF8);
            disk.Put16(fat, 2, 0xFFFF);
            disk.Put16(fat, 2 * 2, 0xFFFF);  // A
            disk.Put16(fat, 2 * 3, 10);      // B goes on in cluster 10
            disk.Put16(fat, 2 * 10, 0xFFFF); // and ends there
        }
    }
    disk.PutEntry(kRoot, 0, "VOLUME", 0x08, 0);
    disk.PutEntry(kRoot, 1, "A", 0x10, 2);
    disk.PutEntry(kRoot, 2, "FILE1   TXT", 0x20, 5, 100);
    disk.PutEntry(kRoot, 3, "\xE5OST    TXT", 0x20, 6, 7);

    disk.PutFolderStart(ClusterSector(2), 2, 0);
    disk.PutEntry(ClusterSector(2), 2, "B", 0x10, 3);
    disk.PutEntry(ClusterSector(2), 3, "INA     TXT", 0x20, 7, 11);

    disk.PutFolderStart(ClusterSector(3), 3, 2);
    for (std::uint32_t index = 2; index < 16; ++index) {
        const std::string name =
            "B" + std::string(index - 1 < 10 ? "0" : "") + std::to_string(index - 1) + "     TXT";
        disk.PutEntry(ClusterSector(3), index, name.c_str(), 0x20, 100 + index, index);
    }
    disk.PutEntry(ClusterSector(10), 0, "B15     TXT", 0x20, 200, 15);

    disk.PutFolderStart(ClusterSector(20), 20, 30);
    disk.PutEntry(ClusterSector(20), 2, "ORPH    TXT", 0x20, 201, 3);
    disk.PutFolderStart(ClusterSector(40), 40, 41);
    disk.PutEntry(ClusterSector(40), 2, "C40     TXT", 0x20, 202, 4);
    disk.PutFolderStart(ClusterSector(41), 41, 40);
}

// Folder and file paths from the found lists; a folder's path follows its parent links.
std::set<std::string> FoundPaths()
{
    std::unordered_map<std::uint32_t, const FatFolderRec*> byCluster;
    for (const FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
        byCluster.emplace(folder->firstCluster, folder);
    auto folderPath = [&](std::uint32_t cluster) {
        std::string path;
        for (int guard = 0; cluster != 0 && guard < 100; ++guard) {
            const auto found = byCluster.find(cluster);
            if (found == byCluster.end())
                return "?" + std::to_string(cluster) + path;
            path = "/" + Utf8(found->second->name) + path;
            cluster = found->second->parentCluster;
        }
        return path;
    };
    std::set<std::string> paths;
    for (const FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
        paths.insert("D " + folderPath(folder->firstCluster));
    for (const FatFileRec* file = fatFiles.head; file; file = file->next)
        paths.insert("F " + folderPath(file->parentCluster) + "/" + Utf8(file->name));
    return paths;
}

class ExtensiveFatSteps : public testing::Test
{
public:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
    }
    void TearDown() override { ResetEngineState(); }

    // The Extensive Scan of the whole disk and the choice of its one volume.
    void ScanAndChoose(std::uint32_t sectors)
    {
        VolumeParams.scanFsCode = kFsFat16;
        VolumeParams.rangeStart = 0;
        VolumeParams.rangeCount = sectors;
        VolumeParams.rangeEnd = sectors - 1;
        PrepareExtensiveScan();
        ExtensiveScanThread();
        ASSERT_EQ(volumeCounter, 1);
        ASSERT_TRUE(ChooseFoundVolume(FoundVolumeByNumber(1)->treeItem));
        EXPECT_EQ(VolumeParams.clusterBase, kBase);
        EXPECT_EQ(VolumeParams.sectorsPerCluster, 1u);
        recorder.Clear();
        // As the file-system step's worker starts.
        ScanThreadControl.done = 0;
        ScanThreadControl.running = 1;
    }

    // The recovered-items tree as paths; every folder must be reachable from "Root".
    std::set<std::string> TreePaths() const
    {
        std::set<std::string> paths;
        for (std::size_t item = 1; item <= recorder.recoveryTreeItems.size(); ++item) {
            std::string path;
            TreeItemValue at = item;
            for (int guard = 0; at != 0 && guard < 100; ++guard) {
                path = "/" + Utf8(recorder.recoveryTreeItems[at - 1].text) + path;
                at = recorder.recoveryTreeItems[at - 1].parent;
            }
            paths.insert(path);
        }
        return paths;
    }

    UiRecorder recorder;
};

TEST_F(ExtensiveFatSteps, RebuildsFoldersFilesAndLostParents)
{
    CraftedFatDisk disk(1000);
    BuildVolume(disk, true);
    disk.Attach();
    ScanAndChoose(1000);

    ScanFatSteps();

    const std::set<std::string> expected = {"D /A",
                                            "D /A/B",
                                            "D /Lost Dir",
                                            "D /Lost Dir/Dir30",
                                            "D /Lost Dir/Dir30/Dir20",
                                            "D /Lost Dir/Dir41",
                                            "D /Lost Dir/Dir41/Dir40",
                                            "F /FILE1.TXT",
                                            "F /xOST.TXT",
                                            "F /A/INA.TXT",
                                            "F /A/B/B01.TXT",
                                            "F /A/B/B02.TXT",
                                            "F /A/B/B03.TXT",
                                            "F /A/B/B04.TXT",
                                            "F /A/B/B05.TXT",
                                            "F /A/B/B06.TXT",
                                            "F /A/B/B07.TXT",
                                            "F /A/B/B08.TXT",
                                            "F /A/B/B09.TXT",
                                            "F /A/B/B10.TXT",
                                            "F /A/B/B11.TXT",
                                            "F /A/B/B12.TXT",
                                            "F /A/B/B13.TXT",
                                            "F /A/B/B14.TXT",
                                            "F /A/B/B15.TXT",
                                            "F /Lost Dir/Dir30/Dir20/ORPH.TXT",
                                            "F /Lost Dir/Dir41/Dir40/C40.TXT"};
    EXPECT_EQ(FoundPaths(), expected);
    EXPECT_EQ(VolumeParams.fat1Start, kFat1);
    EXPECT_EQ(VolumeParams.fat2Start, kFat2);
    EXPECT_EQ(VolumeParams.fatSize, kFat2 - kFat1);
    EXPECT_EQ(VolumeParams.rootStart, kRoot);

    EXPECT_EQ(TreePaths(), (std::set<std::string>{"/Root", "/Root/A", "/Root/A/B", "/Root/Lost Dir",
                                                  "/Root/Lost Dir/Dir30", "/Root/Lost Dir/Dir30/Dir20",
                                                  "/Root/Lost Dir/Dir41", "/Root/Lost Dir/Dir41/Dir40"}));
    EXPECT_EQ(
        recorder.ArgumentsOf("fileSystemStep.SetStatusText"),
        (std::vector<std::string>{"\"Extracting entries for the selected file system ( Step 1/5 )...\"",
                                  "\"Searching for orphan entries ( Step 2/5 )...\"",
                                  "\"Searching for lost FAT fragments ( Step 1/5 )...\"", "\"Step 4 / 5...\"",
                                  "\"Please wait creating tree ( Step 5/5 )...\""}));
    const std::vector<std::string> calls = recorder.Calls();
    ASSERT_GE(calls.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 7, calls.end()),
              (std::vector<std::string>{
                  "recoveryTree.InsertFolderItem(\"Root\", 0)",
                  "fileSystemStep.SetStatusText(\"Please wait creating tree ( Step 5/5 )...\")",
                  "fileSystemStep.HideScanButton()", "recoveryTree.AddFatFolderItems(1, 0)",
                  "recoveryTree.Expand(1)", "recoveryTree.SetCheckRecursive(1, 1)",
                  "resultList.SwitchToReportView()"}));
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

TEST_F(ExtensiveFatSteps, TheWorkerListsTheRootFolderAtTheEnd)
{
    CraftedFatDisk disk(1000);
    BuildVolume(disk, true);
    disk.Attach();
    ScanAndChoose(1000);
    ArmScanWorker(); // the Extensive Scan left done 1; the starter arms the next worker

    EXPECT_EQ(FileSystemScanThread(), 0u);

    std::set<std::string> names;
    for (const auto& row : recorder.resultRows)
        names.insert(Utf8(row.at(0)));
    EXPECT_EQ(names.count("A"), 1u);
    EXPECT_EQ(names.count("Lost Dir"), 1u);
    EXPECT_EQ(names.count("FILE1.TXT"), 1u);
    EXPECT_EQ(names.count("INA.TXT"), 0u) << "only the root folder is listed";
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

// The user's Stop may come between the worker's start and its first step: the worker keeps it, builds
// the tree of what was found (none of the volume's folders, only the root and "Lost Dir" that every tree
// has) and ends as after a stop.
TEST_F(ExtensiveFatSteps, AStopAskedBeforeTheWorkerStartsHolds)
{
    CraftedFatDisk disk(1000);
    BuildVolume(disk, true);
    disk.Attach();
    ScanAndChoose(1000);
    ArmScanWorker();
    ScanThreadControl.done = 1;

    EXPECT_EQ(FileSystemScanThread(), 0u);

    EXPECT_EQ(TreePaths(), (std::set<std::string>{"/Root", "/Root/Lost Dir"}));
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

TEST_F(ExtensiveFatSteps, WithoutTheFatsTheRootIsFoundAndFirstClustersStillParse)
{
    CraftedFatDisk disk(1000);
    BuildVolume(disk, false);
    disk.Attach();
    ScanAndChoose(1000);

    ScanFatSteps();

    const std::set<std::string> found = FoundPaths();
    // The root directory stands where format tools put it, before cluster 2.
    EXPECT_EQ(VolumeParams.rootStart, kRoot);
    EXPECT_EQ(VolumeParams.fat1Start, 0u);
    for (const char* path : {"D /A", "D /A/B", "F /FILE1.TXT", "F /A/INA.TXT", "F /A/B/B14.TXT",
                             "F /Lost Dir/Dir30/Dir20/ORPH.TXT"})
        EXPECT_EQ(found.count(path), 1u) << path;
    // B's second cluster is known only to the FAT.
    EXPECT_EQ(found.count("F /A/B/B15.TXT"), 0u);
}

TEST_F(ExtensiveFatSteps, AKnownFatSkipsTheSearchAndKeepsTheRoot)
{
    CraftedFatDisk disk(1000);
    BuildVolume(disk, true);
    disk.Attach();
    ScanAndChoose(1000);
    VolumeParams.fat1Start = kFat1;
    VolumeParams.fat2Start = kFat2;
    VolumeParams.fatSize = kFat2 - kFat1;
    VolumeParams.rootStart = kRoot;

    ScanFatSteps();

    for (const std::string& text : recorder.ArgumentsOf("fileSystemStep.SetStatusText"))
        EXPECT_EQ(text.find("lost FAT fragments"), std::string::npos);
    EXPECT_EQ(FoundPaths().count("F /A/B/B15.TXT"), 1u);
}

TEST_F(ExtensiveFatSteps, OneFatCopyFoundLeavesTheFat16RootAsItWas)
{
    CraftedFatDisk disk(1000);
    BuildVolume(disk, true);
    std::fill_n(disk.Sector(kFat2), 512, 0);
    disk.Attach();
    ScanAndChoose(1000);
    VolumeParams.rootStart = 777;

    FindFatCopies();

    EXPECT_EQ(VolumeParams.fat1Start, kFat1);
    EXPECT_EQ(VolumeParams.fat2Start, 0u);
    EXPECT_EQ(VolumeParams.fatSize, 0u);
    EXPECT_EQ(VolumeParams.rootStart, 777u);
}

TEST_F(ExtensiveFatSteps, NoCandidateOfTheVolumeGivesRootAndLostDirOnly)
{
    VolumeParams.fsCode = kFsFat16;
    VolumeParams.sectorsPerCluster = 1;
    VolumeParams.clusterBase = 1000;
    VolumeParams.fat1Start = 10;
    VolumeParams.volumeNumber = 2;
    AddFatDirCandidate(1010, 10, 0, 0, 0)->volumeNumber = 1;
    foundFolderCount = 1;
    ScanFatSteps();
    EXPECT_EQ(TreePaths(), (std::set<std::string>{"/Root", "/Root/Lost Dir"}));
}

TEST_F(ExtensiveFatSteps, CraftedParentLinksEndAndEveryFolderIsReachable)
{
    // Loops of every length, self-parents, clusters 0 and 1, a parent chain a thousand deep and a few
    // thousand folders, all of one volume; no disk behind them (every read gives zeros).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> links = {
        {5, 5},   {0, 7},   {1, 0},   {6, 6},   {10, 11}, {11, 10}, {20, 21},
        {21, 22}, {22, 20}, {30, 31}, {31, 32}, {32, 33}, {33, 31}};
    for (std::uint32_t depth = 0; depth < 1000; ++depth)
        links.push_back({100 + depth, depth == 0 ? 0 : 99 + depth});
    for (std::uint32_t loop = 0; loop < 3000; ++loop)
        links.push_back({5000 + loop, 5000 + (loop + 1) % 3000});
    for (const auto& [cluster, parent] : links) {
        AddFatDirCandidate(100000 + cluster, cluster, parent, 0, 0)->volumeNumber = 1;
        ++foundFolderCount;
    }
    VolumeParams.fsCode = kFsFat32;
    VolumeParams.sectorsPerCluster = 1;
    VolumeParams.clusterBase = 100000;
    VolumeParams.fat1Start = 50;
    VolumeParams.volumeNumber = 1;

    ScanFatSteps();

    std::set<std::uint32_t> clusters;
    for (const FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
        clusters.insert(folder->firstCluster);
    EXPECT_EQ(clusters.count(0), 0u);
    EXPECT_EQ(clusters.count(1), 0u);
    EXPECT_EQ(clusters.count(5), 0u) << "a self-parent is no folder";
    EXPECT_EQ(clusters.count(7), 0u);
    // Every folder is in the tree once: one item per folder record, plus "Root".
    EXPECT_EQ(recorder.recoveryTreeItems.size(), folderCount + 1);
    EXPECT_EQ(TreePaths().size(), folderCount + 1);
    EXPECT_EQ(TreePaths().count("/Root/Lost Dir/Dir22/Dir21/Dir20"), 1u);
}

} // namespace
