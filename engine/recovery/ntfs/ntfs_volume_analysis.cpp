#include "engine/recovery/ntfs/ntfs_volume_analysis.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <numeric>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_mft_numbering.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"
#include "engine/recovery/scans/extensive_scan.h"

namespace {

constexpr std::array<std::uint32_t, 8> kClusterSizes = {1, 2, 4, 8, 16, 32, 64, 128};
constexpr std::size_t kClusterSizeCount = kClusterSizes.size();
// 0 marks a folder node without a volume and kNtfsGivenUpVolume one that has none; numbers stop below.
constexpr std::uint16_t kLastVolumeNumber = 0xFFFE;
constexpr std::uint64_t kLastSector = 0xFFFFFFFF;

// The index-record size of an inferred volume: the 4 KiB that format tools give every volume.
constexpr std::uint32_t kInferredIndexSectors = 8;
// $MFTMirr holds copies of the first four records: $MFT, $MFTMirr, $LogFile and $Volume.
constexpr std::uint32_t kMirroredSectors = 4 * kMftRecordSectors;
// The panel's status text counts the placed folders; it moves every this many.
constexpr std::uint32_t kPlacementsPerStatus = 64;

constexpr char16_t kStep1Text[] = u"Analyzing Classification ( Step 1/2 )";
constexpr char16_t kStep2Text[] = u"Analyzing Classification ( Step 2/2 )";
constexpr char16_t kUnassignedText[] = u"Searching for unassigned entries...";
constexpr char16_t kVolumeLabel[] = u"NTFS @";

bool StopRequested()
{
    return ScanThreadControl.done.load() == 1;
}

std::uint32_t ClampSector(std::uint64_t sector)
{
    return sector > kLastSector ? static_cast<std::uint32_t>(kLastSector)
                                : static_cast<std::uint32_t>(sector);
}

// The panel's progress bar, moved only when its percentage changes.
class PanelProgress
{
public:
    void Show(std::uint32_t percent)
    {
        if (percent != shown) {
            shown = percent;
            UiScanPanel().SetProgressPos(percent);
        }
    }

private:
    std::uint32_t shown = 0xFFFFFFFF;
};

TreeItemValue InsertVolumeItem(std::uint64_t base, TreeItemValue root)
{
    const TreeItemValue item = UiPartitionTree().AddItem((kVolumeLabel + DecimalText(base)).c_str(), root);
    UiPartitionTree().Expand(root);
    return item;
}

// A volume as its boot sector describes it.
struct BootVolume
{
    std::uint32_t sectorsPerCluster = 0;
    std::uint64_t end = 0;
    std::uint32_t indexSectors = 0;
    std::uint32_t mftStart = 0;
    std::uint32_t mirrorStart = 0;
};

// The index-record size byte is signed: a positive value counts clusters, a negative n gives 2^-n bytes
// (0xF4: 4096). 0 when the byte gives no size an index record can have (512 bytes to 64 KiB).
std::uint32_t IndexRecordSectors(std::uint8_t value, std::uint32_t sectorsPerCluster)
{
    const auto size = static_cast<std::int8_t>(value);
    if (size > 0)
        return static_cast<std::uint32_t>(size) * sectorsPerCluster;
    const int shift = -size;
    return shift >= 9 && shift <= 16 ? (1u << shift) / kSectorSize : 0;
}

bool ReadBootVolume(std::uint32_t sector, BootVolume& volume)
{
    std::uint8_t bytes[kSectorSize];
    // A failed read gives zeros, which fail the cluster-size test.
    ReadSectors(0, sector, 0, 1, bytes);
    volume.sectorsPerCluster = bytes[kNtfsBootSectorsPerCluster];
    if (std::find(kClusterSizes.begin(), kClusterSizes.end(), volume.sectorsPerCluster) ==
        kClusterSizes.end())
        return false;
    volume.end = std::uint64_t{sector} + ReadLittleEndian32(bytes, kNtfsBootTotalSectors);
    volume.indexSectors = IndexRecordSectors(bytes[kNtfsBootIndexRecordSize], volume.sectorsPerCluster);
    if (volume.indexSectors == 0 || volume.end == sector)
        return false;
    const std::uint64_t mft =
        sector + std::uint64_t{ReadLittleEndian32(bytes, kNtfsBootMftCluster)} * volume.sectorsPerCluster;
    const std::uint64_t mirror =
        sector + std::uint64_t{ReadLittleEndian32(bytes, kNtfsBootMirrorCluster)} * volume.sectorsPerCluster;
    volume.mftStart = mft > kLastSector ? 0 : static_cast<std::uint32_t>(mft);
    volume.mirrorStart = mirror > kLastSector ? 0 : static_cast<std::uint32_t>(mirror);
    return true;
}

// The folder nodes as the volume passes need them. Positions are list positions. A node is "open" while
// it has no volume and has a first index cluster: only open nodes can be given a volume. Per cluster
// size k, the nodes that have a first index record at sector s with s - k x cluster >= 0 stand sorted
// by that base and then by position, so that the nodes one volume explains are neighbours; "next open"
// links (path halving keeps them short) skip the nodes that have been given a volume since.
class FolderIndex
{
public:
    FolderIndex()
    {
        for (NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next)
            nodes.push_back(node);
        const std::size_t count = nodes.size();

        // A folder's first index record: the first index node of VCN 0 that names the folder.
        std::unordered_map<std::uint32_t, std::uint32_t> firstRecord;
        for (const NtfsIndexNode* index = ntfsIndexNodes.head; index; index = index->next)
            if (index->vcn == 0 && index->marker == 0xFFFF)
                firstRecord.try_emplace(index->folderNumber, index->sector);
        indexSectors.assign(count, 0);
        sorted = true;
        reachedSector.resize(count);
        std::uint32_t highest = 0;
        for (std::size_t position = 0; position < count; ++position) {
            const NtfsFolderNode& node = *nodes[position];
            if (const auto found = firstRecord.find(node.folderNumber); found != firstRecord.end())
                indexSectors[position] = found->second;
            if (position > 0 && node.recordSector < nodes[position - 1]->recordSector)
                sorted = false;
            highest = std::max(highest, node.recordSector);
            reachedSector[position] = highest;
        }

        nextOpen.resize(count + 1);
        std::iota(nextOpen.begin(), nextOpen.end(), std::uint32_t{0});
        for (std::size_t size = 0; size < kClusterSizeCount; ++size) {
            for (std::uint32_t position = 0; position < count; ++position) {
                std::uint64_t base = 0;
                if (BaseFor(position, kClusterSizes[size], base))
                    entries[size].push_back({base, position});
            }
            std::sort(entries[size].begin(), entries[size].end());
            nextOpenRank[size].resize(entries[size].size() + 1);
            std::iota(nextOpenRank[size].begin(), nextOpenRank[size].end(), std::uint32_t{0});
        }
        for (std::uint32_t position = 0; position < count; ++position)
            if (!IsOpen(*nodes[position]))
                Unlink(position);
    }

    std::size_t Count() const { return nodes.size(); }
    NtfsFolderNode& At(std::size_t position) { return *nodes[position]; }
    std::uint32_t IndexSector(std::size_t position) const { return indexSectors[position]; }

    // The base of the volume with `sectorsPerCluster` that the node's first index record puts it in.
    bool BaseFor(std::size_t position, std::uint32_t sectorsPerCluster, std::uint64_t& base) const
    {
        const NtfsFolderNode& node = *nodes[position];
        const std::uint64_t offset = std::uint64_t{sectorsPerCluster} * node.firstIndexCluster;
        if (node.firstIndexCluster == 0 || indexSectors[position] == 0 || offset > indexSectors[position])
            return false;
        base = indexSectors[position] - offset;
        return true;
    }

    // The first position whose node lies beyond `end`, where a walk in list order stops.
    std::size_t FirstBeyond(std::uint64_t end) const
    {
        return static_cast<std::size_t>(
            std::upper_bound(reachedSector.begin(), reachedSector.end(), end,
                             [](std::uint64_t value, std::uint32_t reached) { return value < reached; }) -
            reachedSector.begin());
    }

    // The first position that can lie after `start`: in a list in sector order, the first node after it.
    std::size_t FirstAfter(std::uint64_t start) const
    {
        if (!sorted)
            return 0;
        return static_cast<std::size_t>(std::upper_bound(nodes.begin(), nodes.end(), start,
                                                         [](std::uint64_t value, const NtfsFolderNode* node) {
                                                             return value < node->recordSector;
                                                         }) -
                                        nodes.begin());
    }

    // The first open position at or after `position`.
    std::size_t NextOpen(std::size_t position) { return Follow(nextOpen, position); }

    // The first open node after `after` whose first index record gives `base` for cluster size `size`,
    // leaving out nodes with the cluster `sameCluster` (they name the same index record). Count() when
    // none.
    std::size_t FirstPartner(std::size_t size, std::uint64_t base, std::size_t after,
                             std::uint32_t sameCluster)
    {
        const auto& list = entries[size];
        const auto last = static_cast<std::size_t>(
            std::lower_bound(list.begin(), list.end(), Entry{base + 1, 0}) - list.begin());
        std::size_t rank = Rank(size, base, after + 1);
        for (rank = Follow(nextOpenRank[size], rank); rank < last;
             rank = Follow(nextOpenRank[size], rank + 1)) {
            const std::uint32_t position = list[rank].position;
            if (nodes[position]->firstIndexCluster != sameCluster)
                return position;
        }
        return Count();
    }

    // Gives the node its volume number; an open node leaves the index.
    void Close(std::size_t position, std::uint16_t volumeNumber)
    {
        const bool wasOpen = IsOpen(*nodes[position]);
        nodes[position]->volumeNumber = volumeNumber;
        if (wasOpen)
            Unlink(static_cast<std::uint32_t>(position));
    }

private:
    struct Entry
    {
        std::uint64_t base;
        std::uint32_t position;
        bool operator<(const Entry& other) const
        {
            return base != other.base ? base < other.base : position < other.position;
        }
    };

    static bool IsOpen(const NtfsFolderNode& node)
    {
        return node.volumeNumber == 0 && node.firstIndexCluster != 0;
    }

    std::size_t Rank(std::size_t size, std::uint64_t base, std::size_t position) const
    {
        const auto& list = entries[size];
        return static_cast<std::size_t>(
            std::lower_bound(list.begin(), list.end(), Entry{base, static_cast<std::uint32_t>(position)}) -
            list.begin());
    }

    static std::size_t Follow(std::vector<std::uint32_t>& next, std::size_t at)
    {
        while (next[at] != at) {
            next[at] = next[next[at]];
            at = next[at];
        }
        return at;
    }

    void Unlink(std::uint32_t position)
    {
        nextOpen[position] = position + 1;
        for (std::size_t size = 0; size < kClusterSizeCount; ++size) {
            std::uint64_t base = 0;
            if (!BaseFor(position, kClusterSizes[size], base))
                continue;
            const std::size_t rank = Rank(size, base, position);
            nextOpenRank[size][rank] = static_cast<std::uint32_t>(rank + 1);
        }
    }

    std::vector<NtfsFolderNode*> nodes;
    std::vector<std::uint32_t> indexSectors;  // per position: the first index record, 0 when none
    std::vector<std::uint32_t> reachedSector; // per position: the highest record sector up to it
    bool sorted = true;
    std::vector<std::uint32_t> nextOpen;
    std::array<std::vector<Entry>, kClusterSizeCount> entries;
    std::array<std::vector<std::uint32_t>, kClusterSizeCount> nextOpenRank;
};

class VolumeAnalysis
{
public:
    VolumeAnalysis() = default;

    // Pass 1; returns the root item.
    TreeItemValue AddBootVolumes()
    {
        const TreeItemValue root = UiPartitionTree().InsertItemWithIcon(kFileSystemRootText, kTreeTop);
        UiScanPanel().SetStatusText(kStep1Text);
        std::unordered_set<std::uint32_t> seen;
        std::uint32_t taken = 0;
        for (const U32Node* node = bootSectorList; node && taken < bootSectorCount && !StopRequested();
             node = node->next, ++taken) {
            const std::uint32_t sector = node->value;
            BootVolume volume;
            if (!seen.insert(sector).second || !ReadBootVolume(sector, volume))
                continue;
            if (!Assign(volume.sectorsPerCluster, sector, volume.end, 1))
                continue;
            ++volumeCounter;
            const TreeItemValue item = InsertVolumeItem(sector, root);
            AddFoundVolumeRec(foundVolumes, kFsNtfs, 0, volume.sectorsPerCluster, 0, 0, 0, sector, 0, 0,
                              volume.mftStart, volume.mirrorStart, 0, volume.indexSectors,
                              ClampSector(volume.end), item);
        }
        bootVolumesDone = 1;
        return root;
    }

    // Pass 2.
    void InferVolumes(TreeItemValue root)
    {
        UiScanPanel().SetStatusText(kStep2Text);
        const std::uint32_t end = VolumeParams.rangeEnd;
        for (std::size_t first = 0; first < index.Count() && !StopRequested(); ++first) {
            NtfsFolderNode& node = index.At(first);
            if (node.volumeNumber != 0)
                continue;
            if (node.firstIndexCluster == 0 || index.IndexSector(first) == 0) {
                index.Close(first, kNtfsGivenUpVolume);
                continue;
            }
            PairWith(first, end, root);
        }
    }

    // Gives volume number volumeCounter + 1 to every folder node without a volume that lies after `start`,
    // before the first node beyond `end`, and whose first index cluster, counted from `start` in clusters
    // of `sectorsPerCluster`, begins with an index record. `pass` (1 boot sectors, 2 inference) chooses
    // the status text. True when at least one node got the number.
    bool Assign(std::uint32_t sectorsPerCluster, std::uint64_t start, std::uint64_t end, std::uint32_t pass)
    {
        if (volumeCounter >= kLastVolumeNumber)
            return false;
        const auto volumeNumber = static_cast<std::uint16_t>(volumeCounter + 1);
        const std::size_t cutoff = index.FirstBeyond(end);
        bool assigned = false;
        for (std::size_t position = index.NextOpen(index.FirstAfter(start)); position < cutoff;
             position = index.NextOpen(position + 1)) {
            if (StopRequested())
                break;
            const NtfsFolderNode& node = index.At(position);
            if (node.recordSector <= start)
                continue;
            if (!BeginsWithIndexRecord(start + std::uint64_t{node.firstIndexCluster} * sectorsPerCluster))
                continue;
            index.Close(position, volumeNumber);
            ++placedCandidates;
            assigned = true;
            ShowPlacement(pass, placedCandidates % kPlacementsPerStatus == 1);
        }
        if (assigned)
            ShowPlacement(pass, true);
        return assigned;
    }

private:
    // The pairs of the folder node at `first` with the nodes after it, in list order. A pair of cluster
    // size k and base b asks Assign (k, b, end): once asked, every open node that (k, b)
    // explains has its volume, so the same question later gives 0 and changes nothing. Hence each
    // (k, b) is asked once, and a node's partners are looked for only among classes not yet asked.
    void PairWith(std::size_t first, std::uint32_t end, TreeItemValue root)
    {
        const std::uint32_t cluster = index.At(first).firstIndexCluster;
        std::array<std::uint64_t, kClusterSizeCount> bases{};
        std::array<bool, kClusterSizeCount> open{};
        for (std::size_t size = 0; size < kClusterSizeCount; ++size)
            open[size] = index.BaseFor(first, kClusterSizes[size], bases[size]) &&
                         asked.count({kClusterSizes[size], bases[size]}) == 0;
        std::size_t after = first;
        for (;;) {
            std::size_t partner = index.Count();
            std::size_t partnerSize = 0;
            for (std::size_t size = 0; size < kClusterSizeCount; ++size) {
                if (!open[size])
                    continue;
                const std::size_t candidate = index.FirstPartner(size, bases[size], after, cluster);
                if (candidate == index.Count()) {
                    open[size] = false;
                } else if (candidate < partner) {
                    partner = candidate;
                    partnerSize = size;
                }
            }
            if (partner == index.Count() || StopRequested())
                return;
            const std::uint32_t sectorsPerCluster = kClusterSizes[partnerSize];
            const std::uint64_t base = bases[partnerSize];
            asked.insert({sectorsPerCluster, base});
            open[partnerSize] = false;
            after = partner;
            if (!Assign(sectorsPerCluster, base, end, 2))
                continue;
            ++volumeCounter;
            const TreeItemValue item = InsertVolumeItem(base, root);
            AddFoundVolumeRec(foundVolumes, kFsNtfs, 0, sectorsPerCluster, 0, 0, 0,
                              static_cast<std::uint32_t>(base), 0, 0, 0, 0, 0, kInferredIndexSectors, end,
                              item);
        }
    }

    // Whether the sector begins with "INDX"; each sector is read once.
    bool BeginsWithIndexRecord(std::uint64_t sector)
    {
        if (sector > kLastSector)
            return false;
        const auto at = static_cast<std::uint32_t>(sector);
        if (const auto known = indexSectorCache.find(at); known != indexSectorCache.end())
            return known->second;
        std::uint8_t bytes[kSectorSize];
        // A failed read gives zeros, which are no index record.
        ReadSectors(0, at, 0, 1, bytes);
        const bool isIndex = HasSignature(bytes, "INDX");
        indexSectorCache.emplace(at, isIndex);
        return isIndex;
    }

    void ShowPlacement(std::uint32_t pass, bool withText)
    {
        if (withText)
            UiScanPanel().SetStatusText((std::u16string(pass == 1 ? kStep1Text : kStep2Text) + u" - " +
                                         DecimalText(placedCandidates) + u" \\ " +
                                         DecimalText(foundFolderCount))
                                            .c_str());
        progress.Show(ProgressPercent(placedCandidates, foundFolderCount));
    }

    FolderIndex index;
    std::unordered_map<std::uint32_t, bool> indexSectorCache;
    std::set<std::pair<std::uint32_t, std::uint64_t>> asked;
    PanelProgress progress;
};

// A given-up folder node takes the volume of the node before it: folders without index records of their
// own (small ones) lie among the folders of their volume in the MFT.
void InheritVolumes()
{
    UiScanPanel().SetStatusText(kUnassignedText);
    PanelProgress progress;
    std::uint16_t before = 1;
    std::uint64_t visited = 0;
    for (NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next) {
        if (node->volumeNumber == kNtfsGivenUpVolume)
            node->volumeNumber = before;
        before = node->volumeNumber;
        progress.Show(ProgressPercent(++visited, foundFolderCount));
    }
}

bool WithinVolume(const FoundVolumeRec& volume, std::uint32_t sector)
{
    return sector > volume.clusterBase && sector <= volume.endSector;
}

bool SameText(const char16_t* left, const char16_t* right)
{
    for (; *left != 0 && *left == *right; ++left, ++right) {
    }
    return *left == *right;
}

// Where an inferred volume keeps its $MFTMirr: the first cluster of the data of the volume's "$MFTMirr"
// record. 0 when it cannot be told.
std::uint32_t FindMirrorStart(const FoundVolumeRec& volume)
{
    for (const NtfsFileNode* file = ntfsFileNodes.head; file; file = file->next) {
        if (file->parentNumber != kNtfsRootRecord || !WithinVolume(volume, file->recordSector) ||
            !SameText(file->name, u"$MFTMirr"))
            continue;
        std::uint8_t record[kMftRecordSize];
        std::uint32_t dataOffset = 0;
        if (!ReadRecordAt(file->recordSector, record) || FindUnnamedData(record, &dataOffset) != 2)
            continue;
        NtfsAttributeWalk walk(record);
        NtfsAttribute attribute;
        std::uint32_t runList = 0;
        while (walk.Next(attribute)) {
            if (attribute.offset != dataOffset)
                continue;
            NtfsRun run;
            if (!NonResidentRunList(record, attribute, runList) ||
                NtfsRunReader(record, runList, attribute.offset + attribute.length).Next(run) !=
                    NtfsRunStep::Run ||
                run.sparse)
                break;
            const std::uint64_t sector =
                volume.clusterBase + std::uint64_t{run.startCluster} * volume.sectorsPerCluster;
            return sector > kLastSector ? 0 : static_cast<std::uint32_t>(sector);
        }
    }
    return 0;
}

struct NameAndParent
{
    std::u16string name;
    std::uint32_t parentNumber;
    bool operator==(const NameAndParent&) const = default;
};

struct NameAndParentHash
{
    std::size_t operator()(const NameAndParent& key) const
    {
        return std::hash<std::u16string>()(key.name) ^ (std::hash<std::uint32_t>()(key.parentNumber) << 1);
    }
};

// The sector scan reads each volume's first records twice: in the MFT and in its mirror. The copies in
// the mirror are dropped where the MFT's own record of the same name and parent was found too, so that
// every file is listed once; a mirror the boot sector misplaces costs nothing.
void DropMirrorCopies()
{
    std::unordered_map<NameAndParent, std::vector<std::uint32_t>, NameAndParentHash> sectorsByName;
    std::unordered_set<const NtfsFileNode*> copies;
    for (const FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next) {
        if (volume->fsCode != kFsNtfs)
            continue;
        const std::uint32_t mirror =
            volume->mftMirrStart != 0 ? volume->mftMirrStart : FindMirrorStart(*volume);
        if (mirror == 0 || mirror == volume->mftStart)
            continue;
        const std::uint64_t mirrorEnd = std::uint64_t{mirror} + kMirroredSectors;
        if (sectorsByName.empty())
            for (const NtfsFileNode* file = ntfsFileNodes.head; file; file = file->next)
                sectorsByName[{file->name, file->parentNumber}].push_back(file->recordSector);
        for (const NtfsFileNode* file = ntfsFileNodes.head; file; file = file->next) {
            if (file->recordSector < mirror || file->recordSector >= mirrorEnd ||
                !WithinVolume(*volume, file->recordSector))
                continue;
            for (const std::uint32_t sector : sectorsByName[{file->name, file->parentNumber}]) {
                if ((sector < mirror || sector >= mirrorEnd) && WithinVolume(*volume, sector)) {
                    copies.insert(file);
                    break;
                }
            }
        }
    }
    if (copies.empty())
        return;
    NtfsFileNode* previous = nullptr;
    for (NtfsFileNode* file = ntfsFileNodes.head; file;) {
        NtfsFileNode* next = file->next;
        if (copies.count(file) != 0) {
            if (previous)
                previous->next = next;
            else
                ntfsFileNodes.head = next;
            if (ntfsFileNodes.tail == file)
                ntfsFileNodes.tail = previous;
            std::free(file->name);
            std::free(file);
            --ntfsFileNodeCount;
        } else {
            previous = file;
        }
        file = next;
    }
}

void ShowStopButton(bool show)
{
    UiPartitionStep().EnableButton(PartitionStepButton::Stop, show);
    UiPartitionStep().ShowButton(PartitionStepButton::Stop, show);
}

} // namespace

void FinishExtensiveNtfs()
{
    AssignMftNumbers();
    DeleteUnusedIndexNodes();
    placedCandidates = 0;
    ScanThreadControl.done = 0;
    try {
        VolumeAnalysis analysis;
        const TreeItemValue root = analysis.AddBootVolumes();
        ShowStopButton(true);
        analysis.InferVolumes(root);
        ShowStopButton(false);
        InheritVolumes();
        DropMirrorCopies();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
    // Last: the partition step's timer leaves the step once both flags are set and the worker is done.
    bootVolumesDone = 1;
    inferenceDone = 1;
}

void AddNtfsBootVolumes()
{
    try {
        VolumeAnalysis analysis;
        analysis.AddBootVolumes();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
    bootVolumesDone = 1;
}

void InferNtfsVolumes()
{
    try {
        VolumeAnalysis analysis;
        analysis.InferVolumes(UiPartitionTree().GetRootItem());
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
    inferenceDone = 1;
}
