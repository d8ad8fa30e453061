#include "engine/recovery/partitions/partition_params.h"
#include "engine/image/byte_order.h"

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/fat_chain.h"
#include "engine/recovery/fat/fat_layout.h"
#include "engine/recovery/ntfs/ntfs_boot_params.h"

namespace {

constexpr std::uint32_t kRootEntriesPerSector = 16;

// Where the directory search looks for the first FAT sector, and what it takes when none is found.
constexpr std::uint32_t kFat32ReservedSearchFirst = 30;
constexpr std::uint32_t kFat32ReservedSearchEnd = 60;
constexpr std::uint32_t kFat32DefaultReserved = 32;
constexpr std::uint32_t kFat16ReservedSearchEnd = 9;
constexpr std::uint32_t kFat16DefaultReserved = 1;
// The directory search assumes the usual 512 root entries of FAT16.
constexpr std::uint32_t kFat16SearchRootSectors = 32;
constexpr std::uint32_t kSearchProgressFrom = 500;

bool StopRequested()
{
    return ScanThreadControl.done != 0;
}

bool HasBootSignature(const std::uint8_t* sector)
{
    return sector[kBootSignatureOffset] == 0x55 && sector[kBootSignatureOffset + 1] == 0xAA;
}

bool IsClusterSize(std::uint32_t sectorsPerCluster)
{
    return sectorsPerCluster != 0 && sectorsPerCluster <= 128 &&
           (sectorsPerCluster & (sectorsPerCluster - 1)) == 0;
}

struct FatLayout
{
    std::uint32_t reserved = 0;
    std::uint32_t fatSize = 0;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t rootDirSectors = 0; // FAT16
    std::uint32_t rootCluster = 0;    // FAT32
};

FatLayout LayoutFromBootSector(const std::uint8_t* boot, bool fat32)
{
    FatLayout layout;
    layout.reserved = ReadLittleEndian16(boot + kFatBootReservedSectors);
    layout.sectorsPerCluster = boot[kFatBootSectorsPerCluster];
    if (fat32) {
        layout.fatSize = ReadLittleEndian32(boot + kFatBootFat32Size);
        layout.rootCluster = ReadLittleEndian32(boot + kFatBootRootCluster) & kFat32ClusterMask;
    } else {
        layout.fatSize = ReadLittleEndian16(boot + kFatBootFat16Size);
        layout.rootDirSectors = ReadLittleEndian16(boot + kFatBootRootEntries) / kRootEntriesPerSector;
    }
    return layout;
}

// The layout is used when its numbers make sense for the range and the second FAT copy begins with the
// media byte.
bool LayoutChecks(const FatLayout& layout)
{
    if (!IsClusterSize(layout.sectorsPerCluster) || layout.reserved == 0 || layout.fatSize == 0)
        return false;
    const std::uint64_t dataStart =
        static_cast<std::uint64_t>(layout.reserved) + 2ull * layout.fatSize + layout.rootDirSectors;
    if (VolumeParams.rangeCount != 0 ? dataStart >= VolumeParams.rangeCount : dataStart > UINT32_MAX)
        return false;
    const std::uint64_t secondFat =
        static_cast<std::uint64_t>(VolumeParams.rangeStart) + layout.reserved + layout.fatSize;
    if (secondFat > UINT32_MAX)
        return false;
    std::uint8_t sector[kSectorSize];
    ReadSectors(0, static_cast<std::uint32_t>(secondFat), 0, 1, sector);
    return sector[0] == kFatMediaFixedDisk;
}

// Sector numbers wrap at 32 bits as VolumeParams holds them; cluster c always lies at
// clusterBase + c x sectorsPerCluster.
void WriteLayout(const FatLayout& layout, std::uint32_t clusterBase)
{
    const std::uint32_t start = VolumeParams.rangeStart;
    VolumeParams.fatSize = layout.fatSize;
    VolumeParams.sectorsPerCluster = layout.sectorsPerCluster;
    VolumeParams.reservedSectors = layout.reserved;
    VolumeParams.rootDirSectors = layout.rootDirSectors;
    VolumeParams.clusterBase = clusterBase;
    VolumeParams.fat1Start = start + layout.reserved;
    VolumeParams.fat2Start = VolumeParams.fat1Start + layout.fatSize;
    if (VolumeParams.fsCode == kFsFat32)
        VolumeParams.rootStart = layout.rootCluster < 2 ? 2 : layout.rootCluster;
    else
        VolumeParams.rootStart = VolumeParams.fat2Start + layout.fatSize;
}

std::uint32_t BootClusterBase(const FatLayout& layout)
{
    return VolumeParams.rangeStart + layout.reserved + 2 * layout.fatSize + layout.rootDirSectors -
           2 * layout.sectorsPerCluster;
}

int ReadFat16Params()
{
    std::uint8_t boot[kSectorSize];
    ReadSectors(0, VolumeParams.rangeStart, 0, 1, boot);
    if (!HasBootSignature(boot))
        return 0;
    const FatLayout layout = LayoutFromBootSector(boot, false);
    if (!LayoutChecks(layout))
        return 0;
    WriteLayout(layout, BootClusterBase(layout));
    return 1;
}

int ReadFat32Params()
{
    const std::uint32_t backup = VolumeParams.rangeStart + kFat32BackupBootOffset;
    std::uint8_t boot[kSectorSize];
    ReadSectors(0, VolumeParams.rangeStart, 0, 1, boot);
    bool fromBackup = false;
    if (!HasBootSignature(boot)) {
        ReadSectors(0, backup, 0, 1, boot);
        if (!HasBootSignature(boot))
            return 0;
        fromBackup = true;
    }
    FatLayout layout = LayoutFromBootSector(boot, true);
    if (!LayoutChecks(layout)) {
        if (fromBackup)
            return 0;
        ReadSectors(0, backup, 0, 1, boot);
        if (!HasBootSignature(boot))
            return 0;
        layout = LayoutFromBootSector(boot, true);
        if (!LayoutChecks(layout))
            return 0;
    }
    WriteLayout(layout, BootClusterBase(layout));
    return 1;
}

// A directory cluster begins with a "." entry and a ".." entry, both padded with blanks.
bool IsDirectoryStart(const std::uint8_t* sector)
{
    if (sector[0] != '.' || sector[32] != '.' || sector[33] != '.')
        return false;
    for (std::uint32_t at = 1; at <= 10; ++at)
        if (sector[at] != ' ')
            return false;
    for (std::uint32_t at = 34; at <= 42; ++at)
        if (sector[at] != ' ')
            return false;
    return true;
}

std::uint32_t DotCluster(const std::uint8_t* sector, bool fat32)
{
    const std::uint32_t low = ReadLittleEndian16(sector + kDirEntryClusterLow);
    return fat32 ? low | static_cast<std::uint32_t>(ReadLittleEndian16(sector + kDirEntryClusterHigh)) << 16
                 : low;
}

std::uint32_t FindReservedSectors(bool fat32)
{
    const std::uint32_t first = fat32 ? kFat32ReservedSearchFirst : 0;
    const std::uint32_t end = fat32 ? kFat32ReservedSearchEnd : kFat16ReservedSearchEnd;
    std::uint8_t sector[kSectorSize];
    for (std::uint32_t offset = first; offset < end; ++offset) {
        ReadSectors(0, VolumeParams.rangeStart + offset, 0, 1, sector);
        if (sector[0] == kFatMediaFixedDisk && sector[1] == 0xFF)
            return offset;
    }
    return fat32 ? kFat32DefaultReserved : kFat16DefaultReserved;
}

int FailSearch()
{
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
    return 0;
}

} // namespace

int ReadPartitionParams()
{
    if (StopRequested())
        return 0;
    VolumeParams.fsCode = VolumeParams.scanFsCode;
    if (SourceState.sourceKind == kSourceLogicalVolume)
        VolumeParams.rangeStart = 0;
    switch (VolumeParams.fsCode) {
    case kFsFat16:
        return ReadFat16Params();
    case kFsFat32:
        return ReadFat32Params();
    case kFsNtfs:
        return ReadNtfsPartitionParams();
    default:
        return 1;
    }
}

int SearchPartitionParams(bool* stopRequested)
{
    if (stopRequested)
        *stopRequested = false;
    UiScanPanel().SetStatusText(u"Please wait, calculating partition parameters");
    const std::uint16_t code = VolumeParams.fsCode;
    if (code != kFsFat16 && code != kFsFat32)
        return FailSearch();
    const bool fat32 = code == kFsFat32;

    FatLayout layout;
    layout.reserved = FindReservedSectors(fat32);
    layout.rootCluster = 2;
    layout.rootDirSectors = fat32 ? 0 : kFat16SearchRootSectors;
    const std::uint32_t endMarker = fat32 ? 0xFFFFFFFF : 0xFFFF;

    bool haveFirst = false;
    std::int64_t s0 = 0;
    std::int64_t c0 = 0;
    std::uint8_t sector[kSectorSize];
    for (std::uint32_t index = 0; index < VolumeParams.rangeCount; ++index) {
        if (StopRequested()) {
            if (stopRequested)
                *stopRequested = true;
            return FailSearch();
        }
        const std::uint32_t sectorNumber = VolumeParams.rangeStart + index;
        ReadSectors(0, sectorNumber, 0, 1, sector);
        if (index + 1 >= kSearchProgressFrom)
            UiScanPanel().SetProgressPos(ProgressPercent(index + 1, VolumeParams.rangeCount));
        if (!IsDirectoryStart(sector))
            continue;
        const std::uint32_t cluster = DotCluster(sector, fat32);
        if (cluster < 2 || cluster == endMarker)
            continue;
        const std::int64_t s = sectorNumber;
        const std::int64_t c = cluster;
        if (!haveFirst) {
            haveFirst = true;
            s0 = s;
            c0 = c;
            continue;
        }
        if (c == c0 || (s - s0) % (c - c0) != 0)
            continue;
        const std::int64_t k = (s - s0) / (c - c0);
        if (k <= 0 || k > 128 || !IsClusterSize(static_cast<std::uint32_t>(k)) || c >= s || c >= s0 ||
            s0 - k * c0 != s - k * c)
            continue;
        const std::int64_t fats =
            s0 - k * (c0 - 2) - VolumeParams.rangeStart - layout.reserved - layout.rootDirSectors;
        if (fats < 2)
            continue;
        layout.sectorsPerCluster = static_cast<std::uint32_t>(k);
        layout.fatSize = static_cast<std::uint32_t>(fats / 2);
        WriteLayout(layout, static_cast<std::uint32_t>(s0 - k * c0));
        return 1;
    }
    return FailSearch();
}
