// The document types in the user's classes root, read back raw: what RegisterShellFileTypes
// writes, that another program's extension stays its own, and that unregistering takes away
// exactly what was written.
#include <afxwin.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "shell_test_ids.h"
#include "shell_test_support.h"
#include "test_app.h"

namespace {

const wchar_t* const kKeys[] = {L"Test.Document", L"Test.Part", L".tdoc", L".tprt", L".tnot"};

CString ClassesKey(const CString& subKey)
{
    return L"Software\\Classes\\" + subKey;
}

void RemoveTestKeys()
{
    for (const wchar_t* key : kKeys) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ClassesKey(key));
        ::RegDeleteKeyW(HKEY_CURRENT_USER, ClassesKey(key));
    }
}

void SetClassesDefault(const CString& subKey, const std::wstring& value)
{
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, ClassesKey(subKey), 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey,
                                NULL),
              ERROR_SUCCESS);
    const std::vector<BYTE> bytes = StringBytes(value);
    ::RegSetValueExW(hKey, NULL, 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(hKey);
}

// The program's path as the system gives it, with long names.
std::wstring ModulePath()
{
    wchar_t szModule[MAX_PATH] = {};
    ::GetModuleFileNameW(NULL, szModule, MAX_PATH);
    wchar_t szLong[MAX_PATH] = {};
    ::GetLongPathNameW(szModule, szLong, MAX_PATH);
    return szLong;
}

class ShellRegistration : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RemoveTestKeys();
        theApp.AddDocTemplate(NewShellTemplate(IDR_SHELL_DOC));
        theApp.AddDocTemplate(NewShellTemplate(IDR_SHELL_PART));
        theApp.AddDocTemplate(NewShellTemplate(IDR_SHELL_NO_TYPE));
    }
    void TearDown() override
    {
        delete theApp.m_pDocManager;
        theApp.m_pDocManager = NULL;
        RemoveTestKeys();
    }
    // Each key's default value must read back as the REG_SZ given.
    static void ExpectDefaults(const std::vector<std::pair<std::wstring, std::wstring>>& expected)
    {
        for (const auto& [key, value] : expected) {
            SCOPED_TRACE(key.c_str());
            const RawRegistryValue raw = ReadRawValue(HKEY_CURRENT_USER, ClassesKey(key.c_str()), NULL);
            ASSERT_TRUE(raw.bFound);
            EXPECT_EQ(raw.dwType, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(raw.data, StringBytes(value));
        }
    }
};

TEST_F(ShellRegistration, TypesGetQuotedFullPathCommandsAndFreeExtensions)
{
    const std::wstring exe = ModulePath();
    const std::wstring quoted = L"\"" + exe + L"\"";
    theApp.EnableShellOpen();
    theApp.RegisterShellFileTypes(TRUE);
    ExpectDefaults({
        {L"Test.Document", L"Test Document"},
        {L"Test.Document\\DefaultIcon", exe + L",0"},
        {L"Test.Document\\shell\\open\\command", quoted + L" \"%1\""},
        {L"Test.Document\\shell\\print\\command", quoted + L" /p \"%1\""},
        {L"Test.Document\\shell\\printto\\command", quoted + L" /pt \"%1\" \"%2\" \"%3\" \"%4\""},
        {L".tdoc", L"Test.Document"},
        {L"Test.Part", L"Test Part"},
        {L"Test.Part\\DefaultIcon", exe + L",1"},
        {L"Test.Part\\shell\\open\\command", quoted + L" \"%1\""},
        {L".tprt", L"Test.Part"},
    });
    // No DDE, and a template without a type id writes nothing.
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ClassesKey(L"Test.Document\\shell\\open\\ddeexec")));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ClassesKey(L".tnot")));

    // Registering again changes nothing; unregistering leaves nothing.
    theApp.RegisterShellFileTypes(TRUE);
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, ClassesKey(L".tdoc"), NULL).data,
              StringBytes(L"Test.Document"));
    theApp.UnregisterShellFileTypes();
    for (const wchar_t* key : kKeys)
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ClassesKey(key))) << key;
}

TEST_F(ShellRegistration, AnotherProgramsExtensionAndKeysStay)
{
    // ".tdoc" belongs to another program; ".tprt" exists with an empty default, which is free.
    SetClassesDefault(L".tdoc", L"Other.Type");
    SetClassesDefault(L".tprt", L"");
    theApp.RegisterShellFileTypes(FALSE);
    ExpectDefaults({
        {L".tdoc", L"Other.Type"},
        {L".tprt", L"Test.Part"},
        {L"Test.Document", L"Test Document"},
        {L"Test.Document\\shell\\open\\command", L"\"" + ModulePath() + L"\" \"%1\""},
    });
    // Without the compatibility option: no icon and no print verbs.
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ClassesKey(L"Test.Document\\DefaultIcon")));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ClassesKey(L"Test.Document\\shell\\print")));

    // A verb another program added to our type survives unregistering, and so do the keys that hold it.
    SetClassesDefault(L"Test.Document\\shell\\edit\\command", L"other.exe \"%1\"");
    theApp.UnregisterShellFileTypes();
    ExpectDefaults({
        {L".tdoc", L"Other.Type"},
        {L"Test.Document\\shell\\edit\\command", L"other.exe \"%1\""},
    });
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ClassesKey(L"Test.Document\\shell\\open")));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ClassesKey(L"Test.Part")));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ClassesKey(L".tprt")));
}

} // namespace
