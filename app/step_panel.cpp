#include "step_panel.h"

#include "dialog_fonts.h"
#include "resource.h"
#include "step_progress_bar.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBarColour = RGB(0x1D, 0x75, 0xBD);

constexpr UINT kHintId = 170;
constexpr UINT kStatusId = 170;
constexpr UINT kCaptionFirstId = 32812;
constexpr UINT kValueFirstId = 32817;
constexpr UINT kProgressId = 61457;
constexpr UINT kLogoId = 32825;
// Draws what the scan workers left; the step views' own poll is timer 1.
constexpr UINT_PTR kLatestTextsTimer = 0x5E7;

} // namespace

IMPLEMENT_DYNAMIC(CStepPanel, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CStepPanel, CView)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_TIMER()
END_MESSAGE_MAP()
// clang-format on

void CStepPanel::CreateSharedParts()
{
    CreateArialFont(m_rowFont, 16, FW_NORMAL);
    CreateArialFont(m_barFont, 18, 600);
    m_whiteBrush.CreateSolidBrush(kWhite);
    const CRect empty(0, 0, 10, 10);
    const DWORD label = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    m_hint.Create(L"", label, empty, this, kHintId);
    m_hint.SetFont(&m_rowFont);
    for (int row = 0; row < kRowCount; ++row) {
        m_caption[row].Create(L"", label, empty, this, kCaptionFirstId + row);
        m_value[row].Create(L"", label, empty, this, kValueFirstId + row);
        m_caption[row].SetFont(&m_rowFont);
        m_value[row].SetFont(&m_rowFont);
    }
    m_status.Create(L"", label & ~WS_VISIBLE, empty, this, kStatusId);
    m_status.SetFont(&m_rowFont);
    m_progress.Create(WS_CHILD, empty, this, kProgressId);
    SetUpStepProgressBar(m_progress, kBarColour);
    m_progress.SetFont(&m_barFont);
    m_logoButton.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 180, 70), this, kLogoId);
    m_logoButton.LoadBitmaps(IDB_DRIVE_LOGO, IDB_DRIVE_LOGO);
    SetTimer(kLatestTextsTimer, CLatestWindowTexts::kDrawIntervalMs, NULL);
}

void CStepPanel::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kLatestTextsTimer) {
        m_latest.Draw();
        return;
    }
    CView::OnTimer(nIDEvent);
}

void CStepPanel::LayoutLogo(int cx, int cy, int x)
{
    m_logoButton.MoveWindow(cx - 200 > x ? cx - 200 : x, cy - 80 > 0 ? cy - 80 : 0, 180, 70);
}

CString CStepPanel::TextOf(const CWnd& control)
{
    CString text;
    if (control.GetSafeHwnd() != NULL)
        control.GetWindowText(text);
    return text;
}

void CStepPanel::OnDraw(CDC* /*pDC*/) {}

BOOL CStepPanel::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, kWhite);
    return TRUE;
}

HBRUSH CStepPanel::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC) {
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(kWhite);
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    return CView::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CStepPanel::SetStatusLine(LPCWSTR text)
{
    m_latest.SetText(m_status.GetSafeHwnd(), text);
}

void CStepPanel::SetProgressBarPos(std::uint32_t percent)
{
    m_latest.SetProgressPos(m_progress.GetSafeHwnd(), percent);
}

void CStepPanel::SetValueText(int row, LPCWSTR text)
{
    if (row >= 0 && row < kRowCount)
        m_latest.SetText(m_value[row].GetSafeHwnd(), text);
}

void CStepPanel::ShowProgressBar(BOOL bShow)
{
    ::EnableWindow(m_progress.GetSafeHwnd(), bShow);
    ::ShowWindow(m_progress.GetSafeHwnd(), bShow ? SW_SHOW : SW_HIDE);
}

void CStepPanel::ShowStatusLine(BOOL bShow)
{
    ::EnableWindow(m_status.GetSafeHwnd(), bShow);
    ::ShowWindow(m_status.GetSafeHwnd(), bShow ? SW_SHOW : SW_HIDE);
}

CString CStepPanel::GetValueText(int row) const
{
    m_latest.Draw();
    return row >= 0 && row < kRowCount ? TextOf(m_value[row]) : CString();
}

CString CStepPanel::GetCaptionText(int row) const
{
    return row >= 0 && row < kRowCount ? TextOf(m_caption[row]) : CString();
}

CString CStepPanel::GetStatusText() const
{
    m_latest.Draw();
    return TextOf(m_status);
}

BOOL CStepPanel::IsProgressVisible() const
{
    return m_progress.GetSafeHwnd() != NULL && m_progress.IsWindowVisible();
}

BOOL CStepPanel::IsStatusVisible() const
{
    return m_status.GetSafeHwnd() != NULL && m_status.IsWindowVisible();
}

int CStepPanel::GetProgressPos() const
{
    m_latest.Draw();
    return m_progress.GetSafeHwnd() != NULL
               ? static_cast<int>(::SendMessageW(m_progress.GetSafeHwnd(), PBM_GETPOS, 0, 0))
               : 0;
}
