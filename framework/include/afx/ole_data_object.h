// OLE uniform data transfer: COleDataObject reads an IDataObject (a drop's or the OLE clipboard's),
// COleDataSource offers data through its own IDataObject (interface map) to the clipboard and to drags.
#pragma once

#include <ole2.h>

#include <vector>

#include "afx/ole_stream_file.h"
#include "afxwin.h"

class COleDropSource;

// Reads data that may come from another process: everything it hands out is bounded by the size
// of the global or stream that carried it.
class COleDataObject
{
public:
    COleDataObject();
    ~COleDataObject();
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // With bAutoRelease the object releases the interface when it lets it go.
    void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
    LPDATAOBJECT Detach();
    void Release();
    // The data object of the OLE clipboard; FALSE when it cannot be had.
    BOOL AttachClipboard();
    LPDATAOBJECT GetIDataObject(BOOL bAddRef);

    // Formats offered, in the source's order (target devices are not reported).
    void BeginEnumFormats();
    BOOL GetNextFormat(LPFORMATETC lpFormatEtc);

    // lpFormatEtc, when given, says the aspect, index and media asked for; its format is cfFormat.
    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
    // The caller releases the medium with ReleaseStgMedium.
    BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = NULL);
    // A global the caller owns (and frees with GlobalFree): the medium's own when the source gave it
    // away, else a copy of exactly its size. Null when the format is absent.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
    // A file the caller deletes: a CSharedFile over the medium's global (reading ends at the
    // global's size) or a COleStreamFile over its stream. Null when the format is absent.
    CFile* GetFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);

protected:
    LPDATAOBJECT m_lpDataObject;
    LPENUMFORMATETC m_lpEnumerator;
    BOOL m_bAutoRelease;
};

// Offers data in formats of its cache, rendered now or when first asked for. Reference counted:
// made with new, it ends with its last reference (see SetClipboard); a source on the stack must not
// be put on the clipboard.
class COleDataSource : public CCmdTarget
{
    DECLARE_DYNAMIC(COleDataSource)
public:
    COleDataSource();
    ~COleDataSource() override;

    // The source takes over the global (or medium) and frees it by the rules of ReleaseStgMedium.
    // A format cached again replaces the earlier entry of the same format and aspect.
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = NULL);
    void CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = NULL);
    // Formats rendered by OnRenderData when first asked for; the rendering is kept, so a format is
    // rendered once however often it is read. Media: TYMED_HGLOBAL, or for file data
    // TYMED_ISTREAM | TYMED_HGLOBAL, unless lpFormatEtc says otherwise.
    void DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
    void DelayRenderFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
    // Frees every entry.
    void Empty();

    // Waits for the drag to start (COleDropSource::OnBeginDrag, the rectangle in screen
    // coordinates, none: the cursor's point), then runs the system's drag loop. The effect of the
    // drop; DROPEFFECT_NONE when the drag did not start, was cancelled or was dropped nowhere.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT lpRectStartDrag = NULL, COleDropSource* pDropSource = NULL);
    // Puts the source on the OLE clipboard, which takes over the caller's reference (also when it
    // fails, which throws COleException): the source lives until it is replaced or flushed.
    void SetClipboard();
    // Renders every format of this process's clipboard source onto the clipboard and lets it go.
    static void PASCAL FlushClipboard();
    // The source of this process that is on the clipboard now, or null.
    static COleDataSource* PASCAL GetClipboardOwner();

    // Rendering of delayed formats. The defaults render nothing; OnRenderData tries
    // OnRenderGlobalData, then OnRenderFileData into a global or a stream, by the media asked for.
    virtual BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal);
    virtual BOOL OnRenderFileData(LPFORMATETC lpFormatEtc, CFile* pFile);
    virtual BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);

    struct CacheEntry
    {
        FORMATETC formatEtc; // ptd always null
        STGMEDIUM medium;    // TYMED_NULL until a delayed format is rendered
    };

protected:
    // Index of the entry that serves the request; -1 with the reason in *phr.
    int FindEntry(const FORMATETC& request, HRESULT* phr) const;
    CacheEntry& EntryFor(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymedDefault);
    HRESULT GetDataFromEntry(int nIndex, const FORMATETC& request, LPSTGMEDIUM lpStgMedium);

    std::vector<CacheEntry> m_cache;

    BEGIN_INTERFACE_PART(DataObject, IDataObject)
    STDMETHOD(GetData)(LPFORMATETC pformatetcIn, LPSTGMEDIUM pmedium) override;
    STDMETHOD(GetDataHere)(LPFORMATETC pformatetc, LPSTGMEDIUM pmedium) override;
    STDMETHOD(QueryGetData)(LPFORMATETC pformatetc) override;
    STDMETHOD(GetCanonicalFormatEtc)(LPFORMATETC pformatectIn, LPFORMATETC pformatetcOut) override;
    STDMETHOD(SetData)(LPFORMATETC pformatetc, LPSTGMEDIUM pmedium, BOOL fRelease) override;
    STDMETHOD(EnumFormatEtc)(DWORD dwDirection, LPENUMFORMATETC* ppenumFormatEtc) override;
    STDMETHOD(DAdvise)
    (LPFORMATETC pformatetc, DWORD advf, LPADVISESINK pAdvSink, DWORD* pdwConnection) override;
    STDMETHOD(DUnadvise)(DWORD dwConnection) override;
    STDMETHOD(EnumDAdvise)(LPENUMSTATDATA* ppenumAdvise) override;
    END_INTERFACE_PART(DataObject)

    DECLARE_INTERFACE_MAP()
};
