#include "engine/recovery/listing/shell_file_info.h"

#include <windows.h>

#include <shellapi.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text meets the Win32 API unconverted");

namespace {

const wchar_t* Wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text ? text : u"");
}

// One question to the shell; with SHGFI_USEFILEATTRIBUTES no file is looked at, only the name.
DWORD_PTR AskShell(const char16_t* name, DWORD attributes, UINT flags, SHFILEINFOW& info)
{
    info = {};
    return SHGetFileInfoW(Wide(name), attributes, &info, sizeof(info), flags);
}

UINT SizeFlag(bool small)
{
    return small ? SHGFI_SMALLICON : 0;
}

} // namespace

std::uintptr_t CShellFileInfo::GetSystemImageList(bool small) const
{
    SHFILEINFOW info;
    return static_cast<std::uintptr_t>(AskShell(u"c:\\", 0, SHGFI_SYSICONINDEX | SizeFlag(small), info));
}

int CShellFileInfo::GetFileIconIndex(const char16_t* fileName, bool small) const
{
    SHFILEINFOW info;
    AskShell(fileName, FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SizeFlag(small),
             info);
    return info.iIcon;
}

int CShellFileInfo::GetFolderIconIndex(bool small) const
{
    SHFILEINFOW info;
    AskShell(u"Doesn't matter", FILE_ATTRIBUTE_DIRECTORY,
             SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SizeFlag(small), info);
    return info.iIcon;
}

std::u16string CShellFileInfo::GetFileTypeName(const char16_t* fileName) const
{
    SHFILEINFOW info;
    AskShell(fileName, FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME, info);
    info.szTypeName[(sizeof(info.szTypeName) / sizeof(info.szTypeName[0])) - 1] = 0;
    return std::u16string(reinterpret_cast<const char16_t*>(info.szTypeName));
}
