// Gradient fills: the system's GradientFill when the framework has it, else bands of solid colour
// inside the DC's clip box; a solid fill on a low-colour DC.
#pragma once

#include <afxwin.h>

class CXTColorPair;

class CXTGdiHelper
{
public:
    static void AFXAPI FillGradient(CDC* pDC, LPCRECT lpRect, COLORREF clrStart, COLORREF clrEnd, BOOL bHorz);
    // Only the part inside the clip rectangle, in the colours it has in the whole gradient; without a
    // clip rectangle the same as FillGradient.
    static void AFXAPI FillGradientClipped(CDC* pDC, LPCRECT lpRect, COLORREF clrStart, COLORREF clrEnd,
                                           BOOL bHorz, LPCRECT lpRectClip);
    // A factor of 0.5 draws one gradient; any other two, meeting at the colour mixed by the factor.
    static void AFXAPI FillGradientPair(CDC* pDC, LPCRECT lpRect, const CXTColorPair& pair, BOOL bHorz,
                                        LPCRECT lpRectClip = NULL);

    // Draws every gradient in bands, as on a system without GradientFill.
    static void AFXAPI SetBandFillOnly(BOOL bBandsOnly);

private:
    static void FillBands(CDC* pDC, const CRect& rect, COLORREF clrStart, COLORREF clrEnd, BOOL bHorz);
};
