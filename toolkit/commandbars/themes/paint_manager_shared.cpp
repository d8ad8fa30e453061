// The pieces of the paint manager that every theme shares or starts from: control text colours, the
// tear-off row and tall gripper of the flat theme, the status-bar panes and size grip, and the seam
// between an open menu item and its popup.
#include "command_bars.h"

#include "draw_helpers.h"
#include "status_bar.h"

#include <algorithm>

void CXTPPaintManagerCore::SetControlTextColor(CDC* pDC, BOOL bEnabled, int, int, BOOL, BOOL, int)
{
    pDC->SetTextColor(GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    pDC->SetBkMode(TRANSPARENT);
}

CSize CXTPPaintManagerCore::DrawFloatingCaption(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw, COLORREF clrBand,
                                                BOOL bRoomForClose)
{
    const int nHeight = std::max(15, m_nTextHeight - 4);
    const CRect rectBand(3, 3, CXTWndClientRect(pBar).right - 3, 3 + nHeight);
    if (bDraw) {
        pDC->FillSolidRect(rectBand, clrBand);
        CXTFontSelector font(pDC, &m_fontRegular);
        const COLORREF clrOld = pDC->SetTextColor(GetColor(COLOR_3DHIGHLIGHT));
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        CRect rectText(5, rectBand.top, rectBand.right - (bRoomForClose ? 2 * nHeight : 0), rectBand.bottom);
        pDC->DrawText(pBar->GetTitle(), rectText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        pDC->SetBkMode(nOldMode);
        pDC->SetTextColor(clrOld);
    }
    return rectBand.Size();
}

CSize CXTPPaintManagerCore::DrawTearOffGripper(CDC*, CRect, BOOL, BOOL)
{
    return CSize(0, 9);
}

CSize CXTPPaintManagerCore::DrawSpecialGripper(CDC*, CXTPCommandBar*, BOOL)
{
    return CSize(0, 0);
}

void CXTPPaintManagerCore::DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL)
{
    Draw3dRect(pDC, rect, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
}

void CXTPPaintManagerCore::DrawStatusBarGripper(CDC* pDC, CRect rect)
{
    // Diagonals counted from the corner pixel: per ridge a gap, two shadow lines and a highlight on
    // the side away from the corner, the ridges 4 pixels apart.
    const int nColors[4] = {-1, COLOR_3DSHADOW, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT};
    const int nLimit = std::min({12, rect.Width(), rect.Height()});
    for (int d = 0; d < nLimit; ++d) {
        const int nColor = nColors[d % 4];
        if (nColor < 0)
            continue;
        CXTPenSelector pen(pDC, GetColor(nColor));
        pDC->MoveTo(rect.right - 1 - d, rect.bottom - 1);
        pDC->LineTo(rect.right, rect.bottom - 2 - d);
    }
}

void CXTPPaintManagerCore::FillStatusBar(CDC* pDC, CXTPStatusBar* pStatusBar)
{
    pDC->FillSolidRect(CXTWndClientRect(pStatusBar), GetColor(COLOR_3DFACE));
}

void CXTPPaintManagerCore::FillPopupSeam(CDC* pDC, CXTPPopupBar* pPopupBar, int nColor)
{
    CXTPControlPopup* pControl = pPopupBar->m_pControlPopup;
    if (pControl == NULL || pControl->GetParent() == NULL ||
        !::IsWindow(pControl->GetParent()->GetSafeHwnd()) || !::IsWindow(pPopupBar->GetSafeHwnd()))
        return;
    CRect rectControl = pControl->GetRect();
    pControl->GetParent()->ClientToScreen(&rectControl);
    CRect rectPopup;
    pPopupBar->GetWindowRect(&rectPopup);
    CRect rectSeam;
    if (!rectSeam.IntersectRect(rectControl, rectPopup))
        return;
    pPopupBar->ScreenToClient(&rectSeam);
    if (rectSeam.Width() > 1)
        rectSeam.DeflateRect(1, 0);
    if (rectSeam.Height() > 1)
        rectSeam.DeflateRect(0, 1);
    pDC->FillSolidRect(rectSeam, GetColor(nColor));
}

CSize CXTPPaintManager::DrawTearOffGripper(CDC* pDC, CRect rect, BOOL bSelected, BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 9);
    CRect rectInner(rect);
    rectInner.DeflateRect(1, 1);
    pDC->FillSolidRect(rectInner, GetColor(41));
    // The handle runs along the row, so its length comes from the row's width.
    const int nHalf = std::min(16, rect.Width() / 2 - 10);
    const int nCentre = (rect.left + rect.right) / 2;
    const CRect rectHandle(nCentre - std::max(nHalf, 0), rect.top + 2, nCentre + std::max(nHalf, 0),
                           rect.bottom - 2);
    if (bSelected) {
        DrawRect(pDC, rectHandle, 32, 31);
        for (int y : {4, 6})
            Line(pDC, rectHandle.left + 2, rect.top + y, rectHandle.right - 2, rect.top + y, 45);
    } else {
        pDC->FillSolidRect(rectHandle, GetColor(30));
        for (int y : {3, 5, 7})
            Line(pDC, rectHandle.left + 2, rect.top + y, rectHandle.right - 2, rect.top + y, 38);
    }
    return CSize(0, 9);
}

CSize CXTPPaintManager::DrawSpecialGripper(CDC* pDC, CXTPCommandBar*, BOOL bDraw)
{
    const int nHeight = std::max(22, m_nTextHeight + 4);
    if (bDraw)
        for (int y = 6; y < nHeight - 2; y += 2)
            Line(pDC, 3, y, 6, y, 38);
    return CSize(6, nHeight);
}

void CXTPPaintManager::DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL)
{
    Draw3dRect(pDC, rect, COLOR_3DSHADOW, COLOR_3DSHADOW);
}
