#include "engine/recovery/ntfs/quick_ntfs_scan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_mft_runs.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"

namespace {

// Sectors read at once from one MFT run.
constexpr std::uint32_t kSectorsPerPiece = 128;
// How often the panel's counters move.
constexpr std::uint32_t kRecordsPerStatus = 20;
constexpr std::uint32_t kFoldersPerLabel = 20;
constexpr std::uint32_t kFilesPerLabel = 50;

std::u16string Decimal(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

bool StopRequested()
{
    return ScanThreadControl.done.load() == 1;
}

bool DetailsShown()
{
    return ScanDetailsShown.load() == 1;
}

// One record of the attribute-list table: the record in memory for the first, read anew for others.
// Records that cannot be mapped or read, or that belong to another file, give nothing.
const std::uint8_t* ListedRecord(std::uint16_t index, const std::uint8_t* baseRecord,
                                 std::uint32_t baseNumber, std::uint32_t baseSector, std::uint8_t* scratch,
                                 std::uint32_t& sector)
{
    if (index == 0) {
        sector = baseSector;
        return baseRecord;
    }
    const std::uint32_t number = attributeListTable.recordNumbers[index];
    if (!MftRecordToSector(number, sector) || !ReadMftRecord(number, scratch) ||
        ReadLittleEndian64(scratch, kRecordBaseReference) == 0 ||
        ReadLittleEndian32(scratch, kRecordBaseReference) != baseNumber)
        return nullptr;
    return scratch;
}

class QuickNtfsWalk
{
public:
    void ReadRecord(std::uint32_t recordNumber, std::uint32_t recordSector, std::uint8_t* record);

    std::uint32_t folders = 0;
    std::uint32_t files = 0;

private:
    std::uint8_t scratch[kMftRecordSize] = {};
};

void QuickNtfsWalk::ReadRecord(std::uint32_t recordNumber, std::uint32_t recordSector, std::uint8_t* record)
{
    if (!HasSignature(record, "FILE"))
        return;
    ApplyFixup(record, kMftRecordSize);
    // An extension record holds attributes of its base record, which lists them.
    if (ReadLittleEndian64(record, kRecordBaseReference) != 0)
        return;
    ResetAttributeListTable(recordNumber);
    ReadAttributeList(record);

    NtfsFileNameInfo info;
    bool named = false;
    for (std::uint16_t i = 0; i < attributeListTable.count && !named; ++i) {
        std::uint32_t sector = 0;
        const std::uint8_t* listed = ListedRecord(i, record, recordNumber, recordSector, scratch, sector);
        named = listed && FindPreferredFileName(listed, info);
    }
    if (!named)
        return;

    const std::uint8_t flags = record[kRecordFlags];
    const std::uint32_t deleted = (flags & kRecordInUse) ? 0 : 1;
    if (flags == kRecordIsFolder || flags == (kRecordIsFolder | kRecordInUse)) {
        if (std::u16string_view(info.name) == u".")
            return;
        if (!AddNtfsEntryNode(info.name, recordNumber, info.parentNumber, info.creationTime, info.changeTime,
                              0, deleted))
            return;
        ++folders;
        if (folders % kFoldersPerLabel == 0 && DetailsShown())
            UiScanPanel().SetLabelText(ScanPanelLabel::FolderCount, Decimal(folders).c_str());
        return;
    }

    std::uint64_t size = 0;
    std::uint32_t dataSector = recordSector;
    bool sized = false;
    for (std::uint16_t i = 0; i < attributeListTable.count && !sized; ++i) {
        std::uint32_t sector = 0;
        const std::uint8_t* listed = ListedRecord(i, record, recordNumber, recordSector, scratch, sector);
        if (!listed)
            continue;
        dataSector = sector;
        sized = FindDataSize(listed, size);
    }
    AddNtfsScanNode(dataSector, info.name, recordNumber, info.parentNumber, info.creationTime,
                    info.changeTime, sized ? size : 0, deleted);
    ++files;
    // The engine's file count is what Drive Information shows and what the folder step's progress over
    // the files divides by.
    ++fileCount;
    if (files % kFilesPerLabel == 0 && DetailsShown()) {
        UiScanPanel().SetLabelText(ScanPanelLabel::FileCount, Decimal(files).c_str());
        UiScanPanel().SetLabelText(ScanPanelLabel::LastName, info.name);
    }
}

// Reads the MFT run by run in pieces and hands each record on; a record may begin in one run and end in
// the next. Returns the number of records read.
std::uint32_t WalkMft(QuickNtfsWalk& walk, std::uint64_t totalSectors)
{
    std::vector<std::uint8_t> piece(static_cast<std::size_t>(kSectorsPerPiece) * kSectorSize);
    std::uint8_t record[kMftRecordSize];
    std::uint32_t recordSector = 0;
    std::uint32_t filled = 0; // sectors of `record` read so far
    std::uint32_t recordNumber = 0;
    std::uint64_t done = 0;
    std::uint32_t shownPercent = 100;
    const std::u16string totalText = Decimal(totalSectors);

    std::uint64_t runFirst = 0; // MFT sector at which the run begins
    for (const MftRun& run : mftRunTables.runs) {
        if (runFirst >= totalSectors || StopRequested())
            break;
        const std::uint64_t inRun = std::min<std::uint64_t>(run.sectorCount, totalSectors - runFirst);
        for (std::uint64_t offset = 0; offset < inRun;) {
            const auto count =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(kSectorsPerPiece, inRun - offset));
            const auto first = static_cast<std::uint32_t>(run.startSector + offset);
            ReadSectors(0, first, 0, count, piece.data());
            for (std::uint32_t i = 0; i < count; ++i) {
                if (filled == 0) {
                    if (StopRequested())
                        return recordNumber;
                    recordSector = first + i;
                    if (DetailsShown())
                        UiScanPanel().SetLabelText(ScanPanelLabel::CurrentSector,
                                                   Decimal(recordSector).c_str());
                }
                std::memcpy(record + filled * kSectorSize,
                            piece.data() + static_cast<std::size_t>(i) * kSectorSize, kSectorSize);
                if (++filled < kMftRecordSectors)
                    continue;
                filled = 0;
                walk.ReadRecord(recordNumber, recordSector, record);
                ++recordNumber;
                done += kMftRecordSectors;
                const std::uint32_t percent = ProgressPercent(done, totalSectors);
                if (percent != shownPercent) {
                    UiScanPanel().SetProgressPos(percent);
                    shownPercent = percent;
                }
                if (recordNumber % kRecordsPerStatus == 0 && DetailsShown())
                    UiScanPanel().SetStatusText(
                        (u"Reading Sector " + Decimal(done) + u" Of " + totalText).c_str());
            }
            offset += count;
        }
        runFirst += run.sectorCount;
    }
    return recordNumber;
}

} // namespace

std::uint32_t BuildQuickNtfsTree()
{
    FreeScanLists();
    std::uint32_t records = 0;
    if (VolumeParams.mftStart != 0 &&
        BuildMftRunTables(VolumeParams.clusterBase, SourceState.deviceIndex, VolumeParams.mftStart,
                          VolumeParams.sectorsPerCluster) != 0) {
        std::uint64_t total = MftSectorsInUse(mftRunTables);
        // A map that claims more than the partition holds is cut to it, so a damaged $MFT record cannot
        // make the walk read for ever.
        if (VolumeParams.rangeCount != 0)
            total = std::min<std::uint64_t>(total, VolumeParams.rangeCount);
        folderCount = 0;
        fileCount = 0;
        QuickNtfsWalk walk;
        records = WalkMft(walk, total);
    }

    RecoveryTreeUi& tree = UiRecoveryTree();
    const TreeItemValue root = tree.InsertFolderItem(u"Root", kTreeTop);
    UiScanPanel().SetStatusText(u"Please wait creating tree...");
    TreeInsertedCount = 0;
    ScanThreadControl.done = 0;
    UiPartitionStep().EnableButton(PartitionStepButton::Stop, false);
    UiPartitionStep().ShowButton(PartitionStepButton::Stop, false);
    tree.AddNtfsFolderItems(root, kNtfsRootFolder);
    tree.Expand(root);
    tree.SetCheckRecursive(root, 1);
    UiResultList().SwitchToReportView();
    ListFolderNtfs(kNtfsRootFolder);
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
    return records;
}
