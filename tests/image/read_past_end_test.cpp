// Images whose file was cut short, at a grain or block boundary and in the middle of one: data that the
// image maps past the cut does not read (and says so), everything before it reads as qemu-img wrote it,
// and unallocated stretches still read as zeros. The raw files the images were made from are the oracle.
#include <gtest/gtest.h>

#include <fstream>

#include "engine/image/vhdx_image.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine_probe/probe_disk.h"
#include "image_test_support.h"

using namespace image_test;

namespace {

// Reads are as small as a cluster, so that the bytes a failed read keeps are all that can be read.
constexpr uint32_t kPieceBytes = 4096;

// The file offset where the last allocated grain or block of a fixture starts, and its size: the one
// that holds main.raw's last data, which qemu-img writes last.
struct LastUnit
{
    uint64_t fileOffset;
    uint64_t bytes;
};

LastUnit LastVmdkGrain(const std::string& image)
{
    CVmdkSparseExtent vmdk;
    EXPECT_EQ(vmdk.Open(FixturePath16(image)), 1);
    EXPECT_EQ(vmdk.SeekVirtual(vmdk.GetDiskSize() - 1), 1);
    return {vmdk.physicalPos - (vmdk.grainBytes - 1), vmdk.grainBytes};
}

LastUnit LastVhdBlock(const std::string& image)
{
    // The footer follows the last block's data.
    return {FileSize(FixturePath(image)) - 512 - 2 * 1048576, 2 * 1048576};
}

LastUnit LastVhdxBlock(const std::string& image)
{
    CVhdxImage vhdx;
    EXPECT_EQ(vhdx.Open(FixturePath16(image)), 1);
    uint64_t last = 0;
    for (const VhdxBatEntry& entry : vhdx.GetBat())
        if (entry.State() == CVhdxImage::kBlockFullyPresent)
            last = std::max(last, entry.FileOffset());
    return {last, vhdx.GetBlockSize()};
}

std::string CutCopy(const std::string& image, uint64_t length)
{
    const auto bytes = ReadFileRange(FixturePath(image), 0, static_cast<size_t>(length));
    const std::string path = ScratchPath("cut-" + image);
    std::ofstream out(std::filesystem::path(ToUtf16(path)), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Reads the whole disk piece by piece; every byte delivered must be main.raw's (zeros past its end).
// Returns the bytes that could not be read, and counts the pieces that failed.
uint64_t UnreadableBytes(const std::string& path, const std::vector<uint8_t>& raw, uint32_t& failedPieces)
{
    ProbeDisk disk;
    EXPECT_TRUE(disk.Open(ToUtf16(path))) << disk.GetRefusal();
    std::vector<uint8_t> expected(raw);
    expected.resize(std::max<uint64_t>(raw.size(), disk.GetSize() + kPieceBytes), 0);
    uint64_t missing = 0;
    failedPieces = 0;
    std::vector<uint8_t> piece(kPieceBytes);
    for (uint64_t offset = 0; offset < disk.GetSize(); offset += kPieceBytes) {
        uint64_t got = kPieceBytes;
        if (!disk.ReadAt(offset, piece.data(), kPieceBytes)) {
            ++failedPieces;
            EXPECT_TRUE(disk.StoppedAtFileEnd()) << "at " << offset;
            got = disk.GetPosition() - offset;
            EXPECT_LT(got, kPieceBytes);
            missing += kPieceBytes - got;
        }
        EXPECT_TRUE(std::equal(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got),
                               expected.begin() + static_cast<std::ptrdiff_t>(offset)))
            << "at " << offset;
    }
    return missing;
}

} // namespace

TEST(ReadPastEnd, ImagesCutShortFailWhereTheirDataIsMissing)
{
    struct Case
    {
        const char* image;
        LastUnit (*lastUnit)(const std::string&);
    };
    const Case cases[] = {
        {"main.vmdk", LastVmdkGrain},
        {"main.vhd", LastVhdBlock},
        {"main.1m.vhdx", LastVhdxBlock},
    };
    const auto raw = ReadFileBytes(FixturePath("main.raw"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        const LastUnit last = c.lastUnit(c.image);
        ASSERT_GT(last.fileOffset, 0u);
        // Bytes of the unit that the middle cut keeps: not a whole number of sectors.
        const uint64_t kept = last.bytes / 2 + 1000;

        uint32_t failedAtBoundary = 0;
        const uint64_t atBoundary = UnreadableBytes(CutCopy(c.image, last.fileOffset), raw, failedAtBoundary);
        uint32_t failedInMiddle = 0;
        const uint64_t inMiddle =
            UnreadableBytes(CutCopy(c.image, last.fileOffset + kept), raw, failedInMiddle);

        EXPECT_GT(failedAtBoundary, 0u);
        EXPECT_GT(failedInMiddle, 0u);
        // Only the last unit was cut away: the zeros around it and all the data before it still read,
        // and so does the part of it that the middle cut kept.
        EXPECT_EQ(atBoundary, last.bytes);
        EXPECT_EQ(atBoundary - inMiddle, kept);
    }
}
