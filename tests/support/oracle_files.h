#pragma once

#include <string>
#include <vector>

namespace test_support {

// One row of a tab-separated oracle file, split at tabs.
using TsvRow = std::vector<std::string>;

// Reads a tab-separated file; blank lines and lines starting with '#' are skipped.
// Fails the calling test (and returns no rows) when the file cannot be opened.
std::vector<TsvRow> ReadTsv(const std::string& path);

// Whole file as bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

} // namespace test_support
