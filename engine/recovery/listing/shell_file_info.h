#pragma once

// The shell's icons and type names for files that exist only as names found on a disk: everything is
// asked by name and attributes, never by opening a file, so only the extension counts. On Windows each
// operation is one SHGetFileInfo call (shell_file_info_win32.cpp). Elsewhere a stand-in answers as the
// shell does for extensions that nothing is registered for, so that the listings run on the host.
//
// The methods are virtual so that the views embed the real object while tests attach canned answers
// (engineUi.shellInfo). The shell expects COM on every calling thread: the engine's entry points that list
// from a worker (QuickScanPartition, FileSystemScanThread, FileTraceScanThread, the snapshot readers)
// hold a PlatformComScope (platform_io.h) for their run.

#include <cstdint>
#include <string>

class CShellFileInfo
{
public:
    virtual ~CShellFileInfo() = default;

    // The system image list (an HIMAGELIST on Windows, 0 elsewhere), small or large icons.
    virtual std::uintptr_t GetSystemImageList(bool small) const;
    // The system icon index for a normal file of that name.
    virtual int GetFileIconIndex(const char16_t* fileName, bool small) const;
    // The system icon index for a closed folder.
    virtual int GetFolderIconIndex(bool small) const;
    // The shell's type name for a file of that name ("JPEG Image", "TXT File", "File").
    virtual std::u16string GetFileTypeName(const char16_t* fileName) const;
};
