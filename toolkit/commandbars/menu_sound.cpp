#include "menu_sound.h"

#include <mmsystem.h>

#include <atomic>

namespace {

enum
{
    kRequestNone = 0,
    kRequestStop = 3,
};

BOOL CALLBACK PlayWithWinmm(LPCWSTR lpszAlias, DWORD dwFlags)
{
    typedef BOOL(WINAPI * PFN_PLAYSOUNDW)(LPCWSTR, HMODULE, DWORD);
    static PFN_PLAYSOUNDW pfnPlaySound = [] {
        HMODULE hWinmm = ::LoadLibraryW(L"winmm.dll");
        return hWinmm != NULL ? reinterpret_cast<PFN_PLAYSOUNDW>(
                                    reinterpret_cast<void*>(::GetProcAddress(hWinmm, "PlaySoundW")))
                              : nullptr;
    }();
    return pfnPlaySound != nullptr && pfnPlaySound(lpszAlias, NULL, dwFlags);
}

// The one player of the process.
class CMenuSoundPlayer
{
public:
    ~CMenuSoundPlayer() { Stop(); }

    void Play(int nRequest)
    {
        if (!m_bEnabled)
            return;
        if (m_hThread == NULL && !Start())
            return;
        // A stop written meanwhile is never replaced by a sound.
        int nExpected = m_nRequest.load();
        while (nExpected != kRequestStop && !m_nRequest.compare_exchange_weak(nExpected, nRequest)) {
        }
    }

    void Stop()
    {
        if (m_hThread == NULL)
            return;
        m_nRequest.store(kRequestStop);
        ::WaitForSingleObject(m_hThread, 100);
        // A worker still inside a sound ends on its own; the next start waits for it.
        m_hEnding = m_hThread;
        m_hThread = NULL;
    }

    BOOL m_bEnabled = TRUE;
    HANDLE m_hThread = NULL;
    XTP_PLAYSOUND_PROC m_pfnPlay = PlayWithWinmm;

private:
    BOOL Start()
    {
        if (m_hEnding != NULL) {
            if (::WaitForSingleObject(m_hEnding, 0) != WAIT_OBJECT_0)
                return FALSE;
            ::CloseHandle(m_hEnding);
            m_hEnding = NULL;
        }
        m_nRequest.store(kRequestNone);
        DWORD dwThreadId = 0;
        m_hThread = ::CreateThread(NULL, 0, ThreadProc, this, CREATE_SUSPENDED, &dwThreadId);
        if (m_hThread == NULL)
            return FALSE;
        ::SetThreadPriority(m_hThread, THREAD_PRIORITY_BELOW_NORMAL);
        ::ResumeThread(m_hThread);
        return TRUE;
    }

    static DWORD WINAPI ThreadProc(LPVOID pParam)
    {
        auto* pPlayer = static_cast<CMenuSoundPlayer*>(pParam);
        const XTP_PLAYSOUND_PROC pfnPlay = pPlayer->m_pfnPlay;
        for (;;) {
            int nRequest = pPlayer->m_nRequest.load();
            if (nRequest == kRequestStop)
                break;
            if (nRequest == XTP_MENUSOUND_COMMAND || nRequest == XTP_MENUSOUND_POPUP) {
                pfnPlay(nRequest == XTP_MENUSOUND_COMMAND ? L"MenuCommand" : L"MenuPopup",
                        SND_ALIAS | SND_NOWAIT | SND_NODEFAULT);
                // Only the request just played is cleared; a stop that came meanwhile stays.
                pPlayer->m_nRequest.compare_exchange_strong(nRequest, kRequestNone);
            }
            ::Sleep(5);
        }
        pfnPlay(NULL, SND_PURGE);
        return 0;
    }

    std::atomic<int> m_nRequest{kRequestNone};
    HANDLE m_hEnding = NULL;
};

CMenuSoundPlayer& Player()
{
    static CMenuSoundPlayer player;
    return player;
}

} // namespace

void AFXAPI MenuSoundPlay(int nRequest)
{
    Player().Play(nRequest);
}

void AFXAPI MenuSoundStop()
{
    Player().Stop();
}

void AFXAPI MenuSoundEnable(BOOL bEnable)
{
    Player().m_bEnabled = bEnable;
}

BOOL AFXAPI MenuSoundIsRunning()
{
    return Player().m_hThread != NULL;
}

void AFXAPI MenuSoundSetPlayProc(XTP_PLAYSOUND_PROC pfnPlay)
{
    Player().m_pfnPlay = pfnPlay != NULL ? pfnPlay : PlayWithWinmm;
}
