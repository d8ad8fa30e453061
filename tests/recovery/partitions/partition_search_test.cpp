// The partition table read from master and extended boot records, and the search for boot sectors at
// cylinder boundaries. Crafted disks are written as fixed VHDs (the sectors and a footer) and read back
// through the image reader as the program reads an image; the real test disks are checked against
// partitions.tsv and fsstat, Sleuth Kit's view of the same disks.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/partitions/partition_search.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/quick_scan.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "engine/recovery/trace/trace_records.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

struct Row
{
    std::uint32_t start;
    std::uint32_t count;
    std::uint16_t code;

    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << "{" << row.start << ", " << row.count << ", " << row.code << "}";
}

std::vector<Row> TableRows()
{
    std::vector<Row> rows;
    for (std::uint32_t i = 0; i < partitionCount && i < kMaxPartitions; ++i)
        rows.push_back(
            {partitionTable[i].startSector, partitionTable[i].sectorCount, partitionTable[i].fsCode});
    return rows;
}

std::vector<std::uint32_t> TableStarts()
{
    std::vector<std::uint32_t> starts;
    for (const Row& row : TableRows())
        starts.push_back(row.start);
    return starts;
}

std::string ItemArguments(const char* label)
{
    return std::string("\"Virtual Hard Disk \", \"") + label + "\"";
}

void PutU16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutBigEndian(std::uint8_t* at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - i)));
}

constexpr std::uint8_t kExtended = 0x05;
constexpr std::uint8_t kExtendedLba = 0x0F;
constexpr std::uint8_t kFat16Type = 0x06;
constexpr std::uint8_t kFat32Type = 0x0C;
constexpr std::uint8_t kNtfsType = 0x07;
constexpr std::uint8_t kLinuxType = 0x83;

// A disk of which only the written sectors are kept; everything else reads as zeros.
class CraftedDisk
{
public:
    explicit CraftedDisk(std::uint64_t sectorCount) : sectors(sectorCount) {}

    std::uint8_t* At(std::uint64_t sector) { return written[sector].data(); }

    // One 16-byte entry of the table at `table`, which gets the boot signature.
    void SetEntry(std::uint64_t table, int index, std::uint8_t type, std::uint32_t first, std::uint32_t count)
    {
        std::uint8_t* entry = At(table) + 446 + 16 * index;
        entry[4] = type;
        PutU32(entry + 8, first);
        PutU32(entry + 12, count);
        Sign(table);
    }
    void Sign(std::uint64_t sector)
    {
        At(sector)[510] = 0x55;
        At(sector)[511] = 0xAA;
    }
    void PutText(std::uint64_t sector, std::size_t offset, const char* text)
    {
        std::memcpy(At(sector) + offset, text, std::strlen(text));
    }
    // A boot sector as mkfs.fat writes it: the type text, and the total in the 16-bit field when it fits.
    void Fat32BootSector(std::uint64_t sector, std::uint32_t total)
    {
        PutText(sector, 82, "FAT32   ");
        PutU32(At(sector) + 32, total);
        Sign(sector);
    }
    void Fat16BootSector(std::uint64_t sector, std::uint32_t total)
    {
        PutText(sector, 54, "FAT16   ");
        if (total <= 0xFFFF)
            PutU16(At(sector) + 19, static_cast<std::uint16_t>(total));
        else
            PutU32(At(sector) + 32, total);
        Sign(sector);
    }
    void NtfsBootSector(std::uint64_t sector, std::uint32_t total)
    {
        PutText(sector, 3, "NTFS    ");
        PutU32(At(sector) + 40, total);
        Sign(sector);
    }

    // A fixed VHD: the sectors, then the footer with the disk's size.
    void WriteVhd(const std::string& path) const
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const auto& [sector, bytes] : written) {
            out.seekp(static_cast<std::streamoff>(sector * 512));
            out.write(reinterpret_cast<const char*>(bytes.data()), 512);
        }
        std::uint8_t footer[512] = {};
        std::memcpy(footer, "conectix", 8);
        PutBigEndian(footer + 48, sectors * 512, 8); // current size
        PutBigEndian(footer + 60, 2, 4);             // fixed disk
        out.seekp(static_cast<std::streamoff>(sectors * 512));
        out.write(reinterpret_cast<const char*>(footer), 512);
        ASSERT_TRUE(out.good()) << path;
    }

private:
    std::uint64_t sectors;
    std::map<std::uint64_t, std::array<std::uint8_t, 512>> written;
};

struct Geometry
{
    std::uint32_t cylinders;
    std::uint32_t heads;
    std::uint32_t sectorsPerTrack;
};

class PartitionSearchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        vhdxProgressPauseMs = 0;
        path = test_support::JoinPath(
            testing::TempDir(), std::string("partition_search_") +
                                    testing::UnitTest::GetInstance()->current_test_info()->name() + ".vhd");
    }
    void TearDown() override
    {
        ResetEngineState();
        source.reset();
        std::remove(path.c_str());
    }

    // Selects the disk as the opened image, with the device geometry that the drive step registered.
    void Attach(const CraftedDisk& disk, Geometry geometry = {})
    {
        source.reset();
        disk.WriteVhd(path);
        source = std::make_unique<CImageSource>();
        source->Create(CImageSource::kKindVhd);
        ASSERT_TRUE(source->Open(std::filesystem::path(path).u16string())) << path;
        ScanSelection.imageKind = kImageVhd;
        SourceState.sourceKind = kSourceImage;
        SourceState.imageSource = source.get();
        DeviceGeometry[0] = {geometry.cylinders, geometry.heads, geometry.sectorsPerTrack};
    }

    std::vector<std::string> Items() const { return recorder.ArgumentsOf("driveStep.AddGroupItem"); }

    std::vector<std::uint32_t> ProgressSteps() const
    {
        std::vector<std::uint32_t> steps;
        for (const std::string& argument : recorder.ArgumentsOf("driveStep.SetProgressPos"))
            steps.push_back(static_cast<std::uint32_t>(std::stoul(argument)));
        return steps;
    }

    UiRecorder recorder;
    std::string path;
    std::unique_ptr<CImageSource> source;
};

// ---- ParseMbrPartitions ------------------------------------------------------------------------------

TEST_F(PartitionSearchTest, FourPrimaryFat32PartitionsAreListedFromZero)
{
    CraftedDisk disk(5000);
    for (int i = 0; i < 4; ++i) {
        disk.SetEntry(0, i, kFat32Type, 100 + 1000 * i, 900);
        disk.Fat32BootSector(100 + 1000 * i, 900);
    }
    Attach(disk, {1, 255, 63});
    ParseMbrPartitions(0);
    EXPECT_EQ(TableRows(),
              (std::vector<Row>{{100, 900, 200}, {1100, 900, 200}, {2100, 900, 200}, {3100, 900, 200}}));

    recorder.partitionTypeConfirmed = true;
    recorder.partitionTypeUseExisting = true;
    SearchPartitions();
    EXPECT_EQ(recorder.ArgumentsOf("driveStep.RunPartitionTypeDlg").size(), 1u);
    EXPECT_EQ(Items(),
              (std::vector<std::string>{ItemArguments("Partition 0"), ItemArguments("Partition 1"),
                                        ItemArguments("Partition 2"), ItemArguments("Partition 3")}));
    EXPECT_EQ(recorder.ArgumentsOf("driveStep.ExpandRoot").size(), 4u);
    EXPECT_TRUE(recorder.ArgumentsOf("driveStep.SetStatusText").empty());
    EXPECT_EQ(partitionCount, 4u);
}

TEST_F(PartitionSearchTest, BootSectorMarksDecideBeforeTheTypeByte)
{
    struct Case
    {
        const char* name;
        bool logical; // listed in an extended boot record
        std::uint8_t type;
        std::size_t markOffset;
        const char* mark;       // null: the boot sector is empty
        std::uint16_t expected; // 0: no row
    };
    const Case cases[] = {
        {"FAT32 mark on a Linux entry", false, kLinuxType, 82, "FAT32", 200},
        {"FAT16 mark on a FAT32 entry", false, kFat32Type, 54, "FAT16", 100},
        {"NTFS mark on a FAT16 entry", true, kFat16Type, 3, "NTFS", 300},
        {"EFI PART in the master record", false, kLinuxType, 0, "EFI PART", 500},
        {"EFI PART in an extended record", true, kLinuxType, 0, "EFI PART", 200},
        {"type 0x01", false, 0x01, 0, nullptr, 100},
        {"type 0x04", true, 0x04, 0, nullptr, 100},
        {"type 0x06", false, 0x06, 0, nullptr, 100},
        {"type 0x0E", true, 0x0E, 0, nullptr, 100},
        {"type 0x0B", false, 0x0B, 0, nullptr, 200},
        {"type 0x0C without a mark", false, 0x0C, 0, nullptr, 200},
        {"type 0x07", true, 0x07, 0, nullptr, 300},
        {"protective GPT entry in the master record", false, 0xEE, 0, nullptr, 500},
        {"type 0xEE in an extended record", true, 0xEE, 0, nullptr, 200},
        {"Linux in the master record", false, kLinuxType, 0, nullptr, 0},
        {"Linux swap in an extended record", true, 0x82, 0, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CraftedDisk disk(1000);
        std::uint32_t start = 100;
        if (c.logical) {
            disk.SetEntry(0, 0, kExtended, 200, 500);
            disk.SetEntry(200, 0, c.type, 10, 50);
            start = 210;
        } else {
            disk.SetEntry(0, 0, c.type, start, 50);
        }
        if (c.mark)
            disk.PutText(start, c.markOffset, c.mark);
        Attach(disk);
        ParseMbrPartitions(0);
        if (c.expected == 0)
            EXPECT_EQ(TableRows(), std::vector<Row>{});
        else
            EXPECT_EQ(TableRows(), (std::vector<Row>{{start, 50, c.expected}}));
    }
}

TEST_F(PartitionSearchTest, MarksAreTestedInOrder)
{
    CraftedDisk disk(1000);
    disk.SetEntry(0, 0, kNtfsType, 100, 50);
    disk.PutText(100, 3, "NTFS");
    disk.PutText(100, 54, "FAT16");
    disk.PutText(100, 82, "FAT32");
    disk.SetEntry(0, 1, kNtfsType, 200, 50);
    disk.PutText(200, 3, "NTFS");
    disk.PutText(200, 54, "FAT16");
    Attach(disk);
    ParseMbrPartitions(0);
    EXPECT_EQ(TableRows(), (std::vector<Row>{{100, 50, 200}, {200, 50, 100}}));
}

TEST_F(PartitionSearchTest, LogicalPartitionsStartFromTheirRecordAndLinksFromTheChainStart)
{
    CraftedDisk disk(30000);
    disk.SetEntry(0, 0, kFat16Type, 63, 900);
    disk.SetEntry(0, 1, kExtended, 1000, 28000);
    disk.SetEntry(1000, 0, kFat32Type, 63, 500);
    disk.SetEntry(1000, 1, kExtendedLba, 20000, 8000);
    // A record's third and fourth entries are not part of it.
    disk.SetEntry(1000, 2, kFat16Type, 5000, 100);
    disk.SetEntry(1000, 3, kExtended, 3000, 100);
    disk.SetEntry(21000, 0, kNtfsType, 63, 600);
    disk.SetEntry(21000, 2, kExtended, 5000, 100);
    Attach(disk);
    ParseMbrPartitions(0);
    EXPECT_EQ(TableRows(), (std::vector<Row>{{63, 900, 100}, {1063, 500, 200}, {21063, 600, 300}}));
}

TEST_F(PartitionSearchTest, TableWithoutTheBootSignatureGivesNoRows)
{
    for (const std::uint8_t second : {std::uint8_t{0x00}, std::uint8_t{0x55}}) {
        SCOPED_TRACE(second);
        CraftedDisk disk(1000);
        disk.SetEntry(0, 0, kFat32Type, 100, 50);
        disk.At(0)[511] = second;
        Attach(disk);
        ParseMbrPartitions(0);
        EXPECT_EQ(partitionCount, 0u);
    }
}

TEST_F(PartitionSearchTest, EveryCallStartsTheTableAfresh)
{
    CraftedDisk disk(1000);
    disk.SetEntry(0, 0, kFat32Type, 100, 50);
    Attach(disk);
    ParseMbrPartitions(0);
    ASSERT_EQ(partitionCount, 1u);
    searchDisk = 1;
    ParseMbrPartitions(5);
    EXPECT_EQ(partitionCount, 0u);
    EXPECT_EQ(searchDisk, 0u);
}

TEST_F(PartitionSearchTest, DriveStepTriesSectorsZeroThenSixtyOneThenSixtyTwo)
{
    struct Case
    {
        const char* name;
        std::uint64_t tableSector;
    };
    for (const Case& c : {Case{"at 0", 0}, Case{"at 61", 61}, Case{"at 62", 62}}) {
        SCOPED_TRACE(c.name);
        CraftedDisk disk(1000);
        disk.SetEntry(c.tableSector, 0, kFat32Type, 500, 50);
        // The later sector would give another row; the first that gives rows is taken.
        disk.SetEntry(62, 1, kNtfsType, 700, 50);
        Attach(disk);
        ParsePartitionTable();
        const std::uint32_t expected = c.tableSector == 62 ? 2 : 1;
        EXPECT_EQ(partitionCount, expected);
        EXPECT_EQ(partitionTable[0].startSector, 500u);
    }
}

// Chains that a crafted or damaged disk may hold: each must end, read no record twice, and give at most
// 25 rows.
TEST_F(PartitionSearchTest, CraftedExtendedChainsEndWithAtMost25Rows)
{
    struct Case
    {
        const char* name;
        std::function<void(CraftedDisk&)> build;
        std::vector<std::uint32_t> expectedStarts;
    };
    auto logicalChain = [](CraftedDisk& disk, int records) {
        disk.SetEntry(0, 0, kExtended, 1000, 900000);
        for (int i = 0; i < records; ++i) {
            const std::uint32_t record = 1000 + 1000 * i;
            disk.SetEntry(record, 0, kFat32Type, 63, 500);
            if (i + 1 < records)
                disk.SetEntry(record, 1, kExtended, 1000 * (i + 1), 1000);
        }
    };
    auto starts = [](std::uint32_t first, int count) {
        std::vector<std::uint32_t> list;
        for (int i = 0; i < count; ++i)
            list.push_back(first + 1000 * i);
        return list;
    };
    const Case cases[] = {
        {"a record that links to itself",
         [](CraftedDisk& disk) {
             disk.SetEntry(0, 0, kExtended, 1000, 5000);
             disk.SetEntry(1000, 0, kFat32Type, 63, 500);
             disk.SetEntry(1000, 1, kExtended, 0, 5000);
         },
         {1063}},
        {"two records that link to each other",
         [](CraftedDisk& disk) {
             disk.SetEntry(0, 0, kExtended, 1000, 5000);
             disk.SetEntry(1000, 0, kFat32Type, 63, 500);
             disk.SetEntry(1000, 1, kExtended, 2000, 1000);
             disk.SetEntry(3000, 0, kNtfsType, 63, 500);
             disk.SetEntry(3000, 1, kExtended, 0, 5000);
         },
         {1063, 3063}},
        {"the link listed before the logical partition, looping",
         [](CraftedDisk& disk) {
             disk.SetEntry(0, 0, kExtended, 1000, 5000);
             disk.SetEntry(1000, 0, kExtended, 2000, 1000);
             disk.SetEntry(1000, 1, kFat32Type, 63, 500);
             disk.SetEntry(3000, 0, kExtended, 0, 1000);
             disk.SetEntry(3000, 1, kFat16Type, 63, 500);
         },
         {1063, 3063}},
        {"an extended entry that points at the master boot record",
         [](CraftedDisk& disk) {
             disk.SetEntry(0, 0, kFat32Type, 100, 50);
             disk.SetEntry(0, 1, kExtended, 0, 5000);
         },
         {100}},
        {"a link past the disk's end",
         [](CraftedDisk& disk) {
             disk.SetEntry(0, 0, kExtended, 1000, 5000);
             disk.SetEntry(1000, 0, kFat32Type, 63, 500);
             disk.SetEntry(1000, 1, kExtended, 4000000000u, 1000);
         },
         {1063}},
        {"a logical partition whose start does not fit 32 bits",
         [](CraftedDisk& disk) {
             disk.SetEntry(0, 0, kExtended, 1000, 5000);
             disk.SetEntry(1000, 0, kFat32Type, 0xFFFFFFF0u, 500);
             disk.SetEntry(1000, 1, kExtended, 1000, 1000);
             disk.SetEntry(2000, 0, kNtfsType, 63, 500);
         },
         {2063}},
        {"30 logical partitions", [&](CraftedDisk& disk) { logicalChain(disk, 30); }, starts(1063, 25)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CraftedDisk disk(100000);
        c.build(disk);
        Attach(disk);
        ParseMbrPartitions(0);
        EXPECT_EQ(TableStarts(), c.expectedStarts);
    }
}

TEST_F(PartitionSearchTest, PrimariesComeBeforeLogicalsAndTheTableHolds25)
{
    CraftedDisk disk(100000);
    disk.SetEntry(0, 0, kFat16Type, 10, 5);
    disk.SetEntry(0, 1, kExtended, 1000, 90000);
    disk.SetEntry(0, 2, kFat16Type, 20, 5);
    disk.SetEntry(0, 3, kFat16Type, 30, 5);
    for (int i = 0; i < 30; ++i) {
        const std::uint32_t record = 1000 + 1000 * i;
        disk.SetEntry(record, 0, kFat32Type, 63, 500);
        disk.SetEntry(record, 1, kExtended, 1000 * (i + 1), 1000);
    }
    Attach(disk);
    ParseMbrPartitions(0);
    std::vector<std::uint32_t> expected = {10, 20, 30};
    for (int i = 0; i < 22; ++i)
        expected.push_back(1063 + 1000 * i);
    EXPECT_EQ(TableStarts(), expected);
}

// ---- SearchPartitions ----------------------------------------------------------------------------------

constexpr std::uint64_t kCylinder = 255 * 63;

TEST_F(PartitionSearchTest, EmptyTableIsSearchedInNormalisedCylinders)
{
    // 1000 cylinders of 16 heads and 16 sectors are searched as 15 cylinders of 255 x 63.
    CraftedDisk disk(260000);
    disk.Sign(0);
    disk.Fat32BootSector(kCylinder + 63, 5000);
    disk.NtfsBootSector(2 * kCylinder, 7999);
    disk.Fat16BootSector(3 * kCylinder + 63, 4000);
    disk.Fat16BootSector(4 * kCylinder + 63, 70000);
    disk.Fat32BootSector(5 * kCylinder + 1, 100); // not where a cylinder or its second track starts
    disk.Fat32BootSector(14 * kCylinder + 63, 100);
    disk.Fat32BootSector(15 * kCylinder + 63, 100); // past the 15 cylinders
    Attach(disk, {1000, 16, 16});
    ParsePartitionTable();
    ASSERT_EQ(partitionCount, 0u);

    SearchPartitions();
    EXPECT_TRUE(recorder.ArgumentsOf("driveStep.RunPartitionTypeDlg").empty());
    EXPECT_EQ(searchDisk, 1u);
    EXPECT_EQ(TableRows(), (std::vector<Row>{{kCylinder + 63, 5000, 200},
                                             {2 * kCylinder, 7999, 300},
                                             {3 * kCylinder + 63, 4000, 100},
                                             {4 * kCylinder + 63, 70000, 100},
                                             {14 * kCylinder + 63, 100, 200}}));
    // A found FAT volume is numbered from 1, a found NTFS volume from 0.
    EXPECT_EQ(Items(), (std::vector<std::string>{ItemArguments("Partition 1"), ItemArguments("Partition 1"),
                                                 ItemArguments("Partition 3"), ItemArguments("Partition 4"),
                                                 ItemArguments("Partition 5")}));
    EXPECT_EQ(recorder.ArgumentsOf("driveStep.SetStatusText"),
              std::vector<std::string>{"\"Please wait, searching for Partition...\""});
    EXPECT_EQ(recorder.ArgumentsOf("driveStep.SetWaitText"), std::vector<std::string>{"\"Please wait...\""});
    const std::vector<std::uint32_t> progress = ProgressSteps();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0u);
    EXPECT_EQ(progress.back(), 14u * 100 / 15);
}

TEST_F(PartitionSearchTest, PartitionTypeAnswerDecidesWhetherTheDiskIsSearched)
{
    struct Case
    {
        const char* name;
        bool confirmed;
        bool useExisting;
        std::vector<Row> expected;
        std::vector<std::string> items;
    };
    const Row listed = {kCylinder + 63, 3000, 200};
    const Case cases[] = {
        {"Search partition",
         true,
         false,
         {listed, {2 * kCylinder + 63, 900, 300}},
         {ItemArguments("Partition 0"), ItemArguments("Partition 1")}},
        {"Use existing partition info", true, true, {listed}, {ItemArguments("Partition 0")}},
        {"Cancel", false, false, {listed}, {ItemArguments("Partition 0")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.Clear();
        CraftedDisk disk(4 * kCylinder);
        disk.SetEntry(0, 0, kFat32Type, kCylinder + 63, 3000);
        disk.Fat32BootSector(kCylinder + 63, 3000); // listed already: not added again
        disk.NtfsBootSector(2 * kCylinder + 63, 900);
        Attach(disk, {4, 255, 63});
        ParsePartitionTable();
        recorder.partitionTypeConfirmed = c.confirmed;
        recorder.partitionTypeUseExisting = c.useExisting;
        SearchPartitions();
        EXPECT_EQ(recorder.ArgumentsOf("driveStep.RunPartitionTypeDlg").size(), 1u);
        EXPECT_EQ(TableRows(), c.expected);
        EXPECT_EQ(Items(), c.items);
        EXPECT_EQ(recorder.ArgumentsOf("driveStep.SetStatusText").size(),
                  c.confirmed && !c.useExisting ? 1u : 0u);
        // The bar runs over the cylinders whether or not they are read.
        EXPECT_EQ(ProgressSteps(), (std::vector<std::uint32_t>{0, 25, 50, 75}));
    }
}

TEST_F(PartitionSearchTest, SearchEndsWhenTheTableIsFull)
{
    CraftedDisk disk(41 * kCylinder);
    disk.Sign(0);
    for (std::uint64_t cylinder = 0; cylinder < 30; ++cylinder)
        disk.Fat32BootSector(cylinder * kCylinder + 63, 1000);
    Attach(disk, {40, 255, 63});
    ParsePartitionTable();
    SearchPartitions();
    ASSERT_EQ(partitionCount, kMaxPartitions);
    EXPECT_EQ(partitionTable[24].startSector, 24 * kCylinder + 63);
    EXPECT_EQ(Items().size(), 25u);
    EXPECT_EQ(ProgressSteps().back(), 24u * 100 / 40);
}

TEST_F(PartitionSearchTest, GptHeaderAtACylinderIsReportedAndNotListed)
{
    CraftedDisk disk(3 * kCylinder);
    disk.Sign(0);
    disk.PutText(kCylinder + 63, 0, "EFI PART");
    disk.Sign(kCylinder + 63);
    Attach(disk, {3, 255, 63});
    ParsePartitionTable();
    SearchPartitions();
    EXPECT_EQ(recorder.ArgumentsOf("messages.PlainMessageBox"), std::vector<std::string>{"\"EFI PART\""});
    EXPECT_EQ(partitionCount, 0u);
}

TEST_F(PartitionSearchTest, StopFlagEndsTheSearch)
{
    CraftedDisk disk(3 * kCylinder);
    disk.Sign(0);
    disk.Fat32BootSector(63, 1000);
    Attach(disk, {3, 255, 63});
    ParsePartitionTable();
    ScanThreadControl.done = 1;
    SearchPartitions();
    EXPECT_EQ(partitionCount, 0u);
    EXPECT_TRUE(ProgressSteps().empty());
}

TEST_F(PartitionSearchTest, VhdxShowsAFullBarAndSearchesNothing)
{
    CraftedDisk disk(3 * kCylinder);
    disk.Sign(0);
    disk.Fat32BootSector(63, 1000);
    Attach(disk); // an image without geometry
    ScanSelection.imageKind = kImageVhdx;
    ParsePartitionTable();
    SearchPartitions();
    std::vector<std::uint32_t> bar;
    for (std::uint32_t percent = 0; percent <= 100; ++percent)
        bar.push_back(percent);
    EXPECT_EQ(ProgressSteps(), bar);
    EXPECT_EQ(partitionCount, 0u);

    // A stop request ends the timed bar at once.
    ScanThreadControl.done = 1;
    vhdxProgressPauseMs = 1000;
    SearchPartitions();
    EXPECT_EQ(ProgressSteps(), bar);
}

TEST_F(PartitionSearchTest, AbsurdGeometryEndsAtTheDisksEnd)
{
    struct Case
    {
        const char* name;
        Geometry geometry;
        std::uint32_t expectedRows;
    };
    const Case cases[] = {
        {"huge cylinders and heads", {UINT32_MAX, UINT32_MAX, 63}, 1},
        {"huge cylinders, normalised", {UINT32_MAX, 255, 17}, 1},
        {"no heads", {UINT32_MAX, 0, 63}, 0},
        {"no sectors per track", {5, 255, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.Clear();
        CraftedDisk disk(20000);
        disk.Sign(0);
        disk.Fat32BootSector(63, 1000);
        Attach(disk, c.geometry);
        ParsePartitionTable();
        SearchPartitions();
        EXPECT_EQ(partitionCount, c.expectedRows);
        EXPECT_LE(ProgressSteps().size(), 100u);
    }
}

// ---- Rows and scans never reach past the disk's end ------------------------------------------------

// Entries and boot sectors that claim 2^32 - 1 sectors, a logical one among them, and an entry past the
// end: every row keeps only what the disk holds.
TEST_F(PartitionSearchTest, RowsAreCutToTheDisksEnd)
{
    CraftedDisk disk(20000);
    disk.SetEntry(0, 0, kFat32Type, 2048, 0xFFFFFFFF);
    disk.SetEntry(0, 1, kFat16Type, 30000, 5000);
    disk.SetEntry(0, 2, kExtended, 10000, 0xFFFFFFFF);
    disk.SetEntry(10000, 0, kFat32Type, 63, 0xFFFFFFFF);
    disk.Fat32BootSector(10063, 0xFFFFFFFF);
    Attach(disk, {1, 255, 63});
    ParseMbrPartitions(0);
    EXPECT_EQ(TableRows(), (std::vector<Row>{{2048, 17952, 200}, {30000, 0, 100}, {10063, 9937, 200}}));

    // The search finds a boot sector whose total is the largest a FAT32 boot sector can give.
    CraftedDisk searched(3 * kCylinder);
    searched.Sign(0);
    searched.Fat32BootSector(kCylinder + 63, 0xFFFFFFFF);
    Attach(searched, {3, 255, 63});
    ParseMbrPartitions(0);
    SearchPartitions();
    EXPECT_EQ(TableRows(), (std::vector<Row>{{kCylinder + 63, 2 * kCylinder - 63, 200}}));
}

// The range a scan is given is cut to the disk's end whatever its caller passed; a range that starts past
// the end is not read at all, and the user hears that no partition parameters were found.
TEST_F(PartitionSearchTest, ScansReadNoSectorPastTheDisksEnd)
{
    CraftedDisk disk(20000);
    Attach(disk, {1, 255, 63});
    const std::string missing = "\"Corvane VMDK Recovery was unable to find correct partition parameters.\", "
                                "\"Corvane VMDK Recovery\", 16";
    auto select = [](std::uint32_t start, std::uint32_t count, std::uint32_t end) {
        ScanSelection.scanKind = kScanQuick;
        VolumeParams.scanFsCode = kFsFat32;
        VolumeParams.rangeStart = start;
        VolumeParams.rangeCount = count;
        VolumeParams.rangeEnd = end;
        PartitionParamsMissing = 0;
    };
    struct Scan
    {
        const char* name;
        std::function<void()> run;
    };
    const Scan scans[] = {
        {"Quick Scan",
         [] {
             ArmScanWorker();
             QuickScanPartition();
         }},
        {"Extensive Scan",
         [] {
             PrepareExtensiveScan();
             ExtensiveScanThread();
         }},
        {"File Trace",
         [] {
             AddFileSignatureRec(u".jpg", u"JPEG Image", 3, "ffd8ff", 1);
             ArmScanWorker();
             FileTraceScanThread();
         }},
    };
    ScanDetailsShown = 1;
    for (const Scan& scan : scans) {
        SCOPED_TRACE(scan.name);
        // A table entry of 2^32 - 1 sectors from 2048: read up to the disk's last sector, no further.
        recorder.Clear();
        select(2048, 0xFFFFFFFF, 0xFFFFFFFF);
        scan.run();
        EXPECT_EQ(VolumeParams.rangeCount, 20000u - 2048);
        EXPECT_EQ(VolumeParams.rangeEnd, 19999u);
        for (const std::string& text : recorder.ArgumentsOf("scanPanel.SetStatusText")) {
            if (text.rfind("\"Reading Sector ", 0) == 0) {
                EXPECT_NE(text.find(" Of 17952\""), std::string::npos) << text;
            }
        }

        // A row that starts past the end: no scan, the message.
        recorder.Clear();
        select(30000, 5000, 34999);
        scan.run();
        EXPECT_EQ(PartitionParamsMissing.load(), 1u);
        EXPECT_EQ(recorder.ArgumentsOf("messages.HtmlMessageBox"), std::vector<std::string>{missing});
        EXPECT_TRUE(recorder.ArgumentsOf("scanPanel.SetProgressPos").empty());
        EXPECT_TRUE(recorder.ArgumentsOf("partitionTree.InsertItemWithIcon").empty());
        FreeFileSignatureList();
        FreeTraceFoundList();
    }
    ScanDetailsShown = 0;
}

// A Stop answered between the worker's start and its first step holds: neither scan reads the range.
TEST_F(PartitionSearchTest, AStopAskedBeforeTheWorkerStartsHolds)
{
    CraftedDisk disk(20000);
    disk.Fat32BootSector(2048, 17952);
    Attach(disk, {1, 255, 63});
    struct Scan
    {
        const char* name;
        std::function<int()> run;
    };
    const Scan scans[] = {
        {"Quick Scan", [] { return QuickScanPartition(); }},
        {"File Trace",
         [] {
             AddFileSignatureRec(u".jpg", u"JPEG Image", 3, "ffd8ff", 1);
             return static_cast<int>(FileTraceScanThread());
         }},
    };
    ScanDetailsShown = 1;
    for (const Scan& scan : scans) {
        SCOPED_TRACE(scan.name);
        recorder.Clear();
        ScanSelection.scanKind = kScanQuick;
        VolumeParams.scanFsCode = kFsFat32;
        VolumeParams.rangeStart = 2048;
        VolumeParams.rangeCount = 17952;
        VolumeParams.rangeEnd = 19999;
        ArmScanWorker();
        ScanThreadControl.done = 1;

        EXPECT_EQ(scan.run(), 0);

        EXPECT_EQ(ScanThreadControl.done.load(), 1u);
        EXPECT_TRUE(recorder.ArgumentsOf("scanPanel.SetProgressPos").empty());
        EXPECT_TRUE(recorder.ArgumentsOf("recoveryTree.InsertFolderItem").empty());
        EXPECT_TRUE(recorder.ArgumentsOf("messages.HtmlMessageBox").empty());
        FreeFileSignatureList();
    }
    ScanDetailsShown = 0;
}

// Only the MFT's mirror is where the boot sector says (the MFT's first sector holds no file record): the
// Quick Scan tells the user that it found no parameters instead of listing an empty volume.
TEST_F(PartitionSearchTest, AnNtfsMirrorAloneGivesNoParameters)
{
    CraftedDisk disk(4096);
    disk.NtfsBootSector(100, 3000);
    disk.At(100)[13] = 1;           // sectors per cluster
    PutU32(disk.At(100) + 48, 500); // the MFT's cluster: zeros
    PutU32(disk.At(100) + 56, 50);  // the mirror's cluster
    disk.PutText(150, 0, "FILE0");
    Attach(disk, {1, 255, 63});
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.scanFsCode = kFsNtfs;
    VolumeParams.rangeStart = 100;
    VolumeParams.rangeCount = 3000;
    VolumeParams.rangeEnd = 3099;
    ArmScanWorker();
    EXPECT_EQ(QuickScanPartition(), 0);
    EXPECT_EQ(PartitionParamsMissing.load(), 1u);
    EXPECT_EQ(recorder.ArgumentsOf("messages.HtmlMessageBox"),
              std::vector<std::string>{
                  "\"Corvane VMDK Recovery was unable to find correct partition parameters.\", "
                  "\"Corvane VMDK Recovery\", 16"});
    EXPECT_TRUE(recorder.ArgumentsOf("recoveryTree.InsertFolderItem").empty());
}

TEST(PartitionItemText, FormatsTheNumber)
{
    EXPECT_EQ(PartitionItemText(0), u"Partition 0");
    EXPECT_EQ(PartitionItemText(25), u"Partition 25");
    EXPECT_EQ(PartitionItemText(4294967295u), u"Partition 4294967295");
}

// ---- The real test disks ---------------------------------------------------------------------------------

// An image of the test disks opened with the reader its extension names and selected as the program
// selects it, its geometry registered as the drive step registers it.
class RealImage
{
public:
    bool Open(const std::string& file)
    {
        const std::u16string path = std::filesystem::path(file).u16string();
        if (file.ends_with(".vmdk")) {
            if (!extent.Open(path))
                return false;
            ScanSelection.imageKind = kImageVmdk;
            SourceState.vmdkExtent = &extent;
            DeviceGeometry[0] = {static_cast<std::uint32_t>(std::max(extent.cylinders, 0)),
                                 static_cast<std::uint32_t>(std::max(extent.heads, 0)),
                                 static_cast<std::uint32_t>(std::max(extent.sectors, 0))};
        } else {
            const bool vhd = file.ends_with(".vhd");
            source.Create(vhd ? CImageSource::kKindVhd : CImageSource::kKindVhdx);
            if (!source.Open(path))
                return false;
            ScanSelection.imageKind = vhd ? kImageVhd : kImageVhdx;
            SourceState.imageSource = &source;
            DeviceGeometry[0] = {source.GetCylinders(), source.GetHeads(), source.GetSectorsPerTrack()};
        }
        SourceState.sourceKind = kSourceImage;
        return true;
    }

private:
    CVmdkSparseExtent extent;
    CImageSource source;
};

std::uint16_t CodeOf(const std::string& fs)
{
    return fs == "fat16" ? 100 : fs == "fat32" ? 200 : fs == "ntfs" ? 300 : 0;
}

// The NTFS boot sector counts the volume without the backup boot sector in its last sector.
std::uint32_t NtfsVolumeSectors(const std::string& disk, const std::string& part)
{
    const std::string text = test_support::ReadWholeFile(
        test_support::JoinPath(test_support::TestDisksDir(), disk + ".p" + part + ".fsstat.txt"));
    const std::string key = "Total Sector Range: 0 - ";
    const std::size_t at = text.find(key);
    EXPECT_NE(at, std::string::npos) << disk << " p" << part;
    return at == std::string::npos ? 0
                                   : static_cast<std::uint32_t>(std::stoul(text.substr(at + key.size())) + 1);
}

class RealDiskPartitions : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test_support::TestDisksAvailable()) << "run tools/make-test-disks first";
        disks = test_support::ReadTsv(test_support::JoinPath(test_support::TestDisksDir(), "disks.tsv"));
        volumes =
            test_support::ReadTsv(test_support::JoinPath(test_support::TestDisksDir(), "partitions.tsv"));
    }

    // Opens each image of the disk in turn and runs `check` with the image's file name.
    void ForEachImage(const test_support::TsvRow& disk, const std::function<void(const std::string&)>& check)
    {
        std::string images = disk.at(4) + " ";
        for (std::size_t space; (space = images.find(' ')) != std::string::npos; images.erase(0, space + 1)) {
            const std::string image = images.substr(0, space);
            if (image.empty())
                continue;
            SCOPED_TRACE(image);
            ResetEngineState();
            vhdxProgressPauseMs = 0;
            UiRecorder recorder;
            recorder.Attach();
            recorder.partitionTypeConfirmed = true;
            recorder.partitionTypeUseExisting = false;
            RealImage opened;
            ASSERT_TRUE(opened.Open(test_support::JoinPath(test_support::TestDisksDir(), image)));
            check(image);
            ResetEngineState();
        }
    }

    std::vector<test_support::TsvRow> disks;
    std::vector<test_support::TsvRow> volumes;
};

TEST_F(RealDiskPartitions, TableRowsMatchTheMasterAndExtendedRecords)
{
    for (const test_support::TsvRow& disk : disks) {
        const std::string& name = disk.at(0);
        SCOPED_TRACE(name);
        std::vector<Row> expected;
        for (const test_support::TsvRow& volume : volumes) {
            if (volume.at(0) != name)
                continue;
            if (volume.at(6) == "mbr" || volume.at(6) == "ebr")
                expected.push_back({static_cast<std::uint32_t>(std::stoul(volume.at(2))),
                                    static_cast<std::uint32_t>(std::stoul(volume.at(3))),
                                    CodeOf(volume.at(4))});
            // A GPT disk's protective entry covers the whole disk after the master boot record.
            if (volume.at(6) == "gpt" && expected.empty())
                expected.push_back({1, static_cast<std::uint32_t>(std::stoull(disk.at(2)) / 512 - 1), 500});
        }
        ForEachImage(disk, [&](const std::string&) {
            ParsePartitionTable();
            EXPECT_EQ(TableRows(), expected);
            if (expected.empty())
                return;
            // Searching adds nothing: no other volume starts at a cylinder boundary of these disks.
            SearchPartitions();
            EXPECT_EQ(TableRows(), expected);
        });
    }
}

TEST_F(RealDiskPartitions, DiskWithoutTableIsFoundBySearch)
{
    std::vector<Row> all;
    for (const test_support::TsvRow& volume : volumes) {
        if (volume.at(0) != "no-table")
            continue;
        const std::uint32_t sectors = volume.at(4) == "ntfs"
                                          ? NtfsVolumeSectors("no-table", volume.at(1))
                                          : static_cast<std::uint32_t>(std::stoul(volume.at(3)));
        all.push_back({static_cast<std::uint32_t>(std::stoul(volume.at(2))), sectors, CodeOf(volume.at(4))});
    }
    ASSERT_EQ(all.size(), 3u);
    for (const test_support::TsvRow& disk : disks) {
        if (disk.at(0) != "no-table")
            continue;
        ForEachImage(disk, [&](const std::string& image) {
            ParsePartitionTable();
            ASSERT_EQ(partitionCount, 0u);
            SearchPartitions();
            if (image.ends_with(".vhd")) {
                // The footer's 17 sectors per track make the search use 255 x 63 cylinders, at which the
                // three volumes start.
                EXPECT_EQ(TableRows(), all);
            } else if (image.ends_with(".vmdk")) {
                // The descriptor says 16 heads of 63 sectors: only the volume at sector 63 starts at one
                // of those cylinders (or its second track).
                EXPECT_EQ(TableRows(), std::vector<Row>{all[0]});
            } else {
                // A VHDX has no geometry to search by.
                EXPECT_EQ(partitionCount, 0u);
            }
        });
    }
}

} // namespace
