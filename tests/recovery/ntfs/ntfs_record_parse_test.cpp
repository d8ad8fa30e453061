// File records as the parsers read them: fixup, the attribute walk, names, data sizes and attribute
// lists, each against hand-made records and records broken in one field.
#include <gtest/gtest.h>

#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "ntfs_test_records.h"

namespace {

Bytes Fixed(const RecordMaker& maker)
{
    Bytes record = maker.Finish();
    ApplyFixup(record.data(), record.size());
    return record;
}

std::u16string PreferredName(const Bytes& record)
{
    NtfsFileNameInfo info;
    return FindPreferredFileName(record.data(), info) ? std::u16string(info.name) : u"<none>";
}

TEST(NtfsLittleEndian, ComposesOneToFourBytes)
{
    const std::uint8_t bytes[] = {0x80, 0x7F, 0x00, 0xFF, 0x12, 0x34};
    EXPECT_EQ(ReadSignedLE(bytes, 2), 32640);    // 0x7F80
    EXPECT_EQ(ReadSignedLE(bytes + 2, 2), -256); // 0xFF00
    EXPECT_EQ(ReadSignedLE(bytes, 1), -128);
    EXPECT_EQ(ReadSignedLE(bytes + 1, 1), 127);
    EXPECT_EQ(ReadUnsignedLE(bytes + 2, 2), 0xFF00u);
    EXPECT_EQ(ReadUnsignedLE(bytes, 4), 0xFF007F80u);
    EXPECT_EQ(ReadSignedLE(bytes, 4), static_cast<std::int32_t>(0xFF007F80u));
    EXPECT_EQ(ReadUnsignedLE(bytes, 5), 0u);
    EXPECT_EQ(ReadSignedLE(bytes, 0), 0);
}

TEST(NtfsFixup, PutsBackTheSectorTails)
{
    RecordMaker maker;
    maker.bytes[510] = 0xAB;
    maker.bytes[511] = 0xCD;
    maker.bytes[1022] = 0xEF;
    Bytes record = maker.Finish();
    ASSERT_EQ(record[510], 0x07);
    ApplyFixup(record.data(), record.size());
    EXPECT_EQ(record[510], 0xAB);
    EXPECT_EQ(record[511], 0xCD);
    EXPECT_EQ(record[1022], 0xEF);
}

TEST(NtfsFixup, StopsAtTheEndOfTheBufferWhateverTheCountSays)
{
    struct Case
    {
        const char* name;
        std::uint16_t arrayOffset;
        std::uint16_t count;
        std::size_t size;
        std::uint8_t expectedFirstTail; // byte 510 afterwards
    };
    const Case cases[] = {
        {"count far beyond the record", 48, 0xFFFF, 1024, 0xAA},
        {"array at the very end", 1020, 3, 1024, 0xAA},
        {"array past the end", 0xFFF0, 3, 1024, 0x07},
        {"count 1 changes nothing", 48, 1, 1024, 0x07},
        {"count 0 changes nothing", 48, 0, 1024, 0x07},
        {"buffer of one sector", 48, 3, 512, 0xAA},
        {"buffer shorter than a sector", 48, 3, 300, 0x07},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Exactly `size` bytes on the heap, so that the sanitizer sees any byte read or written beyond.
        Bytes record(c.size, 0x07);
        PutU16(record, 4, c.arrayOffset);
        PutU16(record, 6, c.count);
        for (std::size_t i = 50; i + 1 < c.size && i < 50 + 2 * 200; ++i)
            record[i] = 0xAA;
        if (c.arrayOffset + 4u <= c.size) {
            record[c.arrayOffset + 2u] = 0xAA;
            record[c.arrayOffset + 3u] = 0xAA;
        }
        ApplyFixup(record.data(), record.size());
        if (c.size > 510) {
            EXPECT_EQ(record[510], c.expectedFirstTail);
        }
    }
}

TEST(NtfsAttributeWalk, EndsOnLengthsThatWouldNotAdvanceOrPassTheRecord)
{
    struct Case
    {
        const char* name;
        bool breakLength;
        std::uint32_t length; // of the second attribute
        std::uint16_t firstOffset;
        int expectedAttributes;
    };
    const Case cases[] = {
        {"sound record", false, 0, 56, 3},
        {"length 0", true, 0, 56, 1},
        {"length shorter than a header", true, 8, 56, 1},
        {"length past the record", true, 2000, 56, 1},
        {"length in the high half only", true, 0x00010000, 56, 1},
        {"first offset near the end", false, 0, 1010, 0},
        {"first offset beyond the record", false, 0, 0xFFFF, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordMaker maker;
        maker.AddResident(0x10, Bytes(48, 0));
        const std::uint32_t second = maker.AddFileName(5, u"name.txt");
        maker.AddResident(0x80, Bytes(10, 1));
        Bytes record = Fixed(maker);
        if (c.breakLength)
            PutU32(record, second + 4, c.length);
        PutU16(record, 20, c.firstOffset);
        NtfsAttributeWalk walk(record.data());
        NtfsAttribute attribute;
        int seen = 0;
        while (walk.Next(attribute) && seen < 1000)
            ++seen;
        EXPECT_EQ(seen, c.expectedAttributes);
    }
}

TEST(NtfsFileName, PrefersWin32ThenWin32AndDosThenDos)
{
    struct Name
    {
        std::u16string text;
        std::uint8_t nameSpace;
    };
    struct Case
    {
        const char* name;
        std::vector<Name> names;
        std::u16string expected;
    };
    const Case cases[] = {
        {"DOS only", {{u"LONGNA~1.TXT", kNamespaceDos}}, u"LONGNA~1.TXT"},
        {"DOS before Win32",
         {{u"LONGNA~1.TXT", kNamespaceDos}, {u"Long name.txt", kNamespaceWin32}},
         u"Long name.txt"},
        {"POSIX counts as Win32",
         {{u"both.txt", kNamespaceWin32AndDos}, {u"posix:name", kNamespacePosix}},
         u"posix:name"},
        {"Win32-and-DOS before DOS",
         {{u"SHORT.TXT", kNamespaceDos}, {u"SHORT.TXT", kNamespaceWin32AndDos}},
         u"SHORT.TXT"},
        {"first of two Win32 names", {{u"one", kNamespaceWin32}, {u"two", kNamespaceWin32}}, u"one"},
        {"unknown namespace only", {{u"odd", 7}}, u"<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordMaker maker;
        for (const Name& name : c.names)
            maker.AddFileName(5, name.text, name.nameSpace);
        EXPECT_EQ(PreferredName(Fixed(maker)), c.expected);
    }
}

TEST(NtfsFileName, ReadsParentAndTimesAndKeepsEveryNameUnit)
{
    RecordMaker maker;
    Bytes value = FileNameValue(0x12345678, u"we\\ird..name", kNamespacePosix, 111, 222);
    maker.AddResident(0x30, value);
    const Bytes record = Fixed(maker);
    char16_t name[kNtfsNameCapacity];
    std::uint32_t parent = 0;
    std::uint64_t creation = 0;
    std::uint64_t change = 0;
    ASSERT_EQ(GetFileNameAttr(0, name, &parent, &creation, &change, kNamespaceWin32, record.data(), 0), 1);
    EXPECT_EQ(std::u16string(name), u"we\\ird..name");
    EXPECT_EQ(parent, 0x12345678u);
    EXPECT_EQ(creation, 111u);
    EXPECT_EQ(change, 222u);

    RecordMaker longest;
    longest.AddFileName(5, std::u16string(255, u'x'));
    ASSERT_EQ(GetFileNameAttr(0, name, nullptr, nullptr, nullptr, 1, Fixed(longest).data(), 0), 1);
    EXPECT_EQ(std::u16string(name).size(), 255u);
}

TEST(NtfsFileName, RefusesNamesThatPassTheirAttribute)
{
    struct Case
    {
        const char* name;
        void (*breakIt)(Bytes& record, std::uint32_t attribute);
    };
    const Case cases[] = {
        {"name length beyond the value",
         [](Bytes& record, std::uint32_t at) { record[at + 24 + kFileNameLength] = 200; }},
        {"value length shorter than the name",
         [](Bytes& record, std::uint32_t at) { PutU32(record, at + kAttrValueLength, 70); }},
        {"value offset near the attribute's end",
         [](Bytes& record, std::uint32_t at) { PutU16(record, at + kAttrValueOffset, 0x60); }},
        {"value offset inside the header",
         [](Bytes& record, std::uint32_t at) { PutU16(record, at + kAttrValueOffset, 4); }},
        {"value length past the record",
         [](Bytes& record, std::uint32_t at) { PutU32(record, at + kAttrValueLength, 0xFFFFFFF0); }},
        {"non-resident", [](Bytes& record, std::uint32_t at) { record[at + kAttrNonResident] = 1; }},
        {"named", [](Bytes& record, std::uint32_t at) { record[at + kAttrNameLength] = 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordMaker maker;
        const std::uint32_t broken = maker.AddFileName(5, u"broken-name.txt");
        Bytes record = Fixed(maker);
        c.breakIt(record, broken);
        EXPECT_EQ(PreferredName(record), u"<none>");

        // A sound name after the broken one is still found.
        RecordMaker twoNames;
        const std::uint32_t first = twoNames.AddFileName(5, u"broken-name.txt");
        twoNames.AddFileName(5, u"sound.txt");
        Bytes both = Fixed(twoNames);
        c.breakIt(both, first);
        EXPECT_EQ(PreferredName(both), u"sound.txt");
    }
}

TEST(NtfsData, SizeOfTheUnnamedDataThatStartsTheFile)
{
    struct Case
    {
        const char* name;
        void (*make)(RecordMaker& maker);
        int expectedKind;
        std::uint64_t expectedSize;
    };
    const Case cases[] = {
        {"resident", [](RecordMaker& m) { m.AddResident(0x80, Bytes(600, 1)); }, 1, 600},
        {"resident, empty", [](RecordMaker& m) { m.AddResident(0x80, Bytes{}); }, 1, 0},
        {"non-resident", [](RecordMaker& m) { m.AddNonResident(0x80, RunEntry(3, 100, 1, 1), 10000); }, 2,
         10000},
        {"named stream only", [](RecordMaker& m) { m.AddResident(0x80, Bytes(26, 1), u"Zone.Identifier"); },
         0, 0},
        {"named stream first",
         [](RecordMaker& m) {
             m.AddResident(0x80, Bytes(26, 1), u"Zone.Identifier");
             m.AddResident(0x80, Bytes(40, 1));
         },
         1, 40},
        {"later extent only", [](RecordMaker& m) { m.AddNonResident(0x80, RunEntry(3, 100, 1, 1), 0, 16); },
         0, 0},
        {"no data", [](RecordMaker& m) { m.AddFileName(5, u"x"); }, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordMaker maker;
        maker.AddFileName(5, u"file.bin");
        c.make(maker);
        const Bytes record = Fixed(maker);
        std::uint32_t offset = 0;
        EXPECT_EQ(FindUnnamedData(record.data(), &offset), c.expectedKind);
        std::uint64_t size = 12345;
        EXPECT_EQ(GetDataSize(0, &size, record.data(), 0), c.expectedKind != 0 ? 1 : 0);
        if (c.expectedKind != 0) {
            EXPECT_EQ(size, c.expectedSize);
        }
    }
}

TEST(NtfsData, ResidentValueMustLieWithinItsAttribute)
{
    RecordMaker maker;
    const std::uint32_t data = maker.AddResident(0x80, Bytes(40, 1));
    Bytes record = Fixed(maker);
    PutU32(record, data + kAttrValueLength, 900);
    EXPECT_EQ(FindUnnamedData(record.data(), nullptr), 0);
    PutU32(record, data + kAttrValueLength, 40);
    PutU16(record, data + kAttrValueOffset, 0xFFF0);
    EXPECT_EQ(FindUnnamedData(record.data(), nullptr), 0);

    RecordMaker nonResident;
    const std::uint32_t runs = nonResident.AddNonResident(0x80, RunEntry(1, 5, 1, 1), 10);
    Bytes broken = Fixed(nonResident);
    PutU16(broken, runs + kAttrRunListOffset, 0x400);
    EXPECT_EQ(FindUnnamedData(broken.data(), nullptr), 0);
}

TEST(NtfsAttributeList, ListsEachRecordOnceWithinItsValue)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint32_t> entries;
        void (*breakIt)(Bytes& value);
        std::vector<std::uint32_t> expected; // after the record's own number, 40
    };
    const Case cases[] = {
        {"usual list", {40, 40, 41, 40, 42}, nullptr, {41, 42}},
        {"entry length 0 ends the walk", {41, 42, 43}, [](Bytes& v) { PutU16(v, 32 + 4, 0); }, {41}},
        {"entry past the value ends the walk", {41, 42}, [](Bytes& v) { PutU16(v, 32 + 4, 900); }, {41}},
        {"type 0 ends the walk", {41, 42}, [](Bytes& v) { PutU32(v, 32, 0); }, {41}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes value;
        for (std::uint32_t number : c.entries) {
            const Bytes entry = AttributeListEntry(0x80, number);
            value.insert(value.end(), entry.begin(), entry.end());
        }
        if (c.breakIt)
            c.breakIt(value);
        RecordMaker maker;
        maker.AddResident(0x20, value);
        ResetAttributeListTable(40);
        ReadAttributeList(Fixed(maker).data());
        std::vector<std::uint32_t> got(attributeListTable.recordNumbers + 1,
                                       attributeListTable.recordNumbers + attributeListTable.count);
        EXPECT_EQ(attributeListTable.recordNumbers[0], 40u);
        EXPECT_EQ(got, c.expected);
    }
}

TEST(NtfsAttributeList, KeepsAtMostFiftyRecords)
{
    Bytes value;
    for (std::uint32_t number = 100; number < 120; ++number) {
        const Bytes entry = AttributeListEntry(0x80, number);
        value.insert(value.end(), entry.begin(), entry.end());
    }
    RecordMaker maker;
    maker.AddResident(0x20, value);
    ResetAttributeListTable(1);
    for (std::uint32_t i = 1; i < 40; ++i)
        attributeListTable.recordNumbers[i] = 1000 + i;
    attributeListTable.count = 40;
    ReadAttributeList(Fixed(maker).data());
    ASSERT_EQ(attributeListTable.count, kAttributeListCapacity);
    EXPECT_EQ(attributeListTable.recordNumbers[40], 100u);
    EXPECT_EQ(attributeListTable.recordNumbers[49], 109u);
}

} // namespace
