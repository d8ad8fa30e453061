#include "engine/recovery/save/save_output_io.h"

#include <string>

#include <windows.h>
#include <winioctl.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text meets the Win32 API unconverted");

namespace {

// Below this length every path the savers build goes to the system as it is.
constexpr std::size_t kShortPathLimit = 240;

// "C:\..." and "\\server\share\..." past the limit take the "\\?\" and "\\?\UNC\" forms; the savers'
// components are already safe, so the system's own name rules (which that form switches off) have
// nothing left to change.
std::wstring SystemPath(const char16_t* path)
{
    const std::wstring plain(reinterpret_cast<const wchar_t*>(path));
    if (plain.size() < kShortPathLimit)
        return plain;
    if (plain.size() >= 3 && plain[1] == L':' && plain[2] == L'\\')
        return L"\\\\?\\" + plain;
    if (plain.size() >= 3 && plain[0] == L'\\' && plain[1] == L'\\' && plain[2] != L'?' && plain[2] != L'.')
        return L"\\\\?\\UNC\\" + plain.substr(2);
    return plain;
}

HANDLE ToHandle(PlatformHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

FILETIME ToFiletime(std::uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

} // namespace

PlatformHandle OutputCreateFile(const char16_t* path)
{
    const HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return reinterpret_cast<PlatformHandle>(file);
}

PlatformHandle OutputCreateNewFile(const char16_t* path)
{
    const HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return reinterpret_cast<PlatformHandle>(file);
}

bool OutputWrite(PlatformHandle file, const void* bytes, std::uint32_t count)
{
    if (!IsUsableHandle(file))
        return false;
    DWORD written = 0;
    return WriteFile(ToHandle(file), bytes, count, &written, nullptr) && written == count;
}

bool OutputMarkSparse(PlatformHandle file)
{
    if (!IsUsableHandle(file))
        return false;
    DWORD returned = 0;
    return DeviceIoControl(ToHandle(file), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
}

OutputTargetFacts OutputFactsOf(const char16_t* folder)
{
    OutputTargetFacts facts;
    const std::wstring path = SystemPath(folder);
    // The root of the volume the folder lies on (a folder may be a mount point of another volume).
    wchar_t root[MAX_PATH + 1] = {};
    wchar_t system[MAX_PATH + 1] = {};
    DWORD flags = 0;
    // NTFS keeps holes whatever flags a layer over another file system reports for it (Wine reports
    // its host folders as NTFS, which keep holes, without the flag).
    if (GetVolumePathNameW(path.c_str(), root, MAX_PATH) &&
        GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, system, MAX_PATH))
        facts.keepsHoles = (flags & FILE_SUPPORTS_SPARSE_FILES) != 0 || _wcsicmp(system, L"NTFS") == 0;
    ULARGE_INTEGER available;
    if (GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr))
        facts.freeBytes = available.QuadPart;
    return facts;
}

bool OutputSkip(PlatformHandle file, std::uint64_t count)
{
    if (!IsUsableHandle(file) || count > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(count);
    return SetFilePointerEx(ToHandle(file), distance, nullptr, FILE_CURRENT) != 0;
}

bool OutputEndHere(PlatformHandle file)
{
    return IsUsableHandle(file) && SetEndOfFile(ToHandle(file)) != 0;
}

bool OutputDeleteFile(const char16_t* path)
{
    return DeleteFileW(SystemPath(path).c_str()) != 0;
}

bool OutputClose(PlatformHandle file)
{
    return IsUsableHandle(file) && CloseHandle(ToHandle(file));
}

bool OutputCreateFolder(const char16_t* path)
{
    const std::wstring systemPath = SystemPath(path);
    if (CreateDirectoryW(systemPath.c_str(), nullptr))
        return true;
    const DWORD attributes = GetFileAttributesW(systemPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool OutputPathExists(const char16_t* path)
{
    return GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool OutputSetHandleTimes(PlatformHandle file, const PlatformFileTimes& times)
{
    if (!IsUsableHandle(file))
        return false;
    const FILETIME creation = ToFiletime(times.creation);
    const FILETIME lastAccess = ToFiletime(times.lastAccess);
    const FILETIME lastWrite = ToFiletime(times.lastWrite);
    return SetFileTime(ToHandle(file), &creation, &lastAccess, &lastWrite) != 0;
}

bool OutputSetFileTimes(const char16_t* path, const PlatformFileTimes& times)
{
    const HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const FILETIME creation = ToFiletime(times.creation);
    const FILETIME lastAccess = ToFiletime(times.lastAccess);
    const FILETIME lastWrite = ToFiletime(times.lastWrite);
    const bool set = SetFileTime(file, &creation, &lastAccess, &lastWrite) != 0;
    CloseHandle(file);
    return set;
}
