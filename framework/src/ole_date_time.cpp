#include <afxdisp.h>

namespace {

bool ToSystemTime(DATE date, SYSTEMTIME& st)
{
    return ::VariantTimeToSystemTime(date, &st) != FALSE;
}

} // namespace

COleDateTime PASCAL COleDateTime::GetCurrentTime()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    now.wMilliseconds = 0;
    return COleDateTime(now);
}

COleDateTime::COleDateTime(const SYSTEMTIME& systimeSrc) : m_dt(0), m_status(valid)
{
    if (!::SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&systimeSrc), &m_dt))
        m_status = invalid;
}

COleDateTime::COleDateTime(const FILETIME& filetimeSrc) : m_dt(0), m_status(valid)
{
    FILETIME local;
    SYSTEMTIME st;
    if (!::FileTimeToLocalFileTime(&filetimeSrc, &local) || !::FileTimeToSystemTime(&local, &st) ||
        !::SystemTimeToVariantTime(&st, &m_dt))
        m_status = invalid;
}

COleDateTime::COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
    : m_dt(0), m_status(valid)
{
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
}

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    SYSTEMTIME st = {};
    if (nYear < 100 || nYear > 9999 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nHour < 0 ||
        nHour > 23 || nMin < 0 || nMin > 59 || nSec < 0 || nSec > 59) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    st.wYear = static_cast<WORD>(nYear);
    st.wMonth = static_cast<WORD>(nMonth);
    st.wDay = static_cast<WORD>(nDay);
    st.wHour = static_cast<WORD>(nHour);
    st.wMinute = static_cast<WORD>(nMin);
    st.wSecond = static_cast<WORD>(nSec);
    // The system accepts 31 February and moves on; a date must read back as it was given.
    SYSTEMTIME check = {};
    if (!::SystemTimeToVariantTime(&st, &m_dt) || !ToSystemTime(m_dt, check) || check.wDay != st.wDay ||
        check.wMonth != st.wMonth) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    m_status = valid;
    return 0;
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& sysTime) const
{
    return m_status == valid && ToSystemTime(m_dt, sysTime);
}

namespace {

SYSTEMTIME PartsOf(const COleDateTime& date)
{
    SYSTEMTIME st = {};
    date.GetAsSystemTime(st);
    return st;
}

} // namespace

int COleDateTime::GetYear() const
{
    return PartsOf(*this).wYear;
}
int COleDateTime::GetMonth() const
{
    return PartsOf(*this).wMonth;
}
int COleDateTime::GetDay() const
{
    return PartsOf(*this).wDay;
}
int COleDateTime::GetHour() const
{
    return PartsOf(*this).wHour;
}
int COleDateTime::GetMinute() const
{
    return PartsOf(*this).wMinute;
}
int COleDateTime::GetSecond() const
{
    return PartsOf(*this).wSecond;
}
int COleDateTime::GetDayOfWeek() const
{
    return PartsOf(*this).wDayOfWeek + 1;
}

CArchive& AFXAPI operator<<(CArchive& ar, COleDateTime dateSrc)
{
    return ar << static_cast<LONG>(dateSrc.m_status) << dateSrc.m_dt;
}

CArchive& AFXAPI operator>>(CArchive& ar, COleDateTime& dateSrc)
{
    LONG status = 0;
    ar >> status >> dateSrc.m_dt;
    dateSrc.m_status = (status >= COleDateTime::valid && status <= COleDateTime::null)
                           ? static_cast<COleDateTime::DateTimeStatus>(status)
                           : COleDateTime::invalid;
    return ar;
}

bool COleDateTime::ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags, LCID lcid)
{
    DATE date = 0;
    if (lpszDate == NULL || FAILED(::VarDateFromStr(const_cast<LPOLESTR>(lpszDate), lcid, dwFlags, &date))) {
        m_dt = 0;
        m_status = invalid;
        return false;
    }
    m_dt = date;
    m_status = valid;
    return true;
}

CString COleDateTime::Format(DWORD dwFlags, LCID lcid) const
{
    if (m_status == null)
        return CString();
    if (m_status != valid)
        return CString(L"Invalid DateTime");
    BSTR bstr = NULL;
    if (FAILED(::VarBstrFromDate(m_dt, lcid, dwFlags, &bstr)))
        return CString();
    CString text(bstr, static_cast<int>(::SysStringLen(bstr)));
    ::SysFreeString(bstr);
    return text;
}

namespace {

CString LocaleText(LCTYPE type)
{
    wchar_t buffer[80] = {};
    ::GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer, _countof(buffer));
    return CString(buffer);
}

CString DateText(const SYSTEMTIME& st, DWORD dwFlags)
{
    wchar_t buffer[128] = {};
    ::GetDateFormat(LOCALE_USER_DEFAULT, dwFlags, &st, NULL, buffer, _countof(buffer));
    return CString(buffer);
}

CString TimeText(const SYSTEMTIME& st)
{
    wchar_t buffer[128] = {};
    ::GetTimeFormat(LOCALE_USER_DEFAULT, 0, &st, NULL, buffer, _countof(buffer));
    return CString(buffer);
}

CString Number(int nValue, int nDigits)
{
    CString text;
    text.Format(L"%0*d", nDigits, nValue);
    return text;
}

} // namespace

CString COleDateTime::Format(LPCTSTR lpszFormat) const
{
    if (m_status == null)
        return CString();
    SYSTEMTIME st = {};
    if (m_status != valid || !GetAsSystemTime(st))
        return CString(L"Invalid DateTime");
    if (lpszFormat == NULL)
        return CString();
    const int nDayOfWeek = st.wDayOfWeek; // 0 = Sunday
    // The locale's day names start at Monday.
    const int nLocaleDay = (nDayOfWeek + 6) % 7;
    CString text;
    for (const wchar_t* p = lpszFormat; *p != 0; ++p) {
        if (*p != L'%' || p[1] == 0) {
            text += *p;
            continue;
        }
        const wchar_t c = *++p;
        switch (c) {
        case L'a':
            text += LocaleText(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + nLocaleDay));
            break;
        case L'A':
            text += LocaleText(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + nLocaleDay));
            break;
        case L'b':
            text += LocaleText(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + st.wMonth - 1));
            break;
        case L'B':
            text += LocaleText(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + st.wMonth - 1));
            break;
        case L'c':
            text += DateText(st, DATE_SHORTDATE) + L" " + TimeText(st);
            break;
        case L'd':
            text += Number(st.wDay, 2);
            break;
        case L'H':
            text += Number(st.wHour, 2);
            break;
        case L'I':
            text += Number(st.wHour % 12 == 0 ? 12 : st.wHour % 12, 2);
            break;
        case L'j': {
            SYSTEMTIME first = st;
            first.wMonth = 1;
            first.wDay = 1;
            first.wHour = first.wMinute = first.wSecond = 0;
            const COleDateTime start(first);
            text += Number(static_cast<int>(m_dt - start.m_dt) + 1, 3);
            break;
        }
        case L'm':
            text += Number(st.wMonth, 2);
            break;
        case L'M':
            text += Number(st.wMinute, 2);
            break;
        case L'p':
            text += LocaleText(st.wHour < 12 ? LOCALE_S1159 : LOCALE_S2359);
            break;
        case L'S':
            text += Number(st.wSecond, 2);
            break;
        case L'w':
            text += Number(nDayOfWeek, 1);
            break;
        case L'x':
            text += DateText(st, DATE_SHORTDATE);
            break;
        case L'X':
            text += TimeText(st);
            break;
        case L'y':
            text += Number(st.wYear % 100, 2);
            break;
        case L'Y':
            text += Number(st.wYear, 4);
            break;
        case L'%':
            text += L'%';
            break;
        default:
            // Unknown conversions stay as written.
            text += L'%';
            text += c;
            break;
        }
    }
    return text;
}
