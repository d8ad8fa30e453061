#include <afxwin.h>

#include <new>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

BOOL CopyMessage(LPCWSTR lpszText, LPWSTR lpszError, UINT nMaxError)
{
    if (lpszError == NULL || nMaxError == 0)
        return FALSE;
    lstrcpynW(lpszError, lpszText, static_cast<int>(nMaxError));
    return TRUE;
}

CString WithFileName(LPCWSTR lpszText, const CString& fileName)
{
    CString message;
    if (fileName.IsEmpty())
        message.Format(lpszText, L"an unnamed file");
    else
        message.Format(lpszText, fileName);
    return message;
}

} // namespace

CException::CException() : m_bAutoDelete(TRUE) {}

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

void CException::Delete()
{
    if (m_nCatchGuards > 0) {
        m_bDeleteRequested = TRUE; // the CATCH block's end frees it
        return;
    }
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    if (lpszError != NULL && nMaxError > 0)
        *lpszError = 0;
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    WCHAR message[512];
    CString text;
    if (GetErrorMessage(message, _countof(message)))
        text = message;
    else if (nMessageID != 0)
        text.LoadString(nMessageID);
    if (text.IsEmpty())
        text = L"An unsupported operation was attempted.";
    return AfxMessageBox(text, nType, nMessageID);
}

BOOL CMemoryException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    return CopyMessage(L"Out of memory.", lpszError, nMaxError);
}

BOOL CNotSupportedException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    return CopyMessage(L"An unsupported operation was attempted.", lpszError, nMaxError);
}

BOOL CResourceException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    return CopyMessage(L"A required resource was unavailable.", lpszError, nMaxError);
}

CFileException::CFileException(int cause, LONG lOsError, LPCWSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{}

void CFileException::Clear()
{
    m_cause = none;
    m_lOsError = -1;
    m_strFileName.Empty();
}

BOOL CFileException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    static const LPCWSTR messages[] = {
        L"No error occurred while accessing %s.",
        L"An unknown error occurred while accessing %s.",
        L"%s was not found.",
        L"%s contains an incorrect path.",
        L"%s could not be opened because there are too many open files.",
        L"Access to %s was denied.",
        L"An incorrect file handle was associated with %s.",
        L"%s could not be removed because it is the current directory.",
        L"%s could not be created because the directory is full.",
        L"Seek failed on %s.",
        L"A hardware I/O error was reported while accessing %s.",
        L"A sharing violation occurred while accessing %s.",
        L"A locking violation occurred while accessing %s.",
        L"Disk full while accessing %s.",
        L"An attempt was made to access %s past its end.",
    };
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    const int cause =
        (m_cause >= 0 && m_cause < static_cast<int>(_countof(messages))) ? m_cause : genericException;
    return CopyMessage(WithFileName(messages[cause], m_strFileName), lpszError, nMaxError);
}

int PASCAL CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
    case ERROR_INVALID_ACCESS:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_SECTOR_NOT_FOUND:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_LOCK_FAILED:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCWSTR lpszFileName)
{
    if (lOsError != 0)
        AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

CArchiveException::CArchiveException(int cause, LPCWSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{}

BOOL CArchiveException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    static const LPCWSTR messages[] = {
        L"No error occurred while reading or writing %s.",
        L"An unknown error occurred while reading or writing %s.",
        L"An attempt was made to write to %s while it was being read.",
        L"An attempt was made to read past the end of %s.",
        L"An attempt was made to read from %s while it was being written.",
        L"%s has an incorrect format.",
        L"%s contains an unexpected object.",
        L"%s contains an incorrect schema.",
    };
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    const int cause =
        (m_cause >= 0 && m_cause < static_cast<int>(_countof(messages))) ? m_cause : genericException;
    return CopyMessage(WithFileName(messages[cause], m_strFileName), lpszError, nMaxError);
}

void AFXAPI AfxThrowMemoryException()
{
    // Out of memory there may be no room for a new exception: fall back to one that is never freed.
    static CMemoryException reserve(FALSE);
    CMemoryException* pException = new (std::nothrow) CMemoryException();
    if (pException == NULL)
        throw &reserve;
    throw pException;
}

void AFXAPI AfxThrowNotSupportedException()
{
    throw new CNotSupportedException();
}

void AFXAPI AfxThrowResourceException()
{
    throw new CResourceException();
}

void AFXAPI AfxThrowUserException()
{
    throw new CUserException();
}

void AFXAPI AfxThrowInvalidArgException()
{
    throw new CInvalidArgException();
}

void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCWSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AFXAPI AfxThrowArchiveException(int cause, LPCWSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}

CAfxCatchGuard::CAfxCatchGuard(CException* pException) : m_pException(pException)
{
    if (m_pException != NULL)
        ++m_pException->m_nCatchGuards;
}

CAfxCatchGuard::~CAfxCatchGuard()
{
    if (m_pException == NULL)
        return;
    --m_pException->m_nCatchGuards;
    if (m_pException->m_nCatchGuards == 0) {
        m_pException->m_bDeleteRequested = FALSE;
        m_pException->Delete();
    }
}

void CAfxCatchGuard::KeepAlive()
{
    if (m_pException != NULL)
        --m_pException->m_nCatchGuards;
    m_pException = NULL;
}
