// The readers read grains and blocks that follow one another in the file in one system call, and move the
// file's position only when a read does not start where the last one ended. Each case checks the bytes
// against the raw disk as well as the calls: a run must stop at an unallocated grain, at a block's sector
// bitmap, at a block that is not fully present and at the disk's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/image/byte_order.h"
#include "engine/image/disk_image_file.h"
#include "engine/image/vhd_image.h"
#include "engine/image/vhdx_image.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "image_test_support.h"

using namespace image_test;

namespace {

constexpr uint64_t MiB = 1048576;

struct CallCounts
{
    uint64_t reads;
    uint64_t seeks;
};

CallCounts Calls(const CDiskImageFile& file)
{
    return {file.GetSystemReads(), file.GetSystemSeeks()};
}

// A crafted sparse extent of 4 KiB grains whose disk ends half-way into its fifth grain: grains 0 and 1
// lie one after the other in the file, grain 2 is unallocated, grains 3 and 4 lie together further on.
// The bytes of grain 4 past the disk's end are not zeros in the file, so a read that took them shows.
class CraftedExtent
{
public:
    static constexpr uint64_t kGrainBytes = 4096;
    static constexpr uint64_t kDiskBytes = 4 * kGrainBytes + kGrainBytes / 2;

    CraftedExtent() : path(ScratchPath("runs.vmdk"))
    {
        const uint32_t grainSectors[] = {8, 16, 0, 40, 48};
        std::vector<uint8_t> file(56 * 512, 0);
        auto put = [&](size_t offset, uint64_t value, int bytes) {
            const std::vector<uint8_t> field = LittleEndian(value, bytes);
            std::copy(field.begin(), field.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
        };
        std::memcpy(file.data(), "KDMV", 4);
        put(4, 1, 4);
        put(12, kDiskBytes / 512, 8); // capacity in sectors
        put(20, kGrainBytes / 512, 8);
        put(44, 512, 4); // entries per grain table
        put(48, 1, 8);   // redundant directory at sector 1
        put(56, 1, 8);
        put(64, 8, 8);  // overhead
        put(512, 2, 4); // the directory's one entry: the table at sector 2
        SplitMix64 random(78);
        disk.assign(kDiskBytes, 0);
        for (size_t grain = 0; grain < std::size(grainSectors); ++grain) {
            put(1024 + 4 * grain, grainSectors[grain], 4);
            if (grainSectors[grain] == 0)
                continue;
            for (uint64_t at = 0; at < kGrainBytes; ++at) {
                const auto byte = static_cast<uint8_t>(random.Next() | 1);
                file[grainSectors[grain] * 512 + at] = byte;
                if (grain * kGrainBytes + at < kDiskBytes)
                    disk[grain * kGrainBytes + at] = byte;
            }
        }
        std::ofstream out(std::filesystem::path(ToUtf16(path)), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    ~CraftedExtent() { std::filesystem::remove(std::filesystem::path(ToUtf16(path))); }

    std::vector<uint8_t> Expected(uint64_t offset, uint32_t length) const
    {
        std::vector<uint8_t> bytes(length, 0);
        for (uint32_t i = 0; i < length && offset + i < disk.size(); ++i)
            bytes[i] = disk[offset + i];
        return bytes;
    }

    std::string path;
    std::vector<uint8_t> disk;
};

} // namespace

TEST(ReadRuns, VmdkGrainsThatFollowInTheFileAreOneRead)
{
    CraftedExtent crafted;
    struct Case
    {
        const char* name;
        uint64_t offset;
        uint32_t length;
        uint64_t reads;
    };
    const uint64_t grain = CraftedExtent::kGrainBytes;
    const Case cases[] = {
        {"two grains in a row, from inside the first", 100, static_cast<uint32_t>(2 * grain - 200), 1},
        {"a run that crosses the unallocated grain", grain + 10, static_cast<uint32_t>(3 * grain), 2},
        {"ends inside a grain", 0, static_cast<uint32_t>(grain + 1), 1},
        {"only the unallocated grain", 2 * grain, static_cast<uint32_t>(grain), 0},
        {"the last grain, past the disk's end", 3 * grain + 5, static_cast<uint32_t>(3 * grain), 1},
        {"the whole disk and beyond", 0, static_cast<uint32_t>(6 * grain), 2},
    };
    CVmdkSparseExtent vmdk;
    ASSERT_EQ(vmdk.Open(ToUtf16(crafted.path)), 1) << vmdk.GetOpenErrorText();
    // The grain table is read once, before the cases count.
    std::vector<uint8_t> first(1);
    ASSERT_EQ(vmdk.SeekVirtual(0), 1);
    ASSERT_EQ(vmdk.Read(first.data(), 1), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes(c.length, 0xAA);
        const CallCounts before = Calls(vmdk.handle);
        ASSERT_EQ(vmdk.SeekVirtual(c.offset), 1);
        ASSERT_EQ(vmdk.Read(bytes.data(), c.length), 1);
        EXPECT_EQ(bytes, crafted.Expected(c.offset, c.length));
        EXPECT_EQ(Calls(vmdk.handle).reads - before.reads, c.reads);
    }
}

TEST(ReadRuns, AReadThatGoesOnWhereTheLastEndedDoesNotSeek)
{
    CraftedExtent crafted;
    CVmdkSparseExtent vmdk;
    ASSERT_EQ(vmdk.Open(ToUtf16(crafted.path)), 1);
    const uint32_t half = CraftedExtent::kGrainBytes / 2;
    std::vector<uint8_t> bytes(4 * half);
    ASSERT_EQ(vmdk.SeekVirtual(0), 1);
    ASSERT_EQ(vmdk.Read(bytes.data(), half), 1);
    const CallCounts before = Calls(vmdk.handle);
    // The rest of grain 0 and grain 1, in two reads and with a seek to where the position already is.
    ASSERT_EQ(vmdk.Read(bytes.data() + half, half), 1);
    ASSERT_EQ(vmdk.SeekVirtual(2 * half), 1);
    ASSERT_EQ(vmdk.Read(bytes.data() + 2 * half, 2 * half), 1);
    EXPECT_EQ(bytes, crafted.Expected(0, 4 * half));
    EXPECT_EQ(Calls(vmdk.handle).reads - before.reads, 2u);
    EXPECT_EQ(Calls(vmdk.handle).seeks - before.seeks, 0u);
    // Grain 3 lies elsewhere in the file: one seek there.
    ASSERT_EQ(vmdk.SeekVirtual(3 * CraftedExtent::kGrainBytes), 1);
    ASSERT_EQ(vmdk.Read(bytes.data(), half), 1);
    EXPECT_EQ(Calls(vmdk.handle).seeks - before.seeks, 1u);
}

TEST(ReadRuns, VhdBlocksStopAtTheNextBlocksBitmap)
{
    // main.raw holds data from 2 MiB to past 9 MiB: blocks 1 to 4 of 2 MiB are stored, each after its
    // bitmap; blocks 5 to 7 are zeros and not stored.
    const auto raw = ReadFileBytes(FixturePath("main.raw"));
    struct Case
    {
        const char* name;
        uint64_t offset;
        uint32_t length;
        uint64_t reads;
    };
    const Case cases[] = {
        {"inside one block", 2 * MiB + 100, static_cast<uint32_t>(MiB), 1},
        {"across a block boundary", 3 * MiB, static_cast<uint32_t>(2 * MiB), 2},
        {"across three blocks", 3 * MiB - 1, static_cast<uint32_t>(4 * MiB + 2), 3},
        {"unallocated blocks only", 10 * MiB, static_cast<uint32_t>(6 * MiB), 0},
    };
    CVhdImage vhd;
    ASSERT_EQ(vhd.Open(FixturePath16("main.vhd")), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes(c.length, 0xAA);
        const CallCounts before = Calls(vhd.reader.file);
        ASSERT_EQ(vhd.SeekVirtual(c.offset), 1);
        ASSERT_EQ(vhd.Read(bytes.data(), c.length), 1);
        EXPECT_TRUE(
            std::equal(bytes.begin(), bytes.end(), raw.begin() + static_cast<std::ptrdiff_t>(c.offset)));
        EXPECT_EQ(Calls(vhd.reader.file).reads - before.reads, c.reads);
    }
}

TEST(ReadRuns, VhdxRunStopsAtABlockThatIsNotFullyPresent)
{
    // main.1m.vhdx stores the 1 MiB blocks of data one after another; in the copy, block 4 is marked
    // partly present, which this reader shows as zeros.
    const auto raw = ReadFileBytes(FixturePath("main.raw"));
    const std::string copy = ScratchCopy("main.1m.vhdx", "runs-partial.vhdx");
    {
        CVhdxImage image;
        ASSERT_EQ(image.Open(ToUtf16(copy)), 1);
        ASSERT_GT(image.GetBat().size(), 6u);
        for (uint32_t block = 2; block <= 5; ++block)
            ASSERT_EQ(image.GetBat()[block].State(), CVhdxImage::kBlockFullyPresent) << block;
        ASSERT_EQ(image.GetBat()[5].FileOffset(), image.GetBat()[2].FileOffset() + 3 * MiB)
            << "qemu-img stores the blocks in a row";
    }
    // The region table at 192 KiB names the BAT's offset; BAT entries are not checksummed.
    const auto regions = ReadFileRange(copy, 192 * 1024, 4096);
    uint64_t batOffset = 0;
    for (uint32_t entry = 0; entry < ReadLittleEndian32(regions.data() + 8); ++entry) {
        const uint8_t* at = regions.data() + 16 + 32 * entry;
        if (ReadLittleEndian32(at) == 0x2DC27766)
            batOffset = ReadLittleEndian64(at + 16);
    }
    ASSERT_NE(batOffset, 0u);
    const auto entry = ReadFileRange(copy, batOffset + 4 * 8, 8);
    const uint64_t partlyPresent = (ReadLittleEndian64(entry.data()) & ~7ull) | 7;
    PatchFile(copy, batOffset + 4 * 8, LittleEndian(partlyPresent, 8));

    std::vector<uint8_t> expected(raw.begin() + 2 * MiB, raw.begin() + 6 * MiB);
    std::fill(expected.begin() + 2 * MiB, expected.begin() + 3 * MiB, 0);
    for (const char* name : {"main.1m.vhdx", "runs-partial.vhdx"}) {
        SCOPED_TRACE(name);
        const bool patched = std::string(name) != "main.1m.vhdx";
        CVhdxImage image;
        ASSERT_EQ(image.Open(ToUtf16(patched ? copy : FixturePath(name))), 1);
        std::vector<uint8_t> bytes(4 * MiB, 0xAA);
        const CallCounts before = Calls(image.GetFile());
        ASSERT_EQ(image.SeekVirtual(2 * MiB), 1);
        ASSERT_EQ(image.Read(bytes.data(), static_cast<uint32_t>(bytes.size())), 1);
        EXPECT_EQ(Calls(image.GetFile()).reads - before.reads, patched ? 2u : 1u);
        if (patched)
            EXPECT_EQ(bytes, expected);
        else
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), raw.begin() + 2 * MiB));
    }
}
