// A deterministic mutation run over the MFT records and index records of a small real volume (mbr-ext05
// partition 6: 512-byte clusters, 128 MFT records, 4 KiB index records). Every case writes one broken
// record where the engine reads it, runs the Quick Scan, the Extensive Scan's record readers and the
// saver's run-list decode over it, and puts the record back. The run must end without a crash (the
// sanitizers watch every byte) and without a hang: a watchdog ends the process when one case takes
// longer than a generous bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/ntfs/ntfs_index_parse.h"
#include "engine/recovery/ntfs/ntfs_mft_record_scan.h"
#include "engine/recovery/ntfs/ntfs_mft_runs.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"
#include "engine/recovery/ntfs/quick_ntfs_scan.h"
#include "engine_probe/quick_ntfs_rows.h"
#include "ntfs_test_records.h"
#include "ntfs_test_volume.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"

namespace {

using test_support::JoinPath;
using test_support::TestDisksDir;

constexpr auto kCaseBound = std::chrono::seconds(30);

// Ends the process when the case it watches does not finish in time: a hang fails the run loudly
// instead of stalling it until the test driver's timeout.
class Watchdog
{
public:
    Watchdog() : thread([this] { Watch(); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            finished = true;
        }
        wake.notify_all();
        thread.join();
    }
    void Begin(const std::string& name)
    {
        std::lock_guard<std::mutex> hold(lock);
        current = name;
        started = std::chrono::steady_clock::now();
        ++serial;
    }

private:
    void Watch()
    {
        std::unique_lock<std::mutex> hold(lock);
        while (!finished) {
            const unsigned long watched = serial;
            const auto deadline = started + kCaseBound;
            if (wake.wait_until(hold, deadline, [&] { return finished || serial != watched; }))
                continue;
            std::fprintf(stderr, "case did not finish within the bound: %s\n", current.c_str());
            std::fflush(stderr);
            std::abort();
        }
    }

    std::mutex lock;
    std::condition_variable wake;
    bool finished = false;
    std::string current = "start";
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    unsigned long serial = 0;
    std::thread thread;
};

// The record as the disk holds it after `fixedUp` was changed: the sector tails go back into the update
// sequence, so that the parser sees exactly the change.
Bytes Protect(Bytes fixedUp, std::size_t sectors)
{
    const std::uint16_t arrayOffset = ReadLittleEndian16(fixedUp.data(), 4);
    const std::uint16_t number = ReadLittleEndian16(fixedUp.data(), arrayOffset);
    for (std::size_t i = 0; i < sectors; ++i) {
        const std::size_t tail = 512 * i + 510;
        fixedUp[arrayOffset + 2 + 2 * i] = fixedUp[tail];
        fixedUp[arrayOffset + 3 + 2 * i] = fixedUp[tail + 1];
        PutU16(fixedUp, tail, number);
    }
    return fixedUp;
}

struct Field
{
    std::size_t offset;
    unsigned width;
};

// The values each field is set to: the edges that bounds checks must hold against.
std::vector<std::uint64_t> EdgeValues(const Field& field, std::size_t recordSize)
{
    std::vector<std::uint64_t> values = {0, 1, 2, 7, 8, 0x18, 0x40, 0x7F, 0x80, 0xFF};
    if (field.width >= 2) {
        const std::uint64_t size = recordSize;
        for (std::uint64_t value :
             {size - 1, size, size + 8, size - field.offset, size - field.offset - 2, std::uint64_t{0x1FF},
              std::uint64_t{0x3FF}, std::uint64_t{0x7FFF}, std::uint64_t{0xFFFF}})
            values.push_back(value);
    }
    if (field.width >= 4) {
        for (std::uint64_t value :
             {std::uint64_t{0xFFFF - 8}, std::uint64_t{0x10000}, std::uint64_t{0x7FFFFFFF},
              std::uint64_t{0xFFFFFFFF}, std::uint64_t{0xFFFFFFF8}})
            values.push_back(value);
    }
    if (field.width >= 8)
        values.push_back(0xFFFFFFFFFFFFFFFFull);
    return values;
}

void PutField(Bytes& bytes, const Field& field, std::uint64_t value)
{
    for (unsigned i = 0; i < field.width && field.offset + i < bytes.size(); ++i)
        bytes[field.offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The fields of a fixed-up file record that the engine reads: its header, every attribute header, the
// values of $FILE_NAME, $ATTRIBUTE_LIST and $INDEX_ROOT, and the first run-list bytes.
std::vector<Field> RecordFields(const Bytes& record)
{
    std::vector<Field> fields = {{20, 2}, {22, 2}, {24, 4}, {28, 4}, {32, 8}};
    NtfsAttributeWalk walk(record.data());
    NtfsAttribute attribute;
    while (walk.Next(attribute)) {
        const std::size_t at = attribute.offset;
        for (Field field : {Field{0, 4}, Field{4, 4}, Field{4, 2}, Field{8, 1}, Field{9, 1}, Field{10, 2},
                            Field{16, 4}, Field{20, 2}})
            fields.push_back({at + field.offset, field.width});
        std::uint32_t value = 0;
        std::uint32_t valueLength = 0;
        std::uint32_t runList = 0;
        if (ResidentValue(record.data(), attribute, value, valueLength)) {
            if (attribute.type == 0x30) {
                for (Field field : {Field{0, 4}, Field{64, 1}, Field{65, 1}})
                    fields.push_back({value + field.offset, field.width});
            } else if (attribute.type == 0x20) {
                for (std::uint32_t entry = value; entry + 26 <= value + valueLength;) {
                    for (Field field : {Field{0, 4}, Field{4, 2}, Field{6, 1}, Field{8, 8}, Field{16, 4}})
                        fields.push_back({entry + field.offset, field.width});
                    const std::uint16_t length = ReadLittleEndian16(record.data(), entry + 4);
                    if (length == 0)
                        break;
                    entry += length;
                }
            } else if (attribute.type == 0x90) {
                for (Field field : {Field{16, 4}, Field{32 + 8, 2}, Field{32 + 12, 2}, Field{32 + 16, 4},
                                    Field{32 + 80, 1}})
                    fields.push_back({value + field.offset, field.width});
            }
        } else if (NonResidentRunList(record.data(), attribute, runList)) {
            for (Field field : {Field{16, 8}, Field{32, 2}, Field{48, 8}})
                fields.push_back({at + field.offset, field.width});
            for (std::size_t i = 0; i < 4; ++i)
                fields.push_back({runList + i, 1});
        }
    }
    return fields;
}

std::vector<Field> IndexFields(const Bytes& record)
{
    std::vector<Field> fields = {{16, 8}, {24, 4}, {28, 4}, {32, 4}};
    const std::size_t entry = 24 + ReadLittleEndian32(record.data(), 24);
    if (entry + 96 <= record.size()) {
        for (Field field : {Field{8, 2}, Field{10, 2}, Field{12, 2}, Field{16, 4}, Field{80, 1}})
            fields.push_back({entry + field.offset, field.width});
    }
    return fields;
}

class NtfsMutationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test_support::TestDisksAvailable()) << "run tools/make-test-disks first";
        // No user interface is attached: the engine's stand-ins take every call.
        ResetEngineState();
        // mbr-ext05 partition 6, as partitions.tsv places it.
        ASSERT_TRUE(volume.CopyFrom(JoinPath(TestDisksDir(), "mbr-ext05.raw"), 260096, 32768));
        ASSERT_TRUE(volume.Attach());
        ASSERT_TRUE(SetNtfsVolumeParams(0, 32768));
        params = VolumeParams;
        ScanSelection.scanKind = kScanQuick;
    }
    void TearDown() override { ResetEngineState(); }

    std::size_t QuickScan()
    {
        VolumeParams = params;
        ScanThreadControl.running = 1;
        ScanThreadControl.done = 0;
        BuildQuickNtfsTree();
        return CollectQuickNtfsRows().size();
    }

    // Everything that reads a file record, over the record at `sector`.
    void ReadRecordEveryWay(std::uint32_t sector, std::size_t maxRows)
    {
        // Whatever a broken record says, the scan lists at most one row per record of the partition.
        EXPECT_LE(QuickScan(), maxRows);
        FreePartitionLists();
        ScanSelection.scanKind = kScanExtensive;
        ProcessMftRecord(sector);
        ScanSelection.scanKind = kScanQuick;
        std::uint8_t record[kMftRecordSize];
        if (ReadRecordAt(sector, record)) {
            std::uint32_t attribute = 0;
            if (FindUnnamedData(record, &attribute) == 2)
                DecodeDataRuns(kMftRecordSize, record, attribute);
            GetFolderNumber(record);
            GetFirstIndexCluster(kMftRecordSize, record);
            ResetAttributeListTable(0);
            ReadAttributeList(record);
        }
        FreeDataRunList();
    }

    TempVolume volume{"mutation"};
    VolumeParamsBlock params;
};

TEST_F(NtfsMutationTest, BrokenMftAndIndexRecordsNeverCrashOrHang)
{
    const std::size_t baselineRows = QuickScan();
    ASSERT_GT(baselineRows, 60u);
    const std::vector<MftRun> runs = mftRunTables.runs;
    ASSERT_EQ(runs.size(), 1u);
    const std::uint32_t records = runs[0].sectorCount / 2;

    // The index records: whole 4 KiB records that begin with INDX anywhere in the volume.
    std::vector<std::uint32_t> indexSectors;
    const Bytes whole = volume.Read(0, 32768 * 512ull);
    for (std::uint32_t sector = 0; sector < 32768; ++sector) {
        if (HasSignature(whole.data() + sector * 512ull, "INDX"))
            indexSectors.push_back(sector);
    }
    ASSERT_GE(indexSectors.size(), 1u);

    bool fileDone = false;
    bool folderDone = false;
    Watchdog watchdog;
    std::mt19937 random(20240611);
    int caseNumber = 0;
    const auto runCase = [&](const std::string& name, std::uint64_t offset, const Bytes& broken,
                             const Bytes& original, const std::function<void()>& read) {
        ++caseNumber;
        watchdog.Begin(name);
        volume.Write(offset, broken);
        read();
        volume.Write(offset, original);
    };

    for (std::uint32_t number = 0; number < records; ++number) {
        const std::uint32_t sector = runs[0].startSector + 2 * number;
        const std::uint64_t offset = sector * 512ull;
        const Bytes original = volume.Read(offset, kMftRecordSize);
        if (!HasSignature(original.data(), "FILE"))
            continue;
        Bytes fixedUp = original;
        ApplyFixup(fixedUp.data(), fixedUp.size());
        // Every edge of every field in the records that shape the scan ($MFT, the root, $Extend) and in
        // the first user file with non-resident data and the first user folder with index records;
        // a sample of them in the other records.
        const bool nonResidentData = FindUnnamedData(fixedUp.data(), nullptr) == 2;
        const bool indexRecords = FindIndexAllocationI30(fixedUp.data()) != 0;
        bool everyEdge = number == 0 || number == 5 || number == 11;
        if (number >= 64 && nonResidentData && !fileDone)
            everyEdge = fileDone = true;
        if (number >= 64 && indexRecords && !folderDone)
            everyEdge = folderDone = true;
        const auto read = [&] { ReadRecordEveryWay(sector, 32768 / 2); };
        std::vector<std::pair<Field, std::uint64_t>> edges;
        for (const Field& field : RecordFields(fixedUp)) {
            for (std::uint64_t value : EdgeValues(field, kMftRecordSize))
                edges.emplace_back(field, value);
        }
        if (!everyEdge) {
            std::shuffle(edges.begin(), edges.end(), random);
            edges.resize(std::min<std::size_t>(edges.size(), 10));
        }
        for (const auto& [field, value] : edges) {
            Bytes broken = fixedUp;
            PutField(broken, field, value);
            runCase("record " + std::to_string(number) + " field " + std::to_string(field.offset) + " = " +
                        std::to_string(value),
                    offset, Protect(broken, 2), original, read);
        }
        if (everyEdge) {
            for (Field field : {Field{4, 2}, Field{6, 2}}) {
                for (std::uint64_t value : EdgeValues(field, kMftRecordSize)) {
                    Bytes broken = original;
                    PutField(broken, field, value);
                    runCase("record " + std::to_string(number) + " update sequence field " +
                                std::to_string(field.offset) + " = " + std::to_string(value),
                            offset, broken, original, read);
                }
            }
        }
        for (int i = 0; i < 6; ++i) {
            Bytes broken = original;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int flip = 0; flip < flips; ++flip)
                broken[random() % kMftRecordSize] = static_cast<std::uint8_t>(random());
            runCase("record " + std::to_string(number) + " random " + std::to_string(i), offset, broken,
                    original, read);
        }
    }

    for (std::uint32_t sector : indexSectors) {
        const std::uint64_t offset = sector * 512ull;
        const Bytes original = volume.Read(offset, 4096);
        Bytes fixedUp = original;
        ApplyFixup(fixedUp.data(), fixedUp.size());
        const auto read = [&] {
            const Bytes first = volume.Read(offset, 512);
            FreePartitionLists();
            ReadIndexRecord(sector, first.data());
        };
        for (const Field& field : IndexFields(fixedUp)) {
            for (std::uint64_t value : EdgeValues(field, 4096)) {
                Bytes broken = fixedUp;
                PutField(broken, field, value);
                runCase("index " + std::to_string(sector) + " field " + std::to_string(field.offset) + " = " +
                            std::to_string(value),
                        offset, Protect(broken, 8), original, read);
            }
        }
        for (Field field : {Field{4, 2}, Field{6, 2}}) {
            for (std::uint64_t value : EdgeValues(field, 4096)) {
                Bytes broken = original;
                PutField(broken, field, value);
                runCase("index " + std::to_string(sector) + " update sequence = " + std::to_string(value),
                        offset, broken, original, read);
            }
        }
        for (int i = 0; i < 40; ++i) {
            Bytes broken = original;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int flip = 0; flip < flips; ++flip)
                broken[random() % 4096] = static_cast<std::uint8_t>(random());
            runCase("index " + std::to_string(sector) + " random " + std::to_string(i), offset, broken,
                    original, read);
        }
    }

    std::printf("%d cases over %u MFT records and %zu index records\n", caseNumber, records,
                indexSectors.size());
    EXPECT_GE(caseNumber, 2000);
    // The volume is whole again: the scan lists what it listed before.
    EXPECT_EQ(QuickScan(), baselineRows);
}

} // namespace
