// FAT directory sectors into found records: names (8.3, long, straddling, damaged), the entries that
// must never become records, the deleted state, and what the Quick Scan's parser shows on the panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/fat/fat_dir_parse.h"
#include "fat_dir_builder.h"
#include "fat_test_volume.h"
#include "ui_recorder.h"

namespace {

using fat_test::DirectoryBytes;

struct Found
{
    char kind; // 'D' or 'F'
    std::u16string name;
    std::uint32_t cluster;
    std::uint32_t deleted;

    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& found)
{
    return out << found.kind << " " << Utf8(found.name) << " cluster " << found.cluster << " deleted "
               << found.deleted;
}

std::vector<Found> Listed()
{
    std::vector<Found> found;
    for (FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
        found.push_back({'D', folder->name, folder->firstCluster, folder->deleted});
    for (FatFileRec* file = fatFiles.head; file; file = file->next)
        found.push_back({'F', file->name, file->firstCluster, file->deleted});
    return found;
}

class FatDirParse : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        // A FAT32 volume whose FAT describes clusters 0 to 12799.
        VolumeParams.fsCode = kFsFat32;
        VolumeParams.fatSize = 100;
        VolumeParams.sectorsPerCluster = 1;
        VolumeParams.rangeCount = 1000;
        ui.Attach();
    }
    void TearDown() override { ResetEngineState(); }

    UiRecorder ui;
};

TEST_F(FatDirParse, EntriesBecomeRecordsOrAreDropped)
{
    struct Case
    {
        const char* name;
        std::function<void(DirectoryBytes&)> build; // a directory of two sectors; sector 1 is parsed
        std::uint16_t firstEntry;
        bool givePrevious;
        std::vector<Found> expected;
    };
    const Case cases[] = {
        {"8.3 name from its fields",
         [](DirectoryBytes& d) { d.Short(16, "README  TXT", 0x20, 5, 100); },
         0,
         true,
         {{'F', u"README.TXT", 5, 0}}},
        {"no extension, no dot",
         [](DirectoryBytes& d) { d.Short(16, "MAKEFILE   ", 0x20, 5, 1); },
         0,
         true,
         {{'F', u"MAKEFILE", 5, 0}}},
        {"deleted 8.3 name begins with x",
         [](DirectoryBytes& d) {
             d.Short(16, "README  TXT", 0x20, 5, 100);
             d.Delete(16);
         },
         0,
         true,
         {{'F', u"xEADME.TXT", 5, 1}}},
        {"folder",
         [](DirectoryBytes& d) { d.Short(16, "DOCS       ", 0x10, 6); },
         0,
         true,
         {{'D', u"DOCS", 6, 0}}},
        {"long name of exactly 13 characters, no terminator",
         [](DirectoryBytes& d) { d.Named(16, u"exactly13.txt", "EXACTL~1TXT", 0x20, 7, 13); },
         0,
         true,
         {{'F', u"exactly13.txt", 7, 0}}},
        {"long name of two full entries",
         [](DirectoryBytes& d) { d.Named(16, u"twenty-six-characters1.txt", "TWENTY~1TXT", 0x20, 7, 26); },
         0,
         true,
         {{'F', u"twenty-six-characters1.txt", 7, 0}}},
        {"non-ASCII long name",
         [](DirectoryBytes& d) { d.Named(16, u"日本語のファイル.txt", "___~1   TXT", 0x20, 8, 999); },
         0,
         true,
         {{'F', u"日本語のファイル.txt", 8, 0}}},
        {"long entries of another short name leave the short name",
         [](DirectoryBytes& d) { d.Named(16, u"Not mine.txt", "MINE    TXT", 0x20, 7, 1, "OTHER   TXT"); },
         0,
         true,
         {{'F', u"MINE.TXT", 7, 0}}},
        {"deleted long name names the deleted file",
         [](DirectoryBytes& d) {
             const std::size_t next = d.Named(16, u"Empty file.txt", "EMPTYF~1TXT", 0x20, 9, 4);
             d.Delete(next - 1, 2);
         },
         0,
         true,
         {{'F', u"Empty file.txt", 9, 1}}},
        {"long name straddling the sector start, found in the sector before",
         [](DirectoryBytes& d) {
             d.Named(14, u"A long name crossing the boundary.txt", "ALONGN~1TXT", 0x20, 9, 1);
         },
         0,
         true,
         {{'F', u"A long name crossing the boundary.txt", 9, 0}}},
        {"without the sector before, a short entry at offset 0 keeps its short name",
         [](DirectoryBytes& d) { d.Named(14, u"Straddling name.txt", "STRADD~1TXT", 0x20, 9, 1); },
         0,
         false,
         {{'F', u"STRADD~1.TXT", 9, 0}}},
        {"without the sector before, the part of a name within the sector is not taken for the name",
         [](DirectoryBytes& d) {
             d.Named(14, u"A long name crossing the boundary.txt", "ALONGN~1TXT", 0x20, 9, 1);
         },
         0,
         false,
         {{'F', u"ALONGN~1.TXT", 9, 0}}},
        {"names with a forbidden character are dropped",
         [](DirectoryBytes& d) {
             d.Named(16, u"ask?.txt", "ASK~1   TXT", 0x20, 5, 1);
             d.Named(18, u"pipe|.txt", "PIPE~1  TXT", 0x20, 6, 1);
             d.Short(20, "TAB\tX   TXT", 0x20, 7, 1);
         },
         0,
         true,
         {}},
        {"dot entries and blank names never become records",
         [](DirectoryBytes& d) {
             d.Short(16, ".          ", 0x10, 5);
             d.Short(17, "..         ", 0x10, 3);
             d.Named(18, u"..", "DOTDOT~1   ", 0x10, 8);
             d.Named(20, u".", "DOT~1      ", 0x20, 9, 5);
             d.Short(22, "           ", 0x20, 10, 5); // a blank 8.3 name
         },
         0,
         true,
         {}},
        {"first cluster 0 with a size, 1 or past the FAT is dropped",
         [](DirectoryBytes& d) {
             d.Short(16, "ZERO    BIN", 0x20, 0, 1);
             d.Short(17, "ONE     BIN", 0x10, 1, 1);
             d.Short(18, "PAST    BIN", 0x20, 12800, 1);
             d.Short(19, "LAST    BIN", 0x20, 12799, 1);
         },
         0,
         true,
         {{'F', u"LAST.BIN", 12799, 0}}},
        {"an empty file owns no cluster: listed live or deleted, with its long name",
         [](DirectoryBytes& d) {
             d.Short(16, "EMPTY   TXT", 0x20, 0, 0);
             const std::size_t next = d.Named(17, u"Empty and gone.txt", "EMPTYA~1TXT", 0x20, 0, 0);
             d.Delete(next - 1, 2);
         },
         0,
         true,
         {{'F', u"EMPTY.TXT", 0, 0}, {'F', u"Empty and gone.txt", 0, 1}}},
        {"no folder without a cluster, and no wiped slot that kept only its deleted mark",
         [](DirectoryBytes& d) {
             d.Short(16, "NOWHERE    ", 0x10, 0, 0);
             d.Entry(17)[0] = 0xE5;
             d.Short(18, "A\0      TXT", 0x20, 0, 0);
         },
         0,
         true,
         {}},
        {"FAT32 cluster numbers keep 28 bits",
         [](DirectoryBytes& d) { d.Short(16, "HIGH    BIN", 0x20, 0xF0000009, 1); },
         0,
         true,
         {{'F', u"HIGH.BIN", 9, 0}}},
        {"volume labels and lone long-name entries are no files",
         [](DirectoryBytes& d) {
             d.Short(16, "MYLABEL    ", 0x08, 3);
             d.Entry(17)[11] = 0x0F;
             d.Entry(17)[0] = 0x41;
         },
         0,
         true,
         {}},
        {"the end mark ends the directory",
         [](DirectoryBytes& d) {
             d.Short(16, "FIRST   BIN", 0x20, 5, 1);
             d.Short(18, "AFTER   BIN", 0x20, 6, 1);
         },
         0,
         true,
         {{'F', u"FIRST.BIN", 5, 0}}},
        {"entries before the first entry given are passed over",
         [](DirectoryBytes& d) {
             d.Short(16, "SKIPPED BIN", 0x20, 5, 1);
             d.Short(17, "SKIPPED2BIN", 0x20, 6, 1);
             d.Short(18, "TAKEN   BIN", 0x20, 7, 1);
         },
         2,
         true,
         {{'F', u"TAKEN.BIN", 7, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreeScanLists();
        DirectoryBytes directory(2);
        c.build(directory);
        bool end = false;
        ParseFatDirSector(directory.Sector(1), 7, &end, 0, c.firstEntry,
                          c.givePrevious ? directory.Sector(0) : nullptr);
        EXPECT_EQ(Listed(), c.expected);
        EXPECT_TRUE(end) << "every case leaves free entries at the end of the sector";
    }
}

TEST_F(FatDirParse, Fat16TakesTheLowHalfOfTheClusterOnly)
{
    VolumeParams.fsCode = kFsFat16;
    DirectoryBytes directory;
    directory.Short(0, "HIGH    BIN", 0x20, 0x00070009, 1);
    bool end = false;
    ParseFatDirSector(directory.Sector(0), 0, &end, 0, 0);
    EXPECT_EQ(Listed(), (std::vector<Found>{{'F', u"HIGH.BIN", 9, 0}}));
}

TEST_F(FatDirParse, DeletedStateInheritsOnlyWhenSwitchedOn)
{
    struct Case
    {
        const char* name;
        std::uint32_t inherit;
        std::uint32_t callerDeleted;
        std::vector<std::uint32_t> expected; // of: live, deleted, live
    };
    const Case cases[] = {
        {"switch 0: the caller's state is ignored", 0, 1, {0, 1, 0}},
        {"switch 1: starts at the caller's state", 1, 1, {1, 1, 1}},
        {"switch 1: a deleted entry carries over", 1, 0, {0, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreeScanLists();
        InheritDeletedState = c.inherit;
        DirectoryBytes directory;
        directory.Short(0, "ONE     BIN", 0x20, 5, 1);
        directory.Short(1, "TWO     BIN", 0x20, 6, 1);
        directory.Delete(1);
        directory.Short(2, "THREE   BIN", 0x20, 7, 1);
        bool end = false;
        ParseFatDirSector(directory.Sector(0), 0, &end, c.callerDeleted, 0);
        std::vector<std::uint32_t> states;
        for (FatFileRec* file = fatFiles.head; file; file = file->next)
            states.push_back(file->deleted);
        EXPECT_EQ(states, c.expected);
    }
    EXPECT_EQ(InheritDeletedState, 1u) << "the test leaves the switch for the reset";
}

TEST_F(FatDirParse, CountsIdsAndPanel)
{
    DirectoryBytes directory;
    directory.Short(0, "DIR        ", 0x10, 20);
    directory.Short(1, "DIRAGAIN   ", 0x10, 20);
    for (std::size_t index = 2; index < 14; ++index)
        directory.Short(index, "FILE    BIN", 0x20, 30 + static_cast<std::uint32_t>(index), 100);
    bool end = false;
    // 1000 sectors in clusters of 2: the progress measures entries against 500 clusters.
    VolumeParams.sectorsPerCluster = 2;
    ParseFatDirSector(directory.Sector(0), 42, &end, 0, 0);

    EXPECT_EQ(folderCount, 1u) << "a second folder entry for the same cluster adds no record";
    EXPECT_EQ(fileCount, 12u);
    EXPECT_EQ(listedBytes, 1200u);
    EXPECT_EQ(entriesDone, 14u) << "the folder entry that added no record counts too";
    std::vector<std::uint32_t> ids;
    for (FatFileRec* file = fatFiles.head; file; file = file->next) {
        ids.push_back(file->fileId);
        EXPECT_EQ(file->parentCluster, 42u);
        EXPECT_EQ(file->writeDate, 0x5A22);
        EXPECT_EQ(file->accessDate, 0x5A21);
    }
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

    const auto labels = ui.ArgumentsOf("scanPanel.SetLabelText");
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), "CurrentSector, \"42\"") << "the parent cluster";
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "FileCount, \"10\""), 1);
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "LastName, \"FILE.BIN\""), 12);
    const auto progress = ui.ArgumentsOf("scanPanel.SetProgressPos");
    ASSERT_EQ(progress.size(), 14u);
    EXPECT_EQ(progress.back(), "2") << "14 entries of 500 clusters";
}

TEST_F(FatDirParse, QuietWithoutDetailsAndWithoutAClusterSize)
{
    ScanDetailsShown = 0;
    VolumeParams.sectorsPerCluster = 0;
    DirectoryBytes directory;
    directory.Short(0, "FILE    BIN", 0x20, 5, 1);
    bool end = false;
    ParseFatDirSector(directory.Sector(0), 0, &end, 0, 0);
    EXPECT_EQ(fileCount, 1u);
    EXPECT_TRUE(ui.ArgumentsOf("scanPanel.SetLabelText").empty());
    EXPECT_EQ(ui.ArgumentsOf("scanPanel.SetProgressPos"), (std::vector<std::string>{"0"}));
}

TEST_F(FatDirParse, StopRequestParsesNothing)
{
    ScanThreadControl.done = 1;
    DirectoryBytes directory;
    directory.Short(0, "FILE    BIN", 0x20, 5, 1);
    bool end = false;
    ParseFatDirSector(directory.Sector(0), 0, &end, 0, 0);
    EXPECT_TRUE(fatFiles.Empty());
}

TEST_F(FatDirParse, LongNameOfMoreThan255CharactersEndsAndFits)
{
    DirectoryBytes directory(2);
    std::u16string name;
    for (int index = 0; index < 260; ++index)
        name += static_cast<char16_t>(u'a' + index % 26);
    const std::size_t next = directory.Named(5, name, "LONG~1  TXT", 0x20, 5, 1);
    ASSERT_EQ(next, 26u); // 20 long entries from entry 5, the short entry is entry 9 of sector 1
    char16_t out[kLongNameBufferSize];
    EXPECT_FALSE(GetLongName(directory.Sector(1), out, 9 * 32, directory.Sector(0)));
    EXPECT_EQ(std::u16string(out), name);
}

TEST(FatFileNames, IsValidFileName)
{
    struct Case
    {
        const char16_t* name;
        int expected;
    };
    const Case cases[] = {
        {u"README.TXT", 1}, {u"a:b", 1},         {u"Привет мир.txt", 1}, {u"", 1},          {u"tab\there", 0},
        {u"\x1f", 0},       {u"quote\".txt", 0}, {u"back\\slash", 0},    {u"sla/sh", 0},    {u"ask?.txt", 0},
        {u"star*.txt", 0},  {u"lt<.txt", 0},     {u"gt>.txt", 0},        {u"pipe|.txt", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.name));
        EXPECT_EQ(IsValidFileName(c.name), c.expected);
    }
}

TEST_F(FatDirParse, ParseFolderSectorsRenamesKnownFoldersAndAddsFiles)
{
    // Sectors 10 and 11 of a small volume hold one folder's cluster.
    std::vector<std::uint8_t> volume(16 * 512, 0);
    DirectoryBytes directory(2);
    directory.Short(0, ".          ", 0x10, 40);
    directory.Short(1, "..         ", 0x10, 0);
    directory.Short(2, "SUB        ", 0x10, 41);      // renames "Dir41"
    directory.Short(3, "UNKNOWN    ", 0x10, 77);      // no such folder: nothing
    directory.Short(4, "ODDDIR     ", 0x10, 78, 512); // a folder entry with a size is listed as a file
    for (std::size_t index = 5; index < 13; ++index) {
        directory.Short(index, "FREED   BIN", 0x20, 0, 1); // a deleted file whose cluster was cleared
        directory.Delete(index);
    }
    directory.Short(13, "FREED   BIN", 0x20, 0); // a deleted empty file
    directory.Delete(13);
    directory.Named(14, u"Straddling name.txt", "STRADD~1TXT", 0x20, 50, 9);
    directory.Short(17, "GONE    TXT", 0x20, 51, 3);
    directory.Delete(17);
    std::copy(directory.bytes.begin(), directory.bytes.end(), volume.begin() + 10 * 512);
    fat_test::TestVolume source(volume);

    AddFatFolderRec(u"Dir41", 41, 40, 0, 0, 0, 0);
    AddFatFolderRec(u"Dir42", 42, 40, 0, 0, 0, 0);
    std::vector<std::uint8_t> buffer(2 * 512);
    bool end = false;
    ParseFolderSectors(buffer.data(), 40, &end, 10, 2, 0, 2);

    EXPECT_TRUE(end);
    EXPECT_EQ(Listed(), (std::vector<Found>{{'D', u"SUB", 41, 0},
                                            {'D', u"Dir42", 42, 0},
                                            {'F', u"ODDDIR", 78, 0},
                                            {'F', u"xREED.BIN", 0, 1},
                                            {'F', u"Straddling name.txt", 50, 0},
                                            {'F', u"xONE.TXT", 51, 1}}));
    EXPECT_EQ(fileCount, 4u);
    EXPECT_TRUE(ui.Calls().empty()) << "no panel text or progress";
}

} // namespace
