// The test program's application object is the program's own: the environment runs its start-up once,
// so that every test finds the frame with its five views, as the program shows them.
#include "app_test_app.h"

#include <gtest/gtest.h>

CRecoveryApp theApp;

namespace {

class ProgramEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        AfxWinInit(::GetModuleHandleW(NULL), NULL, const_cast<LPTSTR>(L""), SW_SHOWNORMAL);
        // A recent file from another run would open a document of its own.
        theApp.WriteProfileString(L"Most Recent Check Book File", NULL, NULL);
        s_started = theApp.InitInstance() != FALSE;
    }
    static inline bool s_started = false;
};

const ProgramEnvironment* const g_environment =
    static_cast<ProgramEnvironment*>(::testing::AddGlobalTestEnvironment(new ProgramEnvironment));

} // namespace

CMainFrame* StartedFrame()
{
    return ProgramEnvironment::s_started ? theApp.GetMainFrame() : NULL;
}

void PumpMessages(DWORD ms)
{
    const ULONGLONG deadline = ::GetTickCount64() + ms;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (!AfxGetThread()->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        AfxGetThread()->OnIdle(0);
        ::Sleep(5);
    } while (::GetTickCount64() < deadline);
}
