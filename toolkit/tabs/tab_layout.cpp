// Laying a strip out: item widths, the header, the single row or the rows of the multi-row layout, and
// the navigate buttons at the end of the header.
#include "tab_appearance_set.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// The length of the rectangle along the strip.
int AlongLength(const CRect& rc, BOOL bHorizontal)
{
    return bHorizontal ? rc.Width() : rc.Height();
}

// The tab at nStart along the strip with the given length and the row rectangle across it.
CRect PlaceAlong(const CRect& rcRow, BOOL bHorizontal, int nStart, int nLength)
{
    return bHorizontal ? CRect(nStart, rcRow.top, nStart + nLength, rcRow.bottom)
                       : CRect(rcRow.left, nStart, rcRow.right, nStart + nLength);
}

} // namespace

int AFXAPI CXTPTabPaintManager::CountRows(const int* pWidths, int nCount, int nRoom)
{
    int nRows = 1;
    int nAccumulated = 0;
    for (int i = 0; i < nCount; ++i) {
        if (nAccumulated > 0 && nAccumulated + pWidths[i] > nRoom) {
            ++nRows;
            nAccumulated = 0;
        }
        nAccumulated += pWidths[i];
    }
    return nRows;
}

// A row ends where the next item would pass its target, unless the items after it could then not be
// laid into the rows left within the room; then the item stays while the row still fits the room. The
// walk counts the rows the rest needs instead of trying every split, so it ends in quadratic time
// at worst.
void AFXAPI CXTPTabPaintManager::FitRows(const int* pWidths, int nCount, int nRoom, int nRowCount,
                                         BOOL bJustify, int* pRowOfItem)
{
    int nRemaining = 0;
    for (int i = 0; i < nCount; ++i)
        nRemaining += pWidths[i];
    int nStart = 0;
    for (int nRow = 0; nRow < nRowCount && nStart < nCount; ++nRow) {
        if (nRow == nRowCount - 1) {
            for (int i = nStart; i < nCount; ++i)
                pRowOfItem[i] = nRow;
            return;
        }
        const int nRowsLeft = nRowCount - nRow;
        const int nTarget = bJustify ? std::min(nRoom, nRemaining / nRowsLeft) : nRoom;
        int nAccumulated = 0;
        int i = nStart;
        while (i < nCount) {
            const int nWidth = pWidths[i];
            BOOL bTake = nAccumulated == 0 || nAccumulated + nWidth <= nTarget;
            if (!bTake && CountRows(pWidths + i, nCount - i, nRoom) > nRowsLeft - 1)
                bTake = nAccumulated + nWidth <= nRoom;
            if (!bTake)
                break;
            pRowOfItem[i] = nRow;
            nAccumulated += nWidth;
            ++i;
        }
        nRemaining -= nAccumulated;
        nStart = i;
    }
}

void AFXAPI CXTPTabPaintManager::CompressWidths(int* pWidths, int nCount, int nRoom)
{
    if (nCount <= 0)
        return;
    const int nTotal = std::accumulate(pWidths, pWidths + nCount, 0);
    if (nTotal <= nRoom)
        return;
    if (nCount == 1) {
        pWidths[0] = nRoom;
        return;
    }
    std::vector<int> order(nCount);
    std::iota(order.begin(), order.end(), 0);
    // Equally wide tabs keep their order.
    std::stable_sort(order.begin(), order.end(), [pWidths](int a, int b) { return pWidths[a] > pWidths[b]; });

    int nExcess = nTotal - nRoom;
    int nGroup = 1;
    while (nGroup < nCount && pWidths[order[nGroup]] == pWidths[order[0]])
        ++nGroup;
    for (;;) {
        if (nGroup >= nCount) {
            for (int i = 0; i < nCount; ++i)
                pWidths[i] = nRoom / nCount;
            return;
        }
        const int nCurrent = pWidths[order[0]];
        const int nNext = pWidths[order[nGroup]];
        const int nRemovable = (nCurrent - nNext) * nGroup;
        if (nRemovable >= nExcess)
            break;
        for (int i = 0; i < nGroup; ++i)
            pWidths[order[i]] = nNext;
        nExcess -= nRemovable;
        while (nGroup < nCount && pWidths[order[nGroup]] == nNext)
            ++nGroup;
    }
    const int nLoss = nExcess / nGroup;
    for (int i = 0; i < nGroup; ++i)
        pWidths[order[i]] -= nLoss;
}

void CXTPTabAppearanceSet::RepositionTabControl(CXTPTabManager* pTabManager, CDC* pDC, CRect rcClient)
{
    LayoutItems(pTabManager, pDC, rcClient);
}

void CXTPTabAppearanceSet::LayoutItems(CXTPTabManager* pTabManager, CDC* pDC, CRect rcControl)
{
    CXTPTabPaintManager* pPaintManager = m_pPaintManager;
    const XTPTabPosition position = GetPosition();
    const BOOL bHorizontal = IsHorizontalPosition();
    CRect rc = rcControl;
    if (pTabManager->IsStaticFrame())
        CXTPTabPaintManager::DeflateRectEx(rc, CRect(2, 1, 2, 2), position);
    CXTPTabPaintManager::DeflateRectEx(rc, pPaintManager->m_rcControlMargin, position);

    const int nCount = pTabManager->GetItemCount();
    for (int i = 0; i < nCount; ++i) {
        CXTPTabManagerItem* pItem = pTabManager->GetItem(i);
        const int nWidth = pItem->IsVisible() ? GetItemWidth(pDC, pItem) : 0;
        pItem->m_nButtonLength = nWidth;
        pItem->m_nContentLength = nWidth;
        pItem->m_rcItem.SetRectEmpty();
    }
    const int nRowHeight = GetRowHeight(pTabManager);
    if (pPaintManager->GetLayout() == xtpTabLayoutMultiRow) {
        LayoutMultiRow(pTabManager, rc, nRowHeight);
        PlaceNavigateButtons(pTabManager);
        return;
    }

    pTabManager->m_rcHeaderRect = GetHeaderRect(rc, pTabManager);
    if (nCount == 0) {
        PlaceNavigateButtons(pTabManager);
        return;
    }
    CRect rcInner = pTabManager->m_rcHeaderRect;
    CXTPTabPaintManager::DeflateRectEx(rcInner, GetHeaderMargin(), position);
    CRect rcRow = rcInner;
    const BOOL bRotated = pPaintManager->GetLayout() == xtpTabLayoutRotated;
    if (!bRotated) {
        // One row, on the header's client side.
        if (position == xtpTabPositionTop)
            rcRow.top = rcRow.bottom - nRowHeight;
        else if (position == xtpTabPositionBottom)
            rcRow.bottom = rcRow.top + nRowHeight;
        else if (position == xtpTabPositionLeft)
            rcRow.left = rcRow.right - nRowHeight;
        else
            rcRow.right = rcRow.left + nRowHeight;
    }

    std::vector<int> widths;
    std::vector<CXTPTabManagerItem*> visible;
    for (int i = 0; i < nCount; ++i) {
        CXTPTabManagerItem* pItem = pTabManager->GetItem(i);
        if (pItem->IsVisible()) {
            visible.push_back(pItem);
            widths.push_back(bRotated ? GetFixedTabLength(pTabManager) : pItem->m_nButtonLength);
        }
    }
    if (pPaintManager->GetLayout() == xtpTabLayoutCompressed && !widths.empty()) {
        CXTPTabPaintManager::CompressWidths(widths.data(), static_cast<int>(widths.size()),
                                            AlongLength(rcInner, bHorizontal));
        for (size_t i = 0; i < visible.size(); ++i)
            visible[i]->m_nButtonLength = widths[i];
    }
    int nPos = (bHorizontal ? rcInner.left : rcInner.top) + pTabManager->GetScrollOffset();
    for (size_t i = 0; i < visible.size(); ++i) {
        visible[i]->m_rcItem = PlaceAlong(rcRow, bHorizontal, nPos, widths[i]);
        nPos += widths[i];
    }
    PlaceNavigateButtons(pTabManager);
}

void CXTPTabAppearanceSet::LayoutMultiRow(CXTPTabManager* pTabManager, CRect rc, int nRowHeight)
{
    const XTPTabPosition position = GetPosition();
    const BOOL bHorizontal = IsHorizontalPosition();
    const CRect rcMargin = GetHeaderMargin();
    const int nRoom = AlongLength(rc, bHorizontal) - rcMargin.left - rcMargin.right;
    const int nCount = pTabManager->GetItemCount();

    std::vector<int> widths(nCount);
    for (int i = 0; i < nCount; ++i)
        widths[i] = pTabManager->GetItem(i)->m_nButtonLength;
    const int nRows = nCount > 0 ? CXTPTabPaintManager::CountRows(widths.data(), nCount, nRoom) : 1;
    CXTPTabManagerRows* pRows = pTabManager->GetRows();
    pRows->SetRowCount(nRows);
    std::vector<int> rowOfItem(nCount, 0);
    if (nCount > 0)
        CXTPTabPaintManager::FitRows(widths.data(), nCount, nRoom, nRows, m_pPaintManager->m_bJustifyRows,
                                     rowOfItem.data());
    for (int nRow = 0; nRow < nRows; ++nRow) {
        (*pRows)[nRow].nFirstItem = nCount;
        (*pRows)[nRow].nLastItem = -1;
    }
    for (int i = 0; i < nCount; ++i) {
        CXTPTabManagerRows::ROW& row = (*pRows)[rowOfItem[i]];
        row.nFirstItem = std::min(row.nFirstItem, i);
        row.nLastItem = std::max(row.nLastItem, i);
        pTabManager->GetItem(i)->m_nItemRow = rowOfItem[i];
    }

    pTabManager->m_rcHeaderRect = GetHeaderRect(rc, pTabManager);
    if (nCount == 0)
        return;
    CRect rcInner = pTabManager->m_rcHeaderRect;
    CXTPTabPaintManager::DeflateRectEx(rcInner, rcMargin, position);
    const int nPitch = nRowHeight + m_nRowSpacing;
    const BOOL bJustify = m_pPaintManager->m_bJustifyRows && nRows > 1;
    for (int nRow = 0; nRow < nRows; ++nRow) {
        CRect rcRow = rcInner;
        if (position == xtpTabPositionTop) {
            rcRow.bottom = rcInner.bottom - nRow * nPitch;
            rcRow.top = rcRow.bottom - nRowHeight;
        } else if (position == xtpTabPositionBottom) {
            rcRow.top = rcInner.top + nRow * nPitch;
            rcRow.bottom = rcRow.top + nRowHeight;
        } else if (position == xtpTabPositionLeft) {
            rcRow.right = rcInner.right - nRow * nPitch;
            rcRow.left = rcRow.right - nRowHeight;
        } else {
            rcRow.left = rcInner.left + nRow * nPitch;
            rcRow.right = rcRow.left + nRowHeight;
        }
        const CXTPTabManagerRows::ROW& row = (*pRows)[nRow];
        int nWidthsLeft = 0;
        int nItemsLeft = 0;
        for (int i = row.nFirstItem; i <= row.nLastItem; ++i) {
            nWidthsLeft += widths[i];
            ++nItemsLeft;
        }
        int nLengthLeft = nRoom;
        int nPos = bHorizontal ? rcInner.left : rcInner.top;
        for (int i = row.nFirstItem; i <= row.nLastItem; ++i) {
            CXTPTabManagerItem* pItem = pTabManager->GetItem(i);
            int nWidth = widths[i];
            if (bJustify) {
                nWidth += (nLengthLeft - nWidthsLeft) / nItemsLeft;
                if (nItemsLeft == 1)
                    nWidth = nLengthLeft;
                nLengthLeft -= nWidth;
                nWidthsLeft -= widths[i];
                --nItemsLeft;
            }
            pItem->m_nButtonLength = nWidth;
            if (pItem->IsVisible())
                pItem->m_rcItem = PlaceAlong(rcRow, bHorizontal, nPos, nWidth);
            nPos += nWidth;
        }
    }
}

void CXTPTabAppearanceSet::PlaceNavigateButtons(CXTPTabManager* pTabManager)
{
    CRect rcHeader = pTabManager->m_rcHeaderRect;
    for (int i = pTabManager->GetNavigateButtonCount() - 1; i >= 0; --i)
        pTabManager->GetNavigateButton(i)->Reposition(rcHeader);
    pTabManager->m_rcHeaderRect = rcHeader;
}

CRect CXTPTabAppearanceSet::GetHeaderRect(CRect rcControl, CXTPTabManager* pTabManager)
{
    const int nRows = pTabManager->GetRows()->GetCount();
    const CRect rcMargin = GetHeaderMargin();
    int nDepth =
        GetRowHeight(pTabManager) * nRows + (nRows - 1) * m_nRowSpacing + rcMargin.top + rcMargin.bottom;
    if (m_pPaintManager->GetLayout() == xtpTabLayoutRotated) {
        for (int i = 0; i < pTabManager->GetItemCount(); ++i)
            nDepth = std::max(nDepth, pTabManager->GetItem(i)->m_nContentLength);
    }
    CRect rc = rcControl;
    switch (GetPosition()) {
    case xtpTabPositionLeft:
        rc.right = rc.left + nDepth;
        break;
    case xtpTabPositionBottom:
        rc.top = rc.bottom - nDepth;
        break;
    case xtpTabPositionRight:
        rc.left = rc.right - nDepth;
        break;
    default:
        rc.bottom = rc.top + nDepth;
        break;
    }
    return rc;
}

CRect CXTPTabAppearanceSet::GetClientRect(CRect rcControl, CXTPTabManager* pTabManager)
{
    const CRect rcHeader = GetHeaderRect(rcControl, pTabManager);
    CRect rc = rcControl;
    switch (GetPosition()) {
    case xtpTabPositionLeft:
        rc.left = rcHeader.right - 1;
        break;
    case xtpTabPositionBottom:
        rc.bottom = rcHeader.top + 1;
        break;
    case xtpTabPositionRight:
        rc.right = rcHeader.left + 1;
        break;
    default:
        rc.top = rcHeader.bottom - 1;
        break;
    }
    return rc;
}

void CXTPTabAppearanceSet::AdjustClientRect(CXTPTabManager* pTabManager, CRect& rcClient)
{
    const XTPTabPosition position = GetPosition();
    CXTPTabPaintManager::DeflateRectEx(rcClient, m_pPaintManager->m_rcControlMargin, position);
    rcClient = GetClientRect(rcClient, pTabManager);
    CXTPTabPaintManager::DeflateRectEx(rcClient, GetClientMargin(), position);
    if (m_pPaintManager->m_nClientFrame == xtpTabFrameBorder)
        rcClient.DeflateRect(2, 2);
    else if (m_pPaintManager->m_nClientFrame == xtpTabFrameSingleLine)
        CXTPTabPaintManager::DeflateRectEx(rcClient, CRect(0, 2, 0, 0), position);
}

int CXTPTabAppearanceSet::GetRowHeight(CXTPTabManager* pTabManager)
{
    const CRect& rcInset = m_pPaintManager->m_rcItemInset;
    CSize szItem;
    pTabManager->GetItemMetrics(&szItem, NULL, NULL);
    int nHeight = std::max<int>(m_nButtonHeight + rcInset.top + rcInset.bottom, szItem.cy);
    if (m_pPaintManager->m_bShowIcons) {
        const CSize& szIcon = m_pPaintManager->m_szIcon;
        nHeight = std::max<int>(nHeight, std::max(szIcon.cx, szIcon.cy) + rcInset.top + rcInset.bottom + 4);
    }
    return nHeight;
}
