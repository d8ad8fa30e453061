#include "engine/recovery/ntfs/ntfs_record_parse.h"

#include <cstring>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_attribute_list.h"

namespace {

constexpr std::uint32_t kFixupSector = 512;

bool NamespaceMatches(std::uint8_t stored, std::uint8_t wanted)
{
    return stored == wanted || (wanted == kNamespaceWin32 && stored == kNamespacePosix);
}

// The record to parse: the caller's buffer, or the record read anew into `copy`.
const std::uint8_t* RecordToParse(std::uint32_t recordSector, const std::uint8_t* recordBuffer, int reread,
                                  std::uint8_t* copy)
{
    if (reread)
        return ReadRecordAt(recordSector, copy) ? copy : nullptr;
    if (!recordBuffer)
        return nullptr;
    std::memcpy(copy, recordBuffer, kMftRecordSize);
    return copy;
}

} // namespace

std::uint32_t ReadUnsignedLE(const std::uint8_t* bytes, unsigned width)
{
    if (width < 1 || width > 4)
        return 0;
    std::uint32_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

std::int32_t ReadSignedLE(const std::uint8_t* bytes, unsigned width)
{
    if (width < 1 || width > 4)
        return 0;
    std::uint32_t value = ReadUnsignedLE(bytes, width);
    if (width < 4 && (bytes[width - 1] & 0x80))
        value |= ~0u << (8 * width);
    return static_cast<std::int32_t>(value);
}

void ApplyFixup(std::uint8_t* buffer, std::size_t size)
{
    if (!buffer || size < kFixupSector)
        return;
    const std::size_t arrayOffset = ReadLittleEndian16(buffer, kRecordUsaOffset);
    const std::size_t count = ReadLittleEndian16(buffer, kRecordUsaCount);
    // The array holds the sequence number and then one saved pair per sector.
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const std::size_t tail = kFixupSector * i + kFixupSector - 2;
        const std::size_t saved = arrayOffset + 2 + 2 * i;
        if (tail + 2 > size || saved + 2 > size)
            break;
        buffer[tail] = buffer[saved];
        buffer[tail + 1] = buffer[saved + 1];
    }
}

bool HasSignature(const std::uint8_t* buffer, const char* signature)
{
    return std::memcmp(buffer, signature, 4) == 0;
}

NtfsAttributeWalk::NtfsAttributeWalk(const std::uint8_t* record)
    : record(record), offset(ReadLittleEndian16(record, kRecordFirstAttribute))
{}

bool NtfsAttributeWalk::Next(NtfsAttribute& attribute)
{
    if (offset > kMftRecordSize - kResidentHeaderSize)
        return false;
    const std::uint32_t type = ReadLittleEndian32(record, offset + kAttrType);
    const std::uint32_t length = ReadLittleEndian32(record, offset + kAttrLength);
    if (type == 0 || type == kAttrEnd || length < kResidentHeaderSize || length > kMftRecordSize - offset)
        return false;
    attribute.offset = offset;
    attribute.type = type;
    attribute.length = length;
    attribute.nonResident = record[offset + kAttrNonResident] != 0;
    attribute.nameLength = record[offset + kAttrNameLength];
    offset += length;
    return true;
}

bool AttributeNameIs(const std::uint8_t* record, const NtfsAttribute& attribute, const char* name)
{
    const std::size_t length = std::strlen(name);
    if (attribute.nameLength != length)
        return false;
    const std::uint32_t nameOffset = ReadLittleEndian16(record, attribute.offset + kAttrNameOffset);
    if (nameOffset + 2 * length > attribute.length)
        return false;
    const std::uint8_t* units = record + attribute.offset + nameOffset;
    for (std::size_t i = 0; i < length; ++i) {
        if (ReadLittleEndian16(units, 2 * i) != static_cast<unsigned char>(name[i]))
            return false;
    }
    return true;
}

bool ResidentValue(const std::uint8_t* record, const NtfsAttribute& attribute, std::uint32_t& valueOffset,
                   std::uint32_t& valueLength)
{
    if (attribute.nonResident)
        return false;
    const std::uint32_t offset = ReadLittleEndian16(record, attribute.offset + kAttrValueOffset);
    const std::uint32_t length = ReadLittleEndian32(record, attribute.offset + kAttrValueLength);
    if (offset < kResidentHeaderSize || offset > attribute.length || length > attribute.length - offset)
        return false;
    valueOffset = attribute.offset + offset;
    valueLength = length;
    return true;
}

bool NonResidentRunList(const std::uint8_t* record, const NtfsAttribute& attribute,
                        std::uint32_t& runListOffset)
{
    if (!attribute.nonResident || attribute.length < kNonResidentHeaderSize)
        return false;
    const std::uint32_t offset = ReadLittleEndian16(record, attribute.offset + kAttrRunListOffset);
    if (offset < kNonResidentHeaderSize || offset >= attribute.length)
        return false;
    runListOffset = attribute.offset + offset;
    return true;
}

bool FindFileName(const std::uint8_t* record, std::uint8_t nameSpace, NtfsFileNameInfo& info)
{
    NtfsAttributeWalk walk(record);
    NtfsAttribute attribute;
    while (walk.Next(attribute)) {
        std::uint32_t value = 0;
        std::uint32_t valueLength = 0;
        if (attribute.type != kAttrFileName || attribute.nameLength != 0 ||
            !ResidentValue(record, attribute, value, valueLength) || valueLength < kFileNameText)
            continue;
        const std::uint32_t nameLength = record[value + kFileNameLength];
        if (kFileNameText + 2 * nameLength > valueLength ||
            !NamespaceMatches(record[value + kFileNameNamespace], nameSpace))
            continue;
        for (std::uint32_t i = 0; i < nameLength; ++i)
            info.name[i] = static_cast<char16_t>(ReadLittleEndian16(record, value + kFileNameText + 2 * i));
        info.name[nameLength] = 0;
        info.parentNumber = ReadLittleEndian32(record, value + kFileNameParent);
        info.creationTime = ReadLittleEndian64(record, value + kFileNameCreation);
        info.changeTime = ReadLittleEndian64(record, value + kFileNameChange);
        return true;
    }
    return false;
}

bool FindPreferredFileName(const std::uint8_t* record, NtfsFileNameInfo& info)
{
    return FindFileName(record, kNamespaceWin32, info) || FindFileName(record, kNamespaceWin32AndDos, info) ||
           FindFileName(record, kNamespaceDos, info);
}

bool ReadRecordAt(std::uint32_t recordSector, std::uint8_t* record)
{
    if (!ReadSectors(0, recordSector, 0, kMftRecordSectors, record) || !HasSignature(record, "FILE"))
        return false;
    ApplyFixup(record, kMftRecordSize);
    return true;
}

bool RecordFromBytes(const std::uint8_t* bytes, std::uint8_t* record)
{
    std::memcpy(record, bytes, kMftRecordSize);
    if (!HasSignature(record, "FILE"))
        return false;
    ApplyFixup(record, kMftRecordSize);
    return true;
}

int GetFileNameAttr(std::uint32_t recordSector, char16_t* name, std::uint32_t* parentNumber,
                    std::uint64_t* creationTime, std::uint64_t* changeTime, std::uint8_t nameSpace,
                    const std::uint8_t* recordBuffer, int reread)
{
    std::uint8_t copy[kMftRecordSize];
    const std::uint8_t* record = RecordToParse(recordSector, recordBuffer, reread, copy);
    NtfsFileNameInfo info;
    if (!record || !FindFileName(record, nameSpace, info))
        return 0;
    if (name)
        std::memcpy(name, info.name, sizeof(info.name));
    if (parentNumber)
        *parentNumber = info.parentNumber;
    if (creationTime)
        *creationTime = info.creationTime;
    if (changeTime)
        *changeTime = info.changeTime;
    return 1;
}

int FindUnnamedData(const std::uint8_t* record, std::uint32_t* attributeOffset)
{
    NtfsAttributeWalk walk(record);
    NtfsAttribute attribute;
    while (walk.Next(attribute)) {
        if (attribute.type != kAttrData || attribute.nameLength != 0)
            continue;
        std::uint32_t valueOffset = 0;
        std::uint32_t valueLength = 0;
        std::uint32_t runList = 0;
        int kind = 0;
        if (!attribute.nonResident && ResidentValue(record, attribute, valueOffset, valueLength))
            kind = 1;
        else if (NonResidentRunList(record, attribute, runList) &&
                 ReadLittleEndian64(record, attribute.offset + kAttrStartVcn) == 0)
            kind = 2;
        if (kind != 0) {
            if (attributeOffset)
                *attributeOffset = attribute.offset;
            return kind;
        }
    }
    return 0;
}

bool FindDataSize(const std::uint8_t* record, std::uint64_t& size)
{
    std::uint32_t offset = 0;
    switch (FindUnnamedData(record, &offset)) {
    case 1:
        size = ReadLittleEndian32(record, offset + kAttrValueLength);
        return true;
    case 2:
        size = ReadLittleEndian64(record, offset + kAttrRealSize);
        return true;
    default:
        return false;
    }
}

int GetDataSize(std::uint32_t recordSector, std::uint64_t* size, const std::uint8_t* recordBuffer, int reread)
{
    std::uint8_t copy[kMftRecordSize];
    const std::uint8_t* record = RecordToParse(recordSector, recordBuffer, reread, copy);
    std::uint64_t found = 0;
    if (!record || !FindDataSize(record, found))
        return 0;
    if (size)
        *size = found;
    return 1;
}

void ResetAttributeListTable(std::uint32_t recordNumber)
{
    attributeListTable = {};
    attributeListTable.recordNumbers[0] = recordNumber;
    attributeListTable.count = 1;
}

void ReadAttributeList(const std::uint8_t* record)
{
    for (const AttributeListEntry& entry :
         ReadAttributeListEntries(record, VolumeParams.clusterBase, VolumeParams.sectorsPerCluster)) {
        bool listed = false;
        for (std::uint16_t i = 0; i < attributeListTable.count && !listed; ++i)
            listed = attributeListTable.recordNumbers[i] == entry.recordNumber;
        if (listed)
            continue;
        if (attributeListTable.count >= kAttributeListCapacity)
            break;
        attributeListTable.recordNumbers[attributeListTable.count++] = entry.recordNumber;
    }
}
