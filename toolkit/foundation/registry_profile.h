// The toolkit's own profile values (strings and byte blocks) under
// <root>\Software\<registry key>\<profile name>\<section>, the place the application's profile uses;
// or, while the toolkit-wide INI path is set, in that private INI file.
#pragma once

#include <afxwin.h>

// Empty: the registry. Not empty: a private INI file of that path.
CString& AFXAPI XTGetProfileIniPath();

// Reads a REG_SZ value whatever its stored size says: an odd size or a missing terminator still
// gives a terminated text (of at most size / 2 + 1 characters). FALSE when the value is missing,
// larger than nMaxBytes or cannot be held.
BOOL AFXAPI XTRegQueryText(HKEY hKey, LPCWSTR lpszName, CString& strValue, DWORD nMaxBytes);

class CXTRegistryProfile
{
public:
    explicit CXTRegistryProfile(HKEY hKeyRoot = HKEY_CURRENT_USER);
    virtual ~CXTRegistryProfile() = default;

    // root\Software\company\application, the last two created when missing; the caller closes it.
    virtual HKEY GetAppKey(REGSAM samDesired);
    // The section below the application key, created when missing; the caller closes it.
    virtual HKEY GetSectionKey(LPCTSTR lpszSection, REGSAM samDesired);

    // 1 written, 0 failed, -1 the registry refused access. A null name deletes the section's key,
    // a null text the value.
    int WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = NULL);
    int WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, const BYTE* pData, UINT nBytes);
    // The buffer is made with new[] and belongs to the caller.
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes);

    // Stored blocks and texts above this are not read.
    static const DWORD s_nMaxValueBytes = 16 * 1024 * 1024;

protected:
    // Takes the names from the application when they are still empty; FALSE when either stays so.
    BOOL InitNames();

    HKEY m_hKeyRoot;
    LPCTSTR m_lpszCompany;
    LPCTSTR m_lpszApplication;
};
