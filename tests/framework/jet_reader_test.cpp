// The Access database reader against mdbtools' view of the fixtures, and on damaged copies of them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "jet_database.h"
#include "support/access_oracle.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"

using namespace test_support;

namespace {

std::string FixturePath(const std::string& name)
{
    return std::string(PREVIEW_FIXTURES_DIR) + "/access/" + name;
}

std::vector<uint8_t> FixtureBytes(const std::string& name)
{
    const std::string bytes = ReadWholeFile(FixturePath(name));
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::unique_ptr<jet::Database> Open(std::vector<uint8_t> bytes, bool writable = true)
{
    return std::make_unique<jet::Database>(std::make_unique<jet::MemoryPageFile>(std::move(bytes), writable));
}

// A value in the form the fixtures' mdb-export wrote it; doubles are compared apart, as numbers.
std::string OracleText(const jet::Value& value, int type)
{
    char text[64];
    switch (value.kind) {
    case jet::Value::Kind::Null:
        return "";
    case jet::Value::Kind::Boolean:
        return value.integer != 0 ? "1" : "0";
    case jet::Value::Kind::Byte:
    case jet::Value::Kind::Integer:
    case jet::Value::Kind::Long:
        return std::to_string(value.integer);
    case jet::Value::Kind::Currency: {
        const long long amount = value.integer;
        const unsigned long long magnitude = amount < 0 ? 0ULL - static_cast<unsigned long long>(amount)
                                                        : static_cast<unsigned long long>(amount);
        std::snprintf(text, sizeof(text), "%s%llu.%04llu", amount < 0 ? "-" : "", magnitude / 10000,
                      magnitude % 10000);
        return text;
    }
    case jet::Value::Kind::Single:
    case jet::Value::Kind::Double:
        std::snprintf(text, sizeof(text), "%.17g", value.real);
        return text;
    case jet::Value::Kind::DateTime:
        return AccessDateText(value.real);
    case jet::Value::Kind::Text:
        return type == 15 ? GuidOracleText(Utf8(value.text)) : Utf8(value.text);
    case jet::Value::Kind::Bytes:
        return HexText(value.bytes);
    }
    return "?";
}

// Reads every record of every table, as a preview would; a damaged file may end in jet::Error.
void ReadEverything(jet::Database& database)
{
    for (const jet::CatalogObject& object : database.Objects()) {
        if (object.type != jet::kObjectTable)
            continue;
        try {
            const jet::TableDefinition definition = database.ReadDefinition(object);
            jet::TableScan scan(database, definition);
            std::vector<jet::Value> values;
            while (scan.Next(values)) {
            }
        } catch (const jet::Error&) {
        }
    }
    try {
        database.ReadRelations();
    } catch (const jet::Error&) {
    }
}

class JetFixture : public ::testing::TestWithParam<const char*>
{
protected:
    std::string Oracle(const std::string& suffix) const
    {
        return FixturePath(std::string(GetParam()) + suffix);
    }
};

} // namespace

TEST_P(JetFixture, CatalogListsWhatMdbToolsLists)
{
    auto database = Open(FixtureBytes(std::string(GetParam()) + ".mdb"));
    EXPECT_EQ(database->IsJet4(), std::string(GetParam()) == "jet4");
    std::vector<std::string> tables;
    for (const jet::CatalogObject& object : database->Objects()) {
        if (object.type != jet::kObjectTable)
            continue;
        tables.push_back(Utf8(object.name));
        // mdbtools counts a table as a system table by these flags, too.
        EXPECT_EQ((object.flags & 0x80000002u) != 0, Utf8(object.name).rfind("MSys", 0) == 0)
            << Utf8(object.name);
    }
    std::vector<std::string> listed;
    for (const TsvRow& row : ReadTsv(Oracle(".tables")))
        listed.push_back(row[0]);
    EXPECT_EQ(tables, listed);

    std::vector<std::string> queries;
    for (const TsvRow& row : ReadTsv(Oracle(".queries")))
        queries.push_back(row[0]);
    std::vector<std::string> ours;
    for (const jet::CatalogObject& object : database->Objects())
        if (object.type == jet::kObjectQuery)
            ours.push_back(Utf8(object.name));
    EXPECT_EQ(ours, queries);
    EXPECT_EQ(database->FindObject(u"PeopleQuery", jet::kObjectQuery)->flags & 0xF0, 0x00u);
    EXPECT_EQ(database->FindObject(u"DeleteOldOrders", jet::kObjectQuery)->flags & 0xF0, 0x20u);

    const std::vector<CsvRow> relations = ReadCsv(Oracle(".relations"));
    const std::vector<jet::Relation> read = database->ReadRelations();
    ASSERT_EQ(read.size(), relations.size() - 1);
    EXPECT_EQ(Utf8(read[0].name), relations[1][7]);
    EXPECT_EQ(Utf8(read[0].table), relations[1][4]);
    EXPECT_EQ(Utf8(read[0].foreignTable), relations[1][6]);
}

TEST_P(JetFixture, FieldsAndRecordsEqualMdbExport)
{
    auto database = Open(FixtureBytes(std::string(GetParam()) + ".mdb"));
    for (const char* name : {"AllTypes", "People", "Orders", "Big10000", "Big9999"}) {
        SCOPED_TRACE(name);
        const jet::CatalogObject* table =
            database->FindObject(std::u16string(name, name + std::strlen(name)), jet::kObjectTable);
        ASSERT_NE(table, nullptr);
        const jet::TableDefinition definition = database->ReadDefinition(*table);
        const auto fields = SchemaFields(Oracle(".schema"), name);
        ASSERT_EQ(definition.columns.size(), fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(Utf8(definition.columns[i].name), fields[i].first);
            EXPECT_EQ(definition.columns[i].type, SchemaColumnType(fields[i].second)) << fields[i].second;
        }
        const std::vector<CsvRow> rows = ReadCsv(Oracle(std::string(".") + name + ".csv"));
        jet::TableScan scan(*database, definition);
        std::vector<jet::Value> values;
        std::size_t record = 1;
        for (; scan.Next(values); ++record) {
            ASSERT_LT(record, rows.size());
            for (std::size_t c = 0; c < values.size(); ++c) {
                const int type = definition.columns[c].type;
                std::string expected = rows[record][c];
                if (type == jet::kTypeGuid)
                    expected = GuidHexWithoutHyphens(expected);
                if ((type == jet::kTypeSingle || type == jet::kTypeDouble) &&
                    values[c].kind != jet::Value::Kind::Null) {
                    ASSERT_FALSE(expected.empty());
                    EXPECT_NEAR(values[c].real, std::strtod(expected.c_str(), nullptr),
                                std::fabs(values[c].real) * 1e-6 + 1e-300);
                } else {
                    EXPECT_EQ(OracleText(values[c], type), expected)
                        << "record " << record << " field " << Utf8(definition.columns[c].name);
                }
            }
        }
        EXPECT_EQ(record, rows.size());
        EXPECT_EQ(definition.rowCount, rows.size() - 1);
    }
}

TEST_P(JetFixture, DeleteMarksTheCatalogRowSoMdbToolsNoLongerListsIt)
{
    auto file = std::make_unique<jet::MemoryPageFile>(FixtureBytes(std::string(GetParam()) + ".mdb"));
    jet::MemoryPageFile* bytes = file.get();
    jet::Database database(std::move(file));
    database.DeleteObject(*database.FindObject(u"People", jet::kObjectTable));
    database.DeleteObject(*database.FindObject(u"PeopleQuery", jet::kObjectQuery));
    EXPECT_EQ(database.FindObject(u"People", jet::kObjectTable), nullptr);

    const std::string path = "/tmp/" + UniqueTempName("jet_delete_", ".mdb");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes->Bytes().data()),
                  static_cast<std::streamsize>(bytes->Bytes().size()));
    }
    auto listing = [](const std::string& command) {
        std::string text;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[256];
            while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr)
                text += buffer;
            pclose(pipe);
        }
        return text;
    };
    const std::string tables = listing("mdb-tables -1 " + path);
    EXPECT_EQ(tables.find("People\n"), std::string::npos) << tables;
    EXPECT_NE(tables.find("Orders\n"), std::string::npos) << tables;
    EXPECT_EQ(listing("mdb-queries -L -1 " + path), "DeleteOldOrders\n");
    std::remove(path.c_str());

    auto reopened = Open(bytes->Bytes());
    EXPECT_EQ(reopened->FindObject(u"People", jet::kObjectTable), nullptr);
    EXPECT_NE(reopened->FindObject(u"Orders", jet::kObjectTable), nullptr);

    auto readOnly = Open(FixtureBytes(std::string(GetParam()) + ".mdb"), false);
    EXPECT_THROW(readOnly->DeleteObject(*readOnly->FindObject(u"People", jet::kObjectTable)), jet::Error);
    EXPECT_NE(readOnly->FindObject(u"People", jet::kObjectTable), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JetFixture, ::testing::Values("jet3", "jet4"));

TEST(JetReaderDamage, FilesThatAreNoDatabaseAreRefused)
{
    const std::vector<uint8_t> jet4 = FixtureBytes("jet4.mdb");
    struct Case
    {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> text(5000, 'x');
    std::vector<uint8_t> twoPages(jet4.begin(), jet4.begin() + 2 * 4096);
    std::vector<uint8_t> encrypted = jet4;
    encrypted[jet::kHeaderDatabaseKeyOffset] ^= 0x5A;
    std::vector<uint8_t> noCatalog = jet4;
    noCatalog[2 * 4096] = 0x01;
    const Case cases[] = {{"empty", {}},
                          {"text", text},
                          {"header only", std::vector<uint8_t>(jet4.begin(), jet4.begin() + 300)},
                          {"two pages", twoPages},
                          {"encrypted key", encrypted},
                          {"catalog page not a definition", noCatalog}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(Open(c.bytes), jet::Error);
    }
}

// Truncated files and files with damaged pages: opening either fails with jet::Error or every table can be
// read to its end; the sanitizers watch every read.
TEST(JetReaderDamage, TruncatedAndCorruptedFilesEndCleanly)
{
    for (const char* name : {"jet3.mdb", "jet4.mdb"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> original = FixtureBytes(name);
        const std::size_t pageSize = std::string(name) == "jet4.mdb" ? 4096 : 2048;
        std::vector<std::vector<uint8_t>> variants;
        for (std::size_t pages : {3, 4, 6, 10, 40})
            variants.emplace_back(original.begin(),
                                  original.begin() + static_cast<std::ptrdiff_t>(pages * pageSize));
        variants.emplace_back(original.begin(),
                              original.begin() + static_cast<std::ptrdiff_t>(original.size() / 2 + 77));
        std::mt19937 random(67);
        for (int round = 0; round < 60; ++round) {
            std::vector<uint8_t> damaged = original;
            // Damage the pages that matter most: the catalog and the pages right after it.
            const std::size_t span = round < 30 ? 12 * pageSize : damaged.size();
            for (int flip = 0; flip < 1 + round % 16; ++flip) {
                const std::size_t at = pageSize + random() % (span - pageSize);
                damaged[at] = static_cast<uint8_t>(random());
            }
            variants.push_back(std::move(damaged));
        }
        // Hand-made faults: huge counts in the catalog's definition, a usage map of the wrong type, row
        // offsets past the page and a long-value chain that points at itself.
        std::vector<uint8_t> counts = original;
        const jet::DefinitionLayout& layout = pageSize == 4096 ? jet::kDefinitionJet4 : jet::kDefinitionJet3;
        counts[2 * pageSize + layout.columnCount] = 0xFF;
        counts[2 * pageSize + layout.columnCount + 1] = 0x0F;
        counts[2 * pageSize + layout.realIndexCount + 3] = 0x7F;
        variants.push_back(counts);
        std::vector<uint8_t> rows = original;
        for (std::size_t page = 1; page < rows.size() / pageSize; ++page)
            if (rows[page * pageSize] == jet::kPageData)
                rows[page * pageSize + (pageSize == 4096 ? 14 : 10)] = 0xFF;
        variants.push_back(rows);
        std::vector<uint8_t> loop = original;
        for (std::size_t page = 1; page < loop.size() / pageSize; ++page) {
            uint8_t* data = loop.data() + page * pageSize;
            if (data[0] == jet::kPageData && std::memcmp(data + 4, "LVAL", 4) == 0) {
                const std::size_t start =
                    data[pageSize == 4096 ? 14 : 10] | (data[pageSize == 4096 ? 15 : 11] << 8);
                const uint32_t self = static_cast<uint32_t>(page) << 8;
                std::memcpy(data + (start & 0x1FFF), &self, 4);
            }
        }
        variants.push_back(loop);
        for (std::size_t i = 0; i < variants.size(); ++i) {
            SCOPED_TRACE(i);
            try {
                auto database = Open(variants[i]);
                ReadEverything(*database);
            } catch (const jet::Error&) {
            }
        }
    }
}

namespace {

// The file's bytes, with the pages read through it noted.
class CountingPageFile : public jet::PageFile
{
public:
    CountingPageFile(std::vector<uint8_t> bytes, std::size_t pageSize, std::vector<bool>& pagesRead)
        : m_file(std::move(bytes)), m_pageSize(pageSize), m_pagesRead(pagesRead)
    {}
    uint64_t Size() const override { return m_file.Size(); }
    bool Read(uint64_t offset, void* buffer, std::size_t size) override
    {
        const std::size_t page = static_cast<std::size_t>(offset / m_pageSize);
        if (page >= m_pagesRead.size())
            m_pagesRead.resize(page + 1);
        m_pagesRead[page] = true;
        return m_file.Read(offset, buffer, size);
    }
    bool Write(uint64_t, const void*, std::size_t) override { return false; }

private:
    jet::MemoryPageFile m_file;
    std::size_t m_pageSize;
    std::vector<bool>& m_pagesRead;
};

constexpr std::size_t kJet4PageSize = 4096;
constexpr std::size_t kJet4RowTable = 14;

bool IsLongValuePage(const std::vector<uint8_t>& bytes, std::size_t page)
{
    const uint8_t* data = bytes.data() + page * kJet4PageSize;
    return data[0] == jet::kPageData && std::memcmp(data + 4, "LVAL", 4) == 0;
}

// The pointer at the start of an LVAL page's first row: the next part of a chained value.
std::size_t NextPointerAt(const std::vector<uint8_t>& bytes, std::size_t page)
{
    const uint8_t* data = bytes.data() + page * kJet4PageSize;
    return page * kJet4PageSize +
           ((data[kJet4RowTable] | (data[kJet4RowTable + 1] << 8)) & jet::kRowOffsetMask);
}

uint32_t Read32(const std::vector<uint8_t>& bytes, std::size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

std::size_t LongValueBytes(const std::vector<jet::Value>& values)
{
    std::size_t total = 0;
    for (const jet::Value& value : values)
        total += value.kind == jet::Value::Kind::Bytes ? value.bytes.size() : value.text.size();
    return total;
}

} // namespace

// The Jet 4 fixture's chained memo made a loop (its last part points at its first) and its header made to
// claim the longest length. The value stops where the chain comes back, so the table's long values hold no
// more than the parts stored.
TEST(JetReaderDamage, ALoopingLongValueChainGivesEachPartOnce)
{
    std::vector<uint8_t> bytes = FixtureBytes("jet4.mdb");
    const std::size_t pages = bytes.size() / kJet4PageSize;
    // Links between LVAL pages; a one-row value's first bytes are data, and point nowhere sound.
    auto linkOf = [&](std::size_t page) -> uint32_t {
        const uint32_t next = Read32(bytes, NextPointerAt(bytes, page));
        const bool sound =
            next != 0 && (next & 0xFF) == 0 && (next >> 8) < pages && IsLongValuePage(bytes, next >> 8);
        return sound ? next : 0;
    };
    std::vector<uint32_t> targets;
    for (std::size_t page = 1; page < pages; ++page)
        if (IsLongValuePage(bytes, page) && linkOf(page) != 0)
            targets.push_back(linkOf(page));
    ASSERT_GE(targets.size(), 1u);
    uint32_t head = 0;
    std::size_t tail = 0;
    std::size_t parts = 0;
    for (std::size_t page = 1; page < pages; ++page) {
        if (!IsLongValuePage(bytes, page))
            continue;
        const uint32_t pointer = static_cast<uint32_t>(page) << 8;
        const bool isTarget = std::find(targets.begin(), targets.end(), pointer) != targets.end();
        const bool hasNext = linkOf(page) != 0;
        if (hasNext && !isTarget)
            head = pointer;
        if (!hasNext && isTarget)
            tail = page;
        if (hasNext || isTarget)
            parts += kJet4PageSize;
    }
    ASSERT_NE(head, 0u);
    ASSERT_NE(tail, 0u);
    std::memcpy(bytes.data() + NextPointerAt(bytes, tail), &head, 4);
    // The memo's header in its record: the length, then the pointer of the first part.
    std::size_t header = 0;
    for (std::size_t at = 4; at + 8 <= bytes.size(); ++at)
        if (!IsLongValuePage(bytes, at / kJet4PageSize) && Read32(bytes, at) == head &&
            (Read32(bytes, at - 4) & ~jet::kLongValueLengthMask) == 0 && Read32(bytes, at - 4) > 1000)
            header = at - 4;
    ASSERT_NE(header, 0u);
    const uint32_t longest = jet::kLongValueLengthMask;
    std::memcpy(bytes.data() + header, &longest, 4);

    auto database = Open(bytes, false);
    const jet::CatalogObject* table = database->FindObject(u"AllTypes", jet::kObjectTable);
    ASSERT_NE(table, nullptr);
    const jet::TableDefinition definition = database->ReadDefinition(*table);
    jet::TableScan scan(*database, definition);
    std::vector<jet::Value> values;
    std::size_t total = 0;
    bool sawChain = false;
    while (scan.Next(values)) {
        const std::size_t record = LongValueBytes(values);
        sawChain = sawChain || record > 5000;
        total += record;
    }
    EXPECT_TRUE(sawChain);
    EXPECT_LE(total, parts + 4096);
}

// Moving over records reads their rows only: the long values of the records passed are not gathered.
TEST(JetReaderDamage, AdvancingOverRecordsReadsNoLongValues)
{
    const std::vector<uint8_t> bytes = FixtureBytes("jet4.mdb");
    for (const bool readFields : {false, true}) {
        SCOPED_TRACE(readFields ? "reading the fields" : "advancing only");
        std::vector<bool> pagesRead;
        jet::Database database(std::make_unique<CountingPageFile>(bytes, kJet4PageSize, pagesRead));
        const jet::TableDefinition definition =
            database.ReadDefinition(*database.FindObject(u"AllTypes", jet::kObjectTable));
        std::fill(pagesRead.begin(), pagesRead.end(), false);
        jet::TableScan scan(database, definition);
        std::vector<jet::Value> values;
        int records = 0;
        while (readFields ? scan.Next(values) : scan.Advance())
            ++records;
        EXPECT_EQ(records, 4);
        std::size_t longValuePagesRead = 0;
        for (std::size_t page = 0; page < pagesRead.size(); ++page)
            longValuePagesRead += pagesRead[page] && IsLongValuePage(bytes, page) ? 1 : 0;
        if (readFields)
            EXPECT_GE(longValuePagesRead, 3u);
        else
            EXPECT_EQ(longValuePagesRead, 0u);
    }
}
