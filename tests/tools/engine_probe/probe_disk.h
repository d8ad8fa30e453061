#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"

// The image kinds, chosen by file extension as the program's image selection chooses them.
enum class ProbeImageKind
{
    Unknown,
    Vmdk,
    Vhd,
    Vhdx,
};

ProbeImageKind ImageKindFromPath(std::u16string_view path);
const char* ImageKindName(ProbeImageKind kind);

// One opened disk image behind the reader its extension names: the VMDK reader directly, VHD and
// VHDX through the image-source facade.
class ProbeDisk
{
public:
    // False when the image is refused; GetRefusal says why.
    bool Open(std::u16string_view path);
    const std::string& GetRefusal() const { return refusal; }

    ProbeImageKind GetKind() const { return kind; }
    uint64_t GetSize();
    uint32_t GetCylinders();
    uint32_t GetHeads();
    uint32_t GetSectorsPerTrack();
    // Seek positions the reader at a byte of the virtual disk; Read continues from there.
    bool Seek(uint64_t offset);
    bool Read(void* buffer, uint32_t count);
    bool ReadAt(uint64_t offset, void* buffer, uint32_t count) { return Seek(offset) && Read(buffer, count); }
    // Where the last read stopped, and whether the image file ended before the data it needed.
    uint64_t GetPosition() const;
    bool StoppedAtFileEnd() const;

private:
    ProbeImageKind kind = ProbeImageKind::Unknown;
    CVmdkSparseExtent vmdk;
    CImageSource source;
    std::string refusal;
};
