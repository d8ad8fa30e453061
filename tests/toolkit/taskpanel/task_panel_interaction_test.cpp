// The task panel's modal loops and longer interactions: the scroll buttons' press loop and the wheel
// in the toolbox behaviour, group reordering by drag, the caption editor and its code 4, the drop
// target's registration, selection, and printing. Loops run on messages posted before they start,
// with a timer that takes the capture away should one never end.
#include "support/screenshot.h"
#include "task_panel_test_support.h"
#include "taskpanel_test_ids.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Ends any capture after a few seconds: a loop that misses its messages still ends.
class SafetyTimer
{
public:
    SafetyTimer() : m_nTimer(::SetTimer(NULL, 0, 3000, &SafetyTimer::OnTimer)) {}
    ~SafetyTimer() { ::KillTimer(NULL, m_nTimer); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { ::ReleaseCapture(); }
    UINT_PTR m_nTimer;
};

class TaskPanelInteractionTest : public TaskPanelDialogTest
{
protected:
    TaskPanelInteractionTest() : TaskPanelDialogTest(200, 300, false) {}
    void TearDown() override
    {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
        TaskPanelDialogTest::TearDown();
    }
    // A toolbox whose open group holds more items than it shows.
    CXTPTaskPanelGroup* FillToolbox(int nItems)
    {
        m_panel->SetBehaviour(xtpTaskPanelBehaviourToolbox);
        CXTPTaskPanelGroup* pTools = AddTestGroup(m_panel, L"Tools");
        for (int i = 0; i < nItems; i++)
            AddTestItem(pTools, L"Tool", xtpTaskItemTypeLink, static_cast<UINT>(i + 1))
                ->SetSize(CSize(80, 30));
        AddTestItem(AddTestGroup(m_panel, L"More"), L"Other", xtpTaskItemTypeLink, 100);
        pTools->SetExpanded(TRUE);
        return pTools;
    }
};

} // namespace

TEST_F(TaskPanelInteractionTest, ScrollButtonsWheelAndControlArrowsInTheToolbox)
{
    CXTPTaskPanelGroup* pTools = FillToolbox(20);
    TaskPanelScrollButton* pUp = m_panel->GetScrollButton(TRUE);
    TaskPanelScrollButton* pDown = m_panel->GetScrollButton(FALSE);
    EXPECT_FALSE(m_panel->IsScrollBarShown());
    EXPECT_FALSE(pUp->bEnabled);
    ASSERT_TRUE(pDown->bEnabled);
    EXPECT_FALSE(pUp->IsVisible()) << "a disabled button outside captions is hidden";
    ASSERT_TRUE(pDown->IsVisible());
    EXPECT_EQ(16, pDown->rcButton.Width());
    m_panel->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_panel->GetSafeHwnd(), L"task_panel_toolbox"));
    // Nothing under a visible scroll button is hit.
    EXPECT_EQ(nullptr, m_panel->HitTestItem(pDown->rcButton.CenterPoint(), TRUE));

    // One row when pressed, one more for each tick of timer 202, until the button comes up.
    const CPoint ptDown = pDown->rcButton.CenterPoint();
    m_panel->PostMessage(WM_TIMER, XTP_TASKPANEL_TIMER_SCROLL);
    m_panel->PostMessage(WM_TIMER, XTP_TASKPANEL_TIMER_SCROLL);
    m_panel->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(ptDown.x, ptDown.y));
    {
        SafetyTimer safety;
        m_panel->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptDown.x, ptDown.y));
    }
    EXPECT_EQ(3, pTools->GetFirstVisibleIndex());
    EXPECT_FALSE(pDown->bPressed);
    EXPECT_NE(m_panel->GetSafeHwnd(), ::GetCapture());
    EXPECT_TRUE(pUp->bEnabled);

    // The wheel: three rows each way, never before the first item.
    m_panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(6, pTools->GetFirstVisibleIndex());
    m_panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    m_panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(0, pTools->GetFirstVisibleIndex());

    // Focusing an item out of sight scrolls the group to it.
    m_panel->SetFocusedItem(pTools->GetAt(15));
    EXPECT_TRUE(pTools->IsItemVisible(pTools->GetAt(15), FALSE));
    EXPECT_GT(pTools->GetFirstVisibleIndex(), 0);

    // Ctrl+Down opens the next group and Ctrl+Up the previous one.
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    m_panel->SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(m_panel->GetAt(1), m_panel->GetOpenGroup());
    EXPECT_FALSE(pTools->IsExpanded());
    m_panel->SendMessage(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(pTools, m_panel->GetOpenGroup());
}

TEST_F(TaskPanelInteractionTest, DraggingACaptionReordersTheGroups)
{
    CXTPTaskPanelGroup* pA = AddTestGroup(m_panel, L"A");
    AddTestGroup(m_panel, L"B");
    CXTPTaskPanelGroup* pC = AddTestGroup(m_panel, L"C");
    m_panel->AllowDrag(xtpTaskItemAllowDragAll);
    CRect rcCaption = pC->GetHitTestRect();
    CPoint ptScreen(rcCaption.left + 20, rcCaption.top + 5);
    m_panel->ClientToScreen(&ptScreen);
    ::SetCursorPos(ptScreen.x, ptScreen.y);
    m_panel->SetCapture();
    m_panel->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, 0);
    m_panel->PostMessage(WM_LBUTTONUP, 0, 0);
    {
        SafetyTimer safety;
        m_panel->OnStartGroupDrag(pA);
    }
    EXPECT_EQ(2, m_panel->GetGroups()->IndexOf(pA));
    EXPECT_EQ(1, m_panel->GetGroups()->IndexOf(pC));
    EXPECT_EQ(nullptr, m_panel->GetDraggedItem());
    EXPECT_NE(m_panel->GetSafeHwnd(), ::GetCapture());

    // A group that may not be dragged does not move.
    pA->SetAllowDrag(xtpTaskItemAllowDragNone);
    m_panel->OnStartGroupDrag(pA);
    EXPECT_EQ(2, m_panel->GetGroups()->IndexOf(pA));
}

TEST_F(TaskPanelInteractionTest, CaptionEditorCommitsThroughCodeFour)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Group");
    CXTPTaskPanelGroupItem* pLink = AddTestItem(pGroup, L"Old name", xtpTaskItemTypeLink, 1);
    struct Case
    {
        const char* name;
        UINT nKey;       // 0: the editor loses the focus instead
        LRESULT nAnswer; // the owner's answer to code 4
        const wchar_t* pszExpected;
        int nCodeFour;
    };
    const Case cases[] = {
        {"enter, refused", VK_RETURN, 1, L"Old name", 1},
        {"escape", VK_ESCAPE, 0, L"Old name", 0},
        {"enter, accepted", VK_RETURN, 0, L"New name", 1},
        {"focus lost", 0, 0, L"Newer name", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_dialog->ClearNotifications();
        m_dialog->m_answers[XTP_TPN_ENDLABELEDIT] = c.nAnswer;
        CXTPTaskPanelEditItem* pEdit = m_panel->RenameItem(pLink);
        ASSERT_NE(nullptr, pEdit);
        const HWND hEdit = pEdit->GetSafeHwnd();
        CRect rcEdit;
        pEdit->GetWindowRect(&rcEdit);
        m_panel->ScreenToClient(&rcEdit);
        EXPECT_TRUE(rcEdit.PtInRect(pLink->GetHitTestRect().TopLeft() + CPoint(2, 2)))
            << "the editor lies over the item";
        EXPECT_EQ(hEdit, ::GetFocus());
        pEdit->SetWindowText(c.nKey == 0 ? L"Newer name" : L"New name");
        if (c.nKey != 0)
            pEdit->SendMessage(WM_CHAR, c.nKey);
        else
            m_dialog->GetDlgItem(IDC_TASKPANEL_AFTER)->SetFocus();
        PumpPanelMessages();
        EXPECT_FALSE(::IsWindow(hEdit));
        EXPECT_EQ(c.nCodeFour, m_dialog->CountCode(XTP_TPN_ENDLABELEDIT));
        EXPECT_EQ(std::wstring(c.pszExpected), std::wstring(pLink->GetCaption()));
    }
}

TEST_F(TaskPanelInteractionTest, DropTargetLivesWithTheWindow)
{
    TaskPanelDropTarget* pTarget = m_panel->GetDropTarget();
    EXPECT_EQ(m_panel->GetSafeHwnd(), pTarget->m_hWnd);
    // The target answers only for task panels.
    CWnd* pOther = m_dialog->GetDlgItem(IDC_TASKPANEL_AFTER);
    EXPECT_EQ(DROPEFFECT_NONE, pTarget->OnDragOver(pOther, nullptr, 0, CPoint(1, 1)));
    EXPECT_FALSE(pTarget->OnDrop(pOther, nullptr, DROPEFFECT_COPY, CPoint(1, 1)));
    // No target: FALSE; a link effect: TRUE with nothing done.
    EXPECT_FALSE(m_panel->OnDrop(nullptr, DROPEFFECT_COPY, CPoint(1, 1)));
    m_panel->DestroyWindow();
    EXPECT_EQ(nullptr, pTarget->m_hWnd);
}

TEST_F(TaskPanelInteractionTest, SingleSelectionAndSelectionOnFocus)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Choices");
    CXTPTaskPanelGroupItem* pA = AddTestItem(pGroup, L"A", xtpTaskItemTypeLink, 1);
    CXTPTaskPanelGroupItem* pB = AddTestItem(pGroup, L"B", xtpTaskItemTypeLink, 2);
    m_panel->SetSingleSelection(TRUE);
    m_panel->SetFocusedItem(pA);
    EXPECT_TRUE(pA->IsItemSelected());
    m_panel->SetFocusedItem(pB);
    EXPECT_FALSE(pA->IsItemSelected());
    EXPECT_TRUE(pB->IsItemSelected());

    m_panel->SetSelectItemOnFocus(TRUE);
    pA->SetItemSelected(TRUE);
    EXPECT_EQ(pA, m_panel->GetFocusedItem());
    EXPECT_TRUE(pA->IsItemSelected());
    EXPECT_FALSE(pB->IsItemSelected());
    pA->SetItemSelected(FALSE);
    EXPECT_TRUE(pA->IsItemSelected()) << "with selection on focus only a focus change deselects";
}

TEST_F(TaskPanelInteractionTest, PrintingDrawsThePanelScrolledAndItsChildren)
{
    for (int i = 0; i < 6; i++) {
        CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Group", i == 0);
        for (int j = 0; j < 3; j++)
            AddTestItem(pGroup, L"Link", xtpTaskItemTypeLink, static_cast<UINT>(j + 1));
    }
    ASSERT_TRUE(m_panel->IsScrollBarShown());
    m_panel->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0));
    CRect rcClient;
    m_panel->GetClientRect(&rcClient);
    CXTPTaskPanelGroup* pFirst = m_panel->GetAt(0);
    const COLORREF clrCaption = m_panel->GetPaintManager()->GetGroupColors(pFirst)->clrHead.m_clrStart;
    const CRect rcCaption = pFirst->GetHitTestRect();
    {
        PixelSurface surface(rcClient.Width(), rcClient.Height(), RGB(1, 2, 3));
        m_panel->SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()->GetSafeHdc()),
                             PRF_CLIENT | PRF_CHILDREN);
        // The caption's gradient starts in its start colour at its left edge.
        EXPECT_EQ(clrCaption, surface.dc()->GetPixel(rcCaption.left, rcCaption.top + 2));
    }
    m_panel->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0));
    ASSERT_EQ(6, m_panel->GetScrollOffset());
    {
        PixelSurface surface(rcClient.Width(), rcClient.Height(), RGB(1, 2, 3));
        m_panel->SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()->GetSafeHdc()),
                             PRF_CLIENT);
        // Six pixels further up: the caption's top rows are off the picture, its third row is its top.
        EXPECT_EQ(pFirst->GetHitTestRect().top, rcCaption.top - 6);
        EXPECT_EQ(clrCaption, surface.dc()->GetPixel(rcCaption.left, rcCaption.top - 6 + 2));
        EXPECT_NE(clrCaption, surface.dc()->GetPixel(rcCaption.left + 3, rcCaption.bottom - 6 + 1));
    }
}
