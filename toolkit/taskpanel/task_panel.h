// The task panel: a child window listing collapsible groups of links, text and hosted controls. It
// lays the groups out and animates them, scrolls, tracks the hot, pressed, focused and dragged items,
// answers the keyboard, drags and drops items through OLE, and tells its owner every user action
// through XTPWM_TASKPANEL_NOTIFY.
#pragma once

#include <afxole.h>
#include <afxwin.h>

#include "accessible_base.h"
#include "task_panel_defines.h"
#include "task_panel_group.h"
#include "task_panel_group_item.h"
#include "task_panel_item.h"
#include "task_panel_paint_manager.h"

class CXTPImageManager;
class CXTPToolTipController;
class CXTPTaskPanel;

#define XTP_TASKPANEL_TIMER_ANIMATION 200
#define XTP_TASKPANEL_TIMER_SCROLL 202
#define XTP_TASKPANEL_TIMER_HOVER_EXPAND 203

// One of the two buttons that scroll the open group's items in the toolbox and list behaviours.
struct TaskPanelScrollButton
{
    explicit TaskPanelScrollButton(BOOL bUp) : bScrollUp(bUp) {}

    BOOL IsVisible() const;

    BOOL bScrollUp;
    BOOL bEnabled = FALSE;
    BOOL bPressed = FALSE;
    CRect rcButton;
    BOOL bHot = FALSE;
    CXTPTaskPanelGroup* pGroupScroll = NULL;
    CXTPTaskPanelGroup* pGroupCaption = NULL;
    CXTPTaskPanel* pPanel = NULL;
};

class TaskPanelDropTarget : public COleDropTarget
{
public:
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override
    {
        return OnDragOver(pWnd, pDataObject, dwKeyState, point);
    }
    BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;
    void OnDragLeave(CWnd* pWnd) override;
};

// The in-place editor of an item's caption.
class CXTPTaskPanelEditItem : public CEdit
{
public:
    CXTPTaskPanelEditItem(CXTPTaskPanel* pPanel, CXTPTaskPanelItem* pItem) : m_pPanel(pPanel), m_pItem(pItem)
    {}

    CXTPTaskPanelItem* GetEditedItem() const { return m_pItem; }
    BOOL IsCancelled() const { return m_bCancelled; }
    void EndEdit();

protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

    CXTPTaskPanel* m_pPanel;
    CXTPTaskPanelItem* m_pItem;
    BOOL m_bCancelled = FALSE;
    BOOL m_bEnded = FALSE;
};

class CXTPTaskPanel : public CWnd, public CXTAccessibleBase
{
    DECLARE_DYNAMIC(CXTPTaskPanel)
    DECLARE_INTERFACE_MAP()
public:
    CXTPTaskPanel();
    ~CXTPTaskPanel() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetTheme(int nTheme);
    int GetCurrentTheme() const { return m_nTheme; }
    CXTPTaskPanelPaintManager* GetPaintManager() const { return m_pPaintManager; }
    void Reposition(BOOL bAnimate = TRUE);
    void BeginUpdate() { m_nLockRedraw++; }
    void EndUpdate();
    BOOL IsUpdateLocked() const { return m_nLockRedraw > 0; }

    CXTPTaskPanelGroups* GetGroups() const { return m_pGroups; }
    int GetGroupCount() const;
    CXTPTaskPanelGroup* GetAt(int nIndex) const;
    CXTPTaskPanelGroup* GetNextGroup(int nIndex, int nDirection) const;
    CXTPTaskPanelItem* GetNextItem(CXTPTaskPanelItem* pItem, int nDirection, BOOL bSkipItems,
                                   BOOL bRowStep = TRUE) const;

    void SetHotItem(CXTPTaskPanelItem* pItem);
    CXTPTaskPanelItem* GetHotItem() const { return m_pItemHot; }
    void SetFocusedItem(CXTPTaskPanelItem* pItem, BOOL bShowCue = FALSE);
    CXTPTaskPanelItem* GetFocusedItem() const { return m_pItemFocused; }
    CXTPTaskPanelItem* GetPressedItem() const { return m_pItemPressed; }
    CXTPTaskPanelItem* GetDraggedItem() const { return m_pItemDragging; }
    CXTPTaskPanelItem* GetDropTargetItem() const { return m_pItemDragOver; }
    CXTPTaskPanelGroup* GetOpenGroup() const { return m_pActiveGroup; }
    BOOL HasFocus() const;
    BOOL IsFocusCueShown() const { return m_bDrawFocusRect; }
    BOOL IsGroupExpanded(const CXTPTaskPanelGroup* pGroup) const;

    void SetAnimation(int nAnimation);
    int GetAnimation() const { return m_eAnimation; }
    BOOL IsAnimationEnabled() const { return m_bAnimation; }
    BOOL IsAnimationTimerRunning() const { return m_nAnimateTimer != 0; }
    int GetAnimationStep() const { return m_nAnimationStep; }
    BOOL AnimateGroups(BOOL bOnlyAnimating);

    void EnsureVisible(CXTPTaskPanelItem* pItem);
    void EnsureVisibleRect(const CRect& rc);
    CXTPTaskPanelItem* HitTestItem(CPoint pt, BOOL bClientArea = FALSE) const;
    CXTPTaskPanelGroup* HitTestGroup(CPoint pt, BOOL* pbCaption = NULL) const;
    CXTPImageManager* GetImageManager() const;
    void SetImageManager(CXTPImageManager* pImageManager);
    CXTPToolTipController* GetToolTipController() const { return m_pToolTipController; }
    int GetScrollOffset() const;
    int GetClientHeight() const;
    int GetContentHeight() const { return m_nClientHeight; }
    BOOL IsScrollBarShown() const { return m_bScrollVisible; }
    HCURSOR GetHandCursor() const { return m_hHandCursor; }
    TaskPanelScrollButton* GetScrollButton(BOOL bUp) const
    {
        return bUp ? m_pScrollButtonUp : m_pScrollButtonDown;
    }
    TaskPanelDropTarget* GetDropTarget() const { return m_pDropTarget; }

    void SetMargins(long nLeft, long nTop, long nRight, long nBottom, long nMiddle);
    CRect GetControlMargins() const { return m_rcMargins; }
    int GetGroupSpacing() const { return m_nGroupSpacing; }
    void SetBehaviour(int nBehaviour);
    int GetBehaviour() const { return m_nBehaviour; }
    void SetItemLayout(int nLayout);
    int GetItemLayout() const;
    void SetHotTrackStyle(int nStyle);
    int GetHotTrackStyle() const;
    void SetMultiColumn(BOOL bMultiColumn);
    BOOL IsMultiColumn() const { return m_bMultiColumn; }
    void SetColumnWidth(int nWidth);
    int GetColumnWidth() const { return m_nColumnWidth; }
    void SetIconSize(CSize szItemIcon, CSize szGroupIcon);
    CSize GetItemIconSize() const { return m_szItemIcon; }
    CSize GetGroupIconSize() const { return m_szGroupIcon; }
    void AllowDrag(long nAllowDrag) { m_nAllowDrag = nAllowDrag; }
    long GetAllowDrag() const { return m_nAllowDrag; }
    void SetAllowDrop(BOOL bAllowDrop) { m_bAllowDrop = bAllowDrop; }
    BOOL IsAllowDrop() const { return m_bAllowDrop; }
    void SetExpandable(BOOL bExpandable) { m_bExpandable = bExpandable; }
    BOOL IsExpandable() const { return m_bExpandable; }
    void SetAcceptFocus(BOOL bAccept) { m_bAcceptFocus = bAccept; }
    BOOL IsAcceptFocus() const { return m_bAcceptFocus; }
    void SetSingleSelection(BOOL bSingleSelection = TRUE);
    BOOL IsSingleSelection() const { return m_bSingleSelection; }
    void SetSelectItemOnFocus(BOOL bSelect) { m_bSelectItemOnFocus = bSelect; }
    BOOL IsSelectItemOnFocus() const { return m_bSelectItemOnFocus; }

    // Places the caption editor over the item's text; Enter or leaving the editor commits.
    CXTPTaskPanelEditItem* RenameItem(CXTPTaskPanelItem* pItem);
    // Repositions the scroll buttons over the open group.
    void RepositionScrollButtons();
    void UpdateScrollButtons();

    static CLIPFORMAT AFXAPI GetClipboardFormat();

    virtual void OnClick(CXTPTaskPanelGroupItem* pItem);
    virtual void SetGroupExpanded(CXTPTaskPanelGroup* pGroup, BOOL bExpanded);
    virtual void OnDraw(CDC* pDC, CRect rcClipBox);
    virtual LRESULT NotifyOwner(WPARAM wParam, LPARAM lParam);
    virtual void OnStartItemDrag(CXTPTaskPanelGroupItem* pItem);
    virtual void OnStartGroupDrag(CXTPTaskPanelItem* pItem);
    virtual BOOL OnEndLabelEdit(CXTPTaskPanelItem* pItem, LPCTSTR lpszText);
    virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual void OnItemRemoved(CXTPTaskPanelItem* pItem);
    virtual void UpdateScrollBar();

    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    HRESULT get_accParent(IDispatch** ppdispParent) override;
    HRESULT get_accChildCount(long* pcountChildren) override;
    HRESULT get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    HRESULT get_accName(VARIANT varChild, BSTR* pszName) override;
    HRESULT get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    HRESULT get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                        VARIANT varChild) override;
    HRESULT accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    CCmdTarget* GetOwnerCmdTarget() override { return this; }
    // The item a child id numbers (groups and their items from 1 in display order), or null.
    CXTPTaskPanelItem* GetAccessibleChild(long nChildId) const;
    long GetAccessibleChildId(const CXTPTaskPanelItem* pItem) const;

    // The tracking pump of the modal loops: pending paints first; FALSE when WM_QUIT arrived.
    static BOOL AFXAPI PumpTrackingMessage(MSG* pMsg);
    // Keys in the modal loops: Escape ends a loop, any other key is dropped. TRUE for a key.
    static BOOL AFXAPI IsTrackingKey(const MSG& msg, BOOL& bEscape);

protected:
    // Replaces a counted reference: the new item gains one, the old one loses its.
    template <class T> static void AssignReference(T*& pField, T* pItem)
    {
        if (pItem != NULL)
            pItem->InternalAddRef();
        T* pOld = pField;
        pField = pItem;
        if (pOld != NULL)
            pOld->InternalRelease();
    }
    void SetOpenGroup(CXTPTaskPanelGroup* pGroup);
    // The visible item one step (a row with bRowStep) from an item of a group, or null.
    static CXTPTaskPanelItem* AFXAPI NextItemInGroup(const CXTPTaskPanelItem* pItem, int nDirection,
                                                     BOOL bRowStep);
    void ScrollTo(int nPosition);
    BOOL IsMouseManagerBusy() const;
    void PressScrollButton(TaskPanelScrollButton* pButton);
    void OnKeyTab(BOOL bShift);
    CRect GetScrollButtonsArea() const;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSysColorChange();
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg UINT OnGetDlgCode();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CXTPTaskPanelGroups* m_pGroups;
    CXTPTaskPanelPaintManager* m_pPaintManager;
    int m_nTheme;
    int m_nLockRedraw;
    int m_nClientHeight;
    int m_nOldClientHeight;
    CRect m_rcMargins;
    int m_nGroupSpacing;
    BOOL m_bScrollVisible;
    CXTPTaskPanelItem* m_pItemHot;
    CXTPTaskPanelItem* m_pItemFocused;
    CXTPTaskPanelItem* m_pItemPressed;
    CXTPTaskPanelItem* m_pItemDragging;
    CXTPTaskPanelItem* m_pItemDragOver;
    BOOL m_bAnimation;
    int m_eAnimation;
    HCURSOR m_hHandCursor;
    UINT_PTR m_nAnimateTimer;
    int m_nAnimationStep;
    CXTPImageManager* m_pImageManager;
    BOOL m_bExpandable;
    BOOL m_bAcceptFocus;
    BOOL m_bGrabbingFocus;
    BOOL m_bDrawFocusRect;
    CSize m_szItemIcon;
    CSize m_szGroupIcon;
    BOOL m_bSingleSelection;
    CPoint m_ptPressed;
    long m_nAllowDrag;
    BOOL m_bAllowDrop;
    int m_nItemLayout;
    BOOL m_bMultiColumn;
    int m_nColumnWidth;
    int m_nHotTrackStyle;
    int m_nBehaviour;
    CXTPTaskPanelGroup* m_pActiveGroup;
    TaskPanelDropTarget* m_pDropTarget;
    BOOL m_bTimerGroupHover;
    TaskPanelScrollButton* m_pScrollButtonDown;
    TaskPanelScrollButton* m_pScrollButtonUp;
    BOOL m_bSelectItemOnFocus;
    CXTPToolTipController* m_pToolTipController;
    BOOL m_bInUpdateScrollBar;

    friend class CXTPTaskPanelGroup;
    friend class CXTPTaskPanelItem;
    friend class CXTPTaskPanelItems;
    friend class CXTPTaskPanelGroupItem;
    friend class TaskPanelDropTarget;
};
