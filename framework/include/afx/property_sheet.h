// CPropertySheet and CPropertyPage: tabbed dialogs over the system's property sheet. The sheet is
// always created modeless by the system; DoModal disables the owner and runs the framework's modal
// loop over it, so PreTranslateMessage, WM_KICKIDLE and the thread's handlers work as in dialogs.
// The sheet window and every page window are framework objects from their first message: the
// sheet's map sees WM_COMMAND (update handlers first) before the system's sheet does, and a page's
// map and data exchange run from its OnInitDialog on. The sheet's notifications to its pages
// (PSN_SETACTIVE, PSN_KILLACTIVE, PSN_APPLY, PSN_RESET, PSN_QUERYCANCEL) call the page's
// virtual functions. Wizard mode and the help button are not supported.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "afx/common_controls.h"
#include "afx/dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    // The page's dialog template (found through AfxFindResourceHandle, so it may come from another
    // module); the tab shows the caption string when one is given, else the template's caption.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
    void Construct(UINT nIDTemplate, UINT nIDCaption = 0);
    void Construct(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);

    // What the sheet gives the system for this page; filled when the sheet takes the page.
    PROPSHEETPAGE m_psp;

    // Enables (or disables) the sheet's Apply button for this page.
    void SetModified(BOOL bChanged = TRUE);
    // Turns the sheet's Cancel button into a Close button after a change that cannot be undone.
    void CancelToClose();
    // The sheet that holds the page; null before the page window exists.
    CPropertySheet* GetSheet() const;

    // The page becomes active: TRUE to accept. After the first time the controls are refilled
    // from the members (UpdateData(FALSE)).
    virtual BOOL OnSetActive();
    // The page is left (another tab, OK or Apply): the members are taken from the controls
    // (UpdateData(TRUE)); FALSE keeps the page.
    virtual BOOL OnKillActive();
    // Apply or OK for a created page: OnOK, then TRUE; FALSE keeps the sheet open.
    virtual BOOL OnApply();
    // Cancel for a created page: OnCancel.
    virtual void OnReset();
    // Cancel was pressed while the page is active: FALSE keeps the sheet open.
    virtual BOOL OnQueryCancel();
    // A page does not end a dialog: both do nothing unless overridden.
    void OnOK() override;
    void OnCancel() override;

    // Keyboard navigation belongs to the sheet (its dialog message handling spans every page).
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    CString m_strCaption;
    BOOL m_bFirstSetActive;

private:
    friend class CPropertySheet;
    // Fills m_psp with the page's template and callbacks; FALSE when the template is missing.
    BOOL PreparePage();
};

class CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
    ~CPropertySheet() override;
    void Construct(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
    void Construct(LPCTSTR pszCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);

    // The header given to the system; callers may add flags (PSH_NOAPPLYNOW, ...) before creation.
    PROPSHEETHEADER m_psh;

    // Pages stay the caller's; a page added while the sheet is shown gets its tab at once.
    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    // Before creation this chooses the first page; afterwards the active page's OnKillActive may
    // refuse (FALSE).
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    // nStyle PSH_PROPTITLE makes the title "Properties for <text>".
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
    CTabCtrl* GetTabControl() const;
    // PSBTN_OK, PSBTN_CANCEL, PSBTN_APPLYNOW, ... as if the user pressed it.
    BOOL PressButton(int nButton);
    // Ends a modal sheet with nEndID, or destroys a modeless one, without asking the pages.
    void EndDialog(int nEndID);

    // IDOK after OK, IDCANCEL after Cancel (or closing), -1 when the sheet could not be created.
    virtual INT_PTR DoModal();
    // Modeless; dwStyle -1 gives a visible popup with caption, system menu and dialog frame.
    virtual BOOL Create(CWnd* pParentWnd = NULL, DWORD dwStyle = static_cast<DWORD>(-1), DWORD dwExStyle = 0);
    // Called after the system has set the sheet up (its first page exists).
    virtual BOOL OnInitDialog();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The modal run also ends when the system's sheet has finished (OK or Cancel).
    BOOL ContinueModal() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    // Idle time of the modal loop: the active page gets WM_KICKIDLE.
    afx_msg LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    std::vector<CPropertyPage*> m_pages;
    CString m_strCaption;
    CWnd* m_pParentWnd;
    BOOL m_bModeless;

private:
    friend int CALLBACK AfxPropertySheetCallback(HWND, UINT, LPARAM);
    BOOL CreateSheet(HWND hWndParent, DWORD dwStyle, DWORD dwExStyle);
    // A modeless sheet whose OK or Cancel has run is an empty frame: it goes.
    void DestroyIfFinished();
    DWORD m_dwCreateStyle;
    DWORD m_dwCreateExStyle;
};
