// Visual styles against Wine's real library and without it, the common-controls version and the
// Windows version tests.
#include "theme_handle.h"

#include "color_table.h"
#include "common_controls_version.h"
#include "windows_version.h"

#include <gtest/gtest.h>

#include "toolkit_test_app.h"

namespace {

class ComCtlVersionOverride
{
public:
    explicit ComCtlVersionOverride(DWORD dwVersion) { XTSetComCtlVersionOverride(dwVersion); }
    ~ComCtlVersionOverride() { XTSetComCtlVersionOverride(0); }
};

TEST(VisualStyles, WinesLightStyleIsActiveButThemingNeedsCommonControlsSix)
{
    ASSERT_NE(XTGetThemeApi().GetModule(), nullptr);
    CXTThemeHandle theme;
    EXPECT_TRUE(theme.IsThemeActive());
    WCHAR szFile[MAX_PATH] = {};
    WCHAR szColor[MAX_PATH] = {};
    WCHAR szSize[MAX_PATH] = {};
    ASSERT_EQ(theme.GetCurrentThemeName(szFile, MAX_PATH, szColor, MAX_PATH, szSize, MAX_PATH), S_OK);
    CString file(szFile);
    file.MakeLower();
    EXPECT_EQ(file.Right(14), CString(L"light.msstyles")) << Narrow(szFile);

    // Wine answers 5.81 for the common controls, so visual-style painting stays off by default.
    EXPECT_EQ(XTGetComCtlVersion(), (5u << 16) | 81u);
    EXPECT_FALSE(theme.IsThemingActive());
    {
        ComCtlVersionOverride six((6u << 16) | 0u);
        EXPECT_TRUE(theme.IsThemingActive());
    }
    {
        ComCtlVersionOverride older((5u << 16) | 82u);
        EXPECT_FALSE(theme.IsThemingActive());
    }
}

TEST(VisualStyles, AHandleOpensDrawsReadsColorsAndReopens)
{
    CXTThemeHandle theme;
    EXPECT_FALSE(theme.IsAppThemed()); // no handle yet
    EXPECT_NE(theme.Open(NULL, L"BUTTON"), nullptr);
    EXPECT_TRUE(theme.IsAppThemed());
    PixelSurface surface(40, 30, RGB(1, 2, 3));
    const CRect rect(0, 0, 40, 30);
    EXPECT_EQ(theme.DrawBackground(surface.dc()->m_hDC, 1 /* BP_PUSHBUTTON */, 1, &rect, NULL), S_OK);
    EXPECT_NE(surface.Pixel(20, 15), RGB(1, 2, 3));

    // Opening again replaces the handle; the tree view's border is the colour the table takes.
    theme.Open(NULL, L"TREEVIEW");
    ASSERT_NE(theme.GetHandle(), nullptr);
    COLORREF clrBorder = 0;
    EXPECT_EQ(theme.GetColor(0, 0, 3801, &clrBorder), S_OK);
    EXPECT_EQ(clrBorder, 0xAEAEAEu);
    theme.Close();
    EXPECT_EQ(theme.GetHandle(), nullptr);
    EXPECT_FALSE(theme.IsAppThemed());
    theme.Close();
    EXPECT_EQ(theme.Open(NULL, L"NoSuchClassAnywhere"), nullptr);
}

// The functions that the painters built on the wrapper call through the table beyond the handle's
// own calls, by the name the library exports.
struct BoundFunction
{
    CXTThemeApi::Function function;
    const char* name;
};
const BoundFunction g_boundFunctions[] = {
    {CXTThemeApi::fnDrawThemeBackgroundEx, "DrawThemeBackgroundEx"},
    {CXTThemeApi::fnDrawThemeIcon, "DrawThemeIcon"},
    {CXTThemeApi::fnEnableTheming, "EnableTheming"},
    {CXTThemeApi::fnGetThemeAppProperties, "GetThemeAppProperties"},
    {CXTThemeApi::fnGetThemeBackgroundContentRect, "GetThemeBackgroundContentRect"},
    {CXTThemeApi::fnGetThemeBackgroundExtent, "GetThemeBackgroundExtent"},
    {CXTThemeApi::fnGetThemeBackgroundRegion, "GetThemeBackgroundRegion"},
    {CXTThemeApi::fnGetThemeBool, "GetThemeBool"},
    {CXTThemeApi::fnGetThemeDocumentationProperty, "GetThemeDocumentationProperty"},
    {CXTThemeApi::fnGetThemeEnumValue, "GetThemeEnumValue"},
    {CXTThemeApi::fnGetThemeFilename, "GetThemeFilename"},
    {CXTThemeApi::fnGetThemeFont, "GetThemeFont"},
    {CXTThemeApi::fnGetThemeIntList, "GetThemeIntList"},
    {CXTThemeApi::fnGetThemeMetric, "GetThemeMetric"},
    {CXTThemeApi::fnGetThemePosition, "GetThemePosition"},
    {CXTThemeApi::fnGetThemePropertyOrigin, "GetThemePropertyOrigin"},
    {CXTThemeApi::fnGetThemeString, "GetThemeString"},
    {CXTThemeApi::fnGetThemeSysBool, "GetThemeSysBool"},
    {CXTThemeApi::fnGetThemeSysColorBrush, "GetThemeSysColorBrush"},
    {CXTThemeApi::fnGetThemeSysFont, "GetThemeSysFont"},
    {CXTThemeApi::fnGetThemeSysInt, "GetThemeSysInt"},
    {CXTThemeApi::fnGetThemeSysSize, "GetThemeSysSize"},
    {CXTThemeApi::fnGetThemeSysString, "GetThemeSysString"},
    {CXTThemeApi::fnGetThemeTextExtent, "GetThemeTextExtent"},
    {CXTThemeApi::fnGetThemeTextMetrics, "GetThemeTextMetrics"},
    {CXTThemeApi::fnHitTestThemeBackground, "HitTestThemeBackground"},
    {CXTThemeApi::fnIsThemeDialogTextureEnabled, "IsThemeDialogTextureEnabled"},
    {CXTThemeApi::fnSetThemeAppProperties, "SetThemeAppProperties"},
};

template <class Pfn> Pfn BoundAs(CXTThemeApi::Function function)
{
    return reinterpret_cast<Pfn>(XTGetThemeApi().GetProc(function));
}

TEST(VisualStyles, EveryFunctionBindsByItsNameAndAnswersThroughTheTable)
{
    const HMODULE hModule = XTGetThemeApi().GetModule();
    ASSERT_NE(hModule, nullptr);
    for (const BoundFunction& bound : g_boundFunctions) {
        SCOPED_TRACE(bound.name);
        void* pfn = XTGetThemeApi().GetProc(bound.function);
        EXPECT_EQ(pfn, reinterpret_cast<void*>(GetProcAddress(hModule, bound.name)));
        EXPECT_NE(pfn, nullptr);
        EXPECT_EQ(XTGetThemeApi().GetProc(bound.function), pfn); // cached
    }

    // Calls that need no more than an open theme and a memory DC.
    CXTThemeHandle theme;
    ASSERT_NE(theme.Open(NULL, L"BUTTON"), nullptr);
    PixelSurface surface(40, 30, RGB(1, 2, 3));
    const HDC hDC = surface.dc()->m_hDC;
    const CRect rect(0, 0, 40, 30);
    CRect content;
    typedef HRESULT(WINAPI * PFNCONTENTRECT)(HTHEME, HDC, int, int, const RECT*, RECT*);
    ASSERT_EQ(BoundAs<PFNCONTENTRECT>(CXTThemeApi::fnGetThemeBackgroundContentRect)(theme, hDC, 1, 1, &rect,
                                                                                    &content),
              S_OK);
    EXPECT_FALSE(content.IsRectEmpty());
    EXPECT_EQ(content & rect, content); // inside the background
    CRect extent;
    typedef HRESULT(WINAPI * PFNEXTENT)(HTHEME, HDC, int, int, const RECT*, RECT*);
    ASSERT_EQ(
        BoundAs<PFNEXTENT>(CXTThemeApi::fnGetThemeBackgroundExtent)(theme, hDC, 1, 1, &content, &extent),
        S_OK);
    EXPECT_EQ(extent, rect);
    typedef int(WINAPI * PFNSYSSIZE)(HTHEME, int);
    EXPECT_EQ(BoundAs<PFNSYSSIZE>(CXTThemeApi::fnGetThemeSysSize)(theme, SM_CXVSCROLL),
              GetSystemMetrics(SM_CXVSCROLL));
    typedef DWORD(WINAPI * PFNAPPPROPERTIES)();
    EXPECT_NE(BoundAs<PFNAPPPROPERTIES>(CXTThemeApi::fnGetThemeAppProperties)() & STAP_ALLOW_CONTROLS, 0u);
    WCHAR szFile[MAX_PATH] = {};
    typedef HRESULT(WINAPI * PFNDOCUMENTATION)(LPCWSTR, LPCWSTR, LPWSTR, int);
    typedef HRESULT(WINAPI * PFNCURRENTNAME)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
    ASSERT_EQ(BoundAs<PFNCURRENTNAME>(CXTThemeApi::fnGetCurrentThemeName)(szFile, MAX_PATH, NULL, 0, NULL, 0),
              S_OK);
    WCHAR szName[MAX_PATH] = {};
    EXPECT_EQ(BoundAs<PFNDOCUMENTATION>(CXTThemeApi::fnGetThemeDocumentationProperty)(szFile, L"DisplayName",
                                                                                      szName, MAX_PATH),
              S_OK);
    EXPECT_NE(szName[0], L'\0');
}

TEST(WithoutVisualStyleLibrary, EveryCallAnswersZeroOrFail)
{
    ASSERT_EQ(LoadLibraryW(L"uxtheme.dll"), nullptr) << "runs with WINRUN_DLL_OVERRIDES=uxtheme=d";
    EXPECT_EQ(XTGetThemeApi().GetModule(), nullptr);
    for (int i = 0; i < CXTThemeApi::functionCount; ++i) {
        const CXTThemeApi::Function function = static_cast<CXTThemeApi::Function>(i);
        EXPECT_EQ(XTGetThemeApi().GetProc(function), nullptr) << i;
        EXPECT_EQ(XTGetThemeApi().GetProc(function), nullptr) << i; // asked again, still none
    }
    ComCtlVersionOverride six((6u << 16) | 0u);
    CXTThemeHandle theme;
    EXPECT_EQ(theme.Open(NULL, L"BUTTON"), nullptr);
    EXPECT_FALSE(theme.IsThemeActive());
    EXPECT_FALSE(theme.IsAppThemed());
    EXPECT_FALSE(theme.IsThemingActive());
    PixelSurface surface(10, 10, RGB(1, 2, 3));
    const CRect rect(0, 0, 10, 10);
    EXPECT_EQ(theme.DrawBackground(surface.dc()->m_hDC, 1, 1, &rect, NULL), E_FAIL);
    WCHAR szFile[MAX_PATH] = {};
    EXPECT_EQ(theme.GetCurrentThemeName(szFile, MAX_PATH, NULL, 0, NULL, 0), E_FAIL);
    COLORREF clr = 0;
    EXPECT_EQ(theme.GetColor(0, 0, 3801, &clr), E_FAIL);
    SIZE size = {};
    EXPECT_EQ(theme.GetPartSize(NULL, 1, 1, NULL, TS_TRUE, &size), E_FAIL);
    // The colour table detects no scheme and keeps the tree-view border at its default.
    CXTPColorTable table;
    EXPECT_EQ(table.GetDetectedScheme(), 0u);
    EXPECT_EQ(table.GetStandardColor(57), table.GetColor(16));
}

TEST(WindowsVersion, TestsTellTheReleasesApart)
{
    struct Case
    {
        const char* name;
        DWORD platform;
        DWORD major;
        DWORD minor;
        bool win95, win98, nt4, win2000, xp;
    };
    const Case cases[] = {
        {"Windows 95", VER_PLATFORM_WIN32_WINDOWS, 4, 0, true, false, false, false, false},
        {"Windows 98", VER_PLATFORM_WIN32_WINDOWS, 4, 10, false, true, false, false, false},
        {"Windows Me", VER_PLATFORM_WIN32_WINDOWS, 4, 90, false, false, false, false, false},
        {"Windows NT 4.0", VER_PLATFORM_WIN32_NT, 4, 0, false, false, true, false, false},
        {"Windows 2000", VER_PLATFORM_WIN32_NT, 5, 0, false, false, false, true, false},
        {"Windows XP", VER_PLATFORM_WIN32_NT, 5, 1, false, false, false, false, true},
        {"Windows Server 2003", VER_PLATFORM_WIN32_NT, 5, 2, false, false, false, false, false},
        {"Windows 7", VER_PLATFORM_WIN32_NT, 6, 1, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OSVERSIONINFOW info = {};
        info.dwOSVersionInfoSize = sizeof info;
        info.dwPlatformId = c.platform;
        info.dwMajorVersion = c.major;
        info.dwMinorVersion = c.minor;
        const CXTWindowsVersion version(info);
        EXPECT_EQ(!!version.IsWin95(), c.win95);
        EXPECT_EQ(!!version.IsWin98(), c.win98);
        EXPECT_EQ(!!version.IsWinNT4(), c.nt4);
        EXPECT_EQ(!!version.IsWin2000(), c.win2000);
        EXPECT_EQ(!!version.IsWinXP(), c.xp);
    }
    // The running system's record, filled before the program starts.
    EXPECT_EQ(GetWindowsVersion().dwOSVersionInfoSize, sizeof(OSVERSIONINFOW));
    EXPECT_EQ(GetWindowsVersion().dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_GE(GetWindowsVersion().dwMajorVersion, 5u);
}

} // namespace
