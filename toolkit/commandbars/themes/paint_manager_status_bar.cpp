// The paint manager's drawing of the toolkit status bar: the bar's background, a pane's frame and
// entry, and the size grip.
#include "command_bars.h"

#include "draw_helpers.h"
#include "image_manager.h"
#include "status_bar.h"

#include <algorithm>

void CXTPPaintManagerCore::DrawStatusBarPaneEntry(CDC* pDC, CRect rect, CXTPStatusBarPane* pPane)
{
    if (pPane->GetBackgroundColor() != XTP_STATUS_NO_COLOR) {
        CRect rectFill(rect);
        if (!(pPane->GetStyle() & SBPS_NOBORDERS))
            rectFill.DeflateRect(1, 1);
        pDC->FillSolidRect(&rectFill, pPane->GetBackgroundColor());
    }
    HFONT hFont = pPane->GetTextFont();
    const HGDIOBJ hOldFont = hFont != NULL ? ::SelectObject(pDC->m_hDC, hFont) : NULL;
    rect.DeflateRect(2, 1);

    // A disabled pane (its style) keeps its text but shows none, as in the system's window.
    const CString strText = (pPane->GetStyle() & SBPS_DISABLED) ? CString() : pPane->GetText();
    const UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX;
    CSize sizeText(0, 0);
    if (!strText.IsEmpty()) {
        CRect rectCalc(0, 0, 0x7FFF, rect.Height());
        pDC->DrawText(strText, rectCalc, nFormat | DT_CALCRECT);
        sizeText = rectCalc.Size();
    }
    CXTPImageManagerIcon* pIcon = pPane->GetImage();
    const CSize sizeIcon = pIcon != NULL ? pIcon->GetExtent() : CSize(0, 0);
    const int nGap = pIcon != NULL && !strText.IsEmpty() ? 2 : 0;
    const int cxContent = sizeIcon.cx + nGap + sizeText.cx;
    int x = rect.left;
    if (pPane->GetTextAlignment() & DT_CENTER)
        x = std::max(rect.left, (rect.left + rect.right - cxContent) / 2);
    else if (pPane->GetTextAlignment() & DT_RIGHT)
        x = std::max(rect.left, rect.right - cxContent);

    if (pIcon != NULL) {
        const CPoint pt(x, rect.top + (rect.Height() - sizeIcon.cy) / 2);
        pIcon->Draw(pDC, pt, pPane->IsEnabled() ? pIcon->GetImage() : pIcon->GetDisabledImage(), sizeIcon);
        x += sizeIcon.cx + nGap;
    }
    if (!strText.IsEmpty()) {
        COLORREF clrText = m_clrText;
        if (!pPane->IsEnabled())
            clrText = GetColor(COLOR_GRAYTEXT);
        else if (pPane->GetTextColor() != XTP_STATUS_NO_COLOR)
            clrText = pPane->GetTextColor();
        const COLORREF clrOld = pDC->SetTextColor(clrText);
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        CRect rectText(x, rect.top, rect.right, rect.bottom);
        pDC->DrawText(strText, rectText, nFormat);
        pDC->SetBkMode(nOldMode);
        pDC->SetTextColor(clrOld);
    }
    if (hOldFont != NULL)
        ::SelectObject(pDC->m_hDC, hOldFont);
}
