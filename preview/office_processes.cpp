#include "office_processes.h"

namespace {

struct ClassSearch
{
    LPCWSTR pszClass;
    ProcessIdSet* pIds;
};

BOOL CALLBACK CollectOwner(HWND hWnd, LPARAM lParam)
{
    ClassSearch& search = *reinterpret_cast<ClassSearch*>(lParam);
    wchar_t name[256] = {};
    if (::GetClassNameW(hWnd, name, 256) > 0 && ::lstrcmpW(name, search.pszClass) == 0) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(hWnd, &processId);
        if (processId != 0 && processId != ::GetCurrentProcessId())
            search.pIds->insert(processId);
    }
    return TRUE;
}

} // namespace

ProcessIdSet ProcessesOwningWindowClass(LPCWSTR pszClass)
{
    ProcessIdSet ids;
    ClassSearch search{pszClass, &ids};
    ::EnumWindows(CollectOwner, reinterpret_cast<LPARAM>(&search));
    return ids;
}

int EndProcessesStartedSince(LPCWSTR pszClass, const ProcessIdSet& before)
{
    int nEnded = 0;
    for (DWORD processId : ProcessesOwningWindowClass(pszClass)) {
        if (before.count(processId) != 0)
            continue;
        HANDLE hProcess = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (hProcess == NULL)
            continue;
        if (::TerminateProcess(hProcess, 0)) {
            ::WaitForSingleObject(hProcess, 2000);
            ++nEnded;
        }
        ::CloseHandle(hProcess);
    }
    return nEnded;
}
