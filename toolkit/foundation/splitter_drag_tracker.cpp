#include "splitter_drag_tracker.h"

#include <algorithm>

HBRUSH AFXAPI XTCreateHalftoneBrush()
{
    WORD pattern[8];
    for (int i = 0; i < 8; ++i)
        pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
    HBITMAP hBitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH hBrush = ::CreatePatternBrush(hBitmap);
    ::DeleteObject(hBitmap);
    return hBrush;
}

CXTSplitterDragTracker::CXTSplitterDragTracker()
    : m_pSplitterDC(NULL), m_bInvert(FALSE), m_rectSecond(0, 0, 0, 0)
{}

CXTSplitterDragTracker::~CXTSplitterDragTracker() = default;

void CXTSplitterDragTracker::DrawRect(const CRect& rect)
{
    // Both forms are XOR: drawing the same rectangle twice erases it.
    if (m_bInvert) {
        m_pSplitterDC->InvertRect(&rect);
        return;
    }
    HBRUSH hBrush = XTCreateHalftoneBrush();
    HGDIOBJ hOldBrush = ::SelectObject(m_pSplitterDC->m_hDC, hBrush);
    m_pSplitterDC->PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), PATINVERT);
    ::SelectObject(m_pSplitterDC->m_hDC, hOldBrush);
    ::DeleteObject(hBrush);
}

int CXTSplitterDragTracker::Track(CWnd* pTrackWnd, const CRect& rectBounds, CRect& rectTracker, CPoint point,
                                  BOOL bHoriz)
{
    HWND hWnd = pTrackWnd->GetSafeHwnd();
    ::SetCapture(hWnd);
    const BOOL bLocked = ::LockWindowUpdate(::GetDesktopWindow());
    HDC hDC =
        ::GetDCEx(::GetDesktopWindow(), NULL, DCX_WINDOW | DCX_CACHE | (bLocked ? DCX_LOCKWINDOWUPDATE : 0));
    CDC dc;
    dc.Attach(hDC);
    m_pSplitterDC = &dc;

    const CPoint offset =
        bHoriz ? CPoint(rectTracker.left - point.x, 0) : CPoint(0, rectTracker.top - point.y);
    DrawRect(rectTracker);
    if (!m_rectSecond.IsRectEmpty())
        DrawRect(m_rectSecond);

    int nResult = 0;
    MSG msg = {};
    while (::GetCapture() == hWnd) {
        if (!::GetMessageW(&msg, NULL, 0, 0))
            break;
        if (msg.message == WM_MOUSEMOVE) {
            CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
            ::ClientToScreen(msg.hwnd, &pt);
            pt += offset;
            pt.x = std::clamp(pt.x, rectBounds.left, std::max(rectBounds.left, rectBounds.right));
            pt.y = std::clamp(pt.y, rectBounds.top, std::max(rectBounds.top, rectBounds.bottom));
            const int nMove = bHoriz ? pt.x - rectTracker.left : pt.y - rectTracker.top;
            if (nMove != 0) {
                DrawRect(rectTracker);
                rectTracker.OffsetRect(bHoriz ? nMove : 0, bHoriz ? 0 : nMove);
                DrawRect(rectTracker);
            }
        } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            nResult = 0;
            break;
        } else if (msg.message == WM_LBUTTONUP) {
            nResult = 1;
            break;
        } else {
            ::DispatchMessageW(&msg);
        }
    }
    if (msg.message == WM_QUIT)
        ::PostQuitMessage(static_cast<int>(msg.wParam));

    if (!m_rectSecond.IsRectEmpty())
        DrawRect(m_rectSecond);
    DrawRect(rectTracker);
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (bLocked)
        ::LockWindowUpdate(NULL);
    m_pSplitterDC = NULL;
    dc.Detach();
    ::ReleaseDC(::GetDesktopWindow(), hDC);
    return nResult;
}
