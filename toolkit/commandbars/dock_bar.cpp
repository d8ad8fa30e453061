#include "command_bars.h"

#include <afxpriv.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPDockBar, CWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CXTPDockBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINT, OnPrint)
    ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()
// clang-format on

CXTPDockBar::CXTPDockBar(CXTPCommandBars* pCommandBars) : m_arrBars(1, nullptr), m_pCommandBars(pCommandBars)
{}

CXTPDockBar::~CXTPDockBar()
{
    for (CXTPToolBar* pBar : m_arrBars)
        if (pBar != NULL && pBar->m_pDockBar == this)
            pBar->m_pDockBar = NULL;
    if (::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CXTPDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwDockStyle = dwStyle & 0x40FFFF;
    const LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
    return CreateEx(0, lpszClass, NULL, dwStyle | WS_CLIPSIBLINGS, CRect(0, 0, 0, 0), pParentWnd, nID);
}

XTPBarPosition CXTPDockBar::GetPosition() const
{
    // A dock bar's border is on its inner side: the top one draws its bottom border.
    if (m_dwDockStyle & (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM))
        return xtpBarTop;
    if (m_dwDockStyle & (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP))
        return xtpBarBottom;
    if (m_dwDockStyle & (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT))
        return xtpBarLeft;
    return xtpBarRight;
}

int CXTPDockBar::FindBar(CXTPToolBar* pBar, int nIndexExclude) const
{
    for (int i = 0; i < static_cast<int>(m_arrBars.size()); ++i)
        if (m_arrBars[static_cast<size_t>(i)] == pBar && i != nIndexExclude)
            return i;
    return -1;
}

int CXTPDockBar::RemoveCommandBar(CXTPToolBar* pBar, int nIndexExclude)
{
    const int nIndex = FindBar(pBar, nIndexExclude);
    if (nIndex == -1)
        return 0;
    m_arrBars.erase(m_arrBars.begin() + nIndex);
    // The emptied row goes with the bar.
    if (nIndex > 0 && nIndex < static_cast<int>(m_arrBars.size()) &&
        m_arrBars[static_cast<size_t>(nIndex - 1)] == NULL && m_arrBars[static_cast<size_t>(nIndex)] == NULL)
        m_arrBars.erase(m_arrBars.begin() + nIndex);
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = NULL;
    if (m_pCommandBars != NULL)
        m_pCommandBars->RecalcFrameLayout(TRUE);
    return 0;
}

void CXTPDockBar::NormalizeRows()
{
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CXTPToolBar* pBar = m_arrBars[i];
        if (pBar == NULL || (pBar->GetFlags() & xtpFlagStretched) == 0)
            continue;
        if (i > 0 && m_arrBars[i - 1] != NULL) {
            m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i), nullptr);
            ++i;
        }
        if (i + 1 < m_arrBars.size() && m_arrBars[i + 1] != NULL)
            m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i + 1), nullptr);
    }
}

void CXTPDockBar::DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect)
{
    const BOOL bHere = FindBar(pBar) != -1;
    if (bHere && ::IsWindow(pBar->GetSafeHwnd())) {
        CRect rcWindow;
        pBar->GetWindowRect(&rcWindow);
        if (lpRect == NULL || CRect(lpRect) == rcWindow)
            return;
    }
    const int nExisting = FindBar(pBar);
    if (lpRect != NULL) {
        CRect rect(lpRect);
        ScreenToClient(&rect);
        const BOOL bHorizontal = IsHorizontal();
        const int nCentre = bHorizontal ? rect.CenterPoint().y : rect.CenterPoint().x;
        int nInsert = -1;
        BOOL bNewRow = FALSE;
        int nPreviousEdge = 0;
        size_t nRowStart = 0;
        for (size_t i = 0; i < m_arrBars.size(); ++i) {
            if (m_arrBars[i] != NULL)
                continue;
            // Row [nRowStart, i): its far edge.
            int nFarEdge = 0;
            for (size_t j = nRowStart; j < i; ++j) {
                CXTPToolBar* pRowBar = m_arrBars[j];
                if (pRowBar == pBar || !pRowBar->IsVisible() || !::IsWindow(pRowBar->GetSafeHwnd()))
                    continue;
                CRect rcBar;
                pRowBar->GetWindowRect(&rcBar);
                ScreenToClient(&rcBar);
                nFarEdge = std::max(nFarEdge, static_cast<int>(bHorizontal ? rcBar.bottom : rcBar.right));
            }
            if (nFarEdge > nCentre || (nRowStart == i && nCentre < 0)) {
                nInsert = static_cast<int>(nRowStart);
                bNewRow = nCentre < 0 || nRowStart == i || nCentre == nPreviousEdge;
                break;
            }
            if (nRowStart != i)
                nPreviousEdge = nFarEdge;
            nRowStart = i + 1;
        }
        if (nExisting != -1) {
            m_arrBars[static_cast<size_t>(nExisting)] = NULL;
        }
        if (nInsert == -1) {
            m_arrBars.push_back(pBar);
            m_arrBars.push_back(nullptr);
        } else {
            if (nInsert == 0 && m_arrBars[0] == NULL)
                nInsert = 1;
            m_arrBars.insert(m_arrBars.begin() + nInsert, pBar);
            if (bNewRow)
                m_arrBars.insert(m_arrBars.begin() + nInsert + 1, nullptr);
        }
        pBar->m_rcDocked = rect;
    } else {
        if (nExisting != -1)
            m_arrBars.erase(m_arrBars.begin() + nExisting);
        m_arrBars.push_back(pBar);
        m_arrBars.push_back(nullptr);
        pBar->m_rcDocked.SetRectEmpty();
    }
    // Leftover null entries of a moved bar collapse: no two row ends follow each other after the
    // leading one.
    for (size_t i = 2; i < m_arrBars.size();) {
        if (m_arrBars[i] == NULL && m_arrBars[i - 1] == NULL)
            m_arrBars.erase(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    if (m_arrBars.size() > 1 && m_arrBars[0] == NULL && m_arrBars[1] == NULL)
        m_arrBars.erase(m_arrBars.begin());

    if (::IsWindow(pBar->GetSafeHwnd())) {
        pBar->ModifyStyle(WS_POPUP, WS_CHILD);
        pBar->SetParent(this);
    }
    if (pBar->m_pDockBar != NULL && pBar->m_pDockBar != this)
        pBar->m_pDockBar->RemoveCommandBar(pBar);
    pBar->m_pDockBar = this;
    pBar->m_barPosition = GetPosition();
    NormalizeRows();
    if (m_pCommandBars != NULL)
        m_pCommandBars->RecalcFrameLayout(TRUE);
}

void CXTPDockBar::GetRowBars(int nIndex, std::vector<CXTPToolBar*>& bars) const
{
    bars.clear();
    if (nIndex < 0 || nIndex >= static_cast<int>(m_arrBars.size()))
        return;
    int nStart = nIndex;
    while (nStart > 0 && m_arrBars[static_cast<size_t>(nStart - 1)] != NULL)
        --nStart;
    for (size_t i = static_cast<size_t>(nStart); i < m_arrBars.size() && m_arrBars[i] != NULL; ++i)
        if (m_arrBars[i]->IsVisible())
            bars.push_back(m_arrBars[i]);
    std::stable_sort(bars.begin(), bars.end(), [](CXTPToolBar* a, CXTPToolBar* b) {
        CRect rcA, rcB;
        a->GetWindowRect(&rcA);
        b->GetWindowRect(&rcB);
        return rcA.left < rcB.left;
    });
}

DWORD CXTPDockBar::GetBarMode(CXTPToolBar* pBar, DWORD dwMode) const
{
    DWORD dwBarMode = IsHorizontal() ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    if (pBar->GetFlags() & xtpFlagStretched)
        dwBarMode |= LM_STRETCH;
    // While customising without the request, bars wrap instead of shrinking.
    const BOOL bNoShrink = m_pCommandBars != NULL && m_pCommandBars->IsCustomizeMode() &&
                           !m_pCommandBars->m_bCustomizeModeRequested;
    if ((pBar->GetFlags() & xtpFlagHideWrap) && !bNoShrink)
        dwBarMode |= XTP_LM_SHRINK;
    return dwBarMode | (dwMode & LM_COMMIT);
}

BOOL CXTPDockBar::LayoutRow(std::vector<CXTPToolBar*>& row, int nLength, int nOffset, DWORD dwMode,
                            HDWP& hDWP, int& nThickness, int& nRowLength, CXTPToolBar*& pWrapBar,
                            BOOL bCommit)
{
    const BOOL bHorizontal = IsHorizontal();
    std::vector<RowEntry> entries;
    for (size_t i = 0; i < row.size(); ++i) {
        CXTPToolBar* pBar = row[i];
        const CSize size =
            pBar->CalcDockingLayout(nLength, GetBarMode(pBar, dwMode) & ~static_cast<DWORD>(LM_COMMIT));
        const int nAlong = bHorizontal ? size.cx : size.cy;
        const int nLeft = bHorizontal ? pBar->m_rcDocked.left : pBar->m_rcDocked.top;
        entries.push_back({pBar, CRect(nLeft, 0, nLeft + nAlong, bHorizontal ? size.cy : size.cx),
                           static_cast<int>(i), FALSE, 0});
    }
    // Equal wanted places keep their stored order.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const RowEntry& a, const RowEntry& b) { return a.rect.left < b.rect.left; });
    auto moveTo = [](RowEntry& entry, int nLeft) {
        entry.rect.OffsetRect(nLeft - entry.rect.left, 0);
        entry.bMoved = TRUE;
    };
    const size_t nCount = entries.size();
    for (size_t i = 1; i < nCount; ++i)
        if (entries[i].rect.left < entries[i - 1].rect.right &&
            (entries[i - 1].bMoved || entries[i - 1].nStoredIndex < entries[i].nStoredIndex))
            moveTo(entries[i], entries[i - 1].rect.right);
    for (size_t i = nCount; i-- > 0;) {
        if (entries[i].rect.right > nLength)
            moveTo(entries[i], nLength - entries[i].rect.Width());
        if (i + 1 < nCount && entries[i].rect.right > entries[i + 1].rect.left && entries[i + 1].bMoved &&
            entries[i + 1].nStoredIndex > entries[i].nStoredIndex)
            moveTo(entries[i], entries[i + 1].rect.left - entries[i].rect.Width());
    }
    if (nCount > 0 && entries[0].rect.left < 0)
        moveTo(entries[0], 0);
    for (size_t i = 1; i < nCount; ++i)
        if (entries[i].rect.left < entries[i - 1].rect.right)
            moveTo(entries[i], entries[i - 1].rect.right);

    if (nCount > 0 && entries.back().rect.right > nLength) {
        for (RowEntry& entry : entries) {
            const DWORD dwBarMode = GetBarMode(entry.pBar, dwMode) & ~static_cast<DWORD>(LM_COMMIT);
            if (dwBarMode & XTP_LM_SHRINK) {
                const CSize szMin = entry.pBar->CalcDockingLayout(1, dwBarMode);
                entry.nMinLength = bHorizontal ? szMin.cx : szMin.cy;
            } else {
                entry.nMinLength = nLength;
            }
        }
        int nRight = nLength;
        for (size_t i = nCount; i-- > 0;) {
            int nBefore = 0;
            for (size_t j = 0; j < i; ++j)
                nBefore += entries[j].nMinLength;
            const int nLeft = std::max(
                nBefore, std::min(static_cast<int>(entries[i].rect.left), nRight - entries[i].nMinLength));
            if (nRight - nLeft < entries[i].nMinLength && nCount > 1) {
                pWrapBar = entries.back().pBar;
                return FALSE;
            }
            entries[i].rect.left = std::max(0, nLeft);
            entries[i].rect.right = nRight;
            nRight = entries[i].rect.left;
        }
    }

    nThickness = 0;
    nRowLength = 0;
    for (size_t i = 0; i < nCount; ++i) {
        RowEntry& entry = entries[i];
        const DWORD dwBarMode = GetBarMode(entry.pBar, dwMode);
        int nBarLength = std::min(static_cast<int>(entry.rect.Width()), nLength);
        if (entry.pBar->GetFlags() & xtpFlagStretchedShared) {
            const int nStart = i == 0 ? 0 : static_cast<int>(entries[i - 1].rect.right);
            const int nEnd = i + 1 < nCount ? static_cast<int>(entries[i + 1].rect.left) : nLength;
            entry.rect.left = nStart;
            nBarLength = nEnd - nStart;
        }
        const DWORD dwFinalMode =
            (entry.pBar->GetFlags() & xtpFlagStretchedShared) ? (dwBarMode | LM_STRETCH) : dwBarMode;
        const CSize size = entry.pBar->CalcDockingLayout(
            nBarLength, bCommit ? dwFinalMode : (dwFinalMode & ~static_cast<DWORD>(LM_COMMIT)));
        const int nAcross = bHorizontal ? size.cy : size.cx;
        nThickness = std::max(nThickness, nAcross);
        nRowLength = std::max(nRowLength, static_cast<int>(entry.rect.left) +
                                              static_cast<int>(bHorizontal ? size.cx : size.cy));
        if (bCommit && ::IsWindow(entry.pBar->GetSafeHwnd())) {
            const CRect rcBar = bHorizontal ? CRect(CPoint(entry.rect.left, nOffset), size)
                                            : CRect(CPoint(nOffset, entry.rect.left), size);
            if (hDWP != NULL)
                hDWP = ::DeferWindowPos(hDWP, entry.pBar->GetSafeHwnd(), NULL, rcBar.left, rcBar.top,
                                        rcBar.Width(), rcBar.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
            else
                entry.pBar->SetWindowPos(NULL, rcBar.left, rcBar.top, rcBar.Width(), rcBar.Height(),
                                         SWP_NOZORDER | SWP_NOACTIVATE);
            entry.pBar->Invalidate(FALSE);
        }
    }
    return TRUE;
}

CSize CXTPDockBar::CalcFixedLayout(int nLength, DWORD dwMode, AFX_SIZEPARENTPARAMS* pLayout)
{
    const BOOL bCommit = pLayout != NULL && pLayout->hDWP != NULL;
    HDWP hDWP = bCommit ? ::BeginDeferWindowPos(static_cast<int>(m_arrBars.size())) : NULL;
    int nOffset = 0;
    int nMaxLength = 0;
    std::vector<CXTPToolBar*> row;
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CXTPToolBar* pBar = m_arrBars[i];
        if (pBar != NULL) {
            if (pBar->IsVisible())
                row.push_back(pBar);
            continue;
        }
        // Wrapping moves bars into further rows for this layout only.
        while (!row.empty()) {
            std::vector<CXTPToolBar*> overflow;
            int nThickness = 0, nRowLength = 0;
            CXTPToolBar* pWrapBar = NULL;
            while (
                !LayoutRow(row, nLength, nOffset, dwMode, hDWP, nThickness, nRowLength, pWrapBar, bCommit)) {
                row.erase(std::find(row.begin(), row.end(), pWrapBar));
                overflow.insert(overflow.begin(), pWrapBar);
            }
            nOffset += nThickness;
            nMaxLength = std::max(nMaxLength, nRowLength);
            row.swap(overflow);
        }
    }
    if (hDWP != NULL)
        ::EndDeferWindowPos(hDWP);
    return IsHorizontal() ? CSize(nMaxLength, nOffset) : CSize(nOffset, nMaxLength);
}

LRESULT CXTPDockBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (pLayout == NULL || !(GetStyle() & WS_VISIBLE))
        return 0;
    DWORD dwMode = pLayout->bStretch ? LM_STRETCH : 0;
    if ((m_dwDockStyle & 0x4) && (m_dwDockStyle & 0x1))
        dwMode |= LM_MRUWIDTH | LM_HORZ;
    else
        dwMode |= IsHorizontal() ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    if (pLayout->hDWP != NULL)
        dwMode |= LM_COMMIT;
    CRect rect(pLayout->rect);
    CSize size = CalcFixedLayout(IsHorizontal() ? rect.Width() : rect.Height(), dwMode, pLayout);
    size.cx = std::min(size.cx, static_cast<LONG>(rect.Width()));
    size.cy = std::min(size.cy, static_cast<LONG>(rect.Height()));
    CRect rcStrip(rect);
    switch (GetPosition()) {
    case xtpBarTop:
        rcStrip.bottom = rect.top + size.cy;
        pLayout->rect.top += size.cy;
        break;
    case xtpBarBottom:
        rcStrip.top = rect.bottom - size.cy;
        pLayout->rect.bottom -= size.cy;
        break;
    case xtpBarLeft:
        rcStrip.right = rect.left + size.cx;
        pLayout->rect.left += size.cx;
        break;
    default:
        rcStrip.left = rect.right - size.cx;
        pLayout->rect.right -= size.cx;
        break;
    }
    if (IsHorizontal()) {
        pLayout->sizeTotal.cy += size.cy;
        pLayout->sizeTotal.cx = std::max(pLayout->sizeTotal.cx, size.cx);
    } else {
        pLayout->sizeTotal.cx += size.cx;
        pLayout->sizeTotal.cy = std::max(pLayout->sizeTotal.cy, size.cy);
    }
    if (pLayout->hDWP != NULL)
        AfxRepositionWindow(pLayout, m_hWnd, &rcStrip);
    Invalidate(FALSE);
    return 0;
}

void CXTPDockBar::OnPaint()
{
    CPaintDC dc(this);
    if (m_pCommandBars != NULL)
        m_pCommandBars->GetPaintManager()->FillDockBar(&dc, this);
}

BOOL CXTPDockBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

LRESULT CXTPDockBar::OnPrint(WPARAM wParam, LPARAM lParam)
{
    const HDC hDC = reinterpret_cast<HDC>(wParam);
    if (m_pCommandBars != NULL)
        m_pCommandBars->GetPaintManager()->FillDockBar(CDC::FromHandle(hDC), this);
    if ((lParam & PRF_CHILDREN) == 0)
        return 0;
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != NULL;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(hChild))
            continue;
        CRect rect;
        ::GetWindowRect(hChild, &rect);
        ScreenToClient(&rect);
        POINT ptOld;
        ::OffsetViewportOrgEx(hDC, rect.left, rect.top, &ptOld);
        ::SendMessageW(hChild, WM_PRINT, wParam, lParam);
        ::SetViewportOrgEx(hDC, ptOld.x, ptOld.y, NULL);
    }
    return 0;
}

void CXTPDockBar::OnRButtonDown(UINT, CPoint point)
{
    if (m_pCommandBars == NULL)
        return;
    CPoint ptScreen(point);
    ClientToScreen(&ptScreen);
    m_pCommandBars->ShowContextMenu(NULL, ptScreen);
}
