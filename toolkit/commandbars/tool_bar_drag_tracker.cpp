#include "tool_bar_drag_tracker.h"

#include "command_bars.h"
#include "dialog_bar.h"

#include <afxpriv.h>

#include <algorithm>

namespace {

// Docking flag of each dock bar position (top, bottom, left, right).
DWORD DockingFlagOf(XTPBarPosition position)
{
    return position >= xtpBarTop && position <= xtpBarRight ? 1u << position : 0;
}

BOOL MeetsWorkArea(const CRect& rect)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info))
        return TRUE;
    CRect rcMeet;
    return rcMeet.IntersectRect(&rect, &info.rcWork);
}

// The point in screen coordinates of a mouse message: its position is in the client coordinates of
// the window it was sent to (the capturing bar, or any window when messages are posted).
CPoint MessagePoint(const MSG& msg)
{
    CPoint point(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
    if (msg.hwnd != NULL)
        ::ClientToScreen(msg.hwnd, &point);
    return point;
}

} // namespace

void CXTPToolBarDragTracker::RememberDockedPlace()
{
    CXTPDockBar* pDock = m_pBar->GetDockBar();
    if (pDock == NULL || !::IsWindow(m_pBar->GetSafeHwnd()))
        return;
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    pDock->ScreenToClient(&rect);
    m_pBar->m_nMRUDockID = pDock->GetDlgCtrlID();
    m_pBar->m_rcMRUDockPos = rect;
}

void CXTPToolBarDragTracker::StartMove(CPoint point)
{
    m_nMode = 1;
    RememberDockedPlace();
    const long nDockID = m_pBar->m_nMRUDockID;
    const CRect rcDocked = m_pBar->m_rcMRUDockPos;
    const BOOL bWasFloating = m_pBar->GetPosition() == xtpBarFloating;
    m_pBar->GetWindowRect(&m_rcDrag);
    // The point lies inside the rectangle that moves with it.
    CPoint ptOffset(0, 0);
    if (point.x < m_rcDrag.left)
        ptOffset.x = point.x - m_rcDrag.left;
    else if (point.x >= m_rcDrag.right)
        ptOffset.x = point.x - m_rcDrag.right + 1;
    if (point.y < m_rcDrag.top)
        ptOffset.y = point.y - m_rcDrag.top;
    else if (point.y >= m_rcDrag.bottom)
        ptOffset.y = point.y - m_rcDrag.bottom + 1;
    m_rcDrag.OffsetRect(ptOffset);
    m_rcWindow = m_rcDrag;
    m_ptLast = point;
    ::SetCursor(::LoadCursorW(NULL, IDC_SIZEALL));
    // The button-up that ends the drag closes no menu.
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    ++pMouseManager->m_nLock;
    TrackLoop();
    --pMouseManager->m_nLock;
    if (!::IsWindow(m_pBar->GetSafeHwnd()))
        return;
    if (m_pBar->GetPosition() == xtpBarFloating) {
        m_pBar->m_ptMRUFloatPos = m_rcDrag.TopLeft();
        // A float keeps the place the bar returns to.
        if (!bWasFloating) {
            m_pBar->m_nMRUDockID = nDockID;
            m_pBar->m_rcMRUDockPos = rcDocked;
        }
    } else {
        RememberDockedPlace();
    }
    m_nMode = 0;
}

void CXTPToolBarDragTracker::StartResize(int nHitCode, CPoint point)
{
    m_nMode = nHitCode;
    m_pBar->GetWindowRect(&m_rcWindow);
    m_ptLast = point;
    TrackLoop();
    m_nMode = 0;
    if (!::IsWindow(m_pBar->GetSafeHwnd()))
        return;
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    if (m_pBar->GetPosition() == xtpBarFloating)
        m_pBar->m_ptMRUFloatPos = rect.TopLeft();
    m_pBar->m_nMRUWidth = rect.Width();
}

void CXTPToolBarDragTracker::TrackLoop()
{
    const HWND hWnd = m_pBar->GetSafeHwnd();
    if (hWnd == NULL || (::GetCapture() != NULL && ::GetCapture() != hWnd))
        return;
    ::SetCapture(hWnd);
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    while (::GetCapture() == hWnd) {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            AfxPostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        BOOL bEnd = FALSE;
        switch (msg.message) {
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_CANCELMODE:
            bEnd = TRUE;
            break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                bEnd = TRUE;
            else
                ::DispatchMessageW(&msg);
            break;
        case WM_MOUSEMOVE: {
            const CPoint point = MessagePoint(msg);
            if (point == m_ptLast)
                ::DispatchMessageW(&msg);
            else if (m_nMode == 1)
                Move(point);
            else
                Resize(point);
            break;
        }
        default:
            ::DispatchMessageW(&msg);
            break;
        }
        if (bEnd || !::IsWindow(hWnd))
            break;
        // What the bars left for the idle time (the frame's layout) happens now.
        if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pCommandBars != NULL ? pCommandBars->GetSite() : NULL))
            if (::IsWindow(pFrame->GetSafeHwnd()) && (pFrame->m_nIdleFlags & CFrameWnd::idleLayout) != 0) {
                pFrame->m_nIdleFlags &= ~CFrameWnd::idleLayout;
                pFrame->RecalcLayout(FALSE);
            }
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (pCommandBars != NULL)
        pCommandBars->GetCommandBarsOptions()->bDirtyState = TRUE;
}

void CXTPToolBarDragTracker::Move(CPoint point)
{
    const CSize delta = point - m_ptLast;
    m_ptLast = point;
    m_rcDrag.OffsetRect(delta);
    m_rcWindow.OffsetRect(delta);
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    if (pCommandBars == NULL)
        return;
    const DWORD dwFlags = m_pBar->GetFlags();
    CXTPDockBar* pCurrent = m_pBar->GetDockBar();
    const BOOL bWasDocked = m_pBar->GetPosition() != xtpBarFloating && pCurrent != NULL;
    CXTPDockBar* pDock = pCommandBars->CanDock(point, pCurrent);
    if (pDock != NULL && (dwFlags & DockingFlagOf(pDock->GetPosition())) != 0) {
        pCommandBars->DockCommandBar(m_pBar, m_rcDrag, pDock);
        if (pDock == pCurrent && bWasDocked)
            return;
        pCommandBars->RecalcFrameLayout();
        m_pBar->GetWindowRect(&m_rcDrag);
        return;
    }
    if ((dwFlags & xtpFlagFloating) == 0)
        return;
    if (m_pBar->GetPosition() != xtpBarFloating) {
        pCommandBars->FloatCommandBar(m_pBar);
        const CSize size = m_pBar->CalcDynamicLayout(0, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
        m_rcDrag = CRect(m_rcDrag.TopLeft(), size);
        // Around the point: it stays inside the smaller or larger rectangle.
        if (!m_rcDrag.PtInRect(point))
            m_rcDrag.OffsetRect(point.x - m_rcDrag.left -
                                    std::min<LONG>(size.cx / 2, point.x - m_rcDrag.left),
                                point.y - m_rcDrag.top - std::min<LONG>(size.cy / 2, point.y - m_rcDrag.top));
        m_pBar->ShowWindow(SW_SHOWNA);
    }
    m_pBar->SetWindowPos(NULL, m_rcDrag.left, m_rcDrag.top, m_rcDrag.Width(), m_rcDrag.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
}

void CXTPToolBarDragTracker::Resize(CPoint point)
{
    CRect rect(m_rcWindow);
    // A dialog bar sizes freely: the dragged edges follow the mouse and the bar decides.
    if (auto* pDialogBar = DYNAMIC_DOWNCAST(CXTPDialogBar, m_pBar)) {
        if (m_nMode == HTLEFT || m_nMode == HTTOPLEFT || m_nMode == HTBOTTOMLEFT)
            rect.left = point.x;
        if (m_nMode == HTRIGHT || m_nMode == HTTOPRIGHT || m_nMode == HTBOTTOMRIGHT)
            rect.right = point.x;
        if (m_nMode == HTTOP || m_nMode == HTTOPLEFT || m_nMode == HTTOPRIGHT)
            rect.top = point.y;
        if (m_nMode == HTBOTTOM || m_nMode == HTBOTTOMLEFT || m_nMode == HTBOTTOMRIGHT)
            rect.bottom = point.y;
        pDialogBar->ResizeTo(rect, m_nMode);
        return;
    }
    CSize size;
    switch (m_nMode) {
    case HTLEFT:
    case HTRIGHT: {
        const int nWidth = m_nMode == HTLEFT ? rect.right - point.x : point.x - rect.left;
        size = m_pBar->CalcDynamicLayout(std::max(0, nWidth), LM_HORZ | LM_COMMIT);
        break;
    }
    case HTTOP:
    case HTBOTTOM: {
        const int nHeight = m_nMode == HTTOP ? rect.bottom - point.y : point.y - rect.top;
        size = m_pBar->CalcDynamicLayout(std::max(0, nHeight), LM_HORZ | LM_LENGTHY | LM_COMMIT);
        break;
    }
    default:
        return;
    }
    if (size == rect.Size())
        return;
    // The edge opposite the dragged one stays.
    if (m_nMode == HTLEFT)
        rect.left = rect.right - size.cx;
    else
        rect.right = rect.left + size.cx;
    if (m_nMode == HTTOP)
        rect.top = rect.bottom - size.cy;
    else
        rect.bottom = rect.top + size.cy;
    if (!MeetsWorkArea(rect))
        return;
    m_rcWindow = rect;
    m_pBar->SetWindowPos(NULL, rect.left, rect.top, rect.Width(), rect.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
    m_pBar->Redraw();
}

BOOL CXTPToolBarDragTracker::ToggleDocking()
{
    CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
    if (pCommandBars == NULL || !::IsWindow(m_pBar->GetSafeHwnd()))
        return FALSE;
    const DWORD dwFlags = m_pBar->GetFlags();
    if (m_pBar->GetPosition() != xtpBarFloating) {
        if ((dwFlags & xtpFlagFloating) == 0 || !pCommandBars->GetCommandBarsOptions()->bDblClickFloat)
            return FALSE;
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        const CPoint ptFloat = m_pBar->m_ptMRUFloatPos;
        const CPoint point = ptFloat.x > 0 && ptFloat.y > 0 ? ptFloat : rect.TopLeft();
        pCommandBars->FloatCommandBar(m_pBar);
        const CSize size = m_pBar->CalcDynamicLayout(0, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
        m_pBar->SetWindowPos(NULL, point.x, point.y, size.cx, size.cy,
                             SWP_NOZORDER | SWP_NOACTIVATE | (m_pBar->IsVisible() ? SWP_SHOWWINDOW : 0));
        m_pBar->m_ptMRUFloatPos = point;
    } else {
        if ((dwFlags & xtpFlagAlignAny) == 0)
            return FALSE;
        CXTPDockBar* pDock = pCommandBars->GetDockBar(xtpBarTop);
        for (int i = 0; i < 4; ++i) {
            CXTPDockBar* pSide = pCommandBars->GetDockBar(i);
            if (pSide != NULL && pSide->GetDlgCtrlID() == m_pBar->m_nMRUDockID)
                pDock = pSide;
        }
        if (pDock == NULL)
            return FALSE;
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        m_pBar->m_ptMRUFloatPos = rect.TopLeft();
        CRect rcDocked(m_pBar->m_rcMRUDockPos);
        pDock->ClientToScreen(&rcDocked);
        pCommandBars->DockCommandBar(m_pBar, rcDocked, pDock);
        pCommandBars->RecalcFrameLayout();
    }
    pCommandBars->GetCommandBarsOptions()->bDirtyState = TRUE;
    return TRUE;
}

// The toolbar's mouse handlers hand over to the tracker.

CXTPToolBarDragTracker* CXTPToolBar::GetDragTracker()
{
    if (m_pDragTracker == NULL && GetCommandBars() != NULL)
        m_pDragTracker = new CXTPToolBarDragTracker(this);
    return m_pDragTracker;
}

void CXTPToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_barPosition == xtpBarFloating)
        SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (HitTest(point) != NULL || IsCustomizing()) {
        CXTPCommandBar::OnLButtonDown(nFlags, point);
        return;
    }
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->ClosePopups();
    CXTPToolBarDragTracker* pTracker = GetDragTracker();
    if (pTracker != NULL && (m_dwFlags & (xtpFlagAlignAny | xtpFlagFloating)) != 0) {
        ClientToScreen(&point);
        pTracker->StartMove(point);
        return;
    }
    CXTPCommandBar::OnLButtonDown(nFlags, point);
}

void CXTPToolBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    CXTPToolBarDragTracker* pTracker = HitTest(point) == NULL && !IsCustomizing() ? GetDragTracker() : NULL;
    if (pTracker != NULL)
        pTracker->ToggleDocking();
    else
        CXTPCommandBar::OnLButtonDblClk(nFlags, point);
}

void CXTPToolBar::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    CXTPToolBarDragTracker* pTracker = GetDragTracker();
    if (pTracker == NULL || nHitTest < HTLEFT || nHitTest > HTBOTTOMRIGHT) {
        CXTPCommandBar::OnNcLButtonDown(nHitTest, point);
        return;
    }
    // The frame is activated, never the floating bar itself.
    CWnd* pSite = GetSite();
    if (CWnd* pTop = pSite != NULL ? pSite->GetTopLevelParent() : NULL)
        pTop->SetActiveWindow();
    SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->ClosePopups();
    pTracker->StartResize(static_cast<int>(nHitTest), point);
}
