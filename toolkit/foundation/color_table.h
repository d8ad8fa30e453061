// The toolkit's palette: 62 indexed colours derived from the system colours (each with an optional
// custom override), the colour schemes of the Windows XP visual style, and ten gradient pairs. Every
// toolkit painter reads its colours from the one process-wide table.
#pragma once

#include <afxwin.h>

// One colour with an optional override; the effective colour is the override when it is set.
class CXTColorValue
{
public:
    CXTColorValue() : m_clrStandard(static_cast<COLORREF>(-1)), m_clrCustom(static_cast<COLORREF>(-1)) {}
    explicit CXTColorValue(COLORREF clr) : m_clrStandard(clr), m_clrCustom(static_cast<COLORREF>(-1)) {}

    COLORREF GetStandardColor() const { return m_clrStandard; }
    void SetStandardValue(COLORREF clr) { m_clrStandard = clr; }
    // -1 removes the override.
    void SetCustomValue(COLORREF clr) { m_clrCustom = clr; }
    BOOL IsCustomValue() const { return m_clrCustom != static_cast<COLORREF>(-1); }
    operator COLORREF() const { return IsCustomValue() ? m_clrCustom : m_clrStandard; }

    COLORREF m_clrStandard;
    COLORREF m_clrCustom;
};

// A gradient: start and end colours and the factor at which a two-part gradient meets.
class CXTColorPair
{
public:
    CXTColorPair() : m_fFactor(0.5f) {}
    explicit CXTColorPair(COLORREF clr) : m_clrStart(clr), m_clrEnd(clr), m_fFactor(0.5f) {}

    void SetSingle(COLORREF clr) { Set(clr, clr, 0.5f); }
    // Writes the standard colours; overrides stay.
    void Set(COLORREF clrStart, COLORREF clrEnd, float fFactor = 0.5f)
    {
        m_clrStart.SetStandardValue(clrStart);
        m_clrEnd.SetStandardValue(clrEnd);
        m_fFactor = fFactor;
    }
    void CopyEffective(const CXTColorPair& other) { Set(other.m_clrStart, other.m_clrEnd, other.m_fFactor); }

    CXTColorValue m_clrStart;
    CXTColorValue m_clrEnd;
    float m_fFactor;
};

// Colour schemes of the Windows XP visual style; the requests 4 and 5 mean the detected scheme.
enum XTColorScheme
{
    xtSchemeNone = 0,
    xtSchemeBlue = 1,
    xtSchemeOlive = 2,
    xtSchemeSilver = 3,
    xtSchemeDetected = 4,
};

#define XT_COLOR_TABLE_SIZE 62
#define XT_GRADIENT_PAIR_COUNT 10

class CXTPColorTable : public CCmdTarget
{
public:
    typedef COLORREF(AFXAPI* PFN_GETSYSCOLOR)(int nIndex);
    // The current visual style's file and colour names; FALSE when no visual style is active.
    typedef BOOL(AFXAPI* PFN_GETTHEMENAME)(CString& strFileName, CString& strColorName);

    CXTPColorTable();

    // Indexes 0 to 61: the custom colour when set, else the standard colour; any larger value is
    // a literal colour and comes back unchanged.
    COLORREF GetColor(int nIndex) const;
    // Indexes 30 to 61: the scheme's colour when the scheme sets one; else GetColor.
    COLORREF GetSchemeColor(int nIndex) const;
    // Rebuilds the standard, derived, scheme and gradient colours; custom colours survive.
    void Refresh();

    BOOL IsLunaColorsDisabled() const { return m_bLunaColorsDisabled; }
    UINT GetDetectedScheme() const { return m_nDetectedScheme; }
    UINT GetCurrentScheme() const;
    CXTColorPair& GetGradientPair(int nIndex) { return m_arrGradient[nIndex]; }
    const CXTColorPair& GetGradientPair(int nIndex) const { return m_arrGradient[nIndex]; }
    COLORREF GetStandardColor(int nIndex) const { return m_arrStandard[nIndex]; }

    // Take effect at the next refresh (the custom colour at once).
    void SetCustomColor(int nIndex, COLORREF clr) { m_arrCustom[nIndex] = clr; }
    void SetLunaColorsDisabled(BOOL bDisabled) { m_bLunaColorsDisabled = bDisabled; }
    void SetRequestedScheme(UINT nScheme) { m_nRequestedScheme = nScheme; }
    // Replaces GetSysColor for the system colours; null restores it.
    void SetSystemColorFunction(PFN_GETSYSCOLOR pfnGetSysColor) { m_pfnGetSysColor = pfnGetSysColor; }
    // Replaces the visual-style library's answer in the scheme detection of every table; null
    // restores it.
    static void AFXAPI SetThemeNameFunction(PFN_GETTHEMENAME pfnGetThemeName);

private:
    UINT DetectScheme() const;
    void SetStandard(int nIndex, COLORREF clr) { m_arrStandard[nIndex] = clr; }
    void RefreshSchemeColors(UINT nScheme);
    void RefreshBlends();
    void RefreshContrast();
    void RefreshDerived();
    void RefreshGradients(UINT nScheme);
    void RefreshThemeBorder();

    CXTColorPair m_arrGradient[XT_GRADIENT_PAIR_COUNT];
    BOOL m_bLunaColorsDisabled;
    COLORREF m_arrStandard[XT_COLOR_TABLE_SIZE];
    COLORREF m_arrCustom[XT_COLOR_TABLE_SIZE];
    COLORREF m_arrScheme[XT_COLOR_TABLE_SIZE];
    PFN_GETSYSCOLOR m_pfnGetSysColor;
    UINT m_nRequestedScheme;
    UINT m_nDetectedScheme;
};

CXTPColorTable* AFXAPI GetColorTable();
// Refreshes the process-wide table unless it was refreshed less than 500 ms ago; only refreshes after
// the thread's main window exists count for that.
void AFXAPI RefreshColorTableThrottled();
UINT AFXAPI GetCurrentColorScheme();
// A weight below 100 is a percentage of clr1, any other weight per mille.
COLORREF AFXAPI BlendColors(COLORREF clr1, COLORREF clr2, int nWeight);
