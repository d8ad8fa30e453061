#include "engine/recovery/core/sector_source.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_read_hook.h"

const char DeviceNameTable[10][20] = {
    "\\\\.\\PhysicalDrive0", "\\\\.\\PhysicalDrive1", "\\\\.\\PhysicalDrive2", "\\\\.\\PhysicalDrive3",
    "\\\\.\\PhysicalDrive4", "\\\\.\\PhysicalDrive5", "\\\\.\\PhysicalDrive6", "\\\\.\\PhysicalDrive7",
    "\\\\.\\PhysicalDrive8", "\\\\.\\PhysicalDrive9",
};

namespace {

// Guards the position of the source handles and readers from one seek to the end of its read, and the
// handles themselves while they are replaced.
std::mutex sourceLock;

// Sectors handed to one system or reader call, so that byte counts stay within 32 bits.
constexpr std::uint32_t kSectorsPerCall = 0x8000;

std::uint64_t SectorNumber(std::uint32_t low, std::uint32_t high)
{
    return static_cast<std::uint64_t>(high) << 32 | low;
}

// Positions and reads a volume or drive handle; `delivered` tells how much arrived.
bool ReadHandleAt(PlatformHandle handle, std::uint64_t offset, std::uint8_t* out, std::uint32_t bytes,
                  std::uint32_t& delivered)
{
    delivered = 0;
    if (offset > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    if (!PlatformSeek(handle, static_cast<std::int64_t>(offset), kSeekFromBegin, nullptr))
        return false;
    return PlatformRead(handle, out, bytes, &delivered) && delivered == bytes;
}

// The read of the calling thread that failed last stopped where its image file ends.
thread_local bool lastReadStoppedAtImageEnd = false;
std::atomic<bool> anyReadStoppedAtImageEnd{false};

// An image reader that fails part-way has delivered the bytes before the part it could not read;
// `delivered` counts them, so that they are kept.
template <class Reader>
bool ReadWithReader(Reader& reader, std::uint64_t offset, std::uint8_t* out, std::uint32_t bytes,
                    std::uint32_t& delivered)
{
    if (reader.SeekVirtual(offset) && reader.Read(out, bytes))
        return true;
    const std::uint64_t reached = reader.GetVirtualPosition();
    delivered =
        reached > offset ? static_cast<std::uint32_t>(std::min<std::uint64_t>(reached - offset, bytes)) : 0;
    lastReadStoppedAtImageEnd = reader.ReadStoppedAtFileEnd();
    if (lastReadStoppedAtImageEnd)
        anyReadStoppedAtImageEnd = true;
    return false;
}

bool ReadImageAt(std::uint64_t offset, std::uint8_t* out, std::uint32_t bytes, std::uint32_t& delivered)
{
    delivered = 0;
    if (ScanSelection.imageKind == kImageVmdk) {
        CVmdkSparseExtent* extent = SourceState.vmdkExtent;
        return extent && ReadWithReader(*extent, offset, out, bytes, delivered);
    }
    if (ScanSelection.imageKind == kImageVhd || ScanSelection.imageKind == kImageVhdx) {
        CImageSource* source = SourceState.imageSource;
        return source && ReadWithReader(*source, offset, out, bytes, delivered);
    }
    return false;
}

enum class Device
{
    Volume,
    Image,
};

int ReadLocked(Device device, std::uint64_t sector, std::uint32_t count, void* buffer)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    // No buffer of that size can exist (a 32-bit build asked for 4 GiB or more).
    if (!out || count > SIZE_MAX / kSectorSize)
        return 0;
    const std::size_t totalBytes = static_cast<std::size_t>(count) * kSectorSize;
    const PlatformHandle handle = SourceState.volumeHandle;
    const bool sourceReady = device == Device::Image ? (SourceState.vmdkExtent || SourceState.imageSource)
                                                     : IsUsableHandle(handle);
    // Byte offsets are 64-bit: a range that would run past them has no bytes to give.
    if (!sourceReady || sector > UINT64_MAX / kSectorSize - count) {
        std::memset(out, 0, totalBytes);
        return 0;
    }

    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t sectors = std::min(count - done, kSectorsPerCall);
        const std::uint64_t offset = (sector + done) * kSectorSize;
        std::uint8_t* piece = out + static_cast<std::size_t>(done) * kSectorSize;
        const std::uint32_t bytes = sectors * kSectorSize;
        std::uint32_t delivered = 0;
        bool ok;
        if (device == Device::Image) {
            ok = ReadImageAt(offset, piece, bytes, delivered);
        } else {
            ok = ReadHandleAt(handle, offset, piece, bytes, delivered);
        }
        if (!ok) {
            // A reader that failed half-way may have written part of the piece: nothing from the
            // piece on counts as read.
            std::memset(piece + delivered, 0,
                        totalBytes - static_cast<std::size_t>(done) * kSectorSize - delivered);
            return 0;
        }
        done += sectors;
    }
    return 1;
}

PlatformHandle ReplaceHandle(PlatformHandle& slot, const char16_t* path, ReadShare share)
{
    PlatformCloseHandle(slot);
    slot = PlatformOpenForRead(path, share);
    return slot;
}

} // namespace

void (*SectorReadHook)(std::uint64_t sector, std::uint32_t count) = nullptr;

int ReadSectors(std::uint32_t /*device*/, std::uint32_t sectorLow, std::uint32_t sectorHigh,
                std::uint32_t count, void* buffer)
{
    if (SectorReadHook != nullptr)
        SectorReadHook(SectorNumber(sectorLow, sectorHigh), count);
    std::lock_guard<std::mutex> hold(sourceLock);
    lastReadStoppedAtImageEnd = false;
    // Only a logical drive is read through its handle; every other kind is the disk image, whatever a
    // physical drive handle holds.
    const Device device = SourceState.sourceKind == kSourceLogicalVolume ? Device::Volume : Device::Image;
    return ReadLocked(device, SectorNumber(sectorLow, sectorHigh), count, buffer);
}

bool LastReadStoppedAtImageEnd()
{
    return lastReadStoppedAtImageEnd;
}

void ForgetReadsPastImageEnd()
{
    anyReadStoppedAtImageEnd = false;
}

bool AnyReadStoppedAtImageEnd()
{
    return anyReadStoppedAtImageEnd;
}

int ReadVolumeSectors(std::uint32_t sectorLow, std::uint32_t sectorHigh, std::uint32_t count, void* buffer)
{
    std::lock_guard<std::mutex> hold(sourceLock);
    lastReadStoppedAtImageEnd = false;
    return ReadLocked(Device::Volume, SectorNumber(sectorLow, sectorHigh), count, buffer);
}

std::uint64_t SourceSectorCount()
{
    std::lock_guard<std::mutex> hold(sourceLock);
    if (SourceState.sourceKind == kSourceLogicalVolume) {
        // Every read positions the handle again, so asking for its end moves nothing that matters.
        std::uint64_t end = 0;
        if (!IsUsableHandle(SourceState.volumeHandle) ||
            !PlatformSeek(SourceState.volumeHandle, 0, kSeekFromEnd, &end))
            return 0;
        return end / kSectorSize;
    }
    if (ScanSelection.imageKind == kImageVmdk)
        return SourceState.vmdkExtent ? SourceState.vmdkExtent->GetDiskSize() / kSectorSize : 0;
    if (ScanSelection.imageKind == kImageVhd || ScanSelection.imageKind == kImageVhdx)
        return SourceState.imageSource ? SourceState.imageSource->GetDiskSize() / kSectorSize : 0;
    return 0;
}

bool ClipScanRangeToSource()
{
    const std::uint64_t sectors = SourceSectorCount();
    if (sectors == 0)
        return true;
    if (VolumeParams.rangeStart >= sectors)
        return false;
    const std::uint64_t left = sectors - VolumeParams.rangeStart;
    if (VolumeParams.rangeCount > left)
        VolumeParams.rangeCount = static_cast<std::uint32_t>(left);
    if (VolumeParams.rangeEnd >= sectors)
        VolumeParams.rangeEnd = static_cast<std::uint32_t>(sectors - 1);
    return true;
}

std::uint64_t SeekHandle64(PlatformHandle handle, std::int32_t distanceLow, std::uint32_t distanceHigh,
                           std::uint32_t method)
{
    const auto distance =
        static_cast<std::int64_t>(SectorNumber(static_cast<std::uint32_t>(distanceLow), distanceHigh));
    std::uint64_t position = 0;
    if (!IsUsableHandle(handle) || !PlatformSeek(handle, distance, method, &position))
        return UINT64_MAX;
    return position;
}

PlatformHandle OpenPhysicalDrive()
{
    std::lock_guard<std::mutex> hold(sourceLock);
    if (SourceState.deviceIndex >= 10) {
        PlatformCloseHandle(SourceState.driveHandle);
        SourceState.driveHandle = kInvalidHandle;
        return kInvalidHandle;
    }
    char16_t name[20] = {};
    const char* narrow = DeviceNameTable[SourceState.deviceIndex];
    for (int i = 0; i < 19 && narrow[i]; ++i)
        name[i] = static_cast<char16_t>(narrow[i]);
    return ReplaceHandle(SourceState.driveHandle, name, ReadShare::ReadOnly);
}

PlatformHandle OpenLogicalVolume(const char16_t* driveEntry)
{
    std::lock_guard<std::mutex> hold(sourceLock);
    char16_t name[7] = {u'\\', u'\\', u'.', u'\\', 0, 0, 0};
    if (!driveEntry || !driveEntry[0] || !driveEntry[1]) {
        PlatformCloseHandle(SourceState.volumeHandle);
        SourceState.volumeHandle = kInvalidHandle;
        return kInvalidHandle;
    }
    name[4] = driveEntry[0];
    name[5] = driveEntry[1];
    return ReplaceHandle(SourceState.volumeHandle, name, ReadShare::ReadAndWrite);
}
