#pragma once

// The one entry through which the engine, its workers and the views read 512-byte sectors of the
// selected source by 64-bit sector number: a logical volume (source kind 2), or for every other kind the
// disk image through the reader that ScanSelection.imageKind names. Every read positions and reads under one
// lock, so two threads can never interleave a seek with another thread's read.

#include <cstdint>

#include "engine/recovery/platform/platform_io.h"

// "\\.\PhysicalDrive0" to "\\.\PhysicalDrive9", indexed by SourceState.deviceIndex.
extern const char DeviceNameTable[10][20];

// Reads `count` sectors starting at sector (high << 32 | low) into `buffer`, which holds count x 512
// bytes. 1 when every byte was read; 0 otherwise, and then every byte the source did not deliver is
// zero, so no caller mistakes an earlier buffer's bytes for data. The first argument is not used.
int ReadSectors(std::uint32_t device, std::uint32_t sectorLow, std::uint32_t sectorHigh, std::uint32_t count,
                void* buffer);

// Whether the calling thread's last ReadSectors failed because the disk image's file ends before data
// the image maps (the file was cut short), rather than on an error of the system.
bool LastReadStoppedAtImageEnd();

// Whether any read of any thread since ForgetReadsPastImageEnd failed that way: a scan clears it at its
// start, and its step tells the user at its end that the image file is cut short.
void ForgetReadsPastImageEnd();
bool AnyReadStoppedAtImageEnd();

// Reads from SourceState.volumeHandle whatever the source kind; same result and zero rule.
int ReadVolumeSectors(std::uint32_t sectorLow, std::uint32_t sectorHigh, std::uint32_t count, void* buffer);

// Sectors the selected source holds: the disk image's virtual size, or the logical volume's size as its
// handle reports it; 0 when that is not known (no reader or volume open, or a device that does not say).
std::uint64_t SourceSectorCount();

// Cuts VolumeParams' range (rangeStart, rangeCount, rangeEnd) to the source's sectors when their number
// is known, so that no scan reads past the disk's end (an image reads zeros there for ever). False, with
// the range left as it was, when it starts at or past the end: there is nothing to scan.
bool ClipScanRangeToSource();

// Moves the handle by the 64-bit distance (high << 32 | low) from the origin (0 begin, 1 current, 2 end);
// the new position, or all bits set when the system refuses.
std::uint64_t SeekHandle64(PlatformHandle handle, std::int32_t distanceLow, std::uint32_t distanceHigh,
                           std::uint32_t method);

// Opens the DeviceNameTable entry of SourceState.deviceIndex read-only (others may read) into
// SourceState.driveHandle, closing the drive opened before. The handle is stored and returned also when
// it is kInvalidHandle. Nothing reads sectors through it: a disk image is always read through its reader.
PlatformHandle OpenPhysicalDrive();

// Opens "\\.\" followed by the first two characters of a drive entry ("E:") for reading, others may read
// and write, into SourceState.volumeHandle, closing the volume opened before. The handle is stored and
// returned also when it is kInvalidHandle.
PlatformHandle OpenLogicalVolume(const char16_t* driveEntry);
