// The per-thread mouse and keyboard managers and the process-wide window-hook manager, with the
// members the bars call while they track. The mouse manager records which bars track and which bar
// shows a hot control; the keyboard manager hooks the thread's keys while a sink is registered; the
// hook manager subclasses windows on behalf of sinks.
#pragma once

#include <afxwin.h>

#include <vector>

class CXTPCommandBar;

// Answers of a hook sink: ask the next sink, handled (consumed), or stop asking and pass on.
#define XTP_HOOK_NEXT 0
#define XTP_HOOK_HANDLED 1
#define XTP_HOOK_PASS 2

class CXTPHookSink
{
public:
    // Leaves every window it hooked.
    virtual ~CXTPHookSink();
    virtual int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) = 0;
};

// Timer of the mouse-leave emulation, on the watched window.
#define XTP_TID_MOUSELEAVE 113341

class CXTPMouseManager
{
public:
    CXTPMouseManager();
    ~CXTPMouseManager();
    CXTPMouseManager(const CXTPMouseManager&) = delete;
    CXTPMouseManager& operator=(const CXTPMouseManager&) = delete;

    // The calling thread's manager, made on first use; it hooks the thread's mouse at once.
    static CXTPMouseManager* AFXAPI GetInstance();

    void SetupHook(BOOL bInstall);
    BOOL IsHooked() const { return m_hHookMouse != NULL; }
    void SetTrack(CXTPCommandBar* pBar);
    // The last bar to leave moves the cursor where it is, so that the windows below see it again.
    void RemoveTrack(CXTPCommandBar* pBar);
    // Ends the tracking of every tracked bar, first to last.
    void SendTrackLostAll();
    // Adds (or takes) one tracking lock on every tracked bar.
    void LockTrackingAll(BOOL bLock);
    BOOL IsTrackedLock(const CXTPCommandBar* pBar) const;
    BOOL IsOutsideTracking(const CXTPCommandBar* pBar) const;
    BOOL IsBarTracked(const CXTPCommandBar* pBar) const;
    int GetTrackedCount() const { return static_cast<int>(m_trackedBars.size()); }

    // The bar that last showed a hot control.
    void SetSelected(CXTPCommandBar* pBar) { m_pSelected = pBar; }
    CXTPCommandBar* GetSelected() const { return m_pSelected; }
    // Forgets a bar that goes away.
    void RemoveBar(CXTPCommandBar* pBar);

    // Clicks inside these windows (while visible) leave the menus open.
    void AddTrustedWindow(HWND hWnd);
    void RemoveTrustedWindow(HWND hWnd);
    BOOL IsTrustedWindow(HWND hWnd) const;
    // A bar that took a button-down itself has the next left button-up eaten.
    void IgnoreLButtonUp(BOOL bIgnore = TRUE) { m_bIgnoreLButtonUp = bIgnore; }
    BOOL IsIgnoreLButtonUp() const { return m_bIgnoreLButtonUp; }
    // Further popups of this menu tracking open expanded (set by the popup bars).
    void SetForceExpanded(BOOL bForce) { m_bForceExpanded = bForce; }
    BOOL IsForceExpanded() const { return m_bForceExpanded; }

    // WM_MOUSELEAVE for the window once the cursor leaves it (timer XTP_TID_MOUSELEAVE, 50 ms); the
    // window watched before gets its WM_MOUSELEAVE at once.
    void TrackMouseLeave(HWND hWnd);
    HWND GetMouseLeaveWindow() const { return m_hwndMouseLeave; }

    // The hook's work for one mouse message of the thread: TRUE when the message is eaten. Tests call
    // it with records of their own.
    BOOL ProcessMouseHook(UINT nMessage, const MOUSEHOOKSTRUCT* pInfo);
    // Back to a new manager's state (tests that share one thread).
    void Reset();

    // While above 0, a button-up does not close the menus.
    long m_nLock = 0;

private:
    void RouteTrackedMessage(UINT nMessage, POINT pt);
    static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK MouseLeaveTimerProc(HWND hWnd, UINT nMessage, UINT_PTR nIDEvent, DWORD dwTime);

    std::vector<CXTPCommandBar*> m_trackedBars;
    HHOOK m_hHookMouse = NULL;
    CXTPCommandBar* m_pSelected = NULL;
    BOOL m_bForceExpanded = FALSE;
    HWND m_hwndMouseLeave = NULL;
    std::vector<HWND> m_trustedWindows;
    BOOL m_bIgnoreLButtonUp = FALSE;
    static POINT s_ptLast;
};

class CXTPKeyboardManager
{
public:
    static CXTPKeyboardManager* AFXAPI GetInstance();
    ~CXTPKeyboardManager();

    // The keyboard and window-procedure hooks are installed while at least one sink is registered.
    void HookKeyboard(CXTPHookSink* pSink);
    void UnhookKeyboard(CXTPHookSink* pSink);
    BOOL IsKeyboardHooked() const { return !m_sinks.empty(); }
    // The sinks, newest first: 1 consumes (TRUE), 2 passes on (FALSE); TRUE when none decides.
    BOOL ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam);
    // The hook's work for one key (the hook's wParam and lParam): TRUE when the key is eaten.
    BOOL ProcessKeyboardHook(WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);
    HHOOK m_hHookKeyboard = NULL;
    HHOOK m_hHookCallWndProc = NULL;
    std::vector<CXTPHookSink*> m_sinks;
};

// Subclasses a window for the sinks that want to see its messages; the last sink to leave (or the
// window's destruction) puts the window procedure back.
class CXTPHookManager
{
public:
    static CXTPHookManager* AFXAPI GetInstance();
    ~CXTPHookManager();

    void SetHook(HWND hWnd, CXTPHookSink* pSink);
    void RemoveHook(HWND hWnd, CXTPHookSink* pSink);
    void RemoveAll(CXTPHookSink* pSink);
    // Whether a sink watches the window.
    BOOL IsHooked(HWND hWnd) const;

private:
    struct HookedWindow
    {
        HWND hWnd;
        WNDPROC pfnOldProc;
        std::vector<CXTPHookSink*> sinks;
    };
    HookedWindow* Lookup(HWND hWnd) const;
    // Gives the window its procedure back; when another subclass sits above ours, the record stays
    // without sinks and passes every message on until the window goes.
    void Unsubclass(HWND hWnd, BOOL bDestroying);
    static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    std::vector<HookedWindow*> m_windows;
};
