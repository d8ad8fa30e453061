#pragma once

// What workers last asked a few windows to show, put on screen by the windows' own thread a few times a
// second. A window call from another thread is a message that waits for the window's thread; a worker
// that set a label for every record it reads would spend its time waiting, so it only leaves the text
// here and the owner's timer draws the latest one.
//
// The owner (a panel or dialog on the user-interface thread) creates this with its windows, starts a
// timer of kDrawIntervalMs and calls Draw on it, and before it reads a text back. A set made on the
// windows' own thread is drawn at once and replaces what a worker left for that window.
#include <afxwin.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CLatestWindowTexts
{
public:
    static constexpr UINT kDrawIntervalMs = 100;

    // The thread that owns the windows; by default the one that makes this object.
    CLatestWindowTexts();

    void SetText(HWND window, LPCWSTR text);
    void SetProgressPos(HWND window, UINT percent);

    // On the windows' thread: everything left by workers, on screen.
    void Draw();
    // Forgets what workers left without drawing it.
    void Drop();

private:
    struct Entry
    {
        HWND window = NULL;
        bool isText = true;
        std::wstring text;
        UINT percent = 0;
    };
    bool OnOwnerThread() const { return ::GetCurrentThreadId() == m_ownerThread; }
    void Leave(Entry entry);
    void Forget(HWND window);
    static void Apply(const Entry& entry);

    DWORD m_ownerThread;
    std::mutex m_lock;
    std::vector<Entry> m_pending; // one entry a window: a panel has a handful
};

// Runs `call` on the thread that owns `window` and returns when it is done: at once on that thread,
// otherwise as one message sent to the window, whose procedure passes it to AnswerRunOnWindowThread.
// A worker hands its results over this way in one piece instead of one window message per item.
void RunOnWindowThread(HWND window, const std::function<void()>& call);
// In a window procedure: true (the call made) when the message is RunOnWindowThread's.
bool AnswerRunOnWindowThread(UINT message, LPARAM lParam);
