// Reference counting, interface maps and the IDispatch of automation-enabled command targets.
#include <afxwin.h>

CCmdTarget::CCmdTarget()
    : m_dwRef(1), m_pOuterUnknown(NULL), m_pModuleState(AfxGetModuleState()), m_bAutomationEnabled(FALSE)
{
    m_xDispatch.m_pOwner = this;
}

CCmdTarget::~CCmdTarget() = default;

const AFX_INTERFACEMAP* PASCAL CCmdTarget::GetThisInterfaceMap()
{
    static const AFX_INTERFACEMAP_ENTRY entries[] = {{NULL, NULL}};
    static const AFX_INTERFACEMAP interfaceMap = {NULL, &entries[0]};
    return &interfaceMap;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const
{
    return GetThisInterfaceMap();
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

DWORD CCmdTarget::InternalAddRef()
{
    return static_cast<DWORD>(::InterlockedIncrement(&m_dwRef));
}

DWORD CCmdTarget::InternalRelease()
{
    if (m_dwRef == 0)
        return 0;
    const LONG lResult = ::InterlockedDecrement(&m_dwRef);
    if (lResult == 0) {
        // An add-reference and release pair inside the destruction (a part releasing its owner)
        // must not reach zero again and delete a second time.
        m_dwRef = 1;
        AFX_MANAGE_STATE(m_pModuleState);
        OnFinalRelease();
    }
    return static_cast<DWORD>(lResult);
}

DWORD CCmdTarget::ExternalAddRef()
{
    if (m_pOuterUnknown != NULL)
        return m_pOuterUnknown->AddRef();
    return InternalAddRef();
}

DWORD CCmdTarget::ExternalRelease()
{
    if (m_pOuterUnknown != NULL)
        return m_pOuterUnknown->Release();
    return InternalRelease();
}

LPUNKNOWN CCmdTarget::GetInterface(const void* iid)
{
    const IID& riid = *static_cast<const IID*>(iid);
    LPUNKNOWN pFirst = NULL;
    for (const AFX_INTERFACEMAP* pMap = GetInterfaceMap(); pMap != NULL;
         pMap = pMap->pfnGetBaseMap != NULL ? pMap->pfnGetBaseMap() : NULL) {
        for (const AFX_INTERFACEMAP_ENTRY* pEntry = pMap->pEntry; pEntry->piid != NULL; ++pEntry) {
            LPUNKNOWN pInterface = static_cast<LPUNKNOWN>(pEntry->pfnGetInterface(this));
            if (pFirst == NULL)
                pFirst = pInterface;
            if (IsEqualIID(riid, *pEntry->piid))
                return pInterface;
        }
    }
    // Every interface of the map answers IUnknown; the first one stands for the object.
    if (IsEqualIID(riid, IID_IUnknown) && pFirst != NULL)
        return pFirst;
    if (m_bAutomationEnabled && (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IUnknown)))
        return &m_xDispatch;
    return NULL;
}

DWORD CCmdTarget::InternalQueryInterface(const void* iid, LPVOID* ppvObj)
{
    if (ppvObj == NULL)
        return static_cast<DWORD>(E_POINTER);
    LPUNKNOWN pInterface = GetInterface(iid);
    *ppvObj = pInterface;
    if (pInterface == NULL)
        return static_cast<DWORD>(E_NOINTERFACE);
    InternalAddRef();
    return S_OK;
}

DWORD CCmdTarget::ExternalQueryInterface(const void* iid, LPVOID* ppvObj)
{
    if (m_pOuterUnknown != NULL)
        return static_cast<DWORD>(m_pOuterUnknown->QueryInterface(*static_cast<const IID*>(iid), ppvObj));
    return InternalQueryInterface(iid, ppvObj);
}

LPUNKNOWN CCmdTarget::GetControllingUnknown()
{
    if (m_pOuterUnknown != NULL)
        return m_pOuterUnknown;
    return GetInterface(&IID_IUnknown);
}

void CCmdTarget::EnableAutomation()
{
    m_bAutomationEnabled = TRUE;
}

LPDISPATCH CCmdTarget::GetIDispatch(BOOL bAddRef)
{
    if (!m_bAutomationEnabled)
        return NULL;
    if (bAddRef)
        ExternalAddRef();
    return &m_xDispatch;
}

ULONG STDMETHODCALLTYPE CCmdTarget::XDispatch::AddRef()
{
    return m_pOwner->ExternalAddRef();
}

ULONG STDMETHODCALLTYPE CCmdTarget::XDispatch::Release()
{
    return m_pOwner->ExternalRelease();
}

HRESULT STDMETHODCALLTYPE CCmdTarget::XDispatch::QueryInterface(REFIID iid, LPVOID* ppvObj)
{
    return static_cast<HRESULT>(m_pOwner->ExternalQueryInterface(&iid, ppvObj));
}

HRESULT STDMETHODCALLTYPE CCmdTarget::XDispatch::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == NULL)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCmdTarget::XDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** ppTypeInfo)
{
    if (ppTypeInfo != NULL)
        *ppTypeInfo = NULL;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CCmdTarget::XDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT cNames, LCID,
                                                               DISPID* rgDispId)
{
    for (UINT i = 0; rgDispId != NULL && i < cNames; ++i)
        rgDispId[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE CCmdTarget::XDispatch::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                                        EXCEPINFO*, UINT*)
{
    return DISP_E_MEMBERNOTFOUND;
}
