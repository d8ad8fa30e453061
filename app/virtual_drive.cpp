#include "virtual_drive.h"

#include <afxwin.h>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "main_frame.h"

#include <cstring>

DriveGeometryTableBlock DriveGeometryTable;

namespace {

constexpr char kDeviceName[] = "Virtual Machine Disk";
constexpr std::uint64_t kMegabyte = 1048576;

} // namespace

DiskGeometry CompleteGeometry(DiskGeometry given, std::uint64_t diskBytes)
{
    if (given.cylinders != 0 && given.heads != 0 && given.sectorsPerTrack != 0)
        return given;
    const std::uint64_t megabytes = diskBytes / kMegabyte;
    DiskGeometry made;
    if (megabytes <= 1024) {
        made.heads = 64;
        made.sectorsPerTrack = 32;
    } else if (megabytes <= 2048) {
        made.heads = 128;
        made.sectorsPerTrack = 32;
    } else {
        made.heads = 255;
        made.sectorsPerTrack = 63;
    }
    const std::uint64_t cylinders = diskBytes / (std::uint64_t{made.heads} * made.sectorsPerTrack * 512);
    made.cylinders = cylinders > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(cylinders);
    return made;
}

std::uint32_t DriveTotalSectors(int device)
{
    if (device < 0 || device >= kMaxDevices)
        return 0;
    return DriveGeometryTable.totalSectors[device];
}

void ResetDriveGeometryTable()
{
    DriveGeometryTable = DriveGeometryTableBlock();
    for (DeviceGeometryEntry& entry : DeviceGeometry)
        entry = DeviceGeometryEntry();
}

void CVirtualDrive::Register()
{
    if (m_nextDevice >= static_cast<std::uint32_t>(kMaxDevices))
        return;
    DiskGeometry geometry;
    auto* pFrame = DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
    if (pFrame != NULL) {
        if (ScanSelection.imageKind != kImageVmdk && pFrame->m_pImageSource != NULL) {
            CImageSource& source = *pFrame->m_pImageSource;
            geometry.cylinders = source.GetCylinders();
            geometry.heads = source.GetHeads();
            geometry.sectorsPerTrack = source.GetSectorsPerTrack();
        } else if (ScanSelection.imageKind == kImageVmdk && pFrame->m_pVmdkExtent != NULL) {
            CVmdkSparseExtent& extent = *pFrame->m_pVmdkExtent;
            DiskGeometry given;
            given.cylinders = static_cast<std::uint32_t>(extent.cylinders < 0 ? 0 : extent.cylinders);
            given.heads = static_cast<std::uint32_t>(extent.heads < 0 ? 0 : extent.heads);
            given.sectorsPerTrack = static_cast<std::uint32_t>(extent.sectors < 0 ? 0 : extent.sectors);
            geometry = CompleteGeometry(given, extent.GetDiskSize());
        }
    }
    DeviceGeometryEntry& entry = DeviceGeometry[m_nextDevice];
    entry.cylinders = geometry.cylinders;
    entry.heads = geometry.heads;
    entry.sectorsPerTrack = geometry.sectorsPerTrack;
    // The product is kept in 32 bits as the table holds it; a larger disk is capped.
    const std::uint64_t total =
        std::uint64_t{geometry.cylinders} * geometry.heads * std::uint64_t{geometry.sectorsPerTrack};
    DriveGeometryTable.totalSectors[m_nextDevice] =
        total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(total);
    std::strncpy(DriveGeometryTable.names[m_nextDevice], kDeviceName, sizeof DriveGeometryTable.names[0] - 1);
    DriveGeometryTable.deviceCount = static_cast<std::int32_t>(m_nextDevice + 1);
    ++m_nextDevice;
}
