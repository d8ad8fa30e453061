#pragma once

// The program's one top-level window: menu bar, toolbar, banner theme and support link, the commands of
// the frame and the flags that enable them, the disk-image readers of the whole run, and the confirmed
// exit that ends the process.
#include <afxext.h>

#include "caption.h"
#include "docking_pane_manager.h"
#include "engine_message_ui.h"
#include "engine_shell_ui.h"
#include "frame_wnd.h"
#include "link_status_bar.h"
#include "preview_hand_over.h"
#include "rebar.h"
#include "task_panel.h"
#include "toolkit/controls/hyperlink.h"
#include "window_placement.h"

#include <cstdint>

class CImageSource;
class CVmdkSparseExtent;

// The flags of the frame that the enabling rules read.
struct FrameCommandFlags
{
    std::int32_t results = 0;
    std::int32_t extensiveResults = 0;
    std::int32_t loadSnapshot = 0;
    std::int32_t open = 1;
};

enum class CommandState
{
    Disabled,
    Enabled,
    // The update handler leaves the command as it is.
    Unchanged,
};

// The results view's selected folder listed again with the current file filters (FAT and NTFS results).
void RelistResultsFolder();

// The enabling rule of a frame command in a scan mode.
CommandState FrameCommandState(UINT nID, std::uint32_t scanKind, const FrameCommandFlags& flags);

class CMainFrame : public CXTPFrameWnd, public CPreviewHandOver
{
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // kind 2: the VMDK reader; kind 0: the image source.
    BOOL HasImageReader(int kind) const;
    CImageSource* EnsureImageReaders();
    void EnableOpenCommand(int value) { m_flags.open = value; }
    // Restores the placement saved at the last exit, when there is one, and shows the window.
    void RestorePlacementAndShow();
    // Asks before closing; on Yes stops a running scan, saves the bars and the placement and ends the
    // process. 0: stay.
    BOOL ConfirmExit();
    // How ConfirmExit ends the process: terminates it with code 0. Tests replace it.
    void (*m_pfnEndProcess)() = EndOwnProcess;
    static void EndOwnProcess();
    // Hands the engine the frame's readers, its message dialogs and the shell of the wizard.
    void AttachEngineSeams();
    CWizardShellUi& ShellUi() { return m_shellUi; }
    // The results list hands the pane a file: the pane becomes the active view, closes its views and
    // dispatches the path by its extension (with the leading ".").
    void ShowPreview(CString strPath, CString strExtension);
    // The Recovery Settings dialog, modal; OK stores the values, Cancel leaves them.
    void RunSettingsDialog();
    CString& PreviewPath() override;
    void FocusResultsList() override;
    HIMAGELIST ResultsSmallImageList() override;
    UINT ScanMode() override;
    HWND OpenProgress() override;
    void CloseProgress() override;
    // The Access preview's two views are the document's; the database it opens is the document's too.
    void RegisterDatabaseView(CView* pView) override;
    BOOL OpenDatabase(const CString& path) override;
    void ReportDatabaseError(const CDaoException& exception) override;
    // The thumbnails' pictures are the document's.
    void CollectImages(const CString& folder) override;
    CString ImageFolder() override;
    std::vector<CString> ImageNames() override;
    void DeleteFolderFiles(const CString& folder) override;

    CImageSource* m_pImageSource = NULL;
    CVmdkSparseExtent* m_pVmdkExtent = NULL;
    HCURSOR m_hHandCursor = NULL;
    CView* m_pHomeView = NULL;
    CView* m_pPreviewView = NULL;
    FrameCommandFlags m_flags;
    // Step flags of the drive and partition steps; a partition may be chosen while the selection flag is
    // set.
    std::int32_t m_nDriveStepCurrent = 1;
    std::int32_t m_nPartitionStepCurrent = 0;
    std::int32_t m_nPartitionSelection = 1;
    // The source tree's selected item: its text and its position index (-1 none or the root).
    CString m_strSelectedItem;
    std::int32_t m_nSelectedSource = -1;
    // The drive step's panel and the partition step's panel, registered by the panels themselves.
    CWnd* m_pDrivePanel = NULL;
    CWnd* m_pPartitionPanel = NULL;
    CXTWindowPlacement m_placement;
    CImageList m_commandIcons;
    CLinkStatusBar m_wndStatusBar;
    // The frame holds a pane manager and a task panel that stay empty: neither is installed nor created.
    CXTPDockingPaneManager m_paneManager;
    CXTPTaskPanel m_wndTaskPanel;
    // Members of the toolkit that the frame holds but never shows.
    CXTCaption m_caption;
    CXTHyperLink m_hyperLink;
    CXTPReBar m_reBar;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClose();
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);

    afx_msg void OnOpen();
    afx_msg void OnRecoverSelected();
    afx_msg void OnSaveSnapshot();
    afx_msg void OnLoadSnapshot();
    afx_msg void OnExit();
    afx_msg void OnViewIcons();
    afx_msg void OnViewList();
    afx_msg void OnViewDetails();
    afx_msg void OnFindFiles();
    afx_msg void OnFileFilters();
    afx_msg void OnSettings();
    afx_msg void OnDriveInformation();
    afx_msg void OnHelp();
    afx_msg void OnIdleCommand();
    afx_msg void OnUpdateFrameCommand(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateCommandBars();
    void WriteExcelBrowserFlags();
    void SaveState();

    CEngineMessageUi m_messageUi;
    CWizardShellUi m_shellUi;
};

// The frame's minimum tracking size.
inline constexpr int kMainFrameMinWidth = 875;
inline constexpr int kMainFrameMinHeight = 690;
