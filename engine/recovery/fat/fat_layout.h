#pragma once

// The on-disk layout of FAT16 and FAT32 as the engine reads it: the boot sector (BIOS parameter block
// and its FAT16 and FAT32 extensions) and directory entries, short and long. Offsets count in bytes from
// the start of the structure named above each group; numbers are little-endian
// (engine/image/byte_order.h). The boot signature is kBootSignatureOffset of mbr_layout.h.

#include <cstdint>

#include "engine/recovery/partitions/mbr_layout.h"

// Boot sector.
inline constexpr std::uint32_t kFatBootSectorsPerCluster = 13; // u8
inline constexpr std::uint32_t kFatBootReservedSectors = 14;   // u16
inline constexpr std::uint32_t kFatBootFatCount = 16;          // u8
inline constexpr std::uint32_t kFatBootRootEntries = 17;       // u16, FAT16
inline constexpr std::uint32_t kFatBootTotalSectors16 = 19;    // u16, 0 when the total needs the 32-bit field
inline constexpr std::uint32_t kFatBootFat16Size = 22;         // u16 sectors per FAT, FAT16
inline constexpr std::uint32_t kFatBootTotalSectors32 = 32;    // u32
inline constexpr std::uint32_t kFatBootFat32Size = 36;         // u32 sectors per FAT, FAT32
inline constexpr std::uint32_t kFatBootRootCluster = 44;       // u32, FAT32
// The file-system label, "FAT16   " or "FAT32   ", and its third and fourth characters.
inline constexpr std::uint32_t kFat16BootLabel = 54;
inline constexpr std::uint32_t kFat32BootLabel = 82;
inline constexpr std::uint32_t kFat16LabelDigits = 57;
inline constexpr std::uint32_t kFat32LabelDigits = 85;
// The FAT32 backup boot sector's usual place, in sectors after the boot sector.
inline constexpr std::uint32_t kFat32BackupBootOffset = 6;
// First byte of a FAT: the media byte of a fixed disk.
inline constexpr std::uint8_t kFatMediaFixedDisk = 0xF8;

// Directory entry.
inline constexpr std::uint32_t kDirEntrySize = 32;
inline constexpr std::uint32_t kDirEntriesPerSector = 16;

// Directory-entry fields.
inline constexpr std::uint32_t kDirEntryAttributes = 11;  // u8
inline constexpr std::uint32_t kDirEntryAccessDate = 18;  // u16 last-access date
inline constexpr std::uint32_t kDirEntryClusterHigh = 20; // u16, FAT32 only
inline constexpr std::uint32_t kDirEntryWriteDate = 24;   // u16
inline constexpr std::uint32_t kDirEntryClusterLow = 26;  // u16
inline constexpr std::uint32_t kDirEntryFileSize = 28;    // u32 file size

inline constexpr std::uint8_t kAttrVolumeLabel = 0x08;
inline constexpr std::uint8_t kAttrFolder = 0x10;
// All of read-only, hidden, system and volume label: a long-name entry.
inline constexpr std::uint8_t kAttrLongName = 0x0F;
// Byte 0 of an entry: the end of the directory, or a deleted entry.
inline constexpr std::uint8_t kDirEndMark = 0x00;
inline constexpr std::uint8_t kDeletedMark = 0xE5;

// Long-name entry: byte 0 the sequence number (0x40 added in the entry that ends the name), byte 13
// the checksum of the short name it belongs to, 13 UTF-16 characters at these byte offsets.
inline constexpr std::uint8_t kLongNameLastFlag = 0x40;
inline constexpr std::uint32_t kLongNameChecksum = 13;
inline constexpr std::uint32_t kLongNameCharOffsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
inline constexpr std::uint32_t kLongNameCharsPerEntry = 13;
