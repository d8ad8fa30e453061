#include "jet_database.h"

#include <cstring>
#include <set>

#include "byte_order.h"

namespace jet {

namespace {

// Table definitions longer than this are refused; Access spreads a definition over a few pages at most.
constexpr int kMaxDefinitionPages = 64;
constexpr uint16_t kMaxColumns = 4096;

void Rc4(const uint8_t* key, std::size_t keySize, uint8_t* data, std::size_t size)
{
    uint8_t state[256];
    for (int i = 0; i < 256; ++i)
        state[i] = static_cast<uint8_t>(i);
    uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = static_cast<uint8_t>(j + state[i] + key[i % keySize]);
        std::swap(state[i], state[j]);
    }
    uint8_t a = 0;
    uint8_t b = 0;
    for (std::size_t k = 0; k < size; ++k) {
        a = static_cast<uint8_t>(a + 1);
        b = static_cast<uint8_t>(b + state[a]);
        std::swap(state[a], state[b]);
        data[k] ^= state[static_cast<uint8_t>(state[a] + state[b])];
    }
}

// A table definition gathered from its chain of pages: the first page's bytes whole, then each further
// page's bytes after its 8-byte header.
std::vector<uint8_t> DefinitionBytes(Database& database, uint32_t first)
{
    std::vector<uint8_t> bytes;
    uint32_t page = first;
    for (int count = 0; page != 0; ++count) {
        if (count == kMaxDefinitionPages)
            throw Error("table definition chain too long");
        const std::vector<uint8_t>& data = database.Page(page);
        if (data[0] != kPageTableDefinition)
            throw Error("not a table definition page");
        bytes.insert(bytes.end(), data.begin() + (count == 0 ? 0 : kDefinitionBlock), data.end());
        page = ReadLittleEndian32(data.data(), kDefinitionNextPage);
    }
    return bytes;
}

// Reads fields of a byte run with bounds checks.
class Cursor
{
public:
    Cursor(const std::vector<uint8_t>& bytes, std::size_t at) : m_bytes(bytes), m_at(at) {}
    void Need(std::size_t size) const
    {
        if (m_at > m_bytes.size() || m_bytes.size() - m_at < size)
            throw Error("table definition truncated");
    }
    const uint8_t* Take(std::size_t size)
    {
        Need(size);
        const uint8_t* data = m_bytes.data() + m_at;
        m_at += size;
        return data;
    }
    std::size_t At() const { return m_at; }

private:
    const std::vector<uint8_t>& m_bytes;
    std::size_t m_at;
};

std::u16string ColumnByName(const TableDefinition& table, const std::vector<Value>& values,
                            const char16_t* name, int64_t* integer)
{
    for (std::size_t i = 0; i < table.columns.size() && i < values.size(); ++i) {
        if (table.columns[i].name == name) {
            if (integer != nullptr)
                *integer = values[i].integer;
            return values[i].text;
        }
    }
    if (integer != nullptr)
        *integer = 0;
    return std::u16string();
}

} // namespace

bool MemoryPageFile::Read(uint64_t offset, void* buffer, std::size_t size)
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < size)
        return false;
    std::memcpy(buffer, m_bytes.data() + offset, size);
    return true;
}

bool MemoryPageFile::Write(uint64_t offset, const void* buffer, std::size_t size)
{
    if (!m_writable || offset > m_bytes.size() || m_bytes.size() - offset < size)
        return false;
    std::memcpy(m_bytes.data() + offset, buffer, size);
    return true;
}

Database::Database(std::unique_ptr<PageFile> file) : m_file(std::move(file))
{
    ReadHeader();
    ReadCatalog();
}

void Database::ReadHeader()
{
    uint8_t header[0x100] = {};
    if (m_file->Size() < sizeof(header) || !m_file->Read(0, header, sizeof(header)))
        throw Error("file too short for a database header");
    static const char kJet[] = "Standard Jet DB";
    static const char kAce[] = "Standard ACE DB";
    if (header[0] != 0 || (std::memcmp(header + kHeaderSignatureOffset, kJet, sizeof(kJet)) != 0 &&
                           std::memcmp(header + kHeaderSignatureOffset, kAce, sizeof(kAce)) != 0))
        throw Error("no Access database signature");
    const uint32_t version = ReadLittleEndian32(header, kHeaderVersionOffset);
    m_jet4 = version != 0;
    m_pageSize = m_jet4 ? 4096 : 2048;
    uint8_t* masked = header + kHeaderMaskedOffset;
    Rc4(kHeaderMaskKey, sizeof(kHeaderMaskKey), masked,
        m_jet4 ? kHeaderMaskedLengthJet4 : kHeaderMaskedLengthJet3);
    if (ReadLittleEndian32(header, kHeaderDatabaseKeyOffset) != 0)
        throw Error("the database is encrypted");
    const uint64_t pages = m_file->Size() / m_pageSize;
    if (pages <= kCatalogPage)
        throw Error("file too short for the catalog");
    m_pageCount = pages > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(pages);
}

const std::vector<uint8_t>& Database::Page(uint32_t number)
{
    if (number >= m_pageCount)
        throw Error("page outside the file");
    if (number != m_cachedPage) {
        m_page.resize(m_pageSize);
        m_cachedPage = UINT32_MAX;
        if (!m_file->Read(static_cast<uint64_t>(number) * m_pageSize, m_page.data(), m_pageSize))
            throw Error("page cannot be read");
        m_cachedPage = number;
    }
    return m_page;
}

bool Database::RowBytes(uint32_t page, uint32_t row, std::vector<uint8_t>& bytes, bool followLookup)
{
    if (page == 0 || page >= m_pageCount)
        return false;
    const std::vector<uint8_t>& data = Page(page);
    if (data[0] != kPageData)
        return false;
    const std::size_t countAt = m_jet4 ? kDataRowCountJet4 : kDataRowCountJet3;
    const uint32_t count = ReadLittleEndian16(data.data(), countAt);
    const std::size_t tableAt = countAt + 2;
    if (row >= count || tableAt + 2 * static_cast<std::size_t>(count) > m_pageSize)
        return false;
    const uint16_t entry = ReadLittleEndian16(data.data(), tableAt + 2 * row);
    if ((entry & kRowDeleted) != 0 || ((entry & kRowLookup) != 0 && !followLookup))
        return false;
    const std::size_t start = entry & kRowOffsetMask;
    // A row ends where the one before it starts (rows fill the page from its end).
    std::size_t end = m_pageSize;
    if (row > 0)
        end = ReadLittleEndian16(data.data(), tableAt + 2 * (row - 1)) & kRowOffsetMask;
    if (start < tableAt + 2 * static_cast<std::size_t>(count) || end > m_pageSize || start >= end)
        return false;
    bytes.assign(data.begin() + static_cast<std::ptrdiff_t>(start),
                 data.begin() + static_cast<std::ptrdiff_t>(end));
    if ((entry & kRowLookup) != 0) {
        // The row moved to an overflow page; its place holds the data pointer. Followed only once.
        if (bytes.size() < 4)
            return false;
        const uint32_t pointer = ReadLittleEndian32(bytes.data());
        return RowBytes(pointer >> 8, pointer & 0xFF, bytes, false);
    }
    return true;
}

TableDefinition Database::ReadDefinition(const CatalogObject& table)
{
    TableDefinition definition;
    definition.page = static_cast<uint32_t>(table.id) & 0x00FFFFFF;
    const std::vector<uint8_t> bytes = DefinitionBytes(*this, definition.page);
    const DefinitionLayout& layout = m_jet4 ? kDefinitionJet4 : kDefinitionJet3;
    Cursor header(bytes, 0);
    header.Need(layout.blockEnd);
    definition.rowCount = ReadLittleEndian32(bytes.data(), layout.rowCount);
    definition.varColumnCount = ReadLittleEndian16(bytes.data(), layout.varColumnCount);
    const uint16_t columnCount = ReadLittleEndian16(bytes.data(), layout.columnCount);
    const uint32_t realIndexCount = ReadLittleEndian32(bytes.data(), layout.realIndexCount);
    definition.usedPages = ReadLittleEndian32(bytes.data(), layout.usedPages);
    if (columnCount > kMaxColumns || realIndexCount > bytes.size() / layout.realIndexSize)
        throw Error("table definition counts out of range");
    Cursor cursor(bytes, layout.blockEnd + realIndexCount * layout.realIndexSize);
    definition.columns.resize(columnCount);
    uint16_t varColumns = 0;
    for (Column& column : definition.columns) {
        const uint8_t* entry = cursor.Take(layout.columnSize);
        column.type = entry[layout.columnType];
        column.number = ReadLittleEndian16(entry, layout.columnNumber);
        column.varIndex = ReadLittleEndian16(entry, layout.columnVarIndex);
        column.precision = entry[layout.columnMisc];
        column.scale = entry[layout.columnMisc + 1];
        column.flags = entry[layout.columnFlags];
        column.fixedOffset = ReadLittleEndian16(entry, layout.columnFixedOffset);
        column.length = ReadLittleEndian16(entry, layout.columnLength);
        if (!column.IsFixed())
            ++varColumns;
    }
    if (varColumns > definition.varColumnCount)
        definition.varColumnCount = varColumns;
    for (Column& column : definition.columns) {
        if (m_jet4) {
            const uint16_t size = ReadLittleEndian16(cursor.Take(2), 0);
            column.name = DecodeText(cursor.Take(size), size, true);
        } else {
            const uint8_t size = *cursor.Take(1);
            column.name = DecodeText(cursor.Take(size), size, false);
        }
    }
    return definition;
}

std::vector<uint32_t> Database::DataPages(const TableDefinition& table)
{
    std::vector<uint32_t> pages;
    std::vector<uint8_t> map;
    if (!RowBytes(table.usedPages >> 8, table.usedPages & 0xFF, map) || map.empty())
        throw Error("the table's usage map cannot be read");
    auto addPage = [&](uint32_t number) {
        if (number < m_pageCount && number != table.page && Page(number)[0] == kPageData &&
            ReadLittleEndian32(Page(number).data(), kDataOwnerOffset) == table.page)
            pages.push_back(number);
    };
    if (map[0] == 0) {
        // The first page it covers, then one bit a page.
        if (map.size() < 5)
            throw Error("usage map truncated");
        const uint64_t start = ReadLittleEndian32(map.data(), 1);
        for (std::size_t bit = 0; bit < (map.size() - 5) * 8; ++bit)
            if ((map[5 + bit / 8] >> (bit % 8)) & 1)
                if (start + bit < m_pageCount)
                    addPage(static_cast<uint32_t>(start + bit));
    } else if (map[0] == 1) {
        // Pointers to map pages, each covering the pages its bits can count.
        const uint64_t perMapPage = static_cast<uint64_t>(m_pageSize - 4) * 8;
        const std::vector<uint8_t> pointers = map;
        for (std::size_t i = 0; 1 + 4 * i + 4 <= pointers.size(); ++i) {
            const uint32_t mapPage = ReadLittleEndian32(pointers.data(), 1 + 4 * i);
            if (mapPage == 0 || mapPage >= m_pageCount)
                continue;
            const std::vector<uint8_t> bits = Page(mapPage);
            if (bits[0] != kPageUsageMap)
                continue;
            for (uint64_t bit = 0; bit < perMapPage; ++bit) {
                const uint64_t number = i * perMapPage + bit;
                if (number >= m_pageCount)
                    break;
                if ((bits[4 + bit / 8] >> (bit % 8)) & 1)
                    addPage(static_cast<uint32_t>(number));
            }
        }
    } else {
        throw Error("unknown usage map type");
    }
    return pages;
}

void Database::ReadCatalog()
{
    CatalogObject catalog;
    catalog.id = static_cast<int32_t>(kCatalogPage);
    const TableDefinition definition = ReadDefinition(catalog);
    int idColumn = -1;
    int nameColumn = -1;
    int typeColumn = -1;
    int flagsColumn = -1;
    for (std::size_t i = 0; i < definition.columns.size(); ++i) {
        const std::u16string& name = definition.columns[i].name;
        const int index = static_cast<int>(i);
        if (name == u"Id")
            idColumn = index;
        else if (name == u"Name")
            nameColumn = index;
        else if (name == u"Type")
            typeColumn = index;
        else if (name == u"Flags")
            flagsColumn = index;
    }
    if (idColumn < 0 || nameColumn < 0 || typeColumn < 0 || flagsColumn < 0)
        throw Error("the catalog lacks its columns");
    const std::vector<uint32_t> pages = DataPages(definition);
    std::vector<uint8_t> row;
    for (const uint32_t page : pages) {
        const std::vector<uint8_t>& data = Page(page);
        const uint32_t count =
            ReadLittleEndian16(data.data(), m_jet4 ? kDataRowCountJet4 : kDataRowCountJet3);
        for (uint32_t index = 0; index < count && index < m_pageSize / 2; ++index) {
            if (!RowBytes(page, index, row))
                continue;
            TableScan scan(*this, definition);
            std::vector<Value> values;
            scan.Crack(row, values);
            CatalogObject object;
            object.type = static_cast<int16_t>(values[static_cast<std::size_t>(typeColumn)].integer);
            if (object.type != kObjectTable && object.type != kObjectQuery)
                continue;
            object.name = values[static_cast<std::size_t>(nameColumn)].text;
            object.id = static_cast<int32_t>(values[static_cast<std::size_t>(idColumn)].integer);
            object.flags = static_cast<uint32_t>(values[static_cast<std::size_t>(flagsColumn)].integer);
            object.rowPage = page;
            object.rowIndex = static_cast<uint16_t>(index);
            m_objects.push_back(object);
        }
    }
}

const CatalogObject* Database::FindObject(const std::u16string& name, int16_t type) const
{
    for (const CatalogObject& object : m_objects)
        if (object.type == type && object.name == name)
            return &object;
    return nullptr;
}

std::vector<Relation> Database::ReadRelations()
{
    std::vector<Relation> relations;
    const CatalogObject* table = FindObject(u"MSysRelationships", kObjectTable);
    if (table == nullptr)
        return relations;
    const TableDefinition definition = ReadDefinition(*table);
    TableScan scan(*this, definition);
    std::vector<Value> values;
    std::set<std::u16string> names;
    while (scan.Next(values)) {
        Relation relation;
        relation.name = ColumnByName(definition, values, u"szRelationship", nullptr);
        // A relation over several columns has a row per column; the first names it.
        if (relation.name.empty() || !names.insert(relation.name).second)
            continue;
        relation.table = ColumnByName(definition, values, u"szObject", nullptr);
        relation.foreignTable = ColumnByName(definition, values, u"szReferencedObject", nullptr);
        int64_t attributes = 0;
        ColumnByName(definition, values, u"grbit", &attributes);
        relation.attributes = static_cast<uint32_t>(attributes);
        relations.push_back(relation);
    }
    return relations;
}

void Database::DeleteObject(const CatalogObject& object)
{
    const std::vector<uint8_t>& data = Page(object.rowPage);
    const std::size_t entryAt = (m_jet4 ? kDataRowCountJet4 : kDataRowCountJet3) + 2 + 2 * object.rowIndex;
    if (data[0] != kPageData || entryAt + 2 > m_pageSize)
        throw Error("the catalog row is gone");
    // Access marks a deleted row with the deleted bit; mdbtools passes over rows by the overflow bit. A row
    // with both is deleted for every reader (a deleted row is never followed as an overflow).
    const uint16_t entry = ReadLittleEndian16(data.data(), entryAt) | kRowDeleted | kRowLookup;
    const uint8_t bytes[2] = {static_cast<uint8_t>(entry & 0xFF), static_cast<uint8_t>(entry >> 8)};
    const uint64_t offset = static_cast<uint64_t>(object.rowPage) * m_pageSize + entryAt;
    if (!m_file->Write(offset, bytes, sizeof(bytes)))
        throw Error("the database cannot be written");
    m_cachedPage = UINT32_MAX;
    for (auto it = m_objects.begin(); it != m_objects.end(); ++it) {
        if (it->rowPage == object.rowPage && it->rowIndex == object.rowIndex) {
            m_objects.erase(it);
            break;
        }
    }
}

} // namespace jet
