// Text fields on command bars: the child edit window they type into (a rich edit when a rich-edit
// library loads, else a plain edit) with its own clipboard menu, and the edit control of a bar.
#pragma once

#include "control_field.h"
#include "controls.h"
#include "hook_managers.h"

class CXTPControlEdit;

// Posted to an edit window when the shell's suggestion list of its auto-complete appears.
#define XTP_WM_SHELL_SUGGESTION_SHOWN 0x2872

// The rich-edit library the edits use, loaded once per process.
class CXTPRichEditLibrary
{
public:
    static CXTPRichEditLibrary& Instance();
    ~CXTPRichEditLibrary();
    // Tests force the fallbacks: 0 loads normally, 1 skips the version-2 library, 2 skips both.
    // Setting it loads the library again; edits made afterwards use what was loaded.
    static void SetForceFallback(int nFallback);
    HMODULE GetModule() const { return m_hModule; }
    LPCWSTR GetClassName() const
    {
        return m_hModule == NULL ? NULL : m_bVersion2 ? L"RichEdit20W" : L"RICHEDIT";
    }
    BOOL IsVersion2() const { return m_bVersion2; }

private:
    CXTPRichEditLibrary();
    void Load(int nFallback);
    HMODULE m_hModule = NULL;
    BOOL m_bVersion2 = FALSE;
};

// The frame lets it have every key but Enter, Tab and Escape before any accelerator.
class CXTPEdit : public CEdit
{
    DECLARE_DYNCREATE(CXTPEdit)
public:
    BOOL CreateEdit(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd);
    // Runs the keys an edit needs while a menu tracks (Backspace, Page Up to Delete) through the
    // dialog-key handling; TRUE when taken.
    BOOL IsDialogKey(UINT nChar) const;
    // Cut, Copy and Paste as a command-bar popup at the point (client coordinates of the edit);
    // TRUE when the menu was shown.
    BOOL ShowContextMenu(CXTPControl* pControl, CPoint point);
    // Whether Cut/Copy (selection) or Paste (text on the clipboard) can run.
    BOOL IsCommandEnabled(UINT nId) const;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL IsComposing() const { return m_bComposing; }
    // Text and background of the whole text of a rich edit: button text on the window colour, grey
    // while a hint stands in the field, grey on the button face when disabled. A plain edit keeps
    // its own colours.
    void UpdateCharFormat(BOOL bEnabled, BOOL bHintShown);
    // Both margins 3 and the character format, after a change of the text.
    void RefreshFormat(BOOL bEnabled, BOOL bHintShown);
    // Shown or hidden with its control, without moving.
    void ShowWithControl(BOOL bVisible);

protected:
    // The mouse and the tooltip check of a field's window for the control it belongs to: a drag in
    // customise mode, the bar's right button and hot tracking, the context menu. TRUE when the
    // message is answered (lResult).
    BOOL OnFieldMessage(CXTPControl* pControl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL m_bComposing = FALSE;
};

// Attaches the shell's auto-complete to an edit and keeps its suggestion list usable while a menu
// tracks: the list is found when it is shown, becomes a trusted window of the mouse manager, gets the
// mouse wheel and the arrow keys.
class CXTPShellAutoComplete : public CXTPHookSink
{
public:
    explicit CXTPShellAutoComplete(HWND hwndEdit) : m_hwndEdit(hwndEdit) {}
    ~CXTPShellAutoComplete() override;
    // Calls the shell's SHAutoComplete for the edit; E_FAIL when the shell has none.
    static HRESULT SHAutoComplete(HWND hwndEdit, DWORD dwFlags);
    // A new hook object bound to the edit, or null when the flags are 0 or the shell refuses.
    static CXTPShellAutoComplete* Attach(HWND hwndEdit, DWORD dwFlags);
    // Installs (or takes away) the thread's window-procedure hook that finds the suggestion list,
    // and registers the object with the keyboard manager.
    void HookEdit(BOOL bInstall);
    BOOL IsHooked() const { return s_pOwner == this; }
    void SetSuggestionWindow(HWND hWnd);
    HWND GetSuggestionWindow() const { return m_hwndSuggestion; }
    BOOL IsSuggestionShown() const { return m_hwndSuggestion != NULL; }
    HWND GetEditWindow() const { return m_hwndEdit; }
    // Up, Down, Page Up and Page Down go to the list while it shows and Alt is up; TRUE when taken.
    BOOL TranslateSuggestionKey(UINT nChar);
    void HideSuggestion();
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    // The class name of the shell's suggestion list.
    static LPCWSTR SuggestionClassName() { return L"Auto-Suggest Dropdown"; }

private:
    static LRESULT CALLBACK CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);
    void OnWindowPosChanging(HWND hWnd, const WINDOWPOS* pPos);

    HWND m_hwndEdit = NULL;
    HWND m_hwndSuggestion = NULL;
    static HHOOK s_hHook;
    static CXTPShellAutoComplete* s_pOwner;
};

// The edit window of a field control (TControl): its mouse, focus, keys and changes go to the
// control.
template <class TControl> class CXTPControlFieldEditCtrl : public CXTPEdit
{
public:
    TControl* m_pControl = NULL;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The change notification the window sends its bar comes back here.
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // A message the field takes before the handling both fields share; TRUE when answered there
    // (lResult).
    virtual BOOL OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult) = 0;
    // The field took the focus outside customise mode: its whole text is selected.
    virtual void SelectWholeText() = 0;
    // Enter in the focused field while its bar does not track.
    virtual void OnEnter() = 0;
};

extern template class CXTPControlFieldEditCtrl<CXTPControlEdit>;

// The edit window of an edit control.
class CXTPControlEditCtrl : public CXTPControlFieldEditCtrl<CXTPControlEdit>
{
    DECLARE_DYNCREATE(CXTPControlEditCtrl)

protected:
    BOOL OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    void SelectWholeText() override;
    void OnEnter() override;
};

extern template class CXTPControlField<CXTPControl, CXTPControlEditCtrl>;

class CXTPControlEdit : public CXTPControlField<CXTPControl, CXTPControlEditCtrl>
{
    DECLARE_DYNCREATE(CXTPControlEdit)
public:
    CXTPControlEdit();

    void SetEditText(const CString& strText);
    void SetEditHint(LPCTSTR lpszHint);
    void SetReadOnly(BOOL bReadOnly);
    BOOL GetReadOnly() const { return m_bReadOnly; }
    void ShowLabel(BOOL bShow) { m_bLabel = bShow; }
    BOOL IsLabeled() const { return m_bLabel; }
    // Only an edit window takes the keyboard; a field that has none yet cannot.
    BOOL CanTakeFocus() const override { return m_pEdit != NULL && CXTPControlField::CanTakeFocus(); }
    void SetFocused(BOOL bFocused) override;
    // The keys while the field has the focus: 1 handled, 2 the edit window's, 0 not handled.
    int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    // The label width a field decides itself, or -1 when the paint manager measures the caption.
    virtual int GetOwnLabelWidth() const { return -1; }

    void SetRect(CRect rcControl) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    BOOL IsEqual(CXTPControl* pOther) const override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;

protected:
    void OnEditChanged();
    void Notify(UINT nCode);

    BOOL m_bLabel = TRUE;
    BOOL m_bReadOnly = FALSE;

    friend class CXTPControlFieldEditCtrl<CXTPControlEdit>;
};
