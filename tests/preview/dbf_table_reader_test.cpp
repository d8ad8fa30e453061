// The dBASE reader on tables written by python3-dbf (compared with its own reading) and on tables made
// byte by byte; crafted and cut files end cleanly.
#include <gtest/gtest.h>

#include "dbf_table_reader.h"
#include "preview_fixture_paths.h"
#include "support/oracle_files.h"

#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> FixtureBytes(const std::string& relative)
{
    return Bytes(test_support::ReadWholeFile(PreviewFixture(relative)));
}

class RecordingTable : public DbfTableSink
{
public:
    void InsertColumn(int column, const std::string& heading, int width) override
    {
        EXPECT_EQ(column, static_cast<int>(columns.size()));
        EXPECT_EQ(width, 100);
        columns.push_back(heading);
    }
    void InsertRow(int row, const std::string& indexText) override
    {
        EXPECT_EQ(row, static_cast<int>(rows.size()));
        rows.push_back({indexText});
    }
    void SetCell(int row, int column, char, const std::string& text) override
    {
        ASSERT_LT(row, static_cast<int>(rows.size()));
        auto& cells = rows[row];
        if (static_cast<int>(cells.size()) <= column)
            cells.resize(column + 1);
        cells[column] = text;
    }
    void DeleteAllRowsAndColumns() override
    {
        columns.clear();
        rows.clear();
        ++deletions;
    }
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    int deletions = 0;
};

bool Load(const std::vector<std::uint8_t>& bytes, RecordingTable& table)
{
    MemoryByteSource source(bytes);
    return LoadDbfTable(source, table);
}

TEST(DbfTableReader, TablesOfPython3DbfListEveryRecordAsItsOwnReadingShowsThem)
{
    for (const char* name : {"people", "stock"}) {
        SCOPED_TRACE(name);
        RecordingTable table;
        ASSERT_TRUE(Load(FixtureBytes(std::string("tables/") + name + ".dbf"), table));
        auto oracle = test_support::ReadTsv(PreviewFixture(std::string("tables/") + name + ".dbf.tsv"));
        ASSERT_GT(oracle.size(), 1u);
        const auto& heading = oracle[0];
        // Index, then the fields under their stored names (upper case in the file).
        ASSERT_EQ(table.columns.size(), heading.size());
        EXPECT_EQ(table.columns[0], "Index");
        // Deleted records are listed like the others, and the end-of-file byte adds no row.
        ASSERT_EQ(table.rows.size(), oracle.size() - 1);
        for (std::size_t r = 0; r + 1 < oracle.size(); ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(table.rows[r][0], std::to_string(r + 1));
            for (std::size_t f = 1; f < heading.size(); ++f)
                EXPECT_EQ(table.rows[r][f], oracle[r + 1][f]) << heading[f];
        }
    }
}

TEST(DbfTableReader, TwoHundredFieldsListAndOneMoreEmptiesTheTable)
{
    RecordingTable wide;
    ASSERT_TRUE(Load(FixtureBytes("tables/fields200.dbf"), wide));
    EXPECT_EQ(wide.columns.size(), 201u);
    EXPECT_EQ(wide.columns[200], "F199");
    ASSERT_EQ(wide.rows.size(), 1u);
    EXPECT_EQ(wide.rows[0][200], "x");

    RecordingTable tooWide;
    EXPECT_FALSE(Load(FixtureBytes("tables/fields201.dbf"), tooWide));
    EXPECT_EQ(tooWide.deletions, 1);
    EXPECT_TRUE(tooWide.columns.empty());
    EXPECT_TRUE(tooWide.rows.empty());
}

std::string Descriptor(const std::string& name, char type, std::uint8_t length)
{
    std::string slot(32, '\0');
    slot.replace(0, name.size(), name);
    slot[11] = type;
    slot[16] = static_cast<char>(length);
    return slot;
}

TEST(DbfTableReader, TablesWithoutFieldsOrRecordAreaAreRefused)
{
    const std::string header(32, '\0');
    const std::string field = Descriptor("NAME", 'C', 4);
    struct Case
    {
        const char* name;
        std::string bytes;
        bool shown;
        std::size_t rows;
    };
    const Case cases[] = {
        {"header only", header, false, 0},
        {"shorter than a header", std::string(10, 'x'), false, 0},
        {"no field", header + "\r \x1a", false, 0},
        {"descriptor cut before its length", header + field.substr(0, 12), false, 0},
        {"descriptors to the end", header + field, false, 1},
        {"end mark at the end", header + field + "\r", false, 1},
        {"no record after the flag", header + field + "\r ", true, 1},
        {"record area found past garbage", header + field + std::string("\rzz\0 abcd", 9), true, 1},
        {"last record cut short", header + field + "\r abcd ab", true, 2},
        {"fields of no length", header + Descriptor("NAME", 'C', 0) + "\r" + std::string(5000, ' '), false,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingTable table;
        EXPECT_EQ(Load(Bytes(c.bytes), table), c.shown);
        EXPECT_EQ(table.rows.size(), c.rows);
    }
    RecordingTable cut;
    ASSERT_TRUE(Load(Bytes(header + field + "\r abcd ab"), cut));
    EXPECT_EQ(cut.rows[1][1], "ab");
}

// A long table fills the sink with the first records only and counts the rest from the file's length; the
// count equals the rows a full load makes, whatever ends the file.
TEST(DbfTableReader, RecordsPastTheLimitAreCountedNotFilled)
{
    const std::string table =
        std::string(32, '\0') + Descriptor("A", 'C', 3) + Descriptor("B", 'N', 2) + "\r";
    std::string records;
    for (int i = 0; i < 25; ++i)
        records += " abc12";
    struct Case
    {
        const char* name;
        std::string bytes;
        std::uint64_t total;
    };
    const Case cases[] = {
        {"records only", table + records, 25},
        {"end-of-file byte", table + records + "\x1a", 25},
        {"last record cut short", table + records + " ab", 26},
        {"no record", table + " ", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingTable whole;
        MemoryByteSource wholeSource(Bytes(c.bytes));
        DbfRecordCounts wholeCounts;
        ASSERT_TRUE(LoadDbfTable(wholeSource, whole, UINT64_MAX, &wholeCounts));
        EXPECT_EQ(whole.rows.size(), c.total);
        EXPECT_EQ(wholeCounts.total, c.total);
        EXPECT_EQ(wholeCounts.loaded, c.total);

        RecordingTable limited;
        MemoryByteSource limitedSource(Bytes(c.bytes));
        DbfRecordCounts limitedCounts;
        ASSERT_TRUE(LoadDbfTable(limitedSource, limited, 10, &limitedCounts));
        const std::size_t shown = c.total < 10 ? c.total : 10;
        ASSERT_EQ(limited.rows.size(), shown);
        EXPECT_EQ(limitedCounts.loaded, shown);
        EXPECT_EQ(limitedCounts.total, c.total);
        EXPECT_EQ(limited.rows[shown - 1], whole.rows[shown - 1]);
    }
}

TEST(DbfTableReader, FieldNamesEndAtElevenBytes)
{
    RecordingTable table;
    ASSERT_TRUE(Load(Bytes(std::string(32, '\0') + Descriptor("ABCDEFGHIJK", 'C', 2) + "\r xy"), table));
    ASSERT_EQ(table.columns.size(), 2u);
    EXPECT_EQ(table.columns[1], "ABCDEFGHIJK");
    EXPECT_EQ(table.rows[0][1], "xy");
}

TEST(DbfTableReader, ValuesTurnIntoTextByTheirType)
{
    struct Case
    {
        char type;
        std::string bytes;
        const char* text;
    };
    const Case cases[] = {
        {'N', "  12.5", "12.500000"},
        {'F', "-0.25", "-0.250000"},
        {'N', "", "0.000000"},
        {'C', std::string("ab\0cd", 5), "ab"},
        {'B', "raw", "raw"},
        {'I', std::string("\xFE\xFF\xFF\xFF", 4), "-2"},
        {'I', "\x01", "1"},
        // Ten-thousandths in eight bytes: 12.5 and 1,000,000.5 show their whole units.
        {'Y', std::string("\x48\xE8\x01\0\0\0\0\0", 8), "12"},
        {'Y', std::string("\x88\xF7\x0B\x54\x02\0\0\0", 8), "1000000"},
        {'Y', "\x05", "5"},
        {'D', "20240131", "2024/01/31"},
        {'D', "2024", "2024//"},
        {'L', " t ", "TRUE"},
        {'L', "y", "TRUE"},
        {'L', "Yes", "TRUE"},
        {'L', "N", "FALSE"},
        {'L', "?", "FALSE"},
        {'L', "\xC4\xC0", "TRUE"},
        {'L', "\xC8\xD1\xD2\xC8\xCD\xC0", "TRUE"},
        {'M', "         1", "Memo"},
        {'G', "1", "General"},
        {'P', "1", "Picture"},
        {'T', "12345678", ""},
        {'?', "x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.type) + " " + c.bytes);
        EXPECT_EQ(DbfValueText(c.type, c.bytes), c.text);
    }
}

TEST(DbfTableReader, EveryCutAndFlippedByteOfARealTableEndsCleanly)
{
    const auto table = FixtureBytes("tables/stock.dbf");
    ASSERT_GT(table.size(), 300u);
    for (std::size_t size = 0; size <= table.size(); ++size) {
        RecordingTable sink;
        Load(std::vector<std::uint8_t>(table.begin(), table.begin() + size), sink);
    }
    for (std::size_t at = 0; at < table.size(); ++at) {
        for (std::uint8_t value : {0x00, 0x0D, 0x20, 0xFF}) {
            auto bytes = table;
            bytes[at] = value;
            RecordingTable sink;
            Load(bytes, sink);
            EXPECT_LE(sink.rows.size(), bytes.size());
        }
    }
}

} // namespace
