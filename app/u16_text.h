#pragma once

// The engine's UTF-16 strings as window text.
#include <afx.h>

#include <string>

inline CString ToCString(const std::u16string& text)
{
    return CString(reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()));
}
