// The container that arranges its children side by side or one above the other and divides its
// rectangle by their preferred sizes and limits, with a draggable splitter window between every two
// neighbours that take room. It has no window of its own.
#pragma once

#include "docking_pane_base.h"

class CXTPDockingPaneSplitterContainer;

class CXTPDockingPaneSplitterWnd : public CWnd
{
public:
    CXTPDockingPaneSplitterWnd() = default;
    ~CXTPDockingPaneSplitterWnd() override;

    BOOL Create(CXTPDockingPaneSplitterContainer* pContainer, CXTPDockingPaneBase* pFirst,
                CXTPDockingPaneBase* pSecond);
    BOOL IsHorizontal() const;
    // The bar's travel in screen coordinates along the split; empty when it cannot move.
    BOOL GetLimits(int& nMin, int& nMax) const;
    // Gives the room on both sides of a bar at nPos (screen coordinates along the split).
    void Reposition(int nPos, const CRect& rcJoined);
    void StartTracking(CPoint ptScreen);

    CXTPDockingPaneSplitterContainer* m_pContainer = NULL;
    CXTPDockingPaneBase* m_pFirst = NULL;
    CXTPDockingPaneBase* m_pSecond = NULL;
    HCURSOR m_hCursor = NULL;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The container owns the object and deletes it after the window.
    void PostNcDestroy() override {}

private:
    CRect JoinedRect() const;
    void StoreDockingSizes();
};

class CXTPDockingPaneSplitterContainer : public CXTPDockingPaneBase
{
public:
    explicit CXTPDockingPaneSplitterContainer(CXTPDockingPaneLayout* pLayout);
    ~CXTPDockingPaneSplitterContainer() override;

    void Init(CXTPDockingPaneBase* pPane, BOOL bHoriz, CWnd* pFrame);
    void InsertPane(CXTPDockingPaneBase* pPane, CXTPDockingPaneBase* pNeighbour = NULL, BOOL bAfter = TRUE);
    void ReplacePane(CXTPDockingPaneBase* pOld, CXTPDockingPaneBase* pNew);
    BOOL IsHoriz() const { return m_bHoriz; }
    const std::vector<CXTPDockingPaneBase*>& GetPanes() const { return m_lstPanes; }
    const std::vector<CXTPDockingPaneSplitterWnd*>& GetSplitters() const { return m_lstSpliters; }
    // The rectangle the child would get inside rect, without changing any docking size.
    CRect GetChildRect(CXTPDockingPaneBase* pChild, CRect rect);
    // The rectangle a new child of that docking size would get beside the neighbour.
    CRect GetNewChildRect(CXTPDockingPaneBase* pNeighbour, BOOL bAfter, CSize szDocking, CRect rect);

    // The lengths of the pass (each child's m_nLength); with bStore, the client child's docking size too.
    static void AFXAPI CalcLengths(const std::vector<CXTPDockingPaneBase*>& lstPanes, BOOL bHoriz, int nGap,
                                   CRect rect, BOOL bHideClient, BOOL bStore, int& nTotal, int& nRoom);
    // The children's rectangles in rect, in order, by the lengths above.
    static std::vector<CRect> AFXAPI DivideRect(const std::vector<CXTPDockingPaneBase*>& lstPanes,
                                                BOOL bHoriz, int nGap, CRect rect, BOOL bHideClient,
                                                BOOL bStore);

    void OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam) override;
    void RemovePane(CXTPDockingPaneBase* pPane) override;
    void OnChildChanged(CXTPDockingPaneBase* pChild) override;
    void OnParentChanged(CXTPDockingPaneBase* pParent) override;
    void RecalcLayout(BOOL bDelay) override;
    BOOL ContainsPane(CXTPDockingPaneBase* pPane) const override;
    void FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList) override;
    BOOL IsEmpty() const override;
    void GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo) const override;
    void SetParentFrame(CWnd* pFrame) override;
    CXTPDockingPaneBase* Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                               DWORD dwIgnoredOptions) override;
    BOOL DoPropExchange(CXTPPropExchange* pPX) override;

    void UpdateSplitters();

    std::vector<CXTPDockingPaneBase*> m_lstPanes;
    std::vector<CXTPDockingPaneSplitterWnd*> m_lstSpliters;
    BOOL m_bHoriz = FALSE;
    BOOL m_bRecalcLayout = FALSE;
};

// Whether a node takes room in its splitter: not empty, and not collapsed behind a maximized sibling.
BOOL AFXAPI XTPPaneTakesRoom(CXTPDockingPaneBase* pPane);
