// The application's registry key moved under a scratch key of a test program's own, removed before
// and after each test; the values of its sections read back raw and written by hand.
#pragma once

#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace commandbars_test {

// Name -> (type, bytes).
using RegistryValues = std::map<CString, std::pair<DWORD, std::vector<BYTE>>>;

class ScratchRegistryTest : public ::testing::Test
{
protected:
    ScratchRegistryTest(LPCWSTR lpszRegistryKey, LPCWSTR lpszProfileName)
        : m_lpszRegistryKey(lpszRegistryKey), m_lpszProfileName(lpszProfileName)
    {}
    void SetUp() override
    {
        m_lpszSavedKey = theApp.m_pszRegistryKey;
        m_lpszSavedProfile = theApp.m_pszProfileName;
        theApp.m_pszRegistryKey = m_lpszRegistryKey;
        theApp.m_pszProfileName = m_lpszProfileName;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Root());
    }
    void TearDown() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Root());
        theApp.m_pszRegistryKey = m_lpszSavedKey;
        theApp.m_pszProfileName = m_lpszSavedProfile;
    }
    // While a test runs the application's names are the scratch ones.
    static CString Root() { return CString(L"Software\\") + theApp.m_pszRegistryKey; }
    static CString SectionPath(LPCWSTR lpszSection)
    {
        return Root() + L"\\" + theApp.m_pszProfileName + L"\\" + lpszSection;
    }
    static RegistryValues ReadValues(LPCWSTR lpszSection)
    {
        RegistryValues values;
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(lpszSection), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return values;
        for (DWORD i = 0;; ++i) {
            WCHAR szName[256];
            DWORD nName = 256;
            std::vector<BYTE> data(64 * 1024);
            DWORD nData = static_cast<DWORD>(data.size());
            DWORD dwType = 0;
            if (::RegEnumValueW(hKey, i, szName, &nName, NULL, &dwType, data.data(), &nData) != ERROR_SUCCESS)
                break;
            data.resize(nData);
            values[szName] = {dwType, data};
        }
        ::RegCloseKey(hKey);
        return values;
    }
    static void WriteValue(LPCWSTR lpszSection, LPCWSTR lpszName, DWORD dwType, const void* pData,
                           DWORD nBytes)
    {
        HKEY hKey = NULL;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(lpszSection), 0, NULL, 0,
                                                   KEY_WRITE, NULL, &hKey, NULL));
        ::RegSetValueExW(hKey, lpszName, 0, dwType, static_cast<const BYTE*>(pData), nBytes);
        ::RegCloseKey(hKey);
    }
    static void WriteDword(LPCWSTR lpszSection, LPCWSTR lpszName, DWORD dwValue)
    {
        WriteValue(lpszSection, lpszName, REG_DWORD, &dwValue, sizeof(dwValue));
    }
    static DWORD Dword(const std::vector<BYTE>& bytes)
    {
        DWORD dw = 0;
        std::memcpy(&dw, bytes.data(), std::min<size_t>(4, bytes.size()));
        return dw;
    }
    // A REG_DWORD value, or 0xBAADF00D when there is none of that name and type.
    static DWORD Dword(const RegistryValues& values, LPCWSTR lpszName)
    {
        auto it = values.find(lpszName);
        if (it == values.end() || it->second.first != REG_DWORD || it->second.second.size() != 4)
            return 0xBAADF00D;
        return Dword(it->second.second);
    }

private:
    LPCWSTR m_lpszRegistryKey;
    LPCWSTR m_lpszProfileName;
    LPCTSTR m_lpszSavedKey = NULL;
    LPCTSTR m_lpszSavedProfile = NULL;
};

} // namespace commandbars_test
