// The engine's message interface: a worker thread's question is shown on the user-interface thread over
// the disabled main window, and its answer goes back to the worker.
#include "engine_message_ui.h"

#include <gtest/gtest.h>

#include "engine/recovery/core/engine_types.h"
#include "message_dialogs.h"
#include "modal_script.h"

#include <string>
#include <vector>

namespace {

enum class Call
{
    Question,
    Message,
    HtmlBox,
    PlainBox,
};

struct WorkerCall
{
    MessageUi* ui;
    Call call;
    int result;
};

DWORD WINAPI RunWorkerCall(void* parameter)
{
    auto* work = static_cast<WorkerCall*>(parameter);
    switch (work->call) {
    case Call::Question:
        work->result =
            work->ui->AskQuestion(kMessageQuestion, u"Do you want to stop <partition> searching ?");
        break;
    case Call::Message:
        work->result = work->ui->ShowMessage(kMessageError, u"Unable to open D:\\A&B\\disk.vmdk");
        break;
    case Call::HtmlBox:
        work->result = work->ui->HtmlMessageBox(
            u"Corvane VMDK Recovery was unable to find correct partition parameters.",
            u"Corvane VMDK Recovery", MB_OK | MB_ICONERROR);
        break;
    case Call::PlainBox:
        work->ui->PlainMessageBox(u"EFI PART");
        work->result = 0;
        break;
    }
    return 0;
}

// Ends whatever box a stray worker shows on its own thread, so that a failing run still finishes.
BOOL CALLBACK CloseStrayBox(HWND window, LPARAM)
{
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    PostMessageW(window, WM_COMMAND, IDNO, 0);
    return TRUE;
}

TEST(EngineMessageUi, AWorkersMessageIsShownOnTheUserInterfaceThreadOverTheDisabledMainWindow)
{
    HWND mainWindow = CreateWindowExW(0, L"STATIC", L"Main window", WS_POPUP | WS_VISIBLE, 200, 150, 700, 500,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(mainWindow, nullptr);
    SetForegroundWindow(mainWindow);
    SetActiveWindow(mainWindow);
    ASSERT_EQ(GetActiveWindow(), mainWindow);

    CEngineMessageUi ui;
    struct Case
    {
        const char* name;
        Call call;
        int press;
        int expected;
        // The framework's own box takes the application's main window, which this test has not.
        bool ownedByActiveWindow;
    };
    const Case cases[] = {
        {"question, yes", Call::Question, IDYES, kAnswerYes, true},
        {"question, no", Call::Question, IDNO, kAnswerNo, true},
        {"message", Call::Message, IDOK, 1, true},
        {"html box", Call::HtmlBox, IDOK, IDOK, true},
        {"plain box", Call::PlainBox, IDOK, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD boxThread = 0;
        HWND boxOwner = nullptr;
        BOOL mainEnabledWhileShown = TRUE;
        std::wstring caption;
        ModalScript script({ModalScript::Do([&](HWND box) {
            boxThread = GetWindowThreadProcessId(box, nullptr);
            boxOwner = GetWindow(box, GW_OWNER);
            mainEnabledWhileShown = IsWindowEnabled(mainWindow);
            caption = WindowText(box);
            ClickButton(box, c.press);
        })});
        WorkerCall work = {&ui, c.call, -1};
        DWORD workerId = 0;
        HANDLE worker = CreateThread(nullptr, 0, RunWorkerCall, &work, 0, &workerId);
        ASSERT_NE(worker, nullptr);
        if (!PumpUntilSignalled(worker, 30000)) {
            ADD_FAILURE() << "the worker's box was not shown on this thread";
            EnumThreadWindows(workerId, CloseStrayBox, 0);
            if (!PumpUntilSignalled(worker, 5000)) {
                TerminateThread(worker, 1);
            }
        }
        CloseHandle(worker);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(work.result, c.expected);
        EXPECT_EQ(boxThread, GetCurrentThreadId());
        EXPECT_TRUE(IsWindowEnabled(mainWindow));
        if (c.ownedByActiveWindow) {
            EXPECT_EQ(boxOwner, mainWindow);
            EXPECT_FALSE(mainEnabledWhileShown);
            EXPECT_EQ(caption, L"Corvane VMDK Recovery");
        }
        SetActiveWindow(mainWindow);
    }
    DestroyWindow(mainWindow);
    DrainMessages();
}

TEST(EngineMessageUi, OnTheUserInterfaceThreadItselfTheQuestionIsAskedDirectly)
{
    CEngineMessageUi ui;
    ModalScript script({ModalScript::Do([](HWND box) { ClickButton(box, IDYES); })});
    EXPECT_EQ(ui.AskQuestion(kMessageInformation, u"Go on?"), kAnswerYes);
    EXPECT_FALSE(script.TimedOut());
}

} // namespace
