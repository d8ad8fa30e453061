// The drag of a pane, a tabbed container or a floating frame's content: a modal loop follows the mouse,
// decides at every move where the item would land (beside a container, at an edge of the frame, into a
// container as tabs, or floating), shows it as an inverted outline or as translucent windows with dock
// markers, asks the site whether the move is allowed, and moves the item on release.
#pragma once

#include <afxwin.h>

#include <map>
#include <vector>

class CXTPDockingPaneManager;
class CXTPDockingPaneBase;
class CXTPDockingPaneContext;
class CXTPDockingPane;

// The translucent window that shows a landing place (or the tab of a tab group) while dragging.
class CXTPDockingPaneFeedbackWnd : public CWnd
{
public:
    BOOL CreateFeedback(CXTPDockingPaneContext* pContext);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Parts of a dock marker: bits of its kind and values of its hot part.
enum XTPDockingPaneMarkerPart
{
    xtpMarkerLeft = 1,
    xtpMarkerRight = 2,
    xtpMarkerTop = 4,
    xtpMarkerBottom = 8,
    xtpMarkerCentre = 16,
    // The kind's bit of the centre group over a container.
    xtpMarkerGroup = 32,
};

// One dock marker on the screen, shaped by its window region.
class CXTPDockingPaneMarkerWnd : public CWnd
{
public:
    explicit CXTPDockingPaneMarkerWnd(CXTPDockingPaneContext* pContext) : m_pContext(pContext) {}

    int m_nKind = 0;
    int m_nHotPart = 0;
    CXTPDockingPaneContext* m_pContext;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Where a piece of marker artwork lies in its bitmap and where it goes in a centre group.
struct XTP_DOCKINGPANE_MARKER_PIECE
{
    int x;
    int y;
    RECT rcSource;
};

class CXTPDockingPaneContext
{
public:
    explicit CXTPDockingPaneContext(CXTPDockingPaneManager* pManager);
    virtual ~CXTPDockingPaneContext();
    CXTPDockingPaneContext(const CXTPDockingPaneContext&) = delete;
    CXTPDockingPaneContext& operator=(const CXTPDockingPaneContext&) = delete;

    virtual void Drag(CXTPDockingPaneBase* pPane, CPoint pt);
    virtual void Track();
    virtual void Move(CPoint pt);
    virtual void InitLoop();
    virtual void CancelLoop();
    virtual void DrawFeedback(BOOL bErase = FALSE);
    virtual void FindDockTarget(CPoint pt);

    // Sets up a drag without its loop: the state Drag has before it tracks (for a caller driving Move).
    void BeginDrag(CXTPDockingPaneBase* pPane, CPoint pt);
    // The move the last drag decided on, as a release does it.
    void PerformDrop();

    void DrawMarker(CXTPDockingPaneMarkerWnd* pMarker, CDC* pDC);
    int HitTestMarker(CXTPDockingPaneMarkerWnd* pMarker, CPoint ptScreen);
    CXTPDockingPaneMarkerWnd* CreateMarkerWnd(CRect rc, int nKind);
    void DestroyMarkers();

    // The rectangle less its 4-pixel-inset interior.
    static void AFXAPI CreateFrameRegion(CRgn* pRgn, CRect rc);
    // The outline drawn for a landing place: a frame, or with bIntoTabs the shape of a tab group.
    static void AFXAPI CreateOutlineRegion(CRgn* pRgn, CRect rc, BOOL bIntoTabs);
    // The pixels of the bitmap that are neither black nor unreadable, row by row.
    static void AFXAPI RegionFromBitmap(CRgn* pRgn, CDC* pDC, int nWidth, int nHeight);
    // A marker's size: kind 4 or 8, 1 or 2, or a centre group, in the marker style.
    static CSize AFXAPI GetMarkerSize(int nKind, int nStyle);
    static const XTP_DOCKINGPANE_MARKER_PIECE* AFXAPI GetMarkerPieces(int nStyle, int* pnCount);

    BOOL IsLayeredAvailable() const { return m_pfnSetLayeredWindowAttributes != NULL; }
    const std::vector<CXTPDockingPaneMarkerWnd*>& GetMarkers() const { return m_lstMarkers; }
    size_t GetRegionCount() const { return m_mapRegions.size(); }
    CXTPDockingPaneBase* GetTarget() const { return m_pTarget; }
    BOOL IsIntoTabs() const { return m_bAttach; }
    int GetDirection() const { return m_nDirection; }
    CRect GetLandingRect() const { return m_rcLanding; }
    CRect GetDragRect() const { return m_rcDragFrame; }
    BOOL IsFloatAllowed() const { return m_bFloatable; }
    CXTPDockingPaneFeedbackWnd& GetFeedbackWnd() { return m_wndContext; }

    CXTPDockingPaneFeedbackWnd m_wndContext;
    CXTPDockingPaneFeedbackWnd m_wndAttachedTab;
    typedef BOOL(WINAPI* PFNSETLAYEREDWINDOWATTRIBUTES)(HWND, COLORREF, BYTE, DWORD);
    PFNSETLAYEREDWINDOWATTRIBUTES m_pfnSetLayeredWindowAttributes = NULL;
    BOOL m_bUseDockingStickers = FALSE;
    BOOL m_bUseAlphaContext = FALSE;
    CRect m_rcHovered;
    CXTPDockingPaneBase* m_pHovered = NULL;
    CXTPDockingPaneBase* m_pLastHovered = NULL;
    std::vector<CXTPDockingPaneMarkerWnd*> m_lstMarkers;
    CPoint m_ptLast;
    CPoint m_ptStart;
    BOOL m_bStarted = FALSE;
    CRect m_rcDragFrame;
    CXTPDockingPaneManager* m_pManager;
    CXTPDockingPaneBase* m_pItem = NULL;
    CXTPDockingPaneBase* m_pTarget = NULL;
    CRect m_rcLanding;
    BOOL m_bLastAttach = FALSE;
    BOOL m_bAttach = FALSE;
    BOOL m_bFloatable = TRUE;
    CRect m_rcLast;
    std::map<int, HRGN> m_mapRegions;
    int m_nDirection = 0;
    CDC* m_pDC = NULL;
    BOOL m_bLocked = FALSE;
    // The outline last inverted on the desktop.
    HRGN m_hrgnLast = NULL;

private:
    CXTPDockingPaneBase* GetTopContainer() const;
    CWnd* GetSite() const;
    CRect ScreenRectOf(CXTPDockingPaneBase* pNode) const;
    // Whether every pane of the item accepts the announcement.
    BOOL AllPanesAccept(int nAction, CXTPDockingPaneBase* pTarget, int nDirection) const;
    BOOL SideTest(CRect rc, CPoint pt, CXTPDockingPaneBase* pCandidate, BOOL bInside);
    void BuildMarkers();
    void DrawPiece(CDC* pDC, UINT nBitmapID, const XTP_DOCKINGPANE_MARKER_PIECE& piece, CPoint ptDest);
    void DeleteRegions();
};
