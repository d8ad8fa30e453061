// The shared test disks (tools/make-test-disks): every image opens with the raw disk's size, random
// reads that cross grain and block boundaries equal the raw bytes, and big-4g, which keeps no raw disk,
// holds its listed extents and zeros everywhere else. The whole-disk SHA-256 of each image is checked
// by the engine_probe_test_disks tests.
#include <cstring>
#include <map>

#include <gtest/gtest.h>

#include "engine_probe/probe_disk.h"
#include "engine_probe/sha256.h"
#include "image_test_support.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"

using namespace image_test;
using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

namespace {

struct Image
{
    std::string disk;
    std::string file;
    uint64_t virtualBytes;
    std::string raw;
};

std::vector<Image> ListedImages()
{
    std::map<std::string, std::string> raws;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "disks.tsv")))
        if (row.size() >= 2 && row[0] != "name")
            raws[row[0]] = row[1];
    std::vector<Image> images;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "images.tsv")))
        if (row.size() >= 5 && row[0] != "disk")
            images.push_back({row[0], row[1], std::stoull(row[4]), raws[row[0]]});
    return images;
}

uint64_t NearABoundary(SplitMix64& random, uint64_t size)
{
    const uint64_t units[] = {65536, 1 << 20, 2 << 20, 8 << 20, 32 << 20};
    const uint64_t unit = units[random.Below(5)];
    const uint64_t boundary = unit * (1 + random.Below(std::max<uint64_t>(size / unit, 1)));
    return boundary - std::min(boundary, 1 + random.Below(8192));
}

} // namespace

TEST(TestDiskImages, RandomReadsEqualTheRawDisk)
{
    ASSERT_TRUE(test_support::TestDisksAvailable())
        << "run tools/make-test-disks first (" << TestDisksDir() << ")";
    const auto images = ListedImages();
    ASSERT_FALSE(images.empty());
    SplitMix64 random(4242);
    int compared = 0;
    for (const Image& image : images) {
        if (image.raw == "-")
            continue;
        SCOPED_TRACE(image.file);
        ProbeDisk disk;
        ASSERT_TRUE(disk.Open(ToUtf16(JoinPath(TestDisksDir(), image.file)))) << disk.GetRefusal();
        ASSERT_EQ(disk.GetSize(), image.virtualBytes);
        const std::string raw = JoinPath(TestDisksDir(), image.raw);
        std::vector<uint8_t> bytes;
        for (int read = 0; read < 60; ++read) {
            const uint64_t offset = std::min(read % 2 ? random.Below(image.virtualBytes)
                                                      : NearABoundary(random, image.virtualBytes),
                                             image.virtualBytes - 1);
            const auto length =
                static_cast<uint32_t>(1 + random.Below(std::min<uint64_t>(image.virtualBytes - offset,
                                                                          read % 7 ? 200000 : 3 << 20)));
            bytes.assign(length, 0xAA);
            ASSERT_TRUE(disk.ReadAt(offset, bytes.data(), length));
            ASSERT_EQ(bytes, ReadFileRange(raw, offset, length)) << "read of " << length << " at " << offset;
        }
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

TEST(TestDiskImages, BigDiskHoldsItsExtentsAndZerosElsewhere)
{
    ASSERT_TRUE(test_support::TestDisksAvailable())
        << "run tools/make-test-disks first (" << TestDisksDir() << ")";
    struct Extent
    {
        uint64_t offset;
        uint64_t length;
        std::string sha256;
    };
    std::vector<Extent> extents;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "big-4g.extents.tsv")))
        if (row.size() >= 4 && row[0] != "offset")
            extents.push_back({std::stoull(row[0]), std::stoull(row[1]), row[3]});
    ASSERT_FALSE(extents.empty());

    int checked = 0;
    for (const Image& image : ListedImages()) {
        if (image.disk != "big-4g")
            continue;
        SCOPED_TRACE(image.file);
        ProbeDisk disk;
        ASSERT_TRUE(disk.Open(ToUtf16(JoinPath(TestDisksDir(), image.file)))) << disk.GetRefusal();
        ASSERT_EQ(disk.GetSize(), image.virtualBytes);
        ASSERT_GT(image.virtualBytes, 4ull << 30);
        for (const Extent& extent : extents) {
            SCOPED_TRACE(extent.offset);
            std::vector<uint8_t> bytes(static_cast<size_t>(extent.length));
            ASSERT_TRUE(disk.ReadAt(extent.offset, bytes.data(), static_cast<uint32_t>(bytes.size())));
            Sha256 hash;
            hash.Update(bytes.data(), bytes.size());
            EXPECT_EQ(hash.FinishHex(), extent.sha256);
        }
        // Everything between the extents is zero; read in pieces that do not line up with grains or blocks.
        const uint32_t pieceBytes = 3 * 1048576 + 512;
        std::vector<uint8_t> piece(pieceBytes);
        const std::vector<uint8_t> zeros(pieceBytes, 0);
        for (uint64_t offset = 0; offset < image.virtualBytes; offset += pieceBytes) {
            const auto count =
                static_cast<uint32_t>(std::min<uint64_t>(pieceBytes, image.virtualBytes - offset));
            ASSERT_TRUE(disk.ReadAt(offset, piece.data(), count));
            // Blank out what lies inside an extent; the rest must be zero.
            for (const Extent& extent : extents) {
                const uint64_t start = std::max(offset, extent.offset);
                const uint64_t end = std::min(offset + count, extent.offset + extent.length);
                if (start < end)
                    std::memset(piece.data() + (start - offset), 0, static_cast<size_t>(end - start));
            }
            ASSERT_EQ(std::memcmp(piece.data(), zeros.data(), count), 0) << "non-zero bytes near " << offset;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 3);
}
