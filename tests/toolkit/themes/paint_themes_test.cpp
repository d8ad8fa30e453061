// The paint themes on memory DCs: which class each theme number makes, the colour tables of the
// gradient themes under each colour scheme, the gradient and classic control states, icons and
// popup items of the classic theme.
#include "command_bars.h"
#include "image_manager.h"
#include "themes_test.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

const COLORREF kBackground = RGB(1, 2, 3);

// Reads a theme's colour entries: the standard value and whether an override is set.
template <class Base> class Probe : public Base
{
public:
    const CXTColorValue& Entry(int nIndex) const { return this->m_colors[nIndex]; }
};

// A toolbar without a window holding one button in a row, for separators and grippers.
struct ToolBarWithButton
{
    ToolBarWithButton() : pBar(new CXTPToolBar), pControl(pBar->GetControls()->Add(xtpControlButton, 1))
    {
        pControl->SetRect(CRect(30, 4, 50, 24));
        pControl->SetRowRect(CRect(2, 2, 100, 26));
    }
    ~ToolBarWithButton() { pBar->InternalRelease(); }
    CXTPToolBar* pBar;
    CXTPControl* pControl;
};

struct RequestedScheme
{
    explicit RequestedScheme(UINT nScheme)
    {
        GetColorTable()->SetRequestedScheme(nScheme);
        GetColorTable()->Refresh();
    }
    ~RequestedScheme()
    {
        GetColorTable()->SetRequestedScheme(xtSchemeDetected);
        GetColorTable()->Refresh();
    }
};

TEST(PaintThemeTable, EachNumberMakesItsClass)
{
    struct Case
    {
        int nTheme;
        const std::type_info& type;
        int nKind;
        BOOL bFlat;
    };
    const Case cases[] = {
        {0, typeid(CXTPPaintThemeDefault), 0, FALSE},  {1, typeid(CXTPPaintManager), 1, TRUE},
        {2, typeid(CXTPPaintThemeNo2), 2, TRUE},       {3, typeid(CXTPPaintThemeVisualStyle), 3, FALSE},
        {4, typeid(CXTPPaintThemeNo4), 4, TRUE},       {7, typeid(CXTPPaintThemeDefault), 0, FALSE},
        {-1, typeid(CXTPPaintThemeDefault), 0, FALSE},
    };
    CXTPPaintManager::ReleaseGlobal();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nTheme);
        CXTPPaintManagerCore* pPrevious = CXTPPaintManager::Instance();
        if (pPrevious != NULL)
            pPrevious->InternalAddRef();
        CXTPPaintManager::SetTheme(c.nTheme);
        CXTPPaintManagerCore* pTheme = CXTPPaintManager::Instance();
        ASSERT_NE(nullptr, pTheme);
        EXPECT_TRUE(typeid(*pTheme) == c.type) << typeid(*pTheme).name();
        EXPECT_EQ(c.nTheme, pTheme->m_nTheme);
        EXPECT_EQ(c.nKind, pTheme->GetThemeKind());
        EXPECT_EQ(c.bFlat, pTheme->IsFlatTheme());
        // The replaced theme lost exactly the one reference the process held.
        if (pPrevious != NULL) {
            EXPECT_EQ(1, pPrevious->m_dwRef);
            pPrevious->InternalRelease();
        }
    }
    CXTPPaintManager::ReleaseGlobal();
}

TEST(PaintThemeTable, IconFlagsOfEachTheme)
{
    CXTPPaintThemeDefault classic;
    CXTPPaintThemeNo2 gradient;
    CXTPPaintThemeVisualStyle visualStyle;
    struct Case
    {
        const char* name;
        const CXTPPaintManagerCore& theme;
        BOOL bFaded, bDisabled, bShadow, bBuild;
    };
    const Case cases[] = {
        {"classic", classic, FALSE, FALSE, FALSE, FALSE},
        {"gradient", gradient, FALSE, TRUE, FALSE, TRUE},
        {"visual style", visualStyle, TRUE, FALSE, FALSE, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.bFaded, c.theme.m_bUseFadedIcons);
        EXPECT_EQ(c.bDisabled, c.theme.m_bUseDisabledIcons);
        EXPECT_EQ(c.bShadow, c.theme.m_bIconsWithShadow);
        EXPECT_EQ(c.bBuild, c.theme.m_bBuildDisabledIcons);
    }
    EXPECT_EQ(COLOR_MENUTEXT, visualStyle.m_nPopupBarText);
    EXPECT_EQ(COLOR_BTNTEXT, classic.m_nPopupBarText);
}

TEST(PaintThemeTable, EveryThemeRestoresWhatItSelectsAndMeasuresWithoutDrawing)
{
    const ToolBarWithButton toolbar;
    CXTPToolBar* pBar = toolbar.pBar;
    CXTPControl* pControl = toolbar.pControl;
    for (int nTheme = 0; nTheme <= 4; ++nTheme) {
        SCOPED_TRACE(nTheme);
        CXTPPaintManagerCore* pTheme = CXTPPaintManager::CreateTheme(nTheme);
        pTheme->RefreshMetrics();
        PixelSurface surface(110, 40, kBackground);
        const GdiState before(surface.dc());
        for (int nState = 0; nState < 8; ++nState)
            pTheme->DrawRectangle(surface.dc(), CRect(4, 4, 30, 30), nState & 1, (nState >> 1) & 1, TRUE,
                                  nState >> 2, FALSE, xtpBarTypeNormal, xtpBarTop);
        pTheme->DrawCommandBarSeparator(surface.dc(), pBar, pControl, TRUE);
        pTheme->DrawTearOffGripper(surface.dc(), CRect(0, 0, 110, 9), TRUE, TRUE);
        pTheme->DrawTearOffGripper(surface.dc(), CRect(0, 0, 110, 9), FALSE, TRUE);
        pTheme->DrawSpecialGripper(surface.dc(), pBar, TRUE);
        pTheme->DrawCheckMark(surface.dc(), CRect(0, 0, 20, 20), RGB(0, 0, 0));
        pTheme->DrawDropDownArrow(surface.dc(), CRect(0, 0, 20, 20), RGB(0, 0, 0));
        pTheme->DrawStatusBarGripper(surface.dc(), CRect(0, 0, 40, 20));
        pTheme->DrawStatusBarPaneBorder(surface.dc(), CRect(0, 0, 40, 20), FALSE);
        EXPECT_TRUE(before == GdiState(surface.dc()));
        const HRGN hClip = ::CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(0, ::GetClipRgn(surface.dc()->m_hDC, hClip));
        ::DeleteObject(hClip);
        // Measuring needs no DC.
        PixelSurface untouched(110, 40, kBackground);
        pTheme->DrawCommandBarSeparator(untouched.dc(), pBar, pControl, FALSE);
        pTheme->DrawTearOffGripper(untouched.dc(), CRect(0, 0, 110, 9), TRUE, FALSE);
        EXPECT_EQ(110 * 40, untouched.Count(kBackground));
        EXPECT_GT(pTheme->DrawSpecialGripper(NULL, pBar, FALSE).cy, 0);
        pTheme->InternalRelease();
    }
}

struct PairCase
{
    const char* name;
    CXTColorPair CXTPPaintThemeNo2::*pPair;
    COLORREF clrStart[3];
    COLORREF clrEnd[3];
    float fFactor[3];
};

struct ValueCase
{
    const char* name;
    int nIndex; // a colour entry, or -1 for the field
    CXTColorValue CXTPPaintThemeNo2::*pField;
    bool bOverride;
    COLORREF clr[3];
};

void ExpectPair(const CXTColorPair& pair, COLORREF clrStart, COLORREF clrEnd, float fFactor)
{
    EXPECT_EQ(clrStart, static_cast<COLORREF>(pair.m_clrStart));
    EXPECT_EQ(clrEnd, static_cast<COLORREF>(pair.m_clrEnd));
    EXPECT_FLOAT_EQ(fFactor, pair.m_fFactor);
}

TEST(GradientThemeColors, Theme2FollowsTheSchemeTable)
{
    const PairCase pairs[] = {
        {"dock",
         &CXTPPaintThemeNo2::m_clrDockBar,
         {0xF5BE9E, 0xA7D9D9, 0xE5D7D7},
         {0xFADAC4, 0xE4F1F2, 0xF7F3F3},
         {0.5f, 0.5f, 0.5f}},
        {"bar",
         &CXTPPaintThemeNo2::m_clrCommandBar,
         {0xFEECDD, 0xDEF7F4, 0xFFF9F9},
         {0xE2A981, 0x91C6B7, 0xB79B9C},
         {0.75f, 0.3f, 0.75f}},
        {"third",
         &CXTPPaintThemeNo2::m_clrThirdGradient,
         {0xF1A675, 0x8CC2B0, 0xC8B2B3},
         {0x913500, 0x6B7760, 0x927476},
         {0.75f, 0.3f, 0.75f}},
        {"fourth",
         &CXTPPaintThemeNo2::m_clrFourthGradient,
         {0xFEEFE3, 0xD5F0EC, 0xF1E8E8},
         {0xE2A981, 0x93C6B8, 0xC5AEB0},
         {0.5f, 0.5f, 0.5f}},
        {"expanded",
         &CXTPPaintThemeNo2::m_clrPopupExpanded,
         {0xF6DDCB, 0xD1E6E6, 0xE2D7D7},
         {0xDCA179, 0x78B4A4, 0xA28385},
         {0.5f, 0.3f, 0.5f}},
        {"open control",
         &CXTPPaintThemeNo2::m_clrPopupControl,
         {0xFFEFE3, 0xD5F0EC, 0xF1E7E9},
         {0xE7B593, 0x9FCEC2, 0xCDB9BA},
         {0.5f, 0.5f, 0.5f}},
    };
    const ValueCase values[] = {
        {"edge", -1, &CXTPPaintThemeNo2::m_clrCommandBarEdge, false, {0x9C613B, 0x588060, 0x947C7C}},
        {"caption", -1, &CXTPPaintThemeNo2::m_clrFloatingCaption, false, {0xC9662A, 0x5E8674, 0x99797A}},
        {"frame", -1, &CXTPPaintThemeNo2::m_clrStatusPane, false, {0xD3D3D3, 0xD3D3D3, 0xDAEAEC}},
        {"tear-off", -1, &CXTPPaintThemeNo2::m_clrTearOff, false, {0xF0C7A9, 0x9FD4C5, 0xD3C0C0}},
        {"standard 12", 12, nullptr, false, {0xAE9990, 0x7BA097, 0xB39A9B}},
        {"standard 51", 51, nullptr, false, {0xFCE7D8, 0xBFE7E2, 0xEADFDF}},
        {"standard 52", 52, nullptr, false, {0xF5BE9E, 0x8AC0AB, 0xC3B0B1}},
        {"standard 53", 53, nullptr, false, {0xFCE1CB, 0xB6E3D8, 0xE7D3D6}},
        {"standard 56", 56, nullptr, false, {0xF7D3BD, 0xBDE3DE, 0xE7D7D6}},
        {"standard 35", 35, nullptr, false, {0x8D8D8D, 0x8D8D8D, 0x8D8D8D}},
        {"standard 58", 58, nullptr, false, {0x8D8D8D, 0x8D8D8D, 0x8D8D8D}},
        {"standard 60", 60, nullptr, false, {0x8D8D8D, 0x8D8D8D, 0x8D8D8D}},
        {"colour 30", 30, nullptr, true, {0xF9DBC4, 0xADDED1, 0xE4DADB}},
        {"colour 31", 31, nullptr, true, {0xC2EEFF, 0xC2EEFF, 0xC2EEFF}},
        {"colour 32", 32, nullptr, true, {0x800000, 0x385D3F, 0x6F4B4B}},
        {"colour 33", 33, nullptr, true, {0x3E80FE, 0x3E80FE, 0x3E80FE}},
        {"colour 36", 36, nullptr, true, {0x6FC0FF, 0x6FC0FF, 0x6FC0FF}},
        {"colour 37", 37, nullptr, true, {0x800000, 0x385D3F, 0x6F4B4B}},
        {"colour 38", 38, nullptr, true, {0x764127, 0x335E51, 0x755454}},
        {"colour 39", 39, nullptr, true, {0xCB8C6A, 0x588060, 0x8F6D6E}},
        {"colour 40", 40, nullptr, true, {0xD0966D, 0x7AAE9F, 0xBEA7A8}},
        {"colour 41", 41, nullptr, true, {0xF6F6F6, 0xEEF4F4, 0xFFFAFD}},
        {"colour 43", 43, nullptr, true, {0x962D00, 0x5E8D75, 0x947C7C}},
        {"colour 47", 47, nullptr, true, {0x000000, 0x000000, 0x000000}},
        {"colour 50", 50, nullptr, true, {0x800000, 0x385D3F, 0x6F4B4B}},
    };
    const COLORREF clrShadow[3] = {0x361E16, 0x19221F, 0x292024};
    const COLORREF clrCoreStart[3] = {0xF2ECE9, 0xF0F4F3, 0xF9F5F7};
    const COLORREF clrCoreEnd[3] = {0xAC7A61, 0x719083, 0x99797A};
    for (UINT nScheme : {1u, 2u, 3u}) {
        SCOPED_TRACE(nScheme);
        RequestedScheme scheme(nScheme);
        Probe<CXTPPaintThemeNo2> theme;
        theme.RefreshMetrics();
        const int i = static_cast<int>(nScheme) - 1;
        EXPECT_TRUE(theme.m_bLunaColorsActive);
        for (const PairCase& c : pairs) {
            SCOPED_TRACE(c.name);
            ExpectPair(theme.*c.pPair, c.clrStart[i], c.clrEnd[i], c.fFactor[i]);
        }
        ExpectPair(theme.m_clrBarGradient, clrCoreStart[i], clrCoreEnd[i], 0.5f);
        EXPECT_EQ(clrShadow[i], theme.m_clrShadow);
        for (const ValueCase& c : values) {
            SCOPED_TRACE(c.name);
            if (c.pField != nullptr) {
                EXPECT_EQ(c.clr[i], static_cast<COLORREF>(theme.*c.pField));
                continue;
            }
            EXPECT_EQ(c.clr[i], theme.GetColor(c.nIndex));
            EXPECT_EQ(c.bOverride, !!theme.Entry(c.nIndex).IsCustomValue());
            if (!c.bOverride) {
                EXPECT_EQ(c.clr[i], theme.Entry(c.nIndex).GetStandardColor());
            }
        }
    }
}

TEST(GradientThemeColors, WithoutASchemeTheFlatColoursStay)
{
    RequestedScheme scheme(xtSchemeNone);
    CXTPPaintManager base;
    base.RefreshMetrics();
    for (int nTheme : {2, 4}) {
        SCOPED_TRACE(nTheme);
        CXTPPaintManagerCore* pTheme = CXTPPaintManager::CreateTheme(nTheme);
        pTheme->RefreshMetrics();
        auto* pGradient = static_cast<CXTPPaintThemeNo2*>(pTheme);
        EXPECT_FALSE(pGradient->m_bLunaColorsActive);
        for (int i = 0; i < XTP_COLOR_COUNT; ++i)
            EXPECT_EQ(base.GetColor(i), pTheme->GetColor(i)) << i;
        const COLORREF clrFace = base.GetColor(COLOR_3DFACE);
        const COLORREF clrWindow = base.GetColor(COLOR_WINDOW);
        ExpectPair(pGradient->m_clrDockBar, clrFace, BlendColors(clrFace, clrWindow, 205), 0.5f);
        ExpectPair(pGradient->m_clrCommandBar, BlendColors(clrFace, clrWindow, 205), clrFace, 0.5f);
        EXPECT_EQ(base.GetColor(30), static_cast<COLORREF>(pGradient->m_clrCommandBarEdge));
        ExpectPair(pGradient->m_clrThirdGradient,
                   nTheme == 4 ? BlendColors(clrWindow, clrFace, 550)
                               : BlendColors(base.GetColor(51), base.GetColor(16), 51),
                   base.GetColor(COLOR_3DSHADOW), 0.5f);
        EXPECT_EQ(1, pGradient->GetGlyphs()->GetImageCount());
        pTheme->InternalRelease();
    }
}

TEST(GradientThemeColors, Theme4TakesItsOwnTablesFromTheColourTable)
{
    struct Case
    {
        UINT nScheme;
        COLORREF clrBarStart, clrBarEnd, clrDockStart, clrDockEnd, clrEdge, clrCoreStart, clrCoreEnd;
    };
    const Case cases[] = {
        {1, 0xF5F9FA, 0xA8C0C0, 0xD7E5E5, 0xE7F1F4, 0x7CA3A3, 0xF9F5F7, 0x99797A},
        {2, 0xF5F9FA, 0xA8C0C0, 0xD7E5E5, 0xE7F1F4, 0x7CA3A3, 0xD8E9EC, 0x99A8AC},
        {3, 0xFAF4F3, 0xB59799, 0xE5D7D7, 0xF7F3F3, 0x947C7C, 0xF9F5F7, 0x99797A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nScheme);
        RequestedScheme scheme(c.nScheme);
        CXTPPaintManager base;
        base.RefreshMetrics();
        Probe<CXTPPaintThemeNo4> theme;
        theme.RefreshMetrics();
        // Theme 2's part runs with the scheme selector at 0.
        EXPECT_FALSE(theme.m_bLunaColorsActive);
        ExpectPair(theme.m_clrCommandBar, c.clrBarStart, c.clrBarEnd, 0.75f);
        ExpectPair(theme.m_clrDockBar, c.clrDockStart, c.clrDockEnd, 0.5f);
        ExpectPair(theme.m_clrBarGradient, c.clrCoreStart, c.clrCoreEnd, 0.5f);
        EXPECT_EQ(c.clrEdge, static_cast<COLORREF>(theme.m_clrCommandBarEdge));
        if (c.nScheme == xtSchemeBlue) {
            // Only gradients and the edge colour change.
            ExpectPair(theme.m_clrFourthGradient, c.clrBarStart, c.clrBarEnd, 0.75f);
            ExpectPair(theme.m_clrPopupExpanded, 0xBAC7CC, 0xBAC7CC, 0.5f);
            for (int i = 0; i < XTP_COLOR_COUNT; ++i) {
                EXPECT_EQ(base.GetColor(i), theme.GetColor(i)) << i;
                EXPECT_FALSE(theme.Entry(i).IsCustomValue()) << i;
            }
        }
        if (c.nScheme == xtSchemeOlive) {
            for (const std::pair<int, COLORREF>& standard :
                 {std::pair<int, COLORREF>(31, 0x8DC6B6), {33, 0x70A093}, {36, 0x8DC6B6}, {47, 0xFFFFFF}})
                EXPECT_EQ(standard.second, theme.Entry(standard.first).GetStandardColor()) << standard.first;
        }
        if (c.nScheme == xtSchemeSilver) {
            for (const std::pair<int, COLORREF>& custom : {std::pair<int, COLORREF>(31, 0xC2EEFF),
                                                           {32, 0x6F4B4B},
                                                           {33, 0x3E80FE},
                                                           {36, 0x6FC0FF},
                                                           {37, 0x6F4B4B},
                                                           {47, 0x000000},
                                                           {50, 0x6F4B4B}}) {
                EXPECT_TRUE(theme.Entry(custom.first).IsCustomValue()) << custom.first;
                EXPECT_EQ(custom.second, theme.GetColor(custom.first)) << custom.first;
            }
            for (const std::pair<int, COLORREF>& standard : {std::pair<int, COLORREF>(30, 0xE4DADB),
                                                             {35, 0x8D8D8D},
                                                             {38, 0x755454},
                                                             {39, 0x8F6D6E},
                                                             {60, 0x8D8D8D}}) {
                EXPECT_FALSE(theme.Entry(standard.first).IsCustomValue()) << standard.first;
                EXPECT_EQ(standard.second, theme.GetColor(standard.first)) << standard.first;
            }
            EXPECT_EQ(0x99797Au, static_cast<COLORREF>(theme.m_clrFloatingCaption));
            EXPECT_EQ(0xD3C0C0u, static_cast<COLORREF>(theme.m_clrTearOff));
            // Overrides outlive a later refresh under another scheme: the colours may then be mixed.
            GetColorTable()->SetRequestedScheme(xtSchemeNone);
            GetColorTable()->Refresh();
            theme.RefreshMetrics();
            EXPECT_EQ(0xC2EEFFu, theme.GetColor(31));
            EXPECT_EQ(base.GetColor(COLOR_3DFACE), theme.GetColor(COLOR_3DFACE));
        }
    }
}

TEST(GradientThemeDrawing, TheGlyphListKeepsTheMaskColourOutOfTheGlyph)
{
    CXTPPaintThemeNo2 theme;
    theme.RefreshMetrics();
    CImageList* pGlyphs = theme.GetGlyphs();
    ASSERT_EQ(1, pGlyphs->GetImageCount());
    int cx = 0, cy = 0;
    pGlyphs->GetIconSize(&cx, &cy);
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);
    // Drawn transparently, the corners show the background and the middle the glyph, never green.
    PixelSurface surface(16, 16, kBackground);
    pGlyphs->Draw(surface.dc(), 0, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(kBackground, surface.Pixel(0, 0));
    EXPECT_EQ(kBackground, surface.Pixel(15, 15));
    EXPECT_EQ(theme.GetColor(COLOR_3DHIGHLIGHT), surface.Pixel(4, 4));
    EXPECT_EQ(0, surface.Count(RGB(0, 255, 0)));
}

TEST(GradientThemeDrawing, StatesTakeTheirGradientsUnderASchemeAndFlatColoursWithout)
{
    struct Case
    {
        const char* name;
        int nSelected, nPressed;
        BOOL bEnabled, bChecked;
        CXTColorPair CXTPPaintThemeNo2::*pGradient;
        int nBorder;
        int nFlatFill;
    };
    const Case cases[] = {
        {"checked", 0, 0, TRUE, TRUE, &CXTPPaintThemeNo2::m_clrChecked, 50, 36},
        {"hot", 1, 0, TRUE, FALSE, &CXTPPaintThemeNo2::m_clrHot, 32, 31},
        {"pressed", 1, 1, TRUE, FALSE, &CXTPPaintThemeNo2::m_clrPressed, 50, 33},
        {"checked and hot", 1, 0, TRUE, TRUE, &CXTPPaintThemeNo2::m_clrPressed, 50, 33},
        {"disabled by keyboard", 2, 0, FALSE, FALSE, &CXTPPaintThemeNo2::m_clrHot, 50, 31},
    };
    const CRect rect(2, 2, 32, 24);
    for (int nTheme : {2, 4}) {
        RequestedScheme scheme(xtSchemeBlue);
        CXTPPaintManagerCore* pTheme = CXTPPaintManager::CreateTheme(nTheme);
        pTheme->RefreshMetrics();
        auto* pGradient = static_cast<CXTPPaintThemeNo2*>(pTheme);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (nTheme == 2 ? " theme 2" : " theme 4"));
            PixelSurface surface(34, 26, kBackground);
            pTheme->DrawRectangle(surface.dc(), rect, c.nSelected, c.nPressed, c.bEnabled, c.bChecked, FALSE,
                                  xtpBarTypeNormal, xtpBarTop);
            if (nTheme == 2) {
                // Vertical on a top bar: the first row inside the border starts, the last one ends.
                const CXTColorPair& gradient = pGradient->*c.pGradient;
                EXPECT_TRUE(ColorsNear(gradient.m_clrStart, surface.Pixel(16, 3), 12));
                EXPECT_TRUE(ColorsNear(gradient.m_clrEnd, surface.Pixel(16, 22), 12));
                EXPECT_EQ(pTheme->GetColor(c.nBorder), surface.Pixel(2, 2));
            } else {
                // Theme 4 keeps the flat colours of the base.
                EXPECT_EQ(pTheme->GetColor(c.nFlatFill), surface.Pixel(16, 12));
            }
        }
        // The open control's gradient, whatever the scheme flag.
        PixelSurface surface(34, 26, kBackground);
        pTheme->DrawRectangle(surface.dc(), rect, 1, 0, TRUE, FALSE, TRUE, xtpBarTypeNormal, xtpBarTop);
        EXPECT_TRUE(ColorsNear(pGradient->m_clrPopupControl.m_clrStart, surface.Pixel(16, 3), 12));
        EXPECT_EQ(pTheme->GetColor(43), surface.Pixel(2, 2));
        pTheme->InternalRelease();
    }
    // The gradients themselves.
    CXTPPaintThemeNo2 theme;
    ExpectPair(theme.m_clrChecked, 0x8CD5FF, 0x55ADFF, 0.5f);
    ExpectPair(theme.m_clrPressed, 0x4B8EFE, 0x8BCFFF, 0.5f);
    ExpectPair(theme.m_clrHot, 0xC8F2FF, 0x97D4FF, 0.5f);
}

TEST(GradientThemeDrawing, TearOffRowsAndStatusPanes)
{
    RequestedScheme scheme(xtSchemeSilver);
    CXTPPaintThemeNo2 theme;
    theme.RefreshMetrics();
    const COLORREF clrDark = theme.GetColor(38);
    const COLORREF clrLight = theme.GetColor(COLOR_3DHIGHLIGHT);
    // The tear-off row: the tear-off colour with dark dots every 4 pixels, each with a light one below right.
    PixelSurface tearOff(120, 9, kBackground);
    EXPECT_EQ(CSize(0, 9), theme.DrawTearOffGripper(tearOff.dc(), CRect(0, 0, 120, 9), FALSE, FALSE));
    EXPECT_EQ(120 * 9, tearOff.Count(kBackground));
    theme.DrawTearOffGripper(tearOff.dc(), CRect(0, 0, 120, 9), FALSE, TRUE);
    EXPECT_EQ(static_cast<COLORREF>(theme.m_clrTearOff), tearOff.Pixel(1, 1));
    // The handle is centred along the row, its half length min(32, width / 2 - 10): dots from 31 to 91.
    EXPECT_EQ(clrDark, tearOff.Pixel(28, 4));
    EXPECT_EQ(clrLight, tearOff.Pixel(30, 6));
    EXPECT_EQ(clrDark, tearOff.Pixel(88, 4));
    EXPECT_EQ(static_cast<COLORREF>(theme.m_clrTearOff), tearOff.Pixel(24, 4));
    EXPECT_EQ(static_cast<COLORREF>(theme.m_clrTearOff), tearOff.Pixel(92, 4));
    // A status pane's frame in the frame colour.
    PixelSurface pane(40, 20, kBackground);
    theme.DrawStatusBarPaneBorder(pane.dc(), CRect(0, 0, 40, 20), FALSE);
    EXPECT_EQ(static_cast<COLORREF>(theme.m_clrStatusPane), pane.Pixel(0, 10));
    EXPECT_EQ(static_cast<COLORREF>(theme.m_clrStatusPane), pane.Pixel(39, 19));
    EXPECT_EQ(kBackground, pane.Pixel(20, 10));
    EXPECT_EQ(0xDAEAECu, static_cast<COLORREF>(theme.m_clrStatusPane));
}

TEST(DefaultThemeDrawing, ControlStatesAreClassicEdges)
{
    CXTPPaintThemeDefault theme;
    theme.RefreshMetrics();
    const COLORREF clrFace = theme.GetColor(COLOR_3DFACE);
    const COLORREF clrLight = theme.GetColor(COLOR_3DHIGHLIGHT);
    const COLORREF clrShadow = theme.GetColor(COLOR_3DSHADOW);
    struct Case
    {
        const char* name;
        int nSelected, nPressed;
        BOOL bEnabled, bChecked, bPopuped;
        COLORREF clrTopLeft, clrBottomRight;
    };
    const Case cases[] = {
        {"idle", 0, 0, TRUE, FALSE, FALSE, kBackground, kBackground},
        {"hot", 1, 0, TRUE, FALSE, FALSE, clrLight, clrShadow},
        {"pressed", 1, 1, TRUE, FALSE, FALSE, clrShadow, clrLight},
        {"open", 0, 0, TRUE, FALSE, TRUE, clrShadow, clrLight},
        {"checked and hot", 1, 0, TRUE, TRUE, FALSE, clrShadow, clrLight},
        {"disabled", 1, 0, FALSE, FALSE, FALSE, kBackground, kBackground},
        {"disabled checked", 0, 0, FALSE, TRUE, FALSE, clrShadow, clrLight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelSurface surface(30, 30, kBackground);
        theme.DrawRectangle(surface.dc(), CRect(2, 2, 28, 28), c.nSelected, c.nPressed, c.bEnabled,
                            c.bChecked, c.bPopuped, xtpBarTypeNormal, xtpBarTop);
        EXPECT_EQ(c.clrTopLeft, surface.Pixel(2, 10));
        EXPECT_EQ(c.clrBottomRight, surface.Pixel(27, 10));
        EXPECT_EQ(kBackground, surface.Pixel(15, 15));
    }
    // A checked idle button: the face and light checker inside a sunken edge.
    PixelSurface surface(30, 30, kBackground);
    const GdiState before(surface.dc());
    theme.DrawRectangle(surface.dc(), CRect(2, 2, 28, 28), 0, 0, TRUE, TRUE, FALSE, xtpBarTypeNormal,
                        xtpBarTop);
    EXPECT_TRUE(before == GdiState(surface.dc()));
    EXPECT_EQ(clrShadow, surface.Pixel(2, 10));
    EXPECT_EQ(clrLight, surface.Pixel(27, 10));
    for (int x = 4; x < 8; ++x) {
        EXPECT_NE(surface.Pixel(x, 10), surface.Pixel(x + 1, 10));
        EXPECT_NE(surface.Pixel(x, 10), surface.Pixel(x, 11));
        EXPECT_TRUE(surface.Pixel(x, 10) == clrFace || surface.Pixel(x, 10) == clrLight);
    }
}

// The first and last columns and rows that differ from the background.
CRect InkBounds(const PixelSurface& surface)
{
    CRect bounds(surface.width(), surface.height(), -1, -1);
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (surface.Pixel(x, y) != kBackground)
                bounds.SetRect(std::min<int>(bounds.left, x), std::min<int>(bounds.top, y),
                               std::max<int>(bounds.right, x), std::max<int>(bounds.bottom, y));
    return bounds;
}

// A 16 x 16 icon: a filled square with a one-pixel transparent margin.
class SquareIcon
{
public:
    SquareIcon()
    {
        m_pManager = new CXTPImageManager;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 16;
        info.bmiHeader.biHeight = -16;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* pBits = nullptr;
        HBITMAP hBitmap = ::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pBits, NULL, 0);
        auto* pBytes = static_cast<BYTE*>(pBits);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                BYTE* pPixel = pBytes + y * 48 + x * 3;
                const bool bInside = x >= 2 && x < 14 && y >= 2 && y < 14;
                // Blue, green, red: a dark blue square on the magenta key colour.
                pPixel[0] = bInside ? 160 : 255;
                pPixel[1] = 0;
                pPixel[2] = bInside ? 0 : 255;
            }
        const UINT nId = 4711;
        m_pManager->AddIconsFromBitmapHandle(hBitmap, &nId, 1, 16, 16);
        ::DeleteObject(hBitmap);
        m_pIcon = m_pManager->GetImage(nId, 16);
    }
    ~SquareIcon() { m_pManager->InternalRelease(); }
    CXTPImageManagerIcon* Get() const { return m_pIcon; }

private:
    CXTPImageManager* m_pManager;
    CXTPImageManagerIcon* m_pIcon;
};

TEST(DefaultThemeDrawing, PressedIconsSinkAndDisabledIconsAreEmbossed)
{
    CXTPPaintThemeDefault theme;
    theme.RefreshMetrics();
    SquareIcon icon;
    ASSERT_NE(nullptr, icon.Get());
    PixelSurface idle(24, 24, kBackground);
    theme.DrawImage(idle.dc(), CPoint(4, 4), CSize(16, 16), icon.Get(), FALSE, FALSE, TRUE, FALSE, FALSE,
                    TRUE);
    PixelSurface pressed(24, 24, kBackground);
    theme.DrawImage(pressed.dc(), CPoint(4, 4), CSize(16, 16), icon.Get(), TRUE, TRUE, TRUE, FALSE, FALSE,
                    TRUE);
    CRect rectIdle = InkBounds(idle);
    ASSERT_LT(rectIdle.left, rectIdle.right);
    rectIdle.OffsetRect(1, 1);
    EXPECT_EQ(rectIdle, InkBounds(pressed));

    PixelSurface disabled(24, 24, kBackground);
    theme.DrawImage(disabled.dc(), CPoint(4, 4), CSize(16, 16), icon.Get(), FALSE, FALSE, FALSE, FALSE, FALSE,
                    TRUE);
    const COLORREF clrLight = theme.GetColor(COLOR_3DHIGHLIGHT);
    const COLORREF clrShadow = theme.GetColor(COLOR_3DSHADOW);
    EXPECT_GT(disabled.Count(clrShadow), 0);
    EXPECT_GT(disabled.Count(clrLight), 0);
    EXPECT_EQ(24 * 24, disabled.Count(clrShadow) + disabled.Count(clrLight) + disabled.Count(kBackground));
    // The light copy shows below and right of the shadow one.
    const CRect rectInk = InkBounds(disabled);
    EXPECT_EQ(clrLight, disabled.Pixel(rectInk.right, rectInk.bottom));
    EXPECT_EQ(clrShadow, disabled.Pixel(rectInk.left, rectInk.top));
}

TEST(DefaultThemeDrawing, ASelectedPopupItemKeepsTheFaceUnlessTheWholeRowHighlights)
{
    CXTPPaintThemeDefault theme;
    theme.RefreshMetrics();
    const COLORREF clrFace = theme.GetColor(COLOR_3DFACE);
    auto* pBar = new CXTPPopupBar;
    CXTPControl* pItem = pBar->GetControls()->Add(xtpControlButton, 1);
    pItem->SetCaption(L"Item");
    pItem->SetRect(CRect(3, 3, 150, 25));
    pItem->SetSelected(TRUE);
    for (BOOL bFullRow : {FALSE, TRUE}) {
        SCOPED_TRACE(bFullRow);
        theme.m_bFullRowHighlight = bFullRow;
        PixelSurface surface(160, 30, clrFace);
        theme.DrawControlPopupParent(surface.dc(), pItem, TRUE);
        const COLORREF clrRow = bFullRow ? theme.GetColor(COLOR_HIGHLIGHT) : clrFace;
        EXPECT_EQ(clrRow, surface.Pixel(140, 14));
        EXPECT_GT(surface.Count(theme.GetColor(COLOR_HIGHLIGHTTEXT)), 5);
        if (!bFullRow) {
            EXPECT_EQ(0, surface.Count(theme.GetColor(COLOR_HIGHLIGHT)));
        }
    }
    pBar->InternalRelease();
}

TEST(DefaultThemeDrawing, SeparatorsAreEtchedAndGrippersRaised)
{
    CXTPPaintThemeDefault theme;
    theme.RefreshMetrics();
    const ToolBarWithButton toolbar;
    CXTPToolBar* pBar = toolbar.pBar;
    CXTPControl* pControl = toolbar.pControl;
    PixelSurface surface(110, 30, kBackground);
    EXPECT_EQ(CSize(6, 6), theme.DrawCommandBarSeparator(surface.dc(), pBar, pControl, FALSE));
    theme.DrawCommandBarSeparator(surface.dc(), pBar, pControl, TRUE);
    EXPECT_EQ(theme.GetColor(COLOR_3DSHADOW), surface.Pixel(26, 12));
    EXPECT_EQ(theme.GetColor(COLOR_3DHIGHLIGHT), surface.Pixel(27, 12));
    EXPECT_EQ(kBackground, surface.Pixel(28, 12));
    auto* pPopup = new CXTPPopupBar;
    CXTPControl* pItem = pPopup->GetControls()->Add(xtpControlButton, 1);
    EXPECT_EQ(CSize(8, 8), theme.DrawCommandBarSeparator(surface.dc(), pPopup, pItem, FALSE));
    EXPECT_EQ(CRect(3, 3, 3, 3), theme.GetCommandBarBorders(pPopup));
    pPopup->InternalRelease();
    EXPECT_EQ(CSize(6, std::max(22, theme.GetTextHeight() + 4)), theme.DrawSpecialGripper(NULL, NULL, FALSE));
}

} // namespace
