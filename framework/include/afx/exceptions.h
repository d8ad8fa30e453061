// The exception family. Exceptions are thrown as pointers (throw new CFileException(...)) and the
// catcher deletes them with Delete(); TRY/CATCH are plain C++ try/catch that delete the caught
// exception at the end of the handler unless it is thrown on with THROW_LAST().
#pragma once

#include "afx/cstring.h"
#include "afx/object_model.h"

class CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    CException();
    explicit CException(BOOL bAutoDelete);
    ~CException() override = default;

    // Frees the exception when it is auto-deleting; inside a CATCH block the block's end does it.
    void Delete();
    virtual BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL);
    // Shows the error message in a message box; returns the box's answer.
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

    BOOL m_bAutoDelete;

    // Used by the CATCH guard so that Delete() inside a CATCH block does not free twice.
    int m_nCatchGuards = 0;
    BOOL m_bDeleteRequested = FALSE;
};

class CMemoryException : public CException
{
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException() = default;
    explicit CMemoryException(BOOL bAutoDelete) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

class CNotSupportedException : public CException
{
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException() = default;
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

class CResourceException : public CException
{
    DECLARE_DYNAMIC(CResourceException)
public:
    CResourceException() = default;
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

class CUserException : public CException
{
    DECLARE_DYNAMIC(CUserException)
public:
    CUserException() = default;
};

class CInvalidArgException : public CException
{
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    CInvalidArgException() = default;
};

class CFileException : public CException
{
    DECLARE_DYNAMIC(CFileException)
public:
    enum
    {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCWSTR lpszArchiveName = NULL);

    void Clear();
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;

    static int PASCAL OsErrorToException(LONG lOsError);
    static void PASCAL ThrowOsError(LONG lOsError, LPCWSTR lpszFileName = NULL);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CArchiveException : public CException
{
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum
    {
        none = 0,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7
    };

    explicit CArchiveException(int cause = none, LPCWSTR lpszArchiveName = NULL);
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AFXAPI AfxThrowMemoryException();
[[noreturn]] void AFXAPI AfxThrowNotSupportedException();
[[noreturn]] void AFXAPI AfxThrowResourceException();
[[noreturn]] void AFXAPI AfxThrowUserException();
[[noreturn]] void AFXAPI AfxThrowInvalidArgException();
[[noreturn]] void AFXAPI AfxThrowFileException(int cause, LONG lOsError = -1, LPCWSTR lpszFileName = NULL);
[[noreturn]] void AFXAPI AfxThrowArchiveException(int cause, LPCWSTR lpszArchiveName = NULL);

// Holds a caught exception for the length of a CATCH block and deletes it at the block's end.
class CAfxCatchGuard
{
public:
    explicit CAfxCatchGuard(CException* pException);
    ~CAfxCatchGuard();
    void KeepAlive(); // the exception is thrown on: the next handler owns it
    CAfxCatchGuard(const CAfxCatchGuard&) = delete;
    CAfxCatchGuard& operator=(const CAfxCatchGuard&) = delete;

private:
    CException* m_pException;
};

#define TRY try
#define CATCH(class_name, e)                                                                                 \
    catch (class_name * e)                                                                                   \
    {                                                                                                        \
        CAfxCatchGuard _afxCatchGuard(e);
#define AND_CATCH(class_name, e)                                                                             \
    }                                                                                                        \
    catch (class_name * e)                                                                                   \
    {                                                                                                        \
        CAfxCatchGuard _afxCatchGuard(e);
#define END_CATCH }
#define CATCH_ALL(e)                                                                                         \
    catch (CException * e)                                                                                   \
    {                                                                                                        \
        CAfxCatchGuard _afxCatchGuard(e);
#define AND_CATCH_ALL(e)                                                                                     \
    }                                                                                                        \
    catch (CException * e)                                                                                   \
    {                                                                                                        \
        CAfxCatchGuard _afxCatchGuard(e);
#define END_CATCH_ALL }
#define END_TRY
#define THROW(e) throw e
#define THROW_LAST()                                                                                         \
    do {                                                                                                     \
        _afxCatchGuard.KeepAlive();                                                                          \
        throw;                                                                                               \
    } while (0)
