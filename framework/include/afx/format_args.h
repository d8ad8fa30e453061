// The typed argument list behind CString::Format. Every argument is captured with its own type, so
// the formatter knows how many arguments there are and what each one is: a conversion in the
// format that has no argument left is printed as it stands, and an argument is never read as a
// type it does not have. A format string that comes from data is therefore harmless.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <type_traits>

#include "afx/base_types.h"

namespace afx_format {

enum class ArgKind
{
    Signed,
    Unsigned,
    Floating,
    WideString,
    NarrowString,
    Pointer
};

struct FormatArg
{
    ArgKind kind;
    union {
        long long asSigned;
        unsigned long long asUnsigned;
        double asFloating;
        const wchar_t* asWide;
        const char* asNarrow;
        const void* asPointer;
    };
    int nWideLength = -1; // length of asWide when known (a CString may hold embedded zeros)
};

template <class T>
concept WideTextLike = requires(const T& value)
{
    {
        value.GetString()
        } -> std::convertible_to<const wchar_t*>;
    {
        value.GetLength()
        } -> std::convertible_to<int>;
};

template <class T> FormatArg MakeFormatArg(const T& value)
{
    using Decayed = std::remove_cv_t<std::decay_t<T>>;
    FormatArg arg{};
    if constexpr (WideTextLike<Decayed>) {
        arg.kind = ArgKind::WideString;
        arg.asWide = value.GetString();
        arg.nWideLength = value.GetLength();
    } else if constexpr (std::is_same_v<Decayed, wchar_t*> || std::is_same_v<Decayed, const wchar_t*>) {
        arg.kind = ArgKind::WideString;
        arg.asWide = value;
    } else if constexpr (std::is_same_v<Decayed, char*> || std::is_same_v<Decayed, const char*> ||
                         std::is_same_v<Decayed, unsigned char*> ||
                         std::is_same_v<Decayed, const unsigned char*>) {
        arg.kind = ArgKind::NarrowString;
        arg.asNarrow = reinterpret_cast<const char*>(static_cast<Decayed>(value));
    } else if constexpr (std::is_same_v<Decayed, bool>) {
        arg.kind = ArgKind::Signed;
        arg.asSigned = value ? 1 : 0;
    } else if constexpr (std::is_enum_v<Decayed>) {
        return MakeFormatArg(static_cast<std::underlying_type_t<Decayed>>(value));
    } else if constexpr (std::is_integral_v<Decayed> && std::is_signed_v<Decayed>) {
        arg.kind = ArgKind::Signed;
        arg.asSigned = static_cast<long long>(value);
    } else if constexpr (std::is_integral_v<Decayed>) {
        arg.kind = ArgKind::Unsigned;
        arg.asUnsigned = static_cast<unsigned long long>(value);
    } else if constexpr (std::is_floating_point_v<Decayed>) {
        arg.kind = ArgKind::Floating;
        arg.asFloating = static_cast<double>(value);
    } else if constexpr (std::is_pointer_v<Decayed> || std::is_null_pointer_v<Decayed>) {
        arg.kind = ArgKind::Pointer;
        arg.asPointer = reinterpret_cast<const void*>(value);
    } else if constexpr (std::is_convertible_v<const Decayed&, const wchar_t*>) {
        arg.kind = ArgKind::WideString;
        arg.asWide = static_cast<const wchar_t*>(value);
    } else {
        static_assert(sizeof(Decayed) == 0, "this type cannot be a Format argument");
    }
    return arg;
}

// Appends the formatted text to the output; defined in string_format.cpp.
void FormatTyped(std::wstring& out, const wchar_t* format, const FormatArg* args, std::size_t count);
void FormatVarArgs(std::wstring& out, const wchar_t* format, va_list args);

} // namespace afx_format
