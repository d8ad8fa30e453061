#include "docking_pane_tabbed_container.h"

#include "docking_pane.h"
#include "docking_pane_context.h"
#include "docking_pane_layout.h"
#include "docking_pane_manager.h"
#include "docking_pane_splitter_container.h"
#include "prop_exchange.h"
#include "resource_loader.h"
#include "tab_paint_manager.h"
#include "tooltip_controller.h"

#include <afxpriv.h>

#include <algorithm>

namespace {

const wchar_t kTabbedContainerClassName[] = L"XTPDockingPaneTabbedContainer";

CPoint PointFromLParam(LPARAM lParam)
{
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

} // namespace

CXTPDockingPaneTabbedContainer::CXTPDockingPaneTabbedContainer(CXTPDockingPaneLayout* pLayout)
    : CXTPDockingPaneBase(xtpPaneTypeTabbedContainer, pLayout)
{
    for (int nID : {XTP_IDS_DOCKINGPANE_CLOSE, XTP_IDS_DOCKINGPANE_MAXIMIZE, XTP_IDS_DOCKINGPANE_RESTORE,
                    XTP_IDS_DOCKINGPANE_AUTOHIDE, XTP_IDS_DOCKINGPANE_MENU})
        m_arrCaptionButtons.push_back(new CXTPDockingPaneCaptionButton(nID, this));
}

CXTPDockingPaneTabbedContainer::~CXTPDockingPaneTabbedContainer()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

CXTPDockingPaneCaptionButton* CXTPDockingPaneTabbedContainer::FindCaptionButton(int nID) const
{
    for (CXTPDockingPaneCaptionButton* pButton : m_arrCaptionButtons) {
        if (pButton->GetID() == nID)
            return pButton;
    }
    return NULL;
}

BOOL CXTPDockingPaneTabbedContainer::CreateContainerWindow()
{
    if (m_hWnd != NULL)
        return TRUE;
    if (m_pParentFrame == NULL || m_pParentFrame->m_hWnd == NULL)
        return FALSE;
    WNDCLASSW wc = {};
    if (!::GetClassInfoW(AfxGetInstanceHandle(), kTabbedContainerClassName, &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = kTabbedContainerClassName;
        AfxRegisterClass(&wc);
    }
    if (!CreateEx(0, kTabbedContainerClassName, NULL,
                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(0, 0, 0, 0),
                  m_pParentFrame, 0))
        return FALSE;
    // Panes attached while there was no window bring their child windows in now.
    for (CXTPDockingPane* pPane : m_lstPanes) {
        if (pPane->GetChild() != NULL)
            ::SetParent(pPane->GetChild(), m_hWnd);
    }
    return TRUE;
}

CXTPTabPaintManager* CXTPDockingPaneTabbedContainer::GetPaintManager() const
{
    return GetDockingPaneManager()->GetPaintManager()->GetTabPaintManager();
}

void CXTPDockingPaneTabbedContainer::Reposition()
{
    if (m_nLockReposition > 0)
        return;
    GetDockingPaneManager()->RedrawPanes();
}

void CXTPDockingPaneTabbedContainer::RedrawControl()
{
    if (m_nLockReposition > 0 || m_hWnd == NULL)
        return;
    ::InvalidateRect(m_hWnd, NULL, FALSE);
}

BOOL CXTPDockingPaneTabbedContainer::DrawItemIcon(CDC* pDC, CXTPTabManagerItem* pItem, CPoint pt,
                                                  CSize szIcon, BOOL bDraw)
{
    if (!GetPaintManager()->m_bShowIcons)
        return FALSE;
    CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(pItem->GetData());
    HICON hIcon = pPane != NULL ? pPane->GetIcon(szIcon.cx) : NULL;
    if (hIcon == NULL)
        return FALSE;
    if (bDraw)
        ::DrawIconEx(pDC->GetSafeHdc(), pt.x, pt.y, hIcon, szIcon.cx, szIcon.cy, 0, NULL, DI_NORMAL);
    return TRUE;
}

void CXTPDockingPaneTabbedContainer::UpdateTabs()
{
    ++m_nLockReposition;
    DeleteAllItems();
    for (CXTPDockingPane* pPane : m_lstPanes) {
        CXTPTabManagerItem* pItem = InsertItem(-1);
        pItem->SetCaption(pPane->GetShortTitle());
        pItem->SetColor(pPane->GetTabColor());
        pItem->SetToolTip(pPane->GetTitle());
        pItem->SetData(pPane);
        if (pPane == m_pSelectedPane)
            SetSelectedItem(pItem);
    }
    --m_nLockReposition;
    if (m_hWnd != NULL)
        ::InvalidateRect(m_hWnd, NULL, FALSE);
}

BOOL CXTPDockingPaneTabbedContainer::HasCaption() const
{
    return m_bShowCaption && m_pSelectedPane != NULL &&
           !(m_pSelectedPane->GetEffectiveOptions() & xtpPaneNoCaption);
}

CString CXTPDockingPaneTabbedContainer::GetCaptionText() const
{
    return m_pSelectedPane != NULL ? m_pSelectedPane->GetTitle() : CString();
}

BOOL CXTPDockingPaneTabbedContainer::IsCaptionVertical() const
{
    switch (GetDockingPaneManager()->m_nCaptionDirection) {
    case 0:
        return FALSE;
    case 2: {
        const int nDirection = GetDockingPaneManager()->GetPaneDirection(this);
        return nDirection == xtpPaneDockTop || nDirection == xtpPaneDockBottom;
    }
    case 3:
        return m_rcWindow.Width() > m_rcWindow.Height();
    default:
        return TRUE;
    }
}

BOOL CXTPDockingPaneTabbedContainer::IsTabsVisible() const
{
    // An auto-hidden group shows its tabs on the side panel.
    if (IsHidden())
        return FALSE;
    return m_lstPanes.size() >= 2;
}

BOOL CXTPDockingPaneTabbedContainer::IsHidden() const
{
    return m_pParentContainer != NULL && m_pParentContainer->GetType() == xtpPaneTypeSidePanel;
}

BOOL CXTPDockingPaneTabbedContainer::IsMaximizePossible() const
{
    if (!GetDockingPaneManager()->m_bShowMaximizeButton || m_pParentContainer == NULL ||
        m_pParentContainer->GetType() != xtpPaneTypeSplitterContainer)
        return FALSE;
    int nTabbed = 0;
    for (CXTPDockingPaneBase* pChild :
         static_cast<CXTPDockingPaneSplitterContainer*>(m_pParentContainer)->GetPanes()) {
        if (pChild->GetType() == xtpPaneTypeTabbedContainer)
            ++nTabbed;
    }
    return nTabbed > 1;
}

BOOL CXTPDockingPaneTabbedContainer::IsCollapsed() const
{
    if (m_bMaximized || m_pParentContainer == NULL ||
        m_pParentContainer->GetType() != xtpPaneTypeSplitterContainer)
        return FALSE;
    for (CXTPDockingPaneBase* pChild :
         static_cast<CXTPDockingPaneSplitterContainer*>(m_pParentContainer)->GetPanes()) {
        if (pChild != this && pChild->GetType() == xtpPaneTypeTabbedContainer &&
            static_cast<CXTPDockingPaneTabbedContainer*>(pChild)->m_bMaximized)
            return TRUE;
    }
    return FALSE;
}

BOOL CXTPDockingPaneTabbedContainer::IsCaptionButtonVisible(CXTPDockingPaneCaptionButton* pButton)
{
    const DWORD dwOptions = m_pSelectedPane != NULL ? m_pSelectedPane->GetEffectiveOptions() : 0;
    switch (pButton->GetID()) {
    case XTP_IDS_DOCKINGPANE_CLOSE:
        return m_pSelectedPane != NULL && !(dwOptions & xtpPaneNoCloseable);
    case XTP_IDS_DOCKINGPANE_AUTOHIDE:
        return m_pSelectedPane != NULL && !(dwOptions & xtpPaneNoHideable) && (pButton->GetState() & 1);
    case XTP_IDS_DOCKINGPANE_MAXIMIZE:
        return IsMaximizePossible() && !m_bMaximized;
    case XTP_IDS_DOCKINGPANE_RESTORE:
        return IsMaximizePossible() && m_bMaximized;
    case XTP_IDS_DOCKINGPANE_MENU:
        return m_pSelectedPane != NULL && (dwOptions & xtpPaneHasMenuButton);
    default:
        return TRUE;
    }
}

void CXTPDockingPaneTabbedContainer::SelectPane(CXTPDockingPane* pPane, BOOL bSetFocus, BOOL bActivate)
{
    if (pPane != m_pSelectedPane) {
        m_pSelectedPane = pPane;
        for (int i = 0; i < GetItemCount(); ++i) {
            if (GetItem(i)->GetData() == pPane) {
                ++m_nLockReposition;
                SetSelectedItem(GetItem(i));
                --m_nLockReposition;
            }
        }
        if (bActivate) {
            DelayLayoutFrame();
            if (m_pParentContainer != NULL)
                m_pParentContainer->OnChildChanged(this);
        } else {
            RecalcLayout(FALSE);
        }
        if (m_hWnd != NULL)
            ::InvalidateRect(m_hWnd, NULL, FALSE);
    }
    if (bSetFocus && m_bActive && pPane != NULL) {
        GetDockingPaneManager()->SetActivePane(TRUE, pPane);
        pPane->SetFocus();
    }
}

void CXTPDockingPaneTabbedContainer::AttachPane(CXTPDockingPane* pPane, BOOL bSetFocus)
{
    if (m_hWnd == NULL && !m_pLayout->IsNotShown())
        CreateContainerWindow();
    m_lstPanes.push_back(pPane);
    pPane->SetParentContainer(this);
    pPane->SetParentFrame(m_pParentFrame);
    DelayLayoutFrame();
    UpdateTabs();
    SelectPane(pPane, bSetFocus, TRUE);
    if (m_pParentContainer != NULL)
        m_pParentContainer->OnChildChanged(this);
}

void CXTPDockingPaneTabbedContainer::RemovePane(CXTPDockingPaneBase* pBase)
{
    auto it = std::find(m_lstPanes.begin(), m_lstPanes.end(), pBase);
    if (it == m_lstPanes.end())
        return;
    CXTPDockingPane* pPane = *it;
    m_lstPanes.erase(it);
    if (m_pTrackingPane == pPane)
        m_pTrackingPane = NULL;
    const BOOL bSelected = pPane == m_pSelectedPane;
    if (bSelected)
        m_pSelectedPane = NULL;
    UpdateTabs();
    pPane->SetParentContainer(NULL);
    if (m_pParentContainer != NULL)
        m_pParentContainer->OnChildChanged(this);
    if (m_lstPanes.empty() && m_hWnd != NULL)
        DestroyWindow();
    DelayLayoutFrame();
    if (bSelected && !m_lstPanes.empty())
        SelectPane(m_lstPanes.back(), FALSE, TRUE);
}

BOOL CXTPDockingPaneTabbedContainer::ContainsPane(CXTPDockingPaneBase* pPane) const
{
    if (pPane == this)
        return TRUE;
    return std::find(m_lstPanes.begin(), m_lstPanes.end(), pPane) != m_lstPanes.end();
}

void CXTPDockingPaneTabbedContainer::FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList)
{
    CXTPDockingPaneBase::FindPane(type, pList);
    for (CXTPDockingPane* pPane : m_lstPanes)
        pPane->FindPane(type, pList);
}

void CXTPDockingPaneTabbedContainer::GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo) const
{
    CXTPDockingPaneBase::GetMinMaxInfo(pMinMaxInfo);
    for (CXTPDockingPane* pPane : m_lstPanes) {
        MINMAXINFO mmi;
        pPane->GetMinMaxInfo(&mmi);
        pMinMaxInfo->ptMinTrackSize.x = std::max(pMinMaxInfo->ptMinTrackSize.x, mmi.ptMinTrackSize.x);
        pMinMaxInfo->ptMinTrackSize.y = std::max(pMinMaxInfo->ptMinTrackSize.y, mmi.ptMinTrackSize.y);
        pMinMaxInfo->ptMaxTrackSize.x = std::min(pMinMaxInfo->ptMaxTrackSize.x, mmi.ptMaxTrackSize.x);
        pMinMaxInfo->ptMaxTrackSize.y = std::min(pMinMaxInfo->ptMaxTrackSize.y, mmi.ptMaxTrackSize.y);
    }
}

void CXTPDockingPaneTabbedContainer::GetClientPaneRect(CRect& rc)
{
    CWnd::GetClientRect(&rc);
    GetDockingPaneManager()->GetPaintManager()->AdjustClientRect(this, rc, TRUE);
}

void CXTPDockingPaneTabbedContainer::OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam)
{
    (void)lParam;
    m_rcWindow = rect;
    if (m_pParentFrame == NULL)
        m_pParentFrame = pParent;
    if (m_hWnd == NULL && !m_pLayout->IsNotShown() && !m_lstPanes.empty())
        CreateContainerWindow();
    CXTPDockingPaneCaptionButton* pPin = FindCaptionButton(XTP_IDS_DOCKINGPANE_AUTOHIDE);
    pPin->SetState(IsHidden() ? 3 : (m_pParentFrame == GetDockingPaneManager()->GetSite() ? 1 : 0));
    if (m_hWnd == NULL)
        return;
    ::SetWindowPos(m_hWnd, HWND_BOTTOM, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, NULL, FALSE);
    CRect rcClient;
    GetClientPaneRect(rcClient);
    const BOOL bLaidOut = GetDockingPaneManager()->IsLaidOut();
    for (CXTPDockingPane* pPane : m_lstPanes) {
        pPane->OnSizeParent(this, rcClient, NULL);
        // Until the first pass of the frame's layout, panes keep their child windows as they are.
        if (bLaidOut || pPane != m_pSelectedPane)
            pPane->ShowChildWindow(pPane == m_pSelectedPane);
    }
}

void CXTPDockingPaneTabbedContainer::RecalcLayout(BOOL bDelay)
{
    if (m_hWnd != NULL && !m_rcWindow.IsRectEmpty())
        OnSizeParent(m_pParentFrame, m_rcWindow, NULL);
    CXTPDockingPaneBase::RecalcLayout(bDelay);
}

void CXTPDockingPaneTabbedContainer::OnIdleUpdate()
{
    if (m_hWnd == NULL)
        return;
    HWND hwndFocus = ::GetFocus();
    BOOL bActive = hwndFocus != NULL && (hwndFocus == m_hWnd || ::IsChild(m_hWnd, hwndFocus));
    if (!bActive && hwndFocus != NULL) {
        HWND hwndOwner = ::GetWindow(hwndFocus, GW_OWNER);
        HWND hwndParent = ::GetParent(hwndFocus);
        bActive = (hwndOwner != NULL && (hwndOwner == m_hWnd || ::IsChild(m_hWnd, hwndOwner))) ||
                  (hwndParent != NULL && (hwndParent == m_hWnd || ::IsChild(m_hWnd, hwndParent)));
    }
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    if (bActive != m_bActive) {
        m_bActive = bActive;
        pManager->SetActivePane(bActive, m_pSelectedPane);
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    } else if (m_bActive && pManager->GetActivePane() != m_pSelectedPane) {
        pManager->SetActivePane(TRUE, m_pSelectedPane);
    }
    if (m_pSelectedPane != NULL && m_pSelectedPane->GetChild() != NULL)
        ::SendMessage(m_pSelectedPane->GetChild(), WM_IDLEUPDATECMDUI, TRUE, 0);
}

void CXTPDockingPaneTabbedContainer::SetParentFrame(CWnd* pFrame)
{
    m_pParentFrame = pFrame;
    if (m_hWnd != NULL && pFrame != NULL && pFrame->m_hWnd != NULL && ::GetParent(m_hWnd) != pFrame->m_hWnd)
        ::SetParent(m_hWnd, pFrame->m_hWnd);
    for (CXTPDockingPane* pPane : m_lstPanes)
        pPane->SetParentFrame(pFrame);
}

void CXTPDockingPaneTabbedContainer::OnParentChanged(CXTPDockingPaneBase* pParent)
{
    SetParentFrame(pParent->m_pParentFrame);
    m_bShowCaption = TRUE;
    if (pParent->GetType() == xtpPaneTypeSidePanel && m_hWnd != NULL)
        ShowWindow(SW_HIDE);
}

void CXTPDockingPaneTabbedContainer::RedrawPane()
{
    if (m_hWnd != NULL)
        ::InvalidateRect(m_hWnd, NULL, FALSE);
}

int CXTPDockingPaneTabbedContainer::HitTest(CPoint point) const
{
    if (m_hWnd == NULL)
        return -1;
    CRect rc;
    ::GetClientRect(m_hWnd, &rc);
    CRect rcClient = rc;
    GetDockingPaneManager()->GetPaintManager()->AdjustCaptionRect(this, rcClient);
    if (rc.PtInRect(point) && !rcClient.PtInRect(point))
        return -2;
    if (!IsTabsVisible())
        return -1;
    CXTPTabManagerItem* pItem = CXTPTabManager::HitTest(point);
    return pItem != NULL ? pItem->GetIndex() : -1;
}

CXTPDockingPane* CXTPDockingPaneTabbedContainer::GetItemPane(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_lstPanes.size()))
        return NULL;
    return m_lstPanes[nIndex];
}

BOOL CXTPDockingPaneTabbedContainer::HitTestDockArea(const CRect& rect, CPoint point) const
{
    CRect rc = rect;
    const CXTPDockingPanePaintManager* pPaintManager = GetDockingPaneManager()->GetPaintManager();
    if (!HasCaption()) {
        if (m_pParentFrame != NULL && m_pParentFrame->m_hWnd != NULL) {
            m_pParentFrame->GetWindowRect(&rc);
            if (rc.PtInRect(point))
                return TRUE;
        }
    } else {
        CRect rcCaption = rc;
        if (IsCaptionVertical())
            rcCaption.right = rcCaption.left + pPaintManager->GetCaptionHeight() + 3;
        else
            rcCaption.bottom = rcCaption.top + pPaintManager->GetCaptionHeight() + 3;
        if (rcCaption.PtInRect(point))
            return TRUE;
    }
    if (IsTabsVisible()) {
        CRect rcTabs = rect;
        rcTabs.top = rcTabs.bottom - pPaintManager->GetTabsHeight();
        return rcTabs.PtInRect(point);
    }
    return FALSE;
}

void CXTPDockingPaneTabbedContainer::OnCaptionLButtonDown(CPoint point)
{
    if (m_pSelectedPane != NULL && m_pSelectedPane->GetChild() != NULL)
        m_pSelectedPane->SetFocus();
    else
        SetFocus();
    if (IsHidden() || ::GetKeyState(VK_LBUTTON) >= 0)
        return;
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    GetDockingPaneManager()->GetDockingContext()->Drag(this, ptScreen);
}

void CXTPDockingPaneTabbedContainer::ClosePaneByButton(CXTPDockingPane* pPane)
{
    if (pPane->GetEffectiveOptions() & xtpPaneNoCloseable)
        return;
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    if (pManager->NotifyOwner(xtpPaneActionClosing, pPane, this, 0))
        return;
    // The reference keeps the pane through the site's handler of the report.
    pPane->InternalAddRef();
    pManager->ClosePane(pPane);
    pManager->NotifyOwner(xtpPaneActionClosed, pPane, NULL, 0);
    pPane->InternalRelease();
}

void CXTPDockingPaneTabbedContainer::OnCaptionButtonClick(CXTPDockingPaneCaptionButton* pButton)
{
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    switch (pButton->GetID()) {
    case XTP_IDS_DOCKINGPANE_AUTOHIDE:
        if (IsHidden()) {
            if (pManager->m_bHideGroupOnButtonClick)
                pManager->ToggleDocking(this);
            else if (m_pSelectedPane != NULL)
                pManager->ToggleDocking(m_pSelectedPane);
        } else if (m_pSelectedPane != NULL) {
            CXTPDockingPane* pSelected = m_pSelectedPane;
            if (pManager->NotifyOwner(xtpPaneActionPinning, pSelected, this, 0))
                return;
            const int nDirection = pManager->GetPaneDirection(this);
            const BOOL bSide = nDirection == xtpPaneDockLeft || nDirection == xtpPaneDockRight;
            for (CXTPDockingPane* pPane : m_lstPanes) {
                if (bSide)
                    pPane->m_szDocking.cx = m_rcWindow.Width();
                else
                    pPane->m_szDocking.cy = m_rcWindow.Height();
            }
            if (bSide)
                m_szDocking.cx = m_rcWindow.Width();
            else
                m_szDocking.cy = m_rcWindow.Height();
            pManager->HidePane(pSelected);
            pManager->NotifyOwner(xtpPaneActionPinned, pSelected, NULL, 0);
        }
        break;
    case XTP_IDS_DOCKINGPANE_CLOSE:
        if (pManager->m_bCloseGroupOnButtonClick) {
            const std::vector<CXTPDockingPane*> panes = m_lstPanes;
            for (CXTPDockingPane* pPane : panes)
                ClosePaneByButton(pPane);
        } else if (m_pSelectedPane != NULL) {
            ClosePaneByButton(m_pSelectedPane);
        }
        break;
    case XTP_IDS_DOCKINGPANE_MAXIMIZE:
    case XTP_IDS_DOCKINGPANE_RESTORE:
        if (pButton->GetID() == XTP_IDS_DOCKINGPANE_MAXIMIZE && m_pParentContainer != NULL &&
            m_pParentContainer->GetType() == xtpPaneTypeSplitterContainer) {
            for (CXTPDockingPaneBase* pChild :
                 static_cast<CXTPDockingPaneSplitterContainer*>(m_pParentContainer)->GetPanes()) {
                if (pChild->GetType() == xtpPaneTypeTabbedContainer)
                    static_cast<CXTPDockingPaneTabbedContainer*>(pChild)->m_bMaximized = pChild == this;
            }
        } else {
            m_bMaximized = FALSE;
        }
        if (m_pParentContainer != NULL)
            m_pParentContainer->OnChildChanged(this);
        if (CFrameWnd* pFrame = GetParentFrameWnd())
            pFrame->RecalcLayout();
        break;
    default:
        break;
    }
}

void CXTPDockingPaneTabbedContainer::CopyFrom(CXTPDockingPaneTabbedContainer* pOther, CXTPPaneToPaneMap* pMap,
                                              DWORD dwIgnoredOptions)
{
    m_pParentFrame = pOther->m_pParentFrame;
    m_rcWindow = pOther->m_rcWindow;
    m_szDocking = pOther->m_szDocking;
    m_bShowCaption = TRUE;
    m_bMaximized = FALSE;
    CXTPDockingPane* pSelected = pOther->m_pSelectedPane;
    BOOL bSelectedMoved = FALSE;
    const std::vector<CXTPDockingPane*> panes = pOther->m_lstPanes;
    for (CXTPDockingPane* pPane : panes) {
        if (pMap != NULL) {
            CXTPDockingPaneBase* pClone = pPane->Clone(m_pLayout, pMap, dwIgnoredOptions);
            if (pClone != NULL)
                AttachPane(static_cast<CXTPDockingPane*>(pClone));
            continue;
        }
        if (pPane->GetEffectiveOptions() & dwIgnoredOptions)
            continue;
        pOther->RemovePane(pPane);
        AttachPane(pPane);
        bSelectedMoved = bSelectedMoved || pPane == pSelected;
    }
    if (bSelectedMoved)
        SelectPane(pSelected, FALSE, TRUE);
}

CXTPDockingPaneBase* CXTPDockingPaneTabbedContainer::Clone(CXTPDockingPaneLayout* pLayout,
                                                           CXTPPaneToPaneMap* pMap, DWORD dwIgnoredOptions)
{
    CXTPDockingPaneBase* pClone =
        GetDockingPaneManager()->CreatePaneOfType(xtpPaneTypeTabbedContainer, pLayout);
    if (pClone == NULL)
        return NULL;
    static_cast<CXTPDockingPaneTabbedContainer*>(pClone)->CopyFrom(this, pMap, dwIgnoredOptions);
    if (pMap != NULL)
        (*pMap)[this] = pClone;
    return pClone;
}

BOOL CXTPDockingPaneTabbedContainer::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPDockingPaneBase::DoPropExchange(pPX);
    if (pPX->IsStoring()) {
        long nCount = static_cast<long>(m_lstPanes.size());
        ExchangeLong(pPX, L"Panes", nCount);
        int nSelected = m_pSelectedPane != NULL ? m_pSelectedPane->m_nIndex : 0;
        ExchangeInt(pPX, L"Selected", nSelected, 0);
        XTPStorePaneIndexes(pPX, m_lstPanes);
        return TRUE;
    }
    long nCount = 0;
    ExchangeLong(pPX, L"Panes", nCount);
    int nSelected = 0;
    ExchangeInt(pPX, L"Selected", nSelected, 0);
    // A crafted count ends at the first missing entry.
    for (long i = 0; i < nCount; ++i) {
        long nIndex = 0;
        XTPExchangePaneIndex(pPX, static_cast<int>(i + 1), nIndex);
        if (m_pLayout->IsDroppedIndex(nIndex))
            continue;
        CXTPDockingPaneBase* pNode = m_pLayout->FindIndex(nIndex);
        if (pNode == NULL || pNode->GetType() != xtpPaneTypeDockingPane || pNode->m_pParentContainer != NULL)
            return FALSE;
        AttachPane(static_cast<CXTPDockingPane*>(pNode));
    }
    for (CXTPDockingPane* pPane : m_lstPanes) {
        if (pPane->m_nIndex == nSelected)
            SelectPane(pPane, m_hWnd != NULL, TRUE);
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------------
// Input

BOOL CXTPDockingPaneTabbedContainer::TrackCaptionButton(CXTPDockingPaneCaptionButton* pButton)
{
    const HWND hWnd = m_hWnd;
    return XTPTrackCaptionButton(
        hWnd, pButton, [](CPoint pt) { return pt; }, [hWnd]() { ::InvalidateRect(hWnd, NULL, FALSE); });
}

void CXTPDockingPaneTabbedContainer::OnLButtonDown(CPoint point)
{
    for (CXTPDockingPaneCaptionButton* pButton : m_arrCaptionButtons) {
        if (!pButton->GetRect().IsRectEmpty() && pButton->PtInRect(point) && pButton->IsVisible()) {
            if (m_pSelectedPane != NULL && m_pSelectedPane->GetChild() != NULL)
                m_pSelectedPane->SetFocus();
            else
                SetFocus();
            if (pButton->GetID() == XTP_IDS_DOCKINGPANE_MENU) {
                struct
                {
                    CXTPDockingPane* pPane;
                    POINT pt;
                } menu = {m_pSelectedPane, {pButton->GetRect().left, pButton->GetRect().bottom}};
                ClientToScreen(&menu.pt);
                pButton->m_bPressed = TRUE;
                RedrawWindow();
                CWnd* pSite = GetDockingPaneManager()->GetSite();
                if (pSite != NULL && pSite->m_hWnd != NULL)
                    pSite->SendMessage(XTPWM_DOCKINGPANE_NOTIFY, XTP_DPN_CONTEXTMENU,
                                       reinterpret_cast<LPARAM>(&menu));
                pButton->m_bPressed = FALSE;
                if (m_hWnd != NULL)
                    ::InvalidateRect(m_hWnd, NULL, FALSE);
            } else if (TrackCaptionButton(pButton)) {
                OnCaptionButtonClick(pButton);
            }
            return;
        }
    }
    const int nHit = HitTest(point);
    if (nHit >= 0) {
        m_lstRects.clear();
        for (int i = 0; i < GetItemCount(); ++i)
            m_lstRects.push_back(GetItem(i)->GetRect());
        m_pTrackingPane = GetItemPane(nHit);
        SelectPane(m_pTrackingPane, FALSE, TRUE);
        SetCapture();
        return;
    }
    if (nHit == -2) {
        OnCaptionLButtonDown(point);
        return;
    }
    if (m_pSelectedPane != NULL && m_pSelectedPane->GetChild() != NULL)
        m_pSelectedPane->SetFocus();
    else
        SetFocus();
}

void CXTPDockingPaneTabbedContainer::SwapPanes(int nFirst, int nSecond)
{
    std::swap(m_lstPanes[nFirst], m_lstPanes[nSecond]);
    UpdateTabs();
    if (m_hWnd != NULL && !m_rcWindow.IsRectEmpty())
        OnSizeParent(m_pParentFrame, m_rcWindow, NULL);
}

void CXTPDockingPaneTabbedContainer::OnMouseMove(CPoint point)
{
    if (m_pTrackingPane == NULL)
        return;
    const int nPressed = static_cast<int>(std::find(m_lstPanes.begin(), m_lstPanes.end(), m_pTrackingPane) -
                                          m_lstPanes.begin());
    for (int i = 0; i < static_cast<int>(m_lstRects.size()) && i < static_cast<int>(m_lstPanes.size()); ++i) {
        if (!m_lstRects[i].PtInRect(point))
            continue;
        if (i != nPressed)
            SwapPanes(i, nPressed);
        return;
    }
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    if (pManager->NotifyOwner(xtpPaneActionDetaching, m_pTrackingPane, this, 0))
        return;
    m_pTrackingPane = NULL;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    pManager->GetDockingContext()->Drag(m_pSelectedPane, ptScreen);
}

void CXTPDockingPaneTabbedContainer::OnLButtonDblClk(CPoint point)
{
    for (CXTPDockingPaneCaptionButton* pButton : m_arrCaptionButtons) {
        if (pButton->PtInRect(point) && pButton->IsVisible())
            return;
    }
    const int nHit = HitTest(point);
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    if (nHit >= 0) {
        pManager->ToggleDocking(GetItemPane(nHit));
    } else if (nHit == -2) {
        if (IsHidden() && m_pSelectedPane != NULL &&
            (m_pSelectedPane->GetEffectiveOptions() & xtpPaneNoHideable))
            return;
        pManager->ToggleDocking(this);
    }
}

void CXTPDockingPaneTabbedContainer::OnRButtonDown(CPoint point)
{
    CXTPDockingPane* pPane = GetItemPane(HitTest(point));
    if (pPane != NULL) {
        SelectPane(pPane, TRUE, TRUE);
        pPane->SetFocus();
    }
    CWnd* pSite = GetDockingPaneManager()->GetSite();
    if (pSite != NULL && pSite->m_hWnd != NULL)
        pSite->SendMessage(XTPWM_DOCKINGPANE_NOTIFY, XTP_DPN_RCLICK, reinterpret_cast<LPARAM>(pPane));
}

void CXTPDockingPaneTabbedContainer::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    CWnd::GetClientRect(&rc);
    if (rc.IsRectEmpty())
        return;
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
    CBitmap* pOldBitmap = memDC.SelectObject(&bitmap);
    GetDockingPaneManager()->GetPaintManager()->DrawPane(&memDC, this, rc);
    dc.BitBlt(0, 0, rc.Width(), rc.Height(), &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOldBitmap);
}

INT_PTR CXTPDockingPaneTabbedContainer::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    for (CXTPDockingPaneCaptionButton* pButton : m_arrCaptionButtons) {
        if (pButton->GetRect().IsRectEmpty() || !pButton->PtInRect(point) || !pButton->IsVisible())
            continue;
        CString strTip;
        GetResourceLoader()->LoadString(&strTip, static_cast<UINT>(pButton->GetID()));
        if (strTip.IsEmpty())
            break;
        CXTPToolTipController::FillToolInfo(pTI, m_hWnd, pButton->GetRect(),
                                            static_cast<UINT_PTR>(pButton->GetID()), strTip);
        return pButton->GetID();
    }
    if (!IsTabsVisible())
        return -1;
    CXTPDockingPaneTabbedContainer* pThis = const_cast<CXTPDockingPaneTabbedContainer*>(this);
    return pThis->FillToolInfo(m_hWnd, pThis->CXTPTabManager::HitTest(point), pTI);
}

LRESULT CXTPDockingPaneTabbedContainer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (CXTPToolTipController* pToolTips = GetDockingPaneManager()->GetToolTipController())
        pToolTips->FilterToolTipMessage(this, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_LBUTTONDOWN:
        OnLButtonDown(PointFromLParam(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (m_pTrackingPane != NULL) {
            m_pTrackingPane = NULL;
            if (message == WM_LBUTTONUP && ::GetCapture() == m_hWnd)
                ::ReleaseCapture();
        }
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(PointFromLParam(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(PointFromLParam(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(PointFromLParam(lParam));
        return 0;
    case WM_HELPHITTEST: {
        CXTPDockingPane* pPane = GetItemPane(HitTest(PointFromLParam(lParam)));
        if (pPane == NULL)
            pPane = m_pSelectedPane;
        if (pPane == NULL)
            return 0;
        return 0x20000 + (pPane->GetHelpID() != 0 ? pPane->GetHelpID() : pPane->GetID());
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
