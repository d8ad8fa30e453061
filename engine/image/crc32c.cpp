#include "engine/image/crc32c.h"

#include <array>

namespace {

// Reflected form of the Castagnoli polynomial 0x1EDC6F41.
constexpr uint32_t kCastagnoliReflected = 0x82F63B78;

constexpr std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t index = 0; index < 256; ++index) {
        uint32_t value = index;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? (value >> 1) ^ kCastagnoliReflected : value >> 1;
        table[index] = value;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

} // namespace

uint32_t Crc32c(const uint8_t* data, size_t length)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t index = 0; index < length; ++index)
        crc = kTable[(crc ^ data[index]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFF;
}
