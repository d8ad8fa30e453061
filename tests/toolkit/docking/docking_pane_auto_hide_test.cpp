// Auto-hidden panes on a real frame: the pin puts a container on a strip at the frame's edge, the
// strip's tabs open the pane in a window that slides out and back, the window's edge drag, a panel
// that goes while its window is still closing, windows left open when they do not close on leave, and
// the tab icons of each state.
#include "docking_pane_auto_hide.h"
#include "docking_test_frame.h"
#include "image_manager.h"
#include "support/screenshot.h"
#include "tab_appearance_set.h"
#include "tab_paint_manager.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The auto-hide windows shown in the site, found by walking its children.
std::vector<HWND> ShownAutoHideWindows(CWnd* pSite)
{
    std::vector<HWND> windows;
    for (HWND hChild = ::GetWindow(pSite->m_hWnd, GW_CHILD); hChild != NULL;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (dynamic_cast<CXTPDockingPaneAutoHideWnd*>(CWnd::FromHandlePermanent(hChild)) != nullptr &&
            ::IsWindowVisible(hChild))
            windows.push_back(hChild);
    }
    return windows;
}

class DockingAutoHideTest : public DockingFrameTest
{
protected:
    void TearDown() override
    {
        CXTPDockingPaneAutoHideWnd::m_bCloseOnLeave = TRUE;
        DockingFrameTest::TearDown();
    }
    CXTPDockingPaneAutoHidePanel* Panel(int nSide) const
    {
        return static_cast<CXTPDockingPaneAutoHidePanel*>(m_manager->GetLayout()->m_wndSidePanels[nSide]);
    }
    // A press on the container's pin, released where it was pressed.
    static void ClickPin(CXTPDockingPaneTabbedContainer* pContainer)
    {
        pContainer->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        const CPoint pt =
            pContainer->FindCaptionButton(XTP_IDS_DOCKINGPANE_AUTOHIDE)->GetRect().CenterPoint();
        ::PostMessageW(pContainer->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        ::SendMessageW(pContainer->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    }
    int ExpectedThickness() const
    {
        CXTPTabAppearanceSet* pSet =
            m_manager->GetPaintManager()->GetAutoHidePanelPaintManager()->GetAppearanceSet();
        const CRect rcMargin = pSet->GetHeaderMargin();
        return pSet->GetButtonHeight() + rcMargin.top + rcMargin.bottom;
    }
    // The centre of a tab of the panel, in the panel's client coordinates.
    static CPoint TabPoint(CXTPDockingPaneAutoHidePanel* pPanel, int nGroup, int nTab)
    {
        return pPanel->GetGroups()[nGroup]->GetItem(nTab)->GetRect().CenterPoint();
    }
    // Two panes hidden on the left in one group, and the window of the first open.
    CXTPDockingPaneAutoHideWnd* OpenFirstOfTwo(CXTPDockingPane** ppFirst, CXTPDockingPane** ppSecond)
    {
        *ppFirst = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
        *ppSecond = m_frame->AddTab(2, L"Output", *ppFirst);
        m_frame->Layout();
        m_manager->HidePane(*ppFirst);
        m_frame->Layout();
        CXTPDockingPaneAutoHidePanel* pPanel = Panel(xtpPaneDockLeft);
        if (pPanel == nullptr)
            return nullptr;
        pPanel->OpenPane(*ppFirst);
        return pPanel->GetShownWindow();
    }
};

TEST_F(DockingAutoHideTest, PinPutsTheContainerOnAStripAndTheViewReachesIt)
{
    CXTPDockingPane* pFirst = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->Layout();
    m_frame->m_notifications.clear();
    ClickPin(ContainerOf(pFirst));
    EXPECT_EQ(m_frame->Actions(), (std::vector<int>{8, 9}));
    m_frame->Layout();

    CXTPDockingPaneAutoHidePanel* pPanel = Panel(xtpPaneDockLeft);
    ASSERT_NE(pPanel, nullptr);
    ASSERT_NE(pPanel->m_hWnd, nullptr);
    EXPECT_TRUE(pFirst->IsHidden());
    const int nThickness = ExpectedThickness();
    EXPECT_GT(nThickness, 0);
    EXPECT_EQ(RectInParent(pPanel->m_hWnd), CRect(0, 0, nThickness, 600));
    EXPECT_EQ(RectInParent(m_frame->m_wndView.m_hWnd), CRect(nThickness, 0, 800, 600));

    // A second container on that edge: a second group 8 pixels below the first.
    CXTPDockingPane* pSecond = m_frame->AddPane(2, L"Output", CSize(150, 150), xtpPaneDockLeft);
    m_frame->Layout();
    m_manager->HidePane(pSecond);
    m_frame->Layout();
    ASSERT_EQ(pPanel->GetGroups().size(), 2u);
    EXPECT_EQ(pPanel->GetGroups()[1]->m_rcGroup.top, pPanel->GetGroups()[0]->m_rcGroup.bottom + 8);
    EXPECT_EQ(pPanel->PaneFromPoint(TabPoint(pPanel, 1, 0)), pSecond);

    // Both back home: the panel holds empty containers, has no window and takes no room.
    m_manager->ToggleDocking(pFirst);
    m_manager->ToggleDocking(pSecond);
    m_frame->Layout();
    EXPECT_FALSE(pFirst->IsHidden());
    EXPECT_TRUE(pPanel->IsEmpty());
    EXPECT_EQ(pPanel->GetWindow(), nullptr);
    EXPECT_EQ(std::min(RectInParent(pFirst->GetContainer()->GetWindow()->m_hWnd).left,
                       RectInParent(pSecond->GetContainer()->GetWindow()->m_hWnd).left),
              0);
}

TEST_F(DockingAutoHideTest, TheWindowSlidesOutInEightStepsAndBackAfterSixChecks)
{
    CXTPDockingPane *pFirst = nullptr, *pSecond = nullptr;
    m_frame->m_notifications.clear();
    CXTPDockingPaneAutoHideWnd* pWnd = OpenFirstOfTwo(&pFirst, &pSecond);
    ASSERT_NE(pWnd, nullptr);
    EXPECT_EQ(m_frame->Actions(), std::vector<int>{12});
    ASSERT_EQ(pWnd->GetStepsCount(), 8);
    const CRect rcFull = pWnd->GetFullRect();
    // The pane's width and the resize edge, beside the strip.
    EXPECT_EQ(rcFull.left, ExpectedThickness());
    EXPECT_EQ(rcFull.Width(), 204);
    EXPECT_EQ(RectInParent(pWnd->m_hWnd).Width(), rcFull.Width() / 8);
    for (int i = 0; i < 7; ++i)
        pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerSlideOut);
    EXPECT_EQ(RectInParent(pWnd->m_hWnd), rcFull);
    EXPECT_EQ(m_frame->Actions().back(), 12);
    pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerSlideOut);
    EXPECT_EQ(m_frame->Actions().back(), 13);
    EXPECT_EQ(pWnd->GetStep(), 7);
    EXPECT_EQ(::GetParent(ContainerOf(pFirst)->m_hWnd), pWnd->m_hWnd);

    // The mouse far away: six checks, then the owner is asked; a refusal keeps it open and restarts.
    CRect rcFrame;
    m_frame->GetWindowRect(&rcFrame);
    const CPoint ptOutside(rcFrame.left + 700, rcFrame.top + 500);
    ::SetCursorPos(ptOutside.x, ptOutside.y);
    m_frame->m_refusedActions = {xtpPaneActionCollapsing};
    m_frame->m_notifications.clear();
    for (int i = 0; i < 5; ++i)
        pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerCheck);
    EXPECT_TRUE(m_frame->Actions().empty());
    pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerCheck);
    EXPECT_EQ(m_frame->Actions(), std::vector<int>{10});
    EXPECT_FALSE(pWnd->IsCollapsing());
    EXPECT_EQ(pWnd->GetDeactivationCount(), 6);

    // Allowed: it slides back; pointing back at it reverses the slide.
    m_frame->m_refusedActions.clear();
    for (int i = 0; i < 6; ++i)
        pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerCheck);
    EXPECT_TRUE(pWnd->IsCollapsing());
    pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerSlideBack);
    EXPECT_EQ(pWnd->GetStep(), 6);
    CRect rcWnd;
    pWnd->GetWindowRect(&rcWnd);
    ::SetCursorPos(rcWnd.left + 5, rcWnd.top + 5);
    pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerCheck);
    EXPECT_FALSE(pWnd->IsCollapsing());
    pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerSlideOut);
    EXPECT_EQ(pWnd->GetStep(), 7);

    // Away again until it is gone.
    ::SetCursorPos(ptOutside.x, ptOutside.y);
    m_frame->m_notifications.clear();
    for (int i = 0; i < 6; ++i)
        pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerCheck);
    const HWND hWnd = pWnd->m_hWnd;
    for (int i = 0; i < 8; ++i)
        ::SendMessageW(hWnd, WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerSlideBack, 0);
    EXPECT_EQ(m_frame->Actions(), (std::vector<int>{10, 11}));
    EXPECT_EQ(Panel(xtpPaneDockLeft)->GetShownWindow(), nullptr);
    PumpMessages();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_NE(::GetParent(ContainerOf(pFirst)->m_hWnd), hWnd);
}

TEST_F(DockingAutoHideTest, CloseOnLeaveOffAndAFocusedPaneKeepTheWindowOpen)
{
    CXTPDockingPane *pFirst = nullptr, *pSecond = nullptr;
    CXTPDockingPaneAutoHideWnd* pWnd = OpenFirstOfTwo(&pFirst, &pSecond);
    ASSERT_NE(pWnd, nullptr);
    CRect rcFrame;
    m_frame->GetWindowRect(&rcFrame);
    ::SetCursorPos(rcFrame.left + 700, rcFrame.top + 500);

    CXTPDockingPaneAutoHideWnd::m_bCloseOnLeave = FALSE;
    m_frame->m_notifications.clear();
    for (int i = 0; i < 12; ++i)
        pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerCheck);
    EXPECT_FALSE(pWnd->IsCollapsing());
    EXPECT_TRUE(m_frame->Actions().empty());
    CXTPDockingPaneAutoHideWnd::m_bCloseOnLeave = TRUE;

    // The pane's own window with the focus.
    CWnd wndEdit;
    ASSERT_TRUE(wndEdit.CreateEx(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20),
                                 CWnd::FromHandle(ContainerOf(pFirst)->m_hWnd), 77));
    pFirst->Attach(wndEdit.m_hWnd);
    m_frame->SetForegroundWindow();
    m_frame->SetActiveWindow();
    wndEdit.SetFocus();
    EXPECT_EQ(::GetFocus(), wndEdit.m_hWnd);
    if (::GetFocus() == wndEdit.m_hWnd) {
        for (int i = 0; i < 12; ++i)
            pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerCheck);
        EXPECT_FALSE(pWnd->IsCollapsing());
        EXPECT_EQ(pWnd->GetDeactivationCount(), 6);
    }
    pFirst->Attach(NULL);
    wndEdit.DestroyWindow();
}

TEST_F(DockingAutoHideTest, TabsOnTheStripHoverClickRightClickAndDragOver)
{
    CXTPDockingPane *pFirst = nullptr, *pSecond = nullptr;
    CXTPDockingPaneAutoHideWnd* pWnd = OpenFirstOfTwo(&pFirst, &pSecond);
    ASSERT_NE(pWnd, nullptr);
    CXTPDockingPaneAutoHidePanel* pPanel = Panel(xtpPaneDockLeft);
    ASSERT_EQ(pPanel->GetGroups().size(), 1u);
    const CPoint ptFirst = TabPoint(pPanel, 0, 0), ptSecond = TabPoint(pPanel, 0, 1);
    EXPECT_EQ(pPanel->PaneFromPoint(ptFirst), pFirst);
    EXPECT_EQ(pPanel->PaneFromPoint(ptSecond), pSecond);

    m_frame->SetForegroundWindow();
    m_frame->SetActiveWindow();
    EXPECT_EQ(::GetActiveWindow(), m_frame->m_hWnd);
    if (::GetActiveWindow() == m_frame->m_hWnd) {
        // Hover on the shown tab changes nothing; on the other it switches.
        pPanel->SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(ptFirst.x, ptFirst.y));
        EXPECT_EQ(pPanel->GetShownWindow(), pWnd);
        pPanel->SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(ptSecond.x, ptSecond.y));
        ASSERT_NE(pPanel->GetShownWindow(), nullptr);
        EXPECT_NE(pPanel->GetShownWindow(), pWnd);
        EXPECT_EQ(ContainerOf(pSecond)->GetSelected(), pSecond);
    }

    // A click on the other tab opens it; a right click asks the site with code 2.
    pPanel->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptFirst.x, ptFirst.y));
    ASSERT_NE(pPanel->GetShownWindow(), nullptr);
    EXPECT_EQ(pPanel->GetShownWindow()->GetContainer()->GetSelected(), pFirst);
    m_frame->m_notifications.clear();
    pPanel->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(ptSecond.x, ptSecond.y));
    ASSERT_EQ(m_frame->m_notifications.size(), 1u);
    EXPECT_EQ(m_frame->m_notifications[0].wParam, static_cast<WPARAM>(XTP_DPN_RCLICK));
    EXPECT_EQ(m_frame->m_notifications[0].pPane, pSecond);

    // Dragged over, a tab opens its pane; nothing is ever dropped.
    m_manager->GetPaintManager()->GetAutoHidePanelPaintManager()->m_bOpenOnDragOver = TRUE;
    EXPECT_EQ(pPanel->m_dropTarget.OnDragOver(pPanel, NULL, 0, ptSecond),
              static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    ASSERT_NE(pPanel->GetShownWindow(), nullptr);
    EXPECT_EQ(pPanel->GetShownWindow()->GetContainer()->GetSelected(), pSecond);
    EXPECT_EQ(pPanel->m_dropTarget.OnDragOver(pPanel, NULL, 0, CPoint(1, 590)),
              static_cast<DROPEFFECT>(DROPEFFECT_NONE));

    for (int i = 0; i < 7; ++i)
        pPanel->GetShownWindow()->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerSlideOut);
    // A floating frame over the frame for the picture.
    CXTPDockingPane* pFloating = m_frame->AddPane(3, L"Properties", CSize(150, 150), xtpPaneDockRight);
    CRect rcFrame;
    m_frame->GetWindowRect(&rcFrame);
    m_manager->FloatPane(pFloating,
                         CRect(rcFrame.left + 500, rcFrame.top + 250, rcFrame.left + 700, rcFrame.top + 450));
    PumpMessages();
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_frame->m_hWnd, L"docking_auto_hide_window"));
}

TEST_F(DockingAutoHideTest, TheEdgeDragStopsAtTheOppositePanelAndEscapeKeepsTheLastSize)
{
    CXTPDockingPane* pRight = m_frame->AddPane(3, L"Properties", CSize(150, 150), xtpPaneDockRight);
    CXTPDockingPane *pFirst = nullptr, *pSecond = nullptr;
    CXTPDockingPaneAutoHideWnd* pWnd = OpenFirstOfTwo(&pFirst, &pSecond);
    ASSERT_NE(pWnd, nullptr);
    m_manager->HidePane(pRight);
    m_frame->Layout();
    CXTPDockingPaneAutoHidePanel* pPanel = Panel(xtpPaneDockLeft);
    pPanel->OpenPane(pFirst);
    pWnd = pPanel->GetShownWindow();
    ASSERT_NE(pWnd, nullptr);
    for (int i = 0; i < 7; ++i)
        pWnd->SendMessage(WM_TIMER, CXTPDockingPaneAutoHideWnd::kTimerSlideOut);
    const int nThickness = ExpectedThickness();
    const CRect rcFull = pWnd->GetFullRect();
    const CPoint ptEdge(rcFull.Width() - 2, 100);

    m_manager->m_bUseSplitterTracker = FALSE;
    // Beyond the right panel: the window ends at it.
    ::PostMessageW(pWnd->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(900, 100));
    ::PostMessageW(pWnd->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(900, 100));
    {
        CSafetyCancel safety(pWnd->m_hWnd);
        pWnd->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptEdge.x, ptEdge.y));
    }
    EXPECT_EQ(pWnd->GetFullRect().right, 800 - nThickness);
    EXPECT_EQ(RectInParent(pWnd->m_hWnd), pWnd->GetFullRect());

    // A move, then Escape: the size of the move stays.
    const CPoint ptNewEdge(pWnd->GetFullRect().Width() - 2, 100);
    ::PostMessageW(pWnd->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300 - nThickness, 100));
    ::PostMessageW(pWnd->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    {
        CSafetyCancel safety(pWnd->m_hWnd);
        pWnd->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptNewEdge.x, ptNewEdge.y));
    }
    EXPECT_EQ(pWnd->GetFullRect().right, 300);
    EXPECT_EQ(pFirst->m_szDocking.cx, 300 - nThickness - 4);
}

TEST_F(DockingAutoHideTest, APanelDestroyedWhileItsWindowClosesLeavesNoCrash)
{
    CXTPDockingPane *pFirst = nullptr, *pSecond = nullptr;
    CXTPDockingPaneAutoHideWnd* pWnd = OpenFirstOfTwo(&pFirst, &pSecond);
    ASSERT_NE(pWnd, nullptr);
    const HWND hWnd = pWnd->m_hWnd;
    Panel(xtpPaneDockLeft)->ClosePane(TRUE);
    EXPECT_FALSE(::IsWindowVisible(hWnd));
    EXPECT_TRUE(::IsWindow(hWnd));
    // A new layout deletes the old one's panel within the 50 ms.
    m_manager->SetLayout(m_manager->CreateLayout());
    EXPECT_FALSE(::IsWindow(hWnd));
    ::Sleep(80);
    PumpMessages();
    EXPECT_EQ(m_manager->FindPane(1), nullptr);
}

TEST_F(DockingAutoHideTest, WindowsThatStayOpenAreReusedPerContainerAndGoWithTheirPanel)
{
    CXTPDockingPane *pFirst = nullptr, *pSecond = nullptr;
    CXTPDockingPaneAutoHideWnd* pWnd = OpenFirstOfTwo(&pFirst, &pSecond);
    ASSERT_NE(pWnd, nullptr);
    CXTPDockingPane* pThird = m_frame->AddPane(3, L"Tasks", CSize(180, 180), xtpPaneDockLeft);
    m_frame->Layout();
    m_manager->HidePane(pThird);
    m_frame->Layout();
    CXTPDockingPaneAutoHidePanel* pPanel = Panel(xtpPaneDockLeft);
    ASSERT_EQ(pPanel->GetContainers().size(), 2u);
    CXTPDockingPaneAutoHideWnd::m_bCloseOnLeave = FALSE;

    pPanel->OpenPane(pFirst);
    pWnd = pPanel->GetShownWindow();
    ASSERT_NE(pWnd, nullptr);
    pPanel->OpenPane(pThird);
    CXTPDockingPaneAutoHideWnd* pOther = pPanel->GetShownWindow();
    ASSERT_NE(pOther, nullptr);
    EXPECT_NE(pOther, pWnd);
    // The second tab of the first group shows in the window already open on its container.
    pPanel->OpenPane(pSecond);
    EXPECT_EQ(pPanel->GetShownWindow(), pWnd);
    EXPECT_EQ(pWnd->GetContainer()->GetSelected(), pSecond);
    EXPECT_EQ(pPanel->GetOpenWindows().size(), 2u);
    const std::vector<HWND> shown = ShownAutoHideWindows(m_frame.get());
    EXPECT_EQ(shown.size(), 2u);

    // A new layout takes the panel, its containers and every window it opened.
    m_manager->SetLayout(m_manager->CreateLayout());
    for (HWND hWnd : shown)
        EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_TRUE(ShownAutoHideWindows(m_frame.get()).empty());
    // Timers of a window left behind would read the freed panel now.
    ::Sleep(2 * CXTPDockingPaneAutoHideWnd::m_nCheckPeriod);
    PumpMessages();
}

TEST_F(DockingAutoHideTest, AContainerLeavingTheStripClosesTheWindowsOpenOnIt)
{
    CXTPDockingPane *pFirst = nullptr, *pSecond = nullptr;
    CXTPDockingPaneAutoHideWnd* pWnd = OpenFirstOfTwo(&pFirst, &pSecond);
    ASSERT_NE(pWnd, nullptr);
    CXTPDockingPaneAutoHidePanel* pPanel = Panel(xtpPaneDockLeft);
    CXTPDockingPaneAutoHideWnd::m_bCloseOnLeave = FALSE;
    const HWND hWnd = pWnd->m_hWnd;
    CXTPDockingPaneTabbedContainer* pContainer = ContainerOf(pFirst);
    pPanel->RemovePane(pContainer);
    EXPECT_FALSE(::IsWindowVisible(hWnd));
    EXPECT_TRUE(pPanel->GetOpenWindows().empty());
    EXPECT_EQ(pPanel->GetShownWindow(), nullptr);
    PumpMessages();
    EXPECT_FALSE(::IsWindow(hWnd));
    // The container was the strip's only one: put it back for the layout to free.
    pPanel->AddContainer(pContainer);
}

TEST_F(DockingAutoHideTest, TabIconsShowTheirDisabledHotSelectedOrNormalImage)
{
    CXTPDockingPane *pFirst = nullptr, *pSecond = nullptr;
    ASSERT_NE(OpenFirstOfTwo(&pFirst, &pSecond), nullptr);
    const COLORREF clrNormal = RGB(200, 30, 30), clrHot = RGB(30, 200, 30), clrSelected = RGB(30, 30, 200),
                   clrDisabled = RGB(120, 120, 120);
    const struct
    {
        int nState;
        COLORREF clr;
    } images[] = {{xtpImageNormal, clrNormal},
                  {xtpImageHot, clrHot},
                  {xtpImageChecked, clrSelected},
                  {xtpImageDisabled, clrDisabled}};
    for (UINT nId : {1u, 2u}) {
        for (const auto& image : images) {
            CXTPImageHandle handle;
            handle.SetIcon(MakeSquareIcon(image.clr, image.clr, 0));
            ASSERT_TRUE(m_manager->GetImageManager()->SetCommandImage(handle, nId, 16, 16, image.nState));
        }
    }
    CXTPDockingPaneAutoHidePanel* pPanel = Panel(xtpPaneDockLeft);
    m_manager->GetPaintManager()->GetAutoHidePanelPaintManager()->m_bHotTracking = TRUE;
    m_frame->SetForegroundWindow();
    m_frame->SetActiveWindow();
    pPanel->RecalcLayout(FALSE);
    CXTPDockingPaneAutoHideGroup* pGroup = pPanel->GetGroups()[0];
    CXTPTabManagerItem* pSelected = pGroup->GetItem(0);
    CXTPTabManagerItem* pOther = pGroup->GetItem(1);
    ASSERT_TRUE(pSelected->IsSelected());

    CTestMemoryDC dc(pPanel, 16, 16);
    auto drawn = [&](CXTPTabManagerItem* pItem) {
        dc.FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
        EXPECT_TRUE(pGroup->DrawItemIcon(&dc, pItem, CPoint(0, 0), CSize(16, 16), TRUE));
        return dc.GetPixel(8, 8);
    };
    EXPECT_EQ(drawn(pSelected), clrSelected);
    EXPECT_EQ(drawn(pOther), clrNormal);
    pGroup->HandleMouseMove(pPanel->m_hWnd, pOther->GetRect().CenterPoint());
    ASSERT_TRUE(pOther->IsHot());
    EXPECT_EQ(drawn(pOther), clrHot);
    pOther->SetEnabled(FALSE);
    EXPECT_EQ(drawn(pOther), clrDisabled);
    pOther->SetEnabled(TRUE);
    // Without an icon of the size nothing is drawn and no room is kept.
    m_manager->GetImageManager()->RemoveIcon(2);
    EXPECT_FALSE(pGroup->DrawItemIcon(&dc, pOther, CPoint(0, 0), CSize(16, 16), TRUE));
    pPanel->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_frame->m_hWnd, L"docking_auto_hide_tab_icons"));
}

} // namespace
