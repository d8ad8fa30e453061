#include "gradient_fill.h"

#include "color_table.h"
#include "draw_helpers.h"

#include <algorithm>

namespace {

BOOL g_bBandsOnly = FALSE;

TRIVERTEX Vertex(LONG x, LONG y, COLORREF clr)
{
    TRIVERTEX vertex = {};
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>(GetRValue(clr) << 8);
    vertex.Green = static_cast<COLOR16>(GetGValue(clr) << 8);
    vertex.Blue = static_cast<COLOR16>(GetBValue(clr) << 8);
    vertex.Alpha = 0;
    return vertex;
}

} // namespace

void AFXAPI CXTGdiHelper::SetBandFillOnly(BOOL bBandsOnly)
{
    g_bBandsOnly = bBandsOnly;
}

void AFXAPI CXTGdiHelper::FillGradient(CDC* pDC, LPCRECT lpRect, COLORREF clrStart, COLORREF clrEnd,
                                       BOOL bHorz)
{
    if (lpRect == NULL || ::IsRectEmpty(lpRect))
        return;
    if (IsLowColorDC(pDC) || clrStart == clrEnd) {
        pDC->FillSolidRect(lpRect, clrStart);
        return;
    }
    if (!g_bBandsOnly) {
        TRIVERTEX vertices[2] = {Vertex(lpRect->left, lpRect->top, clrStart),
                                 Vertex(lpRect->right, lpRect->bottom, clrEnd)};
        GRADIENT_RECT mesh = {0, 1};
        if (pDC->GradientFill(vertices, 2, &mesh, 1, bHorz ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V))
            return;
    }
    FillBands(pDC, CRect(lpRect), clrStart, clrEnd, bHorz);
}

void CXTGdiHelper::FillBands(CDC* pDC, const CRect& rect, COLORREF clrStart, COLORREF clrEnd, BOOL bHorz)
{
    // One band per column or row, and only those the clip box lets through.
    CRect rectClip;
    if (pDC->GetClipBox(&rectClip) == NULLREGION || rectClip.IsRectEmpty())
        rectClip = rect;
    else
        rectClip.IntersectRect(&rectClip, &rect);
    const int nWidth = std::max(1, rect.Width());
    const int nHeight = std::max(1, rect.Height());
    if (bHorz) {
        for (int x = rectClip.left; x < rectClip.right; ++x)
            pDC->FillSolidRect(
                x, rectClip.top, 1, rectClip.Height(),
                MixColors(clrStart, clrEnd, 1.0 - static_cast<double>(x - rect.left) / nWidth));
    } else {
        for (int y = rectClip.top; y < rectClip.bottom; ++y)
            pDC->FillSolidRect(
                rectClip.left, y, rectClip.Width(), 1,
                MixColors(clrStart, clrEnd, 1.0 - static_cast<double>(y - rect.top) / nHeight));
    }
}

void AFXAPI CXTGdiHelper::FillGradientClipped(CDC* pDC, LPCRECT lpRect, COLORREF clrStart, COLORREF clrEnd,
                                              BOOL bHorz, LPCRECT lpRectClip)
{
    if (lpRectClip == NULL) {
        FillGradient(pDC, lpRect, clrStart, clrEnd, bHorz);
        return;
    }
    if (lpRect == NULL)
        return;
    CRect rect(lpRect);
    // The axis of the gradient and the one across it, as (low, high) edges of both rectangles.
    LONG& nLow = bHorz ? rect.left : rect.top;
    LONG& nHigh = bHorz ? rect.right : rect.bottom;
    LONG& nCrossLow = bHorz ? rect.top : rect.left;
    LONG& nCrossHigh = bHorz ? rect.bottom : rect.right;
    const LONG nClipLow = bHorz ? lpRectClip->left : lpRectClip->top;
    const LONG nClipHigh = bHorz ? lpRectClip->right : lpRectClip->bottom;
    nCrossLow = std::max(nCrossLow, bHorz ? lpRectClip->top : lpRectClip->left);
    nCrossHigh = std::min(nCrossHigh, bHorz ? lpRectClip->bottom : lpRectClip->right);
    if (nClipHigh <= nLow || nClipLow >= nHigh)
        return;
    const double dLength = nHigh - nLow;
    COLORREF clrNewStart = clrStart;
    COLORREF clrNewEnd = clrEnd;
    const LONG nOriginalHigh = nHigh;
    if (nClipLow > nLow) {
        clrNewStart = MixColors(clrStart, clrEnd, (nOriginalHigh - nClipLow) / dLength);
        nLow = nClipLow;
    }
    if (nClipHigh < nOriginalHigh) {
        clrNewEnd = MixColors(clrStart, clrEnd, (nOriginalHigh - nClipHigh) / dLength);
        nHigh = nClipHigh;
    }
    FillGradient(pDC, rect, clrNewStart, clrNewEnd, bHorz);
}

void AFXAPI CXTGdiHelper::FillGradientPair(CDC* pDC, LPCRECT lpRect, const CXTColorPair& pair, BOOL bHorz,
                                           LPCRECT lpRectClip)
{
    if (lpRect == NULL)
        return;
    const COLORREF clrStart = pair.m_clrStart;
    const COLORREF clrEnd = pair.m_clrEnd;
    if (pair.m_fFactor == 0.5f) {
        FillGradientClipped(pDC, lpRect, clrStart, clrEnd, bHorz, lpRectClip);
        return;
    }
    const COLORREF clrMiddle = MixColors(clrStart, clrEnd, pair.m_fFactor);
    CRect rectFirst(lpRect);
    CRect rectSecond(lpRect);
    if (bHorz) {
        rectFirst.right = lpRect->right - (lpRect->right - lpRect->left) / 2;
        rectSecond.left = rectFirst.right;
    } else {
        rectFirst.bottom = lpRect->bottom - (lpRect->bottom - lpRect->top) / 2;
        rectSecond.top = rectFirst.bottom;
    }
    FillGradientClipped(pDC, rectFirst, clrStart, clrMiddle, bHorz, lpRectClip);
    FillGradientClipped(pDC, rectSecond, clrMiddle, clrEnd, bHorz, lpRectClip);
}
