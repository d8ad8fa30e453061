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

// False when the file could not be closed cleanly (data that was not written after all).
bool OutputClose(PlatformHandle file);

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
