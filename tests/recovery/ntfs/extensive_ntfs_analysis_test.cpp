// The completion step of the Extensive NTFS scan on hand-made lists and sectors: the numbering of folder
// records, the dropping of index records that do not start a folder's index, the volumes found from
// boot sectors and inferred from pairs of folders (checked against the plain pairwise walk on random
// lists), and the step's end in every case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/ntfs/ntfs_mft_numbering.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/ntfs/ntfs_volume_analysis.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "extensive_ntfs_crafted.h"
#include "ntfs_test_records.h"
#include "ntfs_test_volume.h"
#include "ui_recorder.h"

namespace {

constexpr std::uint32_t kFolderAttribute = 0x10000000;

class ExtensiveNtfsAnalysis : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        ui.Attach();
        ASSERT_TRUE(disk.Attach());
        ScanSelection.scanKind = kScanExtensive;
        VolumeParams.scanFsCode = kFsNtfs;
        VolumeParams.rangeStart = 0;
        VolumeParams.rangeCount = 200000;
        VolumeParams.rangeEnd = 199999;
    }
    void TearDown() override { ResetEngineState(); }

    // A folder node as the sector scan appends it.
    static NtfsFolderNode* Folder(std::uint32_t sector, std::uint32_t number, std::uint32_t cluster,
                                  const std::u16string& name = u"folder", std::uint32_t parent = 5)
    {
        return AddNtfsFolderNode(name.c_str(), sector, parent, number, 0, 0x01D0000000000001,
                                 0x01D0000000000002, cluster, 0);
    }

    // An index record on the disk and its node, naming `folder`.
    void Index(std::uint32_t sector, std::uint32_t folder, std::uint32_t vcn = 0)
    {
        disk.Write(std::uint64_t{sector} * 512, MakeIndexRecord(4096, folder, vcn));
        AddNtfsIndexNode(sector, folder, vcn, 0xFFFF, 8);
    }

    void BootSector(std::uint32_t sector, const Bytes& bytes)
    {
        disk.Write(std::uint64_t{sector} * 512, bytes);
        ++bootSectorCount;
        AppendU32Node(&bootSectorList, sector);
    }

    static std::vector<std::string> Labels(const UiRecorder& recorder)
    {
        std::vector<std::string> labels;
        for (const UiRecorder::TreeItem& item : recorder.partitionTreeItems)
            labels.push_back(Utf8(item.text));
        return labels;
    }

    UiRecorder ui;
    TempVolume disk{"analysis"};
};

// ---- Numbering ----------------------------------------------------------------------------------------

TEST_F(ExtensiveNtfsAnalysis, FoldersWithoutANumberAreNumberedByTheirPositionAfterTheLastNumberedOne)
{
    struct Case
    {
        const char* name;
        std::uint32_t distance; // sectors after the folder numbered 40; 0: the node comes first
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"two sectors after", 2, 41},
        {"four sectors after", 4, 42},
        {"three sectors after: not a record boundary", 3, 41},
        {"first of the list", 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        UiRecorder caseUi;
        caseUi.Attach();
        ASSERT_TRUE(disk.Attach());
        NtfsFolderNode* node = nullptr;
        if (c.distance == 0) {
            node = Folder(1000, 0, 0);
        } else {
            Folder(1000, 40, 0);
            node = Folder(1000 + c.distance, 0, 0);
        }
        AssignMftNumbers();
        EXPECT_EQ(node->folderNumber, c.expected);
    }
}

TEST_F(ExtensiveNtfsAnalysis, ARecordThatKeepsItsOwnNumberIsNumberedByIt)
{
    // Two sectors after record 40 by position, but the header says 77: the MFT has a gap there.
    RecordMaker maker(3);
    maker.AddFileName(5, u"moved");
    PutU32(maker.bytes, 44, 77);
    disk.Write(1002 * 512ull, maker.Finish());
    Folder(1000, 40, 0);
    NtfsFolderNode* moved = Folder(1002, 0, 0, u"moved");
    NtfsFolderNode* next = Folder(1004, 0, 0);
    AssignMftNumbers();
    EXPECT_EQ(moved->folderNumber, 77u);
    EXPECT_EQ(next->folderNumber, 78u);
    EXPECT_EQ(ui.ArgumentsOf("scanPanel.SetStatusText").back(), "\"Assigning MFT numbers ( Step 2/2 )...\"");
}

TEST_F(ExtensiveNtfsAnalysis, TheParentsIndexNamesTheFirstUnnumberedFolderWithTheSameNameTimeAndParent)
{
    // Folder 30's index record lists the folder "Sub" as record 123 and a file "Sub.txt" as record 124.
    disk.Write(5000 * 512ull,
               IndexRecordWithEntries(30, 0, {{123, u"Sub"}, {124, u"Sub.txt"}, {125, u"Other"}},
                                      {true, false, true}));
    AddNtfsIndexNode(5000, 30, 0, 0xFFFF, 8);
    NtfsFolderNode* wrongCase = Folder(100, 0, 0, u"sub", 30);
    NtfsFolderNode* first = Folder(102, 0, 0, u"Sub", 30);
    NtfsFolderNode* twin = Folder(104, 0, 0, u"Sub", 30);
    NtfsFolderNode* otherParent = Folder(106, 0, 0, u"Other", 31);
    NtfsFolderNode* other = Folder(108, 0, 0, u"Other", 30);
    NtfsFolderNode* file = Folder(110, 0, 0, u"Sub.txt", 30);
    AssignMftNumbers();
    EXPECT_EQ(first->folderNumber, 123u);
    EXPECT_EQ(other->folderNumber, 125u);
    // The rest by position: each two sectors after the node before it.
    EXPECT_EQ(wrongCase->folderNumber, 2u);
    EXPECT_EQ(twin->folderNumber, 124u);
    EXPECT_EQ(otherParent->folderNumber, 125u);
    EXPECT_EQ(file->folderNumber, 126u) << "a file's entry names no folder";
    const std::vector<std::string> texts = ui.ArgumentsOf("scanPanel.SetStatusText");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "\"Assigning MFT numbers ( Step 1/2 ) - 1 \\ 1\""),
              texts.end());
}

TEST_F(ExtensiveNtfsAnalysis, IndexEntryWalksStayWithinTheRecord)
{
    // A record of two folder entries, "One" (record 200) and "Two" (201), then broken: each break ends
    // the walk of that record; the entry before it still counts.
    struct Patch
    {
        std::size_t offset;
        std::uint32_t value;
        unsigned width;
    };
    struct Case
    {
        const char* name;
        std::vector<Patch> patches;
        bool oneNamed;
        bool twoNamed;
    };
    const std::size_t firstLength = 72; // offset of the first entry's length: entries start at 64
    const std::size_t nearEnd = 4096 - 100;
    const Case cases[] = {
        {"whole", {}, true, true},
        {"first entry far past the record", {{24, 0xFFFFFFF0, 4}}, false, false},
        {"first entry in the record's last bytes", {{24, 4096 - 24 - 40, 4}}, false, false},
        {"entry length 0", {{firstLength, 0, 2}}, true, false},
        {"entry length past the record", {{firstLength, 0xFFF0, 2}}, true, false},
        {"second name running past the record",
         {{firstLength, static_cast<std::uint32_t>(nearEnd - 64), 2}, {nearEnd + 80, 255, 1}},
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        UiRecorder caseUi;
        caseUi.Attach();
        ASSERT_TRUE(disk.Attach());
        Bytes record = IndexRecordWithEntries(30, 0, {{200, u"One"}, {201, u"Two"}}, {true, true});
        for (const Patch& patch : c.patches)
            for (unsigned i = 0; i < patch.width; ++i)
                record[patch.offset + i] = static_cast<std::uint8_t>(patch.value >> (8 * i));
        disk.Write(7000 * 512ull, record);
        AddNtfsIndexNode(7000, 30, 0, 0xFFFF, 8);
        NtfsFolderNode* one = Folder(100, 0, 0, u"One", 30);
        NtfsFolderNode* two = Folder(300, 0, 0, u"Two", 30);
        AssignMftNumbers();
        EXPECT_EQ(one->folderNumber == 200, c.oneNamed) << one->folderNumber;
        EXPECT_EQ(two->folderNumber == 201, c.twoNamed) << two->folderNumber;
    }
}

TEST_F(ExtensiveNtfsAnalysis, OnlyTheFirstIndexRecordOfEachFolderIsKept)
{
    AddNtfsIndexNode(100, 30, 0, 0xFFFF, 8);
    AddNtfsIndexNode(108, 30, 1, 0xFFFF, 8);
    AddNtfsIndexNode(116, 31, 0, 0xFFFF, 8);
    AddNtfsIndexNode(124, 31, 7, 0xFFFF, 8);
    DeleteUnusedIndexNodes();
    std::vector<std::uint32_t> sectors;
    for (const NtfsIndexNode* node = ntfsIndexNodes.head; node; node = node->next)
        sectors.push_back(node->sector);
    EXPECT_EQ(sectors, (std::vector<std::uint32_t>{100, 116}));
    EXPECT_EQ(ntfsIndexNodeCount, 2u);
    // The list goes on from its new tail.
    AddNtfsIndexNode(132, 32, 0, 0xFFFF, 8);
    EXPECT_EQ(ntfsIndexNodes.head->next->next->sector, 132u);
    EXPECT_EQ(ui.ArgumentsOf("scanPanel.SetStatusText"),
              (std::vector<std::string>{"\"Deleting unused index entries...\""}));
}

// ---- Volumes from boot sectors ------------------------------------------------------------------------

TEST_F(ExtensiveNtfsAnalysis, ABootSectorThatAFolderConfirmsGivesAVolume)
{
    struct Case
    {
        const char* name;
        std::uint8_t sectorsPerCluster;
        std::uint8_t indexRecordByte;
        std::uint32_t expectedIndexSectors; // 0: no volume
    };
    const Case cases[] = {
        {"one cluster per index record", 8, 0x01, 8},
        {"two clusters of 2 sectors", 2, 0x02, 4},
        {"2^12 bytes (0xF4)", 8, 0xF4, 8},
        {"2^10 bytes (0xF6)", 8, 0xF6, 2},
        {"2^16 bytes (0xF0)", 8, 0xF0, 128},
        {"index byte 0", 8, 0x00, 0},
        {"2^8 bytes: smaller than a sector", 8, 0xF8, 0},
        {"2^32 bytes (0xE0)", 8, 0xE0, 0},
        {"3 sectors per cluster", 3, 0x01, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        UiRecorder caseUi;
        caseUi.Attach();
        ASSERT_TRUE(disk.Attach());
        VolumeParams.rangeEnd = 199999;
        BootSector(2048, NtfsBootSector(c.sectorsPerCluster, 4, 100, 60000, c.indexRecordByte));
        const std::uint32_t cluster = 900;
        Index(2048 + cluster * c.sectorsPerCluster, 40);
        NtfsFolderNode* node = Folder(3000, 40, cluster);
        AddNtfsBootVolumes();
        EXPECT_EQ(bootVolumesDone.load(), 1u);
        ASSERT_FALSE(caseUi.partitionTreeItems.empty());
        EXPECT_EQ(Utf8(caseUi.partitionTreeItems[0].text), "File System");
        if (c.expectedIndexSectors == 0) {
            EXPECT_EQ(foundVolumes.head, nullptr);
            EXPECT_EQ(node->volumeNumber, 0u);
            continue;
        }
        ASSERT_NE(foundVolumes.head, nullptr);
        const FoundVolumeRec& volume = *foundVolumes.head;
        EXPECT_EQ(Labels(caseUi), (std::vector<std::string>{"File System", "NTFS @2048"}));
        EXPECT_EQ(volume.fsCode, kFsNtfs);
        EXPECT_EQ(volume.clusterBase, 2048u);
        EXPECT_EQ(volume.sectorsPerCluster, c.sectorsPerCluster);
        EXPECT_EQ(volume.indexSectors, c.expectedIndexSectors);
        EXPECT_EQ(volume.mftStart, 2048u + 4 * c.sectorsPerCluster);
        EXPECT_EQ(volume.mftMirrStart, 2048u + 100 * c.sectorsPerCluster);
        EXPECT_EQ(volume.endSector, 2048u + 60000);
        EXPECT_EQ(volume.treeItem, 2u);
        EXPECT_EQ(volumeCounter, 1u);
        EXPECT_EQ(node->volumeNumber, 1u);
        EXPECT_EQ(placedCandidates, 1u);
    }
}

TEST_F(ExtensiveNtfsAnalysis, ABootSectorWithoutConfirmingFoldersGivesNoVolume)
{
    struct Case
    {
        const char* name;
        std::uint32_t folderSector;
        bool indexOnDisk;
    };
    const Case cases[] = {
        {"folder beyond the volume's end", 2048 + 60001, true},
        {"folder before the boot sector", 2000, true},
        {"no index record where the cluster points", 3000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        UiRecorder caseUi;
        caseUi.Attach();
        TempVolume fresh("analysis-empty");
        ASSERT_TRUE(fresh.Attach());
        fresh.Write(2048 * 512ull, NtfsBootSector(8, 4, 100, 60000, 1));
        ++bootSectorCount;
        AppendU32Node(&bootSectorList, 2048);
        if (c.indexOnDisk)
            fresh.Write((2048 + 8 * 900) * 512ull, MakeIndexRecord(4096, 40));
        AddNtfsIndexNode(2048 + 8 * 900, 40, 0, 0xFFFF, 8);
        NtfsFolderNode* node = Folder(c.folderSector, 40, 900);
        AddNtfsBootVolumes();
        EXPECT_EQ(foundVolumes.head, nullptr);
        EXPECT_EQ(node->volumeNumber, 0u);
        EXPECT_EQ(Labels(caseUi), (std::vector<std::string>{"File System"}));
        EXPECT_EQ(bootVolumesDone.load(), 1u);
    }
}

TEST_F(ExtensiveNtfsAnalysis, ABootSectorListedTwiceGivesOneVolume)
{
    BootSector(2048, NtfsBootSector(8, 4, 100, 60000, 1));
    ++bootSectorCount;
    AppendU32Node(&bootSectorList, 2048);
    Index(2048 + 8 * 900, 40);
    Index(2048 + 8 * 950, 41);
    Folder(3000, 40, 900);
    NtfsFolderNode* late = Folder(3002, 41, 950);
    AddNtfsBootVolumes();
    EXPECT_EQ(Labels(ui), (std::vector<std::string>{"File System", "NTFS @2048"}));
    EXPECT_EQ(volumeCounter, 1u);
    EXPECT_EQ(late->volumeNumber, 1u);
}

// ---- Inferred volumes ----------------------------------------------------------------------------------

TEST_F(ExtensiveNtfsAnalysis, TwoFoldersWhoseIndexRecordsAgreeOnAClusterSizeGiveAVolume)
{
    struct Case
    {
        const char* name;
        std::uint32_t firstCluster;
        std::uint32_t secondCluster;
        std::uint32_t secondSector; // the first folder's index record lies at 10000
        const char* expected;       // "": no volume
    };
    const Case cases[] = {
        {"800 sectors over 100 clusters", 1000, 1100, 10800, "NTFS @2000"},
        {"800 sectors over 300 clusters: not exact", 1000, 1300, 10800, ""},
        {"the clusters fall while the sectors rise", 1000, 900, 10800, ""},
        {"3 sectors per cluster", 1000, 1100, 10300, ""},
        {"a base before sector 0 (10000 - 8 x 1300)", 1300, 1400, 10800, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        UiRecorder caseUi;
        caseUi.Attach();
        TempVolume fresh("analysis-pairs");
        ASSERT_TRUE(fresh.Attach());
        VolumeParams.rangeEnd = 199999;
        fresh.Write(10000 * 512ull, MakeIndexRecord(4096, 40));
        fresh.Write(std::uint64_t{c.secondSector} * 512, MakeIndexRecord(4096, 41));
        AddNtfsIndexNode(10000, 40, 0, 0xFFFF, 8);
        AddNtfsIndexNode(c.secondSector, 41, 0, 0xFFFF, 8);
        NtfsFolderNode* first = Folder(5000, 40, c.firstCluster);
        NtfsFolderNode* second = Folder(5002, 41, c.secondCluster);
        UiPartitionTree().InsertItemWithIcon(kFileSystemRootText, kTreeTop);
        InferNtfsVolumes();
        EXPECT_EQ(inferenceDone.load(), 1u);
        if (*c.expected == 0) {
            EXPECT_EQ(foundVolumes.head, nullptr);
            EXPECT_EQ(first->volumeNumber, 0u);
            EXPECT_EQ(second->volumeNumber, 0u);
            continue;
        }
        EXPECT_EQ(Labels(caseUi), (std::vector<std::string>{"File System", c.expected}));
        ASSERT_NE(foundVolumes.head, nullptr);
        const FoundVolumeRec& volume = *foundVolumes.head;
        EXPECT_EQ(volume.sectorsPerCluster, 8u);
        EXPECT_EQ(volume.clusterBase, 2000u);
        EXPECT_EQ(volume.mftStart, 0u);
        EXPECT_EQ(volume.indexSectors, 8u);
        EXPECT_EQ(volume.endSector, 199999u);
        EXPECT_EQ(first->volumeNumber, 1u);
        EXPECT_EQ(second->volumeNumber, 1u);
    }
}

TEST_F(ExtensiveNtfsAnalysis, APairThatPlacesNoFolderLetsTheWalkGoOnToTheNextPartner)
{
    // A's and B1's index records were found but are gone from the disk: their pair (8 sectors per
    // cluster, base 2000) places nothing. A's pair with B2 (4 sectors per cluster, base 6000) places B2.
    AddNtfsIndexNode(10000, 40, 0, 0xFFFF, 8);
    AddNtfsIndexNode(10800, 41, 0, 0xFFFF, 8);
    Index(12000, 42);
    NtfsFolderNode* a = Folder(15000, 40, 1000);
    NtfsFolderNode* b1 = Folder(15002, 41, 1100);
    NtfsFolderNode* b2 = Folder(15004, 42, 1500);
    UiPartitionTree().InsertItemWithIcon(kFileSystemRootText, kTreeTop);
    InferNtfsVolumes();
    EXPECT_EQ(Labels(ui), (std::vector<std::string>{"File System", "NTFS @6000"}));
    EXPECT_EQ(a->volumeNumber, 0u);
    EXPECT_EQ(b1->volumeNumber, 0u);
    EXPECT_EQ(b2->volumeNumber, 1u);
}

TEST_F(ExtensiveNtfsAnalysis, AFolderWithoutAFirstIndexRecordIsGivenUp)
{
    NtfsFolderNode* noCluster = Folder(5000, 40, 0);
    NtfsFolderNode* noRecord = Folder(5002, 41, 700);
    AddNtfsIndexNode(0, 42, 0, 0xFFFF, 8);
    NtfsFolderNode* recordAtZero = Folder(5004, 42, 700);
    InferNtfsVolumes();
    EXPECT_EQ(noCluster->volumeNumber, kNtfsGivenUpVolume);
    EXPECT_EQ(noRecord->volumeNumber, kNtfsGivenUpVolume);
    EXPECT_EQ(recordAtZero->volumeNumber, kNtfsGivenUpVolume);
    EXPECT_EQ(inferenceDone.load(), 1u);
}

TEST_F(ExtensiveNtfsAnalysis, AStopEndsTheInferenceAndStillSetsItsFlag)
{
    Index(10000, 40);
    Index(10800, 41);
    NtfsFolderNode* first = Folder(5000, 40, 1000);
    Folder(5002, 41, 1100);
    ScanThreadControl.done = 1;
    InferNtfsVolumes();
    EXPECT_EQ(first->volumeNumber, 0u);
    EXPECT_EQ(foundVolumes.head, nullptr);
    EXPECT_EQ(inferenceDone.load(), 1u);
}

// The inference as a plain walk over every pair, as it reads without an index: the answer that the
// indexed walk must give.
struct ReferenceVolume
{
    std::uint32_t sectorsPerCluster;
    std::int64_t base;
};

std::vector<ReferenceVolume> ReferenceInference(std::uint32_t end, std::size_t& emptyPairs)
{
    std::vector<ReferenceVolume> volumes;
    auto firstRecord = [](const NtfsFolderNode& node) -> std::uint32_t {
        for (const NtfsIndexNode* index = ntfsIndexNodes.head; index; index = index->next)
            if (index->vcn == 0 && index->marker == 0xFFFF && index->folderNumber == node.folderNumber)
                return index->sector;
        return 0;
    };
    auto assign = [&](std::uint32_t k, std::int64_t base) {
        bool any = false;
        const auto number = static_cast<std::uint16_t>(volumes.size() + 1);
        for (NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next) {
            if (node->recordSector > end)
                break;
            if (node->recordSector <= base || node->volumeNumber != 0 || node->firstIndexCluster == 0)
                continue;
            std::uint8_t bytes[512];
            const std::int64_t sector = base + std::int64_t{k} * node->firstIndexCluster;
            if (sector > 0xFFFFFFFF)
                continue;
            ReadSectors(0, static_cast<std::uint32_t>(sector), 0, 1, bytes);
            if (std::equal(bytes, bytes + 4, "INDX")) {
                node->volumeNumber = number;
                any = true;
            }
        }
        return any;
    };
    for (NtfsFolderNode* a = ntfsFolderNodes.head; a; a = a->next) {
        if (a->volumeNumber != 0)
            continue;
        const std::int64_t sA = firstRecord(*a);
        const std::int64_t cA = a->firstIndexCluster;
        if (cA == 0 || sA == 0) {
            a->volumeNumber = 0xFFFF;
            continue;
        }
        for (NtfsFolderNode* b = a->next; b; b = b->next) {
            const std::int64_t cB = b->firstIndexCluster;
            if (b->volumeNumber != 0 || cB == 0)
                continue;
            const std::int64_t sB = firstRecord(*b);
            if (sB == 0 || sB == sA || cB == cA)
                continue;
            const std::int64_t ds = cB < cA ? sA - sB : sB - sA;
            const std::int64_t dc = cB < cA ? cA - cB : cB - cA;
            if (ds % dc != 0)
                continue;
            const std::int64_t k = ds / dc;
            const std::int64_t base = sA - k * cA;
            if ((k != 1 && k != 2 && k != 4 && k != 8 && k != 16 && k != 32 && k != 64 && k != 128) ||
                base < 0)
                continue;
            if (assign(static_cast<std::uint32_t>(k), base))
                volumes.push_back({static_cast<std::uint32_t>(k), base});
            else
                ++emptyPairs;
        }
    }
    return volumes;
}

TEST_F(ExtensiveNtfsAnalysis, TheIndexedInferenceGivesWhatThePairwiseWalkGives)
{
    std::mt19937 random(20261209);
    std::size_t found = 0;
    std::size_t emptyPairs = 0; // accepted pairs that gave no volume: the walk goes on after them
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ResetEngineState();
        UiRecorder caseUi;
        caseUi.Attach();
        TempVolume fresh("analysis-random");
        ASSERT_TRUE(fresh.Attach());
        VolumeParams.rangeEnd = 40000 + random() % 40000;
        // Up to eight volumes, folders of them in sector order (some before their volume's base, some
        // past the range's end), with their index records where their volume puts them; some whose index
        // record is missing on the disk or was never found, some with a cluster of 0, some sharing a
        // folder number, and stray index records.
        struct Volume
        {
            std::uint32_t k;
            std::uint32_t base;
        };
        std::vector<Volume> volumes;
        const int volumeCount = 1 + static_cast<int>(random() % 8);
        for (int v = 0; v < volumeCount; ++v)
            volumes.push_back({1u << (random() % 8), static_cast<std::uint32_t>(random() % 20000)});
        const int folders = 10 + static_cast<int>(random() % 40);
        std::uint32_t sector = 10000 + random() % 20000;
        std::set<std::uint32_t> written;
        for (int f = 0; f < folders; ++f) {
            sector += 2 + 2 * (random() % 200);
            const Volume& volume = volumes[random() % volumes.size()];
            const std::uint32_t cluster = random() % 10 == 0 ? 0 : 1 + random() % 800;
            const std::uint32_t number =
                16 + (random() % 8 == 0 ? random() % 16 : static_cast<std::uint32_t>(f) + 16);
            const std::uint32_t indexSector = volume.base + volume.k * cluster;
            const std::uint32_t kind = random() % 10;
            if (cluster != 0 && kind < 8 && written.insert(indexSector).second) {
                if (kind < 5)
                    fresh.Write(std::uint64_t{indexSector} * 512, MakeIndexRecord(1024, number));
                AddNtfsIndexNode(indexSector, number, 0, 0xFFFF, 2);
            }
            Folder(sector, number, cluster);
        }
        for (int stray = 0; stray < 5; ++stray) {
            const std::uint32_t at = random() % 120000;
            fresh.Write(std::uint64_t{at} * 512, MakeIndexRecord(1024, 16 + random() % 80));
        }

        std::vector<std::uint16_t> before;
        for (const NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next)
            before.push_back(node->volumeNumber);
        InferNtfsVolumes();
        std::vector<std::uint16_t> indexed;
        for (const NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next)
            indexed.push_back(node->volumeNumber);
        std::vector<std::string> indexedVolumes;
        for (const FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next)
            indexedVolumes.push_back(std::to_string(volume->sectorsPerCluster) + "@" +
                                     std::to_string(volume->clusterBase));

        std::size_t position = 0;
        for (NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next)
            node->volumeNumber = before[position++];
        std::vector<std::string> referenceVolumes;
        for (const ReferenceVolume& volume : ReferenceInference(VolumeParams.rangeEnd, emptyPairs))
            referenceVolumes.push_back(std::to_string(volume.sectorsPerCluster) + "@" +
                                       std::to_string(volume.base));
        std::vector<std::uint16_t> reference;
        for (const NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next)
            reference.push_back(node->volumeNumber);
        EXPECT_EQ(indexedVolumes, referenceVolumes);
        EXPECT_EQ(indexed, reference);
        found += referenceVolumes.size();
    }
    EXPECT_GT(found, 40u);
    EXPECT_GT(emptyPairs, 10u);
    std::printf("[ pairs    ] %zu volumes, %zu accepted pairs without a volume\n", found, emptyPairs);
}

// ---- The whole completion step ------------------------------------------------------------------------

TEST_F(ExtensiveNtfsAnalysis, EmptyListsStillEndTheStepWithTheRootItemAlone)
{
    FinishExtensiveNtfs();
    EXPECT_EQ(Labels(ui), (std::vector<std::string>{"File System"}));
    EXPECT_EQ(bootVolumesDone.load(), 1u);
    EXPECT_EQ(inferenceDone.load(), 1u);
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

TEST_F(ExtensiveNtfsAnalysis, GivenUpFoldersTakeTheVolumeOfTheFolderBeforeThem)
{
    BootSector(2048, NtfsBootSector(8, 4, 100, 60000, 1));
    Index(2048 + 8 * 900, 40);
    NtfsFolderNode* first = Folder(3000, 41, 0); // given up, first of the list: volume 1
    NtfsFolderNode* placed = Folder(3002, 40, 900);
    NtfsFolderNode* small = Folder(3004, 42, 0);
    Index(50000, 43); // where no volume puts cluster 950: no partner, stays 0
    NtfsFolderNode* lone = Folder(3006, 43, 950);
    NtfsFolderNode* afterLone = Folder(3008, 44, 0);
    ScanThreadControl.done = 0;
    ScanThreadControl.running = 1;
    FinishExtensiveNtfs();
    EXPECT_EQ(first->volumeNumber, 1u);
    EXPECT_EQ(placed->volumeNumber, 1u);
    EXPECT_EQ(small->volumeNumber, 1u);
    EXPECT_EQ(lone->volumeNumber, 0u);
    EXPECT_EQ(afterLone->volumeNumber, 0u);
    // The Stop button stands while the inference runs.
    const std::vector<std::string> calls = ui.Calls();
    std::vector<std::string> stopCalls;
    for (const std::string& call : calls)
        if (call.find("Button(") != std::string::npos)
            stopCalls.push_back(call);
    ASSERT_EQ(stopCalls.size(), 4u);
    EXPECT_NE(stopCalls[0].find("true"), std::string::npos);
    EXPECT_NE(stopCalls[3].find("false"), std::string::npos);
    EXPECT_EQ(ui.ArgumentsOf("scanPanel.SetStatusText").back(), "\"Searching for unassigned entries...\"");
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

TEST_F(ExtensiveNtfsAnalysis, TheSectorScanOfACraftedVolumeFindsItsRecordsOnce)
{
    CraftedNtfsVolume volume(3000, 8);
    const std::uint32_t docs = volume.AddFolder(u"Docs", kCraftedRoot);
    volume.AddFile(u"a.txt", docs);
    volume.AddFile(u"b.txt", kCraftedRoot);
    volume.Build();
    TempVolume fresh("analysis-crafted");
    volume.WriteTo(fresh);
    ASSERT_TRUE(fresh.Attach());
    VolumeParams.rangeStart = 0;
    VolumeParams.rangeEnd = volume.Base() + volume.TotalSectors() + 100;
    VolumeParams.rangeCount = VolumeParams.rangeEnd + 1;
    PrepareExtensiveScan();
    ExtensiveScanThread();
    // The boot sector and its backup; ".", "Docs"; "$MFT" (its mirror copy dropped), the two files.
    EXPECT_EQ(bootSectorCount, 2u);
    EXPECT_EQ(foundFolderCount, 2u);
    EXPECT_EQ(ntfsFileNodeCount, 3u);
    EXPECT_EQ(ntfsIndexNodeCount, 2u);
    EXPECT_EQ(Labels(ui), (std::vector<std::string>{"File System", "NTFS @3000"}));
    for (const NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next)
        EXPECT_EQ(node->volumeNumber, 1u) << Utf8(node->name);
    EXPECT_EQ(ntfsFolderNodes.tail->folderNumber, docs);
}

} // namespace
