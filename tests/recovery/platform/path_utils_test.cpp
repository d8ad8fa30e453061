// Target-folder paths: nested folder creation, existence and file times through the platform seam.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/recovery/platform/path_utils.h"
#include "engine/recovery/platform/platform_io.h"

namespace fs = std::filesystem;

namespace {

// The engine writes paths with "\"; the host twin of the platform seam turns them back.
std::u16string EnginePath(const fs::path& path)
{
    std::u16string text = path.u16string();
    for (char16_t& c : text)
        if (c == u'/')
            c = u'\\';
    return text;
}

class PathUtils : public testing::Test
{
protected:
    void SetUp() override
    {
        base = fs::temp_directory_path() /
               ("recovery_path_utils_" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(base);
        fs::create_directories(base);
    }
    void TearDown() override { fs::remove_all(base); }

    std::u16string Under(const std::u16string& relative) { return EnginePath(base) + u"\\" + relative; }

    fs::path base;
};

TEST_F(PathUtils, CreatesEveryLevelInTurn)
{
    struct Case
    {
        const char* name;
        std::u16string relative;
        std::vector<const char*> created;
    };
    const Case cases[] = {
        {"two new levels", u"a\\b", {"a", "a/b"}},
        {"an existing level is no error", u"a\\c", {"a", "a/c"}},
        {"trailing separator", u"d\\e\\", {"d", "d/e"}},
        {"doubled separator", u"f\\\\g", {"f", "f/g"}},
        {"names with spaces and dots inside", u"my files\\v1.2", {"my files", "my files/v1.2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(CreateNestedFolders(Under(c.relative).c_str()));
        for (const char* folder : c.created)
            EXPECT_TRUE(fs::is_directory(base / folder)) << folder;
    }
}

TEST_F(PathUtils, RefusesPathsWithoutSeparatorOrWithLevelsThatLeadUp)
{
    fs::create_directories(base / "inner");
    const fs::path previous = fs::current_path();
    fs::current_path(base / "inner");
    struct Case
    {
        const char* name;
        std::u16string path;
    };
    const Case cases[] = {
        {"no separator", u"plain"},
        {"parent level", Under(u"inner\\..\\..\\escaped")},
        {"dots and spaces only", Under(u"inner\\. .\\escaped")},
        {"three dots", Under(u"inner\\...\\escaped")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(CreateNestedFolders(c.path.c_str()));
    }
    fs::current_path(previous);
    EXPECT_FALSE(fs::exists(base / "inner" / "plain"));
    EXPECT_FALSE(fs::exists(base.parent_path() / "escaped"));
    EXPECT_FALSE(fs::exists(base / "escaped"));
    EXPECT_FALSE(CreateNestedFolders(nullptr));
}

TEST_F(PathUtils, FileExistsForFilesAndFoldersOnly)
{
    std::ofstream(base / "present.txt") << "x";
    EXPECT_TRUE(FileExists(Under(u"present.txt").c_str()));
    EXPECT_TRUE(FileExists(EnginePath(base).c_str()));
    EXPECT_FALSE(FileExists(Under(u"missing.txt").c_str()));
    EXPECT_FALSE(FileExists(nullptr));
}

TEST_F(PathUtils, FileTimesGoThroughThePlatformSeam)
{
    std::ofstream(base / "dated.txt") << "x";
    const std::u16string path = Under(u"dated.txt");
    PlatformFileTimes times;
    times.creation = 0x01C99D609476BA80; // 5 March 2009 07:04:09 UTC
    times.lastAccess = 0x01C99D609476BA80;
    times.lastWrite = 0x01BF8311159DA980; // 29 February 2000 23:59:59 UTC
    ASSERT_TRUE(PlatformSetFileTimes(path.c_str(), times));
    PlatformFileTimes readBack;
    ASSERT_TRUE(PlatformGetFileTimes(path.c_str(), &readBack));
    // Only the write time is read back: neither the host twin nor Wine on a Linux file system keeps a
    // creation time.
    EXPECT_EQ(readBack.lastWrite, times.lastWrite);
    EXPECT_FALSE(PlatformSetFileTimes(Under(u"missing.txt").c_str(), times));
}

} // namespace
