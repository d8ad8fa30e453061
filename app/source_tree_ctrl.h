#pragma once

// The tree on the left of the drive step (window 156) and, as the same class, the partition tree of the
// partition step (window 162). The drive step lists "My Computer" > "Physical Devices" > "Virtual Machine
// Disk "; the partition search adds "Partition n" items under "Virtual Hard Disk " in the partition step's
// tree. Items carry check-box state images (1 unchecked, 2 checked); group items are bold.
//
// Selecting an item (click, key up, or SelectItemAndNotify) runs OnItemSelected: it records the item in
// the main frame, decides the source kind and fills the drive panel or the partition panel. The panels
// are reached through the hooks below, so that the partition step can give its own panel.
#include <afxcmn.h>

#include <functional>

inline constexpr UINT kDriveSourceTree = 156;
inline constexpr UINT kPartitionSourceTree = 162;
// The drive step's Next, which Enter in the tree runs.
inline constexpr UINT kDriveStepNextCommand = 159;

inline constexpr wchar_t kTreeRootText[] = L"My Computer";
inline constexpr wchar_t kPhysicalDevicesText[] = L"Physical Devices";
inline constexpr wchar_t kLogicalDevicesText[] = L"Logical Devices";
inline constexpr wchar_t kVirtualDiskItemText[] = L"Virtual Machine Disk ";
inline constexpr wchar_t kVirtualHardDiskGroupText[] = L"Virtual Hard Disk ";

// What a selection in the tree asks of the drive step's panel; each hook may be empty. The partition
// panel is reached through PartitionPanelHooks (partition_panel_hooks.h).
struct SourceTreeHooks
{
    // Show device n (negative hides the details), its partition chart, the details hidden, the drive
    // captions (or the volume captions), a logical drive of the engine's table.
    std::function<void(int device)> showDriveInfo;
    std::function<void()> showPartitionChart;
    std::function<void()> hideDriveDetails;
    std::function<void(bool volumeCaptions)> setDriveCaptions;
    std::function<void(int drive)> showLogicalDriveInfo;
};

class CSourceTreeCtrl : public CTreeCtrl
{
    DECLARE_DYNAMIC(CSourceTreeCtrl)
public:
    CSourceTreeCtrl();
    ~CSourceTreeCtrl() override;

    // The image list of the tree's icons and the cursors.
    void Init();
    // Components separated by "\"; each one before a separator is found or inserted under the previous
    // item (the root for the first). The same path twice adds nothing.
    void AddPath(const CString& path);
    // Finds or inserts the item with this text under the parent (TVI_ROOT for the top).
    HTREEITEM InsertItemWithIcon(const CString& text, HTREEITEM hParent);
    // Finds or adds the group at the root, adds the text under it, marks the group checked and bold.
    HTREEITEM AddGroupItem(const CString& group, const CString& text);
    void ExpandRoot();
    // -1 for the root, -2 for no item, else the number of visible items above the item minus 1.
    int GetItemIndex(HTREEITEM hItem) const;
    // The selection handler; returns the item's text.
    CString OnItemSelected(HTREEITEM hItem);
    // Makes the item the caret item and runs the selection handler, as a click on it does.
    void SelectItemAndNotify(HTREEITEM hItem);

    // Check state: 1 checks the item and its children, 0 unchecks them; the ancestors follow.
    void SetCheck(HTREEITEM hItem, int state);
    BOOL IsChecked(HTREEITEM hItem) const;
    int CountChecked() const;

    SourceTreeHooks m_hooks;
    // A static whose text becomes "%d Selected Folder(s)"; none in this program.
    CWnd* m_pStatusText = NULL;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnKeyDownNotify(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    HTREEITEM FindChild(HTREEITEM hParent, const CString& text) const;
    void SetItemCheckState(HTREEITEM hItem, int state);
    void UpdateAncestors(HTREEITEM hItem);
    void RefreshChecks();
    void UpdateStatusText();

    CImageList m_images;
    CImageList m_stateImages;
    HCURSOR m_hButtonCursor = NULL;
    HCURSOR m_hItemCursor = NULL;
};
