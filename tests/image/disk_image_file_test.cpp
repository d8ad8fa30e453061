// The file primitive: positioning, short reads at the end, and handle ownership, on a file of known
// bytes (and one with a non-ASCII name, since paths travel as UTF-16).
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/image/disk_image_file.h"
#include "image_test_support.h"

using namespace image_test;

namespace {

// 100 bytes 0, 1, ..., 99.
std::string MakeCountingFile(const std::string& name)
{
    const std::string path = ScratchPath(name);
    std::ofstream out(std::filesystem::path(ToUtf16(path)), std::ios::binary);
    for (int value = 0; value < 100; ++value)
        out.put(static_cast<char>(value));
    return path;
}

} // namespace

TEST(DiskImageFile, ReadAtTheEndDeliversWhatIsThereAndSucceeds)
{
    CDiskImageFile file;
    ASSERT_EQ(file.Open(ToUtf16(MakeCountingFile("counting.bin"))), 1);
    EXPECT_EQ(file.GetSize(), 100u);

    uint8_t buffer[10] = {};
    EXPECT_EQ(file.ReadAt(96, buffer, 10), 1);
    EXPECT_EQ(file.GetLastReadCount(), 4u);
    EXPECT_EQ(buffer[0], 96);
    EXPECT_EQ(buffer[3], 99);

    // Past the end: the seek succeeds and the read delivers nothing, still successfully.
    EXPECT_EQ(file.SeekFromBegin(5000), 1);
    EXPECT_EQ(file.GetPosition(), 5000u);
    EXPECT_EQ(file.Read(buffer, 10), 1);
    EXPECT_EQ(file.GetLastReadCount(), 0u);

    // The zero-padded read fills what lies past the end.
    uint8_t padded[8];
    std::fill(std::begin(padded), std::end(padded), 0xAA);
    EXPECT_EQ(file.ReadAtZeroPadded(97, padded, 8), 1);
    const uint8_t expected[8] = {97, 98, 99, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(padded), std::end(padded), expected));
    EXPECT_EQ(file.ReadAtZeroPadded(UINT64_MAX - 3, padded, 8), 1);
    EXPECT_EQ(padded[0], 0);
}

TEST(DiskImageFile, SeekOriginsAndDirections)
{
    CDiskImageFile file;
    ASSERT_EQ(file.Open(ToUtf16(MakeCountingFile("seeking.bin"))), 1);
    struct Case
    {
        const char* name;
        uint64_t start;
        uint64_t offset;
        uint32_t origin;
        uint32_t direction;
        uint64_t result;
        uint64_t positionAfter;
    };
    const Case cases[] = {
        {"from begin ignores the direction", 50, 7, CDiskImageFile::kFromBegin, 9, 7, 7},
        {"from current forward", 3, 5, CDiskImageFile::kFromCurrent, CDiskImageFile::kForward, 8, 8},
        {"from current backward", 30, 5, CDiskImageFile::kFromCurrent, CDiskImageFile::kBackward, 25, 25},
        {"backward before the start is refused, position stays", 3, 5, CDiskImageFile::kFromCurrent,
         CDiskImageFile::kBackward, 0, 3},
        {"from end backward", 3, 10, CDiskImageFile::kFromEnd, CDiskImageFile::kBackward, 90, 90},
        {"from end forward passes the end", 3, 10, CDiskImageFile::kFromEnd, CDiskImageFile::kForward, 110,
         110},
        {"unknown origin goes to 0", 40, 10, 3, CDiskImageFile::kForward, 0, 0},
        {"unknown direction goes to 0", 40, 10, CDiskImageFile::kFromCurrent, 2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        file.SeekFromBegin(c.start);
        EXPECT_EQ(file.Seek(c.offset, c.origin, c.direction), c.result);
        EXPECT_EQ(file.GetPosition(), c.positionAfter);
    }
    EXPECT_EQ(file.SeekFromEnd(4), 1);
    uint8_t byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 96);
}

TEST(DiskImageFile, CloseAndFailedOpenLeaveNoHandle)
{
    CDiskImageFile never;
    never.Close();
    never.Close();
    EXPECT_FALSE(never.IsOpen());
    uint8_t byte;
    EXPECT_EQ(never.Read(&byte, 1), 0);
    EXPECT_EQ(never.GetSize(), 0u);

    const std::string missing = ScratchPath("no-such-image.vmdk");
    CDiskImageFile file;
    EXPECT_EQ(file.Open(ToUtf16(missing)), 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Read(&byte, 1), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(ToUtf16(missing))));
    file.Close();
    EXPECT_EQ(file.handle, kNullFileHandle);

    ASSERT_EQ(file.Open(ToUtf16(MakeCountingFile("closing.bin"))), 1);
    file.Close();
    file.Close();
    EXPECT_EQ(file.handle, kNullFileHandle);
    EXPECT_EQ(file.Open(ToUtf16(ScratchDir())), 0) << "a folder is not an image file";
}

TEST(DiskImageFile, OpensAPathOutsideAscii)
{
    CDiskImageFile file;
    const std::string name = "bild-\xC3\xA4\xC3\x9F\xE2\x82\xAC-\xF0\x9F\x98\x80.bin";
    ASSERT_EQ(file.Open(ToUtf16(MakeCountingFile(name))), 1);
    EXPECT_EQ(file.GetSize(), 100u);
    // An unpaired surrogate names no file.
    CDiskImageFile broken;
    EXPECT_EQ(broken.Open(ToUtf16(ScratchDir()) + u"\xD800.bin"), 0);
}
