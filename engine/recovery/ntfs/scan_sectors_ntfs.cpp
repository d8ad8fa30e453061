#include "engine/recovery/ntfs/scan_sectors_ntfs.h"

#include <cstring>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/ntfs/ntfs_index_parse.h"
#include "engine/recovery/ntfs/ntfs_mft_record_scan.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/scans/extensive_scan.h"

namespace {

bool IsNtfsBootSector(const std::uint8_t* bytes)
{
    return bytes[kBootSignatureOffset] == 0x55 && bytes[kBootSignatureOffset + 1] == 0xAA &&
           std::memcmp(bytes + kNtfsBootOemName, "NTFS", 4) == 0;
}

void ShowCount(ScanPanelLabel label, std::uint32_t count)
{
    UiScanPanel().SetLabelText(label, DecimalText(count).c_str());
}

class NtfsSectorVisitor final : public ExtensiveSectorVisitor
{
public:
    void BeforeRead(std::uint32_t offset) override
    {
        if (ScanDetailsShown.load() != 0)
            UiScanPanel().SetLabelText(ScanPanelLabel::CurrentSector, DecimalText(offset).c_str());
    }

    bool InspectSector(std::uint32_t sector, const std::uint8_t* bytes, std::uint32_t sectorsHeld) override
    {
        InspectNtfsSector(sector, bytes, sectorsHeld);
        return true;
    }

    // The counters follow once per read, and only when they changed.
    void AfterRead(std::uint32_t /*offset*/) override
    {
        if (ScanDetailsShown.load() == 0)
            return;
        if (foundFolderCount != shownFolders) {
            shownFolders = foundFolderCount;
            ShowCount(ScanPanelLabel::FolderCount, foundFolderCount);
        }
        if (ntfsFileNodeCount != shownFiles) {
            shownFiles = ntfsFileNodeCount;
            ShowCount(ScanPanelLabel::FileCount, ntfsFileNodeCount);
        }
        if (ntfsIndexNodeCount != shownIndexRecords) {
            shownIndexRecords = ntfsIndexNodeCount;
            ShowCount(ScanPanelLabel::BootSectorCount, ntfsIndexNodeCount);
        }
    }

private:
    std::uint32_t shownFolders = 0;
    std::uint32_t shownFiles = 0;
    std::uint32_t shownIndexRecords = 0;
};

} // namespace

void InspectNtfsSector(std::uint32_t sector, const std::uint8_t* bytes, std::uint32_t sectorsHeld)
{
    // Each sector is inspected once, so each boot sector is listed once. A file or index record whose
    // update sequence number happens to read 0x55 0xAA at the sector's end is still a record.
    if (IsNtfsBootSector(bytes)) {
        ++bootSectorCount;
        AppendU32Node(&bootSectorList, sector);
        return;
    }
    if (HasSignature(bytes, "FILE")) {
        if (ReadLittleEndian32(bytes, kRecordAllocatedSize) == kMftRecordSize)
            ProcessMftRecord(sector, sectorsHeld >= kMftRecordSectors ? bytes : nullptr);
        return;
    }
    if (HasSignature(bytes, "INDX"))
        ReadIndexRecord(sector, bytes, sectorsHeld);
}

void ScanSectorsNtfs()
{
    UiScanPanel().SetProgressPos(0);
    ScanThreadControl.done = 0;
    NtfsSectorVisitor visitor;
    ReadExtensiveRange(visitor);
}
