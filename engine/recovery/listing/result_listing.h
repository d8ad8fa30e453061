#pragma once

// Lists the entries of one folder, taken from the found-entry lists, into the result list of the results
// view, one routine per kind of result, and sums the size of what the user has marked. The routines
// only read the lists; they run on whichever thread calls them (the user-interface thread, a scan
// worker, the result list's wait-dialog worker, the snapshot reader) and rely on only one of them
// running at a time.
//
// Rows: an up entry "Parent..." first unless the folder is the root, then the folder's subfolders (never
// filtered), then its files that pass the file filters, each row inserted at the end with its check box
// set. Columns after a Quick or Extensive Scan: name, type, size, creation time, modification time, ID;
// after a File Trace: name, type, ID.

#include <cstdint>
#include <vector>

inline constexpr std::uint32_t kNtfsRootFolder = 5;
inline constexpr std::uint32_t kFatRootFolder = 0;

inline constexpr char16_t kParentEntryText[] = u"Parent...";

// An NTFS folder by its folder number; hands over to ListFolderNtfsExtensive after an Extensive Scan of
// an NTFS volume.
void ListFolderNtfs(std::uint32_t folder);
// The Extensive Scan's files: only records that lie within the volume's sectors.
void ListFolderNtfsExtensive(std::uint32_t folder);
// A FAT folder by its folder value (the first cluster; 0 for the root).
void ListFolderFat(std::uint32_t folder);

// File Trace: byType 0 with "Root" lists the type folders (texts compared exactly); byType 0 with any
// other name lists the items of that extension; byType 1 the items of that type name.
void ListFolderTrace(const char16_t* name, int byType);
// The entry IDs of the found items that ListFolderTrace lists for the same name, whatever the file filter;
// every item for "Root". What a box of the File Trace tree marks.
std::vector<std::uint64_t> TraceItemIds(const char16_t* name, int byType);
// The top level of a File Trace result: one folder row per type name, told apart without regard to case.
void ListTraceTypeFolders();

// Sums the sizes of the marked entries (marked FAT folders with their contents) and shows
// "Selected Size : " n " MB" in whole mebibytes.
void ComputeSelectedSize();
