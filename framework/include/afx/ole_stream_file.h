// COleStreamFile: a CFile over an OLE stream (IStream), for data that travels in TYMED_ISTREAM media.
#pragma once

#include <objidl.h>

#include "afx/files.h"

class COleStreamFile : public CFile
{
    DECLARE_DYNAMIC(COleStreamFile)
public:
    // Takes over the caller's reference to the stream.
    explicit COleStreamFile(LPSTREAM lpStream = NULL);
    ~COleStreamFile() override;

    // Takes over the caller's reference; Detach hands it back and leaves the file closed.
    void Attach(LPSTREAM lpStream);
    LPSTREAM Detach();
    LPSTREAM GetStream() const { return m_lpStream; }
    // A new stream in movable global memory that grows as it is written.
    BOOL CreateMemoryStream(CFileException* pError = NULL);

    // Failures of the stream throw CFileException; a short read is the end of the stream.
    ULONGLONG GetPosition() const override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    void SetLength(ULONGLONG dwNewLen) override;
    ULONGLONG GetLength() const override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

protected:
    LPSTREAM m_lpStream;
};
