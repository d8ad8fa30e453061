// One complete arrangement of docking panes: the tree under a top splitter container, the client
// placeholder that stands for the frame's own view, the record of each pane's holders, and every node
// made for it (the layout owns them). Stored and loaded through the toolkit's property exchange.
#pragma once

#include "docking_pane_base.h"

#include <set>

class CXTPDockingPaneSplitterContainer;
class CXTPPropExchange;

class CXTPDockingPaneLayout : public CCmdTarget
{
public:
    explicit CXTPDockingPaneLayout(CXTPDockingPaneManager* pManager);
    ~CXTPDockingPaneLayout() override;

    void OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam);
    int GetPaneDirection(const CXTPDockingPaneBase* pPane) const;
    XTP_DOCKINGPANE_INFO* FindPaneRecord(const CXTPDockingPane* pPane);
    void FreeUnusedNodes();
    // Moves the item onto the side panel of its direction (made when missing).
    void HidePane(CXTPDockingPaneBase* pItem);
    BOOL DoPropExchange(CXTPPropExchange* pPX);
    void Serialize(CArchive& ar) override;
    void Clear();

    CXTPDockingPaneSplitterContainer* GetTopContainer() const { return m_pTopContainer; }
    CXTPDockingPaneBase* GetClient() const { return m_pClient; }
    std::vector<XTP_DOCKINGPANE_INFO>& GetPaneList() { return m_lstPanes; }
    CXTPDockingPaneBaseList& GetNodeList() { return m_lstStack; }
    CXTPDockingPaneManager* GetManager() const { return m_pManager; }
    BOOL IsNotShown() const { return m_bNotShown; }
    // While set, panes made by the factory get their records from the load, in section order.
    BOOL IsLoading() const { return m_bLoading; }

    // Called by a node's constructor: the layout owns it from then on.
    void AddNode(CXTPDockingPaneBase* pNode) { m_lstStack.push_back(pNode); }
    // Maps a loaded section's index to its node; null for none.
    CXTPDockingPaneBase* FindIndex(int nIndex) const;
    // A loaded pane without a valid id was dropped: entries naming its index are skipped.
    BOOL IsDroppedIndex(int nIndex) const { return m_setDropped.count(nIndex) != 0; }

    CXTPDockingPaneSplitterContainer* m_pTopContainer = NULL;
    CXTPDockingPaneBase* m_pClient = NULL;
    std::vector<XTP_DOCKINGPANE_INFO> m_lstPanes;
    CXTPDockingPaneBaseList m_lstStack;
    CXTPDockingPaneBase* m_wndSidePanels[4] = {};
    // While set, tabbed containers added to the layout make no windows.
    BOOL m_bNotShown = TRUE;
    BOOL m_bLoading = FALSE;
    CXTPDockingPaneManager* m_pManager;
    std::map<int, CXTPDockingPaneBase*> m_mapIndex;
    std::set<int> m_setDropped;

private:
    BOOL Store(CXTPPropExchange* pPX);
    BOOL Load(CXTPPropExchange* pPX);
    BOOL LoadNodes(CXTPPropExchange* pPX);
    void DeleteNode(CXTPDockingPaneBase* pNode);
};
