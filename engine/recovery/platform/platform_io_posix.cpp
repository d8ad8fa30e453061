#include "engine/recovery/platform/platform_io.h"

#include "engine/recovery/platform/host_path_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

PlatformHandle PlatformOpenForRead(const char16_t* path, ReadShare /*share*/)
{
    const int fd = open(HostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return kInvalidHandle;
    return HandleOf(fd);
}

void PlatformCloseHandle(PlatformHandle handle)
{
    if (IsUsableHandle(handle))
        close(DescriptorOf(handle));
}

bool PlatformSeek(PlatformHandle handle, std::int64_t distance, std::uint32_t origin,
                  std::uint64_t* newPosition)
{
    if (!IsUsableHandle(handle))
        return false;
    int whence = SEEK_SET;
    if (origin == kSeekFromCurrent)
        whence = SEEK_CUR;
    else if (origin == kSeekFromEnd)
        whence = SEEK_END;
    else if (origin != kSeekFromBegin)
        return false;
    const off_t reached = lseek(DescriptorOf(handle), static_cast<off_t>(distance), whence);
    if (reached < 0)
        return false;
    if (newPosition)
        *newPosition = static_cast<std::uint64_t>(reached);
    return true;
}

bool PlatformRead(PlatformHandle handle, void* buffer, std::uint32_t count, std::uint32_t* bytesRead)
{
    if (bytesRead)
        *bytesRead = 0;
    if (!IsUsableHandle(handle))
        return false;
    // The Win32 read delivers everything up to the end of the file in one call; read(2) may stop early.
    std::uint32_t total = 0;
    while (total < count) {
        const ssize_t got = read(DescriptorOf(handle), static_cast<char*>(buffer) + total, count - total);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        total += static_cast<std::uint32_t>(got);
    }
    if (bytesRead)
        *bytesRead = total;
    return true;
}

bool PlatformPathExists(const char16_t* path)
{
    struct stat info;
    return stat(HostPath(path).c_str(), &info) == 0;
}

bool PlatformSetFileTimes(const char16_t* path, const PlatformFileTimes& times)
{
    const timespec both[2] = {FiletimeToTimespec(times.lastAccess), FiletimeToTimespec(times.lastWrite)};
    return utimensat(AT_FDCWD, HostPath(path).c_str(), both, 0) == 0;
}

bool PlatformGetFileTimes(const char16_t* path, PlatformFileTimes* times)
{
    struct stat info;
    if (stat(HostPath(path).c_str(), &info) != 0)
        return false;
    times->creation = 0;
    times->lastAccess = TimespecToFiletime(info.st_atim);
    times->lastWrite = TimespecToFiletime(info.st_mtim);
    return true;
}

void PlatformExitProcess(std::uint32_t exitCode)
{
    _exit(static_cast<int>(exitCode));
}

PlatformComScope::PlatformComScope() = default;

PlatformComScope::~PlatformComScope() = default;
