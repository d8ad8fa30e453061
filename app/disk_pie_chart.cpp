#include "disk_pie_chart.h"

#include <cmath>

// clang-format off
BEGIN_MESSAGE_MAP(CDiskPieChart, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

namespace {

constexpr COLORREF kUsedColour = 0x8FA7F8;
constexpr COLORREF kFreeColour = 0x77FF77;
constexpr std::uint64_t kGigabyte = 1073741824;
constexpr std::uint64_t kMegabyte = 1048576;

COLORREF Darker(COLORREF colour)
{
    return RGB(GetRValue(colour) * 3 / 4, GetGValue(colour) * 3 / 4, GetBValue(colour) * 3 / 4);
}

} // namespace

CDiskPieChart::CDiskPieChart() = default;

void CDiskPieChart::Reset()
{
    m_usedBytes = 0;
    m_capacityBytes = 0;
    m_freeBytes = 0;
}

void CDiskPieChart::SetDrive(const CString& rootPath)
{
    m_rootPath = rootPath;
    Reset();
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (::GetDiskFreeSpaceExW(rootPath, &available, &total, &free)) {
        m_capacityBytes = total.QuadPart;
        m_freeBytes = free.QuadPart;
        m_usedBytes = total.QuadPart >= free.QuadPart ? total.QuadPart - free.QuadPart : 0;
    }
    if (GetSafeHwnd() != NULL)
        Invalidate();
}

CPoint CDiskPieChart::PointOnEllipse(int percent, int a, int b, int cx, int cy)
{
    int t;
    if (percent <= 25)
        t = 4 * percent;
    else if (percent <= 50)
        t = 4 * (50 - percent);
    else if (percent <= 75)
        t = 4 * (percent - 50);
    else
        t = 4 * (100 - percent);
    const int dx = t * a / 100;
    // With a of 0 the ellipse is a vertical line: dy is the whole half-axis b.
    const int dy =
        a == 0
            ? b
            : static_cast<int>(b * std::sqrt(static_cast<double>(a) * a - static_cast<double>(dx) * dx) / a);
    const int x = percent <= 50 ? cx - dx : cx + dx;
    const int y = percent > 25 && percent <= 75 ? cy - dy : cy + dy;
    return CPoint(x, y);
}

CString CDiskPieChart::SizeLine(LPCWSTR label, std::uint64_t bytes)
{
    CString line;
    if (bytes > kGigabyte)
        line.Format(L"%s: %2.2f GB", label, static_cast<double>(bytes) / kGigabyte);
    else if (bytes > kMegabyte)
        line.Format(L"%s: %2.2f MB", label, static_cast<double>(bytes) / kMegabyte);
    else
        line.Format(L"%s: %2.2f KB", label, static_cast<double>(bytes) / 1024);
    return line;
}

int CDiskPieChart::UsedShare(std::uint64_t used, std::uint64_t capacity)
{
    if (capacity == 0)
        return 0;
    const std::uint64_t share = used / capacity * 100 + used % capacity * 100 / capacity;
    return share > 100 ? 100 : static_cast<int>(share);
}

BOOL CDiskPieChart::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CDiskPieChart::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CDC memory;
    memory.CreateCompatibleDC(&paint);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(&paint, client.Width(), client.Height());
    CBitmap* pOld = memory.SelectObject(&canvas);
    Draw(memory, client);
    paint.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(pOld);
}

void CDiskPieChart::Draw(CDC& dc, const CRect& client)
{
    dc.FillSolidRect(&client, RGB(255, 255, 255));
    m_usedShare = UsedShare(m_usedBytes, m_capacityBytes);
    const int range = m_maximum - m_minimum;
    const int share = range == 0 ? 0 : (m_usedShare - m_minimum) * 100 / range;

    const int a = client.Width() / 4;
    const int b = a / 2;
    const int depth = b / 3 + 1;
    const int cx = a + 10;
    const int cy = b + 10;
    const CRect top(cx - a, cy - b, cx + a, cy + b);

    // The depth edge: the lower half of the ellipse drawn again, lower, in the darker colours.
    CPen edgePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
    CPen* pOldPen = dc.SelectObject(&edgePen);
    for (int step = depth; step > 0; --step) {
        CBrush freeEdge(Darker(kFreeColour));
        CBrush* pOldBrush = dc.SelectObject(&freeEdge);
        dc.Ellipse(top.left, top.top + step, top.right, top.bottom + step);
        dc.SelectObject(pOldBrush);
    }
    CBrush freeBrush(kFreeColour);
    CBrush* pOldBrush = dc.SelectObject(&freeBrush);
    dc.Ellipse(&top);
    if (share > 0 && share < 100) {
        CBrush usedBrush(kUsedColour);
        dc.SelectObject(&usedBrush);
        const CPoint start = PointOnEllipse(0, a, b, cx, cy);
        const CPoint end = PointOnEllipse(share, a, b, cx, cy);
        dc.Pie(&top, end, start);
        dc.SelectObject(&freeBrush);
    } else if (share >= 100) {
        CBrush usedBrush(kUsedColour);
        dc.SelectObject(&usedBrush);
        dc.Ellipse(&top);
        dc.SelectObject(&freeBrush);
    }
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOldPen);

    CFont font;
    font.CreateFontW(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    CFont* pOldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    const int textX = cx + a + 20;
    int y = 10;
    dc.TextOut(textX, y, SizeLine(L"Capacity", m_capacityBytes));
    y += 20;
    dc.FillSolidRect(textX, y + 3, 10, 10, kUsedColour);
    dc.TextOut(textX + 15, y, SizeLine(L"Used", m_usedBytes));
    y += 20;
    dc.FillSolidRect(textX, y + 3, 10, 10, kFreeColour);
    dc.TextOut(textX + 15, y, SizeLine(L"Free", m_freeBytes));
    dc.SelectObject(pOldFont);
}
