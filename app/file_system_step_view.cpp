#include "file_system_step_view.h"

#include "caption_columns.h"
#include "drive_info_dlg.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/scans/cut_image_note.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "file_system_panel.h"
#include "home_view.h"
#include "main_frame.h"
#include "message_dialogs.h"
#include "partition_panel.h"
#include "partition_step_ids.h"
#include "partition_step_view.h"
#include "recovery_app.h"
#include "scan_worker_control.h"
#include "u16_text.h"
#include "wizard_navigator.h"
#include "wizard_state.h"

namespace {

constexpr UINT kFileSystemTreeId = 156;
constexpr UINT kFileSystemSplitterId = 157;
constexpr UINT kNextCommand = 159;
constexpr UINT kBackCommand = 160;
constexpr UINT kStopCommand = 132;
constexpr UINT kHomeCommand = 61481;

constexpr wchar_t kChooseHint[] = L"\nPlease select a file system from the left panel and click [Next] to "
                                  L"continue with recovery. \r\nCheck "
                                  L"all the file systems one by one for the required data.";

UINT FileSystemWorker(LPVOID)
{
    return FileSystemScanThread();
}

CMainFrame* Frame()
{
    return RecoveryApp() != NULL ? RecoveryApp()->GetMainFrame() : NULL;
}

CString Unsigned(std::uint32_t value)
{
    CString text;
    text.Format(L"%u", value);
    return text;
}

} // namespace

CString FileSystemSizeText(std::uint32_t start, std::uint32_t end)
{
    if (end == 0 || end < start)
        return L"Unknown";
    CString text;
    text.Format(L"%u MB", (end - start) / 2048);
    return text;
}

// ---- The tree -----------------------------------------------------------------------------------------

// clang-format off
BEGIN_MESSAGE_MAP(CPartitionTreeCtrl, CTreeCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYUP()
END_MESSAGE_MAP()
// clang-format on

TreeItemValue CPartitionTreeCtrl::InsertItemWithIcon(const char16_t* text, TreeItemValue parent)
{
    const HTREEITEM parentItem = parent == kTreeTop ? TVI_ROOT : reinterpret_cast<HTREEITEM>(parent);
    const CString wanted(reinterpret_cast<LPCWSTR>(text));
    for (HTREEITEM item = CTreeCtrl::GetChildItem(parentItem); item != NULL;
         item = GetNextSiblingItem(item)) {
        if (GetItemText(item) == wanted)
            return reinterpret_cast<TreeItemValue>(item);
    }
    return reinterpret_cast<TreeItemValue>(InsertItem(wanted, parentItem, TVI_LAST));
}

TreeItemValue CPartitionTreeCtrl::AddItem(const char16_t* label, TreeItemValue parent)
{
    const HTREEITEM parentItem = parent == kTreeTop ? TVI_ROOT : reinterpret_cast<HTREEITEM>(parent);
    return reinterpret_cast<TreeItemValue>(
        InsertItem(reinterpret_cast<LPCWSTR>(label), parentItem, TVI_LAST));
}

TreeItemValue CPartitionTreeCtrl::GetRootItem()
{
    return reinterpret_cast<TreeItemValue>(CTreeCtrl::GetRootItem());
}

void CPartitionTreeCtrl::Expand(TreeItemValue item)
{
    if (item != kTreeTop)
        CTreeCtrl::Expand(reinterpret_cast<HTREEITEM>(item), TVE_EXPAND);
}

void CPartitionTreeCtrl::OnSelectFileSystem(HTREEITEM hItem)
{
    SelectedSourceIndex() = 1;
    if (m_pPanel == NULL || hItem == NULL)
        return;
    const CString text = GetItemText(hItem);
    if (text.IsEmpty() || text == reinterpret_cast<LPCWSTR>(kFileSystemRootText)) {
        if (VolumeParams.scanFsCode == kFsNtfs)
            m_pPanel->SetNtfsCaptions();
        else if (VolumeParams.scanFsCode == kFsFat16 || VolumeParams.scanFsCode == kFsFat32)
            m_pPanel->SetFatCaptions();
        return;
    }
    if (!ChooseFoundVolume(reinterpret_cast<TreeItemValue>(hItem)))
        return;
    const std::uint32_t start = VolumeStartSector();
    const CString size = FileSystemSizeText(start, VolumeParams.endSector);
    if (VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32) {
        m_pPanel->ShowFatInfo(Unsigned(start), Unsigned(VolumeParams.sectorsPerCluster), size);
    } else if (VolumeParams.fsCode == kFsNtfs) {
        m_pPanel->ShowNtfsInfo(Unsigned(start), Unsigned(VolumeParams.sectorsPerCluster),
                               Unsigned(VolumeParams.mftStart), Unsigned(VolumeParams.mftMirrStart), size);
    }
}

void CPartitionTreeCtrl::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    UINT flags = 0;
    const HTREEITEM item = HitTest(point, &flags);
    if (item == NULL)
        return;
    SelectItem(item);
    SetFocus();
    if ((flags & (TVHT_ONITEMLABEL | TVHT_ONITEMICON | TVHT_ONITEMRIGHT)) == 0)
        CTreeCtrl::Expand(item, TVE_TOGGLE);
    else if (!GetItemText(item).IsEmpty())
        OnSelectFileSystem(item);
}

void CPartitionTreeCtrl::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CTreeCtrl::OnKeyUp(nChar, nRepCnt, nFlags);
    const HTREEITEM item = GetSelectedItem();
    if (item == NULL)
        return;
    SelectItem(item);
    SetFocus();
    if (!GetItemText(item).IsEmpty())
        OnSelectFileSystem(item);
}

// ---- The view -----------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CFileSystemView, CWizardStepView)

// clang-format off
BEGIN_MESSAGE_MAP(CFileSystemView, CWizardStepView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_COMMAND(kNextCommand, OnNext)
    ON_COMMAND(kBackCommand, OnBack)
    ON_COMMAND(kStopCommand, OnStop)
    ON_COMMAND(kHomeCommand, OnHome)
END_MESSAGE_MAP()
// clang-format on

CFileSystemView::CFileSystemView() = default;

CFileSystemView::~CFileSystemView() = default;

int CFileSystemView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWizardStepView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CreateSummaryFont(m_viewFont);
    const CRect placeholder(0, 0, 100, 100);
    m_tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                      TVS_SHOWSELALWAYS,
                  placeholder, this, kFileSystemTreeId);
    m_pPanel = static_cast<CFileSystemForm*>(RUNTIME_CLASS(CFileSystemForm)->CreateObject());
    CCreateContext context;
    context.m_pCurrentDoc = GetDocument();
    if (m_pPanel == NULL || !m_pPanel->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, placeholder, this,
                                              AFX_IDW_PANE_FIRST + 2, &context))
        return -1;
    m_pPanel->m_pScanButton = &m_stopButton;
    m_tree.m_pPanel = m_pPanel;
    m_splitter.Create(WS_CHILD | WS_VISIBLE | CSplitterBar::kVerticalBar, this, &m_tree, m_pPanel,
                      kFileSystemSplitterId, placeholder, 90, 170);
    CreateStepButtons(
        {
            {&m_nextButton, kNextCommand, 321, 318, L"Next"},
            {&m_backButton, kBackCommand, 319, 320, L"Back"},
            {&m_stopButton, kStopCommand, 324, 323, L"Stop"},
            {&m_homeButton, kHomeCommand, 268, 317, L"Home"},
        },
        WS_CHILD | BS_OWNERDRAW | WS_TABSTOP | WS_DISABLED, true);
    return 0;
}

void CFileSystemView::OnDestroy()
{
    if (engineUi.partitionTree == &m_tree)
        engineUi.partitionTree = nullptr;
    if (engineUi.fileSystemStep == m_pPanel)
        engineUi.fileSystemStep = nullptr;
    CWizardStepView::OnDestroy();
}

CWizardStepView::StepRow CFileSystemView::GetStepRow()
{
    return {&m_nextButton, &m_stopButton, &m_backButton, &m_homeButton, &m_splitter};
}

void CFileSystemView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    const bool busy = ScanThreadControl.running != 0 && ScanThreadControl.done == 0;
    int leftWidth = 0;
    int rightX = 0;
    DrawStepHeader(*pDC, client, busy ? IDB_STEP_HEADER_SCANNING : IDB_FILE_SYSTEM_HEADER, leftWidth, rightX);
    CFont* pOldFont = pDC->SelectObject(&m_viewFont);
    pDC->SetBkMode(TRANSPARENT);
    CRect summary(25, client.bottom - 40, 420, client.bottom);
    DrawCaptionColumns(pDC, summary, ScanSelectionUi.modeSummary);
    pDC->SelectObject(pOldFont);
}

void CFileSystemView::ShowStepButtons(BOOL bShow)
{
    for (CToolButton* button : {&m_nextButton, &m_backButton, &m_homeButton}) {
        button->EnableWindow(bShow);
        button->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    }
}

void CFileSystemView::PrepareForScan()
{
    m_tree.DeleteAllItems();
    engineUi.partitionTree = &m_tree;
    engineUi.fileSystemStep = m_pPanel;
    if (VolumeParams.scanFsCode == kFsNtfs)
        m_pPanel->SetNtfsCaptions();
    else
        m_pPanel->SetFatCaptions();
    m_pPanel->SetHintText(kChooseHint);
    m_pPanel->HideStatusText();
    m_pPanel->SetProgressPos(0);
    ShowStepButtons(TRUE);
    m_stopButton.EnableWindow(FALSE);
    m_stopButton.ShowWindow(SW_HIDE);
    m_tree.EnableWindow(TRUE);
}

void CFileSystemView::OnNext()
{
    if (m_bScanning)
        return;
    if (SelectedSourceIndex() <= 0) {
        MessageBoxRequest.Set(kChooseFileSystemText, kMessageKindInformation);
        CMessageDlg dialog(this);
        dialog.DoModal();
        return;
    }
    FreeScanLists();
    FreeFolderLists();
    if (CMainFrame* pFrame = Frame()) {
        pFrame->m_nDriveStepCurrent = 0;
        pFrame->m_nPartitionStepCurrent = 1;
        pFrame->m_flags.results = 0;
        pFrame->m_flags.extensiveResults = 0;
        pFrame->m_nPartitionSelection = 0;
    }
    ShowBusy();

    engineUi.fileSystemStep = m_pPanel;
    CScanWorkerControl::Release();
    m_bScanning = CScanWorkerControl::Start(FileSystemWorker, this);
    // No worker, no watch: a tick with nothing to watch would take the step to results of nothing.
    if (!m_bScanning) {
        ShowForChoosing();
        return;
    }
    SetTimer(kWorkerTimer, 1000, NULL);
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    WizardStepState.extensive = 4;
    WizardStepState.resultsReady = kResultsReady;
}

void CFileSystemView::OnTimer(UINT_PTR nIDEvent)
{
    if (!IsWorkerEndTick(nIDEvent))
        return;
    EndWorkerWatch();
    m_bScanning = FALSE;
    WizardNavigator::ShowResults(kScanExtensive);
    // The sector scan before this step read the volume's range; what it met past the image file's end
    // is told here, once the results show.
    const std::u16string cut = CutImageScanText(false);
    if (!cut.empty()) {
        MessageBoxRequest.Set(ToCString(cut), kMessageKindInformation);
        CMessageDlg dialog(this);
        dialog.DoModal();
    }
}

void CFileSystemView::OnStop()
{
    // The worker runs on while the question is open; Yes is the stop request it polls.
    if (!CScanWorkerControl::AskStop(kStopFileSystemQuestion))
        return;
    m_pPanel->HideProgress();
    m_stopButton.EnableWindow(FALSE);
    m_stopButton.ShowWindow(SW_HIDE);
    m_pPanel->HideStatusText();
    if (CMainFrame* pFrame = Frame()) {
        pFrame->m_nDriveStepCurrent = 0;
        pFrame->m_nPartitionStepCurrent = 0;
        pFrame->m_flags.results = 1;
        pFrame->m_flags.extensiveResults = 0;
    }
}

void CFileSystemView::OnBack()
{
    if (m_bScanning)
        return;
    WizardNavigator::BackToPartitionStep();
}

void CFileSystemView::Leave()
{
    if (!m_bScanning)
        KillTimer(kWorkerTimer);
    m_tree.DeleteAllItems();
    m_pPanel->ClearInfo();
    ResetResultsAndTempFiles();
    ResetResultsAndTempFiles();
    FreeScanLists();
    FreeFolderLists();
    FreePartitionLists();
    FreeTraceFoundList();
    FreeFileSignatureList();
    ShowForChoosing();
}

void CFileSystemView::ShowForChoosing()
{
    m_pPanel->SetStatusText(u"");
    m_pPanel->HideStatusText();
    m_pPanel->SetProgressPos(0);
    m_pPanel->HideProgress();
    m_stopButton.EnableWindow(FALSE);
    m_stopButton.ShowWindow(SW_HIDE);
    ShowStepButtons(TRUE);
    m_tree.EnableWindow(TRUE);
    Invalidate();
}

void CFileSystemView::ShowBusy()
{
    m_pPanel->ShowProgress();
    m_pPanel->ShowStatusText();
    m_stopButton.EnableWindow(TRUE);
    m_stopButton.ShowWindow(SW_SHOW);
    ShowStepButtons(FALSE);
    m_tree.EnableWindow(FALSE);
}

void CFileSystemView::OnHome()
{
    if (m_bScanning)
        return;
    WizardNavigator::Home();
}
