#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/image/image_open_error.h"
#include "engine/image/vhd_reader.h"

// A fixed or dynamic VHD read as a linear disk. Differencing disks are refused (no parent is read).
class CVhdImage
{
public:
    CVhdImage();
    virtual ~CVhdImage();
    CVhdImage(const CVhdImage&) = delete;
    CVhdImage& operator=(const CVhdImage&) = delete;

    int Open(std::u16string_view path);
    void BuildBlockOffsets();
    // Positions the reader at a byte of the virtual disk; Read continues from there across blocks.
    // Unallocated blocks and bytes past the disk's end read as zeros; data that the file does not hold
    // (a block or a fixed disk's sectors past its end) does not read.
    int SeekVirtual(uint64_t virtualOffset);
    // 1 when every byte was delivered. 0 when a part could not be read: the bytes before it are in the
    // buffer and GetVirtualPosition tells where it stopped.
    int Read(void* buffer, uint32_t count);
    uint64_t GetVirtualPosition() const { return virtualPos; }
    // The last Read stopped because the image file ends before the data it needed (a file cut short).
    bool ReadStoppedAtFileEnd() const { return stoppedAtFileEnd; }
    int Close();

    // The footer's current size; 0 while nothing is open.
    uint64_t GetDiskSize() const { return diskSize; }
    ImageOpenError GetOpenError() const { return openError; }
    const char* GetOpenErrorText() const { return ImageOpenErrorText(openError); }

    std::vector<uint64_t> blockOffsets;
    CVhdReader reader;
    uint32_t diskType;
    int64_t blockIndex;
    uint64_t position;
    uint64_t blockStart;
    uint32_t blockSize;
    uint32_t cylinders;
    uint32_t heads;
    uint32_t sectorsPerTrack;

private:
    void ResetState();
    // The file bytes from `start` on, at most `count`, that lie below dataEnd: the number delivered, 0
    // when none could be read.
    uint32_t ReadData(uint64_t start, uint8_t* out, uint32_t count);

    ImageOpenError openError;
    bool opened;
    uint64_t diskSize;
    uint64_t virtualPos;
    // End of the bytes that may be disk data: the footer at the end of the file never is.
    uint64_t dataEnd;
    bool stoppedAtFileEnd;
};
