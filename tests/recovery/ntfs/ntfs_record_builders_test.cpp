// The NTFS found-entry builders: fields, counters, owned names, the once-only folder numbers of the
// Extensive Scan and the folders that name themselves as their parent.
#include <gtest/gtest.h>

#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"

namespace {

class NtfsBuildersTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }
};

TEST_F(NtfsBuildersTest, EachBuilderAppendsAtTheTailAndCounts)
{
    std::u16string name = u"first";
    AddNtfsFileNode(name.c_str(), 100, 5, 1, 2, 3000, 1);
    name = u"changed";
    AddNtfsFileNode(u"second", 102, 5, 0, 0, 0, 0);
    ASSERT_EQ(ntfsFileNodeCount, 2u);
    EXPECT_EQ(std::u16string(ntfsFileNodes.head->name), u"first");
    EXPECT_EQ(ntfsFileNodes.head->dataSize, 3000u);
    EXPECT_EQ(ntfsFileNodes.head->deleted, 1u);
    EXPECT_EQ(ntfsFileNodes.tail->recordSector, 102u);
    EXPECT_EQ(ntfsFileNodes.tail->next, nullptr);

    AddNtfsFolderNode(u"Folder", 200, 5, 64, 0, 7, 8, 1234, 0);
    EXPECT_EQ(foundFolderCount, 1u);
    EXPECT_EQ(ntfsFolderNodes.head->firstIndexCluster, 1234u);

    AddNtfsScanNode(300, u"scan.txt", 70, 64, 1, 2, 42, 0);
    EXPECT_EQ(ntfsScanNodes.head->dataRecordSector, 300u);
    EXPECT_EQ(ntfsScanNodes.head->recordNumber, 70u);
    EXPECT_EQ(ntfsScanNodes.head->dataSize, 42u);

    AddNtfsIndexNode(400, 64, 0, 0xFFFF, 8);
    EXPECT_EQ(ntfsIndexNodeCount, 1u);
    EXPECT_EQ(ntfsIndexNodes.head->sectorCount, 8);

    FreePartitionLists();
    FreeScanLists();
    EXPECT_EQ(ntfsFileNodeCount, 0u);
    AddNtfsFileNode(u"after", 1, 5, 0, 0, 0, 0);
    EXPECT_EQ(ntfsFileNodes.head, ntfsFileNodes.tail);
}

TEST_F(NtfsBuildersTest, EntryNodesAreOnceOnlyDuringAnExtensiveScan)
{
    struct Case
    {
        const char* name;
        std::uint32_t scanKind;
        std::size_t expectedNodes;
    };
    const Case cases[] = {
        {"Quick Scan: every call adds", kScanQuick, 3},
        {"Extensive Scan: a folder number once", kScanExtensive, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreeScanLists();
        ScanSelection.scanKind = c.scanKind;
        AddNtfsEntryNode(u"A", 64, 5, 0, 0, 0, 0);
        AddNtfsEntryNode(u"A again", 64, 5, 0, 0, 0, 0);
        AddNtfsEntryNode(u"B", 65, 64, 0, 0, 0, 1);
        FreeFolderLists();
        // A list freed and started again forgets the numbers it held.
        AddNtfsEntryNode(u"A", 64, 5, 0, 0, 0, 0);
        AddNtfsEntryNode(u"A", 64, 5, 0, 0, 0, 0);
        AddNtfsEntryNode(u"B", 65, 64, 0, 0, 0, 1);
        std::size_t nodes = 0;
        for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
            ++nodes;
        EXPECT_EQ(nodes, c.expectedNodes);
        EXPECT_EQ(folderCount, nodes);
    }
}

TEST_F(NtfsBuildersTest, AFolderThatIsItsOwnParentIsNotAdded)
{
    for (std::uint32_t kind : {kScanQuick, kScanExtensive}) {
        ScanSelection.scanKind = kind;
        EXPECT_EQ(AddNtfsEntryNode(u"Self", 70, 70, 0, 0, 0, 0), nullptr);
        EXPECT_EQ(AddNtfsEntryNodeUnique(u"Self", 70, 70, 0, 0, 0, 0), nullptr);
    }
    EXPECT_EQ(ntfsEntryNodes.head, nullptr);
    EXPECT_EQ(folderCount, 0u);
    EXPECT_NE(AddNtfsEntryNode(u"Lost Dir", kLostDirValue, 5, 0, 0, 0, 0), nullptr);
}

} // namespace
