#include "engine/recovery/fat/scan_sectors_fat.h"
#include "engine/image/byte_order.h"

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/fat/fat_layout.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/scans/extensive_scan.h"

namespace {

constexpr char16_t kTooManyStructuresText[] = u"Too many data structures found";

std::uint32_t EntryCluster(const std::uint8_t* entry)
{
    return static_cast<std::uint32_t>(ReadLittleEndian16(entry, kDirEntryClusterHigh)) << 16 |
           ReadLittleEndian16(entry, kDirEntryClusterLow);
}

bool IsFatBootSector(const std::uint8_t* bytes)
{
    return (bytes[kFat32LabelDigits] == '3' && bytes[kFat32LabelDigits + 1] == '2') ||
           (bytes[kFat16LabelDigits] == '1' && bytes[kFat16LabelDigits + 1] == '6');
}

// "." then ".." at the start of the sector: the first sector of a folder's first cluster.
bool BeginsWithDotEntries(const std::uint8_t* bytes)
{
    return bytes[0] == '.' && bytes[1] == ' ' && bytes[kDirEntrySize] == '.' &&
           bytes[kDirEntrySize + 1] == '.' && bytes[kDirEntrySize + 2] == ' ';
}

void ShowCount(ScanPanelLabel label, std::uint32_t count)
{
    UiScanPanel().SetLabelText(label, DecimalText(count).c_str());
}

class FatSectorVisitor final : public ExtensiveSectorVisitor
{
public:
    bool InspectSector(std::uint32_t sector, const std::uint8_t* bytes,
                       std::uint32_t /*sectorsHeld*/) override
    {
        return InspectFatSector(sector, bytes);
    }

    // The labels follow once per read, and only when they changed.
    void AfterRead(std::uint32_t offset) override
    {
        if (ScanDetailsShown.load() == 0)
            return;
        if (bootSectorCount != shownBootSectors) {
            shownBootSectors = bootSectorCount;
            ShowCount(ScanPanelLabel::BootSectorCount, bootSectorCount);
        }
        if (foundFolderCount != shownFolders) {
            shownFolders = foundFolderCount;
            ShowCount(ScanPanelLabel::FolderCount, foundFolderCount);
        }
        UiScanPanel().SetLabelText(ScanPanelLabel::CurrentSector, DecimalText(offset).c_str());
    }

private:
    std::uint32_t shownBootSectors = 0;
    std::uint32_t shownFolders = 0;
};

} // namespace

bool InspectFatSector(std::uint32_t sector, const std::uint8_t* bytes)
{
    if (bytes[kBootSignatureOffset] == 0x55 && bytes[kBootSignatureOffset + 1] == 0xAA) {
        // A sector with the signature is a boot sector or nothing: folders never end with it by design.
        if (!IsFatBootSector(bytes))
            return true;
        ++bootSectorCount;
        AppendU32Node(&bootSectorList, sector);
        if (bootSectorCount > kMaxFatBootSectors) {
            UiMessages().ShowMessage(kMessageError, kTooManyStructuresText);
            return false;
        }
        return true;
    }
    if (!BeginsWithDotEntries(bytes))
        return true;
    const std::uint32_t cluster = EntryCluster(bytes);
    const std::uint32_t parent = EntryCluster(bytes + kDirEntrySize);
    // Clusters 0 and 1 hold no data and a folder is never its own parent: such entries are debris. The
    // first folder of a FAT16 volume does sit at cluster 2. A folder's cluster lies below its sector,
    // since cluster c starts at least c sectors into the disk.
    if (cluster < 2 || cluster == 0xFFFFFFFF || parent == 0xFFFFFFFF || parent == cluster ||
        cluster >= sector)
        return true;
    AddFatDirCandidate(sector, cluster, parent, ReadLittleEndian16(bytes, kDirEntryWriteDate),
                       ReadLittleEndian16(bytes, kDirEntryAccessDate));
    ++foundFolderCount;
    return true;
}

void ScanSectorsFat()
{
    UiScanPanel().SetProgressPos(0);
    ScanThreadControl.done = 0;
    FatSectorVisitor visitor;
    ReadExtensiveRange(visitor);
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
}
