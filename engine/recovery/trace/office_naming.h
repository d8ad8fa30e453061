#pragma once

// Word, Excel, PowerPoint and Publisher files of the binary formats begin alike (the compound-file
// header), so File Trace cannot tell them apart by their first bytes. The application that wrote one is
// named in its summary information: the data found at a sector is copied to the temporary file "0001",
// opened as structured storage, and its application name picks the extension.
//
// Called from the File Trace worker. The temporary file's name is fixed, so only one search may name
// documents at a time.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Name of the temporary copy in the user's temporary folder.
inline constexpr char16_t kOfficeTempFileName[] = u"0001";

// ".ppt", ".xls", ".doc" or ".pub" for the document whose data begins at `sector` of the source: the
// 1 MiB from that sector is copied to the temporary file, named, and the file removed again. Data that is
// no compound document, or names no known application, gives ".pub". Empty only when the temporary copy
// could not be made, so that nothing was named.
std::u16string GetOfficeExtension(std::uint64_t sector);

// The extension for an application name: "PowerPoint" gives ".ppt", else "Excel" ".xls", else "Word"
// ".doc", otherwise ".pub"; plain substring searches in that order, respecting case.
std::u16string OfficeExtensionForAppName(std::u16string_view appName);

// ---- The platform's structured storage (office_naming_win32.cpp / office_naming_posix.cpp) -------------

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
