// The please-wait dialog on the display with real worker threads: it closes when the work returns, Cancel
// asks the work to stop, and DoModal never returns while the worker thread still runs, also when the work
// sends messages to windows of the user-interface thread.
#include "modal_wait_dialog.h"

#include <gtest/gtest.h>

#include "modal_script.h"
#include "support/screenshot.h"
#include "support/text_fit.h"

#include <atomic>

namespace {

constexpr LRESULT kAnswer = 42;

// A window of the user-interface thread that the work sends to; it notes messages that come after
// DoModal has returned.
class CReceiver : public CWnd
{
public:
    CReceiver()
    {
        CreateEx(0, AfxRegisterWndClass(0), L"receiver", WS_POPUP, 0, 0, 1, 1, HWND_MESSAGE, NULL);
    }
    ~CReceiver() override { DestroyWindow(); }
    std::atomic<int> received{0};
    std::atomic<bool> dialogReturned{false};
    std::atomic<int> receivedAfterReturn{0};

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP) {
            ++received;
            receivedAfterReturn += dialogReturned ? 1 : 0;
            return kAnswer;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct WorkLog
{
    HWND sendTo = NULL;
    int limit = 0;
    std::atomic<int> iterations{0};
    std::atomic<int> answered{0};
    std::atomic<bool> sawStop{false};
    std::atomic<bool> returned{false};
    HANDLE thread = NULL;

    ~WorkLog()
    {
        if (thread != NULL) {
            CloseHandle(thread);
        }
    }
    bool ThreadEnded() const { return thread != NULL && WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }
};

// Works in small pieces until its limit or the stop flag; each piece sends to the receiver when there is
// one. Once stopped it takes a while to wrap up, which the dialog has to wait for as well.
void Work(UINT_PTR logArgument, UINT_PTR, UINT_PTR, const std::atomic<bool>& stop)
{
    auto* log = reinterpret_cast<WorkLog*>(logArgument);
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &log->thread, SYNCHRONIZE,
                    FALSE, 0);
    while (!stop && log->iterations < log->limit) {
        if (log->sendTo != NULL) {
            log->answered += SendMessageW(log->sendTo, WM_APP, 0, 0) == kAnswer ? 1 : 0;
        } else {
            Sleep(5);
        }
        ++log->iterations;
    }
    log->sawStop = stop.load();
    if (log->sawStop) {
        Sleep(200);
    }
    log->returned = true;
}

constexpr int kEndless = 1 << 30;

TEST(ModalWaitDlg, ShowsItsCaptionAndLabelAndCancelStopsTheWorkBeforeItCloses)
{
    WorkLog log;
    log.limit = kEndless;
    std::wstring caption;
    std::wstring label;
    std::string labelCut = "not seen";
    std::vector<ButtonInfo> buttons;
    bool okHiddenAndDisabled = false;
    bool screenshot = false;
    bool openWhileWrappingUp = false;
    ModalScript script({ModalScript::Do([&](HWND box) {
                            caption = WindowText(box);
                            label = WindowText(GetDlgItem(box, IDC_WAIT_MESSAGE));
                            labelCut = test_support::TextCutIn(GetDlgItem(box, IDC_WAIT_MESSAGE));
                            buttons = VisibleButtons(box);
                            HWND ok = GetDlgItem(box, IDOK);
                            okHiddenAndDisabled = ok != NULL && !IsWindowVisible(ok) && !IsWindowEnabled(ok);
                            screenshot = test_support::WriteFramedWindowScreenshot(box, L"modal_wait_dialog");
                        }),
                        [&](HWND box) {
                            if (log.iterations < 3) {
                                return false;
                            }
                            ClickButton(box, IDCANCEL);
                            return true;
                        },
                        [&](HWND box) {
                            if (!log.sawStop) {
                                return false;
                            }
                            openWhileWrappingUp = IsWindowVisible(box) && !log.returned;
                            return true;
                        }});
    CModalWaitDlg dialog;
    dialog.SetWork(Work, reinterpret_cast<UINT_PTR>(&log), 0, 0);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(script.AllStepsRan());
    EXPECT_EQ(caption, L"Corvane VMDK Recovery");
    EXPECT_EQ(label, L"Depending on number of folders and files, it may take some time. Please wait...");
    EXPECT_EQ(labelCut, "") << "the label cuts its text";
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].id, IDCANCEL);
    EXPECT_EQ(buttons[0].text, L"Cancel");
    EXPECT_TRUE(okHiddenAndDisabled);
    EXPECT_TRUE(screenshot);
    EXPECT_TRUE(openWhileWrappingUp);
    EXPECT_TRUE(log.sawStop);
    EXPECT_TRUE(log.returned);
    EXPECT_TRUE(log.ThreadEnded());
}

TEST(ModalWaitDlg, WorkThatEndsAtOnceClosesTheDialogAtItsFirstPaint)
{
    struct Case
    {
        const char* name;
        bool withWork;
    };
    for (const Case& c : {Case{"no work given", false}, Case{"instant work", true}}) {
        SCOPED_TRACE(c.name);
        WorkLog log;
        ModalScript script({}, 5000);
        CModalWaitDlg dialog;
        if (c.withWork) {
            dialog.SetWork(Work, reinterpret_cast<UINT_PTR>(&log), 0, 0);
        }
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_NE(script.Box(), static_cast<HWND>(NULL));
        EXPECT_EQ(log.returned, c.withWork);
        EXPECT_FALSE(log.sawStop);
        EXPECT_EQ(log.ThreadEnded(), c.withWork);
    }
}

TEST(ModalWaitDlg, WorkSendingToTheUserInterfaceThreadNeitherDeadlocksNorOutlivesDoModal)
{
    struct Case
    {
        const char* name;
        int limit;
        // 0: the work ends by itself; IDCANCEL: Cancel is pressed; IDOK: the dialog is ended from outside.
        int ending;
        INT_PTR result;
    };
    const Case cases[] = {
        {"the work ends by itself", 200, 0, IDCANCEL},
        {"cancelled while it sends", kEndless, IDCANCEL, IDCANCEL},
        {"ended from outside while it sends", kEndless, IDOK, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CReceiver receiver;
        WorkLog log;
        log.sendTo = receiver.GetSafeHwnd();
        log.limit = c.limit;
        std::vector<ModalScript::Step> steps;
        if (c.ending != 0) {
            steps.push_back([&](HWND box) {
                if (log.answered < 20) {
                    return false;
                }
                if (c.ending == IDCANCEL) {
                    ClickButton(box, IDCANCEL);
                } else {
                    static_cast<CDialog*>(CWnd::FromHandlePermanent(box))->EndDialog(IDOK);
                }
                return true;
            });
        }
        ModalScript script(steps);
        CModalWaitDlg dialog;
        dialog.SetWork(Work, reinterpret_cast<UINT_PTR>(&log), 0, 0);
        EXPECT_EQ(dialog.DoModal(), c.result);
        receiver.dialogReturned = true;
        EXPECT_FALSE(script.TimedOut());
        EXPECT_TRUE(log.returned);
        EXPECT_TRUE(log.ThreadEnded());
        EXPECT_EQ(log.sawStop, c.ending != 0);
        EXPECT_EQ(log.answered.load(), log.iterations.load());
        EXPECT_EQ(receiver.received.load(), log.iterations.load());
        if (c.ending == 0) {
            EXPECT_EQ(log.iterations, c.limit);
        }
        DrainMessages();
        EXPECT_EQ(receiver.receivedAfterReturn, 0);
    }
}

TEST(ModalWaitDlg, WorkThatCannotStopHasCancelDisabledAndEscapeIgnored)
{
    WorkLog log;
    log.limit = 60;
    bool cancelDisabled = false;
    ModalScript script({[&](HWND box) {
        cancelDisabled = !IsWindowEnabled(GetDlgItem(box, IDCANCEL));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessageW(GetDlgItem(box, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
    }});
    CModalWaitDlg dialog;
    dialog.SetWork(Work, reinterpret_cast<UINT_PTR>(&log), 0, 0);
    dialog.DisableCancel();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(cancelDisabled);
    EXPECT_FALSE(log.sawStop);
    EXPECT_EQ(log.iterations, 60);
}

} // namespace
