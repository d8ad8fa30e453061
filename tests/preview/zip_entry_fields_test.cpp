// The Windows attributes of ZIP members of Unix and Windows tools, and the "UT" block's times read
// within the block and the field.
#include <gtest/gtest.h>

#include "zip_entry_fields.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kMadeByUnix = 3 << 8;
constexpr std::uint16_t kMadeByDos = 0;

TEST(ZipEntryFields, AttributesFollowTheHostThatMadeTheMember)
{
    struct Case
    {
        const char* name;
        std::uint32_t external;
        std::uint16_t madeBy;
        std::uint32_t attributes;
    };
    const Case cases[] = {
        {"Unix 0644", 0100644u << 16, kMadeByUnix, 0x80},
        {"Unix 0444", 0100444u << 16, kMadeByUnix, 0x81},
        {"Unix 0644 with the MS-DOS read-only bit", (0100644u << 16) | 0x01, kMadeByUnix, 0x81},
        {"Unix folder 0755", (040755u << 16) | 0x10, kMadeByUnix, 0x90},
        {"Unix folder without the MS-DOS bit", 040755u << 16, kMadeByUnix, 0x90},
        {"Unix host without a mode", 0x20, kMadeByUnix, 0xA1},
        {"Windows archive", 0x20, kMadeByDos, 0xA0},
        {"Windows read-only", 0x21, kMadeByDos, 0xA1},
        {"Windows read-only, hidden, system", 0x27, kMadeByDos, 0xA7},
        {"Windows folder", 0x10, kMadeByDos, 0x90},
        {"Windows tool that stores a mode", (0100644u << 16) | 0x20, kMadeByDos, 0xA0},
        {"nothing", 0, kMadeByDos, 0x80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ZipWindowsAttributes(c.external, c.madeBy), c.attributes);
    }
}

std::string Block(const char id[2], const std::string& data)
{
    std::string block(id, 2);
    block += static_cast<char>(data.size() & 0xFF);
    block += static_cast<char>(data.size() >> 8);
    return block + data;
}

std::string Le32(std::int32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
    return bytes;
}

// The field copied to a heap block of its exact size, so that the sanitizer sees any read past it.
bool Read(const std::string& field, ZipExtendedTimes& times)
{
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[field.size() + 1]);
    std::memcpy(exact.get(), field.data(), field.size());
    return ReadZipExtendedTimes(field.empty() ? nullptr : exact.get(), field.size(), times);
}

TEST(ZipEntryFields, TheFirstUtBlockGivesTheTimesItsFlagsName)
{
    const std::string other = Block("\x0a\x00", "abcd");
    ZipExtendedTimes times;
    ASSERT_TRUE(Read(other + Block("UT", "\x01" + Le32(1704164645)), times));
    EXPECT_EQ(times.modification, 1704164645);
    EXPECT_FALSE(times.access);
    EXPECT_FALSE(times.creation);

    ASSERT_TRUE(
        Read(Block("UT", "\x07" + Le32(1) + Le32(2) + Le32(3)) + Block("UT", "\x01" + Le32(9)), times));
    EXPECT_EQ(times.modification, 1);
    EXPECT_EQ(times.access, 2);
    EXPECT_EQ(times.creation, 3);

    // Access and creation without a modification time.
    ASSERT_TRUE(Read(Block("UT", "\x06" + Le32(5) + Le32(6)), times));
    EXPECT_FALSE(times.modification);
    EXPECT_EQ(times.access, 5);
    EXPECT_EQ(times.creation, 6);

    EXPECT_FALSE(Read(other, times));
    EXPECT_FALSE(Read("", times));
}

TEST(ZipEntryFields, TimesPastTheBlockOrTheFieldAreNotRead)
{
    ZipExtendedTimes times;
    // The flags name three times, the block holds one: the central record's form.
    ASSERT_TRUE(Read(Block("UT", "\x07" + Le32(7)), times));
    EXPECT_EQ(times.modification, 7);
    EXPECT_FALSE(times.access);
    // The block's size says more than the field holds.
    std::string claimsMore = Block("UT", "\x03" + Le32(8) + Le32(9));
    claimsMore[2] = 40;
    ASSERT_TRUE(Read(claimsMore.substr(0, claimsMore.size() - 2), times));
    EXPECT_EQ(times.modification, 8);
    EXPECT_FALSE(times.access);
    // A block before it that runs past the field ends the walk.
    std::string runsPast = Block("\x0a\x00", "ab") + Block("UT", "\x01" + Le32(1));
    runsPast[2] = 60;
    EXPECT_FALSE(Read(runsPast, times));
    // An empty block.
    ASSERT_TRUE(Read(Block("UT", ""), times));
    EXPECT_FALSE(times.modification);

    const std::string full = Block("\x0a\x00", "abcd") + Block("UT", "\x07" + Le32(1) + Le32(2) + Le32(3));
    for (std::size_t size = 0; size <= full.size(); ++size)
        Read(full.substr(0, size), times);
}

TEST(ZipEntryFields, AnArchiveOfOnlyItsEndRecordIsEmpty)
{
    std::uint8_t end[kZipEndRecordSize] = {0x50, 0x4B, 0x05, 0x06};
    EXPECT_TRUE(IsEmptyZipArchive(end, sizeof end));
    end[20] = 3;
    EXPECT_TRUE(IsEmptyZipArchive(end, sizeof end + 3)) << "with a comment";
    EXPECT_FALSE(IsEmptyZipArchive(end, sizeof end)) << "comment longer than the file";
    end[20] = 0;
    end[10] = 1;
    EXPECT_FALSE(IsEmptyZipArchive(end, sizeof end)) << "one member";
    end[10] = 0;
    end[0] = 'X';
    EXPECT_FALSE(IsEmptyZipArchive(end, sizeof end));
    EXPECT_FALSE(IsEmptyZipArchive(end, 10));
    EXPECT_FALSE(IsEmptyZipArchive(nullptr, 22));
}

TEST(ZipEntryFields, UnixTimesBecomeFileTimes)
{
    EXPECT_EQ(UnixTimeToFileTimeTicks(0), 116444736000000000ull);
    EXPECT_EQ(UnixTimeToFileTimeTicks(1704164645), 116444736000000000ull + 1704164645ull * 10000000ull);
}

} // namespace
