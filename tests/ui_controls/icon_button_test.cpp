// The icon push button on real windows: subclassing, setters, where its bitmap lands, its image copies,
// and its clicks (check box, drop-down menu, link, sounds).
#include "icon_button.h"

#include <gtest/gtest.h>

#include "owner_draw_ids.h"
#include "owner_draw_test_support.h"
#include "test_surface.h"

#include <mmsystem.h>

#include <string>
#include <vector>

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr UINT kCallbackMessage = WM_APP + 7;

// A 16 x 16 bitmap of one colour whose top-right pixel is the transparent magenta.
HBITMAP SquareBitmap(COLORREF colour)
{
    std::vector<std::uint32_t> pixels(16 * 16, TestSurface::ToPixel(colour));
    pixels[15] = TestSurface::ToPixel(kMagenta);
    return MakeTestBitmap(16, 16, pixels.data());
}

// A parent window with one icon button made from a plain button of the given style.
struct ButtonOnWindow
{
    explicit ButtonOnWindow(DWORD style, const wchar_t* caption = L"Open", int width = 100, int height = 30)
    {
        EXPECT_TRUE(owner.CreateOwner());
        HWND hwnd = ::CreateWindowW(L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, 10,
                                    width, height, owner.m_hWnd, reinterpret_cast<HMENU>(100),
                                    ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_TRUE(button.SubclassWindow(hwnd));
    }
    ~ButtonOnWindow()
    {
        button.DestroyWindow();
        owner.DestroyWindow();
    }
    // The button drawn into a surface of its size.
    void Draw(TestSurface& surface, UINT state)
    {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_BUTTON;
        draw.CtlID = 100;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hwndItem = button.m_hWnd;
        draw.hDC = surface.dc();
        draw.rcItem = {0, 0, surface.width(), surface.height()};
        button.DrawItem(&draw);
    }
    MenuOwnerWnd owner;
    CIconButton button;
};

TEST(IconButton, SubclassingReadsDefaultAndCheckBoxStylesAndMakesTheButtonOwnerDrawn)
{
    struct Case
    {
        const char* name;
        DWORD style;
        BOOL isDefault;
        BOOL checkBox;
        LRESULT dialogCode;
    };
    const Case cases[] = {
        {"default push button", BS_DEFPUSHBUTTON, TRUE, FALSE, DLGC_DEFPUSHBUTTON},
        {"push button", BS_PUSHBUTTON, FALSE, FALSE, DLGC_UNDEFPUSHBUTTON},
        {"check box", BS_AUTOCHECKBOX, FALSE, TRUE, DLGC_UNDEFPUSHBUTTON},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonOnWindow window(c.style);
        EXPECT_EQ(window.button.IsDefault(), c.isDefault);
        EXPECT_EQ(window.button.IsCheckBox(), c.checkBox);
        EXPECT_EQ(window.button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
        const LRESULT code = window.button.SendMessage(WM_GETDLGCODE);
        EXPECT_EQ(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), c.dialogCode);
        // The dialog manager moves the default with BM_SETSTYLE; the button stays owner-drawn.
        window.button.SendMessage(BM_SETSTYLE, c.isDefault ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
        EXPECT_EQ(window.button.IsDefault(), !c.isDefault);
        EXPECT_EQ(window.button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    }
    ButtonOnWindow window(BS_AUTOCHECKBOX);
    window.button.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_TRUE(window.button.IsChecked());
    EXPECT_EQ(window.button.SendMessage(BM_GETCHECK), BST_CHECKED);
    window.button.SendMessage(BM_SETCHECK, 7);
    EXPECT_FALSE(window.button.IsChecked());
}

TEST(IconButton, SettersReturnTheirCodesAndChangeNothingOnError)
{
    ButtonOnWindow window(BS_PUSHBUTTON);
    CIconButton& button = window.button;
    EXPECT_EQ(button.SetPushedOffset(1), 0u);
    EXPECT_EQ(button.GetPushedOffset(), CSize(0, 2));
    EXPECT_EQ(button.SetPushedOffset(2), 6u);
    EXPECT_EQ(button.GetPushedOffset(), CSize(0, 2));
    EXPECT_EQ(button.SetPushedOffset(0), 0u);
    EXPECT_EQ(button.GetPushedOffset(), CSize(1, 1));

    EXPECT_EQ(button.SetColorEntry(5, RGB(1, 2, 3)), 0u);
    EXPECT_EQ(button.SetColorEntry(6, RGB(9, 9, 9)), 3u);
    EXPECT_EQ(button.SetColorEntry(-1, RGB(9, 9, 9)), 3u);
    EXPECT_EQ(button.GetColorEntry(5), RGB(1, 2, 3));
    EXPECT_EQ(button.ShadeColorEntry(0, 300), 5u);
    EXPECT_EQ(button.ShadeColorEntry(0, -256), 5u);
    EXPECT_EQ(button.ShadeColorEntry(6, 10), 3u);

    struct Shade
    {
        COLORREF from;
        int amount;
        COLORREF to;
    };
    // One amount for all channels, cut so that none leaves 0 to 255.
    const Shade shades[] = {
        {RGB(100, 150, 250), 50, RGB(105, 155, 255)},
        {RGB(100, 150, 250), -200, RGB(0, 50, 150)},
        {RGB(100, 150, 200), 20, RGB(120, 170, 220)},
        {RGB(0, 0, 0), 255, RGB(255, 255, 255)},
    };
    for (const Shade& s : shades) {
        SCOPED_TRACE(s.amount);
        button.SetColorEntry(2, s.from);
        EXPECT_EQ(button.ShadeColorEntry(2, s.amount), 0u);
        EXPECT_EQ(button.GetColorEntry(2), s.to);
    }
    EXPECT_EQ(button.ResetColors(), 0u);
    EXPECT_EQ(button.GetColorEntry(2), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(button.GetColorEntry(5), ::GetSysColor(COLOR_BTNTEXT));

    EXPECT_EQ(button.SetHoverCursor(4242), 1u);
    EXPECT_EQ(button.SetHoverCursor(0), 0u);

    EXPECT_EQ(button.SetImages(SquareBitmap(RGB(255, 0, 0)), kMagenta), 0u);
    EXPECT_EQ(
        button.SetImages(SquareBitmap(RGB(255, 0, 0)), kMagenta, SquareBitmap(RGB(0, 0, 255)), kMagenta), 0u);
    EXPECT_NE(button.GetImage(FALSE), nullptr);
    // A handle that is no bitmap: its size cannot be read, and every image is released.
    EXPECT_EQ(button.SetImages(reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(0x1234)), kMagenta), 1u);
    EXPECT_EQ(button.GetImage(TRUE), nullptr);
    EXPECT_EQ(button.GetImage(FALSE), nullptr);
    EXPECT_EQ(button.SetImages(4242, kMagenta), 1u);
    EXPECT_EQ(button.SetImages(IDB_TEST_TRUE_COLOR, kMagenta, 4242, kMagenta), 1u);
    EXPECT_EQ(button.GetImage(TRUE), nullptr);
    EXPECT_EQ(button.SetImages(IDB_TEST_TRUE_COLOR, RGB(255, 255, 255), IDB_TEST_SYS_COLORS, 0), 0u);
    EXPECT_NE(button.GetImage(FALSE), nullptr);

    const std::wstring longLink(300, L'l');
    EXPECT_EQ(button.SetLink(longLink.c_str()), 0u);
    EXPECT_EQ(button.GetLink().GetLength(), 260);
    EXPECT_EQ(button.SetLink(nullptr), 0u);
    EXPECT_TRUE(button.GetLink().IsEmpty());
}

// Whether the 16 x 16 square stands with its top-left corner at (x, y): the corner and the far corner are
// the colour, the pixels just outside are not, and the transparent top-right pixel shows the background.
void ExpectSquareAt(const TestSurface& surface, int x, int y, COLORREF colour, COLORREF background)
{
    EXPECT_EQ(surface.Pixel(x, y), colour);
    EXPECT_EQ(surface.Pixel(x + 14, y + 15), colour);
    EXPECT_EQ(surface.Pixel(x + 15, y), background) << "transparent pixel";
    EXPECT_NE(surface.Pixel(x - 1, y + 1), colour);
    EXPECT_NE(surface.Pixel(x, y - 1), colour);
    EXPECT_NE(surface.Pixel(x + 14, y + 16), colour);
}

TEST(IconButton, BitmapStandsBesideTheCaptionOrCentredAndMovesByThePushedOffset)
{
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    struct Case
    {
        const char* name;
        const wchar_t* caption;
        UINT state;
        int offsetMode;
        int x;
        int y;
    };
    const Case cases[] = {
        {"caption", L"Open", 0, 0, 3, 7},
        {"caption, pushed", L"Open", ODS_SELECTED, 0, 4, 8},
        {"caption, pushed, offset mode 1", L"Open", ODS_SELECTED, 1, 3, 9},
        {"no caption", L"", 0, 0, 42, 7},
        {"no caption, pushed", L"", ODS_SELECTED, 0, 43, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonOnWindow window(BS_PUSHBUTTON, c.caption);
        ASSERT_EQ(window.button.SetImages(SquareBitmap(red), kMagenta), 0u);
        window.button.SetPushedOffset(c.offsetMode);
        TestSurface surface(100, 30, RGB(1, 2, 3));
        window.Draw(surface, c.state);
        ExpectSquareAt(surface, c.x, c.y, red, face);
    }
}

TEST(IconButton, GreyAndDarkerCopiesFollowTheirFormulasAndShowWhenTheButtonIsIdle)
{
    const COLORREF colour = RGB(200, 100, 40);
    struct Case
    {
        const char* name;
        INT_PTR copy;
        COLORREF expected;
    };
    // 0.299 * 200 + 0.587 * 100 + 0.114 * 40 = 123.06; darker: each channel less a quarter.
    const Case cases[] = {
        {"grey", CIconButton::kGreyCopy, RGB(123, 123, 123)},
        {"darker", CIconButton::kDarkerCopy, RGB(150, 75, 30)},
    };
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonOnWindow window(BS_PUSHBUTTON, L"");
        ASSERT_EQ(
            window.button.SetImages(SquareBitmap(colour), kMagenta, reinterpret_cast<HBITMAP>(c.copy), 0),
            0u);
        int width = 0;
        int height = 0;
        const std::vector<COLORREF> pixels = BitmapPixels(window.button.GetImage(FALSE), width, height);
        ASSERT_EQ(width, 16);
        ASSERT_EQ(height, 16);
        EXPECT_EQ(pixels[16 * 5 + 5], c.expected);
        EXPECT_EQ(pixels[15], RGB(0, 0, 0)) << "the transparent pixel, blackened for drawing over the mask";
        TestSurface idle(100, 30);
        window.Draw(idle, 0);
        ExpectSquareAt(idle, 42, 7, c.expected, face);
        TestSurface pushed(100, 30);
        window.Draw(pushed, ODS_SELECTED);
        ExpectSquareAt(pushed, 43, 8, colour, face);
    }
}

TEST(IconButton, CheckBoxModeTogglesOnClickAndDrawsTheInImageWhileChecked)
{
    ButtonOnWindow window(BS_AUTOCHECKBOX, L"");
    const COLORREF red = RGB(255, 0, 0);
    ASSERT_EQ(window.button.SetImages(SquareBitmap(red), kMagenta, SquareBitmap(RGB(0, 0, 255)), kMagenta),
              0u);
    // PlaySound has no audio device under Wine: the click must only go on without failing.
    window.button.SetSound(L"SystemAsterisk", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT, FALSE);
    window.button.SetSound(L"SystemExclamation", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT, TRUE);
    window.button.Click();
    EXPECT_TRUE(window.button.IsChecked());
    TestSurface checked(100, 30);
    window.Draw(checked, 0);
    // Checked: the in image, but not moved by the pushed offset.
    ExpectSquareAt(checked, 42, 7, red, ::GetSysColor(COLOR_BTNFACE));
    window.button.Click();
    EXPECT_FALSE(window.button.IsChecked());
    EXPECT_EQ(window.owner.Count(WM_COMMAND), 2) << "the parent hears of each click";
}

TEST(IconButton, HoverRaisesTheBorderAndShowsTheInImageUntilTheMouseLeaves)
{
    ButtonOnWindow window(BS_PUSHBUTTON, L"");
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    ASSERT_EQ(window.button.SetImages(SquareBitmap(red), kMagenta, SquareBitmap(blue), kMagenta), 0u);
    window.button.SetSound(L"SystemAsterisk", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT, TRUE);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    TestSurface out(100, 30, RGB(1, 2, 3));
    window.Draw(out, 0);
    ExpectSquareAt(out, 42, 7, blue, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(out.Pixel(0, 0), ::GetSysColor(COLOR_BTNFACE)) << "no border away from the mouse";

    window.button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(50, 15));
    ASSERT_TRUE(window.button.IsHovering());
    TestSurface hover(100, 30, RGB(1, 2, 3));
    window.Draw(hover, 0);
    ExpectSquareAt(hover, 42, 7, red, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(hover.Pixel(0, 0), light);
    EXPECT_EQ(hover.Pixel(99, 29), shadow);
    TestSurface pushed(100, 30, RGB(1, 2, 3));
    window.Draw(pushed, ODS_SELECTED);
    EXPECT_EQ(pushed.Pixel(0, 0), shadow) << "sunken while pushed";
    EXPECT_EQ(pushed.Pixel(99, 29), light);

    window.button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(window.button.IsHovering());
    // Disabled: the image is drawn embossed, in no colour of its own.
    TestSurface disabled(100, 30, RGB(1, 2, 3));
    window.Draw(disabled, ODS_DISABLED);
    EXPECT_EQ(disabled.Count(red) + disabled.Count(blue), 0);
    EXPECT_GT(disabled.Count(shadow), 0);
}

TEST(IconButton, DropDownMenuPostsTheChosenCommandAndNothingWhenDismissed)
{
    struct Case
    {
        const char* name;
        bool choose;
        UINT posted;
    };
    const Case cases[] = {
        {"dismissed by EndMenu", false, 0},
        {"first item chosen with the keyboard", true, ID_TEST_OPEN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonOnWindow window(BS_PUSHBUTTON, L"Menu");
        MenuOwnerWnd commands;
        ASSERT_TRUE(commands.CreateOwner(400, 40, 100, 60));
        ASSERT_EQ(window.button.SetMenu(IDR_TEST_MENU, commands.m_hWnd), 0u);
        window.button.SetMenuCallback(commands.m_hWnd, kCallbackMessage, 5);
        bool sawMenu = false;
        bool entered = false;
        MenuLoopDriver driver([&](int) {
            HWND popup = OpenPopupMenuWindow();
            if (popup == nullptr)
                return;
            sawMenu = true;
            if (!c.choose) {
                ::EndMenu();
                return;
            }
            // One key at a time, once the menu loop has taken the last one, chosen by what the menu shows.
            // Keys posted ahead of a loop that has not begun to read them pile up: the menu loop turns
            // each Enter into a character at the end of the queue, so every Down is taken first and the
            // menu walks past its first item into the submenu.
            HMENU shown = commands.Count(kCallbackMessage) == 1
                              ? reinterpret_cast<HMENU>(commands.m_received[0].wParam)
                              : nullptr;
            const DWORD queued = HIWORD(::GetQueueStatus(QS_POSTMESSAGE | QS_KEY));
            if (shown == nullptr || entered || (queued & (QS_POSTMESSAGE | QS_KEY)) != 0)
                return;
            int highlighted = -1;
            for (int item = 0; item < ::GetMenuItemCount(shown); ++item)
                if ((::GetMenuState(shown, static_cast<UINT>(item), MF_BYPOSITION) & MF_HILITE) != 0)
                    highlighted = item;
            if (highlighted == 0) {
                ::PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
                entered = true;
            } else {
                ::PostMessageW(popup, WM_KEYDOWN, highlighted < 0 ? VK_DOWN : VK_UP, 0);
            }
        });
        window.button.Click();
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_TRUE(sawMenu);
        // The callback heard of the menu before it opened.
        ASSERT_EQ(commands.Count(kCallbackMessage), 1);
        HMENU told = reinterpret_cast<HMENU>(commands.m_received[0].wParam);
        EXPECT_TRUE(COwnerDrawMenu::IsOwnerDrawMenu(told));
        EXPECT_EQ(::GetMenuItemID(told, 0), static_cast<UINT>(ID_TEST_OPEN));
        EXPECT_EQ(commands.m_received[0].lParam, 5);
        MSG message;
        std::vector<UINT> posted;
        while (::PeekMessageW(&message, commands.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            posted.push_back(LOWORD(message.wParam));
        EXPECT_EQ(posted, c.posted == 0 ? std::vector<UINT>() : std::vector<UINT>{c.posted});
        commands.DestroyWindow();
    }
}

TEST(IconButton, LinkOpensTheFileItNames)
{
    // A batch file that leaves a mark: opening it shows that the link went to the shell.
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring script = std::wstring(folder) + L"icon_button_link.bat";
    const std::wstring mark = std::wstring(folder) + L"icon_button_link.mark";
    ::DeleteFileW(mark.c_str());
    const std::string body = "@echo opened> \"" + std::string(mark.begin(), mark.end()) + "\"\r\n";
    HANDLE file = ::CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
    ::CloseHandle(file);

    ButtonOnWindow window(BS_PUSHBUTTON, L"Link");
    window.button.SetLink(script.c_str());
    window.button.Click();
    bool marked = false;
    for (int wait = 0; wait < 100 && !marked; ++wait) {
        ::Sleep(100);
        marked = ::GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    EXPECT_TRUE(marked);
    ::DeleteFileW(mark.c_str());
    ::DeleteFileW(script.c_str());
}

} // namespace
