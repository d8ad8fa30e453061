// The result list's context menu, its view styles, renaming a row and the properties of a row.
#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/save/save_names.h"
#include "find_files_dlg.h"
#include "properties_dlg.h"
#include "recovery_tree_ctrl.h"
#include "result_list_ctrl.h"
#include "result_records.h"
#include "result_row_text.h"
#include "results_resource_ids.h"

#include <cstdlib>
#include <string>

namespace {

// The longest name a rename keeps as the original.
constexpr int kLabelEditOriginalLength = 256;

std::u16string Text16(const CString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text)),
                          static_cast<std::size_t>(text.GetLength()));
}

// The record keeps a heap copy of the new name; the old one goes.
void ReplaceRecordName(char16_t** slot, const CString& name)
{
    if (slot == nullptr)
        return;
    char16_t* copy = CopyText(Text16(name).c_str());
    std::free(*slot);
    *slot = copy;
}

} // namespace

int CResultListCtrl::TrackMenu(CMenu* pPopup, CPoint screenPoint)
{
    if (m_menuTracker)
        return m_menuTracker(pPopup, screenPoint);
    // A plain menu: the chosen command comes back instead of being sent.
    SetForegroundWindow();
    return static_cast<int>(::TrackPopupMenu(pPopup->GetSafeHmenu(),
                                             TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                             screenPoint.x, screenPoint.y, 0, m_hWnd, NULL));
}

void CResultListCtrl::ShowContextMenu(CPoint screenPoint)
{
    // Not while the Find File(s) dialog is open: its save and the list's would share the saving dialog.
    if (FindDlgOpen != 0)
        return;
    const int row = GetSelectionMark();
    if (row < 0 || row >= GetItemCount())
        return;
    CMenu menu;
    if (!menu.LoadMenu(IDR_RESULT_LIST_MENU))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (pPopup == NULL)
        return;
    if (ScanSelection.scanKind == kScanFileTrace) {
        for (UINT command : {ID_RESULT_LIST_FIND, ID_RESULT_LIST_SETTINGS, ID_RESULT_LIST_PROPERTIES})
            pPopup->DeleteMenu(command, MF_BYCOMMAND);
    }
    const UINT command = static_cast<UINT>(TrackMenu(pPopup, screenPoint));
    menu.DestroyMenu();
    switch (command) {
    case 0:
        break;
    case ID_RESULT_LIST_ICONS:
        SwitchViewStyle(LVS_SMALLICON, LVS_LIST);
        break;
    case ID_RESULT_LIST_LIST:
        SwitchViewStyle(LVS_LIST, LVS_REPORT);
        break;
    case ID_RESULT_LIST_DETAILS:
        SwitchViewStyle(LVS_REPORT, LVS_SMALLICON);
        break;
    case ID_RESULT_LIST_RENAME:
        BeginRename(row);
        break;
    case ID_RESULT_LIST_PROPERTIES:
        ShowSelectedProperties();
        break;
    default:
        // Recover Selected, Find Files and Settings belong to the view and the frame.
        if (m_commandHandler)
            m_commandHandler(command);
        break;
    }
}

void CResultListCtrl::SwitchViewStyle(DWORD style, DWORD through)
{
    // Through another view and back, so that the control lays its rows out anew; icons keep arranged.
    if (style == LVS_SMALLICON)
        ModifyStyle(0, LVS_AUTOARRANGE);
    ModifyStyle(LVS_TYPEMASK, style);
    ModifyStyle(LVS_TYPEMASK, through);
    ModifyStyle(LVS_TYPEMASK, style);
    UpdateWindow();
}

void CResultListCtrl::BeginRename(int row)
{
    if (row < 0 || row >= GetItemCount() || IsParentRow(row))
        return;
    LabelEditOriginal = GetItemText(row, 0).Left(kLabelEditOriginalLength);
    LabelEditActive = 1;
    SetFocus();
    EditLabel(row);
}

bool CResultListCtrl::IsAcceptableName(const CString& name)
{
    // The name becomes a file's or a folder's name when the entry is saved: one component that Windows
    // takes as it stands, or nothing.
    return !name.IsEmpty() && IsSafeName(Text16(name));
}

bool CResultListCtrl::OnBeginLabelEdit(NMLVDISPINFOW* pInfo)
{
    const int row = pInfo->item.iItem;
    if (row < 0 || row >= GetItemCount() || IsParentRow(row))
        return false;
    LabelEditOriginal = GetItemText(row, 0).Left(kLabelEditOriginalLength);
    LabelEditActive = 1;
    return true;
}

void CResultListCtrl::OnEndLabelEdit(NMLVDISPINFOW* pInfo)
{
    LabelEditActive = 0;
    const int row = pInfo->item.iItem;
    // No text: the edit was cancelled.
    if (row < 0 || row >= GetItemCount() || pInfo->item.pszText == NULL)
        return;
    CString name = pInfo->item.pszText;
    if (name.IsEmpty())
        name = LabelEditOriginal;
    if (name == GetItemText(row, 0))
        return;
    if (!IsAcceptableName(name)) {
        // A path, a device or a name the system would change keeps the old name.
        ::MessageBeep(MB_ICONWARNING);
        return;
    }
    RenameRow(row, name);
}

void CResultListCtrl::RenameRow(int row, const CString& name)
{
    SetItemText(row, 0, name);
    const std::uint64_t id = RowId(row);
    if (ScanSelection.scanKind != kScanFileTrace && IsFolderRow(row)) {
        const TreeItemValue item = static_cast<TreeItemValue>(id);
        if (item == 0)
            return;
        const FolderRecordValues folder = FindFolderByItem(item);
        // A row no record holds keeps its new text in the list only.
        if (!folder.found)
            return;
        if (m_pTree != NULL)
            m_pTree->SetItemText(reinterpret_cast<HTREEITEM>(item), name);
        ReplaceRecordName(folder.nameSlot, name);
        return;
    }
    const FileRecordValues file = FindFileRecord(id);
    if (file.found)
        ReplaceRecordName(file.nameSlot, name);
}

void CResultListCtrl::ShowSelectedProperties()
{
    const int row = GetSelectionMark();
    if (row < 0 || row >= GetItemCount() || IsParentRow(row))
        return;
    PropertiesTexts texts;
    texts.PropIsFolder = IsFolderRow(row);
    // The ID column of a folder row holds its tree item, whose folder the dialog counts.
    texts.PropItemId = static_cast<TreeItemValue>(ParseIdColumn(GetItemText(row, 5)));
    texts.PropName = GetItemText(row, 0);
    texts.PropSize = PropertiesFileSizeText(DecimalDigitsValue(GetItemText(row, 2), false));
    texts.PropCreated = GetItemText(row, 3);
    texts.PropModified = GetItemText(row, 4);
    CPropertiesDlg dialog(texts, m_pTree, this);
    dialog.DoModal();
}
