#include "main_frame.h"

#include <windowsx.h>

#include "command_bars.h"
#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "image_manager.h"
#include "main_frame_theme.h"
#include "message_dialogs.h"
#include "recovery_app.h"
#include "recovery_doc.h"
#include "resource.h"
#include "results_view.h"
#include "saving_dlg.h"
#include "scan_worker_control.h"
#include "web_addresses.h"
#include "wizard_control_resource_ids.h"
#include "wizard_state.h"

#include <iterator>

namespace {

constexpr wchar_t kAppTitle[] = L"Corvane VMDK Recovery";
constexpr wchar_t kCommandBarsProfile[] = L"CommandBars";
constexpr wchar_t kPlacementSection[] = L"Settings";
constexpr wchar_t kPlacementEntry[] = L"Window Position";
constexpr wchar_t kCloseQuestion[] = L"Are you sure, close the software?";
// How long the exit waits for a running scan to notice its stop request.
constexpr DWORD kExitWorkerWaitMs = 10000;
constexpr wchar_t kSnapshotAdvice[] = L"Highly recommended to save Snapshot to avoid performing the whole "
                                      L"scanning process of respective file again.\nDo you want to save "
                                      L"Snapshot? ";

// The menu bar along the top, stretched over the frame's width.
constexpr DWORD kMenuBarFlags = xtpFlagAlignTop | xtpFlagStretched;
// The toolbar neither docks elsewhere nor floats.
constexpr DWORD kToolBarFixedFlags = xtpFlagAlignAny | xtpFlagFloating;

constexpr UINT kIconCommands[] = {ID_RECOVERY_OPEN, ID_RECOVER_SELECTED, ID_SAVE_SNAPSHOT,
                                  ID_LOAD_SNAPSHOT, ID_FIND_FILES,       ID_RECOVERY_SETTINGS};
constexpr UINT kIconIds[] = {IDI_COMMAND_OPEN,          IDI_COMMAND_RECOVER, IDI_COMMAND_SAVE_SNAPSHOT,
                             IDI_COMMAND_LOAD_SNAPSHOT, IDI_COMMAND_FIND,    IDI_COMMAND_SETTINGS};

// Client rectangles of the banner, relative to the client's top right corner.
CRect BannerHoverRect(const CRect& client)
{
    return CRect(client.right - 380, client.top + 20, client.right - 5, client.top + 70);
}

CRect BannerClickRect(const CRect& client)
{
    return CRect(client.right - 245, client.top + 25, client.right - 5, client.top + 60);
}

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, CXTPFrameWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CMainFrame, CXTPFrameWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_GETMINMAXINFO()
    ON_COMMAND(ID_RECOVERY_OPEN, OnOpen)
    ON_COMMAND(ID_RECOVER_SELECTED, OnRecoverSelected)
    ON_COMMAND(ID_SAVE_SNAPSHOT, OnSaveSnapshot)
    ON_COMMAND(ID_LOAD_SNAPSHOT, OnLoadSnapshot)
    ON_COMMAND(ID_RECOVERY_EXIT, OnExit)
    ON_COMMAND(ID_VIEW_ICONS, OnViewIcons)
    ON_COMMAND(ID_VIEW_LIST_STYLE, OnViewList)
    ON_COMMAND(ID_VIEW_DETAILS_STYLE, OnViewDetails)
    ON_COMMAND(ID_FIND_FILES, OnFindFiles)
    ON_COMMAND(ID_FILE_FILTERS, OnFileFilters)
    ON_COMMAND(ID_RECOVERY_SETTINGS, OnSettings)
    ON_COMMAND(ID_DRIVE_INFORMATION, OnDriveInformation)
    ON_COMMAND(ID_HELP, OnHelp)
    ON_COMMAND(ID_IDLE_COMMAND_1, OnIdleCommand)
    ON_COMMAND(ID_IDLE_COMMAND_2, OnIdleCommand)
    ON_COMMAND(ID_IDLE_COMMAND_3, OnIdleCommand)
    ON_UPDATE_COMMAND_UI(ID_RECOVERY_OPEN, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_RECOVER_SELECTED, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_SAVE_SNAPSHOT, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_LOAD_SNAPSHOT, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ICONS, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_VIEW_LIST_STYLE, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_VIEW_DETAILS_STYLE, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_FIND_FILES, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_FILE_FILTERS, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_RECOVERY_SETTINGS, OnUpdateFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_DRIVE_INFORMATION, OnUpdateFrameCommand)
END_MESSAGE_MAP()
// clang-format on

CMainFrame::CMainFrame()
{
    m_hHandCursor = AfxGetApp()->LoadCursor(IDC_HOVER_BUTTON_HOVER);
}

CMainFrame::~CMainFrame()
{
    if (engineUi.shell == &m_shellUi)
        engineUi.shell = nullptr;
    if (engineUi.messages == &m_messageUi)
        engineUi.messages = nullptr;
    if (SourceState.imageSource == m_pImageSource)
        SourceState.imageSource = nullptr;
    if (SourceState.vmdkExtent == m_pVmdkExtent)
        SourceState.vmdkExtent = nullptr;
    delete m_pImageSource;
    delete m_pVmdkExtent;
    if (m_hHandCursor != NULL)
        ::DestroyCursor(m_hHandCursor);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CXTPFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), NULL,
                                       AfxGetApp()->LoadIcon(IDR_MAINFRAME));
    cs.lpszName = kAppTitle;
    cs.style &= ~FWS_ADDTOTITLE;
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1) {
        AfxMessageBox(L"OnCreate failed");
        return -1;
    }
    SetWindowText(kAppTitle);

    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_LINK, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                      ID_INDICATOR_SCRL};
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM | CBRS_BORDER_TOP,
                               AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(indicators, static_cast<int>(std::size(indicators))))
        return -1;
    m_wndStatusBar.SetPaneInfo(1, ID_INDICATOR_LINK, SBPS_OWNERDRAW | SBPS_STRETCH | SBPS_NOBORDERS, 100);
    m_wndStatusBar.SetPaneText(1, kContactSupportText);

    if (CXTPPaintManager::Instance() == NULL)
        CXTPPaintManager::SetTheme(0);
    if (!CreateCommandBars())
        return -1;
    EnsureImageReaders();
    WriteExcelBrowserFlags();
    ShowWindow(SW_SHOWMAXIMIZED);
    return 0;
}

BOOL CMainFrame::CreateCommandBars()
{
    m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    if (m_pCommandBars == NULL)
        return FALSE;
    m_pCommandBars->AttachFrame(this);
    m_pCommandBars->CreateDockBars();

    CXTPMenuBar* pMenuBar = m_pCommandBars->CreateMenuBar(L"Menu Bar", IDR_MAIN_MENU);
    if (pMenuBar == NULL)
        return FALSE;
    pMenuBar->SetFlags(kMenuBarFlags);
    CXTPToolBar* pToolBar = m_pCommandBars->Add(L"Standard", xtpBarTop);
    if (pToolBar == NULL)
        return FALSE;
    // Stretched over the frame's width, so that the theme's banner stands at the frame's right end and
    // not over the buttons.
    pToolBar->ModifyFlags(xtpFlagStretched, kToolBarFixedFlags);
    if (!pToolBar->LoadToolBar(IDR_MAINFRAME))
        return FALSE;

    m_commandIcons.Create(32, 32, ILC_COLOR32 | ILC_MASK, 0, 1);
    for (UINT iconId : kIconIds) {
        HICON icon = static_cast<HICON>(
            ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 32, 32, 0));
        m_commandIcons.Add(icon);
        if (icon != NULL)
            ::DestroyIcon(icon);
    }
    m_pCommandBars->GetImageManager()->AddIconsFromImageList(
        m_commandIcons.GetSafeHandle(), kIconCommands, static_cast<int>(std::size(kIconCommands)), 32, 32);
    pToolBar->SetShowTextBelowIcons(TRUE);

    CXTPPaintManager::InstallCustomTheme(new CMainFrameTheme(IDB_MAIN_BANNER));
    const UINT hidden[] = {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW};
    m_pCommandBars->HideCommands(hidden, 2);

    m_pCommandBars->LoadOptions(kCommandBarsProfile);
    m_pCommandBars->LoadLayout(kCommandBarsProfile, FALSE);
    m_pCommandBars->GetShortcutManager()->LoadShortcuts(kCommandBarsProfile);
    return TRUE;
}

void CMainFrame::WriteExcelBrowserFlags()
{
    // Excel workbooks open in Excel rather than inside the preview's browser. Keys that do not exist or
    // may not be written are left alone.
    const struct
    {
        const wchar_t* key;
        const wchar_t* value;
        DWORD data;
    } values[] = {{L"SOFTWARE\\Classes\\Excel.Sheet.8", L"EditFlags", 0x00010000},
                  {L"SOFTWARE\\Classes\\Excel.Sheet.8", L"BrowserFlags", 0},
                  {L"SOFTWARE\\Classes\\Excel.Sheet.12", L"BrowserFlags", 0}};
    for (const auto& entry : values) {
        HKEY key = NULL;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, entry.key, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            continue;
        ::RegSetValueExW(key, entry.value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&entry.data),
                         sizeof entry.data);
        ::RegCloseKey(key);
    }
}

void CMainFrame::AttachEngineSeams()
{
    EnsureImageReaders();
    engineUi.messages = &m_messageUi;
    engineUi.shell = &m_shellUi;
}

BOOL CMainFrame::HasImageReader(int kind) const
{
    return kind == 2 ? m_pVmdkExtent != NULL : m_pImageSource != NULL;
}

CImageSource* CMainFrame::EnsureImageReaders()
{
    if (m_pVmdkExtent == NULL)
        m_pVmdkExtent = new CVmdkSparseExtent;
    if (m_pImageSource == NULL)
        m_pImageSource = new CImageSource;
    SourceState.vmdkExtent = m_pVmdkExtent;
    SourceState.imageSource = m_pImageSource;
    return m_pImageSource;
}

void CMainFrame::RestorePlacementAndShow()
{
    if (GetSafeHwnd() != NULL)
        m_placement.Restore(this, kPlacementEntry, kPlacementSection);
    ShowWindow(SW_SHOW);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    // Only the frame's own windows: a box over the banner's corner is no click on the banner.
    const bool ownWindow = pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd);
    if ((pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN) && ownWindow) {
        CRect client;
        GetClientRect(&client);
        CPoint point(GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam));
        ::MapWindowPoints(pMsg->hwnd, m_hWnd, &point, 1);
        if (pMsg->message == WM_MOUSEMOVE && BannerHoverRect(client).PtInRect(point) && m_hHandCursor != NULL)
            ::SetCursor(m_hHandCursor);
        if (pMsg->message == WM_LBUTTONDOWN && BannerClickRect(client).PtInRect(point))
            ::ShellExecuteW(NULL, L"open", kProductPageUrl, NULL, NULL, SW_SHOWMAXIMIZED);
    }
    return CXTPFrameWnd::PreTranslateMessage(pMsg);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    CXTPFrameWnd::OnSize(nType, cx, cy);
    if (IsWindowVisible() && m_wndStatusBar.GetSafeHwnd() != NULL) {
        CRect window;
        GetWindowRect(&window);
        m_wndStatusBar.FitToFrameWidth(window.Width());
    }
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CXTPFrameWnd::OnGetMinMaxInfo(lpMMI);
    lpMMI->ptMinTrackSize.x = kMainFrameMinWidth;
    lpMMI->ptMinTrackSize.y = kMainFrameMinHeight;
}

void CMainFrame::OnClose()
{
    // A save that runs behind the saving dialog holds still while the questions stand.
    CRunningSavePause savePause;
    if (ScanFinishedAndUnsaved()) {
        // The question is asked as a question, whatever the last message was.
        MessageBoxRequest.Set(kSnapshotAdvice, kMessageKindQuestion);
        CQuestionDlg question(this);
        if (question.DoModal() == kQuestionAnswerYes)
            OnSaveSnapshot();
    }
    if (IsIconic()) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        GetWindowPlacement(&placement);
        placement.showCmd = SW_RESTORE;
        SetWindowPlacement(&placement);
    }
    if (!ConfirmExit())
        return;
    CXTPFrameWnd::OnClose();
}

void CMainFrame::SaveState()
{
    if (m_pCommandBars != NULL) {
        m_pCommandBars->SaveOptions(kCommandBarsProfile);
        m_pCommandBars->SaveLayout(kCommandBarsProfile, TRUE);
        m_pCommandBars->GetShortcutManager()->SaveShortcuts(kCommandBarsProfile);
    }
    m_placement.Save(this, kPlacementEntry, kPlacementSection);
}

BOOL CMainFrame::ConfirmExit()
{
    ResetResultsAndTempFiles();
    if (CRecoveryApp* pApp = RecoveryApp()) {
        if (auto* pResults = dynamic_cast<CThirdView_HDD*>(pApp->GetView(kViewResults)))
            pResults->ResultList().TempPreviewFiles.clear();
    }
    MessageBoxRequest.Set(kCloseQuestion, kMessageKindQuestion);
    CQuestionDlg question(this);
    if (question.DoModal() != kQuestionAnswerYes)
        return FALSE;
    // A save is ended as Stop ends it, so that the file it was writing does not stay cut short.
    if (CSavingDlg* pSaving = CSavingDlg::Running())
        pSaving->StopAndWait();
    // A scan may still walk the lists: it is asked to stop and its end awaited before they are freed. One
    // that does not end in time keeps them; the process's end takes them all the same.
    const BOOL bWorkerEnded = CScanWorkerControl::StopAndWait(kExitWorkerWaitMs);
    SaveState();
    if (bWorkerEnded) {
        FreeScanLists();
        FreeFolderLists();
        FreePartitionLists();
        FreeTraceFoundList();
        FreeFileSignatureList();
    }
    m_pfnEndProcess();
    return TRUE;
}

void CMainFrame::EndOwnProcess()
{
    HANDLE self = ::OpenProcess(PROCESS_TERMINATE, FALSE, ::GetCurrentProcessId());
    if (self != NULL) {
        ::TerminateProcess(self, 0);
        ::CloseHandle(self);
    }
}
