// The NTFS savers: a file rebuilt from the unnamed $DATA of its MFT record, resident or in data runs.
#include <algorithm>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/ntfs/ntfs_attribute_list.h"
#include "engine/recovery/ntfs/ntfs_mft_runs.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"
#include "engine/recovery/save/save_file_common.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_names.h"
#include "engine/recovery/save/save_output_io.h"

namespace {

bool IsExtensiveNtfs()
{
    return ScanSelection.scanKind == kScanExtensive && VolumeParams.fsCode == kFsNtfs;
}

// The runs of dataRuns up to `size` bytes. Bytes past `initialized` were never written by the file
// system and are zeros, whatever the clusters hold; sparse runs are zeros; runs outside the volume are
// not read and stand as zeros. All these zeros are holes of the saved file: a sparse file may be far
// larger than its volume (a long-lived change journal, a pre-allocated download) and is saved whole,
// while the target stores no more than the volume does. A file whose runs read more of the volume than it
// has, which only runs that overlap can do, would only fill the target disk: it ends there, as it does
// where the runs end before the size.
void WriteRuns(RecoveredFile& file, std::uint64_t size, std::uint64_t initialized)
{
    const std::uint64_t clusterBytes =
        static_cast<std::uint64_t>(VolumeParams.sectorsPerCluster) * kSectorSize;
    const std::uint64_t volumeBytes = VolumeByteSize();
    std::uint64_t done = 0;
    std::uint64_t read = 0;
    for (const DataRunNode* run = dataRuns.head; run && done < size; run = run->next) {
        const std::uint64_t bytes =
            std::min(size - done, static_cast<std::uint64_t>(run->length) * clusterBytes);
        std::uint64_t firstSector = 0;
        const bool onDisk = !run->sparse && ClusterSpanSectors(run->startCluster, run->length, firstSector);
        if (!run->sparse && !onDisk)
            file.NoteOutsideVolume();
        const std::uint64_t stored = !onDisk || done >= initialized ? 0 : std::min(bytes, initialized - done);
        if (stored > volumeBytes - std::min(read, volumeBytes)) {
            file.NoteOutsideVolume();
            return;
        }
        read += stored;
        if (!file.CopySectors(firstSector, stored) || !file.SkipZeros(bytes - stored))
            return;
        done += bytes;
    }
    if (done < size)
        file.NoteUnreadable();
}

// The number of the file's base record: an extension record names it, a base record holds its own.
bool BaseRecordNumber(const std::uint8_t* record, std::uint32_t& number)
{
    if (ReadLittleEndian64(record, kRecordBaseReference) != 0) {
        number = ReadLittleEndian32(record, kRecordBaseReference);
        return true;
    }
    if (ReadLittleEndian16(record, kRecordUsaOffset) < kRecordUsaAfterOwnNumber)
        return false;
    number = ReadLittleEndian32(record, kRecordOwnNumber);
    return true;
}

bool BelongsToFile(const std::uint8_t* record, std::uint32_t recordNumber, std::uint32_t baseNumber)
{
    const std::uint64_t base = ReadLittleEndian64(record, kRecordBaseReference);
    return base == 0 ? recordNumber == baseNumber : static_cast<std::uint32_t>(base) == baseNumber;
}

// A $DATA in more fragments than one record can map goes on in extents held by further records of the
// file, which the base record's attribute list names in the order of their VCNs (the list itself is
// often outside the record then). Their runs follow those of the extent at `attribute` in dataRuns,
// as long as each extent starts where the ones before end; the MFT's map is made when the scan that
// found the file left none (a loaded snapshot).
void AppendLaterExtents(const std::uint8_t* record, std::uint32_t attribute)
{
    const std::uint64_t clusterBytes = std::uint64_t{VolumeParams.sectorsPerCluster} * kSectorSize;
    const std::uint64_t allocated = ReadLittleEndian64(record, attribute + kAttrAllocatedSize);
    const std::uint64_t clusters = allocated / clusterBytes + (allocated % clusterBytes != 0);
    std::uint64_t next = ReadLittleEndian64(record, attribute + kAttrLastVcn) + 1;
    std::uint32_t baseNumber = 0;
    if (next == 0 || next >= clusters || !BaseRecordNumber(record, baseNumber))
        return;
    if (mftRunTables.runs.empty() && VolumeParams.mftStart != 0)
        BuildMftRunTables(VolumeParams.clusterBase, SourceState.deviceIndex, VolumeParams.mftStart,
                          VolumeParams.sectorsPerCluster);
    std::uint8_t base[kMftRecordSize];
    if (!ReadMftRecord(baseNumber, base) || !BelongsToFile(base, baseNumber, baseNumber))
        return;
    std::uint8_t holder[kMftRecordSize];
    for (const AttributeListEntry& entry :
         ReadAttributeListEntries(base, VolumeParams.clusterBase, VolumeParams.sectorsPerCluster)) {
        if (next >= clusters)
            break;
        if (entry.type != kAttrData || entry.nameLength != 0 || entry.startVcn < next)
            continue;
        NtfsAttribute extent;
        std::uint32_t runList = 0;
        if (entry.startVcn != next || !ReadMftRecord(entry.recordNumber, holder) ||
            !BelongsToFile(holder, entry.recordNumber, baseNumber) ||
            !FindDataExtent(holder, next, extent, runList) ||
            AppendDataRuns(kMftRecordSize, holder, extent.offset) != 1)
            break;
        const std::uint64_t last = ReadLittleEndian64(holder, extent.offset + kAttrLastVcn);
        if (last < next)
            break;
        next = last + 1;
    }
}

// The resident value: the smaller of the size and the value's length, which must lie within the record.
int SaveResident(const FileStart& start, int mode, const std::uint8_t* record, std::uint32_t attribute,
                 std::uint64_t size)
{
    const std::uint32_t valueLength = ReadLittleEndian32(record, attribute + kAttrValueLength);
    const std::uint32_t valueOffset = attribute + ReadLittleEndian16(record, attribute + kAttrValueOffset);
    const std::uint64_t length = std::min<std::uint64_t>(size, valueLength);
    if ((size >> 32) != 0 || valueOffset + length > kMftRecordSize) {
        RecoveredFile nothing(mode, 0, false);
        nothing.NoteNoData();
        return 0;
    }
    RecoveredFile file(mode, size, true);
    if (!file.Create(start))
        return file.DuplicateSkipped() ? 0 : 1;
    file.Write(record + valueOffset, static_cast<std::size_t>(length));
    if (length < size)
        file.NoteUnreadable();
    file.CloseWithTimes(PendingFiletimeTimes());
    return 1;
}

int SaveNonResident(const FileStart& start, int mode, const std::uint8_t* record, std::uint32_t attribute,
                    std::uint64_t size)
{
    RecoveredFile file(mode, size, true);
    if (VolumeParams.sectorsPerCluster == 0) {
        file.NoteOutsideVolume();
        return 0;
    }
    if (DecodeDataRuns(kMftRecordSize, record, attribute) != 1) {
        FreeDataRunList();
        file.NoteNoData();
        return 0;
    }
    AppendLaterExtents(record, attribute);
    if (dataRuns.Empty() && size != 0) {
        file.NoteNoData();
        return 0;
    }
    // This program does not decompress or decrypt: the clusters are saved as they lie on the disk, and
    // the file counts as failed so that the user is told.
    const std::uint16_t flags = ReadLittleEndian16(record, attribute + kAttrFlags);
    if ((flags & (kAttrFlagCompressionMask | kAttrFlagEncrypted)) != 0)
        file.NoteStoredAsIs();
    const std::uint64_t initialized = ReadLittleEndian64(record, attribute + kAttrInitializedSize);

    if (file.Create(start)) {
        WriteRuns(file, size, initialized);
        file.CloseWithTimes(PendingFiletimeTimes());
    }
    FreeDataRunList();
    return file.DuplicateSkipped() ? 0 : 1;
}

const NtfsFolderSaves* activeFolderSaves = nullptr;

} // namespace

NtfsFilesByFolder IndexNtfsFilesByFolder()
{
    NtfsFilesByFolder index;
    if (IsExtensiveNtfs()) {
        for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next) {
            if (node->recordSector <= VolumeParams.clusterBase || node->recordSector > VolumeParams.endSector)
                continue;
            index[node->parentNumber].push_back(
                {node->name, node->recordSector, node->dataSize, node->creationTime, node->deleted});
        }
        return index;
    }
    for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
        index[node->parentNumber].push_back(
            {node->name, node->dataRecordSector, node->dataSize, node->creationTime, node->deleted});
    return index;
}

int SaveFileNtfs(const char16_t* folder, const char16_t* name, std::uint32_t recordSector, std::uint64_t size,
                 int mode, std::uint32_t deleted)
{
    const FileStart start = BeginFileSave(folder, name, mode, true, deleted);
    if (!start.go)
        return start.result;

    std::uint8_t record[kMftRecordSize];
    std::uint32_t attribute = 0;
    const int kind = ReadRecordAt(recordSector, record) ? FindUnnamedData(record, &attribute) : 0;
    if (kind == 1)
        return SaveResident(start, mode, record, attribute, size);
    if (kind == 2)
        return SaveNonResident(start, mode, record, attribute, size);

    // No unnamed $DATA: a record that claims no size has nothing to save ($Volume, $Secure); one that
    // claims data which cannot be found fails.
    if (size == 0) {
        CountNothingToSave();
    } else {
        RecoveredFile nothing(mode, 0, false);
        nothing.NoteNoData();
    }
    return 0;
}

void WriteDiskRangeToFile(const char16_t* path, std::uint64_t size, int mode)
{
    SaveControl.skip = 0;
    if (mode == kSaveModeSelection && SaveControl.stop == 1)
        return;
    RecoveredFile file(mode, size, true);
    if (VolumeParams.sectorsPerCluster == 0) {
        file.NoteOutsideVolume();
        return;
    }
    if (!file.Create(path ? path : u""))
        return;
    WriteRuns(file, size, size);
}

NtfsFolderSaves::NtfsFolderSaves()
{
    filesByFolder = IndexNtfsFilesByFolder();
    activeFolderSaves = this;
}

NtfsFolderSaves::~NtfsFolderSaves()
{
    activeFolderSaves = nullptr;
}

void SaveNtfsFolderFiles(std::uint32_t folderNumber, const char16_t* path)
{
    // Alone, one walk of the list; within a save of many folders, the index made at its start.
    const NtfsFilesByFolder own = activeFolderSaves ? NtfsFilesByFolder{} : IndexNtfsFilesByFolder();
    const NtfsFilesByFolder& index = activeFolderSaves ? activeFolderSaves->filesByFolder : own;
    const auto files = index.find(folderNumber);
    if (files == index.end())
        return;
    for (const NtfsFileToSave& file : files->second) {
        if (SaveControl.stop == 1)
            return;
        PendingFileTime = file.creationTime;
        SaveFileNtfs(path, file.name, file.recordSector, file.size, kSaveModeSelection, file.deleted);
    }
}

void CreateNtfsFolder(const char16_t* base, const char16_t* folderName, std::uint32_t folderNumber)
{
    const std::u16string path = CreateMarkedFolder(base, folderName);
    if (!path.empty())
        SaveNtfsFolderFiles(folderNumber, path.c_str());
}

PlatformFileTimes PendingFiletimeTimes()
{
    PlatformFileTimes times;
    times.creation = PendingFileTime;
    times.lastAccess = PendingFileTime;
    times.lastWrite = PendingFileTime;
    return times;
}

void SetFileTimesFromFiletime(const char16_t* path)
{
    OutputSetFileTimes(path, PendingFiletimeTimes());
}
