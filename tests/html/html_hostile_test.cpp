// Crafted pages end, bounded, without writing outside their buffers.
#include "html_document.h"
#include "html_text_routines.h"
#include "recording_host.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Repeat(const wchar_t* piece, int times)
{
    std::wstring text;
    for (int index = 0; index < times; ++index)
        text += piece;
    return text;
}

const CHtmlItem* FirstWord(const CHtmlDocument& document)
{
    for (int index = 0; index < document.itemCount; ++index)
        if (document.items[index]->kind == kHtmlItemText && document.items[index]->text[0] != L' ')
            return document.items[index];
    return nullptr;
}

} // namespace

TEST(HtmlHostilePages, LongAndRepeatedTagsStayBounded)
{
    RecordingHost host;
    CHtmlDocument document(&host, 0);

    document.Load((L"<font face=" + std::wstring(5000, L'F') + L">x").c_str(), L"Arial", 15, 0, L"");
    ASSERT_NE(FirstWord(document), nullptr);
    EXPECT_EQ(wcslen(FirstWord(document)->faceName), size_t(kHtmlFaceNameCapacity - 1));

    document.Load((Repeat(L"<b><i><a href=x>", 100000) + L"text").c_str(), L"Arial", 15, 0, L"http://h/");
    ASSERT_NE(FirstWord(document), nullptr);
    EXPECT_EQ(FirstWord(document)->bold, 1);
    EXPECT_EQ(FirstWord(document)->linkId, 0);
    EXPECT_EQ(document.links.GetRow(0)->Count(), 1);

    document.Load((Repeat(L"<big>", 10000) + L"x").c_str(), L"Arial", 15, 0, L"");
    EXPECT_EQ(FirstWord(document)->fontSize, 1000);
    document.Load((Repeat(L"<h1>", 1000) + L"x").c_str(), L"Arial", 15, 0, L"");
    EXPECT_EQ(FirstWord(document)->fontSize, 1000);
    EXPECT_EQ(host.progressOutOfRange, 0);
}

TEST(HtmlHostilePages, LongBaseUrlsAndBrokenColoursAndReferences)
{
    RecordingHost host;
    CHtmlDocument document(&host, 0);
    std::wstring base = L"http://host/" + std::wstring(3000, L'd') + L"/page.htm";
    document.Load(L"<body bgcolor=#f background=bg.gif><a href=y>l</a><font color=#>c</font>&#0;", L"Arial",
                  15, 0, base.c_str());
    EXPECT_EQ(document.backgroundColor, RGB(15, 0, 0));
    EXPECT_EQ(wcslen(document.links.GetRow(0)->GetText(0)), size_t(kHtmlUrlCapacity - 1));
    EXPECT_EQ(document.imageLoader.GetJob(0)->url.size(), size_t(kHtmlUrlCapacity - 1));
    ASSERT_EQ(document.itemCount, 3);
    EXPECT_EQ(document.items[1]->textColor, 0u);
    EXPECT_STREQ(document.items[2]->text, L"\xFFFD");
}

TEST(HtmlHostilePages, UnterminatedMarkersDropTheRest)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"a<script>b<b>c", L"a"},
        {L"a<!-- b --", L"a"},
        {L"a<script>b</script", L"a"},
        {L"a<b", L"a"},
        {L"a<a href=\"x", L"a"},
        {L"a<unknown", L"a"},
        {L"a<", L"a"},
        {L"a<body bgcolor", L"a"},
        {L"a&", L"a&"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        RecordingHost host;
        CHtmlDocument document(&host, 0);
        document.Load(c.text, L"Arial", 15, 0, L"");
        EXPECT_EQ(ItemsAsText(document.items, document.itemCount), c.expected);
    }
}

TEST(HtmlHostilePages, RepeatedOpeningsCostOneScanEach)
{
    RecordingHost host;
    CHtmlDocument document(&host, 0);
    document.Load((Repeat(L"<style x>", 100000) + L"y").c_str(), L"Arial", 15, 0, L"");
    EXPECT_EQ(ItemsAsText(document.items, document.itemCount), L"y");

    document.Load(Repeat(L"ab\t", 10000).c_str(), L"Arial", 15, 0, L"file://C:\\a.txt");
    ASSERT_EQ(document.itemCount, 20000);
    EXPECT_STREQ(document.items[19999]->text, L"   ");

    std::wstring lessThans = std::wstring(200000, L'<') + L"z";
    document.ParseTags(lessThans.data(), document.items, document.itemCount, L"Arial", 15, 0, L"", 0, 0, 0);
    EXPECT_STREQ(document.items[document.itemCount - 1]->text, L"z");
}
