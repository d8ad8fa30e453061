// The VHDX reader: BAT counts, disk type names, the BAT walk over sector-bitmap entries, reads across
// blocks, and the header checks. Whole-disk and random reads are in image_reads_test.
#include <gtest/gtest.h>

#include "engine/image/vhdx_image.h"
#include "engine/image/vhdx_metadata_item.h"
#include "image_test_support.h"

using namespace image_test;

TEST(VhdxImage, BatEntryCountsFollowTheChunkRatio)
{
    struct Case
    {
        const char* name;
        uint32_t flags;
        uint32_t logicalSectorSize;
        uint32_t blockSize;
        uint64_t diskSize;
        uint32_t batEntries;
        uint32_t dataBlocks;
        double chunkRatio;
        uint32_t bitmapBlocks;
    };
    const uint64_t GiB = 1ull << 30;
    const uint32_t MiB = 1u << 20;
    const Case cases[] = {
        {"dynamic 10 GiB, 32 MiB blocks", 0, 512, 32 * MiB, 10 * GiB, 322, 320, 128, 3},
        {"differencing 10 GiB, 32 MiB blocks", 2, 512, 32 * MiB, 10 * GiB, 387, 320, 128, 3},
        {"fixed, exactly one chunk", 1, 512, 1 * MiB, 4 * GiB, 4096, 4096, 4096, 1},
        {"one block more than a chunk", 0, 512, 1 * MiB, 4 * GiB + 1, 4098, 4097, 4096, 2},
        {"4 KiB sectors", 0, 4096, 256 * MiB, 64ull * 1024 * GiB, 262144 + 2047, 262144, 128, 2048},
        {"partial last block", 0, 512, 8 * MiB, 8 * MiB + 512, 2, 2, 512, 1},
        {"zero block size", 0, 512, 0, GiB, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDiskImageFile unused;
        CVhdxMetadataItem item(unused);
        item.SetFileParameters(c.blockSize, c.flags);
        EXPECT_EQ(item.ComputeBatEntryCount(c.logicalSectorSize, c.blockSize, c.diskSize), c.batEntries);
        EXPECT_EQ(item.GetDataBlockCount(), c.dataBlocks);
        EXPECT_EQ(item.GetChunkRatio(), c.chunkRatio);
        EXPECT_EQ(item.GetSectorBitmapBlockCount(), c.bitmapBlocks);
    }
}

TEST(VhdxImage, DiskTypeNamesFromTheFileParameterFlags)
{
    const std::u16string names[] = {u"Dynamic Disk", u"Fixed Disk", u"Differencing Disk", u"Invalid Disk"};
    for (uint32_t flags = 0; flags < 4; ++flags) {
        SCOPED_TRACE(flags);
        CDiskImageFile unused;
        CVhdxMetadataItem item(unused);
        item.SetFileParameters(1 << 20, flags);
        EXPECT_EQ(item.GetDiskTypeName(), names[flags]);
        EXPECT_EQ(item.HasParent(), (flags & 2) != 0);
    }
}

TEST(VhdxImage, OpensQemuImagesOfEachKind)
{
    struct Case
    {
        const char* file;
        const char16_t* type;
        uint32_t blockSize;
        uint32_t dataBlocks;
        uint32_t batEntries;
    };
    const Case cases[] = {
        {"main.1m.vhdx", u"Dynamic Disk", 1 << 20, 40, 40},
        {"main.vhdx", u"Dynamic Disk", 8 << 20, 5, 5},
        {"main.fixed.vhdx", u"Fixed Disk", 8 << 20, 5, 5},
        // qemu-img picks 16 MiB blocks for 5 GiB: 256 per chunk, so the 257th entry is the first
        // chunk's sector bitmap.
        {"big.vhdx", u"Dynamic Disk", 16 << 20, 320, 321},
        {"big.1m.vhdx", u"Dynamic Disk", 1 << 20, 5120, 5121},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CVhdxImage image;
        ASSERT_EQ(image.Open(FixturePath16(c.file)), 1) << image.GetOpenErrorText();
        EXPECT_EQ(image.GetDiskTypeName(), c.type);
        EXPECT_EQ(image.GetDiskSize(), QemuVirtualSize(c.file));
        EXPECT_EQ(image.GetBlockSize(), c.blockSize);
        EXPECT_EQ(image.GetDataBlockCount(), c.dataBlocks);
        EXPECT_EQ(image.GetBatEntryCount(), c.batEntries);
        EXPECT_EQ(image.GetBat().size(), c.dataBlocks) << "sector-bitmap entries are not listed";
    }
}

TEST(VhdxImage, ReadAcrossABlockEnd)
{
    // 100 bytes before the end of the block at 3 MiB and 900 bytes of the next one.
    CVhdxImage image;
    ASSERT_EQ(image.Open(FixturePath16("main.1m.vhdx")), 1);
    std::vector<uint8_t> bytes(1000);
    ASSERT_EQ(image.SeekVirtual(3 * 1048576 - 100), 1);
    ASSERT_EQ(image.Read(bytes.data(), 1000), 1);
    EXPECT_EQ(bytes, ReadFileRange(FixturePath("main.raw"), 3 * 1048576 - 100, 1000));
}

TEST(VhdxImage, OneDamagedHeaderOrRegionTableIsNotFatal)
{
    struct Case
    {
        const char* name;
        uint64_t offset;
    };
    const Case cases[] = {
        {"header 1", 65536 + 100},
        {"header 2", 131072 + 100},
        {"region table 1", 196608 + 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = ScratchCopy("small.1m.vhdx", "damaged-one.vhdx");
        PatchFile(path, c.offset, {0x5A, 0xA5});
        CVhdxImage image;
        ASSERT_EQ(image.Open(ToUtf16(path)), 1) << image.GetOpenErrorText();
        std::vector<uint8_t> bytes(3 * 1048576);
        ASSERT_EQ(image.Read(bytes.data(), static_cast<uint32_t>(bytes.size())), 1);
        EXPECT_EQ(bytes, ReadFileBytes(FixturePath("small.raw")));
    }
}

TEST(VhdxImage, GuidNames)
{
    const uint8_t bat[16] = {0x66, 0x77, 0xC2, 0x2D, 0x23, 0xF6, 0x00, 0x42,
                             0x9D, 0x64, 0x11, 0x5E, 0x9B, 0xFD, 0x4A, 0x08};
    const uint8_t page83[16] = {0xAB, 0x12, 0xCA, 0xBE, 0xE6, 0xB2, 0x23, 0x45,
                                0x93, 0xEF, 0xC3, 0x09, 0xE0, 0x00, 0xC7, 0x46};
    const uint8_t other[16] = {};
    EXPECT_EQ(CVhdxImage::GuidToItemName(bat), u"Bat Guid");
    EXPECT_EQ(CVhdxImage::GuidToItemName(page83), u"Page83");
    EXPECT_EQ(CVhdxImage::GuidToItemName(other), u"Invalid Item Id");
}
