// The Quick Scan of FAT volumes against Sleuth Kit: every FAT16 and FAT32 partition of the test disks,
// through every image of the disk, gives the same folders and files as fls -r -p of the raw partition.
// Then volumes whose boot sectors were zeroed, a range without any file system, and crafted volumes whose
// FAT and directories lie.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_chain.h"
#include "engine/recovery/fat/quick_fat_tree.h"
#include "engine/recovery/partitions/partition_params.h"
#include "engine/recovery/scans/quick_scan.h"
#include "engine_probe/probe_scan_rows.h"
#include "fat_dir_builder.h"
#include "fat_oracle_compare.h"
#include "fat_test_volume.h"
#include "ntfs_test_volume.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

using test_support::JoinPath;
using test_support::TestDisksDir;

std::string FixturePath(const std::string& name)
{
    return test_support::RunningPlatformPath(std::string(QUICK_SCAN_FAT_FIXTURES) + "/" + name);
}

using PartitionRow = FatPartitionRow;

void ExpectScanEqualsFls(const PartitionRow& partition)
{
    const std::vector<std::string> expected = Keys(FlsEntries(partition.files));
    const std::vector<std::string> actual = Keys(ScannedEntries());
    EXPECT_EQ(actual, expected) << Describe(DifferenceOf(expected, actual));
}

// ---- Every FAT partition through every image -----------------------------------------------------

class QuickScanFatDisk : public testing::TestWithParam<std::string>
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }
};

std::vector<std::string> FatDisks()
{
    std::vector<std::string> disks;
    for (const PartitionRow& row : FatPartitionRows())
        if (std::find(disks.begin(), disks.end(), row.disk) == disks.end())
            disks.push_back(row.disk);
    return disks;
}

TEST(QuickScanFatDisks, TheTestDisksHoldFatPartitions)
{
    ASSERT_TRUE(test_support::TestDisksAvailable()) << "run tools/make-test-disks first";
    EXPECT_GE(FatDisks().size(), 6u);
}

TEST_P(QuickScanFatDisk, EqualsFlsOnEveryFatPartition)
{
    const std::string disk = GetParam();
    const std::vector<std::string> images = test_support::ImagesOfDisk(disk);
    ASSERT_FALSE(images.empty());
    for (const PartitionRow& partition : FatPartitionRows()) {
        if (partition.disk != disk)
            continue;
        for (const std::string& image : images) {
            SCOPED_TRACE(image + " partition " + partition.part);
            ResetEngineState();
            AttachedImage attached(JoinPath(TestDisksDir(), image));
            ASSERT_TRUE(attached.IsAttached());
            const auto begin = std::chrono::steady_clock::now();
            EXPECT_EQ(RunProbeQuickScan(partition.start, partition.sectors, partition.fsCode), 1);
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - begin);
            std::printf("[ scan     ] %s p%s: %lld ms, %u folders, %u files\n", image.c_str(),
                        partition.part.c_str(), static_cast<long long>(elapsed.count()), folderCount,
                        fileCount);
            EXPECT_EQ(ScanThreadControl.done.load(), 1u);
            EXPECT_EQ(ScanThreadControl.running.load(), 0u);
            ExpectScanEqualsFls(partition);
        }
    }
}

// The rows the results view opens with: the Quick Scan lists the root folder into the result list, and
// its rows are the root entries of fls (folders and files, live and deleted, empty files too).
TEST(QuickScanFatRootRows, EqualTheRootEntriesOfFls)
{
    for (const PartitionRow& partition : FatPartitionRows()) {
        if (partition.disk != "mbr-ext05")
            continue;
        SCOPED_TRACE("partition " + partition.part);
        ResetEngineState();
        UiRecorder recorder;
        recorder.Attach();
        AttachedImage attached(JoinPath(TestDisksDir(), "mbr-ext05.vmdk"));
        ASSERT_TRUE(attached.IsAttached());
        ASSERT_EQ(RunProbeQuickScan(partition.start, partition.sectors, partition.fsCode), 1);

        std::vector<FatListingEntry> listed;
        for (const std::vector<std::u16string>& row : recorder.resultRows) {
            ASSERT_GE(row.size(), 3u);
            const std::string type = Utf8(row[1]);
            const bool deleted = type.rfind("Deleted ", 0) == 0;
            const bool folder = type == "Folder" || type == "Deleted Folder";
            listed.push_back({folder ? 'D' : 'F', deleted, std::stoull(Utf8(row[2])), Utf8(row[0])});
        }
        std::vector<FatListingEntry> root;
        for (const FatListingEntry& entry : FlsEntries(partition.files))
            if (entry.path.find('/') == std::string::npos)
                root.push_back(entry);
        ASSERT_FALSE(root.empty());
        const std::vector<std::string> expected = Keys(root);
        const std::vector<std::string> actual = Keys(listed);
        EXPECT_EQ(actual, expected) << Describe(DifferenceOf(expected, actual));
        ResetEngineState();
    }
}

INSTANTIATE_TEST_SUITE_P(TestDisks, QuickScanFatDisk, testing::ValuesIn(FatDisks()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// ---- Damaged boot sectors ---------------------------------------------------------------------------

class QuickScanFat : public testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    static PartitionRow Partition(const std::string& disk, const std::string& part)
    {
        for (const PartitionRow& row : FatPartitionRows())
            if (row.disk == disk && row.part == part)
                return row;
        ADD_FAILURE() << disk << " has no FAT partition " << part;
        return {};
    }

    static void SelectRange(const PartitionRow& partition)
    {
        VolumeParams.scanFsCode = partition.fsCode;
        VolumeParams.rangeStart = partition.start;
        VolumeParams.rangeCount = partition.sectors;
        VolumeParams.rangeEnd = partition.start + partition.sectors - 1;
    }
};

TEST_F(QuickScanFat, ZeroedBootSectorsAreFoundFromTheBackupOrByTheDirectorySearch)
{
    struct Case
    {
        const char* part;
        bool fromBackup; // else every boot sector is gone and the directory search finds the layout
    };
    const Case cases[] = {
        {"1", false}, // FAT16, primary boot sector zeroed: FAT16 keeps no backup
        {"2", true},  // FAT32, primary zeroed: the backup at +6
        {"5", false}, // FAT16
        {"7", false}, // FAT32, primary and backup zeroed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("mbr-ext05 partition ") + c.part);
        const PartitionRow partition = Partition("mbr-ext05", c.part);

        ResetEngineState();
        VolumeParamsBlock intact;
        {
            AttachedImage image(JoinPath(TestDisksDir(), "mbr-ext05.vmdk"));
            SelectRange(partition);
            ASSERT_EQ(ReadPartitionParams(), 1);
            intact = VolumeParams;
        }

        ResetEngineState();
        UiRecorder ui;
        ui.Attach();
        AttachedImage damaged(FixturePath("damaged-boot.vmdk"));
        SelectRange(partition);
        EXPECT_EQ(ReadPartitionParams(), c.fromBackup ? 1 : 0);
        if (!c.fromBackup) {
            EXPECT_EQ(SearchPartitionParams(), 1);
        }
        EXPECT_EQ(VolumeParams.sectorsPerCluster, intact.sectorsPerCluster);
        EXPECT_EQ(VolumeParams.clusterBase, intact.clusterBase);
        EXPECT_EQ(VolumeParams.fat1Start, intact.fat1Start);
        EXPECT_EQ(VolumeParams.fatSize, intact.fatSize);
        EXPECT_EQ(VolumeParams.rootStart, intact.rootStart);

        ResetEngineState();
        ui.Clear();
        ui.Attach();
        AttachedImage again(FixturePath("damaged-boot.vmdk"));
        EXPECT_EQ(RunProbeQuickScan(partition.start, partition.sectors, partition.fsCode), 1);
        const auto status = ui.ArgumentsOf("scanPanel.SetStatusText");
        EXPECT_EQ(
            std::count(status.begin(), status.end(), "\"Please wait, Calculating partition parameters...\""),
            c.fromBackup ? 0 : 1);
        ExpectScanEqualsFls(partition);
    }
}

TEST_F(QuickScanFat, RangeWithoutParametersTellsTheUserAndEnds)
{
    UiRecorder ui;
    ui.Attach();
    AttachedImage image(JoinPath(TestDisksDir(), "mbr-ext05.vmdk"));
    // The sectors between the partition table and the first partition hold nothing.
    EXPECT_EQ(RunProbeQuickScan(1, 2000, kFsFat32), 0);
    EXPECT_EQ(PartitionParamsMissing.load(), 1u);
    EXPECT_EQ(ui.ArgumentsOf("messages.HtmlMessageBox"),
              (std::vector<std::string>{
                  "\"Corvane VMDK Recovery was unable to find correct partition parameters.\", "
                  "\"Corvane VMDK Recovery\", 16"}));
    const std::vector<std::string> calls = ui.Calls();
    for (const char* expected : {"partitionStep.KillScanTimer()", "scanPanel.HideProgress()",
                                 "scanPanel.HideStatusText()", "partitionStep.EnablePartitionList(true)"})
        EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << expected;
    EXPECT_TRUE(ui.recoveryTreeItems.empty());

    // A logical volume that cannot be opened ends the same way instead of leaving the step waiting.
    ResetEngineState();
    ui.Clear();
    ui.Attach();
    SourceState.sourceKind = kSourceLogicalVolume;
    DriveEntryTable.entries[0][0] = u'?'; // no system has such a volume
    DriveEntryTable.entries[0][1] = u':';
    EXPECT_EQ(RunProbeQuickScan(0, 2000, kFsFat32), 0);
    EXPECT_EQ(PartitionParamsMissing.load(), 1u);
    EXPECT_EQ(ui.ArgumentsOf("messages.HtmlMessageBox").size(), 1u);
}

TEST_F(QuickScanFat, BuildsTheTreeUnderRoot)
{
    UiRecorder ui;
    ui.Attach();
    AttachedImage image(JoinPath(TestDisksDir(), "gpt.vmdk"));
    const PartitionRow partition = Partition("gpt", "1");
    SaveControl.stop = 1; // a stopped save must not cut the scan short
    ASSERT_EQ(RunProbeQuickScan(partition.start, partition.sectors, partition.fsCode), 1);
    ASSERT_FALSE(ui.recoveryTreeItems.empty());
    EXPECT_EQ(Utf8(ui.recoveryTreeItems[0].text), "Root");
    std::size_t folders = 0;
    for (FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
        ++folders;
    EXPECT_EQ(ui.recoveryTreeItems.size(), folders + 1);
    const std::vector<std::string> calls = ui.Calls();
    for (const char* expected :
         {"scanPanel.SetCounterLabels()", "partitionStep.SetBusy(true)", "resultList.SwitchToReportView()"})
        EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << expected;
    ExpectScanEqualsFls(partition);
}

// ---- Crafted volumes ----------------------------------------------------------------------------------

// A copy of a crafted volume whose bytes the test changes before the engine reads it.
class CraftedVolume
{
public:
    explicit CraftedVolume(const std::string& name)
    {
        std::ifstream in(FixturePath(name), std::ios::binary | std::ios::ate);
        bytes.resize(static_cast<std::size_t>(in.tellg()));
        in.seekg(0);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        EXPECT_GT(bytes.size(), 1u << 20) << name;
        fat32 = name.find("fat32") != std::string::npos;
        reserved = U16(14);
        fats = bytes[16];
        fatSize = fat32 ? U32(36) : U16(22);
        sectorsPerCluster = bytes[13];
        rootSectors = U16(17) / 16;
        dataStart = reserved + fats * fatSize + rootSectors;
        rootCluster = fat32 ? U32(44) : 0;
    }

    std::uint32_t U16(std::size_t at) const { return bytes[at] | bytes[at + 1] << 8; }
    std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }

    std::size_t ClusterOffset(std::uint32_t cluster) const
    {
        return (dataStart + static_cast<std::size_t>(cluster - 2) * sectorsPerCluster) * 512;
    }
    std::size_t RootOffset() const
    {
        return fat32 ? ClusterOffset(rootCluster) : (reserved + fats * fatSize) * 512;
    }

    // The byte offset of the short entry `name11` in the directory that starts at `directory`.
    std::size_t FindEntry(std::size_t directory, const char* name11) const
    {
        for (std::size_t at = directory; at < directory + 16 * 512; at += 32)
            if (std::memcmp(bytes.data() + at, name11, 11) == 0)
                return at;
        ADD_FAILURE() << "no entry " << name11;
        return directory;
    }
    std::uint32_t ClusterOf(std::size_t entry) const
    {
        return U16(entry + 26) | (fat32 ? U16(entry + 20) << 16 : 0);
    }
    void SetCluster(std::size_t entry, std::uint32_t cluster)
    {
        fat_test::PutU16(bytes.data() + entry + 26, cluster & 0xFFFF);
        if (fat32)
            fat_test::PutU16(bytes.data() + entry + 20, cluster >> 16);
    }
    void SetFat(std::uint32_t cluster, std::uint32_t value)
    {
        for (std::uint32_t copy = 0; copy < fats; ++copy) {
            std::uint8_t* at = bytes.data() + (reserved + copy * fatSize) * 512 + cluster * (fat32 ? 4 : 2);
            if (fat32)
                fat_test::PutU32(at, value);
            else
                fat_test::PutU16(at, value);
        }
    }

    std::size_t EntryA() const { return FindEntry(RootOffset(), "A          "); }
    std::uint32_t ClusterA() const { return ClusterOf(EntryA()); }
    std::size_t EntryB() const { return FindEntry(ClusterOffset(ClusterA()), "B          "); }
    std::uint32_t ClusterB() const { return ClusterOf(EntryB()); }
    std::uint32_t PastTheFat() const { return fat32 ? 0x0FFFFFF0 : 0xFFF0; }

    // Turns the free entries of a directory cluster into deleted empty ones, so that the directory does
    // not end within the cluster and its chain is followed.
    void OpenEnd(std::uint32_t cluster)
    {
        const std::size_t start = ClusterOffset(cluster);
        for (std::size_t at = start; at < start + sectorsPerCluster * 512; at += 32)
            if (bytes[at] == 0)
                bytes[at] = 0xE5;
    }

    std::vector<std::uint8_t> bytes;
    bool fat32 = false;
    std::uint32_t reserved = 0, fats = 0, fatSize = 0, sectorsPerCluster = 0, rootSectors = 0, dataStart = 0,
                  rootCluster = 0;
};

std::vector<std::string> KindsAndPaths()
{
    std::vector<std::string> lines;
    for (const ProbeScanRow& row : CollectProbeScanRows())
        lines.push_back(std::string(1, row.kind) + " " + row.path);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(QuickScanFat, CraftedVolumesEndWithWhatTheyHold)
{
    const std::vector<std::string> whole = {"D A",         "D A/B",     "F A/A.TXT",
                                            "F A/B/B.TXT", "F BIG.BIN", "F ROOT.TXT"};
    struct Case
    {
        const char* name;
        bool fat32Only;
        std::function<void(CraftedVolume&)> damage;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"as made", false, [](CraftedVolume&) {}, whole},
        {"a folder's chain loops onto itself", false,
         [](CraftedVolume& v) {
             v.OpenEnd(v.ClusterA());
             v.SetFat(v.ClusterA(), v.ClusterA());
         },
         whole},
        {"a folder's chain runs into its subfolder, which links back: B's cluster is read once, as A's",
         false,
         [](CraftedVolume& v) {
             v.OpenEnd(v.ClusterA());
             v.SetFat(v.ClusterA(), v.ClusterB());
             v.SetFat(v.ClusterB(), v.ClusterA());
         },
         {"D A", "D A/B", "F A/A.TXT", "F A/B.TXT", "F BIG.BIN", "F ROOT.TXT"}},
        {"a folder's chain links past the FAT", false,
         [](CraftedVolume& v) {
             v.OpenEnd(v.ClusterA());
             v.SetFat(v.ClusterA(), v.PastTheFat());
         },
         whole},
        {"a file's first cluster lies past the FAT",
         false,
         [](CraftedVolume& v) { v.SetCluster(v.FindEntry(v.RootOffset(), "ROOT    TXT"), v.PastTheFat()); },
         {"D A", "D A/B", "F A/A.TXT", "F A/B/B.TXT", "F BIG.BIN"}},
        {"a folder entry names cluster 1",
         false,
         [](CraftedVolume& v) { v.SetCluster(v.EntryA(), 1); },
         {"F BIG.BIN", "F ROOT.TXT"}},
        {"a subfolder's \".\" names its parent", false,
         [](CraftedVolume& v) { v.SetCluster(v.ClusterOffset(v.ClusterB()), v.ClusterA()); }, whole},
        {"a subfolder entry names its parent's cluster",
         false,
         [](CraftedVolume& v) { v.SetCluster(v.EntryB(), v.ClusterA()); },
         {"D A", "F A/A.TXT", "F BIG.BIN", "F ROOT.TXT"}},
        {"a folder entry names the root cluster",
         true,
         [](CraftedVolume& v) { v.SetCluster(v.EntryA(), v.rootCluster); },
         {"D A", "F BIG.BIN", "F ROOT.TXT"}},
        {"the root's chain loops", true,
         [](CraftedVolume& v) {
             v.OpenEnd(v.rootCluster);
             v.SetFat(v.rootCluster, v.rootCluster);
         },
         whole},
    };
    for (const char* volumeName : {"crafted-fat16.raw", "crafted-fat32.raw"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(volumeName) + ": " + c.name);
            CraftedVolume volume(volumeName);
            if (c.fat32Only && !volume.fat32)
                continue;
            c.damage(volume);
            ResetEngineState();
            fat_test::TestVolume source(volume.bytes);
            VolumeParams.scanFsCode = volume.fat32 ? kFsFat32 : kFsFat16;
            VolumeParams.rangeCount = static_cast<std::uint32_t>(volume.bytes.size() / 512);
            ASSERT_EQ(ReadPartitionParams(), 1);
            BuildQuickFatTree();
            EXPECT_EQ(KindsAndPaths(), c.expected);
            EXPECT_EQ(ScanThreadControl.done.load(), 1u);
        }
    }
}

} // namespace
