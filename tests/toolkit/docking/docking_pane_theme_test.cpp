// The docking themes: what each number builds (tab looks, caption metrics, flags), theme 2's and theme 9's
// colours under forced colour schemes, glyph and grip pixels on memory DCs, the side panel's tab groups
// over its gradient, and a real frame switching themes live.
#include "common_controls_version.h"
#include "docking_pane_auto_hide.h"
#include "docking_pane_mini_wnd.h"
#include "docking_pane_themes.h"
#include "docking_test_frame.h"
#include "support/screenshot.h"
#include "tab_color_set.h"
#include "tab_paint_manager.h"
#include "theme_handle.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct TabLook
{
    int nAppearance;
    int nColor;
};

struct ThemeRow
{
    int nTheme;
    TabLook pane;
    TabLook panel;
    int nCaptionGap;
    // The caption band: shortened by, button size, gap, text deflated at start, top and end.
    int nShorten, nButton, nGap, nTextStart, nTextTop, nTextEnd;
};

// Under Wine no visual style is active: theme 8 takes its unthemed tab looks. Theme 6's and 9's colour sets
// are their own classes (checked apart).
const ThemeRow kThemes[] = {
    {0, {0, 1}, {0, 1}, 5, 2, 12, 2, 4, 1, 0},  {1, {5, 2}, {6, 2}, 5, 2, 14, 2, 4, 1, 0},
    {2, {2, 4}, {2, 4}, 7, 4, 16, 0, 6, 1, 2},  {3, {0, 8}, {0, 8}, 7, 2, 16, 3, 4, 1, 0},
    {4, {0, 1}, {0, 1}, 5, 2, 14, 2, 4, 1, 2},  {5, {8, 1}, {6, 2}, 2, 1, 16, 0, 4, 1, 2},
    {6, {2, 1}, {2, 1}, 5, 2, 14, 2, 4, 1, 0},  {7, {2, 4}, {2, 4}, 3, 4, 16, 0, 6, 1, 2},
    {8, {5, 1}, {6, 1}, 9, 2, 16, 2, 4, 1, 0},  {9, {2, 1}, {2, 1}, 5, 2, 14, 2, 4, 1, 0},
    {12, {0, 1}, {0, 1}, 5, 2, 12, 2, 4, 1, 0},
};

class DockingThemeTest : public DockingFrameTest
{
protected:
    void TearDown() override
    {
        GetColorTable()->SetRequestedScheme(4);
        GetColorTable()->Refresh();
        DockingFrameTest::TearDown();
    }
    CXTPDockingPanePaintManager* Paint() const { return m_manager->GetPaintManager(); }
};

TEST_F(DockingThemeTest, EachNumberBuildsItsTabLooksCaptionMetricsAndFlags)
{
    CXTPDockingPane* pPane = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->Layout();
    const CXTPDockingPaneTabbedContainer* pContainer = ContainerOf(pPane);
    for (const ThemeRow& row : kThemes) {
        SCOPED_TRACE("theme " + std::to_string(row.nTheme));
        m_manager->SetTheme(row.nTheme);
        CXTPDockingPanePaintManager* pPaint = Paint();
        EXPECT_EQ(pPaint->GetTheme(), row.nTheme == 12 ? 0 : row.nTheme);
        EXPECT_EQ(pPaint->GetTabPaintManager()->GetAppearance(), row.pane.nAppearance);
        EXPECT_EQ(pPaint->GetTabPaintManager()->GetColor(), row.pane.nColor);
        EXPECT_EQ(pPaint->GetAutoHidePanelPaintManager()->GetAppearance(), row.panel.nAppearance);
        EXPECT_EQ(pPaint->GetAutoHidePanelPaintManager()->GetColor(), row.panel.nColor);
        EXPECT_EQ(pPaint->m_nCaptionGap, row.nCaptionGap);
        EXPECT_EQ(pPaint->m_nCaptionBandShorten, row.nShorten);
        EXPECT_EQ(pPaint->m_nCaptionButtonSize, row.nButton);
        EXPECT_EQ(pPaint->m_nCaptionButtonGap, row.nGap);
        EXPECT_EQ(pPaint->m_rcCaptionText, CRect(row.nTextStart, row.nTextTop, row.nTextEnd, 0));
        // The caption band takes the caption height and its margins off the container's top.
        CRect rc(0, 0, 300, 300);
        pPaint->AdjustCaptionRect(pContainer, rc);
        const int nBand =
            pPaint->GetCaptionHeight() + pPaint->m_rcCaptionMargin.top + pPaint->m_rcCaptionMargin.bottom;
        if (row.nTheme == 5) {
            // Theme 5 insets by 3 below and beside the caption, and 1 more around a single pane.
            EXPECT_EQ(rc, CRect(4, nBand + 1, 296, 296));
        } else {
            EXPECT_EQ(rc, CRect(0, nBand, 300, 300));
        }
    }
    // Theme 4 draws caption bars over theme 0's tabs.
    m_manager->SetTheme(4);
    EXPECT_NE(dynamic_cast<CXTPDockingPaneCaptionBarTheme*>(Paint()), nullptr);
    m_manager->SetTheme(0);
    EXPECT_EQ(dynamic_cast<CXTPDockingPaneCaptionBarTheme*>(Paint()), nullptr);
    m_manager->SetTheme(2);
    EXPECT_TRUE(Paint()->GetTabPaintManager()->m_bHotTracking);

    // Theme 6: gradient splitters, no scheme, its own tab colours; theme 9 on theme 6's ground.
    m_manager->m_nStickyStyle = 0;
    m_manager->SetTheme(6);
    EXPECT_EQ(Paint()->m_dwSplitterStyle, static_cast<DWORD>(XTP_SPLITTER_GRADIENT));
    EXPECT_EQ(Paint()->m_nColorScheme, 0);
    EXPECT_EQ(Paint()->m_rcCaptionMargin, CRect(0, 0, 0, 0));
    EXPECT_EQ(Paint()->GetTabPaintManager()->m_nClientFrame, 2);
    EXPECT_NE(dynamic_cast<CXTPTabColorSetTheme6*>(Paint()->GetTabPaintManager()->GetColorSet()), nullptr);
    EXPECT_EQ(m_manager->m_nStickyStyle, 0);
    m_manager->SetTheme(9);
    auto* pTheme9Tabs = dynamic_cast<CXTPTabColorSetTheme9*>(Paint()->GetTabPaintManager()->GetColorSet());
    ASSERT_NE(pTheme9Tabs, nullptr);
    EXPECT_TRUE(pTheme9Tabs->m_bPaneTabs);
    EXPECT_TRUE(pTheme9Tabs->m_bTransparentItems);
    auto* pTheme9Panel =
        dynamic_cast<CXTPTabColorSetTheme9*>(Paint()->GetAutoHidePanelPaintManager()->GetColorSet());
    ASSERT_NE(pTheme9Panel, nullptr);
    EXPECT_FALSE(pTheme9Panel->m_bPaneTabs);
    EXPECT_EQ(Paint()->GetTabPaintManager()->m_nClientFrame, 1);
    EXPECT_EQ(Paint()->GetTabPaintManager()->m_rcClientMargin.top, 1);
    // Theme 9 sets marker style 1, which stays.
    EXPECT_EQ(m_manager->m_nStickyStyle, 1);
    m_manager->SetTheme(0);
    EXPECT_EQ(m_manager->m_nStickyStyle, 1);
}

TEST_F(DockingThemeTest, ThemeTwoKeepsSystemColoursWithoutASchemeAndTakesTheTableUnderOne)
{
    GetColorTable()->SetRequestedScheme(0);
    GetColorTable()->Refresh();
    m_manager->SetTheme(2);
    auto* pTheme2 = dynamic_cast<CXTPDockingPaneTheme2*>(Paint());
    ASSERT_NE(pTheme2, nullptr);
    EXPECT_EQ(pTheme2->GetColor(38), GetColorTable()->GetColor(38));
    EXPECT_EQ(pTheme2->m_clrActiveCaption.m_clrStart, GetColorTable()->GetColor(36));
    EXPECT_EQ(pTheme2->m_clrInactiveCaption.m_clrEnd, GetColorTable()->GetColor(COLOR_3DFACE));

    const int kIndexes[13] = {38, 39, 40, 41, 43, 31, 32, 50, 37, 33, 36, 30, 47};
    const COLORREF kExpected[3][13] = {{0x764127, 0xCB8C6A, 0xD0966D, 0xF6F6F6, 0x962D00, 0xC2EEFF, 0x800000,
                                        0x800000, 0x800000, 0x3E80FE, 0x6FC0FF, 0xF5BE9E, 0},
                                       {0x335E51, 0x588060, 0x7AAE9F, 0xEEF4F4, 0x5E8D75, 0xC2EEFF, 0x385D3F,
                                        0x385D3F, 0x385D3F, 0x3E80FE, 0x6FC0FF, 0xA7D9D9, 0},
                                       {0x755454, 0x8F6D6E, 0xBEA7A8, 0xFFFAFD, 0x947C7C, 0xC2EEFF, 0x6F4B4B,
                                        0x6F4B4B, 0x6F4B4B, 0x3E80FE, 0x6FC0FF, 0xE5D7D7, 0}};
    const COLORREF kInactive[3][2] = {{0xFEECDD, 0xE2A981}, {0xDEF7F4, 0x91C6B7}, {0xFFF9F9, 0xB79B9C}};
    const float kFactor[3] = {0.75f, 0.3f, 0.75f};
    const COLORREF kSplitter[3] = {0xFCE7D8, 0xBFE7E2, 0xEADFDF};
    for (int nScheme = 1; nScheme <= 3; ++nScheme) {
        SCOPED_TRACE("scheme " + std::to_string(nScheme));
        GetColorTable()->SetRequestedScheme(static_cast<UINT>(nScheme));
        GetColorTable()->Refresh();
        m_manager->SetTheme(2);
        pTheme2 = dynamic_cast<CXTPDockingPaneTheme2*>(Paint());
        ASSERT_NE(pTheme2, nullptr);
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(pTheme2->GetColor(kIndexes[i]), kExpected[nScheme - 1][i]) << kIndexes[i];
        EXPECT_EQ(pTheme2->m_clrInactiveCaption.m_clrStart, kInactive[nScheme - 1][0]);
        EXPECT_EQ(pTheme2->m_clrInactiveCaption.m_clrEnd, kInactive[nScheme - 1][1]);
        EXPECT_FLOAT_EQ(pTheme2->m_clrInactiveCaption.m_fFactor, kFactor[nScheme - 1]);
        EXPECT_EQ(static_cast<COLORREF>(pTheme2->m_clrSplitter), kSplitter[nScheme - 1]);
        EXPECT_EQ(pTheme2->m_clrActiveCaption.m_clrStart, 0x8CD5FFu);
        EXPECT_EQ(pTheme2->m_clrActiveCaption.m_clrEnd, 0x4CA6FFu);
        EXPECT_EQ(static_cast<COLORREF>(pTheme2->m_clrSplitterGripper), kExpected[nScheme - 1][0]);

        // Theme 9 under the same scheme.
        m_manager->SetTheme(9);
        auto* pTheme9 = dynamic_cast<CXTPDockingPaneTheme9*>(Paint());
        ASSERT_NE(pTheme9, nullptr);
        const COLORREF kInactive9[3] = {0xBAC7CC, 0xBAC7CC, 0xF5F0F0};
        const COLORREF kActive9[3][2] = {{0xED803B, 0xC56A31}, {0x92C3B6, 0x75A091}, {0xDDD4D3, 0xBFA5A6}};
        EXPECT_EQ(pTheme9->m_clrInactiveCaption.m_clrStart, kInactive9[nScheme - 1]);
        EXPECT_EQ(pTheme9->m_clrActiveCaption.m_clrStart, kActive9[nScheme - 1][0]);
        EXPECT_EQ(pTheme9->m_clrActiveCaption.m_clrEnd, kActive9[nScheme - 1][1]);
        EXPECT_EQ(pTheme9->m_clrCaptionBorder, nScheme == 3 ? 0x9C9B91u : pTheme9->GetColor(COLOR_BTNSHADOW));
        EXPECT_EQ(pTheme9->m_clrInactiveCaptionText, RGB(0, 0, 0));
    }
}

// The bounding box of the pixels that are not white.
CRect InkBox(CDC& dc, int nWidth, int nHeight)
{
    CRect rc(nWidth, nHeight, -1, -1);
    for (int y = 0; y < nHeight; ++y) {
        for (int x = 0; x < nWidth; ++x) {
            if (dc.GetPixel(x, y) != RGB(255, 255, 255)) {
                rc.left = std::min<int>(rc.left, x);
                rc.top = std::min<int>(rc.top, y);
                rc.right = std::max<int>(rc.right, x + 1);
                rc.bottom = std::max<int>(rc.bottom, y + 1);
            }
        }
    }
    return rc;
}

TEST_F(DockingThemeTest, TheCloseGlyphCentresOnItsButtonAndMovesWhenPressed)
{
    m_manager->SetTheme(4);
    auto* pTheme = dynamic_cast<CXTPDockingPaneCaptionBarTheme*>(Paint());
    ASSERT_NE(pTheme, nullptr);
    CTestMemoryDC dc(m_frame.get(), 20, 20);
    CXTPDockingPaneBase owner(xtpPaneTypeClient, NULL);
    CXTPDockingPaneCaptionButton button(XTP_IDS_DOCKINGPANE_CLOSE, &owner);
    button.m_rcButton = CRect(0, 0, 16, 16);
    // Centre (8, 8): the cross spans x - 4 .. x + 3 and y - 3 .. y + 3.
    dc.FillSolidRect(0, 0, 20, 20, RGB(255, 255, 255));
    pTheme->DrawCaptionButtonGlyph(&dc, &button, 8, 8, RGB(0, 0, 0));
    EXPECT_EQ(InkBox(dc, 20, 20), CRect(4, 5, 12, 12));
    dc.FillSolidRect(0, 0, 20, 20, RGB(255, 255, 255));
    // Pressed: the sunken frame around the rectangle, the glyph one pixel further.
    button.m_bPressed = TRUE;
    pTheme->DrawCaptionButton(&dc, &button, RGB(0, 0, 0));
    dc.FillSolidRect(0, 0, 16, 1, RGB(255, 255, 255));
    dc.FillSolidRect(0, 0, 1, 16, RGB(255, 255, 255));
    dc.FillSolidRect(15, 0, 1, 16, RGB(255, 255, 255));
    dc.FillSolidRect(0, 15, 16, 1, RGB(255, 255, 255));
    EXPECT_EQ(InkBox(dc, 20, 20), CRect(5, 6, 13, 13));
}

TEST_F(DockingThemeTest, ThemeFivesFloatingFrameWithoutTitleStartsItsGripAtFour)
{
    m_manager->SetTheme(5);
    CXTPDockingPanePaintManager* pTheme = Paint();
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, CRect(0, 0, 10, 10), NULL, 0));
    CTestMemoryDC dc(m_frame.get(), 200, 60);
    dc.FillSolidRect(0, 0, 200, 60, RGB(255, 255, 255));
    pTheme->DrawFloatingFrame(&dc, &wnd, CRect(0, 0, 200, 60));
    const int nMid = (2 + 2 + pTheme->GetCaptionHeight() + 3) / 2;
    const COLORREF clrGrip = pTheme->GetColor(38);
    const COLORREF clrFrame = pTheme->GetColor(30);
    for (int dy : {-3, -1, 1, 3}) {
        EXPECT_EQ(dc.GetPixel(4, nMid + dy), clrGrip) << dy;
        EXPECT_EQ(dc.GetPixel(3, nMid + dy), clrFrame) << dy;
    }
    EXPECT_EQ(dc.GetPixel(4, nMid), clrFrame);
    wnd.DestroyWindow();
}

TEST_F(DockingThemeTest, VisualStyleThemesDrawWithTheCommonControlsOfVersionSix)
{
    // Smoke only: Wine's own style may or may not answer as themed; either path draws.
    XTSetComCtlVersionOverride(0x60000);
    CXTPDockingPane* pPane = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->AddTab(2, L"Files", pPane);
    m_frame->Layout();
    CTestMemoryDC dc(m_frame.get(), 200, 300);
    for (int nTheme : {3, 8, 5}) {
        m_manager->SetTheme(nTheme);
        dc.FillSolidRect(0, 0, 200, 300, RGB(1, 2, 3));
        Paint()->DrawPane(&dc, ContainerOf(pPane), CRect(0, 0, 200, 300));
        // The caption band was painted.
        EXPECT_NE(dc.GetPixel(100, Paint()->GetCaptionHeight() / 2 + 2), RGB(1, 2, 3)) << nTheme;
    }
    XTSetComCtlVersionOverride(0);
}

TEST_F(DockingThemeTest, ThemeThreeFramesAFloatingPaneInTheVisualStylesSmallFrameAndCaption)
{
    XTSetComCtlVersionOverride(0x60000);
    m_manager->SetTheme(3);
    auto* pTheme = dynamic_cast<CXTPDockingPaneTheme3*>(Paint());
    ASSERT_NE(pTheme, nullptr);
    // Wine's own visual style answers as themed once the common controls say 6.
    ASSERT_TRUE(pTheme->IsThemed());
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, CRect(0, 0, 10, 10), NULL, 0));
    const int nWidth = 160, nHeight = 120;
    const CRect rc(0, 0, nWidth, nHeight);
    const int nStrip = pTheme->GetCaptionHeight() + 5;
    const COLORREF clrGround = RGB(1, 2, 3);
    CTestMemoryDC dc(m_frame.get(), nWidth, nHeight);
    dc.FillSolidRect(rc, clrGround);
    pTheme->DrawFloatingFrame(&dc, &wnd, rc);

    // The same parts drawn straight by the visual-style library, inactive (state 2): small frame left (10)
    // and right (11) three pixels wide, bottom (12) three deep, the small caption (2) over the top strip.
    CXTThemeHandle window;
    ASSERT_NE(window.Open(NULL, L"WINDOW"), nullptr);
    CTestMemoryDC expected(m_frame.get(), nWidth, nHeight);
    expected.FillSolidRect(rc, clrGround);
    const CRect rcParts[4] = {CRect(0, 0, 3, nHeight), CRect(nWidth - 3, 0, nWidth, nHeight),
                              CRect(0, nHeight - 3, nWidth, nHeight), CRect(0, 0, nWidth, nStrip)};
    const int nParts[4] = {10, 11, 12, 2};
    for (int i = 0; i < 4; ++i)
        ASSERT_HRESULT_SUCCEEDED(window.DrawBackground(expected.m_hDC, nParts[i], 2, &rcParts[i], NULL));
    const CPoint probes[] = {{1, nHeight / 2},         {nWidth - 2, nHeight / 2}, {nWidth / 2, nHeight - 2},
                             {nWidth / 2, nStrip / 2}, {1, nStrip - 1},           {nWidth - 2, 1}};
    for (const CPoint& pt : probes) {
        EXPECT_NE(expected.GetPixel(pt), clrGround) << pt.x << "," << pt.y;
        EXPECT_EQ(dc.GetPixel(pt), expected.GetPixel(pt)) << pt.x << "," << pt.y;
    }
    // Inside the frame nothing is painted.
    EXPECT_EQ(dc.GetPixel(nWidth / 2, nHeight / 2), clrGround);

    // A docked pane's caption: the small caption, CaptionHeight + 1 deep below the caption margin.
    CXTPDockingPane* pDocked = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->Layout();
    const CRect rcBand(0, pTheme->m_rcCaptionMargin.top, nWidth,
                       pTheme->m_rcCaptionMargin.top + pTheme->GetCaptionHeight() + 1);
    dc.FillSolidRect(rc, clrGround);
    pTheme->DrawPane(&dc, ContainerOf(pDocked), rc);
    expected.FillSolidRect(rc, clrGround);
    ASSERT_HRESULT_SUCCEEDED(window.DrawBackground(expected.m_hDC, 2, 2, &rcBand, NULL));
    for (const CPoint& pt : {CPoint(nWidth / 2, rcBand.top), CPoint(nWidth / 2, rcBand.bottom - 1),
                             CPoint(1, rcBand.CenterPoint().y)})
        EXPECT_EQ(dc.GetPixel(pt), expected.GetPixel(pt)) << pt.x << "," << pt.y;

    // Without the visual style the caption bar's frame stands: its ring in the face colour.
    XTSetComCtlVersionOverride(0x50051);
    EXPECT_FALSE(pTheme->IsThemed());
    dc.FillSolidRect(rc, clrGround);
    pTheme->DrawFloatingFrame(&dc, &wnd, rc);
    EXPECT_EQ(dc.GetPixel(2, nHeight / 2), pTheme->GetColor(COLOR_3DFACE));
    wnd.DestroyWindow();

    // A real floating pane in the visual style, with its title and buttons.
    XTSetComCtlVersionOverride(0x60000);
    CXTPDockingPane* pFloating = m_frame->AddPane(5, L"Find", CSize(150, 150), xtpPaneDockRight);
    m_frame->Layout();
    CRect rcFrame;
    m_frame->GetWindowRect(&rcFrame);
    m_manager->m_bCustomTitleBar = TRUE;
    m_manager->FloatPane(pFloating,
                         CRect(rcFrame.left + 60, rcFrame.top + 60, rcFrame.left + 300, rcFrame.top + 260));
    m_manager->SetTheme(3);
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(pFloating->GetFrame());
    ASSERT_NE(pFrame, nullptr);
    pFrame->RecalcLayout();
    pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpMessages();
    EXPECT_TRUE(
        test_support::WriteWindowScreenshot(pFrame->m_hWnd, L"docking_theme_3_floating_visual_style"));
    XTSetComCtlVersionOverride(0);
}

TEST_F(DockingThemeTest, AFrameSwitchesThemesLive)
{
    CXTPDockingPane* pLeft = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->AddTab(2, L"Files", pLeft);
    m_frame->AddPane(3, L"Output", CSize(150, 150), xtpPaneDockBottom);
    CXTPDockingPane* pHidden = m_frame->AddPane(4, L"Properties", CSize(150, 150), xtpPaneDockRight);
    CXTPDockingPane* pFloating = m_frame->AddPane(5, L"Find", CSize(150, 150), xtpPaneDockRight);
    m_frame->Layout();
    m_manager->HidePane(pHidden);
    CRect rcFrame;
    m_frame->GetWindowRect(&rcFrame);
    m_manager->m_bCustomTitleBar = TRUE;
    m_manager->FloatPane(pFloating,
                         CRect(rcFrame.left + 420, rcFrame.top + 120, rcFrame.left + 620, rcFrame.top + 300));
    for (int nTheme = 0; nTheme <= 9; ++nTheme) {
        m_manager->SetTheme(nTheme);
        m_frame->Layout();
        // The floating frame lays out at its idle time as the site does.
        if (CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(pFloating->GetFrame())) {
            pFrame->RecalcLayout();
            pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        }
        m_frame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        PumpMessages();
        EXPECT_EQ(Paint()->GetTheme(), nTheme);
        EXPECT_TRUE(test_support::WriteWindowScreenshot(m_frame->m_hWnd,
                                                        L"docking_theme_" + std::to_wstring(nTheme)));
    }
}

TEST_F(DockingThemeTest, SidePanelGroupsDrawOnlyTheirTabsOverTheStripsGradient)
{
    CXTPDockingPane* pPane = m_frame->AddPane(1, L"Folders", CSize(200, 200), xtpPaneDockLeft);
    m_frame->AddTab(2, L"Output", pPane);
    m_frame->Layout();
    m_manager->HidePane(pPane);
    for (int nTheme : {6, 9}) {
        SCOPED_TRACE("theme " + std::to_string(nTheme));
        m_manager->SetTheme(nTheme);
        m_frame->Layout();
        CXTPTabPaintManager* pTabs = Paint()->GetAutoHidePanelPaintManager();
        EXPECT_FALSE(pTabs->m_bFillBackground);
        auto* pPanel = static_cast<CXTPDockingPaneAutoHidePanel*>(m_manager->GetLayout()->m_wndSidePanels[0]);
        ASSERT_NE(pPanel, nullptr);
        ASSERT_EQ(pPanel->GetGroups().size(), 1u);
        EXPECT_TRUE(test_support::WriteWindowScreenshot(m_frame->m_hWnd, L"docking_side_panel_theme_" +
                                                                             std::to_wstring(nTheme)));
        // Wine's colours make the theme's strip nearly flat: a steep gradient shows any fill over it.
        pTabs->GetColorSet()->m_clrHeaderFace.Set(RGB(90, 140, 230), RGB(255, 255, 255));
        pPanel->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        CRect rcClient;
        pPanel->GetClientRect(&rcClient);
        HDC hDC = ::GetDC(pPanel->m_hWnd);
        const std::vector<std::uint32_t> pixels = test_support::CaptureDc(hDC, rcClient);
        ::ReleaseDC(pPanel->m_hWnd, hDC);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(rcClient.Width() * rcClient.Height()));
        auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * rcClient.Width() + x)]; };

        // Around and between the tabs the group shows the strip as it is below every group.
        const CXTPDockingPaneAutoHideGroup* pGroup = pPanel->GetGroups()[0];
        const int yStrip = rcClient.bottom - 1;
        ASSERT_LT(pGroup->m_rcGroup.bottom, yStrip);
        int nCovered = 0, nChecked = 0;
        for (int y = pGroup->m_rcGroup.top; y < pGroup->m_rcGroup.bottom; ++y) {
            for (int x = 0; x < rcClient.Width(); ++x) {
                BOOL bInTab = FALSE;
                for (int i = 0; i < pGroup->GetItemCount(); ++i) {
                    CRect rcTab = pGroup->GetItem(i)->GetRect();
                    rcTab.InflateRect(1, 1);
                    bInTab = bInTab || rcTab.PtInRect(CPoint(x, y));
                }
                if (bInTab)
                    continue;
                ++nChecked;
                if (at(x, y) != at(x, yStrip))
                    ++nCovered;
            }
        }
        EXPECT_GT(nChecked, 0);
        EXPECT_EQ(nCovered, 0);
        EXPECT_TRUE(test_support::WriteWindowScreenshot(
            m_frame->m_hWnd, L"docking_side_panel_theme_" + std::to_wstring(nTheme) + L"_steep_gradient"));
        pTabs->RefreshMetrics();
    }
}

} // namespace
