#include "engine/recovery/save/save_output_io.h"

#include "engine/recovery/platform/host_path_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#ifdef __linux__
#include <sys/vfs.h>
#endif
#include <unistd.h>

PlatformHandle OutputCreateFile(const char16_t* path)
{
    // O_NOFOLLOW: a link standing where a recovered file goes is not followed out of the folder.
    const int fd = open(HostPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return kInvalidHandle;
    return HandleOf(fd);
}

PlatformHandle OutputCreateNewFile(const char16_t* path)
{
    const int fd = open(HostPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return kInvalidHandle;
    return HandleOf(fd);
}

bool OutputWrite(PlatformHandle file, const void* bytes, std::uint32_t count)
{
    if (!IsUsableHandle(file))
        return false;
    const char* next = static_cast<const char*>(bytes);
    std::uint32_t left = count;
    while (left > 0) {
        const ssize_t written = write(DescriptorOf(file), next, left);
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

bool OutputMarkSparse(PlatformHandle file)
{
    return IsUsableHandle(file);
}

OutputTargetFacts OutputFactsOf(const char16_t* folder)
{
    OutputTargetFacts facts;
    struct statvfs volume;
    if (statvfs(HostPath(folder).c_str(), &volume) == 0)
        facts.freeBytes = static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
#ifdef __linux__
    // FAT and exFAT are the file systems a host mounts that keep no holes.
    constexpr unsigned long kMsdosMagic = 0x4d44;
    constexpr unsigned long kExfatMagic = 0x2011BAB0;
    struct statfs system;
    if (statfs(HostPath(folder).c_str(), &system) == 0) {
        const auto type = static_cast<unsigned long>(system.f_type);
        facts.keepsHoles = type != kMsdosMagic && type != kExfatMagic;
    }
#endif
    return facts;
}

bool OutputSkip(PlatformHandle file, std::uint64_t count)
{
    if (!IsUsableHandle(file) || count > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    return lseek(DescriptorOf(file), static_cast<off_t>(count), SEEK_CUR) >= 0;
}

bool OutputEndHere(PlatformHandle file)
{
    if (!IsUsableHandle(file))
        return false;
    const off_t end = lseek(DescriptorOf(file), 0, SEEK_CUR);
    return end >= 0 && ftruncate(DescriptorOf(file), end) == 0;
}

bool OutputDeleteFile(const char16_t* path)
{
    return unlink(HostPath(path).c_str()) == 0;
}

bool OutputClose(PlatformHandle file)
{
    if (!IsUsableHandle(file))
        return false;
    return close(DescriptorOf(file)) == 0;
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

bool OutputSetHandleTimes(PlatformHandle file, const PlatformFileTimes& times)
{
    if (!IsUsableHandle(file))
        return false;
    const timespec both[2] = {FiletimeToTimespec(times.lastAccess), FiletimeToTimespec(times.lastWrite)};
    return futimens(DescriptorOf(file), both) == 0;
}

bool OutputSetFileTimes(const char16_t* path, const PlatformFileTimes& times)
{
    const timespec both[2] = {FiletimeToTimespec(times.lastAccess), FiletimeToTimespec(times.lastWrite)};
    return utimensat(AT_FDCWD, HostPath(path).c_str(), both, AT_SYMLINK_NOFOLLOW) == 0;
}
