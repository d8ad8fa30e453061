// The flat combo box's completion and hot look, the edit's context menu and its command states, and
// the flat edit's border, on real controls.
#include "color_table.h"
#include "command_bars.h"
#include "flat_controls.h"
#include "standalone_test.h"
#include "toolkit_resource_ids.h"

#include <gtest/gtest.h>

namespace {

COLORREF Color(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

void HoverAt(CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(&rect);
    ::SetCursorPos(rect.CenterPoint().x, rect.CenterPoint().y);
    wnd.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd.GetSafeHwnd()),
                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

class FlatComboTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_combo.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN, CRect(10, 10, 170, 200),
                                   &m_parent, 70));
        for (LPCTSTR lpszItem : {L"apple", L"apricot", L"banana"})
            m_combo.AddString(lpszItem);
        m_hWndEdit = ::GetWindow(m_combo.GetSafeHwnd(), GW_CHILD);
        ASSERT_NE(nullptr, m_hWndEdit);
    }
    void Type(LPCTSTR lpszKeys)
    {
        for (; *lpszKeys != 0; ++lpszKeys) {
            if (*lpszKeys == L'\b') {
                MSG msg = {};
                msg.hwnd = m_hWndEdit;
                msg.message = WM_KEYDOWN;
                msg.wParam = VK_BACK;
                m_combo.PreTranslateMessage(&msg);
            }
            ::SendMessage(m_hWndEdit, WM_CHAR, *lpszKeys, 1);
        }
    }
    CString Text()
    {
        CString strText;
        m_combo.GetWindowText(strText);
        return strText;
    }
    RecordingParent& m_parent = SharedParent();
    CXTFlatComboBox m_combo;
    HWND m_hWndEdit = NULL;
};

TEST_F(FlatComboTest, TypeAheadCompletesPrefixesAndLeavesOtherTextAsTyped)
{
    const struct
    {
        LPCTSTR lpszStart; // text before typing, the caret at its '|'
        LPCTSTR lpszKeys;
        LPCTSTR lpszText;
        int nSelStart;
        int nSelEnd;
    } cases[] = {
        {L"|", L"apr", L"apricot", 3, 7},                               // the completed tail is selected
        {L"|", L"b", L"banana", 1, 6},    {L"|", L"xyz", L"xyz", 3, 3}, // nothing matches: the caret stays
        {L"ap|le", L"p", L"apple", 3, 3}, // typed in the middle: the caret comes back
        {L"|", L"apr\b", L"apr", 3, 3},   // Backspace takes the completion away and keeps it away
    };
    for (const auto& c : cases) {
        const CString strStart(c.lpszStart);
        const int nCaret = strStart.Find(L'|');
        CString strInitial(strStart);
        strInitial.Remove(L'|');
        m_combo.SetWindowText(strInitial);
        m_combo.SetEditSel(nCaret, nCaret);
        Type(c.lpszKeys);
        const DWORD dwSel = m_combo.GetEditSel();
        EXPECT_EQ(CString(c.lpszText), Text()) << Narrow(c.lpszKeys);
        EXPECT_EQ(c.nSelStart, LOWORD(dwSel)) << Narrow(c.lpszKeys);
        EXPECT_EQ(c.nSelEnd, HIWORD(dwSel)) << Narrow(c.lpszKeys);
    }
    m_combo.EnableAutoCompletion(FALSE);
    m_combo.SetWindowText(L"");
    Type(L"ap");
    EXPECT_EQ(L"ap", Text());
}

TEST_F(FlatComboTest, HotLookEndsOneTickAfterTheCursorLeaves)
{
    m_combo.SetTheme(m_combo.GetFactory()->CreateTheme(1));
    ClientPicture rest(&m_combo);
    EXPECT_EQ(Color(51), rest.Pixel(0, 0));
    HoverAt(m_combo);
    EXPECT_TRUE(m_combo.IsHot());
    ClientPicture hot(&m_combo);
    EXPECT_EQ(Color(32), hot.Pixel(0, 0));
    EXPECT_EQ(Color(31), hot.Pixel(hot.Width() - 6, hot.Height() / 2 - 4)) << "the hot drop button";

    ::SetCursorPos(2, 2);
    EXPECT_TRUE(PumpUntil([&] { return m_combo.IsHot() == FALSE; }, 500));
    ClientPicture left(&m_combo);
    EXPECT_EQ(Color(51), left.Pixel(0, 0));
}

struct MenuRecord
{
    CPoint point = CPoint(-100, -100);
    std::vector<UINT> ids;
    UINT nFlags = 0;
};
MenuRecord g_menu;

class MenuRecordingBar : public CXTPPopupBar
{
    DECLARE_DYNCREATE(MenuRecordingBar)
public:
    BOOL LoadMenu(CMenu* pMenu, BOOL) override
    {
        for (int i = 0; i < static_cast<int>(pMenu->GetMenuItemCount()); ++i)
            g_menu.ids.push_back(pMenu->GetMenuItemID(i));
        return TRUE;
    }
    int Popup(UINT nFlags, int x, int y, CWnd*, LPCRECT) override
    {
        g_menu.point = CPoint(x, y);
        g_menu.nFlags = nFlags;
        return 0;
    }
};
IMPLEMENT_DYNCREATE(MenuRecordingBar, CXTPPopupBar)

class EditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                                  CRect(10, 220, 170, 244), &m_parent, 71));
    }
    // The state of each command of the edit menu after the edit has updated it.
    UINT State(UINT nID)
    {
        CMenu menu;
        EXPECT_TRUE(menu.LoadMenu(XT_IDM_POPUP));
        CMenu* pPopup = menu.GetSubMenu(1);
        m_edit.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pPopup->GetSafeHmenu()),
                           MAKELPARAM(1, FALSE));
        return pPopup->GetMenuState(nID, MF_BYCOMMAND) & MF_GRAYED;
    }
    RecordingParent& m_parent = SharedParent();
    CXTEdit m_edit;
};

TEST_F(EditTest, KeyboardContextMenuIsTheEditMenuFivePixelsIn)
{
    g_menu = MenuRecord();
    CXTPPaintManager::SetCustomTheme(new CXTPPaintManager);
    CXTPPopupBar::m_pPopupBarClass = RUNTIME_CLASS(MenuRecordingBar);
    m_edit.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_edit.GetSafeHwnd()), MAKELPARAM(-1, -1));
    CXTPPopupBar::m_pPopupBarClass = RUNTIME_CLASS(CXTPPopupBar);
    CXTPPaintManager::SetCustomTheme(NULL);
    CPoint origin(0, 0);
    m_edit.ClientToScreen(&origin);
    EXPECT_EQ(origin + CPoint(5, 5), g_menu.point);
    EXPECT_TRUE(g_menu.nFlags & TPM_RIGHTBUTTON);
    const std::vector<UINT> expected = {ID_EDIT_UNDO,  0, ID_EDIT_CUT,       ID_EDIT_COPY, ID_EDIT_PASTE,
                                        ID_EDIT_CLEAR, 0, ID_EDIT_SELECT_ALL};
    EXPECT_EQ(expected, g_menu.ids);
}

TEST_F(EditTest, CommandsAreEnabledByWhatTheEditHolds)
{
    ::OpenClipboard(NULL);
    ::EmptyClipboard();
    ::CloseClipboard();
    EXPECT_EQ(MF_GRAYED, State(ID_EDIT_SELECT_ALL));
    EXPECT_EQ(MF_GRAYED, State(ID_EDIT_UNDO));
    EXPECT_EQ(MF_GRAYED, State(ID_EDIT_CUT));
    EXPECT_EQ(MF_GRAYED, State(ID_EDIT_PASTE));

    m_edit.SetWindowText(L"hello");
    m_edit.EmptyUndoBuffer();
    m_edit.SetSel(0, 2);
    EXPECT_EQ(0u, State(ID_EDIT_SELECT_ALL));
    EXPECT_EQ(MF_GRAYED, State(ID_EDIT_UNDO));
    for (UINT nID : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_CLEAR})
        EXPECT_EQ(0u, State(nID)) << nID;

    // Copy puts the selection on the clipboard, which enables Paste; typing gives something to undo.
    m_edit.SendMessage(WM_COMMAND, ID_EDIT_COPY);
    EXPECT_EQ(0u, State(ID_EDIT_PASTE));
    m_edit.SetSel(5, 5);
    m_edit.SendMessage(WM_CHAR, L'!', 1);
    EXPECT_EQ(0u, State(ID_EDIT_UNDO));
    m_edit.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL);
    int nStart = -1;
    int nEnd = -1;
    m_edit.GetSel(nStart, nEnd);
    EXPECT_EQ(0, nStart);
    EXPECT_EQ(6, nEnd);
    m_edit.SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    CString strText;
    m_edit.GetWindowText(strText);
    EXPECT_EQ(L"hello", strText);
}

TEST(FlatEdit, BorderIsTheEditThemesAndFollowsTheCursor)
{
    RecordingParent& parent = SharedParent();
    CXTFlatEdit edit;
    // An edit draws a WS_BORDER inside its client area; the client edge is a non-client border.
    ASSERT_TRUE(edit.CreateEx(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE,
                              CRect(180, 220, 330, 244), &parent, 72));
    edit.SetWindowText(L"flat");
    ClientPicture rest(&edit, true);
    EXPECT_EQ(Color(COLOR_WINDOW), rest.Pixel(0, 0));
    EXPECT_EQ(Color(COLOR_WINDOW), rest.Pixel(149, 23));

    HoverAt(edit);
    EXPECT_TRUE(edit.IsHot());
    ClientPicture hot(&edit, true);
    EXPECT_EQ(Color(COLOR_BTNSHADOW), hot.Pixel(0, 0));
    EXPECT_EQ(Color(COLOR_BTNHIGHLIGHT), hot.Pixel(149, 23));

    // A flat combo box beside it for the picture of both.
    CXTFlatComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, CRect(180, 250, 330, 400),
                             &parent, 73));
    combo.AddString(L"banana");
    combo.SetCurSel(0);
    ClientPicture(&parent).Save(L"flat_edit_hot_and_combo");
    // The selected item still shows over the drop-down list's fill.
    EXPECT_GT(ClientPicture(&combo).Count(IsDark), 10);

    ::SetCursorPos(2, 2);
    EXPECT_TRUE(PumpUntil([&] { return edit.IsHot() == FALSE; }, 500));
    ClientPicture left(&edit, true);
    EXPECT_EQ(Color(COLOR_WINDOW), left.Pixel(0, 0));
}

} // namespace
