#pragma once

// The two records of the File Trace scan: the file-type signatures the user chose and the items found,
// and the hexadecimal text helpers that compare sector bytes with a signature.

#include <cstddef>
#include <cstdint>

// The longest type name a signature or an item keeps: the longest a signature file holds on the
// screen; a longer one is cut there.
inline constexpr std::size_t kMaxTypeNameLength = 255;

struct FileSignatureRec
{
    char16_t* extension;           // owned, with its leading dot (".jpg")
    char16_t* typeName;            // owned, at most kMaxTypeNameLength units
    std::uint32_t signatureLength; // leading bytes of a sector that are compared (1 to 15)
    char* signature;               // owned ANSI hexadecimal digits, two per byte, any case
    std::uint32_t number;          // carried from the definition file; the scan does not read it
    FileSignatureRec* next;
};

struct TraceFoundRec
{
    char16_t* name;       // owned: the item's number followed by its extension ("12.jpg")
    char16_t* extension;  // owned
    char16_t* typeName;   // shared by every item of the same type name; freed with the list
    std::uint32_t sector; // absolute sector at which the item begins
    std::uint32_t number; // running number, 1 for the first match; the entry ID
    TraceFoundRec* next;
};

FileSignatureRec* AddFileSignatureRec(const char16_t* extension, const char16_t* typeName,
                                      std::uint32_t signatureLength, const char* signature,
                                      std::uint32_t number);

TraceFoundRec* AddTraceFoundRec(const char16_t* fileName, const char16_t* extension, const char16_t* typeName,
                                std::uint32_t entryId, std::uint32_t startSector);

void FreeTraceFoundList();
void FreeFileSignatureList();

// A new text of 2 x count lower-case hexadecimal digits, high digit first; the caller frees it.
char* BytesToHex(const std::uint8_t* bytes, std::uint32_t count);

// A new 5-byte text holding characters 2, 3, 0 and 1 of `text` (ABCD gives CDAB): the byte order of a
// 16-bit value written in hexadecimal. Characters past the end of a shorter text count as its
// terminator, so the result ends early. The caller frees it.
char* SwapHexWordBytes(const char* text);
