// The shared metrics under Wine: the common-controls version, sizes, colours, cursors and fonts.
#include "global_metrics.h"

#include "color_table.h"
#include "draw_helpers.h"
#include "resource_loader.h"
#include "toolkit_resource_ids.h"

#include <gtest/gtest.h>

#include "toolkit_test_app.h"

namespace {

TEST(GlobalMetrics, VersionSizesAndColorsComeFromTheSystemAndTheColorTable)
{
    const CXTGlobalMetrics* pMetrics = GetGlobalMetrics();
    ASSERT_EQ(pMetrics, GetGlobalMetrics());
    // Wine's common controls answer 5.81, also with a version-6 manifest.
    EXPECT_EQ(pMetrics->GetComCtlVersion(), (5u << 16) | 81u);
    EXPECT_EQ(pMetrics->m_cxSmIcon, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(pMetrics->m_cySmIcon, GetSystemMetrics(SM_CYSMICON));
    EXPECT_EQ(pMetrics->m_cxHThumb, GetSystemMetrics(SM_CXHTHUMB));
    EXPECT_EQ(pMetrics->m_cyVThumb, GetSystemMetrics(SM_CYVTHUMB));
    EXPECT_EQ(pMetrics->m_cyMenuItem, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(pMetrics->m_cxSize, 18);
    EXPECT_EQ(pMetrics->m_cySize, 18);
    EXPECT_FALSE(pMetrics->m_bIsWin95 || pMetrics->m_bIsWin98 || pMetrics->m_bIsWinNT4 ||
                 pMetrics->m_bIsWin2000 || pMetrics->m_bIsWinXP);

    // Built from the system's colours, in the order of its index list.
    const CXTPColorTable table;
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(CXTGlobalMetrics::s_colorIndexes[i]);
        EXPECT_EQ(pMetrics->m_arrColors[i], table.GetColor(CXTGlobalMetrics::s_colorIndexes[i]));
    }
    EXPECT_EQ(pMetrics->m_arrColors[0], GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pMetrics->m_arrColors[21], table.GetColor(31));
}

POINT HotSpot(HCURSOR hCursor)
{
    ICONINFO info = {};
    POINT hotSpot = {-1, -1};
    if (GetIconInfo(hCursor, &info)) {
        hotSpot = {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
        DeleteObject(info.hbmMask);
        if (info.hbmColor != NULL)
            DeleteObject(info.hbmColor);
    }
    return hotSpot;
}

TEST(GlobalMetrics, EachCursorLoadsOnItsOwnFromOurResourcesOrTheSystem)
{
    const CXTGlobalMetrics* pMetrics = GetGlobalMetrics();
    // No part of the program names these three; their absence leaves the others alone.
    EXPECT_EQ(pMetrics->m_hcurCursor9008, nullptr);
    EXPECT_EQ(pMetrics->m_hcurCursor9009, nullptr);
    EXPECT_EQ(pMetrics->m_hcurCursor9011, nullptr);
    EXPECT_EQ(pMetrics->m_hcurHand, LoadCursorW(NULL, IDC_HAND));
    EXPECT_EQ(pMetrics->m_hcurMove, LoadCursorW(NULL, IDC_SIZEALL));
    ASSERT_NE(pMetrics->m_hcurHSplitBar, nullptr);
    ASSERT_NE(pMetrics->m_hcurVSplitBar, nullptr);
    // Ours, not the system's sizing cursors: the hot spots of res/cursors/cursors.txt.
    EXPECT_EQ(HotSpot(pMetrics->m_hcurHSplitBar).x, 12);
    EXPECT_EQ(HotSpot(pMetrics->m_hcurHSplitBar).y, 10);
    EXPECT_EQ(HotSpot(pMetrics->m_hcurVSplitBar).x, 10);
    EXPECT_EQ(HotSpot(pMetrics->m_hcurVSplitBar).y, 12);
    const HCURSOR hHand = GetResourceLoader()->LoadCursor(XT_IDC_HAND);
    ASSERT_NE(hHand, nullptr);
    EXPECT_EQ(HotSpot(hHand).x, 6);
    EXPECT_EQ(HotSpot(hHand).y, 0);
}

// The text "Ag" drawn in the font, as pixels.
std::vector<std::uint32_t> TextPixels(HFONT hFont)
{
    PixelSurface surface(60, 60, RGB(255, 255, 255));
    HGDIOBJ hOld = SelectObject(surface.dc()->m_hDC, hFont);
    SetBkMode(surface.dc()->m_hDC, TRANSPARENT);
    TextOutW(surface.dc()->m_hDC, 30, 5, L"Ag", 2);
    SelectObject(surface.dc()->m_hDC, hOld);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x)
            pixels.push_back(surface.Pixel(x, y));
    }
    return pixels;
}

LOGFONTW LogFontOf(CFont& font)
{
    LOGFONTW logFont = {};
    EXPECT_NE(font.GetSafeHandle(), nullptr);
    if (font.GetSafeHandle() != NULL)
        font.GetLogFont(&logFont);
    return logFont;
}

TEST(GlobalMetrics, FontsFollowTheMenuAndIconTitleFonts)
{
    CXTGlobalMetrics* pMetrics = GetGlobalMetrics();
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof ncm;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0));
    LOGFONTW iconTitle = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0));

    const LOGFONTW normal = LogFontOf(pMetrics->m_fontNormal);
    EXPECT_STREQ(normal.lfFaceName, ncm.lfMenuFont.lfFaceName);
    EXPECT_EQ(normal.lfHeight, ncm.lfMenuFont.lfHeight);
    EXPECT_EQ(LogFontOf(pMetrics->m_fontBold).lfWeight, FW_BOLD);
    EXPECT_TRUE(LogFontOf(pMetrics->m_fontUnderline).lfUnderline);

    // The face of vertical text: the menu font's when it is Tahoma, else Arial where it exists.
    const CString expectedVertical = lstrcmpiW(ncm.lfMenuFont.lfFaceName, L"Tahoma") == 0
                                         ? ncm.lfMenuFont.lfFaceName
                                     : FontExists(L"Arial") ? L"Arial"
                                                            : ncm.lfMenuFont.lfFaceName;
    const LOGFONTW vertical = LogFontOf(pMetrics->m_fontVert);
    EXPECT_STREQ(vertical.lfFaceName, expectedVertical.GetString());
    EXPECT_EQ(vertical.lfEscapement, 2700);
    EXPECT_EQ(vertical.lfOrientation, 900);
    const LOGFONTW verticalBold = LogFontOf(pMetrics->m_fontVertBold);
    EXPECT_EQ(verticalBold.lfEscapement, 2700);
    EXPECT_EQ(verticalBold.lfWeight, FW_BOLD);

    EXPECT_STREQ(LogFontOf(pMetrics->m_fontIconTitle).lfFaceName, iconTitle.lfFaceName);
    EXPECT_EQ(LogFontOf(pMetrics->m_fontIconTitleBold).lfWeight, FW_BOLD);
    EXPECT_STREQ(LogFontOf(pMetrics->m_fontStatus).lfFaceName, ncm.lfStatusFont.lfFaceName);
    EXPECT_STREQ(LogFontOf(pMetrics->m_fontSmCaption).lfFaceName, ncm.lfSmCaptionFont.lfFaceName);

    const LOGFONTW symbol = LogFontOf(pMetrics->m_fontMarlett);
    EXPECT_STREQ(symbol.lfFaceName, L"Marlett");
    EXPECT_EQ(symbol.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(symbol.lfHeight, iconTitle.lfHeight);
    // The caption glyphs come from the real font: a stand-in face would draw the letters "r" and "0".
    HDC hScreen = ::GetDC(NULL);
    HGDIOBJ hOldFont = ::SelectObject(hScreen, pMetrics->m_fontMarlett.GetSafeHandle());
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(hScreen, LF_FACESIZE, face);
    ::SelectObject(hScreen, hOldFont);
    ::ReleaseDC(NULL, hScreen);
    EXPECT_STREQ(face, L"Marlett");

    // The normal font draws text exactly as the menu font does.
    LOGFONTW reference = {};
    reference.lfHeight = ncm.lfMenuFont.lfHeight;
    reference.lfWeight = ncm.lfMenuFont.lfWeight;
    reference.lfCharSet = normal.lfCharSet;
    lstrcpynW(reference.lfFaceName, ncm.lfMenuFont.lfFaceName, LF_FACESIZE);
    HFONT hReference = CreateFontIndirectW(&reference);
    const std::vector<std::uint32_t> expected = TextPixels(hReference);
    DeleteObject(hReference);
    const std::vector<std::uint32_t> drawn =
        TextPixels(static_cast<HFONT>(pMetrics->m_fontNormal.GetSafeHandle()));
    EXPECT_TRUE(drawn == expected);
    EXPECT_NE(std::count(drawn.begin(), drawn.end(), RGB(255, 255, 255)), static_cast<long>(drawn.size()));
}

int CALLBACK LastFaceProc(const LOGFONTW* pLogFont, const TEXTMETRICW*, DWORD, LPARAM lParam)
{
    *reinterpret_cast<std::wstring*>(lParam) = pLogFont->lfFaceName;
    return 1;
}

TEST(GlobalMetrics, FontExistsKnowsTheFacesTheSystemEnumerates)
{
    // The last family the system lists, in any case of letters.
    std::wstring face;
    CClientDC screen(NULL);
    LOGFONTW any = {};
    any.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen.m_hDC, &any, LastFaceProc, reinterpret_cast<LPARAM>(&face), 0);
    ASSERT_FALSE(face.empty());
    EXPECT_TRUE(FontExists(face.c_str()));
    CString upper(face.c_str());
    upper.MakeUpper();
    EXPECT_TRUE(FontExists(upper));
    EXPECT_FALSE(FontExists(L"No Such Face Anywhere"));
    EXPECT_FALSE(FontExists(L""));
    // Without Arial the GUI font's own face serves; with it, Tahoma only when preferred.
    LOGFONTW gui = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    const bool bArial = FontExists(L"Arial") && gui.lfCharSet <= 2;
    EXPECT_EQ(GetGuiFaceName(TRUE), bArial ? CString(L"Tahoma") : CString(gui.lfFaceName));
    EXPECT_EQ(GetGuiFaceName(FALSE), bArial ? CString(L"Arial") : CString(gui.lfFaceName));
}

} // namespace
