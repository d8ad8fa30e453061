#include "engine/recovery/trace/compound_file_reader.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/image/byte_order.h"

namespace {

// ---- Compound file header (512 bytes at the start of the file) -----------------------------------------

constexpr std::uint8_t kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kByteOrderOffset = 28; // u16 0xFFFE
constexpr std::uint16_t kLittleEndianMark = 0xFFFE;
constexpr std::size_t kMajorVersionOffset = 26;         // u16: 3 (512-byte sectors) or 4 (4096-byte sectors)
constexpr std::size_t kSectorShiftOffset = 30;          // u16: 9 or 12
constexpr std::size_t kMiniSectorShiftOffset = 32;      // u16: 6
constexpr std::size_t kFatSectorCountOffset = 44;       // u32
constexpr std::size_t kFirstDirectorySectorOffset = 48; // u32
constexpr std::size_t kMiniStreamCutoffOffset = 56;   // u32: streams below this size live in the mini stream
constexpr std::size_t kFirstMiniFatSectorOffset = 60; // u32
constexpr std::size_t kFirstDifatSectorOffset = 68;   // u32
constexpr std::size_t kHeaderDifatOffset = 76;        // the first 109 FAT sector numbers
constexpr std::uint32_t kHeaderDifatEntries = 109;

// Chain links above this value are markers (end of chain, free, FAT or DIFAT sector).
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF; // directory: no sibling, no child

// ---- Directory entries (128 bytes each, in the directory stream) ---------------------------------------

constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kEntryNameUnits = 32;         // UTF-16 name field, terminator included
constexpr std::size_t kEntryNameLengthOffset = 64;  // u16 bytes of the name with its terminator
constexpr std::size_t kEntryTypeOffset = 66;        // u8
constexpr std::size_t kEntryLeftOffset = 68;        // u32 sibling of a smaller name
constexpr std::size_t kEntryRightOffset = 72;       // u32 sibling of a larger name
constexpr std::size_t kEntryChildOffset = 76;       // u32 root of the storage's own tree
constexpr std::size_t kEntryStartOffset = 116;      // u32 first sector (mini sector for small streams)
constexpr std::size_t kEntryStreamSizeOffset = 120; // u64; version 3 files may leave garbage in the high half
constexpr std::uint8_t kEntryTypeStream = 2;
constexpr std::uint8_t kEntryTypeRoot = 5;

constexpr std::uint32_t kMiniSectorSize = 64;

// ---- Property set stream ------------------------------------------------------------------------------

constexpr std::size_t kSetCountOffset = 24;     // u32 number of sections (1 or 2)
constexpr std::size_t kFirstFmtidOffset = 28;   // 16 bytes: format of the first section
constexpr std::size_t kFirstSectionOffset = 44; // u32 offset of the first section
// FMTID_SummaryInformation {F29F85E0-4FF9-1068-AB91-08002B27B3D9} as stored.
constexpr std::uint8_t kSummaryInformationFmtid[16] = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                                       0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
constexpr std::uint32_t kCodePageId = 1;
constexpr std::uint32_t kAppNameId = 18;
constexpr std::uint16_t kTypeI2 = 0x0002;
constexpr std::uint16_t kTypeLpstr = 0x001E;
constexpr std::uint16_t kTypeLpwstr = 0x001F;
constexpr std::uint16_t kCodePageUtf16 = 1200;

constexpr char16_t kSummaryStreamName[] = u"\x0005SummaryInformation";

bool Read16(std::span<const std::uint8_t> bytes, std::size_t offset, std::uint16_t& value)
{
    if (offset > bytes.size() || bytes.size() - offset < 2)
        return false;
    value = ReadLittleEndian16(bytes.data(), offset);
    return true;
}

bool Read32(std::span<const std::uint8_t> bytes, std::size_t offset, std::uint32_t& value)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return false;
    value = ReadLittleEndian32(bytes.data(), offset);
    return true;
}

char16_t FoldAscii(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

class CompoundFile
{
public:
    CompoundFile(const CompoundFileRead& read, std::uint64_t size) : read(read), fileSize(size) {}

    bool Open();
    // Finds a stream among the root storage's children by name, without regard to ASCII case.
    bool FindRootStream(std::u16string_view name, std::uint32_t& start, std::uint64_t& size) const;
    bool ReadStream(std::uint32_t start, std::uint64_t size, std::vector<std::uint8_t>& out);

private:
    // `count` bytes at `offset`, within what the file may still be read for: no more bytes are read than
    // the file holds, whatever its chains say.
    bool ReadAt(std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& out);
    bool ReadSector(std::uint32_t sector, std::vector<std::uint8_t>& out)
    {
        return ReadAt((std::uint64_t{sector} + 1) * sectorSize, sectorSize, out);
    }
    // The FAT entry of `sector`, its FAT sector read when first needed.
    bool FatEntry(std::uint32_t sector, std::uint32_t& next);
    // A chain of the FAT; `size` of UINT64_MAX reads up to the end of the chain.
    bool ReadRegularChain(std::uint32_t start, std::uint64_t size, std::vector<std::uint8_t>& out);
    bool ReadMiniChain(std::uint32_t start, std::uint64_t size, std::vector<std::uint8_t>& out);
    bool EntryName(std::uint32_t entry, std::u16string& name) const;
    std::span<const std::uint8_t> Entry(std::uint32_t entry) const
    {
        return std::span<const std::uint8_t>(directory).subspan(entry * kEntrySize, kEntrySize);
    }

    const CompoundFileRead& read;
    std::uint64_t fileSize = 0;
    std::uint64_t bytesRead = 0;
    std::uint32_t sectorSize = 0;
    // Whole sectors after the header sector; no chain may be longer.
    std::uint32_t sectorCount = 0;
    bool versionThree = true;
    std::uint32_t miniStreamCutoff = 0;
    std::uint32_t firstMiniFatSector = kEndOfChain;
    std::vector<std::uint32_t> fatSectorNumbers;
    // One entry per FAT sector: its links once read, empty before.
    std::vector<std::vector<std::uint32_t>> fatPages;
    std::vector<std::uint8_t> directory;
};

bool CompoundFile::ReadAt(std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& out)
{
    if (offset > fileSize || fileSize - offset < count || count > fileSize - bytesRead)
        return false;
    bytesRead += count;
    out.assign(count, 0);
    return read(offset, count, out.data());
}

bool CompoundFile::Open()
{
    std::vector<std::uint8_t> header;
    if (!ReadAt(0, kHeaderSize, header) ||
        std::memcmp(header.data(), kCompoundSignature, sizeof kCompoundSignature))
        return false;
    const std::span<const std::uint8_t> file(header);
    std::uint16_t byteOrder = 0;
    std::uint16_t majorVersion = 0;
    std::uint16_t sectorShift = 0;
    std::uint16_t miniSectorShift = 0;
    Read16(file, kByteOrderOffset, byteOrder);
    Read16(file, kMajorVersionOffset, majorVersion);
    Read16(file, kSectorShiftOffset, sectorShift);
    Read16(file, kMiniSectorShiftOffset, miniSectorShift);
    if (byteOrder != kLittleEndianMark || (sectorShift != 9 && sectorShift != 12) || miniSectorShift != 6)
        return false;
    versionThree = majorVersion != 4;
    sectorSize = 1u << sectorShift;
    if (fileSize / sectorSize < 2)
        return false;
    sectorCount =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(fileSize / sectorSize - 1, kMaxRegularSector));

    std::uint32_t fatSectors = 0;
    std::uint32_t difatSector = kEndOfChain;
    std::uint32_t directoryStart = kEndOfChain;
    Read32(file, kFatSectorCountOffset, fatSectors);
    Read32(file, kFirstDifatSectorOffset, difatSector);
    Read32(file, kFirstDirectorySectorOffset, directoryStart);
    Read32(file, kMiniStreamCutoffOffset, miniStreamCutoff);
    Read32(file, kFirstMiniFatSectorOffset, firstMiniFatSector);
    if (fatSectors == 0 || fatSectors > sectorCount)
        return false;

    // The FAT's own sectors: 109 in the header, the rest in the chain of DIFAT sectors, each of which
    // ends with the number of the next one.
    fatSectorNumbers.reserve(std::min(fatSectors, kHeaderDifatEntries));
    for (std::uint32_t i = 0; i < std::min(fatSectors, kHeaderDifatEntries); ++i) {
        std::uint32_t number = 0;
        Read32(file, kHeaderDifatOffset + 4 * i, number);
        fatSectorNumbers.push_back(number);
    }
    const std::uint32_t entriesPerSector = sectorSize / 4;
    std::vector<std::uint8_t> sector;
    for (std::uint32_t steps = 0; fatSectorNumbers.size() < fatSectors; ++steps) {
        if (difatSector >= sectorCount || steps >= sectorCount || !ReadSector(difatSector, sector))
            return false;
        for (std::uint32_t i = 0; i + 1 < entriesPerSector && fatSectorNumbers.size() < fatSectors; ++i) {
            std::uint32_t number = 0;
            Read32(sector, 4 * i, number);
            fatSectorNumbers.push_back(number);
        }
        Read32(sector, 4 * (entriesPerSector - 1), difatSector);
    }
    for (std::uint32_t number : fatSectorNumbers) {
        if (number >= sectorCount)
            return false;
    }
    fatPages.resize(fatSectorNumbers.size());

    if (!ReadRegularChain(directoryStart, UINT64_MAX, directory) || directory.size() < kEntrySize)
        return false;
    return Entry(0)[kEntryTypeOffset] == kEntryTypeRoot;
}

bool CompoundFile::FatEntry(std::uint32_t sector, std::uint32_t& next)
{
    const std::uint32_t entriesPerSector = sectorSize / 4;
    const std::size_t page = sector / entriesPerSector;
    if (page >= fatPages.size())
        return false;
    std::vector<std::uint32_t>& links = fatPages[page];
    if (links.empty()) {
        std::vector<std::uint8_t> bytes;
        if (!ReadSector(fatSectorNumbers[page], bytes))
            return false;
        links.resize(entriesPerSector);
        for (std::uint32_t i = 0; i < entriesPerSector; ++i)
            Read32(bytes, 4 * i, links[i]);
    }
    next = links[sector % entriesPerSector];
    return true;
}

bool CompoundFile::ReadRegularChain(std::uint32_t start, std::uint64_t size, std::vector<std::uint8_t>& out)
{
    out.clear();
    std::vector<std::uint8_t> bytes;
    std::uint32_t sector = start;
    for (std::uint32_t steps = 0; out.size() < size; ++steps) {
        if (sector == kEndOfChain)
            return size == UINT64_MAX;
        std::uint32_t next = 0;
        if (sector >= sectorCount || steps >= sectorCount || !FatEntry(sector, next) ||
            !ReadSector(sector, bytes))
            return false;
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(sectorSize, size - out.size()));
        out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
        sector = next;
    }
    return true;
}

bool CompoundFile::ReadMiniChain(std::uint32_t start, std::uint64_t size, std::vector<std::uint8_t>& out)
{
    std::vector<std::uint8_t> miniFatBytes;
    if (!ReadRegularChain(firstMiniFatSector, UINT64_MAX, miniFatBytes))
        return false;
    // The root entry's stream is the mini stream; its size is known only to be within the file.
    std::uint32_t miniStreamStart = kEndOfChain;
    std::uint32_t sizeLow = 0;
    std::uint32_t sizeHigh = 0;
    Read32(Entry(0), kEntryStartOffset, miniStreamStart);
    Read32(Entry(0), kEntryStreamSizeOffset, sizeLow);
    Read32(Entry(0), kEntryStreamSizeOffset + 4, sizeHigh);
    const std::uint64_t miniStreamSize = versionThree ? sizeLow : (std::uint64_t{sizeHigh} << 32 | sizeLow);
    if (miniStreamSize > fileSize)
        return false;
    std::vector<std::uint8_t> miniStream;
    if (!ReadRegularChain(miniStreamStart, miniStreamSize, miniStream))
        return false;

    const std::size_t miniSectors = miniStream.size() / kMiniSectorSize;
    out.clear();
    std::uint32_t sector = start;
    for (std::size_t steps = 0; out.size() < size; ++steps) {
        std::uint32_t next = 0;
        if (sector >= miniSectors || steps >= miniSectors ||
            !Read32(miniFatBytes, 4 * std::size_t{sector}, next))
            return false;
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(kMiniSectorSize, size - out.size()));
        const auto first = miniStream.begin() + static_cast<std::ptrdiff_t>(sector) * kMiniSectorSize;
        out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(take));
        sector = next;
    }
    return true;
}

bool CompoundFile::EntryName(std::uint32_t entry, std::u16string& name) const
{
    const auto bytes = Entry(entry);
    std::uint16_t nameBytes = 0;
    Read16(bytes, kEntryNameLengthOffset, nameBytes);
    if (nameBytes < 2 || nameBytes % 2 || nameBytes / 2 > kEntryNameUnits)
        return false;
    name.clear();
    for (std::size_t i = 0; i + 1 < nameBytes / 2u; ++i) {
        std::uint16_t unit = 0;
        Read16(bytes, 2 * i, unit);
        name.push_back(static_cast<char16_t>(unit));
    }
    return true;
}

bool CompoundFile::FindRootStream(std::u16string_view wanted, std::uint32_t& start, std::uint64_t& size) const
{
    const std::size_t entryCount = directory.size() / kEntrySize;
    std::uint32_t child = kNoEntry;
    Read32(Entry(0), kEntryChildOffset, child);
    // The children form a tree through their sibling links; a crafted file may loop them, so each
    // entry is visited once.
    std::vector<bool> visited(entryCount, false);
    std::vector<std::uint32_t> pending{child};
    std::u16string name;
    while (!pending.empty()) {
        const std::uint32_t entry = pending.back();
        pending.pop_back();
        if (entry == kNoEntry || entry >= entryCount || visited[entry])
            continue;
        visited[entry] = true;
        const auto bytes = Entry(entry);
        std::uint32_t left = kNoEntry;
        std::uint32_t right = kNoEntry;
        Read32(bytes, kEntryLeftOffset, left);
        Read32(bytes, kEntryRightOffset, right);
        pending.push_back(left);
        pending.push_back(right);
        if (!EntryName(entry, name) || name.size() != wanted.size() ||
            !std::equal(name.begin(), name.end(), wanted.begin(),
                        [](char16_t a, char16_t b) { return FoldAscii(a) == FoldAscii(b); }))
            continue;
        if (bytes[kEntryTypeOffset] != kEntryTypeStream)
            return false;
        std::uint32_t sizeLow = 0;
        std::uint32_t sizeHigh = 0;
        Read32(bytes, kEntryStartOffset, start);
        Read32(bytes, kEntryStreamSizeOffset, sizeLow);
        Read32(bytes, kEntryStreamSizeOffset + 4, sizeHigh);
        size = versionThree ? sizeLow : (std::uint64_t{sizeHigh} << 32 | sizeLow);
        return true;
    }
    return false;
}

bool CompoundFile::ReadStream(std::uint32_t start, std::uint64_t size, std::vector<std::uint8_t>& out)
{
    // No stream can hold more than the file.
    if (size > fileSize)
        return false;
    if (size < miniStreamCutoff)
        return ReadMiniChain(start, size, out);
    return ReadRegularChain(start, size, out);
}

// The application name of a summary-information property set stream.
std::u16string AppNameOfPropertySet(std::span<const std::uint8_t> stream)
{
    std::uint16_t byteOrder = 0;
    std::uint32_t sets = 0;
    std::uint32_t sectionOffset = 0;
    if (!Read16(stream, 0, byteOrder) || byteOrder != kLittleEndianMark ||
        !Read32(stream, kSetCountOffset, sets) || sets == 0 ||
        !Read32(stream, kFirstSectionOffset, sectionOffset) ||
        std::memcmp(stream.data() + kFirstFmtidOffset, kSummaryInformationFmtid,
                    sizeof kSummaryInformationFmtid))
        return {};
    if (sectionOffset > stream.size())
        return {};
    const auto section = stream.subspan(sectionOffset);
    std::uint32_t propertyCount = 0;
    if (!Read32(section, 4, propertyCount))
        return {};

    std::uint16_t codePage = 0;
    std::uint32_t nameOffset = 0;
    bool hasName = false;
    // Each pair is 8 bytes after the 8-byte section head; the bound is the data, not the count.
    for (std::size_t i = 0; i < propertyCount && 8 + 8 * i + 8 <= section.size(); ++i) {
        std::uint32_t id = 0;
        std::uint32_t offset = 0;
        Read32(section, 8 + 8 * i, id);
        Read32(section, 12 + 8 * i, offset);
        std::uint16_t type = 0;
        if (id == kCodePageId && Read16(section, offset, type) && type == kTypeI2)
            Read16(section, std::size_t{offset} + 4, codePage);
        if (id == kAppNameId && !hasName) {
            hasName = true;
            nameOffset = offset;
        }
    }
    std::uint16_t type = 0;
    std::uint32_t length = 0;
    if (!hasName || !Read16(section, nameOffset, type) ||
        !Read32(section, std::size_t{nameOffset} + 4, length))
        return {};
    const std::size_t valueOffset = std::size_t{nameOffset} + 8;
    std::u16string name;
    if (type == kTypeLpstr && codePage != kCodePageUtf16) {
        // Bytes, terminator included.
        for (std::size_t i = 0; i < length && valueOffset + i < section.size() && section[valueOffset + i];
             ++i)
            name.push_back(static_cast<char16_t>(section[valueOffset + i]));
    } else if (type == kTypeLpstr || type == kTypeLpwstr) {
        // A string of a UTF-16 property set counts bytes; a wide string counts characters.
        const std::size_t units = type == kTypeLpstr ? length / 2 : length;
        std::uint16_t unit = 0;
        for (std::size_t i = 0; i < units && Read16(section, valueOffset + 2 * i, unit) && unit; ++i)
            name.push_back(static_cast<char16_t>(unit));
    }
    return name;
}

} // namespace

std::u16string ReadCompoundFileAppName(const CompoundFileRead& read, std::uint64_t size)
{
    CompoundFile compound(read, size);
    std::uint32_t start = 0;
    std::uint64_t streamSize = 0;
    std::vector<std::uint8_t> stream;
    if (!compound.Open() || !compound.FindRootStream(kSummaryStreamName, start, streamSize) ||
        !compound.ReadStream(start, streamSize, stream))
        return {};
    return AppNameOfPropertySet(stream);
}

std::u16string ReadCompoundFileAppName(std::span<const std::uint8_t> file)
{
    const CompoundFileRead read = [file](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
        std::memcpy(out, file.data() + offset, count);
        return true;
    };
    return ReadCompoundFileAppName(read, file.size());
}

bool StartsCompoundFile(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= sizeof kCompoundSignature &&
           std::memcmp(bytes.data(), kCompoundSignature, sizeof kCompoundSignature) == 0;
}
