// The HTML drawer measuring and drawing on a 32-bit memory DC. Wine's fonts differ from Windows' ones, so
// nothing here pins a text width: texts are compared with each other, and colours are counted.
#include "html_drawer.h"
#include "html_markup_helpers.h"
#include "test_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SIZE Measure(CHtmlDrawer& drawer, HDC dc, const std::wstring& text)
{
    SIZE size = {-1, -1};
    drawer.Measure(dc, text.c_str(), &size);
    return size;
}

// Measures, then draws into the whole surface.
SIZE MeasureAndDraw(CHtmlDrawer& drawer, TestSurface& surface, const std::wstring& text)
{
    const SIZE size = Measure(drawer, surface.dc(), text);
    drawer.Draw(surface.dc(), {0, 0, surface.width(), surface.height()});
    return size;
}

// The height of one line of body text, from a measured single letter.
int LineHeight(CHtmlDrawer& drawer, HDC dc)
{
    return Measure(drawer, dc, L"x").cy - 1;
}

// Receives the drawer's notifications as a real window would.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &MessageRecorder::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"HtmlDrawerTestRecorder";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MessageRecorder() { DestroyWindow(m_window); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND window() const { return m_window; }
    std::vector<long long> hovers;
    std::vector<std::wstring> links;

    static constexpr UINT kHover = WM_APP + 100;
    static constexpr UINT kLink = WM_APP + 101;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<MessageRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == kHover) {
            self->hovers.push_back(static_cast<long long>(static_cast<INT_PTR>(wParam)));
            return 0;
        }
        if (self && message == kLink) {
            self->links.emplace_back(reinterpret_cast<const wchar_t*>(wParam));
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};

} // namespace

TEST(HtmlDrawerMeasure, EmptyTextsAndTheOneUnitMinimum)
{
    TestSurface surface(10, 10);
    CHtmlDrawer drawer;
    const SIZE empty = Measure(drawer, surface.dc(), L"");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, 0);
    const SIZE none = Measure(drawer, surface.dc(), L"<b></b>");
    EXPECT_EQ(none.cx, 1);
    EXPECT_EQ(none.cy, 1);
    drawer.Draw(surface.dc(), {0, 0, 10, 10});
    EXPECT_EQ(surface.Count(RGB(255, 255, 255)), 100);
    const SIZE space = Measure(drawer, surface.dc(), L" ");
    EXPECT_GE(space.cx, 1);
    EXPECT_GE(space.cy, 1);
}

TEST(HtmlDrawerMeasure, LinesWrapOnlyWithAMaximumWidth)
{
    TestSurface surface(10, 10);
    CHtmlDrawer drawer;
    const int line = LineHeight(drawer, surface.dc());
    std::wstring longText;
    for (int i = 0; i < 40; ++i) {
        longText += L"word ";
    }
    const SIZE unwrapped = Measure(drawer, surface.dc(), longText);
    EXPECT_EQ(unwrapped.cy, line + 1);
    EXPECT_GT(unwrapped.cx, 200);

    drawer.SetMaxWidth(150);
    const SIZE wrapped = Measure(drawer, surface.dc(), longText);
    EXPECT_GT(wrapped.cy, 3 * line);
    EXPECT_LE(wrapped.cx, 151);
    // A word longer than the width is cut by characters on an empty line.
    const SIZE cut = Measure(drawer, surface.dc(), std::wstring(300, L'W'));
    EXPECT_GT(cut.cy, 3 * line);
    EXPECT_LE(cut.cx, 151);
}

TEST(HtmlDrawerMeasure, JustifiedLinesSpreadOnlyWhenWrapped)
{
    // The rightmost dark column of each text line band.
    auto rightEdges = [](const TestSurface& surface, int line, int lines) {
        std::vector<int> edges(lines, -1);
        for (int y = 0; y < lines * line; ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                const COLORREF c = surface.Pixel(x, y);
                if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) {
                    edges[y / line] = std::max(edges[y / line], x);
                }
            }
        }
        return edges;
    };
    const std::wstring words = L"aa bb cc dd ee ff gg hh ii jj kk ll mm nn oo pp qq rr ss tt<br>aa bb";
    CHtmlDrawer drawer;
    drawer.SetMaxWidth(150);
    TestSurface left(150, 200);
    const SIZE size = MeasureAndDraw(drawer, left, words);
    TestSurface justified(150, 200);
    MeasureAndDraw(drawer, justified, L"<justify>" + words + L"</justify>");
    const int line = LineHeight(drawer, left.dc());
    const int lines = (size.cy - 1) / line;
    ASSERT_GE(lines, 3);
    const std::vector<int> plainEdges = rightEdges(left, line, lines);
    const std::vector<int> justifiedEdges = rightEdges(justified, line, lines);
    // The lines that end at a break or at the end of the text stay left-aligned.
    EXPECT_EQ(justifiedEdges[lines - 2], plainEdges[lines - 2]);
    EXPECT_EQ(justifiedEdges[lines - 1], plainEdges[lines - 1]);
    EXPECT_LT(justifiedEdges[0], 150);

    // Wrapped lines reach further right. The device context spreads the free width over the font's
    // break character; Wine's stand-in for Verdana reports "!" as that character, so there is nothing
    // to spread over there.
    TEXTMETRICW metrics = {};
    HFONT font = CreateFontW(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
    HGDIOBJ old = SelectObject(left.dc(), font);
    GetTextMetricsW(left.dc(), &metrics);
    SelectObject(left.dc(), old);
    DeleteObject(font);
    if (metrics.tmBreakChar != L' ') {
        GTEST_SKIP() << "the font's break character is " << static_cast<int>(metrics.tmBreakChar)
                     << ", not a space";
    }
    EXPECT_GT(justifiedEdges[0], plainEdges[0]);
}

TEST(HtmlDrawerText, TagsThatAreNotKnownAreDropped)
{
    TestSurface surface(10, 10);
    CHtmlDrawer drawer;
    const SIZE plain = Measure(drawer, surface.dc(), L"abcdef");
    const wchar_t* texts[] = {L"abc<xyz attr=1>def", L"abc<B>def</B>", L"abc<TABLE>def",
                              L"<Font size=7>abcdef", L"abc</nothing>def"};
    for (size_t i = 0; i < sizeof texts / sizeof texts[0]; ++i) {
        SCOPED_TRACE(i);
        const SIZE size = Measure(drawer, surface.dc(), texts[i]);
        EXPECT_EQ(size.cx, plain.cx);
        EXPECT_EQ(size.cy, plain.cy);
    }
    // An escaped less-than sign is text: "<<b>" shows "<b>" exactly as "&lt;b&gt;" does.
    EXPECT_EQ(Measure(drawer, surface.dc(), L"<<b>x").cx, Measure(drawer, surface.dc(), L"&lt;b&gt;x").cx);
    EXPECT_EQ(Measure(drawer, surface.dc(), L"&amp;lt;").cx, Measure(drawer, surface.dc(), L"<<").cx);
}

TEST(HtmlDrawerText, ColoursFollowTheStyleStack)
{
    struct Case
    {
        const char* name;
        const wchar_t* text;
        bool red;
        bool blue;
        bool dark;
    };
    const Case cases[] = {
        {"font colour", L"<font color=#ff0000>WWW</font>", true, false, false},
        {"closed font returns to black", L"<font color=#ff0000>WW</font>WW", true, false, true},
        {"a mismatched close is ignored", L"<font color=#ff0000><b>WW</font>WW</b>", true, false, false},
        {"the matching close then restores", L"<font color=#ff0000><b>WW</font>WW</b></font>WW", true, false,
         true},
        {"em closes i", L"<font color=#ff0000><i>WW</em>WW</font>WW", true, false, true},
        {"upper-case tags are not tags", L"<FONT color=#0000ff>WW", false, false, true},
        {"font colour attributes are not lowered", L"<font color=Blue>WW", false, false, true},
        {"named colours", L"<font color=blue>WW", false, true, false},
        {"the default style sheet: h2", L"<h2>WW</h2>", true, false, false},
        {"the default style sheet: links", L"<a href=\"x\">WW</a>", false, true, false},
        {"span classes", L"<span class=cpp-comment>WW</span>", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSurface surface(300, 40);
        CHtmlDrawer drawer;
        MeasureAndDraw(drawer, surface, c.text);
        EXPECT_EQ(surface.CountDominant(0) > 0, c.red);
        EXPECT_EQ(surface.CountDominant(2) > 0, c.blue);
        EXPECT_EQ(surface.CountDark() > 0, c.dark);
    }

    // Disabled, every colour is the disabled one.
    TestSurface surface(300, 40);
    CHtmlDrawer drawer;
    drawer.SetDisabledColor(RGB(0, 0, 255));
    drawer.SetEnabled(FALSE);
    MeasureAndDraw(drawer, surface, L"<font color=#ff0000>WW</font><h2>WW</h2>");
    EXPECT_EQ(surface.CountDominant(0), 0);
    EXPECT_GT(surface.CountDominant(2), 0);
}

TEST(HtmlDrawerText, BreaksTabsAndTheConvertFlag)
{
    TestSurface surface(10, 10);
    CHtmlDrawer drawer;
    const int line = LineHeight(drawer, surface.dc());
    struct Case
    {
        const char* name;
        const wchar_t* text;
        int lines;
    };
    const Case heights[] = {
        {"one line", L"x", 1},
        {"br", L"x<br>x", 2},
        {"br=3 advances three lines", L"x<br=3>x", 4},
        {"br 3 loses its digit", L"x<br 3>x", 2},
        {"closing br breaks too", L"x</br>x", 2},
        {"line feed", L"x\nx", 2},
        {"empty lines take the font's height", L"x\n\n\nx", 4},
        {"carriage returns are dropped", L"x\r\nx", 2},
    };
    for (const Case& c : heights) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Measure(drawer, surface.dc(), c.text).cy, c.lines * line + 1);
    }

    struct Width
    {
        const char* name;
        const wchar_t* text;
        int width;
    };
    const Width tabs[] = {
        {"a tab at the left edge moves to the first stop", L"<t>", 32},
        {"t=2 moves two stops", L"<t=2>", 64},
        {"a tab character", L"\t", 32},
        {"a short run then a tab: the next stop", L"ab<t>", 32},
        {"two tabs", L"ab\t\t", 64},
        {"t 2 loses its digit", L"<t 2>", 32},
    };
    for (const Width& c : tabs) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Measure(drawer, surface.dc(), c.text).cx, c.width + 1);
    }

    drawer.SetConvertBreaks(FALSE);
    EXPECT_EQ(Measure(drawer, surface.dc(), L"x\nx").cy, line + 1);
    EXPECT_EQ(Measure(drawer, surface.dc(), L"ab\ncd\tef").cx, Measure(drawer, surface.dc(), L"abcdef").cx);
    EXPECT_EQ(Measure(drawer, surface.dc(), L"x<br>x").cy, 2 * line + 1);
}

TEST(HtmlDrawerLayout, RuleOfHalfTheWidth)
{
    TestSurface surface(200, 40);
    CHtmlDrawer drawer;
    const SIZE size = MeasureAndDraw(drawer, surface, L"<hr width=50% color=#0000ff size=4>");
    // In the measuring a percentage rule counts as one unit; its line is the thickness + 8 high.
    EXPECT_EQ(size.cx, 2);
    EXPECT_EQ(size.cy, 12 + 1);
    const COLORREF blue = RGB(0, 0, 255);
    EXPECT_EQ(surface.Count(blue), 100 * 4);
    for (int y = 0; y < 40; ++y) {
        if (surface.Pixel(0, y) == blue) {
            EXPECT_EQ(surface.Pixel(99, y), blue);
            EXPECT_NE(surface.Pixel(100, y), blue);
        }
    }
    // Centred, the line is the rule's unit plus its 100 columns wide: it starts at (200 - 101) / 2.
    TestSurface centred(200, 40);
    MeasureAndDraw(drawer, centred, L"<center><hr width=50% color=#0000ff size=4></center>");
    EXPECT_EQ(centred.Count(blue), 100 * 4);
    EXPECT_EQ(centred.Pixel(48, 6), RGB(255, 255, 255));
    EXPECT_EQ(centred.Pixel(49, 6), blue);
    EXPECT_EQ(centred.Pixel(148, 6), blue);
    EXPECT_EQ(centred.Pixel(149, 6), RGB(255, 255, 255));
}

TEST(HtmlDrawerLayout, ImagesTakeTheirRoomOrNone)
{
    TestSurface surface(100, 40);
    CHtmlDrawer drawer;
    const SIZE plain = Measure(drawer, surface.dc(), L"ab");
    const SIZE missing = Measure(drawer, surface.dc(), L"a<bmp idres=999>b<icon idres=999>");
    EXPECT_EQ(missing.cx, plain.cx);
    EXPECT_EQ(missing.cy, plain.cy);

    // The test program's bitmap 101 is 8 x 6: a magenta frame (the default mask colour) around red.
    const SIZE bitmap = Measure(drawer, surface.dc(), L"<bmp idres=101>");
    EXPECT_EQ(bitmap.cx, 8 + 1);
    EXPECT_GE(bitmap.cy, 6 + 1);
    EXPECT_EQ(Measure(drawer, surface.dc(), L"<bmp idres=101 width=200% height=50%>").cx, 16 + 1);
    drawer.Draw(surface.dc(), {0, 0, 100, 40});
    EXPECT_EQ(surface.Count(RGB(255, 0, 0)), 12 * 2);

    // Image-list items cut from the same bitmap as a strip of 4 x 3 items: two a row, two rows.
    EXPECT_EQ(Measure(drawer, surface.dc(), L"<ilst idres=101 cx=4 cy=3 index=3>").cx, 4 + 1);
    EXPECT_EQ(Measure(drawer, surface.dc(), L"a<ilst idres=101 cx=4 cy=3 index=4>").cx,
              Measure(drawer, surface.dc(), L"a").cx);
    EXPECT_EQ(Measure(drawer, surface.dc(), L"a<ilst index=0>").cx, Measure(drawer, surface.dc(), L"a").cx);

    TestSurface masked(100, 40);
    MeasureAndDraw(drawer, masked, L"<bmp idres=101 mask=#ff00ff>");
    EXPECT_EQ(masked.Count(RGB(255, 0, 0)), 6 * 4);
    EXPECT_EQ(masked.Count(RGB(255, 0, 255)), 0);
}

TEST(HtmlDrawerLayout, IconHandleWrittenIntoTheTextIsDrawn)
{
    // An 8 x 8 opaque green icon, handed over in the text as the message box does with its icon.
    std::vector<std::uint32_t> colour(64, 0x0000C800);
    std::vector<std::uint32_t> black(64, 0);
    HBITMAP colourBitmap = MakeTestBitmap(8, 8, colour.data());
    HBITMAP maskBitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, maskBitmap);
        PatBlt(dc, 0, 0, 8, 8, BLACKNESS);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ICONINFO info = {TRUE, 0, 0, maskBitmap, colourBitmap};
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);

    TestSurface surface(60, 30);
    CHtmlDrawer drawer;
    const std::wstring text = L"<icon handle=" + FormatHtmlHandle(icon) + L">";
    const SIZE size = MeasureAndDraw(drawer, surface, text);
    EXPECT_EQ(size.cx, 8 + 1);
    EXPECT_EQ(surface.Count(RGB(0, 200, 0)), 64);
    // The handle stays the caller's.
    EXPECT_NE(CDrawEffects::GetIconSize(icon).cx, 0);
    DestroyIcon(icon);
    DeleteObject(colourBitmap);
    DeleteObject(maskBitmap);
}

TEST(HtmlDrawerLayout, ResourceStringsAreText)
{
    TestSurface surface(10, 10);
    CHtmlDrawer drawer;
    EXPECT_EQ(Measure(drawer, surface.dc(), L"<string idres=201>").cx,
              Measure(drawer, surface.dc(), L"Text from the program").cx);
    EXPECT_EQ(Measure(drawer, surface.dc(), L"a<string idres=0>").cx, Measure(drawer, surface.dc(), L"a").cx);
}

TEST(HtmlDrawerLinks, AreasAreHitOnTheirEdgesAndLeavingNotifiesOnce)
{
    TestSurface surface(300, 40);
    CHtmlDrawer drawer;
    MessageRecorder recorder;
    drawer.SetHoverNotify(recorder.window(), MessageRecorder::kHover, 0);
    const SIZE size = MeasureAndDraw(drawer, surface, L"<a href=\"http://example.invalid/\">link</a>");
    // The link is the whole single line: its area runs from (0, 0) to (width, height), both inclusive.
    const int right = size.cx - 1;
    const int bottom = size.cy - 1;

    EXPECT_TRUE(drawer.OnMouseMove({right, bottom}));
    EXPECT_TRUE(drawer.OnMouseMove({0, 0}));
    EXPECT_EQ(recorder.hovers, (std::vector<long long>{0}));
    EXPECT_FALSE(drawer.OnMouseMove({right + 1, bottom / 2}));
    EXPECT_FALSE(drawer.OnMouseMove({right / 2, bottom + 1}));
    EXPECT_FALSE(drawer.OnMouseMove({right + 5, bottom + 5}));
    EXPECT_EQ(recorder.hovers, (std::vector<long long>{0, CHtmlDrawer::kNoLink}));

    // Redrawn after the hover, the link keeps its area; a repaint does not pile areas up.
    drawer.OnMouseMove({1, 1});
    drawer.Draw(surface.dc(), {0, 0, 300, 40});
    drawer.Draw(surface.dc(), {0, 0, 300, 40});
    EXPECT_TRUE(drawer.OnMouseMove({right, bottom}));
    EXPECT_EQ(recorder.hovers.size(), 3u);
}

TEST(HtmlDrawerLinks, MessageLinksSendTheirText)
{
    TestSurface surface(300, 60);
    CHtmlDrawer drawer;
    MessageRecorder recorder;
    drawer.SetLinkMessage(recorder.window(), MessageRecorder::kLink, 0);
    const SIZE size = MeasureAndDraw(drawer, surface, L"<a msg=\"first\">one</a><br><a msg='second'>two</a>");
    const int line = (size.cy - 1) / 2;
    drawer.OnClick({1, line + 2});
    drawer.OnClick({1, 1});
    drawer.OnClick({size.cx + 10, 1});
    EXPECT_EQ(recorder.links, (std::vector<std::wstring>{L"second", L"first"}));
}

TEST(HtmlDrawerLinks, OnlyACopiedCursorIsDestroyed)
{
    HCURSOR own = CreateCursor(GetModuleHandleW(nullptr), 0, 0, 32, 32, std::vector<BYTE>(128, 0xFF).data(),
                               std::vector<BYTE>(128, 0).data());
    ASSERT_NE(own, nullptr);
    {
        CHtmlDrawer drawer;
        drawer.SetLinkCursor(own);
        drawer.SetLinkCursor(nullptr);
        drawer.SetLinkCursor(own);
    }
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(own, &info));
    DeleteObject(info.hbmMask);
    if (info.hbmColor) {
        DeleteObject(info.hbmColor);
    }
    DestroyCursor(own);

    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    {
        CHtmlDrawer drawer;
    }
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), hand);
    ASSERT_TRUE(GetIconInfo(hand, &info));
    DeleteObject(info.hbmMask);
    if (info.hbmColor) {
        DeleteObject(info.hbmColor);
    }
}
