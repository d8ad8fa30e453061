// The VHD reader: disk types, block offsets, geometry, the footer that is never data, and a damaged
// trailing footer. Whole-disk and random reads against the raw bytes are in image_reads_test.
#include <gtest/gtest.h>

#include "engine/image/vhd_image.h"
#include "image_test_support.h"

using namespace image_test;

namespace {

constexpr uint64_t kFooterTypeOffset = 60;
constexpr uint64_t kFooterGeometryOffset = 56;

} // namespace

TEST(VhdImage, DiskTypeFromTheFooter)
{
    struct Case
    {
        uint32_t stored;
        uint32_t reported;
    };
    const Case cases[] = {{0, 1}, {1, 5}, {2, 2}, {3, 3}, {4, 4}, {7, 5}, {101, 101}, {0xFFFFFFFF, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        CVhdReader reader;
        const auto bytes = BigEndian(c.stored, 4);
        std::copy(bytes.begin(), bytes.end(), reader.footer.begin() + kFooterTypeOffset);
        EXPECT_EQ(reader.GetDiskType(), c.reported);
    }
}

TEST(VhdImage, BlockOffsetsSkipTheSectorBitmap)
{
    struct Case
    {
        const char* name;
        uint32_t blockSize;
        uint32_t entry;
        uint64_t offset;
    };
    const Case cases[] = {
        {"unallocated", 2097152, 0xFFFFFFFF, 0},
        {"2 MiB block, one bitmap sector", 2097152, 0x10, 8704},
        {"small block, still one bitmap sector", 4096, 0x10, 8704},
        {"8 MiB block, four bitmap sectors", 8388608, 0x10, (0x10 + 4) * 512},
        {"entry above 2^31 stays unsigned", 2097152, 0x80000000, (0x80000000ull + 1) * 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVhdImage image;
        image.blockSize = c.blockSize;
        image.reader.bat = {c.entry};
        image.BuildBlockOffsets();
        ASSERT_EQ(image.blockOffsets.size(), 1u);
        EXPECT_EQ(image.blockOffsets[0], c.offset);
    }
}

TEST(VhdImage, FixedDiskNeverReturnsItsFooterAsData)
{
    CVhdImage image;
    ASSERT_EQ(image.Open(FixturePath16("main.fixed.vhd")), 1) << image.GetOpenErrorText();
    EXPECT_EQ(image.diskType, 2u);
    EXPECT_TRUE(image.blockOffsets.empty());
    const uint64_t size = image.GetDiskSize();
    EXPECT_EQ(size, QemuVirtualSize("main.vhd"))
        << "same footer size as the dynamic disk of the same raw file";
    EXPECT_EQ(FileSize(FixturePath("main.fixed.vhd")), size + 512);
    std::vector<uint8_t> tail(4096, 0xAA);
    ASSERT_EQ(image.SeekVirtual(size - 1024), 1);
    ASSERT_EQ(image.Read(tail.data(), 4096), 1);
    const auto stored = ReadFileRange(FixturePath("main.fixed.vhd"), size - 1024, 1024);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), tail.begin()));
    EXPECT_TRUE(std::all_of(tail.begin() + 1024, tail.end(), [](uint8_t b) { return b == 0; }));
}

TEST(VhdImage, GeometryComesFromTheFooter)
{
    const std::string path = ScratchCopy("small.fixed.vhd", "geometry.vhd");
    const uint64_t footer = FileSize(path) - 512;
    PatchFile(path, footer + kFooterGeometryOffset, {0x03, 0xE8, 16, 63});
    CVhdImage image;
    ASSERT_EQ(image.Open(ToUtf16(path)), 1);
    EXPECT_EQ(image.cylinders, 1000u);
    EXPECT_EQ(image.heads, 16u);
    EXPECT_EQ(image.sectorsPerTrack, 63u);
}

TEST(VhdImage, DynamicDiskWithADamagedTrailingFooterUsesItsCopy)
{
    const std::string path = ScratchCopy("small.vhd", "damaged-footer.vhd");
    PatchFile(path, FileSize(path) - 512, std::vector<uint8_t>(512, 0));
    CVhdImage image;
    ASSERT_EQ(image.Open(ToUtf16(path)), 1) << image.GetOpenErrorText();
    EXPECT_EQ(image.diskType, 3u);
    std::vector<uint8_t> bytes(3 * 1048576);
    ASSERT_EQ(image.Read(bytes.data(), static_cast<uint32_t>(bytes.size())), 1);
    EXPECT_EQ(bytes, ReadFileBytes(FixturePath("small.raw")));
}

TEST(VhdImage, UnallocatedBlocksReadAsZeros)
{
    // main.raw's first 2 MiB are zeros: qemu-img leaves the first block unallocated.
    CVhdImage image;
    ASSERT_EQ(image.Open(FixturePath16("main.vhd")), 1);
    ASSERT_FALSE(image.blockOffsets.empty());
    EXPECT_EQ(image.blockOffsets[0], 0u);
    EXPECT_EQ(image.blockSize, 2097152u);
    std::vector<uint8_t> bytes(8192, 0xAA);
    ASSERT_EQ(image.SeekVirtual(2097152 - 4096), 1);
    ASSERT_EQ(image.Read(bytes.data(), 8192), 1);
    EXPECT_EQ(bytes, ReadFileRange(FixturePath("main.raw"), 2097152 - 4096, 8192));
    EXPECT_EQ(image.blockIndex, 1);
}
