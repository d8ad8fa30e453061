// COleDateTime: an automation date (days since 30 December 1899 as a double) with a validity status.
#pragma once

#include "afx.h"

class COleDateTime
{
public:
    enum DateTimeStatus
    {
        valid = 0,
        invalid = 1,
        null = 2
    };

    static COleDateTime PASCAL GetCurrentTime();

    COleDateTime() : m_dt(0), m_status(valid) {}
    COleDateTime(DATE dtSrc) : m_dt(dtSrc), m_status(valid) {}
    COleDateTime(const SYSTEMTIME& systimeSrc);
    COleDateTime(const FILETIME& filetimeSrc);
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    // Sets the date; an impossible date makes the status invalid. Returns 0 on success.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    bool GetAsSystemTime(SYSTEMTIME& sysTime) const;

    // The system's date parsing for the locale (VAR_DATEVALUEONLY, VAR_TIMEVALUEONLY, ...); a text
    // that does not parse makes the status invalid and the date 0 and returns false.
    bool ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);
    // The locale's text for the date (the system's conversion with these flags); an empty text for
    // a null date and "Invalid DateTime" for an invalid one.
    CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;
    // strftime conversions (%a %A %b %B %c %d %H %I %j %m %M %p %S %w %x %X %y %Y %%) in the user's
    // locale; any other conversion is copied as it stands.
    CString Format(LPCTSTR lpszFormat) const;

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 = Sunday

    bool operator==(const COleDateTime& date) const { return m_status == date.m_status && m_dt == date.m_dt; }
    bool operator!=(const COleDateTime& date) const { return !(*this == date); }
    operator DATE() const { return m_dt; }

    DATE m_dt;
    DateTimeStatus m_status;
};

// Archive form: the status as a LONG, then the date as a double.
CArchive& AFXAPI operator<<(CArchive& ar, COleDateTime dateSrc);
CArchive& AFXAPI operator>>(CArchive& ar, COleDateTime& dateSrc);
