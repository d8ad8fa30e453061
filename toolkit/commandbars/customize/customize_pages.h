// The pages of the customise sheet: toolbars (with the new-toolbar dialog), commands, keyboard and
// options. Each acts on the sheet's command bars at once; there is no Apply step.
#pragma once

#include <afxcmn.h>
#include <afxdlgs.h>
#include <afxext.h>
#include <afxwin.h>

#include <vector>

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;
class CXTPCustomizeSheet;
class CXTPToolBar;

// The dialog that names a new toolbar (and picks its id) or renames one.
class CXTPNewToolbarDlg : public CDialog
{
public:
    CXTPNewToolbarDlg(CWnd* pParent, CXTPCommandBars* pCommandBars, CXTPCommandBar* pRenamed = NULL);
    BOOL OnInitDialog() override;
    void OnOK() override;
    // The first "Custom %d" no toolbar is titled with.
    static CString ProposeName(CXTPCommandBars* pCommandBars);
    // For a new toolbar: the first toolbar id from 0xE800 to 0xE8FE no bar has; 0 when all are taken.
    static UINT FindFreeId(CXTPCommandBars* pCommandBars);

    CString m_strName;
    UINT m_nId = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    CXTPCommandBar* m_pRenamed;
    CXTPCommandBars* m_pCommandBars;
};

class CXTPCustomizeToolbarsPage : public CPropertyPage
{
public:
    explicit CXTPCustomizeToolbarsPage(CXTPCustomizeSheet* pSheet);
    BOOL OnInitDialog() override;
    void RefreshList();
    void UpdateButtons();
    void OnCheckChange();
    void OnNew();
    void OnRename();
    void OnDelete();
    void OnReset();
    CCheckListBox& GetList() { return m_list; }
    // The toolbar of the selected entry, null without one.
    CXTPToolBar* GetSelectedToolBar() const;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    CXTPCommandBars* GetCommandBars() const;

    CXTPCustomizeSheet* m_pSheet;
    CCheckListBox m_list;
};

// The commands of a category, each drawn as its control and dragged out to a toolbar.
class CXTPCustomizeCommandsListBox : public CListBox
{
public:
    CXTPCustomizeSheet* m_pSheet = NULL;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CXTPCustomizeCommandsPage : public CPropertyPage
{
public:
    explicit CXTPCustomizeCommandsPage(CXTPCustomizeSheet* pSheet);
    BOOL OnInitDialog() override;
    void OnCategoryChanged();
    CListBox& GetCategories() { return m_listCategories; }
    CXTPCustomizeCommandsListBox& GetCommands() { return m_listCommands; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    CXTPCustomizeSheet* m_pSheet;
    CXTPCustomizeCommandsListBox m_listCommands;
    CListBox m_listCategories;
};

class CXTPCustomizeKeyboardPage : public CPropertyPage
{
public:
    explicit CXTPCustomizeKeyboardPage(CXTPCustomizeSheet* pSheet);
    BOOL OnInitDialog() override;
    void OnCategoryChanged();
    void OnCommandChanged();
    void UpdateButtons();
    void OnAssign();
    void OnRemove();
    void OnResetAll();
    // The selected command's id, 0 without one.
    UINT GetSelectedCommand() const;
    // The hot-key field's modifiers and the ACCEL flags, both ways (FNOINVERT is never kept).
    static BYTE HotKeyToAccelFlags(WORD wModifiers);
    static WORD AccelFlagsToHotKey(BYTE fVirt);
    CComboBox& GetCategories() { return m_comboCategory; }
    CListBox& GetCommands() { return m_listCommands; }
    CListBox& GetKeys() { return m_listKeys; }
    CHotKeyCtrl& GetShortcutEntry() { return m_editShortcut; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    std::vector<ACCEL> GetTable() const;
    void SetTable(const std::vector<ACCEL>& table);

    CXTPCustomizeSheet* m_pSheet;
    CComboBox m_comboCategory;
    CListBox m_listCommands;
    CListBox m_listKeys;
    CHotKeyCtrl m_editShortcut;
};

class CXTPCustomizeOptionsPage : public CPropertyPage
{
public:
    explicit CXTPCustomizeOptionsPage(CXTPCustomizeSheet* pSheet);
    BOOL OnInitDialog() override;
    // The check boxes' dependent states: the delay box while full menus are off, the shortcut box
    // while tips are on.
    void UpdateDependents();

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    CXTPCustomizeSheet* m_pSheet;
};
