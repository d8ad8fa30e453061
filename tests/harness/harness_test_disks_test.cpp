// The real test disks are there, and every file their index names can be read back.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/oracle_files.h"
#include "support/test_paths.h"

using namespace test_support;

namespace {

bool Exists(const std::string& name)
{
    std::ifstream file(JoinPath(TestDisksDir(), name), std::ios::binary);
    return file.good();
}

} // namespace

TEST(HarnessTestDisks, EveryIndexedImageAndOracleExists)
{
    ASSERT_TRUE(TestDisksAvailable()) << "run tools/make-test-disks first (" << TestDisksDir() << ")";

    const auto disks = ReadTsv(JoinPath(TestDisksDir(), "disks.tsv"));
    ASSERT_GE(disks.size(), 5u);
    for (const auto& disk : disks) {
        ASSERT_EQ(disk.size(), 6u);
        SCOPED_TRACE(disk[0]);
        if (disk[1] != "-") {
            EXPECT_TRUE(Exists(disk[1]));
        }
        std::istringstream images(disk[4]);
        std::string image;
        int imageCount = 0;
        while (images >> image) {
            EXPECT_TRUE(Exists(image)) << image;
            ++imageCount;
        }
        EXPECT_GE(imageCount, 3);
    }

    const auto partitions = ReadTsv(JoinPath(TestDisksDir(), "partitions.tsv"));
    ASSERT_FALSE(partitions.empty());
    for (const auto& partition : partitions) {
        ASSERT_EQ(partition.size(), 8u);
        SCOPED_TRACE(partition[7]);
        const auto files = ReadTsv(JoinPath(TestDisksDir(), partition[7]));
        EXPECT_FALSE(files.empty());
        for (const auto& file : files)
            EXPECT_EQ(file.size(), 10u);
    }
}
