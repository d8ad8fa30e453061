// The memory DC, the dithered fill, mnemonic stripping and the toolkit popup menu on both of its
// roads: the plain popup menu while there are no command bars, and a popup bar of the command bars.
#include "command_bars.h"
#include "gradient_fill.h"
#include "image_manager.h"
#include "mem_dc.h"
#include "toolkit_resource_ids.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryDc, EmptyRectangleCoversTheClipBoxAndCopiesBackZeroBased)
{
    PixelSurface surface(40, 30, RGB(255, 255, 255));
    CRgn clip;
    clip.CreateRectRgn(10, 5, 30, 25);
    surface.dc()->SelectClipRgn(&clip);
    {
        CXTMemDC memDC(surface.dc(), CRect());
        ASSERT_TRUE(memDC.IsValid());
        EXPECT_EQ(CRect(10, 5, 30, 25), memDC.GetRect());
        // (0, 0) of the memory DC is the clip box's corner.
        memDC.FillSolidRect(0, 0, 20, 20, RGB(200, 0, 0));
        memDC.SetPixel(0, 0, RGB(0, 0, 200));
    }
    surface.dc()->SelectClipRgn(NULL);
    EXPECT_EQ(RGB(0, 0, 200), surface.Pixel(10, 5));
    EXPECT_EQ(RGB(200, 0, 0), surface.Pixel(29, 24));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(9, 5));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(30, 24));
}

TEST(MemoryDc, GradientPairPreFillsFromStartToEnd)
{
    const CXTColorPair& pair = GetColorTable()->GetGradientPair(8);
    ASSERT_NE(static_cast<COLORREF>(pair.m_clrEnd), static_cast<COLORREF>(-1));
    PixelSurface surface(30, 40, RGB(0, 0, 0));
    {
        CXTMemDC memDC(surface.dc(), CRect(5, 0, 25, 40), pair, FALSE);
    }
    EXPECT_TRUE(ColorsNear(pair.m_clrStart, surface.Pixel(10, 0), 8));
    EXPECT_TRUE(ColorsNear(pair.m_clrEnd, surface.Pixel(10, 39), 8));
    EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(4, 10));

    // Without an end colour the bitmap is left as made: the copy is whatever the bitmap held.
    PixelSurface plain(10, 10, RGB(1, 2, 3));
    {
        CXTMemDC memDC(plain.dc(), CRect(0, 0, 10, 10));
        memDC.FillSolidRect(0, 0, 10, 10, RGB(9, 9, 9));
    }
    EXPECT_EQ(RGB(9, 9, 9), plain.Pixel(5, 5));
}

TEST(DitheredRect, AlternatesColoursFifteenAndTwentyAndRestoresTheDc)
{
    PixelSurface surface(16, 16, RGB(0, 0, 0));
    CDC* pDC = surface.dc();
    pDC->SetTextColor(RGB(1, 1, 1));
    pDC->SetBkColor(RGB(2, 2, 2));
    DrawDitheredRect(pDC, CRect(0, 0, 16, 16));
    const COLORREF clr15 = GetColorTable()->GetColor(15);
    const COLORREF clr20 = GetColorTable()->GetColor(20);
    ASSERT_NE(clr15, clr20);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_NE(surface.Pixel(x, y), surface.Pixel(x + 1, y)) << x << "," << y;
            EXPECT_EQ(surface.Pixel(x, y), surface.Pixel(x + 1, y + 1)) << x << "," << y;
            EXPECT_TRUE(surface.Pixel(x, y) == clr15 || surface.Pixel(x, y) == clr20);
        }
    EXPECT_EQ(RGB(1, 1, 1), pDC->GetTextColor());
    EXPECT_EQ(RGB(2, 2, 2), pDC->GetBkColor());
}

TEST(StripMnemonicsKeepDouble, Table)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {{L"&Open", L"Open"}, {L"A&&B", L"A&&B"}, {L"End&", L"End&"}, {L"&", L"&"},
                 {L"", L""},          {L"&A&b", L"Ab"},   {L"&&&x", L"&&x"}};
    for (const auto& c : cases)
        EXPECT_STREQ(c.expected, StripMnemonicsKeepDouble(c.text).GetString()) << Narrow(c.text);
}

// A window to own the popup menus.
class PopupOwner
{
public:
    PopupOwner()
    {
        m_wnd.CreateEx(0, AfxRegisterWndClass(0), L"popup owner", WS_POPUP | WS_VISIBLE,
                       CRect(100, 100, 300, 300), NULL, 0);
        m_wnd.SetForegroundWindow();
        m_wnd.SetFocus();
    }
    ~PopupOwner() { m_wnd.DestroyWindow(); }
    CWnd* get() { return &m_wnd; }

private:
    CWnd m_wnd;
};

void PostKey(HWND hWnd, UINT vk)
{
    ::PostMessage(hWnd, WM_KEYDOWN, vk, 1);
    ::PostMessage(hWnd, WM_KEYUP, vk, 0xC0000001);
}

// Ends a menu loop that the posted keys did not end.
void CALLBACK EndMenuSafety(HWND, UINT, UINT_PTR, DWORD)
{
    ::EndMenu();
}

TEST(ToolkitPopupMenu, WithoutPopupBarClassShowsAPlainPopupMenu)
{
    CXTPPaintManager::ReleaseGlobal();
    CRuntimeClass* pSavedClass = CXTPPopupBar::m_pPopupBarClass;
    CXTPPopupBar::m_pPopupBarClass = NULL;
    PopupOwner owner;
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(XT_IDM_POPUP));
    CMenu* pPopup = menu.GetSubMenu(2);
    ASSERT_NE(nullptr, pPopup);
    PostKey(owner.get()->GetSafeHwnd(), VK_DOWN);
    PostKey(owner.get()->GetSafeHwnd(), VK_RETURN);
    const UINT_PTR safety = ::SetTimer(NULL, 0, 5000, EndMenuSafety);
    const BOOL nResult =
        TrackToolkitPopupMenu(pPopup, TPM_RETURNCMD | TPM_LEFTALIGN, 120, 120, owner.get(), XT_IDR_TBAR_HDR);
    ::KillTimer(NULL, safety);
    CXTPPopupBar::m_pPopupBarClass = pSavedClass;
    // The default theme is installed, but without a popup-bar class the system's menu shows.
    ASSERT_NE(nullptr, CXTPPaintManager::Instance());
    EXPECT_EQ(0, CXTPPaintManager::Instance()->m_nTheme);
    CXTPPaintManager::ReleaseGlobal();
    EXPECT_EQ(9158, nResult);
}

struct PopupRecord
{
    int nLoads = 0;
    HMENU hMenu = NULL;
    UINT nFlags = 0;
    CPoint point;
    int nReleased = 0;
    BOOL bLoadResult = TRUE;
    BOOL bHadImages = FALSE;
};
PopupRecord g_popup;

class RecordingPopupBar : public CXTPPopupBar
{
    DECLARE_DYNCREATE(RecordingPopupBar)
public:
    BOOL LoadMenu(CMenu* pMenu, BOOL) override
    {
        ++g_popup.nLoads;
        g_popup.hMenu = pMenu->GetSafeHmenu();
        return g_popup.bLoadResult;
    }
    int Popup(UINT nFlags, int x, int y, CWnd*, LPCRECT) override
    {
        g_popup.nFlags = nFlags;
        g_popup.point = CPoint(x, y);
        g_popup.bHadImages = GetImageManager() != XTPImageManager();
        return 9159;
    }
    void OnFinalRelease() override
    {
        ++g_popup.nReleased;
        CXTPPopupBar::OnFinalRelease();
    }
};
IMPLEMENT_DYNCREATE(RecordingPopupBar, CXTPPopupBar)

class PopupBarDoubles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_popup = PopupRecord();
        CXTPPaintManager::SetCustomTheme(new CXTPPaintManager);
        CXTPPopupBar::m_pPopupBarClass = RUNTIME_CLASS(RecordingPopupBar);
    }
    void TearDown() override
    {
        CXTPPopupBar::m_pPopupBarClass = RUNTIME_CLASS(CXTPPopupBar);
        CXTPPaintManager::SetCustomTheme(NULL);
    }
};

TEST_F(PopupBarDoubles, LoadsTheMenuAndTracksWithNoNotify)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(XT_IDM_POPUP));
    CMenu* pPopup = menu.GetSubMenu(2);
    EXPECT_EQ(9159, TrackToolkitPopupMenu(pPopup, TPM_RETURNCMD | TPM_RIGHTBUTTON, 7, 8, AfxGetMainWnd(), 0));
    EXPECT_EQ(1, g_popup.nLoads);
    EXPECT_EQ(pPopup->GetSafeHmenu(), g_popup.hMenu);
    EXPECT_EQ(static_cast<UINT>(TPM_RETURNCMD | TPM_RIGHTBUTTON | 0x80), g_popup.nFlags);
    EXPECT_EQ(CPoint(7, 8), g_popup.point);
    EXPECT_EQ(1, g_popup.nReleased);
    EXPECT_FALSE(g_popup.bHadImages);
    // A toolbar id gives the bar an image manager of its own (the toolbar is not authored: no images).
    TrackToolkitPopupMenu(pPopup, 0, 0, 0, AfxGetMainWnd(), XT_IDR_TBAR_HDR);
    EXPECT_TRUE(g_popup.bHadImages);
    EXPECT_EQ(2, g_popup.nReleased);
}

TEST_F(PopupBarDoubles, AMenuTheBarCannotLoadGivesZeroAndIsNotShown)
{
    g_popup.bLoadResult = FALSE;
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(XT_IDM_POPUP));
    EXPECT_EQ(0, TrackToolkitPopupMenu(menu.GetSubMenu(2), TPM_RETURNCMD, 0, 0, NULL, 0));
    EXPECT_EQ(0u, g_popup.nFlags);
    EXPECT_EQ(1, g_popup.nReleased);
}

TEST(CommandBarsContract, AManagerWithoutFrameHandlesNothing)
{
    // Without a popup-bar class no popup bar is made.
    CXTPPopupBar::m_pPopupBarClass = NULL;
    EXPECT_EQ(nullptr, CXTPPopupBar::CreatePopupBar(NULL));
    CXTPPopupBar::m_pPopupBarClass = RUNTIME_CLASS(CXTPPopupBar);
    CXTPCommandBars* pBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    ASSERT_NE(nullptr, pBars);
    LRESULT lResult = 7;
    EXPECT_FALSE(pBars->OnFrameMessage(WM_SIZE, 0, 0, &lResult));
    EXPECT_EQ(7, lResult);
    MSG msg{};
    EXPECT_FALSE(pBars->PreTranslateFrameMessage(&msg));
    EXPECT_EQ(nullptr, pBars->GetShortcutManager()->GetDefaultAccelerator());
    pBars->InternalRelease();

    CXTPCommandBar bar;
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(XT_IDM_POPUP));
    EXPECT_TRUE(bar.LoadMenu(&menu));
    CMenu notAMenu;
    notAMenu.m_hMenu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(0x1234));
    EXPECT_FALSE(bar.LoadMenu(&notAMenu));
    notAMenu.m_hMenu = NULL;
}

} // namespace
