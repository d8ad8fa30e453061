// The thread's mouse and keyboard managers and the window-hook manager: routing called directly
// with hook records of the test's own, then the same paths end to end through SendInput on the
// foreground frame (Alt+letter, F10, a click outside, accelerators, keyboard cues).
#include "input_test_frame.h"
#include "support/screenshot.h"

namespace input_test {

// clang-format off
BEGIN_MESSAGE_MAP(InputFrame, CXTPFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

namespace {

MOUSEHOOKSTRUCT HookRecord(POINT pt)
{
    MOUSEHOOKSTRUCT info{};
    info.pt = pt;
    info.hwnd = ::WindowFromPoint(pt);
    info.wHitTestCode = HTCLIENT;
    return info;
}

// A sink that answers what it is told and notes what it was asked.
class RecordingSink : public CXTPHookSink
{
public:
    RecordingSink(int nAnswer, std::vector<int>* pLog, int nName)
        : m_nAnswer(nAnswer), m_pLog(pLog), m_nName(nName)
    {}
    int OnHookMessage(HWND, UINT nMessage, WPARAM&, LPARAM&, LRESULT& lResult) override
    {
        m_messages.push_back(nMessage);
        if (m_pLog != NULL)
            m_pLog->push_back(m_nName);
        lResult = 77;
        return m_nAnswer;
    }
    int m_nAnswer;
    std::vector<int>* m_pLog;
    int m_nName;
    std::vector<UINT> m_messages;
};

using MouseRouting = FrameTest;

TEST_F(MouseRouting, AClickOutsideEveryTrackingBarEndsTrackingUnlessInAVisibleTrustedWindow)
{
    CXTPMouseManager* pManager = CXTPMouseManager::GetInstance();
    EXPECT_TRUE(pManager->IsHooked());
    const POINT ptOutside = ClientPoint();
    const MOUSEHOOKSTRUCT outside = HookRecord(ptOutside);

    // A click on the tracking bar itself leaves it tracking.
    m_pMenuBar->SetTracking(TRUE, TRUE, TRUE);
    const MOUSEHOOKSTRUCT onMenu = HookRecord(MenuBarPoint());
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_LBUTTONDOWN, &onMenu));
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());

    // A visible trusted window over the point keeps the menus; hidden, it does not.
    CWnd trusted;
    ASSERT_TRUE(trusted.CreateEx(
        WS_EX_TOOLWINDOW | WS_EX_TOPMOST, AfxRegisterWndClass(0), L"trusted", WS_POPUP | WS_VISIBLE,
        CRect(ptOutside.x - 20, ptOutside.y - 10, ptOutside.x + 20, ptOutside.y + 10), NULL, 0));
    pManager->AddTrustedWindow(trusted.GetSafeHwnd());
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_LBUTTONDOWN, &outside));
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    trusted.ShowWindow(SW_HIDE);
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_LBUTTONDOWN, &outside));
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    EXPECT_EQ(0, pManager->GetTrackedCount());
    pManager->RemoveTrustedWindow(trusted.GetSafeHwnd());
    trusted.DestroyWindow();

    // Each button that presses outside ends tracking; a button-up only while nothing locks it.
    struct Case
    {
        UINT nMessage;
        long nLock;
        bool bEnds;
    };
    const Case cases[] = {{WM_RBUTTONDOWN, 0, true},   {WM_MBUTTONDOWN, 0, true},
                          {WM_NCLBUTTONDOWN, 0, true}, {WM_NCRBUTTONDOWN, 0, true},
                          {WM_NCMBUTTONDOWN, 0, true}, {WM_LBUTTONUP, 0, true},
                          {WM_NCLBUTTONUP, 0, true},   {WM_LBUTTONUP, 1, false},
                          {WM_RBUTTONUP, 0, false},    {WM_MOUSEMOVE, 0, false}};
    for (const Case& c : cases) {
        m_pMenuBar->SetTracking(TRUE, TRUE, TRUE);
        pManager->m_nLock = c.nLock;
        MOUSEHOOKSTRUCT info = outside;
        info.pt.x += static_cast<LONG>(&c - cases); // a fresh point: a repeated move would be eaten
        pManager->ProcessMouseHook(c.nMessage, &info);
        EXPECT_EQ(c.bEnds, !m_pMenuBar->IsTrackingMode()) << std::hex << c.nMessage << " lock " << c.nLock;
        pManager->m_nLock = 0;
        m_pMenuBar->SetTracking(FALSE);
    }
}

TEST_F(MouseRouting, ButtonUpSwallowingAndRepeatedMovesAreEatenOnce)
{
    CXTPMouseManager* pManager = CXTPMouseManager::GetInstance();
    const MOUSEHOOKSTRUCT info = HookRecord(ControlCenter(m_pToolBar, ID_CB_NEW));

    pManager->IgnoreLButtonUp();
    EXPECT_TRUE(pManager->ProcessMouseHook(WM_LBUTTONUP, &info));
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_LBUTTONUP, &info));
    // A new press forgets an earlier wish to swallow.
    pManager->IgnoreLButtonUp();
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_RBUTTONDOWN, &info));
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_NCLBUTTONUP, &info));

    // Moves at one place reach the application once while a bar tracks, every time otherwise.
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_MOUSEMOVE, &info));
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_MOUSEMOVE, &info));
    m_pMenuBar->SetTracking(TRUE, TRUE, TRUE);
    MOUSEHOOKSTRUCT moved = info;
    moved.pt.x += 1;
    EXPECT_FALSE(pManager->ProcessMouseHook(WM_MOUSEMOVE, &moved));
    EXPECT_TRUE(pManager->ProcessMouseHook(WM_MOUSEMOVE, &moved));
    EXPECT_TRUE(pManager->ProcessMouseHook(WM_NCMOUSEMOVE, &moved));
    // The last bar to stop tracking clears a pending swallow.
    pManager->IgnoreLButtonUp();
    m_pMenuBar->SetTracking(FALSE);
    EXPECT_FALSE(pManager->IsIgnoreLButtonUp());
}

TEST_F(MouseRouting, AClickOnALockedBarClosesTheOtherTrackedBars)
{
    CXTPMouseManager* pManager = CXTPMouseManager::GetInstance();
    m_pMenuBar->SetTracking(TRUE, TRUE, TRUE);
    m_pToolBar->SetTracking(TRUE, FALSE, TRUE);
    ASSERT_EQ(2, pManager->GetTrackedCount());
    m_pMenuBar->m_nLockCount = 1;
    const MOUSEHOOKSTRUCT onMenu = HookRecord(MenuBarPoint());
    pManager->ProcessMouseHook(WM_LBUTTONDOWN, &onMenu);
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    EXPECT_FALSE(m_pToolBar->IsTrackingMode());
    m_pMenuBar->m_nLockCount = 0;
}

TEST_F(MouseRouting, TheMouseLeaveTimerPostsLeaveOnceTheCursorIsOutside)
{
    CXTPMouseManager* pManager = CXTPMouseManager::GetInstance();
    struct LeaveWindow : CWnd
    {
        int m_nLeaves = 0;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_MOUSELEAVE)
                ++m_nLeaves;
            return CWnd::WindowProc(message, wParam, lParam);
        }
    };
    LeaveWindow first, second;
    ASSERT_TRUE(first.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(0, 200, 40, 240),
                               m_pFrame, 1));
    ASSERT_TRUE(second.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE,
                                CRect(50, 200, 90, 240), m_pFrame, 2));
    CRect rcFirst;
    first.GetWindowRect(&rcFirst);
    ::SetCursorPos(rcFirst.CenterPoint().x, rcFirst.CenterPoint().y);

    pManager->TrackMouseLeave(first.GetSafeHwnd());
    pManager->TrackMouseLeave(first.GetSafeHwnd());
    PumpFor(150);
    EXPECT_EQ(0, first.m_nLeaves) << "the cursor is still inside";
    // Watching another window tells the first one at once.
    pManager->TrackMouseLeave(second.GetSafeHwnd());
    EXPECT_EQ(1, first.m_nLeaves);
    EXPECT_EQ(second.GetSafeHwnd(), pManager->GetMouseLeaveWindow());
    PumpFor(1000, [&] { return second.m_nLeaves > 0; });
    EXPECT_EQ(1, second.m_nLeaves);
    EXPECT_EQ(nullptr, pManager->GetMouseLeaveWindow());
    PumpFor(150);
    EXPECT_EQ(1, second.m_nLeaves) << "the timer ends with its message";
}

TEST(KeyboardRouting, SinksAreAskedNewestFirstAndAltEndsTrackingOnce)
{
    CXTPKeyboardManager* pManager = CXTPKeyboardManager::GetInstance();
    std::vector<int> log;
    RecordingSink older(XTP_HOOK_HANDLED, &log, 1);
    RecordingSink newer(XTP_HOOK_NEXT, &log, 2);
    pManager->HookKeyboard(&older);
    pManager->HookKeyboard(&newer);
    pManager->HookKeyboard(&newer);
    EXPECT_TRUE(pManager->ProcessKeyboardHook('A', 1));
    EXPECT_EQ((std::vector<int>{2, 1}), log);
    // 2 stops the walk and lets the key go on; with every sink answering 0 the key is eaten.
    log.clear();
    newer.m_nAnswer = XTP_HOOK_PASS;
    EXPECT_FALSE(pManager->ProcessKeyboardHook('A', 1));
    EXPECT_EQ((std::vector<int>{2}), log);
    newer.m_nAnswer = older.m_nAnswer = XTP_HOOK_NEXT;
    EXPECT_TRUE(pManager->ProcessKeyboardHook('A', 1));
    // Key-ups are never asked about.
    log.clear();
    EXPECT_FALSE(pManager->ProcessKeyboardHook('A', static_cast<LPARAM>(0xC0000001)));
    EXPECT_TRUE(log.empty());
    pManager->UnhookKeyboard(&newer);
    pManager->UnhookKeyboard(&older);
    EXPECT_FALSE(pManager->IsKeyboardHooked());
    EXPECT_FALSE(pManager->ProcessKeyboardHook('A', 1));
}

using KeyboardRoutingOnFrame = FrameTest;

TEST_F(KeyboardRoutingOnFrame, AltDownEndsTrackingAndIsEatenButItsRepeatsAreNot)
{
    CXTPKeyboardManager* pKeyboard = CXTPKeyboardManager::GetInstance();
    m_pMenuBar->SetTracking(TRUE, TRUE, TRUE);
    // A repeated Alt passes without asking the bar.
    EXPECT_FALSE(pKeyboard->ProcessKeyboardHook(VK_MENU, 0x60380001));
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    // While a bar holds the mouse the first Alt goes to the sinks like any key.
    CXTPMouseManager::GetInstance()->m_nLock = 1;
    pKeyboard->ProcessKeyboardHook(VK_MENU, 0x20380001);
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    CXTPMouseManager::GetInstance()->m_nLock = 0;
    EXPECT_TRUE(pKeyboard->ProcessKeyboardHook(VK_MENU, 0x20380001));
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    EXPECT_FALSE(pKeyboard->IsKeyboardHooked());
}

TEST_F(KeyboardRoutingOnFrame, TheApplicationLosingActivationEndsTracking)
{
    m_pMenuBar->SetTracking(TRUE, TRUE, TRUE);
    // A window that is not the frame: only the thread's window-procedure hook sees it.
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, CRect(0, 0, 10, 10), NULL, 0));
    other.SendMessage(WM_ACTIVATEAPP, TRUE);
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    other.SendMessage(WM_ACTIVATEAPP, FALSE);
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    other.DestroyWindow();
}

LRESULT CALLBACK CountingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 5)
        return 5;
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

TEST(WindowHooks, TheSubclassStaysUntilTheLastSinkLeavesAndDestructionGivesTheProcedureBack)
{
    CXTPHookManager* pManager = CXTPHookManager::GetInstance();
    WNDCLASSW wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = L"InputTestHooked";
    ::RegisterClassW(&wc);
    HWND hWnd = ::CreateWindowExW(0, L"InputTestHooked", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                  AfxGetInstanceHandle(), NULL);
    ASSERT_NE(nullptr, hWnd);
    const LONG_PTR original = ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC);

    std::vector<int> log;
    RecordingSink first(XTP_HOOK_NEXT, &log, 1);
    RecordingSink second(XTP_HOOK_NEXT, &log, 2);
    pManager->SetHook(hWnd, &first);
    pManager->SetHook(hWnd, &second);
    EXPECT_NE(original, ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(5, ::SendMessageW(hWnd, WM_USER + 5, 0, 0));
    EXPECT_EQ((std::vector<int>{2, 1}), log);
    // 1 answers for the window; 2 lets the window's own procedure answer and asks no further sink.
    log.clear();
    second.m_nAnswer = XTP_HOOK_HANDLED;
    EXPECT_EQ(77, ::SendMessageW(hWnd, WM_USER + 5, 0, 0));
    second.m_nAnswer = XTP_HOOK_PASS;
    EXPECT_EQ(5, ::SendMessageW(hWnd, WM_USER + 5, 0, 0));
    EXPECT_EQ((std::vector<int>{2, 2}), log);

    pManager->RemoveHook(hWnd, &second);
    EXPECT_TRUE(pManager->IsHooked(hWnd));
    EXPECT_NE(original, ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    pManager->RemoveHook(hWnd, &first);
    EXPECT_FALSE(pManager->IsHooked(hWnd));
    EXPECT_EQ(original, ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));

    // Destroyed while hooked: no sink hears of it, and the record goes.
    pManager->SetHook(hWnd, &first);
    first.m_messages.clear();
    ::DestroyWindow(hWnd);
    EXPECT_FALSE(pManager->IsHooked(hWnd));
    EXPECT_EQ(0,
              std::count(first.m_messages.begin(), first.m_messages.end(), static_cast<UINT>(WM_NCDESTROY)));
}

TEST(WindowHooks, ASubclassAboveTheHookKeepsItsChainWhenTheSinkLeaves)
{
    CXTPHookManager* pManager = CXTPHookManager::GetInstance();
    HWND hWnd = ::CreateWindowExW(0, L"InputTestHooked", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                  AfxGetInstanceHandle(), NULL);
    ASSERT_NE(nullptr, hWnd);
    RecordingSink sink(XTP_HOOK_NEXT, NULL, 1);
    pManager->SetHook(hWnd, &sink);
    // The framework subclasses the window after the hook manager.
    CWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hWnd));
    pManager->RemoveHook(hWnd, &sink);
    EXPECT_FALSE(pManager->IsHooked(hWnd));
    EXPECT_EQ(5, ::SendMessageW(hWnd, WM_USER + 5, 0, 0));
    EXPECT_TRUE(sink.m_messages.empty() || sink.m_messages.back() != WM_USER + 5);
    // A sink may hook it again through the record that stayed.
    pManager->SetHook(hWnd, &sink);
    sink.m_messages.clear();
    ::SendMessageW(hWnd, WM_USER + 5, 0, 0);
    EXPECT_EQ(1u, sink.m_messages.size());
    pManager->RemoveHook(hWnd, &sink);
    wnd.DestroyWindow();
    EXPECT_FALSE(pManager->IsHooked(hWnd));
}

// End to end: the display's own input on the foreground frame.
class RealInput : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        MoveCursor(ClientPoint());
        if (::GetForegroundWindow() != m_pFrame->GetSafeHwnd())
            GTEST_SKIP() << "the frame could not become the foreground window";
    }
};

TEST_F(RealInput, AltAndALetterTrackTheMenuBarAndAClickElsewhereEndsIt)
{
    Chord({VK_MENU, 'F'});
    PumpFor(100);
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    ASSERT_NE(nullptr, m_pMenuBar->GetSelected());
    EXPECT_EQ(CString(L"&File"), m_pMenuBar->GetSelected()->GetCaption());
    Screenshot(L"command_bars_alt_file");
    ClickAt(ClientPoint());
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    EXPECT_EQ(0, CXTPMouseManager::GetInstance()->GetTrackedCount());
}

TEST_F(RealInput, KeyboardCuesUseTwoSwitchesAltAndALetterOff)
{
    m_pBars->GetCommandBarsOptions()->keyboardCuesUse = 2;
    Chord({VK_MENU, 'F'});
    PumpFor(100);
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    m_pBars->GetCommandBarsOptions()->keyboardCuesUse = 1;
}

TEST_F(RealInput, TheArrowKeysMoveTheTrackingMenuBarAndEscapeLeavesIt)
{
    m_pMenuBar->SetTracking(TRUE, TRUE, TRUE);
    ASSERT_EQ(0, m_pMenuBar->GetSelectedIndex());
    Chord({VK_RIGHT});
    EXPECT_EQ(1, m_pMenuBar->GetSelectedIndex());
    // The key went to the bar, not to the focused frame.
    Chord({VK_ESCAPE});
    PumpFor(50);
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
}

// Escape closes a menu and leaves its item highlighted, as the keyboard's place on the bar: the
// mouse and the arrows then move that place without opening menus, a click opens the menu
// clicked, and once the bar stops tracking nothing of it stays highlighted.
TEST_F(RealInput, AfterEscapeAClickOnAnotherMenuOpensItAndNoItemStaysHighlighted)
{
    const auto itemPoint = [&](int nIndex) {
        POINT pt = m_pMenuBar->GetControl(nIndex)->GetRect().CenterPoint();
        m_pMenuBar->ClientToScreen(&pt);
        return pt;
    };
    const auto popupOpen = [&] { return m_pMenuBar->GetPopupedIndex(); };
    const auto hoverTimerFires = [&] { m_pMenuBar->SendMessage(WM_TIMER, XTP_TID_HOVER); };
    const POINT ptFile = itemPoint(0);
    const POINT ptEdit = itemPoint(1);

    MoveCursor(ptFile);
    ClickAt(ptFile);
    PumpFor(1000, [&] { return popupOpen() == 0; });
    ASSERT_EQ(0, popupOpen());
    Chord({VK_ESCAPE});
    EXPECT_EQ(-1, popupOpen());
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    EXPECT_EQ(0, m_pMenuBar->GetSelectedIndex());
    EXPECT_TRUE(m_pMenuBar->IsKeyboardSelected());

    // The way to Edit passes over it; resting there opens nothing either.
    MoveCursor(ptEdit);
    hoverTimerFires();
    EXPECT_EQ(-1, popupOpen());
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    ClickAt(ptEdit);
    PumpFor(1000, [&] { return popupOpen() == 1; });
    EXPECT_EQ(1, popupOpen());
    Screenshot(L"command_bars_edit_after_escape");

    // The keys move the place without opening a menu; Down opens the one there.
    Chord({VK_ESCAPE});
    EXPECT_EQ(1, m_pMenuBar->GetSelectedIndex());
    Chord({VK_LEFT});
    EXPECT_EQ(0, m_pMenuBar->GetSelectedIndex());
    EXPECT_EQ(-1, popupOpen());
    Chord({VK_DOWN});
    PumpFor(1000, [&] { return popupOpen() == 0; });
    EXPECT_EQ(0, popupOpen());

    // Down into the menu, Escape, then a click in the client area: tracking ends with nothing
    // highlighted, though the bar heard the mouse leave it while it was tracking.
    auto* pFileMenu = static_cast<CXTPPopupBar*>(m_pMenuBar->GetControl(0)->GetCommandBar());
    POINT ptNew = pFileMenu->GetControl(0)->GetRect().CenterPoint();
    pFileMenu->ClientToScreen(&ptNew);
    MoveCursor(ptNew);
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    PumpFor(1000, [&] { return pMouseManager->GetMouseLeaveWindow() == pFileMenu->GetSafeHwnd(); });
    ASSERT_EQ(pFileMenu->GetSafeHwnd(), pMouseManager->GetMouseLeaveWindow());
    Chord({VK_ESCAPE});
    EXPECT_EQ(0, m_pMenuBar->GetSelectedIndex());
    ClickAt(ClientPoint());
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    EXPECT_EQ(-1, m_pMenuBar->GetSelectedIndex());

    // A second Escape leaves tracking as well, the item under the cursor or not.
    for (const POINT pt : {ptFile, ClientPoint()}) {
        MoveCursor(ptFile);
        ClickAt(ptFile);
        PumpFor(1000, [&] { return popupOpen() == 0; });
        MoveCursor(pt);
        Chord({VK_ESCAPE});
        Chord({VK_ESCAPE});
        EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
        EXPECT_EQ(-1, popupOpen());
        if (pt.y != ptFile.y) {
            EXPECT_EQ(-1, m_pMenuBar->GetSelectedIndex());
        }
    }
}

TEST_F(RealInput, FTenEntersKeyboardMenuModeButNotWithShiftHeld)
{
    Chord({VK_SHIFT, VK_F10});
    PumpFor(100);
    EXPECT_FALSE(m_pMenuBar->IsTrackingMode());
    Chord({VK_F10});
    PumpFor(100, [&] { return m_pMenuBar->IsTrackingMode() != FALSE; });
    EXPECT_TRUE(m_pMenuBar->IsTrackingMode());
    EXPECT_EQ(0, m_pMenuBar->GetSelectedIndex());
    EXPECT_TRUE(m_pMenuBar->IsKeyboardSelected());
    Chord({VK_ESCAPE});
}

TEST_F(RealInput, AnAcceleratorReachesTheFrameExceptInPrintPreview)
{
    Chord({VK_CONTROL, 'O'});
    PumpFor(50);
    EXPECT_EQ((std::vector<UINT>{ID_CB_OPEN}), m_pFrame->m_commands);
    m_pFrame->m_commands.clear();
    m_pBars->OnSetPreviewMode(TRUE);
    Chord({VK_CONTROL, 'O'});
    PumpFor(50);
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    m_pBars->OnSetPreviewMode(FALSE);
    Chord({VK_CONTROL, 'O'});
    PumpFor(50);
    EXPECT_EQ((std::vector<UINT>{ID_CB_OPEN}), m_pFrame->m_commands);
}

TEST_F(RealInput, CuesThatFollowTheSystemAreHiddenUntilAltAndGoWithItsRelease)
{
    BOOL bSystemCues = TRUE;
    ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &bSystemCues, 0);
    ::SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(FALSE)), 0);
    CXTPCommandBarsOptions* pOptions = m_pBars->GetCommandBarsOptions();
    pOptions->SetKeyboardCuesShow(2);
    EXPECT_TRUE(m_pBars->m_bKeyboardCuesFollowKeyboard);
    EXPECT_FALSE(m_pBars->IsKeyboardCuesShown());

    std::vector<BOOL> seen;
    SendKey(VK_MENU, false);
    seen.push_back(m_pBars->IsKeyboardCuesShown());
    SendKey(VK_MENU, true);
    // Alt alone then puts the menu bar into keyboard menu mode, whose end hides the cues again.
    if (m_pMenuBar->IsTrackingMode())
        Chord({VK_ESCAPE});
    PumpFor(50);
    seen.push_back(m_pBars->IsKeyboardCuesShown());
    EXPECT_EQ((std::vector<BOOL>{TRUE, FALSE}), seen);

    // Cues always (0) and never (1) do not follow the keyboard.
    pOptions->SetKeyboardCuesShow(1);
    EXPECT_FALSE(m_pBars->m_bKeyboardCuesFollowKeyboard);
    EXPECT_FALSE(m_pBars->IsKeyboardCuesShown());
    pOptions->SetKeyboardCuesShow(0);
    EXPECT_TRUE(m_pBars->IsKeyboardCuesShown());
    ::SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0,
                            reinterpret_cast<PVOID>(static_cast<UINT_PTR>(bSystemCues)), 0);
    BOOL bRestored = !bSystemCues;
    ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &bRestored, 0);
    EXPECT_EQ(bSystemCues, bRestored);
}

} // namespace
} // namespace input_test
