#pragma once

// The program's application object: start-up (one instance, the document type, the frame with the five
// wizard views, a snapshot named on the command line), the wizard's view switch and its restart.
#include <afxwin.h>

#include <cstdint>

class CMainFrame;

enum WizardViewIndex : UINT
{
    kViewHome = 0,
    kViewDrive = 1,
    kViewPartition = 2,
    kViewFileSystem = 3,
    kViewResults = 4,
    kWizardViewCount = 5,
};

// What creating the single-instance mutex returned (ERROR_ALREADY_EXISTS when another copy runs); the
// program's static initialiser sets it before InitInstance.
extern DWORD SingleInstanceMutexError;

class CRecoveryApp : public CWinApp
{
public:
    CRecoveryApp();

    BOOL InitInstance() override;
    // A preview view that ran out of memory (a damaged file can ask for more than there is) shows
    // "Corrupt File"; any other window's failure is reported in a message box, and the program goes on.
    LRESULT ProcessWndProcException(CException* e, const MSG* pMsg) override;

    // Shows view `index` in place of the active one; the view it replaced, or null (and no change) when
    // the frame has no active view. Switching to the shown view changes nothing.
    CView* SwitchView(UINT index);
    // Back to the home view; a snapshot named on the command line is loaded again.
    BOOL RestartWizard();
    // The profile string "File" of "Most Recent Check Book File".
    void ReadRecentFile(CString& path);

    CView* GetView(UINT index) const { return index < kWizardViewCount ? m_pViews[index] : NULL; }
    CMainFrame* GetMainFrame() const;

    UINT m_nCurrentView = kViewHome;
    // How many times the shown view changed. A handler that opens a box in the middle of a move notes it
    // before and goes on only when it is unchanged after: a command that reached a view while the box
    // waited to be shown (its loop dispatches such commands) may have moved the wizard on already.
    UINT m_nSwitchCount = 0;
    CView* m_pViews[kWizardViewCount] = {};

    // Settings of the Access database preview, fixed here.
    BOOL m_bShowSystemObjects = FALSE;
    BOOL m_bConfirmDeletes = TRUE;
    long m_nMaxRecords = 10000;

protected:
    afx_msg void OnAppAbout();
    DECLARE_MESSAGE_MAP()

private:
    // The program's own path, for the document type's command and icon.
    CString ModulePath() const;
    void RegisterSnapshotDocumentType();
    BOOL CreateWizardViews();
    // The frame hidden, minimised, normal and shown, as at start-up.
    void ShowFrameSequence();
    // The path the command line names: lower case, without double quotes.
    CString CommandLineSnapshotPath() const;
    // Reads the snapshot named on the command line into the results view; false after "Invalid File.".
    bool LoadCommandLineSnapshot();
    void OpenRecentFile();
};

// The running application object (null in a program without one).
CRecoveryApp* RecoveryApp();

// The program's own folder with its trailing "\"; the file-type signatures are read from there.
CString& ProgramFolder();
