// The release of the left button over a FAT folder's box: the folder's box follows the rows of the list.
#include "engine/recovery/core/engine_state.h"
#include "recovery_tree_ctrl.h"
#include "result_list_ctrl.h"

void CRecoveryTreeCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(point, &flags);
    const bool onBox = item != NULL && (flags & TVHT_ONITEMSTATEICON) != 0;
    const bool fat = VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32;
    if (onBox && fat && ScanSelection.scanKind != kScanFileTrace)
        ApplyListMarks(item);
    if (HCURSOR cursor = onBox ? m_hCheckCursor : m_hItemCursor)
        ::SetCursor(cursor);
    // The boxes are set here alone: the control's own handling never sees a release over one.
    if (!onBox)
        CTreeCtrl::OnLButtonUp(nFlags, point);
}

void CRecoveryTreeCtrl::ApplyListMarks(HTREEITEM item)
{
    if (item == NULL || m_pList == NULL)
        return;
    // The rows say something about the folder only when they are its own: a box clicked while another
    // folder is listed keeps what the click gave it.
    for (int row = 0; row < m_pList->GetItemCount(); ++row) {
        if (m_pList->IsParentRow(row))
            continue;
        if (m_pList->ListedFolderItem(row) != item)
            return;
        break;
    }
    int rows = 0;
    int marked = 0;
    for (int row = 0; row < m_pList->GetItemCount(); ++row) {
        if (m_pList->IsParentRow(row))
            continue;
        ++rows;
        if (m_pList->GetCheckState(row) == 1)
            ++marked;
    }
    // An empty listing says nothing about the folder: its box keeps what the click gave it.
    if (rows == 0)
        return;
    if (marked == rows) {
        SetChecked(item);
        return;
    }
    if (marked == 0) {
        // An unchecked folder over unmarked rows is already what the rows say; its ancestors keep the
        // states the click's walk gave them.
        if (GetItemCheckState(item) != kTreeUnchecked)
            SetUnchecked(item);
        return;
    }
    // Only some rows marked: every ancestor up to the top is partly checked, unless the folder stands
    // right under the root, whose box the click has already set.
    HTREEITEM parent = GetParentItem(item);
    if (parent == NULL || parent == GetRootItem())
        return;
    for (HTREEITEM ancestor = parent; ancestor != NULL; ancestor = GetParentItem(ancestor))
        SetPartial(ancestor);
}
