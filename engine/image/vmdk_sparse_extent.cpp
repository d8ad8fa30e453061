#include "engine/image/vmdk_sparse_extent.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/image/byte_order.h"
#include "engine/image/read_past_end.h"

namespace {

// Sparse header fields (little-endian, byte offsets from the start of the file).
constexpr size_t kMagicOffset = 0;               // "KDMV"
constexpr size_t kFlagsOffset = 8;               // u32
constexpr size_t kCapacityOffset = 12;           // u64, sectors
constexpr size_t kGrainSizeOffset = 20;          // u64, sectors
constexpr size_t kDescriptorOffsetOffset = 28;   // u64, sectors
constexpr size_t kDescriptorSizeOffset = 36;     // u64, sectors
constexpr size_t kGrainTableEntriesOffset = 44;  // u32
constexpr size_t kRedundantDirectoryOffset = 48; // u64, sectors
constexpr size_t kDirectoryOffset = 56;          // u64, sectors
constexpr size_t kOverheadOffset = 64;           // u64, sectors
constexpr size_t kCompressAlgorithmOffset = 77;  // u16

constexpr uint32_t kMagic = 0x564D444B;
// Header flag bits.
constexpr uint32_t kFlagZeroedGrainEntries = 1u << 2; // a grain-table entry of 1 means "reads as zeros"
constexpr uint32_t kFlagCompressedGrains = 1u << 16;
constexpr uint32_t kFlagMarkers = 1u << 17;
// Stream-optimized extents put the directory at the end and mark its offset so.
constexpr uint64_t kDirectoryAtEnd = 0xFFFFFFFFFFFFFFFFull;

constexpr uint64_t kSectorBytes = 512;
constexpr uint64_t kSmallestGrainSectors = 8;
constexpr uint64_t kLargestGrainSectors = 1u << 21;
// The descriptor normally stands right after the header; more than 64 KiB of it is not descriptor.
constexpr uint64_t kLargestDescriptorBytes = 65536;

bool IsPowerOfTwo(uint64_t value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

std::string_view TrimLeft(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

// "key = "value"": true when the line holds the key; value is its leading decimal number, 0 when
// there is none or it does not fit 32 bits.
bool ReadGeometryValue(std::string_view line, std::string_view key, int32_t& value)
{
    if (line.substr(0, key.size()) != key)
        return false;
    std::string_view rest = TrimLeft(line.substr(key.size()));
    if (rest.empty() || rest.front() != '=')
        return false;
    rest = TrimLeft(rest.substr(1));
    if (!rest.empty() && rest.front() == '"')
        rest.remove_prefix(1);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    int64_t number = 0;
    for (char c : rest) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + (c - '0');
        if (number > INT32_MAX) {
            value = 0;
            return true;
        }
    }
    value = static_cast<int32_t>(negative ? -number : number);
    return true;
}

} // namespace

CVmdkSparseExtent::CVmdkSparseExtent()
{
    ResetState();
}

CVmdkSparseExtent::~CVmdkSparseExtent()
{
    Close();
}

void CVmdkSparseExtent::ResetState()
{
    std::memset(header, 0, sizeof header);
    cylinders = 0;
    heads = 0;
    sectors = 0;
    zeroFill = 0;
    grainDirectory.clear();
    overhead = 0;
    physicalPos = 0;
    virtualPos = 0;
    grainBytes = 0;
    openError = ImageOpenError::NotOpen;
    opened = false;
    streamOptimizedDescriptor = false;
    fileSize = 0;
    diskSize = 0;
    directorySector = 0;
    directoryEntries = 0;
    mappedGrain = UINT64_MAX;
    cachedTables.clear();
    tableUses = 0;
    tableBeyondFile = false;
    stoppedAtFileEnd = false;
}

void CVmdkSparseExtent::Close()
{
    handle.Close();
    ResetState();
}

int CVmdkSparseExtent::Open(std::u16string_view path)
{
    Close();
    if (!handle.Open(path)) {
        handle.Close();
        openError = ImageOpenError::CannotOpenFile;
        return 0;
    }
    fileSize = handle.GetSize();
    ReadHeaderAndDescriptor();
    openError = CheckHeader();
    if (openError != ImageOpenError::None) {
        const ImageOpenError reason = openError;
        Close();
        openError = reason;
        return 0;
    }
    diskSize = ReadLittleEndian64(header + kCapacityOffset) * kSectorBytes;
    LoadGrainDirectory();
    opened = true;
    return 1;
}

void CVmdkSparseExtent::ReadHeaderAndDescriptor()
{
    uint8_t firstBytes[1024];
    if (!handle.ReadAtZeroPadded(0, firstBytes, sizeof firstBytes))
        std::memset(firstBytes, 0, sizeof firstBytes);
    std::memcpy(header, firstBytes, kHeaderBytes);
    grainBytes = ReadLittleEndian64(header + kGrainSizeOffset) * kSectorBytes;
    overhead = ReadLittleEndian64(header + kOverheadOffset);

    const uint64_t descriptorSectors = ReadLittleEndian64(header + kDescriptorSizeOffset);
    if (descriptorSectors == 0)
        return;
    const uint64_t descriptorSector = ReadLittleEndian64(header + kDescriptorOffsetOffset);
    const uint64_t descriptorPosition =
        descriptorSector != 0 ? descriptorSector * kSectorBytes : kHeaderBytes;
    const uint64_t descriptorBytes = descriptorSectors > kLargestDescriptorBytes / kSectorBytes
                                         ? kLargestDescriptorBytes
                                         : descriptorSectors * kSectorBytes;
    std::string descriptor(static_cast<size_t>(descriptorBytes), '\0');
    if (!handle.ReadAtZeroPadded(descriptorPosition, descriptor.data(),
                                 static_cast<uint32_t>(descriptorBytes)))
        return;
    descriptor.resize(std::min(descriptor.size(), descriptor.find('\0')));
    ParseGeometry(descriptor, cylinders, heads, sectors);
    streamOptimizedDescriptor = descriptor.find("createType=\"streamOptimized\"") != std::string::npos;
}

ImageOpenError CVmdkSparseExtent::CheckHeader()
{
    if (fileSize < kHeaderBytes)
        return ImageOpenError::FileTooSmall;
    if (ReadLittleEndian32(header + kMagicOffset) != kMagic)
        return ImageOpenError::VmdkBadMagic;
    const uint64_t capacity = ReadLittleEndian64(header + kCapacityOffset);
    if (capacity == 0)
        return ImageOpenError::VmdkZeroCapacity;
    const uint32_t flags = ReadLittleEndian32(header + kFlagsOffset);
    if ((flags & (kFlagCompressedGrains | kFlagMarkers)) != 0 ||
        ReadLittleEndian16(header + kCompressAlgorithmOffset) != 0 ||
        ReadLittleEndian64(header + kDirectoryOffset) == kDirectoryAtEnd || streamOptimizedDescriptor)
        return ImageOpenError::VmdkStreamOptimized;
    const uint64_t grainSectors = ReadLittleEndian64(header + kGrainSizeOffset);
    if (!IsPowerOfTwo(grainSectors) || grainSectors < kSmallestGrainSectors ||
        grainSectors > kLargestGrainSectors)
        return ImageOpenError::VmdkBadGrainSize;
    if (ReadLittleEndian32(header + kGrainTableEntriesOffset) != kGrainTableEntries)
        return ImageOpenError::VmdkBadGrainTableSize;

    const uint64_t grains = capacity / grainSectors + (capacity % grainSectors != 0 ? 1 : 0);
    const uint64_t entries = grains / kGrainTableEntries + (grains % kGrainTableEntries != 0 ? 1 : 0);
    if (entries > kMaxDirectoryEntries)
        return ImageOpenError::VmdkDirectoryTooLarge;

    // Both directories describe the same grains; the redundant one is the one this reader has always
    // used, the primary one stands in when an extent has no redundant copy.
    uint64_t sector = ReadLittleEndian64(header + kRedundantDirectoryOffset);
    if (sector == 0)
        sector = ReadLittleEndian64(header + kDirectoryOffset);
    if (sector == 0 || sector > fileSize / kSectorBytes || sector * kSectorBytes + entries * 4 > fileSize)
        return ImageOpenError::VmdkDirectoryOutsideFile;
    directorySector = sector;
    directoryEntries = static_cast<uint32_t>(entries);
    return ImageOpenError::None;
}

uint32_t CVmdkSparseExtent::LoadGrainDirectory()
{
    grainDirectory.clear();
    cachedTables.clear();
    if (directoryEntries == 0)
        return 0;
    std::vector<uint8_t> raw(static_cast<size_t>(directoryEntries) * 4);
    if (!handle.ReadAtZeroPadded(directorySector * kSectorBytes, raw.data(),
                                 static_cast<uint32_t>(raw.size())))
        return 0;
    grainDirectory.reserve(directoryEntries);
    for (uint32_t index = 0; index < directoryEntries; ++index)
        grainDirectory.push_back(ReadLittleEndian32(raw.data() + 4 * index));
    return static_cast<uint32_t>(grainDirectory.size());
}

const CVmdkSparseExtent::CachedGrainTable* CVmdkSparseExtent::LoadGrainTable(uint64_t tableSector)
{
    ++tableUses;
    for (CachedGrainTable& table : cachedTables) {
        if (table.sector == tableSector) {
            table.lastUse = tableUses;
            return &table;
        }
    }
    uint8_t raw[kGrainTableEntries * 4];
    // A table the file does not hold whole maps grains that were written: they are not zeros, so they
    // cannot be read at all.
    tableBeyondFile = false;
    if (!handle.ReadAtZeroPadded(tableSector * kSectorBytes, raw, sizeof raw))
        return nullptr;
    if (handle.GetLastReadCount() < sizeof raw) {
        tableBeyondFile = true;
        return nullptr;
    }
    CachedGrainTable* slot = nullptr;
    if (cachedTables.size() < kCachedGrainTables) {
        slot = &cachedTables.emplace_back();
    } else {
        slot = &*std::min_element(
            cachedTables.begin(), cachedTables.end(),
            [](const CachedGrainTable& a, const CachedGrainTable& b) { return a.lastUse < b.lastUse; });
    }
    for (uint32_t index = 0; index < kGrainTableEntries; ++index)
        slot->entries[index] = ReadLittleEndian32(raw + 4 * index);
    slot->sector = tableSector;
    slot->lastUse = tableUses;
    return slot;
}

bool CVmdkSparseExtent::LocateGrain(uint64_t grain, uint64_t& fileOffset)
{
    fileOffset = 0;
    const uint64_t directoryIndex = grain / kGrainTableEntries;
    if (directoryIndex >= grainDirectory.size() || grainDirectory[directoryIndex] == 0)
        return true;
    const CachedGrainTable* table = LoadGrainTable(grainDirectory[directoryIndex]);
    if (!table)
        return false;
    const uint32_t grainSector = table->entries[grain % kGrainTableEntries];
    const bool zeroedGrain =
        grainSector == 1 && (ReadLittleEndian32(header + kFlagsOffset) & kFlagZeroedGrainEntries) != 0;
    if (grainSector != 0 && !zeroedGrain)
        fileOffset = static_cast<uint64_t>(grainSector) * kSectorBytes;
    return true;
}

int CVmdkSparseExtent::SeekVirtual(uint64_t virtualOffset)
{
    zeroFill = 0;
    virtualPos = virtualOffset;
    if (!opened)
        return 0;
    const uint64_t grain = virtualOffset / grainBytes;
    mappedGrain = grain;
    if (virtualOffset >= diskSize) {
        zeroFill = 1;
        return 1;
    }
    uint64_t grainOffset = 0;
    if (!LocateGrain(grain, grainOffset)) {
        mappedGrain = UINT64_MAX;
        stoppedAtFileEnd = tableBeyondFile;
        return 0;
    }
    if (grainOffset == 0) {
        zeroFill = 1;
        return 1;
    }
    // Only the position is noted: the read goes to the file at it, so a seek now would be a wasted call.
    physicalPos = grainOffset + virtualOffset % grainBytes;
    return 1;
}

int CVmdkSparseExtent::Read(void* buffer, uint32_t count)
{
    stoppedAtFileEnd = false;
    if (!opened)
        return 0;
    return ReadDiskInParts(
        static_cast<uint8_t*>(buffer), count, virtualPos, diskSize,
        [this](uint8_t* out, uint32_t remaining) -> uint32_t {
            if (virtualPos / grainBytes != mappedGrain && !SeekVirtual(virtualPos))
                return 0;
            const uint64_t limit = std::min<uint64_t>(remaining, diskSize - virtualPos);
            const uint64_t inGrain = std::min(limit, grainBytes - virtualPos % grainBytes);
            // Grains that lie one after another in the file (or all read as zeros) are one part: qemu-img
            // and VMware store a disk written in order so, and a scan then costs one call per fetch.
            auto part = static_cast<uint32_t>(RunOnAcrossUnits(
                inGrain, limit, zeroFill ? 0 : physicalPos, mappedGrain + 1, grainBytes,
                [this](uint64_t grain, uint64_t& offset) { return LocateGrain(grain, offset); }));
            if (zeroFill) {
                std::memset(out, 0, part);
            } else {
                const uint32_t stored = ReadStoredPart(handle, physicalPos, out, part, stoppedAtFileEnd);
                if (stored == 0)
                    return 0;
                part = stored;
                physicalPos += part;
            }
            // The state now describes the grain the part ended in.
            mappedGrain = (virtualPos + part - 1) / grainBytes;
            return part;
        });
}

void CVmdkSparseExtent::ParseGeometry(std::string_view descriptor, int32_t& cylindersOut, int32_t& headsOut,
                                      int32_t& sectorsOut)
{
    cylindersOut = 0;
    headsOut = 0;
    sectorsOut = 0;
    bool haveCylinders = false;
    bool haveHeads = false;
    bool haveSectors = false;
    while (!descriptor.empty()) {
        const size_t end = descriptor.find_first_of("\r\n");
        const std::string_view line = TrimLeft(descriptor.substr(0, end));
        descriptor.remove_prefix(end == std::string_view::npos ? descriptor.size() : end + 1);
        if (!haveCylinders && ReadGeometryValue(line, "ddb.geometry.cylinders", cylindersOut))
            haveCylinders = true;
        else if (!haveHeads && ReadGeometryValue(line, "ddb.geometry.heads", headsOut))
            haveHeads = true;
        else if (!haveSectors && ReadGeometryValue(line, "ddb.geometry.sectors", sectorsOut))
            haveSectors = true;
    }
}
