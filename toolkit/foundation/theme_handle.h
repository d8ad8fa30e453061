// Visual styles without linking to the visual-style library: its functions are bound by name on
// first use, and a handle class wraps one theme handle with calls that fail softly (E_FAIL or 0)
// where the library or a function is missing.
#pragma once

#include <afxwin.h>

#include <uxtheme.h>

// The library, loaded once for the whole run, and the cache of its bound functions.
class CXTThemeApi
{
public:
    enum Function
    {
        fnOpenThemeData,
        fnCloseThemeData,
        fnDrawThemeBackground,
        fnDrawThemeText,
        fnDrawThemeEdge,
        fnDrawThemeParentBackground,
        fnGetCurrentThemeName,
        fnGetThemeColor,
        fnGetThemePartSize,
        fnGetThemeInt,
        fnGetThemeMargins,
        fnGetThemeRect,
        fnGetThemeSysColor,
        fnGetWindowTheme,
        fnIsAppThemed,
        fnIsThemeActive,
        fnIsThemeBackgroundPartiallyTransparent,
        fnIsThemePartDefined,
        fnSetWindowTheme,
        fnEnableThemeDialogTexture,
        fnDrawThemeBackgroundEx,
        fnDrawThemeIcon,
        fnEnableTheming,
        fnGetThemeAppProperties,
        fnGetThemeBackgroundContentRect,
        fnGetThemeBackgroundExtent,
        fnGetThemeBackgroundRegion,
        fnGetThemeBool,
        fnGetThemeDocumentationProperty,
        fnGetThemeEnumValue,
        fnGetThemeFilename,
        fnGetThemeFont,
        fnGetThemeIntList,
        fnGetThemeMetric,
        fnGetThemePosition,
        fnGetThemePropertyOrigin,
        fnGetThemeString,
        fnGetThemeSysBool,
        fnGetThemeSysColorBrush,
        fnGetThemeSysFont,
        fnGetThemeSysInt,
        fnGetThemeSysSize,
        fnGetThemeSysString,
        fnGetThemeTextExtent,
        fnGetThemeTextMetrics,
        fnHitTestThemeBackground,
        fnIsThemeDialogTextureEnabled,
        fnSetThemeAppProperties,
        functionCount
    };

    CXTThemeApi();
    ~CXTThemeApi();
    CXTThemeApi(const CXTThemeApi&) = delete;
    CXTThemeApi& operator=(const CXTThemeApi&) = delete;

    // The function's address, or null; a null answer is looked up again next time.
    void* GetProc(Function function);
    HMODULE GetModule() const { return m_hModule; }

private:
    void* m_pfn[functionCount];
    HMODULE m_hModule;
};

CXTThemeApi& AFXAPI XTGetThemeApi();

class CXTThemeHandle
{
public:
    CXTThemeHandle();
    virtual ~CXTThemeHandle();
    CXTThemeHandle(const CXTThemeHandle&) = delete;
    CXTThemeHandle& operator=(const CXTThemeHandle&) = delete;

    // Closes the held handle first; the handle stays null when the data cannot be opened.
    HTHEME Open(HWND hWnd, LPCWSTR pszClassList);
    void Close();
    HTHEME GetHandle() const { return m_hTheme; }
    operator HTHEME() const { return m_hTheme; }

    HRESULT DrawBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect, const RECT* pClipRect);
    HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                                int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars);
    HRESULT GetColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor);
    HRESULT GetPartSize(HDC hDC, int iPartId, int iStateId, const RECT* pRect, THEMESIZE eSize, SIZE* pSize);
    // 0 at once when no handle is held.
    BOOL IsAppThemed();
    BOOL IsThemeActive();
    // The library is loaded, a visual style is active and the common controls are 6.0 or later.
    BOOL IsThemingActive();

private:
    HTHEME m_hTheme;
};
