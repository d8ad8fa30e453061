// The colour sets' refreshed fields under forced colour schemes 0 to 3, item text colours by state, and
// the header's halftone on a memory DC.
#include "common_controls_version.h"
#include "tab_test_owner.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

namespace {

COLORREF C(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

const COLORREF kUnset = static_cast<COLORREF>(-1);

void ExpectPair(const CXTColorPair& pair, COLORREF clrStart, COLORREF clrEnd)
{
    EXPECT_EQ(static_cast<COLORREF>(pair.m_clrStart), clrStart);
    EXPECT_EQ(static_cast<COLORREF>(pair.m_clrEnd), clrEnd);
}

TEST(TabColorSets, DefaultMemberUnderEveryScheme)
{
    for (UINT nScheme = 0; nScheme <= 3; ++nScheme) {
        SCOPED_TRACE(nScheme);
        RequestedScheme scheme(nScheme);
        CXTPTabPaintManager* pPaintManager = new CXTPTabPaintManager();
        CXTPTabColorSet* pSet = pPaintManager->GetColorSet();
        ExpectPair(pSet->m_clrHeaderFace, C(15), C(15));
        ExpectPair(pSet->m_clrButtonFace, C(15), C(15));
        EXPECT_EQ(pSet->m_clrFrameBorder, C(16));
        EXPECT_EQ(pSet->m_clrClientFace, C(15));
        EXPECT_EQ(pSet->m_clrButtonHighlight, C(20));
        EXPECT_EQ(pSet->m_clrSelectedItemFace, C(15));
        EXPECT_EQ(pSet->m_clrNormalItemFace, C(15));
        EXPECT_EQ(pSet->m_clrNormalText, C(18));
        EXPECT_EQ(pSet->m_clrInactiveText, C(18));
        EXPECT_EQ(pSet->m_clrSelectedText, C(18));
        EXPECT_EQ(pSet->m_clrHotText, static_cast<COLORREF>(0x800000));
        EXPECT_EQ(pSet->m_clrDisabledText, C(17));
        ExpectPair(pSet->m_clrAccentFace, static_cast<COLORREF>(-2), static_cast<COLORREF>(-2));
        ExpectPair(pSet->m_clrHighlightFace, C(16), C(20));
        EXPECT_EQ(pSet->m_clrFrameHighlight, C(20));
        EXPECT_EQ(pSet->m_clrFrameShadow, C(16));
        EXPECT_EQ(pSet->m_clrFrameDarkShadow, C(21));
        const COLORREF lines[4] = {C(16), C(16), C(15), C(15)};
        const COLORREF first[6] = {C(18), C(18), C(18), C(5), C(16), C(16)};
        const COLORREF second[6] = {C(18), C(18), C(18), kUnset, kUnset, kUnset};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(pSet->m_clrLines[i], lines[i]) << i;
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(pSet->m_clrGroups[0][i], first[i]) << i;
            EXPECT_EQ(pSet->m_clrGroups[1][i], second[i]) << i;
        }
        // With appearance 7 the item faces and the frame change.
        pPaintManager->SelectAppearance(xtpTabAppearanceTrapezoid);
        pPaintManager->SelectColorSet(xtpTabColorDefault);
        pSet = pPaintManager->GetColorSet();
        EXPECT_EQ(pSet->m_clrSelectedItemFace, C(15));
        EXPECT_EQ(pSet->m_clrNormalItemFace, C(5));
        EXPECT_EQ(pSet->m_clrFrameBorder, C(18));
        // The visual-style member on a system without visual styles: the default colours.
        pPaintManager->SelectAppearance(xtpTabAppearanceClassic);
        pPaintManager->SelectColorSet(xtpTabColorVisualStyle);
        pSet = pPaintManager->GetColorSet();
        EXPECT_FALSE(pSet->IsAppThemed());
        EXPECT_EQ(pSet->m_clrLines[0], C(16));
        EXPECT_EQ(pSet->m_clrHotText, static_cast<COLORREF>(0x800000));
        pPaintManager->InternalRelease();
    }
}

TEST(TabColorSets, Style2FollowsTheAppearance)
{
    CXTPTabPaintManager* pPaintManager = new CXTPTabPaintManager();
    struct Case
    {
        int nAppearance;
        COLORREF clrHeader;
        COLORREF clrNormalText;
    };
    const Case cases[] = {{6, C(48), C(18)}, {4, C(15), C(18)}, {7, C(15), C(18)}, {5, C(48), C(49)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nAppearance);
        pPaintManager->SelectAppearance(c.nAppearance);
        pPaintManager->SelectColorSet(xtpTabColorStyle2);
        CXTPTabColorSet* pSet = pPaintManager->GetColorSet();
        EXPECT_EQ(static_cast<COLORREF>(pSet->m_clrHeaderFace.m_clrStart), c.clrHeader);
        EXPECT_EQ(pSet->m_clrNormalText, c.clrNormalText);
        EXPECT_EQ(pSet->m_clrInactiveText, c.clrNormalText);
    }
    pPaintManager->InternalRelease();
}

TEST(TabColorSets, Style4LiteralColoursPerScheme)
{
    struct Row
    {
        COLORREF frameBorder, darkShadow, fourthLine, shadow, accent, highlight, headerStart, headerEnd,
            normalItem, selectedItem, extra, buttonStart, buttonEnd, secondExtra;
    };
    const Row rows[3] = {
        {0x9C613B, 0x9A3500, 0xFFFFFF, 0xF1A675, 0x6FC0FF, 0x800000, 0xFADAC4, 0xFEFDFC, 0xF6C0A2, 0x73C2FF,
         0xC9F0FF, 0xF5BE9E, 0xFADAC4, 0x800000},
        {0x588060, 0x6B7760, 0xFFFFFF, 0x8CC2B0, 0x6FC0FF, 0x385D3F, 0xE4F1F2, 0xFEFEFC, 0xAADED0, 0x73C2FF,
         0xC7F0FF, 0xA7D9D9, 0xE4F1F2, 0x385D3F},
        {0x947C7C, 0x927476, 0xFFFFFF, 0xCEB9BA, 0x6FC0FF, 0x6F4B4B, 0xF7F3F3, 0xFEFEFC, 0xE6D9D9, 0x73C2FF,
         0xC2EEFF, 0xE5D7D7, 0xF7F3F3, 0x6F4B4B},
    };
    for (UINT nScheme = 0; nScheme <= 3; ++nScheme) {
        SCOPED_TRACE(nScheme);
        RequestedScheme scheme(nScheme);
        CXTPTabPaintManager* pPaintManager = new CXTPTabPaintManager();
        pPaintManager->SelectColorSet(xtpTabColorStyle4);
        auto* pSet = dynamic_cast<CXTPTabColorSetStyle4*>(pPaintManager->GetColorSet());
        ASSERT_NE(pSet, nullptr);
        EXPECT_EQ(pSet->m_clrHotText, C(18));
        if (nScheme == 0) {
            EXPECT_FALSE(pSet->m_bSchemeColors);
            EXPECT_EQ(pSet->m_clrSelectedItemFace, C(36));
            ExpectPair(pSet->m_clrHeaderFace, C(15), BlendColors(C(15), C(5), 205));
            ExpectPair(pSet->m_clrAccentFace, C(36), C(36));
            ExpectPair(pSet->m_clrHighlightFace, C(37), C(37));
            EXPECT_EQ(pSet->m_clrHotFace, C(36));
        } else {
            const Row& r = rows[nScheme - 1];
            EXPECT_TRUE(pSet->m_bSchemeColors);
            EXPECT_EQ(pSet->m_clrFrameBorder, r.frameBorder);
            EXPECT_EQ(pSet->m_clrLines[1], r.frameBorder);
            EXPECT_EQ(pSet->m_clrFrameDarkShadow, r.darkShadow);
            EXPECT_EQ(pSet->m_clrLines[0], r.darkShadow);
            EXPECT_EQ(pSet->m_clrLines[3], r.fourthLine);
            EXPECT_EQ(pSet->m_clrFrameShadow, r.shadow);
            EXPECT_EQ(pSet->m_clrLines[2], r.shadow);
            ExpectPair(pSet->m_clrAccentFace, r.accent, r.accent);
            ExpectPair(pSet->m_clrHighlightFace, r.highlight, r.highlight);
            ExpectPair(pSet->m_clrHeaderFace, r.headerStart, r.headerEnd);
            EXPECT_EQ(pSet->m_clrNormalItemFace, r.normalItem);
            EXPECT_EQ(pSet->m_clrSelectedItemFace, r.selectedItem);
            EXPECT_EQ(pSet->m_clrHotFace, r.extra);
            ExpectPair(pSet->m_clrButtonFace, r.buttonStart, r.buttonEnd);
            EXPECT_EQ(pSet->m_clrSchemeFrame, r.secondExtra);
        }
        // The flat appearance keeps a plain header whatever the scheme.
        pPaintManager->SelectAppearance(xtpTabAppearanceFlat);
        pPaintManager->SelectColorSet(xtpTabColorStyle4);
        ExpectPair(pPaintManager->GetColorSet()->m_clrHeaderFace, C(15), C(15));
        ExpectPair(pPaintManager->GetColorSet()->m_clrButtonFace, C(15), C(15));
        // Scheme colours switched off by the paint manager.
        pPaintManager->m_bDisableLunaColors = TRUE;
        pPaintManager->SelectColorSet(xtpTabColorStyle4);
        EXPECT_FALSE(dynamic_cast<CXTPTabColorSetStyle4*>(pPaintManager->GetColorSet())->m_bSchemeColors);
        pPaintManager->InternalRelease();
    }
}

TEST(TabColorSets, Style16ThemesAndTheirSchemes)
{
    for (UINT nScheme = 0; nScheme <= 3; ++nScheme) {
        SCOPED_TRACE(nScheme);
        RequestedScheme scheme(nScheme);
        CXTPTabPaintManager* pPaintManager = new CXTPTabPaintManager();

        pPaintManager->SelectColorSet(xtpTabColorStyle16);
        auto* pStyle16 = dynamic_cast<CXTPTabColorSetStyle16*>(pPaintManager->GetColorSet());
        ASSERT_NE(pStyle16, nullptr);
        EXPECT_EQ(pStyle16->m_bGradientItems, nScheme != 0) << "scheme colours on: those of style 4";
        pPaintManager->m_bDisableLunaColors = TRUE;
        pPaintManager->SelectColorSet(xtpTabColorStyle16);
        pStyle16 = dynamic_cast<CXTPTabColorSetStyle16*>(pPaintManager->GetColorSet());
        EXPECT_EQ(pStyle16->m_clrSelectedItemFace, static_cast<COLORREF>(0xFFFFFF));
        EXPECT_EQ(pStyle16->m_clrHotFace, C(36));
        EXPECT_EQ(pStyle16->m_clrHotText, C(18));
        EXPECT_EQ(pStyle16->m_clrFrameBorder, C(57));
        EXPECT_EQ(pStyle16->m_clrLines[1], C(57));
        EXPECT_EQ(pStyle16->m_bGradientItems, nScheme != 0);
        const COLORREF clrHeader =
            nScheme == 1 || nScheme == 2 ? 0xD5E2E4 : (nScheme == 3 ? 0xEEEEEE : C(15));
        ExpectPair(pStyle16->m_clrHeaderFace, clrHeader, clrHeader);
        EXPECT_EQ(pStyle16->m_clrNormalItemFace, nScheme == 3 ? static_cast<COLORREF>(0xF8F5F5) : C(15));
        pPaintManager->m_bDisableLunaColors = FALSE;

        const COLORREF clrFace = ::GetSysColor(COLOR_BTNFACE);
        auto* pTheme6 = new CXTPTabColorSetTheme6(TRUE, FALSE);
        pPaintManager->SetColorSet(pTheme6);
        EXPECT_EQ(pTheme6->m_clrSelectedItemFace, static_cast<COLORREF>(0xFFFFFF));
        EXPECT_EQ(pTheme6->m_bSchemeColors, nScheme != 0);
        if (nScheme == 0) {
            ExpectPair(pTheme6->m_clrHeaderFace, clrFace,
                       BlendColors(clrFace, ::GetSysColor(COLOR_WINDOW), 205));
        } else if (nScheme == 3) {
            ExpectPair(pTheme6->m_clrHeaderFace, 0xE5D7D7, 0xF7F3F3);
            EXPECT_EQ(pTheme6->m_clrNormalItemFace, static_cast<COLORREF>(0xF7F2F2));
            const COLORREF lines[4] = {0x9C9B91, 0x9C9B91, 0xD8BEBE, 0xFFFFFF};
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(pTheme6->m_clrLines[i], lines[i]);
        } else {
            ExpectPair(pTheme6->m_clrHeaderFace, 0xD7E5E5, 0xE7F1F4);
            EXPECT_EQ(pTheme6->m_clrLines[3], static_cast<COLORREF>(0xFFFFFF));
        }
        ExpectPair(pTheme6->m_clrButtonFace, pTheme6->m_clrHeaderFace.m_clrStart,
                   pTheme6->m_clrHeaderFace.m_clrEnd);

        // Transparent items fill nothing but the selected pane tab.
        CTestTabOwner owner(pPaintManager);
        owner.AddTabs({L"a", L"b"});
        owner.SetSelectedItem(owner.GetItem(0));
        auto* pTransparent = new CXTPTabColorSetTheme6(TRUE, TRUE);
        pPaintManager->SetColorSet(pTransparent);
        PixelSurface surface(20, 20, RGB(1, 2, 3));
        EXPECT_EQ(pTransparent->FillItem(surface.dc(), CRect(0, 0, 10, 10), owner.GetItem(1)), kUnset);
        EXPECT_EQ(surface.Pixel(5, 5), RGB(1, 2, 3));
        EXPECT_NE(pTransparent->FillItem(surface.dc(), CRect(0, 0, 10, 10), owner.GetItem(0)), kUnset);

        auto* pTheme9 = new CXTPTabColorSetTheme9(FALSE, FALSE);
        pPaintManager->SetColorSet(pTheme9);
        EXPECT_FALSE(pTheme9->m_bSchemeColors);
        EXPECT_FALSE(pTheme9->m_bSchemeButtons);
        const COLORREF clrText = nScheme != 0 ? 0x646F71 : C(18);
        EXPECT_EQ(pTheme9->m_clrNormalText, clrText);
        EXPECT_EQ(pTheme9->m_clrSelectedText, clrText);
        pPaintManager->SetColorSet(new CXTPTabColorSetTheme9(TRUE, FALSE));
        EXPECT_EQ(pPaintManager->GetColorSet()->m_clrSelectedText, C(18))
            << "pane tabs keep their selected text";
        pPaintManager->InternalRelease();
    }
}

TEST(TabColorSets, TextColourByItemState)
{
    CTestTabOwner owner;
    owner.AddTabs({L"a", L"b", L"c"});
    owner.SetSelectedItem(owner.GetItem(0));
    owner.m_pHighlighted = owner.GetItem(1);
    CXTPTabColorSet* pSet = owner.m_pPaintManager->GetColorSet();
    pSet->m_clrNormalText.SetStandardValue(RGB(1, 0, 0));
    pSet->m_clrSelectedText.SetStandardValue(RGB(2, 0, 0));
    pSet->m_clrHotText.SetStandardValue(RGB(3, 0, 0));
    pSet->m_clrDisabledText.SetStandardValue(RGB(4, 0, 0));
    pSet->m_clrInactiveText.SetStandardValue(RGB(5, 0, 0));
    PixelSurface surface(10, 10, RGB(255, 255, 255));
    CDC* pDC = surface.dc();
    auto textOf = [&](int nIndex) {
        pSet->SetTextColor(pDC, owner.GetItem(nIndex));
        return pDC->GetTextColor();
    };
    EXPECT_EQ(textOf(0), RGB(2, 0, 0));
    EXPECT_EQ(textOf(1), RGB(3, 0, 0));
    EXPECT_EQ(textOf(2), RGB(1, 0, 0));
    owner.GetItem(0)->SetEnabled(FALSE);
    EXPECT_EQ(textOf(0), RGB(4, 0, 0)) << "disabled wins over selected";
    owner.GetItem(0)->SetEnabled(TRUE);
    owner.m_bActive = FALSE;
    EXPECT_EQ(textOf(0), RGB(5, 0, 0));

    // The item colours replace the faces when asked.
    owner.m_pPaintManager->m_bUseItemColors = TRUE;
    EXPECT_EQ(pSet->GetItemColor(owner.GetItem(2)), static_cast<COLORREF>(0x9FCDBD));
}

TEST(TabColorSets, HeaderHalftoneAlternatesItsTwoColours)
{
    CTestTabOwner owner;
    CXTPTabColorSet* pSet = owner.m_pPaintManager->GetColorSet();
    pSet->m_clrHeaderFace.Set(RGB(255, 0, 0), RGB(0, 0, 255));
    PixelSurface surface(16, 8, RGB(255, 255, 255));
    pSet->FillHeader(surface.dc(), CRect(0, 0, 16, 8), &owner);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const COLORREF clr = surface.Pixel(x, y);
            ASSERT_TRUE(clr == RGB(255, 0, 0) || clr == RGB(0, 0, 255)) << x << "," << y;
            EXPECT_NE(clr, surface.Pixel((x + 1) % 16, y)) << x << "," << y;
            EXPECT_NE(clr, surface.Pixel(x, (y + 1) % 8)) << x << "," << y;
        }
    }
    EXPECT_EQ(surface.Count(RGB(255, 0, 0)), 64);
}

TEST(TabColorSets, VisualStyleMemberThemedWhenTheControlsAreVersionSix)
{
    XTSetComCtlVersionOverride((6u << 16) | 0u);
    CTestTabOwner owner;
    owner.m_pPaintManager->SelectColorSet(xtpTabColorVisualStyle);
    CXTPTabColorSet* pSet = owner.m_pPaintManager->GetColorSet();
    const BOOL bThemed = pSet->IsAppThemed();
    if (bThemed) {
        EXPECT_EQ(pSet->m_clrLines[0], kUnset) << "no item lines";
        EXPECT_EQ(pSet->m_clrHotText, pSet->m_clrNormalText);
        owner.AddTabs({L"a"});
        PixelSurface surface(40, 30, RGB(1, 2, 3));
        EXPECT_EQ(pSet->FillItem(surface.dc(), CRect(0, 0, 40, 30), owner.GetItem(0)), kUnset);
        EXPECT_NE(surface.Pixel(20, 15), RGB(1, 2, 3)) << "the style's tab item painted";
    }
    XTSetComCtlVersionOverride(0);
    owner.m_pPaintManager->SelectColorSet(xtpTabColorVisualStyle);
    EXPECT_FALSE(owner.m_pPaintManager->GetColorSet()->IsAppThemed());
    if (!bThemed)
        GTEST_SKIP() << "no visual style active on this display";
}

} // namespace
