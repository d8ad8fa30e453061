#pragma once

// The opened disk image as the drive step's device: its geometry in the engine's DeviceGeometry, and here
// the device count, each device's total sectors and its name.
#include <cstdint>

struct DriveGeometryTableBlock
{
    std::int32_t deviceCount = 0;
    // cylinders x heads x sectors per track
    std::uint32_t totalSectors[10] = {};
    char names[10][512] = {};
};

extern DriveGeometryTableBlock DriveGeometryTable;

struct DiskGeometry
{
    std::uint32_t cylinders = 0;
    std::uint32_t heads = 0;
    std::uint32_t sectorsPerTrack = 0;
};

// A geometry for a disk whose image gives none (any of the three 0): up to 1024 MB 64 heads and 32
// sectors per track, up to 2048 MB 128 and 32, above that 255 and 63; cylinders = bytes / (heads x
// sectors x 512). A complete geometry is returned as given.
DiskGeometry CompleteGeometry(DiskGeometry given, std::uint64_t diskBytes);

// The total sectors of device n, 0 outside the table.
std::uint32_t DriveTotalSectors(int device);

class CVirtualDrive
{
public:
    virtual ~CVirtualDrive() = default;
    // Adds the main frame's opened image (by ScanSelection's image kind) as the next device.
    virtual void Register();

    std::uint32_t m_nextDevice = 0;
};

// Empties the table, as before the first image.
void ResetDriveGeometryTable();
