#include <afxpriv.h>

#include <process.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

unsigned __stdcall ThreadEntry(void* pParam)
{
    CWinThread* pThread = static_cast<CWinThread*>(pParam);
    AfxGetThreadState()->m_pCurrentWinThread = pThread;
    UINT nResult = 0;
    if (pThread->m_pfnThreadProc != NULL)
        nResult = (*pThread->m_pfnThreadProc)(pThread->m_pThreadParams);
    else if (!pThread->InitInstance())
        nResult = static_cast<UINT>(pThread->ExitInstance());
    else
        nResult = static_cast<UINT>(pThread->Run());
    AfxEndThread(nResult);
}

} // namespace

CWinThread::CWinThread()
    : m_pMainWnd(NULL), m_pActiveWnd(NULL), m_bAutoDelete(TRUE), m_hThread(NULL), m_nThreadID(0), m_msgCur{},
      m_pThreadParams(NULL), m_pfnThreadProc(NULL)
{}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : CWinThread()
{
    m_pfnThreadProc = pfnThreadProc;
    m_pThreadParams = pParam;
}

CWinThread::~CWinThread()
{
    if (m_hThread != NULL)
        ::CloseHandle(m_hThread);
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pCurrentWinThread == this)
        pState->m_pCurrentWinThread = NULL;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    ASSERT(m_hThread == NULL);
    // Always created suspended, so that the handle and id are stored before the thread can use
    // (or delete) this object.
    unsigned threadId = 0;
    const uintptr_t hThread = _beginthreadex(lpSecurityAttrs, nStackSize, &ThreadEntry, this,
                                             (dwCreateFlags | CREATE_SUSPENDED), &threadId);
    if (hThread == 0)
        return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(hThread);
    m_nThreadID = threadId;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

CWnd* CWinThread::GetMainWnd()
{
    return m_pActiveWnd != NULL ? m_pActiveWnd : m_pMainWnd;
}

BOOL CWinThread::InitInstance()
{
    return FALSE; // a user-interface thread class says what it sets up
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessageW(&m_msgCur, NULL, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageW(&m_msgCur, NULL, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    if (::GetMessageW(&m_msgCur, NULL, 0, 0) <= 0)
        return FALSE; // WM_QUIT, or a failure that would otherwise spin
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == NULL && DispatchThreadMessageEx(pMsg))
        return TRUE;
    // The target window and its parents up to this thread's main window get their turn.
    CWnd* pMainWnd = GetMainWnd();
    if (CWnd::WalkPreTranslateTree(pMainWnd->GetSafeHwnd(), pMsg))
        return TRUE;
    // A modeless window outside the main window gets the main window's accelerators last.
    if (pMainWnd != NULL && pMainWnd->m_hWnd != NULL && pMsg->hwnd != NULL) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        if (pWnd->GetTopLevelParent() != pMainWnd)
            return pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::DispatchThreadMessageEx(MSG* pMsg)
{
    typedef void (AFX_MSG_CALL CCmdTarget::*PMSG_V_W_L)(WPARAM, LPARAM);
    for (const AFX_MSGMAP* pMessageMap = GetMessageMap(); pMessageMap != NULL;
         pMessageMap = pMessageMap->pfnGetBaseMap != NULL ? pMessageMap->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* lpEntry = pMessageMap->lpEntries; lpEntry->nSig != AfxSig_end;
             ++lpEntry) {
            if (lpEntry->nMessage == pMsg->message && lpEntry->nSig == AfxSig_vwl) {
                (this->*AfxMemberCast<PMSG_V_W_L>(lpEntry->pfn))(pMsg->wParam, pMsg->lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        // Toolbars, status bars and dialog bars bring their command states up to date.
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd != NULL && pMainWnd->m_hWnd != NULL && pMainWnd->IsWindowVisible()) {
            AfxCallWndProc(pMainWnd, pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
        // The thread's other frames (floating bars, second top-level frames) as well.
        AfxIdleUpdateFrames(pMainWnd);
        return TRUE;
    }
    if (lCount == 1 && AfxGetThreadState()->m_nTempMapLock == 0) {
        // No handler of this loop is running: the temporary objects can go.
        AfxLockTempMaps();
        AfxUnlockTempMaps(TRUE);
    }
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves and the caret's timer come all the time; they do not restart idle work.
    return pMsg->message != WM_MOUSEMOVE && pMsg->message != WM_NCMOUSEMOVE && pMsg->message != WM_PAINT &&
           pMsg->message != 0x0118;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

LRESULT CWinThread::ProcessWndProcException(CException* e, const MSG*)
{
    if (e != NULL)
        e->ReportError();
    return 0;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                                  DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        pThread->Delete();
        return NULL;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

CWinThread* AFXAPI AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize,
                                  DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pThreadClass == NULL || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
        return NULL;
    CWinThread* pThread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (pThread == NULL)
        AfxThrowMemoryException();
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        pThread->Delete();
        return NULL;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

CWinThread* AFXAPI AfxGetThread()
{
    return AfxGetThreadState()->m_pCurrentWinThread;
}

void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    CWinThread* pThread = pState->m_pCurrentWinThread;
    if (pThread != NULL && bDelete)
        pThread->Delete();
    pState->m_pCurrentWinThread = NULL;
    _endthreadex(nExitCode);
    for (;;) {
    }
}
