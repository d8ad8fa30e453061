#include "progress_dlg.h"

#include "dialog_fonts.h"
#include "message_box_resource_ids.h"
#include "resource.h"
#include "step_progress_bar.h"

// clang-format off
BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_MESSAGE(kProgressSetPosMessage, OnSetPosMessage)
END_MESSAGE_MAP()
// clang-format on

CProgressDlg::CProgressDlg(UINT nCaptionID)
    : m_nCaptionID(nCaptionID != 0 ? nCaptionID : IDS_PROGRESS_CAPTION), m_skin(IDB_SKIN_PROGRESS)
{}

CProgressDlg::~CProgressDlg()
{
    if (GetSafeHwnd() != NULL)
        DestroyWindow();
}

BOOL CProgressDlg::Create(CWnd* pParent)
{
    // The owner is the top-level window of the parent, or the main window.
    CWnd* pStart = pParent != NULL ? pParent : AfxGetMainWnd();
    m_hOwner = pStart != NULL ? pStart->GetSafeHwnd() : NULL;
    while (m_hOwner != NULL && (::GetWindowLongW(m_hOwner, GWL_STYLE) & WS_CHILD) != 0)
        m_hOwner = ::GetParent(m_hOwner);
    m_bOwnerDisabled = FALSE;
    if (m_hOwner != NULL && ::IsWindowEnabled(m_hOwner)) {
        ::EnableWindow(m_hOwner, FALSE);
        m_bOwnerDisabled = TRUE;
    }
    if (!CDialog::Create(IDD_PROGRESS, pParent)) {
        ReEnableOwner();
        return FALSE;
    }
    return TRUE;
}

void CProgressDlg::ReEnableOwner()
{
    if (m_bOwnerDisabled && m_hOwner != NULL)
        ::EnableWindow(m_hOwner, TRUE);
    m_bOwnerDisabled = FALSE;
}

BOOL CProgressDlg::DestroyWindow()
{
    ReEnableOwner();
    return CDialog::DestroyWindow();
}

void CProgressDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS_STATUS, m_status);
    DDX_Control(pDX, IDC_PROGRESS_PERCENT, m_percent);
    DDX_Control(pDX, IDC_PROGRESS_BAR, m_bar);
}

BOOL CProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateArialFont(m_staticFont, 16, FW_NORMAL);
    CreateArialFont(m_barFont, 18, 600);
    m_status.SetFont(&m_staticFont);
    m_percent.SetFont(&m_staticFont);
    m_bar.SetFont(&m_barFont);
    SetUpStepProgressBar(m_bar, RGB(0x1D, 0x75, 0xBD));
    m_bar.SetRange32(m_nLower, m_nUpper);
    m_bar.SetStep(m_nStep);
    m_bar.SetPos(m_nLower);
    CString caption;
    if (caption.LoadString(m_nCaptionID))
        SetWindowText(caption);
    return TRUE;
}

void CProgressDlg::OnCancel()
{
    // The hidden Cancel button and Escape do not end the operation's window.
}

BOOL CProgressDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}

void CProgressDlg::SetRange(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
    if (m_bar.GetSafeHwnd() != NULL)
        m_bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
}

void CProgressDlg::SetStatus(LPCTSTR lpszText)
{
    if (m_status.GetSafeHwnd() != NULL)
        m_status.SetWindowText(lpszText);
}

CString CProgressDlg::PercentText(int nPos, int nLower, int nUpper)
{
    const long long span = static_cast<long long>(nUpper) - nLower;
    long long percent = span != 0 ? (static_cast<long long>(nPos) - nLower) * 100 / span : 0;
    if (percent != 100)
        percent %= 100;
    CString text;
    text.Format(L"%d%c", static_cast<int>(percent), L'%');
    return text;
}

void CProgressDlg::PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (GetSafeHwnd() == NULL || !::IsDialogMessageW(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void CProgressDlg::SetPos(int nPos)
{
    PumpMessages();
    if (GetSafeHwnd() == NULL)
        return;
    m_bar.SetPos(nPos);
    const CString text = PercentText(nPos, m_nLower, m_nUpper);
    CString current;
    m_percent.GetWindowText(current);
    if (current != text)
        m_percent.SetWindowText(text);
}

LRESULT CProgressDlg::OnSetPosMessage(WPARAM wParam, LPARAM)
{
    SetPos(static_cast<int>(wParam));
    return 0;
}
