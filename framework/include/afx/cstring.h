// CString: a UTF-16 string with value semantics and the framework's API.
#pragma once

#include <concepts>
#include <string>

#include "afx/base_types.h"
#include "afx/diagnostics.h"
#include "afx/format_args.h"

class CString
{
public:
    CString() = default;
    CString(const CString& other) = default;
    CString(CString&& other) noexcept = default;
    // A pointer whose high bits are 0 (MAKEINTRESOURCE) loads that string resource.
    CString(LPCWSTR lpsz);
    CString(LPCSTR lpsz);
    CString(const unsigned char* lpsz) : CString(reinterpret_cast<LPCSTR>(lpsz)) {}
    CString(LPCWSTR lpch, int nLength);
    CString(LPCSTR lpch, int nLength);
    CString(wchar_t ch, int nRepeat = 1);

    CString& operator=(const CString& other) = default;
    CString& operator=(CString&& other) noexcept = default;
    CString& operator=(LPCWSTR lpsz);
    CString& operator=(LPCSTR lpsz);
    CString& operator=(wchar_t ch);

    CString& operator+=(const CString& other);
    CString& operator+=(LPCWSTR lpsz);
    CString& operator+=(LPCSTR lpsz);
    CString& operator+=(wchar_t ch);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    LPCWSTR GetString() const { return m_str.c_str(); }
    operator LPCWSTR() const { return m_str.c_str(); }

    wchar_t GetAt(int nIndex) const;
    void SetAt(int nIndex, wchar_t ch);
    template <std::integral Index> wchar_t operator[](Index nIndex) const
    {
        return GetAt(static_cast<int>(nIndex));
    }

    int Compare(LPCWSTR lpsz) const;
    // Ordinal comparison after upper-casing by the system's table, so non-ASCII letters fold too.
    int CompareNoCase(LPCWSTR lpsz) const;
    int Collate(LPCWSTR lpsz) const;
    int CollateNoCase(LPCWSTR lpsz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCWSTR lpszCharSet) const;
    CString SpanExcluding(LPCWSTR lpszCharSet) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    int Replace(wchar_t chOld, wchar_t chNew);
    int Replace(LPCWSTR lpszOld, LPCWSTR lpszNew);
    int Remove(wchar_t chRemove);
    int Insert(int nIndex, wchar_t ch);
    int Insert(int nIndex, LPCWSTR psz);
    int Delete(int nIndex, int nCount = 1);

    CString& TrimLeft();
    CString& TrimLeft(wchar_t chTarget);
    CString& TrimLeft(LPCWSTR lpszTargets);
    CString& TrimRight();
    CString& TrimRight(wchar_t chTarget);
    CString& TrimRight(LPCWSTR lpszTargets);
    CString& Trim() { return TrimRight().TrimLeft(); }
    CString& Trim(wchar_t chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
    CString& Trim(LPCWSTR lpszTargets) { return TrimRight(lpszTargets).TrimLeft(lpszTargets); }

    int Find(wchar_t ch) const { return Find(ch, 0); }
    int Find(wchar_t ch, int nStart) const;
    int Find(LPCWSTR lpszSub) const { return Find(lpszSub, 0); }
    int Find(LPCWSTR lpszSub, int nStart) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(LPCWSTR lpszCharSet) const;
    CString Tokenize(LPCWSTR pszTokens, int& iStart) const;

    // Formats with the arguments given and no others; see afx/format_args.h.
    template <class... Args> void Format(LPCWSTR lpszFormat, const Args&... args)
    {
        m_str.clear();
        AppendFormat(lpszFormat, args...);
    }
    // The format is the string resource nFormatID.
    template <class... Args> BOOL Format(UINT nFormatID, const Args&... args)
    {
        CString format;
        if (!format.LoadString(nFormatID))
            return FALSE;
        Format(format.GetString(), args...);
        return TRUE;
    }
    template <class... Args> void AppendFormat(LPCWSTR lpszFormat, const Args&... args)
    {
        if constexpr (sizeof...(Args) == 0) {
            afx_format::FormatTyped(m_str, lpszFormat, nullptr, 0);
        } else {
            const afx_format::FormatArg typed[] = {afx_format::MakeFormatArg(args)...};
            afx_format::FormatTyped(m_str, lpszFormat, typed, sizeof...(Args));
        }
    }
    // For functions that forward their own variable arguments: a va_list does not say how many
    // arguments it holds, so the format passed here must come from the program, never from data.
    void FormatV(LPCWSTR lpszFormat, va_list argList);

    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

    // The buffer holds at least nMinBufLength characters plus a terminator until ReleaseBuffer.
    LPWSTR GetBuffer(int nMinBufLength);
    LPWSTR GetBuffer() { return GetBuffer(GetLength()); }
    LPWSTR GetBufferSetLength(int nNewLength);
    // A length of -1 takes the text up to the first zero character.
    void ReleaseBuffer(int nNewLength = -1);
    void FreeExtra() { m_str.shrink_to_fit(); }
    void Preallocate(int nLength);
    LPWSTR LockBuffer() { return m_str.data(); }
    void UnlockBuffer() {}

    BSTR AllocSysString() const;
    BSTR SetSysString(BSTR* pbstr) const;

    const std::wstring& StdString() const { return m_str; }

private:
    std::wstring m_str;
};

CString AFXAPI operator+(const CString& string1, const CString& string2);
CString AFXAPI operator+(const CString& string, LPCWSTR lpsz);
CString AFXAPI operator+(LPCWSTR lpsz, const CString& string);
CString AFXAPI operator+(const CString& string, wchar_t ch);
CString AFXAPI operator+(wchar_t ch, const CString& string);

inline bool operator==(const CString& s1, const CString& s2)
{
    return s1.StdString() == s2.StdString();
}
inline bool operator==(const CString& s1, LPCWSTR s2)
{
    return s1.Compare(s2) == 0;
}
inline bool operator==(LPCWSTR s1, const CString& s2)
{
    return s2.Compare(s1) == 0;
}
inline bool operator!=(const CString& s1, const CString& s2)
{
    return !(s1 == s2);
}
inline bool operator!=(const CString& s1, LPCWSTR s2)
{
    return !(s1 == s2);
}
inline bool operator!=(LPCWSTR s1, const CString& s2)
{
    return !(s1 == s2);
}
inline bool operator<(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) < 0;
}
inline bool operator<(const CString& s1, LPCWSTR s2)
{
    return s1.Compare(s2) < 0;
}
inline bool operator<(LPCWSTR s1, const CString& s2)
{
    return s2.Compare(s1) > 0;
}
inline bool operator>(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) > 0;
}
inline bool operator>(const CString& s1, LPCWSTR s2)
{
    return s1.Compare(s2) > 0;
}
inline bool operator>(LPCWSTR s1, const CString& s2)
{
    return s2.Compare(s1) < 0;
}
inline bool operator<=(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) <= 0;
}
inline bool operator<=(const CString& s1, LPCWSTR s2)
{
    return s1.Compare(s2) <= 0;
}
inline bool operator<=(LPCWSTR s1, const CString& s2)
{
    return s2.Compare(s1) >= 0;
}
inline bool operator>=(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) >= 0;
}
inline bool operator>=(const CString& s1, LPCWSTR s2)
{
    return s1.Compare(s2) >= 0;
}
inline bool operator>=(LPCWSTR s1, const CString& s2)
{
    return s2.Compare(s1) <= 0;
}

// Debug output with the same argument rules as CString::Format.
template <class... Args> void AfxTrace(LPCWSTR lpszFormat, const Args&... args)
{
    CString text;
    text.Format(lpszFormat, args...);
    AfxOutputDebugString(text);
}

// Replaces "%1" (and "%2") in the string resource with the given texts; no other conversions.
void AFXAPI AfxFormatString1(CString& rString, UINT nIDS, LPCWSTR lpsz1);
void AFXAPI AfxFormatString2(CString& rString, UINT nIDS, LPCWSTR lpsz1, LPCWSTR lpsz2);
void AFXAPI AfxFormatStrings(CString& rString, LPCWSTR lpszFormat, LPCWSTR const* rglpsz, int nString);
