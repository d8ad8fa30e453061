#pragma once

// "Raw.dat", the program's file of file-type signatures that the File Types dialog offers for File
// Trace. Records follow each other from offset 0 to the end of the file:
//
//   u16 identifier, one category byte (an ASCII digit), then five fields, each behind its little-endian
//   u16 length: extension (with its dot, ".jpg"), type name, compare length (decimal digits), signature
//   bytes, and a last field whose leading decimal digits are kept as a number.
//
// A signature field twice as long as its compare length holds a mask after the compared bytes: a header's
// fields that differ from file to file (a size, a count) are compared on nothing, so that the fixed
// fields around them can make a short signature ("BM") long enough to tell a file from other data. A
// mask digit of 0 leaves its digit of the signature out; any other compares it whole.
//
// The file sits beside the program but is still read as untrusted input: every length is checked
// against what remains, and reading stops at the first record that does not fit, keeping those before.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/recovery/trace/trace_records.h"

// Record layout: offsets within a record.
inline constexpr std::size_t kSignatureRecordIdOffset = 0;       // u16, not used by the program
inline constexpr std::size_t kSignatureRecordCategoryOffset = 2; // one ASCII digit
inline constexpr std::size_t kSignatureRecordFieldsOffset = 3;   // the five length-prefixed fields
inline constexpr std::size_t kSignatureFieldLengthSize = 2;      // u16 little-endian before each field

// The file is read whole; anything longer than this is no signature file.
inline constexpr std::size_t kMaxSignatureFileBytes = 4u << 20;

// The leading bytes of a sector that File Trace compares.
inline constexpr std::uint32_t kMaxSignatureCompareLength = 15;

// One record as read, in file order. Text fields are single-byte text as stored.
struct SignatureFileRecord
{
    std::uint32_t recordNumber = 0; // from 0 in file order
    char category = 0;
    std::string extension;
    std::string typeName;
    std::string compareLengthText;
    std::string signature; // raw bytes
    std::string lastField; // raw bytes
};

struct SignatureFileContents
{
    std::vector<SignatureFileRecord> records;
    // False when reading stopped at a record that did not fit (the records before it are kept).
    bool complete = true;
};

SignatureFileContents ParseSignatureFile(const std::uint8_t* bytes, std::size_t size);

// Reads the file at `path` (read-only). A missing, unreadable or oversized file gives no records.
SignatureFileContents ReadSignatureFile(const char16_t* path);

// The category node a record is filed under: "Archive Files" for '0' through "CAD Files" for '8';
// '9' and every other byte "Other Files".
const char16_t* SignatureCategoryName(char category);

// Single-byte text as UTF-16, each byte its own code point.
std::u16string SignatureText(const std::string& text);

// The signature as upper-case hexadecimal, two digits per byte.
std::string SignatureHex(const std::string& bytes);

// The compared bytes as File Trace's signature text: upper-case hexadecimal, with "?" for each digit
// that the record's mask leaves out.
std::string SignaturePatternHex(const SignatureFileRecord& record);

// The bytes that File Trace compares: the compare-length text read as a decimal number, held to 1..15
// and to the signature's own length.
std::uint32_t SignatureCompareLength(const SignatureFileRecord& record);

// The leading decimal digits of the last field's hexadecimal text, as a number (0 when none; held to
// 32 bits).
std::uint32_t SignatureLastValue(const SignatureFileRecord& record);

// Appends to the engine's list of chosen signatures the record's signature: extension, type name, the
// compared bytes as SignaturePatternHex gives them and the last value.
FileSignatureRec* AddSignatureFromRecord(const SignatureFileRecord& record);
