#pragma once

#include <cstdint>
#include <string>

#include "engine/image/disk_image_file.h"

// Reads the metadata item values of one VHDX parse through the image's file and derives the block
// counts from them.
class CVhdxMetadataItem
{
public:
    explicit CVhdxMetadataItem(CDiskImageFile& file);
    virtual ~CVhdxMetadataItem();

    // Each reads its value at a file position; 0 when the file read fails.
    int ReadFileParameters(uint64_t position);
    int ReadVirtualDiskSize(uint64_t position);
    int ReadLogicalSectorSize(uint64_t position);
    int ReadPhysicalSectorSize(uint64_t position);
    // Takes the File Parameters values (block size, flags) and names the disk type from the flags.
    void SetFileParameters(uint32_t blockSizeValue, uint32_t flags);

    // BAT entries of a disk: payload entries plus one sector-bitmap entry after every chunk of
    // payload entries (a disk with a parent has whole chunks of both). 0 for a zero block or sector
    // size; saturates at UINT32_MAX.
    uint32_t ComputeBatEntryCount(uint32_t logicalSectorSizeValue, uint32_t blockSizeValue,
                                  uint64_t virtualDiskSizeValue);

    uint32_t GetBlockSize() const { return blockSizeCopy; }
    uint32_t GetFileParameterFlags() const { return fileParameterFlags; }
    uint32_t GetLogicalSectorSize() const { return logicalSectorSize; }
    uint32_t GetPhysicalSectorSize() const { return physicalSectorSize; }
    uint64_t GetVirtualDiskSize() const { return virtualDiskSize; }
    bool HasParent() const { return hasParent != 0; }
    uint32_t GetSectorBitmapBlockCount() const { return sectorBitmapBlocks; }
    double GetChunkRatio() const { return chunkRatio; }
    const std::u16string& GetDiskTypeName() const { return diskTypeName; }
    uint32_t GetDataBlockCount() const { return dataBlocks; }

private:
    uint32_t blockSize;
    uint32_t fileParameterFlags;
    uint32_t logicalSectorSize;
    uint32_t physicalSectorSize;
    uint64_t virtualDiskSize;
    uint32_t leaveBlocksAllocated;
    uint32_t hasParent;
    uint32_t blockSizeCopy;
    uint32_t sectorBitmapBlocks;
    double chunkRatio;
    std::u16string diskTypeName;
    CDiskImageFile& file;
    uint32_t dataBlocks;
};
