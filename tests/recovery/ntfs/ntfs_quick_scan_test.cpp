// The Quick Scan of an NTFS volume made by hand: which records become folders and files, with which
// names, sizes, entry IDs and deleted flags, what it tells the user interface, and the partition
// parameters it starts from.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_boot_params.h"
#include "engine/recovery/ntfs/quick_ntfs_scan.h"
#include "engine_probe/quick_ntfs_rows.h"
#include "ntfs_test_records.h"
#include "ntfs_test_volume.h"
#include "ui_recorder.h"

namespace {

// 512-byte clusters; the MFT at sector 64 holds 64 records; the mirror at 32; 2048 sectors in all.
constexpr std::uint32_t kMftSector = 64;
constexpr std::uint32_t kMirrorSector = 32;
constexpr std::uint32_t kVolumeSectors = 2048;
constexpr std::uint32_t kRecords = 64;

std::uint32_t RecordSector(std::uint32_t number)
{
    return kMftSector + 2 * number;
}

RecordMaker File(std::uint32_t parent, const std::u16string& name, std::uint16_t flags = 1,
                 std::uint32_t residentSize = 0)
{
    RecordMaker maker(flags);
    maker.AddResident(0x10, Bytes(72, 0));
    maker.AddFileName(parent, name);
    maker.AddResident(0x80, Bytes(residentSize, 0x5A));
    return maker;
}

RecordMaker Folder(std::uint32_t parent, const std::u16string& name, std::uint16_t flags = 3)
{
    RecordMaker maker(flags);
    maker.AddResident(0x10, Bytes(72, 0));
    maker.AddFileName(parent, name);
    maker.AddIndexRoot(0);
    return maker;
}

Bytes List(std::initializer_list<Bytes> entries)
{
    Bytes list;
    for (const Bytes& entry : entries)
        list.insert(list.end(), entry.begin(), entry.end());
    return list;
}

std::map<std::uint32_t, RecordMaker> SampleRecords()
{
    std::map<std::uint32_t, RecordMaker> records;
    records.emplace(0, MftRecordMaker(RunEntry(2 * kRecords, kMftSector, 1, 1), kRecords * 1024));
    records.emplace(5, RootFolderMaker());
    records.emplace(11, Folder(5, u"$Extend"));
    records.emplace(30, Folder(5, u"Docs"));
    records.emplace(31, File(30, u"a.txt", 1, 10));
    records.emplace(32, File(30, u"gone.txt", 0, 7));
    records.emplace(33, Folder(34, u"Loop1"));
    records.emplace(34, Folder(33, u"Loop2"));
    records.emplace(35, Folder(35, u"Self"));

    RecordMaker big(1);
    big.AddResident(0x10, Bytes(72, 0));
    big.AddResident(0x20, List({AttributeListEntry(0x10, 36), AttributeListEntry(0x30, 36),
                                AttributeListEntry(0x80, 37)}));
    big.AddFileName(5, u"big.bin");
    records.emplace(36, big);
    RecordMaker bigData(1, 36 | 0x0002000000000000ull);
    bigData.AddNonResident(0x80, RunEntry(10, 1500, 1, 2), 5000);
    records.emplace(37, bigData);

    RecordMaker dosOnly(1);
    dosOnly.AddFileName(5, u"ALONGF~1.TXT", 2);
    dosOnly.AddResident(0x80, Bytes(3, 1));
    records.emplace(38, dosOnly);
    records.emplace(39, Folder(5, u"Deleted folder", 2));
    records.emplace(40, File(39, u"in-deleted.txt", 0, 20));

    RecordMaker stray(1);
    stray.AddResident(0x20, List({AttributeListEntry(0x30, 41), AttributeListEntry(0x80, 42),
                                  AttributeListEntry(0x80, 9999)}));
    stray.AddFileName(5, u"stray.bin");
    records.emplace(41, stray);
    records.emplace(42, File(5, u"other.txt", 1, 4));
    records.emplace(43, File(30, u"a:b", 1, 21));
    records.emplace(44, File(30, u"we\\ird..name", 1, 22));
    RecordMaker broken = File(5, u"broken.txt", 1, 5);
    broken.bytes[0] = 'B';
    records.emplace(45, broken);
    records.emplace(46, File(47, u"orphan.txt", 1, 6));
    return records;
}

std::string Row(const QuickNtfsRow& row)
{
    return std::string(row.folder ? "D\t" : "F\t") + std::to_string(row.deleted) + "\t" +
           std::to_string(row.size) + "\t" + std::to_string(row.entryId) + "\t" + Utf8(row.path);
}

std::vector<std::string> SortedRows()
{
    std::vector<std::string> rows;
    for (const QuickNtfsRow& row : CollectQuickNtfsRows())
        rows.push_back(Row(row));
    std::sort(rows.begin(), rows.end());
    return rows;
}

class NtfsQuickScanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        ASSERT_TRUE(volume.Attach());
        volume.Write(static_cast<std::uint64_t>(kVolumeSectors) * 512 - 1, "", 1);
        const Bytes boot = NtfsBootSector(1, kMftSector, kMirrorSector, kVolumeSectors - 1);
        volume.Write(0, boot);
        volume.Write((kVolumeSectors - 1) * 512ull, boot);
        ScanSelection.scanKind = kScanQuick;
        VolumeParams.scanFsCode = kFsNtfs;
        VolumeParams.fsCode = kFsNtfs;
        VolumeParams.rangeStart = 0;
        VolumeParams.rangeCount = kVolumeSectors;
        VolumeParams.rangeEnd = kVolumeSectors - 1;
    }
    void TearDown() override { ResetEngineState(); }

    void WriteRecords(const std::map<std::uint32_t, RecordMaker>& records)
    {
        for (const auto& [number, maker] : records)
            volume.Write(RecordSector(number) * 512ull, maker.Finish());
        volume.Write(kMirrorSector * 512ull, records.at(0).Finish());
    }

    void Scan()
    {
        VolumeParams.clusterBase = 0;
        VolumeParams.sectorsPerCluster = 1;
        VolumeParams.mftStart = kMftSector;
        ScanThreadControl.running = 1;
        ScanThreadControl.done = 0;
        scanned = BuildQuickNtfsTree();
    }

    UiRecorder recorder;
    TempVolume volume{"quick"};
    std::uint32_t scanned = 0;
};

TEST_F(NtfsQuickScanTest, ListsWhatTheTreeReachesFromTheRoot)
{
    WriteRecords(SampleRecords());
    Scan();
    EXPECT_EQ(scanned, kRecords);
    const std::vector<std::string> expected = {
        "D\t0\t0\t11\t$Extend",        "D\t0\t0\t30\tDocs",
        "D\t1\t0\t39\tDeleted folder", "F\t0\t10\t126\tDocs/a.txt",
        "F\t0\t21\t150\tDocs/a:b",     "F\t0\t22\t152\tDocs/we\\ird..name",
        "F\t0\t3\t140\tALONGF~1.TXT",  "F\t0\t4\t148\tother.txt",
        "F\t0\t5000\t138\tbig.bin",    "F\t0\t65536\t64\t$MFT",
        "F\t0\t0\t146\tstray.bin",     "F\t1\t20\t144\tDeleted folder/in-deleted.txt",
        "F\t1\t7\t128\tDocs/gone.txt",
    };
    std::vector<std::string> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(SortedRows(), sorted);

    // Folders in a loop of parents are kept but reached by no walk; a folder that is its own parent is
    // not kept; the orphan's file stays in the list.
    std::vector<std::uint32_t> folders;
    for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
        folders.push_back(node->folderNumber);
    EXPECT_EQ(folders, (std::vector<std::uint32_t>{11, 30, 33, 34, 39}));
    EXPECT_EQ(folderCount, 5u);
    std::size_t files = 0;
    for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
        ++files;
    EXPECT_EQ(files, 11u);
}

TEST_F(NtfsQuickScanTest, BuildsTheTreeAndReportsAsItGoes)
{
    WriteRecords(SampleRecords());
    Scan();
    const std::vector<std::string> calls = recorder.Calls();
    const auto position = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    const std::vector<std::string> tail = {
        "recoveryTree.InsertFolderItem(\"Root\", 0)",
        "scanPanel.SetStatusText(\"Please wait creating tree...\")",
        "partitionStep.EnableButton(Stop, false)",
        "partitionStep.ShowButton(Stop, false)",
        "recoveryTree.AddNtfsFolderItems(1, 5)",
        "recoveryTree.Expand(1)",
        "recoveryTree.SetCheckRecursive(1, 1)",
        "resultList.SwitchToReportView()",
    };
    const auto switched = position("resultList.SwitchToReportView()") + 1;
    ASSERT_GE(switched, static_cast<std::ptrdiff_t>(tail.size()));
    EXPECT_EQ(std::vector<std::string>(calls.begin() + switched - static_cast<std::ptrdiff_t>(tail.size()),
                                       calls.begin() + switched),
              tail);
    // Then the root's folders and files go into the result list.
    std::vector<std::string> listed;
    for (const auto& row : recorder.resultRows)
        listed.push_back(Utf8(row.at(0)));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"$Extend", "$MFT", "ALONGF~1.TXT", "Deleted folder", "Docs",
                                                "big.bin", "other.txt", "stray.bin"}));
    EXPECT_LT(position("scanPanel.SetStatusText(\"Reading Sector 40 Of 128\")"),
              position("recoveryTree.InsertFolderItem(\"Root\", 0)"));
    EXPECT_LT(position("scanPanel.SetLabelText(CurrentSector, \"126\")"), position("recoveryTree.Expand(1)"));
    EXPECT_EQ(recorder.ArgumentsOf("scanPanel.SetProgressPos").back(), "99");
    // Root and the three folders it reaches.
    EXPECT_EQ(recorder.recoveryTreeItems.size(), 4u);
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);

    recorder.Clear();
    ScanDetailsShown = 0;
    Scan();
    EXPECT_TRUE(recorder.ArgumentsOf("scanPanel.SetLabelText").empty());
    EXPECT_FALSE(recorder.ArgumentsOf("scanPanel.SetProgressPos").empty());
}

TEST_F(NtfsQuickScanTest, AStopBeforeTheWalkStillBuildsTheTree)
{
    WriteRecords(SampleRecords());
    VolumeParams.clusterBase = 0;
    VolumeParams.sectorsPerCluster = 1;
    VolumeParams.mftStart = kMftSector;
    ScanThreadControl.done = 1;
    EXPECT_EQ(BuildQuickNtfsTree(), 0u);
    EXPECT_TRUE(CollectQuickNtfsRows().empty());
    EXPECT_EQ(recorder.ArgumentsOf("recoveryTree.AddNtfsFolderItems"), (std::vector<std::string>{"1, 5"}));
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
}

TEST_F(NtfsQuickScanTest, AnMftThatCannotBeMappedGivesAnEmptyTree)
{
    auto records = SampleRecords();
    records.at(0).bytes[0] = 'X';
    WriteRecords(records);
    Scan();
    EXPECT_EQ(scanned, 0u);
    EXPECT_TRUE(CollectQuickNtfsRows().empty());
    EXPECT_EQ(recorder.recoveryTreeItems.size(), 1u);
}

TEST_F(NtfsQuickScanTest, AMapLargerThanThePartitionIsCutToIt)
{
    auto records = SampleRecords();
    // 2^24 clusters claimed: the walk stops at the partition's end, not 8 GiB later.
    records.at(0) = MftRecordMaker(RunEntry(0xFFFFFF, kMftSector, 3, 1), 0xFFFFFFFFFFull);
    WriteRecords(records);
    Scan();
    EXPECT_EQ(scanned, kVolumeSectors / 2);
    EXPECT_EQ(SortedRows().size(), 13u);
}

TEST_F(NtfsQuickScanTest, PartitionParametersFromEitherBootSector)
{
    WriteRecords(SampleRecords());
    struct Case
    {
        const char* name;
        Bytes primary;
        Bytes backup;
        int expected;
        std::uint32_t mftStart;
        std::uint32_t mirrorStart;
        std::uint32_t indexSectors;
    };
    const Bytes sound = NtfsBootSector(1, kMftSector, kMirrorSector, kVolumeSectors - 1);
    Bytes unsigned_ = sound;
    unsigned_[511] = 0;
    const Case cases[] = {
        {"primary", sound, sound, 1, kMftSector, kMirrorSector, 8},
        {"primary without signature", unsigned_, sound, 1, kMftSector, kMirrorSector, 8},
        {"primary with 3 sectors per cluster", NtfsBootSector(3, kMftSector, kMirrorSector, 100), sound, 1,
         kMftSector, kMirrorSector, 8},
        {"primary's MFT cluster wrong", NtfsBootSector(1, 1000, kMirrorSector, 100), sound, 1, kMftSector,
         kMirrorSector, 8},
        {"only the mirror found", NtfsBootSector(1, 1000, kMirrorSector, 100),
         NtfsBootSector(1, 1001, kMirrorSector, 100), 0, 0, 0, 0},
        {"only the MFT found", NtfsBootSector(1, kMftSector, 1000, 100), NtfsBootSector(1, 1001, 1002, 100),
         1, kMftSector, 0, 8},
        {"neither found", NtfsBootSector(1, 1000, 1002, 100), NtfsBootSector(1, 1001, 1003, 100), 0, 0, 0, 0},
        {"no boot sector", unsigned_, unsigned_, 0, 0, 0, 0},
        {"index records of 2 clusters", NtfsBootSector(1, kMftSector, kMirrorSector, 100, 2), sound, 1,
         kMftSector, kMirrorSector, 2},
        {"index records of 1024 bytes", NtfsBootSector(1, kMftSector, kMirrorSector, 100, 0xF6), sound, 1,
         kMftSector, kMirrorSector, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        volume.Write(0, c.primary);
        volume.Write((kVolumeSectors - 1) * 512ull, c.backup);
        VolumeParams.mftStart = 0;
        VolumeParams.mftMirrStart = 0;
        VolumeParams.indexSectors = 0;
        EXPECT_EQ(ReadNtfsPartitionParams(), c.expected);
        if (c.expected) {
            EXPECT_EQ(VolumeParams.mftStart, c.mftStart);
            EXPECT_EQ(VolumeParams.mftMirrStart, c.mirrorStart);
            EXPECT_EQ(VolumeParams.sectorsPerCluster, 1u);
            EXPECT_EQ(VolumeParams.clusterBase, 0u);
            EXPECT_EQ(VolumeParams.indexSectors, c.indexSectors);
        }
    }
}

} // namespace
