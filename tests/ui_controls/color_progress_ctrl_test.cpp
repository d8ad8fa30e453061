// The self-painted progress bar: its own answers to the progress-bar messages on a live control, and its
// picture read back from a memory DC.
#include "color_progress_ctrl.h"

#include <gtest/gtest.h>

#include "test_surface.h"
#include "test_window.h"

#include <string>

namespace {

constexpr COLORREF kFill = RGB(0x00, 0x00, 0x90);
constexpr COLORREF kBackground = RGB(0xF2, 0xF2, 0xF2);
constexpr COLORREF kUntouched = RGB(0xFF, 0x00, 0xFF);

class CountingColorProgress : public CColorProgressCtrl
{
public:
    int paints = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        paints += message == WM_PAINT ? 1 : 0;
        return CColorProgressCtrl::WindowProc(message, wParam, lParam);
    }
};

// The bar draws with its parent's font: here one without smoothing, so that text pixels have exactly the
// text colours.
HFONT SharpFont()
{
    static const HFONT font =
        CreateFontW(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    return font;
}

class ColorProgressTest : public ::testing::Test
{
protected:
    void SetUp() override { parent.m_hFont = SharpFont(); }
    void TearDown() override { parent.m_hFont = NULL; }

    CTestWindow& parent = SharedTestWindow();
    CountingColorProgress bar;

    void Make(DWORD style, int width, int height)
    {
        ASSERT_TRUE(
            bar.Create(WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 10 + width, 10 + height), &parent, 100));
        bar.SendMessage(CCM_SETBKCOLOR, 0, kBackground);
    }
    void PaintInto(TestSurface& surface)
    {
        surface.Fill(kUntouched);
        bar.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    }
};

// The text's pixels as the system draws it centred in the bar's rectangle with the DC's own font.
std::vector<bool> ReferenceText(const wchar_t* text, int width, int height)
{
    TestSurface reference(width, height, RGB(255, 255, 255));
    SetBkMode(reference.dc(), TRANSPARENT);
    SetTextColor(reference.dc(), RGB(0, 0, 0));
    SelectObject(reference.dc(), SharpFont());
    RECT box = {0, 0, width, height};
    DrawTextW(reference.dc(), text, -1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    std::vector<bool> mask;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            mask.push_back(reference.Pixel(x, y) != RGB(255, 255, 255));
        }
    }
    return mask;
}

TEST_F(ColorProgressTest, AnswersTheProgressMessagesItselfWithPreviousValues)
{
    Make(0, 200, 20);
    // Its own step starts at 1 (the platform's at 10) and its position is not held to the range.
    EXPECT_EQ(bar.SendMessage(PBM_SETSTEP, 5), 1);
    EXPECT_EQ(bar.SendMessage(PBM_SETPOS, 150), 0);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 150);
    EXPECT_EQ(bar.SendMessage(PBM_STEPIT), 150);
    EXPECT_EQ(bar.SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(-20)), 155);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 135);

    struct RangeCase
    {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int lower;
        int upper;
    };
    const RangeCase ranges[] = {
        {"16-bit words", PBM_SETRANGE, 0, MAKELPARAM(10, 300), 10, 300},
        {"32-bit, negative lower", PBM_SETRANGE32, static_cast<WPARAM>(-5), 70000, -5, 70000},
    };
    for (const RangeCase& c : ranges) {
        SCOPED_TRACE(c.name);
        bar.SendMessage(c.message, c.wParam, c.lParam);
        PBRANGE range = {};
        EXPECT_EQ(bar.SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), c.lower);
        EXPECT_EQ(range.iLow, c.lower);
        EXPECT_EQ(range.iHigh, c.upper);
        EXPECT_EQ(bar.SendMessage(PBM_GETRANGE, FALSE, 0), c.upper);
    }

    for (const UINT message :
         {UINT{PBM_SETBARCOLOR}, UINT{CCM_SETBKCOLOR}, CColorProgressCtrl::kSetTextColourMessage}) {
        SCOPED_TRACE(message);
        const COLORREF before = static_cast<COLORREF>(bar.SendMessage(message, 0, RGB(1, 2, 3)));
        EXPECT_EQ(bar.SendMessage(message, 0, RGB(4, 5, 6)), static_cast<LRESULT>(RGB(1, 2, 3)));
        bar.SendMessage(message, 0, before);
    }

    CColorProgressCtrl windowless;
    EXPECT_EQ(windowless.SetPos(10), -1);
}

TEST_F(ColorProgressTest, GetTextCopiesAtMostOneLessThanTheBufferAndTerminates)
{
    Make(0, 200, 20);
    bar.SetWindowText(L"Saving 12 files");
    struct Case
    {
        const char* name;
        WPARAM count;
        LRESULT expected;
        std::wstring text;
    };
    const Case cases[] = {
        {"short buffer", 5, 4, L"Savi"},
        {"exactly the text and its terminator", 16, 15, L"Saving 12 files"},
        {"larger buffer", 40, 15, L"Saving 12 files"},
        {"one character of room", 1, 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t buffer[41];
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        EXPECT_EQ(bar.SendMessage(WM_GETTEXT, c.count, reinterpret_cast<LPARAM>(buffer)), c.expected);
        EXPECT_EQ(std::wstring(buffer), c.text);
        EXPECT_EQ(buffer[c.count], L'#');
    }
    wchar_t untouched = L'#';
    EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&untouched)), 0);
    EXPECT_EQ(untouched, L'#');
}

TEST_F(ColorProgressTest, FillsItsShareAndShowsThePercentageInInverseColours)
{
    Make(0, 200, 20);
    bar.SendMessage(PBM_SETRANGE32, 0, 200);
    struct Case
    {
        const char* name;
        int position;
        int filledWidth;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"a quarter: the text lies on the empty part", 50, 50, L"25%"},
        {"a half: the text straddles the end of the fill", 100, 100, L"50%"},
        {"past the upper end", 260, 200, L"130%"},
        {"below the lower end", -40, 0, L"-20%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(c.position));
        TestSurface surface(200, 20);
        PaintInto(surface);
        const std::vector<bool> text = ReferenceText(c.text, 200, 20);
        int wrongPixels = 0;
        int textOnFill = 0;
        int textOnEmpty = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 200; ++x) {
                const bool filled = x < c.filledWidth;
                const bool isText = text[static_cast<size_t>(y * 200 + x)];
                // Text over the fill takes the background colour and text over the rest the fill's.
                const COLORREF expected = filled != isText ? kFill : kBackground;
                wrongPixels += surface.Pixel(x, y) != expected ? 1 : 0;
                textOnFill += isText && filled ? 1 : 0;
                textOnEmpty += isText && !filled ? 1 : 0;
            }
        }
        EXPECT_EQ(wrongPixels, 0);
        EXPECT_GT(textOnFill + textOnEmpty, 0);
    }
}

TEST_F(ColorProgressTest, RepaintsOnlyWhenTheFilledWidthChanges)
{
    Make(0, 200, 20);
    bar.SendMessage(PBM_SETRANGE32, 0, 1000);
    bar.UpdateWindow();
    bar.paints = 0;
    bar.SendMessage(PBM_SETPOS, 50);
    EXPECT_EQ(bar.paints, 1);
    bar.SendMessage(PBM_SETPOS, 50);
    EXPECT_EQ(bar.paints, 1);
    // 51 of 1000 over 200 pixels is still 10 pixels.
    bar.SendMessage(PBM_SETPOS, 51);
    EXPECT_EQ(bar.paints, 1);
    bar.SendMessage(PBM_SETPOS, 60);
    EXPECT_EQ(bar.paints, 2);
}

TEST_F(ColorProgressTest, AnEmptyOrInvertedRangeDrawsNothingAndDoesNotFault)
{
    Make(0, 200, 20);
    struct Case
    {
        const char* name;
        int lower;
        int upper;
    };
    const Case cases[] = {
        {"equal bounds", 100, 100}, {"upper below lower", 200, 100}, {"zero to zero", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar.SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(c.lower), c.upper);
        bar.SendMessage(PBM_SETPOS, 150);
        bar.SendMessage(PBM_STEPIT);
        bar.RedrawWindow();
        EXPECT_FALSE(bar.GetUpdateRect(NULL));
        TestSurface surface(200, 20);
        PaintInto(surface);
        EXPECT_EQ(surface.Count(kUntouched), 200 * 20);
    }
}

TEST_F(ColorProgressTest, AVerticalBarFillsFromTheBottomWithoutText)
{
    Make(PBS_VERTICAL, 20, 200);
    bar.SendMessage(PBM_SETRANGE32, 0, 200);
    bar.SendMessage(PBM_SETPOS, 50);
    TestSurface surface(20, 200);
    PaintInto(surface);
    int wrongPixels = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 20; ++x) {
            wrongPixels += surface.Pixel(x, y) != (y >= 150 ? kFill : kBackground) ? 1 : 0;
        }
    }
    EXPECT_EQ(wrongPixels, 0);
}

} // namespace
