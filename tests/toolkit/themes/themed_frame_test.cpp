// The paint themes on a real frame: the gradient theme's bands, bar fills, edge line, open menu item
// and popup read back through WM_PRINTCLIENT; the visual-style theme drawing like the classic one
// without visual styles and like the visual-style library with them; and the frame's screenshots in
// every theme. The menu opens in a small popup bar of this test that shows its items in a column.
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "draw_helpers.h"
#include "frame_wnd.h"
#include "gradient_fill.h"
#include "support/screenshot.h"
#include "themes_test.h"
#include "toolkit_test_app.h"

#include <afxpriv.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Shows a submenu as a column of its items under the control that opens it.
class ColumnPopupBar : public CXTPPopupBar
{
    DECLARE_DYNCREATE(ColumnPopupBar)
public:
    using CXTPPopupBar::Popup;
    BOOL Popup(CXTPControlPopup* pControlPopup, BOOL) override
    {
        m_pControlPopup = pControlPopup;
        CXTPCommandBar* pParent = pControlPopup->GetParent();
        CXTPPaintManagerCore* pPaintManager = GetPaintManager();
        const CRect rectBorders = pPaintManager->GetCommandBarBorders(this);
        CWindowDC dc(NULL);
        CXTFontSelector font(&dc, pPaintManager->GetRegularFont());
        int nWidth = 0;
        int y = rectBorders.top;
        std::vector<std::pair<int, int>> rows;
        for (int i = 0; i < GetControlCount(); ++i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->GetBeginGroup() && i > 0)
                y += pPaintManager->DrawCommandBarSeparator(&dc, this, pControl, FALSE).cy;
            const CSize size = pControl->GetSize(&dc);
            rows.emplace_back(y, size.cy);
            nWidth = std::max(nWidth, static_cast<int>(size.cx));
            y += size.cy;
        }
        for (int i = 0; i < GetControlCount(); ++i) {
            const CRect rect(rectBorders.left, rows[i].first, rectBorders.left + nWidth,
                             rows[i].first + rows[i].second);
            GetControl(i)->SetRect(rect);
            GetControl(i)->SetRowRect(rect);
        }
        CRect rectControl = pControlPopup->GetRect();
        pParent->ClientToScreen(&rectControl);
        const CRect rectWindow(rectControl.left, rectControl.bottom - 1,
                               rectControl.left + nWidth + rectBorders.left + rectBorders.right,
                               rectControl.bottom - 1 + y + rectBorders.bottom);
        if (GetSafeHwnd() == NULL &&
            !CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW)),
                      NULL, WS_POPUP, rectWindow, pParent, 0))
            return FALSE;
        SetWindowPos(&CWnd::wndTopMost, rectWindow.left, rectWindow.top, rectWindow.Width(),
                     rectWindow.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        return TRUE;
    }
};
IMPLEMENT_DYNCREATE(ColumnPopupBar, CXTPPopupBar)

class ThemesFrame : public CXTPFrameWnd
{
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        if (commandbars_test::AttachMenuAndStandardBars(this, m_pCommandBars, IDR_CB_FRAME) == NULL)
            return -1;
        return 0;
    }
    afx_msg void OnCommand() {}
    afx_msg void OnUpdateOpen(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(ThemesFrame, CXTPFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_CB_NEW, OnCommand)
    ON_COMMAND(ID_CB_SAVE, OnCommand)
    ON_COMMAND(ID_CB_PRINT, OnCommand)
    ON_COMMAND(ID_CB_UNDO, OnCommand)
    ON_UPDATE_COMMAND_UI(ID_CB_OPEN, OnUpdateOpen)
END_MESSAGE_MAP()
// clang-format on

// The program's own theme: theme 4 with a white face for its bars and docks and a banner at the
// top right of the dock.
class ProgramTheme : public CXTPPaintThemeNo4
{
public:
    ProgramTheme()
    {
        // A 300 x 40 banner: a blue ramp with a light band across it.
        m_banner.Attach(::CreateCompatibleBitmap(CWindowDC(NULL).GetSafeHdc(), 300, 40));
        CDC dc;
        dc.CreateCompatibleDC(NULL);
        CBitmap* pOld = dc.SelectObject(&m_banner);
        CXTGdiHelper::FillGradient(&dc, CRect(0, 0, 300, 40), RGB(20, 60, 140), RGB(120, 170, 230), TRUE);
        dc.FillSolidRect(0, 18, 300, 4, RGB(255, 255, 255));
        dc.SelectObject(pOld);
    }
    void RefreshMetrics() override
    {
        CXTPPaintThemeNo4::RefreshMetrics();
        const int nIndex = 57;
        const COLORREF clrWhite = RGB(255, 255, 255);
        SetColors(1, &nIndex, &clrWhite);
    }
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override
    {
        if (pBar->GetPosition() == xtpBarPopup || pBar->GetPosition() == xtpBarFloating) {
            CXTPPaintThemeNo4::FillCommandBar(pDC, pBar);
            return;
        }
        pDC->FillSolidRect(CXTWndClientRect(pBar), GetColor(57));
    }
    void FillDockBar(CDC* pDC, CXTPDockBar* pBar) override
    {
        const CRect rect = CXTWndClientRect(pBar);
        pDC->FillSolidRect(rect, GetColor(57));
        if (pBar->GetPosition() != xtpBarTop)
            return;
        CDC dc;
        dc.CreateCompatibleDC(pDC);
        CBitmap* pOld = dc.SelectObject(&m_banner);
        pDC->BitBlt(rect.Width() - 320, 17, 300, 40, &dc, 0, 0, SRCCOPY);
        dc.SelectObject(pOld);
    }

private:
    CBitmap m_banner;
};

// Dock bars answer WM_PRINT, bars WM_PRINTCLIENT.
std::unique_ptr<PixelSurface> PrintClient(CWnd* pWnd, UINT nMessage = WM_PRINTCLIENT)
{
    CRect rect;
    pWnd->GetClientRect(&rect);
    auto surface = std::make_unique<PixelSurface>(rect.Width(), rect.Height(), RGB(1, 2, 3));
    pWnd->SendMessage(nMessage, reinterpret_cast<WPARAM>(surface->dc()->m_hDC), PRF_CLIENT);
    return surface;
}

bool SamePixels(const PixelSurface& a, const PixelSurface& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) {
                ADD_FAILURE() << "first difference at " << x << "," << y;
                return false;
            }
    return true;
}

class ThemedFrame : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pPopupBarClass = CXTPPopupBar::m_pPopupBarClass;
        CXTPPopupBar::m_pPopupBarClass = RUNTIME_CLASS(ColumnPopupBar);
    }
    static void TearDownTestSuite()
    {
        CXTPPopupBar::m_pPopupBarClass = s_pPopupBarClass;
        CXTPPaintManager::ReleaseGlobal();
    }
    void SetUp() override
    {
        CXTPPaintManager::SetTheme(0);
        m_pFrame = new ThemesFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_CB_FRAME, WS_OVERLAPPEDWINDOW));
        AfxGetThread()->m_pMainWnd = m_pFrame;
        m_pFrame->SetWindowPos(&CWnd::wndTop, 40, 40, 560, 300, SWP_SHOWWINDOW);
        m_pBars = m_pFrame->GetCommandBars();
        ASSERT_NE(nullptr, m_pBars);
        m_pMenuBar = m_pBars->GetMenuBar();
        m_pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, m_pBars->GetAt(1));
        ASSERT_NE(nullptr, m_pToolBar);
        Relayout();
    }
    void TearDown() override
    {
        CloseMenu();
        AfxGetThread()->m_pMainWnd = NULL;
        m_pFrame->DestroyWindow();
        PumpMessages();
    }
    void Relayout()
    {
        m_pBars->RecalcFrameLayout();
        m_pFrame->RecalcLayout();
        m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        m_pToolBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        PumpMessages();
    }
    void Install(int nTheme)
    {
        CloseMenu();
        CXTPPaintManager::SetTheme(nTheme);
        Relayout();
    }
    CXTPControlPopup* MenuControl() const
    {
        return DYNAMIC_DOWNCAST(CXTPControlPopup, m_pMenuBar->GetControl(0));
    }
    CXTPCommandBar* OpenMenu()
    {
        CXTPControlPopup* pFile = MenuControl();
        EXPECT_TRUE(pFile->SetPopupOpen(TRUE));
        PumpMessages();
        return pFile->GetCommandBar();
    }
    void CloseMenu()
    {
        CXTPControlPopup* pFile = MenuControl();
        if (pFile == NULL || pFile->GetCommandBar() == NULL)
            return;
        pFile->SetPopupOpen(FALSE);
        if (pFile->GetCommandBar()->GetSafeHwnd() != NULL)
            pFile->GetCommandBar()->DestroyWindow();
        PumpMessages();
    }
    // The frame as it stands above the frame with its first menu open, in one picture.
    void Screenshot(const wchar_t* pszName)
    {
        m_pFrame->RedrawWindow(NULL, NULL,
                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        CRect rect;
        m_pFrame->GetWindowRect(&rect);
        HDC hScreen = ::GetDC(NULL);
        std::vector<std::uint32_t> pixels = test_support::CaptureDc(hScreen, rect);
        CXTPCommandBar* pPopup = OpenMenu();
        pPopup->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        m_pMenuBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessages();
        const std::vector<std::uint32_t> open = test_support::CaptureDc(hScreen, rect);
        ::ReleaseDC(NULL, hScreen);
        CloseMenu();
        ASSERT_EQ(static_cast<size_t>(rect.Width() * rect.Height()), pixels.size());
        ASSERT_EQ(pixels.size(), open.size());
        pixels.insert(pixels.end(), open.begin(), open.end());
        EXPECT_TRUE(test_support::WritePng(test_support::ScreenshotPath(pszName), pixels.data(), rect.Width(),
                                           2 * rect.Height()));
    }

    static CRuntimeClass* s_pPopupBarClass;
    ThemesFrame* m_pFrame = nullptr;
    CXTPCommandBars* m_pBars = nullptr;
    CXTPMenuBar* m_pMenuBar = nullptr;
    CXTPToolBar* m_pToolBar = nullptr;
};

CRuntimeClass* ThemedFrame::s_pPopupBarClass = NULL;

TEST_F(ThemedFrame, Theme4BandsBarsAndTheEdgeLine)
{
    Install(4);
    auto* pTheme = dynamic_cast<CXTPPaintThemeNo4*>(CXTPPaintManager::Instance());
    ASSERT_NE(nullptr, pTheme);
    ASSERT_EQ(xtSchemeNone, GetColorTable()->GetCurrentScheme());
    const auto toolbar = PrintClient(m_pToolBar);
    const int w = toolbar->width(), h = toolbar->height();
    int nLastBottom = 0;
    for (int i = 0; i < m_pToolBar->GetControlCount(); ++i)
        if (m_pToolBar->GetControl(i)->IsVisible())
            nLastBottom = m_pToolBar->GetControl(i)->GetRect().bottom;
    ASSERT_LT(nLastBottom, h);
    // The bar gradient from one pixel below the top to one below the last control, then its end colour.
    const CXTColorPair& bar = pTheme->m_clrCommandBar;
    const int xFree = w - 4;
    EXPECT_TRUE(ColorsNear(bar.m_clrStart, toolbar->Pixel(xFree, 1), 2));
    EXPECT_TRUE(ColorsNear(bar.m_clrEnd, toolbar->Pixel(xFree, nLastBottom - 1), 6));
    EXPECT_EQ(static_cast<COLORREF>(bar.m_clrEnd), toolbar->Pixel(4, h - 1));
    // The edge line along the bottom from x 5 to two pixels before the right edge.
    const COLORREF clrEdge = pTheme->m_clrCommandBarEdge;
    EXPECT_EQ(clrEdge, toolbar->Pixel(5, h - 1));
    EXPECT_EQ(clrEdge, toolbar->Pixel(w - 3, h - 1));
    EXPECT_NE(clrEdge, toolbar->Pixel(w - 2, h - 1));
    EXPECT_NE(clrEdge, toolbar->Pixel(5, h - 2));

    // The dock band runs on under the bar: its left strip shows the dock's colours at the same place.
    CXTPDockBar* pDock = m_pBars->GetDockBar(xtpBarTop);
    const auto dock = PrintClient(pDock, WM_PRINT);
    CRect rectBar;
    m_pToolBar->GetWindowRect(&rectBar);
    pDock->ScreenToClient(&rectBar);
    for (int x : {0, 1, 2})
        EXPECT_TRUE(
            ColorsNear(dock->Pixel(rectBar.left + x, rectBar.top + h / 2), toolbar->Pixel(x, h / 2), 1))
            << x;
    EXPECT_TRUE(ColorsNear(pTheme->m_clrDockBar.m_clrStart, dock->Pixel(0, dock->height() - 1), 2));

    // The tall gripper: 8 x max(25, text + 6), a column of dark dots each with a light one below right.
    const int nGripper = std::max(25, pTheme->GetTextHeight() + 6);
    EXPECT_EQ(CSize(8, nGripper), pTheme->DrawSpecialGripper(NULL, m_pToolBar, FALSE));
    PixelSurface gripper(w, nGripper + 6, RGB(1, 2, 3));
    pTheme->DrawSpecialGripper(gripper.dc(), m_pToolBar, TRUE);
    EXPECT_EQ(pTheme->GetColor(38), gripper.Pixel(5, 7));
    EXPECT_EQ(pTheme->GetColor(COLOR_3DHIGHLIGHT), gripper.Pixel(7, 9));
    EXPECT_EQ(pTheme->GetColor(38), gripper.Pixel(5, 11));
    EXPECT_TRUE(ColorsNear(pTheme->m_clrCommandBar.m_clrStart, gripper.Pixel(10, 3), 2));
    EXPECT_EQ(RGB(1, 2, 3), gripper.Pixel(10, 3 + nGripper));
    EXPECT_EQ(CRect(4, 2, 2, 2), pTheme->GetCommandBarBorders(m_pToolBar));

    // The expand button's glyph in the idle text colour: a line 10 pixels above its bottom and a down
    // triangle below it.
    CXTPControl* pExpand = m_pToolBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND);
    ASSERT_NE(nullptr, pExpand);
    ASSERT_TRUE(pExpand->IsVisible());
    const CRect rectExpand = pExpand->GetRect();
    const int cx = (rectExpand.left + rectExpand.right) / 2;
    const COLORREF clrGlyph = pTheme->GetColor(46);
    for (int x = cx - 2; x < cx + 3; ++x)
        EXPECT_EQ(clrGlyph, toolbar->Pixel(x, rectExpand.bottom - 10)) << x;
    EXPECT_NE(clrGlyph, toolbar->Pixel(cx, rectExpand.bottom - 9));
    for (const CPoint pt : {CPoint(cx - 2, rectExpand.bottom - 7), CPoint(cx + 2, rectExpand.bottom - 7),
                            CPoint(cx, rectExpand.bottom - 5)})
        EXPECT_EQ(clrGlyph, toolbar->Pixel(pt.x, pt.y)) << pt.x << "," << pt.y;
    EXPECT_NE(clrGlyph, toolbar->Pixel(cx, rectExpand.bottom - 4));
}

TEST_F(ThemedFrame, Theme4OpenMenuItemAndPopup)
{
    Install(4);
    auto* pTheme = dynamic_cast<CXTPPaintThemeNo4*>(CXTPPaintManager::Instance());
    ASSERT_NE(nullptr, pTheme);
    CXTPCommandBar* pPopup = OpenMenu();
    ASSERT_NE(nullptr, pPopup);
    ASSERT_TRUE(MenuControl()->GetPopuped());
    const auto menuBar = PrintClient(m_pMenuBar);
    const CRect rect = MenuControl()->GetRect();
    // The open item: the open-control gradient, top to bottom, in a colour-43 border.
    EXPECT_EQ(pTheme->GetColor(43), menuBar->Pixel(rect.left, rect.top));
    EXPECT_EQ(pTheme->GetColor(43), menuBar->Pixel(rect.right - 1, rect.bottom - 1));
    EXPECT_TRUE(
        ColorsNear(pTheme->m_clrPopupControl.m_clrStart, menuBar->Pixel(rect.left + 2, rect.top + 1), 3));
    EXPECT_TRUE(
        ColorsNear(pTheme->m_clrPopupControl.m_clrEnd, menuBar->Pixel(rect.left + 2, rect.bottom - 2), 6));

    // The popup: colour-43 frame, colour-41 face, the gripper column in the bar gradient and the seam
    // under the open item in the face colour.
    const auto popup = PrintClient(pPopup);
    EXPECT_EQ(pTheme->GetColor(43), popup->Pixel(popup->width() - 1, popup->height() / 2));
    EXPECT_EQ(pTheme->GetColor(41), popup->Pixel(popup->width() - 3, popup->height() - 3));
    EXPECT_TRUE(ColorsNear(pTheme->m_clrCommandBar.m_clrStart, popup->Pixel(1, popup->height() - 6), 2));
    EXPECT_EQ(pTheme->GetColor(41), popup->Pixel(rect.Width() / 2, 0));
}

TEST_F(ThemedFrame, Theme2FloatingBarsKeepTheirGradientOnlyWhenTheyMayDock)
{
    Install(2);
    auto* pTheme = dynamic_cast<CXTPPaintThemeNo2*>(CXTPPaintManager::Instance());
    ASSERT_NE(nullptr, pTheme);
    ASSERT_TRUE(m_pToolBar->SetPosition(xtpBarFloating));
    PumpMessages();
    ASSERT_EQ(xtpBarFloating, m_pToolBar->GetPosition());
    CXTPControl* pSave = m_pToolBar->GetControls()->FindControl(ID_CB_SAVE);
    ASSERT_NE(nullptr, pSave);
    for (DWORD dwFlags : {DWORD(xtpFlagAlignAny | xtpFlagFloating), DWORD(xtpFlagFloating)}) {
        SCOPED_TRACE(dwFlags);
        m_pToolBar->SetFlags(dwFlags);
        const auto bar = PrintClient(m_pToolBar);
        const COLORREF clrFrame = pTheme->GetColor(43);
        for (const CPoint pt :
             {CPoint(0, 0), CPoint(1, 1), CPoint(2, 2), CPoint(bar->width() - 2, bar->height() - 2)})
            EXPECT_EQ(clrFrame, bar->Pixel(pt.x, pt.y)) << pt.x << "," << pt.y;
        // The gap before "Save" shows the row's background: the bar gradient only on a bar that may dock.
        const CRect rectRow = pSave->GetRowRect();
        const int y = pSave->GetRect().CenterPoint().y;
        const COLORREF clrGap = bar->Pixel(pSave->GetRect().left - 2, y);
        if (dwFlags & xtpFlagAlignAny) {
            const CXTColorPair& gradient = pTheme->m_clrCommandBar;
            const double dAt = double(y - rectRow.top) / rectRow.Height();
            const auto mix = [dAt](int a, int b) { return static_cast<int>(a + (b - a) * dAt + 0.5); };
            const COLORREF clrStart = gradient.m_clrStart, clrEnd = gradient.m_clrEnd;
            const COLORREF clrExpected =
                RGB(mix(GetRValue(clrStart), GetRValue(clrEnd)), mix(GetGValue(clrStart), GetGValue(clrEnd)),
                    mix(GetBValue(clrStart), GetBValue(clrEnd)));
            EXPECT_TRUE(ColorsNear(clrExpected, clrGap, 3));
        } else {
            EXPECT_EQ(pTheme->GetColor(30), clrGap);
        }
    }
}

// Run on its own without the visual-style library.
class WithoutVisualStyleLibrary : public ThemedFrame
{
};

TEST_F(WithoutVisualStyleLibrary, TheVisualStyleThemeDrawsLikeTheClassicOne)
{
    CXTThemeHandle toolbarTheme;
    toolbarTheme.Open(m_pFrame->GetSafeHwnd(), L"TOOLBAR");
    ASSERT_FALSE(toolbarTheme.GetHandle() != NULL && toolbarTheme.IsAppThemed());
    std::unique_ptr<PixelSurface> pictures[2][3];
    for (int nPass = 0; nPass < 2; ++nPass) {
        Install(nPass == 0 ? 0 : 3);
        pictures[nPass][0] = PrintClient(m_pToolBar);
        pictures[nPass][2] = PrintClient(OpenMenu());
        pictures[nPass][1] = PrintClient(m_pMenuBar);
        CloseMenu();
    }
    EXPECT_TRUE(SamePixels(*pictures[0][0], *pictures[1][0])) << "toolbar";
    EXPECT_TRUE(SamePixels(*pictures[0][1], *pictures[1][1])) << "menu bar";
    EXPECT_TRUE(SamePixels(*pictures[0][2], *pictures[1][2])) << "popup";
}

// The theme-3 paths that need Wine's light visual style, which the test prefix has active.
class VisualStyleTheme : public ThemedFrame
{
protected:
    void SetUp() override
    {
        ThemedFrame::SetUp();
        m_toolbarTheme.Open(m_pFrame->GetSafeHwnd(), L"TOOLBAR");
        if (m_toolbarTheme.GetHandle() == NULL || !m_toolbarTheme.IsAppThemed())
            GTEST_SKIP() << "no visual style is active";
        Install(3);
    }
    CXTThemeHandle m_toolbarTheme;
};

TEST_F(VisualStyleTheme, ButtonStatesAreTheLibrarysToolbarButtons)
{
    struct Case
    {
        const char* name;
        int nSelected, nPressed;
        BOOL bEnabled, bChecked, bPopuped;
        int nState;
    };
    const Case cases[] = {
        {"normal", 0, 0, TRUE, FALSE, FALSE, 1},
        {"hot", 1, 0, TRUE, FALSE, FALSE, 2},
        {"pressed", 1, 1, TRUE, FALSE, FALSE, 3},
        {"pressed by keyboard", 0, 2, TRUE, FALSE, FALSE, 3},
        {"open", 0, 0, TRUE, FALSE, TRUE, 3},
        {"checked", 0, 0, TRUE, TRUE, FALSE, 5},
        {"hot checked", 1, 0, TRUE, TRUE, FALSE, 6},
        {"disabled", 1, 0, FALSE, FALSE, FALSE, 4},
        {"disabled checked", 0, 0, FALSE, TRUE, FALSE, 3},
    };
    CXTPPaintManagerCore* pTheme = CXTPPaintManager::Instance();
    const CRect rect(2, 2, 40, 30);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelSurface drawn(42, 32, RGB(1, 2, 3));
        pTheme->DrawRectangle(drawn.dc(), rect, c.nSelected, c.nPressed, c.bEnabled, c.bChecked, c.bPopuped,
                              xtpBarTypeNormal, xtpBarTop);
        PixelSurface expected(42, 32, RGB(1, 2, 3));
        m_toolbarTheme.DrawBackground(expected.dc()->m_hDC, 1, c.nState, rect, NULL);
        EXPECT_TRUE(SamePixels(expected, drawn));
    }
    // Without the thread's main window no handle opens at the next refresh: the classic raised edge.
    AfxGetThread()->m_pMainWnd = NULL;
    pTheme->RefreshMetrics();
    PixelSurface classic(42, 32, RGB(1, 2, 3));
    pTheme->DrawRectangle(classic.dc(), rect, 1, 0, TRUE, FALSE, FALSE, xtpBarTypeNormal, xtpBarTop);
    EXPECT_EQ(pTheme->GetColor(COLOR_3DHIGHLIGHT), classic.Pixel(2, 10));
    EXPECT_EQ(pTheme->GetColor(COLOR_3DSHADOW), classic.Pixel(39, 10));
    AfxGetThread()->m_pMainWnd = m_pFrame;
    pTheme->RefreshMetrics();
}

TEST_F(VisualStyleTheme, ATopToolbarShowsTheDocksBackgroundBehindIt)
{
    CXTPDockBar* pDock = m_pBars->GetDockBar(xtpBarTop);
    const auto dock = PrintClient(pDock, WM_PRINT);
    const auto toolbar = PrintClient(m_pToolBar);
    CRect rectBar;
    m_pToolBar->GetWindowRect(&rectBar);
    pDock->ScreenToClient(&rectBar);
    // Inside the bar's one-pixel edge and above its controls.
    for (int x : {1, toolbar->width() / 2, toolbar->width() - 3})
        EXPECT_EQ(dock->Pixel(rectBar.left + x, rectBar.top + 1), toolbar->Pixel(x, 1)) << x;
    EXPECT_EQ(CXTPPaintManager::Instance()->GetColor(COLOR_3DHIGHLIGHT),
              toolbar->Pixel(toolbar->width() / 2, 0));
}

TEST_F(VisualStyleTheme, GrippersStatusPanesAndComboButtonsAreTheLibrarysParts)
{
    auto* pTheme = dynamic_cast<CXTPPaintThemeVisualStyle*>(CXTPPaintManager::Instance());
    ASSERT_NE(nullptr, pTheme);
    CXTThemeHandle rebar, status, combo;
    rebar.Open(m_pFrame->GetSafeHwnd(), L"REBAR");
    status.Open(m_pFrame->GetSafeHwnd(), L"STATUS");
    combo.Open(m_pFrame->GetSafeHwnd(), L"COMBOBOX");
    CRect rectBar;
    m_pToolBar->GetClientRect(&rectBar);
    const int w = std::max(60, static_cast<int>(rectBar.Width())), h = rectBar.Height();
    struct Case
    {
        const char* name;
        CXTThemeHandle& theme;
        int nPart, nState;
        CRect rectPart;
        std::function<void(CDC*)> draw;
    };
    const CRect rect(4, 4, 56, 24);
    const Case cases[] = {
        {"gripper", rebar, 1, 1, CRect(2, 0, 8, h),
         [&](CDC* pDC) { EXPECT_EQ(CSize(8, 0), pTheme->DrawCommandBarGripper(pDC, m_pToolBar, TRUE)); }},
        {"pane", status, 1, 0, rect, [&](CDC* pDC) { pTheme->DrawStatusBarPaneBorder(pDC, rect, FALSE); }},
        {"size grip", status, 3, 0, CRect(38, 4, 56, 24),
         [&](CDC* pDC) { pTheme->DrawStatusBarGripper(pDC, rect); }},
        {"drop button", combo, 1, 2, CRect(2, 5, 55, 23),
         [&](CDC* pDC) { pTheme->DrawComboDropButton(pDC, rect, TRUE, TRUE, FALSE); }},
        {"disabled drop button", combo, 1, 4, CRect(2, 5, 55, 23),
         [&](CDC* pDC) { pTheme->DrawComboDropButton(pDC, rect, FALSE, FALSE, FALSE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(CXTPPaintThemeVisualStyle::IsThemed(c.theme));
        PixelSurface drawn(w, std::max(h, 30), RGB(1, 2, 3));
        c.draw(drawn.dc());
        PixelSurface expected(w, std::max(h, 30), RGB(1, 2, 3));
        c.theme.DrawBackground(expected.dc()->m_hDC, c.nPart, c.nState, c.rectPart, NULL);
        EXPECT_LT(expected.Count(RGB(1, 2, 3)), expected.width() * expected.height());
        EXPECT_TRUE(SamePixels(expected, drawn));
    }
}

TEST_F(VisualStyleTheme, PopupsFollowTheFlatMenuSetting)
{
    BOOL bSaved = FALSE;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETFLATMENU, 0, &bSaved, 0));
    CXTPPaintManagerCore* pTheme = CXTPPaintManager::Instance();
    for (BOOL bFlat : {TRUE, FALSE}) {
        SCOPED_TRACE(bFlat);
        ASSERT_TRUE(::SystemParametersInfoW(SPI_SETFLATMENU, 0,
                                            reinterpret_cast<PVOID>(static_cast<INT_PTR>(bFlat)), 0));
        pTheme->RefreshMetrics();
        const auto popup = PrintClient(OpenMenu());
        const int w = popup->width(), h = popup->height();
        if (bFlat) {
            EXPECT_EQ(pTheme->GetColor(COLOR_3DSHADOW), popup->Pixel(0, 0));
            EXPECT_EQ(pTheme->GetColor(COLOR_3DSHADOW), popup->Pixel(w - 1, h - 1));
            EXPECT_EQ(pTheme->GetColor(COLOR_MENU), popup->Pixel(1, h - 2));
        } else {
            EXPECT_EQ(pTheme->GetColor(COLOR_3DFACE), popup->Pixel(0, 0));
            EXPECT_EQ(pTheme->GetColor(COLOR_3DDKSHADOW), popup->Pixel(w - 1, h - 1));
            EXPECT_EQ(pTheme->GetColor(COLOR_3DHIGHLIGHT), popup->Pixel(1, 1));
            EXPECT_EQ(pTheme->GetColor(COLOR_3DSHADOW), popup->Pixel(w - 2, h - 2));
        }
        CloseMenu();
    }
    ::SystemParametersInfoW(SPI_SETFLATMENU, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(bSaved)), 0);
    pTheme->RefreshMetrics();
}

TEST_F(ThemedFrame, ScreenshotsOfEveryTheme)
{
    const struct
    {
        int nTheme;
        const wchar_t* pszName;
    } themes[] = {{0, L"paint_theme_0_default"},
                  {1, L"paint_theme_1_flat"},
                  {2, L"paint_theme_2_gradient"},
                  {3, L"paint_theme_3_visual_style"},
                  {4, L"paint_theme_4_gradient"}};
    for (const auto& theme : themes) {
        Install(theme.nTheme);
        Screenshot(theme.pszName);
    }
    // Theme 2 under the blue scheme, which the colour table takes only when asked for it.
    GetColorTable()->SetRequestedScheme(xtSchemeBlue);
    GetColorTable()->Refresh();
    Install(2);
    Screenshot(L"paint_theme_2_gradient_blue");
    GetColorTable()->SetRequestedScheme(xtSchemeDetected);
    GetColorTable()->Refresh();
    CloseMenu();
    CXTPPaintManager::InstallCustomTheme(new ProgramTheme);
    Relayout();
    EXPECT_EQ(RGB(255, 255, 255), CXTPPaintManager::Instance()->GetColor(57));
    const auto dock = PrintClient(m_pBars->GetDockBar(xtpBarTop), WM_PRINT);
    EXPECT_EQ(RGB(255, 255, 255), dock->Pixel(1, 1));
    Screenshot(L"paint_theme_program");
}

} // namespace
