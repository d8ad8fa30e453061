#include "flat_framed_controls.h"

namespace {

constexpr COLORREF kFrameColour = RGB(0x1D, 0x75, 0xBD); // 0xBD751D as a colour value

} // namespace

void PaintAccentFrame(CWnd& window)
{
    CWindowDC dc(&window);
    CRect rect;
    window.GetWindowRect(&rect);
    rect.OffsetRect(-rect.left, -rect.top);
    CBrush brush(kFrameColour);
    dc.FrameRect(&rect, &brush);
}

// clang-format off
BEGIN_MESSAGE_MAP(CFlatEdit, CEdit)
    ON_WM_NCPAINT()
END_MESSAGE_MAP()
// clang-format on

void CFlatEdit::OnNcPaint()
{
    // The system draws the scroll bars (if any) first; the frame goes over its border only.
    Default();
    PaintAccentFrame(*this);
}

// clang-format off
BEGIN_MESSAGE_MAP(CFlatListBox, CListBox)
    ON_WM_NCPAINT()
END_MESSAGE_MAP()
// clang-format on

void CFlatListBox::OnNcPaint()
{
    Default();
    PaintAccentFrame(*this);
}
