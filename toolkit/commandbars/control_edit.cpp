#include "control_edit.h"

#include "command_bar.h"
#include "command_bars.h"
#include "hook_managers.h"
#include "popup_bar.h"
#include "prop_exchange.h"
#include "tooltip_controller.h"

#include <afxpriv.h>
#include <richedit.h>
#include <windowsx.h>

IMPLEMENT_DYNCREATE(CXTPEdit, CEdit)
IMPLEMENT_DYNCREATE(CXTPControlEditCtrl, CXTPEdit)
IMPLEMENT_DYNCREATE(CXTPControlEdit, CXTPControl)

int CXTPRichEditLibrary::s_nForceFallback = 0;

CXTPRichEditLibrary& CXTPRichEditLibrary::Instance()
{
    static CXTPRichEditLibrary library;
    return library;
}

CXTPRichEditLibrary::CXTPRichEditLibrary()
{
    if (s_nForceFallback < 1)
        m_hModule = ::LoadLibraryA("RICHED20.DLL");
    m_bVersion2 = m_hModule != NULL;
    if (m_hModule == NULL && s_nForceFallback < 2)
        m_hModule = ::LoadLibraryA("RICHED32.DLL");
}

CXTPRichEditLibrary::~CXTPRichEditLibrary()
{
    if (m_hModule != NULL)
        ::FreeLibrary(m_hModule);
}

BOOL CXTPEdit::CreateEdit(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd)
{
    const CXTPRichEditLibrary& library = CXTPRichEditLibrary::Instance();
    if (library.GetClassName() == NULL)
        return CreateEx(0, L"EDIT", L"", dwStyle, rect, pParentWnd, 0);
    if (!CreateEx(0, library.GetClassName(), L"", dwStyle, rect, pParentWnd, 0))
        return FALSE;
    SendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE);
    SendMessage(EM_SETTEXTMODE, TM_PLAINTEXT | TM_SINGLELEVELUNDO);
    return TRUE;
}

BOOL CXTPEdit::IsDialogKey(UINT nChar) const
{
    if (nChar != VK_BACK && (nChar < VK_PRIOR || nChar > VK_DELETE))
        return FALSE;
    MSG msg{m_hWnd, WM_KEYDOWN, nChar, 0, 0, {0, 0}};
    return ::IsDialogMessageW(m_hWnd, &msg);
}

BOOL CXTPEdit::IsCommandEnabled(UINT nId) const
{
    if (nId == ID_EDIT_CUT || nId == ID_EDIT_COPY) {
        DWORD dwStart = 0;
        DWORD dwEnd = 0;
        ::SendMessageW(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart),
                       reinterpret_cast<LPARAM>(&dwEnd));
        return dwStart != dwEnd;
    }
    if (nId == ID_EDIT_PASTE)
        return ::IsClipboardFormatAvailable(CF_TEXT);
    return FALSE;
}

BOOL CXTPEdit::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (static_cast<UINT>(nCode) == CN_UPDATE_COMMAND_UI && pExtra != NULL &&
        (nID == ID_EDIT_CUT || nID == ID_EDIT_COPY || nID == ID_EDIT_PASTE)) {
        static_cast<CCmdUI*>(pExtra)->Enable(IsCommandEnabled(nID));
        return TRUE;
    }
    return CEdit::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CXTPEdit::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case ID_EDIT_CUT:
        SendMessage(WM_CUT);
        return TRUE;
    case ID_EDIT_COPY:
        SendMessage(WM_COPY);
        return TRUE;
    case ID_EDIT_PASTE:
        SendMessage(WM_PASTE);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CXTPEdit::ShowContextMenu(CXTPControl* pControl, CPoint point)
{
    CString strCut;
    CXTPCommandBar* pBar = pControl != NULL ? pControl->GetParent() : NULL;
    CXTPCommandBars* pCommandBars = pBar != NULL ? pBar->GetCommandBars() : NULL;
    if (!strCut.LoadString(ID_EDIT_CUT) || pCommandBars == NULL)
        return FALSE;
    ClientToScreen(&point);
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
    if (pPopup == NULL)
        return FALSE;
    for (UINT nId : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE})
        pPopup->GetControls()
            ->Add(xtpControlButton, static_cast<int>(nId))
            ->SetEnabled(IsCommandEnabled(nId));
    UINT nFlags = TPM_RECURSE | TPM_NONOTIFY | TPM_RETURNCMD;
    if (pBar->GetExStyle() & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING))
        nFlags |= TPM_RIGHTALIGN;
    // The field's focus holds the mouse manager's lock; the menu must track freely meanwhile.
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    --pMouseManager->m_nLock;
    const int nCommand = CXTPCommandBars::TrackPopupBar(pPopup, nFlags, point.x, point.y, this);
    ++pMouseManager->m_nLock;
    if (nCommand > 0)
        OnCommand(static_cast<WPARAM>(nCommand), 0);
    pPopup->InternalRelease();
    pBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    return TRUE;
}

LRESULT CXTPEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_IME_STARTCOMPOSITION: {
        const LRESULT lResult = CEdit::WindowProc(message, wParam, lParam);
        m_bComposing = TRUE;
        return lResult;
    }
    case WM_IME_ENDCOMPOSITION:
    case WM_KILLFOCUS: {
        const LRESULT lResult = CEdit::WindowProc(message, wParam, lParam);
        m_bComposing = FALSE;
        return lResult;
    }
    default:
        return CEdit::WindowProc(message, wParam, lParam);
    }
}

LRESULT CXTPControlEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CXTPControlEdit* pControl = m_pControl;
    if (pControl == NULL)
        return CXTPEdit::WindowProc(message, wParam, lParam);
    CXTPCommandBar* pBar = pControl->GetParent();
    CXTPCommandBars* pCommandBars = pControl->GetCommandBars();
    const BOOL bCustomize = pCommandBars != NULL && pCommandBars->IsCustomizeMode();
    switch (message) {
    case XTP_WM_TOOLTIP_CHECK:
        return 1;
    case WM_SETFOCUS: {
        const LRESULT lResult = CXTPEdit::WindowProc(message, wParam, lParam);
        if (!bCustomize) {
            pControl->OnEditSetFocus();
            SendMessage(EM_SETSEL, 0, -1);
        }
        return lResult;
    }
    case WM_KILLFOCUS: {
        const LRESULT lResult = CXTPEdit::WindowProc(message, wParam, lParam);
        pControl->OnEditKillFocus();
        return lResult;
    }
    case WM_KEYDOWN: {
        const int nResult = pControl->OnHookKeyDown(static_cast<UINT>(wParam));
        if (nResult == 1)
            return 0;
        if (nResult == 0 && (wParam == VK_RETURN || wParam == VK_TAB)) {
            if (wParam == VK_RETURN)
                pControl->Execute();
            return 0;
        }
        break;
    }
    case WM_LBUTTONDOWN:
        if (bCustomize) {
            if (pBar != NULL && pBar->IsCustomizable() && (pControl->GetFlags() & xtpFlagNoMovable) == 0)
                pControl->OnClick(FALSE, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        }
        break;
    case WM_RBUTTONDOWN: {
        CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (bCustomize) {
            if (pBar != NULL) {
                MapWindowPoints(pBar, &point, 1);
                pBar->SendMessage(WM_RBUTTONDOWN, wParam, MAKELPARAM(point.x, point.y));
            }
            return 0;
        }
        pControl->SetFocused(TRUE);
        if (ShowContextMenu(pControl, point))
            return 0;
        break;
    }
    case WM_MOUSEMOVE:
        if (pBar != NULL) {
            CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            MapWindowPoints(pBar, &point, 1);
            pBar->SendMessage(WM_MOUSEMOVE, wParam, MAKELPARAM(point.x, point.y));
        }
        break;
    case WM_DESTROY:
        pControl->OnEditDestroyed();
        break;
    default:
        break;
    }
    const LRESULT lResult = CXTPEdit::WindowProc(message, wParam, lParam);
    if (message == WM_CHAR || message == WM_PASTE || message == WM_CUT || message == WM_CLEAR ||
        message == WM_UNDO || message == EM_UNDO)
        pControl->OnEditChanged();
    return lResult;
}

CXTPControlEdit::CXTPControlEdit()
{
    m_controlType = xtpControlEdit;
}

CXTPControlEdit::~CXTPControlEdit()
{
    if (m_pEdit != NULL) {
        m_pEdit->m_pControl = NULL;
        if (::IsWindow(m_pEdit->GetSafeHwnd()))
            m_pEdit->DestroyWindow();
        delete m_pEdit;
    }
}

CString CXTPControlEdit::GetEditText() const
{
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()) && m_bTextChanged && !m_bHintShown) {
        CString strText;
        m_pEdit->GetWindowText(strText);
        m_strEditText = strText;
    }
    // A text equal to the hint is the hint standing in the empty field.
    return m_bHintShown || (!m_strEditHint.IsEmpty() && m_strEditText == m_strEditHint) ? CString()
                                                                                        : m_strEditText;
}

void CXTPControlEdit::SetEditText(const CString& strText)
{
    m_strEditText = strText;
    m_bHintShown = FALSE;
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()))
        m_pEdit->SetWindowText(strText);
    m_bTextChanged = FALSE;
    ShowHint();
}

void CXTPControlEdit::SetEditHint(LPCTSTR lpszHint)
{
    m_strEditHint = lpszHint;
    ShowHint();
}

void CXTPControlEdit::ShowHint()
{
    if (m_bFocused || m_strEditHint.IsEmpty() || !GetEditText().IsEmpty())
        return;
    m_bHintShown = TRUE;
    m_strEditText.Empty();
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()))
        m_pEdit->SetWindowText(m_strEditHint);
    m_bTextChanged = FALSE;
}

void CXTPControlEdit::SetReadOnly(BOOL bReadOnly)
{
    m_bReadOnly = bReadOnly;
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()))
        m_pEdit->SendMessage(EM_SETREADONLY, bReadOnly);
}

void CXTPControlEdit::SetWidth(int nWidth)
{
    if (m_nWidth == nWidth)
        return;
    m_nWidth = nWidth;
    DelayLayoutParent();
}

void CXTPControlEdit::SetEnabled(BOOL bEnabled)
{
    if (bEnabled == m_bEnabled)
        return;
    CXTPControl::SetEnabled(bEnabled);
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()))
        m_pEdit->EnableWindow(bEnabled);
    RedrawParent();
}

void CXTPControlEdit::UpdateEditWindowShown()
{
    if (m_pEdit == NULL || !::IsWindow(m_pEdit->GetSafeHwnd()))
        return;
    m_pEdit->SetWindowPos(NULL, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                              (IsVisible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CXTPControlEdit::SetHideFlags(DWORD dwFlags)
{
    if (dwFlags == m_dwHideFlags)
        return;
    m_dwHideFlags = dwFlags;
    UpdateEditWindowShown();
    DelayLayoutParent();
}

void CXTPControlEdit::SetHideFlag(DWORD dwFlag, BOOL bSet)
{
    SetHideFlags(bSet ? (m_dwHideFlags | dwFlag) : (m_dwHideFlags & ~dwFlag));
}

CSize CXTPControlEdit::GetSize(CDC* pDC)
{
    return CSize(m_nWidth, CXTPControl::GetSize(pDC).cy);
}

void CXTPControlEdit::SetRect(CRect rcControl)
{
    CXTPCommandBar* pBar = m_pParent;
    if (pBar == NULL || !::IsWindow(pBar->GetSafeHwnd())) {
        m_rcControl = rcControl;
        return;
    }
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()) &&
        ((m_pEdit->GetExStyle() & WS_EX_LAYOUTRTL) != 0 ||
         ::GetParent(m_pEdit->GetSafeHwnd()) != pBar->GetSafeHwnd()))
        m_pEdit->DestroyWindow();
    const BOOL bExists = m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd());
    if (rcControl == m_rcControl && bExists && !m_bDelayReposition)
        return;
    m_rcControl = rcControl;
    m_bDelayReposition = FALSE;
    if (!bExists) {
        if (m_pEdit == NULL) {
            m_pEdit = new CXTPControlEditCtrl;
            m_pEdit->m_pControl = this;
        }
        if (!m_pEdit->CreateEdit(WS_CHILD | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), pBar))
            return;
        m_pEdit->SetWindowText(m_bHintShown ? m_strEditHint : m_strEditText);
        m_bTextChanged = FALSE;
        m_pEdit->EnableWindow(m_bEnabled);
        if (CXTPPaintManagerCore* pPaintManager = GetPaintManager())
            m_pEdit->SetFont(pPaintManager->GetRegularFont());
        m_pEdit->SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 3));
        m_pEdit->SendMessage(EM_SETREADONLY, m_bReadOnly);
    }
    CRect rcEdit(rcControl.left + m_nLabelWidth + 4, rcControl.top + 3, rcControl.right - 3,
                 rcControl.bottom - 3);
    m_pEdit->SetWindowPos(NULL, rcEdit.left, rcEdit.top, rcEdit.Width(), rcEdit.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE | (IsVisible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CXTPControlEdit::Notify(UINT nCode)
{
    NotifyExecute(nCode);
}

void CXTPControlEdit::SetFocused(BOOL bFocused)
{
    if (bFocused == m_bFocused)
        return;
    CXTPCommandBar* pBar = m_pParent;
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    const HWND hwndEdit = m_pEdit != NULL ? m_pEdit->GetSafeHwnd() : NULL;
    if (bFocused) {
        m_bFocused = TRUE;
        if (m_bHintShown) {
            m_bHintShown = FALSE;
            m_strEditText.Empty();
            if (::IsWindow(hwndEdit))
                m_pEdit->SetWindowText(L"");
        }
        m_strLastText = GetEditText();
        if (m_hwndPreviousFocus == NULL) {
            const HWND hwndFocus = ::GetFocus();
            m_hwndPreviousFocus = hwndFocus != hwndEdit ? hwndFocus : NULL;
        }
        if (::IsWindow(hwndEdit) && ::GetFocus() != hwndEdit)
            ::SetFocus(hwndEdit);
        if (pBar != NULL) {
            pBar->SetTracking(TRUE);
            pBar->SetSelected(m_nIndex);
        }
        ++pMouseManager->m_nLock;
        Notify(EN_SETFOCUS);
    } else {
        m_bFocused = FALSE;
        if (::IsWindow(hwndEdit) && ::GetFocus() == hwndEdit) {
            const HWND hwndPrevious = m_hwndPreviousFocus;
            m_hwndPreviousFocus = NULL;
            ::SetFocus(::IsWindow(hwndPrevious) ? hwndPrevious : NULL);
        }
        m_hwndPreviousFocus = NULL;
        --pMouseManager->m_nLock;
        Notify(EN_KILLFOCUS);
        ShowHint();
    }
    RedrawParent();
}

void CXTPControlEdit::OnEditSetFocus()
{
    SetFocused(TRUE);
}

void CXTPControlEdit::OnEditKillFocus()
{
    SetFocused(FALSE);
}

void CXTPControlEdit::OnEditChanged()
{
    m_bTextChanged = TRUE;
    if (m_pEdit != NULL && ::GetFocus() == m_pEdit->GetSafeHwnd())
        Notify(EN_CHANGE);
}

void CXTPControlEdit::OnEditDestroyed()
{
    if (!m_bHintShown && m_pEdit != NULL) {
        CString strText;
        m_pEdit->GetWindowText(strText);
        m_strEditText = strText;
    }
    m_bTextChanged = FALSE;
}

int CXTPControlEdit::OnHookKeyDown(UINT nChar)
{
    if (!m_bFocused || m_pEdit == NULL || !::IsWindow(m_pEdit->GetSafeHwnd()))
        return 0;
    switch (nChar) {
    case VK_RETURN:
    case VK_TAB:
        return 0;
    case VK_ESCAPE:
        SetEditText(m_strLastText);
        SetFocused(FALSE);
        return 1;
    default:
        return 2;
    }
}

void CXTPControlEdit::OnClick(BOOL bKeyboard, CPoint pt)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != NULL && pCommandBars->IsCustomizeMode()) {
        CXTPControl::OnClick(bKeyboard, pt);
        return;
    }
    if (m_pEdit == NULL || !::IsWindow(m_pEdit->GetSafeHwnd()))
        return;
    if (::GetFocus() != m_pEdit->GetSafeHwnd())
        m_pEdit->SetFocus();
    else
        SetFocused(TRUE);
}

void CXTPControlEdit::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (auto* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, pControl)) {
        m_nWidth = pEdit->m_nWidth;
        SetEditText(pEdit->GetEditText());
        m_bLabel = pEdit->m_bLabel;
        m_bReadOnly = pEdit->m_bReadOnly;
        m_strEditHint = pEdit->m_strEditHint;
        m_dwShellAutoCompleteFlags = pEdit->m_dwShellAutoCompleteFlags;
    }
    CXTPControl::Copy(pControl, bRecursive);
}

BOOL CXTPControlEdit::IsEqual(CXTPControl* pOther) const
{
    auto* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, pOther);
    return CXTPControl::IsEqual(pOther) && pEdit != NULL && pEdit->m_nWidth == m_nWidth;
}

void CXTPControlEdit::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControl::DoPropExchange(pPX);
    const UINT nSchema = pPX->m_nSchema;
    long nWidth = m_nWidth;
    if (nSchema > 5) {
        ExchangeBool(pPX, L"HasLabel", m_bLabel, FALSE);
        ExchangeLongDefault(pPX, L"Width", nWidth, 0);
    }
    if (nSchema > 7)
        ExchangeBool(pPX, L"ReadOnly", m_bReadOnly, FALSE);
    if (nSchema > 8) {
        ExchangeString(pPX, L"EditHint", m_strEditHint);
        long nFlags = static_cast<long>(m_dwShellAutoCompleteFlags);
        ExchangeLongDefault(pPX, L"ShellAutoCompleteFlags", nFlags, 0);
        m_dwShellAutoCompleteFlags = static_cast<DWORD>(nFlags);
    }
    m_nWidth = static_cast<int>(nWidth);
}
