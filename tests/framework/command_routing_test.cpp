// Commands posted to the main window: routing from the focused view to its document, the frame and
// the application; update handlers that disable a command; the message loop's pre-translation and
// idle work; and the entry point's run.
#include <afxpriv.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_app.h"

namespace {

std::vector<std::wstring> g_routeLog;

const UINT ID_CMD_VIEW = 32900;      // handled by the view, the document and the frame
const UINT ID_CMD_DOCUMENT = 32901;  // handled by the document and the frame
const UINT ID_CMD_FRAME = 32902;     // handled by the frame only
const UINT ID_CMD_DISABLED = 32903;  // the document's update handler disables it; the frame handles it
const UINT ID_CMD_ROUTED_ON = 32904; // the view's update handler passes it on; the document enables it

void Log(const wchar_t* who)
{
    const MSG* pMsg = CWnd::GetCurrentMessage();
    CString entry;
    entry.Format(L"%s:%u", who, static_cast<UINT>(LOWORD(pMsg->wParam)));
    g_routeLog.push_back(entry.GetString());
}

class CTestDocument : public CCmdTarget
{
protected:
    afx_msg void OnCommand() { Log(L"document"); }
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateEnabled(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTestDocument, CCmdTarget)
    ON_COMMAND(ID_CMD_VIEW, OnCommand)
    ON_COMMAND(ID_CMD_DOCUMENT, OnCommand)
    ON_COMMAND(ID_CMD_ROUTED_ON, OnCommand)
    ON_UPDATE_COMMAND_UI(ID_CMD_DISABLED, OnUpdateDisabled)
    ON_UPDATE_COMMAND_UI(ID_CMD_ROUTED_ON, OnUpdateEnabled)
END_MESSAGE_MAP()
// clang-format on

// A view: its own handlers, then its document's.
class CTestView : public CWnd
{
public:
    CTestDocument* m_pDocument = NULL;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        return m_pDocument != NULL && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            g_routeLog.push_back(L"view:pretranslate");
        return FALSE;
    }

protected:
    afx_msg void OnCommand() { Log(L"view"); }
    afx_msg void OnUpdateRouteOn(CCmdUI* pCmdUI) { pCmdUI->ContinueRouting(); }
    afx_msg void OnKeyDown(UINT, UINT, UINT) { g_routeLog.push_back(L"view:keydown"); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTestView, CWnd)
    ON_COMMAND(ID_CMD_VIEW, OnCommand)
    ON_UPDATE_COMMAND_UI(ID_CMD_ROUTED_ON, OnUpdateRouteOn)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()
// clang-format on

// The main window as a frame routes: the active view (and its document), itself, the application.
class CTestFrame : public CWnd
{
public:
    CTestView* m_pActiveView = NULL;
    int m_nIdleUpdates = 0;
    BOOL m_bEatKeys = FALSE;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (m_pActiveView != NULL && m_pActiveView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        CWinApp* pApp = AfxGetApp();
        return pApp != NULL && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_KEYDOWN)
            return FALSE;
        g_routeLog.push_back(L"frame:pretranslate");
        return m_bEatKeys;
    }

protected:
    afx_msg void OnCommand() { Log(L"frame"); }
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM)
    {
        ++m_nIdleUpdates;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTestFrame, CWnd)
    ON_COMMAND(ID_CMD_VIEW, OnCommand)
    ON_COMMAND(ID_CMD_DOCUMENT, OnCommand)
    ON_COMMAND(ID_CMD_FRAME, OnCommand)
    ON_COMMAND(ID_CMD_DISABLED, OnCommand)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()
// clang-format on

class CommandRouting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_routeLog.clear();
        theApp.m_commandLog.clear();
        ASSERT_TRUE(m_frame.CreateEx(0, NULL, L"frame", WS_POPUP, 0, 0, 300, 200, NULL, NULL));
        ShowWithoutActivating(m_frame);
        ASSERT_TRUE(
            m_view.Create(NULL, L"view", WS_VISIBLE, CRect(0, 0, 200, 100), &m_frame, AFX_IDW_PANE_FIRST));
        m_view.m_pDocument = &m_document;
        m_frame.m_pActiveView = &m_view;
        theApp.m_pMainWnd = &m_frame;
    }
    void TearDown() override
    {
        theApp.m_pMainWnd = NULL;
        m_frame.DestroyWindow();
        DrainMessages();
    }
    // Runs the application's loop over what was posted and its idle work, then ends it.
    int RunPosted()
    {
        theApp.m_nQuitWhenIdle = 7;
        return theApp.Run();
    }
    CTestDocument m_document;
    CTestView m_view;
    CTestFrame m_frame;
};

TEST_F(CommandRouting, ACommandReachesTheFirstHandlerInRoutingOrder)
{
    const UINT commands[] = {ID_CMD_VIEW, ID_CMD_DOCUMENT, ID_CMD_FRAME, ID_TEST_APP_ONLY, ID_CMD_ROUTED_ON};
    for (UINT nID : commands)
        m_frame.PostMessage(WM_COMMAND, nID, 0);
    EXPECT_EQ(RunPosted(), 7);
    EXPECT_EQ(g_routeLog, (std::vector<std::wstring>{L"view:32900", L"document:32901", L"frame:32902",
                                                     L"document:32904"}));
    EXPECT_EQ(theApp.m_commandLog, (std::vector<std::wstring>{L"app:33001"}));
}

TEST_F(CommandRouting, AnUpdateHandlerThatDisablesACommandStopsIt)
{
    // The frame has a handler for ID_CMD_DISABLED, but the document's update handler comes first.
    m_frame.PostMessage(WM_COMMAND, ID_CMD_DISABLED, 0);
    m_frame.PostMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_APP_DISABLED, 1), 0); // as an accelerator
    m_frame.PostMessage(WM_COMMAND, ID_CMD_FRAME, 0);
    RunPosted();
    EXPECT_EQ(g_routeLog, (std::vector<std::wstring>{L"frame:32902"}));
    EXPECT_TRUE(theApp.m_commandLog.empty());

    // The same update handlers set a menu's items.
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_CMD_DISABLED, L"Disabled");
    menu.AppendMenu(MF_STRING, ID_CMD_FRAME, L"Frame");
    menu.AppendMenu(MF_STRING, 32999, L"Nobody");
    CCmdUI state;
    state.m_pMenu = &menu;
    state.m_nIndexMax = menu.GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = menu.GetMenuItemID(static_cast<int>(state.m_nIndex));
        state.DoUpdate(&m_frame, TRUE);
    }
    EXPECT_TRUE(menu.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(menu.GetMenuState(1, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(menu.GetMenuState(2, MF_BYPOSITION) & MF_GRAYED); // no handler anywhere
}

TEST_F(CommandRouting, MessagesArePreTranslatedFromTheTargetWindowUpToTheMainWindow)
{
    m_view.PostMessage(WM_KEYDOWN, 'A', 1);
    RunPosted();
    EXPECT_EQ(g_routeLog,
              (std::vector<std::wstring>{L"view:pretranslate", L"frame:pretranslate", L"view:keydown"}));

    g_routeLog.clear();
    m_frame.m_bEatKeys = TRUE;
    m_view.PostMessage(WM_KEYDOWN, 'B', 1);
    RunPosted();
    EXPECT_EQ(g_routeLog, (std::vector<std::wstring>{L"view:pretranslate", L"frame:pretranslate"}));
}

TEST_F(CommandRouting, IdleTimeUpdatesTheMainWindowAndFreesTemporaries)
{
    CWnd::FromHandle(::GetDesktopWindow());
    ASSERT_GT(AfxGetTempObjectCount(), 0u);
    RunPosted();
    EXPECT_GT(m_frame.m_nIdleUpdates, 0);
    EXPECT_EQ(AfxGetTempObjectCount(), 0u);
}

TEST_F(CommandRouting, ChildControlsAreEnabledByTheirCommandHandlers)
{
    CButton frameButton;
    CButton orphanButton;
    ASSERT_TRUE(
        frameButton.Create(L"frame", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &m_view, ID_CMD_FRAME));
    ASSERT_TRUE(orphanButton.Create(L"orphan", WS_CHILD | WS_VISIBLE, CRect(60, 0, 110, 20), &m_view, 32998));
    m_view.UpdateDialogControls(&m_frame, TRUE);
    EXPECT_TRUE(frameButton.IsWindowEnabled());
    EXPECT_FALSE(orphanButton.IsWindowEnabled());
}

TEST(EntryPoint, AfxWinMainRunsInitInstanceTheLoopAndExitInstance)
{
    std::vector<std::wstring> steps;
    CTestFrame frame;
    theApp.m_initInstance = [&] {
        steps.push_back(L"init");
        if (!frame.CreateEx(0, NULL, L"main", WS_POPUP, 0, 0, 200, 100, NULL, NULL))
            return FALSE;
        theApp.m_pMainWnd = &frame;
        ShowWithoutActivating(frame);
        // Closing the main window ends the loop.
        frame.PostMessage(WM_COMMAND, ID_CMD_FRAME, 0);
        frame.PostMessage(WM_CLOSE);
        return TRUE;
    };
    theApp.m_exitInstance = [&] {
        steps.push_back(L"exit");
        return 42;
    };
    g_routeLog.clear();
    const int nResult = AfxWinMain(::GetModuleHandle(NULL), NULL, const_cast<LPTSTR>(L""), SW_SHOW);
    theApp.m_initInstance = nullptr;
    theApp.m_exitInstance = nullptr;
    EXPECT_EQ(nResult, 42);
    EXPECT_EQ(steps, (std::vector<std::wstring>{L"init", L"exit"}));
    EXPECT_EQ(g_routeLog, (std::vector<std::wstring>{L"frame:32902"}));
    EXPECT_EQ(frame.m_hWnd, nullptr);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);

    // A failed InitInstance skips the loop and returns ExitInstance's code.
    theApp.m_initInstance = [] { return FALSE; };
    EXPECT_EQ(AfxWinMain(::GetModuleHandle(NULL), NULL, const_cast<LPTSTR>(L""), SW_SHOW), 0);
    theApp.m_initInstance = nullptr;
    DrainMessages();
}

} // namespace
