#pragma once

#include <cstddef>
#include <cstdint>

// Fields of on-disk structures, read byte by byte so that alignment and host order never matter.
// VMDK and VHDX store little-endian values, VHD big-endian ones.

inline uint16_t ReadLittleEndian16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline uint32_t ReadLittleEndian32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

inline uint64_t ReadLittleEndian64(const uint8_t* bytes)
{
    return static_cast<uint64_t>(ReadLittleEndian32(bytes)) |
           (static_cast<uint64_t>(ReadLittleEndian32(bytes + 4)) << 32);
}

// The same at a field's offset within a structure.
inline uint16_t ReadLittleEndian16(const uint8_t* bytes, std::size_t offset)
{
    return ReadLittleEndian16(bytes + offset);
}

inline uint32_t ReadLittleEndian32(const uint8_t* bytes, std::size_t offset)
{
    return ReadLittleEndian32(bytes + offset);
}

inline uint64_t ReadLittleEndian64(const uint8_t* bytes, std::size_t offset)
{
    return ReadLittleEndian64(bytes + offset);
}

inline uint16_t ReadBigEndian16(const uint8_t* bytes)
{
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

inline uint32_t ReadBigEndian32(const uint8_t* bytes)
{
    return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
           (static_cast<uint32_t>(bytes[2]) << 8) | static_cast<uint32_t>(bytes[3]);
}

inline uint64_t ReadBigEndian64(const uint8_t* bytes)
{
    return (static_cast<uint64_t>(ReadBigEndian32(bytes)) << 32) | ReadBigEndian32(bytes + 4);
}
