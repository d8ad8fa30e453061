// Popup menus on a real frame: the menu bar's menus by mouse and keyboard, real input through
// SendInput, modal tracking and its results, scrolling and expanding menus, the toolbar's context
// menu and its expand menu.
#include "popup_test_frame.h"

#include "work_area.h"

#include <climits>
#include <tuple>
#include <utility>

using popup_test::HookKey;
using popup_test::PopupFrame;
using popup_test::PopupFrameTest;
using popup_test::PumpFor;
using popup_test::Script;

namespace popup_test {
// clang-format off
BEGIN_MESSAGE_MAP(PopupFrame, CXTPFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND_RANGE(ID_PM_NEW, ID_PM_LAST, OnCommandRange)
END_MESSAGE_MAP()
// clang-format on
} // namespace popup_test

namespace {

MSG AltKey(UINT nVk)
{
    MSG msg{};
    msg.message = WM_SYSKEYDOWN;
    msg.wParam = nVk;
    msg.lParam = 0x20000001;
    return msg;
}

int CountThreadWindows()
{
    int nCount = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND, LPARAM lParam) -> BOOL {
            ++*reinterpret_cast<int*>(lParam);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&nCount));
    return nCount;
}

TEST_F(PopupFrameTest, AClickOnFileShowsItsMenuBelowAndHoveringEditSwitches)
{
    CXTPControl* pFile = MenuItem(L"&File");
    CXTPControl* pEdit = MenuItem(L"&Edit");
    ASSERT_NE(nullptr, pFile);
    ASSERT_NE(nullptr, pEdit);
    m_pMenuBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(pFile));
    PumpFor(50);
    CXTPPopupBar* pFileMenu = MenuOf(L"&File");
    ASSERT_NE(nullptr, pFileMenu);
    ASSERT_TRUE(pFileMenu->IsVisible());
    CRect rcMenu;
    pFileMenu->GetWindowRect(&rcMenu);
    const CRect rcItem = ScreenRect(pFile);
    EXPECT_EQ(rcItem.left, rcMenu.left);
    // The item's rectangle less its one-pixel inner edge is what the menu keeps clear of.
    EXPECT_EQ(rcItem.bottom - 1, rcMenu.top);
    EXPECT_EQ(pFileMenu, pFileMenu->GetControl(0)->GetParent());
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());

    m_pMenuBar->SendMessage(WM_MOUSEMOVE, 0, ClientPoint(pEdit));
    PumpFor(50);
    EXPECT_FALSE(pFileMenu->IsVisible());
    CXTPPopupBar* pEditMenu = MenuOf(L"&Edit");
    ASSERT_TRUE(pEditMenu->IsVisible());
    pEditMenu->GetWindowRect(&rcMenu);
    EXPECT_EQ(ScreenRect(pEdit).left, rcMenu.left);
    EXPECT_EQ(pEdit->GetIndex(), m_pMenuBar->GetPopupedIndex());

    m_pBars->ClosePopups();
    EXPECT_FALSE(pEditMenu->IsVisible());
    EXPECT_EQ(nullptr, pEditMenu->GetSafeHwnd());
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    // The frame heard of each menu before it showed and after it closed.
    EXPECT_EQ(2, m_pFrame->m_nPopupsShown);
    EXPECT_EQ(2, m_pFrame->m_nPopupsClosed);
}

TEST_F(PopupFrameTest, AltFOpensFileWithItsFirstItemAndDownEnterExecutes)
{
    MSG msg = AltKey('F');
    EXPECT_TRUE(m_pBars->PreTranslateFrameMessage(&msg));
    CXTPPopupBar* pFileMenu = MenuOf(L"&File");
    ASSERT_TRUE(pFileMenu->IsVisible());
    EXPECT_EQ(0, pFileMenu->GetSelectedIndex());
    HookKey(VK_DOWN);
    EXPECT_EQ(1, pFileMenu->GetSelectedIndex());
    HookKey(VK_RETURN);
    PumpFor(50);
    // The frame hears the execute notification first and, not answering it, the command.
    EXPECT_EQ(std::vector<UINT>{ID_PM_OPEN}, m_pFrame->m_executed);
    EXPECT_EQ(std::vector<UINT>{ID_PM_OPEN}, m_pFrame->m_commands);
    EXPECT_FALSE(pFileMenu->IsVisible());
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    EXPECT_EQ(0, CXTPMouseManager::GetInstance()->GetTrackedCount());
}

TEST_F(PopupFrameTest, EscapeClosesOneLevelAtATime)
{
    MSG msg = AltKey('E');
    EXPECT_TRUE(m_pBars->PreTranslateFrameMessage(&msg));
    CXTPPopupBar* pEditMenu = MenuOf(L"&Edit");
    ASSERT_TRUE(pEditMenu->IsVisible());
    HookKey('M');
    CXTPPopupBar* pMore = DYNAMIC_DOWNCAST(CXTPPopupBar, pEditMenu->GetControl(1)->GetCommandBar());
    ASSERT_NE(nullptr, pMore);
    ASSERT_TRUE(pMore->IsVisible());
    EXPECT_EQ(0, pMore->GetSelectedIndex());

    HookKey(VK_ESCAPE);
    EXPECT_FALSE(pMore->IsVisible());
    EXPECT_TRUE(pEditMenu->IsVisible());
    EXPECT_EQ(1, pEditMenu->GetSelectedIndex());
    HookKey(VK_ESCAPE);
    EXPECT_FALSE(pEditMenu->IsVisible());
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    EXPECT_EQ(MenuItem(L"&Edit"), m_pMenuBar->GetSelected());
    HookKey(VK_ESCAPE);
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

TEST_F(PopupFrameTest, TheArrowsMoveBetweenTheMenusOfTheMenuBar)
{
    MSG msg = AltKey('F');
    EXPECT_TRUE(m_pBars->PreTranslateFrameMessage(&msg));
    HookKey(VK_RIGHT);
    EXPECT_FALSE(MenuOf(L"&File")->IsVisible());
    ASSERT_TRUE(MenuOf(L"&Edit")->IsVisible());
    EXPECT_EQ(0, MenuOf(L"&Edit")->GetSelectedIndex());
    HookKey(VK_LEFT);
    EXPECT_TRUE(MenuOf(L"&File")->IsVisible());
    EXPECT_FALSE(MenuOf(L"&Edit")->IsVisible());
}

// The real hooks: the display's own input, typed and clicked on the foreground frame.
TEST_F(PopupFrameTest, RealInputOpensSwitchesAndExecutes)
{
    auto send = [](std::initializer_list<INPUT> inputs) {
        std::vector<INPUT> list(inputs);
        ::SendInput(static_cast<UINT>(list.size()), list.data(), sizeof(INPUT));
        PumpFor(150);
    };
    auto key = [](WORD wVk, bool bUp) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = wVk;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(wVk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
        return input;
    };
    auto mouse = [](DWORD dwFlags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = dwFlags;
        return input;
    };
    // Away from the bar, so that the open menu's items are not hovered.
    const CPoint ptFile = ScreenCenter(MenuItem(L"&File"));
    ::SetCursorPos(ptFile.x + 300, ptFile.y + 200);
    // Wine forgets a held Alt while the queue is pumped between the two presses.
    send({key(VK_MENU, false), key('F', false)});
    send({key('F', true), key(VK_MENU, true)});
    CXTPPopupBar* pFileMenu = MenuOf(L"&File");
    ASSERT_TRUE(pFileMenu->IsVisible());
    EXPECT_EQ(0, pFileMenu->GetSelectedIndex());
    PumpFor(100);
    Screenshot(L"popup_menu_file", pFileMenu);
    send({key(VK_DOWN, false), key(VK_DOWN, true)});
    EXPECT_EQ(1, pFileMenu->GetSelectedIndex());
    send({key(VK_RETURN, false), key(VK_RETURN, true)});
    EXPECT_EQ(std::vector<UINT>{ID_PM_OPEN}, m_pFrame->m_executed);
    EXPECT_EQ(std::vector<UINT>{ID_PM_OPEN}, m_pFrame->m_commands);
    EXPECT_FALSE(pFileMenu->IsVisible());

    // Then the mouse: a click opens the menu, moving onto the next item switches.
    ::SetCursorPos(ptFile.x, ptFile.y);
    send({mouse(MOUSEEVENTF_MOVE)});
    send({mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)});
    ASSERT_TRUE(pFileMenu->IsVisible());

    const CPoint ptEdit = ScreenCenter(MenuItem(L"&Edit"));
    ::SetCursorPos(ptEdit.x, ptEdit.y);
    send({mouse(MOUSEEVENTF_MOVE)});
    EXPECT_FALSE(pFileMenu->IsVisible());
    EXPECT_TRUE(MenuOf(L"&Edit")->IsVisible());
    // Escape closes the menu, then leaves the bar (the cursor off it, so that no hover reopens).
    ::SetCursorPos(ptFile.x + 300, ptFile.y + 200);
    send({key(VK_ESCAPE, false)});
    send({key(VK_ESCAPE, true)});
    EXPECT_FALSE(MenuOf(L"&Edit")->IsVisible());
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    send({key(VK_ESCAPE, false)});
    send({key(VK_ESCAPE, true)});
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
}

// A menu of count buttons with ids from ID_PM_NEW, owned by the frame's command bars.
CXTPPopupBar* LongMenu(CXTPCommandBars* pBars, int nCount)
{
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pBars);
    for (int i = 0; i < nCount; ++i) {
        CXTPControl* pControl = pPopup->GetControls()->Add(xtpControlButton, ID_PM_NEW + i);
        CString strCaption;
        strCaption.Format(L"Item %d", i + 1);
        pControl->SetCaption(strCaption);
    }
    return pPopup;
}

TEST_F(PopupFrameTest, ASixtyItemMenuScrollsByHoverAndBringsTheKeyboardSelectionIntoView)
{
    CXTPPopupBar* pPopup = LongMenu(m_pBars, 60);
    ASSERT_TRUE(pPopup->SetPopupPosition(120, 60, NULL));
    ASSERT_TRUE(pPopup->IsScrolling());
    CRect rcWindow;
    pPopup->GetWindowRect(&rcWindow);
    const CRect rcWork = GetWorkAreaFromPoint(CPoint(120, 60));
    EXPECT_GE(rcWindow.top, rcWork.top);
    EXPECT_LE(rcWindow.bottom, rcWork.bottom);
    EXPECT_EQ(0, pPopup->GetFirstVisible());
    EXPECT_TRUE(pPopup->GetScrollUpRect().IsRectEmpty());
    const CRect rcDown = pPopup->GetScrollDownRect();
    EXPECT_EQ(16, rcDown.Height());
    const int nEnd = pPopup->GetEndVisible();
    EXPECT_GT(nEnd, 5);
    EXPECT_LT(nEnd, 60);
    EXPECT_EQ(0u, pPopup->GetControl(nEnd - 1)->GetHideFlags());
    EXPECT_EQ(static_cast<DWORD>(xtpHideDockingPosition), pPopup->GetControl(nEnd)->GetHideFlags());
    PumpFor(50);
    Screenshot(L"popup_menu_scrolling", pPopup);

    // Resting on the down button scrolls one item every 80 ms.
    pPopup->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rcDown.CenterPoint().x, rcDown.CenterPoint().y));
    PumpFor(300);
    const int nFirst = pPopup->GetFirstVisible();
    EXPECT_GE(nFirst, 2);
    EXPECT_FALSE(pPopup->GetScrollUpRect().IsRectEmpty());
    pPopup->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rcDown.CenterPoint().x, 30));
    PumpFor(200);
    EXPECT_LE(pPopup->GetFirstVisible(), nFirst + 1);

    // The keyboard brings a scrolled-out item into view, at the bottom and back at the top.
    pPopup->SetSelected(59, TRUE);
    EXPECT_EQ(60, pPopup->GetEndVisible());
    EXPECT_EQ(0u, pPopup->GetControl(59)->GetHideFlags());
    CRect rcClient;
    pPopup->GetClientRect(&rcClient);
    EXPECT_LE(pPopup->GetControl(59)->GetRect().bottom, rcClient.bottom);
    EXPECT_TRUE(pPopup->GetScrollDownRect().IsRectEmpty());
    pPopup->SetSelected(0, TRUE);
    EXPECT_EQ(0, pPopup->GetFirstVisible());
    EXPECT_EQ(0u, pPopup->GetControl(0)->GetHideFlags());
    pPopup->SetTracking(FALSE);
    EXPECT_EQ(nullptr, pPopup->GetSafeHwnd());
    pPopup->InternalRelease();
}

TEST_F(PopupFrameTest, HiddenCommandsShowBehindTheExpandItemAndStayExpandedForTheTracking)
{
    m_pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
    m_pBars->HideCommand(ID_PM_RARE);
    m_pBars->HideCommand(ID_PM_UNDO);
    m_pMenuBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(MenuItem(L"&File")));
    CXTPPopupBar* pFileMenu = MenuOf(L"&File");
    ASSERT_TRUE(pFileMenu->IsVisible());
    CXTPControl* pRare = pFileMenu->GetControls()->FindControl(ID_PM_RARE);
    CXTPControl* pExpand = pFileMenu->GetControls()->FindControl(XTP_ID_POPUPBAR_EXPAND);
    ASSERT_NE(nullptr, pExpand);
    EXPECT_TRUE(pExpand->IsVisible());
    EXPECT_EQ(pFileMenu->GetControlCount() - 1, pExpand->GetIndex());
    EXPECT_EQ(static_cast<DWORD>(xtpHideExpand), pRare->GetHideFlags());
    CRect rcBefore;
    pFileMenu->GetWindowRect(&rcBefore);

    pExpand->Execute();
    EXPECT_TRUE(pFileMenu->IsExpanded());
    EXPECT_TRUE(pRare->IsVisible());
    EXPECT_FALSE(pExpand->IsVisible());
    CRect rcAfter;
    pFileMenu->GetWindowRect(&rcAfter);
    EXPECT_GT(rcAfter.Height(), rcBefore.Height() - pExpand->GetRect().Height());
    EXPECT_TRUE(pFileMenu->IsVisible());

    // Another menu of the same tracking opens expanded; a new tracking collapses again.
    m_pMenuBar->SendMessage(WM_MOUSEMOVE, 0, ClientPoint(MenuItem(L"&Edit")));
    CXTPPopupBar* pEditMenu = MenuOf(L"&Edit");
    ASSERT_TRUE(pEditMenu->IsVisible());
    EXPECT_TRUE(pEditMenu->GetControls()->FindControl(ID_PM_UNDO)->IsVisible());
    m_pBars->ClosePopups();
    m_pMenuBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(MenuItem(L"&Edit")));
    ASSERT_TRUE(pEditMenu->IsVisible());
    EXPECT_FALSE(pEditMenu->GetControls()->FindControl(ID_PM_UNDO)->IsVisible());
    m_pBars->ClosePopups();

    // With full menus always shown nothing is hidden and no expand item appears.
    m_pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = TRUE;
    m_pMenuBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(MenuItem(L"&File")));
    EXPECT_TRUE(pRare->IsVisible());
    EXPECT_FALSE(pFileMenu->GetControls()->FindControl(XTP_ID_POPUPBAR_EXPAND)->IsVisible());
}

TEST_F(PopupFrameTest, RestingOnTheExpandItemExpandsTheMenu)
{
    m_pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
    m_pBars->HideCommand(ID_PM_RARE);
    m_pMenuBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(MenuItem(L"&File")));
    CXTPPopupBar* pFileMenu = MenuOf(L"&File");
    ASSERT_TRUE(pFileMenu->HasHiddenItems());
    CXTPControl* pExpand = pFileMenu->GetControls()->FindControl(XTP_ID_POPUPBAR_EXPAND);
    // The cursor really rests there: the bar's mouse-leave watch reads the cursor.
    const CPoint ptExpand = ScreenCenter(pExpand);
    ::SetCursorPos(ptExpand.x, ptExpand.y);
    pFileMenu->SendMessage(WM_MOUSEMOVE, 0, ClientPoint(pExpand));
    EXPECT_EQ(pExpand, pFileMenu->GetSelected());
    PumpFor(700);
    EXPECT_FALSE(pFileMenu->IsExpanded());
    PumpFor(1500, [&] { return pFileMenu->IsExpanded() != FALSE; });
    EXPECT_TRUE(pFileMenu->IsExpanded());
    EXPECT_TRUE(pFileMenu->GetControls()->FindControl(ID_PM_RARE)->IsVisible());
}

TEST_F(PopupFrameTest, AMenuLeftOpenUnderTheCursorShowsItsHiddenCommandsAfterTheDelay)
{
    m_pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
    m_pBars->GetCommandBarsOptions()->bShowFullAfterDelay = TRUE;
    m_pBars->HideCommand(ID_PM_RARE);
    CXTPControl* pFile = MenuItem(L"&File");
    struct Case
    {
        const char* name;
        bool bCursorOnFile;
        bool bExpanded;
    };
    const Case cases[] = {{"the cursor rests on the menu's item", true, true},
                          {"the cursor went elsewhere", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pMenuBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(pFile));
        CXTPPopupBar* pFileMenu = MenuOf(L"&File");
        ASSERT_TRUE(pFileMenu->IsVisible());
        ASSERT_TRUE(pFileMenu->HasHiddenItems());
        const CPoint ptFile = ScreenCenter(pFile);
        ::SetCursorPos(ptFile.x, c.bCursorOnFile ? ptFile.y : ptFile.y + 200);
        m_pMenuBar->SendMessage(WM_TIMER, XTP_TID_EXPANDED_POPUP);
        EXPECT_EQ(c.bExpanded, pFileMenu->IsExpanded() != FALSE);
        EXPECT_EQ(c.bExpanded, pFileMenu->GetControls()->FindControl(ID_PM_RARE)->IsVisible() != FALSE);
        m_pBars->ClosePopups();
    }
}

TEST_F(PopupFrameTest, TrackPopupBarReturnsTheCommandWithoutSendingIt)
{
    CXTPPopupBar* pPopup = LongMenu(m_pBars, 3);
    Script script({[] {}, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_RETURN); }});
    const int nResult = CXTPCommandBars::TrackPopupBar(pPopup, TPM_RETURNCMD, 200, 150, m_pFrame);
    PumpFor(50);
    EXPECT_EQ(ID_PM_OPEN, nResult);
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    EXPECT_TRUE(m_pFrame->m_executed.empty());
    EXPECT_EQ(nullptr, pPopup->GetSafeHwnd());
    EXPECT_EQ(1, pPopup->m_dwRef);
    pPopup->InternalRelease();
}

TEST_F(PopupFrameTest, TrackPopupBarReturnsAnIdChosenInASubmenu)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_PM_FRAME));
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(m_pBars);
    ASSERT_TRUE(pPopup->LoadMenu(menu.GetSubMenu(1)));
    Script script({[] {}, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_RIGHT); },
                   [] { HookKey(VK_RETURN); }});
    EXPECT_EQ(ID_PM_DEEP, CXTPCommandBars::TrackPopupBar(pPopup, TPM_RETURNCMD, 200, 150, m_pFrame));
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    pPopup->InternalRelease();
}

TEST_F(PopupFrameTest, APopupWithoutCommandBarsSendsItsCommandToTheOwner)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_PM_FRAME));
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(NULL);
    ASSERT_TRUE(pPopup->LoadMenu(menu.GetSubMenu(0)));
    EXPECT_EQ(nullptr, pPopup->GetCommandBars());
    Script script({[] {}, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_RETURN); }});
    EXPECT_EQ(TRUE, CXTPCommandBars::TrackPopupBar(pPopup, TPM_NONOTIFY, 200, 150, m_pFrame));
    PumpFor(50);
    EXPECT_EQ(std::vector<UINT>{ID_PM_NEW}, m_pFrame->m_commands);
    EXPECT_TRUE(m_pFrame->m_executed.empty());
    EXPECT_EQ(5, pPopup->m_nLastAnimation);
    pPopup->InternalRelease();
}

TEST_F(PopupFrameTest, AQuitDuringTrackingEndsTheMenuAndReachesTheOuterLoop)
{
    CXTPPopupBar* pPopup = LongMenu(m_pBars, 3);
    Script script({[] {}, [] { ::PostQuitMessage(7); }});
    EXPECT_EQ(0, CXTPCommandBars::TrackPopupBar(pPopup, TPM_RETURNCMD, 200, 150, m_pFrame));
    EXPECT_LT(script.StepsRun(), 10u);
    EXPECT_EQ(nullptr, pPopup->GetSafeHwnd());
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
    pPopup->InternalRelease();
}

TEST_F(PopupFrameTest, ARealPopupNearTheScreenCornerStaysInsideUpAndLeft)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    CXTPPopupBar* pPopup = LongMenu(m_pBars, 4);
    CRect rcPopup;
    Script script({[&] { pPopup->GetWindowRect(&rcPopup); }, [] { HookKey(VK_ESCAPE); }});
    EXPECT_EQ(0, CXTPCommandBars::TrackPopupBar(pPopup, TPM_RETURNCMD, cx - 10, cy - 10, m_pFrame));
    const CRect rcWork = GetWorkAreaFromPoint(CPoint(cx - 10, cy - 10));
    ASSERT_FALSE(rcPopup.IsRectEmpty());
    EXPECT_GE(rcPopup.left, rcWork.left);
    EXPECT_GE(rcPopup.top, rcWork.top);
    EXPECT_LE(rcPopup.right, cx - 10);
    EXPECT_LE(rcPopup.bottom, cy - 10);
    pPopup->InternalRelease();
}

TEST_F(PopupFrameTest, TheToolbarContextMenuListsTheToolbarsAndHidesOne)
{
    CRect rcToolBar;
    m_pToolBar->GetClientRect(&rcToolBar);
    std::vector<CString> captions;
    BOOL bChecked = FALSE;
    Script script({[&] {
                       CXTPPopupBar* pPopup = m_pFrame->m_pContextPopup;
                       for (int i = 0; i < pPopup->GetControlCount(); ++i)
                           captions.push_back(pPopup->GetControl(i)->GetCaption());
                       bChecked = pPopup->GetControl(0)->GetChecked();
                   },
                   [] { HookKey(VK_DOWN); }, [] { HookKey(VK_RETURN); }});
    m_pToolBar->SendMessage(WM_RBUTTONDOWN, 0, MAKELPARAM(rcToolBar.right - 3, rcToolBar.CenterPoint().y));
    EXPECT_EQ(std::vector<CString>{L"Standard"}, captions);
    EXPECT_TRUE(bChecked);
    EXPECT_FALSE(m_pToolBar->IsVisible());
    EXPECT_FALSE(m_pToolBar->IsWindowVisible());
}

TEST_F(PopupFrameTest, AContextMenuEmptiedByTheFrameShowsNothingAndLeavesNoWindow)
{
    m_pFrame->m_onContextMenu = [](CXTPPopupBar* pPopup) { pPopup->GetControls()->RemoveAll(); };
    const int nWindows = CountThreadWindows();
    const DWORD dwStart = ::GetTickCount();
    m_pBars->ShowContextMenu(m_pToolBar, CPoint(200, 100));
    EXPECT_LT(::GetTickCount() - dwStart, 1000u);
    EXPECT_EQ(nWindows, CountThreadWindows());
    EXPECT_EQ(0, CXTPMouseManager::GetInstance()->GetTrackedCount());
}

TEST_F(PopupFrameTest, TheChevronListsWhatDidNotFitAndTheAddOrRemoveItems)
{
    m_pFrame->SetWindowPos(NULL, 0, 0, 150, 320, SWP_NOMOVE | SWP_NOZORDER);
    m_pFrame->RecalcLayout();
    PumpFor(50);
    std::vector<int> hidden;
    for (int i = 0; i < m_pToolBar->GetControlCount(); ++i)
        if (m_pToolBar->GetControl(i)->GetHideFlags() == xtpHideWrap)
            hidden.push_back(m_pToolBar->GetControl(i)->GetID());
    ASSERT_FALSE(hidden.empty());
    CXTPControl* pChevron = m_pToolBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND);
    ASSERT_NE(nullptr, pChevron);
    ASSERT_TRUE(m_pToolBar->OpenControlPopup(pChevron->GetIndex(), FALSE));
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPPopupToolBar, pChevron->GetCommandBar());
    ASSERT_NE(nullptr, pPopup);
    EXPECT_TRUE(pPopup->IsVisible());
    std::vector<int> listed;
    for (int i = 0; i + 1 < pPopup->GetControlCount(); ++i) {
        listed.push_back(pPopup->GetControl(i)->GetID());
        EXPECT_TRUE(pPopup->GetControl(i)->IsVisible());
    }
    EXPECT_EQ(hidden, listed);
    CXTPControl* pAddRemove = pPopup->GetControl(pPopup->GetControlCount() - 1);
    EXPECT_EQ(CString(L"&Add or Remove Buttons"), pAddRemove->GetCaption());
    CXTPCommandBar* pSubMenu = pAddRemove->GetCommandBar();
    ASSERT_NE(nullptr, pSubMenu);
    ASSERT_GE(pSubMenu->GetControlCount(), 1);
    // The frame does not handle the customise command: the bar's item is there but disabled.
    EXPECT_EQ(CString(L"Standard"), pSubMenu->GetControl(0)->GetCaption());
    EXPECT_FALSE(pSubMenu->GetControl(0)->GetEnabled());
    EXPECT_EQ(nullptr, pSubMenu->GetControls()->FindControl(XTP_ID_CUSTOMIZE));
    CXTPCommandBar* pButtons = pSubMenu->GetControl(0)->GetCommandBar();
    ASSERT_NE(nullptr, pButtons);
    EXPECT_EQ(CString(L"New"), pButtons->GetControl(0)->GetCaption());
    EXPECT_TRUE(pButtons->GetControl(0)->GetChecked());
    m_pBars->ClosePopups();
    EXPECT_FALSE(pPopup->IsVisible());
}

TEST_F(PopupFrameTest, TheGripperTearsTheMenuOffIntoAFloatingToolbarAndBackOverItPutsItBack)
{
    auto tearOff = [&](std::initializer_list<CPoint> moves) {
        CXTPPopupBar* pPopup = LongMenu(m_pBars, 3);
        pPopup->m_bTearOffPopup = TRUE;
        pPopup->m_nTearOffID = 0xE810;
        pPopup->m_strTearOffCaption = L"Torn";
        EXPECT_TRUE(pPopup->SetPopupPosition(200, 150, NULL));
        const CRect rcGripper = pPopup->GetTearOffGripperRect();
        EXPECT_FALSE(rcGripper.IsRectEmpty());
        EXPECT_EQ(pPopup->GetControl(0)->GetRect().top, rcGripper.bottom);
        const CPoint ptGripper = rcGripper.CenterPoint();
        for (const CPoint& offset : moves) {
            const CPoint pt = ptGripper + offset;
            pPopup->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        }
        CPoint ptLast = ptGripper + *(moves.end() - 1);
        pPopup->ClientToScreen(&ptLast);
        pPopup->PostMessage(WM_LBUTTONUP, 0, 0);
        pPopup->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptGripper.x, ptGripper.y));
        const BOOL bTracking = pPopup->IsTrackingMode();
        pPopup->SetTracking(FALSE);
        pPopup->InternalRelease();
        return std::make_pair(bTracking, ptLast);
    };
    // Dragged away and back over the gripper: the menu stays, the toolbar is hidden again.
    auto [bTracking, ptLast] = tearOff({CPoint(0, 150), CPoint(5, 2)});
    EXPECT_TRUE(bTracking);
    auto* pTorn = DYNAMIC_DOWNCAST(CXTPToolBar, m_pBars->FindBar(0xE810));
    ASSERT_NE(nullptr, pTorn);
    EXPECT_FALSE(pTorn->IsVisible());

    // Dragged away and released: a floating toolbar of the menu's items, its caption on the cursor.
    std::tie(bTracking, ptLast) = tearOff({CPoint(0, 150), CPoint(40, 170)});
    EXPECT_FALSE(bTracking);
    EXPECT_EQ(pTorn, m_pBars->FindBar(0xE810));
    EXPECT_TRUE(pTorn->IsVisible());
    EXPECT_EQ(xtpBarFloating, pTorn->GetPosition());
    EXPECT_EQ(CString(L"Torn"), pTorn->GetTitle());
    ASSERT_EQ(3, pTorn->GetControlCount() - (pTorn->GetControls()->FindControl(XTP_ID_TOOLBAR_HIDE) ? 1 : 0) -
                     (pTorn->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND) ? 1 : 0));
    EXPECT_EQ(ID_PM_NEW, pTorn->GetControl(0)->GetID());
    CRect rcTorn;
    pTorn->GetWindowRect(&rcTorn);
    EXPECT_NEAR(ptLast.x, rcTorn.CenterPoint().x, 1);
    EXPECT_EQ(ptLast.y - 10, rcTorn.top);
}

} // namespace
