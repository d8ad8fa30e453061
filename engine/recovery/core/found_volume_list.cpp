#include "engine/recovery/core/found_volume_list.h"

#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"

namespace {

void CopyIntoVolumeParams(const FoundVolumeRec& volume, std::uint32_t number)
{
    VolumeParams.fsCode = volume.fsCode;
    VolumeParams.fatSize = volume.fatSize;
    VolumeParams.sectorsPerCluster = volume.sectorsPerCluster;
    VolumeParams.rootDirSectors = volume.rootDirSectors;
    VolumeParams.rootStart = volume.rootStart;
    VolumeParams.reservedSectors = volume.reservedSectors;
    VolumeParams.clusterBase = volume.clusterBase;
    VolumeParams.fat1Start = volume.fat1Start;
    VolumeParams.fat2Start = volume.fat2Start;
    VolumeParams.mftStart = volume.mftStart;
    VolumeParams.mftMirrStart = volume.mftMirrStart;
    VolumeParams.unused = volume.unused;
    VolumeParams.indexSectors = volume.indexSectors;
    VolumeParams.endSector = volume.endSector;
    VolumeParams.volumeNumber = static_cast<std::uint16_t>(number);
}

} // namespace

FoundVolumeRec* AddFoundVolumeRec(RecordList<FoundVolumeRec>& list, std::uint16_t fsCode,
                                  std::uint32_t fatSize, std::uint32_t sectorsPerCluster,
                                  std::uint32_t rootDirSectors, std::uint32_t rootStart,
                                  std::uint32_t reservedSectors, std::uint32_t clusterBase,
                                  std::uint32_t fat1Start, std::uint32_t fat2Start, std::uint32_t mftStart,
                                  std::uint32_t mftMirrStart, std::uint32_t unused,
                                  std::uint32_t indexSectors, std::uint32_t endSector, TreeItemValue treeItem)
{
    auto* record = AllocateRecord<FoundVolumeRec>();
    record->fsCode = fsCode;
    record->fatSize = fatSize;
    record->sectorsPerCluster = sectorsPerCluster;
    record->rootDirSectors = rootDirSectors;
    record->rootStart = rootStart;
    record->reservedSectors = reservedSectors;
    record->clusterBase = clusterBase;
    record->fat1Start = fat1Start;
    record->fat2Start = fat2Start;
    record->mftStart = mftStart;
    record->mftMirrStart = mftMirrStart;
    record->unused = unused;
    record->indexSectors = indexSectors;
    record->endSector = endSector;
    record->treeItem = treeItem;
    LinkAtTail(list, record);
    return record;
}

FoundVolumeRec* FoundVolumeByNumber(std::uint32_t number)
{
    std::uint32_t position = 1;
    for (FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next, ++position)
        if (position == number)
            return volume;
    return nullptr;
}

bool ChooseFoundVolume(TreeItemValue item)
{
    if (item == 0)
        return false;
    std::uint32_t position = 1;
    for (FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next, ++position) {
        if (volume->treeItem == item) {
            CopyIntoVolumeParams(*volume, position);
            return true;
        }
    }
    return false;
}

bool ChooseFoundVolumeNumber(std::uint32_t number)
{
    const FoundVolumeRec* volume = number != 0 ? FoundVolumeByNumber(number) : nullptr;
    if (!volume)
        return false;
    CopyIntoVolumeParams(*volume, number);
    return true;
}
