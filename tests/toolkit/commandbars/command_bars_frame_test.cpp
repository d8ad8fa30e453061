// The command bars on real frames: the bars built in the program's order on the frame base, a click
// on a toolbar button, a narrowed frame, Alt and access keys, the arrow keys of a tracking bar, Ctrl+Tab
// between toolbars, a toolbar among a dialog's controls, the idle command-state update, and the
// maximised MDI child's buttons on the menu bar.
#include "bars_frame_fixture.h"
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "control_combo_box.h"
#include "control_edit.h"
#include "frame_wnd.h"
#include "hook_managers.h"
#include "image_manager.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <afxpriv.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

using commandbars_test::AttachBarsWithMenuBar;
using commandbars_test::HeldKeys;
using commandbars_test::MdiBarsFrame;
using commandbars_test::PumpMessages;

struct Executed
{
    UINT nMessage;
    WPARAM wParam;
    UINT_PTR idFrom;
    UINT nCode;
    CXTPControl* pControl;
};

class CommandBarsFrame : public CXTPFrameWnd
{
public:
    std::vector<Executed> m_executed;
    BOOL m_bAnswerExecuted = FALSE;
    // What the New command does besides: a dialog's modal loop, say, that paints the bars meanwhile.
    std::function<void()> m_onNew;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == XTP_WM_CONTROL_EXECUTED) {
            const auto* pNotify = reinterpret_cast<const NMXTPCONTROL*>(lParam);
            m_executed.push_back(
                {message, wParam, pNotify->hdr.idFrom, pNotify->hdr.code, pNotify->pControl});
            if (m_bAnswerExecuted) {
                *pResult = 1;
                return TRUE;
            }
        }
        if (message == WM_COMMAND && lParam == 0 && HIWORD(wParam) == 0 && LOWORD(wParam) >= ID_CB_NEW &&
            LOWORD(wParam) <= ID_CB_STORE)
            m_executed.push_back({message, wParam, 0, 0, NULL});
        return CXTPFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        // The program's order.
        if (AttachBarsWithMenuBar(this, m_pCommandBars, IDR_CB_FRAME) == NULL)
            return -1;
        CXTPToolBar* pToolBar = m_pCommandBars->Add(L"Standard", xtpBarTop);
        if (pToolBar == NULL)
            return -1;
        pToolBar->ModifyFlags(0, 0x1F);
        pToolBar->SetShowTextBelowIcons(1);
        if (!pToolBar->LoadToolBar(IDR_CB_FRAME))
            return -1;
        return 0;
    }
    afx_msg void OnNew()
    {
        if (m_onNew)
            m_onNew();
    }
    afx_msg void OnOpen() {}
    afx_msg void OnSave() {}
    afx_msg void OnSend() {}
    afx_msg void OnStore() {}
    afx_msg void OnUpdateOpen(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CommandBarsFrame, CXTPFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_CB_NEW, OnNew)
    ON_COMMAND(ID_CB_OPEN, OnOpen)
    ON_COMMAND(ID_CB_SAVE, OnSave)
    ON_COMMAND(ID_CB_SEND, OnSend)
    ON_COMMAND(ID_CB_STORE, OnStore)
    ON_UPDATE_COMMAND_UI(ID_CB_OPEN, OnUpdateOpen)
END_MESSAGE_MAP()
// clang-format on

class FrameOfBars : public commandbars_test::BarsFrameFixture<CommandBarsFrame>
{
protected:
    void SetUp() override
    {
        m_pFrame = new CommandBarsFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_CB_FRAME, WS_OVERLAPPEDWINDOW));
        m_pFrame->SetWindowPos(&CWnd::wndTop, 40, 40, 520, 260, SWP_SHOWWINDOW);
        m_pFrame->SetForegroundWindow();
        m_pFrame->SetActiveWindow();
        m_pFrame->RecalcLayout();
        PumpMessages();
        TakeBars();
    }
    void TearDown() override
    {
        m_pBars->ClosePopups();
        m_pFrame->DestroyWindow();
        PumpMessages();
    }
    CXTPControl* ToolBarButton(int nId) const { return m_pToolBar->GetControls()->FindControl(nId); }
    // A press posted to the toolbar at one point and a release at another.
    void Click(CPoint ptDown, CPoint ptUp)
    {
        m_pFrame->m_executed.clear();
        m_pToolBar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptDown.x, ptDown.y));
        m_pToolBar->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(ptUp.x, ptUp.y));
        PumpMessages();
    }
    MSG KeyMessage(UINT message, UINT nKey, LPARAM lParam)
    {
        MSG msg{};
        msg.hwnd = m_pFrame->GetSafeHwnd();
        msg.message = message;
        msg.wParam = nKey;
        msg.lParam = lParam;
        return msg;
    }
};

TEST_F(FrameOfBars, BarsAreBuiltInTheProgramsOrderAndLaidOutInRows)
{
    EXPECT_EQ(nullptr, ::GetMenu(m_pFrame->GetSafeHwnd()));
    // Idle time does not put the window menu back under the menu bar.
    m_pFrame->m_nIdleFlags |= CFrameWnd::idleMenu;
    m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(nullptr, ::GetMenu(m_pFrame->GetSafeHwnd()));
    CMenu documentMenu;
    ASSERT_TRUE(documentMenu.LoadMenu(IDR_CB_ITEMS));
    m_pFrame->OnUpdateFrameMenu(documentMenu.GetSafeHmenu());
    EXPECT_EQ(nullptr, ::GetMenu(m_pFrame->GetSafeHwnd()));

    struct Dock
    {
        UINT nID;
        DWORD dwStyle;
    };
    const Dock docks[] = {{59419, 0x2800}, {59422, 0x8200}, {59420, 0x1400}, {59421, 0x4100}};
    for (const Dock& dock : docks) {
        CWnd* pDock = m_pFrame->GetDlgItem(static_cast<int>(dock.nID));
        ASSERT_NE(nullptr, pDock) << dock.nID;
        const DWORD dwStyle = pDock->GetStyle();
        EXPECT_EQ(dock.dwStyle, dwStyle & 0xFFFF) << dock.nID;
        EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
                  dwStyle & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN))
            << dock.nID;
    }

    CXTPDockBar* pTop = m_pBars->GetDockBar(xtpBarTop);
    const std::vector<CXTPToolBar*> expectedRows = {nullptr, m_pMenuBar, nullptr, m_pToolBar, nullptr};
    EXPECT_EQ(expectedRows, pTop->GetBars());
    CRect rcMenu, rcTool, rcDock;
    m_pMenuBar->GetWindowRect(&rcMenu);
    m_pToolBar->GetWindowRect(&rcTool);
    pTop->GetWindowRect(&rcDock);
    EXPECT_EQ(rcDock.Width(), rcMenu.Width());
    EXPECT_LE(rcMenu.bottom, rcTool.top);
    EXPECT_EQ(rcDock.top, rcMenu.top);
    EXPECT_EQ(xtpBarTop, m_pMenuBar->GetPosition());
    EXPECT_EQ(0x41u, m_pMenuBar->GetFlags());
    EXPECT_EQ(0x20u, m_pToolBar->GetFlags());
    EXPECT_EQ(5, m_pMenuBar->GetControlCount());

    // Text below the 32 x 32 icons of the 32 x 32 buttons, under the icon's margins.
    EXPECT_EQ(CSize(32, 32), m_pToolBar->GetButtonSize());
    EXPECT_EQ(CSize(32, 32), m_pToolBar->GetIconSize());
    CXTPControl* pNew = ToolBarButton(ID_CB_NEW);
    ASSERT_NE(nullptr, pNew);
    EXPECT_GE(pNew->GetRect().Height(), 32 + 7 + 10);
    EXPECT_TRUE(pNew->IsVisible());

    m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    m_pToolBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    PumpMessages();
    m_pFrame->RedrawWindow(NULL, NULL,
                           RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (CWnd* pBar : {static_cast<CWnd*>(m_pMenuBar), static_cast<CWnd*>(m_pToolBar)})
        pBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    CRect rcFrame;
    m_pFrame->GetWindowRect(&rcFrame);
    HDC hScreen = ::GetDC(NULL);
    EXPECT_TRUE(test_support::WriteDcScreenshot(hScreen, rcFrame, L"command_bars_frame"));
    ::ReleaseDC(NULL, hScreen);
}

// A menu bar's captions stand evenly: each rectangle is its caption's measured width and 8 pixels, the
// rectangles follow each other, and each caption's ink fills the width it was measured with, so the gaps
// between the captions differ by no more than a glyph's side bearings.
TEST_F(FrameOfBars, TheMenuBarsCaptionsStandEvenly)
{
    const wchar_t* captions[] = {L"Recovery", L"View", L"Tools", L"Help"};
    CMenu menu;
    ASSERT_TRUE(menu.CreateMenu());
    for (const wchar_t* caption : captions) {
        CMenu popup;
        ASSERT_TRUE(popup.CreatePopupMenu());
        popup.AppendMenu(MF_STRING, ID_CB_NEW, L"New");
        menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), caption);
    }
    ASSERT_TRUE(m_pMenuBar->LoadMenu(&menu, TRUE));
    m_pFrame->RecalcLayout();
    PumpMessages();
    m_pMenuBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);

    CRect client;
    m_pMenuBar->GetClientRect(&client);
    CClientDC dc(m_pMenuBar);
    const std::vector<std::uint32_t> pixels = test_support::CaptureDc(dc.GetSafeHdc(), client);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(client.Width() * client.Height()));
    CFont* pOldFont = dc.SelectObject(m_pMenuBar->GetPaintManager()->GetControlFont(m_pMenuBar, FALSE));
    std::vector<int> inkLeft, inkRight;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(captions[i])));
        CXTPControl* pControl = m_pMenuBar->GetControl(i);
        ASSERT_EQ(CString(captions[i]), pControl->GetCaption());
        const CRect rect = pControl->GetRect();
        EXPECT_EQ(dc.GetTextExtent(captions[i]).cx + 8, rect.Width());
        if (i > 0)
            EXPECT_EQ(m_pMenuBar->GetControl(i - 1)->GetRect().right, rect.left);
        int left = rect.right, right = -1;
        for (int x = rect.left; x < rect.right; ++x)
            for (int y = rect.top; y < rect.bottom; ++y)
                if (((pixels[static_cast<size_t>(y * client.Width() + x)] >> 8) & 0xFF) < 0x60) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_LE(left, right);
        inkLeft.push_back(left);
        inkRight.push_back(right);
    }
    dc.SelectObject(pOldFont);
    std::vector<int> gaps;
    for (size_t i = 1; i < inkLeft.size(); ++i)
        gaps.push_back(inkLeft[i] - inkRight[i - 1] - 1);
    EXPECT_LE(*std::max_element(gaps.begin(), gaps.end()) - *std::min_element(gaps.begin(), gaps.end()), 2)
        << ::testing::PrintToString(gaps);
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pMenuBar->GetSafeHwnd(), L"menu_bar_captions"));
}

TEST_F(FrameOfBars, ADockBarPrintsItselfAndItsBars)
{
    CXTPDockBar* pTop = m_pBars->GetDockBar(xtpBarTop);
    CRect rcDock, rcTool;
    pTop->GetClientRect(&rcDock);
    m_pToolBar->GetWindowRect(&rcTool);
    pTop->ScreenToClient(&rcTool);
    CXTPControl* pSave = ToolBarButton(ID_CB_SAVE);
    ASSERT_TRUE(pSave->GetBeginGroup());
    // The group separator before "Save", drawn by the toolbar: the default theme's etched line starts
    // with the shadow colour.
    const CPoint ptSeparator(rcTool.left + pSave->GetRect().left - 4,
                             rcTool.top + pSave->GetRect().CenterPoint().y);
    const COLORREF clrSeparator = m_pBars->GetPaintManager()->GetColor(COLOR_3DSHADOW);
    for (UINT nMessage : {UINT(WM_PRINT), UINT(WM_PRINTCLIENT)}) {
        PixelSurface surface(rcDock.Width(), rcDock.Height(), RGB(1, 2, 3));
        pTop->SendMessage(nMessage, reinterpret_cast<WPARAM>(surface.dc()->m_hDC), PRF_CLIENT | PRF_CHILDREN);
        if (nMessage == WM_PRINT) {
            EXPECT_EQ(clrSeparator, surface.Pixel(ptSeparator.x, ptSeparator.y));
            EXPECT_EQ(m_pBars->GetPaintManager()->GetColor(COLOR_3DFACE),
                      surface.Pixel(rcDock.right - 2, rcTool.bottom - 2));
        }
        // A bar prints itself by either message.
        PixelSurface bar(rcTool.Width(), rcTool.Height(), RGB(1, 2, 3));
        m_pToolBar->SendMessage(nMessage, reinterpret_cast<WPARAM>(bar.dc()->m_hDC), PRF_CLIENT);
        EXPECT_EQ(clrSeparator, bar.Pixel(pSave->GetRect().left - 4, pSave->GetRect().CenterPoint().y))
            << nMessage;
    }
}

TEST_F(FrameOfBars, AClickExecutesThroughTheFrameThenAsACommand)
{
    CXTPControl* pNew = ToolBarButton(ID_CB_NEW);
    ASSERT_NE(nullptr, pNew);
    const CPoint ptInside = pNew->GetRect().CenterPoint();
    Click(ptInside, ptInside);
    ASSERT_EQ(2u, m_pFrame->m_executed.size());
    EXPECT_EQ(static_cast<UINT>(XTP_WM_CONTROL_EXECUTED), m_pFrame->m_executed[0].nMessage);
    EXPECT_EQ(static_cast<WPARAM>(ID_CB_NEW), m_pFrame->m_executed[0].wParam);
    EXPECT_EQ(static_cast<UINT_PTR>(ID_CB_NEW), m_pFrame->m_executed[0].idFrom);
    EXPECT_EQ(static_cast<UINT>(XTP_CN_EXECUTE), m_pFrame->m_executed[0].nCode);
    EXPECT_EQ(pNew, m_pFrame->m_executed[0].pControl);
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), m_pFrame->m_executed[1].nMessage);
    EXPECT_EQ(static_cast<WPARAM>(ID_CB_NEW), m_pFrame->m_executed[1].wParam);
    EXPECT_EQ(0, pNew->GetPressed());
    EXPECT_EQ(0, pNew->GetSelected());
    EXPECT_EQ(nullptr, ::GetCapture());

    // The frame that answers 1 keeps the command.
    m_pFrame->m_bAnswerExecuted = TRUE;
    Click(ptInside, ptInside);
    ASSERT_EQ(1u, m_pFrame->m_executed.size());
    EXPECT_EQ(static_cast<UINT>(XTP_WM_CONTROL_EXECUTED), m_pFrame->m_executed[0].nMessage);
    m_pFrame->m_bAnswerExecuted = FALSE;

    // Released outside: nothing.
    Click(ptInside, CPoint(pNew->GetRect().right + 40, ptInside.y));
    EXPECT_TRUE(m_pFrame->m_executed.empty());
    EXPECT_EQ(nullptr, ::GetCapture());
}

// The pixels of a rectangle of the window as the screen shows them.
std::vector<COLORREF> ShownPixels(CWnd* pWnd, const CRect& rect)
{
    std::vector<COLORREF> pixels;
    CDC* pDC = pWnd->GetDC();
    CDC memory;
    memory.CreateCompatibleDC(pDC);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, rect.Width(), rect.Height());
    CBitmap* pOld = memory.SelectObject(&bitmap);
    memory.BitBlt(0, 0, rect.Width(), rect.Height(), pDC, rect.left, rect.top, SRCCOPY);
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
            pixels.push_back(memory.GetPixel(x, y));
    memory.SelectObject(pOld);
    pWnd->ReleaseDC(pDC);
    return pixels;
}

TEST_F(FrameOfBars, AButtonWhoseCommandRanAModalLoopIsDrawnReleasedWhenItEnds)
{
    CXTPControl* pNew = ToolBarButton(ID_CB_NEW);
    ASSERT_NE(nullptr, pNew);
    const CRect rect = pNew->GetRect();
    m_pToolBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
    const std::vector<COLORREF> released = ShownPixels(m_pToolBar, rect);
    std::vector<COLORREF> pressed;
    m_pFrame->m_onNew = [&] {
        m_pToolBar->UpdateWindow();
        pressed = ShownPixels(m_pToolBar, rect);
    };
    Click(rect.CenterPoint(), rect.CenterPoint());
    m_pFrame->m_onNew = nullptr;
    PumpMessages();
    EXPECT_EQ(0, pNew->GetPressed());
    EXPECT_NE(pressed, released) << "the command ran with the button drawn as usual";
    EXPECT_EQ(ShownPixels(m_pToolBar, rect), released) << "the button is still drawn pressed";
}

TEST_F(FrameOfBars, AQuitDuringAPressEndsItWithoutExecutingAndStaysQueued)
{
    CXTPControl* pNew = ToolBarButton(ID_CB_NEW);
    const CPoint pt = pNew->GetRect().CenterPoint();
    m_pFrame->m_executed.clear();
    m_pToolBar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_QUIT, 17, 0);
    m_pToolBar->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, m_pToolBar->GetSafeHwnd(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    ::DispatchMessageW(&msg);
    EXPECT_TRUE(m_pFrame->m_executed.empty());
    EXPECT_EQ(nullptr, ::GetCapture());
    // The quit is in the queue again with its code.
    bool bQuit = false;
    while (!bQuit && ::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            bQuit = true;
            EXPECT_EQ(17u, msg.wParam);
        } else {
            ::DispatchMessageW(&msg);
        }
    }
    EXPECT_TRUE(bQuit);
}

TEST_F(FrameOfBars, ANarrowFrameHidesButtonsBehindTheExpandButton)
{
    const std::vector<CXTPToolBar*> rows = m_pBars->GetDockBar(xtpBarTop)->GetBars();
    m_pFrame->SetWindowPos(NULL, 0, 0, 150, 260, SWP_NOMOVE | SWP_NOZORDER);
    m_pFrame->RecalcLayout();
    int nHidden = 0;
    for (int i = 0; i < m_pToolBar->GetControlCount(); ++i)
        if (m_pToolBar->GetControl(i)->GetHideFlags() == xtpHideWrap)
            ++nHidden;
    EXPECT_GT(nHidden, 0);
    EXPECT_EQ(0u, m_pToolBar->GetControl(0)->GetHideFlags());
    CXTPControl* pExpand = m_pToolBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND);
    ASSERT_NE(nullptr, pExpand);
    EXPECT_TRUE(pExpand->IsVisible());
    EXPECT_TRUE(static_cast<CXTPControlExpandButton*>(pExpand)->HasHiddenControls());

    m_pFrame->SetWindowPos(NULL, 0, 0, 520, 260, SWP_NOMOVE | SWP_NOZORDER);
    m_pFrame->RecalcLayout();
    for (int i = 0; i < m_pToolBar->GetControlCount(); ++i) {
        if (m_pToolBar->GetControl(i)->GetID() != XTP_ID_TOOLBAR_EXPAND) {
            EXPECT_EQ(0u, m_pToolBar->GetControl(i)->GetHideFlags()) << i;
        }
    }
    EXPECT_FALSE(static_cast<CXTPControlExpandButton*>(pExpand)->HasHiddenControls());
    EXPECT_EQ(rows, m_pBars->GetDockBar(xtpBarTop)->GetBars());
}

TEST_F(FrameOfBars, AltAndALetterTrackTheMenuBar)
{
    const LPARAM lAlt = 0x20000001;
    // Alt alone shows the cues and is not consumed.
    MSG msg = KeyMessage(WM_SYSKEYDOWN, VK_MENU, lAlt);
    EXPECT_FALSE(m_pBars->PreTranslateFrameMessage(&msg));
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());

    // Numeric-keypad digits never open a menu; nor does anything with KeyboardCuesUse 2.
    msg = KeyMessage(WM_SYSKEYDOWN, VK_NUMPAD6, lAlt);
    EXPECT_FALSE(m_pBars->PreTranslateFrameMessage(&msg));
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    m_pBars->GetCommandBarsOptions()->keyboardCuesUse = 2;
    msg = KeyMessage(WM_SYSKEYDOWN, 'F', lAlt);
    EXPECT_FALSE(m_pBars->PreTranslateFrameMessage(&msg));
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    m_pBars->GetCommandBarsOptions()->keyboardCuesUse = 1;

    msg = KeyMessage(WM_SYSKEYDOWN, 'F', lAlt);
    EXPECT_TRUE(m_pBars->PreTranslateFrameMessage(&msg));
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    ASSERT_NE(nullptr, m_pMenuBar->GetSelected());
    EXPECT_EQ(CString(L"&File"), m_pMenuBar->GetSelected()->GetCaption());
    EXPECT_EQ(2, m_pMenuBar->GetSelected()->GetSelected());
    EXPECT_TRUE(m_pMenuBar->IsKeyboardSelected());
    // While it tracks, a context-menu key is swallowed.
    msg = KeyMessage(WM_SYSKEYUP, VK_MENU, 0);
    EXPECT_TRUE(m_pBars->PreTranslateFrameMessage(&msg));
    m_pBars->ClosePopups();
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());

    // Two explicit keys "&Save" and "&Send": the first is selected and nothing runs.
    m_pFrame->m_executed.clear();
    msg = KeyMessage(WM_SYSKEYDOWN, 'S', lAlt);
    EXPECT_TRUE(m_pBars->PreTranslateFrameMessage(&msg));
    ASSERT_NE(nullptr, m_pMenuBar->GetSelected());
    EXPECT_EQ(CString(L"&Save"), m_pMenuBar->GetSelected()->GetCaption());
    PumpMessages();
    EXPECT_TRUE(m_pFrame->m_executed.empty());
    m_pBars->ClosePopups();

    // A single explicit key on a button executes it.
    m_pMenuBar->GetControls()->Remove(m_pMenuBar->GetControls()->FindControl(ID_CB_SEND));
    msg = KeyMessage(WM_SYSKEYDOWN, 'S', lAlt);
    EXPECT_TRUE(m_pBars->PreTranslateFrameMessage(&msg));
    ASSERT_EQ(2u, m_pFrame->m_executed.size());
    EXPECT_EQ(static_cast<WPARAM>(ID_CB_STORE), m_pFrame->m_executed[1].wParam);
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
}

TEST_F(FrameOfBars, APopupThatCannotShowLeavesNoTrackingBehind)
{
    // A popup control without its bar cannot show: a click on "&File" ends as it began.
    auto* pFile = DYNAMIC_DOWNCAST(CXTPControlPopup, m_pMenuBar->GetControl(0));
    ASSERT_NE(nullptr, pFile);
    pFile->SetCommandBar(NULL);
    const CPoint pt = m_pMenuBar->GetControl(0)->GetRect().CenterPoint();
    m_pMenuBar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    m_pMenuBar->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    PumpMessages();
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    EXPECT_FALSE(CXTPKeyboardManager::GetInstance()->IsKeyboardHooked());
    EXPECT_EQ(0, CXTPMouseManager::GetInstance()->GetTrackedCount());
}

TEST_F(FrameOfBars, TheSystemKeyMenuEntersKeyboardMenuModeOnTheMenuBar)
{
    // Alt pressed and released alone: the system's SC_KEYMENU with no character.
    m_pFrame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    EXPECT_EQ(0, m_pMenuBar->GetSelectedIndex());
    EXPECT_TRUE(m_pMenuBar->IsKeyboardSelected());
    EXPECT_EQ(nullptr, ::GetMenu(m_pFrame->GetSafeHwnd()));
    // Escape on the menu bar leaves tracking.
    m_pMenuBar->OnKeyDown(VK_ESCAPE, 0);
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
}

TEST_F(FrameOfBars, CtrlTabMovesTheKeyboardToTheNextVisibleToolbarAndShiftBack)
{
    CXTPToolBar* pSecond = m_pBars->Add(L"Second", xtpBarTop);
    ASSERT_NE(nullptr, pSecond);
    pSecond->GetControls()->Add(xtpControlButton, ID_CB_SEND)->SetCaption(L"S&end");
    pSecond->GetControls()->Add(xtpControlButton, ID_CB_STORE)->SetCaption(L"S&tore");
    m_pFrame->RecalcLayout();
    PumpMessages();

    struct Case
    {
        const char* name;
        CXTPToolBar* pFrom;
        bool bShift;
        CXTPToolBar* pTo;
    };
    // The menu bar is no toolbar: going back from the first toolbar wraps past it.
    const Case cases[] = {{"forward", m_pToolBar, false, pSecond},
                          {"back", pSecond, true, m_pToolBar},
                          {"back past the menu bar", m_pToolBar, true, pSecond},
                          {"forward wraps past the menu bar", pSecond, false, m_pToolBar}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.pFrom->SetTracking(TRUE, TRUE, TRUE);
        {
            HeldKeys held = c.bShift ? HeldKeys{VK_CONTROL, VK_SHIFT} : HeldKeys{VK_CONTROL};
            EXPECT_EQ(XTP_HOOK_HANDLED, c.pFrom->OnKeyDown(VK_TAB, 0));
        }
        EXPECT_FALSE(c.pFrom->IsTrackingMode());
        EXPECT_EQ(-1, c.pFrom->GetSelectedIndex());
        EXPECT_TRUE(c.pTo->IsTrackingMode());
        EXPECT_EQ(0, c.pTo->GetSelectedIndex());
        c.pTo->SetTracking(FALSE, TRUE);
    }
    // Without Ctrl, Tab stays within the bar.
    m_pToolBar->SetTracking(TRUE, TRUE, TRUE);
    m_pToolBar->OnKeyDown(VK_TAB, 0);
    EXPECT_TRUE(m_pToolBar->IsTrackingMode());
    EXPECT_FALSE(pSecond->IsTrackingMode());
    m_pToolBar->SetTracking(FALSE, TRUE);
}

// A docked toolbar holds no focus itself: Tab or Shift+Tab onto a field gives the field the keyboard, on
// from a field to the next field hands it over, and on to a button gives it back to the window that had
// it while the bar goes on tracking.
TEST_F(FrameOfBars, TabMovesTheKeyboardWithTheHotControlBetweenTheFieldsOfADockedToolbar)
{
    auto* pEdit =
        DYNAMIC_DOWNCAST(CXTPControlEdit, m_pToolBar->GetControls()->Add(xtpControlEdit, ID_CB_PRINT));
    auto* pCombo =
        DYNAMIC_DOWNCAST(CXTPControlComboBox, m_pToolBar->GetControls()->Add(xtpControlComboBox, ID_CB_UNDO));
    ASSERT_TRUE(pEdit != NULL && pCombo != NULL);
    pEdit->SetWidth(70);
    pCombo->SetWidth(70);
    pCombo->SetDropDownListStyle();
    pCombo->AddString(L"First");
    m_pFrame->RecalcLayout();
    PumpMessages();
    ASSERT_TRUE(pEdit->GetEditCtrl() != NULL && pCombo->GetEditCtrl() != NULL);
    const HWND hwndEdit = pEdit->GetEditCtrl()->GetSafeHwnd();
    const HWND hwndCombo = pCombo->GetEditCtrl()->GetSafeHwnd();
    ASSERT_TRUE(::IsWindowVisible(hwndEdit) && ::IsWindowVisible(hwndCombo));
    m_pFrame->SetFocus();
    const int nMouseLock = CXTPMouseManager::GetInstance()->m_nLock;

    m_pToolBar->SetTracking(TRUE, TRUE, TRUE);
    m_pToolBar->SetSelected(pEdit->GetIndex() - 1, TRUE);
    struct Step
    {
        const char* name;
        bool bShift;
        HWND hwndFocus;
        int nHot;
    };
    const HWND hwndFrame = m_pFrame->m_hWnd;
    const int nBefore = pEdit->GetIndex() - 1;
    const Step steps[] = {{"Tab onto the edit", false, hwndEdit, nBefore + 1},
                          {"Tab on to the combo box", false, hwndCombo, nBefore + 2},
                          {"Shift+Tab back to the edit", true, hwndEdit, nBefore + 1},
                          {"Shift+Tab on to a button", true, hwndFrame, nBefore},
                          {"Tab onto the edit again", false, hwndEdit, nBefore + 1}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        {
            HeldKeys held = step.bShift ? HeldKeys{VK_SHIFT} : HeldKeys{};
            CXTPKeyboardManager::GetInstance()->ProcessKeyboardHook(VK_TAB, 1);
        }
        EXPECT_EQ(step.hwndFocus, ::GetFocus());
        EXPECT_EQ(step.nHot, m_pToolBar->GetSelectedIndex());
        EXPECT_EQ(step.hwndFocus == hwndEdit, !!pEdit->IsFocused());
        EXPECT_EQ(step.hwndFocus == hwndCombo, !!pCombo->IsFocused());
        EXPECT_TRUE(m_pToolBar->IsTrackingMode());
        if (step.hwndFocus == hwndCombo)
            EXPECT_TRUE(
                test_support::WriteFramedWindowScreenshot(m_pFrame->m_hWnd, L"toolbar_combo_focused_by_tab"));
    }
    // Escape from the field reached by Tab gives the keyboard back to the window the bar took it from.
    CXTPKeyboardManager::GetInstance()->ProcessKeyboardHook(VK_ESCAPE, 1);
    EXPECT_EQ(hwndFrame, ::GetFocus());
    EXPECT_FALSE(pEdit->IsFocused());
    EXPECT_FALSE(m_pToolBar->IsTrackingMode());
    EXPECT_EQ(nMouseLock, CXTPMouseManager::GetInstance()->m_nLock);
}

// A dialog with a toolbar of three buttons between its two fields, in the tab order too.
class ToolBarInADialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dialog.Create(IDD_CB_TOOLBAR_DIALOG));
        m_dialog.SetWindowPos(&CWnd::wndTop, 60, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        m_dialog.SetForegroundWindow();
        m_pName = m_dialog.GetDlgItem(IDC_CB_DIALOG_NAME);
        m_pNote = m_dialog.GetDlgItem(IDC_CB_DIALOG_NOTE);
        ASSERT_TRUE(m_pName != NULL && m_pNote != NULL);

        const COLORREF colours[] = {RGB(40, 160, 40), RGB(200, 160, 40), RGB(40, 90, 200)};
        for (int i = 0; i < 3; ++i) {
            CXTPImageHandle handle;
            handle.SetIcon(MakeSquareIcon(colours[i], RGB(64, 64, 64), 2));
            XTPImageManager()->SetCommandIcon(handle, kButtonIds[i]);
        }
        m_pBar = new CXTPToolBar;
        ASSERT_TRUE(m_pBar->CreateToolBar(WS_CHILD | WS_VISIBLE | WS_TABSTOP, &m_dialog, IDC_CB_DIALOG_BAR));
        ASSERT_EQ(nullptr, m_pBar->GetCommandBars());
        for (UINT nId : kButtonIds)
            m_pBar->GetControls()->Add(xtpControlButton, static_cast<int>(nId));
    }
    void TearDown() override
    {
        if (m_pBar != NULL) {
            if (m_pBar->IsTrackingMode())
                m_pBar->SetTracking(FALSE, TRUE);
            m_pBar->DestroyWindow();
            m_pBar->InternalRelease();
        }
        m_dialog.DestroyWindow();
        for (UINT nId : kButtonIds)
            XTPImageManager()->RemoveIcon(nId);
    }
    // Lays the bar out under the first field, where the dialog's Tab from that field reaches it.
    void PlaceBar()
    {
        CRect rcName;
        m_pName->GetWindowRect(&rcName);
        m_dialog.ScreenToClient(&rcName);
        const CSize size = m_pBar->CalcDockingLayout(300, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
        m_pBar->SetWindowPos(m_pName, rcName.left, rcName.bottom + 6, size.cx, size.cy, SWP_NOACTIVATE);
        m_pBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessages();
    }

    static constexpr UINT kButtonIds[] = {ID_CB_NEW, ID_CB_OPEN, ID_CB_SAVE};
    CDialog m_dialog;
    CWnd* m_pName = NULL;
    CWnd* m_pNote = NULL;
    CXTPToolBar* m_pBar = NULL;
};

TEST_F(ToolBarInADialog, TheFocusEntersKeyboardTrackingAndTabOrEscapeLeaveForTheDialogsControls)
{
    PlaceBar();
    ASSERT_EQ(m_pBar, m_dialog.GetNextDlgTabItem(m_pName));

    // The dialog's Tab from the first field gives the bar the focus: it tracks from its first button.
    m_pName->SetFocus();
    m_dialog.GetNextDlgTabItem(m_pName)->SetFocus();
    ASSERT_EQ(m_pBar->m_hWnd, ::GetFocus());
    EXPECT_TRUE(m_pBar->IsTrackingMode());
    EXPECT_EQ(0, m_pBar->GetSelectedIndex());
    m_pBar->OnKeyDown(VK_END, 0);
    EXPECT_EQ(2, m_pBar->GetSelectedIndex());
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(m_dialog.m_hWnd, L"toolbar_in_dialog_focused"));

    struct Case
    {
        const char* name;
        UINT nKey;
        bool bShift;
        CWnd* pFocus;
    };
    const Case cases[] = {{"Tab", VK_TAB, false, m_pNote},
                          {"Shift+Tab", VK_TAB, true, m_pName},
                          {"Escape hands the focus on", VK_ESCAPE, false, m_pNote}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pBar->SetFocus();
        ASSERT_TRUE(m_pBar->IsTrackingMode());
        {
            HeldKeys held = c.bShift ? HeldKeys{VK_SHIFT} : HeldKeys{};
            EXPECT_EQ(XTP_HOOK_HANDLED, m_pBar->OnKeyDown(c.nKey, 0));
        }
        EXPECT_EQ(c.pFocus->m_hWnd, ::GetFocus());
        EXPECT_FALSE(m_pBar->IsTrackingMode());
        EXPECT_EQ(-1, m_pBar->GetSelectedIndex());
    }
}

// The bar remembers the dialog control it took the keyboard from; its edit field, entered from the bar,
// gives the keyboard back there on Escape, and the bar stops tracking so that the control gets its keys.
TEST_F(ToolBarInADialog, AFieldOfTheBarGivesTheKeyboardBackToTheControlTheBarTookItFrom)
{
    auto* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, m_pBar->GetControls()->Add(xtpControlEdit, ID_CB_PRINT));
    ASSERT_NE(nullptr, pEdit);
    PlaceBar();
    ASSERT_TRUE(pEdit->GetEditCtrl() != NULL && ::IsWindow(pEdit->GetEditCtrl()->GetSafeHwnd()));

    struct Case
    {
        const char* name;
        CWnd* pFrom;
    };
    // Shift+Tab from the second field comes in from below; each visit remembers its own control.
    const Case cases[] = {{"from the first field", m_pName}, {"from the second field", m_pNote}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.pFrom->SetFocus();
        m_pBar->SetFocus();
        ASSERT_TRUE(m_pBar->IsTrackingMode());
        pEdit->GetEditCtrl()->SetFocus();
        ASSERT_TRUE(pEdit->IsFocused());
        CXTPKeyboardManager::GetInstance()->ProcessKeyboardHook(VK_ESCAPE, 1);
        EXPECT_FALSE(pEdit->IsFocused());
        EXPECT_EQ(c.pFrom->m_hWnd, ::GetFocus());
        EXPECT_FALSE(m_pBar->IsTrackingMode());
    }
}

// In a dialog Tab belongs to the dialog: from a field of the bar, as from a button, Tab and Shift+Tab
// go on to the dialog's controls; the field lets the keyboard go and the bar stops tracking.
TEST_F(ToolBarInADialog, TabFromAFieldOfTheBarGoesOnToTheDialogsControls)
{
    auto* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, m_pBar->GetControls()->Add(xtpControlEdit, ID_CB_PRINT));
    ASSERT_NE(nullptr, pEdit);
    PlaceBar();
    ASSERT_TRUE(pEdit->GetEditCtrl() != NULL && ::IsWindowVisible(pEdit->GetEditCtrl()->GetSafeHwnd()));
    const int nMouseLock = CXTPMouseManager::GetInstance()->m_nLock;
    struct Case
    {
        const char* name;
        bool bShift;
        CWnd* pFocus;
    };
    const Case cases[] = {{"Tab", false, m_pNote}, {"Shift+Tab", true, m_pName}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pName->SetFocus();
        m_pBar->SetFocus();
        pEdit->GetEditCtrl()->SetFocus();
        ASSERT_TRUE(pEdit->IsFocused());
        {
            HeldKeys held = c.bShift ? HeldKeys{VK_SHIFT} : HeldKeys{};
            CXTPKeyboardManager::GetInstance()->ProcessKeyboardHook(VK_TAB, 1);
        }
        EXPECT_EQ(c.pFocus->m_hWnd, ::GetFocus());
        EXPECT_FALSE(pEdit->IsFocused());
        EXPECT_FALSE(m_pBar->IsTrackingMode());
        EXPECT_EQ(nMouseLock, CXTPMouseManager::GetInstance()->m_nLock);
    }
}

// A bar that records the navigation codes its keys become.
class NavigationBar : public CXTPToolBar
{
public:
    using CXTPToolBar::m_barPosition;
    BOOL ProcessSpecialKey(int nKey) override
    {
        m_codes.push_back(nKey);
        return TRUE;
    }
    std::vector<int> m_codes;
};

TEST(BarKeys, ArrowKeysFollowTheBarsOrientationAndDirection)
{
    CWnd parent;
    ASSERT_TRUE(
        parent.CreateEx(0, AfxRegisterWndClass(0), L"keys", WS_POPUP, CRect(0, 0, 300, 100), NULL, 0));
    struct Case
    {
        XTPBarPosition position;
        BOOL bRightToLeft;
        int codes[6]; // End, Home, Left, Up, Right, Down
    };
    const Case cases[] = {
        {xtpBarTop, FALSE, {7, 6, 1, 2, 0, 3}},      {xtpBarTop, TRUE, {7, 6, 0, 2, 1, 3}},
        {xtpBarFloating, FALSE, {7, 6, 1, 2, 0, 3}}, {xtpBarLeft, FALSE, {7, 6, 2, 1, 3, 0}},
        {xtpBarRight, TRUE, {7, 6, 3, 1, 2, 0}},
    };
    const UINT keys[6] = {VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN};
    for (const Case& c : cases) {
        auto* pBar = new NavigationBar;
        ASSERT_TRUE(pBar->CreateToolBar(WS_CHILD, &parent));
        pBar->m_barPosition = c.position;
        if (c.bRightToLeft)
            pBar->ModifyStyleEx(0, WS_EX_LAYOUTRTL);
        for (UINT nKey : keys)
            EXPECT_EQ(XTP_HOOK_HANDLED, pBar->OnKeyDown(nKey, 0));
        ASSERT_EQ(6u, pBar->m_codes.size());
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(c.codes[i], pBar->m_codes[static_cast<size_t>(i)])
                << c.position << " " << c.bRightToLeft << " " << i;
        pBar->DestroyWindow();
        pBar->InternalRelease();
    }
    parent.DestroyWindow();
}

TEST(BarKeys, EscapeAndReturnAndAKeyWithoutAccessKey)
{
    CWnd parent;
    ASSERT_TRUE(
        parent.CreateEx(0, AfxRegisterWndClass(0), L"keys", WS_POPUP, CRect(0, 0, 300, 100), NULL, 0));
    auto* pBar = new CXTPToolBar;
    ASSERT_TRUE(pBar->CreateToolBar(WS_CHILD, &parent));
    pBar->GetControls()->Add(xtpControlButton, ID_CB_ITEM_ONE)->SetCaption(L"&One");
    pBar->GetControls()->Add(xtpControlButton, ID_CB_ITEM_TWO)->SetCaption(L"&Two");
    pBar->SetTracking(TRUE, TRUE, TRUE);
    EXPECT_EQ(0, pBar->GetSelectedIndex());
    pBar->OnKeyDown(VK_TAB, 0);
    EXPECT_EQ(1, pBar->GetSelectedIndex());
    pBar->OnKeyDown(VK_TAB, 0);
    EXPECT_EQ(0, pBar->GetSelectedIndex());
    // While the key lock is set keys are swallowed unused.
    pBar->m_nLockCount = 1;
    EXPECT_EQ(XTP_HOOK_HANDLED, pBar->OnKeyDown(VK_TAB, 0));
    EXPECT_EQ(0, pBar->GetSelectedIndex());
    pBar->m_nLockCount = 0;
    // A key no control answers is consumed.
    EXPECT_EQ(XTP_HOOK_HANDLED, pBar->OnKeyDown('Q', 0));
    EXPECT_TRUE(pBar->IsTrackingMode());
    pBar->OnKeyDown(VK_ESCAPE, 0);
    EXPECT_FALSE(pBar->IsTrackingMode());
    EXPECT_EQ(-1, pBar->GetSelectedIndex());
    pBar->DestroyWindow();
    pBar->InternalRelease();
    parent.DestroyWindow();
}

TEST_F(FrameOfBars, IdleTimeDisablesCommandsWithoutHandlersOrDisabledByTheirs)
{
    m_pToolBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(ToolBarButton(ID_CB_NEW)->GetEnabled());
    EXPECT_FALSE(ToolBarButton(ID_CB_OPEN)->GetEnabled());
    EXPECT_TRUE(ToolBarButton(ID_CB_SAVE)->GetEnabled());
    EXPECT_FALSE(ToolBarButton(ID_CB_PRINT)->GetEnabled());
    // The menu bar's buttons too; its popups have no command.
    m_pMenuBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(m_pMenuBar->GetControls()->FindControl(ID_CB_STORE)->GetEnabled());
    EXPECT_TRUE(m_pMenuBar->GetControl(0)->GetEnabled());
}

std::vector<int> ControlIds(CXTPCommandBar* pBar)
{
    std::vector<int> ids;
    // The expand button is placed apart, at the far end.
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        if (pBar->GetControl(i)->GetID() != XTP_ID_TOOLBAR_EXPAND)
            ids.push_back(pBar->GetControl(i)->GetID());
    return ids;
}

TEST(MdiMenuBar, AMaximisedChildAddsItsSystemMenuAndButtons)
{
    auto* pFrame = new MdiBarsFrame;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_CB_MDI, WS_OVERLAPPEDWINDOW));
    pFrame->SetWindowPos(&CWnd::wndTop, 60, 60, 500, 320, SWP_SHOWWINDOW);
    PumpMessages();
    CXTPMenuBar* pMenuBar = pFrame->m_pCommandBars->GetMenuBar();
    ASSERT_NE(nullptr, pMenuBar);
    EXPECT_EQ(nullptr, ::GetMenu(pFrame->GetSafeHwnd()));
    const std::vector<int> plain = ControlIds(pMenuBar);
    ASSERT_EQ(2u, plain.size());

    struct Case
    {
        const char* name;
        DWORD dwStyle;
        std::vector<int> suffix;
    };
    const Case cases[] = {
        {"full", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, {9405, 9404, 9403}},
        {"no minimise box",
         WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX,
         {9404, 9403}},
    };
    for (const Case& c : cases) {
        auto* pChild = new CMDIChildWnd;
        ASSERT_TRUE(pChild->Create(NULL, L"child", c.dwStyle, CFrameWnd::rectDefault, pFrame)) << c.name;
        PumpMessages();
        pChild->MDIMaximize();
        PumpMessages();
        std::vector<int> expected{XTP_ID_MENUBAR_SYSMENU};
        expected.insert(expected.end(), plain.begin(), plain.end());
        expected.insert(expected.end(), c.suffix.begin(), c.suffix.end());
        EXPECT_EQ(expected, ControlIds(pMenuBar)) << c.name;
        CXTPCommandBar* pSysBar = pMenuBar->GetControl(0)->GetCommandBar();
        ASSERT_NE(nullptr, pSysBar);
        EXPECT_GT(pSysBar->GetControlCount(), 0) << c.name;
        EXPECT_EQ(nullptr, ::GetMenu(pFrame->GetSafeHwnd())) << c.name;

        pChild->MDIRestore();
        PumpMessages();
        EXPECT_EQ(plain, ControlIds(pMenuBar)) << c.name;
        pChild->DestroyWindow();
        PumpMessages();
    }
    pFrame->DestroyWindow();
    PumpMessages();
}

} // namespace
