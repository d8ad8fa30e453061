#include "ui_recorder.h"

#include <cstdio>
#include <unordered_set>

#include "engine/image/utf16_path.h"
#include "engine/recovery/core/engine_state.h"

std::string Utf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, code);
    }
    return out;
}

namespace {

std::string Quoted(const char16_t* text)
{
    return "\"" + Utf8(text ? std::u16string_view(text) : std::u16string_view()) + "\"";
}

std::string Number(std::uint64_t value)
{
    return std::to_string(value);
}

const char* LabelName(ScanPanelLabel label)
{
    switch (label) {
    case ScanPanelLabel::FolderCount:
        return "FolderCount";
    case ScanPanelLabel::FileCount:
        return "FileCount";
    case ScanPanelLabel::CurrentSector:
        return "CurrentSector";
    case ScanPanelLabel::LastName:
        return "LastName";
    case ScanPanelLabel::BootSectorCount:
        return "BootSectorCount";
    }
    return "?";
}

const char* ButtonName(PartitionStepButton button)
{
    switch (button) {
    case PartitionStepButton::Stop:
        return "Stop";
    case PartitionStepButton::Scan:
        return "Scan";
    case PartitionStepButton::Back:
        return "Back";
    case PartitionStepButton::Home:
        return "Home";
    }
    return "?";
}

const char* Flag(bool value)
{
    return value ? "true" : "false";
}

TreeItemValue AddTreeItem(std::vector<UiRecorder::TreeItem>& items, const char16_t* text,
                          TreeItemValue parent)
{
    items.push_back({text ? text : u"", parent});
    return items.size();
}

} // namespace

class RecorderPart
{
public:
    RecorderPart(UiRecorder& owner, const char* name) : owner(owner), name(name) {}

protected:
    void Log(const char* method, const std::string& arguments = "")
    {
        owner.Log(std::string(name) + "." + method + "(" + arguments + ")");
    }

    UiRecorder& owner;
    const char* name;
};

class RecorderMessages final : public MessageUi, RecorderPart
{
public:
    explicit RecorderMessages(UiRecorder& owner) : RecorderPart(owner, "messages") {}
    int ShowMessage(std::uint32_t kind, const char16_t* text) override
    {
        Log("ShowMessage", Number(kind) + ", " + Quoted(text));
        if (owner.echoMessagesToStderr) {
            std::fprintf(stderr, "message %u: %s\n", kind, Utf8(text).c_str());
            std::fflush(stderr);
        }
        return 1;
    }
    int AskQuestion(std::uint32_t kind, const char16_t* text) override
    {
        Log("AskQuestion", Number(kind) + ", " + Quoted(text));
        return owner.questionAnswer;
    }
    int HtmlMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style) override
    {
        Log("HtmlMessageBox", Quoted(text) + ", " + Quoted(caption) + ", " + Number(style));
        return 1;
    }
    void PlainMessageBox(const char16_t* text) override { Log("PlainMessageBox", Quoted(text)); }
};

class RecorderDriveStep final : public DriveStepUi, RecorderPart
{
public:
    explicit RecorderDriveStep(UiRecorder& owner) : RecorderPart(owner, "driveStep") {}
    void SetStatusText(const char16_t* text) override { Log("SetStatusText", Quoted(text)); }
    void SetProgressPos(std::uint32_t percent) override { Log("SetProgressPos", Number(percent)); }
    void SetWaitText(const char16_t* text) override { Log("SetWaitText", Quoted(text)); }
    void AddGroupItem(const char16_t* groupText, const char16_t* itemText) override
    {
        Log("AddGroupItem", Quoted(groupText) + ", " + Quoted(itemText));
    }
    void ExpandRoot() override { Log("ExpandRoot"); }
    bool RunPartitionTypeDlg(bool& useExistingPartitionInfo) override
    {
        Log("RunPartitionTypeDlg");
        if (owner.partitionTypeConfirmed)
            useExistingPartitionInfo = owner.partitionTypeUseExisting;
        return owner.partitionTypeConfirmed;
    }
};

class RecorderScanPanel final : public ScanPanelUi, RecorderPart
{
public:
    explicit RecorderScanPanel(UiRecorder& owner) : RecorderPart(owner, "scanPanel") {}
    void SetStatusText(const char16_t* text) override { Log("SetStatusText", Quoted(text)); }
    void SetProgressPos(std::uint32_t percent) override { Log("SetProgressPos", Number(percent)); }
    void HideProgress() override { Log("HideProgress"); }
    void ShowProgress() override { Log("ShowProgress"); }
    void HideStatusText() override { Log("HideStatusText"); }
    void ShowStatusText() override { Log("ShowStatusText"); }
    void SetCounterLabels() override { Log("SetCounterLabels"); }
    void SetLabelText(ScanPanelLabel label, const char16_t* text) override
    {
        Log("SetLabelText", std::string(LabelName(label)) + ", " + Quoted(text));
    }
};

class RecorderPartitionStep final : public PartitionStepUi, RecorderPart
{
public:
    explicit RecorderPartitionStep(UiRecorder& owner) : RecorderPart(owner, "partitionStep") {}
    void EnableButton(PartitionStepButton button, bool enable) override
    {
        Log("EnableButton", std::string(ButtonName(button)) + ", " + Flag(enable));
    }
    void ShowButton(PartitionStepButton button, bool show) override
    {
        Log("ShowButton", std::string(ButtonName(button)) + ", " + Flag(show));
    }
    void EnablePartitionList(bool enable) override { Log("EnablePartitionList", Flag(enable)); }
    void SetBusy(bool busy) override { Log("SetBusy", Flag(busy)); }
    void KillScanTimer() override { Log("KillScanTimer"); }
};

class RecorderFileSystemStep final : public FileSystemStepUi, RecorderPart
{
public:
    explicit RecorderFileSystemStep(UiRecorder& owner) : RecorderPart(owner, "fileSystemStep") {}
    void SetStatusText(const char16_t* text) override { Log("SetStatusText", Quoted(text)); }
    void SetProgressPos(std::uint32_t percent) override { Log("SetProgressPos", Number(percent)); }
    void HideScanButton() override { Log("HideScanButton"); }
};

class RecorderPartitionTree final : public PartitionTreeUi, RecorderPart
{
public:
    explicit RecorderPartitionTree(UiRecorder& owner) : RecorderPart(owner, "partitionTree") {}
    TreeItemValue InsertItemWithIcon(const char16_t* text, TreeItemValue parent) override
    {
        Log("InsertItemWithIcon", Quoted(text) + ", " + Number(parent));
        return AddTreeItem(owner.partitionTreeItems, text, parent);
    }
    TreeItemValue AddItem(const char16_t* label, TreeItemValue parent) override
    {
        Log("AddItem", Quoted(label) + ", " + Number(parent));
        return AddTreeItem(owner.partitionTreeItems, label, parent);
    }
    TreeItemValue GetRootItem() override { return owner.partitionTreeItems.empty() ? 0 : 1; }
    void Expand(TreeItemValue item) override { Log("Expand", Number(item)); }
};

class RecorderRecoveryTree final : public RecoveryTreeUi, RecorderPart
{
public:
    explicit RecorderRecoveryTree(UiRecorder& owner) : RecorderPart(owner, "recoveryTree") {}
    TreeItemValue InsertFolderItem(const char16_t* text, TreeItemValue parent) override
    {
        Log("InsertFolderItem", Quoted(text) + ", " + Number(parent));
        return AddTreeItem(owner.recoveryTreeItems, text, parent);
    }
    // Folders whose parent links form a loop (a crafted disk) are inserted once each.
    void AddFatFolderItems(TreeItemValue parentItem, std::uint32_t parentValue) override
    {
        Log("AddFatFolderItems", Number(parentItem) + ", " + Number(parentValue));
        std::unordered_set<const void*> placed;
        AddFatLevel(parentItem, parentValue, placed);
    }
    void AddNtfsFolderItems(TreeItemValue parentItem, std::uint32_t parentFolderNumber) override
    {
        Log("AddNtfsFolderItems", Number(parentItem) + ", " + Number(parentFolderNumber));
        std::unordered_set<const void*> placed;
        AddNtfsLevel(parentItem, parentFolderNumber, placed);
    }
    void AddTraceTypeItems(TreeItemValue parentItem, const char16_t* text) override
    {
        Log("AddTraceTypeItems", Number(parentItem) + ", " + Quoted(text));
        std::vector<std::u16string> types;
        for (TraceFoundRec* record = traceFoundList.head; record; record = record->next) {
            const std::u16string type = record->typeName;
            bool known = false;
            for (const auto& seen : types)
                known = known || seen == type;
            if (!known) {
                types.push_back(type);
                AddTreeItem(owner.recoveryTreeItems, type.c_str(), parentItem);
            }
        }
    }
    std::u16string GetItemPath(TreeItemValue item) override
    {
        std::u16string path;
        for (std::size_t guard = 0; item != 0 && item <= owner.recoveryTreeItems.size() && guard < 4096;
             ++guard) {
            const UiRecorder::TreeItem& entry = owner.recoveryTreeItems[item - 1];
            path = path.empty() ? entry.text : entry.text + u"\\" + path;
            item = entry.parent;
        }
        return path;
    }
    void SetCheckRecursive(TreeItemValue item, int state) override
    {
        Log("SetCheckRecursive", Number(item) + ", " + Number(static_cast<std::uint64_t>(state)));
    }
    void CountTreeItemContents(TreeItemValue item, TreeContentTotals&) override
    {
        Log("CountTreeItemContents", Number(item));
    }
    void DeleteAllItems() override
    {
        Log("DeleteAllItems");
        owner.recoveryTreeItems.clear();
    }
    void Expand(TreeItemValue item) override { Log("Expand", Number(item)); }
    void SetFocus() override { Log("SetFocus"); }

private:
    void AddFatLevel(TreeItemValue parentItem, std::uint32_t parentValue,
                     std::unordered_set<const void*>& placed)
    {
        for (FatFolderRec* record = fatFolders.head; record; record = record->next) {
            if (record->parentCluster != parentValue || !placed.insert(record).second)
                continue;
            record->treeItem = AddTreeItem(owner.recoveryTreeItems, record->name, parentItem);
            AddFatLevel(record->treeItem, record->firstCluster, placed);
        }
    }
    void AddNtfsLevel(TreeItemValue parentItem, std::uint32_t parentNumber,
                      std::unordered_set<const void*>& placed)
    {
        for (NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next) {
            if (node->parentNumber != parentNumber || !placed.insert(node).second)
                continue;
            node->treeItem = AddTreeItem(owner.recoveryTreeItems, node->name, parentItem);
            AddNtfsLevel(node->treeItem, node->folderNumber, placed);
        }
    }
};

class RecorderResultList final : public ResultListUi, RecorderPart
{
public:
    explicit RecorderResultList(UiRecorder& owner) : RecorderPart(owner, "resultList") {}
    void DeleteAllItems() override
    {
        Log("DeleteAllItems");
        owner.resultRows.clear();
    }
    int GetItemCount() override { return static_cast<int>(owner.resultRows.size()); }
    int InsertItem(int row, const char16_t* text, int imageIndex) override
    {
        Log("InsertItem", Number(static_cast<std::uint64_t>(row)) + ", " + Quoted(text) + ", " +
                              std::to_string(imageIndex));
        if (row < 0 || row > GetItemCount())
            row = GetItemCount();
        owner.resultRows.insert(owner.resultRows.begin() + row,
                                std::vector<std::u16string>{text ? text : u""});
        return row;
    }
    void SetItemText(int row, int column, const char16_t* text) override
    {
        Log("SetItemText", std::to_string(row) + ", " + std::to_string(column) + ", " + Quoted(text));
        if (row < 0 || row >= GetItemCount() || column < 0)
            return;
        auto& columns = owner.resultRows[row];
        if (columns.size() <= static_cast<std::size_t>(column))
            columns.resize(column + 1);
        columns[column] = text ? text : u"";
    }
    std::u16string GetItemText(int row, int column) override
    {
        if (row < 0 || row >= GetItemCount() || column < 0 ||
            owner.resultRows[row].size() <= static_cast<std::size_t>(column))
            return {};
        return owner.resultRows[row][column].substr(0, 100);
    }
    void Update(int row) override { Log("Update", std::to_string(row)); }
    void SwitchToReportView() override { Log("SwitchToReportView"); }
    void CheckItem(int row) override { Log("CheckItem", std::to_string(row)); }
    void MarkChecked(int row) override { Log("MarkChecked", std::to_string(row)); }
    std::vector<std::uint64_t> GetMarkedEntryIds() override { return owner.markedEntryIds; }
    std::vector<TreeItemValue> GetMarkedTreeItems() override { return owner.markedTreeItems; }
};

class RecorderResultsView final : public ResultsViewUi, RecorderPart
{
public:
    explicit RecorderResultsView(UiRecorder& owner) : RecorderPart(owner, "resultsView") {}
    void SetSelectedSizeText(const char16_t* text) override { Log("SetSelectedSizeText", Quoted(text)); }
    std::u16string GetTargetFolder() override { return owner.targetFolder; }
    void SetCurrentFolderItem(TreeItemValue item) override { Log("SetCurrentFolderItem", Number(item)); }
    std::u16string BrowseForFolder(const char16_t* title) override
    {
        Log("BrowseForFolder", Quoted(title));
        return owner.browseFolderAnswer;
    }
};

// Canned shell answers, so that listings read the same on every platform.
class RecorderShellInfo final : public CShellFileInfo
{
public:
    explicit RecorderShellInfo(UiRecorder& owner) : owner(owner) {}
    std::uintptr_t GetSystemImageList(bool small) const override { return small ? 1 : 2; }
    int GetFileIconIndex(const char16_t* fileName, bool) const override
    {
        const auto found = owner.shellIconIndexes.find(UpperExtension(fileName));
        return found == owner.shellIconIndexes.end() ? 1 : found->second;
    }
    int GetFolderIconIndex(bool) const override { return 3; }
    std::u16string GetFileTypeName(const char16_t* fileName) const override
    {
        const std::u16string extension = UpperExtension(fileName);
        const auto found = owner.shellTypeNames.find(extension);
        if (found != owner.shellTypeNames.end())
            return found->second;
        return extension.size() <= 1 ? u"File" : extension.substr(1) + u" File";
    }

private:
    static std::u16string UpperExtension(const char16_t* fileName)
    {
        const std::u16string name = fileName ? fileName : u"";
        const std::size_t dot = name.rfind(u'.');
        if (dot == std::u16string::npos)
            return {};
        std::u16string extension = name.substr(dot);
        for (char16_t& c : extension)
            if (c >= u'a' && c <= u'z')
                c = static_cast<char16_t>(c - u'a' + u'A');
        return extension;
    }

    UiRecorder& owner;
};

class RecorderSavingDialog final : public SavingDialogUi, RecorderPart
{
public:
    explicit RecorderSavingDialog(UiRecorder& owner) : RecorderPart(owner, "savingDialog") {}
    void SetFileNameText(const char16_t* text) override { Log("SetFileNameText", Quoted(text)); }
    void SetFolderText(const char16_t* text) override { Log("SetFolderText", Quoted(text)); }
    void SetCounterText(const char16_t* text) override { Log("SetCounterText", Quoted(text)); }
    void SetProgressPos(std::uint32_t percent) override { Log("SetProgressPos", Number(percent)); }
};

class RecorderShell final : public WizardShellUi, RecorderPart
{
public:
    explicit RecorderShell(UiRecorder& owner) : RecorderPart(owner, "shell") {}
    void SwitchView(int index) override { Log("SwitchView", std::to_string(index)); }
    void CreateProgressDlg(const char16_t* text) override { Log("CreateProgressDlg", Quoted(text)); }
    void SetProgressDlgText(const char16_t* text) override { Log("SetProgressDlgText", Quoted(text)); }
    void SetProgressDlgPos(std::uint32_t percent) override { Log("SetProgressDlgPos", Number(percent)); }
    void DestroyProgressDlg() override { Log("DestroyProgressDlg"); }
    bool RunFileDialog(const FileDialogRequest& request, std::u16string& path) override
    {
        Log("RunFileDialog", std::string(Flag(request.open)) + ", " + Quoted(request.fileName) + ", " +
                                 Quoted(request.filter) + ", " + Quoted(request.title));
        if (owner.fileDialogConfirmed)
            path = owner.fileDialogPath;
        return owner.fileDialogConfirmed;
    }
};

struct UiRecorder::Parts
{
    explicit Parts(UiRecorder& owner)
        : messages(owner), driveStep(owner), scanPanel(owner), partitionStep(owner), fileSystemStep(owner),
          partitionTree(owner), recoveryTree(owner), resultList(owner), resultsView(owner),
          savingDialog(owner), shell(owner), shellInfo(owner)
    {}
    RecorderMessages messages;
    RecorderDriveStep driveStep;
    RecorderScanPanel scanPanel;
    RecorderPartitionStep partitionStep;
    RecorderFileSystemStep fileSystemStep;
    RecorderPartitionTree partitionTree;
    RecorderRecoveryTree recoveryTree;
    RecorderResultList resultList;
    RecorderResultsView resultsView;
    RecorderSavingDialog savingDialog;
    RecorderShell shell;
    RecorderShellInfo shellInfo;
};

UiRecorder::UiRecorder() : parts(std::make_unique<Parts>(*this)) {}

UiRecorder::~UiRecorder()
{
    // The engine must not keep calling into a recorder that is gone.
    if (engineUi.messages == &parts->messages)
        engineUi = {};
}

void UiRecorder::Attach()
{
    engineUi.messages = &parts->messages;
    engineUi.driveStep = &parts->driveStep;
    engineUi.scanPanel = &parts->scanPanel;
    engineUi.partitionStep = &parts->partitionStep;
    engineUi.fileSystemStep = &parts->fileSystemStep;
    engineUi.partitionTree = &parts->partitionTree;
    engineUi.recoveryTree = &parts->recoveryTree;
    engineUi.resultList = &parts->resultList;
    engineUi.resultsView = &parts->resultsView;
    engineUi.savingDialog = &parts->savingDialog;
    engineUi.shell = &parts->shell;
    engineUi.shellInfo = &parts->shellInfo;
}

void UiRecorder::Log(std::string line)
{
    if (onLog)
        onLog(line);
    std::lock_guard<std::mutex> hold(logLock);
    log.push_back(std::move(line));
}

std::vector<std::string> UiRecorder::Calls() const
{
    std::lock_guard<std::mutex> hold(logLock);
    return log;
}

std::vector<std::string> UiRecorder::ArgumentsOf(std::string_view method) const
{
    std::lock_guard<std::mutex> hold(logLock);
    std::vector<std::string> arguments;
    for (const std::string& line : log) {
        if (line.size() > method.size() + 1 && line.compare(0, method.size(), method) == 0 &&
            line[method.size()] == '(')
            arguments.push_back(line.substr(method.size() + 1, line.size() - method.size() - 2));
    }
    return arguments;
}

void UiRecorder::Clear()
{
    std::lock_guard<std::mutex> hold(logLock);
    log.clear();
}
