// The Extensive Scan of FAT against Sleuth Kit on the real test disks: every FAT16 and FAT32 partition,
// through every image of its disk (one image per disk under Wine, where reading is slower), gives the
// volume whose cluster 0 lies where fsstat puts the data area, less two clusters, and that volume lists
// every folder and file fls -r -p lists. Then copies of mbr-ext05 without boot sectors, and without FATs
// too, and whole disks with several FAT volumes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/fat/fat_fs_steps.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine_probe/probe_scan_rows.h"
#include "extensive_scan_runs.h"
#include "fat_oracle_compare.h"
#include "ntfs_test_volume.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

std::string FixturePath(const std::string& name)
{
    return test_support::RunningPlatformPath(std::string(EXTENSIVE_FAT_FIXTURES) + "/" + name);
}

// A FAT partition of partitions.tsv with the layout fsstat gives for it.
struct FatPartition : FatPartitionRow
{
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t dataArea = 0;    // first sector of the data area, from the partition start
    std::uint32_t clusterArea = 0; // first sector of cluster 2 (FAT16: after the root directory)
    std::uint32_t rootLast = 0;    // FAT16: last sector of the root directory
    std::uint32_t fat1 = 0;        // first sectors of the FAT copies
    std::uint32_t fat2 = 0;

    std::uint32_t Base() const { return start + clusterArea - 2 * sectorsPerCluster; }
};

// "LABEL: A - B" of fsstat: A (first) or B.
std::uint32_t FsstatRange(const std::string& text, const std::string& label, bool last)
{
    const std::size_t at = text.find(label + ": ");
    if (at == std::string::npos)
        return 0;
    const std::size_t from = at + label.size() + 2;
    const std::size_t dash = text.find(" - ", from);
    return static_cast<std::uint32_t>(std::stoul(last ? text.substr(dash + 3) : text.substr(from)));
}

std::vector<FatPartition> FatPartitions()
{
    std::vector<FatPartition> rows;
    for (const FatPartitionRow& row : FatPartitionRows()) {
        FatPartition partition{row};
        const std::string fsstat =
            test_support::ReadWholeFile(JoinPath(TestDisksDir(), row.disk + ".p" + row.part + ".fsstat.txt"));
        const std::size_t size = fsstat.find("Cluster Size: ");
        if (size == std::string::npos) {
            ADD_FAILURE() << "no cluster size in the fsstat of " << row.disk << " p" << row.part;
            continue;
        }
        partition.sectorsPerCluster = static_cast<std::uint32_t>(std::stoul(fsstat.substr(size + 14))) / 512;
        partition.dataArea = FsstatRange(fsstat, "* Data Area", false);
        partition.clusterArea = FsstatRange(fsstat, "** Cluster Area", false);
        partition.rootLast = FsstatRange(fsstat, "** Root Directory", true);
        partition.fat1 = FsstatRange(fsstat, "* FAT 0", false);
        partition.fat2 = FsstatRange(fsstat, "* FAT 1", false);
        rows.push_back(partition);
    }
    return rows;
}

FatPartition PartitionOf(const std::string& disk, const std::string& part)
{
    return test_support::RowOfPartition(FatPartitions(), disk, part);
}

std::vector<std::string> FatDisks()
{
    return test_support::DisksOfRows(FatPartitions());
}

// ---- Comparing with fls -----------------------------------------------------------------------------

// Every line of fls is found; lines of ours beyond them may only stand under "Lost Dir".
void ExpectVolumeHoldsFls(const FatPartition& partition)
{
    const KeyDifference difference = DifferenceOf(Keys(FlsEntries(partition.files)), Keys(ScannedEntries()));
    EXPECT_TRUE(difference.missing.empty()) << Describe({difference.missing, {}});
    for (const auto& line : difference.extra)
        EXPECT_NE(line.find(" Lost Dir"), std::string::npos) << "unexpected: " << line;
}

// ---- Running the scan -------------------------------------------------------------------------------

class ExtensiveFatDiskTest : public testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    // The Extensive Scan of a range, as the partition step runs it, with the time it took.
    static long long ScanRange(std::uint32_t start, std::uint32_t sectors, std::uint16_t scanFsCode)
    {
        return RunExtensiveRange(scanFsCode, start, sectors);
    }

    // The file-system step on volume `number`, as its worker runs it.
    static void ScanVolume(std::uint32_t number) { RunVolumeSteps(number, ScanFatSteps); }

    static std::string Bases()
    {
        std::string text;
        for (FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next)
            text += " " + std::to_string(volume->fsCode) + "@" + std::to_string(volume->clusterBase) + "/" +
                    std::to_string(volume->sectorsPerCluster);
        return text;
    }
};

class ExtensiveFatDisk : public ExtensiveFatDiskTest, public testing::WithParamInterface<std::string>
{
};

TEST(ExtensiveFatDisks, TheTestDisksHoldFatPartitions)
{
    ASSERT_TRUE(test_support::TestDisksAvailable()) << "run tools/make-test-disks first";
    EXPECT_GE(FatPartitions().size(), 10u);
}

TEST_P(ExtensiveFatDisk, FindsEachFatVolumeAndListsWhatFlsLists)
{
    const std::string disk = GetParam();
    std::vector<std::string> images = test_support::ImagesOfDisk(disk);
    ASSERT_FALSE(images.empty());
#ifdef _WIN32
    // One image per disk under Wine, a different kind from disk to disk.
    const std::vector<std::string> disks = FatDisks();
    const std::size_t diskIndex = std::find(disks.begin(), disks.end(), disk) - disks.begin();
    images = {images[diskIndex % images.size()]};
#endif
    for (const FatPartition& partition : FatPartitions()) {
        if (partition.disk != disk)
            continue;
        for (const std::string& image : images) {
            SCOPED_TRACE(image + " partition " + partition.part);
            ResetEngineState();
            AttachedImage attached(JoinPath(TestDisksDir(), image));
            ASSERT_TRUE(attached.IsAttached());
            const long long elapsed = ScanRange(partition.start, partition.sectors, partition.fsCode);
            std::printf("[ scan     ] %s p%s: %lld ms, %u candidates, %u boot sectors, volumes%s\n",
                        image.c_str(), partition.part.c_str(), elapsed, foundFolderCount, bootSectorCount,
                        Bases().c_str());
            // The boot sector's volume comes first.
            const FoundVolumeRec* volume = FoundVolumeByNumber(1);
            ASSERT_NE(volume, nullptr);
            EXPECT_EQ(volume->clusterBase, partition.Base());
            EXPECT_EQ(volume->sectorsPerCluster, partition.sectorsPerCluster);
            EXPECT_EQ(volume->fsCode, partition.fsCode);
            EXPECT_EQ(volume->fat1Start, partition.start + partition.fat1);
            EXPECT_EQ(volume->fat2Start, partition.start + partition.fat2);
            EXPECT_EQ(volume->endSector, partition.start + partition.sectors);
            ScanVolume(1);
            ExpectVolumeHoldsFls(partition);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TestDisks, ExtensiveFatDisk, testing::ValuesIn(FatDisks()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

const char* const kDamagedParts[] = {"1", "2", "5", "7"};

TEST_F(ExtensiveFatDiskTest, WithoutBootSectorsTheVolumesAreInferredAlike)
{
    for (const char* part : kDamagedParts) {
        SCOPED_TRACE(std::string("mbr-ext05 partition ") + part);
        const FatPartition partition = PartitionOf("mbr-ext05", part);
        ResetEngineState();
        AttachedImage image(FixturePath("boot-zeroed.vmdk"));
        ASSERT_TRUE(image.IsAttached());
        ScanRange(partition.start, partition.sectors, partition.fsCode);
        std::printf("[ scan     ] boot-zeroed p%s: volumes%s\n", part, Bases().c_str());
        const FoundVolumeRec* volume = FoundVolumeByNumber(1);
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->clusterBase, partition.Base());
        EXPECT_EQ(volume->sectorsPerCluster, partition.sectorsPerCluster);
        EXPECT_EQ(volume->fsCode, partition.fsCode);
        EXPECT_EQ(volume->fat1Start, 0u) << "inferred, not read from a boot sector";
        // The FAT copies are still there to be found, and with them the whole tree.
        ScanVolume(1);
        EXPECT_EQ(VolumeParams.fat1Start, partition.start + partition.fat1);
        EXPECT_EQ(VolumeParams.fatSize, partition.fat2 - partition.fat1);
        ExpectVolumeHoldsFls(partition);
    }
}

struct FolderOracle
{
    std::uint32_t cluster;
    std::uint32_t sector; // from the partition start
};

std::map<std::string, FolderOracle> FoldersOf(const std::string& part)
{
    std::map<std::string, FolderOracle> folders;
    for (const auto& row : ReadTsv(FixturePath("folders.tsv")))
        if (row.size() >= 4 && row[0] == part)
            folders[row[1]] = {static_cast<std::uint32_t>(std::stoul(row[2])),
                               static_cast<std::uint32_t>(std::stoul(row[3]))};
    return folders;
}

TEST_F(ExtensiveFatDiskTest, WithoutFatsLostParentsGoUnderLostDirAndNoSurvivingFileIsLost)
{
    for (const char* part : kDamagedParts) {
        SCOPED_TRACE(std::string("mbr-ext05 partition ") + part);
        const FatPartition partition = PartitionOf("mbr-ext05", part);
        const std::map<std::string, FolderOracle> folders = FoldersOf(part);
        ASSERT_EQ(folders.count("Level1"), 1u);
        ResetEngineState();
        AttachedImage image(FixturePath("fats-zeroed.vmdk"));
        ASSERT_TRUE(image.IsAttached());
        ScanRange(partition.start, partition.sectors, partition.fsCode);
        const FoundVolumeRec* volume = FoundVolumeByNumber(1);
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->clusterBase, partition.Base());
        EXPECT_EQ(volume->sectorsPerCluster, partition.sectorsPerCluster);
        ScanVolume(1);
        EXPECT_EQ(VolumeParams.fat1Start, 0u);

        // Level1's directory is gone: its cluster stands under "Lost Dir" as "Dir" + cluster, holding
        // Level2, whose name was in Level1's directory too.
        const std::uint32_t level1 = folders.at("Level1").cluster;
        const std::uint32_t level2 = folders.at("Level1/Level2").cluster;
        std::map<std::uint32_t, const FatFolderRec*> byCluster;
        for (const FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
            byCluster[folder->firstCluster] = folder;
        ASSERT_EQ(byCluster.count(level1), 1u);
        EXPECT_EQ(Utf8(byCluster[level1]->name), "Dir" + std::to_string(level1));
        EXPECT_EQ(byCluster[level1]->parentCluster, kLostDirValue);
        ASSERT_EQ(byCluster.count(level2), 1u);
        EXPECT_EQ(Utf8(byCluster[level2]->name), "Dir" + std::to_string(level2));
        EXPECT_EQ(byCluster[level2]->parentCluster, level1);
        const std::vector<std::string> rows = [] {
            std::vector<std::string> paths;
            for (const ProbeScanRow& row : CollectProbeScanRows())
                paths.push_back(row.path);
            return paths;
        }();
        const std::string level3 =
            "Lost Dir/Dir" + std::to_string(level1) + "/Dir" + std::to_string(level2) + "/Level3";
        EXPECT_NE(std::find(rows.begin(), rows.end(), level3), rows.end()) << level3;

        // Every live file whose entry lies in the first cluster of its folder (the rest of a directory is
        // known only to the FAT) is found in that folder, by name and size.
        std::multiset<std::string> found;
        for (const FatFileRec* file = fatFiles.head; file; file = file->next)
            found.insert(std::to_string(file->parentCluster) + "/" + NormalName(Utf8(file->name), false) +
                         " " + std::to_string(file->size));
        std::size_t expected = 0;
        for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
            if (row.size() < 9 || row[1] != "f" || row[2] != "0" || row[4] == "0")
                continue;
            const std::string& path = row[8];
            const std::size_t slash = path.rfind('/');
            const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
            if (folder == "Level1")
                continue; // its directory was wiped
            const std::uint32_t entrySector = partition.dataArea + (std::stoul(row[0]) - 3) / 16;
            std::uint32_t parent = 0;
            bool inFirstCluster = false;
            if (folder.empty()) {
                inFirstCluster = partition.fsCode == kFsFat16
                                     ? entrySector <= partition.rootLast
                                     : entrySector < partition.clusterArea + partition.sectorsPerCluster;
            } else {
                const FolderOracle& oracle = folders.at(folder);
                parent = oracle.cluster;
                inFirstCluster =
                    entrySector >= oracle.sector && entrySector < oracle.sector + partition.sectorsPerCluster;
            }
            if (!inFirstCluster)
                continue;
            ++expected;
            const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
            EXPECT_EQ(found.count(std::to_string(parent) + "/" + NormalName(name, false) + " " + row[4]), 1u)
                << path;
        }
        std::printf(
            "[ scan     ] fats-zeroed p%s: %zu live files in surviving first clusters, %u files found\n",
            part, expected, fileCount);
        EXPECT_GT(expected, 10u);
    }
}

TEST_F(ExtensiveFatDiskTest, SeveralFatVolumesOnOneDiskAreNumberedInDiskOrder)
{
    for (const char* disk : {"no-table", "mbr-ext05"}) {
        SCOPED_TRACE(disk);
        ResetEngineState();
        UiRecorder ui;
        ui.Attach();
        AttachedImage image(JoinPath(TestDisksDir(), std::string(disk) + ".vmdk"));
        ASSERT_TRUE(image.IsAttached());
        std::vector<FatPartition> partitions;
        std::uint32_t diskSectors = 0;
        for (const FatPartition& partition : FatPartitions())
            if (partition.disk == disk)
                partitions.push_back(partition);
        for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "disks.tsv")))
            if (row.size() >= 3 && row[0] == disk)
                diskSectors = static_cast<std::uint32_t>(std::stoull(row[2]) / 512);
        std::sort(partitions.begin(), partitions.end(),
                  [](const FatPartition& a, const FatPartition& b) { return a.start < b.start; });
        ASSERT_GE(partitions.size(), 2u);

        const long long elapsed = ScanRange(0, diskSectors, kFsFat32);
        std::printf("[ scan     ] %s whole disk: %lld ms, %u candidates, volumes%s\n", disk, elapsed,
                    foundFolderCount, Bases().c_str());
        for (std::uint32_t number = 1; number <= partitions.size(); ++number) {
            const FatPartition& partition = partitions[number - 1];
            SCOPED_TRACE("partition " + partition.part);
            const FoundVolumeRec* volume = FoundVolumeByNumber(number);
            ASSERT_NE(volume, nullptr);
            EXPECT_EQ(volume->clusterBase, partition.Base());
            EXPECT_EQ(volume->fsCode, partition.fsCode);
            const std::string label =
                (partition.fsCode == kFsFat32 ? "FAT32 @" : "FAT16 @") + std::to_string(partition.Base());
            ASSERT_GT(ui.partitionTreeItems.size(), number);
            EXPECT_EQ(Utf8(ui.partitionTreeItems[number].text), label);
        }
        // The second volume still lists its own tree.
        ScanVolume(2);
        ExpectVolumeHoldsFls(partitions[1]);
    }
}

} // namespace
