#pragma once

// The result list of the results view: one folder's entries, one row each, with a check box, the colours
// of deleted rows and of the up entry, and the maps that remember what the user marked across folders.
// The engine's listings write its rows through EngineSide().
#include <afxcmn.h>

#include "engine/recovery/core/engine_types.h"
#include "list_ctrl.h"

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

    ResultListUi& EngineSide();

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
    // Opens the row that holds the selection mark: a folder is listed with every row marked or not as
    // `checkFlag` says, the up entry lists the parent; runs on the list wait box's worker.
    void OpenEntry(int checkFlag);
    // Lists the parent of the folder with that ID and selects it in the tree.
    void OpenParentFolder(std::uint32_t folderId);
    // A double click on a row: the row opened behind the please-wait box, then handled as a click.
    void OnRowDoubleClick(int row);
    // Enter on the row with the selection mark.
    void OnEnter();

    BOOL PreTranslateMessage(MSG* pMsg) override;

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

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class EngineSeam;
    // Steps 5 to 7 of a click on a file row: the copy for the preview.
    void PreviewFileRow(int row);
    // Lists the folder whose tree item the row's ID column holds; the folder's tree item, or null when no
    // record holds it (the root is listed then).
    HTREEITEM ListFolderOfRow(int row);
    void OnCustomDraw(NMLVCUSTOMDRAW* pDraw, LRESULT* pResult);
    // False when the move is swallowed (over the up entry).
    bool OnMouseMove(CPoint point);
    void SetStateImage(int row, int state);

    CImageList m_headerImages;
    CFont m_font;
    CImageList* m_pStateImages = NULL;
    HCURSOR m_hHandCursor = NULL;
    EngineSeam* m_pSeam = NULL;
    CRecoveryTreeCtrl* m_pTree = NULL;
    std::function<void(const CString&, const CString&)> m_previewHandler;
};
