#include "text_progress_ctrl.h"

#include "offscreen_dc.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Bar rectangles only use left and right, so their emptiness is their length along the bar.
bool IsBarEmpty(const CRect& bar)
{
    return bar.right <= bar.left;
}

int ClampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// value x length / (upper - lower) in double precision, truncated; the caller has made sure that the
// range is not empty.
int ScaleToBar(long long value, int length, int lower, int upper)
{
    const double scaled = static_cast<double>(value) * length / (static_cast<double>(upper) - lower);
    return static_cast<int>(std::clamp(scaled, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

// Two stops of the same colour draw a bar of that colour.
void SetTwoStops(CArray<COLORREF, COLORREF>& colours, COLORREF first, COLORREF second)
{
    colours.SetSize(2);
    colours[0] = first;
    colours[1] = second;
}

} // namespace

IMPLEMENT_DYNAMIC(CTextProgressCtrl, CProgressCtrl)

// clang-format off
BEGIN_MESSAGE_MAP(CTextProgressCtrl, CProgressCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClientMessage)
    ON_MESSAGE(PBM_SETPOS, OnSetPos)
    ON_MESSAGE(PBM_DELTAPOS, OnDeltaPos)
    ON_MESSAGE(PBM_STEPIT, OnStepIt)
    ON_MESSAGE(PBM_SETSTEP, OnSetStep)
    ON_MESSAGE(PBM_SETBARCOLOR, OnSetBarColour)
    ON_MESSAGE(PBM_SETBKCOLOR, OnSetBackgroundColour)
END_MESSAGE_MAP()
// clang-format on

CTextProgressCtrl::CTextProgressCtrl()
    : m_backgroundColour(::GetSysColor(COLOR_BTNFACE)), m_barTextColour(::GetSysColor(COLOR_CAPTIONTEXT)),
      m_backgroundTextColour(::GetSysColor(COLOR_BTNTEXT))
{
    BOOL gradientCaptions = FALSE;
    const BOOL known = ::SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradientCaptions, 0);
    const COLORREF caption = ::GetSysColor(COLOR_ACTIVECAPTION);
    SetTwoStops(m_colours, caption,
                known && gradientCaptions ? ::GetSysColor(COLOR_GRADIENTACTIVECAPTION) : caption);
}

void CTextProgressCtrl::SetText(LPCTSTR lpszFormat, DWORD dwTextMode)
{
    const DWORD mode = dwTextMode & TPBS_TEXT_MASK;
    if (lpszFormat != NULL && *lpszFormat != L'\0' && mode != 0) {
        ModifyStyle(TPBS_TEXT_MASK, mode);
        SetWindowText(lpszFormat);
    } else {
        ModifyStyle(TPBS_TEXT_MASK, 0);
        SetWindowText(L"");
    }
}

CRect CTextProgressCtrl::MapToClient(const BarPaintInfo& info, const CRect& bar)
{
    const CRect& c = info.client;
    const BOOL reversed = (info.style & TPBS_REVERSED) != 0;
    if (info.style & PBS_VERTICAL) {
        return reversed ? CRect(c.left, c.top + bar.left, c.right, c.top + bar.right)
                        : CRect(c.left, c.bottom - bar.right, c.right, c.bottom - bar.left);
    }
    return reversed ? CRect(c.right - bar.right, c.top, c.right - bar.left, c.bottom)
                    : CRect(c.left + bar.left, c.top, c.left + bar.right, c.bottom);
}

BOOL CTextProgressCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CTextProgressCtrl::OnPaint()
{
    CPaintDC dc(this);
    Paint(&dc);
}

LRESULT CTextProgressCtrl::OnPrintClientMessage(WPARAM wParam, LPARAM)
{
    if (wParam != 0) {
        Paint(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    }
    return 0;
}

void CTextProgressCtrl::Paint(CDC* pTarget)
{
    CRect client;
    GetClientRect(&client);
    const int position = static_cast<int>(SendMessage(PBM_GETPOS));
    PBRANGE range = {};
    SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));

    CRect clip;
    pTarget->GetClipBox(&clip);
    COffscreenDC dc(pTarget, clip);
    if (m_pBackgroundBrush != NULL) {
        dc.FillRect(&client, m_pBackgroundBrush);
    } else {
        dc.FillSolidRect(&client, m_backgroundColour);
    }
    client.DeflateRect(&m_border);
    // A position outside the range shows the background alone, and so does an empty range, whose
    // layout would divide by its zero width.
    if (position < range.iLow || position > range.iHigh || range.iHigh <= range.iLow) {
        return;
    }

    const BarPaintInfo info = {&dc, GetStyle(), client, position, range.iLow, range.iHigh};
    const int length = (info.style & PBS_VERTICAL) ? client.Height() : client.Width();
    // A border wider than the control leaves no bar (and no rectangle that would turn inside out).
    if (length <= 0) {
        return;
    }
    CRect filled(
        0, 0, ScaleToBar(static_cast<long long>(position) - range.iLow, length, range.iLow, range.iHigh), 0);
    if (info.style & TPBS_SEGMENT) {
        filled.left =
            std::min<int>(filled.right, ScaleToBar(static_cast<long long>(m_segmentStart) - range.iLow,
                                                   length, range.iLow, range.iHigh));
    }
    const CRect whole(0, 0, length, 0);

    if (m_pBarBrush != NULL) {
        const CRect target = MapToClient(info, filled);
        dc.FillRect(&target, m_pBarBrush);
    } else {
        FillBarGradient(info, (info.style & TPBS_STRETCH_GRADIENT) ? filled : whole, filled);
    }
    DrawBarText(info, whole, filled);
}

void CTextProgressCtrl::FillBarGradient(const BarPaintInfo& info, const CRect& gradient, const CRect& clip)
{
    const int pieces = static_cast<int>(m_colours.GetSize()) - 1;
    if (pieces < 1) {
        return;
    }
    const float pieceWidth = static_cast<float>(gradient.right - gradient.left) / pieces;
    for (int i = 0; i < pieces; ++i) {
        const int start = gradient.left + static_cast<int>(i * pieceWidth);
        const int end =
            i == pieces - 1 ? gradient.right : gradient.left + static_cast<int>((i + 1) * pieceWidth);
        if (end < clip.left) {
            continue;
        }
        const CRect piece(start, 0, end, 0);
        const CRect visible(std::max<int>(start, clip.left), 0, std::min<int>(end, clip.right), 0);
        FillColourRamp(info, piece, visible, m_colours[i], m_colours[i + 1]);
        if (visible.right >= clip.right) {
            break;
        }
    }
}

void CTextProgressCtrl::FillColourRamp(const BarPaintInfo& info, const CRect& ramp, const CRect& clip,
                                       COLORREF startColour, COLORREF endColour)
{
    CDC* pDC = info.pDC;
    const int channels[3][2] = {{GetRValue(startColour), GetRValue(endColour)},
                                {GetGValue(startColour), GetGValue(endColour)},
                                {GetBValue(startColour), GetBValue(endColour)}};
    int steps = 0;
    for (const auto& channel : channels) {
        steps = std::max<int>(steps, std::abs(channel[1] - channel[0]));
    }
    steps = std::max<int>(1, std::min<int>(steps, ramp.right - ramp.left));
    float increments[3];
    for (int c = 0; c < 3; ++c) {
        increments[c] = static_cast<float>(channels[c][1] - channels[c][0]) / steps;
    }
    const BOOL palette = (pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0;
    if (!palette && steps >= 2 && pDC->GetDeviceCaps(BITSPIXEL) * pDC->GetDeviceCaps(PLANES) < 8) {
        steps = 1;
    }
    const float bandWidth = static_cast<float>(ramp.right - ramp.left) / steps;
    for (int i = 0; i < steps; ++i) {
        CRect band(ramp.left + static_cast<int>(i * bandWidth), 0,
                   i == steps - 1 ? ramp.right : ramp.left + static_cast<int>((i + 1) * bandWidth), 0);
        if (band.right < clip.left) {
            continue;
        }
        band.left = std::max<int>(band.left, clip.left);
        band.right = std::min<int>(band.right, clip.right);
        int value[3];
        for (int c = 0; c < 3; ++c) {
            value[c] = (channels[c][0] + static_cast<int>(i * increments[c])) & 0xFF;
        }
        const COLORREF colour = RGB(value[0], value[1], value[2]);
        const CRect target = MapToClient(info, band);
        if (palette) {
            CBrush brush;
            if (brush.CreateSolidBrush(colour)) {
                pDC->FillRect(&target, &brush);
            }
        } else {
            pDC->FillSolidRect(&target, colour);
        }
        if (band.right >= clip.right) {
            break;
        }
    }
}

void CTextProgressCtrl::DrawBarText(const BarPaintInfo& info, const CRect& whole, const CRect& filled)
{
    const DWORD mode = info.style & TPBS_TEXT_MASK;
    if (mode == 0) {
        return;
    }
    CString format;
    GetWindowText(format);
    int value = 0;
    if (mode == TPBS_PERCENT) {
        if (format.IsEmpty()) {
            format = L"%d%%";
        }
        if (info.upper > info.lower) {
            value = ClampToInt((static_cast<long long>(info.position) - info.lower) * 100 /
                               (static_cast<long long>(info.upper) - info.lower));
        }
    } else if (mode == TPBS_POSITION) {
        if (format.IsEmpty()) {
            format = L"%d";
        }
        value = info.position;
    }
    if (format.IsEmpty()) {
        return;
    }

    CDC* pDC = info.pDC;
    CFont* pFont = GetFont();
    CFont* pOldFont = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
    const COLORREF oldTextColour = pDC->SetTextColor(m_barTextColour);
    const int oldBkMode = pDC->SetBkMode(TRANSPARENT);
    const UINT oldAlign = pDC->SetTextAlign(TA_CENTER | TA_BOTTOM);
    const CPoint windowOrigin = pDC->GetWindowOrg();

    // The window text is a format with one integer to give: the typed formatter prints a conversion
    // without an argument as it stands and never reads one that was not passed.
    CString text;
    text.Format(format, value);

    int angle = 0;
    LOGFONTW logFont = {};
    if (pFont != NULL && pFont->GetLogFont(&logFont)) {
        angle = logFont.lfEscapement / 10;
    }
    const CSize size = pDC->GetTextExtent(text);
    int alongX = 0;
    int alongY = 0;
    CPoint offset(0, 0);
    switch (angle) {
    case 0:
        alongX = size.cx, alongY = size.cy, offset = CPoint(0, size.cy);
        break;
    case 90:
        alongX = size.cy, alongY = size.cx, offset = CPoint(size.cy, 0);
        break;
    case 180:
        alongX = size.cx, alongY = size.cy, offset = CPoint(0, -size.cy);
        break;
    case 270:
        alongX = size.cy, alongY = size.cx, offset = CPoint(-size.cy, 0);
        break;
    default:
        break;
    }

    const CPoint viewportOrigin = pDC->GetViewportOrg();
    // Text drawn at (0, 0) lands centred on the target.
    const auto centreOn = [&](const CRect& target) {
        pDC->SetViewportOrg(viewportOrigin.x + target.left + (target.Width() + offset.x) / 2,
                            viewportOrigin.y + target.top + (target.Height() + offset.y) / 2);
    };

    if (info.style & TPBS_TEXT_ON_BAR) {
        const int extent = (info.style & PBS_VERTICAL) ? alongY : alongX;
        if (extent <= filled.right - filled.left) {
            centreOn(MapToClient(info, filled));
            TextOutClipped(info, filled, text, windowOrigin);
        }
    } else {
        centreOn(info.client);
        if (m_barTextColour == m_backgroundTextColour) {
            TextOutClipped(info, whole, text, windowOrigin);
        } else {
            if (!IsBarEmpty(filled)) {
                TextOutClipped(info, filled, text, windowOrigin);
            }
            pDC->SetTextColor(m_backgroundTextColour);
            if (whole.right > filled.right) {
                TextOutClipped(info, CRect(filled.right, 0, whole.right, 0), text, windowOrigin);
            }
            if (whole.left < filled.left) {
                TextOutClipped(info, CRect(whole.left, 0, filled.left, 0), text, windowOrigin);
            }
        }
    }

    pDC->SetViewportOrg(viewportOrigin);
    pDC->SetTextAlign(oldAlign);
    pDC->SetBkMode(oldBkMode);
    pDC->SetTextColor(oldTextColour);
    if (pOldFont != NULL) {
        pDC->SelectObject(pOldFont);
    }
}

void CTextProgressCtrl::TextOutClipped(const BarPaintInfo& info, const CRect& rect, const CString& text,
                                       CPoint windowOrigin)
{
    CRect device = MapToClient(info, rect);
    device.OffsetRect(-windowOrigin.x, -windowOrigin.y);
    CRgn region;
    if (!region.CreateRectRgnIndirect(&device)) {
        return;
    }
    info.pDC->SelectClipRgn(&region);
    info.pDC->TextOut(0, 0, text);
}

BOOL CTextProgressCtrl::AdvanceSegment(LRESULT& result, int position, BOOL relative)
{
    if (!(GetStyle() & TPBS_SEGMENT)) {
        return FALSE;
    }
    PBRANGE range = {};
    SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const long long lower = range.iLow;
    const long long upper = range.iHigh;
    long long head = position;
    if (relative) {
        head = static_cast<int>(SendMessage(PBM_GETPOS));
        // The platform holds its position at the upper bound while the head runs on past the end.
        if (head == upper && head - m_segmentStart < m_segmentLength) {
            head = static_cast<long long>(m_segmentStart) + m_segmentLength;
        }
        head += std::llabs(static_cast<long long>(position));
    }
    const long long limit = upper + m_segmentLength;
    if (head > limit) {
        // The segment has left the bar: it enters again from the other end.
        head = std::min<long long>(head - limit + lower, limit);
        if (GetStyle() & TPBS_REVERSED) {
            ModifyStyle(TPBS_REVERSED, 0);
        } else {
            ModifyStyle(0, TPBS_REVERSED);
        }
    } else if (head >= upper) {
        // The platform position no longer changes, so the platform would not repaint.
        Invalidate(TRUE);
    }
    m_segmentStart = ClampToInt(std::max<long long>(head - m_segmentLength, lower));
    result = DefWindowProc(PBM_SETPOS, static_cast<WPARAM>(ClampToInt(head)), 0);
    return TRUE;
}

LRESULT CTextProgressCtrl::OnSetPos(WPARAM wParam, LPARAM)
{
    LRESULT result = 0;
    return AdvanceSegment(result, static_cast<int>(wParam), FALSE) ? result : Default();
}

LRESULT CTextProgressCtrl::OnDeltaPos(WPARAM wParam, LPARAM)
{
    LRESULT result = 0;
    return AdvanceSegment(result, static_cast<int>(wParam), TRUE) ? result : Default();
}

LRESULT CTextProgressCtrl::OnStepIt(WPARAM, LPARAM)
{
    LRESULT result = 0;
    return AdvanceSegment(result, m_step, TRUE) ? result : Default();
}

LRESULT CTextProgressCtrl::OnSetStep(WPARAM wParam, LPARAM)
{
    m_step = static_cast<int>(wParam);
    return Default();
}

LRESULT CTextProgressCtrl::OnSetBarColour(WPARAM wParam, LPARAM lParam)
{
    const auto first = static_cast<COLORREF>(lParam);
    SetTwoStops(m_colours, first, wParam != 0 ? static_cast<COLORREF>(wParam) : first);
    return CLR_DEFAULT;
}

LRESULT CTextProgressCtrl::OnSetBackgroundColour(WPARAM, LPARAM lParam)
{
    m_backgroundColour = static_cast<COLORREF>(lParam);
    return CLR_DEFAULT;
}
