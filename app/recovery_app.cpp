#include "recovery_app.h"

#include <afxdao.h>
#include <afxole.h>

#include "about_dlg.h"
#include "command_line_snapshot.h"
#include "drive_step_view.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "file_type_access.h"
#include "home_view.h"
#include "main_frame.h"
#include "main_preview_view.h"
#include "message_dialogs.h"
#include "recovery_doc.h"
#include "resource.h"
#include "results_step_host.h"
#include "results_view.h"
#include "wizard_views.h"

#include <algorithm>
#include <iterator>

DWORD SingleInstanceMutexError = 0;

CString& ProgramFolder()
{
    static CString folder;
    return folder;
}

namespace {

constexpr wchar_t kAppTitle[] = L"Corvane VMDK Recovery";
constexpr wchar_t kAnotherInstanceText[] = L"Another Instance of Software is already running.";
constexpr wchar_t kOleFailedText[] =
    L"Corvane VMDK Recovery could not initialise the system's OLE libraries and cannot start.";
constexpr wchar_t kInvalidFileText[] = L"Invalid File.";

// Window ids of views 1 to 4 while they are hidden; the shown view carries AFX_IDW_PANE_FIRST.
constexpr UINT kHiddenViewIds[] = {ID_VIEW_PANE_DRIVE, ID_VIEW_PANE_PARTITION, ID_VIEW_PANE_FILE_SYSTEM,
                                   ID_VIEW_PANE_RESULTS};

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CRecoveryApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
END_MESSAGE_MAP()
// clang-format on

CRecoveryApp::CRecoveryApp() : CWinApp(kAppTitle) {}

CRecoveryApp* RecoveryApp()
{
    return dynamic_cast<CRecoveryApp*>(AfxGetApp());
}

CMainFrame* CRecoveryApp::GetMainFrame() const
{
    return dynamic_cast<CMainFrame*>(m_pMainWnd);
}

BOOL CRecoveryApp::InitInstance()
{
    if (SingleInstanceMutexError == ERROR_ALREADY_EXISTS) {
        MessageBoxRequest.Set(kAnotherInstanceText, kMessageKindInformation);
        CMessageDlg dialog;
        dialog.DoModal();
        return FALSE;
    }
    SetRegistryKey(kAppTitle);

    AfxEnableControlContainer();
    if (!AfxOleInit()) {
        AfxMessageBox(kOleFailedText);
        return FALSE;
    }
    AfxDaoInit();
    Enable3dControls();
    if (RunEmbedded() || RunAutomated())
        COleObjectFactory::RegisterAll();
    else
        COleObjectFactory::UpdateRegistryAll();

    ProgramFolder() = ModulePath();
    const int lastSlash = ProgramFolder().ReverseFind(L'\\');
    ProgramFolder() = ProgramFolder().Left(lastSlash + 1);
    RegisterSnapshotDocumentType();

    LoadStdProfileSettings(4);
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CEx_StyleDoc),
                                          RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CEx_StyleView)));
    EnableShellOpen();
    RegisterShellFileTypes(TRUE);

    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (!ProcessShellCommand(commandLine))
        return FALSE;

    CMainFrame* pFrame = GetMainFrame();
    if (pFrame == NULL)
        return FALSE;
    pFrame->m_pHomeView = pFrame->GetActiveView();
    m_nCurrentView = kViewHome;
    m_pViews[kViewHome] = pFrame->GetActiveView();
    if (!CreateWizardViews())
        return FALSE;
    pFrame->AttachEngineSeams();

    ShowFrameSequence();
    if (CommandLineSnapshotPath().IsEmpty()) {
        OpenRecentFile();
        return TRUE;
    }
    LoadCommandLineSnapshot();
    return TRUE;
}

CString CRecoveryApp::ModulePath() const
{
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameW(NULL, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? CString(path) : CString();
}

void CRecoveryApp::RegisterSnapshotDocumentType()
{
    const CString module = ModulePath();
    CGCFileTypeAccess access;
    access.SetExtension(L"vqdx");
    access.SetShellOpenCommand(module + L" \"%0\"");
    access.SetDocumentClassName(L"Corvane.Document");
    access.SetDefaultIcon(module + L",0");
    access.RegisterSetting();
}

BOOL CRecoveryApp::CreateWizardViews()
{
    CMainFrame* pFrame = GetMainFrame();
    CCreateContext context;
    context.m_pCurrentDoc = pFrame->GetActiveDocument();
    CRuntimeClass* const classes[] = {RUNTIME_CLASS(CFirstView_HDD), RUNTIME_CLASS(CSecondView_HDD),
                                      RUNTIME_CLASS(CFileSystemView), RUNTIME_CLASS(CThirdView_HDD)};
    for (int i = 0; i < 4; ++i) {
        auto* pView = static_cast<CView*>(classes[i]->CreateObject());
        if (pView == NULL || !pView->Create(NULL, NULL, WS_CHILD | WS_BORDER, CRect(0, 0, 0, 0), pFrame,
                                            kHiddenViewIds[i], &context))
            return FALSE;
        m_pViews[i + 1] = pView;
    }
    if (auto* pResults = dynamic_cast<CThirdView_HDD*>(m_pViews[kViewResults]))
        pResults->SetHost(&ApplicationResultsHost());
    for (UINT i = 1; i < kWizardViewCount; ++i)
        m_pViews[i]->OnInitialUpdate();
    return TRUE;
}

void CRecoveryApp::ShowFrameSequence()
{
    CMainFrame* pFrame = GetMainFrame();
    pFrame->ShowWindow(SW_HIDE);
    pFrame->ShowWindow(SW_MINIMIZE);
    pFrame->ShowWindow(SW_SHOWNORMAL);
    // Normal is the restored size, also after the maximised start: a window minimised from maximised
    // comes back maximised on some systems, and may be maximised again later by the late notice of its
    // minimising unless its normal placement is set once more.
    if (pFrame->IsZoomed())
        pFrame->ShowWindow(SW_RESTORE);
    pFrame->ShowWindow(SW_SHOW);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    pFrame->GetWindowPlacement(&placement);
    placement.flags &= ~WPF_RESTORETOMAXIMIZED;
    pFrame->SetWindowPlacement(&placement);
}

CView* CRecoveryApp::SwitchView(UINT index)
{
    CMainFrame* pFrame = GetMainFrame();
    CView* pNew = GetView(index);
    CView* pOld = pFrame != NULL ? pFrame->GetActiveView() : NULL;
    // After a preview the frame's active view is the preview pane inside the results step: the step
    // itself is the view being left, and only the steps trade their window IDs.
    if (pOld != NULL && std::find(std::begin(m_pViews), std::end(m_pViews), pOld) == std::end(m_pViews))
        pOld = GetView(m_nCurrentView);
    if (pOld == NULL || pNew == NULL || pNew == pOld)
        return pOld;
    m_nCurrentView = index;
    ++m_nSwitchCount;
    const int oldId = pOld->GetDlgCtrlID();
    pOld->SetDlgCtrlID(pNew->GetDlgCtrlID());
    pNew->SetDlgCtrlID(oldId);
    pOld->ShowWindow(SW_HIDE);
    pNew->ShowWindow(SW_SHOW);
    pFrame->SetActiveView(pNew, TRUE);
    pFrame->RecalcLayout();
    pNew->Invalidate(TRUE);
    return pOld;
}

void CRecoveryApp::ReadRecentFile(CString& path)
{
    path = GetProfileString(L"Most Recent Check Book File", L"File");
}

void CRecoveryApp::OpenRecentFile()
{
    CString recent;
    ReadRecentFile(recent);
    if (!recent.IsEmpty())
        OpenDocumentFile(recent);
}

CString CRecoveryApp::CommandLineSnapshotPath() const
{
    return CString(CommandLineToSnapshotPath(m_lpCmdLine != NULL ? m_lpCmdLine : L"").c_str());
}

bool CRecoveryApp::LoadCommandLineSnapshot()
{
    CMainFrame* pFrame = GetMainFrame();
    const CString path = CommandLineSnapshotPath();
    std::uint32_t scanKind = ScanSelection.scanKind;
    switch (ReadSnapshotModeLetter(static_cast<LPCWSTR>(path), scanKind)) {
    case SnapshotLetter::Unreadable:
        break;
    case SnapshotLetter::Known:
        ScanSelection.scanKind = scanKind;
        break;
    case SnapshotLetter::Unknown: {
        MessageBoxRequest.Set(kInvalidFileText, kMessageKindQuestion);
        CMessageDlg dialog(pFrame);
        dialog.DoModal();
        pFrame->RestorePlacementAndShow();
        return false;
    }
    }
    pFrame->m_flags.results = 1;
    if (auto* pResults = dynamic_cast<CThirdView_HDD*>(GetView(kViewResults)))
        pResults->SetResultColumns(SnapshotResultColumns(ScanSelection.scanKind));
    ReadSnapshot(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(path)), ScanSelection.scanKind);
    return true;
}

BOOL CRecoveryApp::RestartWizard()
{
    SwitchView(kViewHome);
    ShowFrameSequence();
    if (!CommandLineSnapshotPath().IsEmpty())
        LoadCommandLineSnapshot();
    else
        OpenRecentFile();
    GetMainFrame()->RestorePlacementAndShow();
    return TRUE;
}

LRESULT CRecoveryApp::ProcessWndProcException(CException* e, const MSG* pMsg)
{
    return CMainPreviewView::TakeWndProcException(e, pMsg) ? 0 : CWinApp::ProcessWndProcException(e, pMsg);
}

void CRecoveryApp::OnAppAbout()
{
    CAboutDlg dialog;
    dialog.DoModal();
}
