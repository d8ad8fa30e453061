#pragma once

// The Quick Scan's NTFS finds as rows with their full paths: what the recovered-items tree and the
// result list show, flattened for the probe and the tests. Only what the tree reaches from the root is
// listed; a folder whose parents never lead to the root, and the files in it, are not.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct QuickNtfsRow
{
    bool folder = false;
    std::uint32_t deleted = 0;
    std::uint64_t size = 0; // 0 for folders
    std::uint64_t entryId =
        0;               // files: the data-record sector (the result list's ID); folders: the record number
    std::u16string path; // names from the root joined with "/", as stored on the volume
};

// Each folder once, then the files in it, then its folders, from the root down. Parent loops and folders
// listed twice are walked once.
std::vector<QuickNtfsRow> CollectQuickNtfsRows();

// Rows of files named by their own names, under their parent folders' numbers, each in list order.
using NtfsFileRowsByParent = std::unordered_map<std::uint32_t, std::vector<QuickNtfsRow>>;

// The folders of the entry list with those files, as rows with full paths in the order above.
std::vector<QuickNtfsRow> NtfsTreeRows(NtfsFileRowsByParent filesByParent);
