// The text pipeline of the HTML drawer without a device context: preprocessing, tokens, attributes,
// tables and their grid, and the helpers that callers use to put outside text into markup.
#include "html_markup_helpers.h"
#include "html_table_grid.h"
#include "html_text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Narrow(std::wstring_view text)
{
    std::string narrow;
    for (const wchar_t c : text) {
        narrow += c < 128 ? static_cast<char>(c) : '?';
    }
    return narrow;
}

// Tokens as "T(text)" and "<name|attributes>" or "</name|attributes>".
std::string Tokens(std::wstring_view markup)
{
    std::string result;
    HtmlMarkupScanner scanner(markup);
    HtmlToken token;
    while (scanner.Next(token)) {
        if (token.kind == HtmlToken::Text) {
            result += "T(" + Narrow(token.text) + ")";
        } else {
            result += std::string(token.closing ? "</" : "<") + Narrow(token.name) + "|" +
                      Narrow(token.attributes) + ">";
        }
    }
    return result;
}

// What the drawer shows of a text: the runs, with every tag dropped (none of the texts below holds a
// known tag).
std::wstring Shown(std::wstring_view markup)
{
    const std::wstring prepared = PrepareHtmlText(markup, true);
    std::wstring shown;
    HtmlMarkupScanner scanner(prepared);
    HtmlToken token;
    while (scanner.Next(token)) {
        if (token.kind == HtmlToken::Text) {
            shown += token.text;
        }
    }
    return shown;
}

} // namespace

TEST(HtmlTextPreparation, EntitiesInMapOrderAndBreaks)
{
    struct Case
    {
        const wchar_t* text;
        bool convert;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"&lt;b&gt;", true, L"<<b>"},
        {L"&amp;lt;", true, L"<<"},
        {L"&amp;amp;", true, L"&amp;"},
        {L"&unknown; &AMP;", true, L"&unknown; &AMP;"},
        {L"a&nbsp;b", true, L"a b"},
        {L"&copy;&euro;&trade;&bull;", true, L"\u00A9\u20AC\u2122\u2022"},
        {L"&quot;&para;&pound;&reg;&iquest;", true, L"\"\u00B6\u00A3\u00AE\u00BF"},
        {L"a\r\nb\tc", true, L"a<br>b<t>c"},
        {L"a\r\nb\tc", false, L"abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        EXPECT_EQ(PrepareHtmlText(c.text, c.convert), c.expected);
    }
    size_t count = 0;
    const HtmlEntity* entities = HtmlEntities(count);
    ASSERT_EQ(count, 13u);
    for (size_t i = 1; i < count; ++i) {
        EXPECT_LT(std::wstring(entities[i - 1].name), std::wstring(entities[i].name));
    }
}

TEST(HtmlTextScanning, RunsTagsAndLiteralLessThanSigns)
{
    struct Case
    {
        const wchar_t* markup;
        const char* expected;
    };
    const Case cases[] = {
        {L"plain", "T(plain)"}, {L"a<b>c</b>", "T(a)<b|>T(c)</b|>"},
        {L"a<<b>", "T(a<b>)"},  {L"a<", "T(a<)"},
        {L"x<y", "T(xy)"},      {L"<>", "T(>)"},
        {L"<B>", "<B|>"},       {L"<br=3>", "<br|=3>"},
        {L"<br 3>", "<br|3>"},  {L"<font   color=red size=2>", "<font|color=red size=2>"},
        {L"</br>", "</br|>"},   {L"a<!>b", "T(a)<!|>T(b)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.markup));
        EXPECT_EQ(Tokens(c.markup), c.expected);
    }
}

TEST(HtmlTextScanning, AttributesWithValuesOnly)
{
    const auto attributes = ReadHtmlAttributes(L"a=1 b=\"x y\" c='z' d e=f=g href = \"q\" .cls=v");
    std::vector<std::string> read;
    for (const HtmlAttribute& attribute : attributes) {
        read.push_back(Narrow(attribute.name) + "=" + Narrow(attribute.value));
    }
    const std::vector<std::string> expected = {"a=1", "b=x y", "c=z", "e=f", "href=q", ".cls=v"};
    EXPECT_EQ(read, expected);
}

TEST(HtmlTextTables, FoundByTagAndCutIntoRowsAndCells)
{
    const std::wstring text = L"x<<table>y<table border=1><tr><td>a</td><td width=5>b</td></tr>"
                              L"<tr><td>c<table><tr><td>d</td></tr></table></td></tr></table>z";
    const size_t start = FindHtmlTableStart(text, 0);
    ASSERT_EQ(start, text.find(L"<table border"));
    const size_t end = FindHtmlTableEnd(text, start);
    EXPECT_EQ(text.substr(end), L"z");

    const HtmlTableSource table = ParseHtmlTable(std::wstring_view(text).substr(start, end - start));
    EXPECT_EQ(table.attributes, L"border=1");
    ASSERT_EQ(table.rows.size(), 2u);
    ASSERT_EQ(table.rows[0].size(), 2u);
    EXPECT_EQ(table.rows[0][0].content, L"a");
    EXPECT_EQ(table.rows[0][1].attributes, L"width=5");
    EXPECT_EQ(table.rows[0][1].content, L"b");
    ASSERT_EQ(table.rows[1].size(), 1u);
    EXPECT_EQ(table.rows[1][0].content, L"c<table><tr><td>d</td></tr></table>");

    // Without its closing tag a table runs to the end of the text, its last cell too.
    const std::wstring open = L"<table><tr><td>a<td>b";
    EXPECT_EQ(FindHtmlTableEnd(open, 0), open.size());
    const HtmlTableSource unterminated = ParseHtmlTable(open);
    ASSERT_EQ(unterminated.rows.size(), 1u);
    ASSERT_EQ(unterminated.rows[0].size(), 2u);
    EXPECT_EQ(unterminated.rows[0][1].content, L"b");
    EXPECT_EQ(FindHtmlTableStart(L"no <tables> here", 0), std::wstring::npos);
}

TEST(HtmlTableGrid, SpansPlaceCellsAndShareSizes)
{
    // Row 0: a cell spanning two rows, then one spanning two columns; row 1: one cell, which goes after
    // the rowspan.
    const std::vector<std::vector<HtmlCellSpan>> rows = {{{1, 2}, {2, 1}}, {{1, 1}}};
    const HtmlTableGrid grid = PlaceHtmlTableCells(rows);
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(grid.columns, 3);
    ASSERT_EQ(grid.cells.size(), 3u);
    EXPECT_EQ(grid.cells[1].column, 1);
    EXPECT_EQ(grid.cells[1].columnSpan, 2);
    EXPECT_EQ(grid.cells[2].row, 1);
    EXPECT_EQ(grid.cells[2].column, 1);

    std::vector<char> fixed;
    // The spanning cell needs 50 over columns 1 and 2 of 10 and 0: the difference 40 goes 20 and 20.
    const std::vector<int> widths = ShareHtmlColumnWidths(grid, {30, 50, 10}, {26, 46, 6}, {0, 1, 0}, fixed);
    EXPECT_EQ(widths, (std::vector<int>{30, 30, 20}));
    EXPECT_EQ(fixed, (std::vector<char>{0, 1, 1}));
    // The first cell needs 40 over two rows: 40 - (10 + 15) = 15 is shared, the remainder to the first row.
    const std::vector<int> heights = ShareHtmlRowHeights(grid, {40, 10, 15});
    EXPECT_EQ(heights, (std::vector<int>{10 + 7 + 1, 15 + 7}));

    // Sizes + (n + 1) spacings + (n - 1) gaps + the border on both sides.
    EXPECT_EQ(HtmlTableExtent({26, 36}, 2, 1, false), 62 + 3 * 2 + 1 + 2);
    EXPECT_EQ(HtmlTableExtent({26, 36}, 0, 1, true), 62 + 1 + 6);
    const std::vector<long long> offsets = HtmlCellOffsets({26, 36}, 2);
    EXPECT_EQ(offsets, (std::vector<long long>{2, 2 + 26 + 1 + 2, 2 + 26 + 1 + 2 + 36 + 1 + 2}));

    // Spans from the text are bounded; a huge one still yields a small grid.
    const HtmlTableGrid huge = PlaceHtmlTableCells({{{1000000000, 1000000000}, {1, 1}}});
    EXPECT_EQ(huge.cells[0].columnSpan, kHtmlMaxSpan);
    EXPECT_EQ(huge.cells[0].rowSpan, 1);
    EXPECT_EQ(huge.columns, kHtmlMaxSpan + 1);
}

TEST(HtmlMarkupHelpers, EscapedNamesShowAsTheyAre)
{
    const wchar_t* names[] = {
        L"report<1>.doc", L"&lt;b&gt;", L"a&amp;lt;b", L"<<", L"&", L"<table>x</td>", L"100% & more", L"<",
    };
    for (const wchar_t* name : names) {
        SCOPED_TRACE(Narrow(name));
        EXPECT_EQ(Shown(L"Saving " + EscapeHtmlText(name) + L" now"),
                  L"Saving " + std::wstring(name) + L" now");
        EXPECT_EQ(FindHtmlTableStart(EscapeHtmlText(name), 0), std::wstring::npos);
    }
}

TEST(HtmlMarkupHelpers, HandlesKeepTheirFullWidth)
{
    const std::uintptr_t values[] = {0, 0x10, 0x7FFF1234u, static_cast<std::uintptr_t>(-1),
                                     static_cast<std::uintptr_t>(0x123456789ABCDEF0ULL & UINTPTR_MAX)};
    for (const std::uintptr_t value : values) {
        const std::wstring text = FormatHtmlHandle(reinterpret_cast<const void*>(value));
        EXPECT_EQ(text.substr(0, 2), L"0x");
        EXPECT_EQ(ParseHtmlHandle(text), value) << Narrow(text);
    }
    EXPECT_EQ(ParseHtmlHandle(L"4660"), 4660u);
    EXPECT_EQ(ParseHtmlHandle(L"zz"), 0u);
    EXPECT_EQ(ParseHtmlHandle(L""), 0u);
    EXPECT_EQ(ParseHtmlHandle(L"0x1FFFFFFFFFFFFFFFF"), 0u);
}
