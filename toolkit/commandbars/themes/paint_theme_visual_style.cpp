#include "command_bars.h"

#include "draw_helpers.h"
#include "status_bar.h"

#include <algorithm>

namespace {
// Parts and states the visual-style classes publish.
enum
{
    kToolbarButton = 1,
    kToolbarSplitButton = 3,
    kToolbarSplitButtonDropDown = 4,
    kRebarGripper = 1,
    kRebarGripperVert = 2,
    kRebarBand = 3,
    kStatusPane = 1,
    kStatusGripperPane = 2,
    kStatusGripper = 3,
    kComboDropDownButton = 1,
    kStateNormal = 1,
    kStateHot = 2,
    kStatePressed = 3,
    kStateDisabled = 4,
    kStateChecked = 5,
    kStateHotChecked = 6,
};

// Colour properties read from the classes.
const int kPropBorderColor = 3801;
const int kPropTextColor = 3803;
const int kPropEdgeShadowColor = 3806;
const int kPropFillColorHint = 3821;

const UINT kGetFlatMenu = 0x1022;
} // namespace

CXTPPaintThemeVisualStyle::CXTPPaintThemeVisualStyle()
{
    m_bUseFadedIcons = TRUE;
    m_bIconsWithShadow = FALSE;
    m_nPopupBarText = COLOR_MENUTEXT;
}

CXTPPaintThemeVisualStyle::~CXTPPaintThemeVisualStyle()
{
    m_themeStatusBar.Close();
    m_themeComboBox.Close();
    m_themeToolbar.Close();
    m_themeRebar.Close();
}

BOOL AFXAPI CXTPPaintThemeVisualStyle::IsThemed(CXTThemeHandle& theme)
{
    return theme.GetHandle() != NULL && theme.IsAppThemed();
}

void CXTPPaintThemeVisualStyle::RefreshMetrics()
{
    CXTPPaintManagerCore::RefreshMetrics();
    XTPOpenThemeOnMainWindow(m_themeToolbar, L"TOOLBAR");
    XTPOpenThemeOnMainWindow(m_themeRebar, L"REBAR");
    XTPOpenThemeOnMainWindow(m_themeComboBox, L"COMBOBOX");
    XTPOpenThemeOnMainWindow(m_themeStatusBar, L"STATUS");

    BOOL bFlatMenus = TRUE;
    m_bFlatMenus = ::SystemParametersInfoW(kGetFlatMenu, 0, &bFlatMenus, 0) ? bFlatMenus : FALSE;

    COLORREF clr = 0;
    m_clrEdgeShadow =
        IsThemed(m_themeRebar) && SUCCEEDED(m_themeRebar.GetColor(kRebarBand, 0, kPropEdgeShadowColor, &clr))
            ? clr
            : GetColor(COLOR_3DSHADOW);
    if (IsThemed(m_themeToolbar) && SUCCEEDED(m_themeToolbar.GetColor(0, 0, kPropTextColor, &clr)))
        m_colors[COLOR_BTNTEXT].SetStandardValue(clr);
    if (IsThemed(m_themeRebar) && SUCCEEDED(m_themeRebar.GetColor(0, 0, kPropFillColorHint, &clr)))
        m_colors[COLOR_3DFACE].SetStandardValue(clr);
    if (IsThemed(m_themeStatusBar) &&
        SUCCEEDED(m_themeStatusBar.GetColor(kStatusPane, 0, kPropTextColor, &clr)))
        m_clrText = clr;
}

void CXTPPaintThemeVisualStyle::DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pIcon,
                                          BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                                          BOOL bPopuped, BOOL bToolBarImage)
{
    // Faded icons belong to the themed look; the classic fallback shows them as the classic theme does.
    const BOOL bFaded = m_bUseFadedIcons;
    if (!IsThemed(m_themeToolbar))
        m_bUseFadedIcons = FALSE;
    CXTPPaintThemeDefault::DrawImage(pDC, pt, sz, pIcon, bSelected, bPressed, bEnabled, bChecked, bPopuped,
                                     bToolBarImage);
    m_bUseFadedIcons = bFaded;
}

void CXTPPaintThemeVisualStyle::DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed,
                                              BOOL bEnabled, BOOL bChecked, BOOL bPopuped, int nBarType,
                                              int nBarPosition)
{
    if (!IsThemed(m_themeToolbar)) {
        CXTPPaintThemeDefault::DrawRectangle(pDC, rect, nSelected, nPressed, bEnabled, bChecked, bPopuped,
                                             nBarType, nBarPosition);
        return;
    }
    int nState;
    if (!bEnabled)
        nState = bChecked ? kStatePressed : kStateDisabled;
    else if (bPopuped)
        nState = kStatePressed;
    else if (bChecked && !nPressed)
        nState = nSelected ? kStateHotChecked : kStateChecked;
    else if ((nSelected && nPressed) || nPressed == 2)
        nState = kStatePressed;
    else if (nSelected)
        nState = kStateHot;
    else
        nState = kStateNormal;
    m_themeToolbar.DrawBackground(pDC->GetSafeHdc(), kToolbarButton, nState, rect, NULL);
}

void CXTPPaintThemeVisualStyle::DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rect)
{
    if (!IsThemed(m_themeToolbar)) {
        CXTPPaintThemeDefault::DrawSplitButtonFrame(pDC, pControl, rect);
        return;
    }
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    const BOOL bOpen = pPopup != NULL && pPopup->GetPopuped();
    const BOOL bEnabled = pControl->GetEnabled();
    int nState = kStateNormal;
    if (!bEnabled)
        nState = kStateDisabled;
    else if (pControl->GetSelected() && pControl->GetPressed())
        nState = kStatePressed;
    else if (pControl->GetChecked())
        nState = kStateChecked;
    else if (bOpen || pControl->GetSelected())
        nState = kStateHot;
    const HDC hDC = pDC->GetSafeHdc();
    const CRect rectButton(rect.left, rect.top, rect.right - 12, rect.bottom);
    const CRect rectDropDown(rect.right - 12, rect.top, rect.right, rect.bottom);
    m_themeToolbar.DrawBackground(hDC, kToolbarSplitButton, nState, rectButton, NULL);
    m_themeToolbar.DrawBackground(hDC, kToolbarSplitButtonDropDown, bOpen ? kStatePressed : nState,
                                  rectDropDown, NULL);
    pDC->SetTextColor(GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    pDC->SetBkMode(TRANSPARENT);
}

void CXTPPaintThemeVisualStyle::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    if (!IsThemed(m_themeRebar)) {
        CXTPPaintThemeDefault::FillCommandBar(pDC, pBar);
        return;
    }
    CRect rect = CXTWndClientRect(pBar);
    const int nPosition = pBar->GetPosition();
    if (nPosition == xtpBarPopup && m_bFlatMenus) {
        DrawRect(pDC, rect, COLOR_3DSHADOW, COLOR_MENU);
        return;
    }
    if (nPosition == xtpBarPopup || nPosition == xtpBarFloating) {
        pDC->FillSolidRect(rect, GetColor(nPosition == xtpBarPopup ? COLOR_MENU : COLOR_3DFACE));
        Draw3dRect(pDC, rect, COLOR_3DFACE, COLOR_3DDKSHADOW);
        rect.DeflateRect(1, 1);
        Draw3dRect(pDC, rect, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
        return;
    }
    CWnd* pParent = pBar->GetParent();
    if (nPosition == xtpBarTop && pParent != NULL) {
        // The part of the dock's background that lies behind the bar.
        CRect rectParent;
        pParent->GetWindowRect(&rectParent);
        pBar->ScreenToClient(&rectParent);
        m_themeRebar.DrawBackground(pDC->GetSafeHdc(), 0, 0, rectParent, rect);
    } else {
        pDC->FillSolidRect(rect, GetColor(COLOR_3DFACE));
    }
    pDC->Draw3dRect(rect, GetColor(COLOR_3DHIGHLIGHT), m_clrEdgeShadow);
}

void CXTPPaintThemeVisualStyle::FillDockBar(CDC* pDC, CXTPDockBar* pBar)
{
    if (!IsThemed(m_themeRebar)) {
        CXTPPaintThemeDefault::FillDockBar(pDC, pBar);
        return;
    }
    const CRect rect = CXTWndClientRect(pBar);
    if (pBar->GetPosition() == xtpBarTop)
        m_themeRebar.DrawBackground(pDC->GetSafeHdc(), 0, 0, rect, NULL);
    else
        pDC->FillSolidRect(rect, GetColor(COLOR_3DFACE));
}

void CXTPPaintThemeVisualStyle::FillStatusBar(CDC* pDC, CXTPStatusBar* pStatusBar)
{
    if (!IsThemed(m_themeStatusBar)) {
        CXTPPaintThemeDefault::FillStatusBar(pDC, pStatusBar);
        return;
    }
    m_themeStatusBar.DrawBackground(pDC->GetSafeHdc(), 0, 0, CXTWndClientRect(pStatusBar), NULL);
}

CSize CXTPPaintThemeVisualStyle::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    if (!IsThemed(m_themeRebar) || pBar->GetPosition() == xtpBarFloating)
        return CXTPPaintThemeDefault::DrawCommandBarGripper(pDC, pBar, bDraw);
    const CRect rect = CXTWndClientRect(pBar);
    switch (pBar->GetPosition()) {
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw)
            m_themeRebar.DrawBackground(pDC->GetSafeHdc(), kRebarGripper, 1,
                                        CRect(rect.left + 2, rect.top, rect.left + 8, rect.bottom), NULL);
        return CSize(8, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw)
            m_themeRebar.DrawBackground(pDC->GetSafeHdc(), kRebarGripperVert, 1,
                                        CRect(rect.left, rect.top + 2, rect.right, rect.top + 8), NULL);
        return CSize(0, 8);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPPaintThemeVisualStyle::DrawSpecialGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    if (!IsThemed(m_themeRebar))
        return CXTPPaintThemeDefault::DrawSpecialGripper(pDC, pBar, bDraw);
    const int nHeight = std::max(22, m_nTextHeight + 4);
    if (bDraw)
        m_themeRebar.DrawBackground(pDC->GetSafeHdc(), kRebarGripper, 1, CRect(2, 3, 8, nHeight), NULL);
    return CSize(8, nHeight);
}

void CXTPPaintThemeVisualStyle::AdjustExcludeRect(CRect& rect, CXTPControl* pControl, BOOL bVertical)
{
    if (!IsThemed(m_themeRebar)) {
        CXTPPaintThemeDefault::AdjustExcludeRect(rect, pControl, bVertical);
        return;
    }
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pControl->GetType() != xtpControlComboBox && pBar != NULL && pBar->GetPosition() == xtpBarPopup) {
        rect.DeflateRect(3, 0);
        rect.InflateRect(0, 3);
    }
}

void CXTPPaintThemeVisualStyle::DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL bGripperPane)
{
    if (!IsThemed(m_themeStatusBar)) {
        CXTPPaintThemeDefault::DrawStatusBarPaneBorder(pDC, rect, bGripperPane);
        return;
    }
    m_themeStatusBar.DrawBackground(pDC->GetSafeHdc(), bGripperPane ? kStatusGripperPane : kStatusPane, 0,
                                    rect, NULL);
}

void CXTPPaintThemeVisualStyle::DrawStatusBarGripper(CDC* pDC, CRect rect)
{
    if (!IsThemed(m_themeStatusBar)) {
        CXTPPaintThemeDefault::DrawStatusBarGripper(pDC, rect);
        return;
    }
    m_themeStatusBar.DrawBackground(pDC->GetSafeHdc(), kStatusGripper, 0,
                                    CRect(rect.right - 18, rect.top, rect.right, rect.bottom), NULL);
}

void CXTPPaintThemeVisualStyle::DrawEditFrame(CDC* pDC, CRect rect, BOOL bSelected, int nState)
{
    if (!IsThemed(m_themeComboBox)) {
        CXTPPaintThemeDefault::DrawEditFrame(pDC, rect, bSelected, nState);
        return;
    }
    COLORREF clrBorder = 0;
    if (FAILED(m_themeComboBox.GetColor(1, bSelected ? 1 : 4, kPropBorderColor, &clrBorder)))
        clrBorder = GetColor(COLOR_3DSHADOW);
    pDC->Draw3dRect(rect, clrBorder, clrBorder);
}

void CXTPPaintThemeVisualStyle::DrawComboDropButton(CDC* pDC, CRect rect, BOOL bEnabled, BOOL bSelected,
                                                    BOOL bPressed)
{
    if (!IsThemed(m_themeComboBox)) {
        CXTPPaintThemeDefault::DrawComboDropButton(pDC, rect, bEnabled, bSelected, bPressed);
        return;
    }
    const int nState = !bEnabled   ? kStateDisabled
                       : bPressed  ? kStatePressed
                       : bSelected ? kStateHot
                                   : kStateNormal;
    rect.left -= 2;
    rect.DeflateRect(0, 1, 1, 1);
    m_themeComboBox.DrawBackground(pDC->GetSafeHdc(), kComboDropDownButton, nState, rect, NULL);
}
