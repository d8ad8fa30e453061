// The panel and its items as accessible objects. Child ids number the groups and their items from 1
// in display order: a group's id is 1 plus, over the groups before it, 1 + their item count; its item
// at index i has the group's id + i + 1.
#include "task_panel.h"

namespace {

void SetLong(VARIANT* pVariant, long nValue)
{
    ::VariantInit(pVariant);
    pVariant->vt = VT_I4;
    pVariant->lVal = nValue;
}

BSTR AllocText(const CString& strText)
{
    return ::SysAllocStringLen(strText, static_cast<UINT>(strText.GetLength()));
}

} // namespace

CXTPTaskPanelItem* CXTPTaskPanel::GetAccessibleChild(long nChildId) const
{
    long nId = 1;
    for (int i = 0; i < GetGroupCount(); i++) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        if (nChildId == nId)
            return pGroup;
        if (nChildId <= nId + pGroup->GetCount())
            return pGroup->GetAt(static_cast<int>(nChildId - nId - 1));
        nId += 1 + pGroup->GetCount();
    }
    return NULL;
}

long CXTPTaskPanel::GetAccessibleChildId(const CXTPTaskPanelItem* pItem) const
{
    long nId = 1;
    for (int i = 0; i < GetGroupCount(); i++) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        if (pGroup == pItem)
            return nId;
        const int nIndex = pGroup->GetItems()->IndexOf(pItem);
        if (nIndex != -1)
            return nId + nIndex + 1;
        nId += 1 + pGroup->GetCount();
    }
    return 0;
}

LRESULT CXTPTaskPanel::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(lParam) == OBJID_CLIENT)
        return CallLresultFromObject(IID_IAccessible, wParam, GetAccessible());
    return Default();
}

HRESULT CXTPTaskPanel::get_accParent(IDispatch** ppdispParent)
{
    if (ppdispParent == NULL)
        return E_POINTER;
    *ppdispParent = NULL;
    if (GetSafeHwnd() == NULL || GetParent() == NULL)
        return E_FAIL;
    return CallAccessibleObjectFromWindow(GetParent()->GetSafeHwnd(), static_cast<DWORD>(OBJID_WINDOW),
                                          IID_IAccessible, reinterpret_cast<void**>(ppdispParent));
}

HRESULT CXTPTaskPanel::get_accChildCount(long* pcountChildren)
{
    if (pcountChildren == NULL)
        return E_POINTER;
    long nCount = 0;
    for (int i = 0; i < GetGroupCount(); i++)
        nCount += 1 + GetAt(i)->GetCount();
    *pcountChildren = nCount;
    return S_OK;
}

HRESULT CXTPTaskPanel::get_accChild(VARIANT varChild, IDispatch** ppdispChild)
{
    if (ppdispChild == NULL)
        return E_POINTER;
    *ppdispChild = NULL;
    const long nChild = GetChildIdFromVariant(&varChild);
    CXTPTaskPanelItem* pItem = nChild > 0 ? GetAccessibleChild(nChild) : NULL;
    if (pItem == NULL)
        return E_INVALIDARG;
    *ppdispChild = pItem->GetAccessible();
    (*ppdispChild)->AddRef();
    return S_OK;
}

HRESULT CXTPTaskPanel::get_accName(VARIANT varChild, BSTR* pszName)
{
    if (pszName == NULL)
        return E_POINTER;
    const long nChild = GetChildIdFromVariant(&varChild);
    if (nChild != CHILDID_SELF && nChild != -1)
        return E_INVALIDARG;
    CString strText;
    if (GetSafeHwnd() != NULL)
        GetWindowText(strText);
    *pszName = AllocText(strText);
    return S_OK;
}

HRESULT CXTPTaskPanel::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    if (pvarRole == NULL)
        return E_POINTER;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    SetLong(pvarRole, ROLE_SYSTEM_OUTLINE);
    return S_OK;
}

HRESULT CXTPTaskPanel::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    if (pvarState == NULL)
        return E_POINTER;
    SetLong(pvarState, GetChildIdFromVariant(&varChild) == CHILDID_SELF ? STATE_SYSTEM_FOCUSABLE : 0);
    return S_OK;
}

HRESULT CXTPTaskPanel::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                   VARIANT varChild)
{
    if (pxLeft == NULL || pyTop == NULL || pcxWidth == NULL || pcyHeight == NULL)
        return E_POINTER;
    *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
    if (GetSafeHwnd() == NULL)
        return S_OK;
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const long nChild = GetChildIdFromVariant(&varChild);
    CRect rc(rcWindow);
    if (nChild != CHILDID_SELF) {
        CXTPTaskPanelItem* pItem = GetAccessibleChild(nChild);
        if (pItem == NULL)
            return E_INVALIDARG;
        rc = pItem->GetHitTestRect();
        rc.OffsetRect(rcWindow.TopLeft());
    }
    *pxLeft = rc.left;
    *pyTop = rc.top;
    *pcxWidth = rc.Width();
    *pcyHeight = rc.Height();
    return S_OK;
}

HRESULT CXTPTaskPanel::accHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
    if (pvarChild == NULL)
        return E_POINTER;
    ::VariantInit(pvarChild);
    if (GetSafeHwnd() == NULL)
        return S_FALSE;
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (!rcWindow.PtInRect(CPoint(xLeft, yTop)))
        return S_FALSE;
    CPoint pt(xLeft, yTop);
    ScreenToClient(&pt);
    CXTPTaskPanelItem* pItem = HitTestItem(pt);
    if (pItem != NULL) {
        pvarChild->vt = VT_DISPATCH;
        pvarChild->pdispVal = pItem->GetAccessible();
        pvarChild->pdispVal->AddRef();
        return S_OK;
    }
    SetLong(pvarChild, CHILDID_SELF);
    return S_OK;
}

// ---------------------------------------------------------------------------------------------------
// Items

HRESULT CXTPTaskPanelItem::get_accParent(IDispatch** ppdispParent)
{
    if (ppdispParent == NULL)
        return E_POINTER;
    *ppdispParent = NULL;
    if (m_pPanel == NULL)
        return E_FAIL;
    *ppdispParent = m_pPanel->GetAccessible();
    (*ppdispParent)->AddRef();
    return S_OK;
}

HRESULT CXTPTaskPanelItem::get_accName(VARIANT varChild, BSTR* pszName)
{
    if (pszName == NULL)
        return E_POINTER;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    *pszName = AllocText(m_strCaption);
    return S_OK;
}

HRESULT CXTPTaskPanelItem::get_accDescription(VARIANT varChild, BSTR* pszDescription)
{
    if (pszDescription == NULL)
        return E_POINTER;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    *pszDescription = AllocText(m_strTooltip);
    return S_OK;
}

HRESULT CXTPTaskPanelItem::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    if (pvarRole == NULL)
        return E_POINTER;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    SetLong(pvarRole, ROLE_SYSTEM_LISTITEM);
    return S_OK;
}

HRESULT CXTPTaskPanelItem::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    if (pvarState == NULL)
        return E_POINTER;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    long nState = STATE_SYSTEM_FOCUSABLE;
    if (IsFocused())
        nState |= STATE_SYSTEM_FOCUSED;
    if (!m_bVisible)
        nState |= STATE_SYSTEM_INVISIBLE;
    if (!m_bEnabled)
        nState |= STATE_SYSTEM_UNAVAILABLE;
    SetLong(pvarState, nState);
    return S_OK;
}

HRESULT CXTPTaskPanelItem::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                       VARIANT varChild)
{
    if (pxLeft == NULL || pyTop == NULL || pcxWidth == NULL || pcyHeight == NULL)
        return E_POINTER;
    *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if (m_pPanel == NULL || m_pPanel->GetSafeHwnd() == NULL)
        return S_OK;
    CRect rc = GetHitTestRect();
    m_pPanel->ClientToScreen(&rc);
    *pxLeft = rc.left;
    *pyTop = rc.top;
    *pcxWidth = rc.Width();
    *pcyHeight = rc.Height();
    return S_OK;
}

HRESULT CXTPTaskPanelItem::accHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
    if (pvarChild == NULL)
        return E_POINTER;
    ::VariantInit(pvarChild);
    if (m_pPanel == NULL || m_pPanel->GetSafeHwnd() == NULL)
        return S_FALSE;
    CRect rcWindow;
    m_pPanel->GetWindowRect(&rcWindow);
    if (!rcWindow.PtInRect(CPoint(xLeft, yTop)))
        return S_FALSE;
    SetLong(pvarChild, CHILDID_SELF);
    CPoint pt(xLeft, yTop);
    m_pPanel->ScreenToClient(&pt);
    return GetHitTestRect().PtInRect(pt) ? S_OK : S_FALSE;
}

HRESULT CXTPTaskPanelItem::accSelect(long flagsSelect, VARIANT varChild)
{
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if ((flagsSelect & SELFLAG_TAKEFOCUS) && m_pPanel != NULL)
        m_pPanel->SetFocusedItem(this);
    return S_OK;
}
