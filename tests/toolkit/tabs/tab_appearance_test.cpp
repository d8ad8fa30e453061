// The appearances' tab shapes as pixels on a 32-bit memory DC, for the item rectangle (100, 10, 180,
// 34): the slanted outlines and faces of 9, 3 and 7, the frames of 6, the classic tab of 0 with its
// strip and content rectangle, and the navigate buttons' faces and glyphs.
#include "tab_test_owner.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kOutline = RGB(255, 0, 0);
const COLORREF kSelectedOutline = RGB(0, 0, 255);
const COLORREF kThird = RGB(0, 160, 0);
const COLORREF kFourth = RGB(255, 0, 255);
const COLORREF kNormalFace = RGB(200, 200, 0);
const COLORREF kSelectedFace = RGB(0, 200, 200);
const COLORREF kBorder = RGB(90, 40, 10);

// One tab with the test rectangle, drawn alone by the appearance through the default colour set with
// distinct colours.
class TabShapeTest : public ::testing::Test
{
protected:
    void Prepare(int nAppearance, XTPTabPosition position, BOOL bSelected)
    {
        CXTPTabPaintManager* pPaintManager = m_owner.m_pPaintManager;
        pPaintManager->SelectAppearance(nAppearance);
        pPaintManager->SelectColorSet(xtpTabColorDefault);
        pPaintManager->SetPosition(position);
        UseTestFont(pPaintManager);
        m_owner.AddTabs({L"", L""});
        m_pItem = m_owner.GetItem(0);
        if (bSelected)
            m_owner.SetSelectedItem(m_pItem);
        m_pItem->m_rcItem.SetRect(100, 10, 180, 34);
        CXTPTabColorSet* pColorSet = pPaintManager->GetColorSet();
        pColorSet->m_clrLines[0].SetStandardValue(kOutline);
        pColorSet->m_clrLines[1].SetStandardValue(kSelectedOutline);
        pColorSet->m_clrLines[2].SetStandardValue(kThird);
        pColorSet->m_clrLines[3].SetStandardValue(kFourth);
        pColorSet->m_clrNormalItemFace.SetStandardValue(kNormalFace);
        pColorSet->m_clrSelectedItemFace.SetStandardValue(kSelectedFace);
        pColorSet->m_clrFrameBorder.SetStandardValue(kBorder);
        for (int nGroup = 0; nGroup < 2; ++nGroup) {
            const COLORREF colors[6] = {RGB(250, 0, 0),   RGB(0, 0, 250),   RGB(0, 250, 0),
                                        RGB(250, 0, 250), RGB(0, 250, 250), RGB(120, 0, 0)};
            for (int i = 0; i < 6; ++i)
                pColorSet->m_clrGroups[nGroup][i].SetStandardValue(colors[i]);
        }
    }
    void Draw()
    {
        m_surface.Fill(kWhite);
        m_owner.m_pPaintManager->GetAppearanceSet()->DrawSingleTab(m_surface.dc(), m_pItem);
    }
    COLORREF Pixel(int x, int y) const { return m_surface.Pixel(x, y); }

    CTestTabOwner m_owner;
    CXTPTabManagerItem* m_pItem = NULL;
    PixelSurface m_surface{260, 60, kWhite};
};

TEST_F(TabShapeTest, Appearance9TopRunsThroughTheEightPoints)
{
    Prepare(9, xtpTabPositionTop, FALSE);
    Draw();
    // The last point ends the outline and is not drawn.
    const POINT outline[] = {{188, 33}, {179, 15}, {175, 11}, {172, 10},
                             {108, 10}, {105, 11}, {102, 14}, {93, 32}};
    for (const POINT& pt : outline)
        EXPECT_EQ(Pixel(pt.x, pt.y), kOutline) << pt.x << "," << pt.y;
    EXPECT_EQ(Pixel(187, 33), kThird);
    EXPECT_EQ(Pixel(140, 11), kFourth);
    EXPECT_EQ(Pixel(140, 25), kNormalFace);
    EXPECT_EQ(Pixel(91, 33), kWhite) << "8 pixels beyond the item at most";
    EXPECT_EQ(Pixel(190, 33), kWhite);

    Prepare(9, xtpTabPositionTop, TRUE);
    Draw();
    EXPECT_EQ(Pixel(140, 10), kSelectedOutline);
    EXPECT_EQ(Pixel(140, 11), kWhite);
    EXPECT_EQ(Pixel(140, 25), kSelectedFace);
    EXPECT_EQ(Pixel(140, 33), kSelectedFace) << "no base strip, the face only";
}

TEST_F(TabShapeTest, Appearance3TopFaceOutlineAndBaseStrip)
{
    Prepare(3, xtpTabPositionTop, FALSE);
    Draw();
    EXPECT_EQ(Pixel(180, 20), kOutline);
    EXPECT_EQ(Pixel(150, 10), kOutline);
    EXPECT_EQ(Pixel(179, 20), kThird);
    EXPECT_EQ(Pixel(150, 11), kFourth);
    EXPECT_EQ(Pixel(150, 12), kNormalFace);
    EXPECT_EQ(Pixel(100, 25), kNormalFace) << "inside the slanted start";
    EXPECT_EQ(Pixel(85, 20), kWhite) << "outside it";
    EXPECT_EQ(Pixel(81, 33), kWhite) << "no strip for an unselected tab";

    Prepare(3, xtpTabPositionTop, TRUE);
    Draw();
    EXPECT_EQ(Pixel(150, 10), kSelectedOutline);
    EXPECT_EQ(Pixel(150, 11), kWhite);
    EXPECT_EQ(Pixel(81, 33), kSelectedFace);
    EXPECT_EQ(Pixel(180, 33), kSelectedFace);
    EXPECT_EQ(Pixel(80, 33), kWhite);
    EXPECT_EQ(Pixel(181, 33), kWhite);
}

TEST_F(TabShapeTest, Appearance7TopTrapezoidMovedBackByHalfItsSlant)
{
    Prepare(7, xtpTabPositionTop, TRUE);
    Draw();
    // k = 11, q = 5: the outer lines on the item's top row, the face's top edge one row lower.
    EXPECT_EQ(Pixel(140, 10), RGB(250, 0, 0));
    EXPECT_EQ(Pixel(140, 11), RGB(250, 0, 250));
    EXPECT_EQ(Pixel(140, 12), kSelectedFace);
    EXPECT_EQ(Pixel(95, 32), RGB(250, 0, 0)) << "the near slant starts at L - q";
    EXPECT_EQ(Pixel(175, 10), RGB(0, 250, 0)) << "the far slant starts at R - q";
    EXPECT_EQ(Pixel(185, 33), kSelectedFace) << "the base strip, R - L + k long";
    EXPECT_EQ(Pixel(94, 33), kWhite);
    EXPECT_EQ(Pixel(140, 25), kSelectedFace);
}

TEST_F(TabShapeTest, Appearance6FramesShareTheirFarLine)
{
    Prepare(6, xtpTabPositionTop, FALSE);
    Draw();
    EXPECT_EQ(Pixel(180, 20), kBorder);
    EXPECT_EQ(Pixel(181, 20), kWhite);
    EXPECT_EQ(Pixel(100, 20), kBorder);
    EXPECT_EQ(Pixel(140, 33), kBorder);
    EXPECT_EQ(Pixel(140, 34), kWhite);
    EXPECT_EQ(Pixel(140, 20), kNormalFace);

    Prepare(6, xtpTabPositionTop, TRUE);
    Draw();
    EXPECT_EQ(Pixel(140, 33), kSelectedFace);
    EXPECT_EQ(Pixel(140, 34), kBorder);
}

TEST_F(TabShapeTest, Appearance0BottomSelectedInTheFirstRow)
{
    Prepare(0, xtpTabPositionBottom, TRUE);
    m_owner.m_bIcons = TRUE;
    CXTPTabColorSet* pColorSet = m_owner.m_pPaintManager->GetColorSet();
    pColorSet->m_clrFrameHighlight.SetStandardValue(RGB(255, 255, 200));
    pColorSet->m_clrFrameShadow.SetStandardValue(RGB(128, 128, 128));
    pColorSet->m_clrFrameDarkShadow.SetStandardValue(RGB(20, 20, 20));
    Draw();
    // D = 98, 8, 182, 36.
    EXPECT_EQ(Pixel(140, 20), kSelectedFace);
    EXPECT_EQ(Pixel(181, 9), kSelectedFace) << "the strip reaches x 181 over the dark line";
    EXPECT_EQ(Pixel(181, 20), RGB(20, 20, 20));
    EXPECT_EQ(Pixel(98, 20), RGB(255, 255, 200));
    EXPECT_EQ(Pixel(140, 36), RGB(20, 20, 20)) << "the outer dark line one row below D";
    EXPECT_EQ(Pixel(140, 35), RGB(128, 128, 128));
    // The content rectangle 98, 8, 182, 38: the icon 6 - 1 in, centred on row 23.
    ASSERT_EQ(m_owner.m_iconPoints.size(), 1u);
    EXPECT_EQ(m_owner.m_iconPoints[0], CPoint(103, 15));

    m_owner.m_iconPoints.clear();
    m_pItem->m_nItemRow = 1;
    Draw();
    EXPECT_EQ(Pixel(181, 9), RGB(20, 20, 20)) << "no strip outside the first row";
    ASSERT_EQ(m_owner.m_iconPoints.size(), 1u);
    EXPECT_EQ(m_owner.m_iconPoints[0], CPoint(103, 14));
}

TEST_F(TabShapeTest, Appearance2SoftensItsCornersEvenAtTheSurfaceEdge)
{
    Prepare(2, xtpTabPositionTop, FALSE);
    Draw();
    EXPECT_EQ(Pixel(140, 10), kBorder);
    EXPECT_EQ(Pixel(100, 10), kWhite) << "the corner pixel is left out";
    EXPECT_NE(Pixel(101, 10), kBorder) << "softened with its left neighbour";
    EXPECT_EQ(Pixel(140, 20), kNormalFace);
    // A tab reaching past the surface: neighbours outside answer CLR_INVALID and are not mixed in.
    m_pItem->m_rcItem.SetRect(-1, 0, 59, 20);
    Draw();
    EXPECT_EQ(Pixel(0, 0), kBorder);
    EXPECT_EQ(Pixel(0, 1), kNormalFace);
}

TEST_F(TabShapeTest, NavigateGlyphsAndButtonFaces)
{
    Prepare(0, xtpTabPositionTop, FALSE);
    m_owner.m_pPaintManager->SetLayout(xtpTabLayoutFixed);
    m_owner.m_rcLayout = CRect(0, 0, 120, 40);
    m_owner.AddTabs({L"", L"", L""});
    CXTPTabManagerNavigateButton* pLeft = m_owner.FindNavigateButton(xtpTabNavigateButtonLeft);
    CXTPTabManagerNavigateButton* pRight = m_owner.FindNavigateButton(xtpTabNavigateButtonRight);
    ASSERT_FALSE(pRight->GetRect().IsRectEmpty());
    const COLORREF clrGlyph = GetColorTable()->GetColor(COLOR_BTNTEXT);
    m_surface.Fill(kWhite);
    pRight->Draw(m_surface.dc());
    pLeft->Draw(m_surface.dc());
    CPoint c = pRight->GetRect().CenterPoint();
    EXPECT_EQ(Pixel(c.x - 1, c.y - 1), clrGlyph) << "the enabled arrow is filled";
    EXPECT_EQ(Pixel(c.x + 3, c.y - 1), kWhite);
    c = pLeft->GetRect().CenterPoint();
    EXPECT_FALSE(pLeft->IsEnabled());
    EXPECT_EQ(Pixel(c.x - 2, c.y - 1), clrGlyph) << "the disabled arrow is an outline";
    EXPECT_EQ(Pixel(c.x + 1, c.y - 1), kWhite);

    // Hot: raised in the default colours, the glyph colour unchanged.
    pRight->CheckHot(NULL, pRight->GetRect().CenterPoint());
    m_surface.Fill(kWhite);
    pRight->Draw(m_surface.dc());
    const CRect rc = pRight->GetRect();
    EXPECT_EQ(Pixel(rc.left, rc.top), GetColorTable()->GetColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Pixel(rc.right - 1, rc.bottom - 1), GetColorTable()->GetColor(COLOR_BTNSHADOW));

    // The close cross.
    CXTPTabManagerNavigateButton* pClose = m_owner.FindNavigateButton(xtpTabNavigateButtonClose);
    pClose->SetShowMode(xtpTabNavigateButtonAlways);
    m_owner.Reposition();
    m_surface.Fill(kWhite);
    pClose->Draw(m_surface.dc());
    const CRect rcClose = pClose->GetRect();
    EXPECT_EQ(Pixel(rcClose.left + 3, rcClose.top + 3), clrGlyph);
    EXPECT_EQ(Pixel(rcClose.left + 3, rcClose.bottom - 6), clrGlyph);
    EXPECT_EQ(Pixel(rcClose.left + 1, rcClose.top + 1), kWhite);
}

TEST(TabNavigateButtonLooks, Style2AndTheSchemeLookOfStyle4)
{
    CTestTabOwner owner;
    owner.m_rcLayout = CRect(0, 0, 120, 40);
    owner.m_pPaintManager->SelectAppearance(xtpTabAppearanceFramedFlat);
    owner.m_pPaintManager->SetLayout(xtpTabLayoutFixed);
    owner.AddTabs({L"", L"", L""});
    CXTPTabManagerNavigateButton* pRight = owner.FindNavigateButton(xtpTabNavigateButtonRight);
    pRight->CheckHot(NULL, pRight->GetRect().CenterPoint());
    ASSERT_TRUE(pRight->IsHot());
    const CRect rc = pRight->GetRect();
    const CPoint c = rc.CenterPoint();
    CXTPColorTable* pTable = GetColorTable();
    {
        PixelSurface surface(120, 40, kWhite);
        pRight->Draw(surface.dc());
        EXPECT_EQ(surface.Pixel(rc.left, rc.top), pTable->GetColor(COLOR_BTNFACE));
        EXPECT_EQ(surface.Pixel(rc.right - 1, rc.bottom - 1), pTable->GetColor(COLOR_BTNTEXT));
        EXPECT_EQ(surface.Pixel(c.x - 1, c.y - 1), pTable->GetColor(49));
    }
    {
        RequestedScheme scheme(xtSchemeBlue);
        owner.m_pPaintManager->SelectColorSet(xtpTabColorStyle4);
        PixelSurface surface(120, 40, kWhite);
        pRight->Draw(surface.dc());
        EXPECT_EQ(surface.Pixel(rc.left, rc.top), static_cast<COLORREF>(0x800000));
        const COLORREF clrInside = surface.Pixel(rc.left + 2, rc.top + 2);
        EXPECT_TRUE(ColorsNear(clrInside, 0xC8F2FF, 40) || ColorsNear(clrInside, 0x97D4FF, 40));
        EXPECT_EQ(surface.Pixel(c.x - 1, c.y - 1), pTable->GetColor(45));
    }
    {
        RequestedScheme scheme(xtSchemeNone);
        owner.m_pPaintManager->SelectColorSet(xtpTabColorStyle4);
        PixelSurface surface(120, 40, kWhite);
        pRight->Draw(surface.dc());
        EXPECT_EQ(surface.Pixel(rc.left, rc.top), pTable->GetColor(32));
        EXPECT_EQ(surface.Pixel(rc.left + 2, rc.top + 2), pTable->GetColor(31));
    }
}

} // namespace
