// The themed button on real windows: becoming owner-drawn, hot tracking under the real cursor, text
// and icon placement, the faces of the three themes, double clicks and the visual-style switch.
#include "button.h"
#include "color_table.h"
#include "common_controls_version.h"
#include "standalone_test.h"

#include <gtest/gtest.h>

namespace {

COLORREF Color(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

bool IsRed(COLORREF clr)
{
    return GetRValue(clr) > 200 && GetGValue(clr) < 60 && GetBValue(clr) < 60;
}

// Lets the tests show the hot look without the cursor.
class TestButton : public CXTButton
{
public:
    void ForceHot(BOOL bHot)
    {
        m_bHot = bHot;
        if (::IsWindow(m_hWnd))
            Invalidate();
    }
};

class ButtonTest : public ::testing::Test
{
protected:
    void TearDown() override { XTSetComCtlVersionOverride(0); }
    void Make(CXTButton& button, LPCTSTR lpszText, const CRect& rect, DWORD dwStyle = 0, UINT nID = 10)
    {
        ASSERT_TRUE(
            button.Create(lpszText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | dwStyle, rect, &m_parent, nID));
    }
    // The button drawn by its theme into a surface of its size.
    std::unique_ptr<PixelSurface> Draw(CXTButton& button, UINT nState)
    {
        CRect rect;
        button.GetClientRect(&rect);
        auto surface = std::make_unique<PixelSurface>(rect.Width(), rect.Height(), RGB(0, 0, 0));
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = nState;
        dis.hwndItem = button.GetSafeHwnd();
        dis.hDC = surface->dc()->m_hDC;
        dis.rcItem = rect;
        button.DrawItem(&dis);
        return surface;
    }
    CPoint ScreenCentre(CWnd& wnd)
    {
        CRect rect;
        wnd.GetWindowRect(&rect);
        return rect.CenterPoint();
    }
    RecordingParent& m_parent = SharedParent();
};

TEST_F(ButtonTest, BecomesOwnerDrawnWhenCreatedOrSubclassed)
{
    CXTButton created;
    Make(created, L"OK", CRect(10, 10, 90, 40));
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), created.GetStyle() & BS_TYPEMASK);

    // A radio button's type bits would not give owner-drawn if or-ed.
    HWND hWnd =
        ::CreateWindowW(L"BUTTON", L"Radio", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 10, 50, 80, 30,
                        m_parent.GetSafeHwnd(), reinterpret_cast<HMENU>(11), AfxGetInstanceHandle(), NULL);
    CXTButton subclassed;
    ASSERT_TRUE(subclassed.SubclassWindow(hWnd));
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), subclassed.GetStyle() & BS_TYPEMASK);
    subclassed.DestroyWindow();

    CXTButton noWindow;
    EXPECT_FALSE(noWindow.InitButton());
}

TEST_F(ButtonTest, FlatButtonShowsARaisedFrameOnlyWhileTheCursorIsOver)
{
    CXTButton button;
    Make(button, L"", CRect(20, 20, 120, 60));
    const COLORREF clrFace = Color(COLOR_BTNFACE);
    ClientPicture rest(&button);
    EXPECT_EQ(0, rest.Count([clrFace](COLORREF clr) { return clr != clrFace; }));

    const CPoint centre = ScreenCentre(button);
    ::SetCursorPos(centre.x, centre.y);
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(50, 20));
    ASSERT_TRUE(PumpUntil([&] { return button.IsHot() != FALSE; }));
    ClientPicture hot(&button);
    EXPECT_EQ(Color(COLOR_BTNHIGHLIGHT), hot.Pixel(0, 0));
    EXPECT_EQ(Color(COLOR_BTNHIGHLIGHT), hot.Pixel(50, 0));
    EXPECT_EQ(Color(COLOR_BTNSHADOW), hot.Pixel(99, 39));
    EXPECT_EQ(clrFace, hot.Pixel(50, 20));

    ::SetCursorPos(centre.x + 200, centre.y + 200);
    EXPECT_TRUE(PumpUntil([&] { return button.IsHot() == FALSE; }, 500));
    ClientPicture left(&button);
    EXPECT_EQ(clrFace, left.Pixel(0, 0));

    // Held down, the button stays without the hot look and shows the sunken frame.
    ::SetCursorPos(centre.x, centre.y);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 20));
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(51, 20));
    PumpFor(50);
    EXPECT_FALSE(button.IsHot());
    EXPECT_TRUE(button.IsPushed());
    ClientPicture pushed(&button);
    EXPECT_EQ(Color(COLOR_BTNSHADOW), pushed.Pixel(0, 0));
    EXPECT_EQ(Color(COLOR_BTNHIGHLIGHT), pushed.Pixel(99, 39));
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 20));
    EXPECT_FALSE(button.IsPushed());
    ::SetCursorPos(2, 2);
}

TEST_F(ButtonTest, MnemonicsAreLeftOutOfTheCentringAndDoubleAmpersandShowsOne)
{
    CXTButton prefixed;
    CXTButton plain;
    CXTButton doubled;
    Make(prefixed, L"&OK", CRect(10, 10, 110, 40), 0, 10);
    Make(plain, L"OK", CRect(10, 50, 110, 80), 0, 11);
    Make(doubled, L"A&&B", CRect(10, 90, 110, 120), 0, 12);
    ClientPicture withPrefix(&prefixed);
    ClientPicture withoutPrefix(&plain);
    const CRect rectPrefixed = withPrefix.Bounds(IsDark);
    const CRect rectPlain = withoutPrefix.Bounds(IsDark);
    ASSERT_FALSE(rectPlain.IsRectEmpty());
    // The letters are where they are without the ampersand; the underline may start a pixel early.
    int nDifferent = 0;
    for (int y = rectPlain.top; y < rectPlain.bottom; ++y)
        for (int x = 0; x < withPrefix.Width(); ++x)
            nDifferent += withPrefix.Pixel(x, y) != withoutPrefix.Pixel(x, y) ? 1 : 0;
    EXPECT_EQ(0, nDifferent);
    // The underline under the O.
    EXPECT_GT(withPrefix.Count(IsDark), withoutPrefix.Count(IsDark));
    EXPECT_GT(rectPrefixed.bottom, rectPlain.bottom);

    // "A&&B" shows what "A&B" shows without prefix processing.
    ClientPicture picture(&doubled);
    PixelSurface reference(100, 30, Color(COLOR_BTNFACE));
    CFont* pFont = doubled.GetFont();
    HGDIOBJ hOld = ::SelectObject(reference.dc()->m_hDC, pFont->GetSafeHandle());
    ::SetBkMode(reference.dc()->m_hDC, TRANSPARENT);
    ::SetTextColor(reference.dc()->m_hDC, Color(COLOR_BTNTEXT));
    ::TextOutW(reference.dc()->m_hDC, 10, 5, L"A&B", 3);
    ::SelectObject(reference.dc()->m_hDC, hOld);
    int nReference = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            nReference += IsDark(reference.Pixel(x, y)) ? 1 : 0;
    EXPECT_EQ(nReference, picture.Count(IsDark));
    EXPECT_EQ(L"A&B", doubled.GetButtonText(TRUE));
    EXPECT_EQ(L"A&&B", doubled.GetButtonText(FALSE));
}

TEST_F(ButtonTest, IconIsCentredWithoutTextAndAtTheBorderGapWithText)
{
    HICON hIcon = MakeSolidIcon(RGB(255, 0, 0));
    const struct
    {
        LPCTSTR lpszText;
        DWORD dwStyle;
        CRect rectExpected;
    } cases[] = {
        {L"", BS_CENTER | BS_VCENTER, CRect(42, 12, 58, 28)},
        {L"Go", BS_CENTER | BS_VCENTER, CRect(4, 12, 20, 28)},
        {L"", 0, CRect(4, 12, 20, 28)},
    };
    UINT nID = 20;
    for (const auto& c : cases) {
        CXTButton button;
        Make(button, c.lpszText, CRect(10, 10, 110, 50), c.dwStyle, nID++);
        // Its own theme: the show-image flag belongs to the theme.
        button.SetTheme(button.GetFactory()->CreateTheme(0));
        ASSERT_TRUE(button.SetIcon(CSize(16, 16), hIcon));
        ClientPicture picture(&button);
        EXPECT_EQ(c.rectExpected, picture.Bounds(IsRed)) << Narrow(c.lpszText) << " " << c.dwStyle;
        // Without images the icon goes and the text is placed as if there were none.
        button.ToggleShowImage();
        ClientPicture hidden(&button);
        EXPECT_EQ(0, hidden.Count(IsRed));
        button.DestroyWindow();
    }
    ::DestroyIcon(hIcon);
}

TEST_F(ButtonTest, FacesAndFramesOfTheThreeThemes)
{
    const COLORREF clrFace = Color(COLOR_BTNFACE);
    const struct
    {
        int nTheme;
        DWORD dwXStyle;
        BOOL bHot;
        UINT nState;
        COLORREF clrTopLeft;
        COLORREF clrBottomRight;
        COLORREF clrCentre;
    } cases[] = {
        {0, BS_XT_FLAT, FALSE, 0, clrFace, clrFace, clrFace},
        {0, BS_XT_FLAT, TRUE, 0, Color(COLOR_BTNHIGHLIGHT), Color(COLOR_BTNSHADOW), clrFace},
        {0, BS_XT_FLAT, TRUE, ODS_SELECTED, Color(COLOR_BTNSHADOW), Color(COLOR_BTNHIGHLIGHT), clrFace},
        {0, BS_XT_SEMIFLAT, FALSE, 0, Color(COLOR_BTNHIGHLIGHT), Color(COLOR_BTNSHADOW), clrFace},
        {0, 0, FALSE, 0, Color(COLOR_BTNHIGHLIGHT), Color(COLOR_3DDKSHADOW), clrFace},
        {0, 0, FALSE, ODS_SELECTED, Color(COLOR_3DDKSHADOW), Color(COLOR_BTNHIGHLIGHT), clrFace},
        {1, 0, FALSE, 0, clrFace, clrFace, clrFace},
        {1, 0, TRUE, 0, Color(32), Color(32), Color(31)},
        {1, 0, FALSE, ODS_SELECTED, Color(32), Color(32), Color(33)},
        {2, 0, FALSE, 0, clrFace, clrFace, clrFace},
    };
    for (const auto& c : cases) {
        TestButton button;
        Make(button, L"", CRect(10, 10, 90, 40));
        button.SetXButtonStyle(c.dwXStyle, FALSE);
        if (c.nTheme != 0)
            button.SetTheme(button.GetFactory()->CreateTheme(c.nTheme));
        button.ForceHot(c.bHot);
        auto surface = Draw(button, c.nState);
        const int i = static_cast<int>(&c - cases);
        EXPECT_EQ(c.clrTopLeft, surface->Pixel(0, 0)) << i;
        EXPECT_EQ(c.clrBottomRight, surface->Pixel(79, 29)) << i;
        EXPECT_EQ(c.clrCentre, surface->Pixel(40, 15)) << i;
        button.DestroyWindow();
    }
}

TEST_F(ButtonTest, SchemeThemeWithoutSchemeFillsHotWithTheFixedGradient)
{
    if (GetCurrentColorScheme() != xtSchemeNone)
        GTEST_SKIP() << "a colour scheme is active";
    TestButton button;
    Make(button, L"", CRect(10, 10, 90, 50));
    button.SetTheme(button.GetFactory()->CreateTheme(2));
    button.ForceHot(TRUE);
    auto hot = Draw(button, 0);
    EXPECT_TRUE(ColorsNear(0xC8F2FF, hot->Pixel(40, 1), 6)) << std::hex << hot->Pixel(40, 1);
    EXPECT_TRUE(ColorsNear(0x97D4FF, hot->Pixel(40, 38), 6)) << std::hex << hot->Pixel(40, 38);
    EXPECT_EQ(Color(32), hot->Pixel(0, 20));
    button.ForceHot(FALSE);
    auto pressed = Draw(button, ODS_SELECTED);
    EXPECT_NE(hot->Pixel(40, 1), pressed->Pixel(40, 1));
}

TEST(ButtonSchemeTheme, SchemeColoursByScheme)
{
    const struct
    {
        UINT nScheme;
        COLORREF clrFace;
        COLORREF clrShadow;
        COLORREF clrBorder;
    } cases[] = {{xtSchemeBlue, 0xF0C7A9, 0xB99D7F, 0x800000},
                 {xtSchemeOlive, 0x9FD4C5, 0x7FB9A4, 0x385D3F},
                 // The button's silver border differs from the colour table's silver on purpose.
                 {xtSchemeSilver, 0xD3C0C0, 0xB2ACA5, 0x0B4B4B}};
    for (const auto& c : cases) {
        GetColorTable()->SetRequestedScheme(c.nScheme);
        CXTButtonThemeOffice2003 framed(TRUE);
        framed.RefreshMetrics();
        EXPECT_EQ(c.clrFace, static_cast<COLORREF>(framed.m_clrFace)) << c.nScheme;
        EXPECT_EQ(c.clrShadow, static_cast<COLORREF>(framed.m_clrShadow)) << c.nScheme;
        EXPECT_EQ(c.clrBorder, static_cast<COLORREF>(framed.m_clrLight)) << c.nScheme;
        EXPECT_EQ(0xC2EEFFu, static_cast<COLORREF>(framed.m_clrHotFace));
        EXPECT_EQ(0x3E80FEu, static_cast<COLORREF>(framed.m_clrPushedFace));
        EXPECT_EQ(0u, static_cast<COLORREF>(framed.m_clrHotText));
        CXTButtonThemeOffice2003 plain;
        plain.RefreshMetrics();
        EXPECT_EQ(Color(COLOR_BTNFACE), static_cast<COLORREF>(plain.m_clrFace)) << c.nScheme;
    }
    GetColorTable()->SetRequestedScheme(xtSchemeDetected);
}

TEST_F(ButtonTest, DoubleClickIsASecondPress)
{
    CXTButton button;
    Make(button, L"Twice", CRect(10, 10, 110, 40), 0, 31);
    const LPARAM lParam = MAKELPARAM(20, 10);
    const CPoint centre = ScreenCentre(button);
    ::SetCursorPos(centre.x, centre.y);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lParam);
    button.SendMessage(WM_LBUTTONUP, 0, lParam);
    button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, lParam);
    EXPECT_TRUE(button.IsPushed());
    button.SendMessage(WM_LBUTTONUP, 0, lParam);
    Pump();
    int nClicks = 0;
    for (const auto& command : m_parent.m_commands)
        nClicks += command.nID == 31 && command.nCode == BN_CLICKED ? 1 : 0;
    EXPECT_EQ(2, nClicks);
    ::SetCursorPos(2, 2);
}

TEST_F(ButtonTest, VisualStyleLookNeedsCommonControlsSix)
{
    CXTButton button;
    Make(button, L"", CRect(10, 10, 90, 40));
    button.SetXButtonStyle(BS_XT_WINXP_COMPAT, FALSE);
    XTSetComCtlVersionOverride(0x50052);
    EXPECT_FALSE(button.GetTheme()->UseWinXPThemes(&button));
    // Without the visual style and the flat bits there is no hot tracking.
    EXPECT_FALSE(button.GetTheme()->IsHotTrackingEnabled(&button));
    XTSetComCtlVersionOverride(0x60000);
    CXTThemeHandle handle;
    const BOOL bActive = handle.IsThemeActive();
    EXPECT_EQ(bActive, button.GetTheme()->UseWinXPThemes(&button));
}

TEST_F(ButtonTest, ScreenshotOfTheThreeThemes)
{
    HICON hIcon = MakeSolidIcon(RGB(40, 110, 200));
    const LPCTSTR states[] = {L"Rest", L"Hot", L"Pressed"};
    TestButton buttons[3][3];
    for (int nTheme = 0; nTheme < 3; ++nTheme)
        for (int nState = 0; nState < 3; ++nState) {
            TestButton& button = buttons[nTheme][nState];
            CString strText;
            strText.Format(L"&Theme %d %s", nTheme, states[nState]);
            const CRect rect(10 + nState * 140, 10 + nTheme * 50, 140 + nState * 140, 50 + nTheme * 50);
            Make(button, strText, rect, 0, static_cast<UINT>(100 + nTheme * 3 + nState));
            button.SetTheme(button.GetFactory()->CreateTheme(nTheme));
            button.SetIcon(CSize(16, 16), hIcon);
            button.ForceHot(nState == 1);
            if (nState == 2)
                button.SetState(TRUE);
        }
    ClientPicture picture(&m_parent);
    EXPECT_TRUE(picture.Save(L"buttons_three_themes"));
    ::DestroyIcon(hIcon);
}

} // namespace
