#pragma once

// What the drive step and the source tree ask of the partition step (view 2): its information panel,
// its partition tree and its buttons. The partition step fills these when it creates its panel; an empty
// hook does nothing, so the drive step works before and without it.
#include <afxwin.h>

#include <functional>

class CSourceTreeCtrl;

struct PartitionPanelHooksBlock
{
    // Panel: the partition captions with their values cleared; show partition `index` of device `device`
    // (ShowPartitionInfo); the counter captions while a scan runs; the hint line; the caption ("Partition
    // Information" or "Selected Drive Information"); the volume information of the selected logical drive.
    std::function<void()> clearPartitionValues;
    std::function<void(int device, int index)> showPartitionInfo;
    std::function<void()> setCounterCaptions;
    std::function<void(const CString& text)> setHint;
    std::function<void(const CString& text)> setCaption;
    std::function<void()> showVolumeInfo;
    // The range controls: all of them, none, or only the file-system choice.
    std::function<void(bool show)> showRangeControls;
    std::function<void()> showFileSystemChoiceOnly;
    std::function<void()> invalidatePanel;
    // The step: show the partition tree or hide it, both splitter panes or only the second one; show
    // Scan and Back and enable Home when the search has ended.
    std::function<void(bool show)> showPartitionTree;
    std::function<void(bool both)> showSplitterPanes;
    std::function<void()> showScanAndBack;
    // Enter in the partition tree: the step's Scan.
    std::function<void()> runScan;
};

extern PartitionPanelHooksBlock PartitionPanelHooks;

template <typename Hook, typename... Args> void CallHook(const Hook& hook, Args&&... args)
{
    if (hook)
        hook(std::forward<Args>(args)...);
}

// The partition step's tree (window 162), made by the partition step; null before.
CSourceTreeCtrl* PartitionTree();
void SetPartitionTree(CSourceTreeCtrl* pTree);
