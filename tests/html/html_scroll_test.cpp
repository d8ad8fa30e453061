// HtmlScrollProc in a real window on the test display: bars, wheel, thumb, panning and the WM_USER
// protocol, with the page drawn scrolled for a screenshot.
#include "html_scroll.h"
#include "laid_out_page.h"
#include "support/screenshot.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, int>> shifts;
CHtmlDocument* paintedDocument = nullptr;

bool IsScrollMessage(UINT message)
{
    switch (message) {
    case WM_CREATE:
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_CAPTURECHANGED:
        return true;
    default:
        return message >= kHtmlScrollSetContentSize && message <= kHtmlScrollGetMaxY;
    }
}

// Stands in for the renderer: the page painted at the handler's positions, everything it does not
// handle itself passed on.
LRESULT CALLBACK PageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kHtmlScrollShifted) {
        shifts.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    }
    if (message == WM_PAINT && paintedDocument) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        int x = static_cast<int>(HtmlScrollProc(window, kHtmlScrollGetX, 0, 0));
        int y = static_cast<int>(HtmlScrollProc(window, kHtmlScrollGetY, 0, 0));
        paintedDocument->Draw(dc, &paint.rcPaint, x, y);
        EndPaint(window, &paint);
        return 0;
    }
    if (IsScrollMessage(message)) {
        LRESULT result = HtmlScrollProc(window, message, wParam, lParam);
        return message == WM_CREATE ? DefWindowProcW(window, message, wParam, lParam) : result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class HtmlScrollTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = PageWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"HtmlScrollTestWindow";
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassW(&windowClass);
        shifts.clear();
        window = CreatePage(600, 400);
    }
    void TearDown() override
    {
        paintedDocument = nullptr;
        if (window)
            DestroyWindow(window);
        HtmlScrollProc(nullptr, 0, 0, 0);
    }
    HWND CreatePage(int clientWidth, int clientHeight)
    {
        RECT frame = {0, 0, clientWidth, clientHeight};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        HWND created = CreateWindowW(L"HtmlScrollTestWindow", L"Page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                                     20, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        return created;
    }
    void ResizeClient(int clientWidth, int clientHeight)
    {
        // The frame keeps its size for the bars: the client shrinks by what they take.
        RECT frame = {0, 0, clientWidth, clientHeight};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    int Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return static_cast<int>(SendMessageW(window, message, wParam, lParam));
    }
    bool HasBar(DWORD style) const { return (GetWindowLongW(window, GWL_STYLE) & style) != 0; }

    HWND window = nullptr;
};

TEST_F(HtmlScrollTest, ContentLargerThanTheClientShowsBothBars)
{
    Send(kHtmlScrollSetContentSize, 800, 2000);
    const int horizontalBar = GetSystemMetrics(SM_CYVTHUMB);
    const int verticalBar = GetSystemMetrics(SM_CXHTHUMB);
    EXPECT_EQ(Send(kHtmlScrollGetMaxY), 2000 - (400 - horizontalBar));
    EXPECT_EQ(Send(kHtmlScrollGetMaxX), 800 - (600 - verticalBar));
    EXPECT_TRUE(HasBar(WS_VSCROLL));
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 100);
    EXPECT_EQ(static_cast<int>(info.nPage), (400 - horizontalBar) * 100 / 2000);
}

TEST_F(HtmlScrollTest, ContentThatFitsHidesTheBarsAtPositionZero)
{
    Send(kHtmlScrollSetContentSize, 800, 2000);
    Send(kHtmlScrollSetY, 0, 500);
    Send(kHtmlScrollSetX, 0, 100);
    ASSERT_EQ(Send(kHtmlScrollGetY), 500);
    ASSERT_EQ(Send(kHtmlScrollGetX), 100);
    Send(kHtmlScrollSetContentSize, 300, 200);
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_EQ(Send(kHtmlScrollGetMaxX), 0);
    EXPECT_EQ(Send(kHtmlScrollGetMaxY), 0);
    int position = -1;
    EXPECT_EQ(Send(kHtmlScrollGetY, 0, reinterpret_cast<LPARAM>(&position)), 0);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(Send(kHtmlScrollGetX), 0);
}

TEST_F(HtmlScrollTest, OneWheelNotchScrolls30PixelsAndStopsAtTheEnd)
{
    Send(kHtmlScrollSetContentSize, 500, 2000);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(Send(kHtmlScrollGetY), 30);
    ASSERT_EQ(shifts.size(), 3u);
    EXPECT_EQ(shifts[0], std::make_pair(0, -10));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 4), 0);
    EXPECT_EQ(Send(kHtmlScrollGetY), 0);
    const int maximum = Send(kHtmlScrollGetMaxY);
    Send(kHtmlScrollSetY, 0, maximum - 15);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(Send(kHtmlScrollGetY), maximum);
    EXPECT_EQ(shifts.back(), std::make_pair(0, 0));
}

TEST_F(HtmlScrollTest, AScrollRangeThatShrinksAtTheBottomBringsThePositionToTheNewMaximum)
{
    Send(kHtmlScrollSetContentSize, 500, 2000);
    Send(kHtmlScrollSetY, 0, 100000);
    ASSERT_EQ(Send(kHtmlScrollGetY), Send(kHtmlScrollGetMaxY));
    // A taller window leaves less to scroll.
    ResizeClient(600, 900);
    EXPECT_EQ(Send(kHtmlScrollGetMaxY), 2000 - 900);
    EXPECT_EQ(Send(kHtmlScrollGetY), 2000 - 900);
    // So does a shorter page after a relayout.
    Send(kHtmlScrollSetContentSize, 500, 1200);
    EXPECT_EQ(Send(kHtmlScrollGetY), 1200 - 900);
    // A window made smaller keeps the position; the page can scroll further.
    ResizeClient(600, 400);
    EXPECT_EQ(Send(kHtmlScrollGetY), 1200 - 900);
    EXPECT_EQ(Send(kHtmlScrollGetMaxY), 1200 - 400);
}

TEST_F(HtmlScrollTest, AThumbTrackToTheMiddleGivesHalfTheMaximum)
{
    Send(kHtmlScrollSetContentSize, 500, 4000);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_PAGE;
    GetScrollInfo(window, SB_VERT, &info);
    const int units = 100 - static_cast<int>(info.nPage);
    const int maximum = Send(kHtmlScrollGetMaxY);
    Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, units / 2), 0);
    EXPECT_NEAR(Send(kHtmlScrollGetY), maximum / 2, maximum / units + 1);
    // The thumb follows the position.
    EXPECT_NEAR(GetScrollPos(window, SB_VERT), units / 2, 1);
    Send(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_NEAR(Send(kHtmlScrollGetY), maximum / 2 + client.bottom, maximum / units + 1);
    // A bar control's own messages are not the window's.
    Send(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), reinterpret_cast<LPARAM>(window));
    EXPECT_NEAR(Send(kHtmlScrollGetY), maximum / 2 + client.bottom, maximum / units + 1);
}

TEST_F(HtmlScrollTest, DraggingPansTheContentWithinItsLimits)
{
    Send(kHtmlScrollSetContentSize, 800, 2000);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 40));
    EXPECT_EQ(Send(kHtmlScrollGetX), 20);
    EXPECT_EQ(Send(kHtmlScrollGetY), 60);
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 40));
    EXPECT_EQ(Send(kHtmlScrollGetX), 0);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(200, 40));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(Send(kHtmlScrollGetY), 60);
}

TEST_F(HtmlScrollTest, AReusedHandleStartsUnscrolledAndTheTableCanBeReleased)
{
    Send(kHtmlScrollSetContentSize, 800, 2000);
    Send(kHtmlScrollSetY, 0, 300);
    ASSERT_EQ(Send(kHtmlScrollGetY), 300);
    // Destroying keeps the record; a new window that gets the same handle is created afresh.
    Send(WM_DESTROY);
    EXPECT_EQ(Send(kHtmlScrollGetY), 300);
    Send(WM_CREATE);
    EXPECT_EQ(Send(kHtmlScrollGetY), 0);
    EXPECT_EQ(Send(kHtmlScrollGetMaxY), 0);
    Send(kHtmlScrollSetContentSize, 800, 2000);
    Send(kHtmlScrollSetY, 0, 300);
    HtmlScrollProc(nullptr, 0, 0, 0);
    EXPECT_EQ(Send(kHtmlScrollGetY), 0);
}

TEST_F(HtmlScrollTest, APageScrolledInItsWindow)
{
    LaidOutPage page(
        L"<center><h1>Scrolled page</h1></center><table border=1 bgcolor=#e0e8ff>"
        L"<tr><td width=200>Row one</td><td>first</td></tr><tr><td>Row two</td><td>second</td></tr>"
        L"</table><ul><li>One<li>Two<li>Three</ul>Plain text at the end of the page.");
    RECT area = {0, 0, 602, 0};
    page.document.Layout(&area);
    paintedDocument = &page.document;
    Send(kHtmlScrollSetContentSize, area.right, area.bottom + 600);
    Send(kHtmlScrollSetY, 0, 40);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    EXPECT_EQ(Send(kHtmlScrollGetY), 40);
    EXPECT_TRUE(test_support::WriteWindowScreenshot(window, L"html_scrolled_window"));
}

// A page laid out in its window whose content reaches past the window's right edge gets a horizontal bar.
TEST_F(HtmlScrollTest, APageWiderThanItsWindowGetsAHorizontalBar)
{
    const std::wstring longWord(160, L'x');
    const std::wstring wideText = L"<pre>" + std::wstring(40, L'-') +
                                  L" a preformatted line wider than the window " + std::wstring(60, L'-') +
                                  L"</pre>";
    struct Case
    {
        const char* name;
        std::wstring page;
    };
    const Case cases[] = {
        {"a wide table", L"<p>Text</p><table width=1100 border=1><tr><td>wide</td></tr></table>"},
        {"a word without a break", L"<p>" + longWord + L"</p>"},
        {"a preformatted line", wideText},
        {"a wide table in a centred box", L"<center><table width=1100><tr><td>x</td></tr></table></center>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LaidOutPage page(c.page.c_str());
        RECT client = {};
        GetClientRect(window, &client);
        RECT area = client;
        page.document.Layout(&area);
        Send(kHtmlScrollSetContentSize, area.right, area.bottom);
        EXPECT_GT(area.right, client.right) << "the content is measured within the window";
        EXPECT_TRUE(HasBar(WS_HSCROLL));
        EXPECT_GT(Send(kHtmlScrollGetMaxX), 0);
        Send(kHtmlScrollSetContentSize, 10, 10);
    }
}

} // namespace
