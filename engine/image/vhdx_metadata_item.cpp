#include "engine/image/vhdx_metadata_item.h"

#include "engine/image/byte_order.h"

namespace {

// File Parameters flags.
constexpr uint32_t kLeaveBlocksAllocated = 1u << 0;
constexpr uint32_t kHasParent = 1u << 1;
// Sectors described by one sector-bitmap block (2^23); with the sector and block sizes it gives
// the payload blocks per chunk.
constexpr uint64_t kSectorsPerBitmapBlock = 1ull << 23;

uint32_t Saturate32(uint64_t value)
{
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

} // namespace

CVhdxMetadataItem::CVhdxMetadataItem(CDiskImageFile& imageFile)
    : blockSize(0), fileParameterFlags(0), logicalSectorSize(0), physicalSectorSize(0), virtualDiskSize(0),
      leaveBlocksAllocated(0), hasParent(0), blockSizeCopy(0), sectorBitmapBlocks(0), chunkRatio(0),
      file(imageFile), dataBlocks(0)
{}

CVhdxMetadataItem::~CVhdxMetadataItem() = default;

int CVhdxMetadataItem::ReadFileParameters(uint64_t position)
{
    uint8_t value[8];
    if (!file.ReadAtZeroPadded(position, value, sizeof value))
        return 0;
    SetFileParameters(ReadLittleEndian32(value), ReadLittleEndian32(value + 4));
    return 1;
}

void CVhdxMetadataItem::SetFileParameters(uint32_t blockSizeValue, uint32_t flags)
{
    blockSize = blockSizeValue;
    blockSizeCopy = blockSizeValue;
    fileParameterFlags = flags;
    leaveBlocksAllocated = flags & kLeaveBlocksAllocated;
    hasParent = flags & kHasParent;
    if (leaveBlocksAllocated && !hasParent)
        diskTypeName = u"Fixed Disk";
    else if (!leaveBlocksAllocated && hasParent)
        diskTypeName = u"Differencing Disk";
    else if (!leaveBlocksAllocated && !hasParent)
        diskTypeName = u"Dynamic Disk";
    else
        diskTypeName = u"Invalid Disk";
}

int CVhdxMetadataItem::ReadVirtualDiskSize(uint64_t position)
{
    uint8_t value[8];
    if (!file.ReadAtZeroPadded(position, value, sizeof value))
        return 0;
    virtualDiskSize = ReadLittleEndian64(value);
    return 1;
}

int CVhdxMetadataItem::ReadLogicalSectorSize(uint64_t position)
{
    uint8_t value[4];
    if (!file.ReadAtZeroPadded(position, value, sizeof value))
        return 0;
    logicalSectorSize = ReadLittleEndian32(value);
    return 1;
}

int CVhdxMetadataItem::ReadPhysicalSectorSize(uint64_t position)
{
    uint8_t value[4];
    if (!file.ReadAtZeroPadded(position, value, sizeof value))
        return 0;
    physicalSectorSize = ReadLittleEndian32(value);
    return 1;
}

uint32_t CVhdxMetadataItem::ComputeBatEntryCount(uint32_t logicalSectorSizeValue, uint32_t blockSizeValue,
                                                 uint64_t virtualDiskSizeValue)
{
    chunkRatio = 0;
    dataBlocks = 0;
    sectorBitmapBlocks = 0;
    if (logicalSectorSizeValue == 0 || blockSizeValue == 0)
        return 0;
    // Whole numbers for every legal block and sector size, so integer arithmetic gives the same counts
    // as the published formulas without rounding doubts.
    const uint64_t ratio = kSectorsPerBitmapBlock * logicalSectorSizeValue / blockSizeValue;
    if (ratio == 0)
        return 0;
    chunkRatio = static_cast<double>(ratio);
    const uint64_t blocks =
        virtualDiskSizeValue / blockSizeValue + (virtualDiskSizeValue % blockSizeValue != 0);
    const uint64_t bitmapBlocks = blocks / ratio + (blocks % ratio != 0);
    dataBlocks = Saturate32(blocks);
    sectorBitmapBlocks = Saturate32(bitmapBlocks);
    if (hasParent)
        return Saturate32(bitmapBlocks * (ratio + 1));
    return blocks == 0 ? 0 : Saturate32(blocks + (blocks - 1) / ratio);
}
