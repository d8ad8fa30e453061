#pragma once

// The wizard's last step, the recovered files: the recovered-items tree on the left, the result list top
// right and the preview pane below it, in two splitter bars, with Save, Back and Home along the bottom.
// The view reaches the application only through ResultsHost.
#include <afxcmn.h>
#include <afxwin.h>

#include "engine/recovery/core/engine_ui.h"
#include "header_ctrl.h"
#include "hover_buttons.h"
#include "recovery_tree_ctrl.h"
#include "result_list_ctrl.h"
#include "splitter_bar.h"

#include <cstdint>
#include <span>
#include <string>

struct ResultColumn;
class CMainPreviewView;
class ResultsHost;

class CThirdView_HDD : public CView, public ResultsViewUi
{
    DECLARE_DYNCREATE(CThirdView_HDD)
public:
    CThirdView_HDD();
    ~CThirdView_HDD() override;

    // Set by the application once the view exists.
    void SetHost(ResultsHost* pHost) { m_pHost = pHost; }
    // Hands the engine the result list and this view (done at creation; again after the engine's state
    // was reset).
    void AttachEngineSide();

    // The list's columns replaced by those given, all left-aligned.
    void SetResultColumns(std::span<const ResultColumn> columns);
    int GetResultColumnCount();

    // Shows and enables Save, Back and Home and lays them out again: the end of a scan.
    void ShowCommandButtons();

    // A header click on `column`: ascending when it is a new column, else the other direction; folders
    // and the up entry stay on top.
    void SortByColumn(int column);
    int GetSortColumn() const { return m_sortColumn; }
    // New rows come in the scan's order: no column is sorted and the header shows no arrow.
    void ForgetSortOrder();
    bool IsSortAscending() const { return m_sortAscending != 0; }

    // Save: the please-wait box while the marks are prepared, then the check that something is marked and
    // the target folder.
    void OnSave();
    // The second half of Save, once the folders to save are known: the check that something is marked,
    // then the target folder.
    void ContinueSave();
    void OnBack();
    void OnHome();
    // The folder becomes the target and the saving dialog runs over the marks prepared for the save;
    // afterwards the tree's root and everything below it are unchecked and the list's boxes refreshed.
    void SaveIntoFolder(const CString& folder);
    // Runs on the please-wait box's worker: every marked folder becomes a folder to save.
    void PrepareSaveSelection();
    // The files marked one by one: every marked file except those of a folder saved whole, which the
    // folder's save writes under its path.
    void PrepareSaveFiles();

    // ResultsViewUi
    void SetSelectedSizeText(const char16_t* text) override;
    std::u16string GetTargetFolder() override;
    void SetCurrentFolderItem(TreeItemValue item) override;
    std::u16string BrowseForFolder(const char16_t* title) override;

    CResultListCtrl& ResultList() { return *m_pList; }
    // The list, or null before the view has made it.
    CResultListCtrl* FindResultList() const { return m_pList; }
    CRecoveryTreeCtrl& RecoveryTree() { return m_tree; }
    CWnd& SaveButton() { return m_saveButton; }
    CWnd& BackButton() { return m_backButton; }
    CWnd& HomeButton() { return m_homeButton; }
    // The preview host below the list; made with the view.
    CMainPreviewView& PreviewPane() { return *m_pPreviewHost; }
    TreeItemValue GetCurrentFolderItem() const { return m_currentFolderItem; }
    const CString& GetSelectedSizeText() const { return m_selectedSizeText; }

    void BeginWaitCursor();
    void EndWaitCursor();

protected:
    void OnDraw(CDC* pDC) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnSaveCommand();
    afx_msg void OnBackCommand();
    afx_msg void OnHomeCommand();
    DECLARE_MESSAGE_MAP()

private:
    // The preview host, made by the frame as a view of its active document; the inner splitter bar then
    // adopts it.
    bool CreatePreviewHost();
    bool CreateButton(CToolButton& button, UINT id, UINT normal, UINT hover, LPCWSTR tooltip);
    // Empties the tree, the list's rows and its marking maps.
    void EmptyResults();
    // After a sort: the up entry, on top, shows its name alone.
    void ClearParentEntryColumns();
    void PaintBackground(CDC* pDC, const CRect& client);

    ResultsHost* m_pHost = NULL;
    CFont m_labelFont;
    CStatic m_labels[3];
    CRecoveryTreeCtrl m_tree;
    CSplitterBar m_outerSplitter;
    CSplitterBar m_innerSplitter;
    CResultListCtrl* m_pList = NULL;
    CBrush m_whiteBrush;
    BOOL m_bWaitCursor = FALSE;
    // The Tab ring: tree, Save, Back, and a fourth place that is never reached.
    int m_focusRing[4] = {1, 0, 0, 0};
    CToolButton m_saveButton;
    CToolButton m_backButton;
    CToolButton m_homeButton;
    CXTHeaderCtrl m_header;
    CMainPreviewView* m_pPreviewHost = NULL;
    int m_sortColumn = 1;
    std::uint8_t m_sortAscending = 1;
    CRect m_backRect;
    CRect m_homeRect;

    CString m_targetFolder;
    CString m_selectedSizeText;
    TreeItemValue m_currentFolderItem = 0;
};
