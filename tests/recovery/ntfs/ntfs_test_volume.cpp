#include "ntfs_test_volume.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_layout.h"
#include "engine/recovery/platform/platform_io.h"

std::u16string WidePath(const std::string& path)
{
    // The test paths are ASCII.
    return std::u16string(path.begin(), path.end());
}

AttachedImage::AttachedImage(const std::string& path)
{
    const std::string refusal = Attach(path);
    EXPECT_TRUE(refusal.empty()) << path << ": " << refusal;
}

AttachedImage::~AttachedImage()
{
    if (attached) {
        SourceState.vmdkExtent = nullptr;
        SourceState.imageSource = nullptr;
    }
}

std::string AttachedImage::Attach(const std::string& path)
{
    const std::u16string wide = WidePath(path);
    const std::string extension = path.substr(path.rfind('.') + 1);
    if (extension == "vmdk") {
        if (!extent.Open(wide))
            return extent.GetOpenErrorText();
        ScanSelection.imageKind = kImageVmdk;
        SourceState.vmdkExtent = &extent;
    } else if (extension == "vhd" || extension == "vhdx") {
        const bool vhd = extension == "vhd";
        source.Create(vhd ? CImageSource::kKindVhd : CImageSource::kKindVhdx);
        if (!source.Open(wide))
            return source.GetOpenErrorText();
        ScanSelection.imageKind = vhd ? kImageVhd : kImageVhdx;
        SourceState.imageSource = &source;
    } else {
        return "not an image: " + path;
    }
    SourceState.sourceKind = kSourceImage;
    attached = true;
    return {};
}

TempVolume::TempVolume(const std::string& tag)
{
    // Unique across processes too: the same test may run in several build folders at once.
    static std::atomic<int> serial{0};
    static const unsigned processTag = std::random_device{}();
    const auto name =
        "ntfs-test-" + tag + "-" + std::to_string(processTag) + "-" + std::to_string(serial++) + ".bin";
    path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream create(path, std::ios::binary | std::ios::trunc);
}

bool AttachVolumeFile(const std::string& path)
{
    PlatformCloseHandle(SourceState.volumeHandle);
    SourceState.volumeHandle = PlatformOpenForRead(WidePath(path).c_str(), ReadShare::ReadAndWrite);
    SourceState.sourceKind = kSourceLogicalVolume;
    return IsUsableHandle(SourceState.volumeHandle);
}

void DetachVolumeFile()
{
    if (SourceState.sourceKind == kSourceLogicalVolume) {
        PlatformCloseHandle(SourceState.volumeHandle);
        SourceState.volumeHandle = kNoHandle;
        SourceState.sourceKind = kSourceImage;
    }
}

TempVolume::~TempVolume()
{
    DetachVolumeFile();
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

void TempVolume::Write(std::uint64_t offset, const void* bytes, std::size_t size)
{
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

std::vector<std::uint8_t> TempVolume::Read(std::uint64_t offset, std::size_t size) const
{
    std::vector<std::uint8_t> bytes(size);
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return bytes;
}

bool TempVolume::CopyFrom(const std::string& file, std::uint64_t first, std::uint64_t count)
{
    std::ifstream from(file, std::ios::binary);
    std::ofstream to(path, std::ios::binary | std::ios::trunc);
    from.seekg(static_cast<std::streamoff>(first * kSectorSize));
    std::vector<char> piece(1 << 20);
    for (std::uint64_t left = count * kSectorSize; left > 0 && from && to;) {
        const auto size = static_cast<std::streamsize>(std::min<std::uint64_t>(piece.size(), left));
        from.read(piece.data(), size);
        to.write(piece.data(), from.gcount());
        left -= static_cast<std::uint64_t>(from.gcount());
        if (from.gcount() == 0)
            return false;
    }
    return from.good() && to.good();
}

bool TempVolume::Attach()
{
    return AttachVolumeFile(path);
}

bool SetNtfsVolumeParams(std::uint32_t sector, std::uint32_t sectorCount)
{
    std::uint8_t boot[kSectorSize];
    if (!ReadSectors(0, sector, 0, 1, boot))
        return false;
    const std::uint32_t sectorsPerCluster = boot[13];
    const std::uint32_t mftCluster = ReadLittleEndian32(boot, kNtfsBootMftCluster);
    VolumeParams.scanFsCode = kFsNtfs;
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.rangeStart = sector;
    VolumeParams.rangeCount = sectorCount;
    VolumeParams.rangeEnd = sector + sectorCount - 1;
    VolumeParams.clusterBase = sector;
    VolumeParams.sectorsPerCluster = sectorsPerCluster;
    VolumeParams.mftStart = sector + mftCluster * sectorsPerCluster;
    return sectorsPerCluster != 0;
}
