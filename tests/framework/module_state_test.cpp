#include <afxwin.h>

#include <gtest/gtest.h>

TEST(ModuleState, ResourcesComeFromTheResourceHandleThenTheInstance)
{
    const HINSTANCE hExe = GetModuleHandleW(NULL);
    EXPECT_EQ(AfxGetInstanceHandle(), hExe);
    EXPECT_EQ(AfxGetResourceHandle(), hExe);

    WCHAR buffer[64];
    EXPECT_EQ(AfxLoadString(101, buffer, _countof(buffer)), 10);
    EXPECT_STREQ(buffer, L"Hello, %1!");
    EXPECT_EQ(AfxLoadString(117, buffer, 8), 7) << "cut to the buffer, still terminated";
    EXPECT_STREQ(buffer, L"Sevente");
    EXPECT_EQ(AfxLoadString(4000, buffer, _countof(buffer)), 0);
    EXPECT_STREQ(buffer, L"");

    // A resource module without the string: the lookup falls back to the executable.
    const HINSTANCE hOther = GetModuleHandleW(L"kernel32.dll");
    AfxSetResourceHandle(hOther);
    EXPECT_EQ(AfxGetResourceHandle(), hOther);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW((101 >> 4) + 1), RT_STRING), hExe);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(31999), RT_STRING), hOther)
        << "missing: the resource module";
    EXPECT_EQ(AfxLoadString(101, buffer, _countof(buffer)), 10);
    AfxSetResourceHandle(NULL);
    EXPECT_EQ(AfxGetResourceHandle(), hExe);
}

TEST(ModuleState, ManagedStateLastsForItsScope)
{
    AFX_MODULE_STATE other;
    other.m_hCurrentInstanceHandle = reinterpret_cast<HINSTANCE>(0x10000);
    AFX_MODULE_STATE* pApp = AfxGetModuleState();
    {
        AFX_MANAGE_STATE(&other);
        EXPECT_EQ(AfxGetModuleState(), &other);
        EXPECT_EQ(AfxGetInstanceHandle(), reinterpret_cast<HINSTANCE>(0x10000));
    }
    EXPECT_EQ(AfxGetModuleState(), pApp);
    EXPECT_EQ(AfxGetStaticModuleState(), pApp);
}
