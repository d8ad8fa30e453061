#pragma once

// The wizard's one scan worker: the drive step's partition search and the later steps' scans all start,
// stop and watch their worker here. The engine's ScanThreadControl holds the two flags the worker and the
// engine share (running, done); this keeps the thread itself.
//
// Stopping is cooperative. The step's Stop asks its question while the worker runs on; Yes sets done, the
// stop request that the engine polls, and the worker leaves at its next check. Nothing here suspends,
// resumes or kills a thread, and nothing waits on one: the step's timer polls HasEnded, and the user-
// interface thread keeps pumping messages (a worker may be waiting for a box only that thread can show).
#include <afxwin.h>

class CScanWorkerControl
{
public:
    // Sets running 1 and done 0 and starts the worker with its parameter; when its procedure returns,
    // running is 0 and done 1 whatever it left. When no thread can be started,
    // running goes back to 0, done to 1, and FALSE is returned.
    static BOOL Start(AFX_THREADPROC pfnWorker, LPVOID pParam);
    // A worker was started and has not been asked to stop (running 1, done 0).
    static BOOL IsSearching();
    // The worker has finished its part: running 0, done set, its procedure has returned, and no stop
    // question is open. The step's timer moves on only then.
    static BOOL HasEnded();
    // Asks `question` (a question box of kind 3, owned by the active window) while the worker goes on.
    // Yes sets done 1 and returns TRUE; No changes nothing. Does nothing and returns FALSE when no worker
    // is searching or another stop question is already open.
    static BOOL AskStop(LPCWSTR question);
    // TRUE while the stop question is open.
    static BOOL IsAskingStop();
    // Forgets an ended worker's thread. Called by the steps' Back; a worker that still runs is kept.
    static void Release();
    // For the end of the program: asks a worker that still runs to stop (done 1, the request it polls)
    // and waits up to `timeoutMs` for its procedure to return, serving meanwhile the calls that the
    // worker sends to this thread (it may be inside one). Posted messages and timers wait: no step moves
    // under the exit. TRUE when no worker runs any more.
    static BOOL StopAndWait(DWORD timeoutMs);
};
