#pragma once

// The interface of the RAR listing library "unrar.dll" as the archive list calls it: the open record,
// the header record, the result codes and the four entry points. Handles are pointer-sized; a caller
// zeroes sizeof its record.
#include <windows.h>

enum : int
{
    ERAR_SUCCESS = 0,
    ERAR_END_ARCHIVE = 10,
    ERAR_BAD_DATA = 12,
    ERAR_BAD_ARCHIVE = 13,
    ERAR_UNKNOWN_FORMAT = 14,
    ERAR_EOPEN = 15,
    ERAR_UNKNOWN = 21,
    ERAR_MISSING_PASSWORD = 22,
};

enum : int
{
    RAR_OM_LIST = 0,
};

enum : int
{
    RAR_SKIP = 0,
};

struct RAROpenArchiveDataEx
{
    // The archive's path, single-byte; ArcNameW, when set, is used instead.
    char* ArcName;
    wchar_t* ArcNameW;
    unsigned int OpenMode;
    unsigned int OpenResult;
    // Comments are not read: CmtSize and CmtState stay 0.
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
    unsigned int Flags;
};

struct RARHeaderDataEx
{
    char ArcName[1024];
    wchar_t ArcNameW[1024];
    // The member's name with "\" between its folders.
    char FileName[1024];
    wchar_t FileNameW[1024];
    unsigned int Flags;
    unsigned int PackSize;
    unsigned int PackSizeHigh;
    unsigned int UnpSize;
    unsigned int UnpSizeHigh;
    unsigned int HostOS;
    unsigned int FileCRC;
    // MS-DOS date (high word) and time (low word), local time.
    unsigned int FileTime;
    unsigned int FileAttr;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
};

typedef HANDLE(WINAPI* RAROpenArchiveExFunction)(RAROpenArchiveDataEx* archiveData);
typedef int(WINAPI* RARCloseArchiveFunction)(HANDLE archive);
typedef int(WINAPI* RARReadHeaderExFunction)(HANDLE archive, RARHeaderDataEx* headerData);
typedef int(WINAPI* RARProcessFileFunction)(HANDLE archive, int operation, char* destPath, char* destName);
