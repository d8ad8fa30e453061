// The combo box of a command bar: a field (an edit window when it has one) with a drop-down list
// shown as a popup bar whose window is a list box, completion of typed text from the items, and the
// keys of a combo box while it holds the keyboard.
#pragma once

#include "command_bar.h"
#include "control_edit.h"

class CXTPControlComboBox;

// The drop-down list: a popup bar whose window is a list box, created with the bar.
class CXTPControlComboBoxList : public CXTPPopupBar
{
    DECLARE_DYNCREATE(CXTPControlComboBoxList)
public:
    CXTPControlComboBoxList();
    ~CXTPControlComboBoxList() override;

    // The list-box window, hidden until the list opens; TRUE when it exists.
    BOOL CreateListBox();
    int GetCount() const;
    int GetItemHeight() const;
    int AddString(LPCTSTR lpszItem);
    CString GetText(int nIndex) const;
    int GetCurSel() const;
    // The combo that opened the list, null while closed.
    CXTPControlComboBox* GetComboBox() const { return m_pComboBox; }

    BOOL Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst = FALSE) override;
    BOOL SetTracking(int nMode, BOOL bSelectFirst = FALSE, BOOL bKeyboard = FALSE) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    int OnKeyDown(UINT nChar, LPARAM lParam) override;
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    // Closing hides the list box: it keeps its items for the next opening.
    BOOL DestroyWindow() override;
    void DrawCommandBar(CDC* pDC, CRect rcClipBox) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnListMouseMove(CPoint point);
    void DrawBorder();

    CXTPControlComboBox* m_pComboBox = NULL;
};

// The combo's edit window: its focus, mouse and changes go to the combo.
class CXTPControlComboBoxEditCtrl : public CXTPEdit
{
    DECLARE_DYNCREATE(CXTPControlComboBoxEditCtrl)
public:
    CXTPControlComboBox* m_pControl = NULL;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The change notification the window sends its bar comes back here.
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// Notification codes the combo sends to the frame (message 0x2862).
#define XTP_CBN_SELCHANGE 1
#define XTP_CBN_SETFOCUS 3
#define XTP_CBN_KILLFOCUS 4
#define XTP_CBN_EDITCHANGE 5
#define XTP_CBN_SELENDOK 9
#define XTP_CBN_SELENDCANCEL 10

class CXTPControlComboBox : public CXTPControlPopup
{
    DECLARE_DYNCREATE(CXTPControlComboBox)
public:
    CXTPControlComboBox();
    ~CXTPControlComboBox() override;

    CXTPControlComboBoxList* GetListBox() const;
    int AddString(LPCTSTR lpszItem);
    int GetCount() const;

    CString GetEditText() const;
    void SetEditText(const CString& strText);
    void SetEditHint(LPCTSTR lpszHint);
    CString GetEditHint() const { return m_strEditHint; }
    int GetCurSel() const;
    void SetCurSel(int nIndex);
    CString GetListBoxText() const;
    void SetDropDownListStyle(BOOL bDropDown = TRUE);
    BOOL GetDropDownListStyle() const { return m_bDropDown; }
    void EnableShellAutoComplete(DWORD dwFlags);
    DWORD GetShellAutoCompleteFlags() const { return m_dwShellAutoCompleteFlags; }
    void EnableAutoComplete(BOOL bAutoComplete = TRUE) { m_bAutoComplete = bAutoComplete; }
    BOOL IsAutoComplete() const { return m_bAutoComplete; }
    void SetDropDownItemCount(int nCount) { m_nDropDownItemCount = nCount; }
    int GetDropDownItemCount() const { return m_nDropDownItemCount; }
    void SetComboStyle(int nStyle) { m_nComboStyle = nStyle; }
    int GetComboStyle() const { return m_nComboStyle; }
    void SetEditIconId(int nId) { m_nEditIconId = nId; }
    int GetEditIconId() const { return m_nEditIconId; }
    void SetWidth(int nWidth);
    int GetWidth() const { return m_nWidth; }
    CXTPControlComboBoxEditCtrl* GetEditCtrl() const { return m_pEdit; }
    CXTPShellAutoComplete* GetAutoComplete() const { return m_pAutoComplete; }
    BOOL IsHintShown() const { return m_bHintShown; }
    // Space the paint manager gives the label before the field and the drop button after it.
    void SetLabelWidth(int nWidth)
    {
        m_bDelayReposition |= nWidth != m_nLabelWidth;
        m_nLabelWidth = nWidth;
    }
    int GetLabelWidth() const { return m_nLabelWidth; }
    void SetDropButtonWidth(int nWidth)
    {
        m_bDelayReposition |= nWidth != m_nThumbWidth;
        m_nThumbWidth = nWidth;
    }
    int GetDropButtonWidth() const { return m_nThumbWidth; }

    BOOL IsFocused() const override { return m_bFocused; }
    void SetFocused(BOOL bFocused) override;
    int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    // The list's selection moved: the field shows the item and the frame hears of it.
    virtual void OnSelChanged();
    // An item is chosen: the list closes and the control executes.
    virtual void OnExecute();

    CSize GetSize(CDC* pDC) override;
    void SetRect(CRect rcControl) override;
    void SetEnabled(BOOL bEnabled) override;
    void SetHideFlags(DWORD dwFlags) override;
    BOOL SetPopupOpen(BOOL bOpen) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    BOOL IsEqual(CXTPControl* pOther) const override;
    void DoPropExchange(CXTPPropExchange* pPX) override;

protected:
    void OnEditChanged();
    void OnEditDestroyed();
    void ShowHint();
    void AutoComplete();
    BOOL IsListOpenForMe() const;
    // Opens the drop-down list, or closes it when it is open for this combo.
    void ToggleList(BOOL bKeyboard);
    // Sets the edit window's text without reporting it as a change.
    void SetWindowTextQuietly(LPCTSTR lpszText);

    CXTPControlComboBoxEditCtrl* m_pEdit = NULL;
    BOOL m_bDropDown = FALSE;
    int m_nComboStyle = 0;
    int m_nWidth = 100;
    int m_nLastSel = -1;
    CString m_strLastText;
    BOOL m_bDelayReposition = FALSE;
    int m_nLabelWidth = 0;
    int m_nThumbWidth = 0;
    CString m_strEditHint;
    BOOL m_bHintShown = FALSE;
    BOOL m_bAutoComplete = FALSE;
    BOOL m_bIgnoreAutoComplete = FALSE;
    DWORD m_dwShellAutoCompleteFlags = 0;
    BOOL m_bFocused = FALSE;
    int m_nEditIconId = 0;
    BOOL m_bSelEndOk = FALSE;
    int m_nDropDownItemCount = 12;
    mutable CString m_strEditText;
    mutable BOOL m_bTextChanged = FALSE;
    CXTPShellAutoComplete* m_pAutoComplete = NULL;
    int m_nCurSel = -1;
    HWND m_hwndPreviousFocus = NULL;
    CRect m_rcEditPlaced;
    int m_nSettingText = 0;

    friend class CXTPControlComboBoxEditCtrl;
    friend class CXTPControlComboBoxList;
};
