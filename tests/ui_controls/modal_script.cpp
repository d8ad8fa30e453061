#include "modal_script.h"

#include "support/screenshot.h"

#include <cstring>

namespace {

thread_local ModalScript* t_script = nullptr;

constexpr UINT kRetryDelayMs = 20;

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool IsDialogClass(HWND window)
{
    return ClassName(window) == L"#32770";
}

bool IsPushButton(HWND window)
{
    if (_wcsicmp(ClassName(window).c_str(), L"Button") != 0) {
        return false;
    }
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

} // namespace

ModalScript::ModalScript(std::vector<Step> steps, UINT safetyMs) : m_steps(std::move(steps))
{
    m_stepMessage = RegisterWindowMessageW(L"ModalScriptStep");
    m_previous = t_script;
    t_script = this;
    const DWORD thread = GetCurrentThreadId();
    m_cbtHook = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, thread);
    m_callWindowHook = SetWindowsHookExW(WH_CALLWNDPROC, CallWindowHook, nullptr, thread);
    m_getMessageHook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, thread);
    m_safetyTimer = SetTimer(nullptr, 0, safetyMs, SafetyTimer);
}

ModalScript::~ModalScript()
{
    KillTimer(nullptr, m_safetyTimer);
    if (m_retryTimer) {
        KillTimer(nullptr, m_retryTimer);
    }
    UnhookWindowsHookEx(m_getMessageHook);
    UnhookWindowsHookEx(m_callWindowHook);
    UnhookWindowsHookEx(m_cbtHook);
    t_script = m_previous;
}

std::vector<std::wstring> ModalScript::ButtonTextHistory(int id) const
{
    const auto found = m_buttonTexts.find(id);
    return found == m_buttonTexts.end() ? std::vector<std::wstring>() : found->second;
}

LRESULT CALLBACK ModalScript::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    ModalScript* script = t_script;
    if (script && code == HCBT_CREATEWND) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (!(create->style & WS_CHILD)) {
            ++script->m_topLevelCreated;
            if (!script->m_box && IsDialogClass(window)) {
                script->m_box = window;
                script->PostNextStep();
            }
        } else if (script->m_box && create->hwndParent == script->m_box &&
                   _wcsicmp(ClassName(window).c_str(), L"Button") == 0) {
            const int id = static_cast<int>(reinterpret_cast<INT_PTR>(create->hMenu));
            script->m_buttonTexts[id].push_back(
                create->lpszName && !IS_INTRESOURCE(create->lpszName) ? create->lpszName : L"");
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ModalScript::CallWindowHook(int code, WPARAM wParam, LPARAM lParam)
{
    ModalScript* script = t_script;
    if (script && code == HC_ACTION && script->m_box) {
        const CWPSTRUCT* call = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (call->message == WM_SETTEXT && GetParent(call->hwnd) == script->m_box &&
            IsPushButton(call->hwnd)) {
            script->m_buttonTexts[GetDlgCtrlID(call->hwnd)].push_back(
                call->lParam ? reinterpret_cast<const wchar_t*>(call->lParam) : L"");
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ModalScript::GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    ModalScript* script = t_script;
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (script && code == HC_ACTION && wParam == PM_REMOVE && message->message == script->m_stepMessage &&
        message->hwnd == script->m_box) {
        message->message = WM_NULL;
        script->RunNextStep();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ModalScript::PostNextStep()
{
    if (m_nextStep < m_steps.size() && m_box) {
        PostMessageW(m_box, m_stepMessage, 0, 0);
    }
}

void ModalScript::RunNextStep()
{
    if (m_nextStep >= m_steps.size() || !IsWindow(m_box)) {
        return;
    }
    // A box shown only when its loop first goes idle is not there for the user before that either.
    if (!IsWindowVisible(m_box) || !m_steps[m_nextStep](m_box)) {
        // Waiting: a timer posts the step again, so that the box's own timers keep running meanwhile.
        m_retryTimer = SetTimer(nullptr, 0, kRetryDelayMs, RetryTimer);
        return;
    }
    ++m_nextStep;
    PostNextStep();
}

void CALLBACK ModalScript::RetryTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (ModalScript* script = t_script) {
        script->m_retryTimer = 0;
        script->PostNextStep();
    }
}

void CALLBACK ModalScript::SafetyTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    ModalScript* script = t_script;
    if (!script || !IsWindow(script->m_box)) {
        return;
    }
    script->m_timedOut = true;
    CWnd* window = CWnd::FromHandlePermanent(script->m_box);
    if (window && window->IsKindOf(RUNTIME_CLASS(CDialog))) {
        static_cast<CDialog*>(window)->EndDialog(kTimedOutResult);
    } else {
        EndDialog(script->m_box, kTimedOutResult);
    }
}

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::vector<ButtonInfo> VisibleButtons(HWND box)
{
    std::vector<ButtonInfo> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsPushButton(child) && IsWindowVisible(child)) {
            buttons.push_back({GetDlgCtrlID(child), WindowText(child), IsWindowEnabled(child) != FALSE});
        }
    }
    return buttons;
}

bool ClickButton(HWND box, int id)
{
    HWND button = GetDlgItem(box, id);
    if (!button) {
        return false;
    }
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

void PostKey(HWND box, UINT key)
{
    HWND target = GetFocus();
    if (!target || (target != box && !IsChild(box, target))) {
        target = box;
    }
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

void PressCloseBox(HWND box)
{
    SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool CloseItemGreyed(HWND box)
{
    HMENU menu = GetSystemMenu(box, FALSE);
    return menu && (GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::wstring BuildFolderFile(const std::wstring& name)
{
    std::wstring path(MAX_PATH * 4, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    const size_t slash = path.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + name;
}

std::vector<COLORREF> ClientPixels(HWND window, const RECT& area)
{
    HDC source = GetDC(window);
    const std::vector<std::uint32_t> pixels = test_support::CaptureDc(source, area);
    ReleaseDC(window, source);
    std::vector<COLORREF> colours;
    for (const std::uint32_t pixel : pixels) {
        colours.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    }
    return colours;
}

bool WriteWindowBitmap(HWND window, const std::wstring& path)
{
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> pixels = test_support::CaptureFramedWindow(window, width, height);
    if (pixels.empty()) {
        return false;
    }
    const int rowSize = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(rowSize * height);
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<char> bytes(file.bfSize, 0);
    memcpy(bytes.data(), &file, sizeof file);
    memcpy(bytes.data() + sizeof file, &info, sizeof info);
    char* rows = bytes.data() + file.bfOffBits;
    for (int y = 0; y < height; ++y) {
        char* row = rows + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(rowSize);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel =
                pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            row[x * 3] = static_cast<char>(pixel & 0xFF);
            row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
    }
    HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    return ok && written == bytes.size();
}

void DrainMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        const DWORD wait =
            MsgWaitForMultipleObjects(1, &handle, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            return true;
        }
        if (wait != WAIT_OBJECT_0 + 1) {
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
}
