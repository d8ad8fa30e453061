// The Extensive Scan of NTFS over broken records: a hand-made volume whose file and index records get
// damaged one at a time, in the header fields the scan and its completion steps read (update sequence,
// first-entry offset, sizes, entry lengths, name lengths, attribute lengths, run lists) and in random
// bytes. Every run must end (the sanitizer build also checks every read), with the scan's flags set and
// the file-system step able to list what was found.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/ntfs/ntfs_fs_steps.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine_probe/extensive_ntfs_rows.h"
#include "extensive_ntfs_crafted.h"
#include "ui_recorder.h"

namespace {

// Bytes of an index record that its readers interpret: the update sequence, the VCN, the node header
// (first entry, used and allocated sizes), and the first entries' lengths, key lengths, parents, file
// attributes and name lengths.
const std::vector<std::size_t> kIndexFields = {4,  5,  6,  7,  16, 24,  25,  26,  27,  28,  32,  33,  34,
                                               35, 72, 73, 74, 80, 136, 144, 145, 184, 200, 201, 208, 264};
// Bytes of a file record: the update sequence, flags, first attribute, allocated size, base reference,
// and the first attributes' types, lengths, name lengths and value or run-list offsets.
const std::vector<std::size_t> kRecordFields = {4,  5,  6,  7,   20,  21,  22,  28,  29,  32,  56,  60,  61,
                                                65, 76, 80, 132, 136, 137, 141, 148, 152, 208, 212, 240, 244};

class ExtensiveNtfsMutation : public testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    // The scan of the whole file, then the file-system step on every volume found.
    static std::size_t ScanEverything(std::uint32_t sectors)
    {
        ScanSelection.scanKind = kScanExtensive;
        VolumeParams.scanFsCode = kFsNtfs;
        VolumeParams.rangeStart = 0;
        VolumeParams.rangeCount = sectors;
        VolumeParams.rangeEnd = sectors - 1;
        PrepareExtensiveScan();
        ExtensiveScanThread();
        EXPECT_EQ(bootVolumesDone.load(), 1u);
        EXPECT_EQ(inferenceDone.load(), 1u);
        EXPECT_EQ(ScanThreadControl.running.load(), 0u);
        std::size_t rows = 0;
        for (std::uint32_t number = 1; number <= volumeCounter; ++number) {
            EXPECT_TRUE(ChooseFoundVolumeNumber(number));
            ScanThreadControl.done = 0;
            ScanThreadControl.running = 1;
            ScanNtfsSteps();
            EXPECT_EQ(ScanThreadControl.done.load(), 1u);
            rows += CollectExtensiveNtfsRows().size();
        }
        return rows;
    }
};

CraftedNtfsVolume MakeVolume()
{
    CraftedNtfsVolume volume(64, 2);
    std::vector<std::uint32_t> folders = {kCraftedRoot};
    for (int index = 0; index < 12; ++index) {
        const std::u16string name = u"folder-" + std::u16string(1, static_cast<char16_t>(u'a' + index));
        folders.push_back(volume.AddFolder(name, folders[index / 3], index % 3 != 2, index == 7));
    }
    for (int index = 0; index < 60; ++index) {
        const std::u16string name = u"file-" + std::u16string(1, static_cast<char16_t>(u'A' + index % 26)) +
                                    std::u16string(1, static_cast<char16_t>(u'0' + index / 26)) + u".txt";
        volume.AddFile(name, folders[index % folders.size()], 10 + index, index % 9 == 0);
    }
    volume.Build();
    return volume;
}

TEST_F(ExtensiveNtfsMutation, TheIntactVolumeIsListedWhole)
{
    const CraftedNtfsVolume volume = MakeVolume();
    TempVolume disk("mutation-whole");
    volume.WriteTo(disk);
    ASSERT_TRUE(disk.Attach());
    const std::size_t rows = ScanEverything(volume.Base() + volume.TotalSectors() + 64);
    // 12 folders, "Lost Dir", the 60 files and $MFT.
    EXPECT_EQ(rows, 12u + 1 + 60 + 1);
    ASSERT_NE(FoundVolumeByNumber(1), nullptr);
    EXPECT_EQ(FoundVolumeByNumber(1)->clusterBase, volume.Base());
}

TEST_F(ExtensiveNtfsMutation, DamagedRecordsEndTheScanAndTheStep)
{
    const CraftedNtfsVolume volume = MakeVolume();
    const std::uint32_t sectors = volume.Base() + volume.TotalSectors() + 64;
    std::mt19937 random(14);
#ifdef _WIN32
    const int rounds = 120;
#else
    const int rounds = 400;
#endif
    std::size_t totalRows = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ResetEngineState();
        TempVolume disk("mutation");
        volume.WriteTo(disk, round % 2 == 0, round % 3 != 0);
        // Two to four records broken at once: index records of the folders with an allocation, or file
        // records, at a field the readers interpret or anywhere.
        const int damaged = 2 + static_cast<int>(random() % 3);
        for (int step = 0; step < damaged; ++step) {
            const bool index = random() % 2 == 0;
            std::uint64_t offset = 0;
            std::size_t size = 0;
            std::size_t field = 0;
            if (index) {
                std::uint32_t folder = kCraftedRoot;
                for (std::uint32_t tries = 0; tries < 50; ++tries) {
                    const std::uint32_t candidate = 16 + random() % 12;
                    if (volume.FirstIndexCluster(candidate) != 0) {
                        folder = candidate;
                        break;
                    }
                }
                offset = volume.IndexRecordSector(folder) * 512;
                size = 4096;
                field = kIndexFields[random() % kIndexFields.size()];
            } else {
                offset = volume.RecordSector(5 + random() % (volume.RecordCount() - 5)) * 512;
                size = 1024;
                field = kRecordFields[random() % kRecordFields.size()];
            }
            if (random() % 4 == 0)
                field = random() % size;
            Bytes bytes = disk.Read(offset, size);
            switch (random() % 4) {
            case 0:
                bytes[field] = 0xFF;
                break;
            case 1:
                bytes[field] = 0;
                break;
            case 2:
                bytes[field] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                break;
            default:
                bytes[field] = static_cast<std::uint8_t>(random());
                if (field + 1 < size)
                    bytes[field + 1] = static_cast<std::uint8_t>(random());
                break;
            }
            disk.Write(offset, bytes);
        }
        ASSERT_TRUE(disk.Attach());
        totalRows += ScanEverything(sectors);
    }
    std::printf("[ mutation ] %d damaged volumes scanned, %zu rows listed in all\n", rounds, totalRows);
    EXPECT_GT(totalRows, static_cast<std::size_t>(rounds) * 20);
}

TEST_F(ExtensiveNtfsMutation, IndexRecordsThatLieAboutTheirSizeEndTheWalk)
{
    struct Case
    {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
        unsigned width;
    };
    const Case cases[] = {
        {"allocated size past 64 KiB", 32, 0x00100000, 4},
        {"allocated size of 0", 32, 0, 4},
        {"allocated size not whole sectors", 32, 4000, 4},
        {"update sequence count of 65535", 6, 0xFFFF, 2},
        {"update sequence far past the record", 4, 0xFFF0, 2},
        {"first entry at 4 GiB", 24, 0xFFFFFFF8, 4},
        {"entry length of 1", 72, 1, 2},
        {"name length of 255", 144, 255, 1},
    };
    const CraftedNtfsVolume volume = MakeVolume();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        TempVolume disk("mutation-size");
        volume.WriteTo(disk);
        const std::uint64_t offset = volume.IndexRecordSector(kCraftedRoot) * 512;
        Bytes bytes = disk.Read(offset, 4096);
        for (unsigned i = 0; i < c.width; ++i)
            bytes[c.offset + i] = static_cast<std::uint8_t>(c.value >> (8 * i));
        disk.Write(offset, bytes);
        ASSERT_TRUE(disk.Attach());
        ScanEverything(volume.Base() + volume.TotalSectors() + 64);
        EXPECT_NE(FoundVolumeByNumber(1), nullptr);
    }
}

} // namespace
