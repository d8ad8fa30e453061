#include "engine/recovery/fat/quick_fat_tree.h"

#include <cstring>
#include <unordered_set>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/fat_chain.h"
#include "engine/recovery/fat/fat_dir_parse.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/scans/quick_scan.h"

namespace {

// FAT allows 65536 entries of 32 bytes in one directory.
constexpr std::uint32_t kMaxDirectorySectors = 65536 * kDirEntrySize / kSectorSize;
// The "." and ".." entries that open every folder but the root.
constexpr std::uint16_t kEntriesAfterDots = 2;

bool StopRequested()
{
    return ScanThreadControl.done != 0;
}

bool BeginsWithDotEntries(const std::uint8_t* sector)
{
    return sector[0] == '.' && sector[1] == ' ' && sector[kDirEntrySize] == '.' &&
           sector[kDirEntrySize + 1] == '.';
}

// Reads directories sector by sector into the parser, handing it the sector read before so that long
// names may straddle sector and cluster boundaries.
class DirectoryReader
{
public:
    DirectoryReader() : clusterBytes(static_cast<std::size_t>(VolumeParams.sectorsPerCluster) * kSectorSize)
    {}

    void ReadRoot()
    {
        if (VolumeParams.fsCode == kFsFat32) {
            ReadChain(VolumeParams.rootStart, 0, 0, false);
            return;
        }
        const std::uint32_t first =
            VolumeParams.rangeStart + VolumeParams.reservedSectors + 2 * VolumeParams.fatSize;
        Begin(0, 0);
        for (std::uint32_t index = 0; index < VolumeParams.rootDirSectors && !ended && !StopRequested();
             ++index) {
            std::uint8_t sector[kSectorSize];
            ReadSectors(0, first + index, 0, 1, sector);
            Parse(sector, 0);
        }
    }

    void ReadFolder(const FatFolderRec& folder)
    {
        ReadChain(folder.firstCluster, folder.firstCluster, folder.deleted, true);
    }

private:
    void Begin(std::uint32_t parent, std::uint32_t deleted)
    {
        parentCluster = parent;
        parentDeleted = deleted;
        havePrevious = false;
        ended = false;
    }

    // Parses one sector and keeps it as the sector before the next one of the same directory.
    void Parse(const std::uint8_t* sector, std::uint16_t firstEntry)
    {
        ParseFatDirSector(sector, parentCluster, &ended, parentDeleted, firstEntry,
                          havePrevious ? previous : nullptr);
        std::memcpy(previous, sector, kSectorSize);
        havePrevious = true;
    }

    bool InRange(std::uint32_t sector) const
    {
        return VolumeParams.rangeCount == 0 || sector - VolumeParams.rangeStart < VolumeParams.rangeCount;
    }

    void ReadChain(std::uint32_t firstCluster, std::uint32_t parent, std::uint32_t deleted, bool needsDots)
    {
        if (clusterBytes == 0)
            return;
        const std::uint32_t spc = VolumeParams.sectorsPerCluster;
        const std::uint32_t maxClusters = kMaxDirectorySectors / spc > 0 ? kMaxDirectorySectors / spc : 1;
        CollectScanFatChain(firstCluster, maxClusters, 1);
        clusters.clear();
        for (ClusterNode* node = clusterChain.head; node; node = node->next)
            clusters.push_back(node->cluster);

        Begin(parent, deleted);
        bool first = true;
        buffer.resize(clusterBytes);
        for (std::uint32_t cluster : clusters) {
            if (ended || StopRequested())
                return;
            // Wrapping at 32 bits as the volume's sector numbers do.
            const std::uint32_t sector = VolumeParams.clusterBase + cluster * spc;
            if (!InRange(sector) || !InRange(sector + spc - 1) || !directoryClusters.insert(cluster).second)
                return;
            ReadSectors(0, sector, 0, spc, buffer.data());
            for (std::uint32_t index = 0; index < spc && !ended && !StopRequested(); ++index) {
                const std::uint8_t* bytes = buffer.data() + static_cast<std::size_t>(index) * kSectorSize;
                if (first && needsDots && !BeginsWithDotEntries(bytes))
                    return;
                Parse(bytes, first && needsDots ? kEntriesAfterDots : 0);
                first = false;
            }
        }
    }

    std::size_t clusterBytes;
    std::vector<std::uint8_t> buffer;
    std::vector<std::uint32_t> clusters;
    // Every cluster read as a directory in this scan: a cluster is never read twice, whatever the
    // chains and the entries claim.
    std::unordered_set<std::uint32_t> directoryClusters;
    std::uint8_t previous[kSectorSize];
    bool havePrevious = false;
    bool ended = false;
    std::uint32_t parentCluster = 0;
    std::uint32_t parentDeleted = 0;
};

} // namespace

void BuildQuickFatTree()
{
    FreeScanLists();
    DirectoryReader reader;
    reader.ReadRoot();
    // Folders are appended while the walk goes on; each is visited in turn.
    for (FatFolderRec* folder = fatFolders.head; folder && !StopRequested(); folder = folder->next)
        reader.ReadFolder(*folder);
    BuildScanResultTree(
        u"Please wait creating tree...",
        [](RecoveryTreeUi& tree, TreeItemValue root) {
            tree.AddFatFolderItems(root, 0);
            tree.SetCheckRecursive(root, 1);
        },
        [] { ListFolderFat(kFatRootFolder); });
}
