#include "engine/image/disk_image_file.h"

#include <cstring>

#include "engine/image/disk_image_file_platform.h"

namespace platform = image_file_platform;

CDiskImageFile::CDiskImageFile()
    : handle(kNullFileHandle), lastReadCount(0), knownPosition(0), positionKnown(false), systemReads(0),
      systemSeeks(0)
{}

CDiskImageFile::~CDiskImageFile()
{
    Close();
}

int CDiskImageFile::Open(std::u16string_view filePath)
{
    using namespace image_file_flags;
    return OpenEx(filePath, kGenericRead, kShareRead, nullptr, kOpenExisting, kAttributeNormal,
                  kNullFileHandle);
}

int CDiskImageFile::OpenEx(std::u16string_view filePath, uint32_t access, uint32_t shareMode,
                           void* securityAttributes, uint32_t disposition, uint32_t flagsAndAttributes,
                           NativeFileHandle templateFile)
{
    Close();
    ForgetPosition();
    handle = platform::OpenFile(filePath, access, shareMode, securityAttributes, disposition,
                                flagsAndAttributes, templateFile);
    return handle != kInvalidFileHandle ? 1 : 0;
}

void CDiskImageFile::Close()
{
    if (handle == kNullFileHandle)
        return;
    if (handle != kInvalidFileHandle)
        platform::CloseFile(handle);
    handle = kNullFileHandle;
    ForgetPosition();
}

uint64_t CDiskImageFile::Seek(uint64_t offset, uint32_t origin, uint32_t direction)
{
    uint64_t target = 0;
    if (origin == kFromBegin) {
        target = offset;
    } else if ((origin == kFromCurrent || origin == kFromEnd) &&
               (direction == kForward || direction == kBackward)) {
        const uint64_t base = origin == kFromCurrent ? GetPosition() : GetSize();
        target = direction == kForward ? base + offset : base - offset;
    }
    uint64_t reached = 0;
    if (!IsOpen())
        return 0;
    ++systemSeeks;
    if (!platform::SetPosition(handle, static_cast<int64_t>(target), reached))
        return 0;
    knownPosition = reached;
    positionKnown = true;
    return reached;
}

int CDiskImageFile::SeekFromBegin(uint64_t offset)
{
    Seek(offset, kFromBegin, kForward);
    return 1;
}

int CDiskImageFile::SeekFromEnd(uint64_t distance)
{
    Seek(distance, kFromEnd, kBackward);
    return 1;
}

int CDiskImageFile::Read(void* buffer, uint32_t count)
{
    lastReadCount = 0;
    if (!IsOpen())
        return 0;
    ++systemReads;
    if (!platform::ReadBytes(handle, buffer, count, lastReadCount)) {
        ForgetPosition();
        return 0;
    }
    knownPosition += lastReadCount;
    return 1;
}

int CDiskImageFile::ReadAt(uint64_t position, void* buffer, uint32_t count)
{
    SeekFromBegin(position);
    return Read(buffer, count);
}

uint64_t CDiskImageFile::GetPosition()
{
    uint64_t position = 0;
    if (!IsOpen() || !platform::QueryPosition(handle, position))
        return 0;
    return position;
}

uint64_t CDiskImageFile::GetSize()
{
    uint64_t size = 0;
    if (!IsOpen() || !platform::QuerySize(handle, size))
        return 0;
    return size;
}

int CDiskImageFile::ReadAtZeroPadded(uint64_t position, void* buffer, uint32_t count)
{
    lastReadCount = 0;
    if (!IsOpen())
        return 0;
    // A position the system cannot reach lies past any real file: nothing to read there.
    if (!positionKnown || knownPosition != position) {
        uint64_t reached = 0;
        ++systemSeeks;
        if (position > static_cast<uint64_t>(INT64_MAX) ||
            !platform::SetPosition(handle, static_cast<int64_t>(position), reached) || reached != position) {
            ForgetPosition();
            std::memset(buffer, 0, count);
            return 1;
        }
    }
    ++systemReads;
    if (!platform::ReadBytes(handle, buffer, count, lastReadCount)) {
        ForgetPosition();
        return 0;
    }
    knownPosition = position + lastReadCount;
    positionKnown = true;
    if (lastReadCount < count)
        std::memset(static_cast<uint8_t*>(buffer) + lastReadCount, 0, count - lastReadCount);
    return 1;
}
