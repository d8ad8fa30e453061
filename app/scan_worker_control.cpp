#include "scan_worker_control.h"

#include "engine/recovery/core/engine_state.h"
#include "message_dialogs.h"

namespace {

// A duplicate of the worker's thread handle: the thread object deletes itself when the thread ends, the
// handle stays valid until released here.
HANDLE g_workerThread = NULL;
BOOL g_bAskingStop = FALSE;

void CloseWorkerHandle()
{
    if (g_workerThread != NULL)
        ::CloseHandle(g_workerThread);
    g_workerThread = NULL;
    ScanThreadControl.workerThread = 0;
}

BOOL WorkerThreadEnded()
{
    return g_workerThread == NULL || ::WaitForSingleObject(g_workerThread, 0) == WAIT_OBJECT_0;
}

} // namespace

BOOL CScanWorkerControl::Start(AFX_THREADPROC pfnWorker, LPVOID pParam)
{
    if (g_workerThread != NULL && !WorkerThreadEnded())
        return FALSE;
    CloseWorkerHandle();
    ScanThreadControl.done = 0;
    ScanThreadControl.running = 1;
    CWinThread* pThread =
        AfxBeginThread(pfnWorker, pParam, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, NULL);
    if (pThread == NULL) {
        ScanThreadControl.running = 0;
        ScanThreadControl.done = 1;
        return FALSE;
    }
    // Started suspended only so that the handle is taken before the thread can end and free its object.
    HANDLE duplicate = NULL;
    ::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &duplicate,
                      SYNCHRONIZE, FALSE, 0);
    g_workerThread = duplicate;
    ScanThreadControl.workerThread = reinterpret_cast<std::uintptr_t>(pThread);
    pThread->ResumeThread();
    return TRUE;
}

BOOL CScanWorkerControl::IsSearching()
{
    return ScanThreadControl.running == 1 && ScanThreadControl.done == 0;
}

BOOL CScanWorkerControl::HasEnded()
{
    return !g_bAskingStop && ScanThreadControl.running == 0 && ScanThreadControl.done != 0 &&
           WorkerThreadEnded();
}

BOOL CScanWorkerControl::AskStop(LPCWSTR question)
{
    if (g_bAskingStop || !IsSearching())
        return FALSE;
    g_bAskingStop = TRUE;
    MessageBoxRequest.Set(question, kMessageKindQuestion);
    CQuestionDlg dialog;
    const INT_PTR answer = dialog.DoModal();
    // The worker may have ended while the question was open; its flags stay as it left them.
    const BOOL bStop = answer == kQuestionAnswerYes;
    if (bStop)
        ScanThreadControl.done = 1;
    g_bAskingStop = FALSE;
    return bStop;
}

BOOL CScanWorkerControl::IsAskingStop()
{
    return g_bAskingStop;
}

void CScanWorkerControl::Release()
{
    if (WorkerThreadEnded())
        CloseWorkerHandle();
}
