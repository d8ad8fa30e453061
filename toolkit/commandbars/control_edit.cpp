#include "control_edit.h"

#include "color_table.h"
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

CXTPRichEditLibrary& CXTPRichEditLibrary::Instance()
{
    static CXTPRichEditLibrary library;
    return library;
}

CXTPRichEditLibrary::CXTPRichEditLibrary()
{
    Load(0);
}

void CXTPRichEditLibrary::Load(int nFallback)
{
    if (m_hModule != NULL)
        ::FreeLibrary(m_hModule);
    m_hModule = NULL;
    if (nFallback < 1)
        m_hModule = ::LoadLibraryA("RICHED20.DLL");
    m_bVersion2 = m_hModule != NULL;
    if (m_hModule == NULL && nFallback < 2)
        m_hModule = ::LoadLibraryA("RICHED32.DLL");
}

void CXTPRichEditLibrary::SetForceFallback(int nFallback)
{
    Instance().Load(nFallback);
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

void CXTPEdit::UpdateCharFormat(BOOL bEnabled, BOOL bHintShown)
{
    const CXTPRichEditLibrary& library = CXTPRichEditLibrary::Instance();
    if (library.GetClassName() == NULL || !::IsWindow(m_hWnd))
        return;
    CXTPColorTable* pColors = GetColorTable();
    CHARFORMAT2W format{};
    // The version-1 rich edit takes the short ANSI structure; only its colour fields are set here.
    format.cbSize = library.IsVersion2() ? sizeof(CHARFORMAT2W) : sizeof(CHARFORMATA);
    format.dwMask = CFM_COLOR | (library.IsVersion2() ? CFM_BACKCOLOR : 0);
    format.crTextColor = pColors->GetColor(bEnabled && !bHintShown ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    format.crBackColor = pColors->GetColor(bEnabled ? COLOR_WINDOW : COLOR_BTNFACE);
    SendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

void CXTPEdit::RefreshFormat(BOOL bEnabled, BOOL bHintShown)
{
    if (!::IsWindow(m_hWnd))
        return;
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 3));
    UpdateCharFormat(bEnabled, bHintShown);
}

void CXTPEdit::ShowWithControl(BOOL bVisible)
{
    if (::IsWindow(m_hWnd))
        SetWindowPos(NULL, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

BOOL CXTPEdit::OnFieldMessage(CXTPControl* pControl, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    CXTPCommandBars* pCommandBars = pControl->GetCommandBars();
    const BOOL bCustomize = pCommandBars != NULL && pCommandBars->IsCustomizeMode();
    CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    lResult = 0;
    switch (message) {
    case XTP_WM_TOOLTIP_CHECK:
        lResult = 1;
        return TRUE;
    case WM_LBUTTONDOWN:
        if (!bCustomize)
            return FALSE;
        if (pBar != NULL && pBar->IsCustomizable() && (pControl->GetFlags() & xtpFlagNoMovable) == 0)
            pControl->OnClick(FALSE, point);
        return TRUE;
    case WM_RBUTTONDOWN:
        if (bCustomize) {
            if (pBar != NULL) {
                MapWindowPoints(pBar, &point, 1);
                pBar->SendMessage(WM_RBUTTONDOWN, wParam, MAKELPARAM(point.x, point.y));
            }
            return TRUE;
        }
        // An open drop-down list closes first.
        if (CXTPCommandBar* pPopup = pControl->GetCommandBar(); pPopup != NULL && pPopup->IsTrackingMode())
            pPopup->SetTracking(FALSE);
        pControl->SetFocused(TRUE);
        return ShowContextMenu(pControl, point);
    case WM_MOUSEMOVE:
        if (pBar != NULL) {
            MapWindowPoints(pBar, &point, 1);
            pBar->SendMessage(WM_MOUSEMOVE, wParam, MAKELPARAM(point.x, point.y));
        }
        return FALSE;
    default:
        return FALSE;
    }
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

HHOOK CXTPShellAutoComplete::s_hHook = NULL;
CXTPShellAutoComplete* CXTPShellAutoComplete::s_pOwner = NULL;

CXTPShellAutoComplete::~CXTPShellAutoComplete()
{
    HookEdit(FALSE);
}

HRESULT CXTPShellAutoComplete::SHAutoComplete(HWND hwndEdit, DWORD dwFlags)
{
    HMODULE hShell = ::LoadLibraryA("shlwapi.dll");
    if (hShell == NULL)
        return E_FAIL;
    typedef HRESULT(WINAPI * PFNSHAUTOCOMPLETE)(HWND, DWORD);
    auto pfn = reinterpret_cast<PFNSHAUTOCOMPLETE>(
        reinterpret_cast<void*>(::GetProcAddress(hShell, "SHAutoComplete")));
    const HRESULT hr = pfn != NULL ? pfn(hwndEdit, dwFlags) : E_FAIL;
    ::FreeLibrary(hShell);
    return hr;
}

CXTPShellAutoComplete* CXTPShellAutoComplete::Attach(HWND hwndEdit, DWORD dwFlags)
{
    if (dwFlags == 0 || !::IsWindow(hwndEdit) || FAILED(SHAutoComplete(hwndEdit, dwFlags)))
        return NULL;
    return new CXTPShellAutoComplete(hwndEdit);
}

void CXTPShellAutoComplete::HookEdit(BOOL bInstall)
{
    if (bInstall) {
        if (s_pOwner == this)
            return;
        if (s_pOwner != NULL)
            s_pOwner->HookEdit(FALSE);
        s_hHook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CXTPShellAutoComplete::CallWndProc,
                                      AfxGetInstanceHandle(), ::GetCurrentThreadId());
        s_pOwner = this;
        CXTPKeyboardManager::GetInstance()->HookKeyboard(this);
        return;
    }
    if (s_pOwner != this)
        return;
    if (s_hHook != NULL)
        ::UnhookWindowsHookEx(s_hHook);
    s_hHook = NULL;
    s_pOwner = NULL;
    CXTPKeyboardManager::GetInstance()->UnhookKeyboard(this);
    SetSuggestionWindow(NULL);
}

void CXTPShellAutoComplete::SetSuggestionWindow(HWND hWnd)
{
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    if (m_hwndSuggestion != NULL)
        pMouseManager->RemoveTrustedWindow(m_hwndSuggestion);
    m_hwndSuggestion = hWnd;
    if (hWnd != NULL)
        pMouseManager->AddTrustedWindow(hWnd);
}

BOOL CXTPShellAutoComplete::TranslateSuggestionKey(UINT nChar)
{
    if (m_hwndSuggestion == NULL || ::GetKeyState(VK_MENU) < 0)
        return FALSE;
    if (nChar != VK_UP && nChar != VK_DOWN && nChar != VK_NEXT && nChar != VK_PRIOR)
        return FALSE;
    const HWND hFirst = ::GetWindow(m_hwndSuggestion, GW_CHILD);
    const HWND hList = hFirst != NULL ? ::GetWindow(::GetWindow(hFirst, GW_CHILD), GW_HWNDLAST) : NULL;
    if (hList == NULL)
        return FALSE;
    MSG msg{hList, WM_KEYDOWN, nChar, 0, 0, {0, 0}};
    return ::IsDialogMessageW(hList, &msg);
}

void CXTPShellAutoComplete::HideSuggestion()
{
    if (m_hwndSuggestion != NULL && ::IsWindow(m_hwndSuggestion))
        ::ShowWindow(m_hwndSuggestion, SW_HIDE);
}

int CXTPShellAutoComplete::OnHookMessage(HWND, UINT nMessage, WPARAM&, LPARAM&, LRESULT&)
{
    return nMessage == WM_MOUSEWHEEL && m_hwndSuggestion != NULL ? XTP_HOOK_PASS : XTP_HOOK_NEXT;
}

void CXTPShellAutoComplete::OnWindowPosChanging(HWND hWnd, const WINDOWPOS* pPos)
{
    if (m_hwndSuggestion != NULL) {
        if (hWnd == m_hwndSuggestion && (pPos->flags & SWP_HIDEWINDOW) != 0)
            SetSuggestionWindow(NULL);
        return;
    }
    if ((pPos->flags & SWP_SHOWWINDOW) == 0)
        return;
    WCHAR szClass[64] = {0};
    ::GetClassNameW(hWnd, szClass, 64);
    if (wcscmp(szClass, SuggestionClassName()) != 0)
        return;
    SetSuggestionWindow(hWnd);
    ::PostMessageW(m_hwndEdit, XTP_WM_SHELL_SUGGESTION_SHOWN, 0, 0);
}

LRESULT CALLBACK CXTPShellAutoComplete::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const HHOOK hHook = s_hHook;
    if (nCode == HC_ACTION && s_pOwner != NULL) {
        const auto* pMessage = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (pMessage->message == WM_WINDOWPOSCHANGING && pMessage->lParam != 0)
            s_pOwner->OnWindowPosChanging(pMessage->hwnd,
                                          reinterpret_cast<const WINDOWPOS*>(pMessage->lParam));
    }
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

BOOL CXTPControlEditCtrl::OnOwnMessage(UINT message, WPARAM, LPARAM, LRESULT& lResult)
{
    lResult = 0;
    return message == XTP_WM_SHELL_SUGGESTION_SHOWN;
}

void CXTPControlEditCtrl::SelectWholeText()
{
    SendMessage(EM_SETSEL, 0, -1);
}

void CXTPControlEditCtrl::OnEnter()
{
    m_pControl->Execute();
}

CXTPControlEdit::CXTPControlEdit()
{
    m_controlType = xtpControlEdit;
    m_bTextChanged = TRUE;
}

void CXTPControlEdit::SetEditText(const CString& strText)
{
    m_strEditText = strText;
    m_bHintShown = FALSE;
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()))
        SetWindowTextQuietly(strText);
    m_bTextChanged = FALSE;
    ShowHint();
}

void CXTPControlEdit::SetEditHint(LPCTSTR lpszHint)
{
    m_strEditHint = lpszHint;
    ShowHint();
}

void CXTPControlEdit::SetReadOnly(BOOL bReadOnly)
{
    m_bReadOnly = bReadOnly;
    if (m_pEdit != NULL && ::IsWindow(m_pEdit->GetSafeHwnd()))
        m_pEdit->SendMessage(EM_SETREADONLY, bReadOnly);
}

void CXTPControlEdit::SetRect(CRect rcControl)
{
    CXTPCommandBar* pBar = m_pParent;
    if (pBar == NULL || !::IsWindow(pBar->GetSafeHwnd())) {
        m_rcControl = rcControl;
        return;
    }
    const BOOL bExists = KeepWindowInBar(pBar);
    if (rcControl == m_rcControl && bExists && !m_bDelayReposition)
        return;
    m_rcControl = rcControl;
    m_bDelayReposition = FALSE;
    if (!bExists) {
        if (m_pEdit == NULL) {
            m_pEdit = new CXTPControlEditCtrl;
            m_pEdit->m_pControl = this;
        }
        if (!CreateEditWindow(pBar))
            return;
        if (CXTPPaintManagerCore* pPaintManager = GetPaintManager())
            m_pEdit->SetFont(pPaintManager->GetRegularFont());
        m_pEdit->RefreshFormat(m_bEnabled, m_bHintShown);
        m_pEdit->SendMessage(EM_SETREADONLY, m_bReadOnly);
    }
    PlaceEditWindow(rcControl, 3);
}

void CXTPControlEdit::Notify(UINT nCode)
{
    NotifyExecute(nCode);
}

void CXTPControlEdit::SetFocused(BOOL bFocused)
{
    if (bFocused == m_bFocused)
        return;
    if (bFocused)
        TakeFocus(EN_SETFOCUS);
    else
        GiveUpFocus(EN_KILLFOCUS);
}

void CXTPControlEdit::OnEditChanged()
{
    m_bTextChanged = TRUE;
    if (m_pEdit != NULL && ::GetFocus() == m_pEdit->GetSafeHwnd())
        Notify(EN_CHANGE);
    if (m_pEdit != NULL)
        m_pEdit->RefreshFormat(m_bEnabled, m_bHintShown);
}

int CXTPControlEdit::OnHookKeyDown(UINT nChar, LPARAM)
{
    if (!m_bFocused || m_pEdit == NULL || !::IsWindow(m_pEdit->GetSafeHwnd()))
        return 0;
    if (m_pAutoComplete != NULL && m_pAutoComplete->IsSuggestionShown())
        return XTP_HOOK_PASS;
    switch (nChar) {
    case VK_RETURN:
    case VK_TAB:
        return 0;
    case VK_ESCAPE:
        // A docked or dialog bar stops tracking first, as for a combo box: the keyboard goes back to a
        // window outside the bar, whose keys a tracking bar would take. An open menu stays open.
        InternalAddRef();
        if (m_pParent != NULL && m_pParent->GetPosition() != xtpBarPopup)
            m_pParent->SetTracking(FALSE);
        SetEditText(m_strLastText);
        SetFocused(FALSE);
        InternalRelease();
        return 1;
    default:
        if (m_pAutoComplete != NULL && m_pAutoComplete->TranslateSuggestionKey(nChar))
            return XTP_HOOK_HANDLED;
        return m_pEdit->IsDialogKey(nChar) ? XTP_HOOK_HANDLED : XTP_HOOK_PASS;
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
    else if (bKeyboard && m_bFocused)
        // Enter in the field: the bar clicks its hot control by keyboard, and the field executes.
        Execute();
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
        if (pPX->IsLoading())
            EnableShellAutoComplete(static_cast<DWORD>(nFlags));
    }
    m_nWidth = static_cast<int>(nWidth);
}
