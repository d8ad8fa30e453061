// The row layout of a bar's controls: where rows break for a length, where each control goes, the
// search for the narrowest width with the same rows, and right alignment and stretching.
#include "command_bars.h"

#include <algorithm>

namespace {
// The group gap WrapControls always counts with.
const int kWrapGroupGap = 6;
} // namespace

int CXTPControls::WrapControls(CXTPLayoutRecords& records, int nLength, DWORD& dwMode) const
{
    const BOOL bVertical = (dwMode & LM_VERTDOCK) != 0;
    int nBreaks = 0;
    int nPosition = 0;
    int nFirstPlaced = -1;
    int nRowStart = -1;
    const int nCount = static_cast<int>(records.size());
    for (int i = 0; i < nCount; ++i) {
        XTP_LAYOUT_RECORD& record = records[static_cast<size_t>(i)];
        record.bWrap = FALSE;
        record.bHidden = FALSE;
        if (!record.bVisible)
            continue;
        const int nExtent = bVertical ? record.nHeight : record.nWidth;
        if (nFirstPlaced == -1) {
            // The first control always stays, however long it is.
            nFirstPlaced = nRowStart = i;
            nPosition = nExtent;
            continue;
        }
        const BOOL bGroup = record.bBeginGroup && i != nRowStart;
        const int nEnd = nPosition + nExtent + (bGroup ? kWrapGroupGap : 0);
        const BOOL bPopupBreak = (dwMode & XTP_LM_POPUP) != 0 && record.bBeginGroup;
        if (nEnd <= nLength && !bPopupBreak) {
            nPosition = nEnd;
            continue;
        }
        if ((dwMode & XTP_LM_SHRINK) != 0 && !bPopupBreak) {
            for (int j = i; j < nCount; ++j) {
                XTP_LAYOUT_RECORD& rest = records[static_cast<size_t>(j)];
                rest.bHidden = rest.bVisible;
                rest.bWrap = FALSE;
            }
            dwMode |= LM_STRETCH;
            return nBreaks + 1;
        }
        // The whole group goes to the next row, unless the group began the row.
        int nBreak = i;
        if (!bPopupBreak) {
            for (int j = i; j > nRowStart; --j) {
                const XTP_LAYOUT_RECORD& back = records[static_cast<size_t>(j)];
                if (back.bWrap)
                    break;
                if (back.bVisible && back.bBeginGroup) {
                    nBreak = j;
                    break;
                }
            }
        }
        XTP_LAYOUT_RECORD& breakRecord = records[static_cast<size_t>(nBreak)];
        breakRecord.bWrap = TRUE;
        nRowStart = nBreak;
        nPosition = bVertical ? breakRecord.nHeight : breakRecord.nWidth;
        if ((dwMode & XTP_LM_SHRINK) == 0)
            dwMode |= LM_STRETCH;
        ++nBreaks;
        i = nBreak;
    }
    return nBreaks + 1;
}

CSize CXTPControls::CalcRowLayout(CXTPLayoutRecords& records, CSize szGap, BOOL bVertical) const
{
    int x = 0, y = 0, nRow = 0;
    int nMaxX = 0, nMaxY = 0, nMinX = 0;
    BOOL bFirst = TRUE;
    for (XTP_LAYOUT_RECORD& record : records) {
        if (!record.bVisible || record.bHidden)
            continue;
        if (!bVertical) {
            if (record.bWrap && !bFirst) {
                y += nRow + (record.bBeginGroup ? szGap.cy : 0);
                nRow = 0;
                x = 0;
            } else if (record.bBeginGroup && !bFirst) {
                x += szGap.cx;
            }
            nRow = std::max(nRow, static_cast<int>(record.nHeight));
            record.rect.SetRect(x, y, x + record.nWidth, y + record.nHeight);
            x += record.nWidth;
        } else {
            if (record.bWrap && !bFirst) {
                x -= nRow + (record.bBeginGroup ? szGap.cy : 0);
                nRow = 0;
                y = 0;
            } else if (record.bBeginGroup && !bFirst) {
                y += szGap.cx;
            }
            nRow = std::max(nRow, static_cast<int>(record.nWidth));
            record.rect.SetRect(x - record.nWidth, y, x, y + record.nHeight);
            y += record.nHeight;
        }
        nMaxX = std::max(nMaxX, static_cast<int>(record.rect.right));
        nMaxY = std::max(nMaxY, static_cast<int>(record.rect.bottom));
        nMinX = std::min(nMinX, static_cast<int>(record.rect.left));
        bFirst = FALSE;
    }
    return bVertical ? CSize(-nMinX, nMaxY) : CSize(nMaxX, nMaxY);
}

CSize CXTPControls::SizeToLength(CXTPLayoutRecords& records, int nLength, DWORD dwMode, CSize szGap) const
{
    DWORD dwWrapMode = dwMode;
    if ((dwMode & LM_LENGTHY) == 0) {
        const int nRows = WrapControls(records, nLength, dwWrapMode);
        if (nRows != WrapControls(records, 0, dwWrapMode) && nLength > 0) {
            // The narrowest width that keeps the same number of rows.
            int nLow = 0, nHigh = nLength;
            for (;;) {
                const int nMiddle = (nLow + nHigh) / 2;
                if (nMiddle == nLow)
                    break;
                if (WrapControls(records, nMiddle, dwWrapMode) == nRows)
                    nHigh = nMiddle;
                else
                    nLow = nMiddle;
            }
            WrapControls(records, nHigh, dwWrapMode);
        } else {
            WrapControls(records, nLength, dwWrapMode);
        }
        const CSize size = CalcRowLayout(records, szGap, FALSE);
        WrapControls(records, size.cx, dwWrapMode);
        return CalcRowLayout(records, szGap, FALSE);
    }

    return SearchHeight(records, dwMode, szGap, nLength);
}

CSize CXTPControls::CalcBalancedLayout(CXTPLayoutRecords& records, DWORD dwMode, CSize szGap) const
{
    return SearchHeight(records, dwMode, szGap, -1);
}

CSize CXTPControls::SearchHeight(CXTPLayoutRecords& records, DWORD dwMode, CSize szGap, int nHeight) const
{
    // Between the tallest layout (one control a row) and the flattest (one row), towards the height
    // asked for, or towards a square with -1.
    DWORD dwWrapMode = dwMode;
    WrapControls(records, 0, dwWrapMode);
    CSize szTall = CalcRowLayout(records, szGap, FALSE);
    WrapControls(records, 32767, dwWrapMode);
    CSize szFlat = CalcRowLayout(records, szGap, FALSE);
    for (int nStep = 0; nStep < 64 && szTall.cx < szFlat.cx; ++nStep) {
        const int nMiddle = (szTall.cx + szFlat.cx) / 2;
        WrapControls(records, nMiddle, dwWrapMode);
        const CSize size = CalcRowLayout(records, szGap, FALSE);
        const int nTarget = nHeight >= 0 ? nHeight : static_cast<int>(size.cx);
        if (size.cy == nTarget)
            return size;
        if (size.cy > nTarget) {
            if (size == szTall) {
                if (nHeight >= 0)
                    WrapControls(records, szFlat.cx, dwWrapMode);
                break;
            }
            szTall = size;
        } else {
            szFlat = size;
        }
    }
    return CalcRowLayout(records, szGap, FALSE);
}

void CXTPControls::AdjustRow(CXTPLayoutRecords& records, int nFirst, int nLast, int nLength,
                             const CRect& rcBorder, BOOL bVertical) const
{
    auto start = [&](const CRect& rect) { return bVertical ? rect.top : rect.left; };
    auto end = [&](const CRect& rect) { return bVertical ? rect.bottom : rect.right; };
    auto shift = [&](CRect& rect, int nOffset) {
        if (bVertical)
            rect.OffsetRect(0, nOffset);
        else
            rect.OffsetRect(nOffset, 0);
    };
    const int nNear = bVertical ? rcBorder.top : rcBorder.left;
    const int nFar = nLength - (bVertical ? rcBorder.bottom : rcBorder.right);

    // Right-aligned controls at the row's end move to its far edge.
    int nEdge = nFar;
    int nRightStart = nLast + 1;
    for (int i = nLast; i >= nFirst; --i) {
        XTP_LAYOUT_RECORD& record = records[static_cast<size_t>(i)];
        if (!record.bVisible || record.bHidden)
            continue;
        if ((m_arrControls[static_cast<size_t>(i)]->GetFlags() & xtpFlagRightAlign) == 0)
            break;
        const int nSize = end(record.rect) - start(record.rect);
        if (nEdge - nSize < nNear)
            break;
        shift(record.rect, nEdge - end(record.rect));
        nEdge -= nSize;
        nRightStart = i;
        if (record.bWrap)
            break;
    }

    // Stretched controls share what is left of the row before the right-aligned ones.
    int nStretched = 0;
    int nLastEnd = nNear;
    for (int i = nFirst; i < nRightStart; ++i) {
        const XTP_LAYOUT_RECORD& record = records[static_cast<size_t>(i)];
        if (!record.bVisible || record.bHidden)
            continue;
        nLastEnd = std::max(nLastEnd, static_cast<int>(end(record.rect)));
        if ((m_arrControls[static_cast<size_t>(i)]->GetFlags() & xtpFlagControlStretched) != 0)
            ++nStretched;
    }
    int nFree = nEdge - nLastEnd;
    if (nStretched == 0 || nFree <= 0)
        return;
    int nExtra = 0;
    for (int i = nFirst; i < nRightStart; ++i) {
        XTP_LAYOUT_RECORD& record = records[static_cast<size_t>(i)];
        if (!record.bVisible || record.bHidden)
            continue;
        shift(record.rect, nExtra);
        if ((m_arrControls[static_cast<size_t>(i)]->GetFlags() & xtpFlagControlStretched) != 0) {
            const int nShare = nFree / nStretched;
            nFree -= nShare;
            --nStretched;
            if (bVertical)
                record.rect.bottom += nShare;
            else
                record.rect.right += nShare;
            nExtra += nShare;
        }
    }
}

CSize CXTPControls::CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder, int nWidth)
{
    CXTPPaintManagerCore* pPaintManager =
        m_pParent != NULL ? m_pParent->GetPaintManager() : CXTPPaintManager::Instance();
    if (pPaintManager == NULL) {
        CXTPPaintManager::SetTheme(0);
        pPaintManager = CXTPPaintManager::Instance();
    }
    const CSize szGap = pPaintManager->GetSeparatorSize(m_pParent);
    const BOOL bVertical = (dwMode & LM_VERTDOCK) != 0;
    const int nBorderX = rcBorder.left + rcBorder.right;
    const int nBorderY = rcBorder.top + rcBorder.bottom;

    for (int i = GetCount() - 1; i >= 0; --i)
        m_arrControls[static_cast<size_t>(i)]->OnCalcDynamicSize(dwMode);

    if (GetVisibleCount(FALSE) == 0) {
        CSize size(23 + nBorderX, 22 + nBorderY);
        if (nWidth > 0) {
            if (dwMode & LM_HORZDOCK)
                size.cy = std::max(size.cy, static_cast<LONG>(nWidth));
            else
                size.cx = std::max(size.cx, static_cast<LONG>(nWidth));
        }
        return size;
    }

    CXTPLayoutRecords records(m_arrControls.size());
    for (size_t i = 0; i < m_arrControls.size(); ++i) {
        CXTPControl* pControl = m_arrControls[i];
        XTP_LAYOUT_RECORD& record = records[i];
        record.rect = pControl->GetRect();
        record.bVisible = (pControl->GetHideFlags() & ~static_cast<DWORD>(xtpHideWrap)) == 0;
        record.bBeginGroup = pControl->GetBeginGroup();
        if (record.bVisible) {
            const CSize size = pControl->GetSize(pDC);
            record.nWidth = size.cx;
            record.nHeight = size.cy;
        }
    }

    if ((dwMode & LM_MRUWIDTH) != 0 && m_pParent != NULL)
        nLength = m_pParent->m_nMRUWidth;
    DWORD dwWrapMode = dwMode;
    if ((dwMode & XTP_LM_POPUP) != 0) {
        const int nMRUWidth = m_pParent != NULL ? m_pParent->m_nMRUWidth : 32767;
        WrapControls(records, nMRUWidth, dwWrapMode);
        const CSize size = CalcRowLayout(records, szGap, FALSE);
        if (size.cy > 3 * size.cx && nMRUWidth <= 0)
            CalcBalancedLayout(records, dwMode, szGap);
        else
            WrapControls(records, size.cx, dwWrapMode);
    } else if ((dwMode & LM_HORZDOCK) != 0) {
        // A docked bar that wraps stretches over the whole length.
        WrapControls(records, nLength - nBorderX, dwMode);
    } else if ((dwMode & LM_VERTDOCK) != 0) {
        WrapControls(records, nLength - nBorderY, dwMode);
    } else {
        SizeToLength(records, nLength - ((dwMode & LM_LENGTHY) ? nBorderY : nBorderX), dwMode, szGap);
    }

    CSize size = CalcRowLayout(records, szGap, bVertical);
    if (nWidth > 0) {
        if (dwMode & LM_HORZDOCK)
            size.cy = std::max(size.cy, static_cast<LONG>(nWidth - nBorderY));
        else
            size.cx = std::max(size.cx, static_cast<LONG>(nWidth - nBorderX));
    }
    if (dwMode & LM_STRETCH) {
        if (bVertical)
            size.cy = std::max(size.cy, static_cast<LONG>(nLength - nBorderY));
        else
            size.cx = std::max(size.cx, static_cast<LONG>(nLength - nBorderX));
    }

    // Rows: the first placed record and every wrapping one start a row.
    std::vector<std::pair<int, int>> rows;
    if (dwMode & LM_COMMIT) {
        for (int i = 0; i < static_cast<int>(records.size()); ++i) {
            const XTP_LAYOUT_RECORD& record = records[static_cast<size_t>(i)];
            if (!record.bVisible || record.bHidden)
                continue;
            if (rows.empty() || record.bWrap)
                rows.emplace_back(i, i);
            else
                rows.back().second = i;
        }
        for (const auto& row : rows) {
            int nThickness = 0;
            for (int i = row.first; i <= row.second; ++i) {
                const XTP_LAYOUT_RECORD& record = records[static_cast<size_t>(i)];
                if (record.bVisible && !record.bHidden)
                    nThickness = std::max(nThickness, bVertical ? record.nWidth : record.nHeight);
            }
            if (rows.size() == 1)
                nThickness = bVertical ? size.cx : size.cy;
            const CRect rcFirst = records[static_cast<size_t>(row.first)].rect;
            const int nRowTop = rcFirst.top + rcBorder.top;
            const int nColumnRight = rcFirst.right + rcBorder.left + size.cx;
            for (int i = row.first; i <= row.second; ++i) {
                XTP_LAYOUT_RECORD& record = records[static_cast<size_t>(i)];
                if (!record.bVisible || record.bHidden)
                    continue;
                if (!bVertical) {
                    record.rect.OffsetRect(rcBorder.left, rcBorder.top);
                    record.rect.OffsetRect(0, (nThickness - record.nHeight) / 2);
                    record.rectRow.SetRect(rcBorder.left, nRowTop, rcBorder.left + size.cx,
                                           nRowTop + nThickness);
                } else {
                    record.rect.OffsetRect(rcBorder.left + size.cx, rcBorder.top);
                    record.rect.OffsetRect(-(nThickness - record.nWidth) / 2, 0);
                    record.rectRow.SetRect(nColumnRight - nThickness, rcBorder.top, nColumnRight,
                                           rcBorder.top + size.cy);
                }
            }
        }
    }

    size.cx += nBorderX;
    size.cy += nBorderY;

    if (dwMode & LM_COMMIT) {
        for (const auto& row : rows)
            AdjustRow(records, row.first, row.second, bVertical ? size.cy : size.cx, rcBorder, bVertical);
        for (size_t i = 0; i < m_arrControls.size(); ++i) {
            CXTPControl* pControl = m_arrControls[i];
            const XTP_LAYOUT_RECORD& record = records[i];
            pControl->SetHideFlag(xtpHideWrap, record.bHidden);
            pControl->SetRowRect(record.rectRow);
            if (!record.bHidden)
                pControl->SetRect(record.rect);
            pControl->SetWrap(record.bWrap);
        }
    }
    return size;
}
