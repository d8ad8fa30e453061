// Benchmark of the Extensive Scan's FAT analysis on a hundred thousand folders (prints figures; not a
// test). Without arguments: the volume inference and the first two file-system steps on synthetic
// directory candidates. With --disk: the same folders written to a crafted FAT32 volume in a temporary
// file and taken through the sector scan, the inference and all five file-system steps.
//
//   recovery_extensive_fat_benchmark [--disk] [FOLDERS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/fat/fat_fs_steps.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/fat/fat_volume_inference.h"
#include "engine/recovery/fat/scan_sectors_fat.h"
#include "engine/recovery/scans/extensive_scan.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBase = 40000;
constexpr std::uint32_t kChildrenPerFolder = 14; // what one 512-byte cluster holds beside "." and ".."

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Folder i has cluster 3 + i; folder 0 stands in the root, folder i > 0 in folder (i - 1) / 14.
std::uint32_t ClusterOf(std::uint32_t folder)
{
    return 3 + folder;
}
std::uint32_t ParentOf(std::uint32_t folder)
{
    return folder == 0 ? 0 : ClusterOf((folder - 1) / kChildrenPerFolder);
}

void RunSynthetic(std::uint32_t folders)
{
    struct Case
    {
        const char* name;
        bool partners; // false: no two candidates agree on a volume, every one searches in vain
    };
    for (const Case& c : {Case{"one volume", true}, Case{"no volume at all", false}}) {
        ResetEngineState();
        VolumeParams.scanFsCode = kFsFat32;
        for (std::uint32_t folder = 0; folder < folders; ++folder) {
            // Without partners: sectors that grow faster than any power-of-two cluster size explains.
            const std::uint32_t sector =
                c.partners ? kBase + ClusterOf(folder) : kBase + ClusterOf(folder) * 131 + folder % 7;
            AddFatDirCandidate(sector, ClusterOf(folder), ParentOf(folder), 0, 0);
            ++foundFolderCount;
        }
        const auto inference = Clock::now();
        AnalyzeFatBootVolumes();
        const double inferenceSeconds = Seconds(inference);
        std::printf("synthetic %s: %u candidates, inference %.3f s, %u volumes\n", c.name, folders,
                    inferenceSeconds, volumeCounter);
        if (!c.partners)
            continue;

        ChooseFoundVolumeNumber(1);
        const auto steps = Clock::now();
        FreeScanLists();
        for (FatDirCandidate* candidate = fatDirCandidates.head; candidate; candidate = candidate->next)
            AddFatFolderRec(u"Dir", candidate->firstCluster, candidate->parentCluster, 0, 0, 0, 0);
        const double stepOneSeconds = Seconds(steps);
        const auto orphans = Clock::now();
        AddOrphanFolders();
        std::printf("synthetic %s: step 1 %.3f s, step 2 (orphan folders) %.3f s, %u folders\n", c.name,
                    stepOneSeconds, Seconds(orphans), folderCount);
    }
}

void Put16(std::vector<std::uint8_t>& disk, std::uint64_t at, std::uint32_t value)
{
    disk[at] = static_cast<std::uint8_t>(value);
    disk[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutEntry(std::vector<std::uint8_t>& disk, std::uint32_t sector, std::uint32_t index,
              const std::string& name, std::uint32_t cluster)
{
    const std::uint64_t at = static_cast<std::uint64_t>(sector) * 512 + index * 32;
    std::memset(&disk[at], ' ', 11);
    std::memcpy(&disk[at], name.data(), std::min<std::size_t>(name.size(), 11));
    disk[at + 11] = 0x10;
    Put16(disk, at + 20, cluster >> 16);
    Put16(disk, at + 26, cluster & 0xFFFF);
}

int RunDisk(std::uint32_t folders)
{
    // One sector per cluster; cluster 2 (the root) at kBase + 2; no boot sector and no FAT.
    const std::uint32_t sectors = kBase + ClusterOf(folders) + 16;
    std::vector<std::uint8_t> disk(static_cast<std::size_t>(sectors) * 512);
    PutEntry(disk, kBase + 2, 0, "F0", ClusterOf(0));
    std::vector<std::uint32_t> childCount(folders, 0);
    for (std::uint32_t folder = 0; folder < folders; ++folder) {
        const std::uint32_t sector = kBase + ClusterOf(folder);
        PutEntry(disk, sector, 0, ".", ClusterOf(folder));
        PutEntry(disk, sector, 1, "..", ParentOf(folder));
        if (folder > 0) {
            const std::uint32_t parent = (folder - 1) / kChildrenPerFolder;
            PutEntry(disk, kBase + ClusterOf(parent), 2 + childCount[parent]++, "F" + std::to_string(folder),
                     ClusterOf(folder));
        }
    }
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "extensive_fat_benchmark.raw";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(disk.data()), static_cast<std::streamsize>(disk.size()));
        if (!out.good()) {
            std::fprintf(stderr, "cannot write %s\n", file.string().c_str());
            return 1;
        }
    }

    ResetEngineState();
    SourceState.sourceKind = kSourceLogicalVolume;
    SourceState.volumeHandle = PlatformOpenForRead(file.u16string().c_str(), ReadShare::ReadAndWrite);
    VolumeParams.scanFsCode = kFsFat32;
    VolumeParams.rangeStart = 0;
    VolumeParams.rangeCount = sectors;
    VolumeParams.rangeEnd = sectors - 1;
    PrepareExtensiveScan();
    const auto scan = Clock::now();
    ScanSectorsFat();
    const double scanSeconds = Seconds(scan);
    const auto inference = Clock::now();
    FinishExtensiveScan();
    std::printf("disk: %u sectors, sector scan %.3f s, inference %.3f s, %u candidates, %u volumes\n",
                sectors, scanSeconds, Seconds(inference), foundFolderCount, volumeCounter);

    ChooseFoundVolumeNumber(1);
    ScanThreadControl.done = 0;
    ScanThreadControl.running = 1;
    const auto steps = Clock::now();
    ScanFatSteps();
    std::printf("disk: file-system steps 1 to 5 %.3f s, %u folders\n", Seconds(steps), folderCount);
    std::size_t named = 0;
    for (FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
        named += folder->name[0] == u'F';
    std::printf("disk: %zu folders named from their parent's directory\n", named);
    ResetEngineState();
    std::filesystem::remove(file);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    bool onDisk = false;
    std::uint32_t folders = 100000;
    for (int index = 1; index < argc; ++index) {
        if (std::strcmp(argv[index], "--disk") == 0)
            onDisk = true;
        else
            folders = static_cast<std::uint32_t>(std::strtoul(argv[index], nullptr, 10));
    }
    if (folders == 0) {
        std::fputs("usage: recovery_extensive_fat_benchmark [--disk] [FOLDERS]\n", stderr);
        return 1;
    }
    if (onDisk)
        return RunDisk(folders);
    RunSynthetic(folders);
    return 0;
}
