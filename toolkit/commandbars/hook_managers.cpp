#include "command_bars.h"

#include <algorithm>

namespace {

// The thread's keyboard manager while it exists (a sink may outlive it at the thread's end).
thread_local CXTPKeyboardManager* t_pKeyboardManager = NULL;
// The process's window-hook manager until static destruction has taken it.
bool g_bHookManagerGone = false;

} // namespace

CXTPHookSink::~CXTPHookSink()
{
    if (!g_bHookManagerGone)
        CXTPHookManager::GetInstance()->RemoveAll(this);
    if (t_pKeyboardManager != NULL)
        t_pKeyboardManager->UnhookKeyboard(this);
}

POINT CXTPMouseManager::s_ptLast = {0, 0};

CXTPMouseManager::CXTPMouseManager()
{
    SetupHook(TRUE);
}

CXTPMouseManager::~CXTPMouseManager()
{
    SetupHook(FALSE);
}

CXTPMouseManager* AFXAPI CXTPMouseManager::GetInstance()
{
    thread_local CXTPMouseManager manager;
    return &manager;
}

void CXTPMouseManager::SetupHook(BOOL bInstall)
{
    if (bInstall && m_hHookMouse == NULL)
        m_hHookMouse = ::SetWindowsHookExW(WH_MOUSE, MouseProc, NULL, ::GetCurrentThreadId());
    else if (!bInstall && m_hHookMouse != NULL) {
        ::UnhookWindowsHookEx(m_hHookMouse);
        m_hHookMouse = NULL;
    }
}

void CXTPMouseManager::Reset()
{
    m_trackedBars.clear();
    m_pSelected = NULL;
    m_bForceExpanded = FALSE;
    if (m_hwndMouseLeave != NULL && ::IsWindow(m_hwndMouseLeave))
        ::KillTimer(m_hwndMouseLeave, XTP_TID_MOUSELEAVE);
    m_hwndMouseLeave = NULL;
    m_trustedWindows.clear();
    m_bIgnoreLButtonUp = FALSE;
    m_nLock = 0;
    s_ptLast = POINT{0, 0};
    SetupHook(TRUE);
}

void CXTPMouseManager::SetTrack(CXTPCommandBar* pBar)
{
    if (m_trackedBars.empty() && m_pSelected != NULL && m_pSelected != pBar &&
        ::IsWindow(m_pSelected->GetSafeHwnd()))
        m_pSelected->SetSelected(-1);
    if (!IsBarTracked(pBar))
        m_trackedBars.push_back(pBar);
}

void CXTPMouseManager::RemoveTrack(CXTPCommandBar* pBar)
{
    auto it = std::find(m_trackedBars.begin(), m_trackedBars.end(), pBar);
    if (it == m_trackedBars.end())
        return;
    m_trackedBars.erase(it);
    if (m_trackedBars.empty()) {
        POINT pt;
        if (::GetCursorPos(&pt))
            ::SetCursorPos(pt.x, pt.y);
        m_bIgnoreLButtonUp = FALSE;
        // An expanded menu expands the others of the same tracking only.
        m_bForceExpanded = FALSE;
    }
}

void CXTPMouseManager::SendTrackLostAll()
{
    // Each bar leaves the list itself; a bar that does not is dropped so that the walk ends.
    while (!m_trackedBars.empty()) {
        CXTPCommandBar* pBar = m_trackedBars.front();
        pBar->SetTracking(FALSE);
        if (!m_trackedBars.empty() && m_trackedBars.front() == pBar)
            RemoveTrack(pBar);
    }
}

void CXTPMouseManager::LockTrackingAll(BOOL bLock)
{
    for (CXTPCommandBar* pBar : m_trackedBars)
        pBar->m_nLockCount += bLock ? 1 : -1;
}

BOOL CXTPMouseManager::IsTrackedLock(const CXTPCommandBar* pBar) const
{
    return pBar != NULL && pBar->m_nLockCount > 0;
}

BOOL CXTPMouseManager::IsOutsideTracking(const CXTPCommandBar* pBar) const
{
    if (m_trackedBars.empty())
        return FALSE;
    if (pBar == NULL || IsTrackedLock(pBar))
        return TRUE;
    return !IsBarTracked(pBar);
}

BOOL CXTPMouseManager::IsBarTracked(const CXTPCommandBar* pBar) const
{
    return std::find(m_trackedBars.begin(), m_trackedBars.end(), pBar) != m_trackedBars.end();
}

void CXTPMouseManager::RemoveBar(CXTPCommandBar* pBar)
{
    auto it = std::find(m_trackedBars.begin(), m_trackedBars.end(), pBar);
    if (it != m_trackedBars.end())
        m_trackedBars.erase(it);
    if (m_pSelected == pBar)
        m_pSelected = NULL;
}

void CXTPMouseManager::AddTrustedWindow(HWND hWnd)
{
    if (hWnd != NULL && !IsTrustedWindow(hWnd))
        m_trustedWindows.push_back(hWnd);
}

void CXTPMouseManager::RemoveTrustedWindow(HWND hWnd)
{
    auto it = std::find(m_trustedWindows.begin(), m_trustedWindows.end(), hWnd);
    if (it != m_trustedWindows.end())
        m_trustedWindows.erase(it);
}

BOOL CXTPMouseManager::IsTrustedWindow(HWND hWnd) const
{
    return std::find(m_trustedWindows.begin(), m_trustedWindows.end(), hWnd) != m_trustedWindows.end();
}

void CXTPMouseManager::TrackMouseLeave(HWND hWnd)
{
    if (hWnd == m_hwndMouseLeave)
        return;
    const HWND hPrevious = m_hwndMouseLeave;
    if (hPrevious != NULL && ::IsWindow(hPrevious)) {
        ::KillTimer(hPrevious, XTP_TID_MOUSELEAVE);
        ::SendMessageW(hPrevious, WM_MOUSELEAVE, 0, 0);
    }
    m_hwndMouseLeave = hWnd;
    if (hWnd != NULL)
        ::SetTimer(hWnd, XTP_TID_MOUSELEAVE, 50, MouseLeaveTimerProc);
}

void CALLBACK CXTPMouseManager::MouseLeaveTimerProc(HWND hWnd, UINT, UINT_PTR nIDEvent, DWORD)
{
    CXTPMouseManager* pManager = GetInstance();
    if (!::IsWindow(hWnd)) {
        if (pManager->m_hwndMouseLeave == hWnd)
            pManager->m_hwndMouseLeave = NULL;
        return;
    }
    POINT pt;
    ::GetCursorPos(&pt);
    RECT rect;
    ::GetWindowRect(hWnd, &rect);
    const HWND hTop = ::GetAncestor(hWnd, GA_ROOT);
    const BOOL bHovered =
        ::PtInRect(&rect, pt) && (hTop == hWnd || (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_POPUP) != 0 ||
                                  ::GetActiveWindow() == hTop || ::GetForegroundWindow() == hTop);
    if (bHovered)
        return;
    ::KillTimer(hWnd, nIDEvent);
    if (pManager->m_hwndMouseLeave == hWnd)
        pManager->m_hwndMouseLeave = NULL;
    ::PostMessageW(hWnd, WM_MOUSELEAVE, 0, 0);
}

void CXTPMouseManager::RouteTrackedMessage(UINT nMessage, POINT pt)
{
    const HWND hWndUnder = ::WindowFromPoint(pt);
    const BOOL bMove = nMessage == WM_MOUSEMOVE || nMessage == WM_NCMOUSEMOVE;
    for (auto it = m_trackedBars.rbegin(); it != m_trackedBars.rend(); ++it) {
        CXTPCommandBar* pBar = *it;
        const HWND hBar = pBar->GetSafeHwnd();
        if (hBar == NULL)
            continue;
        if (!pBar->HitTestBar(CPoint(pt)) && !(hWndUnder != NULL && ::IsChild(hBar, hWndUnder)))
            continue;
        // A click on a locked bar (one that shows a dialog of its own, say) closes the others.
        if (bMove || pBar->m_nLockCount < 1 || m_bIgnoreLButtonUp)
            return;
        if (m_trackedBars.front()->m_nLockCount > 0) {
            const std::vector<CXTPCommandBar*> bars = m_trackedBars;
            for (CXTPCommandBar* pOther : bars)
                if (pOther != pBar && pOther->m_nLockCount == 0 && IsBarTracked(pOther))
                    pOther->SetTracking(FALSE);
        }
        s_ptLast = POINT{0, 0};
        return;
    }
    for (HWND hTrusted : m_trustedWindows) {
        RECT rect;
        if (::IsWindow(hTrusted) && ::IsWindowVisible(hTrusted) && ::GetWindowRect(hTrusted, &rect) &&
            ::PtInRect(&rect, pt))
            return;
    }
    switch (nMessage) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
        const std::vector<CXTPCommandBar*> bars = m_trackedBars;
        for (CXTPCommandBar* pBar : bars) {
            if (!IsBarTracked(pBar) || pBar->m_nLockCount >= 1 || !::IsWindow(pBar->GetSafeHwnd()))
                continue;
            POINT ptClient = pt;
            ::ScreenToClient(pBar->GetSafeHwnd(), &ptClient);
            pBar->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(ptClient.x, ptClient.y));
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        SendTrackLostAll();
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        if (m_nLock <= 0)
            SendTrackLostAll();
        break;
    default:
        break;
    }
}

BOOL CXTPMouseManager::ProcessMouseHook(UINT nMessage, const MOUSEHOOKSTRUCT* pInfo)
{
    const POINT pt = pInfo->pt;
    if (nMessage == WM_LBUTTONDOWN || nMessage == WM_RBUTTONDOWN)
        m_bIgnoreLButtonUp = FALSE;
    if ((nMessage == WM_LBUTTONUP || nMessage == WM_NCLBUTTONUP) && m_bIgnoreLButtonUp) {
        m_bIgnoreLButtonUp = FALSE;
        return TRUE;
    }
    if ((nMessage == WM_MOUSEMOVE || nMessage == WM_NCMOUSEMOVE) && !m_trackedBars.empty() &&
        pt.x == s_ptLast.x && pt.y == s_ptLast.y)
        return TRUE;
    s_ptLast = pt;
    if (!m_trackedBars.empty())
        RouteTrackedMessage(nMessage, pt);
    return FALSE;
}

LRESULT CALLBACK CXTPMouseManager::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPMouseManager* pManager = GetInstance();
    const HHOOK hHook = pManager->m_hHookMouse;
    if (nCode == HC_ACTION && pManager->ProcessMouseHook(static_cast<UINT>(wParam),
                                                         reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)))
        return 1;
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

CXTPKeyboardManager* AFXAPI CXTPKeyboardManager::GetInstance()
{
    thread_local CXTPKeyboardManager manager;
    t_pKeyboardManager = &manager;
    return &manager;
}

CXTPKeyboardManager::~CXTPKeyboardManager()
{
    t_pKeyboardManager = NULL;
    if (m_hHookCallWndProc != NULL)
        ::UnhookWindowsHookEx(m_hHookCallWndProc);
    if (m_hHookKeyboard != NULL)
        ::UnhookWindowsHookEx(m_hHookKeyboard);
}

void CXTPKeyboardManager::HookKeyboard(CXTPHookSink* pSink)
{
    if (m_hHookKeyboard == NULL)
        m_hHookKeyboard = ::SetWindowsHookExW(WH_KEYBOARD, KeyboardProc, NULL, ::GetCurrentThreadId());
    if (m_hHookCallWndProc == NULL)
        m_hHookCallWndProc = ::SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, NULL, ::GetCurrentThreadId());
    if (std::find(m_sinks.begin(), m_sinks.end(), pSink) == m_sinks.end())
        m_sinks.push_back(pSink);
}

void CXTPKeyboardManager::UnhookKeyboard(CXTPHookSink* pSink)
{
    auto it = std::find(m_sinks.begin(), m_sinks.end(), pSink);
    if (it != m_sinks.end())
        m_sinks.erase(it);
    if (!m_sinks.empty())
        return;
    if (m_hHookCallWndProc != NULL) {
        ::UnhookWindowsHookEx(m_hHookCallWndProc);
        m_hHookCallWndProc = NULL;
    }
    if (m_hHookKeyboard != NULL) {
        ::UnhookWindowsHookEx(m_hHookKeyboard);
        m_hHookKeyboard = NULL;
    }
}

BOOL CXTPKeyboardManager::ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // A sink may leave while it is asked, so the walk works on a copy.
    const std::vector<CXTPHookSink*> sinks = m_sinks;
    for (auto it = sinks.rbegin(); it != sinks.rend(); ++it) {
        if (std::find(m_sinks.begin(), m_sinks.end(), *it) == m_sinks.end())
            continue;
        WPARAM wParamSink = wParam;
        LPARAM lParamSink = lParam;
        LRESULT lResult = 0;
        const int nAnswer = (*it)->OnHookMessage(NULL, nMessage, wParamSink, lParamSink, lResult);
        if (nAnswer == XTP_HOOK_HANDLED)
            return TRUE;
        if (nAnswer == XTP_HOOK_PASS)
            return FALSE;
    }
    return TRUE;
}

BOOL CXTPKeyboardManager::ProcessKeyboardHook(WPARAM wParam, LPARAM lParam)
{
    if ((lParam & 0x80000000) != 0 || m_sinks.empty())
        return FALSE;
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    if ((lParam & 0x20000000) != 0 && wParam == VK_MENU && pMouseManager->m_nLock < 1) {
        // Alt closes the open menus once; its repeats pass on.
        if ((lParam & 0x40000000) == 0) {
            pMouseManager->SendTrackLostAll();
            return TRUE;
        }
        return FALSE;
    }
    return ProcessKeyboardHooks(WM_KEYDOWN, wParam, lParam);
}

LRESULT CALLBACK CXTPKeyboardManager::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPKeyboardManager* pManager = GetInstance();
    const HHOOK hHook = pManager->m_hHookKeyboard;
    if (nCode == HC_ACTION && pManager->ProcessKeyboardHook(wParam, lParam))
        return 1;
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

LRESULT CALLBACK CXTPKeyboardManager::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const HHOOK hHook = GetInstance()->m_hHookCallWndProc;
    if (nCode == HC_ACTION) {
        const auto* pInfo = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (pInfo->message == WM_ACTIVATEAPP && pInfo->wParam == 0)
            CXTPMouseManager::GetInstance()->SendTrackLostAll();
    }
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

CXTPHookManager* AFXAPI CXTPHookManager::GetInstance()
{
    static CXTPHookManager manager;
    return &manager;
}

CXTPHookManager::~CXTPHookManager()
{
    g_bHookManagerGone = true;
    for (HookedWindow* pWindow : m_windows)
        delete pWindow;
}

CXTPHookManager::HookedWindow* CXTPHookManager::Lookup(HWND hWnd) const
{
    for (HookedWindow* pWindow : m_windows)
        if (pWindow->hWnd == hWnd)
            return pWindow;
    return NULL;
}

BOOL CXTPHookManager::IsHooked(HWND hWnd) const
{
    const HookedWindow* pWindow = Lookup(hWnd);
    return pWindow != NULL && !pWindow->sinks.empty();
}

void CXTPHookManager::SetHook(HWND hWnd, CXTPHookSink* pSink)
{
    if (!::IsWindow(hWnd) || pSink == NULL)
        return;
    HookedWindow* pWindow = Lookup(hWnd);
    if (pWindow == NULL) {
        pWindow = new HookedWindow{hWnd, NULL, {}};
        pWindow->pfnOldProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CXTPHookManager::HookWndProc)));
        m_windows.push_back(pWindow);
    }
    if (std::find(pWindow->sinks.begin(), pWindow->sinks.end(), pSink) == pWindow->sinks.end())
        pWindow->sinks.push_back(pSink);
}

void CXTPHookManager::Unsubclass(HWND hWnd, BOOL bDestroying)
{
    auto it =
        std::find_if(m_windows.begin(), m_windows.end(), [hWnd](HookedWindow* p) { return p->hWnd == hWnd; });
    if (it == m_windows.end())
        return;
    HookedWindow* pWindow = *it;
    pWindow->sinks.clear();
    if (::IsWindow(hWnd)) {
        const auto pfnCurrent = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
        if (pfnCurrent != &CXTPHookManager::HookWndProc && !bDestroying)
            return;
        if (pfnCurrent == &CXTPHookManager::HookWndProc)
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWindow->pfnOldProc));
    }
    m_windows.erase(it);
    delete pWindow;
}

void CXTPHookManager::RemoveHook(HWND hWnd, CXTPHookSink* pSink)
{
    HookedWindow* pWindow = Lookup(hWnd);
    if (pWindow == NULL)
        return;
    auto it = std::find(pWindow->sinks.begin(), pWindow->sinks.end(), pSink);
    if (it != pWindow->sinks.end())
        pWindow->sinks.erase(it);
    if (pWindow->sinks.empty())
        Unsubclass(hWnd, FALSE);
}

void CXTPHookManager::RemoveAll(CXTPHookSink* pSink)
{
    std::vector<HWND> windows;
    for (HookedWindow* pWindow : m_windows)
        if (std::find(pWindow->sinks.begin(), pWindow->sinks.end(), pSink) != pWindow->sinks.end())
            windows.push_back(pWindow->hWnd);
    for (HWND hWnd : windows)
        RemoveHook(hWnd, pSink);
}

LRESULT CALLBACK CXTPHookManager::HookWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    CXTPHookManager* pManager = GetInstance();
    HookedWindow* pWindow = pManager->Lookup(hWnd);
    if (pWindow == NULL)
        return ::DefWindowProcW(hWnd, nMessage, wParam, lParam);
    const WNDPROC pfnOldProc = pWindow->pfnOldProc;
    if (nMessage == WM_NCDESTROY) {
        pManager->Unsubclass(hWnd, TRUE);
        return ::CallWindowProcW(pfnOldProc, hWnd, nMessage, wParam, lParam);
    }
    // The framework's Default() reads the message being handled; the sinks' message is it meanwhile.
    AFX_THREAD_STATE* pThreadState = AfxGetThreadState();
    const MSG lastSent = pThreadState->m_lastSentMsg;
    pThreadState->m_lastSentMsg.hwnd = hWnd;
    pThreadState->m_lastSentMsg.message = nMessage;
    pThreadState->m_lastSentMsg.wParam = wParam;
    pThreadState->m_lastSentMsg.lParam = lParam;
    const std::vector<CXTPHookSink*> sinks = pWindow->sinks;
    for (auto it = sinks.rbegin(); it != sinks.rend(); ++it) {
        // A sink that an earlier one removed is not asked.
        pWindow = pManager->Lookup(hWnd);
        if (pWindow == NULL ||
            std::find(pWindow->sinks.begin(), pWindow->sinks.end(), *it) == pWindow->sinks.end())
            continue;
        LRESULT lResult = 0;
        const int nAnswer = (*it)->OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
        if (nAnswer == XTP_HOOK_HANDLED) {
            pThreadState->m_lastSentMsg = lastSent;
            return lResult;
        }
        if (nAnswer == XTP_HOOK_PASS)
            break;
    }
    const LRESULT lResult = ::CallWindowProcW(pfnOldProc, hWnd, nMessage, wParam, lParam);
    pThreadState->m_lastSentMsg = lastSent;
    return lResult;
}
