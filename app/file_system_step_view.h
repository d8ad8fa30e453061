#pragma once

// View 3, the file-system step, reached after an Extensive Scan: the file systems the scan found under
// "File System" in a tree on the left (CPartitionTreeCtrl, which the engine's completion steps fill
// through PartitionTreeUi), the chosen one's values in the panel on the right (CFileSystemForm), and
// Next, which parses the chosen volume on the worker (FileSystemScanThread); timer 1 moves on to the
// results when the worker has ended.
#include <afxcmn.h>
#include <afxwin.h>

#include <cstdint>

#include "engine/recovery/core/engine_ui.h"
#include "hover_buttons.h"
#include "splitter_bar.h"
#include "wizard_views.h"

class CFileSystemForm;

inline constexpr wchar_t kChooseFileSystemText[] =
    L"Please select a File System from the left panel and then click [Next] to continue with recovery.";
inline constexpr wchar_t kStopFileSystemQuestion[] = L"Do you want to stop file searching ?";

// The text of a file system's size: (end - start) / 2048 " MB", "Unknown" when the end is 0 or lies
// before the start.
CString FileSystemSizeText(std::uint32_t start, std::uint32_t end);

// The tree of found file systems. Its PartitionTreeUi methods are called by the Extensive Scan's
// worker; each one is a single window call that Windows hands to the tree's thread.
class CPartitionTreeCtrl : public CTreeCtrl, public PartitionTreeUi
{
public:
    TreeItemValue InsertItemWithIcon(const char16_t* text, TreeItemValue parent) override;
    TreeItemValue AddItem(const char16_t* label, TreeItemValue parent) override;
    TreeItemValue GetRootItem() override;
    void Expand(TreeItemValue item) override;

    // What a click on the item chooses: the root shows the partition's captions; a volume gives its
    // values to VolumeParams and the panel.
    void OnSelectFileSystem(HTREEITEM hItem);

    CFileSystemForm* m_pPanel = NULL;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};

class CFileSystemView : public CWizardStepView
{
    DECLARE_DYNCREATE(CFileSystemView)
public:
    CFileSystemView();
    ~CFileSystemView() override;

    afx_msg void OnNext();
    afx_msg void OnBack();
    afx_msg void OnHome();
    afx_msg void OnStop();

    // Before an Extensive Scan: an empty tree and a panel with the captions of the scan's file system,
    // attached to the engine.
    void PrepareForScan();
    // Next, Back and Home live, the tree enabled, no progress: the user chooses a volume. Busy: Stop alone
    // live while the volume is parsed. Left: the volumes, their values and the engine's lists gone.
    void ShowForChoosing();
    void ShowBusy();
    void Leave();

    CPartitionTreeCtrl& GetTree() { return m_tree; }
    CFileSystemForm* GetPanel() const { return m_pPanel; }
    CToolButton& GetStopButton() { return m_stopButton; }
    CToolButton& GetNextButton() { return m_nextButton; }
    BOOL IsScanning() const { return m_bScanning; }

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    StepRow GetStepRow() override;
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    void ShowStepButtons(BOOL bShow);

    CPartitionTreeCtrl m_tree;
    CSplitterBar m_splitter;
    CToolButton m_nextButton;
    CToolButton m_backButton;
    CToolButton m_stopButton;
    CToolButton m_homeButton;
    CFileSystemForm* m_pPanel = NULL;
    CFont m_viewFont;
    BOOL m_bScanning = FALSE;
};
