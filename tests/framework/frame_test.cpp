// Frames and views on the test display: the layout of bars and view, delayed layout and showing,
// idle-time command states of bars, command routing and accelerators, status messages, menus
// brought up to date, and the lives of views.
#include <afxext.h>
#include <afxpriv.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame_test_ids.h"
#include "support/screenshot.h"
#include "test_app.h"

namespace {

std::vector<std::wstring> g_log;

void Log(const wchar_t* who, UINT nID)
{
    CString entry;
    entry.Format(L"%s:%u", who, nID);
    g_log.push_back(entry.GetString());
}

// Pumps what is queued through the thread's pre-translation, as the application's loop does.
void PumpQueued()
{
    MSG msg;
    while (::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE);
            continue;
        }
        AfxPumpMessage();
    }
}

int g_viewsDeleted = 0;

class CLayoutView : public CView
{
    DECLARE_DYNCREATE(CLayoutView)
public:
    ~CLayoutView() override { ++g_viewsDeleted; }
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, RGB(250, 250, 235));
        pDC->TextOut(8, 8, L"view 59648");
    }
    void OnInitialUpdate() override
    {
        ++m_nInitialUpdates;
        CView::OnInitialUpdate();
    }
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override
    {
        m_activations.push_back(bActivate);
        CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    }
    int m_nInitialUpdates = 0;
    std::vector<BOOL> m_activations;

protected:
    afx_msg void OnCmdView() { Log(L"view", ID_CMD_VIEW); }
    afx_msg void OnCmdChain() { Log(L"view", ID_CMD_CHAIN); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CLayoutView, CView)
// clang-format off
BEGIN_MESSAGE_MAP(CLayoutView, CView)
    ON_COMMAND(ID_CMD_VIEW, OnCmdView)
END_MESSAGE_MAP()
// clang-format on

// A view whose window refuses to be made.
class CRefusingView : public CLayoutView
{
    DECLARE_DYNCREATE(CRefusingView)
protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CRefusingView, CLayoutView)
// clang-format off
BEGIN_MESSAGE_MAP(CRefusingView, CLayoutView)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

// Records the state that the target's update handler gives the bar's one item.
class CRecordingCmdUI : public CCmdUI
{
public:
    int m_nEnabled = -1;
    void Enable(BOOL bOn) override
    {
        m_nEnabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
};

// A bar of fixed height along its edge that counts its layout messages.
class CTestBar : public CControlBar
{
public:
    explicit CTestBar(int nHeight) : m_nHeight(nHeight) {}
    BOOL CreateBar(CWnd* pParent, DWORD dwStyle, UINT nID)
    {
        m_dwStyle = dwStyle & CBRS_ALL;
        return CWnd::Create(NULL, NULL, (dwStyle & ~CBRS_ALL) | WS_CHILD, CRect(0, 0, 0, 0), pParent, nID);
    }
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override
    {
        return CSize((bStretch && bHorz) ? 32767 : m_nHeight, (bStretch && bHorz) ? m_nHeight : 32767);
    }
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override
    {
        CRecordingCmdUI state;
        state.m_nID = ID_CMD_BAR;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
        m_nLastEnabled = state.m_nEnabled;
        m_pLastTarget = pTarget;
    }
    CRect RectInParent() const
    {
        CRect rect;
        GetWindowRect(&rect);
        GetParent()->ScreenToClient(&rect);
        return rect;
    }
    int m_nHeight;
    int m_nSizeParents = 0;
    int m_nLastEnabled = -1;
    CFrameWnd* m_pLastTarget = NULL;

protected:
    afx_msg LRESULT OnSizeParentCounted(WPARAM wParam, LPARAM lParam)
    {
        ++m_nSizeParents;
        return OnSizeParent(wParam, lParam);
    }
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        CRect rect;
        GetClientRect(&rect);
        dc.FillSolidRect(&rect, RGB(200, 215, 235));
        DrawBorders(&dc, rect);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(6, 2, (m_dwStyle & CBRS_ALIGN_TOP) ? L"top bar" : L"bottom bar");
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTestBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParentCounted)
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

int g_framesDeleted = 0;

class CTestFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CTestFrame)
public:
    ~CTestFrame() override { ++g_framesDeleted; }
    BOOL m_bBarCommandEnabled = TRUE;

protected:
    afx_msg void OnCmdView() { Log(L"frame", ID_CMD_VIEW); }
    afx_msg void OnCmdFrame() { Log(L"frame", ID_CMD_FRAME); }
    afx_msg void OnCmdAccel() { Log(L"frame", ID_CMD_ACCEL); }
    afx_msg void OnCmdBar() {}
    afx_msg void OnUpdateCmdBar(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bBarCommandEnabled); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
// clang-format off
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_COMMAND(ID_CMD_VIEW, OnCmdView)
    ON_COMMAND(ID_CMD_FRAME, OnCmdFrame)
    ON_COMMAND(ID_CMD_ACCEL, OnCmdAccel)
    ON_COMMAND(ID_CMD_BAR, OnCmdBar)
    ON_UPDATE_COMMAND_UI(ID_CMD_BAR, OnUpdateCmdBar)
END_MESSAGE_MAP()
// clang-format on

CRect WindowRectIn(CWnd* pWnd, CWnd* pParent)
{
    CRect rect;
    pWnd->GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    return rect;
}

// A frame from resources with a view of the context's class, two bars and a hidden one.
class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        g_viewsDeleted = 0;
        g_framesDeleted = 0;
        m_pFrame = new CTestFrame;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CLayoutView);
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW, NULL, &context));
        ASSERT_TRUE(m_top.CreateBar(m_pFrame, WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR));
        ASSERT_TRUE(m_bottom.CreateBar(m_pFrame, WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_CONTROLBAR_FIRST + 0x10));
        ASSERT_TRUE(m_hidden.CreateBar(m_pFrame, CBRS_TOP, AFX_IDW_CONTROLBAR_FIRST + 0x11));
        m_pView = static_cast<CLayoutView*>(m_pFrame->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE));
        ASSERT_NE(m_pView, nullptr);
        theApp.m_pMainWnd = m_pFrame;
        m_pFrame->InitialUpdateFrame(NULL, FALSE);
        ShowWithoutActivating(*m_pFrame);
        Resize(640, 480);
    }
    void TearDown() override
    {
        if (m_pFrame != NULL && ::IsWindow(m_hFrame()))
            m_pFrame->DestroyWindow();
        theApp.m_pMainWnd = NULL;
        DrainMessages();
    }
    HWND m_hFrame() const { return g_framesDeleted == 0 ? m_pFrame->m_hWnd : NULL; }
    void Resize(int cx, int cy)
    {
        m_pFrame->SetWindowPos(NULL, 20, 20, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CRect Client() const
    {
        CRect rect;
        m_pFrame->GetClientRect(&rect);
        return rect;
    }
    void ExpectLayout(CWnd* pView, int nTop, int nBottom)
    {
        const CRect client = Client();
        EXPECT_EQ(m_top.RectInParent(), CRect(0, 0, client.right, nTop));
        if (nBottom > 0) {
            EXPECT_EQ(m_bottom.RectInParent(),
                      CRect(0, client.bottom - nBottom, client.right, client.bottom));
        }
        EXPECT_EQ(WindowRectIn(pView, m_pFrame), CRect(0, nTop, client.right, client.bottom - nBottom));
    }

    CTestFrame* m_pFrame = NULL;
    CLayoutView* m_pView = NULL;
    CTestBar m_top{30};
    CTestBar m_bottom{20};
    CTestBar m_hidden{25};
};

TEST_F(FrameTest, BarsTakeTheirEdgesAndTheViewGetsExactlyTheRestAtEverySize)
{
    EXPECT_EQ(m_pFrame->GetTitle(), L"Test Frame");
    EXPECT_NE(m_pFrame->m_hAccelTable, nullptr);
    EXPECT_NE(m_pFrame->m_hMenuDefault, nullptr);
    // The frame's class carries icon IDR_TEST_FRAME; the framework's own class keeps the default.
    HICON hFrameIcon = reinterpret_cast<HICON>(::GetClassLongPtr(m_pFrame->m_hWnd, GCLP_HICON));
    EXPECT_NE(hFrameIcon, ::LoadIcon(NULL, IDI_APPLICATION));
    EXPECT_NE(hFrameIcon, nullptr);
    EXPECT_EQ(m_pFrame->GetControlBar(AFX_IDW_TOOLBAR), &m_top);
    ExpectLayout(m_pView, 30, 20);
    const int nHiddenBefore = m_hidden.m_nSizeParents;
    EXPECT_GT(nHiddenBefore, 0);
    test_support::WriteWindowScreenshot(m_pFrame->m_hWnd, L"frame_bars_and_view");

    Resize(800, 600);
    ExpectLayout(m_pView, 30, 20);
    EXPECT_GT(m_hidden.m_nSizeParents, nHiddenBefore); // a hidden bar in the range is asked too
    EXPECT_TRUE(m_hidden.GetStyle() & WS_VISIBLE ? false : true);

    // A second view takes the first pane's id: the layout gives it the rest.
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CLayoutView);
    CWnd* pOther = m_pFrame->CreateView(&context, AFX_IDW_PANE_FIRST + 1);
    ASSERT_NE(pOther, nullptr);
    m_pView->SetDlgCtrlID(AFX_IDW_PANE_FIRST + 1);
    pOther->SetDlgCtrlID(AFX_IDW_PANE_FIRST);
    m_pFrame->RecalcLayout();
    ExpectLayout(pOther, 30, 20);

    // A layout that only asks what is left changes nothing.
    CRect rest;
    m_pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rest);
    EXPECT_EQ(rest, CRect(0, 30, Client().right, Client().bottom - 20));
}

TEST_F(FrameTest, DelayedLayoutAndHidingHappenAtIdleTime)
{
    m_top.m_nHeight = 40;
    m_pFrame->DelayRecalcLayout();
    EXPECT_EQ(m_pFrame->m_nIdleFlags, static_cast<UINT>(CFrameWnd::idleLayout | CFrameWnd::idleNotify));
    ExpectLayout(m_pView, 30, 20); // nothing yet
    theApp.OnIdle(0);
    EXPECT_EQ(m_pFrame->m_nIdleFlags, 0u);
    ExpectLayout(m_pView, 40, 20);

    // The toolkit sets the layout flag by itself.
    m_top.m_nHeight = 35;
    m_pFrame->m_nIdleFlags |= CFrameWnd::idleLayout;
    theApp.OnIdle(0);
    ExpectLayout(m_pView, 35, 20);

    m_pFrame->ShowControlBar(&m_top, FALSE, TRUE);
    EXPECT_TRUE(m_top.GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(m_top.IsVisible()); // the pending hide already counts
    theApp.OnIdle(0);
    EXPECT_FALSE(m_top.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(WindowRectIn(m_pView, m_pFrame), CRect(0, 0, Client().right, Client().bottom - 20));

    // The view's menu command shows it again at once.
    m_pFrame->SendMessage(WM_COMMAND, AFX_IDW_TOOLBAR);
    EXPECT_TRUE(m_top.GetStyle() & WS_VISIBLE);
    ExpectLayout(m_pView, 35, 20);
}

TEST_F(FrameTest, BarsTakeTheirStateFromTheFrameAtIdleAlsoInASecondOwnedFrame)
{
    theApp.OnIdle(0);
    EXPECT_EQ(m_top.m_pLastTarget, m_pFrame);
    EXPECT_EQ(m_top.m_nLastEnabled, 1);
    EXPECT_EQ(m_hidden.m_pLastTarget, nullptr); // hidden bars are not updated
    m_pFrame->m_bBarCommandEnabled = FALSE;
    theApp.OnIdle(0);
    EXPECT_EQ(m_top.m_nLastEnabled, 0);

    // A floating bar: a bar in a second top-level frame, owned by the main frame.
    CFrameWnd* pSecond = new CFrameWnd;
    ASSERT_TRUE(pSecond->Create(NULL, L"second", WS_POPUP | WS_CAPTION, CRect(700, 20, 900, 120), m_pFrame));
    CTestBar floating(24);
    ASSERT_TRUE(floating.CreateBar(pSecond, WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR));
    floating.SetOwner(m_pFrame);
    ShowWithoutActivating(*pSecond);
    theApp.OnIdle(0);
    EXPECT_EQ(floating.m_pLastTarget, m_pFrame);
    EXPECT_EQ(floating.m_nLastEnabled, 0);
    m_pFrame->m_bBarCommandEnabled = TRUE;
    theApp.OnIdle(0);
    EXPECT_EQ(floating.m_nLastEnabled, 1);
    EXPECT_EQ(floating.GetTopLevelFrame(), m_pFrame);
    EXPECT_EQ(floating.GetParentFrame(), pSecond);
    pSecond->DestroyWindow();
}

TEST_F(FrameTest, CommandsGoToTheActiveViewThenTheFrameThenTheApplication)
{
    m_pFrame->SetActiveView(m_pView);
    theApp.m_commandLog.clear();
    for (UINT nID : std::vector<UINT>{ID_CMD_VIEW, ID_CMD_FRAME, ID_TEST_APP_ONLY, ID_TEST_APP_DISABLED})
        m_pFrame->PostMessage(WM_COMMAND, nID);
    PumpQueued();
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"view:33100", L"frame:33101"}));
    EXPECT_EQ(theApp.m_commandLog, (std::vector<std::wstring>{L"app:33001"}));

    // Without an active view the frame has the command.
    g_log.clear();
    m_pFrame->SetActiveView(NULL);
    m_pFrame->PostMessage(WM_COMMAND, ID_CMD_VIEW);
    PumpQueued();
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"frame:33100"}));

    // F5 runs through the loop's pre-translation into the frame's accelerators; without a table
    // it is only a key.
    g_log.clear();
    m_pView->PostMessage(WM_KEYDOWN, VK_F5, 1);
    PumpQueued();
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"frame:33102"}));
    g_log.clear();
    HACCEL hAccel = m_pFrame->m_hAccelTable;
    m_pFrame->m_hAccelTable = NULL;
    m_pView->PostMessage(WM_KEYDOWN, VK_F5, 1);
    PumpQueued();
    EXPECT_TRUE(g_log.empty());
    m_pFrame->m_hAccelTable = hAccel;
}

TEST_F(FrameTest, MenusAreBroughtUpToDateWhenTheyOpen)
{
    CMenu* pPopup = CMenu::FromHandle(::GetSubMenu(m_pFrame->m_hMenuDefault, 0));
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pPopup->m_hMenu), 0);
    const auto grayed = [&](UINT nID) { return (pPopup->GetMenuState(nID, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    EXPECT_FALSE(grayed(ID_CMD_FRAME));
    EXPECT_TRUE(grayed(ID_CMD_NOHANDLER));
    EXPECT_FALSE(grayed(ID_TEST_APP_ONLY));
    EXPECT_TRUE(grayed(ID_TEST_APP_DISABLED));

    // Without automatic disabling an item without a handler stays as it is.
    pPopup->EnableMenuItem(ID_CMD_NOHANDLER, MF_BYCOMMAND | MF_ENABLED);
    m_pFrame->m_bAutoMenuEnable = FALSE;
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pPopup->m_hMenu), 0);
    EXPECT_FALSE(grayed(ID_CMD_NOHANDLER));

    // A null default menu leaves the frame without one.
    HMENU hMenu = m_pFrame->m_hMenuDefault;
    m_pFrame->m_hMenuDefault = NULL;
    m_pFrame->OnUpdateFrameMenu(NULL);
    EXPECT_EQ(::GetMenu(m_pFrame->m_hWnd), nullptr);
    m_pFrame->m_hMenuDefault = hMenu;
    m_pFrame->OnUpdateFrameMenu(NULL);
    EXPECT_EQ(::GetMenu(m_pFrame->m_hWnd), hMenu);
}

TEST_F(FrameTest, StatusMessagesReachTheMessageBar)
{
    CStatic status;
    ASSERT_TRUE(
        status.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), m_pFrame, AFX_IDW_STATUS_BAR));
    const auto text = [&] {
        CString s;
        status.GetWindowText(s);
        return std::wstring(s.GetString());
    };
    m_pFrame->SetMessageText(ID_CMD_PROMPT);
    EXPECT_EQ(text(), L"Prompt");
    m_pFrame->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(text(), L"Ready");
    m_pFrame->SetMessageText(L"Free text");
    EXPECT_EQ(text(), L"Free text");

    // A menu item's prompt stays until the menu closes.
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_CMD_PROMPT, MF_STRING), 0);
    EXPECT_EQ(text(), L"Prompt");
    m_pFrame->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(text(), L"Prompt");
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(text(), L"Ready");
    CString strMessage;
    m_pFrame->GetMessageString(ID_CMD_NOHANDLER, strMessage);
    EXPECT_TRUE(strMessage.IsEmpty());
}

TEST_F(FrameTest, ViewsBecomeActiveByMouseAndLeaveNoActiveViewWhenDestroyed)
{
    EXPECT_EQ(m_pFrame->GetActiveView(), m_pView); // InitialUpdateFrame chose the first pane
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CLayoutView);
    CLayoutView* pOther = static_cast<CLayoutView*>(m_pFrame->CreateView(&context, AFX_IDW_PANE_FIRST + 1));
    ASSERT_NE(pOther, nullptr);
    EXPECT_TRUE(pOther->GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(pOther->GetStyle() & WS_BORDER);

    pOther->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_pFrame->m_hWnd),
                        MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(m_pFrame->GetActiveView(), pOther);
    EXPECT_EQ(m_pView->m_activations, std::vector<BOOL>{FALSE});
    EXPECT_EQ(pOther->m_activations, std::vector<BOOL>{TRUE});
    // Made active without notice: the old one is told, the new one is not.
    m_pFrame->SetActiveView(m_pView, FALSE);
    EXPECT_EQ(pOther->m_activations, (std::vector<BOOL>{TRUE, FALSE}));
    EXPECT_EQ(m_pView->m_activations, std::vector<BOOL>{FALSE});

    m_pView->DestroyWindow();
    EXPECT_EQ(m_pFrame->GetActiveView(), nullptr);
    EXPECT_EQ(g_viewsDeleted, 1);
}

TEST_F(FrameTest, ViewsMadeInsideAViewAreDeletedOnceAndFailuresLeaveNothing)
{
    m_pFrame->SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    EXPECT_EQ(m_pView->m_nInitialUpdates, 1);

    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CLayoutView);
    CWnd* pInner = CFrameWnd::CreateView(&context, AFX_IDW_PANE_FIRST, m_pView);
    ASSERT_NE(pInner, nullptr);
    EXPECT_EQ(pInner->GetParent(), m_pView);
    EXPECT_EQ(pInner->GetParentFrame(), m_pFrame);
    pInner->SendMessage(WM_CLOSE);
    EXPECT_EQ(g_viewsDeleted, 1);

    context.m_pNewViewClass = RUNTIME_CLASS(CRefusingView);
    EXPECT_EQ(CFrameWnd::CreateView(&context, AFX_IDW_PANE_FIRST, m_pView), nullptr);
    EXPECT_EQ(g_viewsDeleted, 2);
    context.m_pNewViewClass = NULL;
    EXPECT_EQ(CFrameWnd::CreateView(&context, AFX_IDW_PANE_FIRST, m_pView), nullptr);
}

TEST(FrameCreation, AMissingMenuFailsAndClosingDeletesFrameAndViewOnce)
{
    g_framesDeleted = 0;
    g_viewsDeleted = 0;
    CTestFrame* pFrame = new CTestFrame;
    EXPECT_FALSE(pFrame->LoadFrame(IDR_NO_MENU));
    EXPECT_EQ(g_framesDeleted, 1);

    pFrame = new CTestFrame;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CLayoutView);
    ASSERT_TRUE(pFrame->LoadFrame(IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW, NULL, &context));
    pFrame->SendMessage(WM_CLOSE);
    EXPECT_EQ(g_framesDeleted, 2);
    EXPECT_EQ(g_viewsDeleted, 1);
    DrainMessages();
}

TEST(WaitCursor, CommandTargetsShowTheApplicationsWaitCursor)
{
    CCmdTarget target;
    const int nBefore = theApp.m_nWaitCursorCount;
    target.BeginWaitCursor();
    EXPECT_EQ(theApp.m_nWaitCursorCount, nBefore + 1);
    target.RestoreWaitCursor();
    EXPECT_EQ(theApp.m_nWaitCursorCount, nBefore + 1);
    target.EndWaitCursor();
    EXPECT_EQ(theApp.m_nWaitCursorCount, nBefore);
}

} // namespace
