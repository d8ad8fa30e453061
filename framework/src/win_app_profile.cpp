// CWinApp's profile: values under HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>
// after SetRegistryKey, else in the INI file named by m_pszProfileName. Sections may name nested
// keys ("Bars\Standard").
#include <afxwin.h>

#include <cstring>
#include <memory>

namespace {

// The INI form of a byte block: two letters a byte, 'A' plus the low nibble, then the high nibble.
CString BytesToLetters(const BYTE* pData, UINT nBytes)
{
    CString text;
    LPTSTR lpsz = text.GetBuffer(static_cast<int>(nBytes * 2));
    for (UINT i = 0; i < nBytes; ++i) {
        lpsz[i * 2] = static_cast<wchar_t>((pData[i] & 0x0F) + L'A');
        lpsz[i * 2 + 1] = static_cast<wchar_t>(((pData[i] >> 4) & 0x0F) + L'A');
    }
    text.ReleaseBuffer(static_cast<int>(nBytes * 2));
    return text;
}

bool LettersToBytes(const CString& text, LPBYTE* ppData, UINT* pBytes)
{
    const int nLength = text.GetLength();
    if (nLength == 0 || (nLength % 2) != 0)
        return false;
    const UINT nBytes = static_cast<UINT>(nLength / 2);
    std::unique_ptr<BYTE[]> pData(new BYTE[nBytes]);
    for (UINT i = 0; i < nBytes; ++i) {
        const wchar_t low = text[static_cast<int>(i * 2)];
        const wchar_t high = text[static_cast<int>(i * 2 + 1)];
        if (low < L'A' || low > L'P' || high < L'A' || high > L'P')
            return false; // not a block this framework wrote
        pData[i] = static_cast<BYTE>(((high - L'A') << 4) | (low - L'A'));
    }
    *ppData = pData.release();
    *pBytes = nBytes;
    return true;
}

// Reads a value of the expected type; the data is whole and, for text, terminated.
bool QueryValue(HKEY hKey, LPCTSTR lpszEntry, DWORD dwExpectedType, std::unique_ptr<BYTE[]>& data,
                DWORD& dwSize)
{
    DWORD dwType = 0;
    dwSize = 0;
    if (::RegQueryValueEx(hKey, lpszEntry, NULL, &dwType, NULL, &dwSize) != ERROR_SUCCESS)
        return false;
    if (dwType != dwExpectedType && !(dwExpectedType == REG_SZ && dwType == REG_EXPAND_SZ))
        return false;
    // The value may grow between the two calls; the loop takes the size the second call reports.
    for (int nAttempt = 0; nAttempt < 4; ++nAttempt) {
        data.reset(new BYTE[dwSize + sizeof(wchar_t)]);
        DWORD dwRead = dwSize;
        const LONG lResult = ::RegQueryValueEx(hKey, lpszEntry, NULL, &dwType, data.get(), &dwRead);
        if (lResult == ERROR_MORE_DATA) {
            dwSize = dwRead;
            continue;
        }
        if (lResult != ERROR_SUCCESS)
            return false;
        dwSize = dwRead;
        data[dwSize] = 0;
        data[dwSize + 1] = 0;
        return true;
    }
    return false;
}

} // namespace

HKEY CWinApp::GetAppRegistryKey()
{
    if (m_pszRegistryKey == NULL || m_pszProfileName == NULL)
        return NULL;
    HKEY hSoftKey = NULL;
    if (::RegOpenKeyEx(HKEY_CURRENT_USER, L"Software", 0, KEY_WRITE | KEY_READ, &hSoftKey) != ERROR_SUCCESS)
        return NULL;
    HKEY hCompanyKey = NULL;
    HKEY hAppKey = NULL;
    DWORD dwDisposition = 0;
    if (::RegCreateKeyEx(hSoftKey, m_pszRegistryKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                         NULL, &hCompanyKey, &dwDisposition) == ERROR_SUCCESS) {
        ::RegCreateKeyEx(hCompanyKey, m_pszProfileName, 0, NULL, REG_OPTION_NON_VOLATILE,
                         KEY_WRITE | KEY_READ, NULL, &hAppKey, &dwDisposition);
        ::RegCloseKey(hCompanyKey);
    }
    ::RegCloseKey(hSoftKey);
    return hAppKey;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    if (lpszSection == NULL)
        return NULL;
    HKEY hAppKey = GetAppRegistryKey();
    if (hAppKey == NULL)
        return NULL;
    HKEY hSectionKey = NULL;
    DWORD dwDisposition = 0;
    ::RegCreateKeyEx(hAppKey, lpszSection, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, NULL,
                     &hSectionKey, &dwDisposition);
    ::RegCloseKey(hAppKey);
    return hSectionKey;
}

HKEY CWinApp::OpenSectionKeyForRead(LPCTSTR lpszSection)
{
    // Reading leaves the registry as it was: no keys are made for settings never written.
    if (lpszSection == NULL || m_pszRegistryKey == NULL || m_pszProfileName == NULL)
        return NULL;
    CString path;
    path.Format(L"Software\\%s\\%s\\%s", m_pszRegistryKey, m_pszProfileName, lpszSection);
    HKEY hKey = NULL;
    if (::RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return NULL;
    return hKey;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (lpszSection == NULL || lpszEntry == NULL)
        return static_cast<UINT>(nDefault);
    if (m_pszRegistryKey == NULL)
        return ::GetPrivateProfileInt(lpszSection, lpszEntry, nDefault, m_pszProfileName);
    HKEY hSectionKey = OpenSectionKeyForRead(lpszSection);
    if (hSectionKey == NULL)
        return static_cast<UINT>(nDefault);
    DWORD dwValue = 0;
    DWORD dwType = 0;
    DWORD dwCount = sizeof(DWORD);
    const LONG lResult = ::RegQueryValueEx(hSectionKey, lpszEntry, NULL, &dwType,
                                           reinterpret_cast<LPBYTE>(&dwValue), &dwCount);
    ::RegCloseKey(hSectionKey);
    if (lResult == ERROR_SUCCESS && dwType == REG_DWORD && dwCount == sizeof(DWORD))
        return static_cast<UINT>(dwValue);
    return static_cast<UINT>(nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (lpszSection == NULL || lpszEntry == NULL)
        return FALSE;
    if (m_pszRegistryKey == NULL) {
        CString text;
        text.Format(L"%d", nValue);
        return ::WritePrivateProfileString(lpszSection, lpszEntry, text, m_pszProfileName);
    }
    HKEY hSectionKey = GetSectionKey(lpszSection);
    if (hSectionKey == NULL)
        return FALSE;
    const DWORD dwValue = static_cast<DWORD>(nValue);
    const LONG lResult = ::RegSetValueEx(hSectionKey, lpszEntry, 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    ::RegCloseKey(hSectionKey);
    return lResult == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    const CString defaultText(lpszDefault != NULL ? lpszDefault : L"");
    if (lpszSection == NULL || lpszEntry == NULL)
        return defaultText;
    if (m_pszRegistryKey == NULL) {
        // The buffer grows until the whole value fits.
        for (DWORD dwSize = 4096; dwSize <= 1024 * 1024; dwSize *= 4) {
            CString text;
            const DWORD dwCopied =
                ::GetPrivateProfileString(lpszSection, lpszEntry, defaultText,
                                          text.GetBuffer(static_cast<int>(dwSize)), dwSize, m_pszProfileName);
            text.ReleaseBuffer(static_cast<int>(dwCopied));
            if (dwCopied < dwSize - 1)
                return text;
        }
        return defaultText;
    }
    HKEY hSectionKey = OpenSectionKeyForRead(lpszSection);
    if (hSectionKey == NULL)
        return defaultText;
    std::unique_ptr<BYTE[]> data;
    DWORD dwSize = 0;
    const bool bFound = QueryValue(hSectionKey, lpszEntry, REG_SZ, data, dwSize);
    ::RegCloseKey(hSectionKey);
    if (!bFound)
        return defaultText;
    // Up to the first terminator; a value stored without one ends at its size.
    return CString(reinterpret_cast<const wchar_t*>(data.get()));
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (lpszSection == NULL)
        return FALSE;
    if (m_pszRegistryKey == NULL)
        return ::WritePrivateProfileString(lpszSection, lpszEntry, lpszValue, m_pszProfileName);

    LONG lResult = ERROR_SUCCESS;
    if (lpszEntry == NULL) {
        // The whole section goes, with the sections below it.
        HKEY hAppKey = GetAppRegistryKey();
        if (hAppKey == NULL)
            return FALSE;
        lResult = ::RegDeleteTree(hAppKey, lpszSection);
        if (lResult == ERROR_SUCCESS)
            lResult = ::RegDeleteKey(hAppKey, lpszSection);
        ::RegCloseKey(hAppKey);
        return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
    }
    HKEY hSectionKey = GetSectionKey(lpszSection);
    if (hSectionKey == NULL)
        return FALSE;
    if (lpszValue == NULL) {
        lResult = ::RegDeleteValue(hSectionKey, lpszEntry);
        if (lResult == ERROR_FILE_NOT_FOUND)
            lResult = ERROR_SUCCESS;
    } else {
        const DWORD dwBytes = static_cast<DWORD>((::lstrlen(lpszValue) + 1) * sizeof(wchar_t));
        lResult = ::RegSetValueEx(hSectionKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                  dwBytes);
    }
    ::RegCloseKey(hSectionKey);
    return lResult == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
    if (ppData == NULL || pBytes == NULL)
        return FALSE;
    *ppData = NULL;
    *pBytes = 0;
    if (lpszSection == NULL || lpszEntry == NULL)
        return FALSE;
    if (m_pszRegistryKey == NULL) {
        const CString text = GetProfileString(lpszSection, lpszEntry, NULL);
        return LettersToBytes(text, ppData, pBytes);
    }
    HKEY hSectionKey = OpenSectionKeyForRead(lpszSection);
    if (hSectionKey == NULL)
        return FALSE;
    std::unique_ptr<BYTE[]> data;
    DWORD dwSize = 0;
    const bool bFound = QueryValue(hSectionKey, lpszEntry, REG_BINARY, data, dwSize);
    ::RegCloseKey(hSectionKey);
    if (!bFound)
        return FALSE;
    // The caller frees with delete[]; an empty value gives an empty (but allocated) block.
    *ppData = new BYTE[dwSize > 0 ? dwSize : 1];
    std::memcpy(*ppData, data.get(), dwSize);
    *pBytes = dwSize;
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (lpszSection == NULL || lpszEntry == NULL || (pData == NULL && nBytes != 0))
        return FALSE;
    if (m_pszRegistryKey == NULL)
        return WriteProfileString(lpszSection, lpszEntry, BytesToLetters(pData, nBytes));
    HKEY hSectionKey = GetSectionKey(lpszSection);
    if (hSectionKey == NULL)
        return FALSE;
    const LONG lResult = ::RegSetValueEx(hSectionKey, lpszEntry, 0, REG_BINARY, pData, nBytes);
    ::RegCloseKey(hSectionKey);
    return lResult == ERROR_SUCCESS;
}
