// The resource layout compiled by windres: the common-controls manifest, string tables and the
// toolbar resource type.
#include <afxwin.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_app.h"
#include "window_test_ids.h"

namespace {

TEST(Resources, TheManifestRedirectsTheCommonControlsToVersion6)
{
    // The process's activation context comes from the manifest resource; it names the version 6
    // assembly, which redirects comctl32.dll.
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof(data);
    ASSERT_TRUE(::FindActCtxSectionString(0, NULL, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                          L"comctl32.dll", &data));
    ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION* pInfo = NULL;
    SIZE_T cbNeeded = 0;
    ::QueryActCtxW(0, data.hActCtx, &data.ulAssemblyRosterIndex,
                   AssemblyDetailedInformationInActivationContext, NULL, 0, &cbNeeded);
    ASSERT_GT(cbNeeded, 0u);
    std::vector<BYTE> buffer(cbNeeded);
    pInfo = reinterpret_cast<ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
    ASSERT_TRUE(::QueryActCtxW(0, data.hActCtx, &data.ulAssemblyRosterIndex,
                               AssemblyDetailedInformationInActivationContext, pInfo, cbNeeded, &cbNeeded));
    const std::wstring identity(pInfo->lpAssemblyEncodedAssemblyIdentity);
    EXPECT_NE(identity.find(L"Microsoft.Windows.Common-Controls"), std::wstring::npos);
    EXPECT_NE(identity.find(L"6.0"), std::wstring::npos);
}

TEST(Resources, ToolbarResourcesAreWordsOfTheirOwnType)
{
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCE(IDR_TEST_TOOLBAR), RT_TOOLBAR);
    HRSRC hResource = ::FindResource(hInst, MAKEINTRESOURCE(IDR_TEST_TOOLBAR), RT_TOOLBAR);
    ASSERT_NE(hResource, nullptr);
    const DWORD dwSize = ::SizeofResource(hInst, hResource);
    const WORD* pWords = static_cast<const WORD*>(::LockResource(::LoadResource(hInst, hResource)));
    ASSERT_NE(pWords, nullptr);
    const std::vector<WORD> words(pWords, pWords + dwSize / sizeof(WORD));
    EXPECT_EQ(words, (std::vector<WORD>{1, 16, 15, 3, ID_TEST_NEW, 0, ID_TEST_OPEN}));
}

TEST(Resources, StringTablesOfTheProgramAndTheFramework)
{
    CString title;
    ASSERT_TRUE(title.LoadString(IDS_TEST_TITLE));
    EXPECT_EQ(title, L"Framework window tests");
    CString idle;
    ASSERT_TRUE(idle.LoadString(AFX_IDS_IDLEMESSAGE));
    EXPECT_EQ(idle, L"Ready");
    CString prompt;
    ASSERT_TRUE(prompt.LoadString(ID_APP_EXIT));
    EXPECT_EQ(prompt, L"Quit the application\nExit");

    // AfxMessageBox with a string id shows the string through the application.
    theApp.m_messageBoxes.clear();
    EXPECT_EQ(AfxMessageBox(IDS_TEST_TITLE), IDOK);
    ASSERT_EQ(theApp.m_messageBoxes.size(), 1u);
    EXPECT_EQ(theApp.m_messageBoxes[0], L"Framework window tests");
}

TEST(Resources, DialogTemplatesComeFromTheResourceModule)
{
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PRESS));
    CString caption;
    dialog.GetWindowText(caption);
    EXPECT_EQ(caption, L"Press");
    EXPECT_EQ(dialog.GetDefID() & 0xFFFF, static_cast<DWORD>(IDOK));
    dialog.DestroyWindow();
    CDialog missing;
    EXPECT_FALSE(missing.Create(9999));
}

} // namespace
