#include "button.h"

#include "color_table.h"
#include "draw_helpers.h"
#include "global_metrics.h"
#include "gradient_fill.h"
#include "image_manager.h"
#include "mem_dc.h"

#include <vssym32.h>

#include <algorithm>

namespace {

COLORREF TableColor(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

BOOL IsHorzAlign(DWORD dwStyle, DWORD dwAlign)
{
    return (dwStyle & BS_CENTER) == dwAlign;
}

} // namespace

// ---- default kind ----

CXTButtonTheme::CXTButtonTheme() = default;

void CXTButtonTheme::RefreshMetrics()
{
    m_clrFace.SetStandardValue(TableColor(COLOR_BTNFACE));
    m_clrText.SetStandardValue(TableColor(COLOR_BTNTEXT));
    m_clrDisabledText.SetStandardValue(TableColor(COLOR_GRAYTEXT));
    m_clrLight.SetStandardValue(TableColor(COLOR_BTNFACE));
    m_clrShadow.SetStandardValue(TableColor(COLOR_BTNSHADOW));
    m_clrHighlight.SetStandardValue(TableColor(COLOR_BTNHIGHLIGHT));
    m_clrDarkShadow.SetStandardValue(TableColor(COLOR_3DDKSHADOW));
}

BOOL CXTButtonTheme::IsHotTrackingEnabled(CXTButton* pButton)
{
    return UseWinXPThemes(pButton) || (pButton->GetXButtonStyle() & (BS_XT_FLAT | BS_XT_SEMIFLAT)) != 0;
}

BOOL CXTButtonTheme::UseWinXPThemes(CXTButton* pButton)
{
    if (pButton == NULL || (pButton->GetXButtonStyle() & BS_XT_WINXP_COMPAT) == 0)
        return FALSE;
    if (m_themeButton.GetHandle() == NULL && ::IsWindow(pButton->GetSafeHwnd()))
        m_themeButton.Open(pButton->GetSafeHwnd(), L"BUTTON");
    return m_themeButton.IsThemingActive() && m_themeButton.GetHandle() != NULL;
}

CFont* CXTButtonTheme::GetThemeFont(CXTButton* pButton) const
{
    if (m_pFont != NULL && m_pFont->GetSafeHandle() != NULL)
        return m_pFont;
    if (pButton == NULL || !::IsWindow(pButton->GetSafeHwnd()))
        return NULL;
    return pButton->GetFont();
}

void CXTButtonTheme::SetThemeFont(CFont* pFont)
{
    if (pFont != NULL && pFont->GetSafeHandle() != NULL)
        m_pFont = pFont;
}

void CXTButtonTheme::SetColors(COLORREF clrFace, COLORREF clrHilite, COLORREF clrShadow, COLORREF clrText)
{
    SetColorFace(clrFace);
    SetColorText(clrText);
    SetColorHilite(clrHilite);
    SetColorShadow(clrShadow);
}

CPoint CXTButtonTheme::CalcImagePosition(int nWidth, int nHeight, CXTButton* pButton)
{
    CRect rectClient;
    pButton->GetClientRect(&rectClient);
    CPoint point;
    if (pButton->GetXButtonStyle() & BS_XT_TWOROWS)
        point.x = std::max(0, (rectClient.Width() - nWidth) / 2);
    else
        point.x = pButton->m_nBorderGap;
    point.y = std::max(0, (rectClient.Height() - nHeight) / 2);
    return point;
}

CPoint CXTButtonTheme::CalcTextPosition(UINT, const CRect& rect, CSize sizeText, CXTButton* pButton)
{
    if (pButton->UserPositions())
        return pButton->GetTextPoint();
    const BOOL bTwoRows = (pButton->GetXButtonStyle() & BS_XT_TWOROWS) != 0;
    const CSize sizeImage = pButton->GetImageSize();
    const int nGap = pButton->m_nBorderGap;
    CPoint point = CalcImagePosition(sizeText.cx, sizeText.cy, pButton);
    if (bTwoRows)
        point.y += pButton->m_nImageGap / 2 + sizeImage.cy / 2;
    const DWORD dwStyle = pButton->GetStyle();
    if (IsHorzAlign(dwStyle, BS_LEFT)) {
        point.x = nGap + (bTwoRows ? 0 : sizeImage.cx + pButton->m_nImageGap);
    } else if (IsHorzAlign(dwStyle, BS_RIGHT)) {
        point.x = rect.right - nGap - sizeText.cx;
    } else {
        const int nStart = nGap + (bTwoRows ? 0 : sizeImage.cx);
        const int nEnd = rect.right - nGap - sizeText.cx;
        point.x = nStart + (nEnd - nStart) / 2;
    }
    return point;
}

COLORREF CXTButtonTheme::GetTextColor(UINT nState, CXTButton*)
{
    return (nState & ODS_DISABLED) ? static_cast<COLORREF>(m_clrDisabledText)
                                   : static_cast<COLORREF>(m_clrText);
}

CSize CXTButtonTheme::MeasureText(CDC* pDC, CXTButton* pButton)
{
    CString strText;
    pButton->GetWindowText(strText);
    if (strText.IsEmpty())
        return CSize(0, 0);
    CFont* pFont = GetThemeFont(pButton);
    HGDIOBJ hOldFont = pFont != NULL ? ::SelectObject(pDC->m_hDC, pFont->GetSafeHandle()) : NULL;
    const CString strMeasured = StripMnemonicsKeepDouble(strText);
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(pDC->m_hDC, strMeasured, strMeasured.GetLength(), &size);
    if (hOldFont != NULL)
        ::SelectObject(pDC->m_hDC, hOldFont);
    return CSize(size);
}

void CXTButtonTheme::DrawButtonText(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton)
{
    CString strText;
    pButton->GetWindowText(strText);
    if (strText.IsEmpty())
        return;
    const CSize sizeText = MeasureText(pDC, pButton);
    CPoint point = CalcTextPosition(nState, rect, sizeText, pButton);
    if (IsPressed(nState) && m_bOffsetHiliteText)
        point.Offset(1, 1);
    CFont* pFont = GetThemeFont(pButton);
    HGDIOBJ hOldFont = pFont != NULL ? ::SelectObject(pDC->m_hDC, pFont->GetSafeHandle()) : NULL;
    const COLORREF clrOldText = pDC->SetTextColor(GetTextColor(nState, pButton));
    const UINT nOldAlign = pDC->SetTextAlign(0);
    // Prefix text: an ampersand underlines the next letter and "&&" shows one ampersand.
    ::DrawStateW(pDC->m_hDC, NULL, NULL, reinterpret_cast<LPARAM>(strText.GetString()), strText.GetLength(),
                 point.x, point.y, sizeText.cx, sizeText.cy, DST_PREFIXTEXT);
    pDC->SetTextAlign(nOldAlign);
    pDC->SetTextColor(clrOldText);
    if (hOldFont != NULL)
        ::SelectObject(pDC->m_hDC, hOldFont);
}

CXTPImageManagerIcon* CXTButtonTheme::GetDrawableIcon(CXTButton* pButton) const
{
    return pButton != NULL && GetShowImage() ? pButton->GetIcon() : NULL;
}

CPoint CXTButtonTheme::CalcIconPosition(CDC* pDC, UINT, const CRect& rect, BOOL, CXTButton* pButton)
{
    if (pButton->UserPositions())
        return pButton->GetImagePoint();
    const CSize sizeImage = pButton->GetImageSize();
    CPoint point = CalcImagePosition(sizeImage.cx, sizeImage.cy, pButton);
    point.x = pButton->m_nBorderGap;
    const CSize sizeText = MeasureText(pDC, pButton);
    const BOOL bHasText = sizeText.cx > 0 || pButton->GetWindowTextLength() > 0;
    const DWORD dwStyle = pButton->GetStyle();
    if (pButton->GetXButtonStyle() & BS_XT_TWOROWS) {
        if (bHasText)
            point.y -= pButton->m_nImageGap / 2 + sizeText.cy / 2;
        if (IsHorzAlign(dwStyle, BS_LEFT)) {
            point.x = pButton->m_nBorderGap;
        } else if (IsHorzAlign(dwStyle, BS_RIGHT)) {
            point.x = rect.right - pButton->m_nBorderGap - sizeImage.cx;
        } else {
            const int nHalf = (rect.Width() - sizeImage.cx) / 2;
            point.x = nHalf < 0 ? rect.left : rect.left + nHalf;
        }
    } else if (!bHasText) {
        if ((dwStyle & BS_CENTER) == BS_CENTER && rect.Width() >= sizeImage.cx)
            point.x = (rect.Width() - sizeImage.cx) / 2;
        if ((dwStyle & BS_VCENTER) == BS_VCENTER && rect.Height() >= sizeImage.cy)
            point.y = (rect.Height() - sizeImage.cy) / 2;
    }
    return point;
}

void CXTButtonTheme::DrawButtonIcon(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton)
{
    CXTPImageManagerIcon* pIcon = GetDrawableIcon(pButton);
    if (pIcon == NULL)
        return;
    CPoint point = CalcIconPosition(pDC, nState, rect, !pIcon->GetHotImage().IsEmpty(), pButton);
    if (IsPressed(nState))
        point.Offset(1, 1);
    const CSize size = pButton->GetImageSize();
    if (nState & ODS_DISABLED)
        pIcon->Draw(pDC, point, pIcon->GetDisabledImage(), size);
    else if (pButton->IsHot() || IsPressed(nState))
        pIcon->Draw(pDC, point, pIcon->GetHotImage(), size);
    else
        pIcon->Draw(pDC, point, pIcon->GetImage(), size);
}

void CXTButtonTheme::DrawButton(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    if (!DrawWinXPBackground(lpDIS, pButton))
        DrawButtonBackground(lpDIS, pButton);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const CRect rect(lpDIS->rcItem);
    DrawButtonText(pDC, lpDIS->itemState, rect, pButton);
    DrawButtonIcon(pDC, lpDIS->itemState, rect, pButton);
    if ((pButton->GetXButtonStyle() & BS_XT_SHOWFOCUS) && (lpDIS->itemState & ODS_FOCUS))
        DrawFocusRect(pDC, lpDIS->itemState, rect, pButton);
    pDC->SetBkMode(nOldMode);
}

BOOL CXTButtonTheme::DrawWinXPBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    if (!UseWinXPThemes(pButton))
        return FALSE;
    const UINT nState = lpDIS->itemState;
    int nStateId = PBS_NORMAL;
    if (nState & ODS_DISABLED)
        nStateId = PBS_DISABLED;
    else if (IsPressed(nState))
        nStateId = PBS_PRESSED;
    else if (pButton->IsHot())
        nStateId = PBS_HOT;
    else if (nState & ODS_FOCUS)
        nStateId = PBS_DEFAULTED;
    return SUCCEEDED(m_themeButton.DrawBackground(lpDIS->hDC, BP_PUSHBUTTON, nStateId, &lpDIS->rcItem, NULL));
}

BOOL CXTButtonTheme::DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rect(lpDIS->rcItem);
    const BOOL bPressed = IsPressed(lpDIS->itemState);
    const DWORD dwStyle = pButton->GetXButtonStyle();
    pDC->FillSolidRect(rect, m_clrFace);
    if ((dwStyle & BS_XT_HILITEPRESSED) && bPressed)
        DrawDitheredRect(pDC, rect);
    if (dwStyle & BS_XT_FLAT) {
        if (bPressed)
            pDC->Draw3dRect(rect, m_clrShadow, m_clrHighlight);
        else if (pButton->IsHot())
            pDC->Draw3dRect(rect, m_clrHighlight, m_clrShadow);
    } else if (dwStyle & BS_XT_SEMIFLAT) {
        if (bPressed)
            pDC->Draw3dRect(rect, m_clrShadow, m_clrHighlight);
        else
            pDC->Draw3dRect(rect, m_clrHighlight, m_clrShadow);
    } else if (bPressed) {
        pDC->Draw3dRect(rect, m_clrDarkShadow, m_clrHighlight);
        rect.DeflateRect(1, 1);
        pDC->Draw3dRect(rect, m_clrShadow, m_clrLight);
    } else {
        pDC->Draw3dRect(rect, m_clrHighlight, m_clrDarkShadow);
        rect.DeflateRect(1, 1);
        pDC->Draw3dRect(rect, m_clrLight, m_clrShadow);
    }
    return TRUE;
}

void CXTButtonTheme::DrawFocusRect(CDC* pDC, UINT, const CRect& rect, CXTButton* pButton)
{
    const COLORREF clrOld = pDC->SetTextColor(m_clrText);
    CRect rectFocus(rect);
    const int nInset = UseWinXPThemes(pButton) ? 4 : 2;
    rectFocus.DeflateRect(nInset, nInset);
    pDC->DrawFocusRect(rectFocus);
    pDC->SetTextColor(clrOld);
}

// ---- flat highlight kind ----

CXTButtonThemeOfficeXP::CXTButtonThemeOfficeXP(BOOL bFramed) : m_bFramed(bFramed)
{
    m_bOffsetHiliteText = FALSE;
}

void CXTButtonThemeOfficeXP::RefreshMetrics()
{
    CXTButtonTheme::RefreshMetrics();
    m_clrFace.SetStandardValue(TableColor(m_bFramed ? 30 : COLOR_BTNFACE));
    m_clrPushedFace.SetStandardValue(TableColor(33));
    m_clrHotFace.SetStandardValue(TableColor(31));
    m_clrShadow.SetStandardValue(TableColor(COLOR_BTNSHADOW));
    m_clrLight.SetStandardValue(TableColor(32));
    m_clrText.SetStandardValue(TableColor(46));
    m_clrHotText.SetStandardValue(TableColor(45));
    m_clrPushedText.SetStandardValue(TableColor(47));
}

COLORREF CXTButtonThemeOfficeXP::GetTextColor(UINT nState, CXTButton* pButton)
{
    if (nState & ODS_DISABLED)
        return TableColor(COLOR_GRAYTEXT);
    if (pButton->IsHot())
        return m_clrHotText;
    if (IsPressed(nState))
        return m_clrPushedText;
    return m_clrText;
}

void CXTButtonThemeOfficeXP::DrawButtonIcon(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton)
{
    CXTPImageManagerIcon* pIcon = GetDrawableIcon(pButton);
    if (pIcon == NULL)
        return;
    const CPoint point = CalcIconPosition(pDC, nState, rect, !pIcon->GetHotImage().IsEmpty(), pButton);
    const CSize size = pButton->GetImageSize();
    if (nState & ODS_DISABLED) {
        pIcon->Draw(pDC, point, pIcon->GetDisabledImage(), size);
    } else if (pButton->IsHot()) {
        if (m_bShadowedHotImage) {
            pIcon->Draw(pDC, point + CPoint(1, 1), pIcon->GetShadowImage(), size);
            pIcon->Draw(pDC, point - CPoint(1, 1), pIcon->GetHotImage(), size);
        } else {
            pIcon->Draw(pDC, point, pIcon->GetHotImage(), size);
        }
    } else if (IsPressed(nState)) {
        pIcon->Draw(pDC, point, pIcon->GetHotImage(), size);
    } else {
        pIcon->Draw(pDC, point, m_bFadedImage ? pIcon->GetFadedImage() : pIcon->GetImage(), size);
    }
}

BOOL CXTButtonThemeOfficeXP::DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rect(lpDIS->rcItem);
    const BOOL bPressed = IsPressed(lpDIS->itemState);
    if (!pButton->IsHot() && !bPressed) {
        pDC->FillSolidRect(rect, m_clrFace);
        if (m_bFramed)
            pDC->Draw3dRect(rect, m_clrShadow, m_clrShadow);
        return TRUE;
    }
    pDC->FillSolidRect(rect, bPressed ? m_clrPushedFace : m_clrHotFace);
    pDC->Draw3dRect(rect, m_clrLight, m_clrLight);
    return TRUE;
}

void CXTButtonThemeOfficeXP::DrawFocusRect(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton)
{
    if (m_bFramed && !pButton->IsHot() && !IsPressed(nState) &&
        (pButton->GetXButtonStyle() & BS_XT_WINXP_COMPAT) == 0) {
        const COLORREF clr = TableColor(COLOR_HIGHLIGHT);
        CRect rectFrame(rect);
        pDC->Draw3dRect(rectFrame, clr, clr);
        rectFrame.DeflateRect(1, 1);
        pDC->Draw3dRect(rectFrame, clr, clr);
        return;
    }
    CXTButtonTheme::DrawFocusRect(pDC, nState, rect, pButton);
}

void CXTButtonThemeOfficeXP::SetFramed(BOOL bFramed)
{
    m_bFramed = bFramed;
    RefreshMetrics();
}

// ---- colour-scheme kind ----

CXTButtonThemeOffice2003::CXTButtonThemeOffice2003(BOOL bFramed) : CXTButtonThemeOfficeXP(bFramed)
{
    m_bOffsetHiliteText = FALSE;
    m_bFadedImage = FALSE;
    m_bShadowedHotImage = FALSE;
}

void CXTButtonThemeOffice2003::RefreshMetrics()
{
    CXTButtonThemeOfficeXP::RefreshMetrics();
    m_clrFace.SetStandardValue(TableColor(COLOR_BTNFACE));
    struct SchemeColors
    {
        COLORREF clrFace;
        COLORREF clrShadow;
        COLORREF clrBorder;
    };
    // Blue, olive and silver. The silver border is the button's own, not the colour table's.
    static const SchemeColors schemes[3] = {
        {0xF0C7A9, 0xB99D7F, 0x800000}, {0x9FD4C5, 0x7FB9A4, 0x385D3F}, {0xD3C0C0, 0xB2ACA5, 0x0B4B4B}};
    const UINT nScheme = GetCurrentColorScheme();
    if (nScheme >= xtSchemeBlue && nScheme <= xtSchemeSilver) {
        const SchemeColors& colors = schemes[nScheme - xtSchemeBlue];
        m_clrHotFace.SetStandardValue(0xC2EEFF);
        m_clrPushedFace.SetStandardValue(0x3E80FE);
        m_clrText.SetStandardValue(0);
        m_clrHotText.SetStandardValue(0);
        m_clrPushedText.SetStandardValue(0);
        m_clrFace.SetStandardValue(colors.clrFace);
        m_clrShadow.SetStandardValue(colors.clrShadow);
        m_clrLight.SetStandardValue(colors.clrBorder);
        if (!m_bFramed)
            m_clrFace.SetStandardValue(TableColor(COLOR_BTNFACE));
    }
}

void CXTButtonThemeOffice2003::DrawButtonIcon(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton)
{
    CXTPImageManagerIcon* pIcon = GetDrawableIcon(pButton);
    if (pIcon == NULL)
        return;
    const CPoint point = CalcIconPosition(pDC, nState, rect, !pIcon->GetHotImage().IsEmpty(), pButton);
    const CSize size = pButton->GetImageSize();
    if (nState & ODS_DISABLED)
        pIcon->Draw(pDC, point, pIcon->GetDisabledImage(), size);
    else if (IsPressed(nState))
        pIcon->Draw(pDC, point, pIcon->GetHotImage(), size);
    else
        pIcon->Draw(pDC, point, pIcon->GetImage(), size);
}

BOOL CXTButtonThemeOffice2003::DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    const BOOL bPressed = IsPressed(lpDIS->itemState);
    if (!pButton->IsHot() && !bPressed)
        return CXTButtonThemeOfficeXP::DrawButtonBackground(lpDIS, pButton);
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rect(lpDIS->rcItem);
    CXTGdiHelper::FillGradientPair(pDC, rect, GetColorTable()->GetGradientPair(bPressed ? 8 : 9), FALSE);
    pDC->Draw3dRect(rect, m_clrLight, m_clrLight);
    return TRUE;
}

XT_IMPLEMENT_THEME_FACTORY(CXTButtonThemeFactory, CXTButtonTheme, CXTButtonThemeOfficeXP,
                           CXTButtonThemeOffice2003)

void AFXAPI XTRefreshThemeOnSettingChange(CXTThemeHost* pHost, UINT message)
{
    if (message != WM_SETTINGCHANGE && message != WM_SYSCOLORCHANGE)
        return;
    if (CXTThemeObject* pTheme = pHost->GetSafeTheme())
        pTheme->RefreshMetrics();
}

// ---- the button ----

IMPLEMENT_DYNAMIC(CXTButton, CButton)

BEGIN_MESSAGE_MAP(CXTButton, CButton)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_TIMER()
ON_WM_CREATE()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

CXTButton::CXTButton(CRuntimeClass* pFactoryClass)
    : CXTThemeHost(pFactoryClass != NULL ? pFactoryClass : RUNTIME_CLASS(CXTButtonThemeFactory))
{}

CXTButton::~CXTButton()
{
    CleanUpGDI();
}

void CXTButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->DrawButton(lpDIS, this);
}

BOOL CXTButton::SetIcon(CSize size, HICON hIcon, HICON hIconHot, BOOL bRedraw)
{
    if (hIcon == NULL)
        return FALSE;
    if (size.cx == 0 || size.cy == 0) {
        ICONINFO info = {};
        if (::GetIconInfo(hIcon, &info)) {
            BITMAP bm = {};
            if (info.hbmColor != NULL && ::GetObject(info.hbmColor, sizeof(bm), &bm))
                size = CSize(bm.bmWidth, bm.bmHeight);
            else if (info.hbmMask != NULL && ::GetObject(info.hbmMask, sizeof(bm), &bm))
                size = CSize(bm.bmWidth, bm.bmHeight / 2);
            if (info.hbmColor != NULL)
                ::DeleteObject(info.hbmColor);
            if (info.hbmMask != NULL)
                ::DeleteObject(info.hbmMask);
        }
    }
    auto* pIcon = new CXTPImageManagerIcon(0, size.cx, size.cy);
    CXTPImageHandle hNormal;
    hNormal.SetIcon(::CopyIcon(hIcon));
    pIcon->SetImage(hNormal);
    if (hIconHot != NULL) {
        CXTPImageHandle hHot;
        hHot.SetIcon(::CopyIcon(hIconHot));
        pIcon->SetHotImage(hHot);
    }
    CleanUpGDI();
    m_pIcon = pIcon;
    m_sizeImage = size;
    if (bRedraw && ::IsWindow(m_hWnd))
        Invalidate();
    return TRUE;
}

BOOL CXTButton::SetIcon(CSize size, UINT nID, UINT nHotID, BOOL bRedraw)
{
    const auto load = [size](UINT nIconID) -> HICON {
        if (nIconID == 0)
            return NULL;
        const LPCTSTR lpszName = MAKEINTRESOURCE(nIconID);
        return static_cast<HICON>(::LoadImageW(AfxFindResourceHandle(lpszName, RT_GROUP_ICON), lpszName,
                                               IMAGE_ICON, size.cx, size.cy, 0));
    };
    HICON hIcon = load(nID);
    if (hIcon == NULL)
        return FALSE;
    HICON hIconHot = load(nHotID);
    const BOOL bResult = SetIcon(size, hIcon, hIconHot, bRedraw);
    ::DestroyIcon(hIcon);
    if (hIconHot != NULL)
        ::DestroyIcon(hIconHot);
    return bResult;
}

BOOL CXTButton::SetIcon(CSize size, WORD nID, WORD nHotID, BOOL bRedraw)
{
    return SetIcon(size, static_cast<UINT>(nID), static_cast<UINT>(nHotID), bRedraw);
}

BOOL CXTButton::SetIcon(CSize size, CXTPImageManagerIcon* pIcon, BOOL bRedraw)
{
    if (pIcon == NULL || pIcon->GetImage().GetIcon() == NULL)
        return FALSE;
    HICON hHot = pIcon->GetHotImage().GetIcon();
    return SetIcon(size, pIcon->GetImage().GetIcon(), hHot != pIcon->GetImage().GetIcon() ? hHot : NULL,
                   bRedraw);
}

BOOL CXTButton::SetBitmap(CSize size, UINT nID, BOOL bRedraw)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nID))
        return FALSE;
    HICON hIcon = CreateIconFromBitmap(static_cast<HBITMAP>(bitmap.GetSafeHandle()));
    if (hIcon == NULL)
        return FALSE;
    const BOOL bResult = SetIcon(size, hIcon, NULL, bRedraw);
    ::DestroyIcon(hIcon);
    return bResult;
}

BOOL CXTButton::SetTextAndImagePos(CPoint ptImage, CPoint ptText, BOOL bRedraw)
{
    m_ptImage = ptImage;
    m_ptText = ptText;
    m_bUserPosition = TRUE;
    if (bRedraw && ::IsWindow(m_hWnd))
        Invalidate();
    return TRUE;
}

DWORD CXTButton::SetXButtonStyle(DWORD dwStyle, BOOL bRedraw)
{
    const DWORD dwOldStyle = m_dwXButtonStyle;
    m_dwXButtonStyle = dwStyle;
    if (dwStyle & BS_XT_XPFLAT)
        SetTheme(GetFactory()->CreateTheme(1));
    else if (dwStyle & BS_XT_FLAT)
        SetTheme(GetFactory()->CreateTheme(0));
    else
        SetTheme(NULL);
    if (bRedraw && ::IsWindow(m_hWnd))
        Invalidate();
    return dwOldStyle;
}

void CXTButton::SetColors(COLORREF clrFace, COLORREF clrHilite, COLORREF clrShadow, COLORREF clrText)
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->SetColors(clrFace, clrHilite, clrShadow, clrText);
}

void CXTButton::SetColorFace(COLORREF clr)
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->SetColorFace(clr);
}

COLORREF CXTButton::GetColorFace() const
{
    if (CXTButtonTheme* pTheme = GetTheme())
        return pTheme->GetColorFace();
    return GetGlobalMetrics()->m_arrColors[0];
}

void CXTButton::SetColorHilite(COLORREF clr)
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->SetColorHilite(clr);
}

void CXTButton::SetColorShadow(COLORREF clr)
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->SetColorShadow(clr);
}

void CXTButton::SetColorText(COLORREF clr)
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->SetColorText(clr);
}

void CXTButton::SetColors(COLORREF clrBorder, COLORREF clrHot, COLORREF clrPushed)
{
    CXTButtonTheme* pTheme = GetTheme();
    if (pTheme == NULL || pTheme->GetThemeNumber() != 1)
        return;
    auto* pFlat = dynamic_cast<CXTButtonThemeOfficeXP*>(pTheme);
    if (pFlat == NULL)
        return;
    pFlat->SetColorHilite(clrBorder);
    pFlat->SetColorShadow(clrBorder);
    pFlat->SetColorHot(clrHot);
    pFlat->SetColorPushed(clrPushed);
}

void CXTButton::ToggleShowImage()
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->SetShowImage(!pTheme->GetShowImage());
    if (::IsWindow(m_hWnd))
        Invalidate();
}

CFont* CXTButton::SetFontEx(CFont* pFont)
{
    CFont* pOldFont = GetFont();
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont != NULL ? pFont->GetSafeHandle() : NULL), TRUE);
    return pOldFont;
}

BOOL CXTButton::InitButton()
{
    if (!::IsWindow(m_hWnd))
        return FALSE;
    // The type bits are replaced, not or-ed: a radio or group-box type would not become owner-drawn.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    return TRUE;
}

void CXTButton::CleanUpGDI()
{
    if (m_pIcon != NULL) {
        m_pIcon->InternalRelease();
        m_pIcon = NULL;
    }
}

CString CXTButton::GetButtonText(BOOL bRemoveAmpersands) const
{
    CString strText;
    GetWindowText(strText);
    return bRemoveAmpersands ? StripMnemonics(strText) : strText;
}

CSize CXTButton::GetImageSize() const
{
    CXTButtonTheme* pTheme = GetTheme();
    return pTheme != NULL && pTheme->GetShowImage() ? m_sizeImage : CSize(0, 0);
}

CPoint CXTButton::GetImagePoint() const
{
    CXTButtonTheme* pTheme = GetTheme();
    return pTheme != NULL && pTheme->GetShowImage() ? m_ptImage : CPoint(0, 0);
}

CPoint CXTButton::GetTextPoint() const
{
    CXTButtonTheme* pTheme = GetTheme();
    return pTheme != NULL && pTheme->GetShowImage() ? m_ptText : CPoint(0, 0);
}

BOOL CXTButton::PreCreateWindow(CREATESTRUCT& cs)
{
    m_bFromResource = FALSE;
    return CButton::PreCreateWindow(cs);
}

void CXTButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    if (m_bFromResource)
        InitButton();
}

LRESULT CXTButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    XTRefreshThemeOnSettingChange(this, message);
    return CButton::WindowProc(message, wParam, lParam);
}

void CXTButton::OnMouseMove(UINT, CPoint)
{
    CXTButtonTheme* pTheme = GetTheme();
    if (pTheme != NULL && pTheme->IsHotTrackingEnabled(this)) {
        SetTimer(1, 10, NULL);
        OnTimer(1);
    }
    Default();
}

void CXTButton::OnLButtonDown(UINT, CPoint)
{
    if (!m_bPushed) {
        m_bPushed = TRUE;
        Invalidate();
    }
    Default();
}

void CXTButton::OnLButtonUp(UINT, CPoint)
{
    if (m_bPushed) {
        m_bPushed = FALSE;
        Invalidate();
    }
    Default();
}

void CXTButton::OnLButtonDblClk(UINT nFlags, CPoint)
{
    // The system answers a double click on an owner-drawn button with a notification only.
    const CXTClientCursorPos point(this);
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
    Default();
}

void CXTButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != 1) {
        CButton::OnTimer(nIDEvent);
        return;
    }
    CPoint point;
    ::GetCursorPos(&point);
    if (!m_bPushed && CXTWndWindowRect(this).PtInRect(point)) {
        CXTButtonTheme* pTheme = GetTheme();
        if (pTheme != NULL && pTheme->IsHotTrackingEnabled(this) && !m_bHotShown) {
            m_bHot = TRUE;
            Invalidate();
            m_bHotShown = TRUE;
        }
        return;
    }
    KillTimer(1);
    m_bHot = FALSE;
    if (m_bHotShown) {
        m_bHotShown = FALSE;
        Invalidate();
    }
}

int CXTButton::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CButton::OnCreate(lpCreateStruct) == -1)
        return -1;
    InitButton();
    return 0;
}

BOOL CXTButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTButton::OnPaint()
{
    CPaintDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    CXTMemDC memDC(&dc, rectClient, CXTColorPair(GetColorTable()->GetColor(COLOR_BTNFACE)));
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.m_hDC), 0);
}
