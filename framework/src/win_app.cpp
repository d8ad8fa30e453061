// CWinApp: the application object, its message loop hooks, message box and wait cursor.
#include <afxadv.h>
#include <afxpriv.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

void FreeString(LPCTSTR& lpsz)
{
    std::free(const_cast<LPTSTR>(lpsz));
    lpsz = NULL;
}

// The message box being shown on this thread has been fitted to its caption.
thread_local bool t_bBoxFitted = false;

// The system sizes a message box by its text and buttons alone; some systems then cut the caption short.
// The box is widened, its contents kept centred, until the caption reads whole beside its close button.
void FitBoxToCaption(HWND hWndBox)
{
    wchar_t caption[256] = {};
    const int nLength = ::GetWindowTextW(hWndBox, caption, 256);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (nLength <= 0 || !::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return;
    HFONT hFont = ::CreateFontIndirectW(&metrics.lfCaptionFont);
    HDC hDC = ::GetDC(hWndBox);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    SIZE text = {};
    ::GetTextExtentPoint32W(hDC, caption, nLength, &text);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWndBox, hDC);
    ::DeleteObject(hFont);
    // Room for the caption's icon, its close, maximise and minimise places and a margin on each side.
    const int nNeeded = text.cx + 3 * ::GetSystemMetrics(SM_CXSIZE) + 2 * ::GetSystemMetrics(SM_CXEDGE) + 20;
    RECT window = {};
    ::GetWindowRect(hWndBox, &window);
    HMONITOR hMonitor = ::MonitorFromWindow(hWndBox, MONITOR_DEFAULTTONEAREST);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(hMonitor, &monitor);
    const int nWidth = window.right - window.left;
    const int nWanted = std::min<int>(nNeeded, monitor.rcWork.right - monitor.rcWork.left);
    if (nWanted <= nWidth)
        return;
    const int nShift = (nWanted - nWidth) / 2;
    for (HWND hWndChild = ::GetWindow(hWndBox, GW_CHILD); hWndChild != NULL;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        RECT child = {};
        ::GetWindowRect(hWndChild, &child);
        ::MapWindowPoints(NULL, hWndBox, reinterpret_cast<POINT*>(&child), 2);
        ::SetWindowPos(hWndChild, NULL, child.left + nShift, child.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const int nLeft = std::max<int>(monitor.rcWork.left, window.left - nShift);
    ::SetWindowPos(hWndBox, NULL, std::min<int>(nLeft, monitor.rcWork.right - nWanted), window.top, nWanted,
                   window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK MessageBoxHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE && !t_bBoxFitted) {
        const HWND hWnd = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        ::GetClassNameW(hWnd, className, 16);
        if (std::wcscmp(className, L"#32770") == 0) {
            t_bBoxFitted = true;
            FitBoxToCaption(hWnd);
        }
    }
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

} // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_hInstance(NULL), m_lpCmdLine(NULL), m_nCmdShow(SW_SHOWNORMAL),
      m_pszAppName(lpszAppName != NULL ? _wcsdup(lpszAppName) : NULL), m_pszRegistryKey(NULL),
      m_pszProfileName(NULL), m_pszExeName(NULL), m_pszHelpFilePath(NULL), m_nWaitCursorCount(0),
      m_hcurWaitCursorRestore(NULL)
{
    AFX_MODULE_STATE* pModuleState = AfxGetModuleState();
    pModuleState->m_pCurrentWinApp = this;
    AfxGetThreadState()->m_pCurrentWinThread = this;
    // The application object runs on the thread that made it (the main thread).
    m_nThreadID = ::GetCurrentThreadId();
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &m_hThread, 0,
                      FALSE, DUPLICATE_SAME_ACCESS);
    // The application object is not deleted by its thread's end.
    m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp()
{
    AFX_MODULE_STATE* pModuleState = AfxGetModuleState();
    if (pModuleState->m_pCurrentWinApp == this)
        pModuleState->m_pCurrentWinApp = NULL;
    if (pModuleState->m_lpszCurrentAppName == m_pszAppName)
        pModuleState->m_lpszCurrentAppName = NULL;
    FreeString(m_pszAppName);
    FreeString(m_pszRegistryKey);
    FreeString(m_pszProfileName);
    FreeString(m_pszExeName);
    FreeString(m_pszHelpFilePath);
    delete m_pDocManager;
    delete m_pRecentFileList;
}

void CWinApp::SetCurrentHandles()
{
    m_hInstance = AfxGetInstanceHandle();
    wchar_t modulePath[MAX_PATH + 1] = {};
    const DWORD dwLength = ::GetModuleFileName(m_hInstance, modulePath, MAX_PATH);
    modulePath[dwLength < MAX_PATH ? dwLength : MAX_PATH] = 0;

    // The executable's name without folder and extension.
    const wchar_t* pName = std::wcsrchr(modulePath, L'\\');
    pName = pName != NULL ? pName + 1 : modulePath;
    CString exeName(pName);
    const int nDot = exeName.ReverseFind(L'.');
    if (nDot > 0)
        exeName = exeName.Left(nDot);
    if (m_pszExeName == NULL)
        m_pszExeName = _wcsdup(exeName);

    if (m_pszAppName == NULL) {
        CString title;
        if (title.LoadString(AFX_IDS_APP_TITLE) && !title.IsEmpty())
            m_pszAppName = _wcsdup(title);
        else
            m_pszAppName = _wcsdup(m_pszExeName);
    }
    AfxGetModuleState()->m_lpszCurrentAppName = m_pszAppName;

    if (m_pszHelpFilePath == NULL) {
        CString helpPath(modulePath);
        const int nHelpDot = helpPath.ReverseFind(L'.');
        if (nHelpDot > 0)
            helpPath = helpPath.Left(nHelpDot);
        helpPath += L".HLP";
        m_pszHelpFilePath = _wcsdup(helpPath);
    }
    // Until SetRegistryKey the profile is an INI file named after the executable.
    if (m_pszProfileName == NULL) {
        CString profile(m_pszExeName);
        profile += L".INI";
        m_pszProfileName = _wcsdup(profile);
    }
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::Run()
{
    return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    return CWinThread::PreTranslateMessage(pMsg);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    // The owner is the active popup of the main window, so the box stays in front of the program.
    HWND hWndOwner = NULL;
    if (CWnd* pMainWnd = AfxGetMainWnd(); pMainWnd != NULL && pMainWnd->m_hWnd != NULL) {
        HWND hWndTop = pMainWnd->m_hWnd;
        hWndOwner = ::GetLastActivePopup(hWndTop);
        if (hWndOwner == NULL || !::IsWindowEnabled(hWndOwner))
            hWndOwner = ::IsWindowEnabled(hWndTop) ? hWndTop : NULL;
    }
    // Boxes without an icon get the usual one for their buttons.
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    const bool bOuterFitted = t_bBoxFitted;
    t_bBoxFitted = false;
    HHOOK hHook = ::SetWindowsHookExW(WH_CBT, MessageBoxHook, NULL, ::GetCurrentThreadId());
    const int nResult = ::MessageBox(hWndOwner, lpszPrompt, m_pszAppName, nType);
    if (hHook != NULL)
        ::UnhookWindowsHookEx(hHook);
    t_bBoxFitted = bOuterFitted;
    return nResult;
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    FreeString(m_pszRegistryKey);
    m_pszRegistryKey = lpszRegistryKey != NULL ? _wcsdup(lpszRegistryKey) : NULL;
    // From now on the profile is the application's key, named after the application.
    FreeString(m_pszProfileName);
    m_pszProfileName = m_pszAppName != NULL ? _wcsdup(m_pszAppName) : NULL;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key.GetString());
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursor(AfxFindResourceHandle(lpszResourceName, RT_GROUP_CURSOR), lpszResourceName);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIcon(AfxFindResourceHandle(lpszResourceName, RT_GROUP_ICON), lpszResourceName);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != NULL && m_pMainWnd->m_hWnd != NULL)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::DoWaitCursor(int nCode)
{
    m_nWaitCursorCount += nCode;
    if (m_nWaitCursorCount < 0)
        m_nWaitCursorCount = 0;
    if (m_nWaitCursorCount > 0) {
        HCURSOR hcurPrev = ::SetCursor(::LoadCursor(NULL, IDC_WAIT));
        if (nCode > 0 && m_nWaitCursorCount == 1)
            m_hcurWaitCursorRestore = hcurPrev;
    } else {
        ::SetCursor(m_hcurWaitCursorRestore);
    }
}

CWaitCursor::CWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(1);
}

CWaitCursor::~CWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(-1);
}

void CWaitCursor::Restore()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(0);
}

CWinApp* AFXAPI AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

CWnd* AFXAPI AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    CWnd* pMainWnd = pThread != NULL ? pThread->GetMainWnd() : NULL;
    if (pMainWnd == NULL) {
        // Worker threads share the application's main window.
        CWinApp* pApp = AfxGetApp();
        if (pApp != NULL && pApp != pThread)
            pMainWnd = pApp->m_pMainWnd;
    }
    return pMainWnd;
}

LPCTSTR AFXAPI AfxGetAppName()
{
    LPCTSTR lpszName = AfxGetModuleState()->m_lpszCurrentAppName;
    if (lpszName == NULL) {
        CWinApp* pApp = AfxGetApp();
        lpszName = pApp != NULL ? pApp->m_pszAppName : NULL;
    }
    return lpszName != NULL ? lpszName : L"";
}

void AFXAPI AfxPostQuitMessage(int nExitCode)
{
    ::PostQuitMessage(nExitCode);
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL)
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBox(NULL, lpszText, AfxGetAppName(), nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    if (!text.LoadString(nIDPrompt))
        text.Format(L"Message %u", nIDPrompt); // a missing resource still says which message it was
    if (nIDHelp == static_cast<UINT>(-1))
        nIDHelp = nIDPrompt;
    return AfxMessageBox(text.GetString(), nType, nIDHelp);
}
