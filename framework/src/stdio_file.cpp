#include <afx.h>

#include <cerrno>
#include <cstdio>
#include <io.h>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

CStdioFile::CStdioFile() : m_pStream(NULL) {}

CStdioFile::CStdioFile(LPCWSTR lpszFileName, UINT nOpenFlags) : m_pStream(NULL)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream != NULL && m_bCloseOnDelete)
        Abort();
}

BOOL CStdioFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (pError != NULL)
        pError->Clear();
    m_pStream = NULL;
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName = lpszFileName;

    wchar_t mode[4] = {};
    int used = 0;
    if (nOpenFlags & modeCreate)
        mode[used++] = (nOpenFlags & modeNoTruncate) ? L'a' : L'w';
    else if (nOpenFlags & modeWrite)
        mode[used++] = L'a';
    else
        mode[used++] = L'r';
    if (nOpenFlags & modeReadWrite)
        mode[used++] = L'+';
    mode[used++] = (nOpenFlags & typeBinary) ? L'b' : L't';

    m_pStream = _wfopen(lpszFileName, mode);
    if (m_pStream == NULL) {
        if (pError != NULL) {
            pError->m_lOsError = _doserrno;
            pError->m_cause = CFileException::OsErrorToException(static_cast<LONG>(_doserrno));
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(m_pStream)));
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    if (m_pStream == NULL)
        return FALSE;
    wchar_t chunk[256];
    bool readAny = false;
    while (std::fgetws(chunk, static_cast<int>(_countof(chunk)), m_pStream) != NULL) {
        readAny = true;
        rString += chunk;
        const int length = rString.GetLength();
        if (length > 0 && rString[length - 1] == L'\n') {
            rString.Delete(length - 1);
            return TRUE;
        }
    }
    if (std::ferror(m_pStream))
        AfxThrowFileException(CFileException::genericException, _doserrno, m_strFileName);
    return readAny;
}

LPWSTR CStdioFile::ReadString(LPWSTR lpsz, UINT nMax)
{
    if (m_pStream == NULL || lpsz == NULL || nMax == 0)
        return NULL;
    LPWSTR result = std::fgetws(lpsz, static_cast<int>(nMax), m_pStream);
    if (result == NULL && std::ferror(m_pStream))
        AfxThrowFileException(CFileException::genericException, _doserrno, m_strFileName);
    return result;
}

void CStdioFile::WriteString(LPCWSTR lpsz)
{
    if (m_pStream == NULL || lpsz == NULL)
        return;
    if (std::fputws(lpsz, m_pStream) == WEOF)
        AfxThrowFileException(CFileException::diskFull, _doserrno, m_strFileName);
}

ULONGLONG CStdioFile::GetPosition() const
{
    const long long position = _ftelli64(m_pStream);
    if (position < 0)
        AfxThrowFileException(CFileException::invalidFile, _doserrno, m_strFileName);
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    const int origin = nFrom == end ? SEEK_END : (nFrom == current ? SEEK_CUR : SEEK_SET);
    if (_fseeki64(m_pStream, lOff, origin) != 0)
        AfxThrowFileException(CFileException::badSeek, _doserrno, m_strFileName);
    return GetPosition();
}

ULONGLONG CStdioFile::GetLength() const
{
    std::fflush(m_pStream);
    return CFile::GetLength();
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    const size_t read = std::fread(lpBuf, 1, nCount, m_pStream);
    if (read == 0 && std::ferror(m_pStream))
        AfxThrowFileException(CFileException::genericException, _doserrno, m_strFileName);
    return static_cast<UINT>(read);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    if (std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
        AfxThrowFileException(CFileException::genericException, _doserrno, m_strFileName);
}

void CStdioFile::Flush()
{
    if (m_pStream != NULL && std::fflush(m_pStream) != 0)
        AfxThrowFileException(CFileException::diskFull, _doserrno, m_strFileName);
}

void CStdioFile::Close()
{
    int result = 0;
    if (m_pStream != NULL)
        result = std::fclose(m_pStream);
    m_pStream = NULL;
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    if (result != 0)
        AfxThrowFileException(CFileException::diskFull, _doserrno, m_strFileName);
}

void CStdioFile::Abort()
{
    if (m_pStream != NULL)
        std::fclose(m_pStream);
    m_pStream = NULL;
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
}
