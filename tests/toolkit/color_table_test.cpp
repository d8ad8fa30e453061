// The colour table against tables computed by an independent script of its rules (color_golden.py),
// for injected system colours, every scheme, Luna colours disabled and a 256-colour screen.
#include "color_table.h"
#include "draw_helpers.h"

#include <gtest/gtest.h>

#include "color_golden.h"
#include "toolkit_test_app.h"

namespace {

int g_nSystemColorCalls = 0;

COLORREF AFXAPI InjectedSystemColor(int nIndex)
{
    ++g_nSystemColorCalls;
    return golden::kSystemColors[nIndex];
}

// Sets up the process-wide table for one case and puts it back as it was at the end.
class ProcessTableCase
{
public:
    ProcessTableCase(UINT nScheme, BOOL bLunaDisabled) : m_pTable(GetColorTable())
    {
        m_pTable->SetSystemColorFunction(InjectedSystemColor);
        m_pTable->SetRequestedScheme(nScheme);
        m_pTable->SetLunaColorsDisabled(bLunaDisabled);
        m_pTable->Refresh();
    }
    ~ProcessTableCase()
    {
        m_pTable->SetSystemColorFunction(NULL);
        m_pTable->SetRequestedScheme(xtSchemeDetected);
        m_pTable->SetLunaColorsDisabled(FALSE);
        m_pTable->Refresh();
    }
    CXTPColorTable* operator->() const { return m_pTable; }

private:
    CXTPColorTable* m_pTable;
};

void ExpectGoldenTables(bool bLowColor)
{
    int nCompared = 0;
    for (const golden::Table& expected : golden::kTables) {
        if (expected.lowColor != bLowColor)
            continue;
        SCOPED_TRACE(expected.name);
        ProcessTableCase table(expected.scheme, expected.lunaDisabled);
        for (int i = 0; i < 62; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(table->GetColor(i), expected.colors[i]);
            const bool bSchemeSets = i >= 30 && expected.schemeColors[i] != 0xFFFFFFFFu;
            EXPECT_EQ(table->GetSchemeColor(i), bSchemeSets ? expected.schemeColors[i] : expected.colors[i]);
        }
        for (int nPair = 0; nPair < 10; ++nPair) {
            SCOPED_TRACE(nPair);
            const CXTColorPair& pair = table->GetGradientPair(nPair);
            EXPECT_EQ(static_cast<COLORREF>(pair.m_clrStart), expected.pairs[nPair].start);
            EXPECT_EQ(static_cast<COLORREF>(pair.m_clrEnd), expected.pairs[nPair].end);
            EXPECT_EQ(pair.m_fFactor, expected.pairs[nPair].factor);
        }
        ++nCompared;
    }
    EXPECT_GT(nCompared, 0);
}

TEST(ColorTable, MatchesTheRulesForEverySchemeAndWithLunaColorsDisabled)
{
    ASSERT_FALSE(IsLowColorDC(NULL));
    ExpectGoldenTables(false);
}

TEST(ColorTable, IndexesAboveTheTableAreLiteralColorsAndCustomColorsSurviveRefresh)
{
    ProcessTableCase table(xtSchemeNone, FALSE);
    EXPECT_EQ(table->GetColor(62), 0x00003Eu);
    EXPECT_EQ(table->GetColor(0xFF8000), 0xFF8000u);
    EXPECT_EQ(table->GetColor(61), table->GetStandardColor(61));

    table->SetCustomColor(61, RGB(1, 2, 3));
    table->SetCustomColor(5, RGB(10, 20, 30));
    table->Refresh();
    EXPECT_EQ(table->GetColor(61), RGB(1, 2, 3));
    EXPECT_EQ(table->GetColor(5), RGB(10, 20, 30));
    // The derived colours are built from the effective colours, custom ones included.
    EXPECT_EQ(table->GetGradientPair(1).m_clrEnd, BlendColors(table->GetColor(15), RGB(10, 20, 30), 215));

    table->SetCustomColor(61, static_cast<COLORREF>(-1));
    table->SetCustomColor(5, static_cast<COLORREF>(-1));
    EXPECT_EQ(table->GetColor(61), table->GetStandardColor(61));
    EXPECT_EQ(table->GetColor(5), golden::kSystemColors[5]);
}

TEST(ColorTable, BlendWeightsBelowOneHundredArePercentTheOthersPerMille)
{
    struct Case
    {
        const char* name;
        int weight;
        COLORREF expected;
    };
    const Case cases[] = {
        {"99 percent", 99, RGB(252, 3, 100)},  {"100 per mille", 100, RGB(26, 230, 100)},
        {"93 percent", 93, RGB(237, 18, 100)}, {"165 per mille", 165, RGB(42, 213, 100)},
        {"0 percent", 0, RGB(0, 255, 100)},    {"1000 per mille", 1000, RGB(255, 0, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BlendColors(RGB(255, 0, 100), RGB(0, 255, 100), c.weight), c.expected);
    }
}

TEST(ColorTable, ThrottledRefreshesWorkOnceWithin500MsAfterTheMainWindowExists)
{
    ProcessTableCase table(xtSchemeNone, FALSE);
    // Before there is a main window every throttled refresh works.
    g_nSystemColorCalls = 0;
    RefreshColorTableThrottled();
    RefreshColorTableThrottled();
    EXPECT_EQ(g_nSystemColorCalls, 2 * 27);

    CWnd mainWnd;
    ASSERT_TRUE(
        mainWnd.CreateEx(0, AfxRegisterWndClass(0), L"main", WS_OVERLAPPED, CRect(0, 0, 10, 10), NULL, 0));
    theApp.m_pMainWnd = &mainWnd;
    g_nSystemColorCalls = 0;
    RefreshColorTableThrottled();
    RefreshColorTableThrottled();
    EXPECT_EQ(g_nSystemColorCalls, 27);
    Sleep(600);
    RefreshColorTableThrottled();
    EXPECT_EQ(g_nSystemColorCalls, 2 * 27);
    theApp.m_pMainWnd = NULL;
    mainWnd.DestroyWindow();
}

// Stands in for the visual-style library's theme name.
struct ThemeName
{
    BOOL bActive;
    const wchar_t* pszFile;
    const wchar_t* pszColor;
};
ThemeName g_themeName = {};

BOOL AFXAPI FakeThemeName(CString& strFileName, CString& strColorName)
{
    strFileName = g_themeName.pszFile;
    strColorName = g_themeName.pszColor;
    return g_themeName.bActive;
}

TEST(ColorTable, DetectsTheSchemeFromTheVisualStyleFileAndColorNames)
{
    struct Case
    {
        ThemeName theme;
        UINT expected;
    };
    const Case cases[] = {
        {{TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor"}, xtSchemeBlue},
        {{TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\LUNA.MSSTYLES", L"HomeStead"}, xtSchemeOlive},
        {{TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", L"Metallic"}, xtSchemeSilver},
        {{TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", L"Custom"}, xtSchemeNone},
        {{TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"NormalColor"}, xtSchemeBlue},
        {{TRUE, L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"Metallic"}, xtSchemeNone},
        {{TRUE, L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"Blue"}, xtSchemeNone},
        {{FALSE, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor"}, xtSchemeNone},
    };
    CXTPColorTable::SetThemeNameFunction(FakeThemeName);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << Narrow(c.theme.pszFile) << " " << Narrow(c.theme.pszColor));
        g_themeName = c.theme;
        ProcessTableCase table(xtSchemeDetected, FALSE);
        EXPECT_EQ(table->GetDetectedScheme(), c.expected);
        EXPECT_EQ(table->GetCurrentScheme(), c.expected);
        EXPECT_EQ(GetCurrentColorScheme(), c.expected);
        table->SetRequestedScheme(5);
        EXPECT_EQ(table->GetCurrentScheme(), c.expected);
        // A detected scheme sets the scheme's colours like a requested one.
        table->Refresh();
        const COLORREF expected30[] = {static_cast<COLORREF>(-1), 0xF5BE9E, 0xA7D9D9, 0xE5D7D7};
        EXPECT_EQ(table->GetSchemeColor(30), c.expected == 0 ? table->GetColor(30) : expected30[c.expected]);
        table->SetRequestedScheme(xtSchemeSilver);
        EXPECT_EQ(table->GetCurrentScheme(), static_cast<UINT>(xtSchemeSilver));
    }
    CXTPColorTable::SetThemeNameFunction(NULL);
    // Wine's own visual style is none of the XP schemes.
    GetColorTable()->Refresh();
    EXPECT_EQ(GetColorTable()->GetDetectedScheme(), static_cast<UINT>(xtSchemeNone));
}

TEST(LowColorScreen, ColorsAreThePlainSystemColorsForEveryScheme)
{
    ASSERT_TRUE(IsLowColorDC(NULL)) << "runs on a 256-colour screen (WINRUN_SCREEN_DEPTH=8)";
    ExpectGoldenTables(true);

    // With the system's own colours too: indexes 30 to 60 copy the system colour beside them.
    CXTPColorTable table;
    const int sources[] = {15, 5,  13, 13, 16, 17, 5,  13, 16, 16, 16, 5,  16, 16, 8, 7,
                           18, 14, 15, 18, 13, 15, 16, 15, 16, 15, 15, 16, 17, -1, 16};
    for (int i = 30; i <= 60; ++i) {
        SCOPED_TRACE(i);
        const int nSource = sources[i - 30];
        EXPECT_EQ(table.GetColor(i), nSource < 0 ? 0 : GetSysColor(nSource));
    }
}

} // namespace
