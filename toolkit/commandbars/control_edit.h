// Text fields on command bars: the child edit window they type into (a rich edit when a rich-edit
// library loads, else a plain edit) with its own clipboard menu, and the edit control of a bar.
#pragma once

#include "controls.h"

class CXTPControlEdit;

// The rich-edit library the edits use, loaded once per process.
class CXTPRichEditLibrary
{
public:
    static CXTPRichEditLibrary& Instance();
    ~CXTPRichEditLibrary();
    // Tests force the fallbacks: 0 loads normally, 1 skips the version-2 library, 2 skips both.
    static int s_nForceFallback;
    HMODULE GetModule() const { return m_hModule; }
    LPCWSTR GetClassName() const
    {
        return m_hModule == NULL ? NULL : m_bVersion2 ? L"RichEdit20W" : L"RICHEDIT";
    }
    BOOL IsVersion2() const { return m_bVersion2; }

private:
    CXTPRichEditLibrary();
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

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL m_bComposing = FALSE;
};

// The edit window of an edit control: its mouse and focus go to the control.
class CXTPControlEditCtrl : public CXTPEdit
{
    DECLARE_DYNCREATE(CXTPControlEditCtrl)
public:
    CXTPControlEdit* m_pControl = NULL;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CXTPControlEdit : public CXTPControl
{
    DECLARE_DYNCREATE(CXTPControlEdit)
public:
    CXTPControlEdit();
    ~CXTPControlEdit() override;

    CString GetEditText() const;
    void SetEditText(const CString& strText);
    void SetEditHint(LPCTSTR lpszHint);
    CString GetEditHint() const { return m_strEditHint; }
    void SetReadOnly(BOOL bReadOnly);
    BOOL GetReadOnly() const { return m_bReadOnly; }
    void SetWidth(int nWidth);
    int GetWidth() const { return m_nWidth; }
    void ShowLabel(BOOL bShow) { m_bLabel = bShow; }
    BOOL IsLabeled() const { return m_bLabel; }
    void EnableShellAutoComplete(DWORD dwFlags) { m_dwShellAutoCompleteFlags = dwFlags; }
    DWORD GetShellAutoCompleteFlags() const { return m_dwShellAutoCompleteFlags; }
    CXTPControlEditCtrl* GetEditCtrl() const { return m_pEdit; }
    BOOL IsFocused() const { return m_bFocused; }
    void SetFocused(BOOL bFocused);
    // The keys while the field has the focus: 1 handled, 2 the edit window's, 0 not handled.
    virtual int OnHookKeyDown(UINT nChar);

    CSize GetSize(CDC* pDC) override;
    void SetRect(CRect rcControl) override;
    void SetEnabled(BOOL bEnabled) override;
    void SetHideFlags(DWORD dwFlags) override;
    void SetHideFlag(DWORD dwFlag, BOOL bSet) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    BOOL IsEqual(CXTPControl* pOther) const override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;

protected:
    void OnEditChanged();
    void OnEditSetFocus();
    void OnEditKillFocus();
    void OnEditDestroyed();
    void ShowHint();
    void UpdateEditWindowShown();
    void Notify(UINT nCode);

    CXTPControlEditCtrl* m_pEdit = NULL;
    int m_nWidth = 100;
    BOOL m_bLabel = TRUE;
    BOOL m_bReadOnly = FALSE;
    int m_nLabelWidth = 0;
    BOOL m_bDelayReposition = FALSE;
    BOOL m_bFocused = FALSE;
    BOOL m_bHintShown = FALSE;
    BOOL m_bTextChanged = TRUE;
    CString m_strEditHint;
    CString m_strLastText;
    mutable CString m_strEditText;
    DWORD m_dwShellAutoCompleteFlags = 0;
    HWND m_hwndPreviousFocus = NULL;

    friend class CXTPControlEditCtrl;
};
