#pragma once

#include <windows.h>

class CHtmlStringTable;

// Room of the output of ResolveHtmlUrl, terminator included.
constexpr int kHtmlUrlCapacity = 1024;

// Decodes character entities in place (the text never grows) and returns the same buffer. A
// character reference that reads as 0 becomes U+FFFD so that it cannot end the text.
wchar_t* DecodeHtmlEntity(wchar_t* text);
// Turns two-character UTF-8 sequences read byte by byte back into their character, in place.
void RepairUtf8Text(wchar_t* text);
// A CSS colour name (any case) or "#rrggbb"; a pair that cannot be read is 0.
COLORREF ParseHtmlColor(const wchar_t* text);
// Writes the absolute URL of link relative to base into out, which holds kHtmlUrlCapacity characters;
// longer results are cut.
void ResolveHtmlUrl(const wchar_t* link, wchar_t* out, const wchar_t* base);
// One row per attribute of the tag: cell 0 the name as written, cell 1 the value when there is one.
void ParseTagAttributes(const wchar_t* tagText, CHtmlStringTable* table);
