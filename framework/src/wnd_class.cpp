// Window classes: the framework's own classes and generated classes, registered on first use, and
// the one-time set-up of the common controls and the rich edit control.
#include <afxwin.h>

#include <commctrl.h>

#include <mutex>
#include <set>
#include <string>

namespace {

std::mutex& RegistrationLock()
{
    static std::mutex* pLock = new std::mutex;
    return *pLock;
}

} // namespace

BOOL AFXAPI AfxRegisterClass(WNDCLASS* lpWndClass)
{
    if (lpWndClass == NULL || lpWndClass->lpszClassName == NULL)
        return FALSE;
    std::lock_guard<std::mutex> lock(RegistrationLock());
    WNDCLASS existing = {};
    if (::GetClassInfo(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClass(lpWndClass) != 0;
}

LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // The name says what the class is, so equal requests share one class.
    CString name;
    HINSTANCE hInstance = AfxGetInstanceHandle();
    if (hCursor == NULL && hbrBackground == NULL && hIcon == NULL)
        name.Format(L"Afx:%p:%x", static_cast<void*>(hInstance), nClassStyle);
    else
        name.Format(L"Afx:%p:%x:%p:%p:%p", static_cast<void*>(hInstance), nClassStyle,
                    static_cast<void*>(hCursor), static_cast<void*>(hbrBackground),
                    static_cast<void*>(hIcon));

    // Names are kept for the life of the process; callers keep the pointer.
    static std::set<std::wstring>* pNames = new std::set<std::wstring>;
    LPCTSTR lpszName = NULL;
    {
        std::lock_guard<std::mutex> lock(RegistrationLock());
        lpszName = pNames->insert(std::wstring(name.GetString())).first->c_str();
    }
    WNDCLASS wndcls = {};
    wndcls.style = nClassStyle;
    wndcls.lpfnWndProc = AfxGetAfxWndProc();
    wndcls.hInstance = hInstance;
    wndcls.hIcon = hIcon;
    wndcls.hCursor = hCursor;
    wndcls.hbrBackground = hbrBackground;
    wndcls.lpszClassName = lpszName;
    if (!AfxRegisterClass(&wndcls))
        AfxThrowResourceException();
    return lpszName;
}

BOOL AFXAPI AfxDeferRegisterClass(LONG fToRegister)
{
    WNDCLASS wndcls = {};
    wndcls.lpfnWndProc = AfxGetAfxWndProc();
    wndcls.hInstance = AfxGetInstanceHandle();
    wndcls.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    BOOL bResult = TRUE;
    if (fToRegister & AFX_WND_REG) {
        wndcls.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wndcls.lpszClassName = AFX_WND_CLASS;
        bResult = bResult && AfxRegisterClass(&wndcls);
    }
    if (fToRegister & AFX_WNDOLECONTROL_REG) {
        wndcls.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wndcls.lpszClassName = AFX_WNDOLECONTROL_CLASS;
        bResult = bResult && AfxRegisterClass(&wndcls);
    }
    if (fToRegister & AFX_WNDCONTROLBAR_REG) {
        wndcls.style = 0;
        wndcls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wndcls.lpszClassName = AFX_WNDCONTROLBAR_CLASS;
        bResult = bResult && AfxRegisterClass(&wndcls);
        wndcls.hbrBackground = NULL;
    }
    if (fToRegister & AFX_WNDMDIFRAME_REG) {
        wndcls.style = CS_DBLCLKS;
        wndcls.hIcon = ::LoadIcon(NULL, IDI_APPLICATION);
        wndcls.lpszClassName = AFX_WNDMDIFRAME_CLASS;
        bResult = bResult && AfxRegisterClass(&wndcls);
        wndcls.hIcon = NULL;
    }
    if (fToRegister & AFX_WNDFRAMEORVIEW_REG) {
        wndcls.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wndcls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        wndcls.hIcon = ::LoadIcon(NULL, IDI_APPLICATION);
        wndcls.lpszClassName = AFX_WNDFRAMEORVIEW_CLASS;
        bResult = bResult && AfxRegisterClass(&wndcls);
    }
    if (fToRegister & AFX_WNDCOMMCTLS_REG)
        bResult = bResult && AfxInitCommonControls();
    return bResult;
}

BOOL AFXAPI AfxInitCommonControls()
{
    static const BOOL bInitialised = [] {
        INITCOMMONCONTROLSEX init = {};
        init.dwSize = sizeof(init);
        init.dwICC = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES |
                     ICC_INTERNET_CLASSES | ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS |
                     ICC_STANDARD_CLASSES | ICC_LINK_CLASS;
        return ::InitCommonControlsEx(&init);
    }();
    return bInitialised;
}

BOOL AFXAPI AfxInitRichEdit2()
{
    static const BOOL bLoaded = [] {
        // The newest library first; each registers its own classes (RICHEDIT50W, RichEdit20W).
        HMODULE hModule = ::LoadLibraryW(L"riched20.dll");
        ::LoadLibraryW(L"msftedit.dll");
        return hModule != NULL;
    }();
    return bLoaded;
}
