#include "recovery_tree_ctrl.h"

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_records.h"
#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/trace/trace_records.h"
#include "latest_window_texts.h"
#include "modal_wait_dialog.h"
#include "redraw_pause.h"
#include "result_list_ctrl.h"
#include "result_row_text.h"
#include "results_resource_ids.h"
#include "row_slices.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

constexpr COLORREF kDeletedFolderColour = RGB(255, 0, 0);
// The tree's state images: 1 unchecked, 2 checked, 3 partly checked.
constexpr int kStateUnchecked = 1;
constexpr int kStateChecked = 2;
constexpr int kStatePartial = 3;

TreeItemValue ValueOf(HTREEITEM item)
{
    return reinterpret_cast<TreeItemValue>(item);
}

HTREEITEM ItemOf(TreeItemValue value)
{
    return reinterpret_cast<HTREEITEM>(value);
}

LPCWSTR Wide(const char16_t* text)
{
    return reinterpret_cast<LPCWSTR>(text != nullptr ? text : u"");
}

// The system image list's place of the shell's own icon of that number. Windows keeps the first of them
// at their own numbers; Wine adds an icon when it is first asked for, wherever the list ends. The shell
// exports the question by number alone on every version (its names differ).
int ShellIconImage(int shellIcon)
{
    using CachedImageIndex = int(WINAPI*)(const wchar_t*, int, UINT);
    wchar_t path[MAX_PATH] = {};
    const HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
    const auto ask = shell != NULL ? reinterpret_cast<CachedImageIndex>(reinterpret_cast<void*>(
                                         ::GetProcAddress(shell, MAKEINTRESOURCEA(72))))
                                   : nullptr;
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (ask == nullptr || length == 0 || length + 13 >= MAX_PATH)
        return shellIcon;
    wcscat_s(path, L"\\shell32.dll");
    const int image = ask(path, shellIcon, 0);
    return image >= 0 ? image : shellIcon;
}

bool StopRequested()
{
    return ScanThreadControl.done.load() != 0;
}

bool IsFat()
{
    return VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32;
}

// The records of one parent, in list order, by the parent's value: a walk that never trusts the
// parent links reads each list once.
template <typename Record, typename ParentOf>
std::unordered_map<std::uint32_t, std::vector<Record*>> ChildrenByParent(Record* head, ParentOf parentOf)
{
    std::unordered_map<std::uint32_t, std::vector<Record*>> children;
    for (Record* record = head; record != nullptr; record = record->next)
        children[parentOf(*record)].push_back(record);
    return children;
}

} // namespace

// The tree as the engine's builders, listings and save see it. Builders run on scan and load workers: a
// builder's whole work, and any walk over many items, runs on the tree's own thread as one call, with
// drawing off while folders are added; the single-item calls go to the tree window as they are.
class CRecoveryTreeCtrl::EngineSeam final : public RecoveryTreeUi
{
public:
    explicit EngineSeam(CRecoveryTreeCtrl& tree) : m_tree(tree) {}

    TreeItemValue InsertFolderItem(const char16_t* text, TreeItemValue parent) override
    {
        return ValueOf(m_tree.InsertFolderItem(Wide(text), ItemOf(parent)));
    }
    void AddFatFolderItems(TreeItemValue parentItem, std::uint32_t parentValue) override
    {
        Build([&] { m_tree.AddFatFolderItems(ItemOf(parentItem), parentValue); });
    }
    void AddNtfsFolderItems(TreeItemValue parentItem, std::uint32_t parentFolderNumber) override
    {
        Build([&] { m_tree.AddNtfsFolderItems(ItemOf(parentItem), parentFolderNumber); });
    }
    void AddTraceTypeItems(TreeItemValue parentItem, const char16_t*) override
    {
        Build([&] { m_tree.AddTraceTypeItems(ItemOf(parentItem)); });
    }
    std::u16string GetItemPath(TreeItemValue item) override
    {
        const CString path = m_tree.GetItemPath(ItemOf(item));
        return std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(path)),
                              static_cast<std::size_t>(path.GetLength()));
    }
    void SetCheckRecursive(TreeItemValue item, int state) override
    {
        // A scan or a load ends with the root checked: its own files are marked with it, as a press on
        // its box marks them, so that its rows, its box and a save agree from the start.
        RunOnWindowThread(m_tree.GetSafeHwnd(), [&] {
            m_tree.SetCheckRecursive(ItemOf(item), state);
            if (state != 0)
                m_tree.MarkFolderFiles(ItemOf(item));
            else
                m_tree.ClearFolderFiles(ItemOf(item));
        });
    }
    void CountTreeItemContents(TreeItemValue item, TreeContentTotals& totals) override
    {
        RunOnWindowThread(m_tree.GetSafeHwnd(), [&] { m_tree.CountContents(ItemOf(item), totals); });
    }
    void DeleteAllItems() override { m_tree.DeleteAllItems(); }
    void Expand(TreeItemValue item) override { m_tree.Expand(ItemOf(item), TVE_EXPAND); }
    void SetFocus() override { m_tree.SetFocus(); }

private:
    void Build(const std::function<void()>& build)
    {
        RunOnWindowThread(m_tree.GetSafeHwnd(), [&] {
            const CRedrawPause pause(m_tree);
            build();
        });
    }

    CRecoveryTreeCtrl& m_tree;
};

IMPLEMENT_DYNAMIC(CRecoveryTreeCtrl, CTreeCtrl)

// clang-format off
BEGIN_MESSAGE_MAP(CRecoveryTreeCtrl, CTreeCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()
// clang-format on

CRecoveryTreeCtrl::CRecoveryTreeCtrl()
{
    m_pSeam = new EngineSeam(*this);
}

CRecoveryTreeCtrl::~CRecoveryTreeCtrl()
{
    delete m_pSeam;
    for (HCURSOR cursor : {m_hExpandCursor, m_hCheckCursor, m_hItemCursor}) {
        if (cursor != NULL)
            ::DestroyCursor(cursor);
    }
}

RecoveryTreeUi& CRecoveryTreeCtrl::EngineSide()
{
    return *m_pSeam;
}

void CRecoveryTreeCtrl::Initialize()
{
    CBitmap states;
    if (states.LoadBitmap(IDB_RECOVERY_TREE_STATES) &&
        m_stateImages.Create(16, 16, ILC_MASK | ILC_COLOR24, 4, 1)) {
        m_stateImages.Add(&states, RGB(255, 255, 255));
        SetImageList(&m_stateImages, TVSIL_STATE);
    }
    const CShellFileInfo& shell = UiShellInfo();
    if (const std::uintptr_t icons = shell.GetSystemImageList(true))
        SendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL, static_cast<LPARAM>(icons));
    // Asked here, on the tree's thread, before any worker builds: the shell's icon cache is no place for a
    // scan's worker to wait in.
    for (int shellIcon = 0; shellIcon < kDriveImageCount; ++shellIcon)
        m_driveImages[shellIcon] = ShellIconImage(shellIcon);
    HINSTANCE resources = AfxGetResourceHandle();
    m_hExpandCursor = ::LoadCursorW(resources, MAKEINTRESOURCEW(IDC_RECOVERY_TREE_EXPAND));
    m_hCheckCursor = ::LoadCursorW(resources, MAKEINTRESOURCEW(IDC_RESULT_LIST_HAND));
    m_hItemCursor = ::LoadCursorW(resources, MAKEINTRESOURCEW(IDC_RECOVERY_TREE_ITEM));
}

int CRecoveryTreeCtrl::GetItemCheckState(HTREEITEM item) const
{
    const UINT image = (GetItemState(item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12;
    return image == kStateChecked   ? kTreeChecked
           : image == kStatePartial ? kTreePartlyChecked
                                    : kTreeUnchecked;
}

void CRecoveryTreeCtrl::SetStateImage(HTREEITEM item, int state)
{
    SetItemState(item, INDEXTOSTATEIMAGEMASK(state), TVIS_STATEIMAGEMASK);
}

void CRecoveryTreeCtrl::SetBold(HTREEITEM item, bool bold)
{
    SetItemState(item, bold ? TVIS_BOLD : 0, TVIS_BOLD);
}

void CRecoveryTreeCtrl::SetChecked(HTREEITEM item)
{
    SetStateImage(item, kStateChecked);
    SetBold(item, true);
    if (m_pList != NULL) {
        m_pList->CheckedFolderItems.insert(ValueOf(item));
        m_pList->CheckedTreeItems.insert(ValueOf(item));
    }
}

void CRecoveryTreeCtrl::SetUnchecked(HTREEITEM item)
{
    SetStateImage(item, kStateUnchecked);
    SetBold(item, false);
    if (m_pList != NULL) {
        m_pList->CheckedFolderItems.erase(ValueOf(item));
        m_pList->CheckedTreeItems.erase(ValueOf(item));
    }
}

void CRecoveryTreeCtrl::SetPartial(HTREEITEM item)
{
    // A folder that was checked is saved whole no more: its own files keep their marks one by one, as
    // its rows show them.
    if (GetItemCheckState(item) == kTreeChecked && m_pList != NULL) {
        if (ScanSelection.scanKind != kScanFileTrace)
            MarkFolderFiles(item);
        m_pList->CheckedFolderItems.erase(ValueOf(item));
        m_pList->CheckedTreeItems.erase(ValueOf(item));
        SetBold(item, false);
    }
    SetStateImage(item, kStatePartial);
}

int CRecoveryTreeCtrl::AllChildrenInState(HTREEITEM item, int state) const
{
    for (HTREEITEM child = GetChildItem(item); child != NULL; child = GetNextSiblingItem(child)) {
        if (GetItemCheckState(child) != state)
            return 0;
    }
    return 1;
}

void CRecoveryTreeCtrl::ForEachDescendant(HTREEITEM item, const std::function<void(HTREEITEM)>& visit)
{
    // An explicit stack: a tree of a deep volume must not run the thread out of stack.
    std::vector<HTREEITEM> pending;
    for (HTREEITEM child = GetChildItem(item); child != NULL; child = GetNextSiblingItem(child))
        pending.push_back(child);
    while (!pending.empty()) {
        HTREEITEM current = pending.back();
        pending.pop_back();
        for (HTREEITEM child = GetChildItem(current); child != NULL; child = GetNextSiblingItem(child))
            pending.push_back(child);
        visit(current);
    }
}

std::uint32_t CRecoveryTreeCtrl::FolderIdOf(HTREEITEM item, bool& found) const
{
    found = false;
    const TreeItemValue value = ValueOf(item);
    if (IsFat()) {
        for (const FatFolderRec* record = fatFolders.head; record != nullptr; record = record->next) {
            if (record->treeItem == value) {
                found = true;
                return record->firstCluster;
            }
        }
    } else if (VolumeParams.fsCode == kFsNtfs) {
        for (const NtfsEntryNode* node = ntfsEntryNodes.head; node != nullptr; node = node->next) {
            if (node->treeItem == value) {
                found = true;
                return node->folderNumber;
            }
        }
    }
    return 0;
}

std::vector<std::uint64_t> CRecoveryTreeCtrl::OwnFileIds(HTREEITEM item, bool firstOnly) const
{
    std::vector<std::uint64_t> ids;
    if (ScanSelection.scanKind == kScanFileTrace) {
        // The root holds every found item, a type name's item (one with children) those of its type, an
        // extension's item those of its extension: the items that a click on the item lists.
        const CString text = GetItemText(item);
        const bool root = GetParentItem(item) == NULL;
        const char16_t* name = root ? u"Root" : reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text));
        ids = TraceItemIds(name, !root && GetChildItem(item) != NULL ? 1 : 0);
        if (firstOnly && ids.size() > 1)
            ids.resize(1);
        return ids;
    }
    bool found = false;
    std::uint32_t id = FolderIdOf(item, found);
    // The tree's top item lists the volume's root folder, whose files are its own: its box and its rows'
    // boxes mark them as any folder's do. Any other item that no record holds stands for a folder of its
    // own handle's value, which no file names.
    if (!found && GetParentItem(item) == NULL) {
        id = IsFat() ? kFatRootFolder : kNtfsRootFolder;
        found = true;
    }
    if (!found)
        return ids;
    auto take = [&](std::uint64_t key) {
        ids.push_back(key);
        return firstOnly;
    };
    if (IsFat()) {
        for (const FatFileRec* file = fatFiles.head; file != nullptr; file = file->next) {
            if (file->parentCluster == id && take(file->fileId))
                break;
        }
    } else if (ScanSelection.scanKind == kScanQuick) {
        for (const NtfsScanNode* node = ntfsScanNodes.head; node != nullptr; node = node->next) {
            if (node->parentNumber == id && take(node->dataRecordSector))
                break;
        }
    } else {
        // The first MFT record sector holds $MFT itself, a file of the root that its rows list and its
        // box marks like any other.
        for (const NtfsFileNode* node = ntfsFileNodes.head; node != nullptr; node = node->next) {
            if (node->parentNumber == id && node->recordSector >= VolumeParams.mftStart &&
                take(node->recordSector))
                break;
        }
    }
    return ids;
}

bool CRecoveryTreeCtrl::HoldsOwnFiles(HTREEITEM item, bool& allMarked, bool& anyMarked) const
{
    // A File Trace item's marks follow its children's alone.
    allMarked = true;
    anyMarked = false;
    if (ScanSelection.scanKind == kScanFileTrace || m_pList == NULL)
        return false;
    // Every own file counts, not the first alone: a folder checked over an unmarked file would save a
    // file whose row shows no mark.
    const std::vector<std::uint64_t> own = OwnFileIds(item, false);
    for (std::uint64_t id : own) {
        const bool marked = m_pList->CheckedFileIds.count(id) != 0;
        allMarked = allMarked && marked;
        anyMarked = anyMarked || marked;
    }
    return !own.empty();
}

void CRecoveryTreeCtrl::MarkFolderFiles(HTREEITEM item)
{
    if (m_pList == NULL)
        return;
    for (std::uint64_t id : OwnFileIds(item, false))
        m_pList->CheckedFileIds.insert(id);
}

void CRecoveryTreeCtrl::ClearFolderFiles(HTREEITEM item)
{
    if (m_pList == NULL)
        return;
    for (std::uint64_t id : OwnFileIds(item, false))
        m_pList->CheckedFileIds.erase(id);
}

void CRecoveryTreeCtrl::ClearFilesBelow(HTREEITEM item)
{
    if (m_pList == NULL || item == NULL || ScanSelection.scanKind == kScanFileTrace)
        return;
    std::unordered_set<TreeItemValue> items{ValueOf(item)};
    ForEachDescendant(item, [&](HTREEITEM child) { items.insert(ValueOf(child)); });
    // The folders' IDs, read once from the records; the root stands for the volume's root folder.
    std::unordered_set<std::uint32_t> folders;
    if (GetParentItem(item) == NULL)
        folders.insert(IsFat() ? kFatRootFolder : kNtfsRootFolder);
    if (IsFat()) {
        for (const FatFolderRec* record = fatFolders.head; record != nullptr; record = record->next)
            if (items.count(record->treeItem) != 0)
                folders.insert(record->firstCluster);
        for (const FatFileRec* file = fatFiles.head; file != nullptr; file = file->next)
            if (folders.count(file->parentCluster) != 0)
                m_pList->CheckedFileIds.erase(file->fileId);
        return;
    }
    for (const NtfsEntryNode* node = ntfsEntryNodes.head; node != nullptr; node = node->next)
        if (items.count(node->treeItem) != 0)
            folders.insert(node->folderNumber);
    if (ScanSelection.scanKind == kScanQuick) {
        for (const NtfsScanNode* node = ntfsScanNodes.head; node != nullptr; node = node->next)
            if (folders.count(node->parentNumber) != 0)
                m_pList->CheckedFileIds.erase(node->dataRecordSector);
    } else {
        for (const NtfsFileNode* node = ntfsFileNodes.head; node != nullptr; node = node->next)
            if (folders.count(node->parentNumber) != 0)
                m_pList->CheckedFileIds.erase(node->recordSector);
    }
}

void CRecoveryTreeCtrl::MarkTraceItems(HTREEITEM item, bool mark)
{
    if (m_pList == NULL || item == NULL || ScanSelection.scanKind != kScanFileTrace)
        return;
    // The items a click on the tree item lists: every found item for the root, a type's or an extension's.
    for (std::uint64_t id : OwnFileIds(item, false)) {
        if (mark)
            m_pList->CheckedFileIds.insert(id);
        else
            m_pList->CheckedFileIds.erase(id);
    }
}

void CRecoveryTreeCtrl::SyncTraceItemsFromMarks()
{
    if (m_pList == NULL || ScanSelection.scanKind != kScanFileTrace || GetRootItem() == NULL)
        return;
    std::vector<HTREEITEM> items{GetRootItem()};
    ForEachDescendant(GetRootItem(), [&](HTREEITEM item) { items.push_back(item); });
    for (HTREEITEM item : items) {
        const std::vector<std::uint64_t> ids = OwnFileIds(item, false);
        std::size_t marked = 0;
        for (std::uint64_t id : ids)
            marked += m_pList->CheckedFileIds.count(id) != 0 ? 1 : 0;
        if (!ids.empty() && marked == ids.size())
            SetChecked(item);
        else if (marked == 0)
            SetUnchecked(item);
        else
            SetPartial(item);
    }
}

void CRecoveryTreeCtrl::SetPartlyFromRows(HTREEITEM item)
{
    // A folder whose rows are only partly marked is no longer saved whole: its marked files are, as the
    // rows say, so its own files keep the marks they have.
    if (m_pList != NULL) {
        m_pList->CheckedFolderItems.erase(ValueOf(item));
        m_pList->CheckedTreeItems.erase(ValueOf(item));
    }
    SetStateImage(item, kStatePartial);
    SetBold(item, false);
    for (HTREEITEM ancestor = GetParentItem(item); ancestor != NULL; ancestor = GetParentItem(ancestor))
        SetPartial(ancestor);
}

void CRecoveryTreeCtrl::CountContents(HTREEITEM item, TreeContentTotals& totals)
{
    // The files of every folder, by the folder's ID, read once.
    std::unordered_map<std::uint32_t, std::pair<std::uint32_t, std::uint64_t>> filesByFolder;
    if (IsFat()) {
        for (const FatFileRec* file = fatFiles.head; file != nullptr; file = file->next) {
            auto& entry = filesByFolder[file->parentCluster];
            ++entry.first;
            entry.second += file->size;
        }
    } else if (VolumeParams.fsCode == kFsNtfs && ScanSelection.scanKind == kScanQuick) {
        for (const NtfsScanNode* node = ntfsScanNodes.head; node != nullptr; node = node->next) {
            auto& entry = filesByFolder[node->parentNumber];
            ++entry.first;
            entry.second += node->dataSize;
        }
    } else if (VolumeParams.fsCode == kFsNtfs) {
        // The files the folder lists: records inside the volume's MFT range.
        for (const NtfsFileNode* node = ntfsFileNodes.head; node != nullptr; node = node->next) {
            if (node->recordSector <= VolumeParams.mftStart)
                continue;
            auto& entry = filesByFolder[node->parentNumber];
            ++entry.first;
            entry.second += node->dataSize;
        }
    }
    auto addFiles = [&](HTREEITEM folder) {
        bool found = false;
        const std::uint32_t id = FolderIdOf(folder, found);
        const auto files = found ? filesByFolder.find(id) : filesByFolder.end();
        if (files != filesByFolder.end()) {
            totals.files += files->second.first;
            totals.bytes += files->second.second;
        }
    };
    addFiles(item);
    ForEachDescendant(item, [&](HTREEITEM folder) {
        ++totals.folders;
        addFiles(folder);
    });
}

BOOL CRecoveryTreeCtrl::DeleteAllItems()
{
    ClearItemStyles();
    return CTreeCtrl::DeleteAllItems();
}

void CRecoveryTreeCtrl::SetCheckRecursive(HTREEITEM item, int on)
{
    if (item == NULL)
        return;
    // A folder's every descendant changes: one call to the tree's thread, not a message per item.
    if (GetSafeHwnd() != NULL && ::GetWindowThreadProcessId(GetSafeHwnd(), NULL) != ::GetCurrentThreadId()) {
        RunOnWindowThread(GetSafeHwnd(), [&] { SetCheckRecursive(item, on); });
        return;
    }
    const CRedrawPause pause(*this);
    if (on != 0) {
        SetChecked(item);
        ForEachDescendant(item, [this](HTREEITEM child) { SetChecked(child); });
    } else {
        SetUnchecked(item);
        ForEachDescendant(item, [this](HTREEITEM child) { SetUnchecked(child); });
    }
    for (HTREEITEM ancestor = GetParentItem(item); ancestor != NULL; ancestor = GetParentItem(ancestor)) {
        // A checked folder's own files are marked with it, whether or not it was ever listed: a change
        // below it leaves them marked.
        if (GetItemCheckState(ancestor) == kTreeChecked && ScanSelection.scanKind != kScanFileTrace)
            MarkFolderFiles(ancestor);
        bool allMarked = true;
        bool anyMarked = false;
        HoldsOwnFiles(ancestor, allMarked, anyMarked);
        if (on != 0) {
            if (AllChildrenChecked(ancestor) && allMarked)
                SetChecked(ancestor);
            else
                SetPartial(ancestor);
        } else if (AllChildrenChecked(ancestor) && allMarked) {
            SetChecked(ancestor);
        } else if (AllChildrenUnchecked(ancestor) && !anyMarked) {
            SetUnchecked(ancestor);
        } else {
            SetPartial(ancestor);
        }
    }
}

void CRecoveryTreeCtrl::ToggleCheck(HTREEITEM item)
{
    if (GetItemCheckState(item) == kTreeUnchecked)
        CheckItem(item);
    else
        UncheckItem(item);
}

void CRecoveryTreeCtrl::UncheckWithChildren(HTREEITEM item)
{
    SetUnchecked(item);
    for (HTREEITEM child = GetChildItem(item); child != NULL; child = GetNextSiblingItem(child))
        UncheckItem(child);
}

HTREEITEM CRecoveryTreeCtrl::InsertFolderItem(LPCWSTR name, HTREEITEM parent)
{
    int image = UiShellInfo().GetFolderIconIndex(true);
    if (parent == NULL) {
        // A root stands for a drive: its icon follows the drive type its name gives.
        switch (::GetDriveTypeW(name)) {
        case DRIVE_CDROM:
            image = m_driveImages[2];
            break;
        case DRIVE_REMOVABLE:
            image = m_driveImages[(name[0] == L'A' || name[0] == L'a') ? 4 : 3];
            break;
        default:
            image = m_driveImages[5];
            break;
        }
    }
    HTREEITEM item = InsertItem(name, image, image, parent != NULL ? parent : TVI_ROOT, TVI_LAST);
    if (item != NULL)
        SetStateImage(item, kStateUnchecked);
    return item;
}

void CRecoveryTreeCtrl::ReportPercent(bool toFileSystemStep)
{
    const std::uint32_t total = folderCount != 0 ? folderCount : 1;
    std::uint64_t percent = static_cast<std::uint64_t>(TreeInsertedCount) * 100 / total;
    if (percent >= 100)
        percent = 99;
    if (m_loaderProgress && m_loaderProgress(static_cast<std::uint32_t>(percent)))
        return;
    if (toFileSystemStep)
        UiFileSystemStep().SetProgressPos(static_cast<std::uint32_t>(percent));
    else
        UiScanPanel().SetProgressPos(static_cast<std::uint32_t>(percent));
}

void CRecoveryTreeCtrl::AddFatFolderItems(HTREEITEM parentItem, std::uint32_t parentValue)
{
    if (StopRequested())
        return;
    ReportPercent(false);
    auto children =
        ChildrenByParent(fatFolders.head, [](const FatFolderRec& record) { return record.parentCluster; });
    std::unordered_set<const FatFolderRec*> placed;
    std::vector<std::pair<HTREEITEM, std::uint32_t>> pending{{parentItem, parentValue}};
    while (!pending.empty() && !StopRequested()) {
        const auto [item, value] = pending.back();
        pending.pop_back();
        const auto found = children.find(value);
        if (found == children.end())
            continue;
        for (FatFolderRec* record : found->second) {
            if (StopRequested())
                return;
            if (!placed.insert(record).second)
                continue;
            ++TreeInsertedCount;
            HTREEITEM child = InsertFolderItem(Wide(record->name), item);
            if (child == NULL)
                continue;
            if (record->deleted == 1)
                SetItemColour(child, kDeletedFolderColour);
            record->treeItem = ValueOf(child);
            pending.emplace_back(child, record->firstCluster);
        }
        ReportPercent(false);
    }
}

void CRecoveryTreeCtrl::AddNtfsFolderItems(HTREEITEM parentItem, std::uint32_t parentFolderNumber)
{
    if (StopRequested())
        return;
    const bool toFileSystemStep = ScanSelection.scanKind == kScanExtensive;
    ReportPercent(toFileSystemStep);
    auto children =
        ChildrenByParent(ntfsEntryNodes.head, [](const NtfsEntryNode& node) { return node.parentNumber; });
    std::unordered_set<const NtfsEntryNode*> placed;
    std::vector<std::pair<HTREEITEM, std::uint32_t>> pending{{parentItem, parentFolderNumber}};
    while (!pending.empty() && !StopRequested()) {
        const auto [item, number] = pending.back();
        pending.pop_back();
        const auto found = children.find(number);
        if (found == children.end())
            continue;
        for (NtfsEntryNode* node : found->second) {
            if (!placed.insert(node).second)
                continue;
            ++TreeInsertedCount;
            HTREEITEM child = InsertFolderItem(Wide(node->name), item);
            if (child == NULL)
                continue;
            if (node->deleted == 1)
                SetItemColour(child, kDeletedFolderColour);
            node->treeItem = ValueOf(child);
            pending.emplace_back(child, node->folderNumber);
        }
        ReportPercent(toFileSystemStep);
    }
}

void CRecoveryTreeCtrl::AddTraceTypeItems(HTREEITEM parentItem)
{
    // One item per type name, told apart without regard to case, each holding one item per extension.
    std::vector<std::pair<CString, HTREEITEM>> types;
    for (const TraceFoundRec* record = traceFoundList.head; record != nullptr && !StopRequested();
         record = record->next) {
        const CString type = Wide(record->typeName);
        HTREEITEM typeItem = NULL;
        for (const auto& [name, item] : types) {
            if (name.CompareNoCase(type) == 0)
                typeItem = item;
        }
        if (typeItem == NULL) {
            ReportPercent(false);
            typeItem = InsertFolderItem(type, parentItem);
            types.emplace_back(type, typeItem);
        }
        const CString group = Wide(record->extension);
        bool known = false;
        for (HTREEITEM child = GetChildItem(typeItem); child != NULL && !known;
             child = GetNextSiblingItem(child))
            known = GetItemText(child) == group;
        if (!known) {
            ++TreeInsertedCount;
            const int icon = UiShellInfo().GetFileIconIndex(
                reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(CString(L"x.") + group)), true);
            HTREEITEM child = InsertItem(group, icon, icon, typeItem, TVI_LAST);
            if (child != NULL)
                SetStateImage(child, kStateUnchecked);
        }
    }
}

CString CRecoveryTreeCtrl::GetItemPath(HTREEITEM item) const
{
    CString path;
    for (HTREEITEM current = item; current != NULL && GetParentItem(current) != NULL;
         current = GetParentItem(current)) {
        CString text = GetItemText(current);
        if (!path.IsEmpty() && (text.IsEmpty() || text[text.GetLength() - 1] != L'\\'))
            text += L'\\';
        path = text + path;
    }
    return path;
}

void CRecoveryTreeCtrl::SetItemColour(HTREEITEM item, COLORREF colour)
{
    std::lock_guard<std::mutex> lock(m_stylesLock);
    m_itemColours[ValueOf(item)] = colour;
}

COLORREF CRecoveryTreeCtrl::GetItemColour(HTREEITEM item) const
{
    std::lock_guard<std::mutex> lock(m_stylesLock);
    const auto found = m_itemColours.find(ValueOf(item));
    return found != m_itemColours.end() ? found->second : CLR_NONE;
}

void CRecoveryTreeCtrl::ClearItemStyles()
{
    std::lock_guard<std::mutex> lock(m_stylesLock);
    m_itemColours.clear();
}

void CRecoveryTreeCtrl::RestoreListChecks()
{
    if (m_pList == NULL)
        return;
    if (m_pList->GetSafeHwnd() != NULL &&
        ::GetWindowThreadProcessId(m_pList->GetSafeHwnd(), NULL) != ::GetCurrentThreadId()) {
        RunOnWindowThread(m_pList->GetSafeHwnd(), [this] { RestoreListChecks(); });
        return;
    }
    CResultListCtrl& list = *m_pList;
    const CRedrawPause pause(list);
    const int rows = list.GetItemCount();
    const int idColumn = CResultListCtrl::IdColumn();
    const std::vector<CString> checkedNames = list.CheckedTraceNames();
    // Each row's state is set once, and only where it changes: a state change is two notices to the view.
    for (int row = 0; row < rows; ++row)
        list.ShowMark(row, list.MapsMarkRow(list.GetItemText(row, idColumn), list.GetItemText(row, 1),
                                            list.GetItemText(row, 0), checkedNames));
}

void CRecoveryTreeCtrl::ListItemFolder(HTREEITEM item, const std::atomic<bool>* stop)
{
    // On a worker the listing reads the records and asks the shell for icons there, and its rows reach
    // the list in slices: the stop ends it between rows.
    const PlatformComScope com;
    if (m_pList != NULL)
        m_pList->SetRowsStop(stop);
    ListItemFolderRows(item);
    if (m_pList != NULL)
        m_pList->SetRowsStop(nullptr);
}
void CRecoveryTreeCtrl::ListItemFolderRows(HTREEITEM item)
{
    if (ScanSelection.scanKind == kScanFileTrace) {
        if (GetParentItem(item) == NULL) {
            ListFolderTrace(u"Root", 0);
            return;
        }
        const CString text = GetItemText(item);
        ListFolderTrace(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text)),
                        GetChildItem(item) != NULL ? 1 : 0);
        return;
    }
    bool found = false;
    const std::uint32_t id = FolderIdOf(item, found);
    if (IsFat()) {
        UiResultsView().SetCurrentFolderItem(ValueOf(item));
        ListFolderFat(found ? id : kFatRootFolder);
    } else if (VolumeParams.fsCode == kFsNtfs) {
        ListFolderNtfs(found && GetItemText(item) != L"Root" ? id : kNtfsRootFolder);
    }
}

void CRecoveryTreeCtrl::OnItemClick(UINT flags, HTREEITEM item, const std::atomic<bool>* stop)
{
    // On the please-wait box's worker the work walks items and rows one by one: each step runs on the
    // windows' thread as one call (a message per item costs about a millisecond under Wine), and the steps
    // over rows go in slices, between which the box serves its Cancel. A stop ends the work between rows
    // with the boxes, the tree and the maps in agreement.
    const HWND window = GetSafeHwnd();
    const auto onWindow = [window](const std::function<void()>& call) { RunOnWindowThread(window, call); };
    const UINT body = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMRIGHT | TVHT_ONITEMSTATEICON;
    if ((flags & TVHT_ONITEMBUTTON) != 0 && (flags & body) == 0) {
        onWindow([&] { Expand(item, TVE_TOGGLE); });
        return;
    }
    if ((flags & body) == 0)
        return;
    onWindow([&] { SelectItem(item); });
    if ((flags & TVHT_ONITEMSTATEICON) == 0) {
        // The folder's own files follow its box first, so that its rows show their marks as they come.
        onWindow([&] { FollowBoxWithFiles(item); });
        ListItemFolder(item, stop);
        return;
    }
    bool mark = false;
    onWindow([&] { mark = GetItemCheckState(item) == kTreeUnchecked; });
    if (!MarkListedFiles(item, mark, stop))
        return;
    onWindow([&] {
        const CRedrawPause pause(*this);
        if (mark) {
            CheckItem(item);
            MarkFolderFiles(item);
            MarkTraceItems(item, true);
        } else {
            UncheckItem(item);
            ClearFilesBelow(item);
            MarkTraceItems(item, false);
        }
        RestoreListChecks();
    });
}

bool CRecoveryTreeCtrl::MarkListedFiles(HTREEITEM item, bool mark, const std::atomic<bool>* stop)
{
    if (m_pList == NULL)
        return true;
    const HWND window = GetSafeHwnd();
    constexpr std::size_t kRowsPerCall = 500;
    // The listed rows of the item's own files (after a File Trace, of its found items) whose mark changes.
    std::unordered_set<std::uint64_t> ids;
    std::size_t rowCount = 0;
    RunOnWindowThread(window, [&] {
        const std::vector<std::uint64_t> own = OwnFileIds(item, false);
        ids.insert(own.begin(), own.end());
        rowCount = static_cast<std::size_t>(m_pList->GetItemCount());
    });
    std::vector<int> rows;
    if (ids.empty())
        rowCount = 0;
    if (RunInSlices(window, rowCount, 4 * kRowsPerCall, stop, [&](std::size_t first, std::size_t count) {
            CResultListCtrl& list = *m_pList;
            for (int row = static_cast<int>(first); row < static_cast<int>(first + count); ++row) {
                if (list.IsParentRow(row) || list.RowTreeItem(row) != NULL)
                    continue;
                const std::uint64_t id = list.RowId(row);
                if (ids.count(id) != 0 && (list.CheckedFileIds.count(id) != 0) != mark)
                    rows.push_back(row);
            }
        }) < rowCount)
        return false;
    const std::size_t done =
        RunInSlices(window, rows.size(), kRowsPerCall, stop, [&](std::size_t first, std::size_t count) {
            CResultListCtrl& list = *m_pList;
            const CRedrawPause pause(list);
            for (std::size_t at = first; at < first + count; ++at) {
                list.UpdateFileMark(list.RowId(rows[at]), mark);
                list.ShowMark(rows[at], mark);
            }
        });
    if (done == rows.size())
        return true;
    // Stopped between rows: the marks made so far stay, and the folder is partly checked by them.
    if (done > 0)
        RunOnWindowThread(window, [&] { SetPartlyFromRows(item); });
    return false;
}

void CRecoveryTreeCtrl::ShowFolderMarks(HTREEITEM item)
{
    FollowBoxWithFiles(item);
    RestoreListChecks();
}

void CRecoveryTreeCtrl::FollowBoxWithFiles(HTREEITEM item)
{
    // The files of a checked folder are marked, those of an unchecked one not; a partly checked folder
    // keeps its files' own marks.
    if (GetItemCheckState(item) == kTreeChecked) {
        MarkFolderFiles(item);
        MarkTraceItems(item, true);
    } else if (GetItemCheckState(item) == kTreeUnchecked) {
        ClearFolderFiles(item);
        MarkTraceItems(item, false);
    }
}

void CRecoveryTreeCtrl::OnLButtonDown(UINT, CPoint point)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(point, &flags);
    if (item == NULL)
        return;
    // The work runs on the box's worker while the box's loop serves the tree's and the list's messages;
    // the control's own toggle of the box never runs, so the marks come out the same everywhere. Cancel
    // stops the work between rows.
    CWaitCursor wait;
    CModalWaitDlg box(this);
    box.SetWork(
        [](UINT_PTR tree, UINT_PTR hitFlags, UINT_PTR clicked, const std::atomic<bool>& stop) {
            reinterpret_cast<CRecoveryTreeCtrl*>(tree)->OnItemClick(
                static_cast<UINT>(hitFlags), reinterpret_cast<HTREEITEM>(clicked), &stop);
        },
        reinterpret_cast<UINT_PTR>(this), flags, reinterpret_cast<UINT_PTR>(item));
    box.DoModal();
    if ((flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMRIGHT | TVHT_ONITEMSTATEICON)) != 0)
        SetFocus();
}

void CRecoveryTreeCtrl::OnLButtonDblClk(UINT, CPoint) {}

void CRecoveryTreeCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    UINT flags = 0;
    if (HitTest(point, &flags) != NULL) {
        HCURSOR cursor = (flags & TVHT_ONITEMSTATEICON) != 0 ? m_hCheckCursor
                         : (flags & TVHT_ONITEMBUTTON) != 0  ? m_hExpandCursor
                                                             : m_hItemCursor;
        if (cursor != NULL)
            ::SetCursor(cursor);
    }
    CTreeCtrl::OnMouseMove(nFlags, point);
}

void CRecoveryTreeCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    switch (nChar) {
    case VK_SPACE:
        // The space bar would toggle the box behind the maps' back.
        return;
    case VK_TAB:
        if (m_pList != NULL)
            m_pList->SetFocus();
        return;
    case VK_APPS:
        if (HTREEITEM item = GetSelectedItem()) {
            CRect rect;
            GetItemRect(item, &rect, TRUE);
            CPoint centre = rect.CenterPoint();
            ClientToScreen(&centre);
            ShowContextMenu(item, centre);
        }
        return;
    case VK_UP:
    case VK_DOWN:
        Invalidate();
        break;
    default:
        break;
    }
    CTreeCtrl::OnKeyDown(nChar, nRepCnt, nFlags);
}

// Moving through the tree with the keys lists each folder reached, as a click on its label does.
void CRecoveryTreeCtrl::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    switch (nChar) {
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        if (HTREEITEM item = GetSelectedItem()) {
            ListItemFolder(item);
            ShowFolderMarks(item);
        }
        break;
    default:
        break;
    }
    CTreeCtrl::OnKeyUp(nChar, nRepCnt, nFlags);
}

void CRecoveryTreeCtrl::OnRButtonDown(UINT, CPoint point)
{
    HTREEITEM item = HitTest(point);
    // The root has no menu under the mouse.
    if (item == NULL || GetParentItem(item) == NULL)
        return;
    CPoint screen = point;
    ClientToScreen(&screen);
    ShowContextMenu(item, screen);
}

void CRecoveryTreeCtrl::ShowContextMenu(HTREEITEM item, CPoint screenPoint)
{
    SelectItem(item);
    SetFocus();
    CMenu menu;
    if (!menu.LoadMenu(IDR_RECOVERY_TREE_MENU))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (pPopup == NULL || !m_contextMenuTracker)
        return;
    if (ScanSelection.scanKind == kScanFileTrace) {
        for (UINT command : {32785u, 32787u, static_cast<UINT>(ID_TREE_PROPERTIES)})
            pPopup->DeleteMenu(command, MF_BYCOMMAND);
    }
    const int command = m_contextMenuTracker(pPopup, screenPoint.x, screenPoint.y);
    switch (command) {
    case 0:
        break;
    case 32782:
    case 59410:
    case 59411:
        if (m_pList != NULL) {
            const DWORD through = command == 32782 ? LVS_LIST : command == 59410 ? LVS_REPORT : LVS_SMALLICON;
            const DWORD target = command == 32782 ? LVS_SMALLICON : command == 59410 ? LVS_LIST : LVS_REPORT;
            m_pList->SwitchViewStyle(target, through);
        }
        break;
    default:
        if (m_commandHandler)
            m_commandHandler(static_cast<UINT>(command), item);
        break;
    }
}

LRESULT CRecoveryTreeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (AnswerRunOnWindowThread(message, lParam))
        return 0;
    return CTreeCtrl::WindowProc(message, wParam, lParam);
}

BOOL CRecoveryTreeCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_NOTIFY && pResult != NULL &&
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        auto* pDraw = reinterpret_cast<NMTVCUSTOMDRAW*>(lParam);
        *pResult = CDRF_DODEFAULT;
        if (pDraw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            *pResult = CDRF_NOTIFYITEMDRAW;
        } else if (pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            HTREEITEM item = reinterpret_cast<HTREEITEM>(pDraw->nmcd.dwItemSpec);
            const COLORREF colour = GetItemColour(item);
            // A selected or drop-highlighted item keeps the highlight only while the tree has the focus;
            // otherwise its colour stands on the window's background like the other items.
            const bool highlighted = (pDraw->nmcd.uItemState & CDIS_SELECTED) != 0 ||
                                     (GetItemState(item, TVIS_DROPHILITED) & TVIS_DROPHILITED) != 0;
            if (colour != CLR_NONE && !(highlighted && ::GetFocus() == m_hWnd)) {
                pDraw->clrText = colour;
                pDraw->clrTextBk = ::GetSysColor(COLOR_WINDOW);
            }
        }
        return TRUE;
    }
    return CTreeCtrl::OnChildNotify(message, wParam, lParam, pResult);
}
