// The table fixtures laid out by the engine and by headless Chromium at the same width: every solid
// bgcolor covers the same box within 3 pixels, except where the engine's own rules differ (stated below).
#include "laid_out_page.h"
#include "support/screenshot.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

// Chromium's window for the fixtures (html_chromium_oracle.py is run with the same size).
constexpr int kViewWidth = 600;
constexpr int kViewHeight = 400;
constexpr int kTolerance = 3;

std::string ReadHostFile(const std::string& hostPath)
{
    std::ifstream file(test_support::RunningPlatformPath(hostPath), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The colour boxes per fixture, as Chromium painted them.
std::map<std::string, std::map<COLORREF, RECT>> ReadOracle()
{
    std::map<std::string, std::map<COLORREF, RECT>> oracle;
    std::istringstream lines(ReadHostFile(HTML_CHROMIUM_BOXES));
    std::string fixture, colour;
    RECT box;
    while (lines >> fixture >> colour >> box.left >> box.top >> box.right >> box.bottom) {
        unsigned long value = std::stoul(colour, nullptr, 16);
        oracle[fixture][RGB((value >> 16) & 255, (value >> 8) & 255, value & 255)] = box;
    }
    return oracle;
}

// The fixture drawn by the engine into a canvas of Chromium's size. The engine takes 2 pixels off the
// right edge it is given: it gets 2 more, so that both lay out in the same width.
void DrawFixture(const std::string& name, DibCanvas& canvas, LaidOutPage*& pageOut)
{
    std::wstring text = Widen(ReadHostFile(std::string(HTML_LAYOUT_FIXTURES) + "/" + name + ".html"));
    pageOut = new LaidOutPage(text.c_str());
    RECT area = {0, 0, kViewWidth + 2, 0};
    pageOut->document.Layout(&area);
    RECT clip = canvas.Area();
    pageOut->document.Draw(canvas.dc, &clip, 0, 0);
}

struct Difference
{
    const char* fixture;
    COLORREF colour;
    // Engine minus Chromium, per edge.
    int left, top, right, bottom;
    const char* why;
};

// Where the engine's rules and Chromium's differ. A cell's height attribute is the height of its content
// for the engine but of the whole cell, padding included, for Chromium; a row is then 2 x padding
// taller, and every row below it and the table's outline move down by as much.
const Difference kDifferences[] = {
    {"fixed_cells", RGB(0, 255, 0), 0, 0, 0, 6, "height 40 + 2 x padding 3"},
    {"fixed_cells", RGB(0, 0, 255), 0, 0, 0, 6, "height 40 + 2 x padding 3"},
    {"fixed_cells", RGB(255, 255, 0), 0, 6, 0, 12, "below a taller row, and 25 + 6"},
    {"fixed_cells", RGB(0, 255, 255), 0, 6, 0, 12, "below a taller row, and 25 + 6"},
    {"fixed_cells", RGB(255, 0, 0), 0, 0, 0, 12, "two taller rows"},
    {"bordered", RGB(0, 255, 0), 0, 0, 0, 10, "height 30 + 2 x padding 5 (4 + 1 for the border)"},
    {"bordered", RGB(0, 0, 255), 0, 0, 0, 10, "height 30 + 2 x padding 5"},
    {"bordered", RGB(255, 0, 255), 0, 0, 0, 10, "height 30 + 2 x padding 5"},
    {"bordered", RGB(255, 0, 0), 0, 0, 0, 10, "a taller row"},
    // The spanning cell's 60 pixels: Chromium shares them as rows of 22 and 34, the engine's rows are the
    // contents 20 and 30 plus one pixel each for the spanning cell, each with 2 x padding 2 around.
    {"spans", RGB(0, 255, 0), 0, 0, 0, 3, "a row of 21 + 4 against 22"},
    {"spans", RGB(0, 0, 255), 0, 0, 0, 3, "a row of 21 + 4 against 22"},
    {"spans", RGB(255, 255, 0), 0, 3, 0, 4, "below that row, and 31 + 4 against 34"},
    {"spans", RGB(255, 0, 255), 0, 0, 0, 4, "spans both rows"},
    {"spans", RGB(255, 0, 0), 0, 0, 0, 4, "both rows"},
    {"percent", RGB(0, 255, 0), 0, 0, 0, 4, "height 30 + 2 x padding 2"},
    {"percent", RGB(0, 0, 255), 0, 0, 0, 4, "height 30 + 2 x padding 2"},
    {"percent", RGB(255, 0, 0), 0, 0, 0, 4, "a taller row"},
    {"nested", RGB(255, 255, 0), 0, 0, 0, 4, "height 20 + 2 x padding 2"},
    {"nested", RGB(255, 0, 255), 0, 0, 0, 4, "height 20 + 2 x padding 2"},
    {"nested", RGB(0, 0, 255), 0, 0, 0, 4, "a taller inner row"},
    {"nested", RGB(0, 255, 0), 0, 0, 0, 4, "holds the taller inner table"},
    {"nested", RGB(0, 255, 255), 0, 0, 0, 4, "shares the taller row"},
    {"nested", RGB(255, 0, 0), 0, 0, 0, 4, "a taller row"},
};

TEST(HtmlChromiumLayout, TableFixturesCoverChromiumsBoxes)
{
    const auto oracle = ReadOracle();
    ASSERT_FALSE(oracle.empty()) << "no boxes in " << HTML_CHROMIUM_BOXES
                                 << ": install chromium (tools/setup), delete the file and build again";
    for (const char* fixture : {"fixed_cells", "bordered", "spans", "percent", "nested"}) {
        SCOPED_TRACE(fixture);
        auto boxes = oracle.find(fixture);
        ASSERT_NE(boxes, oracle.end());
        DibCanvas canvas(kViewWidth, kViewHeight);
        LaidOutPage* page = nullptr;
        DrawFixture(fixture, canvas, page);
        for (const auto& [colour, chromium] : boxes->second) {
            SCOPED_TRACE(testing::Message() << "colour " << std::hex << colour);
            Difference stated = {fixture, colour, 0, 0, 0, 0, "none"};
            for (const Difference& difference : kDifferences)
                if (difference.fixture == std::string(fixture) && difference.colour == colour)
                    stated = difference;
            SCOPED_TRACE(stated.why);
            RECT engine = canvas.BoundsOf(colour);
            EXPECT_NEAR(engine.left - chromium.left, stated.left, kTolerance);
            EXPECT_NEAR(engine.top - chromium.top, stated.top, kTolerance);
            EXPECT_NEAR(engine.right - chromium.right, stated.right, kTolerance);
            EXPECT_NEAR(engine.bottom - chromium.bottom, stated.bottom, kTolerance);
        }
        delete page;
    }
}

TEST(HtmlChromiumLayout, TheMixedPageBesideChromiums)
{
    DibCanvas canvas(kViewWidth, kViewHeight);
    LaidOutPage* page = nullptr;
    DrawFixture("mixed", canvas, page);
    CHtmlDocument& document = page->document;
    // A word selected and the link under the pointer, as a user would see them.
    CHtmlItem* selected = FindText(document, L"plain");
    ASSERT_NE(selected, nullptr);
    RECT selection = {selected->x, selected->y, selected->x + 1, selected->y + 1};
    document.SetSelection(&selection);
    CHtmlItem* link = FindText(document, L"details");
    ASSERT_NE(link, nullptr);
    document.OnMouseMove(link->x + 1, link->y + 1);
    canvas.Fill(RGB(255, 255, 255));
    RECT clip = canvas.Area();
    document.Draw(canvas.dc, &clip, 0, 0);
    EXPECT_EQ(canvas.At(selected->x + 1, selected->y + 1), RGB(0, 0, 128));
    EXPECT_NE(canvas.BoundsOf(RGB(255, 0, 0)).right, -1);
    // The centred heading stands in the middle of the page.
    CHtmlItem* heading = FindText(document, L"Recovered");
    ASSERT_NE(heading, nullptr);
    CHtmlItem* headingEnd = FindText(document, L"files");
    int middle = (heading->x + headingEnd->x + headingEnd->width) / 2;
    EXPECT_NEAR(middle, kViewWidth / 2, 4);
    EXPECT_TRUE(test_support::WriteDcScreenshot(canvas.dc, canvas.Area(), L"html_mixed_engine"));
    delete page;
}

} // namespace
