// The hyperlink: the shell's real failures told in a real message box read from the display, the hit
// test of a centred text and of an icon static, and the hover colour of the text.
#include "hyperlink.h"
#include "standalone_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> g_boxTexts;

BOOL CALLBACK CloseMessageBox(HWND hWnd, LPARAM)
{
    wchar_t className[16] = {};
    ::GetClassNameW(hWnd, className, 16);
    if (std::wstring(className) != L"#32770" || !::IsWindowVisible(hWnd))
        return TRUE;
    wchar_t text[512] = {};
    ::GetDlgItemTextW(hWnd, 0xFFFF, text, 512);
    g_boxTexts.push_back(text);
    ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
    return FALSE;
}

// Runs inside the message box's own loop: reads its text and closes it.
void CALLBACK FindMessageBox(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseMessageBox, 0);
}

// The texts of the message boxes that the action shows.
std::vector<std::wstring> MessageBoxesOf(const std::function<void()>& action)
{
    g_boxTexts.clear();
    theApp.m_bShowMessageBoxes = true;
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 50, FindMessageBox);
    action();
    ::KillTimer(NULL, nTimer);
    theApp.m_bShowMessageBoxes = false;
    return g_boxTexts;
}

class HyperLinkTest : public ::testing::Test
{
protected:
    void Make(CXTHyperLink& link, LPCTSTR lpszText, DWORD dwStyle, const CRect& rect, UINT nID = 80)
    {
        ASSERT_TRUE(link.Create(lpszText, WS_CHILD | WS_VISIBLE | dwStyle, rect, &m_parent, nID));
    }
    // The click as the static reports it to its parent, with the cursor at the point (client).
    void ClickAt(CXTHyperLink& link, CPoint point)
    {
        link.ClientToScreen(&point);
        ::SetCursorPos(point.x, point.y);
        m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(link.GetDlgCtrlID(), STN_CLICKED),
                             reinterpret_cast<LPARAM>(link.GetSafeHwnd()));
    }
    void TearDown() override { ::SetCursorPos(2, 2); }
    RecordingParent& m_parent = SharedParent();
};

TEST_F(HyperLinkTest, ShellFailuresAreToldAndTheLinkStaysUnvisited)
{
    // A file of an extension no program is registered for, and a file that is not there.
    const std::wstring existing = BuildFolderFile(L"hyperlink_target.qzxv");
    HANDLE hFile = ::CreateFileW(existing.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
    ::CloseHandle(hFile);
    const struct
    {
        std::wstring url;
        const wchar_t* text;
    } cases[] = {
        {existing, L"There is no application associated with the given file name extension."},
        {BuildFolderFile(L"no_such_file.txt"), L"The specified file was not found."},
    };
    for (const auto& c : cases) {
        CXTHyperLink link;
        Make(link, L"open", SS_LEFT, CRect(10, 10, 200, 30));
        link.SetURL(c.url.c_str());
        const auto texts = MessageBoxesOf([&] { ClickAt(link, CPoint(3, 5)); });
        ASSERT_EQ(1u, texts.size()) << Narrow(c.text);
        EXPECT_EQ(std::wstring(c.text), texts[0]);
        EXPECT_FALSE(link.GetVisited());
        // The parent sees the click of a text link too.
        ASSERT_FALSE(m_parent.m_commands.empty());
        EXPECT_EQ(static_cast<UINT>(STN_CLICKED), m_parent.m_commands.back().nCode);
    }
    ::DeleteFileW(existing.c_str());

    CXTHyperLink link;
    const auto unknown = MessageBoxesOf([&] { link.ReportError(99); });
    ASSERT_EQ(1u, unknown.size());
    EXPECT_EQ(L"An unknown error number 99 occured.", unknown[0]);
    const auto badFormat = MessageBoxesOf([&] { link.ReportError(11); });
    ASSERT_EQ(1u, badFormat.size());
    EXPECT_EQ(L"The .exe file is invalid (non-Win32\u00AE .exe or error in .exe image).", badFormat[0]);

    // Without opening, a click only marks the link visited.
    CXTHyperLink quiet;
    Make(quiet, L"quiet", SS_LEFT, CRect(10, 40, 200, 60), 81);
    quiet.EnableShellOpen(FALSE);
    EXPECT_TRUE(MessageBoxesOf([&] { ClickAt(quiet, CPoint(3, 5)); }).empty());
    EXPECT_TRUE(quiet.GetVisited());
}

TEST_F(HyperLinkTest, CentredTextIsHitOnlyOverItsExtentAndAnIconStaticAlways)
{
    CXTHyperLink link;
    Make(link, L"centre", SS_CENTER, CRect(10, 10, 310, 40));
    EXPECT_TRUE(link.IsTextControl());
    CRect rect;
    link.GetWindowRect(&rect);
    ::SetCursorPos(rect.CenterPoint().x, rect.top + 5);
    EXPECT_TRUE(link.PtInText());
    ::SetCursorPos(rect.left + 3, rect.top + 5);
    EXPECT_FALSE(link.PtInText());
    ::SetCursorPos(rect.right - 3, rect.top + 5);
    EXPECT_FALSE(link.PtInText());

    CXTHyperLink icon;
    Make(icon, L"", SS_ICON, CRect(10, 50, 42, 82), 82);
    icon.SetIcon(::LoadIcon(NULL, IDI_APPLICATION));
    EXPECT_FALSE(icon.IsTextControl());
    ::SetCursorPos(2, 2);
    EXPECT_TRUE(icon.PtInText());
    // Never coloured: the reflected colour message leaves it to the parent.
    CClientDC dc(&icon);
    const LRESULT hBrush = m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                                reinterpret_cast<LPARAM>(icon.GetSafeHwnd()));
    EXPECT_NE(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)), hBrush);
    EXPECT_NE(icon.GetLinkColor(), dc.GetTextColor());
    // A text link is coloured by its own answer.
    CClientDC dcLink(&link);
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)),
              m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dcLink.m_hDC),
                                   reinterpret_cast<LPARAM>(link.GetSafeHwnd())));
    EXPECT_EQ(link.GetLinkColor(), dcLink.GetTextColor());
}

TEST_F(HyperLinkTest, HoveringTurnsTheTextToTheHoverColour)
{
    CXTHyperLink link;
    Make(link, L"Hover over me", SS_LEFT, CRect(10, 10, 200, 30));
    const auto blue = [](COLORREF clr) { return clr == RGB(0, 0, 255); };
    const auto red = [](COLORREF clr) { return clr == RGB(255, 0, 0); };
    ClientPicture rest(&link);
    EXPECT_GT(rest.Count(blue), 10);
    EXPECT_EQ(0, rest.Count(red));

    CPoint point(5, 5);
    link.ClientToScreen(&point);
    ::SetCursorPos(point.x, point.y);
    link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(PumpUntil([&] { return link.IsHot() != FALSE; }));
    ClientPicture hot(&link);
    EXPECT_GT(hot.Count(red), 10);
    EXPECT_EQ(0, hot.Count(blue));
    hot.Save(L"hyperlink_hover");

    ::SetCursorPos(2, 2);
    EXPECT_TRUE(PumpUntil([&] { return link.IsHot() == FALSE; }, 500));
}

} // namespace
