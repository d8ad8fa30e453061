#include "engine/recovery/fat/fat_fs_steps.h"
#include "engine/image/byte_order.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/parent_loops.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/core/step_progress.h"
#include "engine/recovery/fat/fat_chain.h"
#include "engine/recovery/fat/fat_dir_parse.h"
#include "engine/recovery/fat/fat_records.h"

namespace {

constexpr char16_t kStep1Text[] = u"Extracting entries for the selected file system ( Step 1/5 )...";
constexpr char16_t kStep2Text[] = u"Searching for orphan entries ( Step 2/5 )...";
constexpr char16_t kStep3Text[] = u"Searching for lost FAT fragments ( Step 1/5 )...";
constexpr char16_t kStep4Text[] = u"Step 4 / 5...";
constexpr char16_t kStep5Text[] = u"Please wait creating tree ( Step 5/5 )...";
constexpr char16_t kRootText[] = u"Root";

// How far before the data area the FAT copies are looked for: FAT16 copies are small, FAT32 copies of
// large volumes are not.
constexpr std::uint32_t kFat16FatSearchSpan = 550;
constexpr std::uint32_t kFat32FatSearchSpan = 30000;
constexpr std::uint32_t kFirstSearchedSector = 63;
constexpr std::uint32_t kSectorsPerSearchRead = 100;
// The root directory of a FAT16 volume as format tools make it: 512 entries, 32 sectors, directly
// before cluster 2; read when the volume's own root-directory size is unknown.
constexpr std::uint32_t kDefaultFat16RootSectors = 32;
// Directory clusters are read in chunks of at most this many sectors.
constexpr std::uint32_t kMaxChunkSectors = 8;
constexpr std::uint64_t kSectorNumberLimit = 0x100000000ull;

bool StopRequested()
{
    return ScanThreadControl.done.load() != 0;
}

std::u16string ClusterFolderName(std::uint32_t cluster)
{
    return kClusterFolderPrefix + DecimalText(cluster);
}

bool IsFat32()
{
    return VolumeParams.fsCode == kFsFat32;
}

// "." then ".." at the start of a folder's first sector.
bool BeginsWithDotEntries(const std::uint8_t* bytes)
{
    return bytes[0] == '.' && bytes[1] == ' ' && bytes[kDirEntrySize] == '.' &&
           bytes[kDirEntrySize + 1] == '.';
}

// The first sector of a cluster, or false when it lies beyond the 32-bit sector numbers.
bool ClusterSector(std::uint32_t cluster, std::uint32_t offset, std::uint32_t& sector)
{
    const std::uint64_t value = static_cast<std::uint64_t>(VolumeParams.sectorsPerCluster) * cluster +
                                VolumeParams.clusterBase + offset;
    if (value >= kSectorNumberLimit)
        return false;
    sector = static_cast<std::uint32_t>(value);
    return true;
}

std::uint32_t ChunkSectors()
{
    return std::clamp<std::uint32_t>(VolumeParams.sectorsPerCluster, 1, kMaxChunkSectors);
}

// The parser sees one chunk at a time, so a long name whose entries begin in the directory's previous
// sector (the end of the previous chunk, or of the previous cluster of the chain) reaches it cut short:
// the record then carries the short name or the name's last part. Only the first short entry of a
// sector can be such a name; it is completed here from both sectors. `lastFileBefore` is the last file
// record from before the chunk was parsed (null when there was none).
class StraddlingNames
{
public:
    StraddlingNames()
    {
        for (FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
            foldersByCluster.try_emplace(folder->firstCluster, folder);
    }

    void Complete(const std::uint8_t* sector, const std::uint8_t* previous, std::uint32_t parentCluster,
                  FatFileRec* lastFileBefore)
    {
        if (previous[kSectorSize - kDirEntrySize + kDirEntryAttributes] != kAttrLongName)
            return;
        std::uint32_t index = 0;
        while (index < kDirEntriesPerSector &&
               sector[index * kDirEntrySize + kDirEntryAttributes] == kAttrLongName)
            ++index;
        if (index == kDirEntriesPerSector)
            return;
        const std::uint32_t offset = index * kDirEntrySize;
        const std::uint8_t* entry = sector + offset;
        if (entry[0] == kDirEndMark)
            return;
        char16_t whole[kLongNameBufferSize];
        char16_t cut[kLongNameBufferSize];
        if (GetLongName(sector, whole, offset, previous))
            return;
        if (!GetLongName(sector, cut, offset, nullptr) &&
            std::u16string_view(whole) == std::u16string_view(cut))
            return;
        if (IsValidFileName(whole) == 0)
            return;
        std::uint32_t cluster = ReadLittleEndian16(entry, kDirEntryClusterLow);
        if (IsFat32())
            cluster = MaskCluster(
                static_cast<std::uint32_t>(ReadLittleEndian16(entry, kDirEntryClusterHigh)) << 16 | cluster);
        const bool folderEntry = (entry[kDirEntryAttributes] & kAttrFolder) != 0 &&
                                 ReadLittleEndian32(entry, kDirEntryFileSize) == 0;
        if (folderEntry) {
            const auto found = foldersByCluster.find(cluster);
            if (found != foldersByCluster.end() && found->second->parentCluster == parentCluster)
                Rename(found->second->name, whole);
            return;
        }
        FatFileRec* added = lastFileBefore ? lastFileBefore->next : fatFiles.head;
        if (added && added->firstCluster == cluster && added->parentCluster == parentCluster)
            Rename(added->name, whole);
    }

private:
    static void Rename(char16_t*& name, const char16_t* text)
    {
        char16_t* copy = CopyText(text);
        std::free(name);
        name = copy;
    }

    std::unordered_map<std::uint32_t, FatFolderRec*> foldersByCluster;
};

// Parses `count` sectors from `sector` with ParseFolderSectors and completes a name that began in the
// sector before them; keeps the last sector read as the next call's previous one.
class DirectoryReader
{
public:
    DirectoryReader(std::uint8_t* buffer, StraddlingNames& names) : buffer(buffer), names(names) {}

    void Parse(std::uint32_t parentCluster, bool* directoryEnd, std::uint32_t sector, std::uint32_t count,
               std::uint32_t deleted, std::uint16_t firstEntry)
    {
        FatFileRec* lastFileBefore = fatFiles.head ? fatFiles.tail : nullptr;
        ParseFolderSectors(buffer, parentCluster, directoryEnd, sector, count, deleted, firstEntry);
        if (havePrevious)
            names.Complete(buffer, previous, parentCluster, lastFileBefore);
        std::memcpy(previous, buffer + static_cast<std::size_t>(count - 1) * kSectorSize, kSectorSize);
        havePrevious = true;
    }

private:
    std::uint8_t* buffer;
    StraddlingNames& names;
    std::uint8_t previous[kSectorSize] = {};
    bool havePrevious = false;
};

// Parses the clusters of clusterChain, chunk by chunk, until the directory ends or a stop; the first
// chunk from entry `firstEntry`.
void ParseChainClusters(std::uint8_t* buffer, StraddlingNames& names, std::uint32_t parentCluster,
                        std::uint32_t deleted, std::uint16_t firstEntry)
{
    const std::uint32_t chunk = ChunkSectors();
    // The chain is copied: the parser must not see clusterChain change under its feet.
    std::vector<std::uint32_t> clusters;
    for (ClusterNode* node = clusterChain.head; node; node = node->next)
        clusters.push_back(node->cluster);
    DirectoryReader reader(buffer, names);
    bool directoryEnd = false;
    bool first = true;
    for (std::uint32_t cluster : clusters) {
        for (std::uint32_t offset = 0; offset < VolumeParams.sectorsPerCluster; offset += chunk) {
            if (directoryEnd || StopRequested())
                return;
            std::uint32_t sector = 0;
            if (!ClusterSector(cluster, offset, sector))
                return;
            const std::uint32_t count = std::min(chunk, VolumeParams.sectorsPerCluster - offset);
            reader.Parse(parentCluster, &directoryEnd, sector, count, deleted, first ? firstEntry : 0);
            first = false;
        }
    }
}

void ParseRootDirectory(std::uint8_t* buffer, StraddlingNames& names)
{
    if (IsFat32()) {
        CollectFatChainShort(VolumeParams.rootStart != 0 ? VolumeParams.rootStart : 2);
        ParseChainClusters(buffer, names, 0, 0, 0);
        return;
    }
    if (VolumeParams.rootStart == 0)
        return;
    // The boot sector's own root size when it is known; the usual 32 sectors otherwise.
    const std::uint32_t rootSectors =
        VolumeParams.rootDirSectors != 0 ? VolumeParams.rootDirSectors : kDefaultFat16RootSectors;
    DirectoryReader reader(buffer, names);
    bool directoryEnd = false;
    for (std::uint32_t offset = 0; offset < rootSectors && !directoryEnd && !StopRequested();
         offset += kMaxChunkSectors) {
        const std::uint64_t sector = static_cast<std::uint64_t>(VolumeParams.rootStart) + offset;
        if (sector >= kSectorNumberLimit)
            return;
        reader.Parse(0, &directoryEnd, static_cast<std::uint32_t>(sector),
                     std::min(kMaxChunkSectors, rootSectors - offset), 0, 0);
    }
}

void ParseFolder(std::uint8_t* buffer, StraddlingNames& names, const FatFolderRec& folder)
{
    std::uint32_t sector = 0;
    if (folder.firstCluster < 2 || folder.firstCluster >= kLostDirValue ||
        !ClusterSector(folder.firstCluster, 0, sector))
        return;
    // A folder that is not a directory on this volume (a "Dir" made for a missing parent, or a cluster
    // that was overwritten since) is left alone.
    ReadSectors(0, sector, 0, 1, buffer);
    if (!BeginsWithDotEntries(buffer))
        return;
    CollectFatChainShort(folder.firstCluster);
    ParseChainClusters(buffer, names, folder.firstCluster, folder.deleted, 2);
}

// Looks like the first sector of a FAT16 root directory: a used, deleted, long-name or label entry first,
// and not the "." of a subfolder.
bool LooksLikeRootDirectory(const std::uint8_t* bytes)
{
    const std::uint8_t first = bytes[0];
    const std::uint8_t attributes = bytes[kDirEntryAttributes];
    if (first == kDirEndMark || first == '.' || (first < 0x20 && first != 0x05))
        return false;
    return attributes == kAttrLongName || (attributes & 0xC0) == 0;
}

void FindFat16RootWithoutFats()
{
    const std::uint64_t clusterTwo =
        static_cast<std::uint64_t>(VolumeParams.clusterBase) + 2ull * VolumeParams.sectorsPerCluster;
    if (clusterTwo <= kDefaultFat16RootSectors || clusterTwo >= kSectorNumberLimit)
        return;
    const auto rootStart = static_cast<std::uint32_t>(clusterTwo - kDefaultFat16RootSectors);
    std::uint8_t bytes[kSectorSize];
    ReadSectors(0, rootStart, 0, 1, bytes);
    if (!LooksLikeRootDirectory(bytes))
        return;
    VolumeParams.rootStart = rootStart;
    VolumeParams.rootDirSectors = kDefaultFat16RootSectors;
}

} // namespace

void AddOrphanFolders()
{
    StepProgress progress;
    UiFileSystemStep().SetStatusText(kStep2Text);
    progress.Start();
    AddFatFolderRec(kLostDirText, kLostDirValue, 0, 0, 0, 0, 0);

    // First clusters of the listed folders, so that each parent is looked up once.
    std::unordered_set<std::uint32_t> listed;
    for (FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
        listed.insert(folder->firstCluster);
    std::uint64_t visited = 0;
    // Folders appended here are visited too: they stand under "Lost Dir", which is listed. The step
    // works in memory and runs to its end also after a stop, so that the tree built from a stopped scan
    // still reaches every folder.
    for (FatFolderRec* folder = fatFolders.head; folder; folder = folder->next) {
        progress.Show(++visited, folderCount);
        const std::uint32_t parent = folder->parentCluster;
        if (parent == 0 || listed.count(parent) != 0)
            continue;
        AddFatFolderRec(ClusterFolderName(parent).c_str(), parent, kLostDirValue, 0, 0, 0, 0);
        listed.insert(parent);
    }

    // The root's folders name parent cluster 0.
    CutParentLoops(fatFolders.head, &FatFolderRec::firstCluster, &FatFolderRec::parentCluster, 0);
}

void FindFatCopies()
{
    StepProgress progress;
    UiFileSystemStep().SetStatusText(kStep3Text);
    progress.Start();
    const std::uint32_t base = VolumeParams.clusterBase;
    std::uint32_t start = kFirstSearchedSector;
    if (VolumeParams.fsCode == kFsFat16) {
        if (base > kFat16FatSearchSpan)
            start = base - kFat16FatSearchSpan;
    } else if (VolumeParams.fsCode == kFsFat32) {
        if (base > kFat32FatSearchSpan)
            start = base - kFat32FatSearchSpan;
    } else {
        return;
    }

    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kSectorsPerSearchRead) * kSectorSize);
    for (std::uint32_t sector = start; sector < base && !StopRequested();) {
        const std::uint32_t count = std::min(kSectorsPerSearchRead, base - sector);
        ReadSectors(0, sector, 0, count, buffer.data());
        for (std::uint32_t index = 0; index < count; ++index, ++sector) {
            const std::uint8_t* bytes = buffer.data() + static_cast<std::size_t>(index) * kSectorSize;
            if (bytes[0] != 0xF8 || bytes[1] != 0xFF || bytes[2] != 0xFF)
                continue;
            if (VolumeParams.fat1Start == 0) {
                VolumeParams.fat1Start = sector;
                continue;
            }
            VolumeParams.fat2Start = sector;
            break;
        }
        if (VolumeParams.fat2Start != 0)
            break;
        progress.Show(sector, base);
    }

    if (VolumeParams.fat1Start != 0 && VolumeParams.fat2Start != 0) {
        VolumeParams.fatSize = VolumeParams.fat2Start - VolumeParams.fat1Start;
        // The root directory of FAT16 follows the second copy.
        if (VolumeParams.fsCode == kFsFat16)
            VolumeParams.rootStart = VolumeParams.fat2Start + VolumeParams.fatSize;
    } else if (VolumeParams.fsCode == kFsFat16 && VolumeParams.rootStart == 0) {
        FindFat16RootWithoutFats();
    }
}

void ParseFatFolders()
{
    StepProgress progress;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kMaxChunkSectors) * kSectorSize);
    StraddlingNames names;
    ParseRootDirectory(buffer.data(), names);
    std::uint64_t done = 0;
    for (FatFolderRec* folder = fatFolders.head; folder && !StopRequested(); folder = folder->next) {
        ParseFolder(buffer.data(), names, *folder);
        progress.Show(++done, folderCount);
    }
}

void ScanFatSteps()
{
    StepProgress progress;
    progress.Start();
    UiFileSystemStep().SetStatusText(kStep1Text);
    FreeScanLists();
    const std::uint16_t volume = VolumeParams.volumeNumber;
    for (FatDirCandidate* candidate = fatDirCandidates.head; candidate && !StopRequested();
         candidate = candidate->next) {
        if (candidate->volumeNumber != volume || candidate->firstCluster < 2 ||
            candidate->parentCluster == candidate->firstCluster)
            continue;
        AddFatFolderRec(ClusterFolderName(candidate->firstCluster).c_str(), candidate->firstCluster,
                        candidate->parentCluster, candidate->writeDate, candidate->accessDate, 0, 0);
        progress.Show(folderCount, foundFolderCount);
    }

    // After a stop the searching steps end at once and the tree shows what was found so far.
    AddOrphanFolders();
    if (VolumeParams.fat1Start == 0 && !StopRequested())
        FindFatCopies();
    if (!StopRequested()) {
        UiFileSystemStep().SetStatusText(kStep4Text);
        ParseFatFolders();
    }

    const TreeItemValue root = UiRecoveryTree().InsertFolderItem(kRootText, kTreeTop);
    UiFileSystemStep().SetStatusText(kStep5Text);
    ScanThreadControl.done = 0;
    UiFileSystemStep().HideScanButton();
    TreeInsertedCount = 0;
    UiRecoveryTree().AddFatFolderItems(root, 0);
    UiRecoveryTree().Expand(root);
    UiRecoveryTree().SetCheckRecursive(root, 1);
    UiResultList().SwitchToReportView();
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
}
