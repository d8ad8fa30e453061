// Cluster chains through a FAT written byte by byte into a small volume: end and bad-cluster marks,
// the 28 bits of FAT32, chains that leave the FAT or loop, the FAT copy, and the save flags.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_chain.h"
#include "fat_dir_builder.h"
#include "fat_test_volume.h"

namespace {

constexpr std::uint32_t kFat1 = 2;
constexpr std::uint32_t kFatSize = 2; // FAT32: 256 entries; FAT16: 512

// A volume of 8 sectors: boot, reserved, FAT copy 1 (sectors 2-3), FAT copy 2 (4-5), two more.
struct FatBytes
{
    std::uint16_t fsCode;
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(8 * 512, 0);

    void Set(std::uint32_t copy, std::uint32_t cluster, std::uint32_t value)
    {
        const std::size_t start = (kFat1 + (copy - 1) * kFatSize) * 512;
        if (fsCode == kFsFat32)
            fat_test::PutU32(bytes.data() + start + cluster * 4, value);
        else
            fat_test::PutU16(bytes.data() + start + cluster * 2, value);
    }
    void Link(std::initializer_list<std::uint32_t> chain, std::uint32_t last)
    {
        const std::vector<std::uint32_t> clusters(chain);
        for (std::size_t index = 0; index + 1 < clusters.size(); ++index)
            Set(1, clusters[index], clusters[index + 1]);
        Set(1, clusters.back(), last);
    }
};

std::vector<std::uint32_t> Chain()
{
    std::vector<std::uint32_t> clusters;
    for (ClusterNode* node = clusterChain.head; node; node = node->next)
        clusters.push_back(node->cluster);
    return clusters;
}

class FatChain : public testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    void UseVolume(const FatBytes& fat)
    {
        volume.reset();
        volume = std::make_unique<fat_test::TestVolume>(fat.bytes);
        VolumeParams.fsCode = fat.fsCode;
        VolumeParams.fatSize = kFatSize;
        VolumeParams.fat1Start = kFat1;
        VolumeParams.fat2Start = kFat1 + kFatSize;
    }

    std::unique_ptr<fat_test::TestVolume> volume;
};

TEST_F(FatChain, WalksFollowTheFatWithinItsBounds)
{
    struct Case
    {
        const char* name;
        std::uint16_t fsCode;
        std::function<void(FatBytes&)> build;
        std::uint32_t first;
        std::uint32_t maxClusters;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"FAT32 end mark ends",
         kFsFat32,
         [](FatBytes& f) {
             f.Link({5, 9, 6}, 0x0FFFFFFF);
         },
         5,
         100,
         {5, 9, 6}},
        {"FAT32 end mark with the reserved high bits set ends",
         kFsFat32,
         [](FatBytes& f) {
             f.Link({5, 6}, 0xFFFFFFF8);
         },
         5,
         100,
         {5, 6}},
        {"FAT32 high four bits of a link are ignored",
         kFsFat32,
         [](FatBytes& f) {
             f.Set(1, 5, 0xF0000006);
             f.Set(1, 6, 0x0FFFFFF8);
         },
         5,
         100,
         {5, 6}},
        {"FAT32 bad-cluster mark is past every FAT: it ends",
         kFsFat32,
         [](FatBytes& f) { f.Link({5}, 0x0FFFFFF7); },
         5,
         100,
         {5}},
        {"FAT32 free entry ends",
         kFsFat32,
         [](FatBytes& f) {
             f.Link({5, 6}, 0);
         },
         5,
         100,
         {5, 6}},
        {"FAT32 link to cluster 1 ends", kFsFat32, [](FatBytes& f) { f.Link({5}, 1); }, 5, 100, {5}},
        {"FAT32 the last cluster the FAT describes is followed",
         kFsFat32,
         [](FatBytes& f) {
             f.Link({5, 255}, 0x0FFFFFFF);
         },
         5,
         100,
         {5, 255}},
        {"FAT32 a link past the FAT ends",
         kFsFat32,
         [](FatBytes& f) {
             f.Link({5, 6}, 256);
         },
         5,
         100,
         {5, 6}},
        {"FAT32 first cluster past the FAT: no chain", kFsFat32, [](FatBytes&) {}, 256, 100, {}},
        {"FAT32 first cluster 1: no chain", kFsFat32, [](FatBytes&) {}, 1, 100, {}},
        {"FAT32 first cluster with reserved high bits",
         kFsFat32,
         [](FatBytes& f) { f.Link({5}, 0x0FFFFFFF); },
         0x10000005,
         100,
         {5}},
        {"FAT32 a loop is cut after maxClusters + 1 clusters",
         kFsFat32,
         [](FatBytes& f) {
             f.Link({5, 6}, 5);
         },
         5,
         4,
         {5, 6, 5, 6, 5}},
        {"FAT16 end mark ends",
         kFsFat16,
         [](FatBytes& f) {
             f.Link({5, 300, 6}, 0xFFFF);
         },
         5,
         100,
         {5, 300, 6}},
        {"FAT16 bad-cluster mark ends", kFsFat16, [](FatBytes& f) { f.Link({5}, 0xFFF7); }, 5, 100, {5}},
        {"FAT16 a link past the FAT ends", kFsFat16, [](FatBytes& f) { f.Link({5}, 512); }, 5, 100, {5}},
        {"FAT16 a loop is cut after maxClusters + 1 clusters",
         kFsFat16,
         [](FatBytes& f) { f.Link({7}, 7); },
         7,
         3,
         {7, 7, 7, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FatBytes fat{c.fsCode};
        c.build(fat);
        UseVolume(fat);
        CollectFatChain(c.first, c.maxClusters, 1);
        EXPECT_EQ(Chain(), c.expected);
    }
}

TEST_F(FatChain, NoWalkIsUnbounded)
{
    FatBytes fat{kFsFat32};
    fat.Link({5, 6}, 5);
    UseVolume(fat);
    CollectFatChain(5, 0, 1);
    EXPECT_EQ(Chain().size(), 257u) << "without a bound the FAT's 256 clusters bound the walk";
    CollectScanFatChain(5, 0xFFFFFFFF, 1);
    EXPECT_EQ(Chain().size(), 257u);
}

TEST_F(FatChain, SecondCopyAndMissingFat)
{
    FatBytes fat{kFsFat16};
    fat.Link({5, 6}, 0xFFFF);
    fat.Set(2, 5, 8);
    fat.Set(2, 8, 0xFFFF);
    UseVolume(fat);
    CollectFatChain(5, 100, 2);
    EXPECT_EQ(Chain(), (std::vector<std::uint32_t>{5, 8}));

    VolumeParams.fat2Start = 0;
    CollectFatChain(5, 100, 2);
    EXPECT_EQ(Chain(), (std::vector<std::uint32_t>{5})) << "a copy that was not found is not read";

    VolumeParams.fatSize = 0;
    CollectFatChain(5, 100, 1);
    EXPECT_EQ(Chain(), (std::vector<std::uint32_t>{5})) << "a FAT of unknown size is not read";
}

TEST_F(FatChain, SaveFlagsStopOnlyTheSaveWalk)
{
    FatBytes fat{kFsFat32};
    fat.Link({5, 6, 7}, 0x0FFFFFFF);
    UseVolume(fat);
    for (int flag = 0; flag < 2; ++flag) {
        SCOPED_TRACE(flag == 0 ? "stop" : "skip");
        SaveControl.stop = flag == 0;
        SaveControl.skip = flag == 1;
        CollectFatChain(5, 100, 1);
        EXPECT_EQ(Chain(), (std::vector<std::uint32_t>{5}));
        CollectScanFatChain(5, 100, 1);
        EXPECT_EQ(Chain(), (std::vector<std::uint32_t>{5, 6, 7}));
        CollectFatChainShort(5);
        EXPECT_EQ(Chain(), (std::vector<std::uint32_t>{5, 6, 7}));
    }
}

TEST_F(FatChain, ShortWalkHoldsAtMost100Clusters)
{
    FatBytes fat{kFsFat16};
    for (std::uint32_t cluster = 2; cluster < 400; ++cluster)
        fat.Set(1, cluster, cluster + 1);
    UseVolume(fat);
    CollectFatChainShort(2);
    const std::vector<std::uint32_t> chain = Chain();
    ASSERT_EQ(chain.size(), 100u);
    EXPECT_EQ(chain.front(), 2u);
    EXPECT_EQ(chain.back(), 101u);
}

} // namespace
