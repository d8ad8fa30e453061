// Docking panes on a real frame: the tree laid out around the view on WM_SIZEPARENT, docking beside
// the tree and beside panes, the containers' tabs and buttons, and the site's notifications.
#include "docking_test_frame.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"
#include "tooltip_controller.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST_F(DockingFrameTest, PanesDockedLeftBottomAndSideBySideShareTheFrameWithTheView)
{
    CXTPDockingPane* pLeft = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    CXTPDockingPane* pBottom = m_frame->AddPane(2, L"Output", CSize(150, 150), xtpPaneDockBottom);
    CXTPDockingPane* pBeside = m_frame->AddPane(3, L"Properties", CSize(120, 120), xtpPaneDockRight, pLeft);
    m_frame->Layout();

    const int nGap = m_manager->GetPaintManager()->GetSplitterSize();
    CXTPDockingPaneTabbedContainer* pLeftContainer = ContainerOf(pLeft);
    CXTPDockingPaneTabbedContainer* pBottomContainer = ContainerOf(pBottom);
    CXTPDockingPaneTabbedContainer* pBesideContainer = ContainerOf(pBeside);
    ASSERT_NE(pLeftContainer->m_hWnd, nullptr);
    ASSERT_NE(pBesideContainer->m_hWnd, nullptr);

    // The bottom made a vertical top: the old horizontal one above, the output below, the whole width.
    CXTPDockingPaneSplitterContainer* pTop = m_manager->GetLayout()->GetTopContainer();
    EXPECT_FALSE(pTop->IsHoriz());
    const CRect rcBottom = RectInParent(pBottomContainer->m_hWnd);
    EXPECT_EQ(rcBottom, CRect(0, 600 - 150, 800, 600));
    // The pane docked beside the left one shares its row, after it.
    const CRect rcLeft = RectInParent(pLeftContainer->m_hWnd);
    const CRect rcBeside = RectInParent(pBesideContainer->m_hWnd);
    EXPECT_EQ(rcLeft, CRect(0, 0, 200, 600 - 150 - nGap));
    EXPECT_EQ(rcBeside.left, 200 + nGap);
    EXPECT_EQ(rcBeside.Width(), 120);
    EXPECT_EQ(pBesideContainer->GetContainer(), pLeftContainer->GetContainer());

    // The view takes the client placeholder's place.
    const CRect rcView = RectInParent(m_frame->m_wndView.m_hWnd);
    EXPECT_EQ(rcView, m_manager->GetClientPane()->GetPaneWindowRect());
    EXPECT_EQ(rcView, CRect(rcBeside.right + nGap, 0, 800, 600 - 150 - nGap));
    EXPECT_TRUE(m_manager->IsLaidOut());

    // One splitter window per pair of neighbours that take room.
    EXPECT_EQ(pTop->GetSplitters().size(), 1u);
    m_frame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_frame->m_hWnd, L"docking_panes_frame"));
}

TEST_F(DockingFrameTest, DockingRightOfAVerticalTopMakesANewHorizontalTop)
{
    m_frame->AddPane(1, L"Top", CSize(100, 100), xtpPaneDockTop);
    CXTPDockingPaneSplitterContainer* pOldTop = m_manager->GetLayout()->GetTopContainer();
    ASSERT_FALSE(pOldTop->IsHoriz());
    CXTPDockingPane* pRight = m_frame->AddPane(2, L"Right", CSize(100, 100), xtpPaneDockRight);
    CXTPDockingPaneSplitterContainer* pTop = m_manager->GetLayout()->GetTopContainer();
    ASSERT_NE(pTop, pOldTop);
    EXPECT_TRUE(pTop->IsHoriz());
    ASSERT_EQ(pTop->GetPanes().size(), 2u);
    EXPECT_EQ(pTop->GetPanes()[0], pOldTop);
    EXPECT_EQ(pTop->GetPanes()[1], pRight->GetContainer());
    EXPECT_EQ(m_manager->GetPaneDirection(pRight->GetContainer()), xtpPaneDockRight);
}

TEST_F(DockingFrameTest, FindShowCloseAndActivateTalkToTheSite)
{
    CXTPDockingPane* pFirst = m_frame->AddPane(5, L"First", CSize(150, 150), xtpPaneDockLeft);
    CXTPDockingPane* pSecond = m_frame->AddPane(5, L"Second", CSize(150, 150), xtpPaneDockRight);
    m_frame->Layout();
    EXPECT_EQ(m_manager->FindPane(5), pFirst);
    EXPECT_EQ(m_manager->FindPane(6), nullptr);

    // Activation: a second call with the active pane sends nothing.
    m_frame->m_notifications.clear();
    m_manager->SetActivePane(TRUE, pFirst);
    m_manager->SetActivePane(TRUE, pFirst);
    m_manager->SetActivePane(TRUE, pSecond);
    EXPECT_EQ(m_frame->Actions(), (std::vector<int>{14, 15, 14}));
    m_manager->SetActivePane(FALSE, pFirst);
    EXPECT_EQ(m_frame->Actions().size(), 3u);

    // ClosePane answered -1 keeps the pane; answered otherwise it closes and keeps its record.
    CXTPDockingPaneTabbedContainer* pContainer = ContainerOf(pFirst);
    m_frame->m_lCloseAnswer = -1;
    m_manager->ClosePane(pFirst);
    EXPECT_FALSE(pFirst->IsClosed());
    m_frame->m_lCloseAnswer = 0;
    m_manager->ClosePane(pFirst);
    EXPECT_TRUE(pFirst->IsClosed());
    EXPECT_EQ(pContainer->m_hWnd, nullptr);
    EXPECT_EQ(m_manager->FindPane(5), pFirst);

    // ShowPane puts it back into its last holder.
    m_manager->ShowPane(pFirst);
    EXPECT_EQ(pFirst->GetContainer(), pContainer);
    m_frame->Layout();
    EXPECT_NE(pContainer->m_hWnd, nullptr);
    EXPECT_FALSE(RectInParent(pContainer->m_hWnd).IsRectEmpty());
}

TEST_F(DockingFrameTest, TheCloseButtonAsksTheSiteFirst)
{
    CXTPDockingPane* pPane = m_frame->AddPane(1, L"Closable", CSize(200, 200), xtpPaneDockLeft);
    m_frame->Layout();
    CXTPDockingPaneTabbedContainer* pContainer = ContainerOf(pPane);
    m_frame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CXTPDockingPaneCaptionButton* pClose = pContainer->FindCaptionButton(XTP_IDS_DOCKINGPANE_CLOSE);
    ASSERT_FALSE(pClose->GetRect().IsRectEmpty());
    const CPoint pt = pClose->GetRect().CenterPoint();
    auto click = [&]() {
        // The button's capture loop reads the release posted before the press is handled.
        ::PostMessageW(pContainer->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        ::SendMessageW(pContainer->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    };

    m_frame->m_refusedActions = {xtpPaneActionClosing};
    m_frame->m_notifications.clear();
    click();
    EXPECT_FALSE(pPane->IsClosed());
    EXPECT_EQ(m_frame->Actions(), std::vector<int>{2});

    m_frame->m_refusedActions.clear();
    m_frame->m_notifications.clear();
    click();
    EXPECT_TRUE(pPane->IsClosed());
    EXPECT_EQ(m_frame->Codes(), (std::vector<WPARAM>{4, 3, 4}));
    EXPECT_EQ(m_frame->Actions(), (std::vector<int>{2, 3}));
}

TEST_F(DockingFrameTest, ContainersSelectRemoveReorderAndAnswerHelp)
{
    CXTPDockingPane* pFirst = m_frame->AddPane(3, L"One", CSize(250, 250), xtpPaneDockLeft);
    CXTPDockingPaneTabbedContainer* pContainer = ContainerOf(pFirst);
    std::vector<CXTPDockingPane*> panes = {pFirst};
    for (int nID : {4, 5}) {
        CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(
            m_manager->CreatePaneOfType(xtpPaneTypeDockingPane, m_manager->GetLayout()));
        pPane->SetID(nID);
        pPane->SetTitle(nID == 4 ? L"Two" : L"Three");
        pContainer->AttachPane(pPane);
        panes.push_back(pPane);
    }
    m_frame->Layout();
    ASSERT_EQ(pContainer->GetItemCount(), 3);
    EXPECT_TRUE(pContainer->IsTabsVisible());

    // Help: the pane under the point, else the selected pane; the help id, else the id.
    const CRect rcTab0 = pContainer->GetItem(0)->GetRect();
    EXPECT_EQ(pContainer->SendMessage(WM_HELPHITTEST, 0,
                                      MAKELPARAM(rcTab0.CenterPoint().x, rcTab0.CenterPoint().y)),
              0x20003);
    panes[2]->SetHelpID(77);
    EXPECT_EQ(pContainer->SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(1, 1000)), 0x20000 + 77);

    // Tab 0 dragged over tab 1 swaps them.
    const CRect rcTab1 = pContainer->GetItem(1)->GetRect();
    pContainer->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                            MAKELPARAM(rcTab0.CenterPoint().x, rcTab0.CenterPoint().y));
    EXPECT_EQ(pContainer->GetSelected(), pFirst);
    pContainer->SendMessage(WM_MOUSEMOVE, MK_LBUTTON,
                            MAKELPARAM(rcTab1.CenterPoint().x, rcTab1.CenterPoint().y));
    pContainer->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rcTab1.CenterPoint().x, rcTab1.CenterPoint().y));
    ASSERT_EQ(pContainer->GetPanes().size(), 3u);
    EXPECT_EQ(pContainer->GetPanes()[0], panes[1]);
    EXPECT_EQ(pContainer->GetPanes()[1], pFirst);
    EXPECT_EQ(::GetCapture(), nullptr);

    // Dragged off the strip: action 16 is asked, and a refusal keeps the pane pressed.
    m_frame->m_notifications.clear();
    m_frame->m_refusedActions = {xtpPaneActionDetaching};
    pContainer->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                            MAKELPARAM(rcTab0.CenterPoint().x, rcTab0.CenterPoint().y));
    pContainer->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(rcTab0.CenterPoint().x, 5));
    EXPECT_EQ(m_frame->Actions(), std::vector<int>{16});
    EXPECT_NE(pContainer->m_pTrackingPane, nullptr);
    pContainer->SendMessage(WM_LBUTTONUP, 0, 0);
    m_frame->m_refusedActions.clear();

    // Removing the selected of three selects the last remaining tab.
    pContainer->SelectPane(panes[1], FALSE, TRUE);
    pContainer->RemovePane(panes[1]);
    EXPECT_EQ(pContainer->GetSelected(), pContainer->GetPanes().back());
    EXPECT_EQ(pContainer->GetItemCount(), 2);

    // Removing the last destroys the window and tells the parent: its splitter loses its bar.
    CXTPDockingPaneSplitterContainer* pTop = m_manager->GetLayout()->GetTopContainer();
    m_frame->Layout();
    EXPECT_EQ(pTop->GetSplitters().size(), 1u);
    pContainer->RemovePane(pContainer->GetPanes()[0]);
    pContainer->RemovePane(pContainer->GetPanes()[0]);
    EXPECT_EQ(pContainer->m_hWnd, nullptr);
    EXPECT_EQ(pTop->GetSplitters().size(), 0u);
    EXPECT_EQ(pContainer->GetSelected(), nullptr);
}

TEST_F(DockingFrameTest, CaptionButtonVisibility)
{
    CXTPDockingPane* pFirst = m_frame->AddPane(1, L"A", CSize(200, 200), xtpPaneDockLeft);
    CXTPDockingPane* pSecond = m_frame->AddPane(2, L"B", CSize(200, 200), xtpPaneDockBottom, pFirst);
    m_frame->Layout();
    CXTPDockingPaneTabbedContainer* pContainer = ContainerOf(pFirst);
    auto visible = [&](int nID) { return pContainer->FindCaptionButton(nID)->IsVisible() != FALSE; };

    struct Case
    {
        const char* name;
        DWORD options;
        BOOL allowMaximize;
        BOOL maximized;
        bool close, pin, maximize, restore, menu;
    };
    const Case cases[] = {
        {"plain", 0, FALSE, FALSE, true, true, false, false, false},
        {"no close", xtpPaneNoCloseable, FALSE, FALSE, false, true, false, false, false},
        {"no hide", xtpPaneNoHideable, FALSE, FALSE, true, false, false, false, false},
        {"menu", xtpPaneHasMenuButton, FALSE, FALSE, true, true, false, false, true},
        {"maximize allowed", 0, TRUE, FALSE, true, true, true, false, false},
        {"maximized", 0, TRUE, TRUE, true, true, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pFirst->SetOptions(c.options);
        m_manager->m_bShowMaximizeButton = c.allowMaximize;
        pContainer->m_bMaximized = c.maximized;
        EXPECT_EQ(visible(XTP_IDS_DOCKINGPANE_CLOSE), c.close);
        EXPECT_EQ(visible(XTP_IDS_DOCKINGPANE_AUTOHIDE), c.pin);
        EXPECT_EQ(visible(XTP_IDS_DOCKINGPANE_MAXIMIZE), c.maximize);
        EXPECT_EQ(visible(XTP_IDS_DOCKINGPANE_RESTORE), c.restore);
        EXPECT_EQ(visible(XTP_IDS_DOCKINGPANE_MENU), c.menu);
    }
    // A maximized container collapses its sibling.
    EXPECT_TRUE(ContainerOf(pSecond)->IsCollapsed());
    pContainer->m_bMaximized = FALSE;
    // The buttons' tooltips are their commands' strings.
    pFirst->SetOptions(0);
    m_manager->m_bShowMaximizeButton = FALSE;
    pContainer->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    for (int nID : {XTP_IDS_DOCKINGPANE_CLOSE, XTP_IDS_DOCKINGPANE_AUTOHIDE}) {
        TOOLINFO ti = {};
        ti.cbSize = sizeof(ti);
        const CRect rcButton = pContainer->FindCaptionButton(nID)->GetRect();
        ASSERT_EQ(pContainer->OnToolHitTest(rcButton.CenterPoint(), &ti), nID);
        EXPECT_STREQ(ti.lpszText, nID == XTP_IDS_DOCKINGPANE_CLOSE ? L"Close" : L"Auto Hide");
        CXTPToolTipController::FreeToolInfo(&ti);
    }
    // Option 8 hides the caption.
    pFirst->SetOptions(xtpPaneNoCaption);
    EXPECT_FALSE(pContainer->HasCaption());
    pFirst->SetOptions(0);
    EXPECT_TRUE(pContainer->HasCaption());
}

TEST_F(DockingFrameTest, ToggleDockingAsksFirstAndKeepsPanesThatCannotFloat)
{
    CXTPDockingPane* pFirst = m_frame->AddPane(1, L"First", CSize(200, 200), xtpPaneDockLeft);
    CXTPDockingPane* pSecond = m_frame->AddPane(2, L"Second", CSize(200, 200), xtpPaneDockRight);
    m_frame->Layout();
    CXTPDockingPaneTabbedContainer* pFirstContainer = ContainerOf(pFirst);

    // Option 4 while docked: nothing is asked and nothing moves.
    pSecond->SetOptions(xtpPaneNoFloatable);
    m_frame->m_notifications.clear();
    EXPECT_FALSE(m_manager->ToggleDockingPane(pSecond, pFirstContainer));
    m_manager->ToggleDocking(pSecond);
    EXPECT_TRUE(m_frame->Actions().empty());

    // Refused, the pane stays; allowed, it joins the holder and the report follows.
    pSecond->SetOptions(0);
    m_frame->m_refusedActions = {xtpPaneActionFloating};
    EXPECT_FALSE(m_manager->ToggleDockingPane(pSecond, pFirstContainer));
    EXPECT_NE(pSecond->GetContainer(), pFirstContainer);
    m_frame->m_refusedActions.clear();
    EXPECT_TRUE(m_manager->ToggleDockingPane(pSecond, pFirstContainer));
    EXPECT_EQ(pSecond->GetContainer(), pFirstContainer);
    EXPECT_EQ(m_frame->Actions(), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(m_manager->GetPaneHolder(pSecond, FALSE), pFirstContainer);

    // Docking a container beside another moves its panes into a new container; the old one empties.
    m_manager->DockPane(pFirstContainer, xtpPaneDockBottom);
    EXPECT_TRUE(pFirstContainer->IsEmpty());
    ASSERT_NE(pFirst->GetContainer(), nullptr);
    EXPECT_EQ(pSecond->GetContainer(), pFirst->GetContainer());
    EXPECT_EQ(m_manager->GetPaneDirection(pFirst->GetContainer()), xtpPaneDockBottom);
    m_frame->Layout();
    EXPECT_EQ(RectInParent(pFirst->GetContainer()->GetWindow()->m_hWnd).bottom, 600);
}

} // namespace
