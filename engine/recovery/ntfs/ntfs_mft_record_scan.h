#pragma once

// The Extensive NTFS scan's reading of one file record that it found on the disk.

#include <cstdint>

// Reads the file record at `recordSector` (or takes its 1024 bytes from `heldRecord`, as read from
// there) and appends an NtfsFileNode (flags 0 or 1) or an
// NtfsFolderNode (flags 2 or 3) when it has a name. Other flag values, extension records of another
// record, and records without a $FILE_NAME add nothing.
void ProcessMftRecord(std::uint32_t recordSector, const std::uint8_t* heldRecord = nullptr);
