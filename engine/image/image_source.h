#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/image/image_open_error.h"

class CVhdImage;
class CVhdxImage;

// Holds the reader of a VHD or VHDX image behind one small interface chosen by an image kind, so that
// the rest of the program opens, positions, reads and queries an image without knowing its format.
class CImageSource
{
public:
    static constexpr uint32_t kKindNone = 0;
    static constexpr uint32_t kKindVhd = 1;
    static constexpr uint32_t kKindVhdx = 2;

    CImageSource();
    ~CImageSource();
    CImageSource(const CImageSource&) = delete;
    CImageSource& operator=(const CImageSource&) = delete;

    // The new reader, or null for a kind without one. Replaces (closes and deletes) a reader of the
    // same kind.
    void* Create(uint32_t kindValue);
    int Open(std::u16string_view path);
    // Positions the reader at a byte of the virtual disk; Read continues from there. 0 without a reader.
    int SeekVirtual(uint64_t virtualOffset);
    int Read(void* buffer, uint32_t count);
    // Where the last Read stopped, and whether it stopped because the image file ends before the data.
    uint64_t GetVirtualPosition() const;
    bool ReadStoppedAtFileEnd() const;
    int Close();

    uint32_t GetCylinders();
    uint32_t GetHeads();
    uint32_t GetSectorsPerTrack();
    uint64_t GetDiskSize();
    std::u16string GetDiskTypeName();
    uint32_t GetDataBlockCount();
    uint32_t GetBatEntryCount();
    // Why the last Open failed; UnknownImageKind when there is no reader of the kind.
    ImageOpenError GetOpenError() const;
    const char* GetOpenErrorText() const { return ImageOpenErrorText(GetOpenError()); }

    uint32_t kind;
    std::unique_ptr<CVhdImage> vhd;
    std::unique_ptr<CVhdxImage> vhdx;
    uint32_t cylinders;
    uint32_t heads;
};
