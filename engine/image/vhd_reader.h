#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/image/disk_image_file.h"
#include "engine/image/image_open_error.h"

// Reads the structures of a VHD file: the footer, the dynamic-disk header and the block allocation
// table. All VHD fields are big-endian.
class CVhdReader
{
public:
    // Disk types as GetDiskType reports them.
    static constexpr uint32_t kDiskTypeFixed = 2;
    static constexpr uint32_t kDiskTypeDynamic = 3;
    static constexpr uint32_t kDiskTypeDifferencing = 4;
    static constexpr uint32_t kFooterBytes = 512;
    static constexpr uint32_t kDynamicHeaderBytes = 1024;
    // Table entry of a block that has no data in the file.
    static constexpr uint32_t kUnallocatedBlock = 0xFFFFFFFF;

    CVhdReader();
    virtual ~CVhdReader();
    CVhdReader(const CVhdReader&) = delete;
    CVhdReader& operator=(const CVhdReader&) = delete;

    int Open(std::u16string_view path);
    // Reads the footer and, for a dynamic disk, the dynamic header and the table. 0 when the file is
    // not a VHD this program reads (the reason is in GetOpenError).
    int ReadFooter();
    int ReadDynamicHeader();
    int LoadBat();
    uint32_t GetMaxTableEntries() const;
    // Footer value 0 gives 1; 2, 3, 4 and 101 as they are; anything else 5.
    uint32_t GetDiskType() const;
    uint64_t GetCurrentSize() const;
    uint32_t GetBlockSize() const;
    uint32_t GetCylinders() const;
    uint32_t GetHeads() const;
    uint32_t GetSectorsPerTrack() const;
    // True when the footer came from the end of the file (not from the copy at its start).
    bool HasTrailingFooter() const { return trailingFooter; }
    uint64_t GetFileSize() const { return fileSize; }
    ImageOpenError GetOpenError() const { return openError; }

    uint64_t Seek(uint64_t offset, uint32_t origin, uint32_t direction);
    int Read(void* buffer, uint32_t count);
    int Close();

    CDiskImageFile file;
    std::array<uint8_t, kFooterBytes> footer;
    std::array<uint8_t, kDynamicHeaderBytes> dynamicHeader;
    std::vector<uint32_t> bat;

private:
    ImageOpenError openError;
    uint64_t fileSize;
    bool trailingFooter;
};
