#include "modal_wait_dialog.h"

#include "message_box_resource_ids.h"
#include "message_dialogs.h"

namespace {

constexpr wchar_t kWaitMessage[] =
    L"Depending on number of folders and files, it may take some time. Please wait...";
constexpr COLORREF kLabelBackground = RGB(0xF2, 0xF2, 0xF2);

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CModalWaitDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
// clang-format on

CModalWaitDlg::CModalWaitDlg(CWnd* pParent) : CModalWaitDlg(IDD_MODAL_WAIT_DLG, IDC_WAIT_MESSAGE, pParent) {}

CModalWaitDlg::CModalWaitDlg(UINT nTemplateId, UINT nMessageId, CWnd* pParent)
    : CDialog(nTemplateId, pParent), m_nMessageId(nMessageId), m_skin(IDB_SKIN_WAIT)
{
    m_font.CreateFont(15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    m_labelBrush.CreateSolidBrush(kLabelBackground);
}

CModalWaitDlg::~CModalWaitDlg()
{
    // DoModal has waited already; this covers a dialog whose window went some other way.
    WaitForWorker();
}

void CModalWaitDlg::SetWork(ModalWaitRoutine routine, UINT_PTR first, UINT_PTR second, UINT_PTR third)
{
    m_routine = routine;
    m_arguments[0] = first;
    m_arguments[1] = second;
    m_arguments[2] = third;
}

INT_PTR CModalWaitDlg::DoModal()
{
    const INT_PTR result = CDialog::DoModal();
    WaitForWorker();
    return result;
}

void CModalWaitDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDCANCEL, m_cancelButton);
    DDX_Control(pDX, static_cast<int>(m_nMessageId), m_messageLabel);
}

BOOL CModalWaitDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(kMessageCaption);
    m_messageLabel.SetFont(&m_font);
    m_cancelButton.SetFont(&m_font);
    m_messageLabel.SetWindowText(kWaitMessage);
    if (!m_cancellable)
        m_cancelButton.EnableWindow(FALSE);

    m_done = 0;
    m_stop = false;
    m_hWndForWorker = m_hWnd;
    m_pWorker = BeginWaitedWorker(ModalWaitThread, this);
    if (m_pWorker == NULL)
        EndDialog(IDCANCEL);
    return TRUE;
}

UINT AFX_CDECL CModalWaitDlg::ModalWaitThread(LPVOID pParam)
{
    auto* pDialog = static_cast<CModalWaitDlg*>(pParam);
    if (pDialog->m_routine != NULL) {
        pDialog->m_routine(pDialog->m_arguments[0], pDialog->m_arguments[1], pDialog->m_arguments[2],
                           pDialog->m_stop);
    }
    pDialog->m_done = 1;
    // The next paint of the dialog, on the user-interface thread, closes it.
    ::InvalidateRect(pDialog->m_hWndForWorker, NULL, TRUE);
    return 1;
}

void CModalWaitDlg::OnPaint()
{
    CPaintDC dc(this);
    if (m_done.exchange(0) == 1) {
        EndDialog(IDCANCEL);
    }
}

// The work may hold the tree, the lists or a lock when it is asked to stop: it is never cut short. The
// dialog stays (and its loop keeps serving the worker's messages) until the work has returned.
void CModalWaitDlg::OnCancel()
{
    if (m_cancellable)
        m_stop = true;
}

BOOL CModalWaitDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC)) {
        return TRUE;
    }
    return CDialog::OnEraseBkgnd(pDC);
}

HBRUSH CModalWaitDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == static_cast<int>(m_nMessageId)) {
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetBkColor(kLabelBackground);
        return static_cast<HBRUSH>(m_labelBrush.GetSafeHandle());
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CModalWaitDlg::WaitForWorker()
{
    if (m_pWorker == NULL) {
        return;
    }
    m_stop = true;
    WaitForThreadServingSentMessages(m_pWorker);
}

CWinThread* BeginWaitedWorker(AFX_THREADPROC procedure, LPVOID parameter)
{
    CWinThread* pThread = AfxBeginThread(procedure, parameter, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == NULL)
        return NULL;
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    return pThread;
}

void WaitForThreadServingSentMessages(CWinThread*& pThread)
{
    if (pThread == NULL)
        return;
    const HANDLE thread = pThread->m_hThread;
    for (;;) {
        const DWORD wait = ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        ::PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    delete pThread;
    pThread = NULL;
}
