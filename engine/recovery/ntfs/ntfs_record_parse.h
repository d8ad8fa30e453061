#pragma once

// Reading MFT file records: the update-sequence fixup, the walk over a record's attributes, and the
// attributes that the scans need ($FILE_NAME, the unnamed $DATA, $ATTRIBUTE_LIST). Every offset and
// length read from a record is checked against the attribute that holds it and against the 1024-byte
// record before it is used; a malformed record gives "not found", never a read outside it.

#include <cstddef>
#include <cstdint>

#include "engine/recovery/ntfs/ntfs_layout.h"

// Room for a name from a $FILE_NAME: 255 units and the terminator.
inline constexpr int kNtfsNameCapacity = 256;

// Little-endian numbers of 1 to 4 bytes (other widths give 0). The signed form extends the top bit of
// the given width.
std::uint32_t ReadUnsignedLE(const std::uint8_t* bytes, unsigned width);
std::int32_t ReadSignedLE(const std::uint8_t* bytes, unsigned width);

// Puts back the last two bytes of every 512-byte sector from the update-sequence array. Stops at the end
// of the buffer (whole sectors only, array entries only within the buffer), whatever the count says.
// The sequence number itself is not compared with the sector tails.
void ApplyFixup(std::uint8_t* buffer, std::size_t size);

// True when the buffer begins with the four bytes `signature` ("FILE", "INDX").
bool HasSignature(const std::uint8_t* buffer, const char* signature);

// One attribute of a record whose header lies within the record: at least a resident header's size
// long, all of it within the record.
struct NtfsAttribute
{
    std::uint32_t offset = 0;
    std::uint32_t type = 0;
    std::uint32_t length = 0;
    bool nonResident = false;
    std::uint8_t nameLength = 0;
};

// The attributes of a 1024-byte record in order. The walk ends at the end marker, at type 0, at a
// length too short for a header (0 included, which would never advance) or at one that passes the
// record.
class NtfsAttributeWalk
{
public:
    explicit NtfsAttributeWalk(const std::uint8_t* record);
    bool Next(NtfsAttribute& attribute);

private:
    const std::uint8_t* record;
    std::uint32_t offset;
};

// The attribute's name as UTF-16 units equals `name` (ASCII), and lies within the attribute.
bool AttributeNameIs(const std::uint8_t* record, const NtfsAttribute& attribute, const char* name);

// A resident attribute's value within the attribute: offset from the record start and length.
bool ResidentValue(const std::uint8_t* record, const NtfsAttribute& attribute, std::uint32_t& valueOffset,
                   std::uint32_t& valueLength);

// A non-resident attribute whose header and run-list offset lie within it: the run list's offset from
// the record start.
bool NonResidentRunList(const std::uint8_t* record, const NtfsAttribute& attribute,
                        std::uint32_t& runListOffset);

struct NtfsFileNameInfo
{
    char16_t name[kNtfsNameCapacity] = {};
    std::uint32_t parentNumber = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t changeTime = 0;
};

// The first unnamed $FILE_NAME of the namespace (Win32 also takes POSIX) in a fixed-up record.
bool FindFileName(const std::uint8_t* record, std::uint8_t nameSpace, NtfsFileNameInfo& info);

// The name that the scans show: Win32 (or POSIX) first, then Win32-and-DOS, then DOS.
bool FindPreferredFileName(const std::uint8_t* record, NtfsFileNameInfo& info);

// Reads the record's 2 sectors at `recordSector` from the selected source and applies the fixup; false
// when the read fails or the sectors are no file record.
bool ReadRecordAt(std::uint32_t recordSector, std::uint8_t* record);
// As ReadRecordAt over the record's 1024 bytes already read into `bytes`.
bool RecordFromBytes(const std::uint8_t* bytes, std::uint8_t* record);

// As FindFileName, over the 1024-byte `recordBuffer` or, with `reread` set, over the record read anew
// at `recordSector`. `name` holds kNtfsNameCapacity units. 1 found, 0 not.
int GetFileNameAttr(std::uint32_t recordSector, char16_t* name, std::uint32_t* parentNumber,
                    std::uint64_t* creationTime, std::uint64_t* changeTime, std::uint8_t nameSpace,
                    const std::uint8_t* recordBuffer, int reread);

// The unnamed $DATA attribute that starts the file's data: resident, or non-resident with first VCN 0
// (an extent further on carries no size). 0 none, 1 resident, 2 non-resident; the attribute's offset in
// `attributeOffset`. A resident value reaches no further than its attribute.
int FindUnnamedData(const std::uint8_t* record, std::uint32_t* attributeOffset);

// The size of that attribute's data: the real size or the resident value's length.
bool FindDataSize(const std::uint8_t* record, std::uint64_t& size);

// As FindDataSize, with the buffer and reread rules of GetFileNameAttr. 1 found, 0 not.
int GetDataSize(std::uint32_t recordSector, std::uint64_t* size, const std::uint8_t* recordBuffer,
                int reread);

// Starts attributeListTable with the record's own number.
void ResetAttributeListTable(std::uint32_t recordNumber);

// Appends the record numbers of the entries of the record's first $ATTRIBUTE_LIST (resident, or read from
// the volume of VolumeParams) to attributeListTable, each number once, at most kAttributeListCapacity in
// all.
void ReadAttributeList(const std::uint8_t* record);
