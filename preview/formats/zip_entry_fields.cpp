#include "zip_entry_fields.h"

#include "engine/image/byte_order.h"
#include "engine/recovery/core/file_time.h"

namespace {

// The host system in the high byte of "version made by" that stores a Unix mode in the upper 16 bits of
// the external attributes.
constexpr std::uint16_t kHostUnix = 3;
// External attribute bits: the MS-DOS byte in the low 8 bits, the Unix mode in the upper 16.
constexpr std::uint32_t kDosReadOnly = 0x01;
constexpr std::uint32_t kDosHidden = 0x02;
constexpr std::uint32_t kDosSystem = 0x04;
constexpr std::uint32_t kDosDirectory = 0x10;
constexpr std::uint32_t kDosArchive = 0x20;
constexpr std::uint32_t kUnixDirectoryType = 1u << 30; // S_IFDIR (040000) << 16
constexpr std::uint32_t kUnixOwnerWrite = 1u << 23;    // S_IWUSR (0200) << 16
// Windows attribute bits.
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeHidden = 0x02;
constexpr std::uint32_t kAttributeSystem = 0x04;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint32_t kAttributeNormal = 0x80;
// The extended-timestamp block's id, "UT" read little-endian, and its flag bits.
constexpr std::uint16_t kExtendedTimestampId = 0x5455;
constexpr std::uint8_t kHasModification = 0x01;
constexpr std::uint8_t kHasAccess = 0x02;
constexpr std::uint8_t kHasCreation = 0x04;
// An extra block starts with a 2-byte id and a 2-byte data size.
constexpr std::size_t kExtraBlockHeader = 4;

} // namespace

std::uint32_t ZipWindowsAttributes(std::uint32_t external, std::uint16_t versionMadeBy)
{
    std::uint32_t attributes = kAttributeNormal;
    if ((external & (kUnixDirectoryType | kDosDirectory)) != 0)
        attributes |= kAttributeDirectory;
    if ((external & kDosArchive) != 0)
        attributes |= kAttributeArchive;
    if ((external & kDosHidden) != 0)
        attributes |= kAttributeHidden;
    // Only a Unix mode says anything by its owner-write bit; Windows tools leave the upper half empty,
    // and their members are read-only exactly when the MS-DOS bit says so.
    const bool holdsUnixMode = (versionMadeBy >> 8) == kHostUnix || (external >> 16) != 0;
    const bool readOnly = holdsUnixMode
                              ? !((external & kUnixOwnerWrite) != 0 && (external & kDosReadOnly) == 0)
                              : (external & kDosReadOnly) != 0;
    if (readOnly)
        attributes |= kAttributeReadOnly;
    if ((external & kDosSystem) != 0)
        attributes |= kAttributeSystem;
    return attributes;
}

bool ReadZipExtendedTimes(const std::uint8_t* extra, std::size_t size, ZipExtendedTimes& times)
{
    times = ZipExtendedTimes();
    std::size_t at = 0;
    while (extra != nullptr && size - at >= kExtraBlockHeader) {
        const std::uint16_t id = ReadLittleEndian16(extra, at);
        const std::size_t dataSize = ReadLittleEndian16(extra, at + 2);
        const std::size_t dataStart = at + kExtraBlockHeader;
        const std::size_t available = size - dataStart;
        if (id == kExtendedTimestampId) {
            const std::size_t blockSize = dataSize < available ? dataSize : available;
            if (blockSize < 1)
                return true;
            const std::uint8_t flags = extra[dataStart];
            std::size_t next = 1;
            auto take = [&](std::uint8_t flag, std::optional<std::int64_t>& time) {
                if ((flags & flag) == 0)
                    return;
                if (blockSize - next < 4) {
                    next = blockSize;
                    return;
                }
                time = static_cast<std::int32_t>(ReadLittleEndian32(extra, dataStart + next));
                next += 4;
            };
            take(kHasModification, times.modification);
            take(kHasAccess, times.access);
            take(kHasCreation, times.creation);
            return true;
        }
        if (dataSize > available)
            return false;
        at = dataStart + dataSize;
    }
    return false;
}

bool IsEmptyZipArchive(const std::uint8_t* start, std::uint64_t fileSize)
{
    // End record: signature (4), disk numbers (2 + 2), entries on this disk (2), entries (2), central
    // directory size (4) and offset (4), comment length (2).
    constexpr std::uint32_t kEndSignature = 0x06054B50;
    if (start == nullptr || fileSize < kZipEndRecordSize || ReadLittleEndian32(start) != kEndSignature)
        return false;
    return ReadLittleEndian16(start, 8) == 0 && ReadLittleEndian16(start, 10) == 0 &&
           ReadLittleEndian32(start, 12) == 0 && ReadLittleEndian32(start, 16) == 0 &&
           kZipEndRecordSize + ReadLittleEndian16(start, 20) == fileSize;
}

std::uint64_t UnixTimeToFileTimeTicks(std::int64_t unixTime)
{
    return static_cast<std::uint64_t>(unixTime + kSecondsFrom1601To1970) * kFiletimeTicksPerSecond;
}
