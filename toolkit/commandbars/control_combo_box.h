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

extern template class CXTPControlFieldEditCtrl<CXTPControlComboBox>;

// The combo's edit window.
class CXTPControlComboBoxEditCtrl : public CXTPControlFieldEditCtrl<CXTPControlComboBox>
{
    DECLARE_DYNCREATE(CXTPControlComboBoxEditCtrl)

protected:
    BOOL OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    void SelectWholeText() override;
    void OnEnter() override;
};

// Notification codes the combo sends to the frame (message 0x2862).
#define XTP_CBN_SELCHANGE 1
#define XTP_CBN_SETFOCUS 3
#define XTP_CBN_KILLFOCUS 4
#define XTP_CBN_EDITCHANGE 5
#define XTP_CBN_SELENDOK 9
#define XTP_CBN_SELENDCANCEL 10

extern template class CXTPControlField<CXTPControlPopup, CXTPControlComboBoxEditCtrl>;

class CXTPControlComboBox : public CXTPControlField<CXTPControlPopup, CXTPControlComboBoxEditCtrl>
{
    DECLARE_DYNCREATE(CXTPControlComboBox)
public:
    CXTPControlComboBox();

    CXTPControlComboBoxList* GetListBox() const;
    int AddString(LPCTSTR lpszItem);
    int GetCount() const;

    void SetEditText(const CString& strText);
    void SetEditHint(LPCTSTR lpszHint);
    int GetCurSel() const;
    void SetCurSel(int nIndex);
    CString GetListBoxText() const;
    void SetDropDownListStyle(BOOL bDropDown = TRUE);
    BOOL GetDropDownListStyle() const { return m_bDropDown; }
    void EnableAutoComplete(BOOL bAutoComplete = TRUE) { m_bAutoComplete = bAutoComplete; }
    BOOL IsAutoComplete() const { return m_bAutoComplete; }
    void SetDropDownItemCount(int nCount) { m_nDropDownItemCount = nCount; }
    int GetDropDownItemCount() const { return m_nDropDownItemCount; }
    void SetComboStyle(int nStyle) { m_nComboStyle = nStyle; }
    int GetComboStyle() const { return m_nComboStyle; }
    void SetEditIconId(int nId) { m_nEditIconId = nId; }
    int GetEditIconId() const { return m_nEditIconId; }
    // Space the paint manager gives the drop button after the field.
    void SetDropButtonWidth(int nWidth)
    {
        m_bDelayReposition |= nWidth != m_nThumbWidth;
        m_nThumbWidth = nWidth;
    }
    int GetDropButtonWidth() const { return m_nThumbWidth; }

    void SetFocused(BOOL bFocused) override;
    int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    // The list's selection moved: the field shows the item and the frame hears of it.
    virtual void OnSelChanged();
    // An item is chosen: the list closes and the control executes.
    virtual void OnExecute();

    void SetRect(CRect rcControl) override;
    BOOL SetPopupOpen(BOOL bOpen) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    BOOL IsEqual(CXTPControl* pOther) const override;
    void DoPropExchange(CXTPPropExchange* pPX) override;

protected:
    void OnEditChanged();
    void AutoComplete();
    BOOL IsListOpenForMe() const;
    // Opens the drop-down list, or closes it when it is open for this combo.
    void ToggleList(BOOL bKeyboard);

    BOOL m_bDropDown = FALSE;
    int m_nComboStyle = 0;
    int m_nLastSel = -1;
    int m_nThumbWidth = 0;
    BOOL m_bAutoComplete = FALSE;
    BOOL m_bIgnoreAutoComplete = FALSE;
    int m_nEditIconId = 0;
    BOOL m_bSelEndOk = FALSE;
    int m_nDropDownItemCount = 12;
    int m_nCurSel = -1;
    CRect m_rcEditPlaced;

    friend class CXTPControlFieldEditCtrl<CXTPControlComboBox>;
    friend class CXTPControlComboBoxEditCtrl;
    friend class CXTPControlComboBoxList;
};
