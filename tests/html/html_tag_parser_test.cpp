#include "html_document.h"
#include "recording_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);

// Parses text at level 0 in Arial 15 into the document's own array.
struct ParsedText
{
    RecordingHost host;
    CHtmlDocument document{&host, 0};

    explicit ParsedText(const wchar_t* text, int noWrap = 0)
    {
        std::wstring buffer = text;
        document.ParseTags(buffer.data(), document.items, document.itemCount, L"Arial", 15, 0,
                           L"http://host/dir/page.htm", 0, 0, noWrap);
    }
    int Count() const { return document.itemCount; }
    const CHtmlItem& Item(int index) const { return *document.items[index]; }
    std::wstring Text() const { return ItemsAsText(document.items, document.itemCount); }
    // The text runs that are not spaces, in order.
    std::vector<const CHtmlItem*> Words() const
    {
        std::vector<const CHtmlItem*> words;
        for (int index = 0; index < Count(); ++index)
            if (Item(index).kind == kHtmlItemText && Item(index).text[0] != L' ')
                words.push_back(&Item(index));
        return words;
    }
};

} // namespace

TEST(HtmlTagParser, StyleTags)
{
    ParsedText parsed(L"<B>bold</b>plain<bx>odd <b><b>in</b>out <i>it</i><strong>st</strong>");
    auto words = parsed.Words();
    ASSERT_EQ(words.size(), 7u);
    const wchar_t* texts[] = {L"bold", L"plain", L"bx>odd", L"in", L"out", L"it", L"st"};
    int bold[] = {1, 0, 0, 1, 0, 0, 1};
    int italic[] = {0, 0, 0, 0, 0, 1, 0};
    for (size_t index = 0; index < words.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_STREQ(words[index]->text, texts[index]);
        EXPECT_EQ(words[index]->bold, bold[index]);
        EXPECT_EQ(words[index]->italic, italic[index]);
        EXPECT_EQ(words[index]->backColor, -1);
        EXPECT_GT(words[index]->width, 0);
        EXPECT_GT(words[index]->height, 0);
    }
}

TEST(HtmlTagParser, FontSizes)
{
    struct Case
    {
        const wchar_t* text;
        std::vector<int> sizes;
    };
    const Case cases[] = {
        {L"<small><small>a</small>b", {7, 15}},
        {L"<small>a<small>b</small>c", {10, 7, 15}},
        {L"<big>a</big>b", {20, 15}},
        {L"<font size=+2>a</font><font size=3>b</font><font size=0>c<font size=-20>d", {17, 20, 15, 1}},
        {L"<font size=\"\">a<font size=99999999999>b", {15, 1000}},
        {L"<h1>a</h1><h2>b</h2><h3>c</h3>d", {30, 22, 20, 15}},
        {L"<sub>a</sub><sup>b</sup>c", {10, 10, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ParsedText parsed(c.text);
        auto words = parsed.Words();
        ASSERT_EQ(words.size(), c.sizes.size());
        for (size_t index = 0; index < words.size(); ++index)
            EXPECT_EQ(words[index]->fontSize, c.sizes[index]) << index;
    }
}

TEST(HtmlTagParser, FontFaceAndColour)
{
    ParsedText parsed(L"<font face=\"Courier New, Arial\" color=red>a</font>b<u>c</u><strike>d");
    auto words = parsed.Words();
    ASSERT_EQ(words.size(), 4u);
    EXPECT_STREQ(words[0]->faceName, L"Courier New");
    EXPECT_EQ(words[0]->textColor, RGB(255, 0, 0));
    EXPECT_STREQ(words[1]->faceName, L"Arial");
    EXPECT_EQ(words[1]->textColor, 0u);
    EXPECT_EQ(words[2]->lineFlags, 8u);
    EXPECT_EQ(words[3]->lineFlags, 16u);
    EXPECT_EQ(words[3]->lineWidth, 1);
}

TEST(HtmlTagParser, LinksShareNumbersWithoutRegardToCase)
{
    ParsedText parsed(
        L"<a href=Page.htm>a</a> <A HREF=\"page.HTM\">b</a> <a href=other.htm>c</a> d <a name=x>e");
    auto words = parsed.Words();
    ASSERT_EQ(words.size(), 5u);
    int links[] = {0, 0, 1, -1, -1};
    for (size_t index = 0; index < words.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(words[index]->linkId, links[index]);
        bool inLink = links[index] >= 0;
        EXPECT_EQ(words[index]->textColor, inLink ? kBlue : 0u);
        EXPECT_EQ(words[index]->lineFlags, inLink ? 8u : 0u);
        EXPECT_EQ(words[index]->lineColor, inLink ? static_cast<int>(kBlue) : 0);
    }
    const CHtmlStringArray* urls = parsed.document.links.GetRow(0);
    ASSERT_EQ(urls->Count(), 2);
    EXPECT_STREQ(urls->GetText(0), L"http://host/dir/Page.htm");
    EXPECT_STREQ(urls->GetText(1), L"http://host/dir/other.htm");
}

TEST(HtmlTagParser, TabsFillToTheNextStopOfFive)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"abc\tx", L"abc  x"},
        {L"abcde\tx", L"abcde     x"},
        {L"ab<b>cd</b>\tx", L"abcd x"},
        {L"a\n\tx", L"a \n     x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(ParsedText(c.text, 1).Text(), c.expected);
    }
}

TEST(HtmlTagParser, LineEndingTags)
{
    struct Case
    {
        const wchar_t* text;
        int noWrap;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"<p>a", 0, L"\na"},
        {L"a<p>b", 0, L"a \n \nb"},
        {L"a<br>   b", 0, L"a \nb"},
        {L"a<br>  b", 1, L"a \n  b"},
        {L"<br><br>", 0, L" \n \n"},
        {L"a<hr>b", 0, L"a \n \nb"},
        {L"<h1>T</h1>x", 0, L" \n \nT \nx"},
        {L"a</p></td><li>b", 0, L"ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(ParsedText(c.text, c.noWrap).Text(), c.expected);
    }

    ParsedText rule(L"<hr><br clear=all><center>c</center>");
    ASSERT_GE(rule.Count(), 5);
    EXPECT_EQ(rule.Item(0).kind, kHtmlItemBreak);
    EXPECT_EQ(rule.Item(0).width, 1);
    EXPECT_EQ(rule.Item(0).height, 2);
    EXPECT_EQ(rule.Item(0).lineFlags, 15u);
    EXPECT_EQ(rule.Item(0).lineColor, -1);
    int clears = 0;
    for (int index = 0; index < rule.Count(); ++index)
        clears += rule.Item(index).clear;
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(rule.Words().at(0)->align, 2);
}

TEST(HtmlTagParser, ReportsProgressWithinTheText)
{
    ParsedText parsed(L"one <b>two</b><br>three");
    EXPECT_GT(parsed.host.progressCalls, 3);
    EXPECT_EQ(parsed.host.progressOutOfRange, 0);
    EXPECT_EQ(parsed.host.lastProgress.done, 23);
    EXPECT_EQ(parsed.host.lastProgress.total, 23);
    EXPECT_EQ(parsed.document.itemTotal, parsed.Count());
}
