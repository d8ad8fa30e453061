// The rounded group box on the test display, its pixels read back from the screen.
#include "modal_script.h"
#include "widget_host.h"
#include "xp_group_box.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kFrame = RGB(180, 30, 30);
const COLORREF kFill = RGB(235, 240, 250);
const COLORREF kBand = RGB(40, 70, 160);
const int kWidth = 200;
const int kHeight = 100;

class GroupBox : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Create(400, 300)); }

    void Create(LPCTSTR text)
    {
        ASSERT_TRUE(m_box.Create(text, WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                                 CRect(10, 10, 10 + kWidth, 10 + kHeight), &m_host, 61479));
        m_box.SetFontDescription(m_font);
        m_box.SetFrameColour(kFrame);
        m_box.SetFillColours(kFill, kBand);
    }
    COLORREF Pixel(int x, int y)
    {
        m_box.UpdateWindow();
        const RECT one = {x, y, x + 1, y + 1};
        return ClientPixels(m_box.GetSafeHwnd(), one).at(0);
    }
    // The height of a caption in the box's font, as the box measures it.
    int CaptionHeight()
    {
        CFont font;
        font.CreateFontIndirect(&m_font);
        CClientDC dc(&m_box);
        CFont* old = dc.SelectObject(&font);
        const int height = dc.GetTextExtent(L" Abc ").cy;
        dc.SelectObject(old);
        return height;
    }

    CWidgetHost m_host;
    CXPGroupBox m_box;
    LOGFONT m_font = {-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"};
};

TEST_F(GroupBox, CaptionKeepsItsBlanksAndAnUnknownAlignmentChangesNothing)
{
    Create(L"");
    m_box.SetCaption(L"Abc");
    EXPECT_EQ(m_box.GetCaption(), CString(L" Abc "));
    m_box.SetAlignment(2);
    m_box.SetAlignment(3);
    EXPECT_EQ(m_box.GetAlignment(), 2);
    m_box.SetAlignment(-1);
    EXPECT_EQ(m_box.GetAlignment(), 2);
    EXPECT_NE(m_box.GetStyle() & 0x40, 0u);

    CXPGroupBox unborn;
    unborn.SetCaption(L"Abc");
    EXPECT_TRUE(unborn.GetCaption().IsEmpty());
}

TEST_F(GroupBox, FrameWithoutAnyCaptionRunsAlongTheTopRow)
{
    Create(L"");
    // The working rectangle lies one pixel inside the client area.
    EXPECT_EQ(Pixel(kWidth / 2, 1), kFrame);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight - 2), kFrame);
    EXPECT_EQ(Pixel(1, kHeight / 2), kFrame);
    EXPECT_NE(Pixel(kWidth / 2, 3), kFrame);
}

TEST_F(GroupBox, FrameWithACaptionDropsItsLineToTheMiddleOfTheText)
{
    Create(L"");
    m_box.SetCaption(L"Abc");
    const int h = CaptionHeight();
    // The top line runs at half the caption's height, clear of the caption on the left.
    EXPECT_EQ(Pixel(kWidth - 20, 1 + h / 2), kFrame);
    EXPECT_NE(Pixel(kWidth - 20, 1), kFrame);
    // The patch under the caption is the fill colour where no letter stands: its leading blank.
    EXPECT_EQ(Pixel(12, 1 + h / 2), kFill);
}

TEST_F(GroupBox, PanelFillsItsTopRowsWithTheBandColour)
{
    Create(L"Abc");
    m_box.SetLook(1);
    const int h = CaptionHeight();
    const int right = kWidth - 20; // away from the left-aligned caption
    for (int y = 2; y <= h + 3; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(Pixel(right, y), kBand);
    }
    EXPECT_EQ(Pixel(right, h + 7), kFill);
    EXPECT_EQ(Pixel(right, kHeight - 2), kFrame);
}

} // namespace
