// Screenshots for a person to look at: every appearance on all four sides with a selected, a hot and a
// disabled tab; the colour sets under a colour scheme and through the visual style; a live strip in a
// window on each side. Each picture is checked for having drawn something of its own.
#include "common_controls_version.h"
#include "support/screenshot.h"
#include "tab_test_owner.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const int kCellWidth = 300;
const int kCellHeight = 190;
const int kGap = 10;
const COLORREF kBackground = RGB(255, 255, 255);

// Five tabs: selected, hot, disabled and two plain ones, with icons.
void FillStrip(CTestTabOwner& owner)
{
    owner.m_bIcons = TRUE;
    owner.AddTabs({L"Selected", L"Hot", L"Disabled", L"Plain", L"&Mnemonic"});
    owner.SetSelectedItem(owner.GetItem(0));
    owner.m_pHighlighted = owner.GetItem(1);
    owner.GetItem(2)->SetEnabled(FALSE);
}

// Draws one strip into a cell of the surface; answers how many pixels differ from the background.
int DrawCell(PixelSurface& surface, int nColumn, int nRow, int nAppearance, int nColorSet,
             XTPTabPosition position, CXTPTabColorSet* pColorSet = NULL)
{
    CTestTabOwner owner;
    CXTPTabPaintManager* pPaintManager = owner.m_pPaintManager;
    pPaintManager->SelectAppearance(nAppearance);
    if (nColorSet != 0)
        pPaintManager->SelectColorSet(nColorSet);
    if (pColorSet != NULL)
        pPaintManager->SetColorSet(pColorSet);
    pPaintManager->SetPosition(position);
    pPaintManager->m_bHotTracking = TRUE;
    const int x = kGap + nColumn * (kCellWidth + kGap);
    const int y = kGap + nRow * (kCellHeight + kGap);
    owner.m_rcLayout = CRect(x, y, x + kCellWidth, y + kCellHeight);
    FillStrip(owner);
    owner.Reposition();
    owner.Draw(surface.dc());
    int nDrawn = 0;
    for (int py = y; py < y + kCellHeight; py += 2) {
        for (int px = x; px < x + kCellWidth; px += 2)
            nDrawn += surface.Pixel(px, py) != kBackground ? 1 : 0;
    }
    return nDrawn;
}

std::wstring Number(int n)
{
    return std::to_wstring(n);
}

TEST(TabGallery, EveryAppearanceOnEverySide)
{
    const XTPTabPosition positions[4] = {xtpTabPositionTop, xtpTabPositionLeft, xtpTabPositionBottom,
                                         xtpTabPositionRight};
    for (int nAppearance = 0; nAppearance <= 9; ++nAppearance) {
        SCOPED_TRACE(nAppearance);
        PixelSurface surface(2 * kCellWidth + 3 * kGap, 2 * kCellHeight + 3 * kGap, kBackground);
        for (int i = 0; i < 4; ++i)
            EXPECT_GT(DrawCell(surface, i % 2, i / 2, nAppearance, 0, positions[i]), 100) << i;
        EXPECT_TRUE(test_support::WriteDcScreenshot(surface.dc()->GetSafeHdc(),
                                                    CRect(0, 0, surface.width(), surface.height()),
                                                    L"tab_appearance_" + Number(nAppearance)));
    }
}

TEST(TabGallery, ColourSetsUnderTheBlueScheme)
{
    RequestedScheme scheme(xtSchemeBlue);
    struct Cell
    {
        int nAppearance;
        int nColorSet;
    };
    const Cell cells[] = {{4, 1}, {4, 2}, {4, 4}, {4, 16}, {3, 4}, {9, 16}, {0, 4}, {5, 2}};
    PixelSurface surface(2 * kCellWidth + 3 * kGap, 5 * kCellHeight + 6 * kGap, kBackground);
    int nCell = 0;
    for (const Cell& c : cells) {
        EXPECT_GT(DrawCell(surface, nCell % 2, nCell / 2, c.nAppearance, c.nColorSet, xtpTabPositionTop),
                  100);
        ++nCell;
    }
    EXPECT_GT(DrawCell(surface, 0, 4, 2, 0, xtpTabPositionTop, new CXTPTabColorSetTheme6(TRUE, FALSE)), 100);
    EXPECT_GT(DrawCell(surface, 1, 4, 9, 0, xtpTabPositionTop, new CXTPTabColorSetTheme9(FALSE, FALSE)), 100);
    EXPECT_TRUE(test_support::WriteDcScreenshot(
        surface.dc()->GetSafeHdc(), CRect(0, 0, surface.width(), surface.height()), L"tab_color_sets_blue"));
}

TEST(TabGallery, VisualStyleColourSet)
{
    XTSetComCtlVersionOverride((6u << 16) | 0u);
    const XTPTabPosition positions[4] = {xtpTabPositionTop, xtpTabPositionLeft, xtpTabPositionBottom,
                                         xtpTabPositionRight};
    PixelSurface surface(2 * kCellWidth + 3 * kGap, 3 * kCellHeight + 4 * kGap, kBackground);
    for (int i = 0; i < 4; ++i)
        EXPECT_GT(DrawCell(surface, i % 2, i / 2, 0, xtpTabColorVisualStyle, positions[i]), 100) << i;
    EXPECT_GT(DrawCell(surface, 0, 2, 4, xtpTabColorVisualStyle, xtpTabPositionTop), 100);
    EXPECT_GT(DrawCell(surface, 1, 2, 1, xtpTabColorVisualStyle, xtpTabPositionBottom), 100);
    XTSetComCtlVersionOverride(0);
    EXPECT_TRUE(test_support::WriteDcScreenshot(surface.dc()->GetSafeHdc(),
                                                CRect(0, 0, surface.width(), surface.height()),
                                                L"tab_color_set_visual_style"));
}

TEST(TabGallery, LiveStripInAWindowOnEachSide)
{
    const struct
    {
        XTPTabPosition position;
        const wchar_t* name;
        int nAppearance;
    } sides[] = {{xtpTabPositionTop, L"top", 0},
                 {xtpTabPositionLeft, L"left", 2},
                 {xtpTabPositionBottom, L"bottom", 9},
                 {xtpTabPositionRight, L"right", 6}};
    for (const auto& side : sides) {
        SCOPED_TRACE(Narrow(side.name));
        CTestTabOwner owner;
        owner.m_pPaintManager->SelectAppearance(side.nAppearance);
        owner.m_pPaintManager->SetPosition(side.position);
        owner.m_pPaintManager->m_bHotTracking = TRUE;
        FillStrip(owner);
        owner.AddTabs({L"Sixth tab", L"Seventh tab", L"Eighth tab"});
        CTabStripWindow window(&owner, CRect(50, 50, 400, 250));
        // Scrolled one step, so that both arrows show.
        owner.OnScroll(1);
        ::RedrawWindow(window.GetHwnd(), NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpTabMessages();
        EXPECT_FALSE(owner.FindNavigateButton(xtpTabNavigateButtonLeft)->GetRect().IsRectEmpty());
        EXPECT_TRUE(test_support::WriteClientScreenshot(window.GetHwnd(),
                                                        std::wstring(L"tab_strip_window_") + side.name));
    }
}

} // namespace
