// The caption bar: its GDI use without a window, the close-button form and its command, a long text,
// and the text-button form's pop-up with its push pin and its closing when the focus leaves.
#include "caption.h"
#include "color_table.h"
#include "standalone_test.h"

#include <gtest/gtest.h>

namespace {

class CaptionTest : public ::testing::Test
{
protected:
    // A pane in the shared parent with the caption on top and a list box under it.
    void MakePane(CXTCaption& caption, DWORD nStyleBits, LPCTSTR lpszText)
    {
        ASSERT_TRUE(m_pane.CreateEx(0, AfxRegisterWndClass(0), L"pane",
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(10, 10, 230, 210),
                                    &m_parent, 50));
        ASSERT_TRUE(
            caption.Create(&m_pane, lpszText, nStyleBits, WS_CHILD | WS_VISIBLE, CRect(0, 0, 220, 22), 51));
        ASSERT_TRUE(m_child.Create(WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, CRect(0, 22, 220, 200),
                                   &m_pane, 52));
        m_child.AddString(L"first");
        m_child.AddString(L"second");
    }
    void MakeSecondCaption(CXTCaption& caption)
    {
        ASSERT_TRUE(caption.Create(&m_parent, L"Second", CPWS_EX_CLOSEBUTTON, WS_CHILD | WS_VISIBLE,
                                   CRect(240, 230, 400, 254), 79));
    }
    void TearDown() override
    {
        if (::IsWindow(m_pane.GetSafeHwnd()))
            m_pane.DestroyWindow();
        if (::IsWindow(m_elsewhere.GetSafeHwnd()))
            m_elsewhere.DestroyWindow();
    }
    bool Received(UINT message) const
    {
        for (const auto& entry : m_parent.m_messages)
            if (entry.first == message)
                return true;
        return false;
    }
    RecordingParent& m_parent = SharedParent();
    CWnd m_pane;
    CListBox m_child;
    CEdit m_elsewhere;
};

TEST(CaptionObject, WithoutAWindowUsesNoGdiObjects)
{
    {
        CXTCaption warmUp;
    }
    const DWORD dwBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 5; ++i) {
        CXTCaption caption;
        caption.ModifyCaptionStyle(2, NULL, L"text", NULL);
    }
    EXPECT_EQ(dwBefore, ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
}

TEST_F(CaptionTest, CloseFormPlacesTheCrossAtTheRightAndSendsItsCommand)
{
    CXTCaption caption;
    ASSERT_TRUE(caption.Create(&m_parent, L"Tasks", CPWS_EX_CLOSEBUTTON | CPWS_EX_RAISED_EDGE,
                               WS_CHILD | WS_VISIBLE, CRect(10, 230, 230, 254), 77));
    CRect rectButton;
    caption.GetCaptionButton().GetWindowRect(&rectButton);
    caption.ScreenToClient(&rectButton);
    EXPECT_EQ(CRect(220 - 18, (24 - 15) / 2, 220 - 2, (24 - 15) / 2 + 15), rectButton);

    // The cross of the glyph bitmap, dark on the caption's face, inside the button.
    ClientPicture picture(&caption);
    const CRect rectGlyph =
        picture.Bounds([](COLORREF clr) { return clr == RGB(0, 0, 0); }, CRect(150, 0, 220, 24));
    ASSERT_FALSE(rectGlyph.IsRectEmpty());
    EXPECT_GE(rectGlyph.left, rectButton.left);
    EXPECT_LE(rectGlyph.right, rectButton.right);
    EXPECT_GE(rectGlyph.top, rectButton.top);
    EXPECT_LE(rectGlyph.bottom, rectButton.bottom);

    caption.GetCaptionButton().Click();
    Pump();
    ASSERT_FALSE(m_parent.m_commands.empty());
    EXPECT_EQ(77u, m_parent.m_commands.back().nID);
    EXPECT_EQ(0u, m_parent.m_commands.back().nCode);
    EXPECT_EQ(caption.GetSafeHwnd(), m_parent.m_commands.back().hWndFrom);
    ClientPicture(&m_parent).Save(L"caption_close_form");
}

TEST_F(CaptionTest, ScreenshotOfTheThreeThemesInBothForms)
{
    CXTCaption captions[3][2];
    for (int nTheme = 0; nTheme < 3; ++nTheme)
        for (int nForm = 0; nForm < 2; ++nForm) {
            CXTCaption& caption = captions[nTheme][nForm];
            CString strText;
            strText.Format(L"Theme %d %s", nTheme, nForm == 0 ? L"text form" : L"close form");
            const CRect rect(10 + nForm * 215, 10 + nTheme * 40, 215 + nForm * 215, 34 + nTheme * 40);
            ASSERT_TRUE(
                caption.Create(&m_parent, strText, nForm == 0 ? CPWS_EX_RAISED_EDGE : CPWS_EX_CLOSEBUTTON,
                               WS_CHILD | WS_VISIBLE, rect, static_cast<UINT>(90 + nTheme * 2 + nForm)));
            caption.SetTheme(caption.GetFactory()->CreateTheme(nTheme));
            CXTCaptionButton& button = caption.GetCaptionButton();
            button.SetTheme(button.GetFactory()->CreateTheme(nTheme));
            if (nForm == 0) {
                // The text form's button, as SetChildWindow shows it.
                button.ShowWindow(SW_SHOW);
                button.MoveWindow(caption.GetButtonRect());
            }
        }
    ClientPicture picture(&m_parent);
    EXPECT_TRUE(picture.Save(L"caption_three_themes"));
    // Every caption shows its text.
    for (int nTheme = 0; nTheme < 3; ++nTheme)
        EXPECT_GT(ClientPicture(&captions[nTheme][1]).Count(IsDark), 20) << nTheme;
}

TEST_F(CaptionTest, LongTextEndsInAnEllipsisInsideTheCaption)
{
    CXTCaption caption;
    const wchar_t kText[] = L"A caption text much longer than the caption is wide";
    ASSERT_TRUE(caption.Create(&m_parent, kText, 0, WS_CHILD | WS_VISIBLE, CRect(10, 230, 130, 252), 78));
    const CRect rectText = caption.GetTextRect();
    EXPECT_LE(rectText.right, 120);
    ClientPicture picture(&caption);

    // The same text cut by the system's own ellipsis in the same rectangle and font.
    PixelSurface reference(120, 22, caption.GetBackColor());
    HGDIOBJ hOld = ::SelectObject(reference.dc()->m_hDC, caption.GetFont()->GetSafeHandle());
    ::SetBkMode(reference.dc()->m_hDC, TRANSPARENT);
    ::SetTextColor(reference.dc()->m_hDC, caption.GetCaptionTextColor());
    CRect rect(rectText);
    ::DrawTextW(reference.dc()->m_hDC, kText, -1, &rect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SelectObject(reference.dc()->m_hDC, hOld);
    int nDifferent = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 120; ++x)
            nDifferent += reference.Pixel(x, y) != picture.Pixel(x, y) ? 1 : 0;
    EXPECT_EQ(0, nDifferent);
}

TEST_F(CaptionTest, TextFormPopupHoldsTheChildUntilTheFocusLeaves)
{
    CXTCaption caption;
    MakePane(caption, 0, L"Folders");
    m_parent.m_recordedMessages = {CPWN_XT_PUSHPINBUTTON, CPWN_XT_PUSHPINCANCEL};
    CXTCaptionButton& button = caption.GetCaptionButton();
    EXPECT_FALSE(button.IsWindowVisible());
    caption.SetChildWindow(&m_child, &m_parent);
    EXPECT_TRUE(button.IsWindowVisible());
    ClientPicture(&m_parent).Save(L"caption_text_form");

    button.Click();
    Pump();
    CXTCaptionPopupWnd* pPopup = caption.GetPopupWnd();
    ASSERT_NE(nullptr, pPopup);
    wchar_t className[64] = {};
    ::GetClassNameW(pPopup->GetSafeHwnd(), className, 64);
    EXPECT_STREQ(L"XTCaptionPopupWnd", className);
    EXPECT_EQ(pPopup->GetSafeHwnd(), ::GetParent(m_child.GetSafeHwnd()));
    EXPECT_TRUE(button.GetState() & BST_PUSHED);
    EXPECT_EQ(L"Click push pin to keep open", pPopup->GetInnerCaption().GetCaptionText());
    PumpFor(60);
    ASSERT_EQ(pPopup, caption.GetPopupWnd()) << "the pop-up has the focus and stays";
    ClientPicture(pPopup).Save(L"caption_popup");

    // The focus on another window of the parent closes it within a few ticks.
    ASSERT_TRUE(
        m_elsewhere.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(250, 10, 400, 34), &m_parent, 60));
    m_parent.SetForegroundWindow();
    m_elsewhere.SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return caption.GetPopupWnd() == NULL; }, 1000));
    EXPECT_EQ(m_pane.GetSafeHwnd(), ::GetParent(m_child.GetSafeHwnd()));
    EXPECT_TRUE(Received(CPWN_XT_PUSHPINCANCEL));
    EXPECT_FALSE(button.GetState() & BST_PUSHED);
    EXPECT_TRUE(button.IsWindowVisible());
}

TEST_F(CaptionTest, PopupGrowsWithTheGrandparentAndColoursFollowTheSystem)
{
    CXTCaption caption;
    MakePane(caption, 0, L"Folders");
    caption.SetChildWindow(&m_child, &m_parent);
    CRect rectParent;
    m_parent.GetWindowRect(&rectParent);
    m_parent.SetWindowPos(NULL, 0, 0, rectParent.Width(), rectParent.Height() + 40,
                          SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(caption.ShowPopupWindow());
    CRect rectPopup;
    caption.GetPopupWnd()->GetWindowRect(&rectPopup);
    m_parent.SetWindowPos(NULL, 0, 0, rectParent.Width(), rectParent.Height(), SWP_NOMOVE | SWP_NOZORDER);
    // The pane's client rectangle widened by twice the edge on every side, then 40 taller.
    const int cyEdge = ::GetSystemMetrics(SM_CYEDGE);
    EXPECT_EQ(200 + 4 * cyEdge + 40, rectPopup.Height());
    caption.HidePopupWindow();

    caption.SetCaptionColors(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3));
    caption.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(RGB(2, 2, 2), caption.GetBackColor());
    CXTCaption systemColours;
    MakeSecondCaption(systemColours);
    systemColours.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(::GetSysColor(COLOR_BTNTEXT), systemColours.GetCaptionTextColor());
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), systemColours.GetBackColor());
}

TEST_F(CaptionTest, PushPinDocksTheChildBackBelowTheCaption)
{
    CXTCaption caption;
    MakePane(caption, 0, L"Folders");
    m_parent.m_recordedMessages = {CPWN_XT_PUSHPINBUTTON, CPWN_XT_PUSHPINCANCEL};
    caption.SetChildWindow(&m_child, &m_parent);
    ASSERT_TRUE(caption.ShowPopupWindow());
    CXTCaptionPopupWnd* pPopup = caption.GetPopupWnd();
    ASSERT_NE(nullptr, pPopup);
    // The pin's click ends with the pop-up, and the pin itself, destroyed and deleted.
    pPopup->GetPushPin().Click();
    Pump();
    EXPECT_EQ(nullptr, caption.GetPopupWnd());
    EXPECT_EQ(m_pane.GetSafeHwnd(), ::GetParent(m_child.GetSafeHwnd()));
    CRect rectChild;
    m_child.GetWindowRect(&rectChild);
    m_pane.ScreenToClient(&rectChild);
    EXPECT_EQ(CRect(0, 22, 220, 200), rectChild);
    EXPECT_TRUE(Received(CPWN_XT_PUSHPINBUTTON));
    EXPECT_FALSE(Received(CPWN_XT_PUSHPINCANCEL));
    EXPECT_FALSE(caption.GetCaptionButton().IsWindowVisible());
}

} // namespace
