#pragma once

// "Data is Saving please wait...": the modal dialog every save of recovered data runs in. Its worker
// copies what is marked (the engine's SaveSelection, or the work the caller hands it) into the target
// folder, while the engine writes the current path, file name, total and progress into the dialog: the
// worker leaves them as the latest values and the dialog's timer shows them a few times a second.
//
// The worker is steered only through SaveControl's flags: Skip File, Escape and the close box set skip
// (the engine abandons the file it is writing, removes it and goes on), Stop Saving (also Enter) asks
// first and on Yes sets stop. While a question about the save stands (Stop's, the close box's notice, the
// frame's close question) the pause flag holds the worker at its next piece or file; the worker is never
// suspended or cut short. The dialog closes at its first paint after the worker has returned, and then
// says what the save did: "Files Saved Successfully." only when no file failed, otherwise what failed and
// why. A stopped save says nothing.
#include <afxwin.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "hover_buttons.h"
#include "latest_window_texts.h"
#include "skinned_dialog.h"
#include "text_progress_ctrl.h"
#include "transparent_controls.h"

#include <atomic>
#include <functional>

class CSavingDlg : public CDialog, public SavingDialogUi
{
public:
    explicit CSavingDlg(CWnd* pParent = NULL);
    ~CSavingDlg() override;

    // The work of the worker instead of SaveSelection (the Find dialog's rows); it returns what the save
    // did. Set before DoModal.
    void SetWork(std::function<SaveOutcomeBlock()> work) { m_work = std::move(work); }

    // Runs the whole save; returns once the worker has ended.
    INT_PTR DoModal() override;

    // What the save did and whether the user stopped it; valid after DoModal.
    const SaveOutcomeBlock& Outcome() const { return m_outcome; }
    bool WasStopped() const { return m_stopped; }
    // The closing message, or empty when the save was stopped.
    const CString& OutcomeText() const { return m_outcomeText; }

    // The saving dialog that is open, or null.
    static CSavingDlg* Running() { return s_pRunning; }
    // Holds the worker at its next piece or file and waits, serving the messages it sends, until it holds
    // or has ended (at most a few seconds: a worker in a slow read holds once the read returns). Nested
    // calls hold it until the last ResumeWorker.
    void PauseWorker();
    void ResumeWorker();
    // Ends the save as Stop's Yes does and waits, serving the messages the worker sends, until it has
    // ended: the file it was writing is removed, so nothing is left cut.
    void StopAndWait();

    // Tests only: called on the worker as a file's name is shown (0, its name) and as its progress moves
    // (1, the percent), so that a test can hold the worker there.
    static inline std::function<void(int, const char16_t*, std::uint32_t)> s_workerHook;

    // SavingDialogUi, called by the worker.
    void SetFileNameText(const char16_t* text) override;
    void SetFolderText(const char16_t* text) override;
    void SetCounterText(const char16_t* text) override;
    void SetProgressPos(std::uint32_t percent) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;     // Stop Saving, Enter
    void OnCancel() override; // Escape
    afx_msg void OnSkip();
    afx_msg void OnPaint();
    afx_msg void OnClose();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    static UINT AFX_CDECL SavingThread(LPVOID pParam);
    // Serves the messages the worker sends until it has ended.
    void WaitForWorker();
    // Stop's question, once the worker holds.
    void AskStop();
    void SetValueText(int id, const char16_t* text);

    CDialogSkin m_skin;
    CToolButton m_skipButton;
    CToolButton m_stopButton;
    CTransparentStatic m_labels[6];
    CTextProgressCtrl m_progress;
    CFont m_labelFont;
    CFont m_progressFont;
    // The worker's latest file name, folder, total and percent, drawn by the dialog's timer.
    CLatestWindowTexts m_latest;

    std::function<SaveOutcomeBlock()> m_work;
    CWinThread* m_pWorker = NULL;
    HWND m_hWndForWorker = NULL;
    SavingDialogUi* m_pPreviousUi = nullptr;
    std::atomic<LONG> m_done{0};
    static inline CSavingDlg* s_pRunning = nullptr;
    int m_pauses = 0;
    bool m_asking = false;
    bool m_finished = false;
    bool m_stopped = false;
    SaveOutcomeBlock m_outcome;
    CString m_outcomeText;
};

// Holds the open save, if there is one, for as long as it lives: a question that the frame asks while a
// save runs (closing the program) stands over a save that does not move.
class CRunningSavePause
{
public:
    CRunningSavePause() : m_pDialog(CSavingDlg::Running())
    {
        if (m_pDialog != nullptr)
            m_pDialog->PauseWorker();
    }
    ~CRunningSavePause()
    {
        if (m_pDialog != nullptr)
            m_pDialog->ResumeWorker();
    }
    CRunningSavePause(const CRunningSavePause&) = delete;
    CRunningSavePause& operator=(const CRunningSavePause&) = delete;

private:
    CSavingDlg* m_pDialog;
};
