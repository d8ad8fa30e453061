// Every reader against the raw bytes qemu-img made its image from: the whole disk, random reads that
// cross grain and block boundaries, reads that run on without a new seek, and offsets above 4 GiB.
#include <gtest/gtest.h>

#include "engine_probe/probe_disk.h"
#include "image_test_support.h"

using namespace image_test;

namespace {

struct ImageCase
{
    const char* image;
    const char* raw;
    // Size as the footer of a fixed VHD states it: that of the dynamic VHD of the same raw file.
    const char* sizeFrom;
};

constexpr ImageCase kImages[] = {
    {"main.vmdk", "main.raw", "main.vmdk"},
    {"main.vhd", "main.raw", "main.vhd"},
    {"main.fixed.vhd", "main.raw", "main.vhd"},
    {"main.1m.vhdx", "main.raw", "main.1m.vhdx"},
    {"main.vhdx", "main.raw", "main.vhdx"},
    {"main.fixed.vhdx", "main.raw", "main.fixed.vhdx"},
    {"small.vmdk", "small.raw", "small.vmdk"},
    {"small.vhd", "small.raw", "small.vhd"},
    {"small.fixed.vhd", "small.raw", "small.vhd"},
    {"small.1m.vhdx", "small.raw", "small.1m.vhdx"},
    {"small.fixed.vhdx", "small.raw", "small.fixed.vhdx"},
};

constexpr const char* kBigImages[] = {"big.vmdk", "big.vhd", "big.1m.vhdx", "big.vhdx"};

// The raw bytes at [offset, offset + length), zeros where the raw file has ended (qemu-img rounds a VHD
// up to its geometry).
std::vector<uint8_t> Expected(const std::vector<uint8_t>& raw, uint64_t offset, uint32_t length)
{
    std::vector<uint8_t> bytes(length, 0);
    if (offset < raw.size()) {
        const auto available = static_cast<size_t>(std::min<uint64_t>(length, raw.size() - offset));
        std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>(offset), available, bytes.begin());
    }
    return bytes;
}

// Offsets just before a multiple of a grain or block size, so that reads cross it.
uint64_t NearABoundary(SplitMix64& random, uint64_t size)
{
    const uint64_t units[] = {65536, 1 << 20, 2 << 20, 8 << 20};
    const uint64_t unit = units[random.Below(4)];
    const uint64_t boundary = unit * (1 + random.Below(std::max<uint64_t>(size / unit, 1)));
    return boundary - std::min(boundary, 1 + random.Below(4096));
}

} // namespace

TEST(ImageReads, WholeDiskEqualsTheRawBytes)
{
    for (const ImageCase& c : kImages) {
        SCOPED_TRACE(c.image);
        const auto raw = ReadFileBytes(FixturePath(c.raw));
        ProbeDisk disk;
        ASSERT_TRUE(disk.Open(FixturePath16(c.image))) << disk.GetRefusal();
        const uint64_t size = disk.GetSize();
        EXPECT_EQ(size, QemuVirtualSize(c.sizeFrom));
        ASSERT_GE(size, raw.size());
        std::vector<uint8_t> piece(1 << 20);
        for (uint64_t offset = 0; offset < size; offset += piece.size()) {
            const auto count = static_cast<uint32_t>(std::min<uint64_t>(piece.size(), size - offset));
            ASSERT_TRUE(disk.ReadAt(offset, piece.data(), count)) << offset;
            piece.resize(count);
            ASSERT_EQ(piece, Expected(raw, offset, count)) << "at " << offset;
        }
    }
}

TEST(ImageReads, RandomReadsAcrossGrainAndBlockBoundaries)
{
    SplitMix64 random(20240601);
    for (const ImageCase& c : kImages) {
        SCOPED_TRACE(c.image);
        const auto raw = ReadFileBytes(FixturePath(c.raw));
        ProbeDisk disk;
        ASSERT_TRUE(disk.Open(FixturePath16(c.image)));
        const uint64_t size = disk.GetSize();
        std::vector<uint8_t> bytes;
        for (int read = 0; read < 200; ++read) {
            const uint64_t offset = read % 2 ? random.Below(size) : NearABoundary(random, size);
            // Some reads run past the end of the disk: that part reads as zeros.
            const auto length = static_cast<uint32_t>(1 + random.Below(read % 10 == 0 ? 3 << 20 : 300000));
            bytes.assign(length, 0xAA);
            ASSERT_TRUE(disk.ReadAt(offset, bytes.data(), length));
            ASSERT_EQ(bytes, Expected(raw, offset, length)) << "read of " << length << " at " << offset;
        }
    }
}

TEST(ImageReads, ReadsRunOnWithoutANewSeek)
{
    for (const ImageCase& c : kImages) {
        SCOPED_TRACE(c.image);
        const auto raw = ReadFileBytes(FixturePath(c.raw));
        ProbeDisk disk;
        ASSERT_TRUE(disk.Open(FixturePath16(c.image)));
        // 1.5 MiB + 1000 in uneven pieces from just before the data at 2 MiB.
        const uint64_t start = 2 * 1048576 - 700;
        ASSERT_TRUE(disk.Seek(start));
        std::vector<uint8_t> bytes;
        for (uint32_t piece : {300u, 65536u, 1000u, 1048576u, 7u, 483057u}) {
            std::vector<uint8_t> part(piece);
            ASSERT_TRUE(disk.Read(part.data(), piece));
            bytes.insert(bytes.end(), part.begin(), part.end());
        }
        EXPECT_EQ(bytes, Expected(raw, start, static_cast<uint32_t>(bytes.size())));
    }
}

TEST(ImageReads, OffsetsAbove4GiB)
{
    const std::string raw = FixturePath("big.raw");
    const uint64_t dataStart = 4608ull * 1048576 - 4096;
    for (const char* image : kBigImages) {
        SCOPED_TRACE(image);
        ProbeDisk disk;
        ASSERT_TRUE(disk.Open(FixturePath16(image))) << disk.GetRefusal();
        EXPECT_EQ(disk.GetSize(), QemuVirtualSize(image));
        struct Range
        {
            uint64_t offset;
            uint32_t length;
        };
        const Range ranges[] = {
            {0, 8192},                        // data of the first grain and zeros
            {dataStart - 65536, 3 * 1048576}, // zeros, the data across 4.5 GiB, zeros
            {3ull << 30, 1048576},            // unallocated, below 4 GiB
            {5120ull * 1048576 - 8192, 8192}, // the end of the raw disk
        };
        std::vector<uint8_t> bytes;
        for (const Range& range : ranges) {
            SCOPED_TRACE(range.offset);
            bytes.assign(range.length, 0xAA);
            ASSERT_TRUE(disk.ReadAt(range.offset, bytes.data(), range.length));
            auto expected = ReadFileRange(raw, range.offset, range.length);
            expected.resize(range.length, 0);
            EXPECT_EQ(bytes, expected);
        }
        SplitMix64 random(99);
        const auto window = ReadFileRange(raw, dataStart - 1048576, 4 * 1048576);
        for (int read = 0; read < 50; ++read) {
            const uint64_t offset = random.Below(window.size() - 1);
            const auto length = static_cast<uint32_t>(1 + random.Below(window.size() - offset));
            bytes.assign(length, 0xAA);
            ASSERT_TRUE(disk.ReadAt(dataStart - 1048576 + offset, bytes.data(), length));
            ASSERT_TRUE(
                std::equal(bytes.begin(), bytes.end(), window.begin() + static_cast<std::ptrdiff_t>(offset)))
                << "read of " << length << " at window offset " << offset;
        }
    }
}
