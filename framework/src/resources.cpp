#include <afxwin.h>

HINSTANCE AFXAPI AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType)
{
    HINSTANCE hResource = AfxGetResourceHandle();
    if (::FindResourceW(hResource, lpszName, lpszType) != NULL)
        return hResource;
    HINSTANCE hInstance = AfxGetInstanceHandle();
    if (hInstance != hResource && ::FindResourceW(hInstance, lpszName, lpszType) != NULL)
        return hInstance;
    return hResource;
}

namespace {

// Strings live in blocks of sixteen; block (id / 16) + 1 holds string id.
HINSTANCE FindStringHandle(UINT nID)
{
    return AfxFindResourceHandle(MAKEINTRESOURCEW((nID >> 4) + 1), RT_STRING);
}

} // namespace

int AFXAPI AfxLoadString(UINT nID, LPWSTR lpszBuf, UINT nMaxBuf)
{
    if (lpszBuf == NULL || nMaxBuf == 0)
        return 0;
    const int nLength = ::LoadStringW(FindStringHandle(nID), nID, lpszBuf, static_cast<int>(nMaxBuf));
    if (nLength <= 0) {
        lpszBuf[0] = 0;
        return 0;
    }
    return nLength;
}

BOOL CString::LoadString(UINT nID)
{
    return LoadString(FindStringHandle(nID), nID);
}

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID)
{
    // With a buffer size of 0 the system hands out a pointer to the resource text itself.
    const wchar_t* pText = NULL;
    const int nLength = ::LoadStringW(hInstance, nID, reinterpret_cast<LPWSTR>(&pText), 0);
    if (nLength <= 0 || pText == NULL)
        return FALSE;
    *this = CString(pText, nLength);
    return TRUE;
}
