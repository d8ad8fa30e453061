#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Operating-system file handle widened to pointer size: a HANDLE on Windows, a descriptor on POSIX.
using NativeFileHandle = std::intptr_t;
inline constexpr NativeFileHandle kNullFileHandle = 0;
// What a failed open hands back: INVALID_HANDLE_VALUE on Windows, -1 from open() on POSIX.
inline constexpr NativeFileHandle kInvalidFileHandle = -1;

// Arguments of CDiskImageFile::OpenEx. They carry the Win32 values so that the Windows build passes
// them through unchanged; the POSIX build maps them.
namespace image_file_flags {
inline constexpr uint32_t kGenericRead = 0x80000000;
inline constexpr uint32_t kGenericWrite = 0x40000000;
inline constexpr uint32_t kShareRead = 0x00000001;
inline constexpr uint32_t kShareWrite = 0x00000002;
inline constexpr uint32_t kCreateNew = 1;
inline constexpr uint32_t kCreateAlways = 2;
inline constexpr uint32_t kOpenExisting = 3;
inline constexpr uint32_t kOpenAlways = 4;
inline constexpr uint32_t kTruncateExisting = 5;
inline constexpr uint32_t kAttributeArchive = 0x00000020;
inline constexpr uint32_t kAttributeNormal = 0x00000080;
} // namespace image_file_flags

// The read-only file primitive under the image readers: one open handle with 64-bit positioning,
// whole-buffer reads and the file size. Nothing here interprets the bytes.
class CDiskImageFile
{
public:
    enum SeekOrigin : uint32_t
    {
        kFromBegin = 0,
        kFromCurrent = 1,
        kFromEnd = 2,
    };
    enum SeekDirection : uint32_t
    {
        kBackward = 0,
        kForward = 1,
    };

    CDiskImageFile();
    virtual ~CDiskImageFile();
    CDiskImageFile(const CDiskImageFile&) = delete;
    CDiskImageFile& operator=(const CDiskImageFile&) = delete;

    int Open(std::u16string_view path);
    int OpenEx(std::u16string_view path, uint32_t access, uint32_t shareMode, void* securityAttributes,
               uint32_t disposition, uint32_t flagsAndAttributes, NativeFileHandle templateFile);
    void Close();

    // Wrapping 64-bit arithmetic; the target goes to the system as a signed distance from the start,
    // so a target that is negative as a signed value is refused, the position stays and 0 comes back.
    uint64_t Seek(uint64_t offset, uint32_t origin, uint32_t direction);
    int SeekFromBegin(uint64_t offset);
    int SeekFromEnd(uint64_t distance);

    // 1 when the system read succeeds, however many bytes it delivered (see GetLastReadCount).
    int Read(void* buffer, uint32_t count);
    int ReadAt(uint64_t position, void* buffer, uint32_t count);
    uint64_t GetPosition();
    uint64_t GetSize();

    // The readers need whole structures: this reads count bytes at position and fills whatever lies
    // past the end of the file with zeros. 0 only when the system read fails. The handle is moved only
    // when the position differs from where the last call left it, so reads along the file cost one
    // system call each.
    int ReadAtZeroPadded(uint64_t position, void* buffer, uint32_t count);
    uint32_t GetLastReadCount() const { return lastReadCount; }
    // The system reads and position moves made through this object since it was made.
    uint64_t GetSystemReads() const { return systemReads; }
    uint64_t GetSystemSeeks() const { return systemSeeks; }
    bool IsOpen() const { return handle != kNullFileHandle && handle != kInvalidFileHandle; }

    std::u16string path;
    NativeFileHandle handle;

private:
    // Drops what is known of the handle's position, after a call whose end position is unknown.
    void ForgetPosition() { positionKnown = false; }

    uint32_t lastReadCount;
    // Where the handle stands, as this object last moved it.
    uint64_t knownPosition;
    bool positionKnown;
    uint64_t systemReads;
    uint64_t systemSeeks;
};
