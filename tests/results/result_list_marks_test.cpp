// The result list's marks after a real Quick Scan: boxes clicked as the user clicks them keep the tree's
// tri-state marks in step and come back when the folder is opened again; the context menu with its view
// styles, a rename's checks, and the File/Folder Properties of a file and of a folder.
#include "app_test_app.h"
#include "box_answerer.h"
#include "results_test_support.h"

#include <gtest/gtest.h>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/trace/trace_records.h"
#include "find_files_dlg.h"
#include "preview_copies.h"
#include "preview_hand_over.h"
#include "properties_dlg.h"
#include "recovery_app.h"
#include "results_resource_ids.h"
#include "results_step_host.h"
#include "results_view.h"
#include "support/screenshot.h"
#include "wizard_state.h"

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

HTREEITEM ItemNamed(CRecoveryTreeCtrl& tree, HTREEITEM parent, LPCWSTR name)
{
    for (HTREEITEM child = tree.GetChildItem(parent); child != NULL; child = tree.GetNextSiblingItem(child))
        if (tree.GetItemText(child) == name)
            return child;
    return NULL;
}

// The marks of the rows below the up entry, by name.
std::vector<std::pair<std::string, int>> RowMarks()
{
    CResultListCtrl& list = Results()->ResultList();
    std::vector<std::pair<std::string, int>> marks;
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (!list.IsParentRow(row))
            marks.emplace_back(Utf8(list.GetItemText(row, 0)), list.GetCheckState(row));
    return marks;
}

class ResultListMarksTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(StartedFrame(), nullptr);
        StartedFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        // Nothing marked to begin with.
        tree.OnItemClick(TVHT_ONITEMSTATEICON, tree.GetRootItem());
        if (tree.GetItemCheckState(tree.GetRootItem()) != kTreeUnchecked)
            tree.OnItemClick(TVHT_ONITEMSTATEICON, tree.GetRootItem());
        ASSERT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreeUnchecked);
    }
    void TearDown() override
    {
        // A double click previews the row it ends on: its copy goes.
        ResetResultsAndTempFiles();
        Results()->ResultList().TempPreviewFiles.clear();
        Results()->ResultList().SetMenuTracker({});
        ScanSelection.scanKind = kScanQuick;
        ResetResultsView();
    }

    // The folder's tree item clicked on its label: its rows listed.
    HTREEITEM ListFolder(LPCWSTR name)
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        HTREEITEM item = ItemNamed(tree, tree.GetRootItem(), name);
        if (item != NULL)
            tree.OnItemClick(TVHT_ONITEMLABEL, item);
        return item;
    }
};

TEST_F(ResultListMarksTest, BoxesClickedInAFolderCheckItsTreeItemAllNoneOrPartly)
{
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    HTREEITEM sizes = ListFolder(L"Sizes");
    ASSERT_NE(sizes, nullptr);
    ASSERT_EQ(list.GetItemCount(), 7) << "the up entry and six files";
    for (const auto& [name, mark] : RowMarks())
        EXPECT_EQ(mark, 0) << name;

    // Every row marked, each by one press on its box: the folder is checked, the root partly.
    for (int row = 1; row < list.GetItemCount(); ++row) {
        ClickRowBox(row);
        EXPECT_EQ(list.GetCheckState(row), 1) << "one press marks once";
        if (row + 1 < list.GetItemCount()) {
            EXPECT_EQ(tree.GetItemCheckState(sizes), kTreePartlyChecked);
        }
    }
    EXPECT_EQ(tree.GetItemCheckState(sizes), kTreeChecked);
    EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreePartlyChecked);
    EXPECT_EQ(list.CheckedFolderItems.count(reinterpret_cast<TreeItemValue>(sizes)), 1u);
    EXPECT_EQ(list.CheckedFileIds.size(), 6u);

    // One unmarked: partly checked, and the folder is no longer saved whole.
    ClickRowBox(2);
    EXPECT_EQ(tree.GetItemCheckState(sizes), kTreePartlyChecked);
    EXPECT_EQ(list.CheckedFolderItems.count(reinterpret_cast<TreeItemValue>(sizes)), 0u);
    EXPECT_EQ(list.CheckedFileIds.size(), 5u);

    // None marked: unchecked, and so is the root.
    for (int row = 1; row < list.GetItemCount(); ++row)
        if (list.GetCheckState(row) == 1)
            ClickRowBox(row);
    EXPECT_EQ(tree.GetItemCheckState(sizes), kTreeUnchecked);
    EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreeUnchecked);
    EXPECT_TRUE(list.CheckedFileIds.empty());

    // A mix, then up to the root and back into the folder by double clicks: the same marks.
    ClickRowBox(1);
    ClickRowBox(3);
    list.SetFocus();
    list.SetSelectionMark(5);
    list.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    const auto mixed = RowMarks();
    EXPECT_EQ(tree.GetItemCheckState(sizes), kTreePartlyChecked);
    {
        BoxAnswerer answerer(IDOK);
        list.OnRowDoubleClick(0);
        const int row = RowNamed(L"Sizes");
        ASSERT_GE(row, 0);
        EXPECT_EQ(list.GetCheckState(row), 0) << "a partly marked folder's row";
        list.OnRowDoubleClick(row);
    }
    EXPECT_EQ(RowMarks(), mixed);
    int marked = 0;
    for (const auto& [name, mark] : mixed)
        marked += mark;
    EXPECT_EQ(marked, 3);
    Screenshot(L"result_list_partly_marked_folder");
}

TEST_F(ResultListMarksTest, AFolderRowsBoxMarksTheFolderWithWhatItHoldsAndTheRootFollows)
{
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    tree.OnItemClick(TVHT_ONITEMLABEL, tree.GetRootItem());
    HTREEITEM level1 = ItemNamed(tree, tree.GetRootItem(), L"Level1");
    ASSERT_NE(level1, nullptr);
    const int row = RowNamed(L"Level1");
    ASSERT_GE(row, 0);
    ClickRowBox(row);
    EXPECT_EQ(tree.GetItemCheckState(level1), kTreeChecked);
    EXPECT_EQ(tree.GetItemCheckState(tree.GetChildItem(level1)), kTreeChecked) << "Level2";
    EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreePartlyChecked);
    {
        BoxAnswerer answerer(IDOK);
        list.OnRowDoubleClick(RowNamed(L"Level1"));
    }
    for (const auto& [name, mark] : RowMarks())
        EXPECT_EQ(mark, 1) << name;

    // Back in the root, every row marked: the root is checked with everything below it.
    {
        BoxAnswerer answerer(IDOK);
        list.OnRowDoubleClick(0);
    }
    for (int at = 0; at < list.GetItemCount(); ++at)
        if (list.GetCheckState(at) == 0)
            list.OnBoxClick(at);
    EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreeChecked);
    // The folder row unmarked again: the folder and its files are out, the root partly checked.
    list.OnBoxClick(RowNamed(L"Level1"));
    EXPECT_EQ(tree.GetItemCheckState(level1), kTreeUnchecked);
    EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreePartlyChecked);
    for (const FatFileRec* file = fatFiles.head; file != nullptr; file = file->next) {
        bool found = false;
        std::uint32_t parent = file->parentCluster;
        for (const FatFolderRec* folder = fatFolders.head; folder != nullptr; folder = folder->next)
            if (folder->treeItem == reinterpret_cast<TreeItemValue>(level1) && folder->firstCluster == parent)
                found = true;
        if (found) {
            EXPECT_EQ(list.CheckedFileIds.count(file->fileId), 0u);
        }
    }
}

TEST_F(ResultListMarksTest, ATreeBoxClickedWhileAnotherFolderIsListedKeepsItsMark)
{
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    tree.OnItemClick(TVHT_ONITEMLABEL, tree.GetRootItem());
    HTREEITEM level1 = ItemNamed(tree, tree.GetRootItem(), L"Level1");
    ASSERT_NE(level1, nullptr);
    HTREEITEM level2 = tree.GetChildItem(level1);
    tree.Expand(level1, TVE_EXPAND);
    // The press and the release on Level2's box, with the root's unmarked rows listed.
    const CPoint point = TreeBoxPoint(tree, level2);
    UINT flags = 0;
    ASSERT_EQ(tree.HitTest(point, &flags), level2);
    ASSERT_NE(flags & TVHT_ONITEMSTATEICON, 0u);
    {
        BoxAnswerer answerer(IDOK);
        tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    }
    tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    EXPECT_EQ(tree.GetItemCheckState(level2), kTreeChecked);
    EXPECT_EQ(tree.GetItemCheckState(level1), kTreePartlyChecked);
    EXPECT_EQ(Results()->ResultList().CheckedFolderItems.count(reinterpret_cast<TreeItemValue>(level2)), 1u);
}

TEST_F(ResultListMarksTest, AfterAFileTraceATypesRowMarksItsItemsAndItsTreeItemFollowsTheRows)
{
    CResultListCtrl& list = Results()->ResultList();
    list.ClearMarks();
    const HTREEITEM root = BuildFileTraceTree({
        {u"1.jpg", u"jpg", u"JPEG Image"},
        {u"2.png", u"png", u"PNG Image"},
        {u"3.jpeg", u"jpeg", u"JPEG Image"},
    });
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    HTREEITEM jpeg = ItemNamed(tree, root, L"JPEG Image");
    HTREEITEM png = ItemNamed(tree, root, L"PNG Image");
    ASSERT_NE(jpeg, nullptr);
    ASSERT_NE(png, nullptr);

    // The root lists the types: PNG's row marks its one item and checks its item.
    tree.OnItemClick(TVHT_ONITEMLABEL, root);
    ASSERT_EQ(list.GetItemCount(), 2);
    list.OnBoxClick(RowNamed(L"PNG Image"));
    EXPECT_EQ(list.CheckedFileIds, (std::set<std::uint64_t>{2}));
    EXPECT_EQ(tree.GetItemCheckState(png), kTreeChecked);
    EXPECT_EQ(tree.GetItemCheckState(root), kTreePartlyChecked);

    // JPEG's items listed and marked one by one: its item checked, and the root with it.
    tree.OnItemClick(TVHT_ONITEMLABEL, jpeg);
    ASSERT_EQ(list.GetItemCount(), 2);
    for (int row = 0; row < 2; ++row)
        list.OnBoxClick(row);
    EXPECT_EQ(tree.GetItemCheckState(jpeg), kTreeChecked);
    EXPECT_EQ(tree.GetItemCheckState(root), kTreeChecked);
    list.OnBoxClick(RowNamed(L"3.jpeg"));
    EXPECT_EQ(tree.GetItemCheckState(jpeg), kTreePartlyChecked);
    EXPECT_EQ(list.CheckedFileIds, (std::set<std::uint64_t>{1, 2}));

    // The type's listing runs with the please-wait box's stop: set before it begins, no item is listed.
    tree.OnItemClick(TVHT_ONITEMLABEL, root);
    const std::atomic<bool> stopped{true};
    list.SetSelectionMark(RowNamed(L"JPEG Image"));
    list.OpenEntry(1, &stopped);
    EXPECT_EQ(list.GetItemCount(), 0);

    // Back in the root, a double click on JPEG's row lists its items as they are marked.
    tree.OnItemClick(TVHT_ONITEMLABEL, root);
    {
        BoxAnswerer answerer(IDOK);
        list.OnRowDoubleClick(RowNamed(L"JPEG Image"));
    }
    EXPECT_EQ(tree.GetSelectedItem(), jpeg);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetCheckState(RowNamed(L"1.jpg")), 1);
    EXPECT_EQ(list.GetCheckState(RowNamed(L"3.jpeg")), 0);

    // The root's box unchecks everything.
    tree.OnItemClick(TVHT_ONITEMSTATEICON, root);
    EXPECT_TRUE(list.CheckedFileIds.empty());
    EXPECT_EQ(tree.GetItemCheckState(jpeg), kTreeUnchecked);
    tree.OnItemClick(TVHT_ONITEMSTATEICON, root);
    EXPECT_EQ(list.CheckedFileIds, (std::set<std::uint64_t>{1, 2, 3}));
    FreeTraceFoundList();
}

// Records the menu the list shows and chooses one of its commands.
struct MenuChoice
{
    std::vector<std::wstring> texts;
    UINT command = 0;

    std::function<int(CMenu*, CPoint)> Tracker()
    {
        return [this](CMenu* pMenu, CPoint) {
            texts.clear();
            for (UINT at = 0; at < pMenu->GetMenuItemCount(); ++at) {
                CString text;
                pMenu->GetMenuString(at, text, MF_BYPOSITION);
                if (!text.IsEmpty())
                    texts.push_back(static_cast<LPCWSTR>(text));
            }
            return static_cast<int>(command);
        };
    }
};

void RightClickRow(int row)
{
    CResultListCtrl& list = Results()->ResultList();
    CRect label;
    ASSERT_TRUE(list.GetItemRect(row, &label, LVIR_LABEL));
    list.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(label.left + 10, label.CenterPoint().y));
    list.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(label.left + 10, label.CenterPoint().y));
}

TEST_F(ResultListMarksTest, TheContextMenuSwitchesTheViewAndFileTraceLacksFindSettingsAndProperties)
{
    CResultListCtrl& list = Results()->ResultList();
    ListFolder(L"Sizes");
    MenuChoice choice;
    list.SetMenuTracker(choice.Tracker());
    // No menu while the Find File(s) dialog is open.
    FindDlgOpen = 1;
    RightClickRow(2);
    FindDlgOpen = 0;
    EXPECT_TRUE(choice.texts.empty());
    RightClickRow(2);
    EXPECT_EQ(list.GetSelectionMark(), 2) << "the row under the mouse is selected";
    EXPECT_EQ(choice.texts,
              (std::vector<std::wstring>{L"&Recover Selected...", L"Ico&ns     ", L"&List", L"&Details",
                                         L"&Find Files...", L"Re&name", L"&Settings...", L"&Properties..."}));

    struct Case
    {
        const char* name;
        UINT command;
        DWORD style;
    };
    for (const Case& c :
         {Case{"icons", ID_RESULT_LIST_ICONS, LVS_SMALLICON}, Case{"list", ID_RESULT_LIST_LIST, LVS_LIST},
          Case{"details", ID_RESULT_LIST_DETAILS, LVS_REPORT}}) {
        SCOPED_TRACE(c.name);
        choice.command = c.command;
        RightClickRow(1);
        EXPECT_EQ(list.GetStyle() & LVS_TYPEMASK, c.style);
        EXPECT_EQ(list.GetItemCount(), 7);
    }

    // The box of a row opens no menu; the Apps key opens it on the selected row.
    choice.texts.clear();
    choice.command = 0;
    CRect bounds;
    list.GetItemRect(1, &bounds, LVIR_BOUNDS);
    LVHITTESTINFO hit = {};
    for (hit.pt = CPoint(bounds.left, bounds.CenterPoint().y); hit.pt.x < bounds.left + 40; ++hit.pt.x)
        if (list.HitTest(&hit) == 1 && CResultListCtrl::IsOnBox(hit.flags))
            break;
    list.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    EXPECT_TRUE(choice.texts.empty());
    list.SendMessage(WM_KEYDOWN, VK_APPS, 0);
    EXPECT_EQ(choice.texts.size(), 8u);

    ScanSelection.scanKind = kScanFileTrace;
    RightClickRow(1);
    ScanSelection.scanKind = kScanQuick;
    EXPECT_EQ(choice.texts, (std::vector<std::wstring>{L"&Recover Selected...", L"Ico&ns     ", L"&List",
                                                       L"&Details", L"Re&name"}));
}

// While the system's menu is up: the main window with the menu drawn over it as a screenshot, then the
// menu closed without a choice. A thread timer, which the menu's loop serves.
class MenuPhotographer
{
public:
    MenuPhotographer()
    {
        s_self = this;
        m_started = ::GetTickCount64();
        m_timer = ::SetTimer(NULL, 0, 100, OnTimer);
    }
    ~MenuPhotographer()
    {
        ::KillTimer(NULL, m_timer);
        s_self = nullptr;
    }
    bool shot = false;
    bool seen = false;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        MenuPhotographer* self = s_self;
        if (self == nullptr)
            return;
        HWND menu = ::FindWindowW(L"#32768", NULL);
        if (menu != NULL && ::IsWindowVisible(menu)) {
            self->seen = true;
            ::UpdateWindow(menu);
            self->shot = self->Photograph(menu);
            ::EndMenu();
        } else if (::GetTickCount64() - self->m_started > 10000) {
            ::EndMenu();
        }
    }
    bool Photograph(HWND menu)
    {
        HWND frame = StartedFrame()->GetSafeHwnd();
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels = test_support::CaptureFramedWindow(frame, width, height);
        RECT frameRect = {};
        RECT menuRect = {};
        ::GetWindowRect(frame, &frameRect);
        ::GetWindowRect(menu, &menuRect);
        const RECT menuArea = {0, 0, menuRect.right - menuRect.left, menuRect.bottom - menuRect.top};
        HDC dc = ::GetWindowDC(menu);
        const std::vector<std::uint32_t> menuPixels = test_support::CaptureDc(dc, menuArea);
        ::ReleaseDC(menu, dc);
        if (pixels.empty() || menuPixels.empty())
            return false;
        for (int y = 0; y < menuArea.bottom; ++y) {
            for (int x = 0; x < menuArea.right; ++x) {
                const int atX = menuRect.left - frameRect.left + x;
                const int atY = menuRect.top - frameRect.top + y;
                if (atX >= 0 && atY >= 0 && atX < width && atY < height)
                    pixels[static_cast<std::size_t>(atY) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(atX)] =
                        menuPixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(menuArea.right) +
                                   static_cast<std::size_t>(x)];
            }
        }
        return test_support::WritePng(test_support::ScreenshotPath(L"result_list_context_menu"),
                                      pixels.data(), width, height);
    }

    static inline MenuPhotographer* s_self = nullptr;
    ULONGLONG m_started = 0;
    UINT_PTR m_timer = 0;
};

TEST_F(ResultListMarksTest, TheSystemsMenuOpensAtTheRowAndClosingItChoosesNothing)
{
    CResultListCtrl& list = Results()->ResultList();
    ListFolder(L"Sizes");
    MenuPhotographer photographer;
    RightClickRow(3);
    EXPECT_TRUE(photographer.seen);
    EXPECT_TRUE(photographer.shot);
    EXPECT_EQ(list.GetStyle() & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_EQ(list.GetItemCount(), 7);
}

TEST_F(ResultListMarksTest, ARenameThatIsNoSafeNameKeepsTheOldName)
{
    struct Case
    {
        const wchar_t* name;
        bool accepted;
    };
    const Case cases[] = {
        {L"renamed.bin", true}, {L"..\\x", false},     {L"a:b", false},    {L"CON", false},
        {L"aux.txt", false},    {L"dot.", false},      {L"space ", false}, {L"..", false},
        {L"a/b", false},        {L"tab\tname", false}, {L"q?.txt", false}, {L"", false},
        {L"Привет.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(CString(c.name)));
        EXPECT_EQ(CResultListCtrl::IsAcceptableName(c.name), c.accepted);
    }

    // The edit as the user makes it: the label's editor takes the text and loses the focus.
    CResultListCtrl& list = Results()->ResultList();
    ListFolder(L"Sizes");
    auto rename = [&](const wchar_t* from, const wchar_t* to) {
        const int row = RowNamed(from);
        EXPECT_GE(row, 0);
        list.SetSelectionMark(row);
        list.BeginRename(row);
        CEdit* pEdit = list.GetEditControl();
        EXPECT_NE(pEdit, nullptr);
        if (pEdit == nullptr)
            return;
        EXPECT_EQ(list.LabelEditActive, 1);
        pEdit->SetWindowText(to);
        Results()->RecoveryTree().SetFocus();
        PumpMessages(20);
        EXPECT_EQ(list.LabelEditActive, 0);
    };
    for (const wchar_t* refused : {L"..\\x", L"a:b", L"CON"}) {
        SCOPED_TRACE(Utf8(CString(refused)));
        rename(L"one.bin", refused);
        EXPECT_GE(RowNamed(L"one.bin"), 0);
    }
    bool kept = false;
    for (const FatFileRec* file = fatFiles.head; file != nullptr; file = file->next)
        kept = kept || CString(reinterpret_cast<const wchar_t*>(file->name)).CompareNoCase(L"one.bin") == 0;
    EXPECT_TRUE(kept) << "the record keeps its name";

    // An empty text is the old name.
    rename(L"one.bin", L"");
    EXPECT_GE(RowNamed(L"one.bin"), 0);
}

TEST_F(ResultListMarksTest, PropertiesShowKilobytesOfAFileAndTheContentsOfAFolder)
{
    struct SizeCase
    {
        std::uint64_t bytes;
        const wchar_t* file;
        const wchar_t* folder;
    };
    for (const SizeCase& c :
         {SizeCase{0, L"1 KB", L"Less than 1 MB"}, SizeCase{1023, L"1 KB", L"Less than 1 MB"},
          SizeCase{1024, L"2 KB", L"Less than 1 MB"}, SizeCase{1048575, L"1024 KB", L"Less than 1 MB"},
          SizeCase{1048576, L"1025 KB", L"1 MB"}, SizeCase{5ull << 30, L"5242881 KB", L"5120 MB"}}) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(std::wstring(PropertiesFileSizeText(c.bytes)), c.file);
        EXPECT_EQ(std::wstring(PropertiesFolderSizeText(c.bytes)), c.folder);
    }

    CResultListCtrl& list = Results()->ResultList();
    MenuChoice choice;
    choice.command = ID_RESULT_LIST_PROPERTIES;
    list.SetMenuTracker(choice.Tracker());
    ListFolder(L"Sizes");
    struct RowCase
    {
        const wchar_t* row;
        const wchar_t* size;
    };
    for (const RowCase& c : {RowCase{L"empty.bin", L"1 KB"}, RowCase{L"cluster.bin", L"1 KB"},
                             RowCase{L"cluster-plus-one.bin", L"1 KB"}, RowCase{L"multi.bin", L"301 KB"}}) {
        SCOPED_TRACE(Utf8(CString(c.row)));
        PropertiesReader reader(std::wstring(c.row) == L"multi.bin" ? L"properties_file" : nullptr);
        RightClickRow(RowNamed(c.row));
        EXPECT_TRUE(reader.seen);
        EXPECT_EQ(CString(reader.name.c_str()).CompareNoCase(c.row), 0) << Utf8(CString(reader.name.c_str()));
        EXPECT_EQ(reader.size, c.size);
        EXPECT_EQ(reader.contents, L"");
    }

    // A folder: its files and the folders below it, from the root's listing and from the tree's menu.
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    tree.OnItemClick(TVHT_ONITEMLABEL, tree.GetRootItem());
    struct FolderCase
    {
        const wchar_t* folder;
        const wchar_t* contents;
    };
    for (const FolderCase& c : {FolderCase{L"Sizes", L"6 File(s) and 0 Folder(s)"},
                                FolderCase{L"Level1", L"3 File(s) and 3 Folder(s)"}}) {
        SCOPED_TRACE(Utf8(CString(c.folder)));
        PropertiesReader reader(std::wstring(c.folder) == L"Level1" ? L"properties_folder" : nullptr);
        RightClickRow(RowNamed(c.folder));
        EXPECT_TRUE(reader.seen);
        EXPECT_EQ(reader.contents, c.contents);
        EXPECT_EQ(reader.size, L"Less than 1 MB");
    }
    // The tree's own Properties command.
    tree.SetContextMenuTracker([](CMenu*, int, int) { return static_cast<int>(ID_TREE_PROPERTIES); });
    PropertiesReader reader(nullptr);
    tree.SelectItem(ItemNamed(tree, tree.GetRootItem(), L"Sizes"));
    tree.SendMessage(WM_KEYDOWN, VK_APPS, 0);
    tree.SetContextMenuTracker(
        [](CMenu* pMenu, int x, int y) { return ApplicationResultsHost().TrackContextMenu(pMenu, x, y); });
    EXPECT_TRUE(reader.seen);
    EXPECT_EQ(reader.name, L"Sizes");
    EXPECT_EQ(reader.contents, L"6 File(s) and 0 Folder(s)");
}

// A press and release of the left button at a point of the list, through the display's own input.
void ClickListAt(CPoint point)
{
    CResultListCtrl& list = Results()->ResultList();
    list.ClientToScreen(&point);
    ClickOnScreen(point);
}

TEST_F(ResultListMarksTest, OnlyAClickOnTheBoxMarksARowAnyOtherClickSelectsTheRowAndPreviewsAFile)
{
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    tree.OnItemClick(TVHT_ONITEMLABEL, tree.GetRootItem());
    StartedFrame()->SetForegroundWindow();
    PumpMessages(50);
    // Where on the row the mouse is pressed: the box, a column's middle, or right of the last column.
    constexpr int kBox = -1;
    constexpr int kRightOfLastColumn = 6;
    struct Case
    {
        const char* name;
        int column;
    };
    const Case cases[] = {{"box", kBox},
                          {"name", 0},
                          {"type", 1},
                          {"size", 2},
                          {"creation time", 3},
                          {"modification time", 4},
                          {"ID", 5},
                          {"right of the last column", kRightOfLastColumn}};
    for (const wchar_t* rowName : {L"exactly13.txt", L"Level1"}) {
        const int row = RowNamed(rowName);
        ASSERT_GE(row, 0) << Utf8(CString(rowName));
        const bool file = !list.IsFolderRow(row);
        for (const Case& c : cases) {
            SCOPED_TRACE(Utf8(CString(rowName)) + ", " + c.name);
            CRect rect;
            CPoint point;
            if (c.column == kBox) {
                LVHITTESTINFO hit = {};
                list.GetItemRect(row, &rect, LVIR_BOUNDS);
                for (hit.pt = CPoint(rect.left, rect.CenterPoint().y); hit.pt.x < rect.left + 40; ++hit.pt.x)
                    if (list.HitTest(&hit) == row && CResultListCtrl::IsOnBox(hit.flags))
                        break;
                point = hit.pt;
            } else if (c.column == 0) {
                list.GetItemRect(row, &rect, LVIR_LABEL);
                point = rect.CenterPoint();
            } else if (c.column == kRightOfLastColumn) {
                list.GetSubItemRect(row, 5, LVIR_BOUNDS, rect);
                point = CPoint(rect.right + 40, rect.CenterPoint().y);
                CRect client;
                list.GetClientRect(&client);
                ASSERT_LT(point.x, client.right) << "the list is too narrow";
            } else {
                list.GetSubItemRect(row, c.column, LVIR_BOUNDS, rect);
                point = rect.CenterPoint();
            }
            list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
            LastPreviewPath = L"PAth";
            g_strPreviewItemPath = L"?";
            const int mark = list.GetCheckState(row);
            const auto marked = list.CheckedFileIds;
            ClickListAt(point);
            if (c.column == kBox) {
                EXPECT_EQ(list.GetCheckState(row), 1 - mark) << "the box marks";
                EXPECT_NE(list.CheckedFileIds, marked);
                // Unmarked again for the next click.
                list.OnBoxClick(row);
                EXPECT_EQ(list.GetCheckState(row), mark);
                continue;
            }
            EXPECT_EQ(list.GetCheckState(row), mark) << "the mark stays";
            EXPECT_EQ(list.CheckedFileIds, marked);
            // Past the columns the control itself finds no row to select.
            if (c.column == kRightOfLastColumn)
                continue;
            EXPECT_NE(list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED, 0u) << "the row is selected";
            if (file) {
                EXPECT_EQ(g_strPreviewItemPath.CompareNoCase(CString(L"\\") + rowName), 0)
                    << "previewed: " << Utf8(g_strPreviewItemPath);
            } else {
                EXPECT_TRUE(g_strPreviewItemPath.IsEmpty()) << "a folder empties the preview";
            }
        }
    }
    EXPECT_TRUE(list.CheckedFileIds.empty());
    EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreeUnchecked);
    Screenshot(L"result_list_row_clicked_outside_its_box");
}

// A folder of many thousand files in the results view, made of FAT records alone: the tree's Root with
// one folder, "Big", that holds them; nothing marked.
class ManyRowsTest : public testing::Test
{
protected:
    static constexpr std::uint32_t kFiles = 30000;
    static constexpr std::uint32_t kBigCluster = 3;
    static constexpr std::uint32_t kSubCluster = 4;

    void SetUp() override
    {
        ASSERT_NE(StartedFrame(), nullptr);
        StartedFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        ResetResultsView();
        ScanSelection.scanKind = kScanQuick;
        Results()->SetResultColumns(SnapshotResultColumns(kScanQuick));
        VolumeParams.fsCode = kFsFat32;
        AddFatFolderRec(u"Big", kBigCluster, kFatRootFolder, 0, 0, 0, 0);
        // A folder in Big, whose up entry lists Big (its file tells which folder is listed).
        AddFatFolderRec(u"Sub", kSubCluster, kBigCluster, 0, 0, 0, 0);
        AddFatFileRec(u"inner.bin", 99, kSubCluster, 0, 0, 100, 0);
        fileCount = 0;
        for (std::uint32_t i = 0; i < kFiles; ++i) {
            const std::u16string name = u"file" + std::u16string(DecimalText(i)) + u".bin";
            AddFatFileRec(name.c_str(), 100 + i, kBigCluster, 0, 0, 100, 0);
            ++fileCount;
        }
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        ScanThreadControl.done = 0;
        m_root = tree.InsertFolderItem(L"Root", NULL);
        tree.AddFatFolderItems(m_root, kFatRootFolder);
        ScanThreadControl.done = 1;
        tree.Expand(m_root, TVE_EXPAND);
        m_big = tree.GetChildItem(m_root);
        ASSERT_NE(m_big, nullptr);
        m_sub = tree.GetChildItem(m_big);
        ASSERT_NE(m_sub, nullptr);
        theApp.SwitchView(kViewResults);
        PumpMessages(50);
    }
    void TearDown() override
    {
        ResetResultsView();
        VolumeParams = VolumeParamsBlock();
    }

    // Runs `click` while another thread presses Cancel in the please-wait box 300 ms after the box is
    // there (a message posted to it, as the button posts its command). The milliseconds from the press
    // until the box hides, and until the click's handling has returned (which includes the release of
    // the button and, under Wine without a window manager, the wait for the display's word that the box
    // is gone).
    static std::pair<ULONGLONG, ULONGLONG> CancelledAfter(const std::function<void()>& click)
    {
        s_cancelPressed = 0;
        s_boxHidden = 0;
        s_box = NULL;
        std::atomic<bool> clicked{false};
        const DWORD thread = ::GetCurrentThreadId();
        std::thread presser([&] {
            while (!clicked.load() && s_box == NULL) {
                ::EnumThreadWindows(thread, FindWaitBox, 0);
                ::Sleep(5);
            }
            if (s_box == NULL)
                return;
            ::Sleep(300);
            s_cancelPressed = ::GetTickCount64();
            ::PostMessageW(s_box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(s_box, IDCANCEL)));
        });
        const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, NoteHiding, NULL, thread);
        click();
        const ULONGLONG ended = ::GetTickCount64();
        clicked = true;
        presser.join();
        ::UnhookWindowsHookEx(hook);
        EXPECT_NE(s_cancelPressed, 0u) << "no please-wait box showed";
        EXPECT_NE(s_boxHidden, 0u) << "the box never hid";
        if (s_cancelPressed == 0 || s_boxHidden == 0)
            return {0, 0};
        return {s_boxHidden - s_cancelPressed, ended - s_cancelPressed};
    }
    static BOOL CALLBACK FindWaitBox(HWND window, LPARAM)
    {
        wchar_t name[16] = {};
        wchar_t caption[64] = {};
        ::GetClassNameW(window, name, 16);
        ::GetWindowTextW(window, caption, 64);
        if (std::wstring(name) != L"#32770" || std::wstring(caption) != kMessageCaption ||
            ::GetDlgItem(window, IDCANCEL) == NULL)
            return TRUE;
        s_box = window;
        return FALSE;
    }
    static LRESULT CALLBACK NoteHiding(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && s_cancelPressed != 0 && s_boxHidden == 0 && message->hwnd == s_box &&
            message->message == WM_WINDOWPOSCHANGING &&
            (reinterpret_cast<const WINDOWPOS*>(message->lParam)->flags & SWP_HIDEWINDOW) != 0)
            s_boxHidden = ::GetTickCount64();
        return ::CallNextHookEx(NULL, code, wParam, lParam);
    }
    static inline std::atomic<ULONGLONG> s_cancelPressed{0};
    static inline std::atomic<HWND> s_box{NULL};
    static inline std::atomic<ULONGLONG> s_boxHidden{0};

    // The boxes show what the maps hold, and Big's box (and the root's, which holds Big alone) what its
    // files' marks are: all checked, none unchecked, else partly. The count of Big's marked files.
    std::uint32_t ExpectAgreement()
    {
        CResultListCtrl& list = Results()->ResultList();
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        int disagreeing = 0;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.IsParentRow(row))
                continue;
            const std::uint64_t id = list.RowId(row);
            const bool held = list.CheckedFileIds.count(id) != 0 ||
                              list.CheckedFolderItems.count(static_cast<TreeItemValue>(id)) != 0;
            disagreeing += (list.GetCheckState(row) == 1) != held ? 1 : 0;
        }
        EXPECT_EQ(disagreeing, 0) << "rows whose box is not what the maps hold";
        std::uint32_t marked = 0;
        for (const FatFileRec* file = fatFiles.head; file != nullptr; file = file->next)
            marked += file->parentCluster == kBigCluster && list.CheckedFileIds.count(file->fileId) != 0;
        const int expected = marked == kFiles ? kTreeChecked
                             : marked == 0    ? kTreeUnchecked
                                              : kTreePartlyChecked;
        EXPECT_EQ(tree.GetItemCheckState(m_big), expected) << marked << " files marked";
        EXPECT_EQ(tree.GetItemCheckState(m_root), expected);
        EXPECT_EQ(list.CheckedFolderItems.count(reinterpret_cast<TreeItemValue>(m_big)) != 0,
                  expected == kTreeChecked);
        return marked;
    }

    // A press and release of the left button on the tree item, where the hit test says `part` is.
    void PressTreeItem(HTREEITEM item, UINT part)
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        CPoint point = TreeBoxPoint(tree, item);
        if (part != TVHT_ONITEMSTATEICON) {
            CRect label;
            tree.GetItemRect(item, &label, TRUE);
            point = label.CenterPoint();
        }
        UINT flags = 0;
        ASSERT_EQ(tree.HitTest(point, &flags), item);
        ASSERT_NE(flags & part, 0u);
        tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    HTREEITEM m_root = NULL;
    HTREEITEM m_big = NULL;
    HTREEITEM m_sub = NULL;
};

TEST_F(ManyRowsTest, AListingStoppedBeforeItBeginsKeepsTheUpEntryAndTheMarksOfTheRowsItCollected)
{
    CResultListCtrl& list = Results()->ResultList();
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    const std::atomic<bool> stopped{true};
    struct Case
    {
        const char* name;
        std::function<void()> open;
    };
    const Case cases[] = {
        {"the up entry",
         [&] {
             list.SetSelectionMark(0);
             list.OpenEntry(1, &stopped);
         }},
        {"the tree's label", [&] { tree.OnItemClick(TVHT_ONITEMLABEL, m_big, &stopped); }},
    };
    // Big's files marked, then Big listed from Sub with the stop set before the first row.
    tree.OnItemClick(TVHT_ONITEMSTATEICON, m_big);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree.OnItemClick(TVHT_ONITEMLABEL, m_sub);
        ASSERT_EQ(list.GetItemCount(), 2);
        c.open();
        ASSERT_GT(list.GetItemCount(), 0) << "the list was left empty";
        EXPECT_TRUE(list.IsParentRow(0));
        EXPECT_EQ(list.GetCheckState(0), kRowStateParent - 1) << "the up entry shows a box";
        EXPECT_LT(list.GetItemCount(), static_cast<int>(kFiles) + 2) << "the listing ran to its end";
        EXPECT_EQ(ExpectAgreement(), kFiles);
    }
}

TEST_F(ManyRowsTest, CancelInThePleaseWaitBoxStopsTheWorkBetweenRowsAndLeavesBoxesTreeAndMapsAgreeing)
{
    CResultListCtrl& list = Results()->ResultList();
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    // The whole folder listed, and its rows all marked by its box, as a figure beside the cancelled ones.
    ULONGLONG started = ::GetTickCount64();
    tree.OnItemClick(TVHT_ONITEMLABEL, m_big);
    const ULONGLONG listing = ::GetTickCount64() - started;
    // The up entry, Sub and the files.
    const int bigRows = static_cast<int>(kFiles) + 2;
    ASSERT_EQ(list.GetItemCount(), bigRows);
    started = ::GetTickCount64();
    tree.OnItemClick(TVHT_ONITEMSTATEICON, m_big);
    const ULONGLONG marking = ::GetTickCount64() - started;
    EXPECT_EQ(ExpectAgreement(), kFiles);
    tree.OnItemClick(TVHT_ONITEMSTATEICON, m_big);
    EXPECT_EQ(ExpectAgreement(), 0u);
    std::printf("%u rows: listed in %llu ms, marked by the folder's box in %llu ms\n", kFiles, listing,
                marking);

    struct Case
    {
        const char* name;
        std::function<void()> prepare, click;
        bool listing; // the work lists Big: fewer rows than it holds; else it marks them: fewer marked
        std::uint32_t marked; // of a listing: Big's files marked before, whose kept rows show their boxes
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {"the tree's label", [&] { tree.OnItemClick(TVHT_ONITEMLABEL, m_root); },
         [&] { PressTreeItem(m_big, TVHT_ONITEMLABEL); }, true, 0, L"cancelled_tree_listing"},
        {"the list's double click", [&] { tree.OnItemClick(TVHT_ONITEMLABEL, m_root); },
         [&] { list.OnRowDoubleClick(RowNamed(L"Big")); }, true, 0, L"cancelled_folder_opening"},
        {"the up entry's double click in a marked folder",
         [&] {
             tree.OnItemClick(TVHT_ONITEMSTATEICON, m_big);
             tree.OnItemClick(TVHT_ONITEMLABEL, m_sub);
         },
         [&] { list.OnRowDoubleClick(0); }, true, kFiles, L"cancelled_parent_opening"},
        {"the tree's box over the listed folder", [&] { tree.OnItemClick(TVHT_ONITEMLABEL, m_big); },
         [&] { PressTreeItem(m_big, TVHT_ONITEMSTATEICON); }, false, 0, L"cancelled_folder_marking"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        const auto [hidden, returned] = CancelledAfter(c.click);
        std::printf("%s: the box hid %llu ms after Cancel, the click returned after %llu ms\n", c.name,
                    hidden, returned);
        EXPECT_LT(hidden, 3000u);
        if (c.listing) {
            EXPECT_LT(list.GetItemCount(), bigRows) << "the listing ran to its end";
            // The rows kept begin with Big's own up entry.
            ASSERT_GT(list.GetItemCount(), 0);
            EXPECT_TRUE(list.IsParentRow(0));
            EXPECT_EQ(ExpectAgreement(), c.marked);
        } else {
            EXPECT_LT(ExpectAgreement(), kFiles) << "the marking ran to its end";
        }
        Screenshot(c.screenshot);
        // Nothing marked for the next road.
        if (tree.GetItemCheckState(m_root) != kTreeUnchecked)
            tree.OnItemClick(TVHT_ONITEMSTATEICON, m_root);
        if (tree.GetItemCheckState(m_root) != kTreeUnchecked)
            tree.OnItemClick(TVHT_ONITEMSTATEICON, m_root);
        ASSERT_EQ(ExpectAgreement(), 0u);
    }
}

} // namespace
