#include "accessible_base.h"

namespace {

typedef void(WINAPI* PFN_NOTIFYWINEVENT)(DWORD, HWND, LONG, LONG);
typedef HRESULT(WINAPI* PFN_ACCESSIBLEOBJECTFROMWINDOW)(HWND, DWORD, REFIID, void**);
typedef LRESULT(WINAPI* PFN_LRESULTFROMOBJECT)(REFIID, WPARAM, LPUNKNOWN);

PFN_NOTIFYWINEVENT g_pfnNotifyWinEvent = NULL;
bool g_bNotifyWinEventLooked = false;

void BindNotifyWinEvent()
{
    if (g_bNotifyWinEventLooked)
        return;
    g_bNotifyWinEventLooked = true;
    HMODULE hUser = ::GetModuleHandleW(L"USER32");
    if (hUser != NULL)
        g_pfnNotifyWinEvent = reinterpret_cast<PFN_NOTIFYWINEVENT>(
            reinterpret_cast<void*>(::GetProcAddress(hUser, "NotifyWinEvent")));
}

// The library is never freed; while it cannot be loaded every call tries again.
struct OleAcc
{
    HMODULE hModule = NULL;
    PFN_ACCESSIBLEOBJECTFROMWINDOW pfnAccessibleObjectFromWindow = NULL;
    PFN_LRESULTFROMOBJECT pfnLresultFromObject = NULL;

    bool Load()
    {
        if (hModule != NULL)
            return true;
        hModule = ::LoadLibraryW(L"oleacc.dll");
        if (hModule == NULL)
            return false;
        pfnAccessibleObjectFromWindow = reinterpret_cast<PFN_ACCESSIBLEOBJECTFROMWINDOW>(
            reinterpret_cast<void*>(::GetProcAddress(hModule, "AccessibleObjectFromWindow")));
        pfnLresultFromObject = reinterpret_cast<PFN_LRESULTFROMOBJECT>(
            reinterpret_cast<void*>(::GetProcAddress(hModule, "LresultFromObject")));
        return true;
    }
};

OleAcc g_oleAcc;

} // namespace

CXTAccessibleBase::CXTAccessibleBase()
{
    BindNotifyWinEvent();
}

CXTAccessibleBase::~CXTAccessibleBase() = default;

HRESULT CXTAccessibleBase::get_accParent(IDispatch**)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accChildCount(long*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accChild(VARIANT, IDispatch**)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accName(VARIANT, BSTR*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accValue(VARIANT, BSTR*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accDescription(VARIANT, BSTR*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accRole(VARIANT, VARIANT*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accState(VARIANT, VARIANT*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accHelp(VARIANT, BSTR*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accHelpTopic(BSTR*, VARIANT, long*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::get_accKeyboardShortcut(VARIANT, BSTR*)
{
    return E_NOTIMPL;
}
// No focus and no selection is an answer, not a gap.
HRESULT CXTAccessibleBase::get_accFocus(VARIANT*)
{
    return S_FALSE;
}
HRESULT CXTAccessibleBase::get_accSelection(VARIANT*)
{
    return S_FALSE;
}
HRESULT CXTAccessibleBase::get_accDefaultAction(VARIANT, BSTR*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::accSelect(long, VARIANT)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::accLocation(long*, long*, long*, long*, VARIANT)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::accNavigate(long, VARIANT, VARIANT*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::accHitTest(long, long, VARIANT*)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::accDoDefaultAction(VARIANT)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}
HRESULT CXTAccessibleBase::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

CXTAccessibleBase* CXTAccessibleBase::XAccessible::Base()
{
    return AfxOuterFromPart<CXTAccessibleBase>(this, &CXTAccessibleBase::m_xAccessible);
}

STDMETHODIMP CXTAccessibleBase::XAccessible::QueryInterface(REFIID riid, void** ppvObject)
{
    return static_cast<HRESULT>(Base()->GetOwnerCmdTarget()->ExternalQueryInterface(&riid, ppvObject));
}
STDMETHODIMP_(ULONG) CXTAccessibleBase::XAccessible::AddRef()
{
    return Base()->GetOwnerCmdTarget()->ExternalAddRef();
}
STDMETHODIMP_(ULONG) CXTAccessibleBase::XAccessible::Release()
{
    return Base()->GetOwnerCmdTarget()->ExternalRelease();
}
STDMETHODIMP CXTAccessibleBase::XAccessible::GetTypeInfoCount(UINT*)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXTAccessibleBase::XAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXTAccessibleBase::XAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXTAccessibleBase::XAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                                    EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accParent(IDispatch** ppdispParent)
{
    return Base()->get_accParent(ppdispParent);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accChildCount(long* pcountChildren)
{
    return Base()->get_accChildCount(pcountChildren);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accChild(VARIANT varChild, IDispatch** ppdispChild)
{
    return Base()->get_accChild(varChild, ppdispChild);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accName(VARIANT varChild, BSTR* pszName)
{
    return Base()->get_accName(varChild, pszName);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accValue(VARIANT varChild, BSTR* pszValue)
{
    return Base()->get_accValue(varChild, pszValue);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accDescription(VARIANT varChild, BSTR* pszDescription)
{
    return Base()->get_accDescription(varChild, pszDescription);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    return Base()->get_accRole(varChild, pvarRole);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    return Base()->get_accState(varChild, pvarState);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accHelp(VARIANT varChild, BSTR* pszHelp)
{
    return Base()->get_accHelp(varChild, pszHelp);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild,
                                                              long* pidTopic)
{
    return Base()->get_accHelpTopic(pszHelpFile, varChild, pidTopic);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accKeyboardShortcut(VARIANT varChild,
                                                                     BSTR* pszKeyboardShortcut)
{
    return Base()->get_accKeyboardShortcut(varChild, pszKeyboardShortcut);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accFocus(VARIANT* pvarChild)
{
    return Base()->get_accFocus(pvarChild);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accSelection(VARIANT* pvarChildren)
{
    return Base()->get_accSelection(pvarChildren);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction)
{
    return Base()->get_accDefaultAction(varChild, pszDefaultAction);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::accSelect(long flagsSelect, VARIANT varChild)
{
    return Base()->accSelect(flagsSelect, varChild);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::accLocation(long* pxLeft, long* pyTop, long* pcxWidth,
                                                         long* pcyHeight, VARIANT varChild)
{
    return Base()->accLocation(pxLeft, pyTop, pcxWidth, pcyHeight, varChild);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt)
{
    return Base()->accNavigate(navDir, varStart, pvarEndUpAt);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::accHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
    return Base()->accHitTest(xLeft, yTop, pvarChild);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::accDoDefaultAction(VARIANT varChild)
{
    return Base()->accDoDefaultAction(varChild);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::put_accName(VARIANT varChild, BSTR szName)
{
    return Base()->put_accName(varChild, szName);
}
STDMETHODIMP CXTAccessibleBase::XAccessible::put_accValue(VARIANT varChild, BSTR szValue)
{
    return Base()->put_accValue(varChild, szValue);
}

void AFXAPI CallNotifyWinEvent(DWORD event, HWND hWnd, LONG idObject, LONG idChild)
{
    BindNotifyWinEvent();
    if (g_pfnNotifyWinEvent != NULL)
        g_pfnNotifyWinEvent(event, hWnd, idObject, idChild);
}

HRESULT AFXAPI CallAccessibleObjectFromWindow(HWND hWnd, DWORD dwObjectId, REFIID riid, void** ppvObject)
{
    if (!g_oleAcc.Load() || g_oleAcc.pfnAccessibleObjectFromWindow == NULL)
        return E_FAIL;
    return g_oleAcc.pfnAccessibleObjectFromWindow(hWnd, dwObjectId, riid, ppvObject);
}

LRESULT AFXAPI CallLresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN punk)
{
    if (!g_oleAcc.Load() || g_oleAcc.pfnLresultFromObject == NULL)
        return E_FAIL;
    return g_oleAcc.pfnLresultFromObject(riid, wParam, punk);
}

namespace {

long ChildIdOfPlainVariant(const VARIANT& variant)
{
    switch (variant.vt) {
    case VT_I4:
        return variant.lVal;
    case VT_I2:
        return variant.iVal;
    case VT_BYREF | VT_I4:
        return variant.plVal != NULL ? *variant.plVal : -1;
    case VT_BYREF | VT_I2:
        return variant.piVal != NULL ? *variant.piVal : -1;
    default:
        return -1;
    }
}

} // namespace

long AFXAPI GetChildIdFromVariant(const VARIANT* pVariant)
{
    if (pVariant == NULL)
        return -1;
    // A reference is followed one level only: a variant that refers to itself, or a chain of
    // references, would otherwise be walked for ever.
    if (pVariant->vt == (VT_BYREF | VT_VARIANT))
        return pVariant->pvarVal != NULL ? ChildIdOfPlainVariant(*pVariant->pvarVal) : -1;
    return ChildIdOfPlainVariant(*pVariant);
}
