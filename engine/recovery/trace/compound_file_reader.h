#pragma once

// The application name that a compound file (the structured-storage container of the older Word, Excel,
// PowerPoint and Publisher formats) keeps in its summary information, read from the file's bytes without
// the system's OLE services. The host build names documents with it; on Windows the system's structured
// storage does, and the tests hold the two against each other.
//
// Every offset, count and chain link comes from the file and is checked before use: a crafted file gives
// an empty name, never a read outside `file`, a loop or an allocation larger than the file.

#include <cstdint>
#include <span>
#include <string>

// The value of the application-name property (18) of the "\005SummaryInformation" stream under the
// root storage, as UTF-16 and cut at its first NUL; empty when the file is no compound file, has no such
// stream, or the stream holds no such string. An ANSI value is widened byte by byte (the property set's
// code page is only honoured for UTF-16, code page 1200): the caller looks for ASCII words in it.
std::u16string ReadCompoundFileAppName(std::span<const std::uint8_t> file);
