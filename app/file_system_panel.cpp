#include "file_system_panel.h"

namespace {

constexpr COLORREF kTitleColour = RGB(0x1D, 0x75, 0xBD); // 0xBD751D as a colour value
constexpr COLORREF kWhite = RGB(255, 255, 255);

constexpr UINT kGroupId = 61479;
constexpr UINT kTitleId = 32824;

const wchar_t* const kFatCaptions[] = {L"", L"File System Start\t:", L"Sectors Per Cluster\t:",
                                       L"File System Size\t:", L""};
const wchar_t* const kNtfsCaptions[] = {L"File System Start\t:", L"Sectors Per Cluster\t:", L"MFT Start\t\t:",
                                        L"MFT Mirror Start\t\t:", L"File System Size\t:"};

} // namespace

IMPLEMENT_DYNCREATE(CFileSystemForm, CStepPanel)

// clang-format off
BEGIN_MESSAGE_MAP(CFileSystemForm, CStepPanel)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
// clang-format on

CFileSystemForm::CFileSystemForm() = default;

int CFileSystemForm::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CStepPanel::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_titleBrush.CreateSolidBrush(kTitleColour);
    const CRect empty(0, 0, 10, 10);
    m_group.Create(L"FileSystem Information", WS_CHILD | BS_GROUPBOX, empty, this, kGroupId);
    m_title.Create(L"File System Information", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, empty, this,
                   kTitleId);
    CreateSharedParts();
    m_progress.SetStep(10);
    m_progress.StepIt();
    m_progress.SetPos(0);
    m_group.SetFont(&m_rowFont);
    m_title.SetFont(&m_rowFont);
    return 0;
}

void CFileSystemForm::OnSize(UINT nType, int cx, int cy)
{
    CStepPanel::OnSize(nType, cx, cy);
    if (m_title.GetSafeHwnd() == NULL)
        return;
    const int x = 20;
    const int y = 10;
    const int width = cx - 40 > 200 ? cx - 40 : 200;
    m_hint.MoveWindow(x, y, width, 60);
    LayoutLogo(cx, cy, x);
    m_title.MoveWindow(x, y + 80, width, 24);
    m_group.MoveWindow(x, y + 90, width, 150);
    for (int row = 0; row < kRowCount; ++row) {
        m_caption[row].MoveWindow(x + 10, y + 120 + 20 * row, 195, 20);
        m_value[row].MoveWindow(x + 210, y + 120 + 20 * row, width - 220, 20);
    }
    m_progress.MoveWindow(x, y + 250, width, 26);
    m_status.MoveWindow(x, y + 282, width, 22);
}

HBRUSH CFileSystemForm::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd == &m_title) {
        pDC->SetTextColor(kWhite);
        pDC->SetBkColor(kTitleColour);
        return static_cast<HBRUSH>(m_titleBrush.GetSafeHandle());
    }
    return CStepPanel::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CFileSystemForm::SetStatusText(const char16_t* text)
{
    if (m_onStatusText)
        m_onStatusText();
    SetStatusLine(reinterpret_cast<LPCWSTR>(text));
}

void CFileSystemForm::SetProgressPos(std::uint32_t percent)
{
    SetProgressBarPos(percent);
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
    ShowProgressBar(TRUE);
}

void CFileSystemForm::HideProgress()
{
    ShowProgressBar(FALSE);
}

void CFileSystemForm::ShowStatusText()
{
    ShowStatusLine(TRUE);
}

void CFileSystemForm::HideStatusText()
{
    ShowStatusLine(FALSE);
}

void CFileSystemForm::ClearInfo()
{
    for (int row = 0; row < kRowCount; ++row)
        SetValueText(row, L"");
}

void CFileSystemForm::SetCaptions(const wchar_t* const* captions)
{
    for (int row = 0; row < kRowCount; ++row) {
        m_caption[row].SetWindowText(captions[row]);
        m_caption[row].ShowWindow(SW_SHOW);
        SetValueText(row, L"");
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
    SetValueText(1, start);
    SetValueText(2, sectorsPerCluster);
    SetValueText(3, size);
    m_caption[0].ShowWindow(SW_HIDE);
    m_value[0].ShowWindow(SW_HIDE);
}

void CFileSystemForm::ShowNtfsInfo(LPCWSTR start, LPCWSTR sectorsPerCluster, LPCWSTR mftStart,
                                   LPCWSTR mirrorStart, LPCWSTR size)
{
    SetNtfsCaptions();
    const LPCWSTR values[] = {start, sectorsPerCluster, mftStart, mirrorStart, size};
    for (int row = 0; row < kRowCount; ++row)
        SetValueText(row, values[row]);
}

void CFileSystemForm::SetHintText(LPCWSTR text)
{
    m_hint.SetWindowText(text);
}
