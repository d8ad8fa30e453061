// Folder indexes and the Extensive Scan's reading of the file and index records it finds: folder
// numbers, first index clusters, and index records of every size the format allows or forbids.
#include <gtest/gtest.h>

#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/ntfs/ntfs_index_parse.h"
#include "engine/recovery/ntfs/ntfs_mft_record_scan.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "ntfs_test_records.h"
#include "ntfs_test_volume.h"

namespace {

Bytes Fixed(const RecordMaker& maker)
{
    Bytes record = maker.Finish();
    ApplyFixup(record.data(), record.size());
    return record;
}

class NtfsIndexTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        ASSERT_TRUE(volume.Attach());
    }
    void TearDown() override { ResetEngineState(); }

    TempVolume volume{"index"};
};

TEST(NtfsFolderNumber, ComesFromTheFirstEntryOfTheIndexRoot)
{
    struct Case
    {
        const char* name;
        std::uint32_t folderNumber; // 0: the root holds only its end entry
        void (*breakIt)(Bytes& record, std::uint32_t attribute);
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"first entry's parent", 77, nullptr, 77},
        {"only the end entry", 0, nullptr, 0},
        {"parent all ones", 0xFFFFFFFF, nullptr, 0},
        {"entry offset beyond the value", 77,
         [](Bytes& r, std::uint32_t at) { PutU32(r, at + 32 + 16, 0x7FFFFFF0); }, 0},
        {"entry offset past the record", 77,
         [](Bytes& r, std::uint32_t at) { PutU32(r, at + 32 + 16, 0xFFFFFFF0); }, 0},
        {"name other than $I30", 77, [](Bytes& r, std::uint32_t at) { r[at + 24 + 2] = 'X'; }, 0},
        {"name offset outside the attribute", 77,
         [](Bytes& r, std::uint32_t at) { PutU16(r, at + 10, 0x7FF0); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordMaker maker(3);
        maker.AddFileName(5, u"Folder");
        const std::uint32_t root = maker.AddIndexRoot(c.folderNumber);
        Bytes record = Fixed(maker);
        if (c.breakIt)
            c.breakIt(record, root);
        EXPECT_EQ(GetFolderNumber(record.data()), c.expected);
    }
}

TEST(NtfsFirstIndexCluster, IsTheFirstRunOfTheIndexAllocation)
{
    RecordMaker maker(3);
    maker.AddFileName(5, u"Folder");
    maker.AddIndexRoot(0);
    maker.AddNonResident(0xA0, RunEntry(1, 1234, 1, 2), 4096, 0, u"$I30");
    const Bytes record = Fixed(maker);
    EXPECT_NE(FindIndexAllocationI30(record.data()), 0u);
    EXPECT_EQ(GetFirstIndexCluster(kMftRecordSize, record.data()), 1234u);

    RecordMaker other(3);
    other.AddNonResident(0xA0, RunEntry(1, 1234, 1, 2), 4096, 0, u"$SDH");
    other.AddNonResident(0xA0, RunEntry(1, 99, 5, 2), 4096, 0, u"$I30");
    EXPECT_EQ(GetFirstIndexCluster(kMftRecordSize, Fixed(other).data()), 0u);
    EXPECT_EQ(GetFirstIndexCluster(kMftRecordSize, Fixed(RecordMaker(3)).data()), 0u);
}

TEST_F(NtfsIndexTest, IndexRecordsOfForbiddenSizesOrEntriesAddNothing)
{
    struct Case
    {
        const char* name;
        std::uint32_t size;
        std::uint32_t parent;
        void (*breakIt)(Bytes& record);
        int expected;
    };
    const Case cases[] = {
        {"4 KiB", 4096, 70, nullptr, 1},
        {"one sector", 512, 70, nullptr, 1},
        {"64 KiB", 65536, 70, nullptr, 1},
        {"over 64 KiB", 65536, 70, [](Bytes& r) { PutU32(r, 32, 65536 + 512 - 24); }, 0},
        {"allocated size far too large", 4096, 70, [](Bytes& r) { PutU32(r, 32, 0xFFFFFFF0); }, 0},
        {"under one sector", 4096, 70, [](Bytes& r) { PutU32(r, 32, 256 - 24); }, 0},
        {"allocated size 0", 4096, 70, [](Bytes& r) { PutU32(r, 32, 0); }, 0},
        {"not whole sectors", 4096, 70, [](Bytes& r) { PutU32(r, 32, 4000); }, 0},
        {"first entry past the record", 4096, 70, [](Bytes& r) { PutU32(r, 24, 4096 - 24 - 10); }, 0},
        {"first entry offset far out", 4096, 70, [](Bytes& r) { PutU32(r, 24, 0xFFFFFFF0); }, 0},
        {"parent below 5", 4096, 3, nullptr, 0},
        {"parent all ones", 4096, 0xFFFFFFFF, nullptr, 0},
    };
    std::uint32_t sector = 8;
    // Read from the source, or taken from the scan's buffer that holds the whole record already.
    for (const bool held : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (held ? ", held" : ", read"));
            FreePartitionLists();
            Bytes record = MakeIndexRecord(c.size, c.parent, 0x100000003ull);
            if (c.breakIt)
                c.breakIt(record);
            volume.Write(static_cast<std::uint64_t>(sector) * 512, record);
            const auto sectorsHeld = held ? static_cast<std::uint32_t>(record.size() / 512) : 1u;
            EXPECT_EQ(ReadIndexRecord(sector, record.data(), sectorsHeld), c.expected);
            ASSERT_EQ(ntfsIndexNodeCount, static_cast<std::uint32_t>(c.expected));
            if (c.expected) {
                const NtfsIndexNode* node = ntfsIndexNodes.head;
                EXPECT_EQ(node->sector, sector);
                EXPECT_EQ(node->folderNumber, c.parent);
                EXPECT_EQ(node->vcn, 3u);
                EXPECT_EQ(node->marker, 0xFFFF);
                EXPECT_EQ(node->sectorCount, c.size / 512);
            }
            sector += 256;
        }
}

TEST_F(NtfsIndexTest, FileRecordsBecomeFileOrFolderNodes)
{
    struct Case
    {
        const char* name;
        std::uint16_t flags;
        std::u16string fileName;
        std::uint64_t baseReference;
        bool folder;
        bool added;
        std::uint32_t deleted;
        std::uint32_t folderNumber;
    };
    const Case cases[] = {
        {"live file", 1, u"a.txt", 0, false, true, 0, 0},
        {"deleted file", 0, u"a.txt", 0, false, true, 1, 0},
        {"live folder", 3, u"Folder", 0, true, true, 0, 88},
        {"deleted folder", 2, u"Folder", 0, true, true, 1, 88},
        {"root", 3, u".", 0, true, true, 0, 5},
        {"$Extend in any case", 3, u"$EXTEND", 0, true, true, 0, 11},
        {"view index ($Secure)", 9, u"$Secure", 0, false, false, 0, 0},
        {"extension record", 1, u"a.txt", 40, false, false, 0, 0},
    };
    for (const bool held : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (held ? ", held" : ", read"));
            FreePartitionLists();
            RecordMaker maker(c.flags, c.baseReference);
            maker.AddFileName(5, c.fileName);
            maker.AddResident(0x80, Bytes(300, 1));
            maker.AddIndexRoot(88);
            maker.AddNonResident(0xA0, RunEntry(1, 4321, 1, 2), 4096, 0, u"$I30");
            const Bytes onDisk = maker.Finish();
            volume.Write(40 * 512, onDisk);
            ProcessMftRecord(40, held ? onDisk.data() : nullptr);
            const std::uint32_t files = ntfsFileNodeCount;
            const std::uint32_t folders = foundFolderCount;
            EXPECT_EQ(files + folders, c.added ? 1u : 0u);
            if (c.added && c.folder) {
                ASSERT_EQ(folders, 1u);
                const NtfsFolderNode* node = ntfsFolderNodes.head;
                EXPECT_EQ(std::u16string(node->name), c.fileName);
                EXPECT_EQ(node->recordSector, 40u);
                EXPECT_EQ(node->parentNumber, 5u);
                EXPECT_EQ(node->folderNumber, c.folderNumber);
                EXPECT_EQ(node->firstIndexCluster, 4321u);
                EXPECT_EQ(node->deleted, c.deleted);
            } else if (c.added) {
                ASSERT_EQ(files, 1u);
                const NtfsFileNode* node = ntfsFileNodes.head;
                EXPECT_EQ(node->dataSize, 300u);
                EXPECT_EQ(node->deleted, c.deleted);
            }
        }
}

TEST_F(NtfsIndexTest, RereadTakesTheRecordFromTheSource)
{
    RecordMaker maker(1);
    maker.AddFileName(77, u"on-disk.txt", kNamespaceWin32AndDos);
    maker.AddNonResident(0x80, RunEntry(2, 900, 1, 2), 6000);
    volume.Write(60 * 512, maker.Finish());
    char16_t name[kNtfsNameCapacity] = {};
    std::uint32_t parent = 0;
    ASSERT_EQ(GetFileNameAttr(60, name, &parent, nullptr, nullptr, kNamespaceWin32AndDos, nullptr, 1), 1);
    EXPECT_EQ(std::u16string(name), u"on-disk.txt");
    EXPECT_EQ(parent, 77u);
    EXPECT_EQ(GetFileNameAttr(60, name, &parent, nullptr, nullptr, kNamespaceDos, nullptr, 1), 0);
    std::uint64_t size = 0;
    ASSERT_EQ(GetDataSize(60, &size, nullptr, 1), 1);
    EXPECT_EQ(size, 6000u);
    // Sectors that hold no file record give nothing.
    EXPECT_EQ(GetDataSize(70, &size, nullptr, 1), 0);
    EXPECT_EQ(GetFileNameAttr(70, name, &parent, nullptr, nullptr, kNamespaceWin32, nullptr, 1), 0);
}

} // namespace
