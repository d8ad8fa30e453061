#include "html_string_table.h"
#include "html_text_routines.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Decoded(const wchar_t* text)
{
    std::wstring buffer = text;
    DecodeHtmlEntity(buffer.data());
    return std::wstring(buffer.c_str());
}

std::wstring Resolved(const wchar_t* link, const wchar_t* base)
{
    wchar_t out[kHtmlUrlCapacity];
    ResolveHtmlUrl(link, out, base);
    return out;
}

} // namespace

TEST(HtmlTextRoutines, DecodesEntities)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"a &amp; b", L"a & b"},
        {L"a &AMP; b", L"a &AMP; b"}, // case matters
        {L"a &amp b", L"a &amp b"},   // the ";" belongs to the entity
        {L"&#65;BC", L"ABC"},
        {L"&#65 B", L"AB"}, // the space after the number goes with it
        {L"&#  +66;x", L"Bx"},
        {L"&nbsp;", L"\x00A0"},
        {L"&euro;", L"\x20AC"},
        {L"&mdash;", L"-"},
        {L"&Yuml;&OElig;", L"\x0178"
                           L"E"},
        {L"\x0097 and \x00A0", L"- and  "},
        {L"&#0;cut", L"\xFFFD"
                     L"cut"}, // never a NUL inside a run
        {L"&#x41;z", L"\xFFFD"
                     L"z"},    // hexadecimal reads as 0
        {L"&#-1;", L"\xFFFF"}, // the number wraps to one code unit
        {L"&#99999999999999999999;", L"\xFFFF"},
        {L"tail &#", L"tail \xFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(Decoded(c.text), c.expected);
    }
}

TEST(HtmlTextRoutines, RepairsTwoByteUtf8)
{
    std::wstring text = L"caf\x00C3\x00A9 \x00C2\x00A9 \x00C3\x0041 \x00C2";
    RepairUtf8Text(text.data());
    EXPECT_STREQ(text.c_str(), L"caf\x00E9 \x00A9 \x00C3\x0041 \x00C2");
}

TEST(HtmlTextRoutines, ParsesColours)
{
    struct Case
    {
        const wchar_t* text;
        COLORREF expected;
    };
    const Case cases[] = {
        {L"NAVY", 0x800000},
        {L"navy", 0x800000},
        {L"LightGrey", RGB(0xD3, 0xD3, 0xD3)},
        {L"Lawngreen", RGB(0x7C, 0xFC, 0)},
        {L"#102030", 0x302010},
        {L"ffff00", RGB(255, 255, 0)},
        {L"#fff", RGB(255, 15, 0)},
        {L"#f", RGB(15, 0, 0)},
        {L"#", 0},
        {L"", 0},
        {L"#zz8000", RGB(0, 128, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(ParseHtmlColor(c.text), c.expected);
    }
}

TEST(HtmlTextRoutines, ResolvesUrls)
{
    struct Case
    {
        const wchar_t* link;
        const wchar_t* base;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"img/a.gif", L"http://host/dir/page.htm?q=1/2", L"http://host/dir/img/a.gif"},
        {L"../b.htm", L"http://host/d1/d2/p.htm", L"http://host/d1/b.htm"},
        {L"/x", L"http://host/d1/d2/p.htm", L"http://host/x"},
        {L"pic.gif", L"file://C:\\pages\\index.htm", L"file://C:\\pages\\pic.gif"},
        {L"http://other/a", L"http://host/", L"http://other/a"},
        {L"a/http://x", L"http://host/", L"http://host/a/http://x"},
        {L"page.htm", L"http://host", L"http://host/page.htm"},
        // The climb stops where the last '/' stands at index 4.
        {L"../../../x", L"ftp://h/a.htm", L"ftp:/x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(Resolved(c.link, c.base), c.expected);
    }
}

TEST(HtmlTextRoutines, ResolvedUrlsAreCutToTheirBuffer)
{
    std::wstring base = L"http://host/" + std::wstring(2036, L'd') + L"/p.htm"; // 2,048 characters
    wchar_t out[kHtmlUrlCapacity + 8];
    wmemset(out, L'#', kHtmlUrlCapacity + 8);
    ResolveHtmlUrl(L"a.gif", out, base.c_str());
    EXPECT_EQ(wcslen(out), size_t(kHtmlUrlCapacity - 1));
    EXPECT_EQ(out[kHtmlUrlCapacity], L'#');

    std::wstring longLink = L"http://x/" + std::wstring(5000, L'a');
    ResolveHtmlUrl(longLink.c_str(), out, L"");
    EXPECT_EQ(wcslen(out), size_t(kHtmlUrlCapacity - 1));
    EXPECT_EQ(out[kHtmlUrlCapacity], L'#');
}

TEST(HtmlTextRoutines, SplitsTagAttributes)
{
    CHtmlStringTable table;
    ParseTagAttributes(L"td width=50 bgcolor=\"#ff0000 x\" nowrap>rest=1", &table);
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_STREQ(table.GetRow(0)->GetText(0), L"width");
    EXPECT_STREQ(table.GetRow(0)->GetText(1), L"50");
    EXPECT_STREQ(table.GetRow(1)->GetText(0), L"bgcolor");
    EXPECT_STREQ(table.GetRow(1)->GetText(1), L"#ff0000 x");
    EXPECT_STREQ(table.GetRow(2)->GetText(0), L"nowrap");
    EXPECT_EQ(table.GetRow(2)->Count(), 1);

    ParseTagAttributes(L"<font face = 'Arial' Size=+2", &table);
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_STREQ(table.GetRow(0)->GetText(0), L"face");
    EXPECT_EQ(table.GetRow(0)->Count(), 1);
    EXPECT_STREQ(table.GetRow(1)->GetText(0), L"");
    EXPECT_STREQ(table.GetRow(1)->GetText(1), L"Arial");
    EXPECT_STREQ(table.GetRow(2)->GetText(1), L"+2");

    ParseTagAttributes(L"<br>", &table);
    EXPECT_EQ(table.RowCount(), 0);
    ParseTagAttributes(L"<a href=\"unclosed", &table);
    ASSERT_EQ(table.RowCount(), 1);
    EXPECT_STREQ(table.GetRow(0)->GetText(1), L"unclosed");
}
