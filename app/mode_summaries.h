#pragma once

// The step views' line about the chosen mode and drive, with the spacing each place shows (the same mode
// is spaced differently in places).

inline constexpr wchar_t kSummaryQuickImage[] =
    L"Selected Mode  : Recovery Scan \r\nDrive Type         : Virtual Machine Disk";
inline constexpr wchar_t kSummaryExtensiveHome[] =
    L"Selected Mode   : Recovery Scan \r\nDrive Type          : Virtual Machine Disk";
inline constexpr wchar_t kSummaryFileTraceHome[] = L"Selected Mode : File Trace";
// The drive step's summaries while the partition search runs.
inline constexpr wchar_t kSummaryExtensiveImage[] =
    L"Selected Mode : Recovery Scan \r\nDrive Type      : Virtual Machine Disk";
inline constexpr wchar_t kSummaryTraceImage[] =
    L"Selected Mode : File Trace \r\nDrive Type        : Virtual Hard Disk";
// A logical drive: as the source tree shows Quick Scan's, and as Next shows each mode's.
inline constexpr wchar_t kSummaryQuickLogicalTree[] =
    L"Selected Mode  : Quick Scan \r\nDrive Type         : Logical Drive";
inline constexpr wchar_t kSummaryQuickLogical[] =
    L"Selected Mode : Quick Scan \r\nDrive Type        : Logical Drive";
inline constexpr wchar_t kSummaryExtensiveLogical[] =
    L"Selected Mode : Extensive Scan \r\nDrive Type        : Logical Drive";
inline constexpr wchar_t kSummaryTraceLogical[] =
    L"Selected Mode : File Trace \r\nDrive Type        : Logical Drive";
