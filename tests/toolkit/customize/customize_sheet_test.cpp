// The customise sheet on a real frame: the state and commands of a control's context menu, the
// button image through the clipboard (crafted clipboard data included), the stock images, the name
// field; the toolbars page with its new-toolbar dialog driven from a timer; the keyboard page over
// the shortcut manager; the options page; a screenshot of each page.
#include "command_bars.h"
#include "commandbars_resource_ids.h"
#include "commandbars_test_frames.h"
#include "control_combo_box.h"
#include "control_edit.h"
#include "customize/customize_sheet.h"
#include "customize_test_ids.h"
#include "frame_wnd.h"
#include "image_manager.h"
#include "menu_script.h"
#include "shortcut_manager.h"
#include "support/screenshot.h"
#include "tool_bar.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using popup_test::Script;
const auto Pump = commandbars_test::PumpMessages;

const UINT ID_CS_OPEN = ID_CZ_FIRST + 100;
const UINT ID_CS_SAVE = ID_CZ_FIRST + 101;
const UINT ID_CS_FIND = ID_CZ_FIRST + 102;

// The 32-bit pixels of a bitmap, top row first.
std::vector<COLORREF> Pixels(HBITMAP hBitmap, int nWidth, int nHeight)
{
    std::vector<COLORREF> pixels(static_cast<size_t>(nWidth * nHeight));
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = nWidth;
    bmi.bmiHeader.biHeight = -nHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    HDC hDC = ::GetDC(NULL);
    ::GetDIBits(hDC, hBitmap, 0, static_cast<UINT>(nHeight), pixels.data(), &bmi, DIB_RGB_COLORS);
    ::ReleaseDC(NULL, hDC);
    return pixels;
}

// The screen under the shown popup bar of this thread, saved under the name.
bool ScreenshotOfShownPopup(const wchar_t* pszName)
{
    HWND hFound = NULL;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            if (!::IsWindowVisible(hWnd) ||
                DYNAMIC_DOWNCAST(CXTPPopupBar, CWnd::FromHandlePermanent(hWnd)) == NULL)
                return TRUE;
            *reinterpret_cast<HWND*>(lParam) = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&hFound));
    return hFound != NULL && test_support::WriteWindowScreenshot(hFound, pszName);
}

class SheetFrame : public CXTPFrameWnd
{
public:
    CXTPToolBar* m_pToolBar = NULL;
    std::vector<UINT> m_commands;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode == CN_COMMAND && pHandlerInfo == NULL && nID >= ID_CZ_FIRST && nID < ID_CZ_FIRST + 200) {
            m_commands.push_back(nID);
            return TRUE;
        }
        return CXTPFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
        m_pCommandBars->AttachFrame(this);
        m_pCommandBars->CreateDockBars();
        m_pToolBar = m_pCommandBars->Add(L"Standard", xtpBarTop);
        if (m_pToolBar == NULL)
            return -1;
        const struct
        {
            UINT nId;
            const wchar_t* pszCaption;
        } buttons[] = {{ID_CS_OPEN, L"&Open"}, {ID_CS_SAVE, L"&Save"}};
        for (const auto& button : buttons) {
            CXTPControl* pControl = m_pToolBar->GetControls()->Add(xtpControlButton, button.nId);
            pControl->SetCaption(button.pszCaption);
            pControl->SetCategory(L"File");
        }
        CXTPControl* pFind = m_pToolBar->GetControls()->Add(xtpControlEdit, ID_CS_FIND);
        pFind->SetCategory(L"Edit");
        pFind->SetCaption(L"Find");
        m_pToolBar->GetControls()->Add(xtpControlComboBox, ID_CS_FIND + 1);
        CXTPImageHandle handle;
        handle.SetIcon(MakeSquareIcon(RGB(200, 30, 30), RGB(255, 255, 255), 3));
        m_pCommandBars->GetImageManager()->SetCommandIcon(handle, ID_CS_OPEN);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(SheetFrame, CXTPFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

class CustomizeSheet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new SheetFrame;
        ASSERT_TRUE(m_pFrame->Create(NULL, L"Customize test", WS_OVERLAPPEDWINDOW, CRect(40, 40, 640, 320)));
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->RecalcLayout();
        Pump();
        m_pBars = m_pFrame->GetCommandBars();
        m_pSheet = new CXTPCustomizeSheet(m_pBars);
        theApp.m_messageBoxes.clear();
        theApp.m_nMessageBoxAnswer = IDYES;
    }
    void TearDown() override
    {
        if (::IsWindow(m_pSheet->GetSafeHwnd()))
            m_pSheet->DestroyWindow();
        Pump();
        delete m_pSheet;
        m_pFrame->DestroyWindow();
        Pump();
    }
    CXTPControl* Control(int nIndex) const { return m_pFrame->m_pToolBar->GetControl(nIndex); }
    void Select(CXTPControl* pControl) { m_pBars->SetDragControl(pControl); }
    struct State
    {
        bool bEnabled;
        bool bChecked;
    };
    State StateOf(UINT nId)
    {
        CXTPControl item;
        item.SetID(static_cast<int>(nId));
        item.SetChecked(FALSE);
        CXTPControlCmdUI state(&item);
        m_pSheet->UpdateCommand(&state);
        return State{item.GetEnabled() != FALSE, item.GetChecked() != FALSE};
    }
    void OpenSheet()
    {
        ASSERT_TRUE(m_pSheet->Create(m_pFrame));
        Pump();
    }

    SheetFrame* m_pFrame = NULL;
    CXTPCommandBars* m_pBars = NULL;
    CXTPCustomizeSheet* m_pSheet = NULL;
};

TEST_F(CustomizeSheet, TheContextMenuOffersWhatTheSelectedControlAllows)
{
    // The first control begins no group; the second may.
    Select(Control(0));
    EXPECT_FALSE(StateOf(XTP_ID_CUSTOMIZE_BEGINAGROUP).bEnabled);
    Select(Control(1));
    EXPECT_TRUE(StateOf(XTP_ID_CUSTOMIZE_BEGINAGROUP).bEnabled);
    m_pSheet->RunCommand(XTP_ID_CUSTOMIZE_BEGINAGROUP);
    EXPECT_TRUE(Control(1)->GetBeginGroup());
    EXPECT_TRUE(StateOf(XTP_ID_CUSTOMIZE_BEGINAGROUP).bChecked);

    // Reset is offered for a custom caption alone and empties it.
    EXPECT_FALSE(StateOf(XTP_ID_CUSTOMIZE_RESET).bEnabled);
    Control(1)->SetCustomCaption(L"Keep");
    EXPECT_TRUE(StateOf(XTP_ID_CUSTOMIZE_RESET).bEnabled);
    m_pSheet->RunCommand(XTP_ID_CUSTOMIZE_RESET);
    EXPECT_EQ(CString(), Control(1)->GetCustomCaption());
    EXPECT_EQ(CString(L"&Save"), Control(1)->GetCaption());

    // The styles: checked by style 0, 1 and 3 on a button, disabled on an edit and a combo box.
    struct StyleCase
    {
        UINT nId;
        int nStyle;
    };
    for (const StyleCase& c :
         {StyleCase{XTP_ID_CUSTOMIZE_DEFAULTSTYLE, 0}, StyleCase{XTP_ID_CUSTOMIZE_TEXTONLY, 1},
          StyleCase{XTP_ID_CUSTOMIZE_IMAGEANDTEXT, 3}}) {
        SCOPED_TRACE(c.nStyle);
        Select(Control(1));
        m_pSheet->RunCommand(c.nId);
        EXPECT_EQ(c.nStyle, Control(1)->GetStyle());
        for (UINT nOther :
             {XTP_ID_CUSTOMIZE_DEFAULTSTYLE, XTP_ID_CUSTOMIZE_TEXTONLY, XTP_ID_CUSTOMIZE_IMAGEANDTEXT})
            EXPECT_EQ(nOther == c.nId, StateOf(nOther).bChecked);
        for (int nField : {2, 3}) {
            Select(Control(nField));
            EXPECT_FALSE(StateOf(c.nId).bEnabled);
        }
    }

    // The image items need an image id: none for a control without id or icon.
    Select(Control(0));
    EXPECT_TRUE(StateOf(XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE).bEnabled);
    CXTPControl* pBlank = m_pFrame->m_pToolBar->GetControls()->Add(xtpControlButton, 0);
    Select(pBlank);
    for (UINT nId : {XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE, XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE,
                     XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE, XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE})
        EXPECT_FALSE(StateOf(nId).bEnabled) << nId;
    // Without a selection nothing is offered.
    Select(NULL);
    EXPECT_FALSE(StateOf(XTP_ID_CUSTOMIZE_DELETE).bEnabled);
}

TEST_F(CustomizeSheet, CopyAndPasteCarryTheButtonImageAndCraftedBitmapsChangeNothing)
{
    OpenSheet();
    Select(Control(0));
    ASSERT_TRUE(m_pSheet->CopyButtonImage());
    ASSERT_TRUE(::OpenClipboard(NULL));
    HBITMAP hCopied = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    ASSERT_NE(nullptr, hCopied);
    BITMAP bm{};
    ::GetObjectW(hCopied, sizeof(bm), &bm);
    EXPECT_EQ(16, bm.bmWidth);
    EXPECT_EQ(16, bm.bmHeight);
    const std::vector<COLORREF> copied = Pixels(hCopied, 16, 16);
    // The command's icon set goes along in the image manager's own format.
    EXPECT_TRUE(::IsClipboardFormatAvailable(CXTPImageManager::GetClipboardFormat()));
    ::CloseClipboard();
    // The icon as drawn on the button face.
    CXTPImageManagerIcon* pIcon = m_pBars->GetImageManager()->GetImage(ID_CS_OPEN, 16);
    ASSERT_NE(nullptr, pIcon);
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hExpected = ::CreateCompatibleBitmap(hScreen, 16, 16);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = ::SelectObject(hDC, hExpected);
    RECT rc = {0, 0, 16, 16};
    ::FillRect(hDC, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawStateW(hDC, NULL, NULL, reinterpret_cast<LPARAM>(pIcon->GetImage().GetIcon()), 0, 0, 0, 16, 16,
                 DST_ICON | DSS_NORMAL);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    ::ReleaseDC(NULL, hScreen);
    EXPECT_EQ(Pixels(hExpected, 16, 16), copied);
    ::DeleteObject(hExpected);
    // The middle of the icon is its red square (pixels read as 0x00RRGGBB).
    EXPECT_EQ(0xC81E1Eu, copied[8 * 16 + 8] & 0xFFFFFF);

    // Pasted on the second button it becomes that button's own image.
    Select(Control(1));
    EXPECT_TRUE(StateOf(XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE).bEnabled);
    ASSERT_TRUE(m_pSheet->PasteButtonImage());
    const int nCustom = Control(1)->GetCustomIconId();
    ASSERT_NE(0, nCustom);
    EXPECT_NE(nullptr, Control(1)->GetImage(16));
    EXPECT_TRUE(StateOf(XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE).bEnabled);
    // The button draws it: its face shows the red square (the sheet moved off the bar).
    m_pSheet->SetWindowPos(NULL, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pFrame->m_pToolBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    Pump();
    const CRect rcButton = Control(1)->GetRect();
    HDC hBar = ::GetDC(m_pFrame->m_pToolBar->GetSafeHwnd());
    int nRed = 0;
    for (int y = rcButton.top; y < rcButton.bottom; ++y)
        for (int x = rcButton.left; x < rcButton.right; ++x)
            nRed += ::GetPixel(hBar, x, y) == RGB(200, 30, 30) ? 1 : 0;
    ::ReleaseDC(m_pFrame->m_pToolBar->GetSafeHwnd(), hBar);
    EXPECT_EQ(100, nRed);
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pFrame->GetSafeHwnd(), L"customize_pasted_image"));

    // Crafted clipboards: a picture of the wrong size, a 24-bit one that claims alpha, a short
    // private block. None changes the button.
    struct Crafted
    {
        const char* pszName;
        int nWidth;
        int nBits;
        bool bAlphaMarker;
        bool bShortPrivate;
    };
    for (const Crafted& c :
         {Crafted{"wide", 20, 24, false, false}, Crafted{"claims alpha", 16, 24, true, false},
          Crafted{"short private block", 16, 24, false, true}}) {
        SCOPED_TRACE(c.pszName);
        Control(2)->SetCustomIconId(0);
        Select(Control(0));
        Control(0)->SetCustomIconId(0);
        ASSERT_TRUE(::OpenClipboard(NULL));
        ::EmptyClipboard();
        if (!c.bShortPrivate) {
            HBITMAP hBitmap = ::CreateBitmap(c.nWidth, 16, 1, static_cast<UINT>(c.nBits), NULL);
            ::SetClipboardData(CF_BITMAP, hBitmap);
        }
        if (c.bAlphaMarker || c.bShortPrivate) {
            HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE, 2);
            memset(::GlobalLock(hData), 0x7F, 2);
            ::GlobalUnlock(hData);
            ::SetClipboardData(c.bShortPrivate ? CXTPImageManager::GetClipboardFormat()
                                               : CXTPImageManager::GetAlphaClipboardFormat(),
                               hData);
        }
        ::CloseClipboard();
        EXPECT_FALSE(m_pSheet->PasteButtonImage());
        EXPECT_EQ(0, Control(0)->GetCustomIconId());
    }
}

TEST_F(CustomizeSheet, TenStockImagesMakeAPopupSeventyFivePixelsWideAndOneBecomesTheButtons)
{
    EXPECT_EQ(10, m_pSheet->GetStockImageCount());
    CXTPCustomizeImagesPopup* pPopup = m_pSheet->GetStockImagesPopup();
    ASSERT_NE(nullptr, pPopup);
    EXPECT_EQ(10, pPopup->GetControlCount());
    EXPECT_EQ(75, pPopup->CalcDynamicLayout(0, 0).cx);
    Select(Control(1));
    m_pSheet->RunCommand(XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE, pPopup->GetControl(3));
    const int nCustom = Control(1)->GetCustomIconId();
    ASSERT_NE(0, nCustom);
    EXPECT_NE(nullptr, m_pBars->GetImageManager()->GetImage(static_cast<UINT>(nCustom), 16));
}

TEST_F(CustomizeSheet, TheNameFieldRenamesTheControlAndOtherIdsGoToTheFrame)
{
    OpenSheet();
    Select(Control(1));
    CXTPCustomizeNameEdit* pName = m_pSheet->GetNameEdit();
    ASSERT_NE(nullptr, pName);
    pName->SetEditText(L"Store");
    pName->NotifyExecute(XTP_CN_EXECUTE);
    EXPECT_EQ(CString(L"Store"), Control(1)->GetCaption());
    // Delete takes the control off its bar and out of the selection.
    const int nCount = m_pFrame->m_pToolBar->GetControlCount();
    m_pSheet->RunCommand(XTP_ID_CUSTOMIZE_DELETE);
    EXPECT_EQ(nCount - 1, m_pFrame->m_pToolBar->GetControlCount());
    EXPECT_EQ(nullptr, m_pBars->GetDragControl());
}

TEST_F(CustomizeSheet, TheNameFieldsLabelTakesItsSetWidthPlusTenAndTenWithoutALabel)
{
    // The sheet's own field is labelled "Name:" at the width of that text.
    CXTPCustomizeNameEdit* pSheetName = m_pSheet->GetNameEdit();
    ASSERT_NE(nullptr, pSheetName);
    EXPECT_GT(pSheetName->GetLabelTextWidth(), 0);
    EXPECT_EQ(pSheetName->GetLabelTextWidth() + 10, pSheetName->GetOwnLabelWidth());

    // The rule on a real bar: the label width and where the field's window stands.
    struct Case
    {
        const char* pszName;
        const wchar_t* pszCaption;
        BOOL bShowLabel;
        int nExpected;
    };
    CXTPToolBar* pBar = m_pFrame->m_pToolBar;
    for (const Case& c : {Case{"labelled", L"&Name:", TRUE, 50},
                          Case{"label not shown", L"&Name:", FALSE, 10}, Case{"no caption", L"", TRUE, 10}}) {
        SCOPED_TRACE(c.pszName);
        auto* pName =
            static_cast<CXTPCustomizeNameEdit*>(RUNTIME_CLASS(CXTPCustomizeNameEdit)->CreateObject());
        pBar->GetControls()->AddControl(pName, ID_CS_FIND + 2);
        pName->SetCaption(c.pszCaption);
        pName->ShowLabel(c.bShowLabel);
        pName->SetLabelTextWidth(40);
        pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        m_pFrame->RecalcLayout();
        Pump();
        EXPECT_EQ(c.nExpected, pName->GetLabelWidth());
        ASSERT_NE(nullptr, pName->GetEditCtrl());
        CRect rcEdit;
        pName->GetEditCtrl()->GetWindowRect(&rcEdit);
        pBar->ScreenToClient(&rcEdit);
        EXPECT_EQ(pName->GetRect().left + c.nExpected + 4, rcEdit.left);
        // A new width lays the field out again, its window moved after the label.
        pName->SetLabelTextWidth(60);
        pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        Pump();
        const int nMoved = c.nExpected == 10 ? 10 : 70;
        EXPECT_EQ(nMoved, pName->GetLabelWidth());
        pName->GetEditCtrl()->GetWindowRect(&rcEdit);
        pBar->ScreenToClient(&rcEdit);
        EXPECT_EQ(pName->GetRect().left + nMoved + 4, rcEdit.left);
        pBar->GetControls()->Remove(pName);
    }
}

TEST_F(CustomizeSheet, AnEditedButtonImageBecomesTheControlsOwn)
{
    OpenSheet();
    Select(Control(0));
    Script script({[] {},
                   [] {
                       if (HWND hEditor = ::FindWindowW(NULL, L"Button Editor"))
                           ::SendMessageW(hEditor, WM_COMMAND, IDOK, 0);
                   }});
    m_pSheet->RunCommand(XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE);
    const int nCustom = Control(0)->GetCustomIconId();
    ASSERT_NE(0, nCustom);
    CXTPImageManagerIcon* pEdited = m_pBars->GetImageManager()->GetImage(static_cast<UINT>(nCustom), 16);
    ASSERT_NE(nullptr, pEdited);
    // Editing it again keeps its id.
    Script again({[] {},
                  [] {
                      if (HWND hEditor = ::FindWindowW(NULL, L"Button Editor"))
                          ::SendMessageW(hEditor, WM_COMMAND, IDOK, 0);
                  }});
    m_pSheet->RunCommand(XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE);
    EXPECT_EQ(nCustom, Control(0)->GetCustomIconId());
}

TEST_F(CustomizeSheet, CommandsOfOtherIdsGoOnToTheFrame)
{
    OpenSheet();
    CXTPControl item;
    item.SetID(static_cast<int>(ID_CS_SAVE));
    item.SetSite(m_pSheet);
    item.NotifyExecute(XTP_CN_EXECUTE);
    EXPECT_EQ(std::vector<UINT>{ID_CS_SAVE}, m_pFrame->m_commands);
}

TEST_F(CustomizeSheet, TheSheetHoldsTheBarsInCustomiseModeAndARightClickOpensItsMenu)
{
    OpenSheet();
    EXPECT_TRUE(m_pBars->IsCustomizeMode());
    EXPECT_EQ(m_pSheet, m_pBars->GetCustomizeSheet());
    // The frame refuses to close meanwhile.
    m_pFrame->SendMessage(WM_CLOSE);
    EXPECT_TRUE(::IsWindow(m_pFrame->GetSafeHwnd()));
    // A right click on a control selects it and opens the context menu; Escape closes it.
    const CRect rcControl = Control(1)->GetRect();
    bool bShot = false;
    int nShownLabelWidth = -1;
    Script script({[] {},
                   [&] {
                       bShot = ScreenshotOfShownPopup(L"customize_control_context_menu");
                       nShownLabelWidth = m_pSheet->GetNameEdit()->GetLabelWidth();
                   },
                   [] { popup_test::HookKey(VK_ESCAPE); }});
    m_pFrame->m_pToolBar->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON,
                                      MAKELPARAM(rcControl.CenterPoint().x, rcControl.CenterPoint().y));
    EXPECT_EQ(Control(1), m_pBars->GetDragControl());
    EXPECT_TRUE(bShot);
    // The shown name field keeps its label: the text's width and 10 pixels.
    EXPECT_EQ(m_pSheet->GetNameEdit()->GetLabelTextWidth() + 10, nShownLabelWidth);
    m_pSheet->DestroyWindow();
    Pump();
    EXPECT_FALSE(m_pBars->IsCustomizeMode());
    EXPECT_EQ(nullptr, m_pBars->GetCustomizeSheet());
}

TEST_F(CustomizeSheet, WithTheSheetOpenAPopupWithoutCommandAnswersAsAMenuAndItsPressOpensIt)
{
    auto* pTools =
        static_cast<CXTPControlPopup*>(m_pFrame->m_pToolBar->GetControls()->Add(xtpControlPopup, 0));
    pTools->SetCaption(L"&Tools");
    CXTPPopupBar* pSubmenu = CXTPPopupBar::CreatePopupBar(m_pBars);
    pSubmenu->GetControls()->Add(xtpControlButton, ID_CS_SAVE)->SetCaption(L"&Save");
    pTools->SetCommandBar(pSubmenu);
    pSubmenu->InternalRelease();
    m_pFrame->RecalcLayout();
    Pump();
    CXTPToolBar* pBar = m_pFrame->m_pToolBar;
    auto screenCentre = [pBar](CXTPControl* pControl) {
        CPoint point = pControl->GetRect().CenterPoint();
        pBar->ClientToScreen(&point);
        return point;
    };
    auto hitTest = [&](CXTPControl* pControl) {
        const CPoint point = screenCentre(pControl);
        return pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    };
    EXPECT_EQ(HTCLIENT, hitTest(pTools));

    OpenSheet();
    EXPECT_EQ(HTMENU, hitTest(pTools));
    EXPECT_EQ(HTCLIENT, hitTest(Control(0)));
    // The press the menu code brings is the bar's own: in customise mode the popup opens, ready to
    // take a dropped control.
    const CPoint ptTools = screenCentre(pTools);
    pBar->SendMessage(WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(ptTools.x, ptTools.y));
    EXPECT_EQ(pTools->GetIndex(), pBar->GetPopupedIndex());
    EXPECT_TRUE(pTools->GetPopuped());
    m_pBars->ClosePopups();
}

TEST_F(CustomizeSheet, KeyboardCuesComeBackAsTheOptionsSayWhenTheSheetCloses)
{
    struct Case
    {
        const char* name;
        BOOL bFollowKeyboard;
        BOOL bShownBefore;
    };
    const Case cases[] = {{"cues always drawn", FALSE, TRUE}, {"cues following the keyboard", TRUE, FALSE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pBars->SetKeyboardCuesOption(c.bFollowKeyboard, c.bShownBefore);
        OpenSheet();
        EXPECT_TRUE(m_pBars->IsKeyboardCuesShown());
        m_pSheet->DestroyWindow();
        Pump();
        EXPECT_FALSE(m_pBars->IsCustomizeMode());
        EXPECT_EQ(c.bShownBefore, m_pBars->IsKeyboardCuesShown());
        EXPECT_EQ(c.bShownBefore, m_pFrame->m_pToolBar->IsKeyboardCuesVisible());
        delete m_pSheet;
        m_pSheet = new CXTPCustomizeSheet(m_pBars);
    }
    // The stored option sets the same state: "KeyboardCuesShow" 0 draws them always.
    m_pBars->GetCommandBarsOptions()->SetKeyboardCuesShow(0);
    EXPECT_TRUE(m_pBars->IsKeyboardCuesShown());
    m_pBars->SetCustomizeMode(TRUE);
    m_pBars->SetCustomizeMode(FALSE);
    EXPECT_TRUE(m_pBars->IsKeyboardCuesShown());
    m_pBars->GetCommandBarsOptions()->SetKeyboardCuesShow(1);
    EXPECT_FALSE(m_pBars->IsKeyboardCuesShown());
}

// The toolbars page with the sheet open; the new-toolbar dialog is answered from a timer.
class ToolbarsPage : public CustomizeSheet
{
protected:
    void SetUp() override
    {
        CustomizeSheet::SetUp();
        OpenSheet();
        m_pPage = &m_pSheet->m_pageToolbars;
        ASSERT_TRUE(::IsWindow(m_pPage->GetSafeHwnd()));
    }
    CXTPToolBar* AddCustom(LPCTSTR lpszTitle, UINT nId)
    {
        CXTPToolBar* pToolBar = m_pBars->Add(lpszTitle, xtpBarTop);
        pToolBar->SetBarID(nId);
        pToolBar->m_bBuiltIn = FALSE;
        return pToolBar;
    }
    // Runs New or Rename with the name typed into the dialog (null keeps the proposal); the
    // dialog's proposal is returned. A screenshot of New's dialog goes into the build folder.
    CString RunNameDialog(bool bRename, const wchar_t* pszName)
    {
        const wchar_t* pszTitle = bRename ? L"Rename Toolbar" : L"New Toolbar";
        CString strProposed;
        Script script({[] {},
                       [&] {
                           HWND hDialog = ::FindWindowW(NULL, pszTitle);
                           if (hDialog == NULL)
                               return;
                           wchar_t szText[64] = {0};
                           ::GetDlgItemTextW(hDialog, XTP_IDC_EDIT_TOOLBARNAME, szText, 64);
                           strProposed = szText;
                           if (!bRename)
                               test_support::WriteFramedWindowScreenshot(hDialog,
                                                                         L"customize_new_toolbar_dialog");
                           if (pszName != NULL)
                               ::SetDlgItemTextW(hDialog, XTP_IDC_EDIT_TOOLBARNAME, pszName);
                           ::SendMessageW(hDialog, WM_COMMAND, IDOK, 0);
                       },
                       [&] {
                           // A refused name leaves the dialog open: cancel it.
                           if (HWND hDialog = ::FindWindowW(NULL, pszTitle))
                               ::SendMessageW(hDialog, WM_COMMAND, IDCANCEL, 0);
                       }});
        if (bRename)
            m_pPage->OnRename();
        else
            m_pPage->OnNew();
        return strProposed;
    }
    CString RunNew(const wchar_t* pszName) { return RunNameDialog(false, pszName); }
    int FindInList(LPCTSTR lpszTitle) { return m_pPage->GetList().FindStringExact(-1, lpszTitle); }
    CXTPCustomizeToolbarsPage* m_pPage = NULL;
};

TEST_F(ToolbarsPage, NewProposesTheNextCustomNameAndRefusesBlankAndDuplicateNames)
{
    AddCustom(L"Custom 1", 0xE800);
    AddCustom(L"Custom 2", 0xE801);
    m_pPage->RefreshList();
    const int nBars = m_pBars->GetCount();
    EXPECT_EQ(CString(L"Custom 3"), RunNew(NULL));
    ASSERT_EQ(nBars + 1, m_pBars->GetCount());
    CXTPCommandBar* pNew = m_pBars->GetAt(nBars);
    EXPECT_EQ(CString(L"Custom 3"), pNew->GetTitle());
    EXPECT_EQ(0xE802u, pNew->GetBarID());
    EXPECT_NE(LB_ERR, FindInList(L"Custom 3"));
    EXPECT_TRUE(theApp.m_messageBoxes.empty());

    RunNew(L"");
    ASSERT_EQ(1u, theApp.m_messageBoxes.size());
    EXPECT_EQ(std::wstring(L"The toolbar name cannot be blank. Type a name."), theApp.m_messageBoxes[0]);
    RunNew(L"Custom 1");
    ASSERT_EQ(2u, theApp.m_messageBoxes.size());
    EXPECT_EQ(std::wstring(L"A toolbar named 'Custom 1' already exists. Type another name."),
              theApp.m_messageBoxes[1]);
    EXPECT_EQ(nBars + 1, m_pBars->GetCount());
}

TEST_F(ToolbarsPage, RenameAcceptsTheBarsOwnTitleAndRefusesAnotherBarsExactTitle)
{
    CXTPToolBar* pMine = AddCustom(L"Mine", 0xE800);
    AddCustom(L"Other", 0xE801);
    m_pPage->RefreshList();
    struct Case
    {
        const char* pszName;
        const wchar_t* pszTyped;
        const wchar_t* pszTitleAfter;
        const wchar_t* pszMessage;
    };
    for (const Case& c : {Case{"its own title", L"Mine", L"Mine", NULL},
                          Case{"another bar's title", L"Other", L"Mine",
                               L"A toolbar named 'Other' already exists. Type another name."},
                          Case{"another case is another name", L"OTHER", L"OTHER", NULL}}) {
        SCOPED_TRACE(c.pszName);
        theApp.m_messageBoxes.clear();
        const int nItem = FindInList(pMine->GetTitle());
        ASSERT_NE(LB_ERR, nItem);
        m_pPage->GetList().SetCurSel(nItem);
        m_pPage->UpdateButtons();
        // The dialog proposes the present title.
        const CString strBefore = pMine->GetTitle();
        EXPECT_EQ(strBefore, RunNameDialog(true, c.pszTyped));
        EXPECT_EQ(CString(c.pszTitleAfter), pMine->GetTitle());
        EXPECT_NE(LB_ERR, FindInList(c.pszTitleAfter));
        if (c.pszMessage == NULL) {
            EXPECT_TRUE(theApp.m_messageBoxes.empty());
        } else {
            ASSERT_EQ(1u, theApp.m_messageBoxes.size());
            EXPECT_EQ(std::wstring(c.pszMessage), theApp.m_messageBoxes[0]);
        }
    }
}

TEST_F(ToolbarsPage, WithEveryIdTakenNewReportsTheLimitAndCreatesNothing)
{
    for (UINT nId = 0xE800; nId <= 0xE8FE; ++nId) {
        CString strTitle;
        strTitle.Format(L"Bar %u", nId);
        AddCustom(strTitle, nId);
    }
    const int nBars = m_pBars->GetCount();
    RunNew(L"One more");
    ASSERT_EQ(1u, theApp.m_messageBoxes.size());
    EXPECT_EQ(std::wstring(L"Sorry you have reached your limit."), theApp.m_messageBoxes[0]);
    EXPECT_EQ(nBars, m_pBars->GetCount());
}

TEST_F(ToolbarsPage, DeleteAsksAndRemovesAndABarThatMayNotBeHiddenStaysChecked)
{
    AddCustom(L"Mine", 0xE800);
    m_pPage->RefreshList();
    const int nItem = FindInList(L"Mine");
    ASSERT_NE(LB_ERR, nItem);
    m_pPage->GetList().SetCurSel(nItem);
    m_pPage->UpdateButtons();
    EXPECT_TRUE(m_pPage->GetDlgItem(XTP_IDC_BUTTON_DELETE)->IsWindowEnabled());
    EXPECT_FALSE(m_pPage->GetDlgItem(XTP_IDC_BUTTON_RESET)->IsWindowEnabled());
    theApp.m_nMessageBoxAnswer = IDOK;
    const int nBars = m_pBars->GetCount();
    m_pPage->OnDelete();
    ASSERT_EQ(1u, theApp.m_messageBoxes.size());
    EXPECT_EQ(std::wstring(L"Are you sure you want to delete the 'Mine' toolbar?"), theApp.m_messageBoxes[0]);
    EXPECT_EQ(nBars - 1, m_pBars->GetCount());
    EXPECT_EQ(LB_ERR, FindInList(L"Mine"));

    // The built-in toolbar may not be hidden: clearing its check sets it again.
    m_pFrame->m_pToolBar->m_bCloseable = FALSE;
    const int nStandard = FindInList(L"Standard");
    ASSERT_NE(LB_ERR, nStandard);
    m_pPage->GetList().SetCurSel(nStandard);
    m_pPage->GetList().SetCheck(nStandard, 0);
    m_pPage->OnCheckChange();
    EXPECT_TRUE(m_pFrame->m_pToolBar->IsVisible());
    EXPECT_EQ(1, m_pPage->GetList().GetCheck(FindInList(L"Standard")));
    // One that may be hidden follows its check.
    m_pFrame->m_pToolBar->m_bCloseable = TRUE;
    m_pPage->GetList().SetCurSel(FindInList(L"Standard"));
    m_pPage->GetList().SetCheck(FindInList(L"Standard"), 0);
    m_pPage->OnCheckChange();
    EXPECT_FALSE(m_pFrame->m_pToolBar->IsVisible());
}

TEST_F(CustomizeSheet, TheKeyboardPageAssignsMovesRemovesAndResetsShortcuts)
{
    CXTPShortcutManager* pShortcuts = m_pBars->GetShortcutManager();
    ASSERT_TRUE(pShortcuts->LoadAccelerators(IDR_CZ_ACCEL));
    // A category that also holds what the page never lists: no id, a popup, a recent file.
    std::vector<CXTPControl*> controls;
    for (int i = 0; i < 2; ++i)
        controls.push_back(Control(i));
    auto* pNoId = new CXTPControlButton;
    auto* pPopup = new CXTPControlPopup;
    pPopup->SetID(static_cast<int>(ID_CS_FIND + 5));
    auto* pRecent = new CXTPControlButton;
    pRecent->SetID(0xE112);
    controls.push_back(pNoId);
    controls.push_back(pPopup);
    controls.push_back(pRecent);
    m_pSheet->AddCategory(L"File", controls);
    for (CXTPControl* pControl : {static_cast<CXTPControl*>(pNoId), static_cast<CXTPControl*>(pPopup),
                                  static_cast<CXTPControl*>(pRecent)})
        pControl->InternalRelease();
    OpenSheet();
    m_pSheet->SetActivePage(&m_pSheet->m_pageKeyboard);
    Pump();
    CXTPCustomizeKeyboardPage& page = m_pSheet->m_pageKeyboard;
    ASSERT_TRUE(::IsWindow(page.GetSafeHwnd()));
    // The categories come from the bars; "File" lists Open and Save.
    ASSERT_EQ(0, page.GetCategories().FindStringExact(-1, L"File"));
    page.GetCategories().SetCurSel(0);
    page.OnCategoryChanged();
    ASSERT_EQ(2, page.GetCommands().GetCount());
    page.GetCommands().SetCurSel(0);
    page.OnCommandChanged();
    EXPECT_EQ(1, page.GetKeys().GetCount());

    // A free shortcut is appended.
    page.GetShortcutEntry().SendMessage(HKM_SETHOTKEY, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    page.OnAssign();
    std::vector<ACCEL> table = pShortcuts->GetAccelerators();
    ASSERT_EQ(3u, table.size());
    EXPECT_EQ(FVIRTKEY | FCONTROL | FSHIFT, table[2].fVirt & ~FNOINVERT);
    EXPECT_EQ('K', table[2].key);
    EXPECT_EQ(ID_CS_OPEN, table[2].cmd);
    EXPECT_EQ(2, page.GetKeys().GetCount());

    // A taken one moves only on Yes.
    page.GetShortcutEntry().SendMessage(HKM_SETHOTKEY, MAKEWORD('S', HOTKEYF_CONTROL));
    theApp.m_nMessageBoxAnswer = IDNO;
    page.OnAssign();
    ASSERT_EQ(1u, theApp.m_messageBoxes.size());
    EXPECT_EQ(std::wstring(L"This shortcut is currently assigned.\nDo you want to re-assign this shortcut?"),
              theApp.m_messageBoxes[0]);
    EXPECT_EQ(ID_CS_SAVE, pShortcuts->GetAccelerators()[1].cmd);
    theApp.m_nMessageBoxAnswer = IDYES;
    page.OnAssign();
    table = pShortcuts->GetAccelerators();
    ASSERT_EQ(3u, table.size());
    EXPECT_EQ(ID_CS_OPEN, table[1].cmd);

    // Remove puts the last record in the removed one's place.
    page.OnCommandChanged();
    ASSERT_EQ(3, page.GetKeys().GetCount());
    page.GetKeys().SetCurSel(0);
    page.OnRemove();
    table = pShortcuts->GetAccelerators();
    ASSERT_EQ(2u, table.size());
    EXPECT_EQ('K', table[0].key);
    EXPECT_EQ('S', table[1].key);

    // Reset All asks, and on Yes the table the shortcut manager started with comes back.
    theApp.m_messageBoxes.clear();
    page.OnResetAll();
    ASSERT_EQ(1u, theApp.m_messageBoxes.size());
    EXPECT_EQ(
        std::wstring(L"Are you sure you want to reset the key assignments?  This action will remove all "
                     L"custom key assignments at the text level."),
        theApp.m_messageBoxes[0]);
    table = pShortcuts->GetAccelerators();
    ASSERT_EQ(2u, table.size());
    EXPECT_EQ(ID_CS_OPEN, table[0].cmd);
    EXPECT_EQ(ID_CS_SAVE, table[1].cmd);

    // The modifiers of the hot-key field and of the table convert both ways.
    EXPECT_EQ(FVIRTKEY | FALT, CXTPCustomizeKeyboardPage::HotKeyToAccelFlags(HOTKEYF_ALT));
    EXPECT_EQ(HOTKEYF_SHIFT | HOTKEYF_CONTROL,
              CXTPCustomizeKeyboardPage::AccelFlagsToHotKey(FVIRTKEY | FSHIFT | FCONTROL | FNOINVERT));
}

TEST_F(CustomizeSheet, TheOptionsPageChangesTheOptionsAtOnce)
{
    CXTPCommandBarsOptions* pOptions = m_pBars->GetCommandBarsOptions();
    pOptions->bAlwaysShowFullMenus = TRUE;
    pOptions->bToolBarScreenTips = TRUE;
    pOptions->bLargeIcons = FALSE;
    pOptions->animationType = 0;
    OpenSheet();
    m_pSheet->SetWindowPos(NULL, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pSheet->SetActivePage(&m_pSheet->m_pageOptions);
    Pump();
    CXTPCustomizeOptionsPage& page = m_pSheet->m_pageOptions;
    ASSERT_TRUE(::IsWindow(page.GetSafeHwnd()));
    CWnd* pDelay = page.GetDlgItem(XTP_IDC_CHECK_AFTERDELAY);
    CWnd* pShortcutKeys = page.GetDlgItem(XTP_IDC_CHECK_SHORTCUTS);
    EXPECT_FALSE(pDelay->IsWindowEnabled());
    EXPECT_TRUE(pShortcutKeys->IsWindowEnabled());
    page.GetDlgItem(XTP_IDC_CHECK_FULL_MENUS)->SendMessage(BM_CLICK);
    EXPECT_FALSE(pOptions->bAlwaysShowFullMenus);
    EXPECT_TRUE(pDelay->IsWindowEnabled());
    page.GetDlgItem(XTP_IDC_CHECK_SCREENTTIPS)->SendMessage(BM_CLICK);
    EXPECT_FALSE(pOptions->bToolBarScreenTips);
    EXPECT_FALSE(pShortcutKeys->IsWindowEnabled());
    page.GetDlgItem(XTP_IDC_CHECK_LARGEICONS)->SendMessage(BM_CLICK);
    EXPECT_TRUE(pOptions->bLargeIcons);
    CComboBox* pAnimation = static_cast<CComboBox*>(page.GetDlgItem(XTP_IDC_COMBO_ANIMATION));
    EXPECT_EQ(6, pAnimation->GetCount());
    pAnimation->SetCurSel(4);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(XTP_IDC_COMBO_ANIMATION, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(pAnimation->GetSafeHwnd()));
    EXPECT_EQ(4, pOptions->animationType);
    // Resetting the usage data asks first.
    theApp.m_nMessageBoxAnswer = IDNO;
    page.GetDlgItem(XTP_IDC_BUTTON_RESETDATA)->SendMessage(BM_CLICK);
    EXPECT_EQ(1u, theApp.m_messageBoxes.size());
}

TEST_F(CustomizeSheet, ACommandDraggedFromTheCommandsPageLandsOnTheToolbar)
{
    OpenSheet();
    m_pSheet->SetWindowPos(NULL, 100, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    m_pSheet->SetActivePage(&m_pSheet->m_pageCommands);
    Pump();
    CXTPCustomizeCommandsListBox& list = m_pSheet->m_pageCommands.GetCommands();
    ASSERT_EQ(2, list.GetCount());
    // The drag holds the frame's mouse: the moves and the release wait in its queue.
    CRect rcBar;
    m_pFrame->m_pToolBar->GetWindowRect(&rcBar);
    CPoint ptDrop(rcBar.right - 4, rcBar.CenterPoint().y);
    m_pFrame->ScreenToClient(&ptDrop);
    const int nBefore = m_pFrame->m_pToolBar->GetControlCount();
    m_pFrame->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptDrop.x, ptDrop.y));
    m_pFrame->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptDrop.x, ptDrop.y));
    m_pFrame->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(ptDrop.x, ptDrop.y));
    CRect rcItem;
    list.GetItemRect(1, &rcItem);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rcItem.left + 30, rcItem.CenterPoint().y));
    Pump();
    EXPECT_EQ(1, list.GetCurSel());
    ASSERT_EQ(nBefore + 1, m_pFrame->m_pToolBar->GetControlCount());
    int nSave = 0;
    for (int i = 0; i < m_pFrame->m_pToolBar->GetControlCount(); ++i)
        nSave += Control(i)->GetID() == static_cast<int>(ID_CS_SAVE) ? 1 : 0;
    EXPECT_EQ(2, nSave);
}

TEST_F(CustomizeSheet, EachPageLeavesAScreenshot)
{
    OpenSheet();
    m_pSheet->SetWindowPos(&CWnd::wndTop, 120, 120, 0, 0, SWP_NOSIZE);
    const wchar_t* names[] = {L"customize_sheet_toolbars", L"customize_sheet_commands",
                              L"customize_sheet_keyboard", L"customize_sheet_options"};
    for (int i = 0; i < 4; ++i) {
        m_pSheet->SetActivePage(i);
        m_pSheet->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
        Pump();
        EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(m_pSheet->GetSafeHwnd(), names[i]));
    }
    // The commands page lists the bars' categories and the commands of the first.
    CXTPCustomizeCommandsPage& commands = m_pSheet->m_pageCommands;
    EXPECT_EQ(2, commands.GetCategories().GetCount());
    EXPECT_EQ(2, commands.GetCommands().GetCount());
}

} // namespace
