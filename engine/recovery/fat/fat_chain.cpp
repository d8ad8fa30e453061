#include "engine/recovery/fat/fat_chain.h"

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/sector_source.h"

namespace {

constexpr std::uint32_t kFat16EntriesPerSector = kSectorSize / 2;
constexpr std::uint32_t kFat32EntriesPerSector = kSectorSize / 4;
constexpr std::uint32_t kShortChainClusters = 100;

bool IsFat32()
{
    return VolumeParams.fsCode == kFsFat32;
}

std::uint32_t EntriesPerFatSector()
{
    return IsFat32() ? kFat32EntriesPerSector : kFat16EntriesPerSector;
}

// Reads FAT entries of one copy, keeping the sector last read: consecutive clusters mostly share one.
class FatEntryReader
{
public:
    explicit FatEntryReader(std::uint32_t copyStart) : copyStart(copyStart) {}

    // False when the FAT sector could not be read.
    bool Next(std::uint32_t cluster, std::uint32_t& next)
    {
        const std::uint32_t perSector = EntriesPerFatSector();
        const std::uint32_t sector = copyStart + cluster / perSector;
        if (!haveSector || sector != cachedSector) {
            if (!ReadSectors(0, sector, 0, 1, buffer))
                return false;
            cachedSector = sector;
            haveSector = true;
        }
        const std::uint32_t index = cluster % perSector;
        if (IsFat32()) {
            const std::uint8_t* entry = buffer + index * 4;
            next = ReadLittleEndian32(entry) & kFat32ClusterMask;
        } else {
            const std::uint8_t* entry = buffer + index * 2;
            next = ReadLittleEndian16(entry);
        }
        return true;
    }

private:
    std::uint32_t copyStart;
    std::uint32_t cachedSector = 0;
    bool haveSector = false;
    std::uint8_t buffer[kSectorSize];
};

void WalkChain(std::uint32_t firstCluster, std::uint32_t maxClusters, std::uint16_t fatCopy,
               bool honourSaveFlags)
{
    FreeClusterChain();
    const std::uint32_t first = MaskCluster(firstCluster);
    if (!IsUsableCluster(first))
        return;
    AddClusterNode(first);

    const std::uint32_t copyStart = fatCopy == 2 ? VolumeParams.fat2Start : VolumeParams.fat1Start;
    const std::uint32_t limit = FatClusterLimit();
    // Without the copy's start or its size the FAT cannot be read within its bounds.
    if (copyStart == 0 || limit == 0)
        return;
    // Every walk is bounded, also when the caller gives no bound: no chain holds more clusters than
    // the FAT describes.
    if (maxClusters == 0 || maxClusters > limit)
        maxClusters = limit;

    FatEntryReader reader(copyStart);
    std::uint32_t cluster = first;
    std::uint32_t listed = 1;
    for (;;) {
        if (honourSaveFlags && (SaveControl.stop != 0 || SaveControl.skip != 0))
            return;
        std::uint32_t next = 0;
        if (!reader.Next(cluster, next))
            return;
        if (!IsUsableCluster(next))
            return;
        AddClusterNode(next);
        ++listed;
        if (listed > maxClusters)
            return;
        cluster = next;
    }
}

} // namespace

std::uint32_t FatClusterLimit()
{
    if (VolumeParams.fsCode != kFsFat16 && VolumeParams.fsCode != kFsFat32)
        return 0;
    const std::uint64_t entries = static_cast<std::uint64_t>(VolumeParams.fatSize) * EntriesPerFatSector();
    const std::uint32_t end = IsFat32() ? kFat32ClusterEnd : kFat16ClusterEnd;
    return entries < end ? static_cast<std::uint32_t>(entries) : end;
}

std::uint32_t MaskCluster(std::uint32_t cluster)
{
    return IsFat32() ? cluster & kFat32ClusterMask : cluster;
}

bool IsUsableCluster(std::uint32_t cluster)
{
    if (cluster < 2)
        return false;
    const std::uint32_t limit = FatClusterLimit();
    if (limit != 0)
        return cluster < limit;
    return cluster < (IsFat32() ? kFat32ClusterEnd : kFat16ClusterEnd);
}

void CollectFatChain(std::uint32_t firstCluster, std::uint32_t maxClusters, std::uint16_t fatCopy)
{
    WalkChain(firstCluster, maxClusters, fatCopy, true);
}

void CollectFatChainShort(std::uint32_t firstCluster)
{
    // maxClusters counts the clusters after which the walk stops, the first one included in the list.
    WalkChain(firstCluster, kShortChainClusters - 1, 1, false);
}

void CollectScanFatChain(std::uint32_t firstCluster, std::uint32_t maxClusters, std::uint16_t fatCopy)
{
    WalkChain(firstCluster, maxClusters, fatCopy, false);
}
