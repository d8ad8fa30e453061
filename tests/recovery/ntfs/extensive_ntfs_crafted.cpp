#include "extensive_ntfs_crafted.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Index record layout as format tools write it: update sequence at 40, entries from 64 (8 sectors).
constexpr std::uint32_t kIndexUsaOffset = 40;
constexpr std::uint32_t kEndEntrySize = 16;
constexpr std::uint32_t kFolderAttribute = 0x10000000;
constexpr std::uint32_t kFirstUserRecord = 16;
constexpr std::size_t kRecordNumberField = 44;

std::uint32_t FirstEntryOffset(std::uint32_t size)
{
    return (kIndexUsaOffset + 2 * (size / 512 + 1) + 7) & ~7u;
}

std::uint32_t EntrySize(const std::u16string& name)
{
    return 16 + ((66 + 2 * static_cast<std::uint32_t>(name.size()) + 7) & ~7u);
}

} // namespace

Bytes IndexRecordWithEntries(std::uint32_t folder, std::uint64_t vcn,
                             const std::vector<std::pair<std::uint32_t, std::u16string>>& children,
                             const std::vector<bool>& folders, std::uint32_t size)
{
    Bytes record(size, 0);
    record[0] = 'I';
    record[1] = 'N';
    record[2] = 'D';
    record[3] = 'X';
    const std::uint16_t sectors = static_cast<std::uint16_t>(size / 512);
    PutU16(record, 4, kIndexUsaOffset);
    PutU16(record, 6, static_cast<std::uint16_t>(sectors + 1));
    PutU64(record, 16, vcn);
    const std::uint32_t first = FirstEntryOffset(size);
    PutU32(record, 24, first - 24);
    std::uint32_t at = first;
    for (std::size_t index = 0; index < children.size(); ++index) {
        const auto& [number, name] = children[index];
        const Bytes key = FileNameValue(folder, name, 1, 0x01D0000000000001, 0x01D0000000000002,
                                        folders[index] ? kFolderAttribute : 0);
        const std::uint32_t length = EntrySize(name);
        if (at + length + kEndEntrySize > size)
            throw std::length_error("index entries do not fit the record");
        PutU64(record, at, number | 0x0001000000000000ull);
        PutU16(record, at + 8, static_cast<std::uint16_t>(length));
        PutU16(record, at + 10, static_cast<std::uint16_t>(key.size()));
        std::copy(key.begin(), key.end(), record.begin() + at + 16);
        at += length;
    }
    PutU16(record, at + 8, kEndEntrySize);
    PutU16(record, at + 12, 2);
    PutU32(record, 28, at + kEndEntrySize - 24);
    PutU32(record, 32, size - 24);
    const std::uint16_t sequence = 0x0005;
    PutU16(record, kIndexUsaOffset, sequence);
    for (std::uint16_t sector = 0; sector < sectors; ++sector) {
        const std::size_t tail = 512 * sector + 510;
        record[kIndexUsaOffset + 2 + 2 * sector] = record[tail];
        record[kIndexUsaOffset + 3 + 2 * sector] = record[tail + 1];
        PutU16(record, tail, sequence);
    }
    return record;
}

CraftedNtfsVolume::CraftedNtfsVolume(std::uint32_t base, std::uint32_t sectorsPerCluster)
    : base(base), sectorsPerCluster(sectorsPerCluster), records(kFirstUserRecord)
{
    Entry root;
    root.used = true;
    root.folder = true;
    root.withAllocation = true;
    root.name = u".";
    root.parent = kCraftedRoot;
    records[kCraftedRoot] = root;
}

std::uint32_t CraftedNtfsVolume::Add(Entry entry)
{
    const auto number = static_cast<std::uint32_t>(records.size());
    entry.used = true;
    records.push_back(entry);
    if (entry.parent < records.size() && !entry.deleted)
        records[entry.parent].children.push_back(number);
    return number;
}

std::uint32_t CraftedNtfsVolume::AddFolder(const std::u16string& name, std::uint32_t parent,
                                           bool withAllocation, bool deleted)
{
    Entry entry;
    entry.folder = true;
    entry.name = name;
    entry.parent = parent;
    entry.withAllocation = withAllocation;
    entry.deleted = deleted;
    return Add(entry);
}

std::uint32_t CraftedNtfsVolume::AddFile(const std::u16string& name, std::uint32_t parent, std::uint32_t size,
                                         bool deleted)
{
    Entry entry;
    entry.name = name;
    entry.parent = parent;
    entry.size = std::min<std::uint32_t>(size, 600);
    entry.deleted = deleted;
    return Add(entry);
}

std::uint32_t CraftedNtfsVolume::ClustersPerIndexRecord() const
{
    return std::max<std::uint32_t>(1, kIndexRecordSize / 512 / sectorsPerCluster);
}

void CraftedNtfsVolume::Build()
{
    const std::uint32_t mftSectors = 2 * static_cast<std::uint32_t>(records.size());
    std::uint32_t cluster = kMftCluster + (mftSectors + sectorsPerCluster - 1) / sectorsPerCluster + 1;
    const std::uint32_t capacity = kIndexRecordSize - FirstEntryOffset(kIndexRecordSize) - kEndEntrySize;
    for (Entry& entry : records) {
        if (!entry.used || !entry.folder || !entry.withAllocation)
            continue;
        std::uint32_t count = 1;
        std::uint32_t used = 0;
        for (const std::uint32_t child : entry.children) {
            const std::uint32_t size = EntrySize(records[child].name);
            if (used + size > capacity) {
                ++count;
                used = 0;
            }
            used += size;
        }
        entry.firstCluster = cluster;
        entry.indexRecords = count;
        cluster += count * ClustersPerIndexRecord();
    }
    mirrorCluster = cluster;
    cluster += (8 + sectorsPerCluster - 1) / sectorsPerCluster;
    totalSectors = (cluster + 2) * sectorsPerCluster + 1;
}

std::uint64_t CraftedNtfsVolume::RecordSector(std::uint32_t number) const
{
    return base + std::uint64_t{kMftCluster} * sectorsPerCluster + 2ull * number;
}

std::uint64_t CraftedNtfsVolume::IndexRecordSector(std::uint32_t folder) const
{
    return base + std::uint64_t{records.at(folder).firstCluster} * sectorsPerCluster;
}

std::uint32_t CraftedNtfsVolume::FirstIndexCluster(std::uint32_t folder) const
{
    return records.at(folder).firstCluster;
}

Bytes CraftedNtfsVolume::RecordBytes(std::uint32_t number, bool ownNumber) const
{
    const Entry& entry = records.at(number);
    if (number == 0) {
        const std::uint32_t clusters = (2 * RecordCount() + sectorsPerCluster - 1) / sectorsPerCluster;
        RecordMaker mft =
            MftRecordMaker(RunEntry(clusters, kMftCluster, 4, 4), std::uint64_t{RecordCount()} * 1024);
        if (ownNumber)
            PutU32(mft.bytes, kRecordNumberField, 0);
        return mft.Finish();
    }
    if (!entry.used)
        return Bytes(1024, 0);
    RecordMaker maker(entry.folder ? (entry.deleted ? 2 : 3) : (entry.deleted ? 0 : 1));
    maker.AddResident(0x10, Bytes(72, 0));
    maker.AddFileName(entry.parent, entry.name);
    if (entry.folder) {
        if (entry.withAllocation) {
            maker.AddIndexRoot(0);
            maker.AddNonResident(
                0xA0, RunEntry(entry.indexRecords * ClustersPerIndexRecord(), entry.firstCluster, 4, 4),
                std::uint64_t{entry.indexRecords} * kIndexRecordSize, 0, u"$I30");
        } else if (entry.children.empty()) {
            maker.AddIndexRoot(0);
        } else {
            maker.AddIndexRoot(number, records[entry.children.front()].name);
        }
    } else {
        maker.AddResident(0x80, Bytes(entry.size, 0x41));
    }
    if (ownNumber)
        PutU32(maker.bytes, kRecordNumberField, number);
    return maker.Finish();
}

std::vector<Bytes> CraftedNtfsVolume::IndexRecordBytes(std::uint32_t folder) const
{
    const Entry& entry = records.at(folder);
    std::vector<Bytes> result;
    const std::uint32_t capacity = kIndexRecordSize - FirstEntryOffset(kIndexRecordSize) - kEndEntrySize;
    std::vector<std::pair<std::uint32_t, std::u16string>> children;
    std::vector<bool> folders;
    std::uint32_t used = 0;
    auto flush = [&] {
        result.push_back(
            IndexRecordWithEntries(folder, result.size() * ClustersPerIndexRecord(), children, folders));
        children.clear();
        folders.clear();
        used = 0;
    };
    for (const std::uint32_t child : entry.children) {
        const std::uint32_t size = EntrySize(records[child].name);
        if (used + size > capacity)
            flush();
        children.emplace_back(child, records[child].name);
        folders.push_back(records[child].folder);
        used += size;
    }
    flush();
    return result;
}

void CraftedNtfsVolume::WriteTo(TempVolume& volume, bool ownNumbers, bool bootSectors) const
{
    if (bootSectors) {
        const Bytes boot = NtfsBootSector(static_cast<std::uint8_t>(sectorsPerCluster), kMftCluster,
                                          mirrorCluster, totalSectors - 1);
        volume.Write(std::uint64_t{base} * 512, boot);
        volume.Write((std::uint64_t{base} + totalSectors - 1) * 512, boot);
    }
    Bytes mft;
    mft.reserve(records.size() * 1024);
    for (std::uint32_t number = 0; number < records.size(); ++number) {
        const Bytes record = RecordBytes(number, ownNumbers);
        mft.insert(mft.end(), record.begin(), record.end());
    }
    volume.Write(RecordSector(0) * 512, mft);
    volume.Write((base + std::uint64_t{mirrorCluster} * sectorsPerCluster) * 512,
                 Bytes(mft.begin(), mft.begin() + 4 * 1024));
    for (std::uint32_t number = 0; number < records.size(); ++number) {
        const Entry& entry = records[number];
        if (!entry.used || !entry.folder || !entry.withAllocation)
            continue;
        Bytes all;
        for (const Bytes& record : IndexRecordBytes(number))
            all.insert(all.end(), record.begin(), record.end());
        volume.Write(IndexRecordSector(number) * 512, all);
    }
}
