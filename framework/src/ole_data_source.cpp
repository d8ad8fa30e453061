// COleDataSource: data offered through the source's own IDataObject, to the OLE clipboard and to drags.
#include <afxole.h>
#include <shlobj.h>

#include <cstring>

#include "ole_medium.h"

IMPLEMENT_DYNAMIC(COleDataSource, CCmdTarget)

// clang-format off
BEGIN_INTERFACE_MAP(COleDataSource, CCmdTarget)
    INTERFACE_PART(COleDataSource, IID_IDataObject, DataObject)
END_INTERFACE_MAP()
// clang-format on

namespace {

// The source of this process on the OLE clipboard (UI thread only); cleared when it ends.
COleDataSource* g_pClipboardSource = NULL;

void FreeEntry(COleDataSource::CacheEntry& entry)
{
    if (entry.medium.tymed != TYMED_NULL)
        ::ReleaseStgMedium(&entry.medium);
    entry.medium = STGMEDIUM{};
}

// Shrinks a global that a file grew in steps to the bytes written, so that readers see no tail.
HGLOBAL DetachWritten(CSharedFile& file)
{
    const SIZE_T nLength = static_cast<SIZE_T>(file.GetLength());
    HGLOBAL hGlobal = file.Detach();
    if (hGlobal != NULL && ::GlobalSize(hGlobal) > nLength) {
        HGLOBAL hShrunk = ::GlobalReAlloc(hGlobal, nLength != 0 ? nLength : 1, GMEM_MOVEABLE);
        if (hShrunk != NULL)
            hGlobal = hShrunk;
    }
    return hGlobal;
}

} // namespace

COleDataSource::COleDataSource() = default;

COleDataSource::~COleDataSource()
{
    if (g_pClipboardSource == this)
        g_pClipboardSource = NULL;
    Empty();
}

void COleDataSource::Empty()
{
    for (CacheEntry& entry : m_cache)
        FreeEntry(entry);
    m_cache.clear();
}

COleDataSource::CacheEntry& COleDataSource::EntryFor(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc,
                                                     DWORD tymedDefault)
{
    FORMATETC format = {cfFormat, NULL, DVASPECT_CONTENT, -1, tymedDefault};
    if (lpFormatEtc != NULL) {
        format = *lpFormatEtc;
        format.cfFormat = cfFormat;
        format.ptd = NULL; // target devices are not kept
        if (format.tymed == 0)
            format.tymed = tymedDefault;
    }
    for (CacheEntry& entry : m_cache) {
        if (entry.formatEtc.cfFormat == format.cfFormat && entry.formatEtc.dwAspect == format.dwAspect &&
            entry.formatEtc.lindex == format.lindex) {
            FreeEntry(entry);
            entry.formatEtc = format;
            return entry;
        }
    }
    m_cache.push_back(CacheEntry{format, STGMEDIUM{}});
    return m_cache.back();
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
    CacheEntry& entry = EntryFor(cfFormat, lpFormatEtc, TYMED_HGLOBAL);
    entry.formatEtc.tymed = TYMED_HGLOBAL;
    entry.medium.tymed = TYMED_HGLOBAL;
    entry.medium.hGlobal = hGlobal;
    entry.medium.pUnkForRelease = NULL;
}

void COleDataSource::CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    ASSERT(lpStgMedium != NULL && lpStgMedium->tymed != TYMED_NULL);
    CacheEntry& entry = EntryFor(cfFormat, lpFormatEtc, lpStgMedium->tymed);
    entry.formatEtc.tymed = lpStgMedium->tymed;
    entry.medium = *lpStgMedium;
}

void COleDataSource::DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    EntryFor(cfFormat, lpFormatEtc, TYMED_HGLOBAL);
}

void COleDataSource::DelayRenderFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    EntryFor(cfFormat, lpFormatEtc, TYMED_ISTREAM | TYMED_HGLOBAL);
}

BOOL COleDataSource::OnRenderGlobalData(LPFORMATETC, HGLOBAL*)
{
    return FALSE;
}

BOOL COleDataSource::OnRenderFileData(LPFORMATETC, CFile*)
{
    return FALSE;
}

BOOL COleDataSource::OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium)
{
    if (lpFormatEtc->tymed & TYMED_HGLOBAL) {
        HGLOBAL hGlobal = NULL;
        if (OnRenderGlobalData(lpFormatEtc, &hGlobal) && hGlobal != NULL) {
            *lpStgMedium = STGMEDIUM{};
            lpStgMedium->tymed = TYMED_HGLOBAL;
            lpStgMedium->hGlobal = hGlobal;
            return TRUE;
        }
        CSharedFile file;
        if (OnRenderFileData(lpFormatEtc, &file)) {
            hGlobal = DetachWritten(file);
            if (hGlobal == NULL) // nothing written: an empty global all the same
                hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, 1);
            if (hGlobal != NULL) {
                *lpStgMedium = STGMEDIUM{};
                lpStgMedium->tymed = TYMED_HGLOBAL;
                lpStgMedium->hGlobal = hGlobal;
                return TRUE;
            }
        }
    }
    if (lpFormatEtc->tymed & TYMED_ISTREAM) {
        COleStreamFile file;
        if (file.CreateMemoryStream() && OnRenderFileData(lpFormatEtc, &file)) {
            file.SeekToBegin();
            *lpStgMedium = STGMEDIUM{};
            lpStgMedium->tymed = TYMED_ISTREAM;
            lpStgMedium->pstm = file.Detach();
            return TRUE;
        }
    }
    return FALSE;
}

int COleDataSource::FindEntry(const FORMATETC& request, HRESULT* phr) const
{
    *phr = DV_E_FORMATETC;
    for (size_t i = 0; i < m_cache.size(); ++i) {
        const FORMATETC& format = m_cache[i].formatEtc;
        if (format.cfFormat != request.cfFormat || format.dwAspect != request.dwAspect)
            continue;
        if (request.lindex != -1 && request.lindex != format.lindex) {
            *phr = DV_E_LINDEX;
            continue;
        }
        if ((format.tymed & request.tymed) == 0) {
            *phr = DV_E_TYMED;
            continue;
        }
        *phr = S_OK;
        return static_cast<int>(i);
    }
    return -1;
}

HRESULT COleDataSource::GetDataFromEntry(int nIndex, const FORMATETC& request, LPSTGMEDIUM lpStgMedium)
{
    CacheEntry& entry = m_cache[static_cast<size_t>(nIndex)];
    if (entry.medium.tymed == TYMED_NULL) {
        // A delayed format, rendered in the media both sides accept.
        const FORMATETC entryFormat = entry.formatEtc;
        FORMATETC format = entryFormat;
        format.tymed &= request.tymed;
        STGMEDIUM rendered = {};
        BOOL bRendered = FALSE;
        try {
            bRendered = OnRenderData(&format, &rendered);
        } catch (CException* e) {
            e->Delete();
            bRendered = FALSE;
        }
        if (!bRendered || rendered.tymed == TYMED_NULL)
            return DV_E_FORMATETC;
        // The source is asked for the same format again (by the clipboard and its readers, by
        // each call of a drop): the rendering is kept and copies are handed out.
        // A rendering may have changed the cache (cached other formats, or emptied it).
        STGMEDIUM copy = {};
        const size_t nKept = static_cast<size_t>(nIndex);
        if (nKept >= m_cache.size() || m_cache[nKept].formatEtc.cfFormat != entryFormat.cfFormat ||
            m_cache[nKept].medium.tymed != TYMED_NULL ||
            !AfxOleCopyStgMedium(entryFormat.cfFormat, rendered, &copy)) {
            *lpStgMedium = rendered; // the caller gets it, and it is not kept
            return S_OK;
        }
        m_cache[nKept].medium = rendered;
        *lpStgMedium = copy;
        return S_OK;
    }
    // A rendering kept in one medium serves requests for the entry's others too.
    if (!AfxOleCopyStgMediumAs(entry.formatEtc.cfFormat, entry.medium, request.tymed & entry.formatEtc.tymed,
                               lpStgMedium))
        return DV_E_TYMED;
    return S_OK;
}

/////////////////////////////////////////////////////////////////////////////
// The clipboard

void COleDataSource::SetClipboard()
{
    const HRESULT hr = ::OleSetClipboard(&m_xDataObject);
    if (SUCCEEDED(hr))
        g_pClipboardSource = this;
    InternalRelease(); // the clipboard's reference keeps the source from here on
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

COleDataSource* PASCAL COleDataSource::GetClipboardOwner()
{
    if (g_pClipboardSource != NULL && ::OleIsCurrentClipboard(&g_pClipboardSource->m_xDataObject) == S_OK)
        return g_pClipboardSource;
    return NULL;
}

void PASCAL COleDataSource::FlushClipboard()
{
    if (GetClipboardOwner() != NULL)
        ::OleFlushClipboard(); // renders every format, then releases the source
}

/////////////////////////////////////////////////////////////////////////////
// IDataObject

ULONG STDMETHODCALLTYPE COleDataSource::XDataObject::AddRef()
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    return pThis->ExternalAddRef();
}

ULONG STDMETHODCALLTYPE COleDataSource::XDataObject::Release()
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    return pThis->ExternalRelease();
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::QueryInterface(REFIID iid, LPVOID* ppvObj)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::GetData(LPFORMATETC pformatetcIn, LPSTGMEDIUM pmedium)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    if (pformatetcIn == NULL || pmedium == NULL)
        return E_INVALIDARG;
    *pmedium = STGMEDIUM{};
    HRESULT hr = S_OK;
    const int nIndex = pThis->FindEntry(*pformatetcIn, &hr);
    if (nIndex < 0)
        return hr;
    return pThis->GetDataFromEntry(nIndex, *pformatetcIn, pmedium);
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::GetDataHere(LPFORMATETC pformatetc,
                                                                   LPSTGMEDIUM pmedium)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    if (pformatetc == NULL || pmedium == NULL)
        return E_INVALIDARG;
    if (pmedium->tymed != TYMED_HGLOBAL && pmedium->tymed != TYMED_ISTREAM)
        return DV_E_TYMED;
    FORMATETC request = *pformatetc;
    request.tymed = pmedium->tymed;
    HRESULT hr = S_OK;
    const int nIndex = pThis->FindEntry(request, &hr);
    if (nIndex < 0)
        return hr;
    STGMEDIUM ours = {};
    hr = pThis->GetDataFromEntry(nIndex, request, &ours);
    if (FAILED(hr))
        return hr;
    if (ours.tymed == TYMED_HGLOBAL && pmedium->tymed == TYMED_HGLOBAL) {
        // Into the caller's block, which must hold all of it.
        const SIZE_T nSize = ::GlobalSize(ours.hGlobal);
        if (pmedium->hGlobal == NULL || ::GlobalSize(pmedium->hGlobal) < nSize) {
            hr = STG_E_MEDIUMFULL;
        } else {
            void* lpTo = ::GlobalLock(pmedium->hGlobal);
            const void* lpFrom = ::GlobalLock(ours.hGlobal);
            if (lpTo != NULL && lpFrom != NULL)
                std::memcpy(lpTo, lpFrom, nSize);
            else
                hr = E_OUTOFMEMORY;
            if (lpFrom != NULL)
                ::GlobalUnlock(ours.hGlobal);
            if (lpTo != NULL)
                ::GlobalUnlock(pmedium->hGlobal);
        }
    } else if (ours.tymed == TYMED_ISTREAM && pmedium->tymed == TYMED_ISTREAM && pmedium->pstm != NULL) {
        ULARGE_INTEGER all;
        all.QuadPart = ~0ULL;
        hr = ours.pstm->CopyTo(pmedium->pstm, all, NULL, NULL);
    } else {
        hr = DV_E_TYMED;
    }
    ::ReleaseStgMedium(&ours);
    return hr;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::QueryGetData(LPFORMATETC pformatetc)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    if (pformatetc == NULL)
        return E_INVALIDARG;
    HRESULT hr = S_OK;
    pThis->FindEntry(*pformatetc, &hr);
    return hr;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::GetCanonicalFormatEtc(LPFORMATETC pformatectIn,
                                                                             LPFORMATETC pformatetcOut)
{
    if (pformatectIn == NULL || pformatetcOut == NULL)
        return E_INVALIDARG;
    *pformatetcOut = *pformatectIn;
    pformatetcOut->ptd = NULL;
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::SetData(LPFORMATETC, LPSTGMEDIUM, BOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::EnumFormatEtc(DWORD dwDirection,
                                                                     LPENUMFORMATETC* ppenumFormatEtc)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    if (ppenumFormatEtc == NULL)
        return E_INVALIDARG;
    *ppenumFormatEtc = NULL;
    if (dwDirection != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    formats.reserve(pThis->m_cache.size());
    for (const CacheEntry& entry : pThis->m_cache)
        formats.push_back(entry.formatEtc);
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), ppenumFormatEtc);
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::DAdvise(LPFORMATETC, DWORD, LPADVISESINK,
                                                               DWORD* pdwConnection)
{
    if (pdwConnection != NULL)
        *pdwConnection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::EnumDAdvise(LPENUMSTATDATA* ppenumAdvise)
{
    if (ppenumAdvise != NULL)
        *ppenumAdvise = NULL;
    return OLE_E_ADVISENOTSUPPORTED;
}
