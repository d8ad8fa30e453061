#include "engine/recovery/partitions/partition_search.h"
#include "engine/image/byte_order.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/fat_layout.h"
#include "engine/recovery/ntfs/ntfs_layout.h"
#include "engine/recovery/partitions/mbr_layout.h"

namespace {

// Far more records than the table can take rows: only a crafted chain of records without partitions
// gets this far, and it is not followed further.
constexpr int kMaxExtendedRecords = 256;

// The geometry that a search whose sectors per track are not 63 is redone in.
constexpr std::uint64_t kSearchHeads = 255;
constexpr std::uint64_t kSearchSectorsPerTrack = 63;

constexpr std::uint32_t kFakeProgressSteps = 100;

using Sector = std::uint8_t[kSectorSize];

// A text at a fixed place of a boot sector decides the file system before the entry's type byte does.
struct BootSectorMark
{
    const char* text;
    std::size_t offset;
    std::uint16_t codeInMaster;
    std::uint16_t codeInExtended;
};

constexpr BootSectorMark kBootSectorMarks[] = {
    {"FAT32", kFat32BootLabel, kFsFat32, kFsFat32},
    {"FAT16", kFat16BootLabel, kFsFat16, kFsFat16},
    {"NTFS", kNtfsBootOemName, kFsNtfs, kFsNtfs},
    {"EFI PART", 0, kFsGptDisk, kFsFat32},
};

bool HasText(const Sector& sector, std::size_t offset, const char* text)
{
    return std::memcmp(sector + offset, text, std::strlen(text)) == 0;
}

bool HasBootSignature(const Sector& sector)
{
    return sector[kBootSignatureOffset] == 0x55 && sector[kBootSignatureOffset + 1] == 0xAA;
}

bool IsExtendedType(std::uint8_t type)
{
    return type == kPartitionTypeExtended || type == kPartitionTypeExtendedLba;
}

struct TableEntry
{
    std::uint8_t type;
    std::uint32_t firstSector;
    std::uint32_t sectorCount;
};

TableEntry EntryAt(const Sector& table, int index)
{
    const std::uint8_t* entry = table + kMbrTableOffset + static_cast<std::size_t>(index) * kMbrEntrySize;
    return {entry[kMbrEntryType], ReadLittleEndian32(entry + kMbrEntryFirstSector),
            ReadLittleEndian32(entry + kMbrEntrySectorCount)};
}

// One sector into `out`; false, with `out` zeroed, when it lies past the disk's end or was not read.
bool ReadOneSector(std::uint64_t sector, Sector& out)
{
    const std::uint64_t diskSectors = SourceSectorCount();
    if (diskSectors != 0 && sector >= diskSectors) {
        std::memset(out, 0, sizeof(out));
        return false;
    }
    return ReadSectors(0, static_cast<std::uint32_t>(sector), static_cast<std::uint32_t>(sector >> 32), 1,
                       out) != 0;
}

bool TableFull()
{
    return partitionCount >= kMaxPartitions;
}

bool RowStartsAt(std::uint64_t sector)
{
    const std::uint32_t rows = std::min(partitionCount, kMaxPartitions);
    for (std::uint32_t i = 0; i < rows; ++i)
        if (partitionTable[i].startSector == sector)
            return true;
    return false;
}

// A row's start is 32-bit: a partition that starts further out cannot be listed. A row never reaches past
// the disk's end, whatever its table entry or boot sector claims: one that starts there keeps no sectors
// (and a scan of it finds no parameters).
bool AppendRow(std::uint64_t startSector, std::uint32_t sectorCount, std::uint16_t fsCode)
{
    if (TableFull() || startSector > UINT32_MAX)
        return false;
    const std::uint64_t diskSectors = SourceSectorCount();
    if (diskSectors != 0)
        sectorCount =
            startSector >= diskSectors
                ? 0
                : static_cast<std::uint32_t>(std::min<std::uint64_t>(sectorCount, diskSectors - startSector));
    partitionTable[partitionCount] = {static_cast<std::uint32_t>(startSector), sectorCount, fsCode};
    ++partitionCount;
    return true;
}

// The file-system code of a partition from its boot sector, else from its type byte; 0 when neither
// names one.
std::uint16_t ClassifyPartition(std::uint64_t firstSector, std::uint8_t type, bool inExtendedRecord)
{
    Sector boot;
    ReadOneSector(firstSector, boot);
    for (const BootSectorMark& mark : kBootSectorMarks)
        if (HasText(boot, mark.offset, mark.text))
            return inExtendedRecord ? mark.codeInExtended : mark.codeInMaster;
    switch (type) {
    case kPartitionTypeFat12:
    case kPartitionTypeFat16Small:
    case kPartitionTypeFat16:
    case kPartitionTypeFat16Lba:
        return kFsFat16;
    case kPartitionTypeFat32:
    case kPartitionTypeFat32Lba:
        return kFsFat32;
    case kPartitionTypeNtfs:
        return kFsNtfs;
    case kPartitionTypeGptProtective:
        return inExtendedRecord ? kFsFat32 : kFsGptDisk;
    default:
        return 0;
    }
}

// Logical partitions start relative to their own record, links relative to the start of the chain.
void WalkExtendedChain(std::uint32_t tableSector, std::uint32_t chainStart)
{
    // Links that lead back to a record already read (itself, an earlier record, the master boot record)
    // would loop for ever.
    std::vector<std::uint64_t> visited{tableSector};
    std::uint64_t link = 0;
    for (int records = 0; records < kMaxExtendedRecords && !TableFull(); ++records) {
        const std::uint64_t recordSector = chainStart + link;
        if (std::find(visited.begin(), visited.end(), recordSector) != visited.end())
            return;
        visited.push_back(recordSector);
        Sector record;
        if (!ReadOneSector(recordSector, record))
            return;

        bool linked = false;
        for (int i = 0; i < kMbrExtendedEntries; ++i) {
            const TableEntry entry = EntryAt(record, i);
            if (entry.type == kPartitionTypeEmpty)
                continue;
            if (IsExtendedType(entry.type)) {
                link = entry.firstSector;
                linked = true;
                continue;
            }
            if (TableFull())
                break;
            const std::uint64_t start = recordSector + entry.firstSector;
            if (const std::uint16_t code = ClassifyPartition(start, entry.type, true))
                AppendRow(start, entry.sectorCount, code);
        }
        if (!linked)
            return;
    }
}

// a x b, held at UINT64_MAX instead of wrapping.
std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b)
{
    if (a != 0 && b > UINT64_MAX / a)
        return UINT64_MAX;
    return a * b;
}

struct SearchGeometry
{
    std::uint64_t cylinders = 0;
    std::uint64_t heads = 0;
    std::uint64_t sectorsPerTrack = 0;
};

SearchGeometry SelectedDeviceGeometry()
{
    if (SourceState.deviceIndex >= kMaxDevices)
        return {};
    const DeviceGeometryEntry& device = DeviceGeometry[SourceState.deviceIndex];
    SearchGeometry geometry{device.cylinders, device.heads, device.sectorsPerTrack};
    if (geometry.sectorsPerTrack != kSearchSectorsPerTrack) {
        const std::uint64_t total = SaturatingProduct(SaturatingProduct(geometry.cylinders, geometry.heads),
                                                      geometry.sectorsPerTrack);
        geometry = {total / (kSearchHeads * kSearchSectorsPerTrack), kSearchHeads, kSearchSectorsPerTrack};
    }
    return geometry;
}

enum class BootSectorKind
{
    None,
    Fat,
    Ntfs,
    GptHeader,
};

struct FoundBootSector
{
    BootSectorKind kind = BootSectorKind::None;
    std::uint16_t fsCode = 0;
    std::uint32_t sectorCount = 0;
};

// FAT keeps its total in the 16-bit field when it fits and then leaves the 32-bit field 0.
std::uint32_t FatTotalSectors(const Sector& boot)
{
    const std::uint16_t small = ReadLittleEndian16(boot + kFatBootTotalSectors16);
    return small != 0 ? small : ReadLittleEndian32(boot + kFatBootTotalSectors32);
}

FoundBootSector ExamineBootSector(const Sector& sector)
{
    // The last digits of "FAT32" at 82 and of "FAT16" at 54 are enough for the search.
    if (HasText(sector, kFat32LabelDigits, "32"))
        return {BootSectorKind::Fat, kFsFat32, FatTotalSectors(sector)};
    if (HasText(sector, kFat16LabelDigits, "16"))
        return {BootSectorKind::Fat, kFsFat16, FatTotalSectors(sector)};
    if (HasText(sector, kNtfsBootOemName, "NTFS"))
        return {BootSectorKind::Ntfs, kFsNtfs, ReadLittleEndian32(sector + kNtfsBootTotalSectors)};
    if (HasText(sector, 0, "EFI PART"))
        return {BootSectorKind::GptHeader, 0, 0};
    return {};
}

// A VHDX gives no geometry to search by; the bar runs once so that the step still shows it worked.
void ShowFakeProgress(DriveStepUi& driveStep)
{
    // A stop request ends the wait too: the user asked for the partitions found so far.
    for (std::uint32_t percent = 0; percent <= kFakeProgressSteps && ScanThreadControl.done == 0; ++percent) {
        driveStep.SetProgressPos(percent);
        if (vhdxProgressPauseMs != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(vhdxProgressPauseMs));
    }
}

// The sector at the start of the cylinder's second track, else the cylinder's first, when it carries
// the boot signature; its number in `found`.
bool ReadCylinderBootSector(std::uint64_t cylinderStart, std::uint64_t sectorsPerTrack, Sector& sector,
                            std::uint64_t& found)
{
    found = cylinderStart + sectorsPerTrack;
    ReadOneSector(found, sector);
    if (HasBootSignature(sector))
        return true;
    found = cylinderStart;
    ReadOneSector(found, sector);
    return HasBootSignature(sector);
}

void SearchCylinders(DriveStepUi& driveStep, const SearchGeometry& geometry)
{
    const std::uint64_t cylinderSectors = SaturatingProduct(geometry.heads, geometry.sectorsPerTrack);
    if (cylinderSectors == 0)
        return;
    // Past the disk's end or past what a row's start can hold there is nothing to find.
    const std::uint64_t diskSectors = SourceSectorCount();
    const std::uint64_t lastStart =
        diskSectors != 0 ? std::min<std::uint64_t>(diskSectors - 1, UINT32_MAX) : UINT32_MAX;
    std::uint32_t shownPercent = UINT32_MAX;
    for (std::uint64_t cylinder = 0; cylinder < geometry.cylinders && ScanThreadControl.done == 0;
         ++cylinder) {
        if (cylinder > lastStart / cylinderSectors)
            break;
        const std::uint32_t percent = ProgressPercent(cylinder, geometry.cylinders);
        if (percent != shownPercent) {
            driveStep.SetProgressPos(percent);
            shownPercent = percent;
        }
        if (searchDisk != 1)
            continue;

        Sector sector;
        std::uint64_t found = 0;
        if (!ReadCylinderBootSector(cylinder * cylinderSectors, geometry.sectorsPerTrack, sector, found))
            continue;
        const FoundBootSector boot = ExamineBootSector(sector);
        if (boot.kind == BootSectorKind::GptHeader) {
            UiMessages().PlainMessageBox(u"EFI PART");
            continue;
        }
        if (boot.kind == BootSectorKind::None || RowStartsAt(found))
            continue;
        const std::uint32_t index = partitionCount;
        if (!AppendRow(found, boot.sectorCount, boot.fsCode))
            continue;
        // The tree numbers a found FAT volume from 1 and a found NTFS volume from 0.
        const std::uint32_t number = boot.kind == BootSectorKind::Ntfs ? index : index + 1;
        driveStep.AddGroupItem(kPartitionGroupText, PartitionItemText(number).c_str());
        if (TableFull())
            break;
    }
}

} // namespace

void ParseMbrPartitions(std::uint32_t sector)
{
    for (PartitionEntry& entry : partitionTable)
        entry = {};
    partitionCount = 0;
    searchDisk = 0;

    Sector table;
    ReadOneSector(sector, table);
    if (!HasBootSignature(table))
        return;

    bool extendedSeen = false;
    std::uint32_t chainStart = 0;
    for (int i = 0; i < kMbrMasterEntries; ++i) {
        const TableEntry entry = EntryAt(table, i);
        if (entry.type == kPartitionTypeEmpty)
            continue;
        if (IsExtendedType(entry.type)) {
            extendedSeen = true;
            chainStart = entry.firstSector;
            continue;
        }
        if (TableFull())
            continue;
        if (const std::uint16_t code = ClassifyPartition(entry.firstSector, entry.type, false))
            AppendRow(entry.firstSector, entry.sectorCount, code);
    }
    if (extendedSeen)
        WalkExtendedChain(sector, chainStart);
}

void ParsePartitionTable()
{
    static constexpr std::uint32_t kTableSectors[] = {0, 0, 61, 62};
    for (const std::uint32_t sector : kTableSectors) {
        ParseMbrPartitions(sector);
        if (partitionCount != 0)
            return;
    }
}

void SearchPartitions()
{
    DriveStepUi& driveStep = UiDriveStep();
    if (partitionCount != 0) {
        bool useExistingPartitionInfo = true;
        if (driveStep.RunPartitionTypeDlg(useExistingPartitionInfo))
            searchDisk = useExistingPartitionInfo ? 0 : 1;
    } else {
        searchDisk = 1;
    }
    if (searchDisk == 1) {
        driveStep.SetStatusText(u"Please wait, searching for Partition...");
        driveStep.SetWaitText(u"Please wait...");
    }

    const SearchGeometry geometry = SelectedDeviceGeometry();

    const std::uint32_t rows = std::min(partitionCount, kMaxPartitions);
    for (std::uint32_t i = 0; i < rows; ++i) {
        driveStep.AddGroupItem(kPartitionGroupText, PartitionItemText(i).c_str());
        driveStep.ExpandRoot();
    }

    if (ScanSelection.imageKind == kImageVhdx)
        ShowFakeProgress(driveStep);

    SearchCylinders(driveStep, geometry);
}

std::u16string PartitionItemText(std::uint32_t number)
{
    char16_t digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + number % 10);
        number /= 10;
    } while (number != 0);
    std::u16string text = u"Partition ";
    while (count > 0)
        text += digits[--count];
    return text;
}
