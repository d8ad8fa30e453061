// One collapsible block of the task panel: a caption and a client area of items that it lays out in
// rows, columns or an icon grid, animates between its current and target rectangles, and in the
// toolbox and list behaviours scrolls by rows.
#pragma once

#include "task_panel_item.h"

#include <afxcmn.h>

class CXTPTaskPanelGroupItem;

class CXTPTaskPanelGroup : public CXTPTaskPanelItem
{
    DECLARE_SERIAL(CXTPTaskPanelGroup)
public:
    explicit CXTPTaskPanelGroup(CXTPTaskPanel* pPanel = NULL);
    ~CXTPTaskPanelGroup() override;

    BOOL IsAcceptFocus() const override;
    CXTPTaskPanelGroup* GetItemGroup() const override { return const_cast<CXTPTaskPanelGroup*>(this); }
    CRect GetHitTestRect() const override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    virtual void DrawClientImage(CDC* pDC, CRect rc);

    HRESULT get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    HRESULT accDoDefaultAction(VARIANT varChild) override;

    CRect GetCaptionRect() const;
    CRect GetTargetCaptionRect() const;
    CRect GetClientRect() const;
    CRect GetTargetClientRect() const;
    CRect GetTargetRect() const { return m_rcGroupTarget; }
    CRect GetCurrentRect() const { return m_rcGroupCurrent; }

    BOOL IsExpandable() const;
    void SetExpandable(BOOL bExpandable) { m_bExpandable = bExpandable; }
    void SetExpanded(BOOL bExpanded);
    BOOL IsExpanded() const;
    BOOL IsExpanding() const { return m_bExpanding; }
    BOOL IsCaptionVisible() const { return m_bCaptionVisible; }
    void ShowCaption(BOOL bShow);
    BOOL IsAnimating() const;
    BOOL IsSpecialGroup() const { return m_bSpecial; }
    void SetSpecialGroup(BOOL bSpecial = TRUE);

    int GetCount() const;
    CXTPTaskPanelGroupItem* GetAt(int nIndex) const;
    CXTPTaskPanelGroupItems* GetItems() const { return m_pItems; }
    int GetNextVisibleItem(int nIndex, int nDirection = 1) const;
    int GetItemLayout() const;
    void SetItemLayout(int nLayout);
    CSize GetItemIconSize() const;
    void SetIconSize(CSize sz) { m_szItemIcon = sz; }
    int GetItemsInRow() const { return m_nItemsInRow; }
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    int GetClientHeight() const { return m_nExpandedClientHeight; }

    CRect GetOuterMargins() const { return m_rcOuterMargins; }
    void SetOuterMargins(const RECT& rc);
    CRect GetInnerMargins() const { return m_rcInnerMargins; }
    void SetInnerMargins(const RECT& rc);

    CXTPTaskPanelGroupItem* HitTest(CPoint pt, CRect* pRect = NULL) const;
    void SetSelectedItem(CXTPTaskPanelGroupItem* pSelectedItem);
    BOOL IsScrollButtonEnabled(BOOL bUp) const;
    int GetFirstVisibleIndex() const;
    int GetFirstVisibleOffset() const;
    void SetFirstVisible(int nIndex, BOOL bReposition = TRUE);
    void Scroll(int nDelta);
    BOOL IsItemVisible(const CXTPTaskPanelGroupItem* pItem, BOOL bPartial = FALSE) const;
    void EnsureVisible(CXTPTaskPanelGroupItem* pItem, BOOL bReposition = TRUE);

    void OnCalcClientHeight(CDC* pDC, CRect rc);
    CRect OnLayout(int nLeft, int nTop, int nRight, BOOL bAnimate);
    void OnAnimate(int nStep);
    void OnPaint(CDC* pDC);

    CImageList& GetClientImageList() { return m_ilClient; }
    CPoint m_ptClientImageOffset;

protected:
    void SnapToTarget() { OnAnimate(0); }
    int GetOffsetOfIndex(int nIndex) const;
    int GetTargetClientHeight() const { return m_rcGroupTarget.Height() - m_nCaptionHeight; }
    void ShareSpareHeight(int nSpare);

    CRect m_rcGroupTarget;
    CRect m_rcGroupCurrent;
    CRect m_rcOuterMargins;
    CRect m_rcInnerMargins;
    int m_nCaptionHeight;
    BOOL m_bSpecial;
    BOOL m_bExpandable;
    BOOL m_bExpanded;
    BOOL m_bExpanding;
    int m_nExpandedClientHeight;
    BOOL m_bCaptionVisible;
    CImageList m_ilClient;
    int m_nFirstVisibleItem;
    int m_nItemsInRow;
    CSize m_szItemIcon;
    CXTPTaskPanelGroupItems* m_pItems;
    int m_nItemLayout;

    friend class CXTPTaskPanel;
};
