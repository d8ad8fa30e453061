// The recovered-items tree: its folders after real Quick Scans against Sleuth Kit's, the click that
// lists a folder, the tri-state marks over a small tree of made-up records, and a snapshot whose folder
// records form a loop.
#include "app_test_app.h"
#include "box_answerer.h"
#include "results_test_support.h"

#include <gtest/gtest.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/trace/trace_records.h"
#include "fat_oracle_compare.h"
#include "results_step_host.h"
#include "results_view.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "wizard_state.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

constexpr COLORREF kRed = RGB(255, 0, 0);

std::string SlashPath(CString path)
{
    path.Replace(L'\\', L'/');
    return Utf8(path);
}

class RecoveryTreeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(StartedFrame(), nullptr);
        StartedFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    }
    void TearDown() override { ResetResultsView(); }
};

TEST_F(RecoveryTreeTest, AfterAQuickScanTheFoldersAreThoseOfSleuthKitWithTheDeletedOnesRed)
{
    const ScanCase cases[] = {
        {"mbr-ext05", "2", L"recovery_tree_quick_fat32"},
        {"mbr-ext05", "3", L"recovery_tree_quick_ntfs"},
        {"sample-ntfs", "1", L"recovery_tree_quick_sample_ntfs"},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(std::string(c.disk) + " partition " + c.part);
        const Partition partition = FindPartition(c.disk, c.part);
        ASSERT_TRUE(QuickScanToResults(partition));
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        ASSERT_NE(tree.GetRootItem(), nullptr);

        EXPECT_EQ(tree.GetItemText(tree.GetRootItem()), CString(L"Root"));

        std::vector<std::string> listed;
        bool redSeen = false;
        for (HTREEITEM item : TreeItemsBelowRoot(tree)) {
            const bool red = tree.GetItemColour(item) == kRed;
            redSeen = redSeen || red;
            if (partition.fsCode == kFsNtfs)
                listed.push_back(std::string("D\t") + (red ? "1" : "0") + "\t" +
                                 SlashPath(tree.GetItemPath(item)));
            else
                listed.push_back(SlashPath(tree.GetItemPath(item)) + (red ? " (deleted)" : ""));
        }
        std::sort(listed.begin(), listed.end());
        std::vector<std::string> expected;
        if (partition.fsCode == kFsNtfs) {
            for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
                if (row[1] == "d" && row[8].rfind("$OrphanFiles", 0) != 0 && row[3] == "0")
                    expected.push_back("D\t" + row[2] + "\t" + row[8]);
            }
        } else {
            // The engine scan tests' normalisations: 8.3 names without regard to case, a deleted name
            // without its first character.
            std::vector<FatListingEntry> folders;
            for (const FatListingEntry& entry : FlsEntries(partition.files))
                if (entry.kind == 'D')
                    folders.push_back(entry);
            for (const std::string& key : Keys(folders))
                expected.push_back(key);
            std::vector<FatListingEntry> treeFolders;
            for (HTREEITEM item : TreeItemsBelowRoot(tree))
                treeFolders.push_back(
                    {'D', tree.GetItemColour(item) == kRed, 0, SlashPath(tree.GetItemPath(item))});
            listed = Keys(treeFolders);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listed, expected);
        EXPECT_TRUE(redSeen) << "each of these volumes holds a deleted folder";
        // Every folder is checked after a Quick Scan, and drawn bold.
        for (HTREEITEM item : TreeItemsBelowRoot(tree))
            EXPECT_EQ(tree.GetItemCheckState(item), kTreeChecked);
        Screenshot(c.screenshot);
    }
}

// A click as the user makes it, on the label or the box of an item.
void ClickItem(CRecoveryTreeCtrl& tree, HTREEITEM item, bool onBox)
{
    tree.EnsureVisible(item);
    CRect rect;
    tree.GetItemRect(item, &rect, TRUE);
    const CPoint point = onBox ? TreeBoxPoint(tree, item) : rect.CenterPoint();
    UINT flags = 0;
    ASSERT_EQ(tree.HitTest(point, &flags), item);
    ASSERT_EQ((flags & TVHT_ONITEMSTATEICON) != 0, onBox);
    tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    PumpMessages(50);
}

TEST_F(RecoveryTreeTest, ClickingAFolderListsItsRowsBehindTheWaitBox)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    HTREEITEM level1 = NULL;
    for (HTREEITEM item : TreeItemsBelowRoot(tree))
        if (tree.GetItemText(item) == L"Level1")
            level1 = item;
    ASSERT_NE(level1, nullptr);
    {
        BoxAnswerer answerer(IDOK);
        ClickItem(tree, level1, false);
        EXPECT_EQ(answerer.Requests().size(), 1u) << "the please-wait box";
    }
    CResultListCtrl& list = Results()->ResultList();
    ASSERT_GE(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), CString(L"Parent..."));
    std::vector<CString> names;
    for (int row = 1; row < list.GetItemCount(); ++row)
        names.push_back(list.GetItemText(row, 0));
    EXPECT_NE(std::find(names.begin(), names.end(), CString(L"Level2")), names.end());
    EXPECT_EQ(Results()->GetCurrentFolderItem(), reinterpret_cast<TreeItemValue>(level1));
    // The folder is checked: its rows come marked.
    for (int row = 1; row < list.GetItemCount(); ++row)
        EXPECT_EQ(list.GetCheckState(row), 1) << Utf8(list.GetItemText(row, 0));

    // The box unchecks the folder and everything below it; the root becomes partly checked.
    ClickItem(tree, level1, true);
    EXPECT_EQ(tree.GetItemCheckState(level1), kTreeUnchecked);
    EXPECT_EQ(tree.GetItemCheckState(tree.GetChildItem(level1)), kTreeUnchecked);
    EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreePartlyChecked);
    EXPECT_EQ(Results()->ResultList().CheckedFolderItems.count(reinterpret_cast<TreeItemValue>(level1)), 0u);
    Screenshot(L"recovery_tree_folder_unchecked");

    // A click in empty space changes nothing and shows no box.
    CRect client;
    tree.GetClientRect(&client);
    const int rows = list.GetItemCount();
    {
        BoxAnswerer answerer(IDOK);
        tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 5, client.bottom - 5));
        tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(client.right - 5, client.bottom - 5));
        PumpMessages(50);
        EXPECT_TRUE(answerer.Requests().empty());
    }
    EXPECT_EQ(tree.GetItemCheckState(level1), kTreeUnchecked);
    EXPECT_EQ(list.GetItemCount(), rows);
}

// A made-up FAT volume: Root holds A (with two subfolders and a file of its own) and D (with one
// subfolder and no files).
struct SmallTree
{
    HTREEITEM root, a, b, c, d, e;
    std::uint32_t ownFileOfA;
};

SmallTree BuildSmallTree()
{
    FreeScanLists();
    VolumeParams.fsCode = kFsFat32;
    ScanSelection.scanKind = kScanQuick;
    AddFatFolderRec(u"A", 10, 0, 0, 0, 0, 0);
    AddFatFolderRec(u"B", 20, 10, 0, 0, 0, 0);
    AddFatFolderRec(u"C", 30, 10, 0, 0, 0, 1);
    AddFatFolderRec(u"D", 40, 0, 0, 0, 0, 0);
    AddFatFolderRec(u"E", 50, 40, 0, 0, 0, 0);
    FatFileRec* file = AddFatFileRec(u"own.txt", 99, 10, 0, 0, 5, 0);
    ++fileCount;
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    tree.DeleteAllItems();
    ScanThreadControl.done = 0;
    const HTREEITEM root = tree.InsertFolderItem(L"Root", NULL);
    tree.AddFatFolderItems(root, 0);
    ScanThreadControl.done = 1;
    auto find = [&](LPCWSTR name) {
        for (HTREEITEM item : TreeItemsBelowRoot(tree))
            if (tree.GetItemText(item) == name)
                return item;
        return HTREEITEM(NULL);
    };
    return {root, find(L"A"), find(L"B"), find(L"C"), find(L"D"), find(L"E"), file->fileId};
}

TEST_F(RecoveryTreeTest, AFolderWithFilesOfItsOwnFollowsItsChildrenOnlyWhenAllItsFilesAreMarked)
{
    const SmallTree t = BuildSmallTree();
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    ASSERT_NE(t.c, nullptr);
    EXPECT_EQ(tree.GetItemColour(t.c), kRed);
    EXPECT_EQ(tree.GetItemPath(t.b), CString(L"A\\B"));
    // A second file of A's own, after the first.
    const std::uint32_t secondOfA = AddFatFileRec(u"own2.txt", 97, 10, 0, 0, 7, 0)->fileId;
    ++fileCount;

    struct Case
    {
        const char* name;
        std::vector<std::uint32_t> marked; // A's own files marked before the children change
        bool startChecked;
        int expectedA;
    };
    const Case cases[] = {
        {"checking the last child, own files unmarked", {}, false, kTreePartlyChecked},
        {"checking the last child, only the first own file marked",
         {t.ownFileOfA},
         false,
         kTreePartlyChecked},
        {"checking the last child, own files marked", {t.ownFileOfA, secondOfA}, false, kTreeChecked},
        {"unchecking the last child, own files unmarked", {}, true, kTreeUnchecked},
        {"unchecking the last child, the second own file marked", {secondOfA}, true, kTreePartlyChecked},
        // A checked folder's own files stay marked when a child is unchecked.
        {"unchecking the last child of a checked folder",
         {t.ownFileOfA, secondOfA},
         true,
         kTreePartlyChecked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.ClearMarks();
        if (c.startChecked) {
            tree.SetCheckRecursive(t.root, 1);
            for (std::uint32_t id : {t.ownFileOfA, secondOfA})
                list.CheckedFileIds.insert(id);
            // The own files unmarked one by one, as presses on their rows do.
            if (c.marked.size() < 2) {
                list.CheckedFileIds.clear();
                list.CheckedFileIds.insert(c.marked.begin(), c.marked.end());
                tree.SetPartlyFromRows(t.a);
            }
            tree.UncheckItem(t.b);
            EXPECT_EQ(tree.GetItemCheckState(t.a), kTreePartlyChecked) << "one child still checked";
            tree.UncheckItem(t.c);
        } else {
            list.CheckedFileIds.insert(c.marked.begin(), c.marked.end());
            tree.SetCheckRecursive(t.root, 0);
            tree.CheckItem(t.b);
            EXPECT_EQ(tree.GetItemCheckState(t.a), kTreePartlyChecked) << "one child still unchecked";
            tree.CheckItem(t.c);
        }
        EXPECT_EQ(tree.GetItemCheckState(t.a), c.expectedA);
        // Only a checked folder is saved whole; its own files are marked whenever it is partly checked.
        EXPECT_EQ(list.CheckedFolderItems.count(reinterpret_cast<TreeItemValue>(t.a)) != 0,
                  c.expectedA == kTreeChecked);
        EXPECT_EQ(list.CheckedFileIds, std::set<std::uint64_t>(c.marked.begin(), c.marked.end()));
    }

    // What a folder holds, for the selected size: its subfolders, and its own files and theirs.
    AddFatFileRec(u"deep.bin", 98, 20, 0, 0, 1000, 0);
    ++fileCount;
    TreeContentTotals totals;
    tree.CountContents(t.a, totals);
    EXPECT_EQ(totals.folders, 2u);
    EXPECT_EQ(totals.files, 3u);
    EXPECT_EQ(totals.bytes, 1012u);

    // A folder without files of its own simply follows its children.
    list.ClearMarks();
    tree.SetCheckRecursive(t.root, 0);
    tree.CheckItem(t.e);
    EXPECT_EQ(tree.GetItemCheckState(t.d), kTreeChecked);
    EXPECT_EQ(tree.GetItemCheckState(t.root), kTreePartlyChecked);
    EXPECT_NE(tree.GetItemState(t.d, TVIS_BOLD) & TVIS_BOLD, 0u);
    tree.UncheckItem(t.e);
    EXPECT_EQ(tree.GetItemCheckState(t.d), kTreeUnchecked);
    EXPECT_EQ(tree.GetItemState(t.d, TVIS_BOLD) & TVIS_BOLD, 0u);
}

// The list's rows as a folder listing: the up entry, then one row per mark given (1 marked, 0 not).
void ListRows(CResultListCtrl& list, const std::vector<int>& marks)
{
    list.DeleteAllItems();
    list.InsertItem(0, L"Parent...");
    int row = 1;
    for (int mark : marks) {
        list.InsertItem(row, L"row");
        if (mark != 0)
            list.MarkChecked(row);
        else
            list.MarkUnchecked(row);
        ++row;
    }
}

// The left button released over the item's box, as the user's click ends.
void ReleaseOverBox(CRecoveryTreeCtrl& tree, HTREEITEM item)
{
    const CPoint point = TreeBoxPoint(tree, item);
    UINT flags = 0;
    tree.HitTest(point, &flags);
    ASSERT_NE(flags & TVHT_ONITEMSTATEICON, 0u);
    tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

TEST_F(RecoveryTreeTest, ReleasingTheButtonOverAFatFolderBoxMakesItFollowTheListedRows)
{
    const SmallTree t = BuildSmallTree();
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    tree.Expand(t.root, TVE_EXPAND);
    tree.Expand(t.a, TVE_EXPAND);

    struct Case
    {
        const char* name;
        bool onB; // else on A, right under the root
        std::vector<int> rows;
        int startB, startA;
        int expectedB, expectedA, expectedRoot;
    };
    const int U = kTreeUnchecked, C = kTreeChecked, P = kTreePartlyChecked;
    const Case cases[] = {
        {"every row marked: the folder is checked", true, {1, 1}, U, U, C, U, U},
        {"no row marked: a checked folder is unchecked", true, {0, 0}, C, C, U, C, U},
        {"no row marked: a partly checked folder is unchecked", true, {0, 0}, P, U, U, U, U},
        // Kept as the click left them: an unchecked folder over unmarked rows changes no ancestor.
        {"no row marked: an unchecked folder leaves its ancestors", true, {0, 0}, U, C, U, C, U},
        {"an empty listing changes nothing", true, {}, C, U, C, U, U},
        {"some rows marked: the ancestors are partly checked", true, {1, 0}, C, U, C, P, P},
        {"some rows marked under the root: nothing", false, {1, 0}, U, U, U, U, U},
    };
    auto setState = [&](HTREEITEM item, int state) {
        if (state == C)
            tree.SetChecked(item);
        else if (state == P)
            tree.SetPartial(item);
        else
            tree.SetUnchecked(item);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.ClearMarks();
        tree.SetCheckRecursive(t.root, 0);
        setState(t.b, c.startB);
        setState(t.a, c.startA);
        ListRows(list, c.rows);
        // The click before the release selects the item; made-up rows stand for the selected folder's.
        tree.SelectItem(c.onB ? t.b : t.a);
        ReleaseOverBox(tree, c.onB ? t.b : t.a);
        EXPECT_EQ(tree.GetItemCheckState(t.b), c.expectedB);
        EXPECT_EQ(tree.GetItemCheckState(t.a), c.expectedA);
        EXPECT_EQ(tree.GetItemCheckState(t.root), c.expectedRoot);
    }

    // Only FAT volumes: over NTFS the release leaves the folder alone.
    list.ClearMarks();
    tree.SetCheckRecursive(t.root, 0);
    ListRows(list, {1, 1});
    VolumeParams.fsCode = kFsNtfs;
    tree.SelectItem(t.b);
    ReleaseOverBox(tree, t.b);
    EXPECT_EQ(tree.GetItemCheckState(t.b), kTreeUnchecked);
    VolumeParams.fsCode = kFsFat32;
    list.DeleteAllItems();
}

// Pixels of the item's label, read off the screen, that are plainly red.
int RedPixelsOfLabel(CRecoveryTreeCtrl& tree, HTREEITEM item)
{
    tree.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages(100);
    CRect rect;
    tree.GetItemRect(item, &rect, TRUE);
    tree.ClientToScreen(&rect);
    HDC screen = ::GetDC(NULL);
    int red = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF pixel = ::GetPixel(screen, x, y);
            if (GetRValue(pixel) > 180 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80)
                ++red;
        }
    ::ReleaseDC(NULL, screen);
    return red;
}

TEST_F(RecoveryTreeTest, ASelectedDeletedFolderIsRedWhileTheTreeHasNoFocusAndHighlightedWhileItHas)
{
    // The results step shown, its tree then rebuilt from made-up records.
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    const SmallTree t = BuildSmallTree();
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    StartedFrame()->SetForegroundWindow();
    tree.Expand(t.root, TVE_EXPAND);
    tree.Expand(t.a, TVE_EXPAND);
    tree.SelectItem(t.c);
    tree.SetFocus();
    EXPECT_EQ(RedPixelsOfLabel(tree, t.c), 0) << "the focused tree's highlight";
    Results()->ResultList().SetFocus();
    EXPECT_GT(RedPixelsOfLabel(tree, t.c), 5);
    Screenshot(L"recovery_tree_selected_deleted_folder_unfocused");
}

TEST_F(RecoveryTreeTest, ASnapshotWhoseFoldersFormALoopLoadsEndsAndMovesTheProgressWindow)
{
    // Root -> A -> B -> D, and D names the root's own value as its first cluster: its children would be
    // A again, and so on for ever.
    FreeScanLists();
    ScanSelection.scanKind = kScanQuick;
    VolumeParams = VolumeParamsBlock();
    VolumeParams.fsCode = kFsFat32;
    VolumeParams.sectorsPerCluster = 1;
    AddFatFolderRec(u"A", 10, 0, 0, 0, 0, 0);
    AddFatFolderRec(u"B", 20, 10, 0, 0, 0, 0);
    AddFatFolderRec(u"D", 0, 20, 0, 0, 0, 0);
    AddFatFileRec(u"a.txt", 11, 10, 0, 0, 1, 0);
    ++fileCount;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"results_tree_loop.vqdx";
    const std::u16string path16(reinterpret_cast<const char16_t*>(path.c_str()));
    ASSERT_TRUE(WriteScanSnapshotFile(path16.c_str()));
    FreeScanLists();

    std::vector<std::uint32_t> percents;
    bool progressWindowShown = false;
    Results()->RecoveryTree().SetLoaderProgress([&](std::uint32_t percent) {
        percents.push_back(percent);
        const bool shown = ApplicationResultsHost().ReportLoadProgress(percent);
        progressWindowShown = progressWindowShown || shown;
        return shown;
    });
    {
        BoxAnswerer answerer(IDOK);
        EXPECT_TRUE(ReadScanSnapshot(path16.c_str()));
    }
    Results()->RecoveryTree().SetLoaderProgress(
        [](std::uint32_t percent) { return ApplicationResultsHost().ReportLoadProgress(percent); });
    ::DeleteFileW(path.c_str());

    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    std::vector<std::string> paths;
    for (HTREEITEM item : TreeItemsBelowRoot(tree))
        paths.push_back(SlashPath(tree.GetItemPath(item)));
    EXPECT_EQ(paths, (std::vector<std::string>{"A", "A/B", "A/B/D"}));
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewResults));
    EXPECT_TRUE(progressWindowShown);
    ASSERT_FALSE(percents.empty());
    EXPECT_LE(*std::max_element(percents.begin(), percents.end()), 99u);
}

HTREEITEM ItemNamed(CRecoveryTreeCtrl& tree, LPCWSTR name)
{
    for (HTREEITEM item : TreeItemsBelowRoot(tree))
        if (tree.GetItemText(item) == name)
            return item;
    return NULL;
}

LPARAM LabelPoint(CRecoveryTreeCtrl& tree, HTREEITEM item)
{
    CRect rect;
    tree.GetItemRect(item, &rect, TRUE);
    return MAKELPARAM(rect.CenterPoint().x, rect.CenterPoint().y);
}

TEST_F(RecoveryTreeTest, TheContextMenuOfAFolderSwitchesTheListAndRecoverSelectedTakesEveryCheckedFolder)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    int shown = 0;
    int itemCount = 0;
    int answer = 0;
    tree.SetContextMenuTracker([&](CMenu* pMenu, int, int) {
        ++shown;
        itemCount = pMenu->GetMenuItemCount();
        return answer;
    });

    // No menu for the root under the mouse; the Apps key shows it.
    tree.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, LabelPoint(tree, tree.GetRootItem()));
    EXPECT_EQ(shown, 0);
    tree.SelectItem(tree.GetRootItem());
    tree.SendMessage(WM_KEYDOWN, VK_APPS, 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(itemCount, 9);

    HTREEITEM level1 = ItemNamed(tree, L"Level1");
    ASSERT_NE(level1, nullptr);
    struct Case
    {
        int command;
        DWORD view;
    };
    for (const Case& c : {Case{59410, LVS_LIST}, Case{32782, LVS_SMALLICON}, Case{59411, LVS_REPORT}}) {
        answer = c.command;
        tree.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, LabelPoint(tree, level1));
        EXPECT_EQ(list.GetStyle() & LVS_TYPEMASK, c.view) << c.command;
    }
    EXPECT_EQ(tree.GetSelectedItem(), level1);

    // Level2 unchecked leaves Level1 partly checked. Recover Selected saves every checked folder, each with
    // its own files (Gone's subfolder too), and none of the unchecked ones.
    tree.UncheckItem(ItemNamed(tree, L"Level2"));
    answer = 32777;
    {
        BoxAnswerer answerer(IDCANCEL);
        tree.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, LabelPoint(tree, level1));
    }
    for (HTREEITEM item : TreeItemsBelowRoot(tree)) {
        SCOPED_TRACE(SlashPath(tree.GetItemPath(item)));
        const int state = tree.GetItemCheckState(item);
        if (state != kTreePartlyChecked) {
            EXPECT_EQ(list.SaveFolderItems.count(reinterpret_cast<TreeItemValue>(item)),
                      state == kTreeChecked ? 1u : 0u);
        }
    }
    HTREEITEM goneSub = tree.GetChildItem(ItemNamed(tree, L"Gone"));
    EXPECT_EQ(list.SaveFolderItems.count(reinterpret_cast<TreeItemValue>(goneSub)), 1u);

    // After a File Trace the menu has no Find Files, Settings or Properties.
    answer = 0;
    ScanSelection.scanKind = kScanFileTrace;
    tree.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, LabelPoint(tree, level1));
    EXPECT_EQ(itemCount, 6);
    ScanSelection.scanKind = kScanQuick;
    tree.SetContextMenuTracker(
        [](CMenu* pMenu, int x, int y) { return ApplicationResultsHost().TrackContextMenu(pMenu, x, y); });

    // A key moving the selection lists the folder it reached.
    tree.SelectItem(level1);
    tree.SendMessage(WM_KEYUP, VK_DOWN, 0);
    EXPECT_EQ(list.GetItemText(0, 0), CString(L"Parent..."));
}

TEST_F(RecoveryTreeTest, AFileTraceTreeHoldsOneItemPerTypeWithItsExtensionsAndAClickListsThem)
{
    BuildFileTraceTree({
        {u"1.jpg", u"jpg", u"JPEG Image"},
        {u"2.png", u"png", u"PNG Image"},
        {u"3.jpg", u"jpg", u"jpeg image"},
        {u"4.jpeg", u"jpeg", u"JPEG Image"},
    });
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    std::vector<std::string> paths;
    for (HTREEITEM item : TreeItemsBelowRoot(tree))
        paths.push_back(SlashPath(tree.GetItemPath(item)));
    EXPECT_EQ(paths, (std::vector<std::string>{"JPEG Image", "JPEG Image/jpg", "JPEG Image/jpeg", "PNG Image",
                                               "PNG Image/png"}));

    theApp.SwitchView(kViewResults);
    HTREEITEM jpeg = ItemNamed(tree, L"JPEG Image");
    ASSERT_NE(jpeg, nullptr);
    tree.EnsureVisible(jpeg);
    PumpMessages(50);
    {
        BoxAnswerer answerer(IDOK);
        tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, LabelPoint(tree, jpeg));
    }
    EXPECT_EQ(tree.GetSelectedItem(), jpeg);
    CResultListCtrl& list = Results()->ResultList();
    std::vector<CString> names;
    for (int row = 0; row < list.GetItemCount(); ++row)
        names.push_back(list.GetItemText(row, 0) + L"|" + list.GetItemText(row, 2));
    EXPECT_EQ(names, (std::vector<CString>{L"1.jpg|1", L"4.jpeg|4"}));
    FreeTraceFoundList();
}

} // namespace
