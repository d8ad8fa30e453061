#include "docking_pane_mini_wnd.h"

#include "docking_pane_context.h"
#include "docking_pane_layout.h"
#include "docking_pane_manager.h"
#include "docking_pane_splitter_container.h"
#include "docking_pane_tabbed_container.h"
#include "prop_exchange.h"
#include "resource_loader.h"
#include "tooltip_controller.h"

#include <afxpriv.h>
#include <afxres.h>

#include <algorithm>

namespace {

// The first tabbed container of the frame: it names the frame and takes its focus.
CXTPDockingPaneTabbedContainer* FirstTabbed(CXTPDockingPaneBase* pTop)
{
    if (pTop == NULL)
        return NULL;
    CXTPDockingPaneBaseList lst;
    pTop->FindPane(xtpPaneTypeTabbedContainer, &lst);
    for (CXTPDockingPaneBase* pBase : lst) {
        if (!pBase->IsEmpty())
            return static_cast<CXTPDockingPaneTabbedContainer*>(pBase);
    }
    return NULL;
}

// A rectangle that lies (partly) outside the work area is moved in; one larger than it keeps its
// top-left corner in it.
CRect MoveIntoWorkArea(CRect rc)
{
    CRect rcWork;
    HMONITOR hMonitor = ::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (hMonitor != NULL && ::GetMonitorInfoW(hMonitor, &info))
        rcWork = info.rcWork;
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    if (rc.right > rcWork.right)
        rc.OffsetRect(rcWork.right - rc.right, 0);
    if (rc.bottom > rcWork.bottom)
        rc.OffsetRect(0, rcWork.bottom - rc.bottom);
    if (rc.left < rcWork.left)
        rc.OffsetRect(rcWork.left - rc.left, 0);
    if (rc.top < rcWork.top)
        rc.OffsetRect(0, rcWork.top - rc.top);
    return rc;
}

} // namespace

CXTPDockingPaneMiniWnd::CXTPDockingPaneMiniWnd(CXTPDockingPaneLayout* pLayout)
    : CXTPDockingPaneBase(xtpPaneTypeMiniWnd, pLayout)
{
    m_nStepsCount = std::max(1, static_cast<int>(kRollTime / kStepTime));
    m_nStep = m_nStepsCount;
    for (int nID : {XTP_IDS_DOCKINGPANE_CLOSE, XTP_IDS_DOCKINGPANE_AUTOHIDE, XTP_IDS_DOCKINGPANE_MENU})
        m_arrCaptionButtons.push_back(new CXTPDockingPaneCaptionButton(nID, this));
}

CXTPDockingPaneMiniWnd::~CXTPDockingPaneMiniWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CXTPDockingPaneMiniWnd::Create(CXTPDockingPaneBase* pItem, CRect rc)
{
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    if (pItem != NULL && pItem->GetType() == xtpPaneTypeDockingPane) {
        CXTPDockingPaneTabbedContainer* pContainer = static_cast<CXTPDockingPaneTabbedContainer*>(
            pManager->CreatePaneOfType(xtpPaneTypeTabbedContainer, m_pLayout));
        pContainer->m_szDocking = pItem->m_szDocking;
        pContainer->AttachPane(static_cast<CXTPDockingPane*>(pItem));
        pItem = pContainer;
    }
    m_pTopContainer = static_cast<CXTPDockingPaneSplitterContainer*>(
        pManager->CreatePaneOfType(xtpPaneTypeSplitterContainer, m_pLayout));
    if (pItem != NULL)
        m_pTopContainer->Init(pItem, TRUE, this);
    m_pTopContainer->SetParentContainer(this);
    return CreateFrameWindow(rc);
}

BOOL CXTPDockingPaneMiniWnd::CreateFrameWindow(CRect rc)
{
    rc = MoveIntoWorkArea(rc);
    m_rcWindow = rc;
    const DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_THICKFRAME | MFS_SYNCACTIVE |
                          WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    // The tree is not this frame's until the window exists: the layout that creation sizes would record
    // floating containers as docked.
    m_bCreating = TRUE;
    const BOOL bCreated = CMiniFrameWnd::CreateEx(WS_EX_TOOLWINDOW, NULL, NULL, dwStyle, rc,
                                                  GetDockingPaneManager()->GetSite());
    m_bCreating = FALSE;
    if (!bCreated)
        return FALSE;
    if (CMenu* pMenu = GetSystemMenu(FALSE)) {
        for (UINT nItem : {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
            pMenu->DeleteMenu(nItem, MF_BYCOMMAND);
        CString strHide;
        if (strHide.LoadString(AFX_IDS_HIDE) && !strHide.IsEmpty())
            pMenu->ModifyMenu(SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, strHide);
    }
    m_bCloseEnabled = TRUE;
    ApplyCaptionStyle();
    if (m_pTopContainer != NULL)
        m_pTopContainer->SetParentFrame(this);
    DelayRecalcLayout();
    return TRUE;
}

void CXTPDockingPaneMiniWnd::RecalcLayout(BOOL bNotify)
{
    (void)bNotify;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    if (m_hWnd == NULL || m_pTopContainer == NULL || m_bCreating)
        return;
    if (!m_pTopContainer->IsEmpty()) {
        CRect rcClient;
        GetClientRect(&rcClient);
        m_pTopContainer->OnSizeParent(this, rcClient, NULL);
        m_pTopContainer->m_rcWindow = rcClient;
        if (CXTPDockingPaneTabbedContainer* pFirst = FirstTabbed(m_pTopContainer))
            SetWindowText(pFirst->GetCaptionText());
        if (!IsWindowVisible())
            ShowWindow(SW_SHOWNOACTIVATE);
        BOOL bClosable = FALSE;
        CXTPDockingPaneBaseList lstPanes;
        m_pTopContainer->FindPane(xtpPaneTypeDockingPane, &lstPanes);
        for (CXTPDockingPaneBase* pPane : lstPanes) {
            if (!(static_cast<CXTPDockingPane*>(pPane)->GetEffectiveOptions() & xtpPaneNoCloseable))
                bClosable = TRUE;
        }
        if (CMenu* pMenu = GetSystemMenu(FALSE))
            pMenu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | (bClosable ? MF_ENABLED : MF_GRAYED));
    } else {
        ShowWindow(SW_HIDE);
        if (m_bCollapsed)
            Expand();
    }
    GetDockingPaneManager()->RecordHolders();
}

void CXTPDockingPaneMiniWnd::OnChildChanged(CXTPDockingPaneBase* pChild)
{
    (void)pChild;
    RecalcLayout();
}

void CXTPDockingPaneMiniWnd::RemovePane(CXTPDockingPaneBase* pPane)
{
    if (pPane == m_pTopContainer) {
        m_pTopContainer = NULL;
        pPane->SetParentContainer(NULL);
    }
    if (m_hWnd != NULL)
        ShowWindow(SW_HIDE);
}

BOOL CXTPDockingPaneMiniWnd::ContainsPane(CXTPDockingPaneBase* pPane) const
{
    return pPane == this || (m_pTopContainer != NULL && m_pTopContainer->ContainsPane(pPane));
}

void CXTPDockingPaneMiniWnd::FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList)
{
    if (type == xtpPaneTypeMiniWnd)
        pList->push_back(this);
    if (m_pTopContainer != NULL)
        m_pTopContainer->FindPane(type, pList);
}

BOOL CXTPDockingPaneMiniWnd::IsEmpty() const
{
    return m_pTopContainer == NULL || m_pTopContainer->IsEmpty();
}

BOOL CXTPDockingPaneMiniWnd::IsCaptionButtonVisible(CXTPDockingPaneCaptionButton* pButton)
{
    switch (pButton->GetID()) {
    case XTP_IDS_DOCKINGPANE_CLOSE:
        return m_bCloseEnabled;
    case XTP_IDS_DOCKINGPANE_AUTOHIDE:
        pButton->m_bPressed = m_bCollapsed;
        return TRUE;
    case XTP_IDS_DOCKINGPANE_MENU: {
        CXTPDockingPaneTabbedContainer* pFirst = FirstTabbed(m_pTopContainer);
        return pFirst != NULL && pFirst->GetSelected() != NULL &&
               (pFirst->GetSelected()->GetEffectiveOptions() & xtpPaneHasMenuButton);
    }
    default:
        return FALSE;
    }
}

CXTPDockingPaneBase* CXTPDockingPaneMiniWnd::Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                                                   DWORD dwIgnoredOptions)
{
    CXTPDockingPaneMiniWnd* pClone = static_cast<CXTPDockingPaneMiniWnd*>(
        GetDockingPaneManager()->CreatePaneOfType(xtpPaneTypeMiniWnd, pLayout));
    if (pClone == NULL)
        return NULL;
    CRect rc = m_hWnd != NULL ? CRect() : m_rcWindow;
    if (m_hWnd != NULL)
        GetWindowRect(&rc);
    CXTPDockingPaneBase* pTop =
        m_pTopContainer != NULL ? m_pTopContainer->Clone(pLayout, pMap, dwIgnoredOptions) : NULL;
    pClone->m_bCollapsed = m_bCollapsed;
    pClone->m_nExpandedHeight = m_nExpandedHeight;
    if (m_bCollapsed)
        rc.bottom = rc.top + GetDockingPaneManager()->GetPaintManager()->GetCaptionHeight() + 8;
    pClone->m_rcWindow = rc;
    if (pTop != NULL) {
        pClone->m_pTopContainer = static_cast<CXTPDockingPaneSplitterContainer*>(pTop);
        pTop->SetParentContainer(pClone);
    }
    if (!pLayout->IsNotShown())
        pClone->CreateFrameWindow(rc);
    if (pMap != NULL)
        (*pMap)[this] = pClone;
    return pClone;
}

BOOL CXTPDockingPaneMiniWnd::DoPropExchange(CXTPPropExchange* pPX)
{
    CRect rc = m_rcWindow;
    if (pPX->IsStoring() && m_hWnd != NULL)
        GetWindowRect(&rc);
    long nTop = rc.top, nBottom = rc.bottom, nLeft = rc.left, nRight = rc.right;
    ExchangeLong(pPX, L"WindowRectTopPos", nTop);
    ExchangeLong(pPX, L"WindowRectBottomPos", nBottom);
    ExchangeLong(pPX, L"WindowRectLeftPos", nLeft);
    ExchangeLong(pPX, L"WindowRectRightPos", nRight);
    ExchangeBool(pPX, L"Collapsed", m_bCollapsed, FALSE);
    ExchangeInt(pPX, L"ExpandedHeight", m_nExpandedHeight, 0);
    long nIndex = m_pTopContainer != NULL ? m_pTopContainer->m_nIndex : 0;
    ExchangeLong(pPX, L"TopContaner", nIndex);
    if (pPX->IsStoring())
        return TRUE;
    m_rcWindow = CRect(static_cast<int>(nLeft), static_cast<int>(nTop), static_cast<int>(nRight),
                       static_cast<int>(nBottom));
    CXTPDockingPaneBase* pTop = nIndex != 0 ? m_pLayout->FindIndex(static_cast<int>(nIndex)) : NULL;
    if (pTop == NULL || pTop->GetType() != xtpPaneTypeSplitterContainer || pTop->m_pParentContainer != NULL)
        return FALSE;
    m_pTopContainer = static_cast<CXTPDockingPaneSplitterContainer*>(pTop);
    pTop->SetParentContainer(this);
    return TRUE;
}

BOOL CXTPDockingPaneMiniWnd::HasCustomCaption() const
{
    return GetDockingPaneManager()->m_bCustomTitleBar;
}

void CXTPDockingPaneMiniWnd::ApplyCaptionStyle()
{
    // Our own caption replaces the system's: without WS_BORDER the window has none.
    if (HasCustomCaption())
        ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    else
        ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED);
}

void CXTPDockingPaneMiniWnd::RefreshFrame()
{
    if (m_hWnd == NULL)
        return;
    ApplyCaptionStyle();
    if (m_bCollapsed && !HasCustomCaption())
        Expand();
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

int CXTPDockingPaneMiniWnd::MinimumHeight() const
{
    return GetDockingPaneManager()->GetPaintManager()->GetCaptionHeight() + 8;
}

void CXTPDockingPaneMiniWnd::Collapse()
{
    if (m_hWnd == NULL || m_bCollapsed)
        return;
    m_nStep = m_nStepsCount;
    CRect rc;
    GetWindowRect(&rc);
    m_nExpandedHeight = rc.Height();
    m_bCollapsed = TRUE;
    m_bExpanded = TRUE;
    m_nDeactivationCount = 6;
    SetTimer(kTimerRollUp, 100, NULL);
}

void CXTPDockingPaneMiniWnd::Expand()
{
    if (m_hWnd != NULL) {
        CRect rc;
        GetWindowRect(&rc);
        if (m_nExpandedHeight > 0 && rc.Height() != m_nExpandedHeight)
            SetWindowPos(NULL, 0, 0, rc.Width(), m_nExpandedHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        KillTimer(kTimerRollUp);
        KillTimer(kTimerAnimate);
        SetWindowPos(NULL, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DRAWFRAME);
    }
    m_bCollapsed = FALSE;
    m_bExpanded = FALSE;
    m_bAnimation = FALSE;
}

BOOL CXTPDockingPaneMiniWnd::ShouldStayOpen() const
{
    HWND hFocus = ::GetFocus();
    if (hFocus != NULL && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus)))
        return TRUE;
    CPoint pt;
    CRect rc;
    ::GetWindowRect(m_hWnd, &rc);
    if (::GetCursorPos(&pt) && rc.PtInRect(pt))
        return TRUE;
    return ::GetCapture() != NULL || m_bAnimation;
}

void CXTPDockingPaneMiniWnd::OnRollTimer()
{
    if (ShouldStayOpen())
        return;
    if (--m_nDeactivationCount > 0)
        return;
    if (m_nStep == m_nStepsCount) {
        CRect rc;
        GetWindowRect(&rc);
        m_nExpandedHeight = rc.Height();
    }
    m_bAnimation = TRUE;
    SetTimer(kTimerAnimate, kStepTime, NULL);
    KillTimer(kTimerRollUp);
}

void CXTPDockingPaneMiniWnd::OnAnimateTimer()
{
    --m_nStep;
    if (m_nStep >= 0) {
        CRect rc;
        GetWindowRect(&rc);
        const int nHeight = std::max(MinimumHeight(), m_nExpandedHeight * m_nStep / m_nStepsCount);
        SetWindowPos(NULL, 0, 0, rc.Width(), nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    m_bAnimation = FALSE;
    m_bExpanded = FALSE;
    KillTimer(kTimerAnimate);
}

void CXTPDockingPaneMiniWnd::CloseFrame()
{
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    CXTPDockingPaneBaseList lstPanes;
    FindPane(xtpPaneTypeDockingPane, &lstPanes);
    for (CXTPDockingPaneBase* pBase : lstPanes) {
        CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(pBase);
        if (pPane->GetEffectiveOptions() & xtpPaneNoCloseable)
            continue;
        if (pManager->NotifyOwner(xtpPaneActionClosing, pPane, pPane->GetContainer(), 0))
            continue;
        // The reference keeps the pane through the site's handler of the report.
        pPane->InternalAddRef();
        pManager->ClosePane(pPane);
        pManager->NotifyOwner(xtpPaneActionClosed, pPane, NULL, 0);
        pPane->InternalRelease();
    }
}

CXTPDockingPaneCaptionButton* CXTPDockingPaneMiniWnd::ButtonAt(CPoint ptWindow) const
{
    for (CXTPDockingPaneCaptionButton* pButton : m_arrCaptionButtons) {
        if (!pButton->GetRect().IsRectEmpty() && pButton->PtInRect(ptWindow) && pButton->IsVisible())
            return pButton;
    }
    return NULL;
}

BOOL CXTPDockingPaneMiniWnd::TrackCaptionButton(CXTPDockingPaneCaptionButton* pButton)
{
    // The buttons are placed in window coordinates.
    const HWND hWnd = m_hWnd;
    auto toWindow = [hWnd](CPoint pt) {
        ::ClientToScreen(hWnd, &pt);
        CRect rcWindow;
        ::GetWindowRect(hWnd, &rcWindow);
        return pt - rcWindow.TopLeft();
    };
    return XTPTrackCaptionButton(hWnd, pButton, toWindow, [hWnd]() { ::SendMessageW(hWnd, WM_NCPAINT, 1, 0); });
}

BOOL CXTPDockingPaneMiniWnd::OnCaptionButtonDown(CPoint ptScreen)
{
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    CXTPDockingPaneCaptionButton* pButton = ButtonAt(ptScreen - rcWindow.TopLeft());
    if (pButton == NULL)
        return FALSE;
    if (pButton->GetID() == XTP_IDS_DOCKINGPANE_MENU) {
        CXTPDockingPaneTabbedContainer* pFirst = FirstTabbed(m_pTopContainer);
        CXTPDockingPaneManager* pManager = GetDockingPaneManager();
        if (pFirst != NULL && pManager->GetSite() != NULL)
            pManager->GetSite()->SendMessage(XTPWM_DOCKINGPANE_NOTIFY, XTP_DPN_CONTEXTMENU,
                                             reinterpret_cast<LPARAM>(pFirst->GetSelected()));
        return TRUE;
    }
    if (!TrackCaptionButton(pButton))
        return TRUE;
    if (pButton->GetID() == XTP_IDS_DOCKINGPANE_CLOSE)
        CloseFrame();
    else if (pButton->GetID() == XTP_IDS_DOCKINGPANE_AUTOHIDE)
        m_bCollapsed ? Expand() : Collapse();
    if (m_hWnd != NULL)
        SendMessage(WM_NCPAINT);
    return TRUE;
}

void CXTPDockingPaneMiniWnd::UpdateHotButtons(CPoint ptScreen)
{
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const CPoint pt = ptScreen - rcWindow.TopLeft();
    BOOL bChanged = FALSE;
    for (CXTPDockingPaneCaptionButton* pButton : m_arrCaptionButtons) {
        const BOOL bHot = !pButton->GetRect().IsRectEmpty() && pButton->PtInRect(pt);
        if (bHot != pButton->m_bSelected) {
            pButton->m_bSelected = bHot;
            bChanged = TRUE;
        }
    }
    if (bChanged) {
        SendMessage(WM_NCPAINT);
        SetTimer(kTimerHot, 100, NULL);
    }
}

INT_PTR CXTPDockingPaneMiniWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    if (!HasCustomCaption())
        return -1;
    CPoint ptOrigin(0, 0);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    ptOrigin = rcWindow.TopLeft();
    ScreenToClient(&ptOrigin);
    for (CXTPDockingPaneCaptionButton* pButton : m_arrCaptionButtons) {
        CRect rc = pButton->GetRect();
        rc.OffsetRect(ptOrigin);
        if (pButton->GetRect().IsRectEmpty() || !rc.PtInRect(point))
            continue;
        CString strTip;
        GetResourceLoader()->LoadString(&strTip, static_cast<UINT>(pButton->GetID()));
        if (strTip.IsEmpty())
            return -1;
        CXTPToolTipController::FillToolInfo(pTI, m_hWnd, rc, static_cast<UINT_PTR>(pButton->GetID()), strTip);
        return pButton->GetID();
    }
    return -1;
}

LRESULT CXTPDockingPaneMiniWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (HasCustomCaption()) {
        if (CXTPToolTipController* pToolTips = GetDockingPaneManager()->GetToolTipController())
            pToolTips->FilterToolTipMessage(this, message, wParam, lParam);
        const CPoint ptScreen(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        switch (message) {
        case WM_NCHITTEST: {
            const LRESULT lHit = CMiniFrameWnd::WindowProc(message, wParam, lParam);
            CRect rcWindow;
            GetWindowRect(&rcWindow);
            // Our caption band is non-client to the system, which answers nothing there.
            const int nBand = rcWindow.top + GetDockingPaneManager()->GetPaintManager()->GetCaptionHeight() + 4;
            if ((lHit == HTCLIENT || lHit == HTNOWHERE) && rcWindow.PtInRect(ptScreen) && ptScreen.y < nBand)
                return HTCAPTION;
            return lHit;
        }
        case WM_NCCALCSIZE: {
            const LRESULT lResult = CMiniFrameWnd::WindowProc(message, wParam, lParam);
            RECT* pRect = reinterpret_cast<RECT*>(lParam);
            ::InflateRect(pRect, 1, 1);
            pRect->top += GetDockingPaneManager()->GetPaintManager()->GetCaptionHeight() + 2;
            pRect->bottom = std::max(pRect->bottom, pRect->top);
            return lResult;
        }
        case WM_NCPAINT: {
            CWindowDC dc(this);
            CRect rc;
            GetWindowRect(&rc);
            rc.OffsetRect(-rc.TopLeft());
            GetDockingPaneManager()->GetPaintManager()->DrawFloatingFrame(&dc, this, rc);
            return 0;
        }
        case WM_NCACTIVATE:
            CMiniFrameWnd::WindowProc(message, wParam, -1);
            SendMessage(WM_NCPAINT);
            return TRUE;
        case WM_NCLBUTTONDOWN:
            if (OnCaptionButtonDown(ptScreen))
                return 0;
            break;
        case WM_NCMOUSEMOVE:
            UpdateHotButtons(ptScreen);
            break;
        case WM_TIMER:
            if (wParam == kTimerHot) {
                CPoint pt;
                CRect rc;
                GetWindowRect(&rc);
                if (::GetCursorPos(&pt) && !rc.PtInRect(pt)) {
                    KillTimer(kTimerHot);
                    PostMessage(WM_NCMOUSEMOVE, HTNOWHERE, MAKELPARAM(pt.x, pt.y));
                }
                return 0;
            }
            break;
        default:
            break;
        }
    }
    switch (message) {
    case WM_CLOSE:
        CloseFrame();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            CloseFrame();
            return 0;
        }
        break;
    case WM_NCLBUTTONDOWN:
        // The caption drags the frame's whole content: it can dock, join a group or float elsewhere.
        if (wParam == HTCAPTION && m_pTopContainer != NULL && !m_pTopContainer->IsEmpty()) {
            BringWindowToTop();
            SetActiveWindow();
            GetDockingPaneManager()->GetDockingContext()->Drag(
                m_pTopContainer, CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
            return 0;
        }
        break;
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION) {
            if (m_bCollapsed)
                Expand();
            else if (m_pTopContainer != NULL)
                GetDockingPaneManager()->ToggleDocking(m_pTopContainer);
            return 0;
        }
        break;
    case WM_NCRBUTTONDOWN: {
        CXTPDockingPaneTabbedContainer* pFirst = FirstTabbed(m_pTopContainer);
        CXTPDockingPaneManager* pManager = GetDockingPaneManager();
        if (pFirst != NULL && pManager->GetSite() != NULL) {
            pManager->GetSite()->SendMessage(XTPWM_DOCKINGPANE_NOTIFY, XTP_DPN_CONTEXTMENU,
                                             reinterpret_cast<LPARAM>(pFirst->GetSelected()));
            return 0;
        }
        break;
    }
    case WM_NCMOUSEMOVE:
        // Pointing at the caption of a frame rolled up opens it at once, for another round of the
        // countdown.
        if (m_bCollapsed && !m_bExpanded && !m_bAnimation) {
            m_nStep = m_nStepsCount;
            m_bExpanded = TRUE;
            CRect rc;
            GetWindowRect(&rc);
            SetWindowPos(NULL, 0, 0, rc.Width(), m_nExpandedHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            m_nDeactivationCount = 8;
            SetTimer(kTimerRollUp, 100, NULL);
        }
        break;
    case WM_TIMER:
        if (wParam == kTimerRollUp) {
            OnRollTimer();
            return 0;
        }
        if (wParam == kTimerAnimate) {
            OnAnimateTimer();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (CXTPDockingPaneTabbedContainer* pFirst = FirstTabbed(m_pTopContainer)) {
            if (pFirst->GetSelected() != NULL) {
                pFirst->GetSelected()->SetFocus();
                return 0;
            }
        }
        break;
    case WM_GETMINMAXINFO: {
        const LRESULT lResult = CMiniFrameWnd::WindowProc(message, wParam, lParam);
        if (!m_bCollapsed && m_pTopContainer != NULL && !m_pTopContainer->IsEmpty()) {
            MINMAXINFO* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
            MINMAXINFO info = *pInfo;
            info.ptMinTrackSize = CPoint(0, 0);
            info.ptMaxTrackSize = CPoint(32000, 32000);
            m_pTopContainer->GetMinMaxInfo(&info);
            CRect rcWindow, rcClient;
            GetWindowRect(&rcWindow);
            GetClientRect(&rcClient);
            const CSize szFrame(rcWindow.Width() - rcClient.Width(), rcWindow.Height() - rcClient.Height());
            pInfo->ptMinTrackSize.x = std::max(pInfo->ptMinTrackSize.x, info.ptMinTrackSize.x + szFrame.cx);
            pInfo->ptMinTrackSize.y = std::max(pInfo->ptMinTrackSize.y, info.ptMinTrackSize.y + szFrame.cy);
            pInfo->ptMaxTrackSize.x = std::min(pInfo->ptMaxTrackSize.x, info.ptMaxTrackSize.x + szFrame.cx);
            pInfo->ptMaxTrackSize.y = std::min(pInfo->ptMaxTrackSize.y, info.ptMaxTrackSize.y + szFrame.cy);
        }
        return lResult;
    }
    case WM_DESTROY:
        GetWindowRect(&m_rcWindow);
        break;
    default:
        break;
    }
    return CMiniFrameWnd::WindowProc(message, wParam, lParam);
}
