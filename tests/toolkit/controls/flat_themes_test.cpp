// The flat combo box and flat edit themes drawn through a memory DC over real controls.
#include "color_table.h"
#include "flat_control_themes.h"
#include "mem_dc.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

COLORREF Color(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

class FlatThemes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), L"flat", WS_POPUP | WS_VISIBLE,
                                      CRect(60, 60, 360, 260), NULL, 0));
        ASSERT_TRUE(m_dropList.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 10, 130, 200),
                                      &m_parent, 1));
        ASSERT_TRUE(
            m_dropDown.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(10, 50, 130, 200), &m_parent, 2));
        ASSERT_TRUE(m_edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 90, 130, 112), &m_parent, 3));
    }
    void TearDown() override { m_parent.DestroyWindow(); }

    // The combo box drawn by a theme into a surface of its client size, through a memory DC.
    std::unique_ptr<PixelSurface> DrawCombo(int nTheme, CComboBox& combo, int nState, COLORREF clrBack)
    {
        std::unique_ptr<CXTThemeObject> pTheme(m_comboFactory.CreateTheme(nTheme));
        pTheme->RefreshMetrics();
        m_cxDropButton = static_cast<CXTFlatComboBoxTheme*>(pTheme.get())->m_cxDropButton;
        CRect rect;
        combo.GetClientRect(&rect);
        auto surface = std::make_unique<PixelSurface>(rect.Width(), rect.Height(), RGB(0, 0, 0));
        {
            CXTMemDC memDC(surface->dc(), rect);
            static_cast<CXTFlatComboBoxTheme*>(pTheme.get())
                ->DrawFlatComboBox(&memDC, &combo, nState, clrBack);
        }
        return surface;
    }

    CWnd m_parent;
    CComboBox m_dropList;
    CComboBox m_dropDown;
    CEdit m_edit;
    CXTFlatComboBoxThemeFactory m_comboFactory;
    CXTFlatEditThemeFactory m_editFactory;
    int m_cxDropButton = 0;
};

TEST_F(FlatThemes, DropListFillAndArrowTrianglePerTheme)
{
    const COLORREF clrBack = RGB(10, 200, 10);
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    const int cyEdge = ::GetSystemMetrics(SM_CYEDGE);
    for (int nTheme : {0, 1, 2}) {
        auto list = DrawCombo(nTheme, m_dropList, xtStateNormal, clrBack);
        CRect rectFace(0, 0, list->width(), list->height());
        rectFace.DeflateRect(cxEdge, cyEdge);
        EXPECT_EQ(clrBack, list->Pixel(rectFace.left + 3, list->height() / 2)) << nTheme;
        auto down = DrawCombo(nTheme, m_dropDown, xtStateNormal, clrBack);
        EXPECT_EQ(Color(5), down->Pixel(rectFace.left + 3, down->height() / 2)) << nTheme;

        const int nLeft = rectFace.right - m_cxDropButton + (nTheme == 0 ? 4 : 2);
        const int x = (nLeft + rectFace.right - 4) / 2;
        const int y = (rectFace.top + rectFace.bottom - 2) / 2;
        for (CPoint point : {CPoint(x, y), CPoint(x + 4, y), CPoint(x + 1, y + 1), CPoint(x + 3, y + 1),
                             CPoint(x + 2, y + 2)})
            EXPECT_EQ(Color(8), list->Pixel(point.x, point.y)) << nTheme << " " << point.x << "," << point.y;
        EXPECT_NE(Color(8), list->Pixel(x, y + 1)) << nTheme;
        EXPECT_NE(Color(8), list->Pixel(x + 1, y + 2)) << nTheme;
    }
}

TEST_F(FlatThemes, DisabledComboAndEditFillWith51AndFrameWith52)
{
    m_dropList.EnableWindow(FALSE);
    m_edit.EnableWindow(FALSE);
    for (int nTheme : {0, 1, 2}) {
        auto surface = DrawCombo(nTheme, m_dropList, xtStateHot, COLORREF(-1));
        EXPECT_EQ(Color(52), surface->Pixel(0, 0)) << nTheme;
        EXPECT_EQ(Color(52), surface->Pixel(surface->width() - 1, surface->height() - 1)) << nTheme;
        EXPECT_EQ(Color(51), surface->Pixel(4, surface->height() / 2)) << nTheme;

        std::unique_ptr<CXTThemeObject> pTheme(m_editFactory.CreateTheme(nTheme));
        pTheme->RefreshMetrics();
        PixelSurface edit(40, 20, RGB(0, 0, 0));
        static_cast<CXTFlatEditTheme*>(pTheme.get())
            ->DrawBorders(edit.dc(), &m_edit, CRect(0, 0, 40, 20), xtStateHot);
        EXPECT_EQ(Color(52), edit.Pixel(0, 0)) << nTheme;
        EXPECT_EQ(Color(51), edit.Pixel(20, 10)) << nTheme;
    }
}

TEST_F(FlatThemes, HotEditFramesByTheme)
{
    const struct
    {
        int nTheme;
        int nState;
        COLORREF clrTopLeft;
        COLORREF clrBottomRight;
    } cases[] = {
        {0, xtStateHot, Color(16), Color(20)},
        {0, xtStatePressed, Color(16), Color(20)},
        {1, xtStateHot, Color(32), Color(32)},
        {2, xtStatePressed, GetColorTable()->GetSchemeColor(32), GetColorTable()->GetSchemeColor(32)},
        {1, xtStateNormal, Color(5), Color(5)}};
    for (const auto& c : cases) {
        std::unique_ptr<CXTThemeObject> pTheme(m_editFactory.CreateTheme(c.nTheme));
        pTheme->RefreshMetrics();
        PixelSurface edit(40, 20, RGB(0, 0, 0));
        static_cast<CXTFlatEditTheme*>(pTheme.get())
            ->DrawBorders(edit.dc(), &m_edit, CRect(0, 0, 40, 20), c.nState);
        EXPECT_EQ(c.clrTopLeft, edit.Pixel(0, 0)) << c.nTheme << " " << c.nState;
        EXPECT_EQ(c.clrBottomRight, edit.Pixel(39, 19)) << c.nTheme << " " << c.nState;
        EXPECT_EQ(Color(5), edit.Pixel(20, 10));
    }
}

TEST(FlatEditTheme, SchemeThemeKeepsItsEightColourValues)
{
    CXTFlatEditThemeOffice2003 theme;
    theme.RefreshMetrics();
    const UINT nScheme = GetCurrentColorScheme();
    if (nScheme >= xtSchemeBlue && nScheme <= xtSchemeSilver)
        EXPECT_EQ(0xC2EEFFu, static_cast<COLORREF>(theme.m_clrValues[2]));
    else
        EXPECT_EQ(Color(16), static_cast<COLORREF>(theme.m_clrValues[4]));
    EXPECT_EQ(static_cast<COLORREF>(theme.m_clrValues[4]), static_cast<COLORREF>(theme.m_clrValues[6]));
    CXTFlatEditThemeOfficeXP flat;
    flat.RefreshMetrics();
    EXPECT_EQ(Color(45), static_cast<COLORREF>(flat.m_clrValues[0]));
    EXPECT_EQ(Color(32), static_cast<COLORREF>(flat.m_clrValues[5]));
}

TEST(ThemeObject, TransparentBackIsWhatTheParentShowsUnderTheControl)
{
    CBrush brush(RGB(30, 140, 60));
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, NULL, static_cast<HBRUSH>(brush.GetSafeHandle())),
                                L"back", WS_POPUP | WS_VISIBLE, CRect(80, 80, 280, 200), NULL, 0));
    parent.UpdateWindow();
    CStatic transparent;
    ASSERT_TRUE(
        transparent.CreateEx(WS_EX_TRANSPARENT, L"STATIC", L"", WS_CHILD, CRect(20, 20, 60, 40), &parent, 1));
    CStatic opaque;
    ASSERT_TRUE(opaque.Create(L"", WS_CHILD, CRect(70, 20, 110, 40), &parent, 2));
    CXTFlatEditTheme theme;
    PixelSurface surface(40, 20, RGB(0, 0, 0));
    EXPECT_TRUE(theme.DrawTransparentBack(surface.dc(), &transparent));
    EXPECT_EQ(RGB(30, 140, 60), surface.Pixel(20, 10));
    surface.Fill(RGB(0, 0, 0));
    EXPECT_FALSE(theme.DrawTransparentBack(surface.dc(), &opaque));
    EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(20, 10));
    EXPECT_FALSE(theme.TakeSnapshot(&parent));
    parent.DestroyWindow();
}

} // namespace
