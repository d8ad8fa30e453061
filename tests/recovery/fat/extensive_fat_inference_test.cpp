// The FAT volume inference: volumes from boot sectors that directory candidates confirm, volumes from
// pairs of candidates, and the file-system step's choice of a found volume.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/fat/fat_volume_inference.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "extensive_fat_crafted_disk.h"
#include "ui_recorder.h"

namespace {

struct Candidate
{
    std::uint32_t sector;
    std::uint32_t cluster;
    std::uint32_t parent = 0;
};

class ExtensiveFatInference : public testing::Test
{
public:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        VolumeParams.scanFsCode = kFsFat16;
    }
    void TearDown() override { ResetEngineState(); }

    static void AddCandidates(const std::vector<Candidate>& candidates)
    {
        for (const Candidate& c : candidates) {
            AddFatDirCandidate(c.sector, c.cluster, c.parent, 0, 0);
            ++foundFolderCount;
        }
    }
    static void AddBootSector(std::uint32_t sector)
    {
        AppendU32Node(&bootSectorList, sector);
        ++bootSectorCount;
    }
    static std::vector<std::uint16_t> Numbers()
    {
        std::vector<std::uint16_t> numbers;
        for (FatDirCandidate* c = fatDirCandidates.head; c; c = c->next)
            numbers.push_back(c->volumeNumber);
        return numbers;
    }
    // The labels under the file-system tree's root, in order.
    std::vector<std::string> VolumeItems() const
    {
        std::vector<std::string> labels;
        for (std::size_t i = 1; i < recorder.partitionTreeItems.size(); ++i) {
            EXPECT_EQ(recorder.partitionTreeItems[i].parent, 1u);
            labels.push_back(Utf8(recorder.partitionTreeItems[i].text));
        }
        return labels;
    }

    UiRecorder recorder;
};

TEST_F(ExtensiveFatInference, BootSectorsThatCandidatesConfirmGiveVolumes)
{
    CraftedFatDisk disk(200000);
    CraftedFatDisk::Boot fat32; // 8 sectors per cluster, 32 reserved, 1000 per FAT, 100000 sectors
    disk.PutBoot(2048, fat32);
    CraftedFatDisk::Boot fat16;
    fat16.fat32 = false;
    fat16.sectorsPerCluster = 4;
    fat16.reserved = 1;
    fat16.fatSize = 20;
    fat16.rootEntries = 500; // 31.25 sectors of entries: the root takes 32
    fat16.total16 = 5000;    // the total in the 16-bit field; the 32-bit one is 0
    fat16.total32 = 0;
    disk.PutBoot(110000, fat16);
    CraftedFatDisk::Boot oneFat = fat32;
    oneFat.fatCount = 1;
    disk.PutBoot(130000, oneFat);
    CraftedFatDisk::Boot oddCluster = fat32;
    oddCluster.sectorsPerCluster = 3;
    disk.PutBoot(150000, oddCluster);
    disk.Attach();

    // FAT16: base = 110000 + 1 + 2 x 20 + 32 - 2 x 4 = 110065; its end is 115000.
    AddCandidates({{4080, 2},
                   {4064 + 8 * 40, 40, 2},
                   {110065 + 4 * 2, 2},
                   {110065 + 4 * 9, 9, 2},
                   {114990, 11},              // between the FAT16 volume's two candidates
                   {110065 + 4 * 1300, 1300}, // its formula, but past its end: not the boot sector's
                   {130000 + 32 + 1000 - 16 + 8 * 5, 5},
                   {150000 + 100, 12}});
    AddBootSector(2048);
    AddBootSector(2054);   // no label there: passed over
    AddBootSector(150000); // 3 sectors per cluster: passed over, the next one is still read
    AddBootSector(110000);
    AddBootSector(130000);

    AnalyzeFatBootVolumes();

    EXPECT_EQ(VolumeItems(), (std::vector<std::string>{"FAT32 @4064", "FAT16 @110065", "FAT32 @131016"}));
    EXPECT_EQ(Numbers(),
              (std::vector<std::uint16_t>{1, 1, 2, 2, kGivenUpVolume, kGivenUpVolume, 3, kGivenUpVolume}));
    ASSERT_EQ(volumeCounter, 3);
    const FoundVolumeRec* first = FoundVolumeByNumber(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->fsCode, kFsFat32);
    EXPECT_EQ(first->fatSize, 1000u);
    EXPECT_EQ(first->sectorsPerCluster, 8u);
    EXPECT_EQ(first->rootDirSectors, 0u);
    EXPECT_EQ(first->rootStart, 2u);
    EXPECT_EQ(first->reservedSectors, 32u);
    EXPECT_EQ(first->clusterBase, 4064u);
    EXPECT_EQ(first->fat1Start, 2080u);
    EXPECT_EQ(first->fat2Start, 3080u);
    EXPECT_EQ(first->endSector, 102048u);
    EXPECT_EQ(first->treeItem, 2u);
    const FoundVolumeRec* second = FoundVolumeByNumber(2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->fsCode, kFsFat16);
    EXPECT_EQ(second->rootDirSectors, 32u);
    EXPECT_EQ(second->rootStart, 110041u);
    EXPECT_EQ(second->fat1Start, 110001u);
    EXPECT_EQ(second->fat2Start, 110021u);
    EXPECT_EQ(second->endSector, 115000u);
    EXPECT_EQ(placedCandidates, 8u);
    EXPECT_EQ(bootVolumesDone.load(), 1u);
    EXPECT_EQ(inferenceDone.load(), 1u);
    EXPECT_EQ(recorder.ArgumentsOf("scanPanel.SetStatusText"),
              (std::vector<std::string>{"\"Analyzing the data found...\""}));
}

TEST_F(ExtensiveFatInference, ABootSectorNoCandidateConfirmsLeavesThemToThePairs)
{
    CraftedFatDisk disk(3000);
    CraftedFatDisk::Boot boot;
    disk.PutBoot(100, boot);
    disk.Attach();
    AddBootSector(100);
    AddCandidates({{1000, 10}, {1160, 50}});
    AnalyzeFatBootVolumes();
    EXPECT_EQ(VolumeItems(), (std::vector<std::string>{"FAT16 @960"}));
    EXPECT_EQ(Numbers(), (std::vector<std::uint16_t>{1, 1}));
}

TEST_F(ExtensiveFatInference, PairsOfCandidatesGiveVolumes)
{
    struct Case
    {
        const char* name;
        std::uint16_t scanFsCode;
        std::vector<Candidate> candidates;
        std::vector<std::string> items;
        std::vector<std::uint16_t> numbers;
    };
    const std::uint16_t up = kGivenUpVolume;
    const Case cases[] = {
        {"4 sectors per cluster from base 960", kFsFat16, {{1000, 10}, {1160, 50}}, {"FAT16 @960"}, {1, 1}},
        {"the chosen FAT32 names it FAT32", kFsFat32, {{1000, 10}, {1160, 50}}, {"FAT32 @960"}, {1, 1}},
        {"a cluster past 65535 makes it FAT32",
         kFsFat16,
         {{70960, 70000}, {70970, 70010}},
         {"FAT32 @960"},
         {1, 1}},
        {"a candidate with no partner is given up",
         kFsFat16,
         {{1000, 10}, {1160, 50}, {5000, 7}},
         {"FAT16 @960"},
         {1, 1, up}},
        {"two bases, two volumes in list order",
         kFsFat16,
         {{1000, 10}, {2000, 3}, {2016, 5}, {1160, 50}, {1200, 60}},
         {"FAT16 @960", "FAT16 @1976"},
         {1, 2, 2, 1, 1}},
        {"3 sectors per cluster is no cluster size", kFsFat16, {{1000, 10}, {1030, 20}}, {}, {up, up}},
        {"the partner must come later in the list", kFsFat16, {{1160, 50}, {1000, 10}}, {}, {up, up}},
        {"the first later partner decides the size",
         kFsFat16,
         {{1000, 10}, {1010, 20}, {1040, 20}},
         {"FAT16 @990"},
         {1, 1, up}},
        {"clusters 0 and 1 and self-parents are no folders",
         kFsFat16,
         {{964, 1}, {960, 0}, {1000, 10}, {1200, 60, 60}},
         {},
         {up, up, up, up}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        recorder.partitionTreeItems.clear();
        recorder.Attach();
        VolumeParams.scanFsCode = c.scanFsCode;
        AddCandidates(c.candidates);
        AnalyzeFatBootVolumes();
        EXPECT_EQ(VolumeItems(), c.items);
        EXPECT_EQ(Numbers(), c.numbers);
        EXPECT_EQ(placedCandidates, c.candidates.size());
        EXPECT_EQ(volumeCounter, c.items.size());
        std::uint32_t position = 1;
        for (FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next, ++position) {
            EXPECT_EQ(volume->fatSize, 0u);
            EXPECT_EQ(volume->fat1Start, 0u);
            EXPECT_EQ(volume->endSector, 0u);
            EXPECT_EQ(volume->rootStart, volume->fsCode == kFsFat32 ? 2u : 0u);
            EXPECT_EQ(volume->treeItem, position + 1);
        }
    }
}

TEST_F(ExtensiveFatInference, EmptyListsEndWithBothFlagsAndTheRootAlone)
{
    AnalyzeFatBootVolumes();
    ASSERT_EQ(recorder.partitionTreeItems.size(), 1u);
    EXPECT_EQ(Utf8(recorder.partitionTreeItems[0].text), "File System");
    EXPECT_EQ(recorder.partitionTreeItems[0].parent, kTreeTop);
    EXPECT_EQ(bootVolumesDone.load(), 1u);
    EXPECT_EQ(inferenceDone.load(), 1u);
    EXPECT_TRUE(foundVolumes.Empty());
}

TEST_F(ExtensiveFatInference, InferFatVolumeNumbersEveryCandidateOfTheVolume)
{
    UiPartitionTree().InsertItemWithIcon(kFileSystemRootText, kTreeTop);
    AddCandidates({{1000, 10}, {1080, 30}, {1160, 50}, {5000, 7}});
    EXPECT_EQ(InferFatVolume(fatDirCandidates.head), 1);
    EXPECT_EQ(Numbers(), (std::vector<std::uint16_t>{1, 1, 1, 0}));
    EXPECT_EQ(InferFatVolume(fatDirCandidates.tail), 0);
    EXPECT_EQ(InferFatVolume(fatDirCandidates.head), 0) << "a numbered candidate is done";
    EXPECT_EQ(VolumeItems(), (std::vector<std::string>{"FAT16 @960"}));
}

TEST_F(ExtensiveFatInference, ChoosingAVolumeCopiesItIntoVolumeParams)
{
    CraftedFatDisk disk(5000);
    CraftedFatDisk::Boot boot;
    disk.PutBoot(2048, boot);
    disk.Attach();
    AddBootSector(2048);
    AddCandidates({{4080, 2}, {1000, 10}, {1160, 50}});
    AnalyzeFatBootVolumes();
    ASSERT_EQ(volumeCounter, 2);

    VolumeParams.scanFsCode = kFsFat32;
    VolumeParams.rangeStart = 77;
    EXPECT_FALSE(ChooseFoundVolume(0));
    EXPECT_FALSE(ChooseFoundVolume(99));
    EXPECT_EQ(VolumeParams.volumeNumber, 0);

    ASSERT_TRUE(ChooseFoundVolume(FoundVolumeByNumber(1)->treeItem));
    EXPECT_EQ(VolumeParams.volumeNumber, 1);
    EXPECT_EQ(VolumeParams.fsCode, kFsFat32);
    EXPECT_EQ(VolumeParams.fatSize, 1000u);
    EXPECT_EQ(VolumeParams.sectorsPerCluster, 8u);
    EXPECT_EQ(VolumeParams.rootStart, 2u);
    EXPECT_EQ(VolumeParams.reservedSectors, 32u);
    EXPECT_EQ(VolumeParams.clusterBase, 4064u);
    EXPECT_EQ(VolumeParams.fat1Start, 2080u);
    EXPECT_EQ(VolumeParams.fat2Start, 3080u);
    EXPECT_EQ(VolumeParams.endSector, 102048u);
    EXPECT_EQ(VolumeParams.rangeStart, 77u) << "the scan's own fields stay";
    EXPECT_EQ(VolumeParams.scanFsCode, kFsFat32);

    ASSERT_TRUE(ChooseFoundVolumeNumber(2));
    EXPECT_EQ(VolumeParams.volumeNumber, 2);
    EXPECT_EQ(VolumeParams.fsCode, kFsFat16);
    EXPECT_EQ(VolumeParams.clusterBase, 960u);
    EXPECT_EQ(VolumeParams.sectorsPerCluster, 4u);
    EXPECT_EQ(VolumeParams.fat1Start, 0u);
    EXPECT_EQ(VolumeParams.fatSize, 0u);
    EXPECT_FALSE(ChooseFoundVolumeNumber(3));
}

// The pairwise walk as written, for random lists: the indexed passes must number every candidate as it
// does and find the same volumes in the same order.
struct ReferenceVolume
{
    std::uint32_t sectorsPerCluster;
    std::uint64_t base;
    bool operator==(const ReferenceVolume&) const = default;
};

struct BootDescription
{
    std::uint32_t sector;
    std::uint32_t sectorsPerCluster;
    std::uint64_t base;
    std::uint64_t end;
};

void ReferenceWalk(std::vector<FatDirCandidate>& list, const std::vector<BootDescription>& boots,
                   std::vector<ReferenceVolume>& volumes)
{
    std::uint16_t counter = 0;
    for (FatDirCandidate& c : list)
        if (c.firstCluster < 2 || c.parentCluster == c.firstCluster)
            c.volumeNumber = kGivenUpVolume;
    for (const BootDescription& boot : boots) {
        bool matched = false;
        for (FatDirCandidate& c : list) {
            if (c.volumeNumber != 0)
                continue;
            if (c.sector > boot.end)
                break;
            if (static_cast<std::uint64_t>(c.firstCluster) * boot.sectorsPerCluster + boot.base == c.sector) {
                c.volumeNumber = static_cast<std::uint16_t>(counter + 1);
                matched = true;
            }
        }
        if (matched) {
            volumes.push_back({boot.sectorsPerCluster, boot.base});
            ++counter;
        }
    }
    for (std::size_t a = 0; a < list.size(); ++a) {
        FatDirCandidate& first = list[a];
        if (first.volumeNumber != 0)
            continue;
        bool found = false;
        for (std::size_t b = a + 1; b < list.size() && !found; ++b) {
            const FatDirCandidate& second = list[b];
            if (second.volumeNumber != 0)
                continue;
            const std::int64_t as = first.sector, ac = first.firstCluster;
            const std::int64_t bs = second.sector, bc = second.firstCluster;
            if (!(ac < bc && as < bs && bc < bs && ac < as) || (bs - as) % (bc - ac) != 0)
                continue;
            const std::int64_t k = (bs - as) / (bc - ac);
            if (k != 1 && k != 2 && k != 4 && k != 8 && k != 16 && k != 32 && k != 64 && k != 128)
                continue;
            if (!(as > k * ac && bs > k * bc && as - k * ac == bs - k * bc))
                continue;
            const std::int64_t base = as - k * ac;
            ++counter;
            for (FatDirCandidate& c : list)
                if (c.volumeNumber == 0 && static_cast<std::int64_t>(c.sector) == c.firstCluster * k + base)
                    c.volumeNumber = counter;
            volumes.push_back({static_cast<std::uint32_t>(k), static_cast<std::uint64_t>(base)});
            found = true;
        }
        if (!found)
            first.volumeNumber = kGivenUpVolume;
    }
}

TEST_F(ExtensiveFatInference, TheIndexedPassesAgreeWithThePairwiseWalk)
{
    const std::uint32_t sizes[] = {1, 2, 4, 8, 16, 32, 64, 128};
    CraftedFatDisk disk(4096);
    std::vector<BootDescription> boots;
    // Boot sectors of FAT32 volumes at fixed places; their bases are what the random volumes use.
    for (std::uint32_t index = 0; index < 4; ++index) {
        CraftedFatDisk::Boot boot;
        boot.sectorsPerCluster = sizes[index * 2 + 1];
        boot.fatSize = 100 + 37 * index;
        boot.total32 = 20000 + 5000 * index;
        const std::uint32_t sector = 1000 * index + 64;
        disk.PutBoot(sector, boot);
        const std::uint64_t base = sector + 32 + 2 * boot.fatSize - 2 * boot.sectorsPerCluster;
        boots.push_back({sector, boot.sectorsPerCluster, base, sector + boot.total32});
    }
    disk.Attach();

    std::mt19937 random(20240611);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ResetEngineState();
        recorder.partitionTreeItems.clear();
        recorder.Attach();
        SourceState.sourceKind = kSourceLogicalVolume;
        disk.Attach();

        struct Volume
        {
            std::uint32_t sectorsPerCluster;
            std::uint64_t base;
        };
        std::vector<Volume> volumes;
        for (const BootDescription& boot : boots)
            volumes.push_back({boot.sectorsPerCluster, boot.base});
        for (int extra = 0; extra < 4; ++extra)
            volumes.push_back({sizes[random() % 8], 100 + random() % 40000});
        std::vector<FatDirCandidate> list;
        const int count = 50 + static_cast<int>(random() % 250);
        for (int i = 0; i < count; ++i) {
            FatDirCandidate c{};
            const int kind = static_cast<int>(random() % 10);
            if (kind < 8) {
                const Volume& volume = volumes[random() % volumes.size()];
                c.firstCluster = 2 + random() % 400;
                c.sector =
                    static_cast<std::uint32_t>(volume.base + volume.sectorsPerCluster * c.firstCluster);
            } else {
                c.firstCluster = random() % 300;
                c.sector = c.firstCluster + 1 + random() % 60000;
            }
            c.parentCluster = random() % 20 == 0 ? c.firstCluster : random() % 400;
            list.push_back(c);
        }
        // The scan lists them by sector; some rounds keep a shuffled order that only a crafted list has.
        if (round % 3 != 0)
            std::sort(list.begin(), list.end(),
                      [](const FatDirCandidate& a, const FatDirCandidate& b) { return a.sector < b.sector; });
        std::vector<BootDescription> usedBoots;
        for (const BootDescription& boot : boots)
            if (random() % 4 != 0)
                usedBoots.push_back(boot);

        for (const FatDirCandidate& c : list) {
            AddFatDirCandidate(c.sector, c.firstCluster, c.parentCluster, 0, 0);
            ++foundFolderCount;
        }
        for (const BootDescription& boot : usedBoots)
            AddBootSector(boot.sector);
        AnalyzeFatBootVolumes();

        std::vector<ReferenceVolume> expectedVolumes;
        ReferenceWalk(list, usedBoots, expectedVolumes);
        std::vector<std::uint16_t> expectedNumbers;
        for (const FatDirCandidate& c : list)
            expectedNumbers.push_back(c.volumeNumber);
        EXPECT_EQ(Numbers(), expectedNumbers);
        std::vector<ReferenceVolume> gotVolumes;
        for (FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next)
            gotVolumes.push_back({volume->sectorsPerCluster, volume->clusterBase});
        EXPECT_EQ(gotVolumes, expectedVolumes);
        EXPECT_EQ(placedCandidates, list.size());
    }
}

} // namespace
