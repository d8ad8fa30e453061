// The panel's mouse and keyboard: hit testing, hot and focus tracking, clicks, the scroll buttons'
// press loop, keyboard navigation through GetNextItem, and tooltips.
#include "task_panel.h"

#include "hook_managers.h"
#include "tooltip_controller.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A left-button move longer than this (|dx| + |dy|) starts a drag.
const int kDragDistance = 4;
const UINT kScrollFirstDelay = 500;
const UINT kScrollRepeatDelay = 50;

} // namespace

BOOL CXTPTaskPanel::IsMouseManagerBusy() const
{
    CXTPMouseManager* pManager = CXTPMouseManager::GetInstance();
    return pManager->GetTrackedCount() > 0 || pManager->m_nLock > 0;
}

CXTPTaskPanelGroup* CXTPTaskPanel::HitTestGroup(CPoint pt, BOOL* pbCaption) const
{
    pt.y += GetScrollOffset();
    for (int i = 0; i < GetGroupCount(); i++) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        if (!pGroup->IsVisible())
            continue;
        if (pGroup->GetClientRect().PtInRect(pt)) {
            if (pbCaption != NULL)
                *pbCaption = FALSE;
            return pGroup;
        }
        if (pGroup->IsCaptionVisible() && pGroup->GetCaptionRect().PtInRect(pt)) {
            if (pbCaption != NULL)
                *pbCaption = TRUE;
            return pGroup;
        }
    }
    return NULL;
}

CXTPTaskPanelItem* CXTPTaskPanel::HitTestItem(CPoint pt, BOOL bClientArea) const
{
    const CPoint ptContent(pt.x, pt.y + GetScrollOffset());
    for (const TaskPanelScrollButton* pButton : {m_pScrollButtonUp, m_pScrollButtonDown}) {
        if (pButton->IsVisible() && pButton->rcButton.PtInRect(ptContent))
            return NULL;
    }
    BOOL bCaption = FALSE;
    CXTPTaskPanelGroup* pGroup = HitTestGroup(pt, &bCaption);
    if (pGroup == NULL)
        return NULL;
    if (bCaption)
        return pGroup;
    CXTPTaskPanelItem* pItem = pGroup->HitTest(pt);
    if (pItem != NULL)
        return pItem;
    return bClientArea ? pGroup : NULL;
}

void CXTPTaskPanel::SetHotItem(CXTPTaskPanelItem* pItem)
{
    if (m_pItemHot == pItem)
        return;
    AssignReference(m_pItemHot, pItem);
    if (GetSafeHwnd() == NULL)
        return;
    if (pItem != NULL) {
        TRACKMOUSEEVENT tme = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
    }
    Invalidate(FALSE);
}

BOOL CXTPTaskPanel::HasFocus() const
{
    return m_bDrawFocusRect && GetSafeHwnd() != NULL && ::GetFocus() == m_hWnd;
}

void CXTPTaskPanel::SetFocusedItem(CXTPTaskPanelItem* pItem, BOOL bShowCue)
{
    if (bShowCue)
        m_bDrawFocusRect = m_bAcceptFocus;
    if (m_bAcceptFocus && GetSafeHwnd() != NULL && ::GetFocus() != m_hWnd) {
        m_bGrabbingFocus = TRUE;
        SetFocus();
        m_bGrabbingFocus = FALSE;
    }
    if (m_pItemFocused == pItem)
        return;
    if (m_bSingleSelection && !m_bSelectItemOnFocus && pItem != NULL &&
        pItem->GetType() == xtpTaskItemTypeLink && !pItem->IsGroup()) {
        CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
        if (pGroup != NULL)
            pGroup->SetSelectedItem(static_cast<CXTPTaskPanelGroupItem*>(pItem));
    }
    AssignReference(m_pItemFocused, pItem);
    if (GetSafeHwnd() == NULL)
        return;
    EnsureVisible(pItem);
    Invalidate(FALSE);
    NotifyOwner(XTP_TPN_FOCUSEDITEMCHANGED, 0);
    if (pItem != NULL)
        CallNotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, GetAccessibleChildId(pItem));
}

// ---------------------------------------------------------------------------------------------------
// Mouse

void CXTPTaskPanel::OnLButtonDown(UINT nFlags, CPoint point)
{
    CXTPTaskPanelItem* pItem = HitTestItem(point);
    if (pItem != NULL && pItem->IsAcceptFocus())
        SetFocusedItem(pItem, FALSE);
    else if (m_bAcceptFocus && ::GetFocus() != m_hWnd) {
        m_bGrabbingFocus = TRUE;
        SetFocus();
        m_bGrabbingFocus = FALSE;
    }
    if (pItem != NULL && pItem->IsAcceptFocus()) {
        m_pItemPressed = pItem;
        m_ptPressed = point;
        SetCapture();
        Invalidate(FALSE);
    }
    const CPoint ptContent(point.x, point.y + GetScrollOffset());
    for (TaskPanelScrollButton* pButton : {m_pScrollButtonUp, m_pScrollButtonDown}) {
        if (pButton->IsVisible() && pButton->rcButton.PtInRect(ptContent)) {
            PressScrollButton(pButton);
            break;
        }
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void CXTPTaskPanel::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    OnLButtonDown(nFlags, point);
    if (m_pItemHot != NULL && m_pItemHot == m_pItemPressed && !m_pItemHot->IsGroup())
        NotifyOwner(XTP_TPN_DBLCLICK, reinterpret_cast<LPARAM>(m_pItemHot));
}

void CXTPTaskPanel::OnLButtonUp(UINT nFlags, CPoint point)
{
    CXTPTaskPanelItem* pItem = m_pItemPressed;
    if (pItem == NULL) {
        CWnd::OnLButtonUp(nFlags, point);
        return;
    }
    m_pItemPressed = NULL;
    ReleaseCapture();
    Invalidate(FALSE);
    if (pItem != m_pItemHot)
        return;
    if (pItem->IsGroup()) {
        CXTPTaskPanelGroup* pGroup = static_cast<CXTPTaskPanelGroup*>(pItem);
        pGroup->SetExpanded(!pGroup->IsExpanded());
    } else {
        OnClick(static_cast<CXTPTaskPanelGroupItem*>(pItem));
    }
}

void CXTPTaskPanel::OnRButtonDown(UINT nFlags, CPoint point)
{
    CXTPTaskPanelItem* pItem = HitTestItem(point);
    if (pItem != NULL && pItem->IsAcceptFocus()) {
        SetFocusedItem(pItem, FALSE);
        NotifyOwner(XTP_TPN_RCLICK, reinterpret_cast<LPARAM>(pItem));
    }
    CWnd::OnRButtonDown(nFlags, point);
}

void CXTPTaskPanel::OnMouseMove(UINT nFlags, CPoint point)
{
    CWnd::OnMouseMove(nFlags, point);
    // A command-bar menu owns the mouse while it tracks; the panel must not light up beneath it.
    if (IsMouseManagerBusy())
        return;
    CXTPTaskPanelItem* pItem = HitTestItem(point);
    const BOOL bHot = pItem != NULL && pItem->IsAcceptFocus() && IsTopParentActive() &&
                      (m_pItemPressed == NULL || m_pItemPressed == pItem);
    SetHotItem(bHot ? pItem : NULL);

    if (m_pItemPressed != NULL &&
        std::abs(point.x - m_ptPressed.x) + std::abs(point.y - m_ptPressed.y) > kDragDistance) {
        CXTPTaskPanelItem* pPressed = m_pItemPressed;
        if (pPressed->IsGroup())
            OnStartGroupDrag(pPressed);
        else
            OnStartItemDrag(static_cast<CXTPTaskPanelGroupItem*>(pPressed));
    }

    const CPoint ptContent(point.x, point.y + GetScrollOffset());
    for (TaskPanelScrollButton* pButton : {m_pScrollButtonUp, m_pScrollButtonDown}) {
        const BOOL bButtonHot = pButton->IsVisible() && pButton->rcButton.PtInRect(ptContent);
        if (bButtonHot == pButton->bHot)
            continue;
        pButton->bHot = bButtonHot;
        Invalidate(FALSE);
        if (bButtonHot) {
            TRACKMOUSEEVENT tme = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&tme);
        }
    }
}

BOOL CXTPTaskPanel::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_pItemHot != NULL && m_hHandCursor != NULL) {
        ::SetCursor(m_hHandCursor);
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CXTPTaskPanel::OnMouseLeave()
{
    SetHotItem(NULL);
    if (m_pScrollButtonUp->bHot || m_pScrollButtonDown->bHot) {
        m_pScrollButtonUp->bHot = m_pScrollButtonDown->bHot = FALSE;
        Invalidate(FALSE);
    }
}

void CXTPTaskPanel::OnCaptureChanged(CWnd* pWnd)
{
    m_pItemPressed = NULL;
    Invalidate(FALSE);
    CWnd::OnCaptureChanged(pWnd);
}

BOOL AFXAPI CXTPTaskPanel::IsTrackingKey(const MSG& msg, BOOL& bEscape)
{
    bEscape = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
    return msg.message == WM_KEYDOWN;
}

BOOL AFXAPI CXTPTaskPanel::PumpTrackingMessage(MSG* pMsg)
{
    MSG msgPaint;
    while (::PeekMessageW(&msgPaint, NULL, WM_PAINT, WM_PAINT, PM_NOREMOVE)) {
        if (!::GetMessageW(&msgPaint, NULL, WM_PAINT, WM_PAINT))
            break;
        ::DispatchMessageW(&msgPaint);
    }
    if (!::GetMessageW(pMsg, NULL, 0, 0)) {
        AfxPostQuitMessage(static_cast<int>(pMsg->wParam));
        return FALSE;
    }
    return TRUE;
}

void CXTPTaskPanel::PressScrollButton(TaskPanelScrollButton* pButton)
{
    if (!pButton->bEnabled || pButton->pGroupScroll == NULL)
        return;
    CXTPTaskPanelGroup* pGroup = pButton->pGroupScroll;
    const int nRow = std::max(1, pGroup->GetItemsInRow());
    pButton->bPressed = TRUE;
    SetCapture();
    pGroup->Scroll(pButton->bScrollUp ? -nRow : nRow);
    Invalidate(FALSE);
    SetTimer(XTP_TASKPANEL_TIMER_SCROLL, kScrollFirstDelay, NULL);
    BOOL bFirstTick = TRUE;
    MSG msg;
    while (::GetCapture() == m_hWnd && pButton->bEnabled && pButton->pGroupScroll == pGroup) {
        if (!PumpTrackingMessage(&msg))
            break;
        if (msg.message == WM_TIMER && msg.hwnd == m_hWnd && msg.wParam == XTP_TASKPANEL_TIMER_SCROLL) {
            pGroup->Scroll(pButton->bScrollUp ? -nRow : nRow);
            Invalidate(FALSE);
            if (bFirstTick) {
                bFirstTick = FALSE;
                SetTimer(XTP_TASKPANEL_TIMER_SCROLL, kScrollRepeatDelay, NULL);
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP)
            break;
        if (msg.message == WM_MOUSEMOVE)
            continue;
        BOOL bEscape = FALSE;
        if (IsTrackingKey(msg, bEscape)) {
            if (bEscape)
                break;
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    pButton->bPressed = FALSE;
    KillTimer(XTP_TASKPANEL_TIMER_SCROLL);
    if (::GetCapture() == m_hWnd)
        ReleaseCapture();
    Invalidate(FALSE);
}

// ---------------------------------------------------------------------------------------------------
// Keyboard

CXTPTaskPanelItem* AFXAPI CXTPTaskPanel::NextItemInGroup(const CXTPTaskPanelItem* pItem, int nDirection,
                                                         BOOL bRowStep)
{
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    const int nStep = bRowStep ? std::max(1, pGroup->GetItemsInRow()) : 1;
    return pGroup->GetAt(pGroup->GetNextVisibleItem(pItem->GetIndex(), nDirection * nStep));
}

CXTPTaskPanelItem* CXTPTaskPanel::GetNextItem(CXTPTaskPanelItem* pItem, int nDirection, BOOL bSkipItems,
                                              BOOL bRowStep) const
{
    if (GetGroupCount() == 0)
        return NULL;
    // The walk visits at most every group and item twice; a bound keeps a cycle from hanging.
    int nBudget = 4;
    for (int i = 0; i < GetGroupCount(); i++)
        nBudget += 2 * (GetAt(i)->GetCount() + 1);
    CXTPTaskPanelItem* pCurrent = pItem;
    while (nBudget-- > 0) {
        CXTPTaskPanelItem* pCandidate = NULL;
        if (nDirection > 0) {
            if (pCurrent == NULL) {
                pCandidate = GetNextGroup(-1, 1);
            } else if (pCurrent->IsGroup()) {
                CXTPTaskPanelGroup* pGroup = static_cast<CXTPTaskPanelGroup*>(pCurrent);
                pCandidate = pGroup->GetItems()->GetFirstVisibleItem();
                if (pCandidate == NULL)
                    pCandidate = GetNextGroup(m_pGroups->IndexOf(pGroup), 1);
            } else {
                CXTPTaskPanelGroup* pGroup = pCurrent->GetItemGroup();
                if (pGroup == NULL)
                    return NULL;
                if (!bSkipItems)
                    pCandidate = NextItemInGroup(pCurrent, 1, bRowStep);
                if (pCandidate == NULL)
                    pCandidate = GetNextGroup(m_pGroups->IndexOf(pGroup), 1);
            }
        } else {
            if (pCurrent == NULL) {
                CXTPTaskPanelGroup* pLast = GetNextGroup(GetGroupCount(), -1);
                pCandidate = pLast != NULL && pLast->GetItems()->GetLastVisibleItem() != NULL
                                 ? pLast->GetItems()->GetLastVisibleItem()
                                 : pLast;
            } else if (pCurrent->IsGroup()) {
                CXTPTaskPanelGroup* pPrevious = GetNextGroup(m_pGroups->IndexOf(pCurrent), -1);
                if (pPrevious != NULL) {
                    CXTPTaskPanelItem* pLastItem = pPrevious->GetItems()->GetLastVisibleItem();
                    pCandidate = pLastItem != NULL ? pLastItem : pPrevious;
                }
            } else {
                CXTPTaskPanelGroup* pGroup = pCurrent->GetItemGroup();
                if (pGroup == NULL)
                    return NULL;
                if (!bSkipItems)
                    pCandidate = NextItemInGroup(pCurrent, -1, bRowStep);
                if (pCandidate == NULL)
                    pCandidate = pGroup;
            }
        }
        if (pCandidate == NULL)
            return NULL;
        const BOOL bHiddenLink = !pCandidate->IsGroup() && pCandidate->GetItemGroup() != NULL &&
                                 !pCandidate->GetItemGroup()->IsExpanded();
        if (!bHiddenLink && pCandidate->IsAcceptFocus())
            return pCandidate;
        pCurrent = pCandidate;
    }
    return NULL;
}

void CXTPTaskPanel::OnKeyTab(BOOL bShift)
{
    CXTPTaskPanelItem* pNext = GetNextItem(m_pItemFocused, bShift ? -1 : 1, TRUE, TRUE);
    if (pNext != NULL) {
        SetFocusedItem(pNext, TRUE);
        return;
    }
    CWnd* pParent = GetParent();
    if (pParent == NULL)
        return;
    HWND hNext = ::GetNextDlgTabItem(pParent->GetSafeHwnd(), m_hWnd, bShift);
    if (hNext != NULL && hNext != m_hWnd)
        ::SetFocus(hNext);
}

void CXTPTaskPanel::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (GetExStyle() & WS_EX_LAYOUTRTL) {
        if (nChar == VK_LEFT)
            nChar = VK_RIGHT;
        else if (nChar == VK_RIGHT)
            nChar = VK_LEFT;
    }
    const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
    switch (nChar) {
    case VK_TAB:
        OnKeyTab(bShift);
        return;
    case VK_RETURN:
    case VK_SPACE:
        if (m_pItemFocused != NULL && m_pItemFocused->IsAcceptFocus()) {
            if (m_pItemFocused->IsGroup()) {
                CXTPTaskPanelGroup* pGroup = static_cast<CXTPTaskPanelGroup*>(m_pItemFocused);
                pGroup->SetExpanded(!pGroup->IsExpanded());
            } else if (m_pItemFocused->GetType() == xtpTaskItemTypeLink) {
                OnClick(static_cast<CXTPTaskPanelGroupItem*>(m_pItemFocused));
            }
            return;
        }
        break;
    case VK_HOME:
    case VK_END:
        if (m_pItemFocused != NULL && m_pItemFocused->GetParentItems() != NULL) {
            CXTPTaskPanelItems* pItems = m_pItemFocused->GetParentItems();
            CXTPTaskPanelItem* pTarget =
                nChar == VK_HOME ? pItems->GetFirstVisibleItem() : pItems->GetLastVisibleItem();
            if (pTarget != NULL && pTarget->IsAcceptFocus())
                SetFocusedItem(pTarget, TRUE);
            return;
        }
        break;
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT: {
        const int nDirection = nChar == VK_DOWN || nChar == VK_RIGHT ? 1 : -1;
        if (m_nBehaviour != xtpTaskPanelBehaviourExplorer && ::GetKeyState(VK_CONTROL) < 0 &&
            m_pActiveGroup != NULL) {
            CXTPTaskPanelGroup* pGroup = GetNextGroup(m_pGroups->IndexOf(m_pActiveGroup), nDirection);
            if (pGroup != NULL && pGroup->IsAcceptFocus()) {
                pGroup->SetExpanded(TRUE);
                SetFocusedItem(pGroup, FALSE);
            }
            return;
        }
        CXTPTaskPanelItem* pNext =
            GetNextItem(m_pItemFocused, nDirection, FALSE, nChar == VK_UP || nChar == VK_DOWN);
        if (pNext != NULL)
            SetFocusedItem(pNext, TRUE);
        return;
    }
    default:
        break;
    }
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

UINT CXTPTaskPanel::OnGetDlgCode()
{
    return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
}

void CXTPTaskPanel::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    if (!m_bGrabbingFocus && pOldWnd != NULL && GetParent() != NULL) {
        const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
        const HWND hBefore = ::GetNextDlgTabItem(GetParent()->GetSafeHwnd(), m_hWnd, !bShift);
        if (hBefore == pOldWnd->GetSafeHwnd()) {
            CXTPTaskPanelItem* pItem = GetNextItem(NULL, bShift ? -1 : 1, TRUE, TRUE);
            if (pItem != NULL)
                SetFocusedItem(pItem, TRUE);
        }
    }
    Invalidate(FALSE);
}

void CXTPTaskPanel::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    m_bDrawFocusRect = FALSE;
    Invalidate(FALSE);
}

// ---------------------------------------------------------------------------------------------------
// Tooltips

BOOL CXTPTaskPanel::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_pToolTipController != NULL)
        m_pToolTipController->FilterToolTipMessage(this, message, wParam, lParam);
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

INT_PTR CXTPTaskPanel::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    const INT_PTR nHit = CWnd::OnToolHitTest(point, pTI);
    if (nHit != -1)
        return nHit;
    if (IsMouseManagerBusy() || m_pItemHot == NULL || m_pItemHot->GetTooltip().IsEmpty())
        return -1;
    const INT_PTR nID = static_cast<INT_PTR>(m_pItemHot->GetID());
    CXTPToolTipController::FillToolInfo(pTI, m_hWnd, m_pItemHot->GetHitTestRect(), static_cast<UINT_PTR>(nID),
                                        m_pItemHot->GetTooltip(), m_pItemHot->GetCaption());
    return nID;
}
