#pragma once

// Comparing what a scan of a FAT volume found with what Sleuth Kit's fls lists for it, as sorted lines
// that both sides can agree on.

#include <cstdint>
#include <string>
#include <vector>

#include "support/oracle_files.h"

// A FAT16 or FAT32 partition of the test disks' partitions.tsv.
using FatPartitionRow = test_support::PartitionRow;

// The FAT16 and FAT32 rows of partitions.tsv, in its order.
std::vector<FatPartitionRow> FatPartitionRows();

// A folder ('D') or file ('F'), its path from the volume root with "/" between names.
struct FatListingEntry
{
    char kind;
    bool deleted;
    std::uint64_t size;
    std::string path;
};

// A name as both sides can agree on it: an 8.3 name without regard to case (Sleuth Kit applies the
// lower-case flags, the program does not), and without its first character when it is deleted (the
// program writes "x", Sleuth Kit "_").
std::string NormalName(std::string name, bool deleted);

// What fls lists (the files TSV under the test disks), empty files included, less what the program is not
// expected to find: Sleuth Kit's own entries ($MBR, $FAT1, $FAT2 and what stands under $OrphanFiles) and
// volume labels.
std::vector<FatListingEntry> FlsEntries(const std::string& filesTsv);

// The found lists of the last scan, as the probe's scan rows give them.
std::vector<FatListingEntry> ScannedEntries();

// One sorted line per entry, names normalised as NormalName does, also the name of a deleted folder
// within a path; folders without a size (the program keeps none; fls gives the clusters' bytes).
std::vector<std::string> Keys(const std::vector<FatListingEntry>& entries);

// Lines of `expected` that `actual` lacks, and lines of `actual` beyond them.
struct KeyDifference
{
    std::vector<std::string> missing;
    std::vector<std::string> extra;
};
KeyDifference DifferenceOf(const std::vector<std::string>& expected, const std::vector<std::string>& actual);

// "  missing:    LINE" and "  unexpected: LINE" lines, for a readable failure.
std::string Describe(const KeyDifference& difference);
