// The Access preview in the preview pane of a test frame on the display: the structure tree and record list
// on the fixtures, the record limit's box and status text, deleting with its question, the drop target,
// damaged files, and the value texts of the record list.
#include <afxdao.h>
#include <afxole.h>
#include <afxwin.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../ui_controls/modal_script.h"
#include "dao_tree_view.h"
#include "main_preview_view.h"
#include "mdb_list_view.h"
#include "mdb_view.h"
#include "preview_test_frame.h"
#include "support/oracle_files.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "variant_text.h"

namespace {

CString TempPath(const char* prefix)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return CString(folder) + CString(test_support::UniqueTempName(prefix, ".mdb").c_str());
}

CString FixturePath(const char* name)
{
    return CString(
        test_support::RunningPlatformPath(std::string(PREVIEW_FIXTURES_DIR) + "/access/" + name).c_str());
}

// The texts of an item's children, in order.
std::vector<CString> Children(CTreeCtrl& tree, HTREEITEM hParent)
{
    std::vector<CString> texts;
    for (HTREEITEM hItem = tree.GetChildItem(hParent); hItem != NULL; hItem = tree.GetNextSiblingItem(hItem))
        texts.push_back(tree.GetItemText(hItem));
    return texts;
}

HTREEITEM FindChild(CTreeCtrl& tree, HTREEITEM hParent, const wchar_t* text)
{
    for (HTREEITEM hItem = tree.GetChildItem(hParent); hItem != NULL; hItem = tree.GetNextSiblingItem(hItem))
        if (tree.GetItemText(hItem) == text)
            return hItem;
    return NULL;
}

class MdbPreviewTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_pFrame != NULL)
            m_pFrame->DestroyWindow();
        PreviewTestApp().m_pMainWnd = NULL;
        Pump(50);
        for (const CString& path : m_copies)
            ::DeleteFileW(path);
    }

    void MakeHost()
    {
        m_pFrame = new CPreviewTestFrame;
        m_pFrame->m_pDoc = new CPreviewTestDoc;
        m_pFrame->m_bOpensDatabases = TRUE;
        ASSERT_TRUE(
            m_pFrame->Create(NULL, L"Access preview test", WS_OVERLAPPEDWINDOW, CRect(0, 0, 900, 600)));
        PreviewTestApp().m_pMainWnd = m_pFrame;
        ASSERT_TRUE(m_statusBar.Create(m_pFrame));
        const UINT indicator = ID_SEPARATOR;
        m_statusBar.SetIndicators(&indicator, 1);
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CMainPreviewView);
        context.m_pCurrentDoc = m_pFrame->m_pDoc;
        m_pHost = static_cast<CMainPreviewView*>(m_pFrame->CreateView(&context));
        ASSERT_NE(m_pHost, nullptr);
        m_pFrame->SetActiveView(m_pHost, FALSE);
        m_pFrame->RecalcLayout();
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        Pump(50);
    }

    // Shows a copy of the fixture in the preview pane (the preview works on a temporary copy).
    void ShowCopy(const char* fixture)
    {
        const CString copy = TempPath("mdb_preview_");
        ASSERT_TRUE(::CopyFileW(FixturePath(fixture), copy, FALSE));
        m_copies.push_back(copy);
        m_pFrame->ShowPreview(copy, L".mdb");
        Pump(50);
    }

    CMDB_View* MdbView() const { return DYNAMIC_DOWNCAST(CMDB_View, m_pHost->m_pViews[kPreviewMdb]); }
    CTreeCtrl& Tree() const { return MdbView()->m_pTreeView->GetTreeCtrl(); }
    CListCtrl& List() const { return *MdbView()->m_pListView->m_pListCtrl; }
    HTREEITEM Root() const { return Tree().GetRootItem(); }
    HTREEITEM Branch(const wchar_t* name) const { return FindChild(Tree(), Root(), name); }

    void Select(HTREEITEM hItem)
    {
        Tree().SelectItem(hItem);
        Pump(20);
    }

    std::vector<CString> Row(int row) const
    {
        std::vector<CString> texts;
        const int columns = List().GetHeaderCtrl()->GetItemCount();
        for (int c = 0; c < columns; ++c)
            texts.push_back(List().GetItemText(row, c));
        return texts;
    }

    std::vector<CString> Headers() const
    {
        std::vector<CString> texts;
        const int columns = List().GetHeaderCtrl()->GetItemCount();
        for (int c = 0; c < columns; ++c) {
            wchar_t text[128] = {};
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT;
            column.pszText = text;
            column.cchTextMax = 128;
            List().GetColumn(c, &column);
            texts.push_back(text);
        }
        return texts;
    }

    void Screenshot(const wchar_t* name)
    {
        m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(100);
        CRect rect;
        m_pHost->GetWindowRect(&rect);
        HDC hScreenDc = ::GetDC(NULL);
        test_support::WriteDcScreenshot(hScreenDc, rect, name);
        ::ReleaseDC(NULL, hScreenDc);
    }

    CPreviewTestFrame* m_pFrame = NULL;
    CMainPreviewView* m_pHost = NULL;
    CStatusBar m_statusBar;
    std::vector<CString> m_copies;
};

} // namespace

TEST_F(MdbPreviewTest, TreeShowsUserTablesRelationsAndQueriesWithTheirPictures)
{
    MakeHost();
    ShowCopy("jet4.mdb");
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    ASSERT_NE(MdbView(), nullptr);
    EXPECT_TRUE(MdbView()->IsWindowVisible());
    CTreeCtrl& tree = Tree();
    EXPECT_EQ(tree.GetItemText(Root()), L"Access DataBase");
    EXPECT_EQ(Children(tree, Root()), (std::vector<CString>{L"Tables", L"Relations", L"QueryDefs"}));
    EXPECT_EQ(Children(tree, Branch(L"Tables")),
              (std::vector<CString>{L"AllTypes", L"People", L"Orders", L"Big10000", L"Big9999"}));
    EXPECT_EQ(Children(tree, Branch(L"Relations")), std::vector<CString>{L"PeopleOrders"});
    EXPECT_EQ(Children(tree, Branch(L"QueryDefs")),
              (std::vector<CString>{L"PeopleQuery", L"DeleteOldOrders"}));
    const struct
    {
        HTREEITEM item;
        int picture;
    } pictures[] = {{Root(), 0},
                    {Branch(L"Tables"), 3},
                    {tree.GetChildItem(Branch(L"Tables")), 2},
                    {Branch(L"Relations"), 9},
                    {tree.GetChildItem(Branch(L"Relations")), 8},
                    {Branch(L"QueryDefs"), 11},
                    {tree.GetChildItem(Branch(L"QueryDefs")), 10}};
    for (const auto& p : pictures)
        EXPECT_EQ(CTreeCursor(p.item, &tree).GetImageID(), p.picture) << Narrow(tree.GetItemText(p.item));
    EXPECT_EQ(MdbView()->m_pTreeView->m_itemLastTable.GetText(), L"Big9999");
}

TEST_F(MdbPreviewTest, ATableFillsTheListAndOtherItemsLeaveItAlone)
{
    MakeHost();
    ShowCopy("jet4.mdb");
    ASSERT_NE(MdbView(), nullptr);
    Select(FindChild(Tree(), Branch(L"Tables"), L"AllTypes"));
    EXPECT_EQ(Headers(),
              (std::vector<CString>{L"Index", L"ID", L"Flag", L"Small", L"Count", L"Amount", L"Ratio",
                                    L"Measure", L"Stamp", L"Name", L"Notes", L"Picture", L"Key", L"Price"}));
    ASSERT_EQ(List().GetItemCount(), 4);
    const std::vector<CString> first = Row(0);
    EXPECT_EQ(first[0], L"0");
    EXPECT_EQ(first[1], L"1");
    EXPECT_EQ(first[2], L"TRUE");
    EXPECT_EQ(first[3], L"0xC8");
    EXPECT_EQ(first[4], L"-1234");
    EXPECT_EQ(first[8], L"07 14 21");
    EXPECT_EQ(first[9], CString(L"Zo\u00EB \u0141ukasz \u6F22\u5B57"));
    EXPECT_EQ(first[10], L"Short memo kept in the row");
    EXPECT_EQ(first[11], L"Array of VT_UI1");
    EXPECT_EQ(first[12], L"{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
    EXPECT_EQ(first[13], L"-12345.6789");
    EXPECT_EQ(Row(1)[2], L"FALSE");
    const std::vector<CString> nulls = Row(3);
    EXPECT_EQ(nulls[0], L"3");
    EXPECT_EQ(nulls[2], L"FALSE");
    for (std::size_t c = 3; c < nulls.size(); ++c)
        EXPECT_EQ(nulls[c], L"NULL") << c;
    Screenshot(L"preview_mdb_tree_and_records");

    const HTREEITEM others[] = {Branch(L"Tables"), Branch(L"Relations"),
                                Tree().GetChildItem(Branch(L"Relations")),
                                Tree().GetChildItem(Branch(L"QueryDefs")), Root()};
    for (HTREEITEM hItem : others) {
        Select(hItem);
        EXPECT_EQ(List().GetItemCount(), 4) << Narrow(Tree().GetItemText(hItem));
        EXPECT_EQ(Headers().size(), 14u);
    }
}

TEST_F(MdbPreviewTest, TheRecordLimitShowsItsBoxOnlyWhenReached)
{
    MakeHost();
    ShowCopy("jet4.mdb");
    ASSERT_NE(MdbView(), nullptr);
    std::wstring boxText;
    {
        ModalScript script({ModalScript::Do([&](HWND box) {
            boxText = BoxTextHolding(box, L"Loaded");
            ClickButton(box, IDOK);
        })});
        Select(FindChild(Tree(), Branch(L"Tables"), L"Big10000"));
        EXPECT_TRUE(script.AllStepsRan());
    }
    EXPECT_EQ(boxText, L"Loaded 10000 of 10000 total records");
    EXPECT_EQ(m_statusBar.GetPaneText(0), L"Loaded 10000 of 10000 total records");
    ASSERT_EQ(List().GetItemCount(), 10000);
    EXPECT_EQ(List().GetItemText(9999, 0), L"9999");
    EXPECT_EQ(List().GetItemText(9999, 2), L"Row 09999");

    {
        ModalScript script({ModalScript::Do([](HWND box) { ClickButton(box, IDOK); })}, 3000);
        Select(FindChild(Tree(), Branch(L"Tables"), L"Big9999"));
        EXPECT_EQ(script.Box(), nullptr);
    }
    EXPECT_EQ(m_statusBar.GetPaneText(0), L"Loaded 9999 of 9999 total records");
    EXPECT_EQ(List().GetItemCount(), 9999);
}

TEST_F(MdbPreviewTest, DeleteAsksAndYesRemovesTheTableFromTheCopy)
{
    MakeHost();
    ShowCopy("jet4.mdb");
    ASSERT_NE(MdbView(), nullptr);
    CDaoTreeView* pTreeView = MdbView()->m_pTreeView;
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        Select(FindChild(Tree(), Branch(L"Tables"), L"People"));
        std::wstring caption;
        std::wstring question;
        {
            ModalScript script({ModalScript::Do([&](HWND box) {
                caption = WindowText(box);
                for (HWND child = ::GetWindow(box, GW_CHILD); child != NULL;
                     child = ::GetWindow(child, GW_HWNDNEXT))
                    if (WindowText(child).find(L"delete") != std::wstring::npos)
                        question = WindowText(child);
                ClickButton(box, answer);
            })});
            Tree().SetFocus();
            Tree().SendMessage(WM_KEYDOWN, VK_DELETE, 0);
            EXPECT_TRUE(script.AllStepsRan());
        }
        EXPECT_EQ(caption, L"RurAdir - Warning");
        EXPECT_EQ(question, L"Are you sure you want to delete this item ?");
        const bool kept = FindChild(Tree(), Branch(L"Tables"), L"People") != NULL;
        EXPECT_EQ(kept, answer == IDNO);
        CDaoDatabase reopened;
        reopened.Open(m_copies.back(), FALSE, TRUE);
        bool listed = false;
        for (short i = 0; i < reopened.GetTableDefCount(); ++i) {
            CDaoTableDefInfo info;
            reopened.GetTableDefInfo(i, info);
            listed = listed || info.m_strName == L"People";
        }
        EXPECT_EQ(listed, answer == IDNO);
    }
    // A query goes the same way; the branch items stay whatever is answered.
    Select(FindChild(Tree(), Branch(L"QueryDefs"), L"PeopleQuery"));
    {
        ModalScript script({ModalScript::Do([](HWND box) { ClickButton(box, IDYES); })});
        Tree().SendMessage(WM_KEYDOWN, VK_DELETE, 0);
    }
    EXPECT_EQ(Children(Tree(), Branch(L"QueryDefs")), std::vector<CString>{L"DeleteOldOrders"});
    Select(Branch(L"Tables"));
    {
        ModalScript script({ModalScript::Do([](HWND box) { ClickButton(box, IDYES); })});
        Tree().SendMessage(WM_KEYDOWN, VK_DELETE, 0);
    }
    EXPECT_NE(Branch(L"Tables"), nullptr);
    EXPECT_EQ(pTreeView->m_pDB, m_pFrame->m_pDatabase.get());
    // The copy with People deleted stays for mdbtools to list (the next test in the run).
    m_pFrame->m_pDatabase->Close();
    const CString kept =
        CString(test_support::RunningPlatformPath(std::string(PREVIEW_DELETED_COPY)).c_str());
    EXPECT_TRUE(::CopyFileW(m_copies.back(), kept, FALSE));
}

TEST_F(MdbPreviewTest, TheDropTargetAcceptsTheProgramsFormatOnlyWithADatabase)
{
    MakeHost();
    ShowCopy("jet4.mdb");
    ASSERT_NE(MdbView(), nullptr);
    CDaoTreeView* pTreeView = MdbView()->m_pTreeView;
    EXPECT_EQ(pTreeView->m_dropTarget.m_hWnd, pTreeView->m_hWnd);
    const UINT format = ::RegisterClipboardFormatW(L"RurAdir");
    COleDataSource ours;
    ours.CacheGlobalData(static_cast<CLIPFORMAT>(format), ::GlobalAlloc(GMEM_MOVEABLE, 16));
    COleDataSource text;
    text.CacheGlobalData(CF_TEXT, ::GlobalAlloc(GMEM_MOVEABLE, 16));
    COleDataObject offered;
    offered.Attach(static_cast<LPDATAOBJECT>(ours.GetInterface(&IID_IDataObject)), FALSE);
    COleDataObject other;
    other.Attach(static_cast<LPDATAOBJECT>(text.GetInterface(&IID_IDataObject)), FALSE);
    const CPoint point(10, 10);
    EXPECT_EQ(pTreeView->OnDragEnter(&offered, 0, point), DROPEFFECT_COPY);
    EXPECT_EQ(pTreeView->OnDragOver(&offered, 0, point), DROPEFFECT_COPY);
    EXPECT_EQ(pTreeView->OnDragOver(&other, 0, point), DROPEFFECT_NONE);
    EXPECT_FALSE(pTreeView->OnDrop(&offered, DROPEFFECT_COPY, point));
    CDaoDatabase* pDatabase = pTreeView->m_pDB;
    pTreeView->m_pDB = NULL;
    EXPECT_EQ(pTreeView->OnDragEnter(&offered, 0, point), DROPEFFECT_NONE);
    pTreeView->m_pDB = pDatabase;
}

TEST_F(MdbPreviewTest, DamagedFilesAreReportedAndShowTheCorruptPlaceholder)
{
    const std::string jet4 =
        test_support::ReadWholeFile(std::string(PREVIEW_FIXTURES_DIR) + "/access/jet4.mdb");
    std::string crafted = jet4;
    // The catalog's column count runs far past its page.
    crafted[2 * 4096 + 45] = '\xFF';
    crafted[2 * 4096 + 46] = '\x0F';
    const struct
    {
        const wchar_t* name;
        std::string bytes;
    } cases[] = {{L"no database", std::string(9000, 'x')},
                 {L"truncated", jet4.substr(0, 2 * 4096 + 10)},
                 {L"crafted", crafted}};
    MakeHost();
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const CString path = TempPath("mdb_damaged_");
        m_copies.push_back(path);
        HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written = 0;
        ::WriteFile(file, c.bytes.data(), static_cast<DWORD>(c.bytes.size()), &written, NULL);
        ::CloseHandle(file);
        std::wstring report;
        {
            ModalScript script({ModalScript::Do([&](HWND box) {
                for (HWND child = ::GetWindow(box, GW_CHILD); child != NULL;
                     child = ::GetWindow(child, GW_HWNDNEXT))
                    if (WindowText(child).find(L"database") != std::wstring::npos)
                        report = WindowText(child);
                ClickButton(box, IDOK);
            })});
            m_pHost->ClosePreviewViews();
            m_pFrame->ShowPreview(path, L".mdb");
            EXPECT_TRUE(script.AllStepsRan());
        }
        EXPECT_NE(report.find(L"Unrecognized database format"), std::wstring::npos);
        EXPECT_FALSE(m_pFrame->m_bPreviewOk);
        EXPECT_TRUE(m_pFrame->m_bPreviewable);
        CWnd* pPlaceholder = m_pHost->m_pViews[kPreviewPlaceholder];
        ASSERT_NE(pPlaceholder, nullptr);
        EXPECT_TRUE(pPlaceholder->IsWindowVisible());
        EXPECT_FALSE(MdbView() != nullptr && MdbView()->IsWindowVisible());
    }
    Screenshot(L"preview_mdb_damaged_file");
}

TEST(VariantToText, EveryTypeHasItsText)
{
    const struct
    {
        VARTYPE type;
        const wchar_t* text;
    } named[] = {{VT_DISPATCH, L"VT_DISPATCH"},
                 {VT_ERROR, L"VT_ERROR"},
                 {VT_VARIANT, L"VT_VARIANT"},
                 {VT_UNKNOWN, L"VT_UNKNOWN"},
                 {VT_I1, L"VT_I1"},
                 {VT_UI2, L"VT_UI2"},
                 {VT_I8, L"VT_I8"},
                 {VT_LPWSTR, L"VT_LPWSTR"},
                 {VT_FILETIME, L"VT_FILETIME"},
                 {VT_CLSID, L"VT_CLSID"},
                 {VT_DECIMAL, L"Fish"},
                 {15, L"Fish"},
                 {32, L"Fish"},
                 {73, L"Fish"},
                 {VT_ARRAY | VT_UI1, L"Array of VT_UI1"},
                 {VT_BYREF | VT_I4, L"Pointer to VT_I4"},
                 {VT_ARRAY | VT_BYREF | VT_BSTR, L"Array of Pointer to VT_BSTR"},
                 {VT_ARRAY | VT_DECIMAL, L"Array of "},
                 {VT_BYREF | VT_EMPTY, L"Pointer to VT_EMPTY"}};
    for (const auto& c : named) {
        VARIANT raw;
        raw.vt = c.type;
        raw.llVal = 0;
        const COleVariant& value = *reinterpret_cast<const COleVariant*>(&raw);
        EXPECT_EQ(VariantToText(value), c.text) << c.type;
    }
    EXPECT_EQ(VariantToText(COleVariant()), L"NULL");
    COleVariant null;
    null.vt = VT_NULL;
    EXPECT_EQ(VariantToText(null), L"NULL");
    EXPECT_EQ(VariantToText(COleVariant(static_cast<short>(-12))), L"-12");
    EXPECT_EQ(VariantToText(COleVariant(123456L)), L"123456");
    EXPECT_EQ(VariantToText(COleVariant(static_cast<BYTE>(10))), L"0x0A");
    EXPECT_EQ(VariantToText(COleVariant(static_cast<short>(-1), VT_BOOL)), L"TRUE");
    EXPECT_EQ(VariantToText(COleVariant(static_cast<short>(0), VT_BOOL)), L"FALSE");
    EXPECT_EQ(VariantToText(COleVariant(L"Gr\u00FC\u00DFe")), L"Gr\u00FC\u00DFe");
    EXPECT_EQ(VariantToText(COleVariant(COleDateTime(2021, 7, 14, 13, 45, 10))), L"07 14 21");
    // "%e" of the value (a 4-byte real widened first).
    CString expected;
    expected.Format(L"%e", 1.5);
    EXPECT_EQ(VariantToText(COleVariant(1.5f)), expected);
    expected.Format(L"%e", -2.25e-7);
    EXPECT_EQ(VariantToText(COleVariant(-2.25e-7)), expected);
    CURRENCY amount;
    amount.int64 = 12345678;
    EXPECT_EQ(VariantToText(COleVariant(COleCurrency(amount))),
              COleCurrency(amount).Format(0, LOCALE_USER_DEFAULT));
}
