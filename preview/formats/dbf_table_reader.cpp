#include "dbf_table_reader.h"

#include "engine/image/byte_order.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A field descriptor is 32 bytes; the descriptors start after the 32-byte table header.
constexpr std::uint64_t kDescriptorSize = 32;
constexpr std::uint64_t kFirstDescriptor = 32;
// Offsets inside a descriptor.
constexpr std::size_t kNameSize = 11;     // name, zero-padded
constexpr std::size_t kTypeOffset = 11;   // type character
constexpr std::size_t kLengthOffset = 16; // length in bytes
// The byte after the last descriptor.
constexpr std::uint8_t kDescriptorEnd = 0x0D;
// The deletion flag of a record that is not deleted; the first one marks the start of the records.
constexpr std::uint8_t kRecordFlagLive = 0x20;
constexpr int kColumnWidth = 100;

std::string ZeroTerminated(const std::string& bytes)
{
    const std::size_t zero = bytes.find('\0');
    return zero == std::string::npos ? bytes : bytes.substr(0, zero);
}

// The offset of the first 0x20 byte at or after `from`, or the size of the file.
std::uint64_t FindRecordStart(ByteSource& source, std::uint64_t from, std::uint64_t size)
{
    std::uint8_t chunk[4096];
    while (from < size) {
        const std::size_t got = source.ReadAt(from, chunk, sizeof chunk);
        if (got == 0)
            return size;
        for (std::size_t i = 0; i < got; ++i)
            if (chunk[i] == kRecordFlagLive)
                return from + i;
        from += got;
    }
    return size;
}

void InsertAtOrAppend(std::string& text, std::size_t index, char c)
{
    text.insert(index < text.size() ? index : text.size(), 1, c);
}

bool IsTrueWord(const std::string& word)
{
    // Besides the English words, the Russian "ДА" and "ИСТИНА" as Windows-1251 bytes.
    static const char* const kWords[] = {"T", "Y", "YES", "TRUE", "\xC4\xC0", "\xC8\xD1\xD2\xC8\xCD\xC0"};
    for (const char* candidate : kWords)
        if (word == candidate)
            return true;
    return false;
}

} // namespace

std::string DbfValueText(char type, const std::string& bytes)
{
    const std::string text = ZeroTerminated(bytes);
    std::uint8_t first8[8] = {};
    for (std::size_t i = 0; i < bytes.size() && i < 8; ++i)
        first8[i] = static_cast<std::uint8_t>(bytes[i]);
    char formatted[64];
    switch (type) {
    case 'N':
    case 'F':
        std::snprintf(formatted, sizeof formatted, "%f", std::atof(text.c_str()));
        // A huge exponent does not fit the buffer; such a value is shown cut.
        return formatted;
    case 'C':
    case 'B':
        return text;
    case 'I':
        std::snprintf(formatted, sizeof formatted, "%" PRId32,
                      static_cast<std::int32_t>(ReadLittleEndian32(first8)));
        return formatted;
    case 'Y': {
        // Ten-thousandths of the unit in eight bytes; the whole units are what is shown.
        std::snprintf(formatted, sizeof formatted, "%" PRId64,
                      static_cast<std::int64_t>(ReadLittleEndian64(first8)));
        std::string digits = formatted;
        if (digits.size() > 4)
            digits.resize(digits.size() - 4);
        return digits;
    }
    case 'D': {
        std::string date = text;
        InsertAtOrAppend(date, 4, '/');
        InsertAtOrAppend(date, 7, '/');
        return date;
    }
    case 'L': {
        std::size_t begin = 0, end = text.size();
        while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
            ++begin;
        while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
            --end;
        std::string word = text.substr(begin, end - begin);
        for (char& c : word)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return IsTrueWord(word) ? "TRUE" : "FALSE";
    }
    case 'M':
        return "Memo";
    case 'G':
        return "General";
    case 'P':
        return "Picture";
    default:
        return std::string();
    }
}

bool LoadDbfTable(ByteSource& source, DbfTableSink& sink, std::uint64_t maxRecords, DbfRecordCounts* counts)
{
    const std::uint64_t size = source.Size();
    sink.InsertColumn(0, "Index", kColumnWidth);

    std::vector<char> types;
    std::vector<std::uint8_t> lengths;
    std::uint64_t p = kFirstDescriptor;
    if (size > kFirstDescriptor) {
        for (;;) {
            std::uint8_t slot[kDescriptorSize] = {};
            const std::size_t got = source.ReadAt(p, slot, sizeof slot);
            types.push_back(static_cast<char>(slot[kTypeOffset]));
            if (got > 0 && slot[0] == kDescriptorEnd)
                break;
            if (types.size() > static_cast<std::size_t>(kDbfMaxFields)) {
                sink.DeleteAllRowsAndColumns();
                return false;
            }
            // The length is the last byte of the descriptor that is used; a slot cut before it is a
            // descriptor area cut short by the end of the file.
            if (got <= kLengthOffset)
                return false;
            const std::string name(reinterpret_cast<const char*>(slot), kNameSize);
            lengths.push_back(slot[kLengthOffset]);
            sink.InsertColumn(static_cast<int>(lengths.size()), ZeroTerminated(name), kColumnWidth);
            p += kDescriptorSize;
            if (p >= size)
                break;
        }
    }
    if (p > size || p <= kFirstDescriptor || lengths.empty())
        return false;
    // A record of the flag byte alone would make every byte of the file a record.
    std::uint64_t recordLength = 1;
    for (const std::uint8_t length : lengths)
        recordLength += length;
    if (recordLength == 1)
        return false;

    p = FindRecordStart(source, p, size);
    sink.InsertRow(0, "1");
    p += 1;
    if (p > size)
        return false;
    // Every record start before the end of the file makes a row, the first one even at the end.
    const std::uint64_t total = p < size ? (size - p + recordLength - 1) / recordLength : 1;
    if (counts != nullptr) {
        counts->total = total;
        counts->loaded = total < maxRecords ? total : maxRecords;
    }

    std::size_t field = 0;
    std::uint64_t row = 0;
    std::string value;
    while (p < size) {
        const std::uint8_t length = lengths[field];
        value.assign(length, '\0');
        value.resize(source.ReadAt(p, value.data(), length));
        sink.SetCell(static_cast<int>(row), static_cast<int>(field) + 1, types[field],
                     DbfValueText(types[field], value));
        p += length;
        if (++field == lengths.size()) {
            field = 0;
            p += 1;
            ++row;
            if (p >= size || row >= maxRecords)
                break;
            sink.InsertRow(static_cast<int>(row), std::to_string(row + 1));
        }
    }
    return true;
}
