// CDialog: creation from templates, the modal run and the dialog's keyboard and command handling.
#include <afxpriv.h>

#include "modal_run.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_SETFONT, HandleSetFont)
END_MESSAGE_MAP()
// clang-format on

CDialog::CDialog()
    : m_lpszTemplateName(NULL), m_hDialogTemplate(NULL), m_lpDialogTemplate(NULL), m_lpDialogInit(NULL),
      m_pParentWnd(NULL), m_hWndTop(NULL), m_nIDHelp(0), m_lpCurrentTemplate(NULL)
{}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(MAKEINTRESOURCE(nIDTemplate), pParentWnd) {}

CDialog::~CDialog()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDialog = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
    if (pDialog == NULL)
        return TRUE;
    // Exceptions must not unwind through the system's dialog code.
    try {
        pDialog->PreInitDialog();
        return pDialog->OnInitDialog();
    } catch (CException* e) {
        CWinThread* pThread = AfxGetThread();
        if (pThread != NULL)
            pThread->ProcessWndProcException(e, CWnd::GetCurrentMessage());
        e->Delete();
        pDialog->EndDialog(-1);
        return FALSE;
    }
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResource(hInst, lpszTemplateName, RT_DIALOG);
    HGLOBAL hTemplate = hResource != NULL ? ::LoadResource(hInst, hResource) : NULL;
    if (hTemplate == NULL)
        return FALSE;
    LPCDLGTEMPLATE lpTemplate = static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate));
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpTemplate, m_pParentWnd, hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    m_lpDialogInit = lpDialogInit;
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpDialogTemplate, m_pParentWnd, AfxGetResourceHandle());
}

BOOL CDialog::CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    LPCDLGTEMPLATE lpTemplate = static_cast<LPCDLGTEMPLATE>(::GlobalLock(hDialogTemplate));
    if (lpTemplate == NULL)
        return FALSE;
    const BOOL bResult = CreateIndirect(lpTemplate, pParentWnd);
    ::GlobalUnlock(hDialogTemplate);
    return bResult;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    if (lpDialogTemplate == NULL || m_hWnd != NULL)
        return FALSE;
    AfxInitCommonControls();
    m_lpCurrentTemplate = lpDialogTemplate;
    AfxHookWindowCreate(this);
    HWND hWnd =
        ::CreateDialogIndirectParam(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(), AfxDlgProc, 0);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    m_lpCurrentTemplate = NULL;
    return hWnd != NULL;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_lpDialogInit = lpDialogInit;
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    return lpDialogTemplate != NULL;
}

BOOL CDialog::InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    m_hDialogTemplate = hDialogTemplate;
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    return hDialogTemplate != NULL;
}

HWND AfxModalOwner(HWND hWndParent, HWND* phWndTop)
{
    if (hWndParent == NULL)
        hWndParent = AfxGetMainWnd()->GetSafeHwnd();
    // The owner of a modal window is a top-level window: the parent's, or the popup active over it.
    HWND hWndTop = hWndParent;
    while (hWndTop != NULL && (::GetWindowLongPtr(hWndTop, GWL_STYLE) & WS_CHILD))
        hWndTop = ::GetParent(hWndTop);
    if (phWndTop != NULL)
        *phWndTop = hWndTop;
    if (hWndTop == NULL || !::IsWindow(hWndTop))
        return NULL;
    HWND hWndOwner = ::GetLastActivePopup(hWndTop);
    return hWndOwner != NULL ? hWndOwner : hWndTop;
}

INT_PTR AfxRunModalWindow(CWnd* pWnd, HWND hWndOwner, BOOL bHonourNoIdleMsg,
                          const std::function<BOOL()>& create)
{
    BOOL bEnableOwner = FALSE;
    if (hWndOwner != NULL && hWndOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        bEnableOwner = TRUE;
    }

    pWnd->m_nFlags |= WF_CONTINUEMODAL;
    try {
        if (create()) {
            // EndDialog in OnInitDialog has ended the run before the loop.
            if (pWnd->m_nFlags & WF_CONTINUEMODAL) {
                DWORD dwFlags = MLF_SHOWONIDLE;
                if (bHonourNoIdleMsg && (pWnd->GetStyle() & DS_NOIDLEMSG))
                    dwFlags |= MLF_NOIDLEMSG;
                pWnd->RunModalLoop(dwFlags);
            }
            if (pWnd->m_hWnd != NULL)
                pWnd->SetWindowPos(NULL, 0, 0, 0, 0,
                                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    } catch (CException* e) {
        e->Delete();
        pWnd->m_nModalResult = -1;
    }
    pWnd->m_nFlags &= ~(WF_CONTINUEMODAL | WF_MODALLOOP);

    // The owner comes back before the window goes, so that activation returns to it.
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner != NULL && pWnd->m_hWnd != NULL && ::GetActiveWindow() == pWnd->m_hWnd)
        ::SetActiveWindow(hWndOwner);
    pWnd->DestroyWindow();
    return pWnd->m_nModalResult;
}

HWND CDialog::PreModal()
{
    return AfxModalOwner(m_pParentWnd->GetSafeHwnd(), &m_hWndTop);
}

void CDialog::PostModal()
{
    m_hWndTop = NULL;
}

INT_PTR CDialog::DoModal()
{
    // The template: a resource, a global block or one in memory.
    LPCDLGTEMPLATE lpDialogTemplate = m_lpDialogTemplate;
    HINSTANCE hInst = AfxGetResourceHandle();
    bool bUnlockGlobal = false;
    if (m_lpszTemplateName != NULL) {
        hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
        HRSRC hResource = ::FindResource(hInst, m_lpszTemplateName, RT_DIALOG);
        HGLOBAL hTemplate = hResource != NULL ? ::LoadResource(hInst, hResource) : NULL;
        lpDialogTemplate = hTemplate != NULL ? static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)) : NULL;
    } else if (m_hDialogTemplate != NULL) {
        lpDialogTemplate = static_cast<LPCDLGTEMPLATE>(::GlobalLock(m_hDialogTemplate));
        bUnlockGlobal = lpDialogTemplate != NULL;
    }
    if (lpDialogTemplate == NULL)
        return -1;

    HWND hWndParent = PreModal();
    m_nModalResult = -1;
    AfxRunModalWindow(this, hWndParent, TRUE, [&] {
        return CreateDlgIndirect(lpDialogTemplate, CWnd::FromHandle(hWndParent), hInst);
    });
    PostModal();
    if (bUnlockGlobal)
        ::GlobalUnlock(m_hDialogTemplate);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    else
        m_nModalResult = nResult;
    if (m_hWnd != NULL)
        ::EndDialog(m_hWnd, nResult);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl != NULL && pWndCtrl->m_hWnd != NULL)
        ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE);
}

void CDialog::PreInitDialog() {}

BOOL CDialog::CheckAutoCenter()
{
    // A dialog whose template places it at (0, 0) without a centring style is centred by the
    // framework; templates with DS_CENTER are centred by the system.
    if (m_lpCurrentTemplate == NULL || (GetStyle() & WS_CHILD))
        return FALSE;
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(m_lpCurrentTemplate);
    DWORD dwStyle = 0;
    short x = 0;
    short y = 0;
    if (reinterpret_cast<const WORD*>(pBytes)[1] == 0xFFFF) {
        // DLGTEMPLATEEX: version, signature, help id, extended style, style, item count, x, y.
        std::memcpy(&dwStyle, pBytes + 12, sizeof(dwStyle));
        std::memcpy(&x, pBytes + 18, sizeof(x));
        std::memcpy(&y, pBytes + 20, sizeof(y));
    } else {
        dwStyle = m_lpCurrentTemplate->style;
        x = m_lpCurrentTemplate->x;
        y = m_lpCurrentTemplate->y;
    }
    if (dwStyle & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN))
        return FALSE;
    return x == 0 && y == 0;
}

BOOL CDialog::OnInitDialog()
{
    // The template's list entries first; damaged data leaves the rest out and the dialog opens.
    m_lpDialogInit != NULL ? ExecuteDlgInit(m_lpDialogInit) : ExecuteDlgInit(m_lpszTemplateName);
    UpdateData(FALSE);
    if (CheckAutoCenter())
        CenterWindow();
    return TRUE; // the system puts the focus on the first control
}

void CDialog::OnSetFont(CFont*) {}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM)
{
    OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)));
    return Default();
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return; // a control failed its check; the dialog stays
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // Escape in a multi-line edit would be eaten by the edit; it cancels the dialog instead.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL) &&
        (::GetWindowLongPtr(pMsg->hwnd, GWL_STYLE) & ES_MULTILINE)) {
        wchar_t className[8] = {};
        ::GetClassName(pMsg->hwnd, className, _countof(className));
        if (::lstrcmpi(className, L"Edit") == 0 && ::IsChild(m_hWnd, pMsg->hwnd)) {
            HWND hWndCancel = ::GetDlgItem(m_hWnd, IDCANCEL);
            if (hWndCancel == NULL || ::IsWindowEnabled(hWndCancel)) {
                SendMessage(WM_COMMAND, IDCANCEL, 0);
                return TRUE;
            }
        }
    }
    // Keyboard and mouse input for the dialog or its controls: tabbing, mnemonics, default button.
    const bool bKeyboard = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    const bool bMouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!bKeyboard && !bMouse)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessage(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // Commands a dialog leaves go to the thread (the application on the main thread).
    if ((nCode != CN_COMMAND && nCode != static_cast<int>(CN_UPDATE_COMMAND_UI)) || nID == 0 || nID >= 0xF000)
        return FALSE;
    CWinThread* pThread = AfxGetThread();
    return pThread != NULL && pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
