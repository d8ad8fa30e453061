// Finding files by pattern over the whole volume and saving the rows found: which list each kind of
// scan searches, the folder paths from the tree, the Extensive Scan's volume bounds, Stop, and rows
// whose ID no record holds.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/find_files.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/save/save_files.h"
#include "save_test_support.h"
#include "ui_recorder.h"

namespace {

// 15 June 2010 as a FAT date word; 5 March 2009 07:04:09 UTC as a FILETIME.
constexpr std::uint16_t kFatDate2010 = (30 << 9) | (6 << 5) | 15;
constexpr std::uint64_t kTime2009 = 128807102490000000ULL;

struct Found
{
    std::u16string name;
    std::u16string path;
    std::uint64_t id;
    bool operator==(const Found& other) const
    {
        return name == other.name && path == other.path && id == other.id;
    }
};

void PrintTo(const Found& found, std::ostream* out)
{
    *out << Utf8(found.name) << " " << Utf8(found.path) << " #" << found.id;
}

class FindFilesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        // Tree items 1 "Docs" and 2 "Docs\Inner" (the recorder's items are their index + 1).
        recorder.recoveryTreeItems = {{u"Docs", 0}, {u"Inner", 1}};
    }
    void TearDown() override { ResetEngineState(); }

    std::vector<Found> Find(const char16_t* pattern, int stopAfter = -1)
    {
        std::vector<Found> found;
        std::atomic<int> stop{0};
        const std::uint32_t count = FindFiles(pattern, stop, [&](const FoundFileRow& row) {
            found.push_back({row.name, row.path, row.id});
            rows.push_back(row);
            if (static_cast<int>(found.size()) == stopAfter)
                stop = 1;
        });
        EXPECT_EQ(count, found.size());
        return found;
    }

    void AddFatFile(const char16_t* name, std::uint32_t parent, std::uint32_t size)
    {
        AddFatFileRec(name, 0, parent, kFatDate2010, kFatDate2010, size, 0);
        ++fileCount;
    }

    UiRecorder recorder;
    std::vector<FoundFileRow> rows;
};

TEST_F(FindFilesTest, FatFilesMatchWithoutRegardToCaseAndCarryTheirFolderPath)
{
    VolumeParams.fsCode = kFsFat32;
    ScanSelection.scanKind = kScanQuick;
    AddFatFolderRec(u"Docs", 7, 0, kFatDate2010, kFatDate2010, 0, 0)->treeItem = 1;
    AddFatFolderRec(u"Inner", 9, 7, kFatDate2010, kFatDate2010, 0, 0)->treeItem = 2;
    AddFatFile(u"root.txt", 0, 5);    // ID 0
    AddFatFile(u"UPPER.TXT", 7, 6);   // ID 1
    AddFatFile(u"photo.jpg", 9, 7);   // ID 2
    AddFatFile(u"deep.Txt", 9, 8);    // ID 3
    AddFatFile(u"orphan.txt", 44, 9); // ID 4: no folder record has cluster 44

    EXPECT_EQ(Find(u"*.txt"), (std::vector<Found>{{u"root.txt", u"\\", 0},
                                                  {u"UPPER.TXT", u"\\Docs", 1},
                                                  {u"deep.Txt", u"\\Docs\\Inner", 3},
                                                  {u"orphan.txt", u"\\", 4}}));
    EXPECT_EQ(rows[1].size, 6u);
    EXPECT_EQ(rows[1].created, u"15-06-2010 ");
    EXPECT_EQ(rows[1].modified, u"15-06-2010 ");
    EXPECT_TRUE(Find(u"*.doc").empty());
    // "*" finds everything; Stop ends the pass after the row that set it.
    EXPECT_EQ(Find(u"*").size(), 5u);
    EXPECT_EQ(Find(u"*", 2).size(), 2u);
}

TEST_F(FindFilesTest, NtfsSearchesTheScanNodesOrTheFileRecordsWithinTheVolume)
{
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.clusterBase = 1000;
    VolumeParams.endSector = 2000;
    AddNtfsEntryNode(u"Docs", 40, 5, kTime2009, kTime2009, 1, 0);
    // The Quick Scan's nodes are keyed by the sector of the record that holds the data.
    AddNtfsScanNode(1500, u"quick.txt", 70, 40, kTime2009, kTime2009, 12, 0);
    AddNtfsScanNode(1502, u"quick.bin", 71, 5, kTime2009, kTime2009, 12, 0);
    // The Extensive Scan's records: the volume's first sector is its boot sector, its last one counts.
    AddNtfsFileNode(u"at-start.txt", 1000, 5, kTime2009, kTime2009, 1, 0);
    AddNtfsFileNode(u"inside.txt", 1200, 40, kTime2009, kTime2009, 2, 0);
    AddNtfsFileNode(u"at-end.txt", 2000, 5, kTime2009, kTime2009, 3, 0);
    AddNtfsFileNode(u"beyond.txt", 2002, 5, kTime2009, kTime2009, 4, 0);

    ScanSelection.scanKind = kScanQuick;
    EXPECT_EQ(Find(u"*.txt"), (std::vector<Found>{{u"quick.txt", u"\\Docs", 1500}}));
    EXPECT_EQ(rows[0].created, u"5-3-2009 7:4:9");

    ScanSelection.scanKind = kScanExtensive;
    EXPECT_EQ(Find(u"*.txt"),
              (std::vector<Found>{{u"inside.txt", u"\\Docs", 1200}, {u"at-end.txt", u"\\", 2000}}));

    ScanSelection.scanKind = kScanFileTrace;
    EXPECT_TRUE(Find(u"*").empty());
}

TEST_F(FindFilesTest, SavingFoundRowsSkipsAnIdThatNoRecordHolds)
{
    VolumeParams.fsCode = kFsFat16;
    ScanSelection.scanKind = kScanQuick;
    AddFatFile(u"empty.txt", 0, 0); // ID 0: nothing to read
    AddFatFile(u"other.txt", 0, 0); // ID 1: not checked
    ScratchFolder scratch;
    const SaveOutcomeBlock outcome = SaveFoundFiles(scratch.TargetText(), {0, 77});
    EXPECT_EQ(outcome.saved, 1u);
    EXPECT_EQ(outcome.skipped, 1u);
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_EQ(ListTree(scratch.Target()), (std::vector<std::string>{"empty.txt"}));
    // The dialog named the one file saved.
    EXPECT_EQ(recorder.ArgumentsOf("savingDialog.SetFileNameText"),
              (std::vector<std::string>{"\"empty.txt\""}));
}

} // namespace
