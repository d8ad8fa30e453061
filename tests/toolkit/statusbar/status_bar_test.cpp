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

// Counts what the bar tells its own window.
class CCountingStatusBar : public CXTPStatusBar
{
public:
    int m_nSetText = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == SB_SETTEXT)
            ++m_nSetText;
        return CXTPStatusBar::WindowProc(message, wParam, lParam);
    }
};

class CStatusFrame : public CFrameWnd
{
public:
    CCountingStatusBar m_wndStatusBar;
    CString m_strSize = L"7 MB";
    BOOL m_bCapsEnabled = TRUE;

protected:
    afx_msg void OnUpdateSize(CCmdUI* pCmdUI) { pCmdUI->SetText(m_strSize); }
    afx_msg void OnUpdateCaps(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bCapsEnabled); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CStatusFrame, CFrameWnd)
    ON_UPDATE_COMMAND_UI(ID_SBT_SIZE, OnUpdateSize)
    ON_UPDATE_COMMAND_UI(ID_SBT_CAPS, OnUpdateCaps)
END_MESSAGE_MAP()
// clang-format on

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
        if (::IsWindow(m_hFrame))
            m_pFrame->DestroyWindow();
        PumpMessages();
    }

    void CreateFrame(BOOL bSizeGrip)
    {
        m_pFrame = new CStatusFrame;
        ASSERT_TRUE(m_pFrame->Create(NULL, L"Status bar", WS_OVERLAPPEDWINDOW, CRect(40, 40, 640, 340)));
        m_hFrame = m_pFrame->m_hWnd;
        ASSERT_TRUE(bSizeGrip ? Bar().Create(m_pFrame) : Bar().CreateEx(m_pFrame, 0));
        ASSERT_TRUE(Bar().SetIndicators(kIndicators, 4));
        m_pFrame->RecalcLayout();
        m_pFrame->ShowWindow(SW_SHOWNOACTIVATE);
        m_pFrame->UpdateWindow();
        PumpMessages();
    }

    CCountingStatusBar& Bar() { return m_pFrame->m_wndStatusBar; }

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
    // Makes the bar's panes these (width, stretch, visible) ones, with ids 1, 2, ...
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
            CXTPStatusBarPane* pPane = Bar().AddIndicator(static_cast<UINT>(Bar().GetPaneCount() + 1));
            pPane->SetWidth(spec.cxWidth);
            pPane->SetStyle(spec.bStretch ? SBPS_STRETCH : SBPS_NORMAL);
            pPane->SetVisible(spec.bVisible);
        }
    }

    CStatusFrame* m_pFrame = NULL;
    HWND m_hFrame = NULL;
};

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
    SetPanes({{60, FALSE, TRUE}, {0, TRUE, TRUE}});
    EXPECT_EQ(InsideRight(), Parts().back());
    m_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
    m_pFrame->RecalcLayout();
    PumpMessages();
    ASSERT_TRUE(m_pFrame->IsZoomed());
    Bar().LayoutPanes(TRUE, FALSE);
    EXPECT_EQ(Client().right, Parts().back());

    // Without the grip style the parts run to the edge as well.
    m_pFrame->DestroyWindow();
    CreateFrame(FALSE);
    EXPECT_FALSE(Bar().HasSizeGrip());
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
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"a buffer of five for five characters", L"Hello", 5, L"Hell"},
        {"room for all", L"Hello", 6, L"Hello"},
        {"room for the zero only", L"Hello", 1, L""},
        {"empty", L"", 8, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(::SetWindowTextW(bar.m_hWnd, c.text));
        EXPECT_EQ(static_cast<LRESULT>(wcslen(c.text)), bar.SendMessage(WM_GETTEXTLENGTH));
        wchar_t buffer[16];
        wmemset(buffer, L'#', 16);
        const LRESULT nCopied =
            bar.SendMessage(WM_GETTEXT, static_cast<WPARAM>(c.nBuffer), reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(std::wstring(c.expected), std::wstring(buffer));
        EXPECT_EQ(static_cast<LRESULT>(wcslen(c.expected)), nCopied);
        EXPECT_EQ(L'#', buffer[c.nBuffer]);
    }

    // Without a pane of id 0 there is no text to set or get.
    bar.RemoveAt(0);
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
    EXPECT_EQ(static_cast<UINT>(SBPS_NOBORDERS | SBPS_STRETCH), bar.GetPane(0)->GetStyle());
    EXPECT_EQ(static_cast<UINT>(SBPS_NORMAL), bar.GetPane(1)->GetStyle());
    EXPECT_GT(bar.GetPane(1)->GetWidth(), bar.GetPane(2)->GetWidth());

    ASSERT_TRUE(bar.Create(pFrame));
    EXPECT_EQ(20, bar.GetMinHeight());
    pFrame->RecalcLayout();
    pFrame->ShowWindow(SW_SHOWNOACTIVATE);
    pFrame->UpdateWindow();
    wchar_t text[64] = {};
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
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    bar.UpdateWindow();
    EXPECT_EQ(CString(L"7 MB"), bar.GetPaneText(3));
    EXPECT_EQ(L"7 MB", WindowText(3));
    EXPECT_TRUE(bar.GetPane(2)->GetStyle() & SBPS_DISABLED);
    EXPECT_EQ(L"", WindowText(2));
    // The mode pane has no handler and keeps its state.
    EXPECT_EQ(static_cast<UINT>(SBPS_NORMAL), bar.GetPane(1)->GetStyle());

    m_pFrame->m_bCapsEnabled = TRUE;
    bar.DelayShow(FALSE);
    EXPECT_TRUE(bar.IsWindowVisible());
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_FALSE(bar.IsWindowVisible());
    // A hidden bar is not updated.
    EXPECT_TRUE(bar.GetPane(2)->GetStyle() & SBPS_DISABLED);
    bar.DelayShow(TRUE);
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(bar.IsWindowVisible());
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

TEST_F(StatusBarTest, HostedWindowsLieOverTheirPanesInsideTheEdges)
{
    CCountingStatusBar& bar = Bar();
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
    bar.GetPane(3)->SetChild(paneWnd.m_hWnd);
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
    auto surface = Print();
    const CRect rectClient = Client();
    // The message pane has no borders: face colour throughout its edge.
    const CRect rectMessage = ItemRect(0);
    EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(rectMessage.left, rectMessage.CenterPoint().y));
    // The others: a one-pixel frame in colour 16 on all four sides.
    const CRect rectCaps = ItemRect(2);
    for (const CPoint pt :
         {CPoint(rectCaps.left, rectCaps.top + 3), CPoint(rectCaps.right - 1, rectCaps.top + 3),
          CPoint(rectCaps.left + 3, rectCaps.top), CPoint(rectCaps.left + 3, rectCaps.bottom - 1)})
        EXPECT_EQ(Color(COLOR_3DSHADOW), surface->Pixel(pt.x, pt.y)) << pt.x << "," << pt.y;
    EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(rectCaps.left - 1, rectCaps.top + 3));
    // The size grip in the client's corner.
    const int r = rectClient.right - 1, b = rectClient.bottom - 1;
    EXPECT_EQ(Color(COLOR_3DFACE), surface->Pixel(r, b));
    EXPECT_EQ(Color(COLOR_3DSHADOW), surface->Pixel(r - 1, b));
    EXPECT_EQ(Color(COLOR_3DHIGHLIGHT), surface->Pixel(r - 3, b));
    EXPECT_EQ(Color(COLOR_3DSHADOW), surface->Pixel(r, b - 5));

    // The window paints, double-buffered, what it prints.
    bar.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CClientDC windowDC(&bar);
    const std::vector<std::uint32_t> painted = test_support::CaptureDc(windowDC.m_hDC, rectClient);
    ASSERT_EQ(static_cast<size_t>(rectClient.Width() * rectClient.Height()), painted.size());
    int nDiffering = 0;
    for (int y = 0; y < rectClient.Height(); ++y)
        for (int x = 0; x < rectClient.Width(); ++x)
            nDiffering += painted[static_cast<size_t>(y * rectClient.Width() + x)] !=
                          TestSurface::ToPixel(surface->Pixel(x, y));
    EXPECT_EQ(0, nDiffering);

    // No grip on a maximised frame (the last pane, now at the corner, without borders).
    m_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
    PumpMessages();
    bar.SetPaneStyle(3, SBPS_NOBORDERS);
    surface = Print();
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
    EXPECT_GT(modeOnly.CountDominant(0), 5);
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
