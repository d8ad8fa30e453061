#include "drive_panel.h"

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "home_view.h"
#include "main_frame.h"
#include "recovery_app.h"
#include "resource.h"
#include "u16_text.h"
#include "virtual_drive.h"

IMPLEMENT_DYNCREATE(CFirstDisplay, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CFirstDisplay, CView)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()
// clang-format on

namespace {

constexpr COLORREF kAccent = 0xBD751D;
constexpr wchar_t kTitle[] = L"Selected Drive Information";
constexpr wchar_t kHint[] =
    L"Please select the Virtual Machine Disk ( VMDK ) that contains data from left panel and "
    L"click [Next] to continue with recovery.";
constexpr LPCWSTR kStartCaptions[kDrivePanelRows] = {
    L"Model\t\t\t\t:", L"Capacity\t\t\t:", L"Cylinders\t\t\t:", L"Head\t\t\t\t:", L"Sectors Per Track :"};
constexpr LPCWSTR kDriveCaptions[kDrivePanelRows] = {L"Model\t\t\t:", L"Capacity\t\t:", L"Cylinders\t\t:",
                                                     L"Head\t\t\t:", L"Sectors Per Track\t:"};
constexpr LPCWSTR kVhdxCaptions[kDrivePanelRows] = {L"Model\t\t\t:", L"Capacity\t\t:", L"Disk Type\t\t:",
                                                    L"Data Block Count\t:", L"Total Bat Entries\t:"};
constexpr LPCWSTR kVolumeCaptions[kDrivePanelRows] = {L"Volume Name\t\t:", L"Capacity\t\t:", L"SPC\t\t\t:",
                                                      L"Byte Per Sector\t\t:", L"File System\t\t:"};

// Rows: caption at x 10, value at x 220, 20 pixels apart from y 130.
constexpr int kRowTop = 130;
constexpr int kRowStep = 20;
constexpr int kCaptionX = 10;
constexpr int kValueX = 220;

CMainFrame* Frame()
{
    return DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
}

CString DeviceName(int device)
{
    if (device < 0 || device >= kMaxDevices)
        return CString();
    return CString(DriveGeometryTable.names[device]);
}

} // namespace

CFirstDisplay::CFirstDisplay() = default;

CFirstDisplay::~CFirstDisplay()
{
    if (CMainFrame* pFrame = Frame(); pFrame != NULL && pFrame->m_pDrivePanel == this)
        pFrame->m_pDrivePanel = NULL;
}

int CFirstDisplay::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_whiteBrush.CreateSolidBrush(RGB(255, 255, 255));
    m_accentBrush.CreateSolidBrush(kAccent);
    m_font.CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    m_progressFont.CreateFontW(18, 0, 0, 0, 600, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");

    m_logoButton.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(300, 0, 700, 200), this, 32825);
    m_logoButton.LoadBitmaps(IDB_DRIVE_LOGO, IDB_DRIVE_LOGO);

    m_groupBox.Create(kTitle, WS_CHILD | BS_GROUPBOX, CRect(0, 95, 480, 385), this, kDrivePanelGroup);
    m_groupBox.SetFillColours(RGB(255, 255, 255));
    m_hiddenGroupBox.Create(kTitle, WS_CHILD | BS_GROUPBOX, CRect(0, 0, 0, 0), this, kDrivePanelGroup);
    m_hiddenGroupBox.SetFillColours(RGB(255, 255, 255));

    m_title.Create(kTitle, WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(kCaptionX, 72, 400, 92), this,
                   kDrivePanelTitle);
    m_title.SetFont(&m_font);
    for (int row = 0; row < kDrivePanelRows; ++row) {
        const int y = kRowTop + row * kRowStep;
        m_captions[row].Create(kStartCaptions[row], WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                               CRect(kCaptionX, y, kValueX - 10, y + 18), this,
                               kDrivePanelFirstCaption + row);
        m_captions[row].SetFont(&m_font);
        m_values[row].Create(L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                             CRect(kValueX, y, kValueX + 240, y + 18), this, kDrivePanelFirstValue + row);
        m_values[row].SetFont(&m_font);
    }
    m_usagePie.Create(L"", WS_CHILD | SS_OWNERDRAW, CRect(kCaptionX, 240, 470, 360), this,
                      kDrivePanelUsagePie);
    m_hint.Create(kHint, WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(kCaptionX, 395, 480, 435), this,
                  kDrivePanelHint);
    m_hint.SetFont(&m_font);

    m_progress.Create(WS_CHILD | WS_BORDER | TPBS_PERCENT, CRect(kCaptionX, 445, 470, 469), this,
                      kDrivePanelProgress);
    m_progress.SetText(L"%d%%", TPBS_PERCENT);
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_progress.SetFont(&m_progressFont);
    m_progress.m_backgroundColour = 0xF2F2F2;
    m_progress.m_barTextColour = 0xFFFFFF;
    m_progress.m_backgroundTextColour = kAccent;
    m_progress.m_pBarBrush = &m_accentBrush;
    m_statusLine.Create(L"", WS_CHILD | SS_LEFT | SS_NOPREFIX, CRect(kCaptionX, 475, 470, 495), this,
                        kDrivePanelHint);
    m_statusLine.SetFont(&m_font);
    HideProgress();
    HideStatusText();

    ShowDriveInfo(0);
    HideDetails();
    if (CMainFrame* pFrame = Frame())
        pFrame->m_pDrivePanel = this;
    return 0;
}

void CFirstDisplay::SetProgressPos(int position)
{
    if (m_progress.GetSafeHwnd() != NULL)
        m_progress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CFirstDisplay::SetStatusText(CString text)
{
    if (m_statusLine.GetSafeHwnd() != NULL)
        m_statusLine.SetWindowText(text);
}

void CFirstDisplay::ShowProgress()
{
    m_progress.ShowWindow(SW_SHOW);
    m_progress.EnableWindow(TRUE);
}

void CFirstDisplay::HideProgress()
{
    m_progress.ShowWindow(SW_HIDE);
    m_progress.EnableWindow(FALSE);
}

void CFirstDisplay::ShowStatusText()
{
    m_statusLine.ShowWindow(SW_SHOW);
    m_statusLine.EnableWindow(TRUE);
}

void CFirstDisplay::HideStatusText()
{
    m_statusLine.ShowWindow(SW_HIDE);
    m_statusLine.EnableWindow(FALSE);
}

void CFirstDisplay::HideDetails()
{
    m_usagePie.ShowWindow(SW_HIDE);
    m_usagePie.EnableWindow(FALSE);
    m_groupBox.ShowWindow(SW_HIDE);
    m_groupBox.EnableWindow(FALSE);
    m_chart.DeleteAllSlices();
    for (CStatic& value : m_values)
        value.SetWindowText(L"");
    Invalidate();
}

void CFirstDisplay::SetRows(const LPCWSTR captions[kDrivePanelRows])
{
    for (int row = 0; row < kDrivePanelRows; ++row)
        m_captions[row].SetWindowText(captions[row]);
}

void CFirstDisplay::SetValue(int row, const CString& text)
{
    m_values[row].SetWindowText(text);
}

CString CFirstDisplay::GetValueText(int row) const
{
    CString text;
    m_values[row].GetWindowText(text);
    return text;
}

BOOL CFirstDisplay::IsUsagePieVisible() const
{
    return m_usagePie.GetSafeHwnd() != NULL && m_usagePie.IsWindowVisible();
}

CString CFirstDisplay::GetUsagePieRoot() const
{
    return m_usagePie.m_rootPath;
}

CString CFirstDisplay::GetCaptionText(int row) const
{
    CString text;
    m_captions[row].GetWindowText(text);
    return text;
}

void CFirstDisplay::SetGeometryValues(const DeviceGeometryEntry& geometry)
{
    const std::uint32_t values[] = {geometry.cylinders, geometry.heads, geometry.sectorsPerTrack};
    for (int row = 0; row < 3; ++row) {
        CString text;
        text.Format(L"%u", values[row]);
        SetValue(2 + row, text);
    }
}

void CFirstDisplay::SetDriveCaptions()
{
    SetRows(ScanSelection.imageKind == kImageVhdx ? kVhdxCaptions : kDriveCaptions);
}

void CFirstDisplay::SetVolumeCaptions()
{
    SetRows(kVolumeCaptions);
}

void CFirstDisplay::ShowDriveInfo(int device)
{
    SetDriveCaptions();
    if (device < 0 || device >= kMaxDevices) {
        HideDetails();
        return;
    }
    m_usagePie.ShowWindow(SW_HIDE);
    CMainFrame* pFrame = Frame();
    CString text;
    SetValue(0, DeviceName(device));
    const DeviceGeometryEntry& geometry = DeviceGeometry[device];
    switch (ScanSelection.imageKind) {
    case kImageVhdx: {
        CImageSource* pSource = pFrame != NULL ? pFrame->m_pImageSource : NULL;
        if (pSource == NULL)
            break;
        text.Format(L"%llu MB ", static_cast<unsigned long long>(pSource->GetDiskSize() / 1048576));
        SetValue(1, text);
        const std::u16string type = pSource->GetDiskTypeName();
        SetValue(2, CString(reinterpret_cast<const wchar_t*>(type.c_str())));
        text.Format(L"%u", pSource->GetDataBlockCount());
        SetValue(3, text);
        text.Format(L"%u", pSource->GetBatEntryCount());
        SetValue(4, text);
        break;
    }
    case kImageVhd:
        text.Format(L"%u MB (Approx..)", DriveTotalSectors(device) / 2048);
        SetValue(1, text);
        SetGeometryValues(geometry);
        break;
    default: {
        const std::uint64_t bytes =
            pFrame != NULL && pFrame->m_pVmdkExtent != NULL ? pFrame->m_pVmdkExtent->GetDiskSize() : 0;
        text.Format(L"%llu MB ", static_cast<unsigned long long>(bytes / 1048576));
        SetValue(1, text);
        // The registered geometry already has the derived values of a descriptor without any.
        SetGeometryValues(geometry);
        break;
    }
    }
}

void CFirstDisplay::ShowLogicalDriveInfo(int drive)
{
    DriveEntryTable.selected = drive >= 0 && drive < kMaxDriveEntries ? drive : -1;
    SetVolumeCaptions();
    if (DriveEntryTable.selected < 0) {
        for (CStatic& value : m_values)
            value.SetWindowText(L"");
        return;
    }
    m_usagePie.ShowWindow(SW_SHOW);
    m_usagePie.EnableWindow(TRUE);
    m_groupBox.ShowWindow(SW_SHOW);
    m_chart.DeleteAllSlices();
    m_groupBox.SetCaption(L"Selecteed Drive Information");
    SetValue(0, ToCString(DriveEntryName(drive)));
    CString text;
    text.Format(L"%llu MB (Approx..)",
                static_cast<unsigned long long>(DriveEntryTable.sectorCounts[drive] / 2048));
    SetValue(1, text);
    text.Format(L"%u", DriveEntryTable.sectorsPerCluster[drive]);
    SetValue(2, text);
    SetValue(3, L"512");
    switch (DriveEntryTable.fsCodes[drive]) {
    case kFsFat16:
        SetValue(4, L"FAT16");
        break;
    case kFsFat32:
        SetValue(4, L"FAT32");
        break;
    case kFsNtfs:
        SetValue(4, L"NTFS");
        break;
    default:
        SetValue(4, L"UNKNOWN");
        break;
    }
    m_usagePie.SetDrive(ToCString(DriveEntryRoot(drive)));
    Invalidate();
}

void CFirstDisplay::ShowPartitionChart()
{
    m_groupBox.ShowWindow(SW_SHOW);
    m_chart.DeleteAllSlices();
    m_chart.m_crOutline = 0x808080;
    m_chart.m_bOwnsSlices = TRUE;
    // Every image kind gets shares of its sectors, so that the pie adds up; a VHDX has no geometry and
    // is measured by its size.
    std::uint64_t total = DriveTotalSectors(SourceState.deviceIndex);
    CMainFrame* pFrame = Frame();
    if (total == 0 && pFrame != NULL) {
        if (ScanSelection.imageKind == kImageVmdk && pFrame->m_pVmdkExtent != NULL)
            total = pFrame->m_pVmdkExtent->GetDiskSize() / 512;
        else if (ScanSelection.imageKind != kImageVmdk && pFrame->m_pImageSource != NULL)
            total = pFrame->m_pImageSource->GetDiskSize() / 512;
    }
    int sum = 0;
    for (std::uint32_t row = 0; row < partitionCount && row < kMaxPartitions; ++row) {
        const PartitionEntry& entry = partitionTable[row];
        const int share =
            total == 0 ? 0
                       : static_cast<int>(std::min<std::uint64_t>(entry.sectorCount * 100ull / total, 100));
        sum += share;
        COLORREF colour = 0xFFFFFF;
        LPCWSTR label = L"UNKNOWN";
        if (entry.fsCode == kFsFat16) {
            colour = 0x8FA7F8;
            label = L"FAT16";
        } else if (entry.fsCode == kFsFat32) {
            colour = 0xFF7777;
            label = L"FAT32";
        } else if (entry.fsCode == kFsNtfs) {
            colour = 0x77FF77;
            label = L"NTFS";
        }
        m_chart.AddSlice(new CPieSlice(share, colour, label));
    }
    if (partitionCount != 0 && sum != 100)
        m_chart.AddSlice(new CPieSlice(std::min(100 - sum, 100), 0xFF00FF, L"FREE"));
    Invalidate();
}

BOOL CFirstDisplay::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(255, 255, 255));
    return TRUE;
}

void CFirstDisplay::OnDraw(CDC* pDC)
{
    if (m_chart.GetSliceCount() == 0)
        return;
    const int saved = pDC->SaveDC();
    m_chart.m_pFont = &m_font;
    pDC->SetTextColor(kAccent);
    m_chart.Draw(pDC, 190, 300, 60, 1, 1, 0);
    pDC->RestoreDC(saved);
}

void CFirstDisplay::OnLButtonDown(UINT nFlags, CPoint point)
{
    CMainFrame* pFrame = Frame();
    if (pFrame != NULL) {
        if (CView* pDrive = static_cast<CRecoveryApp*>(AfxGetApp())->GetView(kViewDrive))
            pFrame->SetActiveView(pDrive);
    }
    CView::OnLButtonDown(nFlags, point);
}

int CFirstDisplay::OnMouseActivate(CWnd*, UINT, UINT)
{
    // The panel never becomes the frame's active view: the drive step stays it.
    return MA_ACTIVATE;
}

HBRUSH CFirstDisplay::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd == &m_title) {
        pDC->SetTextColor(kAccent);
        pDC->SetBkColor(RGB(255, 255, 255));
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    if (nCtlColor == CTLCOLOR_STATIC) {
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(RGB(255, 255, 255));
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    return CView::OnCtlColor(pDC, pWnd, nCtlColor);
}
