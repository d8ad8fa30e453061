// A real page that Debian ships, against the words Python's own HTML parser finds in it.
#include "html_document.h"
#include "laid_out_page.h"
#include "recording_host.h"
#include "support/test_paths.h"
#include "support/screenshot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::wstring FromUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

// A host path as the program under Wine opens it.
std::wstring WinePath(const char* hostPath)
{
    return FromUtf8(test_support::RunningPlatformPath(hostPath));
}

// The runs as the page shows them, split where a space run or a break stands between two words.
std::vector<std::wstring> PageWords(const CHtmlDocument& document)
{
    std::wstring text = ItemsAsText(document.items, document.itemCount);
    std::vector<std::wstring> words;
    size_t start = 0;
    while ((start = text.find_first_not_of(L" \t\r\n", start)) != std::wstring::npos) {
        size_t end = text.find_first_of(L" \t\r\n", start);
        words.push_back(text.substr(start, end - start));
        start = end;
    }
    return words;
}

} // namespace

TEST(HtmlRealPage, TextRunsHoldTheWordsOfTheDebianPage)
{
    std::string page = ReadBytes(WinePath(HTML_REAL_PAGE));
    std::string oracle = ReadBytes(WinePath(HTML_REAL_PAGE_WORDS));
    ASSERT_FALSE(page.empty()) << "cannot read " << HTML_REAL_PAGE;
    ASSERT_FALSE(oracle.empty()) << "cannot read " << HTML_REAL_PAGE_WORDS;

    std::vector<std::wstring> expected;
    std::wstring oracleText = FromUtf8(oracle);
    for (size_t start = 0; start < oracleText.size();) {
        size_t end = oracleText.find(L'\n', start);
        expected.push_back(oracleText.substr(start, end - start));
        start = end == std::wstring::npos ? oracleText.size() : end + 1;
    }

    // The engine receives pages byte for byte and mends UTF-8 pairs itself.
    std::wstring text;
    for (char byte : page)
        text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    RecordingHost host;
    CHtmlDocument document(&host, 0);
    document.Load(text.c_str(), L"Arial", 15, 0, (L"file://" + WinePath(HTML_REAL_PAGE)).c_str());

    std::vector<std::wstring> words = PageWords(document);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(host.log.at(0), L"SetTitle Users and Groups in the Debian System");

    // Where no white space separates two words in this generated page, the engine runs them together in
    // one place a browser would not: "</DT><DT>" (the engine knows no definition lists and drops their
    // tags: the table of contents). Each such join is listed here. Paragraphs with attributes open regions
    // of their own, so "</P><P CLASS=...>" separates the copyright lines.
    const std::vector<std::wstring> knownJoins = {L"Contents1.", L"Introduction2."};
    std::vector<std::wstring> joins;
    size_t ours = 0, theirs = 0;
    while (ours < words.size() && theirs < expected.size()) {
        if (words[ours] == expected[theirs]) {
            ++ours;
            ++theirs;
            continue;
        }
        std::wstring joined = expected[theirs];
        size_t next = theirs + 1;
        while (next < expected.size() && joined.size() < words[ours].size())
            joined += expected[next++];
        if (joined != words[ours])
            break;
        joins.push_back(words[ours]);
        ++ours;
        theirs = next;
    }
    std::string context;
    for (size_t index = ours; index < ours + 5 && index < words.size(); ++index)
        context += " [" + std::string(words[index].begin(), words[index].end()) + "]";
    EXPECT_EQ(ours, words.size()) << "first difference at word " << ours << ":" << context;
    EXPECT_EQ(theirs, expected.size());
    EXPECT_EQ(joins, knownJoins);
}

namespace {

// The boxes of the array and of the boxes in it, in document order.
void CollectCells(CHtmlItem** items, int count, std::vector<const CHtmlItem*>& cells)
{
    for (int index = 0; index < count; ++index)
        if (items[index]->kind == kHtmlItemBox)
            cells.push_back(items[index]);
}

} // namespace

TEST(HtmlGeneratedPage, OneBoxPerCellInRowAndColumnOrder)
{
    std::string page = ReadBytes(WinePath(HTML_TABLE_PAGE));
    std::wstring cellsText = FromUtf8(ReadBytes(WinePath(HTML_TABLE_CELLS)));
    ASSERT_FALSE(page.empty()) << "cannot read " << HTML_TABLE_PAGE;
    struct Cell
    {
        int row, column;
        std::wstring text;
    };
    std::vector<Cell> expected;
    for (size_t start = 0; start < cellsText.size();) {
        size_t end = cellsText.find(L'\n', start);
        std::wstring line = cellsText.substr(start, end - start);
        size_t tab = line.find(L'\t'), secondTab = line.find(L'\t', tab + 1);
        expected.push_back(
            {std::stoi(line.substr(0, tab)), std::stoi(line.substr(tab + 1)), line.substr(secondTab + 1)});
        start = end == std::wstring::npos ? cellsText.size() : end + 1;
    }
    ASSERT_GT(expected.size(), 1000u);

    std::wstring text;
    for (char byte : page)
        text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    RecordingHost host;
    CHtmlDocument document(&host, 0);
    document.Load(text.c_str(), L"Arial", 15, 0, L"file://Z:\\page.html");

    std::vector<const CHtmlItem*> cells;
    CollectCells(document.items, document.itemCount, cells);
    ASSERT_EQ(cells.size(), expected.size());
    int wrong = 0;
    for (size_t index = 0; index < cells.size() && wrong < 5; ++index) {
        const Cell& cell = expected[index];
        std::wstring shown = ItemsAsText(cells[index]->children, cells[index]->childCount);
        if (cells[index]->row != cell.row || cells[index]->column != cell.column || shown != cell.text) {
            ++wrong;
            ADD_FAILURE() << "cell " << index << ": row " << cells[index]->row << " column "
                          << cells[index]->column << " text \"" << std::string(shown.begin(), shown.end())
                          << "\"";
        }
    }
    EXPECT_EQ(cells.back()->row, 199);
}

TEST(HtmlRealPage, TheDebianPageLaysOutInReadingOrderWithinItsExtent)
{
    std::string page = ReadBytes(WinePath(HTML_REAL_PAGE));
    ASSERT_FALSE(page.empty()) << "cannot read " << HTML_REAL_PAGE;
    std::wstring text;
    for (char byte : page)
        text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    CHtmlDocument document(nullptr, 0);
    document.Load(text.c_str(), L"Arial", 15, 0, (L"file://" + WinePath(HTML_REAL_PAGE)).c_str());
    RECT area = {0, 0, 802, 0};
    document.Layout(&area);
    ASSERT_GT(area.bottom, 1000);
    int lastBottom = 0;
    for (int index = 0; index < document.itemCount; ++index) {
        const CHtmlItem* item = document.items[index];
        if (item->kind != kHtmlItemText || wcscmp(item->text, L" ") == 0)
            continue;
        SCOPED_TRACE(testing::Message() << index << " " << item->text);
        EXPECT_GE(item->x, 0);
        EXPECT_LE(item->x + item->width, area.right);
        EXPECT_LE(item->y + item->height, area.bottom);
        // Runs of one line stand on its bottom; a later run never stands on an earlier line.
        EXPECT_GE(item->y + item->height, lastBottom);
        lastBottom = item->y + item->height;
    }
    DibCanvas canvas(800, 600);
    RECT clip = canvas.Area();
    document.Draw(canvas.dc, &clip, 0, 0);
    EXPECT_TRUE(test_support::WriteDcScreenshot(canvas.dc, clip, L"html_real_page_engine"));
}
