#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/image/disk_image_file_platform.h"
#include "engine/image/utf16_path.h"

namespace image_file_platform {

NativeFileHandle OpenFile(std::u16string_view path, uint32_t access, uint32_t /*shareMode*/,
                          void* /*securityAttributes*/, uint32_t disposition, uint32_t /*flagsAndAttributes*/,
                          NativeFileHandle /*templateFile*/)
{
    using namespace image_file_flags;
    std::string utf8;
    if (!Utf16ToUtf8(path, utf8) || utf8.empty() || utf8.find('\0') != std::string::npos)
        return kInvalidFileHandle;

    const bool reads = (access & kGenericRead) != 0;
    const bool writes = (access & kGenericWrite) != 0;
    int flags = writes ? (reads ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (disposition) {
    case kCreateNew:
        flags |= O_CREAT | O_EXCL;
        break;
    case kCreateAlways:
        flags |= O_CREAT | O_TRUNC;
        break;
    case kOpenExisting:
        break;
    case kOpenAlways:
        flags |= O_CREAT;
        break;
    case kTruncateExisting:
        flags |= O_TRUNC;
        break;
    default:
        return kInvalidFileHandle;
    }
    int descriptor = ::open(utf8.c_str(), flags | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return kInvalidFileHandle;
    // Descriptor 0 would look like "no handle"; it can only come back when stdin was closed.
    if (descriptor == 0) {
        const int moved = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
        ::close(descriptor);
        if (moved < 0)
            return kInvalidFileHandle;
        descriptor = moved;
    }
    // A directory opens for reading on POSIX but not as a file on Windows; keep the two alike.
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        ::close(descriptor);
        return kInvalidFileHandle;
    }
    return descriptor;
}

void CloseFile(NativeFileHandle handle)
{
    ::close(static_cast<int>(handle));
}

bool SetPosition(NativeFileHandle handle, int64_t target, uint64_t& newPosition)
{
    if (target < 0)
        return false;
    const off_t reached = ::lseek(static_cast<int>(handle), static_cast<off_t>(target), SEEK_SET);
    if (reached < 0)
        return false;
    newPosition = static_cast<uint64_t>(reached);
    return true;
}

bool QueryPosition(NativeFileHandle handle, uint64_t& position)
{
    const off_t current = ::lseek(static_cast<int>(handle), 0, SEEK_CUR);
    if (current < 0)
        return false;
    position = static_cast<uint64_t>(current);
    return true;
}

bool QuerySize(NativeFileHandle handle, uint64_t& size)
{
    struct stat status;
    if (::fstat(static_cast<int>(handle), &status) != 0)
        return false;
    size = static_cast<uint64_t>(status.st_size);
    return true;
}

bool ReadBytes(NativeFileHandle handle, void* buffer, uint32_t count, uint32_t& delivered)
{
    delivered = 0;
    auto* bytes = static_cast<uint8_t*>(buffer);
    // read() may stop short of a large request in the middle of a file; only the end stops us.
    while (delivered < count) {
        const size_t wanted = std::min<size_t>(count - delivered, 1u << 30);
        const ssize_t got = ::read(static_cast<int>(handle), bytes + delivered, wanted);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        delivered += static_cast<uint32_t>(got);
    }
    return true;
}

} // namespace image_file_platform
