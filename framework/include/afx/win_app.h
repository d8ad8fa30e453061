// CWinApp: the application object. Its constructor makes it the application of the module and the
// CWinThread of the main thread; AfxWinMain (called from the program's wWinMain) sets up the
// module, runs InitInstance and then the message loop. The profile functions keep settings under
// HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section> once SetRegistryKey has
// been called, else in the INI file m_pszProfileName.
#pragma once

#include "afx/win_thread.h"

class CCommandLineInfo;
class CDocManager;
class CRecentFileList;
class CDocTemplate;
class CDocument;

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    // The application's name; null takes AFX_IDS_APP_TITLE or the executable's name at start-up.
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    ~CWinApp() override;

    // Start-up data. The strings are owned by the application (allocated with malloc) and freed
    // by its destructor.
    HINSTANCE m_hInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCTSTR m_pszAppName;
    LPCTSTR m_pszRegistryKey;
    LPCTSTR m_pszProfileName;
    LPCTSTR m_pszExeName;
    LPCTSTR m_pszHelpFilePath;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;
    int Run() override;
    // lCount 0: the main window's command-UI update; lCount 1: temporary objects are freed.
    // TRUE asks for more idle calls.
    BOOL OnIdle(LONG lCount) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The application's message box; the owner is the active popup of the main window.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    // Settings.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    // Keys of the registry profile, created when missing; the caller closes them. Null without a
    // registry key.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = NULL);
    // A null entry deletes the section (with its subsections); a null value deletes the entry.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    // The caller frees *ppData with delete[]; FALSE (and *ppData null) when the entry is missing.
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);

    // Resources.
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCE(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursor(NULL, lpszCursorName); }
    HCURSOR LoadOEMCursor(UINT nIDCursor) const { return ::LoadCursor(NULL, MAKEINTRESOURCE(nIDCursor)); }
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCE(nIDResource)); }
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIcon(NULL, lpszIconName); }
    HICON LoadOEMIcon(UINT nIDIcon) const { return ::LoadIcon(NULL, MAKEINTRESOURCE(nIDIcon)); }

    // Closes the main window (a program maps ID_APP_EXIT to it).
    afx_msg void OnAppExit();

    // Documents: the templates (owned by the document manager, made by the first AddDocTemplate
    // and deleted with the application) and the file commands a program maps to them.
    CDocManager* m_pDocManager = NULL;
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    int GetOpenDocumentCount();
    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    // The printer set-up dialog (nothing happens without a printer).
    afx_msg void OnFilePrintSetup();

    // The wait cursor: nCode 1 begins, -1 ends, 0 shows it again after something changed the cursor.
    virtual void DoWaitCursor(int nCode);
    int m_nWaitCursorCount;
    HCURSOR m_hcurWaitCursorRestore;

    // The command line: ParseCommandLine splits m_lpCmdLine as the C run-time library does and hands
    // each argument to rCmdInfo; ProcessShellCommand carries the request out. FALSE means the program
    // should end: no main window after File New, a file that did not open, a print or unregister run.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    // Whether the command line holds "/Embedding" or "/Automation".
    BOOL RunEmbedded();
    BOOL RunAutomated();
    // The request being printed while ProcessShellCommand prints (a "/pt" run names the printer).
    CCommandLineInfo* m_pCmdInfo = NULL;

    // The recent-file list: nMaxMRU entries ("File1".."Fn" of section "Recent File List"), read
    // by LoadStdProfileSettings and written by ExitInstance. Documents add their path when it is set.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);
    CRecentFileList* m_pRecentFileList = NULL;
    // ID_FILE_MRU_FILE1..16: opens the entry; an entry that fails to open leaves the list.
    afx_msg BOOL OnOpenRecentFile(UINT nID);
    afx_msg void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

    // The shell's part of the document types (under HKEY_CURRENT_USER\Software\Classes): the type
    // key of every template with a type id, its open command (with bCompat also its icon and the
    // print and print-to commands), and the extension when no other type holds it.
    void EnableShellOpen();
    void RegisterShellFileTypes(BOOL bCompat = FALSE);
    void UnregisterShellFileTypes();
    BOOL m_bShellOpenEnabled = FALSE;

    // Kept for programs written for older systems: every window draws in 3D.
    BOOL Enable3dControls();
    BOOL Enable3dControlsStatic();

protected:
    // Fills the names that the start-up data implies (application, executable, profile).
    void SetCurrentHandles();

private:
    friend BOOL AFXAPI AfxWinInit(HINSTANCE, HINSTANCE, LPTSTR, int);
    // Opens the section for reading only (null when it does not exist).
    HKEY OpenSectionKeyForRead(LPCTSTR lpszSection);

    DECLARE_MESSAGE_MAP()
};

// The wait cursor for the length of a scope.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore();
};

CWinApp* AFXAPI AfxGetApp();
// The main window of the calling thread; a thread without one gets the application's.
CWnd* AFXAPI AfxGetMainWnd();
LPCTSTR AFXAPI AfxGetAppName();
void AFXAPI AfxPostQuitMessage(int nExitCode);

// The framework's part of the program's entry point: set-up, InitInstance, Run, ExitInstance.
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
void AFXAPI AfxWinTerm();

// The application's message box (CWinApp::DoMessageBox); a prompt id is a string resource.
int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));
