// Opening rows of the result list after a real Quick Scan: folders by double click and Enter, the up
// entry, and the copies of files for the preview against Sleuth Kit's checksums.
#include "app_test_app.h"
#include "box_answerer.h"
#include "results_test_support.h"

#include <gtest/gtest.h>

#include <wincrypt.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/listing/result_listing.h"
#include "main_preview_view.h"
#include "preview_copies.h"
#include "recovery_doc.h"
#include "results_state.h"
#include "results_view.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "wizard_state.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

std::string Md5OfFile(const CString& path)
{
    std::ifstream file(static_cast<LPCWSTR>(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    std::string hex;
    if (::CryptAcquireContextW(&provider, NULL, NULL, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
        ::CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
        ::CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                        0)) {
        BYTE digest[16] = {};
        DWORD length = sizeof digest;
        if (::CryptGetHashParam(hash, HP_HASHVAL, digest, &length, 0)) {
            for (DWORD i = 0; i < length; ++i) {
                char two[3];
                snprintf(two, sizeof two, "%02x", digest[i]);
                hex += two;
            }
        }
    }
    if (hash != 0)
        ::CryptDestroyHash(hash);
    if (provider != 0)
        ::CryptReleaseContext(provider, 0);
    return hex;
}

std::string FileText(const CString& path)
{
    std::ifstream file(static_cast<LPCWSTR>(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

CString PreviewPath()
{
    auto* pDocument = dynamic_cast<CEx_StyleDoc*>(StartedFrame()->GetActiveDocument());
    return pDocument != nullptr ? pDocument->m_strPreviewPath : CString(L"?");
}

// The kinds of the preview views that the results view's preview pane holds now.
std::vector<int> LivePreviewKinds()
{
    std::vector<int> kinds;
    CMainPreviewView& host = Results()->PreviewPane();
    for (int kind = 0; kind < kPreviewKindCount; ++kind)
        if (host.m_pViews[kind] != nullptr && ::IsWindow(host.m_pViews[kind]->GetSafeHwnd()))
            kinds.push_back(kind);
    return kinds;
}

bool QuickScanSampleVfat()
{
    ResetResultsView();
    return QuickScanToResults(FindPartition("sample-vfat", "1"));
}

// A file of the sample FAT volume after its Quick Scan: Sleuth Kit's checksum of the first row that
// `pickRow` takes, and the scan's first record that `pickRecord` takes (null when none).
struct ScannedFile
{
    std::string md5;
    const FatFileRec* record = nullptr;
};

ScannedFile SampleVfatFile(const std::function<bool(const std::vector<std::string>&)>& pickRow,
                           const std::function<bool(const FatFileRec&)>& pickRecord)
{
    ScannedFile file;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), FindPartition("sample-vfat", "1").files)))
        if (file.md5.empty() && pickRow(row))
            file.md5 = row[5];
    for (const FatFileRec* record = fatFiles.head; record != nullptr && file.record == nullptr;
         record = record->next)
        if (pickRecord(*record))
            file.record = record;
    return file;
}

class ResultListOpenTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(StartedFrame(), nullptr);
        StartedFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    }
    void TearDown() override
    {
        ResetResultsAndTempFiles();
        Results()->ResultList().TempPreviewFiles.clear();
        LastPreviewPath = L"PAth";
        ResetResultsView();
    }
};

TEST_F(ResultListOpenTest, AClickedFileIsCopiedByteForByteOnceAndTheLargeOneIsNot)
{
    std::map<std::string, std::string> md5;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), FindPartition("mbr-ext05", "2").files)))
        md5[row[8]] = row[5];
    CResultListCtrl& list = Results()->ResultList();

    const int row = RowNamed(L"exactly13.txt");
    ASSERT_GE(row, 0);
    list.OnRowClick(row);
    ASSERT_EQ(list.TempPreviewFiles.size(), 1u);
    const CString copy = list.TempPreviewFiles[0];
    EXPECT_EQ(PreviewPath().CompareNoCase(copy), 0) << Utf8(PreviewPath());
    EXPECT_EQ(copy.Left(PreviewTempFolder().GetLength()).CompareNoCase(PreviewTempFolder()), 0);
    EXPECT_EQ(Md5OfFile(copy), md5["exactly13.txt"]) << FileText(copy);

    // The same file again: nothing new is copied.
    list.OnRowClick(row);
    EXPECT_EQ(list.TempPreviewFiles.size(), 1u);

    // The size in the row decides: one byte past 5242880 is the large-file view, 5242880 is copied.
    const int large = RowNamed(L"fourteen14.txt");
    ASSERT_GE(large, 0);
    list.SetItemText(large, 2, L"5242881");
    list.OnRowClick(large);
    EXPECT_EQ(LivePreviewKinds(), std::vector<int>{kPreviewLargeFile});
    EXPECT_EQ(list.TempPreviewFiles.size(), 1u);
    list.SetItemText(large, 2, L"5242880");
    LastPreviewPath = L"PAth";
    list.OnRowClick(large);
    ASSERT_EQ(list.TempPreviewFiles.size(), 2u);
    EXPECT_EQ(Md5OfFile(list.TempPreviewFiles[1]), md5["fourteen14.txt"]);

    // An arrow key previews the row it reached.
    list.SetSelectionMark(RowNamed(L"twenty-six-characters1.txt"));
    list.SendMessage(WM_KEYUP, VK_DOWN, 0);
    ASSERT_EQ(list.TempPreviewFiles.size(), 3u);
    EXPECT_EQ(Md5OfFile(list.TempPreviewFiles[2]), md5["twenty-six-characters1.txt"]);

    // A folder or the up entry empties the preview.
    list.OnRowClick(RowNamed(L"Level1"));
    EXPECT_EQ(LivePreviewKinds(), std::vector<int>{kPreviewPlaceholder});
    EXPECT_TRUE(g_strPreviewItemPath.IsEmpty());
}

TEST_F(ResultListOpenTest, ARealFileOfSixMegabytesGetsTheLargeFileViewAndIsCopiedWhole)
{
    ASSERT_TRUE(QuickScanSampleVfat());
    const ScannedFile file =
        SampleVfatFile([](const std::vector<std::string>& row) { return row[4] == "6266853"; },
                       [](const FatFileRec& record) { return record.size == 6266853; });
    const std::string expectedMd5 = file.md5;
    const FatFileRec* big = file.record;
    ASSERT_FALSE(expectedMd5.empty());
    ASSERT_NE(big, nullptr);
    ListFolderFat(big->parentCluster);
    CResultListCtrl& list = Results()->ResultList();
    int row = -1;
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetItemText(i, 2) == L"6266853")
            row = i;
    ASSERT_GE(row, 0);
    list.OnRowClick(row);
    EXPECT_EQ(LivePreviewKinds(), std::vector<int>{kPreviewLargeFile});
    EXPECT_TRUE(list.TempPreviewFiles.empty());

    // The rule reads the row's size: at 5242880 the file is copied, all of it, as Sleuth Kit reads it.
    list.SetItemText(row, 2, L"5242880");
    LastPreviewPath = L"PAth";
    list.OnRowClick(row);
    ASSERT_EQ(list.TempPreviewFiles.size(), 1u);
    EXPECT_EQ(Md5OfFile(list.TempPreviewFiles[0]), expectedMd5);
}

TEST_F(ResultListOpenTest, ACraftedNameWithAWayUpInItsExtensionIsCopiedIntoTheTemporaryFolder)
{
    // A file of the volume under a name that no disk should hold, listed in the root.
    const FatFileRec* real = fatFiles.head;
    while (real != nullptr && std::u16string(real->name) != u"exactly13.txt")
        real = real->next;
    ASSERT_NE(real, nullptr);
    // Names whose extension the preview has no view for are never copied; a way up before a known
    // extension is copied, into the temporary folder.
    const struct
    {
        const char16_t* name;
        bool copied;
    } names[] = {{u"evil.t..\\..\\x", false}, {u"evil.c:\\w", false}, {u"..\\..\\evil.txt", true}};
    for (const auto& crafted : names) {
        AddFatFileRec(crafted.name, real->firstCluster, kFatRootFolder, 0, 0, real->size, 0);
        ++fileCount;
    }
    ListFolderFat(kFatRootFolder);
    CResultListCtrl& list = Results()->ResultList();
    for (const auto& crafted : names) {
        const CString name(reinterpret_cast<const wchar_t*>(crafted.name));
        SCOPED_TRACE(Utf8(name));
        const int row = RowNamed(name);
        ASSERT_GE(row, 0);
        const std::size_t before = list.TempPreviewFiles.size();
        list.OnRowClick(row);
        if (!crafted.copied) {
            EXPECT_EQ(list.TempPreviewFiles.size(), before);
            EXPECT_EQ(LivePreviewKinds(), std::vector<int>{kPreviewPlaceholder});
            continue;
        }
        ASSERT_EQ(list.TempPreviewFiles.size(), before + 1);
        const CString copy = list.TempPreviewFiles.back();
        EXPECT_EQ(copy.Left(PreviewTempFolder().GetLength()).CompareNoCase(PreviewTempFolder()), 0);
        EXPECT_EQ(copy.Mid(PreviewTempFolder().GetLength()).FindOneOf(L"\\/:"), -1) << Utf8(copy);
        EXPECT_NE(::GetFileAttributesW(copy), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(ResultListOpenTest, AnExcelWindowSurvivesACopyUnlessItsTitleNamesOneOfOurCopies)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"XlMain";
    ::RegisterClassW(&windowClass);
    CResultListCtrl& list = Results()->ResultList();
    list.OnRowClick(RowNamed(L"exactly13.txt"));
    ASSERT_EQ(list.TempPreviewFiles.size(), 1u);
    const CString ours = list.TempPreviewFiles[0].Mid(list.TempPreviewFiles[0].ReverseFind(L'\\') + 1);

    HWND other = ::CreateWindowW(L"XlMain", L"Budget.xlsx - Excel", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL,
                                 ::GetModuleHandleW(NULL), NULL);
    HWND holding = ::CreateWindowW(L"XlMain", CString(L"Excel - ") + ours, WS_OVERLAPPED, 0, 0, 100, 100,
                                   NULL, NULL, ::GetModuleHandleW(NULL), NULL);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(holding, nullptr);
    list.OnRowClick(RowNamed(L"fourteen14.txt"));
    PumpMessages(100);
    EXPECT_TRUE(::IsWindow(other));
    EXPECT_FALSE(::IsWindow(holding));
    ::DestroyWindow(other);
    if (::IsWindow(holding))
        ::DestroyWindow(holding);
}

TEST_F(ResultListOpenTest, ADoubleClickedFolderOpensWithItsMarkAndTheUpEntryAndEnterFollow)
{
    CResultListCtrl& list = Results()->ResultList();
    auto checks = [&] {
        std::vector<int> states;
        for (int row = 1; row < list.GetItemCount(); ++row)
            states.push_back(list.GetCheckState(row));
        return states;
    };
    struct Case
    {
        const char* name;
        bool marked;
    };
    for (const Case& c :
         {Case{"a marked folder lists all marked", true}, Case{"an unmarked one all unmarked", false}}) {
        SCOPED_TRACE(c.name);
        ListFolderFat(kFatRootFolder);
        Results()->RecoveryTree().RestoreListChecks();
        const int row = RowNamed(L"Level1");
        ASSERT_GE(row, 0);
        // The folder's box, clicked as the user clicks it, marks the folder with all it holds.
        if ((list.GetCheckState(row) == 1) != c.marked)
            list.OnBoxClick(row);
        ASSERT_EQ(list.GetCheckState(row), c.marked ? 1 : 0);
        {
            BoxAnswerer answerer(IDOK);
            list.OnRowDoubleClick(row);
            EXPECT_EQ(answerer.Requests().size(), 1u) << "the list's please-wait box";
        }
        ASSERT_GE(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetItemText(0, 0), CString(L"Parent..."));
        EXPECT_GE(RowNamed(L"Level2"), 0);
        EXPECT_EQ(checks(),
                  std::vector<int>(static_cast<std::size_t>(list.GetItemCount() - 1), c.marked ? 1 : 0));

        // The up entry goes back to the root.
        list.OnRowDoubleClick(0);
        EXPECT_GE(RowNamed(L"Level1"), 0);
        EXPECT_LT(RowNamed(L"Parent..."), 0);
    }

    // Enter opens the folder that holds the selection mark.
    list.SetSelectionMark(RowNamed(L"Level1"));
    list.OnEnter();
    EXPECT_EQ(list.GetItemText(0, 0), CString(L"Parent..."));
    EXPECT_GE(RowNamed(L"Level2"), 0);
    Screenshot(L"result_list_opened_folder");
}

} // namespace

TEST_F(ResultListOpenTest, AClickedPictureIsShownInThePreviewPaneBelowTheList)
{
    ASSERT_TRUE(QuickScanSampleVfat());
    const ScannedFile file = SampleVfatFile(
        [](const std::vector<std::string>& row) { return row[8] == "pic1/debian_logo.jpg"; },
        [](const FatFileRec& record) { return std::u16string(record.name) == u"debian_logo.jpg"; });
    const std::string expectedMd5 = file.md5;
    const FatFileRec* picture = file.record;
    ASSERT_FALSE(expectedMd5.empty());
    ASSERT_NE(picture, nullptr);
    ListFolderFat(picture->parentCluster);

    // The pane is the frame's preview host, laid out below the list by the splitter bar.
    CMainPreviewView& pane = Results()->PreviewPane();
    EXPECT_EQ(StartedFrame()->m_pPreviewHost, &pane);
    EXPECT_EQ(pane.GetDlgCtrlID(), 59649);
    CRect listRect, paneRect;
    Results()->ResultList().GetWindowRect(&listRect);
    pane.GetWindowRect(&paneRect);
    EXPECT_TRUE(pane.IsWindowVisible());
    EXPECT_GE(paneRect.top, listRect.bottom);
    EXPECT_GT(paneRect.Height(), 100);

    CResultListCtrl& list = Results()->ResultList();
    const int row = RowNamed(L"debian_logo.jpg");
    ASSERT_GE(row, 0);
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.OnRowClick(row);
    PumpMessages(300);
    ASSERT_EQ(list.TempPreviewFiles.size(), 1u);
    EXPECT_EQ(Md5OfFile(list.TempPreviewFiles[0]), expectedMd5);
    EXPECT_EQ(LivePreviewKinds(), std::vector<int>{kPreviewImage});
    EXPECT_EQ(PreviewPath().CompareNoCase(list.TempPreviewFiles[0]), 0);
    EXPECT_EQ(g_strPreviewItemPath.CompareNoCase(L"\\pic1\\debian_logo.jpg"), 0)
        << Utf8(g_strPreviewItemPath);
    Screenshot(L"results_preview_picture");

    // The up entry takes the picture away again.
    list.OnRowClick(0);
    PumpMessages(100);
    EXPECT_EQ(LivePreviewKinds(), std::vector<int>{kPreviewPlaceholder});

    // So does the list's first paint after the results were left.
    list.OnRowClick(row);
    EXPECT_EQ(LivePreviewKinds(), std::vector<int>{kPreviewImage});
    PreviewClearPending = 1;
    list.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(50);
    EXPECT_EQ(PreviewClearPending, 0u);
    EXPECT_EQ(LivePreviewKinds(), std::vector<int>{kPreviewPlaceholder});
}
