// The map of the MFT: its runs from the $MFT record and from the records its attribute list names, the
// mapping of record numbers through them, and the records that end the build early.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_mft_runs.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "ntfs_test_records.h"
#include "ntfs_test_volume.h"

namespace {

// 512-byte clusters: clusters and sectors count alike, from the volume start at sector 0.
constexpr std::uint32_t kMftSector = 64;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> Runs()
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> runs;
    for (const MftRun& run : mftRunTables.runs)
        runs.emplace_back(run.startSector, run.sectorCount);
    return runs;
}

class NtfsMftRunsTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        ResetEngineState();
        ASSERT_TRUE(volume.Attach());
        volume.Write(static_cast<std::uint64_t>(kMftSector + 10) * 512, RootFolderMaker().Finish());
    }
    void TearDown() override { ResetEngineState(); }

    void WriteMftRecord(const RecordMaker& maker) { volume.Write(kMftSector * 512ull, maker.Finish()); }
    void WriteRecordAt(std::uint32_t sector, const RecordMaker& maker)
    {
        volume.Write(static_cast<std::uint64_t>(sector) * 512, maker.Finish());
    }

    TempVolume volume{"mft"};
};

TEST_F(NtfsMftRunsTest, MapsRecordsThroughTheRunsInOrder)
{
    // 40 sectors here, 24 at sector 300, 64 at sector 200 (a run before the one before it).
    WriteMftRecord(MftRecordMaker(Join({RunEntry(40, kMftSector, 1, 1), RunEntry(24, 300 - kMftSector, 1, 2),
                                        RunEntry(64, -100, 1, 1)}),
                                  64 * 1024));
    ASSERT_EQ(BuildMftRunTables(0, 0, kMftSector, 1), 3u);
    EXPECT_EQ(Runs(), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{64, 40}, {300, 24}, {200, 64}}));
    EXPECT_EQ(mftRunTables.dataSize, 64u * 1024);

    struct Case
    {
        std::uint32_t record;
        bool mapped;
        std::uint32_t sector;
    };
    const Case cases[] = {
        {0, true, 64},   {19, true, 102}, {20, true, 300},        {31, true, 322},        {32, true, 200},
        {63, true, 262}, {64, false, 0},  {0x80000000, false, 0}, {0xFFFFFFFF, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        std::uint32_t sector = 0xDEADBEEF;
        EXPECT_EQ(MftRecordToSector(c.record, sector), c.mapped);
        EXPECT_EQ(sector, c.mapped ? c.sector : 0xDEADBEEF);
    }
}

TEST_F(NtfsMftRunsTest, ClustersCountFromTheVolumeStartInSectorsPerCluster)
{
    WriteMftRecord(MftRecordMaker(Join({RunEntry(4, 8, 1, 1), RunEntry(2, 0x20000000, 1, 4)}), 16 * 1024));
    // Clusters of 8 sectors from volume start 0: cluster 8 is sector 64.
    ASSERT_EQ(BuildMftRunTables(0, 0, kMftSector, 8), 1u);
    EXPECT_EQ(Runs(), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{64, 32}}));
    // The second run would start beyond sector 2^32 - 1: the map ends before it.
    ASSERT_EQ(BuildMftRunTables(1000, 0, kMftSector, 8), 1u);
    EXPECT_EQ(Runs(), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1064, 32}}));
}

TEST_F(NtfsMftRunsTest, ARecordSplitBetweenTwoRunsIsReadWhole)
{
    // 65 sectors, then the rest at 400: record 32 has its first half at 128 and its second at 400.
    WriteMftRecord(MftRecordMaker(
        Join({RunEntry(65, kMftSector, 1, 1), RunEntry(63, 400 - kMftSector, 1, 2)}), 64 * 1024));
    ASSERT_EQ(BuildMftRunTables(0, 0, kMftSector, 1), 2u);
    RecordMaker split(1);
    split.AddFileName(5, u"split.txt");
    const Bytes disk = split.Finish();
    volume.Write(128 * 512, disk.data(), 512);
    volume.Write(400 * 512, disk.data() + 512, 512);

    std::uint32_t sector = 0;
    ASSERT_TRUE(MftRecordToSector(32, sector));
    EXPECT_EQ(sector, 128u);
    std::uint8_t record[kMftRecordSize];
    ASSERT_TRUE(ReadMftRecord(32, record));
    NtfsFileNameInfo info;
    ASSERT_TRUE(FindPreferredFileName(record, info));
    EXPECT_EQ(std::u16string(info.name), u"split.txt");
}

TEST_F(NtfsMftRunsTest, FollowsTheAttributeListToTheRestOfTheMap)
{
    // Record 0 maps the first 32 records; record 20 holds the map of the next 32, in two runs.
    RecordMaker base = MftRecordMaker(RunEntry(64, kMftSector, 1, 1), 64 * 1024);
    Bytes list;
    for (const Bytes& entry :
         {AttributeListEntry(0x10, 0), AttributeListEntry(0x30, 0), AttributeListEntry(0x80, 0, 0),
          AttributeListEntry(0x80, 20, 64), AttributeListEntry(0xB0, 0)})
        list.insert(list.end(), entry.begin(), entry.end());
    base.AddResident(0x20, list);
    WriteMftRecord(base);
    RecordMaker extension(1, 0x0001000000000000ull);
    extension.AddNonResident(0x80, Join({RunEntry(32, 600, 1, 2), RunEntry(32, 200, 1, 2)}), 0, 64);
    WriteRecordAt(kMftSector + 40, extension);

    ASSERT_EQ(BuildMftRunTables(0, 0, kMftSector, 1), 3u);
    EXPECT_EQ(Runs(), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{64, 64}, {600, 32}, {800, 32}}));
    EXPECT_EQ(mftRunTables.dataSize, 64u * 1024);
    std::uint32_t sector = 0;
    ASSERT_TRUE(MftRecordToSector(63, sector));
    EXPECT_EQ(sector, 830u);
}

TEST_F(NtfsMftRunsTest, BrokenMapsEndTheBuildWithTheRunsStoredSoFar)
{
    struct Case
    {
        const char* name;
        void (*write)(NtfsMftRunsTest& test);
        std::size_t expectedRuns;
    };
    const Case cases[] = {
        {"attribute of length 0",
         [](NtfsMftRunsTest& t) {
             RecordMaker maker = MftRecordMaker(RunEntry(64, kMftSector, 1, 1), 32 * 1024);
             PutU32(maker.bytes, 56 + 4, 0);
             t.WriteMftRecord(maker);
         },
         0},
        {"not a file record",
         [](NtfsMftRunsTest& t) {
             RecordMaker maker = MftRecordMaker(RunEntry(64, kMftSector, 1, 1), 32 * 1024);
             maker.bytes[0] = 'B';
             t.WriteMftRecord(maker);
         },
         0},
        {"root folder record missing",
         [](NtfsMftRunsTest& t) {
             t.WriteMftRecord(MftRecordMaker(RunEntry(64, kMftSector, 1, 1), 32 * 1024));
             t.volume.Write((kMftSector + 10) * 512ull, Bytes(1024, 0));
         },
         0},
        {"sparse run",
         [](NtfsMftRunsTest& t) {
             t.WriteMftRecord(
                 MftRecordMaker(Join({RunEntry(32, kMftSector, 1, 1), RunEntry(32, 0, 1, 0)}), 32 * 1024));
         },
         1},
        {"run list fault",
         [](NtfsMftRunsTest& t) {
             t.WriteMftRecord(
                 MftRecordMaker(Join({RunEntry(32, kMftSector, 1, 1), RunEntry(32, 5, 6, 1)}), 32 * 1024));
         },
         1},
        {"listed piece that does not follow on",
         [](NtfsMftRunsTest& t) {
             RecordMaker base = MftRecordMaker(RunEntry(64, kMftSector, 1, 1), 64 * 1024);
             base.AddResident(0x20, Join({AttributeListEntry(0x80, 0, 0), AttributeListEntry(0x80, 20, 80)}));
             t.WriteMftRecord(base);
             RecordMaker extension(1, 0x0001000000000000ull);
             extension.AddNonResident(0x80, RunEntry(32, 600, 1, 2), 0, 80);
             t.WriteRecordAt(kMftSector + 40, extension);
         },
         1},
        {"listed record of another file",
         [](NtfsMftRunsTest& t) {
             RecordMaker base = MftRecordMaker(RunEntry(64, kMftSector, 1, 1), 64 * 1024);
             base.AddResident(0x20, Join({AttributeListEntry(0x80, 0, 0), AttributeListEntry(0x80, 20, 64)}));
             t.WriteMftRecord(base);
             RecordMaker extension(1, 0x0001000000000007ull);
             extension.AddNonResident(0x80, RunEntry(32, 600, 1, 2), 0, 64);
             t.WriteRecordAt(kMftSector + 40, extension);
         },
         1},
        {"listed record beyond the map",
         [](NtfsMftRunsTest& t) {
             RecordMaker base = MftRecordMaker(RunEntry(64, kMftSector, 1, 1), 64 * 1024);
             base.AddResident(0x20,
                              Join({AttributeListEntry(0x80, 0, 0), AttributeListEntry(0x80, 5000, 64)}));
             t.WriteMftRecord(base);
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        volume.Write(static_cast<std::uint64_t>(kMftSector + 10) * 512, RootFolderMaker().Finish());
        c.write(*this);
        EXPECT_EQ(BuildMftRunTables(0, 0, kMftSector, 1), c.expectedRuns);
        EXPECT_EQ(mftRunTables.runs.size(), c.expectedRuns);
        std::uint32_t sector = 0;
        EXPECT_FALSE(MftRecordToSector(static_cast<std::uint32_t>(c.expectedRuns * 64), sector));
    }
}

} // namespace
