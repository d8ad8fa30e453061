#include <afxdisp.h>

#include <cstring>

COleVariant::COleVariant()
{
    ::VariantInit(this);
}

COleVariant::COleVariant(const VARIANT& varSrc)
{
    ::VariantInit(this);
    *this = varSrc;
}

COleVariant::COleVariant(const COleVariant& varSrc) : tagVARIANT()
{
    ::VariantInit(this);
    *this = static_cast<const VARIANT&>(varSrc);
}

COleVariant::COleVariant(LPCWSTR lpszSrc)
{
    ::VariantInit(this);
    *this = lpszSrc;
}

COleVariant::COleVariant(const CString& strSrc)
{
    ::VariantInit(this);
    vt = VT_BSTR;
    bstrVal = strSrc.AllocSysString();
}

COleVariant::COleVariant(BYTE nSrc)
{
    ::VariantInit(this);
    vt = VT_UI1;
    bVal = nSrc;
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc)
{
    ::VariantInit(this);
    if (vtSrc == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        vt = VT_I2;
        iVal = nSrc;
    }
}

COleVariant::COleVariant(long lSrc, VARTYPE vtSrc)
{
    ::VariantInit(this);
    if (vtSrc == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (vtSrc == VT_ERROR) {
        vt = VT_ERROR;
        scode = lSrc;
    } else {
        vt = VT_I4;
        lVal = lSrc;
    }
}

COleVariant::COleVariant(float fltSrc)
{
    ::VariantInit(this);
    vt = VT_R4;
    fltVal = fltSrc;
}

COleVariant::COleVariant(double dblSrc)
{
    ::VariantInit(this);
    vt = VT_R8;
    dblVal = dblSrc;
}

COleVariant::COleVariant(const COleCurrency& curSrc)
{
    ::VariantInit(this);
    vt = VT_CY;
    cyVal = curSrc.m_cur;
}

COleVariant::COleVariant(const COleDateTime& timeSrc)
{
    ::VariantInit(this);
    vt = VT_DATE;
    date = timeSrc.m_dt;
}

COleVariant::~COleVariant()
{
    ::VariantClear(this);
}

void COleVariant::Clear()
{
    ::VariantClear(this);
}

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc)
{
    if (pSrc == NULL)
        pSrc = this;
    if (pSrc != this || vartype != vt) {
        const HRESULT hr = ::VariantChangeType(this, pSrc, 0, vartype);
        if (FAILED(hr))
            AfxThrowOleException(hr);
    }
}

void COleVariant::Attach(VARIANT& varSrc)
{
    ::VariantClear(this);
    static_cast<VARIANT&>(*this) = varSrc;
    varSrc.vt = VT_EMPTY;
}

VARIANT COleVariant::Detach()
{
    VARIANT varResult = *this;
    vt = VT_EMPTY;
    return varResult;
}

const COleVariant& COleVariant::operator=(const VARIANT& varSrc)
{
    if (static_cast<const VARIANT*>(this) != &varSrc) {
        const HRESULT hr = ::VariantCopy(this, const_cast<VARIANT*>(&varSrc));
        if (FAILED(hr))
            AfxThrowOleException(hr);
    }
    return *this;
}

const COleVariant& COleVariant::operator=(const COleVariant& varSrc)
{
    return *this = static_cast<const VARIANT&>(varSrc);
}

const COleVariant& COleVariant::operator=(LPCWSTR lpszSrc)
{
    ::VariantClear(this);
    vt = VT_BSTR;
    bstrVal = ::SysAllocString(lpszSrc != NULL ? lpszSrc : L"");
    if (bstrVal == NULL) {
        vt = VT_EMPTY;
        AfxThrowMemoryException();
    }
    return *this;
}

const COleVariant& COleVariant::operator=(long lSrc)
{
    ::VariantClear(this);
    vt = VT_I4;
    lVal = lSrc;
    return *this;
}

const COleVariant& COleVariant::operator=(double dblSrc)
{
    ::VariantClear(this);
    vt = VT_R8;
    dblVal = dblSrc;
    return *this;
}

BOOL COleVariant::operator==(const VARIANT& varSrc) const
{
    if (this == &varSrc)
        return TRUE;
    if (vt != varSrc.vt)
        return FALSE;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        return TRUE;
    case VT_BOOL:
        return boolVal == varSrc.boolVal;
    case VT_UI1:
        return bVal == varSrc.bVal;
    case VT_I2:
        return iVal == varSrc.iVal;
    case VT_I4:
        return lVal == varSrc.lVal;
    case VT_ERROR:
        return scode == varSrc.scode;
    case VT_R4:
        return fltVal == varSrc.fltVal;
    case VT_R8:
        return dblVal == varSrc.dblVal;
    case VT_DATE:
        return date == varSrc.date;
    case VT_CY:
        return cyVal.int64 == varSrc.cyVal.int64;
    case VT_BSTR:
        return ::SysStringByteLen(bstrVal) == ::SysStringByteLen(varSrc.bstrVal) &&
               std::memcmp(bstrVal, varSrc.bstrVal, ::SysStringByteLen(bstrVal)) == 0;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return punkVal == varSrc.punkVal;
    default:
        return FALSE;
    }
}

CArchive& AFXAPI operator<<(CArchive& ar, const COleVariant& varSrc)
{
    const VARTYPE type = varSrc.vt;
    switch (type) {
    case VT_EMPTY:
    case VT_NULL:
        ar << static_cast<WORD>(type);
        break;
    case VT_BOOL:
        ar << static_cast<WORD>(type) << static_cast<WORD>(varSrc.boolVal);
        break;
    case VT_UI1:
        ar << static_cast<WORD>(type) << varSrc.bVal;
        break;
    case VT_I2:
        ar << static_cast<WORD>(type) << static_cast<WORD>(varSrc.iVal);
        break;
    case VT_I4:
        ar << static_cast<WORD>(type) << static_cast<LONG>(varSrc.lVal);
        break;
    case VT_ERROR:
        ar << static_cast<WORD>(type) << static_cast<LONG>(varSrc.scode);
        break;
    case VT_R4:
        ar << static_cast<WORD>(type) << varSrc.fltVal;
        break;
    case VT_R8:
        ar << static_cast<WORD>(type) << varSrc.dblVal;
        break;
    case VT_DATE:
        ar << static_cast<WORD>(type) << varSrc.date;
        break;
    case VT_CY:
        ar << static_cast<WORD>(type) << static_cast<DWORD>(varSrc.cyVal.Lo)
           << static_cast<LONG>(varSrc.cyVal.Hi);
        break;
    case VT_BSTR:
        ar << static_cast<WORD>(type)
           << CString(varSrc.bstrVal, static_cast<int>(::SysStringLen(varSrc.bstrVal)));
        break;
    default:
        AfxThrowNotSupportedException();
    }
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, COleVariant& varSrc)
{
    WORD type = 0;
    ar >> type;
    COleVariant value;
    switch (type) {
    case VT_EMPTY:
    case VT_NULL:
        value.vt = type;
        break;
    case VT_BOOL: {
        WORD raw = 0;
        ar >> raw;
        value.vt = VT_BOOL;
        value.boolVal = static_cast<VARIANT_BOOL>(raw);
        break;
    }
    case VT_UI1:
        ar >> value.bVal;
        value.vt = VT_UI1;
        break;
    case VT_I2: {
        WORD raw = 0;
        ar >> raw;
        value.vt = VT_I2;
        value.iVal = static_cast<SHORT>(raw);
        break;
    }
    case VT_I4:
    case VT_ERROR: {
        LONG raw = 0;
        ar >> raw;
        value.vt = type;
        value.lVal = raw;
        break;
    }
    case VT_R4:
        ar >> value.fltVal;
        value.vt = VT_R4;
        break;
    case VT_R8:
    case VT_DATE:
        ar >> value.dblVal;
        value.vt = type;
        break;
    case VT_CY: {
        DWORD low = 0;
        LONG high = 0;
        ar >> low >> high;
        value.vt = VT_CY;
        value.cyVal.Lo = low;
        value.cyVal.Hi = high;
        break;
    }
    case VT_BSTR: {
        CString text;
        ar >> text;
        value = COleVariant(text);
        break;
    }
    default:
        AfxThrowArchiveException(CArchiveException::badSchema);
    }
    ::VariantClear(&varSrc);
    varSrc.Attach(value);
    return ar;
}
