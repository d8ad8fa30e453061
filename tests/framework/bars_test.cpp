// Status bars and toolbars in a frame on the test display: the layout of bar, toolbar and view,
// panes from strings and their idle-time states, owner-drawn panes, toolbar resources, button
// states, a real click and the frame's tooltip texts.
#include <afxext.h>
#include <afxpriv.h>

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bars_test_ids.h"
#include "support/screenshot.h"
#include "test_app.h"

// Rectangles in failure messages.
inline void PrintTo(const CRect& rect, std::ostream* os)
{
    *os << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

namespace {

std::vector<std::wstring> g_commands;

class CBarsView : public CView
{
    DECLARE_DYNCREATE(CBarsView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, RGB(250, 250, 235));
        pDC->TextOut(8, 8, L"view");
    }
};
IMPLEMENT_DYNCREATE(CBarsView, CView)

// A status bar whose owner-drawn pane records what it was asked to draw.
class CLinkStatusBar : public CStatusBar
{
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDis) override
    {
        m_drawn.push_back(lpDis->rcItem);
        m_nDrawnIndex = static_cast<int>(lpDis->itemID);
        CDC* pDC = CDC::FromHandle(lpDis->hDC);
        pDC->SetTextColor(RGB(0, 0, 255));
        pDC->SetBkMode(TRANSPARENT);
        CRect rect(lpDis->rcItem);
        pDC->DrawText(L"www.example.test", &rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    std::vector<CRect> m_drawn;
    int m_nDrawnIndex = -1;
};

class CBarsFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CBarsFrame)
public:
    CLinkStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CString m_strTestPane = L"idle 1";

protected:
    afx_msg void OnRun() { g_commands.push_back(L"run"); }
    afx_msg void OnDisabled() { g_commands.push_back(L"disabled"); }
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateTestPane(CCmdUI* pCmdUI) { pCmdUI->SetText(m_strTestPane); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CBarsFrame, CFrameWnd)
// clang-format off
BEGIN_MESSAGE_MAP(CBarsFrame, CFrameWnd)
    ON_COMMAND(ID_BAR_RUN, OnRun)
    ON_COMMAND(ID_BAR_DISABLED, OnDisabled)
    ON_UPDATE_COMMAND_UI(ID_BAR_DISABLED, OnUpdateDisabled)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_TEST, OnUpdateTestPane)
END_MESSAGE_MAP()
// clang-format on

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_TEST, ID_INDICATOR_LINK, ID_INDICATOR_CAPS};

CRect RectIn(CWnd* pWnd, CWnd* pParent)
{
    CRect rect;
    pWnd->GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    return rect;
}

void PumpFor(DWORD dwMs, const std::function<bool()>& done)
{
    const DWORD dwStart = ::GetTickCount();
    MSG msg;
    while (!done() && ::GetTickCount() - dwStart < dwMs) {
        while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            if (!AfxGetThread()->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessage(&msg);
            }
        }
        ::Sleep(10);
    }
}

class BarsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_commands.clear();
        m_pFrame = new CBarsFrame;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CBarsView);
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_BARS_FRAME, WS_OVERLAPPEDWINDOW, NULL, &context));
        m_pView = m_pFrame->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        ASSERT_NE(m_pView, nullptr);
        theApp.m_pMainWnd = m_pFrame;
        m_pFrame->InitialUpdateFrame(NULL, FALSE);
    }
    void TearDown() override
    {
        if (::IsWindow(m_hFrame))
            m_pFrame->DestroyWindow();
        theApp.m_pMainWnd = NULL;
        DrainMessages();
    }
    void Show(int cx, int cy)
    {
        ShowWithoutActivating(*m_pFrame);
        m_pFrame->SetWindowPos(NULL, 20, 20, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        m_hFrame = m_pFrame->m_hWnd;
    }
    CRect Client() const
    {
        CRect rect;
        m_pFrame->GetClientRect(&rect);
        return rect;
    }

    CBarsFrame* m_pFrame = NULL;
    HWND m_hFrame = NULL;
    CWnd* m_pView = NULL;
};

TEST_F(BarsTest, StatusBarTakesTheBottomStripAndItsPanesFollowStringsAndUpdateHandlers)
{
    CLinkStatusBar& bar = m_pFrame->m_wndStatusBar;
    ASSERT_TRUE(bar.Create(m_pFrame));
    EXPECT_EQ(bar.GetDlgCtrlID(), AFX_IDW_STATUS_BAR);
    // An id without a string fails and leaves the panes as they were.
    const UINT missing[] = {ID_SEPARATOR, ID_INDICATOR_MISSING};
    EXPECT_FALSE(bar.SetIndicators(missing, 2));
    EXPECT_EQ(bar.GetCount(), 0);
    ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
    EXPECT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_CAPS), 3);
    EXPECT_EQ(bar.GetItemID(1), static_cast<UINT>(ID_INDICATOR_TEST));
    EXPECT_EQ(bar.GetPaneText(3), L"CAP");
    UINT nID, nStyle;
    int cx;
    bar.GetPaneInfo(0, nID, nStyle, cx);
    EXPECT_EQ(nStyle, static_cast<UINT>(SBPS_NOBORDERS | SBPS_STRETCH));
    bar.GetPaneInfo(2, nID, nStyle, cx);
    bar.SetPaneInfo(2, nID, SBPS_OWNERDRAW, cx + 20);

    for (const CSize size : {CSize(640, 480), CSize(800, 600)}) {
        Show(size.cx, size.cy);
        m_pFrame->RecalcLayout();
        const CRect client = Client();
        const CRect rectBar = RectIn(&bar, m_pFrame);
        EXPECT_EQ(rectBar.left, 0);
        EXPECT_EQ(rectBar.right, client.right);
        EXPECT_EQ(rectBar.bottom, client.bottom);
        EXPECT_GT(rectBar.Height(), 10);
        EXPECT_EQ(RectIn(m_pView, m_pFrame), CRect(0, 0, client.right, rectBar.top));
        // The stretching pane takes what the others leave.
        CRect rectLast;
        bar.GetItemRect(3, &rectLast);
        EXPECT_NEAR(rectLast.right, client.right, 24);
    }

    // The idle prompt posted at creation, then the frame's messages, land in pane 0.
    PumpFor(2000, [&] { return bar.GetPaneText(0) == L"Ready"; });
    EXPECT_EQ(bar.GetPaneText(0), L"Ready");
    wchar_t text[64] = {};
    bar.SendMessage(SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Ready");
    m_pFrame->SetMessageText(ID_BAR_RUN);
    EXPECT_EQ(bar.GetPaneText(0), L"Run the test");

    // Idle time: the update handler sets the test pane's text in the window.
    theApp.OnIdle(0);
    bar.SendMessage(SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"idle 1");
    m_pFrame->m_strTestPane = L"idle 2";
    theApp.OnIdle(0);
    bar.SendMessage(SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"idle 2");
    // A pane without handler keeps its state.
    EXPECT_FALSE(bar.GetPaneStyle(3) & SBPS_DISABLED);

    // The owner-drawn pane is drawn in GetItemRect's rectangle.
    bar.m_drawn.clear();
    bar.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    ASSERT_FALSE(bar.m_drawn.empty());
    CRect rectLink;
    bar.GetItemRect(2, &rectLink);
    EXPECT_EQ(bar.m_drawn.back(), rectLink);
    EXPECT_EQ(bar.m_nDrawnIndex, 2);
    EXPECT_EQ(bar.SendMessage(SB_GETPARTS, 0, 0), 4);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(RectIn(&bar, m_pFrame).Height(), bar.CalcFixedLayout(TRUE, TRUE).cy);
    bar.SendMessage(SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"idle 2");
    test_support::WriteWindowScreenshot(m_pFrame->m_hWnd, L"frame_status_bar");
}

TEST_F(BarsTest, ToolBarFromItsResourceTakesStatesAtIdleAndRunsTheFramesCommandOnAClick)
{
    CToolBar& toolBar = m_pFrame->m_wndToolBar;
    ASSERT_TRUE(toolBar.CreateEx(m_pFrame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
    EXPECT_EQ(toolBar.GetDlgCtrlID(), AFX_IDW_TOOLBAR);
    EXPECT_FALSE(toolBar.LoadToolBar(IDR_BARS_BROKEN));
    EXPECT_FALSE(toolBar.LoadToolBar(IDR_BARS_FRAME)); // no such toolbar
    ASSERT_TRUE(toolBar.LoadToolBar(IDR_BARS_TOOLBAR));
    ASSERT_TRUE(m_pFrame->m_wndStatusBar.Create(m_pFrame));
    ASSERT_TRUE(m_pFrame->m_wndStatusBar.SetIndicators(kIndicators, 4));

    // The buttons as the system's window holds them.
    const int expected[] = {ID_BAR_RUN, 0, ID_BAR_DISABLED, ID_BAR_NOHANDLER};
    ASSERT_EQ(toolBar.SendMessage(TB_BUTTONCOUNT), 4);
    for (int i = 0; i < 4; ++i) {
        TBBUTTON button = {};
        ASSERT_TRUE(toolBar.SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.idCommand, expected[i]) << i;
        EXPECT_EQ((button.fsStyle & TBSTYLE_SEP) != 0, expected[i] == 0) << i;
    }
    EXPECT_EQ(toolBar.CommandToIndex(ID_BAR_DISABLED), 2);
    EXPECT_EQ(toolBar.GetItemID(1), static_cast<UINT>(ID_SEPARATOR));
    UINT nID, nStyle;
    int iImage;
    toolBar.GetButtonInfo(3, nID, nStyle, iImage);
    EXPECT_EQ(nID, static_cast<UINT>(ID_BAR_NOHANDLER));
    EXPECT_EQ(iImage, 2);
    EXPECT_EQ(toolBar.m_sizeImage, CSize(16, 15));
    ASSERT_NE(toolBar.m_hbmImageWell, nullptr);

    Show(640, 480);
    m_pFrame->RecalcLayout();
    const CRect client = Client();
    const CRect rectBar = RectIn(&toolBar, m_pFrame);
    const CRect rectStatus = RectIn(&m_pFrame->m_wndStatusBar, m_pFrame);
    EXPECT_EQ(rectBar.TopLeft(), CPoint(0, 0));
    EXPECT_EQ(rectBar.right, client.right);
    EXPECT_GE(rectBar.Height(), 22);
    EXPECT_EQ(RectIn(m_pView, m_pFrame), CRect(0, rectBar.bottom, client.right, rectStatus.top));

    // Idle time: the frame's handler disables one, the button without a handler is disabled.
    theApp.OnIdle(0);
    EXPECT_TRUE(toolBar.SendMessage(TB_ISBUTTONENABLED, ID_BAR_RUN));
    EXPECT_FALSE(toolBar.SendMessage(TB_ISBUTTONENABLED, ID_BAR_DISABLED));
    EXPECT_FALSE(toolBar.SendMessage(TB_ISBUTTONENABLED, ID_BAR_NOHANDLER));
    EXPECT_TRUE(toolBar.GetButtonStyle(3) & TBBS_DISABLED);

    // The frame gives the tooltip after "\n" of the command's string.
    NMTTDISPINFOW info = {};
    info.hdr.hwndFrom = toolBar.m_hWnd;
    info.hdr.idFrom = ID_BAR_RUN;
    info.hdr.code = TTN_NEEDTEXTW;
    m_pFrame->SendMessage(WM_NOTIFY, ID_BAR_RUN, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, L"Run");

    test_support::WriteWindowScreenshot(m_pFrame->m_hWnd, L"frame_status_bar_and_toolbar");

    // A real click on the first button runs the frame's command.
    m_pFrame->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CRect rectButton;
    toolBar.GetItemRect(0, &rectButton);
    toolBar.ClientToScreen(&rectButton);
    const CPoint point = rectButton.CenterPoint();
    ::SetCursorPos(point.x, point.y);
    PumpFor(200, [] { return false; });
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(::SendInput(2, inputs, sizeof(INPUT)), 2u);
    PumpFor(3000, [] { return !g_commands.empty(); });
    m_pFrame->SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0], L"run");
}

} // namespace

namespace {

TEST_F(BarsTest, ReBarTakesItsBandsHeightAndATallerBandMovesTheViewDown)
{
    CToolBar& toolBar = m_pFrame->m_wndToolBar;
    ASSERT_TRUE(toolBar.CreateEx(m_pFrame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(toolBar.LoadToolBar(IDR_BARS_TOOLBAR));
    CReBar rebar;
    ASSERT_TRUE(rebar.Create(m_pFrame));
    EXPECT_EQ(rebar.GetDlgCtrlID(), AFX_IDW_REBAR);
    ASSERT_TRUE(rebar.AddBar(&toolBar));
    EXPECT_EQ(toolBar.GetParent(), &rebar);
    EXPECT_EQ(rebar.GetReBarCtrl().GetBandCount(), 1u);
    Show(640, 480);
    m_pFrame->RecalcLayout();
    const int nHeight = static_cast<int>(rebar.GetReBarCtrl().GetBarHeight());
    EXPECT_GE(nHeight, toolBar.CalcFixedLayout(FALSE, TRUE).cy);
    EXPECT_EQ(RectIn(&rebar, m_pFrame), CRect(0, 0, Client().right, nHeight));
    EXPECT_EQ(RectIn(m_pView, m_pFrame), CRect(0, nHeight, Client().right, Client().bottom));

    // A taller band: the rebar tells its parent, which lays out again.
    REBARBANDINFO band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILDSIZE;
    ASSERT_TRUE(rebar.GetReBarCtrl().GetBandInfo(0, &band));
    band.cyMinChild = 60;
    ASSERT_TRUE(rebar.GetReBarCtrl().SetBandInfo(0, &band));
    const int nTaller = static_cast<int>(rebar.GetReBarCtrl().GetBarHeight());
    EXPECT_GE(nTaller, 60);
    EXPECT_EQ(RectIn(m_pView, m_pFrame).top, nTaller);
    toolBar.DestroyWindow();
}

TEST_F(BarsTest, DockedToolBarSitsInTheTopDockBarAndLeavesItEmptyWhenRemoved)
{
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    for (UINT nID = AFX_IDW_DOCKBAR_TOP; nID <= AFX_IDW_DOCKBAR_BOTTOM; ++nID) {
        CControlBar* pDock = m_pFrame->GetControlBar(nID);
        ASSERT_NE(pDock, nullptr) << nID;
        EXPECT_TRUE(pDock->IsDockBar());
    }
    CToolBar& toolBar = m_pFrame->m_wndToolBar;
    ASSERT_TRUE(toolBar.CreateEx(m_pFrame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(toolBar.LoadToolBar(IDR_BARS_TOOLBAR));
    toolBar.EnableDocking(CBRS_ALIGN_ANY);
    m_pFrame->DockControlBar(&toolBar, AFX_IDW_DOCKBAR_TOP);
    CDockBar* pTop = static_cast<CDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(toolBar.m_pDockBar, pTop);
    EXPECT_EQ(toolBar.GetParent(), pTop);
    EXPECT_EQ(pTop->GetDockedCount(), 1);

    Show(640, 480);
    m_pFrame->RecalcLayout();
    const int nBar = toolBar.CalcFixedLayout(FALSE, TRUE).cy;
    EXPECT_EQ(RectIn(pTop, m_pFrame), CRect(0, 0, Client().right, nBar));
    EXPECT_EQ(RectIn(&toolBar, pTop).TopLeft(), CPoint(0, 0));
    EXPECT_EQ(RectIn(m_pView, m_pFrame), CRect(0, nBar, Client().right, Client().bottom));
    // The other dock bars are empty and take nothing.
    EXPECT_EQ(RectIn(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT), m_pFrame).Width(), 0);
    // A docked bar still takes its states from the frame.
    theApp.OnIdle(0);
    EXPECT_FALSE(toolBar.SendMessage(TB_ISBUTTONENABLED, ID_BAR_DISABLED));
    EXPECT_TRUE(toolBar.SendMessage(TB_ISBUTTONENABLED, ID_BAR_RUN));

    EXPECT_TRUE(pTop->RemoveControlBar(&toolBar));
    EXPECT_FALSE(pTop->RemoveControlBar(&toolBar));
    EXPECT_EQ(pTop->GetDockedCount(), 0);
    EXPECT_EQ(toolBar.m_pDockBar, nullptr);
    theApp.OnIdle(0); // the layout waits for idle time
    EXPECT_EQ(RectIn(pTop, m_pFrame).Height(), 0);
    EXPECT_EQ(RectIn(m_pView, m_pFrame), CRect(0, 0, Client().right, Client().bottom));
}

std::vector<WPARAM> g_floatStatus;

class CRecordingMiniFrame : public CMiniFrameWnd
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_FLOATSTATUS)
            g_floatStatus.push_back(wParam);
        return CMiniFrameWnd::WindowProc(message, wParam, lParam);
    }
};

// What the system is told about the frame's caption.
class CCaptionFrame : public CBarsFrame
{
public:
    std::vector<WPARAM> m_captions;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCACTIVATE)
            m_captions.push_back(wParam);
        return CBarsFrame::DefWindowProc(message, wParam, lParam);
    }
};

TEST(MiniFrameTest, SynchronisedMiniFrameKeepsItsOwnersCaptionActiveAndHearsOfItsState)
{
    g_floatStatus.clear();
    CCaptionFrame* pFrame = new CCaptionFrame;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_BARS_FRAME, WS_OVERLAPPEDWINDOW));
    pFrame->SetWindowPos(NULL, 20, 20, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    theApp.m_pMainWnd = pFrame;

    CRecordingMiniFrame* pMini = new CRecordingMiniFrame;
    ASSERT_TRUE(pMini->Create(NULL, L"Palette", WS_CAPTION | WS_SYSMENU | MFS_SYNCACTIVE | MFS_THICKFRAME,
                              CRect(300, 100, 500, 250), pFrame));
    EXPECT_TRUE(pMini->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(pMini->GetStyle() & WS_THICKFRAME);
    EXPECT_EQ(::GetWindow(pMini->m_hWnd, GW_OWNER), pFrame->m_hWnd);
    EXPECT_NE(pMini->SendMessage(WM_FLOATSTATUS, FS_SYNCACTIVE), 0);
    const HWND hMini = pMini->m_hWnd;

    // A bar inside it, owned by the frame, takes the frame's states at idle time.
    CToolBar* pBar = new CToolBar;
    pBar->m_bAutoDelete = TRUE;
    ASSERT_TRUE(pBar->CreateEx(pMini, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    pBar->SetOwner(pFrame);
    ASSERT_TRUE(pBar->LoadToolBar(IDR_BARS_TOOLBAR));
    pMini->RecalcLayout();
    pMini->ShowWindow(SW_SHOWNA);
    theApp.OnIdle(0);
    EXPECT_FALSE(pBar->SendMessage(TB_ISBUTTONENABLED, ID_BAR_DISABLED));
    EXPECT_FALSE(pBar->SendMessage(TB_ISBUTTONENABLED, ID_BAR_NOHANDLER));
    EXPECT_TRUE(pBar->SendMessage(TB_ISBUTTONENABLED, ID_BAR_RUN));

    // Disabling the frame disables its floating windows.
    g_floatStatus.clear();
    pFrame->EnableWindow(FALSE);
    ASSERT_FALSE(g_floatStatus.empty());
    EXPECT_EQ(g_floatStatus.back(), static_cast<WPARAM>(FS_DISABLE));
    EXPECT_FALSE(pMini->IsWindowEnabled());
    pFrame->EnableWindow(TRUE);
    EXPECT_EQ(g_floatStatus.back(), static_cast<WPARAM>(FS_ENABLE));
    EXPECT_TRUE(pMini->IsWindowEnabled());

    // Activating the mini frame leaves the frame's caption active.
    pFrame->SetActiveWindow();
    ASSERT_EQ(::GetActiveWindow(), pFrame->m_hWnd);
    EXPECT_EQ(g_floatStatus.back(), static_cast<WPARAM>(FS_ACTIVATE));
    EXPECT_TRUE(pMini->m_bSyncActive);
    pFrame->m_captions.clear();
    pMini->SetActiveWindow();
    EXPECT_EQ(::GetActiveWindow(), hMini);
    ASSERT_FALSE(pFrame->m_captions.empty());
    for (WPARAM wParam : pFrame->m_captions)
        EXPECT_TRUE(wParam);

    pFrame->DestroyWindow(); // the owned mini frame goes with it and deletes itself
    EXPECT_FALSE(::IsWindow(hMini));
    theApp.m_pMainWnd = NULL;
    DrainMessages();
}

std::vector<std::wstring> g_mdiLog;

class CMdiDoc : public CDocument
{
    DECLARE_DYNCREATE(CMdiDoc)
};
IMPLEMENT_DYNCREATE(CMdiDoc, CDocument)

class CMdiView : public CView
{
    DECLARE_DYNCREATE(CMdiView)
public:
    void OnDraw(CDC*) override {}

protected:
    afx_msg void OnCmd()
    {
        g_mdiLog.push_back(L"view " + std::wstring(GetDocument()->GetTitle().GetString()));
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CMdiView, CView)
// clang-format off
BEGIN_MESSAGE_MAP(CMdiView, CView)
    ON_COMMAND(ID_MDI_CMD, OnCmd)
END_MESSAGE_MAP()
// clang-format on

class CTestMDIFrame : public CMDIFrameWnd
{
    DECLARE_DYNCREATE(CTestMDIFrame)
protected:
    afx_msg void OnCmd() { g_mdiLog.push_back(L"frame"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestMDIFrame, CMDIFrameWnd)
// clang-format off
BEGIN_MESSAGE_MAP(CTestMDIFrame, CMDIFrameWnd)
    ON_COMMAND(ID_MDI_CMD, OnCmd)
END_MESSAGE_MAP()
// clang-format on

TEST(MDITest, TwoDocumentsOpenInChildFramesAndCommandsReachTheActiveChildFirst)
{
    g_mdiLog.clear();
    CTestMDIFrame* pFrame = new CTestMDIFrame;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_MDI_FRAME));
    ASSERT_NE(pFrame->m_hWndMDIClient, nullptr);
    theApp.m_pMainWnd = pFrame;
    pFrame->SetWindowPos(NULL, 20, 20, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const HMENU hFrameMenu = pFrame->m_hMenuDefault;
    ASSERT_NE(hFrameMenu, nullptr);
    EXPECT_EQ(pFrame->MDIGetActive(), nullptr);
    EXPECT_EQ(pFrame->GetActiveFrame(), pFrame);

    CMultiDocTemplate* pTemplate = new CMultiDocTemplate(
        IDR_MDI_DOC, RUNTIME_CLASS(CMdiDoc), RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CMdiView));
    ASSERT_NE(pTemplate->m_hMenuShared, nullptr);
    CDocument* pDoc1 = pTemplate->OpenDocumentFile(NULL);
    CDocument* pDoc2 = pTemplate->OpenDocumentFile(NULL);
    ASSERT_NE(pDoc1, nullptr);
    ASSERT_NE(pDoc2, nullptr);
    EXPECT_EQ(pDoc1->GetTitle(), L"MdiDoc1");
    EXPECT_EQ(pDoc2->GetTitle(), L"MdiDoc2");
    POSITION pos = pDoc2->GetFirstViewPosition();
    CFrameWnd* pChild2 = pDoc2->GetNextView(pos)->GetParentFrame();
    ASSERT_TRUE(pChild2->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)));
    EXPECT_EQ(static_cast<CMDIChildWnd*>(pChild2)->GetMDIFrame(), pFrame);

    BOOL bMaximized = TRUE;
    EXPECT_EQ(pFrame->MDIGetActive(&bMaximized), pChild2);
    EXPECT_FALSE(bMaximized);
    pFrame->MDIMaximize(pChild2);
    EXPECT_EQ(pFrame->MDIGetActive(&bMaximized), pChild2);
    EXPECT_TRUE(bMaximized);
    EXPECT_EQ(pFrame->GetActiveFrame(), pChild2);
    EXPECT_EQ(pFrame->GetActiveDocument(), pDoc2);
    // The children share the template's menu on the frame.
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), pTemplate->m_hMenuShared);

    // A command posted to the frame reaches the active child's view first.
    pFrame->PostMessage(WM_COMMAND, ID_MDI_CMD);
    PumpFor(2000, [] { return !g_mdiLog.empty(); });
    ASSERT_EQ(g_mdiLog.size(), 1u);
    EXPECT_EQ(g_mdiLog[0], L"view MdiDoc2");
    pFrame->MDINext();
    pFrame->SendMessage(WM_COMMAND, ID_MDI_CMD);
    EXPECT_EQ(g_mdiLog.back(), L"view MdiDoc1");

    // Closing both children brings the frame's own menu back.
    pDoc2->OnCloseDocument();
    pDoc1->OnCloseDocument();
    theApp.OnIdle(0);
    EXPECT_EQ(pFrame->MDIGetActive(), nullptr);
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), hFrameMenu);
    pFrame->SendMessage(WM_COMMAND, ID_MDI_CMD);
    EXPECT_EQ(g_mdiLog.back(), L"frame");

    pFrame->DestroyWindow();
    delete pTemplate;
    theApp.m_pMainWnd = NULL;
    DrainMessages();
}

} // namespace
