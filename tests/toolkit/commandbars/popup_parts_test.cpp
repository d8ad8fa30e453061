// The parts of the popup menus that stand on their own: placement in the work area, the window and
// recent-file lists, the drop-shadow ramp and strips, and the menu-sound worker.
#include "popup_test_frame.h"

#include <afxadv.h>

#include <atomic>
#include <set>

using popup_test::PopupFrameTest;
using popup_test::PumpFor;

namespace {

struct PlacementCase
{
    const char* name;
    CSize size;
    CRect rcExclude;
    CPoint pt;
    DWORD dwFlags;
    CRect rcWork;
    CPoint ptExpected;
    int nHeightExpected;
    DWORD dwFlagsExpected;
    BOOL bScroll;
};

TEST(PopupPlacement, FollowsTheTable)
{
    const CRect work(0, 0, 1000, 800);
    const CRect none(0, 0, 0, 0);
    const PlacementCase cases[] = {
        {"point in the open", {100, 200}, none, {300, 100}, 2, work, {300, 100}, 200, 2, FALSE},
        {"point near the bottom opens upwards",
         {100, 200},
         none,
         {300, 700},
         2,
         work,
         {300, 500},
         200,
         2,
         FALSE},
        {"point near the right opens to its left",
         {100, 200},
         none,
         {950, 100},
         2,
         work,
         {850, 100},
         200,
         2,
         FALSE},
        {"right-aligned point", {100, 200}, none, {300, 100}, 3, work, {200, 100}, 200, 3, FALSE},
        {"below a menu-bar item", {100, 200}, {50, 10, 90, 30}, {50, 30}, 2, work, {50, 30}, 200, 2, FALSE},
        {"right-docked toolbar opens left",
         {100, 200},
         {900, 100, 920, 122},
         {920, 100},
         1,
         work,
         {800, 100},
         200,
         1,
         FALSE},
        {"a cascade that does not fit flips left",
         {150, 100},
         {850, 300, 990, 320},
         {990, 300},
         0,
         work,
         {700, 300},
         100,
         1,
         FALSE},
        {"and its own cascade continues left",
         {150, 100},
         {700, 320, 850, 340},
         {850, 320},
         1,
         work,
         {550, 320},
         100,
         1,
         FALSE},
        {"taller than the room above and below: scrolls below",
         {100, 1000},
         {100, 20, 150, 40},
         {100, 40},
         2,
         work,
         {100, 40},
         755,
         2,
         TRUE},
        {"taller than the room above and below: scrolls above",
         {100, 1000},
         {100, 600, 150, 620},
         {100, 620},
         2,
         work,
         {100, 0},
         600,
         2,
         TRUE},
        {"taller than the work area at a point",
         {100, 1000},
         none,
         {300, 100},
         2,
         work,
         {300, 0},
         795,
         2,
         TRUE},
        // A monitor whose origin is not 0: its own left edge and its own centre line count.
        {"left-opening point at the left of a second monitor",
         {100, 200},
         none,
         {1050, 100},
         3,
         CRect(1000, 0, 2000, 800),
         {1000, 100},
         200,
         2,
         FALSE},
        {"point above the centre line of a lower monitor",
         {100, 600},
         none,
         {300, 500},
         2,
         CRect(0, 200, 1000, 1000),
         {300, 395},
         600,
         2,
         FALSE},
    };
    for (const PlacementCase& c : cases) {
        const XTP_POPUP_PLACEMENT place =
            XTPCalcPopupPlacement(c.size, c.rcExclude, c.pt, c.dwFlags, c.rcWork);
        EXPECT_EQ(c.ptExpected, place.pt) << c.name;
        EXPECT_EQ(c.nHeightExpected, place.size.cy) << c.name;
        EXPECT_EQ(c.dwFlagsExpected, place.dwFlags) << c.name;
        EXPECT_EQ(c.bScroll, place.bScroll) << c.name;
    }
}

TEST(PopupLayout, AnEmptyPopupIs22By22PlusBorders)
{
    CXTPPaintManager::SetTheme(1);
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(NULL);
    const CRect rcBorders = pPopup->GetPaintManager()->GetCommandBarBorders(pPopup);
    EXPECT_EQ(CSize(22 + rcBorders.left + rcBorders.right, 22 + rcBorders.top + rcBorders.bottom),
              pPopup->CalcDynamicLayout(0, 0));
    pPopup->InternalRelease();
}

TEST(SpecialLists, NumberedCaptionsDoubleAmpersandsAndGiveAccessKeysUpToTen)
{
    EXPECT_EQ(CString(L"&1 A&&B"), XTPNumberedCaption(1, L"A&B"));
    EXPECT_EQ(CString(L"&9 Nine"), XTPNumberedCaption(9, L"Nine"));
    EXPECT_EQ(CString(L"1&0 Ten"), XTPNumberedCaption(10, L"Ten"));
    EXPECT_EQ(CString(L"11 Eleven"), XTPNumberedCaption(11, L"Eleven"));
}

class MdiListFrame : public CMDIFrameWnd
{
};

TEST(SpecialLists, TheWindowListNumbersTheMdiChildrenOnceAfterTwoOpenings)
{
    CXTPPaintManager::SetTheme(1);
    auto* pFrame = new MdiListFrame;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_PM_MDI, WS_OVERLAPPEDWINDOW));
    pFrame->SetWindowPos(&CWnd::wndTop, 60, 60, 500, 320, SWP_SHOWWINDOW);
    auto* pBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    pBars->AttachFrame(pFrame);
    for (int i = 1; i <= 11; ++i) {
        CString strTitle;
        strTitle.Format(L"W%d", i);
        auto* pChild = new CMDIChildWnd;
        ASSERT_TRUE(pChild->Create(NULL, i == 1 ? CString(L"A&B") : strTitle,
                                   WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault,
                                   pFrame));
    }
    PumpFor(50);
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pBars);
    CXTPControl* pList = pPopup->GetControls()->Add(xtpControlButton, XTP_ID_WINDOWLIST);
    ASSERT_NE(nullptr, DYNAMIC_DOWNCAST(CXTPControlWindowList, pList));
    pPopup->CalcDynamicLayout(0, 0);
    pPopup->CalcDynamicLayout(0, 0);
    ASSERT_EQ(12, pPopup->GetControlCount());
    EXPECT_FALSE(pList->IsVisible());
    EXPECT_EQ(CString(L"&1 A&&B"), pPopup->GetControl(1)->GetCaption());
    EXPECT_EQ(AFX_IDM_FIRST_MDICHILD, static_cast<UINT>(pPopup->GetControl(1)->GetID()));
    EXPECT_EQ(CString(L"1&0 W10"), pPopup->GetControl(10)->GetCaption());
    EXPECT_EQ(CString(L"11 W11"), pPopup->GetControl(11)->GetCaption());
    // The active child (the last created) is checked.
    EXPECT_TRUE(pPopup->GetControl(11)->GetChecked());
    pPopup->InternalRelease();
    pBars->InternalRelease();
    pFrame->DestroyWindow();
    PumpFor(50);
}

TEST(SpecialLists, RecentFilesGetTheirIdsAndAnEmptyListADisabledItem)
{
    CXTPPaintManager::SetTheme(1);
    CWinApp* pApp = AfxGetApp();
    CRecentFileList* pSaved = pApp->m_pRecentFileList;
    auto* pList = new CRecentFileList(0, L"Recent File List", L"File%d", 4);
    pApp->m_pRecentFileList = pList;
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(NULL);
    pPopup->GetControls()->Add(xtpControlButton, ID_PM_NEW);
    CXTPControl* pRecent = pPopup->GetControls()->Add(xtpControlButton, XTP_ID_FILE_MRU);
    ASSERT_NE(nullptr, DYNAMIC_DOWNCAST(CXTPControlRecentFileList, pRecent));

    pPopup->CalcDynamicLayout(0, 0);
    EXPECT_EQ(2, pPopup->GetControlCount());
    EXPECT_TRUE(pRecent->IsVisible());
    EXPECT_FALSE(pRecent->GetEnabled());

    pList->Add(L"C:\\data\\one.vhd");
    pList->Add(L"C:\\data\\two.vhd");
    pList->Add(L"C:\\data\\three.vhd");
    pPopup->CalcDynamicLayout(0, 0);
    pPopup->CalcDynamicLayout(0, 0);
    ASSERT_EQ(5, pPopup->GetControlCount());
    EXPECT_FALSE(pRecent->IsVisible());
    for (int i = 0; i < 3; ++i) {
        CXTPControl* pEntry = pPopup->GetControl(2 + i);
        EXPECT_EQ(XTP_ID_FILE_MRU_FIRST + i, pEntry->GetID());
        EXPECT_TRUE(pEntry->IsTemporary());
        EXPECT_EQ(i == 0, pEntry->GetBeginGroup());
    }
    EXPECT_EQ(0, pPopup->GetControl(2)->GetCaption().Find(L"&1 "));
    EXPECT_NE(-1, pPopup->GetControl(2)->GetCaption().Find(L"three.vhd"));
    pPopup->InternalRelease();
    pApp->m_pRecentFileList = pSaved;
    delete pList;
}

TEST(SpecialLists, TheOleVerbsHideAndInsertNothing)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_PM_NEW, L"&New");
    menu.AppendMenu(MF_STRING, XTP_ID_OLE_VERBS, L"<<OLE VERBS GO HERE>>");
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(NULL);
    ASSERT_TRUE(pPopup->LoadMenu(&menu));
    pPopup->CalcDynamicLayout(0, 0);
    ASSERT_EQ(2, pPopup->GetControlCount());
    EXPECT_FALSE(pPopup->GetControl(1)->IsVisible());
    pPopup->InternalRelease();
}

// The ramp as the formula gives it: f = 0.05 d e and a = 3 k d e in a corner, f = 0.25 d and
// a = 15 k d along the strip; d counts from the outer edge, e from the strip's end.
TEST(PopupShadows, TheRampMatchesTheFormula)
{
    const COLORREF clr = RGB(200, 100, 40);
    for (int k : {1, 2}) {
        const std::vector<DWORD> right = XTPShadowRampImage(4, 12, FALSE, clr, k);
        const std::vector<DWORD> bottom = XTPShadowRampImage(16, 4, TRUE, clr, k);
        for (int d = 1; d <= 4; ++d) {
            for (int e = 1; e <= 4; ++e) {
                const DWORD expected = XTPShadowPixel(clr, 0.05 * d * e, 3 * k * d * e);
                EXPECT_EQ(expected, right[static_cast<size_t>((e - 1) * 4 + (4 - d))]) << k << d << e;
                EXPECT_EQ(expected, bottom[static_cast<size_t>((4 - d) * 16 + (e - 1))]) << k << d << e;
                EXPECT_EQ(expected, bottom[static_cast<size_t>((4 - d) * 16 + (16 - e))]) << k << d << e;
            }
            const DWORD along = XTPShadowPixel(clr, 0.25 * d, 15 * k * d);
            EXPECT_EQ(along, right[static_cast<size_t>(8 * 4 + (4 - d))]);
            EXPECT_EQ(along, bottom[static_cast<size_t>((4 - d) * 16 + 7)]);
        }
        // Next to the owner the strip is the full colour at alpha 60 k.
        EXPECT_EQ((static_cast<DWORD>(60 * k) << 24) | 0xC86428u, right[8 * 4]);
    }
    EXPECT_EQ(0x7F000000u | (25u << 16) | (12u << 8) | 5u, XTPShadowPixel(clr, 0.125, 127));
}

TEST_F(PopupFrameTest, AFlatPopupGetsTwoStripsThatLetClicksThroughAndGoWithIt)
{
    CXTPShadowManager* pShadows = CXTPShadowManager::GetInstance();
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(m_pBars);
    pPopup->GetControls()->Add(xtpControlButton, ID_PM_NEW);
    pPopup->GetControls()->Add(xtpControlButton, ID_PM_OPEN);
    ASSERT_TRUE(pPopup->SetPopupPosition(200, 150, NULL));
    CRect rc;
    pPopup->GetWindowRect(&rc);
    std::vector<CXTPShadowWnd*> strips;
    for (CXTPShadowWnd* pShadow : pShadows->GetShadows())
        if (pShadow->GetOwnerBar() == pPopup)
            strips.push_back(pShadow);
    ASSERT_EQ(2u, strips.size());
    const int s = pShadows->GetShadowSize();
    CRect rcBottom, rcRight;
    strips[0]->GetWindowRect(&rcBottom);
    strips[1]->GetWindowRect(&rcRight);
    EXPECT_TRUE(strips[0]->IsBottom());
    EXPECT_EQ(CRect(rc.left + s, rc.bottom, rc.right + s, rc.bottom + s), rcBottom);
    EXPECT_EQ(CRect(rc.right, rc.top + s, rc.right + s, rc.bottom), rcRight);
    EXPECT_TRUE(strips[0]->IsWindowVisible());
    EXPECT_EQ(HTTRANSPARENT,
              strips[1]->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rcRight.left, rcRight.top + 2)));
    const HWND hBottom = strips[0]->GetSafeHwnd();

    pPopup->ShowWindow(SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(hBottom));
    pPopup->ShowWindow(SW_SHOWNA);
    EXPECT_TRUE(::IsWindowVisible(hBottom));
    pPopup->SetTracking(FALSE);
    EXPECT_FALSE(::IsWindow(hBottom));
    for (CXTPShadowWnd* pShadow : pShadows->GetShadows())
        EXPECT_NE(pPopup, pShadow->GetOwnerBar());
    pPopup->InternalRelease();
}

TEST_F(PopupFrameTest, ADefaultThemePopupFollowsTheSystemShadowSetting)
{
    CXTPPaintManager::SetTheme(0);
    BOOL bDropShadow = FALSE;
    ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &bDropShadow, 0);
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(m_pBars);
    pPopup->GetControls()->Add(xtpControlButton, ID_PM_NEW);
    ASSERT_TRUE(pPopup->SetPopupPosition(200, 150, NULL));
    size_t nStrips = 0;
    for (CXTPShadowWnd* pShadow : CXTPShadowManager::GetInstance()->GetShadows())
        nStrips += pShadow->GetOwnerBar() == pPopup ? 1 : 0;
    EXPECT_EQ(bDropShadow && CXTPShadowManager::GetInstance()->IsLayered() ? 2u : 0u, nStrips);
    pPopup->SetTracking(FALSE);
    pPopup->InternalRelease();
}

TEST_F(PopupFrameTest, TheAnimationKindFollowsTheOptionAndTheSystem)
{
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(m_pBars);
    pPopup->GetControls()->Add(xtpControlButton, ID_PM_NEW);
    auto kindShown = [&](long nOption) {
        m_pBars->GetCommandBarsOptions()->animationType = nOption;
        EXPECT_TRUE(pPopup->SetPopupPosition(200, 150, NULL));
        const int nKind = pPopup->m_nLastAnimation;
        pPopup->SetTracking(FALSE);
        return nKind;
    };
    // Random picks among unfold, slide and fade.
    std::set<int> kinds;
    for (int i = 0; i < 15; ++i)
        kinds.insert(kindShown(1));
    EXPECT_EQ((std::set<int>{2, 3, 4}), kinds);
    for (int nKind : {2, 3, 4, 5})
        EXPECT_EQ(nKind, kindShown(nKind));
    // The system default: none without menu animation, else fade or slide.
    BOOL bAnimation = FALSE, bFade = FALSE;
    ::SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &bAnimation, 0);
    ::SystemParametersInfoW(SPI_GETMENUFADE, 0, &bFade, 0);
    EXPECT_EQ(!bAnimation ? 5 : bFade ? 4 : 3, kindShown(0));
    pPopup->InternalRelease();
}

// The menu sounds through the seam: counted, and one that blocks until released.
std::atomic<int> g_nCommandSounds{0};
std::atomic<int> g_nPopupSounds{0};
std::atomic<bool> g_bPlaying{false};
HANDLE g_hRelease = NULL;

BOOL CALLBACK CountSound(LPCWSTR lpszAlias, DWORD)
{
    if (lpszAlias == NULL)
        return TRUE;
    if (CString(lpszAlias) == L"MenuCommand")
        ++g_nCommandSounds;
    else if (CString(lpszAlias) == L"MenuPopup")
        ++g_nPopupSounds;
    return TRUE;
}

BOOL CALLBACK BlockingSound(LPCWSTR lpszAlias, DWORD)
{
    if (lpszAlias == NULL)
        return TRUE;
    g_bPlaying = true;
    ::WaitForSingleObject(g_hRelease, 5000);
    return TRUE;
}

class MenuSounds : public PopupFrameTest
{
protected:
    void SetUp() override
    {
        MenuSoundStop();
        PumpFor(120);
        g_nCommandSounds = 0;
        g_nPopupSounds = 0;
        MenuSoundSetPlayProc(CountSound);
        MenuSoundEnable(TRUE);
        PopupFrameTest::SetUp();
    }
    void TearDown() override
    {
        PopupFrameTest::TearDown();
        MenuSoundStop();
        PumpFor(120);
        MenuSoundSetPlayProc(NULL);
        MenuSoundEnable(TRUE);
    }
};

TEST_F(MenuSounds, OnePopupSoundPerPopupAndOneCommandSoundPerExecute)
{
    m_pMenuBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(MenuItem(L"&File")));
    PumpFor(100);
    EXPECT_EQ(1, g_nPopupSounds.load());
    popup_test::HookKey(VK_DOWN);
    popup_test::HookKey(VK_RETURN);
    PumpFor(100);
    EXPECT_EQ(1, g_nCommandSounds.load());
    EXPECT_EQ(1, g_nPopupSounds.load());
    EXPECT_EQ(std::vector<UINT>{ID_PM_NEW}, m_pFrame->m_commands);
}

TEST_F(MenuSounds, TwoRequestsWithinFiveMillisecondsPlayOnce)
{
    MenuSoundPlay(XTP_MENUSOUND_COMMAND);
    MenuSoundPlay(XTP_MENUSOUND_COMMAND);
    PumpFor(100);
    EXPECT_EQ(1, g_nCommandSounds.load());
    MenuSoundPlay(XTP_MENUSOUND_COMMAND);
    PumpFor(100);
    EXPECT_EQ(2, g_nCommandSounds.load());
}

TEST_F(MenuSounds, StopReturnsWithinAboutATenthOfASecondWhileASoundBlocks)
{
    MenuSoundStop();
    PumpFor(120);
    g_hRelease = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    g_bPlaying = false;
    MenuSoundSetPlayProc(BlockingSound);
    MenuSoundPlay(XTP_MENUSOUND_POPUP);
    PumpFor(1000, [] { return g_bPlaying.load(); });
    ASSERT_TRUE(g_bPlaying.load());
    const DWORD dwStart = ::GetTickCount();
    MenuSoundStop();
    EXPECT_LT(::GetTickCount() - dwStart, 300u);
    EXPECT_FALSE(MenuSoundIsRunning());
    MenuSoundStop();
    // While the old worker still plays, no second worker starts.
    MenuSoundPlay(XTP_MENUSOUND_POPUP);
    EXPECT_FALSE(MenuSoundIsRunning());
    ::SetEvent(g_hRelease);
    PumpFor(200);
    MenuSoundSetPlayProc(CountSound);
    MenuSoundPlay(XTP_MENUSOUND_POPUP);
    EXPECT_TRUE(MenuSoundIsRunning());
    PumpFor(100);
    EXPECT_EQ(1, g_nPopupSounds.load());
    ::CloseHandle(g_hRelease);
    g_hRelease = NULL;
}

TEST_F(MenuSounds, DisabledSoundsNeverStartAWorker)
{
    MenuSoundStop();
    MenuSoundEnable(FALSE);
    MenuSoundPlay(XTP_MENUSOUND_COMMAND);
    EXPECT_FALSE(MenuSoundIsRunning());
    PumpFor(50);
    EXPECT_EQ(0, g_nCommandSounds.load());
}

} // namespace
