// Drawing through CDC into a 32-bit memory bitmap, checked on the pixels read back.
#include <afxwin.h>

#include <cstdint>

#include <gtest/gtest.h>

#include "test_app.h"

namespace {

// A top-down 32-bit DIB section selected into a memory DC.
class PixelCanvas
{
public:
    PixelCanvas(int nWidth, int nHeight, COLORREF clrBackground) : m_nWidth(nWidth), m_nHeight(nHeight)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pBits = NULL;
        m_bitmap.Attach(::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pBits, NULL, 0));
        m_pBits = static_cast<std::uint32_t*>(pBits);
        m_dc.CreateCompatibleDC(NULL);
        m_pOldBitmap = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, nWidth, nHeight, clrBackground);
    }
    ~PixelCanvas() { m_dc.SelectObject(m_pOldBitmap); }

    // The pixel as a COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y)
    {
        ::GdiFlush();
        const std::uint32_t pixel = m_pBits[y * m_nWidth + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    int CountOf(COLORREF clr)
    {
        int nCount = 0;
        for (int y = 0; y < m_nHeight; ++y) {
            for (int x = 0; x < m_nWidth; ++x)
                nCount += At(x, y) == clr;
        }
        return nCount;
    }

    CDC m_dc;
    CBitmap m_bitmap;

private:
    int m_nWidth;
    int m_nHeight;
    std::uint32_t* m_pBits = NULL;
    CBitmap* m_pOldBitmap = NULL;
};

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);

TEST(DeviceContext, FillSolidRectFillsTheNormalisedRectangleAndKeepsTheColour)
{
    PixelCanvas canvas(20, 20, kWhite);
    canvas.m_dc.FillSolidRect(CRect(2, 3, 6, 5), kRed);
    EXPECT_EQ(canvas.At(2, 3), kRed);
    EXPECT_EQ(canvas.At(5, 4), kRed);
    EXPECT_EQ(canvas.At(6, 4), kWhite);
    EXPECT_EQ(canvas.At(5, 5), kWhite);
    EXPECT_EQ(canvas.CountOf(kRed), 8);
    // A rectangle given from its far corner covers the same pixels.
    canvas.m_dc.FillSolidRect(14, 10, -4, -2, kBlue);
    EXPECT_EQ(canvas.CountOf(kBlue), 8);
    EXPECT_EQ(canvas.At(10, 8), kBlue);
    EXPECT_EQ(canvas.At(13, 9), kBlue);
    EXPECT_EQ(canvas.m_dc.GetBkColor(), kBlue);
}

TEST(DeviceContext, Draw3dRectGivesTheFarCornersToTheBottomRightColour)
{
    PixelCanvas canvas(12, 12, kWhite);
    canvas.m_dc.Draw3dRect(CRect(1, 1, 9, 7), kRed, kBlue);
    struct Case
    {
        const char* name;
        int x;
        int y;
        COLORREF expected;
    } cases[] = {{"top-left corner", 1, 1, kRed},
                 {"top edge", 5, 1, kRed},
                 {"left edge", 1, 4, kRed},
                 {"top-right corner", 8, 1, kBlue},
                 {"right edge", 8, 4, kBlue},
                 {"bottom edge", 5, 6, kBlue},
                 {"bottom-left corner", 1, 6, kBlue},
                 {"bottom-right corner", 8, 6, kBlue},
                 {"inside", 4, 4, kWhite},
                 {"outside right", 9, 4, kWhite},
                 {"outside below", 4, 7, kWhite}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(canvas.At(c.x, c.y), c.expected);
    }
    // Top 7 and left 5 sharing a corner; right 6 and bottom 8 sharing one.
    EXPECT_EQ(canvas.CountOf(kRed), 11);
    EXPECT_EQ(canvas.CountOf(kBlue), 13);
}

// Selects a pen for the length of a scope, as drawing code does around each part it draws.
class ScopedPen
{
public:
    ScopedPen(CDC& dc, COLORREF clr) : m_dc(dc)
    {
        m_pen.CreatePen(PS_SOLID, 1, clr);
        m_pOldPen = m_dc.SelectObject(&m_pen);
    }
    ~ScopedPen() { m_dc.SelectObject(m_pOldPen); }
    CPen* OldPen() const { return m_pOldPen; }

private:
    CDC& m_dc;
    CPen m_pen;
    CPen* m_pOldPen = NULL;
};

TEST(DeviceContext, ASelectedPenIsRestoredWhenItsSelectorEnds)
{
    PixelCanvas canvas(20, 20, kWhite);
    CPen red(PS_SOLID, 1, kRed);
    CPen* pSystemPen = canvas.m_dc.SelectObject(&red);
    ASSERT_NE(pSystemPen, nullptr);
    {
        ScopedPen blue(canvas.m_dc, kBlue);
        EXPECT_EQ(blue.OldPen(), &red); // the permanent object of the pen that was selected
        canvas.m_dc.MoveTo(0, 2);
        canvas.m_dc.LineTo(10, 2);
    }
    EXPECT_EQ(canvas.m_dc.GetCurrentPen(), &red);
    canvas.m_dc.MoveTo(0, 5);
    canvas.m_dc.LineTo(10, 5);
    EXPECT_EQ(canvas.At(4, 2), kBlue);
    EXPECT_EQ(canvas.At(4, 5), kRed);
    EXPECT_EQ(canvas.CountOf(kBlue), 10);
    EXPECT_EQ(canvas.CountOf(kRed), 10);

    // Rectangle draws its outline with the pen and fills with the brush.
    CBrush green(kGreen);
    CBrush* pOldBrush = canvas.m_dc.SelectObject(&green);
    canvas.m_dc.Rectangle(CRect(12, 12, 16, 16));
    EXPECT_EQ(canvas.At(12, 12), kRed);
    EXPECT_EQ(canvas.At(15, 15), kRed);
    EXPECT_EQ(canvas.At(13, 13), kGreen);
    canvas.m_dc.SelectObject(pOldBrush);
    canvas.m_dc.SelectObject(pSystemPen);
    EXPECT_EQ(pSystemPen->m_hObject, ::GetStockObject(BLACK_PEN));
}

TEST(DeviceContext, ClippingLimitsDrawingAndRestoreDCLiftsIt)
{
    PixelCanvas canvas(10, 10, kWhite);
    const int nSaved = canvas.m_dc.SaveDC();
    canvas.m_dc.IntersectClipRect(2, 2, 8, 8);
    canvas.m_dc.ExcludeClipRect(4, 4, 6, 6);
    canvas.m_dc.FillSolidRect(0, 0, 10, 10, kRed);
    EXPECT_EQ(canvas.CountOf(kRed), 36 - 4);
    EXPECT_EQ(canvas.At(4, 4), kWhite);
    EXPECT_EQ(canvas.At(1, 1), kWhite);
    CRect clipBox;
    canvas.m_dc.GetClipBox(&clipBox);
    EXPECT_EQ(clipBox, CRect(2, 2, 8, 8));
    canvas.m_dc.RestoreDC(nSaved);
    canvas.m_dc.FillSolidRect(0, 0, 10, 10, kBlue);
    EXPECT_EQ(canvas.CountOf(kBlue), 100);

    CRgn region;
    region.CreateRectRgn(0, 0, 3, 3);
    canvas.m_dc.SelectClipRgn(&region);
    canvas.m_dc.FillSolidRect(0, 0, 10, 10, kGreen);
    EXPECT_EQ(canvas.CountOf(kGreen), 9);
    canvas.m_dc.SelectClipRgn(NULL);
    canvas.m_dc.FillSolidRect(0, 0, 10, 10, kGreen);
    EXPECT_EQ(canvas.CountOf(kGreen), 100);
}

TEST(DeviceContext, BlitsCopyStretchAndPaint)
{
    PixelCanvas source(2, 2, kRed);
    source.m_dc.SetPixel(1, 1, kBlue);
    PixelCanvas target(8, 8, kWhite);
    EXPECT_TRUE(target.m_dc.BitBlt(1, 1, 2, 2, &source.m_dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.At(1, 1), kRed);
    EXPECT_EQ(target.At(2, 2), kBlue);
    target.m_dc.SetStretchBltMode(COLORONCOLOR);
    EXPECT_TRUE(target.m_dc.StretchBlt(4, 4, 4, 4, &source.m_dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(target.At(5, 5), kRed);
    EXPECT_EQ(target.At(6, 6), kBlue);
    EXPECT_EQ(target.At(7, 7), kBlue);
    EXPECT_EQ(target.CountOf(kBlue), 1 + 4);

    CBrush green(kGreen);
    CBrush* pOld = target.m_dc.SelectObject(&green);
    EXPECT_TRUE(target.m_dc.PatBlt(0, 6, 3, 2, PATCOPY));
    target.m_dc.SelectObject(pOld);
    EXPECT_EQ(target.CountOf(kGreen), 6);
}

TEST(DeviceContext, TextIsMeasuredOnTheSelectedFont)
{
    PixelCanvas canvas(200, 40, kWhite);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, L"Arial", &canvas.m_dc));
    CFont* pOld = canvas.m_dc.SelectObject(&font);
    const CSize wide = canvas.m_dc.GetTextExtent(L"WWWW", 4);
    const CSize narrow = canvas.m_dc.GetTextExtent(CString(L"iiii"));
    EXPECT_GT(wide.cx, narrow.cx);
    EXPECT_EQ(canvas.m_dc.GetTextExtent(L"", 0).cx, 0);
    CRect rect(0, 0, 0, 0);
    canvas.m_dc.DrawText(CString(L"WWWW"), &rect, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(rect.Width(), wide.cx);
    canvas.m_dc.SetTextColor(RGB(0, 0, 0));
    canvas.m_dc.SetBkMode(TRANSPARENT);
    canvas.m_dc.TextOut(2, 2, CString(L"Hi"));
    EXPECT_GT(canvas.CountOf(RGB(0, 0, 0)), 0);
    CString face;
    canvas.m_dc.GetTextFace(face);
    EXPECT_FALSE(face.IsEmpty());
    canvas.m_dc.SelectObject(pOld);
}

TEST(DeviceContext, HandleMapsGivePermanentObjectsOrTemporaries)
{
    CPen pen(PS_SOLID, 1, kRed);
    EXPECT_EQ(CPen::FromHandle(pen), &pen);
    EXPECT_EQ(CGdiObject::FromHandle(pen.m_hObject), &pen);
    theApp.OnIdle(1);
    CBrush* pStock = CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
    EXPECT_EQ(pStock->m_hObject, ::GetStockObject(GRAY_BRUSH));
    EXPECT_EQ(AfxGetTempObjectCount(), 1u);
    // A temporary never deletes the handle it stands for.
    theApp.OnIdle(1);
    LOGBRUSH logBrush = {};
    EXPECT_EQ(::GetObject(::GetStockObject(GRAY_BRUSH), sizeof(logBrush), &logBrush),
              static_cast<int>(sizeof(logBrush)));

    HPEN hPen = static_cast<HPEN>(pen.Detach());
    CPen other;
    EXPECT_TRUE(other.Attach(hPen));
    EXPECT_EQ(CPen::FromHandle(hPen), &other);
    EXPECT_FALSE(pen.Attach(hPen)); // one object per handle
}

} // namespace
