#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32C (Castagnoli), the checksum of VHDX headers and region tables.
uint32_t Crc32c(const uint8_t* data, size_t length);
