#include <afx.h>

#include <cstdlib>
#include <cstring>
#include <limits>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(NULL),
      m_bAutoDelete(TRUE)
{}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
    : m_nGrowBytes(0), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(NULL),
      m_bAutoDelete(FALSE)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    if (m_lpBuffer != NULL)
        CMemFile::Close();
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    ASSERT(m_lpBuffer == NULL);
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_nBufferSize = nBufferSize;
    // Without growth the block is the file's contents; with growth it is empty room to write into.
    m_nFileSize = nGrowBytes == 0 ? nBufferSize : 0;
    m_lpBuffer = lpBuffer;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* lpBuffer = m_lpBuffer;
    m_lpBuffer = NULL;
    m_nFileSize = 0;
    m_nBufferSize = 0;
    m_nPosition = 0;
    return lpBuffer;
}

BYTE* CMemFile::Alloc(SIZE_T nBytes)
{
    return static_cast<BYTE*>(std::malloc(nBytes));
}

BYTE* CMemFile::Realloc(BYTE* lpMem, SIZE_T nBytes)
{
    return static_cast<BYTE*>(std::realloc(lpMem, nBytes));
}

BYTE* CMemFile::Memcpy(BYTE* lpMemTarget, const BYTE* lpMemSource, SIZE_T nBytes)
{
    return static_cast<BYTE*>(std::memcpy(lpMemTarget, lpMemSource, nBytes));
}

void CMemFile::Free(BYTE* lpMem)
{
    std::free(lpMem);
}

void CMemFile::GrowFile(SIZE_T dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    // Round up to whole growth steps.
    const SIZE_T steps = dwNewLen / m_nGrowBytes + (dwNewLen % m_nGrowBytes != 0 ? 1 : 0);
    if (steps > std::numeric_limits<SIZE_T>::max() / m_nGrowBytes)
        AfxThrowMemoryException();
    const SIZE_T nNewBufferSize = steps * m_nGrowBytes;
    BYTE* lpNew = m_lpBuffer == NULL ? Alloc(nNewBufferSize) : Realloc(m_lpBuffer, nNewBufferSize);
    if (lpNew == NULL)
        AfxThrowMemoryException();
    m_lpBuffer = lpNew;
    m_nBufferSize = nNewBufferSize;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG base = 0;
    if (nFrom == current)
        base = static_cast<LONGLONG>(m_nPosition);
    else if (nFrom == end)
        base = static_cast<LONGLONG>(m_nFileSize);
    const LONGLONG newPosition = base + lOff;
    if (newPosition < 0 || static_cast<ULONGLONG>(newPosition) > std::numeric_limits<SIZE_T>::max())
        AfxThrowFileException(CFileException::badSeek);
    m_nPosition = static_cast<SIZE_T>(newPosition);
    return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > std::numeric_limits<SIZE_T>::max())
        AfxThrowMemoryException();
    const SIZE_T newLength = static_cast<SIZE_T>(dwNewLen);
    if (newLength > m_nBufferSize)
        GrowFile(newLength);
    if (newLength > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, newLength - m_nFileSize);
    if (newLength < m_nPosition)
        m_nPosition = newLength;
    m_nFileSize = newLength;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || m_nPosition >= m_nFileSize)
        return 0;
    const SIZE_T available = m_nFileSize - m_nPosition;
    const UINT nRead = available < nCount ? static_cast<UINT>(available) : nCount;
    Memcpy(static_cast<BYTE*>(lpBuf), m_lpBuffer + m_nPosition, nRead);
    m_nPosition += nRead;
    return nRead;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (m_nPosition > std::numeric_limits<SIZE_T>::max() - nCount)
        AfxThrowMemoryException();
    const SIZE_T end = m_nPosition + nCount;
    if (end > m_nBufferSize)
        GrowFile(end);
    // A write past the end after a seek leaves zeros in between, not old heap bytes.
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    Memcpy(m_lpBuffer + m_nPosition, static_cast<const BYTE*>(lpBuf), nCount);
    m_nPosition = end;
    if (m_nPosition > m_nFileSize)
        m_nFileSize = m_nPosition;
}

void CMemFile::Close()
{
    if (m_lpBuffer != NULL && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = NULL;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
}

void CMemFile::Abort()
{
    Close();
}
