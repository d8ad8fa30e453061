#include "program_driver.h"

#include <algorithm>

namespace {

constexpr DWORD kPollMs = 20;

struct EnumContext
{
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter)
{
    auto* context = reinterpret_cast<EnumContext*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == context->processId && IsWindowVisible(window))
        context->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM parameter)
{
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

bool IsPushButton(HWND window)
{
    if (_wcsicmp(ProgramDriver::ClassName(window).c_str(), L"Button") != 0)
        return false;
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&children));
    return children;
}

} // namespace

ProgramDriver::~ProgramDriver()
{
    if (m_process != nullptr) {
        if (Running())
            End();
        CloseHandle(m_process);
    }
}

std::wstring ProgramDriver::ProgramPath()
{
    // The test program stands in <build>\tests\app, the program in <build>\app.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path = path.substr(0, path.find_last_of(L'\\')) + L"\\..\\..\\app\\CorvaneVmdkRecovery.exe";
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

bool ProgramDriver::Start(const std::wstring& arguments, const std::wstring& currentFolder)
{
    const std::wstring program = ProgramPath();
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;
    return true;
}

bool ProgramDriver::Running() const
{
    return m_process != nullptr && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool ProgramDriver::WaitForExit(DWORD timeoutMs, DWORD& exitCode)
{
    if (m_process == nullptr || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(m_process, &exitCode);
    return true;
}

void ProgramDriver::End()
{
    if (m_process != nullptr) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 10000);
    }
}

std::vector<HWND> ProgramDriver::TopLevelWindows() const
{
    EnumContext context = {m_processId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&context));
    return context.windows;
}

HWND ProgramDriver::WaitForFrame(DWORD timeoutMs) const
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        for (HWND window : TopLevelWindows()) {
            if (ClassName(window) != L"#32770" && Text(window) == kProgramTitle &&
                GetDlgItem(window, kShownViewId) != nullptr)
                return window;
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline && Running());
    return nullptr;
}

HWND ProgramDriver::Descendant(HWND parent, const std::wstring& text)
{
    for (HWND child : Children(parent)) {
        if (Text(child) == text)
            return child;
    }
    return nullptr;
}

HWND ProgramDriver::WaitForBox(const std::wstring& caption, const std::vector<std::wstring>& buttons,
                               DWORD timeoutMs) const
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        for (HWND window : TopLevelWindows()) {
            if (ClassName(window) != L"#32770" || Text(window) != caption)
                continue;
            const std::vector<std::wstring> texts = PushButtonTexts(window);
            const bool all = std::all_of(buttons.begin(), buttons.end(), [&](const std::wstring& text) {
                return std::find(texts.begin(), texts.end(), text) != texts.end();
            });
            if (all)
                return window;
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline && Running());
    return nullptr;
}

bool ProgramDriver::Answers(HWND frame) const
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

std::vector<HWND> ProgramDriver::VisibleViews(HWND frame)
{
    std::vector<HWND> views;
    for (HWND child = GetWindow(frame, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id >= kShownViewId && id <= kShownViewId + 4 && IsWindowVisible(child))
            views.push_back(child);
    }
    return views;
}

void ProgramDriver::PostCommand(HWND frame, UINT id)
{
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool ProgramDriver::ClickButton(HWND box, const std::wstring& text)
{
    for (HWND child : Children(box)) {
        if (IsPushButton(child) && Text(child) == text) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                         reinterpret_cast<LPARAM>(child));
            return true;
        }
    }
    return false;
}

std::wstring ProgramDriver::Text(HWND window)
{
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &copied))
        return L"";
    return text;
}

std::wstring ProgramDriver::ClassName(HWND window)
{
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::vector<std::wstring> ProgramDriver::PushButtonTexts(HWND box)
{
    std::vector<std::wstring> texts;
    for (HWND child : Children(box)) {
        if (IsPushButton(child) && IsWindowVisible(child))
            texts.push_back(Text(child));
    }
    return texts;
}

bool ReadRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& type,
                       std::vector<BYTE>& data)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExW(opened, name.c_str(), nullptr, &type, nullptr, &size);
    data.assign(size, 0);
    if (result == ERROR_SUCCESS && size > 0)
        result = RegQueryValueExW(opened, name.c_str(), nullptr, &type, data.data(), &size);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

std::wstring ReadRegistryText(HKEY root, const std::wstring& key, const std::wstring& name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadRegistryValue(root, key, name, type, data) || type != REG_SZ || data.size() < sizeof(wchar_t))
        return L"";
    return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t) - 1);
}
