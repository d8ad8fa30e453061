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

class CXTPMouseManager
{
public:
    // The calling thread's manager, made on first use.
    static CXTPMouseManager* AFXAPI GetInstance();

    void SetTrack(CXTPCommandBar* pBar);
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

    // WM_MOUSELEAVE for the window once the cursor leaves it.
    void TrackMouseLeave(HWND hWnd);

    // While above 0, a button-up does not close the menus.
    long m_nLock = 0;

private:
    std::vector<CXTPCommandBar*> m_trackedBars;
    CXTPCommandBar* m_pSelected = NULL;
};

class CXTPKeyboardManager
{
public:
    static CXTPKeyboardManager* AFXAPI GetInstance();
    ~CXTPKeyboardManager();

    // The keyboard hook is installed while at least one sink is registered.
    void HookKeyboard(CXTPHookSink* pSink);
    void UnhookKeyboard(CXTPHookSink* pSink);
    BOOL IsKeyboardHooked() const { return !m_sinks.empty(); }
    // The sinks, newest first: 1 consumes (TRUE), 2 passes on (FALSE); TRUE when none decides.
    BOOL ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
    HHOOK m_hHookKeyboard = NULL;
    std::vector<CXTPHookSink*> m_sinks;
};

// Subclasses a window for the sinks that want to see its messages; the last sink to leave (or the
// window's destruction) puts the window procedure back.
class CXTPHookManager
{
public:
    static CXTPHookManager* AFXAPI GetInstance();

    void SetHook(HWND hWnd, CXTPHookSink* pSink);
    void RemoveHook(HWND hWnd, CXTPHookSink* pSink);
    void RemoveAll(CXTPHookSink* pSink);
    BOOL IsHooked(HWND hWnd) const;

private:
    struct HookedWindow
    {
        HWND hWnd;
        WNDPROC pfnOldProc;
        std::vector<CXTPHookSink*> sinks;
    };
    HookedWindow* Lookup(HWND hWnd) const;
    void Unsubclass(HWND hWnd);
    static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    std::vector<HookedWindow*> m_windows;
};
