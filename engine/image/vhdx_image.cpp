#include "engine/image/vhdx_image.h"

#include <algorithm>
#include <cstring>

#include "engine/image/byte_order.h"
#include "engine/image/crc32c.h"
#include "engine/image/read_past_end.h"
#include "engine/image/vhdx_metadata_item.h"

namespace {

// Fixed places of the file (bytes).
constexpr uint64_t kHeader1Position = 65536;
constexpr uint64_t kHeader2Position = 131072;
constexpr uint64_t kRegionTablePosition = 196608;
constexpr uint64_t kRegionTableCopyPosition = 262144;
constexpr uint32_t kRegionTableBytes = 65536;
constexpr uint32_t kMetadataTableBytes = 65536;

// Header fields.
constexpr size_t kHeaderChecksumOffset = 4; // u32 CRC-32C over the 4 KiB with this field zero
constexpr size_t kHeaderSequenceOffset = 8; // u64; the valid header with the larger one is current
constexpr size_t kHeaderLogGuidOffset = 48; // 16 bytes; not all zero while the log must be replayed
constexpr size_t kHeaderVersionOffset = 66; // u16, 1
constexpr uint32_t kHeaderVersion = 1;

// Region table: 16-byte header (signature, checksum, entry count, reserved), then 32-byte entries
// (GUID, u64 file offset, u32 length, u32 flags).
constexpr size_t kRegionChecksumOffset = 4;
constexpr size_t kRegionCountOffset = 8;
constexpr size_t kRegionEntriesOffset = 16;
constexpr size_t kRegionEntryBytes = 32;
constexpr uint32_t kRegionRequired = 1;

// Metadata table: "metadata", u16 reserved, u16 entry count at 10, then 32-byte entries from 32
// (GUID, u32 offset within the region, u32 length, u32 flags, u32 reserved).
constexpr size_t kMetadataCountOffset = 10;
constexpr size_t kMetadataEntriesOffset = 32;
constexpr size_t kMetadataEntryBytes = 32;
constexpr uint32_t kMetadataUser = 1u << 0;
constexpr uint32_t kMetadataVirtualDisk = 1u << 1;
constexpr uint32_t kMetadataRequired = 1u << 2;

// Legal ranges of the metadata values.
constexpr uint32_t kSmallestBlockBytes = 1u << 20;
constexpr uint32_t kLargestBlockBytes = 1u << 28;
constexpr uint64_t kLargestDiskBytes = 64ull << 40;

// BAT entries are read this many at a time.
constexpr uint32_t kBatEntriesPerRead = 8192;

struct KnownGuid
{
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
    const char16_t* name;
};

constexpr const char16_t* kBatName = u"Bat Guid";
constexpr const char16_t* kMetadataName = u"MetaData_Guid";
constexpr const char16_t* kFileParameterName = u"File Parameter";
constexpr const char16_t* kVirtualDiskSizeName = u"Virtual Disk Size";
constexpr const char16_t* kLogicalSectorSizeName = u"Logical Sector Size";
constexpr const char16_t* kPhysicalSectorSizeName = u"Physical Sector Size";
constexpr const char16_t* kParentLocatorName = u"Parent Locator";

constexpr KnownGuid kKnownGuids[] = {
    {0x2DC27766, 0xF623, 0x4200, {0x9D, 0x64, 0x11, 0x5E, 0x9B, 0xFD, 0x4A, 0x08}, kBatName},
    {0x8B7CA206, 0x4790, 0x4B9A, {0xB8, 0xFE, 0x57, 0x5F, 0x05, 0x0F, 0x88, 0x6E}, kMetadataName},
    {0xCAA16737, 0xFA36, 0x4D43, {0xB3, 0xB6, 0x33, 0xF0, 0xAA, 0x44, 0xE7, 0x6B}, kFileParameterName},
    {0x2FA54224, 0xCD1B, 0x4876, {0xB2, 0x11, 0x5D, 0xBE, 0xD8, 0x3B, 0xF4, 0xB8}, kVirtualDiskSizeName},
    {0x8141BF1D, 0xA96F, 0x4709, {0xBA, 0x47, 0xF2, 0x33, 0xA8, 0xFA, 0xAB, 0x5F}, kLogicalSectorSizeName},
    {0xCDA348C7, 0x445D, 0x4471, {0x9C, 0xC9, 0xE9, 0x88, 0x52, 0x51, 0xC5, 0x56}, kPhysicalSectorSizeName},
    {0xBECA12AB, 0xB2E6, 0x4523, {0x93, 0xEF, 0xC3, 0x09, 0xE0, 0x00, 0xC7, 0x46}, u"Page83"},
    {0xA8D35F2D, 0xB30B, 0x454D, {0xAB, 0xF7, 0xD3, 0xD8, 0x48, 0x34, 0xAB, 0x0C}, kParentLocatorName},
};

bool IsPowerOfTwo(uint64_t value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

// A structure with a CRC-32C over its whole length, computed with the checksum field as zero.
bool ChecksumMatches(const uint8_t* bytes, size_t length, size_t checksumOffset)
{
    std::vector<uint8_t> copy(bytes, bytes + length);
    std::memset(copy.data() + checksumOffset, 0, 4);
    return Crc32c(copy.data(), copy.size()) == ReadLittleEndian32(bytes + checksumOffset);
}

bool IsNamedMetadataItem(const std::u16string& name)
{
    return name == kFileParameterName || name == kVirtualDiskSizeName || name == kLogicalSectorSizeName ||
           name == kPhysicalSectorSizeName || name == kParentLocatorName;
}

} // namespace

CVhdxImage::CVhdxImage()
{
    ResetState();
}

CVhdxImage::~CVhdxImage()
{
    Close();
}

void CVhdxImage::ResetState()
{
    parsePosition = 0;
    fileIdentifier.fill(0);
    header1.fill(0);
    header2.fill(0);
    regionTableHeader.fill(0);
    metadataTableHeader.fill(0);
    metadataItems.clear();
    bat.clear();
    regions.clear();
    batEntryCount = 0;
    dataBlockCount = 0;
    chunkRatio = 0;
    blockSize = 0;
    diskTypeName.clear();
    blockBytesTotal = 0;
    diskSize = 0;
    blockIndex = -1;
    readPosition = 0;
    blockFileOffset = 0;
    openError = ImageOpenError::NotOpen;
    opened = false;
    fileSize = 0;
    logicalSectorSize = 0;
    physicalSectorSize = 0;
    hasParent = false;
    stoppedAtFileEnd = false;
}

int CVhdxImage::Open(std::u16string_view path)
{
    using namespace image_file_flags;
    Close();
    if (!file.OpenEx(path, kGenericRead, kShareRead | kShareWrite, nullptr, kOpenExisting, kAttributeArchive,
                     kNullFileHandle)) {
        file.Close();
        openError = ImageOpenError::CannotOpenFile;
        return 0;
    }
    fileSize = file.GetSize();
    if (Parse() < 0) {
        const ImageOpenError reason = openError;
        Close();
        openError = reason;
        return 0;
    }
    openError = ImageOpenError::None;
    opened = true;
    SeekVirtual(0);
    return 1;
}

void CVhdxImage::Close()
{
    file.Close();
    ResetState();
}

int CVhdxImage::Refuse(ImageOpenError reason, int code)
{
    openError = reason;
    return code;
}

std::u16string CVhdxImage::GuidToItemName(const uint8_t* guid)
{
    const uint32_t data1 = ReadLittleEndian32(guid);
    const uint16_t data2 = ReadLittleEndian16(guid + 4);
    const uint16_t data3 = ReadLittleEndian16(guid + 6);
    for (const KnownGuid& known : kKnownGuids) {
        if (known.data1 == data1 && known.data2 == data2 && known.data3 == data3 &&
            std::memcmp(known.data4, guid + 8, 8) == 0)
            return known.name;
    }
    return u"Invalid Item Id";
}

bool CVhdxImage::ChooseCurrentHeader(const uint8_t*& current) const
{
    auto valid = [](const std::array<uint8_t, kHeaderBytes>& header) {
        return std::memcmp(header.data(), "head", 4) == 0 &&
               ReadLittleEndian16(header.data() + kHeaderVersionOffset) == kHeaderVersion &&
               ChecksumMatches(header.data(), header.size(), kHeaderChecksumOffset);
    };
    const bool firstValid = valid(header1);
    const bool secondValid = valid(header2);
    if (!firstValid && !secondValid)
        return false;
    if (firstValid && secondValid)
        current = ReadLittleEndian64(header1.data() + kHeaderSequenceOffset) >=
                          ReadLittleEndian64(header2.data() + kHeaderSequenceOffset)
                      ? header1.data()
                      : header2.data();
    else
        current = firstValid ? header1.data() : header2.data();
    return true;
}

int CVhdxImage::Parse()
{
    uint8_t page[kPageBytes];
    parsePosition = 0;
    if (!file.ReadAtZeroPadded(parsePosition, page, kPageBytes))
        std::memset(page, 0, kPageBytes);
    std::memcpy(fileIdentifier.data(), page, kFileIdentifierBytes);
    if (std::memcmp(fileIdentifier.data(), "vhdxfile", 8) != 0)
        return Refuse(ImageOpenError::VhdxBadSignature, kParseBadSignature);

    parsePosition = kHeader1Position;
    if (!file.ReadAtZeroPadded(parsePosition, header1.data(), kHeaderBytes))
        header1.fill(0);
    parsePosition = kHeader2Position;
    if (!file.ReadAtZeroPadded(parsePosition, header2.data(), kHeaderBytes))
        header2.fill(0);
    const uint8_t* current = nullptr;
    if (!ChooseCurrentHeader(current))
        return Refuse(ImageOpenError::VhdxNoValidHeader, kParseRefused);
    // Data written before an unclean close may still sit in the log only; reading past it would give
    // stale bytes.
    static const uint8_t kNoLog[16] = {};
    if (std::memcmp(current + kHeaderLogGuidOffset, kNoLog, sizeof kNoLog) != 0)
        return Refuse(ImageOpenError::VhdxLogToReplay, kParseRefused);

    const int regionResult = ReadRegionTable();
    if (regionResult < 0)
        return regionResult;
    for (const VhdxRegion& region : regions) {
        if (region.name == kMetadataName) {
            const int result = ReadMetadataTable(region.fileOffset, region.length);
            if (result < 0)
                return result;
        }
    }
    for (const VhdxRegion& region : regions) {
        if (region.name == kBatName) {
            const int result = ReadBat(region.fileOffset, region.length);
            if (result < 0)
                return result;
        }
    }
    return 0;
}

int CVhdxImage::ReadRegionTable()
{
    std::vector<uint8_t> table(kRegionTableBytes);
    auto valid = [&](uint64_t position) {
        parsePosition = position;
        return file.ReadAtZeroPadded(position, table.data(), kRegionTableBytes) &&
               std::memcmp(table.data(), "regi", 4) == 0 &&
               ChecksumMatches(table.data(), table.size(), kRegionChecksumOffset);
    };
    // The second copy stands in for a damaged first one; both are written alike.
    if (!valid(kRegionTablePosition) && !valid(kRegionTableCopyPosition))
        return Refuse(ImageOpenError::VhdxBadRegionTable, kParseBadTable);
    std::memcpy(regionTableHeader.data(), table.data(), regionTableHeader.size());
    const uint32_t count = ReadLittleEndian32(table.data() + kRegionCountOffset);
    if (count > kMaxTableEntries)
        return Refuse(ImageOpenError::VhdxBadRegionTable, kParseBadTable);

    bool haveBat = false;
    bool haveMetadata = false;
    for (uint32_t index = 0; index < count; ++index) {
        const uint8_t* entry = table.data() + kRegionEntriesOffset + kRegionEntryBytes * index;
        const std::u16string name = GuidToItemName(entry);
        const uint64_t offset = ReadLittleEndian64(entry + 16);
        const uint32_t length = ReadLittleEndian32(entry + 24);
        const uint32_t flags = ReadLittleEndian32(entry + 28);
        if (name == kBatName || name == kMetadataName) {
            bool& seen = name == kBatName ? haveBat : haveMetadata;
            if (seen)
                return Refuse(ImageOpenError::VhdxDuplicateRegion, kParseBadTable);
            seen = true;
            if (offset > fileSize || length > fileSize - offset)
                return Refuse(ImageOpenError::VhdxRegionOutsideFile, kParseRefused);
            regions.push_back({name, offset, length});
        } else if (flags & kRegionRequired) {
            return Refuse(ImageOpenError::VhdxUnknownRequiredRegion, kParseUnknownRequiredRegion);
        }
    }
    if (!haveBat || !haveMetadata)
        return Refuse(ImageOpenError::VhdxMissingRegion, kParseRefused);
    return 0;
}

int CVhdxImage::ReadMetadataTable(uint64_t regionOffset, uint32_t length)
{
    std::vector<uint8_t> table(kMetadataTableBytes);
    parsePosition = regionOffset;
    if (!file.ReadAtZeroPadded(regionOffset, table.data(), kMetadataTableBytes))
        std::fill(table.begin(), table.end(), 0);
    std::memcpy(metadataTableHeader.data(), table.data(), metadataTableHeader.size());
    if (std::memcmp(table.data(), "metadata", 8) != 0)
        return Refuse(ImageOpenError::VhdxBadMetadataTable, kParseBadTable);
    const uint32_t count = ReadLittleEndian16(table.data() + kMetadataCountOffset);
    if (count > kMaxTableEntries || kMetadataEntriesOffset + kMetadataEntryBytes * count > length)
        return Refuse(ImageOpenError::VhdxBadMetadataTable, kParseBadTable);
    for (uint32_t index = 0; index < count; ++index) {
        const uint8_t* entry = table.data() + kMetadataEntriesOffset + kMetadataEntryBytes * index;
        VhdxMetadataEntry item{};
        const std::u16string name = GuidToItemName(entry);
        if (IsNamedMetadataItem(name)) {
            const uint32_t flags = ReadLittleEndian32(entry + 24);
            item.user = (flags & kMetadataUser) != 0;
            item.virtualDisk = (flags & kMetadataVirtualDisk) != 0;
            item.required = (flags & kMetadataRequired) != 0;
            item.offset = ReadLittleEndian32(entry + 16);
            item.length = ReadLittleEndian32(entry + 20);
            item.name = name;
        }
        metadataItems.push_back(item);
    }
    return 0;
}

int CVhdxImage::ReadDiskInfo()
{
    const VhdxRegion* metadataRegion = nullptr;
    for (const VhdxRegion& region : regions)
        if (region.name == kMetadataName)
            metadataRegion = &region;
    if (metadataRegion == nullptr)
        return Refuse(ImageOpenError::VhdxMissingRegion, kParseRefused);

    CVhdxMetadataItem values(file);
    bool haveFileParameters = false;
    bool haveDiskSize = false;
    bool haveLogicalSectorSize = false;
    for (const VhdxMetadataEntry& item : metadataItems) {
        if (item.name.empty())
            continue;
        const uint32_t needed = item.name == kFileParameterName || item.name == kVirtualDiskSizeName ? 8 : 4;
        const bool inside =
            item.offset <= metadataRegion->length && needed <= metadataRegion->length - item.offset;
        const uint64_t position = metadataRegion->fileOffset + item.offset;
        if (item.name == kParentLocatorName)
            continue;
        if (!inside || item.length < needed)
            return Refuse(ImageOpenError::VhdxMetadataItemOutsideRegion, kParseRefused);
        if (item.name == kFileParameterName)
            haveFileParameters = values.ReadFileParameters(position) != 0;
        else if (item.name == kVirtualDiskSizeName)
            haveDiskSize = values.ReadVirtualDiskSize(position) != 0;
        else if (item.name == kLogicalSectorSizeName)
            haveLogicalSectorSize = values.ReadLogicalSectorSize(position) != 0;
        else if (item.name == kPhysicalSectorSizeName)
            values.ReadPhysicalSectorSize(position);
    }
    if (!haveFileParameters || !haveDiskSize || !haveLogicalSectorSize)
        return Refuse(ImageOpenError::VhdxMissingMetadataItem, kParseRefused);

    diskTypeName = values.GetDiskTypeName();
    blockSize = values.GetBlockSize();
    diskSize = values.GetVirtualDiskSize();
    logicalSectorSize = values.GetLogicalSectorSize();
    physicalSectorSize = values.GetPhysicalSectorSize();
    hasParent = values.HasParent();
    if (!IsPowerOfTwo(blockSize) || blockSize < kSmallestBlockBytes || blockSize > kLargestBlockBytes)
        return Refuse(ImageOpenError::VhdxBadBlockSize, kParseRefused);
    if (logicalSectorSize != 512 && logicalSectorSize != 4096)
        return Refuse(ImageOpenError::VhdxBadLogicalSectorSize, kParseRefused);
    if (diskSize == 0 || diskSize > kLargestDiskBytes || diskSize % logicalSectorSize != 0)
        return Refuse(ImageOpenError::VhdxBadDiskSize, kParseRefused);
    if (hasParent)
        return Refuse(ImageOpenError::VhdxDifferencing, kParseRefused);

    batEntryCount = values.ComputeBatEntryCount(logicalSectorSize, blockSize, diskSize);
    chunkRatio = values.GetChunkRatio();
    dataBlockCount = values.GetDataBlockCount();
    blockBytesTotal = static_cast<uint64_t>(blockSize) * dataBlockCount;
    return 0;
}

int CVhdxImage::ReadBat(uint64_t regionOffset, uint32_t length)
{
    const int infoResult = ReadDiskInfo();
    if (infoResult < 0)
        return infoResult;
    if (static_cast<uint64_t>(batEntryCount) * 8 > length)
        return Refuse(ImageOpenError::VhdxBatOutsideRegion, kParseRefused);

    // The region lies inside the file (checked with the region table), so the list is bounded by it.
    bat.clear();
    bat.reserve(dataBlockCount);
    const uint64_t payloadPerChunk = static_cast<uint64_t>(chunkRatio);
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint32_t>(batEntryCount, kBatEntriesPerRead)) *
                               8);
    uint64_t payloadInChunk = 0;
    uint32_t taken = 0;
    while (taken < batEntryCount) {
        const uint32_t count = std::min<uint32_t>(batEntryCount - taken, kBatEntriesPerRead);
        parsePosition = regionOffset + static_cast<uint64_t>(taken) * 8;
        if (!file.ReadAtZeroPadded(parsePosition, chunk.data(), count * 8))
            std::fill(chunk.begin(), chunk.end(), 0);
        for (uint32_t index = 0; index < count; ++index) {
            // After each chunk of payload entries comes the chunk's sector-bitmap entry.
            if (payloadInChunk == payloadPerChunk) {
                payloadInChunk = 0;
                continue;
            }
            bat.push_back({ReadLittleEndian64(chunk.data() + 8 * index)});
            ++payloadInChunk;
        }
        taken += count;
    }
    return 0;
}

int CVhdxImage::SeekVirtual(uint64_t virtualOffset)
{
    readPosition = virtualOffset;
    if (!opened)
        return 0;
    const uint64_t block = virtualOffset / blockSize;
    if (virtualOffset < diskSize && block < bat.size()) {
        blockIndex = static_cast<int64_t>(block);
        const VhdxBatEntry entry = bat[block];
        blockFileOffset = entry.State() == kBlockFullyPresent ? entry.FileOffset() : 0;
    } else {
        blockIndex = -1;
        blockFileOffset = 0;
    }
    return 1;
}

int CVhdxImage::Read(void* buffer, uint32_t count)
{
    stoppedAtFileEnd = false;
    if (!opened)
        return 0;
    return ReadDiskInParts(
        static_cast<uint8_t*>(buffer), count, readPosition, diskSize,
        [this](uint8_t* out, uint32_t remaining) -> uint32_t {
            SeekVirtual(readPosition);
            const uint64_t inBlock = readPosition % blockSize;
            const uint64_t limit = std::min<uint64_t>(remaining, diskSize - readPosition);
            // Payload blocks that follow one another in the file are read in one call.
            auto part = static_cast<uint32_t>(RunOnAcrossUnits(
                std::min<uint64_t>(limit, blockSize - inBlock), limit,
                blockFileOffset == 0 ? 0 : blockFileOffset + inBlock, readPosition / blockSize + 1, blockSize,
                [this](uint64_t block, uint64_t& offset) {
                    offset = block < bat.size() && bat[block].State() == kBlockFullyPresent
                                 ? bat[block].FileOffset()
                                 : 0;
                    return true;
                }));
            if (blockFileOffset == 0)
                std::memset(out, 0, part);
            else
                part = ReadStoredPart(file, blockFileOffset + inBlock, out, part, stoppedAtFileEnd);
            return part;
        });
}
