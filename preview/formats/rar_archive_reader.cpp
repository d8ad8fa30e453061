#include "rar_archive_reader.h"

#include "engine/image/byte_order.h"

#include <zlib.h>

#include <cstring>
#include <ctime>
#include <vector>

namespace {

// The signatures: RAR 1.5-4 ("Rar!" 1A 07 00) and RAR5 ("Rar!" 1A 07 01 00).
constexpr std::uint8_t kSignature4[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr std::uint8_t kSignature5[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};

// RAR 1.5-4 block header: CRC16 (2), type (1), flags (2), size (2), then ADD_SIZE (4) when the
// long-block flag is set.
constexpr std::size_t kBlock4HeaderSize = 7;
constexpr std::uint16_t kLongBlock = 0x8000;
constexpr std::uint8_t kBlockArchive = 0x73;
constexpr std::uint8_t kBlockFile = 0x74;
constexpr std::uint8_t kBlockEnd = 0x7B;
// Archive header flag: the headers after it are encrypted.
constexpr std::uint16_t kArchiveEncryptedHeaders = 0x0080;
// File header: fixed part up to the name (32 bytes), high size words when this flag is set.
constexpr std::size_t kFile4FixedSize = 32;
constexpr std::uint16_t kFileLargeSizes = 0x0100;
// Offsets in a RAR 1.5-4 file header.
constexpr std::size_t kFile4PackSize = 7;
constexpr std::size_t kFile4UnpackSize = 11;
constexpr std::size_t kFile4HostOs = 15;
constexpr std::size_t kFile4Crc = 16;
constexpr std::size_t kFile4Time = 20;
constexpr std::size_t kFile4NameSize = 26;
constexpr std::size_t kFile4Attributes = 28;
constexpr std::size_t kFile4HighPackSize = 32;
constexpr std::size_t kFile4HighUnpackSize = 36;

// RAR5 header types and flags.
constexpr std::uint64_t kHeader5File = 2;
constexpr std::uint64_t kHeader5Encryption = 4;
constexpr std::uint64_t kHeader5End = 5;
constexpr std::uint64_t kHeader5HasExtra = 0x0001;
constexpr std::uint64_t kHeader5HasData = 0x0002;
constexpr std::uint64_t kFile5Directory = 0x0001;
constexpr std::uint64_t kFile5HasTime = 0x0002;
constexpr std::uint64_t kFile5HasCrc = 0x0004;
// A RAR5 header is at most 2 MB; its size field is a variable-length integer of at most 3 bytes then.
constexpr std::uint64_t kHeader5MaxSize = 2 * 1024 * 1024;

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size)
{
    return static_cast<std::uint32_t>(crc32(0L, bytes, static_cast<uInt>(size)));
}

// Reads a RAR5 variable-length integer (7 bits a byte, lowest first) from bytes[at, end).
bool ReadVint(const std::vector<std::uint8_t>& bytes, std::size_t& at, std::uint64_t& value)
{
    value = 0;
    for (int shift = 0; shift < 70 && at < bytes.size(); shift += 7) {
        const std::uint8_t byte = bytes[at++];
        if (shift < 64)
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return true;
    }
    return false;
}

bool AddWithoutOverflow(std::uint64_t a, std::uint64_t b, std::uint64_t& sum)
{
    sum = a + b;
    return sum >= a;
}

} // namespace

std::uint32_t UnixTimeToLocalDosTime(std::int64_t unixTime)
{
    const std::time_t time = static_cast<std::time_t>(unixTime);
    std::tm local = {};
#ifdef _WIN32
    if (localtime_s(&local, &time) != 0)
        return 0;
#else
    if (localtime_r(&time, &local) == nullptr)
        return 0;
#endif
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return 0;
    const std::uint32_t date =
        static_cast<std::uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    const std::uint32_t timeOfDay =
        static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return (date << 16) | timeOfDay;
}

int RarArchiveReader::Open()
{
    std::uint8_t start[sizeof kSignature5] = {};
    const std::size_t got = m_source.ReadAt(0, start, sizeof start);
    if (got >= sizeof kSignature5 && std::memcmp(start, kSignature5, sizeof kSignature5) == 0) {
        m_rar5 = true;
        m_next = sizeof kSignature5;
        return kRarSuccess;
    }
    if (got < sizeof kSignature4 || std::memcmp(start, kSignature4, sizeof kSignature4) != 0)
        return kRarUnknownFormat;
    m_next = sizeof kSignature4;
    // The archive header follows the marker.
    std::uint8_t header[13] = {};
    if (m_source.ReadAt(m_next, header, sizeof header) != sizeof header || header[2] != kBlockArchive)
        return kRarBadArchive;
    const std::uint16_t size = ReadLittleEndian16(header, 5);
    if (size < sizeof header)
        return kRarBadArchive;
    std::vector<std::uint8_t> whole(size);
    if (m_source.ReadAt(m_next, whole.data(), size) != size)
        return kRarBadArchive;
    if ((Crc32(whole.data() + 2, size - 2) & 0xFFFF) != ReadLittleEndian16(whole.data()))
        return kRarBadData;
    m_encryptedHeaders = (ReadLittleEndian16(whole.data(), 3) & kArchiveEncryptedHeaders) != 0;
    m_next += size;
    return kRarSuccess;
}

int RarArchiveReader::ReadHeader(RarMember& member)
{
    if (m_haveMember) {
        m_next = m_dataEnd;
        m_haveMember = false;
    }
    member = RarMember();
    return m_rar5 ? ReadHeader5(member) : ReadHeader4(member);
}

int RarArchiveReader::Skip()
{
    if (m_haveMember) {
        m_next = m_dataEnd;
        m_haveMember = false;
    }
    return kRarSuccess;
}

int RarArchiveReader::ReadHeader4(RarMember& member)
{
    if (m_encryptedHeaders)
        return kRarMissingPassword;
    const std::uint64_t size = m_source.Size();
    for (;;) {
        std::uint8_t head[kBlock4HeaderSize + 4] = {};
        const std::size_t got = m_source.ReadAt(m_next, head, sizeof head);
        if (got < kBlock4HeaderSize)
            return kRarEndArchive;
        const std::uint8_t type = head[2];
        const std::uint16_t flags = ReadLittleEndian16(head, 3);
        const std::uint16_t headerSize = ReadLittleEndian16(head, 5);
        if (headerSize < kBlock4HeaderSize || ((flags & kLongBlock) != 0 && headerSize < sizeof head))
            return kRarBadData;
        std::vector<std::uint8_t> header(headerSize);
        if (m_source.ReadAt(m_next, header.data(), headerSize) != headerSize)
            return kRarBadData;
        if ((Crc32(header.data() + 2, headerSize - 2) & 0xFFFF) != ReadLittleEndian16(header.data()))
            return kRarBadData;
        std::uint64_t dataSize = (flags & kLongBlock) != 0 ? ReadLittleEndian32(header.data(), 7) : 0;
        if (type == kBlockEnd)
            return kRarEndArchive;
        if (type == kBlockFile) {
            if (headerSize < kFile4FixedSize)
                return kRarBadData;
            const std::size_t nameSize = ReadLittleEndian16(header.data(), kFile4NameSize);
            std::size_t nameAt = kFile4FixedSize;
            member.packedSize = ReadLittleEndian32(header.data(), kFile4PackSize);
            member.unpackedSize = ReadLittleEndian32(header.data(), kFile4UnpackSize);
            if ((flags & kFileLargeSizes) != 0) {
                if (headerSize < kFile4FixedSize + 8)
                    return kRarBadData;
                member.packedSize |=
                    static_cast<std::uint64_t>(ReadLittleEndian32(header.data(), kFile4HighPackSize)) << 32;
                member.unpackedSize |=
                    static_cast<std::uint64_t>(ReadLittleEndian32(header.data(), kFile4HighUnpackSize)) << 32;
                nameAt += 8;
            }
            if (nameAt + nameSize > headerSize)
                return kRarBadData;
            // A Unicode name follows the single-byte one after a zero byte.
            const char* name = reinterpret_cast<const char*>(header.data() + nameAt);
            member.name.assign(name, strnlen(name, nameSize));
            member.flags = flags;
            member.hostOs = header[kFile4HostOs];
            member.fileCrc = ReadLittleEndian32(header.data(), kFile4Crc);
            member.dosTime = ReadLittleEndian32(header.data(), kFile4Time);
            member.attributes = ReadLittleEndian32(header.data(), kFile4Attributes);
            dataSize = member.packedSize;
        }
        std::uint64_t afterHeader = 0, next = 0;
        if (!AddWithoutOverflow(m_next, headerSize, afterHeader) ||
            !AddWithoutOverflow(afterHeader, dataSize, next))
            return kRarBadData;
        if (type == kBlockFile) {
            m_dataEnd = next;
            m_haveMember = true;
            return kRarSuccess;
        }
        if (next > size)
            return kRarEndArchive;
        m_next = next;
    }
}

int RarArchiveReader::ReadHeader5(RarMember& member)
{
    if (m_encryptedHeaders)
        return kRarMissingPassword;
    for (;;) {
        // CRC32 (4), header size (a variable-length integer of up to 3 bytes), then the header data.
        std::vector<std::uint8_t> start(7);
        start.resize(m_source.ReadAt(m_next, start.data(), start.size()));
        if (start.size() < 5)
            return kRarEndArchive;
        std::size_t at = 4;
        std::uint64_t headerSize = 0;
        if (!ReadVint(start, at, headerSize) || headerSize == 0 || headerSize > kHeader5MaxSize)
            return kRarBadData;
        const std::size_t sizeFieldEnd = at;
        std::vector<std::uint8_t> header(sizeFieldEnd + static_cast<std::size_t>(headerSize));
        if (m_source.ReadAt(m_next, header.data(), header.size()) != header.size())
            return kRarBadData;
        if (Crc32(header.data() + 4, header.size() - 4) != ReadLittleEndian32(header.data()))
            return kRarBadData;
        std::uint64_t type = 0, flags = 0, extraSize = 0, dataSize = 0;
        if (!ReadVint(header, at, type) || !ReadVint(header, at, flags))
            return kRarBadData;
        if ((flags & kHeader5HasExtra) != 0 && !ReadVint(header, at, extraSize))
            return kRarBadData;
        if ((flags & kHeader5HasData) != 0 && !ReadVint(header, at, dataSize))
            return kRarBadData;
        if (type == kHeader5Encryption) {
            m_encryptedHeaders = true;
            return kRarMissingPassword;
        }
        if (type == kHeader5End)
            return kRarEndArchive;
        std::uint64_t afterHeader = 0, next = 0;
        if (!AddWithoutOverflow(m_next, header.size(), afterHeader) ||
            !AddWithoutOverflow(afterHeader, dataSize, next))
            return kRarBadData;
        if (type == kHeader5File) {
            std::uint64_t fileFlags = 0, unpackedSize = 0, attributes = 0, compression = 0, hostOs = 0;
            std::uint64_t nameSize = 0;
            if (!ReadVint(header, at, fileFlags) || !ReadVint(header, at, unpackedSize) ||
                !ReadVint(header, at, attributes))
                return kRarBadData;
            if ((fileFlags & kFile5HasTime) != 0) {
                if (header.size() - at < 4)
                    return kRarBadData;
                member.dosTime = UnixTimeToLocalDosTime(ReadLittleEndian32(header.data(), at));
                at += 4;
            }
            if ((fileFlags & kFile5HasCrc) != 0) {
                if (header.size() - at < 4)
                    return kRarBadData;
                member.fileCrc = ReadLittleEndian32(header.data(), at);
                at += 4;
            }
            if (!ReadVint(header, at, compression) || !ReadVint(header, at, hostOs) ||
                !ReadVint(header, at, nameSize) || nameSize > header.size() - at)
                return kRarBadData;
            member.name.assign(reinterpret_cast<const char*>(header.data() + at),
                               static_cast<std::size_t>(nameSize));
            member.utf8Name = true;
            member.flags = (fileFlags & kFile5Directory) != 0 ? kRarDirectoryFlags : kRarFileFlags;
            member.packedSize = dataSize;
            member.unpackedSize = unpackedSize;
            member.attributes = static_cast<std::uint32_t>(attributes);
            member.hostOs = static_cast<std::uint32_t>(hostOs);
            m_dataEnd = next;
            m_haveMember = true;
            return kRarSuccess;
        }
        if (next > m_source.Size())
            return kRarEndArchive;
        m_next = next;
    }
}
