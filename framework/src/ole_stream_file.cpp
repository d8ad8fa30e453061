#include <afxole.h>

IMPLEMENT_DYNAMIC(COleStreamFile, CFile)

namespace {

// A failure of the stream, in the file's own terms.
void CheckStream(HRESULT hr)
{
    if (FAILED(hr))
        AfxThrowFileException(hr == STG_E_MEDIUMFULL ? CFileException::diskFull
                                                     : CFileException::genericException,
                              static_cast<LONG>(hr));
}

} // namespace

COleStreamFile::COleStreamFile(LPSTREAM lpStream) : m_lpStream(lpStream) {}

COleStreamFile::~COleStreamFile()
{
    COleStreamFile::Abort();
}

void COleStreamFile::Attach(LPSTREAM lpStream)
{
    ASSERT(m_lpStream == NULL);
    m_lpStream = lpStream;
}

LPSTREAM COleStreamFile::Detach()
{
    LPSTREAM lpStream = m_lpStream;
    m_lpStream = NULL;
    return lpStream;
}

BOOL COleStreamFile::CreateMemoryStream(CFileException* pError)
{
    ASSERT(m_lpStream == NULL);
    const HRESULT hr = ::CreateStreamOnHGlobal(NULL, TRUE, &m_lpStream);
    if (FAILED(hr)) {
        m_lpStream = NULL;
        if (pError != NULL) {
            pError->m_cause = CFileException::genericException;
            pError->m_lOsError = static_cast<LONG>(hr);
        }
        return FALSE;
    }
    return TRUE;
}

ULONGLONG COleStreamFile::GetPosition() const
{
    ASSERT(m_lpStream != NULL);
    LARGE_INTEGER move = {};
    ULARGE_INTEGER position = {};
    CheckStream(m_lpStream->Seek(move, STREAM_SEEK_CUR, &position));
    return position.QuadPart;
}

ULONGLONG COleStreamFile::Seek(LONGLONG lOff, UINT nFrom)
{
    ASSERT(m_lpStream != NULL);
    static_assert(int{CFile::begin} == int{STREAM_SEEK_SET} && int{CFile::current} == int{STREAM_SEEK_CUR} &&
                  int{CFile::end} == int{STREAM_SEEK_END});
    if (nFrom > CFile::end)
        AfxThrowFileException(CFileException::badSeek);
    LARGE_INTEGER move;
    move.QuadPart = lOff;
    ULARGE_INTEGER position = {};
    CheckStream(m_lpStream->Seek(move, nFrom, &position));
    return position.QuadPart;
}

void COleStreamFile::SetLength(ULONGLONG dwNewLen)
{
    ASSERT(m_lpStream != NULL);
    ULARGE_INTEGER size;
    size.QuadPart = dwNewLen;
    CheckStream(m_lpStream->SetSize(size));
}

ULONGLONG COleStreamFile::GetLength() const
{
    ASSERT(m_lpStream != NULL);
    STATSTG stat = {};
    CheckStream(m_lpStream->Stat(&stat, STATFLAG_NONAME));
    return stat.cbSize.QuadPart;
}

UINT COleStreamFile::Read(void* lpBuf, UINT nCount)
{
    ASSERT(m_lpStream != NULL);
    if (nCount == 0)
        return 0;
    ULONG nRead = 0;
    CheckStream(m_lpStream->Read(lpBuf, nCount, &nRead));
    return nRead <= nCount ? nRead : nCount;
}

void COleStreamFile::Write(const void* lpBuf, UINT nCount)
{
    ASSERT(m_lpStream != NULL);
    if (nCount == 0)
        return;
    ULONG nWritten = 0;
    CheckStream(m_lpStream->Write(lpBuf, nCount, &nWritten));
    if (nWritten != nCount)
        AfxThrowFileException(CFileException::diskFull);
}

void COleStreamFile::Flush()
{
    if (m_lpStream != NULL)
        CheckStream(m_lpStream->Commit(STGC_DEFAULT));
}

void COleStreamFile::Close()
{
    if (m_lpStream != NULL) {
        m_lpStream->Release();
        m_lpStream = NULL;
    }
}

void COleStreamFile::Abort()
{
    COleStreamFile::Close();
}
