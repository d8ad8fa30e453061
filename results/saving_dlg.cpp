#include "saving_dlg.h"

#include "engine/recovery/save/save_files.h"
#include "message_box_resource_ids.h"
#include "message_dialogs.h"
#include "modal_wait_dialog.h"
#include "results_resource_ids.h"

namespace {

constexpr wchar_t kStopQuestion[] = L"Do you want to stop the saving process?";
constexpr wchar_t kStopFirstText[] = L"Please Stop the Saving process first.";

constexpr UINT_PTR kLatestTextsTimer = 0x5E7;

// The longest the user waits for the worker to hold before a question about the save comes anyway.
constexpr ULONGLONG kPauseWaitMs = 5000;

constexpr int kLabelIds[6] = {IDC_SAVING_TOTAL_LABEL, IDC_SAVING_PATH_LABEL, IDC_SAVING_FILE_NAME_LABEL,
                              IDC_SAVING_FILE_NAME,   IDC_SAVING_TOTAL,      IDC_SAVING_PATH};

void CreateArial(CFont& font, int height, int weight)
{
    font.CreateFont(height, 0, 0, 0, weight, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CSavingDlg, CDialog)
    ON_BN_CLICKED(IDC_SAVING_SKIP, OnSkip)
    ON_WM_PAINT()
    ON_WM_CLOSE()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
END_MESSAGE_MAP()
// clang-format on

CSavingDlg::CSavingDlg(CWnd* pParent) : CDialog(IDD_SAVING_DLG, pParent), m_skin(IDB_SKIN_WAIT) {}

CSavingDlg::~CSavingDlg()
{
    WaitForWorker();
    if (s_pRunning == this)
        s_pRunning = nullptr;
}

INT_PTR CSavingDlg::DoModal()
{
    CSavingDlg* pOuter = s_pRunning;
    s_pRunning = this;
    const INT_PTR result = CDialog::DoModal();
    WaitForWorker();
    s_pRunning = pOuter;
    SaveControl.pause = 0;
    if (engineUi.savingDialog == this)
        engineUi.savingDialog = m_pPreviousUi;
    return result;
}

void CSavingDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SAVING_SKIP, m_skipButton);
    DDX_Control(pDX, IDOK, m_stopButton);
    for (int i = 0; i < 6; ++i)
        DDX_Control(pDX, kLabelIds[i], m_labels[i]);
    DDX_Control(pDX, IDC_SAVING_PROGRESS, m_progress);
}

BOOL CSavingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pPreviousUi = engineUi.savingDialog;
    engineUi.savingDialog = this;

    CreateArial(m_labelFont, 14, FW_NORMAL);
    for (CTransparentStatic& label : m_labels)
        label.SetFont(&m_labelFont);
    m_skipButton.LoadBitmaps(IDB_SAVING_SKIP, IDB_SAVING_SKIP_HOVER);
    m_skipButton.SetTooltipText(L"Skip this file from saving.");
    m_stopButton.LoadBitmaps(IDB_SAVING_STOP, IDB_SAVING_STOP_HOVER);
    m_stopButton.SetTooltipText(L"Stop Saving the files");

    CreateArial(m_progressFont, 18, 600);
    m_progress.SetFont(&m_progressFont);
    m_progress.m_backgroundColour = RGB(0xF2, 0xF2, 0xF2);
    m_progress.m_barTextColour = RGB(0xFF, 0xFF, 0xFF);
    // White over the filled part, the bar's colour over the rest: the text reads at 0% too.
    m_progress.m_backgroundTextColour = RGB(0x1D, 0x75, 0xBD);
    m_progress.m_colours.RemoveAll();
    m_progress.m_colours.Add(RGB(0x1D, 0x75, 0xBD));
    m_progress.m_colours.Add(RGB(0x1D, 0x75, 0xBD));
    m_progress.SetText(L"%d%%", TPBS_PERCENT);
    m_progress.SetRange32(0, 100);
    m_progress.SetPos(0);

    m_done = 0;
    m_hWndForWorker = m_hWnd;
    SetTimer(kLatestTextsTimer, CLatestWindowTexts::kDrawIntervalMs, NULL);
    m_pWorker = BeginWaitedWorker(SavingThread, this);
    if (m_pWorker == NULL)
        EndDialog(IDCANCEL);
    return TRUE;
}

UINT AFX_CDECL CSavingDlg::SavingThread(LPVOID pParam)
{
    auto* pDialog = static_cast<CSavingDlg*>(pParam);
    SaveControl.stop = 0;
    SaveControl.fileCounter = 0;
    pDialog->m_outcome = pDialog->m_work ? pDialog->m_work() : SaveSelection();
    pDialog->m_stopped = SaveControl.stop != 0;
    SaveControl.stop = 0;
    SaveControl.skip = 0;
    SaveControl.fileCounter = 0;
    pDialog->m_done = 1;
    // The next paint of the dialog, on the user-interface thread, closes it.
    ::InvalidateRect(pDialog->m_hWndForWorker, NULL, TRUE);
    return 0;
}

void CSavingDlg::OnPaint()
{
    CPaintDC dc(this);
    // While a question about the save is open the end waits for its answer.
    if (m_asking || m_pauses > 0 || m_done.exchange(0) != 1)
        return;
    m_finished = true;
    KillTimer(kLatestTextsTimer);
    m_latest.Draw();
    if (!m_stopped) {
        const std::u16string text = SaveOutcomeText(m_outcome);
        m_outcomeText = reinterpret_cast<const wchar_t*>(text.c_str());
        m_stopButton.EnableWindow(FALSE);
        m_skipButton.EnableWindow(FALSE);
        // A save that went well is news, not a warning; anything else the user should heed.
        AfxMessageBox(m_outcomeText,
                      MB_OK | (SaveOutcomeIsSuccess(m_outcome) ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
    }
    EndDialog(IDCANCEL);
}

void CSavingDlg::OnSkip()
{
    SaveControl.skip = 1;
}

void CSavingDlg::OnCancel()
{
    OnSkip();
}

void CSavingDlg::OnOK()
{
    if (SaveControl.stop != 0 || m_finished || m_asking)
        return;
    MessageBoxRequest.Set(kStopQuestion, kMessageKindQuestion);
    m_asking = true;
    PauseWorker();
    AskStop();
    m_asking = false;
    ResumeWorker();
}

void CSavingDlg::AskStop()
{
    CQuestionDlg question(this);
    if (question.DoModal() == kQuestionAnswerYes && m_done == 0) {
        m_stopButton.EnableWindow(FALSE);
        SaveControl.stop = 1;
    }
}

void CSavingDlg::OnClose()
{
    if (m_asking)
        return;
    if (m_finished) {
        CDialog::OnClose();
        return;
    }
    MessageBoxRequest.Set(kStopFirstText, kMessageKindQuestion);
    m_asking = true;
    PauseWorker();
    {
        CMessageDlg message(this);
        message.DoModal();
    }
    // What the default makes of a close, Cancel, before the worker goes on: the file it holds is skipped.
    OnCancel();
    m_asking = false;
    ResumeWorker();
}

void CSavingDlg::PauseWorker()
{
    ++m_pauses;
    SaveControl.pause = 1;
    if (m_pWorker == NULL)
        return;
    const HANDLE thread = m_pWorker->m_hThread;
    const ULONGLONG started = ::GetTickCount64();
    while (SaveControl.paused == 0 && m_done == 0 && ::GetTickCount64() - started < kPauseWaitMs) {
        if (::MsgWaitForMultipleObjects(1, &thread, FALSE, 10, QS_SENDMESSAGE) == WAIT_OBJECT_0)
            break;
        MSG message;
        ::PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void CSavingDlg::ResumeWorker()
{
    if (m_pauses == 0 || --m_pauses > 0)
        return;
    SaveControl.pause = 0;
    if (m_done != 0)
        Invalidate();
}

void CSavingDlg::StopAndWait()
{
    if (m_stopButton.GetSafeHwnd() != NULL)
        m_stopButton.EnableWindow(FALSE);
    SaveControl.stop = 1;
    m_pauses = 0;
    SaveControl.pause = 0;
    WaitForWorker();
}

BOOL CSavingDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}

void CSavingDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kLatestTextsTimer) {
        m_latest.Draw();
        return;
    }
    CDialog::OnTimer(nIDEvent);
}

void CSavingDlg::SetValueText(int id, const char16_t* text)
{
    for (int i = 0; i < 6; ++i) {
        if (kLabelIds[i] == id)
            m_latest.SetText(m_labels[i].GetSafeHwnd(),
                             reinterpret_cast<LPCWSTR>(text != nullptr ? text : u""));
    }
}

void CSavingDlg::SetFileNameText(const char16_t* text)
{
    SetValueText(IDC_SAVING_FILE_NAME, text);
    if (s_workerHook)
        s_workerHook(0, text, 0);
}

void CSavingDlg::SetFolderText(const char16_t* text)
{
    SetValueText(IDC_SAVING_PATH, text);
}

void CSavingDlg::SetCounterText(const char16_t* text)
{
    SetValueText(IDC_SAVING_TOTAL, text);
}

void CSavingDlg::SetProgressPos(std::uint32_t percent)
{
    m_latest.SetProgressPos(m_progress.GetSafeHwnd(), percent);
    if (s_workerHook)
        s_workerHook(1, nullptr, percent);
}

void CSavingDlg::WaitForWorker()
{
    WaitForThreadServingSentMessages(m_pWorker);
}
