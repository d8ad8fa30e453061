#include "ole_medium.h"

#include <cstring>

HGLOBAL AfxOleCopyGlobal(HGLOBAL hSource)
{
    if (hSource == NULL)
        return NULL;
    // The block may come from another process: its own size is the only length to trust.
    const SIZE_T nSize = ::GlobalSize(hSource);
    const void* lpSource = ::GlobalLock(hSource);
    if (lpSource == NULL)
        return NULL;
    HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, nSize != 0 ? nSize : 1);
    void* lpCopy = hCopy != NULL ? ::GlobalLock(hCopy) : NULL;
    if (lpCopy != NULL) {
        std::memcpy(lpCopy, lpSource, nSize);
        ::GlobalUnlock(hCopy);
    } else if (hCopy != NULL) {
        ::GlobalFree(hCopy);
        hCopy = NULL;
    }
    ::GlobalUnlock(hSource);
    return hCopy;
}

BOOL AfxOleCopyStgMedium(CLIPFORMAT cfFormat, const STGMEDIUM& source, LPSTGMEDIUM lpDestination)
{
    STGMEDIUM copy = {};
    copy.tymed = source.tymed;
    switch (source.tymed) {
    case TYMED_HGLOBAL:
        copy.hGlobal = AfxOleCopyGlobal(source.hGlobal);
        if (copy.hGlobal == NULL)
            return FALSE;
        break;
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF: {
        // OleDuplicateData tells the handle's kind by the format.
        const CLIPFORMAT cfHandle = source.tymed == TYMED_MFPICT  ? CF_METAFILEPICT
                                    : source.tymed == TYMED_ENHMF ? CF_ENHMETAFILE
                                    : cfFormat == CF_PALETTE      ? CF_PALETTE
                                                                  : CF_BITMAP;
        copy.hGlobal = ::OleDuplicateData(source.hGlobal, cfHandle, GMEM_MOVEABLE);
        if (copy.hGlobal == NULL)
            return FALSE;
        break;
    }
    case TYMED_ISTREAM: {
        if (source.pstm == NULL)
            return FALSE;
        LPSTREAM lpClone = NULL;
        if (SUCCEEDED(source.pstm->Clone(&lpClone)) && lpClone != NULL) {
            copy.pstm = lpClone;
        } else {
            copy.pstm = source.pstm;
            copy.pstm->AddRef();
        }
        LARGE_INTEGER start = {};
        copy.pstm->Seek(start, STREAM_SEEK_SET, NULL);
        break;
    }
    case TYMED_ISTORAGE:
        if (source.pstg == NULL)
            return FALSE;
        copy.pstg = source.pstg;
        copy.pstg->AddRef();
        break;
    default:
        return FALSE;
    }
    *lpDestination = copy;
    return TRUE;
}

BOOL AfxOleCopyStgMediumAs(CLIPFORMAT cfFormat, const STGMEDIUM& source, DWORD tymedWanted,
                           LPSTGMEDIUM lpDestination)
{
    if ((source.tymed & tymedWanted) != 0)
        return AfxOleCopyStgMedium(cfFormat, source, lpDestination);
    STGMEDIUM copy = {};
    if (source.tymed == TYMED_HGLOBAL && (tymedWanted & TYMED_ISTREAM) != 0) {
        HGLOBAL hGlobal = AfxOleCopyGlobal(source.hGlobal);
        if (hGlobal == NULL)
            return FALSE;
        const SIZE_T nSize = ::GlobalSize(hGlobal);
        if (FAILED(::CreateStreamOnHGlobal(hGlobal, TRUE, &copy.pstm))) {
            ::GlobalFree(hGlobal);
            return FALSE;
        }
        ULARGE_INTEGER size;
        size.QuadPart = nSize;
        copy.pstm->SetSize(size);
        copy.tymed = TYMED_ISTREAM;
    } else if (source.tymed == TYMED_ISTREAM && source.pstm != NULL && (tymedWanted & TYMED_HGLOBAL) != 0) {
        STGMEDIUM stream = {};
        if (!AfxOleCopyStgMedium(cfFormat, source, &stream))
            return FALSE;
        STATSTG stat = {};
        IStream* pGlobalStream = NULL;
        HRESULT hr = stream.pstm->Stat(&stat, STATFLAG_NONAME);
        if (SUCCEEDED(hr) && stat.cbSize.QuadPart <= 0x7FFFFFFF)
            hr = ::CreateStreamOnHGlobal(NULL, FALSE, &pGlobalStream);
        else
            hr = E_OUTOFMEMORY;
        if (SUCCEEDED(hr))
            hr = stream.pstm->CopyTo(pGlobalStream, stat.cbSize, NULL, NULL);
        if (pGlobalStream != NULL) {
            HGLOBAL hGlobal = NULL;
            ::GetHGlobalFromStream(pGlobalStream, &hGlobal);
            pGlobalStream->Release();
            if (SUCCEEDED(hr) && hGlobal != NULL) {
                copy.tymed = TYMED_HGLOBAL;
                copy.hGlobal = hGlobal;
            } else if (hGlobal != NULL) {
                ::GlobalFree(hGlobal);
            }
        }
        ::ReleaseStgMedium(&stream);
        if (copy.tymed == TYMED_NULL)
            return FALSE;
    } else {
        return FALSE;
    }
    *lpDestination = copy;
    return TRUE;
}
