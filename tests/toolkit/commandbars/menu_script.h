// Driving modal menus in tests: pumping for a while, keys as the thread's keyboard hook sees them,
// and a script of steps run from a thread timer while a menu tracks, with a safety stop.
#pragma once

#include "command_bars.h"

#include <functional>
#include <vector>

namespace popup_test {

// Pumps the thread's messages (through the application's PreTranslateMessage) for at least the
// given time, or until the condition holds; a quit stays queued.
inline void PumpFor(DWORD dwMilliseconds, const std::function<bool()>& done = {})
{
    const DWORD dwStart = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (!AfxGetThread() || !AfxGetThread()->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (done && done())
            return;
        ::Sleep(5);
    } while (::GetTickCount() - dwStart < dwMilliseconds);
}

// A key as the thread's keyboard hook sees it.
inline void HookKey(WORD wVk)
{
    CXTPKeyboardManager::GetInstance()->ProcessKeyboardHook(wVk, 1);
}

// Steps run one per 60 ms tick while a modal menu tracks; after the last, a safety stop closes
// every menu so that a fault never hangs the run.
class Script
{
public:
    explicit Script(std::vector<std::function<void()>> steps) : m_steps(std::move(steps))
    {
        s_pCurrent = this;
        m_nTimer = ::SetTimer(NULL, 0, 60, &Script::Tick);
    }
    ~Script()
    {
        ::KillTimer(NULL, m_nTimer);
        s_pCurrent = NULL;
    }
    size_t StepsRun() const { return m_nNext; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Script* pScript = s_pCurrent;
        if (pScript == NULL)
            return;
        if (pScript->m_nNext < pScript->m_steps.size()) {
            pScript->m_steps[pScript->m_nNext++]();
        } else if (++pScript->m_nIdleTicks > 50) {
            CXTPMouseManager::GetInstance()->SendTrackLostAll();
        }
    }
    std::vector<std::function<void()>> m_steps;
    size_t m_nNext = 0;
    int m_nIdleTicks = 0;
    UINT_PTR m_nTimer = 0;
    static inline Script* s_pCurrent = NULL;
};

} // namespace popup_test
