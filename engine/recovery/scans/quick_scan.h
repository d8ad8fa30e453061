#pragma once

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
