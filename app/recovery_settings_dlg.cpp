#include "recovery_settings_dlg.h"

#include "dialog_fonts.h"
#include "engine/recovery/core/engine_state.h"
#include "message_box_resource_ids.h"
#include "resource.h"
#include "settings_dialog_ids.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kMaxSectorsPerRead = 100;
constexpr std::uint32_t kMaxRetries = 10;

const UINT kDuplicateButtons[] = {IDC_SETTINGS_RENAME, IDC_SETTINGS_OVERWRITE, IDC_SETTINGS_SKIP};
const UINT kDeletedButtons[] = {IDC_SETTINGS_INCLUDE_DELETED, IDC_SETTINGS_ONLY_DELETED,
                                IDC_SETTINGS_EXCLUDE_DELETED};

void FillNumbers(CComboBox& combo, std::uint32_t last)
{
    for (std::uint32_t value = 1; value <= last; ++value) {
        CString text;
        text.Format(L"%u", value);
        combo.AddString(text);
    }
}

// The policy's button checked; a code outside 1 to 3 leaves the group unchecked.
void CheckPolicy(CDialog& dialog, const UINT (&buttons)[3], std::uint32_t policy)
{
    for (std::uint32_t code = 1; code <= 3; ++code)
        dialog.CheckDlgButton(buttons[code - 1], code == policy ? BST_CHECKED : BST_UNCHECKED);
}

// The code of the checked button, a later button winning; the old value when none is checked.
std::uint16_t CheckedPolicy(CDialog& dialog, const UINT (&buttons)[3], std::uint16_t old)
{
    std::uint16_t policy = old;
    for (std::uint16_t code = 1; code <= 3; ++code) {
        if (dialog.IsDlgButtonChecked(buttons[code - 1]) == BST_CHECKED)
            policy = code;
    }
    return policy;
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CRecoverySettingsDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()
// clang-format on

CRecoverySettingsDlg::CRecoverySettingsDlg(CWnd* pParent)
    : CDialog(IDD_RECOVERY_SETTINGS, pParent), m_skin(IDB_SKIN_SETTINGS)
{
    m_hIcon = AfxGetApp() != NULL ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : NULL;
}

void CRecoverySettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SETTINGS_SECTORS, m_sectorsCombo);
    DDX_Control(pDX, IDC_SETTINGS_RETRIES, m_retriesCombo);
    const UINT labels[] = {IDC_SETTINGS_SECTORS_CAPTION, IDC_SETTINGS_DUPLICATE_GROUP,
                           IDC_SETTINGS_DELETED_GROUP, IDC_SETTINGS_BAD_SECTOR_GROUP,
                           IDC_SETTINGS_RETRIES_CAPTION};
    for (int index = 0; index < 5; ++index)
        DDX_Control(pDX, labels[index], m_labels[index]);
    for (int index = 0; index < 3; ++index) {
        DDX_Control(pDX, kDuplicateButtons[index], m_radios[index]);
        DDX_Control(pDX, kDeletedButtons[index], m_radios[3 + index]);
    }
}

BOOL CRecoverySettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    CreateArialFont(m_groupFont, 16, FW_BOLD);
    CreateArialFont(m_font, 16, FW_NORMAL);
    for (int id : {IDC_SETTINGS_DUPLICATE_GROUP, IDC_SETTINGS_DELETED_GROUP, IDC_SETTINGS_BAD_SECTOR_GROUP}) {
        if (CWnd* pGroup = GetDlgItem(id))
            pGroup->SetFont(&m_groupFont);
    }
    for (int id :
         {IDC_SETTINGS_SECTORS_CAPTION, IDC_SETTINGS_SECTORS, IDC_SETTINGS_RENAME, IDC_SETTINGS_OVERWRITE,
          IDC_SETTINGS_SKIP, IDC_SETTINGS_INCLUDE_DELETED, IDC_SETTINGS_ONLY_DELETED,
          IDC_SETTINGS_EXCLUDE_DELETED, IDC_SETTINGS_RETRIES_CAPTION, IDC_SETTINGS_RETRIES, IDOK, IDCANCEL}) {
        if (CWnd* pControl = GetDlgItem(id))
            pControl->SetFont(&m_font);
    }

    FillNumbers(m_sectorsCombo, kMaxSectorsPerRead);
    FillNumbers(m_retriesCombo, kMaxRetries);
    // A value outside the lists selects nothing; OK then keeps it.
    m_sectorsCombo.SetCurSel(static_cast<int>(RecoverySettings.sectorsPerRead) - 1);
    m_retriesCombo.SetCurSel(static_cast<int>(RecoverySettings.retries) - 1);
    CheckPolicy(*this, kDuplicateButtons, RecoverySettings.duplicatePolicy);
    CheckPolicy(*this, kDeletedButtons, RecoverySettings.deletedPolicy);
    return TRUE;
}

void CRecoverySettingsDlg::OnOK()
{
    const int sectors = m_sectorsCombo.GetCurSel();
    if (sectors != CB_ERR)
        RecoverySettings.sectorsPerRead = static_cast<std::uint32_t>(sectors) + 1;
    const int retries = m_retriesCombo.GetCurSel();
    if (retries != CB_ERR)
        RecoverySettings.retries = static_cast<std::uint32_t>(retries) + 1;
    RecoverySettings.duplicatePolicy =
        CheckedPolicy(*this, kDuplicateButtons, RecoverySettings.duplicatePolicy);
    RecoverySettings.deletedPolicy = CheckedPolicy(*this, kDeletedButtons, RecoverySettings.deletedPolicy);
    EndDialog(IDOK);
}

BOOL CRecoverySettingsDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}

// Minimised, the dialog shows the program's icon in the middle of its client area.
void CRecoverySettingsDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    dc.DrawIcon((rect.Width() - iconWidth + 1) / 2, (rect.Height() - iconHeight + 1) / 2, m_hIcon);
}

HCURSOR CRecoverySettingsDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
