// CControlBar: the strip a bar takes in its frame's layout, its delayed showing and hiding, and
// its idle-time update of command states.
#include "afx/dock_bar.h"
#include <afxext.h>
#include <afxpriv.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()
// clang-format on

namespace {

const int kBorder = 2;       // a CBRS_BORDER_* edge
const int kGripperSpace = 7; // a gripper with its borders

} // namespace

CControlBar::CControlBar()
    : m_bAutoDelete(FALSE), m_cxLeftBorder(6), m_cxRightBorder(6), m_cyTopBorder(2), m_cyBottomBorder(2),
      m_cxDefaultGap(2), m_nMRUWidth(32767), m_nCount(0), m_pData(NULL), m_nStateFlags(0), m_dwStyle(0),
      m_dwDockStyle(0), m_pDockSite(NULL), m_pDockBar(NULL), m_pDockContext(NULL)
{}

CControlBar::~CControlBar()
{
    if (m_pDockSite != NULL)
        m_pDockSite->RemoveControlBar(this);
}

BOOL CControlBar::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL) {
        AfxDeferRegisterClass(AFX_WNDCONTROLBAR_REG);
        cs.lpszClass = AFX_WNDCONTROLBAR_CLASS;
    }
    // The bar's own style word keeps the CBRS_ bits; the window keeps its window style.
    m_dwStyle |= (cs.style & CBRS_ALL);
    cs.style &= ~CBRS_ALL;
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

BOOL CControlBar::CreateSystemBar(LPCTSTR lpszClass, CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle,
                                  UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    const DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NORESIZE;
    return CWnd::Create(lpszClass, NULL, dwWndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CControlBar::PreCreateSystemBar(CREATESTRUCT& cs, LPCTSTR lpszClass)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = lpszClass;
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (pParent != NULL && pParent->IsFrameWnd()) {
        m_pDockSite = static_cast<CFrameWnd*>(pParent);
        m_pDockSite->AddControlBar(this);
    }
    return 0;
}

void CControlBar::OnDestroy()
{
    if (m_pDockBar != NULL)
        m_pDockBar->RemoveControlBar(this);
    if (m_pDockSite != NULL) {
        m_pDockSite->RemoveControlBar(this);
        m_pDockSite = NULL;
    }
    CWnd::OnDestroy();
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle != dwStyle) {
        const DWORD dwOldStyle = m_dwStyle;
        m_dwStyle = dwStyle;
        OnBarStyleChange(dwOldStyle, dwStyle);
    }
}

void CControlBar::OnBarStyleChange(DWORD, DWORD) {}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    CFrameWnd* pFrame = GetParentFrame();
    return pFrame != NULL ? pFrame : m_pDockSite;
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += kBorder;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += kBorder;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= kBorder;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= kBorder;
    const BOOL bGripper = (m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER;
    if (bHorz) {
        rect.left += m_cxLeftBorder + (bGripper ? kGripperSpace : 0);
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder + (bGripper ? kGripperSpace : 0);
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size((bStretch && bHorz) ? 32767 : 0, (bStretch && !bHorz) ? 32767 : 0);
    CRect rect(0, 0, 0, 0);
    CalcInsideRect(rect, bHorz);
    // The inside of an empty bar is negative by its borders.
    size.cx = std::max(0L, size.cx - rect.Width());
    size.cy = std::max(0L, size.cy - rect.Height());
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    const BOOL bVisible = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !bVisible)
        m_nStateFlags |= delayShow;
    else if (!bShow && bVisible)
        m_nStateFlags |= delayHide;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayShow)
        return TRUE;
    if (m_nStateFlags & delayHide)
        return FALSE;
    return (GetStyle() & WS_VISIBLE) != 0;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    DWORD dwStyle = (m_dwStyle & CBRS_ALIGN_ANY) | (GetStyle() & WS_VISIBLE);
    if (m_nStateFlags & (delayHide | delayShow)) {
        const BOOL bShow = (m_nStateFlags & delayShow) != 0;
        dwStyle = bShow ? (dwStyle | WS_VISIBLE) : (dwStyle & ~WS_VISIBLE);
        if (lpLayout->hDWP != NULL) {
            // Carried out in the layout's batch.
            lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, NULL, 0, 0, 0, 0,
                                              SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                                                  (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
            m_nStateFlags &= ~(delayHide | delayShow);
        }
    }
    return dwStyle;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    AFX_SIZEPARENTPARAMS* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const DWORD dwStyle = RecalcDelayShow(lpLayout);
    if (!(dwStyle & WS_VISIBLE) || !(dwStyle & CBRS_ALIGN_ANY))
        return 0;

    CRect rect(lpLayout->rect);
    const CSize sizeAvail = rect.Size();
    DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        dwMode |= LM_HORZ | LM_MRUWIDTH;
    else if (dwStyle & CBRS_ORIENT_HORZ)
        dwMode |= LM_HORZ | LM_HORZDOCK;
    else
        dwMode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, dwMode);
    size.cx = std::max(0L, std::min(size.cx, sizeAvail.cx));
    size.cy = std::max(0L, std::min(size.cy, sizeAvail.cy));

    if (dwStyle & CBRS_ORIENT_HORZ) {
        lpLayout->sizeTotal.cy += size.cy;
        lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, size.cx);
        if (dwStyle & CBRS_ALIGN_TOP)
            lpLayout->rect.top += size.cy;
        else {
            rect.top = rect.bottom - size.cy;
            lpLayout->rect.bottom -= size.cy;
        }
    } else {
        lpLayout->sizeTotal.cx += size.cx;
        lpLayout->sizeTotal.cy = std::max(lpLayout->sizeTotal.cy, size.cy);
        if (dwStyle & CBRS_ALIGN_LEFT)
            lpLayout->rect.left += size.cx;
        else {
            rect.left = rect.right - size.cx;
            lpLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    AfxRepositionWindow(lpLayout, m_hWnd, &rect);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // A show or hide that no layout has carried out yet happens now.
    const BOOL bVisible = (GetStyle() & WS_VISIBLE) != 0;
    UINT nSwpFlags = 0;
    if ((m_nStateFlags & delayHide) && bVisible)
        nSwpFlags = SWP_HIDEWINDOW;
    else if ((m_nStateFlags & delayShow) && !bVisible)
        nSwpFlags = SWP_SHOWWINDOW;
    m_nStateFlags &= ~(delayShow | delayHide);
    if (nSwpFlags != 0)
        SetWindowPos(NULL, 0, 0, 0, 0, nSwpFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // A docked bar's parent is its dock bar, which must be visible too.
    if ((GetStyle() & WS_VISIBLE) && (m_pDockBar == NULL || ::IsWindowVisible(::GetParent(m_hWnd)))) {
        // The owner decides when it is a frame (a floating bar's owner is the main frame).
        CWnd* pOwner = GetOwner();
        CFrameWnd* pTarget =
            (pOwner != NULL && pOwner->IsFrameWnd()) ? static_cast<CFrameWnd*>(pOwner) : GetParentFrame();
        if (pTarget != NULL)
            OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    }
    return 0;
}

void CControlBar::OnPaint()
{
    CPaintDC dc(this);
    DoPaint(&dc);
}

void CControlBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBorders(pDC, rect);
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    const COLORREF clrHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, clrShadow);
        pDC->FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, clrHilite);
        rect.top += kBorder;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(rect.left, rect.bottom - 2, rect.Width(), 1, clrShadow);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, clrHilite);
        rect.bottom -= kBorder;
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), clrShadow);
        pDC->FillSolidRect(rect.left + 1, rect.top, 1, rect.Height(), clrHilite);
        rect.left += kBorder;
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(rect.right - 2, rect.top, 1, rect.Height(), clrShadow);
        pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), clrHilite);
        rect.right -= kBorder;
    }
}

void CControlBar::EraseNonClient()
{
    CWindowDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    CRect rectWindow;
    GetWindowRect(&rectWindow);
    ScreenToClient(&rectWindow);
    rectClient.OffsetRect(-rectWindow.left, -rectWindow.top);
    dc.ExcludeClipRect(&rectClient);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    DrawBorders(&dc, rectWindow);
    dc.IntersectClipRect(&rectWindow);
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
}
