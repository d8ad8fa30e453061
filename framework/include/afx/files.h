// Files: CFile over a Win32 handle, CMemFile over a growing heap block, CStdioFile for text lines.
// Positions and lengths are 64-bit; every failure throws CFileException (or CMemoryException).
#pragma once

#include <cstdio>

#include "afx/cstring.h"
#include "afx/exceptions.h"
#include "afx/object_model.h"

class CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000
    };
    enum SeekPosition
    {
        begin = 0x0,
        current = 0x1,
        end = 0x2
    };

    static const HANDLE hFileNull;

    CFile();
    explicit CFile(HANDLE hFile);
    CFile(LPCWSTR lpszFileName, UINT nOpenFlags); // throws on failure
    ~CFile() override;

    HANDLE m_hFile;
    operator HANDLE() const { return m_hFile; }

    virtual BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
    virtual ULONGLONG GetPosition() const;
    virtual CString GetFileName() const;
    virtual CString GetFilePath() const { return m_strFileName; }
    virtual void SetFilePath(LPCWSTR lpszNewName) { m_strFileName = lpszNewName; }

    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual ULONGLONG GetLength() const;

    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual void Flush();
    virtual void Close();
    // Closes without throwing, for clean-up after an error.
    virtual void Abort();

    static void PASCAL Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName);
    static void PASCAL Remove(LPCWSTR lpszFileName);

    BOOL m_bCloseOnDelete;

protected:
    CString m_strFileName;
};

class CMemFile : public CFile
{
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    // Works on the caller's block; with nGrowBytes 0 it cannot grow past nBufferSize.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the block to the caller (who frees it) and empties the file.
    BYTE* Detach();

    ULONGLONG GetPosition() const override { return m_nPosition; }
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    void SetLength(ULONGLONG dwNewLen) override;
    ULONGLONG GetLength() const override { return m_nFileSize; }
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void Flush() override {}
    void Close() override;
    void Abort() override;

protected:
    virtual BYTE* Alloc(SIZE_T nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes);
    virtual BYTE* Memcpy(BYTE* lpMemTarget, const BYTE* lpMemSource, SIZE_T nBytes);
    virtual void Free(BYTE* lpMem);
    virtual void GrowFile(SIZE_T dwNewLen);

    UINT m_nGrowBytes;
    SIZE_T m_nPosition;
    SIZE_T m_nBufferSize;
    SIZE_T m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete; // the block is freed on Close
};

// Text file through the C runtime; lines end with "\n" in memory.
class CStdioFile : public CFile
{
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile();
    CStdioFile(LPCWSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
    // Reads one line without its end; FALSE at the end of the file.
    BOOL ReadString(CString& rString);
    LPWSTR ReadString(LPWSTR lpsz, UINT nMax);
    void WriteString(LPCWSTR lpsz);

    ULONGLONG GetPosition() const override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetLength() const override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

    FILE* m_pStream;
};

struct CFileStatus
{
    ULONGLONG m_size;
    DWORD m_attribute;
    FILETIME m_ctime;
    FILETIME m_mtime;
    FILETIME m_atime;
    WCHAR m_szFullName[MAX_PATH];
};
