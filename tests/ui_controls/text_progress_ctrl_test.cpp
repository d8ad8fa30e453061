// The progress bar with text, set up as the program's dialogs set it up, painted into a 32-bit DIB and
// read back; the running segment on a live platform control; and a screenshot of live bars.
#include "color_progress_ctrl.h"
#include "text_progress_ctrl.h"

#include <gtest/gtest.h>

#include "support/screenshot.h"
#include "test_surface.h"
#include "test_window.h"

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kBarBlue = RGB(0x1D, 0x75, 0xBD); // 0xBD751D
constexpr COLORREF kLightGrey = RGB(0xF2, 0xF2, 0xF2);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kUntouched = RGB(0xFF, 0x00, 0xFF);

struct TextCall
{
    int start;
    int end;
    std::wstring text;
};

// Records every clipped text output and can stand in for the platform's position.
class RecordingTextProgress : public CTextProgressCtrl
{
public:
    std::vector<TextCall> calls;
    std::optional<int> positionAnswer;
    int paints = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        paints += message == WM_PAINT ? 1 : 0;
        if (message == PBM_GETPOS && positionAnswer) {
            return *positionAnswer;
        }
        return CTextProgressCtrl::WindowProc(message, wParam, lParam);
    }

protected:
    void TextOutClipped(const BarPaintInfo& info, const CRect& rect, const CString& text,
                        CPoint origin) override
    {
        calls.push_back({rect.left, rect.right, std::wstring(text)});
        CTextProgressCtrl::TextOutClipped(info, rect, text, origin);
    }
};

class TextProgressTest : public ::testing::Test
{
protected:
    CTestWindow& parent = SharedTestWindow();
    RecordingTextProgress bar;
    CBrush barBrush;
    CFont font;

    // The set-up of the program's dialogs and panels; the font is drawn without smoothing so that text
    // pixels have exactly the text colours.
    TextProgressTest()
    {
        font.CreateFont(18, 0, 0, 0, 600, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
        barBrush.CreateSolidBrush(kBarBlue);
    }
    void Make(DWORD style, int width, int height, int lower = 0, int upper = 200)
    {
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 10 + width, 10 + height), &parent,
                               61457));
        bar.SetRange32(lower, upper);
        bar.SetPos(0);
        bar.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), FALSE);
        bar.m_pBarBrush = &barBrush;
        bar.SetText(L"%d%%", TPBS_PERCENT);
        bar.m_backgroundColour = kLightGrey;
        bar.m_barTextColour = kWhite;
        bar.m_backgroundTextColour = kBarBlue;
    }
    void PaintInto(TestSurface& surface)
    {
        bar.calls.clear();
        surface.Fill(kUntouched);
        bar.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    }
};

// Along the bar: the filled run [fillStart, fillEnd) is the bar colour or white text, everything else
// light grey or blue text. Returns the pixels that break the rule; counts the text pixels of each kind.
struct SplitCount
{
    int wrong = 0;
    int whiteText = 0;
    int blueText = 0;
};
SplitCount CheckSplit(const TestSurface& surface, bool vertical, bool reversed, int fillStart, int fillEnd)
{
    SplitCount count;
    const int length = vertical ? surface.height() : surface.width();
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            int along = vertical ? surface.height() - 1 - y : x;
            along = reversed ? length - 1 - along : along;
            const COLORREF pixel = surface.Pixel(x, y);
            if (along >= fillStart && along < fillEnd) {
                count.whiteText += pixel == kWhite ? 1 : 0;
                count.wrong += pixel != kWhite && pixel != kBarBlue ? 1 : 0;
            } else {
                count.blueText += pixel == kBarBlue ? 1 : 0;
                count.wrong += pixel != kLightGrey && pixel != kBarBlue ? 1 : 0;
            }
        }
    }
    return count;
}

TEST_F(TextProgressTest, FillsTheShareOfTheRangeFromItsStartingEdgeWithTheTextSplitAtTheFill)
{
    struct Case
    {
        const char* name;
        DWORD style;
        int width;
        int height;
        int position;
        int fillEnd;
        bool expectWhite;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"a quarter from the left", 0, 200, 20, 50, 50, false, L"25%"},
        {"a half, the text on both parts", 0, 200, 20, 100, 100, true, L"50%"},
        {"reversed: from the right", TPBS_REVERSED, 200, 20, 50, 50, false, L"25%"},
        {"vertical: from the bottom", PBS_VERTICAL, 60, 200, 50, 50, false, L"25%"},
        {"vertical reversed: from the top", PBS_VERTICAL | TPBS_REVERSED, 60, 200, 50, 50, false, L"25%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(c.style, c.width, c.height);
        bar.SetPos(c.position);
        TestSurface surface(c.width, c.height);
        PaintInto(surface);
        const SplitCount count =
            CheckSplit(surface, (c.style & PBS_VERTICAL) != 0, (c.style & TPBS_REVERSED) != 0, 0, c.fillEnd);
        EXPECT_EQ(count.wrong, 0);
        EXPECT_GT(count.blueText, 0);
        EXPECT_EQ(count.whiteText > 0, c.expectWhite);
        // Two outputs split exactly at the end of the fill.
        const int length = (c.style & PBS_VERTICAL) ? c.height : c.width;
        ASSERT_EQ(bar.calls.size(), 2u);
        EXPECT_EQ(bar.calls[0].start, 0);
        EXPECT_EQ(bar.calls[0].end, c.fillEnd);
        EXPECT_EQ(bar.calls[1].start, c.fillEnd);
        EXPECT_EQ(bar.calls[1].end, length);
        EXPECT_EQ(bar.calls[0].text, c.text);
        EXPECT_EQ(bar.calls[1].text, c.text);
        bar.DestroyWindow();
    }
}

TEST_F(TextProgressTest, PositionsOutsideTheRangeOrNoRoomForABarShowTheBackgroundAlone)
{
    struct Case
    {
        const char* name;
        int lower;
        int upper;
        int position;
        CRect border = CRect(0, 0, 0, 0);
    };
    const Case cases[] = {
        {"below the lower bound", 0, 200, -5},
        {"above the upper bound", 0, 200, 250},
        {"equal bounds", 100, 100, 100},
        {"equal bounds at zero", 0, 0, 0},
        {"a border wider than the bar", 0, 200, 100, CRect(120, 0, 120, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(0, 200, 20, c.lower, c.upper);
        bar.positionAnswer = c.position;
        bar.m_border = c.border;
        TestSurface surface(200, 20);
        PaintInto(surface);
        EXPECT_EQ(surface.Count(kLightGrey), 200 * 20);
        EXPECT_TRUE(bar.calls.empty());
        bar.RedrawWindow();
        bar.positionAnswer.reset();
        bar.m_border.SetRectEmpty();
        bar.DestroyWindow();
    }
}

TEST_F(TextProgressTest, TextOnTheBarNeedsAFillAsLongAsTheText)
{
    Make(TPBS_TEXT_ON_BAR, 200, 20);
    bar.SetPos(6); // 6 pixels: narrower than any "3%"
    TestSurface surface(200, 20);
    PaintInto(surface);
    EXPECT_TRUE(bar.calls.empty());
    EXPECT_EQ(CheckSplit(surface, false, false, 0, 6).wrong, 0);
    EXPECT_EQ(surface.Count(kBarBlue), 6 * 20);

    bar.SetPos(150);
    PaintInto(surface);
    ASSERT_EQ(bar.calls.size(), 1u);
    EXPECT_EQ(bar.calls[0].start, 0);
    EXPECT_EQ(bar.calls[0].end, 150);
    const SplitCount count = CheckSplit(surface, false, false, 0, 150);
    EXPECT_EQ(count.wrong, 0);
    EXPECT_GT(count.whiteText, 0);
    EXPECT_EQ(count.blueText, 0);
}

TEST_F(TextProgressTest, EqualTextColoursDrawTheTextOnceOverTheWholeBar)
{
    Make(0, 200, 20);
    bar.m_backgroundTextColour = kWhite;
    bar.SetPos(100);
    TestSurface surface(200, 20);
    PaintInto(surface);
    ASSERT_EQ(bar.calls.size(), 1u);
    EXPECT_EQ(bar.calls[0].start, 0);
    EXPECT_EQ(bar.calls[0].end, 200);
}

TEST_F(TextProgressTest, TheWindowTextIsAFormatGivenOneIntegerAndNothingElse)
{
    struct Case
    {
        const char* name;
        DWORD mode;
        const wchar_t* format;
        int position;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"the program's percentage", TPBS_PERCENT, L"%d%%", 50, L"25%"},
        {"percentage with no format", TPBS_PERCENT, L"", 50, L"25%"},
        {"position with no format", TPBS_POSITION, L"", 50, L"50"},
        {"a string conversion prints the number; the rest stands", TPBS_PERCENT, L"%s %d %n", 50,
         L"25 %d %n"},
        {"fixed text: a doubled percent sign", TPBS_TEXT_ONLY, L"%%", 50, L"%"},
        {"fixed text: an integer conversion shows 0", TPBS_TEXT_ONLY, L"%d files", 50, L"0 files"},
        {"a pointer-reading conversion is not given one", TPBS_POSITION, L"%s%s%s%s", 7, L"7%s%s%s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(0, 200, 20);
        bar.ModifyStyle(TPBS_TEXT_MASK, c.mode);
        bar.SetWindowText(c.format);
        bar.SetPos(c.position);
        TestSurface surface(200, 20);
        PaintInto(surface);
        ASSERT_FALSE(bar.calls.empty());
        EXPECT_EQ(bar.calls[0].text, c.expected);
        bar.DestroyWindow();
    }
}

TEST_F(TextProgressTest, SetTextWithNoTextOrNoModeClearsTheTextMode)
{
    Make(0, 200, 20);
    bar.SetText(L"%d of 200", TPBS_POSITION);
    EXPECT_EQ(bar.GetStyle() & TPBS_TEXT_MASK, static_cast<DWORD>(TPBS_POSITION));
    for (const auto& [text, mode] :
         {std::pair<LPCTSTR, DWORD>{L"", TPBS_PERCENT}, {L"%d%%", 0}, {NULL, TPBS_PERCENT}}) {
        bar.SetText(L"%d%%", TPBS_PERCENT);
        bar.SetText(text, mode);
        EXPECT_EQ(bar.GetStyle() & TPBS_TEXT_MASK, 0u);
        EXPECT_EQ(bar.GetWindowTextLength(), 0);
    }
    bar.SetPos(50);
    TestSurface surface(200, 20);
    PaintInto(surface);
    EXPECT_TRUE(bar.calls.empty());
}

TEST_F(TextProgressTest, GradientStopsSpreadAlongTheWholeBarOrTheFillAndOneStopDrawsNoBar)
{
    struct Case
    {
        const char* name;
        DWORD style;
        int position;
        std::vector<COLORREF> stops;
        int column;
        int expectedRed;
    };
    // Black to red: 255 steps, no more than the 200 pixels of the ramp.
    const std::vector<COLORREF> blackToRed = {RGB(0, 0, 0), RGB(255, 0, 0)};
    const Case cases[] = {
        {"whole length, full", 0, 200, blackToRed, 199, 253},
        {"whole length, half filled shows its share", 0, 100, blackToRed, 99, 126},
        {"stretched over the half that is filled", TPBS_STRETCH_GRADIENT, 100, blackToRed, 99, 252},
        {"first column", 0, 200, blackToRed, 0, 0},
        {"three stops: the middle one at the middle",
         0,
         200,
         {RGB(0, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0)},
         100,
         255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(c.style, 200, 20);
        bar.SetText(L"", 0);
        bar.m_pBarBrush = NULL;
        bar.m_colours.RemoveAll();
        for (const COLORREF stop : c.stops) {
            bar.m_colours.Add(stop);
        }
        bar.SetPos(c.position);
        TestSurface surface(200, 20);
        PaintInto(surface);
        EXPECT_EQ(surface.Pixel(c.column, 10), RGB(c.expectedRed, 0, 0));
        bar.DestroyWindow();
    }

    Make(0, 200, 20);
    bar.SetText(L"", 0);
    bar.m_pBarBrush = NULL;
    bar.m_colours.RemoveAll();
    bar.m_colours.Add(RGB(255, 0, 0));
    bar.SetPos(200);
    TestSurface surface(200, 20);
    PaintInto(surface);
    EXPECT_EQ(surface.Count(kLightGrey), 200 * 20);
}

TEST_F(TextProgressTest, ColourMessagesAnswerDefaultAndWaitForTheNextPaint)
{
    Make(0, 200, 20);
    bar.SetText(L"", 0);
    bar.m_pBarBrush = NULL;
    bar.SetPos(100);
    bar.UpdateWindow();
    EXPECT_EQ(bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(0, 128, 0)), static_cast<LRESULT>(CLR_DEFAULT));
    EXPECT_EQ(bar.SendMessage(PBM_SETBKCOLOR, 0, RGB(0, 0, 128)), static_cast<LRESULT>(CLR_DEFAULT));
    EXPECT_FALSE(bar.GetUpdateRect(NULL));
    TestSurface surface(200, 20);
    PaintInto(surface);
    // wParam 0: one colour along the bar.
    EXPECT_EQ(surface.Count(RGB(0, 128, 0)), 100 * 20);
    EXPECT_EQ(surface.Count(RGB(0, 0, 128)), 100 * 20);
    bar.SendMessage(PBM_SETBARCOLOR, RGB(0, 0, 255), RGB(255, 0, 0));
    PaintInto(surface);
    EXPECT_EQ(surface.Pixel(0, 10), RGB(255, 0, 0));
    EXPECT_NE(surface.Pixel(99, 10), RGB(255, 0, 0));
}

TEST_F(TextProgressTest, TheRunningSegmentTravelsPastTheEndAndComesBackReversed)
{
    Make(TPBS_SEGMENT, 200, 20, 0, 100);
    bar.SetText(L"", 0);
    bar.SetStep(10);
    bar.SetPos(0);
    EXPECT_EQ(bar.m_step, 10);
    for (int i = 0; i < 10; ++i) {
        bar.StepIt();
    }
    EXPECT_EQ(bar.GetPos(), 100);
    EXPECT_EQ(bar.m_segmentStart, 60);
    for (const int start : {70, 80, 90, 100}) {
        SCOPED_TRACE(start);
        bar.UpdateWindow();
        const int paintsBefore = bar.paints;
        const int previous = bar.StepIt();
        bar.UpdateWindow();
        EXPECT_EQ(previous, 100);
        EXPECT_EQ(bar.m_segmentStart, start);
        EXPECT_EQ(bar.GetPos(), 100);
        // The platform's position stood still, so the control asked for the repaint itself.
        EXPECT_GT(bar.paints, paintsBefore);
        EXPECT_FALSE(bar.GetStyle() & TPBS_REVERSED);
    }
    bar.StepIt();
    EXPECT_EQ(bar.GetPos(), 10);
    EXPECT_TRUE(bar.GetStyle() & TPBS_REVERSED);
    EXPECT_EQ(bar.m_segmentStart, 0);

    // Painted: the segment from its start to the head, from the right now.
    bar.SetPos(50);
    EXPECT_EQ(bar.m_segmentStart, 10);
    TestSurface surface(200, 20);
    PaintInto(surface);
    EXPECT_EQ(CheckSplit(surface, false, true, 20, 100).wrong, 0);
    EXPECT_EQ(surface.Count(kBarBlue), 80 * 20);
}

TEST(TextProgressScreenshot, LiveBarsOnTheDisplay)
{
    CTestWindow window(460, 200, L"Progress bars");
    CFont font;
    font.CreateFont(18, 0, 0, 0, 600, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    CBrush brush;
    brush.CreateSolidBrush(kBarBlue);
    CTextProgressCtrl bars[3];
    const int positions[3] = {42, 77, 100};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(
            bars[i].Create(WS_CHILD | WS_VISIBLE, CRect(20, 20 + i * 36, 420, 44 + i * 36), &window, 61457));
        bars[i].SetRange(0, 100);
        bars[i].SetPos(0);
        bars[i].SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), FALSE);
        bars[i].m_pBarBrush = &brush;
        bars[i].SetText(L"%d%%", TPBS_PERCENT);
        bars[i].m_backgroundColour = kLightGrey;
        bars[i].m_barTextColour = kWhite;
        bars[i].m_backgroundTextColour = kBarBlue;
        bars[i].SetPos(positions[i]);
    }
    CColorProgressCtrl saving;
    ASSERT_TRUE(saving.Create(WS_CHILD | WS_VISIBLE, CRect(20, 128, 420, 148), &window, 1074));
    saving.SetRange32(0, 200);
    saving.SetPos(110);
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(window.GetSafeHwnd(), L"progress_bars"));
}

} // namespace
