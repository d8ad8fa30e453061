// CFormView: the view's window is a child dialog made from the view's template, so its controls
// behave as in a dialog and their notifications reach the view's map (then its document).
#include <afxext.h>

#include <vector>

IMPLEMENT_DYNAMIC(CFormView, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CFormView, CView)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

namespace {

// The system's dialog code does the work; nothing takes the focus when the form opens.
INT_PTR CALLBACK FormDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The template without controls of a form that has none of its own.
struct EmptyFormTemplate
{
    DLGTEMPLATE dlg;
    WORD wMenu;
    WORD wClass;
    WORD wTitle;
};

// A copy of the template with the style of a child window, as a view must be.
bool ChildTemplate(LPCTSTR lpszTemplateName, std::vector<BYTE>& bytes, HINSTANCE& hInst)
{
    if (lpszTemplateName == NULL) {
        EmptyFormTemplate empty = {};
        empty.dlg.style = WS_CHILD | WS_CLIPCHILDREN | DS_CONTROL;
        const BYTE* p = reinterpret_cast<const BYTE*>(&empty);
        bytes.assign(p, p + sizeof(empty));
        hInst = AfxGetInstanceHandle();
        return true;
    }
    hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResource(hInst, lpszTemplateName, RT_DIALOG);
    HGLOBAL hTemplate = hResource != NULL ? ::LoadResource(hInst, hResource) : NULL;
    const DWORD nSize = hResource != NULL ? ::SizeofResource(hInst, hResource) : 0;
    const BYTE* p = hTemplate != NULL ? static_cast<const BYTE*>(::LockResource(hTemplate)) : NULL;
    if (p == NULL || nSize < sizeof(DLGTEMPLATE))
        return false;
    bytes.assign(p, p + nSize);
    // DLGTEMPLATEEX (version 1, signature 0xFFFF) keeps its style after help id and extended style.
    const bool bExtended = nSize >= 16 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    DWORD* pStyle = reinterpret_cast<DWORD*>(bytes.data() + (bExtended ? 12 : 0));
    *pStyle = (*pStyle & ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE |
                                             WS_DISABLED | WS_BORDER | DS_MODALFRAME)) |
              WS_CHILD | WS_CLIPCHILDREN | DS_CONTROL;
    return true;
}

} // namespace

CFormView::CFormView(UINT nIDTemplate)
    : m_lpszTemplateName(nIDTemplate != 0 ? MAKEINTRESOURCE(nIDTemplate) : NULL)
{}

CFormView::CFormView(LPCTSTR lpszTemplateName) : m_lpszTemplateName(lpszTemplateName) {}

CFormView::~CFormView() = default;

BOOL CFormView::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                       CCreateContext* pContext)
{
    std::vector<BYTE> bytes;
    HINSTANCE hInst = NULL;
    if (m_hWnd != NULL || pParentWnd->GetSafeHwnd() == NULL ||
        !ChildTemplate(m_lpszTemplateName, bytes, hInst)) {
        PostNcDestroy(); // a failed creation ends the view, as CWnd::CreateEx does
        return FALSE;
    }
    AfxInitCommonControls();
    m_pCreateContext = pContext;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParam(hInst, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()),
                                            pParentWnd->GetSafeHwnd(), FormDlgProc, 0);
    const BOOL bAttached = AfxUnhookWindowCreate();
    m_pCreateContext = NULL;
    if (!bAttached) {
        PostNcDestroy();
        return FALSE;
    }
    if (hWnd == NULL)
        return FALSE; // the window was attached and its end has run
    ::SetWindowLongPtr(hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    if (dwStyle & WS_BORDER)
        ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    ::SetWindowPos(hWnd, NULL, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (dwStyle & WS_VISIBLE)
        ::ShowWindow(hWnd, SW_SHOWNA);
    return TRUE;
}

int CFormView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    // The dialog's creation data is not a creation context: the context comes from Create.
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (m_pCreateContext != NULL && m_pCreateContext->m_pCurrentDoc != NULL)
        m_pCreateContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CFormView::OnInitialUpdate()
{
    UpdateData(FALSE);
    CView::OnInitialUpdate();
}

void CFormView::OnDraw(CDC*) {}

BOOL CFormView::PreTranslateMessage(MSG* pMsg)
{
    if (CView::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || m_hWnd == NULL)
        return FALSE;
    return (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)) && ::IsDialogMessage(m_hWnd, pMsg);
}
