#include "control_custom.h"

#include "command_bars.h"
#include "command_bars_layout.h"
#include "prop_exchange.h"

#include <windowsx.h>

IMPLEMENT_DYNCREATE(CXTPControlCustom, CXTPControlButton)

CXTPControlCustom::CXTPControlCustom()
{
    m_controlType = xtpControlCustom;
    m_dwFlags = xtpFlagNoMovable;
}

CXTPControlCustom::~CXTPControlCustom()
{
    CXTPHookManager::GetInstance()->RemoveAll(this);
}

void CXTPControlCustom::Attach(HWND hWnd)
{
    if (hWnd == m_hwndControl)
        return;
    CXTPHookManager* pHookManager = CXTPHookManager::GetInstance();
    if (m_hwndControl != NULL)
        pHookManager->RemoveHook(m_hwndControl, this);
    m_hwndControl = hWnd;
    // The hosted window's mouse moves keep the bar's hot tracking going over it.
    if (hWnd != NULL)
        pHookManager->SetHook(hWnd, this);
}

void CXTPControlCustom::SetControl(CWnd* pWnd)
{
    const HWND hWnd = pWnd != NULL ? pWnd->GetSafeHwnd() : NULL;
    Attach(hWnd);
    if (hWnd != NULL) {
        CRect rcWindow;
        ::GetWindowRect(hWnd, &rcWindow);
        m_szControl = rcWindow.Size();
        m_nControlId = ::GetDlgCtrlID(hWnd);
    }
    DelayLayoutParent();
}

CSize CXTPControlCustom::GetSize(CDC* pDC)
{
    if (m_hwndControl != NULL && m_bShowWindow)
        return CSize(m_szControl.cx + m_rcBorders.left + m_rcBorders.right,
                     m_szControl.cy + m_rcBorders.top + m_rcBorders.bottom);
    return CXTPControlButton::GetSize(pDC);
}

void CXTPControlCustom::ShowHostedWindow()
{
    if (!::IsWindow(m_hwndControl))
        return;
    ::SetWindowPos(m_hwndControl, NULL, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                       (m_bShowWindow && IsVisible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CXTPControlCustom::SetRect(CRect rcControl)
{
    CXTPCommandBar* pBar = m_pParent;
    const HWND hwndBar = pBar != NULL ? pBar->GetSafeHwnd() : NULL;
    if (!::IsWindow(m_hwndControl) || hwndBar == NULL) {
        m_rcControl = rcControl;
        return;
    }
    if (rcControl == m_rcControl && ::GetParent(m_hwndControl) == hwndBar)
        return;
    m_rcControl = rcControl;
    ::SetParent(m_hwndControl, hwndBar);
    const LONG_PTR nStyle = ::GetWindowLongPtrW(m_hwndControl, GWL_STYLE);
    ::SetWindowLongPtrW(m_hwndControl, GWL_STYLE, (nStyle & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
    CRect rcWindow(rcControl.left + m_rcBorders.left, rcControl.top + m_rcBorders.top,
                   rcControl.right - m_rcBorders.right, rcControl.bottom - m_rcBorders.bottom);
    ::MoveWindow(m_hwndControl, rcWindow.left, rcWindow.top, rcWindow.Width(), rcWindow.Height(), TRUE);
    ShowHostedWindow();
}

void CXTPControlCustom::SetEnabled(BOOL bEnabled)
{
    if (bEnabled == m_bEnabled)
        return;
    m_bEnabled = bEnabled;
    if (::IsWindow(m_hwndControl))
        ::EnableWindow(m_hwndControl, bEnabled);
    RedrawParent();
}

void CXTPControlCustom::SetHideFlags(DWORD dwFlags)
{
    if (dwFlags == m_dwHideFlags)
        return;
    m_dwHideFlags = dwFlags;
    ShowHostedWindow();
    DelayLayoutParent();
}

void CXTPControlCustom::OnCalcDynamicSize(DWORD dwMode)
{
    const BOOL bVertical = (dwMode & LM_VERTDOCK) != 0;
    if (m_nVerticalOptions == 0) {
        SetHideFlag(XTP_HIDE_VERTICAL, bVertical);
    } else if (m_nVerticalOptions == 2) {
        m_bShowWindow = !bVertical;
        ShowHostedWindow();
    }
}

BOOL CXTPControlCustom::IsHostedWindowVisible() const
{
    return ::IsWindow(m_hwndControl) && ::IsWindowVisible(m_hwndControl);
}

void CXTPControlCustom::OnClick(BOOL bKeyboard, CPoint pt)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (IsHostedWindowVisible() && (pCommandBars == NULL || !pCommandBars->IsCustomizeMode()))
        return;
    CXTPControlButton::OnClick(bKeyboard, pt);
}

void CXTPControlCustom::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (auto* pCustom = DYNAMIC_DOWNCAST(CXTPControlCustom, pControl)) {
        m_rcBorders = pCustom->m_rcBorders;
        m_szControl = pCustom->m_szControl;
        m_nVerticalOptions = pCustom->m_nVerticalOptions;
        m_bShowWindow = pCustom->m_bShowWindow;
        Attach(pCustom->m_hwndControl);
        m_nControlId = pCustom->m_nControlId;
    }
    CXTPControlButton::Copy(pControl, bRecursive);
}

void CXTPControlCustom::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControlButton::DoPropExchange(pPX);
    RECT rcBorders = m_rcBorders;
    SIZE szControl = m_szControl;
    long nVerticalOptions = m_nVerticalOptions;
    long nControlId = m_nControlId;
    ExchangeRect(pPX, L"Borders", rcBorders, CRect(0, 0, 0, 0));
    ExchangeSize(pPX, L"ControlSize", szControl, CSize(0, 0));
    ExchangeLongDefault(pPX, L"VerticalOptions", nVerticalOptions, 0);
    if (pPX->m_nSchema > 5)
        ExchangeLongDefault(pPX, L"ControlId", nControlId, 0);
    m_rcBorders = rcBorders;
    m_szControl = szControl;
    m_nVerticalOptions = static_cast<int>(nVerticalOptions);
    m_nControlId = static_cast<int>(nControlId);
    if (!pPX->IsLoading() || m_nControlId == 0)
        return;
    CXTPCommandBarsExchangeParam* pParam = pPX->m_pExchangeParam;
    CXTPCommandBars* pCommandBars = pParam != NULL ? pParam->pCommandBars : GetCommandBars();
    if (pCommandBars == NULL)
        return;
    HWND hWnd = NULL;
    if (CWnd* pSite = pCommandBars->GetSite())
        hWnd = ::GetDlgItem(pSite->GetSafeHwnd(), m_nControlId);
    for (int i = 0; hWnd == NULL && i < pCommandBars->GetCount(); ++i)
        if (CXTPCommandBar* pBar = pCommandBars->GetAt(i))
            if (::IsWindow(pBar->GetSafeHwnd()))
                hWnd = ::GetDlgItem(pBar->GetSafeHwnd(), m_nControlId);
    if (hWnd != NULL)
        Attach(hWnd);
}

int CXTPControlCustom::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&)
{
    CXTPCommandBar* pBar = m_pParent;
    if (nMessage == WM_MOUSEMOVE && hWnd == m_hwndControl && pBar != NULL &&
        ::IsWindow(pBar->GetSafeHwnd())) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::MapWindowPoints(hWnd, pBar->GetSafeHwnd(), &point, 1);
        pBar->SendMessage(WM_MOUSEMOVE, wParam, MAKELPARAM(point.x, point.y));
    }
    return 0;
}
