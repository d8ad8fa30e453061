#pragma once

#include <afxwin.h>

#include "skinned_dialog.h"
#include "wait_dialog_resource_ids.h"

#include <atomic>

// The work that runs behind the dialog on its worker thread, with the three arguments its caller set
// (pointer-sized, so that windows, items and flags pass unchanged). It returns as soon as it sees the
// stop flag set; until it returns the dialog's modal loop goes on, so it may send messages to windows
// of the user-interface thread.
using ModalWaitRoutine = void (*)(UINT_PTR first, UINT_PTR second, UINT_PTR third,
                                  const std::atomic<bool>& stop);

// Waits until the thread has ended, meanwhile delivering the messages that other threads send to this
// thread's windows (a worker that sends to them goes on), but not the posted ones (input stays queued).
// Then deletes the thread object, which must not delete itself, and sets the pointer to null.
void WaitForThreadServingSentMessages(CWinThread*& pThread);

// Starts a worker that its owner waits for with WaitForThreadServingSentMessages: the thread object does
// not delete itself, so its handle stays valid after the thread has ended. Null when it cannot start.
CWinThread* BeginWaitedWorker(AFX_THREADPROC procedure, LPVOID parameter);

// Keeps the user waiting, modally, while one long piece of work runs on a worker thread that the dialog
// starts when it opens. The dialog closes itself at its first paint after the work has returned; Cancel
// asks the work to stop and the dialog closes once it has. DoModal answers IDCANCEL in both cases, and
// only after the worker thread has ended, so that nothing of the work outlives it.
class CModalWaitDlg : public CDialog
{
public:
    explicit CModalWaitDlg(CWnd* pParent = NULL);
    ~CModalWaitDlg() override;

    void SetWork(ModalWaitRoutine routine, UINT_PTR first, UINT_PTR second, UINT_PTR third);
    // For work that never reads the stop flag: Cancel (and Escape) are disabled, so that the box offers
    // nothing it cannot do. Set before DoModal.
    void DisableCancel() { m_cancellable = false; }

    INT_PTR DoModal() override;

protected:
    // A box of another template of the same kind: a Cancel button and the static that shows the text.
    CModalWaitDlg(UINT nTemplateId, UINT nMessageId, CWnd* pParent);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    // Enter does not end the box: only the work's end or Cancel does.
    void OnOK() override {}
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    static UINT AFX_CDECL ModalWaitThread(LPVOID pParam);
    // Serves the messages that the worker sends (never the user's input) until the worker has ended.
    void WaitForWorker();

    UINT m_nMessageId = IDC_WAIT_MESSAGE;
    CButton m_cancelButton;
    CStatic m_messageLabel;
    CDialogSkin m_skin;
    CFont m_font;
    CBrush m_labelBrush;

    ModalWaitRoutine m_routine = NULL;
    UINT_PTR m_arguments[3] = {0, 0, 0};
    CWinThread* m_pWorker = NULL;
    HWND m_hWndForWorker = NULL; // the dialog as the worker invalidates it; set before the worker starts
    std::atomic<LONG> m_done{0};
    std::atomic<bool> m_stop{false};
    bool m_cancellable = true;
};
