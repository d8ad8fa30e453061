#pragma once

// Finding files by a name pattern across the whole scanned volume, for the Find File(s) dialog: one pass
// over the found-file list of the current volume, in list order. FAT: every file record. NTFS after a
// Quick Scan: the scan nodes. NTFS after an Extensive Scan: the file records that lie within the
// volume's sectors. File Trace results are not searched.
//
// Names and the pattern are compared in upper case with MatchWildcard, so "*.txt" finds "UPPER.TXT".
// Runs on the Find dialog's worker; the tree path of a file's folder is asked of the recovered-items
// tree (RecoveryTreeUi::GetItemPath), once per folder.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// One found file as the Find list shows it.
struct FoundFileRow
{
    std::u16string name;
    // "\" and the tree path of the file's folder; "\" alone when no folder record holds the file.
    std::u16string path;
    std::uint64_t size = 0;
    // NTFS creation and change times, or the FAT write and last-access dates, as the result list
    // writes them.
    std::u16string created;
    std::u16string modified;
    // FAT file ID, MFT record sector, or the scan node's data record sector.
    std::uint64_t id = 0;
};

// Hands every file whose name matches to `add`, in list order, until the list ends or `stop` is set
// (checked before each record). Returns the number of rows handed over.
std::uint32_t FindFiles(const char16_t* pattern, const std::atomic<int>& stop,
                        const std::function<void(const FoundFileRow&)>& add);
