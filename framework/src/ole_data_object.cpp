// COleDataObject: reading an IDataObject of a drop or of the OLE clipboard.
#include <afxole.h>

#include "ole_medium.h"

namespace {

// Every kind of medium (the SDK's TYMED_ALL is not in every header set).
constexpr DWORD kAnyMedium =
    TYMED_HGLOBAL | TYMED_FILE | TYMED_ISTREAM | TYMED_ISTORAGE | TYMED_GDI | TYMED_MFPICT | TYMED_ENHMF;

// The request for a format: the caller's aspect, index and media, else the content in any medium.
FORMATETC RequestFor(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymedDefault)
{
    FORMATETC request = {cfFormat, NULL, DVASPECT_CONTENT, -1, tymedDefault};
    if (lpFormatEtc != NULL) {
        request = *lpFormatEtc;
        request.cfFormat = cfFormat;
    }
    return request;
}

// A CSharedFile over the global of a medium, which it keeps and lets go (by ReleaseStgMedium, once)
// when it is closed. Reads end at the global's size: an archive over it that wants more meets the
// end of the file.
class CMediumSharedFile : public CSharedFile
{
public:
    explicit CMediumSharedFile(const STGMEDIUM& medium) : m_medium(medium)
    {
        // A global still owned by the source (pUnkForRelease) must not be moved by a write.
        SetHandle(m_medium.hGlobal, m_medium.pUnkForRelease == NULL);
    }
    ~CMediumSharedFile() override { CMediumSharedFile::Close(); }

    void Close() override
    {
        // The file may have moved the block while writing; the medium gives back the current one.
        if (m_hGlobalMemory != NULL)
            m_medium.hGlobal = m_hGlobalMemory;
        CSharedFile::Close();
        if (m_medium.tymed != TYMED_NULL) {
            ::ReleaseStgMedium(&m_medium);
            m_medium.tymed = TYMED_NULL;
        }
    }
    void Abort() override { CMediumSharedFile::Close(); }

private:
    STGMEDIUM m_medium;
};

} // namespace

COleDataObject::COleDataObject() : m_lpDataObject(NULL), m_lpEnumerator(NULL), m_bAutoRelease(TRUE) {}

COleDataObject::~COleDataObject()
{
    Release();
}

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    if (m_lpEnumerator != NULL) {
        m_lpEnumerator->Release();
        m_lpEnumerator = NULL;
    }
    LPDATAOBJECT lpDataObject = m_lpDataObject;
    m_lpDataObject = NULL;
    return lpDataObject;
}

void COleDataObject::Release()
{
    const BOOL bAutoRelease = m_bAutoRelease;
    LPDATAOBJECT lpDataObject = Detach();
    if (lpDataObject != NULL && bAutoRelease)
        lpDataObject->Release();
    m_bAutoRelease = TRUE;
}

BOOL COleDataObject::AttachClipboard()
{
    Release();
    LPDATAOBJECT lpDataObject = NULL;
    if (FAILED(::OleGetClipboard(&lpDataObject)) || lpDataObject == NULL)
        return FALSE;
    Attach(lpDataObject, TRUE);
    return TRUE;
}

LPDATAOBJECT COleDataObject::GetIDataObject(BOOL bAddRef)
{
    if (bAddRef && m_lpDataObject != NULL)
        m_lpDataObject->AddRef();
    return m_lpDataObject;
}

void COleDataObject::BeginEnumFormats()
{
    if (m_lpEnumerator != NULL) {
        m_lpEnumerator->Release();
        m_lpEnumerator = NULL;
    }
    if (m_lpDataObject != NULL && FAILED(m_lpDataObject->EnumFormatEtc(DATADIR_GET, &m_lpEnumerator)))
        m_lpEnumerator = NULL;
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc)
{
    if (m_lpEnumerator == NULL || lpFormatEtc == NULL)
        return FALSE;
    FORMATETC format = {};
    ULONG nFetched = 0;
    if (m_lpEnumerator->Next(1, &format, &nFetched) != S_OK || nFetched != 1)
        return FALSE;
    if (format.ptd != NULL) {
        ::CoTaskMemFree(format.ptd);
        format.ptd = NULL;
    }
    *lpFormatEtc = format;
    return TRUE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == NULL)
        return FALSE;
    FORMATETC request = RequestFor(cfFormat, lpFormatEtc, kAnyMedium);
    // S_FALSE also means no.
    return m_lpDataObject->QueryGetData(&request) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == NULL || lpStgMedium == NULL)
        return FALSE;
    FORMATETC request = RequestFor(cfFormat, lpFormatEtc, kAnyMedium);
    STGMEDIUM medium = {};
    if (m_lpDataObject->GetData(&request, &medium) != S_OK)
        return FALSE;
    *lpStgMedium = medium;
    return TRUE;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    FORMATETC request = RequestFor(cfFormat, lpFormatEtc, TYMED_HGLOBAL);
    if ((request.tymed & TYMED_HGLOBAL) == 0)
        return NULL;
    request.tymed = TYMED_HGLOBAL;
    STGMEDIUM medium = {};
    if (!GetData(cfFormat, &medium, &request))
        return NULL;
    if (medium.tymed != TYMED_HGLOBAL) {
        ::ReleaseStgMedium(&medium);
        return NULL;
    }
    // Without pUnkForRelease the global is the caller's to keep; otherwise it stays the source's
    // and the caller gets a copy.
    if (medium.pUnkForRelease == NULL)
        return medium.hGlobal;
    HGLOBAL hCopy = AfxOleCopyGlobal(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return hCopy;
}

CFile* COleDataObject::GetFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    FORMATETC request = RequestFor(cfFormat, lpFormatEtc, TYMED_HGLOBAL | TYMED_ISTREAM);
    request.tymed &= TYMED_HGLOBAL | TYMED_ISTREAM;
    if (request.tymed == 0)
        return NULL;
    STGMEDIUM medium = {};
    if (!GetData(cfFormat, &medium, &request))
        return NULL;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != NULL) {
        try {
            return new CMediumSharedFile(medium); // which releases the medium when closed
        } catch (CException* e) {
            e->Delete();
        }
    } else if (medium.tymed == TYMED_ISTREAM && medium.pstm != NULL) {
        COleStreamFile* pFile = NULL;
        try {
            pFile = new COleStreamFile;
        } catch (CException* e) {
            e->Delete();
        }
        if (pFile != NULL) {
            medium.pstm->AddRef(); // the file's own reference; the medium's goes below
            pFile->Attach(medium.pstm);
            // Sources leave the seek pointer at the start or at the end of the data.
            LARGE_INTEGER start = {};
            medium.pstm->Seek(start, STREAM_SEEK_SET, NULL);
        }
        ::ReleaseStgMedium(&medium);
        return pFile;
    }
    ::ReleaseStgMedium(&medium);
    return NULL;
}
