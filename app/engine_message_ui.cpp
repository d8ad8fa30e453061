#include "engine_message_ui.h"

#include "html_markup_helpers.h"
#include "html_message_box.h"
#include "message_dialogs.h"

#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"CorvaneEngineMessages";
// lParam: the ShowTask to run.
constexpr UINT kRunShowTask = WM_APP + 1;

struct ShowTask
{
    const std::function<int()>* show;
    int result;
    bool done;
};

const wchar_t* Wide(const char16_t* text)
{
    return text ? reinterpret_cast<const wchar_t*>(text) : L"";
}

std::wstring Escaped(const char16_t* text)
{
    return EscapeHtmlText(Wide(text));
}

} // namespace

CEngineMessageUi::CEngineMessageUi() : m_threadId(GetCurrentThreadId())
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance, kWindowClass, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        RegisterClassExW(&windowClass);
    }
    m_window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

CEngineMessageUi::~CEngineMessageUi()
{
    if (m_window) {
        DestroyWindow(m_window);
    }
}

LRESULT CALLBACK CEngineMessageUi::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunShowTask) {
        auto* task = reinterpret_cast<ShowTask*>(lParam);
        task->result = (*task->show)();
        task->done = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int CEngineMessageUi::OnUserInterfaceThread(const std::function<int()>& show)
{
    if (GetCurrentThreadId() != m_threadId && m_window && IsWindow(m_window)) {
        ShowTask task = {&show, 0, false};
        SendMessageW(m_window, kRunShowTask, 0, reinterpret_cast<LPARAM>(&task));
        if (task.done) {
            return task.result;
        }
    }
    return show();
}

int CEngineMessageUi::ShowMessage(std::uint32_t kind, const char16_t* text)
{
    const std::wstring shown = kind >= kMessageKindInformation && kind <= kMessageKindQuestion
                                   ? Escaped(text)
                                   : std::wstring(Wide(text));
    return OnUserInterfaceThread([&] {
        MessageBoxRequest.Set(shown.c_str(), kind);
        CMessageDlg dialog;
        return static_cast<int>(dialog.DoModal());
    });
}

int CEngineMessageUi::AskQuestion(std::uint32_t kind, const char16_t* text)
{
    // Every question goes through the HTML box, whatever its kind.
    const std::wstring shown = Escaped(text);
    return OnUserInterfaceThread([&] {
        MessageBoxRequest.Set(shown.c_str(), kind);
        CQuestionDlg dialog;
        return static_cast<int>(dialog.DoModal());
    });
}

int CEngineMessageUi::HtmlMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style)
{
    const std::wstring shown = Escaped(text);
    const std::wstring captionText = Wide(caption);
    return OnUserInterfaceThread(
        [&] { return ::HtmlMessageBox(nullptr, shown.c_str(), captionText.c_str(), style, nullptr); });
}

void CEngineMessageUi::PlainMessageBox(const char16_t* text)
{
    const std::wstring shown = Wide(text);
    OnUserInterfaceThread([&] { return AfxMessageBox(shown.c_str(), MB_OK); });
}
