// NTFS files saved from MFT records made by the test: resident data, data runs with sparse runs, the
// initialized size, compressed data, runs outside the volume, records without data, folders, and the
// creation time on the saved file.
#include <gtest/gtest.h>

#include <map>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"
#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_output_io.h"
#include "save_test_support.h"
#include "ui_recorder.h"

namespace {

// An NTFS volume at sector 0 of the disk with 8 sectors (4 KiB) per cluster.
constexpr std::uint32_t kSectors = 4096;
constexpr std::uint32_t kSectorsPerCluster = 8;
constexpr std::uint32_t kClusterBytes = kSectorsPerCluster * 512;
// 5 March 2009 07:04:09 UTC.
constexpr std::uint64_t kCreationTime = 128807102490000000ULL;

using Bytes = std::vector<std::uint8_t>;

void PutLe(Bytes& bytes, std::size_t offset, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes ResidentData(const std::string& value)
{
    Bytes attribute((24 + value.size() + 7) / 8 * 8, 0);
    PutLe(attribute, 0, 0x80, 4);
    PutLe(attribute, 4, attribute.size(), 4);
    PutLe(attribute, 16, value.size(), 4);
    PutLe(attribute, 20, 24, 2);
    std::copy(value.begin(), value.end(), attribute.begin() + 24);
    return attribute;
}

Bytes NonResidentData(const Bytes& runs, std::uint64_t realSize, std::uint64_t initializedSize,
                      std::uint16_t flags = 0)
{
    Bytes attribute((64 + runs.size() + 7) / 8 * 8, 0);
    PutLe(attribute, 0, 0x80, 4);
    PutLe(attribute, 4, attribute.size(), 4);
    attribute[8] = 1;
    PutLe(attribute, 12, flags, 2);
    PutLe(attribute, 32, 64, 2);
    PutLe(attribute, 40, (realSize + kClusterBytes - 1) / kClusterBytes * kClusterBytes, 8);
    PutLe(attribute, 48, realSize, 8);
    PutLe(attribute, 56, initializedSize, 8);
    std::copy(runs.begin(), runs.end(), attribute.begin() + 64);
    return attribute;
}

// A file record in use with the given attributes, protected by its update sequence as on disk.
Bytes FileRecord(const std::vector<Bytes>& attributes)
{
    Bytes record(1024, 0);
    std::copy_n("FILE", 4, record.begin());
    PutLe(record, 4, 48, 2); // update-sequence array at 48
    PutLe(record, 6, 3, 2);  // its sequence number and one entry per sector
    PutLe(record, 20, 56, 2);
    PutLe(record, 22, 1, 2);
    PutLe(record, 28, 1024, 4);
    std::size_t offset = 56;
    for (const Bytes& attribute : attributes) {
        std::copy(attribute.begin(), attribute.end(), record.begin() + offset);
        offset += attribute.size();
    }
    PutLe(record, offset, 0xFFFFFFFF, 4);
    // The sector tails go into the array; the sequence number takes their place.
    const std::uint16_t sequence = 0x0B0A;
    PutLe(record, 48, sequence, 2);
    for (int sector = 0; sector < 2; ++sector) {
        const std::size_t tail = 512 * sector + 510;
        record[50 + 2 * sector] = record[tail];
        record[51 + 2 * sector] = record[tail + 1];
        PutLe(record, tail, sequence, 2);
    }
    return record;
}

class SaveNtfs : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        recorder.targetFolder = scratch.TargetText();
        ScanSelection.scanKind = kScanQuick;
        VolumeParams.fsCode = kFsNtfs;
        VolumeParams.sectorsPerCluster = kSectorsPerCluster;
        VolumeParams.clusterBase = 0;
        VolumeParams.rangeStart = 0;
        VolumeParams.rangeCount = kSectors;
        VolumeParams.rangeEnd = kSectors - 1;
    }
    void TearDown() override { ResetEngineState(); }

    std::string PutClusters(std::uint32_t seed, std::uint32_t cluster, std::uint32_t count)
    {
        const std::string bytes = disk.Pattern(seed, static_cast<std::size_t>(count) * kClusterBytes);
        disk.Put(static_cast<std::uint64_t>(cluster) * kClusterBytes, bytes.data(), bytes.size());
        return bytes;
    }

    // A file in the root whose data lies in the record at `sector`; marked for saving.
    void AddFile(const char16_t* name, std::uint32_t sector, const Bytes& record, std::uint64_t size)
    {
        disk.Put(sector * 512ull, record.data(), record.size());
        AddNtfsScanNode(sector, name, 64 + sector, 5, kCreationTime, 0, size, 0);
        recorder.markedEntryIds.push_back(sector);
    }

    std::filesystem::path TargetFile(const char16_t* relative)
    {
        return FsPath(scratch.TargetText() + u"\\" + relative);
    }

    UiRecorder recorder;
    ScratchFolder scratch;
    ScratchFolder diskFolder;
    CraftedDisk disk{kSectors};
};

TEST_F(SaveNtfs, ResidentAndNonResidentDataAreSavedByteExact)
{
    std::map<std::u16string, std::string> expected;
    const std::string text = "resident bytes, 29 of them!!\n";
    AddFile(u"resident.txt", 16, FileRecord({ResidentData(text)}), text.size());
    expected[u"resident.txt"] = text;
    AddFile(u"empty-resident.txt", 18, FileRecord({ResidentData("")}), 0);
    expected[u"empty-resident.txt"] = "";

    // Two clusters at 100, a sparse cluster, then the cluster 5 further on (105), cut 100 bytes into it.
    const std::string first = PutClusters(1, 100, 2);
    const std::string last = PutClusters(2, 105, 1);
    const std::uint64_t size = 3 * kClusterBytes + 100;
    AddFile(u"sparse.bin", 20,
            FileRecord(
                {NonResidentData({0x21, 0x02, 0x64, 0x00, 0x01, 0x01, 0x11, 0x01, 0x05, 0x00}, size, size)}),
            size);
    expected[u"sparse.bin"] = first + std::string(kClusterBytes, '\0') + last.substr(0, 100);

    // Past the initialized size the file holds zeros, whatever the clusters hold.
    const std::string stale = PutClusters(3, 120, 2);
    AddFile(u"initialized.bin", 22,
            FileRecord({NonResidentData({0x11, 0x02, 0x78, 0x00}, 2 * kClusterBytes, 5000)}),
            2 * kClusterBytes);
    expected[u"initialized.bin"] = stale.substr(0, 5000) + std::string(2 * kClusterBytes - 5000, '\0');

    // Sizes around the cluster, in one run each.
    const std::string one = PutClusters(4, 130, 1);
    AddFile(u"one.bin", 24, FileRecord({NonResidentData({0x11, 0x01, 0x82, 0x00}, 1, 1)}), 1);
    expected[u"one.bin"] = one.substr(0, 1);
    AddFile(u"cluster.bin", 26,
            FileRecord({NonResidentData({0x11, 0x01, 0x82, 0x00}, kClusterBytes, kClusterBytes)}),
            kClusterBytes);
    expected[u"cluster.bin"] = one;
    const std::string two = PutClusters(5, 131, 2);
    AddFile(u"cluster-plus-one.bin", 28,
            FileRecord({NonResidentData({0x11, 0x02, 0x83, 0x00}, kClusterBytes + 1, kClusterBytes + 1)}),
            kClusterBytes + 1);
    expected[u"cluster-plus-one.bin"] = two.substr(0, kClusterBytes + 1);
    // A non-resident attribute without runs and without size is an empty file.
    AddFile(u"empty-runs.bin", 30, FileRecord({NonResidentData({0x00}, 0, 0)}), 0);
    expected[u"empty-runs.bin"] = "";
    ASSERT_TRUE(disk.Attach(diskFolder.Parent() / "disk.vhd"));

    const SaveOutcomeBlock outcome = SaveSelection();
    for (const auto& [name, bytes] : expected) {
        SCOPED_TRACE(Utf8(name));
        const std::string saved = ReadFileBytes(TargetFile(name.c_str()));
        EXPECT_EQ(saved.size(), bytes.size());
        EXPECT_EQ(Md5Hex(saved), Md5Hex(bytes));
    }
    EXPECT_EQ(outcome.saved, expected.size());
    EXPECT_EQ(outcome.failed, 0u);

    // The creation time becomes every time of the saved file (reading it back above may have moved the
    // access time since).
    PlatformFileTimes times;
    ASSERT_TRUE(PlatformGetFileTimes((scratch.TargetText() + u"\\sparse.bin").c_str(), &times));
    EXPECT_EQ(times.lastWrite, kCreationTime);
#ifdef _WIN32
    EXPECT_EQ(times.creation, kCreationTime);
#endif

    // The run list written on its own by WriteDiskRangeToFile.
    std::uint8_t record[1024];
    const Bytes runsRecord =
        FileRecord({NonResidentData({0x21, 0x02, 0x64, 0x00, 0x01, 0x01, 0x00}, size, size)});
    std::copy(runsRecord.begin(), runsRecord.end(), record);
    ASSERT_EQ(DecodeDataRuns(1024, record, 56), 1);
    WriteDiskRangeToFile((scratch.TargetText() + u"\\runs.bin").c_str(), 3 * kClusterBytes, kSaveModeAsIs);
    EXPECT_EQ(Md5Hex(ReadFileBytes(TargetFile(u"runs.bin"))),
              Md5Hex(first + std::string(kClusterBytes, '\0')));
}

TEST_F(SaveNtfs, WhatCannotBeSavedFaithfullyIsCountedAsFailed)
{
    struct Case
    {
        const char* name;
        const char16_t* file;
        bool fileMade;
        std::string contents;
        std::uint32_t SaveOutcomeBlock::*reason;
    };
    const std::string raw = PutClusters(6, 140, 1);
    const std::string text = "short value";
    AddFile(u"compressed.bin", 16, FileRecord({NonResidentData({0x11, 0x01, 0x8C, 0x00}, 100, 100, 0x0001)}),
            100);
    AddFile(u"encrypted.bin", 18, FileRecord({NonResidentData({0x11, 0x01, 0x8C, 0x00}, 100, 100, 0x4000)}),
            100);
    AddFile(u"outside.bin", 20, FileRecord({NonResidentData({0x21, 0x01, 0x58, 0x02, 0x00}, 100, 100)}), 100);
    AddFile(u"runs-end-early.bin", 22,
            FileRecord({NonResidentData({0x11, 0x01, 0x8C, 0x00}, kClusterBytes + 100, kClusterBytes + 100)}),
            kClusterBytes + 100);
    AddFile(u"resident-short.txt", 24, FileRecord({ResidentData(text)}), 100);
    AddFile(u"resident-huge.txt", 26, FileRecord({ResidentData(text)}), (1ULL << 32) + text.size());
    AddFile(u"not-a-record.bin", 28, Bytes(1024, 0), 10);
    AddFile(u"bad-runs.bin", 30, FileRecord({NonResidentData({0x51, 0x01, 0, 0, 0, 0, 0, 0x00}, 100, 100)}),
            100);
    AddFile(u"no-data-but-size.bin", 32, FileRecord({}), 10);
    // Two runs of the same 300 clusters (from 200, where the disk holds zeros): together they read more
    // than the 2 MiB volume holds.
    AddFile(u"overlapping.bin", 34,
            FileRecord({NonResidentData({0x22, 0x2C, 0x01, 0xC8, 0x00, 0x22, 0x2C, 0x01, 0x00, 0x00, 0x00},
                                        600ull * kClusterBytes, 600ull * kClusterBytes)}),
            600ull * kClusterBytes);
    ASSERT_TRUE(disk.Attach(diskFolder.Parent() / "disk.vhd"));

    const Case cases[] = {
        {"compressed: saved as stored", u"compressed.bin", true, raw.substr(0, 100),
         &SaveOutcomeBlock::storedAsIs},
        {"encrypted: saved as stored", u"encrypted.bin", true, raw.substr(0, 100),
         &SaveOutcomeBlock::storedAsIs},
        {"a run past the volume's end is not read, and no file of zeros alone is made", u"outside.bin", false,
         "", &SaveOutcomeBlock::nothingRead},
        {"runs that end before the size end the file", u"runs-end-early.bin", true, raw,
         &SaveOutcomeBlock::unreadable},
        {"a resident value shorter than the size", u"resident-short.txt", true, text,
         &SaveOutcomeBlock::unreadable},
        {"a resident size with a high part", u"resident-huge.txt", false, "", &SaveOutcomeBlock::noData},
        {"no file record", u"not-a-record.bin", false, "", &SaveOutcomeBlock::noData},
        {"undecodable runs", u"bad-runs.bin", false, "", &SaveOutcomeBlock::noData},
        {"size without data", u"no-data-but-size.bin", false, "", &SaveOutcomeBlock::noData},
        {"runs that read more than the volume holds", u"overlapping.bin", true,
         std::string(300ull * kClusterBytes, '\0'), &SaveOutcomeBlock::outsideVolume},
    };
    const std::vector<std::uint64_t> all = recorder.markedEntryIds;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        recorder.markedEntryIds = {all[i]};
        const SaveOutcomeBlock outcome = SaveSelection();
        EXPECT_EQ(outcome.failed, 1u);
        EXPECT_EQ(outcome.saved, 0u);
        EXPECT_EQ(outcome.*(c.reason), 1u);
        EXPECT_EQ(std::filesystem::exists(TargetFile(c.file)), c.fileMade);
        if (c.fileMade) {
            const std::string saved = ReadFileBytes(TargetFile(c.file));
            EXPECT_EQ(saved.size(), c.contents.size());
            EXPECT_EQ(Md5Hex(saved), Md5Hex(c.contents));
        }
        EXPECT_NE(Utf8(SaveOutcomeText(outcome)), "Files Saved Successfully.");
    }
}

// A sparse run is a hole of the saved file: a sparse file far larger than its volume is saved whole, and
// the target allocates about what the volume stores, however many runs it has.
TEST_F(SaveNtfs, SparseRunsAreHolesOfTheSavedFile)
{
    const std::string stored = PutClusters(7, 150, 1);
    // 16 MiB of hole on the 2 MiB volume, then the cluster at 150.
    const std::uint64_t largeHole = 0x1000ull * kClusterBytes;
    AddFile(u"hole-then-data.bin", 16,
            FileRecord({NonResidentData({0x02, 0x00, 0x10, 0x21, 0x01, 0x96, 0x00, 0x00}, largeHole + 100,
                                        largeHole + 100)}),
            largeHole + 100);
    // 119 holes of 128 KiB, each followed by the cluster at 150 again: 15 MiB of file, 476 KiB stored.
    Bytes runs = {0x01, 0x20, 0x21, 0x01, 0x96, 0x00};
    for (int i = 1; i < 119; ++i)
        runs.insert(runs.end(), {0x01, 0x20, 0x21, 0x01, 0x00, 0x00});
    runs.push_back(0x00);
    const std::uint64_t manyHoles = 119 * 33ull * kClusterBytes;
    AddFile(u"many-holes.bin", 18, FileRecord({NonResidentData(runs, manyHoles, manyHoles)}), manyHoles);
    ASSERT_TRUE(disk.Attach(diskFolder.Parent() / "disk.vhd"));

    std::string manyExpected;
    for (int i = 0; i < 119; ++i)
        manyExpected += std::string(0x20ull * kClusterBytes, '\0') + stored;
    const struct
    {
        const char16_t* file;
        std::string contents;
    } cases[] = {
        {u"hole-then-data.bin", std::string(largeHole, '\0') + stored.substr(0, 100)},
        {u"many-holes.bin", manyExpected},
    };
    const SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_EQ(outcome.saved, 2u);
    EXPECT_EQ(outcome.failed, 0u);
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.file));
        const std::string saved = ReadFileBytes(TargetFile(c.file));
        EXPECT_EQ(saved.size(), c.contents.size());
        EXPECT_EQ(Md5Hex(saved), Md5Hex(c.contents));
        EXPECT_LE(AllocatedBytes(TargetFile(c.file)), 2ull * kSectors * 512);
    }
}

// A target that keeps no holes (FAT, exFAT) as the output layer reports it: the free bytes it claims.
std::uint64_t noHolesFreeBytes = 0;
OutputTargetFacts NoHolesTarget(const char16_t*)
{
    return {false, noHolesFreeBytes};
}

// Where the target keeps no holes, a sparse run's zeros are written piece by piece like data: the bar
// moves through them and Stop ends the file among them. A file larger than the free space is not made.
TEST_F(SaveNtfs, ZerosGoInPiecesWhereTheTargetKeepsNoHoles)
{
    const std::string stored = PutClusters(7, 150, 1);
    const std::uint64_t hole = 0x1000ull * kClusterBytes; // 16 MiB, on a 2 MiB volume
    AddFile(u"hole-then-data.bin", 16,
            FileRecord(
                {NonResidentData({0x02, 0x00, 0x10, 0x21, 0x01, 0x96, 0x00, 0x00}, hole + 100, hole + 100)}),
            hole + 100);
    ASSERT_TRUE(disk.Attach(diskFolder.Parent() / "disk.vhd"));
    OutputFactsHook = NoHolesTarget;
    struct HookOff
    {
        ~HookOff() { OutputFactsHook = nullptr; }
    } hookOff;
    const std::filesystem::path saved = TargetFile(u"hole-then-data.bin");
    const auto progress = [&] {
        std::vector<std::string> moves;
        for (const std::string& call : recorder.ArgumentsOf("savingDialog.SetProgressPos"))
            if (moves.empty() || moves.back() != call)
                moves.push_back(call);
        return moves;
    };

    {
        SCOPED_TRACE("room enough: saved whole, the bar moving through the zeros");
        noHolesFreeBytes = 1ull << 40;
        const SaveOutcomeBlock outcome = SaveSelection();
        EXPECT_EQ(outcome.saved, 1u);
        EXPECT_EQ(Md5Hex(ReadFileBytes(saved)), Md5Hex(std::string(hole, '\0') + stored.substr(0, 100)));
        EXPECT_GE(progress().size(), 50u);
    }
    {
        SCOPED_TRACE("Stop at 30% of the zeros");
        std::filesystem::remove(saved);
        recorder.Clear();
        const std::string move = "savingDialog.SetProgressPos(";
        recorder.onLog = [&](const std::string& line) {
            if (line.compare(0, move.size(), move) == 0 && std::stoi(line.substr(move.size())) >= 30)
                SaveControl.stop = 1;
        };
        const SaveOutcomeBlock outcome = SaveSelection();
        recorder.onLog = nullptr;
        SaveControl.stop = 0;
        EXPECT_EQ(outcome.saved, 0u);
        EXPECT_LT(std::stoi(progress().back()), 35);
        EXPECT_LT(std::filesystem::exists(saved) ? std::filesystem::file_size(saved) : 0, hole / 2);
    }
    {
        SCOPED_TRACE("larger than the free space: not made");
        std::filesystem::remove(saved);
        noHolesFreeBytes = hole;
        const SaveOutcomeBlock outcome = SaveSelection();
        EXPECT_EQ(outcome.failed, 1u);
        EXPECT_EQ(outcome.tooLarge, 1u);
        EXPECT_EQ(outcome.bytesWritten, 0u);
        EXPECT_FALSE(std::filesystem::exists(saved));
        EXPECT_EQ(Utf8(SaveOutcomeText(outcome)),
                  "1 file(s) could not be saved completely (0 saved).\r\n1 were too large for the free space "
                  "of the chosen folder's drive, which keeps no gaps in files; none of them was made.");
    }
}

TEST_F(SaveNtfs, FoldersAndRecordsWithoutDataOrOutsideTheVolume)
{
    const std::string text = "in a folder";
    disk.Put(16 * 512, FileRecord({ResidentData(text)}).data(), 1024);
    disk.Put(18 * 512, FileRecord({}).data(), 1024);
    ASSERT_TRUE(disk.Attach(diskFolder.Parent() / "disk.vhd"));
    AddNtfsEntryNode(u"Sub", 40, 5, 0, 0, 1, 0);
    AddNtfsEntryNode(u"..", 41, 40, 0, 0, 2, 1);
    AddNtfsScanNode(16, u"inside.txt", 70, 40, kCreationTime, 0, text.size(), 0);
    AddNtfsScanNode(16, u"deeper.txt", 71, 41, kCreationTime, 0, text.size(), 1);
    // $Volume and $Secure have no unnamed data and claim no size: nothing to save, nothing failed.
    AddNtfsScanNode(18, u"$Volume", 3, 5, 0, 0, 0, 0);
    recorder.markedTreeItems = {1, 2};
    recorder.markedEntryIds = {18};

    const SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_EQ(ListTree(scratch.Parent()),
              (std::vector<std::string>{"target/", "target/Sub/", "target/Sub/.._/",
                                        "target/Sub/.._/deeper.txt", "target/Sub/inside.txt"}));
    EXPECT_EQ(outcome.saved, 2u);
    EXPECT_EQ(outcome.skipped, 1u);
    EXPECT_EQ(outcome.failed, 0u);

    // After an Extensive Scan a folder's files are the file records within the volume's sectors.
    std::filesystem::remove_all(scratch.Target() / "Sub");
    ScanSelection.scanKind = kScanExtensive;
    VolumeParams.clusterBase = 10;
    VolumeParams.endSector = 16;
    AddNtfsFileNode(u"within.txt", 16, 40, kCreationTime, 0, text.size(), 0);
    AddNtfsFileNode(u"before.txt", 10, 40, kCreationTime, 0, text.size(), 0);
    recorder.markedTreeItems = {1};
    recorder.markedEntryIds.clear();
    SaveSelection();
    EXPECT_EQ(ListTree(scratch.Target()), (std::vector<std::string>{"Sub/", "Sub/within.txt"}));
}

} // namespace
