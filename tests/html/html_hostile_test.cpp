// Crafted pages end, bounded, without writing outside their buffers.
#include "html_document.h"
#include "html_image_loader.h"
#include "html_text_routines.h"
#include "recording_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

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

// Levels of the item tree below the array: its own items are level 1.
int TreeDepth(CHtmlItem** items, int count)
{
    int deepest = 0;
    for (int index = 0; index < count; ++index)
        deepest = std::max(deepest, 1 + TreeDepth(items[index]->children, items[index]->childCount));
    return deepest;
}

bool HoldsText(CHtmlItem** items, int count, const wchar_t* text)
{
    for (int index = 0; index < count; ++index)
        if ((items[index]->text && wcscmp(items[index]->text, text) == 0) ||
            HoldsText(items[index]->children, items[index]->childCount, text))
            return true;
    return false;
}

// A host that serves pictures by their URL, as a page's images are fetched.
class PictureHost : public RecordingHost
{
public:
    std::map<std::wstring, std::vector<std::uint8_t>> files;

    unsigned char* FetchResource(const wchar_t* url, int* size) override
    {
        const auto found = files.find(url);
        if (found == files.end())
            return nullptr;
        auto* data = new unsigned char[found->second.size()];
        std::memcpy(data, found->second.data(), found->second.size());
        *size = static_cast<int>(found->second.size());
        return data;
    }
};

void PutLe(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int width)
{
    for (int index = 0; index < width; ++index)
        bytes[at + static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(value >> (8 * index));
}

// An 8-bit run-length BMP of the given size whose pixel data is only the end-of-picture code: a few
// hundred bytes that a decoder turns into width x height pixels.
std::vector<std::uint8_t> RunLengthBmp(std::uint32_t width, std::uint32_t height)
{
    const std::uint32_t pixelsAt = 14 + 40 + 256 * 4;
    std::vector<std::uint8_t> bytes(pixelsAt + 2, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    PutLe(bytes, 10, pixelsAt, 4);
    PutLe(bytes, 14, 40, 4);
    PutLe(bytes, 18, width, 4);
    PutLe(bytes, 22, height, 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, 8, 2);
    PutLe(bytes, 30, 1, 4); // BI_RLE8
    PutLe(bytes, 34, 2, 4);
    bytes[pixelsAt + 1] = 1; // 00 01: the end of the picture
    return bytes;
}

} // namespace

// A page's picture reaches the system's decoder only when its header declares a size within the pixel
// limit; past it, or with a header cut short, the page shows the placeholder and nothing is decoded.
TEST(HtmlHostilePages, APicturePastThePixelLimitIsNeverDecodedAndShowsThePlaceholder)
{
    PictureHost host;
    host.files[L"small.bmp"] = RunLengthBmp(5, 3);
    host.files[L"past.bmp"] = RunLengthBmp(8193, 8193); // 64 Mi pixels and 16,385 more
    host.files[L"tall.bmp"] = RunLengthBmp(1, 30001);   // one side past its limit
    std::vector<std::uint8_t> cut = RunLengthBmp(5, 3);
    cut.resize(20);
    host.files[L"cut.bmp"] = cut;
    const struct
    {
        const wchar_t* url;
        int width;
        int height;
    } cases[] = {
        {L"small.bmp", 5, 3}, {L"past.bmp", 60, 40},    {L"tall.bmp", 60, 40},
        {L"cut.bmp", 60, 40}, {L"missing.bmp", 60, 40},
    };
    CHtmlImageLoader loader(&host);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        CHtmlImageJob* job = loader.GetJob(loader.AddJob(c.url, 0));
        ASSERT_NE(job, nullptr);
        ASSERT_EQ(loader.DecodeToBitmap(job, 1), 1);
        EXPECT_EQ(job->imageWidth, c.width);
        EXPECT_EQ(job->imageHeight, c.height);
    }
}

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

TEST(HtmlHostilePages, DeepNestingStopsAtTheLevelCap)
{
    struct Case
    {
        const wchar_t* piece;
        int times;
        int depth;
    };
    // Regions that make boxes reach the cap; div and p regions add no level to the tree. Pages of text
    // runs and images cost a GDI or lock call per item under Wine, so those rounds are fewer, and every
    // page stays below the page's item limit, so that its end is read.
    const Case cases[] = {
        {L"<table><tr><td>", 100000, kHtmlMaxParseLevel},
        {L"<ul><li>", 100000, kHtmlMaxParseLevel},
        {L"<ol><li>", 100000, kHtmlMaxParseLevel},
        {L"<blockquote>", 100000, kHtmlMaxParseLevel},
        {L"<pre>", 100000, kHtmlMaxParseLevel},
        {L"<div align=center>", kHtmlMaxPageItems / 2, 1},
        {L"<div align=right><div x=1><div align=center><div x=1>", 20000, 1},
        // Each round opens two regions without a box and one cell.
        {L"<p align=right><table><tr><td><div align=center>", 20000, (kHtmlMaxParseLevel + 2) / 3},
        {L"<img align=left src=a.gif><table><tr><th>", 20000, kHtmlMaxParseLevel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        RecordingHost host;
        CHtmlDocument document(&host, 0);
        std::wstring page = Repeat(c.piece, c.times) + L"end";
        auto start = std::chrono::steady_clock::now();
        document.Load(page.c_str(), L"Arial", 15, 0, L"http://h/");
        auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::wcout << c.times << L" x " << c.piece << L": " << elapsed.count() << L" ms, "
                   << document.itemTotal << L" items" << std::endl;
        EXPECT_EQ(TreeDepth(document.items, document.itemCount), c.depth);
        int level = 0;
        document.GetStats(nullptr, nullptr, nullptr, &level);
        EXPECT_LE(level, kHtmlMaxParseLevel);
        EXPECT_TRUE(HoldsText(document.items, document.itemCount, L"end"));
        EXPECT_EQ(host.progressOutOfRange, 0);
    }
}

TEST(HtmlHostilePages, HugeNumbersInAttributesAreClamped)
{
    RecordingHost host;
    CHtmlDocument document(&host, 0);
    document.Load(L"<input size=1000000000><textarea cols=2000000000 rows=-2000000000></textarea>"
                  L"<table width=100000000 cellpadding=99999999 cellspacing=-5 border=4000000000>"
                  L"<tr><td colspan=99999999 rowspan=-3 width=7000000000 height=99999>x</table>"
                  L"<img src=a.gif width=99999999999 height=-1x><img src=b.gif width=99999 border=99999999>"
                  L"<textarea cols=0 rows=2000000000>",
                  L"Arial", 15, 0, L"http://h/");
    ASSERT_EQ(document.itemCount, 8);
    SIZE zero = {}, space = {};
    MeasureText(L"MS Sans serif", 15, 0, 0, &zero, L"0", -1);
    MeasureText(L"Courier New", 15, 0, 0, &space, L" ", -1);
    // A thousand zeros measure close to a thousand times one.
    EXPECT_NEAR(document.items[0]->width, 1000 * zero.cx + 8, 1000);
    EXPECT_EQ(host.log.at(0).substr(0, 10), L"Edit 1000 ");
    EXPECT_EQ(document.items[1]->width, 1000 * space.cx + 4);
    EXPECT_EQ(document.items[1]->height, 3 * space.cy + 4);
    const CHtmlItem* cell = document.items[3];
    EXPECT_EQ(cell->tableWidth, 32767);
    EXPECT_EQ(cell->padding, 32767 + 1);
    EXPECT_EQ(cell->spacing, 0);
    EXPECT_EQ(cell->border, 32767);
    EXPECT_EQ(cell->colSpan, 1000);
    EXPECT_EQ(cell->rowSpan, 1);
    EXPECT_EQ(cell->cellWidth, 32767);
    EXPECT_EQ(cell->cellHeight, 32767);
    // A negative height reads as none: the first image is not shown.
    EXPECT_EQ(document.items[6]->kind, kHtmlItemImage);
    EXPECT_EQ(document.items[6]->width, 32767);
    EXPECT_EQ(document.items[6]->lineWidth, 32767);
    EXPECT_EQ(document.items[7]->width, 15 * space.cx + 4);
    EXPECT_EQ(document.items[7]->height, 1000 * space.cy + 4);
}
