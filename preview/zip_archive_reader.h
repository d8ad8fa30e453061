#pragma once

// A small reading layer over minizip's unzip for the archive list: opens a ZIP archive by its file name,
// describes any member as a fixed record with Windows attributes and file times, and closes it. Every
// call returns a result code and leaves it in ZipArchiveLastError too.
#include <windows.h>

#include <cstdint>

enum ZipArchiveResult : DWORD
{
    kZipOk = 0,
    kZipCannotOpen = 0x200,
    kZipLocalHeaderInconsistent = 0x700,
    kZipLocalExtraUnreadable = 0x800,
    kZipBadArgument = 0x10000,
    kZipNotOurHandle = 0x80000,
};

// The kind of a handle of this reader.
inline constexpr DWORD kZipHandleReading = 1;
// The only file-name kind: a path on disk.
inline constexpr int kZipFileNameIsPath = 1;

struct ZipArchiveState;

struct ZipArchiveHandle
{
    DWORD kind;
    ZipArchiveState* state;
};

struct ZipArchiveEntry
{
    // The member's index; for the request -1, the number of members.
    std::int32_t index;
    // The stored name with its folders, from the archive's single-byte text in the ANSI code page.
    wchar_t name[MAX_PATH];
    DWORD attributes;
    // UTC: the MS-DOS time is local time and is converted; "UT" times are UTC already.
    FILETIME accessTime;
    FILETIME creationTime;
    FILETIME modificationTime;
    std::int32_t compressedSize;
    std::int32_t uncompressedSize;
};

extern DWORD ZipArchiveLastError;

// Null when the file cannot be opened or holds no ZIP archive (both kZipCannotOpen).
ZipArchiveHandle* ZipArchiveOpen(const wchar_t* path, DWORD reserved, int fileNameKind);
DWORD ZipArchiveGetItem(ZipArchiveHandle* handle, int index, ZipArchiveEntry* entry);
DWORD ZipArchiveClose(ZipArchiveHandle* handle);
