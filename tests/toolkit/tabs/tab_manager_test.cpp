// The tab manager: its list of tabs with selection after deletion, insertion and automatic colours, hit
// testing, keys, scrolling and the scroll arrows; then on a real window the pressed-button loop, the
// reorder drag and hot tracking, each loop driven by posted messages behind a safety WM_CANCELMODE.
#include "tab_test_owner.h"
#include "tooltip_controller.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct DeleteCase
{
    const char* name;
    int nTabs;
    int nSelected;
    int nDeleted;
    // The index, after the deletion, of the tab that must be selected; -1 for none.
    int nExpected;
    // This tab is hidden and disabled before the deletion (index before it), -1 for none.
    int nCrippled;
};

TEST(TabManagerModel, DeletingTheSelectedTabSelectsItsNeighbourWhateverItsState)
{
    const DeleteCase cases[] = {
        {"last", 4, 3, 3, 2, -1},
        {"middle, the tab moving in hidden and disabled", 4, 1, 1, 1, 2},
        {"only", 1, 0, 0, -1, -1},
        {"not the selected one", 4, 2, 0, 1, -1},
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.name);
        CTestTabOwner owner;
        for (int i = 0; i < c.nTabs; ++i)
            owner.InsertItem(-1);
        if (c.nCrippled >= 0) {
            owner.GetItem(c.nCrippled)->SetVisible(FALSE);
            owner.GetItem(c.nCrippled)->SetEnabled(FALSE);
        }
        owner.SetSelectedItem(owner.GetItem(c.nSelected));
        CXTPTabManagerItem* pExpected = NULL;
        if (c.nExpected >= 0)
            pExpected = owner.GetItem(c.nExpected < c.nDeleted ? c.nExpected : c.nExpected + 1);
        ASSERT_TRUE(owner.DeleteItem(c.nDeleted));
        EXPECT_EQ(owner.GetSelectedItem(), pExpected);
        EXPECT_EQ(owner.GetItemCount(), c.nTabs - 1);
        for (int i = 0; i < owner.GetItemCount(); ++i)
            EXPECT_EQ(owner.GetItem(i)->GetIndex(), i);
    }
    CTestTabOwner owner;
    owner.InsertItem(-1);
    EXPECT_FALSE(owner.DeleteItem(1));
    EXPECT_FALSE(owner.DeleteItem(-1));
    EXPECT_EQ(owner.GetItem(1), nullptr);
}

TEST(TabManagerModel, InsertingAppendsOutOfRangeAndHandsOutTheEightAutomaticColours)
{
    CTestTabOwner owner;
    CXTPTabManagerItem* pFirst = owner.InsertItem(0);
    CXTPTabManagerItem* pLow = owner.InsertItem(-5);
    CXTPTabManagerItem* pHigh = owner.InsertItem(owner.GetItemCount() + 3);
    EXPECT_EQ(owner.GetItem(0), pFirst);
    EXPECT_EQ(owner.GetItem(1), pLow);
    EXPECT_EQ(owner.GetItem(2), pHigh);
    const COLORREF palette[8] = {0xE4A88A, 0x75DBFF, 0x9FCDBD, 0x9F9EF0,
                                 0xE1A6BA, 0xB4BF9A, 0x83B6F7, 0xC0ABD8};
    for (int i = 3; i < 9; ++i)
        owner.InsertItem(1);
    // Inserted ninth, at index 1: the counter wraps to automatic colour 0.
    CXTPTabManagerItem* pNinth = owner.GetItem(1);
    EXPECT_EQ(pNinth->m_clrItem, static_cast<COLORREF>(0x1000000));
    EXPECT_EQ(pHigh->m_clrItem, static_cast<COLORREF>(0x1000002));
    EXPECT_EQ(pHigh->GetColor(), palette[2]);
    EXPECT_EQ(pNinth->GetColor(), palette[0]);
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(CXTPTabPaintManager::GetItemPaletteColor(0x1000000 + n), palette[n]);
    EXPECT_EQ(CXTPTabPaintManager::GetItemPaletteColor(0x1000008), static_cast<COLORREF>(0x1000008));
    EXPECT_EQ(CXTPTabPaintManager::GetItemPaletteColor(0x123456), static_cast<COLORREF>(0x123456));

    // A tab moved from another manager gets a new colour unless its owner writes the old one back.
    CTestTabOwner other;
    pHigh->InternalAddRef();
    const COLORREF clrSaved = pHigh->m_clrItem;
    pHigh->Remove();
    other.InsertItem(-1, pHigh);
    EXPECT_EQ(pHigh->m_clrItem, static_cast<COLORREF>(0x1000000));
    pHigh->SetColor(clrSaved);
    pHigh->InternalRelease();
    EXPECT_EQ(pHigh->GetTabManager(), &other);
    EXPECT_EQ(pHigh->GetColor(), palette[2]);
    EXPECT_EQ(owner.GetItemCount(), 8);
}

TEST(TabManagerModel, HitTestSkipsHiddenAndDisabledTabsAndStaysInsideTheHeader)
{
    CTestTabOwner owner;
    owner.m_pPaintManager->SetLayout(xtpTabLayoutFixed);
    owner.AddTabs({L"a", L"b", L"c"});
    const CPoint ptA = owner.GetItem(0)->GetRect().CenterPoint();
    const CPoint ptB = owner.GetItem(1)->GetRect().CenterPoint();
    const CPoint ptC = owner.GetItem(2)->GetRect().CenterPoint();
    EXPECT_EQ(owner.HitTest(ptA), owner.GetItem(0));
    owner.GetItem(1)->SetEnabled(FALSE);
    EXPECT_EQ(owner.HitTest(ptB), nullptr);
    CXTPTabManagerItem* pC = owner.GetItem(2);
    pC->SetVisible(FALSE);
    EXPECT_EQ(owner.HitTest(ptC), nullptr);
    // A stale rectangle of a hidden tab does not count either.
    pC->m_rcItem = owner.GetItem(0)->GetRect();
    owner.GetItem(0)->SetEnabled(FALSE);
    EXPECT_EQ(owner.HitTest(ptA), nullptr);

    const CRect rcHeader = owner.GetHeaderRect();
    ASSERT_FALSE(rcHeader.IsRectEmpty());
    // Inside the control, below the header, where a tab rectangle is made to reach.
    owner.GetItem(0)->SetEnabled(TRUE);
    owner.GetItem(0)->m_rcItem.bottom = rcHeader.bottom + 20;
    EXPECT_EQ(owner.HitTest(CPoint(ptA.x, rcHeader.bottom + 5)), nullptr);
    EXPECT_EQ(owner.HitTest(CPoint(ptA.x, -5)), nullptr);
}

TEST(TabManagerModel, KeysFollowTheStripDirectionAndARightToLeftWindow)
{
    CTestTabOwner owner;
    owner.AddTabs({L"a", L"b", L"c", L"d"});
    EXPECT_TRUE(owner.OnKeyDown(NULL, VK_RIGHT)) << "without a selection the key is taken and nothing moves";
    EXPECT_EQ(owner.GetSelectedItem(), nullptr);
    owner.SetSelectedItem(owner.GetItem(1));

    owner.m_pPaintManager->SetPosition(xtpTabPositionLeft);
    EXPECT_TRUE(owner.OnKeyDown(NULL, VK_LEFT));
    EXPECT_EQ(owner.GetSelectedItem(), owner.GetItem(1));
    EXPECT_TRUE(owner.OnKeyDown(NULL, VK_DOWN));
    EXPECT_EQ(owner.GetSelectedItem(), owner.GetItem(2));
    owner.GetItem(3)->SetEnabled(FALSE);
    EXPECT_TRUE(owner.OnKeyDown(NULL, VK_END));
    EXPECT_EQ(owner.GetSelectedItem(), owner.GetItem(2));
    EXPECT_TRUE(owner.OnKeyDown(NULL, VK_HOME));
    EXPECT_EQ(owner.GetSelectedItem(), owner.GetItem(0));
    EXPECT_FALSE(owner.OnKeyDown(NULL, VK_RETURN));

    owner.m_pPaintManager->SetPosition(xtpTabPositionTop);
    HWND hRtl =
        ::CreateWindowExW(WS_EX_LAYOUTRTL, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(hRtl, nullptr);
    EXPECT_TRUE(owner.OnKeyDown(hRtl, VK_LEFT));
    EXPECT_EQ(owner.GetSelectedItem(), owner.GetItem(1));
    EXPECT_TRUE(owner.OnKeyDown(hRtl, VK_RIGHT));
    EXPECT_EQ(owner.GetSelectedItem(), owner.GetItem(0));
    ::DestroyWindow(hRtl);

    CTestTabOwner empty;
    EXPECT_FALSE(empty.OnKeyDown(NULL, VK_HOME));
}

TEST(TabManagerModel, ScrollingNeverPassesTheStartAndTheArrowsShowOnlyWhenNeeded)
{
    CTestTabOwner owner;
    owner.m_pPaintManager->SetLayout(xtpTabLayoutFixed);
    owner.AddTabs({L"a", L"b"});
    CXTPTabManagerNavigateButton* pLeft = owner.FindNavigateButton(xtpTabNavigateButtonLeft);
    CXTPTabManagerNavigateButton* pRight = owner.FindNavigateButton(xtpTabNavigateButtonRight);
    CXTPTabManagerNavigateButton* pClose = owner.FindNavigateButton(xtpTabNavigateButtonClose);
    ASSERT_TRUE(pLeft && pRight && pClose);
    EXPECT_TRUE(pLeft->GetRect().IsRectEmpty());
    EXPECT_TRUE(pRight->GetRect().IsRectEmpty());
    EXPECT_TRUE(pClose->GetRect().IsRectEmpty());

    owner.SetScrollOffset(-20);
    EXPECT_FALSE(pLeft->GetRect().IsRectEmpty());
    EXPECT_FALSE(pRight->GetRect().IsRectEmpty());
    EXPECT_TRUE(pLeft->IsEnabled());
    EXPECT_FALSE(pRight->IsEnabled());
    // Left arrow, right arrow, then the end of the header.
    EXPECT_LT(pLeft->GetRect().left, pRight->GetRect().left);
    EXPECT_EQ(owner.GetHeaderRect().right, pLeft->GetRect().left);

    owner.SetScrollOffset(-10);
    owner.OnScroll(0);
    EXPECT_EQ(owner.GetScrollOffset(), 0);
    owner.SetScrollOffset(25);
    EXPECT_EQ(owner.GetScrollOffset(), 0);
    owner.OnScroll(1);
    EXPECT_EQ(owner.GetScrollOffset(), -20);

    // The close button follows the selected tab's flag.
    pClose->SetShowMode(xtpTabNavigateButtonAutomatic);
    owner.SetSelectedItem(owner.GetItem(0));
    owner.Reposition();
    EXPECT_FALSE(pClose->GetRect().IsRectEmpty());
    owner.GetItem(0)->SetClosable(FALSE);
    owner.Reposition();
    EXPECT_TRUE(pClose->GetRect().IsRectEmpty());
}

TEST(TabManagerModel, TooltipsByTheBehaviourSetting)
{
    CTestTabOwner owner;
    owner.AddTabs({L"first"});
    CXTPTabManagerItem* pItem = owner.GetItem(0);
    pItem->SetToolTip(L"tip");
    TOOLINFO ti = {};
    ti.cbSize = sizeof(TOOLINFO);
    EXPECT_EQ(owner.FillToolInfo(NULL, pItem, &ti), -1) << "not shortened";
    pItem->m_nButtonLength = pItem->m_nContentLength - 5;
    EXPECT_EQ(owner.FillToolInfo(NULL, pItem, &ti), 0);
    EXPECT_EQ(ti.uId, 0u);
    CXTPToolTipController::FreeToolInfo(&ti);
    owner.m_pPaintManager->m_nToolTipBehaviour = 0;
    EXPECT_EQ(owner.FillToolInfo(NULL, pItem, &ti), -1);
    owner.m_pPaintManager->m_nToolTipBehaviour = 1;
    pItem->SetToolTip(L"");
    EXPECT_EQ(owner.FillToolInfo(NULL, pItem, &ti), -1);
    EXPECT_EQ(owner.FillToolInfo(NULL, NULL, &ti), -1);
}

// The strip on a real window: 6 fixed tabs of 70 pixels in 300 do not fit, so the arrows show.
class TabStripWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_owner.m_pPaintManager->SetLayout(xtpTabLayoutFixed);
        m_owner.AddTabs({L"one", L"two", L"three", L"four", L"five", L"six"});
        m_owner.SetSelectedItem(m_owner.GetItem(1));
        m_window = std::make_unique<CTabStripWindow>(&m_owner, CRect(40, 40, 340, 160));
        m_owner.m_nSelectionChanges = 0;
    }
    void TearDown() override { m_window.reset(); }

    void Post(UINT message, CPoint pt)
    {
        ::PostMessageW(m_window->GetHwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                       MAKELPARAM(pt.x, pt.y));
    }

    CTestTabOwner m_owner;
    std::unique_ptr<CTabStripWindow> m_window;
};

TEST_F(TabStripWindowTest, ReleasingOutsideAPressedButtonExecutesNothing)
{
    HWND hWnd = m_window->GetHwnd();
    CXTPTabManagerNavigateButton* pRight = m_owner.FindNavigateButton(xtpTabNavigateButtonRight);
    CXTPTabManagerNavigateButton* pClose = m_owner.FindNavigateButton(xtpTabNavigateButtonClose);
    ASSERT_FALSE(pRight->GetRect().IsRectEmpty());
    ASSERT_TRUE(pRight->IsEnabled());
    const CPoint ptOutside(5, 100);

    Post(WM_MOUSEMOVE, ptOutside);
    Post(WM_LBUTTONUP, ptOutside);
    m_window->ArmSafetyTimer(2000);
    EXPECT_TRUE(m_owner.HandleClick(hWnd, pRight->GetRect().CenterPoint(), FALSE));
    EXPECT_EQ(m_owner.GetScrollOffset(), 0);
    EXPECT_FALSE(pRight->IsPressed());
    EXPECT_EQ(::GetCapture(), nullptr);

    pClose->SetShowMode(xtpTabNavigateButtonAlways);
    m_owner.Reposition();
    const CPoint ptClose = pClose->GetRect().CenterPoint();
    Post(WM_MOUSEMOVE, ptOutside);
    Post(WM_LBUTTONUP, ptOutside);
    EXPECT_TRUE(m_owner.HandleClick(hWnd, ptClose, TRUE));
    EXPECT_TRUE(m_owner.m_navigateClicks.empty());
    Post(WM_LBUTTONUP, ptClose);
    EXPECT_TRUE(m_owner.HandleClick(hWnd, ptClose, TRUE));
    EXPECT_EQ(m_owner.m_navigateClicks, std::vector<int>{xtpTabNavigateButtonClose});

    // Escape and WM_CANCELMODE end the loop without a click.
    ::PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    m_owner.HandleClick(hWnd, ptClose, TRUE);
    ::PostMessageW(hWnd, WM_CANCELMODE, 0, 0);
    m_owner.HandleClick(hWnd, ptClose, TRUE);
    EXPECT_EQ(m_owner.m_navigateClicks.size(), 1u);
    ::KillTimer(hWnd, 1);
}

TEST_F(TabStripWindowTest, AHeldArrowScrollsUntilReleased)
{
    HWND hWnd = m_window->GetHwnd();
    CXTPTabManagerNavigateButton* pRight = m_owner.FindNavigateButton(xtpTabNavigateButtonRight);
    const CPoint pt = pRight->GetRect().CenterPoint();
    m_window->ReleaseLaterAt(pt, 600);
    m_window->ArmSafetyTimer(3000);
    m_owner.HandleClick(hWnd, pt, FALSE);
    // 420 pixels of tabs in a 260-pixel header: the arrow stops once the last tab shows.
    EXPECT_LE(m_owner.GetScrollOffset(), -40);
    EXPECT_GE(m_owner.GetScrollOffset(), -200);
    EXPECT_FALSE(pRight->IsEnabled());
    ::KillTimer(hWnd, 1);
}

TEST_F(TabStripWindowTest, DraggingATabPastItsNeighbourSwapsThemWithOneSelectionChange)
{
    HWND hWnd = m_window->GetHwnd();
    CXTPTabManagerItem* pFirst = m_owner.GetItem(0);
    CXTPTabManagerItem* pSecond = m_owner.GetItem(1);
    const CPoint ptFirst = pFirst->GetRect().CenterPoint();
    const CPoint ptSecond = pSecond->GetRect().CenterPoint();
    Post(WM_MOUSEMOVE, ptSecond);
    Post(WM_LBUTTONUP, ptSecond);
    m_window->ArmSafetyTimer(2000);
    EXPECT_TRUE(m_owner.HandleClick(hWnd, ptFirst, FALSE));
    EXPECT_EQ(m_owner.GetItem(0), pSecond);
    EXPECT_EQ(m_owner.GetItem(1), pFirst);
    EXPECT_EQ(pFirst->GetIndex(), 1);
    EXPECT_EQ(m_owner.GetSelectedItem(), pFirst);
    EXPECT_EQ(m_owner.m_nSelectionChanges, 1);
    EXPECT_EQ(::GetCapture(), nullptr);

    // Without reordering a click only selects.
    m_owner.SetAllowReorder(FALSE);
    m_owner.m_nSelectionChanges = 0;
    EXPECT_TRUE(m_owner.HandleClick(hWnd, m_owner.GetItem(2)->GetRect().CenterPoint(), FALSE));
    EXPECT_EQ(m_owner.GetSelectedItem(), m_owner.GetItem(2));
    EXPECT_EQ(m_owner.m_nSelectionChanges, 1);
    EXPECT_FALSE(m_owner.HandleClick(hWnd, CPoint(150, 100), FALSE));
    ::KillTimer(hWnd, 1);
}

TEST_F(TabStripWindowTest, TheSafetyTimerEndsADragThatNeverSeesItsRelease)
{
    HWND hWnd = m_window->GetHwnd();
    m_window->ArmSafetyTimer(200);
    EXPECT_TRUE(m_owner.HandleClick(hWnd, m_owner.GetItem(3)->GetRect().CenterPoint(), FALSE));
    EXPECT_EQ(m_owner.GetSelectedItem(), m_owner.GetItem(3));
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(TabStripWindowTest, LoopsEndOnLostCaptureAndHandWmQuitOn)
{
    HWND hWnd = m_window->GetHwnd();
    m_window->ArmSafetyTimer(3000);
    m_window->LoseCaptureLater(100);
    EXPECT_TRUE(m_owner.HandleClick(hWnd, m_owner.GetItem(2)->GetRect().CenterPoint(), FALSE));
    EXPECT_EQ(m_owner.GetSelectedItem(), m_owner.GetItem(2));

    CXTPTabManagerNavigateButton* pRight = m_owner.FindNavigateButton(xtpTabNavigateButtonRight);
    m_window->LoseCaptureLater(100);
    m_owner.HandleClick(hWnd, pRight->GetRect().CenterPoint(), FALSE);
    EXPECT_FALSE(pRight->IsPressed());

    // WM_QUIT ends either loop and is still there for the thread's own loop.
    m_owner.SetScrollOffset(-40);
    ASSERT_TRUE(pRight->IsEnabled());
    for (int nLoop = 0; nLoop < 2; ++nLoop) {
        SCOPED_TRACE(nLoop);
        ::PostQuitMessage(7);
        if (nLoop == 0)
            m_owner.HandleClick(hWnd, m_owner.GetItem(3)->GetRect().CenterPoint(), FALSE);
        else
            m_owner.HandleClick(hWnd, pRight->GetRect().CenterPoint(), FALSE);
        EXPECT_EQ(::GetCapture(), nullptr);
        MSG msg;
        ASSERT_TRUE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 7u);
    }
    EXPECT_EQ(m_owner.GetScrollOffset(), -40) << "the arrow never ticked";
    ::KillTimer(hWnd, 1);
}

TEST_F(TabStripWindowTest, HotTrackingOnlyWhileActiveAndSwitchedOn)
{
    HWND hWnd = m_window->GetHwnd();
    const CPoint pt = m_owner.GetItem(2)->GetRect().CenterPoint();
    ::SetForegroundWindow(hWnd);
    PumpTabMessages();
    ASSERT_EQ(::GetForegroundWindow(), hWnd);

    m_owner.HandleMouseMove(hWnd, pt);
    EXPECT_EQ(m_owner.GetHotItem(), nullptr) << "hot tracking is off by default";

    m_owner.m_pPaintManager->m_bHotTracking = TRUE;
    m_owner.HandleMouseMove(hWnd, pt);
    EXPECT_EQ(m_owner.GetHotItem(), m_owner.GetItem(2));
    m_owner.HandleMouseMove(hWnd, CPoint(150, 100));
    EXPECT_EQ(m_owner.GetHotItem(), nullptr);

    CTestTabOwner otherOwner;
    CTabStripWindow other(&otherOwner, CRect(400, 40, 500, 100));
    ::SetForegroundWindow(other.GetHwnd());
    PumpTabMessages();
    ASSERT_EQ(::GetForegroundWindow(), other.GetHwnd());
    m_owner.HandleMouseMove(hWnd, pt);
    EXPECT_EQ(m_owner.GetHotItem(), nullptr);

    // The navigate buttons track the mouse as well.
    ::SetForegroundWindow(hWnd);
    PumpTabMessages();
    CXTPTabManagerNavigateButton* pRight = m_owner.FindNavigateButton(xtpTabNavigateButtonRight);
    m_owner.HandleMouseMove(hWnd, pRight->GetRect().CenterPoint());
    EXPECT_TRUE(pRight->IsHot());
    m_owner.HandleMouseMove(hWnd, pt);
    EXPECT_FALSE(pRight->IsHot());
}

} // namespace
