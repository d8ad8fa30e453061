#include "wait_dlg.h"

#include "results_resource_ids.h"
#include "results_view.h"

CWaitDlg::CWaitDlg(CWnd* pParent) : CModalWaitDlg(IDD_WAIT_DLG, IDC_WAIT_DLG_TEXT, pParent)
{
    m_boldFont.CreateFont(15, 0, 0, 0, FW_BOLD, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

INT_PTR CWaitDlg::DoModal()
{
    SetWork(WaitDlgThread, reinterpret_cast<UINT_PTR>(m_pJobOwner), 0, 0);
    DisableCancel();
    return CModalWaitDlg::DoModal();
}

BOOL CWaitDlg::OnInitDialog()
{
    CModalWaitDlg::OnInitDialog();
    if (CWnd* pText = GetDlgItem(IDC_WAIT_DLG_TEXT))
        pText->SetFont(&m_boldFont);
    return TRUE;
}

// The preparation only copies marks: it never needs to stop early.
void CWaitDlg::WaitDlgThread(UINT_PTR owner, UINT_PTR, UINT_PTR, const std::atomic<bool>&)
{
    if (auto* pView = reinterpret_cast<CThirdView_HDD*>(owner))
        pView->PrepareSaveSelection();
}
