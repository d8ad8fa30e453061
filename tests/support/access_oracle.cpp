#include "support/access_oracle.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "engine/image/utf16_path.h"
#include "support/oracle_files.h"

namespace test_support {

std::vector<CsvRow> ReadCsv(const std::string& path)
{
    std::vector<CsvRow> rows;
    const std::string text = ReadWholeFile(path);
    if (text.empty()) {
        ADD_FAILURE() << "cannot read oracle file " << path;
        return rows;
    }
    CsvRow row;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\n') {
            row.push_back(field);
            field.clear();
            rows.push_back(row);
            row.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    if (!field.empty() || !row.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::pair<std::string, std::string>> SchemaFields(const std::string& schemaPath,
                                                              const std::string& table)
{
    std::vector<std::pair<std::string, std::string>> fields;
    std::istringstream in(ReadWholeFile(schemaPath));
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line == "CREATE TABLE [" + table + "]") {
            inside = true;
            continue;
        }
        if (!inside)
            continue;
        if (line.rfind(");", 0) == 0)
            break;
        // "\t[Name]\t\t\tType, "
        const auto open = line.find('[');
        const auto close = line.find(']');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        std::string type = line.substr(line.find_first_not_of('\t', close + 1));
        while (!type.empty() && (type.back() == ' ' || type.back() == ','))
            type.pop_back();
        fields.emplace_back(line.substr(open + 1, close - open - 1), type);
    }
    return fields;
}

int SchemaColumnType(const std::string& typeText)
{
    static const std::pair<const char*, int> kTypes[] = {
        {"Boolean", 1},  {"Byte", 2},   {"Integer", 3},         {"Long Integer", 4},
        {"Currency", 5}, {"Single", 6}, {"Double", 7},          {"DateTime", 8},
        {"Text", 10},    {"OLE", 11},   {"Memo/Hyperlink", 12}, {"Replication ID", 15},
        {"Numeric", 16}};
    for (const auto& [name, type] : kTypes) {
        const std::string prefix(name);
        if (typeText == prefix || typeText.rfind(prefix + " ", 0) == 0)
            return type;
    }
    return 0;
}

std::string AccessDateText(double days)
{
    const long long seconds = std::llround(days * 86400.0);
    long long day = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const long long secondOfDay = seconds - day * 86400;
    // Days from 1899-12-30 to 1970-01-01 are 25569; then the civil date of a day count from 1970.
    long long z = day - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long year = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long dayOfMonth = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    if (month <= 2)
        ++year;
    char text[96];
    std::snprintf(text, sizeof(text), "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", year, month, dayOfMonth,
                  secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    return text;
}

std::string HexText(const std::vector<unsigned char>& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const unsigned char byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::string GuidOracleText(const std::string& guidText)
{
    std::vector<unsigned char> bytes;
    for (const char c : guidText)
        if (c != '-')
            bytes.push_back(static_cast<unsigned char>(c));
    return HexText(bytes);
}

std::string GuidHexWithoutHyphens(const std::string& hex)
{
    std::string text;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return GuidOracleText(text);
}

std::string Utf8(const std::u16string& text)
{
    std::string out;
    Utf16ToUtf8(text, out);
    return out;
}

} // namespace test_support
