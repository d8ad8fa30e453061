// The results view's save once the target folder is known: the saving dialog, then every mark cleared.
#include "results_view.h"

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_records.h"
#include "saving_dlg.h"

#include <set>
#include <vector>

void CThirdView_HDD::SaveIntoFolder(const CString& folder)
{
    m_targetFolder = folder;
    {
        CSavingDlg saving(this);
        saving.DoModal();
    }
    // Everything saved or not, the marks go: the root and every item below it unchecked, the files and
    // folders prepared for this save forgotten, and the list's boxes drawn again from the maps.
    if (HTREEITEM root = m_tree.GetRootItem())
        m_tree.UncheckWithChildren(root);
    m_pList->CheckedFileIds.clear();
    m_pList->SaveFolderItems.clear();
    m_pList->SaveFileIds.clear();
    m_tree.RestoreListChecks();
}

namespace {

// The files that lie directly in the volume's root, which no folder record holds: the tree's root stands
// for it.
std::vector<std::uint64_t> RootFileIds()
{
    std::vector<std::uint64_t> ids;
    if (ScanSelection.scanKind == kScanFileTrace)
        return ids;
    if (VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32) {
        for (const FatFileRec* file = fatFiles.head; file != nullptr; file = file->next)
            if (file->parentCluster == kFatRootFolder)
                ids.push_back(file->fileId);
    } else if (VolumeParams.fsCode == kFsNtfs && ScanSelection.scanKind == kScanQuick) {
        for (const NtfsScanNode* node = ntfsScanNodes.head; node != nullptr; node = node->next)
            if (node->parentNumber == kNtfsRootFolder)
                ids.push_back(node->dataRecordSector);
    } else if (VolumeParams.fsCode == kFsNtfs) {
        for (const NtfsFileNode* node = ntfsFileNodes.head; node != nullptr; node = node->next)
            if (node->parentNumber == kNtfsRootFolder && node->recordSector > VolumeParams.mftStart)
                ids.push_back(node->recordSector);
    }
    return ids;
}

} // namespace

void CThirdView_HDD::PrepareSaveFiles()
{
    // A checked root saves the root's own files too.
    HTREEITEM root = m_tree.GetRootItem();
    if (root != NULL && m_tree.GetItemCheckState(root) == kTreeChecked) {
        for (std::uint64_t id : RootFileIds())
            m_pList->CheckedFileIds.insert(id);
    }
    // A folder's save writes its files, so they are not saved once more on their own; File Trace saves
    // only single items, whichever tree item marked them.
    std::set<std::uint64_t> inSavedFolders;
    for (TreeItemValue item : m_pList->SaveFolderItems) {
        if (ScanSelection.scanKind == kScanFileTrace)
            break;
        for (std::uint64_t id : m_tree.FolderFileIds(reinterpret_cast<HTREEITEM>(item)))
            inSavedFolders.insert(id);
    }
    for (std::uint64_t id : m_pList->CheckedFileIds) {
        if (inSavedFolders.count(id) == 0)
            m_pList->SaveFileIds.insert(id);
    }
}
