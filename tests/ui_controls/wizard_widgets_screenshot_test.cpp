// The wizard's widgets together on one surface, left as a screenshot for a person to look at.
#include "hover_buttons.h"
#include "hyperlink.h"
#include "pie_chart.h"
#include "support/screenshot.h"
#include "widget_host.h"
#include "xp_group_box.h"

#include <gtest/gtest.h>

namespace {

const DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

TEST(WizardWidgets, LeaveAScreenshotOfButtonsGroupBoxesAndPie)
{
    CWidgetHost host;
    ASSERT_TRUE(host.Create(620, 430, RGB(0xF2, 0xF2, 0xF2)));

    CFont font;
    font.CreateFont(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    LOGFONT bold = {};
    font.GetLogFont(&bold);
    bold.lfWeight = FW_BOLD;

    // Normal, hovered and pressed tool buttons, then a hover button.
    CToolButton normal, hovered, pressed;
    CHoverButton select;
    ASSERT_TRUE(normal.Create(L"", kButtonStyle, CRect(20, 20, 21, 21), &host, 159));
    ASSERT_TRUE(hovered.Create(L"", kButtonStyle, CRect(90, 20, 91, 21), &host, 160));
    ASSERT_TRUE(pressed.Create(L"", kButtonStyle, CRect(160, 20, 161, 21), &host, 132));
    ASSERT_TRUE(select.Create(L"", kButtonStyle, CRect(230, 20, 278, 52), &host, 61491));
    for (CToolButton* button : {&normal, &hovered, &pressed}) {
        ASSERT_TRUE(button->LoadBitmaps(401, 402));
    }
    ASSERT_TRUE(select.LoadBitmaps(403, 402));
    normal.SetTooltipText(L"Next");
    hovered.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(4, 4));
    pressed.SetState(TRUE);

    CXPGroupBox frame, panel;
    ASSERT_TRUE(
        frame.Create(L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, CRect(20, 70, 300, 200), &host, 61479));
    frame.SetFontDescription(bold);
    frame.SetFillColours(RGB(0xF2, 0xF2, 0xF2));
    frame.SetCaptionColour(RGB(0x1D, 0x75, 0xBD));
    frame.SetCaption(L"Selected Drive Information");
    ASSERT_TRUE(panel.Create(L"Partition", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, CRect(320, 70, 600, 200),
                             &host, 61480));
    panel.SetFontDescription(bold);
    panel.SetLook(1);
    panel.SetAlignment(1);
    panel.SetFillColours(RGB(255, 255, 255), RGB(0x1D, 0x75, 0xBD));
    panel.SetCaptionColour(RGB(255, 255, 255));

    CHyperLink link;
    link.SetURL(L"http://www.example.com/support");
    HWND hStatic =
        ::CreateWindowExW(0, L"STATIC", L"Visit the support pages", WS_CHILD | WS_VISIBLE, 40, 120, 200, 20,
                          host.GetSafeHwnd(), reinterpret_cast<HMENU>(1100), ::GetModuleHandle(NULL), NULL);
    ASSERT_TRUE(link.SubclassWindow(hStatic));
    link.SetUnderline(1);

    CPieChart chart;
    chart.m_bOwnsSlices = TRUE;
    chart.m_strTitle = L"Disk layout";
    chart.m_crOutline = RGB(255, 255, 255);
    chart.m_pFont = &font;
    chart.AddSlice(new CPieSlice(35, RGB(0x1D, 0x75, 0xBD), L"Partition 1"));
    chart.AddSlice(new CPieSlice(40, RGB(0x4F, 0x9D, 0x69), L"Partition 2"));
    chart.AddSlice(new CPieSlice(0, RGB(0x80, 0x80, 0x80), L"Unallocated"));
    host.m_paint = [&chart](CDC& dc) { chart.Draw(&dc, 110, 320, 70, TRUE, 1, TRUE); };

    EXPECT_TRUE(test_support::WriteClientScreenshot(host.GetSafeHwnd(), L"wizard_widgets"));
}

} // namespace
