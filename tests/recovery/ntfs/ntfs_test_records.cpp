#include "ntfs_test_records.h"

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value)
{
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU64(Bytes& bytes, std::size_t offset, std::uint64_t value)
{
    PutU32(bytes, offset, static_cast<std::uint32_t>(value));
    PutU32(bytes, offset + 4, static_cast<std::uint32_t>(value >> 32));
}

Bytes FileNameValue(std::uint32_t parent, const std::u16string& name, std::uint8_t nameSpace,
                    std::uint64_t creation, std::uint64_t change, std::uint32_t fileAttributes)
{
    Bytes value(66 + 2 * name.size(), 0);
    PutU64(value, 0, parent | 0x0001000000000000ull);
    PutU64(value, 8, creation);
    PutU64(value, 16, creation);
    PutU64(value, 24, change);
    PutU64(value, 32, change);
    PutU32(value, 56, fileAttributes);
    value[64] = static_cast<std::uint8_t>(name.size());
    value[65] = nameSpace;
    for (std::size_t i = 0; i < name.size(); ++i)
        PutU16(value, 66 + 2 * i, name[i]);
    return value;
}

Bytes RunEntry(std::uint32_t length, std::int64_t offset, unsigned lengthWidth, unsigned offsetWidth)
{
    Bytes entry{static_cast<std::uint8_t>(lengthWidth | offsetWidth << 4)};
    for (unsigned i = 0; i < lengthWidth; ++i)
        entry.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(length) >> (8 * i)));
    for (unsigned i = 0; i < offsetWidth; ++i)
        entry.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(offset) >> (8 * i)));
    return entry;
}

Bytes AttributeListEntry(std::uint32_t type, std::uint32_t recordNumber, std::uint64_t startVcn,
                         std::uint16_t attributeId)
{
    Bytes entry(32, 0);
    PutU32(entry, 0, type);
    PutU16(entry, 4, 32);
    entry[7] = 26;
    PutU64(entry, 8, startVcn);
    PutU64(entry, 16, recordNumber | 0x0001000000000000ull);
    PutU16(entry, 24, attributeId);
    return entry;
}

RecordMaker::RecordMaker(std::uint16_t flags, std::uint64_t baseReference) : bytes(1024, 0), next(56)
{
    bytes[0] = 'F';
    bytes[1] = 'I';
    bytes[2] = 'L';
    bytes[3] = 'E';
    PutU16(bytes, 4, 48); // update sequence at 48: number and two saved pairs
    PutU16(bytes, 6, 3);
    PutU16(bytes, 16, 1); // sequence number
    PutU16(bytes, 18, 1); // link count
    PutU16(bytes, 20, 56);
    PutU16(bytes, 22, flags);
    PutU32(bytes, 28, 1024);
    PutU64(bytes, 32, baseReference);
}

std::uint32_t RecordMaker::AddResident(std::uint32_t type, const Bytes& value, const std::u16string& name)
{
    const std::uint32_t at = next;
    const std::uint32_t nameBytes = static_cast<std::uint32_t>((2 * name.size() + 7) & ~std::size_t{7});
    const std::uint32_t valueOffset = 24 + nameBytes;
    const std::uint32_t length =
        static_cast<std::uint32_t>((valueOffset + value.size() + 7) & ~std::size_t{7});
    PutU32(bytes, at, type);
    PutU32(bytes, at + 4, length);
    bytes[at + 8] = 0;
    bytes[at + 9] = static_cast<std::uint8_t>(name.size());
    PutU16(bytes, at + 10, 24);
    PutU32(bytes, at + 16, static_cast<std::uint32_t>(value.size()));
    PutU16(bytes, at + 20, static_cast<std::uint16_t>(valueOffset));
    for (std::size_t i = 0; i < name.size(); ++i)
        PutU16(bytes, at + 24 + 2 * i, name[i]);
    for (std::size_t i = 0; i < value.size(); ++i)
        bytes[at + valueOffset + i] = value[i];
    next += length;
    return at;
}

std::uint32_t RecordMaker::AddNonResident(std::uint32_t type, const Bytes& runs, std::uint64_t realSize,
                                          std::uint64_t startVcn, const std::u16string& name)
{
    const std::uint32_t at = next;
    const std::uint32_t nameBytes = static_cast<std::uint32_t>((2 * name.size() + 7) & ~std::size_t{7});
    const std::uint32_t runOffset = 64 + nameBytes;
    const std::uint32_t length =
        static_cast<std::uint32_t>((runOffset + runs.size() + 1 + 7) & ~std::size_t{7});
    PutU32(bytes, at, type);
    PutU32(bytes, at + 4, length);
    bytes[at + 8] = 1;
    bytes[at + 9] = static_cast<std::uint8_t>(name.size());
    PutU16(bytes, at + 10, 64);
    PutU64(bytes, at + 16, startVcn);
    PutU16(bytes, at + 32, static_cast<std::uint16_t>(runOffset));
    PutU64(bytes, at + 40, (realSize + 4095) & ~std::uint64_t{4095});
    PutU64(bytes, at + 48, realSize);
    PutU64(bytes, at + 56, realSize);
    for (std::size_t i = 0; i < name.size(); ++i)
        PutU16(bytes, at + 64 + 2 * i, name[i]);
    for (std::size_t i = 0; i < runs.size(); ++i)
        bytes[at + runOffset + i] = runs[i];
    next += length;
    return at;
}

std::uint32_t RecordMaker::AddFileName(std::uint32_t parent, const std::u16string& name,
                                       std::uint8_t nameSpace)
{
    return AddResident(0x30, FileNameValue(parent, name, nameSpace));
}

std::uint32_t RecordMaker::AddRaw(const Bytes& attribute)
{
    const std::uint32_t at = next;
    for (std::size_t i = 0; i < attribute.size(); ++i)
        bytes[at + i] = attribute[i];
    next += static_cast<std::uint32_t>(attribute.size());
    return at;
}

std::uint32_t RecordMaker::AddIndexRoot(std::uint32_t folderNumber, const std::u16string& firstName)
{
    Bytes value(32, 0);
    PutU32(value, 0, 0x30); // indexed attribute: $FILE_NAME
    PutU32(value, 4, 1);    // collation by file name
    PutU32(value, 8, 4096); // index record size
    value[12] = 1;
    PutU32(value, 16, 16); // first entry right after the node header
    Bytes entry;
    if (folderNumber != 0) {
        const Bytes key = FileNameValue(folderNumber, firstName, 1);
        entry.assign(16 + ((key.size() + 7) & ~std::size_t{7}), 0);
        PutU64(entry, 0, 100);
        PutU16(entry, 8, static_cast<std::uint16_t>(entry.size()));
        PutU16(entry, 10, static_cast<std::uint16_t>(key.size()));
        for (std::size_t i = 0; i < key.size(); ++i)
            entry[16 + i] = key[i];
    }
    Bytes last(16, 0);
    PutU16(last, 8, 16);
    PutU16(last, 12, 2);
    value.insert(value.end(), entry.begin(), entry.end());
    value.insert(value.end(), last.begin(), last.end());
    PutU32(value, 20, static_cast<std::uint32_t>(value.size() - 16));
    PutU32(value, 24, static_cast<std::uint32_t>(value.size() - 16));
    return AddResident(0x90, value, u"$I30");
}

Bytes RecordMaker::Finish() const
{
    Bytes disk = bytes;
    PutU32(disk, next, 0xFFFFFFFF);
    PutU32(disk, 24, next + 8);
    const std::uint16_t sequence = 0x0007;
    PutU16(disk, 48, sequence);
    for (int sector = 0; sector < 2; ++sector) {
        const std::size_t tail = 512 * sector + 510;
        disk[50 + 2 * sector] = disk[tail];
        disk[51 + 2 * sector] = disk[tail + 1];
        PutU16(disk, tail, sequence);
    }
    return disk;
}

Bytes MakeIndexRecord(std::uint32_t size, std::uint32_t parent, std::uint64_t vcn)
{
    Bytes record(size, 0);
    record[0] = 'I';
    record[1] = 'N';
    record[2] = 'D';
    record[3] = 'X';
    const std::uint16_t sectors = static_cast<std::uint16_t>(size / 512);
    PutU16(record, 4, 40);
    PutU16(record, 6, static_cast<std::uint16_t>(sectors + 1));
    PutU64(record, 16, vcn);
    const std::uint32_t firstEntry = (40 + 2 * (sectors + 1u) + 7) & ~7u;
    PutU32(record, 24, firstEntry - 24);
    const Bytes key = FileNameValue(parent, u"entry.txt", 1);
    const std::uint32_t entryLength = static_cast<std::uint32_t>(16 + ((key.size() + 7) & ~std::size_t{7}));
    PutU64(record, firstEntry, 200);
    PutU16(record, firstEntry + 8, static_cast<std::uint16_t>(entryLength));
    PutU16(record, firstEntry + 10, static_cast<std::uint16_t>(key.size()));
    for (std::size_t i = 0; i < key.size(); ++i)
        record[firstEntry + 16 + i] = key[i];
    const std::uint32_t last = firstEntry + entryLength;
    PutU16(record, last + 8, 16);
    PutU16(record, last + 12, 2);
    PutU32(record, 28, last + 16 - 24);
    PutU32(record, 32, size - 24);
    const std::uint16_t sequence = 0x0003;
    PutU16(record, 40, sequence);
    for (std::uint16_t sector = 0; sector < sectors; ++sector) {
        const std::size_t tail = 512 * sector + 510;
        record[42 + 2 * sector] = record[tail];
        record[43 + 2 * sector] = record[tail + 1];
        PutU16(record, tail, sequence);
    }
    return record;
}

Bytes NtfsBootSector(std::uint8_t sectorsPerCluster, std::uint32_t mftCluster, std::uint32_t mirrorCluster,
                     std::uint64_t totalSectors, std::uint8_t indexRecordSize)
{
    Bytes boot(512, 0);
    const char oem[] = "\xEB\x52\x90NTFS    ";
    for (int i = 0; i < 11; ++i)
        boot[i] = static_cast<std::uint8_t>(oem[i]);
    PutU16(boot, 11, 512);
    boot[13] = sectorsPerCluster;
    boot[21] = 0xF8;
    PutU64(boot, 40, totalSectors);
    PutU64(boot, 48, mftCluster);
    PutU64(boot, 56, mirrorCluster);
    boot[64] = 0xF6;
    boot[68] = indexRecordSize;
    boot[510] = 0x55;
    boot[511] = 0xAA;
    return boot;
}

RecordMaker MftRecordMaker(const Bytes& runs, std::uint64_t dataSize)
{
    RecordMaker maker(1);
    maker.AddResident(0x10, Bytes(72, 0));
    maker.AddFileName(5, u"$MFT", 3);
    maker.AddNonResident(0x80, runs, dataSize);
    return maker;
}

RecordMaker RootFolderMaker()
{
    RecordMaker maker(3);
    maker.AddResident(0x10, Bytes(72, 0));
    maker.AddFileName(5, u".", 3);
    maker.AddIndexRoot(5);
    return maker;
}
