// Items leaving the panel by OLE drag and drop, groups reordered by dragging their captions, items
// arriving through the window's drop target, and the in-place caption editor.
#include "task_panel.h"

namespace {

// Whether the data object offers the panel's own clipboard format.
BOOL HasItemData(COleDataObject* pDataObject)
{
    return pDataObject != NULL && pDataObject->IsDataAvailable(GetTaskPanelClipboardFormat());
}

CXTPTaskPanel* PanelOf(CWnd* pWnd)
{
    return pWnd != NULL ? DYNAMIC_DOWNCAST(CXTPTaskPanel, pWnd) : NULL;
}

} // namespace

CLIPFORMAT AFXAPI CXTPTaskPanel::GetClipboardFormat()
{
    return GetTaskPanelClipboardFormat();
}

DROPEFFECT TaskPanelDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                           CPoint point)
{
    CXTPTaskPanel* pPanel = PanelOf(pWnd);
    return pPanel != NULL ? pPanel->OnDragOver(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

BOOL TaskPanelDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    CXTPTaskPanel* pPanel = PanelOf(pWnd);
    return pPanel != NULL ? pPanel->OnDrop(pDataObject, dropEffect, point) : FALSE;
}

void TaskPanelDropTarget::OnDragLeave(CWnd* pWnd)
{
    CXTPTaskPanel* pPanel = PanelOf(pWnd);
    if (pPanel != NULL)
        pPanel->OnDragOver(NULL, 0, CPoint(-1, -1));
}

void CXTPTaskPanel::OnStartItemDrag(CXTPTaskPanelGroupItem* pItem)
{
    const long nAllowDrag = pItem->GetAllowDrag();
    if (nAllowDrag == xtpTaskItemAllowDragNone)
        return;
    ReleaseCapture();
    if (NotifyOwner(XTP_TPN_STARTDRAG, reinterpret_cast<LPARAM>(pItem)) == XTP_ACTION_CANCEL)
        return;
    COleDataSource* pSource = new COleDataSource();
    const BOOL bAlsoText =
        (nAllowDrag & (xtpTaskItemAllowDragCopyOutsideControl | xtpTaskItemAllowDragMoveOutsideControl)) != 0;
    if (!pItem->PrepareDrag(*pSource, bAlsoText)) {
        pSource->InternalRelease();
        return;
    }
    // The item may leave its collection during the drag; it stays alive until the end.
    pItem->InternalAddRef();
    m_pItemDragging = pItem;
    DROPEFFECT dropAllowed = DROPEFFECT_NONE;
    if (nAllowDrag & xtpTaskItemAllowDragMove)
        dropAllowed |= DROPEFFECT_MOVE;
    if (nAllowDrag & xtpTaskItemAllowDragCopy)
        dropAllowed |= DROPEFFECT_COPY;
    const DROPEFFECT dropEffect = pSource->DoDragDrop(dropAllowed);
    if (dropEffect == DROPEFFECT_MOVE && (dropAllowed & DROPEFFECT_MOVE))
        pItem->Remove();
    m_pItemDragging = NULL;
    m_pItemDragOver = NULL;
    pItem->InternalRelease();
    pSource->InternalRelease();
    Invalidate(FALSE);
}

void CXTPTaskPanel::OnStartGroupDrag(CXTPTaskPanelItem* pItem)
{
    if (pItem->GetAllowDrag() == xtpTaskItemAllowDragNone)
        return;
    ::SetCursor(::LoadCursorW(NULL, MAKEINTRESOURCEW(32645))); // IDC_SIZENS
    m_pItemDragging = pItem;
    Invalidate(FALSE);
    MSG msg;
    while (::GetCapture() == m_hWnd) {
        if (!PumpTrackingMessage(&msg))
            break;
        if (msg.message == WM_LBUTTONUP)
            break;
        if (msg.message == WM_MOUSEMOVE) {
            CPoint pt(msg.pt);
            ScreenToClient(&pt);
            BOOL bCaption = FALSE;
            CXTPTaskPanelGroup* pGroup = HitTestGroup(pt, &bCaption);
            if (pGroup != NULL && bCaption && pGroup != pItem)
                m_pGroups->Move(pItem, m_pGroups->IndexOf(pGroup));
            continue;
        }
        BOOL bEscape = FALSE;
        if (IsTrackingKey(msg, bEscape)) {
            if (bEscape)
                break;
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::SetCursor(::LoadCursorW(NULL, MAKEINTRESOURCEW(32512))); // IDC_ARROW
    m_pItemDragging = NULL;
    if (::GetCapture() == m_hWnd)
        ReleaseCapture();
    Invalidate(FALSE);
}

DROPEFFECT CXTPTaskPanel::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    BOOL bCopy = TRUE;
    BOOL bMove = TRUE;
    BOOL bCaption = FALSE;
    CXTPTaskPanelGroup* pGroup = HitTestGroup(point, &bCaption);
    CXTPTaskPanelItem* pTarget = NULL;

    if (!HasItemData(pDataObject) || (!pDataObject->IsDataAvailable(CF_TEXT) && m_pItemDragging == NULL))
        pGroup = NULL;

    if (pGroup != NULL && m_pItemDragging != NULL) {
        const long nFlags = m_pItemDragging->GetAllowDrag();
        if (!(nFlags & (xtpTaskItemAllowDragMoveWithinGroup | xtpTaskItemAllowDragMoveWithinControl)))
            bMove = FALSE;
        if (!(nFlags & (xtpTaskItemAllowDragCopyWithinGroup | xtpTaskItemAllowDragCopyWithinControl)))
            bCopy = FALSE;
        if (pGroup != m_pItemDragging->GetItemGroup()) {
            // The within-group permissions keep that kind of drop inside the item's own group.
            if (nFlags & xtpTaskItemAllowDragMoveWithinGroup)
                bMove = FALSE;
            if (nFlags & xtpTaskItemAllowDragCopyWithinGroup)
                bCopy = FALSE;
        }
        if (!bMove && !bCopy)
            pGroup = NULL;
    }

    if (pGroup != NULL && pGroup->IsAllowDrop()) {
        pTarget = pGroup;
        if (!bCaption) {
            CRect rcItem;
            CXTPTaskPanelGroupItem* pItem = pGroup->HitTest(point, &rcItem);
            if (pItem != NULL && pItem->IsAllowDrop()) {
                pTarget = pItem;
                if (!m_pPaintManager->m_bDropsBelowItems && point.y > rcItem.CenterPoint().y) {
                    CXTPTaskPanelGroupItem* pNext =
                        pGroup->GetAt(pGroup->GetNextVisibleItem(pItem->GetIndex(), 1));
                    pTarget = pNext != NULL ? static_cast<CXTPTaskPanelItem*>(pNext) : pGroup;
                }
            }
        }
    }

    if (pTarget != m_pItemDragOver) {
        m_pItemDragOver = pTarget;
        Invalidate(FALSE);
    }

    const BOOL bCollapsedGroup =
        pTarget != NULL && pTarget->IsGroup() && !static_cast<CXTPTaskPanelGroup*>(pTarget)->IsExpanded();
    if (bCollapsedGroup && !m_bTimerGroupHover) {
        UINT nHoverTime = 0;
        if (!::SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &nHoverTime, 0) || nHoverTime == 0)
            nHoverTime = 500;
        SetTimer(XTP_TASKPANEL_TIMER_HOVER_EXPAND, nHoverTime, NULL);
        m_bTimerGroupHover = TRUE;
    } else if (!bCollapsedGroup && m_bTimerGroupHover) {
        KillTimer(XTP_TASKPANEL_TIMER_HOVER_EXPAND);
        m_bTimerGroupHover = FALSE;
    }

    if (pTarget == NULL)
        return DROPEFFECT_NONE;
    if (!bCopy)
        return bMove ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    if (dwKeyState & MK_CONTROL)
        return DROPEFFECT_COPY;
    return bMove ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

BOOL CXTPTaskPanel::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint /*point*/)
{
    CXTPTaskPanelItem* pTarget = m_pItemDragOver;
    m_pItemDragOver = NULL;
    if (m_bTimerGroupHover) {
        KillTimer(XTP_TASKPANEL_TIMER_HOVER_EXPAND);
        m_bTimerGroupHover = FALSE;
    }
    Invalidate(FALSE);
    if (pTarget == NULL)
        return FALSE;
    if (dropEffect != DROPEFFECT_COPY && dropEffect != DROPEFFECT_MOVE)
        return TRUE;
    if (!HasItemData(pDataObject))
        return FALSE;

    CXTPTaskPanelItems* pItems = pTarget->IsGroup() ? static_cast<CXTPTaskPanelGroup*>(pTarget)->GetItems()
                                                    : pTarget->GetParentItems();
    if (pItems == NULL)
        return FALSE;
    CXTPTaskPanelItem* pNew = CXTPTaskPanelItem::CreateFromOleData(pDataObject);
    if (pNew == NULL)
        return FALSE;
    // A group's items hold group items only: data naming a group, or a plain item, stays out.
    if (!pNew->IsKindOf(pItems->GetDefaultItemClass())) {
        pNew->InternalRelease();
        return FALSE;
    }

    if (pTarget->IsGroup()) {
        pItems->Add(pNew);
    } else {
        int nIndex = pTarget->GetIndex();
        if (m_pPaintManager->m_bDropsBelowItems) {
            const BOOL bDraggedLater = m_pItemDragging != NULL &&
                                       m_pItemDragging->GetParentItems() == pItems &&
                                       m_pItemDragging->GetIndex() >= nIndex + 1;
            if (!bDraggedLater)
                nIndex++;
        }
        pItems->InsertAt(nIndex, pNew);
    }
    if (pNew->IsAcceptFocus())
        SetFocusedItem(pNew, FALSE);
    NotifyOwner(XTP_TPN_ITEMDROP, reinterpret_cast<LPARAM>(pNew));
    return TRUE;
}

// ---------------------------------------------------------------------------------------------------
// Caption editor

BOOL CXTPTaskPanel::OnEndLabelEdit(CXTPTaskPanelItem* pItem, LPCTSTR lpszText)
{
    if (NotifyOwner(XTP_TPN_ENDLABELEDIT, reinterpret_cast<LPARAM>(pItem)) != 0)
        return FALSE;
    pItem->SetCaption(lpszText);
    return TRUE;
}

CXTPTaskPanelEditItem* CXTPTaskPanel::RenameItem(CXTPTaskPanelItem* pItem)
{
    if (pItem == NULL || GetSafeHwnd() == NULL || pItem->GetTaskPanel() != this)
        return NULL;
    EnsureVisible(pItem);
    AnimateGroups(FALSE);
    CRect rc;
    if (pItem->IsGroup()) {
        // Captions are drawn in content coordinates, where their text rectangle was kept.
        rc = pItem->GetTextRect();
        rc.OffsetRect(0, -GetScrollOffset());
    } else {
        // Measured again where the item shows, so that the text rectangle is in client coordinates.
        CXTPTaskPanelGroupItem* pGroupItem = static_cast<CXTPTaskPanelGroupItem*>(pItem);
        CXTPTaskPanelGroup* pGroup = pGroupItem->GetItemGroup();
        const CRect rcHit = pGroupItem->GetHitTestRect();
        const int nRight =
            pGroup->GetClientRect().right - m_pPaintManager->GetGroupInnerMargins(pGroup).right;
        CClientDC dc(this);
        m_pPaintManager->DrawGroupItem(&dc, pGroupItem, CRect(rcHit.left, rcHit.top, nRight, rcHit.top),
                                       FALSE);
        rc = pItem->GetTextRect();
    }
    if (rc.IsRectEmpty())
        rc = pItem->GetHitTestRect();
    rc.InflateRect(2, 2);
    CXTPTaskPanelEditItem* pEdit = new CXTPTaskPanelEditItem(this, pItem);
    if (!pEdit->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, rc, this, 0)) {
        delete pEdit;
        return NULL;
    }
    pEdit->SetFont(m_pPaintManager->GetItemFont(FALSE, FALSE));
    pEdit->SetWindowText(pItem->GetCaption());
    pEdit->SetSel(0, -1);
    pEdit->SetFocus();
    return pEdit;
}

// clang-format off
BEGIN_MESSAGE_MAP(CXTPTaskPanelEditItem, CEdit)
    ON_WM_KILLFOCUS()
    ON_WM_CHAR()
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()
// clang-format on

void CXTPTaskPanelEditItem::EndEdit()
{
    if (m_bEnded)
        return;
    m_bEnded = TRUE;
    PostMessage(WM_CLOSE);
    CString strText;
    GetWindowText(strText);
    if (!m_bCancelled && !strText.IsEmpty())
        m_pPanel->OnEndLabelEdit(m_pItem, strText);
}

void CXTPTaskPanelEditItem::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    EndEdit();
}

void CXTPTaskPanelEditItem::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RETURN) {
        EndEdit();
        return;
    }
    if (nChar == VK_ESCAPE) {
        m_bCancelled = TRUE;
        EndEdit();
        return;
    }
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

UINT CXTPTaskPanelEditItem::OnGetDlgCode()
{
    return DLGC_WANTALLKEYS;
}
