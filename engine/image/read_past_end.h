#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/image/disk_image_file.h"

// The image readers' answer to a read at or past the virtual disk's end: zeros for the rest of the
// buffer, and the position moves on as if they had been read (held at UINT64_MAX rather than wrapping).
inline void ReadZerosPastDiskEnd(uint8_t* out, uint32_t count, uint64_t& position)
{
    std::memset(out, 0, count);
    position = position > UINT64_MAX - count ? UINT64_MAX : position + count;
}

// A read of `count` bytes at `position` of a disk of `diskSize` bytes, in the parts the image's layout
// allows: `readPart(out, remaining)` fills the next part at `position` (at least one byte, at most
// `remaining`, none past the disk's end) and returns its size, or 0 when it could not be read. Past the
// end as ReadZerosPastDiskEnd. 1 when the whole buffer was filled; 0 when a part could not be read, with
// `position` at that part.
template <class ReadPart>
int ReadDiskInParts(uint8_t* out, uint32_t count, uint64_t& position, uint64_t diskSize, ReadPart readPart)
{
    uint32_t remaining = count;
    while (remaining > 0) {
        if (position >= diskSize) {
            ReadZerosPastDiskEnd(out, remaining, position);
            return 1;
        }
        const uint32_t part = readPart(out, remaining);
        if (part == 0)
            return 0;
        out += part;
        remaining -= part;
        position += part;
    }
    return 1;
}

// Disk data read from the image file: `count` bytes at `fileOffset`, or fewer where the file ends within
// them. A file cut short must not pass its missing data off as zeros, so the bytes delivered come back
// (0 when none) and `fileEnded` tells a file that ends before the part from a system read that failed.
inline uint32_t ReadStoredPart(CDiskImageFile& file, uint64_t fileOffset, uint8_t* out, uint32_t count,
                               bool& fileEnded)
{
    fileEnded = false;
    if (!file.ReadAtZeroPadded(fileOffset, out, count))
        return 0;
    fileEnded = file.GetLastReadCount() == 0;
    return file.GetLastReadCount();
}

// How far one part of a read may run on, in one system call or one fill with zeros, past the grain or
// block it starts in. The part so far is `part` bytes from file offset `fileOffset` (0: it reads as zeros)
// and ends where unit `next` starts; units are `unitBytes` long. `locate(unit, offset)` gives a unit's
// file offset (0 for zeros) and false when it cannot tell. A unit joins while it reads as zeros after
// zeros, or its bytes lie in the file right where the part's end; the part never grows past `limit`.
template <class LocateUnit>
uint64_t RunOnAcrossUnits(uint64_t part, uint64_t limit, uint64_t fileOffset, uint64_t next,
                          uint64_t unitBytes, LocateUnit locate)
{
    while (part < limit) {
        uint64_t unitOffset = 0;
        if (!locate(next, unitOffset))
            break;
        const bool joins = fileOffset == 0 ? unitOffset == 0 : unitOffset == fileOffset + part;
        if (!joins)
            break;
        part = std::min(limit, part + unitBytes);
        ++next;
    }
    return part;
}
