#pragma once

// The pieces of a snapshot document: the head (mode letter, version tag and number, volume header), one
// record of each kind of found entry, and the trailer. Writers take the engine's records; readers fill
// plain values (SnapshotContents) that the loader turns into records only once the whole document has
// been read, so that a document refused half-way leaves the engine as it was.
//
// All numbers are little-endian, names UTF-16LE. A record starts with a 16-bit length from which the
// reader takes the size of its name; the remaining fields have fixed sizes.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/snapshot/snapshot_io.h"

// Mode letters, the document's first UTF-16 unit.
inline constexpr char16_t kSnapshotModeExtensive = u'A';
inline constexpr char16_t kSnapshotModeQuick = u'D';
inline constexpr char16_t kSnapshotModeTrace = u'R';

// Bytes 2 to 8: the first seven bytes of "qzv4.03" in UTF-16LE; bytes 9 to 11: of "1.0".
inline constexpr std::uint8_t kSnapshotTag[7] = {'q', 0, 'z', 0, 'v', 0, '4'};
inline constexpr std::uint8_t kSnapshotVersion[3] = {'1', 0, '.'};
// The volume header ends here; the body follows.
inline constexpr std::uint32_t kSnapshotHeadBytes = 80;

// Longest name a record may carry. Every record's name with its zero units then fits the 1024-unit name
// buffer of the reader; names found on FAT and NTFS volumes are at most 255 units.
inline constexpr std::uint32_t kMaxSnapshotNameLength = 1022;

// Smallest size of each record in the file, its length field included (an empty name): a count that
// the rest of the file could not hold at this size is refused before anything is read.
inline constexpr std::uint32_t kMinFatFolderRecordBytes = 2 + 17;
inline constexpr std::uint32_t kMinFatFileRecordBytes = 2 + 25;
inline constexpr std::uint32_t kMinNtfsFolderRecordBytes = 2 + 31;
inline constexpr std::uint32_t kMinNtfsFileRecordBytes = 2 + 41;
inline constexpr std::uint32_t kMinSignatureRecordBytes = 3 * (2 + 2) + 4 + 4;
inline constexpr std::uint32_t kMinTraceItemRecordBytes = 3 * (2 + 4) + 4 + 4;

struct SnapshotFatFolder
{
    std::u16string name;
    std::uint32_t firstCluster = 0;
    std::uint32_t parentCluster = 0;
    std::uint16_t writeDate = 0;
    std::uint16_t accessDate = 0;
    std::uint8_t deleted = 0;
};

struct SnapshotFatFile
{
    std::u16string name;
    std::uint32_t firstCluster = 0;
    std::uint32_t parentCluster = 0;
    std::uint16_t writeDate = 0;
    std::uint16_t accessDate = 0;
    std::uint32_t size = 0;
    std::uint8_t deleted = 0;
    std::uint32_t entryId = 0;
};

struct SnapshotNtfsFolder
{
    std::u16string name;
    std::uint32_t folderNumber = 0;
    std::uint32_t parentNumber = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t changeTime = 0;
    std::uint8_t deleted = 0;
    std::uint16_t lastField = 0;
};

// Quick Scan: first = data-record sector, second = record number, third = parent number.
// Extensive Scan: first = file-record sector, second = 0, third = parent number.
struct SnapshotNtfsFile
{
    std::uint32_t first = 0;
    std::u16string name;
    std::uint32_t second = 0;
    std::uint32_t third = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t changeTime = 0;
    std::uint8_t deleted = 0;
    std::uint64_t dataSize = 0;
};

struct SnapshotSignature
{
    std::u16string extension;
    std::u16string typeName;
    std::string signature;
    std::uint32_t signatureLength = 0;
    std::uint32_t number = 0;
};

struct SnapshotTraceItem
{
    std::u16string extension;
    std::u16string name;
    std::u16string typeName;
    std::uint32_t entryId = 0;
    std::uint32_t startSector = 0;
};

struct SnapshotTrailer
{
    std::uint16_t deviceIndex = 0;
    std::uint16_t sourceKind = 0;
};

// What a document holds, read completely before any of it reaches the engine.
struct SnapshotContents
{
    char16_t mode = 0;
    VolumeParamsBlock volume;
    std::vector<SnapshotFatFolder> fatFolders;
    std::vector<SnapshotFatFile> fatFiles;
    std::vector<SnapshotNtfsFolder> ntfsFolders;
    std::vector<SnapshotNtfsFile> ntfsFiles;
    std::vector<SnapshotSignature> signatures;
    std::vector<SnapshotTraceItem> traceItems;
    SnapshotTrailer trailer;
};

// ---- Writing ------------------------------------------------------------------------------------------

// Mode letter, tag, version and the volume header (rootStart is not kept).
void WriteSnapshotHead(SnapshotWriter& out, char16_t mode, const VolumeParamsBlock& volume);
void WriteFatFolderRecord(SnapshotWriter& out, const FatFolderRec& record);
void WriteFatFileRecord(SnapshotWriter& out, const FatFileRec& record);
void WriteNtfsFolderRecord(SnapshotWriter& out, const NtfsEntryNode& node);
void WriteNtfsScanFileRecord(SnapshotWriter& out, const NtfsScanNode& node);
void WriteNtfsFileNodeRecord(SnapshotWriter& out, const NtfsFileNode& node);
void WriteSignatureRecord(SnapshotWriter& out, const FileSignatureRec& record);
void WriteTraceItemRecord(SnapshotWriter& out, const TraceFoundRec& record);
void WriteSnapshotTrailer(SnapshotWriter& out, const SnapshotTrailer& trailer);

// ---- Reading ------------------------------------------------------------------------------------------
// Each reader returns false when the file ends inside the piece, or when the piece cannot be what the
// document says it is: a length shorter than its record's fixed part or than the name's zero units, a
// name longer than kMaxSnapshotNameLength, a name without its terminating zero unit.

enum class SnapshotHeadCheck
{
    Valid,
    Truncated,    // the file ends before the volume header does
    WrongTag,     // bytes 2 to 8
    WrongVersion, // bytes 9 to 11
};

// The mode letter, tag and version, then the volume header (rootStart stays 0).
SnapshotHeadCheck ReadSnapshotHead(SnapshotReader& in, char16_t& mode, VolumeParamsBlock& volume);
// A record count that the rest of the file can hold at `minimumRecordBytes` a record.
bool ReadRecordCount(SnapshotReader& in, std::uint32_t minimumRecordBytes, std::uint32_t& count);
bool ReadFatFolderRecord(SnapshotReader& in, SnapshotFatFolder& record);
bool ReadFatFileRecord(SnapshotReader& in, SnapshotFatFile& record);
bool ReadNtfsFolderRecord(SnapshotReader& in, SnapshotNtfsFolder& record);
bool ReadNtfsFileRecord(SnapshotReader& in, SnapshotNtfsFile& record);
bool ReadSignatureRecord(SnapshotReader& in, SnapshotSignature& record);
bool ReadTraceItemRecord(SnapshotReader& in, SnapshotTraceItem& record);
bool ReadSnapshotTrailer(SnapshotReader& in, SnapshotTrailer& trailer);
