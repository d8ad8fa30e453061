// The parts of the CWnd surface that are more than one system call: text, fonts, styles, owners,
// geometry helpers, scrolling, relations, tooltips and command-UI updates of child controls.
#include <afxwin.h>

#include <shellapi.h>

void CWnd::GetWindowText(CString& rString) const
{
    const int nLength = ::GetWindowTextLength(m_hWnd);
    if (nLength <= 0) {
        rString.Empty();
        return;
    }
    LPTSTR lpszBuffer = rString.GetBuffer(nLength);
    const int nCopied = ::GetWindowText(m_hWnd, lpszBuffer, nLength + 1);
    rString.ReleaseBuffer(nCopied >= 0 ? nCopied : 0);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hWndItem = ::GetDlgItem(m_hWnd, nID);
    if (hWndItem == NULL)
        return 0;
    const int nLength = ::GetWindowTextLength(hWndItem);
    if (nLength <= 0)
        return 0;
    LPTSTR lpszBuffer = rString.GetBuffer(nLength);
    const int nCopied = ::GetWindowText(hWndItem, lpszBuffer, nLength + 1);
    rString.ReleaseBuffer(nCopied >= 0 ? nCopied : 0);
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessage(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0)));
}

namespace {

BOOL ModifyStyleHelper(HWND hWnd, int nStyleOffset, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtr(hWnd, nStyleOffset));
    const DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongPtr(hWnd, nStyleOffset, static_cast<LONG_PTR>(dwNewStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleHelper(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleHelper(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL PASCAL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleHelper(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL PASCAL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleHelper(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

CWnd* CWnd::GetOwner() const
{
    return m_hWndOwner != NULL ? CWnd::FromHandle(m_hWndOwner) : GetParent();
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
    if (GetExStyle() & WS_EX_LAYOUTRTL)
        CRect::SwapLeftRight(lpRect);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
    if (GetExStyle() & WS_EX_LAYOUTRTL)
        CRect::SwapLeftRight(lpRect);
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    DWORD dwExStyle = GetExStyle();
    if (nAdjustType == adjustBorder)
        dwExStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, dwExStyle);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    const DWORD dwStyle = GetStyle();
    HWND hWndCenter = pAlternateOwner->GetSafeHwnd();
    if (hWndCenter == NULL)
        hWndCenter = (dwStyle & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    CRect rectDlg;
    GetWindowRect(&rectDlg);
    CRect rectArea;
    CRect rectCenter;
    if (!(dwStyle & WS_CHILD)) {
        // Over the owner when it is visible and not minimised, within the work area of its monitor.
        if (hWndCenter != NULL) {
            const DWORD dwOwnerStyle = static_cast<DWORD>(::GetWindowLongPtr(hWndCenter, GWL_STYLE));
            if (!(dwOwnerStyle & WS_VISIBLE) || (dwOwnerStyle & WS_MINIMIZE))
                hWndCenter = NULL;
        }
        MONITORINFO monitorInfo = {};
        monitorInfo.cbSize = sizeof(monitorInfo);
        HMONITOR hMonitor = hWndCenter != NULL ? ::MonitorFromWindow(hWndCenter, MONITOR_DEFAULTTONEAREST)
                                               : ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY);
        ::GetMonitorInfo(hMonitor, &monitorInfo);
        rectArea = monitorInfo.rcWork;
        if (hWndCenter != NULL)
            ::GetWindowRect(hWndCenter, &rectCenter);
        else
            rectCenter = rectArea;
    } else {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rectArea);
        if (hWndCenter != NULL) {
            ::GetClientRect(hWndCenter, &rectCenter);
            ::MapWindowPoints(hWndCenter, hWndParent, reinterpret_cast<LPPOINT>(&rectCenter), 2);
        } else {
            rectCenter = rectArea;
        }
    }
    int xLeft = (rectCenter.left + rectCenter.right) / 2 - rectDlg.Width() / 2;
    int yTop = (rectCenter.top + rectCenter.bottom) / 2 - rectDlg.Height() / 2;
    if (xLeft + rectDlg.Width() > rectArea.right)
        xLeft = rectArea.right - rectDlg.Width();
    if (xLeft < rectArea.left)
        xLeft = rectArea.left;
    if (yTop + rectDlg.Height() > rectArea.bottom)
        yTop = rectArea.bottom - rectDlg.Height();
    if (yTop < rectArea.top)
        yTop = rectArea.top;
    SetWindowPos(NULL, xLeft, yTop, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID) {
        if (::IsDlgButtonChecked(m_hWnd, nID))
            return nID;
    }
    return 0;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

int CWnd::GetScrollLimit(int nBar)
{
    SCROLLINFO info = {};
    if (!GetScrollInfo(nBar, &info, SIF_RANGE | SIF_PAGE))
        return 0;
    const int nPage = info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0;
    const int nLimit = info.nMax - nPage;
    return nLimit > info.nMin ? nLimit : info.nMin;
}

CScrollBar* CWnd::GetScrollBarCtrl(int) const
{
    return NULL;
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (GetSafeHwnd() == NULL)
        return NULL;
    HWND hWndParent = m_hWnd;
    HWND hWndNext;
    while ((::GetWindowLongPtr(hWndParent, GWL_STYLE) & WS_CHILD) &&
           (hWndNext = ::GetParent(hWndParent)) != NULL)
        hWndParent = hWndNext;
    return CWnd::FromHandle(hWndParent);
}

CWnd* CWnd::GetTopLevelOwner() const
{
    if (GetSafeHwnd() == NULL)
        return NULL;
    HWND hWndOwner = m_hWnd;
    HWND hWndNext;
    while ((hWndNext = ::GetWindow(hWndOwner, GW_OWNER)) != NULL)
        hWndOwner = hWndNext;
    return CWnd::FromHandle(hWndOwner);
}

CWnd* CWnd::GetParentOwner() const
{
    if (GetSafeHwnd() == NULL)
        return NULL;
    HWND hWndParent = m_hWnd;
    HWND hWndNext;
    while ((::GetWindowLongPtr(hWndParent, GWL_STYLE) & WS_CHILD) &&
           (hWndNext = ::GetParent(hWndParent)) != NULL)
        hWndParent = hWndNext;
    return CWnd::FromHandle(hWndParent);
}

namespace {

HWND FindDescendant(HWND hWnd, int nID, BOOL bOnlyPerm, int nDepth)
{
    if (nDepth > 64)
        return NULL;
    for (HWND hWndChild = ::GetTopWindow(hWnd); hWndChild != NULL;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(hWndChild) == nID && (!bOnlyPerm || CWnd::FromHandlePermanent(hWndChild) != NULL))
            return hWndChild;
    }
    for (HWND hWndChild = ::GetTopWindow(hWnd); hWndChild != NULL;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (HWND hWndFound = FindDescendant(hWndChild, nID, bOnlyPerm, nDepth + 1))
            return hWndFound;
    }
    return NULL;
}

void SendToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm,
                       int nDepth)
{
    if (nDepth > 64)
        return;
    for (HWND hWndChild = ::GetTopWindow(hWnd); hWndChild != NULL;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (bOnlyPerm) {
            CWnd* pWnd = CWnd::FromHandlePermanent(hWndChild);
            if (pWnd != NULL)
                AfxCallWndProc(pWnd, hWndChild, message, wParam, lParam);
        } else {
            ::SendMessage(hWndChild, message, wParam, lParam);
        }
        if (bDeep && ::GetTopWindow(hWndChild) != NULL)
            SendToDescendants(hWndChild, message, wParam, lParam, bDeep, bOnlyPerm, nDepth + 1);
    }
}

} // namespace

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const
{
    HWND hWndFound = FindDescendant(m_hWnd, nID, bOnlyPerm, 0);
    return hWndFound != NULL ? CWnd::FromHandle(hWndFound) : NULL;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    SendToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm, 0);
}

BOOL CWnd::IsTopParentActive() const
{
    CWnd* pTopLevel = GetTopLevelParent();
    if (pTopLevel == NULL)
        return FALSE;
    return ::GetForegroundWindow() == ::GetLastActivePopup(pTopLevel->m_hWnd);
}

void CWnd::ActivateTopParent()
{
    CWnd* pTopLevel = GetTopLevelParent();
    if (pTopLevel == NULL)
        return;
    HWND hWndActive = ::GetActiveWindow();
    if (hWndActive == NULL || (hWndActive != m_hWnd && !::IsChild(hWndActive, m_hWnd)))
        pTopLevel->SetActiveWindow();
}

CPoint PASCAL CWnd::GetCaretPos()
{
    POINT point = {};
    ::GetCaretPos(&point);
    return point;
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (lpszCaption == NULL)
        lpszCaption = AfxGetAppName();
    return ::MessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    ::DragAcceptFiles(m_hWnd, bAccept);
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    // The visible, enabled-or-not child control under the point stands for itself as the tool.
    HWND hWndChild = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (hWndChild == NULL || hWndChild == m_hWnd)
        return -1;
    const int nID = ::GetDlgCtrlID(hWndChild);
    if (nID == 0 || nID == -1)
        return -1;
    if (pTI != NULL) {
        pTI->hwnd = m_hWnd;
        pTI->uId = reinterpret_cast<UINT_PTR>(hWndChild);
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACK;
        // Common controls draw their own tips; the subclassing flag keeps the tip on the control.
        pTI->uFlags |= TTF_SUBCLASS;
    }
    return nID;
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != NULL;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        state.m_nID = static_cast<UINT>(::GetDlgCtrlID(hWndChild));
        state.m_pOther = CWnd::FromHandle(hWndChild);
        // Check boxes and radio buttons that change themselves are never disabled for want of a
        // handler: their state is data, not a command.
        BOOL bAutoButton = FALSE;
        if (::SendMessage(hWndChild, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) {
            const UINT nStyle = static_cast<UINT>(::GetWindowLongPtr(hWndChild, GWL_STYLE)) & 0x0F;
            bAutoButton = nStyle == BS_AUTOCHECKBOX || nStyle == BS_AUTO3STATE || nStyle == BS_GROUPBOX ||
                          nStyle == BS_AUTORADIOBUTTON;
        }
        state.DoUpdate(pTarget, bDisableIfNoHndler && !bAutoButton);
    }
}
