#pragma once

#include <functional>

#include "engine/recovery/core/engine_ui.h"

// The Quick Scan of the selected partition range, as the partition step's worker runs it: opens a
// logical volume when that is the source, finds the partition's parameters (boot sector, else the
// directory search), and reads the live file system into the found lists and the recovered-items tree.
// Reports through the engine's user-interface parts. The starter arms ScanThreadControl (ArmScanWorker)
// and a stop asked for before the first step holds; the scan ends with running 0 and done 1.
//
// The range is first cut to the disk's end (ClipScanRangeToSource).
//
// Returns 1 when the file system was read; 0 when a stop was requested, or when the volume could not be
// opened, the range starts past the disk's end or no parameters were found (then the user is told,
// PartitionParamsMissing is set and the step's buttons come back).
int QuickScanPartition();

// The end of a Quick Scan that found no partition parameters: the message, PartitionParamsMissing, and
// the partition step back in its choosing state. Returns 0.
int ReportPartitionParamsMissing();

// The steps a partition scan takes once its volume is open: the range cut to the disk's end
// (ClipScanRangeToSource), then the partition's parameters read from the boot sector, else found by the
// directory search. True when the scan goes on; false when a stop was requested, or when the range starts
// past the disk's end or no parameters were found (then as ReportPartitionParamsMissing says).
bool FindScanPartitionParams();

// The end of a scan that lists what it found: the partition step's buttons held (Stop hidden), the
// recovered-items tree started with a "Root" item that `fillRoot` fills, the status text shown meanwhile,
// the root expanded and made the results view's current folder, and its rows listed by `listRoot`; the
// scan's flags then say it has ended (done 1, running 0).
void BuildScanResultTree(const char16_t* statusText,
                         const std::function<void(RecoveryTreeUi&, TreeItemValue)>& fillRoot,
                         const std::function<void()>& listRoot);
