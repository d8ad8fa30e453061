// Records of a table: rows cracked into fields by the table definition, long values gathered from LVAL
// pages, and the fields turned into values.
#include <cstring>
#include <unordered_set>

#include "byte_order.h"
#include "jet_database.h"

namespace jet {

namespace {

// Memo and OLE values larger than this are cut there; the preview shows no more of them. It is also what all
// long values of one record may gather together, since many columns may point at one stored value.
constexpr std::size_t kMaxLongValue = 64u << 20;
// A chain of LVAL rows is followed for at most so many rows: a real chain fills its rows almost whole, so
// this covers the longest value kept, while a crafted chain of near-empty rows stops early.
constexpr uint32_t kMaxLongValueRows = 32768;

// Code page 1252's characters 0x80 to 0x9F; the rest of the page equals Latin-1.
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::size_t FixedSize(uint8_t type)
{
    switch (type) {
    case kTypeByte:
        return 1;
    case kTypeInteger:
        return 2;
    case kTypeLong:
    case kTypeSingle:
        return 4;
    case kTypeCurrency:
    case kTypeDouble:
    case kTypeDateTime:
        return 8;
    case kTypeGuid:
        return 16;
    case kTypeNumeric:
        return 17;
    default:
        return 0;
    }
}

std::u16string GuidText(const uint8_t* data)
{
    static const char kDigits[] = "0123456789ABCDEF";
    // The first three groups are little-endian numbers, the last two plain bytes.
    const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::u16string text = u"{";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += u'-';
        text += static_cast<char16_t>(kDigits[data[order[i]] >> 4]);
        text += static_cast<char16_t>(kDigits[data[order[i]] & 15]);
    }
    return text + u"}";
}

// A numeric field: a sign byte, then a 128-bit magnitude as four little-endian 32-bit words, the most
// significant first, scaled by ten to the column's scale.
std::u16string NumericText(const uint8_t* data, uint8_t scale)
{
    // Long division by ten over the four words gives the digits from the last; no 128-bit type needed.
    uint32_t words[4];
    for (int word = 0; word < 4; ++word)
        words[word] = ReadLittleEndian32(data + 1 + 4 * word);
    std::string digits;
    do {
        uint64_t remainder = 0;
        for (uint32_t& word : words) {
            const uint64_t current = (remainder << 32) | word;
            word = static_cast<uint32_t>(current / 10);
            remainder = current % 10;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + remainder));
    } while ((words[0] | words[1] | words[2] | words[3]) != 0);
    if (scale > 38)
        scale = 38;
    if (scale > 0) {
        while (digits.size() <= scale)
            digits.insert(digits.begin(), '0');
        digits.insert(digits.end() - scale, '.');
    }
    if ((data[0] & 0x80) != 0)
        digits.insert(digits.begin(), '-');
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

std::u16string DecodeText(const uint8_t* data, std::size_t size, bool jet4)
{
    std::u16string text;
    if (!jet4) {
        text.reserve(size);
        for (std::size_t i = 0; i < size; ++i)
            text += data[i] >= 0x80 && data[i] < 0xA0 ? kCp1252High[data[i] - 0x80]
                                                      : static_cast<char16_t>(data[i]);
        return text;
    }
    if (size >= 2 && data[0] == kCompressedText[0] && data[1] == kCompressedText[1]) {
        // Compressed: one byte a character until a zero byte switches to two bytes a character, and back.
        bool compressed = true;
        for (std::size_t i = 2; i < size;) {
            if (data[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                text += static_cast<char16_t>(data[i++]);
            } else {
                if (size - i < 2)
                    break;
                text += static_cast<char16_t>(ReadLittleEndian16(data + i));
                i += 2;
            }
        }
        return text;
    }
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<char16_t>(ReadLittleEndian16(data + i));
    return text;
}

TableScan::TableScan(Database& database, const TableDefinition& table)
    : m_database(database), m_table(table),
      // Every LVAL row of a sound file belongs to one value of one record, so the long values of a whole
      // table never hold more than the file; a crafted file whose records share one chain gets no more.
      m_longValueBudget(static_cast<uint64_t>(database.PageCount()) * database.PageSize())
{}

bool TableScan::Next(std::vector<Value>& values)
{
    if (!Advance())
        return false;
    Crack(m_row, values);
    return true;
}

void TableScan::ReadCurrent(std::vector<Value>& values)
{
    Crack(m_row, values);
}

bool TableScan::Advance()
{
    if (m_pages.empty() && m_pageIndex == 0) {
        m_pages = m_database.DataPages(m_table);
        if (m_pages.empty()) {
            m_pageIndex = 1;
            return false;
        }
    }
    const std::size_t countAt = m_database.IsJet4() ? kDataRowCountJet4 : kDataRowCountJet3;
    while (m_pageIndex < m_pages.size()) {
        const uint32_t page = m_pages[m_pageIndex];
        const uint32_t count = ReadLittleEndian16(m_database.Page(page).data(), countAt);
        while (m_rowIndex < count && m_rowIndex < m_database.PageSize() / 2) {
            const uint32_t row = m_rowIndex++;
            if (m_database.RowBytes(page, row, m_row))
                return true;
        }
        ++m_pageIndex;
        m_rowIndex = 0;
    }
    return false;
}

void TableScan::Crack(const std::vector<uint8_t>& row, std::vector<Value>& values)
{
    const bool jet4 = m_database.IsJet4();
    values.assign(m_table.columns.size(), Value());
    m_recordBudget = kMaxLongValue;
    const std::size_t unit = jet4 ? 2 : 1;
    const std::size_t size = row.size();
    if (size < unit)
        return;
    const std::size_t columnCount = jet4 ? ReadLittleEndian16(row.data()) : row[0];
    const std::size_t maskSize = (columnCount + 7) / 8;
    if (maskSize + unit > size)
        return;
    const uint8_t* mask = row.data() + size - maskSize;
    // Variable offsets, from the end of the row backwards: the count, (Jet 3) the jump table, the offsets
    // of the columns and the end of the variable data.
    std::vector<std::size_t> offsets;
    std::size_t fixedEnd = size - maskSize;
    if (m_table.varColumnCount > 0) {
        std::size_t at = size - maskSize;
        if (at < 2 * unit)
            return;
        at -= unit;
        const std::size_t varCount = jet4 ? ReadLittleEndian16(row.data() + at) : row[at];
        std::vector<uint8_t> jumps;
        if (!jet4) {
            const std::size_t jumpCount = (size - 1) / 256;
            if (at < jumpCount)
                return;
            at -= jumpCount;
            jumps.assign(row.begin() + static_cast<std::ptrdiff_t>(at),
                         row.begin() + static_cast<std::ptrdiff_t>(at + jumpCount));
        }
        if ((varCount + 1) * unit > at)
            return;
        for (std::size_t i = 0; i <= varCount; ++i) {
            at -= unit;
            std::size_t offset = jet4 ? ReadLittleEndian16(row.data() + at) : row[at];
            for (const uint8_t jump : jumps)
                if (jump != 0xFF && jump <= i)
                    offset += 256;
            offsets.push_back(offset);
        }
        fixedEnd = at;
        if (!offsets.empty() && offsets.front() < fixedEnd)
            fixedEnd = offsets.front();
    }
    for (std::size_t c = 0; c < m_table.columns.size(); ++c) {
        const Column& column = m_table.columns[c];
        Value& value = values[c];
        const bool present =
            column.number < columnCount && ((mask[column.number / 8] >> (column.number % 8)) & 1);
        if (column.type == kTypeBoolean) {
            value.kind = Value::Kind::Boolean;
            value.integer = present ? 1 : 0;
            continue;
        }
        if (!present)
            continue;
        if (column.IsFixed()) {
            const std::size_t start = unit + column.fixedOffset;
            const std::size_t length = FixedSize(column.type) != 0 ? FixedSize(column.type) : column.length;
            if (start > fixedEnd || fixedEnd - start < length)
                continue;
            ReadField(column, row.data() + start, length, value);
        } else {
            if (column.varIndex + 1u >= offsets.size())
                continue;
            const std::size_t start = offsets[column.varIndex];
            const std::size_t end = offsets[column.varIndex + 1u];
            if (start > end || end > size)
                continue;
            ReadField(column, row.data() + start, end - start, value);
        }
    }
}

void TableScan::ReadField(const Column& column, const uint8_t* data, std::size_t size, Value& value)
{
    const bool jet4 = m_database.IsJet4();
    if (size < FixedSize(column.type))
        return;
    switch (column.type) {
    case kTypeByte:
        value.kind = Value::Kind::Byte;
        value.integer = data[0];
        break;
    case kTypeInteger:
        value.kind = Value::Kind::Integer;
        value.integer = static_cast<int16_t>(ReadLittleEndian16(data));
        break;
    case kTypeLong:
        value.kind = Value::Kind::Long;
        value.integer = static_cast<int32_t>(ReadLittleEndian32(data));
        break;
    case kTypeCurrency:
        value.kind = Value::Kind::Currency;
        value.integer = static_cast<int64_t>(ReadLittleEndian64(data));
        break;
    case kTypeSingle: {
        const uint32_t bits = ReadLittleEndian32(data);
        float number = 0;
        std::memcpy(&number, &bits, sizeof(number));
        value.kind = Value::Kind::Single;
        value.real = number;
        break;
    }
    case kTypeDouble:
    case kTypeDateTime: {
        const uint64_t bits = ReadLittleEndian64(data);
        double number = 0;
        std::memcpy(&number, &bits, sizeof(number));
        value.kind = column.type == kTypeDouble ? Value::Kind::Double : Value::Kind::DateTime;
        value.real = number;
        break;
    }
    case kTypeGuid:
        value.kind = Value::Kind::Text;
        value.text = GuidText(data);
        break;
    case kTypeNumeric:
        value.kind = Value::Kind::Text;
        value.text = NumericText(data, column.scale);
        break;
    case kTypeText:
        value.kind = Value::Kind::Text;
        value.text = DecodeText(data, size, jet4);
        break;
    case kTypeMemo: {
        std::vector<uint8_t> bytes;
        ReadLongValue(data, size, bytes);
        value.kind = Value::Kind::Text;
        value.text = DecodeText(bytes.data(), bytes.size(), jet4);
        break;
    }
    case kTypeOle:
        value.kind = Value::Kind::Bytes;
        ReadLongValue(data, size, value.bytes);
        break;
    default:
        value.kind = Value::Kind::Bytes;
        value.bytes.assign(data, data + size);
        break;
    }
}

void TableScan::ReadLongValue(const uint8_t* data, std::size_t size, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    if (size < kLongValueHeader)
        return;
    const uint32_t head = ReadLittleEndian32(data);
    std::size_t length = head & kLongValueLengthMask;
    const uint64_t budget = m_recordBudget < m_longValueBudget ? m_recordBudget : m_longValueBudget;
    if (length > budget)
        length = static_cast<std::size_t>(budget);
    GatherLongValue(data, size, head, length, bytes);
    m_recordBudget -= bytes.size();
    m_longValueBudget -= bytes.size();
}

void TableScan::GatherLongValue(const uint8_t* data, std::size_t size, uint32_t head, std::size_t length,
                                std::vector<uint8_t>& bytes)
{
    if ((head & kLongValueInline) != 0) {
        const std::size_t stored = size - kLongValueHeader;
        bytes.assign(data + kLongValueHeader, data + kLongValueHeader + (length < stored ? length : stored));
        return;
    }
    uint32_t pointer = ReadLittleEndian32(data, 4);
    std::vector<uint8_t> row;
    if ((head & kLongValueOneRow) != 0) {
        if (m_database.RowBytes(pointer >> 8, pointer & 0xFF, row))
            bytes.assign(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(
                                                        length < row.size() ? length : row.size()));
        return;
    }
    // A chain of LVAL rows, each starting with the pointer of the next; it ends at a row it has visited, and
    // visits no more rows than the file has pages (nor than the limit above).
    const uint32_t maxSteps =
        m_database.PageCount() < kMaxLongValueRows ? m_database.PageCount() : kMaxLongValueRows;
    std::unordered_set<uint32_t> visited;
    for (uint32_t step = 0; pointer != 0 && bytes.size() < length && step < maxSteps; ++step) {
        if (!visited.insert(pointer).second)
            break;
        if (!m_database.RowBytes(pointer >> 8, pointer & 0xFF, row) || row.size() < 4)
            break;
        pointer = ReadLittleEndian32(row.data());
        const std::size_t part = row.size() - 4;
        const std::size_t wanted = length - bytes.size();
        bytes.insert(bytes.end(), row.begin() + 4,
                     row.begin() + 4 + static_cast<std::ptrdiff_t>(part < wanted ? part : wanted));
    }
}

} // namespace jet
