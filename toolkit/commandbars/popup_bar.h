// The popup bar: a drop-down or cascading menu, a context menu or a toolbar's expand menu in a
// top-level popup window, placed beside what opened it and kept inside the monitor's work area, with
// scroll buttons when its items do not fit, an expand item for rarely used commands, an opening
// animation, a drop shadow and the menu sound. The popup toolbar is the same window laid out as a
// wrapping grid of buttons. Included at the end of command_bar.h.
#pragma once

// Timers of a popup bar (on its own window).
#define XTP_TID_SCROLLDOWN 5001
#define XTP_TID_SCROLLUP 5002
#define XTP_TID_TEAROFF 5003
#define XTP_TID_SHOWFULL 5004
// The expand item of a menu that hides rarely used commands.
#define XTP_ID_POPUPBAR_EXPAND 9402
// Sent to the site: a popup bar is about to be shown (0, 0), and a popup bar closed (0, the bar).
#define XTP_WM_INITCOMMANDSPOPUP 0x285B
#define XTP_WM_UNINITCOMMANDSPOPUP 0x285D
// Height of a scroll button of a menu that does not fit.
#define XTP_POPUP_SCROLL_HEIGHT 16

// Placement bits of a popup: it opens to the left of what opened it (right-aligned), and below a
// horizontal control (else to its side).
enum XTPPopupFlags
{
    xtpPopupLeft = 1,
    xtpPopupDown = 2,
};

// Where a popup of a size goes: its top-left, its (possibly shortened) height, the placement flags it
// ends with, and whether it scrolls.
struct XTP_POPUP_PLACEMENT
{
    CPoint pt;
    CSize size;
    DWORD dwFlags;
    BOOL bScroll;
};

// Places a popup of size sz for the requested point and flags, avoiding the exclude rectangle (empty
// for a point) inside the work area.
XTP_POPUP_PLACEMENT AFXAPI XTPCalcPopupPlacement(CSize sz, const CRect& rcExclude, CPoint pt, DWORD dwFlags,
                                                 const CRect& rcWork);

// Pumps the thread's messages until the bar stops tracking; the exit code of a WM_QUIT that ended
// it (the caller posts it again once it has cleaned up), else INT_MIN.
int AFXAPI XTPTrackPopupLoop(CXTPCommandBar* pBar);

class CXTPToolBar;

class CXTPPopupBar : public CXTPCommandBar
{
    DECLARE_DYNCREATE(CXTPPopupBar)
public:
    CXTPPopupBar();
    ~CXTPPopupBar() override;
    // A popup bar of m_pPopupBarClass (reference-counted; the caller releases it with
    // InternalRelease); null while no popup-bar class is set.
    static CXTPPopupBar* AFXAPI CreatePopupBar(CXTPCommandBars* pCommandBars);
    static CRuntimeClass* m_pPopupBarClass;
    // Widest share of the primary work area's right coordinate a menu item may take; 0 or less
    // lifts the limit.
    static double m_dMaxWidthDivisor;

    // Shows the popup for its owner control (null for a context menu placed by SetPopupPosition).
    BOOL Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst = FALSE) override;
    // Shows the bar at a point with TrackPopupMenu's flags and tracks it modally; the chosen command
    // with TPM_RETURNCMD, else non-zero on success.
    virtual int Popup(UINT nFlags, int x, int y, CWnd* pOwner, LPCRECT lpRectExclude);
    // Stores the place asked for and shows the bar without owner control.
    BOOL SetPopupPosition(int x, int y, LPCRECT lpRectExclude, BOOL bSelectFirst = FALSE);
    // Shows the commands hidden as rarely used.
    void ExpandBar();

    void DoPropExchange(CXTPPropExchange* pPX) override;
    BOOL SetTracking(int nMode, BOOL bSelectFirst = FALSE, BOOL bKeyboard = FALSE) override;
    BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE) override;
    BOOL IsVisible() const override;
    void OnRecalcLayout() override;
    CXTPCommandBar* GetParentBar() const override;
    int OnKeyDown(UINT nChar, LPARAM lParam) override;
    BOOL ProcessSpecialKey(int nKey) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void DrawCommandBar(CDC* pDC, CRect rcClipBox) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    // Shortcut texts of the visible items from the shortcut manager.
    virtual void UpdateShortcuts();
    // The exclude rectangle, placement flags and requested point from the owner control.
    virtual void UpdateLocation();

    // Destroys the window after parking custom controls' windows with the site.
    BOOL DestroyWindow() override;

    BOOL IsScrolling() const { return m_bScrolling; }
    int GetFirstVisible() const { return m_nFirstVisible; }
    int GetEndVisible() const { return m_nEndVisible; }
    CRect GetScrollDownRect() const { return m_rcScrollDown; }
    CRect GetScrollUpRect() const { return m_rcScrollUp; }
    BOOL IsExpanded() const { return m_bExpanded; }
    BOOL HasHiddenItems() const { return m_bCollapsed; }
    DWORD GetPopupFlags() const { return m_dwPopupFlags; }
    CRect GetExcludeRect() const { return m_rcExclude; }
    void SetShowShadow(BOOL bShow) { m_bShowShadow = bShow; }

    // The control that opened this bar.
    CXTPControlPopup* m_pControlPopup = NULL;
    // The animation kind the last show used (5 none).
    int m_nLastAnimation = 5;
    // The popup toolbar's inner margins.
    CRect m_rcBorders = CRect(2, 4, 2, 4);
    // Tear-off: the popup can be dragged off by its gripper into a floating toolbar of that id,
    // caption and width.
    BOOL m_bTearOffPopup = FALSE;
    CString m_strTearOffCaption;
    UINT m_nTearOffID = 0;
    int m_nTearOffWidth = 0;
    CRect GetTearOffGripperRect() const { return m_rcTearOffGripper; }
    BOOL IsTearOffHot() const { return m_bTearOffSelected; }
    // The floating toolbar of the last tear-off; null when none stayed.
    CXTPToolBar* GetTornOffBar() const { return m_pTearOffBar; }

protected:
    // Size and place for the current owner and point; moves and shows the window.
    void UpdateLayout(BOOL bShow);
    // Stacks the visible controls of a shown scrolling menu from the first visible one down (or from
    // the end visible one up).
    void LayoutScrolling(BOOL bDown);
    void AdjustScrolling(int nSelected);
    void ScrollBy(BOOL bDown);
    void Animate();
    CXTPControl* GetExpandItem(BOOL bCreate);
    // The drag from the gripper: captures the mouse and runs until the button is released.
    void TrackTearOff();
    // The floating toolbar the popup tears off into, placed with its caption centred above the point.
    CXTPToolBar* TearOff(CPoint ptScreen);
    void MoveTornOffBar(CPoint ptScreen);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    CPoint m_ptPopup = CPoint(0, 0);
    CRect m_rcExclude;
    DWORD m_dwPopupFlags = 0;
    BOOL m_bDynamicLayout = FALSE;
    BOOL m_bCollapsed = FALSE;
    BOOL m_bExpanded = FALSE;
    BOOL m_bExpanding = FALSE;
    BOOL m_bShowShadow = TRUE;
    BOOL m_bScrolling = FALSE;
    int m_nFirstVisible = 0;
    int m_nEndVisible = 0;
    CRect m_rcScrollDown;
    CRect m_rcScrollUp;
    BOOL m_bScrollDownTimer = FALSE;
    BOOL m_bScrollUpTimer = FALSE;
    CRect m_rcTearOffGripper;
    BOOL m_bTearOffSelected = FALSE;
    BOOL m_bTearOffTracking = FALSE;
    CXTPToolBar* m_pTearOffBar = NULL;
};

// The popup laid out as a wrapping grid of buttons (the toolbar's expand menu).
class CXTPPopupToolBar : public CXTPPopupBar
{
    DECLARE_DYNCREATE(CXTPPopupToolBar)
public:
    CXTPPopupToolBar();
    static CXTPPopupToolBar* AFXAPI CreatePopupToolBar(CXTPCommandBars* pCommandBars);
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
};

// The expand item at the foot of a menu that hides rarely used commands: a double chevron.
class CXTPControlPopupExpand : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlPopupExpand)
public:
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void Execute() override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
};
