// COleVariant: a VARIANT that owns its contents.
#pragma once

#include "afx.h"

class COleCurrency;
class COleDateTime;

class COleVariant : public tagVARIANT
{
public:
    COleVariant();
    COleVariant(const VARIANT& varSrc);
    COleVariant(const COleVariant& varSrc);
    COleVariant(LPCWSTR lpszSrc);
    COleVariant(const CString& strSrc);
    COleVariant(BYTE nSrc);
    COleVariant(short nSrc, VARTYPE vtSrc = VT_I2); // VT_I2 or VT_BOOL
    COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);  // VT_I4, VT_ERROR or VT_BOOL
    COleVariant(float fltSrc);
    COleVariant(double dblSrc);
    COleVariant(const COleCurrency& curSrc);
    COleVariant(const COleDateTime& timeSrc);
    ~COleVariant();

    void Clear();
    void ChangeType(VARTYPE vartype, LPVARIANT pSrc = NULL); // throws COleException on failure
    void Attach(VARIANT& varSrc);
    VARIANT Detach();

    const COleVariant& operator=(const VARIANT& varSrc);
    const COleVariant& operator=(const COleVariant& varSrc);
    const COleVariant& operator=(LPCWSTR lpszSrc);
    const COleVariant& operator=(long lSrc);
    const COleVariant& operator=(double dblSrc);

    BOOL operator==(const VARIANT& varSrc) const;
    BOOL operator!=(const VARIANT& varSrc) const { return !(*this == varSrc); }

    operator LPVARIANT() { return this; }
    operator const VARIANT*() const { return this; }
};

// Archive form: the VARTYPE, then the value (strings as a CString; other types by value).
// Other types have no archive form: storing them throws CNotSupportedException, and a stream that
// names one throws CArchiveException::badSchema.
CArchive& AFXAPI operator<<(CArchive& ar, const COleVariant& varSrc);
CArchive& AFXAPI operator>>(CArchive& ar, COleVariant& varSrc);
