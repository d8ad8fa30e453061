#pragma once

// Answers every dialog box that this thread shows with the button given, and records the request that
// each box was shown for and the text of its labels. A box still open after the safety time is closed, so
// that a fault never hangs the run. A box with the spared caption (a dialog whose own boxes are to be
// answered) is left alone, and so is a please-wait box, which closes itself.
#include <windows.h>

#include "message_dialogs.h"

#include <map>
#include <string>
#include <vector>

class BoxAnswerer
{
public:
    explicit BoxAnswerer(int button, std::wstring sparedCaption = std::wstring());
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<MessageBoxFields>& Requests() const { return m_requests; }
    // The labels' texts of each box answered, joined, in the order the boxes were answered.
    const std::vector<std::wstring>& Texts() const { return m_texts; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    static inline BoxAnswerer* s_answerer = nullptr;
    int m_button;
    std::wstring m_sparedCaption;
    HHOOK m_hook = NULL;
    UINT_PTR m_timer = 0;
    ULONGLONG m_started = 0;
    std::vector<HWND> m_boxes;
    std::vector<MessageBoxFields> m_requests;
    std::vector<std::wstring> m_texts;
    std::map<HWND, bool> m_textTaken;
};
