// CPropertySheet and CPropertyPage over the system's property sheet.
#include <afxdlgs.h>
#include <afxpriv.h>

#include "modal_run.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

// The sheet being created on this thread, for the system's pre-creation callback (which gets no
// context of its own).
thread_local CPropertySheet* t_pSheetCreating = NULL;

CString LoadCaption(UINT nID)
{
    CString text;
    if (nID != 0)
        text.LoadString(nID);
    return text;
}

UINT CALLBACK PropertyPageCallback(HWND, UINT message, LPPROPSHEETPAGE ppsp)
{
    // The page window about to be made is attached to its object by the creation hook, so that
    // its map sees every message, WM_INITDIALOG among them.
    if (message == PSPCB_CREATE && ppsp != NULL) {
        CPropertyPage* pPage = reinterpret_cast<CPropertyPage*>(ppsp->lParam);
        if (pPage != NULL && pPage->m_hWnd == NULL)
            AfxHookWindowCreate(pPage);
    }
    return 1;
}

INT_PTR CALLBACK PropertyPageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const PROPSHEETPAGE* ppsp = reinterpret_cast<const PROPSHEETPAGE*>(lParam);
        CPropertyPage* pPage = ppsp != NULL ? reinterpret_cast<CPropertyPage*>(ppsp->lParam) : NULL;
        AFX_THREAD_STATE* pState = AfxGetThreadState();
        if (pState->m_pWndInit == pPage)
            pState->m_pWndInit = NULL;
        if (pState->m_pWndInit == NULL)
            AfxUnhookWindowCreate();
        // A system that skipped the creation callback: the page is taken over now, still before
        // its OnInitDialog.
        if (pPage != NULL && pPage->m_hWnd == NULL)
            pPage->SubclassWindow(hWnd);
    }
    return AfxDlgProc(hWnd, message, wParam, lParam);
}

} // namespace

int CALLBACK AfxPropertySheetCallback(HWND, UINT message, LPARAM lParam)
{
    CPropertySheet* pSheet = t_pSheetCreating;
    if (message != PSCB_PRECREATE || pSheet == NULL || lParam == 0)
        return 0;
    // The template of the sheet window: DLGTEMPLATEEX (signature 0xFFFF) or DLGTEMPLATE.
    BYTE* pTemplate = reinterpret_cast<BYTE*>(lParam);
    const bool bExtended = reinterpret_cast<const WORD*>(pTemplate)[1] == 0xFFFF;
    DWORD* pStyle = reinterpret_cast<DWORD*>(pTemplate + (bExtended ? 12 : 0));
    DWORD* pExStyle = reinterpret_cast<DWORD*>(pTemplate + (bExtended ? 8 : 4));
    DWORD dwStyle = pSheet->m_dwCreateStyle;
    if (dwStyle == static_cast<DWORD>(-1))
        dwStyle = (*pStyle & ~(DS_CONTEXTHELP | WS_VISIBLE)) | (pSheet->m_bModeless ? WS_VISIBLE : 0);
    *pStyle = dwStyle;
    *pExStyle |= pSheet->m_dwCreateExStyle;
    return 0;
}

// CPropertyPage

CPropertyPage::CPropertyPage() : m_psp{}, m_bFirstSetActive(TRUE) {}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CPropertyPage()
{
    Construct(nIDTemplate, nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption) : CPropertyPage()
{
    Construct(lpszTemplateName, nIDCaption);
}

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption)
{
    Construct(MAKEINTRESOURCE(nIDTemplate), nIDCaption);
}

void CPropertyPage::Construct(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    m_strCaption = LoadCaption(nIDCaption);
}

BOOL CPropertyPage::PreparePage()
{
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HRSRC hResource =
        m_lpszTemplateName != NULL ? ::FindResource(hInst, m_lpszTemplateName, RT_DIALOG) : NULL;
    HGLOBAL hTemplate = hResource != NULL ? ::LoadResource(hInst, hResource) : NULL;
    LPCDLGTEMPLATE lpTemplate =
        hTemplate != NULL ? static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)) : NULL;
    if (lpTemplate == NULL)
        return FALSE;
    m_psp = PROPSHEETPAGE{};
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_DLGINDIRECT | PSP_USECALLBACK;
    m_psp.hInstance = hInst;
    m_psp.pResource = lpTemplate;
    m_psp.pfnDlgProc = PropertyPageDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    m_psp.pfnCallback = PropertyPageCallback;
    if (!m_strCaption.IsEmpty()) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_strCaption.GetString();
    }
    m_bFirstSetActive = TRUE;
    return TRUE;
}

CPropertySheet* CPropertyPage::GetSheet() const
{
    if (m_hWnd == NULL)
        return NULL;
    return DYNAMIC_DOWNCAST(CPropertySheet, CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    if (m_hWnd != NULL)
        ::SendMessage(::GetParent(m_hWnd), bChanged ? PSM_CHANGED : PSM_UNCHANGED,
                      reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPropertyPage::CancelToClose()
{
    if (m_hWnd != NULL)
        ::SendMessage(::GetParent(m_hWnd), PSM_CANCELTOCLOSE, 0, 0);
}

BOOL CPropertyPage::OnSetActive()
{
    // OnInitDialog has filled the controls for the first activation.
    if (m_bFirstSetActive) {
        m_bFirstSetActive = FALSE;
        return TRUE;
    }
    return UpdateData(FALSE);
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg)
{
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // The page's own map entries come first.
    if (CDialog::OnNotify(wParam, lParam, pResult))
        return TRUE;
    const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
    CPropertySheet* pSheet = GetSheet();
    LRESULT lResult = 0;
    switch (pNMHDR->code) {
    case PSN_SETACTIVE:
        lResult = OnSetActive() ? 0 : -1;
        break;
    case PSN_KILLACTIVE:
        lResult = OnKillActive() ? FALSE : TRUE;
        break;
    case PSN_APPLY:
        if (!OnApply()) {
            lResult = PSNRET_INVALID_NOCHANGEPAGE;
            break;
        }
        lResult = PSNRET_NOERROR;
        // lParam TRUE: the OK button, which ends the sheet.
        if (pSheet != NULL && reinterpret_cast<const PSHNOTIFY*>(pNMHDR)->lParam)
            pSheet->m_nModalResult = IDOK;
        break;
    case PSN_RESET:
        OnReset();
        if (pSheet != NULL)
            pSheet->m_nModalResult = IDCANCEL;
        break;
    case PSN_QUERYCANCEL:
        lResult = OnQueryCancel() ? FALSE : TRUE;
        break;
    default:
        return FALSE;
    }
    // The sheet reads the answer as the dialog's message result.
    ::SetWindowLongPtr(m_hWnd, DWLP_MSGRESULT, lResult);
    *pResult = lResult;
    return TRUE;
}

BOOL CPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // OK and Cancel of a page are the sheet's buttons.
    const UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    if ((nID == IDOK || nID == IDCANCEL) && (hWndCtrl == NULL || !::IsChild(m_hWnd, hWndCtrl))) {
        ::SendMessage(::GetParent(m_hWnd), WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

// CPropertySheet

// clang-format off
BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()
// clang-format on

CPropertySheet::CPropertySheet()
    : m_psh{}, m_pParentWnd(NULL), m_bModeless(FALSE), m_dwCreateStyle(static_cast<DWORD>(-1)),
      m_dwCreateExStyle(0)
{
    m_psh.dwSize = sizeof(m_psh);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) : CPropertySheet()
{
    Construct(nIDCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) : CPropertySheet()
{
    Construct(pszCaption, pParentWnd, iSelectPage);
}

CPropertySheet::~CPropertySheet()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
}

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    Construct(LoadCaption(nIDCaption).GetString(), pParentWnd, iSelectPage);
}

void CPropertySheet::Construct(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption = pszCaption != NULL ? pszCaption : L"";
    m_psh.pszCaption = m_strCaption.GetString();
    m_pParentWnd = pParentWnd;
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (pPage == NULL)
        return;
    m_pages.push_back(pPage);
    if (m_hWnd == NULL)
        return;
    HPROPSHEETPAGE hPage = pPage->PreparePage() ? ::CreatePropertySheetPage(&pPage->m_psp) : NULL;
    if (hPage == NULL || !SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(hPage))) {
        if (hPage != NULL)
            ::DestroyPropertySheetPage(hPage);
        m_pages.pop_back();
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    const int nPage = GetPageIndex(pPage);
    if (nPage >= 0)
        RemovePage(nPage);
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    if (m_hWnd != NULL)
        SendMessage(PSM_REMOVEPAGE, static_cast<WPARAM>(nPage), 0);
    m_pages.erase(m_pages.begin() + nPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : NULL;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    const auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it != m_pages.end() ? static_cast<int>(it - m_pages.begin()) : -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(GetActiveIndex());
}

int CPropertySheet::GetActiveIndex() const
{
    if (m_hWnd == NULL)
        return static_cast<int>(m_psh.nStartPage);
    HWND hWndTab = reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL));
    return hWndTab != NULL ? static_cast<int>(::SendMessage(hWndTab, TCM_GETCURSEL, 0, 0)) : -1;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (m_hWnd == NULL) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return static_cast<BOOL>(SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText != NULL ? lpszText : L"";
    m_psh.pszCaption = m_strCaption.GetString();
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd != NULL)
        SendMessage(PSM_SETTITLE, nStyle, reinterpret_cast<LPARAM>(m_strCaption.GetString()));
}

CTabCtrl* CPropertySheet::GetTabControl() const
{
    // The control wrappers add no data, so the tab's window object serves as the control.
    return static_cast<CTabCtrl*>(CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL))));
}

BOOL CPropertySheet::PressButton(int nButton)
{
    if (m_hWnd == NULL)
        return FALSE;
    SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0);
    if (m_bModeless)
        DestroyIfFinished(); // the object may be gone now
    return TRUE;
}

void CPropertySheet::EndDialog(int nEndID)
{
    m_nModalResult = nEndID;
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nEndID);
    else if (m_bModeless)
        DestroyWindow();
}

BOOL CPropertySheet::CreateSheet(HWND hWndParent, DWORD dwStyle, DWORD dwExStyle)
{
    if (m_hWnd != NULL)
        return FALSE;
    AfxInitCommonControls();
    std::vector<PROPSHEETPAGE> pages;
    for (CPropertyPage* pPage : m_pages) {
        if (!pPage->PreparePage())
            return FALSE;
        pages.push_back(pPage->m_psp);
    }
    // Wizards and help buttons are not supported; the sheet is the system's modeless kind.
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags &= ~(PSH_WIZARD | PSH_HASHELP);
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
    m_psh.hwndParent = hWndParent;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption.GetString();
    m_psh.nPages = static_cast<UINT>(pages.size());
    m_psh.ppsp = pages.data();
    m_psh.pfnCallback = AfxPropertySheetCallback;
    if (m_psh.nStartPage >= m_psh.nPages)
        m_psh.nStartPage = 0;
    m_dwCreateStyle = dwStyle;
    m_dwCreateExStyle = dwExStyle;

    CPropertySheet* pOuter = t_pSheetCreating;
    t_pSheetCreating = this;
    AfxHookWindowCreate(this);
    const INT_PTR nResult = ::PropertySheet(&m_psh);
    if (!AfxUnhookWindowCreate() && m_hWnd == NULL)
        PostNcDestroy(); // no window was ever attached
    t_pSheetCreating = pOuter;
    m_psh.ppsp = NULL; // the system has copied the pages
    if (nResult == 0 || nResult == -1 || m_hWnd == NULL) {
        if (m_hWnd != NULL)
            DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    m_bModeless = TRUE;
    return CreateSheet(m_pParentWnd->GetSafeHwnd(), dwStyle, dwExStyle);
}

INT_PTR CPropertySheet::DoModal()
{
    const HWND hWndOwner = AfxModalOwner(m_pParentWnd->GetSafeHwnd());
    m_bModeless = FALSE;
    m_nModalResult = IDCANCEL;
    return AfxRunModalWindow(this, hWndOwner, FALSE, [&] {
        if (CreateSheet(hWndOwner, static_cast<DWORD>(-1), 0))
            return TRUE;
        m_nModalResult = -1;
        return FALSE;
    });
}

BOOL CPropertySheet::ContinueModal()
{
    if (!CWnd::ContinueModal())
        return FALSE;
    // The system's modeless sheet has no current page any more once OK or Cancel has run.
    return SendMessage(PSM_GETCURRENTPAGEHWND) != 0;
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM)
{
    const LRESULT lResult = Default();
    // The system leaves the sheet where its template puts it, the top-left corner.
    if (m_dwCreateStyle == static_cast<DWORD>(-1))
        CenterWindow();
    OnInitDialog();
    return lResult;
}

BOOL CPropertySheet::OnInitDialog()
{
    return TRUE;
}

LRESULT CPropertySheet::OnKickIdle(WPARAM wParam, LPARAM lParam)
{
    CPropertyPage* pPage = GetActivePage();
    if (pPage == NULL || pPage->m_hWnd == NULL)
        return 0;
    return pPage->SendMessage(WM_KICKIDLE, wParam, lParam);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // Keyboard and mouse input for the sheet or its pages: tabbing across pages, Ctrl+Tab, the
    // default button.
    const bool bKeyboard = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    const bool bMouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!bKeyboard && !bMouse)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return static_cast<BOOL>(SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg)));
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The sheet's own map (update handlers first for commands without a control).
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    if (!m_bModeless)
        return FALSE; // the system's sheet handles the rest
    Default();
    DestroyIfFinished();
    return TRUE;
}

void CPropertySheet::OnSysCommand(UINT nID, LPARAM lParam)
{
    CWnd::OnSysCommand(nID, lParam);
    if (m_bModeless)
        DestroyIfFinished();
}

void CPropertySheet::DestroyIfFinished()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd) && SendMessage(PSM_GETCURRENTPAGEHWND) == 0)
        DestroyWindow();
}
