// CReBar: bands of child bars over the system's rebar window, the rebar's strip in the frame's
// layout and the layout that follows a change of its height.
#include <afxext.h>
#include <afxpriv.h>

IMPLEMENT_DYNAMIC(CReBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CReBar, CControlBar)

// clang-format off
BEGIN_MESSAGE_MAP(CReBar, CControlBar)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_NOTIFY_REFLECT_EX(RBN_HEIGHTCHANGE, OnHeightChange)
END_MESSAGE_MAP()
// clang-format on

BOOL CReBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(REBARCLASSNAME, NULL, dwStyle, rect, pParentWnd, nID);
}

CReBar::CReBar()
{
    SetBorders(0, 0, 0, 0);
}

CReBar::~CReBar()
{
    m_rebarCtrl.m_hWnd = NULL;
}

BOOL CReBar::Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    return CreateSystemBar(REBARCLASSNAME, pParentWnd, dwCtrlStyle | CCS_NODIVIDER, dwStyle, nID);
}

BOOL CReBar::PreCreateWindow(CREATESTRUCT& cs)
{
    return PreCreateSystemBar(cs, REBARCLASSNAME);
}

CReBarCtrl& CReBar::GetReBarCtrl() const
{
    m_rebarCtrl.m_hWnd = m_hWnd;
    return m_rebarCtrl;
}

BOOL CReBar::AddBarBand(CWnd* pBar, REBARBANDINFO& band)
{
    if (m_hWnd == NULL || pBar == NULL || pBar->m_hWnd == NULL)
        return FALSE;
    // A control bar tells its natural size; other windows are taken as they are.
    CSize size;
    if (pBar->IsKindOf(RUNTIME_CLASS(CControlBar)))
        size = static_cast<CControlBar*>(pBar)->CalcFixedLayout(FALSE, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    else {
        CRect rect;
        pBar->GetWindowRect(&rect);
        size = rect.Size();
    }
    pBar->SetParent(this);
    band.fMask |= RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE;
    band.hwndChild = pBar->m_hWnd;
    band.cxMinChild = size.cx;
    band.cyMinChild = size.cy;
    band.cx = size.cx;
    band.wID = static_cast<UINT>(pBar->GetDlgCtrlID());
    if (!GetReBarCtrl().InsertBand(static_cast<UINT>(-1), &band))
        return FALSE;
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
    return TRUE;
}

BOOL CReBar::AddBar(CWnd* pBar, LPCTSTR pszText, CBitmap* pbmp, DWORD dwStyle)
{
    REBARBANDINFO band = {};
    band.cbSize = sizeof(band);
    band.fStyle = dwStyle;
    if (pszText != NULL) {
        band.fMask |= RBBIM_TEXT;
        band.lpText = const_cast<LPTSTR>(pszText);
    }
    if (pbmp != NULL) {
        band.fMask |= RBBIM_BACKGROUND;
        band.hbmBack = static_cast<HBITMAP>(pbmp->GetSafeHandle());
    }
    return AddBarBand(pBar, band);
}

BOOL CReBar::AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCTSTR pszText, DWORD dwStyle)
{
    REBARBANDINFO band = {};
    band.cbSize = sizeof(band);
    band.fStyle = dwStyle;
    band.fMask = RBBIM_COLORS;
    band.clrFore = clrFore;
    band.clrBack = clrBack;
    if (pszText != NULL) {
        band.fMask |= RBBIM_TEXT;
        band.lpText = const_cast<LPTSTR>(pszText);
    }
    return AddBarBand(pBar, band);
}

CSize CReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // The bands' height across the whole edge.
    const int nHeight = m_hWnd != NULL ? static_cast<int>(GetReBarCtrl().GetBarHeight()) : 0;
    return bHorz ? CSize(bStretch ? 32767 : 0, nHeight) : CSize(nHeight, bStretch ? 32767 : 0);
}

CSize CReBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CReBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    // The bands' bars are children of the rebar and bring themselves up to date.
}

BOOL CReBar::OnHeightChange(NMHDR*, LRESULT* pResult)
{
    if (pResult != NULL)
        *pResult = 0;
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
    return FALSE; // the frame may want to know too
}

BOOL CReBar::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}

void CReBar::OnPaint()
{
    Default();
}
