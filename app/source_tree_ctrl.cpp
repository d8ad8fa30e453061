#include "source_tree_ctrl.h"

#include <algorithm>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/partitions/partition_search.h"
#include "home_view.h"
#include "main_frame.h"
#include "mode_summaries.h"
#include "partition_panel_hooks.h"
#include "recovery_app.h"
#include "resource.h"
#include "virtual_drive.h"

IMPLEMENT_DYNAMIC(CSourceTreeCtrl, CTreeCtrl)

// clang-format off
BEGIN_MESSAGE_MAP(CSourceTreeCtrl, CTreeCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYUP()
    ON_WM_SETCURSOR()
    ON_NOTIFY_REFLECT(TVN_KEYDOWN, OnKeyDownNotify)
END_MESSAGE_MAP()
// clang-format on

namespace {

constexpr UINT kStateUnchecked = 1;
constexpr UINT kStateChecked = 2;

// Slots of the tree's image list.
constexpr int kIconComputer = 0;
constexpr int kIconFolder = 1;
constexpr int kIconRemovable = 3;
constexpr int kIconFloppy = 4;
constexpr int kIconFixed = 5;
constexpr int kIconCdRom = 2;
constexpr int kIconPartition = 6;

CMainFrame* Frame()
{
    return DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
}

// The icon of an item directly under the root follows the drive type its text names.
int RootIconOf(const CString& text)
{
    if (text.GetLength() < 2 || text[1] != L':')
        return kIconComputer;
    CString root = text.Left(2) + L"\\";
    switch (::GetDriveTypeW(root)) {
    case DRIVE_CDROM:
        return kIconCdRom;
    case DRIVE_REMOVABLE:
        return text[0] == L'A' ? kIconFloppy : kIconRemovable;
    case DRIVE_FIXED:
        return kIconFixed;
    default:
        return kIconComputer;
    }
}

} // namespace

CSourceTreeCtrl::CSourceTreeCtrl() = default;
CSourceTreeCtrl::~CSourceTreeCtrl() = default;

void CSourceTreeCtrl::Init()
{
    if (m_images.GetSafeHandle() == NULL) {
        m_images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 8, 0);
        const UINT icons[] = {IDI_TREE_COMPUTER, IDI_TREE_FOLDER, IDI_TREE_CDROM,    IDI_TREE_REMOVABLE,
                              IDI_TREE_FLOPPY,   IDI_TREE_FIXED,  IDI_TREE_PARTITION};
        for (UINT id : icons) {
            HICON icon = static_cast<HICON>(
                ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
            m_images.Add(icon);
            if (icon != NULL)
                ::DestroyIcon(icon);
        }
    }
    SetImageList(&m_images, TVSIL_NORMAL);
    // The check boxes are the system's own state images: 1 unchecked, 2 checked.
    ModifyStyle(0, TVS_CHECKBOXES);
    m_hButtonCursor = ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_TREE_BUTTON));
    m_hItemCursor = ::LoadCursorW(NULL, IDC_ARROW);
}

HTREEITEM CSourceTreeCtrl::FindChild(HTREEITEM hParent, const CString& text) const
{
    HTREEITEM hChild = hParent == TVI_ROOT || hParent == NULL ? GetRootItem() : GetChildItem(hParent);
    for (; hChild != NULL; hChild = GetNextSiblingItem(hChild)) {
        if (GetItemText(hChild) == text)
            return hChild;
    }
    return NULL;
}

HTREEITEM CSourceTreeCtrl::InsertItemWithIcon(const CString& text, HTREEITEM hParent)
{
    if (HTREEITEM hFound = FindChild(hParent, text))
        return hFound;
    const int icon = hParent == TVI_ROOT ? RootIconOf(text) : kIconFolder;
    HTREEITEM hItem = InsertItem(text, icon, icon, hParent);
    SetItemCheckState(hItem, kStateUnchecked);
    return hItem;
}

void CSourceTreeCtrl::AddPath(const CString& path)
{
    HTREEITEM hParent = TVI_ROOT;
    int start = 0;
    for (int separator = path.Find(L'\\'); separator >= 0; separator = path.Find(L'\\', start)) {
        const CString component = path.Mid(start, separator - start);
        hParent = InsertItemWithIcon(component, hParent);
        start = separator + 1;
    }
    RefreshChecks();
}

HTREEITEM CSourceTreeCtrl::AddGroupItem(const CString& group, const CString& text)
{
    HTREEITEM hGroup = FindChild(TVI_ROOT, group);
    if (hGroup == NULL) {
        hGroup = InsertItem(group, kIconFixed, kIconFixed, TVI_ROOT);
    }
    HTREEITEM hItem = InsertItem(text, kIconPartition, kIconPartition, hGroup);
    SetItemCheckState(hItem, kStateUnchecked);
    SetItemCheckState(hGroup, kStateChecked);
    SetItemState(hGroup, TVIS_BOLD, TVIS_BOLD);
    return hItem;
}

void CSourceTreeCtrl::ExpandRoot()
{
    if (HTREEITEM hRoot = GetRootItem())
        Expand(hRoot, TVE_EXPAND);
}

int CSourceTreeCtrl::GetItemIndex(HTREEITEM hItem) const
{
    if (hItem == NULL)
        return -2;
    if (hItem == GetRootItem())
        return -1;
    // Items of collapsed branches are not counted: only what the user sees above the item.
    int count = 0;
    for (HTREEITEM hAbove = GetPrevVisibleItem(hItem); hAbove != NULL; hAbove = GetPrevVisibleItem(hAbove))
        ++count;
    return count - 1;
}

void CSourceTreeCtrl::SetItemCheckState(HTREEITEM hItem, int state)
{
    if (hItem != NULL)
        SetItemState(hItem, INDEXTOSTATEIMAGEMASK(state), TVIS_STATEIMAGEMASK);
}

BOOL CSourceTreeCtrl::IsChecked(HTREEITEM hItem) const
{
    return hItem != NULL && (GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12) == kStateChecked;
}

void CSourceTreeCtrl::SetCheck(HTREEITEM hItem, int state)
{
    if (hItem == NULL)
        return;
    SetItemCheckState(hItem, state != 0 ? kStateChecked : kStateUnchecked);
    SetItemState(hItem, state != 0 ? TVIS_BOLD : 0, TVIS_BOLD);
    for (HTREEITEM hChild = GetChildItem(hItem); hChild != NULL; hChild = GetNextSiblingItem(hChild)) {
        SetCheck(hChild, state);
        if (state != 0)
            Expand(hChild, TVE_EXPAND);
    }
    UpdateAncestors(hItem);
    UpdateStatusText();
}

void CSourceTreeCtrl::UpdateAncestors(HTREEITEM hItem)
{
    for (HTREEITEM hParent = GetParentItem(hItem); hParent != NULL; hParent = GetParentItem(hParent)) {
        bool allChecked = true;
        bool anyBold = false;
        for (HTREEITEM hChild = GetChildItem(hParent); hChild != NULL; hChild = GetNextSiblingItem(hChild)) {
            allChecked = allChecked && IsChecked(hChild);
            anyBold = anyBold || (GetItemState(hChild, TVIS_BOLD) & TVIS_BOLD) != 0;
        }
        SetItemCheckState(hParent, allChecked ? kStateChecked : kStateUnchecked);
        SetItemState(hParent, anyBold ? TVIS_BOLD : 0, TVIS_BOLD);
    }
}

void CSourceTreeCtrl::RefreshChecks()
{
    // Leaves first: every item with children is recomputed from them, deepest last visited first.
    struct Walker
    {
        CSourceTreeCtrl& tree;
        void Visit(HTREEITEM hItem)
        {
            for (; hItem != NULL; hItem = tree.GetNextSiblingItem(hItem)) {
                HTREEITEM hChild = tree.GetChildItem(hItem);
                if (hChild != NULL) {
                    Visit(hChild);
                    tree.UpdateAncestors(hChild);
                }
            }
        }
    };
    Walker{*this}.Visit(GetRootItem());
    UpdateStatusText();
}

int CSourceTreeCtrl::CountChecked() const
{
    int count = 0;
    struct Walker
    {
        const CSourceTreeCtrl& tree;
        int& count;
        void Visit(HTREEITEM hItem)
        {
            for (; hItem != NULL; hItem = tree.GetNextSiblingItem(hItem)) {
                if (tree.IsChecked(hItem))
                    ++count;
                Visit(tree.GetChildItem(hItem));
            }
        }
    };
    Walker{*this, count}.Visit(GetRootItem());
    return count;
}

void CSourceTreeCtrl::UpdateStatusText()
{
    if (m_pStatusText == NULL || m_pStatusText->GetSafeHwnd() == NULL)
        return;
    CString text;
    text.Format(L"%d Selected Folder(s)", CountChecked());
    m_pStatusText->SetWindowText(text);
}

CString CSourceTreeCtrl::OnItemSelected(HTREEITEM hItem)
{
    CMainFrame* pFrame = Frame();
    const CString text = hItem != NULL ? GetItemText(hItem) : CString();
    const int index = GetItemIndex(hItem);
    const bool driveStep = pFrame != NULL && pFrame->m_nDriveStepCurrent != 0;
    const bool partitionStep = pFrame != NULL && pFrame->m_nPartitionStepCurrent != 0;
    if (pFrame != NULL) {
        pFrame->m_strSelectedItem = text;
        pFrame->m_nSelectedSource = index;
    }
    if (index < 0 && driveStep) {
        CallHook(m_hooks.hideDriveDetails);
        SourceState.sourceKind = kSourceNone;
        ScanSelectionUi.modeSummary.Empty();
    }

    if (text == kPhysicalDevicesText || text == kLogicalDevicesText) {
        CallHook(m_hooks.setDriveCaptions, text == kLogicalDevicesText);
        CallHook(m_hooks.hideDriveDetails);
        SourceState.sourceKind = kSourceNone;
        ScanSelectionUi.modeSummary.Empty();
    } else if (text == kVirtualHardDiskGroupText) {
        CallHook(PartitionPanelHooks.clearPartitionValues);
        CallHook(m_hooks.hideDriveDetails);
        if (ScanSelection.scanKind == kScanExtensive) {
            const std::uint32_t total = DriveTotalSectors(SourceState.deviceIndex);
            VolumeParams.scanFsCode = kFsNtfs;
            VolumeParams.rangeStart = 0;
            VolumeParams.driveIndex = 0;
            VolumeParams.rangeCount = total;
            VolumeParams.rangeEnd = total;
            CallHook(PartitionPanelHooks.showPartitionInfo, static_cast<int>(SourceState.deviceIndex), 0);
        }
    }

    HTREEITEM hParent = hItem != NULL ? GetParentItem(hItem) : NULL;
    const CString parentText = hParent != NULL ? GetItemText(hParent) : CString();
    if (parentText == kPhysicalDevicesText && driveStep) {
        CallHook(m_hooks.showDriveInfo, index - 1);
        SourceState.sourceKind = kSourceImageDevice;
        SourceState.deviceIndex = static_cast<std::uint16_t>(index < 1 ? 0 : index - 1);
        if (index >= 0) {
            // The device's name is only built: the chart reads the table through the image.
            CString deviceName;
            deviceName.Format(L"\\\\.\\PhysicalDrive%d", static_cast<int>(SourceState.deviceIndex));
            ParseMbrPartitions(0);
            CallHook(m_hooks.showPartitionChart);
        }
    } else if (parentText.Find(kLogicalDevicesText) >= 0 && driveStep) {
        // The item ends with the drive's letter and colon ("Local Disk C:"): its root path finds the volume.
        CString root = text.Right(3);
        root.Trim();
        root += L"\\";
        const int entry = FindDriveEntryByRoot(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(root)));
        if (entry >= 0) {
            SourceState.sourceKind = kSourceLogicalVolume;
            VolumeParams.fsCode = DriveEntryTable.fsCodes[entry];
            VolumeParams.scanFsCode = DriveEntryTable.fsCodes[entry];
            // The volume's sectors from 0; the end is its last sector, as a partition's is.
            const auto count = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(DriveEntryTable.sectorCounts[entry], UINT32_MAX));
            VolumeParams.rangeStart = 0;
            VolumeParams.rangeCount = count;
            VolumeParams.rangeEnd = count == 0 ? 0 : count - 1;
            VolumeParams.driveIndex = static_cast<std::uint16_t>(entry);
            CallHook(m_hooks.showLogicalDriveInfo, entry);
        }
    } else if (parentText == kVirtualHardDiskGroupText && partitionStep) {
        if (pFrame->m_nPartitionSelection != 0) {
            if (index >= 0 && static_cast<std::uint32_t>(index) < partitionCount) {
                const PartitionEntry& entry = partitionTable[index];
                VolumeParams.fsCode = entry.fsCode;
                VolumeParams.scanFsCode = entry.fsCode;
                VolumeParams.rangeCount = entry.sectorCount;
                VolumeParams.rangeStart = entry.startSector;
                VolumeParams.rangeEnd =
                    entry.startSector + (entry.sectorCount == 0 ? 0 : entry.sectorCount - 1);
                VolumeParams.driveIndex = static_cast<std::uint16_t>(index);
            }
            CallHook(PartitionPanelHooks.showPartitionInfo, static_cast<int>(SourceState.deviceIndex), index);
        } else if (SourceState.deviceIndex < kMaxPartitions &&
                   (partitionTable[SourceState.deviceIndex].fsCode == kFsFat16 ||
                    partitionTable[SourceState.deviceIndex].fsCode == kFsFat32)) {
            CallHook(PartitionPanelHooks.setCounterCaptions);
        }
    }

    if (ScanSelection.scanKind == kScanQuick) {
        if (SourceState.sourceKind == kSourceImageDevice)
            ScanSelectionUi.modeSummary = kSummaryQuickImage;
        else if (SourceState.sourceKind == kSourceLogicalVolume)
            ScanSelectionUi.modeSummary = kSummaryQuickLogicalTree;
    } else if (ScanSelection.scanKind == kScanFileTrace) {
        if (SourceState.sourceKind == kSourceLogicalVolume)
            ScanSelectionUi.modeSummary = kSummaryTraceLogical;
        else if (SourceState.sourceKind == kSourceImageDevice)
            ScanSelectionUi.modeSummary = kSummaryTraceImage;
    }

    if (pFrame != NULL) {
        if (CView* pView = pFrame->GetActiveView())
            pView->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    return text;
}

void CSourceTreeCtrl::SelectItemAndNotify(HTREEITEM hItem)
{
    SelectItem(hItem);
    OnItemSelected(hItem);
}

void CSourceTreeCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    UINT flags = 0;
    HTREEITEM hItem = HitTest(point, &flags);
    if (hItem == NULL) {
        CTreeCtrl::OnLButtonDown(nFlags, point);
        return;
    }
    if (flags & TVHT_ONITEMSTATEICON) {
        SetCheck(hItem, IsChecked(hItem) ? 0 : 1);
        return;
    }
    if (flags & TVHT_ONITEMBUTTON) {
        Expand(hItem, TVE_TOGGLE);
        return;
    }
    SelectItem(hItem);
    SetFocus();
    OnItemSelected(hItem);
}

void CSourceTreeCtrl::OnRButtonDown(UINT, CPoint point)
{
    if (HTREEITEM hItem = HitTest(point)) {
        SelectItem(hItem);
        SetFocus();
    }
}

void CSourceTreeCtrl::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CTreeCtrl::OnKeyUp(nChar, nRepCnt, nFlags);
    OnItemSelected(GetSelectedItem());
}

BOOL CSourceTreeCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    UINT flags = 0;
    if (HitTest(point, &flags) != NULL) {
        HCURSOR cursor = (flags & TVHT_ONITEMBUTTON) ? m_hButtonCursor : m_hItemCursor;
        if (cursor != NULL) {
            ::SetCursor(cursor);
            return TRUE;
        }
    }
    return CTreeCtrl::OnSetCursor(pWnd, nHitTest, message);
}

void CSourceTreeCtrl::OnKeyDownNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* pKey = reinterpret_cast<const NMTVKEYDOWN*>(pNMHDR);
    CMainFrame* pFrame = Frame();
    if (pFrame == NULL || (pKey->wVKey != VK_TAB && pKey->wVKey != VK_RETURN))
        return;
    // The step that holds the tree: the drive step while its flag is set, else the partition step, else
    // the results view.
    CRecoveryApp* pApp = static_cast<CRecoveryApp*>(AfxGetApp());
    const UINT step = pFrame->m_nDriveStepCurrent != 0       ? kViewDrive
                      : pFrame->m_nPartitionStepCurrent != 0 ? kViewPartition
                                                             : kViewResults;
    CView* pView = pApp->GetView(step);
    if (pView == NULL)
        return;
    if (pKey->wVKey == VK_TAB) {
        pView->SetFocus();
        pView->SendMessage(WM_KEYDOWN, VK_TAB, 0);
    } else if (step == kViewDrive) {
        pView->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNextCommand, BN_CLICKED), 0);
    } else if (step == kViewPartition) {
        CallHook(PartitionPanelHooks.runScan);
    }
}
