// The program's application object and its single-instance mutex, made before start-up runs and held
// until the process ends.
#include "recovery_app.h"

namespace {

constexpr wchar_t kInstanceMutexName[] =
    L"Global\\{6F1C2B7A-93D4-4E58-A0C1-5B2E8D7F4A36-CORVANE_VMDK_RECOVERY}";

class SingleInstanceMutex
{
public:
    SingleInstanceMutex() : m_handle(::CreateMutexW(NULL, FALSE, kInstanceMutexName))
    {
        SingleInstanceMutexError = ::GetLastError();
    }
    ~SingleInstanceMutex()
    {
        if (m_handle != NULL)
            ::CloseHandle(m_handle);
    }
    SingleInstanceMutex(const SingleInstanceMutex&) = delete;
    SingleInstanceMutex& operator=(const SingleInstanceMutex&) = delete;

private:
    HANDLE m_handle;
};

SingleInstanceMutex instanceMutex;

} // namespace

CRecoveryApp theApp;
