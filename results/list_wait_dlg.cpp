#include "list_wait_dlg.h"

#include "results_resource_ids.h"

CListWaitDlg::CListWaitDlg(CWnd* pParent) : CModalWaitDlg(IDD_LIST_WAIT_DLG, IDC_LIST_WAIT_TEXT, pParent) {}

BOOL CListWaitDlg::OnInitDialog()
{
    CModalWaitDlg::OnInitDialog();
    if (CWnd* pText = GetDlgItem(IDC_LIST_WAIT_TEXT))
        pText->SetWindowText(
            L"Depending upon number of folders and files, it may take some time. Please wait...");
    return TRUE;
}
