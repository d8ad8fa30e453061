// The common base of everything the task panel shows, and the ordered collections that own the
// panel's groups and each group's items. Items are reference counted: a collection holds one
// reference to each member, the panel one to its hot, focused and open items.
#pragma once

#include <afxole.h>
#include <afxtempl.h>
#include <afxwin.h>

#include "accessible_base.h"
#include "task_panel_defines.h"

class CXTPTaskPanel;
class CXTPTaskPanelGroup;
class CXTPTaskPanelItems;
class CXTPTaskPanelPaintManager;
class CXTPPropExchange;
class CXTPImageManagerIcon;

// The rectangle whose four sides are 0x80000000: margins holding it take the paint manager's values.
const RECT& AFXAPI XTPTaskPanelDefaultMarker();
BOOL AFXAPI IsTaskPanelDefaultMarker(const RECT& rect);
// The "TaskPanelGroupItem" clipboard format, registered on first use.
CLIPFORMAT AFXAPI GetTaskPanelClipboardFormat();

class CXTPTaskPanelItem : public CCmdTarget, public CXTAccessibleBase
{
    DECLARE_SERIAL(CXTPTaskPanelItem)
    DECLARE_INTERFACE_MAP()
public:
    CXTPTaskPanelItem();
    ~CXTPTaskPanelItem() override;

    virtual BOOL IsAcceptFocus() const;
    virtual CXTPTaskPanelGroup* GetItemGroup() const;
    virtual CRect GetHitTestRect() const;
    virtual void DoPropExchange(CXTPPropExchange* pPX);

    BOOL IsHot() const;
    BOOL IsPressed() const;
    BOOL IsDragging() const;
    BOOL IsDropTarget() const;
    BOOL IsFocused() const;
    BOOL IsEnabled() const { return m_bEnabled; }
    BOOL IsVisible() const { return m_bVisible; }
    BOOL IsGroup() const { return m_typeItem == xtpTaskItemTypeGroup; }

    CString GetCaption() const { return m_strCaption; }
    void SetCaption(LPCTSTR lpszCaption);
    CString GetTooltip() const { return m_strTooltip; }
    void SetTooltip(LPCTSTR lpszTooltip) { m_strTooltip = lpszTooltip; }
    UINT GetID() const { return static_cast<UINT>(m_nID); }
    void SetID(UINT nID) { m_nID = static_cast<int>(nID); }
    int GetType() const { return m_typeItem; }
    void SetType(int nType);
    int GetIconIndex() const { return m_nIconIndex; }
    void SetIconIndex(int nIndex);
    void SetEnabled(BOOL bEnabled);
    void SetVisible(BOOL bVisible);
    void SetAllowDrag(long nAllowDrag) { m_nAllowDrag = nAllowDrag; }
    long GetAllowDrag() const;
    void AllowDrop(BOOL bAllowDrop) { m_bAllowDrop = bAllowDrop; }
    BOOL IsAllowDrop() const;
    CRect GetIconPadding() const { return m_rcIconPadding; }
    void SetIconPadding(const RECT& rc);
    CRect GetTextRect(UINT* pFormat = NULL) const;

    CXTPTaskPanel* GetTaskPanel() const { return m_pPanel; }
    CXTPTaskPanelItems* GetParentItems() const { return m_pItems; }
    CXTPTaskPanelPaintManager* GetPaintManager() const;
    CXTPImageManagerIcon* GetImage(int nWidth) const;
    int GetIndex() const;
    void Remove();
    void RedrawPanel() const;
    void RepositionPanel() const;
    CRect CalcTextRect(CDC* pDC, CRect rc, UINT nFormat);

    HGLOBAL CopyToHGlobal();
    static CXTPTaskPanelItem* AFXAPI CreateFromOleData(COleDataObject* pDataObject);

    // The accessible child id the panel gives this item (0 without a panel).
    long GetAccessibleChildId() const;

    HRESULT get_accParent(IDispatch** ppdispParent) override;
    HRESULT get_accName(VARIANT varChild, BSTR* pszName) override;
    HRESULT get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    HRESULT get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    HRESULT get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                        VARIANT varChild) override;
    HRESULT accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    HRESULT accSelect(long flagsSelect, VARIANT varChild) override;
    CCmdTarget* GetOwnerCmdTarget() override { return this; }

protected:
    CXTPTaskPanel* m_pPanel;
    CString m_strCaption;
    CString m_strTooltip;
    int m_nID;
    int m_typeItem;
    CXTPTaskPanelItems* m_pItems;
    int m_nIconIndex;
    BOOL m_bEnabled;
    BOOL m_bAllowDrop;
    long m_nAllowDrag;
    CRect m_rcText;
    UINT m_nTextFormat;
    BOOL m_bVisible;
    CRect m_rcIconPadding;

    friend class CXTPTaskPanelItems;
    friend class CXTPTaskPanel;
};

class CXTPTaskPanelItems : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPTaskPanelItems)
public:
    explicit CXTPTaskPanelItems(CXTPTaskPanel* pPanel = NULL);
    ~CXTPTaskPanelItems() override;

    CXTPTaskPanelItem* InsertAt(int nIndex, CXTPTaskPanelItem* pItem);
    CXTPTaskPanelItem* Add(CXTPTaskPanelItem* pItem) { return InsertAt(GetCount(), pItem); }
    int IndexOf(const CXTPTaskPanelItem* pItem) const;
    void Move(CXTPTaskPanelItem* pItem, int nIndex);
    void RemoveAt(int nIndex);
    void Remove(CXTPTaskPanelItem* pItem);
    void Clear(BOOL bReposition = TRUE);

    int GetCount() const { return static_cast<int>(m_arrItems.GetSize()); }
    CXTPTaskPanelItem* GetAt(int nIndex) const;
    CXTPTaskPanelItem* GetFirstVisibleItem() const;
    CXTPTaskPanelItem* GetLastVisibleItem() const;
    int GetNextVisibleIndex(int nIndex, int nDirection) const;

    void DoPropExchange(CXTPPropExchange* pPX);
    // The class loading re-creates, and the one every loaded or dropped member must derive from.
    virtual CRuntimeClass* GetDefaultItemClass() const { return RUNTIME_CLASS(CXTPTaskPanelItem); }

    CXTPTaskPanel* GetTaskPanel() const { return m_pPanel; }
    CXTPTaskPanelGroup* GetOwnerGroup() const { return m_pOwner; }

protected:
    CXTPTaskPanel* m_pPanel;
    CArray<CXTPTaskPanelItem*, CXTPTaskPanelItem*> m_arrItems;
    CXTPTaskPanelGroup* m_pOwner;

    friend class CXTPTaskPanel;
    friend class CXTPTaskPanelGroup;
};

class CXTPTaskPanelGroups : public CXTPTaskPanelItems
{
    DECLARE_DYNCREATE(CXTPTaskPanelGroups)
public:
    explicit CXTPTaskPanelGroups(CXTPTaskPanel* pPanel = NULL) : CXTPTaskPanelItems(pPanel) {}
    CRuntimeClass* GetDefaultItemClass() const override;
};

class CXTPTaskPanelGroupItems : public CXTPTaskPanelItems
{
    DECLARE_DYNCREATE(CXTPTaskPanelGroupItems)
public:
    explicit CXTPTaskPanelGroupItems(CXTPTaskPanel* pPanel = NULL) : CXTPTaskPanelItems(pPanel) {}
    CRuntimeClass* GetDefaultItemClass() const override;
};
