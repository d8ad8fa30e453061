#pragma once

// Lists the members of a RAR archive, versions 1.5 to 4 and 5, from their block headers alone: names,
// header flags, sizes, times and attributes. Every header's CRC is checked; nothing is unpacked. The
// result codes are those of the unrar library's interface, which the listing library exports.
#include "byte_source.h"

#include <cstdint>
#include <string>

enum RarResult : int
{
    kRarSuccess = 0,
    kRarEndArchive = 10,
    kRarBadData = 12,
    kRarBadArchive = 13,
    kRarUnknownFormat = 14,
    kRarMissingPassword = 22,
};

// RAR 1.5-4 file-header flags that the list tells apart: a directory, and a file of the default
// 4-MB dictionary; a RAR5 member is given the one of the two that fits it.
inline constexpr std::uint32_t kRarDirectoryFlags = 0x80E0;
inline constexpr std::uint32_t kRarFileFlags = 0x80C0;

struct RarMember
{
    // The stored name: single-byte text (RAR 1.5-4) or UTF-8 (RAR5, `utf8Name`), folders separated
    // by "\" (RAR 1.5-4) or "/" (RAR5) as stored.
    std::string name;
    bool utf8Name = false;
    std::uint32_t flags = 0;
    std::uint64_t packedSize = 0;
    std::uint64_t unpackedSize = 0;
    // MS-DOS date (high word) and time (low word), local time.
    std::uint32_t dosTime = 0;
    std::uint32_t attributes = 0;
    std::uint32_t hostOs = 0;
    std::uint32_t fileCrc = 0;
};

class RarArchiveReader
{
public:
    explicit RarArchiveReader(ByteSource& source) : m_source(source) {}

    // Reads the signature (and for RAR 1.5-4 the archive header): kRarSuccess, kRarUnknownFormat for a
    // file that is no RAR archive, kRarBadArchive or kRarBadData for a damaged start.
    int Open();
    // The next member: kRarSuccess, kRarEndArchive after the last one, kRarBadData for a damaged header,
    // kRarMissingPassword when the headers are encrypted.
    int ReadHeader(RarMember& member);
    // Moves past the data of the member last read.
    int Skip();
    bool IsRar5() const { return m_rar5; }

private:
    int ReadHeader4(RarMember& member);
    int ReadHeader5(RarMember& member);

    ByteSource& m_source;
    bool m_rar5 = false;
    bool m_encryptedHeaders = false;
    // Where the next block header starts.
    std::uint64_t m_next = 0;
    // Where the current member's data ends (the next header), once a member has been read.
    std::uint64_t m_dataEnd = 0;
    bool m_haveMember = false;
};

// A Unix time as an MS-DOS date and time in the local zone (0 before 1980 or after 2107).
std::uint32_t UnixTimeToLocalDosTime(std::int64_t unixTime);
