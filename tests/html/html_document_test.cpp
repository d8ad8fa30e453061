#include "html_document.h"
#include "recording_host.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LoadedPage
{
    RecordingHost host;
    CHtmlDocument document{&host, 0};

    void Load(const wchar_t* text, const wchar_t* baseUrl = L"http://host/dir/page.htm")
    {
        document.Load(text, L"Arial", 15, 0, baseUrl);
    }
    std::wstring Text() const { return ItemsAsText(document.items, document.itemCount); }
};

} // namespace

TEST(HtmlDocumentLoad, DropsUnknownTagsAndCollapsesWhiteSpace)
{
    LoadedPage page;
    page.Load(L"  <p>word   <span>second</span><br>third");
    EXPECT_EQ(page.Text(), L"\nword second \nthird");
    EXPECT_EQ(page.document.items[0]->kind, kHtmlItemBreak);
    EXPECT_STREQ(page.document.items[0 + 1]->faceName, L"Arial");

    page.Load(L"a<script type=x>if (a<b) document.write('<b>');</SCRIPT >b");
    EXPECT_EQ(page.Text(), L"ab");
    page.Load(L"a<!-- <b> -- > -->b<style>p {}</style>c<style x>d");
    EXPECT_EQ(page.Text(), L"abcd");
}

TEST(HtmlDocumentLoad, ReportsTheTitleAndProgress)
{
    LoadedPage page;
    const wchar_t* text = L"<html><title>  a b \r\n</title>x  y";
    page.Load(text);
    ASSERT_EQ(page.host.log.size(), 1u);
    EXPECT_EQ(page.host.log[0], L"SetTitle a b");
    EXPECT_EQ(page.Text(), L"x y");
    // The last report gives the cleaned text's length as done and total.
    EXPECT_EQ(page.host.lastProgress.flag, 0);
    EXPECT_EQ(page.host.lastProgress.done, 3);
    EXPECT_EQ(page.host.lastProgress.total, 3);
    EXPECT_EQ(page.host.progressOutOfRange, 0);

    // Generated pages break tags over lines; the title still ends at its closing tag.
    page.host.log.clear();
    page.Load(L"<TITLE\n>Users &amp; Groups</TITLE\n>text");
    ASSERT_EQ(page.host.log.size(), 1u);
    EXPECT_EQ(page.host.log[0], L"SetTitle Users & Groups");
    EXPECT_EQ(page.Text(), L"text");

    page.host.log.clear();
    page.Load(L"before<title>the rest");
    EXPECT_EQ(page.host.log.at(0), L"SetTitle the rest");
    EXPECT_EQ(page.Text(), L"before");
}

TEST(HtmlDocumentLoad, ReadsBodyColoursAndBackground)
{
    LoadedPage page;
    page.Load(L"<body bgcolor=navy>x");
    EXPECT_EQ(page.document.backgroundColor, 0x800000);
    EXPECT_EQ(page.document.backgroundImage, -1);
    EXPECT_EQ(page.Text(), L"x");

    page.Load(L"<BODY\nCLASS=\"BOOK\"\nBACKGROUND=\"bg.gif\"\n>x", L"file://C:\\pages\\index.htm");
    EXPECT_EQ(page.document.backgroundColor, 0xFFFFFF);
    ASSERT_EQ(page.document.backgroundImage, 0);
    CHtmlImageJob* job = page.document.imageLoader.GetJob(0);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->url, L"file://C:\\pages\\bg.gif");
    EXPECT_EQ(job->background, 1);
}

TEST(HtmlDocumentLoad, TextBaseUrlShowsPlainTextInCourierNew)
{
    LoadedPage page;
    page.Load(L"line one\r\n  two\t <b>x", L"file://C:\\docs\\README.TXT");
    ASSERT_GT(page.document.itemCount, 0);
    EXPECT_EQ(page.Text(), L"line one \n  two      x");
    for (int index = 0; index < page.document.itemCount; ++index) {
        const CHtmlItem* item = page.document.items[index];
        if (item->kind != kHtmlItemText)
            continue;
        EXPECT_STREQ(item->faceName, L"Courier New");
        EXPECT_EQ(item->noWrap, 1);
    }
}

TEST(HtmlDocumentLoad, ASecondPageResetsThePageButKeepsTheImageJobs)
{
    LoadedPage page;
    page.Load(L"<body bgcolor=red background=a.gif><a href=x>link</a>");
    int items = 0, images = 0, links = 0, level = -1;
    page.document.GetStats(&items, &images, &links, &level);
    EXPECT_EQ(items, 1);
    EXPECT_EQ(images, 1);
    EXPECT_EQ(links, 1);
    EXPECT_EQ(level, 0);

    page.Load(L"<body background=b.gif>plain");
    EXPECT_EQ(page.document.backgroundColor, 0xFFFFFF);
    EXPECT_EQ(page.document.backgroundImage, 1);
    page.document.GetStats(&items, &images, &links, &level);
    EXPECT_EQ(images, 2);
    EXPECT_EQ(links, 0);

    // A page that uses an earlier image gets its old job back.
    page.Load(L"<body background=a.gif>again");
    EXPECT_EQ(page.document.backgroundImage, 0);
    page.document.GetStats(&items, &images, &links, &level);
    EXPECT_EQ(images, 2);
}

TEST(HtmlDocumentLoad, HitTestingReportsLinks)
{
    LoadedPage page;
    page.Load(L"<a href=one.htm>one</a> plain");
    ASSERT_GE(page.document.itemCount, 3);
    CHtmlItem* link = page.document.items[0];
    ASSERT_EQ(link->linkId, 0);
    link->x = 10;
    link->y = 20;
    page.host.log.clear();

    page.document.OnMouseMove(10, 20);
    page.document.OnMouseMove(10 + link->width, 20); // right edge excluded
    page.document.OnClick(11, 21);
    page.document.HighlightLink(L"http://host/dir/one.htm");
    std::vector<std::wstring> expected = {L"OnLinkHover 1 http://host/dir/one.htm", L"OnLinkHover 0 ",
                                          L"Navigate http://host/dir/one.htm", L"Invalidate 10,20"};
    EXPECT_EQ(page.host.log, expected);
    EXPECT_EQ(page.document.hoverLink, 0);
}

TEST(HtmlDocumentLoad, APageStopsAtTheItemLimitAndSaysHowFarItGot)
{
    struct Case
    {
        const char* name;
        std::wstring page;
        int items;
        const wchar_t* notice;
        const wchar_t* lastText;
    };
    // Each "x " is a word and a space.
    std::wstring atLimit;
    for (int word = 0; word < kHtmlMaxPageItems / 2; ++word)
        atLimit += L"x ";
    const Case cases[] = {
        {"exactly the limit", atLimit, kHtmlMaxPageItems, L"", L" "},
        {"one word past it", atLimit + L"end", kHtmlMaxPageItems, L"Loaded 100000 of 100003 total characters",
         L" "},
        // The preformatted block is a box of the page and its tabs are its children; a break closes the
        // cut block, so that the layout shows it.
        {"tabs in a preformatted block", L"<pre>" + std::wstring(kHtmlMaxPageItems, L'\t') + L"</pre>after",
         kHtmlMaxPageItems + 1, L"Loaded 100003 of 100016 total characters", L"     "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedPage page;
        page.Load(c.page.c_str());
        EXPECT_EQ(page.document.itemTotal, c.items);
        EXPECT_EQ(page.document.LimitNotice(), c.notice);
        const CHtmlItem* last = page.document.items[page.document.itemCount - 1];
        if (last->kind == kHtmlItemBreak)
            last = page.document.items[page.document.itemCount - 2];
        while (last->childCount)
            last = last->children[last->childCount - 1];
        ASSERT_TRUE(last->text);
        EXPECT_STREQ(last->text, c.lastText);
        // What was made lays out like any page.
        RECT area = {0, 0, 600, 0};
        page.document.Layout(&area);
        EXPECT_GT(area.bottom, 0);
    }
    // The next page starts without the notice.
    LoadedPage page;
    page.Load(cases[1].page.c_str());
    page.Load(L"short");
    EXPECT_EQ(page.document.LimitNotice(), L"");
    EXPECT_EQ(page.Text(), L"short");
}
