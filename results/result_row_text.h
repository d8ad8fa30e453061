#pragma once

// How the result list's handlers read the texts that the listings write into a row: the ID column, the
// type column's folder kinds, the up entry.
#include <afxwin.h>

#include <cstdint>

// The decimal digits of the text as one unsigned 64-bit value, saturating past 64 bits: the leading
// digits only, or with `skipOthers` every digit of the text in order.
std::uint64_t DecimalDigitsValue(const CString& text, bool skipOthers);

// The ID column holds a folder row's tree item (pointer-sized) or a file's entry ID, in decimal. The
// leading decimal digits are read as an unsigned 64-bit value; a text that starts with anything else
// ("-" in a File Trace group row) gives 0, and a value past 64 bits gives UINT64_MAX, which no item or
// entry has.
std::uint64_t ParseIdColumn(const CString& text);

// "Folder" or "Deleted Folder", without regard to case.
bool IsFolderTypeText(const CString& type);

// The up entry "Parent...", without regard to case.
bool IsParentEntryText(const CString& name);

// A row type's text that starts with "Deleted" is drawn red.
bool IsDeletedTypeText(const CString& type);
