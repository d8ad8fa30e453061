// The frame's commands: when each is enabled, and what each runs.
#include "main_frame.h"

#include "drive_info_dlg.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "file_filters_dlg.h"
#include "find_files_dlg.h"
#include "recovery_app.h"
#include "recovery_settings_dlg.h"
#include "resource.h"
#include "results_view.h"
#include "web_addresses.h"
#include "wizard_state.h"

CommandState FrameCommandState(UINT nID, std::uint32_t scanKind, const FrameCommandFlags& flags)
{
    auto state = [](std::int32_t flag) { return flag != 0 ? CommandState::Enabled : CommandState::Disabled; };
    // The result commands follow the flag of the mode's scan.
    const std::int32_t modeResults = scanKind == kScanExtensive ? flags.extensiveResults : flags.results;
    switch (nID) {
    case ID_RECOVERY_OPEN:
        return state(flags.open);
    case ID_LOAD_SNAPSHOT:
        return state(flags.loadSnapshot);
    case ID_RECOVER_SELECTED:
    case ID_SAVE_SNAPSHOT:
    case ID_VIEW_ICONS:
    case ID_VIEW_LIST_STYLE:
    case ID_VIEW_DETAILS_STYLE:
    case ID_FILE_FILTERS:
        return state(modeResults);
    case ID_FIND_FILES:
        return scanKind == kScanFileTrace ? CommandState::Disabled : state(modeResults);
    case ID_RECOVERY_SETTINGS:
        return scanKind == kScanFileTrace ? CommandState::Disabled : CommandState::Unchanged;
    case ID_DRIVE_INFORMATION:
        return scanKind == kScanFileTrace ? CommandState::Unchanged : state(modeResults);
    default:
        return CommandState::Unchanged;
    }
}

void CMainFrame::OnUpdateFrameCommand(CCmdUI* pCmdUI)
{
    const CommandState state = FrameCommandState(pCmdUI->m_nID, ScanSelection.scanKind, m_flags);
    if (state != CommandState::Unchanged)
        pCmdUI->Enable(state == CommandState::Enabled);
}

// The targets of Open, Recover Selected, the list styles, Find Files, File Filters, Settings and Drive
// Information are the home view's image selection, the results view's save and list, and their dialogs.
void CMainFrame::OnOpen()
{
    if (m_pHomeView != NULL)
        m_pHomeView->SendMessage(WM_COMMAND, MAKEWPARAM(61491, BN_CLICKED), 0);
}

void CMainFrame::OnRecoverSelected()
{
    CRecoveryApp* pApp = RecoveryApp();
    if (auto* pResults = dynamic_cast<CThirdView_HDD*>(pApp != NULL ? pApp->GetView(kViewResults) : NULL)) {
        pResults->ResultList().SaveFolderItems.clear();
        pResults->OnSave();
    }
}

namespace {
CResultListCtrl* ShownResultList()
{
    CRecoveryApp* pApp = RecoveryApp();
    auto* pResults = dynamic_cast<CThirdView_HDD*>(pApp != NULL ? pApp->GetView(kViewResults) : NULL);
    return pResults != NULL && ::IsWindow(pResults->ResultList().GetSafeHwnd()) ? &pResults->ResultList()
                                                                                : NULL;
}

// The list takes the style with auto-arrange and is drawn again at once.
void SetResultListStyle(DWORD style)
{
    if (CResultListCtrl* pList = ShownResultList()) {
        pList->ModifyStyle(LVS_TYPEMASK, style | LVS_AUTOARRANGE);
        pList->Invalidate();
        pList->UpdateWindow();
    }
}
} // namespace

void CMainFrame::OnViewIcons()
{
    // Small icons through the list view and back, so that the control lays its icons out anew.
    if (CResultListCtrl* pList = ShownResultList())
        pList->SwitchViewStyle(LVS_SMALLICON, LVS_LIST);
}

void CMainFrame::OnViewList()
{
    SetResultListStyle(LVS_LIST);
}

void CMainFrame::OnViewDetails()
{
    SetResultListStyle(LVS_REPORT);
}

void CMainFrame::OnFindFiles()
{
    // A posted command passes by the command's enabling: File Trace and a wizard without results find
    // nothing.
    if (FrameCommandState(ID_FIND_FILES, ScanSelection.scanKind, m_flags) != CommandState::Enabled)
        return;
    CFindFileDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnFileFilters()
{
    CFileFiltersDlg dialog(this);
    dialog.SetRelist(RelistResultsFolder);
    dialog.DoModal();
}

void CMainFrame::OnSettings()
{
    RunSettingsDialog();
}

void CMainFrame::RunSettingsDialog()
{
    CRecoverySettingsDlg dialog(this);
    dialog.DoModal();
}

// The folder selected in the results view's tree listed again, so that the list shows what the filters
// now let through. A File Trace result has no folders to list again.
void RelistResultsFolder()
{
    CRecoveryApp* pApp = RecoveryApp();
    auto* pResults = dynamic_cast<CThirdView_HDD*>(pApp != NULL ? pApp->GetView(kViewResults) : NULL);
    if (pResults == NULL || ScanSelection.scanKind == kScanFileTrace)
        return;
    CRecoveryTreeCtrl& tree = pResults->RecoveryTree();
    if (tree.GetSafeHwnd() == NULL)
        return;
    tree.SetFocus();
    HTREEITEM item = tree.GetSelectedItem();
    if (item == NULL)
        item = tree.GetRootItem();
    if (item == NULL)
        return;
    tree.SelectItem(item);
    const std::uint16_t fsCode = VolumeParams.fsCode;
    if (fsCode == kFsFat16 || fsCode == kFsFat32 || fsCode == kFsNtfs) {
        tree.ListItemFolder(item);
        tree.ShowFolderMarks(item);
    }
}

void CMainFrame::OnDriveInformation()
{
    CDriveInfoDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnIdleCommand() {}

void CMainFrame::OnSaveSnapshot()
{
    SaveSnapshot(ScanSelection.modeName);
}

void CMainFrame::OnLoadSnapshot()
{
    std::u16string path;
    std::uint32_t scanKind = ScanSelection.scanKind;
    if (!ChooseSnapshotToLoad(path, scanKind))
        return;
    if (CRecoveryApp* pApp = RecoveryApp()) {
        if (auto* pResults = dynamic_cast<CThirdView_HDD*>(pApp->GetView(kViewResults)))
            pResults->SetResultColumns(SnapshotResultColumns(scanKind));
    }
    // A refused document changes nothing: the results on show stay as they are.
    if (ReadSnapshot(path.c_str(), scanKind))
        WizardStepState.resultsReady = 0;
}

void CMainFrame::OnExit()
{
    ConfirmExit();
}

void CMainFrame::OnHelp()
{
    ::ShellExecuteW(NULL, L"open", kHowToUseUrl, NULL, NULL, SW_SHOWMAXIMIZED);
}
