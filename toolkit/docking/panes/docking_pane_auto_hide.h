// Auto-hidden panes: a side panel is the thin strip along one edge of the site that shows each hidden
// container as a group of tabs; pointing at or clicking a tab slides the container out over the frame in
// an auto-hide window, which slides back once the mouse has left it and the strip.
#pragma once

#include "docking_pane_base.h"
#include "tab_manager.h"

#include <afxole.h>

class CXTPDockingPaneAutoHidePanel;
class CXTPDockingPaneTabbedContainer;

class CXTPDockingPaneAutoHideWnd : public CMiniFrameWnd
{
public:
    CXTPDockingPaneAutoHideWnd(CXTPDockingPaneAutoHidePanel* pPanel,
                               CXTPDockingPaneTabbedContainer* pContainer);

    void Close();
    void Slide();
    // The inner edge that can be dragged, and in *pLimits the smallest and largest far-edge position.
    BOOL GetSplitterRect(CRect* pSplitter, CRect* pLimits = NULL) const;
    void GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo, BOOL bIncludeSplitter) const;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    // The panel is going away: the window forgets it and its container.
    void Detach();
    // Opened again for its container (another of its panes): on top, fully out, watching afresh.
    void Reopen();

    CXTPDockingPaneTabbedContainer* GetContainer() const { return m_pContainer; }
    int GetStep() const { return m_nStep; }
    int GetStepsCount() const { return m_nStepsCount; }
    BOOL IsCollapsing() const { return m_bCollapsing; }
    int GetDeactivationCount() const { return m_nDeactivationCount; }
    CRect GetFullRect() const { return m_rcFull; }

    static double m_dAnimationFactor;
    static int m_nAnimationPeriod;
    static int m_nAnimationDuration;
    static BOOL m_bCloseOnLeave;
    static DWORD m_dwHoverTime;
    static int m_nCheckPeriod;

    enum
    {
        kTimerCheck = 1,
        kTimerSlideOut = 2,
        kTimerSlideBack = 3,
        kTimerClose = 4,
        kSplitterSize = 4,
        kDeactivationCount = 6,
    };

    CXTPDockingPaneTabbedContainer* m_pContainer;
    CXTPDockingPaneAutoHidePanel* m_pPanel;
    int m_nSide;
    BOOL m_bHorizSlide;
    int m_nStep = 0;
    int m_nStepsCount = 1;
    BOOL m_bCollapsing = FALSE;
    CRect m_rcFull;
    int m_nDeactivationCount = kDeactivationCount;
    BOOL m_bTracking = FALSE;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    CXTPDockingPaneManager* GetManager() const;
    void OnTimer(UINT_PTR nID);
    void CheckMouse();
    void OnPaint();
    void BeginResize(CPoint point);
    // The window's size along the sliding axis with its far edge at nEdge (site coordinates).
    int SizeForEdge(int nEdge) const;
    void ApplySize(int nSize);
};

// One container's tabs on a side panel.
class CXTPDockingPaneAutoHideGroup : public CXTPTabManager
{
public:
    explicit CXTPDockingPaneAutoHideGroup(CXTPDockingPaneAutoHidePanel* pPanel);

    void Reposition() override;
    CXTPTabPaintManager* GetPaintManager() const override;
    void RedrawControl() override;
    XTPTabPosition GetPosition() const override;
    BOOL DrawItemIcon(CDC* pDC, CXTPTabManagerItem* pItem, CPoint pt, CSize szIcon, BOOL bDraw) override;
    BOOL IsAllowReorder() const override;

    CXTPDockingPaneAutoHidePanel* m_pPanel;
    CRect m_rcGroup;
};

class CXTPDockingPaneAutoHidePanel : public CWnd, public CXTPDockingPaneBase
{
    friend class CXTPDockingPaneAutoHideWnd;

public:
    CXTPDockingPaneAutoHidePanel(CXTPDockingPaneLayout* pLayout);
    ~CXTPDockingPaneAutoHidePanel() override;

    void SetDirection(int nSide) { m_nSide = nSide; }
    int GetDirection() const { return m_nSide; }
    void PositionPanel(CRect* pRect);
    void AddContainer(CXTPDockingPaneTabbedContainer* pContainer);
    BOOL CreatePanelWindow();
    CXTPDockingPane* PaneFromPoint(CPoint point) const;
    void OpenPane(CXTPDockingPane* pPane);
    void ClosePane(BOOL bDelayed = TRUE);
    // Every window the panel opened, and those still closing, let the panel go and are destroyed.
    void DestroyWindows();
    // The strip's thickness: the side tabs' height and their header margins.
    int GetThickness() const;
    CXTPDockingPaneAutoHideWnd* GetShownWindow() const { return m_pShownWnd; }
    // The windows open on the strip's containers; more than one only when they do not close on leave.
    const std::vector<CXTPDockingPaneAutoHideWnd*>& GetOpenWindows() const { return m_lstOpen; }
    const std::vector<CXTPDockingPaneTabbedContainer*>& GetContainers() const { return m_lstContainers; }
    const std::vector<CXTPDockingPaneAutoHideGroup*>& GetGroups() const { return m_lstGroups; }

    // The pane base.
    void OnChildChanged(CXTPDockingPaneBase* pChild) override;
    void RecalcLayout(BOOL bDelay) override;
    BOOL DoPropExchange(CXTPPropExchange* pPX) override;
    CXTPDockingPaneBase* Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                               DWORD dwIgnoredOptions) override;
    void RemovePane(CXTPDockingPaneBase* pPane) override;
    BOOL IsEmpty() const override;
    BOOL ContainsPane(CXTPDockingPaneBase* pPane) const override;
    void FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList) override;
    CWnd* GetWindow() const override
    {
        return m_hWnd != NULL ? const_cast<CXTPDockingPaneAutoHidePanel*>(this) : NULL;
    }

    // Answers every drag over the strip with no effect; a tab under it opens its pane.
    class CPanelDropTarget : public COleDropTarget
    {
    public:
        DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                               CPoint point) override;
        DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                              CPoint point) override;
    };

    // The window opened last; it is also in m_lstOpen.
    CXTPDockingPaneAutoHideWnd* m_pShownWnd = NULL;
    std::vector<CXTPDockingPaneAutoHideWnd*> m_lstOpen;
    int m_nSide = 0;
    std::vector<CXTPDockingPaneTabbedContainer*> m_lstContainers;
    std::vector<CXTPDockingPaneAutoHideGroup*> m_lstGroups;
    // Windows the panel let go that close themselves after 50 ms.
    std::vector<CXTPDockingPaneAutoHideWnd*> m_lstClosing;
    CPanelDropTarget m_dropTarget;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override {}

private:
    void DestroyPanelWindow();
    // The window no longer counts as open or closing here.
    void ForgetWindow(CXTPDockingPaneAutoHideWnd* pWnd);
    CXTPDockingPaneAutoHideWnd* FindOpenWindow(const CXTPDockingPaneTabbedContainer* pContainer) const;
    void RebuildGroups(CDC* pDC);
    void DeleteGroups();
    void OnPaint();
    void TrackMouse();
};
