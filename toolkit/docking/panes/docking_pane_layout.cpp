#include "docking_pane_layout.h"

#include "docking_pane.h"
#include "docking_pane_auto_hide.h"
#include "docking_pane_manager.h"
#include "docking_pane_splitter_container.h"
#include "docking_pane_tabbed_container.h"
#include "prop_exchange.h"

#include <algorithm>

CXTPDockingPaneLayout::CXTPDockingPaneLayout(CXTPDockingPaneManager* pManager) : m_pManager(pManager)
{
    m_pClient = pManager->CreatePaneOfType(xtpPaneTypeClient, this);
    m_pTopContainer = static_cast<CXTPDockingPaneSplitterContainer*>(
        pManager->CreatePaneOfType(xtpPaneTypeSplitterContainer, this));
    m_pTopContainer->Init(m_pClient, TRUE, pManager->GetSite());
}

CXTPDockingPaneLayout::~CXTPDockingPaneLayout()
{
    Clear();
}

void CXTPDockingPaneLayout::DeleteNode(CXTPDockingPaneBase* pNode)
{
    if (pNode->GetType() == xtpPaneTypeDockingPane)
        static_cast<CXTPDockingPane*>(pNode)->InternalRelease();
    else
        delete pNode;
}

void CXTPDockingPaneLayout::Clear()
{
    // Sliding windows let their panels and containers go before the nodes do.
    for (CXTPDockingPaneBase* pPanel : m_wndSidePanels) {
        if (pPanel != NULL)
            static_cast<CXTPDockingPaneAutoHidePanel*>(pPanel)->DestroyWindows();
    }
    while (!m_lstStack.empty()) {
        CXTPDockingPaneBase* pNode = m_lstStack.back();
        m_lstStack.pop_back();
        DeleteNode(pNode);
    }
    m_lstPanes.clear();
    for (CXTPDockingPaneBase*& pPanel : m_wndSidePanels)
        pPanel = NULL;
    m_pTopContainer = NULL;
    m_pClient = NULL;
    m_mapIndex.clear();
    m_setDropped.clear();
}

void CXTPDockingPaneLayout::OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam)
{
    for (CXTPDockingPaneBase* pPanel : m_wndSidePanels) {
        if (pPanel != NULL) {
            pPanel->m_pParentFrame = pParent;
            static_cast<CXTPDockingPaneAutoHidePanel*>(pPanel)->PositionPanel(&rect);
        }
    }
    if (m_pClient != NULL)
        m_pClient->OnSizeParent(pParent, rect, lParam);
    if (m_pTopContainer != NULL)
        m_pTopContainer->OnSizeParent(pParent, rect, lParam);
}

int CXTPDockingPaneLayout::GetPaneDirection(const CXTPDockingPaneBase* pPane) const
{
    const CXTPDockingPaneBase* pItem = pPane;
    for (CXTPDockingPaneBase* pParent = pPane->m_pParentContainer; pParent != NULL;
         pItem = pParent, pParent = pParent->m_pParentContainer) {
        if (pParent->GetType() == xtpPaneTypeSidePanel)
            return static_cast<CXTPDockingPaneAutoHidePanel*>(pParent)->GetDirection();
        if (pParent->GetType() != xtpPaneTypeSplitterContainer || m_pClient == NULL ||
            !pParent->ContainsPane(m_pClient))
            continue;
        const CXTPDockingPaneSplitterContainer* pSplitter =
            static_cast<CXTPDockingPaneSplitterContainer*>(pParent);
        const std::vector<CXTPDockingPaneBase*>& lstPanes = pSplitter->GetPanes();
        const auto itItem = std::find(lstPanes.begin(), lstPanes.end(), pItem);
        const auto itClient =
            std::find_if(lstPanes.begin(), lstPanes.end(),
                         [this](CXTPDockingPaneBase* pChild) { return pChild->ContainsPane(m_pClient); });
        const BOOL bBefore = itItem < itClient;
        if (pSplitter->IsHoriz())
            return bBefore ? xtpPaneDockLeft : xtpPaneDockRight;
        return bBefore ? xtpPaneDockTop : xtpPaneDockBottom;
    }
    return xtpPaneDockLeft;
}

XTP_DOCKINGPANE_INFO* CXTPDockingPaneLayout::FindPaneRecord(const CXTPDockingPane* pPane)
{
    for (XTP_DOCKINGPANE_INFO& info : m_lstPanes) {
        if (info.pPane == pPane)
            return &info;
    }
    return NULL;
}

void CXTPDockingPaneLayout::HidePane(CXTPDockingPaneBase* pItem)
{
    const int nDirection = GetPaneDirection(pItem);
    CXTPDockingPaneAutoHidePanel* pPanel = static_cast<CXTPDockingPaneAutoHidePanel*>(m_wndSidePanels[nDirection]);
    if (pPanel == NULL) {
        pPanel = static_cast<CXTPDockingPaneAutoHidePanel*>(m_pManager->CreatePaneOfType(xtpPaneTypeSidePanel, this));
        pPanel->SetDirection(nDirection);
        m_wndSidePanels[nDirection] = pPanel;
    }
    // Panes whose docking place is already a container of this panel go back into it.
    CXTPDockingPaneBaseList lstPanes;
    pItem->FindPane(xtpPaneTypeDockingPane, &lstPanes);
    if (!lstPanes.empty()) {
        const XTP_DOCKINGPANE_INFO* pInfo = FindPaneRecord(static_cast<CXTPDockingPane*>(lstPanes.front()));
        CXTPDockingPaneBase* pHolder = pInfo != NULL ? pInfo->pDockingHolder : NULL;
        const auto& lstContainers = pPanel->GetContainers();
        if (pHolder != NULL && pHolder != pItem && pHolder != pItem->GetContainer() &&
            std::find(lstContainers.begin(), lstContainers.end(), pHolder) != lstContainers.end()) {
            CXTPDockingPaneTabbedContainer* pTabbed = static_cast<CXTPDockingPaneTabbedContainer*>(pHolder);
            for (CXTPDockingPaneBase* pBase : lstPanes) {
                CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(pBase);
                if (pPane->GetEffectiveOptions() & xtpPaneNoHideable)
                    continue;
                if (pPane->GetContainer() != NULL)
                    pPane->GetContainer()->RemovePane(pPane);
                pTabbed->AttachPane(pPane);
            }
            return;
        }
    }
    switch (pItem->GetType()) {
    case xtpPaneTypeDockingPane: {
        CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(pItem);
        CXTPDockingPaneBase* pOld = pPane->GetContainer();
        const CSize szDocking = pOld != NULL ? pOld->m_szDocking : pPane->m_szDocking;
        if (pOld != NULL)
            pOld->RemovePane(pPane);
        CXTPDockingPaneTabbedContainer* pContainer = static_cast<CXTPDockingPaneTabbedContainer*>(
            m_pManager->CreatePaneOfType(xtpPaneTypeTabbedContainer, this));
        pContainer->m_szDocking = szDocking;
        pContainer->AttachPane(pPane);
        pPanel->AddContainer(pContainer);
        break;
    }
    case xtpPaneTypeTabbedContainer: {
        CXTPDockingPaneBase* pClone = pItem->Clone(this, NULL, xtpPaneNoHideable);
        if (pClone != NULL)
            pPanel->AddContainer(static_cast<CXTPDockingPaneTabbedContainer*>(pClone));
        break;
    }
    default: {
        // A group of containers goes container by container.
        CXTPDockingPaneBaseList lstTabbed;
        pItem->FindPane(xtpPaneTypeTabbedContainer, &lstTabbed);
        for (CXTPDockingPaneBase* pTabbed : lstTabbed) {
            if (pTabbed->IsEmpty())
                continue;
            CXTPDockingPaneBase* pClone = pTabbed->Clone(this, NULL, xtpPaneNoHideable);
            if (pClone != NULL)
                pPanel->AddContainer(static_cast<CXTPDockingPaneTabbedContainer*>(pClone));
        }
        break;
    }
    }
}

CXTPDockingPaneBase* CXTPDockingPaneLayout::FindIndex(int nIndex) const
{
    const auto it = m_mapIndex.find(nIndex);
    return it != m_mapIndex.end() ? it->second : NULL;
}

void CXTPDockingPaneLayout::FreeUnusedNodes()
{
    auto isHolder = [this](CXTPDockingPaneBase* pNode) {
        for (const XTP_DOCKINGPANE_INFO& info : m_lstPanes) {
            if (info.pFloatingHolder == pNode || info.pDockingHolder == pNode || info.pLastHolder == pNode ||
                info.pPane->m_pParentContainer == pNode)
                return TRUE;
        }
        return FALSE;
    };
    BOOL bChanged = TRUE;
    while (bChanged) {
        bChanged = FALSE;
        for (size_t i = 0; i < m_lstStack.size(); ++i) {
            CXTPDockingPaneBase* pNode = m_lstStack[i];
            BOOL bUnused = FALSE;
            if (pNode->GetType() == xtpPaneTypeTabbedContainer)
                bUnused = static_cast<CXTPDockingPaneTabbedContainer*>(pNode)->GetPanes().empty() &&
                          !isHolder(pNode);
            else if (pNode->GetType() == xtpPaneTypeSplitterContainer)
                bUnused = pNode != m_pTopContainer &&
                          static_cast<CXTPDockingPaneSplitterContainer*>(pNode)->GetPanes().empty();
            else if (pNode->GetType() == xtpPaneTypeMiniWnd)
                bUnused = pNode->IsEmpty();
            if (!bUnused)
                continue;
            if (pNode->m_pParentContainer != NULL)
                pNode->m_pParentContainer->RemovePane(pNode);
            m_lstStack.erase(m_lstStack.begin() + static_cast<std::ptrdiff_t>(i));
            DeleteNode(pNode);
            bChanged = TRUE;
            break;
        }
    }
}

BOOL CXTPDockingPaneLayout::DoPropExchange(CXTPPropExchange* pPX)
{
    return pPX->IsStoring() ? Store(pPX) : Load(pPX);
}

void CXTPDockingPaneLayout::Serialize(CArchive& ar)
{
    CXTPPropExchangeArchive px(ar);
    DoPropExchange(&px);
}

BOOL CXTPDockingPaneLayout::Store(CXTPPropExchange* pPX)
{
    pPX->EmptySection();
    FreeUnusedNodes();

    CXTPPropExchangeSection summary(pPX, L"Summary");
    long nCount = static_cast<long>(m_lstStack.size());
    ExchangeLong(&summary, L"Panes", nCount);
    summary->ExchangeSchema();

    for (size_t i = 0; i < m_lstStack.size(); ++i)
        m_lstStack[i]->m_nIndex = static_cast<int>(i + 1);
    for (CXTPDockingPaneBase* pNode : m_lstStack) {
        CString strSection;
        strSection.Format(L"Pane-%d", pNode->m_nIndex);
        CXTPPropExchangeSection section(pPX, strSection);
        long nType = pNode->GetType();
        ExchangeLong(&section, L"Type", nType);
    }
    for (CXTPDockingPaneBase* pNode : m_lstStack) {
        CString strSection;
        strSection.Format(L"Pane-%d", pNode->m_nIndex);
        CXTPPropExchangeSection section(pPX, strSection);
        pNode->DoPropExchange(&section);
    }
    long nTop = m_pTopContainer != NULL ? m_pTopContainer->m_nIndex : 0;
    long nClient = m_pClient != NULL ? m_pClient->m_nIndex : 0;
    ExchangeLong(&summary, L"TopContainer", nTop);
    ExchangeLong(&summary, L"Client", nClient);
    return TRUE;
}

BOOL CXTPDockingPaneLayout::Load(CXTPPropExchange* pPX)
{
    Clear();
    m_bLoading = TRUE;
    const BOOL bResult = LoadNodes(pPX);
    m_bLoading = FALSE;
    return bResult;
}

BOOL CXTPDockingPaneLayout::LoadNodes(CXTPPropExchange* pPX)
{
    TRY
    {
        CXTPPropExchangeSection summary(pPX, L"Summary");
        long nCount = 0;
        ExchangeLong(&summary, L"Panes", nCount);
        if (nCount <= 1)
            return FALSE;
        summary->ExchangeSchema();
        pPX->m_nSchema = summary->m_nSchema;

        // Nodes are made one by one as their sections are read, so a crafted count ends at the first
        // section that gives no node (or at the archive's end) without allocating ahead.
        for (long i = 1; i <= nCount; ++i) {
            CString strSection;
            strSection.Format(L"Pane-%d", static_cast<int>(i));
            CXTPPropExchangeSection section(pPX, strSection);
            long nType = -1;
            ExchangeLongDefault(&section, L"Type", nType, -1);
            CXTPDockingPaneBase* pNode = m_pManager->CreatePaneOfType(nType, this);
            if (pNode == NULL)
                return FALSE;
            pNode->m_nIndex = static_cast<int>(i);
            m_mapIndex[static_cast<int>(i)] = pNode;
        }

        // Panes first, so that a pane dropped for its id is known before a container names it; an
        // archive reads its values in node order, so there every node goes in order.
        const BOOL bArchive = pPX->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive));
        for (int nPass = bArchive ? 1 : 0; nPass < 2; ++nPass) {
            // Taken again for each pass: the first may drop panes.
            const CXTPDockingPaneBaseList nodes = m_lstStack;
            for (CXTPDockingPaneBase* pNode : nodes) {
                const BOOL bPane = pNode->GetType() == xtpPaneTypeDockingPane;
                if (!bArchive && (nPass == 0) != bPane)
                    continue;
                CString strSection;
                strSection.Format(L"Pane-%d", pNode->m_nIndex);
                CXTPPropExchangeSection section(pPX, strSection);
                const BOOL bResult = pNode->DoPropExchange(&section);
                if (bResult)
                    continue;
                if (!bPane)
                    return FALSE;
                // A pane without a valid id is not kept; its record goes with it.
                m_setDropped.insert(pNode->m_nIndex);
                m_mapIndex.erase(pNode->m_nIndex);
                m_lstPanes.erase(
                    std::remove_if(m_lstPanes.begin(), m_lstPanes.end(),
                                   [pNode](const XTP_DOCKINGPANE_INFO& info) { return info.pPane == pNode; }),
                    m_lstPanes.end());
                m_lstStack.erase(std::find(m_lstStack.begin(), m_lstStack.end(), pNode));
                DeleteNode(pNode);
            }
        }

        long nTop = 0, nClient = 0;
        ExchangeLong(&summary, L"TopContainer", nTop);
        ExchangeLong(&summary, L"Client", nClient);
        CXTPDockingPaneBase* pTop = FindIndex(nTop);
        CXTPDockingPaneBase* pClient = FindIndex(nClient);
        if (pTop == NULL || pTop->GetType() != xtpPaneTypeSplitterContainer ||
            pTop->m_pParentContainer != NULL)
            return FALSE;
        if (pClient == NULL || pClient->GetType() != xtpPaneTypeClient)
            return FALSE;
        m_pTopContainer = static_cast<CXTPDockingPaneSplitterContainer*>(pTop);
        m_pClient = pClient;
        // Holders that name no container of this layout are forgotten.
        for (XTP_DOCKINGPANE_INFO& info : m_lstPanes) {
            for (CXTPDockingPaneBase** ppHolder :
                 {&info.pFloatingHolder, &info.pDockingHolder, &info.pLastHolder}) {
                if (*ppHolder != NULL && (*ppHolder)->GetType() != xtpPaneTypeTabbedContainer)
                    *ppHolder = NULL;
            }
        }
    }
    CATCH_ALL(e)
    {
        return FALSE;
    }
    END_CATCH_ALL
    return TRUE;
}
