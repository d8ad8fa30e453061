// Benchmark of saving (prints figures; not a test): the Quick Scan of an NTFS volume file, then every
// folder and every file of the root saved into a target folder as the results view saves them.
// save_benchmark.sh makes a volume of 100,000 small files and prints tsk_recover -e's time beside.
//
//   recovery_save_benchmark VOLUME TARGET
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_boot_params.h"
#include "engine/recovery/ntfs/quick_ntfs_scan.h"
#include "engine/recovery/save/save_files.h"
#include "ntfs_test_volume.h"
#include "ui_recorder.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: recovery_save_benchmark VOLUME TARGET\n", stderr);
        return 2;
    }
    ResetEngineState();
    UiRecorder recorder;
    recorder.Attach();
    if (!AttachVolumeFile(argv[1])) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::uint8_t boot[512] = {};
    ReadSectors(0, 0, 0, 1, boot);
    std::uint64_t sectors = 0;
    for (int i = 0; i < 8; ++i)
        sectors |= static_cast<std::uint64_t>(boot[40 + i]) << (8 * i);
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.scanFsCode = kFsNtfs;
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.rangeStart = 0;
    VolumeParams.rangeCount = static_cast<std::uint32_t>(sectors + 1);
    VolumeParams.rangeEnd = static_cast<std::uint32_t>(sectors);
    if (ReadNtfsPartitionParams() != 1) {
        std::fputs("no NTFS parameters\n", stderr);
        return 1;
    }
    auto began = Clock::now();
    const std::uint32_t records = BuildQuickNtfsTree();
    const double scanSeconds = Seconds(began);

    for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
        if (node->treeItem != 0)
            recorder.markedTreeItems.push_back(node->treeItem);
    for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
        if (node->parentNumber == kNtfsRootFolder)
            recorder.markedEntryIds.push_back(node->dataRecordSector);
    const std::string target = argv[2];
    recorder.targetFolder = WidePath(target);
    began = Clock::now();
    const SaveOutcomeBlock outcome = SaveSelection();
    const double saveSeconds = Seconds(began);

    std::printf("Quick Scan\t%.2f s\t%u records\n", scanSeconds, records);
    std::printf("save\t%.2f s\t%u saved, %u failed, %u skipped\n", saveSeconds, outcome.saved, outcome.failed,
                outcome.skipped);
    ResetEngineState();
    return outcome.failed == 0 ? 0 : 1;
}
