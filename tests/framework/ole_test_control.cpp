// An in-process control server for the hosting tests: a small windowed control with IDispatch
// (and siblings without a window, without IDispatch, with a licence, with storage persistence).
// It records what it is asked in a block the tests read through TestControlRecord.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <cwchar>

#include "ole_test_control.h"

namespace {

HINSTANCE g_hInstance = NULL;
LONG g_nLocks = 0;
LONG g_nFactories = 0;
TestControlRecord g_record = {};
const wchar_t kWindowClass[] = L"FrameworkTestControlWindow";

enum class Kind
{
    Normal,
    Windowless,
    NoDispatch,
    Licensed,
    StorageOnly
};

struct ClassEntry
{
    const CLSID* pClsid;
    Kind kind;
};

const ClassEntry kClasses[] = {
    {&CLSID_TestControl, Kind::Normal},          {&CLSID_TestWindowless, Kind::Windowless},
    {&CLSID_TestNoDispatch, Kind::NoDispatch},   {&CLSID_TestLicensed, Kind::Licensed},
    {&CLSID_TestStorageOnly, Kind::StorageOnly},
};

BOOL AmbientBool(IDispatch* pAmbient, DISPID id, BOOL* pbFound)
{
    VARIANT v;
    ::VariantInit(&v);
    DISPPARAMS none = {};
    const HRESULT hr =
        pAmbient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &v, NULL, NULL);
    *pbFound = SUCCEEDED(hr);
    const BOOL b = SUCCEEDED(hr) && V_VT(&v) == VT_BOOL && V_BOOL(&v) != VARIANT_FALSE;
    ::VariantClear(&v);
    return b;
}

class TestControl final : public IOleObject,
                          public IOleInPlaceObject,
                          public IOleInPlaceActiveObject,
                          public IPersistStreamInit,
                          public IPersistStorage,
                          public IDispatch
{
public:
    explicit TestControl(Kind kind) : m_kind(kind)
    {
        ::InterlockedIncrement(&g_record.nObjects);
        m_text = ::SysAllocString(L"test control");
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (riid == IID_IUnknown || riid == IID_IOleObject)
            *ppv = static_cast<IOleObject*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
            *ppv = static_cast<IOleInPlaceObject*>(this);
        else if (riid == IID_IOleInPlaceActiveObject)
            *ppv = static_cast<IOleInPlaceActiveObject*>(this);
        else if (riid == IID_IPersistStreamInit && m_kind != Kind::StorageOnly)
            *ppv = static_cast<IPersistStreamInit*>(this);
        else if (riid == IID_IPersistStorage)
            *ppv = static_cast<IPersistStorage*>(this);
        else if (riid == IID_IDispatch && m_kind != Kind::NoDispatch)
            *ppv = static_cast<IDispatch*>(this);
        if (*ppv == NULL)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG n = ::InterlockedDecrement(&m_nRefs);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* pSite) override
    {
        if (m_pSite != NULL)
            m_pSite->Release();
        m_pSite = pSite;
        if (pSite == NULL) {
            g_record.bClientSiteCleared = TRUE;
            return S_OK;
        }
        pSite->AddRef();
        g_record.bClientSiteSet = TRUE;
        g_record.bClientSiteCleared = FALSE;
        IDispatch* pAmbient = NULL;
        if (SUCCEEDED(pSite->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pAmbient)))) {
            BOOL bFound = FALSE;
            g_record.bAmbientUserMode = AmbientBool(pAmbient, DISPID_AMBIENT_USERMODE, &bFound) && bFound;
            g_record.bAmbientUIDead = AmbientBool(pAmbient, DISPID_AMBIENT_UIDEAD, &bFound) || !bFound;
            VARIANT v;
            ::VariantInit(&v);
            DISPPARAMS none = {};
            g_record.bAmbientFont =
                SUCCEEDED(pAmbient->Invoke(DISPID_AMBIENT_FONT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v,
                                           NULL, NULL)) &&
                V_VT(&v) == VT_DISPATCH && V_DISPATCH(&v) != NULL;
            ::VariantClear(&v);
            if (SUCCEEDED(pAmbient->Invoke(DISPID_AMBIENT_BACKCOLOR, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                           &v, NULL, NULL)) &&
                V_VT(&v) == VT_I4)
                g_record.nAmbientBackColor = V_I4(&v);
            ::VariantClear(&v);
            pAmbient->Release();
        }
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** ppSite) override
    {
        *ppSite = m_pSite;
        if (m_pSite != NULL)
            m_pSite->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD dwSaveOption) override
    {
        if (dwSaveOption == OLECLOSE_NOSAVE)
            ++g_record.nClosesNoSave;
        InPlaceDeactivate();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override
    {
        *ppmk = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** ppData) override
    {
        *ppData = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND, LPCRECT) override
    {
        if (iVerb != OLEIVERB_INPLACEACTIVATE && iVerb != OLEIVERB_SHOW && iVerb != OLEIVERB_UIACTIVATE)
            return OLEOBJ_S_INVALIDVERB;
        IOleClientSite* pSite = pActiveSite != NULL ? pActiveSite : m_pSite;
        if (pSite == NULL)
            return E_UNEXPECTED;
        if (m_hWnd != NULL || m_bWindowlessActive)
            return S_OK;
        IOleInPlaceSite* pInPlaceSite = NULL;
        if (FAILED(pSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&pInPlaceSite))))
            return E_NOINTERFACE;
        HRESULT hr = pInPlaceSite->CanInPlaceActivate();
        if (hr == S_OK) {
            HWND hWndParent = NULL;
            IOleInPlaceFrame* pFrame = NULL;
            IOleInPlaceUIWindow* pDoc = NULL;
            RECT rcPos = {}, rcClip = {};
            OLEINPLACEFRAMEINFO info = {};
            info.cb = sizeof(info);
            hr = pInPlaceSite->GetWindow(&hWndParent);
            if (SUCCEEDED(hr))
                hr = pInPlaceSite->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &info);
            if (pFrame != NULL)
                pFrame->Release();
            if (pDoc != NULL)
                pDoc->Release();
            if (SUCCEEDED(hr)) {
                pInPlaceSite->OnInPlaceActivate();
                if (m_kind == Kind::Windowless) {
                    m_bWindowlessActive = TRUE;
                } else {
                    m_hWnd = ::CreateWindowEx(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                              rcPos.left, rcPos.top, rcPos.right - rcPos.left,
                                              rcPos.bottom - rcPos.top, hWndParent, NULL, g_hInstance, this);
                    if (m_hWnd == NULL)
                        hr = E_FAIL;
                }
            }
        } else {
            hr = E_FAIL;
        }
        pInPlaceSite->Release();
        return hr;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** ppEnum) override
    {
        *ppEnum = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* pClsid) override
    {
        *pClsid = CLSID_TestControl;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR* pszUserType) override
    {
        *pszUserType = NULL;
        return OLE_S_USEREG;
    }
    STDMETHODIMP SetExtent(DWORD, SIZEL* psizel) override
    {
        g_record.sizeExtent = *psizel;
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD, SIZEL* psizel) override
    {
        *psizel = g_record.sizeExtent;
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink*, DWORD* pdwConnection) override
    {
        *pdwConnection = 0;
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** ppenum) override
    {
        *ppenum = NULL;
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* pdwStatus) override
    {
        *pdwStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                     OLEMISC_SETCLIENTSITEFIRST;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow (both in-place interfaces)
    STDMETHODIMP GetWindow(HWND* phwnd) override
    {
        *phwnd = m_hWnd;
        return m_hWnd != NULL ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    STDMETHODIMP InPlaceDeactivate() override
    {
        if (m_hWnd == NULL && !m_bWindowlessActive)
            return S_OK;
        ++g_record.nInPlaceDeactivates;
        m_bWindowlessActive = FALSE;
        if (m_hWnd != NULL) {
            HWND hWnd = m_hWnd;
            m_hWnd = NULL;
            ::DestroyWindow(hWnd);
        }
        IOleInPlaceSite* pInPlaceSite = NULL;
        if (m_pSite != NULL && SUCCEEDED(m_pSite->QueryInterface(IID_IOleInPlaceSite,
                                                                 reinterpret_cast<void**>(&pInPlaceSite)))) {
            pInPlaceSite->OnInPlaceDeactivate();
            pInPlaceSite->Release();
        }
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT) override
    {
        g_record.rcLastObjectRects = *lprcPosRect;
        ++g_record.nObjectRects;
        if (m_hWnd != NULL)
            ::MoveWindow(m_hWnd, lprcPosRect->left, lprcPosRect->top, lprcPosRect->right - lprcPosRect->left,
                         lprcPosRect->bottom - lprcPosRect->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG lpmsg) override
    {
        if (lpmsg->message == WM_KEYDOWN)
            ++g_record.nAccelerators;
        return lpmsg->message == WM_KEYDOWN && lpmsg->wParam == TEST_CONTROL_ACCELERATOR ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IPersistStreamInit and IPersistStorage
    STDMETHODIMP GetClassID(CLSID* pClassID) override
    {
        *pClassID = CLSID_TestControl;
        return S_OK;
    }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM) override { return S_OK; }
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return S_OK; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* pcbSize) override
    {
        pcbSize->QuadPart = 0;
        return S_OK;
    }
    STDMETHODIMP InitNew() override
    {
        g_record.bInitNew = TRUE;
        return S_OK;
    }
    STDMETHODIMP InitNew(IStorage* pStg) override
    {
        g_record.bStorageInitNew = pStg != NULL;
        return pStg != NULL ? S_OK : E_POINTER;
    }
    STDMETHODIMP Load(IStorage*) override { return S_OK; }
    STDMETHODIMP Save(IStorage*, BOOL) override { return S_OK; }
    STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
    STDMETHODIMP HandsOffStorage() override { return S_OK; }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override
    {
        *ppTInfo = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult,
                        EXCEPINFO* pExcepInfo, UINT*) override
    {
        ::InterlockedIncrement(&g_record.nInvokes);
        const bool bPut = (wFlags & DISPATCH_PROPERTYPUT) != 0;
        if (bPut && (pParams->cNamedArgs != 1 || pParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT ||
                     pParams->cArgs != 1))
            return DISP_E_PARAMNOTOPTIONAL;
        switch (id) {
        case TEST_DISPID_OPEN:
            if (pParams->cArgs != 1 || V_VT(&pParams->rgvarg[0]) != VT_BSTR)
                return DISP_E_TYPEMISMATCH;
            ::lstrcpynW(g_record.szLastPath, V_BSTR(&pParams->rgvarg[0]) ? V_BSTR(&pParams->rgvarg[0]) : L"",
                        260);
            if (pResult != NULL) {
                V_VT(pResult) = VT_BOOL;
                V_BOOL(pResult) = VARIANT_TRUE;
            }
            return S_OK;
        case TEST_DISPID_TEXT:
            if (bPut) {
                if (V_VT(&pParams->rgvarg[0]) != VT_BSTR)
                    return DISP_E_TYPEMISMATCH;
                ::SysFreeString(m_text);
                m_text = ::SysAllocString(V_BSTR(&pParams->rgvarg[0]));
                if (m_hWnd != NULL)
                    ::InvalidateRect(m_hWnd, NULL, TRUE);
                return S_OK;
            }
            if (pResult != NULL) {
                V_VT(pResult) = VT_BSTR;
                V_BSTR(pResult) = ::SysAllocString(m_text);
            }
            return S_OK;
        case TEST_DISPID_NUMBER:
            if (bPut) {
                VARIANT v;
                ::VariantInit(&v);
                if (FAILED(::VariantChangeType(&v, &pParams->rgvarg[0], 0, VT_I4)))
                    return DISP_E_TYPEMISMATCH;
                m_nNumber = V_I4(&v);
                return S_OK;
            }
            if (pResult != NULL) {
                V_VT(pResult) = VT_I4;
                V_I4(pResult) = m_nNumber;
            }
            return S_OK;
        case TEST_DISPID_RAISE:
            if (pExcepInfo != NULL) {
                *pExcepInfo = {};
                pExcepInfo->scode = TEST_RAISE_SCODE;
                pExcepInfo->bstrSource = ::SysAllocString(TEST_RAISE_SOURCE);
                pExcepInfo->bstrDescription = ::SysAllocString(TEST_RAISE_DESCRIPTION);
            }
            return DISP_E_EXCEPTION;
        case TEST_DISPID_ARGUMENTS: {
            const UINT n = pParams->cArgs < 8 ? pParams->cArgs : 8;
            g_record.nArguments = static_cast<int>(pParams->cArgs);
            g_record.szArgText[0] = 0;
            for (UINT i = 0; i < n; ++i) {
                // rgvarg holds the last argument first.
                VARIANT& arg = pParams->rgvarg[pParams->cArgs - 1 - i];
                g_record.argTypes[i] = V_VT(&arg);
                VARIANT number;
                ::VariantInit(&number);
                VARIANT* pValue = V_VT(&arg) == (VT_VARIANT | VT_BYREF) ? V_VARIANTREF(&arg) : &arg;
                g_record.argValues[i] =
                    SUCCEEDED(::VariantChangeType(&number, pValue, 0, VT_R8)) ? V_R8(&number) : -1.0;
                if (V_VT(&arg) == VT_BSTR && g_record.szArgText[0] == 0 && V_BSTR(&arg) != NULL)
                    ::lstrcpynW(g_record.szArgText, V_BSTR(&arg), 64);
                if (V_VT(&arg) == (VT_VARIANT | VT_BYREF)) {
                    ::VariantClear(V_VARIANTREF(&arg));
                    V_VT(V_VARIANTREF(&arg)) = VT_I4;
                    V_I4(V_VARIANTREF(&arg)) = 77;
                }
            }
            return S_OK;
        }
        case TEST_DISPID_SELF:
            if (pResult != NULL) {
                V_VT(pResult) = VT_DISPATCH;
                V_DISPATCH(pResult) = static_cast<IDispatch*>(this);
                AddRef();
            }
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    void Paint(HWND hWnd)
    {
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(hWnd, &ps);
        RECT rect;
        ::GetClientRect(hWnd, &rect);
        HBRUSH hBrush = ::CreateSolidBrush(RGB(255, 236, 200));
        ::FillRect(hDC, &rect, hBrush);
        ::DeleteObject(hBrush);
        ::FrameRect(hDC, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::SetBkMode(hDC, TRANSPARENT);
        HGDIOBJ hOld = ::SelectObject(hDC, ::GetStockObject(DEFAULT_GUI_FONT));
        ::DrawTextW(hDC, m_text != NULL ? m_text : L"", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(hDC, hOld);
        ::EndPaint(hWnd, &ps);
    }

private:
    ~TestControl()
    {
        if (m_hWnd != NULL)
            ::DestroyWindow(m_hWnd);
        if (m_pSite != NULL)
            m_pSite->Release();
        ::SysFreeString(m_text);
        ::InterlockedDecrement(&g_record.nObjects);
    }

    LONG m_nRefs = 1;
    Kind m_kind;
    IOleClientSite* m_pSite = NULL;
    HWND m_hWnd = NULL;
    BOOL m_bWindowlessActive = FALSE;
    BSTR m_text = NULL;
    LONG m_nNumber = 0;
};

LRESULT CALLBACK ControlWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCT* pcs = reinterpret_cast<const CREATESTRUCT*>(lParam);
        ::SetWindowLongPtr(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pcs->lpCreateParams));
    }
    TestControl* pControl = reinterpret_cast<TestControl*>(::GetWindowLongPtr(hWnd, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT:
        if (pControl != NULL) {
            pControl->Paint(hWnd);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        ++g_record.nWindowKeyDowns;
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtr(hWnd, GWLP_USERDATA, 0);
        break;
    }
    return ::DefWindowProc(hWnd, message, wParam, lParam);
}

class Factory final : public IClassFactory2
{
public:
    explicit Factory(Kind kind) : m_kind(kind) { ::InterlockedIncrement(&g_nFactories); }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IClassFactory || riid == IID_IClassFactory2) {
            *ppv = static_cast<IClassFactory2*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG n = ::InterlockedDecrement(&m_nRefs);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }
    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        *ppv = NULL;
        if (m_kind == Kind::Licensed)
            return CLASS_E_NOTLICENSED;
        return Create(pOuter, riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL fLock) override
    {
        if (fLock)
            ::InterlockedIncrement(&g_nLocks);
        else
            ::InterlockedDecrement(&g_nLocks);
        return S_OK;
    }
    STDMETHODIMP GetLicInfo(LICINFO* pLicInfo) override
    {
        pLicInfo->cbLicInfo = sizeof(LICINFO);
        pLicInfo->fRuntimeKeyAvail = TRUE;
        pLicInfo->fLicVerified = FALSE;
        return S_OK;
    }
    STDMETHODIMP RequestLicKey(DWORD, BSTR* pBstrKey) override
    {
        *pBstrKey = ::SysAllocString(TEST_CONTROL_LICENCE_KEY);
        return S_OK;
    }
    STDMETHODIMP CreateInstanceLic(IUnknown* pOuter, IUnknown*, REFIID riid, BSTR bstrKey,
                                   void** ppv) override
    {
        *ppv = NULL;
        if (m_kind == Kind::Licensed &&
            (bstrKey == NULL || std::wcscmp(bstrKey, TEST_CONTROL_LICENCE_KEY) != 0))
            return CLASS_E_NOTLICENSED;
        return Create(pOuter, riid, ppv);
    }

private:
    ~Factory() { ::InterlockedDecrement(&g_nFactories); }
    HRESULT Create(IUnknown* pOuter, REFIID riid, void** ppv)
    {
        if (pOuter != NULL)
            return CLASS_E_NOAGGREGATION;
        TestControl* pControl = new TestControl(m_kind);
        const HRESULT hr = pControl->QueryInterface(riid, ppv);
        pControl->Release();
        return hr;
    }
    LONG m_nRefs = 1;
    Kind m_kind;
};

void GuidText(const CLSID& clsid, wchar_t (&text)[64])
{
    ::StringFromGUID2(clsid, text, 64);
}

LONG SetValue(HKEY hRoot, const wchar_t* pszKey, const wchar_t* pszName, const wchar_t* pszValue)
{
    HKEY hKey = NULL;
    LONG result = ::RegCreateKeyExW(hRoot, pszKey, 0, NULL, 0, KEY_WRITE, NULL, &hKey, NULL);
    if (result != ERROR_SUCCESS)
        return result;
    result = ::RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszValue),
                              static_cast<DWORD>((std::wcslen(pszValue) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(hKey);
    return result;
}

const wchar_t kClassesRoot[] = L"Software\\Classes\\";

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        ::DisableThreadLibraryCalls(hInstance);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ControlWndProc;
        wc.hInstance = hInstance;
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        ::RegisterClassW(&wc);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        ::UnregisterClassW(kWindowClass, hInstance);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    *ppv = NULL;
    for (const ClassEntry& entry : kClasses) {
        if (rclsid == *entry.pClsid) {
            Factory* pFactory = new Factory(entry.kind);
            const HRESULT hr = pFactory->QueryInterface(riid, ppv);
            pFactory->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow()
{
    return g_record.nObjects == 0 && g_nFactories == 0 && g_nLocks == 0 ? S_OK : S_FALSE;
}

HRESULT RegisterUnder(HKEY hRoot, const wchar_t* pszPrefix)
{
    wchar_t szModule[MAX_PATH] = {};
    ::GetModuleFileNameW(g_hInstance, szModule, MAX_PATH);
    for (const ClassEntry& entry : kClasses) {
        wchar_t szClsid[64];
        GuidText(*entry.pClsid, szClsid);
        wchar_t szKey[200];
        ::wsprintfW(szKey, L"%lsCLSID\\%ls\\InprocServer32", pszPrefix, szClsid);
        if (SetValue(hRoot, szKey, NULL, szModule) != ERROR_SUCCESS ||
            SetValue(hRoot, szKey, L"ThreadingModel", L"Apartment") != ERROR_SUCCESS)
            return SELFREG_E_CLASS;
        if (entry.kind == Kind::Normal) {
            ::wsprintfW(szKey, L"%lsCLSID\\%ls\\ProgID", pszPrefix, szClsid);
            SetValue(hRoot, szKey, NULL, TEST_CONTROL_PROGID);
            ::wsprintfW(szKey, L"%ls%ls\\CLSID", pszPrefix, TEST_CONTROL_PROGID);
            SetValue(hRoot, szKey, NULL, szClsid);
        }
    }
    return S_OK;
}

void UnregisterUnder(HKEY hRoot, const wchar_t* pszPrefix)
{
    for (const ClassEntry& entry : kClasses) {
        wchar_t szClsid[64];
        GuidText(*entry.pClsid, szClsid);
        wchar_t szKey[200];
        ::wsprintfW(szKey, L"%lsCLSID\\%ls", pszPrefix, szClsid);
        ::RegDeleteTreeW(hRoot, szKey);
    }
    wchar_t szKey[200];
    ::wsprintfW(szKey, L"%ls%ls", pszPrefix, TEST_CONTROL_PROGID);
    ::RegDeleteTreeW(hRoot, szKey);
}

// Whether the merged classes root shows the class (Wine's does not merge the user's classes).
bool VisibleInClassesRoot()
{
    wchar_t szClsid[64];
    GuidText(CLSID_TestControl, szClsid);
    wchar_t szKey[100];
    ::wsprintfW(szKey, L"CLSID\\%ls", szClsid);
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, szKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

} // namespace

// Per user: the classes root of the current user, no administrator needed. Where the system's
// classes root does not show the user's classes, the classes root itself takes them.
extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer()
{
    HRESULT hr = RegisterUnder(HKEY_CURRENT_USER, kClassesRoot);
    if (SUCCEEDED(hr) && !VisibleInClassesRoot())
        hr = RegisterUnder(HKEY_CLASSES_ROOT, L"");
    return hr;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer()
{
    UnregisterUnder(HKEY_CURRENT_USER, kClassesRoot);
    UnregisterUnder(HKEY_CLASSES_ROOT, L"");
    return S_OK;
}

extern "C" __declspec(dllexport) TestControlRecord* WINAPI GetTestControlRecord()
{
    return &g_record;
}
