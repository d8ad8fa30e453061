#pragma once

// The on-disk layout of a master or extended boot record (the partition table sector) and the signature
// that closes it and every FAT or NTFS boot sector. Offsets count in bytes from the sector's start;
// numbers are little-endian (engine/image/byte_order.h).

#include <cstddef>
#include <cstdint>

// 0x55 0xAA at this offset close a boot record or boot sector.
inline constexpr std::size_t kBootSignatureOffset = 510;

// The partition table.
inline constexpr std::size_t kMbrTableOffset = 446;     // the first of the four entries
inline constexpr std::size_t kMbrEntrySize = 16;        // bytes per entry
inline constexpr std::size_t kMbrEntryType = 4;         // u8, the partition type byte
inline constexpr std::size_t kMbrEntryFirstSector = 8;  // u32
inline constexpr std::size_t kMbrEntrySectorCount = 12; // u32
inline constexpr int kMbrMasterEntries = 4;
// An extended boot record uses its first two entries: a logical partition and the link to the next record.
inline constexpr int kMbrExtendedEntries = 2;

// Partition type bytes.
inline constexpr std::uint8_t kPartitionTypeEmpty = 0x00;
inline constexpr std::uint8_t kPartitionTypeFat12 = 0x01;
inline constexpr std::uint8_t kPartitionTypeFat16Small = 0x04; // below 32 MiB
inline constexpr std::uint8_t kPartitionTypeExtended = 0x05;
inline constexpr std::uint8_t kPartitionTypeFat16 = 0x06;
inline constexpr std::uint8_t kPartitionTypeNtfs = 0x07;
inline constexpr std::uint8_t kPartitionTypeFat32 = 0x0B;
inline constexpr std::uint8_t kPartitionTypeFat32Lba = 0x0C;
inline constexpr std::uint8_t kPartitionTypeFat16Lba = 0x0E;
inline constexpr std::uint8_t kPartitionTypeExtendedLba = 0x0F;
inline constexpr std::uint8_t kPartitionTypeGptProtective = 0xEE;
