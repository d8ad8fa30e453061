#include "engine/recovery/fat/fat_dir_parse.h"
#include "engine/image/byte_order.h"

#include <cstdlib>

#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/fat/fat_chain.h"

namespace {

constexpr std::uint32_t kLongNameCompleteAfter = 255;

// Short name: 8 name bytes and 3 extension bytes, padded with spaces.
constexpr std::uint32_t kShortNameLength = 8;
constexpr std::uint32_t kShortExtensionLength = 3;
constexpr std::uint32_t kShortNameBufferSize = kShortNameLength + 1 + kShortExtensionLength + 1;

// Shown in place of the deleted mark as the first character of a deleted entry's short name.
constexpr char16_t kDeletedNameChar = u'x';

constexpr std::uint32_t kPanelCountEvery = 10;

std::uint8_t ShortNameChecksum(const std::uint8_t* shortEntry)
{
    std::uint8_t sum = 0;
    for (std::uint32_t index = 0; index < kShortNameLength + kShortExtensionLength; ++index)
        sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + shortEntry[index]);
    return sum;
}

// A short name as the format allows it: no control byte after the first (which may be a mark). An empty
// file owns no cluster to vouch for it, so a wiped slot that kept only its deleted mark must not pass.
bool HasWellFormedShortName(const std::uint8_t* entry)
{
    for (std::uint32_t index = 1; index < kShortNameLength + kShortExtensionLength; ++index)
        if (entry[index] < 0x20)
            return false;
    return true;
}

bool IsDotName(const char16_t* name)
{
    return (name[0] == u'.' && name[1] == 0) || (name[0] == u'.' && name[1] == u'.' && name[2] == 0);
}

void NumberText(std::uint32_t value, char16_t* out)
{
    char16_t digits[11];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int index = 0; index < count; ++index)
        out[index] = digits[count - 1 - index];
    out[count] = 0;
}

void ShowPanelNumber(ScanPanelLabel label, std::uint32_t value)
{
    if (ScanDetailsShown == 0)
        return;
    char16_t text[11];
    NumberText(value, text);
    UiScanPanel().SetLabelText(label, text);
}

// One directory entry that names a file or folder.
struct DirEntryInfo
{
    char16_t name[kLongNameBufferSize];
    std::uint32_t firstCluster;
    std::uint32_t size;
    std::uint16_t writeDate;
    std::uint16_t accessDate;
    bool folder;
    bool deleted; // by its own mark
};

enum class EntryKind
{
    End,
    Skip,
    Named,
};

EntryKind DecodeEntry(const std::uint8_t* sector, std::uint32_t index, const std::uint8_t* previousSector,
                      DirEntryInfo& info)
{
    const std::uint32_t offset = index * kDirEntrySize;
    const std::uint8_t* entry = sector + offset;
    if (entry[0] == kDirEndMark)
        return EntryKind::End;
    const std::uint8_t attributes = entry[kDirEntryAttributes];
    if (attributes == kAttrLongName || (attributes & kAttrVolumeLabel) != 0)
        return EntryKind::Skip;

    std::uint32_t cluster = ReadLittleEndian16(entry + kDirEntryClusterLow);
    if (VolumeParams.fsCode == kFsFat32)
        cluster |= static_cast<std::uint32_t>(ReadLittleEndian16(entry + kDirEntryClusterHigh)) << 16;
    cluster = MaskCluster(cluster);
    const std::uint32_t size = ReadLittleEndian32(entry + kDirEntryFileSize);
    const bool folder = (attributes & kAttrFolder) != 0;
    // An empty file owns no cluster; any other entry without one has nothing to find.
    const bool emptyFile = cluster == 0 && size == 0 && !folder && HasWellFormedShortName(entry);
    if (cluster == 0 && !emptyFile)
        return EntryKind::Skip;

    std::uint32_t length = 0;
    for (std::uint32_t at = 0; at < kShortNameLength; ++at)
        if (entry[at] != ' ')
            info.name[length++] = entry[at];
    if (entry[kShortNameLength] != ' ') {
        info.name[length++] = u'.';
        for (std::uint32_t at = kShortNameLength; at < kShortNameLength + kShortExtensionLength; ++at)
            if (entry[at] != ' ')
                info.name[length++] = entry[at];
    }
    info.name[length] = 0;
    info.deleted = entry[0] == kDeletedMark;
    if (info.deleted)
        info.name[0] = kDeletedNameChar;

    char16_t longName[kLongNameBufferSize];
    if (!GetLongName(sector, longName, offset, previousSector)) {
        std::uint32_t at = 0;
        for (; longName[at] != 0; ++at)
            info.name[at] = longName[at];
        info.name[at] = 0;
    }
    if (info.name[0] == 0 || !IsValidFileName(info.name) || IsDotName(info.name) ||
        (!emptyFile && !IsUsableCluster(cluster)))
        return EntryKind::Skip;

    info.firstCluster = cluster;
    info.size = size;
    info.writeDate = ReadLittleEndian16(entry + kDirEntryWriteDate);
    info.accessDate = ReadLittleEndian16(entry + kDirEntryAccessDate);
    info.folder = folder;
    return EntryKind::Named;
}

bool StopRequested()
{
    return ScanThreadControl.done != 0;
}

// The deleted state that runs through one call: with InheritDeletedState at 1 it starts at the caller's
// value and, once set, stays set; otherwise each entry has its own.
class DeletedState
{
public:
    explicit DeletedState(std::uint32_t callerValue) : running(InheritDeletedState == 1 && callerValue != 0)
    {}

    std::uint32_t For(const DirEntryInfo& info)
    {
        const bool deleted = info.deleted || (InheritDeletedState == 1 && running);
        if (InheritDeletedState == 1)
            running = deleted;
        return deleted ? 1 : 0;
    }

private:
    bool running;
};

// The first listed folder with both clusters. The first-cluster index answers at once when the first
// folder with that cluster has this parent too; only a list holding one cluster under several parents
// is walked.
FatFolderRec* FindFolder(std::uint32_t parentCluster, std::uint32_t firstCluster)
{
    FatFolderRec* indexed = FindFatFolderByFirstCluster(firstCluster);
    if (!indexed || indexed->parentCluster == parentCluster)
        return indexed;
    for (FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
        if (folder->parentCluster == parentCluster && folder->firstCluster == firstCluster)
            return folder;
    return nullptr;
}

} // namespace

bool GetLongName(const std::uint8_t* sector, char16_t* out, std::uint32_t shortEntryOffset,
                 const std::uint8_t* previousSector)
{
    const std::uint8_t* shortEntry = sector + shortEntryOffset;
    // A deleted short entry has lost its first byte, and with it the checksum to compare.
    const bool checkSum = shortEntry[0] != kDeletedMark;
    const std::uint8_t checksum = ShortNameChecksum(shortEntry);

    std::uint32_t length = 0;
    std::uint32_t entries = 0;
    bool complete = false;
    bool ranOut = false;
    const std::uint8_t* current = sector;
    std::uint32_t offset = shortEntryOffset;
    for (;;) {
        if (offset == 0) {
            if (current != sector || previousSector == nullptr) {
                ranOut = true;
                break;
            }
            current = previousSector;
            offset = kSectorSize;
        }
        offset -= kDirEntrySize;
        const std::uint8_t* entry = current + offset;
        if (entry[kDirEntryAttributes] != kAttrLongName || (checkSum && entry[kLongNameChecksum] != checksum))
            break;
        ++entries;
        for (std::uint32_t at : kLongNameCharOffsets) {
            const char16_t character = ReadLittleEndian16(entry + at);
            if (character == 0) {
                complete = true;
                break;
            }
            out[length++] = character;
        }
        if (complete || entry[0] == entries + kLongNameLastFlag || length > kLongNameCompleteAfter) {
            complete = true;
            break;
        }
    }
    out[length] = 0;
    if (complete)
        return length == 0;
    // The entry before is no long-name entry: the name has no more parts, and it stands when it fills
    // its entries exactly (a deleted name has lost the sequence byte that would have said so). Running
    // out of sectors says nothing about the parts before: the short name stays.
    return ranOut || length == 0 || length % kLongNameCharsPerEntry != 0;
}

int IsValidFileName(const char16_t* name)
{
    for (; *name != 0; ++name) {
        const char16_t c = *name;
        if (c < 32 || c == u'"' || c == u'\\' || c == u'/' || c == u'?' || c == u'*' || c == u'<' ||
            c == u'>' || c == u'|')
            return 0;
    }
    return 1;
}

void ParseFatDirSector(const std::uint8_t* sector, std::uint32_t parentCluster, bool* directoryEnd,
                       std::uint32_t deleted, std::uint16_t firstEntry, const std::uint8_t* previousSector)
{
    ShowPanelNumber(ScanPanelLabel::CurrentSector, parentCluster);
    // The progress measures entries against the clusters of the range being read; a range of unknown
    // size shows none.
    const std::uint64_t progressTotal =
        VolumeParams.sectorsPerCluster != 0 ? VolumeParams.rangeCount / VolumeParams.sectorsPerCluster : 0;
    DeletedState deletedState(deleted);
    DirEntryInfo info;
    for (std::uint32_t index = firstEntry; index < kDirEntriesPerSector; ++index) {
        if (StopRequested())
            return;
        const EntryKind kind = DecodeEntry(sector, index, previousSector, info);
        if (kind == EntryKind::End) {
            *directoryEnd = true;
            return;
        }
        if (kind == EntryKind::Skip)
            continue;
        const std::uint32_t entryDeleted = deletedState.For(info);
        if (StopRequested())
            return;

        if (info.folder) {
            const std::uint32_t before = folderCount;
            AddFatFolderRec(info.name, info.firstCluster, parentCluster, info.writeDate, info.accessDate, 0,
                            entryDeleted);
            if (folderCount != before && folderCount % kPanelCountEvery == 0)
                ShowPanelNumber(ScanPanelLabel::FolderCount, folderCount);
        } else {
            AddFatFileRec(info.name, info.firstCluster, parentCluster, info.writeDate, info.accessDate,
                          info.size, entryDeleted);
            listedBytes += info.size;
            ++fileCount;
            if (fileCount % kPanelCountEvery == 0)
                ShowPanelNumber(ScanPanelLabel::FileCount, fileCount);
        }
        ++entriesDone;
        UiScanPanel().SetProgressPos(ProgressPercent(entriesDone, progressTotal));
        if (ScanDetailsShown != 0)
            UiScanPanel().SetLabelText(ScanPanelLabel::LastName, info.name);
    }
}

void ParseFolderSectors(std::uint8_t* buffer, std::uint32_t parentCluster, bool* directoryEnd,
                        std::uint32_t firstSector, std::uint32_t sectorCount, std::uint32_t deleted,
                        std::uint16_t firstEntry)
{
    if (sectorCount == 0)
        return;
    ReadSectors(0, firstSector, 0, sectorCount, buffer);
    DeletedState deletedState(deleted);
    DirEntryInfo info;
    for (std::uint32_t sectorIndex = 0; sectorIndex < sectorCount; ++sectorIndex) {
        const std::uint8_t* sector = buffer + static_cast<std::size_t>(sectorIndex) * kSectorSize;
        const std::uint8_t* previousSector = sectorIndex > 0 ? sector - kSectorSize : nullptr;
        for (std::uint32_t index = sectorIndex == 0 ? firstEntry : 0; index < kDirEntriesPerSector; ++index) {
            if (StopRequested())
                return;
            const EntryKind kind = DecodeEntry(sector, index, previousSector, info);
            if (kind == EntryKind::End) {
                *directoryEnd = true;
                return;
            }
            if (kind == EntryKind::Skip)
                continue;
            const std::uint32_t entryDeleted = deletedState.For(info);
            if (info.folder && info.size == 0) {
                if (FatFolderRec* folder = FindFolder(parentCluster, info.firstCluster)) {
                    char16_t* name = CopyText(info.name);
                    std::free(folder->name);
                    folder->name = name;
                    folder->deleted = entryDeleted;
                }
                continue;
            }
            AddFatFileRec(info.name, info.firstCluster, parentCluster, info.writeDate, info.accessDate,
                          info.size, entryDeleted);
            ++fileCount;
        }
    }
}
