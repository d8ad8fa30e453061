#pragma once

// A read-only reader of Access databases (Jet 3 and Jet 4 ".mdb"): the catalog of tables and queries,
// table definitions, records with every column type, long values on LVAL pages and the relations. The
// one change it makes is marking a catalog row deleted. Every page number, offset, length and chain read
// from the file is checked against the file, so a damaged or crafted file ends in jet::Error, never in a
// read outside a page, an unbounded allocation or an endless walk.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet_layout.h"

namespace jet {

class Error : public std::runtime_error
{
public:
    explicit Error(const char* what) : std::runtime_error(what) {}
};

// The bytes of the database file.
class PageFile
{
public:
    virtual ~PageFile() = default;
    virtual uint64_t Size() const = 0;
    // False when the bytes cannot be read in full.
    virtual bool Read(uint64_t offset, void* buffer, std::size_t size) = 0;
    // False when the file is read-only or the write fails.
    virtual bool Write(uint64_t offset, const void* buffer, std::size_t size) = 0;
};

// A file held in memory (tests, and files read whole).
class MemoryPageFile : public PageFile
{
public:
    explicit MemoryPageFile(std::vector<uint8_t> bytes, bool writable = true)
        : m_bytes(std::move(bytes)), m_writable(writable)
    {}
    uint64_t Size() const override { return m_bytes.size(); }
    bool Read(uint64_t offset, void* buffer, std::size_t size) override;
    bool Write(uint64_t offset, const void* buffer, std::size_t size) override;
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    bool m_writable;
};

struct Column
{
    std::u16string name;
    uint8_t type = 0;
    uint8_t flags = 0;
    uint16_t number = 0;      // its bit in the null mask
    uint16_t varIndex = 0;    // its entry in a row's variable offsets
    uint16_t fixedOffset = 0; // its place in a row's fixed data
    uint16_t length = 0;      // bytes (0 for memo and OLE)
    uint8_t precision = 0;    // numeric columns
    uint8_t scale = 0;
    bool IsFixed() const { return (flags & kColumnFixed) != 0; }
};

struct TableDefinition
{
    uint32_t page = 0;
    uint32_t rowCount = 0;
    uint16_t varColumnCount = 0;
    uint32_t usedPages = 0; // data pointer of the usage map
    std::vector<Column> columns;
};

// A field's value as read.
struct Value
{
    enum class Kind
    {
        Null,
        Boolean,
        Byte,
        Integer,
        Long,
        Currency, // integer holds the amount in ten-thousandths
        Single,
        Double,
        DateTime, // real holds days since 30 December 1899
        Text,     // text, memo, GUID ("{...}") and numeric (its decimal text)
        Bytes,    // OLE and binary
    };
    Kind kind = Kind::Null;
    int64_t integer = 0;
    double real = 0;
    std::u16string text;
    std::vector<uint8_t> bytes;
};

// Object types of the catalog.
constexpr int16_t kObjectTable = 1;
constexpr int16_t kObjectQuery = 5;

struct CatalogObject
{
    std::u16string name;
    int32_t id = 0; // for a table, its definition page in the low 24 bits
    int16_t type = 0;
    uint32_t flags = 0;   // tables: 0x80000002 system or hidden; queries: the query type in 0xF0
    uint32_t rowPage = 0; // where the catalog row sits, for deleting it
    uint16_t rowIndex = 0;
};

struct Relation
{
    std::u16string name;
    std::u16string table;        // the table holding the foreign key
    std::u16string foreignTable; // the table it refers to
    uint32_t attributes = 0;
};

class TableScan;

class Database
{
public:
    // Reads the header and the catalog; throws Error for a file that is no database or is damaged.
    explicit Database(std::unique_ptr<PageFile> file);

    bool IsJet4() const { return m_jet4; }
    uint32_t PageSize() const { return m_pageSize; }
    uint32_t PageCount() const { return m_pageCount; }

    // Tables and queries of the catalog, in catalog order.
    const std::vector<CatalogObject>& Objects() const { return m_objects; }
    const CatalogObject* FindObject(const std::u16string& name, int16_t type) const;

    TableDefinition ReadDefinition(const CatalogObject& table);
    std::vector<Relation> ReadRelations();
    // Marks the object's catalog row deleted in the file; throws Error when the file is read-only.
    void DeleteObject(const CatalogObject& object);

    // A page read whole; throws Error for a page outside the file.
    const std::vector<uint8_t>& Page(uint32_t number);
    // The bytes of row `row` of a data page (following an overflow pointer once), or false when the page or
    // row is no sound row or is deleted.
    bool RowBytes(uint32_t page, uint32_t row, std::vector<uint8_t>& bytes, bool followLookup = true);
    // The data pages of a table's usage map, in page order.
    std::vector<uint32_t> DataPages(const TableDefinition& table);

private:
    friend class TableScan;
    void ReadHeader();
    void ReadCatalog();

    std::unique_ptr<PageFile> m_file;
    bool m_jet4 = false;
    uint32_t m_pageSize = 0;
    uint32_t m_pageCount = 0;
    uint32_t m_cachedPage = UINT32_MAX;
    std::vector<uint8_t> m_page;
    std::vector<CatalogObject> m_objects;
};

// The records of a table, page by page.
class TableScan
{
public:
    TableScan(Database& database, const TableDefinition& table);
    // The next record, false after the last one.
    bool Next(std::vector<Value>& values);
    // Moves to the next record without reading its fields (counting records costs no long values);
    // ReadCurrent then reads the fields of the record moved to.
    bool Advance();
    void ReadCurrent(std::vector<Value>& values);

private:
    friend class Database;
    void Crack(const std::vector<uint8_t>& row, std::vector<Value>& values);
    void ReadField(const Column& column, const uint8_t* data, std::size_t size, Value& value);
    void ReadLongValue(const uint8_t* data, std::size_t size, std::vector<uint8_t>& bytes);
    void GatherLongValue(const uint8_t* data, std::size_t size, uint32_t head, std::size_t length,
                         std::vector<uint8_t>& bytes);

    Database& m_database;
    TableDefinition m_table;
    std::vector<uint32_t> m_pages;
    std::size_t m_pageIndex = 0;
    uint32_t m_rowIndex = 0;
    std::vector<uint8_t> m_row;
    uint64_t m_longValueBudget;  // long-value bytes the rest of the scan may gather
    uint64_t m_recordBudget = 0; // long-value bytes the record being read may still gather
};

// Text of a Jet 4 field (UCS-2, or compressed when it starts with FF FE) or a Jet 3 one (code page 1252).
std::u16string DecodeText(const uint8_t* data, std::size_t size, bool jet4);

} // namespace jet
