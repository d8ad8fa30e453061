#include "theme_handle.h"

#include "common_controls_version.h"

namespace {

const char* const g_functionNames[] = {
    "OpenThemeData",
    "CloseThemeData",
    "DrawThemeBackground",
    "DrawThemeText",
    "DrawThemeEdge",
    "DrawThemeParentBackground",
    "GetCurrentThemeName",
    "GetThemeColor",
    "GetThemePartSize",
    "GetThemeInt",
    "GetThemeMargins",
    "GetThemeRect",
    "GetThemeSysColor",
    "GetWindowTheme",
    "IsAppThemed",
    "IsThemeActive",
    "IsThemeBackgroundPartiallyTransparent",
    "IsThemePartDefined",
    "SetWindowTheme",
    "EnableThemeDialogTexture",
    "DrawThemeBackgroundEx",
    "DrawThemeIcon",
    "EnableTheming",
    "GetThemeAppProperties",
    "GetThemeBackgroundContentRect",
    "GetThemeBackgroundExtent",
    "GetThemeBackgroundRegion",
    "GetThemeBool",
    "GetThemeDocumentationProperty",
    "GetThemeEnumValue",
    "GetThemeFilename",
    "GetThemeFont",
    "GetThemeIntList",
    "GetThemeMetric",
    "GetThemePosition",
    "GetThemePropertyOrigin",
    "GetThemeString",
    "GetThemeSysBool",
    "GetThemeSysColorBrush",
    "GetThemeSysFont",
    "GetThemeSysInt",
    "GetThemeSysSize",
    "GetThemeSysString",
    "GetThemeTextExtent",
    "GetThemeTextMetrics",
    "HitTestThemeBackground",
    "IsThemeDialogTextureEnabled",
    "SetThemeAppProperties",
};
static_assert(sizeof g_functionNames / sizeof g_functionNames[0] == CXTThemeApi::functionCount,
              "one name per bound function");

// The bound function as the given type, or null. Exceptions that a bound function raises are
// structured exceptions, which this compiler cannot catch; the functions are called plainly.
template <class Pfn> Pfn Bound(CXTThemeApi::Function function)
{
    return reinterpret_cast<Pfn>(XTGetThemeApi().GetProc(function));
}

} // namespace

CXTThemeApi::CXTThemeApi() : m_pfn(), m_hModule(::LoadLibraryW(L"UxTheme.dll")) {}

CXTThemeApi::~CXTThemeApi()
{
    // The library stays loaded to the end of the process: windows may still hold its themes.
}

void* CXTThemeApi::GetProc(Function function)
{
    if (m_pfn[function] == NULL && m_hModule != NULL)
        m_pfn[function] = reinterpret_cast<void*>(::GetProcAddress(m_hModule, g_functionNames[function]));
    return m_pfn[function];
}

CXTThemeApi& AFXAPI XTGetThemeApi()
{
    static CXTThemeApi api;
    return api;
}

namespace {

// Built before the program's start-up code runs, and for code that asks earlier at its first call.
[[maybe_unused]] const CXTThemeApi& g_themeApi = XTGetThemeApi();

} // namespace

CXTThemeHandle::CXTThemeHandle() : m_hTheme(NULL) {}

CXTThemeHandle::~CXTThemeHandle()
{
    Close();
}

HTHEME CXTThemeHandle::Open(HWND hWnd, LPCWSTR pszClassList)
{
    Close();
    typedef HTHEME(WINAPI * PFN)(HWND, LPCWSTR);
    if (PFN pfn = Bound<PFN>(CXTThemeApi::fnOpenThemeData))
        m_hTheme = pfn(hWnd, pszClassList);
    return m_hTheme;
}

void CXTThemeHandle::Close()
{
    typedef HRESULT(WINAPI * PFN)(HTHEME);
    if (m_hTheme != NULL) {
        if (PFN pfn = Bound<PFN>(CXTThemeApi::fnCloseThemeData))
            pfn(m_hTheme);
    }
    m_hTheme = NULL;
}

HRESULT CXTThemeHandle::DrawBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect,
                                       const RECT* pClipRect)
{
    typedef HRESULT(WINAPI * PFN)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    PFN pfn = Bound<PFN>(CXTThemeApi::fnDrawThemeBackground);
    return pfn != NULL ? pfn(m_hTheme, hDC, iPartId, iStateId, pRect, pClipRect) : E_FAIL;
}

HRESULT CXTThemeHandle::GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                                            int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars)
{
    typedef HRESULT(WINAPI * PFN)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
    PFN pfn = Bound<PFN>(CXTThemeApi::fnGetCurrentThemeName);
    return pfn != NULL ? pfn(pszThemeFileName, cchMaxNameChars, pszColorBuff, cchMaxColorChars, pszSizeBuff,
                             cchMaxSizeChars)
                       : E_FAIL;
}

HRESULT CXTThemeHandle::GetColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor)
{
    typedef HRESULT(WINAPI * PFN)(HTHEME, int, int, int, COLORREF*);
    PFN pfn = Bound<PFN>(CXTThemeApi::fnGetThemeColor);
    return pfn != NULL ? pfn(m_hTheme, iPartId, iStateId, iPropId, pColor) : E_FAIL;
}

HRESULT CXTThemeHandle::GetPartSize(HDC hDC, int iPartId, int iStateId, const RECT* pRect, THEMESIZE eSize,
                                    SIZE* pSize)
{
    typedef HRESULT(WINAPI * PFN)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*);
    PFN pfn = Bound<PFN>(CXTThemeApi::fnGetThemePartSize);
    return pfn != NULL ? pfn(m_hTheme, hDC, iPartId, iStateId, pRect, eSize, pSize) : E_FAIL;
}

BOOL CXTThemeHandle::IsAppThemed()
{
    if (m_hTheme == NULL)
        return FALSE;
    typedef BOOL(WINAPI * PFN)();
    PFN pfn = Bound<PFN>(CXTThemeApi::fnIsAppThemed);
    return pfn != NULL ? pfn() : FALSE;
}

BOOL CXTThemeHandle::IsThemeActive()
{
    typedef BOOL(WINAPI * PFN)();
    PFN pfn = Bound<PFN>(CXTThemeApi::fnIsThemeActive);
    return pfn != NULL ? pfn() : FALSE;
}

BOOL CXTThemeHandle::IsThemingActive()
{
    return XTGetThemeApi().GetModule() != NULL && IsThemeActive() && HIWORD(XTGetComCtlVersion()) > 5;
}
