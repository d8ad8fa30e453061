// Floating frames on a real frame: where a floated pane's frame opens, its system menu, the double
// click that sends a group home, rolling up to the caption, and a layout with a floating frame kept in
// an archive.
#include "docking_pane_mini_wnd.h"
#include "docking_test_frame.h"
#include "prop_exchange.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class DockingFloatTest : public DockingFrameTest
{
protected:
    static CXTPDockingPaneMiniWnd* FrameOf(CXTPDockingPane* pPane)
    {
        return dynamic_cast<CXTPDockingPaneMiniWnd*>(pPane->GetFrame());
    }
    static CString MenuText(HMENU hMenu, UINT nID)
    {
        wchar_t szText[64] = {};
        ::GetMenuStringW(hMenu, nID, szText, 64, MF_BYCOMMAND);
        return szText;
    }
};

TEST_F(DockingFloatTest, FloatedPaneOpensInsideTheWorkAreaWithAToolFramesSystemMenu)
{
    CXTPDockingPane* pPane = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->Layout();
    m_manager->FloatPane(pPane, CRect(-500, -400, -300, -100));

    CXTPDockingPaneMiniWnd* pMiniWnd = FrameOf(pPane);
    ASSERT_NE(pMiniWnd, nullptr);
    ASSERT_NE(pMiniWnd->m_hWnd, nullptr);
    EXPECT_EQ(pMiniWnd->GetType(), xtpPaneTypeMiniWnd);
    CRect rcWork, rcFrame;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    pMiniWnd->GetWindowRect(&rcFrame);
    EXPECT_EQ(rcFrame.TopLeft(), rcWork.TopLeft());
    EXPECT_EQ(rcFrame.Size(), CSize(200, 300));
    EXPECT_TRUE(pMiniWnd->IsWindowVisible());
    CString strTitle;
    pMiniWnd->GetWindowText(strTitle);
    EXPECT_EQ(strTitle, CString(L"Folders"));
    // The pane's container sits in the frame's client area; the frame is the pane's floating holder.
    ASSERT_NE(pPane->GetContainer(), nullptr);
    EXPECT_EQ(::GetParent(pPane->GetContainer()->GetWindow()->m_hWnd), pMiniWnd->m_hWnd);
    EXPECT_EQ(m_manager->GetPaneHolder(pPane, TRUE), pPane->GetContainer());

    HMENU hMenu = ::GetSystemMenu(pMiniWnd->m_hWnd, FALSE);
    ASSERT_NE(hMenu, nullptr);
    for (UINT nID : {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
        EXPECT_EQ(::GetMenuState(hMenu, nID, MF_BYCOMMAND), static_cast<UINT>(-1)) << nID;
    EXPECT_EQ(MenuText(hMenu, SC_CLOSE), CString(L"&Hide"));

    // Closing the frame closes its panes that may close, after asking.
    pPane->SetOptions(xtpPaneNoCloseable);
    pMiniWnd->RecalcLayout();
    EXPECT_TRUE(::GetMenuState(hMenu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    m_frame->m_notifications.clear();
    pMiniWnd->SendMessage(WM_CLOSE);
    EXPECT_FALSE(pPane->IsClosed());
    pPane->SetOptions(0);
    m_frame->m_refusedActions = {xtpPaneActionClosing};
    pMiniWnd->SendMessage(WM_CLOSE);
    EXPECT_FALSE(pPane->IsClosed());
    m_frame->m_refusedActions.clear();
    pMiniWnd->SendMessage(WM_CLOSE);
    EXPECT_TRUE(pPane->IsClosed());
    EXPECT_EQ(m_frame->Actions(), (std::vector<int>{2, 2, 3}));
    EXPECT_FALSE(pMiniWnd->IsWindowVisible());
}

TEST_F(DockingFloatTest, DoubleClickOnTheCaptionSendsEveryPaneHomeAndOption4BlocksOnlyFloating)
{
    CXTPDockingPane* pFirst = m_frame->AddPane(1, L"First", CSize(200, 200), xtpPaneDockLeft);
    CXTPDockingPane* pSecond = m_frame->AddPane(2, L"Second", CSize(150, 150), xtpPaneDockBottom);
    m_frame->Layout();
    CXTPDockingPaneBase* pFirstHome = pFirst->GetContainer();
    CXTPDockingPaneBase* pSecondHome = pSecond->GetContainer();

    // Option 4: a docked pane does not float.
    pSecond->SetOptions(xtpPaneNoFloatable);
    m_manager->ToggleDocking(pSecond);
    EXPECT_EQ(pSecond->GetContainer(), pSecondHome);
    pSecond->SetOptions(0);

    // Both float, the second joins the first's frame as a tab.
    m_frame->m_notifications.clear();
    m_manager->ToggleDocking(pFirst);
    CXTPDockingPaneMiniWnd* pMiniWnd = FrameOf(pFirst);
    ASSERT_NE(pMiniWnd, nullptr);
    EXPECT_EQ(m_frame->Actions(), (std::vector<int>{0, 1}));
    static_cast<CXTPDockingPaneTabbedContainer*>(pFirst->GetContainer())->AttachPane(pSecond);
    m_manager->RecordHolders();
    EXPECT_EQ(FrameOf(pSecond), pMiniWnd);

    // Floating now, option 4 does not keep them out of their docking places.
    pFirst->SetOptions(xtpPaneNoFloatable);
    m_frame->m_notifications.clear();
    pMiniWnd->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(pFirst->GetContainer(), pFirstHome);
    EXPECT_EQ(pSecond->GetContainer(), pSecondHome);
    EXPECT_EQ(m_frame->Actions(), (std::vector<int>{4, 5, 4, 5}));
    m_frame->Layout();
    EXPECT_FALSE(pMiniWnd->IsWindowVisible());
    EXPECT_TRUE(pMiniWnd->IsEmpty());
}

TEST_F(DockingFloatTest, RollUpKeepsTheCaptionAndWaitsForTheFocusToLeave)
{
    CXTPDockingPane* pPane = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->Layout();
    m_manager->FloatPane(pPane, CRect(300, 200, 500, 500));
    CXTPDockingPaneMiniWnd* pMiniWnd = FrameOf(pPane);
    ASSERT_NE(pMiniWnd, nullptr);
    CRect rcBefore;
    pMiniWnd->GetWindowRect(&rcBefore);
    ::SetCursorPos(rcBefore.right + 100, rcBefore.bottom + 100);

    pMiniWnd->Collapse();
    EXPECT_TRUE(pMiniWnd->IsCollapsed());
    EXPECT_EQ(pMiniWnd->m_nExpandedHeight, rcBefore.Height());

    // A child with the focus holds the countdown.
    CWnd wndChild;
    ASSERT_TRUE(wndChild.CreateEx(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20),
                                  CWnd::FromHandle(pPane->GetContainer()->GetWindow()->m_hWnd), 99));
    wndChild.SetFocus();
    if (::GetFocus() == wndChild.m_hWnd) {
        for (int i = 0; i < 10; ++i)
            pMiniWnd->SendMessage(WM_TIMER, CXTPDockingPaneMiniWnd::kTimerRollUp);
        EXPECT_FALSE(pMiniWnd->m_bAnimation);
        EXPECT_EQ(pMiniWnd->m_nDeactivationCount, 6);
    }
    m_frame->SetFocus();
    ::SetFocus(m_frame->m_hWnd);

    for (int i = 0; i < 6; ++i)
        pMiniWnd->SendMessage(WM_TIMER, CXTPDockingPaneMiniWnd::kTimerRollUp);
    EXPECT_TRUE(pMiniWnd->m_bAnimation);
    const int nMinimum = m_manager->GetPaintManager()->GetCaptionHeight() + 8;
    int nLast = rcBefore.Height();
    for (int i = 0; i < 9; ++i) {
        pMiniWnd->SendMessage(WM_TIMER, CXTPDockingPaneMiniWnd::kTimerAnimate);
        CRect rc;
        pMiniWnd->GetWindowRect(&rc);
        EXPECT_EQ(rc.top, rcBefore.top);
        EXPECT_GE(rc.Height(), nMinimum);
        EXPECT_LE(rc.Height(), nLast);
        nLast = rc.Height();
    }
    EXPECT_FALSE(pMiniWnd->m_bAnimation);
    EXPECT_LT(nLast, rcBefore.Height());

    // Pointing at the caption opens it at once; the pin off gives the height back.
    pMiniWnd->SendMessage(WM_NCMOUSEMOVE, HTCAPTION, 0);
    CRect rc;
    pMiniWnd->GetWindowRect(&rc);
    EXPECT_EQ(rc.Height(), rcBefore.Height());
    EXPECT_EQ(pMiniWnd->m_nDeactivationCount, 8);
    pMiniWnd->Expand();
    EXPECT_FALSE(pMiniWnd->IsCollapsed());
    pMiniWnd->GetWindowRect(&rc);
    EXPECT_EQ(rc, rcBefore);
    // The test's own edit box goes before the picture: it sat over the caption's start.
    wndChild.DestroyWindow();
    pMiniWnd->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(pMiniWnd->m_hWnd, L"docking_floating_frame"));
}

TEST_F(DockingFloatTest, CustomCaptionIsDrawnByThePaintManagerAndItsButtonsWork)
{
    m_manager->m_bCustomTitleBar = TRUE;
    CXTPDockingPane* pPane = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->Layout();
    m_manager->FloatPane(pPane, CRect(300, 200, 500, 450));
    CXTPDockingPaneMiniWnd* pMiniWnd = FrameOf(pPane);
    ASSERT_NE(pMiniWnd, nullptr);
    EXPECT_FALSE(pMiniWnd->GetStyle() & WS_BORDER);
    const int nCaption = m_manager->GetPaintManager()->GetCaptionHeight();
    CRect rcWindow, rcClient;
    pMiniWnd->GetWindowRect(&rcWindow);
    pMiniWnd->GetClientRect(&rcClient);
    pMiniWnd->ClientToScreen(&rcClient);
    // The client area starts below our caption; the band above it answers as caption.
    EXPECT_GE(rcClient.top - rcWindow.top, nCaption + 2);
    EXPECT_EQ(pMiniWnd->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rcWindow.CenterPoint().x, rcWindow.top + nCaption)),
              HTCAPTION);
    EXPECT_EQ(pMiniWnd->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rcClient.CenterPoint().x, rcClient.CenterPoint().y)),
              HTCLIENT);
    pMiniWnd->SendMessage(WM_NCPAINT);

    // Close and pin were placed by the drawing, in window coordinates.
    CXTPDockingPaneCaptionButton* pPin = nullptr;
    CXTPDockingPaneCaptionButton* pClose = nullptr;
    for (CXTPDockingPaneCaptionButton* pButton : pMiniWnd->m_arrCaptionButtons) {
        if (pButton->GetID() == XTP_IDS_DOCKINGPANE_AUTOHIDE)
            pPin = pButton;
        if (pButton->GetID() == XTP_IDS_DOCKINGPANE_CLOSE)
            pClose = pButton;
    }
    ASSERT_NE(pPin, nullptr);
    ASSERT_NE(pClose, nullptr);
    ASSERT_FALSE(pPin->GetRect().IsRectEmpty());
    ASSERT_FALSE(pClose->GetRect().IsRectEmpty());
    EXPECT_TRUE(test_support::WriteWindowScreenshot(pMiniWnd->m_hWnd, L"docking_floating_custom_caption"));
    auto click = [&](CXTPDockingPaneCaptionButton* pButton) {
        const CPoint pt = rcWindow.TopLeft() + pButton->GetRect().CenterPoint();
        ::PostMessageW(pMiniWnd->m_hWnd, WM_LBUTTONUP, 0, 0);
        CSafetyCancel safety(pMiniWnd->m_hWnd);
        pMiniWnd->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    };
    click(pPin);
    EXPECT_TRUE(pMiniWnd->IsCollapsed());
    click(pPin);
    EXPECT_FALSE(pMiniWnd->IsCollapsed());
    // The tooltip of the close button, in client coordinates.
    TOOLINFO ti = {};
    ti.cbSize = sizeof(ti);
    CPoint ptTip = rcWindow.TopLeft() + pClose->GetRect().CenterPoint();
    pMiniWnd->ScreenToClient(&ptTip);
    EXPECT_EQ(pMiniWnd->OnToolHitTest(ptTip, &ti), XTP_IDS_DOCKINGPANE_CLOSE);
    if (ti.lpszText != NULL && ti.lpszText != LPSTR_TEXTCALLBACK)
        free(ti.lpszText);
    click(pClose);
    EXPECT_TRUE(pPane->IsClosed());
}

TEST_F(DockingFloatTest, LayoutWithAFloatingFrameRoundTripsThroughAnArchive)
{
    CXTPDockingPane* pLeft = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    CXTPDockingPane* pFloat = m_frame->AddPane(2, L"Output", CSize(150, 150), xtpPaneDockBottom);
    m_frame->Layout();
    m_manager->FloatPane(pFloat, CRect(300, 200, 500, 420));
    (void)pLeft;

    const std::vector<BYTE> first = ArchiveLayout(m_manager->GetLayout());
    ASSERT_FALSE(first.empty());

    CXTPDockingPaneLayout* pLoaded = m_manager->CreateLayout();
    {
        CMemFile file(const_cast<BYTE*>(first.data()), static_cast<UINT>(first.size()));
        CArchive ar(&file, CArchive::load);
        CXTPPropExchangeArchive px(ar);
        ASSERT_TRUE(pLoaded->DoPropExchange(&px));
    }
    m_manager->SetLayout(pLoaded);
    m_frame->Layout();
    CXTPDockingPane* pLoadedFloat = m_manager->FindPane(2);
    ASSERT_NE(pLoadedFloat, nullptr);
    CXTPDockingPaneMiniWnd* pMiniWnd = FrameOf(pLoadedFloat);
    ASSERT_NE(pMiniWnd, nullptr);
    ASSERT_NE(pMiniWnd->m_hWnd, nullptr);
    CRect rc;
    pMiniWnd->GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(300, 200, 500, 420));
    // The floated pane still knows where it was docked.
    EXPECT_NE(m_manager->GetPaneHolder(pLoadedFloat, FALSE), nullptr);
    EXPECT_NE(m_manager->GetPaneHolder(pLoadedFloat, FALSE), pLoadedFloat->GetContainer());
    EXPECT_EQ(ArchiveLayout(m_manager->GetLayout()), first);
}

} // namespace
