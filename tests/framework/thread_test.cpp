#include <afxmt.h>
#include <afxwin.h>

#include <atomic>

#include <gtest/gtest.h>

namespace {

struct WorkerState
{
    std::atomic<int> runs{0};
    std::atomic<CWinThread*> seenThread{nullptr};
    UINT exitCode = 0;
};

UINT AFX_CDECL CountingWorker(LPVOID pParam)
{
    WorkerState* pState = static_cast<WorkerState*>(pParam);
    pState->seenThread = AfxGetThread();
    ++pState->runs;
    return pState->exitCode;
}

UINT AFX_CDECL EndingWorker(LPVOID pParam)
{
    WorkerState* pState = static_cast<WorkerState*>(pParam);
    ++pState->runs;
    AfxEndThread(pState->exitCode, FALSE);
}

} // namespace

TEST(Threads, SuspendedWorkerRunsWhenResumedAndLeavesItsExitCode)
{
    struct Case
    {
        const char* name;
        AFX_THREADPROC procedure;
        UINT exitCode;
    };
    const Case cases[] = {
        {"returning worker", &CountingWorker, 42},
        {"worker ending itself", &EndingWorker, 0xC0FFEE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkerState state;
        state.exitCode = c.exitCode;
        CWinThread* pThread =
            AfxBeginThread(c.procedure, &state, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(pThread, nullptr);
        pThread->m_bAutoDelete = FALSE;
        EXPECT_NE(pThread->m_nThreadID, 0u);
        EXPECT_EQ(WaitForSingleObject(pThread->m_hThread, 200), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(state.runs, 0) << "a suspended thread must not run";

        EXPECT_EQ(pThread->ResumeThread(), 1u);
        ASSERT_EQ(WaitForSingleObject(pThread->m_hThread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
        DWORD exitCode = 0;
        ASSERT_TRUE(GetExitCodeThread(pThread->m_hThread, &exitCode));
        EXPECT_EQ(exitCode, c.exitCode);
        EXPECT_EQ(state.runs, 1);
        delete pThread;
    }
}

TEST(Threads, AutoDeletingWorkerKnowsItsThreadObject)
{
    WorkerState state;
    state.exitCode = 3;
    CWinThread* pThread =
        AfxBeginThread(&CountingWorker, &state, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(pThread, nullptr);
    HANDLE hCopy = NULL;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), pThread->m_hThread, GetCurrentProcess(), &hCopy, 0,
                                FALSE, DUPLICATE_SAME_ACCESS));
    CWinThread* pExpected = pThread;
    pThread->ResumeThread(); // from here on the object belongs to the thread, which deletes it
    ASSERT_EQ(WaitForSingleObject(hCopy, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(state.seenThread, pExpected);
    CloseHandle(hCopy);
    EXPECT_EQ(AfxGetThread(), nullptr) << "this test's thread has no CWinThread";
}

namespace {

class CMessageThread : public CWinThread
{
    DECLARE_DYNCREATE(CMessageThread)
public:
    static std::atomic<LONG> s_total;
    BOOL InitInstance() override { return TRUE; }
    int ExitInstance() override { return static_cast<int>(s_total.load()); }
    afx_msg void OnAdd(WPARAM wParam, LPARAM lParam)
    {
        s_total += static_cast<LONG>(wParam + lParam);
        if (wParam == 0)
            PostQuitMessage(0);
    }
    DECLARE_MESSAGE_MAP()
};
std::atomic<LONG> CMessageThread::s_total{0};
IMPLEMENT_DYNCREATE(CMessageThread, CWinThread)

// clang-format off
BEGIN_MESSAGE_MAP(CMessageThread, CWinThread)
    ON_THREAD_MESSAGE(WM_APP + 1, OnAdd)
END_MESSAGE_MAP()
// clang-format on

} // namespace

TEST(Threads, UserInterfaceThreadDispatchesThreadMessages)
{
    CMessageThread::s_total = 0;
    CWinThread* pThread =
        AfxBeginThread(RUNTIME_CLASS(CMessageThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(pThread, nullptr);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    // The queue exists once the thread has called a message function; post until it takes them.
    for (int attempt = 0; attempt < 500 && !pThread->PostThreadMessage(WM_APP + 1, 5, 6); ++attempt)
        Sleep(10);
    pThread->PostThreadMessage(WM_APP + 1, 0, 1);
    ASSERT_EQ(WaitForSingleObject(pThread->m_hThread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD exitCode = 0;
    GetExitCodeThread(pThread->m_hThread, &exitCode);
    EXPECT_EQ(exitCode, 12u);
    delete pThread;
}

namespace {

struct Shared
{
    CCriticalSection section;
    CEvent ready{FALSE, TRUE};
    long counter = 0;
};

UINT AFX_CDECL Incrementer(LPVOID pParam)
{
    Shared* pShared = static_cast<Shared*>(pParam);
    CSingleLock wait(&pShared->ready, TRUE);
    for (int i = 0; i < 10000; ++i) {
        CSingleLock lock(&pShared->section, TRUE);
        ++pShared->counter;
    }
    return 0;
}

} // namespace

TEST(Threads, LocksAndEventsSynchronise)
{
    Shared shared;
    CWinThread* threads[4];
    for (CWinThread*& pThread : threads) {
        pThread = AfxBeginThread(&Incrementer, &shared);
        ASSERT_NE(pThread, nullptr);
        pThread->m_bAutoDelete = FALSE; // set before the event lets the workers finish
    }
    shared.ready.SetEvent();
    for (CWinThread* pThread : threads) {
        EXPECT_EQ(WaitForSingleObject(pThread->m_hThread, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
        delete pThread;
    }
    EXPECT_EQ(shared.counter, 40000);

    CMutex mutex(FALSE, L"Local\\framework-thread-test-mutex");
    CMutex same(FALSE, L"Local\\framework-thread-test-mutex");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CSingleLock lock(&mutex);
    EXPECT_TRUE(lock.Lock(0));
    EXPECT_TRUE(lock.IsLocked());
    EXPECT_TRUE(lock.Unlock());
    EXPECT_FALSE(lock.IsLocked());
}
