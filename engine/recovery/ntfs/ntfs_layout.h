#pragma once

// The on-disk layout of NTFS as the engine reads it: the boot sector, file records, attribute headers,
// the $FILE_NAME value, $ATTRIBUTE_LIST entries and index records. Offsets count in bytes from the start
// of the structure named above each group; numbers are little-endian (engine/image/byte_order.h).

#include <cstdint>

#include "engine/recovery/partitions/mbr_layout.h"

// Boot sector.
inline constexpr std::uint32_t kNtfsBootOemName = 3;            // "NTFS    " after the jump
inline constexpr std::uint32_t kNtfsBootSectorsPerCluster = 13; // u8
inline constexpr std::uint32_t kNtfsBootTotalSectors = 40;      // u64; low 32 bits used
inline constexpr std::uint32_t kNtfsBootMftCluster = 48;        // u64; low 32 bits used
inline constexpr std::uint32_t kNtfsBootMirrorCluster = 56;     // u64; low 32 bits used
inline constexpr std::uint32_t kNtfsBootIndexRecordSize = 68;   // i8: clusters, or 2^-n bytes when negative

// Fixed record numbers: the root folder and $Extend.
inline constexpr std::uint32_t kNtfsRootRecord = 5;
inline constexpr std::uint32_t kNtfsExtendRecord = 11;

inline constexpr std::uint32_t kMftRecordSize = 1024;
inline constexpr std::uint32_t kMftRecordSectors = 2;

// File record header.
inline constexpr std::uint32_t kRecordUsaOffset = 4;       // u16 update-sequence offset
inline constexpr std::uint32_t kRecordUsaCount = 6;        // u16 update-sequence count
inline constexpr std::uint32_t kRecordFirstAttribute = 20; // u16 offset of the first attribute
inline constexpr std::uint32_t kRecordFlags = 22;          // u16; low byte: 1 in use, 2 folder
inline constexpr std::uint32_t kRecordAllocatedSize = 28;  // u32 bytes the record takes on disk
inline constexpr std::uint32_t kRecordBaseReference = 32;  // u64; 0 in a base record
// An NTFS 3.1 file record keeps its own number at 44; its update sequence then starts at 48 or later.
inline constexpr std::uint32_t kRecordOwnNumber = 44; // u32
inline constexpr std::uint16_t kRecordUsaAfterOwnNumber = 48;

inline constexpr std::uint8_t kRecordInUse = 0x01;
inline constexpr std::uint8_t kRecordIsFolder = 0x02;

// Attribute types.
inline constexpr std::uint32_t kAttrAttributeList = 0x20;
inline constexpr std::uint32_t kAttrFileName = 0x30;
inline constexpr std::uint32_t kAttrData = 0x80;
inline constexpr std::uint32_t kAttrIndexRoot = 0x90;
inline constexpr std::uint32_t kAttrIndexAllocation = 0xA0;
inline constexpr std::uint32_t kAttrEnd = 0xFFFFFFFF;

// Attribute header.
inline constexpr std::uint32_t kAttrType = 0;             // u32
inline constexpr std::uint32_t kAttrLength = 4;           // u32, header included
inline constexpr std::uint32_t kAttrNonResident = 8;      // u8
inline constexpr std::uint32_t kAttrNameLength = 9;       // u8, UTF-16 units
inline constexpr std::uint32_t kAttrNameOffset = 10;      // u16
inline constexpr std::uint32_t kAttrFlags = 12;           // u16
inline constexpr std::uint32_t kAttrValueLength = 16;     // u32, resident
inline constexpr std::uint32_t kAttrValueOffset = 20;     // u16, resident
inline constexpr std::uint32_t kAttrStartVcn = 16;        // u64, non-resident: first VCN of this extent
inline constexpr std::uint32_t kAttrLastVcn = 24;         // u64, non-resident: last VCN of this extent
inline constexpr std::uint32_t kAttrRunListOffset = 32;   // u16, non-resident
inline constexpr std::uint32_t kAttrAllocatedSize = 40;   // u64, non-resident
inline constexpr std::uint32_t kAttrRealSize = 48;        // u64, non-resident
inline constexpr std::uint32_t kAttrInitializedSize = 56; // u64, non-resident: bytes past it read as zeros
inline constexpr std::uint32_t kResidentHeaderSize = 24;
inline constexpr std::uint32_t kNonResidentHeaderSize = 64;

// Attribute flags.
inline constexpr std::uint16_t kAttrFlagCompressionMask = 0x00FF;
inline constexpr std::uint16_t kAttrFlagEncrypted = 0x4000;

// $FILE_NAME value.
inline constexpr std::uint32_t kFileNameParent = 0;     // u64 file reference; low 32 bits used
inline constexpr std::uint32_t kFileNameCreation = 8;   // u64 FILETIME
inline constexpr std::uint32_t kFileNameChange = 24;    // u64 MFT-record change time
inline constexpr std::uint32_t kFileNameLength = 64;    // u8, UTF-16 units
inline constexpr std::uint32_t kFileNameNamespace = 65; // u8
inline constexpr std::uint32_t kFileNameText = 66;

// $FILE_NAME namespaces.
inline constexpr std::uint8_t kNamespacePosix = 0;
inline constexpr std::uint8_t kNamespaceWin32 = 1;
inline constexpr std::uint8_t kNamespaceDos = 2;
inline constexpr std::uint8_t kNamespaceWin32AndDos = 3;

// $ATTRIBUTE_LIST entry.
inline constexpr std::uint32_t kListEntryType = 0;       // u32
inline constexpr std::uint32_t kListEntryLength = 4;     // u16
inline constexpr std::uint32_t kListEntryNameLength = 6; // u8
inline constexpr std::uint32_t kListEntryStartVcn = 8;   // u64
inline constexpr std::uint32_t kListEntryRecord = 16;    // u64 file reference; low 32 bits used
inline constexpr std::uint32_t kListEntryMinimumSize = 26;

// Index record header (INDX).
inline constexpr std::uint32_t kIndexVcn = 16;           // u64; low 32 bits used
inline constexpr std::uint32_t kIndexHeader = 24;        // index node header; its offsets count from here
inline constexpr std::uint32_t kIndexEntriesOffset = 24; // u32, relative to the node header
inline constexpr std::uint32_t kIndexAllocatedSize = 32; // u32, relative to the node header
inline constexpr std::uint32_t kIndexRecordMaximum = 65536;

// Index entry.
inline constexpr std::uint32_t kEntryLength = 8;     // u16
inline constexpr std::uint32_t kEntryKeyLength = 10; // u16
inline constexpr std::uint32_t kEntryFlags = 12;     // u16; 2 marks the end entry, which has no key
inline constexpr std::uint32_t kEntryKey = 16;       // the $FILE_NAME value
inline constexpr std::uint16_t kEntryIsLast = 0x02;
