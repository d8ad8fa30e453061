// A floating toolbar is a popup window owned by the frame that must never take the activation
// from it: it refuses activation by the mouse, keeps its caption drawn inactive, follows the frame's
// activation through WM_FLOATSTATUS (hidden while the application is in the background), and
// sizes from its edges.
#include "command_bars.h"

#include "draw_helpers.h"

#include <afxpriv.h>

namespace {

// The window style bit of bars that follow their frame's activation.
const DWORD kSyncActivationStyle = 0x100;
// A deactivation the bar looks at again once the system has settled the activation.
const WPARAM kDeactivateSettled = 0x8000;

// The window that holds the focus lies in a mini frame (a floating bar's frame of its own).
BOOL IsFocusInMiniFrame()
{
    for (HWND hWnd = ::GetFocus(); hWnd != NULL; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
            return TRUE;
    }
    return FALSE;
}

} // namespace

LRESULT CXTPToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        const LRESULT lResult = CXTPCommandBar::WindowProc(message, wParam, lParam);
        if (lResult == 0 || (GetStyle() & kSyncActivationStyle) == 0)
            return lResult;
        CWnd* pTop = GetTopLevelParent();
        pTop = pTop != NULL ? pTop->GetTopLevelOwner() : NULL;
        const HWND hForeground = ::GetForegroundWindow();
        BOOL bActive = pTop != NULL && pTop->GetSafeHwnd() == hForeground;
        if (!bActive && pTop != NULL && hForeground != NULL &&
            ::GetLastActivePopup(pTop->GetSafeHwnd()) == hForeground)
            bActive = ::SendMessageW(hForeground, WM_FLOATSTATUS, FS_SYNCACTIVE, 0) != 0;
        SendMessage(WM_FLOATSTATUS, bActive ? FS_ACTIVATE : FS_DEACTIVATE);
        return lResult;
    }
    case WM_NCACTIVATE:
        // The caption of a floating bar stays as it is when the bar is activated.
        if (wParam != 0)
            return FALSE;
        break;
    case WM_FLOATSTATUS:
        return OnFloatStatus(wParam);
    case WM_MOUSEACTIVATE:
        if (m_barPosition == xtpBarFloating || IsFocusInMiniFrame() || IsCustomizing())
            return MA_NOACTIVATE;
        break;
    case WM_NCHITTEST:
        if (m_barPosition == xtpBarFloating) {
            const CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            CRect rect;
            GetWindowRect(&rect);
            rect.DeflateRect(3, 3);
            if (point.y < rect.top)
                return HTTOP;
            if (point.y >= rect.bottom)
                return HTBOTTOM;
            if (point.x < rect.left)
                return HTLEFT;
            if (point.x >= rect.right)
                return HTRIGHT;
        }
        break;
    default:
        break;
    }
    return CXTPCommandBar::WindowProc(message, wParam, lParam);
}

LRESULT CXTPToolBar::OnFloatStatus(WPARAM wParam)
{
    const LRESULT lResult = (GetStyle() & kSyncActivationStyle) != 0 && (wParam & FS_SYNCACTIVE) != 0;
    if (m_barPosition != xtpBarFloating || !m_bVisible)
        return lResult;
    const UINT nFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL || pCommandBars->GetCommandBarsOptions()->bSyncFloatingBars) {
        const BOOL bTopActive = ::IsTopParentActive(this);
        if ((wParam & FS_DEACTIVATE) != 0 && !bTopActive) {
            SetWindowPos(NULL, 0, 0, 0, 0, nFlags | SWP_HIDEWINDOW);
        } else if ((wParam & FS_DEACTIVATE) != 0 && (wParam & kDeactivateSettled) == 0) {
            // The frame tells of its deactivation before the system has moved the foreground
            // away from it; once that has happened the bar looks again.
            PostMessage(WM_FLOATSTATUS, FS_DEACTIVATE | kDeactivateSettled);
        } else if ((wParam & FS_ACTIVATE) != 0 && !IsWindowVisible() && bTopActive) {
            // Not over a foreground window that is itself out of sight.
            const HWND hForeground = ::GetForegroundWindow();
            if (hForeground != NULL && ::IsWindowVisible(hForeground) && !::IsIconic(hForeground))
                SetWindowPos(NULL, 0, 0, 0, 0, nFlags | SWP_SHOWWINDOW);
        }
    }
    if ((wParam & (FS_SHOW | FS_HIDE)) != 0)
        SetWindowPos(NULL, 0, 0, 0, 0, nFlags | ((wParam & FS_SHOW) != 0 ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if ((wParam & (FS_ENABLE | FS_DISABLE)) != 0)
        EnableWindow((wParam & FS_ENABLE) != 0);
    return lResult;
}
