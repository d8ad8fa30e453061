#pragma once

// Reading MFT file records: the update-sequence fixup, the walk over a record's attributes, and the
// attributes that the scans need ($FILE_NAME, the unnamed $DATA, $ATTRIBUTE_LIST). Every offset and
// length read from a record is checked against the attribute that holds it and against the 1024-byte
// record before it is used; a malformed record gives "not found", never a read outside it.

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t kMftRecordSize = 1024;
inline constexpr std::uint32_t kMftRecordSectors = 2;

// File record header.
inline constexpr std::uint32_t kRecordUsaOffset = 4;       // u16 update-sequence offset
inline constexpr std::uint32_t kRecordUsaCount = 6;        // u16 update-sequence count
inline constexpr std::uint32_t kRecordFirstAttribute = 20; // u16 offset of the first attribute
inline constexpr std::uint32_t kRecordFlags = 22;          // u16; low byte: 1 in use, 2 folder
inline constexpr std::uint32_t kRecordAllocatedSize = 28;  // u32 bytes the record takes on disk
inline constexpr std::uint32_t kRecordBaseReference = 32;  // u64; 0 in a base record

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
inline constexpr std::uint32_t kAttrType = 0;           // u32
inline constexpr std::uint32_t kAttrLength = 4;         // u32, header included
inline constexpr std::uint32_t kAttrNonResident = 8;    // u8
inline constexpr std::uint32_t kAttrNameLength = 9;     // u8, UTF-16 units
inline constexpr std::uint32_t kAttrNameOffset = 10;    // u16
inline constexpr std::uint32_t kAttrValueLength = 16;   // u32, resident
inline constexpr std::uint32_t kAttrValueOffset = 20;   // u16, resident
inline constexpr std::uint32_t kAttrStartVcn = 16;      // u64, non-resident: first VCN of this extent
inline constexpr std::uint32_t kAttrRunListOffset = 32; // u16, non-resident
inline constexpr std::uint32_t kAttrRealSize = 48;      // u64, non-resident
inline constexpr std::uint32_t kResidentHeaderSize = 24;
inline constexpr std::uint32_t kNonResidentHeaderSize = 64;

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

// Room for a name from a $FILE_NAME: 255 units and the terminator.
inline constexpr int kNtfsNameCapacity = 256;

// Little-endian numbers of 1 to 4 bytes (other widths give 0). The signed form extends the top bit of
// the given width.
std::uint32_t ReadUnsignedLE(const std::uint8_t* bytes, unsigned width);
std::int32_t ReadSignedLE(const std::uint8_t* bytes, unsigned width);

std::uint16_t ReadU16(const std::uint8_t* bytes, std::size_t offset);
std::uint32_t ReadU32(const std::uint8_t* bytes, std::size_t offset);
std::uint64_t ReadU64(const std::uint8_t* bytes, std::size_t offset);

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
