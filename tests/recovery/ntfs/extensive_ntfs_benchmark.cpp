// Benchmark of the Extensive Scan of NTFS on a large volume (prints figures; not a test). Writes a
// hand-made volume with FILES files in one folder and FOLDERS further folders (each with an index
// allocation and one file) to a temporary file, then times, with the boot sectors and without them (the
// volume then inferred from pairs of folders): the sector scan, the completion step (numbering, volume
// analysis), the file-system step and the rows of the tree.
//
//   recovery_extensive_ntfs_benchmark [FILES [FOLDERS]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/ntfs/ntfs_fs_steps.h"
#include "engine/recovery/ntfs/scan_sectors_ntfs.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine_probe/extensive_ntfs_rows.h"
#include "extensive_ntfs_crafted.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::u16string Numbered(const char16_t* prefix, std::uint32_t number)
{
    const std::string digits = std::to_string(number);
    return prefix + std::u16string(digits.begin(), digits.end());
}

void Run(const CraftedNtfsVolume& volume, bool bootSectors, std::uint32_t files)
{
    ResetEngineState();
    auto began = Clock::now();
    TempVolume disk("benchmark");
    volume.WriteTo(disk, true, bootSectors);
    if (!disk.Attach()) {
        std::fputs("cannot read the volume file\n", stderr);
        std::exit(2);
    }
    const std::uint32_t sectors = volume.Base() + volume.TotalSectors() + 64;
    std::printf("%s: volume of %u sectors written in %.2f s\n",
                bootSectors ? "with boot sectors" : "without boot sectors", sectors, Seconds(began));

    ScanSelection.scanKind = kScanExtensive;
    VolumeParams.scanFsCode = kFsNtfs;
    VolumeParams.rangeStart = 0;
    VolumeParams.rangeCount = sectors;
    VolumeParams.rangeEnd = sectors - 1;
    PrepareExtensiveScan();
    began = Clock::now();
    ScanSectorsNtfs();
    const double scanSeconds = Seconds(began);
    std::printf("  sector scan: %.2f s (%u folder, %u file and %u index records)\n", scanSeconds,
                foundFolderCount, ntfsFileNodeCount, ntfsIndexNodeCount);
    began = Clock::now();
    FinishExtensiveScan();
    const FoundVolumeRec* found = FoundVolumeByNumber(1);
    std::printf(
        "  completion step (numbering, volumes): %.2f s, %u volume(s), the first at %u with %u sectors per "
        "cluster\n",
        Seconds(began), volumeCounter, found ? found->clusterBase : 0, found ? found->sectorsPerCluster : 0);
    if (!found)
        return;
    ChooseFoundVolumeNumber(1);
    ScanThreadControl.done = 0;
    ScanThreadControl.running = 1;
    began = Clock::now();
    ScanNtfsSteps();
    std::printf("  file-system step: %.2f s, %u entries\n", Seconds(began), folderCount);
    began = Clock::now();
    const std::size_t rows = CollectExtensiveNtfsRows().size();
    std::printf("  rows: %zu in %.2f s (%u files in the large folder)\n", rows, Seconds(began), files);
}

} // namespace

int main(int argc, char** argv)
{
    const std::uint32_t files =
        argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 100000;
    const std::uint32_t folders =
        argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 10000;
    auto began = Clock::now();
    CraftedNtfsVolume volume(2048, 8);
    const std::uint32_t large = volume.AddFolder(u"Large", kCraftedRoot);
    for (std::uint32_t file = 0; file < files; ++file)
        volume.AddFile(Numbered(u"file-", file) + u".txt", large, 16);
    for (std::uint32_t folder = 0; folder < folders; ++folder) {
        const std::uint32_t number = volume.AddFolder(Numbered(u"folder-", folder), kCraftedRoot);
        volume.AddFile(u"inside.txt", number, 16);
    }
    volume.Build();
    std::printf("%u files in one folder, %u further folders: laid out in %.2f s\n", files, folders,
                Seconds(began));
    Run(volume, true, files);
    Run(volume, false, files);
    ResetEngineState();
    return 0;
}
