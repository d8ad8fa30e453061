#include "command_bars.h"

#include <algorithm>

CXTPHookSink::~CXTPHookSink()
{
    CXTPHookManager::GetInstance()->RemoveAll(this);
}

CXTPMouseManager* AFXAPI CXTPMouseManager::GetInstance()
{
    thread_local CXTPMouseManager manager;
    return &manager;
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
    if (it != m_trackedBars.end())
        m_trackedBars.erase(it);
}

void CXTPMouseManager::SendTrackLostAll()
{
    // Each bar leaves the list itself; a bar that does not is dropped so that the walk ends.
    while (!m_trackedBars.empty()) {
        CXTPCommandBar* pBar = m_trackedBars.front();
        pBar->SetTracking(FALSE);
        if (!m_trackedBars.empty() && m_trackedBars.front() == pBar)
            m_trackedBars.erase(m_trackedBars.begin());
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
    RemoveTrack(pBar);
    if (m_pSelected == pBar)
        m_pSelected = NULL;
}

void CXTPMouseManager::TrackMouseLeave(HWND hWnd)
{
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hWnd;
    ::TrackMouseEvent(&track);
}

CXTPKeyboardManager* AFXAPI CXTPKeyboardManager::GetInstance()
{
    thread_local CXTPKeyboardManager manager;
    return &manager;
}

CXTPKeyboardManager::~CXTPKeyboardManager()
{
    if (m_hHookKeyboard != NULL)
        ::UnhookWindowsHookEx(m_hHookKeyboard);
}

void CXTPKeyboardManager::HookKeyboard(CXTPHookSink* pSink)
{
    if (m_hHookKeyboard == NULL)
        m_hHookKeyboard = ::SetWindowsHookExW(WH_KEYBOARD, KeyboardProc, NULL, ::GetCurrentThreadId());
    if (std::find(m_sinks.begin(), m_sinks.end(), pSink) == m_sinks.end())
        m_sinks.push_back(pSink);
}

void CXTPKeyboardManager::UnhookKeyboard(CXTPHookSink* pSink)
{
    auto it = std::find(m_sinks.begin(), m_sinks.end(), pSink);
    if (it != m_sinks.end())
        m_sinks.erase(it);
    if (m_sinks.empty() && m_hHookKeyboard != NULL) {
        ::UnhookWindowsHookEx(m_hHookKeyboard);
        m_hHookKeyboard = NULL;
    }
}

BOOL CXTPKeyboardManager::ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // A sink may leave while it is asked, so the walk works on a copy.
    const std::vector<CXTPHookSink*> sinks = m_sinks;
    for (auto it = sinks.rbegin(); it != sinks.rend(); ++it) {
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

LRESULT CALLBACK CXTPKeyboardManager::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPKeyboardManager* pManager = GetInstance();
    if (nCode != HC_ACTION || (lParam & 0x80000000) != 0 || pManager->m_sinks.empty())
        return ::CallNextHookEx(pManager->m_hHookKeyboard, nCode, wParam, lParam);
    if ((lParam & 0x20000000) != 0 && wParam == VK_MENU && CXTPMouseManager::GetInstance()->m_nLock < 1) {
        // Alt closes the open menus once; its repeats pass on.
        if ((lParam & 0x40000000) == 0) {
            CXTPMouseManager::GetInstance()->SendTrackLostAll();
            return 1;
        }
        return ::CallNextHookEx(pManager->m_hHookKeyboard, nCode, wParam, lParam);
    }
    if (pManager->ProcessKeyboardHooks(WM_KEYDOWN, wParam, lParam))
        return 1;
    return ::CallNextHookEx(pManager->m_hHookKeyboard, nCode, wParam, lParam);
}

CXTPHookManager* AFXAPI CXTPHookManager::GetInstance()
{
    static CXTPHookManager manager;
    return &manager;
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
    return Lookup(hWnd) != NULL;
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

void CXTPHookManager::Unsubclass(HWND hWnd)
{
    auto it =
        std::find_if(m_windows.begin(), m_windows.end(), [hWnd](HookedWindow* p) { return p->hWnd == hWnd; });
    if (it == m_windows.end())
        return;
    HookedWindow* pWindow = *it;
    m_windows.erase(it);
    if (::IsWindow(hWnd))
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWindow->pfnOldProc));
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
        Unsubclass(hWnd);
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
        pManager->Unsubclass(hWnd);
        return ::CallWindowProcW(pfnOldProc, hWnd, nMessage, wParam, lParam);
    }
    const std::vector<CXTPHookSink*> sinks = pWindow->sinks;
    for (auto it = sinks.rbegin(); it != sinks.rend(); ++it) {
        LRESULT lResult = 0;
        const int nAnswer = (*it)->OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
        if (nAnswer == XTP_HOOK_HANDLED)
            return lResult;
        if (nAnswer == XTP_HOOK_PASS)
            break;
    }
    return ::CallWindowProcW(pfnOldProc, hWnd, nMessage, wParam, lParam);
}
