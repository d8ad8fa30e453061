// Items and their collections: state questions answered through the panel, drag permissions, the
// clipboard copy of an item and the property exchange that persists items and re-creates them.
#include "task_panel.h"

#include "image_manager.h"
#include "prop_exchange.h"

#include <afxadv.h>

namespace {

const RECT kDefaultMarker = {LONG(0x80000000), LONG(0x80000000), LONG(0x80000000), LONG(0x80000000)};

// The block every clipboard archive is read and written through.
const UINT kArchiveBufferSize = 4096;

} // namespace

const RECT& AFXAPI XTPTaskPanelDefaultMarker()
{
    return kDefaultMarker;
}

BOOL AFXAPI IsTaskPanelDefaultMarker(const RECT& rect)
{
    return ::EqualRect(&rect, &kDefaultMarker);
}

CLIPFORMAT AFXAPI GetTaskPanelClipboardFormat()
{
    static const CLIPFORMAT s_cfItem =
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"TaskPanelGroupItem"));
    return s_cfItem;
}

IMPLEMENT_SERIAL(CXTPTaskPanelItem, CCmdTarget, VERSIONABLE_SCHEMA | 1)

BEGIN_INTERFACE_MAP(CXTPTaskPanelItem, CCmdTarget)
INTERFACE_PART(CXTPTaskPanelItem, IID_IAccessible, Accessible)
END_INTERFACE_MAP()

CXTPTaskPanelItem::CXTPTaskPanelItem()
    : m_pPanel(NULL), m_nID(0), m_typeItem(xtpTaskItemTypeLink), m_pItems(NULL), m_nIconIndex(-1),
      m_bEnabled(TRUE), m_bAllowDrop(TRUE), m_nAllowDrag(xtpTaskItemAllowDragDefault), m_nTextFormat(0),
      m_bVisible(TRUE), m_rcIconPadding(kDefaultMarker)
{
    EnableAutomation();
}

CXTPTaskPanelItem::~CXTPTaskPanelItem() = default;

BOOL CXTPTaskPanelItem::IsAcceptFocus() const
{
    return (m_typeItem == xtpTaskItemTypeGroup || m_typeItem == xtpTaskItemTypeLink) && m_bEnabled &&
           m_bVisible;
}

CXTPTaskPanelGroup* CXTPTaskPanelItem::GetItemGroup() const
{
    return NULL;
}

CRect CXTPTaskPanelItem::GetHitTestRect() const
{
    return CRect(0, 0, 0, 0);
}

BOOL CXTPTaskPanelItem::IsHot() const
{
    return m_pPanel != NULL && m_bEnabled && m_pPanel->m_pItemHot == this;
}

BOOL CXTPTaskPanelItem::IsPressed() const
{
    return m_pPanel != NULL && m_pPanel->m_pItemPressed == this;
}

BOOL CXTPTaskPanelItem::IsDragging() const
{
    return m_pPanel != NULL && m_pPanel->m_pItemDragging == this;
}

BOOL CXTPTaskPanelItem::IsDropTarget() const
{
    return m_pPanel != NULL && m_pPanel->m_pItemDragOver == this;
}

BOOL CXTPTaskPanelItem::IsFocused() const
{
    return m_pPanel != NULL && m_bEnabled && m_pPanel->m_pItemFocused == this;
}

void CXTPTaskPanelItem::SetCaption(LPCTSTR lpszCaption)
{
    const CString strCaption(lpszCaption != NULL ? lpszCaption : L"");
    if (m_strCaption == strCaption)
        return;
    m_strCaption = strCaption;
    RepositionPanel();
}

void CXTPTaskPanelItem::SetType(int nType)
{
    m_typeItem = nType;
    RepositionPanel();
}

void CXTPTaskPanelItem::SetIconIndex(int nIndex)
{
    if (m_nIconIndex == nIndex)
        return;
    m_nIconIndex = nIndex;
    RepositionPanel();
}

void CXTPTaskPanelItem::SetEnabled(BOOL bEnabled)
{
    if (m_bEnabled == bEnabled)
        return;
    m_bEnabled = bEnabled;
    RedrawPanel();
}

void CXTPTaskPanelItem::SetVisible(BOOL bVisible)
{
    if (m_bVisible == bVisible)
        return;
    m_bVisible = bVisible;
    RepositionPanel();
}

void CXTPTaskPanelItem::SetIconPadding(const RECT& rc)
{
    m_rcIconPadding = rc;
    RepositionPanel();
}

CRect CXTPTaskPanelItem::GetTextRect(UINT* pFormat) const
{
    if (pFormat != NULL)
        *pFormat = m_nTextFormat;
    return m_rcText;
}

CXTPTaskPanelPaintManager* CXTPTaskPanelItem::GetPaintManager() const
{
    return m_pPanel != NULL ? m_pPanel->GetPaintManager() : NULL;
}

CXTPImageManagerIcon* CXTPTaskPanelItem::GetImage(int nWidth) const
{
    if (m_pPanel == NULL || m_nIconIndex < 0)
        return NULL;
    return m_pPanel->GetImageManager()->GetImage(static_cast<UINT>(m_nIconIndex), nWidth);
}

int CXTPTaskPanelItem::GetIndex() const
{
    return m_pItems != NULL ? m_pItems->IndexOf(this) : -1;
}

void CXTPTaskPanelItem::Remove()
{
    if (m_pItems != NULL)
        m_pItems->Remove(this);
}

void CXTPTaskPanelItem::RedrawPanel() const
{
    if (m_pPanel != NULL && m_pPanel->GetSafeHwnd() != NULL && !m_pPanel->IsUpdateLocked())
        m_pPanel->Invalidate(FALSE);
}

void CXTPTaskPanelItem::RepositionPanel() const
{
    if (m_pPanel != NULL)
        m_pPanel->Reposition(TRUE);
}

long CXTPTaskPanelItem::GetAllowDrag() const
{
    if (m_pPanel == NULL)
        return xtpTaskItemAllowDragAll;
    if (m_nAllowDrag != xtpTaskItemAllowDragDefault)
        return m_nAllowDrag;
    const CXTPTaskPanelGroup* pGroup = GetItemGroup();
    if (pGroup != NULL && pGroup != this && pGroup->m_nAllowDrag != xtpTaskItemAllowDragDefault)
        return pGroup->m_nAllowDrag;
    if (m_pPanel->m_nAllowDrag != xtpTaskItemAllowDragDefault)
        return m_pPanel->m_nAllowDrag;
    return xtpTaskItemAllowDragAll;
}

BOOL CXTPTaskPanelItem::IsAllowDrop() const
{
    if (!m_bAllowDrop)
        return FALSE;
    const CXTPTaskPanelGroup* pGroup = GetItemGroup();
    if (pGroup != NULL && pGroup != this && !pGroup->m_bAllowDrop)
        return FALSE;
    return m_pPanel == NULL || m_pPanel->m_bAllowDrop;
}

CRect CXTPTaskPanelItem::CalcTextRect(CDC* pDC, CRect rc, UINT nFormat)
{
    CRect rcText(rc);
    const CString strText = m_strCaption.IsEmpty() ? CString(L" ") : m_strCaption;
    pDC->DrawText(strText, rcText, (nFormat & ~(DT_VCENTER | DT_END_ELLIPSIS)) | DT_CALCRECT);
    const int nHeight = rcText.Height();
    if (nFormat & DT_VCENTER) {
        rc.top += (rc.Height() - nHeight) / 2;
    }
    rc.bottom = rc.top + nHeight;
    m_rcText = rc;
    m_nTextFormat = nFormat;
    return rc;
}

void CXTPTaskPanelItem::DoPropExchange(CXTPPropExchange* pPX)
{
    if (pPX->IsLoading())
        m_pPanel = DYNAMIC_DOWNCAST(CXTPTaskPanel, pPX->m_pOwner);
    ExchangeStringDefault(pPX, L"Caption", m_strCaption, L"");
    ExchangeStringDefault(pPX, L"Tooltip", m_strTooltip, L"");
    ExchangeInt(pPX, L"Id", m_nID, 0);
    ExchangeInt(pPX, L"Type", m_typeItem, xtpTaskItemTypeLink);
    ExchangeInt(pPX, L"IconIndex", m_nIconIndex, -1);
    ExchangeBool(pPX, L"Enabled", m_bEnabled, TRUE);
    ExchangeLongDefault(pPX, L"AllowDrag", m_nAllowDrag, xtpTaskItemAllowDragDefault);
    ExchangeBool(pPX, L"AllowDrop", m_bAllowDrop, TRUE);
    if (pPX->m_nSchema > 8) {
        ExchangeBool(pPX, L"Visible", m_bVisible, TRUE);
        ExchangeRect(pPX, L"IconPadding", m_rcIconPadding, kDefaultMarker);
    } else if (pPX->IsLoading()) {
        m_bVisible = TRUE;
        m_rcIconPadding = kDefaultMarker;
    }
}

HGLOBAL CXTPTaskPanelItem::CopyToHGlobal()
{
    CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE, kArchiveBufferSize);
    try {
        CArchive ar(&file, CArchive::store, kArchiveBufferSize);
        ar.WriteClass(GetRuntimeClass());
        CXTPPropExchangeArchive px(ar);
        DoPropExchange(&px);
        ar.Close();
    } catch (CException* e) {
        // Ole, archive and memory failures alike leave no half-written block behind.
        e->Delete();
        ::GlobalFree(file.Detach());
        return NULL;
    }
    // The block grows in steps of 4096 bytes; the rest past the item holds whatever the heap held,
    // which must not travel to other programs.
    const SIZE_T nLength = static_cast<SIZE_T>(file.GetLength());
    HGLOBAL hGlobal = file.Detach();
    HGLOBAL hExact = ::GlobalReAlloc(hGlobal, nLength, GMEM_MOVEABLE);
    return hExact != NULL ? hExact : hGlobal;
}

CXTPTaskPanelItem* AFXAPI CXTPTaskPanelItem::CreateFromOleData(COleDataObject* pDataObject)
{
    if (pDataObject == NULL)
        return NULL;
    CFile* pFile = pDataObject->GetFileData(GetTaskPanelClipboardFormat());
    if (pFile == NULL)
        return NULL;
    CXTPTaskPanelItem* pItem = NULL;
    try {
        CArchive ar(pFile, CArchive::load, kArchiveBufferSize);
        // Only task-panel items are made from the data: the stream names the class to create, and a
        // stream from elsewhere could name any class the program knows.
        CRuntimeClass* pClass = ar.ReadClass(RUNTIME_CLASS(CXTPTaskPanelItem));
        if (pClass != NULL && pClass->IsDerivedFrom(RUNTIME_CLASS(CXTPTaskPanelItem)))
            pItem = static_cast<CXTPTaskPanelItem*>(pClass->CreateObject());
        if (pItem != NULL) {
            CXTPPropExchangeArchive px(ar);
            pItem->DoPropExchange(&px);
        }
        ar.Close();
    } catch (CException* e) {
        // A short stream ends in an archive exception, an absurd length in a memory one.
        e->Delete();
        if (pItem != NULL)
            pItem->InternalRelease();
        pItem = NULL;
    }
    delete pFile;
    return pItem;
}

long CXTPTaskPanelItem::GetAccessibleChildId() const
{
    return m_pPanel != NULL ? m_pPanel->GetAccessibleChildId(this) : 0;
}

// ---------------------------------------------------------------------------------------------------
// Collections

IMPLEMENT_DYNCREATE(CXTPTaskPanelItems, CCmdTarget)
IMPLEMENT_DYNCREATE(CXTPTaskPanelGroups, CXTPTaskPanelItems)
IMPLEMENT_DYNCREATE(CXTPTaskPanelGroupItems, CXTPTaskPanelItems)

CRuntimeClass* CXTPTaskPanelGroups::GetDefaultItemClass() const
{
    return RUNTIME_CLASS(CXTPTaskPanelGroup);
}

CRuntimeClass* CXTPTaskPanelGroupItems::GetDefaultItemClass() const
{
    return RUNTIME_CLASS(CXTPTaskPanelGroupItem);
}

CXTPTaskPanelItems::CXTPTaskPanelItems(CXTPTaskPanel* pPanel) : m_pPanel(pPanel), m_pOwner(NULL) {}

CXTPTaskPanelItems::~CXTPTaskPanelItems()
{
    Clear(FALSE);
}

CXTPTaskPanelItem* CXTPTaskPanelItems::InsertAt(int nIndex, CXTPTaskPanelItem* pItem)
{
    if (pItem == NULL)
        return NULL;
    if (nIndex < 0 || nIndex > GetCount())
        nIndex = GetCount();
    m_arrItems.InsertAt(nIndex, pItem);
    pItem->m_pItems = this;
    pItem->m_pPanel = m_pPanel;
    // A group made apart from the panel brings items that must learn of the panel too.
    if (pItem->IsGroup()) {
        CXTPTaskPanelItems* pGroupItems = static_cast<CXTPTaskPanelGroup*>(pItem)->GetItems();
        pGroupItems->m_pPanel = m_pPanel;
        for (int i = 0; i < pGroupItems->GetCount(); i++)
            pGroupItems->GetAt(i)->m_pPanel = m_pPanel;
    }
    if (m_pPanel != NULL)
        m_pPanel->Reposition(TRUE);
    return pItem;
}

int CXTPTaskPanelItems::IndexOf(const CXTPTaskPanelItem* pItem) const
{
    for (int i = 0; i < GetCount(); i++) {
        if (m_arrItems[i] == pItem)
            return i;
    }
    return -1;
}

void CXTPTaskPanelItems::Move(CXTPTaskPanelItem* pItem, int nIndex)
{
    const int nOldIndex = IndexOf(pItem);
    if (nOldIndex == -1 || nOldIndex == nIndex || nIndex < 0 || nIndex >= GetCount())
        return;
    m_arrItems.RemoveAt(nOldIndex);
    m_arrItems.InsertAt(nIndex, pItem);
    if (m_pPanel != NULL)
        m_pPanel->Reposition(TRUE);
}

void CXTPTaskPanelItems::RemoveAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    CXTPTaskPanelItem* pItem = m_arrItems[nIndex];
    if (m_pPanel != NULL)
        m_pPanel->OnItemRemoved(pItem);
    m_arrItems.RemoveAt(nIndex);
    pItem->m_pItems = NULL;
    pItem->InternalRelease();
    if (m_pPanel != NULL)
        m_pPanel->Reposition(TRUE);
}

void CXTPTaskPanelItems::Remove(CXTPTaskPanelItem* pItem)
{
    RemoveAt(IndexOf(pItem));
}

void CXTPTaskPanelItems::Clear(BOOL bReposition)
{
    for (int i = 0; i < GetCount(); i++) {
        CXTPTaskPanelItem* pItem = m_arrItems[i];
        if (m_pPanel != NULL)
            m_pPanel->OnItemRemoved(pItem);
        pItem->m_pItems = NULL;
        pItem->InternalRelease();
    }
    m_arrItems.RemoveAll();
    if (bReposition && m_pPanel != NULL)
        m_pPanel->Reposition(TRUE);
}

CXTPTaskPanelItem* CXTPTaskPanelItems::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_arrItems[nIndex] : NULL;
}

CXTPTaskPanelItem* CXTPTaskPanelItems::GetFirstVisibleItem() const
{
    return GetAt(GetNextVisibleIndex(-1, 1));
}

CXTPTaskPanelItem* CXTPTaskPanelItems::GetLastVisibleItem() const
{
    return GetAt(GetNextVisibleIndex(GetCount(), -1));
}

int CXTPTaskPanelItems::GetNextVisibleIndex(int nIndex, int nDirection) const
{
    if (nDirection == 0)
        return -1;
    int nNext = nIndex + nDirection;
    // A row step from outside the array starts at its first or last item.
    if (nIndex == -1 && nDirection > 0)
        nNext = 0;
    else if (nIndex == GetCount() && nDirection < 0)
        nNext = GetCount() - 1;
    while (nNext >= 0 && nNext < GetCount()) {
        if (m_arrItems[nNext]->IsVisible())
            return nNext;
        nNext += nDirection > 0 ? 1 : -1;
    }
    return -1;
}

void CXTPTaskPanelItems::DoPropExchange(CXTPPropExchange* pPX)
{
    if (m_pPanel != NULL)
        m_pPanel->BeginUpdate();
    pPX->m_pOwner = m_pPanel;
    CXTPPropSectionEnumerator* pEnumerator = pPX->GetEnumerator(L"Item");
    try {
        POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(GetCount()));
        if (pPX->IsLoading()) {
            Clear(FALSE);
            while (pos != NULL) {
                CXTPPropExchangeSection section(pEnumerator->GetNext(pos));
                // The archive's class record carries a schema of its own; the items' keys follow the
                // exchange's.
                const UINT nSchema = section->m_nSchema;
                CRuntimeClass* pClass = NULL;
                if (!section->ExchangeClass(L"Class", pClass, GetDefaultItemClass()) || pClass == NULL ||
                    !pClass->IsDerivedFrom(GetDefaultItemClass()))
                    AfxThrowArchiveException(CArchiveException::badClass);
                section->m_nSchema = nSchema;
                CXTPTaskPanelItem* pItem = static_cast<CXTPTaskPanelItem*>(pClass->CreateObject());
                if (pItem == NULL)
                    AfxThrowArchiveException(CArchiveException::badClass);
                pItem->m_pItems = this;
                pItem->m_pPanel = m_pPanel;
                m_arrItems.Add(pItem);
                pItem->DoPropExchange(&section);
            }
        } else {
            for (int i = 0; i < GetCount(); i++) {
                CXTPPropExchangeSection section(pEnumerator->GetNext(pos));
                CRuntimeClass* pClass = m_arrItems[i]->GetRuntimeClass();
                const UINT nSchema = section->m_nSchema;
                // Written even for the default class, so that a reader sees what each section holds.
                section->ExchangeClass(L"Class", pClass, NULL);
                section->m_nSchema = nSchema;
                m_arrItems[i]->DoPropExchange(&section);
            }
        }
    } catch (...) {
        delete pEnumerator;
        if (m_pPanel != NULL)
            m_pPanel->EndUpdate();
        throw;
    }
    delete pEnumerator;
    if (m_pPanel != NULL)
        m_pPanel->EndUpdate();
}
