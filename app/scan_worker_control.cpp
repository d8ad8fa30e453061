#include "scan_worker_control.h"

#include "engine/recovery/core/engine_state.h"
#include "message_dialogs.h"

namespace {

// Set by the worker's last act, after the worker procedure returned; reset when the next one starts.
HANDLE g_workerEnded = NULL;
BOOL g_bWorkerStarted = FALSE;
BOOL g_bAskingStop = FALSE;

struct WorkerStart
{
    AFX_THREADPROC pfnWorker;
    LPVOID pParam;
};
WorkerStart g_start = {};

UINT AFX_CDECL WorkerTrampoline(LPVOID)
{
    const UINT result = g_start.pfnWorker(g_start.pParam);
    // However the procedure left (its end, a stop request, a scan given back to the user), the scan is
    // over once it has returned: a step waiting on the flags must not wait for ever.
    ScanThreadControl.running = 0;
    ScanThreadControl.done = 1;
    ::SetEvent(g_workerEnded);
    return result;
}

BOOL WorkerThreadEnded()
{
    return !g_bWorkerStarted || ::WaitForSingleObject(g_workerEnded, 0) == WAIT_OBJECT_0;
}

} // namespace

BOOL CScanWorkerControl::Start(AFX_THREADPROC pfnWorker, LPVOID pParam)
{
    // A worker whose procedure has returned (the flags say so) has only its end event left to set: a
    // Scan pressed in that moment waits for it instead of being refused. Nothing of the thread's end
    // needs this thread's messages, and the wait is bounded.
    if (!WorkerThreadEnded() && ScanThreadControl.running == 0 && ScanThreadControl.done != 0)
        ::WaitForSingleObject(g_workerEnded, 2000);
    if (!WorkerThreadEnded())
        return FALSE;
    if (g_workerEnded == NULL)
        g_workerEnded = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    ::ResetEvent(g_workerEnded);
    g_start = {pfnWorker, pParam};
    ArmScanWorker();
    g_bWorkerStarted = TRUE;
    CWinThread* pThread = AfxBeginThread(WorkerTrampoline, NULL);
    if (pThread == NULL) {
        g_bWorkerStarted = FALSE;
        ScanThreadControl.running = 0;
        ScanThreadControl.done = 1;
        return FALSE;
    }
    // Kept as the engine's record of the current worker; the object deletes itself when the thread ends,
    // so it is never used through this value.
    ScanThreadControl.workerThread = reinterpret_cast<std::uintptr_t>(pThread);
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
    if (WorkerThreadEnded()) {
        g_bWorkerStarted = FALSE;
        ScanThreadControl.workerThread = 0;
    }
}

BOOL CScanWorkerControl::StopAndWait(DWORD timeoutMs)
{
    if (WorkerThreadEnded())
        return TRUE;
    ScanThreadControl.done = 1;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &g_workerEnded, FALSE, left, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return TRUE;
        if (woken != WAIT_OBJECT_0 + 1)
            return WorkerThreadEnded();
        // Only the calls sent from other threads are served; a peek for them delivers them.
        MSG message;
        ::PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
