#include "rebar.h"

#include "mem_dc.h"

namespace {

// The longest a bar is ever asked to be.
const int kFullLength = 32000;
const DWORD kFullLayout = LM_HORZ | LM_HORZDOCK;

// The command bars keep their flags to themselves; the rebar clears the docked flag of a bar it takes.
struct CommandBarFlags : CXTPCommandBar
{
    static DWORD CXTPCommandBar::*Member() { return &CommandBarFlags::m_dwFlags; }
};

} // namespace

IMPLEMENT_DYNAMIC(CXTPReBar, CReBar)

BEGIN_MESSAGE_MAP(CXTPReBar, CReBar)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CXTPReBar::AddCommandBar(CXTPToolBar* pBar, DWORD dwStyle)
{
    if (pBar == NULL || !::IsWindow(pBar->GetSafeHwnd()))
        return FALSE;
    const CSize size = pBar->CalcDynamicLayout(kFullLength, kFullLayout | LM_COMMIT);
    pBar->MoveWindow(0, 0, size.cx, size.cy);
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(pBar->GetSafeHwnd()));
    const BOOL bInDockBar = pParent != NULL && pParent->IsKindOf(RUNTIME_CLASS(CDockBar));
    if (bInDockBar || (pBar->GetFlags() & XTP_BAR_FLAG_DOCKED)) {
        pBar->RemoveFromDockBar();
        pBar->*CommandBarFlags::Member() &= ~static_cast<DWORD>(XTP_BAR_FLAG_DOCKED);
    }
    if (!AddBar(pBar, NULL, NULL, dwStyle))
        return FALSE;
    CReBarCtrl& rebar = GetReBarCtrl();
    REBARBANDINFO band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_ID;
    band.wID = pBar->GetBarID();
    rebar.SetBandInfo(rebar.GetBandCount() - 1, &band);
    return TRUE;
}

CXTPToolBar* CXTPReBar::GetBandToolBar(int nBand, REBARBANDINFO& band, UINT nMask) const
{
    band = REBARBANDINFO();
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | nMask;
    if (!GetReBarCtrl().GetBandInfo(static_cast<UINT>(nBand), &band))
        return NULL;
    return dynamic_cast<CXTPToolBar*>(CWnd::FromHandlePermanent(band.hwndChild));
}

int CXTPReBar::RemoveCommandBar(CXTPToolBar* pBar)
{
    for (int nBand = static_cast<int>(GetReBarCtrl().GetBandCount()) - 1; nBand >= 0; --nBand) {
        REBARBANDINFO band;
        if (pBar != NULL && GetBandToolBar(nBand, band, 0) == pBar)
            return static_cast<int>(GetReBarCtrl().SendMessage(RB_DELETEBAND, static_cast<WPARAM>(nBand)));
    }
    return -1;
}

CSize CXTPReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    const CSize size = CReBar::CalcFixedLayout(bStretch, bHorz);
    if (m_hWnd == NULL)
        return size;
    Invalidate(FALSE);
    for (int nBand = static_cast<int>(GetReBarCtrl().GetBandCount()) - 1; nBand >= 0; --nBand) {
        REBARBANDINFO band;
        CXTPToolBar* pBar = GetBandToolBar(nBand, band, RBBIM_SIZE);
        if (pBar == NULL)
            continue;
        const CSize sizeFull = pBar->CalcDynamicLayout(kFullLength, kFullLayout);
        // A bar that may shrink (hiding controls behind its expand button) is measured shrinking;
        // any other fills the band.
        const DWORD dwCommitted = kFullLayout | LM_COMMIT |
                                  ((pBar->GetFlags() & xtpFlagHideWrap) != 0 ? XTP_LM_SHRINK : LM_STRETCH);
        const CSize sizeCommitted = pBar->CalcDynamicLayout(static_cast<int>(band.cx), dwCommitted);
        band.fMask = RBBIM_CHILDSIZE | RBBIM_IDEALSIZE;
        band.cxMinChild = static_cast<UINT>(sizeCommitted.cx);
        band.cyMinChild = static_cast<UINT>(sizeCommitted.cy);
        band.cyChild = static_cast<UINT>(sizeCommitted.cy);
        band.cxIdeal = static_cast<UINT>(sizeFull.cx);
        GetReBarCtrl().SetBandInfo(static_cast<UINT>(nBand), &band);
        pBar->Invalidate(FALSE);
    }
    return size;
}

void CXTPReBar::OnPaint()
{
    CPaintDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    CXTMemDC memDC(&dc, rectClient, CXTColorPair(::GetSysColor(COLOR_BTNFACE)));
    DefWindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC.m_hDC), 0);
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.m_hDC), 0);
}

BOOL CXTPReBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}
