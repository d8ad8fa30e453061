// The MDI tab client on a real MDI frame: the children as tabs without their frames, the group
// commands and their enabling, an emptied group going away, the tab activated when one closes, and a
// splitter drag driven by posted messages.
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "frame_wnd.h"
#include "list_item_controls.h"
#include "mdi_tab_client.h"
#include "tab_color_set.h"
#include "tab_paint_manager.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using commandbars_test::PumpMessages;

// The toolkit's MDI frame with command bars and no bar in them.
class TabClientFrame : public CXTPMDIFrameWnd
{
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
        m_pCommandBars->AttachFrame(this);
        m_pCommandBars->CreateDockBars();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(TabClientFrame, CXTPMDIFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

// What the frame answers for a command's state.
class EnableRecorder : public CCmdUI
{
public:
    void Enable(BOOL bOn) override { m_nEnabled = bOn ? 1 : 0; }
    int m_nEnabled = -1;
};

class MdiTabClient : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new TabClientFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_CB_MDI, WS_OVERLAPPEDWINDOW));
        m_pFrame->SetWindowPos(&CWnd::wndTop, 40, 40, 640, 420, SWP_SHOWWINDOW);
        PumpMessages();
    }
    void TearDown() override
    {
        m_client.Detach();
        m_pFrame->DestroyWindow();
        PumpMessages();
    }
    CMDIChildWnd* AddChild(LPCWSTR lpszTitle)
    {
        auto* pChild = new CMDIChildWnd;
        if (!pChild->Create(NULL, lpszTitle, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                            CFrameWnd::rectDefault, m_pFrame))
            return NULL;
        ::SetWindowLongPtrW(pChild->GetSafeHwnd(), GWL_EXSTYLE,
                            ::GetWindowLongPtrW(pChild->GetSafeHwnd(), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        PumpMessages();
        m_children.push_back(pChild);
        return pChild;
    }
    CRect ChildRect(CWnd* pChild) const
    {
        CRect rect;
        pChild->GetWindowRect(&rect);
        ::MapWindowPoints(NULL, m_pFrame->m_hWndMDIClient, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    HWND Active() const
    {
        return reinterpret_cast<HWND>(::SendMessageW(m_pFrame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    }

    TabClientFrame* m_pFrame = NULL;
    CXTPTabClientWnd m_client;
    std::vector<CMDIChildWnd*> m_children;
};

TEST_F(MdiTabClient, ASingleChildCannotOpenAGroup)
{
    ASSERT_NE(nullptr, AddChild(L"Only"));
    ASSERT_TRUE(m_client.Attach(m_pFrame));
    EXPECT_FALSE(m_client.OnUpdateCommand(XTP_ID_WORKSPACE_NEWHORIZONTAL));
    EXPECT_FALSE(m_client.OnUpdateCommand(XTP_ID_WORKSPACE_NEWVERTICAL));
    EXPECT_TRUE(m_client.OnUpdateCommand(XTP_ID_WORKSPACE_CANCEL));
}

TEST_F(MdiTabClient, ChildrenBecomeTabsAndMoveBetweenGroups)
{
    for (LPCWSTR lpszTitle : {L"First", L"Second", L"Third"})
        ASSERT_NE(nullptr, AddChild(lpszTitle));
    ASSERT_TRUE(m_client.Attach(m_pFrame));
    PumpMessages();
    ASSERT_EQ(1, m_client.GetGroupCount());
    CXTPTabClientGroup* pGroup = m_client.GetGroup(0);
    EXPECT_EQ(3, pGroup->GetItemCount());
    for (CMDIChildWnd* pChild : m_children) {
        EXPECT_EQ(0, ::GetWindowLongPtrW(pChild->GetSafeHwnd(), GWL_STYLE) & 0xC70000);
        EXPECT_EQ(0, ::GetWindowLongPtrW(pChild->GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(pGroup->GetClientRect(), ChildRect(pChild));
        EXPECT_NE(nullptr, m_client.FindItem(pChild->GetSafeHwnd()));
    }
    EXPECT_FALSE(m_client.OnUpdateCommand(XTP_ID_WORKSPACE_MOVEPREVIOUS));
    EXPECT_FALSE(m_client.OnUpdateCommand(XTP_ID_WORKSPACE_MOVENEXT));

    CRect rcClient;
    ::GetClientRect(m_pFrame->m_hWndMDIClient, &rcClient);
    const HWND hMoved = Active();
    m_client.OnCommand(XTP_ID_WORKSPACE_NEWVERTICAL);
    PumpMessages();
    ASSERT_EQ(2, m_client.GetGroupCount());
    EXPECT_FALSE(m_client.IsHorizontalGroups());
    EXPECT_EQ((rcClient.Width() - m_client.GetSplitterWidth()) / 2, m_client.GetGroup(1)->m_rcGroup.Width());
    EXPECT_EQ(m_client.GetGroup(1), m_client.FindItem(hMoved)->GetTabManager());
    EXPECT_FALSE(m_client.OnUpdateCommand(XTP_ID_WORKSPACE_NEWHORIZONTAL));
    EXPECT_TRUE(m_client.OnUpdateCommand(XTP_ID_WORKSPACE_MOVEPREVIOUS));
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pFrame->GetSafeHwnd(), L"mdi_tab_client_two_groups"));
    // The splitter between the groups is the paint manager's.
    {
        HDC hDC = ::GetDC(m_pFrame->m_hWndMDIClient);
        const CPoint centre = m_client.GetGroup(0)->m_rcSplitter.CenterPoint();
        EXPECT_EQ(static_cast<COLORREF>(m_client.GetPaintManager()->GetColorSet()->m_clrHeaderFace.m_clrStart),
                  ::GetPixel(hDC, centre.x, centre.y));
        ::ReleaseDC(m_pFrame->m_hWndMDIClient, hDC);
    }

    // A splitter drag within the pair's bounds; Escape ends it.
    const CRect rcSplitter = m_client.GetGroup(0)->m_rcSplitter;
    const HWND hClient = m_pFrame->m_hWndMDIClient;
    const int y = rcSplitter.CenterPoint().y;
    ::PostMessageW(hClient, WM_MOUSEMOVE, 0, MAKELPARAM(rcSplitter.left - 100, y));
    ::PostMessageW(hClient, WM_MOUSEMOVE, 0, MAKELPARAM(-500, y));
    ::PostMessageW(hClient, WM_KEYDOWN, VK_ESCAPE, 0);
    ::SendMessageW(hClient, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rcSplitter.left, y));
    EXPECT_EQ(0, m_client.GetGroup(0)->m_rcGroup.Width());
    EXPECT_EQ(rcClient.Width() - m_client.GetSplitterWidth(), m_client.GetGroup(1)->m_rcGroup.Width());
    EXPECT_NE(hClient, ::GetCapture());

    m_client.OnCommand(XTP_ID_WORKSPACE_MOVEPREVIOUS);
    PumpMessages();
    ASSERT_EQ(1, m_client.GetGroupCount());
    EXPECT_EQ(rcClient, m_client.GetGroup(0)->m_rcGroup);
    EXPECT_EQ(3, m_client.GetGroup(0)->GetItemCount());
}

TEST_F(MdiTabClient, ClosingTheSelectedChildActivatesItsRightNeighbourElseItsLeft)
{
    for (LPCWSTR lpszTitle : {L"A", L"B", L"C"})
        ASSERT_NE(nullptr, AddChild(lpszTitle));
    ASSERT_TRUE(m_client.Attach(m_pFrame));
    CXTPTabClientGroup* pGroup = m_client.GetGroup(0);
    const auto Window = [&](int i) { return static_cast<HWND>(pGroup->GetItem(i)->GetData()); };
    const HWND hMiddle = Window(1), hRight = Window(2), hLeft = Window(0);
    m_pFrame->MDIActivate(CWnd::FromHandle(hMiddle));
    PumpMessages();
    ::SendMessageW(m_pFrame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hMiddle), 0);
    PumpMessages();
    EXPECT_EQ(hRight, Active());
    ::SendMessageW(m_pFrame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hRight), 0);
    PumpMessages();
    EXPECT_EQ(hLeft, Active());
    EXPECT_EQ(1, pGroup->GetItemCount());
}

TEST_F(MdiTabClient, FrameRoutesTheGroupCommandsToTheAttachedTabClient)
{
    for (LPCWSTR lpszTitle : {L"One", L"Two"})
        ASSERT_NE(nullptr, AddChild(lpszTitle));
    const auto State = [&](UINT nId) {
        EnableRecorder state;
        state.m_nID = nId;
        return m_pFrame->OnCmdMsg(nId, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, NULL)
                   ? state.m_nEnabled
                   : -1;
    };
    // Without a tab client the frame has no handler for them.
    EXPECT_EQ(nullptr, CXTPTabClientWnd::FromClientWindow(m_pFrame->m_hWndMDIClient));
    EXPECT_EQ(-1, State(XTP_ID_WORKSPACE_NEWVERTICAL));

    ASSERT_TRUE(m_client.Attach(m_pFrame));
    EXPECT_EQ(&m_client, CXTPTabClientWnd::FromClientWindow(m_pFrame->m_hWndMDIClient));
    // Laying out all the bars again lays out the groups too.
    ::SetWindowPos(m_children[0]->GetSafeHwnd(), NULL, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    m_pFrame->GetCommandBars()->RecalcAllLayouts();
    EXPECT_EQ(m_client.GetGroup(0)->GetClientRect(), ChildRect(m_children[0]));
    EXPECT_EQ(1, State(XTP_ID_WORKSPACE_NEWHORIZONTAL));
    EXPECT_EQ(1, State(XTP_ID_WORKSPACE_NEWVERTICAL));
    EXPECT_EQ(0, State(XTP_ID_WORKSPACE_MOVEPREVIOUS));
    EXPECT_EQ(0, State(XTP_ID_WORKSPACE_MOVENEXT));
    EXPECT_EQ(1, State(XTP_ID_WORKSPACE_CANCEL));

    // The menu entry lists what can be done, in its order, with the strings' texts.
    CXTPPopupBar* pMenu = CXTPPopupBar::CreatePopupBar(m_pFrame->GetCommandBars());
    ASSERT_NE(nullptr, pMenu);
    pMenu->GetControls()->Add(xtpControlButton, ID_CB_ITEM_ONE);
    CXTPControl* pActions = new CXTPControlWorkspaceActions;
    pMenu->GetControls()->AddControl(pActions, XTP_ID_WORKSPACE_ACTIONS);
    pActions->SetBeginGroup(TRUE);
    const auto Entries = [&]() {
        pMenu->CalcDynamicLayout(0, 0);
        std::vector<std::pair<int, CString>> entries;
        for (int i = pActions->GetIndex() + 1; i < pMenu->GetControlCount(); ++i)
            entries.emplace_back(pMenu->GetControl(i)->GetID(), pMenu->GetControl(i)->GetCaption());
        return entries;
    };
    using Entries_t = std::vector<std::pair<int, CString>>;
    EXPECT_EQ((Entries_t{{XTP_ID_WORKSPACE_NEWHORIZONTAL, L"New Hori&zontal Tab Group"},
                         {XTP_ID_WORKSPACE_NEWVERTICAL, L"New &Vertical Tab Group"}}),
              Entries());
    EXPECT_FALSE(pActions->IsVisible());
    EXPECT_TRUE(pMenu->GetControl(pActions->GetIndex() + 1)->GetBeginGroup());
    EXPECT_FALSE(pMenu->GetControl(pActions->GetIndex() + 2)->GetBeginGroup());

    // A command through the frame opens the group; the list follows.
    const HWND hMoved = Active();
    CRect rcClient;
    ::GetClientRect(m_pFrame->m_hWndMDIClient, &rcClient);
    m_pFrame->SendMessage(WM_COMMAND, XTP_ID_WORKSPACE_NEWHORIZONTAL);
    PumpMessages();
    ASSERT_EQ(2, m_client.GetGroupCount());
    EXPECT_TRUE(m_client.IsHorizontalGroups());
    EXPECT_EQ((rcClient.Height() - m_client.GetSplitterWidth()) / 2, m_client.GetGroup(1)->m_rcGroup.Height());
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pFrame->GetSafeHwnd(), L"mdi_tab_client_stacked_groups"));
    EXPECT_EQ(m_client.GetGroup(1), m_client.FindItem(hMoved)->GetTabManager());
    EXPECT_EQ((Entries_t{{XTP_ID_WORKSPACE_MOVEPREVIOUS, L"Move to P&revious Tab Group"}}), Entries());
    pMenu->InternalRelease();

    m_client.Detach();
    EXPECT_EQ(nullptr, CXTPTabClientWnd::FromClientWindow(m_pFrame->m_hWndMDIClient));
    EXPECT_EQ(-1, State(XTP_ID_WORKSPACE_MOVEPREVIOUS));
}

TEST_F(MdiTabClient, ClientFrameTakesThePlaceOfTheClientEdge)
{
    ASSERT_NE(nullptr, AddChild(L"Framed"));
    const HWND hClient = m_pFrame->m_hWndMDIClient;
    const auto ClientEdge = [&]() { return (::GetWindowLongPtrW(hClient, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; };
    // The frame's width on each side: window minus client, halved.
    const auto FrameWidth = [&]() {
        CRect rcWindow, rcClient;
        ::GetWindowRect(hClient, &rcWindow);
        ::GetClientRect(hClient, &rcClient);
        EXPECT_EQ(rcWindow.Width() - rcClient.Width(), rcWindow.Height() - rcClient.Height());
        return (rcWindow.Width() - rcClient.Width()) / 2;
    };
    ASSERT_TRUE(ClientEdge());
    ASSERT_TRUE(m_client.Attach(m_pFrame));
    EXPECT_FALSE(ClientEdge());
    struct Case
    {
        int nFrame;
        int nWidth;
    };
    for (const Case& c : {Case{xtpTabFrameSingleLine, 1}, Case{xtpTabFrameNone, 0}, Case{xtpTabFrameBorder, 2}}) {
        SCOPED_TRACE(c.nFrame);
        m_client.GetPaintManager()->m_nClientFrame = c.nFrame;
        ::SetWindowPos(hClient, NULL, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        PumpMessages();
        EXPECT_EQ(c.nWidth, FrameWidth());
        CRect rcClient;
        ::GetClientRect(hClient, &rcClient);
        EXPECT_EQ(rcClient, m_client.GetGroup(0)->m_rcGroup);
    }
    // The border is drawn in the window's own DC from the colour set.
    ::RedrawWindow(hClient, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    CXTPTabColorSet* pColors = m_client.GetPaintManager()->GetColorSet();
    HDC hDC = ::GetWindowDC(hClient);
    EXPECT_EQ(static_cast<COLORREF>(pColors->m_clrFrameShadow), ::GetPixel(hDC, 5, 0));
    EXPECT_EQ(static_cast<COLORREF>(pColors->m_clrFrameDarkShadow), ::GetPixel(hDC, 5, 1));
    ::ReleaseDC(hClient, hDC);

    m_client.Detach();
    EXPECT_TRUE(ClientEdge());
    EXPECT_EQ(::GetSystemMetrics(SM_CXEDGE), FrameWidth());
}

} // namespace
