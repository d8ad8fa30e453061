#include <afxdisp.h>

COleCurrency::COleCurrency(long nUnits, long nFractionalUnits)
{
    SetCurrency(nUnits, nFractionalUnits);
}

void COleCurrency::SetCurrency(long nUnits, long nFractionalUnits)
{
    // Ten thousandths: 1 unit is 10000.
    m_cur.int64 = static_cast<LONGLONG>(nUnits) * 10000 + nFractionalUnits;
    m_status = valid;
}

COleCurrency COleCurrency::operator+(const COleCurrency& cur) const
{
    COleCurrency result;
    if (m_status != valid || cur.m_status != valid) {
        result.m_status = m_status != valid ? m_status : cur.m_status;
        return result;
    }
    if (__builtin_add_overflow(m_cur.int64, cur.m_cur.int64, &result.m_cur.int64))
        result.m_status = invalid;
    return result;
}

COleCurrency COleCurrency::operator-(const COleCurrency& cur) const
{
    COleCurrency result;
    if (m_status != valid || cur.m_status != valid) {
        result.m_status = m_status != valid ? m_status : cur.m_status;
        return result;
    }
    if (__builtin_sub_overflow(m_cur.int64, cur.m_cur.int64, &result.m_cur.int64))
        result.m_status = invalid;
    return result;
}

CArchive& AFXAPI operator<<(CArchive& ar, COleCurrency curSrc)
{
    ar << static_cast<LONG>(curSrc.m_status);
    ar << static_cast<DWORD>(curSrc.m_cur.Lo) << static_cast<LONG>(curSrc.m_cur.Hi);
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, COleCurrency& curSrc)
{
    LONG status = 0;
    DWORD low = 0;
    LONG high = 0;
    ar >> status >> low >> high;
    curSrc.m_status = (status >= COleCurrency::valid && status <= COleCurrency::null)
                          ? static_cast<COleCurrency::CurrencyStatus>(status)
                          : COleCurrency::invalid;
    curSrc.m_cur.Lo = low;
    curSrc.m_cur.Hi = high;
    return ar;
}

bool COleCurrency::ParseCurrency(LPCTSTR lpszCurrency, DWORD dwFlags, LCID lcid)
{
    CY cy = {};
    if (lpszCurrency == NULL ||
        FAILED(::VarCyFromStr(const_cast<LPOLESTR>(lpszCurrency), lcid, dwFlags, &cy))) {
        m_cur.int64 = 0;
        m_status = invalid;
        return false;
    }
    m_cur = cy;
    m_status = valid;
    return true;
}

CString COleCurrency::Format(DWORD dwFlags, LCID lcid) const
{
    if (m_status == null)
        return CString();
    if (m_status != valid)
        return CString(L"Invalid Currency");
    BSTR bstr = NULL;
    if (FAILED(::VarBstrFromCy(m_cur, lcid, dwFlags, &bstr)))
        return CString();
    CString text(bstr, static_cast<int>(::SysStringLen(bstr)));
    ::SysFreeString(bstr);
    return text;
}
