#include "command_bars.h"
#include "control_combo_box.h"

#include "draw_helpers.h"
#include "image_manager.h"

#include <algorithm>

namespace {
BOOL IsVerticalPosition(int nPosition)
{
    return nPosition == xtpBarLeft || nPosition == xtpBarRight;
}

BOOL IsPopupType(int nType)
{
    return nType == xtpControlPopup || nType == xtpControlButtonPopup || nType == xtpControlSplitButtonPopup;
}

BOOL IsPopupOpen(CXTPControl* pControl)
{
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    return pPopup != NULL && pPopup->GetPopuped();
}
} // namespace

CXTPPaintThemeDefault::CXTPPaintThemeDefault()
{
    // No faded or shadowed icons and no built disabled images: a disabled icon is embossed.
    m_bUseFadedIcons = FALSE;
    m_bUseDisabledIcons = FALSE;
    m_bIconsWithShadow = FALSE;
    m_bBuildDisabledIcons = FALSE;
}

void CXTPPaintThemeDefault::FillCheckedDither(CDC* pDC, CRect rect)
{
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    CBitmap bitmap;
    CBrush brush;
    if (!bitmap.CreateBitmap(8, 8, 1, 1, pattern) || !brush.CreatePatternBrush(&bitmap))
        return;
    const COLORREF clrOldBack = pDC->SetBkColor(GetColor(COLOR_3DFACE));
    const COLORREF clrOldText = pDC->SetTextColor(GetColor(COLOR_3DHIGHLIGHT));
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), PATCOPY);
    pDC->SelectObject(pOldBrush);
    pDC->SetTextColor(clrOldText);
    pDC->SetBkColor(clrOldBack);
}

void CXTPPaintThemeDefault::DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed, BOOL bEnabled,
                                          BOOL bChecked, BOOL bPopuped, int, int)
{
    if (!bEnabled) {
        // Every matching row draws; both are the same sunken edge.
        if (bChecked || nSelected == 2)
            Draw3dRect(pDC, rect, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
        return;
    }
    if (bChecked) {
        if (!nSelected && !nPressed)
            FillCheckedDither(pDC, rect);
        Draw3dRect(pDC, rect, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
    } else if (bPopuped || nPressed == 2) {
        Draw3dRect(pDC, rect, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
    } else if (!nSelected && !nPressed) {
        return;
    } else if ((nSelected != 0) != (nPressed != 0)) {
        Draw3dRect(pDC, rect, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
    } else {
        Draw3dRect(pDC, rect, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
    }
}

void CXTPPaintThemeDefault::DrawControlEntry(CDC* pDC, CRect rect, BOOL bEnabled, int nSelected, int nPressed,
                                             BOOL bChecked, BOOL bPopuped, int nBarPosition)
{
    DrawRectangle(pDC, rect, nSelected, nPressed, bEnabled, bChecked, bPopuped, xtpBarTypeNormal,
                  nBarPosition);
    SetControlTextColor(pDC, bEnabled, nSelected, nPressed, bChecked, bPopuped, nBarPosition);
}

void CXTPPaintThemeDefault::SetControlTextColor(CDC* pDC, BOOL bEnabled, int, int, BOOL, BOOL,
                                                int nBarPosition)
{
    pDC->SetTextColor(GetColor(!bEnabled                     ? COLOR_GRAYTEXT
                               : nBarPosition == xtpBarPopup ? m_nPopupBarText
                                                             : COLOR_BTNTEXT));
    pDC->SetBkMode(TRANSPARENT);
}

void CXTPPaintThemeDefault::DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pIcon,
                                      BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                                      BOOL bPopuped, BOOL bToolBarImage)
{
    if (pIcon == NULL)
        return;
    if (!bEnabled && !m_bUseDisabledIcons && !pIcon->IsAlpha()) {
        // Embossed: the shape in the light colour one pixel down and right, then in the shadow colour.
        HICON hIcon = pIcon->GetImage().GetIcon();
        if (hIcon == NULL)
            return;
        CBrush brushLight(GetColor(COLOR_3DHIGHLIGHT));
        pDC->DrawState(CPoint(pt.x + 1, pt.y + 1), sz, hIcon, DST_ICON | DSS_MONO, &brushLight);
        CBrush brushShadow(GetColor(COLOR_3DSHADOW));
        pDC->DrawState(pt, sz, hIcon, DST_ICON | DSS_MONO, &brushShadow);
        return;
    }
    const BOOL bHot = (bSelected && !bPressed) || (!bSelected && bPressed == 1);
    if (bEnabled && !bChecked && !bPopuped && bPressed && !bHot && bPressed <= 2) {
        // A pressed button's icon sinks with the button.
        pIcon->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pIcon->GetHotImage(), sz);
        return;
    }
    CXTPPaintManagerCore::DrawImage(pDC, pt, sz, pIcon, bSelected, bPressed, bEnabled, bChecked, bPopuped,
                                    bToolBarImage);
}

CSize CXTPPaintThemeDefault::DrawControlText(CDC* pDC, const CString& strText, CRect rect, UINT nFlags,
                                             BOOL bDraw, BOOL bEnabled, BOOL bSelected)
{
    nFlags |= DT_SINGLELINE | DT_VCENTER;
    if (!bDraw) {
        CRect rectText(0, 0, 0, 0);
        pDC->DrawText(strText, rectText, nFlags | DT_CALCRECT);
        return rectText.Size();
    }
    if (!bEnabled && !bSelected) {
        const COLORREF clrText = pDC->SetTextColor(GetColor(COLOR_3DHIGHLIGHT));
        CRect rectShadow(rect);
        rectShadow.OffsetRect(1, 1);
        pDC->DrawText(strText, rectShadow, nFlags);
        pDC->SetTextColor(clrText);
    }
    pDC->DrawText(strText, rect, nFlags);
    return rect.Size();
}

CSize CXTPPaintThemeDefault::DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const int g = GetPopupBarGripperWidth(pBar);
    const CSize szIcon = GetIconSize(pBar);
    const int nItemHeight = std::max(static_cast<int>(szIcon.cy) + 6, m_nTextHeight);
    CXTFontSelector font(pDC, GetControlFont(pBar, pControl->IsDefaultItem()));
    CString strCaption = pControl->GetCaption();
    UINT nFormat = DT_END_ELLIPSIS;
    if (pBar != NULL && !pBar->IsKeyboardCuesVisible()) {
        strCaption = StripMnemonics(strCaption);
        nFormat |= DT_NOPREFIX;
    }
    const CSize szCaption =
        DrawControlText(pDC, StripMnemonics(pControl->GetCaption()), CRect(), 0, FALSE, TRUE, FALSE);
    const CString strShortcut = pControl->GetShortcutText();
    const CSize szShortcut = strShortcut.IsEmpty()
                                 ? CSize(0, 0)
                                 : DrawControlText(pDC, strShortcut, CRect(), 0, FALSE, TRUE, FALSE);
    const CSize size(szCaption.cx + szShortcut.cx + g + 40, nItemHeight);
    if (!bDraw)
        return size;

    const CRect rect = pControl->GetRect();
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const BOOL bChecked = pControl->GetChecked();
    const CRect rectBox(
        CPoint(rect.left + (g - szIcon.cx - 4) / 2, rect.top + (rect.Height() - szIcon.cy - 4) / 2),
        CSize(szIcon.cx + 4, szIcon.cy + 4));
    CXTPImageManagerIcon* pIcon = pControl->GetImage(szIcon.cx);
    if (m_bFullRowHighlight && nSelected)
        pDC->FillSolidRect(rect, GetColor(COLOR_HIGHLIGHT));
    else if (bChecked)
        DrawRectangle(pDC, rectBox, nSelected, pControl->GetPressed(), bEnabled, TRUE, FALSE, xtpBarTypePopup,
                      xtpBarPopup);
    else if (nSelected && bEnabled && pIcon != NULL)
        DrawRectangle(pDC, rectBox, 1, 0, TRUE, FALSE, FALSE, xtpBarTypePopup, xtpBarPopup);
    if (pIcon != NULL) {
        DrawImage(pDC, CPoint(rectBox.left + 2, rectBox.top + 2), szIcon, pIcon, nSelected,
                  pControl->GetPressed(), bEnabled, bChecked, FALSE, FALSE);
    } else if (bChecked) {
        // The check area is the box's middle and 10 pixels either side.
        const CPoint ptMiddle = rectBox.CenterPoint();
        DrawCheckMark(pDC, CRect(ptMiddle.x - 10, ptMiddle.y - 10, ptMiddle.x + 10, ptMiddle.y + 10),
                      GetColor(!bEnabled                          ? COLOR_GRAYTEXT
                               : nSelected && m_bFullRowHighlight ? COLOR_HIGHLIGHTTEXT
                                                                  : COLOR_BTNTEXT));
    }
    pDC->SetTextColor(GetColor(!bEnabled   ? COLOR_GRAYTEXT
                               : nSelected ? COLOR_HIGHLIGHTTEXT
                                           : m_nPopupBarText));
    pDC->SetBkMode(TRANSPARENT);
    const int nMiddle = (rect.top + rect.bottom) / 2;
    if (IsPopupType(pControl->GetType()))
        Triangle(pDC, CPoint(rect.right - 11, nMiddle - 3), CPoint(rect.right - 8, nMiddle),
                 CPoint(rect.right - 11, nMiddle + 3), pDC->GetTextColor());
    const CRect rectText(rectBox.right + 1, rect.top, rect.right, rect.bottom);
    DrawControlText(pDC, strCaption, rectText, nFormat, TRUE, bEnabled, nSelected);
    if (pControl->GetType() == xtpControlButton && !strShortcut.IsEmpty())
        DrawControlText(pDC, strShortcut, CRect(rect.left, rect.top, rect.right - 19, rect.bottom),
                        DT_RIGHT | DT_NOPREFIX, TRUE, bEnabled, nSelected);
    return size;
}

void CXTPPaintThemeDefault::DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rect)
{
    const BOOL bOpen = IsPopupOpen(pControl);
    const BOOL bEnabled = pControl->GetEnabled();
    const int nSelected = pControl->GetSelected();
    const int nPosition = pControl->GetParent() != NULL ? pControl->GetParent()->GetPosition() : xtpBarTop;
    DrawControlEntry(pDC, CRect(rect.left, rect.top, rect.right - 12, rect.bottom), bEnabled,
                     nSelected || bOpen ? 1 : 0, pControl->GetPressed(), pControl->GetChecked(), FALSE,
                     nPosition);
    if ((nSelected || pControl->GetPressed() || bOpen) && bEnabled)
        DrawControlEntry(pDC, CRect(rect.right - 12, rect.top, rect.right, rect.bottom), TRUE, TRUE, FALSE,
                         FALSE, bOpen, nPosition);
    const int nMiddle = (rect.top + rect.bottom) / 2;
    Triangle(pDC, CPoint(rect.right - 9, nMiddle - 1), CPoint(rect.right - 5, nMiddle - 1),
             CPoint(rect.right - 7, nMiddle + 1), pDC->GetTextColor());
}

void CXTPPaintThemeDefault::DrawEditFrame(CDC* pDC, CRect rect, BOOL bSelected, int nState)
{
    if (!bSelected) {
        rect.DeflateRect(1, 1);
        const int nColor = nState == 2 ? COLOR_3DSHADOW : COLOR_3DHIGHLIGHT;
        Draw3dRect(pDC, rect, nColor, nColor);
        return;
    }
    if (nState == 0)
        Draw3dRect(pDC, rect, COLOR_3DFACE, COLOR_3DFACE);
    else
        Draw3dRect(pDC, rect, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
    rect.DeflateRect(1, 1);
    Draw3dRect(pDC, rect, COLOR_3DFACE, COLOR_3DFACE);
}

void CXTPPaintThemeDefault::DrawComboDropButton(CDC* pDC, CRect rect, BOOL bEnabled, BOOL bSelected,
                                                BOOL bPressed)
{
    rect.DeflateRect(1, 2, 2, 2);
    if (bEnabled)
        pDC->FillSolidRect(rect, GetColor(COLOR_3DFACE));
    CRect rectArrow(rect);
    if (bPressed) {
        Line(pDC, rect.left - 1, rect.top, rect.left - 1, rect.bottom, COLOR_3DFACE);
        Draw3dRect(pDC, rect, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
        rectArrow.OffsetRect(1, 1);
    } else if (bSelected) {
        Line(pDC, rect.left - 1, rect.top, rect.left - 1, rect.bottom, COLOR_3DFACE);
        Draw3dRect(pDC, rect, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
    } else {
        Draw3dRect(pDC, rect, COLOR_3DHIGHLIGHT, COLOR_3DHIGHLIGHT);
    }
    DrawDropDownArrow(pDC, rectArrow, GetColor(COLOR_BTNTEXT));
}

CSize CXTPPaintThemeDefault::DrawControlEdit(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    const int nLabel = LayoutFieldLabel(pDC, pControl);
    const CSize size(std::max(pControl->GetRect().Width(), 100), std::max(22, m_nTextHeight));
    if (!bDraw)
        return size;
    CRect rect = pControl->GetRect();
    DrawFieldLabel(pDC, pControl, rect, nLabel);
    DrawEditFrame(pDC, rect, pControl->GetSelected() || pControl->IsFocused(),
                  pControl->GetEnabled() ? 0 : 2);
    return size;
}

CSize CXTPPaintThemeDefault::DrawControlComboBox(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    const int nButton = LayoutComboDropButton(pControl);
    const CSize size = DrawControlEdit(pDC, pControl, bDraw);
    if (!bDraw)
        return size;
    const CRect rect = pControl->GetRect();
    DrawComboDropButton(pDC, CRect(rect.right - nButton, rect.top, rect.right, rect.bottom),
                        pControl->GetEnabled(), pControl->GetSelected(), IsPopupOpen(pControl));
    DrawComboFieldText(pDC, pControl, rect, nButton);
    return size;
}

void CXTPPaintThemeDefault::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rect = CXTWndClientRect(pBar);
    pDC->FillSolidRect(rect, GetColor(COLOR_3DFACE));
    const int nPosition = pBar->GetPosition();
    if (nPosition == xtpBarFloating || nPosition == xtpBarPopup) {
        Draw3dRect(pDC, rect, COLOR_3DFACE, COLOR_3DDKSHADOW);
        rect.DeflateRect(1, 1);
    }
    Draw3dRect(pDC, rect, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
}

CSize CXTPPaintThemeDefault::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    const CRect rect = CXTWndClientRect(pBar);
    switch (pBar->GetPosition()) {
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw)
            Draw3dRect(pDC, CRect(3, 3, 6, rect.Height() - 3), COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
        return CSize(6, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw)
            Draw3dRect(pDC, CRect(3, 3, rect.Width() - 3, 6), COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
        return CSize(0, 8);
    case xtpBarFloating:
        return DrawFloatingCaption(pDC, pBar, bDraw, GetColor(COLOR_ACTIVECAPTION), FALSE);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPPaintThemeDefault::DrawSpecialGripper(CDC* pDC, CXTPCommandBar*, BOOL bDraw)
{
    const int nHeight = std::max(22, m_nTextHeight + 4);
    if (bDraw)
        Draw3dRect(pDC, CRect(3, 3, 6, nHeight), COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
    return CSize(6, nHeight);
}

CSize CXTPPaintThemeDefault::DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl,
                                                     BOOL bDraw)
{
    const BOOL bPopup = pBar->GetType() == xtpBarTypePopup;
    if (!bDraw)
        return bPopup ? CSize(8, 8) : CSize(6, 6);
    const CRect rect = pControl->GetRect();
    const CRect rectRow = pControl->GetRowRect();
    // An etched line: two pixels, shadow then light.
    CRect rectLine;
    if (bPopup) {
        rectLine.SetRect(14, rect.top - 5, CXTWndClientRect(pBar).Width() - 14, rect.top - 3);
    } else {
        const BOOL bAcrossRow = IsVerticalPosition(pBar->GetPosition()) != pControl->GetWrap();
        if (bAcrossRow)
            rectLine.SetRect(rectRow.left, rect.top - 4, rectRow.right, rect.top - 2);
        else
            rectLine.SetRect(rect.left - 4, rectRow.top, rect.left - 2, rectRow.bottom);
    }
    Draw3dRect(pDC, rectLine, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
    return bPopup ? CSize(8, 8) : CSize(6, 6);
}

void CXTPPaintThemeDefault::AdjustExcludeRect(CRect& rect, CXTPControl* pControl, BOOL bVertical)
{
    if (pControl->GetType() == xtpControlComboBox)
        return;
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar != NULL && pBar->GetType() == xtpBarTypePopup)
        rect.DeflateRect(1, 0);
    else if (bVertical)
        rect.InflateRect(0, 1);
    else
        rect.InflateRect(1, 0);
}

void CXTPPaintThemeDefault::DrawSpecialControl(CDC* pDC, XTPSpecialControl nKind, CXTPControl* pControl,
                                               CXTPCommandBar* pBar, BOOL bDraw)
{
    if (bDraw && (nKind == xtpButtonCloseFloating || nKind == xtpButtonExpandFloating) &&
        (pControl->GetPressed() || pControl->GetSelected() ||
         (nKind == xtpButtonExpandFloating && IsPopupOpen(pControl))))
        pDC->FillSolidRect(pControl->GetRect(), GetColor(COLOR_3DFACE));
    CXTPPaintManagerCore::DrawSpecialControl(pDC, nKind, pControl, pBar, bDraw);
}

CRect CXTPPaintThemeDefault::GetCommandBarBorders(CXTPCommandBar* pBar)
{
    return pBar != NULL && pBar->GetPosition() == xtpBarPopup ? CRect(3, 3, 3, 3) : CRect(2, 2, 2, 2);
}

CSize CXTPPaintThemeDefault::DrawTearOffGripper(CDC* pDC, CRect rect, BOOL bSelected, BOOL bDraw)
{
    if (bDraw)
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), rect.Height() - 1,
                           GetColor(bSelected ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    return CSize(0, 8);
}
