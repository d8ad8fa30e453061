#include "partition_step_view.h"

#include <algorithm>

#include "caption_columns.h"
#include "drive_step_view.h"
#include "engine/image/image_source.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/scans/cut_image_note.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/quick_scan.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "file_system_panel.h"
#include "file_system_step_view.h"
#include "file_types_dlg.h"
#include "home_view.h"
#include "main_frame.h"
#include "message_dialogs.h"
#include "partition_panel.h"
#include "partition_panel_hooks.h"
#include "partition_step_ids.h"
#include "recovery_app.h"
#include "results_state.h"
#include "scan_worker_control.h"
#include "u16_text.h"
#include "wizard_navigator.h"
#include "wizard_state.h"

namespace {

// Posted by the worker: the scan timer is killed on the thread that owns it.
constexpr UINT kKillScanTimerMessage = WM_APP + 0x47;
constexpr UINT kScanTimerMs = 1000;

constexpr wchar_t kSearchingHintText[] = L"Searching for lost data. Please wait...";
constexpr wchar_t kChoosePartitionHint[] =
    L"Please select a partition from the left panel and press [Scan] to continue with recovery.";
constexpr wchar_t kLogicalDriveScanHint[] =
    L"You have selected logical drive for recovery. Please click [Scan] to continue with recovery.";

UINT QuickWorker(LPVOID pParam)
{
    QuickScanPartition();
    static_cast<CSecondView_HDD*>(pParam)->m_bWorkerReturned = true;
    return 0;
}

UINT ExtensiveWorker(LPVOID pParam)
{
    const std::uint32_t code = ExtensiveScanThread();
    static_cast<CSecondView_HDD*>(pParam)->m_bWorkerReturned = true;
    return code;
}

UINT FileTraceWorker(LPVOID pParam)
{
    FileTraceScanThread();
    static_cast<CSecondView_HDD*>(pParam)->m_bWorkerReturned = true;
    return 0;
}

BOOL RunFileTypesDialog(CWnd* pParent)
{
    CFileTypesDlg dialog(pParent);
    return dialog.DoModal() == IDOK;
}

CMainFrame* Frame()
{
    return RecoveryApp() != NULL ? RecoveryApp()->GetMainFrame() : NULL;
}

// The scan found something to list: the results view would have items under its root.
bool ScanFoundEntries()
{
    if (ScanSelection.scanKind == kScanFileTrace)
        return traceFoundList.head != nullptr;
    return fatFiles.head != nullptr || fatFolders.head != nullptr || ntfsScanNodes.head != nullptr ||
           ntfsEntryNodes.head != nullptr;
}

} // namespace

std::int32_t& SelectedSourceIndex()
{
    static std::int32_t noFrame = -1;
    CMainFrame* pFrame = Frame();
    return pFrame != NULL ? pFrame->m_nSelectedSource : noFrame;
}

bool ParseSectorNumber(const CString& text, std::uint32_t& value)
{
    CString trimmed = text;
    trimmed.Trim();
    value = 0;
    if (trimmed.IsEmpty() || trimmed.GetLength() > 10)
        return false;
    std::uint64_t number = 0;
    for (int i = 0; i < trimmed.GetLength(); ++i) {
        const wchar_t c = trimmed[i];
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    if (number > UINT32_MAX)
        return false;
    value = static_cast<std::uint32_t>(number);
    return true;
}

IMPLEMENT_DYNCREATE(CSecondView_HDD, CWizardStepView)

// clang-format off
BEGIN_MESSAGE_MAP(CSecondView_HDD, CWizardStepView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_SHOWWINDOW()
    ON_WM_KEYDOWN()
    ON_COMMAND(kStepScanCommand, OnScan)
    ON_COMMAND(kStepBackCommand, OnBack)
    ON_COMMAND(kStepStopCommand, OnStop)
    ON_COMMAND(kStepHomeCommand, OnHome)
    ON_MESSAGE(kKillScanTimerMessage, OnKillScanTimer)
END_MESSAGE_MAP()
// clang-format on

CSecondView_HDD::CSecondView_HDD() : m_pfnRunFileTypes(RunFileTypesDialog) {}

CSecondView_HDD::~CSecondView_HDD() = default;

int CSecondView_HDD::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWizardStepView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CreateSummaryFont(m_viewFont);
    const CRect placeholder(0, 0, 100, 100);
    m_partitionTree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS |
                               TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_CHECKBOXES,
                           placeholder, this, kPartitionTreeId);
    m_partitionTree.Init();
    SetPartitionTree(&m_partitionTree);

    m_pPanel = static_cast<CSecondDisplay*>(RUNTIME_CLASS(CSecondDisplay)->CreateObject());
    CCreateContext context;
    context.m_pCurrentDoc = GetDocument();
    if (m_pPanel == NULL || !m_pPanel->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, placeholder, this,
                                              AFX_IDW_PANE_FIRST + 1, &context))
        return -1;
    m_pPanel->m_pStepView = this;
    m_splitter.Create(WS_CHILD | WS_VISIBLE | CSplitterBar::kVerticalBar, this, &m_partitionTree, m_pPanel,
                      kPartitionSplitterId, placeholder, 90, 110);

    CreateStepButtons(
        {
            {&m_scanButton, kStepScanCommand, IDB_SCAN_BUTTON, IDB_SCAN_BUTTON_HOVER, L"Scan"},
            {&m_backButton, kStepBackCommand, 319, 320, L"Back"},
            {&m_stopButton, kStepStopCommand, 324, 323, L"Stop"},
            {&m_homeButton, kStepHomeCommand, 268, 317, L"Home"},
        },
        WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | WS_TABSTOP, true);
    m_stopButton.EnableWindow(FALSE);
    m_stopButton.ShowWindow(SW_HIDE);
    FillPanelHooks();
    return 0;
}

// What the drive step and the partition tree ask of this step and its panel.
void CSecondView_HDD::FillPanelHooks()
{
    CSecondDisplay* pPanel = m_pPanel;
    // A step entered afresh shows the partition captions again, not the counters of an earlier scan.
    PartitionPanelHooks.clearPartitionValues = [pPanel] { pPanel->ClearPartitionInfo(); };
    PartitionPanelHooks.showPartitionInfo = [pPanel](int device, int index) {
        pPanel->ShowPartitionInfo(device, index);
    };
    PartitionPanelHooks.setCounterCaptions = [pPanel] { pPanel->SetCounterLabels(); };
    PartitionPanelHooks.setHint = [pPanel](const CString& text) { pPanel->SetHintText(text); };
    PartitionPanelHooks.setCaption = [pPanel](const CString& text) { pPanel->SetTitleText(text); };
    PartitionPanelHooks.showVolumeInfo = [pPanel] { pPanel->ShowVolumeInfo(); };
    PartitionPanelHooks.showRangeControls = [pPanel](bool show) {
        if (show)
            pPanel->ShowScanRangeControls();
        else
            pPanel->HideScanRangeControls();
    };
    PartitionPanelHooks.showFileSystemChoiceOnly = [pPanel] { pPanel->ShowFileSystemChoiceOnly(); };
    PartitionPanelHooks.invalidatePanel = [pPanel] { pPanel->Invalidate(); };
    PartitionPanelHooks.showPartitionTree = [this](bool show) {
        m_partitionTree.ShowWindow(show ? SW_SHOW : SW_HIDE);
    };
    PartitionPanelHooks.showSplitterPanes = [this](bool both) {
        if (both)
            m_splitter.ShowBothPanes();
        else
            m_splitter.HideFirstPane();
    };
    PartitionPanelHooks.runScan = [this] { OnScan(); };
    PartitionPanelHooks.showScanAndBack = [this] {
        for (CToolButton* button : {&m_scanButton, &m_backButton, &m_homeButton}) {
            button->EnableWindow(TRUE);
            button->ShowWindow(SW_SHOW);
        }
    };
}

void CSecondView_HDD::OnDestroy()
{
    PartitionPanelHooks = PartitionPanelHooksBlock{};
    if (PartitionTree() == &m_partitionTree)
        SetPartitionTree(NULL);
    // The engine must not reach this view's windows after they are gone.
    if (engineUi.partitionStep == this)
        engineUi.partitionStep = nullptr;
    if (engineUi.scanPanel == m_pPanel)
        engineUi.scanPanel = nullptr;
    CWizardStepView::OnDestroy();
}

CWizardStepView::StepRow CSecondView_HDD::GetStepRow()
{
    return {&m_scanButton, &m_stopButton, &m_backButton, &m_homeButton, &m_splitter};
}

UINT CSecondView_HDD::HeaderBitmap() const
{
    if (IsScanning() && ScanThreadControl.done.load() == 0)
        return IDB_STEP_HEADER_SCANNING;
    if (SourceState.sourceKind == kSourceLogicalVolume)
        return IDB_STEP_HEADER_LOGICAL;
    return ScanSelection.scanKind == kScanExtensive ? IDB_STEP_HEADER_EXTENSIVE : IDB_STEP_HEADER_QUICK;
}

void CSecondView_HDD::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    int leftWidth = 0;
    int rightX = 0;
    DrawStepHeader(*pDC, client, HeaderBitmap(), leftWidth, rightX);
    CFont* pOldFont = pDC->SelectObject(&m_viewFont);
    pDC->SetBkMode(TRANSPARENT);
    // Wide enough for the longest summary in the view font.
    CRect summary(25, client.bottom - 40, 420, client.bottom);
    DrawCaptionColumns(pDC, summary, ScanSelectionUi.modeSummary);
    pDC->SelectObject(pOldFont);
}

void CSecondView_HDD::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CWizardStepView::OnShowWindow(bShow, nStatus);
    // The sector range is chosen only for an Extensive Scan, and only on a disk image: a logical drive
    // is scanned whole, by the file system chosen.
    if (bShow && m_pPanel != NULL && !IsScanning()) {
        if (ScanSelection.scanKind == kScanExtensive && SourceState.sourceKind == kSourceLogicalVolume)
            m_pPanel->ShowFileSystemChoice();
        else if (ScanSelection.scanKind == kScanExtensive)
            m_pPanel->ShowScanRangeControls();
        else
            m_pPanel->HideScanRangeControls();
    }
    Invalidate();
    if (m_partitionTree.GetSafeHwnd() != NULL)
        m_partitionTree.Invalidate();
}

BOOL CSecondView_HDD::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bBusy.load()) {
        ::SetCursor(::LoadCursorW(NULL, IDC_WAIT));
        return TRUE;
    }
    return CWizardStepView::OnSetCursor(pWnd, nHitTest, message);
}

void CSecondView_HDD::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB) {
        m_nFocusRing = m_nFocusRing % 3 + 1;
        m_scanButton.SetState(m_nFocusRing == 1);
        m_backButton.SetState(m_nFocusRing == 2);
        if (m_nFocusRing == 3)
            m_partitionTree.SetFocus();
        return;
    }
    if (nChar == VK_RETURN) {
        if ((m_scanButton.GetState() & BST_PUSHED) != 0)
            OnScan();
        else if ((m_backButton.GetState() & BST_PUSHED) != 0)
            OnBack();
        return;
    }
    CWizardStepView::OnKeyDown(nChar, nRepCnt, nFlags);
}

CToolButton& CSecondView_HDD::GetButton(PartitionStepButton button)
{
    switch (button) {
    case PartitionStepButton::Stop:
        return m_stopButton;
    case PartitionStepButton::Scan:
        return m_scanButton;
    case PartitionStepButton::Back:
        return m_backButton;
    case PartitionStepButton::Home:
        break;
    }
    return m_homeButton;
}

// ---- The worker's calls -------------------------------------------------------------------------------

void CSecondView_HDD::EnableButton(PartitionStepButton button, bool enable)
{
    ::EnableWindow(GetButton(button).GetSafeHwnd(), enable ? TRUE : FALSE);
}

void CSecondView_HDD::ShowButton(PartitionStepButton button, bool show)
{
    ::ShowWindow(GetButton(button).GetSafeHwnd(), show ? SW_SHOW : SW_HIDE);
}

void CSecondView_HDD::EnablePartitionList(bool enable)
{
    ::EnableWindow(m_partitionTree.GetSafeHwnd(), enable ? TRUE : FALSE);
}

void CSecondView_HDD::SetBusy(bool busy)
{
    m_bBusy = busy;
}

void CSecondView_HDD::KillScanTimer()
{
    ::PostMessageW(GetSafeHwnd(), kKillScanTimerMessage, m_nScanSerial, 0);
}

LRESULT CSecondView_HDD::OnKillScanTimer(WPARAM wParam, LPARAM)
{
    // Posted by a worker whose scan the user has left since (Back, Home, another Scan): nothing of it
    // may end the scan that runs now.
    if (wParam != m_nScanSerial || !m_bScanning)
        return 0;
    // The worker gave the step back to the user (no partition parameters): the scan is over.
    KillTimer(kWorkerTimer);
    m_bGivenBack = TRUE;
    m_bBusy = false;
    m_pPanel->ShowDetailButton(FALSE);
    Invalidate();
    return 0;
}

// ---- Scan ---------------------------------------------------------------------------------------------

void CSecondView_HDD::ShowMessage(LPCWSTR text, std::uint32_t kind)
{
    MessageBoxRequest.Set(text, kind);
    CMessageDlg dialog(this);
    dialog.DoModal();
}

void CSecondView_HDD::OnScan()
{
    if (IsScanning())
        return;
    switch (ScanSelection.scanKind) {
    case kScanExtensive:
        ScanExtensive();
        break;
    case kScanQuick:
        ScanQuick();
        break;
    case kScanFileTrace:
        ScanFileTrace();
        break;
    default:
        break;
    }
}

void CSecondView_HDD::ShowBusy()
{
    m_pPanel->ShowProgress();
    m_stopButton.EnableWindow(TRUE);
    m_stopButton.ShowWindow(SW_SHOW);
    for (CToolButton* button : {&m_scanButton, &m_backButton, &m_homeButton}) {
        button->EnableWindow(FALSE);
        button->ShowWindow(SW_HIDE);
    }
    m_pPanel->ShowDetailButton(TRUE);
    m_pPanel->ShowStatusText();
    m_pPanel->HideUsagePie();
    if (CMainFrame* pFrame = Frame())
        pFrame->m_nPartitionSelection = 0;
    m_partitionTree.EnableWindow(FALSE);
}

BOOL CSecondView_HDD::ScanExtensive()
{
    if (ScanSelection.imageKind == kImageVhdx && SelectedSourceIndex() < 0) {
        ShowMessage(kSelectPartitionScanText, kMessageKindInformation);
        return FALSE;
    }
    switch (m_pPanel->GetFileSystemSelection()) {
    case 0:
        VolumeParams.scanFsCode = kFsNtfs;
        break;
    case 1:
        VolumeParams.scanFsCode = kFsFat32;
        break;
    case 2:
        VolumeParams.scanFsCode = kFsFat16;
        break;
    default:
        break;
    }
    if (SourceState.sourceKind == kSourceLogicalVolume) {
        const char16_t* driveEntry = VolumeParams.driveIndex < kMaxDriveEntries
                                         ? DriveEntryTable.entries[VolumeParams.driveIndex]
                                         : u"";
        if (!IsUsableHandle(OpenLogicalVolume(driveEntry)))
            return FALSE;
        ScanSelectionUi.modeSummary = L"Selected Mode : Extensive Scan \r\nDrive Type        : Logical Drive";
    } else {
        std::uint32_t start = 0;
        if (!ParseSectorNumber(m_pPanel->GetStartSectorText(), start)) {
            ShowMessage(kStartSectorInvalidText, kMessageKindError);
            return FALSE;
        }
        std::uint32_t end = 0;
        if (VolumeParams.rangeEnd == 0 && ScanSelection.imageKind == kImageVhdx &&
            SourceState.imageSource != nullptr) {
            // The disk's last sector: a VHDX lists no partition, so the range runs to the disk's end.
            const std::uint64_t sectors = SourceState.imageSource->GetDiskSize() / kSectorSize;
            end = sectors == 0 ? 0
                               : static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors - 1, UINT32_MAX));
        } else if (!ParseSectorNumber(m_pPanel->GetEndSectorText(), end)) {
            ShowMessage(kEndSectorInvalidText, kMessageKindError);
            return FALSE;
        }
        if (end <= start) {
            ShowMessage(kEndNotBiggerText, kMessageKindError);
            return FALSE;
        }
        // The end field names the last sector, which the scan reads too (NTFS keeps its backup boot
        // sector there); a range over every 32-bit sector is held to the largest count.
        VolumeParams.rangeStart = start;
        VolumeParams.rangeEnd = end;
        VolumeParams.rangeCount =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{end} - start + 1, UINT32_MAX));
        ScanSelectionUi.modeSummary =
            L"Selected Mode   : Extensive Scan \r\nDrive Type          : Virtual Machine Disk";
    }
    if (VolumeParams.scanFsCode == kFsNtfs) {
        m_pPanel->ClearValues();
        m_pPanel->SetNtfsCounterLabels();
    } else {
        m_pPanel->SetFatCounterLabels();
    }
    ShowBusy();
    m_pPanel->HideScanRangeControls();
    // The file-system step receives what the scan finds.
    if (auto* pFileSystemStep =
            RecoveryApp() != NULL ? DYNAMIC_DOWNCAST(CFileSystemView, RecoveryApp()->GetView(kViewFileSystem))
                                  : NULL)
        pFileSystemStep->PrepareForScan();
    StartExtensiveScan();
    AfterScanStarted();
    return TRUE;
}

BOOL CSecondView_HDD::ScanQuick()
{
    if (SelectedSourceIndex() < 0) {
        ShowMessage(kSelectPartitionScanText, kMessageKindInformation);
        return FALSE;
    }
    ShowBusy();
    if (SourceState.sourceKind == kSourceLogicalVolume)
        ScanSelectionUi.modeSummary = L"Selected Mode : Quick Scan \r\nDrive Type        : Logical Drive";
    else
        ScanSelectionUi.modeSummary =
            L"Selected Mode : Recovery Scan \r\nDrive Type         : Virtual Machine Disk";
    StartQuickScan();
    AfterScanStarted();
    return TRUE;
}

BOOL CSecondView_HDD::ScanFileTrace()
{
    // With no partition there is nothing to choose in the tree: the image is sent to the Extensive Scan
    // before the user is asked to choose one.
    if (partitionCount == 0) {
        ShowMessage(kTraceDamagedText, kMessageKindInformation);
        OnHome();
        return FALSE;
    }
    if (m_partitionTree.GetSelectedItem() == NULL) {
        ShowMessage(kSelectPartitionScanText, kMessageKindInformation);
        return FALSE;
    }
    if (SelectedSourceIndex() < 0) {
        ShowMessage(kSelectPartitionNextText, kMessageKindInformation);
        return FALSE;
    }
    if (m_pfnRunFileTypes == NULL || !m_pfnRunFileTypes(this))
        return FALSE;
    ShowBusy();
    if (SourceState.sourceKind == kSourceLogicalVolume)
        ScanSelectionUi.modeSummary = L"Selected Mode : File Trace \r\nDrive Type        : Logical Drive";
    else
        ScanSelectionUi.modeSummary = L"Selected Mode : File Trace \r\nDrive Type        : Virtual Hard Disk";
    StartFileTraceScan();
    AfterScanStarted();
    m_pPanel->SetHintText(kSearchingHintText);
    return TRUE;
}

void CSecondView_HDD::AttachToEngine()
{
    engineUi.scanPanel = m_pPanel;
    engineUi.partitionStep = this;
}

BOOL CSecondView_HDD::StartWorker(AFX_THREADPROC pfnWorker)
{
    CScanWorkerControl::Release();
    AttachToEngine();
    ++m_nScanSerial;
    m_bScanning = TRUE;
    m_bGivenBack = FALSE;
    m_bWorkerReturned = false;
    // The flags are set before the thread starts, so that the worker's own end is never overwritten.
    if (!CScanWorkerControl::Start(pfnWorker, this)) {
        m_bScanning = FALSE;
        return FALSE;
    }
    SetTimer(kWorkerTimer, kScanTimerMs, NULL);
    return TRUE;
}

void CSecondView_HDD::StartQuickScan()
{
    StartWorker(QuickWorker);
}

void CSecondView_HDD::StartExtensiveScan()
{
    PrepareExtensiveScan();
    StartWorker(ExtensiveWorker);
}

void CSecondView_HDD::StartFileTraceScan()
{
    StartWorker(FileTraceWorker);
}

void CSecondView_HDD::AfterScanStarted()
{
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    CurrentModeStep() = 3;
    WizardStepState.resultsReady = kResultsReady;
}

// ---- Stop and the end of a scan -----------------------------------------------------------------------

void CSecondView_HDD::OnStop()
{
    // The worker runs on while the question is open; Yes is the stop request it polls.
    if (!CScanWorkerControl::AskStop(kStopScanQuestion))
        return;
    m_stopButton.EnableWindow(FALSE);
    m_stopButton.ShowWindow(SW_HIDE);
    m_pPanel->ShowDetailButton(FALSE);
    m_pPanel->ShowStatusText();
}

void CSecondView_HDD::OnTimer(UINT_PTR nIDEvent)
{
    // The end of the worker; the stop question's own loop delivers this timer too, and it waits for it.
    if (!IsWorkerEndTick(nIDEvent))
        return;
    CRecoveryApp* pApp = RecoveryApp();
    if (ScanSelection.scanKind == kScanExtensive) {
        if (bootVolumesDone.load() == 0 || inferenceDone.load() == 0) {
            m_bBusy = false;
            return;
        }
        EndWorkerWatch();
        m_bScanning = FALSE;
        m_bBusy = false;
        bootVolumesDone = 0;
        inferenceDone = 0;
        m_pPanel->ShowProgress();
        m_pPanel->ShowDetailButton(FALSE);
        m_pPanel->ResetDetailButton();
        // The result commands wait for a volume's parse: only the file-system step's end offers them.
        WizardNavigator::SectorScanEnded();
        if (foundVolumes.head == nullptr) {
            if (auto* pFileSystemStep =
                    DYNAMIC_DOWNCAST(CFileSystemView, pApp != NULL ? pApp->GetView(kViewFileSystem) : NULL))
                pFileSystemStep->GetPanel()->SetStatusText(u"Corvane VMDK Recovery was unable to identify a "
                                                           u"file system in the selected sector range.");
            const std::u16string cut = CutImageScanText(true);
            ShowMessage(cut.empty() ? CString(kNoFileSystemText) : ToCString(cut), kMessageKindError);
        }
        return;
    }
    EndWorkerWatch();
    m_bScanning = FALSE;
    m_bBusy = false;
    WizardNavigator::ShowResults(ScanSelection.scanKind);
    const bool found = ScanFoundEntries();
    const std::u16string cut = CutImageScanText(!found);
    if (ScanSelection.scanKind == kScanQuick && !found) {
        const UINT switches = pApp != NULL ? pApp->m_nSwitchCount : 0;
        ShowMessage(cut.empty() ? CString(kNothingFoundText) : ToCString(cut), kMessageKindNotice);
        // A Home or Back that reached the results while the notice waited has left them already; going
        // home now would empty whatever step the user went on to.
        if (pApp == NULL || pApp->m_nSwitchCount == switches)
            WizardNavigator::NothingFound();
        return;
    }
    if (!cut.empty())
        ShowMessage(ToCString(cut), kMessageKindInformation);
}

// ---- Back and Home ------------------------------------------------------------------------------------

void CSecondView_HDD::OnBack()
{
    if (IsScanning())
        return;
    WizardNavigator::BackToDriveStep();
    switch (ScanSelection.scanKind) {
    case kScanExtensive:
        ScanSelectionUi.modeSummary = L"Selected Mode : Extensive Scan";
        break;
    case kScanQuick:
        ScanSelectionUi.modeSummary = L"Selected Mode : Recovery Scan";
        break;
    default:
        ScanSelectionUi.modeSummary = L"Selected Mode : File Trace";
        break;
    }
    CurrentModeStep() = 2;
    WizardStepState.resultsReady = 0;
    if (CMainFrame* pFrame = Frame())
        pFrame->m_flags.loadSnapshot = 1;
}

void CSecondView_HDD::Leave()
{
    // No tick of an old scan's watch may reach the step that comes next.
    if (!IsScanning())
        KillTimer(kWorkerTimer);
    m_partitionTree.DeleteAllItems();
    SelectedSourceIndex() = -1;
    PreviewClearPending = 1;
    CurrentFolderId = 0;
    SaveFromFindResults = 0;
    m_pPanel->ResetDetailButton();

    FreeScanLists();
    FreeFolderLists();
    FreePartitionLists();
    // The table's rows stood in the tree, which is empty now; the drive step reads them again.
    partitionCount = 0;
    FreeTraceFoundList();
    FreeFileSignatureList();
    ResetResultsAndTempFiles();
    ResetResultsAndTempFiles();

    ShowForChoosing();
    m_pPanel->ClearValues();
    m_pPanel->HideUsagePie();
}

void CSecondView_HDD::ShowForChoosing()
{
    if (!IsScanning()) {
        m_bScanning = FALSE;
        m_bGivenBack = FALSE;
        m_bBusy = false;
    }
    m_pPanel->SetStatusText(u"");
    m_pPanel->SetProgressPos(0);
    m_pPanel->HideProgress();
    m_pPanel->HideStatusText();
    m_pPanel->ShowDetailButton(FALSE);
    m_stopButton.EnableWindow(FALSE);
    m_stopButton.ShowWindow(SW_HIDE);
    for (CToolButton* button : {&m_scanButton, &m_backButton, &m_homeButton}) {
        button->EnableWindow(TRUE);
        button->ShowWindow(SW_SHOW);
    }
    m_partitionTree.EnableWindow(TRUE);
    Invalidate();
}

void CSecondView_HDD::ShowChoiceHint()
{
    // The scan's counters and its progress toggle go with its results: the partition rows, empty.
    m_pPanel->ClearPartitionInfo();
    m_pPanel->ResetDetailButton();
    if (SourceState.sourceKind == kSourceLogicalVolume) {
        m_pPanel->SetHintText(kLogicalDriveScanHint);
        m_pPanel->ShowVolumeInfo();
    } else {
        m_pPanel->SetHintText(kChoosePartitionHint);
    }
}

void CSecondView_HDD::ShowScannedRange()
{
    m_pPanel->ClearValues();
    if (SourceState.sourceKind == kSourceLogicalVolume) {
        // A logical drive is scanned whole again; only its file system may change.
        m_pPanel->SetHintText(kLogicalDriveScanHint);
        m_pPanel->ShowVolumeInfo();
        m_pPanel->ShowFileSystemChoice();
        m_pPanel->ShowLogicalVolumeCaptions();
    } else {
        // The range that was scanned, ready to be scanned again or changed.
        m_pPanel->SetHintText(kChoosePartitionHint);
        m_pPanel->ShowScanRangeControls();
        m_pPanel->ShowVolumeRange();
    }
}

void CSecondView_HDD::OnHome()
{
    if (IsScanning())
        return;
    WizardNavigator::Home();
}
