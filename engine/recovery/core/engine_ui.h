#pragma once

// What the engine asks of the user interface. The engine includes no window header: the views, panels,
// trees, lists and dialogs implement these interfaces and attach themselves to `engineUi`; tests attach a
// recorder. A part left unattached is served by a stand-in that shows nothing and answers "No" or
// "Cancel".
//
// Thread rule. The scan, listing, save and snapshot workers call these methods from their own thread.
// Methods that only show state (texts, progress, buttons, tree items, rows) return without waiting for
// the user: a worker may call them once per item, so the implementations keep per-item state (texts,
// counters, percent, rows) as data that the windows' thread draws on its own timer or takes in one piece,
// rather than a window message per call. Methods that ask the user (MessageUi, the Partition Type dialog, the
// file and folder dialogs) block the calling worker until the box is answered: the worker needs the answer to
// go on, so the implementation has the box shown on the user-interface thread and waits for it. A worker is
// never suspended or killed; it stops on ScanThreadControl.done or SaveControl, which it checks.
//
// The views therefore keep this rule: the user-interface thread never waits on a worker without pumping
// messages (the worker may be waiting for a box that only that thread can show), and never reads sectors
// or holds the sector-source lock while a worker may be blocked in one of these calls.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_types.h"
#include "engine/recovery/listing/shell_file_info.h"

// The program's message dialogs. The implementation writes MessageBoxRequest and runs the dialog.
class MessageUi
{
public:
    virtual ~MessageUi() = default;
    // CMessageDlg (one OK button) with a message kind of 1 to 4; returns the dialog's result.
    virtual int ShowMessage(std::uint32_t kind, const char16_t* text) = 0;
    // CQuestionDlg: kAnswerYes (1) or kAnswerNo (2).
    virtual int AskQuestion(std::uint32_t kind, const char16_t* text) = 0;
    // HtmlMessageBox called directly with its caption and message-box style; returns the box's result.
    virtual int HtmlMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style) = 0;
    // The framework's own message box with an OK button; returns when it is closed.
    virtual void PlainMessageBox(const char16_t* text) = 0;
};

// The drive step while the partition search runs: its panel (CFirstDisplay), its source tree
// (CSourceTreeCtrl) and the Partition Type dialog (CPartitionTypeDlg).
class DriveStepUi
{
public:
    virtual ~DriveStepUi() = default;
    virtual void SetStatusText(const char16_t* text) = 0;
    virtual void SetProgressPos(std::uint32_t percent) = 0;
    virtual void SetWaitText(const char16_t* text) = 0;
    // Finds or adds the group item at the root of the source tree, adds the item under it and marks the
    // group checked and bold.
    virtual void AddGroupItem(const char16_t* groupText, const char16_t* itemText) = 0;
    virtual void ExpandRoot() = 0;
    // Runs the Partition Type dialog modally; true on OK, with whether "Use existing partition info" was
    // checked. Cancel returns false and leaves the flag alone.
    virtual bool RunPartitionTypeDlg(bool& useExistingPartitionInfo) = 0;
};

// The five value labels of the partition step's information panel. Which label shows what differs
// per scan; these are the roles the scans give them.
enum class ScanPanelLabel
{
    FolderCount,
    FileCount,
    CurrentSector,
    LastName,
    BootSectorCount,
};

// The information panel of the partition step (CSecondDisplay).
class ScanPanelUi
{
public:
    virtual ~ScanPanelUi() = default;
    virtual void SetStatusText(const char16_t* text) = 0;
    virtual void SetProgressPos(std::uint32_t percent) = 0;
    virtual void HideProgress() = 0;
    virtual void ShowProgress() = 0;
    virtual void HideStatusText() = 0;
    virtual void ShowStatusText() = 0;
    // Sets the captions "Folder(s) Found", "File(s) Found", "Current Sector", "Last File/Folder" and
    // clears the values.
    virtual void SetCounterLabels() = 0;
    virtual void SetLabelText(ScanPanelLabel label, const char16_t* text) = 0;
};

enum class PartitionStepButton
{
    Stop,
    Scan,
    Back,
    Home,
};

// The partition step's view (CSecondView_HDD) as its scan workers touch it.
class PartitionStepUi
{
public:
    virtual ~PartitionStepUi() = default;
    virtual void EnableButton(PartitionStepButton button, bool enable) = 0;
    virtual void ShowButton(PartitionStepButton button, bool show) = 0;
    virtual void EnablePartitionList(bool enable) = 0;
    // The busy flag: while it is set the view keeps the wait cursor.
    virtual void SetBusy(bool busy) = 0;
    // Kills window timer 1, the view's poll of the worker.
    virtual void KillScanTimer() = 0;
};

// The file-system step (CFileSystemView) and its progress panel (CFileSystemForm).
class FileSystemStepUi
{
public:
    virtual ~FileSystemStepUi() = default;
    virtual void SetStatusText(const char16_t* text) = 0;
    virtual void SetProgressPos(std::uint32_t percent) = 0;
    // Disables and hides the step's button at the end of a file-system scan.
    virtual void HideScanButton() = 0;
};

// The file-system tree of the file-system step (CPartitionTreeCtrl).
class PartitionTreeUi
{
public:
    virtual ~PartitionTreeUi() = default;
    // With kTreeTop as parent: the root item "File System".
    virtual TreeItemValue InsertItemWithIcon(const char16_t* text, TreeItemValue parent) = 0;
    virtual TreeItemValue AddItem(const char16_t* label, TreeItemValue parent) = 0;
    // The tree's first item (the root), 0 when the tree is empty.
    virtual TreeItemValue GetRootItem() = 0;
    virtual void Expand(TreeItemValue item) = 0;
};

// Running totals that CountTreeItemContents adds to.
struct TreeContentTotals
{
    std::uint32_t folders = 0;
    std::uint32_t files = 0;
    std::uint64_t bytes = 0;
};

// The recovered-items tree of the results view (CRecoveryTreeCtrl). The Add...Items builders read the
// engine's lists themselves and store each new item in its record.
class RecoveryTreeUi
{
public:
    virtual ~RecoveryTreeUi() = default;
    // With kTreeTop as parent: a root item, whose icon follows the drive type.
    virtual TreeItemValue InsertFolderItem(const char16_t* text, TreeItemValue parent) = 0;
    virtual void AddFatFolderItems(TreeItemValue parentItem, std::uint32_t parentValue) = 0;
    virtual void AddNtfsFolderItems(TreeItemValue parentItem, std::uint32_t parentFolderNumber) = 0;
    virtual void AddTraceTypeItems(TreeItemValue parentItem, const char16_t* text) = 0;
    // The texts of the item and its ancestors joined with "\".
    virtual std::u16string GetItemPath(TreeItemValue item) = 0;
    // state 1 checks, 0 unchecks the item and its descendants; the ancestors follow.
    virtual void SetCheckRecursive(TreeItemValue item, int state) = 0;
    virtual void CountTreeItemContents(TreeItemValue item, TreeContentTotals& totals) = 0;
    virtual void DeleteAllItems() = 0;
    virtual void Expand(TreeItemValue item) = 0;
    virtual void SetFocus() = 0;
};

// The result list of the results view (CResultListCtrl).
class ResultListUi
{
public:
    virtual ~ResultListUi() = default;
    virtual void DeleteAllItems() = 0;
    virtual int GetItemCount() = 0;
    // Inserts a row with its column-0 text and system image index; returns the row.
    virtual int InsertItem(int row, const char16_t* text, int imageIndex) = 0;
    virtual void SetItemText(int row, int column, const char16_t* text) = 0;
    // At most 100 characters.
    virtual std::u16string GetItemText(int row, int column) = 0;
    // Redraws one row.
    virtual void Update(int row) = 0;
    virtual void SwitchToReportView() = 0;
    // Sets the check box of a row (state image 2).
    virtual void CheckItem(int row) = 0;
    virtual void MarkChecked(int row) = 0;
    // The keys of the map of marked entries: the entry IDs of the ID column.
    virtual std::vector<std::uint64_t> GetMarkedEntryIds() = 0;
    // The keys of the map of marked tree items (marked folders).
    virtual std::vector<TreeItemValue> GetMarkedTreeItems() = 0;
    // The rows written since DeleteAllItems are complete. A list may keep the rows a worker writes and
    // show them all at once here, so that a listing crosses threads in one piece.
    virtual void EndRows() {}
    // True once the user asked a listing to stop: it ends between rows, keeping the rows it wrote.
    virtual bool RowsStopped() { return false; }
};

// The results view (CThirdView_HDD) apart from its tree and list.
class ResultsViewUi
{
public:
    virtual ~ResultsViewUi() = default;
    // The size label's text ("Selected Size : " n " MB").
    virtual void SetSelectedSizeText(const char16_t* text) = 0;
    // The target folder that the user chose for saving.
    virtual std::u16string GetTargetFolder() = 0;
    virtual void SetCurrentFolderItem(TreeItemValue item) = 0;
    // The shell's folder browser owned by the view, file-system folders only, in the new dialog style;
    // the chosen folder, or empty when the user cancelled.
    virtual std::u16string BrowseForFolder(const char16_t* /*title*/) { return {}; }
};

// The saving dialog (CSavingDlg) while it runs.
class SavingDialogUi
{
public:
    virtual ~SavingDialogUi() = default;
    virtual void SetFileNameText(const char16_t* text) = 0;
    virtual void SetFolderText(const char16_t* text) = 0;
    virtual void SetCounterText(const char16_t* text) = 0;
    virtual void SetProgressPos(std::uint32_t percent) = 0;
};

// What CFileDialogEx is asked for.
struct FileDialogRequest
{
    bool open = true;
    std::uint32_t flags = 0;
    const char16_t* defaultExtension = u"";
    const char16_t* fileName = u"";
    const char16_t* filter = u"";
    const char16_t* title = u"";
};

// The application object and main frame: view switching, the modeless progress dialog (CProgressDlg)
// and the program's file dialog (CFileDialogEx).
class WizardShellUi
{
public:
    virtual ~WizardShellUi() = default;
    // CRecoveryApp::SwitchView, index 0 to 4.
    virtual void SwitchView(int index) = 0;
    // Creates and shows the progress dialog with its text and the range 0 to 100; the frame's
    // progress-window slot points at it until DestroyProgressDlg.
    virtual void CreateProgressDlg(const char16_t* text) = 0;
    virtual void SetProgressDlgText(const char16_t* text) = 0;
    virtual void SetProgressDlgPos(std::uint32_t percent) = 0;
    virtual void DestroyProgressDlg() = 0;
    // True when the user confirmed; the chosen path is then in `path`.
    virtual bool RunFileDialog(const FileDialogRequest& request, std::u16string& path) = 0;
};

// The parts of the user interface attached to the engine. Set before a worker starts; the saving
// dialog attaches itself only while it runs.
struct EngineUi
{
    MessageUi* messages = nullptr;
    DriveStepUi* driveStep = nullptr;
    ScanPanelUi* scanPanel = nullptr;
    PartitionStepUi* partitionStep = nullptr;
    FileSystemStepUi* fileSystemStep = nullptr;
    PartitionTreeUi* partitionTree = nullptr;
    RecoveryTreeUi* recoveryTree = nullptr;
    ResultListUi* resultList = nullptr;
    ResultsViewUi* resultsView = nullptr;
    SavingDialogUi* savingDialog = nullptr;
    WizardShellUi* shell = nullptr;
    // Icons and type names of the listings; unattached, the platform's own CShellFileInfo answers.
    const CShellFileInfo* shellInfo = nullptr;
};

extern EngineUi engineUi;

// The attached part, or the stand-in.
MessageUi& UiMessages();
DriveStepUi& UiDriveStep();
ScanPanelUi& UiScanPanel();
PartitionStepUi& UiPartitionStep();
FileSystemStepUi& UiFileSystemStep();
PartitionTreeUi& UiPartitionTree();
RecoveryTreeUi& UiRecoveryTree();
ResultListUi& UiResultList();
ResultsViewUi& UiResultsView();
SavingDialogUi& UiSavingDialog();
WizardShellUi& UiShell();
const CShellFileInfo& UiShellInfo();
