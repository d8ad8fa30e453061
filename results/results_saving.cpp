// The results view's save once the target folder is known: the saving dialog, then every mark cleared.
#include "results_view.h"

#include "engine/recovery/core/engine_state.h"
#include "saving_dlg.h"

#include <set>

void CThirdView_HDD::SaveIntoFolder(const CString& folder)
{
    m_targetFolder = folder;
    {
        CSavingDlg saving(this);
        saving.DoModal();
    }
    // Everything saved or not, the marks go: the files and folders prepared for this save forgotten, the
    // files' marks first so that no folder stays partly checked over them, then the root and every item
    // below it unchecked, and the list's boxes drawn again from the maps.
    m_pList->CheckedFileIds.clear();
    m_pList->SaveFolderItems.clear();
    m_pList->SaveFileIds.clear();
    if (HTREEITEM root = m_tree.GetRootItem())
        m_tree.UncheckWithChildren(root);
    m_tree.RestoreListChecks();
}

void CThirdView_HDD::PrepareSaveFiles()
{
    // A folder's save writes its files, so they are not saved once more on their own. Only folders that
    // a record holds are saved whole: the root's own files, which no record holds, are saved one by one,
    // as their marks say. File Trace saves only single items, whichever tree item marked them.
    HTREEITEM root = m_tree.GetRootItem();
    std::set<std::uint64_t> inSavedFolders;
    for (TreeItemValue item : m_pList->SaveFolderItems) {
        if (ScanSelection.scanKind == kScanFileTrace)
            break;
        if (reinterpret_cast<HTREEITEM>(item) == root)
            continue;
        for (std::uint64_t id : m_tree.FolderFileIds(reinterpret_cast<HTREEITEM>(item)))
            inSavedFolders.insert(id);
    }
    for (std::uint64_t id : m_pList->CheckedFileIds) {
        if (inSavedFolders.count(id) == 0)
            m_pList->SaveFileIds.insert(id);
    }
}
