#include "box_answerer.h"

#include "results_resource_ids.h"
#include "wait_dialog_resource_ids.h"

#include <string>

namespace {

std::wstring Caption(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// A please-wait box asks nothing: it closes itself when its work ends, and closing it early would cancel the
// work the test waits on. It is seen here only when the work outlasts a tick of the timer, as on a loaded
// machine, so answering it would make a test's road depend on the machine's speed.
bool IsPleaseWaitBox(HWND box)
{
    return ::GetDlgItem(box, IDC_WAIT_MESSAGE) != NULL || ::GetDlgItem(box, IDC_LIST_WAIT_TEXT) != NULL ||
           ::GetDlgItem(box, IDC_WAIT_DLG_TEXT) != NULL;
}

BOOL CALLBACK JoinLabel(HWND child, LPARAM param)
{
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    if (std::wstring(name) == L"Static")
        *reinterpret_cast<std::wstring*>(param) += Caption(child);
    return TRUE;
}

} // namespace

BoxAnswerer::BoxAnswerer(int button, std::wstring sparedCaption)
    : m_button(button), m_sparedCaption(std::move(sparedCaption))
{
    s_answerer = this;
    m_hook = ::SetWindowsHookExW(WH_CBT, OnCbt, NULL, ::GetCurrentThreadId());
    m_timer = ::SetTimer(NULL, 0, 50, OnTimer);
    m_started = ::GetTickCount64();
}

BoxAnswerer::~BoxAnswerer()
{
    ::KillTimer(NULL, m_timer);
    ::UnhookWindowsHookEx(m_hook);
    s_answerer = nullptr;
}

LRESULT CALLBACK BoxAnswerer::OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (s_answerer != nullptr && code == HCBT_CREATEWND) {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        wchar_t name[16] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16);
        if ((create->style & WS_CHILD) == 0 && std::wstring(name) == L"#32770") {
            s_answerer->m_requests.push_back(MessageBoxRequest.Copy());
            s_answerer->m_boxes.push_back(reinterpret_cast<HWND>(wParam));
        }
    }
    return ::CallNextHookEx(NULL, code, wParam, lParam);
}

void CALLBACK BoxAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    BoxAnswerer* self = s_answerer;
    if (self == nullptr)
        return;
    for (HWND box : self->m_boxes) {
        if (!::IsWindow(box) || !::IsWindowVisible(box))
            continue;
        if (!self->m_sparedCaption.empty() && Caption(box) == self->m_sparedCaption)
            continue;
        if (IsPleaseWaitBox(box))
            continue;
        if (!self->m_textTaken[box]) {
            self->m_textTaken[box] = true;
            std::wstring text;
            ::EnumChildWindows(box, JoinLabel, reinterpret_cast<LPARAM>(&text));
            self->m_texts.push_back(text);
        }
        HWND button = ::GetDlgItem(box, self->m_button);
        if (button == NULL || ::GetTickCount64() - self->m_started > 20000)
            ::PostMessageW(box, WM_CLOSE, 0, 0);
        else
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(self->m_button, BN_CLICKED),
                           reinterpret_cast<LPARAM>(button));
    }
}
