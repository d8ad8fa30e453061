#include "splitter_bar.h"

#include <algorithm>

namespace {

// Pixels between the panes; the bar can be grabbed this far on either side of its centre.
constexpr int kBarWidth = 6;

// A vertical bar always starts with its left pane this wide: the list-and-preview splitter wider than
// the others.
constexpr UINT kWideSplitterId = 164;
constexpr int kWideLeftWidth = 850;
constexpr int kLeftWidth = 200;

constexpr wchar_t kHorizontalSection[] = L"splt\\init_h%u";
constexpr wchar_t kVerticalSection[] = L"splt\\init_v%u";
constexpr wchar_t kHorizontalEntry[] = L"HorizSplitPos";
constexpr wchar_t kVerticalEntry[] = L"VertSplitPos";

// The measured pane gets what it wants as far as the other pane keeps its minimum, at least its own
// minimum, and never more than the room there is or less than nothing.
int ClampPaneSize(int wanted, int ownMinimum, int otherMinimum, int available)
{
    int size = std::min(wanted, available - otherMinimum);
    size = std::max(size, ownMinimum);
    return std::clamp(size, 0, std::max(available, 0));
}

CString SectionName(const wchar_t* format, UINT id)
{
    CString section;
    section.Format(format, id);
    return section;
}

void MovePane(CWnd* pPane, const CRect& rect)
{
    if (pPane != NULL && pPane->GetSafeHwnd() != NULL) {
        pPane->MoveWindow(&rect, TRUE);
    }
}

} // namespace

IMPLEMENT_DYNAMIC(CSplitterBar, CStatic)

// clang-format off
BEGIN_MESSAGE_MAP(CSplitterBar, CStatic)
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()
// clang-format on

BOOL CSplitterBar::Create(DWORD dwStyle, CWnd* pParentWnd, CWnd* pFirstPane, CWnd* pSecondPane, UINT nID,
                          const RECT& rect, int nFirstMinimum, int nSecondMinimum)
{
    // The layout flags sit where a static keeps its type (both together would make an icon static), so
    // they stay out of the window's style. Without SS_NOTIFY a static lets the mouse through to its parent.
    const DWORD windowStyle = (dwStyle & ~(kVerticalBar | kHorizontalBar)) | SS_NOTIFY;
    if (!CStatic::Create(L"", windowStyle, rect, pParentWnd, nID)) {
        return FALSE;
    }
    // An object may be created again after its window went: nothing of the last layout carries over.
    m_pLeftPane = m_pRightPane = m_pTopPane = m_pBottomPane = NULL;
    m_bVerticalActive = m_bHorizontalActive = FALSE;
    m_leftRect.SetRectEmpty();
    m_rightRect.SetRectEmpty();
    m_topRect.SetRectEmpty();
    m_bottomRect.SetRectEmpty();
    m_verticalHitRect.SetRectEmpty();
    m_horizontalHitRect.SetRectEmpty();
    m_dragBar = Bar::None;
    m_bTrackerShown = FALSE;
    m_bFirstPaneHidden = FALSE;
    m_leftWidth = 0;
    m_bottomHeight = 0;
    m_barWidth = kBarWidth;
    m_nID = nID;
    m_firstMinimum = std::max(nFirstMinimum, 0);
    m_secondMinimum = std::max(nSecondMinimum, 0);
    for (CWnd* pPane : {pFirstPane, pSecondPane}) {
        if (pPane != NULL && pPane->GetSafeHwnd() != NULL) {
            pPane->SetParent(this);
            pPane->SetOwner(pParentWnd);
        }
    }
    if (dwStyle & kVerticalBar) {
        m_pLeftPane = pFirstPane;
        m_pRightPane = pSecondPane;
        m_bVerticalActive = TRUE;
        // The stored width is written for the next run but a vertical bar always starts the same.
        m_leftWidth = nID == kWideSplitterId ? kWideLeftWidth : kLeftWidth;
    } else if (dwStyle & kHorizontalBar) {
        m_pTopPane = pFirstPane;
        m_pBottomPane = pSecondPane;
        m_bHorizontalActive = TRUE;
        CWinApp* pApp = AfxGetApp();
        const int fallback = 2 * m_secondMinimum;
        m_bottomHeight = pApp != NULL ? static_cast<int>(pApp->GetProfileInt(
                                            SectionName(kHorizontalSection, nID), kHorizontalEntry, fallback))
                                      : fallback;
    }
    Layout();
    return TRUE;
}

int CSplitterBar::VerticalBarAt(int leftWidth) const
{
    CRect client;
    GetClientRect(&client);
    const int left = ClampPaneSize(leftWidth, m_firstMinimum, m_secondMinimum, client.Width() - m_barWidth);
    return m_barWidth / 2 + left;
}

int CSplitterBar::HorizontalBarAt(int bottomHeight) const
{
    CRect client;
    GetClientRect(&client);
    const int bottom =
        ClampPaneSize(bottomHeight, m_secondMinimum, m_firstMinimum, client.Height() - m_barWidth);
    return client.Height() - m_barWidth / 2 - bottom;
}

void CSplitterBar::Layout()
{
    if (m_bFirstPaneHidden) {
        CRect client;
        GetClientRect(&client);
        MovePane(SecondPane(), client);
    } else if (m_bVerticalActive) {
        LayoutVertical(VerticalBarAt(m_leftWidth));
    } else if (m_bHorizontalActive) {
        LayoutHorizontal(HorizontalBarAt(m_bottomHeight));
    }
}

void CSplitterBar::LayoutVertical(int x)
{
    CRect client;
    GetClientRect(&client);
    const int w = m_barWidth;
    m_verticalHitRect.SetRect(x - w, client.top, x + w, client.bottom);
    m_leftRect.SetRect(client.left, client.top, x - w / 2, client.bottom);
    m_rightRect.SetRect(m_leftRect.right + w, client.top, client.right, client.bottom);
    MovePane(m_pLeftPane, m_leftRect);
    MovePane(m_pRightPane, m_rightRect);
}

void CSplitterBar::LayoutHorizontal(int y)
{
    CRect client;
    GetClientRect(&client);
    const int w = m_barWidth;
    m_horizontalHitRect.SetRect(client.left, y - w, client.right, y + w);
    m_bottomRect.SetRect(client.left, y + w / 2, client.right, client.bottom);
    m_topRect.SetRect(client.left, client.top, client.right, m_bottomRect.top - w);
    MovePane(m_pTopPane, m_topRect);
    MovePane(m_pBottomPane, m_bottomRect);
}

void CSplitterBar::ShowBothPanes()
{
    if (!m_bFirstPaneHidden) {
        return;
    }
    m_bFirstPaneHidden = FALSE;
    Layout();
    if (CWnd* pFirst = FirstPane(); pFirst != NULL && pFirst->GetSafeHwnd() != NULL) {
        pFirst->ShowWindow(SW_SHOW);
    }
}

void CSplitterBar::HideFirstPane()
{
    if (m_bFirstPaneHidden || !(m_bVerticalActive || m_bHorizontalActive)) {
        return;
    }
    m_bFirstPaneHidden = TRUE;
    if (CWnd* pFirst = FirstPane(); pFirst != NULL && pFirst->GetSafeHwnd() != NULL) {
        pFirst->ShowWindow(SW_HIDE);
    }
    Layout();
}

void CSplitterBar::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    Layout();
}

void CSplitterBar::OnDestroy()
{
    if (CWinApp* pApp = AfxGetApp()) {
        if (m_bHorizontalActive && !m_bottomRect.IsRectEmpty()) {
            pApp->WriteProfileInt(SectionName(kHorizontalSection, m_nID), kHorizontalEntry, m_bottomHeight);
        }
        if (m_bVerticalActive && !m_leftRect.IsRectEmpty()) {
            pApp->WriteProfileInt(SectionName(kVerticalSection, m_nID), kVerticalEntry, m_leftWidth);
        }
    }
    CStatic::OnDestroy();
}

CSplitterBar::Bar CSplitterBar::HitTest(CPoint point) const
{
    if (m_bFirstPaneHidden) {
        return Bar::None;
    }
    if (m_bVerticalActive && m_verticalHitRect.PtInRect(point)) {
        return Bar::Vertical;
    }
    if (m_bHorizontalActive && m_horizontalHitRect.PtInRect(point)) {
        return Bar::Horizontal;
    }
    return Bar::None;
}

BOOL CSplitterBar::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    const Bar bar = m_dragBar != Bar::None ? m_dragBar : HitTest(point);
    if (bar != Bar::None) {
        ::SetCursor(::LoadCursorW(NULL, bar == Bar::Vertical ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    }
    return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

// The tracker is drawn over the panes too, so it goes through a DC that does not clip the children;
// drawn twice at one place it leaves nothing behind.
void CSplitterBar::DrawTracker(Bar bar, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    const int w = m_barWidth;
    CRect tracker;
    if (bar == Bar::Vertical) {
        const int x = VerticalBarAt(point.x - w / 2);
        tracker.SetRect(x - w / 2, client.top, x - w / 2 + w, client.bottom);
    } else {
        const int y = HorizontalBarAt(client.Height() - w / 2 - point.y);
        tracker.SetRect(client.left, y - w / 2, client.right, y - w / 2 + w);
    }
    HDC hDC = ::GetDCEx(m_hWnd, NULL, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (hDC == NULL) {
        return;
    }
    HGDIOBJ oldBrush = ::SelectObject(hDC, ::GetSysColorBrush(COLOR_BTNFACE));
    ::PatBlt(hDC, tracker.left, tracker.top, tracker.Width(), tracker.Height(), PATINVERT);
    ::SelectObject(hDC, oldBrush);
    ::ReleaseDC(m_hWnd, hDC);
}

void CSplitterBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    const Bar bar = HitTest(point);
    if (bar == Bar::None || m_dragBar != Bar::None) {
        CStatic::OnLButtonDown(nFlags, point);
        return;
    }
    m_dragBar = bar;
    m_dragStart = point;
    m_dragCurrent = point;
    SetCapture();
    m_hWndPreviousFocus = ::SetFocus(m_hWnd);
    ::SetCursor(::LoadCursorW(NULL, bar == Bar::Vertical ? IDC_SIZEWE : IDC_SIZENS));
    if (!m_bLiveDrag) {
        DrawTracker(bar, point);
        m_bTrackerShown = TRUE;
    }
}

void CSplitterBar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_dragBar == Bar::None) {
        CStatic::OnMouseMove(nFlags, point);
        return;
    }
    if (m_bLiveDrag) {
        if (m_dragBar == Bar::Vertical) {
            LayoutVertical(VerticalBarAt(point.x - m_barWidth / 2));
        } else {
            CRect client;
            GetClientRect(&client);
            LayoutHorizontal(HorizontalBarAt(client.Height() - m_barWidth / 2 - point.y));
        }
    } else {
        if (m_bTrackerShown) {
            DrawTracker(m_dragBar, m_dragCurrent);
        }
        DrawTracker(m_dragBar, point);
        m_bTrackerShown = TRUE;
    }
    m_dragCurrent = point;
}

void CSplitterBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_dragBar == Bar::None) {
        CStatic::OnLButtonUp(nFlags, point);
        return;
    }
    EndDrag(point, TRUE);
}

void CSplitterBar::OnCaptureChanged(CWnd* pWnd)
{
    // Losing the mouse in the middle of a drag leaves the panes as they were.
    if (m_dragBar != Bar::None && pWnd != this) {
        EndDrag(m_dragCurrent, FALSE);
    }
    CStatic::OnCaptureChanged(pWnd);
}

void CSplitterBar::EndDrag(CPoint point, BOOL bApply)
{
    const Bar bar = m_dragBar;
    m_dragBar = Bar::None;
    if (m_bTrackerShown) {
        DrawTracker(bar, m_dragCurrent);
        m_bTrackerShown = FALSE;
    }
    if (bApply) {
        CRect client;
        GetClientRect(&client);
        if (bar == Bar::Vertical) {
            const int x = VerticalBarAt(point.x - m_barWidth / 2);
            m_leftWidth = x - m_barWidth / 2;
            LayoutVertical(x);
        } else {
            const int y = HorizontalBarAt(client.Height() - m_barWidth / 2 - point.y);
            m_bottomHeight = client.Height() - m_barWidth / 2 - y;
            LayoutHorizontal(y);
        }
    } else {
        Layout();
    }
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
    }
    if (m_hWndPreviousFocus != NULL && ::IsWindow(m_hWndPreviousFocus)) {
        ::SetFocus(m_hWndPreviousFocus);
    }
    m_hWndPreviousFocus = NULL;
}
