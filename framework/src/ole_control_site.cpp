// ActiveX control hosting: CWnd::CreateControl, the container of a parent window and the site of
// each control. Our own site rather than a system host window, so that every system behaves alike.
#include "ole_control_site.h"

#include <afxdisp.h>

namespace {

template <class T> void ReleaseAndClear(T*& p)
{
    if (p != NULL) {
        T* pOld = p;
        p = NULL;
        pOld->Release();
    }
}

HRESULT ClassIdOf(LPCTSTR pszClass, CLSID& clsid)
{
    if (pszClass == NULL)
        return E_INVALIDARG;
    if (pszClass[0] == L'{')
        return ::CLSIDFromString(const_cast<LPWSTR>(pszClass), &clsid);
    return ::CLSIDFromProgID(pszClass, &clsid);
}

// The font the parent window uses for its controls.
HFONT ParentFont(HWND hWndParent)
{
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessage(hWndParent, WM_GETFONT, 0, 0));
    return hFont != NULL ? hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

IFontDisp* CreateAmbientFont(HWND hWndParent)
{
    LOGFONT lf = {};
    if (!::GetObject(ParentFont(hWndParent), sizeof(lf), &lf))
        return NULL;
    HDC hDC = ::GetDC(hWndParent);
    const int nLogPixelsY = hDC != NULL ? ::GetDeviceCaps(hDC, LOGPIXELSY) : 96;
    if (hDC != NULL)
        ::ReleaseDC(hWndParent, hDC);
    FONTDESC desc = {};
    desc.cbSizeofstruct = sizeof(desc);
    desc.lpstrName = lf.lfFaceName;
    // Points in ten-thousandths (a CY): height in pixels at the screen's resolution.
    const LONG nHeight = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    desc.cySize.int64 = static_cast<LONGLONG>(nHeight) * 72 * 10000 / (nLogPixelsY > 0 ? nLogPixelsY : 96);
    desc.sWeight = static_cast<SHORT>(lf.lfWeight);
    desc.sCharset = lf.lfCharSet;
    desc.fItalic = lf.lfItalic != 0;
    desc.fUnderline = lf.lfUnderline != 0;
    desc.fStrikethrough = lf.lfStrikeOut != 0;
    IFontDisp* pFont = NULL;
    if (FAILED(::OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&pFont))))
        return NULL;
    return pFont;
}

} // namespace

// CWnd's side.

BOOL CWnd::CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, CFile* pPersist, BOOL bStorage, BSTR bstrLicKey)
{
    // The parent keeps the container, so it must be a permanent object: a temporary one would end
    // the controls when the thread's idle time frees it.
    if (!AfxIsControlContainerEnabled() || pParentWnd == NULL || pParentWnd->GetSafeHwnd() == NULL ||
        CWnd::FromHandlePermanent(pParentWnd->m_hWnd) != pParentWnd || m_hWnd != NULL || m_pCtrlSite != NULL)
        return FALSE;
    if (pParentWnd->m_pCtrlCont == NULL)
        pParentWnd->m_pCtrlCont = new COleControlContainer(pParentWnd);
    COleControlContainer* pCtrlCont = pParentWnd->m_pCtrlCont;
    COleControlSite* pSite = new COleControlSite(pCtrlCont, this);
    const HRESULT hr =
        pSite->CreateControl(clsid, lpszWindowName, dwStyle, rect, nID, pPersist, bStorage, bstrLicKey);
    if (FAILED(hr)) {
        TRACE(L"CreateControl failed: 0x%08lX\n", static_cast<unsigned long>(hr));
        pSite->Release();
        return FALSE;
    }
    pCtrlCont->AddSite(pSite);
    return TRUE;
}

BOOL CWnd::CreateControl(LPCTSTR pszClass, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, CFile* pPersist, BOOL bStorage, BSTR bstrLicKey)
{
    CLSID clsid;
    if (FAILED(ClassIdOf(pszClass, clsid)))
        return FALSE;
    return CreateControl(clsid, lpszWindowName, dwStyle, rect, pParentWnd, nID, pPersist, bStorage,
                         bstrLicKey);
}

LPUNKNOWN CWnd::GetControlUnknown()
{
    return m_pCtrlSite != NULL ? m_pCtrlSite->m_pObject : NULL;
}

IDispatch* PASCAL CWnd::AfxGetControlDispatch(const CWnd* pWnd)
{
    if (pWnd == NULL || pWnd->m_pCtrlSite == NULL || pWnd->m_pCtrlSite->m_pDispatch == NULL)
        AfxThrowOleException(E_NOINTERFACE);
    return pWnd->m_pCtrlSite->m_pDispatch;
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (m_pCtrlSite != NULL)
        m_pCtrlSite->MoveWindow(x, y, nWidth, nHeight);
    else
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    if (m_pCtrlSite == NULL || (nFlags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE))
        return ::SetWindowPos(m_hWnd, pWndInsertAfter->GetSafeHwnd(), x, y, cx, cy, nFlags);
    // The control places itself; what else the call asks for (z-order, showing) is done after.
    CRect rect = m_pCtrlSite->m_rect;
    if (nFlags & SWP_NOMOVE) {
        x = rect.left;
        y = rect.top;
    }
    if (nFlags & SWP_NOSIZE) {
        cx = rect.Width();
        cy = rect.Height();
    }
    m_pCtrlSite->MoveWindow(x, y, cx, cy);
    return ::SetWindowPos(m_hWnd, pWndInsertAfter->GetSafeHwnd(), 0, 0, 0, 0,
                          nFlags | SWP_NOMOVE | SWP_NOSIZE);
}

void CWnd::EndControlContainer()
{
    COleControlContainer* pCtrlCont = m_pCtrlCont;
    if (pCtrlCont == NULL)
        return;
    m_pCtrlCont = NULL;
    pCtrlCont->Shutdown();
    pCtrlCont->Release();
}

// The container.

COleControlContainer::COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd) {}

COleControlContainer::~COleControlContainer()
{
    ReleaseAndClear(m_pActiveObject);
}

STDMETHODIMP COleControlContainer::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleWindow || riid == IID_IOleInPlaceUIWindow ||
        riid == IID_IOleInPlaceFrame) {
        *ppv = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleControlContainer::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) COleControlContainer::Release()
{
    const LONG nRefs = ::InterlockedDecrement(&m_nRefs);
    if (nRefs == 0)
        delete this;
    return static_cast<ULONG>(nRefs);
}

STDMETHODIMP COleControlContainer::GetWindow(HWND* phwnd)
{
    if (phwnd == NULL)
        return E_POINTER;
    // The frame is the top-level window that holds the controls.
    HWND hWnd = m_pWnd != NULL ? m_pWnd->GetSafeHwnd() : NULL;
    *phwnd = hWnd != NULL ? ::GetAncestor(hWnd, GA_ROOT) : NULL;
    return *phwnd != NULL ? S_OK : E_FAIL;
}

STDMETHODIMP COleControlContainer::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP COleControlContainer::GetBorder(LPRECT)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP COleControlContainer::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP COleControlContainer::SetBorderSpace(LPCBORDERWIDTHS pborderwidths)
{
    // Only "no space" is granted.
    if (pborderwidths == NULL)
        return S_OK;
    return pborderwidths->left == 0 && pborderwidths->top == 0 && pborderwidths->right == 0 &&
                   pborderwidths->bottom == 0
               ? S_OK
               : INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP COleControlContainer::SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR)
{
    if (pActiveObject != NULL)
        pActiveObject->AddRef();
    ReleaseAndClear(m_pActiveObject);
    m_pActiveObject = pActiveObject;
    return S_OK;
}

STDMETHODIMP COleControlContainer::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS lpMenuWidths)
{
    // No menu merging: the frame adds no groups.
    if (lpMenuWidths != NULL) {
        lpMenuWidths->width[0] = 0;
        lpMenuWidths->width[2] = 0;
        lpMenuWidths->width[4] = 0;
    }
    return S_OK;
}

STDMETHODIMP COleControlContainer::SetMenu(HMENU, HOLEMENU, HWND)
{
    return S_OK;
}

STDMETHODIMP COleControlContainer::RemoveMenus(HMENU)
{
    return S_OK;
}

STDMETHODIMP COleControlContainer::SetStatusText(LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP COleControlContainer::EnableModeless(BOOL)
{
    return S_OK;
}

STDMETHODIMP COleControlContainer::TranslateAccelerator(LPMSG, WORD)
{
    return S_FALSE;
}

void COleControlContainer::Shutdown()
{
    // Each site leaves the list as it ends.
    while (!m_sites.empty()) {
        COleControlSite* pSite = m_sites.back();
        pSite->AddRef();
        pSite->DestroyControl();
        RemoveSite(pSite);
        pSite->Release();
    }
    ReleaseAndClear(m_pActiveObject);
    m_pWnd = NULL;
}

void COleControlContainer::AddSite(COleControlSite* pSite)
{
    m_sites.push_back(pSite); // the container holds the site's first reference
}

void COleControlContainer::RemoveSite(COleControlSite* pSite)
{
    for (auto it = m_sites.begin(); it != m_sites.end(); ++it) {
        if (*it == pSite) {
            m_sites.erase(it);
            pSite->Release();
            return;
        }
    }
}

// The site.

COleControlSite::COleControlSite(COleControlContainer* pCtrlCont, CWnd* pWndCtrl)
    : m_pCtrlCont(pCtrlCont), m_pWndCtrl(pWndCtrl)
{
    m_pCtrlCont->AddRef();
}

COleControlSite::~COleControlSite()
{
    ReleaseInterfaces();
    m_pCtrlCont->Release();
}

void COleControlSite::ReleaseInterfaces()
{
    ReleaseAndClear(m_pDispatch);
    ReleaseAndClear(m_pInPlaceObject);
    ReleaseAndClear(m_pObject);
    ReleaseAndClear(m_pStorage);
}

SIZEL COleControlSite::ExtentOf(const RECT& rect) const
{
    HDC hDC = ::GetDC(NULL);
    const int nX = hDC != NULL ? ::GetDeviceCaps(hDC, LOGPIXELSX) : 96;
    const int nY = hDC != NULL ? ::GetDeviceCaps(hDC, LOGPIXELSY) : 96;
    if (hDC != NULL)
        ::ReleaseDC(NULL, hDC);
    SIZEL size;
    size.cx = ::MulDiv(rect.right - rect.left, 2540, nX > 0 ? nX : 96);
    size.cy = ::MulDiv(rect.bottom - rect.top, 2540, nY > 0 ? nY : 96);
    return size;
}

HRESULT COleControlSite::InitPersistence(CFile* pPersist, BOOL bStorage)
{
    // The saved state, if any, as a stream over a copy of the file's bytes.
    IStream* pStream = NULL;
    if (pPersist != NULL) {
        const ULONGLONG nLength = pPersist->GetLength() - pPersist->GetPosition();
        if (nLength > 0x7FFFFFFF)
            return E_OUTOFMEMORY;
        HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(nLength) + 1);
        if (hGlobal == NULL)
            return E_OUTOFMEMORY;
        void* pData = ::GlobalLock(hGlobal);
        UINT nRead = 0;
        try {
            nRead = pPersist->Read(pData, static_cast<UINT>(nLength));
        } catch (CException* e) {
            e->Delete();
        }
        ::GlobalUnlock(hGlobal);
        if (nRead != nLength || FAILED(::CreateStreamOnHGlobal(hGlobal, TRUE, &pStream))) {
            ::GlobalFree(hGlobal);
            return E_FAIL;
        }
        ULARGE_INTEGER size;
        size.QuadPart = nLength;
        pStream->SetSize(size);
    }

    HRESULT hr = E_NOINTERFACE;
    IPersistStreamInit* pPersistStream = NULL;
    if (!bStorage && SUCCEEDED(m_pObject->QueryInterface(IID_IPersistStreamInit,
                                                         reinterpret_cast<void**>(&pPersistStream)))) {
        if (pStream != NULL) {
            hr = pPersistStream->Load(pStream);
        } else {
            // A control that cannot start afresh (some answer InitNew with a stub's failure) still
            // runs with its defaults; only saved state that does not load fails the creation.
            const HRESULT hrInit = pPersistStream->InitNew();
            if (FAILED(hrInit))
                TRACE(L"CreateControl: InitNew failed (0x%08lX); the control keeps its defaults\n",
                      static_cast<unsigned long>(hrInit));
            hr = S_OK;
        }
        pPersistStream->Release();
    } else {
        // Else a storage: the saved one, or a temporary one that goes with the site.
        IPersistStorage* pPersistStorage = NULL;
        hr = m_pObject->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&pPersistStorage));
        if (SUCCEEDED(hr)) {
            if (pStream != NULL) {
                ILockBytes* pLockBytes = NULL;
                HGLOBAL hGlobal = NULL;
                hr = ::GetHGlobalFromStream(pStream, &hGlobal);
                if (SUCCEEDED(hr))
                    hr = ::CreateILockBytesOnHGlobal(hGlobal, FALSE, &pLockBytes);
                if (SUCCEEDED(hr)) {
                    hr = ::StgOpenStorageOnILockBytes(pLockBytes, NULL,
                                                      STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED,
                                                      NULL, 0, &m_pStorage);
                    pLockBytes->Release();
                }
                if (SUCCEEDED(hr))
                    hr = pPersistStorage->Load(m_pStorage);
            } else {
                hr = ::StgCreateDocfile(
                    NULL, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_DELETEONRELEASE, 0,
                    &m_pStorage);
                if (SUCCEEDED(hr))
                    hr = pPersistStorage->InitNew(m_pStorage);
            }
            pPersistStorage->Release();
        }
    }
    if (pStream != NULL)
        pStream->Release();
    return hr;
}

HRESULT COleControlSite::CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle,
                                       const RECT& rect, UINT nID, CFile* pPersist, BOOL bStorage,
                                       BSTR bstrLicKey)
{
    HWND hWndParent = m_pCtrlCont->m_pWnd->GetSafeHwnd();
    m_rect = rect;
    m_strName = lpszWindowName != NULL ? lpszWindowName : L"";

    IUnknown* pUnknown = NULL;
    HRESULT hr;
    if (bstrLicKey != NULL) {
        IClassFactory2* pFactory = NULL;
        hr = ::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                NULL, IID_IClassFactory2, reinterpret_cast<void**>(&pFactory));
        if (SUCCEEDED(hr)) {
            hr = pFactory->CreateInstanceLic(NULL, NULL, IID_IUnknown, bstrLicKey,
                                             reinterpret_cast<void**>(&pUnknown));
            pFactory->Release();
        }
    } else {
        hr = ::CoCreateInstance(clsid, NULL,
                                CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                IID_IUnknown, reinterpret_cast<void**>(&pUnknown));
    }
    if (FAILED(hr))
        return hr;
    hr = pUnknown->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&m_pObject));
    pUnknown->Release();
    if (FAILED(hr))
        return hr;

    // From here on a failure ends the control as a destruction would.
    hr = m_pObject->SetClientSite(this);
    if (SUCCEEDED(hr))
        hr = InitPersistence(pPersist, bStorage);
    if (SUCCEEDED(hr)) {
        SIZEL extent = ExtentOf(rect);
        m_pObject->SetExtent(DVASPECT_CONTENT, &extent);
        m_pObject->SetHostNames(L"", m_strName);
        RECT rectPos = rect;
        hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, NULL, static_cast<IOleClientSite*>(this), 0,
                               hWndParent, &rectPos);
    }
    if (SUCCEEDED(hr))
        hr = m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlaceObject));
    HWND hWnd = NULL;
    if (SUCCEEDED(hr) && (FAILED(m_pInPlaceObject->GetWindow(&hWnd)) || !::IsWindow(hWnd)))
        hr = E_FAIL; // a windowless control: not hosted
    if (SUCCEEDED(hr) && !m_pWndCtrl->SubclassWindow(hWnd))
        hr = E_FAIL;
    if (FAILED(hr)) {
        m_bDestroying = TRUE;
        if (m_pInPlaceObject != NULL)
            m_pInPlaceObject->InPlaceDeactivate();
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(NULL);
        ReleaseInterfaces();
        return hr;
    }

    m_hWnd = hWnd;
    m_pWndCtrl->m_pCtrlSite = this;
    m_pObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pDispatch));
    // The window takes the id and the visibility and tab stop asked for.
    ::SetWindowLongPtr(hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    LONG_PTR style = ::GetWindowLongPtr(hWnd, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_TABSTOP)) | static_cast<LONG_PTR>(dwStyle & WS_TABSTOP);
    ::SetWindowLongPtr(hWnd, GWL_STYLE, style);
    if (!m_strName.IsEmpty())
        ::SetWindowText(hWnd, m_strName);
    ::ShowWindow(hWnd, (dwStyle & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
    return S_OK;
}

void COleControlSite::DestroyControl()
{
    if (m_bDestroying)
        return;
    m_bDestroying = TRUE;
    AddRef();
    if (m_pInPlaceObject != NULL) {
        m_pInPlaceObject->UIDeactivate();
        m_pInPlaceObject->InPlaceDeactivate();
    }
    if (m_pObject != NULL) {
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(NULL);
    }
    ReleaseInterfaces();
    // A control that left its window behind: the window goes with the site.
    if (m_pWndCtrl != NULL) {
        m_pWndCtrl->m_pCtrlSite = NULL;
        if (m_pWndCtrl->m_hWnd != NULL && ::IsWindow(m_pWndCtrl->m_hWnd))
            ::DestroyWindow(m_pWndCtrl->m_hWnd);
        if (m_pWndCtrl->m_hWnd != NULL)
            m_pWndCtrl->Detach();
        m_pWndCtrl = NULL;
    }
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = NULL;
    if (m_pCtrlCont->m_pWnd != NULL)
        m_pCtrlCont->RemoveSite(this);
    Release();
}

void COleControlSite::OnWindowGone()
{
    m_hWnd = NULL;
    if (m_pWndCtrl != NULL) {
        m_pWndCtrl->m_pCtrlSite = NULL;
        m_pWndCtrl = NULL;
    }
    DestroyControl();
}

void COleControlSite::MoveWindow(int x, int y, int nWidth, int nHeight)
{
    m_rect.SetRect(x, y, x + nWidth, y + nHeight);
    if (m_pObject != NULL) {
        SIZEL extent = ExtentOf(m_rect);
        m_pObject->SetExtent(DVASPECT_CONTENT, &extent);
    }
    if (m_pInPlaceObject != NULL)
        m_pInPlaceObject->SetObjectRects(&m_rect, &m_rect);
    else if (m_hWnd != NULL)
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, TRUE);
}

BOOL COleControlSite::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || m_pInPlaceObject == NULL)
        return FALSE;
    // The control's own active object (also when it did not announce itself to the frame).
    IOleInPlaceActiveObject* pActive = NULL;
    if (FAILED(m_pInPlaceObject->QueryInterface(IID_IOleInPlaceActiveObject,
                                                reinterpret_cast<void**>(&pActive))))
        return FALSE;
    const HRESULT hr = pActive->TranslateAccelerator(pMsg);
    pActive->Release();
    return hr == S_OK;
}

STDMETHODIMP COleControlSite::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite || riid == IID_IOleInPlaceSiteEx)
        *ppv = static_cast<IOleInPlaceSiteEx*>(this);
    else if (riid == IID_IOleControlSite)
        *ppv = static_cast<IOleControlSite*>(this);
    else if (riid == IID_IDispatch)
        *ppv = static_cast<IDispatch*>(this);
    else {
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) COleControlSite::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) COleControlSite::Release()
{
    const LONG nRefs = ::InterlockedDecrement(&m_nRefs);
    if (nRefs == 0)
        delete this;
    return static_cast<ULONG>(nRefs);
}

// IOleClientSite: nothing is saved and there is no document to name.

STDMETHODIMP COleControlSite::SaveObject()
{
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk != NULL)
        *ppmk = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer != NULL)
        *ppContainer = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP COleControlSite::ShowObject()
{
    return S_OK;
}

STDMETHODIMP COleControlSite::OnShowWindow(BOOL)
{
    return S_OK;
}

STDMETHODIMP COleControlSite::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

// IOleInPlaceSite.

STDMETHODIMP COleControlSite::GetWindow(HWND* phwnd)
{
    if (phwnd == NULL)
        return E_POINTER;
    *phwnd = m_pCtrlCont->m_pWnd != NULL ? m_pCtrlCont->m_pWnd->GetSafeHwnd() : NULL;
    return *phwnd != NULL ? S_OK : E_FAIL;
}

STDMETHODIMP COleControlSite::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::CanInPlaceActivate()
{
    return m_bDestroying ? S_FALSE : S_OK;
}

STDMETHODIMP COleControlSite::OnInPlaceActivate()
{
    m_bInPlaceActive = TRUE;
    return S_OK;
}

STDMETHODIMP COleControlSite::OnUIActivate()
{
    return S_OK;
}

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (ppFrame == NULL || ppDoc == NULL || lprcPosRect == NULL || lprcClipRect == NULL)
        return E_POINTER;
    *ppFrame = static_cast<IOleInPlaceFrame*>(m_pCtrlCont);
    m_pCtrlCont->AddRef();
    *ppDoc = NULL;
    *lprcPosRect = m_rect;
    *lprcClipRect = m_rect;
    if (lpFrameInfo != NULL) {
        lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
        lpFrameInfo->fMDIApp = FALSE;
        m_pCtrlCont->GetWindow(&lpFrameInfo->hwndFrame);
        lpFrameInfo->haccel = NULL;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP COleControlSite::Scroll(SIZE)
{
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::OnUIDeactivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP COleControlSite::OnInPlaceDeactivate()
{
    m_bInPlaceActive = FALSE;
    return S_OK;
}

STDMETHODIMP COleControlSite::DiscardUndoState()
{
    return S_OK;
}

STDMETHODIMP COleControlSite::DeactivateAndUndo()
{
    return m_pInPlaceObject != NULL ? m_pInPlaceObject->UIDeactivate() : S_OK;
}

STDMETHODIMP COleControlSite::OnPosRectChange(LPCRECT lprcPosRect)
{
    if (lprcPosRect == NULL)
        return E_POINTER;
    m_rect = *lprcPosRect;
    if (m_pInPlaceObject != NULL)
        m_pInPlaceObject->SetObjectRects(&m_rect, &m_rect);
    return S_OK;
}

STDMETHODIMP COleControlSite::OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD)
{
    if (pfNoRedraw != NULL)
        *pfNoRedraw = FALSE;
    return OnInPlaceActivate();
}

STDMETHODIMP COleControlSite::OnInPlaceDeactivateEx(BOOL)
{
    return OnInPlaceDeactivate();
}

STDMETHODIMP COleControlSite::RequestUIActivate()
{
    return S_OK;
}

// IOleControlSite.

STDMETHODIMP COleControlSite::OnControlInfoChanged()
{
    return S_OK;
}

STDMETHODIMP COleControlSite::LockInPlaceActive(BOOL)
{
    return S_OK;
}

STDMETHODIMP COleControlSite::GetExtendedControl(IDispatch** ppDisp)
{
    if (ppDisp != NULL)
        *ppDisp = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::TransformCoords(POINTL*, POINTF*, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::TranslateAccelerator(MSG*, DWORD)
{
    return S_FALSE;
}

STDMETHODIMP COleControlSite::OnFocus(BOOL)
{
    return S_OK;
}

STDMETHODIMP COleControlSite::ShowPropertyFrame()
{
    return E_NOTIMPL;
}

// IDispatch: the ambient properties the control reads.

STDMETHODIMP COleControlSite::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == NULL)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP COleControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo != NULL)
        *ppTInfo = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS*,
                                     VARIANT* pVarResult, EXCEPINFO*, UINT*)
{
    if (!(wFlags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (pVarResult == NULL)
        return E_POINTER;
    ::VariantInit(pVarResult);
    HWND hWndParent = m_pCtrlCont->m_pWnd != NULL ? m_pCtrlCont->m_pWnd->GetSafeHwnd() : NULL;
    auto setBool = [pVarResult](BOOL b) {
        V_VT(pVarResult) = VT_BOOL;
        V_BOOL(pVarResult) = b ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    };
    switch (dispIdMember) {
    case DISPID_AMBIENT_USERMODE:
        return setBool(TRUE);
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
        return setBool(FALSE);
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
    case DISPID_AMBIENT_AUTOCLIP:
        return setBool(TRUE);
    case DISPID_AMBIENT_BACKCOLOR:
        V_VT(pVarResult) = VT_I4;
        V_I4(pVarResult) = static_cast<LONG>(::GetSysColor(COLOR_BTNFACE));
        return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
        V_VT(pVarResult) = VT_I4;
        V_I4(pVarResult) = static_cast<LONG>(::GetSysColor(COLOR_WINDOWTEXT));
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        V_VT(pVarResult) = VT_I4;
        V_I4(pVarResult) = static_cast<LONG>(::GetUserDefaultLCID());
        return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
        V_VT(pVarResult) = VT_BSTR;
        V_BSTR(pVarResult) = ::SysAllocString(m_strName);
        return S_OK;
    case DISPID_AMBIENT_FONT: {
        IFontDisp* pFont = CreateAmbientFont(hWndParent);
        if (pFont == NULL)
            return DISP_E_MEMBERNOTFOUND;
        V_VT(pVarResult) = VT_DISPATCH;
        V_DISPATCH(pVarResult) = pFont;
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
