#pragma once

// File Trace (scan kind 1) finds files by their leading bytes alone, without reading any file-system
// structure: every sector of the selected range (VolumeParams.rangeStart to rangeEnd) is compared with
// the signatures the user chose (fileSignatureList), and each sector that begins with one becomes a found
// item (traceFoundList) named by a running number and the type's extension. Compound documents found
// for a ".doc" or ".docx" signature take the extension of the application that wrote them.
//
// A signature is compared on the first bytes of a sector: as many as its length says, held to the 15
// bytes that the search looks at, and its text must spell exactly those bytes in hexadecimal (any case);
// a "?" digit matches any digit.

#include <cstdint>

// The File Trace worker's work, run to its end on the calling thread (the partition step runs it on its
// worker thread): opens the volume of a logical-volume source, finds the partition parameters as the
// Quick Scan does, then runs FileTraceSearch. The starter arms ScanThreadControl (ArmScanWorker), so a
// stop asked for before the first step holds; the search ends with running 0 and done 1. 1 when the search
// ran; 0 when a stop was requested first, or when the volume could not be opened, the range starts past the
// disk's end (ClipScanRangeToSource cuts it to that end otherwise) or no parameters were found: then, as
// after a Quick Scan without parameters, the user is told, PartitionParamsMissing is set, the step's buttons
// come back and the flags stay at running 1 and done 0, so that the step's timer never takes the scan as
// finished.
std::uint32_t FileTraceScanThread();

// The search keeps at most this many items: a range of sectors that nearly all match (a disk of zeros
// and a signature of zeros) would otherwise fill the memory. Reaching it ends the search as a stop does,
// keeping what was found, and the user is told. Tests lower it.
inline constexpr std::uint32_t kTraceFoundItemLimit = 1000000;
extern std::uint32_t TraceFoundItemLimit;
inline constexpr char16_t kTraceFoundLimitText[] =
    u"File Trace has found 1,000,000 items and stopped searching. The items found so far are listed.";

// The search over the range and the recovered-items tree by file type. Items start afresh; sectors past
// the range's end are never examined (they belong to the next partition), and sector numbers are 64-bit,
// so a range that ends at sector 0xFFFFFFFF ends. Stops between sectors when ScanThreadControl.done is set
// and still builds the tree of what was found; the result list then shows one folder per file type.
void FileTraceSearch();
