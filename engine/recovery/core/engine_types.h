#pragma once

#include <cstdint>

// A tree item of the user interface as the engine stores and passes it. The views keep their native item
// handles here, so the value must be as wide as a pointer on every build; 0 means "no item".
using TreeItemValue = std::uintptr_t;
static_assert(sizeof(TreeItemValue) == sizeof(void*), "tree items hold the views' pointer-wide handles");

// As a parent, the top level of a tree (the views map it to their own root marker).
inline constexpr TreeItemValue kTreeTop = 0;

// File-system codes of a partition row or a volume.
inline constexpr std::uint16_t kFsFat16 = 100;
inline constexpr std::uint16_t kFsFat32 = 200;
inline constexpr std::uint16_t kFsNtfs = 300;
inline constexpr std::uint16_t kFsGptDisk = 500;

// Scan kinds of ScanSelection.scanKind.
inline constexpr std::uint32_t kScanExtensive = 0;
inline constexpr std::uint32_t kScanFileTrace = 1;
inline constexpr std::uint32_t kScanQuick = 2;

// Image kinds of ScanSelection.imageKind, chosen from the file extension.
inline constexpr std::uint32_t kImageVhd = 0;
inline constexpr std::uint32_t kImageVhdx = 1;
inline constexpr std::uint32_t kImageVmdk = 2;

// Source kinds of SourceState.sourceKind, as the drive step sets them: the opened image listed as a
// device, a logical drive, or nothing selected (the drive step sets that once the search has started,
// so scans normally run with it). Only a logical drive is read through the volume handle; every other
// kind, 0 included, reads the disk image through ScanSelection.imageKind.
inline constexpr std::uint16_t kSourceImageDevice = 1;
inline constexpr std::uint16_t kSourceLogicalVolume = 2;
inline constexpr std::uint16_t kSourceNone = 3;
// The disk image, as tools and tests select it.
inline constexpr std::uint16_t kSourceImage = kSourceImageDevice;

// Message kinds of the message dialogs.
inline constexpr std::uint32_t kMessageInformation = 1;
inline constexpr std::uint32_t kMessageError = 2;
inline constexpr std::uint32_t kMessageQuestion = 3;
inline constexpr std::uint32_t kMessageNotice = 4;

// Answers of a question dialog.
inline constexpr int kAnswerYes = 1;
inline constexpr int kAnswerNo = 2;

// Folder and cluster value of "Lost Dir" and of the folders placed under it.
inline constexpr std::uint32_t kLostDirValue = 0xFFFFFFFE;

inline constexpr std::uint32_t kSectorSize = 512;
