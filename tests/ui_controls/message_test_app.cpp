// The application object of the message-box tests and the module set-up that AfxWinMain would do.
#include <afxwin.h>

#include <gtest/gtest.h>

namespace {

class CMessageTestApp : public CWinApp
{
public:
    CMessageTestApp() : CWinApp(L"MessageBoxTests") {}
};

CMessageTestApp theApp;

class FrameworkEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        AfxWinInit(::GetModuleHandleW(NULL), NULL, const_cast<LPTSTR>(L""), SW_SHOWNORMAL);
    }
};

const ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

} // namespace
