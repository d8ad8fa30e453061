// The docking paint manager on memory DCs: splitter styles read back pixel by pixel, the pin glyph's
// points, and a container's caption drawn with the caption's colours.
#include "docking_test_frame.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(DockingPanePaint, SunkenAndFlatSplitterRows)
{
    auto frame = std::make_unique<CDockingTestFrame>();
    ASSERT_TRUE(frame->CreateTestFrame());
    frame->AddPane(1, L"Top", CSize(100, 100), xtpPaneDockTop);
    frame->Layout();
    CXTPDockingPaneSplitterContainer* pTop = frame->m_paneManager.GetLayout()->GetTopContainer();
    ASSERT_FALSE(pTop->IsHoriz());
    ASSERT_EQ(pTop->GetSplitters().size(), 1u);
    CXTPDockingPaneSplitterWnd* pSplitter = pTop->GetSplitters()[0];
    CRect rc;
    pSplitter->GetClientRect(&rc);
    ASSERT_EQ(rc.Height(), 4);

    CXTPDockingPanePaintManager* pPaint = frame->m_paneManager.GetPaintManager();
    pPaint->m_dwSplitterStyle = XTP_SPLITTER_SUNKEN;
    PixelSurface surface(rc.Width(), rc.Height(), RGB(1, 1, 1));
    pPaint->DrawSplitter(surface.dc(), pSplitter);
    const int x = rc.Width() / 2;
    EXPECT_EQ(surface.dc()->GetPixel(x, 0), pPaint->GetColor(21));
    EXPECT_EQ(surface.dc()->GetPixel(x, 1), pPaint->GetColor(COLOR_WINDOW));
    EXPECT_EQ(surface.dc()->GetPixel(x, 2), static_cast<COLORREF>(pPaint->m_clrSplitter));
    EXPECT_EQ(surface.dc()->GetPixel(x, 3), pPaint->GetColor(21));

    pPaint->m_dwSplitterStyle = XTP_SPLITTER_FLAT;
    pPaint->DrawSplitter(surface.dc(), pSplitter);
    EXPECT_EQ(surface.dc()->GetPixel(x, 0), pPaint->GetColor(20));
    EXPECT_EQ(surface.dc()->GetPixel(x, 2), pPaint->GetColor(52));
    EXPECT_EQ(surface.dc()->GetPixel(x, 3), pPaint->GetColor(18));
    frame->DestroyWindow();
}

TEST(DockingPanePaint, PinGlyphPoints)
{
    const CRect rcInterior(100, 10, 112, 22);
    const POINT expected[13] = {{105, 21}, {105, 19}, {102, 19}, {102, 18}, {104, 15}, {103, 14}, {103, 13},
                                {107, 13}, {107, 14}, {106, 15}, {108, 18}, {108, 19}, {105, 19}};
    for (BOOL bPressed : {FALSE, TRUE}) {
        SCOPED_TRACE(bPressed ? "pressed" : "normal");
        POINT points[13];
        ASSERT_EQ(CXTPDockingPanePaintManager::GetPinPoints(rcInterior, bPressed, FALSE, points), 13);
        for (int i = 0; i < 13; ++i) {
            EXPECT_EQ(points[i].x, expected[i].x + bPressed) << i;
            EXPECT_EQ(points[i].y, expected[i].y + bPressed) << i;
        }
        // Drawn, the polyline passes through every point but its last.
        PixelSurface surface(130, 40, RGB(255, 255, 255));
        CXTPDockingPanePaintManager::DrawPinGlyph(surface.dc(), rcInterior, RGB(0, 0, 0), bPressed, FALSE);
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(surface.dc()->GetPixel(points[i].x, points[i].y), RGB(0, 0, 0)) << i;
    }
    POINT lying[13];
    EXPECT_EQ(CXTPDockingPanePaintManager::GetPinPoints(rcInterior, FALSE, TRUE, lying), 11);
    EXPECT_EQ(lying[0].x, 99);
    EXPECT_EQ(lying[0].y, 15);
}

TEST(DockingPanePaint, ContainerCaptionBand)
{
    auto frame = std::make_unique<CDockingTestFrame>();
    ASSERT_TRUE(frame->CreateTestFrame());
    CXTPDockingPane* pPane = frame->AddPane(1, L"Caption", CSize(200, 200), xtpPaneDockLeft);
    frame->Layout();
    CXTPDockingPaneTabbedContainer* pContainer =
        static_cast<CXTPDockingPaneTabbedContainer*>(pPane->GetContainer());
    CXTPDockingPanePaintManager* pPaint = frame->m_paneManager.GetPaintManager();
    PixelSurface surface(200, 300, RGB(1, 1, 1));
    pPaint->DrawPane(surface.dc(), pContainer, CRect(0, 0, 200, 300));
    // The band runs from row 2 to row CaptionHeight in the inactive caption colour, the face around it.
    EXPECT_EQ(surface.dc()->GetPixel(10, 0), pPaint->GetColor(COLOR_3DFACE));
    EXPECT_EQ(surface.dc()->GetPixel(2, 2), pPaint->GetColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(surface.dc()->GetPixel(2, pPaint->GetCaptionHeight()), pPaint->GetColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(surface.dc()->GetPixel(2, pPaint->GetCaptionHeight() + 1), pPaint->GetColor(COLOR_3DFACE));
    // One tab: no tab strip; the client area starts below the caption and its margins.
    EXPECT_FALSE(pContainer->IsTabsVisible());
    CRect rcClient(0, 0, 200, 300);
    pPaint->AdjustClientRect(pContainer, rcClient, FALSE);
    EXPECT_EQ(rcClient, CRect(0, pPaint->GetCaptionHeight() + 3, 200, 300));
    frame->DestroyWindow();
}

} // namespace
