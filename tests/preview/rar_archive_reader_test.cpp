// The RAR lister on archives of both header versions, written from the public format notes and read
// back by bsdtar as the outside oracle; damaged and crafted archives end with a result, never a crash.
#include <gtest/gtest.h>

#include "preview_fixture_paths.h"
#include "rar_archive_reader.h"
#include "support/oracle_files.h"

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> FixtureBytes(const std::string& relative)
{
    const std::string text = test_support::ReadWholeFile(PreviewFixture(relative));
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Every member up to the end, and the result that ended the listing.
int ListAll(const std::vector<std::uint8_t>& bytes, std::vector<RarMember>& members)
{
    MemoryByteSource source(bytes);
    RarArchiveReader reader(source);
    int result = reader.Open();
    if (result != kRarSuccess)
        return result;
    RarMember member;
    // Every header moves the reader forward, so the loop ends by itself; the bound only guards the test.
    for (int guard = 0; guard < 100000; ++guard) {
        result = reader.ReadHeader(member);
        if (result != kRarSuccess)
            return result;
        members.push_back(member);
        reader.Skip();
    }
    ADD_FAILURE() << "the listing did not end";
    return -1;
}

std::string SlashSeparated(std::string name)
{
    for (char& c : name)
        if (c == '\\')
            c = '/';
    return name;
}

TEST(RarArchiveReader, BothVersionsListTheNamesAndSizesBsdtarGives)
{
    for (const char* name : {"stored4", "stored5", "empty4", "empty5"}) {
        SCOPED_TRACE(name);
        std::vector<RarMember> members;
        EXPECT_EQ(ListAll(FixtureBytes(std::string("archives/") + name + ".rar"), members), kRarEndArchive);
        const auto oracle =
            test_support::ReadTsv(PreviewFixture(std::string("archives/") + name + ".bsdtar.tsv"));
        ASSERT_EQ(members.size(), oracle.size());
        for (std::size_t i = 0; i < members.size(); ++i) {
            EXPECT_EQ(SlashSeparated(members[i].name), oracle[i][0]);
            EXPECT_EQ(std::to_string(members[i].unpackedSize), oracle[i][1]);
            EXPECT_EQ(members[i].packedSize, members[i].unpackedSize) << "stored";
        }
    }
}

TEST(RarArchiveReader, FoldersAndFilesCarryTheirHeaderFlagsAndTimes)
{
    std::vector<RarMember> old, current;
    ListAll(FixtureBytes("archives/stored4.rar"), old);
    ListAll(FixtureBytes("archives/stored5.rar"), current);
    ASSERT_EQ(old.size(), 6u);
    ASSERT_EQ(current.size(), 5u);
    // docs, docs\readme.txt, docs\deep, docs\deep\notes.txt, top.bin; then a 64-KB-dictionary file.
    const std::uint32_t flags[] = {kRarDirectoryFlags, kRarFileFlags, kRarDirectoryFlags,
                                   kRarFileFlags,      kRarFileFlags, 0x8000};
    for (std::size_t i = 0; i < old.size(); ++i) {
        EXPECT_EQ(old[i].flags, flags[i]) << i;
        EXPECT_FALSE(old[i].utf8Name);
        if (i < current.size()) {
            EXPECT_EQ(current[i].flags, flags[i]) << i;
            EXPECT_TRUE(current[i].utf8Name);
        }
    }
    EXPECT_EQ(old[1].name, "docs\\readme.txt");
    EXPECT_EQ(current[1].name, "docs/readme.txt");
    EXPECT_EQ(old[1].attributes, 0x20u);
    EXPECT_EQ(current[0].attributes, 0x10u);
    // 15 March 2024, 10:20:30 as MS-DOS date and time.
    const std::uint32_t dos = (44u << 25) | (3u << 21) | (15u << 16) | (10u << 11) | (20u << 5) | 15u;
    EXPECT_EQ(old[1].dosTime, dos);
    // RAR5 keeps UTC; the listing gives local time, here in UTC.
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    std::vector<RarMember> again;
    ListAll(FixtureBytes("archives/stored5.rar"), again);
    EXPECT_EQ(again[1].dosTime, dos);
}

TEST(RarArchiveReader, NonArchivesAndDamagedStartsAreRefused)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int result;
    };
    const Case cases[] = {
        {"empty file", {}, kRarUnknownFormat},
        {"text", {'h', 'e', 'l', 'l', 'o'}, kRarUnknownFormat},
        {"crafted short", FixtureBytes("archives/crafted_short.rar"), kRarBadArchive},
        {"marker only", {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00}, kRarBadArchive},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryByteSource source(c.bytes);
        RarArchiveReader reader(source);
        EXPECT_EQ(reader.Open(), c.result);
    }
    // A wrong header CRC is damaged data.
    auto bytes = FixtureBytes("archives/stored4.rar");
    bytes[7] ^= 0xFF;
    MemoryByteSource source(bytes);
    RarArchiveReader reader(source);
    EXPECT_EQ(reader.Open(), kRarBadData);
}

TEST(RarArchiveReader, EveryCutAndFlippedByteEndsTheListingCleanly)
{
    for (const char* name : {"stored4", "stored5"}) {
        SCOPED_TRACE(name);
        const auto archive = FixtureBytes(std::string("archives/") + name + ".rar");
        ASSERT_FALSE(archive.empty());
        for (std::size_t size = 0; size < archive.size(); ++size) {
            std::vector<RarMember> members;
            ListAll(std::vector<std::uint8_t>(archive.begin(), archive.begin() + size), members);
        }
        for (std::size_t at = 0; at < archive.size(); ++at) {
            for (std::uint8_t value : {0x00, 0x7F, 0x80, 0xFF}) {
                auto bytes = archive;
                bytes[at] = value;
                std::vector<RarMember> members;
                ListAll(bytes, members);
                EXPECT_LE(members.size(), 6u);
            }
        }
    }
}

TEST(RarArchiveReader, HeadersWithHugeSizesEndWithDamagedData)
{
    // RAR5: a valid signature, then a header whose size field says 3 MB (over the format's 2 MB).
    std::vector<std::uint8_t> huge = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00,
                                      0,    0,    0,    0,    0x80, 0x80, 0xC0, 0x01};
    std::vector<RarMember> members;
    EXPECT_EQ(ListAll(huge, members), kRarBadData);
    // A variable-length integer that never ends.
    std::vector<std::uint8_t> endless(huge.begin(), huge.begin() + 12);
    endless.insert(endless.end(), 20, 0xFF);
    EXPECT_EQ(ListAll(endless, members), kRarBadData);
    EXPECT_TRUE(members.empty());
}

} // namespace
