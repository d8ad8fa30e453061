// A floating frame: the small top-level tool frame that floated panes live in. It holds one splitter
// container as its top container, so a whole group of panes can float split side by side. Its pin rolls
// the frame up to its caption; it unrolls while the mouse is over it.
#pragma once

#include "docking_pane_base.h"

#include <afxwin.h>

class CXTPDockingPaneSplitterContainer;

class CXTPDockingPaneMiniWnd : public CMiniFrameWnd, public CXTPDockingPaneBase
{
public:
    explicit CXTPDockingPaneMiniWnd(CXTPDockingPaneLayout* pLayout);
    ~CXTPDockingPaneMiniWnd() override;

    // The window at rc (screen coordinates) holding the item; a single pane first gets a tabbed container.
    BOOL Create(CXTPDockingPaneBase* pItem, CRect rc);
    // The window of a frame that has its tree already (a loaded or copied layout).
    BOOL CreateFrameWindow(CRect rc);
    CXTPDockingPaneSplitterContainer* GetTopPane() const { return m_pTopContainer; }

    // Serves both the frame's layout and the node's: the top container fills the client area.
    void RecalcLayout(BOOL bNotify = TRUE) override;
    void OnChildChanged(CXTPDockingPaneBase* pChild) override;
    void RemovePane(CXTPDockingPaneBase* pPane) override;
    BOOL ContainsPane(CXTPDockingPaneBase* pPane) const override;
    void FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList) override;
    BOOL IsEmpty() const override;
    BOOL IsCaptionButtonVisible(CXTPDockingPaneCaptionButton* pButton) override;
    CWnd* GetWindow() const override { return const_cast<CXTPDockingPaneMiniWnd*>(this); }
    CXTPDockingPaneBase* Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                               DWORD dwIgnoredOptions) override;
    BOOL DoPropExchange(CXTPPropExchange* pPX) override;
    void RefreshFrame();
    // With the manager's custom captions: the tooltip of the caption button under the point.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    BOOL HasCustomCaption() const;

    // Rolling up to the caption (the pin).
    void Collapse();
    void Expand();
    BOOL IsCollapsed() const { return m_bCollapsed; }

    CXTPDockingPaneSplitterContainer* m_pTopContainer = NULL;
    BOOL m_bCloseEnabled = FALSE;
    int m_nExpandedHeight = 0;
    int m_nStepsCount;
    int m_nStep;
    int m_nDeactivationCount = 0;
    BOOL m_bCollapsed = FALSE;
    BOOL m_bExpanded = FALSE;
    BOOL m_bAnimation = FALSE;
    BOOL m_bCreating = FALSE;

    enum
    {
        kRollTime = 128,
        kStepTime = 16,
        kTimerRollUp = 1,
        kTimerAnimate = 3,
        kTimerHot = 2345,
    };

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The layout owns the node: the window's end does not delete it.
    void PostNcDestroy() override {}

private:
    BOOL ShouldStayOpen() const;
    void OnRollTimer();
    void OnAnimateTimer();
    void CloseFrame();
    int MinimumHeight() const;
    void ApplyCaptionStyle();
    // The visible caption button at the point (window coordinates), or null.
    CXTPDockingPaneCaptionButton* ButtonAt(CPoint ptWindow) const;
    // Follows a pressed caption button until release; whether it ended over the button.
    BOOL TrackCaptionButton(CXTPDockingPaneCaptionButton* pButton);
    BOOL OnCaptionButtonDown(CPoint ptScreen);
    void UpdateHotButtons(CPoint ptScreen);
};
