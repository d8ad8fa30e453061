#pragma once

// "Find File(s)": finds the scan's files by a name pattern across the whole volume, lists each with the
// path of its folder, its size, times and ID, and saves the rows the user checks through the saving
// dialog. The search runs on a worker that hands each row to the dialog's thread, which inserts it.
//
// Stop Search asks "Do you want to stop file searching ?" while the worker runs on; Yes sets the flag the
// worker checks before each record, and the rows found so far stay. Escape and Cancel do nothing while a
// search runs; the close box clears FindDlgOpen first, as Cancel then does nothing either.
#include <afxcmn.h>
#include <afxwin.h>

#include "engine/recovery/listing/find_files.h"
#include "engine/recovery/listing/shell_file_info.h"
#include "hover_buttons.h"
#include "result_list_ctrl.h"
#include "skinned_dialog.h"
#include "transparent_controls.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct FoundFileRow;

// The pattern box: a one-pixel frame in the program's accent colour instead of the system's border.
class CFindEdit : public CEdit
{
protected:
    afx_msg void OnNcPaint();
    DECLARE_MESSAGE_MAP()
};

// The Find list: the result list's boxes, colours and hand cursor, without what the results view's list
// does on a click, a key or the right button (opening folders, previews, the tree's marks, its menu).
// A box is toggled by the control itself.
class CFindResultList : public CResultListCtrl
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CFindFileDlg : public CDialog
{
public:
    explicit CFindFileDlg(CWnd* pParent = NULL);
    ~CFindFileDlg() override;

    // The Find list's columns, in order.
    static constexpr int kColumnName = 0;
    static constexpr int kColumnPath = 1;
    static constexpr int kColumnSize = 2;
    static constexpr int kColumnCreated = 3;
    static constexpr int kColumnModified = 4;
    static constexpr int kColumnId = 5;

    CResultListCtrl& ResultList() { return m_list; }
    bool IsSearching() const { return m_searching; }
    // The ID column of every row whose box is set, top to bottom.
    std::vector<std::uint64_t> CheckedRowIds() const;
    // Whether Stop was answered Yes during the search that runs.
    bool StopRequested() const { return m_stop != 0; }

    // Tests only: called on the worker after each row has been handed over, with the number of rows so
    // far, so that a test can hold the search there.
    static inline std::function<void(int)> s_workerHook;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;     // Start Search, Enter
    void OnCancel() override; // Escape: only when no search runs
    afx_msg void OnStopSearch();
    afx_msg void OnSelectAll();
    afx_msg void OnSaveSelected();
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // A batch of found rows (a std::vector<FoundFileRow>) from the worker.
    afx_msg LRESULT OnFoundRow(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSearchEnded(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static UINT AFX_CDECL SearchThread(LPVOID pParam);
    // Start Search, Save Selected File, Select All and the list enabled while idle; Stop Search while a
    // search runs.
    void ShowSearching(bool searching);
    // Serves the worker's messages until it has returned, then forgets it.
    void WaitForSearch();
    void SetAllBoxes(bool checked);
    void ResetSelectAll();

    CShellFileInfo m_shell;
    CTransparentStatic m_status;
    CToolButton m_saveButton;
    CTransparentButtonCtrl m_selectAll;
    CToolButton m_stopButton;
    CToolButton m_startButton;
    CTransparentStatic m_labels[5];
    CFindResultList m_list;
    CFindEdit m_pattern;
    BOOL m_bSelectAll = FALSE;
    CDialogSkin m_skin;
    CBrush m_whiteBrush;
    CFont m_font;

    CWinThread* m_pWorker = NULL;
    std::u16string m_searchPattern;
    bool m_searching = false;
    std::atomic<int> m_stop{0};
};

// 1 while a Find File(s) dialog is open (the close box clears it early); the result list reads it.
extern std::uint32_t FindDlgOpen;
// The open dialog, whose list the Find save reads; null when none is open.
extern CFindFileDlg* ActiveFindDlg;
