// Tables, form controls, aligned regions, lists, preformatted blocks and images, as the loaded page's
// items and the host's calls show them.
#include "html_document.h"
#include "recording_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Page
{
    RecordingHost host;
    CHtmlDocument document;

    explicit Page(const wchar_t* text, bool withHost = true) : document(withHost ? &host : nullptr, 0)
    {
        document.Load(text, L"Arial", 15, 0, L"http://host/dir/page.htm");
    }
    int Count() const { return document.itemCount; }
    CHtmlItem* Item(int index) const { return document.items[index]; }
};

// One letter per item: T text, I image, B break, X box.
std::wstring Kinds(CHtmlItem** items, int count)
{
    std::wstring kinds;
    for (int index = 0; index < count; ++index)
        kinds += L"TIBX"[items[index]->kind];
    return kinds;
}

std::wstring Kinds(const Page& page)
{
    return Kinds(page.document.items, page.document.itemCount);
}

std::wstring Children(const CHtmlItem* box)
{
    return ItemsAsText(box->children, box->childCount);
}

// Every text of the subtree, in document order.
void CollectText(CHtmlItem** items, int count, std::wstring& text)
{
    for (int index = 0; index < count; ++index) {
        if (items[index]->text)
            text += items[index]->text;
        CollectText(items[index]->children, items[index]->childCount, text);
    }
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

SIZE Measure(const wchar_t* face, const wchar_t* text)
{
    SIZE size = {};
    MeasureText(face, 15, 0, 0, &size, text, -1);
    return size;
}

const CHtmlItem* FirstText(CHtmlItem** items, int count)
{
    for (int index = 0; index < count; ++index)
        if (items[index]->kind == kHtmlItemText)
            return items[index];
    return nullptr;
}

} // namespace

TEST(HtmlTableBuilder, CellsCarryTheirPlaceAndTheTableDefaults)
{
    Page page(L"<table><tr><td>a<td>b</table>");
    ASSERT_EQ(Kinds(page), L"BXXBB");
    EXPECT_EQ(DumpBox(page.Item(1)), L"3 r0 c0 s1x1 p4 sp4 f0 w0 l-1 fl-1 id-1");
    EXPECT_EQ(DumpBox(page.Item(2)), L"3 r0 c1 s1x1 p4 sp4 f0 w0 l-1 fl-1 id-1");
    EXPECT_EQ(Children(page.Item(1)), L"a");
    EXPECT_EQ(Children(page.Item(2)), L"b");

    Page framed(L"<table border=1 cellpadding=3 cellspacing=0 bordercolor=red bgcolor=blue width=400>"
                L"<tr><td width=50%>a</td><td colspan=3 rowspan=2 width=20>b</td><td>c</td></tr>"
                L"<td>d</table>");
    ASSERT_EQ(Kinds(framed), L"BXXXBXBB");
    EXPECT_EQ(framed.Item(0)->backColor, static_cast<int>(RGB(0, 0, 255)));
    EXPECT_EQ(DumpBox(framed.Item(1)), L"3 r0 c0 s1x1 p4 sp0 f15 w1 l255 fl-1 id-1");
    EXPECT_EQ(framed.Item(1)->cellWidth, 200);
    EXPECT_EQ(framed.Item(1)->tableWidth, 400);
    EXPECT_EQ(DumpBox(framed.Item(2)), L"3 r0 c1 s3x2 p4 sp0 f15 w1 l255 fl-1 id-1");
    EXPECT_EQ(framed.Item(2)->cellWidth, 20);
    // colspan 3 moves the next cell three columns on; a cell without a row tag starts a row of its own.
    EXPECT_EQ(framed.Item(3)->column, 4);
    EXPECT_EQ(framed.Item(5)->row, 1);
    EXPECT_EQ(framed.Item(5)->column, 0);

    Page percent(L"<table width=80%><tr><td width=50%>a</table><table width=250%><tr><td>b</table>");
    ASSERT_EQ(Kinds(percent), L"BXBBBXBB");
    EXPECT_EQ(percent.Item(1)->tableWidth, -80);
    EXPECT_EQ(percent.Item(1)->cellWidth, 0);
    EXPECT_EQ(percent.Item(5)->tableWidth, -100);
}

TEST(HtmlTableBuilder, AlignmentOfRowsCellsAndTables)
{
    // A row's align stays for the rows after it; "left" is not one of the values it knows.
    Page rows(L"<table><tr align=center><td>a<tr><td>b<tr align=left><td>c<tr align=right><td>d"
              L"<td align=justify>e<th>f</table>");
    std::vector<int> aligns;
    std::vector<int> sizes;
    for (int index = 0; index < rows.Count(); ++index) {
        if (rows.Item(index)->kind != kHtmlItemBox)
            continue;
        const CHtmlItem* text = FirstText(rows.Item(index)->children, rows.Item(index)->childCount);
        ASSERT_NE(text, nullptr);
        aligns.push_back(text->align);
        sizes.push_back(text->fontSize);
    }
    EXPECT_EQ(aligns, (std::vector<int>{2, 2, 2, 1, 3, 2}));
    EXPECT_EQ(sizes, (std::vector<int>{15, 15, 15, 15, 15, 19}));
    EXPECT_EQ(FirstText(rows.Item(rows.Count() - 3)->children, 1)->bold, 0);

    // A right table floats every cell and aligns its breaks; the old alignment comes back after it.
    Page right(L"a<table align=right><tr><td>x<td>y</table>b<table align=center><tr><td>z</table>c");
    ASSERT_EQ(Kinds(right), L"TBXXBBTBXBBT");
    std::vector<int> floats, breakAligns;
    for (int index = 0; index < right.Count(); ++index) {
        if (right.Item(index)->kind == kHtmlItemBox)
            floats.push_back(right.Item(index)->floatSide);
        if (right.Item(index)->kind != kHtmlItemText)
            breakAligns.push_back(right.Item(index)->align);
    }
    EXPECT_EQ(floats, (std::vector<int>{1, 1, -1}));
    EXPECT_EQ(breakAligns, (std::vector<int>{1, 1, 1, 1, 0, 2, 2, 2, 0}));
    EXPECT_EQ(right.Item(6)->align, 0);
    EXPECT_EQ(right.Item(11)->align, 0);
}

TEST(HtmlTableBuilder, NestedTablesHiddenTextAndForms)
{
    Page nested(L"<table><tr><td>x<table><tr><td>in</td><td>side</table>y<td>z</table>");
    ASSERT_EQ(Kinds(nested), L"BXXBB");
    const CHtmlItem* outer = nested.Item(1);
    EXPECT_EQ(Kinds(outer->children, outer->childCount), L"TBXXBBT");
    EXPECT_EQ(Children(outer->children[2]), L"in");
    EXPECT_EQ(outer->children[3]->column, 1);
    EXPECT_EQ(nested.Item(2)->column, 1);
    EXPECT_EQ(Children(nested.Item(2)), L"z");

    Page hidden(L"<table>lost<tr>also<td>a</td> hidden <td>b</td></tr> gone </table>after");
    std::wstring text;
    CollectText(hidden.document.items, hidden.Count(), text);
    EXPECT_EQ(text, L"abafter");

    Page form(L"<table><form action=go.cgi method=post><tr><td><input name=q></td></tr></form>"
              L"<tr><td><input></table>");
    ASSERT_EQ(form.host.log.size(), 3u);
    EXPECT_EQ(form.host.log[0], L"AddForm http://host/dir/go.cgi post");
    EXPECT_TRUE(EndsWith(form.host.log[1], L"[q] 0 0")) << form.host.log[1];
    EXPECT_TRUE(EndsWith(form.host.log[2], L"[] -1 0")) << form.host.log[2];
}

TEST(HtmlFormBuilder, InputsByType)
{
    const SIZE zeros = Measure(L"MS Sans serif", L"0000000000");
    const SIZE four = Measure(L"MS Sans serif", L"0000");
    const SIZE go = Measure(L"MS Sans serif", L"Go");
    auto number = [](LONG value) { return std::to_wstring(value); };
    struct Case
    {
        const wchar_t* text;
        std::wstring call;
        std::wstring itemText;
        int width, height;
        int lineColor;
        COLORREF back;
        const wchar_t* face;
    };
    const COLORREF white = RGB(255, 255, 255);
    const Case cases[] = {
        {L"<input>", L"Edit 10 0 " + number(zeros.cx + 8) + L" " + number(zeros.cy + 4) + L" [] 0 [] -1 0",
         L"", zeros.cx + 8, zeros.cy + 4, -1, white, L"MS Sans serif"},
        {L"<input size=-3 value=\"a &amp; b\">",
         L"Edit 10 0 " + number(zeros.cx + 8) + L" " + number(zeros.cy + 4) + L" [a & b] 0 [] -1 0", L"a & b",
         zeros.cx + 8, zeros.cy + 4, -1, white, L"MS Sans serif"},
        {L"<input type=PASSWORD size=4 maxlength=8 value=pw name=p>",
         L"Edit 4 8 " + number(four.cx + 8) + L" " + number(four.cy + 4) + L" [pw] 0 [p] -1 1", L"pw",
         four.cx + 8, four.cy + 4, -1, white, L"MS Sans serif"},
        {L"<input type=submit value=Go name=b>",
         L"Button " + number(go.cx + 8) + L" " + number(go.cy + 4) + L" [Go] [b] -1", L"Go", go.cx + 8,
         go.cy + 4, -2, RGB(192, 192, 192), L"MS Sans serif"},
        {L"<input type=radio value=r name=n>", L"Radio 13 13 [r] [n] -1", L"    ", 13, 13, -1, white,
         L"Arial"},
        {L"<input type=checkbox value=c name=n>", L"CheckBox 13 13 [c] [n] -1", L"    ", 13, 13, -1, white,
         L"Arial"},
        {L"<input type=hidden value=h name=x>", L"Edit 10 0 0 0 [h] 0 [x] -1 0", L"h", 0, 0, -1, white,
         L"Arial"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        Page page(c.text);
        ASSERT_EQ(page.Count(), 1);
        ASSERT_EQ(page.host.log.size(), 1u);
        EXPECT_EQ(page.host.log[0], c.call);
        const CHtmlItem* item = page.Item(0);
        EXPECT_EQ(item->kind, kHtmlItemText);
        EXPECT_STREQ(item->text, c.itemText.c_str());
        EXPECT_EQ(item->width, c.width);
        EXPECT_EQ(item->height, c.height);
        EXPECT_EQ(item->lineFlags, 15u);
        EXPECT_EQ(item->lineWidth, 2);
        EXPECT_EQ(item->lineColor, c.lineColor);
        EXPECT_EQ(item->backColor, static_cast<int>(c.back));
        EXPECT_EQ(item->textColor, 0u);
        EXPECT_STREQ(item->faceName, c.face);
        EXPECT_EQ(item->fontSize, 15);
        EXPECT_EQ(item->linkId, -1);
        EXPECT_EQ(item->controlId, 0);
        EXPECT_NE(page.document.GetControlWindow(0), nullptr);
    }

    Page unknown(L"<input type=reset><input type=file>");
    EXPECT_EQ(unknown.Count(), 0);
    EXPECT_TRUE(unknown.host.log.empty());
}

TEST(HtmlFormBuilder, FormsImagesSelectsAndTextAreas)
{
    Page images(L"<form action=a.cgi><input type=image src=x.gif><input type=IMAGE src=y.gif width=30></form>"
                L"<input type=image><form><input name=late></form>");
    ASSERT_EQ(Kinds(images), L"IIIT");
    EXPECT_EQ(images.host.log[0], L"AddForm http://host/dir/a.cgi get");
    EXPECT_EQ(images.host.log[1], L"AddForm  get");
    EXPECT_TRUE(EndsWith(images.host.log[2], L"[late] 1 0")) << images.host.log[2];
    const CHtmlStringArray* links = images.document.links.GetRow(0);
    ASSERT_EQ(links->Count(), 2);
    EXPECT_STREQ(links->GetText(0), L"Submit(0)");
    EXPECT_STREQ(links->GetText(1), L"Submit(-1)");
    EXPECT_EQ(images.Item(0)->linkId, 0);
    EXPECT_EQ(images.Item(1)->linkId, 0);
    EXPECT_EQ(images.Item(1)->width, 30);
    EXPECT_EQ(images.Item(2)->linkId, 1);
    EXPECT_EQ(images.document.imageLoader.GetJob(images.Item(1)->imageIndex)->url, L"http://host/dir/y.gif");
    EXPECT_EQ(images.Item(2)->imageIndex, -1);

    const SIZE one = Measure(L"MS Sans serif", L"One");
    const SIZE two = Measure(L"MS Sans serif", L"Two & more");
    const int width = std::max(one.cx, two.cx) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    Page select(L"<select name=s><option value=1>One<option selected value=2>Two &amp; more</select>after"
                L"<select></select><select><option selected>x<option selected>y<option>z</select>");
    ASSERT_EQ(Kinds(select), L"TTTT");
    ASSERT_EQ(select.host.log.size(), 3u);
    EXPECT_EQ(select.host.log[0], L"ComboBox " + std::to_wstring(width) + L" " + std::to_wstring(one.cy + 4) +
                                      L" [One=1][Two & more=2] 1 [s] -1");
    EXPECT_STREQ(select.Item(0)->text, L"One");
    EXPECT_EQ(select.Item(0)->width, width);
    EXPECT_STREQ(select.Item(1)->text, L"after");
    EXPECT_TRUE(EndsWith(select.host.log[1], L" 0 [] -1")) << select.host.log[1];
    EXPECT_TRUE(EndsWith(select.host.log[2], L"[x=][y=][z=] 1 [] -1")) << select.host.log[2];

    const SIZE space = Measure(L"Courier New", L" ");
    Page area(L"<textarea cols=40 rows=5 name=t>Hello &lt;there&gt;</textarea>x<textarea rows=0>");
    ASSERT_EQ(Kinds(area), L"TTT");
    EXPECT_EQ(area.host.log[0], L"Edit -1 0 " + std::to_wstring(40 * space.cx + 4) + L" " +
                                    std::to_wstring(5 * space.cy + 4) + L" [Hello <there>] 1 [t] -1 0");
    EXPECT_STREQ(area.Item(0)->faceName, L"Courier New");
    EXPECT_EQ(area.Item(0)->lineColor, -1);
    EXPECT_STREQ(area.Item(1)->text, L"x");
    EXPECT_EQ(area.Item(2)->width, 15 * space.cx + 4);
    EXPECT_EQ(area.Item(2)->height, 3 * space.cy + 4);
}

TEST(HtmlFormBuilder, WithoutAHostControlsStillTakeTheirPlace)
{
    Page page(L"<form action=x><input><select><option>a</select><input type=image src=i.gif>", false);
    ASSERT_EQ(Kinds(page), L"TTI");
    for (int index = 0; index < page.Count(); ++index)
        EXPECT_EQ(page.Item(index)->controlId, -1);
    EXPECT_EQ(page.document.currentForm, -1);
    EXPECT_STREQ(page.document.links.GetRow(0)->GetText(0), L"Submit(-1)");
}

TEST(HtmlBlockBuilder, ImagesInlineAndFloated)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* kinds;
    };
    const Case cases[] = {
        {L"<img src=a.gif width=0>", L""},        {L"<img src=a.gif height=abc>", L""},
        {L"<img src=a.gif width=50%>", L"I"},     {L"<img width=5>", L""},
        {L"<img align=left src=a.gif>", L"BXBB"}, {L"<img align=right src=a.gif width=0>", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(Kinds(Page(c.text)), c.kinds);
    }

    Page floated(L"x<img ALIGN=right src=a.gif width=20 height=10 alt=\"align\">y");
    ASSERT_EQ(Kinds(floated), L"TBXBBT");
    EXPECT_EQ(floated.Item(1)->align, 1);
    EXPECT_EQ(DumpBox(floated.Item(2)), L"3 r0 c0 s1x1 p4 sp0 f0 w0 l-1 fl1 id-1");
    EXPECT_EQ(floated.Item(2)->align, 1);
    ASSERT_EQ(Kinds(floated.Item(2)->children, floated.Item(2)->childCount), L"I");
    const CHtmlItem* image = floated.Item(2)->children[0];
    EXPECT_EQ(image->width, 20);
    EXPECT_EQ(image->height, 10);
    EXPECT_EQ(image->align, 1);
    EXPECT_EQ(floated.document.imageLoader.GetJob(image->imageIndex)->url, L"http://host/dir/a.gif");
    EXPECT_EQ(floated.Item(3)->align, 0);

    Page linked(L"<center><a href=l.htm><img src=a.gif border=2 height=7></a></center>");
    const CHtmlItem* inline_ = nullptr;
    for (int index = 0; index < linked.Count(); ++index)
        if (linked.Item(index)->kind == kHtmlItemImage)
            inline_ = linked.Item(index);
    ASSERT_NE(inline_, nullptr);
    EXPECT_EQ(inline_->linkId, 0);
    EXPECT_EQ(inline_->lineFlags, 15u);
    EXPECT_EQ(inline_->lineWidth, 2);
    EXPECT_EQ(inline_->height, 7);
    EXPECT_EQ(inline_->align, 2);
}

TEST(HtmlBlockBuilder, AlignedRegions)
{
    EXPECT_EQ(ItemsAsText(Page(L"a<div align=left>b</div>c").document.items, 5),
              ItemsAsText(Page(L"a<div>b</div>c").document.items, 5));

    Page right(L"a<p align=right>b</p>c");
    ASSERT_EQ(Kinds(right), L"TBBTBT");
    std::vector<int> aligns;
    for (int index = 0; index < right.Count(); ++index)
        aligns.push_back(right.Item(index)->align);
    EXPECT_EQ(aligns, (std::vector<int>{0, 1, 1, 1, 0, 0}));

    // A paragraph region ends at the next paragraph outside its tables.
    Page tabled(L"<p align=right>a<table><tr><td>b<p>c</table>d<p>e");
    std::vector<std::wstring> topWords;
    std::vector<int> topAligns;
    for (int index = 0; index < tabled.Count(); ++index) {
        if (tabled.Item(index)->kind == kHtmlItemText && tabled.Item(index)->text[0] != L' ') {
            topWords.push_back(tabled.Item(index)->text);
            topAligns.push_back(tabled.Item(index)->align);
        }
    }
    EXPECT_EQ(topWords, (std::vector<std::wstring>{L"a", L"d", L"e"}));
    EXPECT_EQ(topAligns, (std::vector<int>{1, 1, 0}));

    // Bold and links do not carry into a region; the face and size do.
    Page centred(L"<center><b><font size=5><p class=x>b</p></center>");
    const CHtmlItem* word = FirstText(centred.document.items + 2, centred.Count() - 2);
    ASSERT_NE(word, nullptr);
    EXPECT_STREQ(word->text, L"b");
    EXPECT_EQ(word->align, 2);
    EXPECT_EQ(word->bold, 0);
    EXPECT_EQ(word->fontSize, 28);

    // Nested divs of other alignments, an unclosed one running to the next aligned one.
    Page divs(L"<div align=right>r<div align=center>c</div>r2</div><div align=center>x<div align=right>y");
    std::vector<std::wstring> words;
    std::vector<int> wordAligns;
    for (int index = 0; index < divs.Count(); ++index) {
        if (divs.Item(index)->kind == kHtmlItemText && divs.Item(index)->text[0] != L' ') {
            words.push_back(divs.Item(index)->text);
            wordAligns.push_back(divs.Item(index)->align);
        }
    }
    EXPECT_EQ(words, (std::vector<std::wstring>{L"r", L"c", L"r2", L"x", L"y"}));
    EXPECT_EQ(wordAligns, (std::vector<int>{1, 2, 1, 2, 1}));
}

TEST(HtmlBlockBuilder, ListsPreformattedBlocksAndQuotes)
{
    Page bullets(L"<ul>hidden<li>a<ul><li>b</ul><li>c</ul>d");
    ASSERT_EQ(Kinds(bullets), L"BXXBXXBT");
    EXPECT_EQ(DumpBox(bullets.Item(1)), L"3 r0 c0 s1x1 p2 sp0 f0 w0 l-1 fl-1 id-1");
    EXPECT_EQ(DumpBox(bullets.Item(2)), L"3 r0 c1 s1x1 p2 sp0 f0 w0 l-1 fl-1 id-1");
    EXPECT_EQ(DumpBox(bullets.Item(5)), L"3 r1 c1 s1x1 p2 sp0 f0 w0 l-1 fl-1 id-1");
    EXPECT_EQ(Children(bullets.Item(1)), L" l ");
    EXPECT_STREQ(bullets.Item(1)->children[1]->faceName, L"Wingdings");
    EXPECT_EQ(bullets.Item(1)->children[1]->noWrap, 1);
    const CHtmlItem* first = bullets.Item(2);
    ASSERT_EQ(Kinds(first->children, first->childCount), L"TBXXB");
    EXPECT_EQ(Children(first->children[2]), L" m ");
    EXPECT_EQ(Children(first->children[3]), L"b");
    EXPECT_EQ(Children(bullets.Item(5)), L"c");
    EXPECT_EQ(bullets.document.listDepth, 0);

    Page numbers(L"<ol><li>a<li>b<ol><li>c<li>d</ol></ol>");
    ASSERT_EQ(Kinds(numbers), L"BXXBXXB");
    EXPECT_EQ(Children(numbers.Item(1)), L"   1.    ");
    EXPECT_STREQ(numbers.Item(1)->children[3]->faceName, L"Arial");
    const CHtmlItem* second = numbers.Item(5);
    ASSERT_EQ(Kinds(second->children, second->childCount), L"TBXXBXXB");
    EXPECT_EQ(Children(second->children[2]), L"   a.    ");
    EXPECT_EQ(Children(second->children[5]), L"   b.    ");

    EXPECT_EQ(Kinds(Page(L"<ul>no items</ul>x")), L"BT");

    Page pre(L"a<pre>x  y\r\n  z</pre>  b");
    ASSERT_EQ(Kinds(pre), L"TBXBT");
    EXPECT_EQ(DumpBox(pre.Item(2)), L"3 r0 c0 s1x1 p0 sp0 f0 w0 l-1 fl-1 id-1");
    EXPECT_EQ(Children(pre.Item(2)), L"x  y \n  z");
    EXPECT_EQ(Kinds(pre.Item(2)->children, pre.Item(2)->childCount), L"TTTTTBTTT");
    EXPECT_STREQ(pre.Item(2)->children[0]->faceName, L"Courier New");
    EXPECT_STREQ(pre.Item(4)->text, L"b");

    Page quote(L"x<blockquote>q <b>r</blockquote>y");
    ASSERT_EQ(Kinds(quote), L"TBXBT");
    EXPECT_EQ(DumpBox(quote.Item(2)), L"3 r0 c0 s1x1 p15 sp0 f0 w0 l-1 fl-1 id-1");
    EXPECT_EQ(Children(quote.Item(2)), L"q r");
    EXPECT_EQ(quote.Item(4)->bold, 0);
}
