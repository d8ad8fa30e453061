#include "partition_type_dlg.h"

#include "message_box_resource_ids.h"
#include "resource.h"

std::uint32_t PartitionSearchChoice = 0;

// clang-format off
BEGIN_MESSAGE_MAP(CPartitionTypeDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
// clang-format on

namespace {

constexpr COLORREF kAccent = 0xBD751D;

} // namespace

CPartitionTypeDlg::CPartitionTypeDlg(CWnd* pParent)
    : CDialog(IDD_PARTITION_TYPE, pParent), m_skin(IDB_SKIN_PARTITION_TYPE)
{}

BOOL CPartitionTypeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_groupBox.SubclassDlgItem(kPartitionTypeGroup, this)) {
        m_groupBox.SetFillColours(RGB(255, 255, 255));
        m_groupBox.ShowWindow(SW_HIDE);
    }
    CheckRadioButton(kPartitionTypeUseExisting, kPartitionTypeSearch, kPartitionTypeUseExisting);
    m_labelFont.CreateFontW(18, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    m_controlFont.CreateFontW(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    if (CWnd* pLabel = GetDlgItem(kPartitionTypeLabel))
        pLabel->SetFont(&m_labelFont);
    for (UINT id : {kPartitionTypeUseExisting, kPartitionTypeSearch, static_cast<UINT>(IDOK)}) {
        if (CWnd* pControl = GetDlgItem(id))
            pControl->SetFont(&m_controlFont);
    }
    return TRUE;
}

void CPartitionTypeDlg::OnOK()
{
    PartitionSearchChoice = IsDlgButtonChecked(kPartitionTypeUseExisting) == BST_CHECKED ? 0 : 1;
    EndDialog(IDOK);
}

BOOL CPartitionTypeDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}

HBRUSH CPartitionTypeDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const UINT id = pWnd != NULL ? pWnd->GetDlgCtrlID() : 0;
    // The label and the radio captions lie on the skin: no box of their own behind them.
    if (id == kPartitionTypeUseExisting || id == kPartitionTypeSearch || id == kPartitionTypeLabel) {
        pDC->SetTextColor(kAccent);
        pDC->SetBkMode(TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
