// The dialog bar: layout from the hosted window's size, border resizing, the caption's controls.
#include "dialog_bar.h"

#include "command_bars.h"
#include "draw_helpers.h"
#include "popup_bar.h"
#include "themes/paint_manager.h"

#include <afxpriv.h>

#include <algorithm>

IMPLEMENT_DYNCREATE(CXTPDialogBar, CXTPToolBar)
IMPLEMENT_DYNCREATE(CXTPDialogBarCaption, CXTPControlPopup)
IMPLEMENT_DYNCREATE(CXTPDialogBarCloseButton, CXTPControlButton)
IMPLEMENT_DYNCREATE(CXTPDialogBarPopupBar, CXTPPopupBar)

namespace {

const int kCloseSize = 16;

} // namespace

CXTPDialogBar::CXTPDialogBar()
{
    // Its only content is the hosted window: nothing for the user to customise.
    m_bCustomizable = FALSE;
    m_bShowExpandButton = FALSE;
    EnableAutomation();
    // The caption's menu exists from the start, so that it can be filled before the first layout.
    m_pPopupBar = new CXTPDialogBarPopupBar;
}

CXTPDialogBar::~CXTPDialogBar()
{
    if (m_pPopupBar != NULL)
        m_pPopupBar->InternalRelease();
}

void CXTPDialogBar::SetChild(CWnd* pChildWnd)
{
    m_hwndChild = pChildWnd != NULL ? pChildWnd->GetSafeHwnd() : NULL;
    if (m_hwndChild != NULL && ::IsWindow(m_hWnd) && ::GetParent(m_hwndChild) != m_hWnd)
        ::SetParent(m_hwndChild, m_hWnd);
    PlaceChild();
}

void CXTPDialogBar::SetCaption(LPCTSTR lpszCaption)
{
    m_strCaption = lpszCaption != NULL ? lpszCaption : L"";
}

CRect CXTPDialogBar::GetClientMargins() const
{
    CRect rcMargins(m_rcMargins);
    rcMargins.top += m_bShowCaption ? m_nCaptionHeight : 0;
    return rcMargins;
}

CSize CXTPDialogBar::CalcDynamicLayout(int, DWORD dwMode)
{
    return CalcSize(32000, dwMode, m_szFloatingClient);
}

CSize CXTPDialogBar::CalcDockingLayout(int nLength, DWORD dwMode, int)
{
    return CalcSize(nLength, dwMode, m_szDockingClient);
}

CSize CXTPDialogBar::CalcSize(int nLength, DWORD dwMode, CSize szClient)
{
    CSize size(szClient.cx + m_rcMargins.left + m_rcMargins.right,
               szClient.cy + m_rcMargins.top + m_rcMargins.bottom);
    if (!m_bShowCaption) {
        m_nCaptionHeight = 0;
        if (CXTPControl* pCaption = m_pControls->FindControl(XTP_ID_DIALOGBAR_CAPTION))
            pCaption->SetHideFlag(xtpHideGeneric, TRUE);
        if (CXTPControl* pClose = m_pControls->FindControl(XTP_ID_DIALOGBAR_CLOSE))
            pClose->SetHideFlag(xtpHideGeneric, TRUE);
        return size;
    }
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    {
        CWindowDC dc(NULL);
        CXTFontSelector font(&dc, pPaintManager->GetRegularFont());
        TEXTMETRIC tm{};
        dc.GetTextMetrics(&tm);
        m_nCaptionHeight = std::max(kCloseSize + 2, static_cast<int>(tm.tmHeight) + 4);
    }
    size.cy += m_nCaptionHeight;
    if (dwMode & LM_STRETCH) {
        if (dwMode & LM_VERTDOCK)
            size.cy = std::max<LONG>(size.cy, nLength);
        else
            size.cx = std::max<LONG>(size.cx, nLength);
    }
    if (dwMode & LM_HORZ)
        size.cx = std::min<LONG>(size.cx, nLength);
    else
        size.cy = std::min<LONG>(size.cy, nLength);

    const int nTop = m_rcMargins.top;
    int nRight = size.cx - m_rcMargins.right;
    CXTPControl* pClose = m_pControls->FindControl(XTP_ID_DIALOGBAR_CLOSE);
    if (m_bCloseable) {
        if (pClose == NULL) {
            pClose = new CXTPDialogBarCloseButton;
            pClose->SetFlags(0x1A);
            m_pControls->AddControl(pClose, XTP_ID_DIALOGBAR_CLOSE, NULL, -1, TRUE);
            pClose->SetTooltip(L"Close");
        }
        pClose->SetHideFlag(xtpHideGeneric, FALSE);
        const int nCloseTop = nTop + (m_nCaptionHeight - kCloseSize) / 2;
        pClose->SetRect(CRect(nRight - kCloseSize, nCloseTop, nRight, nCloseTop + kCloseSize));
        nRight -= kCloseSize;
    } else if (pClose != NULL) {
        pClose->SetHideFlag(xtpHideGeneric, TRUE);
    }

    if (m_pPopupBar->GetCommandBars() == NULL)
        m_pPopupBar->SetCommandBars(GetCommandBars());
    auto* pCaption =
        DYNAMIC_DOWNCAST(CXTPDialogBarCaption, m_pControls->FindControl(XTP_ID_DIALOGBAR_CAPTION));
    if (pCaption == NULL) {
        pCaption = new CXTPDialogBarCaption;
        pCaption->SetFlags(0x1E);
        m_pControls->AddControl(pCaption, XTP_ID_DIALOGBAR_CAPTION, NULL, -1, TRUE);
    }
    pCaption->SetHideFlag(xtpHideGeneric, FALSE);
    pCaption->m_bMenu = m_bCaptionMenu && m_pPopupBar->GetControlCount() > 0;
    pCaption->SetCommandBar(pCaption->m_bMenu ? m_pPopupBar : NULL);
    pCaption->SetCaption(m_strCaption.IsEmpty() ? GetTitle() : m_strCaption);
    pCaption->SetRect(CRect(m_rcMargins.left, nTop, nRight, nTop + m_nCaptionHeight));
    return size;
}

void CXTPDialogBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPToolBar::Copy(pCommandBar, bRecursive);
    auto* pOther = DYNAMIC_DOWNCAST(CXTPDialogBar, pCommandBar);
    if (pOther == NULL)
        return;
    m_rcMargins = pOther->m_rcMargins;
    m_bResizable = pOther->m_bResizable;
    m_szMinClient = pOther->m_szMinClient;
    m_bShowCaption = pOther->m_bShowCaption;
    m_bCaptionMenu = pOther->m_bCaptionMenu;
    m_szDockingClient = pOther->m_szDockingClient;
    m_szFloatingClient = pOther->m_szFloatingClient;
    m_strCaption = pOther->m_strCaption;
}

void CXTPDialogBar::ResizeTo(CRect rect, int nHitCode)
{
    const CRect rcMargins = GetClientMargins();
    const CSize szClient(rect.Width() - rcMargins.left - rcMargins.right,
                         rect.Height() - rcMargins.top - rcMargins.bottom);
    if (szClient.cx < m_szMinClient.cx || szClient.cy < m_szMinClient.cy)
        return;
    if (m_barPosition == xtpBarFloating) {
        m_szFloatingClient = szClient;
        const CSize size = CalcDynamicLayout(0, LM_HORZ | LM_COMMIT);
        SetWindowPos(NULL, rect.left, rect.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        Redraw();
        return;
    }
    if (nHitCode == HTLEFT || nHitCode == HTRIGHT)
        m_szDockingClient.cx = szClient.cx;
    else
        m_szDockingClient.cy = szClient.cy;
    OnRecalcLayout();
}

int CXTPDialogBar::HitTestBorder(CPoint point) const
{
    if (!m_bResizable || !::IsWindow(m_hWnd))
        return 0;
    CRect rect;
    GetWindowRect(&rect);
    rect.DeflateRect(3, 3);
    const BOOL bTop = point.y < rect.top;
    const BOOL bBottom = point.y >= rect.bottom;
    const BOOL bLeft = point.x < rect.left;
    const BOOL bRight = point.x >= rect.right;
    if (m_barPosition == xtpBarFloating) {
        if (bTop && bLeft)
            return HTTOPLEFT;
        if (bTop && bRight)
            return HTTOPRIGHT;
        if (bBottom && bLeft)
            return HTBOTTOMLEFT;
        if (bBottom && bRight)
            return HTBOTTOMRIGHT;
        if (bTop)
            return HTTOP;
        if (bBottom)
            return HTBOTTOM;
        if (bLeft)
            return HTLEFT;
        return bRight ? HTRIGHT : 0;
    }
    const BOOL bStretched = (m_dwFlags & xtpFlagStretched) != 0;
    if (m_barPosition == xtpBarBottom && bTop)
        return HTTOP;
    if (bBottom && (!bStretched || m_barPosition == xtpBarTop))
        return HTBOTTOM;
    if (m_barPosition != xtpBarRight && bRight &&
        !(bStretched && (m_barPosition == xtpBarTop || m_barPosition == xtpBarBottom)))
        return HTRIGHT;
    if (m_barPosition == xtpBarRight && bLeft)
        return HTLEFT;
    return 0;
}

void CXTPDialogBar::PlaceChild()
{
    if (m_hwndChild == NULL || !::IsWindow(m_hwndChild) || !::IsWindow(m_hWnd))
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    const CRect rcMargins = GetClientMargins();
    rcClient.DeflateRect(rcMargins);
    ::SetWindowPos(m_hwndChild, NULL, rcClient.left, rcClient.top, std::max(0, rcClient.Width()),
                   std::max(0, rcClient.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(m_hwndChild, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CXTPDialogBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCHITTEST) {
        const int nHit =
            HitTestBorder(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        if (nHit != 0)
            return nHit;
        // The floating toolbar's own borders are this bar's to answer.
        if (m_barPosition == xtpBarFloating)
            return CXTPCommandBar::WindowProc(message, wParam, lParam);
    }
    const LRESULT lResult = CXTPToolBar::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE)
        PlaceChild();
    return lResult;
}

void CXTPDialogBarPopupBar::UpdateLocation()
{
    CXTPControlPopup* pControl = m_pControlPopup;
    CXTPCommandBar* pParent = pControl != NULL ? pControl->GetParent() : NULL;
    if (pParent == NULL || !::IsWindow(pParent->GetSafeHwnd())) {
        CXTPPopupBar::UpdateLocation();
        return;
    }
    // Right-aligned below the caption: the placement puts the popup's right edge at the exclude
    // rectangle's right.
    CRect rcExclude = pControl->GetRect();
    pParent->ClientToScreen(&rcExclude);
    m_rcExclude = rcExclude;
    m_dwPopupFlags = xtpPopupLeft | xtpPopupDown;
    m_ptPopup = CPoint(rcExclude.right, rcExclude.bottom);
}

void CXTPDialogBarCaption::Draw(CDC* pDC)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF clrText = pPaintManager->GetColor(COLOR_BTNTEXT);
    if (m_bMenu) {
        pPaintManager->DrawControlState(pDC, this);
        clrText = pDC->GetTextColor();
    }
    const COLORREF clrOld = pDC->SetTextColor(clrText);
    CXTFontSelector font(pDC, pPaintManager->GetRegularFont());
    CRect rcText(m_rcControl);
    rcText.DeflateRect(2, 0, m_bMenu ? 15 : 2, 0);
    pDC->DrawText(GetCaption(), rcText, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (m_bMenu) {
        // A triangle pointing down, 8 wide and 4 high, 9 pixels from the right end.
        const int x = m_rcControl.right - 9 - 4;
        const int y = m_rcControl.CenterPoint().y - 2;
        const POINT pts[3] = {{x, y}, {x + 8, y}, {x + 4, y + 4}};
        CBrush brush(clrText);
        CPen pen(PS_SOLID, 1, clrText);
        CBrush* pOldBrush = pDC->SelectObject(&brush);
        CPen* pOldPen = pDC->SelectObject(&pen);
        pDC->Polygon(pts, 3);
        pDC->SelectObject(pOldPen);
        pDC->SelectObject(pOldBrush);
    }
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
}

void CXTPDialogBarCloseButton::Draw(CDC* pDC)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    pPaintManager->DrawControlState(pDC, this);
    // Eight points at 96 dots per inch, scaled to the device.
    LOGFONT logFont{};
    logFont.lfHeight = ::MulDiv(80, 96, pDC->GetDeviceCaps(LOGPIXELSY));
    logFont.lfCharSet = SYMBOL_CHARSET;
    wcscpy_s(logFont.lfFaceName, L"Marlett");
    CFont font;
    font.CreatePointFontIndirect(&logFont, pDC);
    CXTFontSelector select(pDC, &font);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rect(m_rcControl);
    pDC->DrawText(L"r", 1, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetBkMode(nOldMode);
}

void CXTPDialogBarCloseButton::Execute()
{
    if (auto* pBar = DYNAMIC_DOWNCAST(CXTPToolBar, m_pParent))
        pBar->SetVisible(FALSE);
}
