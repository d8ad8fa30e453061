#pragma once

// Answers every dialog box that this thread shows with the button given, and records the request that
// each box was shown for. A box still open after the safety time is closed, so that a fault never hangs
// the run.
#include <windows.h>

#include "message_dialogs.h"

#include <vector>

class BoxAnswerer
{
public:
    explicit BoxAnswerer(int button);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<MessageBoxFields>& Requests() const { return m_requests; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    static inline BoxAnswerer* s_answerer = nullptr;
    int m_button;
    HHOOK m_hook = NULL;
    UINT_PTR m_timer = 0;
    ULONGLONG m_started = 0;
    std::vector<HWND> m_boxes;
    std::vector<MessageBoxFields> m_requests;
};
