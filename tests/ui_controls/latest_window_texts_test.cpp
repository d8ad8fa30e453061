// The latest texts a worker leaves for windows: the worker never waits for the windows' thread, the
// owner's Draw shows the last text and position, a set on the owner's thread wins over what a worker
// left, and RunOnWindowThread runs its call on the window's thread while that thread serves it.
#include "latest_window_texts.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace {

std::wstring TextOf(HWND window)
{
    wchar_t text[64] = {};
    ::GetWindowTextW(window, text, 64);
    return text;
}

// A static and a progress bar of this thread.
struct Windows
{
    Windows()
    {
        label = ::CreateWindowExW(0, L"STATIC", L"before", WS_POPUP, 0, 0, 100, 20, NULL, NULL, NULL, NULL);
        bar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP, 0, 0, 100, 20, NULL, NULL, NULL, NULL);
        ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    }
    ~Windows()
    {
        ::DestroyWindow(label);
        ::DestroyWindow(bar);
    }
    HWND label = NULL;
    HWND bar = NULL;
};

// Runs `work` on a new thread and waits for it without serving any message: true when it ended within
// five seconds, which it cannot while it waits for a window of this thread.
template <typename Work> bool RunWithoutServing(Work work)
{
    struct Call
    {
        Work* work;
        static DWORD WINAPI Run(LPVOID parameter)
        {
            (*static_cast<Call*>(parameter)->work)();
            return 0;
        }
    } call{&work};
    HANDLE thread = ::CreateThread(NULL, 0, Call::Run, &call, 0, NULL);
    const bool ended = ::WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
    // A worker that did wait is served now, so that it ends before its work goes out of scope.
    while (!ended &&
           ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        ::PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    ::CloseHandle(thread);
    return ended;
}

TEST(LatestWindowTexts, AWorkerNeverWaitsAndDrawShowsItsLastTextAndPosition)
{
    Windows windows;
    CLatestWindowTexts latest;
    const bool ended = RunWithoutServing([&] {
        for (int item = 0; item < 20000; ++item) {
            latest.SetText(windows.label, (L"item " + std::to_wstring(item)).c_str());
            latest.SetProgressPos(windows.bar, static_cast<UINT>(item % 101));
        }
    });
    ASSERT_TRUE(ended);
    EXPECT_EQ(TextOf(windows.label), L"before");
    latest.Draw();
    EXPECT_EQ(TextOf(windows.label), L"item 19999");
    EXPECT_EQ(::SendMessageW(windows.bar, PBM_GETPOS, 0, 0), 19999 % 101);
    // Drawn once: nothing is left to draw again.
    ::SetWindowTextW(windows.label, L"after");
    latest.Draw();
    EXPECT_EQ(TextOf(windows.label), L"after");
}

TEST(LatestWindowTexts, ASetOnTheOwnersThreadShowsAtOnceAndWinsOverAWorkersText)
{
    Windows windows;
    CLatestWindowTexts latest;
    ASSERT_TRUE(RunWithoutServing([&] { latest.SetText(windows.label, L"from the worker"); }));
    latest.SetText(windows.label, L"from the owner");
    EXPECT_EQ(TextOf(windows.label), L"from the owner");
    latest.Draw();
    EXPECT_EQ(TextOf(windows.label), L"from the owner");
    // Dropped texts never show.
    ASSERT_TRUE(RunWithoutServing([&] { latest.SetText(windows.label, L"dropped"); }));
    latest.Drop();
    latest.Draw();
    EXPECT_EQ(TextOf(windows.label), L"from the owner");
}

class CAnsweringWindow : public CWnd
{
public:
    CAnsweringWindow()
    {
        CreateEx(0, AfxRegisterWndClass(0), L"answering", WS_POPUP, 0, 0, 1, 1, NULL, NULL);
    }
    ~CAnsweringWindow() override { DestroyWindow(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (AnswerRunOnWindowThread(message, lParam))
            return 0;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(LatestWindowTexts, RunOnWindowThreadRunsTheCallOnTheWindowsThreadOnce)
{
    CAnsweringWindow window;
    const DWORD own = ::GetCurrentThreadId();
    int calls = 0;
    DWORD ranOn = 0;
    struct Work
    {
        HWND window;
        int* calls;
        DWORD* ranOn;
    } work{window.GetSafeHwnd(), &calls, &ranOn};
    HANDLE thread = ::CreateThread(
        NULL, 0,
        [](LPVOID parameter) -> DWORD {
            auto* w = static_cast<Work*>(parameter);
            RunOnWindowThread(w->window, [w] {
                ++*w->calls;
                *w->ranOn = ::GetCurrentThreadId();
            });
            return 0;
        },
        &work, 0, NULL);
    // Serve sent messages until the worker has ended.
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, 5000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        ::PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    ::CloseHandle(thread);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ranOn, own);
    // On the window's own thread the call runs at once.
    RunOnWindowThread(window.GetSafeHwnd(), [&] { ++calls; });
    EXPECT_EQ(calls, 2);
}

} // namespace
