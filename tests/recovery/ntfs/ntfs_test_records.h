#pragma once

// Hand-made NTFS structures for the parser tests: file records with the attributes the engine reads,
// index records, and run lists, laid out as the published format lays them out, so that a test can
// then break exactly one field.

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value);
void PutU64(Bytes& bytes, std::size_t offset, std::uint64_t value);

// A $FILE_NAME value.
Bytes FileNameValue(std::uint32_t parent, const std::u16string& name, std::uint8_t nameSpace,
                    std::uint64_t creation = 0x01D0000000000001, std::uint64_t change = 0x01D0000000000002,
                    std::uint32_t fileAttributes = 0);

// One run-list entry: `length` clusters at a (relative) cluster offset, each field in the given width
// (an offset width of 0 makes a sparse run).
Bytes RunEntry(std::uint32_t length, std::int64_t offset, unsigned lengthWidth, unsigned offsetWidth);

// One $ATTRIBUTE_LIST entry.
Bytes AttributeListEntry(std::uint32_t type, std::uint32_t recordNumber, std::uint64_t startVcn = 0,
                         std::uint16_t attributeId = 0);

// A 1024-byte file record. Attributes are appended in order; Finish writes the end marker and protects
// the sector tails with the update sequence, as on disk.
class RecordMaker
{
public:
    explicit RecordMaker(std::uint16_t flags = 1, std::uint64_t baseReference = 0);

    std::uint32_t AddResident(std::uint32_t type, const Bytes& value, const std::u16string& name = u"");
    std::uint32_t AddNonResident(std::uint32_t type, const Bytes& runs, std::uint64_t realSize,
                                 std::uint64_t startVcn = 0, const std::u16string& name = u"");
    std::uint32_t AddFileName(std::uint32_t parent, const std::u16string& name, std::uint8_t nameSpace = 1);
    // An attribute copied as it stands (its length field included).
    std::uint32_t AddRaw(const Bytes& attribute);
    // An $INDEX_ROOT $I30 whose first entry names `folderNumber` as its parent (no entry when 0).
    std::uint32_t AddIndexRoot(std::uint32_t folderNumber, const std::u16string& firstName = u"child.txt");

    // The record as it lies on disk (fixup applied in reverse).
    Bytes Finish() const;

    Bytes bytes;
    std::uint32_t next;
};

// An index record of `size` bytes (whole sectors) as it lies on disk, whose first entry names `parent`.
Bytes MakeIndexRecord(std::uint32_t size, std::uint32_t parent, std::uint64_t vcn = 0);

// An NTFS boot sector with the fields the engine reads.
Bytes NtfsBootSector(std::uint8_t sectorsPerCluster, std::uint32_t mftCluster, std::uint32_t mirrorCluster,
                     std::uint64_t totalSectors, std::uint8_t indexRecordSize = 0xF4);

// The $MFT's own record (record 0): its name and its $DATA with the given runs.
RecordMaker MftRecordMaker(const Bytes& runs, std::uint64_t dataSize);

// The root folder's record (record 5): ".", its own parent.
RecordMaker RootFolderMaker();
