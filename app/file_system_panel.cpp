#include "file_system_panel.h"

#include "dialog_fonts.h"
#include "resource.h"
#include "step_progress_bar.h"

namespace {

constexpr COLORREF kTitleColour = RGB(0x1D, 0x75, 0xBD); // 0xBD751D as a colour value
constexpr COLORREF kWhite = RGB(255, 255, 255);

constexpr UINT kGroupId = 61479;
constexpr UINT kTitleId = 32824;
constexpr UINT kCaptionFirstId = 32812;
constexpr UINT kValueFirstId = 32817;
constexpr UINT kHintId = 170;
constexpr UINT kStatusId = 170;
constexpr UINT kProgressId = 61457;

const wchar_t* const kFatCaptions[] = {L"", L"File System Start\t:", L"Sectors Per Cluster\t:",
                                       L"File System Size\t:", L""};
const wchar_t* const kNtfsCaptions[] = {L"File System Start\t:", L"Sectors Per Cluster\t:", L"MFT Start\t\t:",
                                        L"MFT Mirror Start\t\t:", L"File System Size\t:"};

CString TextOf(const CWnd& control)
{
    CString text;
    if (control.GetSafeHwnd() != NULL)
        control.GetWindowText(text);
    return text;
}

} // namespace

IMPLEMENT_DYNCREATE(CFileSystemForm, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CFileSystemForm, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
// clang-format on

CFileSystemForm::CFileSystemForm() = default;

int CFileSystemForm::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CreateArialFont(m_rowFont, 16, FW_NORMAL);
    CreateArialFont(m_barFont, 18, 600);
    m_whiteBrush.CreateSolidBrush(kWhite);
    m_titleBrush.CreateSolidBrush(kTitleColour);
    const CRect empty(0, 0, 10, 10);
    const DWORD label = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    m_group.Create(L"FileSystem Information", WS_CHILD | BS_GROUPBOX, empty, this, kGroupId);
    m_title.Create(L"File System Information", label, empty, this, kTitleId);
    for (int row = 0; row < kRowCount; ++row) {
        m_caption[row].Create(L"", label, empty, this, kCaptionFirstId + row);
        m_value[row].Create(L"", label, empty, this, kValueFirstId + row);
        m_caption[row].SetFont(&m_rowFont);
        m_value[row].SetFont(&m_rowFont);
    }
    m_hint.Create(L"", label, empty, this, kHintId);
    m_status.Create(L"", label & ~WS_VISIBLE, empty, this, kStatusId);
    m_progress.Create(WS_CHILD, empty, this, kProgressId);
    SetUpStepProgressBar(m_progress, kTitleColour);
    m_progress.SetStep(10);
    m_progress.StepIt();
    m_progress.SetPos(0);
    for (CWnd* control : {static_cast<CWnd*>(&m_group), static_cast<CWnd*>(&m_title), static_cast<CWnd*>(&m_hint),
                          static_cast<CWnd*>(&m_status)})
        control->SetFont(&m_rowFont);
    // The program's logo in the lower right corner, as on the drive panel.
    m_logoButton.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 180, 70), this, 32825);
    m_logoButton.LoadBitmaps(IDB_DRIVE_LOGO, IDB_DRIVE_LOGO);
    m_progress.SetFont(&m_barFont);
    return 0;
}

void CFileSystemForm::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_title.GetSafeHwnd() == NULL)
        return;
    const int x = 20;
    const int y = 10;
    const int width = cx - 40 > 200 ? cx - 40 : 200;
    m_hint.MoveWindow(x, y, width, 60);
    m_logoButton.MoveWindow(cx - 200 > x ? cx - 200 : x, cy - 80 > 0 ? cy - 80 : 0, 180, 70);
    m_title.MoveWindow(x, y + 80, width, 24);
    m_group.MoveWindow(x, y + 90, width, 150);
    for (int row = 0; row < kRowCount; ++row) {
        m_caption[row].MoveWindow(x + 10, y + 120 + 20 * row, 195, 20);
        m_value[row].MoveWindow(x + 210, y + 120 + 20 * row, width - 220, 20);
    }
    m_progress.MoveWindow(x, y + 250, width, 26);
    m_status.MoveWindow(x, y + 282, width, 22);
}

void CFileSystemForm::OnDraw(CDC* /*pDC*/) {}

BOOL CFileSystemForm::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, kWhite);
    return TRUE;
}

HBRUSH CFileSystemForm::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd == &m_title) {
        pDC->SetTextColor(kWhite);
        pDC->SetBkColor(kTitleColour);
        return static_cast<HBRUSH>(m_titleBrush.GetSafeHandle());
    }
    if (nCtlColor == CTLCOLOR_STATIC) {
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(kWhite);
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    return CView::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CFileSystemForm::SetStatusText(const char16_t* text)
{
    if (m_onStatusText)
        m_onStatusText();
    ::SetWindowTextW(m_status.GetSafeHwnd(), reinterpret_cast<LPCWSTR>(text));
}

void CFileSystemForm::SetProgressPos(std::uint32_t percent)
{
    ::SendMessageW(m_progress.GetSafeHwnd(), PBM_SETPOS, percent, 0);
}

void CFileSystemForm::HideScanButton()
{
    if (m_pScanButton != NULL) {
        ::EnableWindow(m_pScanButton->GetSafeHwnd(), FALSE);
        ::ShowWindow(m_pScanButton->GetSafeHwnd(), SW_HIDE);
    }
}

void CFileSystemForm::ShowProgress()
{
    m_progress.EnableWindow(TRUE);
    m_progress.ShowWindow(SW_SHOW);
}

void CFileSystemForm::HideProgress()
{
    m_progress.EnableWindow(FALSE);
    m_progress.ShowWindow(SW_HIDE);
}

void CFileSystemForm::ShowStatusText()
{
    m_status.EnableWindow(TRUE);
    m_status.ShowWindow(SW_SHOW);
}

void CFileSystemForm::HideStatusText()
{
    m_status.EnableWindow(FALSE);
    m_status.ShowWindow(SW_HIDE);
}

void CFileSystemForm::ClearInfo()
{
    for (int row = 0; row < kRowCount; ++row)
        m_value[row].SetWindowText(L"");
}

void CFileSystemForm::SetCaptions(const wchar_t* const* captions)
{
    for (int row = 0; row < kRowCount; ++row) {
        m_caption[row].SetWindowText(captions[row]);
        m_caption[row].ShowWindow(SW_SHOW);
        m_value[row].SetWindowText(L"");
        m_value[row].ShowWindow(SW_SHOW);
    }
}

void CFileSystemForm::SetFatCaptions()
{
    SetCaptions(kFatCaptions);
}

void CFileSystemForm::SetNtfsCaptions()
{
    SetCaptions(kNtfsCaptions);
}

void CFileSystemForm::ShowFatInfo(LPCWSTR start, LPCWSTR sectorsPerCluster, LPCWSTR size)
{
    SetFatCaptions();
    m_value[1].SetWindowText(start);
    m_value[2].SetWindowText(sectorsPerCluster);
    m_value[3].SetWindowText(size);
    m_caption[0].ShowWindow(SW_HIDE);
    m_value[0].ShowWindow(SW_HIDE);
}

void CFileSystemForm::ShowNtfsInfo(LPCWSTR start, LPCWSTR sectorsPerCluster, LPCWSTR mftStart,
                                   LPCWSTR mirrorStart, LPCWSTR size)
{
    SetNtfsCaptions();
    const LPCWSTR values[] = {start, sectorsPerCluster, mftStart, mirrorStart, size};
    for (int row = 0; row < kRowCount; ++row)
        m_value[row].SetWindowText(values[row]);
}

void CFileSystemForm::SetHintText(LPCWSTR text)
{
    m_hint.SetWindowText(text);
}

CString CFileSystemForm::GetValueText(int row) const
{
    return row >= 0 && row < kRowCount ? TextOf(m_value[row]) : CString();
}

CString CFileSystemForm::GetCaptionText(int row) const
{
    return row >= 0 && row < kRowCount ? TextOf(m_caption[row]) : CString();
}

BOOL CFileSystemForm::IsProgressVisible() const
{
    return m_progress.GetSafeHwnd() != NULL && m_progress.IsWindowVisible();
}
