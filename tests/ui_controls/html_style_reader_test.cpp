// The style side of the HTML drawer: lengths, colours, declarations and style sheets.
#include "html_style_reader.h"
#include "test_surface.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A memory DC with a known font, as the drawer has during a layout.
class FontSurface : public TestSurface
{
public:
    FontSurface() : TestSurface(8, 8)
    {
        m_font = CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
        m_old = SelectObject(dc(), m_font);
    }
    ~FontSurface()
    {
        SelectObject(dc(), m_old);
        DeleteObject(m_font);
    }
    int dpi() const { return GetDeviceCaps(dc(), LOGPIXELSY); }
    int fontHeight() const
    {
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc(), &metrics);
        return metrics.tmHeight;
    }
    int xHeight() const
    {
        SIZE size = {};
        GetTextExtentPoint32W(dc(), L"x", 1, &size);
        return size.cy;
    }

private:
    HFONT m_font;
    HGDIOBJ m_old;
};

} // namespace

TEST(HtmlStyleReaderLengths, UnitsPercentagesAndFontSizes)
{
    FontSurface surface;
    const int dpi = surface.dpi();
    CHtmlStyleReader reader;
    struct Case
    {
        const wchar_t* value;
        int current;
        bool fontSize;
        int expected;
    };
    const Case cases[] = {
        {L"", 16, false, 16},
        {L"10pt", 16, true, 10 * dpi / 72},
        {L"75%", 16, true, 12},
        {L"150%", 10, false, 15},
        {L"12px", 0, false, 12},
        {L"2in", 0, false, 2 * dpi},
        {L"1pc", 0, false, dpi / 6},
        {L"3cm", 0, false, static_cast<int>(3 * dpi * 0.39370078740157477)},
        {L"25mm", 0, false, static_cast<int>(25 * dpi * 0.03937007874015748)},
        {L"2em", 0, false, 2 * surface.fontHeight()},
        {L"3ex", 0, false, 3 * surface.xHeight()},
        {L"+2", 0, false, 2},
        {L"-2", 0, false, 2},
        {L"0x10", 0, false, 16},
        {L"010", 0, false, 8},
        {L"3", 16, true, 12},
        {L"+1", 16, true, 8},
        {L"7", 16, true, 36},
        {L"9", 16, true, 9},
        {L"3", 16, false, 3},
        {L"99999999999px", 0, false, kHtmlMaxLength},
        {L"4000000000", 0, false, kHtmlMaxLength},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::string(c.value, c.value + wcslen(c.value)) << "\"");
        EXPECT_EQ(reader.ParseLength(c.value, c.current, c.fontSize, surface.dc()), c.expected);
    }
}

TEST(HtmlStyleReaderColours, HexNamesSystemNamesAndNumbers)
{
    CHtmlStyleReader reader;
    const COLORREF fallback = RGB(1, 2, 3);
    struct Case
    {
        const wchar_t* value;
        COLORREF expected;
    };
    const Case cases[] = {
        {L"", fallback},
        {L"#ff9900", RGB(0xFF, 0x99, 0x00)},
        {L"#FF9900", RGB(0xFF, 0x99, 0x00)},
        {L"#f90", fallback},
        {L"#ff99001", fallback},
        {L"#gg0000", fallback},
        {L"red", RGB(255, 0, 0)},
        {L"Red", fallback},
        {L"darkseagreen", RGB(0x8F, 0xBC, 0x8B)},
        {L"lightgrey", RGB(0xD3, 0xD3, 0xD3)},
        {L"lightgray", fallback},
        {L"darkgray", RGB(0xA9, 0xA9, 0xA9)},
        {L"yellowgreen", RGB(0x9A, 0xCD, 0x32)},
        {L"buttonface", GetSysColor(COLOR_BTNFACE)},
        {L"threedlightshadow", GetSysColor(COLOR_3DLIGHT)},
        {L"infobackground", GetSysColor(COLOR_INFOBK)},
        {L"255", RGB(255, 0, 0)},
        {L"0x00ff00", RGB(0, 255, 0)},
        {L"nosuchcolour", fallback},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::string(c.value, c.value + wcslen(c.value)) << "\"");
        EXPECT_EQ(reader.ParseColour(c.value, fallback), c.expected);
    }

    reader.SetDisabledColour(RGB(9, 9, 9));
    reader.SetEnabled(false);
    EXPECT_EQ(reader.ParseColour(L"red", fallback), RGB(9, 9, 9));
    EXPECT_EQ(reader.ParseColour(L"nosuchcolour", fallback), RGB(9, 9, 9));
    EXPECT_EQ(reader.ParseColour(L"#ff0000", fallback), RGB(255, 0, 0));
}

TEST(HtmlStyleReaderDeclarations, PropertiesOnAStyle)
{
    FontSurface surface;
    const int dpi = surface.dpi();
    CHtmlStyleReader reader;
    struct Case
    {
        const char* name;
        const wchar_t* declarations;
        std::function<void(const HtmlStyle&)> check;
    };
    const Case cases[] = {
        {"values are lowered with the names", L"COLOR: #FF0000; Font-Family: \"Courier New\"",
         [](const HtmlStyle& s) {
             EXPECT_EQ(s.textColour, RGB(255, 0, 0));
             EXPECT_EQ(s.face, L"courier new");
         }},
        {"font-size in points", L"font-size: 10pt",
         [&](const HtmlStyle& s) { EXPECT_EQ(s.fontHeight, 10 * dpi / 72); }},
        {"font-size in percent", L"font-size: 75%", [](const HtmlStyle& s) { EXPECT_EQ(s.fontHeight, 12); }},
        {"weight number", L"font-weight:600", [](const HtmlStyle& s) { EXPECT_EQ(s.weight, 600); }},
        {"weight word unknown", L"font-weight:heavy", [](const HtmlStyle& s) { EXPECT_EQ(s.weight, 0); }},
        {"weight bolder", L"font-weight:bolder", [](const HtmlStyle& s) { EXPECT_EQ(s.weight, 900); }},
        {"italic", L"font-style:oblique", [](const HtmlStyle& s) { EXPECT_EQ(s.italic, 1); }},
        {"decoration ends at the space", L"text-decoration:underline overline",
         [](const HtmlStyle& s) {
             EXPECT_EQ(s.underline, 1);
             EXPECT_EQ(s.overline, 0);
         }},
        {"quoted decoration words", L"text-decoration:\"underline overline\"",
         [](const HtmlStyle& s) {
             EXPECT_EQ(s.underline, 1);
             EXPECT_EQ(s.overline, 1);
         }},
        {"decoration none after underline", L"text-decoration:underline; text-decoration:none",
         [](const HtmlStyle& s) { EXPECT_EQ(s.underline, 0); }},
        {"opaque background", L"background-color:#fbedbb",
         [](const HtmlStyle& s) {
             EXPECT_EQ(s.textBackgroundMode, OPAQUE);
             EXPECT_EQ(s.backgroundColour, RGB(0xFB, 0xED, 0xBB));
         }},
        {"transparent background", L"background-color:transparent",
         [](const HtmlStyle& s) { EXPECT_EQ(s.textBackgroundMode, TRANSPARENT); }},
        {"border width brings a solid style", L"border-width:3",
         [](const HtmlStyle& s) {
             EXPECT_EQ(s.borderWidth, 3);
             EXPECT_EQ(s.borderStyle, HtmlStyle::BorderSolid);
         }},
        {"border style brings a width of 1", L"border-style:dashed",
         [](const HtmlStyle& s) {
             EXPECT_EQ(s.borderStyle, HtmlStyle::BorderDashed);
             EXPECT_EQ(s.borderWidth, 1);
         }},
        {"thick is 125 %", L"size:8; border-width:thick",
         [](const HtmlStyle& s) { EXPECT_EQ(s.borderWidth, 10); }},
        {"border width 0 removes the style", L"border-style:double; border-width:0",
         [](const HtmlStyle& s) { EXPECT_EQ(s.borderStyle, HtmlStyle::BorderNone); }},
        {"alignments", L"text-align:right; vertical-align:middle; text-transform:capitalize",
         [](const HtmlStyle& s) {
             EXPECT_EQ(s.horizontalAlign, HtmlStyle::AlignRight);
             EXPECT_EQ(s.verticalAlign, HtmlStyle::AlignMiddle);
             EXPECT_EQ(s.textTransform, HtmlStyle::TransformCapitalise);
         }},
        {"unknown alignment keeps the value", L"text-align:justify",
         [](const HtmlStyle& s) { EXPECT_EQ(s.horizontalAlign, HtmlStyle::AlignLeft); }},
        {"margin and padding", L"margin:5px; padding:7",
         [](const HtmlStyle& s) {
             EXPECT_EQ(s.margin, 5);
             EXPECT_EQ(s.padding, 7);
         }},
        {"unknown properties are ignored", L"float:left; colour:red",
         [](const HtmlStyle& s) { EXPECT_EQ(s.textColour, 0u); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HtmlStyle style;
        reader.ApplyDeclarations(style, c.declarations, surface.dc());
        c.check(style);
    }

    reader.SetEnabled(false);
    HtmlStyle disabled;
    reader.ApplyDeclarations(disabled, L"color:#ff0000; background-color:yellow", surface.dc());
    EXPECT_EQ(disabled.textColour, reader.DisabledColour());
    EXPECT_EQ(disabled.textBackgroundMode, TRANSPARENT);
}

TEST(HtmlStyleReaderSheets, DefaultSheetAndReading)
{
    FontSurface surface;
    const int dpi = surface.dpi();
    CHtmlStyleReader reader;

    HtmlStyle heading;
    ASSERT_TRUE(reader.ApplyStyle(heading, L"h2", surface.dc()));
    EXPECT_EQ(heading.textColour, RGB(0xFF, 0x99, 0x00));
    EXPECT_EQ(heading.weight, FW_BOLD);
    EXPECT_EQ(heading.fontHeight, 13 * dpi / 72);
    EXPECT_EQ(heading.face, L"verdana");

    HtmlStyle preformatted;
    ASSERT_TRUE(reader.ApplyStyle(preformatted, L"PRE", surface.dc()));
    EXPECT_EQ(preformatted.face, L"courier");
    EXPECT_EQ(preformatted.textBackgroundMode, OPAQUE);

    HtmlStyle hover;
    ASSERT_TRUE(reader.ApplyStyle(hover, L"a:hover", surface.dc()));
    EXPECT_EQ(hover.underline, 1);
    EXPECT_EQ(hover.textColour, RGB(0, 0, 255));
    EXPECT_NE(reader.FindStyle(L".cpp-comment"), nullptr);
    EXPECT_NE(reader.FindStyle(L"p"), nullptr);
    HtmlStyle untouched;
    EXPECT_FALSE(reader.ApplyStyle(untouched, L"td", surface.dc()));

    // A selector is one word: a second word before the brace is dropped; an entry without braces too.
    reader.SetStyleSheet(L"H1 extra {color:red}\r\n.note{font-size:3}\r\nbroken color:blue");
    EXPECT_EQ(*reader.FindStyle(L"h1"), L"color:red");
    EXPECT_EQ(reader.FindStyle(L"extra"), nullptr);
    EXPECT_EQ(*reader.FindStyle(L".note"), L"font-size:3");
    EXPECT_EQ(reader.FindStyle(L"broken"), nullptr);
    EXPECT_EQ(reader.FindStyle(L"h2"), nullptr);

    reader.SetStyle(L"TD", L"color:green");
    EXPECT_EQ(*reader.FindStyle(L"td"), L"color:green");
    reader.SetStyleSheet(nullptr);
    EXPECT_NE(reader.FindStyle(L"h2"), nullptr);
    EXPECT_EQ(reader.FindStyle(L"td"), nullptr);
    EXPECT_EQ(reader.StyleSheetText(), kHtmlDefaultStyleSheet);
}
