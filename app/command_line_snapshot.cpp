#include "command_line_snapshot.h"

#include <windows.h>

#include "engine/recovery/core/engine_types.h"

#include <cstdio>

std::wstring CommandLineToSnapshotPath(const wchar_t* commandLine)
{
    std::wstring path;
    for (const wchar_t* p = commandLine; p != nullptr && *p != L'\0'; ++p) {
        if (*p != L'"')
            path += *p;
    }
    if (!path.empty())
        ::CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

SnapshotLetter ReadSnapshotModeLetter(const wchar_t* path, std::uint32_t& scanKind)
{
    FILE* file = _wfopen(path, L"rb");
    if (file == nullptr)
        return SnapshotLetter::Unreadable;
    unsigned char bytes[2] = {};
    const size_t read = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    if (read != sizeof bytes)
        return SnapshotLetter::Unknown;
    switch (bytes[0] | (bytes[1] << 8)) {
    case L'D':
        scanKind = kScanQuick;
        return SnapshotLetter::Known;
    case L'A':
        scanKind = kScanExtensive;
        return SnapshotLetter::Known;
    case L'R':
        scanKind = kScanFileTrace;
        return SnapshotLetter::Known;
    default:
        return SnapshotLetter::Unknown;
    }
}
