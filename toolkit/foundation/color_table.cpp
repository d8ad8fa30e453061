#include "color_table.h"

#include "color_contrast.h"
#include "draw_helpers.h"
#include "theme_handle.h"

#include <algorithm>

namespace {

const COLORREF kNone = static_cast<COLORREF>(-1);

CXTPColorTable::PFN_GETTHEMENAME g_pfnGetThemeName = NULL;
// Set while the process-wide table is being built: its refresh must not ask for itself.
bool g_bBuildingProcessTable = false;

BOOL AFXAPI ThemeNameFromLibrary(CString& strFileName, CString& strColorName)
{
    CXTThemeHandle theme;
    if (!theme.IsThemeActive())
        return FALSE;
    WCHAR szFileName[MAX_PATH] = {};
    WCHAR szColorName[MAX_PATH] = {};
    if (FAILED(theme.GetCurrentThemeName(szFileName, MAX_PATH, szColorName, MAX_PATH, NULL, 0)))
        return FALSE;
    strFileName = szFileName;
    strColorName = szColorName;
    return TRUE;
}

// Defaults of the derived indexes: each starts as the colour of the system index beside it (59: black).
const struct
{
    int nIndex;
    int nSource;
} g_defaults[] = {
    {30, 15}, {31, 5},  {32, 13}, {33, 13}, {34, 16}, {35, 17}, {36, 5},  {37, 13}, {38, 16}, {39, 16},
    {40, 16}, {41, 5},  {42, 16}, {43, 16}, {44, 8},  {45, 7},  {46, 18}, {47, 14}, {48, 15}, {49, 18},
    {50, 13}, {51, 15}, {52, 16}, {53, 15}, {54, 16}, {55, 15}, {56, 15}, {57, 16}, {58, 17}, {60, 16},
};

// The colours that the three schemes of the XP visual style set (blue, olive, silver).
const struct
{
    int nIndex;
    COLORREF clr[3];
} g_schemeColors[] = {
    {38, {0x764127, 0x335E51, 0x755454}}, {39, {0xCB8C6A, 0x588060, 0x8F6D6E}},
    {40, {0xD0966D, 0x7AAE9F, 0xBEA7A8}}, {41, {0xF6F6F6, 0xEEF4F4, 0xFFFAFD}},
    {43, {0x962D00, 0x5E8D75, 0x947C7C}}, {31, {0xC2EEFF, 0xC2EEFF, 0xC2EEFF}},
    {32, {0x800000, 0x385D3F, 0x6F4B4B}}, {50, {0x800000, 0x385D3F, 0x6F4B4B}},
    {37, {0x800000, 0x385D3F, 0x6F4B4B}}, {33, {0x3E80FE, 0x3E80FE, 0x3E80FE}},
    {36, {0x6FC0FF, 0x6FC0FF, 0x6FC0FF}}, {30, {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}},
    {47, {0x000000, 0x000000, 0x000000}}, {59, {0x361E16, 0x19221F, 0x292024}},
};

// target := BlendColors(first, second, weight), in this order.
const struct
{
    int nTarget;
    int nFirst;
    int nSecond;
    int nWeight;
} g_blends[] = {
    {30, 5, 15, 165}, {31, 13, 5, 30}, {33, 13, 5, 50},  {41, 15, 5, 143}, {35, 17, 5, 70},
    {38, 16, 5, 75},  {39, 16, 5, 70}, {43, 46, 16, 20}, {40, 16, 5, 90},  {42, 15, 16, 90},
};

// target := PushAway(a, b, threshold) whenever b lies too close to a, in this order.
const struct
{
    int nTarget;
    int nA;
    int nB;
    int nThreshold;
} g_contrastRules[] = {
    {31, 30, 31, 50},  {32, 30, 13, 100}, {33, 30, 33, 30},  {35, 41, 35, 80}, {37, 33, 37, 100},
    {38, 30, 38, 85},  {39, 30, 39, 50},  {43, 47, 43, 100}, {40, 30, 40, 80}, {44, 41, 44, 180},
    {45, 31, 45, 180}, {46, 30, 46, 180}, {47, 33, 47, 180},
};

// Gradient pairs 0 to 6 of the three schemes: start, end, factor.
const struct
{
    COLORREF clrStart;
    COLORREF clrEnd;
    float fFactor;
} g_schemeGradients[3][7] = {
    {{0xD68759, 0x962D00, 0.5f},
     {0xF5BE9E, 0xFADAC4, 0.5f},
     {0xD68759, 0x962D00, 0.5f},
     {0xFEECDD, 0xE2A981, 0.75f},
     {0xFFEFE3, 0xE4AD87, 0.5f},
     {0xF6DDCB, 0xDCA179, 0.5f},
     {0xFFEFE3, 0xE7B593, 0.5f}},
    {{0x82C0AF, 0x447A63, 0.5f},
     {0xA7D9D9, 0xE4F1F2, 0.5f},
     {0x6F8E78, 0x435B49, 0.5f},
     {0xDEF7F4, 0x91C6B7, 0.3f},
     {0xEDFFFF, 0x92C7B8, 0.3f},
     {0xD1E6E6, 0x78B4A4, 0.3f},
     {0xD5F0EC, 0x9FCEC2, 0.5f}},
    {{0xBFA7A8, 0x916F70, 0.5f},
     {0xE5D7D7, 0xF7F3F3, 0.5f},
     {0xBFA7A8, 0x977677, 0.5f},
     {0xFFF9F9, 0xB79B9C, 0.75f},
     {0xFFF9F9, 0xB99D9F, 0.75f},
     {0xE2D7D7, 0x9E7E80, 0.75f},
     {0xF1E7E9, 0xCDB9BA, 0.5f}},
};

const COLORREF g_schemeColor54[3] = {0x962D00, 0x588060, 0x947C7C};

// The colour's channels scaled by k / m (m its highest channel).
COLORREF ScaleChannels(COLORREF clr, int k, int m)
{
    return RGB(GetRValue(clr) * k / m, GetGValue(clr) * k / m, GetBValue(clr) * k / m);
}

int HighestChannel(COLORREF clr)
{
    return std::max({GetRValue(clr), GetGValue(clr), GetBValue(clr)});
}

} // namespace

COLORREF AFXAPI BlendColors(COLORREF clr1, COLORREF clr2, int nWeight)
{
    const int nScale = nWeight < 100 ? 100 : 1000;
    auto channel = [&](int c1, int c2) {
        return (c1 * nWeight + c2 * (nScale - nWeight) + nScale / 2) / nScale;
    };
    return RGB(channel(GetRValue(clr1), GetRValue(clr2)), channel(GetGValue(clr1), GetGValue(clr2)),
               channel(GetBValue(clr1), GetBValue(clr2)));
}

void AFXAPI CXTPColorTable::SetThemeNameFunction(PFN_GETTHEMENAME pfnGetThemeName)
{
    g_pfnGetThemeName = pfnGetThemeName;
}

CXTPColorTable::CXTPColorTable()
    : m_bLunaColorsDisabled(FALSE), m_arrStandard(), m_pfnGetSysColor(NULL), m_nRequestedScheme(4),
      m_nDetectedScheme(0)
{
    m_arrGradient[7].Set(0x8CD5FF, 0x55ADFF);
    m_arrGradient[8].Set(0x4B8EFE, 0x8BCFFF);
    m_arrGradient[9].Set(0xC8F2FF, 0x97D4FF);
    std::fill(std::begin(m_arrCustom), std::end(m_arrCustom), kNone);
    std::fill(std::begin(m_arrScheme), std::end(m_arrScheme), kNone);
    Refresh();
}

COLORREF CXTPColorTable::GetColor(int nIndex) const
{
    if (nIndex < 0 || nIndex >= XT_COLOR_TABLE_SIZE)
        return static_cast<COLORREF>(nIndex);
    return m_arrCustom[nIndex] != kNone ? m_arrCustom[nIndex] : m_arrStandard[nIndex];
}

COLORREF CXTPColorTable::GetSchemeColor(int nIndex) const
{
    if (nIndex >= 30 && nIndex < XT_COLOR_TABLE_SIZE && m_arrScheme[nIndex] != kNone)
        return m_arrScheme[nIndex];
    return GetColor(nIndex);
}

UINT CXTPColorTable::GetCurrentScheme() const
{
    return m_nRequestedScheme == 4 || m_nRequestedScheme == 5 ? m_nDetectedScheme : m_nRequestedScheme;
}

UINT CXTPColorTable::DetectScheme() const
{
    CString strFileName;
    CString strColorName;
    const BOOL bActive = g_pfnGetThemeName != NULL ? g_pfnGetThemeName(strFileName, strColorName)
                                                   : ThemeNameFromLibrary(strFileName, strColorName);
    if (!bActive)
        return 0;
    strFileName.MakeLower();
    if (strFileName.Find(L"luna.msstyles") >= 0) {
        if (strColorName.CompareNoCase(L"normalcolor") == 0)
            return xtSchemeBlue;
        if (strColorName.CompareNoCase(L"homestead") == 0)
            return xtSchemeOlive;
        if (strColorName.CompareNoCase(L"metallic") == 0)
            return xtSchemeSilver;
        return xtSchemeNone;
    }
    if (strFileName.Find(L"royale.msstyles") >= 0 && strColorName.CompareNoCase(L"normalcolor") == 0)
        return xtSchemeBlue;
    return xtSchemeNone;
}

void CXTPColorTable::Refresh()
{
    m_nDetectedScheme = DetectScheme();
    const BOOL bLowColor = IsLowColorDC(NULL);

    m_arrStandard[0] = 0;
    for (int nIndex = 1; nIndex <= 27; ++nIndex)
        m_arrStandard[nIndex] = m_pfnGetSysColor != NULL ? m_pfnGetSysColor(nIndex) : ::GetSysColor(nIndex);
    for (const auto& entry : g_defaults)
        SetStandard(entry.nIndex, GetColor(entry.nSource));
    SetStandard(59, 0);

    const UINT nScheme = m_bLunaColorsDisabled ? static_cast<UINT>(xtSchemeNone) : GetCurrentScheme();
    RefreshSchemeColors(nScheme);
    if (!bLowColor) {
        RefreshBlends();
        RefreshContrast();
        RefreshDerived();
    }
    RefreshGradients(nScheme);
    if (!bLowColor)
        RefreshThemeBorder();
}

void CXTPColorTable::RefreshSchemeColors(UINT nScheme)
{
    if (nScheme < xtSchemeBlue || nScheme > xtSchemeSilver) {
        std::fill(std::begin(m_arrScheme), std::end(m_arrScheme), kNone);
        return;
    }
    for (const auto& entry : g_schemeColors)
        m_arrScheme[entry.nIndex] = entry.clr[nScheme - 1];
}

void CXTPColorTable::RefreshBlends()
{
    for (const auto& blend : g_blends)
        SetStandard(blend.nTarget,
                    BlendColors(GetColor(blend.nFirst), GetColor(blend.nSecond), blend.nWeight));
    if (XTColorIsFarEnough(GetColor(15), GetColor(30), true, 35))
        SetStandard(30, XTColorPullTowards(GetColor(15), GetColor(30), 35));
}

void CXTPColorTable::RefreshContrast()
{
    for (const auto& rule : g_contrastRules) {
        if (!XTColorIsFarEnough(GetColor(rule.nA), GetColor(rule.nB), true, rule.nThreshold))
            SetStandard(rule.nTarget, XTColorPushAway(GetColor(rule.nA), GetColor(rule.nB), rule.nThreshold));
    }
    if (XTColorIsFarEnough(GetColor(41), GetColor(35), true, 145))
        SetStandard(35, XTColorPullTowards(GetColor(41), GetColor(35), 145));
}

void CXTPColorTable::RefreshDerived()
{
    const COLORREF c5 = GetColor(5);
    const COLORREF c13 = GetColor(13);
    const COLORREF c15 = GetColor(15);
    const COLORREF c30 = GetColor(30);
    auto mix36 = [](int a, int b, int c) { return a * 50 / 100 + b * 40 / 100 + c * 10 / 100; };
    SetStandard(36, RGB(mix36(GetRValue(c30), GetRValue(c5), GetRValue(c13)),
                        mix36(GetGValue(c30), GetGValue(c5), GetGValue(c13)),
                        mix36(GetBValue(c30), GetBValue(c5), GetBValue(c13))));

    const int m15 = HighestChannel(c15);
    SetStandard(48,
                m15 == 0 ? RGB(0x23, 0x23, 0x23) : ScaleChannels(c15, m15 + std::min(255 - m15, 35), m15));

    if (c15 == 0) {
        SetStandard(49, RGB(0x7F, 0x7F, 0x7F));
    } else {
        const COLORREF c16 = GetColor(16);
        const int m16 = HighestChannel(c16);
        SetStandard(49, m16 == 0 ? 0 : ScaleChannels(c16, std::max(m16 - 43, 0), m16));
    }

    const COLORREF s31 = m_arrStandard[31];
    SetStandard(34, RGB(static_cast<int>(GetRValue(s31) * 0.75), static_cast<int>(GetGValue(s31) * 0.75),
                        static_cast<int>(GetBValue(s31) * 0.75)));
    SetStandard(22, RGB(std::min(GetRValue(c15) + 15, 255), std::min(GetGValue(c15) + 15, 255),
                        std::min(GetBValue(c15) + 15, 255)));
    SetStandard(53, GetColor(30));
    SetStandard(58, GetColor(40));
    SetStandard(60, m_arrStandard[40]);
}

void CXTPColorTable::RefreshGradients(UINT nScheme)
{
    if (nScheme >= xtSchemeBlue && nScheme <= xtSchemeSilver) {
        for (int nPair = 0; nPair < 7; ++nPair) {
            const auto& gradient = g_schemeGradients[nScheme - 1][nPair];
            m_arrGradient[nPair].Set(gradient.clrStart, gradient.clrEnd, gradient.fFactor);
        }
        SetStandard(54, g_schemeColor54[nScheme - 1]);
        return;
    }
    const COLORREF c5 = GetColor(5);
    const COLORREF c15 = GetColor(15);
    const COLORREF c16 = GetColor(16);
    // The end of pair 3 follows the process-wide table; that table, while it is built, is this one.
    const COLORREF c15Shared = g_bBuildingProcessTable ? c15 : GetColorTable()->GetColor(15);
    m_arrGradient[0].Set(c16, c16);
    m_arrGradient[1].Set(c15, BlendColors(c15, c5, 215));
    m_arrGradient[2].Set(c15, c16);
    m_arrGradient[3].Set(BlendColors(c15, c5, 205), c15Shared);
    m_arrGradient[4].Set(BlendColors(c15, c5, 145), BlendColors(c15, c5, 93));
    m_arrGradient[5].Set(BlendColors(c15, c5, 40), BlendColors(c15, c16, 95));
    m_arrGradient[6].Set(BlendColors(c15, c5, 165), BlendColors(c15, c5, 42));
}

void CXTPColorTable::RefreshThemeBorder()
{
    CXTThemeHandle theme;
    theme.Open(NULL, L"TREEVIEW");
    COLORREF clrBorder = 0;
    if (theme.IsAppThemed() && SUCCEEDED(theme.GetColor(0, 0, 3801 /* TMT_BORDERCOLOR */, &clrBorder)))
        SetStandard(57, clrBorder);
}

CXTPColorTable* AFXAPI GetColorTable()
{
    static CXTPColorTable* pTable = [] {
        g_bBuildingProcessTable = true;
        static CXTPColorTable table;
        g_bBuildingProcessTable = false;
        return &table;
    }();
    return pTable;
}

void AFXAPI RefreshColorTableThrottled()
{
    static DWORD dwLastRefresh = 0;
    static bool bRecorded = false;
    const DWORD dwNow = ::GetTickCount();
    if (bRecorded && dwNow - dwLastRefresh <= 500)
        return;
    GetColorTable()->Refresh();
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL && pThread->GetMainWnd() != NULL) {
        dwLastRefresh = dwNow;
        bRecorded = true;
    }
}

UINT AFXAPI GetCurrentColorScheme()
{
    return GetColorTable()->GetCurrentScheme();
}
