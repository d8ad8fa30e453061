// CDockBar: the frame's edge strips that hold docked bars, the frame's EnableDocking and
// DockControlBar, and a bar's own EnableDocking.
#include <afxext.h>
#include <afxpriv.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

// clang-format off
BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()
// clang-format on

const DWORD dwDockBarMap[4][2] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_RIGHT},
};

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating)
{
    SetBorders(0, 0, 0, 0);
    m_bAutoDelete = TRUE;
}

CDockBar::~CDockBar()
{
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i) {
        CControlBar* pBar = static_cast<CControlBar*>(m_arrBars.GetAt(i));
        if (pBar->m_pDockBar == this)
            pBar->m_pDockBar = NULL;
    }
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    return CWnd::Create(NULL, NULL, (dwStyle & ~CBRS_ALL) | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                        CRect(0, 0, 0, 0), pParentWnd, nID);
}

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const
{
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        if (i != nPosExclude && m_arrBars.GetAt(i) == pBar)
            return static_cast<int>(i);
    return -1;
}

int CDockBar::GetDockedCount() const
{
    return static_cast<int>(m_arrBars.GetSize());
}

CControlBar* CDockBar::GetDockedControlBar(int nPos) const
{
    if (nPos < 0 || nPos >= m_arrBars.GetSize())
        return NULL;
    return static_cast<CControlBar*>(m_arrBars.GetAt(nPos));
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT)
{
    if (pBar == NULL || pBar->m_hWnd == NULL || m_hWnd == NULL)
        return;
    if (pBar->m_pDockBar != NULL && pBar->m_pDockBar != this)
        pBar->m_pDockBar->RemoveControlBar(pBar);
    if (FindBar(pBar) < 0)
        m_arrBars.Add(pBar);
    // The bar takes the dock bar's edge; its borders stay as they were.
    pBar->m_dwStyle = (pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & CBRS_ALIGN_ANY);
    pBar->m_pDockBar = this;
    if (pBar->GetParent() != this)
        pBar->SetParent(this);
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int)
{
    const int nPos = FindBar(pBar, nPosExclude);
    if (nPos < 0)
        return FALSE;
    m_arrBars.RemoveAt(nPos);
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = NULL;
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->DelayRecalcLayout();
    return TRUE;
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // Each visible bar on its own row (or column); an empty dock bar is nothing.
    CSize size(0, 0);
    for (int i = 0; i < GetDockedCount(); ++i) {
        CControlBar* pBar = GetDockedControlBar(i);
        if (pBar->m_hWnd == NULL || !pBar->IsVisible())
            continue;
        const CSize sizeBar = pBar->CalcFixedLayout(FALSE, bHorz);
        if (bHorz) {
            size.cy += sizeBar.cy;
            size.cx = std::max(size.cx, sizeBar.cx);
        } else {
            size.cx += sizeBar.cx;
            size.cy = std::max(size.cy, sizeBar.cy);
        }
    }
    if (bStretch && (bHorz ? size.cy : size.cx) > 0) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    AFX_SIZEPARENTPARAMS* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const LRESULT lResult = CControlBar::OnSizeParent(wParam, lParam);
    if (lpLayout->hDWP == NULL)
        return lResult;
    // The docked bars inside the strip the dock bar now has, in the same batch.
    const BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    int nOffset = 0;
    for (int i = 0; i < GetDockedCount(); ++i) {
        CControlBar* pBar = GetDockedControlBar(i);
        if (pBar->m_hWnd == NULL)
            continue;
        pBar->RecalcDelayShow(lpLayout);
        if (!pBar->IsVisible())
            continue;
        const CSize sizeBar = pBar->CalcFixedLayout(FALSE, bHorz);
        const CRect rect = bHorz ? CRect(0, nOffset, sizeBar.cx, nOffset + sizeBar.cy)
                                 : CRect(nOffset, 0, nOffset + sizeBar.cx, sizeBar.cy);
        nOffset += bHorz ? sizeBar.cy : sizeBar.cx;
        AfxRepositionWindow(lpLayout, pBar->m_hWnd, &rect);
    }
    return lResult;
}

void CDockBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    // The docked bars are its children and bring themselves up to date.
}

// The frame's part.

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    for (const auto& entry : dwDockBarMap) {
        if (!(dwDockStyle & entry[1] & CBRS_ALIGN_ANY) || GetControlBar(entry[0]) != NULL)
            continue;
        CDockBar* pDock = new CDockBar;
        if (!pDock->Create(this, WS_CLIPSIBLINGS | entry[1], entry[0]))
            delete pDock; // a failed window never reached PostNcDestroy's delete
    }
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    if (pBar == NULL)
        return;
    CDockBar* pDockBar = NULL;
    if (nDockBarID != 0) {
        CControlBar* pFound = GetControlBar(nDockBarID);
        if (pFound != NULL && pFound->IsDockBar())
            pDockBar = static_cast<CDockBar*>(pFound);
    } else {
        // The first edge both the bar and the frame allow.
        for (const auto& entry : dwDockBarMap) {
            if (!(pBar->m_dwDockStyle & entry[1] & CBRS_ALIGN_ANY))
                continue;
            CControlBar* pFound = GetControlBar(entry[0]);
            if (pFound != NULL && pFound->IsDockBar()) {
                pDockBar = static_cast<CDockBar*>(pFound);
                break;
            }
        }
    }
    if (pDockBar != NULL)
        pDockBar->DockControlBar(pBar, lpRect);
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
}
