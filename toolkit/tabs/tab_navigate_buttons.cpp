#include "tab_appearance_set.h"
#include "tab_color_set.h"
#include "tab_manager.h"
#include "tab_paint_manager.h"

namespace {

// The pressed button's loop looks at the mouse this often.
const DWORD kRepeatMilliseconds = 20;
// What the right arrow keeps free at the end of the header before it counts the tabs as fitting.
const int kArrowsExtent = 28;

int HeaderLength(const CRect& rcHeader, BOOL bHorizontal)
{
    return bHorizontal ? rcHeader.Width() : rcHeader.Height();
}

} // namespace

CXTPTabManagerNavigateButton::CXTPTabManagerNavigateButton(CXTPTabManager* pManager, int nID, int nShowMode)
    : m_nID(nID), m_nShowMode(nShowMode), m_nWidth(14), m_nHeight(15), m_pManager(pManager),
      m_rcButton(0, 0, 0, 0), m_bEnabled(TRUE), m_bPressed(FALSE), m_bHot(FALSE)
{}

void CXTPTabManagerNavigateButton::AdjustExtent(int* pnLength)
{
    if (m_nShowMode == xtpTabNavigateButtonAlways ||
        (m_nShowMode == xtpTabNavigateButtonAutomatic && m_pManager->IsNavigateButtonVisible(this)))
        *pnLength -= m_pManager->IsHorizontalPosition() ? m_nWidth : m_nHeight;
}

void CXTPTabManagerNavigateButtonArrow::AdjustExtent(int* pnLength)
{
    if (m_nShowMode == xtpTabNavigateButtonAlways)
        *pnLength -= m_pManager->IsHorizontalPosition() ? m_nWidth : m_nHeight;
}

void CXTPTabManagerNavigateButton::RepositionBase(CRect& rcHeader, BOOL bShow)
{
    if (!bShow) {
        m_rcButton.SetRectEmpty();
        return;
    }
    if (m_pManager->IsHorizontalPosition()) {
        const int nTop = rcHeader.top + (rcHeader.Height() - m_nHeight) / 2;
        m_rcButton.SetRect(rcHeader.right - m_nWidth, nTop, rcHeader.right, nTop + m_nHeight);
        rcHeader.right -= m_nWidth;
    } else {
        const int nLeft = rcHeader.left + (rcHeader.Width() - m_nWidth) / 2;
        m_rcButton.SetRect(nLeft, rcHeader.bottom - m_nHeight, nLeft + m_nWidth, rcHeader.bottom);
        rcHeader.bottom -= m_nHeight;
    }
}

void CXTPTabManagerNavigateButton::Reposition(CRect& rcHeader)
{
    RepositionBase(rcHeader, m_nShowMode == xtpTabNavigateButtonAlways ||
                                 (m_nShowMode == xtpTabNavigateButtonAutomatic &&
                                  m_pManager->IsNavigateButtonVisible(this)));
}

void CXTPTabManagerNavigateButtonArrow::Reposition(CRect& rcHeader)
{
    CXTPTabPaintManager* pPaintManager = m_pManager->GetPaintManager();
    const XTPTabLayoutStyle layout = pPaintManager->GetLayout();
    if (layout == xtpTabLayoutMultiRow) {
        m_rcButton.SetRectEmpty();
        return;
    }
    if (m_nShowMode != xtpTabNavigateButtonAutomatic) {
        CXTPTabManagerNavigateButton::Reposition(rcHeader);
        return;
    }
    if (layout == xtpTabLayoutCompressed) {
        m_rcButton.SetRectEmpty();
        return;
    }
    const int nLength = HeaderLength(rcHeader, m_pManager->IsHorizontalPosition());
    const CRect rcMargin = pPaintManager->GetAppearanceSet()->GetHeaderMargin();
    if (m_pManager->GetScrollOffset() == 0 && m_pManager->GetItemsLength() - rcMargin.left - 1 <= nLength) {
        m_rcButton.SetRectEmpty();
        return;
    }
    RepositionBase(rcHeader, TRUE);
}

CXTPTabManagerNavigateButtonLeft::CXTPTabManagerNavigateButtonLeft(CXTPTabManager* pManager)
    : CXTPTabManagerNavigateButtonArrow(pManager, xtpTabNavigateButtonLeft, xtpTabNavigateButtonAutomatic)
{}

void CXTPTabManagerNavigateButtonLeft::Reposition(CRect& rcHeader)
{
    m_bEnabled = m_pManager->GetScrollOffset() < 0;
    CXTPTabManagerNavigateButtonArrow::Reposition(rcHeader);
}

void CXTPTabManagerNavigateButtonLeft::DrawGlyph(CDC* pDC, CRect rc)
{
    const CPoint center = rc.CenterPoint();
    const int cx = center.x;
    const int cy = center.y;
    const POINT pts[] = {{cx + 2, cy - 5}, {cx - 2, cy - 1}, {cx + 2, cy + 3}};
    const POINT ptsVertical[] = {{cx - 5, cy + 2}, {cx - 1, cy - 2}, {cx + 3, cy + 2}};
    pDC->Polygon(m_pManager->IsHorizontalPosition() ? pts : ptsVertical, 3);
}

void CXTPTabManagerNavigateButtonLeft::OnExecute(BOOL bTick)
{
    if (bTick)
        m_pManager->OnScroll(0);
}

CXTPTabManagerNavigateButtonRight::CXTPTabManagerNavigateButtonRight(CXTPTabManager* pManager)
    : CXTPTabManagerNavigateButtonArrow(pManager, xtpTabNavigateButtonRight, xtpTabNavigateButtonAutomatic)
{}

void CXTPTabManagerNavigateButtonRight::Reposition(CRect& rcHeader)
{
    const int nLength = HeaderLength(rcHeader, m_pManager->IsHorizontalPosition());
    m_bEnabled = m_pManager->GetItemsLength() + m_pManager->GetScrollOffset() > nLength - kArrowsExtent;
    CXTPTabManagerNavigateButtonArrow::Reposition(rcHeader);
}

void CXTPTabManagerNavigateButtonRight::DrawGlyph(CDC* pDC, CRect rc)
{
    const CPoint center = rc.CenterPoint();
    const int cx = center.x;
    const int cy = center.y;
    const POINT pts[] = {{cx - 2, cy - 5}, {cx + 2, cy - 1}, {cx - 2, cy + 3}};
    const POINT ptsVertical[] = {{cx - 5, cy - 2}, {cx - 1, cy + 2}, {cx + 3, cy - 2}};
    pDC->Polygon(m_pManager->IsHorizontalPosition() ? pts : ptsVertical, 3);
}

void CXTPTabManagerNavigateButtonRight::OnExecute(BOOL bTick)
{
    if (bTick)
        m_pManager->OnScroll(1);
}

CXTPTabManagerNavigateButtonClose::CXTPTabManagerNavigateButtonClose(CXTPTabManager* pManager)
    : CXTPTabManagerNavigateButton(pManager, xtpTabNavigateButtonClose, xtpTabNavigateButtonNever)
{}

void CXTPTabManagerNavigateButtonClose::DrawGlyph(CDC* pDC, CRect rc)
{
    pDC->MoveTo(rc.left + 3, rc.top + 3);
    pDC->LineTo(rc.right - 4, rc.bottom - 5);
    pDC->MoveTo(rc.left + 4, rc.top + 3);
    pDC->LineTo(rc.right - 3, rc.bottom - 5);
    pDC->MoveTo(rc.left + 3, rc.bottom - 6);
    pDC->LineTo(rc.right - 4, rc.top + 2);
    pDC->MoveTo(rc.left + 4, rc.bottom - 6);
    pDC->LineTo(rc.right - 3, rc.top + 2);
}

void CXTPTabManagerNavigateButtonClose::OnExecute(BOOL bTick)
{
    if (!bTick)
        m_pManager->OnNavigateButtonClick(xtpTabNavigateButtonClose);
}

void CXTPTabManagerNavigateButton::Draw(CDC* pDC)
{
    if (m_rcButton.IsRectEmpty())
        return;
    CRect rc = m_rcButton;
    const COLORREF clrGlyph = m_pManager->GetPaintManager()->GetColorSet()->DrawNavigateButton(pDC, this, rc);
    CPen pen(PS_SOLID, 1, clrGlyph);
    CBrush brush(clrGlyph);
    CPen* pOldPen = pDC->SelectObject(&pen);
    HGDIOBJ hOldBrush = m_bEnabled ? pDC->SelectObject(brush.GetSafeHandle())
                                   : pDC->SelectObject(::GetStockObject(NULL_BRUSH));
    DrawGlyph(pDC, rc);
    pDC->SelectObject(hOldBrush);
    pDC->SelectObject(pOldPen);
}

void CXTPTabManagerNavigateButton::CheckHot(HWND hWnd, CPoint point)
{
    if (m_bHot && !m_rcButton.PtInRect(point)) {
        m_bHot = FALSE;
        m_pManager->RedrawControl();
    } else if (!m_bHot && m_bEnabled && m_rcButton.PtInRect(point)) {
        m_bHot = TRUE;
        m_pManager->RedrawControl();
        TRACKMOUSEEVENT tme = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hWnd, 0};
        ::TrackMouseEvent(&tme);
    }
}

void CXTPTabManagerNavigateButton::PerformClick(HWND hWnd, CPoint point)
{
    const HWND hCapture = ::GetCapture();
    if ((hCapture != NULL && hCapture != hWnd) || !m_bEnabled)
        return;
    ::SetCapture(hWnd);
    BOOL bClick = FALSE;
    BOOL bQuit = FALSE;
    int nQuitCode = 0;
    DWORD dwLastTick = ::GetTickCount() - kRepeatMilliseconds - 1;
    BOOL bDone = FALSE;
    while (!bDone) {
        // Queued input first, so that a release already waiting is seen before the next repeat.
        MSG msg;
        while (!bDone && ::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                bQuit = TRUE;
                nQuitCode = static_cast<int>(msg.wParam);
                bDone = TRUE;
                break;
            }
            if (::GetCapture() != hWnd) {
                ::DispatchMessageW(&msg);
                bDone = TRUE;
                break;
            }
            switch (msg.message) {
            case WM_MOUSEMOVE:
                point =
                    CPoint(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
                break;
            case WM_LBUTTONUP:
                point =
                    CPoint(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
                bClick = m_rcButton.PtInRect(point);
                bDone = TRUE;
                break;
            case WM_CANCELMODE:
            case WM_RBUTTONDOWN:
                bDone = TRUE;
                break;
            case WM_KEYDOWN:
                if (msg.wParam == VK_ESCAPE) {
                    bDone = TRUE;
                    break;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
                break;
            default:
                ::DispatchMessageW(&msg);
                break;
            }
        }
        if (bDone)
            break;
        const BOOL bPressed = m_rcButton.PtInRect(point);
        if (bPressed != m_bPressed) {
            m_bPressed = bPressed;
            m_pManager->RedrawControl();
        }
        if (m_bEnabled && m_bPressed && ::GetTickCount() - dwLastTick > kRepeatMilliseconds) {
            dwLastTick = ::GetTickCount();
            OnExecute(TRUE);
        }
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, kRepeatMilliseconds / 2, QS_ALLINPUT);
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    m_bPressed = FALSE;
    CheckHot(hWnd, point);
    m_pManager->RedrawControl();
    if (bClick)
        OnExecute(FALSE);
    if (bQuit)
        ::PostQuitMessage(nQuitCode);
}
