// The formatter behind CString::Format, FormatV and TRACE. It parses printf conversions itself and
// takes each argument from a source that knows what it holds, so a format string read from data
// can neither read past the arguments nor reinterpret one.
#include <afx.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace afx_format {
namespace {

// Widths and precisions beyond this come only from crafted formats; they are cut to it so that a
// format cannot ask for gigabytes of padding.
constexpr int kMaxFieldWidth = 4096;

enum class Length
{
    None,
    Char,     // hh
    Short,    // h
    Long,     // l, w (32-bit on Windows)
    LongLong, // ll, I64, j, L
    Pointer,  // I, z, t
    Int32     // I32
};

struct Conversion
{
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool zeroPad = false;
    bool alternate = false;
    int width = -1;
    bool widthFromArgument = false;
    int precision = -1;
    bool precisionFromArgument = false;
    Length length = Length::None;
    bool narrowHint = false; // h or S/C: the argument is narrow text
    wchar_t type = 0;
};

// Parses one conversion that starts after '%'; returns the position after it, or null when the
// text is not a conversion this formatter knows.
const wchar_t* ParseConversion(const wchar_t* p, Conversion& conv)
{
    for (;; ++p) {
        if (*p == L'-')
            conv.leftAlign = true;
        else if (*p == L'+')
            conv.plusSign = true;
        else if (*p == L' ')
            conv.spaceSign = true;
        else if (*p == L'0')
            conv.zeroPad = true;
        else if (*p == L'#')
            conv.alternate = true;
        else
            break;
    }
    if (*p == L'*') {
        conv.widthFromArgument = true;
        ++p;
    } else {
        while (*p >= L'0' && *p <= L'9') {
            conv.width = std::min(kMaxFieldWidth, std::max(conv.width, 0) * 10 + (*p - L'0'));
            ++p;
        }
    }
    if (*p == L'.') {
        ++p;
        conv.precision = 0;
        if (*p == L'*') {
            conv.precisionFromArgument = true;
            ++p;
        } else {
            while (*p >= L'0' && *p <= L'9') {
                conv.precision = std::min(kMaxFieldWidth, conv.precision * 10 + (*p - L'0'));
                ++p;
            }
        }
    }
    if (p[0] == L'h' && p[1] == L'h') {
        conv.length = Length::Char;
        p += 2;
    } else if (p[0] == L'h') {
        conv.length = Length::Short;
        conv.narrowHint = true;
        ++p;
    } else if (p[0] == L'l' && p[1] == L'l') {
        conv.length = Length::LongLong;
        p += 2;
    } else if (p[0] == L'l' || p[0] == L'w') {
        conv.length = Length::Long;
        ++p;
    } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
        conv.length = Length::LongLong;
        p += 3;
    } else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') {
        conv.length = Length::Int32;
        p += 3;
    } else if (p[0] == L'I' || p[0] == L'z' || p[0] == L't') {
        conv.length = Length::Pointer;
        ++p;
    } else if (p[0] == L'j' || p[0] == L'L') {
        conv.length = Length::LongLong;
        ++p;
    }
    switch (*p) {
    case L'd':
    case L'i':
    case L'u':
    case L'o':
    case L'x':
    case L'X':
    case L'c':
    case L'C':
    case L's':
    case L'S':
    case L'f':
    case L'F':
    case L'e':
    case L'E':
    case L'g':
    case L'G':
    case L'a':
    case L'A':
    case L'p':
    case L'n':
        conv.type = *p;
        if (*p == L'S' || *p == L'C')
            conv.narrowHint = true;
        return p + 1;
    default:
        return nullptr;
    }
}

bool IsIntegerConversion(wchar_t type)
{
    return type == L'd' || type == L'i' || type == L'u' || type == L'o' || type == L'x' || type == L'X';
}

bool IsFloatConversion(wchar_t type)
{
    return type == L'f' || type == L'F' || type == L'e' || type == L'E' || type == L'g' || type == L'G' ||
           type == L'a' || type == L'A';
}

int BitsOf(Length length)
{
    switch (length) {
    case Length::Char:
        return 8;
    case Length::Short:
        return 16;
    case Length::LongLong:
        return 64;
    case Length::Pointer:
        return static_cast<int>(sizeof(void*) * 8);
    default:
        return 32;
    }
}

void Pad(std::wstring& out, const std::wstring& body, const Conversion& conv)
{
    const int padding =
        conv.width > static_cast<int>(body.size()) ? conv.width - static_cast<int>(body.size()) : 0;
    if (!conv.leftAlign)
        out.append(static_cast<size_t>(padding), L' ');
    out += body;
    if (conv.leftAlign)
        out.append(static_cast<size_t>(padding), L' ');
}

std::wstring WidenNarrow(const char* text, int maxBytes)
{
    std::wstring result;
    if (text == nullptr)
        return L"(null)";
    const size_t length = maxBytes >= 0 ? strnlen(text, static_cast<size_t>(maxBytes)) : strlen(text);
    if (length == 0)
        return result;
    const int size = static_cast<int>(std::min<size_t>(length, 0x7FFFFFFF));
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    if (wide > 0) {
        result.resize(static_cast<size_t>(wide));
        ::MultiByteToWideChar(CP_ACP, 0, text, size, result.data(), wide);
    }
    return result;
}

unsigned long long IntegerBits(const FormatArg& arg)
{
    switch (arg.kind) {
    case ArgKind::Signed:
        return static_cast<unsigned long long>(arg.asSigned);
    case ArgKind::Unsigned:
        return arg.asUnsigned;
    case ArgKind::Floating:
        return static_cast<unsigned long long>(static_cast<long long>(arg.asFloating));
    default:
        return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(arg.asPointer));
    }
}

void FormatInteger(std::wstring& out, const Conversion& conv, unsigned long long bits)
{
    const int width = BitsOf(conv.length);
    const unsigned long long mask = width == 64 ? ~0ULL : ((1ULL << width) - 1);
    bits &= mask;
    bool negative = false;
    if (conv.type == L'd' || conv.type == L'i') {
        const unsigned long long signBit = 1ULL << (width - 1);
        if (bits & signBit) {
            negative = true;
            bits = (~bits + 1) & mask;
        }
    }
    const unsigned base = conv.type == L'o' ? 8 : ((conv.type == L'x' || conv.type == L'X') ? 16 : 10);
    const wchar_t* digitSet = conv.type == L'X' ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring digits;
    for (unsigned long long value = bits; value != 0; value /= base)
        digits.insert(digits.begin(), digitSet[value % base]);
    if (conv.precision >= 0) {
        if (static_cast<int>(digits.size()) < conv.precision)
            digits.insert(0, static_cast<size_t>(conv.precision) - digits.size(), L'0');
    } else if (digits.empty()) {
        digits = L"0";
    }
    if (conv.alternate && base == 8 && (digits.empty() || digits[0] != L'0'))
        digits.insert(digits.begin(), L'0');
    std::wstring prefix;
    if (negative)
        prefix = L"-";
    else if (conv.type == L'd' || conv.type == L'i')
        prefix = conv.plusSign ? L"+" : (conv.spaceSign ? L" " : L"");
    if (conv.alternate && base == 16 && bits != 0)
        prefix += conv.type == L'X' ? L"0X" : L"0x";
    if (conv.zeroPad && !conv.leftAlign && conv.precision < 0) {
        const int total = static_cast<int>(prefix.size() + digits.size());
        if (conv.width > total)
            digits.insert(0, static_cast<size_t>(conv.width - total), L'0');
    }
    Pad(out, prefix + digits, conv);
}

void FormatFloat(std::wstring& out, const Conversion& conv, double value)
{
    char spec[32];
    int used = 0;
    spec[used++] = '%';
    if (conv.leftAlign)
        spec[used++] = '-';
    if (conv.plusSign)
        spec[used++] = '+';
    if (conv.spaceSign)
        spec[used++] = ' ';
    if (conv.zeroPad)
        spec[used++] = '0';
    if (conv.alternate)
        spec[used++] = '#';
    spec[used++] = '*';
    spec[used++] = '.';
    spec[used++] = '*';
    spec[used++] = static_cast<char>(conv.type);
    spec[used] = 0;
    const int width = std::max(conv.width, 0);
    const int precision = conv.precision >= 0 ? conv.precision : 6;
    const int needed = std::snprintf(nullptr, 0, spec, width, precision, value);
    if (needed <= 0)
        return;
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::snprintf(buffer.data(), buffer.size(), spec, width, precision, value);
    for (int i = 0; i < needed; ++i)
        out += static_cast<wchar_t>(static_cast<unsigned char>(buffer[static_cast<size_t>(i)]));
}

void FormatPointer(std::wstring& out, const Conversion& conv, unsigned long long bits)
{
    std::wstring digits;
    const int count = static_cast<int>(sizeof(void*) * 2);
    for (int i = count - 1; i >= 0; --i)
        digits += L"0123456789ABCDEF"[(bits >> (i * 4)) & 0xF];
    Pad(out, digits, conv);
}

void FormatText(std::wstring& out, const Conversion& conv, const FormatArg& arg)
{
    std::wstring text;
    switch (arg.kind) {
    case ArgKind::WideString:
        if (arg.asWide == nullptr)
            text = L"(null)";
        else if (arg.nWideLength >= 0)
            text.assign(arg.asWide, static_cast<size_t>(arg.nWideLength));
        else if (conv.precision >= 0)
            text.assign(arg.asWide, wcsnlen(arg.asWide, static_cast<size_t>(conv.precision)));
        else
            text = arg.asWide;
        break;
    case ArgKind::NarrowString:
        text = WidenNarrow(arg.asNarrow, conv.precision);
        break;
    case ArgKind::Pointer: {
        Conversion plain;
        FormatPointer(text, plain, reinterpret_cast<uintptr_t>(arg.asPointer));
        break;
    }
    case ArgKind::Floating: {
        Conversion plain;
        plain.type = L'g';
        FormatFloat(text, plain, arg.asFloating);
        break;
    }
    default: {
        Conversion plain;
        plain.type = arg.kind == ArgKind::Signed ? L'd' : L'u';
        plain.length = Length::LongLong;
        FormatInteger(text, plain, IntegerBits(arg));
        break;
    }
    }
    if (conv.precision >= 0 && static_cast<int>(text.size()) > conv.precision)
        text.resize(static_cast<size_t>(conv.precision));
    Pad(out, text, conv);
}

void FormatCharacter(std::wstring& out, const Conversion& conv, const FormatArg& arg)
{
    std::wstring text;
    if (arg.kind == ArgKind::WideString || arg.kind == ArgKind::NarrowString ||
        arg.kind == ArgKind::Pointer) {
        FormatText(out, conv, arg);
        return;
    }
    const unsigned long long bits = IntegerBits(arg);
    if (conv.narrowHint) {
        const char narrow[2] = {static_cast<char>(bits & 0xFF), 0};
        text = WidenNarrow(narrow, 1);
    } else {
        text.assign(1, static_cast<wchar_t>(bits & 0xFFFF));
    }
    Pad(out, text, conv);
}

void FormatOne(std::wstring& out, const Conversion& conv, const FormatArg& arg)
{
    if (IsIntegerConversion(conv.type)) {
        if (arg.kind == ArgKind::WideString || arg.kind == ArgKind::NarrowString)
            FormatText(out, conv, arg);
        else
            FormatInteger(out, conv, IntegerBits(arg));
    } else if (IsFloatConversion(conv.type)) {
        if (arg.kind == ArgKind::Floating)
            FormatFloat(out, conv, arg.asFloating);
        else if (arg.kind == ArgKind::Signed)
            FormatFloat(out, conv, static_cast<double>(arg.asSigned));
        else if (arg.kind == ArgKind::Unsigned)
            FormatFloat(out, conv, static_cast<double>(arg.asUnsigned));
        else
            FormatText(out, conv, arg);
    } else if (conv.type == L'c' || conv.type == L'C') {
        FormatCharacter(out, conv, arg);
    } else if (conv.type == L's' || conv.type == L'S') {
        FormatText(out, conv, arg);
    } else if (conv.type == L'p') {
        if (arg.kind == ArgKind::WideString || arg.kind == ArgKind::NarrowString ||
            arg.kind == ArgKind::Pointer)
            FormatPointer(out, conv, reinterpret_cast<uintptr_t>(arg.asPointer));
        else
            FormatPointer(out, conv, IntegerBits(arg));
    }
    // %n consumes its argument and writes nothing: no formatter here stores through a pointer.
}

// Arguments taken from a typed array: the count is known.
class TypedSource
{
public:
    TypedSource(const FormatArg* args, size_t count) : m_args(args), m_count(count) {}
    bool Next(const Conversion&, FormatArg& arg)
    {
        if (m_next >= m_count)
            return false;
        arg = m_args[m_next++];
        return true;
    }
    bool NextInt(int& value)
    {
        FormatArg arg{};
        if (m_next >= m_count)
            return false;
        arg = m_args[m_next++];
        value = static_cast<int>(IntegerBits(arg));
        return true;
    }

private:
    const FormatArg* m_args;
    size_t m_count;
    size_t m_next = 0;
};

// Arguments taken from a va_list: the conversion decides the type, as in the C library.
class VarArgSource
{
public:
    explicit VarArgSource(va_list args) { va_copy(m_args, args); }
    ~VarArgSource() { va_end(m_args); }
    VarArgSource(const VarArgSource&) = delete;
    VarArgSource& operator=(const VarArgSource&) = delete;

    bool Next(const Conversion& conv, FormatArg& arg)
    {
        if (IsIntegerConversion(conv.type) || conv.type == L'c' || conv.type == L'C') {
            const bool isSigned = conv.type == L'd' || conv.type == L'i';
            if (BitsOf(conv.length) == 64) {
                arg.kind = isSigned ? ArgKind::Signed : ArgKind::Unsigned;
                arg.asUnsigned = va_arg(m_args, unsigned long long);
            } else {
                arg.kind = ArgKind::Unsigned;
                arg.asUnsigned = va_arg(m_args, unsigned int);
            }
        } else if (IsFloatConversion(conv.type)) {
            arg.kind = ArgKind::Floating;
            arg.asFloating = va_arg(m_args, double);
        } else if (conv.type == L's' || conv.type == L'S') {
            if (conv.narrowHint) {
                arg.kind = ArgKind::NarrowString;
                arg.asNarrow = va_arg(m_args, const char*);
            } else {
                arg.kind = ArgKind::WideString;
                arg.asWide = va_arg(m_args, const wchar_t*);
            }
        } else {
            arg.kind = ArgKind::Pointer;
            arg.asPointer = va_arg(m_args, const void*);
        }
        return true;
    }
    bool NextInt(int& value)
    {
        value = va_arg(m_args, int);
        return true;
    }

private:
    va_list m_args;
};

template <class Source> void Run(std::wstring& out, const wchar_t* format, Source& source)
{
    if (format == nullptr)
        return;
    const wchar_t* p = format;
    while (*p != 0) {
        if (*p != L'%') {
            out += *p++;
            continue;
        }
        if (p[1] == L'%') {
            out += L'%';
            p += 2;
            continue;
        }
        Conversion conv;
        const wchar_t* end = ParseConversion(p + 1, conv);
        if (end == nullptr) {
            out += *p++; // not a conversion: the '%' stands for itself
            continue;
        }
        bool complete = true;
        int value = 0;
        if (conv.widthFromArgument) {
            complete = source.NextInt(value);
            if (value < 0) {
                conv.leftAlign = true;
                value = value == INT_MIN ? kMaxFieldWidth : -value;
            }
            conv.width = std::min(value, kMaxFieldWidth);
        }
        if (complete && conv.precisionFromArgument) {
            complete = source.NextInt(value);
            conv.precision = value < 0 ? -1 : std::min(value, kMaxFieldWidth);
        }
        FormatArg arg{};
        if (complete)
            complete = source.Next(conv, arg);
        if (!complete) {
            out.append(p, static_cast<size_t>(end - p)); // no argument left: print it as it stands
            p = end;
            continue;
        }
        FormatOne(out, conv, arg);
        p = end;
    }
}

} // namespace

void FormatTyped(std::wstring& out, const wchar_t* format, const FormatArg* args, std::size_t count)
{
    TypedSource source(args, count);
    Run(out, format, source);
}

void FormatVarArgs(std::wstring& out, const wchar_t* format, va_list args)
{
    VarArgSource source(args);
    Run(out, format, source);
}

} // namespace afx_format
