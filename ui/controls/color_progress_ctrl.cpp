#include "color_progress_ctrl.h"

#include <algorithm>
#include <climits>

namespace {

// The share of the range that the position has reached; 0 for an empty or inverted range, so that
// nothing divides by zero.
double RangeFraction(int position, int lower, int upper)
{
    if (upper <= lower) {
        return 0.0;
    }
    return (static_cast<double>(position) - lower) / (static_cast<double>(upper) - lower);
}

// Truncates towards zero like the integer conversion, without leaving the range of int.
int TruncateToInt(double value)
{
    return static_cast<int>(std::clamp(value, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

} // namespace

IMPLEMENT_DYNAMIC(CColorProgressCtrl, CProgressCtrl)

// clang-format off
BEGIN_MESSAGE_MAP(CColorProgressCtrl, CProgressCtrl)
    ON_MESSAGE(PBM_SETRANGE, OnSetRange)
    ON_MESSAGE(PBM_SETRANGE32, OnSetRange32)
    ON_MESSAGE(PBM_GETRANGE, OnGetRange)
    ON_MESSAGE(PBM_SETPOS, OnSetPosMessage)
    ON_MESSAGE(PBM_DELTAPOS, OnDeltaPos)
    ON_MESSAGE(PBM_SETSTEP, OnSetStep)
    ON_MESSAGE(PBM_STEPIT, OnStepIt)
    ON_MESSAGE(PBM_GETPOS, OnGetPos)
    ON_MESSAGE(PBM_SETBARCOLOR, OnSetBarColour)
    ON_MESSAGE(CCM_SETBKCOLOR, OnSetBackgroundColour)
    ON_MESSAGE(CColorProgressCtrl::kSetTextColourMessage, OnSetTextColourMessage)
    ON_MESSAGE(CColorProgressCtrl::kShowTextMessage, OnShowText)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClientMessage)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

int CColorProgressCtrl::SetPos(int nPos)
{
    if (GetSafeHwnd() == NULL) {
        return -1;
    }
    return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos)));
}

LRESULT CColorProgressCtrl::OnSetRange(WPARAM, LPARAM lParam)
{
    const LRESULT previous = MAKELRESULT(m_lower, m_upper);
    m_lower = LOWORD(lParam);
    m_upper = HIWORD(lParam);
    return previous;
}

LRESULT CColorProgressCtrl::OnSetRange32(WPARAM wParam, LPARAM lParam)
{
    const LRESULT previous = MAKELRESULT(m_lower, m_upper);
    m_lower = static_cast<int>(wParam);
    m_upper = static_cast<int>(lParam);
    return previous;
}

LRESULT CColorProgressCtrl::OnGetRange(WPARAM wParam, LPARAM lParam)
{
    if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
        range->iLow = m_lower;
        range->iHigh = m_upper;
    }
    return wParam != 0 ? m_lower : m_upper;
}

int CColorProgressCtrl::FilledWidth(int length) const
{
    return TruncateToInt(RangeFraction(m_position, m_lower, m_upper) * length);
}

void CColorProgressCtrl::RedrawNow()
{
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

int CColorProgressCtrl::MovePosition(int position)
{
    const int previous = m_position;
    m_position = position;
    CRect client;
    GetClientRect(&client);
    const int filled = FilledWidth(client.Width());
    if (filled != m_filledWidth) {
        m_filledWidth = filled;
        RedrawNow();
    }
    return previous;
}

LRESULT CColorProgressCtrl::OnSetPosMessage(WPARAM wParam, LPARAM)
{
    return MovePosition(static_cast<int>(wParam));
}

LRESULT CColorProgressCtrl::OnDeltaPos(WPARAM wParam, LPARAM)
{
    return MovePosition(m_position + static_cast<int>(wParam));
}

LRESULT CColorProgressCtrl::OnSetStep(WPARAM wParam, LPARAM)
{
    const int previous = m_step;
    m_step = static_cast<int>(wParam);
    return previous;
}

LRESULT CColorProgressCtrl::OnStepIt(WPARAM, LPARAM)
{
    return MovePosition(m_position + m_step);
}

LRESULT CColorProgressCtrl::OnGetPos(WPARAM, LPARAM)
{
    return m_position;
}

LRESULT CColorProgressCtrl::ReplaceColour(COLORREF& field, LPARAM lParam)
{
    const COLORREF previous = field;
    field = static_cast<COLORREF>(lParam);
    RedrawNow();
    return previous;
}

LRESULT CColorProgressCtrl::OnSetBarColour(WPARAM, LPARAM lParam)
{
    return ReplaceColour(m_barColour, lParam);
}

LRESULT CColorProgressCtrl::OnSetBackgroundColour(WPARAM, LPARAM lParam)
{
    return ReplaceColour(m_backgroundColour, lParam);
}

LRESULT CColorProgressCtrl::OnSetTextColourMessage(WPARAM, LPARAM lParam)
{
    return ReplaceColour(m_textColour, lParam);
}

LRESULT CColorProgressCtrl::OnShowText(WPARAM wParam, LPARAM)
{
    const BOOL show = wParam != 0;
    if (show != m_showText) {
        m_showText = show;
        RedrawNow();
    }
    return 0;
}

LRESULT CColorProgressCtrl::OnSetText(WPARAM, LPARAM lParam)
{
    const LRESULT result = Default();
    const CString text(lParam != 0 ? reinterpret_cast<LPCWSTR>(lParam) : L"");
    if (text != m_text) {
        m_text = text;
        RedrawNow();
    }
    return result;
}

// At most count - 1 characters and the terminator, so that a caller's buffer of count characters
// always ends in a terminated text.
LRESULT CColorProgressCtrl::OnGetText(WPARAM wParam, LPARAM lParam)
{
    auto* buffer = reinterpret_cast<LPWSTR>(lParam);
    const size_t capacity = static_cast<size_t>(wParam);
    if (buffer == NULL || capacity == 0) {
        return 0;
    }
    const size_t copied = std::min(capacity - 1, static_cast<size_t>(m_text.GetLength()));
    std::copy_n(static_cast<LPCWSTR>(m_text), copied, buffer);
    buffer[copied] = L'\0';
    return static_cast<LRESULT>(copied);
}

void CColorProgressCtrl::OnSize(UINT nType, int cx, int cy)
{
    CProgressCtrl::OnSize(nType, cx, cy);
    m_filledWidth = -1;
}

BOOL CColorProgressCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CColorProgressCtrl::OnPaint()
{
    CPaintDC dc(this);
    DrawBar(&dc);
}

LRESULT CColorProgressCtrl::OnPrintClientMessage(WPARAM wParam, LPARAM)
{
    DrawBar(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    return 0;
}

void CColorProgressCtrl::DrawBar(CDC* pTarget)
{
    // An empty or inverted range has nothing to show; the paint has validated the area already.
    if (m_lower >= m_upper || pTarget == NULL || pTarget->GetSafeHdc() == NULL) {
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty()) {
        return;
    }
    CDC memory;
    CBitmap bitmap;
    if (!memory.CreateCompatibleDC(pTarget) ||
        !bitmap.CreateCompatibleBitmap(pTarget, client.Width(), client.Height())) {
        return;
    }
    CBitmap* pOldBitmap = memory.SelectObject(&bitmap);

    const double fraction = RangeFraction(m_position, m_lower, m_upper);
    const BOOL vertical = (GetStyle() & PBS_VERTICAL) != 0;
    const COLORREF background =
        m_backgroundColour == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOW) : m_backgroundColour;
    CRect filled = client;
    CRect empty = client;
    if (vertical) {
        const int height = std::clamp(TruncateToInt(fraction * client.Height()), 0, client.Height());
        filled.top = client.bottom - height;
        empty.bottom = filled.top;
    } else {
        const int width = std::clamp(TruncateToInt(fraction * client.Width()), 0, client.Width());
        filled.right = client.left + width;
        empty.left = filled.right;
    }
    memory.FillSolidRect(&filled, kFillColour);
    memory.FillSolidRect(&empty, background);
    if (!vertical && m_showText) {
        DrawLabel(&memory, client, filled, empty);
    }

    pTarget->BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(pOldBitmap);
}

void CColorProgressCtrl::DrawLabel(CDC* pDC, const CRect& client, const CRect& filled, const CRect& empty)
{
    CString text = m_text;
    if (text.IsEmpty()) {
        const double fraction = RangeFraction(m_position, m_lower, m_upper);
        text.Format(L"%d%%", TruncateToInt(fraction * 100.0));
    }
    CWnd* pParent = GetParent();
    CFont* pFont = pParent != NULL ? pParent->GetFont() : NULL;
    CFont* pOldFont = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
    pDC->SetBkMode(TRANSPARENT);
    const COLORREF background =
        m_backgroundColour == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOW) : m_backgroundColour;
    const COLORREF onFilled = m_textColour == CLR_DEFAULT ? background : m_textColour;
    const COLORREF onEmpty = m_textColour == CLR_DEFAULT ? kFillColour : m_textColour;
    const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    struct Part
    {
        const CRect& clip;
        COLORREF colour;
    };
    for (const Part& part : {Part{filled, onFilled}, Part{empty, onEmpty}}) {
        if (part.clip.IsRectEmpty()) {
            continue;
        }
        const int saved = pDC->SaveDC();
        pDC->IntersectClipRect(&part.clip);
        pDC->SetTextColor(part.colour);
        CRect box = client;
        pDC->DrawText(text, &box, format);
        pDC->RestoreDC(saved);
    }
    if (pOldFont != NULL) {
        pDC->SelectObject(pOldFont);
    }
}
