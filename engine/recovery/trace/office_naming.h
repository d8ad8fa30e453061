#pragma once

// Word, Excel, PowerPoint and Publisher files of the binary formats begin alike (the compound-file
// header), so File Trace cannot tell them apart by their first bytes. The application that wrote one is
// named in its summary information, which the compound-file reader finds by reading from the source only
// the sectors it needs: a hit is named only when its sector begins with the compound-file signature, so
// that a disk full of hits costs no more than the documents it holds.
//
// Called from the File Trace worker.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/recovery/trace/compound_file_reader.h"

// Name of the temporary copy in the user's temporary folder.
inline constexpr char16_t kOfficeTempFileName[] = u"0001";

// ".ppt", ".xls", ".doc" or ".pub" for the document whose data begins at `sector` of the source, read
// no further than the 1 MiB from that sector. Data that is no compound document, or names no known
// application, gives ".pub".
std::u16string GetOfficeExtension(std::uint64_t sector);

// The same for a document read through `read` from its first byte on.
std::u16string OfficeExtensionAt(const CompoundFileRead& read);

// The extension for an application name: "PowerPoint" gives ".ppt", else "Excel" ".xls", else "Word"
// ".doc", otherwise ".pub"; plain substring searches in that order, respecting case.
std::u16string OfficeExtensionForAppName(std::u16string_view appName);

// ---- The platform's structured storage (office_naming_win32.cpp / office_naming_posix.cpp) -------------
// Not used for naming found data; they open a document saved as a file, and the tests hold our reader
// against the system's with them.

// The application name of the structured-storage file at `path` followed by " (VT_LPSTR)\n"; empty when
// the file cannot be opened as structured storage or holds no application name. On Windows the system's
// OLE services read it, with COM initialised on the calling thread for the call; the host build reads it
// with ReadCompoundFileAppName.
std::u16string GetOfficeAppName(const char16_t* path);

// The user's temporary folder followed by kOfficeTempFileName; empty when the folder is unknown.
std::u16string OfficeTempFilePath();

// Creates (or empties) the file for reading and writing in binary ("wb+"); null when it cannot be made.
std::FILE* CreateOfficeTempFile(const char16_t* path);

void RemoveOfficeTempFile(const char16_t* path);

#ifdef _WIN32
struct IPropertySetStorage;

// The application name of the summary-information property set of `set`, as GetOfficeAppName gives it.
std::u16string ReadSummaryAppName(IPropertySetStorage* set);
#endif
