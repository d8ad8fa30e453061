#include "engine/recovery/scans/file_system_scan.h"

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/fat_fs_steps.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_fs_steps.h"

std::uint32_t FileSystemScanThread()
{
    // The listing asks the shell for icons and type names from this worker thread.
    const PlatformComScope com;
    // The chosen volume's range as far as the disk holds it; one that lies past its end lists nothing.
    const bool inside = ClipScanRangeToSource();
    switch (inside ? VolumeParams.fsCode : 0) {
    case kFsFat16:
    case kFsFat32:
        ScanFatSteps();
        ListFolderFat(kFatRootFolder);
        return 0;
    case kFsNtfs:
        ScanNtfsSteps();
        ListFolderNtfs(kNtfsRootFolder);
        return 0;
    default:
        break;
    }
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
    return 0;
}
