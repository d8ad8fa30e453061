// Tooltips: the toolbar's tips through the command bars' controller (text, shortcut, options), and
// the drawn tooltip window driven by its own messages (delays, placement, clicks, empty texts).
#include "input_test_frame.h"
#include "support/screenshot.h"

namespace input_test {
namespace {

class ToolbarTips : public FrameTest
{
protected:
    // The text of the tool the controller's tooltip shows now, empty when none shows.
    CString ShownTip()
    {
        CWnd* pTip = m_pBars->GetToolTipController()->GetToolTip();
        if (pTip == NULL || !pTip->IsWindowVisible())
            return CString();
        WCHAR szText[256] = {};
        TOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V1_SIZE;
        info.lpszText = szText;
        if (!pTip->SendMessage(TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info)))
            return CString();
        return szText;
    }
    // Rests the cursor on the New button, then on Open: the tip that Open then shows (empty when
    // none shows within the time).
    CString OpenTipAfterRest(DWORD dwMilliseconds)
    {
        for (int nId : {ID_CB_NEW, ID_CB_OPEN}) {
            POINT pt = ControlCenter(m_pToolBar, nId);
            MoveCursor(pt);
            pt.x += 1;
            MoveCursor(pt);
        }
        CString strTip;
        PumpFor(dwMilliseconds, [&] {
            strTip = ShownTip();
            return m_pBars->GetToolTipController()->GetToolTip() != NULL && strTip.Find(L"Open") == 0;
        });
        return strTip;
    }
};

TEST_F(ToolbarTips, TheButtonsTipCarriesItsShortcutWhenTheOptionsAskForIt)
{
    CXTPToolTipController* pController = m_pBars->GetToolTipController();
    // The manager's controller: the common-controls tooltip with no style flags of its own.
    EXPECT_EQ(xtpToolTipStandard, pController->GetStyle());
    EXPECT_EQ(0u, pController->GetToolTipStyle());
    if (::GetForegroundWindow() != m_pFrame->GetSafeHwnd())
        GTEST_SKIP() << "the frame could not become the foreground window";
    CXTPCommandBarsOptions* pOptions = m_pBars->GetCommandBarsOptions();

    pOptions->bToolBarAccelTips = TRUE;
    EXPECT_EQ(CString(L"Open (Ctrl+O)"), OpenTipAfterRest(2000));
    Screenshot(L"command_bars_toolbar_tip");
    pOptions->bToolBarAccelTips = FALSE;
    EXPECT_EQ(CString(L"Open"), OpenTipAfterRest(2000));
    pOptions->bToolBarScreenTips = FALSE;
    EXPECT_EQ(CString(), OpenTipAfterRest(1200));
}

TEST_F(ToolbarTips, TheHitTestAnswersForControlsOnlyAndNotWhileAnotherBarTracks)
{
    const CPoint ptOpen = m_pToolBar->GetControls()->FindControl(ID_CB_OPEN)->GetRect().CenterPoint();
    TOOLINFO info{};
    info.cbSize = TTTOOLINFOW_V1_SIZE;
    EXPECT_EQ(static_cast<INT_PTR>(ID_CB_OPEN), m_pToolBar->OnToolHitTest(ptOpen, &info));
    EXPECT_EQ(m_pToolBar->GetSafeHwnd(), info.hwnd);
    EXPECT_EQ(CRect(m_pToolBar->GetControls()->FindControl(ID_CB_OPEN)->GetRect()), CRect(info.rect));
    EXPECT_EQ(CString(L"Open"), CString(info.lpszText));
    CXTPToolTipController::FreeToolInfo(&info);
    EXPECT_EQ(nullptr, info.lpszText);

    // A button whose tooltip is empty still answers; nothing lies between or beyond the controls.
    TOOLINFO none{};
    none.cbSize = TTTOOLINFOW_V1_SIZE;
    CRect rcBar;
    m_pToolBar->GetClientRect(&rcBar);
    EXPECT_EQ(-1, m_pToolBar->OnToolHitTest(CPoint(rcBar.right - 2, rcBar.bottom - 1), &none));
    m_pMenuBar->SetTracking(TRUE, TRUE, TRUE);
    EXPECT_EQ(-1, m_pToolBar->OnToolHitTest(ptOpen, &none));
    m_pMenuBar->SetTracking(FALSE);
}

// The drawn window under test: two child windows as tools and a third with empty text.
class DrawnTip : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller.SetStyle(xtpToolTipOffice);
        ASSERT_TRUE(m_host.CreateEx(
            0,
            AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)),
            L"tips", WS_POPUP | WS_VISIBLE, CRect(100, 100, 400, 200), NULL, 0));
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(m_tools[i].CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE,
                                            CRect(10 + 90 * i, 10, 90 + 90 * i, 60), &m_host, 100 + i));
        }
        m_pTip = dynamic_cast<CXTPToolTipWnd*>(m_controller.CreateToolTip(&m_host));
        ASSERT_NE(nullptr, m_pTip);
        const wchar_t* texts[3] = {L"First &tool", L"Second", L""};
        for (int i = 0; i < 3; ++i) {
            TOOLINFOW info{};
            info.cbSize = TTTOOLINFOW_V1_SIZE;
            info.hwnd = m_tools[i].GetSafeHwnd();
            info.uId = static_cast<UINT_PTR>(i + 1);
            m_tools[i].GetClientRect(&info.rect);
            info.lpszText = const_cast<LPWSTR>(texts[i]);
            m_pTip->SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
        m_pTip->SendMessage(TTM_ACTIVATE, TRUE);
    }
    void TearDown() override
    {
        m_pTip->DestroyWindow();
        delete m_pTip;
        m_host.DestroyWindow();
    }
    POINT Center(int nTool) const
    {
        CRect rect;
        m_tools[nTool].GetWindowRect(&rect);
        return rect.CenterPoint();
    }
    // The cursor over a tool and the message relayed, as the controller relays it.
    void Relay(int nTool, UINT message = WM_MOUSEMOVE)
    {
        const POINT pt = nTool >= 0 ? Center(nTool) : POINT{390, 190};
        ::SetCursorPos(pt.x, pt.y);
        MSG msg{};
        msg.hwnd = nTool >= 0 ? m_tools[nTool].GetSafeHwnd() : m_host.GetSafeHwnd();
        msg.message = message;
        msg.pt = pt;
        m_pTip->SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    UINT_PTR ShownId() const { return m_pTip->IsWindowVisible() ? m_pTip->GetShownTool().uId : 0; }

    CXTPToolTipController m_controller;
    CWnd m_host;
    CWnd m_tools[3];
    CXTPToolTipWnd* m_pTip = NULL;
};

TEST_F(DrawnTip, ATipShowsAfterTheInitialDelayBelowTheCursorAndAtOnceRightAfterAnother)
{
    Relay(0);
    EXPECT_EQ(0u, ShownId());
    EXPECT_EQ(1u, m_pTip->GetPendingTool().uId);
    const DWORD dwStart = ::GetTickCount();
    PumpFor(2000, [&] { return ShownId() != 0; });
    const DWORD dwWaited = ::GetTickCount() - dwStart;
    EXPECT_EQ(1u, ShownId());
    EXPECT_GE(dwWaited, 450u);
    CRect rcTip;
    m_pTip->GetWindowRect(&rcTip);
    EXPECT_EQ(Center(0).x, rcTip.left);
    EXPECT_EQ(Center(0).y + 21, rcTip.top);
    EXPECT_GT(rcTip.Width(), 6);
    // The controller's window style keeps ampersands (no prefix).
    EXPECT_EQ(CString(L"First &tool"), m_pTip->GetToolText(m_pTip->GetShownTool()));
    test_support::WriteWindowScreenshot(m_pTip->GetSafeHwnd(), L"command_bars_drawn_tip");

    // Within the reshow window the next tool shows at once.
    Relay(1);
    EXPECT_EQ(2u, ShownId());
    // After a longer pause it waits again.
    Relay(-1);
    EXPECT_EQ(0u, ShownId());
    PumpFor(300);
    Relay(0);
    EXPECT_EQ(0u, ShownId());
    PumpFor(2000, [&] { return ShownId() != 0; });
    EXPECT_EQ(1u, ShownId());
}

TEST_F(DrawnTip, AClickedToolShowsNoTipUntilTheCursorHasBeenOverAnotherTool)
{
    Relay(0);
    PumpFor(2000, [&] { return ShownId() != 0; });
    ASSERT_EQ(1u, ShownId());
    Relay(0, WM_LBUTTONDOWN);
    EXPECT_EQ(0u, ShownId());
    EXPECT_EQ(1u, m_pTip->GetPressedTool().uId);
    Relay(0);
    PumpFor(800);
    EXPECT_EQ(0u, ShownId());
    // Empty space does not count as another tool.
    Relay(-1);
    Relay(0);
    PumpFor(800);
    EXPECT_EQ(0u, ShownId());
    Relay(1);
    PumpFor(2000, [&] { return ShownId() != 0; });
    EXPECT_EQ(2u, ShownId());
    Relay(0);
    PumpFor(2000, [&] { return ShownId() == 1; });
    EXPECT_EQ(1u, ShownId());
}

TEST_F(DrawnTip, TheShownTipWatchesTheMouseAndHidesWhenItLeavesTheTool)
{
    Relay(0);
    PumpFor(2000, [&] { return ShownId() != 0; });
    ASSERT_EQ(1u, ShownId());
    // The display's own move, which no relay passes on: the tip's mouse hook sees it.
    MoveCursor(POINT{390, 190});
    PumpFor(200, [&] { return ShownId() == 0; });
    EXPECT_EQ(0u, ShownId());
}

TEST_F(DrawnTip, AnEmptyTextNeverShowsAndDeactivatingHidesAndStops)
{
    Relay(2);
    PumpFor(900);
    EXPECT_EQ(0u, ShownId());
    EXPECT_FALSE(m_pTip->IsWindowVisible());

    Relay(1);
    PumpFor(2000, [&] { return ShownId() != 0; });
    ASSERT_EQ(2u, ShownId());
    m_pTip->SendMessage(TTM_ACTIVATE, FALSE);
    EXPECT_FALSE(m_pTip->IsWindowVisible());
    Relay(0);
    PumpFor(800);
    EXPECT_EQ(0u, ShownId());
    // A removed tool is not found again.
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V1_SIZE;
    info.hwnd = m_tools[0].GetSafeHwnd();
    info.uId = 1;
    m_pTip->SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(2, m_pTip->GetToolCount());
}

// An owner whose whole client area is one tool with a title and a description.
class TitledOwner : public CWnd
{
public:
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override
    {
        CRect rect;
        GetClientRect(&rect);
        if (!rect.PtInRect(point))
            return -1;
        CXTPToolTipController::FillToolInfo(pTI, m_hWnd, rect, 9, m_strText, L"Title", L"The description");
        return 9;
    }
    CString m_strText = L"plain";
};

class ControllerOnOwner : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW)), L"owner",
                                     WS_POPUP | WS_VISIBLE, CRect(120, 120, 320, 220), NULL, 0));
        m_owner.SetForegroundWindow();
        m_owner.SetActiveWindow();
        PumpFor(50);
    }
    void TearDown() override
    {
        m_controller.DestroyToolTip();
        m_owner.DestroyWindow();
    }
    CXTPToolTipWnd* Rest()
    {
        ::SetCursorPos(200, 170);
        m_controller.RelayToolTipMessage(&m_owner, WM_MOUSEMOVE);
        auto* pTip = dynamic_cast<CXTPToolTipWnd*>(m_controller.GetToolTip());
        PumpFor(1500, [&] { return pTip != NULL && pTip->IsWindowVisible(); });
        return pTip;
    }
    CXTPToolTipController m_controller;
    TitledOwner m_owner;
};

TEST_F(ControllerOnOwner, WithTitlesTheTipShowsTheTitleAndTheDescription)
{
    if (::GetForegroundWindow() != m_owner.GetSafeHwnd())
        GTEST_SKIP() << "the owner could not become the foreground window";
    m_controller.SetStyle(xtpToolTipLuna);
    m_controller.ShowTitleAndDescription(TRUE);
    CXTPToolTipWnd* pTip = Rest();
    ASSERT_NE(nullptr, pTip);
    EXPECT_TRUE(pTip->IsWindowVisible());
    EXPECT_EQ(CString(L"Title"), pTip->GetTitle());
    EXPECT_EQ(CString(L"The description"), pTip->GetToolText(pTip->GetShownTool()));
    test_support::WriteWindowScreenshot(pTip->GetSafeHwnd(), L"command_bars_scheme_tip");
}

TEST_F(ControllerOnOwner, NothingShowsWhileTheOwnersWindowIsNotActive)
{
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), L"other", WS_POPUP | WS_VISIBLE,
                               CRect(0, 0, 20, 20), NULL, 0));
    other.SetForegroundWindow();
    PumpFor(50);
    if (::GetForegroundWindow() != other.GetSafeHwnd())
        GTEST_SKIP() << "the other window could not become the foreground window";
    m_controller.SetStyle(xtpToolTipOffice);
    CXTPToolTipWnd* pTip = Rest();
    ASSERT_NE(nullptr, pTip);
    EXPECT_FALSE(pTip->IsWindowVisible());
    other.DestroyWindow();
}

TEST_F(ControllerOnOwner, ARichTextTipOfOneShortLineIsAsWideAsTheLine)
{
    if (::GetForegroundWindow() != m_owner.GetSafeHwnd())
        GTEST_SKIP() << "the owner could not become the foreground window";
    m_controller.SetStyle(xtpToolTipRTF);
    m_owner.m_strText = L"{\\rtf1 Short {\\b lin\u00e9}}";
    CXTPToolTipWnd* pTip = Rest();
    ASSERT_NE(nullptr, pTip);
    ASSERT_TRUE(pTip->IsWindowVisible());
    CRect rect;
    pTip->GetWindowRect(&rect);
    EXPECT_LT(rect.Width(), m_controller.GetMaxTipWidth() / 2);
    EXPECT_GT(rect.Width(), 20);
    HWND hEdit = ::GetWindow(pTip->GetSafeHwnd(), GW_CHILD);
    ASSERT_NE(nullptr, hEdit);
    WCHAR szText[32] = {};
    ::GetWindowTextW(hEdit, szText, 32);
    EXPECT_EQ(CString(L"Short lin\u00e9"), CString(szText)) << "the text is read as RTF";
    test_support::WriteWindowScreenshot(pTip->GetSafeHwnd(), L"command_bars_rich_tip");
}

TEST(ToolTipController, StyleFlagsChangeRecreatesTheWindowAndRecordsFreeTheirBlocks)
{
    CXTPToolTipController controller;
    EXPECT_EQ(2u, controller.GetToolTipStyle());
    controller.ModifyToolTipStyle(2, 0);
    EXPECT_EQ(0u, controller.GetToolTipStyle());
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN) / 2, controller.GetMaxTipWidth());
    EXPECT_EQ(GetColorTable()->GetColor(COLOR_INFOBK), controller.GetTipBkColor());
    controller.SetTipTextColor(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), controller.GetTipTextColor());

    // The record with lParam carries a title and a description when both are given.
    TOOLINFO info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    CXTPToolTipController::FillToolInfo(&info, NULL, CRect(1, 2, 3, 4), 7, L"text", L"Title", L"Description");
    ASSERT_NE(0, info.lParam);
    const auto* pContext = reinterpret_cast<const XTP_TOOLTIP_CONTEXT*>(info.lParam);
    EXPECT_EQ(CString(L"Title"), CString(pContext->lpszTitle));
    EXPECT_EQ(CString(L"Description"), CString(pContext->lpszDescription));
    CXTPToolTipController::FreeToolInfo(&info);
    EXPECT_EQ(0, info.lParam);
    // The short record has no room for them; a callback text is not the caller's to free.
    TOOLINFO shortInfo{};
    shortInfo.cbSize = TTTOOLINFOW_V1_SIZE;
    CXTPToolTipController::FillToolInfo(&shortInfo, NULL, CRect(), 7, L"text", L"Title", L"Description");
    EXPECT_EQ(0, shortInfo.lParam);
    CXTPToolTipController::FreeToolInfo(&shortInfo);
    shortInfo.lpszText = LPSTR_TEXTCALLBACKW;
    CXTPToolTipController::FreeToolInfo(&shortInfo);
}

} // namespace
} // namespace input_test
