#pragma once

// What mdbtools said about the Access fixtures (tools/jet_fixture_writer.py keeps its answers beside each
// file): the tables, the fields of the schema, the queries, the relations and the exported records.
#include <string>
#include <utility>
#include <vector>

namespace test_support {

using CsvRow = std::vector<std::string>;

// An mdb-export file: quoted fields with doubled quotes; the first row names the columns.
std::vector<CsvRow> ReadCsv(const std::string& path);

// The fields of one table in an mdb-schema file: name and the schema's type text ("Long Integer",
// "Text (50)", ...), in order; empty when the table is not there.
std::vector<std::pair<std::string, std::string>> SchemaFields(const std::string& schemaPath,
                                                              const std::string& table);

// The Jet column type that an mdb-schema type text names; 0 when unknown.
int SchemaColumnType(const std::string& typeText);

// A date as Access stores it (days since 30 December 1899, the fraction the time of day) in the form the
// fixtures' mdb-export wrote it: "%Y-%m-%d %H:%M:%S".
std::string AccessDateText(double days);

// Bytes as upper-case hex, as mdb-export's binary mode writes them.
std::string HexText(const std::vector<unsigned char>& bytes);

// A GUID's text as hex without its hyphens: mdb-export writes the text as hex, but leaves out the hyphen
// before the last group, so both sides are compared without them.
std::string GuidOracleText(const std::string& guidText);
std::string GuidHexWithoutHyphens(const std::string& hex);

std::string Utf8(const std::u16string& text);

} // namespace test_support
