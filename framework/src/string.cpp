#include <afx.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

std::wstring WidenAnsi(LPCSTR lpch, int nLength)
{
    std::wstring result;
    if (lpch == NULL || nLength <= 0)
        return result;
    const int nWide = ::MultiByteToWideChar(CP_ACP, 0, lpch, nLength, NULL, 0);
    if (nWide <= 0)
        return result;
    result.resize(static_cast<size_t>(nWide));
    ::MultiByteToWideChar(CP_ACP, 0, lpch, nLength, result.data(), nWide);
    return result;
}

bool IsResourceId(LPCWSTR lpsz)
{
    return lpsz != NULL && IS_INTRESOURCE(lpsz);
}

int ClampIndex(int nIndex, int nLength)
{
    return std::clamp(nIndex, 0, nLength);
}

bool InSet(wchar_t ch, LPCWSTR lpszSet)
{
    return lpszSet != NULL && ch != 0 && std::wcschr(lpszSet, ch) != NULL;
}

} // namespace

CString::CString(LPCWSTR lpsz)
{
    if (IsResourceId(lpsz))
        LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpsz)));
    else if (lpsz != NULL)
        m_str = lpsz;
}

CString::CString(LPCSTR lpsz)
{
    if (lpsz != NULL && IS_INTRESOURCE(lpsz))
        LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpsz)));
    else if (lpsz != NULL)
        m_str = WidenAnsi(lpsz, static_cast<int>(std::strlen(lpsz)));
}

CString::CString(LPCWSTR lpch, int nLength)
{
    if (lpch != NULL && nLength > 0)
        m_str.assign(lpch, static_cast<size_t>(nLength));
}

CString::CString(LPCSTR lpch, int nLength) : m_str(WidenAnsi(lpch, nLength)) {}

CString::CString(wchar_t ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign(static_cast<size_t>(nRepeat), ch);
}

CString& CString::operator=(LPCWSTR lpsz)
{
    *this = CString(lpsz);
    return *this;
}

CString& CString::operator=(LPCSTR lpsz)
{
    *this = CString(lpsz);
    return *this;
}

CString& CString::operator=(wchar_t ch)
{
    m_str.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    m_str += other.m_str;
    return *this;
}

CString& CString::operator+=(LPCWSTR lpsz)
{
    if (lpsz != NULL)
        m_str += lpsz;
    return *this;
}

CString& CString::operator+=(LPCSTR lpsz)
{
    return *this += CString(lpsz);
}

CString& CString::operator+=(wchar_t ch)
{
    m_str += ch;
    return *this;
}

wchar_t CString::GetAt(int nIndex) const
{
    ASSERT(nIndex >= 0 && nIndex <= GetLength());
    if (nIndex < 0 || nIndex >= GetLength())
        return 0;
    return m_str[static_cast<size_t>(nIndex)];
}

void CString::SetAt(int nIndex, wchar_t ch)
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex >= 0 && nIndex < GetLength())
        m_str[static_cast<size_t>(nIndex)] = ch;
}

int CString::Compare(LPCWSTR lpsz) const
{
    const int result = std::wcscmp(m_str.c_str(), lpsz != NULL ? lpsz : L"");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int CString::CompareNoCase(LPCWSTR lpsz) const
{
    const wchar_t* other = lpsz != NULL ? lpsz : L"";
    const int result = ::CompareStringOrdinal(m_str.c_str(), -1, other, -1, TRUE);
    if (result == CSTR_LESS_THAN)
        return -1;
    if (result == CSTR_GREATER_THAN)
        return 1;
    if (result == CSTR_EQUAL)
        return 0;
    return _wcsicmp(m_str.c_str(), other);
}

int CString::Collate(LPCWSTR lpsz) const
{
    return std::wcscoll(m_str.c_str(), lpsz != NULL ? lpsz : L"");
}

int CString::CollateNoCase(LPCWSTR lpsz) const
{
    return _wcsicoll(m_str.c_str(), lpsz != NULL ? lpsz : L"");
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    const int first = ClampIndex(nFirst, GetLength());
    const int count = std::clamp(nCount, 0, GetLength() - first);
    return CString(m_str.data() + first, count);
}

CString CString::Left(int nCount) const
{
    return CString(m_str.data(), ClampIndex(nCount, GetLength()));
}

CString CString::Right(int nCount) const
{
    const int count = ClampIndex(nCount, GetLength());
    return CString(m_str.data() + (GetLength() - count), count);
}

CString CString::SpanIncluding(LPCWSTR lpszCharSet) const
{
    return Left(static_cast<int>(std::wcsspn(m_str.c_str(), lpszCharSet != NULL ? lpszCharSet : L"")));
}

CString CString::SpanExcluding(LPCWSTR lpszCharSet) const
{
    return Left(static_cast<int>(std::wcscspn(m_str.c_str(), lpszCharSet != NULL ? lpszCharSet : L"")));
}

CString& CString::MakeUpper()
{
    if (!m_str.empty())
        ::CharUpperBuffW(m_str.data(), static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeLower()
{
    if (!m_str.empty())
        ::CharLowerBuffW(m_str.data(), static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

int CString::Replace(wchar_t chOld, wchar_t chNew)
{
    int count = 0;
    for (wchar_t& ch : m_str) {
        if (ch == chOld) {
            ch = chNew;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCWSTR lpszOld, LPCWSTR lpszNew)
{
    if (lpszOld == NULL || *lpszOld == 0)
        return 0;
    const std::wstring oldText(lpszOld);
    const std::wstring newText(lpszNew != NULL ? lpszNew : L"");
    std::wstring result;
    int count = 0;
    size_t start = 0;
    for (size_t found = m_str.find(oldText); found != std::wstring::npos;
         found = m_str.find(oldText, start)) {
        result.append(m_str, start, found - start);
        result += newText;
        start = found + oldText.size();
        ++count;
    }
    if (count != 0) {
        result.append(m_str, start, std::wstring::npos);
        m_str.swap(result);
    }
    return count;
}

int CString::Remove(wchar_t chRemove)
{
    const size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), chRemove), m_str.end());
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int nIndex, wchar_t ch)
{
    m_str.insert(static_cast<size_t>(ClampIndex(nIndex, GetLength())), 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCWSTR psz)
{
    if (psz != NULL)
        m_str.insert(static_cast<size_t>(ClampIndex(nIndex, GetLength())), psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    const int index = ClampIndex(nIndex, GetLength());
    const int count = std::clamp(nCount, 0, GetLength() - index);
    m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString& CString::TrimLeft()
{
    size_t first = 0;
    while (first < m_str.size() && std::iswspace(m_str[first]))
        ++first;
    m_str.erase(0, first);
    return *this;
}

CString& CString::TrimLeft(wchar_t chTarget)
{
    size_t first = 0;
    while (first < m_str.size() && m_str[first] == chTarget)
        ++first;
    m_str.erase(0, first);
    return *this;
}

CString& CString::TrimLeft(LPCWSTR lpszTargets)
{
    size_t first = 0;
    while (first < m_str.size() && InSet(m_str[first], lpszTargets))
        ++first;
    m_str.erase(0, first);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_str.empty() && std::iswspace(m_str.back()))
        m_str.pop_back();
    return *this;
}

CString& CString::TrimRight(wchar_t chTarget)
{
    while (!m_str.empty() && m_str.back() == chTarget)
        m_str.pop_back();
    return *this;
}

CString& CString::TrimRight(LPCWSTR lpszTargets)
{
    while (!m_str.empty() && InSet(m_str.back(), lpszTargets))
        m_str.pop_back();
    return *this;
}

int CString::Find(wchar_t ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const size_t found = m_str.find(ch, static_cast<size_t>(nStart));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int CString::Find(LPCWSTR lpszSub, int nStart) const
{
    if (lpszSub == NULL || nStart < 0 || nStart > GetLength())
        return -1;
    const size_t found = m_str.find(lpszSub, static_cast<size_t>(nStart));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int CString::ReverseFind(wchar_t ch) const
{
    const size_t found = m_str.rfind(ch);
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int CString::FindOneOf(LPCWSTR lpszCharSet) const
{
    if (lpszCharSet == NULL)
        return -1;
    const size_t found = m_str.find_first_of(lpszCharSet);
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

CString CString::Tokenize(LPCWSTR pszTokens, int& iStart) const
{
    if (iStart < 0 || iStart > GetLength()) {
        iStart = -1;
        return CString();
    }
    const wchar_t* tokens = pszTokens != NULL ? pszTokens : L"";
    const size_t first = m_str.find_first_not_of(tokens, static_cast<size_t>(iStart));
    if (first == std::wstring::npos) {
        iStart = -1;
        return CString();
    }
    size_t end = m_str.find_first_of(tokens, first);
    if (end == std::wstring::npos)
        end = m_str.size();
    iStart = static_cast<int>(end == m_str.size() ? end : end + 1);
    return CString(m_str.data() + first, static_cast<int>(end - first));
}

void CString::FormatV(LPCWSTR lpszFormat, va_list argList)
{
    m_str.clear();
    afx_format::FormatVarArgs(m_str, lpszFormat, argList);
}

LPWSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_str.resize(static_cast<size_t>(nMinBufLength));
    return m_str.data();
}

LPWSTR CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(static_cast<size_t>(std::max(nNewLength, 0)));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    size_t length = m_str.size();
    if (nNewLength < 0)
        length = std::wcslen(m_str.c_str()); // the buffer is always terminated at size()
    else if (static_cast<size_t>(nNewLength) < length)
        length = static_cast<size_t>(nNewLength);
    m_str.resize(length);
}

void CString::Preallocate(int nLength)
{
    if (nLength > 0)
        m_str.reserve(static_cast<size_t>(nLength));
}

BSTR CString::AllocSysString() const
{
    BSTR bstr = ::SysAllocStringLen(m_str.data(), static_cast<UINT>(m_str.size()));
    if (bstr == NULL)
        AfxThrowMemoryException();
    return bstr;
}

BSTR CString::SetSysString(BSTR* pbstr) const
{
    if (!::SysReAllocStringLen(pbstr, m_str.data(), static_cast<UINT>(m_str.size())))
        AfxThrowMemoryException();
    return *pbstr;
}

CString AFXAPI operator+(const CString& string1, const CString& string2)
{
    CString result(string1);
    result += string2;
    return result;
}

CString AFXAPI operator+(const CString& string, LPCWSTR lpsz)
{
    CString result(string);
    result += lpsz;
    return result;
}

CString AFXAPI operator+(LPCWSTR lpsz, const CString& string)
{
    CString result(lpsz);
    result += string;
    return result;
}

CString AFXAPI operator+(const CString& string, wchar_t ch)
{
    CString result(string);
    result += ch;
    return result;
}

CString AFXAPI operator+(wchar_t ch, const CString& string)
{
    CString result(ch);
    result += string;
    return result;
}

void AFXAPI AfxFormatStrings(CString& rString, LPCWSTR lpszFormat, LPCWSTR const* rglpsz, int nString)
{
    CString result;
    for (const wchar_t* p = lpszFormat != NULL ? lpszFormat : L""; *p != 0; ++p) {
        if (p[0] == L'%' && p[1] >= L'1' && p[1] <= L'9') {
            const int index = p[1] - L'1';
            if (index < nString && rglpsz[index] != NULL)
                result += rglpsz[index];
            ++p;
        } else {
            result += *p;
        }
    }
    rString = result;
}

void AFXAPI AfxFormatString1(CString& rString, UINT nIDS, LPCWSTR lpsz1)
{
    CString format;
    format.LoadString(nIDS);
    AfxFormatStrings(rString, format, &lpsz1, 1);
}

void AFXAPI AfxFormatString2(CString& rString, UINT nIDS, LPCWSTR lpsz1, LPCWSTR lpsz2)
{
    CString format;
    format.LoadString(nIDS);
    LPCWSTR strings[2] = {lpsz1, lpsz2};
    AfxFormatStrings(rString, format, strings, 2);
}
