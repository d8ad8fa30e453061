#include "latest_window_texts.h"

#include <commctrl.h>

#include <algorithm>

namespace {

UINT RunCallMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"CorvaneRunOnWindowThread");
    return message;
}

} // namespace

CLatestWindowTexts::CLatestWindowTexts() : m_ownerThread(::GetCurrentThreadId()) {}

void CLatestWindowTexts::Apply(const Entry& entry)
{
    if (entry.window == NULL)
        return;
    if (entry.isText)
        ::SetWindowTextW(entry.window, entry.text.c_str());
    else
        ::SendMessageW(entry.window, PBM_SETPOS, entry.percent, 0);
}

void CLatestWindowTexts::Forget(HWND window)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                   [window](const Entry& entry) { return entry.window == window; }),
                    m_pending.end());
}

void CLatestWindowTexts::Leave(Entry entry)
{
    if (OnOwnerThread()) {
        Forget(entry.window);
        Apply(entry);
        return;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    for (Entry& pending : m_pending) {
        if (pending.window == entry.window) {
            pending = std::move(entry);
            return;
        }
    }
    m_pending.push_back(std::move(entry));
}

void CLatestWindowTexts::SetText(HWND window, LPCWSTR text)
{
    Entry entry;
    entry.window = window;
    entry.text = text != NULL ? text : L"";
    Leave(std::move(entry));
}

void CLatestWindowTexts::SetProgressPos(HWND window, UINT percent)
{
    Entry entry;
    entry.window = window;
    entry.isText = false;
    entry.percent = percent;
    Leave(std::move(entry));
}

void CLatestWindowTexts::Draw()
{
    std::vector<Entry> pending;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        pending.swap(m_pending);
    }
    for (const Entry& entry : pending) {
        if (::IsWindow(entry.window))
            Apply(entry);
    }
}

void CLatestWindowTexts::Drop()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_pending.clear();
}

void RunOnWindowThread(HWND window, const std::function<void()>& call)
{
    if (window == NULL || !::IsWindow(window) ||
        ::GetWindowThreadProcessId(window, NULL) == ::GetCurrentThreadId()) {
        call();
        return;
    }
    ::SendMessageW(window, RunCallMessage(), 0, reinterpret_cast<LPARAM>(&call));
}

bool AnswerRunOnWindowThread(UINT message, LPARAM lParam)
{
    if (message != RunCallMessage() || lParam == 0)
        return false;
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return true;
}
