// A tab's content: measuring it for the layout, and drawing its icon and its text, horizontal or turned,
// shortened at the end or in the middle.
#include "draw_helpers.h"
#include "tab_appearance_set.h"
#include "tab_color_set.h"

#include <algorithm>

namespace {

// The content starts this far in from the tab's start; the caption's room grows by twice that.
const int kContentIndent = 6;
const int kCaptionPadding = 12;
const int kIconGap = 2;
// Turned text is drawn only while this much room is left below the icon.
const int kVerticalTextMinimum = 8;

CSize TextExtent(CDC* pDC, const CString& strText)
{
    CSize size(0, 0);
    ::GetTextExtentPoint32W(pDC->GetSafeHdc(), strText, strText.GetLength(), &size);
    return size;
}

} // namespace

CString AFXAPI CXTPTabPaintManager::ShortenInMiddle(const CString& strText, int nRoom,
                                                    const std::function<int(const CString&)>& measure,
                                                    BOOL* pbPath)
{
    *pbPath = FALSE;
    if (strText.Find(L'\\') >= 0) {
        *pbPath = TRUE;
        return strText;
    }
    const int nTextWidth = measure(strText);
    if (nTextWidth <= nRoom)
        return strText;
    const CString strDots(L"...");
    const int nDotsWidth = measure(strDots);
    if (nRoom <= nDotsWidth)
        return strDots;

    const int nLength = strText.GetLength();
    const int nAvailable = nRoom - nDotsWidth;
    int n = nTextWidth > 0 ? static_cast<int>(static_cast<long long>(nLength) * nAvailable / nTextWidth) : 0;
    n = std::max(0, std::min(n, nLength));
    auto cut = [&](int nChars) { return strText.Left(nChars - nChars / 2) + strText.Right(nChars / 2); };
    while (n < nLength && measure(cut(n)) < nAvailable)
        ++n;
    while (n > 0 && measure(cut(n)) > nAvailable)
        --n;
    return strText.Left(n - n / 2) + strDots + strText.Right(n / 2);
}

void CXTPTabPaintManager::DrawItemText(CDC* pDC, const CString& strText, CRect rcText, UINT nFormat)
{
    if (!m_bUseMiddleEllipsis) {
        pDC->DrawText(strText, rcText, nFormat | DT_END_ELLIPSIS);
        return;
    }
    const BOOL bNoPrefix = (nFormat & DT_NOPREFIX) != 0;
    auto measure = [pDC, bNoPrefix](const CString& str) {
        return static_cast<int>(TextExtent(pDC, bNoPrefix ? str : StripMnemonics(str)).cx);
    };
    BOOL bPath = FALSE;
    const CString strShown = ShortenInMiddle(strText, rcText.Width(), measure, &bPath);
    pDC->DrawText(strShown, rcText, nFormat | (bPath ? DT_PATH_ELLIPSIS : 0));
}

int CXTPTabPaintManager::DrawSingleButtonIconAndText(CDC* pDC, CXTPTabManagerItem* pItem, CRect rcItem,
                                                     BOOL bDraw)
{
    CXTPTabManager* pTabManager = pItem->GetTabManager();
    BOOL bVertical = !pTabManager->IsHorizontalPosition();
    if (m_layout == xtpTabLayoutRotated)
        bVertical = !bVertical;
    const BOOL bBold = m_bBoldSelected && pItem->IsSelected() && pTabManager->IsActive();
    CFont* pFont = GetFont(bVertical, bBold);
    const CString strCaption = pItem->GetCaption();
    const BOOL bHasIcon =
        m_bShowIcons && pTabManager->DrawItemIcon(pDC, pItem, CPoint(0, 0), m_szIcon, FALSE);

    if (!bDraw) {
        CSize szItem;
        CSize szMin;
        CSize szMax;
        pTabManager->GetItemMetrics(&szItem, &szMin, &szMax);
        const int nIconExtent = bHasIcon ? (bVertical ? m_szIcon.cy : m_szIcon.cx) : 0;
        if (m_layout == xtpTabLayoutFixed)
            return GetItemWidth(szItem.cx, szMin.cx, szMax.cx);
        if (m_layout == xtpTabLayoutSizeToFit && pDC == NULL)
            return GetItemWidth(nIconExtent + 8, szMin.cx, szMax.cx);

        CClientDC dcScreen(NULL);
        CDC* pMeasureDC = pDC != NULL ? pDC : &dcScreen;
        CXTFontSelector font(pMeasureDC, pFont);
        auto captionWidth = [&](const CString& str) {
            return static_cast<int>(TextExtent(pMeasureDC, m_bNoPrefix ? str : StripMnemonics(str)).cx);
        };
        int nTextWidth = 0;
        if (m_layout == xtpTabLayoutSizeToFit) {
            for (int i = 0; i < pTabManager->GetItemCount(); ++i)
                nTextWidth = std::max(nTextWidth, captionWidth(pTabManager->GetItem(i)->GetCaption()));
        } else {
            nTextWidth = captionWidth(strCaption);
        }
        return GetItemWidth(nTextWidth + kCaptionPadding + nIconExtent, szMin.cx, szMax.cx);
    }

    CXTFontSelector font(pDC, pFont);
    m_pColorSet->SetTextColor(pDC, pItem);
    CRect rc = rcItem;
    const int nStretch = pItem->m_nButtonLength - pItem->m_nContentLength;
    if (!bVertical) {
        if (nStretch > 0 && m_layout != xtpTabLayoutRotated)
            rc.DeflateRect(nStretch / 2, 0);
        int x = rc.left + kContentIndent + m_rcItemInset.left;
        if (bHasIcon && m_szIcon.cx < rc.Width()) {
            pTabManager->DrawItemIcon(pDC, pItem, CPoint(x - 1, rc.CenterPoint().y - m_szIcon.cy / 2),
                                      m_szIcon, TRUE);
            x += m_szIcon.cx + kIconGap;
        }
        if (!strCaption.IsEmpty() && x < rc.right) {
            const CRect rcText(x, rc.top, rc.right - kIconGap - m_rcItemInset.right, rc.bottom);
            DrawItemText(pDC, strCaption, rcText,
                         DT_SINGLELINE | DT_VCENTER | (m_bNoPrefix ? DT_NOPREFIX : 0));
        }
    } else {
        if (nStretch > 0 && m_layout != xtpTabLayoutRotated)
            rc.DeflateRect(0, nStretch / 2);
        int y = rc.top + kContentIndent + m_rcItemInset.left;
        if (bHasIcon && m_szIcon.cy < rc.Height()) {
            pTabManager->DrawItemIcon(pDC, pItem, CPoint(rc.CenterPoint().x - m_szIcon.cx / 2, y - 1),
                                      m_szIcon, TRUE);
            y += m_szIcon.cy + kIconGap;
        }
        if (!strCaption.IsEmpty() && y + kVerticalTextMinimum < rc.bottom) {
            // The turned font's cell tops point right: the text starts at the right edge of a cell
            // centred across the tab and runs down.
            TEXTMETRICW tm = {};
            ::GetTextMetricsW(pDC->GetSafeHdc(), &tm);
            const int nLeft = rc.CenterPoint().x + tm.tmHeight / 2;
            const CRect rcText(nLeft, y, nLeft + rc.bottom - y - kIconGap - m_rcItemInset.right,
                               y + tm.tmHeight);
            DrawItemText(pDC, m_bNoPrefix ? strCaption : StripMnemonics(strCaption), rcText,
                         DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
        }
    }
    if (pItem->IsSelected() && pTabManager->HasFocus())
        DrawFocusRect(pDC, pItem, rcItem);
    return 0;
}

void CXTPTabPaintManager::DrawFocusRect(CDC* pDC, CXTPTabManagerItem* pItem, CRect rcItem)
{
    (void)pItem;
    if (!m_bShowFocusRect)
        return;
    rcItem.DeflateRect(3, 3);
    pDC->SetTextColor(0);
    pDC->SetBkColor(0xFFFFFF);
    pDC->DrawFocusRect(rcItem);
}
