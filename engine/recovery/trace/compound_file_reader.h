#pragma once

// The application name that a compound file (the structured-storage container of the older Word, Excel,
// PowerPoint and Publisher formats) keeps in its summary information, read from the file's bytes without
// the system's OLE services. The host build names documents with it; on Windows the system's structured
// storage does, and the tests hold the two against each other.
//
// Every offset, count and chain link comes from the file and is checked before use: a crafted file gives
// an empty name, never a read outside the file, a loop or an allocation larger than the file, and no more
// bytes are read than the file holds, in the pieces the reader needs (the header, the sectors of the FAT,
// the directory and the streams that its chains name).

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The value of the application-name property (18) of the "\005SummaryInformation" stream under the
// root storage, as UTF-16 and cut at its first NUL; empty when the file is no compound file, has no such
// stream, or the stream holds no such string. An ANSI value is widened byte by byte (the property set's
// code page is only honoured for UTF-16, code page 1200): the caller looks for ASCII words in it.
std::u16string ReadCompoundFileAppName(std::span<const std::uint8_t> file);

// Reads `count` bytes at `offset` of a file into `out`; false when they cannot be read.
using CompoundFileRead = std::function<bool(std::uint64_t offset, std::size_t count, std::uint8_t* out)>;

// The same for a file of `size` bytes read through `read`, piece by piece as the reader needs them.
std::u16string ReadCompoundFileAppName(const CompoundFileRead& read, std::uint64_t size);

// True when `bytes` begin with the compound file's signature.
bool StartsCompoundFile(std::span<const std::uint8_t> bytes);
