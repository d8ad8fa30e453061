#include "registry_profile.h"

#include <cstring>
#include <memory>
#include <new>

CString& AFXAPI XTGetProfileIniPath()
{
    static CString s_strIniPath;
    return s_strIniPath;
}

namespace {
int MapWriteResult(LONG nResult)
{
    return nResult == ERROR_SUCCESS ? 1 : nResult == ERROR_ACCESS_DENIED ? -1 : 0;
}

BOOL IsEmptyText(LPCTSTR lpsz)
{
    return lpsz == NULL || *lpsz == 0;
}
} // namespace

BOOL AFXAPI XTRegQueryText(HKEY hKey, LPCWSTR lpszName, CString& strValue, DWORD nMaxBytes)
{
    DWORD dwType = 0;
    DWORD nSize = 0;
    if (RegQueryValueExW(hKey, lpszName, NULL, &dwType, NULL, &nSize) != ERROR_SUCCESS || nSize > nMaxBytes)
        return FALSE;
    try {
        const int nChars = static_cast<int>(nSize / 2) + 1;
        LPWSTR p = strValue.GetBuffer(nChars);
        std::memset(p, 0, nChars * sizeof(WCHAR));
        DWORD nRead = static_cast<DWORD>(nChars * sizeof(WCHAR));
        const LONG nResult =
            RegQueryValueExW(hKey, lpszName, NULL, &dwType, reinterpret_cast<BYTE*>(p), &nRead);
        p[nChars - 1] = 0;
        strValue.ReleaseBuffer();
        return nResult == ERROR_SUCCESS;
    } catch (CMemoryException* e) {
        e->Delete();
        strValue.Empty();
        return FALSE;
    }
}

CXTRegistryProfile::CXTRegistryProfile(HKEY hKeyRoot)
    : m_hKeyRoot(hKeyRoot), m_lpszCompany(NULL), m_lpszApplication(NULL)
{}

BOOL CXTRegistryProfile::InitNames()
{
    if (IsEmptyText(m_lpszCompany) || IsEmptyText(m_lpszApplication)) {
        if (CWinApp* pApp = AfxGetApp()) {
            m_lpszCompany = pApp->m_pszRegistryKey;
            m_lpszApplication = pApp->m_pszProfileName;
        }
    }
    return !IsEmptyText(m_lpszCompany) && !IsEmptyText(m_lpszApplication);
}

HKEY CXTRegistryProfile::GetAppKey(REGSAM samDesired)
{
    if (!InitNames())
        return NULL;
    HKEY hSoftKey = NULL;
    HKEY hCompanyKey = NULL;
    HKEY hAppKey = NULL;
    DWORD dw = 0;
    if (RegOpenKeyExW(m_hKeyRoot, L"Software", 0, samDesired, &hSoftKey) == ERROR_SUCCESS &&
        RegCreateKeyExW(hSoftKey, m_lpszCompany, 0, NULL, REG_OPTION_NON_VOLATILE, samDesired, NULL,
                        &hCompanyKey, &dw) == ERROR_SUCCESS &&
        RegCreateKeyExW(hCompanyKey, m_lpszApplication, 0, NULL, REG_OPTION_NON_VOLATILE, samDesired, NULL,
                        &hAppKey, &dw) != ERROR_SUCCESS)
        hAppKey = NULL;
    if (hSoftKey != NULL)
        RegCloseKey(hSoftKey);
    if (hCompanyKey != NULL)
        RegCloseKey(hCompanyKey);
    return hAppKey;
}

HKEY CXTRegistryProfile::GetSectionKey(LPCTSTR lpszSection, REGSAM samDesired)
{
    HKEY hAppKey = GetAppKey(samDesired);
    if (hAppKey == NULL)
        return NULL;
    HKEY hSectionKey = NULL;
    DWORD dw = 0;
    if (RegCreateKeyExW(hAppKey, lpszSection, 0, NULL, REG_OPTION_NON_VOLATILE, samDesired, NULL,
                        &hSectionKey, &dw) != ERROR_SUCCESS)
        hSectionKey = NULL;
    RegCloseKey(hAppKey);
    return hSectionKey;
}

int CXTRegistryProfile::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    const CString& strIni = XTGetProfileIniPath();
    if (!strIni.IsEmpty())
        return WritePrivateProfileStringW(lpszSection, lpszEntry, lpszValue, strIni) ? 1 : 0;
    if (!InitNames())
        return 0;

    LONG nResult = ERROR_INVALID_PARAMETER;
    if (lpszEntry == NULL) {
        HKEY hAppKey = GetAppKey(KEY_READ | KEY_WRITE);
        if (hAppKey == NULL)
            return 0;
        nResult = RegDeleteKeyW(hAppKey, lpszSection);
        RegCloseKey(hAppKey);
        return MapWriteResult(nResult);
    }
    HKEY hSectionKey = GetSectionKey(lpszSection, KEY_READ | KEY_WRITE);
    if (hSectionKey == NULL)
        return 0;
    if (lpszValue == NULL)
        nResult = RegDeleteValueW(hSectionKey, lpszEntry);
    else
        nResult = RegSetValueExW(hSectionKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                 static_cast<DWORD>((wcslen(lpszValue) + 1) * sizeof(WCHAR)));
    RegCloseKey(hSectionKey);
    return MapWriteResult(nResult);
}

CString CXTRegistryProfile::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    const CString strDefault(lpszDefault != NULL ? lpszDefault : L"");
    const CString& strIni = XTGetProfileIniPath();
    if (!strIni.IsEmpty()) {
        WCHAR szBuffer[4096];
        GetPrivateProfileStringW(lpszSection, lpszEntry, strDefault, szBuffer, 4096, strIni);
        return szBuffer;
    }
    if (!InitNames())
        return strDefault;
    HKEY hSectionKey = GetSectionKey(lpszSection, KEY_READ);
    if (hSectionKey == NULL)
        return strDefault;
    CString strValue;
    const BOOL bRead = XTRegQueryText(hSectionKey, lpszEntry, strValue, s_nMaxValueBytes);
    RegCloseKey(hSectionKey);
    return bRead ? strValue : strDefault;
}

int CXTRegistryProfile::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, const BYTE* pData,
                                           UINT nBytes)
{
    if (!XTGetProfileIniPath().IsEmpty()) {
        CString strText;
        LPWSTR p = strText.GetBuffer(static_cast<int>(nBytes * 2));
        for (UINT i = 0; i < nBytes; i++) {
            *p++ = static_cast<WCHAR>(L'A' + (pData[i] & 0x0F));
            *p++ = static_cast<WCHAR>(L'A' + ((pData[i] >> 4) & 0x0F));
        }
        strText.ReleaseBuffer(static_cast<int>(nBytes * 2));
        return WriteProfileString(lpszSection, lpszEntry, strText);
    }
    if (!InitNames())
        return 0;
    HKEY hSectionKey = GetSectionKey(lpszSection, KEY_READ | KEY_WRITE);
    if (hSectionKey == NULL)
        return 0;
    const LONG nResult = RegSetValueExW(hSectionKey, lpszEntry, 0, REG_BINARY, pData, nBytes);
    RegCloseKey(hSectionKey);
    return MapWriteResult(nResult);
}

BOOL CXTRegistryProfile::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes)
{
    *ppData = NULL;
    *pBytes = 0;
    if (!XTGetProfileIniPath().IsEmpty()) {
        const CString strText = GetProfileString(lpszSection, lpszEntry, NULL);
        if (strText.IsEmpty())
            return FALSE;
        const UINT nCount = static_cast<UINT>(strText.GetLength() / 2);
        BYTE* pData = new (std::nothrow) BYTE[nCount > 0 ? nCount : 1];
        if (pData == NULL)
            return FALSE;
        LPCWSTR p = strText.GetString();
        for (UINT i = 0; i < nCount; i++, p += 2)
            pData[i] = static_cast<BYTE>((p[1] - L'A') * 16 + (p[0] - L'A'));
        *ppData = pData;
        *pBytes = nCount;
        return TRUE;
    }
    if (!InitNames())
        return FALSE;
    HKEY hSectionKey = GetSectionKey(lpszSection, KEY_READ);
    if (hSectionKey == NULL)
        return FALSE;
    BOOL bResult = FALSE;
    DWORD dwType = 0;
    DWORD nSize = 0;
    if (RegQueryValueExW(hSectionKey, lpszEntry, NULL, &dwType, NULL, &nSize) == ERROR_SUCCESS &&
        nSize <= s_nMaxValueBytes) {
        BYTE* pData = new (std::nothrow) BYTE[nSize > 0 ? nSize : 1];
        DWORD nRead = nSize;
        if (pData != NULL &&
            RegQueryValueExW(hSectionKey, lpszEntry, NULL, &dwType, pData, &nRead) == ERROR_SUCCESS &&
            nRead <= nSize) {
            *ppData = pData;
            *pBytes = nRead;
            bResult = TRUE;
        } else {
            delete[] pData;
        }
    }
    RegCloseKey(hSectionKey);
    return bResult;
}
