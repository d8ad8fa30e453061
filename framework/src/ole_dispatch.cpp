// Dispatch calls: the typed argument list against its VTS_ string, IDispatch::Invoke, the result in
// the caller's type, and the two exceptions; COleDispatchDriver around an object's IDispatch.
#include <afxdisp.h>

#include <vector>

IMPLEMENT_DYNAMIC(COleDispatchException, CException)

COleDispatchException::COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode)
    : m_wCode(wCode), m_scError(0), m_strDescription(lpszDescription), m_dwHelpContext(nHelpID)
{}

BOOL COleDispatchException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (lpszError == NULL || nMaxError == 0)
        return FALSE;
    if (pnHelpContext != NULL)
        *pnHelpContext = m_dwHelpContext;
    ::lstrcpyn(lpszError, m_strDescription, static_cast<int>(nMaxError));
    return TRUE;
}

void AFXAPI AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID)
{
    throw new COleDispatchException(lpszDescription, nHelpID, wCode);
}

void AFXAPI AfxThrowOleDispatchException(WORD wCode, UINT nDescriptionID, UINT nHelpID)
{
    CString description;
    description.LoadString(nDescriptionID);
    if (nHelpID == static_cast<UINT>(-1))
        nHelpID = nDescriptionID;
    throw new COleDispatchException(description, nHelpID, wCode);
}

namespace afx_dispatch {

namespace {

// Whether an argument of this kind may stand for a parameter of this code.
bool Fits(BYTE code, ArgKind kind)
{
    switch (code) {
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
    case VT_UI1:
    case VT_ERROR:
        return kind == ArgKind::Integer;
    case VT_R4:
    case VT_R8:
    case VT_DATE:
        return kind == ArgKind::Floating || kind == ArgKind::Integer;
    case VT_CY:
        return kind == ArgKind::Currency;
    case VT_BSTR:
        return kind == ArgKind::Text;
    case VT_DISPATCH:
        return kind == ArgKind::Dispatch;
    case VT_UNKNOWN:
        return kind == ArgKind::Unknown || kind == ArgKind::Dispatch;
    case VT_VARIANT:
        return kind == ArgKind::ConstVariant || kind == ArgKind::Variant;
    case VT_VARIANT | VT_MFCBYREF:
        return kind == ArgKind::Variant;
    default:
        return false;
    }
}

// Whether an integer fits its parameter: the type's signed range, or its unsigned bit pattern
// (an OLE_COLOR such as 0x80000005 passed as a VTS_I4).
bool InRange(BYTE code, long long value)
{
    switch (code) {
    case VT_I2:
        return value >= -32768 && value <= 0xFFFF;
    case VT_UI1:
        return value >= -128 && value <= 0xFF;
    case VT_I4:
    case VT_ERROR:
        return value >= -2147483648LL && value <= 0xFFFFFFFFLL;
    default:
        return true;
    }
}

bool KnownCode(BYTE code)
{
    switch (code) {
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
    case VT_UI1:
    case VT_ERROR:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_CY:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_VARIANT:
    case VT_VARIANT | VT_MFCBYREF:
        return true;
    default:
        return false;
    }
}

double AsDouble(const DispArg& arg)
{
    return arg.kind == ArgKind::Floating ? arg.asFloating : static_cast<double>(arg.asInteger);
}

// The argument as the VARIANTARG of its parameter; strings are allocated (freed by VariantClear).
void Fill(VARIANTARG& v, BYTE code, const DispArg& arg)
{
    // Every known code but the by-reference variant is the VARIANTARG's own type; the callers have
    // checked the codes.
    ::VariantInit(&v);
    V_VT(&v) = code;
    switch (code) {
    case VT_I2:
        V_I2(&v) = static_cast<SHORT>(arg.asInteger);
        break;
    case VT_I4:
        V_I4(&v) = static_cast<LONG>(arg.asInteger);
        break;
    case VT_BOOL:
        V_BOOL(&v) = arg.asInteger != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_UI1:
        V_UI1(&v) = static_cast<BYTE>(arg.asInteger);
        break;
    case VT_ERROR:
        V_ERROR(&v) = static_cast<SCODE>(arg.asInteger);
        break;
    case VT_R4:
        V_R4(&v) = static_cast<float>(AsDouble(arg));
        break;
    case VT_R8:
        V_R8(&v) = AsDouble(arg);
        break;
    case VT_DATE:
        V_DATE(&v) = AsDouble(arg);
        break;
    case VT_CY:
        V_CY(&v) = arg.asCurrency;
        break;
    case VT_BSTR: {
        if (arg.asText == NULL)
            V_BSTR(&v) = NULL;
        else if (arg.nTextLength >= 0)
            V_BSTR(&v) = ::SysAllocStringLen(arg.asText, static_cast<UINT>(arg.nTextLength));
        else
            V_BSTR(&v) = ::SysAllocString(arg.asText);
        if (arg.asText != NULL && V_BSTR(&v) == NULL)
            AfxThrowMemoryException();
        break;
    }
    case VT_DISPATCH:
        // Borrowed: the caller keeps its reference; the VARIANTARG is not cleared.
        V_DISPATCH(&v) = arg.asDispatch;
        break;
    case VT_UNKNOWN:
        V_UNKNOWN(&v) = arg.kind == ArgKind::Dispatch ? arg.asDispatch : arg.asUnknown;
        break;
    case VT_VARIANT:
        // A shallow copy: the caller's variant keeps what it owns.
        v = arg.kind == ArgKind::Variant ? *arg.asVariant : *arg.asConstVariant;
        break;
    case VT_VARIANT | VT_MFCBYREF:
        V_VT(&v) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&v) = arg.asVariant;
        break;
    }
}

// Frees what Fill allocated: the strings of VTS_BSTR parameters. Everything else is borrowed from
// the caller (a VTS_VARIANT holding a string is the caller's string).
struct ArgumentList
{
    std::vector<VARIANTARG> values;
    std::vector<BYTE> codes; // in the order of values
    ~ArgumentList()
    {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (codes[i] == VT_BSTR)
                ::SysFreeString(V_BSTR(&values[i]));
        }
    }
};

[[noreturn]] void ThrowDispatchException(EXCEPINFO& info)
{
    if (info.pfnDeferredFillIn != NULL)
        info.pfnDeferredFillIn(&info);
    COleDispatchException* pException = new COleDispatchException(
        info.bstrDescription != NULL ? info.bstrDescription : L"", info.dwHelpContext, info.wCode);
    pException->m_scError = info.wCode != 0 ? 0 : info.scode;
    if (info.bstrSource != NULL)
        pException->m_strSource = info.bstrSource;
    if (info.bstrHelpFile != NULL)
        pException->m_strHelpFile = info.bstrHelpFile;
    ::SysFreeString(info.bstrSource);
    ::SysFreeString(info.bstrDescription);
    ::SysFreeString(info.bstrHelpFile);
    throw pException;
}

// Stores the result, already of type vtRet, in the caller's variable; the result's contents move.
void Store(VARIANT& result, VARTYPE vtRet, void* pvRet)
{
    switch (vtRet) {
    case VT_I2:
        *static_cast<short*>(pvRet) = V_I2(&result);
        break;
    case VT_I4:
        *static_cast<long*>(pvRet) = V_I4(&result);
        break;
    case VT_BOOL:
        *static_cast<BOOL*>(pvRet) = V_BOOL(&result) != VARIANT_FALSE;
        break;
    case VT_UI1:
        *static_cast<BYTE*>(pvRet) = V_UI1(&result);
        break;
    case VT_ERROR:
        *static_cast<SCODE*>(pvRet) = V_ERROR(&result);
        break;
    case VT_R4:
        *static_cast<float*>(pvRet) = V_R4(&result);
        break;
    case VT_R8:
        *static_cast<double*>(pvRet) = V_R8(&result);
        break;
    case VT_DATE:
        *static_cast<DATE*>(pvRet) = V_DATE(&result);
        break;
    case VT_CY:
        *static_cast<CY*>(pvRet) = V_CY(&result);
        break;
    case VT_BSTR:
        *static_cast<CString*>(pvRet) =
            V_BSTR(&result) != NULL
                ? CString(V_BSTR(&result), static_cast<int>(::SysStringLen(V_BSTR(&result))))
                : CString();
        ::VariantClear(&result);
        break;
    case VT_DISPATCH:
        // The caller gets the reference the call gave.
        *static_cast<LPDISPATCH*>(pvRet) = V_DISPATCH(&result);
        break;
    case VT_UNKNOWN:
        *static_cast<LPUNKNOWN*>(pvRet) = V_UNKNOWN(&result);
        break;
    case VT_VARIANT:
        *static_cast<VARIANT*>(pvRet) = result;
        break;
    default:
        ::VariantClear(&result);
        AfxThrowOleException(DISP_E_BADVARTYPE);
    }
}

} // namespace

void Invoke(IDispatch* pDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
            const BYTE* pbParamInfo, const DispArg* pArgs, std::size_t nArgs)
{
    if (pDispatch == NULL)
        AfxThrowOleException(E_NOINTERFACE);
    // Every check comes before the call: a mismatch never reaches the object.
    const std::size_t nParams =
        pbParamInfo != NULL ? std::char_traits<char>::length(reinterpret_cast<const char*>(pbParamInfo)) : 0;
    if (nParams != nArgs)
        AfxThrowOleException(DISP_E_BADPARAMCOUNT);
    for (std::size_t i = 0; i < nArgs; ++i) {
        if (!KnownCode(pbParamInfo[i]))
            AfxThrowOleException(DISP_E_BADVARTYPE);
        if (!Fits(pbParamInfo[i], pArgs[i].kind))
            AfxThrowOleException(DISP_E_TYPEMISMATCH);
        if (pArgs[i].kind == ArgKind::Integer && !InRange(pbParamInfo[i], pArgs[i].asInteger))
            AfxThrowOleException(DISP_E_OVERFLOW);
    }
    if (vtRet != VT_EMPTY && pvRet == NULL)
        AfxThrowOleException(E_POINTER);

    // Dispatch arguments run right to left: the last argument comes first.
    ArgumentList list;
    list.values.resize(nArgs);
    list.codes.resize(nArgs, VT_EMPTY);
    for (std::size_t i = 0; i < nArgs; ++i) {
        Fill(list.values[nArgs - 1 - i], pbParamInfo[i], pArgs[i]);
        list.codes[nArgs - 1 - i] = pbParamInfo[i];
    }

    DISPPARAMS params = {};
    params.cArgs = static_cast<UINT>(nArgs);
    params.rgvarg = nArgs != 0 ? list.values.data() : NULL;
    DISPID dispidNamed = DISPID_PROPERTYPUT;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &dispidNamed;
    }

    VARIANT result;
    ::VariantInit(&result);
    EXCEPINFO info = {};
    UINT nArgErr = 0;
    const HRESULT hr = pDispatch->Invoke(dwDispID, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params,
                                         vtRet != VT_EMPTY ? &result : NULL, &info, &nArgErr);
    if (FAILED(hr)) {
        ::VariantClear(&result);
        if (hr == DISP_E_EXCEPTION)
            ThrowDispatchException(info);
        AfxThrowOleException(hr);
    }
    if (vtRet == VT_EMPTY)
        return;
    if (vtRet != VT_VARIANT && V_VT(&result) != vtRet) {
        const HRESULT hrChange = ::VariantChangeType(&result, &result, 0, vtRet);
        if (FAILED(hrChange)) {
            ::VariantClear(&result);
            AfxThrowOleException(hrChange);
        }
    }
    Store(result, vtRet, pvRet);
}

} // namespace afx_dispatch

// COleDispatchDriver.

COleDispatchDriver::COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease)
    : m_lpDispatch(lpDispatch), m_bAutoRelease(bAutoRelease)
{}

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& dispatchSrc)
    : m_lpDispatch(dispatchSrc.m_lpDispatch), m_bAutoRelease(TRUE)
{
    if (m_lpDispatch != NULL)
        m_lpDispatch->AddRef();
}

const COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& dispatchSrc)
{
    if (this != &dispatchSrc && m_lpDispatch != dispatchSrc.m_lpDispatch) {
        LPDISPATCH lpDispatch = dispatchSrc.m_lpDispatch;
        if (lpDispatch != NULL)
            lpDispatch->AddRef();
        AttachDispatch(lpDispatch, TRUE);
    }
    return *this;
}

const COleDispatchDriver& COleDispatchDriver::operator=(LPDISPATCH lpDispatch)
{
    if (lpDispatch != m_lpDispatch)
        AttachDispatch(lpDispatch, TRUE);
    return *this;
}

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid, COleException* pError)
{
    ReleaseDispatch();
    IUnknown* pUnknown = NULL;
    HRESULT hr = ::CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(&pUnknown));
    if (SUCCEEDED(hr)) {
        // A local server may still be starting.
        hr = ::OleRun(pUnknown);
        if (SUCCEEDED(hr))
            hr = pUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_lpDispatch));
        pUnknown->Release();
    }
    if (FAILED(hr)) {
        m_lpDispatch = NULL;
        if (pError != NULL)
            pError->m_sc = hr;
        return FALSE;
    }
    m_bAutoRelease = TRUE;
    return TRUE;
}

BOOL COleDispatchDriver::CreateDispatch(LPCTSTR lpszProgID, COleException* pError)
{
    CLSID clsid;
    const HRESULT hr = lpszProgID != NULL && lpszProgID[0] == L'{'
                           ? ::CLSIDFromString(const_cast<LPWSTR>(lpszProgID), &clsid)
                           : ::CLSIDFromProgID(lpszProgID != NULL ? lpszProgID : L"", &clsid);
    if (FAILED(hr)) {
        ReleaseDispatch();
        if (pError != NULL)
            pError->m_sc = hr;
        return FALSE;
    }
    return CreateDispatch(clsid, pError);
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease)
{
    ReleaseDispatch();
    m_lpDispatch = lpDispatch;
    m_bAutoRelease = bAutoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch()
{
    LPDISPATCH lpDispatch = m_lpDispatch;
    m_lpDispatch = NULL;
    return lpDispatch;
}

void COleDispatchDriver::ReleaseDispatch()
{
    LPDISPATCH lpDispatch = m_lpDispatch;
    m_lpDispatch = NULL;
    if (lpDispatch != NULL && m_bAutoRelease)
        lpDispatch->Release();
}
