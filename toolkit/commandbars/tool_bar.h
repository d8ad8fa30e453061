// The dockable bars: the toolbar (filled from an RT_TOOLBAR resource, laid out for its side with an
// expand button for what does not fit), the menu bar that replaces the frame's window menu (with the
// maximised MDI child's buttons), and the dock bar along each frame edge that holds bars in rows.
#pragma once

#include <afxwin.h>

#include "command_bar.h"

#include <map>
#include <vector>

class CXTPDockBar;
class CXTPToolBarDragTracker;

class CXTPToolBar : public CXTPCommandBar
{
    DECLARE_DYNCREATE(CXTPToolBar)
public:
    CXTPToolBar();
    ~CXTPToolBar() override;

    // Window of the bar, docked in the dock bar of a side or floating.
    BOOL CreateToolBar(DWORD dwStyle, CWnd* pParentWnd, UINT nID = AFX_IDW_TOOLBAR);
    // Controls from a button-id list; 0 makes the next one begin a group.
    BOOL SetButtons(const UINT* pButtons, int nCount);
    BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE) override;
    void SetVisible(BOOL bVisible) override;
    BOOL IsVisible() const override { return m_bVisible; }
    BOOL SetPosition(XTPBarPosition barPosition) override;
    void OnRecalcLayout() override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    virtual CSize CalcDockingLayout(int nLength, DWORD dwMode, int nWidth = 0);
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    // Docked in a dock bar (reparented) or floating in its own popup window.
    virtual void SetFloating(CWnd* pFrame, BOOL bFloating);
    // Back to the controls the bar was loaded with, after the user confirms.
    virtual void Reset(BOOL bShowWarningMessage = TRUE);
    BOOL IsResetAllowed() const { return m_bCanReset; }
    void SetCanReset(BOOL bCanReset) { m_bCanReset = bCanReset; }

    CXTPDockBar* GetDockBar() const { return m_pDockBar; }
    // Leaves the dock bar it is on and clears its dock link.
    virtual void RemoveFromDockBar();
    // The icon size, and the button size (explicit, else the icon plus 7).
    CSize GetIconSize() const;
    CSize GetButtonSize() const;
    void SetIconSize(CSize size) { m_szIcons = size; }
    void SetButtonSize(CSize size) { m_szButtons = size; }
    void OnSetPreviewMode(BOOL bPreview);
    // In a dialog (a bar without drag tracker) Tab and Shift+Tab leave the bar for the dialog's
    // next and previous controls.
    int OnKeyDown(UINT nChar, LPARAM lParam) override;
    BOOL m_bShowExpandButton = TRUE;
    // The wanted place in its dock row (dock bar client coordinates), kept by the dock bar.
    CRect m_rcDocked;
    // Where the bar was last docked (dock bar window id, rectangle in that dock bar's client
    // coordinates) and where it last floated (screen); kept in the saved layout.
    long m_nMRUDockID = 0;
    CRect m_rcMRUDockPos = CRect(0, 0, 0, 0);
    CPoint m_ptMRUFloatPos = CPoint(0, 0);
    // Made by the program (not by the user); may be closed; offers its context menu.
    BOOL m_bBuiltIn = TRUE;
    BOOL m_bTearOff = FALSE;
    BOOL m_bCloseable = TRUE;
    BOOL m_bContextMenuPresent = TRUE;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    // Made on first use by a bar of command bars; moves, docks, floats and resizes the bar.
    CXTPToolBarDragTracker* GetDragTracker();

protected:
    // The floating window's activation, hit testing and WM_FLOATSTATUS.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnFloatStatus(WPARAM wParam);
    // The docked bar's layout mode and its size for WM_SIZEPARENT directly in a frame.
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnClose() {}
    // Empty bar space moves the bar, a double-click there docks or floats it, a floating bar's
    // border resizes it.
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    // A bar in a dialog takes the keyboard when the dialog gives it the focus.
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    DECLARE_MESSAGE_MAP()

    CXTPControl* GetExpandButton(BOOL bCreate);
    CXTPControl* GetCloseButton(BOOL bCreate);
    // Reads and checks an RT_TOOLBAR resource: version 1, a count that fits.
    static BOOL ReadToolBarResource(HINSTANCE hInst, UINT nIDResource, CSize& szImage,
                                    std::vector<UINT>& ids);

    CXTPDockBar* m_pDockBar = NULL;
    BOOL m_bCanReset = TRUE;
    BOOL m_bRemoveWhenHidden = FALSE;
    BOOL m_bVisibleBeforePreview = FALSE;
    BOOL m_bInPreview = FALSE;
    CSize m_szIcons;
    CSize m_szButtons;
    CXTPToolBarDragTracker* m_pDragTracker = NULL;

    friend class CXTPDockBar;
    friend class CXTPCommandBars;
};

class CXTPMenuBar : public CXTPToolBar
{
    DECLARE_DYNCREATE(CXTPMenuBar)
public:
    CXTPMenuBar();
    ~CXTPMenuBar() override;

    // Fills the bar from the menu resource, hooks the frame (and the MDI client), takes the frame's
    // menu away and keeps it.
    BOOL LoadMenuBar(UINT nIDResource);
    // The active MDI child and whether it is maximised; null outside an MDI frame.
    CMDIChildWnd* GetActiveMdiChild(BOOL* pbMaximized = NULL) const;
    // Re-hooks the active child and rebuilds the maximised child's system menu and buttons.
    void RefreshMdiState();
    // Shows the controls of the active document type's menu; with customised menus kept, each
    // type keeps its own controls while another is shown.
    void SwitchMenu(HMENU hMenu);
    UINT GetCurrentMenuId() const { return m_nCurrentMenuId; }
    void Reset(BOOL bShowWarningMessage = TRUE) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    void GenerateCommandBarList(DWORD& nID, CXTPCommandBarList* pList,
                                CXTPCommandBarsExchangeParam* pParam) override;
    void RestoreCommandBarList(CXTPCommandBarList* pList) override;
    // Before the layout is saved: the frame's own menu shown again and the kept menus that equal
    // their menu dropped. TRUE when menus were kept (the frame then updates its menu after saving).
    BOOL PrepareLayoutSave();
    // The controls kept for a menu that is not shown; null when none is.
    CXTPControls* GetCachedControls(UINT nMenuId) const;
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
    // Adds or removes a frame button; TRUE when that changed the controls.
    BOOL AddSysButton(int nId, BOOL bNeeded);

    BOOL m_bMdiApp = FALSE;
    HWND m_hwndMdiChild = NULL;
    HMENU m_hMenuFrame = NULL;
    UINT m_nDefaultMenuId = 0;
    UINT m_nCurrentMenuId = 0;
    HMENU m_hMenuSystem = NULL;
    // The controls of the menus not shown now, one reference each, by menu identity.
    std::map<UINT, CXTPControls*> m_mapMenuControls;
    BOOL m_bCacheUsed = FALSE;

    void ReleaseCachedMenus();

    friend class CXTPCommandBars;
};

// Asks the user to confirm the reset of a bar (OK and Cancel); TRUE on OK.
BOOL AFXAPI XTPConfirmResetBar(CXTPCommandBar* pBar);

// The system-menu popup of a maximised MDI child: the child's small icon in place of a caption.
class CXTPControlMDISysMenuPopup : public CXTPControlPopup
{
    DECLARE_DYNCREATE(CXTPControlMDISysMenuPopup)
public:
    ~CXTPControlMDISysMenuPopup() override;
    void SetIcon(HICON hIcon);
    CSize GetSize(CDC* /*pDC*/) override { return CSize(18, 18); }
    void Draw(CDC* pDC) override;
    HMENU m_hMenuSystem = NULL;

private:
    HICON m_hIcon = NULL;
};

// The maximised child's minimise, restore and close buttons (a Marlett glyph each).
class CXTPControlMDIButton : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlMDIButton)
public:
    CSize GetSize(CDC* /*pDC*/) override { return CSize(16, 16); }
    void Draw(CDC* pDC) override;
    void Execute() override;
};

class CXTPDockBar : public CWnd
{
    DECLARE_DYNAMIC(CXTPDockBar)
public:
    explicit CXTPDockBar(CXTPCommandBars* pCommandBars);
    ~CXTPDockBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    // Inserts the bar at the row under the rectangle's centre (screen coordinates); without a
    // rectangle in a new last row.
    void DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect = NULL);
    int RemoveCommandBar(CXTPToolBar* pBar, int nIndexExclude = -1);
    int FindBar(CXTPToolBar* pBar, int nIndexExclude = -1) const;
    XTPBarPosition GetPosition() const;
    BOOL IsHorizontal() const { return GetPosition() == xtpBarTop || GetPosition() == xtpBarBottom; }
    // The visible bars of the row holding the entry, by their left edge.
    void GetRowBars(int nIndex, std::vector<CXTPToolBar*>& bars) const;
    // The stored rows: bars, a null entry after each row.
    const std::vector<CXTPToolBar*>& GetBars() const { return m_arrBars; }
    CSize CalcFixedLayout(int nLength, DWORD dwMode, AFX_SIZEPARENTPARAMS* pLayout = NULL);
    // The frame's strip for this dock bar.
    DWORD GetDockStyle() const { return m_dwDockStyle; }

protected:
    struct RowEntry
    {
        CXTPToolBar* pBar;
        CRect rect;
        int nStoredIndex;
        BOOL bMoved;
        int nMinLength;
    };
    // One row laid out along x; FALSE with the bar to move into the next row when it does not fit.
    BOOL LayoutRow(std::vector<CXTPToolBar*>& row, int nLength, int nOffset, DWORD dwMode, HDWP& hDWP,
                   int& nThickness, int& nRowLength, CXTPToolBar*& pWrapBar, BOOL bCommit);
    DWORD GetBarMode(CXTPToolBar* pBar, DWORD dwMode) const;
    void NormalizeRows();

    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    DWORD m_dwDockStyle = 0;
    std::vector<CXTPToolBar*> m_arrBars;
    CXTPCommandBars* m_pCommandBars;

    // The saved layout rewrites the rows.
    friend class CXTPCommandBars;
};
