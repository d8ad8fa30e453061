// The result list's rows for each kind of scan: columns, the "Parent..." entry, "Deleted " texts, sizes,
// times, filters, the Extensive Scan's volume bounds, and the selected-size sum.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "ui_recorder.h"

namespace {

using Rows = std::vector<std::vector<std::u16string>>;

// 2025-01-01 and 2010-06-15 as FAT date words.
constexpr std::uint16_t kFatDate2025 = (45 << 9) | (1 << 5) | 1;
constexpr std::uint16_t kFatDate2010 = (30 << 9) | (6 << 5) | 15;
// 5 March 2009 07:04:09 and 31 December 2021 23:59:58 UTC as FILETIMEs.
constexpr std::uint64_t kTime2009 = 128807102490000000ULL;
constexpr std::uint64_t kTime2021 = 132854687980000000ULL;
constexpr std::uint64_t kFiveGiB = 5ULL << 30;

class Listing : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        recorder.shellTypeNames[u".JPG"] = u"JPEG Image";
        recorder.shellIconIndexes[u".JPG"] = 7;
    }
    void TearDown() override { ResetEngineState(); }

    void SetFilters(std::vector<std::u16string> patterns)
    {
        FileFilterTable = {};
        FileFilterTable.count = static_cast<std::int32_t>(patterns.size());
        for (std::size_t slot = 0; slot < patterns.size(); ++slot)
            patterns[slot].copy(FileFilterTable.patterns[slot], kFileFilterLength);
    }

    std::vector<std::string> Calls(std::string_view method) { return recorder.ArgumentsOf(method); }

    UiRecorder recorder;
};

void AddFatFolder(const char16_t* name, std::uint32_t cluster, std::uint32_t parent, std::uint32_t deleted,
                  TreeItemValue item)
{
    AddFatFolderRec(name, cluster, parent, kFatDate2025, kFatDate2010, 0, deleted)->treeItem = item;
}

void AddFatFile(const char16_t* name, std::uint32_t parent, std::uint32_t size, std::uint32_t deleted)
{
    AddFatFileRec(name, 100 + fileCount, parent, kFatDate2010, kFatDate2025, size, deleted);
    ++fileCount;
}

TEST_F(Listing, FatRowsFollowTheFolderTheFiltersAndTheDeletedState)
{
    VolumeParams.fsCode = kFsFat32;
    AddFatFolder(u"Docs", 7, 0, 0, 11);
    AddFatFolder(u"Old", 8, 0, 1, 12);
    AddFatFolder(u"Inner", 9, 7, 0, 13);
    AddFatFile(u"photo.jpg", 0, 4097, 1); // ID 0
    AddFatFile(u"notes.txt", 0, 0, 0);    // ID 1
    AddFatFile(u"README", 7, 12, 0);      // ID 2

    const std::vector<std::u16string> docs = {u"Docs",        u"Folder",      u"0",
                                              u"01-01-2025 ", u"15-06-2010 ", u"11"};
    const std::vector<std::u16string> old = {u"Old",         u"Deleted Folder", u"0",
                                             u"01-01-2025 ", u"15-06-2010 ",    u"12"};
    const std::vector<std::u16string> photo = {u"photo.jpg",   u"Deleted JPEG Image", u"4097",
                                               u"15-06-2010 ", u"01-01-2025 ",        u"0"};
    const std::vector<std::u16string> notes = {u"notes.txt",   u"TXT File",    u"0",
                                               u"15-06-2010 ", u"01-01-2025 ", u"1"};
    struct Case
    {
        const char* name;
        std::uint32_t folder;
        std::vector<std::u16string> filters;
        Rows expected;
    };
    const Case cases[] = {
        {"root: no parent entry, folders before files", 0, {}, {docs, old, photo, notes}},
        {"filters are upper-cased; folders are never filtered", 0, {u"*.JPG", u"*.DOC"}, {docs, old, photo}},
        {"a filter that matches nothing leaves the folders", 0, {u"*.PNG"}, {docs, old}},
        {"a subfolder starts with Parent...",
         7,
         {},
         {{u"Parent..."},
          {u"Inner", u"Folder", u"0", u"01-01-2025 ", u"15-06-2010 ", u"13"},
          {u"README", u"File", u"12", u"15-06-2010 ", u"01-01-2025 ", u"2"}}},
        {"an empty folder still shows Parent...", 9, {}, {{u"Parent..."}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetFilters(c.filters);
        recorder.Clear();
        ListFolderFat(c.folder);
        EXPECT_EQ(recorder.resultRows, c.expected);
        // Every row is checked as it is inserted, the parent entry included.
        EXPECT_EQ(Calls("resultList.CheckItem").size(), c.expected.size());
        ASSERT_FALSE(recorder.Calls().empty());
        EXPECT_EQ(recorder.Calls().back(), "recoveryTree.SetFocus()");
    }

    // Icons: folders and the parent entry take the folder icon, files the icon of their extension.
    recorder.Clear();
    SetFilters({});
    ListFolderFat(0);
    EXPECT_EQ(Calls("resultList.InsertItem"),
              (std::vector<std::string>{"0, \"Docs\", 3", "1, \"Old\", 3", "2, \"photo.jpg\", 7",
                                        "3, \"notes.txt\", 1"}));
}

TEST_F(Listing, QuickNtfsRowsShowTimesFullSizesAndTheDataRecordSector)
{
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.fsCode = kFsNtfs;
    AddNtfsEntryNode(u"Photos", 40, 5, kTime2009, kTime2021, 21, 0);
    AddNtfsEntryNode(u"Gone", 41, 5, kTime2009, kTime2021, 22, 1);
    AddNtfsScanNode(3000, u"huge.bin", 64, 5, kTime2021, kTime2009, kFiveGiB, 0);
    AddNtfsScanNode(3002, u"lost.jpg", 65, 40, kTime2009, kTime2009, 1, 1);

    ListFolderNtfs(5);
    EXPECT_EQ(recorder.resultRows,
              (Rows{{u"Photos", u"Folder", u"0", u"5-3-2009 7:4:9", u"31-12-2021 23:59:58", u"21"},
                    {u"Gone", u"Deleted Folder", u"0", u"5-3-2009 7:4:9", u"31-12-2021 23:59:58", u"22"},
                    {u"huge.bin", u"BIN File", u"5368709120", u"31-12-2021 23:59:58", u"5-3-2009 7:4:9",
                     u"3000"}}));

    ListFolderNtfs(40);
    EXPECT_EQ(recorder.resultRows, (Rows{{u"Parent..."},
                                         {u"lost.jpg", u"Deleted JPEG Image", u"1", u"5-3-2009 7:4:9",
                                          u"5-3-2009 7:4:9", u"3002"}}));
}

TEST_F(Listing, ExtensiveNtfsListsOnlyRecordsWithinTheVolume)
{
    ScanSelection.scanKind = kScanExtensive;
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.clusterBase = 1000;
    VolumeParams.endSector = 5000;
    AddNtfsFileNode(u"at-start.txt", 1000, 5, kTime2009, kTime2009, 10, 0);
    AddNtfsFileNode(u"inside.txt", 1002, 5, kTime2009, kTime2009, 11, 1);
    AddNtfsFileNode(u"at-end.txt", 5000, 5, kTime2009, kTime2009, 12, 0);
    AddNtfsFileNode(u"past-end.txt", 5002, 5, kTime2009, kTime2009, 13, 0);
    // Scan nodes belong to the Quick Scan and are not shown after an Extensive Scan.
    AddNtfsScanNode(4000, u"quick.txt", 70, 5, 0, 0, 1, 0);

    // ListFolderNtfs hands over by itself after an Extensive Scan of an NTFS volume.
    ListFolderNtfs(5);
    std::vector<std::u16string> names;
    for (const auto& row : recorder.resultRows)
        names.push_back(row[0]);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"inside.txt", u"at-end.txt"}));
    EXPECT_EQ(recorder.resultRows[0],
              (std::vector<std::u16string>{u"inside.txt", u"Deleted TXT File", u"11", u"5-3-2009 7:4:9",
                                           u"5-3-2009 7:4:9", u"1002"}));
    EXPECT_EQ(Calls("resultList.Update"), std::vector<std::string>{"1"});
}

TEST_F(Listing, SelectedSizeSumsMarkedEntriesInWholeMebibytes)
{
    struct Case
    {
        const char* name;
        std::uint32_t scanKind;
        std::uint16_t fsCode;
        std::vector<std::uint64_t> marked;
        const char* expected;
    };
    // FAT files: ID 0 of 1,048,575 bytes, ID 1 of 1 byte, ID 2 of 3 MiB. NTFS Quick: 5 GiB at 3000;
    // Extensive: 2 MiB at 1002.
    VolumeParams.clusterBase = 1000;
    VolumeParams.endSector = 5000;
    AddFatFile(u"a.bin", 0, 1048575, 0);
    AddFatFile(u"b.bin", 0, 1, 0);
    AddFatFile(u"c.bin", 0, 3u << 20, 1);
    AddNtfsScanNode(3000, u"huge.bin", 64, 5, 0, 0, kFiveGiB, 0);
    AddNtfsFileNode(u"two.bin", 1002, 5, 0, 0, 2u << 20, 0);
    AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG", 1, 100);
    const Case cases[] = {
        {"1,048,575 bytes round down to 0", kScanQuick, kFsFat16, {0}, "\"Selected Size : 0 MB\""},
        {"one byte more makes 1 MB", kScanQuick, kFsFat32, {0, 1}, "\"Selected Size : 1 MB\""},
        {"unknown IDs add nothing", kScanQuick, kFsFat32, {0, 1, 2, 99}, "\"Selected Size : 4 MB\""},
        {"NTFS Quick uses the data-record sector",
         kScanQuick,
         kFsNtfs,
         {3000, 1002},
         "\"Selected Size : 5120 MB\""},
        {"NTFS Extensive uses the record sector",
         kScanExtensive,
         kFsNtfs,
         {3000, 1002},
         "\"Selected Size : 2 MB\""},
        {"File Trace items have no size", kScanFileTrace, kFsFat32, {1}, "\"Selected Size : 0 MB\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.Clear();
        ScanSelection.scanKind = c.scanKind;
        VolumeParams.fsCode = c.fsCode;
        recorder.markedEntryIds = c.marked;
        ComputeSelectedSize();
        EXPECT_EQ(Calls("resultsView.SetSelectedSizeText"), std::vector<std::string>{c.expected});
    }
}

TEST_F(Listing, SelectedSizeCountsMarkedFatFoldersThroughTheTree)
{
    VolumeParams.fsCode = kFsFat16;
    AddFatFolder(u"Docs", 7, 0, 0, 11);
    recorder.markedTreeItems = {11, 99};
    ComputeSelectedSize();
    // Only the item that a folder record holds is counted; the tree adds what lies below it.
    EXPECT_EQ(Calls("recoveryTree.CountTreeItemContents"), std::vector<std::string>{"11"});

    recorder.Clear();
    VolumeParams.fsCode = kFsNtfs;
    ComputeSelectedSize();
    EXPECT_TRUE(Calls("recoveryTree.CountTreeItemContents").empty());
}

} // namespace
