// The FAT sector scan of the Extensive Scan over crafted disks: what is recorded as a boot sector or a
// directory candidate, the range it covers, and how it ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/scan_sectors_fat.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "extensive_fat_crafted_disk.h"
#include "ui_recorder.h"

namespace {

class ExtensiveFatSectorScan : public testing::Test
{
public:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
    }
    void TearDown() override { ResetEngineState(); }

    void ScanRange(std::uint32_t start, std::uint32_t count)
    {
        VolumeParams.scanFsCode = kFsFat32;
        VolumeParams.rangeStart = start;
        VolumeParams.rangeCount = count;
        VolumeParams.rangeEnd = start + count - 1;
        PrepareExtensiveScan();
        ScanSectorsFat();
    }

    static std::vector<std::uint32_t> BootSectors()
    {
        std::vector<std::uint32_t> sectors;
        for (U32Node* node = bootSectorList; node; node = node->next)
            sectors.push_back(node->value);
        return sectors;
    }

    struct Found
    {
        std::uint32_t sector, cluster, parent;
        bool operator==(const Found&) const = default;
    };
    static std::vector<Found> Candidates()
    {
        std::vector<Found> found;
        for (FatDirCandidate* candidate = fatDirCandidates.head; candidate; candidate = candidate->next)
            found.push_back({candidate->sector, candidate->firstCluster, candidate->parentCluster});
        return found;
    }

    UiRecorder recorder;
};

TEST_F(ExtensiveFatSectorScan, RecordsLabelledBootSectorsAndFolderStarts)
{
    CraftedFatDisk disk(400);
    CraftedFatDisk::Boot fat32;
    disk.PutBoot(10, fat32);
    CraftedFatDisk::Boot fat16;
    fat16.fat32 = false;
    disk.PutBoot(20, fat16);
    // The signature without a FAT label (a partition table, an NTFS boot sector) is nothing.
    disk.Sector(30)[510] = 0x55;
    disk.Sector(30)[511] = 0xAA;
    // A signature makes a sector a boot sector or nothing, even when it begins like a folder.
    disk.PutFolderStart(40, 5, 0);
    disk.Sector(40)[510] = 0x55;
    disk.Sector(40)[511] = 0xAA;

    struct Case
    {
        const char* name;
        std::uint32_t sector, cluster, parent;
        bool kept;
    };
    const Case cases[] = {
        {"the first folder of a FAT16 volume sits at cluster 2", 100, 2, 0, true},
        {"cluster 0 is no folder", 110, 0, 0, false},
        {"cluster 1 is no folder", 120, 1, 0, false},
        {"a folder is never its own parent", 130, 9, 9, false},
        {"a cluster at or past its own sector", 140, 140, 0, false},
        {"the end marker as cluster", 150, 0xFFFFFFFF, 0, false},
        {"the end marker as parent", 160, 7, 0xFFFFFFFF, false},
        {"the high word counts", 170, 0x10005, 0x10003, false},
        {"a sub-folder", 180, 30, 2, true},
    };
    for (const Case& c : cases)
        disk.PutFolderStart(c.sector, c.cluster, c.parent);
    // Cluster 0x10005 is past its sector 170 only with its high word.
    disk.PutFolderStart(170, 0x10005, 0x10003);
    disk.Attach();

    ScanRange(0, 400);

    EXPECT_EQ(BootSectors(), (std::vector<std::uint32_t>{10, 20}));
    EXPECT_EQ(bootSectorCount, 2u);
    std::vector<Found> expected;
    for (const Case& c : cases)
        if (c.kept)
            expected.push_back({c.sector, c.cluster, c.parent});
    EXPECT_EQ(Candidates(), expected);
    EXPECT_EQ(foundFolderCount, expected.size());
    ASSERT_NE(fatDirCandidates.head, nullptr);
    EXPECT_EQ(fatDirCandidates.head->writeDate, 0x5A22);
    EXPECT_EQ(fatDirCandidates.head->accessDate, 0x5A21);
    EXPECT_EQ(fatDirCandidates.head->volumeNumber, 0);
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

TEST_F(ExtensiveFatSectorScan, ReadsTheRangeInclusiveAndNothingPastIt)
{
    struct Case
    {
        const char* name;
        std::uint32_t sectorsPerRead;
        std::uint32_t rangeCount;
        std::uint32_t rangeEnd; // 0: start + count - 1
    };
    const Case cases[] = {
        {"reads of 100, the last one short", 100, 251, 0},
        {"one sector a read", 1, 251, 0},
        {"a count that leaves out the last sector", 7, 250, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        recorder.Attach();
        CraftedFatDisk disk(600);
        disk.PutFolderStart(50, 3, 0);   // the range's first sector
        disk.PutFolderStart(300, 40, 0); // its last sector
        disk.PutFolderStart(301, 41, 0); // the first one after it
        disk.Attach();
        RecoverySettings.sectorsPerRead = c.sectorsPerRead;
        VolumeParams.scanFsCode = kFsFat16;
        VolumeParams.rangeStart = 50;
        VolumeParams.rangeCount = c.rangeCount;
        VolumeParams.rangeEnd = c.rangeEnd != 0 ? c.rangeEnd : 50 + c.rangeCount - 1;
        PrepareExtensiveScan();
        ScanSectorsFat();
        EXPECT_EQ(Candidates(), (std::vector<Found>{{50, 3, 0}, {300, 40, 0}}));
    }
}

TEST_F(ExtensiveFatSectorScan, AReadPastTheDiskEndRecordsNothingTwice)
{
    // The range runs 150 sectors past the end of a 250-sector disk: the reads there fail, and their
    // buffer must not hand the last good read's folder starts over again.
    // Reads that end at the disk's end, and reads that run over it: the sectors before the end are
    // still inspected as they lie.
    for (const std::uint32_t perRead : {10u, 100u, 7u}) {
        SCOPED_TRACE(perRead);
        ResetEngineState();
        recorder.Attach();
        CraftedFatDisk disk(250);
        disk.PutFolderStart(240, 100, 0);
        disk.PutFolderStart(249, 101, 100);
        disk.Attach();
        RecoverySettings.sectorsPerRead = perRead;
        ScanRange(0, 400);
        EXPECT_EQ(Candidates(), (std::vector<Found>{{240, 100, 0}, {249, 101, 100}}));
    }
}

TEST_F(ExtensiveFatSectorScan, TooManyBootSectorsEndTheScanWithAMessage)
{
    const std::uint32_t bootSectors = kMaxFatBootSectors + 1;
    CraftedFatDisk disk(bootSectors + 10);
    CraftedFatDisk::Boot boot;
    for (std::uint32_t sector = 0; sector < bootSectors; ++sector)
        disk.PutBoot(sector, boot);
    disk.PutFolderStart(bootSectors + 5, 3, 0);
    disk.Attach();

    ScanRange(0, bootSectors + 10);

    EXPECT_EQ(bootSectorCount, bootSectors);
    EXPECT_EQ(BootSectors().size(), bootSectors);
    EXPECT_TRUE(Candidates().empty()) << "the scan went on after the limit";
    EXPECT_EQ(recorder.ArgumentsOf("messages.ShowMessage"),
              (std::vector<std::string>{"2, \"Too many data structures found\""}));
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

// A visitor that asks for a stop at one sector, as a confirmed Stop does from the user-interface thread.
class StopAt final : public ExtensiveSectorVisitor
{
public:
    explicit StopAt(std::uint32_t sector) : stopSector(sector) {}
    bool InspectSector(std::uint32_t sector, const std::uint8_t*, std::uint32_t) override
    {
        inspected.push_back(sector);
        if (sector == stopSector)
            ScanThreadControl.done = 1;
        return true;
    }
    std::uint32_t stopSector;
    std::vector<std::uint32_t> inspected;
};

TEST_F(ExtensiveFatSectorScan, AStopEndsTheReadAtTheNextSector)
{
    CraftedFatDisk disk(300);
    disk.Attach();
    VolumeParams.rangeStart = 20;
    VolumeParams.rangeCount = 200;
    VolumeParams.rangeEnd = 219;
    StopAt visitor(57);
    ScanThreadControl.done = 0;
    EXPECT_TRUE(ReadExtensiveRange(visitor));
    ASSERT_FALSE(visitor.inspected.empty());
    EXPECT_EQ(visitor.inspected.front(), 20u);
    EXPECT_EQ(visitor.inspected.back(), 57u);
    EXPECT_EQ(visitor.inspected.size(), 38u);
}

TEST_F(ExtensiveFatSectorScan, ProgressAndStatusFollowEvery88thRead)
{
    CraftedFatDisk disk(200);
    disk.Attach();
    RecoverySettings.sectorsPerRead = 1;
    ScanRange(0, 177);
    EXPECT_EQ(recorder.ArgumentsOf("scanPanel.SetStatusText"),
              (std::vector<std::string>{"\"Reading Sector 0 Of 177\"", "\"Reading Sector 88 Of 177\"",
                                        "\"Reading Sector 176 Of 177\""}));
    EXPECT_EQ(recorder.ArgumentsOf("scanPanel.SetProgressPos"),
              (std::vector<std::string>{"0", "0", "49", "99"}));

    // Without details the panel keeps its status line and labels.
    ResetEngineState();
    recorder.Clear();
    recorder.Attach();
    CraftedFatDisk quiet(200);
    quiet.PutFolderStart(150, 9, 0);
    quiet.Attach();
    ScanDetailsShown = 0;
    ScanRange(0, 177);
    EXPECT_TRUE(recorder.ArgumentsOf("scanPanel.SetStatusText").empty());
    EXPECT_TRUE(recorder.ArgumentsOf("scanPanel.SetLabelText").empty());
    EXPECT_EQ(foundFolderCount, 1u);
}

TEST_F(ExtensiveFatSectorScan, ARangeWithoutAFatCodeEndsWithTheRootItemAlone)
{
    // No sector scan and no analysis of the other codes belongs here: the step's timer must still see
    // both completion flags, and the file-system tree its root alone ("no file system identified").
    for (std::uint16_t code : {std::uint16_t{0}, std::uint16_t{kFsNtfs}, std::uint16_t{kFsGptDisk}}) {
        SCOPED_TRACE(code);
        ResetEngineState();
        recorder.partitionTreeItems.clear();
        recorder.Attach();
        VolumeParams.scanFsCode = code;
        PrepareExtensiveScan();
        EXPECT_EQ(ExtensiveScanThread(), 0u);
        EXPECT_EQ(ScanThreadControl.done.load(), 1u);
        EXPECT_EQ(ScanThreadControl.running.load(), 0u);
        EXPECT_EQ(bootVolumesDone.load(), 1u);
        EXPECT_EQ(inferenceDone.load(), 1u);
        ASSERT_EQ(recorder.partitionTreeItems.size(), 1u);
        EXPECT_EQ(Utf8(recorder.partitionTreeItems[0].text), "File System");
    }
}

} // namespace
