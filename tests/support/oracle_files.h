#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace test_support {

// One row of a tab-separated oracle file, split at tabs.
using TsvRow = std::vector<std::string>;

// Reads a tab-separated file; blank lines and lines starting with '#' are skipped.
// Fails the calling test (and returns no rows) when the file cannot be opened.
std::vector<TsvRow> ReadTsv(const std::string& path);

// A partition of the test disks' partitions.tsv: its disk, number, first sector and sector count,
// file-system code and its files TSV (the fls listing).
struct PartitionRow
{
    std::string disk;
    std::string part;
    std::uint32_t start = 0;
    std::uint32_t sectors = 0;
    std::uint16_t fsCode = 0;
    std::string files;
};

// The image files made of one test disk (column 2 of the test disks' "images.tsv"), in file order.
std::vector<std::string> ImagesOfDisk(const std::string& disk);

// The disks named by rows of the test disks' partition table (anything with `disk`), each once, in order.
template <class Row> std::vector<std::string> DisksOfRows(const std::vector<Row>& rows)
{
    std::vector<std::string> disks;
    for (const Row& row : rows)
        if (std::find(disks.begin(), disks.end(), row.disk) == disks.end())
            disks.push_back(row.disk);
    return disks;
}

// The row of partition `part` of `disk`; fails the calling test and gives an empty row when there is none.
template <class Row>
Row RowOfPartition(const std::vector<Row>& rows, const std::string& disk, const std::string& part)
{
    for (const Row& row : rows)
        if (row.disk == disk && row.part == part)
            return row;
    ADD_FAILURE() << disk << " has no such partition " << part;
    return {};
}

// Whole file as bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

} // namespace test_support
