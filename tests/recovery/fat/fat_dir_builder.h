#pragma once

// Builds FAT directory sectors entry by entry for the parser tests: short entries and the long-name
// entries that stand before them, as the FAT format lays them out.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fat_test {

inline std::uint8_t ShortNameChecksum(const std::uint8_t* name11)
{
    std::uint8_t sum = 0;
    for (int index = 0; index < 11; ++index)
        sum = static_cast<std::uint8_t>(((sum & 1) ? 0x80 : 0) + (sum >> 1) + name11[index]);
    return sum;
}

inline void PutU16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(std::uint8_t* at, std::uint32_t value)
{
    PutU16(at, value);
    PutU16(at + 2, value >> 16);
}

// A directory of whole 512-byte sectors; entries are numbered from 0 across the sectors.
struct DirectoryBytes
{
    std::vector<std::uint8_t> bytes;

    explicit DirectoryBytes(std::size_t sectors = 1) : bytes(sectors * 512, 0) {}

    std::uint8_t* Entry(std::size_t index) { return bytes.data() + index * 32; }
    const std::uint8_t* Sector(std::size_t index) const { return bytes.data() + index * 512; }

    // `name11` is the 8.3 name as stored: 8 name bytes and 3 extension bytes, padded with spaces.
    void Short(std::size_t index, const char* name11, std::uint8_t attributes, std::uint32_t cluster,
               std::uint32_t size = 0)
    {
        std::uint8_t* entry = Entry(index);
        std::memcpy(entry, name11, 11);
        entry[11] = attributes;
        PutU16(entry + 18, 0x5A21); // last-access date
        PutU16(entry + 20, cluster >> 16);
        PutU16(entry + 24, 0x5A22); // write date
        PutU16(entry + 26, cluster & 0xFFFF);
        PutU32(entry + 28, size);
    }

    // Long-name entries from `index` on, then the short entry; returns the index after the short entry.
    // `checksumFor` names the short name whose checksum the long entries carry (by default their own).
    std::size_t Named(std::size_t index, const std::u16string& longName, const char* name11,
                      std::uint8_t attributes, std::uint32_t cluster, std::uint32_t size = 0,
                      const char* checksumFor = nullptr)
    {
        const std::size_t parts = (longName.size() + 12) / 13;
        const std::uint8_t checksum =
            ShortNameChecksum(reinterpret_cast<const std::uint8_t*>(checksumFor ? checksumFor : name11));
        static const int offsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
        for (std::size_t part = parts; part >= 1; --part) {
            std::uint8_t* entry = Entry(index++);
            entry[0] = static_cast<std::uint8_t>(part | (part == parts ? 0x40 : 0));
            entry[11] = 0x0F;
            entry[13] = checksum;
            for (std::size_t at = 0; at < 13; ++at) {
                const std::size_t position = (part - 1) * 13 + at;
                std::uint32_t unit = 0xFFFF;
                if (position < longName.size())
                    unit = longName[position];
                else if (position == longName.size())
                    unit = 0;
                PutU16(entry + offsets[at], unit);
            }
        }
        Short(index, name11, attributes, cluster, size);
        return index + 1;
    }

    // Marks an entry and the long-name entries before it deleted, as a FAT driver deletes a file.
    void Delete(std::size_t shortIndex, std::size_t longEntries = 0)
    {
        for (std::size_t index = shortIndex - longEntries; index <= shortIndex; ++index)
            Entry(index)[0] = 0xE5;
    }
};

} // namespace fat_test
