#include "result_row_text.h"

#include <limits>

std::uint64_t DecimalDigitsValue(const CString& text, bool skipOthers)
{
    std::uint64_t value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text[i];
        if (ch < L'0' || ch > L'9') {
            if (skipOthers)
                continue;
            break;
        }
        const std::uint64_t digit = static_cast<std::uint64_t>(ch - L'0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return std::numeric_limits<std::uint64_t>::max();
        value = value * 10 + digit;
    }
    return value;
}

std::uint64_t ParseIdColumn(const CString& text)
{
    return DecimalDigitsValue(text, false);
}

bool IsFolderTypeText(const CString& type)
{
    return type.CompareNoCase(L"Folder") == 0 || type.CompareNoCase(L"Deleted Folder") == 0;
}

bool IsParentEntryText(const CString& name)
{
    return name.CompareNoCase(L"Parent...") == 0;
}

bool IsDeletedTypeText(const CString& type)
{
    return type.Left(7) == L"Deleted";
}
