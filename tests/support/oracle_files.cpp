#include "support/oracle_files.h"

#include "support/test_paths.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace test_support {

std::vector<TsvRow> ReadTsv(const std::string& path)
{
    std::vector<TsvRow> rows;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot open oracle file " << path;
        return rows;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        TsvRow row;
        std::string::size_type start = 0;
        for (;;) {
            const auto tab = line.find('\t', start);
            row.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> ImagesOfDisk(const std::string& disk)
{
    std::vector<std::string> images;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "images.tsv")))
        if (row.size() >= 2 && row[0] == disk)
            images.push_back(row[1]);
    return images;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace test_support
