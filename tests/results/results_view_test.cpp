// The results view over real Quick Scans of the test disks: its rows against Sleuth Kit's, the colours,
// the sorting, the layout, Save, Back and Home. The scans run through the engine on this thread and end
// the way the partition step ends them, with ShowScanResults.
#include "app_test_app.h"
#include "box_answerer.h"
#include "results_test_support.h"

#include <gtest/gtest.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine_probe/probe_scan_rows.h"
#include "fat_oracle_compare.h"
#include "home_view.h"
#include "list_column_sorter.h"
#include "main_preview_view.h"
#include "ntfs_test_volume.h"
#include "resource.h"
#include "result_row_text.h"
#include "results_state.h"
#include "results_step_host.h"
#include "results_view.h"
#include "support/oracle_files.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "ui_controls/test_surface.h"
#include "wizard_state.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kParentBack = 0x95CAFF;

struct ListedRow
{
    CString name;
    CString type;
    CString size;
    int check;
};

std::vector<ListedRow> ListedRows()
{
    CResultListCtrl& list = Results()->ResultList();
    std::vector<ListedRow> rows;
    for (int row = 0; row < list.GetItemCount(); ++row)
        rows.push_back({list.GetItemText(row, 0), list.GetItemText(row, 1), list.GetItemText(row, 2),
                        list.GetCheckState(row)});
    return rows;
}

// FAT: the engine scan tests' normalisations (8.3 names without regard to case, a deleted name without
// its first character, folders without a size).
std::vector<std::string> FatRootKeys(const std::vector<ListedRow>& rows)
{
    std::vector<FatListingEntry> listed;
    for (const ListedRow& row : rows) {
        const std::string type = Utf8(row.type);
        listed.push_back({IsFolderTypeText(row.type) ? 'D' : 'F', type.rfind("Deleted", 0) == 0,
                          std::stoull(Utf8(row.size)), Utf8(row.name)});
    }
    return Keys(listed);
}

std::vector<std::string> FatOracleRootKeys(const Partition& partition)
{
    std::vector<FatListingEntry> root;
    for (const FatListingEntry& entry : FlsEntries(partition.files))
        if (entry.path.find('/') == std::string::npos)
            root.push_back(entry);
    return Keys(root);
}

// NTFS: kind, deleted, size (folders 0) and name; a file that fls names only through its streams has no
// unnamed data (size 0); Sleuth Kit's own entries are left out.
std::vector<std::string> NtfsRootKeys(const std::vector<ListedRow>& rows)
{
    std::vector<std::string> keys;
    for (const ListedRow& row : rows) {
        const bool folder = IsFolderTypeText(row.type);
        keys.push_back(std::string(folder ? "D" : "F") + "\t" + (IsDeletedTypeText(row.type) ? "1" : "0") +
                       "\t" + (folder ? "0" : Utf8(row.size)) + "\t" + Utf8(row.name));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<std::string> NtfsOracleRootKeys(const Partition& partition)
{
    std::set<std::string> names;
    std::vector<std::string> keys;
    std::vector<std::string> streamBases;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
        const std::string& path = row[8];
        if (row[1] == "v" || path.find('/') != std::string::npos || path.rfind("$OrphanFiles", 0) == 0)
            continue;
        if (row[3] == "1") {
            streamBases.push_back("F\t" + row[2] + "\t0\t" + path.substr(0, path.rfind(':')));
            continue;
        }
        names.insert(path);
        keys.push_back(std::string(row[1] == "d" ? "D" : "F") + "\t" + row[2] + "\t" +
                       (row[1] == "d" ? "0" : row[4]) + "\t" + path);
    }
    for (const std::string& base : streamBases) {
        const std::string name = base.substr(base.rfind('\t') + 1);
        if (names.insert(name).second)
            keys.push_back(base);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Pixels of one row of the list as the screen shows it.
std::vector<std::uint32_t> RowPixels(int row)
{
    CResultListCtrl& list = Results()->ResultList();
    list.EnsureVisible(row, FALSE);
    list.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    PumpMessages(50);
    CRect rect;
    list.GetItemRect(row, &rect, LVIR_LABEL);
    CClientDC dc(&list);
    return test_support::CaptureDc(dc.GetSafeHdc(), rect);
}

// Whether the window shows image `index` of `images` within `area` (client coordinates): at some place
// there every pixel that the image covers, alike on black and on white, is on the screen as drawn.
bool ShowsImage(CWnd& window, const CRect& area, HIMAGELIST images, int index)
{
    int width = 0;
    int height = 0;
    if (!ImageList_GetIconSize(images, &width, &height) || width <= 0 || height <= 0)
        return false;
    TestSurface onBlack(width, height, RGB(0, 0, 0));
    TestSurface onWhite(width, height, RGB(255, 255, 255));
    ImageList_Draw(images, index, onBlack.dc(), 0, 0, ILD_TRANSPARENT);
    ImageList_Draw(images, index, onWhite.dc(), 0, 0, ILD_TRANSPARENT);
    window.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    PumpMessages(50);
    CClientDC dc(&window);
    const std::vector<std::uint32_t> shown = test_support::CaptureDc(dc.GetSafeHdc(), area);
    if (shown.size() != static_cast<std::size_t>(area.Width() * area.Height()))
        return false;
    for (int top = 0; top + height <= area.Height(); ++top) {
        for (int left = 0; left + width <= area.Width(); ++left) {
            int covered = 0;
            bool same = true;
            for (int y = 0; y < height && same; ++y) {
                for (int x = 0; x < width && same; ++x) {
                    const COLORREF colour = onBlack.Pixel(x, y);
                    if (colour != onWhite.Pixel(x, y))
                        continue;
                    ++covered;
                    const std::uint32_t rgb =
                        (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
                    // The screen's capture may carry an alpha byte above the colour.
                    same = (shown[static_cast<std::size_t>((top + y) * area.Width() + left + x)] &
                            0xFFFFFF) == rgb;
                }
            }
            if (same && covered >= 20)
                return true;
        }
    }
    return false;
}

// The row's small icon, unselected, where the list draws it.
bool ShowsRowIcon(int row)
{
    CResultListCtrl& list = Results()->ResultList();
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list.EnsureVisible(row, FALSE);
    LVITEM item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    CImageList* pImages = list.GetImageList(LVSIL_SMALL);
    CRect rect;
    if (!list.GetItem(&item) || pImages == NULL || !list.GetItemRect(row, &rect, LVIR_ICON))
        return false;
    rect.InflateRect(4, 4);
    return ShowsImage(list, rect, pImages->GetSafeHandle(), item.iImage);
}

// The tree's Root item's icon, left of its label.
bool ShowsRootIcon()
{
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    HTREEITEM root = tree.GetRootItem();
    CImageList* pImages = tree.GetImageList(TVSIL_NORMAL);
    int image = -1;
    int selected = -1;
    CRect label;
    if (root == NULL || pImages == NULL || !tree.GetItemImage(root, image, selected) ||
        !tree.GetItemRect(root, &label, TRUE))
        return false;
    const int shownImage = (tree.GetItemState(root, TVIS_SELECTED) & TVIS_SELECTED) != 0 ? selected : image;
    const CRect area(std::max(0L, label.left - 28), label.top - 4, label.left, label.bottom + 4);
    return ShowsImage(tree, area, pImages->GetSafeHandle(), shownImage);
}

std::size_t CountColour(const std::vector<std::uint32_t>& pixels, COLORREF colour)
{
    const std::uint32_t rgb = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    return static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), rgb));
}

class ResultsViewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(StartedFrame(), nullptr);
        ASSERT_NE(Results(), nullptr);
        StartedFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        PumpMessages(50);
    }
    void TearDown() override { ResetResultsView(); }
};

TEST_F(ResultsViewTest, AfterAQuickScanTheRootRowsAreThoseOfSleuthKitAndDeletedRowsAreRed)
{
    const ScanCase cases[] = {
        {"mbr-ext05", "2", L"results_view_quick_fat32"},
        {"mbr-ext05", "3", L"results_view_quick_ntfs"},
        {"sample-vfat", "1", L"results_view_quick_sample_vfat"},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(std::string(c.disk) + " partition " + c.part);
        const Partition partition = FindPartition(c.disk, c.part);
        ASSERT_TRUE(QuickScanToResults(partition));
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewResults));
        EXPECT_EQ(StartedFrame()->m_flags.results, 1);

        const std::vector<ListedRow> rows = ListedRows();
        ASSERT_FALSE(rows.empty());
        if (partition.fsCode == kFsNtfs)
            EXPECT_EQ(NtfsRootKeys(rows), NtfsOracleRootKeys(partition));
        else
            EXPECT_EQ(FatRootKeys(rows), FatOracleRootKeys(partition));
        // The root has no up entry, and every row has its box.
        for (const ListedRow& row : rows) {
            EXPECT_FALSE(IsParentEntryText(row.name));
            EXPECT_GE(row.check, 0) << Utf8(row.name);
        }

        int deleted = -1;
        int live = -1;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            if (IsDeletedTypeText(rows[static_cast<std::size_t>(row)].type))
                deleted = deleted < 0 ? row : deleted;
            else if (live < 0)
                live = row;
        }
        ASSERT_GE(deleted, 0) << "every one of these roots holds a deleted folder";
        EXPECT_GT(CountColour(RowPixels(deleted), kRed), 0u);
        ASSERT_GE(live, 0);
        EXPECT_EQ(CountColour(RowPixels(live), kRed), 0u);
        EXPECT_TRUE(ShowsRowIcon(live)) << "the row of " << Utf8(rows[static_cast<std::size_t>(live)].name);
        EXPECT_TRUE(ShowsRootIcon());
        Results()->ResultList().EnsureVisible(deleted, FALSE);
        PumpMessages(50);
        Screenshot(c.screenshot);
    }
}

TEST_F(ResultsViewTest, TheUpEntryOfAFolderShowsNoCheckBoxOnItsOwnColour)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    const FatFolderRec* folder = fatFolders.head;
    while (folder != nullptr && folder->parentCluster != kFatRootFolder)
        folder = folder->next;
    ASSERT_NE(folder, nullptr);
    ListFolderFat(folder->firstCluster);
    CResultListCtrl& list = Results()->ResultList();
    ASSERT_GT(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetItemText(0, 0), CString(L"Parent..."));
    const std::vector<std::uint32_t> pixels = RowPixels(0);
    EXPECT_EQ(list.GetCheckState(0), 2) << "state image 3, past the boxes";
    EXPECT_GT(CountColour(pixels, kParentBack), 0u);
    EXPECT_GT(CountColour(pixels, kRed), 0u);
    list.CheckAllRows();
    EXPECT_EQ(list.GetCheckState(0), 2);
    EXPECT_EQ(list.AllRowsChecked(), 1);
    list.UncheckAllRows();
    EXPECT_EQ(list.NoRowChecked(), 1);
    EXPECT_EQ(list.GetCheckState(0), 2);
    Screenshot(L"results_view_subfolder");
}

// The frame's View menu restyles the result list; Icons leaves it in small icons.
TEST_F(ResultsViewTest, TheFramesViewCommandsRestyleTheResultList)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    CResultListCtrl& list = Results()->ResultList();
    struct Case
    {
        UINT command;
        DWORD view;
    };
    for (const Case& c : {Case{59410, LVS_LIST}, Case{32782, LVS_SMALLICON}, Case{59411, LVS_REPORT}}) {
        StartedFrame()->SendMessage(WM_COMMAND, c.command);
        EXPECT_EQ(list.GetStyle() & LVS_TYPEMASK, c.view) << c.command;
        EXPECT_NE(list.GetStyle() & LVS_AUTOARRANGE, 0u) << c.command;
    }
}

// A click on a column's header as the user makes it.
void ClickHeader(int column)
{
    CHeaderCtrl* pHeader = Results()->ResultList().GetHeaderCtrl();
    CRect rect;
    pHeader->GetItemRect(column, &rect);
    const LPARAM at = MAKELPARAM(rect.CenterPoint().x, rect.CenterPoint().y);
    pHeader->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    pHeader->PostMessage(WM_LBUTTONUP, 0, at);
    PumpMessages(100);
}

// The rows below the folders keep the order the column asks for; the folders and the up entry stay on top.
void ExpectGroupedAndSorted(int column, int kind)
{
    CResultListCtrl& list = Results()->ResultList();
    int row = 0;
    if (list.GetItemCount() > 0 && IsParentEntryText(list.GetItemText(0, 0)))
        ++row;
    std::vector<CString> folders;
    while (row < list.GetItemCount() && IsFolderTypeText(list.GetItemText(row, 1)))
        folders.push_back(list.GetItemText(row++, column));
    std::vector<CString> files;
    for (; row < list.GetItemCount(); ++row) {
        EXPECT_FALSE(IsFolderTypeText(list.GetItemText(row, 1))) << "a folder row below the files";
        EXPECT_FALSE(IsParentEntryText(list.GetItemText(row, 0)));
        files.push_back(list.GetItemText(row, column));
    }
    for (const std::vector<CString>* group : {&folders, &files}) {
        for (std::size_t i = 1; i < group->size(); ++i)
            EXPECT_LE(CompareSortTexts(kind, (*group)[i - 1], (*group)[i]), 0)
                << Utf8((*group)[i - 1]) << " before " << Utf8((*group)[i]);
    }
}

TEST_F(ResultsViewTest, AHeaderClickedTwiceSortsAscendingThenDescendingWithFoldersOnTop)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    CThirdView_HDD* pResults = Results();
    const int rowCount = pResults->ResultList().GetItemCount();
    struct Case
    {
        const char* name;
        int column;
        int kind;
    };
    const Case cases[] = {
        {"names", 0, kSortText},
        {"sizes as numbers", 2, kSortWholeNumber},
        {"creation times as dates", 3, kSortDateTime},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClickHeader(c.column);
        EXPECT_EQ(pResults->GetSortColumn(), c.column);
        EXPECT_TRUE(pResults->IsSortAscending());
        ExpectGroupedAndSorted(c.column, c.kind);
        ClickHeader(c.column);
        EXPECT_FALSE(pResults->IsSortAscending());
        ExpectGroupedAndSorted(c.column, -c.kind);
        EXPECT_EQ(pResults->ResultList().GetItemCount(), rowCount);
    }
    // The marks go with their rows.
    for (const ListedRow& row : ListedRows())
        EXPECT_EQ(row.check, 1) << Utf8(row.name);
    Screenshot(L"results_view_sorted_by_size_descending");
}

// Rows put in by a listing or a scan stand in the scan's order: the header shows no arrow over them, and
// the next click on any column sorts it ascending.
TEST_F(ResultsViewTest, NewRowsFromAListingOrAScanShowNoSortArrow)
{
    const Partition partition = FindPartition("mbr-ext05", "2");
    ASSERT_TRUE(QuickScanToResults(partition));
    CThirdView_HDD* pResults = Results();
    CRecoveryTreeCtrl& tree = pResults->RecoveryTree();
    auto* pHeader = dynamic_cast<CXTHeaderCtrl*>(
        CWnd::FromHandlePermanent(pResults->ResultList().GetHeaderCtrl()->m_hWnd));
    ASSERT_NE(pHeader, nullptr);
    struct Case
    {
        const char* name;
        std::function<bool()> newRows;
    };
    const Case cases[] = {
        {"the folder listed again",
         [&] {
             tree.OnItemClick(TVHT_ONITEMLABEL, tree.GetRootItem());
             return true;
         }},
        {"a new scan", [&] { return QuickScanToResults(partition); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClickHeader(2);
        ASSERT_EQ(pHeader->GetSortImage(), 2);
        ASSERT_TRUE(c.newRows());
        PumpMessages(50);
        EXPECT_EQ(pHeader->GetSortImage(), -1) << "the arrow stays over rows in the scan's order";
        ClickHeader(2);
        EXPECT_EQ(pHeader->GetSortImage(), 2);
        EXPECT_TRUE(pResults->IsSortAscending());
        ExpectGroupedAndSorted(2, kSortWholeNumber);
    }
}

// The list's vertical scroll bar stands inside the view, drawn, and a click on its arrow scrolls, at the
// frame's default size, maximised and at 800 x 600; so does the preview's, left of the window's edge.
TEST_F(ResultsViewTest, TheListsScrollBarIsInSightAndScrollsAtEachFrameSize)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    CMainFrame* pFrame = StartedFrame();
    CThirdView_HDD* pResults = Results();
    CResultListCtrl& list = pResults->ResultList();
    while (list.GetItemCount() < 400)
        list.InsertItem(list.GetItemCount(), L"filler.txt");
    WINDOWPLACEMENT before = {};
    before.length = sizeof before;
    pFrame->GetWindowPlacement(&before);
    struct Case
    {
        const char* name;
        int show;
        CSize size; // none: as the show command leaves it
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {"the default size", SW_RESTORE, CSize(0, 0), L"results_list_scroll_bar_default"},
        {"maximised", SW_MAXIMIZE, CSize(0, 0), L"results_list_scroll_bar_maximised"},
        {"800 x 600", SW_RESTORE, CSize(800, 600), L"results_list_scroll_bar_800x600"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pFrame->ShowWindow(c.show);
        if (c.size.cx != 0)
            pFrame->SetWindowPos(NULL, 0, 0, c.size.cx, c.size.cy, SWP_NOZORDER);
        pFrame->SetForegroundWindow();
        PumpMessages(150);
        CRect client;
        pResults->GetClientRect(&client);
        pResults->ClientToScreen(&client);
        client.IntersectRect(&client,
                             CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
        for (CWnd* pWnd : {static_cast<CWnd*>(&list), static_cast<CWnd*>(&pResults->PreviewPane())}) {
            CRect window;
            pWnd->GetWindowRect(&window);
            EXPECT_LE(window.right, client.right) << "runs past the view's right edge";
        }
        SCROLLBARINFO bar = {};
        bar.cbSize = sizeof bar;
        ASSERT_TRUE(::GetScrollBarInfo(list.GetSafeHwnd(), OBJID_VSCROLL, &bar));
        EXPECT_EQ(bar.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN), 0u);
        const CRect barRect(bar.rcScrollBar);
        EXPECT_TRUE(!barRect.IsRectEmpty() && client.PtInRect(barRect.TopLeft()) &&
                    barRect.right <= client.right && barRect.bottom <= client.bottom)
            << "the bar at " << barRect.left << "," << barRect.top << " - " << barRect.right << ","
            << barRect.bottom << " outside the view's " << client.left << "," << client.top << " - "
            << client.right << "," << client.bottom;
        // A click on the bar's down arrow, through the display's own input.
        list.EnsureVisible(0, FALSE);
        PumpMessages(50);
        const int top = list.GetTopIndex();
        ClickOnScreen(CPoint(barRect.CenterPoint().x, barRect.bottom - bar.dxyLineButton / 2));
        ::SetCursorPos(0, 0);
        EXPECT_GT(list.GetTopIndex(), top) << "the bar's arrow does not scroll the list";
        Screenshot(c.screenshot);
    }
    pFrame->SetWindowPlacement(&before);
    PumpMessages(100);
}

// The header as it paints itself, through its theme onto a surface of its size.
void DrawHeader(CXTHeaderCtrl* pHeader, TestSurface& surface)
{
    surface.Fill(RGB(0, 0, 0));
    pHeader->GetTheme()->DrawHeader(CDC::FromHandle(surface.dc()), pHeader);
}

int Luminance(COLORREF colour)
{
    return (GetRValue(colour) * 30 + GetGValue(colour) * 59 + GetBValue(colour) * 11) / 100;
}

TEST_F(ResultsViewTest, EachColumnShowsItsImageBeforeItsTitleAndAnAscendingArrowReadsOnTheFace)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    auto* pHeader = DYNAMIC_DOWNCAST(
        CXTHeaderCtrl, CWnd::FromHandlePermanent(Results()->ResultList().GetHeaderCtrl()->m_hWnd));
    ASSERT_NE(nullptr, pHeader);
    CImageList* pImages = pHeader->GetImageList();
    ASSERT_NE(nullptr, pImages);
    ASSERT_EQ(7, pImages->GetImageCount());
    const int columnCount = pHeader->GetItemCount();
    ASSERT_EQ(6, columnCount);
    ClickHeader(2);
    ASSERT_EQ(2, Results()->GetSortColumn());
    ASSERT_TRUE(Results()->IsSortAscending());

    CRect rectClient;
    pHeader->GetClientRect(&rectClient);
    TestSurface header(rectClient.Width(), rectClient.Height());
    DrawHeader(pHeader, header);
    // Column n shows image n at the text margin, centred: every pixel the image covers on both a black
    // and a white ground is there.
    for (int column = 0; column < columnCount; ++column) {
        SCOPED_TRACE(column);
        CRect rectItem;
        pHeader->GetItemRect(column, &rectItem);
        const CPoint origin(rectItem.left + 6, rectItem.top + (rectItem.Height() - 16) / 2);
        TestSurface onBlack(16, 16, RGB(0, 0, 0));
        TestSurface onWhite(16, 16, RGB(255, 255, 255));
        pImages->Draw(CDC::FromHandle(onBlack.dc()), column, CPoint(0, 0), ILD_TRANSPARENT);
        pImages->Draw(CDC::FromHandle(onWhite.dc()), column, CPoint(0, 0), ILD_TRANSPARENT);
        int covered = 0;
        int shown = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (onBlack.Pixel(x, y) != onWhite.Pixel(x, y))
                    continue;
                ++covered;
                shown += header.Pixel(origin.x + x, origin.y + y) == onBlack.Pixel(x, y);
            }
        }
        EXPECT_GT(covered, 40);
        EXPECT_EQ(covered, shown);
    }

    // The arrow is what the header loses without it; it reads on the face, every pixel of it darker.
    TestSurface plain(rectClient.Width(), rectClient.Height());
    pHeader->ShowSortArrow(FALSE);
    DrawHeader(pHeader, plain);
    pHeader->ShowSortArrow(TRUE);
    // The face: the commonest colour of the sorted column's item.
    CRect rectSorted;
    pHeader->GetItemRect(2, &rectSorted);
    std::map<COLORREF, int> colours;
    for (int y = rectSorted.top; y < rectSorted.bottom; ++y)
        for (int x = rectSorted.left; x < rectSorted.right; ++x)
            ++colours[plain.Pixel(x, y)];
    const COLORREF face = std::max_element(colours.begin(), colours.end(), [](const auto& a, const auto& b) {
                              return a.second < b.second;
                          })->first;
    int arrow = 0;
    int darker = 0;
    for (int y = 0; y < rectClient.Height(); ++y) {
        for (int x = 0; x < rectClient.Width(); ++x) {
            if (header.Pixel(x, y) == plain.Pixel(x, y))
                continue;
            ++arrow;
            darker += Luminance(header.Pixel(x, y)) + 40 < Luminance(face);
        }
    }
    EXPECT_GE(arrow, 20);
    EXPECT_EQ(arrow, darker) << "pixels of the arrow darker than the face";
    Screenshot(L"results_view_sorted_by_size_ascending");
}

// Every column of a Quick Scan's list, both ways, on rows written as the listings write them: the up
// entry, then the folders (deleted or not) in the column's order, then the files; equal keys keep the
// order the rows stood in, a time that does not parse comes before every time (after, descending), and each
// row keeps its box and its own texts.
TEST_F(ResultsViewTest, EachColumnSortsBothWaysBelowTheUpEntryAndTheFolders)
{
    CThirdView_HDD* pResults = Results();
    ScanSelection.scanKind = kScanQuick;
    pResults->SetResultColumns(SnapshotResultColumns(kScanQuick));
    ASSERT_EQ(pResults->GetResultColumnCount(), 6);
    struct Row
    {
        const char16_t* texts[6];
        bool marked;
    };
    const Row rows[] = {
        {{u"b.txt", u"Text Document", u"1,024", u"2024-01-10 09:00:00", u"2024-05-01 10:00:00", u"7"}, true},
        {{u"zeta", u"Folder", u"0", u"2024-03-01 08:00:00", u"2024-03-02 08:00:00", u"5000"}, true},
        {{u"A.doc", u"Word Document", u"999", u"2024-01-02 10:00:00", u"2024-06-01 10:00:00", u"12"}, false},
        {{u"Parent...", u"", u"", u"", u"", u""}, false},
        {{u"c.bin", u"Binary File", u"100000000000", u"", u"2023-12-31 23:59:59", u"3"}, false},
        {{u"Alpha", u"Deleted Folder", u"0", u"2023-01-01 08:00:00", u"2025-01-01 08:00:00", u"40"}, false},
        {{u"D.TXT", u"Text Document", u"5", u"2025-06-30 23:59:59", u"2024-01-01 00:00:00", u"1000"}, true},
    };
    ResultListUi& engineRows = pResults->ResultList().EngineSide();
    engineRows.DeleteAllItems();
    for (int row = 0; row < static_cast<int>(std::size(rows)); ++row) {
        ASSERT_EQ(engineRows.InsertItem(row, rows[row].texts[0], 0), row);
        for (int column = 1; column < 6; ++column)
            engineRows.SetItemText(row, column, rows[row].texts[column]);
    }
    engineRows.EndRows();
    // A listing's rows take their boxes from the marking maps; the boxes are set on the list itself here, so
    // that the sort is seen to carry each row's own box.
    for (int row = 0; row < static_cast<int>(std::size(rows)); ++row)
        pResults->ResultList().ShowMark(row, rows[row].marked);
    theApp.SwitchView(kViewResults);

    struct Case
    {
        const char* name;
        int column;
        bool ascending;
        std::vector<CString> names;
    };
    const Case cases[] = {
        {"names", 0, true, {L"Parent...", L"Alpha", L"zeta", L"A.doc", L"b.txt", L"c.bin", L"D.TXT"}},
        {"names descending",
         0,
         false,
         {L"Parent...", L"zeta", L"Alpha", L"D.TXT", L"c.bin", L"b.txt", L"A.doc"}},
        // The two text documents keep the order the names' sort left them in.
        {"types", 1, true, {L"Parent...", L"Alpha", L"zeta", L"c.bin", L"D.TXT", L"b.txt", L"A.doc"}},
        {"types descending",
         1,
         false,
         {L"Parent...", L"zeta", L"Alpha", L"A.doc", L"D.TXT", L"b.txt", L"c.bin"}},
        {"sizes as numbers",
         2,
         true,
         {L"Parent...", L"zeta", L"Alpha", L"D.TXT", L"A.doc", L"b.txt", L"c.bin"}},
        {"sizes descending",
         2,
         false,
         {L"Parent...", L"zeta", L"Alpha", L"c.bin", L"b.txt", L"A.doc", L"D.TXT"}},
        {"creation times",
         3,
         true,
         {L"Parent...", L"Alpha", L"zeta", L"c.bin", L"A.doc", L"b.txt", L"D.TXT"}},
        {"creation times descending",
         3,
         false,
         {L"Parent...", L"zeta", L"Alpha", L"D.TXT", L"b.txt", L"A.doc", L"c.bin"}},
        {"modification times",
         4,
         true,
         {L"Parent...", L"zeta", L"Alpha", L"c.bin", L"D.TXT", L"b.txt", L"A.doc"}},
        {"modification times descending",
         4,
         false,
         {L"Parent...", L"Alpha", L"zeta", L"A.doc", L"b.txt", L"D.TXT", L"c.bin"}},
        {"IDs as numbers",
         5,
         true,
         {L"Parent...", L"Alpha", L"zeta", L"c.bin", L"b.txt", L"A.doc", L"D.TXT"}},
        {"IDs descending",
         5,
         false,
         {L"Parent...", L"zeta", L"Alpha", L"D.TXT", L"A.doc", L"b.txt", L"c.bin"}},
    };
    CResultListCtrl& list = pResults->ResultList();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A click on another column sorts it ascending, a second click on it descending.
        ClickHeader(c.column);
        if (pResults->IsSortAscending() != c.ascending)
            ClickHeader(c.column);
        ASSERT_EQ(pResults->GetSortColumn(), c.column);
        ASSERT_EQ(pResults->IsSortAscending(), c.ascending);
        std::vector<CString> names;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            names.push_back(list.GetItemText(row, 0));
            const auto own = std::find_if(std::begin(rows), std::end(rows), [&](const Row& r) {
                return names.back() == reinterpret_cast<const wchar_t*>(r.texts[0]);
            });
            ASSERT_NE(own, std::end(rows));
            for (int column = 1; column < 6; ++column)
                EXPECT_EQ(list.GetItemText(row, column), reinterpret_cast<const wchar_t*>(own->texts[column]))
                    << Utf8(names.back()) << " column " << column;
            if (row > 0)
                EXPECT_EQ(list.GetCheckState(row), own->marked ? 1 : 0) << Utf8(names.back());
        }
        auto joined = [](const std::vector<CString>& texts) {
            std::string line;
            for (const CString& text : texts)
                line += Utf8(text) + " ";
            return line;
        };
        EXPECT_EQ(joined(names), joined(c.names));
    }
}

TEST_F(ResultsViewTest, AFileTraceListSortsItsThreeColumnsWithGroupsAndTheUpEntryOnTop)
{
    CThirdView_HDD* pResults = Results();
    ScanSelection.scanKind = kScanFileTrace;
    pResults->SetResultColumns(SnapshotResultColumns(kScanFileTrace));
    ASSERT_EQ(pResults->GetResultColumnCount(), 3);
    ResultListUi& rows = pResults->ResultList().EngineSide();
    rows.DeleteAllItems();
    const char16_t* texts[][3] = {
        {u"b.doc", u"Word Document", u"12"},
        {u"zeta", u"Folder", u"-"},
        {u"Parent...", u"", u""},
        {u"a.doc", u"Word Document", u"3"},
        {u"Alpha", u"FOLDER", u"-"},
        {u"c.doc", u"Word Document", u"100"},
    };
    for (int row = 0; row < 6; ++row) {
        ASSERT_EQ(rows.InsertItem(row, texts[row][0], 0), row);
        rows.SetItemText(row, 1, texts[row][1]);
        rows.SetItemText(row, 2, texts[row][2]);
        rows.CheckItem(row);
    }
    rows.EndRows();
    theApp.SwitchView(kViewResults);
    auto names = [&] {
        std::vector<CString> list;
        for (int row = 0; row < pResults->ResultList().GetItemCount(); ++row)
            list.push_back(pResults->ResultList().GetItemText(row, 0) + L"|" +
                           pResults->ResultList().GetItemText(row, 2));
        return list;
    };
    ClickHeader(0);
    EXPECT_EQ(names(), (std::vector<CString>{L"Parent...|", L"Alpha|-", L"zeta|-", L"a.doc|3", L"b.doc|12",
                                             L"c.doc|100"}));
    ClickHeader(2);
    EXPECT_EQ(names(), (std::vector<CString>{L"Parent...|", L"Alpha|-", L"zeta|-", L"a.doc|3", L"b.doc|12",
                                             L"c.doc|100"}));
    ClickHeader(2);
    std::vector<CString> descending = names();
    ASSERT_EQ(descending.size(), 6u);
    // The groups' IDs are all "-": their order among themselves is left as it was.
    std::sort(descending.begin() + 1, descending.begin() + 3);
    EXPECT_EQ(descending, (std::vector<CString>{L"Parent...|", L"Alpha|-", L"zeta|-", L"c.doc|100",
                                                L"b.doc|12", L"a.doc|3"}));
    EXPECT_EQ(pResults->GetResultColumnCount(), 3);
}

CRect ChildRect(CWnd& child)
{
    CRect rect;
    child.GetWindowRect(&rect);
    Results()->ScreenToClient(&rect);
    return rect;
}

TEST_F(ResultsViewTest, SaveStandsAtTheBottomRightAndBackAndHomeFollowAFinishedScan)
{
    CThirdView_HDD* pResults = Results();
    theApp.SwitchView(kViewResults);
    PumpMessages(50);
    CRect client;
    pResults->GetClientRect(&client);
    const int width = client.Width();
    const int height = client.Height();

    WizardStepState.resultsReady = 0;
    pResults->BackButton().MoveWindow(3, 4, 74, 26);
    pResults->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    EXPECT_EQ(ChildRect(pResults->SaveButton()), CRect(CPoint(width - 144, height - 32), CSize(89, 26)));
    EXPECT_EQ(ChildRect(pResults->HomeButton()), CRect(CPoint(width - 229, height - 32), CSize(74, 26)));
    EXPECT_EQ(ChildRect(pResults->BackButton()), CRect(CPoint(3, 4), CSize(74, 26)));
    EXPECT_FALSE(pResults->BackButton().IsWindowVisible()) << "Back has no place yet";

    WizardStepState.resultsReady = kResultsReady;
    pResults->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    EXPECT_EQ(ChildRect(pResults->SaveButton()), CRect(CPoint(width - 144, height - 32), CSize(89, 26)));
    EXPECT_EQ(ChildRect(pResults->BackButton()), CRect(CPoint(width - 229, height - 32), CSize(74, 26)));
    EXPECT_EQ(ChildRect(pResults->HomeButton()), CRect(CPoint(width - 315, height - 32), CSize(74, 26)));
    EXPECT_TRUE(pResults->BackButton().IsWindowVisible());
    PumpMessages(50);
    Screenshot(L"results_view_layout");
}

std::vector<MessageBoxFields> MessageRequests(const BoxAnswerer& answerer)
{
    // The please-wait box and the folder browser are boxes too; only the program's messages carry a kind.
    std::vector<MessageBoxFields> requests;
    for (const MessageBoxFields& request : answerer.Requests())
        if (request.kind != 0)
            requests.push_back(request);
    return requests;
}

TEST_F(ResultsViewTest, SaveWithNothingMarkedSaysSoAndWithMarkedRowsAsksForTheFolder)
{
    CThirdView_HDD* pResults = Results();
    CResultListCtrl& list = pResults->ResultList();
    theApp.SwitchView(kViewResults);
    list.ClearMarks();
    MessageBoxRequest.Set(L"", 0);
    {
        BoxAnswerer answerer(IDOK);
        pResults->OnSave();
        const std::vector<MessageBoxFields> requests = MessageRequests(answerer);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(
            std::wstring(requests[0].text),
            L"Please mark the file(s) and folder(s) that you want to save\r\nby clicking on check box.");
        EXPECT_EQ(requests[0].kind, 1u);
    }
    EXPECT_TRUE(pResults->GetTargetFolder().empty());

    // Only list rows marked: the wait box prepares nothing more, and the folder browser comes with the
    // current folder chosen; the next time with the folder chosen last.
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    auto saveInto = [&](const wchar_t* currentFolder) {
        // A finished save forgets what it saved: the row is marked again for each.
        list.CheckedFileIds = {7};
        ::SetCurrentDirectoryW(currentFolder);
        MessageBoxRequest.Set(L"", 0);
        BoxAnswerer answerer(IDOK);
        pResults->OnSave();
        // The save then runs; the answerer's OK may reach its Stop Saving, which asks first. The
        // nothing-marked message never comes.
        for (const MessageBoxFields& request : MessageRequests(answerer))
            EXPECT_EQ(std::wstring(request.text).find(L"Please mark"), std::wstring::npos);
        EXPECT_GE(answerer.Requests().size(), 2u) << "the wait box, then the folder browser";
        const std::u16string target = pResults->GetTargetFolder();
        return CString(reinterpret_cast<const wchar_t*>(target.c_str()));
    };
    const CString first = saveInto(L"C:\\windows");
    EXPECT_EQ(first.CompareNoCase(L"C:\\windows"), 0) << Utf8(first);
    const CString second = saveInto(L"C:\\users");
    EXPECT_EQ(second.CompareNoCase(L"C:\\windows"), 0) << Utf8(second);
    ::SetCurrentDirectoryW(current);

    // Marked folders become folders to save, by their full pointer-sized item.
    const TreeItemValue wideItem = static_cast<TreeItemValue>(0x7FF612345678ull);
    list.CheckedFileIds = {7};
    list.CheckedFolderItems = {wideItem};
    list.SaveFolderItems.clear();
    {
        BoxAnswerer answerer(IDCANCEL);
        pResults->OnSave();
    }
    EXPECT_EQ(list.SaveFolderItems, (std::set<TreeItemValue>{wideItem}));
    EXPECT_EQ(list.EngineSide().GetMarkedTreeItems(), (std::vector<TreeItemValue>{wideItem}));
    EXPECT_EQ(list.EngineSide().GetMarkedEntryIds(), (std::vector<std::uint64_t>{7}));
}

CString MakeTempCopy(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const CString path = CString(temp) + name;
    std::ofstream(static_cast<LPCWSTR>(path), std::ios::binary) << "preview";
    return path;
}

bool Exists(const CString& path)
{
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(ResultsViewTest, BackAfterAQuickScanOffersTheSnapshotAndReturnsToThePartitionStepEmptied)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    CThirdView_HDD* pResults = Results();
    CResultListCtrl& list = pResults->ResultList();
    pResults->RecoveryTree().InsertItem(L"Root");
    list.CheckedFileIds = {1, 2};
    list.CheckedFolderItems = {3};
    list.SaveFileIds = {1};
    list.SaveFolderItems = {3};
    list.CheckedTreeItems = {3};
    const CString copy = MakeTempCopy(L"tmp_results_view_test.txt");
    list.TempPreviewFiles = {copy};
    ASSERT_TRUE(Exists(copy));
    {
        BoxAnswerer answerer(IDNO);
        pResults->OnBack();
        const std::vector<MessageBoxFields> requests = MessageRequests(answerer);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(
            std::wstring(requests[0].text),
            L"Highly recommended to save snapshot for future purpose.Please save the Snapshot before going "
            L"back.\nDo you want to save Snapshot?");
        EXPECT_EQ(requests[0].kind, 3u);
    }
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewPartition));
    EXPECT_EQ(WizardStepState.quick, 2u);
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(pResults->RecoveryTree().GetCount(), 0u);
    EXPECT_TRUE(list.CheckedFileIds.empty());
    EXPECT_TRUE(list.CheckedFolderItems.empty());
    EXPECT_TRUE(list.SaveFileIds.empty());
    EXPECT_TRUE(list.SaveFolderItems.empty());
    EXPECT_TRUE(list.CheckedTreeItems.empty());
    EXPECT_FALSE(Exists(copy));
    EXPECT_EQ(PreviewClearPending, 1u);
    EXPECT_EQ(fatFiles.head, nullptr);
    EXPECT_EQ(StartedFrame()->m_flags.results, 0);

    // After the automatic return home of an empty scan no question is asked.
    WizardStepState.resultsReady = kResultsReady;
    theApp.SwitchView(kViewResults);
    AutoHomeMarker = 5;
    {
        BoxAnswerer answerer(IDNO);
        pResults->OnBack();
        EXPECT_TRUE(MessageRequests(answerer).empty());
    }
    AutoHomeMarker = 0;
}

TEST_F(ResultsViewTest, BackAfterAnExtensiveScanReturnsToTheFileSystemStepAndHomeEndsOnTheHomeView)
{
    CThirdView_HDD* pResults = Results();
    ScanSelection.scanKind = kScanExtensive;
    WizardStepState = {4, 0, 0, kResultsReady};
    theApp.SwitchView(kViewResults);
    {
        BoxAnswerer answerer(IDNO);
        pResults->OnBack();
        EXPECT_EQ(MessageRequests(answerer).size(), 1u);
    }
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewFileSystem));
    EXPECT_EQ(WizardStepState.extensive, 3u);

    ScanSelection.scanKind = kScanQuick;
    WizardStepState = {3, 3, 3, kResultsReady};
    theApp.SwitchView(kViewResults);
    pResults->ResultList().CheckedFileIds = {9};
    {
        BoxAnswerer answerer(IDNO);
        pResults->OnHome();
    }
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
    EXPECT_EQ(WizardStepState.extensive, 0u);
    EXPECT_EQ(WizardStepState.fileTrace, 0u);
    EXPECT_EQ(WizardStepState.quick, 0u);
    EXPECT_EQ(WizardStepState.resultsReady, 0u);
    EXPECT_TRUE(pResults->ResultList().CheckedFileIds.empty());
}

// The program's shell, but its file dialog chooses the given path.
class ChosenFileShell final : public WizardShellUi
{
public:
    ChosenFileShell(WizardShellUi& shell, std::u16string path) : m_shell(shell), m_path(std::move(path)) {}
    void SwitchView(int index) override { m_shell.SwitchView(index); }
    void CreateProgressDlg(const char16_t* text) override { m_shell.CreateProgressDlg(text); }
    void SetProgressDlgText(const char16_t* text) override { m_shell.SetProgressDlgText(text); }
    void SetProgressDlgPos(std::uint32_t percent) override { m_shell.SetProgressDlgPos(percent); }
    void DestroyProgressDlg() override { m_shell.DestroyProgressDlg(); }
    bool RunFileDialog(const FileDialogRequest&, std::u16string& path) override
    {
        path = m_path;
        return true;
    }

private:
    WizardShellUi& m_shell;
    std::u16string m_path;
};

// What the results view shows: the columns' titles, each row's texts and box, the tree's boxes, the maps.
std::vector<std::string> ShownResults()
{
    CResultListCtrl& list = Results()->ResultList();
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    std::vector<std::string> shown;
    const int columns = list.GetHeaderCtrl()->GetItemCount();
    for (int column = 0; column < columns; ++column) {
        wchar_t title[64] = {};
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT;
        info.pszText = title;
        info.cchTextMax = 64;
        list.GetColumn(column, &info);
        shown.push_back("column " + Utf8(title));
    }
    for (int row = 0; row < list.GetItemCount(); ++row) {
        std::string line = "row";
        for (int column = 0; column < columns; ++column)
            line += " | " + Utf8(list.GetItemText(row, column));
        shown.push_back(line + " | box " + std::to_string(list.GetCheckState(row)));
    }
    std::vector<HTREEITEM> items{tree.GetRootItem()};
    for (HTREEITEM item : TreeItemsBelowRoot(tree))
        items.push_back(item);
    for (HTREEITEM item : items)
        shown.push_back("tree " + Utf8(tree.GetItemText(item)) + " " +
                        std::to_string(tree.GetItemCheckState(item)));
    for (std::uint64_t id : list.CheckedFileIds)
        shown.push_back("file " + std::to_string(id));
    for (TreeItemValue item : list.CheckedFolderItems)
        shown.push_back("folder " + Utf8(tree.GetItemText(reinterpret_cast<HTREEITEM>(item))));
    return shown;
}

TEST_F(ResultsViewTest, ASnapshotRefusedAsCutShortLeavesTheRowsColumnsAndMarksAsTheyWere)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    std::uint32_t kind = 0;
    std::u16string modeName;
    ASSERT_TRUE(SnapshotModeOfLetter(SnapshotModeLetter(kScanQuick), kind, modeName));
    ScanSelection.modeName = modeName;
    // A document of these results, cut short in its records.
    const std::filesystem::path document =
        std::filesystem::temp_directory_path() / test_support::UniqueTempName("cut-short", ".vqdx");
    ASSERT_TRUE(WriteScanSnapshotFile(document.u16string().c_str()));
    std::filesystem::resize_file(document, std::filesystem::file_size(document) / 2);
    // Some marks of the user's: a folder listed, two of its files marked.
    for (HTREEITEM item : TreeItemsBelowRoot(tree))
        if (tree.GetItemText(item) == L"Sizes")
            tree.OnItemClick(TVHT_ONITEMLABEL, item);
    ASSERT_GT(list.GetItemCount(), 3);
    tree.OnItemClick(TVHT_ONITEMSTATEICON, tree.GetRootItem());
    if (tree.GetItemCheckState(tree.GetRootItem()) != kTreeUnchecked)
        tree.OnItemClick(TVHT_ONITEMSTATEICON, tree.GetRootItem());
    list.OnBoxClick(1);
    list.OnBoxClick(3);
    const std::vector<std::string> before = ShownResults();

    WizardShellUi* previous = engineUi.shell;
    ChosenFileShell shell(*previous, document.u16string());
    engineUi.shell = &shell;
    StartedFrame()->m_flags.loadSnapshot = 1;
    {
        // The refusal is answered; the progress box closes by itself.
        BoxAnswerer answerer(IDOK, L"Progress...");
        StartedFrame()->SendMessage(WM_COMMAND, ID_LOAD_SNAPSHOT);
        bool refused = false;
        for (const MessageBoxFields& request : answerer.Requests())
            refused = refused || request.text.Find(L"Invalid Snapshot File") >= 0;
        EXPECT_TRUE(refused);
    }
    engineUi.shell = previous;
    std::filesystem::remove(document);
    EXPECT_EQ(ShownResults(), before);
    EXPECT_EQ(WizardStepState.resultsReady, kResultsReady);
    Screenshot(L"results_after_a_refused_snapshot");
}

} // namespace
