// The harness itself: the host build must carry the sanitizers, and the oracle reader must
// split the files the disk script writes the way the tests expect.
#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

#include "support/oracle_files.h"

TEST(Harness, HostBuildRunsUnderSanitizers)
{
#if defined(_WIN32)
    GTEST_SKIP() << "sanitizers are a host-build matter";
#elif defined(__SANITIZE_ADDRESS__)
    SUCCEED();
#else
    FAIL() << "the native preset must build with -fsanitize=address,undefined";
#endif
}

TEST(Harness, TsvReaderSplitsTabsAndSkipsCommentsAndBlankLines)
{
    const std::string path = testing::TempDir() + "harness_oracle.tsv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "# comment\r\n\r\na\tb\t\r\n\tonly-second\nlast";
    }
    const auto rows = test_support::ReadTsv(path);
    std::remove(path.c_str());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (test_support::TsvRow{"a", "b", ""}));
    EXPECT_EQ(rows[1], (test_support::TsvRow{"", "only-second"}));
    EXPECT_EQ(rows[2], (test_support::TsvRow{"last"}));
}
