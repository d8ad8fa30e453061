// CHtmlView: the system's WebBrowser control hosted over the whole of an empty form.
#include <afxhtml.h>

IMPLEMENT_DYNCREATE(CHtmlView, CFormView)

// clang-format off
BEGIN_MESSAGE_MAP(CHtmlView, CFormView)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

namespace {

// An optional text argument: a string, or "missing" (VT_EMPTY) when none is given.
class COptionalText
{
public:
    explicit COptionalText(LPCTSTR lpsz)
    {
        ::VariantInit(&m_var);
        if (lpsz != NULL) {
            V_VT(&m_var) = VT_BSTR;
            V_BSTR(&m_var) = ::SysAllocString(lpsz);
        }
    }
    ~COptionalText() { ::VariantClear(&m_var); }
    VARIANT m_var;
};

// Post data as a byte array (VT_ARRAY | VT_UI1); empty when there is none.
class CPostData
{
public:
    CPostData(LPVOID lpvPostData, DWORD dwPostDataLen)
    {
        ::VariantInit(&m_var);
        if (lpvPostData == NULL || dwPostDataLen == 0)
            return;
        SAFEARRAY* psa = ::SafeArrayCreateVector(VT_UI1, 0, dwPostDataLen);
        if (psa == NULL)
            AfxThrowMemoryException();
        void* pData = NULL;
        ::SafeArrayAccessData(psa, &pData);
        ::memcpy(pData, lpvPostData, dwPostDataLen);
        ::SafeArrayUnaccessData(psa);
        V_VT(&m_var) = VT_ARRAY | VT_UI1;
        V_ARRAY(&m_var) = psa;
    }
    ~CPostData() { ::VariantClear(&m_var); }
    VARIANT m_var;
};

VARIANT FlagsOf(DWORD dwFlags)
{
    VARIANT flags;
    ::VariantInit(&flags);
    V_VT(&flags) = VT_I4;
    V_I4(&flags) = static_cast<LONG>(dwFlags);
    return flags;
}

} // namespace

CHtmlView::CHtmlView() : CFormView(0U) {}

CHtmlView::~CHtmlView()
{
    if (m_pBrowserApp != NULL)
        m_pBrowserApp->Release();
}

BOOL CHtmlView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    if (!CFormView::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext))
        return FALSE;
    CRect client;
    GetClientRect(&client);
    if (!m_wndBrowser.CreateControl(CLSID_WebBrowser, lpszWindowName, WS_VISIBLE | WS_CHILD, client, this,
                                    AFX_IDW_PANE_FIRST)) {
        DestroyWindow();
        return FALSE;
    }
    LPUNKNOWN pUnknown = m_wndBrowser.GetControlUnknown();
    if (pUnknown == NULL ||
        FAILED(pUnknown->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pBrowserApp)))) {
        m_pBrowserApp = NULL;
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

void CHtmlView::OnDraw(CDC*) {}

BOOL CHtmlView::OnEraseBkgnd(CDC* pDC)
{
    // The browser covers the whole view.
    return m_wndBrowser.m_hWnd != NULL ? TRUE : CFormView::OnEraseBkgnd(pDC);
}

void CHtmlView::OnSize(UINT nType, int cx, int cy)
{
    CFormView::OnSize(nType, cx, cy);
    if (m_wndBrowser.m_hWnd != NULL)
        m_wndBrowser.MoveWindow(0, 0, cx, cy);
}

void CHtmlView::OnDestroy()
{
    if (m_pBrowserApp != NULL) {
        IWebBrowser2* pBrowserApp = m_pBrowserApp;
        m_pBrowserApp = NULL;
        pBrowserApp->Release();
    }
    CFormView::OnDestroy();
}

void CHtmlView::Navigate(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTargetFrameName, LPCTSTR lpszHeaders,
                         LPVOID lpvPostData, DWORD dwPostDataLen)
{
    if (m_pBrowserApp == NULL)
        return;
    BSTR bstrURL = ::SysAllocString(lpszURL != NULL ? lpszURL : L"");
    VARIANT flags = FlagsOf(dwFlags);
    COptionalText target(lpszTargetFrameName);
    COptionalText headers(lpszHeaders);
    CPostData postData(lpvPostData, dwPostDataLen);
    m_pBrowserApp->Navigate(bstrURL, &flags, &target.m_var, &postData.m_var, &headers.m_var);
    ::SysFreeString(bstrURL);
}

void CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTargetFrameName, LPCTSTR lpszHeaders,
                          LPVOID lpvPostData, DWORD dwPostDataLen)
{
    if (m_pBrowserApp == NULL)
        return;
    COptionalText url(lpszURL != NULL ? lpszURL : L"");
    VARIANT flags = FlagsOf(dwFlags);
    COptionalText target(lpszTargetFrameName);
    COptionalText headers(lpszHeaders);
    CPostData postData(lpvPostData, dwPostDataLen);
    m_pBrowserApp->Navigate2(&url.m_var, &flags, &target.m_var, &postData.m_var, &headers.m_var);
}

CString CHtmlView::GetLocationURL() const
{
    CString url;
    BSTR bstr = NULL;
    if (m_pBrowserApp != NULL && SUCCEEDED(m_pBrowserApp->get_LocationURL(&bstr)) && bstr != NULL)
        url = bstr;
    ::SysFreeString(bstr);
    return url;
}

void CHtmlView::Stop()
{
    if (m_pBrowserApp != NULL)
        m_pBrowserApp->Stop();
}

void CHtmlView::Refresh()
{
    if (m_pBrowserApp != NULL)
        m_pBrowserApp->Refresh();
}
