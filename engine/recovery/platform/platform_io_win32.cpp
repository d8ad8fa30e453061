#include "engine/recovery/platform/platform_io.h"

#include <windows.h>

#include <objbase.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text meets the Win32 API unconverted");

namespace {

const wchar_t* Wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

HANDLE ToHandle(PlatformHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

PlatformHandle FromHandle(HANDLE handle)
{
    return reinterpret_cast<PlatformHandle>(handle);
}

FILETIME ToFiletime(std::uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

std::uint64_t FromFiletime(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

PlatformHandle PlatformOpenForRead(const char16_t* path, ReadShare share)
{
    const DWORD shareMode =
        share == ReadShare::ReadAndWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    HANDLE handle = CreateFileW(Wide(path), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return FromHandle(handle);
}

void PlatformCloseHandle(PlatformHandle handle)
{
    if (IsUsableHandle(handle))
        CloseHandle(ToHandle(handle));
}

bool PlatformSeek(PlatformHandle handle, std::int64_t distance, std::uint32_t origin,
                  std::uint64_t* newPosition)
{
    LARGE_INTEGER move;
    move.QuadPart = distance;
    LARGE_INTEGER reached;
    reached.QuadPart = 0;
    if (!SetFilePointerEx(ToHandle(handle), move, &reached, origin))
        return false;
    if (newPosition)
        *newPosition = static_cast<std::uint64_t>(reached.QuadPart);
    return true;
}

bool PlatformRead(PlatformHandle handle, void* buffer, std::uint32_t count, std::uint32_t* bytesRead)
{
    DWORD delivered = 0;
    const BOOL ok = ReadFile(ToHandle(handle), buffer, count, &delivered, nullptr);
    if (bytesRead)
        *bytesRead = delivered;
    return ok != FALSE;
}

bool PlatformPathExists(const char16_t* path)
{
    return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
}

bool PlatformSetFileTimes(const char16_t* path, const PlatformFileTimes& times)
{
    HANDLE file = CreateFileW(Wide(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const FILETIME creation = ToFiletime(times.creation);
    const FILETIME lastAccess = ToFiletime(times.lastAccess);
    const FILETIME lastWrite = ToFiletime(times.lastWrite);
    const BOOL ok = SetFileTime(file, &creation, &lastAccess, &lastWrite);
    CloseHandle(file);
    return ok != FALSE;
}

bool PlatformGetFileTimes(const char16_t* path, PlatformFileTimes* times)
{
    HANDLE file = CreateFileW(Wide(path), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME creation{}, lastAccess{}, lastWrite{};
    const BOOL ok = GetFileTime(file, &creation, &lastAccess, &lastWrite);
    CloseHandle(file);
    if (!ok)
        return false;
    times->creation = FromFiletime(creation);
    times->lastAccess = FromFiletime(lastAccess);
    times->lastWrite = FromFiletime(lastWrite);
    return true;
}

void PlatformExitProcess(std::uint32_t exitCode)
{
    ExitProcess(exitCode);
}

PlatformComScope::PlatformComScope()
    : initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
{}

PlatformComScope::~PlatformComScope()
{
    if (initialised)
        CoUninitialize();
}
