// Combo boxes on a real toolbar: completion from the items, the drop-down list's height, Escape,
// the notifications the frame hears, copies and the archive; and the shell's suggestion list found
// while an edit field holds the keyboard.
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "control_combo_box.h"
#include "control_edit.h"
#include "menu_script.h"
#include "prop_exchange.h"
#include "support/screenshot.h"
#include "tool_bar.h"
#include "toolkit_test_app.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using commandbars_test::MdiBarsFrame;
using popup_test::HookKey;
const auto Pump = commandbars_test::PumpMessages;

// The frame, recording the combo's notifications (message 0x2862) in arrival order.
class NotifyFrame : public MdiBarsFrame
{
public:
    std::vector<UINT> m_codes;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == XTP_WM_CONTROL_EXECUTED && lParam != 0) {
            const UINT nCode = reinterpret_cast<NMXTPCONTROL*>(lParam)->hdr.code;
            if (nCode != XTP_CBN_SELCHANGE)
                m_codes.push_back(nCode);
        }
        return MdiBarsFrame::OnWndMsg(message, wParam, lParam, pResult);
    }
};

class ComboBox : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new NotifyFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_CB_MDI, WS_OVERLAPPEDWINDOW));
        m_pFrame->SetWindowPos(&CWnd::wndTop, 60, 60, 600, 360, SWP_SHOWWINDOW);
        Pump();
        m_pCombo =
            DYNAMIC_DOWNCAST(CXTPControlComboBox, ToolBar()->GetControls()->Add(xtpControlComboBox, 4200));
        ASSERT_NE(nullptr, m_pCombo);
        m_pCombo->SetDropDownListStyle(TRUE);
        m_pCombo->AddString(L"Apple");
        m_pCombo->AddString(L"Apricot");
        Layout();
        ASSERT_NE(nullptr, m_pCombo->GetEditCtrl());
        ASSERT_TRUE(::IsWindow(Edit()->GetSafeHwnd()));
    }
    void TearDown() override
    {
        CXTPMouseManager::GetInstance()->SendTrackLostAll();
        m_pFrame->DestroyWindow();
        Pump();
        CXTPMouseManager::GetInstance()->Reset();
    }
    CXTPToolBar* ToolBar() const { return m_pFrame->m_pToolBar; }
    CXTPEdit* Edit() const { return m_pCombo->GetEditCtrl(); }
    void Layout()
    {
        m_pFrame->RecalcLayout();
        ToolBar()->Invalidate();
        Pump();
    }
    void Type(const wchar_t* pszText)
    {
        for (const wchar_t* p = pszText; *p != 0; ++p)
            Edit()->SendMessage(WM_CHAR, *p, 1);
    }
    CString EditWindowText() const
    {
        CString strText;
        Edit()->GetWindowText(strText);
        return strText;
    }
    CPoint EditSelection() const
    {
        DWORD dwStart = 0, dwEnd = 0;
        Edit()->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
        return CPoint(static_cast<int>(dwStart), static_cast<int>(dwEnd));
    }
    CXTPControlComboBoxList* List() const { return m_pCombo->GetListBox(); }

    NotifyFrame* m_pFrame = NULL;
    CXTPControlComboBox* m_pCombo = NULL;
};

TEST_F(ComboBox, TypedTextCompletesFromTheItemsAndBackspaceDoesNotCompleteAgain)
{
    m_pCombo->EnableAutoComplete(TRUE);
    Edit()->SetFocus();
    ASSERT_TRUE(m_pCombo->IsFocused());
    Type(L"Ap");
    EXPECT_EQ(CString(L"Apple"), EditWindowText());
    EXPECT_EQ(CPoint(2, 5), EditSelection());
    Type(L"r");
    EXPECT_EQ(CString(L"Apricot"), EditWindowText());
    EXPECT_EQ(CPoint(3, 7), EditSelection());
    EXPECT_EQ(1, m_pCombo->GetCurSel());
    // Backspace takes the completed part away and nothing is completed in its place.
    HookKey(VK_BACK);
    Pump();
    EXPECT_EQ(CString(L"Apr"), EditWindowText());
    EXPECT_EQ(-1, m_pCombo->GetCurSel());
    EXPECT_EQ(CString(L"Apr"), m_pCombo->GetEditText());
    // The frame heard the focus and each change.
    ASSERT_FALSE(m_pFrame->m_codes.empty());
    EXPECT_EQ(static_cast<UINT>(XTP_CBN_SETFOCUS), m_pFrame->m_codes.front());
    EXPECT_EQ(static_cast<UINT>(XTP_CBN_EDITCHANGE), m_pFrame->m_codes.back());
    m_pFrame->SetFocus();
    EXPECT_FALSE(m_pCombo->IsFocused());
    EXPECT_EQ(static_cast<UINT>(XTP_CBN_KILLFOCUS), m_pFrame->m_codes.back());
}

TEST_F(ComboBox, TheListOpensOneRowPerItemUpToTheDropDownCount)
{
    struct Case
    {
        int nItems;
        int nRows;
    };
    for (const Case& c : {Case{3, 3}, Case{40, 12}}) {
        SCOPED_TRACE(c.nItems);
        List()->SendMessage(LB_RESETCONTENT);
        for (int i = 0; i < c.nItems; ++i) {
            CString strItem;
            strItem.Format(L"Item %d", i);
            m_pCombo->AddString(strItem);
        }
        m_pCombo->OnClick();
        ASSERT_TRUE(List()->IsWindowVisible());
        EXPECT_EQ(m_pCombo, List()->GetComboBox());
        CRect rcList;
        List()->GetWindowRect(&rcList);
        EXPECT_EQ(List()->GetItemHeight() * c.nRows + 4, rcList.Height());
        EXPECT_EQ(m_pCombo->GetRect().Width(), rcList.Width());
        // It opens under the control.
        CRect rcControl = m_pCombo->GetRect();
        ToolBar()->ClientToScreen(&rcControl);
        EXPECT_EQ(rcControl.bottom, rcList.top);
        if (c.nItems == 40) {
            m_pCombo->SetCurSel(2);
            m_pCombo->SetEditHint(L"Pick one");
            Pump();
            CRect rcShot;
            m_pFrame->GetWindowRect(&rcShot);
            rcShot.UnionRect(rcShot, rcList);
            HDC hScreen = ::GetDC(NULL);
            EXPECT_TRUE(test_support::WriteDcScreenshot(hScreen, rcShot, L"toolbar_combo_list_open"));
            ::ReleaseDC(NULL, hScreen);
        }
        m_pCombo->OnClick();
        EXPECT_FALSE(List()->IsWindowVisible());
        EXPECT_EQ(nullptr, List()->GetComboBox());
    }
}

TEST_F(ComboBox, EscapeRestoresTheSelectionAndTextFromBeforeTheListOpened)
{
    m_pCombo->SetCurSel(0);
    EXPECT_EQ(CString(L"Apple"), m_pCombo->GetEditText());
    Edit()->SetFocus();
    ASSERT_TRUE(m_pCombo->IsFocused());
    // F4 opens the list from the field.
    HookKey(VK_F4);
    ASSERT_TRUE(List()->IsTrackingMode());
    HookKey(VK_DOWN);
    EXPECT_EQ(1, m_pCombo->GetCurSel());
    EXPECT_EQ(CString(L"Apricot"), m_pCombo->GetEditText());
    HookKey(VK_ESCAPE);
    EXPECT_FALSE(List()->IsWindowVisible());
    EXPECT_FALSE(m_pCombo->IsFocused());
    EXPECT_EQ(0, m_pCombo->GetCurSel());
    EXPECT_EQ(CString(L"Apple"), m_pCombo->GetEditText());
    EXPECT_EQ(CString(L"Apple"), EditWindowText());
}

TEST_F(ComboBox, EnterInTheFieldTakesTheTypedText)
{
    Edit()->SetFocus();
    ASSERT_TRUE(m_pCombo->IsFocused());
    Type(L"Fig");
    m_pFrame->m_codes.clear();
    HookKey(VK_RETURN);
    Pump();
    EXPECT_FALSE(List()->IsWindowVisible());
    EXPECT_FALSE(ToolBar()->IsTrackingMode());
    EXPECT_EQ(CString(L"Fig"), m_pCombo->GetEditText());
    ASSERT_FALSE(m_pFrame->m_codes.empty());
    EXPECT_EQ(static_cast<UINT>(XTP_CN_EXECUTE), m_pFrame->m_codes.back());
}

TEST_F(ComboBox, AListWithoutAFieldCancelsOrChoosesAndTheFrameHearsWhich)
{
    m_pCombo->SetDropDownListStyle(FALSE);
    Layout();
    m_pCombo->SetCurSel(0);
    m_pFrame->m_codes.clear();
    // Opened, moved and closed with Escape: the old item comes back and the frame hears the cancel.
    m_pCombo->OnClick();
    ASSERT_TRUE(List()->IsTrackingMode());
    HookKey(VK_DOWN);
    EXPECT_EQ(CString(L"Apricot"), m_pCombo->GetEditText());
    HookKey(VK_ESCAPE);
    EXPECT_FALSE(List()->IsWindowVisible());
    EXPECT_EQ(0, m_pCombo->GetCurSel());
    EXPECT_EQ(CString(L"Apple"), m_pCombo->GetEditText());
    EXPECT_EQ(std::vector<UINT>{XTP_CBN_SELENDCANCEL}, m_pFrame->m_codes);
    // Opened, moved and taken with Enter: the frame hears the choice, then the command.
    m_pFrame->m_codes.clear();
    m_pCombo->OnClick();
    HookKey(VK_DOWN);
    HookKey(VK_RETURN);
    Pump();
    EXPECT_FALSE(List()->IsWindowVisible());
    EXPECT_EQ(1, m_pCombo->GetCurSel());
    EXPECT_EQ(CString(L"Apricot"), m_pCombo->GetEditText());
    EXPECT_EQ((std::vector<UINT>{XTP_CBN_SELENDOK, XTP_CN_EXECUTE}), m_pFrame->m_codes);
    // A click on an item of the open list chooses it as well.
    m_pFrame->m_codes.clear();
    m_pCombo->OnClick();
    const int nHeight = List()->GetItemHeight();
    List()->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, nHeight / 2));
    EXPECT_EQ(0, List()->GetCurSel());
    List()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, nHeight / 2));
    List()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, nHeight / 2));
    Pump();
    EXPECT_FALSE(List()->IsWindowVisible());
    EXPECT_EQ(CString(L"Apple"), m_pCombo->GetEditText());
    EXPECT_EQ((std::vector<UINT>{XTP_CBN_SELENDOK, XTP_CN_EXECUTE}), m_pFrame->m_codes);
}

TEST_F(ComboBox, ACopyKeepsWidthHintItemCountAndCompletion)
{
    m_pCombo->SetWidth(160);
    m_pCombo->SetEditHint(L"Fruit");
    m_pCombo->SetDropDownItemCount(5);
    m_pCombo->EnableAutoComplete(TRUE);
    CXTPControl* pClone = m_pCombo->Clone();
    auto* pCopy = DYNAMIC_DOWNCAST(CXTPControlComboBox, pClone);
    ASSERT_NE(nullptr, pCopy);
    EXPECT_EQ(160, pCopy->GetWidth());
    EXPECT_EQ(CString(L"Fruit"), pCopy->GetEditHint());
    EXPECT_EQ(5, pCopy->GetDropDownItemCount());
    EXPECT_TRUE(pCopy->IsAutoComplete());
    EXPECT_TRUE(pCopy->GetDropDownListStyle());
    EXPECT_EQ(2, pCopy->GetCount());
    EXPECT_TRUE(m_pCombo->IsEqual(pClone));
    pClone->InternalRelease();
}

TEST_F(ComboBox, TheComboAndItsListRoundTripThroughTheArchive)
{
    m_pCombo->SetWidth(130);
    m_pCombo->SetEditHint(L"Fruit");
    m_pCombo->SetDropDownItemCount(7);
    m_pCombo->EnableAutoComplete(TRUE);
    m_pCombo->SetEditIconId(12);
    m_pCombo->SetComboStyle(1);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CXTPPropExchangeArchive px(ar);
        px.m_nSchema = 9;
        m_pCombo->DoPropExchange(&px);
        List()->DoPropExchange(&px);
    }
    file.SeekToBegin();
    CXTPControlComboBox loaded;
    {
        CArchive ar(&file, CArchive::load);
        CXTPPropExchangeArchive px(ar);
        px.m_nSchema = 9;
        loaded.DoPropExchange(&px);
        loaded.GetListBox()->DoPropExchange(&px);
    }
    EXPECT_TRUE(m_pCombo->IsEqual(&loaded));
    EXPECT_EQ(130, loaded.GetWidth());
    EXPECT_EQ(CString(L"Fruit"), loaded.GetEditHint());
    EXPECT_EQ(7, loaded.GetDropDownItemCount());
    EXPECT_TRUE(loaded.IsAutoComplete());
    EXPECT_EQ(12, loaded.GetEditIconId());
    EXPECT_EQ(1, loaded.GetComboStyle());
    EXPECT_TRUE(loaded.GetDropDownListStyle());
    ASSERT_EQ(2, loaded.GetCount());
    EXPECT_EQ(CString(L"Apple"), loaded.GetListBox()->GetText(0));
    EXPECT_EQ(CString(L"Apricot"), loaded.GetListBox()->GetText(1));
}

// An edit field with the shell's auto-complete, and a stand-in for the shell's suggestion list.
class ShellSuggestion : public ComboBox
{
protected:
    void SetUp() override
    {
        ComboBox::SetUp();
        m_pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, ToolBar()->GetControls()->Add(xtpControlEdit, 4300));
        ASSERT_NE(nullptr, m_pEdit);
        Layout();
        m_pEdit->EnableShellAutoComplete(SHACF_FILESYSTEM);
        ASSERT_NE(nullptr, m_pEdit->GetAutoComplete());
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = AfxGetInstanceHandle();
        wc.lpszClassName = CXTPShellAutoComplete::SuggestionClassName();
        ::RegisterClassW(&wc);
        m_hwndSuggestion = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_BORDER,
                                             100, 200, 150, 80, NULL, NULL, wc.hInstance, NULL);
        ASSERT_NE(nullptr, m_hwndSuggestion);
    }
    void TearDown() override
    {
        ::DestroyWindow(m_hwndSuggestion);
        ComboBox::TearDown();
    }
    CXTPControlEdit* m_pEdit = NULL;
    HWND m_hwndSuggestion = NULL;
};

TEST_F(ShellSuggestion, TheSuggestionListIsFoundTrustedAndForgottenWhenHidden)
{
    CXTPShellAutoComplete* pHook = m_pEdit->GetAutoComplete();
    m_pEdit->GetEditCtrl()->SetFocus();
    ASSERT_TRUE(m_pEdit->IsFocused());
    EXPECT_TRUE(pHook->IsHooked());
    const HWND hwndEdit = m_pEdit->GetEditCtrl()->GetSafeHwnd();
    MSG msg;
    while (::PeekMessageW(&msg, hwndEdit, XTP_WM_SHELL_SUGGESTION_SHOWN, XTP_WM_SHELL_SUGGESTION_SHOWN,
                          PM_REMOVE))
        ;
    ::SetWindowPos(m_hwndSuggestion, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    EXPECT_EQ(m_hwndSuggestion, pHook->GetSuggestionWindow());
    EXPECT_TRUE(::PeekMessageW(&msg, hwndEdit, XTP_WM_SHELL_SUGGESTION_SHOWN, XTP_WM_SHELL_SUGGESTION_SHOWN,
                               PM_REMOVE));
    CXTPMouseManager* pMouse = CXTPMouseManager::GetInstance();
    EXPECT_TRUE(pMouse->IsTrustedWindow(m_hwndSuggestion));
    // While it shows, every key is the field's and the wheel goes on to the list.
    EXPECT_EQ(XTP_HOOK_PASS, m_pEdit->OnHookKeyDown(VK_ESCAPE, 0));
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT lResult = 0;
    EXPECT_EQ(XTP_HOOK_PASS, pHook->OnHookMessage(hwndEdit, WM_MOUSEWHEEL, wParam, lParam, lResult));
    // A click in it leaves the toolbar tracking for the field.
    ASSERT_TRUE(ToolBar()->IsTrackingMode());
    MOUSEHOOKSTRUCT click{};
    click.pt = CPoint(120, 220);
    click.hwnd = m_hwndSuggestion;
    pMouse->ProcessMouseHook(WM_LBUTTONDOWN, &click);
    pMouse->ProcessMouseHook(WM_LBUTTONUP, &click);
    EXPECT_TRUE(ToolBar()->IsTrackingMode());
    EXPECT_TRUE(m_pEdit->IsFocused());
    // Hidden, it is forgotten and no longer trusted.
    ::SetWindowPos(m_hwndSuggestion, NULL, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    EXPECT_EQ(nullptr, pHook->GetSuggestionWindow());
    EXPECT_FALSE(pMouse->IsTrustedWindow(m_hwndSuggestion));
    m_pFrame->SetFocus();
    EXPECT_FALSE(pHook->IsHooked());
}

TEST_F(ShellSuggestion, TheSuggestionListClosesTheComboDropDownList)
{
    m_pCombo->EnableShellAutoComplete(SHACF_FILESYSTEM);
    ASSERT_NE(nullptr, m_pCombo->GetAutoComplete());
    Edit()->SetFocus();
    m_pCombo->OnClick();
    ASSERT_TRUE(List()->IsTrackingMode());
    ::SetWindowPos(m_hwndSuggestion, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
    EXPECT_FALSE(List()->IsTrackingMode());
    EXPECT_TRUE(m_pCombo->IsFocused());
}

} // namespace
