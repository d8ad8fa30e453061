#pragma once

// Sources for the NTFS tests: a disk image of the shared test disks attached as the program attaches
// one, and a volume in a temporary file that the engine reads as an opened logical volume, so that a
// test can write hand-made or mutated records where the engine will read them.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"

std::u16string WidePath(const std::string& path);

// One image, attached to the engine by its extension (vmdk, vhd, vhdx); detached when destroyed.
class AttachedImage
{
public:
    AttachedImage() = default;
    // Attaches at once; a refusal fails the calling test (IsAttached() then says false).
    explicit AttachedImage(const std::string& path);
    ~AttachedImage();
    AttachedImage(const AttachedImage&) = delete;
    AttachedImage& operator=(const AttachedImage&) = delete;

    // Empty when attached, else why not.
    std::string Attach(const std::string& path);
    bool IsAttached() const { return attached; }

private:
    CVmdkSparseExtent extent;
    CImageSource source;
    bool attached = false;
};

// A temporary file read through SourceState.volumeHandle; sector numbers count from its start.
class TempVolume
{
public:
    explicit TempVolume(const std::string& tag);
    ~TempVolume();
    TempVolume(const TempVolume&) = delete;
    TempVolume& operator=(const TempVolume&) = delete;

    void Write(std::uint64_t offset, const void* bytes, std::size_t size);
    void Write(std::uint64_t offset, const std::vector<std::uint8_t>& bytes)
    {
        Write(offset, bytes.data(), bytes.size());
    }
    std::vector<std::uint8_t> Read(std::uint64_t offset, std::size_t size) const;
    // Copies `count` sectors from sector `first` of another file to the start of this one.
    bool CopyFrom(const std::string& file, std::uint64_t first, std::uint64_t count);
    // Makes the engine read this file as its source.
    bool Attach();

private:
    std::string path;
};

// Makes the engine read an existing file as an opened logical volume; DetachVolumeFile closes it.
bool AttachVolumeFile(const std::string& path);
void DetachVolumeFile();

// The NTFS boot sector at `sector` of the attached source, as the Quick Scan's parameters:
// VolumeParams' range (start, count), clusterBase, sectorsPerCluster and mftStart.
bool SetNtfsVolumeParams(std::uint32_t sector, std::uint32_t sectorCount);
