#pragma once

// The engine's records behind the result list's rows: a file row's record by its entry ID, a folder
// row's by its tree item or its folder ID, by the scan mode and the file system of the volume.
#include <afxwin.h>

#include "engine/recovery/core/engine_types.h"

#include <cstdint>

bool IsFatVolume();
// FAT or NTFS: a volume whose rows stand for records of folders and files.
bool IsKnownVolume();
// The folder ID the root's files name as their parent: 0 on FAT, 5 on NTFS.
std::uint32_t RootFolderId();

// A file's record as the rows need it; `found` false when no record has the ID. `nameSlot` is where the
// record keeps its name (the engine's heap text), for a rename.
struct FileRecordValues
{
    bool found = false;
    CString name;
    std::uint64_t size = 0;
    std::uint32_t start = 0; // first cluster, record sector or start sector
    std::uint32_t parent = 0;
    std::uint32_t deleted = 0;
    char16_t** nameSlot = nullptr;
};
FileRecordValues FindFileRecord(std::uint64_t id);

// The folder record that holds a tree item: its folder ID and its parent's, with its two times as the
// rows show them.
struct FolderRecordValues
{
    bool found = false;
    std::uint32_t id = 0;
    std::uint32_t parent = 0;
    TreeItemValue item = 0;
    char16_t** nameSlot = nullptr;
    CString created;
    CString modified;
};
FolderRecordValues FindFolderByItem(TreeItemValue item);
FolderRecordValues FindFolderById(std::uint32_t folderId);
