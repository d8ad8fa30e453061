#include "engine/recovery/ntfs/ntfs_mft_numbering.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_index_parse.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"

namespace {

constexpr char16_t kStep1Text[] = u"Assigning MFT numbers ( Step 1/2 ) - ";
constexpr char16_t kStep2Text[] = u"Assigning MFT numbers ( Step 2/2 )...";
constexpr char16_t kDeletingText[] = u"Deleting unused index entries...";

// Index entry: the file reference of the entry's record, then its $FILE_NAME key from 16 on.
constexpr std::size_t kEntryReference = 0;                            // u64; low 32 bits used
constexpr std::size_t kEntryParent = kEntryKey + kFileNameParent;     // u32 of the u64
constexpr std::size_t kEntryCreation = kEntryKey + kFileNameCreation; // u64
constexpr std::size_t kEntryFileAttributes = kEntryKey + 56;          // u32
constexpr std::size_t kEntryNameLength = kEntryKey + kFileNameLength; // u8, UTF-16 units
constexpr std::size_t kEntryName = kEntryKey + kFileNameText;
// File attribute of a $FILE_NAME that names a folder.
constexpr std::uint32_t kFolderAttribute = 0x10000000;
// The status text of step 1 names the record being read; it moves every this many records.
constexpr std::uint32_t kRecordsPerStatus = 64;

// The panel's progress bar, moved only when its percentage changes.
class PanelProgress
{
public:
    void Show(std::uint32_t percent)
    {
        if (percent != shown) {
            shown = percent;
            UiScanPanel().SetProgressPos(percent);
        }
    }

private:
    std::uint32_t shown = 0xFFFFFFFF;
};

// What an index entry and a folder record have in common.
struct FolderKey
{
    std::uint64_t creationTime = 0;
    std::uint32_t parentNumber = 0;
    std::u16string name;

    bool operator==(const FolderKey&) const = default;
};

struct FolderKeyHash
{
    std::size_t operator()(const FolderKey& key) const
    {
        std::size_t hash = std::hash<std::u16string>()(key.name);
        hash ^=
            std::hash<std::uint64_t>()(key.creationTime) + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
        hash ^=
            std::hash<std::uint32_t>()(key.parentNumber) + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
        return hash;
    }
};

// The folder nodes still without a number, by key, each group in list order: the first node of a group
// that still has no number is the one that the walk from the list's head would find.
class UnnumberedFolders
{
public:
    UnnumberedFolders()
    {
        for (NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next)
            if (node->folderNumber == 0)
                groups[{node->creationTime, node->parentNumber, node->name}].nodes.push_back(node);
    }

    bool Empty() const { return groups.empty(); }

    NtfsFolderNode* First(const FolderKey& key)
    {
        const auto found = groups.find(key);
        if (found == groups.end())
            return nullptr;
        Group& group = found->second;
        while (group.next < group.nodes.size() && group.nodes[group.next]->folderNumber != 0)
            ++group.next;
        return group.next < group.nodes.size() ? group.nodes[group.next] : nullptr;
    }

private:
    struct Group
    {
        std::vector<NtfsFolderNode*> nodes;
        std::size_t next = 0;
    };
    std::unordered_map<FolderKey, Group, FolderKeyHash> groups;
};

// The folder entries of one fixed-up index record of `size` bytes. Every read stays within the record:
// the first entry's offset, each entry's length and its name are bounded by the record's end.
void NumberFoldersFromIndexRecord(const std::uint8_t* record, std::uint32_t size, UnnumberedFolders& folders)
{
    FolderKey key;
    std::uint64_t entry =
        static_cast<std::uint64_t>(ReadLittleEndian32(record, kIndexEntriesOffset)) + kIndexHeader;
    while (entry + kEntryName <= size) {
        const auto at = static_cast<std::size_t>(entry);
        const std::uint32_t nameLength = record[at + kEntryNameLength];
        if (nameLength == 0 || entry + kEntryName + 2 * nameLength > size)
            break;
        if (ReadLittleEndian32(record, at + kEntryFileAttributes) & kFolderAttribute) {
            key.creationTime = ReadLittleEndian64(record, at + kEntryCreation);
            key.parentNumber = ReadLittleEndian32(record, at + kEntryParent);
            key.name.resize(nameLength);
            for (std::uint32_t unit = 0; unit < nameLength; ++unit)
                key.name[unit] =
                    static_cast<char16_t>(ReadLittleEndian16(record, at + kEntryName + 2 * unit));
            // A name holding a NUL unit can never equal a node's name, which ends at its first NUL.
            if (NtfsFolderNode* node = folders.First(key))
                node->folderNumber = ReadLittleEndian32(record, at + kEntryReference);
        }
        const std::uint16_t length = ReadLittleEndian16(record, at + kEntryLength);
        if (length == 0)
            break;
        entry += length;
    }
}

void NumberFromParentIndexes(PanelProgress& progress)
{
    UnnumberedFolders folders;
    const std::uint32_t count = ntfsIndexNodeCount;
    auto* record = static_cast<std::uint8_t*>(EngineAlloc(kIndexRecordMaximum));
    std::uint32_t visited = 0;
    for (const NtfsIndexNode* node = ntfsIndexNodes.head; node; node = node->next) {
        ++visited;
        if (visited % kRecordsPerStatus == 1 || visited == count)
            UiScanPanel().SetStatusText(
                (kStep1Text + DecimalText(visited) + u" \\ " + DecimalText(count)).c_str());
        progress.Show(count == 0 ? 100
                                 : static_cast<std::uint32_t>(
                                       std::min<std::uint64_t>(100, std::uint64_t{visited} * 100 / count)));
        const std::uint32_t size = static_cast<std::uint32_t>(node->sectorCount) * kSectorSize;
        // Nothing to match once every folder has its number; the walk only reports then.
        if (folders.Empty() || size == 0)
            continue;
        // A failed read gives zeros, which are no index record.
        ReadSectors(0, node->sector, 0, node->sectorCount, record);
        if (!HasSignature(record, "INDX"))
            continue;
        ApplyFixup(record, size);
        NumberFoldersFromIndexRecord(record, size, folders);
    }
    std::free(record);
}

// The number that an NTFS 3.1 record keeps in its own header; 0 when it keeps none.
std::uint32_t OwnRecordNumber(std::uint32_t recordSector)
{
    std::uint8_t record[kMftRecordSize];
    if (!ReadSectors(0, recordSector, 0, kMftRecordSectors, record) || !HasSignature(record, "FILE") ||
        ReadLittleEndian16(record, kRecordUsaOffset) < kRecordUsaAfterOwnNumber)
        return 0;
    const std::uint32_t number = ReadLittleEndian32(record, kRecordOwnNumber);
    return number == 0xFFFFFFFF ? 0 : number;
}

void NumberByPosition(PanelProgress& progress)
{
    UiScanPanel().SetStatusText(kStep2Text);
    std::uint32_t previousSector = 0;
    std::uint32_t previousNumber = 1;
    std::uint64_t visited = 0;
    for (NtfsFolderNode* node = ntfsFolderNodes.head; node; node = node->next, ++visited) {
        progress.Show(ProgressPercent(visited, foundFolderCount));
        if (node->folderNumber == 0) {
            // The header's own number is exact; the position is a guess that holds only while the MFT
            // runs on without a gap between the two records.
            std::uint32_t number = OwnRecordNumber(node->recordSector);
            if (number == 0) {
                const std::int64_t distance =
                    static_cast<std::int64_t>(node->recordSector) - static_cast<std::int64_t>(previousSector);
                number = previousSector == 0 || distance <= 0 || distance % 2 != 0
                             ? previousNumber + 1
                             : previousNumber + static_cast<std::uint32_t>(distance / 2);
            }
            node->folderNumber = number;
        }
        previousSector = node->recordSector;
        previousNumber = node->folderNumber;
    }
}

} // namespace

void AssignMftNumbers()
{
    PanelProgress progress;
    progress.Show(0);
    UiScanPanel().SetStatusText(kStep1Text);
    try {
        NumberFromParentIndexes(progress);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
    NumberByPosition(progress);
}

void DeleteUnusedIndexNodes()
{
    UiScanPanel().SetStatusText(kDeletingText);
    PanelProgress progress;
    progress.Show(0);
    const std::uint32_t start = ntfsIndexNodeCount;
    std::uint64_t visited = 0;
    NtfsIndexNode* previous = nullptr;
    for (NtfsIndexNode* node = ntfsIndexNodes.head; node;) {
        NtfsIndexNode* next = node->next;
        if (node->vcn != 0) {
            if (previous)
                previous->next = next;
            else
                ntfsIndexNodes.head = next;
            if (ntfsIndexNodes.tail == node)
                ntfsIndexNodes.tail = previous;
            std::free(node);
            --ntfsIndexNodeCount;
        } else {
            previous = node;
        }
        progress.Show(ProgressPercent(++visited, start));
        node = next;
    }
}
