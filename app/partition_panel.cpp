#include "partition_panel.h"

#include <algorithm>

#include "dialog_fonts.h"
#include "engine/image/image_source.h"
#include "engine/recovery/core/engine_state.h"
#include "partition_step_ids.h"
#include "u16_text.h"

namespace {

constexpr COLORREF kTitleColour = RGB(0x22, 0x89, 0xDD); // 0xDD8922 as a colour value
constexpr COLORREF kToggleColour = RGB(0x1D, 0x75, 0xBD);
constexpr COLORREF kWhite = RGB(255, 255, 255);

constexpr wchar_t kHideProgressText[] = L"Hide Progress";
constexpr wchar_t kShowProgressText[] = L"Show Progress";
constexpr wchar_t kExplanationText[] =
    L"Selecting \"Hide Progress\" will improve the performance. You may return to view the progress details "
    L"at any time by selecting \"Show Progress\".";

const wchar_t* const kPartitionCaptions[] = {L"Partition Type\t\t:", L"Partition Start\t\t:",
                                             L"Partition End\t\t:", L"Partition Size\t\t:", L""};
const wchar_t* const kVolumeCaptions[] = {L"Volume Name :", L"Capacity         :", L"SPC               :",
                                          L"File System    :", L""};
const wchar_t* const kQuickCaptions[] = {L"Folder(s) Found\t\t:", L"File(s) Found\t\t:",
                                         L"Current Sector\t\t:", L"Last File/Folder\t\t:", L""};
const wchar_t* const kFatCaptions[] = {L"Boot Sector(s) Found\t\t:", L"Folder(s) Found\t\t\t:",
                                       L"Current Sector\t\t\t:", L"", L""};
const wchar_t* const kNtfsCaptions[] = {L"Boot Sector(s) Found\t   :", L"Index Entries Found\t   :",
                                        L"File(s) Found\t\t   :", L"Folder(s) Found\t\t   :",
                                        L"Current Sector\t\t   :"};

// Top-left of the rows' group inside the panel.
constexpr int kGroupLeft = 20;
constexpr int kGroupTop = 10;

CString Unsigned(std::uint32_t value)
{
    CString text;
    text.Format(L"%u", value);
    return text;
}

} // namespace

IMPLEMENT_DYNCREATE(CSecondDisplay, CStepPanel)

// clang-format off
BEGIN_MESSAGE_MAP(CSecondDisplay, CStepPanel)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CTLCOLOR()
    ON_WM_SHOWWINDOW()
    ON_WM_LBUTTONDOWN()
    ON_WM_DRAWITEM()
    ON_BN_CLICKED(IDC_PANEL_TOGGLE, OnToggleDetails)
END_MESSAGE_MAP()
// clang-format on

CSecondDisplay::CSecondDisplay() = default;

int CSecondDisplay::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CStepPanel::OnCreate(lpCreateStruct) == -1)
        return -1;
    CreateSharedParts();
    CreateArialFont(m_hintFont, 17, FW_NORMAL);
    m_hint.SetFont(&m_hintFont);
    m_toggleBrush.CreateSolidBrush(kToggleColour);

    const CRect empty(0, 0, 10, 10);
    const DWORD label = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    m_title.Create(L"Partition Information", label, empty, this, IDC_PANEL_TITLE);
    m_explanation.Create(kExplanationText, (label & ~WS_VISIBLE), empty, this, IDC_PANEL_EXPLANATION);
    m_fsCaption.Create(L"Select File System\t:", label, empty, this, IDC_PANEL_FS_CAPTION);
    m_startCaption.Create(L"Start Sector\t\t:", label, empty, this, IDC_PANEL_START_CAPTION);
    m_endCaption.Create(L"End Sector\t\t:", label, empty, this, IDC_PANEL_END_CAPTION);
    m_startSector.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, empty,
                         this, IDC_PANEL_START_SECTOR);
    m_endSector.Create(WS_CHILD | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, empty, this,
                       IDC_PANEL_END_SECTOR);
    m_fileSystem.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                        CRect(0, 0, 10, 120), this, IDC_PANEL_FS_COMBO);
    for (LPCWSTR name : {L"NTFS", L"FAT 32", L"FAT 16", L"EFI"})
        m_fileSystem.AddString(name);
    m_fileSystem.SetCurSel(0);
    // Made before the group boxes, so that it lies above them.
    m_usagePie.Create(L"", WS_CHILD | SS_OWNERDRAW, empty, this, IDC_PANEL_PIE);
    m_driveGroup.Create(L"Selected Drive Information", WS_CHILD | BS_GROUPBOX, empty, this, IDC_PANEL_GROUP);
    m_partitionGroup.Create(L"Partition Information", WS_CHILD | WS_CAPTION | BS_GROUPBOX, empty, this,
                            IDC_PANEL_GROUP);
    m_toggle.Create(kHideProgressText, WS_CHILD | WS_DISABLED | BS_OWNERDRAW, empty, this, IDC_PANEL_TOGGLE);

    for (CWnd* control :
         {static_cast<CWnd*>(&m_title), static_cast<CWnd*>(&m_explanation), static_cast<CWnd*>(&m_fsCaption),
          static_cast<CWnd*>(&m_startCaption), static_cast<CWnd*>(&m_endCaption),
          static_cast<CWnd*>(&m_startSector), static_cast<CWnd*>(&m_endSector),
          static_cast<CWnd*>(&m_fileSystem), static_cast<CWnd*>(&m_driveGroup),
          static_cast<CWnd*>(&m_partitionGroup), static_cast<CWnd*>(&m_toggle)})
        control->SetFont(&m_rowFont);
    SetCaptions(PanelCaptions::Partition);
    return 0;
}

void CSecondDisplay::Layout(int cx, int cy)
{
    const int x = kGroupLeft;
    const int y = kGroupTop;
    const int width = cx - 2 * kGroupLeft > 200 ? cx - 2 * kGroupLeft : 200;
    m_hint.MoveWindow(x, y, width, 60);
    LayoutLogo(cx, cy, x);
    m_title.MoveWindow(x + 10, y + 80, 300, 22);
    // The drive's group holds its usage pie below the file-system choice.
    m_driveGroup.MoveWindow(x, y + 104, width, 286);
    m_usagePie.MoveWindow(x + 10, y + 262, std::min(width - 20, 360), 112);
    m_partitionGroup.MoveWindow(x, y + 90, width, 250);
    for (int row = 0; row < kRowCount; ++row) {
        m_caption[row].MoveWindow(x + 10, y + 120 + 20 * row, 195, 20);
        m_value[row].MoveWindow(x + 210, y + 120 + 20 * row, width - 220, 20);
    }
    m_fsCaption.MoveWindow(x + 10, y + 230, 195, 22);
    m_fileSystem.MoveWindow(x + 210, y + 228, 130, 120);
    m_startCaption.MoveWindow(x + 10, y + 262, 195, 22);
    m_startSector.MoveWindow(x + 210, y + 260, 130, 23);
    m_endCaption.MoveWindow(x + 10, y + 292, 195, 22);
    m_endSector.MoveWindow(x + 210, y + 290, 130, 23);
    // The progress display sits below the range controls, which Quick Scan and File Trace leave shown.
    m_progress.MoveWindow(x, y + 330, width, 26);
    m_status.MoveWindow(x, y + 362, width, 22);
    m_toggle.MoveWindow(x, y + 400, 130, 26);
    m_explanation.MoveWindow(x + 140, y + 394, width - 140, 40);
}

void CSecondDisplay::OnSize(UINT nType, int cx, int cy)
{
    CStepPanel::OnSize(nType, cx, cy);
    if (m_hint.GetSafeHwnd() != NULL)
        Layout(cx, cy);
}

HBRUSH CSecondDisplay::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd == &m_title) {
        pDC->SetTextColor(kTitleColour);
        pDC->SetBkColor(kWhite);
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    // The toggle's face is drawn by the panel; its colours are the statics'.
    return CStepPanel::OnCtlColor(pDC, pWnd, pWnd == &m_toggle ? CTLCOLOR_STATIC : nCtlColor);
}

// The toggle: white text on its blue face.
void CSecondDisplay::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != IDC_PANEL_TOGGLE) {
        CStepPanel::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const CRect rect(lpDrawItemStruct->rcItem);
    pDC->FillSolidRect(&rect, kToggleColour);
    if ((lpDrawItemStruct->itemState & ODS_SELECTED) != 0)
        pDC->Draw3dRect(&rect, RGB(0x10, 0x40, 0x70), RGB(0x10, 0x40, 0x70));
    pDC->SetTextColor(kWhite);
    pDC->SetBkMode(TRANSPARENT);
    CFont* pOld = pDC->SelectObject(&m_rowFont);
    CRect textRect = rect;
    pDC->DrawText(TextOf(m_toggle), &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SelectObject(pOld);
}

void CSecondDisplay::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CStepPanel::OnShowWindow(bShow, nStatus);
    Invalidate();
    if (m_fileSystem.GetSafeHwnd() != NULL)
        m_fileSystem.Invalidate();
}

void CSecondDisplay::OnLButtonDown(UINT nFlags, CPoint point)
{
    CStepPanel::OnLButtonDown(nFlags, point);
    if (m_pStepView != NULL) {
        if (auto* pFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
            pFrame->SetActiveView(m_pStepView);
    }
}

void CSecondDisplay::OnToggleDetails()
{
    if (ScanDetailsShown.load() == 1) {
        m_toggle.SetWindowText(kShowProgressText);
        ScanDetailsShown = 0;
    } else {
        m_toggle.SetWindowText(kHideProgressText);
        ScanDetailsShown = 1;
    }
    m_toggle.Invalidate();
    if (m_pStepView != NULL) {
        if (auto* pFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
            pFrame->SetActiveView(m_pStepView);
    }
}

// ---- What the worker drives ---------------------------------------------------------------------------

void CSecondDisplay::SetStatusText(const char16_t* text)
{
    SetStatusLine(reinterpret_cast<LPCWSTR>(text));
}

void CSecondDisplay::SetProgressPos(std::uint32_t percent)
{
    SetProgressBarPos(percent);
}

void CSecondDisplay::HideProgress()
{
    ShowProgressBar(FALSE);
}

void CSecondDisplay::ShowProgress()
{
    ShowProgressBar(TRUE);
}

void CSecondDisplay::HideStatusText()
{
    ShowStatusLine(FALSE);
}

void CSecondDisplay::ShowStatusText()
{
    ShowStatusLine(TRUE);
}

void CSecondDisplay::SetCounterLabels()
{
    SetCaptions(PanelCaptions::QuickCounters);
}

void CSecondDisplay::SetFatCounterLabels()
{
    SetCaptions(PanelCaptions::FatCounters);
}

void CSecondDisplay::SetNtfsCounterLabels()
{
    SetCaptions(PanelCaptions::NtfsCounters);
}

// The row each counter stands in under the captions now shown; -1 when they have none for it. The NTFS
// sector scan reports its index-record count as the boot-sector role, so that role is the index row.
// File Trace writes "0" as the boot-sector role under the counter captions: the first row, as in the
// FAT scan's captions, where it reads as no folders found.
int CSecondDisplay::RowOf(ScanPanelLabel label) const
{
    switch (m_captions) {
    case PanelCaptions::FatCounters:
        switch (label) {
        case ScanPanelLabel::BootSectorCount:
            return 0;
        case ScanPanelLabel::FolderCount:
            return 1;
        case ScanPanelLabel::CurrentSector:
            return 2;
        default:
            return -1;
        }
    case PanelCaptions::NtfsCounters:
        switch (label) {
        case ScanPanelLabel::BootSectorCount:
            return 1;
        case ScanPanelLabel::FileCount:
            return 2;
        case ScanPanelLabel::FolderCount:
            return 3;
        case ScanPanelLabel::CurrentSector:
            return 4;
        default:
            return -1;
        }
    case PanelCaptions::Partition:
    case PanelCaptions::Volume:
    case PanelCaptions::QuickCounters:
        switch (label) {
        case ScanPanelLabel::FolderCount:
            return 0;
        case ScanPanelLabel::FileCount:
            return 1;
        case ScanPanelLabel::CurrentSector:
            return 2;
        case ScanPanelLabel::LastName:
            return 3;
        case ScanPanelLabel::BootSectorCount:
            return m_captions == PanelCaptions::QuickCounters ? 0 : 4;
        default:
            return 4;
        }
    }
    return -1;
}

void CSecondDisplay::SetLabelText(ScanPanelLabel label, const char16_t* text)
{
    const int row = RowOf(label);
    if (row >= 0)
        SetValueText(row, reinterpret_cast<LPCWSTR>(text));
}

void CSecondDisplay::SetCaptions(PanelCaptions captions)
{
    m_captions = captions;
    const wchar_t* const* texts = kPartitionCaptions;
    if (captions == PanelCaptions::Volume)
        texts = kVolumeCaptions;
    else if (captions == PanelCaptions::QuickCounters)
        texts = kQuickCaptions;
    else if (captions == PanelCaptions::FatCounters)
        texts = kFatCaptions;
    else if (captions == PanelCaptions::NtfsCounters)
        texts = kNtfsCaptions;
    const BOOL fifthShown = captions == PanelCaptions::NtfsCounters;
    for (int row = 0; row < kRowCount; ++row) {
        ::SetWindowTextW(m_caption[row].GetSafeHwnd(), texts[row]);
        SetValueText(row, L"");
    }
    ::ShowWindow(m_caption[kRowCount - 1].GetSafeHwnd(), fifthShown ? SW_SHOW : SW_HIDE);
    ::ShowWindow(m_value[kRowCount - 1].GetSafeHwnd(), fifthShown ? SW_SHOW : SW_HIDE);
}

// ---- What the step shows ------------------------------------------------------------------------------

void CSecondDisplay::ClearValues()
{
    for (int row = 0; row < kRowCount; ++row)
        SetValueText(row, L"");
    m_startSector.SetWindowText(L"");
    m_endSector.SetWindowText(L"");
}

void CSecondDisplay::ClearPartitionInfo()
{
    SetCaptions(PanelCaptions::Partition);
    ClearValues();
    ShowUsagePie(FALSE);
}

// The file system's name in `row` and the combo's choice for a file-system code; other codes leave
// both, or write `otherText` when there is one.
void CSecondDisplay::ShowFileSystemType(std::uint16_t fsCode, int row, LPCWSTR otherText)
{
    if (fsCode == kFsFat16) {
        SetValueText(row, L"FAT16");
        m_fileSystem.SetCurSel(2);
    } else if (fsCode == kFsFat32) {
        SetValueText(row, L"FAT32");
        m_fileSystem.SetCurSel(1);
    } else if (fsCode == kFsNtfs) {
        SetValueText(row, L"NTFS");
        m_fileSystem.SetCurSel(0);
    } else if (otherText != NULL) {
        SetValueText(row, otherText);
    }
}

// The usage pie of the selected logical drive, with the "Selected Drive Information" group around it.
void CSecondDisplay::ShowUsagePie(BOOL bShow)
{
    const int drive = DriveEntryTable.selected;
    bShow = bShow && drive >= 0 && drive < kMaxDriveEntries;
    if (bShow)
        m_usagePie.SetDrive(ToCString(DriveEntryRoot(drive)));
    m_usagePie.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    m_driveGroup.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CSecondDisplay::HideUsagePie()
{
    ShowUsagePie(FALSE);
}

bool CSecondDisplay::FillLogicalVolumeRows()
{
    const int drive = DriveEntryTable.selected;
    if (drive < 0 || drive >= kMaxDriveEntries)
        return false;
    SetCaptions(PanelCaptions::Volume);
    CString capacity;
    capacity.Format(L"%llu MB (Approx..)",
                    static_cast<unsigned long long>(DriveEntryTable.sectorCounts[drive] / 2048));
    SetValueText(1, capacity);
    SetValueText(2, Unsigned(DriveEntryTable.sectorsPerCluster[drive]));
    ShowFileSystemType(DriveEntryTable.fsCodes[drive], 3, L"UNKNOWN");
    return true;
}

void CSecondDisplay::ShowLogicalVolumeCaptions()
{
    if (!FillLogicalVolumeRows())
        SetCaptions(PanelCaptions::Partition);
}

void CSecondDisplay::ShowVolumeInfo()
{
    if (!FillLogicalVolumeRows()) {
        ClearPartitionInfo();
        return;
    }
    const int drive = DriveEntryTable.selected;
    SetValueText(0, ToCString(DriveEntryName(drive)) + L" ( " + ToCString(DriveEntryRoot(drive)) + L" )");
    ShowUsagePie(SourceState.sourceKind == kSourceLogicalVolume);
}

void CSecondDisplay::ShowPartitionInfo(int /*device*/, int index)
{
    SetCaptions(PanelCaptions::Partition);
    if (index < 0 || static_cast<std::uint32_t>(index) >= kMaxPartitions) {
        ClearPartitionInfo();
        return;
    }
    const PartitionEntry& entry = partitionTable[index];
    // The end field is the last sector of the partition; 64-bit so that a partition reaching the last
    // 32-bit sector gives no wrapped value.
    std::uint64_t end = std::uint64_t{entry.startSector} + entry.sectorCount;
    end = end > 0 ? end - 1 : 0;
    if (entry.startSector == 0 && entry.sectorCount == 0 && ScanSelection.imageKind == kImageVhdx &&
        SourceState.imageSource != nullptr) {
        const std::uint64_t sectors = SourceState.imageSource->GetDiskSize() / kSectorSize;
        end = sectors > 0 ? sectors - 1 : 0;
    }
    if (end > UINT32_MAX)
        end = UINT32_MAX;
    ShowFileSystemType(entry.fsCode);
    const CString start = Unsigned(entry.startSector);
    const CString last = Unsigned(static_cast<std::uint32_t>(end));
    SetValueText(1, start);
    SetValueText(2, last);
    SetSectorTexts(start, last);
    CString size;
    size.Format(L"%u MB (Approx..)", entry.sectorCount / 2048);
    SetValueText(3, size);
    ShowUsagePie(SourceState.sourceKind == kSourceLogicalVolume);
}

void CSecondDisplay::ShowVolumeRange()
{
    SetCaptions(PanelCaptions::Partition);
    ShowFileSystemType(VolumeParams.scanFsCode);
    // The value rows show a blank for 0; the sector fields show the number, which Scan reads back.
    SetValueText(1, VolumeParams.rangeStart != 0 ? Unsigned(VolumeParams.rangeStart) : CString(L" "));
    SetValueText(2, VolumeParams.rangeEnd != 0 ? Unsigned(VolumeParams.rangeEnd) : CString(L" "));
    SetSectorTexts(Unsigned(VolumeParams.rangeStart), Unsigned(VolumeParams.rangeEnd));
    CString size(L" ");
    if (VolumeParams.rangeCount != 0)
        size.Format(L"%u MB ( Approx )", VolumeParams.rangeCount / 2048);
    SetValueText(3, size);
}

void CSecondDisplay::ShowControl(CWnd& control, BOOL bShow, BOOL bEnable)
{
    control.EnableWindow(bEnable);
    control.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CSecondDisplay::ShowScanRangeControls()
{
    if (ScanSelection.scanKind != kScanExtensive)
        return;
    ShowControl(m_fsCaption, TRUE, TRUE);
    ShowControl(m_fileSystem, TRUE, TRUE);
    const BOOL image = ScanSelection.imageKind == kImageVhd || ScanSelection.imageKind == kImageVhdx;
    for (CWnd* control : {static_cast<CWnd*>(&m_startCaption), static_cast<CWnd*>(&m_startSector),
                          static_cast<CWnd*>(&m_endCaption), static_cast<CWnd*>(&m_endSector)}) {
        if (image)
            control->EnableWindow(TRUE);
        control->ShowWindow(SW_SHOW);
    }
}

void CSecondDisplay::ShowFileSystemChoice()
{
    ShowControl(m_fsCaption, TRUE, TRUE);
    ShowControl(m_fileSystem, TRUE, TRUE);
    for (CWnd* control : {static_cast<CWnd*>(&m_startCaption), static_cast<CWnd*>(&m_startSector),
                          static_cast<CWnd*>(&m_endCaption), static_cast<CWnd*>(&m_endSector)})
        control->ShowWindow(SW_HIDE);
}

void CSecondDisplay::HideScanRangeControls()
{
    for (CWnd* control : {static_cast<CWnd*>(&m_fsCaption), static_cast<CWnd*>(&m_fileSystem),
                          static_cast<CWnd*>(&m_startCaption), static_cast<CWnd*>(&m_startSector),
                          static_cast<CWnd*>(&m_endCaption), static_cast<CWnd*>(&m_endSector)})
        ShowControl(*control, FALSE, FALSE);
}

void CSecondDisplay::ShowFileSystemChoiceOnly()
{
    ShowControl(m_fsCaption, TRUE, TRUE);
    ShowControl(m_fileSystem, TRUE, TRUE);
}

void CSecondDisplay::SetTitleText(LPCWSTR text)
{
    m_title.SetWindowText(text);
}

void CSecondDisplay::SetHintText(LPCWSTR text)
{
    m_hint.SetWindowText(text);
}

void CSecondDisplay::ShowDetailButton(BOOL bShow)
{
    ShowControl(m_toggle, bShow, bShow);
    m_explanation.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CSecondDisplay::ResetDetailButton()
{
    ScanDetailsShown = 1;
    m_toggle.SetWindowText(kHideProgressText);
}

int CSecondDisplay::GetFileSystemSelection() const
{
    return m_fileSystem.GetCurSel();
}

CString CSecondDisplay::GetStartSectorText() const
{
    return TextOf(m_startSector);
}

CString CSecondDisplay::GetEndSectorText() const
{
    return TextOf(m_endSector);
}

void CSecondDisplay::SetSectorTexts(LPCWSTR start, LPCWSTR end)
{
    m_startSector.SetWindowText(start);
    m_endSector.SetWindowText(end);
}

CString CSecondDisplay::GetHintText() const
{
    return TextOf(m_hint);
}

CString CSecondDisplay::GetTitleText() const
{
    return TextOf(m_title);
}

BOOL CSecondDisplay::IsFileSystemChoiceVisible() const
{
    return m_fileSystem.GetSafeHwnd() != NULL && m_fileSystem.IsWindowVisible();
}

BOOL CSecondDisplay::AreSectorFieldsVisible() const
{
    return m_startSector.GetSafeHwnd() != NULL && m_startSector.IsWindowVisible() &&
           m_endSector.IsWindowVisible();
}

BOOL CSecondDisplay::IsUsagePieVisible() const
{
    return m_usagePie.GetSafeHwnd() != NULL && m_usagePie.IsWindowVisible() && m_driveGroup.IsWindowVisible();
}

CString CSecondDisplay::GetUsagePieRoot() const
{
    return m_usagePie.m_rootPath;
}

CString CSecondDisplay::GetDetailButtonText() const
{
    return TextOf(m_toggle);
}

BOOL CSecondDisplay::IsDetailButtonVisible() const
{
    return m_toggle.GetSafeHwnd() != NULL && m_toggle.IsWindowVisible();
}
