// The resource loader and guard with a test resource module in the place of a toolkit resource
// library, and without one.
#include <afxext.h>

#include "resource_loader.h"

#include "resource_guard.h"

#include <gtest/gtest.h>

#include "fixtures/resource_module_ids.h"
#include "toolkit_test_app.h"

namespace {

// Makes the test resource module the toolkit's resource module for one test.
class ToolkitResourceModule
{
public:
    ToolkitResourceModule() : m_hModule(LoadLibraryW(BuildFolderFile(L"toolkit_test_resources.dll").c_str()))
    {
        XTSetToolkitResourceHandle(m_hModule);
    }
    ~ToolkitResourceModule()
    {
        XTSetToolkitResourceHandle(NULL);
        if (m_hModule != NULL)
            FreeLibrary(m_hModule);
    }
    HMODULE handle() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

CString LoadedString(UINT nID, BOOL* pbLoaded)
{
    CString text;
    *pbLoaded = GetResourceLoader()->LoadString(&text, nID);
    return text;
}

TEST(ResourceLoader, StringsComeFromTheModuleWhenItsBlockHoldsThemElseFromTheProgram)
{
    struct Case
    {
        const char* name;
        UINT id;
        bool withModule;
        BOOL loaded;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"in the module's block", IDS_IN_BOTH, true, TRUE, L"String 9300 of the resource module"},
        {"the module's block lacks the id", IDS_ONLY_IN_PROGRAM, true, TRUE, L"String 9301 of the program"},
        {"the module lacks the block", IDS_BLOCK_ONLY_IN_PROGRAM, true, TRUE, L"String 9510 of the program"},
        {"nowhere", IDS_NOWHERE, true, FALSE, L""},
        {"without a module", IDS_IN_BOTH, false, TRUE, L"String 9300 of the program"},
        {"nowhere without a module", IDS_NOWHERE, false, FALSE, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<ToolkitResourceModule> module;
        if (c.withModule) {
            module = std::make_unique<ToolkitResourceModule>();
            ASSERT_NE(module->handle(), nullptr);
        }
        BOOL bLoaded = FALSE;
        EXPECT_EQ(LoadedString(c.id, &bLoaded), CString(c.expected));
        EXPECT_EQ(bLoaded, c.loaded);
    }
    CString untouched;
    EXPECT_FALSE(GetResourceLoader()->LoadString(NULL, IDS_IN_BOTH));
}

CString FirstMenuItem(CMenu& menu)
{
    CString text;
    menu.GetMenuString(0, text, MF_BYPOSITION);
    return text;
}

WORD DialogWidth(LPCDLGTEMPLATE pTemplate)
{
    return pTemplate != NULL ? static_cast<WORD>(pTemplate->cx) : 0;
}

TEST(ResourceLoader, MenusBitmapsCursorsAndDialogTemplatesFromEitherModule)
{
    CXTResourceLoader* pLoader = GetResourceLoader();
    {
        ToolkitResourceModule module;
        ASSERT_NE(module.handle(), nullptr);
        CMenu fromModule;
        ASSERT_TRUE(pLoader->LoadMenu(&fromModule, IDM_IN_BOTH));
        EXPECT_EQ(FirstMenuItem(fromModule), CString(L"Module item"));
        CMenu fromProgram;
        ASSERT_TRUE(pLoader->LoadMenu(&fromProgram, IDM_ONLY_IN_PROGRAM));
        EXPECT_EQ(FirstMenuItem(fromProgram), CString(L"Program only item"));

        CBitmap bitmap;
        ASSERT_TRUE(pLoader->LoadBitmap(&bitmap, IDB_ONLY_IN_MODULE));
        BITMAP info = {};
        bitmap.GetBitmap(&info);
        EXPECT_EQ(info.bmWidth, 4);
        EXPECT_EQ(info.bmHeight, 3);
        EXPECT_NE(pLoader->LoadCursor(IDC_ONLY_IN_MODULE), nullptr);

        EXPECT_EQ(DialogWidth(pLoader->LoadDialogTemplate(IDD_IN_BOTH)), 200);
        EXPECT_EQ(DialogWidth(pLoader->LoadDialogTemplate(IDD_ONLY_IN_PROGRAM)), 120);
        EXPECT_EQ(pLoader->LoadDialogTemplate(IDD_NOWHERE), nullptr);
    }
    CMenu menu;
    ASSERT_TRUE(pLoader->LoadMenu(&menu, IDM_IN_BOTH));
    EXPECT_EQ(FirstMenuItem(menu), CString(L"Program item"));
    CMenu missing;
    EXPECT_FALSE(pLoader->LoadMenu(&missing, 9499));
    CBitmap bitmap;
    EXPECT_FALSE(pLoader->LoadBitmap(&bitmap, IDB_ONLY_IN_MODULE));
    EXPECT_EQ(pLoader->LoadCursor(IDC_ONLY_IN_MODULE), nullptr);
    EXPECT_EQ(DialogWidth(pLoader->LoadDialogTemplate(IDD_IN_BOTH)), 100);
    EXPECT_EQ(pLoader->LoadDialogTemplate(IDD_NOWHERE), nullptr);
}

TEST(ResourceLoader, ToolBarsLoadUnderTheGuardWithoutASecondTryInTheProgram)
{
    CXTResourceLoader* pLoader = GetResourceLoader();
    CFrameWnd* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(NULL, L"Toolbar owner", WS_OVERLAPPEDWINDOW));
    CToolBar toolBar;
    ASSERT_TRUE(toolBar.CreateEx(pFrame));
    // Without a toolkit module the program's resources do not hold it.
    EXPECT_FALSE(pLoader->LoadToolBar(&toolBar, IDR_TOOLBAR_ONLY_IN_MODULE));
    {
        ToolkitResourceModule module;
        ASSERT_TRUE(pLoader->LoadToolBar(&toolBar, IDR_TOOLBAR_ONLY_IN_MODULE));
        EXPECT_EQ(toolBar.GetToolBarCtrl().GetButtonCount(), 3);
        EXPECT_EQ(toolBar.GetItemID(2), 101u);
        EXPECT_NE(toolBar.m_hbmImageWell, nullptr);
        // Only the module is asked while the guard holds.
        EXPECT_FALSE(pLoader->LoadToolBar(&toolBar, IDM_IN_BOTH));
    }
    EXPECT_FALSE(pLoader->LoadToolBar(NULL, IDR_TOOLBAR_ONLY_IN_MODULE));
    toolBar.DestroyWindow();
    pFrame->DestroyWindow();
}

TEST(ResourceLoader, ShowMessageShowsTheLoadedStringInTheFrameworksMessageBox)
{
    theApp.m_messageBoxes.clear();
    theApp.m_nMessageBoxAnswer = IDYES;
    EXPECT_EQ(GetResourceLoader()->ShowMessage(IDS_MESSAGE, MB_YESNO), IDYES);
    ASSERT_EQ(theApp.m_messageBoxes.size(), 1u);
    EXPECT_EQ(theApp.m_messageBoxes[0], L"Do you want to reset the toolbar?");
}

TEST(ResourceGuard, SwitchesToTheModuleAndBackAndWithoutOneChangesNothing)
{
    const HINSTANCE hResource = AfxGetResourceHandle();
    const HINSTANCE hInstance = AfxGetInstanceHandle();
    {
        CXTResourceGuard guard;
        EXPECT_FALSE(guard.IsActive());
        EXPECT_EQ(AfxGetResourceHandle(), hResource);
        guard.Leave();
        EXPECT_EQ(AfxGetResourceHandle(), hResource);
    }
    EXPECT_EQ(AfxGetResourceHandle(), hResource);
    EXPECT_EQ(CXTResourceGuard::GetToolkitResourceHandle(), nullptr);

    ToolkitResourceModule module;
    ASSERT_NE(module.handle(), nullptr);
    EXPECT_EQ(CXTResourceGuard::GetToolkitResourceHandle(), module.handle());
    {
        CXTResourceGuard guard;
        EXPECT_TRUE(guard.IsActive());
        EXPECT_EQ(AfxGetResourceHandle(), module.handle());
        // The instance stays: it was set already.
        EXPECT_EQ(AfxGetInstanceHandle(), hInstance);
        guard.Leave();
        EXPECT_FALSE(guard.IsActive());
        EXPECT_EQ(AfxGetResourceHandle(), hResource);
        guard.Leave();
        EXPECT_EQ(AfxGetResourceHandle(), hResource);
    }
    {
        CXTResourceGuard guard;
        EXPECT_EQ(AfxGetResourceHandle(), module.handle());
    }
    EXPECT_EQ(AfxGetResourceHandle(), hResource);
    EXPECT_EQ(AfxGetInstanceHandle(), hInstance);
}

} // namespace
