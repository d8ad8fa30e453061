// CTime (seconds since 1970 in UTC, shown in local time) and CTimeSpan.
#pragma once

#include <ctime>

#include "afx/cstring.h"

class CArchive;

class CTimeSpan
{
public:
    CTimeSpan() : m_timeSpan(0) {}
    CTimeSpan(__time64_t time) : m_timeSpan(time) {}
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs);

    LONGLONG GetDays() const { return m_timeSpan / (24 * 3600); }
    LONGLONG GetTotalHours() const { return m_timeSpan / 3600; }
    LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    LONGLONG GetTotalMinutes() const { return m_timeSpan / 60; }
    LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONGLONG GetTotalSeconds() const { return m_timeSpan; }
    LONG GetSeconds() const { return static_cast<LONG>(m_timeSpan - GetTotalMinutes() * 60); }
    __time64_t GetTimeSpan() const { return m_timeSpan; }

    CTimeSpan operator+(CTimeSpan span) const { return CTimeSpan(m_timeSpan + span.m_timeSpan); }
    CTimeSpan operator-(CTimeSpan span) const { return CTimeSpan(m_timeSpan - span.m_timeSpan); }
    CTimeSpan& operator+=(CTimeSpan span)
    {
        m_timeSpan += span.m_timeSpan;
        return *this;
    }
    CTimeSpan& operator-=(CTimeSpan span)
    {
        m_timeSpan -= span.m_timeSpan;
        return *this;
    }
    bool operator==(CTimeSpan span) const { return m_timeSpan == span.m_timeSpan; }
    auto operator<=>(CTimeSpan span) const { return m_timeSpan <=> span.m_timeSpan; }

    // %D days, %H hours, %M minutes, %S seconds, %% a percent sign; anything else as it stands.
    CString Format(LPCWSTR pFormat) const;

private:
    __time64_t m_timeSpan;
};

class CTime
{
public:
    static CTime PASCAL GetCurrentTime();

    CTime() : m_time(0) {}
    CTime(__time64_t time) : m_time(time) {}
    // Local time; nDST < 0 lets the system decide whether daylight saving applies.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    CTime(const SYSTEMTIME& st, int nDST = -1);
    CTime(const FILETIME& ft, int nDST = -1);

    __time64_t GetTime() const { return m_time; }
    // Local broken-down time; FALSE for a time the runtime cannot convert.
    bool GetLocalTm(struct tm* ptm) const;
    bool GetGmtTm(struct tm* ptm) const;
    bool GetAsSystemTime(SYSTEMTIME& st) const;

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 = Sunday

    // strftime conversions; a conversion the runtime does not know is copied as it stands.
    CString Format(LPCWSTR pFormat) const;
    CString FormatGmt(LPCWSTR pFormat) const;

    CTimeSpan operator-(CTime time) const { return CTimeSpan(m_time - time.m_time); }
    CTime operator-(CTimeSpan span) const { return CTime(m_time - span.GetTimeSpan()); }
    CTime operator+(CTimeSpan span) const { return CTime(m_time + span.GetTimeSpan()); }
    CTime& operator+=(CTimeSpan span)
    {
        m_time += span.GetTimeSpan();
        return *this;
    }
    CTime& operator-=(CTimeSpan span)
    {
        m_time -= span.GetTimeSpan();
        return *this;
    }
    bool operator==(CTime time) const { return m_time == time.m_time; }
    auto operator<=>(CTime time) const { return m_time <=> time.m_time; }

private:
    __time64_t m_time;
};

CArchive& AFXAPI operator<<(CArchive& ar, CTime time);
CArchive& AFXAPI operator>>(CArchive& ar, CTime& rtime);
CArchive& AFXAPI operator<<(CArchive& ar, CTimeSpan span);
CArchive& AFXAPI operator>>(CArchive& ar, CTimeSpan& rspan);
