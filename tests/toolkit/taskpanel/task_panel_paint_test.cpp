// The task panel's paint manager on memory DCs: the item highlight table, the recoloured expand
// faces, the expand button's room, the unfaded copy without AlphaBlend, the drop mark, and a
// screenshot of a filled panel.
#include "image_manager.h"
#include "support/screenshot.h"
#include "task_panel_test_support.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

class TaskPanelPaintTest : public TaskPanelDialogTest
{
protected:
    TaskPanelPaintTest() : TaskPanelDialogTest(220, 320, false) {}
};

double Hue(COLORREF clr)
{
    const double r = GetRValue(clr), g = GetGValue(clr), b = GetBValue(clr);
    return std::atan2(std::sqrt(3.0) * (g - b), 2 * r - g - b);
}

double Lightness(COLORREF clr)
{
    const int nMax = std::max({GetRValue(clr), GetGValue(clr), GetBValue(clr)});
    const int nMin = std::min({GetRValue(clr), GetGValue(clr), GetBValue(clr)});
    return (nMax + nMin) / 510.0;
}

// A square icon of one colour in the panel's image manager under the id.
void AddSolidIcon(CXTPTaskPanel* pPanel, UINT nID, int nSize, COLORREF clr)
{
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hColor = ::CreateCompatibleBitmap(hScreen, nSize, nSize);
    HBITMAP hMask = ::CreateBitmap(nSize, nSize, 1, 1, NULL);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = ::SelectObject(hDC, hColor);
    CDC::FromHandle(hDC)->FillSolidRect(0, 0, nSize, nSize, clr);
    ::SelectObject(hDC, hMask);
    ::PatBlt(hDC, 0, 0, nSize, nSize, BLACKNESS);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    ::ReleaseDC(NULL, hScreen);
    ICONINFO info = {TRUE, 0, 0, hMask, hColor};
    CXTPImageHandle hImage;
    hImage.SetIcon(::CreateIconIndirect(&info));
    ::DeleteObject(hColor);
    ::DeleteObject(hMask);
    pPanel->GetImageManager()->SetCommandIcon(hImage, nID);
}

COLORREF PixelOf(HBITMAP hBitmap, int x, int y)
{
    HDC hDC = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    const COLORREF clr = ::GetPixel(hDC, x, y);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    return clr;
}

} // namespace

TEST_F(TaskPanelPaintTest, ItemHighlightFollowsTheDecisionTable)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Highlights");
    CXTPTaskPanelGroupItem* pItem = AddTestItem(pGroup, L"Item", xtpTaskItemTypeLink, 1);
    CXTPTaskPanelPaintManager* pPaint = m_panel->GetPaintManager();
    const COLORREF kHot = RGB(200, 0, 0), kSelected = RGB(0, 200, 0), kPressed = RGB(0, 0, 200);
    const COLORREF kBorderA = RGB(10, 20, 30), kBorderB = RGB(240, 230, 220), kBack = RGB(255, 255, 255);
    struct Case
    {
        const char* name;
        int nMode;
        bool bHot, bPressed, bSelected;
        COLORREF clrInside, clrTopLeft, clrBottomRight;
    };
    const Case cases[] = {
        {"fixed: nothing", 1, false, false, false, kBack, kBack, kBack},
        {"fixed: selected", 1, false, false, true, kSelected, kBorderA, kBorderA},
        {"fixed: selected hot", 1, true, false, true, kPressed, kBorderA, kBorderA},
        {"fixed: hot pressed", 1, true, true, false, kPressed, kBorderA, kBorderA},
        {"fixed: hot", 1, true, false, false, kHot, kBorderA, kBorderA},
        {"fixed: pressed", 1, false, true, false, kHot, kBorderA, kBorderA},
        {"fixed: selected pressed", 1, false, true, true, kHot, kBorderA, kBorderA},
        {"system: nothing", 0, false, false, false, kBack, kBack, kBack},
        {"system: selected", 0, false, false, true, kHot, kBorderA, kBorderB},
        {"system: selected hot", 0, true, false, true, kBack, kBorderA, kBorderB},
        {"system: hot pressed", 0, true, true, false, kBack, kBorderA, kBorderB},
        {"system: hot", 0, true, false, false, kBack, kBorderB, kBorderA},
        {"system: pressed", 0, false, true, false, kBack, kBorderB, kBorderA},
        {"system: selected hot pressed", 0, true, true, true, kHot, kBorderA, kBorderB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pPaint->m_eColorMode = c.nMode;
        pPaint->m_clrHighlightHot.SetStandardValue(kHot);
        pPaint->m_clrHighlightSelected.SetStandardValue(kSelected);
        pPaint->m_clrHighlightPressed.SetStandardValue(kPressed);
        pPaint->m_clrHighlightBorder.Set(kBorderA, kBorderB);
        m_panel->SetHotItem(c.bHot ? pItem : nullptr);
        m_panel->SetPressedItem(c.bPressed ? pItem : nullptr);
        pItem->SetItemSelected(c.bSelected);
        PixelSurface surface(40, 30, kBack);
        pPaint->DrawItemBackground(surface.dc(), pItem, CRect(5, 5, 35, 25));
        EXPECT_EQ(c.clrInside, surface.dc()->GetPixel(20, 15));
        EXPECT_EQ(c.clrTopLeft, surface.dc()->GetPixel(5, 5));
        EXPECT_EQ(c.clrBottomRight, surface.dc()->GetPixel(34, 24));
        EXPECT_EQ(kBack, surface.dc()->GetPixel(4, 4));
    }
    m_panel->SetPressedItem(nullptr);
}

TEST_F(TaskPanelPaintTest, ExpandFacesAreRecolouredAroundTheirKey)
{
    HBITMAP hSource = static_cast<HBITMAP>(::LoadImageW(AfxGetResourceHandle(),
                                                        MAKEINTRESOURCEW(XTP_IDB_TASKPANEL_EXPAND_NORMAL),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, hSource);
    BITMAP bm = {};
    ::GetObjectW(hSource, sizeof(bm), &bm);
    EXPECT_EQ(19, bm.bmWidth);
    EXPECT_EQ(19, bm.bmHeight);
    const COLORREF clrTarget = RGB(0x20, 0x40, 0xC0);
    HBITMAP hRecolored = CXTPTaskPanelPaintManager::RecolorExpandBitmap(hSource, clrTarget);
    ASSERT_NE(nullptr, hRecolored);
    const COLORREF clrKey = PixelOf(hSource, 0, 0);
    int nKeys = 0, nOthers = 0;
    for (int y = 0; y < 19; y++) {
        for (int x = 0; x < 19; x++) {
            const COLORREF clrIn = PixelOf(hSource, x, y), clrOut = PixelOf(hRecolored, x, y);
            if (clrIn == clrKey) {
                ++nKeys;
                EXPECT_EQ(RGB(0, 0xFF, 0), clrOut) << x << "," << y;
                continue;
            }
            ++nOthers;
            const double dLight = std::min(1.0, Lightness(clrIn) / Lightness(clrKey) * Lightness(clrTarget));
            EXPECT_NEAR(dLight, Lightness(clrOut), 0.01) << x << "," << y;
            if (dLight < 0.97)
            {
                EXPECT_NEAR(Hue(clrTarget), Hue(clrOut), 0.05) << x << "," << y;
            }
        }
    }
    EXPECT_GT(nKeys, 20);
    EXPECT_GT(nOthers, 200);
    ::DeleteObject(hRecolored);
    ::DeleteObject(hSource);

    // A black key counts as full lightness: a mid-grey pixel keeps half the target's lightness.
    PixelSurface source(2, 1, RGB(0, 0, 0));
    source.dc()->SetPixel(1, 0, RGB(0x80, 0x80, 0x80));
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(source.dc(), 2, 1);
    {
        CDC dc;
        dc.CreateCompatibleDC(source.dc());
        CBitmap* pOld = dc.SelectObject(&bitmap);
        dc.BitBlt(0, 0, 2, 1, source.dc(), 0, 0, SRCCOPY);
        dc.SelectObject(pOld);
    }
    HBITMAP hBlackKey = CXTPTaskPanelPaintManager::RecolorExpandBitmap(
        static_cast<HBITMAP>(bitmap.GetSafeHandle()), clrTarget);
    ASSERT_NE(nullptr, hBlackKey);
    EXPECT_EQ(RGB(0, 0xFF, 0), PixelOf(hBlackKey, 0, 0));
    EXPECT_NEAR(Lightness(RGB(0x80, 0x80, 0x80)) * Lightness(clrTarget), Lightness(PixelOf(hBlackKey, 1, 0)),
                0.01);
    ::DeleteObject(hBlackKey);

    // Without a colour scheme the built faces are used, and style 1 draws them with the chevrons.
    CXTPTaskPanelPaintManager* pPaint = m_panel->GetPaintManager();
    EXPECT_FALSE(pPaint->LoadShellStyle());
    ASSERT_NE(nullptr, pPaint->GetExpandImage(FALSE));
    ASSERT_NE(nullptr, pPaint->GetExpandImage(TRUE));
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Styled");
    pPaint->m_nExpandButtonStyle = xtpTaskPanelExpandButtonShellStyle;
    PixelSurface surface(120, 30, RGB(255, 0, 255));
    const CRect rcText = pPaint->DrawExpandButton(surface.dc(), pGroup, CRect(0, 0, 120, 30));
    EXPECT_EQ(120 - 23, rcText.right);
    int nDrawn = 0;
    for (int y = 0; y < 30; y++)
        for (int x = 97; x < 116; x++)
            nDrawn += surface.dc()->GetPixel(x, y) != RGB(255, 0, 255) ? 1 : 0;
    EXPECT_GT(nDrawn, 150);
    EXPECT_EQ(RGB(255, 0, 255), surface.dc()->GetPixel(97, 5)) << "the face's corner stays transparent";
}

TEST_F(TaskPanelPaintTest, NarrowCaptionsHaveNoExpandButton)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Narrow");
    CXTPTaskPanelPaintManager* pPaint = m_panel->GetPaintManager();
    struct Case
    {
        int nStyle;
        int nWidth;
        int nExpected;
    };
    const Case cases[] = {{2, 25, 0}, {2, 26, 23}, {1, 25, 0}, {1, 26, 23},
                          {3, 25, 0}, {3, 40, 19}, {0, 40, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nStyle * 100 + c.nWidth);
        pPaint->m_nExpandButtonStyle = c.nStyle;
        const CRect rc(0, 0, c.nWidth, 25);
        EXPECT_EQ(c.nExpected, pPaint->GetExpandButtonWidth(pGroup, rc));
        PixelSurface surface(60, 25, RGB(1, 2, 3));
        const CRect rcText = pPaint->DrawExpandButton(surface.dc(), pGroup, rc);
        if (c.nExpected == 0)
        {
            EXPECT_EQ(rc, rcText);
        }
    }
    pGroup->SetExpandable(FALSE);
    EXPECT_EQ(0, pPaint->GetExpandButtonWidth(pGroup, CRect(0, 0, 100, 25)));
}

TEST_F(TaskPanelPaintTest, WithoutAlphaBlendAnExpandingGroupIsCopiedUnfaded)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Opening");
    for (int i = 0; i < 3; i++)
        AddTestItem(pGroup, L"", xtpTaskItemTypeText);
    pGroup->SetExpanded(FALSE);
    m_panel->SetAnimation(xtpTaskPanelAnimationYes);
    pGroup->SetExpanded(TRUE);
    m_panel->SendMessage(WM_TIMER, XTP_TASKPANEL_TIMER_ANIMATION);
    ASSERT_TRUE(pGroup->IsExpanding());
    const CRect rcClient = pGroup->GetClientRect();
    ASSERT_GT(rcClient.Height(), 2);
    ASSERT_LT(rcClient.Height(), pGroup->GetClientHeight());
    CXTPTaskPanelPaintManager* pPaint = m_panel->GetPaintManager();
    const COLORREF clrFace = pPaint->GetGroupColors(pGroup)->clrClient.m_clrEnd;
    const COLORREF kUnder = clrFace ^ 0xFFFFFF;
    const CPoint pt(rcClient.CenterPoint().x, rcClient.top + 1);

    if (pPaint->HasAlphaBlend()) {
        PixelSurface faded(240, 340, kUnder);
        pPaint->DrawGroupClient(faded.dc(), pGroup);
        EXPECT_NE(clrFace, faded.dc()->GetPixel(pt));
        EXPECT_NE(kUnder, faded.dc()->GetPixel(pt));
    }
    pPaint->RemoveAlphaBlend();
    PixelSurface plain(240, 340, kUnder);
    pPaint->DrawGroupClient(plain.dc(), pGroup);
    EXPECT_EQ(clrFace, plain.dc()->GetPixel(pt));
    EXPECT_EQ(kUnder, plain.dc()->GetPixel(pt.x, rcClient.bottom + 1));
}

TEST_F(TaskPanelPaintTest, DropMarkIsALineWithArrowheadsAtBothEnds)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Marked");
    CXTPTaskPanelPaintManager* pPaint = m_panel->GetPaintManager();
    PixelSurface surface(130, 50, RGB(255, 255, 255));
    pPaint->DrawDropMark(surface.dc(), pGroup, CRect(10, 20, 110, 40), FALSE);
    auto black = [&](int x, int y) { return surface.dc()->GetPixel(x, y) == RGB(0, 0, 0); };
    for (int x = 10; x < 110; x++)
        EXPECT_TRUE(black(x, 20)) << x;
    const int heights[] = {7, 5, 3, 1};
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(i);
        const int nHalf = heights[i] / 2;
        for (int x : {10 + i, 109 - i}) {
            EXPECT_TRUE(black(x, 20 - nHalf));
            EXPECT_TRUE(black(x, 20 + nHalf));
            EXPECT_FALSE(black(x, 20 - nHalf - 1));
            EXPECT_FALSE(black(x, 20 + nHalf + 1));
        }
    }
    EXPECT_FALSE(black(9, 20));
    EXPECT_FALSE(black(110, 20));

    // Below: along the bottom row of the rectangle.
    PixelSurface below(130, 50, RGB(255, 255, 255));
    pPaint->DrawDropMark(below.dc(), pGroup, CRect(10, 20, 110, 40), TRUE);
    EXPECT_EQ(RGB(0, 0, 0), below.dc()->GetPixel(50, 39));
    EXPECT_EQ(RGB(255, 255, 255), below.dc()->GetPixel(50, 20));
}

TEST_F(TaskPanelPaintTest, ScreenshotOfAFilledPanel)
{
    const COLORREF kLinkIcon = RGB(0x2E, 0x8B, 0x57), kGroupIcon = RGB(0xE0, 0x80, 0x20);
    AddSolidIcon(m_panel, 1, 16, kLinkIcon);
    AddSolidIcon(m_panel, 2, 32, kGroupIcon);
    CXTPTaskPanelGroup* pSpecial = AddTestGroup(m_panel, L"Recovery tasks", TRUE);
    pSpecial->SetIconIndex(2);
    CXTPTaskPanelGroupItem* pScan = AddTestItem(pSpecial, L"Scan the disk image", xtpTaskItemTypeLink, 1);
    pScan->SetIconIndex(1);
    AddTestItem(pSpecial, L"Save the found files", xtpTaskItemTypeLink, 2)->SetBold(TRUE);
    CXTPTaskPanelGroup* pNormal = AddTestGroup(m_panel, L"Details");
    AddTestItem(pNormal, L"The source is never written to.", xtpTaskItemTypeText);
    AddTestItem(pNormal, L"Open the log", xtpTaskItemTypeLink, 3);
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, CRect(0, 0, 10, 10), m_panel, 10));
    edit.SetWindowText(L"hosted edit");
    CXTPTaskPanelGroupItem* pHosted = new CXTPTaskPanelGroupItem();
    pHosted->SetSize(CSize(140, 22));
    pHosted->SetControlHandle(edit.GetSafeHwnd());
    pNormal->GetItems()->Add(pHosted);
    m_panel->SetHotItem(pSpecial->GetAt(0));
    m_panel->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPanelMessages();
    EXPECT_TRUE(edit.IsWindowVisible());
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_panel->GetSafeHwnd(), L"task_panel"));

    // The caption's own colours reach the screen: its gradient starts at its left edge.
    CClientDC dc(m_panel);
    const CRect rcCaption = pNormal->GetCaptionRect();
    EXPECT_EQ(m_panel->GetPaintManager()->GetGroupColors(pNormal)->clrHead.m_clrStart,
              dc.GetPixel(rcCaption.left, rcCaption.top + 2));
    // The link's icon after the inner margin; the group's icon rising from the caption's bottom.
    const CRect rcScan = pScan->GetHitTestRect();
    EXPECT_EQ(kLinkIcon, dc.GetPixel(rcScan.left + 2 + 8, rcScan.top + 2 + 8));
    const CRect rcSpecial = pSpecial->GetHitTestRect();
    EXPECT_EQ(kGroupIcon, dc.GetPixel(rcSpecial.left + 16, rcSpecial.bottom - 3));
    EXPECT_EQ(kGroupIcon, dc.GetPixel(rcSpecial.left + 16, rcSpecial.bottom - 30));
    pHosted->Remove();
    edit.DestroyWindow();
}
