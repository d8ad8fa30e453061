// COleCurrency: a 64-bit fixed-point amount in ten-thousandths with a validity status.
#pragma once

#include "afx.h"

class COleCurrency
{
public:
    enum CurrencyStatus
    {
        valid = 0,
        invalid = 1,
        null = 2
    };

    COleCurrency() : m_status(valid) { m_cur.int64 = 0; }
    COleCurrency(CURRENCY cySrc) : m_cur(cySrc), m_status(valid) {}
    COleCurrency(long nUnits, long nFractionalUnits);

    void SetCurrency(long nUnits, long nFractionalUnits);
    CurrencyStatus GetStatus() const { return m_status; }
    void SetStatus(CurrencyStatus status) { m_status = status; }

    // The system's number parsing for the locale (group separators allowed); a text that does not
    // parse makes the status invalid and the amount 0 and returns false.
    bool ParseCurrency(LPCTSTR lpszCurrency, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);
    // The locale's text for the amount (no currency sign, no grouping); an empty text for a null
    // amount and "Invalid Currency" for an invalid one.
    CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;

    bool operator==(const COleCurrency& cur) const
    {
        return m_status == cur.m_status && m_cur.int64 == cur.m_cur.int64;
    }
    bool operator!=(const COleCurrency& cur) const { return !(*this == cur); }
    COleCurrency operator+(const COleCurrency& cur) const;
    COleCurrency operator-(const COleCurrency& cur) const;
    operator CURRENCY() const { return m_cur; }

    CURRENCY m_cur;
    CurrencyStatus m_status;
};

// Archive form: the status as a LONG, then the low and the high 32-bit words.
CArchive& AFXAPI operator<<(CArchive& ar, COleCurrency curSrc);
CArchive& AFXAPI operator>>(CArchive& ar, COleCurrency& curSrc);
