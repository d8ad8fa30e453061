#include "docking_pane_manager.h"

#include "color_table.h"
#include "docking_pane_auto_hide.h"
#include "docking_pane_context.h"
#include "docking_pane_mini_wnd.h"
#include "docking_pane_splitter_container.h"
#include "docking_pane_tabbed_container.h"
#include "docking_pane_themes.h"
#include "image_manager.h"
#include "tooltip_controller.h"

#include <afxpriv.h>

#include <algorithm>

CXTPDockingPaneManager::CXTPDockingPaneManager()
{
    SetTheme(0);
    m_pImageManager = new CXTPImageManager();
    m_pDockingContext = new CXTPDockingPaneContext(this);
    m_pToolTipContext = new CXTPToolTipController();
    ::OleInitialize(NULL);
}

CXTPDockingPaneManager::~CXTPDockingPaneManager()
{
    if (m_hWnd != NULL)
        DestroyWindow();
    if (m_pLayout != NULL) {
        m_pLayout->InternalRelease();
        m_pLayout = NULL;
    }
    if (m_pActivePane != NULL) {
        m_pActivePane->InternalRelease();
        m_pActivePane = NULL;
    }
    m_pPaintManager->InternalRelease();
    m_pPaintManager = NULL;
    m_pToolTipContext->InternalRelease();
    m_pToolTipContext = NULL;
    delete m_pDockingContext;
    m_pDockingContext = NULL;
    m_pImageManager->InternalRelease();
    m_pImageManager = NULL;
    ::OleUninitialize();
}

CXTPDockingPaneLayout* CXTPDockingPaneManager::CreateLayout()
{
    return new CXTPDockingPaneLayout(this);
}

CXTPDockingPaneBase* CXTPDockingPaneManager::CreatePaneOfType(int type, CXTPDockingPaneLayout* pLayout)
{
    switch (type) {
    case xtpPaneTypeDockingPane: {
        CXTPDockingPane* pPane = new CXTPDockingPane(pLayout);
        // The record comes with the pane, so that FindPane sees it from the start; a load appends its
        // own records from the stored holders instead.
        if (!pLayout->IsLoading()) {
            XTP_DOCKINGPANE_INFO info = {pPane, NULL, NULL, NULL};
            pLayout->GetPaneList().push_back(info);
        }
        return pPane;
    }
    case xtpPaneTypeTabbedContainer:
        return new CXTPDockingPaneTabbedContainer(pLayout);
    case xtpPaneTypeSplitterContainer:
        return new CXTPDockingPaneSplitterContainer(pLayout);
    case xtpPaneTypeClient:
        return new CXTPDockingPaneBase(xtpPaneTypeClient, pLayout);
    case xtpPaneTypeMiniWnd:
        return new CXTPDockingPaneMiniWnd(pLayout);
    case xtpPaneTypeSidePanel:
        return new CXTPDockingPaneAutoHidePanel(pLayout);
    default:
        return NULL;
    }
}

void CXTPDockingPaneManager::SetActivePane(BOOL bActivate, CXTPDockingPane* pPane)
{
    if (bActivate) {
        if (pPane == NULL || pPane == m_pActivePane)
            return;
        if (m_pActivePane != NULL) {
            CXTPDockingPane* pOld = m_pActivePane;
            m_pActivePane = NULL;
            NotifyOwner(xtpPaneActionDeactivated, pOld, NULL, 0);
            pOld->InternalRelease();
        }
        pPane->InternalAddRef();
        m_pActivePane = pPane;
        NotifyOwner(xtpPaneActionActivated, pPane, NULL, 0);
    } else if (pPane != NULL && pPane == m_pActivePane) {
        m_pActivePane = NULL;
        NotifyOwner(xtpPaneActionDeactivated, pPane, NULL, 0);
        pPane->InternalRelease();
    }
}

BOOL CXTPDockingPaneManager::InstallManager(CWnd* pSite)
{
    if (m_hWnd != NULL || pSite == NULL || pSite->m_hWnd == NULL)
        return FALSE;
    m_pSite = pSite;
    if (!CreateEx(0, AfxRegisterWndClass(0), NULL, WS_CHILD, CRect(0, 0, 0, 0), pSite,
                  XTP_IDW_DOCKINGPANE_MANAGER)) {
        m_pSite = NULL;
        return FALSE;
    }
    SetLayout(CreateLayout());
    return TRUE;
}

void CXTPDockingPaneManager::UninstallManager()
{
    SetActivePane(FALSE, m_pActivePane);
    if (m_pLayout != NULL) {
        m_pLayout->InternalRelease();
        m_pLayout = NULL;
    }
    if (m_hWnd != NULL)
        DestroyWindow();
    m_pSite = NULL;
    m_bLayoutCreated = FALSE;
}

void CXTPDockingPaneManager::SetLayout(CXTPDockingPaneLayout* pLayout)
{
    if (pLayout == NULL || pLayout == m_pLayout)
        return;
    SetActivePane(FALSE, m_pActivePane);
    if (m_pLayout != NULL) {
        // The application's windows outlive the old containers: they wait, hidden, in the manager's window.
        for (const XTP_DOCKINGPANE_INFO& info : m_pLayout->GetPaneList()) {
            HWND hwndChild = info.pPane->GetChild();
            if (hwndChild != NULL && ::IsWindow(hwndChild) && m_hWnd != NULL) {
                ::ShowWindow(hwndChild, SW_HIDE);
                ::SetParent(hwndChild, m_hWnd);
            }
        }
        m_pLayout->InternalRelease();
    }
    m_pLayout = pLayout;
    pLayout->m_bNotShown = FALSE;
    // A layout made or loaded away from the screen gets its windows now, containers before their splitters.
    for (CXTPDockingPaneBase* pNode : pLayout->GetNodeList())
        pNode->m_pParentFrame = m_pSite;
    CXTPDockingPaneBaseList lstFrames;
    for (CXTPDockingPaneBase* pNode : pLayout->GetNodeList()) {
        if (pNode->GetType() == xtpPaneTypeMiniWnd && !pNode->IsEmpty())
            lstFrames.push_back(pNode);
    }
    for (CXTPDockingPaneBase* pNode : lstFrames) {
        CXTPDockingPaneMiniWnd* pMiniWnd = static_cast<CXTPDockingPaneMiniWnd*>(pNode);
        if (pMiniWnd->m_hWnd == NULL)
            pMiniWnd->CreateFrameWindow(pMiniWnd->m_rcWindow);
    }
    for (CXTPDockingPaneBase* pNode : pLayout->GetNodeList()) {
        if (pNode->GetType() == xtpPaneTypeTabbedContainer && !pNode->IsEmpty())
            pNode->OnSizeParent(m_pSite, pNode->m_rcWindow, NULL);
    }
    for (CXTPDockingPaneBase* pNode : pLayout->GetNodeList()) {
        if (pNode->GetType() == xtpPaneTypeSplitterContainer)
            static_cast<CXTPDockingPaneSplitterContainer*>(pNode)->UpdateSplitters();
    }
    for (CXTPDockingPaneBase* pNode : lstFrames)
        static_cast<CXTPDockingPaneMiniWnd*>(pNode)->RecalcLayout();
    if (CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pSite))
        pFrame->DelayRecalcLayout();
}

void CXTPDockingPaneManager::SetTheme(int nTheme)
{
    if (m_pPaintManager != NULL)
        m_pPaintManager->InternalRelease();
    // An unknown number is theme 0; a failed allocation raises here rather than leave no painter.
    const int nCurrent = nTheme >= 0 && nTheme <= 9 ? nTheme : 0;
    m_pPaintManager = NULL;
    m_pPaintManager = XTPCreateDockingPaneTheme(nCurrent);
    m_pPaintManager->m_themeCurrent = nCurrent;
    m_pPaintManager->RefreshMetrics();
    RedrawPanes();
    if (nTheme == 9)
        m_nStickyStyle = 1;
}

LRESULT CXTPDockingPaneManager::NotifyOwner(int nAction, CXTPDockingPane* pPane,
                                            CXTPDockingPaneBase* pContainer, int nExtra)
{
    if (m_pSite == NULL || m_pSite->m_hWnd == NULL)
        return 0;
    XTP_DOCKINGPANE_ACTION action = {nAction, FALSE, pPane, pContainer, nExtra};
    m_pSite->SendMessage(XTPWM_DOCKINGPANE_NOTIFY, XTP_DPN_ACTION, reinterpret_cast<LPARAM>(&action));
    return action.bCancel;
}

CXTPDockingPane* CXTPDockingPaneManager::FindPane(int nID) const
{
    if (m_pLayout == NULL)
        return NULL;
    for (const XTP_DOCKINGPANE_INFO& info : m_pLayout->GetPaneList()) {
        if (info.pPane->GetID() == nID)
            return info.pPane;
    }
    return NULL;
}

void CXTPDockingPaneManager::ShowPane(CXTPDockingPane* pPane, BOOL bSetFocus)
{
    if (pPane == NULL)
        return;
    CXTPDockingPaneBase* pContainer = pPane->GetContainer();
    if (pContainer != NULL && pContainer->IsHidden() && pContainer->GetContainer() != NULL &&
        pContainer->GetContainer()->GetType() == xtpPaneTypeSidePanel) {
        // An auto-hidden pane slides out.
        CXTPDockingPaneAutoHidePanel* pPanel =
            static_cast<CXTPDockingPaneAutoHidePanel*>(pContainer->GetContainer());
        CXTPDockingPaneAutoHideWnd* pShown = pPanel->GetShownWindow();
        if (pShown == NULL || pShown->GetContainer() != pContainer ||
            static_cast<CXTPDockingPaneTabbedContainer*>(pContainer)->GetSelected() != pPane) {
            pPanel->ClosePane(FALSE);
            pPanel->OpenPane(pPane);
        }
    } else if (pContainer != NULL) {
        if (pContainer->GetType() == xtpPaneTypeTabbedContainer)
            static_cast<CXTPDockingPaneTabbedContainer*>(pContainer)->SelectPane(pPane, FALSE, TRUE);
        if (CXTPDockingPaneMiniWnd* pMiniWnd =
                dynamic_cast<CXTPDockingPaneMiniWnd*>(pContainer->m_pParentFrame)) {
            if (pMiniWnd->IsCollapsed())
                pMiniWnd->Expand();
        }
    } else if (m_pLayout != NULL) {
        const XTP_DOCKINGPANE_INFO* pInfo = m_pLayout->FindPaneRecord(pPane);
        if (pInfo != NULL && pInfo->pLastHolder != NULL &&
            pInfo->pLastHolder->GetType() == xtpPaneTypeTabbedContainer)
            static_cast<CXTPDockingPaneTabbedContainer*>(pInfo->pLastHolder)->AttachPane(pPane, FALSE);
    }
    if (m_bLayoutCreated && pPane->GetContainer() != NULL)
        pPane->ShowChildWindow(TRUE);
    if (bSetFocus)
        pPane->SetFocus();
}

void CXTPDockingPaneManager::ClosePane(CXTPDockingPane* pPane)
{
    if (pPane == NULL)
        return;
    if (m_pSite != NULL && m_pSite->m_hWnd != NULL &&
        m_pSite->SendMessage(XTPWM_DOCKINGPANE_NOTIFY, XTP_DPN_CLOSEPANE, reinterpret_cast<LPARAM>(pPane)) ==
            -1)
        return;
    if (pPane->GetContainer() != NULL)
        pPane->GetContainer()->RemovePane(pPane);
}

void CXTPDockingPaneManager::HidePane(CXTPDockingPaneBase* pPane)
{
    if (pPane == NULL || m_pLayout == NULL)
        return;
    if (pPane->GetType() == xtpPaneTypeDockingPane && m_bHideGroupOnButtonClick &&
        pPane->GetContainer() != NULL)
        pPane = pPane->GetContainer();
    CXTPDockingPaneBase* pContainer = pPane->GetContainer();
    if (pContainer != NULL && pContainer->GetType() == xtpPaneTypeTabbedContainer && pContainer->IsHidden())
        pContainer = pContainer->GetContainer();
    if (pContainer != NULL && pContainer->GetType() == xtpPaneTypeSidePanel) {
        static_cast<CXTPDockingPaneAutoHidePanel*>(pContainer)->ClosePane(TRUE);
        return;
    }
    m_pLayout->HidePane(pPane);
    if (CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pSite))
        pFrame->DelayRecalcLayout(TRUE);
}

CXTPDockingPaneBase* CXTPDockingPaneManager::GetPaneHolder(CXTPDockingPane* pPane, BOOL bFloating) const
{
    if (m_pLayout == NULL)
        return NULL;
    const XTP_DOCKINGPANE_INFO* pInfo = m_pLayout->FindPaneRecord(pPane);
    if (pInfo == NULL)
        return NULL;
    return bFloating ? pInfo->pFloatingHolder : pInfo->pDockingHolder;
}

void CXTPDockingPaneManager::RecordHolders()
{
    if (m_pLayout == NULL)
        return;
    for (XTP_DOCKINGPANE_INFO& info : m_pLayout->GetPaneList()) {
        CXTPDockingPaneBase* pContainer = info.pPane->GetContainer();
        if (pContainer == NULL || pContainer->IsHidden())
            continue;
        CWnd* pFrame = info.pPane->GetFrame();
        if (pFrame != NULL && pFrame != m_pSite)
            info.pFloatingHolder = pContainer;
        else
            info.pDockingHolder = pContainer;
        info.pLastHolder = pContainer;
    }
}

void CXTPDockingPaneManager::DockPane(CXTPDockingPaneBase* pPane, XTPDockingPaneDirection direction,
                                      CXTPDockingPaneBase* pNeighbour)
{
    if (pPane == NULL || m_pLayout == NULL)
        return;
    if (pPane->GetType() == xtpPaneTypeSplitterContainer) {
        CXTPDockingPaneBaseList lstTabbed;
        pPane->FindPane(xtpPaneTypeTabbedContainer, &lstTabbed);
        if (lstTabbed.size() == 1)
            pPane = lstTabbed.front();
    }
    pPane = TakeForMove(pPane);
    if (pPane == NULL)
        return;

    CXTPDockingPaneBase* pTarget = pNeighbour;
    if (pTarget == NULL || (pTarget->GetType() == xtpPaneTypeDockingPane &&
                            (pTarget->IsHidden() || static_cast<CXTPDockingPane*>(pTarget)->IsClosed())))
        pTarget = m_pLayout->GetTopContainer();
    if (pTarget->m_pParentContainer != NULL &&
        pTarget->m_pParentContainer->GetType() == xtpPaneTypeTabbedContainer)
        pTarget = pTarget->m_pParentContainer;
    // A neighbour outside the docked tree (not in a splitter): the whole tree is the neighbour.
    if (pTarget != m_pLayout->GetTopContainer() &&
        (pTarget->m_pParentContainer == NULL ||
         pTarget->m_pParentContainer->GetType() != xtpPaneTypeSplitterContainer))
        pTarget = m_pLayout->GetTopContainer();
    const BOOL bHoriz = direction == xtpPaneDockLeft || direction == xtpPaneDockRight;
    const BOOL bAfter = direction == xtpPaneDockRight || direction == xtpPaneDockBottom;

    if (pPane->GetType() == xtpPaneTypeDockingPane) {
        CXTPDockingPaneTabbedContainer* pContainer = static_cast<CXTPDockingPaneTabbedContainer*>(
            CreatePaneOfType(xtpPaneTypeTabbedContainer, m_pLayout));
        pContainer->m_szDocking = pPane->m_szDocking;
        pContainer->AttachPane(static_cast<CXTPDockingPane*>(pPane));
        pPane = pContainer;
    }

    CXTPDockingPaneSplitterContainer* pTop = m_pLayout->GetTopContainer();
    if (pTarget == pTop) {
        if (pTop->IsHoriz() == bHoriz) {
            pTop->InsertPane(pPane, NULL, bAfter);
        } else {
            CXTPDockingPaneSplitterContainer* pSplitter = static_cast<CXTPDockingPaneSplitterContainer*>(
                CreatePaneOfType(xtpPaneTypeSplitterContainer, m_pLayout));
            pSplitter->Init(pTop, bHoriz, m_pSite);
            pSplitter->InsertPane(pPane, pTop, bAfter);
            m_pLayout->m_pTopContainer = pSplitter;
        }
    } else {
        CXTPDockingPaneSplitterContainer* pParentSplitter =
            static_cast<CXTPDockingPaneSplitterContainer*>(pTarget->m_pParentContainer);
        if (pParentSplitter->IsHoriz() == bHoriz) {
            pParentSplitter->InsertPane(pPane, pTarget, bAfter);
        } else {
            CXTPDockingPaneSplitterContainer* pSplitter = static_cast<CXTPDockingPaneSplitterContainer*>(
                CreatePaneOfType(xtpPaneTypeSplitterContainer, m_pLayout));
            pSplitter->m_szDocking = pTarget->m_szDocking;
            pParentSplitter->ReplacePane(pTarget, pSplitter);
            pSplitter->Init(pTarget, bHoriz, pParentSplitter->m_pParentFrame);
            pSplitter->InsertPane(pPane, pTarget, bAfter);
            pParentSplitter->OnChildChanged(pSplitter);
        }
    }
    if (CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pSite))
        pFrame->DelayRecalcLayout(TRUE);
}

CXTPDockingPaneBase* CXTPDockingPaneManager::TakeForMove(CXTPDockingPaneBase* pPane)
{
    if (pPane->GetType() != xtpPaneTypeDockingPane)
        return pPane->Clone(m_pLayout, NULL, 0);
    if (pPane->GetContainer() != NULL)
        pPane->GetContainer()->RemovePane(pPane);
    return pPane;
}

void CXTPDockingPaneManager::FloatPane(CXTPDockingPaneBase* pPane, CRect rc)
{
    if (pPane == NULL || m_pLayout == NULL)
        return;
    pPane = TakeForMove(pPane);
    if (pPane == NULL)
        return;
    CXTPDockingPaneMiniWnd* pMiniWnd =
        static_cast<CXTPDockingPaneMiniWnd*>(CreatePaneOfType(xtpPaneTypeMiniWnd, m_pLayout));
    pMiniWnd->Create(pPane, rc);
    pMiniWnd->RecalcLayout();
    if (CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pSite))
        pFrame->DelayRecalcLayout(TRUE);
}

BOOL CXTPDockingPaneManager::ToggleDockingPane(CXTPDockingPane* pPane, CXTPDockingPaneBase* pHolder)
{
    CWnd* pFrame = pPane->GetFrame();
    const BOOL bInFloat = pFrame != NULL && pFrame != m_pSite;
    const BOOL bHidden = pPane->IsHidden();
    if (!bInFloat && !bHidden && (pPane->GetEffectiveOptions() & xtpPaneNoFloatable))
        return FALSE;
    const BOOL bBack = bInFloat || bHidden;
    if (NotifyOwner(bBack ? xtpPaneActionDocking : xtpPaneActionFloating, pPane, pHolder, 0))
        return FALSE;
    if (pHolder != NULL && pHolder->GetType() == xtpPaneTypeTabbedContainer) {
        m_bAttachingPane = TRUE;
        if (pPane->GetContainer() != NULL)
            pPane->GetContainer()->RemovePane(pPane);
        static_cast<CXTPDockingPaneTabbedContainer*>(pHolder)->AttachPane(pPane);
        RecordHolders();
        m_bAttachingPane = FALSE;
    } else {
        CRect rc = pPane->GetContainer() != NULL ? pPane->GetContainer()->m_rcWindow : pPane->m_rcWindow;
        FloatPane(pPane, rc);
    }
    NotifyOwner(bBack ? xtpPaneActionDocked : xtpPaneActionFloated, pPane, NULL, 0);
    return TRUE;
}

void CXTPDockingPaneManager::ToggleDocking(CXTPDockingPaneBase* pPane)
{
    if (pPane == NULL)
        return;
    CWnd* pFrame = pPane->m_pParentFrame;
    const BOOL bFloating = !(pFrame != NULL && pFrame != m_pSite) && !pPane->IsHidden();
    if (pPane->GetType() == xtpPaneTypeDockingPane) {
        CXTPDockingPane* pDockingPane = static_cast<CXTPDockingPane*>(pPane);
        ToggleDockingPane(pDockingPane, GetPaneHolder(pDockingPane, bFloating));
        return;
    }
    if (pPane->GetType() != xtpPaneTypeTabbedContainer && pPane->GetType() != xtpPaneTypeSplitterContainer)
        return;
    CXTPDockingPaneBaseList lstPanes;
    pPane->FindPane(xtpPaneTypeDockingPane, &lstPanes);
    int nSelectedID = 0, nFocusID = 0;
    for (CXTPDockingPaneBase* pBase : lstPanes) {
        CXTPDockingPane* pItem = static_cast<CXTPDockingPane*>(pBase);
        if (pItem->IsSelected())
            nSelectedID = pItem->GetID();
        if (pItem->HasFocus())
            nFocusID = pItem->GetID();
    }
    CXTPDockingPaneBase* pLastHolder = NULL;
    for (CXTPDockingPaneBase* pBase : lstPanes) {
        CXTPDockingPane* pItem = static_cast<CXTPDockingPane*>(pBase);
        CXTPDockingPaneBase* pHolder = GetPaneHolder(pItem, bFloating);
        if (pHolder == NULL)
            pHolder = pLastHolder;
        if (!ToggleDockingPane(pItem, pHolder)) {
            if (nSelectedID == pItem->GetID())
                nSelectedID = 0;
            if (nFocusID == pItem->GetID())
                nFocusID = 0;
        }
        pLastHolder = pItem->GetContainer();
    }
    const int nShowID = nFocusID != 0 ? nFocusID : nSelectedID;
    if (nShowID >= 1)
        ShowPane(FindPane(nShowID), TRUE);
}

CRect CXTPDockingPaneManager::GetDockingRect(XTPDockingPaneDirection direction,
                                             CXTPDockingPaneBase* pNeighbour)
{
    if (m_pLayout == NULL)
        return CRect(0, 0, 0, 0);
    if (pNeighbour == NULL)
        pNeighbour = m_pLayout->GetTopContainer();
    if (pNeighbour->m_pParentContainer != NULL &&
        pNeighbour->m_pParentContainer->GetType() == xtpPaneTypeTabbedContainer)
        pNeighbour = pNeighbour->m_pParentContainer;
    const BOOL bHoriz = direction == xtpPaneDockLeft || direction == xtpPaneDockRight;
    const BOOL bAfter = direction == xtpPaneDockRight || direction == xtpPaneDockBottom;
    const CSize szDocking(200, 120);
    CXTPDockingPaneBase* pParent = pNeighbour->m_pParentContainer;
    if (pParent != NULL && pParent->GetType() == xtpPaneTypeSplitterContainer &&
        static_cast<CXTPDockingPaneSplitterContainer*>(pParent)->IsHoriz() == bHoriz)
        return static_cast<CXTPDockingPaneSplitterContainer*>(pParent)->GetNewChildRect(
            pNeighbour, bAfter, szDocking, pParent->m_rcWindow);
    CXTPDockingPaneBase probe(xtpPaneTypeClient, NULL);
    probe.m_pLayout = m_pLayout;
    probe.m_szDocking = szDocking;
    CXTPDockingPaneBase neighbour(xtpPaneTypeClient, NULL);
    neighbour.m_pLayout = m_pLayout;
    neighbour.m_szDocking = pNeighbour->m_szDocking;
    std::vector<CXTPDockingPaneBase*> lstPanes;
    lstPanes.push_back(bAfter ? &neighbour : &probe);
    lstPanes.push_back(bAfter ? &probe : &neighbour);
    const std::vector<CRect> rects = CXTPDockingPaneSplitterContainer::DivideRect(
        lstPanes, bHoriz, m_pPaintManager->GetSplitterSize(), pNeighbour->m_rcWindow, m_bHideClient, FALSE);
    return bAfter ? rects[1] : rects[0];
}

int CXTPDockingPaneManager::GetPaneDirection(const CXTPDockingPaneBase* pPane) const
{
    return m_pLayout != NULL ? m_pLayout->GetPaneDirection(pPane) : xtpPaneDockLeft;
}

HICON CXTPDockingPaneManager::GetIcon(int nIconID, int nWidth) const
{
    CXTPImageManagerIcon* pIcon = GetImage(nIconID, nWidth);
    return pIcon != NULL ? pIcon->GetImage().GetIcon() : NULL;
}

CXTPImageManagerIcon* CXTPDockingPaneManager::GetImage(int nIconID, int nWidth) const
{
    return m_pImageManager->GetImage(static_cast<UINT>(nIconID), nWidth);
}

BOOL CXTPDockingPaneManager::IsLayoutRTL() const
{
    return m_pSite != NULL && m_pSite->m_hWnd != NULL && (m_pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
}

int CXTPDockingPaneManager::MirrorDirection(int direction) const
{
    if (!IsLayoutRTL())
        return direction;
    if (direction == xtpPaneDockLeft)
        return xtpPaneDockRight;
    if (direction == xtpPaneDockRight)
        return xtpPaneDockLeft;
    return direction;
}

void CXTPDockingPaneManager::RedrawPanes()
{
    if (m_hWnd == NULL || m_pLayout == NULL)
        return;
    for (const XTP_DOCKINGPANE_INFO& info : m_pLayout->GetPaneList()) {
        CXTPDockingPaneBase* pContainer = info.pPane->GetContainer();
        if (pContainer == NULL)
            continue;
        CWnd* pFrame = pContainer->m_pParentFrame;
        if (CFrameWnd* pFrameWnd = DYNAMIC_DOWNCAST(CFrameWnd, pFrame))
            pFrameWnd->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
        if (pFrame != NULL && pFrame != m_pSite && pFrame->m_hWnd != NULL)
            pFrame->SendMessage(WM_NCPAINT);
    }
}

void CXTPDockingPaneManager::UpdatePanes()
{
    if (m_pLayout == NULL)
        return;
    const std::vector<XTP_DOCKINGPANE_INFO> panes = m_pLayout->GetPaneList();
    for (const XTP_DOCKINGPANE_INFO& info : panes)
        info.pPane->OnIdleUpdate();
}

CXTPDockingPaneBase* CXTPDockingPaneManager::GetTopPane() const
{
    return m_pLayout != NULL ? m_pLayout->GetTopContainer() : NULL;
}

CXTPDockingPaneBase* CXTPDockingPaneManager::GetClientPane() const
{
    return m_pLayout != NULL ? m_pLayout->GetClient() : NULL;
}

LRESULT CXTPDockingPaneManager::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZEPARENT:
        if (m_pLayout != NULL && m_pLayout->GetTopContainer() != NULL && m_pSite != NULL) {
            AFX_SIZEPARENTPARAMS* pParams = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
            m_pLayout->OnSizeParent(m_pSite, CRect(pParams->rect), pParams);
            RecordHolders();
            m_bLayoutCreated = TRUE;
        }
        return 0;
    case WM_IDLEUPDATECMDUI:
        UpdatePanes();
        return 0;
    case WM_SYSCOLORCHANGE:
        GetColorTable()->Refresh();
        m_pPaintManager->RefreshMetrics();
        RedrawPanes();
        return 0;
    case WM_SETTINGCHANGE:
        m_pPaintManager->RefreshMetrics();
        RedrawPanes();
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
