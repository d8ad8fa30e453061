// The controls collection: row layout (group wrap, shrinking, stretching, an empty bar, the floating
// width snap), controls made from a menu resource, hidden commands and damaged toolbar resources.
#include "command_bars.h"
#include "commandbars_test_ids.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A control of a fixed size, so that layouts are computed by hand.
class FixedControl : public CXTPControl
{
public:
    FixedControl(int cx, int cy) : m_size(cx, cy) { m_controlType = xtpControlButton; }
    CSize GetSize(CDC*) override { return m_size; }
    void Draw(CDC*) override {}

private:
    CSize m_size;
};

class LayoutBar : public CXTPToolBar
{
public:
    using CXTPToolBar::m_barPosition;
};

struct Item
{
    int cx;
    BOOL bBeginGroup;
    DWORD dwFlags;
};

class ControlsLayout : public ::testing::Test
{
protected:
    void SetUp() override { m_pBar = new LayoutBar; }
    void TearDown() override { m_pBar->InternalRelease(); }

    void Fill(const std::vector<Item>& items)
    {
        for (const Item& item : items) {
            CXTPControl* pControl = m_pBar->GetControls()->AddControl(new FixedControl(item.cx, 20));
            pControl->SetBeginGroup(item.bBeginGroup);
            pControl->SetFlags(item.dwFlags);
        }
    }
    CSize Layout(int nLength, DWORD dwMode, const CRect& rcBorder = CRect(2, 2, 2, 2))
    {
        CWindowDC dc(NULL);
        return m_pBar->GetControls()->CalcDynamicSize(&dc, nLength, dwMode, rcBorder);
    }
    CXTPControl* Control(int i) const { return m_pBar->GetControl(i); }

    LayoutBar* m_pBar = NULL;
};

TEST_F(ControlsLayout, AControlThatDoesNotFitTakesItsGroupToTheNextRow)
{
    Fill({{20, FALSE, 0}, {20, FALSE, 0}, {20, TRUE, 0}, {20, FALSE, 0}});
    // 20 + 20 + 6 + 20 = 66 fits in 70; the fourth does not, and its group starts at the third.
    const CSize size = Layout(74, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
    EXPECT_FALSE(Control(1)->GetWrap());
    EXPECT_TRUE(Control(2)->GetWrap());
    EXPECT_FALSE(Control(3)->GetWrap());
    EXPECT_EQ(CRect(2, 2, 22, 22), Control(0)->GetRect());
    EXPECT_EQ(CRect(22, 2, 42, 22), Control(1)->GetRect());
    // The second row starts after the first row and the row gap of a group start.
    EXPECT_EQ(CRect(2, 28, 22, 48), Control(2)->GetRect());
    EXPECT_EQ(CRect(22, 28, 42, 48), Control(3)->GetRect());
    // A bar that wrapped takes the whole length.
    EXPECT_EQ(CSize(74, 50), size);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(0u, Control(i)->GetHideFlags()) << i;
}

TEST_F(ControlsLayout, ShrinkingHidesWhatDoesNotFitButKeepsTheFirstControl)
{
    Fill({{50, FALSE, 0}, {30, FALSE, 0}, {10, TRUE, 0}});
    Layout(44, LM_HORZ | LM_HORZDOCK | LM_COMMIT | XTP_LM_SHRINK);
    EXPECT_EQ(0u, Control(0)->GetHideFlags());
    EXPECT_EQ(static_cast<DWORD>(xtpHideWrap), Control(1)->GetHideFlags());
    EXPECT_EQ(static_cast<DWORD>(xtpHideWrap), Control(2)->GetHideFlags());
    // A longer bar shows them again.
    Layout(200, LM_HORZ | LM_HORZDOCK | LM_COMMIT | XTP_LM_SHRINK);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0u, Control(i)->GetHideFlags()) << i;
}

TEST_F(ControlsLayout, StretchedControlsShareTheFreeLength)
{
    Fill({{10, FALSE, xtpFlagControlStretched},
          {10, FALSE, xtpFlagControlStretched},
          {10, FALSE, xtpFlagControlStretched},
          {5, FALSE, xtpFlagRightAlign}});
    // 35 pixels of controls in a stretched bar of 45 between its margins: 10 free pixels.
    Layout(49, LM_HORZ | LM_HORZDOCK | LM_COMMIT | LM_STRETCH);
    EXPECT_EQ(13, Control(0)->GetRect().Width());
    EXPECT_EQ(13, Control(1)->GetRect().Width());
    EXPECT_EQ(14, Control(2)->GetRect().Width());
    EXPECT_EQ(2 + 40, Control(2)->GetRect().right);
    // The right-aligned control ends at the far margin.
    EXPECT_EQ(47, Control(3)->GetRect().right);
}

TEST_F(ControlsLayout, AnEmptyBarMeasures23By22PlusItsMargins)
{
    EXPECT_EQ(CSize(23 + 5, 22 + 7), Layout(300, LM_HORZ | LM_HORZDOCK | LM_COMMIT, CRect(2, 3, 3, 4)));
    // A minimum raises the height of a horizontally docked bar.
    CWindowDC dc(NULL);
    EXPECT_EQ(CSize(25, 40),
              m_pBar->GetControls()->CalcDynamicSize(&dc, 300, LM_HORZDOCK, CRect(1, 1, 1, 1), 40));
    // Controls hidden for other reasons count as none.
    Fill({{30, FALSE, 0}});
    Control(0)->SetHideFlags(xtpHideGeneric);
    EXPECT_EQ(CSize(27, 26), Layout(300, LM_HORZ | LM_HORZDOCK | LM_COMMIT));
}

TEST_F(ControlsLayout, AFloatingWidthSnapsToTheNarrowestWithTheSameRows)
{
    Fill({{20, FALSE, 0}, {20, FALSE, 0}, {20, FALSE, 0}, {20, FALSE, 0}});
    struct Case
    {
        int nLength;
        int nWidth;
        int nRows;
    };
    // Lengths between two wrap points give the narrowest width of that number of rows.
    const Case cases[] = {{70, 40, 2}, {55, 40, 2}, {79, 40, 2}, {80, 80, 1}, {300, 80, 1}, {30, 20, 4}};
    for (const Case& c : cases) {
        const CSize size = Layout(c.nLength + 4, LM_COMMIT);
        EXPECT_EQ(c.nWidth + 4, size.cx) << c.nLength;
        EXPECT_EQ(c.nRows * 20 + 4, size.cy) << c.nLength;
    }
}

TEST_F(ControlsLayout, InsertingOutOfRangeAppendsAndZeroPrepends)
{
    CXTPControls* pControls = m_pBar->GetControls();
    CXTPControl* pFirst = pControls->Add(xtpControlButton, 1);
    CXTPControl* pLast = pControls->Add(xtpControlButton, 2, NULL, 7);
    CXTPControl* pFront = pControls->Add(xtpControlButton, 3, NULL, 0);
    ASSERT_EQ(3, pControls->GetCount());
    EXPECT_EQ(pFront, pControls->GetAt(0));
    EXPECT_EQ(pFirst, pControls->GetAt(1));
    EXPECT_EQ(pLast, pControls->GetAt(2));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(i, pControls->GetAt(i)->GetIndex());
        EXPECT_EQ(m_pBar, pControls->GetAt(i)->GetParent());
    }
    EXPECT_EQ(nullptr, pControls->Add(static_cast<XTPControlType>(9), 4));
    EXPECT_EQ(3, pControls->GetCount());
}

// The frame of the menu tests: records the create-control messages.
class RecordingSite : public CFrameWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == XTP_WM_BEFORE_CREATE_CONTROL || message == XTP_WM_AFTER_CREATE_CONTROL) {
            auto* pCreate = reinterpret_cast<XTP_COMMANDBARS_CREATECONTROL*>(lParam);
            m_messages.push_back({message, pCreate->nID, pCreate->pControl != NULL});
            return 0;
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
    struct Message
    {
        UINT message;
        UINT nID;
        bool bControl;
    };
    std::vector<Message> m_messages;
};

TEST(MenuControls, AMenuResourceBecomesTypedControls)
{
    auto* pSite = new RecordingSite;
    ASSERT_TRUE(pSite->Create(NULL, L"site", WS_OVERLAPPEDWINDOW));
    auto* pBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    pBars->AttachFrame(pSite);
    auto* pBar = new CXTPToolBar;
    pBar->SetCommandBars(pBars);

    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CB_ITEMS));
    CMenu* pItems = menu.GetSubMenu(0);
    ::SetMenuDefaultItem(pItems->GetSafeHmenu(), ID_CB_ITEM_TWO, FALSE);
    ASSERT_TRUE(pBar->LoadMenu(pItems));

    CXTPControls* pControls = pBar->GetControls();
    ASSERT_EQ(5, pControls->GetCount());
    struct Expected
    {
        int nId;
        XTPControlType type;
        const wchar_t* caption;
        BOOL bBeginGroup;
        BOOL bDefault;
        BOOL bOleVerbs;
    };
    const Expected expected[] = {
        {ID_CB_ITEM_ONE, xtpControlButton, L"Item &One", FALSE, FALSE, FALSE},
        {ID_CB_ITEM_TWO, xtpControlButton, L"Item &Two", TRUE, TRUE, FALSE},
        {ID_CB_OLE_VERB, xtpControlButton, L"<<OLE VERBS GO HERE>>", FALSE, FALSE, TRUE},
        {ID_CB_OLE_VERB, xtpControlButton, L"Verbs", FALSE, FALSE, FALSE},
        {0, xtpControlPopup, L"&Deeper", FALSE, FALSE, FALSE},
    };
    for (int i = 0; i < 5; ++i) {
        CXTPControl* pControl = pControls->GetAt(i);
        EXPECT_EQ(expected[i].nId, pControl->GetID()) << i;
        EXPECT_EQ(expected[i].type, pControl->GetType()) << i;
        EXPECT_EQ(CString(expected[i].caption), pControl->GetCaption()) << i;
        EXPECT_EQ(expected[i].bBeginGroup, pControl->GetBeginGroup()) << i;
        EXPECT_EQ(expected[i].bDefault, pControl->IsDefaultItem()) << i;
        EXPECT_EQ(expected[i].bOleVerbs, pControl->IsKindOf(RUNTIME_CLASS(CXTPControlOleItems))) << i;
    }
    // The submenu is a popup bar of its own with its item.
    CXTPCommandBar* pSubBar = pControls->GetAt(4)->GetCommandBar();
    ASSERT_NE(nullptr, pSubBar);
    EXPECT_TRUE(pSubBar->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)));
    ASSERT_EQ(1, pSubBar->GetControlCount());
    EXPECT_EQ(ID_CB_ITEM_DEEP, pSubBar->GetControl(0)->GetID());

    // Every item but the separator is announced before and after; the deep item as well.
    int nBefore = 0, nAfter = 0;
    for (const auto& message : pSite->m_messages) {
        if (message.message == XTP_WM_BEFORE_CREATE_CONTROL) {
            ++nBefore;
            EXPECT_FALSE(message.bControl);
        } else {
            ++nAfter;
            EXPECT_TRUE(message.bControl);
        }
    }
    EXPECT_EQ(6, nBefore);
    EXPECT_EQ(6, nAfter);
    ASSERT_GE(pSite->m_messages.size(), 2u);
    EXPECT_EQ(static_cast<UINT>(ID_CB_ITEM_ONE), pSite->m_messages[0].nID);

    pBar->InternalRelease();
    pBars->InternalRelease();
    pSite->DestroyWindow();
}

TEST(MenuControls, ACaptionWithATabKeepsTheKeyAsShortcutText)
{
    CXTPControl control;
    control.SetCaption(L"&Open\tCtrl+O");
    EXPECT_EQ(CString(L"&Open"), control.GetCaption());
    EXPECT_EQ(CString(L"Ctrl+O"), control.GetShortcutText());
    // A string without "\n" is description and tooltip, and an empty caption takes it.
    CXTPControl fromString;
    fromString.SetID(IDR_CB_FRAME);
    EXPECT_EQ(CString(L"Command bars frame"), fromString.GetDescription());
    EXPECT_EQ(CString(L"Command bars frame"), fromString.GetTooltip());
    EXPECT_EQ(CString(L"Command bars frame"), fromString.GetCaption());
    CXTPControl split;
    split.SetID(ID_CB_NEW);
    EXPECT_EQ(CString(L"Create a new document"), split.GetDescription());
    EXPECT_EQ(CString(L"New"), split.GetTooltip());
}

TEST(HiddenCommands, ControlsAreHiddenByCommandAndByTheirSubmenus)
{
    auto* pBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    pBars->HideCommand(ID_CB_ITEM_ONE);
    pBars->HideCommand(ID_CB_ITEM_TWO);
    auto* pBar = new CXTPToolBar;
    pBar->SetCommandBars(pBars);
    CXTPControls* pControls = pBar->GetControls();
    CXTPControl* pHidden = pControls->Add(xtpControlButton, ID_CB_ITEM_ONE);
    CXTPControl* pShown = pControls->Add(xtpControlButton, ID_CB_ITEM_DEEP);
    auto* pAllHidden = static_cast<CXTPControlPopup*>(pControls->Add(xtpControlPopup, 0));
    pAllHidden->GetCommandBar()->GetControls()->Add(xtpControlButton, ID_CB_ITEM_ONE);
    pAllHidden->GetCommandBar()->GetControls()->Add(xtpControlButton, ID_CB_ITEM_TWO);
    auto* pMixed = static_cast<CXTPControlPopup*>(pControls->Add(xtpControlPopup, 0));
    pMixed->GetCommandBar()->GetControls()->Add(xtpControlButton, ID_CB_ITEM_ONE);
    pMixed->GetCommandBar()->GetControls()->Add(xtpControlButton, ID_CB_ITEM_DEEP);
    auto* pEmpty = static_cast<CXTPControlPopup*>(pControls->Add(xtpControlPopup, 0));
    auto* pWithoutBar = static_cast<CXTPControlPopup*>(pControls->Add(xtpControlPopup, 0));
    pWithoutBar->SetCommandBar(NULL);

    struct Case
    {
        const char* name;
        CXTPControl* pControl;
        BOOL bHidden;
    };
    // With the used set empty every hidden command counts as not yet used.
    const Case cases[] = {{"hidden command", pHidden, TRUE},  {"other command", pShown, FALSE},
                          {"all hidden", pAllHidden, TRUE},   {"one shown", pMixed, FALSE},
                          {"empty popup bar", pEmpty, FALSE}, {"no popup bar", pWithoutBar, FALSE}};
    for (const Case& c : cases)
        EXPECT_EQ(c.bHidden, pBars->IsControlHidden(c.pControl)) << c.name;

    pBars->GetCommandBarsOptions()->bAutoHideUnusedPopups = FALSE;
    EXPECT_FALSE(pBars->IsControlHidden(pAllHidden));
    pBars->GetCommandBarsOptions()->bAutoHideUnusedPopups = TRUE;
    // A used command shows from then on, and so does its popup.
    pBars->SetCommandUsed(ID_CB_ITEM_ONE);
    EXPECT_FALSE(pBars->IsControlHidden(pHidden));
    EXPECT_FALSE(pBars->IsControlHidden(pAllHidden));
    pBars->ResetUsageData();
    EXPECT_TRUE(pBars->IsControlHidden(pHidden));

    pBar->InternalRelease();
    pBars->InternalRelease();
}

TEST(ToolBarResource, DamagedResourcesAreRefusedAndLeaveTheBarUnchanged)
{
    auto* pBar = new CXTPToolBar;
    pBar->GetControls()->Add(xtpControlButton, ID_CB_UNDO);
    EXPECT_FALSE(pBar->LoadToolBar(IDR_CB_BAD_VERSION));
    EXPECT_FALSE(pBar->LoadToolBar(IDR_CB_BAD_COUNT));
    EXPECT_FALSE(pBar->LoadToolBar(IDR_CB_ITEMS));
    ASSERT_EQ(1, pBar->GetControlCount());
    EXPECT_EQ(ID_CB_UNDO, pBar->GetControl(0)->GetID());
    EXPECT_EQ(0u, pBar->GetBarID());

    // A good one gives its buttons, a group start and the bar id, and keeps the reset copy.
    EXPECT_TRUE(pBar->LoadToolBar(IDR_CB_FRAME));
    ASSERT_EQ(4, pBar->GetControlCount());
    EXPECT_EQ(static_cast<UINT>(IDR_CB_FRAME), pBar->GetBarID());
    EXPECT_TRUE(pBar->GetControl(2)->GetBeginGroup());
    ASSERT_NE(nullptr, pBar->GetControls()->GetOriginalControls());
    EXPECT_FALSE(pBar->GetControls()->IsChanged());
    pBar->InternalRelease();
}

TEST(ToolBarResource, AnImageWidthOtherThan16BecomesTheButtonSizeAndTheIconsKeepTheirCut)
{
    struct Case
    {
        const char* name;
        UINT nId;
        CSize szButton;
        CSize szIcon;
    };
    // 16-pixel images leave the bar at its default icons and the buttons at the icon plus 7.
    const Case cases[] = {{"32 x 32", IDR_CB_FRAME, CSize(32, 32), CSize(32, 32)},
                          {"24 x 32", IDR_CB_WIDE, CSize(24, 32), CSize(24, 32)},
                          {"16 x 16", IDR_CB_SMALL, CSize(23, 23), CSize(16, 16)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* pBar = new CXTPToolBar;
        ASSERT_TRUE(pBar->LoadToolBar(c.nId));
        EXPECT_EQ(c.szButton, pBar->GetButtonSize());
        EXPECT_EQ(c.szIcon, pBar->GetIconSize());
        pBar->InternalRelease();
    }
}

} // namespace
