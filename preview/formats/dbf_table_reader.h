#pragma once

// A tolerant reader of dBASE tables (dBASE III to Visual FoxPro) for the preview: it reads the field
// descriptors from offset 32 until their 0x0D end mark, finds the records at the first 0x20 byte after
// it, and walks them by the field lengths to the end of the file. The header's counts are not trusted.
#include "byte_source.h"

#include <cstdint>
#include <string>

// Where the reader puts the table: the list of the view, or a recorder in the tests.
class DbfTableSink
{
public:
    virtual ~DbfTableSink() = default;
    // Texts are single-byte (the table's own code page).
    virtual void InsertColumn(int column, const std::string& heading, int width) = 0;
    virtual void InsertRow(int row, const std::string& indexText) = 0;
    // The value of a field as its type shows it (DbfValueText).
    virtual void SetCell(int row, int column, char type, const std::string& text) = 0;
    virtual void DeleteAllRowsAndColumns() = 0;
};

// The most field descriptors a table may have.
inline constexpr int kDbfMaxFields = 200;

// The records of a table: those put into the sink and all that the file holds.
struct DbfRecordCounts
{
    std::uint64_t loaded = 0;
    std::uint64_t total = 0;
};

// Fills the sink with at most `maxRecords` records (at least one) (the rest are counted, not read); false
// when the table cannot be shown (no fields, too many, fields of no length at all, descriptors cut short by
// the end of the file, no record area). Columns inserted before such a failure stay, except for too many
// fields, which empties the sink.
bool LoadDbfTable(ByteSource& source, DbfTableSink& sink, std::uint64_t maxRecords = UINT64_MAX,
                  DbfRecordCounts* counts = nullptr);

// The text of a field's bytes by its type. "Y" gives the amount's whole units as decimal digits, which
// the view then formats as a currency; an unknown type gives an empty text.
std::string DbfValueText(char type, const std::string& bytes);
