// The task panel as a window: its life without a window, the layout pass and animation, scrolling,
// the keyboard, the mouse with its owner's refusals, hot tracking under the command-bar mouse manager,
// and accessibility, on a real dialog on the test display.
#include "hook_managers.h"
#include "image_manager.h"
#include "task_panel_test_support.h"
#include "taskpanel_test_ids.h"
#include "toolkit_test_app.h"
#include "tooltip_controller.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class TaskPanelWindowTest : public TaskPanelDialogTest
{
protected:
    TaskPanelWindowTest() : TaskPanelDialogTest(200, 300, true) {}
    // A point inside an item's hit-test rectangle, in panel client coordinates.
    static CPoint PointOn(const CXTPTaskPanelItem* pItem)
    {
        const CRect rc = pItem->GetHitTestRect();
        return CPoint(rc.left + 3, rc.CenterPoint().y);
    }
    void SendMouse(UINT message, CPoint pt, WPARAM wKeys = 0)
    {
        m_panel->SendMessage(message, wKeys, MAKELPARAM(pt.x, pt.y));
    }
};

} // namespace

TEST(TaskPanelWithoutWindow, ThousandLivesLeaveNoFontsBitmapsOrImagesAndOleAsBefore)
{
    const HRESULT hrBefore = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hrBefore))
        ::CoUninitialize();
    std::vector<HGDIOBJ> fonts;
    std::vector<HICON> images;
    for (int i = 0; i < 1000; i++) {
        auto pPanel = std::make_unique<CXTPTaskPanel>();
        CXTPTaskPanelPaintManager* pPaintManager = pPanel->GetPaintManager();
        if (i % 100 == 0) {
            EXPECT_GE(pPaintManager->GetCaptionHeight(), 25);
            EXPECT_EQ(CRect(12, 12, 12, 12), pPaintManager->GetControlMargins(pPanel.get()));
            EXPECT_EQ(15, pPaintManager->GetGroupSpacing(pPanel.get()));
            EXPECT_EQ(2, pPanel->GetCurrentTheme());
            EXPECT_FALSE(pPaintManager->LoadShellStyle()) << "no colour scheme under the test display";
            fonts.push_back(pPaintManager->GetCaptionFont()->GetSafeHandle());
            fonts.push_back(pPaintManager->GetItemFont(TRUE, TRUE)->GetSafeHandle());
            images.push_back(pPaintManager->GetExpandImage(FALSE));
            images.push_back(pPaintManager->GetExpandImage(TRUE));
            pPanel->SetTheme(7);
            EXPECT_EQ(7, pPanel->GetCurrentTheme());
        }
        // Items without a window: added, laid out (nothing happens) and removed.
        CXTPTaskPanelGroup* pGroup = AddTestGroup(pPanel.get(), L"Tasks");
        AddTestItem(pGroup, L"Link", xtpTaskItemTypeLink, 1);
        pPanel->SetFocusedItem(pGroup);
        pPanel->SetHotItem(pGroup->GetAt(0));
    }
    for (HGDIOBJ hFont : fonts)
        EXPECT_EQ(0u, ::GetObjectType(hFont));
    for (HICON hIcon : images) {
        ASSERT_NE(nullptr, hIcon);
        ICONINFO info = {};
        EXPECT_FALSE(::GetIconInfo(hIcon, &info)) << "the expand image outlived its paint manager";
    }
    const HRESULT hrAfter = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hrAfter))
        ::CoUninitialize();
    EXPECT_EQ(hrBefore, hrAfter);
}

TEST_F(TaskPanelWindowTest, WithoutGroupsTheContentIsTheMarginsAndNoScrollBarShows)
{
    m_panel->Reposition(FALSE);
    EXPECT_EQ(12 + 12, m_panel->GetContentHeight());
    EXPECT_FALSE(m_panel->IsScrollBarShown());
    EXPECT_EQ(0, m_panel->GetStyle() & WS_VSCROLL);
    m_panel->SetMargins(3, 5, 7, 9, 2);
    EXPECT_EQ(5 + 9, m_panel->GetContentHeight());
}

TEST_F(TaskPanelWindowTest, TheUpdateLockHoldsLayoutAndAnimationUntilItEnds)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Locked");
    AddTestItem(pGroup, L"Link", xtpTaskItemTypeLink, 1);
    m_panel->SetAnimation(xtpTaskPanelAnimationNo);
    m_panel->Reposition(FALSE);
    m_panel->SetAnimation(xtpTaskPanelAnimationYes);
    const int nContent = m_panel->GetContentHeight();
    m_panel->m_nScrollBarUpdates = 0;
    m_panel->BeginUpdate();
    m_panel->BeginUpdate();
    AddTestItem(pGroup, L"Second", xtpTaskItemTypeLink, 2);
    pGroup->SetExpanded(FALSE);
    EXPECT_EQ(nContent, m_panel->GetContentHeight());
    EXPECT_FALSE(m_panel->IsAnimationTimerRunning());
    m_panel->EndUpdate();
    EXPECT_EQ(0, m_panel->m_nScrollBarUpdates);
    m_panel->EndUpdate();
    EXPECT_EQ(1, m_panel->m_nScrollBarUpdates);
    EXPECT_TRUE(m_panel->IsAnimationTimerRunning()) << "the collapse animates once the lock is gone";
    EXPECT_EQ(pGroup->GetCaptionHeight(), pGroup->GetTargetRect().Height());
}

TEST_F(TaskPanelWindowTest, AnimationOffShowsTheFinalLayoutAndCodeSevenInTheSamePass)
{
    m_panel->SetAnimation(xtpTaskPanelAnimationNo);
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Files");
    AddTestItem(pGroup, L"Open", xtpTaskItemTypeLink, 1);
    PumpPanelMessages();
    m_dialog->ClearNotifications();
    pGroup->SetExpanded(FALSE);
    EXPECT_EQ(pGroup->GetTargetRect(), pGroup->GetCurrentRect());
    EXPECT_EQ(pGroup->GetCaptionHeight(), pGroup->GetCurrentRect().Height());
    ASSERT_EQ(2u, m_dialog->m_notifications.size());
    EXPECT_EQ(static_cast<WPARAM>(XTP_TPN_GROUPEXPANDING), m_dialog->m_notifications[0].nCode);
    EXPECT_EQ(static_cast<WPARAM>(XTP_TPN_GROUPEXPANDED), m_dialog->m_notifications[1].nCode);
    EXPECT_EQ(reinterpret_cast<LPARAM>(pGroup), m_dialog->m_notifications[1].lParam);
    EXPECT_FALSE(m_panel->IsAnimationTimerRunning());
    EXPECT_EQ(0u, m_panel->GetAnimationTimerId());
}

TEST_F(TaskPanelWindowTest, CollapsingMovesByTheRemainderOverTheStepInTenTicks)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Sized");
    CXTPTaskPanelGroupItem* pItem = AddTestItem(pGroup, L"Fixed", xtpTaskItemTypeLink, 1);
    // A client area of 8 + 41 + 8 = 57 pixels: steps of 57/10, 52/9, ... rounded down, at least 1.
    pItem->SetSize(CSize(100, 41));
    m_panel->SetAnimation(xtpTaskPanelAnimationNo);
    m_panel->Reposition(FALSE);
    m_panel->SetAnimation(xtpTaskPanelAnimationYes);
    const int nTop = pGroup->GetCurrentRect().top;
    const int nCaption = pGroup->GetCaptionHeight();
    ASSERT_EQ(57, pGroup->GetClientHeight());
    m_dialog->ClearNotifications();
    pGroup->SetExpanded(FALSE);
    EXPECT_TRUE(m_panel->IsAnimationTimerRunning());
    EXPECT_EQ(10, m_panel->GetAnimationStep());
    const int remaining[] = {52, 47, 42, 36, 30, 24, 18, 12, 6, 0};
    for (int nTick = 0; nTick < 10; nTick++) {
        SCOPED_TRACE(nTick);
        m_panel->SendMessage(WM_TIMER, XTP_TASKPANEL_TIMER_ANIMATION);
        EXPECT_EQ(nTop + nCaption + remaining[nTick], pGroup->GetCurrentRect().bottom);
        EXPECT_EQ(nTop, pGroup->GetCurrentRect().top);
    }
    EXPECT_EQ(1, m_dialog->CountCode(XTP_TPN_GROUPEXPANDED));
    m_panel->SendMessage(WM_TIMER, XTP_TASKPANEL_TIMER_ANIMATION);
    EXPECT_FALSE(m_panel->IsAnimationTimerRunning()) << "a tick that moves nothing stops the timer";
}

TEST_F(TaskPanelWindowTest, ScrollCodesStopAtTheLimitAndAtTheTop)
{
    m_panel->SetAnimation(xtpTaskPanelAnimationNo);
    for (int i = 0; i < 8; i++) {
        CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Group");
        for (int j = 0; j < 3; j++)
            AddTestItem(pGroup, L"Link", xtpTaskItemTypeLink, static_cast<UINT>(j + 1));
    }
    ASSERT_TRUE(m_panel->IsScrollBarShown());
    const int nLimit = m_panel->GetScrollLimit(SB_VERT);
    ASSERT_GT(nLimit, 20);
    struct Case
    {
        const char* name;
        int nStart;
        UINT nCode;
        int nExpected;
    };
    const Case cases[] = {
        {"line down at the limit", nLimit, SB_LINEDOWN, nLimit},
        {"line down near the limit", nLimit - 2, SB_LINEDOWN, nLimit},
        {"line down", 10, SB_LINEDOWN, 16},
        {"line up near the top", 4, SB_LINEUP, 0},
        {"page up near the top", 20, SB_PAGEUP, 0},
        {"page down near the limit", nLimit - 5, SB_PAGEDOWN, nLimit},
        {"top", 30, SB_TOP, 0},
        {"bottom", 0, SB_BOTTOM, nLimit},
        {"end scroll", 12, SB_ENDSCROLL, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_panel->SetScrollPos(SB_VERT, c.nStart);
        m_panel->SendMessage(WM_VSCROLL, MAKEWPARAM(c.nCode, 0));
        EXPECT_EQ(c.nExpected, m_panel->GetScrollOffset());
    }
    // The wheel moves ten pixels a notch, not past either end.
    m_panel->SetScrollPos(SB_VERT, 4);
    m_panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(0, m_panel->GetScrollOffset());
    m_panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(10, m_panel->GetScrollOffset());
    m_panel->SetScrollPos(SB_VERT, nLimit - 3);
    m_panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(nLimit, m_panel->GetScrollOffset());
}

TEST_F(TaskPanelWindowTest, TabWalksCaptionsAndFirstItemsThenLeavesForTheNextControl)
{
    m_panel->SetAnimation(xtpTaskPanelAnimationNo);
    CXTPTaskPanelGroup* pFirst = AddTestGroup(m_panel, L"First");
    CXTPTaskPanelGroupItem* pLink = AddTestItem(pFirst, L"Link", xtpTaskItemTypeLink, 1);
    AddTestItem(pFirst, L"Note", xtpTaskItemTypeText);
    CXTPTaskPanelGroup* pFixed = AddTestGroup(m_panel, L"Fixed");
    pFixed->SetExpandable(FALSE);
    CXTPTaskPanelGroup* pLast = AddTestGroup(m_panel, L"Last");
    CXTPTaskPanelGroupItem* pLastLink = AddTestItem(pLast, L"Last link", xtpTaskItemTypeLink, 2);

    m_panel->SetFocus();
    m_panel->SetFocusedItem(pFirst, TRUE);
    // A group's first item, then the next caption: the group that cannot be collapsed is no stop.
    m_panel->SendMessage(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(pLink, m_panel->GetFocusedItem());
    m_panel->SendMessage(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(pLast, m_panel->GetFocusedItem());
    m_panel->SendMessage(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(pLastLink, m_panel->GetFocusedItem());
    EXPECT_TRUE(m_panel->HasFocus());
    m_panel->SendMessage(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(m_dialog->GetDlgItem(IDC_TASKPANEL_AFTER)->GetSafeHwnd(), ::GetFocus());

    // The arrows pass over the text line and the fixed group both ways.
    m_panel->SetFocus();
    m_panel->SetFocusedItem(pLink, TRUE);
    m_panel->SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(pLast, m_panel->GetFocusedItem());
    m_panel->SendMessage(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(pLink, m_panel->GetFocusedItem());
    m_panel->SendMessage(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(pFirst, m_panel->GetFocusedItem());
    EXPECT_GE(m_dialog->CountCode(XTP_TPN_FOCUSEDITEMCHANGED), 4);
}

TEST_F(TaskPanelWindowTest, OwnerRefusalsAndReleasesAwayFromTheItem)
{
    m_panel->SetAnimation(xtpTaskPanelAnimationNo);
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Actions");
    CXTPTaskPanelGroupItem* pText = AddTestItem(pGroup, L"Just text", xtpTaskItemTypeText);
    CXTPTaskPanelGroupItem* pLink = AddTestItem(pGroup, L"Do it", xtpTaskItemTypeLink, 7);
    PumpPanelMessages();

    // Pressed and released on the link: one click.
    SendMouse(WM_MOUSEMOVE, PointOn(pLink));
    ASSERT_EQ(pLink, m_panel->GetHotItem()) << "the dialog must be the active window";
    SendMouse(WM_LBUTTONDOWN, PointOn(pLink), MK_LBUTTON);
    SendMouse(WM_LBUTTONUP, PointOn(pLink));
    EXPECT_EQ(1, m_dialog->CountCode(XTP_TPN_CLICK));

    // Released away from the pressed link: no click.
    m_dialog->ClearNotifications();
    SendMouse(WM_LBUTTONDOWN, PointOn(pLink), MK_LBUTTON);
    const CPoint ptAway(PointOn(pLink).x, pGroup->GetHitTestRect().top - 4);
    SendMouse(WM_MOUSEMOVE, CPoint(ptAway.x, ptAway.y), MK_LBUTTON);
    SendMouse(WM_LBUTTONUP, ptAway);
    EXPECT_EQ(0, m_dialog->CountCode(XTP_TPN_CLICK));
    EXPECT_EQ(nullptr, m_panel->GetPressedItem());

    // A text line is never hot, pressed or focused.
    SendMouse(WM_MOUSEMOVE, PointOn(pText));
    EXPECT_EQ(nullptr, m_panel->GetHotItem());
    SendMouse(WM_LBUTTONDOWN, PointOn(pText), MK_LBUTTON);
    EXPECT_EQ(nullptr, m_panel->GetPressedItem());
    EXPECT_NE(pText, m_panel->GetFocusedItem());
    SendMouse(WM_LBUTTONUP, PointOn(pText));

    // Code 3 answered -1: no drag starts.
    m_panel->AllowDrag(xtpTaskItemAllowDragAll);
    m_dialog->ClearNotifications();
    m_dialog->m_answers[XTP_TPN_STARTDRAG] = XTP_ACTION_CANCEL;
    m_panel->OnStartItemDrag(pLink);
    EXPECT_EQ(1, m_dialog->CountCode(XTP_TPN_STARTDRAG));
    EXPECT_EQ(nullptr, m_panel->GetDraggedItem());
    EXPECT_EQ(pGroup, pLink->GetItemGroup()) << "a refused drag leaves the item where it was";

    // Code 6 answered -1: the group stays expanded, through the mouse and through the keyboard.
    m_dialog->m_answers[XTP_TPN_GROUPEXPANDING] = XTP_ACTION_CANCEL;
    SendMouse(WM_MOUSEMOVE, PointOn(pGroup));
    SendMouse(WM_LBUTTONDOWN, PointOn(pGroup), MK_LBUTTON);
    SendMouse(WM_LBUTTONUP, PointOn(pGroup));
    EXPECT_TRUE(pGroup->IsExpanded());
    m_panel->SetFocusedItem(pGroup, TRUE);
    m_panel->SendMessage(WM_KEYDOWN, VK_SPACE);
    EXPECT_TRUE(pGroup->IsExpanded());
    EXPECT_EQ(2, m_dialog->CountCode(XTP_TPN_GROUPEXPANDING));
    EXPECT_EQ(0, m_dialog->CountCode(XTP_TPN_GROUPEXPANDED));
}

TEST_F(TaskPanelWindowTest, HotTrackingPausesWhileTheMenuMouseManagerIsLocked)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Links");
    CXTPTaskPanelGroupItem* pLink = AddTestItem(pGroup, L"Go", xtpTaskItemTypeLink, 3);
    pLink->SetTooltip(L"Goes");
    m_panel->Reposition(FALSE);
    CXTPMouseManager* pManager = CXTPMouseManager::GetInstance();
    pManager->m_nLock++;
    SendMouse(WM_MOUSEMOVE, PointOn(pLink));
    EXPECT_EQ(nullptr, m_panel->GetHotItem());
    pManager->m_nLock--;
    SendMouse(WM_MOUSEMOVE, PointOn(pLink));
    EXPECT_EQ(pLink, m_panel->GetHotItem());

    TOOLINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_EQ(3, m_panel->OnToolHitTest(PointOn(pLink), &info));
    CXTPToolTipController::FreeToolInfo(&info);
    pManager->m_nLock++;
    EXPECT_EQ(-1, m_panel->OnToolHitTest(PointOn(pLink), &info));
    pManager->m_nLock--;

    // Removing the hot item drops the panel's reference.
    pLink->Remove();
    EXPECT_EQ(nullptr, m_panel->GetHotItem());
}

TEST_F(TaskPanelWindowTest, AccessibleChildIdsRolesAndStates)
{
    CXTPTaskPanelGroup* pFirst = AddTestGroup(m_panel, L"First");
    AddTestItem(pFirst, L"A", xtpTaskItemTypeLink, 1);
    CXTPTaskPanelGroupItem* pB = AddTestItem(pFirst, L"B", xtpTaskItemTypeLink, 2);
    CXTPTaskPanelGroup* pSecond = AddTestGroup(m_panel, L"Second");
    CXTPTaskPanelGroupItem* pC = AddTestItem(pSecond, L"C", xtpTaskItemTypeLink, 3);
    m_panel->Reposition(FALSE);

    // The system's answer, where oleacc can give one; the tests below ask the interface itself.
    const LRESULT nObject = m_panel->SendMessage(WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    EXPECT_TRUE(nObject > 0 || nObject == static_cast<LRESULT>(E_FAIL)) << nObject;
    IAccessible* pAccessible = m_panel->GetAccessible();
    long nCount = 0;
    ASSERT_EQ(S_OK, pAccessible->get_accChildCount(&nCount));
    EXPECT_EQ(5, nCount);
    struct Case
    {
        long nChild;
        CXTPTaskPanelItem* pItem;
    };
    const Case cases[] = {{1, pFirst}, {3, pB}, {4, pSecond}, {5, pC}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nChild);
        VARIANT var;
        var.vt = VT_I4;
        var.lVal = c.nChild;
        IDispatch* pDispatch = nullptr;
        ASSERT_EQ(S_OK, pAccessible->get_accChild(var, &pDispatch));
        EXPECT_EQ(static_cast<IDispatch*>(c.pItem->GetAccessible()), pDispatch);
        pDispatch->Release();
        EXPECT_EQ(c.nChild, c.pItem->GetAccessibleChildId());
    }
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT bad = self;
    bad.lVal = 6;
    IDispatch* pNone = nullptr;
    EXPECT_EQ(E_INVALIDARG, pAccessible->get_accChild(bad, &pNone));

    VARIANT role;
    ASSERT_EQ(S_OK, pAccessible->get_accRole(self, &role));
    EXPECT_EQ(ROLE_SYSTEM_OUTLINE, role.lVal);
    ASSERT_EQ(S_OK, pC->GetAccessible()->get_accRole(self, &role));
    EXPECT_EQ(ROLE_SYSTEM_LISTITEM, role.lVal);

    VARIANT state;
    m_panel->SetFocusedItem(pB);
    ASSERT_EQ(S_OK, pB->GetAccessible()->get_accState(self, &state));
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_FOCUSABLE);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_FOCUSED);
    pC->SetVisible(FALSE);
    pC->SetEnabled(FALSE);
    ASSERT_EQ(S_OK, pC->GetAccessible()->get_accState(self, &state));
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_INVISIBLE);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_FALSE(state.lVal & STATE_SYSTEM_FOCUSED);
    ASSERT_EQ(S_OK, pFirst->GetAccessible()->get_accState(self, &state));
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_EXPANDED);

    BSTR name = nullptr;
    ASSERT_EQ(S_OK, pB->GetAccessible()->get_accName(self, &name));
    EXPECT_STREQ(L"B", name);
    ::SysFreeString(name);
    EXPECT_EQ(E_INVALIDARG, pB->GetAccessible()->get_accName(bad, &name));

    // The default action of a link clicks it.
    m_dialog->ClearNotifications();
    EXPECT_EQ(S_OK, pB->GetAccessible()->accDoDefaultAction(self));
    EXPECT_EQ(1, m_dialog->CountCode(XTP_TPN_CLICK));
}
