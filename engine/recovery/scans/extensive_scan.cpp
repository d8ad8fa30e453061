#include "engine/recovery/scans/extensive_scan.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/fat_volume_inference.h"
#include "engine/recovery/fat/scan_sectors_fat.h"
#include "engine/recovery/ntfs/ntfs_volume_analysis.h"
#include "engine/recovery/ntfs/scan_sectors_ntfs.h"
#include "engine/recovery/save/save_file_common.h"
#include "engine/recovery/scans/quick_scan.h"

namespace {

constexpr std::uint32_t kMaxSectorsPerRead = 100;
// Sectors fetched from the source at once, about 1 MiB: each fetch costs the source lock and the image
// reader's seek, which a fetch per read of 100 sectors made the larger part of the scan's time.
constexpr std::uint32_t kSectorsPerFetch = 2048;
// The progress and the status text follow every 88th read, so that a fast disk does not flood the panel.
constexpr std::uint32_t kReadsPerProgressStep = 88;
constexpr std::uint64_t kSectorNumberLimit = 0x100000000ull;

bool StopRequested()
{
    return ScanThreadControl.done.load() != 0;
}

std::uint32_t SectorsPerRead()
{
    return std::clamp<std::uint32_t>(RecoverySettings.sectorsPerRead, 1, kMaxSectorsPerRead);
}

void EndScanFlags()
{
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
}

} // namespace

std::uint32_t ExtensiveRangeSectorCount()
{
    const std::uint64_t start = VolumeParams.rangeStart;
    std::uint64_t count = VolumeParams.rangeCount;
    // The range is inclusive: its last sector is read too, also when the count was taken as end - start.
    if (VolumeParams.rangeEnd >= start && VolumeParams.rangeEnd != 0)
        count = std::max<std::uint64_t>(count, VolumeParams.rangeEnd - start + 1);
    return static_cast<std::uint32_t>(std::min(count, kSectorNumberLimit - start));
}

bool ReadExtensiveRange(ExtensiveSectorVisitor& visitor)
{
    const std::uint32_t start = VolumeParams.rangeStart;
    const std::uint32_t count = ExtensiveRangeSectorCount();
    const std::uint32_t perRead = SectorsPerRead();
    // A whole number of reads per fetch, so that no read is split between two fetches.
    const std::uint32_t perFetch = kSectorsPerFetch / perRead * perRead;
    // One byte more than the largest fetch, cleared, as the scans have always had it.
    const std::size_t bufferBytes = std::size_t{kSectorsPerFetch} * kSectorSize + 1;
    auto* buffer = static_cast<std::uint8_t*>(EngineAlloc(bufferBytes));
    std::memset(buffer, 0, bufferBytes);

    bool completed = true;
    std::uint32_t readNumber = 0;
    std::uint64_t fetchStart = 0;
    std::uint64_t fetchEnd = 0;
    bool fetchWhole = false;
    for (std::uint64_t offset = 0; offset < count && !StopRequested() && completed;
         offset += perRead, ++readNumber) {
        const auto at = static_cast<std::uint32_t>(offset);
        if (readNumber % kReadsPerProgressStep == 0) {
            UiScanPanel().SetProgressPos(ProgressPercent(offset, count));
            if (ScanDetailsShown.load() != 0)
                UiScanPanel().SetStatusText(
                    (u"Reading Sector " + DecimalText(offset) + u" Of " + DecimalText(count)).c_str());
        }
        visitor.BeforeRead(at);
        const auto sectors = static_cast<std::uint32_t>(std::min<std::uint64_t>(perRead, count - offset));
        if (offset >= fetchEnd) {
            fetchStart = offset;
            fetchEnd = offset + std::min<std::uint64_t>(perFetch, count - offset);
            // A fetch that fails is read again sector by sector, as the saver does: a bad sector costs
            // only itself, and each sector that cannot be read is inspected as zeros (ReadSectors' rule),
            // never as the bytes of an earlier fetch.
            fetchWhole = ReadSourceSectors(start + fetchStart,
                                           static_cast<std::uint32_t>(fetchEnd - fetchStart), buffer);
        }
        const std::uint32_t first = start + at;
        const std::uint8_t* read = buffer + static_cast<std::size_t>(offset - fetchStart) * kSectorSize;
        for (std::uint32_t index = 0; index < sectors; ++index) {
            if (StopRequested())
                break;
            // After a fetch with sectors that could not be read only the sector itself is given: a
            // record that starts here is then read again, and fails as it always has.
            const auto held = fetchWhole ? static_cast<std::uint32_t>(fetchEnd - offset - index) : 1;
            if (!visitor.InspectSector(first + index, read + static_cast<std::size_t>(index) * kSectorSize,
                                       held)) {
                completed = false;
                break;
            }
        }
        if (completed && !StopRequested())
            visitor.AfterRead(at);
    }
    std::free(buffer);
    return completed;
}

void PrepareExtensiveScan()
{
    ArmScanWorker();
    FreePartitionLists();
    placedCandidates = 0;
    bootVolumesDone = 0;
    inferenceDone = 0;
}

std::uint32_t ExtensiveScanThread()
{
    // The file-system step that follows keeps what this scan met: it parses the sectors this scan read.
    ForgetReadsPastImageEnd();
    // A range past the disk's end is not scanned; as after a Quick Scan without parameters, the step is
    // given back to the user and its timer never takes the scan as finished.
    if (!ClipScanRangeToSource())
        return static_cast<std::uint32_t>(ReportPartitionParamsMissing());
    switch (VolumeParams.scanFsCode) {
    case kFsFat16:
    case kFsFat32:
        ScanSectorsFat();
        break;
    case kFsNtfs:
        // The scan flags are left to the completion step.
        ScanSectorsNtfs();
        break;
    default:
        EndScanFlags();
        break;
    }
    FinishExtensiveScan();
    return 0;
}

void FinishExtensiveScan()
{
    switch (VolumeParams.scanFsCode) {
    case kFsFat16:
    case kFsFat32:
        AnalyzeFatBootVolumes();
        return;
    case kFsNtfs:
        // Inserts the root item itself and sets both completion flags.
        FinishExtensiveNtfs();
        return;
    default:
        break;
    }
    // The file-system step then shows its root item alone, which tells the user that no file system
    // was identified in the range.
    UiPartitionTree().InsertItemWithIcon(kFileSystemRootText, kTreeTop);
    EndScanFlags();
    bootVolumesDone = 1;
    inferenceDone = 1;
}
