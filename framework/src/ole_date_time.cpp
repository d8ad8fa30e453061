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
