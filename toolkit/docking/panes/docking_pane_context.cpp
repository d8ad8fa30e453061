#include "docking_pane_context.h"

#include "color_table.h"
#include "docking_pane.h"
#include "docking_pane_layout.h"
#include "docking_pane_manager.h"
#include "docking_pane_mini_wnd.h"
#include "docking_pane_paint_manager.h"
#include "docking_pane_splitter_container.h"
#include "docking_pane_tabbed_container.h"
#include "draw_helpers.h"
#include "resource_loader.h"
#include "splitter_drag_tracker.h"
#include "tab_paint_manager.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

// Style 0: arms 0-3, hot arms 4-7, centre part 8 and hot 9 from the colour sheet, background 10 from the
// square.
const XTP_DOCKINGPANE_MARKER_PIECE kPieces0[11] = {
    {25, 0, {0, 0, 43, 30}},     {0, 25, {30, 33, 60, 76}},   {25, 63, {43, 0, 86, 30}},
    {63, 25, {0, 33, 30, 76}},   {25, 0, {0, 76, 43, 106}},   {0, 25, {90, 33, 120, 76}},
    {25, 63, {43, 76, 86, 106}}, {63, 25, {60, 33, 90, 76}},  {30, 30, {86, 0, 119, 33}},
    {30, 30, {86, 76, 119, 109}}, {25, 25, {0, 0, 43, 43}},
};

// Style 1: centre group arms 0-3, hot 4-7, centre part 8, backgrounds 9 (centre hot) and 10, outer
// markers 11-14 and hot 15-18.
const XTP_DOCKINGPANE_MARKER_PIECE kPieces1[19] = {
    {30, 0, {61, 29, 90, 59}},   {0, 30, {90, 30, 120, 59}},  {30, 59, {91, 0, 120, 30}},
    {60, 30, {62, 0, 92, 29}},   {30, 0, {61, 90, 90, 120}},  {0, 30, {90, 91, 120, 120}},
    {30, 59, {91, 61, 120, 91}}, {60, 30, {62, 61, 92, 90}},  {30, 30, {120, 82, 148, 111}},
    {24, 24, {120, 41, 161, 82}}, {24, 24, {120, 0, 161, 41}}, {0, 0, {0, 29, 29, 61}},
    {0, 0, {29, 32, 61, 61}},    {0, 0, {32, 0, 61, 32}},     {0, 0, {0, 0, 32, 29}},
    {0, 0, {0, 90, 29, 122}},    {0, 0, {29, 93, 61, 122}},   {0, 0, {32, 61, 61, 93}},
    {0, 0, {0, 61, 32, 90}},
};

const COLORREF kMaskColour = RGB(0, 255, 0);

// Parts in the order they are drawn and tested, each with its table entry for the normal piece.
struct MarkerPart
{
    int nPart;
    int nEntry;
};
const MarkerPart kArmParts[4] = {{xtpMarkerTop, 0}, {xtpMarkerLeft, 1}, {xtpMarkerBottom, 2}, {xtpMarkerRight, 3}};

int DirectionOfPart(int nPart)
{
    switch (nPart) {
    case xtpMarkerLeft:
        return xtpPaneDockLeft;
    case xtpMarkerRight:
        return xtpPaneDockRight;
    case xtpMarkerTop:
        return xtpPaneDockTop;
    default:
        return xtpPaneDockBottom;
    }
}

void RegisterPlainClass(const wchar_t* lpszClass)
{
    WNDCLASSW wc = {};
    if (::GetClassInfoW(AfxGetInstanceHandle(), lpszClass, &wc))
        return;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = lpszClass;
    AfxRegisterClass(&wc);
}

const wchar_t kFeedbackClassName[] = L"XTPDockingPaneFeedback";
const wchar_t kMarkerClassName[] = L"XTPDockingPaneMarker";

} // namespace

// ---------------------------------------------------------------------------------------------------------

BOOL CXTPDockingPaneFeedbackWnd::CreateFeedback(CXTPDockingPaneContext* pContext)
{
    RegisterPlainClass(kFeedbackClassName);
    CWnd* pSite = pContext->m_pManager->GetSite();
    if (!CreateEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kFeedbackClassName, NULL, WS_POPUP,
                  CRect(0, 0, 0, 0), pSite, 0))
        return FALSE;
    if (pContext->m_pfnSetLayeredWindowAttributes != NULL)
        pContext->m_pfnSetLayeredWindowAttributes(m_hWnd, 0, 100, LWA_ALPHA);
    return TRUE;
}

LRESULT CXTPDockingPaneFeedbackWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == WM_PAINT) {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(rc, ::GetSysColor(COLOR_HIGHLIGHT));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CXTPDockingPaneMarkerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == WM_PAINT) {
        CPaintDC dcPaint(this);
        CRect rc;
        GetClientRect(&rc);
        CXTBufferedDC dc(dcPaint.m_hDC, rc);
        dc.FillSolidRect(rc, RGB(0, 0, 0));
        m_pContext->DrawMarker(this, &dc);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneContext::CXTPDockingPaneContext(CXTPDockingPaneManager* pManager) : m_pManager(pManager)
{
    HMODULE hUser32 = ::GetModuleHandleW(L"user32.dll");
    if (hUser32 != NULL)
        m_pfnSetLayeredWindowAttributes = reinterpret_cast<PFNSETLAYEREDWINDOWATTRIBUTES>(
            reinterpret_cast<void*>(::GetProcAddress(hUser32, "SetLayeredWindowAttributes")));
}

CXTPDockingPaneContext::~CXTPDockingPaneContext()
{
    DestroyMarkers();
    DeleteRegions();
    if (m_hrgnLast != NULL)
        ::DeleteObject(m_hrgnLast);
}

const XTP_DOCKINGPANE_MARKER_PIECE* AFXAPI CXTPDockingPaneContext::GetMarkerPieces(int nStyle, int* pnCount)
{
    if (nStyle == 1) {
        *pnCount = 19;
        return kPieces1;
    }
    *pnCount = 11;
    return kPieces0;
}

CSize AFXAPI CXTPDockingPaneContext::GetMarkerSize(int nKind, int nStyle)
{
    if (nKind & xtpMarkerGroup)
        return nStyle == 1 ? CSize(89, 89) : CSize(93, 93);
    if (nKind & (xtpMarkerTop | xtpMarkerBottom))
        return nStyle == 1 ? CSize(29, 32) : CSize(43, 30);
    return nStyle == 1 ? CSize(32, 29) : CSize(30, 43);
}

CWnd* CXTPDockingPaneContext::GetSite() const
{
    return m_pManager->GetSite();
}

CXTPDockingPaneBase* CXTPDockingPaneContext::GetTopContainer() const
{
    return m_pManager->GetTopPane();
}

CRect CXTPDockingPaneContext::ScreenRectOf(CXTPDockingPaneBase* pNode) const
{
    CRect rc = pNode->m_rcWindow;
    if (CWnd* pWnd = pNode->GetWindow()) {
        if (pNode->GetType() != xtpPaneTypeSplitterContainer) {
            pWnd->GetWindowRect(&rc);
            return rc;
        }
    }
    CWnd* pFrame = pNode->m_pParentFrame != NULL ? pNode->m_pParentFrame : GetSite();
    if (pFrame != NULL && pFrame->m_hWnd != NULL)
        pFrame->ClientToScreen(&rc);
    return rc;
}

BOOL CXTPDockingPaneContext::AllPanesAccept(int nAction, CXTPDockingPaneBase* pTarget, int nDirection) const
{
    CXTPDockingPaneBaseList lstPanes;
    m_pItem->FindPane(xtpPaneTypeDockingPane, &lstPanes);
    for (CXTPDockingPaneBase* pPane : lstPanes) {
        if (m_pManager->NotifyOwner(nAction, static_cast<CXTPDockingPane*>(pPane), pTarget, nDirection))
            return FALSE;
    }
    return TRUE;
}

void CXTPDockingPaneContext::BeginDrag(CXTPDockingPaneBase* pPane, CPoint pt)
{
    m_pItem = pPane;
    // The dragged rectangle starts as the item's and is moved to hold the point.
    CXTPDockingPaneBase* pRectNode = pPane;
    if (pPane->GetType() == xtpPaneTypeDockingPane && pPane->GetContainer() != NULL)
        pRectNode = pPane->GetContainer();
    CRect rc;
    if (pRectNode->m_pParentContainer != NULL && pRectNode->m_pParentContainer->GetType() == xtpPaneTypeMiniWnd)
        static_cast<CXTPDockingPaneMiniWnd*>(pRectNode->m_pParentContainer)->GetWindowRect(&rc);
    else
        rc = ScreenRectOf(pRectNode);
    if (pt.x < rc.left)
        rc.OffsetRect(pt.x - rc.left, 0);
    if (pt.x > rc.right)
        rc.OffsetRect(pt.x - rc.right, 0);
    if (pt.y < rc.top)
        rc.OffsetRect(0, pt.y - rc.top);
    if (pt.y > rc.bottom)
        rc.OffsetRect(0, pt.y - rc.bottom);
    m_rcDragFrame = rc;
    m_ptStart = m_ptLast = pt;
    m_bStarted = FALSE;
    m_pTarget = NULL;
    m_bAttach = m_bLastAttach = FALSE;
    m_nDirection = 0;
    m_bFloatable = TRUE;
    m_pHovered = m_pLastHovered = NULL;
    m_rcLanding.SetRectEmpty();
    m_rcLast.SetRectEmpty();
    m_bUseAlphaContext = m_pManager->m_bAlphaDockingContext && IsLayeredAvailable();
    m_bUseDockingStickers = m_bUseAlphaContext && m_pManager->m_bShowDockingContextStickers;
    CXTPDockingPaneBaseList lstPanes;
    pPane->FindPane(xtpPaneTypeDockingPane, &lstPanes);
    for (CXTPDockingPaneBase* pBase : lstPanes) {
        CXTPDockingPane* pItemPane = static_cast<CXTPDockingPane*>(pBase);
        if (m_pManager->NotifyOwner(xtpPaneActionFloating, pItemPane, NULL, 0) ||
            (pItemPane->GetEffectiveOptions() & xtpPaneNoFloatable))
            m_bFloatable = FALSE;
    }
}

void CXTPDockingPaneContext::Drag(CXTPDockingPaneBase* pPane, CPoint pt)
{
    if (pPane == NULL || GetSite() == NULL || GetSite()->m_hWnd == NULL)
        return;
    BeginDrag(pPane, pt);
    InitLoop();
    Track();
}

void CXTPDockingPaneContext::InitLoop()
{
    m_rcLast.SetRectEmpty();
    if (m_hrgnLast != NULL) {
        ::DeleteObject(m_hrgnLast);
        m_hrgnLast = NULL;
    }
    if (m_bUseAlphaContext)
        return;
    MSG msg;
    while (::PeekMessage(&msg, NULL, WM_PAINT, WM_PAINT, PM_NOREMOVE)) {
        if (!::GetMessage(&msg, NULL, WM_PAINT, WM_PAINT))
            break;
        ::DispatchMessage(&msg);
    }
    CWnd* pDesktop = CWnd::GetDesktopWindow();
    m_bLocked = pDesktop->LockWindowUpdate();
    m_pDC = pDesktop->GetDCEx(NULL, DCX_WINDOW | DCX_CACHE | (m_bLocked ? DCX_LOCKWINDOWUPDATE : 0));
}

void CXTPDockingPaneContext::CancelLoop()
{
    CWnd* pSite = GetSite();
    if (pSite != NULL && ::GetCapture() == pSite->m_hWnd)
        ::ReleaseCapture();
    if (!m_bUseAlphaContext) {
        if (m_pDC != NULL) {
            DrawFeedback(TRUE);
            CWnd::GetDesktopWindow()->ReleaseDC(m_pDC);
            m_pDC = NULL;
        }
        if (m_bLocked) {
            CWnd::GetDesktopWindow()->UnlockWindowUpdate();
            m_bLocked = FALSE;
        }
    } else {
        if (m_wndContext.m_hWnd != NULL)
            m_wndContext.DestroyWindow();
        if (m_wndAttachedTab.m_hWnd != NULL)
            m_wndAttachedTab.DestroyWindow();
        DestroyMarkers();
    }
    m_pLastHovered = NULL;
    DeleteRegions();
}

void CXTPDockingPaneContext::DeleteRegions()
{
    for (auto& entry : m_mapRegions)
        ::DeleteObject(entry.second);
    m_mapRegions.clear();
}

void CXTPDockingPaneContext::Track()
{
    CWnd* pSite = GetSite();
    pSite->SetCapture();
    if (::GetCapture() != pSite->m_hWnd) {
        CancelLoop();
        return;
    }
    BOOL bDrop = FALSE;
    MSG msg;
    while (::GetCapture() == pSite->m_hWnd) {
        if (!::GetMessage(&msg, NULL, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP) {
            bDrop = TRUE;
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            ::ClientToScreen(msg.hwnd, &pt);
            // Until the mouse has left a 4-pixel square around the press nothing moves.
            if (!m_bStarted) {
                if (std::abs(pt.x - m_ptStart.x) <= 4 && std::abs(pt.y - m_ptStart.y) <= 4)
                    continue;
                m_bStarted = TRUE;
            }
            Move(pt);
            continue;
        }
        if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL) {
            if (m_bStarted)
                Move(m_ptLast);
            continue;
        }
        if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_CANCELMODE)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    CancelLoop();
    if (bDrop && m_bStarted)
        PerformDrop();
}

void CXTPDockingPaneContext::PerformDrop()
{
    CXTPDockingPaneBaseList lstPanes;
    m_pItem->FindPane(xtpPaneTypeDockingPane, &lstPanes);
    // The references keep the panes through the site's handlers of the reports.
    for (CXTPDockingPaneBase* pPane : lstPanes)
        static_cast<CXTPDockingPane*>(pPane)->InternalAddRef();
    int nAction = -1;
    if (m_bAttach && m_pTarget != NULL && m_pTarget->GetType() == xtpPaneTypeTabbedContainer) {
        CXTPDockingPaneTabbedContainer* pTarget = static_cast<CXTPDockingPaneTabbedContainer*>(m_pTarget);
        m_pManager->m_bAttachingPane = TRUE;
        for (CXTPDockingPaneBase* pBase : lstPanes) {
            CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(pBase);
            if (pPane->GetContainer() == pTarget)
                continue;
            if (pPane->GetContainer() != NULL)
                pPane->GetContainer()->RemovePane(pPane);
            pTarget->AttachPane(pPane);
        }
        pTarget->SelectPane(static_cast<CXTPDockingPane*>(lstPanes.empty() ? NULL : lstPanes.front()), FALSE, TRUE);
        m_pManager->m_bAttachingPane = FALSE;
        nAction = xtpPaneActionAttached;
    } else if (m_pTarget != NULL) {
        m_pManager->DockPane(m_pItem, static_cast<XTPDockingPaneDirection>(m_pManager->MirrorDirection(m_nDirection)),
                             m_pTarget);
        nAction = xtpPaneActionDocked;
    } else if (m_bFloatable) {
        CRect rc = m_rcDragFrame;
        CRect rcScreen;
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcScreen, 0);
        if (rc.top < rcScreen.top)
            rc.OffsetRect(0, rcScreen.top - rc.top);
        CXTPDockingPaneBase* pParent = m_pItem->m_pParentContainer;
        if (pParent != NULL && pParent->GetType() == xtpPaneTypeMiniWnd) {
            // A floating frame's own content moves with its frame.
            static_cast<CXTPDockingPaneMiniWnd*>(pParent)->SetWindowPos(
                NULL, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            m_pManager->FloatPane(m_pItem, rc);
        }
        nAction = xtpPaneActionFloated;
    }
    for (CXTPDockingPaneBase* pBase : lstPanes) {
        CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(pBase);
        if (nAction >= 0)
            m_pManager->NotifyOwner(nAction, pPane, NULL, 0);
        pPane->InternalRelease();
    }
    m_pManager->RecordHolders();
}

void CXTPDockingPaneContext::Move(CPoint pt)
{
    // The dragged rectangle follows the mouse while it still meets the screen.
    CRect rc = m_rcDragFrame;
    rc.OffsetRect(pt - m_ptLast);
    const CRect rcScreen(::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                         ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    CRect rcMeet;
    if (rcMeet.IntersectRect(rc, rcScreen))
        m_rcDragFrame = rc;
    m_pTarget = NULL;
    m_bAttach = FALSE;
    m_rcLanding.SetRectEmpty();
    m_pHovered = NULL;
    if (::GetKeyState(VK_CONTROL) >= 0)
        FindDockTarget(pt);
    m_ptLast = pt;
    if (!m_bUseDockingStickers) {
        DrawFeedback();
        return;
    }
    BuildMarkers();
    CXTPDockingPaneMarkerWnd* pHit = NULL;
    int nPart = 0;
    for (CXTPDockingPaneMarkerWnd* pMarker : m_lstMarkers) {
        nPart = HitTestMarker(pMarker, pt);
        if (nPart != 0) {
            pHit = pMarker;
            break;
        }
    }
    BOOL bStood = FALSE;
    if (pHit != NULL) {
        CXTPDockingPaneBase* pTarget = (pHit->m_nKind & xtpMarkerGroup) ? m_pHovered : GetTopContainer();
        if (nPart == xtpMarkerCentre) {
            if (AllPanesAccept(xtpPaneActionAttaching, pTarget, 0)) {
                m_pTarget = pTarget;
                m_bAttach = TRUE;
                m_rcLanding = ScreenRectOf(pTarget);
                bStood = TRUE;
            }
        } else {
            const int nDirection = DirectionOfPart(nPart);
            if (AllPanesAccept(xtpPaneActionDocking, pTarget, nDirection)) {
                m_pTarget = pTarget;
                m_nDirection = nDirection;
                m_rcLanding =
                    m_pManager->GetDockingRect(static_cast<XTPDockingPaneDirection>(nDirection), pTarget);
                GetSite()->ClientToScreen(&m_rcLanding);
                bStood = TRUE;
            }
        }
    }
    for (CXTPDockingPaneMarkerWnd* pMarker : m_lstMarkers) {
        const int nHot = (pMarker == pHit && bStood) ? nPart : 0;
        if (pMarker->m_nHotPart != nHot) {
            pMarker->m_nHotPart = nHot;
            ::InvalidateRect(pMarker->m_hWnd, NULL, FALSE);
        }
    }
    DrawFeedback();
}

BOOL CXTPDockingPaneContext::SideTest(CRect rc, CPoint pt, CXTPDockingPaneBase* pCandidate, BOOL bInside)
{
    double dThreshold = 20.0, dRatio = 1.0;
    if (bInside && !m_bFloatable) {
        // The item must dock somewhere: the nearest side wins, measured by the rectangle's shape.
        dThreshold = 32000.0;
        if (rc.Width() > 1 && rc.Height() > 1)
            dRatio = static_cast<double>(rc.Height()) / rc.Width();
    }
    if (rc.Width() == 0 || rc.Height() == 0)
        return FALSE;
    CRect rcZone = rc;
    if (!bInside)
        rcZone.InflateRect(20, 20);
    if (!rcZone.PtInRect(pt))
        return FALSE;
    const int nSign = bInside ? 1 : -1;
    const double dDistances[4] = {
        static_cast<double>(nSign * (pt.y - rc.top)), static_cast<double>(nSign * (rc.bottom - pt.y)),
        nSign * (pt.x - rc.left) * dRatio, nSign * (rc.right - pt.x) * dRatio};
    const int kSides[4] = {xtpPaneDockTop, xtpPaneDockBottom, xtpPaneDockLeft, xtpPaneDockRight};
    double dBest = dThreshold;
    int nSide = -1;
    for (int i = 0; i < 4; ++i) {
        if (dDistances[i] >= 0 && dDistances[i] < dBest) {
            dBest = dDistances[i];
            nSide = kSides[i];
        }
    }
    if (nSide < 0 || !AllPanesAccept(xtpPaneActionDocking, pCandidate, nSide))
        return FALSE;
    m_pTarget = pCandidate;
    m_nDirection = nSide;
    m_rcLanding = m_pManager->GetDockingRect(static_cast<XTPDockingPaneDirection>(nSide), pCandidate);
    GetSite()->ClientToScreen(&m_rcLanding);
    return TRUE;
}

void CXTPDockingPaneContext::FindDockTarget(CPoint pt)
{
    CXTPDockingPaneLayout* pLayout = m_pManager->GetLayout();
    if (pLayout == NULL)
        return;
    std::set<CXTPDockingPaneBase*> setSeen;
    for (const XTP_DOCKINGPANE_INFO& info : pLayout->GetPaneList()) {
        CXTPDockingPaneBase* pContainer = info.pPane->GetContainer();
        if (pContainer == NULL || !setSeen.insert(pContainer).second ||
            pContainer->GetType() != xtpPaneTypeTabbedContainer || pContainer->m_pParentContainer == NULL ||
            pContainer->m_pParentContainer->GetType() != xtpPaneTypeSplitterContainer)
            continue;
        CXTPDockingPaneTabbedContainer* pTabbed = static_cast<CXTPDockingPaneTabbedContainer*>(pContainer);
        if (pTabbed->m_hWnd == NULL || !pTabbed->IsWindowVisible() || m_pItem->ContainsPane(pTabbed))
            continue;
        CRect rc;
        pTabbed->GetWindowRect(&rc);
        if (m_bUseDockingStickers) {
            if (rc.PtInRect(pt)) {
                m_pHovered = pTabbed;
                m_rcHovered = rc;
                return;
            }
            continue;
        }
        if (pTabbed->HitTestDockArea(rc, pt) && AllPanesAccept(xtpPaneActionAttaching, pTabbed, 0)) {
            m_pTarget = pTabbed;
            m_bAttach = TRUE;
            m_rcLanding = rc;
            return;
        }
        if (SideTest(rc, pt, pTabbed, TRUE))
            return;
    }
    CXTPDockingPaneBase* pClient = m_pManager->GetClientPane();
    CXTPDockingPaneBase* pTop = GetTopContainer();
    const CRect rcClient = pClient != NULL ? ScreenRectOf(pClient) : CRect();
    const CRect rcTop = pTop != NULL ? ScreenRectOf(pTop) : CRect();
    if (m_bUseDockingStickers) {
        if (pClient != NULL && rcClient.PtInRect(pt)) {
            m_pHovered = pClient;
            m_rcHovered = rcClient;
        } else if (pTop != NULL && rcTop.PtInRect(pt)) {
            m_pHovered = pTop;
            m_rcHovered = rcTop;
        }
        return;
    }
    if (pClient != NULL && SideTest(rcClient, pt, pClient, TRUE))
        return;
    if (pTop != NULL)
        SideTest(rcTop, pt, pTop, FALSE);
}

void AFXAPI CXTPDockingPaneContext::CreateFrameRegion(CRgn* pRgn, CRect rc)
{
    CRect rcInner = rc;
    rcInner.DeflateRect(4, 4);
    rcInner.IntersectRect(rcInner, rc);
    HRGN hOuter = ::CreateRectRgnIndirect(&rc);
    HRGN hInner = ::CreateRectRgnIndirect(&rcInner);
    if (pRgn->m_hObject == NULL)
        pRgn->CreateRectRgn(0, 0, 0, 0);
    ::CombineRgn(static_cast<HRGN>(pRgn->m_hObject), hOuter, hInner, RGN_XOR);
    ::DeleteObject(hOuter);
    ::DeleteObject(hInner);
}

void AFXAPI CXTPDockingPaneContext::CreateOutlineRegion(CRgn* pRgn, CRect rc, BOOL bIntoTabs)
{
    if (!bIntoTabs) {
        CreateFrameRegion(pRgn, rc);
        return;
    }
    const int nStrip = rc.Height() < 40 ? rc.Height() / 2 : 20;
    const int nTabWidth = std::min(50, rc.Width() - 5);
    const CRect rcBody(rc.left, rc.top, rc.right, rc.bottom - nStrip);
    const CRect rcTab(rc.left + 5, rc.bottom - nStrip - 4, rc.left + 5 + nTabWidth, rc.bottom);
    CRgn rgnBody, rgnTab, rgnJoin;
    CreateFrameRegion(&rgnBody, rcBody);
    CreateFrameRegion(&rgnTab, rcTab);
    CRect rcJoin;
    rcJoin.IntersectRect(rcBody, rcTab);
    rcJoin.DeflateRect(4, 0);
    CreateFrameRegion(&rgnJoin, rcJoin);
    if (pRgn->m_hObject == NULL)
        pRgn->CreateRectRgn(0, 0, 0, 0);
    CRgn rgnFrames;
    rgnFrames.CreateRectRgn(0, 0, 0, 0);
    rgnFrames.CombineRgn(&rgnBody, &rgnTab, RGN_OR);
    pRgn->CombineRgn(&rgnFrames, &rgnJoin, RGN_XOR);
}

void CXTPDockingPaneContext::DrawFeedback(BOOL bErase)
{
    CRect rc = m_pTarget != NULL ? m_rcLanding : m_rcDragFrame;
    if (m_pTarget == NULL && !m_bFloatable)
        rc.SetRectEmpty();
    if (!m_bUseAlphaContext) {
        if (m_pDC == NULL)
            return;
        // Only what differs between the old outline and the new is inverted.
        CRgn rgnNew;
        rgnNew.CreateRectRgn(0, 0, 0, 0);
        if (!bErase && !rc.IsRectEmpty())
            CreateOutlineRegion(&rgnNew, rc, m_bAttach);
        CRgn rgnDiff;
        rgnDiff.CreateRectRgn(0, 0, 0, 0);
        if (m_hrgnLast != NULL)
            ::CombineRgn(static_cast<HRGN>(rgnDiff.m_hObject), m_hrgnLast, static_cast<HRGN>(rgnNew.m_hObject),
                         RGN_XOR);
        else
            rgnDiff.CombineRgn(&rgnNew, NULL, RGN_COPY);
        CRect rcBox;
        if (rgnDiff.GetRgnBox(&rcBox) != NULLREGION) {
            HBRUSH hBrush = XTCreateHalftoneBrush();
            m_pDC->SelectClipRgn(&rgnDiff);
            HGDIOBJ hOld = ::SelectObject(m_pDC->m_hDC, hBrush);
            m_pDC->PatBlt(rcBox.left, rcBox.top, rcBox.Width(), rcBox.Height(), PATINVERT);
            ::SelectObject(m_pDC->m_hDC, hOld);
            m_pDC->SelectClipRgn(NULL);
            ::DeleteObject(hBrush);
        }
        if (m_hrgnLast != NULL)
            ::DeleteObject(m_hrgnLast);
        m_hrgnLast = static_cast<HRGN>(rgnNew.Detach());
        m_rcLast = rc;
        return;
    }
    m_rcLast = rc;
    if (m_bAttach != m_bLastAttach) {
        m_bLastAttach = m_bAttach;
        if (m_bAttach)
            m_wndAttachedTab.CreateFeedback(this);
        else if (m_wndAttachedTab.m_hWnd != NULL)
            m_wndAttachedTab.DestroyWindow();
    }
    const UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;
    if (m_bAttach && !rc.IsRectEmpty()) {
        const int nStrip = rc.Height() <= 40 ? rc.Height() / 2 : 20;
        const int nTabWidth = rc.Width() <= 55 ? rc.Width() - 5 : 50;
        CXTPDockingPanePaintManager* pPaintManager = m_pManager->GetPaintManager();
        if (pPaintManager->GetTabPaintManager()->GetPosition() == xtpTabPositionTop && m_pTarget != NULL &&
            m_pTarget->GetType() == xtpPaneTypeTabbedContainer) {
            int y0 = rc.top;
            if (static_cast<CXTPDockingPaneTabbedContainer*>(m_pTarget)->HasCaption())
                y0 += pPaintManager->GetCaptionHeight() + 3;
            m_wndAttachedTab.SetWindowPos(NULL, rc.left + 5, y0, nTabWidth, nStrip, nFlags);
            rc.top = y0 + nStrip;
        } else {
            rc.bottom -= nStrip;
            m_wndAttachedTab.SetWindowPos(NULL, rc.left + 5, rc.bottom, nTabWidth, nStrip, nFlags);
        }
    }
    if (m_wndContext.m_hWnd != NULL) {
        CRect rcWnd;
        m_wndContext.GetWindowRect(&rcWnd);
        if (rcWnd.Size() != rc.Size())
            m_wndContext.DestroyWindow();
    }
    if (m_wndContext.m_hWnd == NULL)
        m_wndContext.CreateFeedback(this);
    if (m_wndContext.m_hWnd != NULL)
        m_wndContext.SetWindowPos(NULL, rc.left, rc.top, rc.Width(), rc.Height(), nFlags);
}

void CXTPDockingPaneContext::BuildMarkers()
{
    if (m_pHovered == m_pLastHovered && !m_lstMarkers.empty())
        return;
    DestroyMarkers();
    m_pLastHovered = m_pHovered;
    if (m_pHovered == NULL)
        return;
    const int nStyle = m_pManager->m_nStickyStyle;
    // The centre group over the hovered container.
    int nKind = xtpMarkerGroup;
    const int kParts[4] = {xtpMarkerLeft, xtpMarkerRight, xtpMarkerBottom, xtpMarkerTop};
    for (int nPart : kParts) {
        if (AllPanesAccept(xtpPaneActionDocking, m_pHovered, DirectionOfPart(nPart)))
            nKind |= nPart;
    }
    if (m_pHovered != m_pManager->GetClientPane() && AllPanesAccept(xtpPaneActionAttaching, m_pHovered, 0))
        nKind |= xtpMarkerCentre;
    const CSize szGroup = GetMarkerSize(xtpMarkerGroup, nStyle);
    const CRect& rcH = m_rcHovered;
    const CPoint ptGroup((rcH.left + rcH.right) / 2 - szGroup.cx / 2, (rcH.top + rcH.bottom) / 2 - szGroup.cy / 2);
    CreateMarkerWnd(CRect(ptGroup, szGroup), nKind);

    // The markers of the whole tree at the edges of the top container.
    CXTPDockingPaneBase* pTop = GetTopContainer();
    const CRect rcTop = ScreenRectOf(pTop);
    const int kOuter[4] = {xtpMarkerTop, xtpMarkerLeft, xtpMarkerBottom, xtpMarkerRight};
    for (int nPart : kOuter) {
        if (!AllPanesAccept(xtpPaneActionDocking, pTop, DirectionOfPart(nPart)))
            continue;
        const CSize sz = GetMarkerSize(nPart, nStyle);
        CPoint pt((rcTop.left + rcTop.right) / 2 - sz.cx / 2, (rcTop.top + rcTop.bottom) / 2 - sz.cy / 2);
        switch (nPart) {
        case xtpMarkerTop:
            pt.y = rcTop.top + 16;
            break;
        case xtpMarkerLeft:
            pt.x = rcTop.left + 16;
            break;
        case xtpMarkerBottom:
            pt.y = rcTop.bottom - 16 - sz.cy;
            break;
        default:
            pt.x = rcTop.right - 16 - sz.cx;
            break;
        }
        CreateMarkerWnd(CRect(pt, sz), nPart);
    }
}

void CXTPDockingPaneContext::DrawPiece(CDC* pDC, UINT nBitmapID, const XTP_DOCKINGPANE_MARKER_PIECE& piece,
                                       CPoint ptDest)
{
    CBitmap bmpSheet;
    if (!GetResourceLoader()->LoadBitmap(&bmpSheet, nBitmapID))
        return;
    const CRect rcSource(piece.rcSource);
    CDC dcSheet, dcPiece;
    dcSheet.CreateCompatibleDC(pDC);
    dcPiece.CreateCompatibleDC(pDC);
    CBitmap bmpPiece;
    if (!bmpPiece.CreateCompatibleBitmap(pDC, rcSource.Width(), rcSource.Height()))
        return;
    CBitmap* pOldSheet = dcSheet.SelectObject(&bmpSheet);
    CBitmap* pOldPiece = dcPiece.SelectObject(&bmpPiece);
    dcPiece.BitBlt(0, 0, rcSource.Width(), rcSource.Height(), &dcSheet, rcSource.left, rcSource.top, SRCCOPY);
    dcPiece.SelectObject(pOldPiece);
    dcSheet.SelectObject(pOldSheet);
    HIMAGELIST hList = ::ImageList_Create(rcSource.Width(), rcSource.Height(), ILC_COLOR24 | ILC_MASK, 0, 1);
    if (hList == NULL)
        return;
    ::ImageList_AddMasked(hList, static_cast<HBITMAP>(bmpPiece.m_hObject), kMaskColour);
    ::ImageList_Draw(hList, 0, pDC->m_hDC, ptDest.x, ptDest.y, ILD_NORMAL);
    ::ImageList_Destroy(hList);
}

void CXTPDockingPaneContext::DrawMarker(CXTPDockingPaneMarkerWnd* pMarker, CDC* pDC)
{
    const int nStyle = m_pManager->m_nStickyStyle;
    const int nKind = pMarker->m_nKind;
    const int nHot = pMarker->m_nHotPart;
    const BOOL bGroup = (nKind & xtpMarkerGroup) != 0;
    auto at = [bGroup](const XTP_DOCKINGPANE_MARKER_PIECE& piece) {
        return bGroup ? CPoint(piece.x, piece.y) : CPoint(0, 0);
    };
    if (nStyle == 1) {
        const UINT nSheet = XTP_IDB_DOCKINGPANE_MARKERS_STYLE1;
        const int nBase = bGroup ? 0 : 11;
        if (bGroup) {
            const XTP_DOCKINGPANE_MARKER_PIECE& piece = kPieces1[nHot == xtpMarkerCentre ? 9 : 10];
            DrawPiece(pDC, nSheet, piece, CPoint(piece.x, piece.y));
        }
        for (const MarkerPart& part : kArmParts) {
            if (nKind & part.nPart) {
                const XTP_DOCKINGPANE_MARKER_PIECE& piece = kPieces1[nBase + part.nEntry + (nHot == part.nPart ? 4 : 0)];
                DrawPiece(pDC, nSheet, piece, at(piece));
            }
        }
        if (nKind & xtpMarkerCentre)
            DrawPiece(pDC, nSheet, kPieces1[8], CPoint(kPieces1[8].x, kPieces1[8].y));
        return;
    }
    const UINT nScheme = GetColorTable()->GetCurrentScheme();
    const UINT nSheet = nScheme == 2   ? XTP_IDB_DOCKINGPANE_MARKERS_OLIVE
                        : nScheme == 3 ? XTP_IDB_DOCKINGPANE_MARKERS_SILVER
                                       : XTP_IDB_DOCKINGPANE_MARKERS_BLUE;
    if (bGroup)
        DrawPiece(pDC, XTP_IDB_DOCKINGPANE_MARKER_SQUARE, kPieces0[10], CPoint(kPieces0[10].x, kPieces0[10].y));
    for (const MarkerPart& part : kArmParts) {
        if (nKind & part.nPart) {
            const XTP_DOCKINGPANE_MARKER_PIECE& piece = kPieces0[part.nEntry + (nHot == part.nPart ? 4 : 0)];
            DrawPiece(pDC, nSheet, piece, at(piece));
        }
    }
    if (nKind & xtpMarkerCentre) {
        const XTP_DOCKINGPANE_MARKER_PIECE& piece = kPieces0[nHot == xtpMarkerCentre ? 9 : 8];
        DrawPiece(pDC, nSheet, piece, CPoint(piece.x, piece.y));
    }
}

int CXTPDockingPaneContext::HitTestMarker(CXTPDockingPaneMarkerWnd* pMarker, CPoint ptScreen)
{
    CPoint pt = ptScreen;
    pMarker->ScreenToClient(&pt);
    CRect rcClient;
    pMarker->GetClientRect(&rcClient);
    if (!rcClient.PtInRect(pt))
        return 0;
    CClientDC dcWindow(pMarker);
    CDC dc;
    dc.CreateCompatibleDC(&dcWindow);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcWindow, rcClient.Width(), rcClient.Height());
    CBitmap* pOld = dc.SelectObject(&bmp);
    dc.FillSolidRect(rcClient, RGB(0, 0, 0));
    const int nStyle = m_pManager->m_nStickyStyle;
    const XTP_DOCKINGPANE_MARKER_PIECE* pPieces = nStyle == 1 ? kPieces1 : kPieces0;
    const UINT nArms = nStyle == 1 ? XTP_IDB_DOCKINGPANE_MARKERS_STYLE1 : XTP_IDB_DOCKINGPANE_MARKERS_BLUE;
    const UINT nCentre = nStyle == 1 ? XTP_IDB_DOCKINGPANE_MARKERS_STYLE1 : XTP_IDB_DOCKINGPANE_MARKER_SQUARE;
    const BOOL bGroup = (pMarker->m_nKind & xtpMarkerGroup) != 0;
    int nAnswer = 0;
    // The pieces stay drawn: a point on an earlier part answers that part.
    for (const MarkerPart& part : kArmParts) {
        if (!(pMarker->m_nKind & part.nPart))
            continue;
        const XTP_DOCKINGPANE_MARKER_PIECE& piece = pPieces[part.nEntry];
        DrawPiece(&dc, nArms, piece, bGroup ? CPoint(piece.x, piece.y) : CPoint(0, 0));
        const COLORREF clr = dc.GetPixel(pt);
        if (clr != 0 && clr != CLR_INVALID) {
            nAnswer = part.nPart;
            break;
        }
    }
    if (nAnswer == 0 && (pMarker->m_nKind & xtpMarkerCentre)) {
        const XTP_DOCKINGPANE_MARKER_PIECE& piece = pPieces[10];
        DrawPiece(&dc, nCentre, piece, CPoint(piece.x, piece.y));
        const COLORREF clr = dc.GetPixel(pt);
        if (clr != 0 && clr != CLR_INVALID)
            nAnswer = xtpMarkerCentre;
    }
    dc.SelectObject(pOld);
    return nAnswer;
}

void AFXAPI CXTPDockingPaneContext::RegionFromBitmap(CRgn* pRgn, CDC* pDC, int nWidth, int nHeight)
{
    if (pRgn->m_hObject == NULL)
        pRgn->CreateRectRgn(0, 0, 0, 0);
    else
        pRgn->SetRectRgn(0, 0, 0, 0);
    for (int y = 0; y < nHeight; ++y) {
        int nStart = -1;
        for (int x = 0; x <= nWidth; ++x) {
            BOOL bInside = FALSE;
            if (x < nWidth) {
                // Black and an unreadable pixel are outside.
                const COLORREF clr = pDC->GetPixel(x, y);
                bInside = clr != 0 && clr != CLR_INVALID;
            }
            if (bInside && nStart < 0) {
                nStart = x;
            } else if (!bInside && nStart >= 0) {
                HRGN hRun = ::CreateRectRgn(nStart, y, x, y + 1);
                ::CombineRgn(static_cast<HRGN>(pRgn->m_hObject), static_cast<HRGN>(pRgn->m_hObject), hRun, RGN_OR);
                ::DeleteObject(hRun);
                nStart = -1;
            }
        }
    }
}

CXTPDockingPaneMarkerWnd* CXTPDockingPaneContext::CreateMarkerWnd(CRect rc, int nKind)
{
    if (nKind == 0 || nKind == xtpMarkerGroup)
        return NULL;
    RegisterPlainClass(kMarkerClassName);
    CXTPDockingPaneMarkerWnd* pMarker = new CXTPDockingPaneMarkerWnd(this);
    m_lstMarkers.push_back(pMarker);
    pMarker->CreateEx(WS_EX_TOOLWINDOW, kMarkerClassName, NULL, WS_POPUP, CRect(0, 0, 0, 0), GetSite(), 0);
    pMarker->m_nKind = nKind;
    if (pMarker->m_hWnd == NULL)
        return pMarker;
    HRGN& hRegion = m_mapRegions[nKind];
    if (hRegion == NULL) {
        // Built once per drag for each kind, from the marker drawn on black.
        CClientDC dcWindow(pMarker);
        CDC dc;
        dc.CreateCompatibleDC(&dcWindow);
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&dcWindow, rc.Width(), rc.Height());
        CBitmap* pOld = dc.SelectObject(&bmp);
        dc.FillSolidRect(0, 0, rc.Width(), rc.Height(), RGB(0, 0, 0));
        DrawMarker(pMarker, &dc);
        CRgn rgn;
        RegionFromBitmap(&rgn, &dc, rc.Width(), rc.Height());
        dc.SelectObject(pOld);
        hRegion = static_cast<HRGN>(rgn.Detach());
    }
    HRGN hCopy = ::CreateRectRgn(0, 0, 0, 0);
    ::CombineRgn(hCopy, hRegion, NULL, RGN_COPY);
    ::SetWindowRgn(pMarker->m_hWnd, hCopy, FALSE);
    pMarker->SetWindowPos(NULL, rc.left, rc.top, rc.Width(), rc.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return pMarker;
}

void CXTPDockingPaneContext::DestroyMarkers()
{
    while (!m_lstMarkers.empty()) {
        CXTPDockingPaneMarkerWnd* pMarker = m_lstMarkers.front();
        m_lstMarkers.erase(m_lstMarkers.begin());
        if (pMarker->m_hWnd != NULL)
            pMarker->DestroyWindow();
        delete pMarker;
    }
}
