#include "control_field.h"

#include "command_bar.h"
#include "command_bars.h"
#include "control_combo_box.h"
#include "control_edit.h"
#include "hook_managers.h"

template <class TBase, class TEditCtrl> CXTPControlField<TBase, TEditCtrl>::~CXTPControlField()
{
    delete m_pAutoComplete;
    m_pAutoComplete = NULL;
    if (m_pEdit != NULL) {
        // The window's messages no longer reach the control while it goes.
        m_pEdit->m_pControl = NULL;
        if (::IsWindow(m_pEdit->GetSafeHwnd()))
            m_pEdit->DestroyWindow();
        delete m_pEdit;
        m_pEdit = NULL;
    }
}

template <class TBase, class TEditCtrl> CString CXTPControlField<TBase, TEditCtrl>::GetEditText() const
{
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()) && m_bTextChanged && !m_bHintShown) {
        CString strText;
        m_pEdit->GetWindowText(strText);
        m_strEditText = strText;
        m_bTextChanged = FALSE;
    }
    return m_bHintShown || (!m_strEditHint.IsEmpty() && m_strEditText == m_strEditHint) ? CString()
                                                                                        : m_strEditText;
}

template <class TBase, class TEditCtrl> void CXTPControlField<TBase, TEditCtrl>::ShowHint()
{
    if (m_bFocused || m_strEditHint.IsEmpty() || !GetEditText().IsEmpty())
        return;
    m_bHintShown = TRUE;
    m_strEditText.Empty();
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd())) {
        SetWindowTextQuietly(m_strEditHint);
        m_pEdit->UpdateCharFormat(this->m_bEnabled, TRUE);
    }
    m_bTextChanged = FALSE;
}

template <class TBase, class TEditCtrl>
void CXTPControlField<TBase, TEditCtrl>::SetWindowTextQuietly(LPCTSTR lpszText)
{
    ++m_nSettingText;
    m_pEdit->SetWindowText(lpszText);
    --m_nSettingText;
}

template <class TBase, class TEditCtrl> void CXTPControlField<TBase, TEditCtrl>::OnEditDestroyed()
{
    if (!m_bHintShown && m_pEdit != NULL) {
        CString strText;
        m_pEdit->GetWindowText(strText);
        m_strEditText = strText;
    }
    m_bTextChanged = FALSE;
}

template <class TBase, class TEditCtrl>
void CXTPControlField<TBase, TEditCtrl>::EnableShellAutoComplete(DWORD dwFlags)
{
    m_dwShellAutoCompleteFlags = dwFlags;
    delete m_pAutoComplete;
    m_pAutoComplete = NULL;
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd())) {
        m_pAutoComplete = CXTPShellAutoComplete::Attach(m_pEdit->GetSafeHwnd(), dwFlags);
        if (m_pAutoComplete != NULL && m_bFocused)
            m_pAutoComplete->HookEdit(TRUE);
    }
}

template <class TBase, class TEditCtrl> void CXTPControlField<TBase, TEditCtrl>::SetWidth(int nWidth)
{
    if (m_nWidth == nWidth)
        return;
    m_nWidth = nWidth;
    this->DelayLayoutParent();
}

template <class TBase, class TEditCtrl> CSize CXTPControlField<TBase, TEditCtrl>::GetSize(CDC* pDC)
{
    return CSize(m_nWidth, TBase::GetSize(pDC).cy);
}

template <class TBase, class TEditCtrl> void CXTPControlField<TBase, TEditCtrl>::SetEnabled(BOOL bEnabled)
{
    if (bEnabled == this->m_bEnabled)
        return;
    TBase::SetEnabled(bEnabled);
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd())) {
        m_pEdit->EnableWindow(bEnabled);
        m_pEdit->UpdateCharFormat(bEnabled, m_bHintShown);
    }
    this->RedrawParent();
}

template <class TBase, class TEditCtrl> void CXTPControlField<TBase, TEditCtrl>::SetHideFlags(DWORD dwFlags)
{
    if (dwFlags == this->m_dwHideFlags)
        return;
    this->m_dwHideFlags = dwFlags;
    if (m_pEdit != NULL)
        m_pEdit->ShowWithControl(this->IsVisible());
    this->DelayLayoutParent();
}

template <class TBase, class TEditCtrl>
BOOL CXTPControlField<TBase, TEditCtrl>::KeepWindowInBar(CXTPCommandBar* pBar)
{
    if (m_pEdit == NULL || !::IsWindow(m_pEdit->GetSafeHwnd()))
        return FALSE;
    if ((m_pEdit->GetExStyle() & WS_EX_LAYOUTRTL) != 0 ||
        ::GetParent(m_pEdit->GetSafeHwnd()) != pBar->GetSafeHwnd()) {
        m_pEdit->DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

template <class TBase, class TEditCtrl>
BOOL CXTPControlField<TBase, TEditCtrl>::CreateEditWindow(CXTPCommandBar* pBar)
{
    if (!m_pEdit->CreateEdit(WS_CHILD | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), pBar))
        return FALSE;
    SetWindowTextQuietly(m_bHintShown ? m_strEditHint : m_strEditText);
    m_bTextChanged = FALSE;
    m_pEdit->EnableWindow(this->m_bEnabled);
    delete m_pAutoComplete;
    m_pAutoComplete = CXTPShellAutoComplete::Attach(m_pEdit->GetSafeHwnd(), m_dwShellAutoCompleteFlags);
    return TRUE;
}

template <class TBase, class TEditCtrl>
void CXTPControlField<TBase, TEditCtrl>::PlaceEditWindow(CRect rcControl, int nRightInset)
{
    const CRect rcEdit(rcControl.left + m_nLabelWidth + 4, rcControl.top + 3, rcControl.right - nRightInset,
                       rcControl.bottom - 3);
    m_pEdit->SetWindowPos(NULL, rcEdit.left, rcEdit.top, rcEdit.Width(), rcEdit.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE |
                              (this->IsVisible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

template <class TBase, class TEditCtrl> BOOL CXTPControlField<TBase, TEditCtrl>::CanTakeFocus() const
{
    // A field without its edit window (a drop-down list) still takes the bar's keys.
    return this->GetEnabled() && this->IsVisible() &&
           (m_pEdit == NULL || ::IsWindowVisible(m_pEdit->GetSafeHwnd()));
}

template <class TBase, class TEditCtrl> void CXTPControlField<TBase, TEditCtrl>::TakeFocus(UINT nSetFocusCode)
{
    const HWND hwndEdit = m_pEdit != NULL ? m_pEdit->GetSafeHwnd() : NULL;
    m_bFocused = TRUE;
    if (m_bHintShown) {
        m_bHintShown = FALSE;
        m_strEditText.Empty();
        if (::IsWindow(hwndEdit)) {
            SetWindowTextQuietly(L"");
            m_pEdit->UpdateCharFormat(this->m_bEnabled, FALSE);
        }
    }
    m_strLastText = GetEditText();
    if (CXTPCommandBar* pBar = this->m_pParent)
        pBar->NotePreviousFocus(::GetFocus());
    if (::IsWindow(hwndEdit) && ::GetFocus() != hwndEdit)
        ::SetFocus(hwndEdit);
    if (CXTPCommandBar* pBar = this->m_pParent) {
        pBar->SetTracking(TRUE);
        pBar->SetSelected(this->m_nIndex);
    }
    ++CXTPMouseManager::GetInstance()->m_nLock;
    if (m_pAutoComplete != NULL)
        m_pAutoComplete->HookEdit(TRUE);
    this->NotifyExecute(nSetFocusCode);
    this->RedrawParent();
}

template <class TBase, class TEditCtrl>
void CXTPControlField<TBase, TEditCtrl>::GiveUpFocus(UINT nKillFocusCode)
{
    const HWND hwndEdit = m_pEdit != NULL ? m_pEdit->GetSafeHwnd() : NULL;
    m_bFocused = FALSE;
    CXTPCommandBar* pBar = this->m_pParent;
    const HWND hwndPrevious = pBar != NULL ? pBar->TakePreviousFocus() : NULL;
    if (::IsWindow(hwndEdit) && ::GetFocus() == hwndEdit)
        ::SetFocus(hwndPrevious);
    if (m_pAutoComplete != NULL)
        m_pAutoComplete->HookEdit(FALSE);
    --CXTPMouseManager::GetInstance()->m_nLock;
    this->NotifyExecute(nKillFocusCode);
    ShowHint();
    this->RedrawParent();
}

template <class TControl>
LRESULT CXTPControlFieldEditCtrl<TControl>::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    TControl* pControl = m_pControl;
    if (pControl == NULL)
        return CXTPEdit::WindowProc(message, wParam, lParam);
    LRESULT lResult = 0;
    if (OnFieldMessage(pControl, message, wParam, lParam, lResult) ||
        OnOwnMessage(message, wParam, lParam, lResult))
        return lResult;
    CXTPCommandBar* pBar = pControl->GetParent();
    CXTPCommandBars* pCommandBars = pControl->GetCommandBars();
    const BOOL bCustomize = pCommandBars != NULL && pCommandBars->IsCustomizeMode();
    switch (message) {
    case WM_SETFOCUS:
        lResult = CXTPEdit::WindowProc(message, wParam, lParam);
        if (!bCustomize) {
            pControl->SetFocused(TRUE);
            SelectWholeText();
        }
        return lResult;
    case WM_KILLFOCUS:
        lResult = CXTPEdit::WindowProc(message, wParam, lParam);
        pControl->SetFocused(FALSE);
        return lResult;
    case WM_KEYDOWN:
        // While the bar tracks, the keyboard hook gave the control its keys already.
        if (pBar == NULL || !pBar->IsTrackingMode()) {
            if (wParam == VK_ESCAPE && pControl->OnHookKeyDown(VK_ESCAPE, lParam) == XTP_HOOK_HANDLED)
                return 0;
            if (wParam == VK_RETURN && pControl->IsFocused()) {
                OnEnter();
                return 0;
            }
        }
        break;
    case WM_DESTROY:
        pControl->OnEditDestroyed();
        break;
    default:
        break;
    }
    return CXTPEdit::WindowProc(message, wParam, lParam);
}

template <class TControl>
BOOL CXTPControlFieldEditCtrl<TControl>::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam,
                                                       LRESULT* pResult)
{
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && m_pControl != NULL) {
        if (m_pControl->m_nSettingText == 0)
            m_pControl->OnEditChanged();
        return TRUE;
    }
    return CXTPEdit::OnChildNotify(message, wParam, lParam, pResult);
}

template class CXTPControlFieldEditCtrl<CXTPControlEdit>;
template class CXTPControlFieldEditCtrl<CXTPControlComboBox>;
template class CXTPControlField<CXTPControl, CXTPControlEditCtrl>;
template class CXTPControlField<CXTPControlPopup, CXTPControlComboBoxEditCtrl>;
