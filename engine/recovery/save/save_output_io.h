#pragma once

// Writing recovered files and folders: the savers' door to the system, beside platform_io (which opens
// sources read-only). Windows: save_output_io_win32.cpp; hosts: save_output_io_posix.cpp. Paths are
// UTF-16 with "\" separators. On Windows a long path is handed to the system in its "\\?\" form, so that
// deep folders and long names are not refused at 260 characters.

#include <cstdint>

#include "engine/recovery/platform/platform_io.h"

// Creates the file for writing, or empties the one that is there; kInvalidHandle when that fails.
PlatformHandle OutputCreateFile(const char16_t* path);

// Creates the file for writing only where no file or folder of that name is; kInvalidHandle otherwise
// (the name is taken, or the system refused).
PlatformHandle OutputCreateNewFile(const char16_t* path);

// Writes all bytes; false when the system refused or wrote fewer (a full disk).
bool OutputWrite(PlatformHandle file, const void* bytes, std::uint32_t count);

// Asks the file's file system to keep the ranges that are skipped (OutputSkip) unallocated: an NTFS
// target needs the file marked sparse; POSIX file systems leave holes unasked. False when the target
// cannot, and the skipped ranges are then stored as zeros.
bool OutputMarkSparse(PlatformHandle file);

// What the volume that holds `folder` can take: whether its file system keeps the holes of a sparse file
// (by its own flags, not by whether a file could be marked sparse), and the bytes still free to this user
// (UINT64_MAX when the system does not say).
struct OutputTargetFacts
{
    bool keepsHoles = true;
    std::uint64_t freeBytes = UINT64_MAX;
};
OutputTargetFacts OutputFactsOf(const char16_t* folder);

// When set, the savers take the target's facts from it instead of OutputFactsOf: a test stands in for a
// target that keeps no holes, or a small one, where the machine has none to mount.
extern OutputTargetFacts (*OutputFactsHook)(const char16_t* folder);

// Moves the write position `count` bytes on without writing: the bytes between read as zeros.
bool OutputSkip(PlatformHandle file, std::uint64_t count);

// Ends the file at the write position, for a file whose last bytes were skipped.
bool OutputEndHere(PlatformHandle file);

// False when the file could not be closed cleanly (data that was not written after all).
bool OutputClose(PlatformHandle file);

// Removes a file the saver made and could not write whole.
bool OutputDeleteFile(const char16_t* path);

// Creates one folder level; true when it was created or a folder of that name is there.
bool OutputCreateFolder(const char16_t* path);

// True when a file or folder of that name is there.
bool OutputPathExists(const char16_t* path);

// Sets the creation, last-access and last-write times of an existing file (FILETIME values). The host
// twin cannot set a creation time and leaves it.
bool OutputSetFileTimes(const char16_t* path, const PlatformFileTimes& times);

// As OutputSetFileTimes, on a file open for writing (OutputCreateFile): no second open of the path.
// Set last, just before the close, so that no write moves them again.
bool OutputSetHandleTimes(PlatformHandle file, const PlatformFileTimes& times);
