#include "engine/recovery/listing/shell_file_info.h"

#include <windows.h>

#include <shellapi.h>

#include <map>
#include <mutex>

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

// The shell answers by extension alone, and each answer is a round trip through the shell's
// associations: a listing of thousands of files asks once per extension. The key is the extension in
// lower case with what was asked in front ('i' small icon, 'I' large icon, 't' type name); a name
// without an extension has its own key.
std::u16string ExtensionKey(char16_t what, const char16_t* name)
{
    std::u16string key(1, what);
    const char16_t* dot = nullptr;
    for (const char16_t* c = name ? name : u""; *c != 0; ++c) {
        if (*c == u'.')
            dot = c;
        else if (*c == u'\\' || *c == u'/')
            dot = nullptr;
    }
    if (dot == nullptr)
        return key;
    for (const char16_t* c = dot; *c != 0; ++c)
        key += (*c >= u'A' && *c <= u'Z') ? static_cast<char16_t>(*c - u'A' + u'a') : *c;
    return key;
}

struct ShellAnswers
{
    std::mutex lock;
    std::map<std::u16string, int> icons;
    std::map<std::u16string, std::u16string> typeNames;
};

ShellAnswers& Answers()
{
    static ShellAnswers answers;
    return answers;
}

} // namespace

std::uintptr_t CShellFileInfo::GetSystemImageList(bool small) const
{
    SHFILEINFOW info;
    return static_cast<std::uintptr_t>(AskShell(u"c:\\", 0, SHGFI_SYSICONINDEX | SizeFlag(small), info));
}

int CShellFileInfo::GetFileIconIndex(const char16_t* fileName, bool small) const
{
    const std::u16string key = ExtensionKey(small ? u'i' : u'I', fileName);
    ShellAnswers& answers = Answers();
    {
        std::lock_guard<std::mutex> lock(answers.lock);
        const auto found = answers.icons.find(key);
        if (found != answers.icons.end())
            return found->second;
    }
    SHFILEINFOW info;
    AskShell(fileName, FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SizeFlag(small),
             info);
    std::lock_guard<std::mutex> lock(answers.lock);
    answers.icons.emplace(key, info.iIcon);
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
    const std::u16string key = ExtensionKey(u't', fileName);
    ShellAnswers& answers = Answers();
    {
        std::lock_guard<std::mutex> lock(answers.lock);
        const auto found = answers.typeNames.find(key);
        if (found != answers.typeNames.end())
            return found->second;
    }
    SHFILEINFOW info;
    AskShell(fileName, FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME, info);
    info.szTypeName[(sizeof(info.szTypeName) / sizeof(info.szTypeName[0])) - 1] = 0;
    std::u16string name(reinterpret_cast<const char16_t*>(info.szTypeName));
    std::lock_guard<std::mutex> lock(answers.lock);
    answers.typeNames.emplace(key, name);
    return name;
}
