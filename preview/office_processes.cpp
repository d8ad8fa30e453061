#include "office_processes.h"

#include <map>
#include <string>

namespace {

// By window class: the processes before a preview step still going, and those that previews started.
std::map<std::wstring, ProcessIdSet>& NotedBefore()
{
    static std::map<std::wstring, ProcessIdSet> noted;
    return noted;
}

std::map<std::wstring, ProcessIdSet>& StartedByPreviews()
{
    static std::map<std::wstring, ProcessIdSet> started;
    return started;
}

bool EndProcess(DWORD processId)
{
    HANDLE hProcess = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (hProcess == NULL)
        return false;
    const bool bEnded = ::TerminateProcess(hProcess, 0) != FALSE;
    if (bEnded)
        ::WaitForSingleObject(hProcess, 2000);
    ::CloseHandle(hProcess);
    return bEnded;
}

struct ClassSearch
{
    LPCWSTR pszClass;
    ProcessIdSet* pIds;
};

BOOL CALLBACK CollectOwner(HWND hWnd, LPARAM lParam)
{
    ClassSearch& search = *reinterpret_cast<ClassSearch*>(lParam);
    wchar_t name[256] = {};
    // Class names match whatever their case, as FindWindow matches them ("XlMain", "XLMain").
    if (::GetClassNameW(hWnd, name, 256) > 0 && ::lstrcmpiW(name, search.pszClass) == 0) {
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
        if (before.count(processId) == 0 && EndProcess(processId))
            ++nEnded;
    }
    return nEnded;
}

void NoteProcessesBeforePreview(LPCWSTR pszClass)
{
    NotedBefore()[pszClass] = ProcessesOwningWindowClass(pszClass);
}

void RecordProcessesStartedByPreview(LPCWSTR pszClass)
{
    auto noted = NotedBefore().find(pszClass);
    if (noted == NotedBefore().end())
        return;
    ProcessIdSet& started = StartedByPreviews()[pszClass];
    for (DWORD processId : ProcessesOwningWindowClass(pszClass))
        if (noted->second.count(processId) == 0)
            started.insert(processId);
    NotedBefore().erase(noted);
}

int EndProcessesStartedByPreviews(LPCWSTR pszClass)
{
    RecordProcessesStartedByPreview(pszClass);
    ProcessIdSet started;
    started.swap(StartedByPreviews()[pszClass]);
    // A recorded process that no longer owns such a window has ended already (its id may be another's now).
    int nEnded = 0;
    for (DWORD processId : ProcessesOwningWindowClass(pszClass))
        if (started.count(processId) != 0 && EndProcess(processId))
            ++nEnded;
    return nEnded;
}
