#include "command_bars.h"

#include "draw_helpers.h"
#include "gradient_fill.h"

#include <algorithm>

namespace {
BOOL IsVerticalPosition(int nPosition)
{
    return nPosition == xtpBarLeft || nPosition == xtpBarRight;
}

// The dock bars of the right side carry these style bits; their band is one plain colour.
const DWORD kPlainBandStyles = 0x100 | 0x4000;

// The image list's key colour; no glyph pixel may take it.
const COLORREF kGlyphMask = RGB(0, 255, 0);

// Coverage of the close glyph (a cross), one byte a pixel, row by row.
const BYTE kCloseGlyph[16 * 16] = {
    0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, //
    0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, //
    0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, //
    0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, //
    0, 0, 0, 0, 255, 207, 16,  0,   0,   16,  207, 255, 0, 0, 0, 0, //
    0, 0, 0, 0, 207, 255, 207, 16,  16,  207, 255, 207, 0, 0, 0, 0, //
    0, 0, 0, 0, 16,  207, 255, 207, 207, 255, 207, 16,  0, 0, 0, 0, //
    0, 0, 0, 0, 0,   16,  207, 255, 255, 207, 16,  0,   0, 0, 0, 0, //
    0, 0, 0, 0, 0,   16,  207, 255, 255, 207, 16,  0,   0, 0, 0, 0, //
    0, 0, 0, 0, 16,  207, 255, 207, 207, 255, 207, 16,  0, 0, 0, 0, //
    0, 0, 0, 0, 207, 255, 207, 16,  16,  207, 255, 207, 0, 0, 0, 0, //
    0, 0, 0, 0, 255, 207, 16,  0,   0,   16,  207, 255, 0, 0, 0, 0, //
    0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, //
    0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, //
    0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, //
    0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, //
};

COLORREF BlendByCoverage(COLORREF clrGlyph, COLORREF clrBack, int nCoverage)
{
    const auto mix = [nCoverage](int a, int b) {
        return (a * nCoverage + b * (255 - nCoverage) + 127) / 255;
    };
    return RGB(mix(GetRValue(clrGlyph), GetRValue(clrBack)), mix(GetGValue(clrGlyph), GetGValue(clrBack)),
               mix(GetBValue(clrGlyph), GetBValue(clrBack)));
}

HWND ThreadMainWindow()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != NULL && pThread->m_pMainWnd != NULL ? pThread->m_pMainWnd->GetSafeHwnd() : NULL;
}

CRect LastVisibleControlRect(CXTPCommandBar* pBar)
{
    for (int i = pBar->GetControlCount() - 1; i >= 0; --i)
        if (pBar->GetControl(i)->IsVisible())
            return pBar->GetControl(i)->GetRect();
    return CRect(0, 0, 0, 0);
}

// One scheme's row of a colour table: blue, olive, silver.
struct SchemeColors
{
    COLORREF clr[3];
};
struct SchemePair
{
    COLORREF clrStart[3];
    COLORREF clrEnd[3];
    float fFactor[3];
};
void SetFromScheme(CXTColorPair& pair, const SchemePair& row, int nScheme)
{
    pair.Set(row.clrStart[nScheme - 1], row.clrEnd[nScheme - 1], row.fFactor[nScheme - 1]);
}
} // namespace

void AFXAPI XTPOpenThemeOnMainWindow(CXTThemeHandle& theme, LPCWSTR pszClassList)
{
    const HWND hWnd = ThreadMainWindow();
    if (hWnd != NULL)
        theme.Open(hWnd, pszClassList);
    else
        theme.Close();
}

CXTPPaintThemeNo2::CXTPPaintThemeNo2()
{
    m_bUseFadedIcons = FALSE;
    m_bIconsWithShadow = FALSE;
    m_clrChecked.Set(0x8CD5FF, 0x55ADFF, 0.5f);
    m_clrPressed.Set(0x4B8EFE, 0x8BCFFF, 0.5f);
    m_clrHot.Set(0xC8F2FF, 0x97D4FF, 0.5f);
}

CXTPPaintThemeNo2::~CXTPPaintThemeNo2()
{
    m_imlGlyphs.DeleteImageList();
    m_themeStatus.Close();
}

BOOL CXTPPaintThemeNo2::CanDockBar(CXTPCommandBar* pBar)
{
    return pBar->GetType() != xtpBarTypeMenuBar && (pBar->GetFlags() & xtpFlagAlignAny) != 0;
}

void CXTPPaintThemeNo2::SetStandardColors(std::initializer_list<std::pair<int, COLORREF>> colors)
{
    for (const auto& color : colors)
        m_colors[color.first].SetStandardValue(color.second);
}

void CXTPPaintThemeNo2::RefreshMetrics()
{
    CXTPPaintManager::RefreshMetrics();
    XTPOpenThemeOnMainWindow(m_themeStatus, L"STATUS");

    const COLORREF clrWindow = GetColor(COLOR_WINDOW);
    const COLORREF clrFace = GetColor(COLOR_3DFACE);
    m_clrPopupExpanded.Set(BlendColors(clrWindow, GetColor(42), 550), GetColor(42));
    m_clrCommandBar.Set(BlendColors(clrFace, clrWindow, 205), clrFace);
    m_clrDockBar.Set(clrFace, BlendColors(clrFace, clrWindow, 205));
    m_clrCommandBarEdge.SetStandardValue(GetColor(30));
    m_clrTearOff.SetStandardValue(GetColor(30));
    m_clrFloatingCaption.SetStandardValue(GetColor(COLOR_3DSHADOW));
    m_clrPopupControl.Set(GetColor(41), BlendColors(clrWindow, clrFace, 550));
    m_clrThirdGradient.Set(BlendColors(GetColor(51), GetColor(COLOR_3DSHADOW), 51), GetColor(COLOR_3DSHADOW));
    m_clrFourthGradient.Set(GetColor(41), BlendColors(clrWindow, clrFace, 550));
    m_clrStatusPane.SetStandardValue(BlendColors(clrFace, clrWindow, 70));
    m_bLunaColorsActive = FALSE;

    const int nScheme = GetColorScheme();
    if (nScheme >= xtSchemeBlue && nScheme <= xtSchemeSilver) {
        static const SchemePair dockBar = {
            {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}, {0xFADAC4, 0xE4F1F2, 0xF7F3F3}, {0.5f, 0.5f, 0.5f}};
        static const SchemePair commandBar = {
            {0xFEECDD, 0xDEF7F4, 0xFFF9F9}, {0xE2A981, 0x91C6B7, 0xB79B9C}, {0.75f, 0.3f, 0.75f}};
        static const SchemePair third = {
            {0xF1A675, 0x8CC2B0, 0xC8B2B3}, {0x913500, 0x6B7760, 0x927476}, {0.75f, 0.3f, 0.75f}};
        static const SchemePair fourth = {
            {0xFEEFE3, 0xD5F0EC, 0xF1E8E8}, {0xE2A981, 0x93C6B8, 0xC5AEB0}, {0.5f, 0.5f, 0.5f}};
        static const SchemePair expanded = {
            {0xF6DDCB, 0xD1E6E6, 0xE2D7D7}, {0xDCA179, 0x78B4A4, 0xA28385}, {0.5f, 0.3f, 0.5f}};
        static const SchemePair popupControl = {
            {0xFFEFE3, 0xD5F0EC, 0xF1E7E9}, {0xE7B593, 0x9FCEC2, 0xCDB9BA}, {0.5f, 0.5f, 0.5f}};
        static const SchemePair coreBar = {
            {0xF2ECE9, 0xF0F4F3, 0xF9F5F7}, {0xAC7A61, 0x719083, 0x99797A}, {0.5f, 0.5f, 0.5f}};
        const int i = nScheme - 1;
        SetFromScheme(m_clrDockBar, dockBar, nScheme);
        SetFromScheme(m_clrCommandBar, commandBar, nScheme);
        SetFromScheme(m_clrThirdGradient, third, nScheme);
        SetFromScheme(m_clrFourthGradient, fourth, nScheme);
        SetFromScheme(m_clrPopupExpanded, expanded, nScheme);
        SetFromScheme(m_clrPopupControl, popupControl, nScheme);
        SetFromScheme(m_clrBarGradient, coreBar, nScheme);
        m_clrCommandBarEdge.SetStandardValue(SchemeColors{{0x9C613B, 0x588060, 0x947C7C}}.clr[i]);
        m_clrFloatingCaption.SetStandardValue(SchemeColors{{0xC9662A, 0x5E8674, 0x99797A}}.clr[i]);
        m_clrStatusPane.SetStandardValue(SchemeColors{{0xD3D3D3, 0xD3D3D3, 0xDAEAEC}}.clr[i]);
        m_clrTearOff.SetStandardValue(SchemeColors{{0xF0C7A9, 0x9FD4C5, 0xD3C0C0}}.clr[i]);
        m_clrShadow = SchemeColors{{0x361E16, 0x19221F, 0x292024}}.clr[i];
        SetStandardColors({{12, SchemeColors{{0xAE9990, 0x7BA097, 0xB39A9B}}.clr[i]},
                           {51, SchemeColors{{0xFCE7D8, 0xBFE7E2, 0xEADFDF}}.clr[i]},
                           {52, SchemeColors{{0xF5BE9E, 0x8AC0AB, 0xC3B0B1}}.clr[i]},
                           {53, SchemeColors{{0xFCE1CB, 0xB6E3D8, 0xE7D3D6}}.clr[i]},
                           {56, SchemeColors{{0xF7D3BD, 0xBDE3DE, 0xE7D7D6}}.clr[i]}});
        static const int overrides[] = {30, 31, 32, 33, 36, 37, 38, 39, 40, 41, 43, 47, 50};
        static const COLORREF overrideValues[3][13] = {
            {0xF9DBC4, 0xC2EEFF, 0x800000, 0x3E80FE, 0x6FC0FF, 0x800000, 0x764127, 0xCB8C6A, 0xD0966D,
             0xF6F6F6, 0x962D00, 0x000000, 0x800000},
            {0xADDED1, 0xC2EEFF, 0x385D3F, 0x3E80FE, 0x6FC0FF, 0x385D3F, 0x335E51, 0x588060, 0x7AAE9F,
             0xEEF4F4, 0x5E8D75, 0x000000, 0x385D3F},
            {0xE4DADB, 0xC2EEFF, 0x6F4B4B, 0x3E80FE, 0x6FC0FF, 0x6F4B4B, 0x755454, 0x8F6D6E, 0xBEA7A8,
             0xFFFAFD, 0x947C7C, 0x000000, 0x6F4B4B},
        };
        SetColors(13, overrides, overrideValues[i]);
        m_bLunaColorsActive = TRUE;
        SetStandardColors({{58, 0x8D8D8D}, {60, 0x8D8D8D}, {35, 0x8D8D8D}});
    }
    RebuildGlyphs();
}

void CXTPPaintThemeNo2::RebuildGlyphs()
{
    m_imlGlyphs.DeleteImageList();
    if (!m_imlGlyphs.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1))
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    const HBITMAP hBitmap = ::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hBitmap == NULL)
        return;
    // The glyph is the light colour on the floating caption it is drawn on.
    const COLORREF clrGlyph = GetColor(COLOR_3DHIGHLIGHT);
    const COLORREF clrBack = m_clrFloatingCaption;
    auto* pPixels = static_cast<DWORD*>(pBits);
    for (int i = 0; i < 16 * 16; ++i) {
        COLORREF clr = kGlyphMask;
        if (kCloseGlyph[i] != 0) {
            clr = BlendByCoverage(clrGlyph, clrBack, kCloseGlyph[i]);
            if (clr == kGlyphMask)
                clr = RGB(0, 254, 0);
        }
        pPixels[i] = RGB(GetBValue(clr), GetGValue(clr), GetRValue(clr));
    }
    CBitmap bitmap;
    bitmap.Attach(hBitmap);
    m_imlGlyphs.Add(&bitmap, kGlyphMask);
}

void CXTPPaintThemeNo2::DrawGradientRect(CDC* pDC, CRect rect, const CXTColorPair& gradient, int nBorder,
                                         int nBarPosition)
{
    CXTGdiHelper::FillGradientPair(pDC, rect, gradient, IsVerticalPosition(nBarPosition), rect);
    DrawRect(pDC, rect, nBorder, -1);
}

void CXTPPaintThemeNo2::DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed, BOOL bEnabled,
                                      BOOL bChecked, BOOL bPopuped, int nBarType, int nBarPosition)
{
    if (bPopuped) {
        CXTGdiHelper::FillGradientPair(pDC, rect, m_clrPopupControl, FALSE, rect);
        DrawRect(pDC, rect, 43, -1);
        return;
    }
    if (!m_bLunaColorsActive || nBarType == xtpBarTypeMenuBar || nBarPosition >= xtpBarPopup) {
        CXTPPaintManager::DrawRectangle(pDC, rect, nSelected, nPressed, bEnabled, bChecked, bPopuped,
                                        nBarType, nBarPosition);
        return;
    }
    if (bEnabled) {
        if (!nSelected && !nPressed) {
            if (bChecked)
                DrawGradientRect(pDC, rect, m_clrChecked, 50, nBarPosition);
        } else if ((nSelected && !nPressed && !bChecked) || (!nSelected && nPressed == 1)) {
            DrawGradientRect(pDC, rect, m_clrHot, 32, nBarPosition);
        } else {
            DrawGradientRect(pDC, rect, m_clrPressed, 50, nBarPosition);
        }
    } else if (nSelected == 2) {
        DrawGradientRect(pDC, rect, bChecked ? m_clrPressed : m_clrHot, 50, nBarPosition);
    } else if (bChecked) {
        DrawGradientRect(pDC, rect, m_clrChecked, 58, nBarPosition);
    }
}

void CXTPPaintThemeNo2::DrawFloatingFrame(CDC* pDC, CRect rect)
{
    DrawRect(pDC, rect, 43, -1);
    DrawRect(pDC, CRect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1), 43, -1);
    // The same four pixels as the base theme's floating frame.
    for (const CPoint pt : {CPoint(2, 2), CPoint(rect.right - 2, 2), CPoint(2, rect.bottom - 2),
                            CPoint(rect.right - 2, rect.bottom - 2)})
        pDC->SetPixel(pt, GetColor(43));
}

void CXTPPaintThemeNo2::FillDockedBar(CDC* pDC, CXTPCommandBar* pBar, CRect rect, BOOL bVertical)
{
    const int nHalfScreen = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    pDC->FillSolidRect(rect, GetColor(COLOR_3DFACE));
    // The dock band continues under the bar.
    auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar);
    CXTPDockBar* pDockBar = pToolBar != NULL ? pToolBar->GetDockBar() : NULL;
    if (pDockBar != NULL && ::IsWindow(pDockBar->GetSafeHwnd())) {
        CRect rectParent;
        pDockBar->GetWindowRect(&rectParent);
        pBar->ScreenToClient(&rectParent);
        rectParent.right = std::max(rectParent.right, rectParent.left + nHalfScreen);
        if ((pDockBar->GetDockStyle() & kPlainBandStyles) != 0)
            pDC->FillSolidRect(rectParent, m_clrDockBar.m_clrEnd);
        else
            CXTGdiHelper::FillGradientPair(pDC, rectParent, m_clrDockBar, TRUE, rect);
    }
    const int nSaved = pDC->SaveDC();
    // The band shows through a strip at the bar's start and at its rounded corners.
    if (bVertical)
        pDC->ExcludeClipRect(rect.left, rect.top, rect.right, rect.top + 3);
    else
        pDC->ExcludeClipRect(rect.left, rect.top, rect.left + 3, rect.bottom);
    for (const CPoint pt : {CPoint(rect.left, rect.top), CPoint(rect.right - 1, rect.top),
                            CPoint(rect.left, rect.bottom - 1), CPoint(rect.right - 1, rect.bottom - 1)})
        pDC->ExcludeClipRect(pt.x, pt.y, pt.x + 1, pt.y + 1);
    const CRect rectLast = LastVisibleControlRect(pBar);
    if (!bVertical) {
        const int nEnd = std::min(static_cast<int>(rect.bottom), static_cast<int>(rectLast.bottom) + 1);
        CXTGdiHelper::FillGradientPair(pDC, CRect(rect.left, rect.top + 1, rect.right, nEnd), m_clrCommandBar,
                                       FALSE);
        pDC->FillSolidRect(CRect(rect.left, nEnd, rect.right, rect.bottom), m_clrCommandBar.m_clrEnd);
        pDC->FillSolidRect(CRect(5, rect.bottom - 1, rect.right - 2, rect.bottom), m_clrCommandBarEdge);
    } else {
        const int nEnd = std::min(static_cast<int>(rect.right), static_cast<int>(rectLast.right) + 1);
        CXTGdiHelper::FillGradientPair(pDC, CRect(rect.left + 1, rect.top, nEnd, rect.bottom),
                                       m_clrCommandBar, TRUE);
        pDC->FillSolidRect(CRect(nEnd, rect.top, rect.right, rect.bottom), m_clrCommandBar.m_clrEnd);
        pDC->FillSolidRect(CRect(rect.right - 1, 5, rect.right, rect.bottom - 2), m_clrCommandBarEdge);
    }
    pDC->RestoreDC(nSaved);
}

void CXTPPaintThemeNo2::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    const CRect rect = CXTWndClientRect(pBar);
    const int nPosition = pBar->GetPosition();
    if (pBar->GetType() == xtpBarTypeMenuBar) {
        const CRect rectBand(rect.left, rect.top,
                             rect.left + std::max(rect.Width(), ::GetSystemMetrics(SM_CXSCREEN) / 2),
                             rect.bottom);
        CXTGdiHelper::FillGradientPair(pDC, rectBand, m_clrDockBar, TRUE, rect);
        if (nPosition == xtpBarFloating) {
            DrawFloatingFrame(pDC, rect);
        }
        return;
    }
    switch (nPosition) {
    case xtpBarTop:
    case xtpBarBottom:
        FillDockedBar(pDC, pBar, rect, FALSE);
        return;
    case xtpBarLeft:
    case xtpBarRight:
        FillDockedBar(pDC, pBar, rect, TRUE);
        return;
    case xtpBarFloating:
        if (!CanDockBar(pBar))
            break;
        pDC->FillSolidRect(rect, GetColor(30));
        for (int i = 0; i < pBar->GetControlCount(); ++i) {
            CXTPControl* pControl = pBar->GetControl(i);
            if (pControl->IsVisible() && !pControl->GetRowRect().IsRectEmpty())
                CXTGdiHelper::FillGradientPair(pDC, pControl->GetRowRect(), m_clrCommandBar, FALSE);
        }
        DrawFloatingFrame(pDC, rect);
        return;
    case xtpBarPopup:
        DrawRect(pDC, rect, 43, 41);
        if (pBar->GetType() == xtpBarTypePopup)
            FillPopupGripperColumn(pDC, 1, 2, GetPopupBarGripperWidth(pBar), rect.bottom - 4, FALSE);
        if (auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pBar))
            FillPopupSeam(pDC, pPopupBar, 41);
        return;
    default:
        break;
    }
    CXTPPaintManager::FillCommandBar(pDC, pBar);
}

void CXTPPaintThemeNo2::FillPopupGripperColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpanded)
{
    CXTGdiHelper::FillGradientPair(pDC, CRect(x, y, x + cx, y + cy),
                                   bExpanded ? m_clrPopupExpanded : m_clrCommandBar, TRUE);
}

void CXTPPaintThemeNo2::FillDockBar(CDC* pDC, CXTPDockBar* pBar)
{
    const CRect rect = CXTWndClientRect(pBar);
    if ((pBar->GetDockStyle() & kPlainBandStyles) != 0) {
        pDC->FillSolidRect(rect, m_clrDockBar.m_clrEnd);
        return;
    }
    const CRect rectBand(rect.left, rect.top,
                         rect.left + std::max(rect.Width(), ::GetSystemMetrics(SM_CXSCREEN) / 2),
                         rect.bottom);
    CXTGdiHelper::FillGradientPair(pDC, rectBand, m_clrDockBar, TRUE, rect);
}

void CXTPPaintThemeNo2::DrawDots(CDC* pDC, int nFixed, int nFrom, int nTo, BOOL bVertical)
{
    // Each dark dot has a light one below and to the right of it.
    const COLORREF clrLight = GetColor(COLOR_3DHIGHLIGHT);
    const COLORREF clrDark = GetColor(38);
    for (int i = nFrom; i < nTo; i += 4) {
        const int x = bVertical ? nFixed : i;
        const int y = bVertical ? i : nFixed;
        pDC->FillSolidRect(x + 1, y + 1, 2, 2, clrLight);
        pDC->FillSolidRect(x, y, 2, 2, clrDark);
    }
}

CSize CXTPPaintThemeNo2::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    const CRect rect = CXTWndClientRect(pBar);
    switch (pBar->GetPosition()) {
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw && rect.Height() - 8 >= 6)
            DrawDots(pDC, 3, 4, rect.Height() - 4, TRUE);
        return CSize(6, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw && rect.Width() - 8 >= 6)
            DrawDots(pDC, 3, 4, rect.Width() - 4, FALSE);
        return CSize(0, 8);
    case xtpBarFloating:
        return DrawFloatingCaption(pDC, pBar, bDraw, m_clrFloatingCaption, TRUE);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPPaintThemeNo2::DrawSpecialGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    const int nHeight = std::max(25, m_nTextHeight + 6);
    if (bDraw) {
        const int nWidth =
            pBar != NULL && ::IsWindow(pBar->GetSafeHwnd()) ? CXTWndClientRect(pBar).Width() : 14;
        const CRect rect(3, 3, nWidth - 3, 3 + nHeight);
        CXTGdiHelper::FillGradientPair(pDC, rect, m_clrCommandBar, FALSE);
        const COLORREF clrLight = GetColor(COLOR_3DHIGHLIGHT);
        const COLORREF clrDark = GetColor(38);
        for (int y = rect.top + 4; y < rect.bottom - 5; y += 4) {
            pDC->FillSolidRect(6, y + 1, 2, 2, clrLight);
            pDC->FillSolidRect(5, y, 2, 2, clrDark);
        }
    }
    return CSize(8, nHeight);
}

CSize CXTPPaintThemeNo2::DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl,
                                                 BOOL bDraw)
{
    const CSize size = CXTPPaintManager::DrawCommandBarSeparator(pDC, pBar, pControl, bDraw);
    if (!bDraw || !m_bEmbossedSeparators)
        return size;
    // The light line beside the base's dark one.
    const CRect rect = pControl->GetRect();
    const CRect rectRow = pControl->GetRowRect();
    if (pBar->GetType() == xtpBarTypePopup) {
        Line(pDC, GetPopupBarGripperWidth(pBar) + 9, rect.top - 1, CXTWndClientRect(pBar).Width() - 1,
             rect.top - 1, COLOR_3DHIGHLIGHT);
    } else if (IsVerticalPosition(pBar->GetPosition())) {
        Line(pDC, rectRow.left, rect.top - 3, pControl->GetWrap() ? rectRow.right - 4 : rectRow.right,
             rect.top - 3, COLOR_3DHIGHLIGHT);
    } else {
        Line(pDC, rect.left - 3, pControl->GetWrap() ? rectRow.top + 4 : rectRow.top, rect.left - 3,
             rectRow.bottom, COLOR_3DHIGHLIGHT);
    }
    return size;
}

void CXTPPaintThemeNo2::DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL)
{
    pDC->Draw3dRect(rect, m_clrStatusPane, m_clrStatusPane);
}

void CXTPPaintThemeNo2::DrawStatusBarGripper(CDC* pDC, CRect rect)
{
    if (m_themeStatus.GetHandle() != NULL && m_themeStatus.IsAppThemed()) {
        const CRect rectGripper(rect.right - 18, rect.top, rect.right, rect.bottom);
        m_themeStatus.DrawBackground(pDC->GetSafeHdc(), 3, 0, rectGripper, NULL);
        return;
    }
    // Three groups of three diagonal shadow lines, 5 pixels apart, each with a light line beside it.
    for (int nGroup = 0; nGroup < 3; ++nGroup) {
        const int nStart = rect.right - 2 - nGroup * 5;
        for (int nLine = 0; nLine < 3; ++nLine) {
            const int x = nStart - nLine;
            Line(pDC, x - 1, rect.bottom, rect.right + 1, x - rect.right - 1 + rect.bottom, COLOR_3DSHADOW);
        }
        const int x = nStart - 3;
        Line(pDC, x - 1, rect.bottom, rect.right + 1, x - rect.right - 1 + rect.bottom, COLOR_3DHIGHLIGHT);
    }
}

void CXTPPaintThemeNo2::DrawSpecialControl(CDC* pDC, XTPSpecialControl nKind, CXTPControl* pControl,
                                           CXTPCommandBar* pBar, BOOL bDraw)
{
    if (!bDraw)
        return;
    const CRect rect = pControl->GetRect();
    DrawControlState(pDC, pControl);
    const COLORREF clrGlyph = pDC->GetTextColor();
    if (nKind == xtpButtonCloseFloating) {
        m_imlGlyphs.Draw(pDC, 0,
                         CPoint(rect.left + (rect.Width() - 16) / 2, rect.top + (rect.Height() - 16) / 2),
                         ILD_TRANSPARENT);
        return;
    }
    auto* pExpand = DYNAMIC_DOWNCAST(CXTPControlExpandButton, pControl);
    const BOOL bHidden = pExpand != NULL && pExpand->HasHiddenControls();
    CXTPenSelector pen(pDC, clrGlyph);
    const auto chevron = [pDC, clrGlyph](CPoint pt0, CPoint pt1, CPoint pt2) {
        pDC->MoveTo(pt0);
        pDC->LineTo(pt1);
        pDC->LineTo(pt2);
        pDC->SetPixel(pt2, clrGlyph);
    };
    if (pBar == NULL || !IsVerticalPosition(pBar->GetPosition())) {
        const int cx = (rect.left + rect.right) / 2;
        pDC->MoveTo(cx - 2, rect.bottom - 10);
        pDC->LineTo(cx + 3, rect.bottom - 10);
        Triangle(pDC, CPoint(cx - 2, rect.bottom - 7), CPoint(cx + 2, rect.bottom - 7),
                 CPoint(cx, rect.bottom - 5), clrGlyph);
        if (bHidden)
            for (int x : {rect.left + 3, rect.left + 7})
                chevron(CPoint(x, rect.top + 5), CPoint(x + 1, rect.top + 6), CPoint(x, rect.top + 7));
    } else {
        const int cy = (rect.top + rect.bottom) / 2;
        pDC->MoveTo(rect.right - 10, cy - 2);
        pDC->LineTo(rect.right - 10, cy + 3);
        Triangle(pDC, CPoint(rect.right - 7, cy - 2), CPoint(rect.right - 5, cy),
                 CPoint(rect.right - 7, cy + 2), clrGlyph);
        if (bHidden)
            for (int y : {rect.top + 3, rect.top + 7})
                chevron(CPoint(rect.left + 5, y), CPoint(rect.left + 6, y + 1), CPoint(rect.left + 7, y));
    }
}

CRect CXTPPaintThemeNo2::GetCommandBarBorders(CXTPCommandBar* pBar)
{
    if (pBar != NULL && (pBar->GetPosition() == xtpBarTop || pBar->GetPosition() == xtpBarBottom))
        return CRect(4, 2, 2, 2);
    return CXTPPaintManager::GetCommandBarBorders(pBar);
}

CSize CXTPPaintThemeNo2::DrawTearOffGripper(CDC* pDC, CRect rect, BOOL bSelected, BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 9);
    if (bSelected) {
        CXTPPaintManager::DrawTearOffGripper(pDC, rect, TRUE, TRUE);
    } else {
        CRect rectInner(rect);
        rectInner.DeflateRect(1, 1);
        pDC->FillSolidRect(rectInner, m_clrTearOff);
    }
    // The handle runs along the row, so its length comes from the row's width.
    const int nHalf = std::min(32, rect.Width() / 2 - 10);
    const int nCentre = (rect.left + rect.right) / 2;
    const COLORREF clrLight = GetColor(COLOR_3DHIGHLIGHT);
    const COLORREF clrDark = GetColor(38);
    for (int x = nCentre - nHalf + 3; x - 3 < nCentre + nHalf; x += 4) {
        pDC->FillSolidRect(x - 2, rect.top + 5, 2, 2, clrLight);
        pDC->FillSolidRect(x - 3, rect.top + 4, 2, 2, clrDark);
    }
    return CSize(0, 9);
}

CXTPPaintThemeNo4::CXTPPaintThemeNo4()
{
    m_nColorScheme = 0;
    m_bEmbossedSeparators = TRUE;
}

void CXTPPaintThemeNo4::RefreshMetrics()
{
    CXTPPaintThemeNo2::RefreshMetrics();
    m_clrThirdGradient.Set(BlendColors(GetColor(COLOR_WINDOW), GetColor(COLOR_3DFACE), 550),
                           GetColor(COLOR_3DSHADOW));
    const UINT nScheme = GetColorTable()->GetCurrentScheme();
    if (nScheme == xtSchemeBlue || nScheme == xtSchemeOlive) {
        const BOOL bOlive = nScheme == xtSchemeOlive;
        m_clrCommandBar.Set(0xF5F9FA, 0xA8C0C0, 0.75f);
        m_clrThirdGradient.Set(0xEAEDEE, bOlive ? 0x9EACB0 : 0x7E9898, 0.75f);
        m_clrDockBar.Set(0xD7E5E5, 0xE7F1F4, 0.5f);
        m_clrPopupExpanded.Set(0xBAC7CC, 0xBAC7CC, 0.5f);
        m_clrFourthGradient.CopyEffective(m_clrCommandBar);
        m_clrCommandBarEdge.SetStandardValue(0x7CA3A3);
        if (bOlive) {
            m_clrBarGradient.Set(0xD8E9EC, 0x99A8AC, 0.5f);
            SetStandardColors({{31, 0x8DC6B6}, {33, 0x70A093}, {36, 0x8DC6B6}, {47, 0xFFFFFF}});
        } else {
            m_clrBarGradient.Set(0xF9F5F7, 0x99797A, 0.5f);
        }
    } else if (nScheme == xtSchemeSilver) {
        m_clrCommandBar.Set(0xFAF4F3, 0xB59799, 0.75f);
        m_clrThirdGradient.Set(0xC8B2B3, 0x927476, 0.75f);
        m_clrDockBar.Set(0xE5D7D7, 0xF7F3F3, 0.5f);
        m_clrPopupExpanded.Set(0xE2D7D7, 0xA28385, 0.5f);
        m_clrFourthGradient.Set(0xF1E8E8, 0xC5AEB0, 0.5f);
        m_clrCommandBarEdge.SetStandardValue(0x947C7C);
        m_clrBarGradient.Set(0xF9F5F7, 0x99797A, 0.5f);
        m_clrFloatingCaption.SetStandardValue(0x99797A);
        m_clrTearOff.SetStandardValue(0xD3C0C0);
        SetStandardColors({{30, 0xE4DADB}, {35, 0x8D8D8D}, {38, 0x755454}, {39, 0x8F6D6E}, {60, 0x8D8D8D}});
        static const int overrides[] = {31, 32, 33, 36, 37, 47, 50};
        static const COLORREF values[] = {0xC2EEFF, 0x6F4B4B, 0x3E80FE, 0x6FC0FF,
                                          0x6F4B4B, 0x000000, 0x6F4B4B};
        SetColors(7, overrides, values);
    }
    RebuildGlyphs();
}
