// Marking rows of the result list: a click on a row's box (or the space bar) marks or unmarks the row,
// keeps the marking maps, and gives the listed folder's tree item the mark its rows imply.
#include "engine/recovery/core/engine_state.h"
#include "recovery_tree_ctrl.h"
#include "result_list_ctrl.h"
#include "result_records.h"

void CResultListCtrl::OnBoxClick(int row)
{
    if (row < 0 || row >= GetItemCount() || IsParentRow(row) || GetCheckState(row) < 0)
        return;
    // The box is set here and only here: the control never toggles it itself, so the mark does not
    // depend on when a system's list control would.
    const bool mark = GetCheckState(row) != 1;
    if (mark)
        MarkChecked(row);
    else
        MarkUnchecked(row);
    const std::uint64_t id = RowId(row);
    HTREEITEM listed = ListedFolderItem(row);
    const bool trace = ScanSelection.scanKind == kScanFileTrace;
    if (trace && GetItemText(row, IdColumn()) == L"-") {
        // A found type's row: every item of the type, and the type's item in the tree.
        HTREEITEM item = RowTreeItem(row);
        if (item != NULL) {
            m_pTree->SetCheckRecursive(item, mark ? 1 : 0);
            m_pTree->MarkTraceItems(item, mark);
        }
    } else if (!trace && IsFolderRow(row)) {
        HTREEITEM item = RowTreeItem(row);
        if (item != NULL && m_pTree != NULL) {
            m_pTree->SetCheckRecursive(item, mark ? 1 : 0);
            if (mark)
                m_pTree->MarkFolderFiles(item);
            else
                m_pTree->ClearFilesBelow(item);
        }
    } else {
        UpdateFileMark(id, mark);
    }
    SyncTreeCheckFromList(listed);
    if (trace && m_pTree != NULL)
        m_pTree->SyncTraceItemsFromMarks();
    RedrawItems(row, row);
}

void CResultListCtrl::UpdateFileMark(std::uint64_t id, bool mark)
{
    // Only the marks: what a save copies is gathered when it starts.
    if (mark)
        CheckedFileIds.insert(id);
    else
        CheckedFileIds.erase(id);
}

HTREEITEM CResultListCtrl::ListedFolderItem(int row) const
{
    if (m_pTree == NULL)
        return NULL;
    // A row without an ID names no record: the folder selected in the tree is the one listed.
    if (ScanSelection.scanKind == kScanFileTrace || !IsKnownVolume() ||
        GetItemText(row, IdColumn()).IsEmpty())
        return m_pTree->GetSelectedItem();
    // The row's record names the folder it lies in: the folder listed now.
    bool found = false;
    std::uint32_t folder = 0;
    const std::uint64_t id = RowId(row);
    if (IsFolderRow(row)) {
        const FolderRecordValues record = FindFolderByItem(static_cast<TreeItemValue>(id));
        found = record.found;
        folder = record.parent;
    } else {
        const FileRecordValues record = FindFileRecord(id);
        found = record.found;
        folder = record.parent;
    }
    if (!found)
        return m_pTree->GetSelectedItem();
    if (folder == RootFolderId())
        return m_pTree->GetRootItem();
    const FolderRecordValues record = FindFolderById(folder);
    if (record.found && record.item != 0)
        return reinterpret_cast<HTREEITEM>(record.item);
    return m_pTree->GetSelectedItem();
}

HTREEITEM CResultListCtrl::RowTreeItem(int row) const
{
    if (m_pTree == NULL || IsParentRow(row))
        return NULL;
    if (ScanSelection.scanKind == kScanFileTrace)
        return GetItemText(row, IdColumn()) == L"-" ? TraceTypeItem(GetItemText(row, 0)) : NULL;
    if (!IsFolderRow(row))
        return NULL;
    const std::uint64_t id = RowId(row);
    return id != 0 ? reinterpret_cast<HTREEITEM>(static_cast<TreeItemValue>(id)) : NULL;
}

HTREEITEM CResultListCtrl::TraceTypeItem(CString type) const
{
    if (m_pTree == NULL)
        return NULL;
    type.Trim(L' ');
    HTREEITEM root = m_pTree->GetRootItem();
    for (HTREEITEM item = m_pTree->GetChildItem(root); item != NULL;
         item = m_pTree->GetNextSiblingItem(item)) {
        CString text = m_pTree->GetItemText(item);
        text.Trim(L' ');
        if (text.CompareNoCase(type) == 0)
            return item;
    }
    return NULL;
}

void CResultListCtrl::SyncTreeCheckFromList(HTREEITEM item)
{
    if (item == NULL || m_pTree == NULL)
        return;
    const bool all = AllRowsChecked() != 0;
    // A folder's row shows no mark while the folder is only partly marked: the listed folder then holds
    // marks below it, and unchecking it with everything below would drop them.
    bool partlyBelow = false;
    for (int row = 0; row < GetItemCount() && !partlyBelow; ++row) {
        HTREEITEM below = RowTreeItem(row);
        partlyBelow = below != NULL && m_pTree->GetItemCheckState(below) == kTreePartlyChecked;
    }
    const bool none = NoRowChecked() != 0 && !partlyBelow;
    if (all)
        m_pTree->SetCheckRecursive(item, 1);
    else if (none)
        m_pTree->SetCheckRecursive(item, 0);
    else
        m_pTree->SetPartlyFromRows(item);
}
