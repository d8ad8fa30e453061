// CWinApp's start-up services: the command line and what it asks for, the recent-file list and its
// menu commands, and the 3D-controls call that older programs make.
#include <afxadv.h>
#include <afxwin.h>

// clang-format off
BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()
// clang-format on

namespace {

const wchar_t kRecentFileSection[] = L"Recent File List";
const wchar_t kRecentFileEntry[] = L"File%d";
const UINT kMaxRecentFiles = ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1;

// Whether the command line holds the flag (after '/' or '-', any case).
bool HasFlag(LPCTSTR lpszCmdLine, LPCTSTR lpszFlag)
{
    for (const CString& arg : AfxSplitCommandLine(lpszCmdLine)) {
        if ((arg.Left(1) == L"/" || arg.Left(1) == L"-") && arg.Mid(1).CompareNoCase(lpszFlag) == 0)
            return true;
    }
    return false;
}

} // namespace

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    const std::vector<CString> args = AfxSplitCommandLine(m_lpCmdLine);
    for (size_t i = 0; i < args.size(); ++i) {
        const CString& arg = args[i];
        const BOOL bFlag = !arg.IsEmpty() && (arg[0] == L'/' || arg[0] == L'-');
        const BOOL bLast = i + 1 == args.size();
        rCmdInfo.ParseParam(bFlag ? arg.GetString() + 1 : arg.GetString(), bFlag, bLast);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    BOOL bResult = TRUE;
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
    case CCommandLineInfo::FileDDE:
        // A program's own File New handler comes first.
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, NULL, NULL))
            OnFileNew();
        bResult = m_pMainWnd != NULL;
        break;
    case CCommandLineInfo::FileOpen:
        bResult = OpenDocumentFile(rCmdInfo.m_strFileName) != NULL;
        break;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo: {
        // The document is printed without being shown, and the program ends afterwards.
        m_nCmdShow = SW_HIDE;
        CCommandLineInfo* pOldInfo = m_pCmdInfo;
        m_pCmdInfo = &rCmdInfo;
        if (OpenDocumentFile(rCmdInfo.m_strFileName) != NULL && m_pMainWnd != NULL)
            m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        m_pCmdInfo = pOldInfo;
        bResult = FALSE;
        break;
    }
    case CCommandLineInfo::AppUnregister:
        UnregisterShellFileTypes();
        bResult = FALSE;
        break;
    case CCommandLineInfo::FileNothing:
    default:
        break;
    }
    return bResult;
}

BOOL CWinApp::RunEmbedded()
{
    return HasFlag(m_lpCmdLine, L"Embedding");
}

BOOL CWinApp::RunAutomated()
{
    return HasFlag(m_lpCmdLine, L"Automation");
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    delete m_pRecentFileList;
    m_pRecentFileList = NULL;
    if (nMaxMRU == 0)
        return;
    if (nMaxMRU > kMaxRecentFiles)
        nMaxMRU = kMaxRecentFiles;
    m_pRecentFileList = new CRecentFileList(ID_FILE_MRU_FILE1, kRecentFileSection, kRecentFileEntry,
                                            static_cast<int>(nMaxMRU));
    m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList != NULL)
        m_pRecentFileList->WriteList();
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (m_pRecentFileList != NULL)
        m_pRecentFileList->Add(lpszPathName);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (m_pRecentFileList == NULL || nID < ID_FILE_MRU_FILE1)
        return FALSE;
    const int nIndex = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    if (nIndex >= m_pRecentFileList->GetSize())
        return FALSE;
    // A copy: opening moves the entry to the top of the list.
    const CString path = (*m_pRecentFileList)[nIndex];
    if (path.IsEmpty())
        return FALSE;
    if (OpenDocumentFile(path) == NULL)
        m_pRecentFileList->Remove(nIndex);
    else
        m_pRecentFileList->Add(path); // also when the document was open already
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (m_pRecentFileList == NULL)
        pCmdUI->Enable(FALSE);
    else
        m_pRecentFileList->UpdateMenu(pCmdUI);
}

BOOL CWinApp::Enable3dControls()
{
    // Every window of the system draws in 3D already.
    return TRUE;
}

BOOL CWinApp::Enable3dControlsStatic()
{
    return TRUE;
}
