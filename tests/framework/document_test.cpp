// Documents and templates on the test display: the single-document template makes document,
// frame and view and reuses the document; files are read through Serialize and failures leave
// no half-loaded document; closing the main frame closes the document; commands reach view,
// document, template, frame and application; control views are their common control.
#include <afxcview.h>
#include <afxpriv.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame_test_ids.h"
#include "support/screenshot.h"
#include "test_app.h"

namespace {

std::vector<std::wstring> g_route;
int g_docsDeleted = 0;
int g_framesDeleted = 0;
int g_viewsDeleted = 0;

// A command target of the chain: ID_CMD_CHAIN notes its name in g_route on the way and goes on.
template <class TBase, const wchar_t* pszName> class ChainLink : public TBase
{
public:
    using TBase::TBase;

protected:
    afx_msg BOOL OnChain(UINT)
    {
        g_route.push_back(pszName);
        return FALSE;
    }
    // Written out: the map macros name a single class.
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    static const AFX_MSGMAP* PASCAL GetThisMessageMap()
    {
        typedef ChainLink ThisClass;
        // clang-format off
        static const AFX_MSGMAP_ENTRY entries[] = {
            ON_COMMAND_EX(ID_CMD_CHAIN, OnChain)
            {0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};
        // clang-format on
        static const AFX_MSGMAP map = {&TBase::GetThisMessageMap, &entries[0]};
        return &map;
    }
};

constexpr wchar_t kDocumentLink[] = L"document";
constexpr wchar_t kViewLink[] = L"view";
constexpr wchar_t kFrameLink[] = L"frame";
constexpr wchar_t kTemplateLink[] = L"template";

class CTestDoc : public ChainLink<CDocument, kDocumentLink>
{
    DECLARE_DYNCREATE(CTestDoc)
public:
    ~CTestDoc() override { ++g_docsDeleted; }
    void Serialize(CArchive& ar) override
    {
        ++m_nSerialized;
        if (ar.IsLoading())
            ar >> m_strContent;
        else
            ar << m_strContent;
    }
    void DeleteContents() override { m_strContent.Empty(); }
    CString m_strContent;
    int m_nSerialized = 0;
};

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

using CDocViewBase = ChainLink<CView, kViewLink>;

class CDocView : public CDocViewBase
{
    DECLARE_DYNCREATE(CDocView)
public:
    ~CDocView() override { ++g_viewsDeleted; }
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, RGB(245, 248, 255));
        CTestDoc* pDoc = static_cast<CTestDoc*>(GetDocument());
        pDC->TextOut(8, 8, pDoc != NULL ? pDoc->m_strContent : CString(L"(no document)"));
    }
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        ++m_nUpdates;
        CView::OnUpdate(pSender, lHint, pHint);
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { ++m_nPrintRuns; }
    int m_nUpdates = 0;
    int m_nPrintRuns = 0;

protected:
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CDocView, CView)
// clang-format off
BEGIN_MESSAGE_MAP(CDocView, CDocViewBase)
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()
// clang-format on

class CDocFrame : public ChainLink<CFrameWnd, kFrameLink>
{
    DECLARE_DYNCREATE(CDocFrame)
public:
    ~CDocFrame() override { ++g_framesDeleted; }
    // Shown without activation: an activated window is slow to go on the test display.
    void ActivateFrame(int) override { ShowWindow(SW_SHOWNOACTIVATE); }
};

IMPLEMENT_DYNCREATE(CDocFrame, CFrameWnd)

class CTestTemplate : public ChainLink<CSingleDocTemplate, kTemplateLink>
{
public:
    CTestTemplate()
        : ChainLink(IDR_TEST_DOC, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CDocFrame), RUNTIME_CLASS(CDocView))
    {}
};

CString TempFolderFile(LPCTSTR lpszName)
{
    wchar_t szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    CString folder = CString(szTemp) + L"dir with space";
    ::CreateDirectoryW(folder, NULL);
    return folder + L"\\" + lpszName;
}

void WriteDocumentFile(LPCTSTR lpszPath, LPCTSTR lpszContent)
{
    CFile file(lpszPath, CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ar << CString(lpszContent);
    ar.Close();
}

void WriteRawFile(LPCTSTR lpszPath, const char* bytes, UINT nBytes)
{
    CFile file(lpszPath, CFile::modeCreate | CFile::modeWrite);
    file.Write(bytes, nBytes);
}

CString TitleOf(CWnd* pWnd)
{
    CString text;
    pWnd->GetWindowText(text);
    return text;
}

VOID CALLBACK SafetyQuit(HWND, UINT, UINT_PTR, DWORD)
{
    ::PostQuitMessage(99);
}

class DocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_route.clear();
        g_docsDeleted = g_framesDeleted = g_viewsDeleted = 0;
        theApp.m_messageBoxes.clear();
        theApp.m_nMessageBoxAnswer = IDNO;
        m_pTemplate = new CTestTemplate;
        theApp.AddDocTemplate(m_pTemplate);
    }
    void TearDown() override
    {
        if (CWnd* pMain = theApp.m_pMainWnd) {
            theApp.m_nMessageBoxAnswer = IDNO;
            pMain->DestroyWindow();
        }
        theApp.m_pMainWnd = NULL;
        delete theApp.m_pDocManager;
        theApp.m_pDocManager = NULL;
        theApp.m_nMessageBoxAnswer = IDOK;
        DrainMessages();
    }
    CTestDoc* OpenNew()
    {
        CTestDoc* pDoc = static_cast<CTestDoc*>(m_pTemplate->OpenDocumentFile(NULL));
        m_pFrame = static_cast<CFrameWnd*>(theApp.m_pMainWnd);
        return pDoc;
    }

    CTestTemplate* m_pTemplate = NULL;
    CFrameWnd* m_pFrame = NULL;
};

TEST_F(DocumentTest, TheTemplateMakesDocumentFrameAndViewAndReusesTheDocumentForFiles)
{
    CString strName;
    EXPECT_TRUE(m_pTemplate->GetDocString(strName, CDocTemplate::regFileTypeName));
    EXPECT_EQ(strName, L"Test Document");
    EXPECT_EQ(theApp.m_pDocManager->GetFilter(NULL), L"Test Files (*.tdoc)|*.tdoc|All Files (*.*)|*.*||");

    CTestDoc* pDoc = OpenNew();
    ASSERT_NE(pDoc, nullptr);
    ASSERT_NE(m_pFrame, nullptr);
    EXPECT_TRUE(m_pFrame->IsKindOf(RUNTIME_CLASS(CDocFrame)));
    CView* pView = m_pFrame->GetActiveView();
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(pView->GetDocument(), pDoc);
    EXPECT_EQ(pDoc->GetDocTemplate(), m_pTemplate);
    EXPECT_EQ(TitleOf(m_pFrame), L"Untitled - Test App");

    const CString path = TempFolderFile(L"A.TDOC");
    WriteDocumentFile(path, L"contents of A");
    EXPECT_EQ(theApp.OpenDocumentFile(path), pDoc);
    EXPECT_EQ(pDoc->m_strContent, L"contents of A");
    EXPECT_EQ(pDoc->m_nSerialized, 1);
    EXPECT_EQ(pDoc->GetPathName().CompareNoCase(path), 0);
    EXPECT_EQ(TitleOf(m_pFrame), L"A.TDOC - Test App");
    EXPECT_EQ(theApp.m_pMainWnd, m_pFrame);
    test_support::WriteWindowScreenshot(m_pFrame->m_hWnd, L"document_frame");

    // The same path again is the open document, not read a second time.
    EXPECT_EQ(theApp.OpenDocumentFile(path), pDoc);
    EXPECT_EQ(pDoc->m_nSerialized, 1);

    // A file that cannot be opened changes nothing.
    EXPECT_EQ(theApp.OpenDocumentFile(TempFolderFile(L"missing.tdoc")), nullptr);
    EXPECT_EQ(theApp.m_messageBoxes, std::vector<std::wstring>{L"Failed to open document."});
    EXPECT_EQ(pDoc->m_strContent, L"contents of A");
    EXPECT_EQ(TitleOf(m_pFrame), L"A.TDOC - Test App");
    const CString locked = TempFolderFile(L"locked.tdoc");
    WriteDocumentFile(locked, L"locked");
    {
        CFile holder(locked, CFile::modeReadWrite | CFile::shareExclusive);
        EXPECT_EQ(theApp.OpenDocumentFile(locked), nullptr);
    }
    EXPECT_EQ(pDoc->m_strContent, L"contents of A");
    EXPECT_EQ(theApp.m_messageBoxes.size(), 2u);

    // A file that opens but cannot be read leaves no half-loaded document: a new one instead.
    const CString damaged = TempFolderFile(L"damaged.tdoc");
    WriteRawFile(damaged, "\xFF\xFE\xFF\x40\x41", 5); // a string of 64 characters, cut short
    EXPECT_EQ(theApp.OpenDocumentFile(damaged), nullptr);
    EXPECT_EQ(theApp.m_messageBoxes.back(), L"Failed to open document.");
    EXPECT_TRUE(pDoc->m_strContent.IsEmpty());
    EXPECT_TRUE(pDoc->GetPathName().IsEmpty());
    EXPECT_EQ(TitleOf(m_pFrame), L"Untitled - Test App");
    EXPECT_EQ(g_docsDeleted, 0);
}

TEST_F(DocumentTest, ViewsAreTheDocumentsAndUpdatesSkipTheSender)
{
    CTestDoc* pDoc = OpenNew();
    ASSERT_NE(pDoc, nullptr);
    CDocView* pFirst = static_cast<CDocView*>(m_pFrame->GetActiveView());
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CDocView);
    context.m_pCurrentDoc = pDoc;
    CDocView* pSecond = static_cast<CDocView*>(m_pFrame->CreateView(&context, AFX_IDW_PANE_FIRST + 1));
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(pSecond->GetDocument(), pDoc);
    const int nFirst = pFirst->m_nUpdates, nSecond = pSecond->m_nUpdates;
    pDoc->UpdateAllViews(pFirst);
    EXPECT_EQ(pFirst->m_nUpdates, nFirst);
    EXPECT_EQ(pSecond->m_nUpdates, nSecond + 1);

    // A view that goes leaves the document; the document stays while another view shows it.
    pSecond->DestroyWindow();
    POSITION pos = pDoc->GetFirstViewPosition();
    EXPECT_EQ(pDoc->GetNextView(pos), pFirst);
    EXPECT_EQ(pos, nullptr);
    EXPECT_EQ(g_docsDeleted, 0);
}

TEST_F(DocumentTest, ClosingTheMainFrameAsksClosesTheDocumentAndEndsTheLoop)
{
    CTestDoc* pDoc = OpenNew();
    ASSERT_NE(pDoc, nullptr);
    pDoc->SetModifiedFlag();
    theApp.m_nMessageBoxAnswer = IDCANCEL;
    m_pFrame->SendMessage(WM_CLOSE);
    EXPECT_EQ(theApp.m_messageBoxes, std::vector<std::wstring>{L"Save changes to Untitled?"});
    EXPECT_EQ(theApp.m_pMainWnd, m_pFrame); // Cancel keeps it
    EXPECT_EQ(g_framesDeleted, 0);

    theApp.m_nMessageBoxAnswer = IDNO;
    DrainMessages();
    m_pFrame->PostMessage(WM_CLOSE);
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 10000, &SafetyQuit);
    const int nExit = theApp.Run();
    ::KillTimer(NULL, nTimer);
    EXPECT_NE(nExit, 99); // the loop ended by the close, not by the safety timer
    EXPECT_EQ(g_framesDeleted, 1);
    EXPECT_EQ(g_viewsDeleted, 1);
    EXPECT_EQ(g_docsDeleted, 1);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_EQ(m_pTemplate->GetFirstDocPosition(), nullptr);
}

TEST_F(DocumentTest, CommandsReachViewDocumentTemplateFrameAndApplicationInOrder)
{
    ASSERT_NE(OpenNew(), nullptr);
    theApp.m_commandLog.clear();
    // The application's handler is the last stop; each stage before it passes the command on.
    struct Stage
    {
        UINT nID;
        std::vector<std::wstring> route;
    };
    const Stage stages[] = {
        {ID_CMD_CHAIN, {L"view", L"document", L"template", L"frame"}},
        {ID_TEST_APP_ONLY, {}},
    };
    for (const Stage& stage : stages) {
        g_route.clear();
        m_pFrame->PostMessage(WM_COMMAND, stage.nID);
        DrainMessages();
        EXPECT_EQ(g_route, stage.route);
    }
    EXPECT_EQ(theApp.m_commandLog, std::vector<std::wstring>{L"app:33001"});
}

TEST_F(DocumentTest, SavingWritesThroughSerializeAndAnsweringYesSavesBeforeClosing)
{
    theApp.OnFileNew();
    CTestDoc* pDoc = static_cast<CTestDoc*>(m_pTemplate->m_pOnlyDoc);
    ASSERT_NE(pDoc, nullptr);
    m_pFrame = static_cast<CFrameWnd*>(theApp.m_pMainWnd);
    const CString path = TempFolderFile(L"B.TDOC");
    ::DeleteFileW(path);
    pDoc->m_strContent = L"saved text";
    pDoc->SetModifiedFlag();
    EXPECT_TRUE(pDoc->DoSave(path));
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(TitleOf(m_pFrame), L"B.TDOC - Test App");
    pDoc->m_strContent.Empty();
    EXPECT_TRUE(pDoc->OnOpenDocument(path));
    EXPECT_EQ(pDoc->m_strContent, L"saved text");

    // Yes to "Save changes" writes the file under its name before the document closes.
    pDoc->m_strContent = L"changed";
    pDoc->SetModifiedFlag();
    theApp.m_nMessageBoxAnswer = IDYES;
    m_pFrame->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    EXPECT_EQ(theApp.m_messageBoxes, std::vector<std::wstring>{L"Save changes to B.TDOC?"});
    EXPECT_EQ(g_docsDeleted, 1);
    EXPECT_EQ(g_framesDeleted, 1);
    CTestDoc reader;
    reader.m_bAutoDelete = FALSE;
    EXPECT_TRUE(reader.OnOpenDocument(path));
    EXPECT_EQ(reader.m_strContent, L"changed");
    theApp.m_pMainWnd = NULL;
}

BOOL CALLBACK CancelDialog(HWND hWnd, LPARAM)
{
    wchar_t className[16] = {};
    ::GetClassNameW(hWnd, className, 16);
    if (::IsWindowVisible(hWnd) && ::lstrcmpW(className, L"#32770") == 0) {
        test_support::WriteWindowScreenshot(hWnd, L"print_dialog_without_printer");
        ::PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

// Cancels any dialog of this thread (Wine's notice that no printer is installed).
VOID CALLBACK CancelDialogs(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), &CancelDialog, 0);
}

TEST_F(DocumentTest, PrintingWithoutAPrinterPrintsNothingAndPreviewDoesNothing)
{
    ASSERT_NE(OpenNew(), nullptr);
    CDocView* pView = static_cast<CDocView*>(m_pFrame->GetActiveView());
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 3000, &CancelDialogs);
    m_pFrame->SendMessage(WM_COMMAND, ID_FILE_PRINT);
    m_pFrame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    ::KillTimer(NULL, nTimer);
    EXPECT_EQ(pView->m_nPrintRuns, 0);
    CPrintInfo info;
    EXPECT_EQ(info.GetMinPage(), 1u);
    EXPECT_EQ(info.GetMaxPage(), 0xFFFFu);
    EXPECT_FALSE(pView->DoPreparePrinting(NULL));
}

// A list view whose click arrives reflected.
class CClickListView : public CListView
{
    DECLARE_DYNCREATE(CClickListView)
public:
    int m_nClicks = 0;

protected:
    afx_msg void OnClick(NMHDR*, LRESULT* pResult)
    {
        ++m_nClicks;
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CClickListView, CListView)
// clang-format off
BEGIN_MESSAGE_MAP(CClickListView, CListView)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
END_MESSAGE_MAP()
// clang-format on

TEST(ControlViews, AListViewIsTheListControlAndGetsItsReflectedClicks)
{
    CFrameWnd* pFrame = new CFrameWnd;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CClickListView);
    ASSERT_TRUE(pFrame->LoadFrame(IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW, NULL, &context));
    pFrame->InitialUpdateFrame(NULL, FALSE);
    pFrame->SetWindowPos(NULL, 40, 40, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWithoutActivating(*pFrame);
    CClickListView* pView = static_cast<CClickListView*>(pFrame->GetActiveView());
    ASSERT_NE(pView, nullptr);
    wchar_t className[32] = {};
    ::GetClassNameW(pView->m_hWnd, className, 32);
    EXPECT_STREQ(className, L"SysListView32");

    CListCtrl& list = pView->GetListCtrl();
    EXPECT_EQ(list.m_hWnd, pView->m_hWnd);
    pView->ModifyStyle(LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(list.InsertColumn(0, L"Name", LVCFMT_LEFT, 160), 0);
    EXPECT_EQ(list.InsertItem(0, L"first"), 0);
    EXPECT_EQ(list.InsertItem(1, L"second"), 1);
    EXPECT_EQ(::SendMessage(pView->m_hWnd, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(CWnd::FromHandlePermanent(pView->m_hWnd), pView);

    NMHDR hdr = {pView->m_hWnd, AFX_IDW_PANE_FIRST, static_cast<UINT>(NM_CLICK)};
    pFrame->SendMessage(WM_NOTIFY, AFX_IDW_PANE_FIRST, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(pView->m_nClicks, 1);
    test_support::WriteWindowScreenshot(pFrame->m_hWnd, L"list_view");
    pFrame->DestroyWindow();

    // A tree view likewise.
    pFrame = new CFrameWnd;
    context.m_pNewViewClass = RUNTIME_CLASS(CTreeView);
    ASSERT_TRUE(pFrame->LoadFrame(IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW, NULL, &context));
    CTreeView* pTree = static_cast<CTreeView*>(pFrame->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE));
    ASSERT_NE(pTree, nullptr);
    EXPECT_NE(pTree->GetTreeCtrl().InsertItem(L"root"), nullptr);
    EXPECT_EQ(pTree->GetTreeCtrl().GetCount(), 1u);
    pFrame->DestroyWindow();
    DrainMessages();
}

} // namespace
