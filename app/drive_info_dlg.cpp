#include "drive_info_dlg.h"

#include "dialog_fonts.h"
#include "engine/recovery/core/engine_state.h"
#include "message_box_resource_ids.h"
#include "partition_step_ids.h"

namespace {

constexpr COLORREF kTitleColour = RGB(0x1D, 0x75, 0xBD); // 0xBD751D as a colour value
constexpr wchar_t kNotApplicable[] = L"N/A";

CString Unsigned(std::uint32_t value)
{
    CString text;
    text.Format(L"%u", value);
    return text;
}

} // namespace

std::uint32_t VolumeStartSector()
{
    if (VolumeParams.fsCode != kFsNtfs && VolumeParams.fat1Start >= VolumeParams.reservedSectors &&
        VolumeParams.fat1Start != 0)
        return VolumeParams.fat1Start - VolumeParams.reservedSectors;
    return VolumeParams.clusterBase;
}

DriveInfoTexts CollectDriveInfo()
{
    DriveInfoTexts texts;
    const std::uint16_t code = VolumeParams.fsCode;
    if (code == kFsNtfs)
        texts.fileSystem = L"NTFS";
    else if (code == kFsFat32)
        texts.fileSystem = L"FAT32";
    else if (code == kFsFat16)
        texts.fileSystem = L"FAT16";
    texts.startSector = Unsigned(VolumeStartSector());
    texts.sectorsPerCluster = Unsigned(VolumeParams.sectorsPerCluster);
    const bool ntfs = code == kFsNtfs;
    texts.firstFat = ntfs ? CString(kNotApplicable) : Unsigned(VolumeParams.fat1Start);
    texts.secondFat = ntfs ? CString(kNotApplicable) : Unsigned(VolumeParams.fat2Start);
    texts.mftStart = ntfs ? Unsigned(VolumeParams.mftStart) : CString(kNotApplicable);
    if (ScanSelection.scanKind == kScanFileTrace) {
        // File Trace counts its found items as folders; they are shown as the files.
        texts.directories = L"0";
        texts.files = Unsigned(folderCount);
    } else if (ScanSelection.scanKind == kScanExtensive && ntfs) {
        texts.directories = Unsigned(folderCount);
        texts.files = Unsigned(ntfsFileNodeCount);
    } else {
        texts.directories = Unsigned(folderCount);
        texts.files = Unsigned(fileCount);
    }
    return texts;
}

// clang-format off
BEGIN_MESSAGE_MAP(CDriveInfoDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
// clang-format on

CDriveInfoDlg::CDriveInfoDlg(CWnd* pParent)
    : CDialog(IDD_DRIVE_INFO, pParent), m_skin(IDB_SKIN_PARTITION_TYPE)
{}

BOOL CDriveInfoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateArialFont(m_labelFont, 16, FW_BOLD);
    CreateArialFont(m_valueFont, 15, 300);
    m_whiteBrush.CreateSolidBrush(RGB(255, 255, 255));
    if (CWnd* pTitle = GetDlgItem(IDC_DRIVE_INFO_TITLE))
        pTitle->SetFont(&m_labelFont);
    const UINT labelIds[8] = {IDC_DRIVE_INFO_FS_LABEL,   IDC_DRIVE_INFO_START_LABEL,
                              IDC_DRIVE_INFO_DIRS_LABEL, IDC_DRIVE_INFO_FILES_LABEL,
                              IDC_DRIVE_INFO_SPC_LABEL,  IDC_DRIVE_INFO_FAT1_LABEL,
                              IDC_DRIVE_INFO_FAT2_LABEL, IDC_DRIVE_INFO_MFT_LABEL};
    for (int i = 0; i < 8; ++i) {
        if (m_labels[i].GetSafeHwnd() == NULL)
            m_labels[i].SubclassDlgItem(labelIds[i], this);
        m_labels[i].SetFont(&m_labelFont);
    }
    const DriveInfoTexts texts = CollectDriveInfo();
    const struct
    {
        UINT id;
        const CString& text;
    } values[] = {
        {IDC_DRIVE_INFO_FS, texts.fileSystem},         {IDC_DRIVE_INFO_START, texts.startSector},
        {IDC_DRIVE_INFO_DIRS, texts.directories},      {IDC_DRIVE_INFO_FILES, texts.files},
        {IDC_DRIVE_INFO_SPC, texts.sectorsPerCluster}, {IDC_DRIVE_INFO_FAT1, texts.firstFat},
        {IDC_DRIVE_INFO_FAT2, texts.secondFat},        {IDC_DRIVE_INFO_MFT, texts.mftStart},
    };
    for (const auto& value : values) {
        if (CWnd* pValue = GetDlgItem(value.id)) {
            pValue->SetFont(&m_valueFont);
            pValue->SetWindowText(value.text);
        }
    }
    return TRUE;
}

BOOL CDriveInfoDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}

HBRUSH CDriveInfoDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == IDC_DRIVE_INFO_TITLE) {
        pDC->SetTextColor(kTitleColour);
        pDC->SetBkMode(TRANSPARENT);
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    (void)nCtlColor;
    return ::GetSysColorBrush(COLOR_WINDOW);
}
