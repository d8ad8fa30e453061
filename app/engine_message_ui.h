#pragma once

#include <windows.h>

#include "engine/recovery/core/engine_ui.h"

#include <functional>

// The engine's messages and questions, shown by the program's message dialogs.
//
// A worker thread's message is shown on the user-interface thread, on the worker's behalf: there the box
// takes the active main window as its owner and keeps it disabled while it is up, so the user cannot
// start something else under a question the engine is still waiting for. The worker waits for the
// answer (it needs it to go on), which the user-interface thread gives from any message loop it runs;
// it must therefore never block on a worker without pumping messages. When the object's thread has no
// window any more, the box is shown on the calling thread without an owner.
//
// The engine's texts are plain text that may hold names and paths, so the HTML box gets them escaped;
// the kind 4 notice shows its text literally anyway.
class CEngineMessageUi final : public MessageUi
{
public:
    // Made on the user-interface thread.
    CEngineMessageUi();
    ~CEngineMessageUi() override;
    CEngineMessageUi(const CEngineMessageUi&) = delete;
    CEngineMessageUi& operator=(const CEngineMessageUi&) = delete;

    int ShowMessage(std::uint32_t kind, const char16_t* text) override;
    int AskQuestion(std::uint32_t kind, const char16_t* text) override;
    int HtmlMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style) override;
    void PlainMessageBox(const char16_t* text) override;

private:
    int OnUserInterfaceThread(const std::function<int()>& show);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    DWORD m_threadId = 0;
};
