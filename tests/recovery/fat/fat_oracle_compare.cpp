#include "fat_oracle_compare.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>

#include "engine/recovery/core/engine_types.h"
#include "engine_probe/probe_scan_rows.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"

std::vector<FatPartitionRow> FatPartitionRows()
{
    std::vector<FatPartitionRow> rows;
    for (const auto& row :
         test_support::ReadTsv(test_support::JoinPath(test_support::TestDisksDir(), "partitions.tsv"))) {
        if (row.size() < 8 || (row[4] != "fat16" && row[4] != "fat32"))
            continue;
        rows.push_back({row[0], row[1], static_cast<std::uint32_t>(std::stoul(row[2])),
                        static_cast<std::uint32_t>(std::stoul(row[3])),
                        row[4] == "fat16" ? kFsFat16 : kFsFat32, row[7]});
    }
    return rows;
}

namespace {

// An 8.3 name as a short entry can hold it: up to 8 characters, optionally "." and up to 3, ASCII
// without spaces.
bool IsShortNameForm(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    const std::size_t dot = name.find('.');
    const std::size_t base = dot == std::string::npos ? name.size() : dot;
    const std::size_t extension = dot == std::string::npos ? 0 : name.size() - dot - 1;
    if (base == 0 || base > 8 || extension > 3 ||
        (dot != std::string::npos && name.find('.', dot + 1) != std::string::npos))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) > 32 && static_cast<unsigned char>(c) < 127;
    });
}

} // namespace

std::string NormalName(std::string name, bool deleted)
{
    if (!IsShortNameForm(name))
        return name;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    if (deleted)
        name[0] = '?';
    return name;
}

std::vector<FatListingEntry> FlsEntries(const std::string& filesTsv)
{
    std::vector<FatListingEntry> entries;
    for (const auto& row :
         test_support::ReadTsv(test_support::JoinPath(test_support::TestDisksDir(), filesTsv))) {
        if (row.size() < 9)
            continue;
        const std::string& kind = row[1];
        if (kind == "v" || kind == "l" || row[8].starts_with("$OrphanFiles"))
            continue;
        const std::uint64_t size = std::stoull(row[4]);
        entries.push_back({kind == "d" ? 'D' : 'F', row[2] == "1", size, row[8]});
    }
    return entries;
}

std::vector<FatListingEntry> ScannedEntries()
{
    std::vector<FatListingEntry> entries;
    for (const ProbeScanRow& row : CollectProbeScanRows())
        entries.push_back({row.kind, row.deleted != 0, row.size, row.path});
    return entries;
}

std::vector<std::string> Keys(const std::vector<FatListingEntry>& entries)
{
    std::map<std::string, bool> deletedFolders;
    for (const FatListingEntry& entry : entries)
        if (entry.kind == 'D')
            deletedFolders[entry.path] = entry.deleted;
    std::vector<std::string> keys;
    for (const FatListingEntry& entry : entries) {
        std::string prefix;
        std::string normal;
        std::size_t from = 0;
        for (;;) {
            const std::size_t slash = entry.path.find('/', from);
            const std::string part = entry.path.substr(from, slash - from);
            prefix += (from ? "/" : "") + part;
            normal += (from ? "/" : "") +
                      NormalName(part, slash == std::string::npos ? entry.deleted : deletedFolders[prefix]);
            if (slash == std::string::npos)
                break;
            from = slash + 1;
        }
        keys.push_back(std::string(1, entry.kind) + (entry.deleted ? " deleted " : " live ") +
                       (entry.kind == 'F' ? std::to_string(entry.size) : "-") + " " + normal);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

KeyDifference DifferenceOf(const std::vector<std::string>& expected, const std::vector<std::string>& actual)
{
    KeyDifference difference;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                        std::back_inserter(difference.missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(),
                        std::back_inserter(difference.extra));
    return difference;
}

std::string Describe(const KeyDifference& difference)
{
    std::string text;
    for (const auto& line : difference.missing)
        text += "  missing:    " + line + "\n";
    for (const auto& line : difference.extra)
        text += "  unexpected: " + line + "\n";
    return text;
}
