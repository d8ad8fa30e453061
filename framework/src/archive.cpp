// The archive's buffer, its primitive and count forms, and the archive forms of strings and
// geometry. Class records and object graphs are in archive_objects.cpp.
#include <afx.h>

#include <algorithm>
#include <cstring>
#include <string>

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pDocument(NULL), m_nMode(nMode), m_pFile(pFile), m_bUserBuf(lpBuf != NULL),
      m_nBufSize(static_cast<UINT>(std::max(nBufSize, 128))), m_nObjectSchema(static_cast<UINT>(-1)),
      m_nMapCount(1)
{
    m_lpBufStart = lpBuf != NULL ? static_cast<BYTE*>(lpBuf) : new BYTE[m_nBufSize];
    if (IsLoading())
        m_lpBufCur = m_lpBufMax = m_lpBufStart; // nothing read ahead yet
    else {
        m_lpBufCur = m_lpBufStart;
        m_lpBufMax = m_lpBufStart + m_nBufSize;
    }
    m_loadArray.push_back(NULL); // index 0 is the null reference
    m_loadIsClass.push_back(0);
}

CArchive::~CArchive()
{
    if (m_pFile != NULL && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete(); // a destructor has nobody to report to
        }
    }
    Abort();
    if (!m_bUserBuf)
        delete[] m_lpBufStart;
}

UINT CArchive::GetObjectSchema()
{
    const UINT nResult = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return nResult;
}

void CArchive::FillBuffer(UINT)
{
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = m_lpBufStart + m_pFile->Read(m_lpBufStart, m_nBufSize);
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (nMax == 0)
        return 0;
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly,
                                 m_pFile != NULL ? m_pFile->GetFilePath() : CString());
    if (m_pFile == NULL)
        AfxThrowArchiveException(CArchiveException::genericException);
    BYTE* pTarget = static_cast<BYTE*>(lpBuf);
    UINT nRead = 0;
    while (nRead < nMax) {
        const UINT nBuffered = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (nBuffered > 0) {
            const UINT nTake = std::min(nBuffered, nMax - nRead);
            std::memcpy(pTarget + nRead, m_lpBufCur, nTake);
            m_lpBufCur += nTake;
            nRead += nTake;
            continue;
        }
        const UINT nLeft = nMax - nRead;
        if (nLeft >= m_nBufSize) {
            const UINT nDirect = m_pFile->Read(pTarget + nRead, nLeft);
            if (nDirect == 0)
                break;
            nRead += nDirect;
            continue;
        }
        FillBuffer(nLeft);
        if (m_lpBufMax == m_lpBufCur)
            break;
    }
    return nRead;
}

void CArchive::EnsureRead(void* lpBuf, UINT nCount)
{
    if (Read(lpBuf, nCount) != nCount)
        AfxThrowArchiveException(CArchiveException::endOfFile,
                                 m_pFile != NULL ? m_pFile->GetFilePath() : CString());
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (nMax == 0)
        return;
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly,
                                 m_pFile != NULL ? m_pFile->GetFilePath() : CString());
    if (m_pFile == NULL)
        AfxThrowArchiveException(CArchiveException::genericException);
    const BYTE* pSource = static_cast<const BYTE*>(lpBuf);
    const UINT nRoom = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
    if (nMax <= nRoom) {
        std::memcpy(m_lpBufCur, pSource, nMax);
        m_lpBufCur += nMax;
        return;
    }
    Flush();
    if (nMax >= m_nBufSize) {
        m_pFile->Write(pSource, nMax);
        return;
    }
    std::memcpy(m_lpBufCur, pSource, nMax);
    m_lpBufCur += nMax;
}

void CArchive::Flush()
{
    if (m_pFile == NULL)
        return;
    if (IsLoading()) {
        // Give back what was read ahead, so the file stands where the archive's reader is.
        if (m_lpBufMax != m_lpBufCur)
            m_pFile->Seek(-static_cast<LONGLONG>(m_lpBufMax - m_lpBufCur), CFile::current);
        m_lpBufCur = m_lpBufMax = m_lpBufStart;
        return;
    }
    if (m_lpBufCur != m_lpBufStart)
        m_pFile->Write(m_lpBufStart, static_cast<UINT>(m_lpBufCur - m_lpBufStart));
    m_lpBufCur = m_lpBufStart;
}

void CArchive::Close()
{
    Flush();
    m_pFile = NULL;
}

void CArchive::Abort()
{
    m_pFile = NULL;
    if (IsLoading())
        m_lpBufCur = m_lpBufMax = m_lpBufStart;
    else
        m_lpBufCur = m_lpBufStart;
}

void CArchive::WriteString(LPCWSTR lpsz)
{
    if (lpsz != NULL)
        Write(lpsz, static_cast<UINT>(std::wcslen(lpsz) * sizeof(wchar_t)));
}

BOOL CArchive::ReadString(CString& rString)
{
    rString.Empty();
    wchar_t ch = 0;
    bool readAny = false;
    while (Read(&ch, sizeof(ch)) == sizeof(ch)) {
        readAny = true;
        if (ch == L'\n')
            break;
        if (ch != L'\r')
            rString += ch;
    }
    return readAny;
}

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
        return;
    }
    *this << static_cast<WORD>(0xFFFF);
    if (static_cast<ULONGLONG>(dwCount) < 0xFFFFFFFFULL) {
        *this << static_cast<DWORD>(dwCount);
        return;
    }
    *this << static_cast<DWORD>(0xFFFFFFFF);
    *this << static_cast<ULONGLONG>(dwCount);
}

DWORD_PTR CArchive::ReadCount()
{
    WORD wCount = 0;
    *this >> wCount;
    if (wCount != 0xFFFF)
        return wCount;
    DWORD dwCount = 0;
    *this >> dwCount;
    if (dwCount != 0xFFFFFFFF)
        return dwCount;
    ULONGLONG qwCount = 0;
    *this >> qwCount;
    if (qwCount > static_cast<ULONGLONG>(static_cast<DWORD_PTR>(-1)))
        AfxThrowArchiveException(CArchiveException::genericException,
                                 m_pFile != NULL ? m_pFile->GetFilePath() : CString());
    return static_cast<DWORD_PTR>(qwCount);
}

// A string is its length and its characters. UTF-16 strings carry the marker FF FE FF first;
// the length is one byte below 255, else FF and a WORD below 0xFFFF, else FFFF and a DWORD.
// Strings written by narrow programs (no marker) are read as ANSI text.
CArchive& AFXAPI operator<<(CArchive& ar, const CString& string)
{
    const ULONGLONG length = static_cast<ULONGLONG>(string.GetLength());
    ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFE);
    if (length < 0xFF)
        ar << static_cast<BYTE>(length);
    else {
        ar << static_cast<BYTE>(0xFF);
        if (length < 0xFFFE)
            ar << static_cast<WORD>(length);
        else
            ar << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(length);
    }
    ar.Write(string.GetString(), static_cast<UINT>(length * sizeof(wchar_t)));
    return ar;
}

namespace {

ULONGLONG ReadStringLength(CArchive& ar, bool& isWide)
{
    isWide = false;
    BYTE bLength = 0;
    ar >> bLength;
    if (bLength < 0xFF)
        return bLength;
    WORD wLength = 0;
    ar >> wLength;
    if (wLength == 0xFFFE) {
        isWide = true;
        ar >> bLength;
        if (bLength < 0xFF)
            return bLength;
        ar >> wLength;
    }
    if (wLength < 0xFFFF)
        return wLength;
    DWORD dwLength = 0;
    ar >> dwLength;
    if (dwLength < 0xFFFFFFFF)
        return dwLength;
    ULONGLONG qwLength = 0;
    ar >> qwLength;
    return qwLength;
}

} // namespace

CArchive& AFXAPI operator>>(CArchive& ar, CString& string)
{
    bool isWide = false;
    const ULONGLONG length = ReadStringLength(ar, isWide);
    if (length > 0x7FFFFFFF)
        AfxThrowArchiveException(CArchiveException::genericException);

    // Read in pieces, so that a false length costs no more memory than the stream really holds.
    CString result;
    if (isWide) {
        wchar_t chunk[512];
        for (ULONGLONG done = 0; done < length;) {
            const UINT nThis = static_cast<UINT>(std::min<ULONGLONG>(length - done, _countof(chunk)));
            ar.EnsureRead(chunk, nThis * sizeof(wchar_t));
            result += CString(chunk, static_cast<int>(nThis));
            done += nThis;
        }
    } else {
        std::string bytes;
        char chunk[1024];
        for (ULONGLONG done = 0; done < length;) {
            const UINT nThis = static_cast<UINT>(std::min<ULONGLONG>(length - done, sizeof(chunk)));
            ar.EnsureRead(chunk, nThis);
            bytes.append(chunk, nThis);
            done += nThis;
        }
        if (!bytes.empty())
            result += CString(bytes.data(), static_cast<int>(bytes.size()));
    }
    string = result;
    return ar;
}

CArchive& AFXAPI operator<<(CArchive& ar, SIZE size)
{
    ar.Write(&size, sizeof(SIZE));
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, SIZE& size)
{
    ar.EnsureRead(&size, sizeof(SIZE));
    return ar;
}

CArchive& AFXAPI operator<<(CArchive& ar, POINT point)
{
    ar.Write(&point, sizeof(POINT));
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, POINT& point)
{
    ar.EnsureRead(&point, sizeof(POINT));
    return ar;
}

CArchive& AFXAPI operator<<(CArchive& ar, const RECT& rect)
{
    ar.Write(&rect, sizeof(RECT));
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, RECT& rect)
{
    ar.EnsureRead(&rect, sizeof(RECT));
    return ar;
}
