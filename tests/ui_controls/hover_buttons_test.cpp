// The wizard's picture buttons on the test display: hover and leave sent as the system's mouse tracking
// sends them, faces drawn into a memory DC and read back.
#include "hover_buttons.h"
#include "test_surface.h"
#include "widget_host.h"
#include "wizard_control_resource_ids.h"

#include <gtest/gtest.h>

namespace {

// The faces of the test program's resources: a normal face with the pressed face beside it, a hover face of
// one face's size, and a normal face without a pressed face.
const UINT kNormalAndPressedFace = 401;
const UINT kHoverFace = 402;
const UINT kSingleNormalFace = 403;
const int kFaceWidth = 48;
const int kFaceHeight = 32;
const COLORREF kNormalColour = RGB(47, 93, 140);
const COLORREF kPressedColour = RGB(27, 53, 80);
const COLORREF kHoverColour = RGB(79, 125, 173);
const COLORREF kSingleNormalColour = RGB(140, 93, 47);

const DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

void Hover(CWnd& button)
{
    button.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
}

void Leave(CWnd& button)
{
    button.SendMessage(WM_MOUSELEAVE);
}

bool HasUpdateRegion(CWnd& window)
{
    return ::GetUpdateRect(window.GetSafeHwnd(), NULL, FALSE) != FALSE;
}

// The colour in the middle of the face that the button draws for the item state.
COLORREF DrawnFace(CButton& button, UINT itemState)
{
    TestSurface surface(kFaceWidth, kFaceHeight);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = itemState;
    item.hwndItem = button.GetSafeHwnd();
    item.hDC = surface.dc();
    item.rcItem = {0, 0, kFaceWidth, kFaceHeight};
    button.DrawItem(&item);
    return surface.Pixel(kFaceWidth / 2, kFaceHeight / 2);
}

class HoverButtons : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Create(400, 200));
        // The partner stands for the view that shows the description: a child of the same host.
        ASSERT_TRUE(m_partner.Create(100, 100, RGB(255, 255, 255), &m_host));
        SharedHoverValue = 0;
    }
    void TearDown() override { SharedHoverValue = 0; }

    CWidgetHost m_host;
    CWidgetHost m_partner;
};

TEST_F(HoverButtons, SharedValueFollowsTheButtonUnderTheCursorInBothArrivalOrders)
{
    CHoverButton first;
    CHoverButton second;
    ASSERT_TRUE(first.Create(L"", kButtonStyle, CRect(10, 10, 58, 42), &m_host, 131));
    ASSERT_TRUE(second.Create(L"", kButtonStyle, CRect(70, 10, 118, 42), &m_host, 132));
    first.SetPartner(&m_partner, 1);
    second.SetPartner(&m_partner, 2);

    for (const bool leaveFirst : {true, false}) {
        SCOPED_TRACE(leaveFirst ? "leave, then hover" : "hover, then leave");
        Hover(first);
        EXPECT_EQ(SharedHoverValue, 1u);
        EXPECT_TRUE(first.IsHovering());
        m_partner.ValidateRect(NULL);

        if (leaveFirst) {
            Leave(first);
            Hover(second);
        } else {
            Hover(second);
            Leave(first);
        }
        EXPECT_EQ(SharedHoverValue, 2u);
        EXPECT_FALSE(first.IsHovering());
        EXPECT_TRUE(second.IsHovering());
        EXPECT_TRUE(HasUpdateRegion(m_partner));

        m_partner.ValidateRect(NULL);
        Leave(second);
        EXPECT_EQ(SharedHoverValue, 0u);
        EXPECT_TRUE(HasUpdateRegion(m_partner));
    }
}

TEST_F(HoverButtons, HoverButtonShowsItsOwnCursorsOverTheButtonAndWhilePressed)
{
    CHoverButton button;
    ASSERT_TRUE(button.Create(L"", kButtonStyle, CRect(10, 10, 58, 42), &m_host, 131));
    HCURSOR hover = ::LoadCursor(::GetModuleHandle(NULL), MAKEINTRESOURCE(IDC_HOVER_BUTTON_HOVER));
    HCURSOR press = ::LoadCursor(::GetModuleHandle(NULL), MAKEINTRESOURCE(IDC_HOVER_BUTTON_PRESS));
    ASSERT_NE(hover, nullptr);
    ASSERT_NE(press, nullptr);
    ASSERT_NE(hover, press);

    Hover(button);
    EXPECT_EQ(::GetCursor(), hover);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(::GetCursor(), press);
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Leave(button);
}

TEST_F(HoverButtons, ToolButtonWithAHintActsAsTheHomeViewsButtonsAndWithoutOneStaysQuiet)
{
    CToolButton hinted;
    CToolButton plain;
    ASSERT_TRUE(hinted.Create(L"", kButtonStyle, CRect(10, 10, 58, 42), &m_host, 131));
    ASSERT_TRUE(plain.Create(L"", kButtonStyle, CRect(70, 10, 118, 42), &m_host, 159));
    hinted.SetHoverHint(&m_partner, 3);

    ::SetCursor(::LoadCursor(NULL, IDC_ARROW));
    m_partner.ValidateRect(NULL);
    Hover(hinted);
    EXPECT_EQ(SharedHoverValue, 3u);
    EXPECT_EQ(::GetCursor(), ::LoadCursor(NULL, IDC_HAND));
    EXPECT_TRUE(HasUpdateRegion(m_partner));
    EXPECT_EQ(hinted.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(hinted.GetSafeHwnd()),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    Leave(hinted);
    EXPECT_EQ(SharedHoverValue, 0u);

    // Another button's value stays whatever a button without a hint does.
    SharedHoverValue = 7;
    Hover(plain);
    EXPECT_TRUE(plain.IsHovering());
    EXPECT_EQ(SharedHoverValue, 7u);
    Leave(plain);
    EXPECT_FALSE(plain.IsHovering());
    EXPECT_EQ(SharedHoverValue, 7u);
}

TEST_F(HoverButtons, DrawItemCopiesTheNormalHoverOrPressedFace)
{
    CToolButton tool;
    CToolButton single;
    CHoverButton hover;
    ASSERT_TRUE(tool.Create(L"", kButtonStyle, CRect(10, 10, 20, 20), &m_host, 159));
    ASSERT_TRUE(single.Create(L"", kButtonStyle, CRect(70, 10, 80, 20), &m_host, 160));
    ASSERT_TRUE(hover.Create(L"", kButtonStyle, CRect(130, 10, 140, 20), &m_host, 131));
    ASSERT_TRUE(tool.LoadBitmaps(kNormalAndPressedFace, kHoverFace));
    ASSERT_TRUE(single.LoadBitmaps(kSingleNormalFace, kHoverFace));
    ASSERT_TRUE(hover.LoadBitmaps(kSingleNormalFace, kHoverFace));

    struct Case
    {
        const char* name;
        CButton* button;
        bool hovering;
        UINT itemState;
        COLORREF expected;
    };
    const Case cases[] = {
        {"tool, normal", &tool, false, 0, kNormalColour},
        {"tool, hover", &tool, true, 0, kHoverColour},
        {"tool, pressed beside the normal face", &tool, false, ODS_SELECTED, kPressedColour},
        {"tool, pressed while hovering", &tool, true, ODS_SELECTED, kPressedColour},
        {"tool without a pressed face, pressed", &single, false, ODS_SELECTED, kSingleNormalColour},
        {"hover button, normal", &hover, false, 0, kSingleNormalColour},
        {"hover button, hover", &hover, true, 0, kHoverColour},
        {"hover button, pressed", &hover, false, ODS_SELECTED, kSingleNormalColour},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.hovering ? Hover(*c.button) : Leave(*c.button);
        EXPECT_EQ(DrawnFace(*c.button, c.itemState), c.expected);
    }
}

TEST_F(HoverButtons, LoadBitmapsSizesTheToolButtonToTheHoverFaceWithoutMovingIt)
{
    CToolButton tool;
    ASSERT_TRUE(tool.Create(L"", kButtonStyle, CRect(30, 40, 35, 45), &m_host, 159));
    ASSERT_TRUE(tool.LoadBitmaps(kNormalAndPressedFace, kHoverFace));
    CRect rect;
    tool.GetWindowRect(&rect);
    m_host.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(30, 40, 30 + kFaceWidth, 40 + kFaceHeight));

    EXPECT_FALSE(tool.LoadBitmaps(kNormalAndPressedFace, 999));
    tool.GetWindowRect(&rect);
    m_host.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(30, 40, 30 + 2 * kFaceWidth, 40 + kFaceHeight));
}

TEST_F(HoverButtons, ToolButtonHasAToolOnlyOnceItHasATooltipText)
{
    CToolButton tool;
    ASSERT_TRUE(tool.Create(L"", kButtonStyle, CRect(10, 10, 58, 42), &m_host, 159));
    MSG move = {};
    move.hwnd = tool.GetSafeHwnd();
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(5, 5);
    tool.PreTranslateMessage(&move);
    ASSERT_NE(tool.GetToolTip().GetSafeHwnd(), nullptr);
    EXPECT_EQ(tool.GetToolTip().SendMessage(TTM_GETTOOLCOUNT), 0);

    tool.SetTooltipText(L"");
    EXPECT_EQ(tool.GetToolTip().SendMessage(TTM_GETTOOLCOUNT), 0);
    tool.SetTooltipText(L"Next");
    tool.SetTooltipText(L"Back", FALSE);
    EXPECT_EQ(tool.GetToolTip().SendMessage(TTM_GETTOOLCOUNT), 1);
    CString text;
    tool.GetToolTip().GetText(text, &tool, 1);
    EXPECT_EQ(text, CString(L"Back"));
}

} // namespace
