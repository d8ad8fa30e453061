// CWinThread and AfxBeginThread: worker threads (a function and its parameter) and user-interface
// threads (a CWinThread class with its own message loop).
#pragma once

#include "afx/cmd_target.h"

typedef UINT(AFX_CDECL* AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    // Starts the thread; CREATE_SUSPENDED leaves it waiting for ResumeThread.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

    CWnd* m_pMainWnd;
    CWnd* m_pActiveWnd;
    // When set (the default), the object deletes itself when its thread ends; clear it to read
    // the exit code from m_hThread after the end.
    BOOL m_bAutoDelete;
    HANDLE m_hThread;
    DWORD m_nThreadID;
    operator HANDLE() const { return m_hThread; }

    int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::PostThreadMessageW(m_nThreadID, message, wParam, lParam);
    }

    virtual CWnd* GetMainWnd();
    virtual BOOL InitInstance();
    // The message loop of a user-interface thread: idle work while the queue is empty, then one
    // message at a time through PumpMessage until WM_QUIT; returns ExitInstance's code.
    virtual int Run();
    virtual BOOL PumpMessage();
    // Thread messages (no window) go to this thread's ON_THREAD_MESSAGE handlers; window messages
    // to the PreTranslateMessage of the target window and its parents up to the main window.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Idle count 0 sends WM_IDLEUPDATECMDUI to the main window and its descendants; idle count 1
    // frees the thread's temporary objects. TRUE asks for another call.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    virtual LRESULT ProcessWndProcException(CException* e, const MSG* pMsg);
    // Deletes the object when m_bAutoDelete is set; called when the thread ends.
    virtual void Delete();

    MSG m_msgCur;
    LPVOID m_pThreadParams;
    AFX_THREADPROC m_pfnThreadProc;

protected:
    BOOL DispatchThreadMessageEx(MSG* pMsg);
};

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                  int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                  DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
CWinThread* AFXAPI AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                                  UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
// The CWinThread of the calling thread (the application object on the main thread), or null.
CWinThread* AFXAPI AfxGetThread();
// Ends the calling thread with the exit code; with bDelete its CWinThread is deleted (if auto-delete).
[[noreturn]] void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
