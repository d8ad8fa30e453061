#include "engine/recovery/listing/shell_file_info.h"

// Hosts without a shell: the folder and the generic file get fixed icons, and a type name is built as the
// Windows shell builds one for an extension that nothing is registered for.

namespace {

constexpr int kGenericFileIcon = 0;
constexpr int kFolderIcon = 3;

char16_t UpperAscii(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

} // namespace

std::uintptr_t CShellFileInfo::GetSystemImageList(bool /*small*/) const
{
    return 0;
}

int CShellFileInfo::GetFileIconIndex(const char16_t* /*fileName*/, bool /*small*/) const
{
    return kGenericFileIcon;
}

int CShellFileInfo::GetFolderIconIndex(bool /*small*/) const
{
    return kFolderIcon;
}

std::u16string CShellFileInfo::GetFileTypeName(const char16_t* fileName) const
{
    const std::u16string name = fileName ? fileName : u"";
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos || dot + 1 == name.size())
        return u"File";
    std::u16string typeName;
    for (std::size_t i = dot + 1; i < name.size(); ++i)
        typeName += UpperAscii(name[i]);
    return typeName + u" File";
}
