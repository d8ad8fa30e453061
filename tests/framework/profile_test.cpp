// The application profile: values written under a test key are read back raw from the registry
// with their names and types; without a registry key they go to an INI file.
#include <afxwin.h>

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "test_app.h"

namespace {

const wchar_t kTestCompany[] = L"CorvaneFrameworkProfileTest";

struct RawValue
{
    bool bFound = false;
    DWORD dwType = 0;
    std::vector<BYTE> data;
};

RawValue ReadRaw(const CString& keyPath, LPCWSTR lpszName)
{
    RawValue value;
    HKEY hKey = NULL;
    if (::RegOpenKeyEx(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return value;
    DWORD dwSize = 0;
    if (::RegQueryValueEx(hKey, lpszName, NULL, &value.dwType, NULL, &dwSize) == ERROR_SUCCESS) {
        value.data.resize(dwSize);
        value.bFound = ::RegQueryValueEx(hKey, lpszName, NULL, &value.dwType, value.data.data(), &dwSize) ==
                       ERROR_SUCCESS;
    }
    ::RegCloseKey(hKey);
    return value;
}

bool KeyExists(const CString& keyPath)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyEx(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

class Profile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RemoveTestKey();
        m_oldProfileName = theApp.m_pszProfileName;
        theApp.SetRegistryKey(kTestCompany);
        m_appKey.Format(L"Software\\%s\\%s", kTestCompany, theApp.m_pszProfileName);
    }
    void TearDown() override
    {
        // Back to the INI profile the application had; the test key goes.
        free(const_cast<LPTSTR>(theApp.m_pszRegistryKey));
        theApp.m_pszRegistryKey = NULL;
        free(const_cast<LPTSTR>(theApp.m_pszProfileName));
        theApp.m_pszProfileName = _wcsdup(m_oldProfileName);
        RemoveTestKey();
    }
    static void RemoveTestKey()
    {
        CString path;
        path.Format(L"Software\\%s", kTestCompany);
        ::RegDeleteTree(HKEY_CURRENT_USER, path);
        ::RegDeleteKey(HKEY_CURRENT_USER, path);
    }
    CString m_oldProfileName;
    CString m_appKey;
};

TEST_F(Profile, ValuesAreStoredWithTheirNamesAndTypes)
{
    const BYTE block[] = {0x12, 0xAB, 0x00, 0xFF};
    ASSERT_TRUE(theApp.WriteProfileInt(L"Settings", L"Count", -3));
    ASSERT_TRUE(theApp.WriteProfileString(L"Settings", L"Name", L"Corvane \u00e9"));
    ASSERT_TRUE(
        theApp.WriteProfileBinary(L"Bars\\Standard", L"Layout", const_cast<LPBYTE>(block), sizeof(block)));

    const RawValue count = ReadRaw(m_appKey + L"\\Settings", L"Count");
    ASSERT_TRUE(count.bFound);
    EXPECT_EQ(count.dwType, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(count.data.size(), 4u);
    DWORD dwCount = 0;
    std::memcpy(&dwCount, count.data.data(), 4);
    EXPECT_EQ(dwCount, 0xFFFFFFFDu);

    const RawValue name = ReadRaw(m_appKey + L"\\Settings", L"Name");
    ASSERT_TRUE(name.bFound);
    EXPECT_EQ(name.dwType, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(name.data.size(), (9 + 1) * sizeof(wchar_t)); // the terminator is stored too
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(name.data.data()), L"Corvane \u00e9");

    // A section with a backslash is a key below a key.
    const RawValue layout = ReadRaw(m_appKey + L"\\Bars\\Standard", L"Layout");
    ASSERT_TRUE(layout.bFound);
    EXPECT_EQ(layout.dwType, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(layout.data, std::vector<BYTE>(block, block + sizeof(block)));

    // And read back through the profile.
    EXPECT_EQ(static_cast<int>(theApp.GetProfileInt(L"Settings", L"Count", 0)), -3);
    EXPECT_EQ(theApp.GetProfileString(L"Settings", L"Name"), L"Corvane \u00e9");
    LPBYTE pData = NULL;
    UINT nBytes = 0;
    ASSERT_TRUE(theApp.GetProfileBinary(L"Bars\\Standard", L"Layout", &pData, &nBytes));
    EXPECT_EQ(std::vector<BYTE>(pData, pData + nBytes), std::vector<BYTE>(block, block + sizeof(block)));
    delete[] pData;
}

TEST_F(Profile, MissingOrMistypedValuesGiveTheDefaultWithoutMakingKeys)
{
    EXPECT_EQ(theApp.GetProfileInt(L"Nowhere", L"Count", 17), 17u);
    EXPECT_EQ(theApp.GetProfileString(L"Nowhere", L"Name", L"fallback"), L"fallback");
    EXPECT_EQ(theApp.GetProfileString(L"Nowhere", L"Name"), L"");
    LPBYTE pData = reinterpret_cast<LPBYTE>(1);
    UINT nBytes = 5;
    EXPECT_FALSE(theApp.GetProfileBinary(L"Nowhere", L"Block", &pData, &nBytes));
    EXPECT_EQ(pData, nullptr);
    EXPECT_EQ(nBytes, 0u);
    EXPECT_FALSE(KeyExists(m_appKey + L"\\Nowhere"));

    // A value of another type is not taken for the one asked for.
    ASSERT_TRUE(theApp.WriteProfileString(L"Mixed", L"Value", L"12"));
    EXPECT_EQ(theApp.GetProfileInt(L"Mixed", L"Value", 5), 5u);
    ASSERT_TRUE(theApp.WriteProfileInt(L"Mixed", L"Number", 9));
    EXPECT_EQ(theApp.GetProfileString(L"Mixed", L"Number", L"none"), L"none");
}

TEST_F(Profile, NullEntryDeletesTheSectionAndNullValueTheEntry)
{
    ASSERT_TRUE(theApp.WriteProfileString(L"Gone", L"A", L"1"));
    ASSERT_TRUE(theApp.WriteProfileString(L"Gone", L"B", L"2"));
    ASSERT_TRUE(theApp.WriteProfileInt(L"Gone\\Deeper", L"C", 3));
    ASSERT_TRUE(theApp.WriteProfileString(L"Gone", L"A", NULL));
    EXPECT_FALSE(ReadRaw(m_appKey + L"\\Gone", L"A").bFound);
    EXPECT_TRUE(ReadRaw(m_appKey + L"\\Gone", L"B").bFound);
    ASSERT_TRUE(theApp.WriteProfileString(L"Gone", NULL, NULL));
    EXPECT_FALSE(KeyExists(m_appKey + L"\\Gone"));
    EXPECT_TRUE(KeyExists(m_appKey)); // the application's key stays
}

TEST_F(Profile, WithoutARegistryKeyTheProfileIsAnIniFile)
{
    wchar_t tempFolder[MAX_PATH] = {};
    ::GetTempPath(MAX_PATH, tempFolder);
    CString iniPath(tempFolder);
    iniPath += L"corvane_profile_test.ini";
    ::DeleteFile(iniPath);
    free(const_cast<LPTSTR>(theApp.m_pszRegistryKey));
    theApp.m_pszRegistryKey = NULL;
    free(const_cast<LPTSTR>(theApp.m_pszProfileName));
    theApp.m_pszProfileName = _wcsdup(iniPath);

    const BYTE block[] = {0x12, 0xAB};
    ASSERT_TRUE(theApp.WriteProfileInt(L"Settings", L"Count", 12));
    ASSERT_TRUE(theApp.WriteProfileString(L"Settings", L"Name", L"text"));
    ASSERT_TRUE(theApp.WriteProfileBinary(L"Settings", L"Block", const_cast<LPBYTE>(block), sizeof(block)));
    wchar_t raw[64] = {};
    ::GetPrivateProfileString(L"Settings", L"Block", L"", raw, 64, iniPath);
    EXPECT_STREQ(raw, L"CBLK"); // low nibble first, each as 'A' plus its value
    ::GetPrivateProfileString(L"Settings", L"Count", L"", raw, 64, iniPath);
    EXPECT_STREQ(raw, L"12");

    EXPECT_EQ(theApp.GetProfileInt(L"Settings", L"Count", 0), 12u);
    EXPECT_EQ(theApp.GetProfileString(L"Settings", L"Name"), L"text");
    LPBYTE pData = NULL;
    UINT nBytes = 0;
    ASSERT_TRUE(theApp.GetProfileBinary(L"Settings", L"Block", &pData, &nBytes));
    EXPECT_EQ(std::vector<BYTE>(pData, pData + nBytes), std::vector<BYTE>(block, block + sizeof(block)));
    delete[] pData;
    // Text that is not a block this profile wrote is refused rather than misread.
    ASSERT_TRUE(theApp.WriteProfileString(L"Settings", L"Bad", L"CBZ"));
    EXPECT_FALSE(theApp.GetProfileBinary(L"Settings", L"Bad", &pData, &nBytes));
    ::DeleteFile(iniPath);
}

} // namespace
