#pragma once

// The parts of a ZIP member's records that the archive list turns into Windows terms: its attribute
// bits and the extended-timestamp ("UT") block of its local extra field.
#include <cstddef>
#include <cstdint>
#include <optional>

// Windows attribute bits of a member from the central record's external attributes and the
// "version made by" word (its high byte is the host system).
std::uint32_t ZipWindowsAttributes(std::uint32_t externalAttributes, std::uint16_t versionMadeBy);

// Unix times (seconds since 1970, UTC) of a "UT" block; a time whose flag is clear or that the block
// cannot hold is absent.
struct ZipExtendedTimes
{
    std::optional<std::int64_t> modification;
    std::optional<std::int64_t> access;
    std::optional<std::int64_t> creation;
};

// Walks the extra field's blocks up to the first "UT" block and reads its times; nothing is read past
// the block's own size or the end of the field. False when there is no "UT" block.
bool ReadZipExtendedTimes(const std::uint8_t* extra, std::size_t size, ZipExtendedTimes& times);

// The size of the end-of-central-directory record without its comment.
inline constexpr std::size_t kZipEndRecordSize = 22;
// True when the file is a ZIP archive without members: only the end record (and its comment). Its
// first kZipEndRecordSize bytes are given.
bool IsEmptyZipArchive(const std::uint8_t* start, std::uint64_t fileSize);

// A Unix time as a FILETIME value (100-ns ticks since 1601, UTC).
std::uint64_t UnixTimeToFileTimeTicks(std::int64_t unixTime);
