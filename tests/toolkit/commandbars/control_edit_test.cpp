// Edit fields and hosted windows on a real toolbar: hint, Escape, read-only, hiding, the tooltip
// check, the edit's own clipboard commands, a trackbar found again by its id, and the keys of both in
// the layout archive.
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "control_custom.h"
#include "control_edit.h"
#include "menu_script.h"
#include "prop_exchange.h"
#include "support/screenshot.h"
#include "tool_bar.h"
#include "toolkit_test_app.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

using commandbars_test::MdiBarsFrame;
using popup_test::HookKey;
using popup_test::Script;
const auto Pump = commandbars_test::PumpMessages;

CString ClipboardText()
{
    CString strText;
    if (!::OpenClipboard(NULL))
        return strText;
    if (HANDLE hData = ::GetClipboardData(CF_UNICODETEXT)) {
        strText = static_cast<const wchar_t*>(::GlobalLock(hData));
        ::GlobalUnlock(hData);
    }
    ::CloseClipboard();
    return strText;
}

// The popup menu shown now on this thread, if any.
CXTPPopupBar* ShownPopup()
{
    CXTPPopupBar* pFound = NULL;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pBar = DYNAMIC_DOWNCAST(CXTPPopupBar, CWnd::FromHandlePermanent(hWnd));
            if (pBar == NULL || !::IsWindowVisible(hWnd))
                return TRUE;
            *reinterpret_cast<CXTPPopupBar**>(lParam) = pBar;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&pFound));
    return pFound;
}

CString WindowText(CWnd* pWnd)
{
    CString strText;
    pWnd->GetWindowText(strText);
    return strText;
}

void SetClipboardText(const wchar_t* pszText)
{
    ASSERT_TRUE(::OpenClipboard(NULL));
    ::EmptyClipboard();
    if (pszText != NULL) {
        const size_t nBytes = (wcslen(pszText) + 1) * sizeof(wchar_t);
        HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE, nBytes);
        memcpy(::GlobalLock(hData), pszText, nBytes);
        ::GlobalUnlock(hData);
        ::SetClipboardData(CF_UNICODETEXT, hData);
    }
    ::CloseClipboard();
}

template <class TControl> void RoundTrip(TControl* pSource, TControl* pLoaded)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CXTPPropExchangeArchive px(ar);
        px.m_nSchema = 9;
        pSource->DoPropExchange(&px);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    px.m_nSchema = 9;
    pLoaded->DoPropExchange(&px);
}

class EditControl : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new MdiBarsFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_CB_MDI, WS_OVERLAPPEDWINDOW));
        m_pFrame->SetWindowPos(&CWnd::wndTop, 60, 60, 600, 360, SWP_SHOWWINDOW);
        Pump();
        m_pEdit =
            DYNAMIC_DOWNCAST(CXTPControlEdit, m_pFrame->m_pToolBar->GetControls()->Add(xtpControlEdit, 4000));
        ASSERT_NE(nullptr, m_pEdit);
        m_pFrame->RecalcLayout();
        m_pFrame->m_pToolBar->Invalidate();
        Pump();
        ASSERT_NE(nullptr, m_pEdit->GetEditCtrl());
        ASSERT_TRUE(::IsWindow(m_pEdit->GetEditCtrl()->GetSafeHwnd()));
    }
    void TearDown() override
    {
        m_pFrame->DestroyWindow();
        Pump();
    }
    void Type(const wchar_t* pszText)
    {
        for (const wchar_t* p = pszText; *p != 0; ++p)
            m_pEdit->GetEditCtrl()->SendMessage(WM_CHAR, *p, 1);
    }

    MdiBarsFrame* m_pFrame = NULL;
    CXTPControlEdit* m_pEdit = NULL;
};

TEST_F(EditControl, TheFieldLivesInTheToolbarAndAnswersTheTooltipCheck)
{
    CXTPEdit* pWnd = m_pEdit->GetEditCtrl();
    EXPECT_EQ(m_pFrame->m_pToolBar->GetSafeHwnd(), ::GetParent(pWnd->GetSafeHwnd()));
    EXPECT_TRUE(pWnd->IsWindowVisible());
    EXPECT_EQ(1, pWnd->SendMessage(10824));
    CRect rcEdit;
    pWnd->GetWindowRect(&rcEdit);
    m_pFrame->m_pToolBar->ScreenToClient(&rcEdit);
    const CRect rcControl = m_pEdit->GetRect();
    EXPECT_EQ(rcControl.left + 4, rcEdit.left);
    EXPECT_EQ(rcControl.right - 3, rcEdit.right);
}

TEST_F(EditControl, AnEmptyFieldWithAHintReadsEmptyAndATextReplacesTheHint)
{
    m_pEdit->SetEditHint(L"Search");
    EXPECT_EQ(CString(L"Search"), WindowText(m_pEdit->GetEditCtrl()));
    EXPECT_EQ(CString(), m_pEdit->GetEditText());
    m_pEdit->SetEditText(L"disk");
    EXPECT_EQ(CString(L"disk"), m_pEdit->GetEditText());
    EXPECT_EQ(CString(L"disk"), WindowText(m_pEdit->GetEditCtrl()));
    m_pEdit->SetEditText(L"");
    EXPECT_EQ(CString(L"Search"), WindowText(m_pEdit->GetEditCtrl()));
    EXPECT_EQ(CString(), m_pEdit->GetEditText());
    // Taking the focus clears the hint.
    m_pEdit->GetEditCtrl()->SetFocus();
    EXPECT_TRUE(m_pEdit->IsFocused());
    EXPECT_EQ(CString(), WindowText(m_pEdit->GetEditCtrl()));
}

TEST_F(EditControl, EscapeRestoresTheTextTheFieldHadWhenItTookTheFocus)
{
    m_pEdit->SetEditText(L"before");
    m_pEdit->GetEditCtrl()->SetFocus();
    ASSERT_TRUE(m_pEdit->IsFocused());
    m_pEdit->GetEditCtrl()->SendMessage(EM_SETSEL, 6, 6);
    Type(L"xyz");
    EXPECT_EQ(CString(L"beforexyz"), m_pEdit->GetEditText());
    // The toolbar tracks for the field and its keyboard hook hands the field the key first.
    ASSERT_TRUE(m_pFrame->m_pToolBar->IsTrackingMode());
    HookKey(VK_ESCAPE);
    EXPECT_EQ(CString(L"before"), m_pEdit->GetEditText());
    EXPECT_FALSE(m_pEdit->IsFocused());
    // The keys go to the window that had the keyboard again, not to the bar.
    EXPECT_FALSE(m_pFrame->m_pToolBar->IsTrackingMode());
}

TEST_F(EditControl, TheContextMenuOffersWhatTheSelectionAndClipboardAllowAndRunsIt)
{
    CXTPEdit* pWnd = m_pEdit->GetEditCtrl();
    m_pEdit->SetEditText(L"alpha beta");
    pWnd->SetFocus();
    pWnd->SendMessage(EM_SETSEL, 0, 0);
    SetClipboardText(NULL);
    // Nothing selected and nothing to paste: all three are offered disabled; Escape closes.
    std::vector<BOOL> enabled;
    {
        Script script({[] {},
                       [&] {
                           if (CXTPPopupBar* pPopup = ShownPopup())
                               for (int i = 0; i < pPopup->GetControlCount(); ++i)
                                   enabled.push_back(pPopup->GetControl(i)->GetEnabled());
                       },
                       [] { HookKey(VK_ESCAPE); }});
        EXPECT_TRUE(pWnd->ShowContextMenu(m_pEdit, CPoint(5, 5)));
    }
    EXPECT_EQ((std::vector<BOOL>{FALSE, FALSE, FALSE}), enabled);
    EXPECT_EQ(CString(L"alpha beta"), WindowText(pWnd));
    // Cut, the first item, takes the selection to the clipboard.
    pWnd->SendMessage(EM_SETSEL, 0, 6);
    {
        Script script({[] {}, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_RETURN); }});
        EXPECT_TRUE(pWnd->ShowContextMenu(m_pEdit, CPoint(5, 5)));
    }
    EXPECT_EQ(CString(L"beta"), WindowText(pWnd));
    EXPECT_EQ(CString(L"alpha "), ClipboardText());
    // Copy, the second, copies; Paste, the third, replaces the selection.
    pWnd->SendMessage(EM_SETSEL, 0, 2);
    {
        Script script(
            {[] {}, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_RETURN); }});
        EXPECT_TRUE(pWnd->ShowContextMenu(m_pEdit, CPoint(5, 5)));
    }
    EXPECT_EQ(CString(L"be"), ClipboardText());
    pWnd->SendMessage(EM_SETSEL, 0, -1);
    SetClipboardText(L"gamma");
    {
        Script script({[] {}, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_DOWN); }, [] { HookKey(VK_DOWN); },
                       [] { HookKey(VK_RETURN); }});
        EXPECT_TRUE(pWnd->ShowContextMenu(m_pEdit, CPoint(5, 5)));
    }
    EXPECT_EQ(CString(L"gamma"), WindowText(pWnd));
    // The field kept the keyboard through the menus.
    EXPECT_TRUE(m_pEdit->IsFocused());
}

TEST_F(EditControl, EnterInTheFieldRunsItsCommand)
{
    m_pEdit->GetEditCtrl()->SetFocus();
    ASSERT_TRUE(m_pEdit->IsFocused());
    Type(L"x");
    HookKey(VK_RETURN);
    Pump();
    EXPECT_FALSE(m_pFrame->m_pToolBar->IsTrackingMode());
    EXPECT_EQ(CString(L"x"), m_pEdit->GetEditText());
}

TEST_F(EditControl, AReadOnlyFieldRefusesTypingStillCopiesAndKeepsItInACopy)
{
    m_pEdit->SetEditText(L"fixed");
    m_pEdit->SetReadOnly(TRUE);
    CXTPEdit* pWnd = m_pEdit->GetEditCtrl();
    pWnd->SetFocus();
    pWnd->SendMessage(EM_SETSEL, 0, -1);
    Type(L"q");
    EXPECT_EQ(CString(L"fixed"), m_pEdit->GetEditText());
    SetClipboardText(NULL);
    pWnd->OnCommand(ID_EDIT_COPY, 0);
    ASSERT_TRUE(::OpenClipboard(NULL));
    HANDLE hData = ::GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(nullptr, hData);
    EXPECT_EQ(CString(L"fixed"), CString(static_cast<const wchar_t*>(::GlobalLock(hData))));
    ::GlobalUnlock(hData);
    ::CloseClipboard();

    CXTPControl* pCopy = m_pEdit->Clone();
    auto* pEditCopy = DYNAMIC_DOWNCAST(CXTPControlEdit, pCopy);
    ASSERT_NE(nullptr, pEditCopy);
    EXPECT_TRUE(pEditCopy->GetReadOnly());
    EXPECT_EQ(CString(L"fixed"), pEditCopy->GetEditText());
    EXPECT_TRUE(m_pEdit->IsEqual(pCopy));
    pCopy->InternalRelease();
}

TEST_F(EditControl, HidingByHideFlagsHidesTheWindowWithoutMovingIt)
{
    CXTPEdit* pWnd = m_pEdit->GetEditCtrl();
    CRect rcBefore;
    pWnd->GetWindowRect(&rcBefore);
    m_pEdit->SetHideFlags(xtpHideGeneric);
    EXPECT_FALSE(pWnd->IsWindowVisible());
    CRect rcHidden;
    pWnd->GetWindowRect(&rcHidden);
    EXPECT_EQ(rcBefore, rcHidden);
    m_pEdit->SetHideFlags(xtpNoHide);
    EXPECT_TRUE(pWnd->IsWindowVisible());
}

TEST_F(EditControl, TheClipboardCommandsFollowTheSelectionAndTheClipboard)
{
    CXTPEdit* pWnd = m_pEdit->GetEditCtrl();
    m_pEdit->SetEditText(L"alpha beta");
    pWnd->SendMessage(EM_SETSEL, 0, 0);
    SetClipboardText(NULL);
    EXPECT_FALSE(pWnd->IsCommandEnabled(ID_EDIT_CUT));
    EXPECT_FALSE(pWnd->IsCommandEnabled(ID_EDIT_COPY));
    EXPECT_FALSE(pWnd->IsCommandEnabled(ID_EDIT_PASTE));
    pWnd->SendMessage(EM_SETSEL, 0, 6);
    EXPECT_TRUE(pWnd->IsCommandEnabled(ID_EDIT_CUT));
    pWnd->OnCommand(ID_EDIT_CUT, 0);
    EXPECT_EQ(CString(L"beta"), WindowText(pWnd));
    EXPECT_TRUE(pWnd->IsCommandEnabled(ID_EDIT_PASTE));
    pWnd->SendMessage(EM_SETSEL, 0, -1);
    pWnd->OnCommand(ID_EDIT_PASTE, 0);
    EXPECT_EQ(CString(L"alpha "), WindowText(pWnd));
}

TEST_F(EditControl, WithoutTheRichEditLibrariesTheFieldFallsBackAndItsCommandsStillWork)
{
    struct Case
    {
        int nFallback;
        const wchar_t* pszClass;
    };
    for (const Case& c : {Case{1, L"RICHEDIT"}, Case{2, L"Edit"}, Case{0, L"RichEdit20W"}}) {
        SCOPED_TRACE(c.pszClass);
        CXTPRichEditLibrary::SetForceFallback(c.nFallback);
        CXTPEdit edit;
        ASSERT_TRUE(
            edit.CreateEdit(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 150, 30), m_pFrame));
        wchar_t szClass[64] = {0};
        ::GetClassNameW(edit.GetSafeHwnd(), szClass, 64);
        EXPECT_STREQ(c.pszClass, szClass);
        edit.SetWindowText(L"one two");
        edit.SendMessage(EM_SETSEL, 0, 4);
        ASSERT_TRUE(edit.IsCommandEnabled(ID_EDIT_CUT));
        edit.OnCommand(ID_EDIT_CUT, 0);
        EXPECT_EQ(CString(L"two"), WindowText(&edit));
        edit.SendMessage(EM_SETSEL, 0, -1);
        edit.OnCommand(ID_EDIT_PASTE, 0);
        EXPECT_EQ(CString(L"one "), WindowText(&edit));
        // The colours are set on any of them without harm.
        edit.UpdateCharFormat(FALSE, FALSE);
        edit.DestroyWindow();
    }
}

TEST_F(EditControl, TheFieldsKeysRoundTripThroughTheArchive)
{
    m_pEdit->SetWidth(140);
    m_pEdit->SetReadOnly(TRUE);
    m_pEdit->SetEditHint(L"Find");
    m_pEdit->EnableShellAutoComplete(3);
    m_pEdit->ShowLabel(FALSE);
    CXTPControlEdit loaded;
    RoundTrip(m_pEdit, &loaded);
    EXPECT_TRUE(m_pEdit->IsEqual(&loaded));
    EXPECT_EQ(140, loaded.GetWidth());
    EXPECT_TRUE(loaded.GetReadOnly());
    EXPECT_EQ(CString(L"Find"), loaded.GetEditHint());
    EXPECT_EQ(3u, loaded.GetShellAutoCompleteFlags());
    EXPECT_FALSE(loaded.IsLabeled());
}

class CustomControl : public EditControl
{
protected:
    void SetUp() override
    {
        EditControl::SetUp();
        m_trackbar.CreateEx(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ, CRect(0, 0, 80, 20),
                            m_pFrame, 1234);
        ASSERT_TRUE(::IsWindow(m_trackbar.GetSafeHwnd()));
    }
    CXTPToolBar* ToolBar() const { return m_pFrame->m_pToolBar; }
    // A custom control read from an archive whose "ControlId" is the trackbar's.
    CXTPControlCustom* LoadCustom(int nVerticalOptions)
    {
        CXTPControlCustom source;
        source.SetControl(&m_trackbar);
        source.SetVerticalPositionOption(nVerticalOptions);
        source.SetBorders(2, 1, 2, 1);
        auto* pCustom = new CXTPControlCustom;
        ToolBar()->GetControls()->AddControl(pCustom, 4100);
        RoundTrip(&source, pCustom);
        EXPECT_TRUE(source.IsEqual(pCustom));
        EXPECT_EQ(CRect(2, 1, 2, 1), pCustom->GetBorders());
        m_pFrame->RecalcLayout();
        Pump();
        return pCustom;
    }
    void Dock(XTPBarPosition position)
    {
        ToolBar()->SetPosition(position);
        m_pFrame->RecalcLayout();
        Pump();
    }

    CWnd m_trackbar;
};

TEST_F(CustomControl, ALoadedLayoutFindsTheWindowByItsIdAndMovesItIntoTheToolbar)
{
    CXTPControlCustom* pCustom = LoadCustom(2);
    EXPECT_EQ(1234, pCustom->GetControlId());
    EXPECT_EQ(m_trackbar.GetSafeHwnd(), pCustom->GetControlHandle());
    EXPECT_EQ(ToolBar()->GetSafeHwnd(), ::GetParent(m_trackbar.GetSafeHwnd()));
    EXPECT_TRUE(m_trackbar.IsWindowVisible());
    CRect rcWindow;
    m_trackbar.GetWindowRect(&rcWindow);
    ToolBar()->ScreenToClient(&rcWindow);
    EXPECT_EQ(pCustom->GetRect().left + 2, rcWindow.left);
    EXPECT_EQ(80, rcWindow.Width());
    m_pEdit->SetEditHint(L"Search");
    m_pEdit->SetCaption(L"Find:");
    m_pEdit->DelayLayoutParent();
    m_pFrame->RecalcLayout();
    Pump();
    // The label stands before the field, and the field's window after it.
    EXPECT_GT(m_pEdit->GetLabelWidth(), 0);
    CRect rcEdit;
    m_pEdit->GetEditCtrl()->GetWindowRect(&rcEdit);
    ToolBar()->ScreenToClient(&rcEdit);
    EXPECT_EQ(m_pEdit->GetRect().left + m_pEdit->GetLabelWidth() + 4, rcEdit.left);
    m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pFrame->GetSafeHwnd(), L"toolbar_edit_and_trackbar"));
    // A click on the shown window is the window's, not a command.
    pCustom->OnClick();
    Pump();
    EXPECT_EQ(m_trackbar.GetSafeHwnd(), pCustom->GetControlHandle());
}

TEST_F(CustomControl, VerticalBarsHideTheWindowOrTheWholeControlAsTheOptionsSay)
{
    struct Case
    {
        int nOptions;
        bool bControlHidden;
        bool bWindowShown;
    };
    for (const Case& c : {Case{0, true, false}, Case{1, false, true}, Case{2, false, false}}) {
        SCOPED_TRACE(c.nOptions);
        CXTPControlCustom* pCustom = LoadCustom(c.nOptions);
        Dock(xtpBarLeft);
        EXPECT_EQ(c.bControlHidden, (pCustom->GetHideFlags() & XTP_HIDE_VERTICAL) != 0);
        EXPECT_EQ(c.bWindowShown, m_trackbar.IsWindowVisible() != FALSE);
        Dock(xtpBarTop);
        EXPECT_EQ(0u, pCustom->GetHideFlags());
        EXPECT_TRUE(m_trackbar.IsWindowVisible());
        ToolBar()->GetControls()->Remove(pCustom);
        m_trackbar.SetParent(m_pFrame);
    }
}

} // namespace
