#pragma once

// The result list of the results view: one folder's entries, one row each, with a check box, the colours
// of deleted rows and of the up entry, and the maps that remember what the user marked across folders.
// The engine's listings write its rows through EngineSide().
#include <afxcmn.h>

#include "engine/recovery/core/engine_types.h"
#include "list_ctrl.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

class CRecoveryTreeCtrl;
class ResultListUi;

// Check-box state images of the rows.
inline constexpr int kRowStateNone = 0;
inline constexpr int kRowStateUnmarked = 1;
inline constexpr int kRowStateMarked = 2;
// The up entry's: past the two boxes, so that it shows none.
inline constexpr int kRowStateParent = 3;

class CResultListCtrl : public CXTListCtrl
{
    DECLARE_DYNAMIC(CResultListCtrl)
public:
    CResultListCtrl();
    ~CResultListCtrl() override;

    // The check-box images; run once the window exists.
    void InstallStateImages();
    // Gives each column that exists now, up to seven, the header image of its number; column 0 then takes
    // column 1's format with image 0.
    void SetHeaderImages();

    void CheckItem(int row) { MarkChecked(row); }
    void MarkChecked(int row);
    void MarkUnchecked(int row);
    // The row marked or not (the up entry keeps no box), its state set only where it changes.
    void ShowMark(int row, bool marked);
    void ClearStateImage(int row);
    // -1 no box, 0 unmarked, 1 marked.
    int GetCheckState(int row) const;
    // Every row but the up entry.
    void CheckAllRows();
    void UncheckAllRows();
    // 1 when every row but the up entry is marked (unmarked); an empty list gives 1 for both.
    int AllRowsChecked() const;
    int NoRowChecked() const;

    // The ID column of the scan mode: 2 after a File Trace, else 5.
    static int IdColumn();
    // The row's ID column as a tree item or an entry ID.
    std::uint64_t RowId(int row) const;
    bool IsParentRow(int row) const;
    bool IsFolderRow(int row) const;
    // Whether a hit test's flags put the point on a row's box. A point on another column, or right of
    // the last one, gives LVHT_ONITEM, which holds the box's bit too: only the box's bit alone is the box.
    static bool IsOnBox(UINT hitFlags) { return (hitFlags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON; }

    ResultListUi& EngineSide();
    // While a please-wait box's work lists rows: the box's stop flag, which ends the listing between rows
    // (null: none).
    void SetRowsStop(const std::atomic<bool>* stop) { m_pRowsStop = stop; }
    bool RowsStopped() const { return m_pRowsStop != nullptr && m_pRowsStop->load(); }
    // Rows kept by EngineSide() put into the list at its end, drawing off meanwhile.
    void AppendRows(const void* rows, std::size_t count);

    // The tree whose items the list's folders open; the preview that a file's copy goes to (the path and
    // its extension with the dot).
    void SetTree(CRecoveryTreeCtrl* pTree) { m_pTree = pTree; }
    void SetPreviewHandler(std::function<void(const CString&, const CString&)> handler)
    {
        m_previewHandler = std::move(handler);
    }

    // A click on a row: the up entry and folders empty the preview, a file is copied for it.
    void OnRowClick(int row);
    // Hands a path to the preview when `show` is nonzero; the extension is the text after the last ".".
    void ShowEntryPreview(const CString& path, int show);
    // 1 when the preview has a view for the name's extension; else the preview is emptied and 0 returned.
    int CheckPreviewable(CString name);
    // Opens the row that holds the selection mark: a folder is listed with its rows marked as the maps
    // hold them (without a tree: every row marked or not as `checkFlag` says), the up entry lists the
    // parent; runs on the list wait box's worker, and a set stop flag ends the listing between rows.
    void OpenEntry(int checkFlag, const std::atomic<bool>* stop = nullptr);
    // A double click on a row: the row opened behind the please-wait box, then handled as a click.
    void OnRowDoubleClick(int row);
    // Enter on the row with the selection mark.
    void OnEnter();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The context menu of the row with the selection mark, at a screen point: Recover Selected, the view
    // styles, Find Files, Rename, Settings and Properties (after a File Trace without Find, Settings and
    // Properties).
    void ShowContextMenu(CPoint screenPoint);
    // Shows the popup at a screen point and gives the chosen command, 0 for none; by default a plain
    // menu of the system. Tests choose for the user.
    void SetMenuTracker(std::function<int(CMenu*, CPoint)> tracker) { m_menuTracker = std::move(tracker); }
    // Runs the commands of the menu that belong to the view and the frame (Recover Selected, Find
    // Files, Settings).
    void SetCommandHandler(std::function<void(UINT)> handler) { m_commandHandler = std::move(handler); }
    // Told on the list's thread whenever every row goes at once: a listing that replaces them, Back, Home.
    void SetRowsClearedHandler(std::function<void()> handler) { m_rowsClearedHandler = std::move(handler); }
    // The list drawn in `style` (LVS_SMALLICON, LVS_LIST or LVS_REPORT), set through `through` and back.
    void SwitchViewStyle(DWORD style, DWORD through);
    // Starts editing the row's name.
    void BeginRename(int row);
    // A name a rename may give: one path component the system takes as it stands (not empty, no "\ / :
    // * ? \" < > |" or control characters, no device name, not ending in a dot or a space).
    static bool IsAcceptableName(const CString& name);
    // The row and its record (a folder's tree item too) take the new name.
    void RenameRow(int row, const CString& name);
    // "File/Folder Properties" of the row with the selection mark.
    void ShowSelectedProperties();

    // The name of the row being renamed, as it was; set while an edit runs.
    CString LabelEditOriginal;
    int LabelEditActive = 0;

    // A click on the row's box: the row marked or unmarked, the maps kept (a folder row checks or
    // unchecks its tree item with everything below it), then the listed folder's tree item follows the
    // rows: all marked checked, none unchecked, else partly checked.
    void OnBoxClick(int row);
    // The file's entry ID into the marked files, or out of them.
    void UpdateFileMark(std::uint64_t id, bool mark);
    // The tree item of the folder the row lies in (after a File Trace, the selected item).
    HTREEITEM ListedFolderItem(int row) const;
    void SyncTreeCheckFromList(HTREEITEM item);
    // The tree item a folder's row (after a File Trace, a found type's row) stands for; null for any
    // other row.
    HTREEITEM RowTreeItem(int row) const;
    // After a File Trace: the tree's item of a found type, by its name.
    HTREEITEM TraceTypeItem(CString type) const;

    // Marked folders by tree item; files marked one by one or through their folder, by entry ID.
    std::set<TreeItemValue> CheckedFolderItems;
    std::set<std::uint64_t> CheckedFileIds;
    // What a save copies: filled when the save starts.
    std::set<TreeItemValue> SaveFolderItems;
    std::set<std::uint64_t> SaveFileIds;
    // Every preview copy made, deleted when the results are left and at exit.
    std::vector<CString> TempPreviewFiles;
    // Items checked through the tree's own check boxes.
    std::set<TreeItemValue> CheckedTreeItems;

    // Empties the marking maps (not the preview copies).
    void ClearMarks();

    // What the maps say of a row with these texts: a folder's row is marked when its ID is a marked
    // folder's tree item, any other row when its ID is a marked file; after a File Trace also when its
    // name is that of an item in `checkedNames` (CheckedTraceNames). File IDs and tree item values are
    // numbers of unrelated kinds that can be equal: a row is read against its own kind's map only.
    bool MapsMarkRow(const CString& idText, const CString& typeText, const CString& name,
                     const std::vector<CString>& checkedNames) const;
    // After a File Trace, the texts of the tree items checked through the tree; else none.
    std::vector<CString> CheckedTraceNames() const;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class EngineSeam;
    // Steps 5 to 7 of a click on a file row: the copy for the preview.
    void PreviewFileRow(int row);
    // What opening a row lists, on the please-wait box's worker, and what follows on the list's thread;
    // no listing when the row opens nothing.
    struct EntryOpening
    {
        std::function<void()> list;
        std::function<void()> after;
    };
    // Decided on the list's thread: a folder's row lists the folder, the up entry the parent of the
    // listed folder, a found type's row (after a File Trace) the type's entries.
    EntryOpening PlanOpening(int checkFlag);
    // The parent of the folder with that ID listed, and selected in the tree afterwards.
    EntryOpening PlanParentOpening(std::uint32_t folderId);
    // Lists the folder whose tree item the row's ID column holds; the folder's tree item, or null when no
    // record holds it (the root is listed then).
    HTREEITEM ListFolderOfRow(int row);
    void OnCustomDraw(NMLVCUSTOMDRAW* pDraw, LRESULT* pResult);
    // False when the move is swallowed (over the up entry).
    bool OnMouseMove(CPoint point);
    void SetStateImage(int row, int state);
    int TrackMenu(CMenu* pPopup, CPoint screenPoint);
    bool OnBeginLabelEdit(NMLVDISPINFOW* pInfo);
    void OnEndLabelEdit(NMLVDISPINFOW* pInfo);

    CImageList m_headerImages;
    CFont m_font;
    CImageList* m_pStateImages = NULL;
    HCURSOR m_hHandCursor = NULL;
    EngineSeam* m_pSeam = NULL;
    const std::atomic<bool>* m_pRowsStop = nullptr;
    CRecoveryTreeCtrl* m_pTree = NULL;
    std::function<void(const CString&, const CString&)> m_previewHandler;
    std::function<int(CMenu*, CPoint)> m_menuTracker;
    std::function<void(UINT)> m_commandHandler;
    std::function<void()> m_rowsClearedHandler;
};
