#include <afx.h>

#include <gtest/gtest.h>

namespace {

CString FormatOf(LPCWSTR format)
{
    CString text;
    text.Format(format);
    return text;
}

} // namespace

TEST(StringFormat, FormatFromDataPrintsLiterallyAndReadsNoArguments)
{
    // A file name read from a disk used as the format, with no arguments at all: every
    // conversion stays as it stands and nothing is read from the stack.
    struct Case
    {
        const wchar_t* format;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"report%s.doc", L"report%s.doc"},   {L"%s%s%s%s%s%s%s%s%n%n", L"%s%s%s%s%s%s%s%s%n%n"},
        {L"%08x-%p-%ls", L"%08x-%p-%ls"},     {L"%*d and %.*s", L"%*d and %.*s"},
        {L"100%% done", L"100% done"},        {L"trailing %", L"trailing %"},
        {L"%y %k unknown", L"%y %k unknown"}, {L"%99999999999d", L"%99999999999d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.format)));
        EXPECT_STREQ(FormatOf(c.format), c.expected);
    }
}

TEST(StringFormat, DataAsTheArgumentIsPrintedAsItStands)
{
    const CString fileName = L"budget %s %d %n.xls";
    CString text;
    text.Format(L"Saving %s failed (%d)", fileName, 5);
    EXPECT_STREQ(text, L"Saving budget %s %d %n.xls failed (5)");

    // More conversions than arguments: the surplus ones are printed, not fed from the stack.
    text.Format(L"%s / %s / %d", fileName);
    EXPECT_STREQ(text, L"budget %s %d %n.xls / %s / %d");
}

TEST(StringFormat, ConversionsFollowThePrintfRules)
{
    struct Case
    {
        const char* name;
        CString actual;
        const wchar_t* expected;
    };
    CString s;
    const auto format = [](auto... args) {
        CString text;
        text.Format(args...);
        return text;
    };
    const Case cases[] = {
        {"decimal and width", format(L"[%5d|%-5d|%05d]", 42, 42, -42), L"[   42|42   |-0042]"},
        {"signs", format(L"%+d % d %+d", 7, 7, -7), L"+7  7 -7"},
        {"unsigned of negative", format(L"%u", -1), L"4294967295"},
        {"hex and alternate", format(L"%x %X %#x %#o", 255, 255, 255, 8), L"ff FF 0xff 010"},
        {"64-bit", format(L"%I64d %lld %I64u", -5000000000LL, 5000000000LL, ~0ULL),
         L"-5000000000 5000000000 18446744073709551615"},
        {"32-bit slot truncates a 64-bit value", format(L"%d", 0x100000005LL), L"5"},
        {"short", format(L"%hd %hu", 65535, 65535), L"-1 65535"},
        {"precision of integers", format(L"%.3d|%.0d", 7, 0), L"007|"},
        {"characters", format(L"%c%c%C", L'\u00e9', 65, 'x'), L"\u00e9Ax"},
        {"wide and narrow strings", format(L"%s|%S|%hs|%ls", L"w\u00e9", "n", "h", L"l"), L"w\u00e9|n|h|l"},
        {"string width and precision", format(L"[%-6s][%6s][%.2s]", L"ab", L"ab", L"abcdef"),
         L"[ab    ][    ab][ab]"},
        {"null string", format(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)"},
        {"floating point", format(L"%.2f %e %g", 3.14159, 1234.5, 0.5), L"3.14 1.234500e+03 0.5"},
        {"star width and precision", format(L"[%*.*f]", 8, 3, 2.5), L"[   2.500]"},
        {"negative star width aligns left", format(L"[%*d]", -4, 1), L"[1   ]"},
        {"number given to %s", format(L"%s-%s", 12, 1.5), L"12-1.5"},
        {"string given to %d", format(L"%d", L"text"), L"text"},
        {"CString argument", format(L"<%s>", CString(L"cs")), L"<cs>"},
        {"bool and enum", format(L"%d %d", true, CFile::end), L"1 2"},
        {"%n writes nothing", format(L"a%nb", &s), L"ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.actual, c.expected);
    }
    const CString pointer = format(L"%p", reinterpret_cast<void*>(0xAB));
    EXPECT_EQ(pointer.GetLength(), static_cast<int>(sizeof(void*) * 2));
    EXPECT_STREQ(pointer.Right(2), L"AB");
}

TEST(StringFormat, AppendFormatAndTheResourceFormat)
{
    CString text = L"a";
    text.AppendFormat(L"-%d", 1);
    text.AppendFormat(L"-%s", L"b");
    EXPECT_STREQ(text, L"a-1-b");

    EXPECT_TRUE(text.Format(102, 3, 7));
    EXPECT_STREQ(text, L"Copied 3 of 7 files");
    EXPECT_FALSE(text.Format(9999, 1));
}

namespace {

CString ForwardFormat(LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    CString text;
    text.FormatV(format, args);
    va_end(args);
    return text;
}

} // namespace

TEST(StringFormat, FormatVTakesArgumentsByTheFormat)
{
    EXPECT_STREQ(ForwardFormat(L"%s=%d (%I64u) %.1f %c", L"key", -3, 1ULL << 40, 0.75, L'z'),
                 L"key=-3 (1099511627776) 0.8 z");
}
