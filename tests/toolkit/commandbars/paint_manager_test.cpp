// The base paint manager on memory DCs: control backgrounds by state, the check mark, separators,
// the command-bar fonts from the menu font, and the choice and installation of the process theme.
#include "command_bars.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

namespace {

struct GdiSelection
{
    explicit GdiSelection(CDC* pDC)
        : hPen(::GetCurrentObject(pDC->m_hDC, OBJ_PEN)), hBrush(::GetCurrentObject(pDC->m_hDC, OBJ_BRUSH)),
          hFont(::GetCurrentObject(pDC->m_hDC, OBJ_FONT))
    {}
    bool operator==(const GdiSelection& other) const
    {
        return hPen == other.hPen && hBrush == other.hBrush && hFont == other.hFont;
    }
    HGDIOBJ hPen;
    HGDIOBJ hBrush;
    HGDIOBJ hFont;
};

const COLORREF kBackground = RGB(1, 2, 3);

TEST(PaintManagerDrawing, ControlBackgroundsFollowTheStateTable)
{
    CXTPPaintManager paintManager;
    paintManager.RefreshMetrics();
    struct Case
    {
        const char* name;
        int nSelected;
        int nPressed;
        BOOL bEnabled;
        BOOL bChecked;
        BOOL bPopuped;
        int nPosition;
        int nFill;
        int nBorder;
    };
    const Case cases[] = {
        {"popuped", 1, 0, TRUE, FALSE, TRUE, xtpBarTop, 30, 43},
        {"checked", 0, 0, TRUE, TRUE, FALSE, xtpBarTop, 36, 50},
        {"checked hot", 1, 0, TRUE, TRUE, FALSE, xtpBarTop, 33, 37},
        {"pressed by keyboard", 0, 2, TRUE, FALSE, FALSE, xtpBarTop, 33, 50},
        {"plain", 0, 0, TRUE, FALSE, FALSE, xtpBarTop, -1, -1},
        {"hot", 1, 0, TRUE, FALSE, FALSE, xtpBarTop, 31, 32},
        {"pressed only", 0, 1, TRUE, FALSE, FALSE, xtpBarTop, 31, 32},
        {"hot and pressed", 1, 1, TRUE, FALSE, FALSE, xtpBarTop, 33, 50},
        {"disabled keyboard popup", 2, 0, FALSE, FALSE, FALSE, xtpBarPopup, 41, 32},
        {"disabled keyboard", 2, 0, FALSE, FALSE, FALSE, xtpBarTop, 31, 32},
        {"disabled keyboard checked", 2, 0, FALSE, TRUE, FALSE, xtpBarTop, 33, 32},
        {"disabled checked", 0, 0, FALSE, TRUE, FALSE, xtpBarTop, 36, 58},
        {"disabled checked popup", 0, 0, FALSE, TRUE, FALSE, xtpBarPopup, -1, 58},
        {"disabled", 1, 1, FALSE, FALSE, FALSE, xtpBarTop, -1, -1},
    };
    for (const Case& c : cases) {
        PixelSurface surface(40, 30, kBackground);
        const GdiSelection before(surface.dc());
        paintManager.DrawRectangle(surface.dc(), CRect(5, 5, 35, 25), c.nSelected, c.nPressed, c.bEnabled,
                                   c.bChecked, c.bPopuped, xtpBarTypeNormal, c.nPosition);
        EXPECT_TRUE(before == GdiSelection(surface.dc())) << c.name;
        const COLORREF clrFill = c.nFill == -1 ? kBackground : paintManager.GetColor(c.nFill);
        const COLORREF clrBorder = c.nBorder == -1 ? kBackground : paintManager.GetColor(c.nBorder);
        EXPECT_EQ(clrFill, surface.Pixel(20, 15)) << c.name;
        EXPECT_EQ(clrBorder, surface.Pixel(5, 5)) << c.name;
        EXPECT_EQ(clrBorder, surface.Pixel(34, 24)) << c.name;
        EXPECT_EQ(kBackground, surface.Pixel(4, 4)) << c.name;
    }
}

TEST(PaintManagerDrawing, ColourIndexesAboveTheTableAreColours)
{
    CXTPPaintManager paintManager;
    paintManager.RefreshMetrics();
    EXPECT_EQ(62u, paintManager.GetColor(62));
    EXPECT_EQ(GetColorTable()->GetColor(61), paintManager.GetColor(61));
    const int nIndex = 31;
    const COLORREF clrOverride = RGB(10, 20, 30);
    paintManager.SetColors(1, &nIndex, &clrOverride);
    paintManager.RefreshMetrics();
    EXPECT_EQ(clrOverride, paintManager.GetColor(31));
}

TEST(PaintManagerDrawing, TheCheckMarkIsTwoParallelLines)
{
    CXTPPaintManager paintManager;
    paintManager.RefreshMetrics();
    const COLORREF clrMark = RGB(200, 0, 0);
    for (BOOL bThick : {FALSE, TRUE}) {
        paintManager.m_bThickCheckMark = bThick;
        PixelSurface surface(20, 20, kBackground);
        const GdiSelection before(surface.dc());
        paintManager.DrawCheckMark(surface.dc(), CRect(0, 0, 20, 20), clrMark);
        EXPECT_TRUE(before == GdiSelection(surface.dc()));
        const int cx = 10, cy = 10;
        // The two strokes from (cx - 4, cy - 1) and (cx - 4, cy) down to the bottom and up to the right.
        for (const CPoint pt : {CPoint(cx - 4, cy - 1), CPoint(cx - 4, cy), CPoint(cx - 2, cy + 1),
                                CPoint(cx - 2, cy + 2), CPoint(cx, cy - 1), CPoint(cx + 2, cy - 3)})
            EXPECT_EQ(clrMark, surface.Pixel(pt.x, pt.y)) << pt.x << "," << pt.y;
        EXPECT_EQ(kBackground, surface.Pixel(cx - 4, cy - 2));
        EXPECT_EQ(bThick ? clrMark : kBackground, surface.Pixel(cx - 2, cy + 3));
    }
}

TEST(PaintManagerDrawing, ASeparatorIsALineInColour39)
{
    CXTPPaintManager paintManager;
    paintManager.RefreshMetrics();
    auto* pBar = new CXTPToolBar;
    CXTPControl* pControl = pBar->GetControls()->Add(xtpControlButton, 1);
    pControl->SetRect(CRect(30, 4, 50, 24));
    pControl->SetRowRect(CRect(2, 2, 100, 26));
    PixelSurface surface(110, 30, kBackground);
    const GdiSelection before(surface.dc());
    EXPECT_EQ(CSize(6, 6), paintManager.DrawCommandBarSeparator(surface.dc(), pBar, pControl, FALSE));
    paintManager.DrawCommandBarSeparator(surface.dc(), pBar, pControl, TRUE);
    EXPECT_TRUE(before == GdiSelection(surface.dc()));
    EXPECT_EQ(paintManager.GetColor(39), surface.Pixel(26, 12));
    EXPECT_EQ(kBackground, surface.Pixel(27, 12));
    pBar->InternalRelease();
    // On a popup bar a separator takes 3 pixels.
    auto* pPopup = new CXTPPopupBar;
    CXTPControl* pItem = pPopup->GetControls()->Add(xtpControlButton, 1);
    EXPECT_EQ(CSize(3, 3), paintManager.DrawCommandBarSeparator(surface.dc(), pPopup, pItem, FALSE));
    pPopup->InternalRelease();
}

// A paint manager whose system menu font has a given height.
class MenuFontPaintManager : public CXTPPaintManager
{
public:
    explicit MenuFontPaintManager(LONG nHeight) : m_nHeight(nHeight) {}

protected:
    void ReadNonClientMetrics(NONCLIENTMETRICSW& metrics) override
    {
        CXTPPaintManager::ReadNonClientMetrics(metrics);
        metrics.lfMenuFont.lfHeight = m_nHeight;
        wcscpy_s(metrics.lfMenuFont.lfFaceName, L"Tahoma");
    }

private:
    LONG m_nHeight;
};

TEST(PaintManagerFonts, MenuTextIsNeverSmallerThan11Pixels)
{
    struct Case
    {
        LONG nMenu;
        LONG nExpected;
    };
    const Case cases[] = {{-8, -11}, {-1, -11}, {-10, -11}, {-11, -11}, {-12, -12}, {14, 14}};
    for (const Case& c : cases) {
        MenuFontPaintManager paintManager(c.nMenu);
        paintManager.RefreshMetrics();
        LOGFONT logFont{};
        ASSERT_TRUE(paintManager.GetRegularFont()->GetLogFont(&logFont));
        EXPECT_EQ(c.nExpected, logFont.lfHeight) << c.nMenu;
        ASSERT_TRUE(paintManager.GetRegularBoldFont()->GetLogFont(&logFont));
        EXPECT_EQ(c.nExpected, logFont.lfHeight) << c.nMenu;
        EXPECT_EQ(FW_BOLD, logFont.lfWeight);
        EXPECT_GT(paintManager.GetTextHeight(), 6);
        // Vertical bars get the turned font.
        auto* pBar = new CXTPToolBar;
        CFont* pVertical = paintManager.GetControlFont(pBar, FALSE);
        EXPECT_EQ(paintManager.GetRegularFont(), pVertical);
        pBar->InternalRelease();
    }
}

int g_nReleased = 0;
int g_nRefreshed = 0;

class CountingPaintManager : public CXTPPaintManager
{
public:
    void RefreshMetrics() override
    {
        ++g_nRefreshed;
        CXTPPaintManager::RefreshMetrics();
    }
    void OnFinalRelease() override
    {
        ++g_nReleased;
        CXTPPaintManager::OnFinalRelease();
    }
};

TEST(PaintTheme, ThemeNumbersAndCustomThemes)
{
    // The installed theme records the number asked for.
    for (int nTheme : {0, 1, 7}) {
        CXTPPaintManager::SetTheme(nTheme);
        ASSERT_NE(nullptr, CXTPPaintManager::Instance());
        EXPECT_EQ(nTheme, CXTPPaintManager::Instance()->m_nTheme);
    }
    g_nReleased = g_nRefreshed = 0;
    auto* pCustom = new CountingPaintManager;
    CXTPPaintManager::InstallCustomTheme(pCustom);
    EXPECT_EQ(pCustom, CXTPPaintManager::Instance());
    EXPECT_EQ(5, pCustom->m_nTheme);
    EXPECT_EQ(1, g_nRefreshed);
    // Installing the installed one again only refreshes it.
    CXTPPaintManager::InstallCustomTheme(pCustom);
    EXPECT_EQ(pCustom, CXTPPaintManager::Instance());
    EXPECT_EQ(2, g_nRefreshed);
    EXPECT_EQ(0, g_nReleased);
    // A new theme releases the old one once.
    CXTPPaintManager::SetTheme(1);
    EXPECT_EQ(1, g_nReleased);
    EXPECT_EQ(1, CXTPPaintManager::Instance()->m_nTheme);
    CXTPPaintManager::ReleaseGlobal();
    EXPECT_EQ(nullptr, CXTPPaintManager::Instance());
    EXPECT_EQ(1, g_nReleased);

    // Command bars without a paint manager of their own make the default theme.
    auto* pBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    ASSERT_NE(nullptr, pBars->GetPaintManager());
    EXPECT_EQ(0, pBars->GetPaintManager()->m_nTheme);
    pBars->InternalRelease();
    CXTPPaintManager::ReleaseGlobal();
}

} // namespace
