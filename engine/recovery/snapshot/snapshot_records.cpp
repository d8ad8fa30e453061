#include "engine/recovery/snapshot/snapshot_records.h"

#include <cstring>
#include <string_view>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_alloc.h"

namespace {

// Bytes of a record's length field that do not belong to its name, and the zero units after the name:
// the record length is 2 x name length + the fixed part + 2 x the zero units.
struct NameLayout
{
    std::uint16_t fixedPart;
    std::uint32_t zeroUnits;
};

constexpr NameLayout kFatFolderName{15, 1};
constexpr NameLayout kFatFileName{21, 2};
constexpr NameLayout kNtfsFolderName{27, 2};
constexpr NameLayout kNtfsFileName{37, 2};
// The texts of a signature record (its extension, type name and ANSI signature) and of a found item.
constexpr NameLayout kSignatureText{15, 1};
constexpr NameLayout kTraceItemText{21, 2};

// At most kMaxSnapshotNameLength units, never ending on the first half of a surrogate pair.
std::u16string_view KeptName(const char16_t* name)
{
    std::u16string_view text(name ? name : u"", name ? TextLength(name) : 0);
    if (text.size() > kMaxSnapshotNameLength) {
        text = text.substr(0, kMaxSnapshotNameLength);
        if (text.back() >= 0xD800 && text.back() <= 0xDBFF)
            text.remove_suffix(1);
    }
    return text;
}

std::uint16_t RecordLength(std::size_t nameLength, NameLayout layout)
{
    return static_cast<std::uint16_t>(2 * nameLength + layout.fixedPart + 2 * layout.zeroUnits);
}

void WriteUnits(SnapshotWriter& out, std::u16string_view units, std::uint32_t zeroUnits)
{
    for (char16_t unit : units)
        out.U16(unit);
    out.Zeros(2 * static_cast<std::size_t>(zeroUnits));
}

// Length field, then the text and its zero units.
void WriteLengthAndText(SnapshotWriter& out, const char16_t* text, NameLayout layout)
{
    const std::u16string_view kept = KeptName(text);
    out.U16(RecordLength(kept.size(), layout));
    WriteUnits(out, kept, layout.zeroUnits);
}

// The name area of a record whose length field said `recordLength`.
bool ReadName(SnapshotReader& in, std::uint16_t recordLength, NameLayout layout, std::u16string& name)
{
    if (recordLength < layout.fixedPart)
        return false;
    const std::uint32_t areaBytes = recordLength - layout.fixedPart;
    if (areaBytes % 2 != 0 || areaBytes / 2 < layout.zeroUnits ||
        areaBytes / 2 - layout.zeroUnits > kMaxSnapshotNameLength)
        return false;
    std::uint8_t raw[2 * (kMaxSnapshotNameLength + 2)];
    if (!in.Bytes(raw, areaBytes))
        return false;
    const std::uint32_t length = areaBytes / 2 - layout.zeroUnits;
    auto unitAt = [&](std::uint32_t index) {
        return static_cast<char16_t>(ReadLittleEndian16(raw, 2 * std::size_t{index}));
    };
    if (unitAt(length) != 0)
        return false;
    name.resize(length);
    for (std::uint32_t i = 0; i < length; ++i)
        name[i] = unitAt(i);
    return true;
}

bool ReadLengthAndText(SnapshotReader& in, NameLayout layout, std::u16string& text)
{
    std::uint16_t length = 0;
    return in.U16(length) && ReadName(in, length, layout, text);
}

std::uint8_t DeletedByte(std::uint32_t deleted)
{
    return deleted != 0 ? 1 : 0;
}

} // namespace

void WriteSnapshotHead(SnapshotWriter& out, char16_t mode, const VolumeParamsBlock& volume)
{
    out.U16(mode);
    out.Bytes(kSnapshotTag, sizeof kSnapshotTag);
    out.Bytes(kSnapshotVersion, sizeof kSnapshotVersion);
    out.U16(volume.scanFsCode);
    out.U32(volume.rangeStart);
    out.U32(volume.rangeCount);
    out.U32(volume.rangeEnd);
    out.U16(volume.driveIndex);
    out.U16(volume.fsCode);
    out.U32(volume.fatSize);
    out.U32(volume.sectorsPerCluster);
    out.U32(volume.rootDirSectors);
    out.U32(volume.reservedSectors);
    out.U32(volume.clusterBase);
    out.U32(volume.fat1Start);
    out.U32(volume.fat2Start);
    out.U32(volume.mftStart);
    out.U32(volume.mftMirrStart);
    out.U32(volume.unused);
    out.U32(volume.indexSectors);
    out.U32(volume.endSector);
    out.U16(volume.volumeNumber);
}

void WriteFatFolderRecord(SnapshotWriter& out, const FatFolderRec& record)
{
    WriteLengthAndText(out, record.name, kFatFolderName);
    out.U32(record.firstCluster);
    out.U32(record.parentCluster);
    out.U16(record.writeDate);
    out.U16(record.accessDate);
    out.U8(DeletedByte(record.deleted));
    out.U16(0); // reserved
}

void WriteFatFileRecord(SnapshotWriter& out, const FatFileRec& record)
{
    WriteLengthAndText(out, record.name, kFatFileName);
    out.U32(record.firstCluster);
    out.U32(record.parentCluster);
    out.U16(record.writeDate);
    out.U16(record.accessDate);
    out.U32(record.size);
    out.U8(DeletedByte(record.deleted));
    out.U32(record.fileId);
}

void WriteNtfsFolderRecord(SnapshotWriter& out, const NtfsEntryNode& node)
{
    WriteLengthAndText(out, node.name, kNtfsFolderName);
    out.U32(node.folderNumber);
    out.U32(node.parentNumber);
    out.U64(node.creationTime);
    out.U64(node.changeTime);
    out.U8(DeletedByte(node.deleted));
    out.U16(node.reserved);
}

void WriteNtfsScanFileRecord(SnapshotWriter& out, const NtfsScanNode& node)
{
    const std::u16string_view name = KeptName(node.name);
    out.U16(RecordLength(name.size(), kNtfsFileName));
    out.U32(node.dataRecordSector);
    WriteUnits(out, name, kNtfsFileName.zeroUnits);
    out.U32(node.recordNumber);
    out.U32(node.parentNumber);
    out.U64(node.creationTime);
    out.U64(node.changeTime);
    out.U8(DeletedByte(node.deleted));
    out.U64(node.dataSize);
}

void WriteNtfsFileNodeRecord(SnapshotWriter& out, const NtfsFileNode& node)
{
    const std::u16string_view name = KeptName(node.name);
    out.U16(RecordLength(name.size(), kNtfsFileName));
    out.U32(node.recordSector);
    WriteUnits(out, name, kNtfsFileName.zeroUnits);
    // The field before the parent carries nothing for these records.
    out.U32(0);
    out.U32(node.parentNumber);
    out.U64(node.creationTime);
    out.U64(node.changeTime);
    out.U8(DeletedByte(node.deleted));
    out.U64(node.dataSize);
}

void WriteSignatureRecord(SnapshotWriter& out, const FileSignatureRec& record)
{
    WriteLengthAndText(out, record.extension, kSignatureText);
    WriteLengthAndText(out, record.typeName, kSignatureText);
    // The ANSI signature takes the room of a UTF-16 text of its length: its characters, a NUL, and as
    // many zero bytes again.
    std::size_t length = record.signature ? std::strlen(record.signature) : 0;
    if (length > kMaxSnapshotNameLength)
        length = kMaxSnapshotNameLength;
    out.U16(RecordLength(length, kSignatureText));
    out.Bytes(record.signature ? record.signature : "", length);
    out.Zeros(length + 2);
    out.U32(record.signatureLength);
    out.U32(record.number);
}

void WriteTraceItemRecord(SnapshotWriter& out, const TraceFoundRec& record)
{
    WriteLengthAndText(out, record.extension, kTraceItemText);
    WriteLengthAndText(out, record.name, kTraceItemText);
    WriteLengthAndText(out, record.typeName, kTraceItemText);
    out.U32(record.number);
    out.U32(record.sector);
}

void WriteSnapshotTrailer(SnapshotWriter& out, const SnapshotTrailer& trailer)
{
    out.U16(trailer.deviceIndex);
    out.U16(trailer.sourceKind);
}

SnapshotHeadCheck ReadSnapshotHead(SnapshotReader& in, char16_t& mode, VolumeParamsBlock& volume)
{
    std::uint16_t letter = 0;
    std::uint8_t tag[sizeof kSnapshotTag];
    std::uint8_t version[sizeof kSnapshotVersion];
    if (!in.U16(letter) || !in.Bytes(tag, sizeof tag) || !in.Bytes(version, sizeof version))
        return SnapshotHeadCheck::Truncated;
    mode = letter;
    if (std::memcmp(tag, kSnapshotTag, sizeof tag) != 0)
        return SnapshotHeadCheck::WrongTag;
    if (std::memcmp(version, kSnapshotVersion, sizeof version) != 0)
        return SnapshotHeadCheck::WrongVersion;

    volume = {};
    const bool complete =
        in.U16(volume.scanFsCode) && in.U32(volume.rangeStart) && in.U32(volume.rangeCount) &&
        in.U32(volume.rangeEnd) && in.U16(volume.driveIndex) && in.U16(volume.fsCode) &&
        in.U32(volume.fatSize) && in.U32(volume.sectorsPerCluster) && in.U32(volume.rootDirSectors) &&
        in.U32(volume.reservedSectors) && in.U32(volume.clusterBase) && in.U32(volume.fat1Start) &&
        in.U32(volume.fat2Start) && in.U32(volume.mftStart) && in.U32(volume.mftMirrStart) &&
        in.U32(volume.unused) && in.U32(volume.indexSectors) && in.U32(volume.endSector) &&
        in.U16(volume.volumeNumber);
    return complete ? SnapshotHeadCheck::Valid : SnapshotHeadCheck::Truncated;
}

bool ReadRecordCount(SnapshotReader& in, std::uint32_t minimumRecordBytes, std::uint32_t& count)
{
    return in.U32(count) && count <= in.Remaining() / minimumRecordBytes;
}

bool ReadFatFolderRecord(SnapshotReader& in, SnapshotFatFolder& record)
{
    std::uint16_t reserved = 0;
    return ReadLengthAndText(in, kFatFolderName, record.name) && in.U32(record.firstCluster) &&
           in.U32(record.parentCluster) && in.U16(record.writeDate) && in.U16(record.accessDate) &&
           in.U8(record.deleted) && in.U16(reserved);
}

bool ReadFatFileRecord(SnapshotReader& in, SnapshotFatFile& record)
{
    return ReadLengthAndText(in, kFatFileName, record.name) && in.U32(record.firstCluster) &&
           in.U32(record.parentCluster) && in.U16(record.writeDate) && in.U16(record.accessDate) &&
           in.U32(record.size) && in.U8(record.deleted) && in.U32(record.entryId);
}

bool ReadNtfsFolderRecord(SnapshotReader& in, SnapshotNtfsFolder& record)
{
    return ReadLengthAndText(in, kNtfsFolderName, record.name) && in.U32(record.folderNumber) &&
           in.U32(record.parentNumber) && in.U64(record.creationTime) && in.U64(record.changeTime) &&
           in.U8(record.deleted) && in.U16(record.lastField);
}

bool ReadNtfsFileRecord(SnapshotReader& in, SnapshotNtfsFile& record)
{
    std::uint16_t length = 0;
    return in.U16(length) && in.U32(record.first) && ReadName(in, length, kNtfsFileName, record.name) &&
           in.U32(record.second) && in.U32(record.third) && in.U64(record.creationTime) &&
           in.U64(record.changeTime) && in.U8(record.deleted) && in.U64(record.dataSize);
}

bool ReadSignatureRecord(SnapshotReader& in, SnapshotSignature& record)
{
    if (!ReadLengthAndText(in, kSignatureText, record.extension) ||
        !ReadLengthAndText(in, kSignatureText, record.typeName))
        return false;
    // The signature's area has the size of a UTF-16 text of n units with its terminator: n ANSI
    // characters, their NUL, then padding.
    std::uint16_t length = 0;
    if (!in.U16(length) || length < kSignatureText.fixedPart)
        return false;
    const std::uint32_t areaBytes = length - kSignatureText.fixedPart;
    if (areaBytes % 2 != 0 || areaBytes < 2 || areaBytes / 2 - 1 > kMaxSnapshotNameLength)
        return false;
    char raw[2 * (kMaxSnapshotNameLength + 1)];
    if (!in.Bytes(raw, areaBytes))
        return false;
    const std::uint32_t characters = areaBytes / 2 - 1;
    if (raw[characters] != 0)
        return false;
    record.signature.assign(raw, characters);
    return in.U32(record.signatureLength) && in.U32(record.number);
}

bool ReadTraceItemRecord(SnapshotReader& in, SnapshotTraceItem& record)
{
    return ReadLengthAndText(in, kTraceItemText, record.extension) &&
           ReadLengthAndText(in, kTraceItemText, record.name) &&
           ReadLengthAndText(in, kTraceItemText, record.typeName) && in.U32(record.entryId) &&
           in.U32(record.startSector);
}

bool ReadSnapshotTrailer(SnapshotReader& in, SnapshotTrailer& trailer)
{
    return in.U16(trailer.deviceIndex) && in.U16(trailer.sourceKind);
}
