// The drawing preview in the preview pane of a test frame, on the display under Wine, with "DXF.dll"
// beside the test: ezdxf's drawings fitted to the canvas (the drawn pixels against ezdxf's own extents),
// the wheel and drag read back through the view properties, the progress window, the refusals that
// give "Corrupt File", and crafted files.
#include <afxwin.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "dfx_view.h"
#include "main_preview_view.h"
#include "preview_test_frame.h"
#include "support/screenshot.h"
#include "support/test_paths.h"

namespace {

std::string HostDrawing(const std::string& name)
{
    return std::string(PREVIEW_FIXTURES_DIR) + "/drawings/" + name;
}

CString Drawing(const std::string& name)
{
    return CString(test_support::RunningPlatformPath(HostDrawing(name)).c_str());
}

CString Wide(const std::string& text)
{
    return CString(text.c_str());
}

// Where the drawn (non-black) pixels are, in canvas pixels.
struct PixelBox
{
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    int count = 0;
};

class DfxViewTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        CDxfDrawing::SetLibraryPath(NULL);
        if (m_pFrame != NULL)
            m_pFrame->DestroyWindow();
        PreviewTestApp().m_pMainWnd = NULL;
        Pump(50);
    }

    void MakeHost()
    {
        m_pFrame = new CPreviewTestFrame;
        m_pHost = m_pFrame->CreateWithHost(L"Drawing preview test", CRect(0, 0, 820, 600));
        ASSERT_NE(m_pHost, nullptr);
        m_pFrame->RecalcLayout();
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        Pump(50);
    }

    CDFXView* Show(const CString& strPath)
    {
        m_pFrame->ShowPreview(strPath, L".dxf");
        Pump(50);
        return DYNAMIC_DOWNCAST(CDFXView, m_pHost->m_pViews[kPreviewDxf]);
    }

    // The preview failed: "Corrupt File" shows in front of the view.
    void ExpectCorruptFile(const char* what)
    {
        SCOPED_TRACE(what);
        EXPECT_FALSE(m_pFrame->m_bPreviewOk);
        ASSERT_NE(m_pHost->m_pViews[kPreviewPlaceholder], nullptr);
        EXPECT_TRUE(::IsWindow(m_pHost->m_pViews[kPreviewPlaceholder]->GetSafeHwnd()));
    }

    static DxfViewProperties Properties(CDFXView* pView)
    {
        DxfViewProperties view{};
        EXPECT_TRUE(pView->m_drawing.GetViewProperties(&view));
        return view;
    }

    static PixelBox DrawnPixels(CDFXView* pView)
    {
        pView->m_canvas.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        CRect rect;
        pView->m_canvas.GetClientRect(&rect);
        HDC dc = ::GetDC(pView->m_canvas.m_hWnd);
        const std::vector<std::uint32_t> pixels = test_support::CaptureDc(dc, rect);
        ::ReleaseDC(pView->m_canvas.m_hWnd, dc);
        PixelBox box;
        for (int y = 0; y < rect.Height(); ++y) {
            for (int x = 0; x < rect.Width(); ++x) {
                if ((pixels[static_cast<size_t>(y) * rect.Width() + x] & 0xFFFFFF) == 0)
                    continue;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
        }
        return box;
    }

    CPreviewTestFrame* m_pFrame = NULL;
    CMainPreviewView* m_pHost = NULL;
};

TEST_F(DfxViewTest, DrawingsFitTheCanvasAsEzdxfMeasuresThem)
{
    MakeHost();
    for (const char* name : {"r12", "r2000", "stale-extents"}) {
        SCOPED_TRACE(name);
        CDFXView* pView = Show(Drawing(std::string(name) + ".dxf"));
        ASSERT_NE(pView, nullptr);
        ASSERT_TRUE(m_pFrame->m_bPreviewOk);
        ASSERT_TRUE(pView->m_drawing.IsLoaded());
        EXPECT_EQ(pView->m_canvas.GetDlgCtrlID(), 61464);
        std::ifstream extentsFile(HostDrawing(std::string(name) + ".extents"));
        double minX = 0, minY = 0, maxX = 0, maxY = 0;
        ASSERT_TRUE(extentsFile >> minX >> minY >> maxX >> maxY);
        const DxfViewProperties view = Properties(pView);
        CRect rectCanvas;
        pView->m_canvas.GetClientRect(&rectCanvas);
        EXPECT_EQ(view.right - view.left, rectCanvas.Width());
        EXPECT_EQ(view.bottom - view.top, rectCanvas.Height());
        const double scale = view.zoom * view.pixelsPerUnit;
        const PixelBox drawn = DrawnPixels(pView);
        EXPECT_NEAR(drawn.left, view.left + (minX - view.originX) * scale, 2.0);
        EXPECT_NEAR(drawn.right, view.left + (maxX - view.originX) * scale, 2.0);
        EXPECT_NEAR(drawn.top, view.bottom - (maxY - view.originY) * scale, 2.0);
        EXPECT_NEAR(drawn.bottom, view.bottom - (minY - view.originY) * scale, 2.0);
        const std::wstring shot = L"dxf_preview_" + std::wstring(Wide(name)) + L"_extents";
        test_support::WriteClientScreenshot(pView->m_canvas.m_hWnd, shot);
        // ezdxf's own rendering of the same drawing beside ours.
        ::CopyFileW(
            Drawing(std::string(name) + "-ezdxf.png"),
            test_support::ScreenshotPath(L"dxf_preview_" + std::wstring(Wide(name)) + L"_ezdxf").c_str(),
            FALSE);
    }
}

TEST_F(DfxViewTest, WheelZoomsAboutTheCentreAndDragsPan)
{
    MakeHost();
    CDFXView* pView = Show(Drawing("r2000.dxf"));
    ASSERT_NE(pView, nullptr);
    ASSERT_TRUE(m_pFrame->m_bPreviewOk);
    const DxfViewProperties before = Properties(pView);
    const double halfWidth = (before.right - before.left) / 2;
    const double centreX = halfWidth / (before.zoom * before.pixelsPerUnit) + before.originX;

    CPoint screen(100, 100);
    pView->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                       MAKELPARAM(screen.x, screen.y));
    const DxfViewProperties out = Properties(pView);
    EXPECT_NEAR(out.zoom, before.zoom * 2.0 / 3.0, 1e-12);
    // The drawing point at the window's centre stays there.
    EXPECT_NEAR(halfWidth / (out.zoom * out.pixelsPerUnit) + out.originX, centreX, 1e-9);
    pView->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    const DxfViewProperties back = Properties(pView);
    EXPECT_NEAR(back.zoom, before.zoom, 1e-12);
    EXPECT_NEAR(back.originX, before.originX, 1e-9);
    EXPECT_NEAR(back.originY, before.originY, 1e-9);

    // Zoom in once more so that the zoom is not 1, then drag 10 pixels right and 10 pixels down.
    pView->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    const DxfViewProperties zoomed = Properties(pView);
    const double scale = zoomed.zoom * zoomed.pixelsPerUnit;
    CWnd& canvas = pView->m_canvas;
    canvas.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
    canvas.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(210, 150));
    const DxfViewProperties right = Properties(pView);
    EXPECT_NEAR(right.originX, zoomed.originX - 10.0 / scale, 1e-9);
    EXPECT_NEAR(right.originY, zoomed.originY, 1e-12);
    canvas.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(210, 160));
    const DxfViewProperties down = Properties(pView);
    EXPECT_NEAR(down.originY, zoomed.originY + 10.0 / scale, 1e-9);
    canvas.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(210, 160));
    // Without a button held, moving does nothing; the middle button pans too.
    canvas.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(Properties(pView).originX, down.originX);
    canvas.SendMessage(WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(210, 160));
    canvas.SendMessage(WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(200, 160));
    canvas.SendMessage(WM_MBUTTONUP, 0, MAKELPARAM(200, 160));
    EXPECT_NEAR(Properties(pView).originX, zoomed.originX, 1e-9);
    test_support::WriteClientScreenshot(canvas.m_hWnd, L"dxf_preview_r2000_zoomed_and_panned");

    // Two hundred notches out end at the smallest zoom with finite values and a canvas that still draws.
    for (int notch = 0; notch < 200; ++notch)
        pView->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                           MAKELPARAM(screen.x, screen.y));
    const DxfViewProperties farthest = Properties(pView);
    EXPECT_EQ(farthest.zoom, CDxfDrawing::kSmallestZoom);
    EXPECT_TRUE(std::isfinite(farthest.originX) && std::isfinite(farthest.originY));
    const PixelBox dot = DrawnPixels(pView);
    EXPECT_GT(dot.count, 0);
    EXPECT_LE(dot.right - dot.left, 2);
    // And two hundred in stop at the largest.
    for (int notch = 0; notch < 200; ++notch)
        pView->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(Properties(pView).zoom, CDxfDrawing::kLargestZoom);
    DrawnPixels(pView);
}

TEST_F(DfxViewTest, TheProgressWindowHearsTheLoadRiseToOneHundred)
{
    MakeHost();
    ASSERT_NE(Show(Drawing("million-vertices.dxf")), nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(m_pFrame->m_nProgressOpened, 1);
    EXPECT_EQ(m_pFrame->m_hProgress, (HWND)NULL);
    const std::vector<int>& positions = m_pFrame->m_progressPositions;
    ASSERT_GE(positions.size(), 10u);
    EXPECT_EQ(positions.front(), 0);
    EXPECT_EQ(positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    test_support::WriteClientScreenshot(m_pHost->m_pViews[kPreviewDxf]->m_hWnd,
                                        L"dxf_preview_million_vertices");
}

TEST_F(DfxViewTest, RefusedFilesAndLibrariesShowCorruptFile)
{
    MakeHost();
    Show(Drawing("binary.dxf"));
    ExpectCorruptFile("binary DXF");
    Show(Drawing("no-header.dxf"));
    ExpectCorruptFile("text without HEADER");
    m_pFrame->m_nScanMode = 1;
    Show(Drawing("r2000.dxf"));
    ExpectCorruptFile("File Trace results");
    m_pFrame->m_nScanMode = 2;

    CDxfDrawing::SetLibraryPath(Drawing("no-such-folder\\DXF.dll"));
    Show(Drawing("r2000.dxf"));
    ExpectCorruptFile("no DXF.dll");
    CDxfDrawing::SetLibraryPath(Wide(INCOMPLETE_DXF_LIBRARY));
    {
        CDxfDrawing incomplete;
        EXPECT_NE(incomplete.m_hLibrary, (HMODULE)NULL);
        EXPECT_EQ(incomplete.m_bReady, 0);
        EXPECT_FALSE(incomplete.Create());
        EXPECT_EQ(incomplete.GetZoom(), 0.0);
    }
    Show(Drawing("r2000.dxf"));
    ExpectCorruptFile("DXF.dll without one entry point");
    test_support::WriteClientScreenshot(m_pHost->m_hWnd, L"dxf_preview_corrupt_file");
    CDxfDrawing::SetLibraryPath(NULL);

    // A path that has no form in the ANSI code page is refused, not opened under another name.
    CString strCopy = Drawing("copy ") + L"\x2713.dxf";
    ASSERT_TRUE(::CopyFileW(Drawing("r2000.dxf"), strCopy, FALSE));
    Show(strCopy);
    ExpectCorruptFile("path outside the ANSI code page");
    ::DeleteFileW(strCopy);

    // A file that cannot be opened leaves a blank (black) view and no placeholder.
    CDFXView* pView = Show(Drawing("not-there.dxf"));
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(DrawnPixels(pView).count, 0);
}

TEST_F(DfxViewTest, CraftedFilesLoadOrFail)
{
    MakeHost();
    const struct
    {
        const char* name;
        bool loads;
    } cases[] = {{"odd-group-code.dxf", false},
                 {"missing-value.dxf", true},
                 {"huge-numbers.dxf", true},
                 {"self-insert.dxf", true},
                 {"million-vertices.dxf", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDFXView* pView = Show(Drawing(c.name));
        ASSERT_NE(pView, nullptr);
        EXPECT_EQ(m_pFrame->m_bPreviewOk, c.loads ? TRUE : FALSE);
        if (c.loads) {
            EXPECT_GT(DrawnPixels(pView).count, 0);
        }
    }
}

// A drawing of 3,000 texts, each of its own height and angle: every paint draws them all alike, with at most
// the canvas's cap of fonts (the native drawing test counts them), and the program goes on painting.
TEST_F(DfxViewTest, TextsOfThousandsOfSizesPaintAlike)
{
    MakeHost();
    const CString strPath = Drawing("many-text-sizes.dxf");
    {
        std::ofstream out(strPath.GetString(), std::ios::binary);
        ASSERT_TRUE(out.good());
        out << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
        for (int i = 0; i < 3000; ++i)
            out << "0\nTEXT\n8\n0\n10\n"
                << i % 60 * 4 << "\n20\n"
                << i / 60 * 4 << "\n40\n"
                << 0.5 + i % 89 * 0.05 << "\n1\nAb\n50\n"
                << i * 0.7 << "\n";
        out << "0\nENDSEC\n0\nEOF\n";
    }
    CDFXView* pView = Show(strPath);
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    const PixelBox first = DrawnPixels(pView);
    EXPECT_GT(first.count, 0);
    for (int paint = 0; paint < 3; ++paint) {
        const PixelBox again = DrawnPixels(pView);
        EXPECT_EQ(again.count, first.count);
        EXPECT_EQ(again.left, first.left);
        EXPECT_EQ(again.bottom, first.bottom);
    }
    test_support::WriteClientScreenshot(pView->m_canvas.m_hWnd, L"dxf_preview_many_text_sizes");
    Show(Drawing("r2000.dxf"));
    ::DeleteFileW(strPath);
}

} // namespace
