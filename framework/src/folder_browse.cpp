#include <afxdlgs.h>

#include <shlobj.h>

namespace {

int CALLBACK BrowseCallback(HWND hWnd, UINT uMsg, LPARAM, LPARAM lpData)
{
    if (uMsg == BFFM_INITIALIZED && lpData != 0)
        ::SendMessage(hWnd, BFFM_SETSELECTION, TRUE, lpData);
    return 0;
}

} // namespace

BOOL AFXAPI AfxBrowseForFolder(CWnd* pOwner, LPCTSTR lpszTitle, CString& strFolder, UINT ulFlags,
                               LPCTSTR lpszInitialFolder)
{
    // The new dialog style needs COM on this thread; a thread that had it keeps its model.
    const HRESULT hrInit = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);

    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFO info = {};
    HWND hWndOwner = pOwner->GetSafeHwnd();
    if (hWndOwner == NULL)
        hWndOwner = AfxGetMainWnd()->GetSafeHwnd();
    info.hwndOwner = hWndOwner;
    info.pszDisplayName = displayName;
    info.lpszTitle = lpszTitle;
    info.ulFlags = ulFlags;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(lpszInitialFolder);

    BOOL bChosen = FALSE;
    PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolder(&info);
    if (pidl != NULL) {
        wchar_t path[MAX_PATH] = {};
        if (::SHGetPathFromIDList(pidl, path) && path[0] != 0) {
            strFolder = path;
            bChosen = TRUE;
        }
        ::CoTaskMemFree(pidl);
    }
    if (SUCCEEDED(hrInit))
        ::CoUninitialize();
    return bChosen;
}
