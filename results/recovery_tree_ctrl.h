#pragma once

// The recovered-items tree on the left of the results view: the found folders under "Root" (after a File
// Trace the found types and their items), each with a tri-state check box, deleted folders in red and
// checked items bold. The engine's workers and the snapshot readers build it through EngineSide(); a
// click on an item lists its folder in the result list behind the please-wait box.
#include <afxcmn.h>

#include "engine/recovery/core/engine_types.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

class CResultListCtrl;
struct TreeContentTotals;
class RecoveryTreeUi;

// Check states as GetItemCheckState gives them.
inline constexpr int kTreeUnchecked = 0;
inline constexpr int kTreeChecked = 1;
inline constexpr int kTreePartlyChecked = 2;

class CRecoveryTreeCtrl : public CTreeCtrl
{
    DECLARE_DYNAMIC(CRecoveryTreeCtrl)
public:
    CRecoveryTreeCtrl();
    ~CRecoveryTreeCtrl() override;

    // The state images, the system's small icons and the cursors; run once the window exists.
    void Initialize();
    // The list whose maps the check operations keep and whose rows a click fills.
    void SetResultList(CResultListCtrl* pList) { m_pList = pList; }
    // Where the builders' percent goes while a snapshot is loaded; returns false when no load runs, and
    // the percent then goes to the scanning step's panel.
    void SetLoaderProgress(std::function<bool(std::uint32_t)> report)
    {
        m_loaderProgress = std::move(report);
    }

    RecoveryTreeUi& EngineSide();

    // Shows a popup menu at a screen point and gives the chosen command (0 for none): the toolkit's
    // context-menu tracking, through the view.
    void SetContextMenuTracker(std::function<int(CMenu*, int, int)> tracker)
    {
        m_contextMenuTracker = std::move(tracker);
    }
    // Runs a command of the context menu that the tree does not run itself (Recover Selected, Find Files,
    // Settings, Properties).
    void SetCommandHandler(std::function<void(UINT, HTREEITEM)> handler)
    {
        m_commandHandler = std::move(handler);
    }
    // The context menu of an item: none for the root on a right click; `atItemCentre` for the Apps key.
    void ShowContextMenu(HTREEITEM item, CPoint screenPoint);

    int GetItemCheckState(HTREEITEM item) const;
    void SetChecked(HTREEITEM item);
    void SetUnchecked(HTREEITEM item);
    void SetPartial(HTREEITEM item);
    // 1: the item and everything below it checked; 0: unchecked; then each ancestor follows its children
    // and its own files.
    void SetCheckRecursive(HTREEITEM item, int on);
    void CheckItem(HTREEITEM item) { SetCheckRecursive(item, 1); }
    void UncheckItem(HTREEITEM item) { SetCheckRecursive(item, 0); }
    void ToggleCheck(HTREEITEM item);
    void UncheckWithChildren(HTREEITEM item);
    // 1 when every child is in the state (an item without children counts as all).
    int AllChildrenInState(HTREEITEM item, int state) const;
    int AllChildrenChecked(HTREEITEM item) const { return AllChildrenInState(item, kTreeChecked); }
    int AllChildrenUnchecked(HTREEITEM item) const { return AllChildrenInState(item, kTreeUnchecked); }

    // Adds the folders below the item, and the files and bytes of the item and of those folders.
    void CountContents(HTREEITEM item, TreeContentTotals& totals);

    // Every item goes, and the colours kept for them (their handles are given out again).
    BOOL DeleteAllItems();

    // The folder's own files into the result list's marked files, or out of them.
    void MarkFolderFiles(HTREEITEM item);
    void ClearFolderFiles(HTREEITEM item);
    // The files of the item's folder and of every folder below it out of the marked files.
    void ClearFilesBelow(HTREEITEM item);
    // After a File Trace: the found items the item stands for (all of them for the root, a type's, or a
    // type's with one extension) into the marked files, or out of them.
    void MarkTraceItems(HTREEITEM item, bool mark);
    // After a File Trace a found item lies under its type and under its extension: each item's box
    // follows the marks of the found items it lists (all: checked, none: unchecked, else partly).
    void SyncTraceItemsFromMarks();
    // The listed folder's rows are only partly marked: the item partly checked and no longer a folder
    // saved whole, its ancestors partly checked.
    void SetPartlyFromRows(HTREEITEM item);

    HTREEITEM InsertFolderItem(LPCWSTR name, HTREEITEM parent);
    // Builders over the engine's folder records. They never trust the parent links: a record is placed
    // once, whatever loops the links form, and each new item is written into its record.
    void AddFatFolderItems(HTREEITEM parentItem, std::uint32_t parentValue);
    void AddNtfsFolderItems(HTREEITEM parentItem, std::uint32_t parentFolderNumber);
    void AddTraceTypeItems(HTREEITEM parentItem);

    // The texts of the item and its ancestors below the root, joined with "\".
    CString GetItemPath(HTREEITEM item) const;
    void SetItemColour(HTREEITEM item, COLORREF colour);
    // The colour an item is drawn in, or CLR_NONE.
    COLORREF GetItemColour(HTREEITEM item) const;
    void ClearItemStyles();

    // The entry IDs of the files that lie directly in the item's folder.
    std::vector<std::uint64_t> FolderFileIds(HTREEITEM item) const { return OwnFileIds(item, false); }

    // The result list's boxes after a listing: marked where the row's ID is a marked file or folder.
    void RestoreListChecks();
    // What a click on the item's label does: its folder listed in the result list. A stop flag, when
    // given, ends the listing between rows.
    void ListItemFolder(HTREEITEM item, const std::atomic<bool>* stop = nullptr);
    // The item's own files follow its box (checked: marked, unchecked: not, partly: as they were).
    void FollowBoxWithFiles(HTREEITEM item);
    // After the item's folder was listed: FollowBoxWithFiles, then the rows show the marks.
    void ShowFolderMarks(HTREEITEM item);
    // The click road's work, on the please-wait box's worker thread (or on the tree's own); a set stop flag
    // ends it between rows with the boxes, the tree and the maps in agreement.
    void OnItemClick(UINT flags, HTREEITEM item, const std::atomic<bool>* stop = nullptr);
    // After a click on a FAT folder's box: the item takes the marks of the listed rows again (all marked:
    // checked; none marked: unchecked); while only some are marked its ancestors are partly checked,
    // unless the folder stands right under the root.
    void ApplyListMarks(HTREEITEM item);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    class EngineSeam;
    void SetStateImage(HTREEITEM item, int state);
    void SetBold(HTREEITEM item, bool bold);
    // The folder ID of an item: the first cluster (FAT) or folder number (NTFS) of the record that holds
    // it; `found` false when no record does.
    std::uint32_t FolderIdOf(HTREEITEM item, bool& found) const;
    // The entry IDs of the files that lie directly in the item's folder, in list order (only the first
    // when `firstOnly`); none after a File Trace.
    std::vector<std::uint64_t> OwnFileIds(HTREEITEM item, bool firstOnly) const;
    // Whether the folder of the item holds files of its own, and whether all of them (any of them) are
    // marked.
    bool HoldsOwnFiles(HTREEITEM item, bool& allMarked, bool& anyMarked) const;
    void ReportPercent(bool toFileSystemStep);
    void ListItemFolderRows(HTREEITEM item);
    // A press on the item's box: the listed rows of its own files change their marks and map entries
    // together, row by row. False when a stop came first: the marks made so far stay, the item partly
    // checked by them.
    bool MarkListedFiles(HTREEITEM item, bool mark, const std::atomic<bool>* stop);
    void ForEachDescendant(HTREEITEM item, const std::function<void(HTREEITEM)>& visit);

    CResultListCtrl* m_pList = NULL;
    CImageList m_stateImages;
    mutable std::mutex m_stylesLock;
    std::map<TreeItemValue, COLORREF> m_itemColours;
    HCURSOR m_hExpandCursor = NULL;
    HCURSOR m_hCheckCursor = NULL;
    HCURSOR m_hItemCursor = NULL;
    CFont m_boldFont;
    std::function<bool(std::uint32_t)> m_loaderProgress;
    EngineSeam* m_pSeam = NULL;
    // The system image list's places of the shell's first icons, which stand for drives at the root.
    static constexpr int kDriveImageCount = 6;
    int m_driveImages[kDriveImageCount] = {0, 1, 2, 3, 4, 5};
    std::function<int(CMenu*, int, int)> m_contextMenuTracker;
    std::function<void(UINT, HTREEITEM)> m_commandHandler;
};
