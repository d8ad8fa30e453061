#include <afx.h>

#include <algorithm>
#include <climits>

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCWSTR lpszFileName, UINT nOpenFlags) : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE && m_bCloseOnDelete)
        Abort();
}

BOOL CFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (pError != NULL)
        pError->Clear();
    m_bCloseOnDelete = FALSE;
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName = lpszFileName;

    DWORD access = GENERIC_READ;
    switch (nOpenFlags & 3) {
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    case modeReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        break;
    }
    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default: // exclusive and compatibility mode share nothing
        break;
    }
    SECURITY_ATTRIBUTES security = {sizeof(security), NULL, (nOpenFlags & modeNoInherit) == 0};
    DWORD creation = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        creation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (nOpenFlags & osNoBuffer)
        flags |= FILE_FLAG_NO_BUFFERING;
    if (nOpenFlags & osWriteThrough)
        flags |= FILE_FLAG_WRITE_THROUGH;
    if (nOpenFlags & osRandomAccess)
        flags |= FILE_FLAG_RANDOM_ACCESS;
    if (nOpenFlags & osSequentialScan)
        flags |= FILE_FLAG_SEQUENTIAL_SCAN;

    HANDLE hFile = ::CreateFileW(lpszFileName, access, share, &security, creation, flags, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        if (pError != NULL) {
            pError->m_lOsError = static_cast<LONG>(::GetLastError());
            pError->m_cause = CFileException::OsErrorToException(pError->m_lOsError);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = hFile;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero = {};
    LARGE_INTEGER position = {};
    if (!::SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

CString CFile::GetFileName() const
{
    const int slash = std::max(m_strFileName.ReverseFind(L'\\'), m_strFileName.ReverseFind(L'/'));
    return m_strFileName.Mid(slash + 1);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LARGE_INTEGER distance;
    distance.QuadPart = lOff;
    LARGE_INTEGER position = {};
    const DWORD method = nFrom == end ? FILE_END : (nFrom == current ? FILE_CURRENT : FILE_BEGIN);
    if (!::SetFilePointerEx(m_hFile, distance, &position, method))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!::SetEndOfFile(m_hFile))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(m_hFile, &size))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    DWORD read = 0;
    if (!::ReadFile(m_hFile, lpBuf, nCount, &read, NULL))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return read;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    DWORD written = 0;
    if (!::WriteFile(m_hFile, lpBuf, nCount, &written, NULL))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

void CFile::Flush()
{
    if (m_hFile != INVALID_HANDLE_VALUE && !::FlushFileBuffers(m_hFile))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Close()
{
    BOOL bError = FALSE;
    if (m_hFile != INVALID_HANDLE_VALUE)
        bError = !::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
    if (bError)
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

void PASCAL CFile::Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName)
{
    if (!::MoveFileW(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszOldName);
}

void PASCAL CFile::Remove(LPCWSTR lpszFileName)
{
    if (!::DeleteFileW(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszFileName);
}
