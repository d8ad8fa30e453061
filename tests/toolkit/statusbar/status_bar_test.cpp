// The toolkit status bar on a real frame: parts read back from the system's status window, texts and
// their pending state, the frame's messages, idle updates, hosted windows, the non-client frame, and
// the bar drawn by the paint manager into memory DCs; screenshots of both looks.
#include "command_bars.h"
#include "image_manager.h"
#include "status_bar.h"
#include "statusbar_test_ids.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <afxpriv.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

void PumpMessages()
{
    MSG msg;
    for (int nRound = 0; nRound < 3; ++nRound) {
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

// Counts what the bar tells its own window, from its creation on.
class CCountingStatusBar : public CXTPStatusBar
{
public:
    int m_nSetText = 0;
    std::vector<WPARAM> m_minHeights;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == SB_SETTEXT)
            ++m_nSetText;
        else if (message == SB_SETMINHEIGHT)
            m_minHeights.push_back(wParam);
        return CXTPStatusBar::WindowProc(message, wParam, lParam);
    }
};

class CStatusFrame : public CFrameWnd
{
public:
    CCountingStatusBar m_wndStatusBar;
    CString m_strSize = L"7 MB";
    BOOL m_bCapsEnabled = TRUE;
    BOOL m_bHostedEnabled = TRUE;

protected:
    afx_msg void OnUpdateSize(CCmdUI* pCmdUI) { pCmdUI->SetText(m_strSize); }
    afx_msg void OnUpdateCaps(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bCapsEnabled); }
    afx_msg void OnUpdateHosted(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bHostedEnabled); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CStatusFrame, CFrameWnd)
    ON_UPDATE_COMMAND_UI(ID_SBT_SIZE, OnUpdateSize)
    ON_UPDATE_COMMAND_UI(ID_SBT_CAPS, OnUpdateCaps)
    ON_UPDATE_COMMAND_UI(ID_SBT_HOSTED, OnUpdateHosted)
END_MESSAGE_MAP()
// clang-format on

// The frame's view: the frame's layout gives it what the bar leaves.
class CPlainView : public CView
{
protected:
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, RGB(255, 255, 255));
    }
};

// The status font of the system's non-client metrics.
LOGFONTW StatusFont()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return metrics.lfStatusFont;
}

const UINT kIndicators[] = {ID_SEPARATOR, ID_SBT_MODE, ID_SBT_CAPS, ID_SBT_SIZE};

struct Borders
{
    int cxHorz;
    int cyVert;
    int cxGap;
};

class StatusBarTest : public ::testing::Test
{
protected:
    void SetUp() override { CreateFrame(TRUE); }
    void TearDown() override
    {
        theApp.m_pMainWnd = NULL;
        if (::IsWindow(m_hFrame))
            m_pFrame->DestroyWindow();
        PumpMessages();
    }

    // A frame with a view and the bar; only a resizable frame gives the bar its size grip.
    void CreateFrame(BOOL bResizable)
    {
        m_pFrame = new CStatusFrame;
        const DWORD dwStyle = bResizable ? WS_OVERLAPPEDWINDOW : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        ASSERT_TRUE(m_pFrame->Create(NULL, L"Status bar", dwStyle, CRect(40, 40, 640, 340)));
        m_hFrame = m_pFrame->m_hWnd;
        m_pView = new CPlainView;
        ASSERT_TRUE(m_pView->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), m_pFrame,
                                    AFX_IDW_PANE_FIRST));
        ASSERT_TRUE(Bar().Create(m_pFrame));
        ASSERT_TRUE(Bar().SetIndicators(kIndicators, 4));
        m_pFrame->RecalcLayout();
        m_pFrame->ShowWindow(SW_SHOWNOACTIVATE);
        m_pFrame->UpdateWindow();
        PumpMessages();
    }

    CCountingStatusBar& Bar() { return m_pFrame->m_wndStatusBar; }

    // The application's idle work with the frame as its main window.
    void Idle()
    {
        theApp.m_pMainWnd = m_pFrame;
        theApp.OnIdle(0);
        theApp.m_pMainWnd = NULL;
        PumpMessages();
    }
    // A child's rectangle in the frame's client coordinates.
    CRect InFrame(CWnd* pWnd)
    {
        CRect rect;
        pWnd->GetWindowRect(&rect);
        m_pFrame->ScreenToClient(&rect);
        return rect;
    }
    CRect FrameClient()
    {
        CRect rect;
        m_pFrame->GetClientRect(&rect);
        return rect;
    }

    Borders GetBorders()
    {
        int borders[3] = {};
        Bar().SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        return {borders[0], borders[1], borders[2]};
    }
    std::vector<int> Parts()
    {
        int parts[256] = {};
        const int nCount =
            static_cast<int>(Bar().SendMessage(SB_GETPARTS, 256, reinterpret_cast<LPARAM>(parts)));
        return std::vector<int>(parts, parts + nCount);
    }
    std::wstring WindowText(int nPart)
    {
        wchar_t text[256] = {};
        const LRESULT lLength = Bar().SendMessage(SB_GETTEXTLENGTH, nPart);
        if (LOWORD(lLength) >= 256)
            return L"<too long>";
        Bar().SendMessage(SB_GETTEXT, nPart, reinterpret_cast<LPARAM>(text));
        return text;
    }
    CRect Client()
    {
        CRect rect;
        Bar().GetClientRect(&rect);
        return rect;
    }
    // The client's right edge less the size grip's room.
    int InsideRight()
    {
        return Client().right - 2 * ::GetSystemMetrics(SM_CXBORDER) - GetBorders().cyVert -
               ::GetSystemMetrics(SM_CXVSCROLL);
    }
    // Makes the bar's panes these (width, stretch, visible) ones, with ids that have no string.
    struct PaneSpec
    {
        int cxWidth;
        BOOL bStretch;
        BOOL bVisible;
    };
    void SetPanes(const std::vector<PaneSpec>& specs)
    {
        Bar().RemoveAll();
        for (const PaneSpec& spec : specs) {
            CXTPStatusBarPane* pPane =
                Bar().AddIndicator(ID_SBT_PLAIN + static_cast<UINT>(Bar().GetPaneCount()));
            pPane->SetWidth(spec.cxWidth);
            pPane->SetStyle(spec.bStretch ? SBPS_STRETCH : SBPS_NORMAL);
            pPane->SetVisible(spec.bVisible);
        }
    }

    CStatusFrame* m_pFrame = NULL;
    CView* m_pView = NULL;
    HWND m_hFrame = NULL;
};

TEST_F(StatusBarTest, CreatedAlongTheFramesBottomUnderTheViewWithGripStatusFontAndMinimumHeight)
{
    CCountingStatusBar& bar = Bar();
    EXPECT_EQ(59393, bar.GetDlgCtrlID());
    EXPECT_TRUE(bar.GetStyle() & SBARS_SIZEGRIP);
    EXPECT_EQ(std::vector<WPARAM>{20}, bar.m_minHeights);
    LOGFONTW logFont{};
    ASSERT_TRUE(
        ::GetObjectW(reinterpret_cast<HFONT>(bar.SendMessage(WM_GETFONT)), sizeof(logFont), &logFont));
    const LOGFONTW status = StatusFont();
    EXPECT_EQ(std::wstring(status.lfFaceName), logFont.lfFaceName);
    EXPECT_EQ(status.lfHeight, logFont.lfHeight);

    const CRect rectClient = FrameClient();
    const CRect rectBar = InFrame(&bar);
    EXPECT_EQ(CRect(0, rectBar.top, rectClient.right, rectClient.bottom), rectBar);
    EXPECT_GE(rectBar.Height(), 20);
    EXPECT_EQ(CRect(0, 0, rectClient.right, rectBar.top), InFrame(m_pView));
}

TEST_F(StatusBarTest, StretchPanesShareTheSpareWidthTheLaterOnesTakingTheRemainder)
{
    const Borders borders = GetBorders();
    const int nGap = borders.cxGap;
    const int nInside = InsideRight() - Client().left;
    ASSERT_GT(nInside, 300);
    // A fixed pane that leaves exactly 101 pixels to two stretching ones.
    const int cxFixed = nInside + nGap - (6 + 10 + nGap) - (6 + 20 + nGap) - (6 + nGap) - 101;
    const int nSpareOne = nInside + nGap - (6 + nGap) - (66 + nGap) - (46 + nGap);
    struct Case
    {
        const char* name;
        std::vector<PaneSpec> panes;
        std::vector<int> partWidths; // each part's right edge less the previous one's and the gap
    };
    const Case cases[] = {
        {"two stretching panes, 101 to spare",
         {{10, TRUE, TRUE}, {20, TRUE, TRUE}, {cxFixed, FALSE, TRUE}},
         {6 + 10 + 50, 6 + 20 + 51, 6 + cxFixed}},
        {"one stretching pane takes all",
         {{0, TRUE, TRUE}, {60, FALSE, TRUE}, {40, FALSE, TRUE}},
         {6 + nSpareOne, 66, 46}},
        {"nothing to spare", {{0, TRUE, TRUE}, {nInside, FALSE, TRUE}}, {6, 6 + nInside}},
        {"a hidden pane takes no part",
         {{0, TRUE, TRUE}, {500, FALSE, FALSE}, {40, FALSE, TRUE}},
         {6 + nSpareOne + 66 + nGap, 46}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetPanes(c.panes);
        const std::vector<int> parts = Parts();
        ASSERT_EQ(c.partWidths.size(), parts.size());
        int nPrevious = Client().left - nGap;
        for (size_t i = 0; i < parts.size(); ++i) {
            EXPECT_EQ(c.partWidths[i], parts[i] - nPrevious - nGap) << "part " << i;
            nPrevious = parts[i];
        }
        EXPECT_EQ(static_cast<int>(parts.size()), Bar().GetVisiblePaneCount());
    }
    // With a stretching pane the parts end where the size grip's room begins.
    SetPanes({{0, TRUE, TRUE}, {60, FALSE, TRUE}});
    EXPECT_EQ(InsideRight(), Parts().back());
}

TEST_F(StatusBarTest, TheSizeGripsRoomIsLeftOnlyOnAParentThatIsNotMaximised)
{
    // The inside rectangle loses the grip's room on the right, against the control bar's own rule.
    const auto insideShift = [this]() {
        CRect rectBar(0, 0, 500, 30), rectInside(0, 0, 500, 30);
        Bar().CControlBar::CalcInsideRect(rectBar, TRUE);
        Bar().CalcInsideRect(rectInside, TRUE);
        EXPECT_EQ(CRect(rectBar.left, rectBar.top, rectInside.right, rectBar.bottom), rectInside);
        return rectBar.right - rectInside.right;
    };
    EXPECT_EQ(2 * ::GetSystemMetrics(SM_CXBORDER) + GetBorders().cyVert + ::GetSystemMetrics(SM_CXVSCROLL),
              insideShift());
    SetPanes({{60, FALSE, TRUE}, {0, TRUE, TRUE}});
    EXPECT_EQ(InsideRight(), Parts().back());
    m_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
    m_pFrame->RecalcLayout();
    PumpMessages();
    ASSERT_TRUE(m_pFrame->IsZoomed());
    EXPECT_EQ(0, insideShift());
    Bar().LayoutPanes(TRUE, FALSE);
    EXPECT_EQ(Client().right, Parts().back());

    // A frame that cannot be resized gives no grip, and the parts run to the edge as well.
    m_pFrame->DestroyWindow();
    CreateFrame(FALSE);
    EXPECT_FALSE(Bar().HasSizeGrip());
    EXPECT_EQ(0, insideShift());
    SetPanes({{60, FALSE, TRUE}, {0, TRUE, TRUE}});
    EXPECT_EQ(Client().right, Parts().back());
}

TEST_F(StatusBarTest, ItemRectanglesComeFromTheWindowAndTheLastOneEndsAtThePaneOrBeforeTheGrip)
{
    SetPanes({{0, TRUE, TRUE}, {50, FALSE, TRUE}, {70, FALSE, FALSE}, {40, FALSE, TRUE}});
    CRect rectWindow, rect;
    Bar().SendMessage(SB_GETRECT, 1, reinterpret_cast<LPARAM>(&rectWindow));
    Bar().GetItemRect(1, &rect);
    EXPECT_EQ(rectWindow, rect);
    // The last visible pane, fixed: its own width and frame.
    Bar().GetItemRect(3, &rect);
    EXPECT_EQ(rect.left + 40 + 3 * ::GetSystemMetrics(SM_CXEDGE), rect.right);
    // Missing and hidden panes have no rectangle.
    for (int nIndex : {-1, 2, 4}) {
        Bar().GetItemRect(nIndex, &rect);
        EXPECT_TRUE(rect.IsRectEmpty()) << nIndex;
    }
    // The last visible pane, stretching, stops before the size grip.
    SetPanes({{50, FALSE, TRUE}, {0, TRUE, TRUE}});
    Bar().GetItemRect(1, &rect);
    EXPECT_EQ(Client().right - ::GetSystemMetrics(SM_CXSMICON) - ::GetSystemMetrics(SM_CXEDGE), rect.right);
}

TEST_F(StatusBarTest, PaneTextsReachTheWindowOnceAndDisabledOrHiddenPanesShowNone)
{
    CCountingStatusBar& bar = Bar();
    const int nCaps = bar.CommandToIndex(ID_SBT_CAPS);
    ASSERT_EQ(2, nCaps);
    EXPECT_EQ(L"CAP", WindowText(2));
    EXPECT_EQ(L"Deleted files", WindowText(1));

    // The low word of the style goes with the text.
    EXPECT_EQ(SBT_NOBORDERS, HIWORD(bar.SendMessage(SB_GETTEXTLENGTH, 0)));
    bar.SetPaneStyle(1, SBPS_POPOUT);
    EXPECT_EQ(SBT_POPOUT, HIWORD(bar.SendMessage(SB_GETTEXTLENGTH, 1)));
    bar.SetPaneStyle(1, SBPS_NORMAL);

    bar.m_nSetText = 0;
    EXPECT_TRUE(bar.SetPaneText(1, L"Lost files"));
    EXPECT_TRUE(bar.SetPaneText(1, L"Lost files"));
    EXPECT_EQ(1, bar.m_nSetText);
    EXPECT_EQ(L"Lost files", WindowText(1));

    // Without update the window keeps the old text until the bar paints.
    EXPECT_TRUE(bar.SetPaneText(1, L"Found files", FALSE));
    EXPECT_EQ(L"Lost files", WindowText(1));
    bar.Invalidate();
    bar.UpdateWindow();
    EXPECT_EQ(L"Found files", WindowText(1));

    // A disabled pane keeps its text but shows none, and shows it again when enabled.
    bar.SetPaneStyle(nCaps, SBPS_DISABLED);
    EXPECT_EQ(L"", WindowText(2));
    EXPECT_EQ(CString(L"CAP"), bar.GetPaneText(nCaps));
    bar.SetPaneStyle(nCaps, SBPS_NORMAL);
    EXPECT_EQ(L"CAP", WindowText(2));

    // A hidden pane stores its text without showing it; the panes after it move up a part with
    // their texts.
    CXTPStatusBarPane* pMode = bar.GetPane(1);
    pMode->SetVisible(FALSE);
    EXPECT_FALSE(bar.SetPaneText(1, L"Hidden"));
    EXPECT_EQ(CString(L"Hidden"), bar.GetPaneText(1));
    bar.UpdateWindow();
    EXPECT_EQ(L"CAP", WindowText(1));
    EXPECT_EQ(L"12,345 MB", WindowText(2));
    pMode->SetVisible(TRUE);
    bar.UpdateWindow();
    EXPECT_EQ(L"Hidden", WindowText(1));
    EXPECT_EQ(L"CAP", WindowText(2));

    // Bad indexes.
    EXPECT_FALSE(bar.SetPaneText(4, L"x"));
    EXPECT_FALSE(bar.SetPaneText(-1, L"x"));
    EXPECT_EQ(nullptr, bar.GetPane(4));
    EXPECT_EQ(nullptr, bar.GetPane(-1));
    EXPECT_EQ(-1, bar.CommandToIndex(ID_SBT_NO_STRING));
}

TEST_F(StatusBarTest, TheWindowTextIsThePaneOfIdZero)
{
    CCountingStatusBar& bar = Bar();
    m_pFrame->SetMessageText(L"Ready");
    EXPECT_EQ(CString(L"Ready"), bar.GetPaneText(0));
    EXPECT_EQ(L"Ready", WindowText(0));

    struct Case
    {
        const char* name;
        const wchar_t* text;
        int nBuffer;
        const wchar_t* expected; // what is copied before the terminator
    };
    const Case cases[] = {
        {"a buffer of five for five characters", L"Hello", 5, L"Hell"},
        {"room for all", L"Hello", 6, L"Hello"},
        {"room for the zero only", L"Hello", 1, L""},
        {"no room at all", L"Hello", 0, L""},
        {"empty", L"", 8, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(::SetWindowTextW(bar.m_hWnd, c.text));
        EXPECT_EQ(CString(c.text), bar.GetPaneText(0));
        EXPECT_EQ(static_cast<int>(wcslen(c.text)), ::GetWindowTextLengthW(bar.m_hWnd));
        wchar_t buffer[16];
        wmemset(buffer, L'#', 16);
        const LRESULT nCopied =
            bar.SendMessage(WM_GETTEXT, static_cast<WPARAM>(c.nBuffer), reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(static_cast<LRESULT>(wcslen(c.expected)), nCopied);
        EXPECT_EQ(std::wstring(c.expected), std::wstring(buffer, static_cast<size_t>(nCopied)));
        if (c.nBuffer > 0) {
            EXPECT_EQ(L'\0', buffer[nCopied]);
        }
        // Nothing written past the buffer; a zero-length buffer is not touched at all.
        EXPECT_EQ(L'#', buffer[c.nBuffer]);
    }
    // GetWindowText reports what it copied.
    wchar_t five[5];
    ::SetWindowTextW(bar.m_hWnd, L"Hello");
    EXPECT_EQ(4, ::GetWindowTextW(bar.m_hWnd, five, 5));
    EXPECT_EQ(std::wstring(L"Hell"), five);

    // A text that is not set (the pane is hidden) answers FALSE.
    bar.GetPane(0)->SetVisible(FALSE);
    EXPECT_FALSE(::SetWindowTextW(bar.m_hWnd, L"Hidden"));
    bar.GetPane(0)->SetVisible(TRUE);

    // Without a pane of id 0 there is no text to set or get.
    bar.RemoveIndexed(0);
    EXPECT_FALSE(::SetWindowTextW(bar.m_hWnd, L"Lost"));
    wchar_t buffer[8] = L"#######";
    EXPECT_EQ(0, bar.SendMessage(WM_GETTEXT, 8, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_EQ(L'\0', buffer[0]);
    EXPECT_EQ(0, bar.SendMessage(WM_GETTEXTLENGTH));
}

TEST(StatusBarPanes, TextsSetBeforeTheWindowExistsAreShownAfterwardsAndMissingStringsRefuseIndicators)
{
    CStatusFrame* pFrame = new CStatusFrame;
    ASSERT_TRUE(pFrame->Create(NULL, L"Status bar", WS_OVERLAPPEDWINDOW, CRect(40, 40, 440, 240)));
    CXTPStatusBar& bar = pFrame->m_wndStatusBar;
    ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
    EXPECT_EQ(4, bar.GetPaneCount());
    EXPECT_TRUE(bar.SetPaneText(0, L"Before the window"));
    bar.GetPane(2)->SetText(L"NUM");

    const UINT missing[] = {ID_SEPARATOR, ID_SBT_NO_STRING};
    EXPECT_FALSE(bar.SetIndicators(missing, 2));
    EXPECT_EQ(4, bar.GetPaneCount());
    // Id 0 stretches from width 0 (the first one without borders); the others are as wide as their
    // string up to the line feed, in the status font.
    EXPECT_EQ(static_cast<UINT>(SBPS_NOBORDERS | SBPS_STRETCH), bar.GetPane(0)->GetStyle());
    EXPECT_EQ(0, bar.GetPane(0)->GetWidth());
    EXPECT_EQ(static_cast<UINT>(SBPS_NORMAL), bar.GetPane(1)->GetStyle());
    EXPECT_EQ(CString(L"Deleted files"), bar.GetPaneText(1));
    const LOGFONTW status = StatusFont();
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&status));
    CWindowDC screenDC(NULL);
    CFont* pOldFont = screenDC.SelectObject(&font);
    EXPECT_EQ(screenDC.GetTextExtent(CString(L"Deleted files")).cx, bar.GetPane(1)->GetWidth());
    screenDC.SelectObject(pOldFont);
    // An indicator added later is made the same way, at its index.
    CXTPStatusBarPane* pAdded = bar.AddIndicator(ID_SEPARATOR, 2);
    EXPECT_EQ(static_cast<UINT>(SBPS_STRETCH), pAdded->GetStyle());
    EXPECT_EQ(2, pAdded->GetIndex());
    EXPECT_EQ(3, bar.CommandToIndex(ID_SBT_CAPS));
    bar.RemoveIndexed(2);
    EXPECT_EQ(2, bar.CommandToIndex(ID_SBT_CAPS));

    // The texts wait for the window's first paint.
    ASSERT_TRUE(bar.Create(pFrame));
    pFrame->RecalcLayout();
    wchar_t text[64] = {};
    EXPECT_EQ(4, bar.SendMessage(SB_GETPARTS, 0, 0));
    bar.SendMessage(SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(L""), text);
    pFrame->ShowWindow(SW_SHOWNOACTIVATE);
    pFrame->UpdateWindow();
    bar.SendMessage(SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(L"Before the window"), text);
    bar.SendMessage(SB_GETTEXT, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(L"NUM"), text);
    bar.SendMessage(SB_SETMINHEIGHT, 30);
    EXPECT_EQ(30, bar.GetMinHeight());
    pFrame->DestroyWindow();
    PumpMessages();
}

TEST_F(StatusBarTest, IdleTimeBringsTexts_StatesAndADelayedHide)
{
    CCountingStatusBar& bar = Bar();
    m_pFrame->m_bCapsEnabled = FALSE;
    Idle();
    bar.UpdateWindow();
    EXPECT_EQ(CString(L"7 MB"), bar.GetPaneText(3));
    EXPECT_EQ(L"7 MB", WindowText(3));
    EXPECT_TRUE(bar.GetPane(2)->GetStyle() & SBPS_DISABLED);
    EXPECT_EQ(L"", WindowText(2));
    // The mode pane has no handler and keeps its state.
    EXPECT_EQ(static_cast<UINT>(SBPS_NORMAL), bar.GetPane(1)->GetStyle());

    // A delayed hide happens at idle, and the view takes the bar's place.
    m_pFrame->m_bCapsEnabled = TRUE;
    m_pFrame->ShowControlBar(&bar, FALSE, TRUE);
    EXPECT_TRUE(bar.IsWindowVisible());
    const int nBarTop = InFrame(&bar).top;
    EXPECT_EQ(nBarTop, InFrame(m_pView).bottom);
    Idle();
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_EQ(FrameClient().bottom, InFrame(m_pView).bottom);
    // A hidden bar is not updated.
    EXPECT_TRUE(bar.GetPane(2)->GetStyle() & SBPS_DISABLED);
    m_pFrame->ShowControlBar(&bar, TRUE, TRUE);
    Idle();
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(nBarTop, InFrame(m_pView).bottom);
    EXPECT_FALSE(bar.GetPane(2)->GetStyle() & SBPS_DISABLED);
}

// A window that is no frame, holding a status bar and answering for one indicator.
class CStatusHost : public CWnd
{
public:
    CXTPStatusBar m_wndStatusBar;

protected:
    afx_msg void OnUpdateSize(CCmdUI* pCmdUI) { pCmdUI->SetText(L"from the host"); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CStatusHost, CWnd)
    ON_UPDATE_COMMAND_UI(ID_SBT_SIZE, OnUpdateSize)
END_MESSAGE_MAP()
// clang-format on

TEST(StatusBarPanes, AnOwnerThatIsNoFrameUpdatesThePanes)
{
    CStatusHost host;
    ASSERT_TRUE(
        host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP, CRect(50, 50, 350, 150), NULL, 0));
    ASSERT_TRUE(host.m_wndStatusBar.Create(&host));
    ASSERT_TRUE(host.m_wndStatusBar.SetIndicators(kIndicators, 4));
    host.m_wndStatusBar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(CString(L"from the host"), host.m_wndStatusBar.GetPaneText(3));
    host.DestroyWindow();
}

// A pane window that records what it was asked to draw and the background under it.
class CRecordingPaneWnd : public CXTPStatusBarPaneWnd
{
public:
    void DrawContent(CDC* pDC, CRect rectClient) override
    {
        m_drawn.push_back(rectClient);
        m_clrBackground = pDC->GetPixel(rectClient.right - 1, rectClient.bottom - 1);
    }
    std::vector<CRect> m_drawn;
    COLORREF m_clrBackground = CLR_INVALID;
};

TEST_F(StatusBarTest, HostedWindowsLieOverTheirPanesInsideTheEdgesAndIdleTimeLeavesThemAlone)
{
    CCountingStatusBar& bar = Bar();
    CXTPStatusBarPane* pHosted = bar.AddIndicator(ID_SBT_HOSTED, 3);
    pHosted->SetWidth(100);
    CRecordingPaneWnd paneWnd;
    ASSERT_TRUE(paneWnd.Create(&bar, CRect(0, 0, 10, 10), 100, L"progress"));
    EXPECT_EQ(CString(L"progress"), paneWnd.GetText());
    const ULONG_PTR nClassStyle = ::GetClassLongPtrW(paneWnd.m_hWnd, GCL_STYLE);
    EXPECT_EQ(static_cast<ULONG_PTR>(CS_DBLCLKS | CS_BYTEALIGNCLIENT),
              nClassStyle & (CS_DBLCLKS | CS_BYTEALIGNCLIENT | CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(0u, ::GetClassLongPtrW(paneWnd.m_hWnd, GCLP_HCURSOR));
    EXPECT_EQ(0u, ::GetClassLongPtrW(paneWnd.m_hWnd, GCLP_HBRBACKGROUND));

    CStatic label;
    ASSERT_TRUE(label.Create(L"label", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &bar, 101));
    pHosted->SetChild(paneWnd.m_hWnd);
    bar.GetPane(0)->SetChild(label.m_hWnd);
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    const auto expectOver = [&](CWnd& wnd, int nIndex, int nInset) {
        CRect rectPane, rectWnd;
        bar.GetItemRect(nIndex, &rectPane);
        rectPane.DeflateRect(nInset, nInset);
        wnd.GetWindowRect(&rectWnd);
        bar.ScreenToClient(&rectWnd);
        EXPECT_EQ(rectPane, rectWnd) << nIndex;
    };
    expectOver(paneWnd, 3, cxEdge);
    expectOver(label, 0, 0); // the first pane has no borders

    // The frame's handler disables the command at idle: the pane's disabled bit, not the window.
    m_pFrame->m_bHostedEnabled = FALSE;
    Idle();
    EXPECT_TRUE(pHosted->GetStyle() & SBPS_DISABLED);
    EXPECT_TRUE(paneWnd.IsWindowEnabled());
    EXPECT_TRUE(paneWnd.IsWindowVisible());
    expectOver(paneWnd, 3, cxEdge);

    // A new size moves them and the pane window repaints at once, over its face colour.
    paneWnd.m_drawn.clear();
    bar.SetPaneWidth(3, 150);
    expectOver(paneWnd, 3, cxEdge);
    ASSERT_FALSE(paneWnd.m_drawn.empty());
    CRect rectClient;
    paneWnd.GetClientRect(&rectClient);
    EXPECT_EQ(rectClient, paneWnd.m_drawn.back());
    EXPECT_EQ(GetColorTable()->GetColor(COLOR_3DFACE), paneWnd.m_clrBackground);

    // A window that is gone is left alone.
    label.DestroyWindow();
    bar.LayoutPanes(TRUE, TRUE);
    expectOver(paneWnd, 3, cxEdge);
}

TEST_F(StatusBarTest, TheNonClientFrameAndTheSizeGripHitTest)
{
    CCountingStatusBar& bar = Bar();
    CRect rectWindow, rectClient;
    bar.GetWindowRect(&rectWindow);
    bar.GetClientRect(&rectClient);
    bar.ClientToScreen(&rectClient);
    // CBRS_BOTTOM draws a 2-pixel border along the top; then one pixel on the left, two on the top.
    EXPECT_EQ(rectWindow.left + 1, rectClient.left);
    EXPECT_EQ(rectWindow.top + 4, rectClient.top);
    EXPECT_EQ(rectWindow.right, rectClient.right);
    EXPECT_EQ(rectWindow.bottom, rectClient.bottom);

    const auto hitTest = [&](CPoint pt) { return bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)); };
    EXPECT_EQ(HTCLIENT, hitTest(rectClient.CenterPoint()));
    EXPECT_EQ(HTCLIENT, hitTest(CPoint(rectClient.left + 2, rectClient.top + 2)));
    EXPECT_EQ(HTBOTTOMRIGHT, hitTest(CPoint(rectClient.right - 2, rectClient.bottom - 2)));
}

TEST_F(StatusBarTest, ThePaintManagerIsChosenOnlyWhenAsked)
{
    CCountingStatusBar& bar = Bar();
    EXPECT_EQ(nullptr, bar.GetPaintManager());
    bar.SetDrawWithPaintManager(TRUE);
    CXTPPaintManager::ReleaseGlobal();
    CXTPPaintManagerCore* pGlobal = bar.GetPaintManager();
    ASSERT_NE(nullptr, pGlobal);
    EXPECT_EQ(CXTPPaintManager::Instance(), pGlobal);
    EXPECT_EQ(0, pGlobal->m_nTheme);

    auto* pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    bar.SetCommandBars(pCommandBars);
    EXPECT_EQ(pGlobal, bar.GetPaintManager());
    CXTPPaintManagerCore* pOwn = CXTPPaintManager::CreateTheme(1);
    pCommandBars->SetPaintManager(pOwn);
    EXPECT_EQ(pOwn, bar.GetPaintManager());
    bar.SetCommandBars(NULL);
    pCommandBars->InternalRelease();
}

// The bar printed by the paint manager into a memory surface of its client's size.
class PaintedStatusBarTest : public StatusBarTest
{
protected:
    void SetUp() override
    {
        StatusBarTest::SetUp();
        CXTPPaintManager::SetTheme(1);
        Bar().SetDrawWithPaintManager(TRUE);
        m_pPaintManager = Bar().GetPaintManager();
    }
    std::unique_ptr<PixelSurface> Print()
    {
        const CRect rect = Client();
        auto surface = std::make_unique<PixelSurface>(rect.Width(), rect.Height(), RGB(1, 2, 3));
        Bar().SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface->dc()->m_hDC), PRF_CLIENT);
        return surface;
    }
    // What the window painted, copied from its DC into a memory DC.
    std::unique_ptr<PixelSurface> CopyWindow()
    {
        Bar().Invalidate();
        Bar().UpdateWindow();
        const CRect rect = Client();
        auto surface = std::make_unique<PixelSurface>(rect.Width(), rect.Height(), RGB(1, 2, 3));
        CClientDC windowDC(&Bar());
        ::BitBlt(surface->dc()->m_hDC, 0, 0, rect.Width(), rect.Height(), windowDC.m_hDC, 0, 0, SRCCOPY);
        return surface;
    }
    CRect ItemRect(int nIndex)
    {
        CRect rect;
        Bar().GetItemRect(nIndex, &rect);
        return rect;
    }
    int CountIn(PixelSurface& surface, const CRect& rect, COLORREF clr)
    {
        int nCount = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                nCount += surface.Pixel(x, y) == clr;
        return nCount;
    }
    COLORREF Color(int nIndex) { return m_pPaintManager->GetColor(nIndex); }

    CXTPPaintManagerCore* m_pPaintManager = NULL;
};

TEST_F(PaintedStatusBarTest, TheBarIsFilledFramedAndGrippedByThePaintManager)
{
    CCountingStatusBar& bar = Bar();
    ASSERT_NE(nullptr, m_pPaintManager);
    EXPECT_TRUE(bar.SendMessage(WM_ERASEBKGND, 0));
    auto surface = CopyWindow();
    const CRect rectClient = Client();
    // The message pane has no borders: face colour throughout its edge.
    const CRect rectMessage = ItemRect(0);
    EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(rectMessage.left, rectMessage.CenterPoint().y));
    EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(rectMessage.CenterPoint().x, rectMessage.top));
    // The others: a one-pixel frame in colour 16 on all four sides, the face outside and inside it.
    for (int nIndex = 1; nIndex < bar.GetPaneCount(); ++nIndex) {
        SCOPED_TRACE(nIndex);
        const CRect rect = ItemRect(nIndex);
        for (const CPoint pt : {CPoint(rect.left, rect.top + 3), CPoint(rect.right - 1, rect.top + 3),
                                CPoint(rect.left + 3, rect.top), CPoint(rect.left + 3, rect.bottom - 1)})
            EXPECT_EQ(Color(COLOR_3DSHADOW), surface->Pixel(pt.x, pt.y)) << pt.x << "," << pt.y;
        EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(rect.left - 1, rect.top + 3));
        EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(rect.left + 1, rect.top + 1));
    }
    // The size grip's lines in the client's corner.
    const int r = rectClient.right - 1, b = rectClient.bottom - 1;
    EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(r, b));
    EXPECT_EQ(Color(COLOR_3DSHADOW), surface->Pixel(r - 1, b));
    EXPECT_EQ(Color(COLOR_3DHIGHLIGHT), surface->Pixel(r - 3, b));
    EXPECT_EQ(Color(COLOR_3DSHADOW), surface->Pixel(r, b - 5));
    EXPECT_EQ(Color(COLOR_3DHIGHLIGHT), surface->Pixel(r - 3, b - 4));

    // Printing draws what the window paints.
    auto printed = Print();
    int nDiffering = 0;
    for (int y = 0; y < rectClient.Height(); ++y)
        for (int x = 0; x < rectClient.Width(); ++x)
            nDiffering += printed->Pixel(x, y) != surface->Pixel(x, y);
    EXPECT_EQ(0, nDiffering);

    // No grip on a maximised frame (the last pane, now at the corner, without borders).
    m_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
    PumpMessages();
    bar.SetPaneStyle(3, SBPS_NOBORDERS);
    surface = CopyWindow();
    const CRect rectMax = Client();
    ASSERT_EQ(rectMax.right, ItemRect(3).right);
    for (int d : {1, 2, 3, 5, 7})
        EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(rectMax.right - 1 - d, rectMax.bottom - 1)) << d;
}

TEST_F(PaintedStatusBarTest, PaneEntriesShowTheirColoursAndDisabledPanesTheirState)
{
    CCountingStatusBar& bar = Bar();
    CXTPStatusBarPane* pMode = bar.GetPane(1);
    CXTPStatusBarPane* pSize = bar.GetPane(3);
    pMode->SetTextColor(RGB(220, 0, 0));
    pSize->SetBackgroundColor(RGB(0, 0, 200));
    auto surface = Print();
    PixelSurface modeOnly(ItemRect(1).Width(), ItemRect(1).Height(), RGB(255, 255, 255));
    const CRect rectMode = ItemRect(1);
    ::BitBlt(modeOnly.dc()->m_hDC, 0, 0, rectMode.Width(), rectMode.Height(), surface->dc()->m_hDC,
             rectMode.left, rectMode.top, SRCCOPY);
    const int nRedPixels = modeOnly.CountDominant(0);
    EXPECT_GT(nRedPixels, 5);
    // A font of the pane's own in place of the bar's, until it is taken away.
    LOGFONTW bigFont = StatusFont();
    bigFont.lfHeight = -16;
    bigFont.lfWeight = FW_BOLD;
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&bigFont));
    const auto redPixelsWith = [&](CFont* pFont) {
        pMode->SetTextFont(pFont);
        auto printed = Print();
        ::BitBlt(modeOnly.dc()->m_hDC, 0, 0, rectMode.Width(), rectMode.Height(), printed->dc()->m_hDC,
                 rectMode.left, rectMode.top, SRCCOPY);
        return modeOnly.CountDominant(0);
    };
    EXPECT_GT(redPixelsWith(&font), nRedPixels * 3 / 2);
    EXPECT_EQ(nRedPixels, redPixelsWith(NULL));
    // The background inside the pane's frame.
    const CRect rectSize = ItemRect(3);
    EXPECT_EQ(Color(COLOR_3DSHADOW), surface->Pixel(rectSize.left, rectSize.top + 3));
    EXPECT_EQ(RGB(0, 0, 200), surface->Pixel(rectSize.left + 1, rectSize.top + 1));

    // A pane that is not enabled draws its text in colour 17, whatever its own colour.
    pMode->SetEnabled(FALSE);
    surface = Print();
    ::BitBlt(modeOnly.dc()->m_hDC, 0, 0, rectMode.Width(), rectMode.Height(), surface->dc()->m_hDC,
             rectMode.left, rectMode.top, SRCCOPY);
    EXPECT_EQ(0, modeOnly.CountDominant(0));
    EXPECT_GT(CountIn(*surface, rectMode, Color(COLOR_GRAYTEXT)), 5);

    // A disabled style shows no text at all.
    pMode->SetStyle(SBPS_DISABLED);
    surface = Print();
    CRect rectInside(ItemRect(1));
    rectInside.DeflateRect(1, 1);
    EXPECT_EQ(rectInside.Width() * rectInside.Height(), CountIn(*surface, rectInside, Color(COLOR_3DFACE)));
}

// A 16 x 16 icon of one colour, stored in the process-wide image manager under the id.
void AddSolidIcon(UINT nID, COLORREF clr)
{
    std::vector<std::uint32_t> pixels(16 * 16, TestSurface::ToPixel(clr) | 0xFF000000u);
    HBITMAP hColor = MakeTestBitmap(16, 16, pixels.data());
    HBITMAP hMask = ::CreateBitmap(16, 16, 1, 1, NULL);
    HDC hMaskDC = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hMaskDC, hMask);
    ::PatBlt(hMaskDC, 0, 0, 16, 16, BLACKNESS);
    ::SelectObject(hMaskDC, hOld);
    ::DeleteDC(hMaskDC);
    ICONINFO info = {TRUE, 0, 0, hMask, hColor};
    CXTPImageHandle hImage;
    hImage.SetIcon(::CreateIconIndirect(&info));
    ::DeleteObject(hColor);
    ::DeleteObject(hMask);
    XTPImageManager()->SetCommandIcon(hImage, nID);
}

TEST(StatusBarPaintManager, EntriesAlignIconAndTextAndFillTheirBackground)
{
    CXTPPaintManager paintManager;
    paintManager.RefreshMetrics();
    const UINT nIcon = 47001;
    const COLORREF clrIcon = RGB(0, 200, 0);
    AddSolidIcon(nIcon, clrIcon);
    CXTPStatusBarPane pane;
    pane.SetIconId(nIcon);
    ASSERT_NE(nullptr, pane.GetImage());
    const CRect rect(10, 0, 110, 24);
    struct Case
    {
        const char* name;
        UINT nAlignment;
        int xIcon; // the icon's left edge
    };
    // The rectangle shrinks by 2 on each side before the entry is placed.
    const Case cases[] = {
        {"left", DT_LEFT, 12},
        {"centre", DT_CENTER, (12 + 108 - 16) / 2},
        {"right", DT_RIGHT, 108 - 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pane.SetTextAlignment(c.nAlignment);
        PixelSurface surface(120, 24, RGB(1, 2, 3));
        paintManager.DrawStatusBarPaneEntry(surface.dc(), rect, &pane);
        EXPECT_EQ(clrIcon, surface.Pixel(c.xIcon, 4));
        EXPECT_EQ(clrIcon, surface.Pixel(c.xIcon + 15, 19));
        EXPECT_NE(clrIcon, surface.Pixel(c.xIcon - 1, 12));
        EXPECT_NE(clrIcon, surface.Pixel(c.xIcon + 16, 12));
    }
    // Disabled: the disabled image, not the icon's colour.
    pane.SetEnabled(FALSE);
    pane.SetTextAlignment(DT_LEFT);
    PixelSurface disabled(120, 24, RGB(1, 2, 3));
    paintManager.DrawStatusBarPaneEntry(disabled.dc(), rect, &pane);
    EXPECT_EQ(0, disabled.Count(clrIcon));
    EXPECT_NE(RGB(1, 2, 3), disabled.Pixel(20, 12));

    // A background colour: inset by one pixel unless the pane has no borders.
    pane.SetIconId(0);
    pane.SetBackgroundColor(RGB(0, 0, 200));
    for (UINT nStyle : {UINT(SBPS_NORMAL), UINT(SBPS_NOBORDERS)}) {
        pane.SetStyle(nStyle);
        PixelSurface surface(120, 24, RGB(1, 2, 3));
        paintManager.DrawStatusBarPaneEntry(surface.dc(), rect, &pane);
        EXPECT_EQ(nStyle == SBPS_NORMAL ? RGB(1, 2, 3) : RGB(0, 0, 200), surface.Pixel(10, 0)) << nStyle;
        EXPECT_EQ(RGB(0, 0, 200), surface.Pixel(11, 1)) << nStyle;
    }
}

// The core layer's pane frame (the default theme keeps it) against the base theme's.
class CCoreBorders : public CXTPPaintManager
{
public:
    void DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL bGripperPane) override
    {
        CXTPPaintManagerCore::DrawStatusBarPaneBorder(pDC, rect, bGripperPane);
    }
};

TEST(StatusBarPaintManager, PaneFramesAndTheSizeGrip)
{
    CXTPPaintManager base;
    CCoreBorders core;
    for (CXTPPaintManagerCore* pPaintManager :
         {static_cast<CXTPPaintManagerCore*>(&base), static_cast<CXTPPaintManagerCore*>(&core)}) {
        pPaintManager->RefreshMetrics();
        PixelSurface surface(30, 20, RGB(1, 2, 3));
        pPaintManager->DrawStatusBarPaneBorder(surface.dc(), CRect(2, 2, 28, 18), FALSE);
        const COLORREF clrBottomRight = pPaintManager == &base ? pPaintManager->GetColor(COLOR_3DSHADOW)
                                                               : pPaintManager->GetColor(COLOR_3DHIGHLIGHT);
        EXPECT_EQ(pPaintManager->GetColor(COLOR_3DSHADOW), surface.Pixel(2, 10));
        EXPECT_EQ(pPaintManager->GetColor(COLOR_3DSHADOW), surface.Pixel(10, 2));
        EXPECT_EQ(clrBottomRight, surface.Pixel(27, 10));
        EXPECT_EQ(clrBottomRight, surface.Pixel(10, 17));
        EXPECT_EQ(RGB(1, 2, 3), surface.Pixel(10, 10));
    }

    // Grip diagonals counted from the corner: a gap, two shadow lines and a highlight, three times.
    base.RefreshMetrics();
    PixelSurface surface(40, 30, RGB(1, 2, 3));
    base.DrawStatusBarGripper(surface.dc(), CRect(0, 0, 40, 30));
    const COLORREF expected[13] = {RGB(1, 2, 3), 16,           16, 20, RGB(1, 2, 3), 16,          16,
                                   20,           RGB(1, 2, 3), 16, 16, 20,           RGB(1, 2, 3)};
    for (int d = 0; d < 13; ++d) {
        const COLORREF clr = expected[d] > 61 ? expected[d] : base.GetColor(static_cast<int>(expected[d]));
        // Both ends and the middle of the diagonal.
        EXPECT_EQ(clr, surface.Pixel(39 - d, 29)) << d;
        EXPECT_EQ(clr, surface.Pixel(39, 29 - d)) << d;
        EXPECT_EQ(clr, surface.Pixel(39 - d / 2, 29 - (d - d / 2))) << d;
    }
}

// A hosted window drawing two thirds of a progress bar over its face colour.
class CProgressPaneWnd : public CXTPStatusBarPaneWnd
{
public:
    void DrawContent(CDC* pDC, CRect rectClient) override
    {
        rectClient.DeflateRect(2, 3);
        pDC->Draw3dRect(&rectClient, ::GetSysColor(COLOR_3DSHADOW), ::GetSysColor(COLOR_3DHIGHLIGHT));
        rectClient.DeflateRect(1, 1);
        rectClient.right = rectClient.left + rectClient.Width() * 2 / 3;
        pDC->FillSolidRect(&rectClient, RGB(0, 120, 215));
    }
};

TEST_F(StatusBarTest, ScreenshotsOfTheSystemsLookAndThePaintManagersLook)
{
    CCountingStatusBar& bar = Bar();
    bar.SetPaneText(0, L"Scanning partition 2 of 3 for deleted files");
    CProgressPaneWnd paneWnd;
    ASSERT_TRUE(paneWnd.Create(&bar, CRect(0, 0, 10, 10), 100, L""));
    bar.GetPane(1)->SetChild(paneWnd.m_hWnd);
    bar.GetPane(3)->SetTextColor(RGB(0, 0, 160));
    for (BOOL bPaintManager : {FALSE, TRUE}) {
        bar.SetDrawWithPaintManager(bPaintManager);
        m_pFrame->RedrawWindow(NULL, NULL,
                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(
            m_pFrame->m_hWnd,
            bPaintManager ? L"toolkit_status_bar_paint_manager" : L"toolkit_status_bar_system"));
    }
}

} // namespace
