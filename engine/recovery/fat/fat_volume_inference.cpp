#include "engine/recovery/fat/fat_volume_inference.h"
#include "engine/image/byte_order.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/fat_layout.h"
#include "engine/recovery/scans/extensive_scan.h"

namespace {

constexpr std::array<std::uint32_t, 8> kClusterSizes = {1, 2, 4, 8, 16, 32, 64, 128};
constexpr std::size_t kClusterSizeCount = kClusterSizes.size();
// 0 marks a candidate without a volume and kGivenUpVolume one that has none; numbers stop below both.
constexpr std::uint16_t kLastVolumeNumber = 0xFFFE;

constexpr std::uint32_t kDirEntriesPerSector = kSectorSize / 32;
// A cluster-0 sector below the first track or at the top of the sector numbers is no volume's.
constexpr std::uint64_t kLowestBase = 63;
constexpr std::uint64_t kHighestBase = 0xFFFFFFFE;
constexpr std::uint32_t kLargestFat16Cluster = 65535;

constexpr char16_t kAnalyzingText[] = u"Analyzing the data found...";

int ClusterSizeIndex(std::uint32_t sectorsPerCluster)
{
    for (std::size_t index = 0; index < kClusterSizeCount; ++index)
        if (kClusterSizes[index] == sectorsPerCluster)
            return static_cast<int>(index);
    return -1;
}

// Cluster 0 or 1, or its own parent: not a folder of any volume.
bool IsDebris(const FatDirCandidate& candidate)
{
    return candidate.firstCluster < 2 || candidate.firstCluster == 0xFFFFFFFF ||
           candidate.parentCluster == candidate.firstCluster;
}

// The base (sector of cluster 0) that a volume of k sectors per cluster holding the candidate would
// have; false when the cluster would start at or before sector 0.
bool BaseFor(const FatDirCandidate& candidate, std::uint32_t sectorsPerCluster, std::uint64_t& base)
{
    const std::uint64_t offset = static_cast<std::uint64_t>(sectorsPerCluster) * candidate.firstCluster;
    if (offset >= candidate.sector)
        return false;
    base = candidate.sector - offset;
    return true;
}

// placedCandidates and the panel's progress, which moves only when its percentage changes.
class Placement
{
public:
    void Place()
    {
        ++placedCandidates;
        const std::uint32_t percent = ProgressPercent(placedCandidates, foundFolderCount);
        if (percent != shownPercent) {
            shownPercent = percent;
            UiScanPanel().SetProgressPos(percent);
        }
    }

private:
    std::uint32_t shownPercent = 0xFFFFFFFF;
};

// The candidates still without a volume, by position in the list, and, for every cluster size k, the
// (base, position) pairs sorted so that the candidates one volume explains stand together in list order.
// A candidate that gets a number leaves the index: per cluster size a "next still open" link skips it
// (path halving keeps the skips short), and a max-tree over positions finds the first open candidate
// past a sector.
class CandidateIndex
{
public:
    struct Entry
    {
        std::uint64_t base;
        std::uint32_t position;
        bool operator<(const Entry& other) const
        {
            return base != other.base ? base < other.base : position < other.position;
        }
    };

    CandidateIndex()
    {
        for (FatDirCandidate* candidate = fatDirCandidates.head; candidate; candidate = candidate->next)
            candidates.push_back(candidate);
        const std::size_t count = candidates.size();
        for (std::size_t size = 0; size < kClusterSizeCount; ++size) {
            for (std::uint32_t position = 0; position < count; ++position) {
                const FatDirCandidate& candidate = *candidates[position];
                std::uint64_t base = 0;
                if (IsOpen(candidate) && BaseFor(candidate, kClusterSizes[size], base))
                    entries[size].push_back({base, position});
            }
            std::sort(entries[size].begin(), entries[size].end());
            nextOpen[size].resize(entries[size].size() + 1);
            std::iota(nextOpen[size].begin(), nextOpen[size].end(), std::uint32_t{0});
        }
        leaves = 1;
        while (leaves < count)
            leaves <<= 1;
        sectorTree.assign(2 * leaves, -1);
        for (std::size_t position = 0; position < count; ++position)
            if (IsOpen(*candidates[position]))
                sectorTree[leaves + position] = candidates[position]->sector;
        for (std::size_t node = leaves - 1; node >= 1; --node)
            sectorTree[node] = std::max(sectorTree[2 * node], sectorTree[2 * node + 1]);
    }

    static bool IsOpen(const FatDirCandidate& candidate)
    {
        return candidate.volumeNumber == 0 && !IsDebris(candidate);
    }

    std::size_t Count() const { return candidates.size(); }
    FatDirCandidate& At(std::size_t position) { return *candidates[position]; }

    std::size_t PositionOf(const FatDirCandidate* wanted) const
    {
        const auto found = std::find(candidates.begin(), candidates.end(), wanted);
        return static_cast<std::size_t>(found - candidates.begin());
    }

    // The entries of cluster size `size` with this base: [first, second).
    std::pair<std::size_t, std::size_t> Group(std::size_t size, std::uint64_t base) const
    {
        const auto& list = entries[size];
        const auto first = std::lower_bound(list.begin(), list.end(), Entry{base, 0});
        const auto last = std::lower_bound(first, list.end(), Entry{base + 1, 0});
        return {static_cast<std::size_t>(first - list.begin()),
                static_cast<std::size_t>(last - list.begin())};
    }

    std::size_t RankOf(std::size_t size, std::uint64_t base, std::uint32_t position) const
    {
        const auto& list = entries[size];
        return static_cast<std::size_t>(std::lower_bound(list.begin(), list.end(), Entry{base, position}) -
                                        list.begin());
    }

    // The first entry at or after `rank` whose candidate is still open.
    std::size_t FirstOpen(std::size_t size, std::size_t rank)
    {
        auto& next = nextOpen[size];
        while (next[rank] != rank) {
            next[rank] = next[next[rank]];
            rank = next[rank];
        }
        return rank;
    }

    std::uint32_t PositionAt(std::size_t size, std::size_t rank) const
    {
        return entries[size][rank].position;
    }

    // The first open candidate, in list order, whose sector lies beyond `end`; Count() when none.
    std::size_t FirstOpenBeyond(std::uint64_t end) const
    {
        if (sectorTree[1] <= static_cast<std::int64_t>(end))
            return candidates.size();
        std::size_t node = 1;
        while (node < leaves)
            node = sectorTree[2 * node] > static_cast<std::int64_t>(end) ? 2 * node : 2 * node + 1;
        return node - leaves;
    }

    // Gives the candidate its number and takes it out of the index.
    void Close(std::size_t position, std::uint16_t volumeNumber)
    {
        FatDirCandidate& candidate = *candidates[position];
        const bool wasOpen = IsOpen(candidate);
        candidate.volumeNumber = volumeNumber;
        if (!wasOpen)
            return;
        for (std::size_t size = 0; size < kClusterSizeCount; ++size) {
            std::uint64_t base = 0;
            if (!BaseFor(candidate, kClusterSizes[size], base))
                continue;
            const std::size_t rank = RankOf(size, base, static_cast<std::uint32_t>(position));
            nextOpen[size][rank] = static_cast<std::uint32_t>(rank + 1);
        }
        std::size_t node = leaves + position;
        sectorTree[node] = -1;
        for (node /= 2; node >= 1; node /= 2)
            sectorTree[node] = std::max(sectorTree[2 * node], sectorTree[2 * node + 1]);
    }

private:
    std::vector<FatDirCandidate*> candidates;
    std::array<std::vector<Entry>, kClusterSizeCount> entries;
    std::array<std::vector<std::uint32_t>, kClusterSizeCount> nextOpen;
    std::size_t leaves = 1;
    std::vector<std::int64_t> sectorTree;
};

// A volume as its boot sector describes it.
struct BootVolume
{
    std::uint16_t fsCode = 0;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t reservedSectors = 0;
    std::uint32_t fatSize = 0;
    std::uint32_t rootDirSectors = 0;
    std::uint32_t rootStart = 0; // FAT16: first root-directory sector; FAT32: root cluster
    std::uint32_t fat1Start = 0;
    std::uint32_t fat2Start = 0;
    std::uint64_t base = 0;
    std::uint64_t end = 0; // the sector after the volume
};

std::uint32_t Clamp32(std::uint64_t value)
{
    return value > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<std::uint32_t>(value);
}

bool ReadBootVolume(std::uint32_t sector, BootVolume& volume)
{
    std::uint8_t bytes[kSectorSize];
    // A failed read gives zeros, which carry no label.
    ReadSectors(0, sector, 0, 1, bytes);
    if (bytes[kFat32LabelDigits] == '3' && bytes[kFat32LabelDigits + 1] == '2')
        volume.fsCode = kFsFat32;
    else if (bytes[kFat16LabelDigits] == '1' && bytes[kFat16LabelDigits + 1] == '6')
        volume.fsCode = kFsFat16;
    else
        return false;
    volume.sectorsPerCluster = bytes[kFatBootSectorsPerCluster];
    if (ClusterSizeIndex(volume.sectorsPerCluster) < 0)
        return false;

    volume.reservedSectors = ReadLittleEndian16(bytes, kFatBootReservedSectors);
    // Almost every volume has two FAT copies; a zero count is no count at all.
    const std::uint32_t fatCount = bytes[kFatBootFatCount] != 0 ? bytes[kFatBootFatCount] : 2;
    // FAT16 keeps the total in the 16-bit field when it fits, and then the 32-bit field is 0.
    const std::uint16_t total16 = ReadLittleEndian16(bytes, kFatBootTotalSectors16);
    const std::uint32_t total = total16 != 0 ? total16 : ReadLittleEndian32(bytes, kFatBootTotalSectors32);
    volume.end = static_cast<std::uint64_t>(sector) + total;

    const std::uint64_t fat1 = static_cast<std::uint64_t>(sector) + volume.reservedSectors;
    std::uint64_t firstAfterFats = 0;
    std::int64_t base = 0;
    if (volume.fsCode == kFsFat16) {
        volume.fatSize = ReadLittleEndian16(bytes, kFatBootFat16Size);
        // Root entries of 32 bytes, rounded up to whole sectors.
        volume.rootDirSectors = (ReadLittleEndian16(bytes, kFatBootRootEntries) + kDirEntriesPerSector - 1) /
                                kDirEntriesPerSector;
        firstAfterFats = fat1 + static_cast<std::uint64_t>(fatCount) * volume.fatSize;
        volume.rootStart = Clamp32(firstAfterFats);
        base = static_cast<std::int64_t>(firstAfterFats + volume.rootDirSectors) -
               2 * static_cast<std::int64_t>(volume.sectorsPerCluster);
    } else {
        volume.fatSize = ReadLittleEndian32(bytes, kFatBootFat32Size);
        volume.rootStart = ReadLittleEndian32(bytes, kFatBootRootCluster);
        firstAfterFats = fat1 + static_cast<std::uint64_t>(fatCount) * volume.fatSize;
        base = static_cast<std::int64_t>(firstAfterFats) -
               2 * static_cast<std::int64_t>(volume.sectorsPerCluster);
    }
    if (base < static_cast<std::int64_t>(kLowestBase) || base > static_cast<std::int64_t>(kHighestBase))
        return false;
    volume.base = static_cast<std::uint64_t>(base);
    volume.fat1Start = Clamp32(fat1);
    volume.fat2Start = Clamp32(fat1 + volume.fatSize);
    return true;
}

std::u16string VolumeLabel(std::uint16_t fsCode, std::uint64_t base)
{
    return (fsCode == kFsFat32 ? u"FAT32 @" : u"FAT16 @") + DecimalText(base);
}

TreeItemValue InsertVolumeItem(std::uint16_t fsCode, std::uint64_t base, TreeItemValue root)
{
    const TreeItemValue item = UiPartitionTree().AddItem(VolumeLabel(fsCode, base).c_str(), root);
    UiPartitionTree().Expand(root);
    return item;
}

// Gives up, before any pass, on the candidates that cannot be folders.
void GiveUpDebris(Placement& placement)
{
    for (FatDirCandidate* candidate = fatDirCandidates.head; candidate; candidate = candidate->next) {
        if (candidate->volumeNumber == 0 && IsDebris(*candidate)) {
            candidate->volumeNumber = kGivenUpVolume;
            placement.Place();
        }
    }
}

// The candidates that the boot sector's volume explains, up to the first open candidate beyond its end
// (the candidates stand in sector order, so the walk ends where the volume does).
std::uint32_t NumberBootVolumeCandidates(CandidateIndex& index, const BootVolume& volume,
                                         std::uint16_t volumeNumber, Placement& placement)
{
    const auto size = static_cast<std::size_t>(ClusterSizeIndex(volume.sectorsPerCluster));
    const std::size_t cutoff = index.FirstOpenBeyond(volume.end);
    const auto [first, last] = index.Group(size, volume.base);
    std::uint32_t numbered = 0;
    for (std::size_t rank = index.FirstOpen(size, first); rank < last; rank = index.FirstOpen(size, rank)) {
        const std::uint32_t position = index.PositionAt(size, rank);
        if (position >= cutoff)
            break;
        index.Close(position, volumeNumber);
        placement.Place();
        ++numbered;
    }
    return numbered;
}

void AnalyzeBootSectors(CandidateIndex& index, TreeItemValue root, Placement& placement)
{
    std::uint32_t taken = 0;
    for (U32Node* node = bootSectorList; node && taken < bootSectorCount; node = node->next, ++taken) {
        if (volumeCounter >= kLastVolumeNumber)
            return;
        BootVolume volume;
        if (!ReadBootVolume(node->value, volume))
            continue;
        const auto volumeNumber = static_cast<std::uint16_t>(volumeCounter + 1);
        if (NumberBootVolumeCandidates(index, volume, volumeNumber, placement) == 0)
            continue;
        const TreeItemValue item = InsertVolumeItem(volume.fsCode, volume.base, root);
        const bool fat32 = volume.fsCode == kFsFat32;
        AddFoundVolumeRec(foundVolumes, volume.fsCode, volume.fatSize, volume.sectorsPerCluster,
                          fat32 ? 0 : volume.rootDirSectors, volume.rootStart, volume.reservedSectors,
                          static_cast<std::uint32_t>(volume.base), volume.fat1Start, volume.fat2Start, 0, 0,
                          0, 0, Clamp32(volume.end), item);
        ++volumeCounter;
    }
}

// The pair search for the candidate at `position` (which is open): the first open candidate after it
// in list order that agrees with it on a base for some cluster size and has a higher cluster.
bool InferAt(CandidateIndex& index, std::size_t position, TreeItemValue root, Placement& placement)
{
    if (volumeCounter >= kLastVolumeNumber)
        return false;
    const FatDirCandidate& first = index.At(position);
    std::size_t partner = index.Count();
    std::size_t partnerSize = 0;
    for (std::size_t size = 0; size < kClusterSizeCount; ++size) {
        std::uint64_t base = 0;
        if (!BaseFor(first, kClusterSizes[size], base))
            continue;
        const std::size_t last = index.Group(size, base).second;
        const std::size_t own = index.RankOf(size, base, static_cast<std::uint32_t>(position));
        for (std::size_t rank = index.FirstOpen(size, own + 1); rank < last;
             rank = index.FirstOpen(size, rank + 1)) {
            const std::uint32_t candidate = index.PositionAt(size, rank);
            if (index.At(candidate).firstCluster > first.firstCluster) {
                if (candidate < partner) {
                    partner = candidate;
                    partnerSize = size;
                }
                break;
            }
        }
    }
    if (partner == index.Count())
        return false;

    const std::uint32_t sectorsPerCluster = kClusterSizes[partnerSize];
    std::uint64_t base = 0;
    BaseFor(first, sectorsPerCluster, base);
    const auto volumeNumber = static_cast<std::uint16_t>(volumeCounter + 1);
    std::uint32_t largestCluster = 0;
    const auto [groupFirst, groupLast] = index.Group(partnerSize, base);
    for (std::size_t rank = index.FirstOpen(partnerSize, groupFirst); rank < groupLast;
         rank = index.FirstOpen(partnerSize, rank)) {
        const std::uint32_t member = index.PositionAt(partnerSize, rank);
        largestCluster = std::max(largestCluster, index.At(member).firstCluster);
        index.Close(member, volumeNumber);
        placement.Place();
    }

    const std::uint16_t fsCode =
        VolumeParams.scanFsCode == kFsFat32 || largestCluster > kLargestFat16Cluster ? kFsFat32 : kFsFat16;
    const TreeItemValue item = InsertVolumeItem(fsCode, base, root);
    AddFoundVolumeRec(foundVolumes, fsCode, 0, sectorsPerCluster, 0, fsCode == kFsFat32 ? 2 : 0, 0,
                      static_cast<std::uint32_t>(base), 0, 0, 0, 0, 0, 0, 0, item);
    ++volumeCounter;
    return true;
}

void AssignAll(CandidateIndex& index, TreeItemValue root, Placement& placement)
{
    for (std::size_t position = 0; position < index.Count(); ++position) {
        FatDirCandidate& candidate = index.At(position);
        if (candidate.volumeNumber != 0)
            continue;
        if (!InferAt(index, position, root, placement)) {
            index.Close(position, kGivenUpVolume);
            placement.Place();
        }
    }
    inferenceDone = 1;
}

} // namespace

void AnalyzeFatBootVolumes()
{
    UiScanPanel().SetStatusText(kAnalyzingText);
    const TreeItemValue root = UiPartitionTree().InsertItemWithIcon(kFileSystemRootText, kTreeTop);
    placedCandidates = 0;
    Placement placement;
    GiveUpDebris(placement);
    CandidateIndex index;
    AnalyzeBootSectors(index, root, placement);
    AssignAll(index, root, placement);
    bootVolumesDone = 1;
}

int InferFatVolume(FatDirCandidate* candidate)
{
    if (!candidate || !CandidateIndex::IsOpen(*candidate))
        return 0;
    CandidateIndex index;
    const std::size_t position = index.PositionOf(candidate);
    if (position == index.Count())
        return 0;
    Placement placement;
    return InferAt(index, position, UiPartitionTree().GetRootItem(), placement) ? 1 : 0;
}
