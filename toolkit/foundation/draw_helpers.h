// Small GDI helpers under all toolkit painting: scope objects that select a font, pen or brush and
// restore the DC, a flicker-free buffered DC, rectangle helpers, colour mixing, font-face choice and
// text helpers.
#pragma once

#include <afxwin.h>

// Draws into a bitmap compatible with the target and copies the rectangle back when destroyed. Its
// bitmap spans (0, 0) to the rectangle's bottom right, so the target's coordinates stay valid.
class CXTBufferedDC : public CDC
{
public:
    CXTBufferedDC(HDC hDestDC, const CRect& rect);
    ~CXTBufferedDC() override;

    HDC GetDestDC() const { return m_hDestDC; }

private:
    HDC m_hDestDC;
    CBitmap m_bitmap;
    CRect m_rect;
    HGDIOBJ m_hOldBitmap;
};

class CXTFontSelector
{
public:
    CXTFontSelector(CDC* pDC, CFont* pFont);
    virtual ~CXTFontSelector();
    CXTFontSelector(const CXTFontSelector&) = delete;
    CXTFontSelector& operator=(const CXTFontSelector&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOldFont;
};

// A solid one-pixel pen of the colour, selected for the life of the selector.
class CXTPenSelector
{
public:
    CXTPenSelector(CDC* pDC, COLORREF clr);
    virtual ~CXTPenSelector();
    CXTPenSelector(const CXTPenSelector&) = delete;
    CXTPenSelector& operator=(const CXTPenSelector&) = delete;

    void SetColor(COLORREF clr);
    COLORREF GetColor();

private:
    void Select(COLORREF clr);
    void Restore();

    CPen m_pen;
    HDC m_hDC;
    HGDIOBJ m_hOldPen;
};

// A solid brush of the colour, selected for the life of the selector.
class CXTBrushSelector
{
public:
    CXTBrushSelector(CDC* pDC, COLORREF clr);
    virtual ~CXTBrushSelector();
    CXTBrushSelector(const CXTBrushSelector&) = delete;
    CXTBrushSelector& operator=(const CXTBrushSelector&) = delete;

    void SetColor(COLORREF clr);

private:
    void Select(COLORREF clr);
    void Restore();

    CBrush m_brush;
    HDC m_hDC;
    HGDIOBJ m_hOldBrush;
};

// A memory DC compatible with the DC, with the bitmap selected while it lives.
class CXTBitmapDC : public CDC
{
public:
    CXTBitmapDC(CDC* pDC, CBitmap* pBitmap);
    ~CXTBitmapDC() override;

private:
    HGDIOBJ m_hOldBitmap;
};

// Rectangles of windows; each is empty when the handle is not a window.
class CXTZeroRect : public CRect
{
public:
    CXTZeroRect() : CRect(0, 0, 0, 0) {}
};
class CXTHwndWindowRect : public CRect
{
public:
    explicit CXTHwndWindowRect(HWND hWnd);
};
class CXTWndWindowRect : public CXTHwndWindowRect
{
public:
    explicit CXTWndWindowRect(const CWnd* pWnd) : CXTHwndWindowRect(pWnd->GetSafeHwnd()) {}
};
class CXTWndClientRect : public CRect
{
public:
    explicit CXTWndClientRect(const CWnd* pWnd);
};
// The cursor position in the window's client coordinates.
class CXTClientCursorPos : public CPoint
{
public:
    explicit CXTClientCursorPos(const CWnd* pWnd);
};

// The system's non-client metrics (menu, caption, status and message fonts), filled at construction.
class CXTPNonClientMetricsInfo : public NONCLIENTMETRICSW
{
public:
    CXTPNonClientMetricsInfo();
};

// Pixel (0, 0) of the bitmap; -1 when the handle is not a GDI object.
COLORREF AFXAPI GetBitmapCornerColor(HBITMAP hBitmap);
// The bitmap as an icon, its corner colour transparent; null for no bitmap or an empty one.
HICON AFXAPI CreateIconFromBitmap(HBITMAP hBitmap);
// Per channel a x f + b x (1 - f), truncated.
COLORREF AFXAPI MixColors(COLORREF clrA, COLORREF clrB, double dFactor);
// For (nCount + 1) / 2 entries of (x, y, dx, dy): pixel (x, y) becomes the average of itself and
// pixel (x + dx, y + dy).
void AFXAPI SmoothPixels(CDC* pDC, const int* pEntries, int nCount);
// Whether a font family of that face exists, for any character set.
BOOL AFXAPI FontExists(LPCTSTR lpszFaceName);
// "Tahoma" or "Arial" by the system and the fonts it has, or the GUI font's face.
CString AFXAPI GetGuiFaceName(BOOL bPreferTahoma);
// Puts GetGuiFaceName's face into the font description.
void AFXAPI CreateGuiFont(LOGFONT& logFont, BOOL bPreferTahoma);
// Offsets the rectangle just enough that the point lies inside it.
void AFXAPI MoveRectToContainPoint(CRect& rect, CPoint point);
// Deletes each single '&'; of a pair "&&" one '&' stays.
CString AFXAPI StripMnemonics(LPCTSTR lpszText);
// One line of text placed as DrawText places it with DT_SINGLELINE (DT_CENTER or DT_RIGHT, DT_VCENTER or
// DT_BOTTOM, clipped unless DT_NOCLIP, the '&' marks underlining their character unless DT_NOPREFIX or
// DT_HIDEPREFIX), but with each character at the width the DC measures for it: the ink then fills the
// width the caption was measured with, where a renderer left to itself may place the glyphs closer or
// wider.
void AFXAPI DrawTextAtAdvances(CDC* pDC, const CString& strText, const CRect& rect, UINT nFormat);
// VK_LEFT and VK_RIGHT swapped for a window laid out right to left.
UINT AFXAPI MirrorArrowKey(const CWnd* pWnd, UINT nKey);
void AFXAPI DrawTriangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr);
// The shorter name under which the bar painters draw their arrows.
inline void AFXAPI Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr)
{
    DrawTriangle(pDC, pt0, pt1, pt2, clr);
}
// Whether the DC (the screen's when null) has 1 to 8 bits per pixel.
BOOL AFXAPI IsLowColorDC(CDC* pDC);
// Whether the foreground window is the last active popup of the window's top-level parent or owner.
BOOL AFXAPI IsTopParentActive(const CWnd* pWnd);
