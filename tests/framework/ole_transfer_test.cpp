// OLE data transfer on the test display: data sources on the OLE clipboard (cached and delayed
// formats, flushing), data objects over untrusted media, the start of a drag with a real button,
// and real drags inside this process onto drop targets of plain windows and views.
#include <afxole.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/screenshot.h"
#include "test_app.h"

namespace {

HGLOBAL GlobalWith(const void* lpData, SIZE_T nSize)
{
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, nSize);
    std::memcpy(::GlobalLock(hGlobal), lpData, nSize);
    ::GlobalUnlock(hGlobal);
    return hGlobal;
}

HGLOBAL GlobalWithText(const std::wstring& text)
{
    return GlobalWith(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

std::vector<BYTE> BytesOf(HGLOBAL hGlobal)
{
    std::vector<BYTE> bytes(::GlobalSize(hGlobal));
    if (!bytes.empty()) {
        std::memcpy(bytes.data(), ::GlobalLock(hGlobal), bytes.size());
        ::GlobalUnlock(hGlobal);
    }
    return bytes;
}

std::vector<BYTE> ReadAll(CFile* pFile)
{
    std::vector<BYTE> bytes;
    BYTE buffer[37]; // an odd size, so that reads straddle the end
    for (UINT nRead; (nRead = pFile->Read(buffer, sizeof(buffer))) != 0;)
        bytes.insert(bytes.end(), buffer, buffer + nRead);
    return bytes;
}

std::vector<BYTE> ItemBytes()
{
    std::vector<BYTE> bytes(100);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<BYTE>(i * 7 + 3);
    return bytes;
}

// Sources that count their ends (the clipboard owns them) and their renderings.
int g_sourcesEnded = 0;

class CTestSource : public COleDataSource
{
public:
    ~CTestSource() override { ++g_sourcesEnded; }
    BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal) override
    {
        if (lpFormatEtc->cfFormat != m_cfGlobal)
            return FALSE;
        ++m_nGlobalRenders;
        *phGlobal = GlobalWithText(L"rendered late");
        return TRUE;
    }
    BOOL OnRenderFileData(LPFORMATETC lpFormatEtc, CFile* pFile) override
    {
        if (lpFormatEtc->cfFormat != m_cfFile)
            return FALSE;
        ++m_nFileRenders;
        const std::vector<BYTE> bytes = ItemBytes();
        pFile->Write(bytes.data(), static_cast<UINT>(bytes.size()));
        return TRUE;
    }
    CLIPFORMAT m_cfGlobal = 0;
    CLIPFORMAT m_cfFile = 0;
    int m_nGlobalRenders = 0;
    int m_nFileRenders = 0;
};

class OleTransferTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(AfxOleInit()); }
    void SetUp() override
    {
        m_cfItem = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Test.Item"));
        m_cfRurAdir = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"RurAdir"));
        g_sourcesEnded = 0;
    }
    void TearDown() override
    {
        COleDataSource::FlushClipboard();
        DrainMessages();
    }
    CLIPFORMAT m_cfItem = 0;
    CLIPFORMAT m_cfRurAdir = 0;
};

// The bytes of a format through the plain clipboard functions.
std::vector<BYTE> PlainClipboardBytes(UINT cfFormat)
{
    std::vector<BYTE> bytes;
    if (!::OpenClipboard(NULL))
        return bytes;
    HANDLE hData = ::GetClipboardData(cfFormat);
    if (hData != NULL)
        bytes = BytesOf(hData);
    ::CloseClipboard();
    return bytes;
}

std::vector<BYTE> TextBytes(const std::wstring& text)
{
    const BYTE* lpBytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(lpBytes, lpBytes + (text.size() + 1) * sizeof(wchar_t));
}

TEST_F(OleTransferTest, ClipboardSourceReadsBackAndOutlivesItsFlush)
{
    const std::vector<BYTE> item = ItemBytes();
    CTestSource* pSource = new CTestSource;
    pSource->CacheGlobalData(CF_UNICODETEXT, GlobalWithText(L"clipboard text"));
    pSource->CacheGlobalData(m_cfItem, GlobalWith(item.data(), item.size()));
    pSource->SetClipboard();
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), pSource);

    // Through the OLE clipboard while the source is there, then from the clipboard's own copies.
    for (const char* phase : {"source on the clipboard", "after the flush"}) {
        SCOPED_TRACE(phase);
        {
            COleDataObject dataObject;
            ASSERT_TRUE(dataObject.AttachClipboard());
            EXPECT_TRUE(dataObject.IsDataAvailable(CF_UNICODETEXT));
            EXPECT_TRUE(dataObject.IsDataAvailable(m_cfItem));
            EXPECT_FALSE(dataObject.IsDataAvailable(CF_BITMAP));

            HGLOBAL hGlobal = dataObject.GetGlobalData(m_cfItem);
            ASSERT_NE(hGlobal, nullptr);
            EXPECT_EQ(BytesOf(hGlobal), item);
            ::GlobalFree(hGlobal);
            CFile* pFile = dataObject.GetFileData(m_cfItem);
            ASSERT_NE(pFile, nullptr);
            EXPECT_TRUE(pFile->IsKindOf(RUNTIME_CLASS(CSharedFile)));
            EXPECT_EQ(ReadAll(pFile), item);
            delete pFile;
            EXPECT_EQ(dataObject.GetFileData(CF_BITMAP), nullptr);
        }
        EXPECT_EQ(PlainClipboardBytes(m_cfItem), item);
        EXPECT_EQ(PlainClipboardBytes(CF_UNICODETEXT), TextBytes(L"clipboard text"));

        if (std::strcmp(phase, "source on the clipboard") == 0) {
            EXPECT_EQ(g_sourcesEnded, 0);
            // The readers have let go: the clipboard holds the only reference.
            COleDataSource::FlushClipboard();
            EXPECT_EQ(g_sourcesEnded, 1);
            EXPECT_EQ(COleDataSource::GetClipboardOwner(), nullptr);
        }
    }
}

TEST_F(OleTransferTest, SourceEnumeratesAndAnswersOnlyItsFormats)
{
    CTestSource* pSource = new CTestSource;
    pSource->CacheGlobalData(m_cfItem, GlobalWithText(L"x"));
    pSource->DelayRenderData(m_cfRurAdir);
    std::vector<CLIPFORMAT> offered;
    {
        COleDataObject direct; // the source's own interface, not the clipboard's copy
        direct.Attach(static_cast<LPDATAOBJECT>(pSource->GetInterface(&IID_IDataObject)), FALSE);
        direct.BeginEnumFormats();
        FORMATETC format;
        while (direct.GetNextFormat(&format))
            offered.push_back(format.cfFormat);
    }
    EXPECT_EQ(offered, (std::vector<CLIPFORMAT>{m_cfItem, m_cfRurAdir}));
    // What the source does not offer.
    IDataObject* pDataObject = static_cast<LPDATAOBJECT>(pSource->GetInterface(&IID_IDataObject));
    FORMATETC bitmap = {CF_BITMAP, NULL, DVASPECT_CONTENT, -1, TYMED_GDI};
    EXPECT_EQ(pDataObject->QueryGetData(&bitmap), DV_E_FORMATETC);
    STGMEDIUM medium = {};
    EXPECT_EQ(pDataObject->GetData(&bitmap, &medium), DV_E_FORMATETC);
    FORMATETC itemAsBitmap = {m_cfItem, NULL, DVASPECT_CONTENT, -1, TYMED_GDI};
    EXPECT_EQ(pDataObject->QueryGetData(&itemAsBitmap), DV_E_TYMED);
    DWORD dwConnection = 1;
    EXPECT_EQ(pDataObject->DAdvise(&bitmap, 0, NULL, &dwConnection), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(dwConnection, 0u);
    pSource->InternalRelease();
    EXPECT_EQ(g_sourcesEnded, 1);
}

TEST_F(OleTransferTest, DelayedFormatsAreRenderedOnceWhenRead)
{
    const CLIPFORMAT cfFile = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Test.FileItem"));
    CTestSource* pSource = new CTestSource;
    pSource->m_cfGlobal = m_cfItem;
    pSource->m_cfFile = cfFile;
    pSource->DelayRenderData(m_cfItem);
    pSource->DelayRenderFileData(cfFile);
    pSource->SetClipboard();
    EXPECT_EQ(pSource->m_nGlobalRenders, 0);

    {
        COleDataObject dataObject;
        ASSERT_TRUE(dataObject.AttachClipboard());
        HGLOBAL hGlobal = dataObject.GetGlobalData(m_cfItem);
        ASSERT_NE(hGlobal, nullptr);
        EXPECT_EQ(BytesOf(hGlobal), TextBytes(L"rendered late"));
        ::GlobalFree(hGlobal);
        EXPECT_EQ(pSource->m_nGlobalRenders, 1);
        // File data written into a growing global reads back as exactly what was written.
        CFile* pFile = dataObject.GetFileData(cfFile);
        ASSERT_NE(pFile, nullptr);
        EXPECT_EQ(ReadAll(pFile), ItemBytes());
        delete pFile;
    }
    EXPECT_EQ(PlainClipboardBytes(m_cfItem), TextBytes(L"rendered late"));
    EXPECT_EQ(PlainClipboardBytes(cfFile), ItemBytes());
    EXPECT_EQ(pSource->m_nGlobalRenders, 1);
    EXPECT_EQ(pSource->m_nFileRenders, 1);

    COleDataSource::FlushClipboard();
    EXPECT_EQ(g_sourcesEnded, 1);
    EXPECT_EQ(PlainClipboardBytes(m_cfItem), TextBytes(L"rendered late"));
}

// A data object of "another process": it lends its global (pUnkForRelease) and counts the releases.
class CLendingDataObject : public IDataObject
{
public:
    CLendingDataObject(CLIPFORMAT cfFormat, HGLOBAL hGlobal) : m_cfFormat(cfFormat), m_hGlobal(hGlobal) {}
    ~CLendingDataObject() { ::GlobalFree(m_hGlobal); }
    STDMETHOD_(ULONG, AddRef)() override { return ++m_nAddRefs; }
    STDMETHOD_(ULONG, Release)() override { return ++m_nReleases; }
    STDMETHOD(QueryInterface)(REFIID, void** ppv) override
    {
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHOD(GetData)(FORMATETC* pFormat, STGMEDIUM* pMedium) override
    {
        if (pFormat->cfFormat != m_cfFormat || (pFormat->tymed & TYMED_HGLOBAL) == 0)
            return DV_E_FORMATETC;
        pMedium->tymed = TYMED_HGLOBAL;
        pMedium->hGlobal = m_hGlobal;
        pMedium->pUnkForRelease = this;
        ++m_nLent;
        return S_OK;
    }
    STDMETHOD(GetDataHere)(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHOD(QueryGetData)(FORMATETC* pFormat) override
    {
        return pFormat->cfFormat == m_cfFormat ? S_OK : DV_E_FORMATETC;
    }
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHOD(SetData)(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(EnumFormatEtc)(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHOD(DAdvise)(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(DUnadvise)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumDAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }

    CLIPFORMAT m_cfFormat;
    HGLOBAL m_hGlobal;
    int m_nAddRefs = 0;
    int m_nReleases = 0; // of the lent medium (pUnkForRelease) and of the object alike
    int m_nLent = 0;
};

TEST_F(OleTransferTest, LentGlobalIsCopiedAndReleasedOnce)
{
    const std::vector<BYTE> item = ItemBytes();
    CLendingDataObject lender(m_cfItem, GlobalWith(item.data(), item.size()));
    COleDataObject dataObject;
    dataObject.Attach(&lender, FALSE);

    HGLOBAL hCopy = dataObject.GetGlobalData(m_cfItem);
    ASSERT_NE(hCopy, nullptr);
    EXPECT_NE(hCopy, lender.m_hGlobal);
    EXPECT_EQ(BytesOf(hCopy), item);
    ::GlobalFree(hCopy);
    EXPECT_EQ(lender.m_nReleases, lender.m_nLent);

    CFile* pFile = dataObject.GetFileData(m_cfItem);
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(ReadAll(pFile), item);
    EXPECT_EQ(lender.m_nReleases, 1); // held while the file reads it
    pFile->Close();
    delete pFile;
    EXPECT_EQ(lender.m_nLent, 2);
    EXPECT_EQ(lender.m_nReleases, 2);
    EXPECT_EQ(BytesOf(lender.m_hGlobal), item); // the lender's global is still its own, unharmed
}

TEST_F(OleTransferTest, ShortDataEndsAnArchiveWithEndOfFile)
{
    // A string record that announces 200 characters and carries 2.
    const BYTE shortRecord[] = {0xFF, 0xFE, 0xFF, 200, 'a', 0, 'b', 0};
    struct Case
    {
        const char* name;
        DWORD tymed;
    };
    for (const Case& c : {Case{"global", TYMED_HGLOBAL}, Case{"stream", TYMED_ISTREAM}}) {
        SCOPED_TRACE(c.name);
        COleDataSource source;
        HGLOBAL hGlobal = GlobalWith(shortRecord, sizeof(shortRecord));
        if (c.tymed == TYMED_HGLOBAL) {
            source.CacheGlobalData(m_cfItem, hGlobal);
        } else {
            STGMEDIUM medium = {};
            medium.tymed = TYMED_ISTREAM;
            ASSERT_EQ(::CreateStreamOnHGlobal(hGlobal, TRUE, &medium.pstm), S_OK);
            ULARGE_INTEGER size;
            size.QuadPart = sizeof(shortRecord);
            medium.pstm->SetSize(size);
            source.CacheData(m_cfItem, &medium);
        }
        COleDataObject dataObject;
        dataObject.Attach(static_cast<LPDATAOBJECT>(source.GetInterface(&IID_IDataObject)), FALSE);
        CFile* pFile = dataObject.GetFileData(m_cfItem);
        ASSERT_NE(pFile, nullptr);
        EXPECT_EQ(pFile->GetLength(), sizeof(shortRecord));
        int nCause = -1;
        try {
            CArchive ar(pFile, CArchive::load);
            CString text;
            ar >> text;
        } catch (CArchiveException* e) {
            nCause = e->m_cause;
            e->Delete();
        }
        EXPECT_EQ(nCause, CArchiveException::endOfFile);
        delete pFile;
    }
}

/////////////////////////////////////////////////////////////////////////////
// Drags inside this process

std::vector<std::string> g_dropLog;
std::wstring g_droppedText;

std::wstring TextOf(COleDataObject* pDataObject, CLIPFORMAT cfFormat)
{
    std::wstring text;
    HGLOBAL hGlobal = pDataObject->GetGlobalData(cfFormat);
    if (hGlobal != NULL) {
        const std::vector<BYTE> bytes = BytesOf(hGlobal);
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        text = text.c_str(); // up to the terminator
        ::GlobalFree(hGlobal);
    }
    return text;
}

// Accepts only "RurAdir" data, as a copy.
class CRurAdirTarget : public COleDropTarget
{
public:
    DROPEFFECT Answer(COleDataObject* pDataObject) const
    {
        return pDataObject != NULL && pDataObject->IsDataAvailable(m_cfAccepted) ? DROPEFFECT_COPY
                                                                                 : DROPEFFECT_NONE;
    }
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pDataObject, DWORD, CPoint point) override
    {
        g_dropLog.push_back("enter");
        m_lastPoint = point;
        return Answer(pDataObject);
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* pDataObject, DWORD, CPoint point) override
    {
        g_dropLog.push_back("over");
        m_lastPoint = point;
        return Answer(pDataObject);
    }
    void OnDragLeave(CWnd*) override { g_dropLog.push_back("leave"); }
    BOOL OnDrop(CWnd*, COleDataObject* pDataObject, DROPEFFECT, CPoint point) override
    {
        g_dropLog.push_back("drop");
        m_lastPoint = point;
        g_droppedText = TextOf(pDataObject, m_cfAccepted);
        return TRUE;
    }
    CLIPFORMAT m_cfAccepted = 0;
    CPoint m_lastPoint;
};

// Starts at once and drops (or cancels) at the first question; the safety timer cancels a drag
// the system's loop would never end.
bool g_safetyFired = false;

class CInstantDropSource : public COleDropSource
{
public:
    explicit CInstantDropSource(bool bDrop) : m_bDrop(bDrop) {}
    BOOL OnBeginDrag(CWnd*) override { return TRUE; }
    SCODE QueryContinueDrag(BOOL, DWORD) override
    {
        // A cancel waits a few rounds, so that the target has been entered.
        ++m_nQuestions;
        if (g_safetyFired)
            return DRAGDROP_S_CANCEL;
        if (m_bDrop)
            return DRAGDROP_S_DROP;
        return m_nQuestions < 3 ? S_OK : DRAGDROP_S_CANCEL;
    }
    bool m_bDrop;
    int m_nQuestions = 0;
};

void CALLBACK SafetyTimer(HWND, UINT, UINT_PTR, DWORD)
{
    g_safetyFired = true;
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
}

DROPEFFECT DragAt(COleDataSource& source, CPoint ptScreen, bool bDrop,
                  DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE)
{
    g_dropLog.clear();
    g_droppedText.clear();
    g_safetyFired = false;
    ::SetCursorPos(ptScreen.x, ptScreen.y);
    DrainMessages();
    CInstantDropSource dropSource(bDrop);
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 5000, SafetyTimer);
    const DROPEFFECT dropEffect = source.DoDragDrop(dwEffects, NULL, &dropSource);
    ::KillTimer(NULL, nTimer);
    EXPECT_FALSE(g_safetyFired) << "the drag loop had to be stopped";
    EXPECT_GE(dropSource.m_nQuestions, 1);
    DrainMessages();
    return dropEffect;
}

// A top-level window on the test display, above everything, whose client centre the drags aim at.
class CTargetWnd : public CWnd
{
public:
    BOOL Make(const CRect& rect)
    {
        return CreateEx(0, AfxRegisterWndClass(0, NULL, ::GetSysColorBrush(COLOR_WINDOW)), L"drop target",
                        WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, rect, NULL, 0);
    }
    CPoint ScreenCentre() const
    {
        CRect rect;
        GetClientRect(&rect);
        CPoint point = rect.CenterPoint();
        ClientToScreen(&point);
        return point;
    }
};

const CRect kTargetRect(200, 150, 520, 390);

TEST_F(OleTransferTest, DragOntoATargetThatAcceptsOnlyItsFormat)
{
    CTargetWnd wnd;
    ASSERT_TRUE(wnd.Make(kTargetRect));
    ShowWithoutActivating(wnd);
    wnd.UpdateWindow();
    CRurAdirTarget target;
    target.m_cfAccepted = m_cfRurAdir;
    ASSERT_TRUE(target.Register(&wnd));
    EXPECT_EQ(wnd.m_pDropTarget, &target);
    const CPoint ptCentre = wnd.ScreenCentre();
    CPoint ptClient = ptCentre;
    wnd.ScreenToClient(&ptClient);

    COleDataSource offersRurAdir;
    offersRurAdir.CacheGlobalData(m_cfRurAdir, GlobalWithText(L"Customers"));
    EXPECT_EQ(DragAt(offersRurAdir, ptCentre, true), static_cast<DROPEFFECT>(DROPEFFECT_COPY));
    ASSERT_GE(g_dropLog.size(), 2u);
    EXPECT_EQ(g_dropLog.front(), "enter");
    EXPECT_EQ(g_dropLog.back(), "drop");
    EXPECT_EQ(std::count(g_dropLog.begin(), g_dropLog.end(), "leave"), 0);
    EXPECT_EQ(g_droppedText, L"Customers");
    EXPECT_EQ(target.m_lastPoint, ptClient);

    COleDataSource offersText;
    const char text[] = "plain text";
    offersText.CacheGlobalData(CF_TEXT, GlobalWith(text, sizeof(text)));
    EXPECT_EQ(DragAt(offersText, ptCentre, true), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(std::count(g_dropLog.begin(), g_dropLog.end(), "drop"), 0);
    EXPECT_TRUE(g_droppedText.empty());

    EXPECT_EQ(DragAt(offersRurAdir, ptCentre, false), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    ASSERT_FALSE(g_dropLog.empty());
    EXPECT_EQ(g_dropLog.front(), "enter");
    EXPECT_EQ(g_dropLog.back(), "leave");
    EXPECT_EQ(std::count(g_dropLog.begin(), g_dropLog.end(), "drop"), 0);

    // The source's references are its own again.
    EXPECT_EQ(offersRurAdir.m_dwRef, 1);
    wnd.DestroyWindow();
    EXPECT_EQ(target.m_hWnd, nullptr);
}

// Views: the default target passes drags on; a view's own defaults refuse.
class CDropView : public CView
{
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, RGB(235, 245, 255));
        pDC->TextOut(10, 10, m_bAccepts ? L"Drop view (RurAdir)" : L"Refusing view");
        if (!m_dropped.IsEmpty())
            pDC->TextOut(10, 34, L"Dropped: " + m_dropped);
    }
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override
    {
        return m_bAccepts ? Answer(pDataObject) : CView::OnDragEnter(pDataObject, dwKeyState, point);
    }
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override
    {
        return m_bAccepts ? Answer(pDataObject) : CView::OnDragOver(pDataObject, dwKeyState, point);
    }
    BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override
    {
        if (!m_bAccepts)
            return CView::OnDrop(pDataObject, dropEffect, point);
        m_dropped = TextOf(pDataObject, m_cfAccepted).c_str();
        Invalidate();
        return TRUE;
    }
    DROPEFFECT Answer(COleDataObject* pDataObject) const
    {
        return pDataObject->IsDataAvailable(m_cfAccepted) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }
    bool m_bAccepts = false;
    CLIPFORMAT m_cfAccepted = 0;
    CString m_dropped;
};

TEST_F(OleTransferTest, DefaultTargetPassesDropsToViews)
{
    struct Case
    {
        const char* name;
        bool bView;
        bool bAccepts;
        DROPEFFECT expected;
    };
    const Case cases[] = {
        {"plain window", false, false, DROPEFFECT_NONE},
        {"view with the defaults", true, false, DROPEFFECT_NONE},
        {"view that takes RurAdir", true, true, DROPEFFECT_COPY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTargetWnd frame;
        ASSERT_TRUE(frame.Make(kTargetRect));
        CWnd* pTargetWnd = &frame;
        CDropView* pView = NULL;
        if (c.bView) {
            pView = new CDropView; // deletes itself with its window
            pView->m_bAccepts = c.bAccepts;
            pView->m_cfAccepted = m_cfRurAdir;
            CRect rect;
            frame.GetClientRect(&rect);
            ASSERT_TRUE(pView->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, rect, &frame, AFX_IDW_PANE_FIRST));
            pTargetWnd = pView;
        }
        ShowWithoutActivating(frame);
        frame.UpdateWindow();
        COleDropTarget target;
        ASSERT_TRUE(target.Register(pTargetWnd));

        COleDataSource source;
        source.CacheGlobalData(m_cfRurAdir, GlobalWithText(L"Orders"));
        EXPECT_EQ(DragAt(source, frame.ScreenCentre(), true), c.expected);
        if (pView != NULL) {
            EXPECT_EQ(pView->m_dropped, c.bAccepts ? L"Orders" : L"");
            if (c.bAccepts) {
                pView->UpdateWindow();
                EXPECT_TRUE(test_support::WriteWindowScreenshot(frame.m_hWnd, L"ole_drop_view"));
            }
        }
        frame.DestroyWindow();
        EXPECT_EQ(target.m_hWnd, nullptr);
    }
}

DWORD WINAPI RegisterWithoutOle(LPVOID lpResult)
{
    CTargetWnd wnd;
    BOOL bRegistered = TRUE;
    if (wnd.Make(CRect(0, 0, 50, 50))) {
        COleDropTarget target;
        bRegistered = target.Register(&wnd);
        wnd.DestroyWindow();
    }
    *static_cast<BOOL*>(lpResult) = bRegistered;
    return 0;
}

TEST_F(OleTransferTest, RegistrationFollowsOleAndTheWindowsLife)
{
    // A thread that never initialised OLE cannot register.
    BOOL bRegisteredWithoutOle = TRUE;
    HANDLE hThread = ::CreateThread(NULL, 0, RegisterWithoutOle, &bRegisteredWithoutOle, 0, NULL);
    ASSERT_NE(hThread, nullptr);
    ASSERT_TRUE(PumpUntilSignalled(hThread, 10000));
    ::CloseHandle(hThread);
    EXPECT_FALSE(bRegisteredWithoutOle);

    CRurAdirTarget target;
    target.m_cfAccepted = m_cfRurAdir;
    CTargetWnd first;
    ASSERT_TRUE(first.Make(kTargetRect));
    ShowWithoutActivating(first);
    const CPoint ptCentre = first.ScreenCentre();
    ASSERT_TRUE(target.Register(&first));
    CRurAdirTarget second;
    EXPECT_FALSE(second.Register(&first)); // the window has a target
    CTargetWnd other;
    ASSERT_TRUE(other.Make(CRect(0, 0, 50, 50)));
    EXPECT_FALSE(target.Register(&other)); // the target has a window
    other.DestroyWindow();

    // Once the window is gone, a drag where it was reaches no target.
    first.DestroyWindow();
    EXPECT_EQ(target.m_hWnd, nullptr);
    COleDataSource source;
    source.CacheGlobalData(m_cfRurAdir, GlobalWithText(L"Customers"));
    EXPECT_EQ(DragAt(source, ptCentre, true), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_TRUE(g_dropLog.empty());

    CTargetWnd next;
    ASSERT_TRUE(next.Make(kTargetRect));
    ShowWithoutActivating(next);
    ASSERT_TRUE(target.Register(&next));
    EXPECT_EQ(DragAt(source, next.ScreenCentre(), true), static_cast<DROPEFFECT>(DROPEFFECT_COPY));
    EXPECT_EQ(g_droppedText, L"Customers");
    next.DestroyWindow();
}

TEST_F(OleTransferTest, DragDoesNotStartWithoutAButtonDown)
{
    CTargetWnd wnd;
    ASSERT_TRUE(wnd.Make(kTargetRect));
    ShowWithoutActivating(wnd);
    CRurAdirTarget target;
    target.m_cfAccepted = m_cfRurAdir;
    ASSERT_TRUE(target.Register(&wnd));
    ::SetCursorPos(wnd.ScreenCentre().x, wnd.ScreenCentre().y);
    g_dropLog.clear();

    COleDataSource source;
    source.CacheGlobalData(m_cfRurAdir, GlobalWithText(L"Customers"));
    // The default drop source waits for the drag to start; with the button up it was a click.
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_TRUE(g_dropLog.empty());
    COleDropSource dropSource;
    EXPECT_FALSE(dropSource.OnBeginDrag(&wnd));
    EXPECT_EQ(::GetCapture(), nullptr);

    // The default answers to the system's loop.
    const struct
    {
        BOOL bEscape;
        DWORD dwKeys;
        SCODE expected;
    } answers[] = {
        {FALSE, MK_LBUTTON, S_OK},
        {FALSE, 0, DRAGDROP_S_DROP},
        {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
    };
    for (const auto& answer : answers)
        EXPECT_EQ(dropSource.QueryContinueDrag(answer.bEscape, answer.dwKeys), answer.expected);
    EXPECT_EQ(dropSource.GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    wnd.DestroyWindow();
}

// The drag start with a real button held down (input the system sees as the user's).
void SendButton(DWORD dwFlags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = dwFlags;
    ::SendInput(1, &input, sizeof(input));
}

CPoint g_ptMoveTo;

void CALLBACK ReleaseButtonTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    ::KillTimer(NULL, nTimer);
    SendButton(MOUSEEVENTF_LEFTUP);
}

void CALLBACK MoveCursorTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    ::KillTimer(NULL, nTimer);
    ::SetCursorPos(g_ptMoveTo.x, g_ptMoveTo.y);
}

TEST_F(OleTransferTest, DragStartsWhenTheCursorLeavesOrTheDelayPasses)
{
    CTargetWnd wnd;
    ASSERT_TRUE(wnd.Make(kTargetRect));
    ShowWithoutActivating(wnd);
    const CPoint ptCentre = wnd.ScreenCentre();
    // A long delay, so that what the timers do comes first however busy the machine is.
    ::WriteProfileStringW(L"windows", L"DragDelay", L"1500");
    struct Case
    {
        const char* name;
        TIMERPROC pfnTimer;
        CPoint ptMoveTo;
        BOOL bStarts;
        bool bBeforeDelay;
    };
    const Case cases[] = {
        {"button goes up first", ReleaseButtonTimer, CPoint(), FALSE, true},
        {"cursor leaves the widened rectangle", MoveCursorTimer, ptCentre + CPoint(40, 0), TRUE, true},
        {"cursor stays within the drag distance", MoveCursorTimer, ptCentre + CPoint(1, 1), TRUE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::SetCursorPos(ptCentre.x, ptCentre.y);
        SendButton(MOUSEEVENTF_LEFTDOWN);
        DrainMessages();
        ASSERT_LT(::GetKeyState(VK_LBUTTON), 0);
        g_ptMoveTo = c.ptMoveTo;
        ::SetTimer(NULL, 0, 50, c.pfnTimer);
        COleDropSource dropSource;
        dropSource.m_rectStartDrag.SetRect(ptCentre.x, ptCentre.y, ptCentre.x, ptCentre.y);
        const ULONGLONG start = ::GetTickCount64();
        EXPECT_EQ(dropSource.OnBeginDrag(&wnd), c.bStarts);
        const ULONGLONG elapsed = ::GetTickCount64() - start;
        EXPECT_EQ(elapsed < 1500, c.bBeforeDelay) << elapsed << " ms";
        EXPECT_EQ(dropSource.m_dwButtonDrop, static_cast<DWORD>(MK_LBUTTON));
        EXPECT_EQ(::GetCapture(), nullptr);
        SendButton(MOUSEEVENTF_LEFTUP);
        DrainMessages();
    }
    ::WriteProfileStringW(L"windows", L"DragDelay", NULL);
    wnd.DestroyWindow();
}

} // namespace
