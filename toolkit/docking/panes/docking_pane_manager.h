// The one object through which a frame gets docking panes: a hidden child of its site frame that owns
// the layout (the tree of panes and containers), the paint manager, the pane icons, the drag context
// and the caption buttons' tooltips. Everything that moves panes goes through it, and it asks and tells
// the site about each move with message XTPWM_DOCKINGPANE_NOTIFY.
#pragma once

#include "docking_pane.h"
#include "docking_pane_base.h"
#include "docking_pane_layout.h"
#include "docking_pane_paint_manager.h"
#include "tab_directions.h"

class CXTPImageManager;
class CXTPImageManagerIcon;
class CXTPToolTipController;
class CXTPDockingPaneContext;

// Sent to the site; wParam one of XTP_DPN_*.
#define XTPWM_DOCKINGPANE_NOTIFY 0x2AAD
#define XTP_DPN_SHOWWINDOW 1
#define XTP_DPN_RCLICK 2
#define XTP_DPN_CLOSEPANE 3
#define XTP_DPN_ACTION 4
#define XTP_DPN_CONTEXTMENU 5

// Actions of XTP_DPN_ACTION; the even ones announce and may be refused.
enum XTPDockingPaneAction
{
    xtpPaneActionFloating = 0,
    xtpPaneActionFloated = 1,
    xtpPaneActionClosing = 2,
    xtpPaneActionClosed = 3,
    xtpPaneActionDocking = 4,
    xtpPaneActionDocked = 5,
    xtpPaneActionAttaching = 6,
    xtpPaneActionAttached = 7,
    xtpPaneActionPinning = 8,
    xtpPaneActionPinned = 9,
    xtpPaneActionCollapsing = 10,
    xtpPaneActionCollapsed = 11,
    xtpPaneActionExpanding = 12,
    xtpPaneActionExpanded = 13,
    xtpPaneActionActivated = 14,
    xtpPaneActionDeactivated = 15,
    xtpPaneActionDetaching = 16,
};

struct XTP_DOCKINGPANE_ACTION
{
    int action;
    BOOL bCancel;
    CXTPDockingPane* pPane;
    CXTPDockingPaneBase* pDockContainer;
    int dockDirection;
};

// The id the manager's hidden window takes in its site: inside the frame's bar range, so that the
// frame's layout sends it WM_SIZEPARENT.
#define XTP_IDW_DOCKINGPANE_MANAGER 0xE8F0

class CXTPDockingPaneManager : public CWnd
{
public:
    CXTPDockingPaneManager();
    ~CXTPDockingPaneManager() override;

    virtual CXTPDockingPaneLayout* CreateLayout();
    virtual CXTPDockingPaneBase* CreatePaneOfType(int type, CXTPDockingPaneLayout* pLayout);
    virtual void SetActivePane(BOOL bActivate, CXTPDockingPane* pPane);

    // Installation on a site frame: the hidden child window and a first layout, shown.
    BOOL InstallManager(CWnd* pSite);
    void UninstallManager();
    CXTPDockingPaneLayout* GetLayout() const { return m_pLayout; }
    // Makes the layout current (the manager takes the caller's reference); the old one is released.
    void SetLayout(CXTPDockingPaneLayout* pLayout);
    CWnd* GetSite() const { return m_pSite; }

    void SetTheme(int nTheme);
    CXTPDockingPanePaintManager* GetPaintManager() const { return m_pPaintManager; }
    LRESULT NotifyOwner(int nAction, CXTPDockingPane* pPane, CXTPDockingPaneBase* pContainer, int nExtra);
    CXTPDockingPane* FindPane(int nID) const;
    void ShowPane(CXTPDockingPane* pPane, BOOL bSetFocus = TRUE);
    void ClosePane(CXTPDockingPane* pPane);
    void HidePane(CXTPDockingPaneBase* pPane);
    void ToggleDocking(CXTPDockingPaneBase* pPane);
    BOOL ToggleDockingPane(CXTPDockingPane* pPane, CXTPDockingPaneBase* pHolder);
    void DockPane(CXTPDockingPaneBase* pPane, XTPDockingPaneDirection direction,
                  CXTPDockingPaneBase* pNeighbour = NULL);
    void FloatPane(CXTPDockingPaneBase* pPane, CRect rc);
    CXTPDockingPaneBase* GetPaneHolder(CXTPDockingPane* pPane, BOOL bFloating) const;
    void RecordHolders();
    CRect GetDockingRect(XTPDockingPaneDirection direction, CXTPDockingPaneBase* pNeighbour);
    int GetPaneDirection(const CXTPDockingPaneBase* pPane) const;
    HICON GetIcon(int nIconID, int nWidth) const;
    // The image set of the icon, with its hot, pressed and disabled forms; null when there is none.
    CXTPImageManagerIcon* GetImage(int nIconID, int nWidth) const;
    BOOL IsLayoutRTL() const;
    int MirrorDirection(int direction) const;
    void RedrawPanes();
    void UpdatePanes();
    CXTPImageManager* GetImageManager() const { return m_pImageManager; }
    CXTPToolTipController* GetToolTipController() const { return m_pToolTipContext; }
    CXTPDockingPaneContext* GetDockingContext() const { return m_pDockingContext; }
    CXTPDockingPane* GetActivePane() const { return m_pActivePane; }
    CXTPDockingPaneBase* GetTopPane() const;
    CXTPDockingPaneBase* GetClientPane() const;
    BOOL IsLaidOut() const { return m_bLayoutCreated; }

    int m_nSplitterGap = 22;
    BOOL m_bCloseGroupOnButtonClick = FALSE;
    BOOL m_bHideGroupOnButtonClick = TRUE;
    CWnd* m_pSite = NULL;
    CXTPDockingPaneLayout* m_pLayout = NULL;
    CXTPDockingPanePaintManager* m_pPaintManager = NULL;
    CXTPDockingPane* m_pActivePane = NULL;
    CXTPImageManager* m_pImageManager = NULL;
    BOOL m_bHideClient = FALSE;
    BOOL m_bUseSplitterTracker = TRUE;
    BOOL m_bShowMaximizeButton = FALSE;
    BOOL m_bLockSplitters = FALSE;
    BOOL m_bAlphaDockingContext = FALSE;
    BOOL m_bShowDockingContextStickers = FALSE;
    BOOL m_bCustomTitleBar = FALSE;
    BOOL m_bFloatingFrameFlag = TRUE;
    DWORD m_dwDefaultPaneOptions = 0;
    int m_nCaptionDirection = 0;
    CString m_strText;
    int m_nStickyStyle = 0;
    CXTPDockingPaneContext* m_pDockingContext = NULL;
    int m_nReserved = 0;
    CXTPToolTipController* m_pToolTipContext = NULL;
    BOOL m_bAttachingPane = FALSE;
    BOOL m_bLayoutCreated = FALSE;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override {}

private:
    // What moves: a pane leaves its container; a container's panes move into a clone, which is returned.
    CXTPDockingPaneBase* TakeForMove(CXTPDockingPaneBase* pPane);
};
