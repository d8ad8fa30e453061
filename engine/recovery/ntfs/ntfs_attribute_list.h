#pragma once

// The $ATTRIBUTE_LIST of a file record: which records hold the file's attributes when one record cannot
// hold them all. A short list lies in the record itself; a long one (a folder whose index is in many
// pieces, a file in many fragments) lies in clusters of its own, named by its run list, and then the
// file's name and data are usually in the records it names. Either way at most kMaxAttributeListBytes
// of the list are read, and an entry is taken only when it lies wholly within what was read.

#include <cstdint>
#include <vector>

#include "engine/recovery/ntfs/ntfs_record_parse.h"

inline constexpr std::uint32_t kMaxAttributeListBytes = 256 * 1024;

struct AttributeListEntry
{
    std::uint32_t type = 0;
    std::uint8_t nameLength = 0;
    std::uint64_t startVcn = 0;
    std::uint32_t recordNumber = 0; // low 32 bits of the file reference
};

// The entries of the fixed-up record's first $ATTRIBUTE_LIST, in list order; none when it has none or
// it cannot be read. A non-resident list is read from the volume whose cluster 0 is at absolute sector
// `volumeStart`; sparse runs read as zeros, and the list ends where a run cannot be read. The entries end
// at a type of 0 or the end marker, or at an entry too short or reaching past the list.
std::vector<AttributeListEntry> ReadAttributeListEntries(const std::uint8_t* record,
                                                         std::uint32_t volumeStart,
                                                         std::uint32_t sectorsPerCluster);

// The unnamed, non-resident $DATA extent of the record that begins at `startVcn`, with its run list's
// offset from the record start.
bool FindDataExtent(const std::uint8_t* record, std::uint64_t startVcn, NtfsAttribute& found,
                    std::uint32_t& runList);
