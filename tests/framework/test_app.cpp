#include "test_app.h"

#include <gtest/gtest.h>

CTestApp theApp;

// clang-format off
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_TEST_APP_ONLY, OnAppCommand)
    ON_COMMAND(ID_TEST_APP_DISABLED, OnAppCommand)
    ON_UPDATE_COMMAND_UI(ID_TEST_APP_DISABLED, OnUpdateAppCommand)
    ON_THREAD_MESSAGE(WM_TEST_RUN_TASK, OnRunTask)
END_MESSAGE_MAP()
// clang-format on

int CTestApp::DoMessageBox(LPCTSTR lpszPrompt, UINT, UINT)
{
    m_messageBoxes.push_back(lpszPrompt != NULL ? lpszPrompt : L"");
    return m_nMessageBoxAnswer;
}

void CTestApp::OnAppCommand()
{
    const MSG* pMsg = CWnd::GetCurrentMessage();
    CString entry;
    entry.Format(L"app:%u", static_cast<UINT>(LOWORD(pMsg->wParam)));
    m_commandLog.push_back(entry.GetString());
}

void CTestApp::OnUpdateAppCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

void CTestApp::OnRunTask(WPARAM, LPARAM lParam)
{
    (*reinterpret_cast<std::function<void()>*>(lParam))();
}

BOOL CTestApp::InitInstance()
{
    return m_initInstance ? m_initInstance() : TRUE;
}

int CTestApp::ExitInstance()
{
    const int nDefault = CWinApp::ExitInstance();
    return m_exitInstance ? m_exitInstance() : nDefault;
}

BOOL CTestApp::OnIdle(LONG lCount)
{
    const BOOL bMore = CWinApp::OnIdle(lCount);
    if (!bMore && m_nQuitWhenIdle != 0) {
        ::PostQuitMessage(m_nQuitWhenIdle);
        m_nQuitWhenIdle = 0;
    }
    return bMore;
}

void ShowWithoutActivating(CWnd& wnd)
{
    wnd.ShowWindow(SW_SHOWNOACTIVATE);
}

void DrainMessages()
{
    MSG msg;
    while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
}

bool PumpUntilSignalled(HANDLE hHandle, DWORD dwTimeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + dwTimeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            return false;
        const DWORD dwWait =
            ::MsgWaitForMultipleObjects(1, &hHandle, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (dwWait == WAIT_OBJECT_0)
            return true;
        if (dwWait != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
}

namespace {

// The module set-up that AfxWinMain would do, once for the whole run.
class FrameworkEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        AfxWinInit(::GetModuleHandle(NULL), NULL, const_cast<LPTSTR>(L""), SW_SHOWNORMAL);
    }
};

const ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

} // namespace
