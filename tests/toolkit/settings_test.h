// What the settings and image-manager tests share: a scratch registry key that the tests delete,
// raw reads of its values, and the application's profile names set for a test.
#pragma once

#include <afxwin.h>

#include <string>
#include <vector>

#define kScratchCompany L"CorvaneToolkitSettingsTest"
#define kScratchPath L"Software\\" kScratchCompany

struct RawValue
{
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
    std::wstring Text() const;
    DWORD Dword() const;
};

// HKCU\Software\<kScratchCompany>, empty at the start and deleted at the end.
class ScratchRegistry
{
public:
    ScratchRegistry();
    ~ScratchRegistry();
    HKEY Key() const { return m_hKey; }
    RawValue Raw(LPCWSTR lpszSubKey, LPCWSTR lpszName) const;
    bool KeyExists(LPCWSTR lpszSubKey) const;
    void SetRaw(LPCWSTR lpszSubKey, LPCWSTR lpszName, DWORD dwType, const void* pData, DWORD nBytes);

private:
    HKEY m_hKey = NULL;
};

class AppProfileNames
{
public:
    AppProfileNames(LPCTSTR lpszRegistryKey, LPCTSTR lpszProfileName);
    ~AppProfileNames();

private:
    LPCTSTR m_lpszRegistryKey;
    LPCTSTR m_lpszProfileName;
};

class CSettingsTestItem : public CObject
{
    DECLARE_SERIAL(CSettingsTestItem)
public:
    void Serialize(CArchive& ar) override;
    long m_nValue = 0;
};
