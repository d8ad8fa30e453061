// The MDI tab client on a real MDI frame: the children as tabs without their frames, the group
// commands and their enabling, an emptied group going away, the tab activated when one closes, and a
// splitter drag driven by posted messages.
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "mdi_tab_client.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using commandbars_test::MdiBarsFrame;
using commandbars_test::PumpMessages;

class MdiTabClient : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new MdiBarsFrame;
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

    MdiBarsFrame* m_pFrame = NULL;
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

} // namespace
