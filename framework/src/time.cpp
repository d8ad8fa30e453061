#include <afx.h>

#include <cwchar>

namespace {

// 100-nanosecond intervals between 1601-01-01 (FILETIME) and 1970-01-01 (time_t).
constexpr ULONGLONG kFileTimeEpochOffset = 116444736000000000ULL;

// Copies the format, passing to wcsftime only the conversions it is known to accept; anything
// else is kept as it stands, so a format can never reach the runtime's invalid-parameter handler.
CString FormatTm(LPCWSTR pFormat, const struct tm& value)
{
    CString result;
    if (pFormat == NULL)
        return result;
    static const wchar_t kKnown[] = L"aAbBcdHIjmMpSUwWxXyYzZ%";
    for (const wchar_t* p = pFormat; *p != 0; ++p) {
        if (*p != L'%') {
            result += *p;
            continue;
        }
        const bool alternate = p[1] == L'#';
        const wchar_t conversion = alternate ? p[2] : p[1];
        if (conversion == 0 || std::wcschr(kKnown, conversion) == NULL) {
            result += *p;
            continue;
        }
        wchar_t spec[4] = {L'%', 0, 0, 0};
        if (alternate) {
            spec[1] = L'#';
            spec[2] = conversion;
        } else {
            spec[1] = conversion;
        }
        wchar_t buffer[128];
        const size_t length = std::wcsftime(buffer, _countof(buffer), spec, &value);
        result += CString(buffer, static_cast<int>(length));
        p += alternate ? 2 : 1;
    }
    return result;
}

} // namespace

CTimeSpan::CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
    : m_timeSpan(nSecs + 60 * (nMins + 60 * (nHours + 24LL * lDays)))
{}

CString CTimeSpan::Format(LPCWSTR pFormat) const
{
    CString result;
    if (pFormat == NULL)
        return result;
    for (const wchar_t* p = pFormat; *p != 0; ++p) {
        if (*p != L'%') {
            result += *p;
            continue;
        }
        CString part;
        switch (p[1]) {
        case L'D':
            part.Format(L"%lld", GetDays());
            break;
        case L'H':
            part.Format(L"%02ld", GetHours());
            break;
        case L'M':
            part.Format(L"%02ld", GetMinutes());
            break;
        case L'S':
            part.Format(L"%02ld", GetSeconds());
            break;
        case L'%':
            part = L"%";
            break;
        default:
            result += *p;
            continue;
        }
        result += part;
        ++p;
    }
    return result;
}

CTime PASCAL CTime::GetCurrentTime()
{
    return CTime(_time64(NULL));
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    struct tm value = {};
    value.tm_sec = nSec;
    value.tm_min = nMin;
    value.tm_hour = nHour;
    value.tm_mday = nDay;
    value.tm_mon = nMonth - 1;
    value.tm_year = nYear - 1900;
    value.tm_isdst = nDST;
    m_time = _mktime64(&value);
    if (m_time == -1)
        AfxThrowInvalidArgException();
}

CTime::CTime(const SYSTEMTIME& st, int nDST)
    : CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST)
{}

CTime::CTime(const FILETIME& ft, int)
{
    // A FILETIME is UTC; the time is kept in UTC as well.
    const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    if (ticks < kFileTimeEpochOffset)
        AfxThrowInvalidArgException();
    m_time = static_cast<__time64_t>((ticks - kFileTimeEpochOffset) / 10000000ULL);
}

bool CTime::GetLocalTm(struct tm* ptm) const
{
    return ptm != NULL && _localtime64_s(ptm, &m_time) == 0;
}

bool CTime::GetGmtTm(struct tm* ptm) const
{
    return ptm != NULL && _gmtime64_s(ptm, &m_time) == 0;
}

bool CTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    struct tm value = {};
    if (!GetLocalTm(&value))
        return false;
    st.wYear = static_cast<WORD>(value.tm_year + 1900);
    st.wMonth = static_cast<WORD>(value.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(value.tm_wday);
    st.wDay = static_cast<WORD>(value.tm_mday);
    st.wHour = static_cast<WORD>(value.tm_hour);
    st.wMinute = static_cast<WORD>(value.tm_min);
    st.wSecond = static_cast<WORD>(value.tm_sec);
    st.wMilliseconds = 0;
    return true;
}

namespace {

struct tm LocalOf(const CTime& time)
{
    struct tm value = {};
    time.GetLocalTm(&value);
    return value;
}

} // namespace

int CTime::GetYear() const
{
    return LocalOf(*this).tm_year + 1900;
}
int CTime::GetMonth() const
{
    return LocalOf(*this).tm_mon + 1;
}
int CTime::GetDay() const
{
    return LocalOf(*this).tm_mday;
}
int CTime::GetHour() const
{
    return LocalOf(*this).tm_hour;
}
int CTime::GetMinute() const
{
    return LocalOf(*this).tm_min;
}
int CTime::GetSecond() const
{
    return LocalOf(*this).tm_sec;
}
int CTime::GetDayOfWeek() const
{
    return LocalOf(*this).tm_wday + 1;
}

CString CTime::Format(LPCWSTR pFormat) const
{
    struct tm value = {};
    if (!GetLocalTm(&value))
        return CString();
    return FormatTm(pFormat, value);
}

CString CTime::FormatGmt(LPCWSTR pFormat) const
{
    struct tm value = {};
    if (!GetGmtTm(&value))
        return CString();
    return FormatTm(pFormat, value);
}

// Times are written as 64-bit seconds.
CArchive& AFXAPI operator<<(CArchive& ar, CTime time)
{
    return ar << static_cast<LONGLONG>(time.GetTime());
}

CArchive& AFXAPI operator>>(CArchive& ar, CTime& rtime)
{
    LONGLONG value = 0;
    ar >> value;
    rtime = CTime(static_cast<__time64_t>(value));
    return ar;
}

CArchive& AFXAPI operator<<(CArchive& ar, CTimeSpan span)
{
    return ar << static_cast<LONGLONG>(span.GetTimeSpan());
}

CArchive& AFXAPI operator>>(CArchive& ar, CTimeSpan& rspan)
{
    LONGLONG value = 0;
    ar >> value;
    rspan = CTimeSpan(static_cast<__time64_t>(value));
    return ar;
}
