// The tab paint manager's layout with a fixed font: the empty strip, item widths by layout, compression,
// rows, bringing a tab into view, the header depth and button height, the middle ellipsis, the fonts,
// and what the colour and appearance selectors build.
#include "tab_test_owner.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <typeinfo>
#include <vector>

namespace {

TEST(TabPaintManagerLayout, WithoutItemsTheHeaderStaysAndOneEmptyRowIsLeft)
{
    CTestTabOwner owner;
    UseTestFont(owner.m_pPaintManager);
    owner.Reposition();
    const int nRowHeight = owner.m_pPaintManager->GetAppearanceSet()->GetRowHeight(&owner);
    EXPECT_EQ(owner.GetHeaderRect(), CRect(0, 0, 300, nRowHeight + 3));
    EXPECT_EQ(owner.GetRows()->GetCount(), 1);
    EXPECT_EQ((*owner.GetRows())[0].nFirstItem, 0);
    EXPECT_EQ((*owner.GetRows())[0].nLastItem, -1);
    EXPECT_EQ(owner.GetClientRect(), owner.m_rcLayout);

    // Header and client are still filled.
    CXTPTabColorSet* pColorSet = owner.m_pPaintManager->GetColorSet();
    pColorSet->m_clrHeaderFace.SetSingle(RGB(10, 20, 30));
    pColorSet->m_clrSelectedItemFace.SetStandardValue(RGB(200, 100, 50));
    PixelSurface surface(300, 120, RGB(255, 255, 255));
    owner.Draw(surface.dc());
    EXPECT_EQ(surface.Pixel(150, 5), RGB(10, 20, 30));
    EXPECT_EQ(surface.Pixel(150, 80), RGB(200, 100, 50));
}

TEST(TabPaintManagerLayout, ItemWidthsFollowTheLayoutAndItsLimits)
{
    CTestTabOwner owner;
    CXTPTabPaintManager* pPaintManager = owner.m_pPaintManager;
    UseTestFont(pPaintManager);
    owner.AddTabs({L"a", L"a much longer caption"});
    const int nShort = owner.GetItem(0)->GetButtonLength();
    const int nLong = owner.GetItem(1)->GetButtonLength();
    EXPECT_GT(nLong, nShort);
    EXPECT_EQ(owner.GetItem(0)->GetRect().left, 2) << "the header margin";
    EXPECT_EQ(owner.GetItem(1)->GetRect().left, 2 + nShort);

    pPaintManager->SetLayout(xtpTabLayoutSizeToFit);
    EXPECT_EQ(owner.GetItem(0)->GetButtonLength(), nLong);
    pPaintManager->SetLayout(xtpTabLayoutFixed);
    EXPECT_EQ(owner.GetItem(0)->GetButtonLength(), 70);
    owner.SetItemMetrics(CSize(90, 18), CSize(0, 0), CSize(60, 0));
    EXPECT_EQ(owner.GetItem(1)->GetButtonLength(), 60);

    pPaintManager->m_rcItemInset.SetRect(3, 0, 4, 0);
    EXPECT_EQ(pPaintManager->GetItemWidth(50, 0, 0), 57);
    EXPECT_EQ(pPaintManager->GetItemWidth(50, 80, 0), 80);
    EXPECT_EQ(pPaintManager->GetItemWidth(50, 0, 40), 40);

    // An icon widens a measured tab by its width.
    pPaintManager->SetLayout(xtpTabLayoutAutoSize);
    owner.SetItemMetrics(CSize(70, 18));
    const int nWithoutIcon = owner.GetItem(0)->GetButtonLength();
    owner.m_bIcons = TRUE;
    owner.Reposition();
    EXPECT_EQ(owner.GetItem(0)->GetButtonLength(), nWithoutIcon + 16);

    // The selected tab of an active owner is measured bold when asked; mnemonics count only when
    // the prefix is not drawn.
    owner.m_bIcons = FALSE;
    owner.GetItem(0)->SetCaption(L"&Bold");
    const int nPlain = owner.GetItem(0)->GetButtonLength();
    pPaintManager->m_bBoldSelected = TRUE;
    owner.SetSelectedItem(owner.GetItem(0));
    EXPECT_GT(owner.GetItem(0)->GetButtonLength(), nPlain);
    owner.m_bActive = FALSE;
    owner.Reposition();
    EXPECT_EQ(owner.GetItem(0)->GetButtonLength(), nPlain);
    pPaintManager->m_bNoPrefix = FALSE;
    owner.Reposition();
    EXPECT_LT(owner.GetItem(0)->GetButtonLength(), nPlain);
    pPaintManager->m_bNoPrefix = TRUE;
    owner.m_bIcons = TRUE;

    // Rotated: every tab as long as a row, the header as deep as the widest caption.
    pPaintManager->SetLayout(xtpTabLayoutRotated);
    const int nRowHeight = pPaintManager->GetAppearanceSet()->GetRowHeight(&owner);
    EXPECT_EQ(owner.GetItemsLength(), 2 * nRowHeight);
    EXPECT_EQ(owner.GetItem(1)->GetRect().Width(), nRowHeight);
    EXPECT_GE(owner.GetHeaderRect().Height(), owner.GetItem(1)->GetContentLength());
}

TEST(TabPaintManagerLayout, CompressionShrinksTheWidestFirst)
{
    struct Case
    {
        const char* name;
        std::vector<int> widths;
        int nRoom;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"fitting", {50, 30, 20}, 200, {50, 30, 20}},
        {"single", {100}, 60, {60}},
        {"widest alone", {100, 50, 50}, 180, {80, 50, 50}},
        {"widest down to the next, then all alike", {100, 50, 50}, 120, {40, 40, 40}},
        {"all equally wide", {70, 70, 70}, 200, {66, 66, 66}},
        {"two groups", {100, 80, 20}, 150, {65, 65, 20}},
        {"ties keep their places", {60, 90, 90, 30}, 240, {60, 75, 75, 30}},
        {"remainder not spread", {100, 100, 10}, 189, {90, 90, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> widths = c.widths;
        CXTPTabPaintManager::CompressWidths(widths.data(), static_cast<int>(widths.size()), c.nRoom);
        EXPECT_EQ(widths, c.expected);
    }

    // Through the layout: the tabs fill the header and the arrows stay away.
    CTestTabOwner owner;
    owner.m_rcLayout = CRect(0, 0, 150, 60);
    owner.m_pPaintManager->SetLayout(xtpTabLayoutCompressed);
    owner.AddTabs({L"first caption", L"second caption", L"third caption"});
    EXPECT_LE(owner.GetItem(2)->GetRect().right, 150 - 6);
    EXPECT_LT(owner.GetItem(0)->GetButtonLength(), owner.GetItem(0)->GetContentLength());
    EXPECT_TRUE(owner.FindNavigateButton(xtpTabNavigateButtonRight)->GetRect().IsRectEmpty());
}

TEST(TabPaintManagerLayout, RowsAreCountedAndFittedWithoutTryingEverySplit)
{
    struct Case
    {
        const char* name;
        std::vector<int> widths;
        BOOL bJustify;
        int nRows;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"one a row", {60, 60, 60}, TRUE, 3, {0, 1, 2}},
        {"a tab wider than the room alone", {40, 150, 30}, TRUE, 3, {0, 1, 2}},
        {"balanced", {30, 30, 30, 30, 30}, TRUE, 2, {0, 0, 1, 1, 1}},
        {"filled in order", {30, 30, 30, 30, 30}, FALSE, 2, {0, 0, 0, 1, 1}},
        {"stays when the rest would not fit", {10, 90, 90}, TRUE, 2, {0, 0, 1}},
        {"single", {500}, TRUE, 1, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int nCount = static_cast<int>(c.widths.size());
        const int nRows = CXTPTabPaintManager::CountRows(c.widths.data(), nCount, 100);
        EXPECT_EQ(nRows, c.nRows);
        std::vector<int> rows(nCount, -1);
        CXTPTabPaintManager::FitRows(c.widths.data(), nCount, 100, nRows, c.bJustify, rows.data());
        EXPECT_EQ(rows, c.rows);
    }
    // Many equal tabs: the walk ends at once where a search over every split would not.
    std::vector<int> many(2000, 33);
    std::vector<int> rows(many.size());
    const int nRows = CXTPTabPaintManager::CountRows(many.data(), 2000, 100);
    CXTPTabPaintManager::FitRows(many.data(), 2000, 100, nRows, TRUE, rows.data());
    EXPECT_EQ(rows.back(), nRows - 1);
}

TEST(TabPaintManagerLayout, MultiRowPlacesRowZeroNextToTheClientAndStretchesRows)
{
    CTestTabOwner owner;
    owner.m_rcLayout = CRect(0, 0, 200, 150);
    UseTestFont(owner.m_pPaintManager);
    owner.SetItemMetrics(CSize(70, 20));
    owner.m_pPaintManager->SetLayout(xtpTabLayoutMultiRow);
    owner.AddTabs({L"a", L"a caption far wider than the whole strip can show", L"b"});
    ASSERT_EQ(owner.GetRows()->GetCount(), 3);
    EXPECT_EQ(owner.GetItem(0)->GetItemRow(), 0);
    EXPECT_EQ(owner.GetItem(1)->GetItemRow(), 1);
    EXPECT_EQ(owner.GetItem(2)->GetItemRow(), 2);
    // Rows of 20 overlap by 2; the header is 3 x 20 - 2 x 2 = 56 deep plus margins 3 and 0.
    EXPECT_EQ(owner.GetHeaderRect().Height(), 59);
    EXPECT_EQ(owner.GetItem(0)->GetRect().top, 39);
    EXPECT_EQ(owner.GetItem(1)->GetRect().top, 21);
    EXPECT_EQ(owner.GetItem(2)->GetRect().top, 3);
    // Justified rows reach the full length: 200 less the margins 2 and 6.
    EXPECT_EQ(owner.GetItem(0)->GetRect().right, 194);
    EXPECT_EQ(owner.GetItem(2)->GetRect().Width(), 192);
    EXPECT_TRUE(owner.FindNavigateButton(xtpTabNavigateButtonLeft)->GetRect().IsRectEmpty());

    owner.m_pPaintManager->SetPosition(xtpTabPositionBottom);
    EXPECT_EQ(owner.GetItem(0)->GetRect().top, 150 - 59);
    EXPECT_EQ(owner.GetItem(1)->GetRect().top, 150 - 59 + 18);
}

TEST(TabPaintManagerLayout, StackedBarsKeepTheTabsAfterTheSelectedOneAtTheBottom)
{
    CTestTabOwner owner;
    owner.m_rcLayout = CRect(0, 0, 200, 150);
    owner.m_pPaintManager->SelectAppearance(xtpTabAppearanceStackedBars);
    UseTestFont(owner.m_pPaintManager);
    owner.AddTabs({L"a", L"b", L"c", L"d"});
    owner.SetSelectedItem(owner.GetItem(1));
    // Bars of 20 from one pixel down, one pixel in while the client is framed.
    EXPECT_EQ(owner.GetItem(0)->GetRect(), CRect(1, 1, 200, 21));
    EXPECT_EQ(owner.GetItem(1)->GetRect(), CRect(1, 21, 200, 41));
    EXPECT_EQ(owner.GetItem(2)->GetRect(), CRect(1, 110, 200, 130));
    EXPECT_EQ(owner.GetItem(3)->GetRect(), CRect(1, 130, 200, 150));
    EXPECT_EQ(owner.GetClientRect(), CRect(1, 41, 199, 110));
    EXPECT_TRUE(owner.GetHeaderRect().IsRectEmpty());
    EXPECT_EQ(owner.HitTest(CPoint(50, 120)), owner.GetItem(2));

    owner.SetSelectedItem(owner.GetItem(3));
    EXPECT_EQ(owner.GetItem(3)->GetRect(), CRect(1, 61, 200, 81));
    EXPECT_EQ(owner.GetClientRect(), CRect(1, 81, 199, 149));

    owner.m_pPaintManager->m_nClientFrame = xtpTabFrameNone;
    owner.Reposition();
    EXPECT_EQ(owner.GetItem(0)->GetRect().left, 0);
    EXPECT_EQ(owner.GetClientRect(), CRect(0, 81, 200, 150));
}

TEST(TabPaintManagerLayout, SelectingATabBringsItIntoView)
{
    struct Case
    {
        const char* name;
        XTPTabPosition position;
        int nStartOffset;
        int nSelect;
        int nExpected;
    };
    // Five tabs of 70 from margin 2 in 200 pixels; the two arrows leave a header of 172 (170 upright).
    const Case cases[] = {
        {"last, from the start", xtpTabPositionTop, 0, 4, -180},
        {"middle, from the start", xtpTabPositionTop, 0, 2, -40},
        {"first, from the end", xtpTabPositionTop, -180, 0, 0},
        {"already in view", xtpTabPositionTop, -180, 3, -180},
        {"last, upright strip", xtpTabPositionLeft, 0, 4, -182},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestTabOwner owner;
        owner.m_rcLayout = c.position == xtpTabPositionLeft ? CRect(0, 0, 120, 200) : CRect(0, 0, 200, 120);
        owner.m_pPaintManager->SetPosition(c.position);
        owner.m_pPaintManager->SetLayout(xtpTabLayoutFixed);
        owner.AddTabs({L"1", L"2", L"3", L"4", L"5"});
        owner.SetScrollOffset(c.nStartOffset);
        owner.SetSelectedItem(owner.GetItem(c.nSelect));
        EXPECT_EQ(owner.GetScrollOffset(), c.nExpected);
    }
}

TEST(TabPaintManagerMetrics, ButtonHeightAndHeaderDepthFromTheFont)
{
    CTestTabOwner owner;
    UseTestFont(owner.m_pPaintManager, 12);
    CXTPTabAppearanceSet* pAppearance = owner.m_pPaintManager->GetAppearanceSet();
    EXPECT_EQ(pAppearance->GetButtonHeight(), 18) << "12 + 3 raised to the minimum";
    UseTestFont(owner.m_pPaintManager, 20);
    EXPECT_EQ(pAppearance->GetButtonHeight(), 23);
    owner.m_pPaintManager->m_bShowIcons = FALSE;
    owner.AddTabs({L"x"});
    EXPECT_EQ(owner.GetHeaderRect().Height(), 23 + 3);
    owner.m_pPaintManager->m_rcItemInset.SetRect(0, 2, 0, 1);
    owner.Reposition();
    EXPECT_EQ(owner.GetHeaderRect().Height(), 26 + 3);
}

TEST(TabPaintManagerMetrics, BuiltWithTheIconTitleFont)
{
    CXTPTabPaintManager* pPaintManager = new CXTPTabPaintManager();
    LOGFONTW iconTitle = {};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTW), &iconTitle, 0));
    LOGFONTW normal = {};
    ::GetObjectW(pPaintManager->m_fntNormal.GetSafeHandle(), sizeof(LOGFONTW), &normal);
    EXPECT_EQ(normal.lfHeight, iconTitle.lfHeight);
    EXPECT_STREQ(normal.lfFaceName, iconTitle.lfFaceName);
    // The button height was measured again with that font.
    HDC hDC = ::GetDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, pPaintManager->m_fntNormal.GetSafeHandle());
    SIZE size = {};
    ::GetTextExtentPoint32W(hDC, L" ", 1, &size);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(NULL, hDC);
    EXPECT_EQ(pPaintManager->GetAppearanceSet()->GetButtonHeight(),
              std::max(18, static_cast<int>(size.cy) + 3));
    pPaintManager->InternalRelease();
}

TEST(TabPaintManagerMetrics, ClientFrameOfTheAppearance)
{
    CTestTabOwner owner;
    CXTPTabAppearanceSet* pAppearance = owner.m_pPaintManager->GetAppearanceSet();
    CXTPTabColorSet* pColorSet = owner.m_pPaintManager->GetColorSet();
    pColorSet->m_clrHeaderFace.SetSingle(RGB(10, 20, 30));
    pColorSet->m_clrFrameShadow.SetStandardValue(RGB(1, 1, 1));
    pColorSet->m_clrFrameBorder.SetStandardValue(RGB(2, 2, 2));
    PixelSurface surface(40, 40, RGB(255, 255, 255));
    CRect rc(5, 5, 35, 35);
    pAppearance->DrawClientFrame(surface.dc(), rc, 1);
    EXPECT_EQ(rc, CRect(3, 3, 37, 37));
    rc.SetRect(5, 5, 35, 35);
    pAppearance->DrawClientFrame(surface.dc(), rc, 2);
    EXPECT_EQ(surface.Pixel(20, 20), RGB(10, 20, 30));

    owner.m_pPaintManager->m_bStaticFrame = TRUE;
    surface.Fill(RGB(255, 255, 255));
    rc.SetRect(5, 5, 35, 35);
    pAppearance->DrawClientFrame(surface.dc(), rc, 0);
    EXPECT_EQ(surface.Pixel(5, 5), RGB(1, 1, 1));
    EXPECT_EQ(surface.Pixel(6, 6), GetColorTable()->GetColor(COLOR_BTNFACE));
    EXPECT_EQ(rc, CRect(7, 7, 33, 33));
    rc.SetRect(5, 5, 35, 35);
    pAppearance->DrawClientFrame(surface.dc(), rc, 3);
    EXPECT_EQ(surface.Pixel(20, 34), RGB(2, 2, 2));
    EXPECT_EQ(surface.Pixel(20, 20), static_cast<COLORREF>(pColorSet->m_clrClientFace));
    rc.SetRect(5, 5, 35, 35);
    pAppearance->DrawClientFrame(surface.dc(), rc, 1);
    EXPECT_EQ(rc.top, 4);

    // The static frame also costs the layout 2, 1, 2, 2 pixels around the strip.
    owner.AddTabs({L"a"});
    EXPECT_EQ(owner.GetItem(0)->GetRect().left, 2 + 2);
    EXPECT_EQ(owner.GetItem(0)->GetRect().top, 1 + 3);
}

TEST(TabPaintManagerFonts, VerticalFontsKeepAnElevenPixelMinimum)
{
    CXTPTabPaintManager* pPaintManager = new CXTPTabPaintManager();
    struct Case
    {
        LONG nHeight;
        LONG nVertical;
    };
    const Case cases[] = {{-5, -11}, {-1, -11}, {-11, -11}, {-20, -20}, {14, 14}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nHeight);
        LOGFONT lf = TestFont(c.nHeight);
        pPaintManager->SetFontIndirect(&lf, FALSE);
        LOGFONT normal = {};
        LOGFONT vertical = {};
        LOGFONT verticalBold = {};
        ::GetObjectW(pPaintManager->m_fntNormal.GetSafeHandle(), sizeof(LOGFONT), &normal);
        ::GetObjectW(pPaintManager->m_fntVerticalNormal.GetSafeHandle(), sizeof(LOGFONT), &vertical);
        ::GetObjectW(pPaintManager->m_fntVerticalBold.GetSafeHandle(), sizeof(LOGFONT), &verticalBold);
        EXPECT_EQ(normal.lfHeight, c.nHeight);
        EXPECT_EQ(normal.lfWeight, FW_NORMAL);
        EXPECT_EQ(vertical.lfHeight, c.nVertical);
        EXPECT_EQ(vertical.lfEscapement, 2700);
        EXPECT_EQ(vertical.lfOrientation, 900);
        EXPECT_EQ(verticalBold.lfWeight, FW_BOLD);
    }
    pPaintManager->m_bBoldNormal = TRUE;
    LOGFONT lf = TestFont(-12);
    pPaintManager->SetFontIndirect(&lf, FALSE);
    LOGFONT normal = {};
    ::GetObjectW(pPaintManager->m_fntNormal.GetSafeHandle(), sizeof(LOGFONT), &normal);
    EXPECT_EQ(normal.lfWeight, FW_BOLD);
    // A null font changes only the flag.
    pPaintManager->SetFontIndirect(NULL, TRUE);
    EXPECT_TRUE(pPaintManager->m_bUseStandardFont);
    EXPECT_NE(pPaintManager->m_fntNormal.GetSafeHandle(), nullptr);
    pPaintManager->InternalRelease();
}

TEST(TabPaintManagerText, TheMiddleEllipsisKeepsBothEndsAndStaysInRange)
{
    // One pixel a character.
    auto byLength = [](const CString& str) { return str.GetLength(); };
    struct Case
    {
        const wchar_t* text;
        int nRoom;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"abcdefghij", 20, L"abcdefghij"}, {L"abcdefghij", 10, L"abcdefghij"},
        {L"abcdefghij", 2, L"..."},         {L"abcdefghij", 3, L"..."},
        {L"abcdefghij", 8, L"abc...ij"},    {L"abcdefghij", 9, L"abc...hij"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        BOOL bPath = TRUE;
        EXPECT_EQ(CXTPTabPaintManager::ShortenInMiddle(c.text, c.nRoom, byLength, &bPath),
                  CString(c.expected));
        EXPECT_FALSE(bPath);
    }
    BOOL bPath = FALSE;
    const CString strPath(L"C:\\a\\b\\file.txt");
    EXPECT_EQ(CXTPTabPaintManager::ShortenInMiddle(strPath, 5, byLength, &bPath), strPath);
    EXPECT_TRUE(bPath);

    // Measures that never settle: n stops at the ends of the text. Grown to the whole length the parts
    // are the whole text again, too wide, so one character goes.
    const CString strText(L"abcdefghij");
    auto onlyWholeIsWide = [&](const CString& str) { return str == strText ? 100 : (str == L"..." ? 3 : 0); };
    EXPECT_EQ(CXTPTabPaintManager::ShortenInMiddle(strText, 50, onlyWholeIsWide, &bPath),
              CString(L"abcde...ghij"));
    auto everythingWide = [](const CString& str) { return str == L"..." ? 3 : 1000; };
    EXPECT_EQ(CXTPTabPaintManager::ShortenInMiddle(strText, 50, everythingWide, &bPath), CString(L"..."));

    // On a DC: a path is shortened by the system's path ellipsis.
    PixelSurface surface(200, 40, RGB(255, 255, 255));
    CString strShown = strPath;
    CRect rc(0, 0, 60, 20);
    ::DrawTextW(surface.dc()->GetSafeHdc(), strShown.GetBuffer(64), -1, rc,
                DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING);
    strShown.ReleaseBuffer();
    EXPECT_NE(strShown.Find(L"..."), -1) << Narrow(strShown);
    EXPECT_NE(strShown.Find(L"file.txt"), -1) << Narrow(strShown);
}

TEST(TabPaintManagerSelection, StylesBuildTheirSetsAndUnknownNumbersFallBack)
{
    CXTPTabPaintManager* pPaintManager = new CXTPTabPaintManager();
    EXPECT_EQ(pPaintManager->GetAppearance(), 0);
    EXPECT_EQ(pPaintManager->GetColor(), 1);
    EXPECT_TRUE(typeid(*pPaintManager->GetColorSet()) == typeid(CXTPTabColorSetDefault));
    EXPECT_EQ(pPaintManager->GetAppearanceSet()->GetPaintManager(), pPaintManager);
    EXPECT_EQ(pPaintManager->GetColorSet()->GetPaintManager(), pPaintManager);

    pPaintManager->SelectColorSet(3);
    EXPECT_TRUE(typeid(*pPaintManager->GetColorSet()) == typeid(CXTPTabColorSetDefault));
    pPaintManager->SelectAppearance(12);
    EXPECT_EQ(pPaintManager->GetAppearance(), 0);
    EXPECT_TRUE(typeid(*pPaintManager->GetAppearanceSet()) == typeid(CXTPTabAppearanceStyle0));

    struct Case
    {
        int nAppearance;
        const std::type_info& type;
        CRect rcMargin;
        int nDefaultColor;
        int nSupported;
        const std::type_info& colorType;
    };
    const Case cases[] = {
        {0, typeid(CXTPTabAppearanceStyle0), CRect(2, 3, 6, 0), 1, 13, typeid(CXTPTabColorSetDefault)},
        {1, typeid(CXTPTabAppearanceStyle1), CRect(2, 3, 6, 0), 1, 13, typeid(CXTPTabColorSetDefault)},
        {2, typeid(CXTPTabAppearanceStyle2), CRect(2, 2, 4, 0), 1, 7, typeid(CXTPTabColorSetDefault)},
        {3, typeid(CXTPTabAppearanceStyle3), CRect(2, 3, 6, 0), 4, 21, typeid(CXTPTabColorSetStyle4)},
        {4, typeid(CXTPTabAppearanceStyle4), CRect(2, 2, 4, 2), 2, 31, typeid(CXTPTabColorSetStyle2)},
        {5, typeid(CXTPTabAppearanceStyle5), CRect(4, 2, 4, 0), 2, 7, typeid(CXTPTabColorSetStyle2)},
        {6, typeid(CXTPTabAppearanceStyle6), CRect(2, 2, 4, 0), 2, 7, typeid(CXTPTabColorSetStyle2)},
        {7, typeid(CXTPTabAppearanceStyle7), CRect(2, 3, 2, 0), 2, 7, typeid(CXTPTabColorSetStyle2)},
        {8, typeid(CXTPTabAppearanceStyle8), CRect(0, 0, 0, 0), 1, 5, typeid(CXTPTabColorSetDefault)},
        {9, typeid(CXTPTabAppearanceStyle9), CRect(2, 3, 6, 0), 4, 21, typeid(CXTPTabColorSetStyle4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nAppearance);
        pPaintManager->SelectAppearance(c.nAppearance);
        CXTPTabAppearanceSet* pAppearance = pPaintManager->GetAppearanceSet();
        EXPECT_TRUE(typeid(*pAppearance) == c.type);
        EXPECT_EQ(pAppearance->m_rcHeaderMargin, c.rcMargin);
        EXPECT_EQ(pAppearance->GetDefaultColorSet(), c.nDefaultColor);
        EXPECT_EQ(pAppearance->GetSupportedColorSets(), c.nSupported);
        EXPECT_EQ(pPaintManager->GetColor(), c.nDefaultColor);
        EXPECT_TRUE(typeid(*pPaintManager->GetColorSet()) == c.colorType);
        EXPECT_EQ(pAppearance->m_nRowSpacing, c.nAppearance == 4 ? 0 : -2);
    }
    const int nButton = pPaintManager->GetAppearanceSet()->GetButtonHeight();
    EXPECT_EQ(pPaintManager->GetAppearanceSet()->GetHeaderMargin().left, 2 + nButton / 2);
    pPaintManager->SelectAppearance(3);
    EXPECT_EQ(pPaintManager->GetAppearanceSet()->GetHeaderMargin().left, 2 + nButton);
    pPaintManager->SelectAppearance(7);
    EXPECT_EQ(pPaintManager->GetAppearanceSet()->GetHeaderMargin(),
              CRect(2 + nButton / 2, 3, 2 + nButton / 2, 0));

    // A null set leaves the current one.
    CXTPTabColorSet* pColorSet = pPaintManager->GetColorSet();
    EXPECT_EQ(pPaintManager->SetColorSet(NULL), nullptr);
    EXPECT_EQ(pPaintManager->GetColorSet(), pColorSet);
    pPaintManager->InternalRelease();
}

} // namespace
