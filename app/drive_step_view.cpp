#include "drive_step_view.h"

#include "caption_columns.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/partitions/partition_search.h"
#include "engine/recovery/trace/trace_records.h"
#include "home_view.h"
#include "html_message_box.h"
#include "main_frame.h"
#include "message_dialogs.h"
#include "mode_summaries.h"
#include "partition_panel_hooks.h"
#include "partition_type_dlg.h"
#include "recovery_app.h"
#include "resource.h"
#include "results_view.h"
#include "scan_worker_control.h"
#include "virtual_drive.h"
#include "wizard_navigator.h"
#include "wizard_state.h"

IMPLEMENT_DYNCREATE(CFirstView_HDD, CWizardStepView)

namespace {

// lParam: the std::function to run on the view's thread.
constexpr UINT kRunOnViewThread = WM_APP + 0x46;

constexpr wchar_t kSelectDriveText[] =
    L"Please select the drive that contain the lost data \r\nfrom the left panel and click [Next].";
constexpr wchar_t kStopQuestion[] = L"Do you want to stop partition searching ?";
constexpr wchar_t kNotFoundText[] =
    L"Data has been not found in this File, Please select another VMDK File and perform Scan.";
constexpr wchar_t kProductTitle[] = L"Corvane VMDK Recovery";
constexpr wchar_t kPleaseWait[] = L"Please wait...";
constexpr wchar_t kPartitionHint[] =
    L"Please Select a Partition From The Left Panel and press [Scan] to continue with recovery.";
constexpr wchar_t kPartitionHintLower[] =
    L"Please select a partition from the left panel and press [Scan] to continue with recovery.";
constexpr wchar_t kLogicalHintScan[] =
    L"You have selected logical drive for recovery. Please click [Scan] to continue with recovery.";
constexpr wchar_t kLogicalHintNext[] =
    L"You have selected logical drive for recovery. Please click [Next] to continue with recovery.";
constexpr wchar_t kPartitionCaption[] = L"Partition Information";
constexpr wchar_t kDriveCaption[] = L"Selected Drive Information";
constexpr wchar_t kTreePath[] = L"My Computer\\Physical Devices\\Virtual Machine Disk \\";

constexpr wchar_t kDamagedQuick[] =
    L"This partition is damaged, please select physical hard disk and proceed.";
constexpr wchar_t kDamagedExtensive[] =
    L"This partition is damaged, please select physical Device and proceed.";
constexpr wchar_t kDamagedTrace[] =
    L"This partition is damaged, please select physical hard drive and proceed.";

CMainFrame* Frame()
{
    return DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
}

CRecoveryApp* App()
{
    return static_cast<CRecoveryApp*>(AfxGetApp());
}

CString FromU16(const char16_t* text)
{
    return CString(text != nullptr ? reinterpret_cast<const wchar_t*>(text) : L"");
}

} // namespace

// ---- The engine's drive-step calls ------------------------------------------------------------------

void CDriveStepUi::OnViewThread(const std::function<void()>& call)
{
    if (m_hWndView != NULL && ::IsWindow(m_hWndView) &&
        ::GetWindowThreadProcessId(m_hWndView, NULL) != ::GetCurrentThreadId()) {
        ::SendMessageW(m_hWndView, kRunOnViewThread, 0, reinterpret_cast<LPARAM>(&call));
        return;
    }
    call();
}

void CDriveStepUi::SetStatusText(const char16_t* text)
{
    const CString shown = FromU16(text);
    OnViewThread([&] {
        auto* pFrame = Frame();
        if (auto* pPanel = pFrame != NULL ? DYNAMIC_DOWNCAST(CFirstDisplay, pFrame->m_pDrivePanel) : NULL)
            pPanel->SetStatusText(shown);
    });
}

void CDriveStepUi::SetProgressPos(std::uint32_t percent)
{
    OnViewThread([&] {
        auto* pFrame = Frame();
        if (auto* pPanel = pFrame != NULL ? DYNAMIC_DOWNCAST(CFirstDisplay, pFrame->m_pDrivePanel) : NULL)
            pPanel->SetProgressPos(static_cast<int>(percent));
    });
}

void CDriveStepUi::SetWaitText(const char16_t* text)
{
    SetStatusText(text);
}

void CDriveStepUi::AddGroupItem(const char16_t* groupText, const char16_t* itemText)
{
    const CString group = FromU16(groupText);
    const CString item = FromU16(itemText);
    OnViewThread([&] {
        if (CSourceTreeCtrl* pTree = PartitionTree())
            pTree->AddGroupItem(group, item);
    });
}

void CDriveStepUi::ExpandRoot()
{
    OnViewThread([&] {
        if (CSourceTreeCtrl* pTree = PartitionTree())
            pTree->ExpandRoot();
    });
}

bool CDriveStepUi::RunPartitionTypeDlg(bool& useExistingPartitionInfo)
{
    bool confirmed = false;
    OnViewThread([&] {
        CPartitionTypeDlg dialog(Frame());
        if (dialog.DoModal() == IDOK) {
            confirmed = true;
            useExistingPartitionInfo = PartitionSearchChoice == 0;
        }
    });
    return confirmed;
}

UINT PartitionSearchThread(LPVOID)
{
    SearchPartitions();
    ScanThreadControl.running = 0;
    ScanThreadControl.done = 1;
    return 1;
}

// ---- The view ---------------------------------------------------------------------------------------

// clang-format off
BEGIN_MESSAGE_MAP(CFirstView_HDD, CWizardStepView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_CTLCOLOR()
    ON_WM_SHOWWINDOW()
    ON_WM_ERASEBKGND()
    ON_COMMAND(kDriveStepNext, OnNext)
    ON_COMMAND(kDriveStepBack, OnBack)
    ON_COMMAND(kDriveStepHome, OnHome)
    ON_COMMAND(kDriveStepStop, OnStop)
    ON_MESSAGE(kRunOnViewThread, OnRunOnViewThread)
END_MESSAGE_MAP()
// clang-format on

CFirstView_HDD::CFirstView_HDD() = default;
CFirstView_HDD::~CFirstView_HDD() = default;

int CFirstView_HDD::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWizardStepView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_font.CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    const CRect empty(0, 0, 0, 0);
    m_helpButton.Create(L"Corvane Help", WS_CHILD, empty, this, 61479);
    m_emptyStatic.Create(L"", WS_CHILD, empty, this, 9006);

    m_sourceTree.Create(WS_CHILD | 0x16800027, CRect(0, 150, 600, 300), this, kDriveSourceTree);

    CRect client;
    GetClientRect(&client);
    client.DeflateRect(20, 20);
    CCreateContext context;
    context.m_pCurrentDoc = GetDocument();
    m_pDrivePanel = new CFirstDisplay;
    if (!m_pDrivePanel->Create(NULL, NULL, WS_CHILD, client, this, kDrivePanelId, &context)) {
        m_pDrivePanel = NULL;
        return -1;
    }
    m_pDrivePanel->OnInitialUpdate();
    m_pDrivePanel->ShowWindow(SW_SHOW);
    m_splitter.Create(WS_CHILD | WS_VISIBLE | CSplitterBar::kVerticalBar, this, &m_sourceTree, m_pDrivePanel,
                      kDriveStepSplitter, CRect(0, 0, 0, 0), 50, 150);
    m_sourceTree.Init();
    m_sourceTree.m_hooks.showDriveInfo = [this](int device) { m_pDrivePanel->ShowDriveInfo(device); };
    m_sourceTree.m_hooks.showPartitionChart = [this] { m_pDrivePanel->ShowPartitionChart(); };
    m_sourceTree.m_hooks.hideDriveDetails = [this] { m_pDrivePanel->HideDetails(); };
    m_sourceTree.m_hooks.setDriveCaptions = [this](bool volume) {
        if (volume)
            m_pDrivePanel->SetVolumeCaptions();
        else
            m_pDrivePanel->SetDriveCaptions();
    };
    m_sourceTree.m_hooks.showLogicalDriveInfo = [this](int drive) {
        m_pDrivePanel->ShowLogicalDriveInfo(drive);
    };
    SourceState.sourceKind = kSourceNone;

    CreateStepButtons(
        {
            {&m_nextButton, kDriveStepNext, IDB_DRIVE_NEXT, IDB_DRIVE_NEXT_HOVER, L"Next"},
            {&m_backButton, kDriveStepBack, IDB_DRIVE_BACK, IDB_DRIVE_BACK_HOVER, L"Back"},
            {&m_stopButton, kDriveStepStop, IDB_DRIVE_STOP, IDB_DRIVE_STOP_HOVER, L"Stop"},
            {&m_homeButton, kDriveStepHome, IDB_DRIVE_HOME, IDB_DRIVE_HOME_HOVER, L"Home"},
        },
        WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, false);
    m_stopButton.EnableWindow(FALSE);
    m_stopButton.ShowWindow(SW_HIDE);
    m_driveStepUi.m_hWndView = m_hWnd;
    engineUi.driveStep = &m_driveStepUi;
    return 0;
}

void CFirstView_HDD::OnDestroy()
{
    if (engineUi.driveStep == &m_driveStepUi)
        engineUi.driveStep = nullptr;
    CWizardStepView::OnDestroy();
}

void CFirstView_HDD::OnSize(UINT nType, int cx, int cy)
{
    CWizardStepView::OnSize(nType, cx, cy);
    if (m_nextButton.GetSafeHwnd() == NULL)
        return;
    LayoutStepRow(cx, cy, m_nextButton, m_stopButton, m_backButton, &m_homeButton, m_splitter);
    m_splitter.ShowWindow(SW_SHOW);
}

BOOL CFirstView_HDD::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CFirstView_HDD::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    const bool busy = ScanThreadControl.running != 0 && ScanThreadControl.done == 0;
    DrawStepHeader(*pDC, client, busy ? IDB_DRIVE_HEADER_LEFT_BUSY : IDB_DRIVE_HEADER_LEFT, m_leftHeaderWidth,
                   m_rightHeaderX);
    CFont* pOld = pDC->SelectObject(&m_font);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(0, 0, 0));
    CRect summary(25, client.Height() - 40, 250, client.Height());
    // The summary may run past the box's right edge where the font is wider; it is not cut off.
    DrawCaptionColumns(pDC, summary, ScanSelectionUi.modeSummary);
    pDC->SelectObject(pOld);
}

void CFirstView_HDD::ShowError(LPCWSTR text)
{
    MessageBoxRequest.Set(text, kMessageKindError);
    CMessageDlg dialog;
    dialog.DoModal();
}

void CFirstView_HDD::StartSearchControls()
{
    partitionCount = 0;
    m_sourceTree.EnableWindow(FALSE);
    ParsePartitionTable();
    m_pDrivePanel->ShowProgress();
    m_pDrivePanel->SetProgressPos(0);
    m_stopButton.EnableWindow(TRUE);
    m_stopButton.ShowWindow(SW_SHOW);
    for (CToolButton* pButton : {&m_nextButton, &m_backButton, &m_homeButton}) {
        pButton->EnableWindow(FALSE);
        pButton->ShowWindow(SW_HIDE);
    }
    m_pDrivePanel->ShowStatusText();
}

void CFirstView_HDD::EndSearchControls()
{
    m_sourceTree.EnableWindow(TRUE);
    m_pDrivePanel->HideProgress();
    m_pDrivePanel->HideStatusText();
    m_stopButton.EnableWindow(FALSE);
    m_stopButton.ShowWindow(SW_HIDE);
    for (CToolButton* pButton : {&m_nextButton, &m_backButton}) {
        pButton->EnableWindow(TRUE);
        pButton->ShowWindow(SW_SHOW);
    }
    m_homeButton.EnableWindow(TRUE);
}

BOOL CFirstView_HDD::StartSearchWorker(UINT elapse)
{
    m_pDrivePanel->SetStatusText(kPleaseWait);
    // The engine's stand-in would answer the Partition Type question itself: the view answers it.
    engineUi.driveStep = &m_driveStepUi;
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    if (!CScanWorkerControl::Start(PartitionSearchThread, this)) {
        EndSearchControls();
        return FALSE;
    }
    SetTimer(kWorkerTimer, elapse, NULL);
    return TRUE;
}

void CFirstView_HDD::OnNext()
{
    if (CScanWorkerControl::IsSearching())
        return;
    CMainFrame* pFrame = Frame();
    const int selected = pFrame != NULL ? pFrame->m_nSelectedSource : -1;
    const std::uint16_t kind = SourceState.sourceKind;
    const bool damagedVolume = kind == kSourceLogicalVolume && VolumeParams.rangeCount == 0;

    switch (ScanSelection.scanKind) {
    case kScanQuick:
        if (damagedVolume) {
            ShowError(kDamagedQuick);
            return;
        }
        if (selected < 0) {
            ShowError(kSelectDriveText);
            return;
        }
        if (kind == kSourceImageDevice) {
            pFrame->m_nSelectedSource = -1;
            StartSearchControls();
            ScanSelectionUi.modeSummary = kSummaryQuickImage;
            if (!StartSearchWorker(1000))
                return;
        }
        if (kind != kSourceLogicalVolume) {
            CallHook(PartitionPanelHooks.clearPartitionValues);
            CallHook(PartitionPanelHooks.setHint, CString(kPartitionHint));
            CallHook(PartitionPanelHooks.showPartitionTree, true);
            CallHook(PartitionPanelHooks.showSplitterPanes, true);
            CallHook(PartitionPanelHooks.setCaption, CString(kPartitionCaption));
            SourceState.sourceKind = kSourceNone;
        } else {
            CallHook(PartitionPanelHooks.setHint, CString(kLogicalHintScan));
            ScanSelectionUi.modeSummary = kSummaryQuickLogical;
            CallHook(PartitionPanelHooks.showVolumeInfo);
            CallHook(PartitionPanelHooks.setCaption, CString(kDriveCaption));
            CallHook(PartitionPanelHooks.showPartitionTree, false);
            CallHook(PartitionPanelHooks.showSplitterPanes, true);
            App()->SwitchView(kViewPartition);
        }
        CallHook(PartitionPanelHooks.showRangeControls, false);
        CallHook(PartitionPanelHooks.invalidatePanel);
        pFrame->m_flags.loadSnapshot = 0;
        WizardStepState.quick = 2;
        break;

    case kScanExtensive:
        pFrame->m_flags.loadSnapshot = 0;
        CallHook(PartitionPanelHooks.showPartitionInfo, 0, 0);
        if (damagedVolume) {
            ShowError(kDamagedExtensive);
            return;
        }
        if (selected < 0) {
            ShowError(kSelectDriveText);
            return;
        }
        if (kind == kSourceImageDevice) {
            StartSearchControls();
            CallHook(PartitionPanelHooks.showRangeControls, true);
            CallHook(PartitionPanelHooks.setHint, CString(kPartitionHintLower));
            ScanSelectionUi.modeSummary = kSummaryExtensiveImage;
            if (!StartSearchWorker(500))
                return;
        }
        if (kind != kSourceLogicalVolume) {
            CallHook(PartitionPanelHooks.showPartitionTree, true);
            CallHook(PartitionPanelHooks.showSplitterPanes, true);
            const std::uint32_t total = DriveTotalSectors(SourceState.deviceIndex);
            VolumeParams.scanFsCode = kFsNtfs;
            VolumeParams.rangeStart = 0;
            VolumeParams.driveIndex = 0;
            VolumeParams.rangeCount = total;
            VolumeParams.rangeEnd = total;
            CallHook(PartitionPanelHooks.showPartitionInfo, static_cast<int>(SourceState.deviceIndex), 0);
            CallHook(PartitionPanelHooks.setCaption, CString(kPartitionCaption));
            CallHook(PartitionPanelHooks.showRangeControls, true);
            CallHook(PartitionPanelHooks.invalidatePanel);
        } else {
            CallHook(PartitionPanelHooks.setHint, CString(kLogicalHintNext));
            CallHook(PartitionPanelHooks.showVolumeInfo);
            CallHook(PartitionPanelHooks.setCaption, CString(kDriveCaption));
            CallHook(PartitionPanelHooks.showPartitionTree, false);
            CallHook(PartitionPanelHooks.showSplitterPanes, false);
            CallHook(PartitionPanelHooks.showFileSystemChoiceOnly);
            ScanSelectionUi.modeSummary = kSummaryExtensiveLogical;
            App()->SwitchView(kViewPartition);
        }
        pFrame->m_nSelectedSource = -1;
        WizardStepState.extensive = 2;
        break;

    case kScanFileTrace:
    default:
        pFrame->m_flags.loadSnapshot = 0;
        if (damagedVolume) {
            ShowError(kDamagedTrace);
            return;
        }
        if (selected < 0) {
            ShowError(kSelectDriveText);
            return;
        }
        if (kind == kSourceImageDevice) {
            StartSearchControls();
            ScanSelectionUi.modeSummary = kSummaryTraceImage;
            if (!StartSearchWorker(1000))
                return;
        }
        if (kind != kSourceLogicalVolume) {
            CallHook(PartitionPanelHooks.showPartitionTree, true);
            CallHook(PartitionPanelHooks.showSplitterPanes, true);
            CallHook(PartitionPanelHooks.setHint, CString(kPartitionHintLower));
            CallHook(PartitionPanelHooks.setCaption, CString(kPartitionCaption));
            m_pDrivePanel->HideDetails();
            CallHook(PartitionPanelHooks.clearPartitionValues);
            SourceState.sourceKind = kSourceNone;
        } else {
            CallHook(PartitionPanelHooks.setHint, CString(kLogicalHintScan));
            ScanSelectionUi.modeSummary = kSummaryTraceLogical;
            CallHook(PartitionPanelHooks.setCaption, CString(kDriveCaption));
            CallHook(PartitionPanelHooks.showVolumeInfo);
            CallHook(PartitionPanelHooks.showPartitionTree, false);
            CallHook(PartitionPanelHooks.showSplitterPanes, false);
            App()->SwitchView(kViewPartition);
        }
        CallHook(PartitionPanelHooks.showRangeControls, false);
        CallHook(PartitionPanelHooks.invalidatePanel);
        pFrame->m_flags.loadSnapshot = 0;
        WizardStepState.fileTrace = 2;
        break;
    }
}

void CFirstView_HDD::OnTimer(UINT_PTR nIDEvent)
{
    if (!IsWorkerEndTick(nIDEvent))
        return;
    EndWorkerWatch();
    WizardNavigator::PartitionSearchEnded();
    CallHook(PartitionPanelHooks.invalidatePanel);
    if (ScanSelection.scanKind == kScanQuick && partitionCount == 0) {
        if (::HtmlMessageBox(m_hWnd, kNotFoundText, kProductTitle, MB_ICONINFORMATION) == IDOK) {
            // The way home is Home's: the step flags and lists go back to their start, so that the next
            // image starts the drive step afresh.
            WizardNavigator::Home();
            App()->RestartWizard();
        }
    }
}

void CFirstView_HDD::OnStop()
{
    CScanWorkerControl::AskStop(kStopQuestion);
}

void CFirstView_HDD::OnBack()
{
    if (CScanWorkerControl::IsSearching())
        return;
    WizardNavigator::Home();
}

void CFirstView_HDD::OnHome()
{
    OnBack();
}

void CFirstView_HDD::ShowForChoosing()
{
    EndSearchControls();
    m_pDrivePanel->SetProgressPos(0);
    m_homeButton.ShowWindow(SW_SHOW);
}

void CFirstView_HDD::Leave()
{
    if (auto* pResults = DYNAMIC_DOWNCAST(CThirdView_HDD, App()->GetView(kViewResults))) {
        CListCtrl* pList = pResults->FindResultList();
        if (pList != NULL && pList->GetSafeHwnd() != NULL) {
            for (int count = pResults->GetResultColumnCount(); count > 0; --count)
                pList->DeleteColumn(0);
        }
    }
    FreeScanLists();
    FreeFolderLists();
    FreePartitionLists();
    FreeTraceFoundList();
    FreeFileSignatureList();
    ResetResultsAndTempFiles();
    ResetResultsAndTempFiles();
    if (SourceState.driveHandle != kNoHandle) {
        PlatformCloseHandle(SourceState.driveHandle);
        SourceState.driveHandle = kNoHandle;
    }
    m_pDrivePanel->HideDetails();
    SourceState.sourceKind = kSourceNone;
    CScanWorkerControl::Release();
}

void CFirstView_HDD::InitDiskAccess(bool newImage)
{
    RecoverySettings.deletedPolicy = kDeletedInclude;
    RecoverySettings.duplicatePolicy = kDuplicateRename;
    RecoverySettings.sectorsPerRead = 100;
    RecoverySettings.retries = 3;
    if (newImage)
        m_sourceTree.DeleteAllItems();
    {
        CVirtualDrive drive;
        drive.Register();
    }
    for (int device = 0; device < DriveGeometryTable.deviceCount; ++device)
        m_sourceTree.AddPath(kTreePath);
    m_sourceTree.ExpandRoot();
    HTREEITEM hRoot = m_sourceTree.GetRootItem();
    HTREEITEM hGroup = hRoot != NULL ? m_sourceTree.GetChildItem(hRoot) : NULL;
    if (hGroup != NULL)
        m_sourceTree.Expand(hGroup, TVE_EXPAND);
    HTREEITEM hDevice = hGroup != NULL ? m_sourceTree.GetChildItem(hGroup) : NULL;
    if (hDevice != NULL)
        m_sourceTree.SelectItemAndNotify(hDevice);
}

void CFirstView_HDD::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB) {
        if (m_bIdleFocus || (!m_bNextFocus && !m_bBackFocus && !m_bTreeFocus) || m_bTreeFocus) {
            m_nextButton.SendMessage(BM_SETSTATE, 1, 0);
            m_bNextFocus = TRUE;
            m_bBackFocus = m_bTreeFocus = m_bIdleFocus = FALSE;
            SetFocus();
        } else if (m_bNextFocus) {
            m_backButton.SendMessage(BM_SETSTATE, 1, 0);
            m_nextButton.SendMessage(BM_SETSTATE, 0, 0);
            m_bBackFocus = TRUE;
            m_bNextFocus = FALSE;
        } else if (m_bBackFocus) {
            m_backButton.SendMessage(BM_SETSTATE, 0, 0);
            m_sourceTree.SetFocus();
            m_bTreeFocus = TRUE;
            m_bBackFocus = FALSE;
        }
    } else if (nChar == VK_RETURN) {
        if (m_nextButton.SendMessage(BM_GETSTATE, 0, 0) & BST_PUSHED)
            OnNext();
        else if (m_backButton.SendMessage(BM_GETSTATE, 0, 0) & BST_PUSHED)
            OnBack();
    }
    CWizardStepView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CFirstView_HDD::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_sourceTree.GetSelectedItem();
    CWizardStepView::OnLButtonDown(nFlags, point);
}

HBRUSH CFirstView_HDD::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd != NULL && pWnd->GetDlgCtrlID() == 170)
        pDC->SetTextColor(RGB(0, 0, 0));
    return ::GetSysColorBrush(COLOR_WINDOW);
}

void CFirstView_HDD::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CWizardStepView::OnShowWindow(bShow, nStatus);
    Invalidate();
    m_sourceTree.Invalidate();
}

LRESULT CFirstView_HDD::OnRunOnViewThread(WPARAM, LPARAM lParam)
{
    const auto* pCall = reinterpret_cast<const std::function<void()>*>(lParam);
    if (pCall != nullptr)
        (*pCall)();
    return 0;
}
