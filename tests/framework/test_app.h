// The application object of the window tests: records message boxes instead of showing them,
// and routes commands and thread messages the tests post.
#pragma once

#include <afxwin.h>

#include <functional>
#include <string>
#include <vector>

class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp(L"FrameworkWindowTests") {}

    // Message boxes would stop the run; they are recorded and answered with m_nMessageBoxAnswer.
    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;
    std::vector<std::wstring> m_messageBoxes;
    int m_nMessageBoxAnswer = IDOK;

    // Commands that reach the application (the last stop of the routing).
    afx_msg void OnAppCommand();
    afx_msg void OnUpdateAppCommand(CCmdUI* pCmdUI);
    std::vector<std::wstring> m_commandLog;

    // Thread messages posted to the main thread run the function of their lParam.
    afx_msg void OnRunTask(WPARAM wParam, LPARAM lParam);

    // What AfxWinMain calls; a test sets these to drive an entry-point run.
    std::function<BOOL()> m_initInstance;
    std::function<int()> m_exitInstance;
    BOOL InitInstance() override;
    int ExitInstance() override;
    // With m_nQuitWhenIdle set, the loop ends with that code once its idle work is done.
    BOOL OnIdle(LONG lCount) override;
    int m_nQuitWhenIdle = 0;

    DECLARE_MESSAGE_MAP()
};

extern CTestApp theApp;

// Thread message that runs the std::function<void()>* in lParam on the thread that receives it.
#define WM_TEST_RUN_TASK (WM_APP + 0x100)
// Command ids that only the application handles.
#define ID_TEST_APP_ONLY 33001
#define ID_TEST_APP_DISABLED 33002

// Removes what earlier steps left in this thread's queue (including WM_QUIT).
void DrainMessages();
// Pumps this thread's messages until the handle is signalled or the time runs out; FALSE on timeout.
bool PumpUntilSignalled(HANDLE hHandle, DWORD dwTimeoutMs);
// Shows a top-level window without activating it (an activated window takes seconds to go away on
// the test display, which has no window manager).
void ShowWithoutActivating(CWnd& wnd);
