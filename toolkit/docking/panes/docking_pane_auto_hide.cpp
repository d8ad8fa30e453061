#include "docking_pane_auto_hide.h"

#include "docking_pane.h"
#include "docking_pane_layout.h"
#include "docking_pane_manager.h"
#include "docking_pane_paint_manager.h"
#include "docking_pane_tabbed_container.h"
#include "draw_helpers.h"
#include "gradient_fill.h"
#include "image_manager.h"
#include "prop_exchange.h"
#include "resource_loader.h"
#include "splitter_drag_tracker.h"
#include "tab_appearance_set.h"
#include "tab_color_set.h"
#include "tab_paint_manager.h"
#include "toolkit_resource_ids.h"

#include <afxpriv.h>
#include <windowsx.h>

#include <algorithm>

double CXTPDockingPaneAutoHideWnd::m_dAnimationFactor = -1.0;
int CXTPDockingPaneAutoHideWnd::m_nAnimationPeriod = 16;
int CXTPDockingPaneAutoHideWnd::m_nAnimationDuration = 128;
BOOL CXTPDockingPaneAutoHideWnd::m_bCloseOnLeave = TRUE;
DWORD CXTPDockingPaneAutoHideWnd::m_dwHoverTime = HOVER_DEFAULT;
int CXTPDockingPaneAutoHideWnd::m_nCheckPeriod = 100;

namespace {

BOOL IsVerticalSide(int nSide)
{
    return nSide == xtpPaneDockTop || nSide == xtpPaneDockBottom;
}

// The room the side panels leave in the site's client area.
CRect AreaLeftBySidePanels(CXTPDockingPaneLayout* pLayout, CWnd* pSite)
{
    CRect rc;
    pSite->GetClientRect(&rc);
    for (CXTPDockingPaneBase* pBase : pLayout->m_wndSidePanels) {
        CXTPDockingPaneAutoHidePanel* pPanel = static_cast<CXTPDockingPaneAutoHidePanel*>(pBase);
        if (pPanel == NULL || pPanel->m_hWnd == NULL || !pPanel->IsWindowVisible())
            continue;
        CRect rcPanel;
        pPanel->GetWindowRect(&rcPanel);
        pSite->ScreenToClient(&rcPanel);
        switch (pPanel->GetDirection()) {
        case xtpPaneDockLeft:
            rc.left = std::max(rc.left, rcPanel.right);
            break;
        case xtpPaneDockRight:
            rc.right = std::min(rc.right, rcPanel.left);
            break;
        case xtpPaneDockTop:
            rc.top = std::max(rc.top, rcPanel.bottom);
            break;
        default:
            rc.bottom = std::min(rc.bottom, rcPanel.top);
            break;
        }
    }
    return rc;
}

// Keeps the rectangle's edge at the side and gives it nSize along the side's axis.
void SetExtent(CRect& rc, int nSide, int nSize)
{
    switch (nSide) {
    case xtpPaneDockLeft:
        rc.right = rc.left + nSize;
        break;
    case xtpPaneDockRight:
        rc.left = rc.right - nSize;
        break;
    case xtpPaneDockTop:
        rc.bottom = rc.top + nSize;
        break;
    default:
        rc.top = rc.bottom - nSize;
        break;
    }
}

BOOL PaneHasFocus(CXTPDockingPaneTabbedContainer* pContainer)
{
    return pContainer != NULL && pContainer->GetSelected() != NULL && pContainer->GetSelected()->HasFocus();
}

const wchar_t kPanelClassName[] = L"XTPDockingPaneAutoHidePanel";

} // namespace

// ---------------------------------------------------------------------------------------------------------
// The sliding window.

CXTPDockingPaneAutoHideWnd::CXTPDockingPaneAutoHideWnd(CXTPDockingPaneAutoHidePanel* pPanel,
                                                       CXTPDockingPaneTabbedContainer* pContainer)
    : m_pContainer(pContainer), m_pPanel(pPanel), m_nSide(pPanel->GetDirection()),
      m_bHorizSlide(IsVerticalSide(pPanel->GetDirection()))
{
    CXTPDockingPaneManager* pManager = GetManager();
    CWnd* pSite = pPanel->GetDockingSite();
    CRect rc = AreaLeftBySidePanels(pPanel->GetLayout(), pSite);

    MINMAXINFO mmi;
    GetMinMaxInfo(&mmi, TRUE);
    CXTPDockingPane* pPane = pContainer->GetSelected();
    const BOOL bVertical = IsVerticalSide(m_nSide);
    int nSize =
        (pPane != NULL ? (bVertical ? pPane->m_szDocking.cy : pPane->m_szDocking.cx) : 0) + kSplitterSize;
    const int nMin = bVertical ? mmi.ptMinTrackSize.y : mmi.ptMinTrackSize.x;
    const int nMax = bVertical ? mmi.ptMaxTrackSize.y : mmi.ptMaxTrackSize.x;
    nSize = std::max(nMin, std::min(nSize, nMax));
    SetExtent(rc, pManager->MirrorDirection(m_nSide), nSize);
    m_rcFull = rc;

    HCURSOR hCursor = NULL;
    if (GetSplitterRect(NULL) && !pManager->m_bLockSplitters)
        hCursor = GetResourceLoader()->LoadCursor(bVertical ? XT_IDC_VSPLITBAR : XT_IDC_HSPLITBAR);
    if (hCursor == NULL)
        hCursor = ::LoadCursor(NULL, IDC_ARROW);

    pSite->SendMessage(WM_SETREDRAW, FALSE);
    const DWORD dwExStyle = (pSite->GetExStyle() & WS_EX_LAYOUTRTL) ? WS_EX_LAYOUTRTL : 0;
    CreateEx(dwExStyle, AfxRegisterWndClass(0, hCursor), L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
             m_rcFull, pSite, 0);
    pSite->SendMessage(WM_SETREDRAW, TRUE);

    if (m_dAnimationFactor == 0.0 || m_nAnimationPeriod == 0) {
        m_nStepsCount = 1;
    } else if (m_dAnimationFactor > 0.0) {
        const int nLength = bVertical ? m_rcFull.Height() : m_rcFull.Width();
        m_nStepsCount = std::max(1, static_cast<int>(nLength * m_dAnimationFactor / m_nAnimationPeriod));
    } else {
        // A duration shorter than the period still slides in one step.
        m_nStepsCount = std::max(1, m_nAnimationDuration / m_nAnimationPeriod);
    }
    if (m_hWnd == NULL)
        return;
    if (m_nStepsCount > 1)
        SetTimer(kTimerSlideOut, static_cast<UINT>(m_nAnimationPeriod), NULL);
    RecalcLayout();
    Slide();
    ShowWindow(SW_SHOW);
    SetTimer(kTimerCheck, static_cast<UINT>(m_nCheckPeriod), NULL);
    m_nDeactivationCount = kDeactivationCount;
}

CXTPDockingPaneManager* CXTPDockingPaneAutoHideWnd::GetManager() const
{
    return m_pPanel->GetDockingPaneManager();
}

void CXTPDockingPaneAutoHideWnd::GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo, BOOL bIncludeSplitter) const
{
    ZeroMemory(pMinMaxInfo, sizeof(MINMAXINFO));
    pMinMaxInfo->ptMaxTrackSize = CPoint(32000, 32000);
    if (m_pContainer == NULL || m_pContainer->GetSelected() == NULL)
        return;
    m_pContainer->GetSelected()->GetMinMaxInfo(pMinMaxInfo);
    CRect rc(0, 0, 1000, 1000);
    m_pPanel->GetDockingPaneManager()->GetPaintManager()->AdjustCaptionRect(m_pContainer, rc);
    const CSize szCaption(1000 - rc.Width(), 1000 - rc.Height());
    pMinMaxInfo->ptMinTrackSize.x += szCaption.cx;
    pMinMaxInfo->ptMinTrackSize.y += szCaption.cy;
    pMinMaxInfo->ptMaxTrackSize.x += szCaption.cx;
    pMinMaxInfo->ptMaxTrackSize.y += szCaption.cy;
    if (!bIncludeSplitter)
        return;
    if (IsVerticalSide(m_nSide)) {
        pMinMaxInfo->ptMinTrackSize.y += kSplitterSize;
        pMinMaxInfo->ptMaxTrackSize.y += kSplitterSize;
    } else {
        pMinMaxInfo->ptMinTrackSize.x += kSplitterSize;
        pMinMaxInfo->ptMaxTrackSize.x += kSplitterSize;
    }
}

BOOL CXTPDockingPaneAutoHideWnd::GetSplitterRect(CRect* pSplitter, CRect* pLimits) const
{
    if (m_pContainer == NULL)
        return FALSE;
    // The strip lies along the side opposite the panel.
    static const int kOpposite[4] = {xtpPaneDockRight, xtpPaneDockLeft, xtpPaneDockBottom, xtpPaneDockTop};
    CRect rc(0, 0, m_rcFull.Width(), m_rcFull.Height());
    SetExtent(rc, kOpposite[m_nSide & 3], kSplitterSize);
    if (pSplitter != NULL)
        *pSplitter = rc;
    if (pLimits != NULL) {
        // The far edge stays between the pane's minimum and the opposite side panel.
        MINMAXINFO mmi;
        GetMinMaxInfo(&mmi, m_nSide == xtpPaneDockRight || m_nSide == xtpPaneDockBottom);
        const CRect rcArea = AreaLeftBySidePanels(m_pPanel->GetLayout(), m_pPanel->GetDockingSite());
        const BOOL bVertical = IsVerticalSide(m_nSide);
        const int nMin =
            std::max<int>(kSplitterSize, bVertical ? mmi.ptMinTrackSize.y : mmi.ptMinTrackSize.x);
        const int nArea = bVertical ? rcArea.Height() : rcArea.Width();
        const int nMax = std::max<int>(
            nMin, std::min<int>(nArea, bVertical ? mmi.ptMaxTrackSize.y : mmi.ptMaxTrackSize.x));
        *pLimits = CRect(nMin, nMin, nMax, nMax);
    }
    return TRUE;
}

void CXTPDockingPaneAutoHideWnd::Slide()
{
    if (m_hWnd == NULL)
        return;
    const int k = m_nStep + 1;
    CRect rc = m_rcFull;
    SetExtent(rc, m_nSide,
              (IsVerticalSide(m_nSide) ? m_rcFull.Height() : m_rcFull.Width()) * k / m_nStepsCount);
    SetWindowPos(&wndTop, rc.left, rc.top, rc.Width(), rc.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    RecalcLayout();
    Invalidate(FALSE);
}

void CXTPDockingPaneAutoHideWnd::RecalcLayout(BOOL bNotify)
{
    (void)bNotify;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    if (m_hWnd == NULL || m_pContainer == NULL)
        return;
    // The container keeps its full size at its place while the window grows from the panel's edge.
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    GetParent()->ScreenToClient(&rcWindow);
    CRect rc(m_rcFull.left - rcWindow.left, m_rcFull.top - rcWindow.top, 0, 0);
    rc.right = rc.left + m_rcFull.Width();
    rc.bottom = rc.top + m_rcFull.Height();
    switch (m_nSide) {
    case xtpPaneDockLeft:
        rc.right -= kSplitterSize;
        break;
    case xtpPaneDockRight:
        rc.left += kSplitterSize;
        break;
    case xtpPaneDockTop:
        rc.bottom -= kSplitterSize;
        break;
    default:
        rc.top += kSplitterSize;
        break;
    }
    m_pContainer->OnSizeParent(this, rc, NULL);
    if (m_pContainer->m_hWnd != NULL) {
        if (::GetParent(m_pContainer->m_hWnd) != m_hWnd) {
            ::SetParent(m_pContainer->m_hWnd, m_hWnd);
            m_pContainer->OnSizeParent(this, rc, NULL);
        }
        if (!m_pContainer->IsWindowVisible())
            m_pContainer->ShowWindow(SW_SHOWNOACTIVATE);
    }
}

void CXTPDockingPaneAutoHideWnd::Detach()
{
    if (m_pContainer != NULL && m_pContainer->m_hWnd != NULL && m_hWnd != NULL &&
        ::GetParent(m_pContainer->m_hWnd) == m_hWnd) {
        m_pContainer->ShowWindow(SW_HIDE);
        CWnd* pSite = m_pPanel != NULL ? m_pPanel->GetDockingSite() : NULL;
        if (pSite != NULL && pSite->m_hWnd != NULL)
            ::SetParent(m_pContainer->m_hWnd, pSite->m_hWnd);
    }
    m_pContainer = NULL;
    m_pPanel = NULL;
}

void CXTPDockingPaneAutoHideWnd::Reopen()
{
    m_nDeactivationCount = kDeactivationCount;
    if (m_bCollapsing) {
        m_bCollapsing = FALSE;
        KillTimer(kTimerSlideBack);
        SetTimer(kTimerSlideOut, static_cast<UINT>(m_nAnimationPeriod), NULL);
    }
    SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RecalcLayout();
    Invalidate(FALSE);
}

void CXTPDockingPaneAutoHideWnd::Close()
{
    if (m_hWnd == NULL)
        return;
    ShowWindow(SW_HIDE);
    CXTPDockingPaneAutoHidePanel* pPanel = m_pPanel;
    if (PaneHasFocus(m_pContainer) && pPanel != NULL && pPanel->GetDockingSite() != NULL)
        pPanel->GetDockingSite()->SetFocus();
    // The container goes back to wait, hidden, in the site; the window no longer knows the panel, so
    // that its end never reaches a panel gone in the meantime.
    Detach();
    if (pPanel != NULL)
        pPanel->ForgetWindow(this);
    PostMessage(WM_CLOSE);
}

void CXTPDockingPaneAutoHideWnd::PostNcDestroy()
{
    if (m_pPanel != NULL)
        m_pPanel->ForgetWindow(this);
    delete this;
}

void CXTPDockingPaneAutoHideWnd::CheckMouse()
{
    CPoint pt;
    ::GetCursorPos(&pt);
    CRect rcWindow, rcPanel;
    GetWindowRect(&rcWindow);
    if (m_pPanel->m_hWnd != NULL)
        m_pPanel->GetWindowRect(&rcPanel);
    const BOOL bOutside = !PaneHasFocus(m_pContainer) && !rcWindow.PtInRect(pt) && !rcPanel.PtInRect(pt);
    if (bOutside) {
        if (m_bCollapsing)
            return;
        if (--m_nDeactivationCount > 0)
            return;
        m_nDeactivationCount = 0;
        CXTPDockingPaneManager* pManager = GetManager();
        if (m_bCloseOnLeave &&
            !pManager->NotifyOwner(xtpPaneActionCollapsing, m_pContainer->GetSelected(), m_pContainer, 0)) {
            m_bCollapsing = TRUE;
            SetTimer(kTimerSlideBack, static_cast<UINT>(m_nAnimationPeriod), NULL);
        } else {
            m_nDeactivationCount = kDeactivationCount;
        }
        return;
    }
    m_nDeactivationCount = kDeactivationCount;
    if (m_bCollapsing) {
        m_bCollapsing = FALSE;
        KillTimer(kTimerSlideBack);
        SetTimer(kTimerSlideOut, static_cast<UINT>(m_nAnimationPeriod), NULL);
    }
}

void CXTPDockingPaneAutoHideWnd::OnTimer(UINT_PTR nID)
{
    if (nID == kTimerClose) {
        KillTimer(kTimerClose);
        Close();
        return;
    }
    if (m_pContainer == NULL || m_pPanel == NULL)
        return;
    if (nID == kTimerCheck && !m_bTracking) {
        CheckMouse();
    } else if (nID == kTimerSlideBack && m_bCollapsing) {
        if (--m_nStep < 0) {
            m_nStep = 0;
            m_bCollapsing = FALSE;
            KillTimer(kTimerSlideBack);
            GetManager()->NotifyOwner(xtpPaneActionCollapsed, m_pContainer->GetSelected(), m_pContainer, 0);
            Close();
        } else {
            Slide();
        }
    } else if (nID == kTimerSlideOut && !m_bCollapsing) {
        if (++m_nStep < m_nStepsCount) {
            Slide();
        } else {
            m_nStep = m_nStepsCount - 1;
            KillTimer(kTimerSlideOut);
            GetManager()->NotifyOwner(xtpPaneActionExpanded, m_pContainer->GetSelected(), m_pContainer, 0);
        }
    }
}

void CXTPDockingPaneAutoHideWnd::OnPaint()
{
    CPaintDC dc(this);
    if (m_pContainer == NULL || m_pPanel == NULL)
        return;
    CXTPDockingPanePaintManager* pPaintManager = GetManager()->GetPaintManager();
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(rc, pPaintManager->GetColor(51));
    // The inner edge, in the colours of the system's numbers.
    switch (m_nSide) {
    case xtpPaneDockLeft:
        dc.FillSolidRect(rc.right - 1, 0, 1, rc.Height(), pPaintManager->GetColor(COLOR_BTNTEXT));
        dc.FillSolidRect(rc.right - 2, 0, 1, rc.Height(), pPaintManager->GetColor(COLOR_BTNSHADOW));
        break;
    case xtpPaneDockTop:
        dc.FillSolidRect(0, rc.bottom - 1, rc.Width(), 1, pPaintManager->GetColor(COLOR_BTNTEXT));
        dc.FillSolidRect(0, rc.bottom - 2, rc.Width(), 1, pPaintManager->GetColor(COLOR_BTNSHADOW));
        break;
    case xtpPaneDockRight:
        dc.FillSolidRect(0, 0, 1, rc.Height(), pPaintManager->GetColor(COLOR_BTNHIGHLIGHT));
        break;
    default:
        dc.FillSolidRect(0, 0, rc.Width(), 1, pPaintManager->GetColor(COLOR_BTNHIGHLIGHT));
        break;
    }
}

void CXTPDockingPaneAutoHideWnd::ApplySize(int nSize)
{
    if (m_pContainer == NULL)
        return;
    const BOOL bVertical = IsVerticalSide(m_nSide);
    if (CXTPDockingPane* pPane = m_pContainer->GetSelected()) {
        if (bVertical)
            pPane->m_szDocking.cy = nSize - kSplitterSize;
        else
            pPane->m_szDocking.cx = nSize - kSplitterSize;
    }
    SetExtent(m_rcFull, m_nSide, nSize);
    SetWindowPos(NULL, m_rcFull.left, m_rcFull.top, m_rcFull.Width(), m_rcFull.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

int CXTPDockingPaneAutoHideWnd::SizeForEdge(int nEdge) const
{
    switch (m_nSide) {
    case xtpPaneDockLeft:
        return nEdge - m_rcFull.left;
    case xtpPaneDockRight:
        return m_rcFull.right - nEdge;
    case xtpPaneDockTop:
        return nEdge - m_rcFull.top;
    default:
        return m_rcFull.bottom - nEdge;
    }
}

void CXTPDockingPaneAutoHideWnd::BeginResize(CPoint point)
{
    CXTPDockingPaneManager* pManager = GetManager();
    CRect rcSplitter, rcLimits;
    if (pManager->m_bLockSplitters || m_pContainer == NULL || !GetSplitterRect(&rcSplitter, &rcLimits) ||
        !rcSplitter.PtInRect(point))
        return;
    const BOOL bVertical = IsVerticalSide(m_nSide);
    const int nMin = rcLimits.left, nMax = rcLimits.right;
    auto clamp = [nMin, nMax](int nSize) { return std::max(nMin, std::min(nSize, nMax)); };
    CWnd* pSite = GetParent();
    m_bTracking = TRUE;
    if (!pManager->m_bUseSplitterTracker) {
        // Live: every move along the axis resizes at once; Escape keeps what was applied last.
        SetCapture();
        MSG msg;
        while (::GetCapture() == m_hWnd) {
            if (!::GetMessage(&msg, NULL, 0, 0)) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (msg.message == WM_LBUTTONUP || msg.message == WM_CANCELMODE ||
                (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
                break;
            if (msg.message == WM_MOUSEMOVE) {
                CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
                ::MapWindowPoints(msg.hwnd, pSite->m_hWnd, &pt, 1);
                const int nSize = clamp(SizeForEdge(bVertical ? pt.y : pt.x));
                if (nSize != (bVertical ? m_rcFull.Height() : m_rcFull.Width()))
                    ApplySize(nSize);
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    } else {
        // An outline between the limits, applied once on release.
        CRect rcTracker = rcSplitter;
        ClientToScreen(&rcTracker);
        CRect rcSite;
        pSite->GetWindowRect(&rcSite);
        const BOOL bFarSide = m_nSide == xtpPaneDockRight || m_nSide == xtpPaneDockBottom;
        const int nOrigin = bVertical ? rcSite.top : rcSite.left;
        const int nNear = bVertical ? m_rcFull.top : m_rcFull.left;
        const int nFar = bVertical ? m_rcFull.bottom : m_rcFull.right;
        const int nFirst = nOrigin + (bFarSide ? nFar - nMax : nNear + nMin - kSplitterSize);
        const int nLast = nOrigin + (bFarSide ? nFar - nMin : nNear + nMax - kSplitterSize);
        const CRect rcBounds = bVertical ? CRect(rcTracker.left, nFirst, rcTracker.left, nLast)
                                         : CRect(nFirst, rcTracker.top, nLast, rcTracker.top);
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        CXTSplitterDragTracker tracker;
        if (tracker.Track(this, rcBounds, rcTracker, ptScreen, !bVertical)) {
            pSite->ScreenToClient(&rcTracker);
            const CRect rc = rcTracker;
            const int nEdge = bVertical ? (bFarSide ? rc.top : rc.bottom) : (bFarSide ? rc.left : rc.right);
            ApplySize(clamp(SizeForEdge(nEdge)));
        }
    }
    m_bTracking = FALSE;
}

LRESULT CXTPDockingPaneAutoHideWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_LBUTTONDOWN:
        BeginResize(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_MOUSEMOVE:
        if (m_bCollapsing && m_pContainer != NULL && m_pPanel != NULL)
            CheckMouse();
        break;
    default:
        break;
    }
    return CMiniFrameWnd::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------------------
// A group of tabs on the strip.

CXTPDockingPaneAutoHideGroup::CXTPDockingPaneAutoHideGroup(CXTPDockingPaneAutoHidePanel* pPanel)
    : m_pPanel(pPanel)
{
    for (int i = 0; i < GetNavigateButtonCount(); ++i)
        GetNavigateButton(i)->SetShowMode(0);
}

void CXTPDockingPaneAutoHideGroup::Reposition()
{
    RedrawControl();
}

CXTPTabPaintManager* CXTPDockingPaneAutoHideGroup::GetPaintManager() const
{
    return m_pPanel->GetDockingPaneManager()->GetPaintManager()->GetAutoHidePanelPaintManager();
}

void CXTPDockingPaneAutoHideGroup::RedrawControl()
{
    if (m_pPanel->m_hWnd != NULL)
        ::InvalidateRect(m_pPanel->m_hWnd, NULL, FALSE);
}

XTPTabPosition CXTPDockingPaneAutoHideGroup::GetPosition() const
{
    static const XTPTabPosition kPositions[4] = {xtpTabPositionRight, xtpTabPositionLeft,
                                                 xtpTabPositionBottom, xtpTabPositionTop};
    const int nSide = m_pPanel->GetDirection();
    return kPositions[nSide >= 0 && nSide < 4 ? nSide : 0];
}

BOOL CXTPDockingPaneAutoHideGroup::DrawItemIcon(CDC* pDC, CXTPTabManagerItem* pItem, CPoint pt, CSize szIcon,
                                                BOOL bDraw)
{
    if (!GetPaintManager()->m_bShowIcons)
        return FALSE;
    CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(pItem->GetData());
    CXTPImageManagerIcon* pIcon = pPane != NULL ? pPane->GetImage(szIcon.cx) : NULL;
    if (pIcon == NULL || pIcon->GetImage().IsEmpty())
        return FALSE;
    if (bDraw) {
        CXTPImageHandle& hImage = !pItem->IsEnabled()   ? pIcon->GetDisabledImage()
                                  : pItem->IsHot()      ? pIcon->GetHotImage()
                                  : pItem->IsSelected() ? pIcon->GetPressedImage()
                                                        : pIcon->GetImage();
        pIcon->Draw(pDC, pt, hImage, szIcon);
    }
    return TRUE;
}

BOOL CXTPDockingPaneAutoHideGroup::IsAllowReorder() const
{
    return CXTPTabManager::IsAllowReorder();
}

// ---------------------------------------------------------------------------------------------------------
// The side panel.

CXTPDockingPaneAutoHidePanel::CXTPDockingPaneAutoHidePanel(CXTPDockingPaneLayout* pLayout)
    : CXTPDockingPaneBase(xtpPaneTypeSidePanel, pLayout)
{}

CXTPDockingPaneAutoHidePanel::~CXTPDockingPaneAutoHidePanel()
{
    DestroyWindows();
    DestroyPanelWindow();
    DeleteGroups();
    m_lstContainers.clear();
}

void CXTPDockingPaneAutoHidePanel::DestroyWindows()
{
    // Windows still open or closing forget the panel before it goes.
    std::vector<CXTPDockingPaneAutoHideWnd*> lstWindows = m_lstClosing;
    lstWindows.insert(lstWindows.end(), m_lstOpen.begin(), m_lstOpen.end());
    m_pShownWnd = NULL;
    m_lstOpen.clear();
    m_lstClosing.clear();
    for (CXTPDockingPaneAutoHideWnd* pWnd : lstWindows) {
        pWnd->Detach();
        if (pWnd->m_hWnd != NULL)
            pWnd->DestroyWindow();
    }
}

void CXTPDockingPaneAutoHidePanel::ForgetWindow(CXTPDockingPaneAutoHideWnd* pWnd)
{
    if (m_pShownWnd == pWnd)
        m_pShownWnd = NULL;
    m_lstOpen.erase(std::remove(m_lstOpen.begin(), m_lstOpen.end(), pWnd), m_lstOpen.end());
    m_lstClosing.erase(std::remove(m_lstClosing.begin(), m_lstClosing.end(), pWnd), m_lstClosing.end());
}

CXTPDockingPaneAutoHideWnd* CXTPDockingPaneAutoHidePanel::FindOpenWindow(
    const CXTPDockingPaneTabbedContainer* pContainer) const
{
    const auto it =
        std::find_if(m_lstOpen.begin(), m_lstOpen.end(), [pContainer](CXTPDockingPaneAutoHideWnd* pWnd) {
            return pWnd->GetContainer() == pContainer;
        });
    return it != m_lstOpen.end() ? *it : NULL;
}

void CXTPDockingPaneAutoHidePanel::DestroyPanelWindow()
{
    if (m_hWnd != NULL) {
        m_dropTarget.Revoke();
        DestroyWindow();
    }
}

void CXTPDockingPaneAutoHidePanel::DeleteGroups()
{
    for (CXTPDockingPaneAutoHideGroup* pGroup : m_lstGroups)
        delete pGroup;
    m_lstGroups.clear();
}

BOOL CXTPDockingPaneAutoHidePanel::CreatePanelWindow()
{
    if (m_hWnd != NULL)
        return TRUE;
    CWnd* pSite = GetDockingSite();
    if (pSite == NULL || pSite->m_hWnd == NULL)
        return FALSE;
    WNDCLASSW wc = {};
    if (!::GetClassInfoW(AfxGetInstanceHandle(), kPanelClassName, &wc)) {
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = kPanelClassName;
        AfxRegisterClass(&wc);
    }
    if (!CreateEx(0, kPanelClassName, NULL, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                  CRect(0, 0, 0, 0), pSite, 0))
        return FALSE;
    m_dropTarget.Register(this);
    return TRUE;
}

BOOL CXTPDockingPaneAutoHidePanel::IsEmpty() const
{
    return std::all_of(m_lstContainers.begin(), m_lstContainers.end(),
                       [](CXTPDockingPaneTabbedContainer* pContainer) { return pContainer->IsEmpty(); });
}

BOOL CXTPDockingPaneAutoHidePanel::ContainsPane(CXTPDockingPaneBase* pPane) const
{
    if (pPane == this)
        return TRUE;
    return std::any_of(
        m_lstContainers.begin(), m_lstContainers.end(),
        [pPane](CXTPDockingPaneTabbedContainer* pContainer) { return pContainer->ContainsPane(pPane); });
}

void CXTPDockingPaneAutoHidePanel::FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList)
{
    if (type == xtpPaneTypeSidePanel)
        pList->push_back(this);
    for (CXTPDockingPaneTabbedContainer* pContainer : m_lstContainers)
        pContainer->FindPane(type, pList);
}

int CXTPDockingPaneAutoHidePanel::GetThickness() const
{
    CXTPTabPaintManager* pPaintManager =
        GetDockingPaneManager()->GetPaintManager()->GetAutoHidePanelPaintManager();
    CXTPTabAppearanceSet* pAppearance = pPaintManager->GetAppearanceSet();
    const CRect rcMargin = pAppearance->GetHeaderMargin();
    return pAppearance->GetButtonHeight() + rcMargin.top + rcMargin.bottom;
}

void CXTPDockingPaneAutoHidePanel::AddContainer(CXTPDockingPaneTabbedContainer* pContainer)
{
    m_lstContainers.push_back(pContainer);
    pContainer->m_pParentContainer = this;
    pContainer->OnParentChanged(this);
    pContainer->SetParentFrame(GetDockingSite());
    DelayLayoutFrame();
    CXTPDockingPane* pSelected = pContainer->GetSelected();
    if (pContainer->GetPanes().size() == 1 && pSelected != NULL && pSelected->HasFocus() &&
        GetDockingSite() != NULL)
        GetDockingSite()->SetFocus();
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CXTPDockingPaneAutoHidePanel::RemovePane(CXTPDockingPaneBase* pPane)
{
    const auto it = std::find(m_lstContainers.begin(), m_lstContainers.end(), pPane);
    if (it == m_lstContainers.end()) {
        if (m_hWnd != NULL)
            Invalidate(FALSE);
        return;
    }
    if (m_pShownWnd != NULL && m_pShownWnd->GetContainer() == pPane)
        ClosePane(FALSE);
    // A window left open on the container (they stay open when they do not close on leave) must not
    // outlive its place on the strip.
    const std::vector<CXTPDockingPaneAutoHideWnd*> lstOpen = m_lstOpen;
    for (CXTPDockingPaneAutoHideWnd* pWnd : lstOpen) {
        if (pWnd->GetContainer() == pPane) {
            ForgetWindow(pWnd);
            pWnd->Close();
        }
    }
    m_lstContainers.erase(it);
    if (m_hWnd != NULL)
        Invalidate(FALSE);
    DelayLayoutFrame();
    if (m_lstContainers.empty())
        DestroyPanelWindow();
    pPane->m_pParentContainer = NULL;
}

void CXTPDockingPaneAutoHidePanel::PositionPanel(CRect* pRect)
{
    if (IsEmpty()) {
        if (m_pShownWnd != NULL)
            ClosePane(FALSE);
        DestroyPanelWindow();
        return;
    }
    if (m_hWnd == NULL && !CreatePanelWindow())
        return;
    ClosePane(FALSE);
    const int nThickness = GetThickness();
    CRect rcPanel = *pRect;
    SetExtent(rcPanel, m_nSide, nThickness);
    switch (m_nSide) {
    case xtpPaneDockLeft:
        pRect->left += nThickness;
        break;
    case xtpPaneDockRight:
        pRect->right -= nThickness;
        break;
    case xtpPaneDockTop:
        pRect->top += nThickness;
        break;
    default:
        pRect->bottom -= nThickness;
        break;
    }
    m_rcWindow = rcPanel;
    SetWindowPos(NULL, rcPanel.left, rcPanel.top, rcPanel.Width(), rcPanel.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout(FALSE);
}

void CXTPDockingPaneAutoHidePanel::RecalcLayout(BOOL bDelay)
{
    (void)bDelay;
    if (m_hWnd == NULL)
        return;
    CClientDC dc(this);
    RebuildGroups(&dc);
    Invalidate(FALSE);
}

void CXTPDockingPaneAutoHidePanel::RebuildGroups(CDC* pDC)
{
    DeleteGroups();
    CRect rcClient;
    GetClientRect(&rcClient);
    const BOOL bVertical = m_nSide == xtpPaneDockLeft || m_nSide == xtpPaneDockRight;
    int nStart = 0;
    // The left and right strips start below the top strip.
    if (bVertical) {
        CXTPDockingPaneAutoHidePanel* pTop =
            static_cast<CXTPDockingPaneAutoHidePanel*>(m_pLayout->m_wndSidePanels[xtpPaneDockTop]);
        if (pTop != NULL && pTop->m_hWnd != NULL && pTop->IsWindowVisible())
            nStart = pTop->GetThickness();
    }
    CXTPTabPaintManager* pPaintManager =
        GetDockingPaneManager()->GetPaintManager()->GetAutoHidePanelPaintManager();
    const CRect rcMargin = pPaintManager->GetAppearanceSet()->GetHeaderMargin();
    for (CXTPDockingPaneTabbedContainer* pContainer : m_lstContainers) {
        if (pContainer->IsEmpty())
            continue;
        CXTPDockingPaneAutoHideGroup* pGroup = new CXTPDockingPaneAutoHideGroup(this);
        m_lstGroups.push_back(pGroup);
        for (CXTPDockingPane* pPane : pContainer->GetPanes()) {
            CXTPTabManagerItem* pItem = pGroup->InsertItem(pGroup->GetItemCount());
            pItem->SetData(pPane);
            pItem->SetCaption(pPane->GetShortTitle());
            pItem->SetColor(pPane->GetTabColor());
            if (pPane == pContainer->GetSelected())
                pGroup->SetSelectedItem(pItem);
        }
        CRect rcGroup = rcClient;
        if (bVertical)
            rcGroup.top = nStart;
        else
            rcGroup.left = nStart;
        pPaintManager->SetPosition(pGroup->GetPosition());
        pPaintManager->RepositionTabControl(pGroup, pDC, rcGroup);
        const int nLength = pGroup->GetItemsLength() + rcMargin.left + rcMargin.right;
        if (bVertical)
            rcGroup.bottom = rcGroup.top + nLength;
        else
            rcGroup.right = rcGroup.left + nLength;
        pGroup->m_rcGroup = rcGroup;
        nStart += 8 + nLength;
    }
}

void CXTPDockingPaneAutoHidePanel::OnPaint()
{
    CPaintDC dcPaint(this);
    CRect rc;
    GetClientRect(&rc);
    CXTBufferedDC dc(dcPaint.m_hDC, rc);
    CXTPTabPaintManager* pPaintManager =
        GetDockingPaneManager()->GetPaintManager()->GetAutoHidePanelPaintManager();
    CXTPTabColorSet* pColors = pPaintManager->GetColorSet();
    const COLORREF clrStart = pColors->m_clrHeaderFace.m_clrStart;
    const COLORREF clrEnd = pColors->m_clrHeaderFace.m_clrEnd;
    if (clrStart == clrEnd) {
        dc.FillSolidRect(rc, clrStart);
    } else {
        // The gradient is at least half a screen wide; on the right it continues the site's.
        CRect rcGradient = rc;
        const int nHalfScreen = ::GetSystemMetrics(SM_CXSCREEN) / 2;
        if (m_nSide == xtpPaneDockRight) {
            rcGradient.left = -m_rcWindow.left;
            rcGradient.right = rcGradient.left + std::max<int>(m_rcWindow.right, nHalfScreen);
        } else {
            rcGradient.right = rcGradient.left + std::max(rc.Width(), nHalfScreen);
        }
        CXTGdiHelper::FillGradient(&dc, rcGradient, clrStart, clrEnd, TRUE);
    }
    for (CXTPDockingPaneAutoHideGroup* pGroup : m_lstGroups) {
        pPaintManager->SetPosition(pGroup->GetPosition());
        pPaintManager->DrawTabControl(&dc, pGroup, pGroup->m_rcGroup);
    }
}

CXTPDockingPane* CXTPDockingPaneAutoHidePanel::PaneFromPoint(CPoint point) const
{
    for (CXTPDockingPaneAutoHideGroup* pGroup : m_lstGroups) {
        if (CXTPTabManagerItem* pItem = pGroup->HitTest(point))
            return static_cast<CXTPDockingPane*>(pItem->GetData());
    }
    return NULL;
}

void CXTPDockingPaneAutoHidePanel::OpenPane(CXTPDockingPane* pPane)
{
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    CXTPDockingPaneTabbedContainer* pContainer =
        static_cast<CXTPDockingPaneTabbedContainer*>(pPane->GetContainer());
    if (pContainer == NULL || pManager->NotifyOwner(xtpPaneActionExpanding, pPane, pContainer, 0))
        return;
    // Selected without a delayed layout: its pass would close the window just opened.
    pContainer->SelectPane(pPane, FALSE, TRUE);
    // A container shows in one window only: one still open on it (they stay open when they do not
    // close on leave) shows the newly selected pane.
    if (CXTPDockingPaneAutoHideWnd* pOpen = FindOpenWindow(pContainer)) {
        pOpen->Reopen();
        m_pShownWnd = pOpen;
        RecalcLayout(FALSE);
        return;
    }
    CXTPDockingPaneAutoHideWnd* pWnd = new CXTPDockingPaneAutoHideWnd(this, pContainer);
    if (pWnd->m_hWnd == NULL) {
        delete pWnd;
        return;
    }
    m_pShownWnd = pWnd;
    m_lstOpen.push_back(pWnd);
    // The tabs show the new selection.
    RecalcLayout(FALSE);
}

void CXTPDockingPaneAutoHidePanel::ClosePane(BOOL bDelayed)
{
    if (!CXTPDockingPaneAutoHideWnd::m_bCloseOnLeave || m_pShownWnd == NULL)
        return;
    CXTPDockingPaneAutoHideWnd* pWnd = m_pShownWnd;
    CXTPDockingPaneTabbedContainer* pContainer = pWnd->GetContainer();
    if (pContainer != NULL) {
        CXTPDockingPaneManager* pManager = GetDockingPaneManager();
        if (pManager->NotifyOwner(xtpPaneActionCollapsing, pContainer->GetSelected(), pContainer, 0))
            return;
        pManager->NotifyOwner(xtpPaneActionCollapsed, pContainer->GetSelected(), pContainer, 0);
    }
    ForgetWindow(pWnd);
    if (bDelayed && pWnd->m_hWnd != NULL) {
        pWnd->ShowWindow(SW_HIDE);
        if (PaneHasFocus(pContainer) && GetDockingSite() != NULL)
            GetDockingSite()->SetFocus();
        pWnd->Detach();
        pWnd->m_pPanel = this;
        m_lstClosing.push_back(pWnd);
        pWnd->SetTimer(CXTPDockingPaneAutoHideWnd::kTimerClose, 50, NULL);
    } else {
        pWnd->Close();
    }
}

void CXTPDockingPaneAutoHidePanel::OnChildChanged(CXTPDockingPaneBase* pChild)
{
    (void)pChild;
    if (GetDockingSite() == NULL)
        return;
    if (!CXTPDockingPaneAutoHideWnd::m_bCloseOnLeave) {
        if (CFrameWnd* pFrame = GetParentFrameWnd())
            pFrame->RecalcLayout();
        return;
    }
    ClosePane(!GetDockingPaneManager()->m_bAttachingPane);
}

CXTPDockingPaneBase* CXTPDockingPaneAutoHidePanel::Clone(CXTPDockingPaneLayout* pLayout,
                                                         CXTPPaneToPaneMap* pMap, DWORD dwIgnoredOptions)
{
    (void)dwIgnoredOptions;
    CXTPDockingPaneAutoHidePanel* pClone = static_cast<CXTPDockingPaneAutoHidePanel*>(
        GetDockingPaneManager()->CreatePaneOfType(xtpPaneTypeSidePanel, pLayout));
    if (pClone == NULL)
        return NULL;
    pClone->m_nSide = m_nSide;
    if (pMap != NULL)
        (*pMap)[this] = pClone;
    return pClone;
}

BOOL CXTPDockingPaneAutoHidePanel::DoPropExchange(CXTPPropExchange* pPX)
{
    long nSide = m_nSide;
    ExchangeLong(pPX, L"Direction", nSide);
    if (pPX->IsStoring()) {
        long nCount = static_cast<long>(m_lstContainers.size());
        ExchangeLong(pPX, L"Panes", nCount);
        XTPStorePaneIndexes(pPX, m_lstContainers);
        return TRUE;
    }
    if (nSide < 0 || nSide > 3)
        return FALSE;
    m_nSide = static_cast<int>(nSide);
    long nCount = 0;
    ExchangeLong(pPX, L"Panes", nCount);
    // A crafted count ends at the first entry that names no free container.
    for (long i = 0; i < nCount; ++i) {
        long nIndex = 0;
        XTPExchangePaneIndex(pPX, static_cast<int>(i + 1), nIndex);
        CXTPDockingPaneBase* pNode = m_pLayout->FindIndex(static_cast<int>(nIndex));
        if (pNode == NULL || pNode->GetType() != xtpPaneTypeTabbedContainer ||
            pNode->m_pParentContainer != NULL)
            return FALSE;
        m_lstContainers.push_back(static_cast<CXTPDockingPaneTabbedContainer*>(pNode));
        pNode->m_pParentContainer = this;
        pNode->OnParentChanged(this);
    }
    m_pLayout->m_wndSidePanels[m_nSide] = this;
    return TRUE;
}

void CXTPDockingPaneAutoHidePanel::TrackMouse()
{
    TRACKMOUSEEVENT tme = {};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_HOVER | TME_LEAVE;
    tme.hwndTrack = m_hWnd;
    tme.dwHoverTime = CXTPDockingPaneAutoHideWnd::m_dwHoverTime;
    ::TrackMouseEvent(&tme);
}

DROPEFFECT CXTPDockingPaneAutoHidePanel::CPanelDropTarget::OnDragEnter(CWnd* pWnd,
                                                                       COleDataObject* pDataObject,
                                                                       DWORD dwKeyState, CPoint point)
{
    return OnDragOver(pWnd, pDataObject, dwKeyState, point);
}

DROPEFFECT CXTPDockingPaneAutoHidePanel::CPanelDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject,
                                                                      DWORD dwKeyState, CPoint point)
{
    (void)pDataObject;
    (void)dwKeyState;
    CXTPDockingPaneAutoHidePanel* pPanel = dynamic_cast<CXTPDockingPaneAutoHidePanel*>(pWnd);
    if (pPanel == NULL)
        return DROPEFFECT_NONE;
    CXTPTabPaintManager* pPaintManager =
        pPanel->GetDockingPaneManager()->GetPaintManager()->GetAutoHidePanelPaintManager();
    CXTPDockingPane* pPane = pPanel->PaneFromPoint(point);
    if (pPaintManager->m_bOpenOnDragOver && pPane != NULL &&
        (pPanel->m_pShownWnd == NULL || pPanel->m_pShownWnd->GetContainer() == NULL ||
         pPanel->m_pShownWnd->GetContainer()->GetSelected() != pPane)) {
        pPanel->ClosePane(FALSE);
        pPanel->OpenPane(pPane);
    }
    return DROPEFFECT_NONE;
}

LRESULT CXTPDockingPaneAutoHidePanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    auto isShown = [this](CXTPDockingPane* pPane) {
        return m_pShownWnd != NULL && m_pShownWnd->GetContainer() != NULL &&
               m_pShownWnd->GetContainer()->GetSelected() == pPane;
    };
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_MOUSEMOVE:
        for (CXTPDockingPaneAutoHideGroup* pGroup : m_lstGroups)
            pGroup->HandleMouseMove(m_hWnd, point);
        if (PaneFromPoint(point) != NULL)
            TrackMouse();
        return 0;
    case WM_MOUSELEAVE:
        for (CXTPDockingPaneAutoHideGroup* pGroup : m_lstGroups)
            pGroup->HandleMouseMove(m_hWnd, CPoint(-1, -1));
        return 0;
    case WM_MOUSEHOVER: {
        CXTPDockingPane* pPane = PaneFromPoint(point);
        CWnd* pTop = GetTopLevelParent();
        if (pPane != NULL && pTop != NULL && ::GetActiveWindow() == pTop->m_hWnd && !isShown(pPane)) {
            ClosePane(FALSE);
            OpenPane(pPane);
        }
        return 1;
    }
    case WM_LBUTTONDOWN: {
        CXTPDockingPane* pPane = PaneFromPoint(point);
        if (pPane == NULL)
            return 0;
        if (isShown(pPane)) {
            pPane->SetFocus();
        } else {
            ClosePane(FALSE);
            OpenPane(pPane);
        }
        return 0;
    }
    case WM_RBUTTONDOWN: {
        CXTPDockingPane* pPane = PaneFromPoint(point);
        CWnd* pSite = GetDockingPaneManager()->GetSite();
        if (pPane != NULL && pSite != NULL)
            pSite->SendMessage(XTPWM_DOCKINGPANE_NOTIFY, XTP_DPN_RCLICK, reinterpret_cast<LPARAM>(pPane));
        return 0;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
