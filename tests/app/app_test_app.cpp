// The test program's application object is the program's own: the environment runs its start-up once,
// so that every test finds the frame with its five views, as the program shows them.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include <string>

CRecoveryApp theApp;

namespace {

class ProgramEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        AfxWinInit(::GetModuleHandleW(NULL), NULL, const_cast<LPTSTR>(L""), SW_SHOWNORMAL);
        // A recent file or a window placement from another run would change the start.
        const std::wstring profile = L"Software\\Corvane VMDK Recovery\\Corvane VMDK Recovery\\";
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (profile + L"Most Recent Check Book File").c_str(), L"File");
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (profile + L"Settings").c_str(), L"Window Position");
        s_started = theApp.InitInstance() != FALSE;
        s_placement.length = sizeof s_placement;
        if (s_started)
            theApp.GetMainFrame()->GetWindowPlacement(&s_placement);
    }
    static inline bool s_started = false;
    static inline WINDOWPLACEMENT s_placement = {};
};

const ProgramEnvironment* const g_environment =
    static_cast<ProgramEnvironment*>(::testing::AddGlobalTestEnvironment(new ProgramEnvironment));

} // namespace

CMainFrame* StartedFrame()
{
    return ProgramEnvironment::s_started ? theApp.GetMainFrame() : NULL;
}

const WINDOWPLACEMENT& PlacementAfterStart()
{
    return ProgramEnvironment::s_placement;
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

bool WaitFor(const std::function<bool()>& condition, DWORD limitMs)
{
    const ULONGLONG started = ::GetTickCount64();
    while (!condition()) {
        if (::GetTickCount64() - started > limitMs)
            return false;
        PumpMessages(20);
    }
    return true;
}
