// The window base of every bar (menu bar, toolbars, popup bars): its controls, the hot control and
// the open popup, menu tracking, keys turned into navigation, access keys and execution, the
// command-state update at idle time and the drawing through the paint manager.
#pragma once

#include <afxwin.h>

#include "accessible_base.h"
#include "controls.h"
#include "hook_managers.h"

#include <vector>

class CXTPCommandBars;
class CXTPImageManager;
class CXTPPaintManagerCore;
class CXTPToolTipController;
class CXTPPropExchange;
struct CXTPCommandBarsExchangeParam;
typedef std::vector<CXTPCommandBar*> CXTPCommandBarList;

// Timers of a bar: hover over a popup control, and full menus after a delay.
#define XTP_TID_HOVER 112223
#define XTP_TID_EXPANDED_POPUP 112224

// A bar's style bits: a gripper while docked, and a close button while floating.
#define XTP_BAR_STYLE_GRIPPER 0x400000
#define XTP_BAR_STYLE_CLOSE_BUTTON 0x1
#define XTP_BAR_FLAG_DOCKED XTP_BAR_STYLE_GRIPPER
#define XTP_LM_WRAP XTP_LM_SHRINK

// Docking and behaviour flags of a bar; the menu bar's own from 0x100 on.
enum XTPToolBarFlags
{
    xtpFlagAlignTop = 0x01,
    xtpFlagAlignBottom = 0x02,
    xtpFlagAlignLeft = 0x04,
    xtpFlagAlignRight = 0x08,
    xtpFlagAlignAny = 0x0F,
    xtpFlagFloating = 0x10,
    xtpFlagHideWrap = 0x20,
    xtpFlagStretched = 0x40,
    xtpFlagIgnoreSetMenuMessage = 0x400,
    xtpFlagHideMinimizeBox = 0x100,
    xtpFlagHideMaximizeBox = 0x200,
    xtpFlagHideClose = 0x1000,
    xtpFlagAddMDISysPopup = 0x2000,
    xtpFlagStretchedShared = 0x100000,
};

// Navigation codes of ProcessSpecialKey.
enum XTPSpecialKey
{
    xtpKeyNext = 0,
    xtpKeyBack = 1,
    xtpKeyPopup = 2,
    xtpKeyEscape = 4,
    xtpKeyReturn = 5,
    xtpKeyHome = 6,
    xtpKeyEnd = 7,
    xtpKeyUp = 2,
    xtpKeyDown = 3,
    xtpKeyLeft = 1,
    xtpKeyRight = 0,
};

// The command-state object of a control: enabling sets the control's state (disabling also
// clears the check), checking sets its check; each redraws on change.
class CXTPControlCmdUI : public CCmdUI
{
public:
    explicit CXTPControlCmdUI(CXTPControl* pControl) : m_pControl(pControl)
    {
        m_nID = static_cast<UINT>(pControl->GetID());
        m_nIndex = static_cast<UINT>(pControl->GetIndex());
    }
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        m_pControl->SetEnabled(bOn);
        if (!bOn)
            m_pControl->SetChecked(FALSE);
    }
    void SetCheck(int nCheck) override { m_pControl->SetChecked(nCheck != 0); }
    void SetRadio(BOOL bOn) override { m_pControl->SetChecked(bOn); }
    void SetText(LPCWSTR lpszText) override { m_pControl->SetCaption(lpszText); }

private:
    CXTPControl* m_pControl;
};

class CXTPCommandBar : public CWnd, public CXTPHookSink, public CXTAccessibleBase
{
    DECLARE_DYNCREATE(CXTPCommandBar)
    DECLARE_INTERFACE_MAP()
public:
    CXTPCommandBar();
    ~CXTPCommandBar() override;

    // Fills the bar's controls from the menu (emptied first when bRemoveControls); FALSE for a
    // handle that is not a menu.
    virtual BOOL LoadMenu(CMenu* pMenu, BOOL bRemoveControls = TRUE);
    // The bar's own images; the bar keeps the one reference it is given.
    virtual void SetImageManager(CXTPImageManager* pImageManager);
    // Own, else the command bars', else the global one.
    CXTPImageManager* GetImageManager() const;
    void SetPaintManager(CXTPPaintManagerCore* pPaintManager);
    // Own, else the command bars', else the global one (made with theme 0 when missing).
    CXTPPaintManagerCore* GetPaintManager() const;

    CXTPCommandBars* GetCommandBars() const;
    void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
    CWnd* GetSite() const;
    CWnd* GetFrame() const { return GetSite(); }
    UINT GetBarID() const { return m_nBarID; }
    void SetBarID(UINT nID) { m_nBarID = nID; }
    DWORD GetFlags() const { return m_dwFlags; }
    void ModifyFlags(DWORD dwAdd, DWORD dwRemove = 0);
    void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
    DWORD GetStyleFlags() const { return m_dwStyle; }
    void SetStyleFlags(DWORD dwStyle) { m_dwStyle = dwStyle; }
    XTPBarType GetType() const { return m_barType; }
    XTPBarPosition GetPosition() const { return m_barPosition; }
    CXTPControls* GetControls() const { return m_pControls; }
    void SetControls(CXTPControls* pControls);
    CXTPControl* GetControl(int nIndex) const { return m_pControls->GetAt(nIndex); }
    int GetControlCount() const { return m_pControls->GetCount(); }
    CString GetTitle() const { return m_strTitle; }
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CXTPControl* GetSelected() const { return m_pControls->GetAt(m_nSelected); }
    int GetSelectedIndex() const { return m_nSelected; }
    int GetCurSel() const { return m_nSelected; }
    int GetPopupedIndex() const { return m_nPopuped; }
    BOOL IsTrackingMode() const { return m_nTracking != 0; }
    int GetTrackingMode() const { return m_nTracking; }
    BOOL IsKeyboardSelected() const { return m_bKeyboardSelect; }
    BOOL IsCustomizing() const;
    BOOL IsHorizontal() const;
    BOOL IsRightToLeft() const;
    void SetOwner(CWnd* pOwner) { m_hwndOwner = pOwner != NULL ? pOwner->GetSafeHwnd() : NULL; }
    int GetTextBelowIcons() const { return m_nTextBelowIcons; }
    BOOL IsShowInList() const { return m_bShowInList; }
    void SetShowTextBelowIcons(int nMode);
    BOOL IsTextBelowIcons() const;
    CXTPControl* HitTest(CPoint point) const { return m_pControls->HitTest(point); }
    void SetStatusText(const CString& strText);
    BOOL OpenControlPopup(int nIndex, BOOL bKeyboard);
    void Redraw();
    // Marks and leaves re-layout for the next command-state update.
    void DelayLayout() { m_dwStateFlags |= 1; }
    void LockRedraw() { ++m_nLockRedraw; }
    void UnlockRedraw();
    // Finds the control of an access key in this bar; the index, or -1.
    int FindAccelerator(UINT chAccel, BOOL* pbAmbiguous) const;

    virtual void RequestRedraw() { m_dwStateFlags |= 2; }
    virtual BOOL SetTracking(int nMode, BOOL bSelectFirst = FALSE, BOOL bKeyboard = FALSE);
    virtual BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE);
    virtual BOOL LoadToolBar(UINT /*nIDResource*/, BOOL /*bLoadIcons*/ = TRUE) { return FALSE; }
    virtual BOOL Popup(CXTPControlPopup* /*pControlPopup*/, BOOL /*bSelectFirst*/ = FALSE) { return FALSE; }
    virtual void SetVisible(BOOL /*bVisible*/) {}
    virtual BOOL IsVisible() const { return FALSE; }
    virtual BOOL SetPosition(XTPBarPosition /*barPosition*/) { return FALSE; }
    virtual BOOL IsCustomizable() const { return m_bCustomizable; }
    virtual void OnRecalcLayout() {}
    virtual void ShowControlDescription(BOOL bSelected, CXTPControl* pControl);
    virtual CXTPCommandBar* GetParentBar() const { return NULL; }
    virtual BOOL IsKeyboardCuesVisible() const;
    // 1 the key is consumed, 2 it passes on.
    virtual int OnKeyDown(UINT nChar, LPARAM lParam);
    virtual CSize CalcDynamicLayout(int /*nLength*/, DWORD /*dwMode*/) { return CSize(0, 0); }
    virtual BOOL ProcessSpecialKey(int nKey);
    virtual void DrawCommandBar(CDC* pDC, CRect rcClipBox);
    virtual void OnControlsChanged();
    virtual void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE);
    virtual BOOL HitTestBar(CPoint point) const;
    virtual void OnUpdateCmdUI(BOOL bDisableIfNoHandler = TRUE);
    virtual CXTPCommandBar* Clone(BOOL bRecursive = FALSE);
    // The saved layout's archive: the bar's keys and controls; the bars its popups open, added to
    // the list (each with one reference and an id from nID when it has none of its own); after
    // loading, popups linked to the bars of the list.
    virtual void DoPropExchange(CXTPPropExchange* pPX);
    virtual void GenerateCommandBarList(DWORD& nID, CXTPCommandBarList* pList,
                                        CXTPCommandBarsExchangeParam* pParam);
    virtual void RestoreCommandBarList(CXTPCommandBarList* pList);

    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    // The control under the point as a tool: its tooltip, with its shortcut when the options ask.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

    // The bar as an accessible object: its controls are its children, numbered from 1.
    CCmdTarget* GetOwnerCmdTarget() override { return this; }
    HRESULT get_accParent(IDispatch** ppdispParent) override;
    HRESULT get_accChildCount(long* pcountChildren) override;
    HRESULT get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    HRESULT get_accName(VARIANT varChild, BSTR* pszName) override;
    HRESULT get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    HRESULT get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    // The window is on screen (the accessible state of the bar and of its controls).
    BOOL IsBarShown() const { return ::IsWindow(m_hWnd) && IsWindowVisible(); }

    // The window that had the keyboard before the bar or one of its fields took it, to be given back
    // when a field lets the keyboard go; remembered once, forgotten when the keyboard has left the bar.
    void NotePreviousFocus(HWND hWnd);
    HWND TakePreviousFocus();

    // Key lock, mouse suppression and tracking lock share one count: while it is positive keys are
    // swallowed, a hover does nothing and a click outside leaves the bar open.
    int m_nLockCount = 0;
    // Where a popup tracked with TPM_RETURNCMD writes the chosen id.
    int* m_pReturnCmd = NULL;
    BOOL m_bRightButton = FALSE;
    BOOL m_bNoNotify = FALSE;
    BOOL m_bRecursive = FALSE;
    // The next popup this bar opens runs the opening animation (the bar began tracking by mouse).
    BOOL m_bAnimate = FALSE;
    int m_nMRUWidth = 32767;

    // The bar as a target of the customise drag (points in client coordinates). Enter answers
    // whether the bar takes the control; a drop with XTP_DROPEFFECT_COPY inserts a clone, with
    // XTP_DROPEFFECT_MOVE also removes the control from where it was.
    virtual BOOL OnDragEnter(CXTPControl* pControl, CPoint point);
    virtual void OnDragLeave();
    virtual void OnDragOver(CXTPControl* pControl, CPoint point);
    virtual void OnDrop(CXTPControl* pControl, int nEffect, CPoint point, CPoint ptStart);
    // Where a dragged control would go: the index of the nearest control (-1 in an empty bar),
    // whether after it, and the insertion mark; an empty mark over the dragged control itself.
    int FindDropPosition(CXTPControl* pControl, CPoint point, BOOL& bAfter, CRect& rcMark) const;
    void HideCustomizeRect();
    CRect GetCustomizeRect() const { return m_rcCustomize; }
    // The insertion mark, inverted over what is drawn.
    void DrawCustomizeMark(CDC* pDC) const;

protected:
    void UpdateDocTemplateControls();
    // Ctrl+Tab: keyboard tracking moves to the next visible toolbar (-1: the previous one).
    void MoveToNextToolBar(int nDirection);
    // After Tab moved the hot control away from pLeft: a field made hot takes the keyboard, and a field
    // left behind lets it go, to the bar when the bar is a tab stop of its parent.
    void PassKeyboardOnTab(CXTPControl* pLeft);
    // A press with Alt held on a toolbar's control drags it as in customise mode.
    BOOL IsAltDragCustomization(CXTPControl* pControl) const;
    // The customise drag of one of the bar's controls; dropped over no bar, it leaves the bar.
    void CustomizeDrag(CXTPControl* pControl);
    // Maps a navigation key by the bar's orientation; -1 when it is none of them.
    int MapNavigationKey(UINT nChar) const;
    BOOL IsSelectedUnderCursor() const;
    // WM_GETOBJECT: the bar's accessible object for its client area and its menu, else the default.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    // WM_HELPHITTEST: the help context of the control under the point, 0 over none.
    LRESULT OnHelpHitTest(LPARAM lParam) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    BOOL m_bHideCaret = TRUE;
    int m_nSelected = -1;
    int m_nPopuped = -1;
    HWND m_hwndCaret = NULL;
    HWND m_hwndPreviousFocus = NULL;
    UINT m_nBarID = 0;
    BOOL m_bVisible = TRUE;
    int m_nTracking = 0;
    HWND m_hwndOwner = NULL;
    DWORD m_dwStateFlags = 0;
    CString m_strTitle;
    XTPBarType m_barType = xtpBarTypeNormal;
    CXTPControls* m_pControls = NULL;
    XTPBarPosition m_barPosition = xtpBarNone;
    CXTPCommandBars* m_pCommandBars = NULL;
    int m_nTextBelowIcons = 2;
    BOOL m_bKeyboardSelect = FALSE;
    BOOL m_bCustomizable = TRUE;
    CRect m_rcCustomize;
    CXTPPaintManagerCore* m_pPaintManager = NULL;
    CXTPImageManager* m_pImageManager = NULL;
    BOOL m_bShowInList = TRUE;
    BOOL m_bTrackOnMouse = FALSE;
    int m_nLockRedraw = 0;
    int m_nLastPressed = -1;
    CXTPToolTipController* m_pToolTipController = NULL;
    DWORD m_dwFlags = 0;
    DWORD m_dwStyle = 0;

    friend class CXTPControl;
    friend class CXTPControls;
    friend class CXTPCommandBars;
    friend class CXTPDockBar;
    friend class CXTPPopupBar;
};

#include "popup_bar.h"
