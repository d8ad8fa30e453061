#include "media_views.h"

#include <afxdisp.h>

#include <vfw.h>
#include <wmp.h>

#include "preview_hand_over.h"

namespace {

// The media player's own interface, for a control that answers no IDispatch.
const IID kIidWmpPlayer4 = {0x6C497D62, 0x8919, 0x413C, {0x82, 0xDB, 0xE9, 0x35, 0xFB, 0x3E, 0xC5, 0x84}};

// The control's IWMPPlayer4 (a reference the caller releases), or null.
IWMPCore* PlayerInterface(CWnd& control)
{
    IUnknown* pUnknown = control.GetControlUnknown();
    if (pUnknown == NULL)
        return NULL;
    void* pPlayer = NULL;
    if (FAILED(pUnknown->QueryInterface(kIidWmpPlayer4, &pPlayer)))
        return NULL;
    return static_cast<IWMPCore*>(pPlayer);
}

bool HasDispatch(CWnd& control)
{
    IUnknown* pUnknown = control.GetControlUnknown();
    if (pUnknown == NULL)
        return false;
    IDispatch* pDispatch = NULL;
    if (FAILED(pUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch))) ||
        pDispatch == NULL)
        return false;
    pDispatch->Release();
    return true;
}

} // namespace

IMPLEMENT_DYNCREATE(CWMPPlayer4, CWnd)

const CLSID CWMPPlayer4::kClassId = {
    0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};

BOOL CWMPPlayer4::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateControl(kClassId, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

void CWMPPlayer4::close()
{
    try {
        if (HasDispatch(*this)) {
            InvokeHelper(3, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_NONE);
        } else if (IWMPCore* pPlayer = PlayerInterface(*this)) {
            pPlayer->close();
            pPlayer->Release();
        }
    } catch (CException* e) {
        e->Delete();
    }
}

void CWMPPlayer4::put_URL(LPCTSTR newValue)
{
    if (HasDispatch(*this)) {
        InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, NULL, VTS_BSTR, newValue);
        return;
    }
    IWMPCore* pPlayer = PlayerInterface(*this);
    if (pPlayer == NULL)
        AfxThrowOleException(E_NOINTERFACE);
    BSTR url = ::SysAllocString(newValue);
    const HRESULT hr = pPlayer->put_URL(url);
    ::SysFreeString(url);
    pPlayer->Release();
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

long CWMPPlayer4::get_openState()
{
    long state = 0;
    try {
        if (HasDispatch(*this)) {
            InvokeHelper(2, DISPATCH_PROPERTYGET, VT_I4, &state, VTS_NONE);
        } else if (IWMPCore* pPlayer = PlayerInterface(*this)) {
            WMPOpenState value = wmposUndefined;
            if (SUCCEEDED(pPlayer->get_openState(&value)))
                state = value;
            pPlayer->Release();
        }
    } catch (CException* e) {
        e->Delete();
    }
    return state;
}

long CWMPPlayer4::get_playState()
{
    long state = 0;
    try {
        if (HasDispatch(*this)) {
            InvokeHelper(10, DISPATCH_PROPERTYGET, VT_I4, &state, VTS_NONE);
        } else if (IWMPCore* pPlayer = PlayerInterface(*this)) {
            WMPPlayState value = wmppsUndefined;
            if (SUCCEEDED(pPlayer->get_playState(&value)))
                state = value;
            pPlayer->Release();
        }
    } catch (CException* e) {
        e->Delete();
    }
    return state;
}

CString CWMPPlayer4::get_status()
{
    CString strStatus;
    try {
        if (HasDispatch(*this)) {
            InvokeHelper(18, DISPATCH_PROPERTYGET, VT_BSTR, &strStatus, VTS_NONE);
        } else if (IWMPCore* pPlayer = PlayerInterface(*this)) {
            BSTR status = NULL;
            if (SUCCEEDED(pPlayer->get_status(&status)) && status != NULL) {
                strStatus = status;
                ::SysFreeString(status);
            }
            pPlayer->Release();
        }
    } catch (CException* e) {
        e->Delete();
    }
    return strStatus;
}

// ---------------------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CAviView, CView)

BEGIN_MESSAGE_MAP(CAviView, CView)
ON_WM_CREATE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

// The video stops while its window still exists: by the time the view object is deleted its child
// windows are gone, and a message to them would reach nothing.
void CAviView::OnDestroy()
{
    if (m_hMciWnd != NULL && ::IsWindow(m_hMciWnd)) {
        ::SendMessageW(m_hMciWnd, MCI_STOP, 0, 0);
        ::SendMessageW(m_hMciWnd, WM_CLOSE, 0, 0);
    }
    m_hMciWnd = NULL;
    CView::OnDestroy();
}

CAviView::~CAviView()
{
    if (m_hMciWnd != NULL && ::IsWindow(m_hMciWnd)) {
        ::SendMessageW(m_hMciWnd, MCI_STOP, 0, 0);
        ::SendMessageW(m_hMciWnd, WM_CLOSE, 0, 0);
    }
    m_hMciWnd = NULL;
}

void CAviView::OnDraw(CDC* /*pDC*/) {}

int CAviView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL)
        return 0;
    const CString strPath = pHandOver->PreviewPath();
    m_hMciWnd =
        ::MCIWndCreateW(m_hWnd, AfxGetInstanceHandle(), WS_CHILD | WS_VISIBLE | MCIWNDF_NOPLAYBAR, strPath);
    if (m_hMciWnd != NULL)
        ::SendMessageW(m_hMciWnd, MCI_PLAY, 0, 0);
    return 0;
}

// ---------------------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CMyMedia, CView)

BEGIN_MESSAGE_MAP(CMyMedia, CView)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_SIZE()
END_MESSAGE_MAP()

// The host closes the view for the next file: the player is closed while it is still hosted (once the
// view's window is being destroyed its controls have ended already).
void CMyMedia::OnClose()
{
    if (::IsWindow(m_player.m_hWnd)) {
        m_player.close();
        m_player.DestroyWindow();
    }
    CView::OnClose();
}

CMyMedia::~CMyMedia()
{
    if (::IsWindow(m_player.m_hWnd)) {
        m_player.close();
        m_player.DestroyWindow();
    }
}

void CMyMedia::OnDraw(CDC* /*pDC*/) {}

int CMyMedia::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_player.Create(L"aa", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(40, 200, 100, 200), this, kPlayerId);
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL || !::IsWindow(m_player.m_hWnd))
        return 0;
    const CString strPath = pHandOver->PreviewPath();
    try {
        m_player.put_URL(strPath);
    } catch (CException* e) {
        e->Delete();
    }
    m_player.get_openState();
    m_player.get_playState();
    m_player.get_status();
    return 0;
}

void CMyMedia::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (::IsWindow(m_player.m_hWnd))
        m_player.MoveWindow(0, 0, cx, cy);
}
