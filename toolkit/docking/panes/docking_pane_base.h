// Every node of a docking tree: panes, tabbed and splitter containers, the client placeholder, and the
// floating frames and side panels that come with them. A node belongs to the layout that made it;
// containers hold their children by these pointers, and the type code says which object one is.
#pragma once

#include <afxwin.h>

#include "docking_resource_ids.h"

#include <functional>
#include <map>
#include <vector>

class CXTPDockingPaneLayout;
class CXTPDockingPaneManager;
class CXTPDockingPaneBase;
class CXTPDockingPane;
class CXTPPropExchange;

enum XTPDockingPaneType
{
    xtpPaneTypeDockingPane = 0,
    xtpPaneTypeTabbedContainer = 1,
    xtpPaneTypeSplitterContainer = 2,
    xtpPaneTypeMiniWnd = 3,
    xtpPaneTypeClient = 4,
    xtpPaneTypeSidePanel = 5,
};

// Options of a pane; the effective ones are the manager's defaults OR the pane's own.
enum XTPDockingPaneOptions
{
    xtpPaneNoCloseable = 1,
    xtpPaneNoHideable = 2,
    xtpPaneNoFloatable = 4,
    xtpPaneNoCaption = 8,
    xtpPaneHasMenuButton = 16,
};

typedef std::vector<CXTPDockingPaneBase*> CXTPDockingPaneBaseList;
// Old node to its clone, filled while a subtree is cloned with a map.
typedef std::map<CXTPDockingPaneBase*, CXTPDockingPaneBase*> CXTPPaneToPaneMap;

class CXTPDockingPaneCaptionButton
{
public:
    CXTPDockingPaneCaptionButton(int nID, CXTPDockingPaneBase* pPane) : m_nID(nID), m_pPane(pPane) {}

    int GetID() const { return m_nID; }
    CRect GetRect() const { return m_rcButton; }
    BOOL IsVisible();
    BOOL IsPressed() const { return m_bPressed; }
    DWORD GetState() const { return m_dwState; }
    void SetState(DWORD dwState) { m_dwState = dwState; }
    BOOL PtInRect(CPoint point) const { return m_rcButton.PtInRect(point); }
    CXTPDockingPaneBase* GetPane() const { return m_pPane; }

    CRect m_rcButton;
    int m_nID;
    CXTPDockingPaneBase* m_pPane;
    BOOL m_bPressed = FALSE;
    BOOL m_bSelected = FALSE;
    // The pin's state: bit 1 the container stands in its site frame, bit 2 it is auto-hidden.
    DWORD m_dwState = 0;
};

class CXTPDockingPaneBase
{
public:
    CXTPDockingPaneBase(XTPDockingPaneType type, CXTPDockingPaneLayout* pLayout);
    virtual ~CXTPDockingPaneBase();
    CXTPDockingPaneBase(const CXTPDockingPaneBase&) = delete;
    CXTPDockingPaneBase& operator=(const CXTPDockingPaneBase&) = delete;

    virtual void RedrawPane();
    virtual BOOL ContainsPane(CXTPDockingPaneBase* pPane) const;
    virtual void FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList);
    virtual void GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo) const;
    // lParam: the frame's AFX_SIZEPARENTPARAMS, or null while only measuring.
    virtual void OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam);
    virtual void OnIdleUpdate() {}
    virtual void SetParentFrame(CWnd* pFrame) { m_pParentFrame = pFrame; }
    virtual void SetParentContainer(CXTPDockingPaneBase* pContainer) { m_pParentContainer = pContainer; }
    virtual void OnChildChanged(CXTPDockingPaneBase* pChild) { (void)pChild; }
    virtual void RecalcLayout(BOOL bDelay);
    virtual void OnParentChanged(CXTPDockingPaneBase* pParent) { (void)pParent; }
    virtual BOOL DoPropExchange(CXTPPropExchange* pPX);
    virtual CXTPDockingPaneBase* Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                                       DWORD dwIgnoredOptions);
    virtual void RemovePane(CXTPDockingPaneBase* pPane) { (void)pPane; }
    virtual BOOL IsEmpty() const;
    virtual BOOL IsCaptionButtonVisible(CXTPDockingPaneCaptionButton* pButton)
    {
        (void)pButton;
        return TRUE;
    }
    virtual CWnd* GetWindow() const { return NULL; }
    virtual BOOL IsHidden() const { return FALSE; }

    XTPDockingPaneType GetType() const { return m_type; }
    CXTPDockingPaneLayout* GetLayout() const { return m_pLayout; }
    CXTPDockingPaneManager* GetDockingPaneManager() const;
    CXTPDockingPaneBase* GetContainer() const { return m_pParentContainer; }
    CWnd* GetDockingSite() const { return m_pParentFrame; }
    CRect GetPaneWindowRect() const { return m_rcWindow; }
    // The frame of the node as a frame window when it is one (the site); null for other frames.
    CFrameWnd* GetParentFrameWnd() const;
    // The node's frame lays out at its next idle time, and tells its bars.
    void DelayLayoutFrame(BOOL bNotify = TRUE) const;

    CSize m_szDocking;
    CXTPDockingPaneLayout* m_pLayout;
    CXTPDockingPaneBase* m_pParentContainer = NULL;
    CWnd* m_pParentFrame;
    XTPDockingPaneType m_type;
    CRect m_rcWindow;
    std::vector<CXTPDockingPaneCaptionButton*> m_arrCaptionButtons;
    // This layout pass's length: a positive weight, or minus a fixed number of pixels.
    int m_nLength = 0;
    int m_nIndex = 0;
};

// Follows a pressed caption button of the window until the release: each mouse move over the window,
// its client point mapped by mapPoint into the button's coordinates, presses or releases the button, and
// redraw shows it. Whether the release came over the button.
BOOL AFXAPI XTPTrackCaptionButton(HWND hWnd, CXTPDockingPaneCaptionButton* pButton,
                                  const std::function<CPoint(CPoint)>& mapPoint, const std::function<void()>& redraw);

// A container's children in its section: "Pane-1" .. "Pane-n", each the saved index of a child in order.
void AFXAPI XTPExchangePaneIndex(CXTPPropExchange* pPX, int nPosition, long& nIndex);
template <class TPane> void XTPStorePaneIndexes(CXTPPropExchange* pPX, const std::vector<TPane*>& panes)
{
    for (size_t i = 0; i < panes.size(); ++i) {
        long nIndex = panes[i]->m_nIndex;
        XTPExchangePaneIndex(pPX, static_cast<int>(i + 1), nIndex);
    }
}

// The pane-list record of a pane: the containers it last stood in while floating, while docked, and at all.
struct XTP_DOCKINGPANE_INFO
{
    CXTPDockingPane* pPane;
    CXTPDockingPaneBase* pFloatingHolder;
    CXTPDockingPaneBase* pDockingHolder;
    CXTPDockingPaneBase* pLastHolder;
};
