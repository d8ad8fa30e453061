// The owner-drawn menu: the look chosen per system, measuring, building from resources and toolbars,
// mnemonics, and drawing both looks into memory DCs; an open popup leaves a screenshot.
//
// The icon table lives for the whole run, and a command's shaded and disabled copies are made only when it
// is added with the icon effects in force: each test therefore uses the commands it alone adds.
#include "owner_draw_menu.h"

#include <gtest/gtest.h>

#include "owner_draw_ids.h"
#include "owner_draw_test_support.h"
#include "support/screenshot.h"
#include "test_surface.h"

#include <string>

namespace {

TEST(OwnerDrawMenuSystem, WineReadsAsLevelOneWithoutTheClassicThemeAndGetsTheClassicLook)
{
    COwnerDrawMenu::ResetSystemForTesting();
    EXPECT_EQ(COwnerDrawMenu::OsLevel(), 1);
    EXPECT_FALSE(COwnerDrawMenu::ClassicThemeActive());
    EXPECT_FALSE(COwnerDrawMenu::XPLookAvailable());
    EXPECT_FALSE(COwnerDrawMenu::FlatLook());
}

TEST(OwnerDrawMenuSystem, LevelAndLookForEachVersionRecordWithAndWithoutTheClassicTheme)
{
    struct Case
    {
        const char* name;
        OSVERSIONINFOW version;
        int level;
        BOOL flat; // without the classic theme; with it every system has the classic look
    };
    const Case cases[] = {
        {"9x below 4", VersionRecord(VER_PLATFORM_WIN32_WINDOWS, 3, 95), 0, FALSE},
        {"95", Win95Version(), 2, FALSE},
        {"95 OSR2", VersionRecord(VER_PLATFORM_WIN32_WINDOWS, 4, 3), 2, FALSE},
        {"98", VersionRecord(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 3, FALSE},
        {"ME", VersionRecord(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 4, FALSE},
        {"NT 4", VersionRecord(VER_PLATFORM_WIN32_NT, 4, 0), 5, FALSE},
        {"2000", VersionRecord(VER_PLATFORM_WIN32_NT, 5, 0), 6, FALSE},
        {"XP", XPVersion(), 7, TRUE},
        {"Server 2003", VersionRecord(VER_PLATFORM_WIN32_NT, 5, 2), 1, FALSE},
        {"7 (Wine)", WineVersion(), 1, FALSE},
        {"10", VersionRecord(VER_PLATFORM_WIN32_NT, 10, 0), 1, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(COwnerDrawMenu::OsLevelOf(c.version), c.level);
        COwnerDrawMenu::SetSystemForTesting(c.version, FALSE);
        EXPECT_EQ(COwnerDrawMenu::OsLevel(), c.level);
        EXPECT_EQ(COwnerDrawMenu::XPLookAvailable(), c.level == 7);
        EXPECT_EQ(COwnerDrawMenu::FlatLook(), c.flat);
        EXPECT_EQ(COwnerDrawMenu::IconEffects(), c.flat);
        COwnerDrawMenu::SetSystemForTesting(c.version, TRUE);
        EXPECT_FALSE(COwnerDrawMenu::XPLookAvailable());
        EXPECT_FALSE(COwnerDrawMenu::FlatLook());
    }
    // The other systems' switch gives them the flat look too, without the XP look's colours.
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
    COwnerDrawMenu::s_otherLookFlat = TRUE;
    EXPECT_TRUE(COwnerDrawMenu::FlatLook());
    COwnerDrawMenu::s_otherLookFlat = FALSE;
}

MEASUREITEMSTRUCT Measure(COwnerDrawMenu& menu, UINT position)
{
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = ::GetMenuItemID(menu.m_hMenu, static_cast<int>(position));
    measure.itemData = reinterpret_cast<ULONG_PTR>(RecordOf(menu.m_hMenu, position));
    menu.MeasureItem(&measure);
    return measure;
}

LONG TextWidth(const wchar_t* text, bool menuFont)
{
    HDC screen = ::GetDC(nullptr);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = menuFont ? ::CreateFontIndirectW(&metrics.lfMenuFont) : nullptr;
    HGDIOBJ old = font ? ::SelectObject(screen, font) : nullptr;
    SIZE size = {};
    ::GetTextExtentPoint32W(screen, text, static_cast<int>(wcslen(text)), &size);
    if (font) {
        ::SelectObject(screen, old);
        ::DeleteObject(font);
    }
    ::ReleaseDC(nullptr, screen);
    return size.cx;
}

TEST(OwnerDrawMenuMeasure, SeparatorAndItemSizesFollowTheMenuBarHeightIconAndLook)
{
    const int menuHeight = ::GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(menuHeight, 19) << "Wine's menu bar height, which the figures below are worked out for";
    struct Case
    {
        const char* name;
        OSVERSIONINFOW version;
        UINT separatorHeight;
        UINT itemHeight;
        bool flat;
        bool menuFont; // measured in the menu font (level 2 on), else in the screen DC's own font
    };
    const Case cases[] = {
        // Classic, gap 4: the separator is max(19 / 2, (15 + 4) / 2) = 9 high, an item max(19, 19).
        {"classic, level 1", WineVersion(), 9, 19, false, false},
        {"classic, level 2", Win95Version(), 9, 19, false, true},
        // Flat with icon effects, gap 7: max(9, 22 / 2) = 11 and max(19, 22) = 22.
        {"flat, level 7", XPVersion(), 11, 22, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COwnerDrawMenu::SetSystemForTesting(c.version, FALSE);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        ASSERT_TRUE(menu.AppendODMenu(L"&Open file", MF_STRING, ID_TEST_OPEN));
        ASSERT_TRUE(menu.AppendODMenu(nullptr, MF_STRING, 0));
        const MEASUREITEMSTRUCT item = Measure(menu, 0);
        const MEASUREITEMSTRUCT separator = Measure(menu, 1);
        EXPECT_EQ(separator.itemWidth, 0u);
        EXPECT_EQ(separator.itemHeight, c.separatorHeight);
        EXPECT_EQ(item.itemHeight, c.itemHeight);
        const LONG text = TextWidth(L"&Open file", c.menuFont);
        EXPECT_EQ(static_cast<LONG>(item.itemWidth), c.flat ? 16 + text + 7 + 8 : text + 2 * 16 + 1);
    }
    // Level 0 measures no text at all.
    COwnerDrawMenu::SetSystemForTesting(VersionRecord(VER_PLATFORM_WIN32_WINDOWS, 3, 95), FALSE);
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"&Open file", MF_STRING, ID_TEST_OPEN));
    EXPECT_EQ(Measure(menu, 0).itemWidth, 2u * 16 + 1);
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
}

TEST(OwnerDrawMenuBuild, MnemonicsAnswerExecuteWithThePositionInEitherCaseAndZeroOtherwise)
{
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"&Open", MF_STRING, ID_TEST_OPEN));
    ASSERT_TRUE(menu.AppendODMenu(L"E&xit", MF_STRING, ID_TEST_EXIT));
    struct Case
    {
        UINT typed;
        UINT flags;
        LRESULT answer;
    };
    const Case cases[] = {
        {'x', MF_POPUP, MAKELONG(1, MNC_EXECUTE)},
        {'X', MF_POPUP, MAKELONG(1, MNC_EXECUTE)},
        {'o', MF_POPUP, MAKELONG(0, MNC_EXECUTE)},
        {'q', MF_POPUP, 0},
        {'e', MF_POPUP, 0}, // 'E' is in the text but not marked
        {'x', 0, 0},        // not a popup
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(COwnerDrawMenu::FindKeyboardShortcut(c.typed, c.flags, &menu), c.answer);
    }
    // A menu of another class answers nothing.
    CMenu plain;
    ASSERT_TRUE(plain.CreatePopupMenu());
    plain.AppendMenu(MF_STRING, ID_TEST_EXIT, L"E&xit");
    EXPECT_EQ(COwnerDrawMenu::FindKeyboardShortcut('x', MF_POPUP, &plain), 0);

    // An item added behind the menu's back is given a record (and made owner-drawn) before the search.
    ::AppendMenuW(menu.m_hMenu, MF_STRING | MF_CHECKED, ID_TEST_ABOUT, L"&Zoom");
    EXPECT_EQ(COwnerDrawMenu::FindKeyboardShortcut('z', MF_POPUP, &menu), MAKELONG(2, MNC_EXECUTE));
    ASSERT_EQ(menu.Items().size(), 3u);
    EXPECT_EQ(menu.Items()[2]->text, CString(L"&Zoom"));
    EXPECT_NE(::GetMenuState(menu.m_hMenu, 2, MF_BYPOSITION) & MF_OWNERDRAW, 0u);
    EXPECT_NE(::GetMenuState(menu.m_hMenu, 2, MF_BYPOSITION) & MF_CHECKED, 0u) << "the item keeps its state";
    EXPECT_EQ(menu.Items()[0]->text, CString(L"&Open")) << "records are reused, texts kept";
}

TEST(OwnerDrawMenuBuild, CommandIdZeroAppendsAnOwnerDrawnSeparatorWhateverTheFlags)
{
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"&Open", MF_STRING, ID_TEST_OPEN));
    ASSERT_TRUE(menu.AppendODMenu(L"Not a command", MF_STRING | MF_CHECKED | MF_GRAYED | MF_BYPOSITION, 0));
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    ASSERT_TRUE(::GetMenuItemInfoW(menu.m_hMenu, 1, TRUE, &info));
    EXPECT_EQ(info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW), static_cast<UINT>(MFT_SEPARATOR | MFT_OWNERDRAW));
    EXPECT_EQ(info.fState & MFS_CHECKED, 0u);
    EXPECT_EQ(menu.Items()[1]->flags, static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION));
}

// Every item of the menu and its popups is owner-drawn with a record.
void ExpectAllOwnerDrawn(HMENU menu, int depth)
{
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        SCOPED_TRACE(depth * 100 + position);
        EXPECT_NE(RecordOf(menu, static_cast<UINT>(position)), nullptr);
        if (HMENU sub = ::GetSubMenu(menu, position))
            ExpectAllOwnerDrawn(sub, depth + 1);
    }
}

TEST(OwnerDrawMenuBuild, MenuResourceLoadsOwnerDrawnWithShortcutsInOneColumnAndCommandsFoundInNestedPopups)
{
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    EXPECT_TRUE(menu.IsMenuBar());
    ASSERT_EQ(::GetMenuItemCount(menu.m_hMenu), 2);
    ExpectAllOwnerDrawn(menu.m_hMenu, 0);
    HMENU file = ::GetSubMenu(menu.m_hMenu, 0);
    HMENU recent = ::GetSubMenu(file, 5);
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(COwnerDrawMenu::IsOwnerDrawMenu(file));
    EXPECT_TRUE(COwnerDrawMenu::IsOwnerDrawMenu(recent));
    EXPECT_NE(::GetMenuState(file, ID_TEST_PRINT, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(::GetMenuState(file, ID_TEST_PROPERTIES, MF_BYCOMMAND) & MF_GRAYED, 0u);

    // Shortcuts start at one x: every label before its tab is padded to the widest label and a blank, and
    // by less than one more blank, measured in the menu font.
    LONG widest = 0;
    for (const wchar_t* label :
         {L"&Open", L"&Save As...", L"&Print preview", L"Properties", L"&Recent files", L"E&xit"})
        widest = std::max(widest, TextWidth((std::wstring(label) + L" ").c_str(), true));
    const LONG blank = TextWidth(L" ", true);
    int withShortcut = 0;
    for (int position = 0; position < ::GetMenuItemCount(file); ++position) {
        const CString text = RecordOf(file, static_cast<UINT>(position))->text;
        const int tab = text.Find(L'\t');
        if (tab < 0)
            continue;
        SCOPED_TRACE(std::wstring(text.GetString()));
        ++withShortcut;
        const LONG label = TextWidth(text.Left(tab).GetString(), true);
        EXPECT_GE(label, widest);
        EXPECT_LT(label, widest + blank);
    }
    EXPECT_EQ(withShortcut, 4);

    CString text;
    ASSERT_TRUE(menu.GetMenuText(ID_TEST_EXIT, text));
    EXPECT_EQ(text.Left(5), CString(L"E&xit"));
    EXPECT_EQ(text.Right(7), CString(L"\tAlt+F4"));
    ASSERT_TRUE(menu.GetMenuText(1, text, MF_BYPOSITION));
    EXPECT_EQ(text, CString(L"&Help"));
    EXPECT_FALSE(menu.GetMenuText(ID_TEST_ABSENT, text));
    EXPECT_FALSE(menu.GetMenuText(7, text, MF_BYPOSITION));

    struct Case
    {
        UINT id;
        HMENU holder;
        int position;
    };
    const Case cases[] = {
        {ID_TEST_OPEN, file, 0},       {ID_TEST_RECENT, recent, 0},
        {ID_TEST_EXIT, file, 6},       {ID_TEST_ABOUT, ::GetSubMenu(menu.m_hMenu, 1), 0},
        {ID_TEST_ABSENT, nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        int position = 99;
        CMenu* holder = menu.FindMenuOption(c.id, position);
        EXPECT_EQ(holder != nullptr ? holder->m_hMenu : nullptr, c.holder);
        EXPECT_EQ(position, c.position);
    }

    // Once loaded, the menu bar shows its top-level popups as plain text again after an append.
    ASSERT_TRUE(menu.AppendODMenu(L"&Window", MF_STRING, ID_TEST_SAVE));
    for (UINT position = 0; position < 2; ++position) {
        // (GetMenuState's high byte counts a popup's items: its owner-draw bit means nothing there.)
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        ASSERT_TRUE(::GetMenuItemInfoW(menu.m_hMenu, position, TRUE, &info));
        EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
        wchar_t title[32] = {};
        ::GetMenuStringW(menu.m_hMenu, position, title, 32, MF_BYPOSITION);
        EXPECT_STREQ(title, position == 0 ? L"&File" : L"&Help");
    }
    EXPECT_NE(::GetSubMenu(menu.m_hMenu, 0), nullptr);
}

TEST(OwnerDrawMenuBuild, ModifiedItemsTakeANewRecordAndLongTextsAreCutAtTheBufferNeverOverrun)
{
    const std::wstring longText(300, L'w');
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"&Open", MF_STRING, ID_TEST_OPEN));
    ASSERT_TRUE(menu.ModifyODMenu(ID_TEST_OPEN, MF_BYCOMMAND | MF_OWNERDRAW, ID_TEST_OPEN, longText.c_str()));
    CString text;
    ASSERT_TRUE(menu.GetMenuText(ID_TEST_OPEN, text));
    EXPECT_EQ(text.GetLength(), COwnerDrawMenu::kMaxItemText - 1);
    // Modified without the owner-draw flag, the item shows the text itself.
    ASSERT_TRUE(menu.ModifyODMenu(0, MF_BYPOSITION | MF_STRING, ID_TEST_OPEN, L"&Plain"));
    wchar_t shown[16] = {};
    ::GetMenuStringW(menu.m_hMenu, 0, shown, 16, MF_BYPOSITION);
    EXPECT_STREQ(shown, L"&Plain");
    EXPECT_FALSE(menu.GetMenuText(0, text, MF_BYPOSITION)) << "no record behind a plain item";
    // An item of the system's own is read through the same bound when the records are rebuilt.
    ::AppendMenuW(menu.m_hMenu, MF_STRING, ID_TEST_SAVE, longText.c_str());
    menu.RebuildOwnerDraw();
    ASSERT_EQ(menu.Items().size(), 2u);
    EXPECT_EQ(menu.Items()[1]->text.GetLength(), COwnerDrawMenu::kMaxItemText - 1);
}

// The colour of an icon's square, drawn from the global table onto white.
COLORREF IconSquareColour(int image)
{
    TestSurface surface(16, 15);
    ImageList_Draw(COwnerDrawMenu::IconImages()->m_hImageList, image, surface.dc(), 0, 0, ILD_TRANSPARENT);
    return surface.Pixel(7, 7);
}

TEST(OwnerDrawMenuIcons, ToolbarButtonsGiveTheirImagesPastSeparatorsAndAbsentCommandsGetNone)
{
    // Level 1: no icon effects, one table entry per command.
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"&Open", MF_STRING, ID_TEST_OPEN, IDR_TEST_TOOLBAR));
    ASSERT_TRUE(menu.AppendODMenu(L"E&xit", MF_STRING, ID_TEST_EXIT, IDR_TEST_TOOLBAR));
    ASSERT_TRUE(menu.AppendODMenu(L"&Print", MF_STRING, ID_TEST_PRINT, IDR_TEST_TOOLBAR));
    ASSERT_TRUE(menu.AppendODMenu(L"&Print again", MF_STRING, ID_TEST_PRINT));
    ASSERT_TRUE(menu.AppendODMenu(L"&Open again", MF_STRING, ID_TEST_OPEN));
    const std::vector<COwnerDrawMenu::Item*>& items = menu.Items();
    ASSERT_GE(items[0]->image, 0);
    ASSERT_GE(items[1]->image, 0);
    EXPECT_EQ(COwnerDrawMenu::IconCommands()[static_cast<size_t>(items[0]->image)], ID_TEST_OPEN);
    EXPECT_EQ(COwnerDrawMenu::IconCommands()[static_cast<size_t>(items[1]->image)], ID_TEST_EXIT);
    // The toolbar's first image is red, its third (after the separator) green.
    EXPECT_EQ(IconSquareColour(items[0]->image), RGB(255, 0, 0));
    EXPECT_EQ(IconSquareColour(items[1]->image), RGB(0, 255, 0));
    // The light grey around the squares was mapped to the face colour and masked out.
    TestSurface surface(16, 15, RGB(1, 2, 3));
    ImageList_Draw(COwnerDrawMenu::IconImages()->m_hImageList, items[0]->image, surface.dc(), 0, 0,
                   ILD_TRANSPARENT);
    EXPECT_EQ(surface.Pixel(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(items[2]->image, -1);
    EXPECT_EQ(items[3]->image, -1);
    EXPECT_EQ(items[4]->image, items[0]->image);
    // A toolbar that does not exist leaves the item without an icon.
    ASSERT_TRUE(menu.AppendODMenu(L"&Help", MF_STRING, ID_TEST_ABOUT, 999));
    EXPECT_EQ(menu.Items().back()->image, -1);
}

// One item drawn into a memory surface, the way the system asks for it.
void DrawOne(COwnerDrawMenu& menu, UINT position, TestSurface& surface, UINT state)
{
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = ::GetMenuItemID(menu.m_hMenu, static_cast<int>(position));
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = state;
    draw.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
    draw.hDC = surface.dc();
    draw.rcItem = {0, 0, surface.width(), surface.height()};
    draw.itemData = reinterpret_cast<ULONG_PTR>(RecordOf(menu.m_hMenu, position));
    menu.DrawItem(&draw);
}

TEST(OwnerDrawMenuDraw, FlatLookShowsTheShadedIconUntilSelectedThenTheIconRaisedOverItsShadow)
{
    COwnerDrawMenu::SetSystemForTesting(XPVersion(), FALSE);
    ASSERT_TRUE(COwnerDrawMenu::IconEffects());
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"&Save", MF_STRING, ID_TEST_SAVE, IDR_TEST_TOOLBAR));
    const int image = menu.Items()[0]->image;
    ASSERT_GE(image, 0);
    ASSERT_GE(COwnerDrawMenu::IconCommands().size(), static_cast<size_t>(image) + 3);
    EXPECT_EQ(COwnerDrawMenu::IconCommands()[static_cast<size_t>(image) + 2], ID_TEST_SAVE);

    // A 22-pixel item: dy = trunc((22 - 15 + 1) / 2) = 4, dx = trunc((23 - 16 + 1) / 2) = 4; the blue square
    // covers icon pixels 3..12 across and 3..11 down.
    const COLORREF blue = RGB(0, 0, 255);
    const COLORREF shaded = LightenColor(blue, 0.3);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(shaded, RGB(76, 76, 255));
    TestSurface idle(200, 22, RGB(1, 2, 3));
    DrawOne(menu, 0, idle, 0);
    EXPECT_EQ(idle.Pixel(4 + 3, 4 + 3), shaded);
    EXPECT_EQ(idle.Pixel(4 + 12, 4 + 11), shaded);
    EXPECT_EQ(idle.Pixel(4 + 13, 4 + 11), ::GetSysColor(COLOR_BTNFACE)) << "the icon column";
    EXPECT_EQ(idle.Pixel(150, 11), ::GetSysColor(COLOR_WINDOW));

    TestSurface hot(200, 22, RGB(1, 2, 3));
    DrawOne(menu, 0, hot, ODS_SELECTED);
    EXPECT_EQ(hot.Pixel(3 + 3, 3 + 3), blue) << "the icon one pixel up and left";
    EXPECT_EQ(hot.Pixel(3 + 12, 3 + 11), blue);
    EXPECT_EQ(hot.Pixel(5 + 12, 5 + 11), shadow) << "the disabled copy one pixel down and right";
    EXPECT_EQ(hot.Pixel(5 + 3, 5 + 11), shadow);
    EXPECT_EQ(hot.Pixel(150, 11), LightenColor(::GetSysColor(COLOR_HIGHLIGHT), 0.7));
    EXPECT_EQ(hot.Pixel(0, 0), ::GetSysColor(COLOR_HIGHLIGHT)) << "the highlight frame";

    // A selected disabled item is drawn unselected.
    TestSurface disabled(200, 22, RGB(1, 2, 3));
    DrawOne(menu, 0, disabled, ODS_SELECTED | ODS_GRAYED);
    EXPECT_EQ(disabled.Pixel(150, 11), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(disabled.Count(blue), 0);

    // A checked command without an icon: the 16 x 16 box at (4, 3) with the tick at (9, 7).
    ASSERT_TRUE(menu.AppendODMenu(L"&Print", MF_STRING | MF_CHECKED, ID_TEST_PRINT));
    TestSurface checked(200, 22, RGB(1, 2, 3));
    DrawOne(menu, 1, checked, ODS_CHECKED);
    EXPECT_EQ(checked.Pixel(4, 3), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(checked.Pixel(9, 7 + 2), ::GetSysColor(COLOR_MENUTEXT));
    EXPECT_EQ(checked.Pixel(9 + 6, 7), ::GetSysColor(COLOR_MENUTEXT));
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
}

TEST(OwnerDrawMenuDraw, ClassicLookFramesTheHotIconRaisedFromLevelTwoAndDrawsTheCheckMark)
{
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF marker = RGB(1, 2, 3);
    struct Case
    {
        const char* name;
        OSVERSIONINFOW version;
        UINT state;
        COLORREF topLeft;
        COLORREF bottomRight;
    };
    // A 23-pixel item: dy = (23 - 15 - 4) / 2 = 2, the icon box (0, 2)-(20, 21).
    const Case cases[] = {
        {"level 2, hot", Win95Version(), ODS_SELECTED, light, shadow},
        {"level 2, hot and checked", Win95Version(), ODS_SELECTED | ODS_CHECKED, shadow, light},
        {"level 2, idle and checked", Win95Version(), ODS_CHECKED, shadow, light},
        {"level 1, hot", WineVersion(), ODS_SELECTED, marker, marker},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COwnerDrawMenu::SetSystemForTesting(c.version, FALSE);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        ASSERT_TRUE(menu.AppendODMenu(L"&Open", MF_STRING, ID_TEST_OPEN, IDR_TEST_TOOLBAR));
        TestSurface surface(200, 23, marker);
        DrawOne(menu, 0, surface, c.state);
        EXPECT_EQ(surface.Pixel(0, 2), c.topLeft);
        EXPECT_EQ(surface.Pixel(19, 20), c.bottomRight);
        EXPECT_EQ(surface.Pixel(2 + 7, 2 + 2 + 7), RGB(255, 0, 0)) << "the icon at (2, dy + 2)";
        if (c.state & ODS_SELECTED) {
            EXPECT_EQ(surface.Pixel(150, 11), ::GetSysColor(COLOR_HIGHLIGHT));
        }
    }
    // A checked item without icon: box (1, 4)-(17, 21), the tick at (5, 8).
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"&Print", MF_STRING | MF_CHECKED, ID_TEST_PRINT));
    TestSurface surface(200, 23, marker);
    DrawOne(menu, 0, surface, ODS_CHECKED);
    const COLORREF text = ::GetSysColor(COLOR_MENUTEXT);
    EXPECT_EQ(surface.Pixel(5, 8 + 2), text);
    EXPECT_EQ(surface.Pixel(5, 8 + 4), text);
    EXPECT_EQ(surface.Pixel(5 + 6, 8), text);
    EXPECT_EQ(surface.Pixel(5 + 2, 8 + 3), LightenColor(::GetSysColor(COLOR_MENU), 0.6));
}

void ShowPopupAndTakeScreenshot(const wchar_t* name)
{
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    // Icons for three commands of the popup; the rest go without.
    CImageList toolbar;
    ASSERT_TRUE(menu.LoadToolbarBitmap(IDR_TEST_TOOLBAR, toolbar));
    ASSERT_GE(menu.AddCommandIcon(toolbar, 0, ID_TEST_OPEN), 0);
    ASSERT_GE(menu.AddCommandIcon(toolbar, 2, ID_TEST_EXIT), 0);
    ASSERT_GE(menu.AddCommandIcon(toolbar, 1, ID_TEST_PROPERTIES), 0); // disabled: drawn embossed
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU)); // again, so that the records take the icons
    MenuOwnerWnd owner;
    ASSERT_TRUE(owner.CreateOwner());
    owner.m_menu = &menu;
    HMENU file = ::GetSubMenu(menu.m_hMenu, 0);

    bool written = false;
    int itemsOpen = 0;
    MenuLoopDriver driver([&](int tick) {
        HWND popup = OpenPopupMenuWindow();
        if (popup == nullptr)
            return;
        if (tick < 3) {
            ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0); // highlight the first items
        } else if (!written) {
            ::RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            written = test_support::WriteWindowScreenshot(popup, name);
            itemsOpen = ::GetMenuItemCount(file);
        } else {
            ::EndMenu();
        }
    });
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenuEx(file, TPM_LEFTALIGN | TPM_RETURNCMD, 60, 60, owner.m_hWnd, nullptr));
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(command, 0u);
    EXPECT_TRUE(written);
    EXPECT_EQ(itemsOpen, 7);
    owner.DestroyWindow();
}

TEST(OwnerDrawMenuScreen, AnOpenPopupInTheClassicLookLeavesAScreenshot)
{
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
    ShowPopupAndTakeScreenshot(L"owner_draw_menu_classic");
}

TEST(OwnerDrawMenuScreen, AnOpenPopupInTheFlatLookOfXPLeavesAScreenshot)
{
    COwnerDrawMenu::SetSystemForTesting(XPVersion(), FALSE);
    ShowPopupAndTakeScreenshot(L"owner_draw_menu_flat");
    COwnerDrawMenu::SetSystemForTesting(WineVersion(), FALSE);
}

} // namespace
