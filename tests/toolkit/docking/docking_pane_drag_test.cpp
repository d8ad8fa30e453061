// Dragging panes on a real frame: the loop driven by posted mouse messages, where a drop lands (beside a
// container, at the frame's edge, as tabs, floating), what the site is asked and told, and the dock
// markers with their regions and hit tests on memory DCs.
#include "docking_pane_context.h"
#include "docking_pane_mini_wnd.h"
#include "docking_test_frame.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class DockingDragTest : public DockingFrameTest
{
protected:
    void SetUp() override
    {
        DockingFrameTest::SetUp();
        m_left = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
        m_bottom = m_frame->AddPane(2, L"Output", CSize(150, 150), xtpPaneDockBottom);
        m_frame->Layout();
        m_context = m_manager->GetDockingContext();
    }
    void TearDown() override
    {
        SetControl(false);
        DockingFrameTest::TearDown();
    }
    static void SetControl(bool bDown)
    {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = bDown ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    CRect ScreenRect(CXTPDockingPaneBase* pNode) const
    {
        CRect rc = pNode->GetPaneWindowRect();
        m_frame->ClientToScreen(&rc);
        return rc;
    }
    CRect WindowRect(CXTPDockingPane* pPane) const
    {
        CRect rc;
        pPane->GetContainer()->GetWindow()->GetWindowRect(&rc);
        return rc;
    }
    // Runs a drag of the item from its start through the moves (screen points), released at the last
    // point, or ended with Escape.
    void RunDrag(CXTPDockingPaneBase* pItem, CPoint ptStart, std::vector<CPoint> moves, bool bDrop = true)
    {
        ::SetCursorPos(ptStart.x, ptStart.y);
        PumpMessages();
        const HWND hSite = m_frame->m_hWnd;
        CPoint ptLast = ptStart;
        for (CPoint pt : moves) {
            ::ScreenToClient(hSite, &pt);
            ::PostMessageW(hSite, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
            ptLast = pt;
        }
        if (bDrop)
            ::PostMessageW(hSite, WM_LBUTTONUP, 0, MAKELPARAM(ptLast.x, ptLast.y));
        else
            ::PostMessageW(hSite, WM_KEYDOWN, VK_ESCAPE, 0);
        m_frame->m_notifications.clear();
        {
            CSafetyCancel safety(hSite);
            m_context->Drag(pItem, ptStart);
        }
        PumpMessages();
    }
    CPoint CaptionPoint(CXTPDockingPane* pPane) const
    {
        const CRect rc = WindowRect(pPane);
        return CPoint(rc.CenterPoint().x, rc.top + 5);
    }
    std::vector<int> Actions() const { return m_frame->Actions(); }

    CXTPDockingPane* m_left = nullptr;
    CXTPDockingPane* m_bottom = nullptr;
    CXTPDockingPaneContext* m_context = nullptr;
};

TEST_F(DockingDragTest, APressAndReleaseWithinFourPixelsMovesNothing)
{
    CXTPDockingPaneBase* pHome = m_bottom->GetContainer();
    const CPoint pt = CaptionPoint(m_bottom);
    RunDrag(pHome, pt, {pt + CPoint(3, 2), pt + CPoint(-4, 4)});
    EXPECT_EQ(m_bottom->GetContainer(), pHome);
    EXPECT_EQ(Actions(), std::vector<int>{0});
    // Escape after a real move moves nothing either.
    RunDrag(pHome, pt, {pt + CPoint(0, -200)}, false);
    EXPECT_EQ(m_bottom->GetContainer(), pHome);
}

TEST_F(DockingDragTest, TenPixelsOutsideTheFrameDocksLeftOfTheTreeThirtyFloats)
{
    CXTPDockingPaneBase* pTop = m_manager->GetTopPane();
    const CRect rcTop = ScreenRect(pTop);
    const CPoint ptStart = CaptionPoint(m_bottom);
    RunDrag(m_bottom->GetContainer(), ptStart, {CPoint(rcTop.left - 10, rcTop.CenterPoint().y)});
    EXPECT_EQ(m_context->GetDirection(), xtpPaneDockLeft);
    EXPECT_EQ(m_context->GetTarget(), pTop);
    ASSERT_FALSE(Actions().empty());
    EXPECT_EQ(Actions().front(), 0);
    EXPECT_EQ(Actions().back(), 5);
    EXPECT_NE(std::find(Actions().begin(), Actions().end(), 4), Actions().end());
    m_frame->Layout();
    EXPECT_EQ(RectInParent(m_bottom->GetContainer()->GetWindow()->m_hWnd).left, 0);
    EXPECT_EQ(m_manager->GetPaneDirection(m_bottom->GetContainer()), xtpPaneDockLeft);

    // Thirty pixels out: no side; the group floats where it was dropped.
    RunDrag(m_bottom->GetContainer(), CaptionPoint(m_bottom), {CPoint(rcTop.left - 30, rcTop.CenterPoint().y)});
    EXPECT_EQ(m_context->GetTarget(), nullptr);
    ASSERT_FALSE(Actions().empty());
    EXPECT_EQ(Actions().back(), 1);
    EXPECT_NE(dynamic_cast<CXTPDockingPaneMiniWnd*>(m_bottom->GetFrame()), nullptr);
}

TEST_F(DockingDragTest, APaneThatCannotFloatDocksAtTheNearestSideByAspectOrStays)
{
    m_bottom->SetOptions(xtpPaneNoFloatable);
    CXTPDockingPaneBase* pHome = m_bottom->GetContainer();
    // Far outside the frame: nothing to dock to and no floating.
    RunDrag(pHome, CaptionPoint(m_bottom), {CPoint(1000, 700)});
    EXPECT_EQ(m_bottom->GetContainer(), pHome);
    EXPECT_EQ(Actions(), std::vector<int>{0});

    // Inside the tall left container, 60 pixels from its left and 100 from its top: scaled by the
    // container's height / width the top is nearer.
    const CRect rcLeft = WindowRect(m_left);
    ASSERT_GT(rcLeft.Height(), 2 * rcLeft.Width());
    RunDrag(pHome, CaptionPoint(m_bottom), {CPoint(rcLeft.left + 60, rcLeft.top + 100)});
    EXPECT_EQ(m_context->GetTarget(), m_left->GetContainer());
    EXPECT_EQ(m_context->GetDirection(), xtpPaneDockTop);
    m_frame->Layout();
    EXPECT_LE(WindowRect(m_bottom).bottom, WindowRect(m_left).top);
}

TEST_F(DockingDragTest, ControlFloatsAndARefusingPaneTakesItsSideAway)
{
    const CRect rcTop = ScreenRect(m_manager->GetTopPane());
    SetControl(true);
    RunDrag(m_bottom->GetContainer(), CaptionPoint(m_bottom), {CPoint(rcTop.left - 10, rcTop.CenterPoint().y)});
    SetControl(false);
    EXPECT_EQ(m_context->GetTarget(), nullptr);
    EXPECT_EQ(Actions().back(), 1);
    ASSERT_NE(dynamic_cast<CXTPDockingPaneMiniWnd*>(m_bottom->GetFrame()), nullptr);

    // A group of two in which one pane refuses to dock: the left edge is no landing place.
    m_frame->AddTab(3, L"Find", m_left);
    m_frame->Layout();
    m_frame->m_nRefusingPaneID = 3;
    m_frame->m_refusedActions = {xtpPaneActionDocking};
    RunDrag(m_left->GetContainer(), CaptionPoint(m_left), {CPoint(rcTop.left - 10, rcTop.CenterPoint().y)});
    EXPECT_EQ(m_context->GetTarget(), nullptr);
    EXPECT_EQ(Actions().back(), 1);
}

TEST_F(DockingDragTest, DroppedOnACaptionTheGroupJoinsAsTabs)
{
    const CPoint ptCaption = CaptionPoint(m_left);
    RunDrag(m_bottom->GetContainer(), CaptionPoint(m_bottom), {ptCaption + CPoint(0, 2)});
    EXPECT_TRUE(m_context->IsIntoTabs());
    EXPECT_EQ(m_bottom->GetContainer(), m_left->GetContainer());
    ASSERT_FALSE(Actions().empty());
    EXPECT_EQ(Actions().front(), 0);
    EXPECT_NE(std::find(Actions().begin(), Actions().end(), 6), Actions().end());
    EXPECT_EQ(Actions().back(), 7);
}

TEST_F(DockingDragTest, FloatingFrameCaptionDragsItsContentHome)
{
    m_manager->FloatPane(m_bottom, CRect(400, 300, 600, 500));
    CXTPDockingPaneMiniWnd* pMiniWnd = dynamic_cast<CXTPDockingPaneMiniWnd*>(m_bottom->GetFrame());
    ASSERT_NE(pMiniWnd, nullptr);
    const CRect rcTop = ScreenRect(m_manager->GetTopPane());
    CRect rcFrame;
    pMiniWnd->GetWindowRect(&rcFrame);
    const CPoint ptCaption(rcFrame.CenterPoint().x, rcFrame.top + 4);
    CPoint ptDrop(rcTop.right + 10, rcTop.CenterPoint().y);
    ::SetCursorPos(ptCaption.x, ptCaption.y);
    CPoint ptClient = ptDrop;
    ::ScreenToClient(m_frame->m_hWnd, &ptClient);
    ::PostMessageW(m_frame->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptClient.x, ptClient.y));
    ::PostMessageW(m_frame->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(ptClient.x, ptClient.y));
    m_frame->m_notifications.clear();
    {
        CSafetyCancel safety(m_frame->m_hWnd);
        pMiniWnd->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(ptCaption.x, ptCaption.y));
    }
    PumpMessages();
    EXPECT_EQ(m_context->GetDirection(), xtpPaneDockRight);
    EXPECT_EQ(m_bottom->GetFrame(), m_frame.get());
    EXPECT_EQ(Actions().back(), 5);
}

class DockingMarkerTest : public DockingDragTest
{
protected:
    void SetUp() override
    {
        DockingDragTest::SetUp();
        m_manager->m_bAlphaDockingContext = TRUE;
        m_manager->m_bShowDockingContextStickers = TRUE;
    }
    void TearDown() override
    {
        m_context->CancelLoop();
        DockingDragTest::TearDown();
    }
    static CRect MarkerRect(CXTPDockingPaneMarkerWnd* pMarker)
    {
        CRect rc;
        pMarker->GetWindowRect(&rc);
        return rc;
    }
    // The marker of the kind (a part bit, or the group) among the markers.
    CXTPDockingPaneMarkerWnd* Marker(int nKind) const
    {
        for (CXTPDockingPaneMarkerWnd* pMarker : m_context->GetMarkers()) {
            if (nKind == xtpMarkerGroup ? (pMarker->m_nKind & xtpMarkerGroup) != 0 : pMarker->m_nKind == nKind)
                return pMarker;
        }
        return nullptr;
    }
};

TEST_F(DockingMarkerTest, MarkersStandOverTheHoveredContainerAndAtTheFramesEdges)
{
    ASSERT_TRUE(m_context->IsLayeredAvailable());
    const CRect rcTop = ScreenRect(m_manager->GetTopPane());
    const CRect rcLeft = WindowRect(m_left);
    for (int nStyle : {0, 1}) {
        m_manager->m_nStickyStyle = nStyle;
        m_context->BeginDrag(m_bottom->GetContainer(), CaptionPoint(m_bottom));
        m_context->Move(rcLeft.CenterPoint());
        ASSERT_EQ(m_context->GetMarkers().size(), 5u) << nStyle;
        const CRect rcGroup = MarkerRect(Marker(xtpMarkerGroup));
        const CRect rcOuterTop = MarkerRect(Marker(xtpMarkerTop));
        const CRect rcOuterLeft = MarkerRect(Marker(xtpMarkerLeft));
        EXPECT_EQ(Marker(xtpMarkerGroup)->m_nKind, 63);
        if (nStyle == 0) {
            EXPECT_EQ(rcGroup.Size(), CSize(93, 93));
            EXPECT_EQ(rcOuterTop.Size(), CSize(43, 30));
            EXPECT_EQ(rcOuterLeft.Size(), CSize(30, 43));
        } else {
            EXPECT_EQ(rcGroup.Size(), CSize(89, 89));
            EXPECT_EQ(rcOuterTop.Size(), CSize(29, 32));
            EXPECT_EQ(rcOuterLeft.Size(), CSize(32, 29));
        }
        EXPECT_EQ(rcGroup.left, (rcLeft.left + rcLeft.right) / 2 - rcGroup.Width() / 2);
        EXPECT_EQ(rcOuterTop.top, rcTop.top + 16);
        EXPECT_EQ(rcOuterTop.left, (rcTop.left + rcTop.right) / 2 - rcOuterTop.Width() / 2);
        EXPECT_EQ(rcOuterLeft.left, rcTop.left + 16);
        EXPECT_EQ(MarkerRect(Marker(xtpMarkerBottom)).bottom, rcTop.bottom - 16);
        EXPECT_EQ(MarkerRect(Marker(xtpMarkerRight)).right, rcTop.right - 16);
        // One region per kind, made once; gone when the drag ends.
        EXPECT_EQ(m_context->GetRegionCount(), 5u);
        m_context->CancelLoop();
        EXPECT_EQ(m_context->GetRegionCount(), 0u);
        EXPECT_TRUE(m_context->GetMarkers().empty());
    }
}

TEST_F(DockingMarkerTest, HitTestsHotPartsAndTheLandingPlace)
{
    const CRect rcLeft = WindowRect(m_left);
    m_context->BeginDrag(m_bottom->GetContainer(), CaptionPoint(m_bottom));
    m_context->Move(rcLeft.CenterPoint());
    CXTPDockingPaneMarkerWnd* pGroup = Marker(xtpMarkerGroup);
    CXTPDockingPaneMarkerWnd* pOuterTop = Marker(xtpMarkerTop);
    ASSERT_NE(pGroup, nullptr);
    ASSERT_NE(pOuterTop, nullptr);
    const CPoint ptGroup = MarkerRect(pGroup).TopLeft();
    // Style 0: the left arm, the centre, and the top arm over the background square (drawn first, wins).
    EXPECT_EQ(m_context->HitTestMarker(pGroup, ptGroup + CPoint(15, 46)), xtpMarkerLeft);
    EXPECT_EQ(m_context->HitTestMarker(pGroup, ptGroup + CPoint(46, 46)), xtpMarkerCentre);
    EXPECT_EQ(m_context->HitTestMarker(pGroup, ptGroup + CPoint(46, 27)), xtpMarkerTop);
    EXPECT_EQ(m_context->HitTestMarker(pGroup, ptGroup + CPoint(2, 2)), 0);
    EXPECT_EQ(m_context->HitTestMarker(pOuterTop, MarkerRect(pOuterTop).CenterPoint()), xtpMarkerTop);

    // Over the group's left arm: beside the hovered container, the part hot.
    m_context->Move(ptGroup + CPoint(15, 46));
    EXPECT_EQ(m_context->GetTarget(), m_left->GetContainer());
    EXPECT_EQ(m_context->GetDirection(), xtpPaneDockLeft);
    ASSERT_EQ(Marker(xtpMarkerGroup), pGroup);
    EXPECT_EQ(pGroup->m_nHotPart, xtpMarkerLeft);
    // On to the centre of the same group: into tabs, the arm no longer hot, the tab window shown.
    m_context->Move(ptGroup + CPoint(46, 46));
    EXPECT_TRUE(m_context->IsIntoTabs());
    EXPECT_EQ(pGroup->m_nHotPart, xtpMarkerCentre);
    EXPECT_NE(m_context->m_wndAttachedTab.m_hWnd, nullptr);
    // Onto the outer top marker (the mouse is over the view now, whose markers replace the group's):
    // the whole tree's top.
    m_context->Move(MarkerRect(pOuterTop).CenterPoint());
    EXPECT_EQ(m_context->GetTarget(), m_manager->GetTopPane());
    EXPECT_EQ(m_context->GetDirection(), xtpPaneDockTop);
    ASSERT_NE(Marker(xtpMarkerTop), nullptr);
    EXPECT_EQ(Marker(xtpMarkerTop)->m_nHotPart, xtpMarkerTop);
    EXPECT_EQ(Marker(xtpMarkerGroup)->m_nHotPart, 0);
    // Nowhere near a marker: nothing hot.
    m_context->Move(rcLeft.TopLeft() + CPoint(3, 60));
    for (CXTPDockingPaneMarkerWnd* pMarker : m_context->GetMarkers())
        EXPECT_EQ(pMarker->m_nHotPart, 0);
    EXPECT_EQ(m_context->GetTarget(), nullptr);

    // Style 1 tests its outer markers with the group's arm pieces, a row shorter than the marker.
    m_context->CancelLoop();
    m_manager->m_nStickyStyle = 1;
    m_context->BeginDrag(m_bottom->GetContainer(), CaptionPoint(m_bottom));
    m_context->Move(rcLeft.CenterPoint());
    pOuterTop = Marker(xtpMarkerTop);
    ASSERT_NE(pOuterTop, nullptr);
    const CPoint ptOuter = MarkerRect(pOuterTop).TopLeft();
    EXPECT_EQ(m_context->HitTestMarker(pOuterTop, ptOuter + CPoint(14, 15)), xtpMarkerTop);
    EXPECT_EQ(m_context->HitTestMarker(pOuterTop, ptOuter + CPoint(14, 31)), 0);
}

TEST_F(DockingMarkerTest, RegionsAreMadeOncePerKindAndOutlinesAreFourPixelsThick)
{
    // A second container of the same kind reuses the group's region.
    const CRect rcLeft = WindowRect(m_left);
    CXTPDockingPane* pRight = m_frame->AddPane(3, L"Properties", CSize(150, 150), xtpPaneDockRight);
    m_frame->Layout();
    m_context->BeginDrag(m_bottom->GetContainer(), CaptionPoint(m_bottom));
    m_context->Move(rcLeft.CenterPoint());
    EXPECT_EQ(m_context->GetRegionCount(), 5u);
    m_context->Move(WindowRect(pRight).CenterPoint());
    EXPECT_EQ(m_context->GetRegionCount(), 5u);
    m_context->CancelLoop();
    EXPECT_EQ(m_context->GetRegionCount(), 0u);

    CRgn rgnBand, rgnRect;
    CXTPDockingPaneContext::CreateOutlineRegion(&rgnBand, CRect(10, 10, 110, 16), FALSE);
    rgnRect.CreateRectRgn(10, 10, 110, 16);
    EXPECT_TRUE(rgnBand.EqualRgn(&rgnRect));
    CRgn rgnFrame;
    CXTPDockingPaneContext::CreateOutlineRegion(&rgnFrame, CRect(0, 0, 100, 100), FALSE);
    EXPECT_TRUE(rgnFrame.PtInRegion(3, 50));
    EXPECT_FALSE(rgnFrame.PtInRegion(4, 50));
    // A tab group's outline: open where the tab joins the body.
    CRgn rgnTabs;
    CXTPDockingPaneContext::CreateOutlineRegion(&rgnTabs, CRect(0, 0, 100, 100), TRUE);
    EXPECT_TRUE(rgnTabs.PtInRegion(7, 95));
    EXPECT_FALSE(rgnTabs.PtInRegion(30, 78));
    EXPECT_TRUE(rgnTabs.PtInRegion(80, 78));
}

TEST_F(DockingMarkerTest, MarkerSetsOfBothStylesDrawnIntoABitmap)
{
    CTestMemoryDC dc(m_frame.get(), 420, 220);
    dc.FillSolidRect(0, 0, 420, 220, RGB(128, 128, 128));
    CXTPDockingPaneMarkerWnd marker(m_context);
    for (int nStyle : {0, 1}) {
        m_manager->m_nStickyStyle = nStyle;
        const int y = nStyle * 110;
        struct Item
        {
            int nKind, nHot, x;
        };
        for (const Item& item : {Item{63, 0, 0}, Item{63, xtpMarkerLeft, 100}, Item{63, xtpMarkerCentre, 200}}) {
            marker.m_nKind = item.nKind;
            marker.m_nHotPart = item.nHot;
            dc.SetViewportOrg(item.x, y);
            m_context->DrawMarker(&marker, &dc);
        }
        struct Outer
        {
            int nKind, x, y;
        };
        for (const Outer& outer : {Outer{xtpMarkerTop, 330, 0}, Outer{xtpMarkerLeft, 300, 35},
                                   Outer{xtpMarkerRight, 380, 35}, Outer{xtpMarkerBottom, 330, 75}}) {
            marker.m_nKind = outer.nKind;
            marker.m_nHotPart = outer.nKind == xtpMarkerTop ? xtpMarkerTop : 0;
            dc.SetViewportOrg(outer.x, y + outer.y);
            m_context->DrawMarker(&marker, &dc);
        }
    }
    dc.SetViewportOrg(0, 0);
    // Style 0's group: the centre part and the background are not the grey behind them.
    EXPECT_NE(dc.GetPixel(46, 46), RGB(128, 128, 128));
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(128, 128, 128));
    EXPECT_TRUE(test_support::WriteDcScreenshot(dc.m_hDC, CRect(0, 0, 420, 220), L"docking_marker_sets"));
}

} // namespace
