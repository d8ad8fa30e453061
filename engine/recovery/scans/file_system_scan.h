#pragma once

// The file-system step's worker: parses the volume that the user picked from the Extensive Scan's
// results (VolumeParams, see found_volume_list.h) and lists its root folder into the result list.
// The starter arms the flags (ArmScanWorker); a stop already asked for ends the steps at once with
// an empty tree. The file system's steps end with done 1 and running 0. The range is cut to the disk's
// end first (ClipScanRangeToSource); a volume past it lists nothing.

#include <cstdint>

// The worker's work (FileSystemScanThread); returns the thread's exit code, 0.
std::uint32_t FileSystemScanThread();
