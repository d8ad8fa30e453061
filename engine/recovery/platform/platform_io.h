#pragma once

// The engine's only door to the operating system. The Windows build implements it in
// platform_io_win32.cpp; the host build has a POSIX twin so that the portable core and its tests run
// under the sanitizers. Paths are UTF-16 with "\" as the separator on both sides (the POSIX twin turns
// "\" into "/").

#include <cstdint>

// An open file or device: the system's handle on Windows, pointer-sized everywhere.
using PlatformHandle = std::intptr_t;
static_assert(sizeof(PlatformHandle) == sizeof(void*), "a system handle is pointer-wide");

// Nothing opened yet.
inline constexpr PlatformHandle kNoHandle = 0;
// What a failed open leaves behind (the system's invalid-handle value).
inline constexpr PlatformHandle kInvalidHandle = -1;

inline bool IsUsableHandle(PlatformHandle handle)
{
    return handle != kNoHandle && handle != kInvalidHandle;
}

// Share modes for PlatformOpenForRead.
enum class ReadShare
{
    ReadOnly,     // others may read, not write (the physical drive)
    ReadAndWrite, // others may read and write (a mounted logical volume)
};

// Opens an existing file or device for reading only; kInvalidHandle on failure.
PlatformHandle PlatformOpenForRead(const char16_t* path, ReadShare share);

void PlatformCloseHandle(PlatformHandle handle);

// Seek origins, as the system numbers them.
inline constexpr std::uint32_t kSeekFromBegin = 0;
inline constexpr std::uint32_t kSeekFromCurrent = 1;
inline constexpr std::uint32_t kSeekFromEnd = 2;

// Moves the handle's position; false when the system refuses (the position then stays).
bool PlatformSeek(PlatformHandle handle, std::int64_t distance, std::uint32_t origin,
                  std::uint64_t* newPosition);

// One system read at the current position. True when the call succeeded, whatever number of bytes it
// delivered (*bytesRead tells).
bool PlatformRead(PlatformHandle handle, void* buffer, std::uint32_t count, std::uint32_t* bytesRead);

// True when the file system reports attributes for the path (file or folder).
bool PlatformPathExists(const char16_t* path);

// File times as FILETIME values (100 ns units since 1601, UTC).
struct PlatformFileTimes
{
    std::uint64_t creation = 0;
    std::uint64_t lastAccess = 0;
    std::uint64_t lastWrite = 0;
};

// Sets all three times of an existing file. The POSIX twin cannot set a creation time and ignores it.
bool PlatformSetFileTimes(const char16_t* path, const PlatformFileTimes& times);
bool PlatformGetFileTimes(const char16_t* path, PlatformFileTimes* times);

// Ends the process at once, without unwinding or freeing anything.
[[noreturn]] void PlatformExitProcess(std::uint32_t exitCode);

// COM for the life of the object on the calling thread, apartment-threaded, as the shell's file
// information and structured storage expect of every thread that calls them; the engine's workers that
// reach them hold one. On Windows it initialises COM and uninitialises it again at the end; a thread that
// already runs COM in another apartment model keeps it untouched. The host has no COM: nothing happens.
class PlatformComScope
{
public:
    PlatformComScope();
    ~PlatformComScope();
    PlatformComScope(const PlatformComScope&) = delete;
    PlatformComScope& operator=(const PlatformComScope&) = delete;

private:
    bool initialised = false;
};
