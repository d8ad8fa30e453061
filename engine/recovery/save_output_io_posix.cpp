#include "engine/recovery/save_output_io.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kFiletimeTicksPerSecond = 10000000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

// UTF-16 to UTF-8 with "\" turned into "/". A lone surrogate (a name from a disk) is written as its own
// three bytes, so that two different names never meet in one host name.
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

// Descriptor 0 is valid but the engine's "nothing opened"; handles carry fd + 1 as in platform_io.
int Descriptor(PlatformHandle handle)
{
    return static_cast<int>(handle - 1);
}

timespec ToTimespec(std::uint64_t filetime)
{
    const auto ticks = static_cast<std::int64_t>(filetime);
    timespec time{};
    time.tv_sec = static_cast<time_t>(ticks / kFiletimeTicksPerSecond - kSecondsFrom1601To1970);
    time.tv_nsec = static_cast<long>((ticks % kFiletimeTicksPerSecond) * 100);
    return time;
}

} // namespace

PlatformHandle OutputCreateFile(const char16_t* path)
{
    // O_NOFOLLOW: a link standing where a recovered file goes is not followed out of the folder.
    const int fd = open(HostPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return kInvalidHandle;
    return static_cast<PlatformHandle>(fd) + 1;
}

bool OutputWrite(PlatformHandle file, const void* bytes, std::uint32_t count)
{
    if (!IsUsableHandle(file))
        return false;
    const char* next = static_cast<const char*>(bytes);
    std::uint32_t left = count;
    while (left > 0) {
        const ssize_t written = write(Descriptor(file), next, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;
        next += written;
        left -= static_cast<std::uint32_t>(written);
    }
    return true;
}

bool OutputClose(PlatformHandle file)
{
    if (!IsUsableHandle(file))
        return false;
    return close(Descriptor(file)) == 0;
}

bool OutputCreateFolder(const char16_t* path)
{
    const std::string host = HostPath(path);
    if (mkdir(host.c_str(), 0777) == 0)
        return true;
    struct stat info;
    return errno == EEXIST && lstat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool OutputPathExists(const char16_t* path)
{
    struct stat info;
    return lstat(HostPath(path).c_str(), &info) == 0;
}

bool OutputSetFileTimes(const char16_t* path, const PlatformFileTimes& times)
{
    const timespec both[2] = {ToTimespec(times.lastAccess), ToTimespec(times.lastWrite)};
    return utimensat(AT_FDCWD, HostPath(path).c_str(), both, AT_SYMLINK_NOFOLLOW) == 0;
}
