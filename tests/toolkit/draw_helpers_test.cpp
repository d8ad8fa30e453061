// The GDI scope objects, the buffered and bitmap DCs, colour and text helpers, the work area and the
// splitter's modal drag on a real capture window.
#include "draw_helpers.h"

#include "splitter_drag_tracker.h"
#include "work_area.h"

#include <climits>

#include <gtest/gtest.h>

#include "toolkit_test_app.h"

namespace {

TEST(DrawHelpers, SelectorsSelectTheirObjectsAndRestoreTheDc)
{
    PixelSurface surface(20, 20, RGB(255, 255, 255));
    HDC hDC = surface.dc()->m_hDC;
    const HGDIOBJ hPen = GetCurrentObject(hDC, OBJ_PEN);
    const HGDIOBJ hBrush = GetCurrentObject(hDC, OBJ_BRUSH);
    const HGDIOBJ hFont = GetCurrentObject(hDC, OBJ_FONT);
    {
        CXTPenSelector pen(surface.dc(), RGB(10, 20, 30));
        CXTBrushSelector brush(surface.dc(), RGB(40, 50, 60));
        CFont font;
        font.CreatePointFont(90, L"Tahoma");
        CXTFontSelector fontSelector(surface.dc(), &font);
        EXPECT_NE(GetCurrentObject(hDC, OBJ_PEN), hPen);
        EXPECT_NE(GetCurrentObject(hDC, OBJ_BRUSH), hBrush);
        EXPECT_EQ(GetCurrentObject(hDC, OBJ_FONT), font.GetSafeHandle());
        EXPECT_EQ(pen.GetColor(), RGB(10, 20, 30));
        pen.SetColor(RGB(70, 80, 90));
        EXPECT_EQ(pen.GetColor(), RGB(70, 80, 90));
        brush.SetColor(RGB(1, 200, 3));
        surface.dc()->Rectangle(2, 2, 12, 12);
        EXPECT_EQ(surface.Pixel(2, 2), RGB(70, 80, 90));
        EXPECT_EQ(surface.Pixel(6, 6), RGB(1, 200, 3));
        // A null font selects nothing.
        CXTFontSelector none(surface.dc(), NULL);
        EXPECT_EQ(GetCurrentObject(hDC, OBJ_FONT), font.GetSafeHandle());
    }
    EXPECT_EQ(GetCurrentObject(hDC, OBJ_PEN), hPen);
    EXPECT_EQ(GetCurrentObject(hDC, OBJ_BRUSH), hBrush);
    EXPECT_EQ(GetCurrentObject(hDC, OBJ_FONT), hFont);
}

TEST(DrawHelpers, BufferedDcCopiesItsRectangleToTheTargetWhenDestroyed)
{
    PixelSurface target(40, 30, RGB(255, 255, 255));
    {
        CXTBufferedDC buffer(target.dc()->m_hDC, CRect(10, 5, 30, 25));
        buffer.FillSolidRect(0, 0, 40, 30, RGB(200, 0, 0));
        EXPECT_EQ(target.Pixel(15, 15), RGB(255, 255, 255));
    }
    EXPECT_EQ(target.Pixel(10, 5), RGB(200, 0, 0));
    EXPECT_EQ(target.Pixel(29, 24), RGB(200, 0, 0));
    EXPECT_EQ(target.Pixel(9, 5), RGB(255, 255, 255));
    EXPECT_EQ(target.Pixel(30, 24), RGB(255, 255, 255));
}

TEST(DrawHelpers, BitmapCornerColorAndIconFromBitmap)
{
    CBitmap bitmap;
    CClientDC screen(NULL);
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 16, 16));
    {
        CXTBitmapDC dc(&screen, &bitmap);
        dc.FillSolidRect(0, 0, 16, 16, RGB(0, 128, 255));
        dc.SetPixel(0, 0, RGB(255, 0, 255));
    }
    EXPECT_EQ(GetBitmapCornerColor(bitmap), RGB(255, 0, 255));
    EXPECT_EQ(GetBitmapCornerColor(NULL), static_cast<COLORREF>(-1));
    EXPECT_EQ(GetBitmapCornerColor(reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(0x1234))),
              static_cast<COLORREF>(-1));

    HICON hIcon = CreateIconFromBitmap(bitmap);
    ASSERT_NE(hIcon, nullptr);
    // The corner colour became transparent.
    PixelSurface surface(16, 16, RGB(1, 2, 3));
    DrawIconEx(surface.dc()->m_hDC, 0, 0, hIcon, 16, 16, 0, NULL, DI_NORMAL);
    EXPECT_EQ(surface.Pixel(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(surface.Pixel(8, 8), RGB(0, 128, 255));
    DestroyIcon(hIcon);
    EXPECT_EQ(CreateIconFromBitmap(NULL), nullptr);
}

TEST(DrawHelpers, MixColorsAndSmoothPixels)
{
    EXPECT_EQ(MixColors(RGB(200, 100, 0), RGB(0, 0, 255), 0.75), RGB(150, 75, 63));
    EXPECT_EQ(MixColors(RGB(255, 255, 255), RGB(255, 255, 255), 1.5), RGB(255, 255, 255));

    PixelSurface surface(10, 3, RGB(0, 0, 0));
    surface.dc()->SetPixel(1, 0, RGB(100, 200, 50));
    surface.dc()->SetPixel(3, 0, RGB(20, 40, 60));
    surface.dc()->SetPixel(5, 0, RGB(20, 40, 60));
    // Three entries; a count of 5 reaches (5 + 1) / 2 of them.
    const int entries[] = {0, 0, 1, 0, 2, 0, 1, 0, 4, 0, 1, 0};
    SmoothPixels(surface.dc(), entries, 5);
    EXPECT_EQ(surface.Pixel(0, 0), RGB(50, 100, 25));
    EXPECT_EQ(surface.Pixel(2, 0), RGB(10, 20, 30));
    EXPECT_EQ(surface.Pixel(4, 0), RGB(10, 20, 30));
}

TEST(DrawHelpers, StripMnemonics)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"&File", L"File"}, {L"A&&B", L"A&B"}, {L"Save&", L"Save"}, {L"&&&x", L"&x"},
        {L"a&b&c", L"abc"},  {L"", L""},        {L"&&", L"&"},       {L"No mnemonic", L"No mnemonic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        EXPECT_EQ(StripMnemonics(c.text), CString(c.expected));
    }
}

TEST(DrawHelpers, ArrowKeysMirrorOnlyInRightToLeftWindows)
{
    CWnd leftToRight;
    CWnd rightToLeft;
    ASSERT_TRUE(
        leftToRight.CreateEx(0, AfxRegisterWndClass(0), L"ltr", WS_POPUP, CRect(0, 0, 10, 10), NULL, 0));
    ASSERT_TRUE(rightToLeft.CreateEx(WS_EX_LAYOUTRTL, AfxRegisterWndClass(0), L"rtl", WS_POPUP,
                                     CRect(0, 0, 10, 10), NULL, 0));
    EXPECT_EQ(MirrorArrowKey(&leftToRight, VK_LEFT), static_cast<UINT>(VK_LEFT));
    EXPECT_EQ(MirrorArrowKey(&rightToLeft, VK_LEFT), static_cast<UINT>(VK_RIGHT));
    EXPECT_EQ(MirrorArrowKey(&rightToLeft, VK_RIGHT), static_cast<UINT>(VK_LEFT));
    EXPECT_EQ(MirrorArrowKey(&rightToLeft, VK_UP), static_cast<UINT>(VK_UP));
    EXPECT_EQ(MirrorArrowKey(NULL, VK_LEFT), static_cast<UINT>(VK_LEFT));
    leftToRight.DestroyWindow();
    rightToLeft.DestroyWindow();
}

TEST(DrawHelpers, TriangleAndWindowRectangles)
{
    PixelSurface surface(20, 20, RGB(255, 255, 255));
    DrawTriangle(surface.dc(), CPoint(2, 2), CPoint(18, 2), CPoint(10, 16), RGB(0, 0, 160));
    EXPECT_EQ(surface.Pixel(10, 6), RGB(0, 0, 160));
    EXPECT_EQ(surface.Pixel(2, 16), RGB(255, 255, 255));
    Triangle(surface.dc(), CPoint(2, 19), CPoint(8, 13), CPoint(2, 13), RGB(160, 0, 0));
    EXPECT_EQ(surface.Pixel(3, 15), RGB(160, 0, 0));

    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"rects", WS_POPUP, CRect(30, 40, 130, 90), NULL, 0));
    EXPECT_EQ(CRect(CXTWndWindowRect(&wnd)), CRect(30, 40, 130, 90));
    EXPECT_EQ(CRect(CXTWndClientRect(&wnd)), CRect(0, 0, 100, 50));
    EXPECT_TRUE(CXTHwndWindowRect(NULL).IsRectEmpty());
    EXPECT_TRUE(CXTWndClientRect(NULL).IsRectEmpty());
    EXPECT_TRUE(CXTZeroRect().IsRectNull());
    wnd.DestroyWindow();
    EXPECT_TRUE(CXTHwndWindowRect(wnd.GetSafeHwnd()).IsRectEmpty());
}

TEST(DrawHelpers, RectanglesMoveJustEnoughToContainAPoint)
{
    struct Case
    {
        const char* name;
        CPoint point;
        CRect expected;
    };
    const Case cases[] = {
        {"inside", CPoint(15, 15), CRect(10, 10, 30, 20)},
        {"left of it", CPoint(4, 12), CRect(4, 10, 24, 20)},
        {"right of it", CPoint(30, 12), CRect(11, 10, 31, 20)},
        {"above and right", CPoint(40, 2), CRect(21, 2, 41, 12)},
        {"below", CPoint(12, 25), CRect(10, 16, 30, 26)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRect rect(10, 10, 30, 20);
        MoveRectToContainPoint(rect, c.point);
        EXPECT_EQ(rect, c.expected);
        EXPECT_TRUE(rect.PtInRect(c.point));
    }
    LOGFONT logFont = {};
    CreateGuiFont(logFont, TRUE);
    EXPECT_EQ(CString(logFont.lfFaceName), GetGuiFaceName(TRUE));
}

TEST(WorkArea, IsTheScreensWorkAreaForPointsRectanglesAndWindows)
{
    CRect expected;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &expected, 0));
    EXPECT_EQ(GetWorkAreaFromPoint(CPoint(10, 10)), expected);
    EXPECT_EQ(GetWorkAreaFromRect(CRect(5, 5, 50, 50)), expected);
    // Outside every monitor: the primary work area.
    EXPECT_EQ(GetWorkAreaFromPoint(CPoint(-30000, -30000)), expected);
    EXPECT_EQ(GetWorkAreaFromWindow(NULL), expected);
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"area", WS_POPUP, CRect(0, 0, 10, 10), NULL, 0));
    EXPECT_EQ(GetWorkAreaFromWindow(&wnd), expected);
    wnd.DestroyWindow();
}

TEST(DrawHelpers, TopParentIsActiveWhileItOrItsLastPopupIsInFront)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), L"frame", WS_POPUP | WS_VISIBLE,
                               CRect(0, 0, 200, 150), NULL, 0));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), L"child", WS_CHILD | WS_VISIBLE,
                               CRect(10, 10, 60, 60), &frame, 1));
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), L"other", WS_POPUP | WS_VISIBLE,
                               CRect(300, 0, 400, 100), NULL, 0));

    ASSERT_TRUE(SetForegroundWindow(frame.m_hWnd));
    EXPECT_TRUE(IsTopParentActive(&child));
    EXPECT_TRUE(IsTopParentActive(&frame));
    EXPECT_FALSE(IsTopParentActive(&other));

    // A popup the frame owns, in front, keeps the frame's windows active.
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, AfxRegisterWndClass(0), L"popup", WS_POPUP | WS_VISIBLE,
                               CRect(20, 20, 90, 90), &frame, 0));
    ASSERT_TRUE(SetForegroundWindow(popup.m_hWnd));
    EXPECT_TRUE(IsTopParentActive(&child));
    EXPECT_TRUE(IsTopParentActive(&popup));

    ASSERT_TRUE(SetForegroundWindow(other.m_hWnd));
    EXPECT_FALSE(IsTopParentActive(&child));
    EXPECT_FALSE(IsTopParentActive(&popup));
    EXPECT_TRUE(IsTopParentActive(&other));
    EXPECT_FALSE(IsTopParentActive(NULL));
    popup.DestroyWindow();
    other.DestroyWindow();
    frame.DestroyWindow();
}

// The display is shared with other test programs that move the cursor too: a reading counts only
// when the cursor is still where it was put.
CPoint ClientCursorPosAt(CWnd* pWnd, int x, int y)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (!SetCursorPos(x, y))
            break;
        const CPoint position = CXTClientCursorPos(pWnd);
        POINT after = {};
        if (GetCursorPos(&after) && after.x == x && after.y == y)
            return position;
        Sleep(20);
    }
    return CPoint(INT_MIN, INT_MIN);
}

TEST(DrawHelpers, ClientCursorPositionIsInTheWindowsClientCoordinates)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"cursor", WS_POPUP | WS_VISIBLE,
                             CRect(30, 40, 230, 190), NULL, 0));
    EXPECT_EQ(ClientCursorPosAt(&wnd, 200, 150), CPoint(170, 110));
    EXPECT_EQ(ClientCursorPosAt(&wnd, 10, 20), CPoint(-20, -20)); // left of and above the window
    // Without a window the position stays in screen coordinates.
    EXPECT_EQ(ClientCursorPosAt(NULL, 10, 20), CPoint(10, 20));
    wnd.DestroyWindow();
    EXPECT_EQ(ClientCursorPosAt(&wnd, 10, 20), CPoint(10, 20));
}

// Ends a drag whose messages did not arrive, so that a fault cannot hang the run.
void CALLBACK ReleaseCaptureTimer(HWND, UINT, UINT_PTR, DWORD)
{
    ReleaseCapture();
}

TEST(SplitterDragTracker, EscapeAnswersZeroButtonUpOneAndTheRectangleKeepsItsLastPlace)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"splitter", WS_POPUP,
                             CRect(100, 100, 500, 400), NULL, 0));
    struct Case
    {
        const char* name;
        UINT endMessage;
        WPARAM endParam;
        int moveToX;
        int expectedResult;
        int expectedLeft;
    };
    // The tracker starts at x 200 (screen) with the pointer at client x 100 (screen 200).
    const Case cases[] = {
        {"escape", WM_KEYDOWN, VK_ESCAPE, 150, 0, 250},
        {"button up", WM_LBUTTONUP, 0, 120, 1, 220},
        {"clamped to the largest x", WM_LBUTTONUP, 0, 380, 1, 400},
        {"clamped to the smallest x", WM_LBUTTONUP, 0, -50, 1, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRect rect(200, 120, 204, 380);
        wnd.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(c.moveToX, 50));
        wnd.PostMessage(c.endMessage, c.endParam, 0);
        const UINT_PTR timer = SetTimer(NULL, 0, 5000, ReleaseCaptureTimer);
        CXTSplitterDragTracker tracker;
        const int nResult = tracker.Track(&wnd, CRect(150, 0, 400, 0), rect, CPoint(200, 150), TRUE);
        KillTimer(NULL, timer);
        EXPECT_EQ(nResult, c.expectedResult);
        EXPECT_EQ(rect, CRect(c.expectedLeft, 120, c.expectedLeft + 4, 380));
        EXPECT_EQ(GetCapture(), nullptr);
    }
    wnd.DestroyWindow();
}

} // namespace
