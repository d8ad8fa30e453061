// The splitter container's division of its room, and its bars dragged live and as an outline by
// messages posted before the drag's loop starts.
#include "docking_test_frame.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class SplitterLengthTest : public ::testing::Test
{
protected:
    void SetUp() override { m_layout = m_manager.CreateLayout(); }
    void TearDown() override { m_layout->InternalRelease(); }
    CXTPDockingPane* Pane(int cx, int nMin = 0, int nMax = 32000)
    {
        CXTPDockingPane* pPane =
            static_cast<CXTPDockingPane*>(m_manager.CreatePaneOfType(xtpPaneTypeDockingPane, m_layout));
        pPane->m_szDocking = CSize(cx, cx);
        pPane->SetMinTrackSize(CSize(nMin, nMin));
        pPane->SetMaxTrackSize(CSize(nMax, nMax));
        return pPane;
    }
    std::vector<int> Widths(const std::vector<CXTPDockingPaneBase*>& panes, int nWidth = 1000)
    {
        std::vector<int> widths;
        for (const CRect& rc : CXTPDockingPaneSplitterContainer::DivideRect(
                 panes, TRUE, 4, CRect(0, 0, nWidth, 50), m_manager.m_bHideClient, FALSE))
            widths.push_back(rc.Width());
        return widths;
    }

    CXTPDockingPaneManager m_manager;
    CXTPDockingPaneLayout* m_layout = nullptr;
};

TEST_F(SplitterLengthTest, LengthTable)
{
    CXTPDockingPaneBase* pClient = m_layout->GetClient();
    struct Case
    {
        const char* name;
        std::vector<CXTPDockingPaneBase*> panes;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"docked 200 beside the client", {Pane(200), pClient}, {200, 796}},
        {"client first", {pClient, Pane(200)}, {796, 200}},
        {"minimum track 300 over docking width 100", {Pane(100, 300), pClient}, {300, 696}},
        {"maximum track 150 under docking width 400", {Pane(400, 0, 150), pClient}, {150, 846}},
        {"weights without the client", {Pane(200), Pane(300)}, {398, 598}},
        {"overflow given back by the last fixed", {Pane(100, 600), Pane(100, 600)}, {600, 396}},
        {"nothing docked", {Pane(0), Pane(0)}, {0, 996}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Widths(c.panes), c.expected);
    }
    // With the client hidden, a sized child keeps its size and the client is an ordinary child.
    m_manager.m_bHideClient = TRUE;
    EXPECT_TRUE(pClient->IsEmpty());
    EXPECT_EQ(Widths({Pane(200), Pane(300)}), (std::vector<int>{398, 598}));
}

class SplitterDragTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_frame = std::make_unique<CDockingTestFrame>();
        ASSERT_TRUE(m_frame->CreateTestFrame());
        m_pane = m_frame->AddPane(1, L"Left", CSize(200, 200), xtpPaneDockLeft);
        m_pane->SetMinTrackSize(CSize(50, 50));
        m_frame->Layout();
        CXTPDockingPaneSplitterContainer* pTop = m_frame->m_paneManager.GetLayout()->GetTopContainer();
        ASSERT_EQ(pTop->GetSplitters().size(), 1u);
        m_splitter = pTop->GetSplitters()[0];
        ASSERT_EQ(RectInParent(m_splitter->m_hWnd).left, 200);
    }
    void TearDown() override
    {
        m_frame->DestroyWindow();
        m_frame.reset();
    }
    // Posts a move of the mouse to x in the frame's client area; the frame stays where it is while the
    // bar moves, so the point means the same whenever the loop reads it.
    void PostMoveTo(int x) { ::PostMessageW(m_frame->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 100)); }
    void PressBar() { m_splitter->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 100)); }
    int LeftWidth() { return RectInParent(m_pane->GetContainer()->GetWindow()->m_hWnd).Width(); }

    std::unique_ptr<CDockingTestFrame> m_frame;
    CXTPDockingPane* m_pane = nullptr;
    CXTPDockingPaneSplitterWnd* m_splitter = nullptr;
};

TEST_F(SplitterDragTest, LiveDragStopsAtTheNeighboursMinimumAndEscapeKeepsTheSizesReached)
{
    m_frame->m_paneManager.m_bUseSplitterTracker = FALSE;
    PostMoveTo(10);
    ::PostMessageW(m_splitter->m_hWnd, WM_LBUTTONUP, 0, 0);
    PressBar();
    EXPECT_EQ(LeftWidth(), 50);

    m_frame->m_paneManager.m_nSplitterGap = 22;
    m_pane->SetMinTrackSize(CSize(0, 0));
    PostMoveTo(5);
    PostMoveTo(120);
    ::PostMessageW(m_splitter->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PressBar();
    EXPECT_EQ(LeftWidth(), 120);
    EXPECT_EQ(::GetCapture(), nullptr);

    PostMoveTo(0);
    ::PostMessageW(m_splitter->m_hWnd, WM_LBUTTONUP, 0, 0);
    PressBar();
    EXPECT_EQ(LeftWidth(), 22);
}

TEST_F(SplitterDragTest, OutlineDragAppliesOnceAtRelease)
{
    m_frame->m_paneManager.m_bUseSplitterTracker = TRUE;
    PostMoveTo(300);
    ::PostMessageW(m_splitter->m_hWnd, WM_LBUTTONUP, 0, 0);
    PressBar();
    // The frame relays at its next idle time; until then nothing moved.
    EXPECT_EQ(LeftWidth(), 200);
    m_frame->Layout();
    EXPECT_EQ(LeftWidth(), 300);

    // Escape leaves everything as it was.
    PostMoveTo(100);
    ::PostMessageW(m_splitter->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PressBar();
    m_frame->Layout();
    EXPECT_EQ(LeftWidth(), 300);

    // Locked splitters do not move.
    m_frame->m_paneManager.m_bLockSplitters = TRUE;
    PostMoveTo(100);
    ::PostMessageW(m_splitter->m_hWnd, WM_LBUTTONUP, 0, 0);
    PressBar();
    PumpMessages();
    m_frame->Layout();
    EXPECT_EQ(LeftWidth(), 300);
}

TEST_F(SplitterDragTest, AZeroLengthJoinedRectangleChangesNothing)
{
    const CSize szBefore = m_pane->GetContainer()->m_szDocking;
    m_splitter->Reposition(10, CRect(40, 0, 40, 100));
    EXPECT_EQ(m_pane->GetContainer()->m_szDocking, szBefore);
}

} // namespace
