#include "engine/recovery/platform_io.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// FILETIME counts from 1601; the Unix clock from 1970.
constexpr std::int64_t kFiletimeTicksPerSecond = 10000000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

// UTF-16 to UTF-8, with the engine's "\" separators turned into "/".
std::string HostPath(const char16_t* path)
{
    std::string result;
    for (const char16_t* p = path; *p; ++p) {
        std::uint32_t code = *p;
        if (code >= 0xD800 && code <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (code == '\\')
            code = '/';
        if (code < 0x80) {
            result += static_cast<char>(code);
        } else if (code < 0x800) {
            result += static_cast<char>(0xC0 | (code >> 6));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            result += static_cast<char>(0xE0 | (code >> 12));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (code >> 18));
            result += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return result;
}

// Descriptor 0 is a valid descriptor but the engine's "nothing opened" value, so handles carry fd + 1.
int Descriptor(PlatformHandle handle)
{
    return static_cast<int>(handle - 1);
}

timespec ToTimespec(std::uint64_t filetime)
{
    const std::int64_t ticks = static_cast<std::int64_t>(filetime);
    timespec time{};
    time.tv_sec = static_cast<time_t>(ticks / kFiletimeTicksPerSecond - kSecondsFrom1601To1970);
    time.tv_nsec = static_cast<long>((ticks % kFiletimeTicksPerSecond) * 100);
    return time;
}

std::uint64_t FromTimespec(const timespec& time)
{
    return static_cast<std::uint64_t>((static_cast<std::int64_t>(time.tv_sec) + kSecondsFrom1601To1970) *
                                          kFiletimeTicksPerSecond +
                                      time.tv_nsec / 100);
}

} // namespace

PlatformHandle PlatformOpenForRead(const char16_t* path, ReadShare /*share*/)
{
    const int fd = open(HostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return kInvalidHandle;
    return static_cast<PlatformHandle>(fd) + 1;
}

void PlatformCloseHandle(PlatformHandle handle)
{
    if (IsUsableHandle(handle))
        close(Descriptor(handle));
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
    const off_t reached = lseek(Descriptor(handle), static_cast<off_t>(distance), whence);
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
        const ssize_t got = read(Descriptor(handle), static_cast<char*>(buffer) + total, count - total);
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

bool PlatformCreateFolder(const char16_t* path)
{
    return mkdir(HostPath(path).c_str(), 0777) == 0;
}

bool PlatformPathExists(const char16_t* path)
{
    struct stat info;
    return stat(HostPath(path).c_str(), &info) == 0;
}

bool PlatformSetFileTimes(const char16_t* path, const PlatformFileTimes& times)
{
    const timespec both[2] = {ToTimespec(times.lastAccess), ToTimespec(times.lastWrite)};
    return utimensat(AT_FDCWD, HostPath(path).c_str(), both, 0) == 0;
}

bool PlatformGetFileTimes(const char16_t* path, PlatformFileTimes* times)
{
    struct stat info;
    if (stat(HostPath(path).c_str(), &info) != 0)
        return false;
    times->creation = 0;
    times->lastAccess = FromTimespec(info.st_atim);
    times->lastWrite = FromTimespec(info.st_mtim);
    return true;
}

void PlatformExitProcess(std::uint32_t exitCode)
{
    _exit(static_cast<int>(exitCode));
}
