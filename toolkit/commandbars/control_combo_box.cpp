#include "control_combo_box.h"

#include "color_table.h"
#include "command_bars.h"
#include "prop_exchange.h"
#include "shadow_manager.h"
#include "tooltip_controller.h"

#include <afxpriv.h>
#include <windowsx.h>

#include <algorithm>

IMPLEMENT_DYNCREATE(CXTPControlComboBoxList, CXTPPopupBar)
IMPLEMENT_DYNCREATE(CXTPControlComboBoxEditCtrl, CXTPEdit)
IMPLEMENT_DYNCREATE(CXTPControlComboBox, CXTPControlPopup)

namespace {
BOOL IsAltDown()
{
    return ::GetKeyState(VK_MENU) < 0;
}
} // namespace

// ---------------------------------------------------------------------------------------------
// The drop-down list

CXTPControlComboBoxList::CXTPControlComboBoxList()
{
    m_barType = xtpBarTypeListBox;
    CreateListBox();
}

CXTPControlComboBoxList::~CXTPControlComboBoxList()
{
    if (::IsWindow(m_hWnd))
        CXTPPopupBar::DestroyWindow();
}

BOOL CXTPControlComboBoxList::DestroyWindow()
{
    if (::IsWindow(m_hWnd)) {
        CXTPShadowManager::GetInstance()->RemoveShadows(this);
        ShowWindow(SW_HIDE);
    }
    return TRUE;
}

void CXTPControlComboBoxList::DrawCommandBar(CDC* pDC, CRect)
{
    DefWindowProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()), PRF_CLIENT | PRF_ERASEBKGND);
}

BOOL CXTPControlComboBoxList::CreateListBox()
{
    if (::IsWindow(m_hWnd))
        return TRUE;
    return CreateEx(WS_EX_TOOLWINDOW | WS_EX_STATICEDGE, L"LISTBOX", NULL,
                    WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_VSCROLL, CRect(0, 0, 0, 0), NULL, 0);
}

int CXTPControlComboBoxList::GetCount() const
{
    return ::IsWindow(m_hWnd) ? static_cast<int>(::SendMessageW(m_hWnd, LB_GETCOUNT, 0, 0)) : 0;
}

int CXTPControlComboBoxList::GetItemHeight() const
{
    return ::IsWindow(m_hWnd) ? static_cast<int>(::SendMessageW(m_hWnd, LB_GETITEMHEIGHT, 0, 0)) : 0;
}

int CXTPControlComboBoxList::AddString(LPCTSTR lpszItem)
{
    if (!CreateListBox())
        return LB_ERR;
    return static_cast<int>(::SendMessageW(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
}

CString CXTPControlComboBoxList::GetText(int nIndex) const
{
    CString strText;
    if (!::IsWindow(m_hWnd) || nIndex < 0)
        return strText;
    const int nLength = static_cast<int>(::SendMessageW(m_hWnd, LB_GETTEXTLEN, nIndex, 0));
    if (nLength == LB_ERR)
        return strText;
    ::SendMessageW(m_hWnd, LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(strText.GetBuffer(nLength + 1)));
    strText.ReleaseBuffer(nLength);
    return strText;
}

int CXTPControlComboBoxList::GetCurSel() const
{
    return ::IsWindow(m_hWnd) ? static_cast<int>(::SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

BOOL CXTPControlComboBoxList::Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst)
{
    auto* pComboBox = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControlPopup);
    if (pComboBox == NULL || !CreateListBox())
        return FALSE;
    if (GetCommandBars() == NULL)
        SetCommandBars(pComboBox->GetCommandBars());
    if (CXTPCommandBar* pParent = pComboBox->GetParent())
        if (CXTPPaintManagerCore* pPaintManager = pParent->GetPaintManager())
            SendMessage(WM_SETFONT,
                        reinterpret_cast<WPARAM>(pPaintManager->GetRegularFont()->GetSafeHandle()));
    m_pComboBox = pComboBox;
    if (!CXTPPopupBar::Popup(pControlPopup, bSelectFirst)) {
        m_pComboBox = NULL;
        return FALSE;
    }
    const int nSelected = GetCurSel();
    if (nSelected != LB_ERR)
        SendMessage(LB_SETTOPINDEX, nSelected);
    return TRUE;
}

BOOL CXTPControlComboBoxList::SetTracking(int nMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    if (!CXTPPopupBar::SetTracking(nMode, bSelectFirst, bKeyboard))
        return FALSE;
    if (nMode == 0)
        m_pComboBox = NULL;
    return TRUE;
}

CSize CXTPControlComboBoxList::CalcDynamicLayout(int, DWORD)
{
    const int nRows = std::min(std::max(GetCount(), 1),
                               std::max(m_pComboBox != NULL ? m_pComboBox->GetDropDownItemCount() : 12, 1));
    const int nWidth = m_pComboBox != NULL ? m_pComboBox->GetRect().Width() : 100;
    return CSize(nWidth, GetItemHeight() * nRows + 4);
}

int CXTPControlComboBoxList::OnKeyDown(UINT nChar, LPARAM lParam)
{
    CXTPControlComboBox* pComboBox = m_pComboBox;
    if (pComboBox == NULL)
        return CXTPPopupBar::OnKeyDown(nChar, lParam);
    if (nChar == VK_ESCAPE) {
        if (pComboBox->IsFocused())
            return pComboBox->OnHookKeyDown(nChar, lParam);
        ProcessSpecialKey(xtpKeyEscape);
        return XTP_HOOK_HANDLED;
    }
    if (nChar == VK_RETURN) {
        pComboBox->OnExecute();
        return XTP_HOOK_HANDLED;
    }
    const int nResult = pComboBox->OnHookKeyDown(nChar, lParam);
    return nResult == XTP_HOOK_PASS ? XTP_HOOK_PASS : XTP_HOOK_HANDLED;
}

int CXTPControlComboBoxList::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                                           LRESULT& lResult)
{
    if (IsTrackingMode() && nMessage == WM_MOUSEWHEEL) {
        // The wheel scrolls the list, wherever the cursor is.
        DefWindowProc(nMessage, wParam, lParam);
        return XTP_HOOK_HANDLED;
    }
    return CXTPPopupBar::OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
}

void CXTPControlComboBoxList::OnListMouseMove(CPoint point)
{
    const DWORD dwItem = static_cast<DWORD>(SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y)));
    if (HIWORD(dwItem) != 0)
        return;
    const int nItem = LOWORD(dwItem);
    if (nItem != GetCurSel())
        SendMessage(LB_SETCURSEL, nItem);
}

void CXTPControlComboBoxList::DrawBorder()
{
    CWindowDC dc(this);
    CRect rect;
    GetWindowRect(&rect);
    rect.OffsetRect(-rect.TopLeft());
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    const COLORREF clrBorder =
        pPaintManager != NULL ? pPaintManager->GetColor(43) : GetColorTable()->GetColor(COLOR_3DSHADOW);
    dc.Draw3dRect(rect, clrBorder, clrBorder);
    rect.DeflateRect(1, 1);
    const COLORREF clrWindow = GetColorTable()->GetColor(COLOR_WINDOW);
    dc.Draw3dRect(rect, clrWindow, clrWindow);
}

LRESULT CXTPControlComboBoxList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_GETOBJECT:
        return CXTPPopupBar::WindowProc(message, wParam, lParam);
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
        OnListMouseMove(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The list picks the item under the button but never takes the focus from the field.
        OnListMouseMove(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONUP:
        if (CXTPControlComboBox* pComboBox = m_pComboBox) {
            OnListMouseMove(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            pComboBox->InternalAddRef();
            pComboBox->OnSelChanged();
            pComboBox->OnExecute();
            pComboBox->InternalRelease();
        }
        return 0;
    case WM_NCPAINT: {
        const LRESULT lResult = DefWindowProc(message, wParam, lParam);
        DrawBorder();
        return lResult;
    }
    case WM_ERASEBKGND: {
        CRect rect;
        GetClientRect(&rect);
        CDC::FromHandle(reinterpret_cast<HDC>(wParam))
            ->FillSolidRect(rect, GetColorTable()->GetColor(COLOR_WINDOW));
        return TRUE;
    }
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

void CXTPControlComboBoxList::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPPopupBar::Copy(pCommandBar, bRecursive);
    auto* pSource = DYNAMIC_DOWNCAST(CXTPControlComboBoxList, pCommandBar);
    if (pSource == NULL || pSource == this)
        return;
    for (int i = 0; i < pSource->GetCount(); ++i)
        AddString(pSource->GetText(i));
}

void CXTPControlComboBoxList::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPPopupBar::DoPropExchange(pPX);
    CXTPPropExchangeSection items(pPX, L"Items");
    CString strName;
    if (pPX->IsStoring()) {
        const int nCount = GetCount();
        items->WriteCount(static_cast<DWORD>(nCount));
        for (int i = 0; i < nCount; ++i) {
            CString strItem = GetText(i);
            strName.Format(L"Item%i", i);
            ExchangeStringDefault(items.Get(), strName, strItem, L"");
        }
        return;
    }
    CreateListBox();
    const DWORD nCount = items->ReadCount();
    for (DWORD i = 0; i < nCount; ++i) {
        CString strItem;
        strName.Format(L"Item%i", static_cast<int>(i));
        ExchangeStringDefault(items.Get(), strName, strItem, L"");
        AddString(strItem);
    }
}

// ---------------------------------------------------------------------------------------------
// The edit window of the combo

BOOL CXTPControlComboBoxEditCtrl::OnOwnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& lResult)
{
    lResult = 0;
    switch (message) {
    case XTP_WM_SHELL_SUGGESTION_SHOWN:
        // The shell's list takes the place of the drop-down list.
        if (CXTPControlComboBoxList* pList = m_pControl->GetListBox();
            pList != NULL && pList->IsTrackingMode())
            pList->SetTracking(FALSE);
        return TRUE;
    case WM_KEYDOWN:
        if (wParam == VK_DELETE)
            m_pControl->m_bIgnoreAutoComplete = TRUE;
        return FALSE;
    case WM_CHAR:
        // A typed character may be completed again; Backspace never is.
        m_pControl->m_bIgnoreAutoComplete = wParam == VK_BACK;
        return FALSE;
    default:
        return FALSE;
    }
}

void CXTPControlComboBoxEditCtrl::SelectWholeText()
{
    PostMessage(EM_SETSEL, 0, -1);
}

void CXTPControlComboBoxEditCtrl::OnEnter()
{
    m_pControl->OnExecute();
}

// ---------------------------------------------------------------------------------------------
// The combo box

CXTPControlComboBox::CXTPControlComboBox()
{
    m_controlType = xtpControlComboBox;
    auto* pList =
        static_cast<CXTPControlComboBoxList*>(RUNTIME_CLASS(CXTPControlComboBoxList)->CreateObject());
    SetCommandBar(pList);
    pList->InternalRelease();
}

CXTPControlComboBoxList* CXTPControlComboBox::GetListBox() const
{
    return DYNAMIC_DOWNCAST(CXTPControlComboBoxList, m_pCommandBar);
}

int CXTPControlComboBox::AddString(LPCTSTR lpszItem)
{
    CXTPControlComboBoxList* pList = GetListBox();
    return pList != NULL ? pList->AddString(lpszItem) : LB_ERR;
}

int CXTPControlComboBox::GetCount() const
{
    CXTPControlComboBoxList* pList = GetListBox();
    return pList != NULL ? pList->GetCount() : 0;
}

BOOL CXTPControlComboBox::IsListOpenForMe() const
{
    CXTPControlComboBoxList* pList = GetListBox();
    return pList != NULL && pList->GetComboBox() == this && pList->IsTrackingMode();
}

void CXTPControlComboBox::SetEditText(const CString& strText)
{
    m_bHintShown = FALSE;
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd())) {
        CString strWindow;
        m_pEdit->GetWindowText(strWindow);
        if (strWindow != strText) {
            SetWindowTextQuietly(L"");
            SetWindowTextQuietly(strText);
        }
        m_pEdit->UpdateCharFormat(m_bEnabled, FALSE);
    }
    m_strEditText = strText;
    m_bTextChanged = FALSE;
    ShowHint();
    RedrawParent();
}

void CXTPControlComboBox::SetEditHint(LPCTSTR lpszHint)
{
    if (m_bHintShown) {
        m_bHintShown = FALSE;
        m_strEditText.Empty();
        if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()))
            SetWindowTextQuietly(L"");
    }
    m_strEditHint = lpszHint;
    ShowHint();
}

int CXTPControlComboBox::GetCurSel() const
{
    CXTPControlComboBoxList* pList = GetListBox();
    if (pList != NULL && ::IsWindow(pList->GetSafeHwnd()))
        return pList->GetCurSel();
    return m_nCurSel;
}

void CXTPControlComboBox::SetCurSel(int nIndex)
{
    CXTPControlComboBoxList* pList = GetListBox();
    if (pList != NULL && ::IsWindow(pList->GetSafeHwnd()))
        pList->SendMessage(LB_SETCURSEL, nIndex);
    m_nCurSel = nIndex;
    OnSelChanged();
}

CString CXTPControlComboBox::GetListBoxText() const
{
    CXTPControlComboBoxList* pList = GetListBox();
    const int nSelected = GetCurSel();
    return pList != NULL && nSelected >= 0 ? pList->GetText(nSelected) : CString();
}

void CXTPControlComboBox::OnSelChanged()
{
    m_nCurSel = GetCurSel();
    SetEditText(GetListBoxText());
    NotifyExecute(XTP_CBN_SELCHANGE);
}

void CXTPControlComboBox::OnExecute()
{
    if (GetCurSel() != LB_ERR && (IsListOpenForMe() || (m_bFocused && m_pEdit == NULL)))
        NotifyExecute(XTP_CBN_SELENDOK);
    m_bSelEndOk = TRUE;
    m_nLastSel = GetCurSel();
    Execute();
}

void CXTPControlComboBox::SetDropDownListStyle(BOOL bDropDown)
{
    m_bDropDown = bDropDown;
    if (bDropDown) {
        if (m_pEdit == NULL) {
            m_pEdit = new CXTPControlComboBoxEditCtrl;
            m_pEdit->m_pControl = this;
        }
    } else if (m_pEdit != NULL) {
        delete m_pAutoComplete;
        m_pAutoComplete = NULL;
        if (::IsWindow(m_pEdit->GetSafeHwnd()))
            m_pEdit->DestroyWindow();
        m_pEdit->m_pControl = NULL;
        delete m_pEdit;
        m_pEdit = NULL;
    }
    m_bDelayReposition = TRUE;
    DelayLayoutParent();
}

void CXTPControlComboBox::SetRect(CRect rcControl)
{
    CXTPCommandBar* pBar = m_pParent;
    m_rcControl = rcControl;
    if (m_pEdit == NULL || pBar == NULL || !::IsWindow(pBar->GetSafeHwnd()))
        return;
    const BOOL bExists = KeepWindowInBar(pBar);
    if (rcControl == m_rcEditPlaced && bExists && !m_bDelayReposition)
        return;
    m_rcEditPlaced = rcControl;
    m_bDelayReposition = FALSE;
    if (!bExists && !CreateEditWindow(pBar))
        return;
    if (CXTPPaintManagerCore* pPaintManager = GetPaintManager())
        m_pEdit->SetFont(pPaintManager->GetRegularFont());
    m_pEdit->RefreshFormat(m_bEnabled, m_bHintShown);
    PlaceEditWindow(rcControl, m_nThumbWidth + 3);
}

BOOL CXTPControlComboBox::SetPopupOpen(BOOL bOpen)
{
    if (bOpen) {
        m_bSelEndOk = FALSE;
        m_nLastSel = GetCurSel();
        if (!m_bFocused)
            m_strLastText = GetEditText();
        if (m_pAutoComplete != NULL)
            m_pAutoComplete->HideSuggestion();
        return CXTPControlPopup::SetPopupOpen(TRUE);
    }
    const BOOL bResult = CXTPControlPopup::SetPopupOpen(FALSE);
    if (!m_bFocused && m_pEdit == NULL && !m_bSelEndOk) {
        if (GetCurSel() != m_nLastSel)
            SetCurSel(m_nLastSel);
        NotifyExecute(XTP_CBN_SELENDCANCEL);
    }
    return bResult;
}

void CXTPControlComboBox::OnClick(BOOL bKeyboard, CPoint pt)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != NULL && pCommandBars->IsCustomizeMode()) {
        CXTPControl::OnClick(bKeyboard, pt);
        return;
    }
    if (!m_bEnabled || m_pParent == NULL)
        return;
    // Enter in the field: the bar clicks its hot control by keyboard, and the typed text is taken.
    if (bKeyboard && m_bFocused && m_pEdit != NULL && !IsListOpenForMe()) {
        OnExecute();
        return;
    }
    ToggleList(bKeyboard);
}

void CXTPControlComboBox::ToggleList(BOOL bKeyboard)
{
    if (m_pParent != NULL)
        m_pParent->OpenControlPopup(IsListOpenForMe() ? -1 : m_nIndex, bKeyboard);
}

void CXTPControlComboBox::SetFocused(BOOL bFocused)
{
    if (bFocused == m_bFocused)
        return;
    if (bFocused) {
        m_nLastSel = GetCurSel();
        m_bSelEndOk = FALSE;
        TakeFocus(XTP_CBN_SETFOCUS);
        return;
    }
    m_bFocused = FALSE;
    if (!m_bSelEndOk && !IsListOpenForMe() && m_pEdit == NULL) {
        if (GetCurSel() != m_nLastSel)
            SetCurSel(m_nLastSel);
        NotifyExecute(XTP_CBN_SELENDCANCEL);
    }
    GiveUpFocus(XTP_CBN_KILLFOCUS);
}

int CXTPControlComboBox::OnHookKeyDown(UINT nChar, LPARAM)
{
    // A typed key may be completed; after Backspace or Delete the next change is not.
    m_bIgnoreAutoComplete = nChar == VK_BACK || nChar == VK_DELETE;
    if (m_pAutoComplete != NULL && m_pAutoComplete->IsSuggestionShown())
        return XTP_HOOK_PASS;
    CXTPControlComboBoxList* pList = GetListBox();
    const BOOL bAlt = IsAltDown();
    switch (nChar) {
    case VK_TAB:
        return (m_dwShellAutoCompleteFlags & 8) != 0 && m_pAutoComplete != NULL ? XTP_HOOK_PASS : 0;
    case VK_RETURN:
        return 0;
    case VK_ESCAPE: {
        InternalAddRef();
        if (m_pParent != NULL)
            m_pParent->SetTracking(FALSE);
        if (GetCurSel() != m_nLastSel)
            SetCurSel(m_nLastSel);
        SetEditText(m_strLastText);
        SetFocused(FALSE);
        InternalRelease();
        return XTP_HOOK_HANDLED;
    }
    default:
        break;
    }
    if ((nChar == VK_F4 && !bAlt) || ((nChar == VK_UP || nChar == VK_DOWN) && bAlt)) {
        ToggleList(TRUE);
        return XTP_HOOK_HANDLED;
    }
    if (m_pAutoComplete != NULL && m_pAutoComplete->TranslateSuggestionKey(nChar))
        return XTP_HOOK_HANDLED;
    const BOOL bListKey =
        (nChar == VK_UP || nChar == VK_DOWN || nChar == VK_PRIOR || nChar == VK_NEXT) && !bAlt;
    if (pList != NULL && ::IsWindow(pList->GetSafeHwnd()) && (m_pEdit == NULL || bListKey)) {
        const int nBefore = pList->GetCurSel();
        pList->SendMessage(WM_KEYDOWN, nChar, 0);
        if (pList->GetCurSel() != nBefore) {
            OnSelChanged();
            if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd())) {
                m_pEdit->SendMessage(EM_SETSEL, 0, -1);
                m_pEdit->SendMessage(EM_SCROLLCARET);
            }
        }
        return XTP_HOOK_HANDLED;
    }
    if (m_pEdit == NULL || !::IsWindow(m_pEdit->GetSafeHwnd()))
        return XTP_HOOK_PASS;
    return m_pEdit->IsDialogKey(nChar) ? XTP_HOOK_HANDLED : XTP_HOOK_PASS;
}

void CXTPControlComboBox::AutoComplete()
{
    CString strText;
    m_pEdit->GetWindowText(strText);
    DWORD dwStart = 0;
    DWORD dwEnd = 0;
    m_pEdit->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
    CXTPControlComboBoxList* pList = GetListBox();
    if (pList == NULL || strText.IsEmpty() || dwStart != dwEnd ||
        dwEnd != static_cast<DWORD>(strText.GetLength()))
        return;
    // From -1 the search runs over the whole list from its first item.
    const int nFound = static_cast<int>(pList->SendMessage(
        LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strText))));
    if (nFound == LB_ERR)
        return;
    const CString strItem = pList->GetText(nFound);
    m_bIgnoreAutoComplete = TRUE;
    SetWindowTextQuietly(strItem);
    m_pEdit->SendMessage(EM_SETSEL, strItem.GetLength(), strText.GetLength());
    m_pEdit->SendMessage(EM_SCROLLCARET);
}

void CXTPControlComboBox::OnEditChanged()
{
    m_bTextChanged = TRUE;
    if (m_pEdit == NULL || !::IsWindow(m_pEdit->GetSafeHwnd()))
        return;
    if (m_bAutoComplete && !m_bIgnoreAutoComplete)
        AutoComplete();
    m_bIgnoreAutoComplete = TRUE;
    CXTPControlComboBoxList* pList = GetListBox();
    if (pList != NULL && ::IsWindow(pList->GetSafeHwnd())) {
        CString strText;
        m_pEdit->GetWindowText(strText);
        const LPARAM lText = reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strText));
        const int nExact =
            static_cast<int>(pList->SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lText));
        if (nExact != LB_ERR) {
            pList->SendMessage(LB_SETCURSEL, nExact);
        } else {
            const int nFound =
                static_cast<int>(pList->SendMessage(LB_FINDSTRING, static_cast<WPARAM>(-1), lText));
            if (nFound != LB_ERR)
                pList->SendMessage(LB_SETTOPINDEX, nFound);
            pList->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(-1));
        }
        m_nCurSel = pList->GetCurSel();
    }
    NotifyExecute(XTP_CBN_EDITCHANGE);
    m_pEdit->RefreshFormat(m_bEnabled, m_bHintShown);
}

void CXTPControlComboBox::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (auto* pSource = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl)) {
        m_nComboStyle = pSource->m_nComboStyle;
        m_nWidth = pSource->m_nWidth;
        SetEditText(pSource->GetEditText());
        m_strEditHint = pSource->m_strEditHint;
        SetDropDownListStyle(pSource->m_bDropDown);
        m_bAutoComplete = pSource->m_bAutoComplete;
        m_dwShellAutoCompleteFlags = pSource->m_dwShellAutoCompleteFlags;
        m_nEditIconId = pSource->m_nEditIconId;
        m_nDropDownItemCount = pSource->m_nDropDownItemCount;
    }
    CXTPControlPopup::Copy(pControl, bRecursive);
}

BOOL CXTPControlComboBox::IsEqual(CXTPControl* pOther) const
{
    auto* pComboBox = DYNAMIC_DOWNCAST(CXTPControlComboBox, pOther);
    return CXTPControlPopup::IsEqual(pOther) && pComboBox != NULL && pComboBox->m_nWidth == m_nWidth;
}

void CXTPControlComboBox::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControlPopup::DoPropExchange(pPX);
    BOOL bDropDown = m_bDropDown;
    long nWidth = m_nWidth;
    long nComboStyle = m_nComboStyle;
    ExchangeBool(pPX, L"DropDown", bDropDown, TRUE);
    ExchangeLongDefault(pPX, L"Width", nWidth, 0);
    ExchangeLongDefault(pPX, L"ComboStyle", nComboStyle, 0);
    long nFlags = static_cast<long>(m_dwShellAutoCompleteFlags);
    if (pPX->m_nSchema > 8) {
        ExchangeString(pPX, L"EditHint", m_strEditHint);
        ExchangeLongDefault(pPX, L"ShellAutoCompleteFlags", nFlags, 0);
        ExchangeBool(pPX, L"AutoComplete", m_bAutoComplete, FALSE);
        long nIconId = m_nEditIconId;
        long nItemCount = m_nDropDownItemCount;
        ExchangeLongDefault(pPX, L"EditIconId", nIconId, 0);
        ExchangeLongDefault(pPX, L"DropDownItemCount", nItemCount, 12);
        m_nEditIconId = static_cast<int>(nIconId);
        m_nDropDownItemCount = static_cast<int>(nItemCount);
    }
    m_nWidth = static_cast<int>(nWidth);
    m_nComboStyle = static_cast<int>(nComboStyle);
    if (pPX->IsLoading()) {
        SetDropDownListStyle(bDropDown);
        EnableShellAutoComplete(static_cast<DWORD>(nFlags));
    }
}
