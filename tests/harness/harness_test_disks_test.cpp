// The real test disks are there and their oracle files can be read.
#include <gtest/gtest.h>

#include "support/oracle_files.h"
#include "support/test_paths.h"

using namespace test_support;

TEST(HarnessTestDisks, EveryListedDiskAndOracleExists)
{
    ASSERT_TRUE(TestDisksAvailable()) << "run tools/make-test-disks first (" << TestDisksDir() << ")";
    const auto disks = ReadTsv(JoinPath(TestDisksDir(), "disks.tsv"));
    ASSERT_FALSE(disks.empty());
}
