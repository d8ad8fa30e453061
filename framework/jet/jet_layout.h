#pragma once

// Where the fields of an Access (Jet 3 and Jet 4) database sit. Jet 3 files have 2 KB pages and one-byte
// row fields; Jet 4 files have 4 KB pages, two-byte row fields and UCS-2 names.
#include <cstddef>
#include <cstdint>

namespace jet {

// Page 0, the database definition page.
constexpr std::size_t kHeaderSignatureOffset = 4;  // "Standard Jet DB" or "Standard ACE DB"
constexpr std::size_t kHeaderVersionOffset = 0x14; // 0 Jet 3, 1 Jet 4, 2 and later ACE
constexpr std::size_t kHeaderMaskedOffset = 0x18;  // start of the RC4-masked settings
constexpr std::size_t kHeaderMaskedLengthJet3 = 126;
constexpr std::size_t kHeaderMaskedLengthJet4 = 128;
constexpr std::size_t kHeaderDatabaseKeyOffset = 0x3E; // non-zero when the pages are encrypted
constexpr uint8_t kHeaderMaskKey[4] = {0xC7, 0xDA, 0x39, 0x6B};

// Page types (first byte of a page).
constexpr uint8_t kPageData = 0x01;
constexpr uint8_t kPageTableDefinition = 0x02;
constexpr uint8_t kPageUsageMap = 0x05;

// The catalog's table definition is always on page 2.
constexpr uint32_t kCatalogPage = 2;

// Data pages: the owning table's definition page at 4; the row count at 8 (Jet 3) or 12 (Jet 4); the
// row offsets follow it.
constexpr std::size_t kDataOwnerOffset = 4;
constexpr std::size_t kDataRowCountJet3 = 8;
constexpr std::size_t kDataRowCountJet4 = 12;
constexpr uint16_t kRowDeleted = 0x8000; // row offset flag: the row is deleted
constexpr uint16_t kRowLookup = 0x4000;  // row offset flag: the row holds a pointer to another row
constexpr uint16_t kRowOffsetMask = 0x1FFF;

// Table definition pages: the next page of a long definition at 4, the definition block from 8.
constexpr std::size_t kDefinitionNextPage = 4;
constexpr std::size_t kDefinitionBlock = 8;

struct DefinitionLayout
{
    std::size_t rowCount;       // records in the table
    std::size_t maxColumns;     // columns a row may hold (counting deleted ones)
    std::size_t varColumnCount; // variable-length columns
    std::size_t columnCount;    // columns of the table
    std::size_t indexCount;     // logical indexes
    std::size_t realIndexCount; // physical indexes
    std::size_t usedPages;      // data pointer of the table's usage map
    std::size_t blockEnd;       // first byte after the block
    std::size_t realIndexSize;  // bytes per physical index entry after the block
    std::size_t columnSize;     // bytes per column entry
    // Within a column entry.
    std::size_t columnType, columnNumber, columnVarIndex, columnMisc, columnFlags, columnFixedOffset,
        columnLength;
};

constexpr DefinitionLayout kDefinitionJet3 = {12, 21, 23, 25, 27, 31, 35, 43, 8, 18, 0, 1, 3, 9, 13, 14, 16};
constexpr DefinitionLayout kDefinitionJet4 = {16, 41, 43, 45, 47, 51, 55, 63, 12,
                                              25, 0,  5,  7,  11, 15, 21, 23};

// Column types.
enum ColumnType : uint8_t
{
    kTypeBoolean = 0x01,
    kTypeByte = 0x02,
    kTypeInteger = 0x03,
    kTypeLong = 0x04,
    kTypeCurrency = 0x05,
    kTypeSingle = 0x06,
    kTypeDouble = 0x07,
    kTypeDateTime = 0x08,
    kTypeBinary = 0x09,
    kTypeText = 0x0A,
    kTypeOle = 0x0B,
    kTypeMemo = 0x0C,
    kTypeGuid = 0x0F,
    kTypeNumeric = 0x10,
};

// Column flags.
constexpr uint8_t kColumnFixed = 0x01;

// Long values (memo, OLE): a 12-byte header in the row.
constexpr std::size_t kLongValueHeader = 12;
constexpr uint32_t kLongValueInline = 0x80000000; // the value follows the header
constexpr uint32_t kLongValueOneRow = 0x40000000; // the value is one LVAL row
constexpr uint32_t kLongValueLengthMask = 0x3FFFFFFF;

// Jet 4 compressed text starts with these two bytes.
constexpr uint8_t kCompressedText[2] = {0xFF, 0xFE};

} // namespace jet
