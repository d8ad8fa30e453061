// Groups: the layout of their items, their target rectangle in the panel, the animation toward it,
// row scrolling in the toolbox and list behaviours, hit testing and persistence.
#include "task_panel.h"

#include "prop_exchange.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_SERIAL(CXTPTaskPanelGroup, CXTPTaskPanelItem, VERSIONABLE_SCHEMA | 1)

CXTPTaskPanelGroup::CXTPTaskPanelGroup(CXTPTaskPanel* pPanel)
    : m_ptClientImageOffset(0, 0), m_rcGroupTarget(0, 0, 0, 0), m_rcGroupCurrent(0, 0, 0, 0),
      m_rcOuterMargins(XTPTaskPanelDefaultMarker()), m_rcInnerMargins(XTPTaskPanelDefaultMarker()),
      m_nCaptionHeight(0), m_bSpecial(FALSE), m_bExpandable(TRUE), m_bExpanded(TRUE), m_bExpanding(FALSE),
      m_nExpandedClientHeight(0), m_bCaptionVisible(TRUE), m_nFirstVisibleItem(0), m_nItemsInRow(1),
      m_szItemIcon(0, 0), m_pItems(new CXTPTaskPanelGroupItems(pPanel)),
      m_nItemLayout(xtpTaskItemLayoutDefault)
{
    m_pPanel = pPanel;
    m_typeItem = xtpTaskItemTypeGroup;
    m_pItems->m_pOwner = this;
}

CXTPTaskPanelGroup::~CXTPTaskPanelGroup()
{
    m_pItems->InternalRelease();
}

BOOL CXTPTaskPanelGroup::IsAcceptFocus() const
{
    return CXTPTaskPanelItem::IsAcceptFocus() && IsExpandable();
}

CRect CXTPTaskPanelGroup::GetHitTestRect() const
{
    CRect rc = GetCaptionRect();
    if (m_pPanel != NULL)
        rc.OffsetRect(0, -m_pPanel->GetScrollOffset());
    return rc;
}

void CXTPTaskPanelGroup::DrawClientImage(CDC* pDC, CRect rc)
{
    if (m_ilClient.GetSafeHandle() == NULL || m_ilClient.GetImageCount() != 1)
        return;
    m_ilClient.Draw(pDC, 0, CPoint(rc.right - m_ptClientImageOffset.x, rc.bottom - m_ptClientImageOffset.y),
                    ILD_NORMAL);
}

CRect CXTPTaskPanelGroup::GetCaptionRect() const
{
    CRect rc(m_rcGroupCurrent.left, m_rcGroupCurrent.top, m_rcGroupCurrent.right,
             m_rcGroupCurrent.top + m_nCaptionHeight);
    if (m_pPanel != NULL) {
        const TaskPanelScrollButton* pButtons[] = {m_pPanel->GetScrollButton(TRUE),
                                                   m_pPanel->GetScrollButton(FALSE)};
        for (const TaskPanelScrollButton* pButton : pButtons) {
            if (pButton->pGroupCaption == this && pButton->IsVisible())
                rc.right =
                    pButton->rcButton.left - m_pPanel->GetPaintManager()->GetGroupSpacing(m_pPanel) - 1;
        }
    }
    return rc;
}

CRect CXTPTaskPanelGroup::GetTargetCaptionRect() const
{
    return CRect(m_rcGroupTarget.left, m_rcGroupTarget.top, m_rcGroupTarget.right,
                 m_rcGroupTarget.top + m_nCaptionHeight);
}

CRect CXTPTaskPanelGroup::GetClientRect() const
{
    return CRect(m_rcGroupCurrent.left, m_rcGroupCurrent.top + m_nCaptionHeight, m_rcGroupCurrent.right,
                 std::max(m_rcGroupCurrent.bottom, m_rcGroupCurrent.top + m_nCaptionHeight));
}

CRect CXTPTaskPanelGroup::GetTargetClientRect() const
{
    return CRect(m_rcGroupTarget.left, m_rcGroupTarget.top + m_nCaptionHeight, m_rcGroupTarget.right,
                 m_rcGroupTarget.bottom);
}

BOOL CXTPTaskPanelGroup::IsExpandable() const
{
    return m_bExpandable && (m_pPanel == NULL || m_pPanel->IsExpandable()) && m_bEnabled;
}

void CXTPTaskPanelGroup::SetExpanded(BOOL bExpanded)
{
    if (m_pPanel != NULL)
        m_pPanel->SetGroupExpanded(this, bExpanded);
    else
        m_bExpanded = bExpanded;
}

BOOL CXTPTaskPanelGroup::IsExpanded() const
{
    return m_pPanel != NULL ? m_pPanel->IsGroupExpanded(this) : m_bExpanded;
}

void CXTPTaskPanelGroup::ShowCaption(BOOL bShow)
{
    if (m_bCaptionVisible == bShow)
        return;
    m_bCaptionVisible = bShow;
    RepositionPanel();
}

BOOL CXTPTaskPanelGroup::IsAnimating() const
{
    return m_bVisible && m_rcGroupCurrent != m_rcGroupTarget;
}

void CXTPTaskPanelGroup::SetSpecialGroup(BOOL bSpecial)
{
    m_bSpecial = bSpecial;
    RedrawPanel();
}

int CXTPTaskPanelGroup::GetCount() const
{
    return m_pItems->GetCount();
}

CXTPTaskPanelGroupItem* CXTPTaskPanelGroup::GetAt(int nIndex) const
{
    return static_cast<CXTPTaskPanelGroupItem*>(m_pItems->GetAt(nIndex));
}

int CXTPTaskPanelGroup::GetNextVisibleItem(int nIndex, int nDirection) const
{
    return m_pItems->GetNextVisibleIndex(nIndex, nDirection);
}

int CXTPTaskPanelGroup::GetItemLayout() const
{
    if (m_nItemLayout != xtpTaskItemLayoutDefault || m_pPanel == NULL)
        return m_nItemLayout;
    return m_pPanel->GetItemLayout();
}

void CXTPTaskPanelGroup::SetItemLayout(int nLayout)
{
    m_nItemLayout = nLayout;
    RepositionPanel();
}

CSize CXTPTaskPanelGroup::GetItemIconSize() const
{
    if (m_szItemIcon != CSize(0, 0) || m_pPanel == NULL)
        return m_szItemIcon;
    return m_pPanel->GetItemIconSize();
}

void CXTPTaskPanelGroup::SetOuterMargins(const RECT& rc)
{
    m_rcOuterMargins = rc;
    RepositionPanel();
}

void CXTPTaskPanelGroup::SetInnerMargins(const RECT& rc)
{
    m_rcInnerMargins = rc;
    RepositionPanel();
}

void CXTPTaskPanelGroup::OnCalcClientHeight(CDC* pDC, CRect rc)
{
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    const CRect rcOuter = pPaintManager->GetGroupOuterMargins(this);
    const CRect rcInner = pPaintManager->GetGroupInnerMargins(this);
    // Items take panel x coordinates and y from the top of the group's client area.
    rc.left += rcOuter.left + rcInner.left;
    rc.right -= rcOuter.right + rcInner.right;
    rc.top = 0;
    rc.bottom = 0;
    m_nItemsInRow = 1;
    int y = rcInner.top;
    const int nLayout = GetItemLayout();

    if (nLayout != xtpTaskItemLayoutImages && !m_pPanel->IsMultiColumn()) {
        for (int i = 0; i < GetCount(); i++) {
            CXTPTaskPanelGroupItem* pItem = GetAt(i);
            if (!pItem->IsVisible())
                continue;
            const CRect rcItem = pItem->OnReposition(CRect(rc.left, y, rc.right, y));
            y = rcItem.bottom + pPaintManager->GetItemOuterMargins(pItem).bottom;
        }
    } else if (nLayout != xtpTaskItemLayoutImages) {
        // A column width of 0 or less, or wider than the group, gives one column.
        const int nColumnWidth = m_pPanel->GetColumnWidth();
        const int nColumns = nColumnWidth > 0 ? std::max(1, rc.Width() / nColumnWidth) : 1;
        const int nCellWidth = nColumns > 1 ? nColumnWidth : rc.Width();
        int nColumn = 0;
        int nRowHeight = 0;
        for (int i = 0; i < GetCount(); i++) {
            CXTPTaskPanelGroupItem* pItem = GetAt(i);
            if (!pItem->IsVisible())
                continue;
            const int x = rc.left + nColumn * nCellWidth;
            const CRect rcItem = pItem->OnReposition(CRect(x, y, x + nCellWidth, y));
            nRowHeight =
                std::max(nRowHeight, static_cast<int>(rcItem.bottom - y +
                                                      pPaintManager->GetItemOuterMargins(pItem).bottom));
            if (++nColumn == nColumns) {
                y += nRowHeight;
                nColumn = 0;
                nRowHeight = 0;
            }
        }
        y += nRowHeight;
        m_nItemsInRow = nColumns;
    } else {
        const CSize szIcon = GetItemIconSize();
        const CRect& rcPadding = pPaintManager->m_rcImageCellPadding;
        const int nCellWidth = szIcon.cx + rcPadding.left + rcPadding.right;
        const int nCellHeight = szIcon.cy + rcPadding.top + rcPadding.bottom;
        const int nColumns = nCellWidth > 0 ? std::max(1, rc.Width() / nCellWidth) : 1;
        int nColumn = 0;
        for (int i = 0; i < GetCount(); i++) {
            CXTPTaskPanelGroupItem* pItem = GetAt(i);
            if (!pItem->IsVisible())
                continue;
            const int x = rc.left + nColumn * nCellWidth;
            pItem->OnReposition(CRect(x, y, x + nCellWidth, y + nCellHeight));
            if (++nColumn == nColumns) {
                y += nCellHeight;
                nColumn = 0;
            }
        }
        if (nColumn > 0)
            y += nCellHeight;
        m_nItemsInRow = nColumns;
        SetFirstVisible(m_nFirstVisibleItem, FALSE);
    }
    m_nExpandedClientHeight = y + rcInner.bottom;
    m_nCaptionHeight = pPaintManager->DrawGroupCaption(pDC, this, FALSE);
}

void CXTPTaskPanelGroup::ShareSpareHeight(int nSpare)
{
    int nWeights = 0;
    for (int i = 0; i < GetCount(); i++) {
        const CXTPTaskPanelGroupItem* pItem = GetAt(i);
        if (pItem->IsVisible() && pItem->IsAutoHeight())
            nWeights += std::max(1, static_cast<int>(pItem->GetSize().cy));
    }
    if (nWeights == 0)
        return;
    int nMoved = 0;
    for (int i = 0; i < GetCount(); i++) {
        CXTPTaskPanelGroupItem* pItem = GetAt(i);
        if (!pItem->IsVisible())
            continue;
        pItem->m_rcItem.OffsetRect(0, nMoved);
        if (!pItem->IsAutoHeight())
            continue;
        const int nWeight = std::max(1, static_cast<int>(pItem->GetSize().cy));
        const int nShare = nWeights == nWeight ? nSpare : nSpare * nWeight / nWeights;
        pItem->m_rcItem.bottom += nShare;
        nMoved += nShare;
        nSpare -= nShare;
        nWeights -= nWeight;
    }
}

CRect CXTPTaskPanelGroup::OnLayout(int nLeft, int nTop, int nRight, BOOL bAnimate)
{
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    const int nBehaviour = m_pPanel->GetBehaviour();
    if (nBehaviour == xtpTaskPanelBehaviourExplorer)
        m_nFirstVisibleItem = 0;

    const CRect rcOuter = pPaintManager->GetGroupOuterMargins(this);
    m_rcGroupTarget.left = nLeft + rcOuter.left;
    m_rcGroupTarget.top = nTop + rcOuter.top;
    m_rcGroupTarget.right = nRight - rcOuter.right;

    const BOOL bOpen = m_pPanel->GetOpenGroup() == this;
    if (nBehaviour != xtpTaskPanelBehaviourExplorer && (bOpen || (m_bExpanding && !IsExpanded()))) {
        const CRect rcInner = pPaintManager->GetGroupInnerMargins(this);
        const CRect rcMargins = pPaintManager->GetControlMargins(m_pPanel);
        int nAvailable = m_pPanel->GetClientHeight();
        int nVisibleGroups = 0;
        for (int i = 0; i < m_pPanel->GetGroupCount(); i++) {
            CXTPTaskPanelGroup* pGroup = m_pPanel->GetAt(i);
            if (!pGroup->IsVisible())
                continue;
            nVisibleGroups++;
            const CRect rcGroupOuter = pPaintManager->GetGroupOuterMargins(pGroup);
            nAvailable -= pGroup->m_nCaptionHeight + rcGroupOuter.top + rcGroupOuter.bottom;
            if (pGroup != m_pPanel->GetOpenGroup() && pGroup->IsExpanded())
                nAvailable -= pGroup->m_nExpandedClientHeight;
        }
        if (nVisibleGroups > 1)
            nAvailable -= pPaintManager->GetGroupSpacing(m_pPanel) * (nVisibleGroups - 1);
        nAvailable -= rcMargins.top + rcMargins.bottom;
        const int nMinimum =
            rcInner.top + std::max(32, static_cast<int>(GetItemIconSize().cy + rcInner.bottom)) + 2;
        nAvailable = std::max(nAvailable, nMinimum);
        if (nAvailable > m_nExpandedClientHeight && GetItemLayout() != xtpTaskItemLayoutImages)
            ShareSpareHeight(nAvailable - m_nExpandedClientHeight);
        m_nExpandedClientHeight = nAvailable;

        // Scrolled further than needed: show as many items as the client area holds.
        while (m_nFirstVisibleItem > 0) {
            const int nPrevious = std::max(0, m_nFirstVisibleItem - m_nItemsInRow);
            const CXTPTaskPanelItem* pLast = m_pItems->GetLastVisibleItem();
            if (pLast == NULL || static_cast<const CXTPTaskPanelGroupItem*>(pLast)->m_rcItem.bottom -
                                         GetOffsetOfIndex(nPrevious) >
                                     nAvailable)
                break;
            m_nFirstVisibleItem = nPrevious;
        }
        CXTPTaskPanelItem* pShow = m_pPanel->GetFocusedItem();
        if (pShow == NULL || pShow->GetItemGroup() != this || pShow == this) {
            pShow = NULL;
            if (m_pPanel->IsSingleSelection()) {
                for (int i = 0; i < GetCount() && pShow == NULL; i++) {
                    if (GetAt(i)->IsItemSelected())
                        pShow = GetAt(i);
                }
            }
        }
        if (pShow != NULL) {
            m_rcGroupTarget.bottom = m_rcGroupTarget.top + m_nCaptionHeight + m_nExpandedClientHeight;
            EnsureVisible(static_cast<CXTPTaskPanelGroupItem*>(pShow), FALSE);
        }
    }

    m_rcGroupTarget.bottom =
        m_rcGroupTarget.top + m_nCaptionHeight + (IsExpanded() ? m_nExpandedClientHeight : 0);
    m_rcGroupCurrent.left = m_rcGroupTarget.left;
    m_rcGroupCurrent.right = m_rcGroupTarget.right;
    if (!(bAnimate && m_pPanel->IsAnimationEnabled() && IsAnimating()))
        SnapToTarget();
    return m_rcGroupTarget;
}

void CXTPTaskPanelGroup::OnAnimate(int nStep)
{
    if (nStep < 1) {
        m_rcGroupCurrent = m_rcGroupTarget;
    } else {
        auto stepToward = [nStep](LONG& nCurrent, LONG nTarget) {
            const LONG nDistance = nTarget - nCurrent;
            if (nDistance == 0)
                return;
            const LONG nMove = std::max(1L, std::labs(nDistance) / nStep);
            nCurrent += nDistance > 0 ? nMove : -nMove;
        };
        stepToward(m_rcGroupCurrent.top, m_rcGroupTarget.top);
        stepToward(m_rcGroupCurrent.bottom, m_rcGroupTarget.bottom);
    }
    if (!IsAnimating() && m_bExpanding) {
        m_bExpanding = FALSE;
        if (m_pPanel != NULL)
            m_pPanel->NotifyOwner(XTP_TPN_GROUPEXPANDED, reinterpret_cast<LPARAM>(this));
    }
    for (int i = 0; i < GetCount(); i++)
        GetAt(i)->OnAnimate(nStep);
}

void CXTPTaskPanelGroup::OnPaint(CDC* pDC)
{
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    pPaintManager->DrawGroupCaption(pDC, this, TRUE);
    pPaintManager->DrawGroupClient(pDC, this);
}

int CXTPTaskPanelGroup::GetFirstVisibleIndex() const
{
    const int nCount = GetCount();
    if (m_nFirstVisibleItem >= 0 && m_nFirstVisibleItem < nCount && GetAt(m_nFirstVisibleItem)->IsVisible())
        return m_nFirstVisibleItem;
    int nIndex = GetNextVisibleItem(m_nFirstVisibleItem, 1);
    if (nIndex == -1)
        nIndex = GetNextVisibleItem(std::min(m_nFirstVisibleItem, nCount), -1);
    return nIndex == -1 ? 0 : nIndex;
}

int CXTPTaskPanelGroup::GetOffsetOfIndex(int nIndex) const
{
    const CXTPTaskPanelGroupItem* pItem = GetAt(nIndex);
    if (nIndex <= 0 || pItem == NULL)
        return 0;
    return pItem->m_rcItem.top - GetPaintManager()->GetGroupInnerMargins(this).top;
}

int CXTPTaskPanelGroup::GetFirstVisibleOffset() const
{
    return GetOffsetOfIndex(GetFirstVisibleIndex());
}

void CXTPTaskPanelGroup::SetFirstVisible(int nIndex, BOOL bReposition)
{
    const int nRow = std::max(1, m_nItemsInRow);
    nIndex = nIndex / nRow * nRow;
    nIndex = std::max(0, std::min(nIndex, GetCount() - 1));
    if (nIndex == m_nFirstVisibleItem)
        return;
    m_nFirstVisibleItem = nIndex;
    if (bReposition) {
        SnapToTarget();
        if (m_pPanel != NULL) {
            m_pPanel->UpdateScrollButtons();
            m_pPanel->Invalidate(FALSE);
        }
    }
}

void CXTPTaskPanelGroup::Scroll(int nDelta)
{
    int nIndex = GetFirstVisibleIndex();
    const int nDirection = nDelta > 0 ? 1 : -1;
    for (int i = 0; i < std::abs(nDelta); i++) {
        const int nNext = GetNextVisibleItem(nIndex, nDirection);
        if (nNext == -1)
            break;
        nIndex = nNext;
    }
    SetFirstVisible(nIndex, TRUE);
}

BOOL CXTPTaskPanelGroup::IsScrollButtonEnabled(BOOL bUp) const
{
    const CXTPTaskPanelGroupItem* pLast =
        static_cast<const CXTPTaskPanelGroupItem*>(m_pItems->GetLastVisibleItem());
    if (pLast == NULL)
        return FALSE;
    if (bUp)
        return GetFirstVisibleIndex() != 0;
    return pLast->m_rcItem.bottom - GetFirstVisibleOffset() > GetTargetClientHeight();
}

BOOL CXTPTaskPanelGroup::IsItemVisible(const CXTPTaskPanelGroupItem* pItem, BOOL bPartial) const
{
    if (pItem == NULL || !pItem->IsVisible())
        return FALSE;
    if (m_pPanel == NULL || m_pPanel->GetBehaviour() == xtpTaskPanelBehaviourExplorer)
        return IsExpanded();
    const int nIndex = m_pItems->IndexOf(pItem);
    if (nIndex < GetFirstVisibleIndex())
        return FALSE;
    const int y = (bPartial ? pItem->m_rcItem.top : pItem->m_rcItem.bottom) - GetFirstVisibleOffset();
    return y <= GetTargetClientHeight();
}

void CXTPTaskPanelGroup::EnsureVisible(CXTPTaskPanelGroupItem* pItem, BOOL bReposition)
{
    const int nIndex = m_pItems->IndexOf(pItem);
    if (nIndex == -1 || !IsExpanded())
        return;
    const int nFirst = GetFirstVisibleIndex();
    if (nIndex < nFirst) {
        SetFirstVisible(nIndex, bReposition);
        return;
    }
    const int nClientHeight = GetTargetClientHeight();
    if (pItem->m_rcItem.bottom - GetOffsetOfIndex(nFirst) <= nClientHeight)
        return;
    const int nInnerTop = GetPaintManager()->GetGroupInnerMargins(this).top;
    for (int n = nFirst + 1; n <= nIndex; n++) {
        const int nOffset = GetOffsetOfIndex(n);
        if (pItem->m_rcItem.bottom - nOffset <= nClientHeight || pItem->m_rcItem.top - nOffset <= nInnerTop) {
            SetFirstVisible(n, bReposition);
            return;
        }
    }
}

CXTPTaskPanelGroupItem* CXTPTaskPanelGroup::HitTest(CPoint pt, CRect* pRect) const
{
    if (!IsExpanded() || m_pPanel == NULL)
        return NULL;
    const int nShift =
        m_rcGroupCurrent.top + m_nCaptionHeight - GetFirstVisibleOffset() - m_pPanel->GetScrollOffset();
    const CPoint ptItem(pt.x, pt.y - nShift);
    for (int i = GetFirstVisibleIndex(); i < GetCount(); i++) {
        CXTPTaskPanelGroupItem* pItem = GetAt(i);
        if (!pItem->IsVisible() || !pItem->m_rcItem.PtInRect(ptItem))
            continue;
        if (pRect != NULL) {
            *pRect = pItem->m_rcItem;
            pRect->OffsetRect(0, nShift);
        }
        return pItem;
    }
    return NULL;
}

void CXTPTaskPanelGroup::SetSelectedItem(CXTPTaskPanelGroupItem* pSelectedItem)
{
    for (int i = 0; i < GetCount(); i++)
        GetAt(i)->SetItemSelected(GetAt(i) == pSelectedItem);
}

void CXTPTaskPanelGroup::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPTaskPanelItem::DoPropExchange(pPX);
    ExchangeBool(pPX, L"CaptionVisible", m_bCaptionVisible, TRUE);
    ExchangeBool(pPX, L"Expandable", m_bExpandable, TRUE);
    BOOL bExpanded = IsExpanded();
    ExchangeBool(pPX, L"Expanded", bExpanded, FALSE);
    ExchangeBool(pPX, L"Special", m_bSpecial, FALSE);
    ExchangeInt(pPX, L"Layout", m_nItemLayout, xtpTaskItemLayoutDefault);
    ExchangeRect(pPX, L"MarginsInner", m_rcInnerMargins, XTPTaskPanelDefaultMarker());
    ExchangeRect(pPX, L"MarginsOuter", m_rcOuterMargins, XTPTaskPanelDefaultMarker());
    SIZE szIcon = m_szItemIcon;
    ExchangeSize(pPX, L"IconSize", szIcon, CSize(0, 0));
    m_szItemIcon = szIcon;
    if (pPX->IsLoading()) {
        m_pItems->m_pPanel = m_pPanel;
        SetExpanded(bExpanded);
    }
    CXTPPropExchangeSection section(pPX->GetSection(L"Items"));
    m_pItems->DoPropExchange(&section);
}

// ---------------------------------------------------------------------------------------------------
// Accessibility

HRESULT CXTPTaskPanelGroup::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    const HRESULT hr = CXTPTaskPanelItem::get_accState(varChild, pvarState);
    if (FAILED(hr))
        return hr;
    pvarState->lVal |= IsExpanded() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    return S_OK;
}

HRESULT CXTPTaskPanelGroup::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction)
{
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if (pszDefaultAction == NULL)
        return E_POINTER;
    *pszDefaultAction = ::SysAllocString(L"Expand");
    return S_OK;
}

HRESULT CXTPTaskPanelGroup::accDoDefaultAction(VARIANT varChild)
{
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    SetExpanded(!IsExpanded());
    return S_OK;
}
