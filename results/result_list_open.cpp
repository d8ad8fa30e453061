// Opening rows of the result list: folders, the up entry, and the copies of files for the preview.
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_records.h"
#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/trace/trace_records.h"
#include "latest_window_texts.h"
#include "list_wait_dlg.h"
#include "main_preview_view.h"
#include "preview_copies.h"
#include "preview_hand_over.h"
#include "recovery_tree_ctrl.h"
#include "result_list_ctrl.h"
#include "result_records.h"
#include "result_row_text.h"
#include "results_state.h"

#include <string>

namespace {

const char16_t* Text16(const CString& text)
{
    return reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text));
}

void ListFolder(std::uint32_t id)
{
    if (IsFatVolume())
        ListFolderFat(id);
    else
        ListFolderNtfs(id);
}

} // namespace

void CResultListCtrl::ShowEntryPreview(const CString& path, int show)
{
    if (show == 0 || !m_previewHandler)
        return;
    const int dot = path.ReverseFind(L'.');
    const CString extension = L"." + (dot >= 0 ? path.Mid(dot + 1) : path);
    CWaitCursor wait;
    m_previewHandler(path, extension);
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        pHandOver->m_bPreviewable = FALSE;
}

// The flags that tell the preview's placeholder which picture to show: "select a file" or "not available".
static void SetPreviewFlags(BOOL noSelection, BOOL previewable)
{
    if (CPreviewHandOver* pHandOver = PreviewHandOver()) {
        pHandOver->m_bNoSelection = noSelection;
        pHandOver->m_bPreviewable = previewable;
    }
}

int CResultListCtrl::CheckPreviewable(CString name)
{
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        pHandOver->m_bNoSelection = FALSE;
    name.MakeLower();
    const int dot = name.ReverseFind(L'.');
    const CString extension = L"." + (dot >= 0 ? name.Mid(dot + 1) : name);
    if (CMainPreviewView::IsPreviewable(name, extension))
        return 1;
    if (m_previewHandler)
        m_previewHandler(CString(), CString());
    return 0;
}

void CResultListCtrl::OnRowClick(int row)
{
    if (GetItemCount() == 0 || row < 0)
        return;
    g_strPreviewItemPath.Empty();
    if (IsParentRow(row) || (IsKnownVolume() && IsFolderRow(row))) {
        LastPreviewPath.Empty();
        SetPreviewFlags(TRUE, FALSE);
        ShowEntryPreview(CString(), 1);
    } else if (IsKnownVolume()) {
        PreviewFileRow(row);
    }
    Invalidate();
    UpdateWindow();
}

void CResultListCtrl::PreviewFileRow(int row)
{
    const CString rowName = GetItemText(row, 0).Left(255);
    const bool trace = ScanSelection.scanKind == kScanFileTrace;
    const CString idText = GetItemText(row, IdColumn());
    if (trace && idText == L"-") {
        SetPreviewFlags(TRUE, FALSE);
        ShowEntryPreview(CString(), 1);
        LastPreviewPath = rowName;
        return;
    }
    const std::uint64_t id = ParseIdColumn(idText);
    const FileRecordValues record = FindFileRecord(id);
    // A row that no record answers has nothing to copy.
    if (!record.found)
        return;
    if (CheckPreviewable(record.name) == 0) {
        SetPreviewFlags(FALSE, TRUE);
        ShowEntryPreview(CString(), 1);
        LastPreviewPath = record.name;
        return;
    }
    if (!trace && DecimalDigitsValue(GetItemText(row, 2), false) > kLargePreviewFileSize) {
        ShowEntryPreview(kLargeFilePreviewPath, 1);
        SetFocus();
        LastPreviewPath = record.name;
        return;
    }
    CString folder = PreviewTempFolder();
    if (IsNewPreviewTarget(folder, record.name, id) == 0)
        return;
    const CString copyName = MakeTempFileName(record.name, TempPreviewFiles);
    CloseOfficeViewers(TempPreviewFiles);
    const FolderRecordValues parent = FindFolderById(record.parent);
    g_strPreviewItemPath = L"\\";
    if (parent.found && m_pTree != NULL)
        g_strPreviewItemPath += m_pTree->GetItemPath(reinterpret_cast<HTREEITEM>(parent.item)) + L"\\";
    g_strPreviewItemPath += record.name;

    const CString target = folder.Left(folder.GetLength() - 1);
    int copied = 0;
    if (trace)
        copied = CopyRawRange(record.start, Text16(target), Text16(copyName));
    else if (IsFatVolume())
        copied = SaveFileFat(Text16(target), static_cast<std::uint32_t>(id), 0, record.start,
                             static_cast<std::uint32_t>(record.size), Text16(copyName), record.deleted);
    else
        copied = SaveFileNtfs(Text16(target), Text16(copyName), record.start, record.size, 0, record.deleted);
    CString path = folder + copyName;
    path.MakeLower();
    // A copy that could not be made hands nothing to the preview.
    if (::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        copied = 0;
    ShowEntryPreview(path, copied);
}

HTREEITEM CResultListCtrl::ListFolderOfRow(int row)
{
    const TreeItemValue item = static_cast<TreeItemValue>(RowId(row));
    CurrentFolderId = item;
    const FolderRecordValues folder = FindFolderByItem(item);
    ListFolder(folder.found ? folder.id : RootFolderId());
    return folder.found ? reinterpret_cast<HTREEITEM>(folder.item) : NULL;
}

void CResultListCtrl::OpenEntry(int checkFlag, const std::atomic<bool>* stop)
{
    // Called on the please-wait box's worker. What the row opens is decided on the list's thread (where a
    // folder's files first follow its box); the listing runs here, its rows reaching the list in slices,
    // so that the box's Cancel ends it between rows, and each row shows what the maps hold as it comes.
    const HWND window = GetSafeHwnd();
    EntryOpening opening;
    RunOnWindowThread(window, [&] { opening = PlanOpening(checkFlag); });
    if (!opening.list)
        return;
    {
        const PlatformComScope com;
        SetRowsStop(stop);
        opening.list();
        SetRowsStop(nullptr);
    }
    if (opening.after)
        RunOnWindowThread(window, opening.after);
}

CResultListCtrl::EntryOpening CResultListCtrl::PlanOpening(int checkFlag)
{
    const int row = GetSelectionMark();
    if (row < 0 || row >= GetItemCount())
        return {};
    const bool trace = ScanSelection.scanKind == kScanFileTrace;
    if (IsParentRow(row)) {
        if (trace)
            return {};
        // Row 1 tells which folder is listed now: its parent is the folder to go back to.
        std::uint32_t listed = RootFolderId();
        if (GetItemCount() > 1 && IsFolderRow(1)) {
            const FolderRecordValues folder = FindFolderByItem(static_cast<TreeItemValue>(RowId(1)));
            if (folder.found)
                listed = folder.parent;
        } else if (GetItemCount() > 1) {
            const FileRecordValues file = FindFileRecord(RowId(1));
            if (file.found)
                listed = file.parent;
        }
        return PlanParentOpening(listed);
    }
    if (trace) {
        // The type's item becomes the listed one, whose mark its rows follow.
        const CString type = GetItemText(row, 0);
        HTREEITEM item = TraceTypeItem(type);
        if (item != NULL)
            m_pTree->FollowBoxWithFiles(item);
        return {[type] { ListFolderTrace(Text16(type), 1); },
                [this, item] {
                    if (item != NULL)
                        m_pTree->SelectItem(item);
                }};
    }
    if (!IsFolderRow(row))
        return {};
    const TreeItemValue value = static_cast<TreeItemValue>(RowId(row));
    CurrentFolderId = value;
    const FolderRecordValues folder = FindFolderByItem(value);
    const std::uint32_t folderId = folder.found ? folder.id : RootFolderId();
    // No record holds the folder: the root is listed, with the root's marks.
    HTREEITEM item = folder.found ? reinterpret_cast<HTREEITEM>(folder.item)
                                  : (m_pTree != NULL ? m_pTree->GetRootItem() : NULL);
    if (m_pTree != NULL && item != NULL)
        m_pTree->FollowBoxWithFiles(item);
    return {[folderId] { ListFolder(folderId); },
            [this, item, checkFlag] {
                if (m_pTree == NULL) {
                    if (checkFlag != 0)
                        CheckAllRows();
                    else
                        UncheckAllRows();
                } else if (item != NULL && item != m_pTree->GetRootItem()) {
                    m_pTree->SelectItem(item);
                    m_pTree->Expand(item, TVE_EXPAND);
                }
            }};
}

CResultListCtrl::EntryOpening CResultListCtrl::PlanParentOpening(std::uint32_t folderId)
{
    const FolderRecordValues folder = FindFolderById(folderId);
    const std::uint32_t parent = folder.found ? folder.parent : RootFolderId();
    HTREEITEM item = NULL;
    if (m_pTree != NULL)
        item = parent == RootFolderId() || !folder.found
                   ? m_pTree->GetRootItem()
                   : m_pTree->GetParentItem(reinterpret_cast<HTREEITEM>(folder.item));
    return {[parent] { ListFolder(parent); },
            [this, item] {
                if (m_pTree != NULL)
                    m_pTree->SelectItem(item);
            }};
}

void CResultListCtrl::OnRowDoubleClick(int row)
{
    if (row < 0)
        return;
    SetSelectionMark(row);
    CListWaitDlg box(this);
    // Cancel ends the listing between rows; the rows listed so far stay, with their marks.
    box.SetWork(
        [](UINT_PTR list, UINT_PTR checkFlag, UINT_PTR, const std::atomic<bool>& stop) {
            reinterpret_cast<CResultListCtrl*>(list)->OpenEntry(static_cast<int>(checkFlag), &stop);
        },
        reinterpret_cast<UINT_PTR>(this), static_cast<UINT_PTR>(GetCheckState(row) == 1 ? 1 : 0), 0);
    box.DoModal();
    Invalidate();
    UpdateWindow();
    OnRowClick(GetSelectionMark() >= 0 && GetSelectionMark() < GetItemCount() ? GetSelectionMark() : 0);
}

void CResultListCtrl::OnEnter()
{
    const int row = GetSelectionMark();
    if (row < 0 || row >= GetItemCount())
        return;
    if (IsFolderRow(row) && !IsParentRow(row)) {
        HTREEITEM item = ListFolderOfRow(row);
        if (m_pTree != NULL) {
            m_pTree->SetFocus();
            if (item != NULL) {
                m_pTree->SelectItem(item);
                m_pTree->Expand(item, TVE_EXPAND);
            }
            // The listing's rows show the marks the maps hold, as any other opening of a folder does.
            m_pTree->ShowFolderMarks(item != NULL ? item : m_pTree->GetRootItem());
        }
    } else if (m_pTree != NULL) {
        m_pTree->SetFocus();
    }
}
