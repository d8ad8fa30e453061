// The web link on the test display. The shell is a recorder: no test opens a URL or starts a browser.
#include "hyperlink.h"
#include "support/screenshot.h"
#include "widget_host.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

class RecordingShell : public HyperlinkShell
{
public:
    INT_PTR Open(LPCTSTR lpszURL, int) override
    {
        opened.push_back(lpszURL);
        return openResult;
    }
    bool ReadClassesRootValue(LPCTSTR lpszKey, CString& value) override
    {
        keysRead.push_back(lpszKey);
        const auto found = classesRoot.find(lpszKey);
        if (found == classesRoot.end()) {
            return false;
        }
        value = found->second.c_str();
        return true;
    }
    UINT Run(LPCSTR lpszCommand, int) override
    {
        run.push_back(lpszCommand);
        return runResult;
    }
    void ReportFailure(LPCTSTR lpszText) override { failures.push_back(lpszText); }

    INT_PTR openResult = 42;
    UINT runResult = 33;
    std::map<std::wstring, std::wstring> classesRoot;
    std::vector<std::wstring> opened;
    std::vector<std::wstring> keysRead;
    std::vector<std::string> run;
    std::vector<std::wstring> failures;
};

// Puts a recorder in place of the system's shell for the scope.
class ShellScope
{
public:
    ShellScope() : m_previous(HyperlinkShell::SetCurrent(&shell)) {}
    ~ShellScope() { HyperlinkShell::SetCurrent(m_previous); }
    RecordingShell shell;

private:
    HyperlinkShell* m_previous;
};

const UINT kLinkId = 1100;

class HyperLink : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Create(400, 200)); }

    // A static control of the host, taken over by the link.
    void Bind(CHyperLink& link, LPCTSTR text)
    {
        HWND hStatic = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 20, 200, 20,
                                         m_host.GetSafeHwnd(), reinterpret_cast<HMENU>(kLinkId),
                                         ::GetModuleHandle(NULL), NULL);
        ASSERT_NE(hStatic, nullptr);
        ASSERT_TRUE(link.SubclassWindow(hStatic));
    }
    void Click(CHyperLink& link)
    {
        m_host.SendMessage(WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED),
                           reinterpret_cast<LPARAM>(link.GetSafeHwnd()));
    }
    // The text colour that the link gives its text, through its parent's colour message.
    COLORREF TextColour(CHyperLink& link)
    {
        HDC dc = ::GetDC(link.GetSafeHwnd());
        m_host.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(link.GetSafeHwnd()));
        const COLORREF colour = ::GetTextColor(dc);
        ::ReleaseDC(link.GetSafeHwnd(), dc);
        return colour;
    }
    static LOGFONT FontOf(CHyperLink& link)
    {
        LOGFONT logFont = {};
        CFont* font = link.GetFont();
        if (font != NULL) {
            font->GetLogFont(&logFont);
        }
        return logFont;
    }
    static void MoveCursorTo(CWnd& window, CPoint point)
    {
        window.ClientToScreen(&point);
        ::SetCursorPos(point.x, point.y);
    }

    CWidgetHost m_host;
};

TEST(HyperlinkErrors, EachShellCodeHasItsText)
{
    struct Case
    {
        INT_PTR code;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, L"The operating system is out\nof memory or resources."},
        {2, L"The specified file was not found."},
        {3, L"The specified path was not found."},
        {5, L"The operating system denied\naccess to the specified file."},
        {8, L"There was not enough memory to complete the operation."},
        {11, L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, L"A sharing violation occurred. "},
        {27, L"The filename association is\nincomplete or invalid."},
        {28, L"The DDE transaction could not\nbe completed because the request timed out."},
        {29, L"The DDE transaction failed."},
        {30, L"The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
             L"processed."},
        {31, L"There is no application associated\nwith the given filename extension."},
        {32, L"The specified dynamic-link library was not found."},
        {99, L"Unknown Error (99) occurred."},
        {1, L"Unknown Error (1) occurred."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(std::wstring(HyperlinkErrorText(c.code)), c.text);
    }
}

TEST(HyperlinkGotoURL, FallsBackToTheWebPageCommandWithTheURLAppended)
{
    const wchar_t* url = L"http://example.test/";
    struct Case
    {
        const char* name;
        INT_PTR openResult;
        const wchar_t* htmClass;
        const wchar_t* command;
        INT_PTR expected;
        const char* expectedRun;
    };
    const Case cases[] = {
        {"the shell opens it", 42, L"htmlfile", L"browser.exe %1", 42, nullptr},
        {"quoted placeholder", 31, L"htmlfile", L"\"C:\\Web\\browser.exe\" -nohome \"%1\"", 33,
         "\"C:\\Web\\browser.exe\" -nohome  http://example.test/"},
        {"bare placeholder", 31, L"htmlfile", L"C:\\Web\\browser.exe %1", 33,
         "C:\\Web\\browser.exe  http://example.test/"},
        {"no placeholder", 31, L"htmlfile", L"C:\\Web\\browser.exe", 33,
         "C:\\Web\\browser.exe http://example.test/"},
        {"no class for web pages", 31, nullptr, nullptr, 31, nullptr},
        {"no open command", 2, L"htmlfile", nullptr, 2, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShellScope scope;
        scope.shell.openResult = c.openResult;
        if (c.htmClass != nullptr) {
            scope.shell.classesRoot[L".htm"] = c.htmClass;
        }
        if (c.command != nullptr) {
            scope.shell.classesRoot[L"htmlfile\\shell\\open\\command"] = c.command;
        }
        const INT_PTR result = reinterpret_cast<INT_PTR>(CHyperLink::GotoURL(url, SW_SHOW));
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(scope.shell.opened, std::vector<std::wstring>{url});
        if (c.expectedRun != nullptr) {
            EXPECT_EQ(scope.shell.run, std::vector<std::string>{c.expectedRun});
        } else {
            EXPECT_TRUE(scope.shell.run.empty());
        }
    }
}

TEST_F(HyperLink, TextAloneIsTheURLAndAURLAloneIsShown)
{
    ShellScope scope;
    CHyperLink textOnly;
    Bind(textOnly, L"http://text.example/");
    EXPECT_EQ(textOnly.GetURL(), CString(L"http://text.example/"));
    Click(textOnly);
    EXPECT_EQ(scope.shell.opened, std::vector<std::wstring>{L"http://text.example/"});
    EXPECT_NE(textOnly.GetStyle() & SS_NOTIFY, 0u);
    textOnly.DestroyWindow();

    CHyperLink urlOnly;
    urlOnly.SetURL(L"http://url.example/");
    Bind(urlOnly, L"");
    CString shown;
    urlOnly.GetWindowText(shown);
    EXPECT_EQ(shown, CString(L"http://url.example/"));
    CString tip;
    urlOnly.GetToolTip().GetText(tip, &urlOnly, 1);
    EXPECT_EQ(tip, CString(L"http://url.example/"));
    urlOnly.DestroyWindow();
}

TEST_F(HyperLink, UnderlinedWhileTheCursorIsOverItUnlessAlwaysUnderlined)
{
    for (const int mode : {-1, 1}) {
        SCOPED_TRACE(mode);
        CHyperLink link;
        Bind(link, L"http://hover.example/");
        link.SetUnderline(mode);
        MoveCursorTo(link, CPoint(3, 3));
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        EXPECT_TRUE(link.IsOver());
        EXPECT_TRUE(FontOf(link).lfUnderline);

        // A tick with the cursor still over the link changes nothing.
        PumpFor(250);
        EXPECT_TRUE(link.IsOver());
        EXPECT_TRUE(FontOf(link).lfUnderline);

        ::SetCursorPos(900, 700);
        PumpFor(300);
        EXPECT_FALSE(link.IsOver());
        const LOGFONT font = FontOf(link);
        EXPECT_EQ(font.lfUnderline != 0, mode == 1);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Arial");
        EXPECT_EQ(font.lfHeight, 15);
        link.DestroyWindow();
    }
}

// The underline of an always underlined link spans its text and no more: the texts of the About box,
// each read back from the link's own pixels.
TEST_F(HyperLink, TheUnderlineSpansTheTextOnly)
{
    for (const wchar_t* text :
         {L"https://www.corvane.example/", L"mailto:support@corvane.example", L"mailto:sales@corvane.example",
          L"https://www.corvane.example/vmdk-recovery/"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(text)));
        CHyperLink link;
        Bind(link, text);
        link.SetUnderline(1);
        link.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        CRect client;
        link.GetClientRect(&client);
        HDC dc = ::GetDC(link.GetSafeHwnd());
        const std::vector<std::uint32_t> pixels = test_support::CaptureDc(dc, client);
        ::ReleaseDC(link.GetSafeHwnd(), dc);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(client.Width() * client.Height()));
        // The link's blue against the host's light background: red is low only in the text.
        const auto inked = [&](int x, int y) {
            return ((pixels[y * client.Width() + x] >> 16) & 0xFF) < 0x80;
        };
        // The underline is the row with the longest run of ink; the glyphs are the ink of the other rows.
        int underlineRow = -1, longestRun = 0;
        for (int y = 0; y < client.Height(); ++y) {
            int run = 0;
            for (int x = 0; x < client.Width(); ++x) {
                run = inked(x, y) ? run + 1 : 0;
                if (run > longestRun) {
                    longestRun = run;
                    underlineRow = y;
                }
            }
        }
        ASSERT_GT(longestRun, 20);
        int lineLeft = client.Width(), lineRight = -1, textLeft = client.Width(), textRight = -1;
        for (int x = 0; x < client.Width(); ++x) {
            if (inked(x, underlineRow)) {
                lineLeft = std::min(lineLeft, x);
                lineRight = std::max(lineRight, x);
            }
            for (int y = 0; y < client.Height(); ++y)
                if (y != underlineRow && inked(x, y)) {
                    textLeft = std::min(textLeft, x);
                    textRight = std::max(textRight, x);
                }
        }
        ASSERT_GE(textRight, textLeft);
        // A glyph's side bearing may leave a pixel of line beyond its ink.
        EXPECT_GE(lineLeft, textLeft - 1);
        EXPECT_LE(lineRight, textRight + 1);
        EXPECT_GE(lineRight - lineLeft, textRight - textLeft - 2);
        if (std::wstring(text) == L"https://www.corvane.example/vmdk-recovery/") {
            EXPECT_TRUE(test_support::WriteWindowScreenshot(link.GetSafeHwnd(), L"hyperlink_underline"));
        }
        link.DestroyWindow();
    }
}

TEST_F(HyperLink, ClickThatOpensTurnsTheLinkVisitedAndOneThatFailsReportsWhy)
{
    ShellScope scope;
    CHyperLink link;
    Bind(link, L"http://click.example/");
    EXPECT_EQ(TextColour(link), 0xEE0000u);

    scope.shell.openResult = 2;
    Click(link);
    EXPECT_FALSE(link.GetVisited());
    EXPECT_EQ(scope.shell.failures,
              std::vector<std::wstring>{L"Unable to open hyperlink:\n\nThe specified file was not found."});
    EXPECT_EQ(TextColour(link), 0xEE0000u);

    scope.shell.openResult = 42;
    Click(link);
    EXPECT_TRUE(link.GetVisited());
    EXPECT_EQ(scope.shell.failures.size(), 1u);
    EXPECT_EQ(TextColour(link), 0x8B1A55u);

    EXPECT_TRUE(link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link.GetSafeHwnd()),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    ASSERT_NE(link.GetLinkCursor(), nullptr);
    EXPECT_EQ(::GetCursor(), link.GetLinkCursor());
    link.DestroyWindow();
}

} // namespace
