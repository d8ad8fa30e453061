#include <afx.h>

#include <gtest/gtest.h>

TEST(String, ExtractionClampsOutOfRangeArguments)
{
    const CString text = L"recover.vqdx";
    struct Case
    {
        const char* name;
        CString actual;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"Mid from the middle", text.Mid(8), L"vqdx"},
        {"Mid with count", text.Mid(2, 3), L"cov"},
        {"Mid past the end", text.Mid(40), L""},
        {"Mid with negative start", text.Mid(-3, 2), L"re"},
        {"Mid with count past the end", text.Mid(10, 100), L"dx"},
        {"Left", text.Left(7), L"recover"},
        {"Left too long", text.Left(99), L"recover.vqdx"},
        {"Left negative", text.Left(-1), L""},
        {"Right", text.Right(4), L"vqdx"},
        {"Right too long", text.Right(99), L"recover.vqdx"},
        {"SpanIncluding", text.SpanIncluding(L"cer"), L"rec"},
        {"SpanExcluding", text.SpanExcluding(L"."), L"recover"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.actual, c.expected);
    }
}

TEST(String, SearchesReportPositionsOrMinusOne)
{
    const CString text = L"a\\b\\c.txt";
    EXPECT_EQ(text.Find(L'\\'), 1);
    EXPECT_EQ(text.Find(L'\\', 2), 3);
    EXPECT_EQ(text.Find(L'\\', 50), -1);
    EXPECT_EQ(text.Find(L"c.t"), 4);
    EXPECT_EQ(text.Find(L"c.t", 5), -1);
    EXPECT_EQ(text.Find(L""), 0);
    EXPECT_EQ(text.ReverseFind(L'\\'), 3);
    EXPECT_EQ(text.ReverseFind(L'/'), -1);
    EXPECT_EQ(text.FindOneOf(L".\\"), 1);
}

TEST(String, EditingOperations)
{
    struct Case
    {
        const char* name;
        CString (*edit)(CString);
        const wchar_t* input;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"Replace text",
         [](CString s) {
             s.Replace(L"ab", L"xyz");
             return s;
         },
         L"abcabab", L"xyzcxyzxyz"},
        {"Replace with nothing",
         [](CString s) {
             s.Replace(L"a", L"");
             return s;
         },
         L"banana", L"bnn"},
        {"Replace character",
         [](CString s) {
             s.Replace(L'/', L'\\');
             return s;
         },
         L"a/b/c", L"a\\b\\c"},
        {"Remove",
         [](CString s) {
             s.Remove(L'a');
             return s;
         },
         L"banana", L"bnn"},
        {"Insert in range",
         [](CString s) {
             s.Insert(1, L"XY");
             return s;
         },
         L"abc", L"aXYbc"},
        {"Insert past the end appends",
         [](CString s) {
             s.Insert(99, L'!');
             return s;
         },
         L"abc", L"abc!"},
        {"Delete",
         [](CString s) {
             s.Delete(1, 2);
             return s;
         },
         L"abcd", L"ad"},
        {"Delete past the end",
         [](CString s) {
             s.Delete(2, 99);
             return s;
         },
         L"abcd", L"ab"},
        {"Trim whitespace", [](CString s) { return s.Trim(); }, L" \t x y \r\n", L"x y"},
        {"TrimRight set", [](CString s) { return s.TrimRight(L"\\/"); }, L"C:\\dir\\\\", L"C:\\dir"},
        {"TrimLeft character", [](CString s) { return s.TrimLeft(L'0'); }, L"000120", L"120"},
        {"MakeUpper beyond ASCII", [](CString s) { return s.MakeUpper(); }, L"stra\u00dfe \u00e9t\u00e9",
         L"STRA\u00dfE \u00c9T\u00c9"},
        {"MakeLower", [](CString s) { return s.MakeLower(); }, L"\u00c9T\u00c9 ABC", L"\u00e9t\u00e9 abc"},
        {"MakeReverse", [](CString s) { return s.MakeReverse(); }, L"abc", L"cba"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.edit(c.input), c.expected);
    }
}

TEST(String, ComparisonsWithAndWithoutCase)
{
    EXPECT_EQ(CString(L"FILE.TXT").CompareNoCase(L"file.txt"), 0);
    EXPECT_EQ(CString(L"\u00c9T\u00c9.DOC").CompareNoCase(L"\u00e9t\u00e9.doc"), 0);
    EXPECT_LT(CString(L"a").CompareNoCase(L"B"), 0);
    EXPECT_GT(CString(L"b").Compare(L"B"), 0);
    EXPECT_EQ(CString(L"x").Compare(NULL), 1);
    EXPECT_TRUE(CString(L"abc") == L"abc");
    EXPECT_TRUE(L"abc" == CString(L"abc"));
    EXPECT_TRUE(CString(L"abc") < CString(L"abd"));
    EXPECT_TRUE(CString(L"abc") != L"ABC");
}

TEST(String, BufferAccessKeepsTheTextTerminated)
{
    CString text = L"abc";
    LPWSTR buffer = text.GetBuffer(10);
    wcscpy(buffer, L"0123456");
    text.ReleaseBuffer();
    EXPECT_EQ(text.GetLength(), 7);
    EXPECT_STREQ(text, L"0123456");

    buffer = text.GetBuffer(3);
    buffer[2] = 0;
    text.ReleaseBuffer();
    EXPECT_STREQ(text, L"01");

    text.GetBufferSetLength(5)[4] = L'z';
    text.ReleaseBuffer(5);
    EXPECT_EQ(text.GetLength(), 5);
    EXPECT_EQ(text[4], L'z');
    text.ReleaseBuffer(2);
    EXPECT_STREQ(text, L"01");
}

TEST(String, ConstructionAndConversion)
{
    EXPECT_STREQ(CString("narrow"), L"narrow");
    EXPECT_STREQ(CString(L'x', 3), L"xxx");
    EXPECT_STREQ(CString(L"abcdef", 3), L"abc");
    EXPECT_STREQ(CString(static_cast<LPCWSTR>(NULL)), L"");
    EXPECT_STREQ(CString(MAKEINTRESOURCEW(117)), L"Seventeenth block entry");
    EXPECT_STREQ(CString(L"a") + L"b" + CString(L"c") + L'd', L"abcd");
    EXPECT_EQ(CString(L"abc")[size_t{1}], L'b');
    EXPECT_EQ(CString(L"abc").GetAt(9), L'\0');

    BSTR bstr = CString(L"bstr").AllocSysString();
    EXPECT_EQ(SysStringLen(bstr), 4u);
    SysFreeString(bstr);

    int position = 0;
    const CString path = L";a;;bc;";
    EXPECT_STREQ(path.Tokenize(L";", position), L"a");
    EXPECT_STREQ(path.Tokenize(L";", position), L"bc");
    EXPECT_STREQ(path.Tokenize(L";", position), L"");
    EXPECT_EQ(position, -1);
}

TEST(String, LoadsStringResources)
{
    CString text;
    EXPECT_TRUE(text.LoadString(101));
    EXPECT_STREQ(text, L"Hello, %1!");
    EXPECT_FALSE(text.LoadString(4242));

    AfxFormatString1(text, 101, L"%s world");
    EXPECT_STREQ(text, L"Hello, %s world!") << "the inserted text is not scanned again";
}
