// The container that shows its panes as tabs: a window of its own with a caption (the selected pane's
// title and the caption buttons) and a tab strip, hosting the selected pane's child window, and turning
// the mouse into the manager's operations.
#pragma once

#include "docking_pane_base.h"
#include "tab_manager.h"

class CXTPDockingPaneTabbedContainer : public CWnd, public CXTPDockingPaneBase, public CXTPTabManager
{
public:
    explicit CXTPDockingPaneTabbedContainer(CXTPDockingPaneLayout* pLayout);
    ~CXTPDockingPaneTabbedContainer() override;

    virtual void SelectPane(CXTPDockingPane* pPane, BOOL bSetFocus = TRUE, BOOL bActivate = TRUE);
    virtual BOOL IsCaptionVertical() const;
    virtual BOOL IsTabsVisible() const;
    virtual void OnCaptionLButtonDown(CPoint point);
    virtual BOOL HitTestDockArea(const CRect& rect, CPoint point) const;
    virtual void OnCaptionButtonClick(CXTPDockingPaneCaptionButton* pButton);
    virtual void CopyFrom(CXTPDockingPaneTabbedContainer* pClone, CXTPPaneToPaneMap* pMap,
                          DWORD dwIgnoredOptions);
    virtual void UpdateTabs();

    void AttachPane(CXTPDockingPane* pPane, BOOL bSetFocus = FALSE);
    void SetShowCaption(BOOL bShow) { m_bShowCaption = bShow; }
    BOOL HasCaption() const;
    CString GetCaptionText() const;
    // -2 the caption, -1 no tab, else the tab under the point (client coordinates).
    int HitTest(CPoint point) const;
    CXTPDockingPane* GetItemPane(int nIndex) const;
    CXTPDockingPane* GetSelected() const { return m_pSelectedPane; }
    const std::vector<CXTPDockingPane*>& GetPanes() const { return m_lstPanes; }
    BOOL IsActive() const override { return m_bActive; }
    BOOL IsMaximized() const { return m_bMaximized; }
    BOOL IsMaximizePossible() const;
    // A sibling in the same splitter is maximized: this one takes no room.
    BOOL IsCollapsed() const;
    CXTPDockingPaneCaptionButton* FindCaptionButton(int nID) const;

    // The pane base.
    void RedrawPane() override;
    BOOL ContainsPane(CXTPDockingPaneBase* pPane) const override;
    void FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList) override;
    void GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo) const override;
    void OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam) override;
    void OnIdleUpdate() override;
    void SetParentFrame(CWnd* pFrame) override;
    void RecalcLayout(BOOL bDelay) override;
    void OnParentChanged(CXTPDockingPaneBase* pParent) override;
    BOOL DoPropExchange(CXTPPropExchange* pPX) override;
    CXTPDockingPaneBase* Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                               DWORD dwIgnoredOptions) override;
    void RemovePane(CXTPDockingPaneBase* pPane) override;
    BOOL IsEmpty() const override { return m_lstPanes.empty(); }
    BOOL IsCaptionButtonVisible(CXTPDockingPaneCaptionButton* pButton) override;
    CWnd* GetWindow() const override
    {
        return m_hWnd != NULL ? const_cast<CXTPDockingPaneTabbedContainer*>(this) : NULL;
    }
    BOOL IsHidden() const override;

    // The tab manager.
    void Reposition() override;
    CXTPTabPaintManager* GetPaintManager() const override;
    void RedrawControl() override;
    BOOL DrawItemIcon(CDC* pDC, CXTPTabManagerItem* pItem, CPoint pt, CSize szIcon, BOOL bDraw) override;

    BOOL m_bMaximized = FALSE;
    BOOL m_bActive = FALSE;
    BOOL m_bShowCaption = TRUE;
    int m_nLockReposition = 0;
    CXTPDockingPane* m_pSelectedPane = NULL;
    CXTPDockingPane* m_pTrackingPane = NULL;
    std::vector<CRect> m_lstRects;
    std::vector<CXTPDockingPane*> m_lstPanes;

    // A visible caption button under the point gives its command's string; else the tab under it.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override {}

private:
    BOOL CreateContainerWindow();
    void OnPaint();
    void OnLButtonDown(CPoint point);
    void OnMouseMove(CPoint point);
    void OnLButtonDblClk(CPoint point);
    void OnRButtonDown(CPoint point);
    // Follows a pressed caption button until release; whether it ended over the button.
    BOOL TrackCaptionButton(CXTPDockingPaneCaptionButton* pButton);
    void ClosePaneByButton(CXTPDockingPane* pPane);
    void GetClientPaneRect(CRect& rc);
    void SwapPanes(int nFirst, int nSecond);
};
